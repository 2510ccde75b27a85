// Build-time helper: makes the stand-in plug-in payloads, the plug-in archives in the exact
// entry layout the installer expects, and the Windows icon file from our SVG artwork.

#include <juce_core/juce_core.h>
#include <juce_graphics/juce_graphics.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <iostream>

namespace
{
int fail (const juce::String& message)
{
    std::cerr << "qf_build_tool: " << message << std::endl;
    return 1;
}

// Bytes that compress like compiled code: a small vocabulary of recurring instruction-like
// sequences interleaved with unpredictable operands.
juce::MemoryBlock makeCodeLikePayload (size_t size, juce::int64 seed)
{
    juce::Random random (seed);
    std::vector<juce::MemoryBlock> vocabulary;

    for (int i = 0; i < 512; ++i)
    {
        juce::MemoryBlock word ((size_t) (2 + random.nextInt (9)));
        random.fillBitsRandomly (word.getData(), word.getSize());
        vocabulary.push_back (word);
    }

    juce::MemoryOutputStream out (size + 16);

    while (out.getDataSize() < size)
    {
        // Skewed choice: common sequences recur far more often than rare ones.
        auto pick = (int) (std::pow (random.nextFloat(), 3.0f) * (float) vocabulary.size());
        out.write (vocabulary[(size_t) pick].getData(), vocabulary[(size_t) pick].getSize());

        for (auto operands = random.nextInt (4); --operands >= 0;)
            out.writeByte ((char) random.nextInt (256));
    }

    juce::MemoryBlock result (out.getData(), size);
    return result;
}

int writePayload (const juce::StringArray& args)
{
    if (args.size() != 3)
        return fail ("usage: payload <out> <bytes> <seed>");

    auto payload = makeCodeLikePayload ((size_t) args[1].getLargeIntValue(), args[2].getLargeIntValue());
    return juce::File (args[0]).replaceWithData (payload.getData(), payload.getSize())
               ? 0 : fail ("cannot write " + args[0]);
}

// Entries are given as NAME=FILE in archive order. A NAME ending in a backslash is a folder
// entry (given as NAME=, with no file) and is stored; every file entry is deflated.
int writeArchive (const juce::StringArray& args)
{
    if (args.size() < 2)
        return fail ("usage: zip <out.zip> <entry>=<file> | <folder-entry\\>= ...");

    juce::ZipFile::Builder builder;
    const auto fixedTime = juce::Time (2026, 0, 1, 12, 0);

    for (int i = 1; i < args.size(); ++i)
    {
        auto name = args[i].upToFirstOccurrenceOf ("=", false, false);

        if (name.endsWithChar ('\\'))
        {
            builder.addEntry (new juce::MemoryInputStream (nullptr, 0, false), 0, name, fixedTime);
            continue;
        }

        juce::File source (args[i].fromFirstOccurrenceOf ("=", false, false));

        if (! source.existsAsFile())
            return fail ("missing archive input " + source.getFullPathName());

        builder.addEntry (new juce::FileInputStream (source), 9, name, fixedTime);
    }

    juce::File target (args[0]);
    target.deleteFile();
    juce::FileOutputStream out (target);

    if (out.failedToOpen() || ! builder.writeToStream (out, nullptr))
        return fail ("cannot write " + target.getFullPathName());

    return 0;
}

juce::Image renderSquare (juce::Drawable& drawable, int size)
{
    juce::Image image (juce::Image::ARGB, size, size, true);
    juce::Graphics g (image);
    drawable.drawWithin (g, juce::Rectangle<float> ((float) size, (float) size), juce::RectanglePlacement::centred, 1.0f);
    return image;
}

// A 32-bit DIB as an icon entry: header, bottom-up BGRA rows, then an all-opaque AND mask.
juce::MemoryBlock iconBitmap (const juce::Image& image)
{
    const int size = image.getWidth();
    const int maskStride = ((size + 31) / 32) * 4;
    juce::MemoryOutputStream out;
    out.writeInt (40);
    out.writeInt (size);
    out.writeInt (size * 2);
    out.writeShort (1);
    out.writeShort (32);
    out.writeInt (0);
    out.writeInt (size * size * 4 + maskStride * size);
    for (int i = 0; i < 4; ++i)
        out.writeInt (0);

    for (int y = size; --y >= 0;)
        for (int x = 0; x < size; ++x)
        {
            auto c = image.getPixelAt (x, y);
            out.writeByte ((char) c.getBlue());
            out.writeByte ((char) c.getGreen());
            out.writeByte ((char) c.getRed());
            out.writeByte ((char) c.getAlpha());
        }

    out.writeRepeatedByte (0, (size_t) (maskStride * size));
    return out.getMemoryBlock();
}

juce::MemoryBlock iconPng (const juce::Image& image)
{
    juce::MemoryOutputStream out;
    juce::PNGImageFormat().writeImageToStream (image, out);
    return out.getMemoryBlock();
}

int writeIcon (const juce::StringArray& args)
{
    if (args.size() < 4)
        return fail ("usage: ico <out.ico> <art.svg> <rrggbb> <size> ...");

    auto drawable = juce::Drawable::createFromSVGFile (juce::File (args[1]));

    if (drawable == nullptr)
        return fail ("cannot read " + args[1]);

    drawable->replaceColour (juce::Colours::black, juce::Colour::fromString ("FF" + args[2]));

    std::vector<std::pair<int, juce::MemoryBlock>> images;
    for (int i = 3; i < args.size(); ++i)
    {
        auto size = args[i].getIntValue();
        auto image = renderSquare (*drawable, size);
        images.emplace_back (size, size >= 256 ? iconPng (image) : iconBitmap (image));
    }

    juce::MemoryOutputStream out;
    out.writeShort (0);
    out.writeShort (1);
    out.writeShort ((short) images.size());
    auto offset = 6 + 16 * (int) images.size();

    for (auto& [size, data] : images)
    {
        out.writeByte ((char) (size >= 256 ? 0 : size));
        out.writeByte ((char) (size >= 256 ? 0 : size));
        out.writeByte (0);
        out.writeByte (0);
        out.writeShort (1);
        out.writeShort (32);
        out.writeInt ((int) data.getSize());
        out.writeInt (offset);
        offset += (int) data.getSize();
    }

    for (auto& entry : images)
        out.write (entry.second.getData(), entry.second.getSize());

    return juce::File (args[0]).replaceWithData (out.getData(), out.getDataSize()) ? 0 : fail ("cannot write " + args[0]);
}
} // namespace

int main (int argc, char* argv[])
{
    juce::StringArray args;
    for (int i = 2; i < argc; ++i)
        args.add (juce::CharPointer_UTF8 (argv[i]));

    const juce::String command (argc > 1 ? argv[1] : "");

    if (command == "payload") return writePayload (args);
    if (command == "zip")     return writeArchive (args);

    if (command == "ico")
    {
        juce::ScopedJuceInitialiser_GUI gui;
        return writeIcon (args);
    }

    return fail ("usage: qf_build_tool payload|zip|ico ...");
}
