#pragma once

#include <juce_core/juce_core.h>

// The one place that knows about drives. The installer manages Windows plug-ins: on Windows
// paths are what they say; on Linux the drives are those of the default Wine prefix, so
// "C:\Program Files" is ~/.wine/drive_c/Program Files. The settings file shared with the
// maker's Windows installers always holds Windows paths; translation happens only here.
namespace Platform
{
// A folder named in the settings file or in the description: a Windows path with any drive
// letter and either separator, or (on Linux) an absolute native path. Anything else, such as
// an empty or relative path, gives an invalid File (File() / getFullPathName() empty).
juce::File fileFromWindowsPath (const juce::String& path);

// The form the settings file stores: drive letter, backslashes, no trailing separator.
juce::String windowsPathOf (const juce::File& file);

// The machine-wide application-data folder (ProgramData).
juce::File commonApplicationDataFolder();

// Linux only: the Wine prefix standing in for the Windows drives; ~/.wine unless a test
// points it elsewhere.
juce::File winePrefix();
void setWinePrefix (const juce::File& prefix);
} // namespace Platform
