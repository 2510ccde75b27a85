#include "MainComponent.h"
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
        EXPECT_EQ (formatNames[i], rows[i].name);
        EXPECT_EQ (formatExtensions[i], rows[i].extension);
        EXPECT_EQ (Platform::windowsPathOf (defaultFormatFolder (i)), rows[i].defaultFolder);
        EXPECT_TRUE (defaultFormatFolder (i).isAChildOf (driveC()));
    }

    EXPECT_EQ (linkButtonNames.joinIntoString (","), "EULA,MANUAL,WEBSITE,SUPPORT,SETTINGS,CHANGES");
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

TEST_F (PluginFormats, MainComponentHoldsTheIdentityAndDefaults)
{
    MainComponent main;
    EXPECT_EQ (main.productName, "Kestrune");
    EXPECT_EQ (main.productVersion, "1.0.0");
    EXPECT_EQ (main.platformSuffix, " for Windows");
    EXPECT_TRUE (main.websiteUrl.toString (false).startsWith ("https://"));
    EXPECT_TRUE (main.manualUrl.toString (false).endsWith ("manuals/Kestrune_Manual.pdf"));
    EXPECT_EQ (main.settingsFolder, driveC().getChildFile ("ProgramData/Quillfern"));
    EXPECT_FLOAT_EQ (main.unit, 6.0f);
    EXPECT_EQ (main.getWidth(), 600);
    EXPECT_EQ (main.getHeight(), 600);
    EXPECT_FALSE (main.shiftHeld);
    EXPECT_FALSE (main.operationDone);

    for (int i = 0; i < numFormats; ++i)
    {
        EXPECT_EQ (main.formatFolders[(size_t) i], defaultFormatFolder (i));
        EXPECT_FALSE (main.formatSelected[(size_t) i]);
        ASSERT_NE (main.formatIcons[(size_t) i], nullptr);
    }

    EXPECT_NE (main.installIcon, nullptr);
    EXPECT_NE (main.logoDrawable, nullptr);
}

TEST_F (PluginFormats, RowsWhoseBundleExistsStartSelectedEvenAsAPlainFile)
{
    ASSERT_TRUE (bundleFile (defaultFormatFolder (0), "Kestrune", 0).createDirectory());
    ASSERT_TRUE (bundleFile (defaultFormatFolder (2), "Kestrune", 2).create());  // a plain file named like the bundle

    MainComponent main;
    EXPECT_TRUE (main.formatSelected[0]);
    EXPECT_FALSE (main.formatSelected[1]);
    EXPECT_TRUE (main.formatSelected[2]);
}
