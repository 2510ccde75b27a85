#include "CustomLookAndFeel.h"

#include "BinaryData.h"
#include "Palette.h"

CustomLookAndFeel::CustomLookAndFeel()
{
    regularTypeface = juce::Typeface::createSystemTypefaceFor (BinaryData::DosisBook_otf, (size_t) BinaryData::DosisBook_otfSize);
    semiboldTypeface = juce::Typeface::createSystemTypefaceFor (BinaryData::DosisSemiBold_otf, (size_t) BinaryData::DosisSemiBold_otfSize);

    const auto menuHighlight = PaletteGreen.withAlpha (0.5f);
    setColour (juce::PopupMenu::backgroundColourId, PaletteInk);
    setColour (juce::PopupMenu::highlightedBackgroundColourId, menuHighlight);
    setColour (juce::PopupMenu::textColourId, PaletteWhite);
    setColour (juce::PopupMenu::highlightedTextColourId, PaletteWhite);
    setColour (juce::AlertWindow::backgroundColourId, PaletteInk);
    setColour (juce::AlertWindow::textColourId, PaletteGrey);
    setColour (juce::PropertyComponent::labelTextColourId, menuHighlight);
    setColour (juce::ScrollBar::thumbColourId, PaletteGrey);
    setColour (juce::ResizableWindow::backgroundColourId, PaletteInk);
    setColour (juce::TextEditor::backgroundColourId, PaletteInk);
    setColour (juce::ListBox::backgroundColourId, PaletteInk);
    setColour (juce::TextButton::buttonColourId, PaletteInk);
    setColour (juce::Label::textColourId, PaletteWhite);
}

CustomLookAndFeel::~CustomLookAndFeel()
{
    regularTypeface = nullptr;
    semiboldTypeface = nullptr;
}

juce::Typeface::Ptr CustomLookAndFeel::getTypefaceForFont (const juce::Font&)
{
    return regularTypeface;
}

juce::Font CustomLookAndFeel::getPopupMenuFont()
{
    return juce::Font (withDefaultMetrics (juce::FontOptions (30.0f, juce::Font::plain).withKerningFactor (0.1f)));
}

void CustomLookAndFeel::drawComboBox (juce::Graphics& g, int width, int height, bool, int, int, int, int, juce::ComboBox&)
{
    g.setColour (PaletteCoal);
    g.fillRoundedRectangle (0.0f, 0.0f, (float) width, (float) height, (float) height * 0.5f);
}

juce::Font CustomLookAndFeel::getComboBoxFont (juce::ComboBox& box)
{
    return juce::Font (withDefaultMetrics (juce::FontOptions ((float) box.getHeight() * 0.7f)));
}

void CustomLookAndFeel::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    label.setBounds (1, 1, box.getWidth(), box.getHeight() - 2);
    label.setFont (getComboBoxFont (box));
    label.setJustificationType (juce::Justification::centred);
    label.setText (label.getText(), juce::dontSendNotification);
}

juce::Font CustomLookAndFeel::regularFont (float height) const
{
    return juce::Font (withDefaultMetrics (juce::FontOptions (regularTypeface).withHeight (height)));
}
