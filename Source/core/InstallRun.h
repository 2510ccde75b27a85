#pragma once

#include "PluginFormats.h"

#include <juce_core/juce_core.h>

#include <array>
#include <functional>

// What happened to one format row in an install or uninstall run.
enum class RowOutcome
{
    NotProcessed,
    Installed,      // the bundle holds exactly the archive's entries, every one checked
    Removed,        // nothing is left at the bundle path
    InstallFailed,  // the old bundle, if any, is untouched
    RemoveFailed
};

// A row's outcome, with the reason when it failed, in words a user can act on.
struct RowResult
{
    RowOutcome outcome = RowOutcome::NotProcessed;
    juce::String reason;

    bool operator== (RowOutcome other) const { return outcome == other; }
};

// An archive to install: bytes the caller owns, and the CRC-32 of all of them as recorded
// when the archive was built.
struct ArchiveBytes
{
    const void* data = nullptr;
    size_t size = 0;
    juce::uint32 crc32 = 0;
};

// The archive compiled into the executable for a row.
ArchiveBytes embeddedArchive (int row);

// What a run reports while it works, called on the thread the run runs on. Each member does
// nothing by default, so a listener overrides only what it shows.
class RunListener
{
public:
    virtual ~RunListener() = default;

    // Before the first row: the bytes the run will write (0 for an uninstall) and its rows.
    virtual void runStarted (juce::int64 /*bytesToWrite*/, int /*rows*/) {}
    virtual void rowStarted (int /*row*/) {}
    virtual void bytesWritten (juce::int64 /*bytes*/) {}
    // One line per change made on disk, e.g. "wrote Kestrune.vst3/Contents/... (812 bytes)".
    virtual void fileOperation (const juce::String& /*what*/) {}
    virtual void rowFinished (int /*row*/, const RowResult&) {}

    // Asked between file operations and between buffers of a file. True ends the run as soon
    // as every bundle path is safe again: a row being installed keeps its old bundle, and
    // rows not started yet are left alone.
    virtual bool shouldStop() { return false; }
};

// The words a row gets when the run was stopped before the row was done.
extern const juce::String runStoppedReason;

// Installs the archive's bundle into the format folder. The archive's bytes are checked
// against their recorded CRC-32 before anything is written. The bundle is then extracted
// into a hidden staging folder beside the format folder (inside it when the parent cannot
// be written or lies on another file system), every file checked against the CRC-32 and
// size in the archive's directory as it is written, and only then swapped in for the old
// bundle, so a failure never loses the old bundle nor leaves a partial one where a plug-in
// host would scan. Every entry must lie inside the bundle; symbolic-link entries and
// entries that would land outside it are refused.
RowResult installBundle (const juce::File& formatFolder, const juce::String& bundleName, const ArchiveBytes& archive,
                         RunListener* listener = nullptr);

// Why no install into this folder can work, known without writing anything: its drive does
// not exist, or something that is not a folder stands where its path needs one. Empty when an
// install may go ahead.
juce::String unusableInstallFolder (const juce::File& formatFolder);

// Removes the bundle (a folder, a file, or a symbolic link, which is never followed); the
// format folder and everything else in it stay.
RowResult removeBundle (const juce::File& formatFolder, const juce::String& bundleName, RunListener* listener = nullptr);

// Cleans up after a run that was killed: this format folder's staging folders whose process
// is no longer running are removed, and the bundle of this name, if it had been moved aside,
// is put back when nothing replaced it. A staging folder holding another bundle (another
// product of the maker sharing the folder) is left for that product's installer.
void recoverInterruptedRuns (const juce::File& formatFolder, const juce::String& bundleName, RunListener* listener = nullptr);

// The bytes installing this archive writes: the sum of its entries' sizes (0 when its
// directory cannot be read; the install then fails on its own checks).
juce::int64 bytesToWrite (const ArchiveBytes& archive);

// One install or uninstall run: which rows, where, and from which archives.
struct RunPlan
{
    std::array<bool, numFormats> selected {};
    std::array<juce::File, numFormats> folders;
    juce::String productName;
    bool uninstall = false;
    // The archive each row installs: the embedded one unless a caller supplies others (a
    // memory-mapped file, say). The bytes must stay valid until the run returns.
    std::function<ArchiveBytes (int row)> archiveFor = embeddedArchive;
};

// The run over the plan's selected rows, in table order.
std::array<RowResult, numFormats> runInstallation (const RunPlan& plan, RunListener* listener = nullptr);

// The same run over the embedded archives; each processed row is deselected.
std::array<RowResult, numFormats> runInstallation (std::array<bool, numFormats>& selected,
                                                   const std::array<juce::File, numFormats>& folders,
                                                   const juce::String& productName, bool uninstall);
