#pragma once

#include <juce_core/juce_core.h>

enum class InstallState
{
    NotInstalled,
    NeedsUpdate,
    Installed
};

// A row's status as the main screen shows it, derived afresh from the file system on every
// paint: never stored, so changes made by other programs show at once.
struct RowStatus
{
    InstallState state = InstallState::NotInstalled;
    juce::String installedVersion;  // empty when no version could be read
    juce::String text;              // e.g. "v1.0.0.0 INSTALLED"

    bool installed() const { return state != InstallState::NotInstalled; }
    bool needsUpdate() const { return state == InstallState::NeedsUpdate; }
};

// "NOT INSTALLED", "NEEDS UPDATE" or "INSTALLED": the words the screen and the command line show.
juce::String stateWords (InstallState state);

// Whether something is at the row's bundle path: the presence test, used alone by the hints.
bool isBundlePresent (const juce::File& folder, const juce::String& productName, int row);

RowStatus deriveRowStatus (const juce::File& folder, const juce::String& productName,
                           const juce::String& productVersion, int row);
