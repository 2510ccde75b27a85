#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

// Checks that an archive's bytes are the ones it was built with: a CRC-32 of the whole
// archive, recorded at build time, covers its headers and names; each entry's CRC-32 in the
// central directory covers the data it inflates to.
namespace ArchiveChecks
{
// zlib's CRC-32 of a whole buffer, or the running value continued over more bytes.
juce::uint32 crc32Of (const void* data, size_t size, juce::uint32 runningCrc = 0);

// One entry of a zip's central directory, as stored.
struct DirectoryEntry
{
    juce::String name;
    juce::uint32 crc32 = 0;
    juce::int64 uncompressedSize = 0;
};

// The central directory in stored order, or nullopt when the archive has none that is whole
// and inside the bytes (truncated, not a zip, or a zip64 archive, which the framework's
// reader does not take either) or when a name in it is not UTF-8.
std::optional<std::vector<DirectoryEntry>> readDirectory (const void* data, size_t size);
} // namespace ArchiveChecks
