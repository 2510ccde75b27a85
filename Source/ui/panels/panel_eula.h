#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The licence agreement in a scrolling text box. The box is editable, like any text box, but
// what the user types lasts only as long as this panel object: each opening starts afresh.
class panel_eula : public juce::Component,
                   public juce::Button::Listener
{
public:
    explicit panel_eula (juce::String text);
    ~panel_eula() override;

    void paint (juce::Graphics&) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

    float unit = 9.0f;
    std::unique_ptr<juce::TextEditor> licenceEditor;
    std::unique_ptr<juce::TextButton> closeButton;

private:
    juce::Rectangle<int> editorBounds() const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (panel_eula)
};
