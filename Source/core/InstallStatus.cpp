#include "InstallStatus.h"

#include "Platform.h"
#include "PluginFormats.h"

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
        status.text = "NOT INSTALLED";
        return status;
    }

    status.installedVersion = Platform::moduleFileVersion (moduleFile (bundle, productName, row));
    const bool older = status.installedVersion.isNotEmpty() && status.installedVersion.compareNatural (productVersion) < 0;
    status.state = older ? InstallState::NeedsUpdate : InstallState::Installed;

    const auto prefix = status.installedVersion.isNotEmpty() ? "v" + status.installedVersion + " " : juce::String();
    status.text = prefix + (older ? "NEEDS UPDATE" : "INSTALLED");
    return status;
}
