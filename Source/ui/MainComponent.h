#pragma once

#include "AccessibleButton.h"
#include "BackgroundRun.h"
#include "CustomLookAndFeel.h"
#include "InstallRun.h"
#include "InstallStatus.h"
#include "PluginFormats.h"
#include "panel_changelog.h"
#include "panel_eula.h"
#include "panel_settings.h"
#include "panel_support.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>
#include <optional>

extern const juce::StringArray formatExtensions;
extern const juce::StringArray formatNames;
extern const juce::StringArray linkButtonNames;
extern const juce::String licenceText;

// The installer's one screen and its state: the product identity, the format table's per-row
// state, the controls, the drawables and the look-and-feel.
class MainComponent : public juce::Component,
                      public juce::Button::Listener,
                      private juce::Timer
{
public:
    MainComponent();
    ~MainComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void modifierKeysChanged (const juce::ModifierKeys&) override;
    void buttonClicked (juce::Button*) override;
    void buttonStateChanged (juce::Button*) override;
    bool keyPressed (const juce::KeyPress&) override;
    void childrenChanged() override;
    void focusOfChildComponentChanged (FocusChangeType) override;
    void mouseDown (const juce::MouseEvent&) override;

    // The settings panel's callback: a folder was chosen for the row with this settings key.
    void onFolderChosen (const juce::String& key, const juce::String& path);

    // Starts installing the selected rows, or removing them when Shift is held, on a thread
    // of its own; the screen shows the result when the run has ended. The controls take no
    // clicks and no keys meanwhile.
    void runInstallOrUninstall();

    // Waits for the run in progress, if any, to end and shows its result at once; for callers
    // that do not return to the message loop (tests, benchmarks).
    void finishRun();

    bool isRunning() const { return backgroundRun != nullptr; }

    // Whether the result area shows the run's progress: once it has taken longer than this.
    static constexpr double progressDelayMs = 300.0;
    bool showsProgress() const;

    // What the progress view says, e.g. "Installing VST3"; empty when no run is in progress.
    juce::String progressTitle() const;

    // What runs started from this screen use: the embedded archives, unless a benchmark or
    // test supplies others; and an observer that hears the run's events on its thread.
    std::function<ArchiveBytes (int row)> archiveFor = embeddedArchive;
    RunListener* runObserver = nullptr;

    int lastModifierBits = 0;
    CustomLookAndFeel lookAndFeel;
    float unit = 9.0f;
    juce::String productName, productVersion, platformSuffix;

    std::array<std::unique_ptr<AccessibleButton>, 6> linkButtons;
    std::array<std::unique_ptr<AccessibleButton>, numFormats> formatButtons;
    std::unique_ptr<AccessibleButton> installButton, selectAllButton;
    std::unique_ptr<panel_eula> eulaPanel;
    std::unique_ptr<panel_support> supportPanel;
    std::unique_ptr<panel_settings> settingsPanel;
    std::unique_ptr<panel_changelog> changelogPanel;
    std::unique_ptr<juce::Label> hintLabel;

    // The result view's words for assistive technology; the view itself is painted.
    std::unique_ptr<juce::Label> resultLabel;

    // The control whose click opened the panel now showing; it gets the focus back.
    juce::Component::SafePointer<juce::Component> panelOpener;

    std::array<std::unique_ptr<juce::Drawable>, numFormats> formatIcons;
    std::unique_ptr<juce::Drawable> installIcon, logoDrawable;
    juce::URL websiteUrl, manualUrl;
    juce::File settingsFolder;
    bool shiftHeld = false;
    bool operationDone = false;
    std::array<bool, numFormats> formatSelected {};
    std::array<juce::File, numFormats> formatFolders;

    // What the last run did to each row, so the result view can tell the truth.
    std::array<RowResult, numFormats> rowOutcomes {};

    // A row's status as painted: derived from the disk, except for a row the run in progress
    // is working on, which shows its state from before the run rather than a half-made bundle.
    RowStatus rowStatus (int row) const;

    // The hover hint for a button name; nullopt where the hint line keeps its text.
    std::optional<juce::String> hintFor (const juce::String& buttonName) const;

    // The formats the last run could not install or remove, for the result view; empty when
    // every processed row ended as intended.
    juce::String failureDetail() const;

    // Why those formats failed, e.g. "VST3: drive E: is not available"; empty on success.
    juce::String failureReasons() const;

    // The panel that covers the screen now, if any.
    juce::Component* openPanelComponent() const;
    bool isPanelOpen() const;

    // The status words of a row for assistive technology, e.g. "installed, version 1.0.0.0".
    juce::String rowStatusForAccessibility (int row) const;

private:
    void loadDrawables();
    void describeControls();
    void showKeyboardFocus (bool shown);
    void updateCoveredControls();
    void openPanel (const juce::String& name);
    void timerCallback() override;
    void showRunResult();

    // Gives a panel the screen's unit and bounds and keeps it above the screen's controls.
    template <typename Panel>
    void placePanel (Panel& panel)
    {
        panel.unit = unit;
        panel.setBounds (getBounds());
        panel.setAlwaysOnTop (true);
    }

    std::unique_ptr<AccessibleButton> makeButton (const juce::String& name, int focusOrder);
    juce::Rectangle<int> unitBounds (float x, float y, float w, float h) const;

    void paintHeader (juce::Graphics&);
    void paintLinkFaces (juce::Graphics&);
    void paintInstallFace (juce::Graphics&);
    void paintResult (juce::Graphics&);
    void paintProgress (juce::Graphics&);
    void paintSelectAllFace (juce::Graphics&);
    void paintFormatRow (juce::Graphics&, int row);

    std::unique_ptr<BackgroundRun> backgroundRun;
    std::array<RowStatus, numFormats> statusAtRunStart;
    double runStartMs = 0.0;
    juce::String announcedProgress;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
