#include "InstallStatus.h"
#include "PluginFormats.h"
#include "helpers/BundleFixtures.h"
#include "helpers/TestFolders.h"

class InstallStatusTest : public TemporaryPrefixTest
{
protected:
    juce::File folder() const { return root.getChildFile ("Plug-Ins"); }

    // Puts a module file (one of the PE fixtures, or any file) where the row reads its version.
    void installModule (int row, const juce::File& module) const
    {
        const auto target = moduleFile (bundleFile (folder(), "Kestrune", row), "Kestrune", row);
        ASSERT_TRUE (target.getParentDirectory().createDirectory());
        ASSERT_TRUE (module.copyFileTo (target));
    }

    RowStatus status (int row, const juce::String& productVersion = "1.0.0") const
    {
        return deriveRowStatus (folder(), "Kestrune", productVersion, row);
    }
};

TEST_F (InstallStatusTest, NothingAtTheBundlePathIsNotInstalled)
{
    for (int row = 0; row < numFormats; ++row)
    {
        const auto s = status (row);
        EXPECT_EQ (s.state, InstallState::NotInstalled);
        EXPECT_EQ (s.text, "NOT INSTALLED");
        EXPECT_FALSE (isBundlePresent (folder(), "Kestrune", row));
    }

    EXPECT_EQ (deriveRowStatus (juce::File(), "Kestrune", "1.0.0", 0).state, InstallState::NotInstalled);
}

TEST_F (InstallStatusTest, ModuleVersionsAgainstTheCarriedVersion)
{
    struct Case { const char* fixture; InstallState state; const char* text; };
    const Case cases[] = {
        { "pe32plus_1_0_0_0.dll", InstallState::Installed, "v1.0.0.0 INSTALLED" },
        { "pe32plus_0_9_5_0.dll", InstallState::NeedsUpdate, "v0.9.5.0 NEEDS UPDATE" },
        { "pe32plus_2_0_0_0.dll", InstallState::Installed, "v2.0.0.0 INSTALLED" },
        { "pe32plus_1_0_10_0.dll", InstallState::Installed, "v1.0.10.0 INSTALLED" },
        { "pe32_0_9_5_0.dll", InstallState::NeedsUpdate, "v0.9.5.0 NEEDS UPDATE" },
        { "noversion.dll", InstallState::Installed, "INSTALLED" },
    };

    for (const auto& c : cases)
        for (int row = 0; row < numFormats; ++row)
        {
            folder().deleteRecursively();
            installModule (row, juce::File (QF_PE_FIXTURE_DIR).getChildFile (c.fixture));
            const auto s = status (row);
            EXPECT_EQ (s.state, c.state) << c.fixture << " row " << row;
            EXPECT_EQ (s.text, c.text) << c.fixture << " row " << row;
            EXPECT_TRUE (isBundlePresent (folder(), "Kestrune", row));
        }
}

TEST_F (InstallStatusTest, NaturalOrderOfVersions)
{
    installModule (1, juce::File (QF_PE_FIXTURE_DIR).getChildFile ("pe32plus_1_0_10_0.dll"));
    EXPECT_EQ (status (1, "1.0.9").state, InstallState::Installed);
    EXPECT_EQ (status (1, "1.0.11").state, InstallState::NeedsUpdate);
    EXPECT_EQ (status (1, "1.0.10").state, InstallState::Installed);  // 1.0.10.0 is not before 1.0.10
    EXPECT_EQ (status (1, "1.0.10.1").state, InstallState::NeedsUpdate);
}

TEST_F (InstallStatusTest, PresentBundlesWithoutAReadableModuleCountAsInstalled)
{
    ASSERT_TRUE (bundleFile (folder(), "Kestrune", 0).getChildFile ("Contents").createDirectory());  // module deleted
    ASSERT_TRUE (folder().getChildFile ("Kestrune.clap").replaceWithText ("not a module"));
    ASSERT_TRUE (folder().getChildFile ("Kestrune.aaxplugin").replaceWithText ("a plain file named like the bundle"));

    for (int row = 0; row < numFormats; ++row)
    {
        EXPECT_EQ (status (row).state, InstallState::Installed) << row;
        EXPECT_EQ (status (row).text, "INSTALLED") << row;
    }
}

TEST_F (InstallStatusTest, TheCarriedBundlesReadAsInstalledAtTheProductVersion)
{
    for (int row = 0; row < numFormats; ++row)
        extractEmbeddedArchive (row, folder());

    for (int row = 0; row < numFormats; ++row)
        EXPECT_EQ (status (row).text, "v1.0.0.0 INSTALLED") << row;
}

TEST_F (InstallStatusTest, StatusFollowsTheFileSystemWithoutCaching)
{
    installModule (0, juce::File (QF_PE_FIXTURE_DIR).getChildFile ("pe32plus_0_9_5_0.dll"));
    EXPECT_EQ (status (0).state, InstallState::NeedsUpdate);
    installModule (0, juce::File (QF_PE_FIXTURE_DIR).getChildFile ("pe32plus_1_0_0_0.dll"));
    EXPECT_EQ (status (0).state, InstallState::Installed);
    bundleFile (folder(), "Kestrune", 0).deleteRecursively();
    EXPECT_EQ (status (0).state, InstallState::NotInstalled);
}
