#pragma once

#include "AccessibleButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// What the four panels share: the hidden buttons they draw faces for, the close mark in the
// top right corner, the heading, fonts sized by the layout unit, and closing by leaving the
// parent. Each panel class holds its own members; these are the steps they all take.
namespace PanelFrame
{
// A button that is never drawn but still takes clicks, hover and keys: the panel paints its
// face. The component name is what the panel's buttonClicked dispatches on; the title is what
// assistive technology reads ("Close" for "X"). The close button comes last when keys move
// the focus through the panel.
std::unique_ptr<AccessibleButton> makeHiddenButton (juce::Component& panel, juce::Button::Listener& listener,
                                                    const juce::String& name, const juce::String& title = {});

// A panel as assistive technology sees it: a dialog titled by its heading; keys move the focus
// only among its own controls.
void makeDialog (juce::Component& panel, const juce::String& title);
std::unique_ptr<juce::AccessibilityHandler> dialogHandler (juce::Component& panel);

// Whether the keyboard focus is drawn: set once a key moved it, cleared by the mouse (as
// browsers do), shared by the screen and its panels.
bool& keyboardFocusVisible();

// A ring around the focused control when it is one of owner's children and the focus is shown.
void paintFocusRing (juce::Graphics&, const juce::Component& owner, float unit);

// A rectangle in layout units, each value rounded to whole pixels.
juce::Rectangle<int> unitBounds (float unit, float x, float y, float width, float height);

void placeCloseButton (juce::Button& closeButton, float unit);

// The circle with its "X", half transparent until the pointer is over the close button.
void paintCloseMark (juce::Graphics&, const juce::Button& closeButton, float unit);

// A panel heading: one white line at the top left, its baseline six units down.
void paintHeading (juce::Graphics&, const juce::String& heading, float unit);

// The face of a hidden button: green while pressed, brighter while hovered, else half grey.
juce::Colour faceColour (const juce::Button&);

// A font of the look-and-feel's typeface, the height being the full line height.
juce::Font font (float height, int styleFlags = juce::Font::plain);

// r shrunk by the same amount on every side, never below zero size.
juce::Rectangle<float> shrunk (juce::Rectangle<float> r, float by);

// Takes the panel off its parent; the owner keeps the object.
void close (juce::Component& panel);
} // namespace PanelFrame
