#include "Platform.h"

#include "PeVersion.h"

#if JUCE_WINDOWS
 #include <windows.h>
#else
 #include <cerrno>
 #include <signal.h>
 #include <sys/mman.h>
 #include <sys/stat.h>
 #include <unistd.h>
#endif

namespace Platform
{
namespace
{
bool startsWithDriveLetter (const juce::String& path)
{
    return path.length() >= 2 && juce::CharacterFunctions::isLetter (path[0]) && path[1] == ':'
           && (path.length() == 2 || path[2] == '\\' || path[2] == '/');
}
} // namespace

#if JUCE_WINDOWS

juce::File fileFromWindowsPath (const juce::String& path)
{
    return juce::File::isAbsolutePath (path) && path.isNotEmpty() ? juce::File (path) : juce::File();
}

juce::String windowsPathOf (const juce::File& file)
{
    return file.getFullPathName();
}

juce::File commonApplicationDataFolder()
{
    return juce::File::getSpecialLocation (juce::File::commonApplicationDataDirectory);
}

bool isRegularFile (const juce::File& file)
{
    return file.existsAsFile();
}

juce::String moduleFileVersion (const juce::File& module)
{
    return module.getVersion();
}

int currentProcessId()
{
    return (int) GetCurrentProcessId();
}

bool isProcessRunning (int processId)
{
    auto process = OpenProcess (SYNCHRONIZE, FALSE, (DWORD) processId);
    if (process == nullptr)
        return false;
    const bool running = WaitForSingleObject (process, 0) == WAIT_TIMEOUT;
    CloseHandle (process);
    return running;
}

bool renameEntry (const juce::File& from, const juce::File& to)
{
    return MoveFileExW (from.getFullPathName().toWideCharPointer(), to.getFullPathName().toWideCharPointer(), 0) != 0;
}

bool entryExists (const juce::File& file)
{
    return file.exists() || file.isSymbolicLink();
}

bool onSameVolume (const juce::File& a, const juce::File& b)
{
    return a.getVolumeSerialNumber() == b.getVolumeSerialNumber();
}

void releaseEmbeddedData (const void*, size_t) {}

juce::File winePrefix() { return {}; }
void setWinePrefix (const juce::File&) {}

#else

namespace
{
juce::File& prefixOverride()
{
    static juce::File prefix;
    return prefix;
}

juce::File driveRoot (juce::juce_wchar letter)
{
    letter = juce::CharacterFunctions::toLowerCase (letter);

    if (letter == 'c')
        return winePrefix().getChildFile ("drive_c");

    if (letter == 'z')
        return juce::File ("/");

    return winePrefix().getChildFile ("dosdevices").getChildFile (juce::String::charToString (letter) + ":");
}

// Windows names are case-insensitive: follow each component to an existing entry that matches
// it regardless of case, so "c:\program files\common files" finds "Program Files/Common Files".
juce::File childIgnoringCase (const juce::File& parent, const juce::String& name)
{
    auto exact = parent.getChildFile (name);

    if (exact.exists() || ! parent.isDirectory())
        return exact;

    for (const auto& entry : juce::RangedDirectoryIterator (parent, false, "*", juce::File::findFilesAndDirectories))
        if (entry.getFile().getFileName().equalsIgnoreCase (name))
            return entry.getFile();

    return exact;
}

// "X:\..." for a file at or below the native folder that stands for drive X.
juce::String windowsPathBelow (const juce::File& file, const juce::File& root, juce::juce_wchar letter)
{
    auto drive = juce::String::charToString (juce::CharacterFunctions::toUpperCase (letter)) + ":\\";
    return file == root ? drive : drive + file.getRelativePathFrom (root).replaceCharacter ('/', '\\');
}

bool isAtOrBelow (const juce::File& file, const juce::File& root)
{
    return file == root || file.isAChildOf (root);
}
} // namespace

bool isRegularFile (const juce::File& file)
{
    struct stat info;
    return file.getFullPathName().isNotEmpty() && stat (file.getFullPathName().toRawUTF8(), &info) == 0 && S_ISREG (info.st_mode);
}

juce::String moduleFileVersion (const juce::File& module)
{
    return readPeFileVersion (module);
}

bool renameEntry (const juce::File& from, const juce::File& to)
{
    // rename() would silently replace an empty folder or a file at the target.
    return ! entryExists (to) && ::rename (from.getFullPathName().toRawUTF8(), to.getFullPathName().toRawUTF8()) == 0;
}

bool onSameVolume (const juce::File& a, const juce::File& b)
{
    struct stat infoA, infoB;
    return stat (a.getFullPathName().toRawUTF8(), &infoA) == 0 && stat (b.getFullPathName().toRawUTF8(), &infoB) == 0
           && infoA.st_dev == infoB.st_dev;
}

bool entryExists (const juce::File& file)
{
    struct stat info;
    return file.getFullPathName().isNotEmpty() && lstat (file.getFullPathName().toRawUTF8(), &info) == 0;
}

void releaseEmbeddedData (const void* data, size_t size)
{
    // Only whole pages inside the data; the mapping is read-only, so nothing can be lost.
    const auto pageSize = (juce::pointer_sized_uint) sysconf (_SC_PAGESIZE);
    const auto start = ((juce::pointer_sized_uint) data + pageSize - 1) & ~(pageSize - 1);
    const auto end = ((juce::pointer_sized_uint) data + size) & ~(pageSize - 1);

    if (end > start)
        madvise (reinterpret_cast<void*> (start), end - start, MADV_DONTNEED);
}

int currentProcessId()
{
    return (int) getpid();
}

bool isProcessRunning (int processId)
{
    return processId > 0 && (kill ((pid_t) processId, 0) == 0 || errno == EPERM);
}

juce::File winePrefix()
{
    if (prefixOverride() != juce::File())
        return prefixOverride();

    return juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (".wine");
}

void setWinePrefix (const juce::File& prefix)
{
    prefixOverride() = prefix;
}

juce::File fileFromWindowsPath (const juce::String& path)
{
    if (path.startsWithChar ('/'))
        return juce::File (path);

    if (! startsWithDriveLetter (path))
        return {};

    const auto root = driveRoot (path[0]);
    auto file = root;

    for (const auto& part : juce::StringArray::fromTokens (path.substring (2), "\\/", ""))
    {
        if (part == "..")
            file = file == root ? root : file.getParentDirectory();
        else if (part.isNotEmpty() && part != ".")
            file = childIgnoringCase (file, part);
    }

    return file;
}

juce::String windowsPathOf (const juce::File& file)
{
    if (file == juce::File())
        return {};

    if (isAtOrBelow (file, driveRoot ('c')))
        return windowsPathBelow (file, driveRoot ('c'), 'c');

    for (const auto& entry : juce::RangedDirectoryIterator (winePrefix().getChildFile ("dosdevices"), false, "?:",
                                                            juce::File::findFilesAndDirectories))
    {
        auto letter = juce::CharacterFunctions::toLowerCase (entry.getFile().getFileName()[0]);

        if (letter != 'c' && letter != 'z' && isAtOrBelow (file, driveRoot (letter)))
            return windowsPathBelow (file, driveRoot (letter), letter);
    }

    // Wine maps drive Z: to the root of the Linux file system.
    return windowsPathBelow (file, juce::File ("/"), 'z');
}

juce::File commonApplicationDataFolder()
{
    return driveRoot ('c').getChildFile ("ProgramData");
}

#endif
} // namespace Platform
