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

juce::String fromLatin1 (const unsigned char* data, size_t size)
{
    std::vector<juce::juce_wchar> chars (data, data + size);
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

    return fromLatin1 (bytes, size);
}

juce::String textOfFile (const juce::File& file)
{
    juce::MemoryBlock bytes;
    return file.loadFileAsData (bytes) ? textFromBytes (bytes.getData(), bytes.getSize()) : juce::String();
}
} // namespace TextDecoding
