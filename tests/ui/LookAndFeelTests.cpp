#include "CustomLookAndFeel.h"
#include "Palette.h"

#include <gtest/gtest.h>

TEST (Palette, ElevenOpaqueColoursWithTheirValues)
{
    const std::pair<juce::Colour, juce::uint32> colours[] = {
        { PaletteInk, 0xFF111111 },   { PaletteCoal, 0xFF171717 },  { PaletteWhite, 0xFFF5F5F5 },
        { PaletteGrey, 0xFFAAA6A6 },  { PaletteGreen, 0xFF86CF7A }, { PaletteBlue, 0xFF0094D8 },
        { PaletteYellow, 0xFFD3C55F }, { PaletteOrange, 0xFFE08A2A }, { PaletteSlate, 0xFF393E44 },
        { PaletteNight, 0xFF101316 }, { PaletteSteel, 0xFF21272C },
    };

    for (const auto& [colour, argb] : colours)
    {
        EXPECT_EQ (colour.getARGB(), argb);
        EXPECT_EQ (colour.getAlpha(), 0xFF);
    }

    EXPECT_EQ (PaletteGreen.withAlpha (0.5f).getAlpha(), 128);
}

class LookAndFeel : public testing::Test
{
protected:
    CustomLookAndFeel lookAndFeel;
};

TEST_F (LookAndFeel, EveryFontGetsTheRegularTypefaceEvenBoldOrItalic)
{
    ASSERT_NE (lookAndFeel.regularTypeface, nullptr);
    ASSERT_NE (lookAndFeel.semiboldTypeface, nullptr);
    EXPECT_EQ (lookAndFeel.regularTypeface->getName(), "Dosis");
    EXPECT_NE (lookAndFeel.semiboldTypeface->getStyle(), lookAndFeel.regularTypeface->getStyle());

    for (int style : { (int) juce::Font::plain, (int) juce::Font::bold, (int) juce::Font::italic, juce::Font::bold | juce::Font::italic })
    {
        juce::Font font (juce::FontOptions ("Some Other Family", 17.0f, style));
        EXPECT_EQ (lookAndFeel.getTypefaceForFont (font), lookAndFeel.regularTypeface);
    }
}

TEST_F (LookAndFeel, PopupMenuAndComboBoxFonts)
{
    auto menuFont = lookAndFeel.getPopupMenuFont();
    EXPECT_FLOAT_EQ (menuFont.getHeight(), 30.0f);
    EXPECT_FLOAT_EQ (menuFont.getExtraKerningFactor(), 0.1f);
    EXPECT_FLOAT_EQ (menuFont.getHorizontalScale(), 1.0f);
    EXPECT_EQ (menuFont.getStyleFlags(), juce::Font::plain);

    juce::ComboBox box;
    box.setSize (200, 40);
    EXPECT_FLOAT_EQ (lookAndFeel.getComboBoxFont (box).getHeight(), 28.0f);
}

TEST_F (LookAndFeel, ColourTableAndDarkSchemeDefaults)
{
    const std::pair<int, juce::Colour> table[] = {
        { juce::PopupMenu::backgroundColourId, PaletteInk },
        { juce::PopupMenu::highlightedBackgroundColourId, PaletteGreen.withAlpha ((juce::uint8) 128) },
        { juce::PopupMenu::textColourId, PaletteWhite },
        { juce::PopupMenu::highlightedTextColourId, PaletteWhite },
        { juce::AlertWindow::backgroundColourId, PaletteInk },
        { juce::AlertWindow::textColourId, PaletteGrey },
        { juce::PropertyComponent::labelTextColourId, PaletteGreen.withAlpha ((juce::uint8) 128) },
        { juce::ScrollBar::thumbColourId, PaletteGrey },
        { juce::ResizableWindow::backgroundColourId, PaletteInk },
        { juce::TextEditor::backgroundColourId, PaletteInk },
        { juce::ListBox::backgroundColourId, PaletteInk },
        { juce::TextButton::buttonColourId, PaletteInk },
        { juce::Label::textColourId, PaletteWhite },
    };

    for (const auto& [id, colour] : table)
        EXPECT_EQ (lookAndFeel.findColour (id), colour) << std::hex << id;

    juce::LookAndFeel_V4 framework;
    for (int id : { (int) juce::TextEditor::textColourId, (int) juce::Slider::thumbColourId, (int) juce::ComboBox::outlineColourId })
        EXPECT_EQ (lookAndFeel.findColour (id), framework.findColour (id)) << std::hex << id;

    juce::TextEditor plainBox;
    plainBox.setLookAndFeel (&lookAndFeel);
    EXPECT_EQ (plainBox.findColour (juce::TextEditor::backgroundColourId), PaletteInk);
    plainBox.setLookAndFeel (nullptr);
}

TEST_F (LookAndFeel, ComboBoxIsACoalPillWithFullWidthCentredText)
{
    juce::ComboBox box;
    box.setSize (200, 40);

    juce::Image image (juce::Image::ARGB, 200, 40, true);
    {
        juce::Graphics g (image);
        lookAndFeel.drawComboBox (g, 200, 40, false, 170, 0, 30, 40, box);
    }
    EXPECT_EQ (image.getPixelAt (100, 20), PaletteCoal);
    EXPECT_EQ (image.getPixelAt (3, 3).getAlpha(), 0);    // inside the box but outside the round end
    EXPECT_EQ (image.getPixelAt (0, 0).getAlpha(), 0);
    EXPECT_EQ (image.getPixelAt (199, 39).getAlpha(), 0);
    EXPECT_EQ (image.getPixelAt (190, 20), PaletteCoal);  // no arrow is drawn

    juce::Label label;
    label.setText ("text", juce::dontSendNotification);
    lookAndFeel.positionComboBoxText (box, label);
    EXPECT_EQ (label.getBounds(), juce::Rectangle<int> (1, 1, 200, 38));
    EXPECT_EQ (label.getJustificationType(), juce::Justification::centred);
    EXPECT_FLOAT_EQ (label.getFont().getHeight(), 28.0f);
    EXPECT_EQ (label.getText(), "text");
}
