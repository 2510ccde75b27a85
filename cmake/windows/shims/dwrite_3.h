// JUCE combines DWRITE_GLYPH_IMAGE_FORMATS flags in a constant expression; the Windows SDK gives
// the enum flag operators, MinGW-w64 12 none. Can go when MinGW-w64's dwrite_3.h defines them.
#pragma once
#include_next <dwrite_3.h>

#ifdef __cplusplus
extern "C++"
{
constexpr DWRITE_GLYPH_IMAGE_FORMATS operator| (DWRITE_GLYPH_IMAGE_FORMATS a, DWRITE_GLYPH_IMAGE_FORMATS b) { return DWRITE_GLYPH_IMAGE_FORMATS ((int) a | (int) b); }
constexpr DWRITE_GLYPH_IMAGE_FORMATS operator& (DWRITE_GLYPH_IMAGE_FORMATS a, DWRITE_GLYPH_IMAGE_FORMATS b) { return DWRITE_GLYPH_IMAGE_FORMATS ((int) a & (int) b); }
constexpr DWRITE_GLYPH_IMAGE_FORMATS operator~ (DWRITE_GLYPH_IMAGE_FORMATS a) { return DWRITE_GLYPH_IMAGE_FORMATS (~(int) a); }
inline DWRITE_GLYPH_IMAGE_FORMATS& operator|= (DWRITE_GLYPH_IMAGE_FORMATS& a, DWRITE_GLYPH_IMAGE_FORMATS b) { return a = a | b; }
inline DWRITE_GLYPH_IMAGE_FORMATS& operator&= (DWRITE_GLYPH_IMAGE_FORMATS& a, DWRITE_GLYPH_IMAGE_FORMATS b) { return a = a & b; }
}
#endif
