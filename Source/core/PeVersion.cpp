#include "PeVersion.h"

#include "Platform.h"

namespace
{
// Random access to the module's bytes; reads past the end fail instead of returning garbage.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    virtual juce::int64 size() const = 0;
    virtual bool read (juce::int64 offset, void* dest, size_t count) = 0;

    bool readU16 (juce::int64 offset, juce::uint32& value)
    {
        juce::uint8 b[2];
        if (! read (offset, b, 2))
            return false;
        value = juce::ByteOrder::littleEndianShort (b);
        return true;
    }

    bool readU32 (juce::int64 offset, juce::uint32& value)
    {
        juce::uint8 b[4];
        if (! read (offset, b, 4))
            return false;
        value = juce::ByteOrder::littleEndianInt (b);
        return true;
    }
};

class MemorySource final : public ByteSource
{
public:
    MemorySource (const void* d, size_t s) : data (static_cast<const juce::uint8*> (d)), length (s) {}
    juce::int64 size() const override { return (juce::int64) length; }

    bool read (juce::int64 offset, void* dest, size_t count) override
    {
        if (offset < 0 || (juce::uint64) offset + count > length)
            return false;
        memcpy (dest, data + offset, count);
        return true;
    }

private:
    const juce::uint8* data;
    size_t length;
};

class FileSource final : public ByteSource
{
public:
    explicit FileSource (const juce::File& file) : stream (file), length (stream.openedOk() ? file.getSize() : 0) {}
    juce::int64 size() const override { return length; }

    bool read (juce::int64 offset, void* dest, size_t count) override
    {
        return offset >= 0 && offset + (juce::int64) count <= length && stream.setPosition (offset)
               && stream.read (dest, (int) count) == (int) count;
    }

private:
    juce::FileInputStream stream;
    juce::int64 length;
};

constexpr juce::uint32 rtVersion = 16;
constexpr juce::uint32 maxSections = 96;
constexpr juce::uint32 subdirectoryFlag = 0x80000000u;

struct Section
{
    juce::uint32 virtualAddress, virtualSize, rawSize, rawOffset;
};

class PeReader
{
public:
    explicit PeReader (ByteSource& s) : source (s) {}

    juce::String fileVersion()
    {
        juce::uint32 resourceRva = 0, versionRva = 0, versionSize = 0;

        if (! readHeaders (resourceRva) || ! findVersionData (resourceRva, versionRva, versionSize))
            return {};

        return readFixedFileInfo (versionRva, versionSize);
    }

private:
    bool readHeaders (juce::uint32& resourceRva)
    {
        juce::uint32 mz = 0, peOffset = 0, signature = 0, sectionCount = 0, optionalSize = 0, magic = 0;

        if (! source.readU16 (0, mz) || mz != 0x5a4d || ! source.readU32 (0x3c, peOffset)
            || ! source.readU32 (peOffset, signature) || signature != 0x00004550
            || ! source.readU16 (peOffset + 6, sectionCount) || ! source.readU16 (peOffset + 20, optionalSize)
            || ! source.readU16 (peOffset + 24, magic) || sectionCount > maxSections)
            return false;

        const juce::int64 optional = (juce::int64) peOffset + 24;
        const juce::int64 countOffset = magic == 0x20b ? 108 : (magic == 0x10b ? 92 : -1);
        juce::uint32 directoryCount = 0;

        // The resource directory is data directory 2; it must lie inside the optional header.
        if (countOffset < 0 || ! source.readU32 (optional + countOffset, directoryCount) || directoryCount < 3
            || countOffset + 4 + 3 * 8 > (juce::int64) optionalSize
            || ! source.readU32 (optional + countOffset + 4 + 2 * 8, resourceRva) || resourceRva == 0)
            return false;

        return readSections (optional + optionalSize, sectionCount);
    }

    bool readSections (juce::int64 tableOffset, juce::uint32 count)
    {
        for (juce::uint32 i = 0; i < count; ++i)
        {
            juce::uint8 entry[40];
            if (! source.read (tableOffset + 40 * (juce::int64) i, entry, sizeof (entry)))
                return false;

            sections.push_back ({ juce::ByteOrder::littleEndianInt (entry + 12), juce::ByteOrder::littleEndianInt (entry + 8),
                                  juce::ByteOrder::littleEndianInt (entry + 16), juce::ByteOrder::littleEndianInt (entry + 20) });
        }

        return true;
    }

    // File offset of a relative virtual address, when the bytes are present in the file.
    juce::int64 offsetOf (juce::uint32 rva) const
    {
        for (const auto& s : sections)
        {
            const auto start = (juce::uint64) s.virtualAddress;
            const auto span = (juce::uint64) juce::jmax (s.virtualSize, s.rawSize);

            if (rva >= start && rva < start + span && rva - start < s.rawSize)
                return (juce::int64) s.rawOffset + (juce::int64) (rva - start);
        }

        return -1;
    }

    // One step down the resource tree: the entry with the wanted ID (or the first entry when
    // any will do), which must be a subdirectory or a data entry as asked. The tree is walked
    // exactly three levels deep, so a directory that points back at itself cannot loop.
    bool resourceEntry (juce::uint32 resourceRva, juce::uint32 directoryOffset, bool anyId, juce::uint32 wantedId,
                        bool wantSubdirectory, juce::uint32& childOffset)
    {
        const auto directory = offsetOf (resourceRva + directoryOffset);
        juce::uint32 named = 0, ids = 0;

        if (directory < 0 || ! source.readU16 (directory + 12, named) || ! source.readU16 (directory + 14, ids))
            return false;

        for (juce::uint32 i = 0; i < named + ids; ++i)
        {
            juce::uint32 name = 0, target = 0;
            if (! source.readU32 (directory + 16 + 8 * (juce::int64) i, name) || ! source.readU32 (directory + 20 + 8 * (juce::int64) i, target))
                return false;

            if (anyId || (i >= named && name == wantedId))
            {
                if (((target & subdirectoryFlag) != 0) != wantSubdirectory)
                    return false;
                childOffset = target & ~subdirectoryFlag;
                return true;
            }
        }

        return false;
    }

    bool findVersionData (juce::uint32 resourceRva, juce::uint32& dataRva, juce::uint32& dataSize)
    {
        juce::uint32 typeDirectory = 0, nameDirectory = 0, dataEntry = 0;

        if (! resourceEntry (resourceRva, 0, false, rtVersion, true, typeDirectory)
            || ! resourceEntry (resourceRva, typeDirectory, true, 0, true, nameDirectory)
            || ! resourceEntry (resourceRva, nameDirectory, true, 0, false, dataEntry))
            return false;

        const auto entry = offsetOf (resourceRva + dataEntry);
        return entry >= 0 && source.readU32 (entry, dataRva) && source.readU32 (entry + 4, dataSize);
    }

    // VS_VERSIONINFO: three WORDs, the key "VS_VERSION_INFO" in UTF-16, padding to a 32-bit
    // boundary, then VS_FIXEDFILEINFO.
    juce::String readFixedFileInfo (juce::uint32 rva, juce::uint32 size)
    {
        constexpr juce::int64 fixedInfoAt = 40;
        constexpr juce::uint32 fixedInfoSize = 52;
        const auto start = offsetOf (rva);
        juce::uint32 valueLength = 0, signature = 0, ms = 0, ls = 0;
        juce::uint8 key[30];

        if (start < 0 || size < fixedInfoAt + fixedInfoSize || ! source.readU16 (start + 2, valueLength)
            || valueLength < fixedInfoSize || ! source.read (start + 6, key, sizeof (key))
            || ! source.readU32 (start + fixedInfoAt, signature) || signature != 0xFEEF04BD
            || ! source.readU32 (start + fixedInfoAt + 8, ms) || ! source.readU32 (start + fixedInfoAt + 12, ls))
            return {};

        for (size_t i = 0; i < 15; ++i)
            if (key[2 * i] != (juce::uint8) "VS_VERSION_INFO"[i] || key[2 * i + 1] != 0)
                return {};

        return juce::String (ms >> 16) + "." + juce::String (ms & 0xffff) + "." + juce::String (ls >> 16) + "." + juce::String (ls & 0xffff);
    }

    ByteSource& source;
    std::vector<Section> sections;
};
} // namespace

juce::String readPeFileVersion (const void* data, size_t size)
{
    MemorySource source (data, size);
    return PeReader (source).fileVersion();
}

juce::String readPeFileVersion (const juce::File& file)
{
    // Only regular files: a folder, a device or a named pipe is never a module (and opening a
    // pipe would block).
    if (! Platform::isRegularFile (file))
        return {};

    FileSource source (file);
    return PeReader (source).fileVersion();
}
