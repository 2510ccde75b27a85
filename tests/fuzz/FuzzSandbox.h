#pragma once

#include "Platform.h"

#include <juce_core/juce_core.h>

// A private temporary folder for one fuzzing process, holding the Wine prefix the code under
// test sees, removed again at exit.
struct FuzzSandbox
{
    FuzzSandbox()
    {
        root = juce::File::getSpecialLocation (juce::File::tempDirectory)
                   .getChildFile ("qf_fuzz_" + juce::String (juce::Time::currentTimeMillis()) + "_" + juce::String (Platform::currentProcessId()));
        root.createDirectory();
        prefix = root.getChildFile ("wine");
        prefix.getChildFile ("drive_c").createDirectory();
        Platform::setWinePrefix (prefix);
    }

    ~FuzzSandbox() { root.deleteRecursively(); }

    juce::File root, prefix;
};
