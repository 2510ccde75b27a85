#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>

// One GUI initialiser for the whole test process: components, fonts and drawables need it.
// On a bare X server the window-manager atoms are made first, as a window manager would have:
// the framework only looks them up, and windows put on the desktop need them.
int main (int argc, char** argv)
{
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
