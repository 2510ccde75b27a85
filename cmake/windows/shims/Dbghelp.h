// JUCE includes <Dbghelp.h>, MSVC's spelling; MinGW-w64 ships dbghelp.h. Can go when JUCE uses the lower-case name.
#pragma once
#include <dbghelp.h>
