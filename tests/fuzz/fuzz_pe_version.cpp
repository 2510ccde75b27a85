// Any bytes as a module file: the version reader must return a version or nothing, never
// crash, read out of bounds or hang. Both the file and the in-memory reader are driven.
#include "PeVersion.h"
#include "FuzzSandbox.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static FuzzSandbox sandbox;
    static const auto module = sandbox.root.getChildFile ("module.dll");

    const auto fromMemory = readPeFileVersion (data, size);
    module.replaceWithData (data, size);
    const auto fromFile = readPeFileVersion (module);

    if (fromMemory != fromFile)
        abort();

    // A version is four decimal numbers of at most 65535.
    if (fromMemory.isNotEmpty())
    {
        const auto parts = juce::StringArray::fromTokens (fromMemory, ".", "");
        if (parts.size() != 4)
            abort();
        for (const auto& part : parts)
            if (! part.containsOnly ("0123456789") || part.getIntValue() > 65535)
                abort();
    }

    return 0;
}
