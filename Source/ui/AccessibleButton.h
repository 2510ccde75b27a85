#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <optional>

// The installer's invisible buttons: a TextButton whose face the owner paints, which Space and
// Return press like a click, and which tells assistive technology what it is. The owner fills
// in the description; a title of its own replaces the component name that the click dispatch
// uses.
class AccessibleButton : public juce::TextButton
{
public:
    struct Description
    {
        juce::AccessibilityRole role = juce::AccessibilityRole::button;
        std::function<juce::String()> title;           // e.g. "VST3"
        std::function<juce::String()> value;           // e.g. "installed, version 1.0.0.0"; none when empty
        std::function<juce::String()> help;            // where it goes or what it does
        std::function<std::optional<bool>()> checked;  // a toggle's state
    };

    // Sets how the button describes itself, and lets assistive technology read it afresh.
    void describe (Description newDescription);

    const Description& getDescription() const noexcept { return description; }

    bool keyPressed (const juce::KeyPress&) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    Description description;
};
