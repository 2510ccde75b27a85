// Any bytes as PluginManagerSettings.txt: every folder that results is the row's default or
// an absolute path, and reading never writes anything.
#include "PluginFormats.h"
#include "SettingsFile.h"
#include "FuzzSandbox.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static FuzzSandbox sandbox;
    static const auto settings = SettingsFile::fileIn (Platform::commonApplicationDataFolder().getChildFile ("Quillfern"));
    static const bool made = settings.getParentDirectory().createDirectory();
    (void) made;

    settings.replaceWithData (data, size);

    auto folders = defaultFormatFolders();
    SettingsFile::readFolders (settings, folders);

    for (int row = 0; row < numFormats; ++row)
    {
        const auto& folder = folders[(size_t) row];
        if (folder != defaultFormatFolder (row) && ! juce::File::isAbsolutePath (folder.getFullPathName()))
            abort();
        if (folder.getFullPathName().isEmpty())
            abort();
    }

    if (settings.getSize() != (juce::int64) size)
        abort();

    return 0;
}
