#include "ArchiveChecks.h"

#include "TextDecoding.h"

#include <zlib.h>

namespace ArchiveChecks
{
namespace
{
constexpr juce::uint32 endOfDirectorySignature = 0x06054b50;
constexpr juce::uint32 directoryEntrySignature = 0x02014b50;
constexpr size_t endOfDirectorySize = 22;
constexpr size_t directoryEntrySize = 46;

juce::uint32 u32 (const juce::uint8* p) { return juce::ByteOrder::littleEndianInt (p); }
juce::uint16 u16 (const juce::uint8* p) { return juce::ByteOrder::littleEndianShort (p); }

// The end-of-directory record whose comment runs exactly to the end of the bytes.
std::optional<size_t> findEndOfDirectory (const juce::uint8* bytes, size_t size)
{
    if (size < endOfDirectorySize)
        return std::nullopt;

    const auto lowest = size - endOfDirectorySize > 0xffff ? size - endOfDirectorySize - 0xffff : 0;

    for (auto pos = size - endOfDirectorySize + 1; pos-- > lowest;)
        if (u32 (bytes + pos) == endOfDirectorySignature && pos + endOfDirectorySize + u16 (bytes + pos + 20) == size)
            return pos;

    return std::nullopt;
}
} // namespace

juce::uint32 crc32Of (const void* data, size_t size, juce::uint32 runningCrc)
{
    return (juce::uint32) crc32_z (runningCrc, static_cast<const Bytef*> (data), (z_size_t) size);
}

std::optional<std::vector<DirectoryEntry>> readDirectory (const void* data, size_t size)
{
    const auto* bytes = static_cast<const juce::uint8*> (data);
    const auto end = findEndOfDirectory (bytes, size);

    if (! end)
        return std::nullopt;

    const size_t count = u16 (bytes + *end + 10);
    const size_t directorySize = u32 (bytes + *end + 12);
    size_t pos = u32 (bytes + *end + 16);

    if (pos > *end || directorySize > *end - pos)
        return std::nullopt;

    const auto directoryEnd = pos + directorySize;
    std::vector<DirectoryEntry> entries;

    for (size_t i = 0; i < count; ++i)
    {
        if (pos + directoryEntrySize > directoryEnd || u32 (bytes + pos) != directoryEntrySignature)
            return std::nullopt;

        const auto* header = bytes + pos;
        const size_t nameLength = u16 (header + 28);
        const auto next = pos + directoryEntrySize + nameLength + u16 (header + 30) + u16 (header + 32);

        const auto* name = reinterpret_cast<const char*> (header + directoryEntrySize);

        // A name that is not UTF-8 is refused before it becomes a string: the framework's
        // string functions can read past the end of such text.
        if (next > directoryEnd || u32 (header + 24) == 0xffffffff || ! TextDecoding::isWellFormedUtf8 (name, nameLength))
            return std::nullopt;

        entries.push_back ({ juce::String::fromUTF8 (name, (int) nameLength),
                             u32 (header + 16), (juce::int64) u32 (header + 24) });
        pos = next;
    }

    return entries;
}
} // namespace ArchiveChecks
