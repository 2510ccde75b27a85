#include "InstallStatus.h"

#include "Platform.h"
#include "PluginFormats.h"

juce::String stateWords (InstallState state)
{
    switch (state)
    {
        case InstallState::NotInstalled: return "NOT INSTALLED";
        case InstallState::NeedsUpdate:  return "NEEDS UPDATE";
        case InstallState::Installed:    break;
    }
    return "INSTALLED";
}

bool isBundlePresent (const juce::File& folder, const juce::String& productName, int row)
{
    return bundleFile (folder, productName, row).exists();
}

RowStatus deriveRowStatus (const juce::File& folder, const juce::String& productName,
                           const juce::String& productVersion, int row)
{
    RowStatus status;
    const auto bundle = bundleFile (folder, productName, row);

    if (! bundle.exists())
    {
        status.text = stateWords (status.state);
        return status;
    }

    status.installedVersion = Platform::moduleFileVersion (moduleFile (bundle, productName, row));
    const bool older = status.installedVersion.isNotEmpty() && status.installedVersion.compareNatural (productVersion) < 0;
    status.state = older ? InstallState::NeedsUpdate : InstallState::Installed;

    const auto prefix = status.installedVersion.isNotEmpty() ? "v" + status.installedVersion + " " : juce::String();
    status.text = prefix + stateWords (status.state);
    return status;
}
