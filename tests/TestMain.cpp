#include "InstallRun.h"
#include "Platform.h"
#include "ProductInfo.h"
#include "SettingsFile.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>

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
    std::array<juce::File, numFormats> folders { defaultFormatFolder (0), defaultFormatFolder (1), defaultFormatFolder (2) };
    SettingsFile::readOrCreate (SettingsFile::fileIn (Platform::commonApplicationDataFolder().getChildFile (ProductInfo::makerName)), folders);

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

// One GUI initialiser for the whole test process: components, fonts and drawables need it.
// On a bare X server the window-manager atoms are made first, as a window manager would have:
// the framework only looks them up, and windows put on the desktop need them.
int main (int argc, char** argv)
{
    if (argc == 3 && juce::String (argv[1]) == "--install-child")
        return runInstallChild (argv[2]);
    if (argc == 3 && juce::String (argv[1]) == "--installer-child")
        return runInstallerChild (argv[2]);

    testing::InitGoogleTest (&argc, argv);

    // The framework loads the X11 libraries at run time and unloads them at exit, before the
    // leak checker runs: what they still hold would then read as leaks of ours. Kept loaded.
    for (const auto* library : { "libX11.so.6", "libXext.so.6", "libXrender.so.1", "libXcursor.so.1", "libXinerama.so.1", "libXrandr.so.2" })
        dlopen (library, RTLD_LAZY | RTLD_NODELETE);

    if (std::getenv ("DISPLAY") != nullptr)
        [[maybe_unused]] const auto made = std::system ("/usr/bin/python3 " QF_TEST_SOURCE_DIR "/e2e/close_window.py --prepare 2> /dev/null");
    juce::ScopedJuceInitialiser_GUI gui;
    return RUN_ALL_TESTS();
}
