#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The installer's look-and-feel: the framework's dark style with the embedded typeface for all
// text, palette colours for the framework widgets, and pill-shaped combo boxes.
class CustomLookAndFeel : public juce::LookAndFeel_V4
{
public:
    CustomLookAndFeel();
    ~CustomLookAndFeel() override;

    juce::Typeface::Ptr getTypefaceForFont (const juce::Font&) override;
    juce::Font getPopupMenuFont() override;

    void drawComboBox (juce::Graphics&, int width, int height, bool isButtonDown,
                       int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox&) override;
    juce::Font getComboBoxFont (juce::ComboBox&) override;
    void positionComboBoxText (juce::ComboBox&, juce::Label&) override;

    // Font heights in this installer are the full line height (ascent plus descent), so every
    // font it makes uses the framework's legacy metrics.
    juce::TypefaceMetricsKind getDefaultMetricsKind() const override { return juce::TypefaceMetricsKind::legacy; }

    // A font in the regular typeface with the given height, for the installer's own painting.
    juce::Font regularFont (float height) const;

    juce::Typeface::Ptr regularTypeface;
    juce::Typeface::Ptr semiboldTypeface;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CustomLookAndFeel)
};
