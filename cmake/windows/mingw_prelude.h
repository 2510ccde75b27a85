// Included first in every Windows compile: JUCE 8 refuses MinGW and assumes MSVC in a few places; this can go when JUCE supports GCC's MinGW-w64 toolchain.
#pragma once

// JUCE stops with an #error on __MINGW32__ in its platform header, which is #pragma once:
// read it once here without the macro, then restore the macro for everything else. (Sources
// that do not see JUCE, like the resource table, skip it.)
#if __has_include (<juce_core/system/juce_TargetPlatform.h>)
 #define QF_PRELUDE_SEES_JUCE 1
 #pragma push_macro ("__MINGW32__")
 #undef __MINGW32__
 #include <juce_core/system/juce_TargetPlatform.h>
 #pragma pop_macro ("__MINGW32__")
#endif

// JUCE sets this only for MSVC.
#ifndef JUCE_64BIT
 #define JUCE_64BIT 1
#endif

// Windows 10 RS1: below it d2d1_3.h hides the Direct2D interfaces JUCE's renderer uses.
#ifndef NTDDI_VERSION
 #define NTDDI_VERSION 0x0A000002
#endif

// __cpuid, and the C string functions MSVC makes visible without their headers.
#include <intrin.h>
#ifdef __cplusplus
 #include <cstring>
#endif

#if defined (__cplusplus) && QF_PRELUDE_SEES_JUCE

 // GCC 12 fails on a _Pragma inside a lambda that initialises a data member (JUCE's Direct2D
 // code): JUCE's headers are system headers to us, so its warning suppressions can go.
 #include <juce_core/system/juce_CompilerWarnings.h>
 #undef JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE
 #undef JUCE_END_IGNORE_WARNINGS_GCC_LIKE
 #define JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE(...)
 #define JUCE_END_IGNORE_WARNINGS_GCC_LIKE
#endif
