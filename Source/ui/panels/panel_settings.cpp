#include "panel_settings.h"

#include "Palette.h"
#include "PanelFrame.h"
#include "Platform.h"
#include "PluginFormats.h"
#include "SettingsFile.h"

namespace
{
const char* const noteText =
    "Destinations used by all Quillfern installers. Please note that each format defaults to the 'correct' "
    "destination as determined by the entity in charge of that format. We recommend leaving these paths as-is. "
    "Otherwise, your mileage can and will vary.";

float rowTop (float unit, int row)
{
    auto y = 16.0f * unit;
    for (int i = 0; i < row; ++i)
        y += 6.5f * unit;
    return y;
}
} // namespace

panel_settings::panel_settings (juce::File settingsFileToUse, FolderCallback onFolderChosenToUse)
{
    unit = 9.0f;
    settingsFile = std::move (settingsFileToUse);
    onFolderChosen = std::move (onFolderChosenToUse);

    // VST3, CLAP, AAX with their settings keys, from the one format table.
    for (const auto& format : pluginFormats())
        rows.add ({ format.name, format.settingsKey });

    const auto settings = SettingsFile::parse (settingsFile);
    closeButton = PanelFrame::makeHiddenButton (*this, *this, "X");

    for (int row = 0; row < rows.size(); ++row)
        addRow (row, settings.get());

    findDriveProblems();
    PanelFrame::makeDialog (*this, "Install folders");
}

std::unique_ptr<juce::AccessibilityHandler> panel_settings::createAccessibilityHandler()
{
    return PanelFrame::dialogHandler (*this);
}

panel_settings::~panel_settings() = default;

void panel_settings::addRow (int row, const juce::XmlElement* settings)
{
    auto* box = new juce::TextEditor (juce::String());
    box->setReadOnly (true);
    box->setCaretVisible (false);
    box->setColour (juce::TextEditor::backgroundColourId, PaletteCoal);
    box->setColour (juce::TextEditor::outlineColourId, PaletteGrey.withAlpha ((juce::uint8) 76));
    box->setColour (juce::TextEditor::textColourId, PaletteGrey);
    box->setText (settings != nullptr ? settings->getStringAttribute (rows[row].settingsKey) : juce::String(), false);
    box->applyColourToAllText (PaletteGrey, true);
    box->setTitle (rows[row].formatName + " install folder");
    box->setExplicitFocusOrder (1 + getNumChildComponents());
    addAndMakeVisible (box);
    pathBoxes.add (box);

    browseButtons.add (PanelFrame::makeHiddenButton (*this, *this, "BROWSE" + juce::String (row),
                                                     "Choose the " + rows[row].formatName + " install folder").release());
}

void panel_settings::paint (juce::Graphics& g)
{
    g.fillAll (PaletteInk);
    PanelFrame::paintHeading (g, "SETTINGS", unit);
    PanelFrame::paintCloseMark (g, *closeButton, unit);

    for (int row = 0; row < rows.size(); ++row)
        paintRow (g, row);

    auto problems = driveProblems;
    if (saveProblem.isNotEmpty())
        problems.insert (0, saveProblem);

    if (! problems.isEmpty())
    {
        g.setColour (PaletteOrange);
        g.setFont (PanelFrame::font (2.5f * unit));
        g.drawFittedText (problems.joinIntoString ("\n"), PanelFrame::unitBounds (unit, 4.0f, 37.0f, 92.0f, 12.5f),
                          juce::Justification::topLeft, 4);
    }

    g.setColour (PaletteGrey.withAlpha ((juce::uint8) 178));
    g.setFont (PanelFrame::font (2.5f * unit));
    g.drawFittedText (noteText, PanelFrame::unitBounds (unit, 4.0f, 50.0f, 92.0f, 20.0f),
                      juce::Justification::topLeft, 3);
    PanelFrame::paintFocusRing (g, *this, unit);
}


void panel_settings::paintRow (juce::Graphics& g, int row)
{
    const auto& box = *pathBoxes[row];
    const auto& button = *browseButtons[row];
    const auto buttonArea = button.getBounds().toFloat();

    g.setColour (PaletteGrey);
    g.setFont (PanelFrame::font (2.5f * unit));
    g.drawText (rows[row].formatName, juce::Rectangle<float> (4.0f * unit, (float) box.getY(), 16.0f * unit, (float) box.getHeight()),
                juce::Justification::centredLeft, true);

    g.setColour (PanelFrame::faceColour (button));
    g.fillRoundedRectangle (buttonArea, 0.5f * unit);

    g.setColour (PaletteInk);
    g.drawText ("BROWSE", buttonArea, juce::Justification::centred, true);
}

void panel_settings::resized()
{
    PanelFrame::placeCloseButton (*closeButton, unit);

    for (int row = 0; row < rows.size(); ++row)
    {
        const auto y = rowTop (unit, row);
        const auto h = 5.0f * unit;
        pathBoxes[row]->setBounds (juce::Rectangle<float> (22.0f * unit, y, 56.0f * unit, h).toNearestInt());
        browseButtons[row]->setBounds (juce::Rectangle<float> (80.0f * unit, y, 16.0f * unit, h).toNearestInt());
    }
}

void panel_settings::buttonClicked (juce::Button* button)
{
    const auto name = button->getName();

    if (name == "X")
        PanelFrame::close (*this);
    else if (name.startsWith ("BROWSE"))
        browse (name.substring (6).getIntValue());
}

juce::String panel_settings::chooserTitle (int row) const
{
    return "Choose the " + rows[row].formatName + " install folder";
}

void panel_settings::browse (int row)
{
    if (! juce::isPositiveAndBelow (row, rows.size()))
        return;

    const auto current = Platform::fileFromWindowsPath (pathBoxes[row]->getText());
    const auto start = current.isDirectory() ? current : juce::File();

    folderChooser = std::make_unique<juce::FileChooser> (chooserTitle (row), start, juce::String(), true);
    folderChooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectDirectories,
                                [this, row] (const juce::FileChooser& chooser) { folderChosen (row, chooser.getResult()); });
}

void panel_settings::findDriveProblems()
{
    driveProblems.clear();

    for (int row = 0; row < rows.size(); ++row)
        if (const auto drive = Platform::unavailableDriveOf (Platform::fileFromWindowsPath (pathBoxes[row]->getText()));
            drive.isNotEmpty())
            driveProblems.add ("Drive " + drive + " is not available: " + rows[row].formatName + " cannot be installed there.");
}

void panel_settings::folderChosen (int row, const juce::File& result)
{
    if (result.getFullPathName().isEmpty() || ! juce::isPositiveAndBelow (row, rows.size()))
        return;

    // The shared file holds Windows paths; a Linux name with a character Windows forbids
    // would come back as another folder, or none.
    if (! Platform::hasWindowsPathForm (result))
    {
        saveProblem = result.getFullPathName() + " has a name Windows cannot use (\\ / : * ? \" < > |); the "
                      + rows[row].formatName + " folder stays as it was.";
        repaint();
        return;
    }

    // The box, the file and the main screen all get the form the shared file holds, which
    // reads back the same way when the panel opens again.
    const auto path = Platform::windowsPathOf (result);
    const auto& key = rows[row].settingsKey;

    pathBoxes[row]->setText (path, false);

    const auto saved = SettingsFile::writeFolder (settingsFile, key, result);
    saveProblem = saved ? juce::String()
                        : "Could not save the " + rows[row].formatName + " folder to " + settingsFile.getFileName()
                              + "; it is used until the installer closes.";
    findDriveProblems();
    repaint();

    if (onFolderChosen)
        onFolderChosen (key, path);
}
