#include "MainComponent.h"
#include "SettingsFile.h"
#include "helpers/TestFolders.h"

// The screen's own copy of the product identity, the format table and the settings.
using MainComponentState = TemporaryPrefixTest;

TEST_F (MainComponentState, MainComponentHoldsTheIdentityAndDefaults)
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

    // The screen's names follow the format table.
    for (int i = 0; i < numFormats; ++i)
    {
        EXPECT_EQ (formatNames[i], pluginFormats()[(size_t) i].name);
        EXPECT_EQ (formatExtensions[i], pluginFormats()[(size_t) i].extension);
    }
    EXPECT_EQ (linkButtonNames.joinIntoString (","), "EULA,MANUAL,WEBSITE,SUPPORT,SETTINGS,CHANGES");
}

TEST_F (MainComponentState, RowsWhoseBundleExistsStartSelectedEvenAsAPlainFile)
{
    ASSERT_TRUE (bundleFile (defaultFormatFolder (0), "Kestrune", 0).createDirectory());
    ASSERT_TRUE (bundleFile (defaultFormatFolder (2), "Kestrune", 2).create());  // a plain file named like the bundle

    MainComponent main;
    EXPECT_TRUE (main.formatSelected[0]);
    EXPECT_FALSE (main.formatSelected[1]);
    EXPECT_TRUE (main.formatSelected[2]);
}

TEST_F (MainComponentState, MainComponentReadsTheFileAndTakesFolderChoices)
{
    const auto makerFolder = driveC().getChildFile ("ProgramData/Quillfern");
    ASSERT_TRUE (makerFolder.createDirectory());
    ASSERT_TRUE (SettingsFile::fileIn (makerFolder).replaceWithText ("<Plugin_Manager_Settings VST3_Path=\"C:\\Mine\\VST3\"/>"));
    MainComponent main;
    EXPECT_EQ (main.formatFolders[0], driveC().getChildFile ("Mine/VST3"));
    EXPECT_EQ (main.formatFolders[1], defaultFormatFolder (1));

    main.onFolderChosen ("AAX_Path", root.getChildFile ("aax").getFullPathName());
    main.onFolderChosen ("Unknown_Path", root.getChildFile ("other").getFullPathName());
    EXPECT_EQ (main.formatFolders[2], root.getChildFile ("aax"));
    EXPECT_EQ (main.formatFolders[0], driveC().getChildFile ("Mine/VST3"));
    EXPECT_EQ (main.formatFolders[1], defaultFormatFolder (1));
}
