// JUCE includes libjpeg inside its own namespace and expects libjpeg's `boolean` there; with
// windows.h first, libjpeg takes the global one from rpcndr.h instead. Can go when JUCE handles GCC on Windows like MSVC and clang.
#include_next <jpeglib.h>

#if defined (__cplusplus) && defined (__RPCNDR_H__)
typedef ::boolean boolean;
#endif
