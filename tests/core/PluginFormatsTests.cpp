#include "PluginFormats.h"
#include "helpers/TestFolders.h"

using PluginFormats = TemporaryPrefixTest;

TEST_F (PluginFormats, TableRowsInOrderWithTheirDefaultFoldersOnDriveC)
{
    struct Row { const char* name; const char* extension; const char* key; const char* defaultFolder; };
    const Row rows[] = {
        { "VST3", ".vst3", "VST3_Path", "C:\\Program Files\\Common Files\\VST3" },
        { "CLAP", ".clap", "CLAP_Path", "C:\\Program Files\\Common Files\\CLAP" },
        { "AAX", ".aaxplugin", "AAX_Path", "C:\\Program Files\\Common Files\\Avid\\Audio\\Plug-Ins" },
    };

    for (int i = 0; i < numFormats; ++i)
    {
        const auto& format = pluginFormats()[(size_t) i];
        EXPECT_STREQ (format.name, rows[i].name);
        EXPECT_STREQ (format.extension, rows[i].extension);
        EXPECT_STREQ (format.settingsKey, rows[i].key);
        EXPECT_EQ (Platform::windowsPathOf (defaultFormatFolder (i)), rows[i].defaultFolder);
        EXPECT_TRUE (defaultFormatFolder (i).isAChildOf (driveC()));
    }
}

TEST_F (PluginFormats, BundleAndModulePathsFollowTheProductName)
{
    for (const juce::String identifier : { "Kestrune", "My_Synth" })
    {
        const auto name = productDisplayName (identifier);
        const juce::File folder ("/plugins");
        EXPECT_EQ (bundleFile (folder, name, 0).getFullPathName(), "/plugins/" + name + ".vst3");
        EXPECT_EQ (bundleFile (folder, name, 1).getFullPathName(), "/plugins/" + name + ".clap");
        EXPECT_EQ (bundleFile (folder, name, 2).getFullPathName(), "/plugins/" + name + ".aaxplugin");
        EXPECT_EQ (moduleFile (bundleFile (folder, name, 0), name, 0).getFullPathName(),
                   "/plugins/" + name + ".vst3/Contents/x86_64-win/" + name + ".vst3");
        EXPECT_EQ (moduleFile (bundleFile (folder, name, 1), name, 1), bundleFile (folder, name, 1));
        EXPECT_EQ (moduleFile (bundleFile (folder, name, 2), name, 2).getFullPathName(),
                   "/plugins/" + name + ".aaxplugin/Contents/x64/" + name + ".aaxplugin");
    }

    EXPECT_EQ (productDisplayName ("My_Synth"), "My Synth");
    EXPECT_EQ (bundleFile (juce::File(), "Kestrune", 0), juce::File());
}
