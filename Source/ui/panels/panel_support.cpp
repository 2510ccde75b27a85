#include "panel_support.h"

#include "BinaryData.h"
#include "Palette.h"
#include "PanelFrame.h"
#include "ProductInfo.h"

namespace
{
const char* const discordText =
    "The Quillfern Discord is a vibrant community of musicians and producers, and this is the fastest way to get "
    "answers to simple questions. Just join and drop in the appropriate channel. ";

const char* const mailText =
    "If you have more complicated questions, or matters that need to remain private, concerning account "
    "information, etc., feel free to email us.";

juce::String aboutText()
{
    return juce::String ("The Quillfern Plugin Manager v") + ProductInfo::installerVersion
           + " cross-platform installater. \nFeel free to drop us a line if you have any suggestions or questions "
             "concerning its use.";
}

// An embedded SVG with its opaque black drawn in PaletteCoal.
std::unique_ptr<juce::Drawable> loadIcon (const char* data, int size)
{
    auto icon = juce::Drawable::createFromImageData (data, (size_t) size);
    if (icon != nullptr)
        icon->replaceColour (juce::Colours::black, PaletteCoal);
    return icon;
}

void drawLeft (juce::Graphics& g, const juce::String& text, float unit, float y)
{
    g.drawText (text, juce::Rectangle<float> (10.0f * unit, y * unit, 80.0f * unit, 10.0f * unit),
                juce::Justification::centredLeft, true);
}

void drawFitted (juce::Graphics& g, const juce::String& text, juce::Rectangle<int> area)
{
    g.drawFittedText (text, area, juce::Justification::topLeft, 20, 0.0f);
}
} // namespace

SystemDetails SystemDetails::current()
{
    return { juce::SystemStats::getOperatingSystemName(), juce::SystemStats::getDeviceDescription(),
             juce::SystemStats::getCpuModel() };
}

juce::String supportMailLink (const juce::String& productName, const juce::String& productVersion,
                              const SystemDetails& system)
{
    const auto body = "Product: " + productName + " " + productVersion + "\n"
                      + "Operating System: " + system.operatingSystem + "\n"
                      + "Device: " + system.device + "\n"
                      + "CPU: " + system.cpu + "\n"
                      + "\n"
                      + "Your problem, and the steps to recreate it, if possible:\n";
    const auto subject = productName + " help";

    return juce::String ("mailto:") + ProductInfo::supportEmail
           + "?subject=" + juce::URL::addEscapeChars (subject, true)
           + "&body=" + juce::URL::addEscapeChars (body, true);
}

panel_support::panel_support()
{
    unit = 9.0f;

    discordIcon = loadIcon (BinaryData::icon_discord_svg, BinaryData::icon_discord_svgSize);
    mailIcon = loadIcon (BinaryData::icon_mail_svg, BinaryData::icon_mail_svgSize);

    closeButton = PanelFrame::makeHiddenButton (*this, *this, "X");
    discordButton = PanelFrame::makeHiddenButton (*this, *this, "DISCORD", "Community chat on Discord");
    mailButton = PanelFrame::makeHiddenButton (*this, *this, "MAIL", "E-mail to support");
    PanelFrame::makeDialog (*this, "Support");
}

std::unique_ptr<juce::AccessibilityHandler> panel_support::createAccessibilityHandler()
{
    return PanelFrame::dialogHandler (*this);
}

panel_support::~panel_support() = default;

void panel_support::paint (juce::Graphics& g)
{
    g.fillAll (PaletteInk);
    PanelFrame::paintCloseMark (g, *closeButton, unit);

    g.setColour (PaletteWhite);
    g.setFont (PanelFrame::font (5.0f * unit));
    drawLeft (g, "DISCORD", unit, 7.0f);
    paintTile (g, *discordButton, discordIcon.get());
    paintTileText (g, *discordButton, discordText);

    g.setColour (PaletteWhite);
    g.setFont (PanelFrame::font (5.0f * unit));
    drawLeft (g, "E-MAIL", unit, 27.0f);
    paintTile (g, *mailButton, mailIcon.get());
    paintTileText (g, *mailButton, mailText);

    g.setColour (PaletteGrey);
    g.setFont (PanelFrame::font (3.0f * unit));
    drawLeft (g, "ABOUT QUILLFERN PLUGIN MANAGER", unit, 57.0f);
    drawFitted (g, aboutText(), PanelFrame::unitBounds (unit, 10.0f, 65.0f, 80.0f, 30.0f));
    g.drawSingleLineText (ProductInfo::rightsNotice, (int) (10.0f * unit), (int) (88.0f * unit));
    PanelFrame::paintFocusRing (g, *this, unit);
}

void panel_support::paintTile (juce::Graphics& g, const juce::Button& button, juce::Drawable* icon)
{
    const auto b = button.getBounds().toFloat();

    g.setColour (PanelFrame::faceColour (button));
    g.fillRoundedRectangle (b, unit);

    if (icon != nullptr)
        icon->drawWithin (g, PanelFrame::shrunk (b, 2.0f * unit), juce::RectanglePlacement::centred, 1.0f);
}

void panel_support::paintTileText (juce::Graphics& g, const juce::Button& button, const juce::String& text)
{
    g.setColour (PaletteGrey);
    g.setFont (PanelFrame::font (3.0f * unit));
    const juce::Rectangle<float> area ((float) button.getX() + 12.0f * unit, (float) button.getY(), 70.0f * unit, 30.0f * unit);
    drawFitted (g, text, area.toNearestInt());
}

void panel_support::resized()
{
    PanelFrame::placeCloseButton (*closeButton, unit);
    discordButton->setBounds (PanelFrame::unitBounds (unit, 10.0f, 15.0f, 10.0f, 10.0f));
    mailButton->setBounds (PanelFrame::unitBounds (unit, 10.0f, 35.0f, 10.0f, 10.0f));
}

void panel_support::buttonClicked (juce::Button* button)
{
    const auto name = button->getName();

    if (name == "X")
        PanelFrame::close (*this);
    else if (name == "DISCORD")
        juce::URL (ProductInfo::chatUrl).launchInDefaultBrowser();
    else if (name == "MAIL")
        juce::URL (supportMailLink (productName, productVersion, SystemDetails::current())).launchInDefaultBrowser();
}
