// Compiled with exactly the installer core's include path by the test
// core_cannot_include_gui_headers, which passes only when this header is not found there.
#include <juce_gui_basics/juce_gui_basics.h>
