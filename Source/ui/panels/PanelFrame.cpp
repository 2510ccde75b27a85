#include "PanelFrame.h"

#include "Palette.h"

namespace PanelFrame
{
std::unique_ptr<AccessibleButton> makeHiddenButton (juce::Component& panel, juce::Button::Listener& listener,
                                                    const juce::String& name, const juce::String& title)
{
    auto button = std::make_unique<AccessibleButton>();
    panel.addAndMakeVisible (*button);
    button->setName (name);
    button->setAlpha (0.0f);
    button->addListener (&listener);

    const auto isClose = name == "X";
    const auto shown = title.isNotEmpty() ? title : isClose ? juce::String ("Close") : name;
    button->describe ({ juce::AccessibilityRole::button, [shown] { return shown; }, {}, {}, {} });
    button->setExplicitFocusOrder (isClose ? 1000 : 1 + panel.getNumChildComponents());
    return button;
}

void makeDialog (juce::Component& panel, const juce::String& title)
{
    panel.setTitle (title);
    panel.setFocusContainerType (juce::Component::FocusContainerType::keyboardFocusContainer);
}

std::unique_ptr<juce::AccessibilityHandler> dialogHandler (juce::Component& panel)
{
    return std::make_unique<juce::AccessibilityHandler> (panel, juce::AccessibilityRole::dialogWindow);
}

bool& keyboardFocusVisible()
{
    static bool visible = false;
    return visible;
}

void paintFocusRing (juce::Graphics& g, const juce::Component& owner, float unit)
{
    const auto* focused = juce::Component::getCurrentlyFocusedComponent();

    if (! keyboardFocusVisible() || focused == nullptr || focused->getParentComponent() != &owner || ! focused->isVisible())
        return;

    g.setColour (PaletteWhite);
    g.drawRoundedRectangle (focused->getBounds().toFloat().expanded (0.6f * unit), 1.0f * unit, 0.4f * unit);
}

juce::Rectangle<int> unitBounds (float unit, float x, float y, float width, float height)
{
    return { juce::roundToInt (x * unit), juce::roundToInt (y * unit),
             juce::roundToInt (width * unit), juce::roundToInt (height * unit) };
}

void placeCloseButton (juce::Button& closeButton, float unit)
{
    closeButton.setBounds (unitBounds (unit, 88.0f, 1.5f, 8.0f, 8.0f));
}

void paintCloseMark (juce::Graphics& g, const juce::Button& closeButton, float unit)
{
    const auto r = shrunk (closeButton.getBounds().toFloat(), 2.0f * unit);

    g.setColour (closeButton.isMouseOver (false) ? PaletteGrey : PaletteGrey.withAlpha ((juce::uint8) 128));
    g.drawEllipse (r, 0.25f * unit);
    g.setFont (font (3.0f * unit));
    g.drawText ("X", r, juce::Justification::centred, true);
}

void paintHeading (juce::Graphics& g, const juce::String& heading, float unit)
{
    g.setColour (PaletteWhite);
    g.setFont (font (4.0f * unit));
    g.drawSingleLineText (heading, (int) (4.0f * unit), (int) (6.0f * unit));
}

juce::Colour faceColour (const juce::Button& button)
{
    if (button.isMouseButtonDown (false))
        return PaletteGreen;
    return PaletteGrey.withAlpha ((juce::uint8) (button.isMouseOver (false) ? 191 : 128));
}

juce::Font font (float height, int styleFlags)
{
    const auto& lookAndFeel = juce::LookAndFeel::getDefaultLookAndFeel();
    return juce::Font (lookAndFeel.withDefaultMetrics (juce::FontOptions (height, styleFlags)));
}

juce::Rectangle<float> shrunk (juce::Rectangle<float> r, float by)
{
    return { r.getX() + by, r.getY() + by, juce::jmax (0.0f, r.getWidth() - 2.0f * by),
             juce::jmax (0.0f, r.getHeight() - 2.0f * by) };
}

void close (juce::Component& panel)
{
    if (auto* parent = panel.getParentComponent())
        if (const auto index = parent->getIndexOfChildComponent (&panel); index >= 0)
            parent->removeChildComponent (index);
}
} // namespace PanelFrame
