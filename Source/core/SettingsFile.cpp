#include "SettingsFile.h"

#include "Platform.h"
#include "ProductInfo.h"
#include "TextDecoding.h"

namespace SettingsFile
{
const char* const noteText =
    "These are the paths that all Quillfern installers will use for their respective formats. Edit them to "
    "personal taste, but keep in mind that some formats have specific homes. Use this feature at your own risk; "
    "follow the naming and separator conventions exactly as you see them, or you could end up with unintended "
    "consequences. If you delete this file, the next time you run the Plugin Manager for any QF product, a new "
    "one with the default locations will be written.";

namespace
{
// The order in which a new file lists the folders.
constexpr int rowsInWrittenOrder[] = { 1, 0, 2 };

bool writeElement (const juce::XmlElement& element, const juce::File& settingsFile)
{
    // writeTo goes through a temporary file beside the target, which then replaces it.
    return element.writeTo (settingsFile, juce::XmlElement::TextFormat());
}

// Sets each row whose path in the file names a folder; returns which rows those were.
std::array<bool, numFormats> readInto (const juce::XmlElement& element, std::array<juce::File, numFormats>& folders)
{
    std::array<bool, numFormats> read {};

    for (int row = 0; row < numFormats; ++row)
    {
        auto folder = Platform::fileFromWindowsPath (element.getStringAttribute (pluginFormats()[(size_t) row].settingsKey));

        if (folder == juce::File())
            continue;

        folders[(size_t) row] = folder;
        read[(size_t) row] = true;
    }

    return read;
}

void create (const juce::File& settingsFile, const std::array<juce::File, numFormats>& folders)
{
    juce::XmlElement element (rootTag);
    element.setAttribute (noteKey, noteText);

    for (auto row : rowsInWrittenOrder)
        element.setAttribute (pluginFormats()[(size_t) row].settingsKey, Platform::windowsPathOf (folders[(size_t) row]));

    // Never replace a folder that stands where the file belongs.
    if (! settingsFile.isDirectory() && settingsFile.getParentDirectory().createDirectory())
        writeElement (element, settingsFile);
}
} // namespace

std::unique_ptr<juce::XmlElement> parse (const juce::File& settingsFile)
{
    // A pipe, a device or a huge file put where the file belongs is never read: start-up
    // must not block or fill memory.
    juce::MemoryBlock bytes;
    if (! Platform::readSmallRegularFile (settingsFile, maxFileBytes, bytes))
        return nullptr;

    const auto text = TextDecoding::textFromBytes (bytes.getData(), bytes.getSize());

    // The framework's parser never returns from a processing instruction that is followed
    // by text inside an element ("<a><?x?>b</a>"); the file's only one is its declaration.
    const auto start = text.trimStart();
    const auto body = start.startsWith ("<?") ? start.fromFirstOccurrenceOf ("?>", false, false) : start;
    if (body.contains ("<?"))
        return nullptr;

    return juce::parseXML (text);
}

juce::File fileIn (const juce::File& settingsFolder)
{
    return settingsFolder.getChildFile (fileName);
}

juce::File makerFolder()
{
    return Platform::commonApplicationDataFolder().getChildFile (ProductInfo::makerName);
}

int rowForKey (const juce::String& key)
{
    for (int row = 0; row < numFormats; ++row)
        if (key == pluginFormats()[(size_t) row].settingsKey)
            return row;

    return -1;
}

void readOrCreate (const juce::File& settingsFile, std::array<juce::File, numFormats>& folders)
{
    if (! settingsFile.existsAsFile())
    {
        create (settingsFile, folders);
        return;
    }

    if (auto element = parse (settingsFile))
    {
        const auto read = readInto (*element, folders);

        // A folder on a drive the system does not have is not made up.
        for (int row = 0; row < numFormats; ++row)
            if (read[(size_t) row] && ! folders[(size_t) row].exists() && Platform::unavailableDriveOf (folders[(size_t) row]).isEmpty())
                folders[(size_t) row].createDirectory();
    }
}

bool readFolders (const juce::File& settingsFile, std::array<juce::File, numFormats>& folders)
{
    auto element = parse (settingsFile);

    if (element == nullptr)
        return false;

    readInto (*element, folders);
    return true;
}

bool writeFolder (const juce::File& settingsFile, const juce::String& key, const juce::File& folder)
{
    if (! settingsFile.existsAsFile())
        return false;

    auto element = parse (settingsFile);

    if (element == nullptr)
        return false;

    element->setAttribute (key, Platform::windowsPathOf (folder));
    return writeElement (*element, settingsFile);
}
} // namespace SettingsFile
