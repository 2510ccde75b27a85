#include "MainComponent.h"

#include "BinaryData.h"
#include "Palette.h"
#include "Platform.h"
#include "ProductInfo.h"
#include "SettingsFile.h"

const juce::StringArray formatExtensions { ".vst3", ".clap", ".aaxplugin" };
const juce::StringArray formatNames { "VST3", "CLAP", "AAX" };
const juce::StringArray linkButtonNames { "EULA", "MANUAL", "WEBSITE", "SUPPORT", "SETTINGS", "CHANGES" };

namespace
{
std::unique_ptr<juce::Drawable> loadSvg (const char* data, int size)
{
    return juce::Drawable::createFromImageData (data, (size_t) size);
}
} // namespace

MainComponent::MainComponent()
{
    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
    unit = 9.0f;
    shiftHeld = false;
    operationDone = false;

    loadDrawables();

    productName = productDisplayName (ProductInfo::identifier);
    productVersion = ProductInfo::version;
    platformSuffix = " for Windows";
    websiteUrl = juce::URL (ProductInfo::websiteUrl);
    manualUrl = juce::URL (ProductInfo::manualUrl);

    for (int row = 0; row < numFormats; ++row)
        formatFolders[(size_t) row] = defaultFormatFolder (row);

    settingsFolder = Platform::commonApplicationDataFolder().getChildFile (ProductInfo::makerName);
    SettingsFile::readOrCreate (SettingsFile::fileIn (settingsFolder), formatFolders);

    for (const auto& folder : formatFolders)
        recoverInterruptedRuns (folder);

    for (int row = 0; row < numFormats; ++row)
        formatSelected[(size_t) row] = bundleFile (formatFolders[(size_t) row], productName, row).exists();

    setSize (600, 600);
}

MainComponent::~MainComponent()
{
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}

void MainComponent::loadDrawables()
{
    for (int row = 0; row < numFormats; ++row)
    {
        const auto& format = pluginFormats()[(size_t) row];
        formatIcons[(size_t) row] = loadSvg (format.iconData, format.iconSize);
    }

    installIcon = loadSvg (BinaryData::icon_install_svg, BinaryData::icon_install_svgSize);
    logoDrawable = loadSvg (BinaryData::logo_quillfern_svg, BinaryData::logo_quillfern_svgSize);

    for (auto* icon : { formatIcons[0].get(), formatIcons[1].get(), formatIcons[2].get(), installIcon.get() })
        if (icon != nullptr)
            icon->replaceColour (juce::Colours::black, PaletteCoal);
}

void MainComponent::paint (juce::Graphics& g)
{
    g.fillAll (PaletteInk);
}

void MainComponent::resized()
{
    unit = (float) getWidth() * 0.01f;
}

void MainComponent::buttonClicked (juce::Button*)
{
}

void MainComponent::onFolderChosen (const juce::String& key, const juce::String& path)
{
    if (const auto row = SettingsFile::rowForKey (key); row >= 0)
        formatFolders[(size_t) row] = juce::File (path);

    repaint();
}

void MainComponent::runInstallOrUninstall()
{
    rowOutcomes = runInstallation (formatSelected, formatFolders, productName, shiftHeld);
    operationDone = true;
    repaint();
}
