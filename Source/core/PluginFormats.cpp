#include "PluginFormats.h"

#include "ArchiveDigests.h"
#include "BinaryData.h"
#include "Platform.h"

const std::array<PluginFormat, numFormats>& pluginFormats()
{
    static const std::array<PluginFormat, numFormats> formats { {
        { "VST3", ".vst3", "VST3", "VST3_Path", BinaryData::vst3_zip, BinaryData::vst3_zipSize, ArchiveDigests::vst3_zip,
          "Contents/x86_64-win/", BinaryData::icon_vst3_svg, BinaryData::icon_vst3_svgSize },
        { "CLAP", ".clap", "CLAP", "CLAP_Path", BinaryData::clap_zip, BinaryData::clap_zipSize, ArchiveDigests::clap_zip,
          nullptr, BinaryData::icon_clap_svg, BinaryData::icon_clap_svgSize },
        { "AAX", ".aaxplugin", "Avid/Audio/Plug-Ins", "AAX_Path", BinaryData::aax_zip, BinaryData::aax_zipSize, ArchiveDigests::aax_zip,
          "Contents/x64/", BinaryData::icon_aax_svg, BinaryData::icon_aax_svgSize },
    } };
    return formats;
}

juce::String productDisplayName (const juce::String& identifier)
{
    return identifier.replaceCharacter ('_', ' ');
}

juce::File defaultFormatFolder (int row)
{
    return Platform::fileFromWindowsPath ("C:/Program Files/Common Files")
        .getChildFile (pluginFormats()[(size_t) row].defaultSubfolder);
}

std::array<juce::File, numFormats> defaultFormatFolders()
{
    return { defaultFormatFolder (0), defaultFormatFolder (1), defaultFormatFolder (2) };
}

juce::File bundleFile (const juce::File& folder, const juce::String& productName, int row)
{
    if (folder == juce::File())
        return {};

    return folder.getChildFile (productName + pluginFormats()[(size_t) row].extension);
}

juce::File moduleFile (const juce::File& bundle, const juce::String& productName, int row)
{
    const auto& format = pluginFormats()[(size_t) row];

    if (format.moduleSubfolder == nullptr)
        return bundle;

    return bundle.getChildFile (juce::String (format.moduleSubfolder) + productName + format.extension);
}
