// Any bytes as a plug-in archive, installed into a format folder in a private prefix: the
// result is installed or failed, and nothing is ever written outside the bundle; whatever an
// entry name points at outside it must not appear.
#include "ArchiveChecks.h"
#include "InstallRun.h"
#include "FuzzSandbox.h"
#include "TextDecoding.h"

#include <cstdio>

namespace
{
bool isInside (const juce::File& file, const juce::File& folder)
{
    // A string test: the framework's isAChildOf recurses once per level and can run out of
    // stack on a name made of thousands of separators.
    return file.getFullPathName().startsWith (folder.getFullPathName() + "/");
}

// Where a careless extraction would put each entry, when that is outside the sandbox.
juce::Array<juce::File> outsideTargets (const uint8_t* data, size_t size, const juce::File& bundle, const juce::File& sandbox)
{
    juce::Array<juce::File> targets;
    juce::MemoryInputStream stream (data, size, false);
    juce::ZipFile zip (stream);

    for (int i = 0; i < zip.getNumEntries(); ++i)
    {
        // Names that are not UTF-8 are refused before they reach any path function, which
        // could not handle them either.
        const auto& name = zip.getEntry (i)->filename;
        if (! TextDecoding::isWellFormedUtf8 (name))
            continue;

        const auto target = bundle.getChildFile (name.replaceCharacter ('\\', '/'));
        if (! isInside (target, sandbox) && ! target.exists())
            targets.add (target);
    }
    return targets;
}

void checkTree (const juce::File& sandbox, const juce::File& formatFolder, const juce::File& bundle)
{
    for (const auto& entry : juce::RangedDirectoryIterator (sandbox, true, "*", juce::File::findFilesAndDirectories))
    {
        const auto& file = entry.getFile();
        const bool onTheWay = formatFolder == file || isInside (formatFolder, file);
        if (! onTheWay && file != bundle && ! isInside (file, bundle))
        {
            fprintf (stderr, "written outside the bundle: %s\n", file.getFullPathName().toRawUTF8());
            abort();
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static FuzzSandbox sandbox;
    static const auto formatFolder = sandbox.prefix.getChildFile ("drive_c/Formats/VST3");
    static const auto bundle = formatFolder.getChildFile ("Kestrune.vst3");

    formatFolder.createDirectory();
    const auto outside = outsideTargets (data, size, bundle, sandbox.root);

    // The input's own checksum, so that everything past the whole-archive check is reached.
    const auto outcome = installBundle (formatFolder, "Kestrune.vst3", { data, size, ArchiveChecks::crc32Of (data, size) });
    if (outcome != RowOutcome::Installed && outcome != RowOutcome::InstallFailed)
        abort();
    if ((outcome == RowOutcome::Installed) != Platform::entryExists (bundle))
        abort();

    checkTree (sandbox.root, formatFolder, bundle);
    for (const auto& target : outside)
        if (Platform::entryExists (target))
            abort();

    if (removeBundle (formatFolder, "Kestrune.vst3") != RowOutcome::Removed)
        abort();
    return 0;
}
