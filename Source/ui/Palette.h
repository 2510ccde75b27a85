#pragma once

#include <juce_graphics/juce_graphics.h>

// The installer's eleven opaque colours. Translucent variants are made where they are drawn.
namespace palette_detail
{
inline juce::Colour opaque (const char* sixHexDigits)
{
    return juce::Colour ((juce::uint32) (juce::String ("FF") + sixHexDigits).getHexValue64());
}
} // namespace palette_detail

inline const juce::Colour PaletteInk    = palette_detail::opaque ("111111");
inline const juce::Colour PaletteCoal   = palette_detail::opaque ("171717");
inline const juce::Colour PaletteWhite  = palette_detail::opaque ("F5F5F5");
inline const juce::Colour PaletteGrey   = palette_detail::opaque ("AAA6A6");
inline const juce::Colour PaletteGreen  = palette_detail::opaque ("86cf7a");
inline const juce::Colour PaletteBlue   = palette_detail::opaque ("0094d8");
inline const juce::Colour PaletteYellow = palette_detail::opaque ("D3C55F");
inline const juce::Colour PaletteOrange = palette_detail::opaque ("E08A2A");
inline const juce::Colour PaletteSlate  = palette_detail::opaque ("393E44");
inline const juce::Colour PaletteNight  = palette_detail::opaque ("101316");
inline const juce::Colour PaletteSteel  = palette_detail::opaque ("21272C");
