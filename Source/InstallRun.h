#pragma once

#include "PluginFormats.h"

#include <juce_core/juce_core.h>

#include <array>

// What happened to one format row in an install or uninstall run.
enum class RowOutcome
{
    NotProcessed,
    Installed,      // the bundle holds exactly the archive's entries
    Removed,        // nothing is left at the bundle path
    InstallFailed,  // the old bundle, if any, is untouched
    RemoveFailed
};

// Installs the archive's bundle into the format folder. The archive is extracted into a
// hidden staging folder beside the format folder first (inside it only when its parent
// cannot be written), checked, and only then swapped in for the old bundle, so a failure
// never loses the old bundle nor leaves a partial one where a plug-in host would scan.
// Every entry must lie inside the bundle; symbolic-link entries and entries that would
// land outside it are refused.
RowOutcome installBundle (const juce::File& formatFolder, const juce::String& bundleName,
                          const void* archiveData, size_t archiveSize);

// Removes the bundle (a folder, a file, or a symbolic link, which is never followed); the
// format folder and everything else in it stay.
RowOutcome removeBundle (const juce::File& formatFolder, const juce::String& bundleName);

// Cleans up after a run that was killed: staging folders of processes no longer running are
// removed, and a bundle that had been moved aside is put back if nothing replaced it.
void recoverInterruptedRuns (const juce::File& formatFolder);

// The run over the selected rows, in table order; each processed row is deselected.
std::array<RowOutcome, numFormats> runInstallation (std::array<bool, numFormats>& selected,
                                                    const std::array<juce::File, numFormats>& folders,
                                                    const juce::String& productName, bool uninstall);
