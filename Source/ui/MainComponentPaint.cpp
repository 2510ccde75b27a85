#include "InstallStatus.h"
#include "MainComponent.h"
#include "Palette.h"
#include "PanelFrame.h"
#include "ProductInfo.h"

namespace
{
using PanelFrame::faceColour;
using PanelFrame::shrunk;

juce::Colour rowFill (InstallState state, bool hovered)
{
    switch (state)
    {
        case InstallState::NotInstalled: return PaletteGrey.withAlpha (hovered ? 0.5f : 0.35f);
        case InstallState::NeedsUpdate:  return PaletteOrange.withAlpha (hovered ? 1.0f : 0.9f);
        case InstallState::Installed:    break;
    }
    return PaletteBlue.withAlpha (hovered ? 1.0f : 0.9f);
}

// Draws a drawable in a colour for a moment, putting its own colour back afterwards.
void drawRecoloured (juce::Drawable& drawable, juce::Colour from, juce::Colour to, juce::Graphics& g,
                     juce::Rectangle<float> area, juce::RectanglePlacement placement)
{
    drawable.replaceColour (from, to);
    drawable.drawWithin (g, area, placement, 1.0f);
    drawable.replaceColour (to, from);
}

void drawOnBaseline (juce::Graphics& g, const juce::String& text, float x, float baseline)
{
    g.drawSingleLineText (text, (int) x, (int) baseline);
}
} // namespace

void MainComponent::paint (juce::Graphics& g)
{
    const auto u = unit;
    const auto w = (float) getWidth(), h = (float) getHeight();

    g.fillAll (PaletteInk);
    g.setColour (PaletteBlue);
    g.fillRect (0.0f, 0.0f, 100.0f * u, u);

    g.setColour (PaletteGrey.withAlpha (0.5f));
    for (auto [dx, dy] : { std::pair { 2.0f, 2.0f }, { 2.0f, 4.0f }, { 4.0f, 2.0f } })
        g.fillEllipse (w - dx * u, h - dy * u, u, u);

    paintHeader (g);
    paintLinkFaces (g);
    paintInstallFace (g);

    if (operationDone)
        paintResult (g);
    else if (showsProgress())
        paintProgress (g);
    else
    {
        paintSelectAllFace (g);
        for (int row = 0; row < numFormats; ++row)
            paintFormatRow (g, row);
    }

    PanelFrame::paintFocusRing (g, *this, u);
}

void MainComponent::paintHeader (juce::Graphics& g)
{
    const auto u = unit;
    const juce::Rectangle<float> titleArea (4.0f * u, 8.0f * u, (float) getWidth(), 12.0f * u);

    g.setFont (lookAndFeel.regularFont (9.0f * u));
    g.setColour (PaletteGrey);
    g.drawText (productName.toUpperCase() + " DEMO", titleArea, juce::Justification::topLeft, true);

    g.setFont (lookAndFeel.regularFont (4.0f * u));
    g.setColour (PaletteGrey.withAlpha (0.5f));
    g.drawText ("Version " + productVersion + platformSuffix, titleArea, juce::Justification::bottomLeft, true);

    drawRecoloured (*logoDrawable, juce::Colours::black, PaletteWhite, g, { 4.0f * u, 2.5f * u, 26.7f * u, 3.7f * u },
                    juce::RectanglePlacement (juce::RectanglePlacement::xLeft | juce::RectanglePlacement::yMid));

    g.setColour (PaletteGrey.withAlpha (0.5f));
    g.setFont (lookAndFeel.regularFont (3.0f * u));
    drawOnBaseline (g, "PLUGIN MANAGER", 75.0f * u, 4.0f * u);
    g.setFont (lookAndFeel.regularFont (2.0f * u));
    drawOnBaseline (g, juce::String ("v") + ProductInfo::installerVersion, 75.0f * u, 6.0f * u);

    g.setColour (PaletteGrey);
    g.setFont (lookAndFeel.regularFont (4.0f * u));
    drawOnBaseline (g, "FORMATS", 4.0f * u, 26.0f * u);
    g.fillRect (4.0f * u, 27.5f * u, 92.0f * u, 0.25f * u);
    drawOnBaseline (g, "EXTRAS", 4.0f * u, 70.0f * u);
    g.fillRect (4.0f * u, 71.5f * u, 92.0f * u, 0.25f * u);
}

void MainComponent::paintLinkFaces (juce::Graphics& g)
{
    g.setFont (lookAndFeel.regularFont (2.25f * unit));

    for (size_t i = 0; i < linkButtons.size(); ++i)
    {
        const auto b = linkButtons[i]->getBounds().toFloat();
        g.setColour (faceColour (*linkButtons[i]));
        g.fillRoundedRectangle (b, 0.5f * unit);
        g.setColour (PaletteInk);
        g.drawText (linkButtonNames[(int) i], b, juce::Justification::centred, true);
    }
}

void MainComponent::paintInstallFace (juce::Graphics& g)
{
    const auto u = unit;
    const auto b = installButton->getBounds().toFloat();

    g.setColour (faceColour (*installButton));
    g.fillRoundedRectangle (b, u);
    installIcon->drawWithin (g, shrunk (b, 1.5f * u), juce::RectanglePlacement::centred, 1.0f);

    g.setColour (PaletteGrey);
    g.setFont (lookAndFeel.regularFont (2.25f * u));
    g.drawText (shiftHeld ? "UNINSTALL" : "INSTALL", b.withY (b.getY() + 3.5f * u), juce::Justification::centredBottom, true);
}

void MainComponent::paintResult (juce::Graphics& g)
{
    const auto u = unit;
    const juce::Rectangle<float> area (4.0f * u, 28.0f * u, 92.0f * u, 38.0f * u);
    const auto detail = failureDetail();
    const auto accent = detail.isEmpty() ? PaletteGreen : PaletteOrange;

    drawRecoloured (*installIcon, PaletteCoal, accent, g, shrunk (area, 12.0f * u), juce::RectanglePlacement::centred);

    g.setFont (lookAndFeel.regularFont (8.0f * u));
    g.setColour (PaletteWhite);
    g.drawText (detail.isEmpty() ? "SUCCESS!" : "FAILED!", area, juce::Justification::centredBottom, true);

    if (detail.isNotEmpty())
    {
        g.setFont (lookAndFeel.regularFont (3.0f * u));
        g.setColour (PaletteGrey);
        g.drawText (detail, juce::Rectangle<float> (4.0f * u, 31.0f * u, 92.0f * u, 5.0f * u), juce::Justification::centred, true);

        g.setFont (lookAndFeel.regularFont (2.4f * u));
        g.setColour (PaletteGrey.withAlpha (0.7f));
        g.drawFittedText (failureReasons(), unitBounds (4.0f, 35.5f, 92.0f, 5.0f), juce::Justification::centredTop, 2);
    }
}

// A run taking longer than a moment: the format it is working on and a bar by bytes written
// (by formats for an uninstall, which writes none).
void MainComponent::paintProgress (juce::Graphics& g)
{
    const auto u = unit;
    const auto progress = backgroundRun->progress();

    g.setFont (lookAndFeel.regularFont (6.0f * u));
    g.setColour (PaletteWhite);
    g.drawText (progressTitle().toUpperCase(), unitBounds (4.0f, 34.0f, 92.0f, 8.0f).toFloat(), juce::Justification::centred, true);

    const juce::Rectangle<float> bar (4.0f * u, 45.0f * u, 92.0f * u, 2.0f * u);
    g.setColour (PaletteGrey.withAlpha (0.2f));
    g.fillRoundedRectangle (bar, u);
    g.setColour (PaletteBlue);
    g.fillRoundedRectangle (bar.withWidth (bar.getWidth() * (float) progress.fraction()), u);

    const auto amount = progress.bytesToWrite > 0
                            ? juce::File::descriptionOfSizeInBytes (progress.bytesWritten) + " of " + juce::File::descriptionOfSizeInBytes (progress.bytesToWrite)
                            : juce::String (progress.rowsDone) + " of " + juce::String (progress.rows) + " formats";
    g.setFont (lookAndFeel.regularFont (3.0f * u));
    g.setColour (PaletteGrey);
    g.drawText (amount, unitBounds (4.0f, 49.0f, 92.0f, 5.0f).toFloat(), juce::Justification::centred, true);
}

void MainComponent::paintSelectAllFace (juce::Graphics& g)
{
    const auto b = selectAllButton->getBounds().toFloat();
    const bool down = selectAllButton->isMouseButtonDown();

    g.setFont (lookAndFeel.regularFont (2.7f * unit));
    g.setColour (down ? PaletteGreen : PaletteGrey.withAlpha (0.1f));
    g.fillRoundedRectangle (b, unit);
    g.setColour (down ? PaletteCoal : PaletteGrey);
    g.drawText ("SELECT ALL", b, juce::Justification::centred, true);
}

void MainComponent::paintFormatRow (juce::Graphics& g, int row)
{
    const auto u = unit;
    const auto& button = *formatButtons[(size_t) row];
    const auto status = rowStatus (row);
    const auto b = button.getBounds().toFloat();

    g.setColour (rowFill (status.state, button.isMouseOver()));
    g.fillRoundedRectangle (b, u);

    if (formatSelected[(size_t) row])
    {
        g.setColour (PaletteYellow);
        g.drawRoundedRectangle (b, u, 0.5f * u);
    }

    const juce::Rectangle<float> text (b.getX() + 11.5f * u, b.getY() + 1.5f * u,
                                       juce::jmax (0.0f, b.getWidth() - 3.0f * u), juce::jmax (0.0f, b.getHeight() - 3.0f * u));
    g.setColour (PaletteInk);
    g.setFont (lookAndFeel.regularFont (2.975f * u));
    g.drawText (formatNames[row], text, juce::Justification::topLeft, true);
    g.setFont (lookAndFeel.regularFont (2.55f * u));
    g.drawText (status.text, text, juce::Justification::bottomLeft, true);

    formatIcons[(size_t) row]->drawWithin (g, { b.getX() + u, b.getY() + u, 8.0f * u, juce::jmax (0.0f, b.getHeight() - 2.0f * u) },
                                           juce::RectanglePlacement::centred, 1.0f);
}
