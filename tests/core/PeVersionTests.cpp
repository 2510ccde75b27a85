#include "PeVersion.h"
#include "Platform.h"
#include "helpers/TestFolders.h"

#include <sys/stat.h>

namespace
{
juce::File fixture (const char* name)
{
    return juce::File (QF_PE_FIXTURE_DIR).getChildFile (name);
}

juce::MemoryBlock bytesOf (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return block;
}

// File offset of the first resource directory entry whose ID is 16 (RT_VERSION) and whose
// target is a subdirectory: the entry the reader follows first.
size_t versionEntryOffset (const juce::MemoryBlock& module)
{
    auto* b = static_cast<const juce::uint8*> (module.getData());
    for (size_t i = 0; i + 8 <= module.getSize(); i += 2)
        if (juce::ByteOrder::littleEndianInt (b + i) == 16 && (juce::ByteOrder::littleEndianInt (b + i + 4) & 0x80000000u) != 0)
            return i;
    return 0;
}
} // namespace

TEST (PeVersion, ReadsTheFixedFileInfoOfRealModules)
{
    struct Case { const char* file; const char* version; };
    const Case cases[] = {
        { "pe32plus_0_9_5_0.dll", "0.9.5.0" },   { "pe32plus_1_0_0_0.dll", "1.0.0.0" },
        { "pe32plus_1_0_10_0.dll", "1.0.10.0" }, { "pe32plus_2_0_0_0.dll", "2.0.0.0" },
        { "pe32plus_65535_1_2_3.dll", "65535.1.2.3" },
        { "pe32_1_0_0_0.dll", "1.0.0.0" },       { "pe32_0_9_5_0.dll", "0.9.5.0" },
        { "noversion.dll", "" },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (readPeFileVersion (fixture (c.file)), c.version) << c.file;
        const auto bytes = bytesOf (fixture (c.file));
        EXPECT_EQ (readPeFileVersion (bytes.getData(), bytes.getSize()), c.version) << c.file;
        EXPECT_EQ (Platform::moduleFileVersion (fixture (c.file)), c.version) << c.file;
    }
}

using PeVersionFiles = TemporaryPrefixTest;

TEST_F (PeVersionFiles, AnythingButAModuleHasNoVersion)
{
    const auto text = root.getChildFile ("Kestrune.clap");
    ASSERT_TRUE (text.replaceWithText ("MZ but only text, named like a module"));
    const auto empty = root.getChildFile ("empty.dll");
    ASSERT_TRUE (empty.create());

    for (const auto& file : { text, empty, root, root.getChildFile ("missing.dll"), juce::File ("/dev/zero"), juce::File() })
        EXPECT_EQ (readPeFileVersion (file), "") << file.getFullPathName();
}

TEST_F (PeVersionFiles, ANamedPipeIsNotOpened)
{
    const auto pipe = root.getChildFile ("Kestrune.clap");
    ASSERT_EQ (mkfifo (pipe.getFullPathName().toRawUTF8(), 0600), 0);
    EXPECT_EQ (readPeFileVersion (pipe), "");  // would block forever if the reader opened it
}

TEST (PeVersion, EveryTruncationIsSafeAndNeverInventsAVersion)
{
    for (auto* name : { "pe32plus_1_0_0_0.dll", "pe32_1_0_0_0.dll" })
    {
        const auto module = bytesOf (fixture (name));
        for (size_t length = 0; length < module.getSize(); ++length)
        {
            const auto version = readPeFileVersion (module.getData(), length);
            ASSERT_TRUE (version.isEmpty() || version == "1.0.0.0") << name << " cut at " << length;
        }
    }
}

TEST (PeVersion, CorruptHeadersAndDirectoriesGiveNoVersion)
{
    const auto original = bytesOf (fixture ("pe32plus_1_0_0_0.dll"));
    const auto peOffset = juce::ByteOrder::littleEndianInt (static_cast<const juce::uint8*> (original.getData()) + 0x3c);
    const auto loop = versionEntryOffset (original);
    ASSERT_GT (loop, 0u);

    struct Patch { const char* what; size_t offset; juce::uint32 value; int bytes; };
    const Patch patches[] = {
        { "PE offset past the end", 0x3c, 0xfffffff0u, 4 },
        { "bad PE signature", peOffset, 0x00004551u, 4 },
        { "absurd section count", peOffset + 6, 0xffffu, 2 },
        { "unknown optional header magic", peOffset + 24, 0x30bu, 2 },
        { "optional header too small for the resource directory", peOffset + 20, 16u, 2 },
        { "resource directory pointing back at itself", loop + 4, 0x80000000u, 4 },
        { "resource entry pointing far outside", loop + 4, 0xfffffff0u, 4 },
    };

    for (const auto& patch : patches)
    {
        auto module = original;
        auto* target = static_cast<juce::uint8*> (module.getData()) + patch.offset;
        for (int i = 0; i < patch.bytes; ++i)
            target[i] = (juce::uint8) (patch.value >> (8 * i));

        EXPECT_EQ (readPeFileVersion (module.getData(), module.getSize()), "") << patch.what;
    }
}

TEST (PeVersion, RandomDamageIsSafe)
{
    const auto original = bytesOf (fixture ("pe32plus_1_0_0_0.dll"));
    juce::Random random (42);

    for (int round = 0; round < 3000; ++round)
    {
        auto module = original;
        auto* bytes = static_cast<juce::uint8*> (module.getData());
        for (int flips = 1 + random.nextInt (8); --flips >= 0;)
            bytes[random.nextInt ((int) module.getSize())] = (juce::uint8) random.nextInt (256);

        const auto version = readPeFileVersion (module.getData(), module.getSize());
        ASSERT_TRUE (version.isEmpty() || version.matchesWildcard ("*.*.*.*", false)) << version;
    }
}
