#pragma once

#include "PluginFormats.h"

#include <juce_core/juce_core.h>

#include <array>

// PluginManagerSettings.txt: the install folder of each format, shared by every installer of
// the maker. Paths in it are Windows paths on every build.
namespace SettingsFile
{
inline constexpr const char* fileName = "PluginManagerSettings.txt";
inline constexpr const char* rootTag = "Plugin_Manager_Settings";
inline constexpr const char* noteKey = "Important_Note:";
extern const char* const noteText;

// The largest file read as settings: the real one is under 1 kB.
inline constexpr size_t maxFileBytes = 1024 * 1024;

juce::File fileIn (const juce::File& settingsFolder);

// The maker's folder under ProgramData, which holds the file every installer of the maker shares.
juce::File makerFolder();

// The file's root element, or nullptr when the file is missing, is not a regular file of at
// most maxFileBytes, or is not XML of the kind the file holds. Every reader of the file goes
// through here.
std::unique_ptr<juce::XmlElement> parse (const juce::File& settingsFile);

// The row a settings key belongs to ("VST3_Path" 0, "CLAP_Path" 1, "AAX_Path" 2), or -1.
int rowForKey (const juce::String& key);

// Start-up: reads the folders from an existing file, creating any that do not exist yet; a
// missing, empty or relative path keeps that row's default, and an unparseable file is left
// alone with the defaults in force. When there is no file, the maker folder is created and a
// file with the current folders is written. An existing file is never rewritten here.
void readOrCreate (const juce::File& settingsFile, std::array<juce::File, numFormats>& folders);

// Reads the folders of an existing file without touching the disk; a missing, empty or
// relative path keeps that row's folder. False when the file is missing or does not parse.
bool readFolders (const juce::File& settingsFile, std::array<juce::File, numFormats>& folders);

// The settings panel's rewrite: re-parses the file and sets the one attribute (in place, or
// appended), keeping every other attribute and its order. False when the file is missing,
// does not parse or cannot be written; nothing is created then.
bool writeFolder (const juce::File& settingsFile, const juce::String& key, const juce::File& folder);
} // namespace SettingsFile
