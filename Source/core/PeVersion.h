#pragma once

#include <juce_core/juce_core.h>

// The file version of a Windows module (PE32 or PE32+), "major.minor.build.revision", from the
// VS_FIXEDFILEINFO of its version resource; empty when the file is not such a module or has no
// version resource. It reads only the headers, the section table, the resource directory path
// to RT_VERSION and the fixed info, and checks every offset against the file's size, so any
// input is safe.
juce::String readPeFileVersion (const juce::File& file);

// The same from bytes in memory.
juce::String readPeFileVersion (const void* data, size_t size);
