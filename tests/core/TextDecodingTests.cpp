#include "TextDecoding.h"

#include <gtest/gtest.h>

TEST (TextDecoding, StrictUtf8)
{
    struct Case { std::string bytes; bool wellFormed; };
    const Case cases[] = {
        { "", true },
        { "plain ASCII", true },
        { "f\xc3\xbcr \xe2\x80\xa2 \xf0\x9f\x8e\xb9", true },  // für • 🎹
        { "\xf4\x8f\xbf\xbf", true },                          // U+10FFFF
        { "f\xfcr", false },                                   // Latin-1
        { "\x80", false },                                     // stray continuation
        { "\xc3", false },                                     // cut short
        { "\xcd\xcd", false },                                 // lead byte after lead byte
        { "\xc0\xaf", false },                                 // overlong "/"
        { "\xe0\x80\xaf", false },                             // overlong "/"
        { "\xed\xa0\x80", false },                             // surrogate
        { "\xf4\x90\x80\x80", false },                         // above U+10FFFF
        { "\xff\xff", false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (TextDecoding::isWellFormedUtf8 (c.bytes.data(), c.bytes.size()), c.wellFormed) << c.bytes;
}

TEST (TextDecoding, EncodingsOfAFile)
{
    struct Case { const char* name; std::string bytes; juce::String text; };
    const Case cases[] = {
        { "UTF-8", "f\xc3\xbcr", juce::String::fromUTF8 ("f\xc3\xbcr") },
        { "UTF-8 with its mark", "\xef\xbb\xbf<a/>", "<a/>" },
        { "Windows-1252", "C:\\Plug-ins f\xfcr \x96 \x80 \x93x\x94", juce::String::fromUTF8 ("C:\\Plug-ins f\xc3\xbcr \xe2\x80\x93 \xe2\x82\xac \xe2\x80\x9cx\xe2\x80\x9d") },
        { "Windows-1252 leaves 0x81 undefined", "\x81", juce::String::charToString (0x81) },
        { "UTF-16 little-endian", std::string ("\xff\xfe<\0a\0/\0>\0", 10), "<a/>" },
        { "UTF-16 big-endian", std::string ("\xfe\xff\0<\0a\0/\0>", 10), "<a/>" },
        { "stops at NUL", std::string ("ab\0cd", 5), "ab" },
        { "empty", "", "" },
    };

    for (const auto& c : cases)
    {
        const auto text = TextDecoding::textFromBytes (c.bytes.data(), c.bytes.size());
        EXPECT_EQ (text, c.text) << c.name;
        EXPECT_TRUE (TextDecoding::isWellFormedUtf8 (text.toRawUTF8(), text.getNumBytesAsUTF8())) << c.name;
    }
}
