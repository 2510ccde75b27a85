#include "TextDecoding.h"

#include <cstring>
#include <limits>
#include <vector>

namespace TextDecoding
{
namespace
{
// The number of bytes in the well-formed sequence that starts at data[i], or 0.
size_t sequenceLength (const unsigned char* data, size_t size, size_t i)
{
    const auto lead = data[i];

    if (lead < 0x80)
        return 1;

    const auto length = lead >= 0xc2 && lead <= 0xdf ? 2u : lead >= 0xe0 && lead <= 0xef ? 3u : lead >= 0xf0 && lead <= 0xf4 ? 4u : 0u;
    if (length == 0 || i + length > size)
        return 0;

    for (size_t k = 1; k < length; ++k)
        if ((data[i + k] & 0xc0) != 0x80)
            return 0;

    // The second byte's range rules out overlong forms, surrogates and values above U+10FFFF.
    const auto second = data[i + 1];
    if ((lead == 0xe0 && second < 0xa0) || (lead == 0xed && second > 0x9f)
        || (lead == 0xf0 && second < 0x90) || (lead == 0xf4 && second > 0x8f))
        return 0;

    return length;
}

// Windows-1252 for 0x80 to 0x9F; the five bytes it leaves undefined map to the control
// characters of the same value, as Windows' own conversion does. Every other byte is Latin-1.
constexpr juce::juce_wchar windows1252High[32] = {
    0x20ac, 0x0081, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008d, 0x017d, 0x008f,
    0x0090, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x009d, 0x017e, 0x0178
};

juce::String fromWindows1252 (const unsigned char* data, size_t size)
{
    std::vector<juce::juce_wchar> chars;
    chars.reserve (size + 1);

    for (size_t i = 0; i < size; ++i)
        chars.push_back (data[i] >= 0x80 && data[i] <= 0x9f ? windows1252High[data[i] - 0x80] : (juce::juce_wchar) data[i]);

    chars.push_back (0);
    return juce::String (juce::CharPointer_UTF32 (chars.data()));
}
} // namespace

bool isWellFormedUtf8 (const char* data, size_t size)
{
    const auto* bytes = reinterpret_cast<const unsigned char*> (data);

    for (size_t i = 0; i < size;)
    {
        const auto length = sequenceLength (bytes, size, i);
        if (length == 0)
            return false;
        i += length;
    }

    return true;
}

bool isWellFormedUtf8 (const juce::String& text)
{
    const auto* bytes = text.toRawUTF8();
    return isWellFormedUtf8 (bytes, std::strlen (bytes));
}

juce::String textFromBytes (const void* data, size_t size)
{
    auto* bytes = static_cast<const unsigned char*> (data);

    if (size >= 2 && size <= (size_t) std::numeric_limits<int>::max()
        && ((bytes[0] == 0xff && bytes[1] == 0xfe) || (bytes[0] == 0xfe && bytes[1] == 0xff)))
        return juce::String::createStringFromData (data, (int) size);

    if (size >= 3 && bytes[0] == 0xef && bytes[1] == 0xbb && bytes[2] == 0xbf)
    {
        bytes += 3;
        size -= 3;
    }

    if (const auto* nul = static_cast<const unsigned char*> (std::memchr (bytes, 0, size)))
        size = (size_t) (nul - bytes);

    if (size > (size_t) std::numeric_limits<int>::max())
        return {};

    if (isWellFormedUtf8 (reinterpret_cast<const char*> (bytes), size))
        return juce::String::fromUTF8 (reinterpret_cast<const char*> (bytes), (int) size);

    return fromWindows1252 (bytes, size);
}
} // namespace TextDecoding
