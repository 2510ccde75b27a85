#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// What the support e-mail tells the maker about the user's system.
struct SystemDetails
{
    juce::String operatingSystem, device, cpu;

    // Gathered now, from the running system.
    static SystemDetails current();
};

// The "mailto:" link of the support e-mail: subject "<product> help" and a body naming the
// product, its version and the system, both fully escaped so that no character of a system
// detail can end the link or reach the shell that opens it.
juce::String supportMailLink (const juce::String& productName, const juce::String& productVersion,
                              const SystemDetails& system);

// How to get help: the community chat, a pre-filled support e-mail, and a word about the
// installer itself.
class panel_support : public juce::Component,
                      public juce::Button::Listener
{
public:
    panel_support();
    ~panel_support() override;

    void paint (juce::Graphics&) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

    float unit = 9.0f;
    juce::String productName;
    juce::String productVersion;
    std::unique_ptr<juce::TextButton> closeButton;
    std::unique_ptr<juce::TextButton> mailButton;
    std::unique_ptr<juce::TextButton> discordButton;
    std::unique_ptr<juce::Drawable> discordIcon;
    std::unique_ptr<juce::Drawable> mailIcon;

private:
    void paintTile (juce::Graphics&, const juce::Button&, juce::Drawable*);
    void paintTileText (juce::Graphics&, const juce::Button&, const juce::String&);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (panel_support)
};
