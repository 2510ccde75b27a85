#pragma once

#include <juce_core/juce_core.h>

#include <vector>

// Reads a zip's central directory as it is stored (names, compression method and sizes),
// independent of the framework's reader, so tests see exactly what an archive holds.
struct StoredZipEntry
{
    juce::String name;
    int method = -1;  // 0 stored, 8 deflated
    juce::uint32 uncompressedSize = 0;
};

inline std::vector<StoredZipEntry> readCentralDirectory (const void* data, size_t size)
{
    std::vector<StoredZipEntry> entries;
    auto* bytes = static_cast<const juce::uint8*> (data);

    for (size_t end = size >= 22 ? size - 22 : 0; end > 0; --end)
    {
        if (juce::ByteOrder::littleEndianInt (bytes + end) != 0x06054b50)
            continue;

        auto count = juce::ByteOrder::littleEndianShort (bytes + end + 10);
        size_t pos = juce::ByteOrder::littleEndianInt (bytes + end + 16);

        for (int i = 0; i < count && pos + 46 <= size; ++i)
        {
            StoredZipEntry entry;
            entry.method = juce::ByteOrder::littleEndianShort (bytes + pos + 10);
            entry.uncompressedSize = juce::ByteOrder::littleEndianInt (bytes + pos + 24);
            auto nameLength = juce::ByteOrder::littleEndianShort (bytes + pos + 28);
            auto extraLength = juce::ByteOrder::littleEndianShort (bytes + pos + 30);
            auto commentLength = juce::ByteOrder::littleEndianShort (bytes + pos + 32);
            entry.name = juce::String::fromUTF8 (reinterpret_cast<const char*> (bytes + pos + 46), nameLength);
            entries.push_back (entry);
            pos += 46u + nameLength + extraLength + commentLength;
        }
        break;
    }

    return entries;
}

// The file version in a module's VS_FIXEDFILEINFO, found by its signature: a check that does
// not share code with the installer's own reader.
inline juce::String fixedFileInfoVersion (const juce::MemoryBlock& module)
{
    auto* bytes = static_cast<const juce::uint8*> (module.getData());

    for (size_t i = 0; i + 16 <= module.getSize(); i += 4)
        if (juce::ByteOrder::littleEndianInt (bytes + i) == 0xFEEF04BD)
        {
            auto ms = juce::ByteOrder::littleEndianInt (bytes + i + 8);
            auto ls = juce::ByteOrder::littleEndianInt (bytes + i + 12);
            return juce::String (ms >> 16) + "." + juce::String (ms & 0xffff) + "." + juce::String (ls >> 16) + "." + juce::String (ls & 0xffff);
        }

    return {};
}
