#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// What the four panels share: the hidden buttons they draw faces for, the close mark in the
// top right corner, the heading, fonts sized by the layout unit, and closing by leaving the
// parent. Each panel class holds its own members; these are the steps they all take.
namespace PanelFrame
{
// A button that is never drawn but still takes clicks and hover: the panel paints its face.
// The component name is what the panel's buttonClicked dispatches on.
std::unique_ptr<juce::TextButton> makeHiddenButton (juce::Component& panel, juce::Button::Listener& listener,
                                                    const juce::String& name);

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
