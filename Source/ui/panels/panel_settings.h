#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

// One format's row on the settings panel.
struct FolderRow
{
    juce::String formatName;
    juce::String settingsKey;
};

// Each format's install folder: shows the folder stored in the shared settings file, and lets
// the user pick another with the system's folder chooser. A choice is shown in its row,
// written into the file and handed to the main screen.
class panel_settings : public juce::Component,
                       public juce::Button::Listener
{
public:
    using FolderCallback = std::function<void (const juce::String& settingsKey, const juce::String& path)>;

    panel_settings (juce::File settingsFileToUse, FolderCallback onFolderChosenToUse);
    ~panel_settings() override;

    void paint (juce::Graphics&) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

    // The chooser's completion for row i: an empty result (cancelled) changes nothing.
    // Otherwise the row's box shows the folder, the file's attribute for the row is rewritten
    // when the file can be read, and onFolderChosen hears of it. A file that cannot be
    // written is left as it is and the panel shows saveProblem.
    void folderChosen (int row, const juce::File& result);

    // The chooser's title for a row, e.g. "Choose the VST3 install folder".
    juce::String chooserTitle (int row) const;

    float unit = 9.0f;
    juce::File settingsFile;
    FolderCallback onFolderChosen;
    juce::Array<FolderRow> rows;
    juce::OwnedArray<juce::TextEditor> pathBoxes;
    juce::OwnedArray<juce::TextButton> browseButtons;
    std::unique_ptr<juce::FileChooser> folderChooser;
    std::unique_ptr<juce::TextButton> closeButton;

    // Set when a choice could not be written to the settings file (missing, unreadable or
    // read-only): the folder still holds until the installer closes, and the panel says so.
    // Also set when the chosen folder cannot be written as a Windows path at all; then the
    // old folder stays.
    juce::String saveProblem;

    // One line per row whose folder lies on a drive the system does not have.
    juce::StringArray driveProblems;

private:
    void addRow (int row, const juce::XmlElement* settings);
    void browse (int row);
    void paintRow (juce::Graphics&, int row);
    void findDriveProblems();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (panel_settings)
};
