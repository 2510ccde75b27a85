#pragma once

#include "ArchiveChecks.h"
#include "InstallRun.h"
#include "PluginFormats.h"

#include <juce_core/juce_core.h>

#include <map>

inline juce::String contentHash (const juce::File& file)
{
    juce::MemoryBlock bytes;
    file.loadFileAsData (bytes);
    juce::uint64 hash = 14695981039346656037ull;  // FNV-1a
    for (size_t i = 0; i < bytes.getSize(); ++i)
        hash = (hash ^ (juce::uint8) bytes[i]) * 1099511628211ull;
    return juce::String (bytes.getSize()) + ":" + juce::String::toHexString ((juce::int64) hash);
}

// Every file and folder at or below a path, by relative path, with the files' sizes and
// content hashes, so two trees can be compared whole. Symbolic links are listed, not followed.
inline std::map<juce::String, juce::String> snapshotOf (const juce::File& path)
{
    std::map<juce::String, juce::String> tree;
    if (path.isSymbolicLink())
        tree["."] = "link to " + path.getLinkedTarget().getFullPathName();
    else if (path.existsAsFile())
        tree["."] = contentHash (path);
    else if (path.isDirectory())
        for (const auto& entry : juce::RangedDirectoryIterator (path, true, "*", juce::File::findFilesAndDirectories,
                                                                juce::File::FollowSymlinks::no))
        {
            const auto file = entry.getFile();
            tree[file.getRelativePathFrom (path)] = file.isSymbolicLink() ? "link" : file.isDirectory() ? "dir" : contentHash (file);
        }
    return tree;
}

// The embedded archive of a row, as an independent extraction by the framework, for tests
// that need a real installed bundle without going through the installer's own code.
inline void extractEmbeddedArchive (int row, const juce::File& folder)
{
    const auto& format = pluginFormats()[(size_t) row];
    juce::ZipFile zip (new juce::MemoryInputStream (format.archiveData, (size_t) format.archiveSize, false), true);
    zip.uncompressTo (folder, true);
}

inline juce::MemoryBlock zipOf (const std::vector<std::pair<juce::String, juce::String>>& entries)
{
    juce::ZipFile::Builder builder;
    for (const auto& [name, content] : entries)
        builder.addEntry (new juce::MemoryInputStream (content.toRawUTF8(), content.getNumBytesAsUTF8(), true),
                          name.endsWithChar ('\\') ? 0 : 6, name, juce::Time (2026, 0, 1, 0, 0));
    juce::MemoryOutputStream out;
    builder.writeToStream (out, nullptr);
    return out.getMemoryBlock();
}

// Bytes to install, with the checksum of exactly these bytes: what the build records for an
// archive it embeds.
inline ArchiveBytes archiveOf (const juce::MemoryBlock& bytes)
{
    return { bytes.getData(), bytes.getSize(), ArchiveChecks::crc32Of (bytes.getData(), bytes.getSize()) };
}
