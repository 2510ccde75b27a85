#include "helpers/TestFolders.h"

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
    for (auto* path : { "C:\\Program Files\\Common Files\\Avid\\Audio\\Plug-Ins", "Z:\\home\\someone\\plugins", "C:\\ProgramData" })
        EXPECT_EQ (Platform::windowsPathOf (Platform::fileFromWindowsPath (path)), path);
}

TEST_F (PlatformPaths, CommonApplicationDataIsProgramDataOnDriveC)
{
    EXPECT_EQ (Platform::commonApplicationDataFolder(), driveC().getChildFile ("ProgramData"));
    EXPECT_EQ (Platform::windowsPathOf (Platform::commonApplicationDataFolder()), "C:\\ProgramData");
}

TEST (PlatformDefaults, ThePrefixIsTheDefaultWinePrefixInTheHomeFolder)
{
    EXPECT_EQ (Platform::winePrefix(), juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (".wine"));
}
