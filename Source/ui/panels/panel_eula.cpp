#include "panel_eula.h"

#include "Palette.h"
#include "PanelFrame.h"

panel_eula::panel_eula (juce::String text)
{
    unit = 9.0f;

    licenceEditor = std::make_unique<juce::TextEditor> (juce::String(), (juce::juce_wchar) 0);
    addAndMakeVisible (*licenceEditor);
    licenceEditor->setMultiLine (true, true);
    // Word-wrapping the text into a box of no width puts every character on a line of its own,
    // which takes half a second; the box gets its size for this unit before the text.
    licenceEditor->setBounds (editorBounds());
    licenceEditor->setText (text, true);
    licenceEditor->applyColourToAllText (PaletteGrey, true);
    // The outline in the panel's own colour, so that no border shows.
    licenceEditor->setColour (juce::TextEditor::outlineColourId, PaletteInk);
    licenceEditor->setColour (juce::TextEditor::focusedOutlineColourId, PaletteInk);

    closeButton = PanelFrame::makeHiddenButton (*this, *this, "X");
    licenceEditor->setExplicitFocusOrder (1);
    licenceEditor->setTitle ("Licence agreement text");
    licenceEditor->onEscapeKey = [this] { PanelFrame::close (*this); };
    PanelFrame::makeDialog (*this, "Licence agreement");
}

panel_eula::~panel_eula() = default;

void panel_eula::paint (juce::Graphics& g)
{
    g.fillAll (PaletteInk);
    PanelFrame::paintHeading (g, "LICENSE AGREEMENT", unit);
    PanelFrame::paintCloseMark (g, *closeButton, unit);
    PanelFrame::paintFocusRing (g, *this, unit);
}

std::unique_ptr<juce::AccessibilityHandler> panel_eula::createAccessibilityHandler()
{
    return PanelFrame::dialogHandler (*this);
}

void panel_eula::resized()
{
    licenceEditor->setBounds (editorBounds());
    PanelFrame::placeCloseButton (*closeButton, unit);
}

juce::Rectangle<int> panel_eula::editorBounds() const
{
    return PanelFrame::unitBounds (unit, 4.0f, 12.0f, 92.0f, 80.0f);
}

void panel_eula::buttonClicked (juce::Button*)
{
    PanelFrame::close (*this);
}
