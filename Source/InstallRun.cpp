#include "InstallRun.h"

#include "Platform.h"
#include "TextDecoding.h"

namespace
{
const juce::String stagingPrefix (".qf-staging-");

// Staging folder layout: "new" receives the extraction, "previous" holds an old bundle while
// it is being replaced (put back if the run dies), "discard" holds one being removed.
constexpr const char* newFolder = "new";
constexpr const char* previousFolder = "previous";
constexpr const char* discardFolder = "discard";

juce::String stagingNameStart (const juce::File& formatFolder)
{
    return stagingPrefix + formatFolder.getFileName() + "-";
}

// Beside the format folder (outside what a host scans, and on the same volume so that every
// step is a rename); inside it only when its parent cannot be written or is another volume.
juce::File createStagingFolder (const juce::File& formatFolder)
{
    const auto name = stagingNameStart (formatFolder) + juce::String (Platform::currentProcessId()) + "-"
                      + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64());

    if (auto staging = formatFolder.getParentDirectory().getChildFile (name); staging.createDirectory())
    {
        if (Platform::onSameVolume (staging, formatFolder))
            return staging;
        staging.deleteRecursively();
    }

    if (auto staging = formatFolder.getChildFile (name); staging.createDirectory())
        return staging;

    return {};
}

bool isInsideBundle (const juce::String& entryPath, const juce::String& bundleName)
{
    // A name that is not well-formed UTF-8 breaks the framework's path handling (its check
    // that an entry stays inside the target folder recurses without end), so it is refused.
    if (! TextDecoding::isWellFormedUtf8 (entryPath))
        return false;

    if (entryPath != bundleName && ! entryPath.startsWith (bundleName + "/"))
        return false;

    // ".." climbs out; a name of dots only is no file name on Windows, and the framework can
    // neither list nor delete a folder called "...." once it exists.
    for (const auto& part : juce::StringArray::fromTokens (entryPath, "/", ""))
        if (part.isNotEmpty() && part.containsOnly ("."))
            return false;

    return true;
}

// Extracts every entry, refusing any outside the bundle, and checks that each file was
// written whole: the framework does not report a short write (a full disk, a size limit).
bool extractBundle (juce::ZipFile& zip, const juce::File& destination, const juce::String& bundleName)
{
    if (zip.getNumEntries() == 0)
        return false;

    for (int i = 0; i < zip.getNumEntries(); ++i)
    {
        const auto* entry = zip.getEntry (i);
        const auto path = entry->filename.replaceCharacter ('\\', '/');

        if (entry->isSymbolicLink || ! isInsideBundle (path, bundleName))
            return false;

        if (zip.uncompressEntry (i, destination, juce::ZipFile::OverwriteFiles::yes, juce::ZipFile::FollowSymlinks::no).failed())
            return false;

        const auto written = destination.getChildFile (path);
        if (! path.endsWithChar ('/') && (! Platform::isRegularFile (written) || written.getSize() != entry->uncompressedSize))
            return false;
    }

    return Platform::entryExists (destination.getChildFile (bundleName));
}

bool swapInNewBundle (const juce::File& staging, const juce::File& fresh, const juce::File& target)
{
    if (! Platform::entryExists (target))
        return Platform::renameEntry (fresh, target);

    const auto aside = staging.getChildFile (previousFolder).getChildFile (target.getFileName());

    if (! aside.getParentDirectory().createDirectory() || ! Platform::renameEntry (target, aside))
        return false;

    if (Platform::renameEntry (fresh, target))
        return true;

    Platform::renameEntry (aside, target);
    return false;
}

void restoreMovedAsideBundles (const juce::File& staging, const juce::File& formatFolder)
{
    for (const auto& entry : juce::RangedDirectoryIterator (staging.getChildFile (previousFolder), false, "*",
                                                            juce::File::findFilesAndDirectories))
    {
        const auto target = formatFolder.getChildFile (entry.getFile().getFileName());
        if (! Platform::entryExists (target))
            Platform::renameEntry (entry.getFile(), target);
    }
}

bool belongsToDeadRun (const juce::File& staging)
{
    const auto pid = staging.getFileName().upToLastOccurrenceOf ("-", false, false).fromLastOccurrenceOf ("-", false, false);
    return pid.containsOnly ("0123456789") && (pid.getIntValue() == Platform::currentProcessId() || ! Platform::isProcessRunning (pid.getIntValue()));
}
} // namespace

RowOutcome installBundle (const juce::File& formatFolder, const juce::String& bundleName,
                          const void* archiveData, size_t archiveSize)
{
    if (formatFolder == juce::File() || ! formatFolder.createDirectory())
        return RowOutcome::InstallFailed;

    const auto staging = createStagingFolder (formatFolder);
    if (staging == juce::File())
        return RowOutcome::InstallFailed;

    bool installed = false;
    {
        juce::ZipFile zip (new juce::MemoryInputStream (archiveData, archiveSize, false), true);
        const auto extracted = staging.getChildFile (newFolder);

        installed = extractBundle (zip, extracted, bundleName)
                    && swapInNewBundle (staging, extracted.getChildFile (bundleName), formatFolder.getChildFile (bundleName));
    }

    staging.deleteRecursively();
    return installed ? RowOutcome::Installed : RowOutcome::InstallFailed;
}

RowOutcome removeBundle (const juce::File& formatFolder, const juce::String& bundleName)
{
    const auto target = formatFolder.getChildFile (bundleName);

    if (formatFolder == juce::File() || ! Platform::entryExists (target))
        return RowOutcome::Removed;

    // The bundle leaves the bundle path in one step, or not at all: deleting it in place could
    // stop half-way (rights, files in use) and leave a broken bundle behind.
    const auto staging = createStagingFolder (formatFolder);
    if (staging == juce::File())
        return RowOutcome::RemoveFailed;

    const auto discarded = staging.getChildFile (discardFolder).getChildFile (bundleName);
    const bool movedOut = discarded.getParentDirectory().createDirectory() && Platform::renameEntry (target, discarded);
    staging.deleteRecursively();

    return movedOut && ! Platform::entryExists (target) ? RowOutcome::Removed : RowOutcome::RemoveFailed;
}

void recoverInterruptedRuns (const juce::File& formatFolder)
{
    if (formatFolder == juce::File())
        return;

    for (const auto& place : { formatFolder.getParentDirectory(), formatFolder })
    {
        if (! place.isDirectory())
            continue;

        juce::Array<juce::File> leftovers;
        for (const auto& entry : juce::RangedDirectoryIterator (place, false, stagingNameStart (formatFolder) + "*", juce::File::findDirectories))
            if (! entry.getFile().isSymbolicLink() && belongsToDeadRun (entry.getFile()))
                leftovers.add (entry.getFile());

        for (const auto& staging : leftovers)
        {
            restoreMovedAsideBundles (staging, formatFolder);
            staging.deleteRecursively();
        }
    }
}

std::array<RowOutcome, numFormats> runInstallation (std::array<bool, numFormats>& selected,
                                                    const std::array<juce::File, numFormats>& folders,
                                                    const juce::String& productName, bool uninstall)
{
    std::array<RowOutcome, numFormats> outcomes {};
    outcomes.fill (RowOutcome::NotProcessed);

    for (int row = 0; row < numFormats; ++row)
    {
        if (! selected[(size_t) row])
            continue;

        const auto& format = pluginFormats()[(size_t) row];
        const auto& folder = folders[(size_t) row];
        const auto bundleName = productName + format.extension;
        recoverInterruptedRuns (folder);

        if (uninstall)
            outcomes[(size_t) row] = removeBundle (folder, bundleName);
        else
        {
            outcomes[(size_t) row] = installBundle (folder, bundleName, format.archiveData, (size_t) format.archiveSize);
            // One archive in memory at a time. Only here, where the bytes are known to be the
            // executable's own read-only data: on other memory the same call would zero it.
            Platform::releaseEmbeddedData (format.archiveData, (size_t) format.archiveSize);
        }

        selected[(size_t) row] = false;
    }

    return outcomes;
}
