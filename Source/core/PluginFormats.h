#pragma once

#include <juce_core/juce_core.h>

#include <array>

// One row of the fixed format table. Rows are always VST3, CLAP, AAX, and the row index is
// used everywhere: buttons, folders, selection flags, icons, archives and paint order.
struct PluginFormat
{
    const char* name;              // button name and row title
    const char* extension;         // bundle extension
    const char* defaultSubfolder;  // below C:\Program Files\Common Files
    const char* settingsKey;       // attribute of the settings file
    const char* archiveData;       // the embedded zip
    int archiveSize;
    juce::uint32 archiveCrc32;     // of the whole archive, recorded when it was built
    const char* moduleSubfolder;   // where the module lies inside the bundle; nullptr: the bundle is the module
    const char* iconData;          // SVG
    int iconSize;
};

inline constexpr int numFormats = 3;
const std::array<PluginFormat, numFormats>& pluginFormats();

// The product identifier with every "_" shown as a blank: "My_Synth" displays as "My Synth".
juce::String productDisplayName (const juce::String& identifier);

// The row's default install folder, on drive C: whatever the system's own Program Files is.
juce::File defaultFormatFolder (int row);

// The three default folders in table order.
std::array<juce::File, numFormats> defaultFormatFolders();

// The one rule for where a row's bundle lies: the folder's child productName + extension.
juce::File bundleFile (const juce::File& folder, const juce::String& productName, int row);

// The file whose version resource tells the installed version: inside the bundle for VST3
// and AAX, the bundle itself for CLAP.
juce::File moduleFile (const juce::File& bundle, const juce::String& productName, int row);
