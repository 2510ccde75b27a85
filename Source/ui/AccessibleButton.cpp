#include "AccessibleButton.h"

namespace
{
class ButtonValue : public juce::AccessibilityTextValueInterface
{
public:
    explicit ButtonValue (const AccessibleButton& b) : button (b) {}

    bool isReadOnly() const override { return true; }
    juce::String getCurrentValueAsString() const override
    {
        const auto& value = button.getDescription().value;
        return value ? value() : juce::String();
    }
    void setValueAsString (const juce::String&) override {}

private:
    const AccessibleButton& button;
};

std::unique_ptr<juce::AccessibilityValueInterface> valueOf (const AccessibleButton& button)
{
    if (! button.getDescription().value)
        return nullptr;
    return std::make_unique<ButtonValue> (button);
}

class ButtonHandler : public juce::AccessibilityHandler
{
public:
    explicit ButtonHandler (AccessibleButton& b)
        : AccessibilityHandler (b, b.getDescription().role,
                                juce::AccessibilityActions().addAction (juce::AccessibilityActionType::press, [&b] { b.triggerClick(); }),
                                Interfaces { valueOf (b) }),
          button (b)
    {
    }

    juce::String getTitle() const override
    {
        const auto& title = button.getDescription().title;
        return title ? title() : button.getName();
    }

    juce::String getHelp() const override
    {
        const auto& help = button.getDescription().help;
        return help ? help() : juce::String();
    }

    juce::AccessibleState getCurrentState() const override
    {
        auto state = AccessibilityHandler::getCurrentState();

        if (const auto& checked = button.getDescription().checked)
            if (const auto isChecked = checked())
                state = *isChecked ? state.withCheckable().withChecked() : state.withCheckable();

        return state;
    }

private:
    AccessibleButton& button;
};
} // namespace

void AccessibleButton::describe (Description newDescription)
{
    description = std::move (newDescription);
    invalidateAccessibilityHandler();
}

bool AccessibleButton::keyPressed (const juce::KeyPress& key)
{
    if (isEnabled() && (key.isKeyCode (juce::KeyPress::spaceKey) || key.isKeyCode (juce::KeyPress::returnKey)))
    {
        triggerClick();
        return true;
    }

    return false;
}

std::unique_ptr<juce::AccessibilityHandler> AccessibleButton::createAccessibilityHandler()
{
    return std::make_unique<ButtonHandler> (*this);
}
