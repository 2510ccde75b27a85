#include "MainComponent.h"

#include "BinaryData.h"
#include "InstallStatus.h"
#include "Palette.h"
#include "Platform.h"
#include "ProductInfo.h"
#include "SettingsFile.h"
#include "PanelFrame.h"
#include "TextDecoding.h"

const juce::StringArray formatExtensions { ".vst3", ".clap", ".aaxplugin" };
const juce::StringArray formatNames { "VST3", "CLAP", "AAX" };
const juce::StringArray linkButtonNames { "EULA", "MANUAL", "WEBSITE", "SUPPORT", "SETTINGS", "CHANGES" };

namespace
{
std::unique_ptr<juce::Drawable> loadSvg (const char* data, int size)
{
    return juce::Drawable::createFromImageData (data, (size_t) size);
}
} // namespace

MainComponent::MainComponent()
{
    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
    unit = 9.0f;
    shiftHeld = false;
    operationDone = false;

    loadDrawables();

    productName = productDisplayName (ProductInfo::identifier);
    productVersion = ProductInfo::version;
    platformSuffix = " for Windows";
    websiteUrl = juce::URL (ProductInfo::websiteUrl);
    manualUrl = juce::URL (ProductInfo::manualUrl);

    formatFolders = defaultFormatFolders();
    settingsFolder = SettingsFile::makerFolder();
    SettingsFile::readOrCreate (SettingsFile::fileIn (settingsFolder), formatFolders);

    for (int row = 0; row < numFormats; ++row)
        recoverInterruptedRuns (formatFolders[(size_t) row], productName + formatExtensions[row]);

    // Keys move through the controls in reading order: the rows, SELECT ALL, the links row by
    // row (they are laid out in columns of two), INSTALL.
    for (int i = 0; i < (int) linkButtons.size(); ++i)
        linkButtons[(size_t) i] = makeButton (linkButtonNames[i], 5 + (i % 2) * 3 + i / 2);

    for (int row = 0; row < numFormats; ++row)
    {
        formatSelected[(size_t) row] = isBundlePresent (formatFolders[(size_t) row], productName, row);
        formatButtons[(size_t) row] = makeButton (formatNames[row], 1 + row);
    }

    installButton = makeButton ("INSTALL", 11);
    selectAllButton = makeButton ("SELECT_ALL", 4);

    hintLabel = std::make_unique<juce::Label>();
    addAndMakeVisible (*hintLabel);
    hintLabel->setJustificationType (juce::Justification::centred);
    hintLabel->setColour (juce::Label::textColourId, PaletteGrey.withAlpha ((juce::uint8) 128));
    hintLabel->setText (ProductInfo::installerVersion, juce::dontSendNotification);

    resultLabel = std::make_unique<juce::Label>();
    addChildComponent (*resultLabel);
    resultLabel->setAlpha (0.0f);
    resultLabel->setInterceptsMouseClicks (false, false);

    describeControls();
    setFocusContainerType (FocusContainerType::keyboardFocusContainer);
    setSize (600, 600);
}

MainComponent::~MainComponent()
{
    // A run in progress stops after its current file operation, every bundle path safe.
    stopTimer();
    backgroundRun = nullptr;

    // Resetting the default look-and-feel makes the window repaint at once, while this
    // screen is still its content: hidden, it is not painted with its parts half gone.
    setVisible (false);

    // Buttons go before the hint line they report hover changes to.
    for (auto* button : getChildren())
        if (auto* asButton = dynamic_cast<juce::Button*> (button))
            asButton->removeListener (this);
    selectAllButton = nullptr;
    installButton = nullptr;
    for (auto& button : formatButtons)
        button = nullptr;
    for (auto& button : linkButtons)
        button = nullptr;
    hintLabel = nullptr;
    resultLabel = nullptr;

    if (&juce::LookAndFeel::getDefaultLookAndFeel() == &lookAndFeel)
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}

std::unique_ptr<AccessibleButton> MainComponent::makeButton (const juce::String& name, int focusOrder)
{
    auto button = std::make_unique<AccessibleButton>();
    addAndMakeVisible (*button);
    button->setName (name);
    button->setExplicitFocusOrder (focusOrder);
    button->setAlpha (0.0f);  // an invisible hit area: this component paints the face
    button->addListener (this);
    return button;
}

juce::Rectangle<int> MainComponent::unitBounds (float x, float y, float w, float h) const
{
    return { juce::roundToInt (x * unit), juce::roundToInt (y * unit), juce::roundToInt (w * unit), juce::roundToInt (h * unit) };
}

void MainComponent::loadDrawables()
{
    for (int row = 0; row < numFormats; ++row)
    {
        const auto& format = pluginFormats()[(size_t) row];
        formatIcons[(size_t) row] = loadSvg (format.iconData, format.iconSize);
    }

    installIcon = loadSvg (BinaryData::icon_install_svg, BinaryData::icon_install_svgSize);
    logoDrawable = loadSvg (BinaryData::logo_quillfern_svg, BinaryData::logo_quillfern_svgSize);

    for (auto* icon : { formatIcons[0].get(), formatIcons[1].get(), formatIcons[2].get(), installIcon.get() })
        if (icon != nullptr)
            icon->replaceColour (juce::Colours::black, PaletteCoal);
}

void MainComponent::resized()
{
    unit = (float) getWidth() * 0.01f;

    for (int i = 0; i < (int) linkButtons.size(); ++i)
        linkButtons[(size_t) i]->setBounds (unitBounds ((float) (i / 2) * 17.0f + 4.0f, (float) (i % 2) * 5.0f + 74.0f, 16.0f, 4.0f));

    installButton->setBounds (unitBounds (86.0f, 73.5f, 10.0f, 10.0f));
    selectAllButton->setBounds (unitBounds (77.0f, 22.0f, 19.0f, 5.0f));
    formatButtons[0]->setBounds (unitBounds (4.0f, 30.0f, 45.0f, 10.0f));
    formatButtons[1]->setBounds (unitBounds (51.0f, 30.0f, 45.0f, 10.0f));
    formatButtons[2]->setBounds (unitBounds (4.0f, 42.0f, 45.0f, 10.0f));

    const auto hintFont = lookAndFeel.regularFont (3.0f * unit);
    if (hintLabel->getFont() != hintFont)
        hintLabel->setFont (hintFont);
    hintLabel->setBounds (unitBounds (4.0f, 90.0f, 92.0f, 3.0f));
    resultLabel->setBounds (unitBounds (4.0f, 28.0f, 92.0f, 38.0f));

    // Panels cover the whole screen at every size, closed ones too, so that a reopened kind
    // never shows a stale layout.
    if (eulaPanel != nullptr)      placePanel (*eulaPanel);
    if (supportPanel != nullptr)   placePanel (*supportPanel);
    if (settingsPanel != nullptr)  placePanel (*settingsPanel);
    if (changelogPanel != nullptr) placePanel (*changelogPanel);
}

juce::Component* MainComponent::openPanelComponent() const
{
    for (auto* panel : { (juce::Component*) eulaPanel.get(), (juce::Component*) supportPanel.get(),
                         (juce::Component*) settingsPanel.get(), (juce::Component*) changelogPanel.get() })
        if (panel != nullptr && panel->getParentComponent() == this)
            return panel;

    return nullptr;
}

bool MainComponent::isPanelOpen() const
{
    return openPanelComponent() != nullptr;
}

// Controls under an open panel take no focus and no keys: a key on a covered INSTALL must
// never remove plug-ins unseen. When the panel goes, the control that opened it gets the
// focus back.
void MainComponent::updateCoveredControls()
{
    const bool covered = isPanelOpen();
    bool uncovered = false;

    for (auto* child : getChildren())
        if (auto* button = dynamic_cast<AccessibleButton*> (child))
        {
            uncovered = uncovered || (! covered && ! button->isEnabled());
            button->setEnabled (! covered && ! isRunning());
        }

    if (uncovered && panelOpener != nullptr && panelOpener->isShowing())
        panelOpener->grabKeyboardFocus();
}

void MainComponent::childrenChanged()
{
    if (installButton != nullptr && selectAllButton != nullptr)
        updateCoveredControls();
}

void MainComponent::openPanel (const juce::String& name)
{
    // Each opening starts from a fresh panel, which replaces the previous one of its kind.
    if (name == "EULA")
    {
        eulaPanel = std::make_unique<panel_eula> (licenceText);
        addAndMakeVisible (*eulaPanel);
        placePanel (*eulaPanel);
    }
    else if (name == "SUPPORT")
    {
        supportPanel = std::make_unique<panel_support>();
        addAndMakeVisible (*supportPanel);
        supportPanel->productName = productName;
        supportPanel->productVersion = productVersion;
        placePanel (*supportPanel);
    }
    else if (name == "SETTINGS")
    {
        settingsPanel = std::make_unique<panel_settings> (SettingsFile::fileIn (settingsFolder),
                                                          [this] (const juce::String& key, const juce::String& path) { onFolderChosen (key, path); });
        addAndMakeVisible (*settingsPanel);
        placePanel (*settingsPanel);
    }
    else if (name == "CHANGES")
    {
        changelogPanel = std::make_unique<panel_changelog> (TextDecoding::textFromBytes (BinaryData::CHANGELOG_md, (size_t) BinaryData::CHANGELOG_mdSize),
                                                            productName);
        addAndMakeVisible (*changelogPanel);
        placePanel (*changelogPanel);
    }

    // Keys now work inside the panel, starting on its first control.
    if (auto* panel = openPanelComponent(); panel != nullptr && panel->isShowing())
        panel->grabKeyboardFocus();
}

void MainComponent::modifierKeysChanged (const juce::ModifierKeys& modifiers)
{
    const int bits = modifiers.getRawFlags() & 15;
    const int changed = bits ^ lastModifierBits;

    if ((changed & 1) != 0)
    {
        shiftHeld = (bits & 1) != 0;
        repaint();
    }

    for (int bit : { 2, 4, 8 })
        if ((changed & bit) != 0)
            repaint();

    lastModifierBits = bits;
}

void MainComponent::buttonClicked (juce::Button* button)
{
    // The controls are disabled during a run; a click already on its way is dropped too.
    if (isRunning())
        return;

    const auto name = button->getName();

    if (name == "EULA" || name == "SUPPORT" || name == "SETTINGS" || name == "CHANGES")
    {
        panelOpener = button;
        openPanel (name);
    }
    else if (name == "WEBSITE")
        websiteUrl.launchInDefaultBrowser();
    else if (name == "MANUAL")
        manualUrl.launchInDefaultBrowser();
    else if (const auto row = formatNames.indexOf (name); row >= 0)
    {
        formatSelected[(size_t) row] = ! formatSelected[(size_t) row];
        repaint();
    }
    else if (name == "INSTALL")
        runInstallOrUninstall();
    else if (name == "SELECT_ALL")
    {
        formatSelected.fill (true);
        repaint();
    }
}

void MainComponent::buttonStateChanged (juce::Button* button)
{
    if (button->isMouseButtonDown())
        showKeyboardFocus (false);

    const auto before = hintLabel->getText();

    if (! button->isMouseOver())
        hintLabel->setText ({}, juce::dontSendNotification);
    else if (const auto hint = hintFor (button->getName()))
        hintLabel->setText (*hint, juce::dontSendNotification);

    if (const auto now = hintLabel->getText(); now != before && now.isNotEmpty())
        juce::AccessibilityHandler::postAnnouncement (now, juce::AccessibilityHandler::AnnouncementPriority::low);
}

bool MainComponent::keyPressed (const juce::KeyPress& key)
{
    // Escape closes the panel on top.
    if (auto* panel = openPanelComponent(); panel != nullptr && key.isKeyCode (juce::KeyPress::escapeKey))
    {
        PanelFrame::close (*panel);
        return true;
    }

    // Tab and Shift+Tab move the focus (the framework does that once this returns false);
    // from now on the focus is drawn.
    if (key.isKeyCode (juce::KeyPress::tabKey))
        showKeyboardFocus (true);

    return false;
}

void MainComponent::mouseDown (const juce::MouseEvent&)
{
    showKeyboardFocus (false);
}

void MainComponent::showKeyboardFocus (bool shown)
{
    if (PanelFrame::keyboardFocusVisible() == shown)
        return;

    PanelFrame::keyboardFocusVisible() = shown;
    repaint();
}

void MainComponent::focusOfChildComponentChanged (FocusChangeType)
{
    if (PanelFrame::keyboardFocusVisible())
        repaint();
}

std::optional<juce::String> MainComponent::hintFor (const juce::String& buttonName) const
{
    static const std::pair<const char*, const char*> linkHints[] = {
        { "EULA", "Click to read End-User License Agreement" },
        { "MANUAL", "Click to open product manual in your web browser" },
        { "WEBSITE", "Click to open product page on the Quillfern website" },
        { "SUPPORT", "Email and Discord support" },
        { "SETTINGS", "Click to set the install folder for each format" },
        { "CHANGES", "Click to view release notes" },
    };

    for (const auto& [name, hint] : linkHints)
        if (buttonName == name)
            return juce::String (hint);

    if (const auto row = formatNames.indexOf (buttonName); row >= 0)
        return isBundlePresent (formatFolders[(size_t) row], productName, row)
                   ? "Select to update " + buttonName + " to " + productVersion
                   : "Select to install " + buttonName;

    if (buttonName == "INSTALL")
        return juce::String ("Click to install selected. Shift-click to uninstall selected");

    return std::nullopt;
}

void MainComponent::onFolderChosen (const juce::String& key, const juce::String& path)
{
    if (const auto row = SettingsFile::rowForKey (key); row >= 0)
        if (const auto folder = Platform::fileFromWindowsPath (path); folder != juce::File())
            formatFolders[(size_t) row] = folder;

    repaint();
}

void MainComponent::runInstallOrUninstall()
{
    if (isRunning())
        return;

    for (int row = 0; row < numFormats; ++row)
        statusAtRunStart[(size_t) row] = deriveRowStatus (formatFolders[(size_t) row], productName, productVersion, row);

    runStartMs = juce::Time::getMillisecondCounterHiRes();
    announcedProgress = {};
    backgroundRun = std::make_unique<BackgroundRun> (RunPlan { formatSelected, formatFolders, productName, shiftHeld, archiveFor },
                                                     runObserver);
    updateCoveredControls();
    startTimerHz (30);
}

bool MainComponent::showsProgress() const
{
    return isRunning() && juce::Time::getMillisecondCounterHiRes() - runStartMs > progressDelayMs;
}

void MainComponent::timerCallback()
{
    if (backgroundRun != nullptr && backgroundRun->isFinished())
        finishRun();
    else if (showsProgress())
    {
        repaint (unitBounds (4.0f, 22.0f, 92.0f, 44.0f));

        // Screen readers hear what the progress view shows, once per format.
        if (const auto title = progressTitle(); title != announcedProgress)
        {
            announcedProgress = title;
            juce::AccessibilityHandler::postAnnouncement (title, juce::AccessibilityHandler::AnnouncementPriority::low);
        }
    }
}

juce::String MainComponent::progressTitle() const
{
    if (backgroundRun == nullptr)
        return {};

    const auto& plan = backgroundRun->plan();
    auto row = backgroundRun->progress().row;
    if (row < 0)  // the run has not reached its first row yet: that row is the first selected
        row = (int) std::distance (plan.selected.begin(), std::find (plan.selected.begin(), plan.selected.end(), true));

    return (plan.uninstall ? "Removing " : "Installing ") + formatNames[juce::jmin (row, numFormats - 1)];
}

void MainComponent::finishRun()
{
    if (backgroundRun == nullptr)
        return;

    backgroundRun->waitUntilFinished();
    stopTimer();
    rowOutcomes = backgroundRun->results();
    backgroundRun = nullptr;

    for (int row = 0; row < numFormats; ++row)
        if (rowOutcomes[(size_t) row].outcome != RowOutcome::NotProcessed)
            formatSelected[(size_t) row] = false;

    showRunResult();
}

void MainComponent::showRunResult()
{
    operationDone = true;

    for (auto& button : formatButtons)
        button->setVisible (false);
    selectAllButton->setVisible (false);
    installButton->setVisible (false);
    updateCoveredControls();

    const auto detail = failureDetail();
    resultLabel->setText (detail.isEmpty() ? "SUCCESS!" : "FAILED! " + detail + ". " + failureReasons(), juce::dontSendNotification);
    resultLabel->setVisible (true);
    juce::AccessibilityHandler::postAnnouncement (resultLabel->getText(), juce::AccessibilityHandler::AnnouncementPriority::high);

    // The focus was on a control that is gone now, or was set aside during the run: the
    // first link takes it.
    if (auto* focused = getCurrentlyFocusedComponent(); focused == nullptr || focused == this || ! focused->isShowing())
        if (isShowing())
            linkButtons[0]->grabKeyboardFocus();

    repaint();
}

RowStatus MainComponent::rowStatus (int row) const
{
    if (backgroundRun != nullptr && backgroundRun->plan().selected[(size_t) row])
        return statusAtRunStart[(size_t) row];
    return deriveRowStatus (formatFolders[(size_t) row], productName, productVersion, row);
}

juce::String MainComponent::rowStatusForAccessibility (int row) const
{
    const auto status = rowStatus (row);
    const auto version = status.installedVersion.isNotEmpty() ? ", version " + status.installedVersion : juce::String();

    switch (status.state)
    {
        case InstallState::NotInstalled: return "not installed";
        case InstallState::NeedsUpdate:  return "needs update" + version;
        case InstallState::Installed:    return "installed" + version;
    }

    return {};
}

void MainComponent::describeControls()
{
    for (int row = 0; row < numFormats; ++row)
        formatButtons[(size_t) row]->describe ({ juce::AccessibilityRole::toggleButton,
                                                 [row] { return formatNames[row]; },
                                                 [this, row] { return rowStatusForAccessibility (row); },
                                                 [this, row] { return hintFor (formatNames[row]).value_or (juce::String()); },
                                                 [this, row] { return std::optional<bool> (formatSelected[(size_t) row]); } });

    selectAllButton->describe ({ juce::AccessibilityRole::button, [] { return juce::String ("Select all"); }, {}, {}, {} });

    installButton->describe ({ juce::AccessibilityRole::button,
                               [this] { return juce::String (shiftHeld ? "Uninstall selected" : "Install selected"); },
                               {},
                               [this] { return hintFor ("INSTALL").value_or (juce::String()); },
                               {} });

    static const std::pair<const char*, const char*> linkTitles[] = {
        { "EULA", "Licence agreement" }, { "MANUAL", "Product manual" }, { "WEBSITE", "Product web site" },
        { "SUPPORT", "Support" }, { "SETTINGS", "Install folders" }, { "CHANGES", "Release notes" },
    };

    for (const auto& [name, title] : linkTitles)
    {
        auto* button = linkButtons[(size_t) linkButtonNames.indexOf (name)].get();
        const juce::String buttonName (name), buttonTitle (title);
        const auto help = [this, buttonName]
        {
            if (buttonName == "WEBSITE") return "Opens " + websiteUrl.toString (false) + " in your web browser";
            if (buttonName == "MANUAL")  return "Opens " + manualUrl.toString (false) + " in your web browser";
            return hintFor (buttonName).value_or (juce::String());
        };
        button->describe ({ juce::AccessibilityRole::button, [buttonTitle] { return buttonTitle; }, {}, help, {} });
    }
}

juce::String MainComponent::failureDetail() const
{
    juce::StringArray notInstalled, notRemoved;

    for (int row = 0; row < numFormats; ++row)
    {
        if (rowOutcomes[(size_t) row] == RowOutcome::InstallFailed)
            notInstalled.add (formatNames[row]);
        if (rowOutcomes[(size_t) row] == RowOutcome::RemoveFailed)
            notRemoved.add (formatNames[row]);
    }

    juce::StringArray parts;
    if (! notInstalled.isEmpty())
        parts.add ("Could not install: " + notInstalled.joinIntoString (", "));
    if (! notRemoved.isEmpty())
        parts.add ("Could not remove: " + notRemoved.joinIntoString (", "));
    return parts.joinIntoString ("; ");
}

juce::String MainComponent::failureReasons() const
{
    juce::StringArray reasons;

    for (int row = 0; row < numFormats; ++row)
        if (rowOutcomes[(size_t) row].reason.isNotEmpty())
            reasons.add (formatNames[row] + ": " + rowOutcomes[(size_t) row].reason);

    return reasons.joinIntoString (". ");
}
