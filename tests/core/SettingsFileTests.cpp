#include "SettingsFile.h"
#include "helpers/TestFolders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>

namespace
{
// What stands at a path, without following a link or opening anything.
juce::String describeEntry (const juce::String& path)
{
    struct stat info;
    if (lstat (path.toRawUTF8(), &info) != 0)
        return "nothing";
    if (S_ISLNK (info.st_mode))
        return "link to " + juce::File (path).getLinkedTarget().getFullPathName();
    return S_ISFIFO (info.st_mode) ? "pipe" : "mode " + juce::String (info.st_mode) + ", " + juce::String ((juce::int64) info.st_size) + " bytes";
}

} // namespace

class SettingsFileTest : public TemporaryPrefixTest
{
protected:
    juce::File makerFolder() const { return driveC().getChildFile ("ProgramData/Quillfern"); }
    juce::File settings() const { return SettingsFile::fileIn (makerFolder()); }

    void writeSettings (const juce::String& text) const
    {
        ASSERT_TRUE (makerFolder().createDirectory());
        ASSERT_TRUE (settings().replaceWithText (text));
    }

    std::array<juce::File, numFormats> readFolders() const
    {
        auto folders = defaultFormatFolders();
        SettingsFile::readOrCreate (settings(), folders);
        return folders;
    }
};

TEST_F (SettingsFileTest, AMissingFileIsWrittenWithTheDefaultsInTheSharedFormat)
{
    // The maker folder does not exist yet: it is created so the file can be written.
    EXPECT_EQ (readFolders(), defaultFormatFolders());
    ASSERT_TRUE (settings().existsAsFile());

    const auto text = settings().loadFileAsString();
    const auto lines = juce::StringArray::fromTokens (text, "\n", "");
    ASSERT_EQ (lines.size(), 6);  // declaration, empty line, three element lines, final line end
    EXPECT_EQ (lines[0], "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r");
    EXPECT_EQ (lines[1], "\r");
    EXPECT_TRUE (lines[2].startsWith ("<Plugin_Manager_Settings Important_Note:=\"These are the paths that all Quillfern installers"));
    EXPECT_TRUE (lines[2].endsWith ("will be written.\"\r"));
    EXPECT_EQ (lines[3], "                         CLAP_Path=\"C:\\Program Files\\Common Files\\CLAP\" VST3_Path=\"C:\\Program Files\\Common Files\\VST3\"\r");
    EXPECT_EQ (lines[4], "                         AAX_Path=\"C:\\Program Files\\Common Files\\Avid\\Audio\\Plug-Ins\"/>\r");
    EXPECT_EQ (lines[5], "");

    auto element = juce::parseXML (settings());
    ASSERT_NE (element, nullptr);
    EXPECT_EQ (element->getAttributeName (0), "Important_Note:");
    EXPECT_EQ (element->getStringAttribute ("Important_Note:"), SettingsFile::noteText);
    EXPECT_EQ (element->getNumAttributes(), 4);
}

TEST_F (SettingsFileTest, AnExistingFileIsReadNeverRewrittenAndItsFoldersCreated)
{
    ASSERT_TRUE (prefix.getChildFile ("dosdevices").createDirectory());
    ASSERT_TRUE (root.getChildFile ("second-drive").createSymbolicLink (prefix.getChildFile ("dosdevices/d:"), true));
    ASSERT_TRUE (root.getChildFile ("second-drive").createDirectory());
    const auto nativeAax = root.getChildFile ("native/aax");
    const auto text = "<?xml version=\"1.0\"?>\n<Another_Tag Extra=\"kept\" VST3_Path=\"D:/Audio/VST3\" "
                      "CLAP_Path=\"C:\\Plugins\\CLAP\" AAX_Path=\"" + nativeAax.getFullPathName() + "\" More=\"x\"/>\n";
    writeSettings (text);
    const auto before = settings().loadFileAsString();

    const auto folders = readFolders();
    EXPECT_EQ (folders[0], prefix.getChildFile ("dosdevices/d:/Audio/VST3"));
    EXPECT_EQ (folders[1], driveC().getChildFile ("Plugins/CLAP"));
    EXPECT_EQ (folders[2], nativeAax);
    EXPECT_TRUE (root.getChildFile ("second-drive/Audio/VST3").isDirectory());
    EXPECT_TRUE (folders[1].isDirectory());
    EXPECT_TRUE (folders[2].isDirectory());
    EXPECT_EQ (settings().loadFileAsString(), before);
}

TEST_F (SettingsFileTest, AFolderOnADriveThePrefixDoesNotMapIsNotMadeUp)
{
    writeSettings ("<Plugin_Manager_Settings VST3_Path=\"E:\\Plugins\\VST3\"/>");
    const auto folders = readFolders();
    EXPECT_EQ (folders[0], prefix.getChildFile ("dosdevices/e:/Plugins/VST3"));
    EXPECT_FALSE (Platform::entryExists (prefix.getChildFile ("dosdevices/e:")));
}

TEST_F (SettingsFileTest, MissingEmptyOrRelativePathsKeepTheirDefault)
{
    writeSettings ("<Plugin_Manager_Settings VST3_Path=\"\" CLAP_Path=\"Plugins\\CLAP\"/>");
    EXPECT_EQ (readFolders(), defaultFormatFolders());
    EXPECT_FALSE (defaultFormatFolder (0).exists());
    EXPECT_FALSE (driveC().getChildFile ("ProgramData/Quillfern/Plugins").exists());
}

TEST_F (SettingsFileTest, UnparseableOrUnwritableFilesLeaveTheDefaultsAndTheFileAlone)
{
    for (const juce::String garbage : { "not xml at all", "<Plugin_Manager_Settings VST3_Path=\"C:\\x", " ", "<<<>>>" })
    {
        writeSettings (garbage);
        const auto before = settings().loadFileAsString();
        EXPECT_EQ (readFolders(), defaultFormatFolders()) << garbage;
        EXPECT_EQ (settings().loadFileAsString(), before);
    }

    settings().deleteFile();
    ASSERT_TRUE (settings().getChildFile ("inside").create());  // a folder where the file should be
    EXPECT_EQ (readFolders(), defaultFormatFolders());
    EXPECT_TRUE (settings().getChildFile ("inside").existsAsFile());
}

TEST_F (SettingsFileTest, AProcessingInstructionInsideTheElementIsRefusedNotAHang)
{
    // Found by fuzzing: the framework's XML parser loops for ever on this shape of text.
    const juce::String text ("<?xml version=\"1.0\"?>\n<Plugin_Manager_Settings VST3_Path=\"C:\\V\"><?x?>a</Plugin_Manager_Settings>");
    writeSettings (text);
    const auto before = settings().loadFileAsString();

    auto folders = defaultFormatFolders();
    EXPECT_FALSE (SettingsFile::readFolders (settings(), folders));
    EXPECT_EQ (readFolders(), defaultFormatFolders());
    EXPECT_FALSE (SettingsFile::writeFolder (settings(), "VST3_Path", driveC()));
    EXPECT_EQ (settings().loadFileAsString(), before);

    // The declaration itself is fine, with or without leading blanks.
    writeSettings ("  <?xml version=\"1.0\"?>\n<Plugin_Manager_Settings VST3_Path=\"C:\\V\"/>");
    EXPECT_TRUE (SettingsFile::readFolders (settings(), folders));
    EXPECT_EQ (folders[0], driveC().getChildFile ("V"));
}

TEST_F (SettingsFileTest, AFileSavedInWindows1252ReadsItsPathsAndKeepsThemWhenRewritten)
{
    // A Windows editor's or an older tool's "ANSI" encoding: 0x96 is an en dash there, 0x80
    // the euro sign. The framework would read past the end of such text.
    const char bytes[] = "<Plugin_Manager_Settings VST3_Path=\"C:\\Plug-ins f\xfcr VST3 \x96 \x80\" CLAP_Path=\"C:\\C\"/>";
    ASSERT_TRUE (makerFolder().createDirectory());
    ASSERT_TRUE (settings().replaceWithData (bytes, sizeof (bytes) - 1));

    auto folders = defaultFormatFolders();
    EXPECT_TRUE (SettingsFile::readFolders (settings(), folders));
    const auto expected = driveC().getChildFile (juce::String::fromUTF8 ("Plug-ins f\xc3\xbcr VST3 \xe2\x80\x93 \xe2\x82\xac"));
    EXPECT_EQ (folders[0], expected);

    // The settings panel rewrites another row: this path must read back as the same folder.
    ASSERT_TRUE (SettingsFile::writeFolder (settings(), "CLAP_Path", driveC().getChildFile ("New")));
    auto reread = defaultFormatFolders();
    EXPECT_TRUE (SettingsFile::readFolders (settings(), reread));
    EXPECT_EQ (reread[0], expected);
    EXPECT_EQ (reread[1], driveC().getChildFile ("New"));
}

TEST_F (SettingsFileTest, WhatIsNotARegularFileOfSaneSizeIsNeverRead)
{
    ASSERT_TRUE (makerFolder().createDirectory());
    const auto path = settings().getFullPathName();
    const auto huge = root.getChildFile ("huge.txt");
    {
        juce::FileOutputStream out (huge);
        out << "<Plugin_Manager_Settings VST3_Path=\"C:\\Huge\"/>";
        out.writeRepeatedByte (' ', 2 * SettingsFile::maxFileBytes);
    }

    struct Case { const char* what; std::function<bool()> make; };
    const Case cases[] = {
        { "a named pipe", [&] { return mkfifo (path.toRawUTF8(), 0600) == 0; } },
        { "a link to /dev/zero", [&] { return symlink ("/dev/zero", path.toRawUTF8()) == 0; } },
        { "a file over the size limit", [&] { return symlink (huge.getFullPathName().toRawUTF8(), path.toRawUTF8()) == 0; } },
    };

    for (const auto& c : cases)
    {
        ASSERT_TRUE (c.make()) << c.what;
        const auto before = describeEntry (path);

        // Run off this thread, so that a reader that blocks fails the test instead of hanging it.
        auto reading = std::async (std::launch::async, [&] { return readFolders(); });
        if (reading.wait_for (std::chrono::seconds (10)) != std::future_status::ready)
        {
            ADD_FAILURE() << c.what << " blocked the reader";
            ::close (::open (path.toRawUTF8(), O_WRONLY | O_NONBLOCK));  // lets a blocked reader go
        }
        EXPECT_EQ (reading.get(), defaultFormatFolders()) << c.what;
        EXPECT_FALSE (SettingsFile::writeFolder (settings(), "VST3_Path", driveC())) << c.what;
        EXPECT_EQ (describeEntry (path), before) << c.what;  // left exactly as it was
        ::unlink (path.toRawUTF8());
    }
}

TEST_F (SettingsFileTest, AFileWrittenHereReadsBackToTheSameFolders)
{
    const auto native = root.getChildFile ("srv/clap");
    std::array<juce::File, numFormats> chosen { driveC().getChildFile ("A/VST3"), native, driveC().getChildFile ("B") };
    auto written = chosen;
    SettingsFile::readOrCreate (settings(), written);
    ASSERT_TRUE (settings().existsAsFile());
    EXPECT_EQ (readFolders(), chosen);
    EXPECT_TRUE (settings().loadFileAsString().contains ("CLAP_Path=\"Z:" + native.getFullPathName().replaceCharacter ('/', '\\') + "\""));
}

TEST_F (SettingsFileTest, WriteFolderSetsOneAttributeAndKeepsTheRest)
{
    writeSettings ("<Root Important_Note:=\"n\" Extra=\"1\" CLAP_Path=\"C:\\Old\" VST3_Path=\"C:\\V\"/>");
    ASSERT_TRUE (SettingsFile::writeFolder (settings(), "CLAP_Path", driveC().getChildFile ("New CLAP")));
    ASSERT_TRUE (SettingsFile::writeFolder (settings(), "AAX_Path", driveC().getChildFile ("AAX")));

    auto element = juce::parseXML (settings());
    ASSERT_NE (element, nullptr);
    EXPECT_EQ (element->getTagName(), "Root");
    juce::StringArray names;
    for (int i = 0; i < element->getNumAttributes(); ++i)
        names.add (element->getAttributeName (i));
    EXPECT_EQ (names.joinIntoString (","), "Important_Note:,Extra,CLAP_Path,VST3_Path,AAX_Path");
    EXPECT_EQ (element->getStringAttribute ("CLAP_Path"), "C:\\New CLAP");
    EXPECT_EQ (element->getStringAttribute ("AAX_Path"), "C:\\AAX");
    EXPECT_EQ (element->getStringAttribute ("Extra"), "1");
}

TEST_F (SettingsFileTest, WriteFolderNeverCreatesOrRepairsAFile)
{
    EXPECT_FALSE (SettingsFile::writeFolder (settings(), "VST3_Path", driveC()));
    EXPECT_FALSE (settings().exists());

    writeSettings ("garbage");
    EXPECT_FALSE (SettingsFile::writeFolder (settings(), "VST3_Path", driveC()));
    EXPECT_EQ (settings().loadFileAsString(), "garbage");
}
