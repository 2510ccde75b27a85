#include "InstallRun.h"
#include "Platform.h"
#include "SettingsFile.h"

#include <gtest/gtest.h>

#include <iostream>

// "--install-child FOLDER": installs the VST3 bundle into FOLDER and exits; the kill tests
// run the test binary this way as the process they kill.
static int runInstallChild (const char* folder)
{
    const auto outcome = installBundle (juce::File (folder), "Kestrune.vst3", embeddedArchive (0));
    return outcome == RowOutcome::Installed ? 0 : 1;
}

// "--installer-child PREFIX": what an installer does in the Wine prefix PREFIX from start-up
// to the end of an install of all three formats, without its window; the concurrency tests
// run several at once. Exits 0 when every row was installed.
static int runInstallerChild (const char* prefix)
{
    Platform::setWinePrefix (juce::File (prefix));
    auto folders = defaultFormatFolders();
    SettingsFile::readOrCreate (SettingsFile::fileIn (SettingsFile::makerFolder()), folders);

    std::array<bool, numFormats> selected { true, true, true };
    int status = 0;
    for (const auto& result : runInstallation (selected, folders, "Kestrune", false))
    {
        if (result != RowOutcome::Installed)
        {
            std::cout << result.reason << std::endl;
            status = 1;
        }
    }
    return status;
}

// The installer core's tests need no GUI layer and no display: this binary links none.
int main (int argc, char** argv)
{
    if (argc == 3 && juce::String (argv[1]) == "--install-child")
        return runInstallChild (argv[2]);
    if (argc == 3 && juce::String (argv[1]) == "--installer-child")
        return runInstallerChild (argv[2]);

    testing::InitGoogleTest (&argc, argv);
    return RUN_ALL_TESTS();
}
