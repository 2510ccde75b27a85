#pragma once

#include <juce_core/juce_core.h>

// Text from files the user or a maker may have written with any editor. The framework's
// string functions assume well-formed UTF-8 and can read past the end of a string that is
// not, so bytes are checked here before they become a juce::String.
namespace TextDecoding
{
// Strict UTF-8: no stray continuation bytes, no overlong forms, no surrogates, nothing above
// U+10FFFF.
bool isWellFormedUtf8 (const char* data, size_t size);

// The same for the bytes a juce::String holds (names that came from elsewhere unchecked).
bool isWellFormedUtf8 (const juce::String& text);

// The text of a file's bytes, up to the first NUL: UTF-16 with its byte-order mark, UTF-8
// with or without one, and anything else read as Windows-1252 (a file saved by a Windows
// editor or tool in the "ANSI" encoding: 0x96 is an en dash, 0x80 the euro sign), so that
// every byte becomes the character Windows reads there.
juce::String textFromBytes (const void* data, size_t size);
} // namespace TextDecoding
