#include "BinaryData.h"
#include "ProductInfo.h"
#include "helpers/ZipInspection.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

namespace
{
struct Resource
{
    const char* data;
    int size;
    const char* fileName;
};

// Naming every generated identifier here also proves at compile time that it exists.
const Resource resources[] = {
    { BinaryData::vst3_zip, BinaryData::vst3_zipSize, "vst3.zip" },
    { BinaryData::clap_zip, BinaryData::clap_zipSize, "clap.zip" },
    { BinaryData::aax_zip, BinaryData::aax_zipSize, "aax.zip" },
    { BinaryData::DosisBook_otf, BinaryData::DosisBook_otfSize, "Dosis-Book.otf" },
    { BinaryData::DosisSemiBold_otf, BinaryData::DosisSemiBold_otfSize, "Dosis-SemiBold.otf" },
    { BinaryData::icon_aax_svg, BinaryData::icon_aax_svgSize, "icon_aax.svg" },
    { BinaryData::icon_clap_svg, BinaryData::icon_clap_svgSize, "icon_clap.svg" },
    { BinaryData::icon_discord_svg, BinaryData::icon_discord_svgSize, "icon_discord.svg" },
    { BinaryData::icon_install_svg, BinaryData::icon_install_svgSize, "icon_install.svg" },
    { BinaryData::icon_mail_svg, BinaryData::icon_mail_svgSize, "icon_mail.svg" },
    { BinaryData::icon_vst3_svg, BinaryData::icon_vst3_svgSize, "icon_vst3.svg" },
    { BinaryData::logo_quillfern_svg, BinaryData::logo_quillfern_svgSize, "logo_quillfern.svg" },
    { BinaryData::CHANGELOG_md, BinaryData::CHANGELOG_mdSize, "CHANGELOG.md" },
};

juce::File sourceFileOf (const juce::String& fileName)
{
    for (auto& path : juce::StringArray::fromTokens (QF_RESOURCE_FILES, "|", ""))
        if (juce::File (path).getFileName() == fileName)
            return juce::File (path);
    return {};
}

juce::String identifierFor (const juce::String& fileName)
{
    return fileName.replaceCharacter ('.', '_').removeCharacters ("-");
}
} // namespace

TEST (Resources, GeneratedListsFollowTheIdentifierRuleInTableOrder)
{
    ASSERT_EQ (BinaryData::namedResourceListSize, (int) std::size (resources));

    for (int i = 0; i < BinaryData::namedResourceListSize; ++i)
    {
        SCOPED_TRACE (resources[i].fileName);
        EXPECT_STREQ (BinaryData::originalFilenames[i], resources[i].fileName);
        EXPECT_EQ (juce::String (BinaryData::namedResourceList[i]), identifierFor (resources[i].fileName));
    }

    EXPECT_EQ (identifierFor ("SF-Pro-Rounded-Regular.otf"), "SFProRoundedRegular_otf");
}

TEST (Resources, EmbeddedBytesEqualTheFilesAndEndInAnUncountedZero)
{
    for (const auto& resource : resources)
    {
        SCOPED_TRACE (resource.fileName);
        auto file = sourceFileOf (resource.fileName);
        juce::MemoryBlock onDisk;
        ASSERT_TRUE (file.loadFileAsData (onDisk));
        ASSERT_EQ ((size_t) resource.size, onDisk.getSize());
        EXPECT_EQ (0, memcmp (resource.data, onDisk.getData(), onDisk.getSize()));
        EXPECT_EQ (resource.data[resource.size], 0);
    }
}

TEST (Resources, ChangelogDecodesToFiveCrlfLinesWithAnEmDash)
{
    auto text = juce::String::createStringFromData (BinaryData::CHANGELOG_md, BinaryData::CHANGELOG_mdSize);
    auto lines = juce::StringArray::fromTokens (text.trimCharactersAtEnd ("\r\n"), "\n", "");
    ASSERT_EQ (lines.size(), 5);

    for (auto& line : lines)
        line = line.trimCharactersAtEnd ("\r");

    EXPECT_EQ (lines[0], juce::String (juce::CharPointer_UTF8 ("# Kestrune \xe2\x80\x94 Changelog")));
    EXPECT_EQ (lines[1], "");
    EXPECT_EQ (lines[2], "## v1.0.0");
    EXPECT_EQ (lines[3], "");
    EXPECT_EQ (lines[4], "- Initial public version.");
    EXPECT_EQ (text.length(), BinaryData::CHANGELOG_mdSize - 2);  // the dash is three bytes, one character
    EXPECT_EQ (text.indexOf ("\r\n\r\n## v1.0.0\r\n\r\n- "), lines[0].length());
}

namespace
{
// Pixels drawn mostly opaque in the given colour when the drawable fills a 64 x 64 square.
int opaquePixelsOf (juce::Drawable& drawable, juce::Colour colour)
{
    juce::Image image (juce::Image::ARGB, 64, 64, true);
    {
        juce::Graphics g (image);
        drawable.drawWithin (g, { 64.0f, 64.0f }, juce::RectanglePlacement::centred, 1.0f);
    }

    int count = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if (auto pixel = image.getPixelAt (x, y); pixel.getAlpha() > 200 && pixel.withAlpha ((juce::uint8) 255) == colour)
                ++count;
    return count;
}
} // namespace

TEST (Resources, ArtworkParsesAndAllButTheEnvelopeIsRecolourableBlack)
{
    for (const auto& resource : resources)
    {
        if (! juce::String (resource.fileName).endsWith (".svg"))
            continue;

        SCOPED_TRACE (resource.fileName);
        EXPECT_TRUE (juce::String (resource.data).contains ("\r\n"));
        auto drawable = juce::Drawable::createFromImageData (resource.data, (size_t) resource.size);
        ASSERT_NE (drawable, nullptr);

        drawable->replaceColour (juce::Colours::black, juce::Colours::red);
        const bool isEnvelope = juce::String (resource.fileName) == "icon_mail.svg";
        EXPECT_EQ (opaquePixelsOf (*drawable, juce::Colours::red) > 0, ! isEnvelope);
        EXPECT_EQ (opaquePixelsOf (*drawable, juce::Colour (0xFF1D1D1B)) > 0, isEnvelope);
    }
}

namespace
{
struct ExpectedArchive
{
    const char* data;
    int size;
    std::vector<juce::String> entries;
    juce::String module;
};

std::vector<ExpectedArchive> expectedArchives()
{
    const juce::String name (QF_TEST_PRODUCT_NAME);
    const auto vst3 = name + ".vst3", aax = name + ".aaxplugin";
    return {
        { BinaryData::vst3_zip, BinaryData::vst3_zipSize,
          { vst3 + "\\Contents\\", vst3 + "\\desktop.ini", vst3 + "\\Plugin.ico",
            vst3 + "\\Contents\\Resources\\moduleinfo.json", vst3 + "\\Contents\\x86_64-win\\" + vst3 },
          vst3 + "\\Contents\\x86_64-win\\" + vst3 },
        { BinaryData::clap_zip, BinaryData::clap_zipSize, { name + ".clap" }, name + ".clap" },
        { BinaryData::aax_zip, BinaryData::aax_zipSize,
          { aax + "\\Contents\\", aax + "\\desktop.ini", aax + "\\Plugin.ico", aax + "\\Contents\\x64\\" + aax },
          aax + "\\Contents\\x64\\" + aax },
    };
}
} // namespace

TEST (StandInArchives, HoldExactlyTheBundleLayoutWithStoredFoldersAndDeflatedFiles)
{
    for (const auto& archive : expectedArchives())
    {
        SCOPED_TRACE (archive.module.toStdString());
        auto stored = readCentralDirectory (archive.data, (size_t) archive.size);
        ASSERT_EQ (stored.size(), archive.entries.size());

        for (size_t i = 0; i < stored.size(); ++i)
        {
            EXPECT_EQ (stored[i].name, archive.entries[i]);
            const bool isFolder = stored[i].name.endsWithChar ('\\');
            EXPECT_EQ (stored[i].method, isFolder ? 0 : 8) << stored[i].name;
            if (isFolder)
            {
                EXPECT_EQ (stored[i].uncompressedSize, 0u);
            }
        }
    }
}

TEST (StandInArchives, ModulesArePe32PlusDllsCarryingTheProductVersion)
{
    for (const auto& archive : expectedArchives())
    {
        SCOPED_TRACE (archive.module.toStdString());
        juce::ZipFile zip (new juce::MemoryInputStream (archive.data, (size_t) archive.size, false), true);
        auto index = zip.getIndexOfFileName (archive.module);
        ASSERT_GE (index, 0);

        std::unique_ptr<juce::InputStream> in (zip.createStreamForEntry (index));
        juce::MemoryBlock module;
        in->readIntoMemoryBlock (module);
        ASSERT_GT (module.getSize(), 1000u);

        auto* bytes = static_cast<const juce::uint8*> (module.getData());
        EXPECT_EQ (bytes[0], 'M');
        EXPECT_EQ (bytes[1], 'Z');
        auto peOffset = juce::ByteOrder::littleEndianInt (bytes + 0x3c);
        EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes + peOffset), 0x00004550u);          // "PE\0\0"
        EXPECT_EQ (juce::ByteOrder::littleEndianShort (bytes + peOffset + 24), 0x20bu);        // PE32+
        EXPECT_NE (juce::ByteOrder::littleEndianShort (bytes + peOffset + 22) & 0x2000, 0);    // a DLL

        auto expected = juce::StringArray::fromTokens (ProductInfo::version, ".", "");
        while (expected.size() < 4)
            expected.add ("0");
        EXPECT_EQ (fixedFileInfoVersion (module), expected.joinIntoString ("."));
    }
}
