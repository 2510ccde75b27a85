#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

// One GUI initialiser for the whole test process: components, fonts and drawables need it.
int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI gui;
    return RUN_ALL_TESTS();
}
