#include "helpers/TestFolders.h"

#include <cstdlib>

using PlatformPaths = TemporaryPrefixTest;

TEST_F (PlatformPaths, WindowsPathsMapIntoTheWinePrefix)
{
    struct Case { const char* windowsPath; juce::String expected; };
    const Case cases[] = {
        { "C:\\Program Files\\Common Files\\CLAP", prefix.getFullPathName() + "/drive_c/Program Files/Common Files/CLAP" },
        { "C:/Program Files/Common Files/VST3", prefix.getFullPathName() + "/drive_c/Program Files/Common Files/VST3" },
        { "c:\\ProgramData\\Quillfern\\", prefix.getFullPathName() + "/drive_c/ProgramData/Quillfern" },
        { "C:", prefix.getFullPathName() + "/drive_c" },
        { "C:\\..\\..\\etc", prefix.getFullPathName() + "/drive_c/etc" },
        { "D:\\Music\\Plug-Ins", prefix.getFullPathName() + "/dosdevices/d:/Music/Plug-Ins" },
        { "Z:\\opt\\plugins", "/opt/plugins" },
        { "/opt/plugins", "/opt/plugins" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (Platform::fileFromWindowsPath (c.windowsPath).getFullPathName(), c.expected) << c.windowsPath;
}

TEST_F (PlatformPaths, EmptyRelativeAndDrivelessPathsGiveNoFolder)
{
    for (auto* path : { "", "VST3", "Program Files\\VST3", "..\\x", "C", "CC:\\x", ":\\x", "1:\\x" })
        EXPECT_EQ (Platform::fileFromWindowsPath (path), juce::File()) << path;
}

TEST_F (PlatformPaths, ExistingFoldersAreFoundWhateverTheCaseWritten)
{
    auto folder = driveC().getChildFile ("Program Files/Common Files/VST3");
    ASSERT_TRUE (folder.createDirectory());
    EXPECT_EQ (Platform::fileFromWindowsPath ("c:\\PROGRAM FILES\\common files\\vst3\\New"), folder.getChildFile ("New"));
}

TEST_F (PlatformPaths, NativeFoldersGetTheirWindowsForm)
{
    ASSERT_TRUE (prefix.getChildFile ("dosdevices").createDirectory());
    ASSERT_TRUE (root.getChildFile ("d-drive").createDirectory());
    ASSERT_TRUE (root.getChildFile ("d-drive").createSymbolicLink (prefix.getChildFile ("dosdevices/d:"), true));

    struct Case { juce::File file; const char* expected; };
    const Case cases[] = {
        { driveC().getChildFile ("Program Files/Common Files/CLAP"), "C:\\Program Files\\Common Files\\CLAP" },
        { driveC(), "C:\\" },
        { driveC().getChildFile (".hidden/x"), "C:\\.hidden\\x" },
        { prefix.getChildFile ("dosdevices/d:/Music"), "D:\\Music" },
        { juce::File ("/opt/plugins"), "Z:\\opt\\plugins" },
        { juce::File ("/"), "Z:\\" },
        { juce::File(), "" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (Platform::windowsPathOf (c.file), c.expected) << c.file.getFullPathName();
}

TEST_F (PlatformPaths, WindowsFormsRoundTrip)
{
    // E: is a drive the prefix does not map: its folders keep their letter all the same.
    for (auto* path : { "C:\\Program Files\\Common Files\\Avid\\Audio\\Plug-Ins", "Z:\\home\\someone\\plugins", "C:\\ProgramData", "E:\\Plugins" })
        EXPECT_EQ (Platform::windowsPathOf (Platform::fileFromWindowsPath (path)), path);
}

TEST_F (PlatformPaths, CommonApplicationDataIsProgramDataOnDriveC)
{
    EXPECT_EQ (Platform::commonApplicationDataFolder(), driveC().getChildFile ("ProgramData"));
    EXPECT_EQ (Platform::windowsPathOf (Platform::commonApplicationDataFolder()), "C:\\ProgramData");
}

TEST (PlatformDefaults, ThePrefixIsWineprefixWhenSetElseTheDefaultInTheHomeFolder)
{
    const auto saved = juce::SystemStats::getEnvironmentVariable ("WINEPREFIX", {});
    const auto hadOne = std::getenv ("WINEPREFIX") != nullptr;
    const auto homePrefix = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (".wine");

    struct Case { const char* value; juce::File expected; };
    const Case cases[] = {
        { nullptr, homePrefix },
        { "/srv/wine-prefixes/studio", juce::File ("/srv/wine-prefixes/studio") },
        { "", homePrefix },
        { "relative/prefix", homePrefix },  // Wine refuses a relative prefix too
    };

    for (const auto& c : cases)
    {
        if (c.value == nullptr)
            unsetenv ("WINEPREFIX");
        else
            setenv ("WINEPREFIX", c.value, 1);
        EXPECT_EQ (Platform::winePrefix(), c.expected) << (c.value == nullptr ? "unset" : c.value);
    }

    if (hadOne)
        setenv ("WINEPREFIX", saved.toRawUTF8(), 1);
    else
        unsetenv ("WINEPREFIX");
}

TEST_F (PlatformPaths, OnlyDrivesThePrefixMapsAreAvailable)
{
    ASSERT_TRUE (prefix.getChildFile ("dosdevices").createDirectory());
    ASSERT_TRUE (root.getChildFile ("d-drive").createDirectory());
    ASSERT_TRUE (root.getChildFile ("d-drive").createSymbolicLink (prefix.getChildFile ("dosdevices/d:"), true));
    ASSERT_TRUE (root.getChildFile ("gone").createSymbolicLink (prefix.getChildFile ("dosdevices/f:"), true));

    struct Case { const char* windowsPath; const char* unavailable; };
    const Case cases[] = {
        { "C:\\Program Files\\Common Files\\VST3", "" },
        { "D:\\Plugins", "" },
        { "E:\\Plugins", "E:" },
        { "e:\\", "E:" },
        { "F:\\Plugins", "F:" },  // mapped to a folder that is gone
        { "Z:\\opt\\plugins", "" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (Platform::unavailableDriveOf (Platform::fileFromWindowsPath (c.windowsPath)), c.unavailable) << c.windowsPath;
}

TEST_F (PlatformPaths, FoldersWhoseNamesWindowsForbidsHaveNoWindowsForm)
{
    struct Case { juce::String name; bool allowed; };
    const Case cases[] = {
        { "Plug-ins (x64) & more", true }, { juce::String::fromUTF8 ("f\xc3\xbcr \xe2\x82\xac"), true }, { ".hidden", true },
        { "back\\slash", false }, { "co:lon", false }, { "star*", false }, { "what?", false }, { "\"quoted\"", false },
        { "<angle>", false }, { "pi|pe", false }, { "tab\there", false }, { "trailing dot.", false }, { "trailing blank ", false },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (Platform::hasWindowsPathForm (driveC().getChildFile (c.name).getChildFile ("VST3")), c.allowed) << c.name;
        EXPECT_EQ (Platform::hasWindowsPathForm (root.getChildFile (c.name)), c.allowed) << c.name;  // on drive Z:
    }

    EXPECT_TRUE (Platform::hasWindowsPathForm (driveC()));
    EXPECT_FALSE (Platform::hasWindowsPathForm (juce::File()));
}
