#include "InstallRun.h"

#include "ArchiveChecks.h"
#include "Platform.h"

#include <optional>

namespace
{
// Staging folders are named ".qf-staging.<process id>.<16 hex digits>.<format folder name>":
// the two fixed fields come first, so a folder "P" never claims the staging of a folder
// "P-X" or "P.X".
const juce::String stagingPrefix (".qf-staging.");

// Staging folder layout: "new" receives the extraction, "previous" holds an old bundle while
// it is being replaced (put back if the run dies), "discard" holds one being removed.
constexpr const char* newFolder = "new";
constexpr const char* previousFolder = "previous";
constexpr const char* discardFolder = "discard";

// The bundle is extracted under this neutral name, so that a staging folder inside the
// format folder holds nothing named like a bundle at its top.
constexpr const char* stagedBundleName = "payload";

constexpr int copyBufferSize = 1 << 16;

RowResult installFailed (const juce::String& reason) { return { RowOutcome::InstallFailed, reason }; }
RowResult removeFailed (const juce::String& reason) { return { RowOutcome::RemoveFailed, reason }; }

const juce::String damagedArchive ("the installer's copy of the plug-in is damaged; download the installer again");

// Callers that pass no listener get this one, which hears nothing and never stops a run.
RunListener& listenerOrQuiet (RunListener* listener)
{
    static RunListener quiet;
    return listener != nullptr ? *listener : quiet;
}

struct StagingName
{
    int processId = 0;
    juce::String folderName;
};

std::optional<StagingName> parseStagingName (const juce::String& name)
{
    if (! name.startsWith (stagingPrefix))
        return std::nullopt;

    const auto rest = name.substring (stagingPrefix.length());
    const auto pid = rest.upToFirstOccurrenceOf (".", false, false);
    const auto afterPid = rest.fromFirstOccurrenceOf (".", false, false);
    const auto token = afterPid.upToFirstOccurrenceOf (".", false, false);

    if (pid.isEmpty() || ! pid.containsOnly ("0123456789") || token.length() != 16
        || ! token.containsOnly ("0123456789abcdef") || ! afterPid.containsChar ('.'))
        return std::nullopt;

    return StagingName { pid.getIntValue(), afterPid.fromFirstOccurrenceOf (".", false, false) };
}

juce::String newStagingName (const juce::File& formatFolder)
{
    const auto token = juce::String::toHexString (juce::Random::getSystemRandom().nextInt64()).paddedLeft ('0', 16);
    return stagingPrefix + juce::String (Platform::currentProcessId()) + "." + token + "." + formatFolder.getFileName();
}

// Whether entries move by rename between the staging folder and the format folder. A format
// folder on another file system than its parent (a mount point, a link or junction to
// another drive) is the exception; only a real rename tells it across every kind of link.
bool renamesReach (const juce::File& staging, const juce::File& formatFolder)
{
    const auto probe = staging.getChildFile (newFolder);
    const auto there = formatFolder.getChildFile (staging.getFileName());

    if (! probe.createDirectory() || Platform::renameEntry (probe, there) != Platform::Rename::done)
        return false;

    if (Platform::renameEntry (there, probe) == Platform::Rename::done)
        return true;

    Platform::removeTree (there);
    return false;
}

// Beside the format folder (outside what a host scans, and reached from there by rename);
// inside it, under a hidden name, when its parent cannot be written or is another volume.
juce::File createStagingFolder (const juce::File& formatFolder)
{
    const auto name = newStagingName (formatFolder);

    if (auto beside = formatFolder.getParentDirectory().getChildFile (name); beside.createDirectory())
    {
        if (renamesReach (beside, formatFolder))
            return beside;
        Platform::removeTree (beside);
    }

    if (auto inside = formatFolder.getChildFile (name); inside.createDirectory())
    {
        Platform::markHidden (inside);
        return inside;
    }

    return {};
}

bool isInsideBundle (const juce::String& entryPath, const juce::String& bundleName)
{
    if (entryPath != bundleName && ! entryPath.startsWith (bundleName + "/"))
        return false;

    // ".." climbs out; a name of dots only is no file name on Windows, and the framework can
    // neither list nor delete a folder called "...." once it exists.
    for (const auto& part : juce::StringArray::fromTokens (entryPath, "/", ""))
        if (part.isNotEmpty() && part.containsOnly ("."))
            return false;

    return true;
}

juce::String cannotWrite (const juce::File& file)
{
    return "could not write " + file.getFileName() + " (is the disk full or write-protected?)";
}

// Writes one file entry through a fixed buffer, checking while it is written that the data
// inflates to exactly the size and CRC-32 the archive's directory records.
juce::String writeCheckedFile (juce::ZipFile& zip, int index, const ArchiveChecks::DirectoryEntry& stored,
                               const juce::File& file, juce::HeapBlock<char>& buffer, RunListener& listener)
{
    std::unique_ptr<juce::InputStream> in (zip.createStreamForEntry (index));
    juce::uint32 crc = 0;
    juce::int64 written = 0;
    {
        juce::FileOutputStream out (file);

        if (in == nullptr || out.failedToOpen())
            return cannotWrite (file);

        for (;;)
        {
            const auto n = in->read (buffer.get(), copyBufferSize);
            if (n <= 0)
                break;

            crc = ArchiveChecks::crc32Of (buffer.get(), (size_t) n, crc);
            written += n;

            if (written > stored.uncompressedSize)
                return damagedArchive;
            if (! out.write (buffer.get(), (size_t) n))
                return cannotWrite (file);

            listener.bytesWritten (n);
            if (listener.shouldStop())
                return runStoppedReason;
        }

        out.flush();
        if (out.getStatus().failed())
            return cannotWrite (file);
    }

    if (written != stored.uncompressedSize || crc != stored.crc32)
        return damagedArchive;

    // The framework does not report every short write (a size limit): the file must be whole.
    if (! Platform::isRegularFile (file) || file.getSize() != stored.uncompressedSize)
        return cannotWrite (file);

    file.setLastModificationTime (zip.getEntry (index)->fileTime);
    return {};
}

// Extracts every entry under the neutral staged name; an empty result means the whole bundle
// is there and checked.
juce::String extractBundle (juce::ZipFile& zip, const std::vector<ArchiveChecks::DirectoryEntry>& directory,
                            const juce::File& destination, const juce::String& bundleName, RunListener& listener)
{
    // The framework's reader and ours must see the same entries, or the CRCs belong to others.
    if (zip.getNumEntries() == 0 || (size_t) zip.getNumEntries() != directory.size())
        return damagedArchive;

    juce::HeapBlock<char> buffer (copyBufferSize);

    for (int i = 0; i < zip.getNumEntries(); ++i)
    {
        if (listener.shouldStop())
            return runStoppedReason;

        const auto* entry = zip.getEntry (i);
        const auto& stored = directory[(size_t) i];
        const auto path = entry->filename.replaceCharacter ('\\', '/');

        if (entry->filename != stored.name || entry->uncompressedSize != stored.uncompressedSize)
            return damagedArchive;

        if (entry->isSymbolicLink || ! isInsideBundle (path, bundleName))
            return "the archive holds an entry outside the " + bundleName + " bundle";

        const auto file = destination.getChildFile (stagedBundleName + path.substring (bundleName.length()));

        if (path.endsWithChar ('/'))
        {
            if (! file.createDirectory())
                return cannotWrite (file);
            continue;
        }

        // A second entry of the same name would be appended to the first.
        if (Platform::entryExists (file))
            return damagedArchive;
        if (! file.getParentDirectory().createDirectory())
            return cannotWrite (file.getParentDirectory());
        if (auto problem = writeCheckedFile (zip, i, stored, file, buffer, listener); problem.isNotEmpty())
            return problem;

        listener.fileOperation ("wrote " + path + " (" + juce::String (stored.uncompressedSize) + " bytes, checked)");
    }

    return Platform::entryExists (destination.getChildFile (stagedBundleName)) ? juce::String() : damagedArchive;
}

// Moves the new bundle to the bundle path, moving whatever stands there into the staging
// folder first. Another installer may swap in its own copy at the same moment: the first
// bundle moved out (the user's old one) is kept in "previous", which start-up recovery puts
// back if a run dies; a copy another installer put there meanwhile is displaced into
// "discard" and the swap tried again, so both runs end with a complete bundle in place.
bool swapInNewBundle (const juce::File& staging, const juce::File& fresh, const juce::File& target)
{
    using Platform::Rename;
    const auto previous = staging.getChildFile (previousFolder).getChildFile (target.getFileName());

    for (int attempt = 0; attempt < 4; ++attempt)
    {
        if (Platform::entryExists (target))
        {
            const auto slot = Platform::entryExists (previous)
                                  ? staging.getChildFile (discardFolder).getChildFile (target.getFileName() + juce::String (attempt))
                                  : previous;

            if (! slot.getParentDirectory().createDirectory() || Platform::renameEntry (target, slot) != Rename::done)
                continue;
        }

        if (Platform::renameEntry (fresh, target) == Rename::done)
            return true;
    }

    if (! Platform::entryExists (target) && Platform::entryExists (previous))
        Platform::renameEntry (previous, target);
    return false;
}

// Why a bundle could not be moved away: held by a program, or a link that this system can
// only follow (Wine), which is left as it is rather than followed.
juce::String cannotMove (const juce::String& verb, const juce::File& bundle)
{
    if (Platform::isLink (bundle))
        return bundle.getFileName() + " is a link, which the installer never follows; it was left as it is";
    return "could not " + verb + " " + bundle.getFileName() + " (is it in use?)";
}

juce::String unavailableDriveProblem (const juce::File& formatFolder)
{
    const auto drive = Platform::unavailableDriveOf (formatFolder);
    return drive.isEmpty() ? juce::String() : "drive " + drive + " is not available";
}

juce::String installFolderProblem (const juce::File& formatFolder)
{
    if (formatFolder == juce::File())
        return "no install folder is set";

    if (const auto problem = unavailableDriveProblem (formatFolder); problem.isNotEmpty())
        return problem;

    // Another installer may be creating the same folders at the same moment, which fails one
    // step of ours; what counts is that the folder is there in the end.
    for (int attempt = 0; ! formatFolder.isDirectory(); ++attempt)
        if (! formatFolder.createDirectory() && attempt == 2)
            return "could not create the folder " + Platform::windowsPathOf (formatFolder);

    return {};
}

bool belongsToDeadRun (const StagingName& staging)
{
    return staging.processId == Platform::currentProcessId() || ! Platform::isProcessRunning (staging.processId);
}

// A staging folder's "previous" holds at most the bundle of the product that made it; one
// holding any other entry belongs to another product of the maker and is left to it.
bool holdsOnlyBundle (const juce::File& staging, const juce::String& bundleName)
{
    for (const auto& entry : juce::RangedDirectoryIterator (staging.getChildFile (previousFolder), false, "*",
                                                            juce::File::findFilesAndDirectories))
        if (entry.getFile().getFileName() != bundleName)
            return false;

    return true;
}

void recoverStaging (const juce::File& staging, const juce::File& formatFolder, const juce::String& bundleName,
                     RunListener& listener)
{
    const auto aside = staging.getChildFile (previousFolder).getChildFile (bundleName);
    const auto target = formatFolder.getChildFile (bundleName);

    if (Platform::entryExists (aside) && ! Platform::entryExists (target))
    {
        if (Platform::renameEntry (aside, target) != Platform::Rename::done)
            return;  // not put back: keep it where it is rather than delete it
        listener.fileOperation ("put back " + bundleName + " in " + Platform::windowsPathOf (formatFolder) + " after an interrupted run");
    }

    if (Platform::removeTree (staging))
        listener.fileOperation ("removed " + staging.getFileName() + ", left by an interrupted run");
    else
        listener.fileOperation ("could not remove " + staging.getFileName() + ", left by an interrupted run; a later run tries again");
}
} // namespace

const juce::String runStoppedReason ("the run was stopped before this format was done; nothing of it changed");

ArchiveBytes embeddedArchive (int row)
{
    const auto& format = pluginFormats()[(size_t) row];
    return { format.archiveData, (size_t) format.archiveSize, format.archiveCrc32 };
}

RowResult installBundle (const juce::File& formatFolder, const juce::String& bundleName, const ArchiveBytes& archive,
                         RunListener* listenerOrNull)
{
    auto& listener = listenerOrQuiet (listenerOrNull);

    // Nothing touches the disk before the bytes are known to be the ones that were built.
    if (ArchiveChecks::crc32Of (archive.data, archive.size) != archive.crc32)
        return installFailed (damagedArchive);

    const auto directory = ArchiveChecks::readDirectory (archive.data, archive.size);
    if (! directory)
        return installFailed (damagedArchive);

    if (const auto problem = installFolderProblem (formatFolder); problem.isNotEmpty())
        return installFailed (problem);

    const auto staging = createStagingFolder (formatFolder);
    if (staging == juce::File())
        return installFailed ("could not write to the folder " + Platform::windowsPathOf (formatFolder));

    juce::String problem;
    {
        juce::ZipFile zip (new juce::MemoryInputStream (archive.data, archive.size, false), true);
        const auto extracted = staging.getChildFile (newFolder);

        problem = extractBundle (zip, *directory, extracted, bundleName, listener);

        if (problem.isEmpty() && ! swapInNewBundle (staging, extracted.getChildFile (stagedBundleName), formatFolder.getChildFile (bundleName)))
            problem = cannotMove ("replace", formatFolder.getChildFile (bundleName));
        else if (problem.isEmpty())
            listener.fileOperation ("moved the new " + bundleName + " into " + Platform::windowsPathOf (formatFolder));
    }

    Platform::removeTree (staging);
    return problem.isEmpty() ? RowResult { RowOutcome::Installed, {} } : installFailed (problem);
}

juce::String unusableInstallFolder (const juce::File& formatFolder)
{
    if (const auto problem = unavailableDriveProblem (formatFolder); problem.isNotEmpty())
        return problem;

    for (auto place = formatFolder; place != place.getParentDirectory(); place = place.getParentDirectory())
        if (Platform::entryExists (place))
            return place.isDirectory() ? juce::String() : Platform::windowsPathOf (place) + " is not a folder";

    return {};
}

RowResult removeBundle (const juce::File& formatFolder, const juce::String& bundleName, RunListener* listener)
{
    const auto target = formatFolder.getChildFile (bundleName);

    if (formatFolder == juce::File() || ! Platform::entryExists (target))
        return { RowOutcome::Removed, {} };

    // The bundle leaves the bundle path in one step, or not at all: deleting it in place could
    // stop half-way (rights, files in use) and leave a broken bundle behind.
    const auto staging = createStagingFolder (formatFolder);
    if (staging == juce::File())
        return removeFailed ("could not write to the folder " + Platform::windowsPathOf (formatFolder));

    const auto discarded = staging.getChildFile (discardFolder).getChildFile (bundleName);
    const bool movedOut = discarded.getParentDirectory().createDirectory()
                          && Platform::renameEntry (target, discarded) == Platform::Rename::done;
    Platform::removeTree (staging);

    if (movedOut && ! Platform::entryExists (target))
    {
        listenerOrQuiet (listener).fileOperation ("removed " + bundleName + " from " + Platform::windowsPathOf (formatFolder));
        return { RowOutcome::Removed, {} };
    }

    return removeFailed (cannotMove ("remove", target));
}

void recoverInterruptedRuns (const juce::File& formatFolder, const juce::String& bundleName, RunListener* listener)
{
    if (formatFolder == juce::File())
        return;

    for (const auto& place : { formatFolder.getParentDirectory(), formatFolder })
    {
        if (! place.isDirectory())
            continue;

        juce::Array<juce::File> leftovers;
        for (const auto& entry : juce::RangedDirectoryIterator (place, false, stagingPrefix + "*", juce::File::findDirectories))
        {
            const auto staging = entry.getFile();
            const auto name = parseStagingName (staging.getFileName());

            if (name && name->folderName == formatFolder.getFileName() && ! staging.isSymbolicLink()
                && belongsToDeadRun (*name) && holdsOnlyBundle (staging, bundleName))
                leftovers.add (staging);
        }

        for (const auto& staging : leftovers)
            recoverStaging (staging, formatFolder, bundleName, listenerOrQuiet (listener));
    }
}

juce::int64 bytesToWrite (const ArchiveBytes& archive)
{
    juce::int64 total = 0;
    if (const auto directory = ArchiveChecks::readDirectory (archive.data, archive.size))
        for (const auto& entry : *directory)
            total += entry.uncompressedSize;
    return total;
}

std::array<RowResult, numFormats> runInstallation (const RunPlan& plan, RunListener* listenerOrNull)
{
    auto& listener = listenerOrQuiet (listenerOrNull);
    std::array<RowResult, numFormats> results {};
    std::array<ArchiveBytes, numFormats> archives {};
    juce::int64 totalBytes = 0;
    int rows = 0;

    for (int row = 0; row < numFormats; ++row)
    {
        if (! plan.selected[(size_t) row])
            continue;

        ++rows;
        if (! plan.uninstall)
        {
            archives[(size_t) row] = plan.archiveFor (row);
            totalBytes += bytesToWrite (archives[(size_t) row]);
        }
    }

    listener.runStarted (totalBytes, rows);

    for (int row = 0; row < numFormats && ! listener.shouldStop(); ++row)
    {
        if (! plan.selected[(size_t) row])
            continue;

        listener.rowStarted (row);
        const auto& folder = plan.folders[(size_t) row];
        const auto bundleName = plan.productName + pluginFormats()[(size_t) row].extension;
        recoverInterruptedRuns (folder, bundleName, &listener);

        auto& result = results[(size_t) row];
        if (plan.uninstall)
            result = removeBundle (folder, bundleName, &listener);
        else
        {
            const auto& archive = archives[(size_t) row];
            result = installBundle (folder, bundleName, archive, &listener);
            // One archive in memory at a time. Only for the executable's own read-only data:
            // on other memory the same call would zero it.
            if (archive.data == embeddedArchive (row).data)
                Platform::releaseEmbeddedData (archive.data, archive.size);
        }

        listener.rowFinished (row, result);
    }

    return results;
}

std::array<RowResult, numFormats> runInstallation (std::array<bool, numFormats>& selected,
                                                   const std::array<juce::File, numFormats>& folders,
                                                   const juce::String& productName, bool uninstall)
{
    const auto results = runInstallation (RunPlan { selected, folders, productName, uninstall });

    for (int row = 0; row < numFormats; ++row)
        if (results[(size_t) row].outcome != RowOutcome::NotProcessed)
            selected[(size_t) row] = false;

    return results;
}
