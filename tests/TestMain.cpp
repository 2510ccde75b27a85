#include "InstallRun.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

// "--install-child FOLDER": installs the VST3 bundle into FOLDER and exits; the kill tests
// run the test binary this way as the process they kill.
static int runInstallChild (const char* folder)
{
    const auto outcome = installBundle (juce::File (folder), "Kestrune.vst3", embeddedArchive (0));
    return outcome == RowOutcome::Installed ? 0 : 1;
}

// One GUI initialiser for the whole test process: components, fonts and drawables need it.
int main (int argc, char** argv)
{
    if (argc == 3 && juce::String (argv[1]) == "--install-child")
        return runInstallChild (argv[2]);

    testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI gui;
    return RUN_ALL_TESTS();
}
