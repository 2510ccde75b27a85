#include "Platform.h"

#include "PeVersion.h"

#if JUCE_WINDOWS
 #include <windows.h>
 #include <shellapi.h>
 #include <cstdio>
 #include <cstring>
 #include <string>
#else
 #include <cerrno>
 #include <cstring>
 #include <dirent.h>
 #include <fcntl.h>
 #include <signal.h>
 #include <sys/mman.h>
 #include <sys/stat.h>
 #include <unistd.h>
 #include <string>
 #include <vector>
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

juce::File& fileSystemBoundary()
{
    static juce::File boundary;
    return boundary;
}

bool crossesFileSystemBoundary (const juce::File& from, const juce::File& to)
{
    const auto& boundary = fileSystemBoundary();
    const auto inside = [&] (const juce::File& f) { return f == boundary || f.isAChildOf (boundary); };
    return boundary != juce::File() && inside (from) != inside (to);
}
} // namespace

void simulateFileSystemBoundary (const juce::File& folder)
{
    fileSystemBoundary() = folder;
}

#if JUCE_WINDOWS

namespace
{
// A tree deeper than this is not ours to remove: each level holds a handle.
constexpr int deepestFolder = 256;

// Opened without following a link (a junction or symbolic link is opened itself), with the
// right to delete or rename it, and shared for neither: while the handle is open nobody can
// move the entry, replace it, or rename a folder above it.
HANDLE openWithoutFollowing (const juce::String& path)
{
    return CreateFileW (path.toWideCharPointer(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | FILE_LIST_DIRECTORY | SYNCHRONIZE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

juce::StringArray childNamesOf (HANDLE folder)
{
    juce::StringArray names;
    juce::HeapBlock<char> buffer (1 << 16);
    auto request = FileIdBothDirectoryRestartInfo;

    while (GetFileInformationByHandleEx (folder, request, buffer.get(), 1 << 16))
    {
        request = FileIdBothDirectoryInfo;
        for (auto* entry = reinterpret_cast<FILE_ID_BOTH_DIR_INFO*> (buffer.get());;
             entry = reinterpret_cast<FILE_ID_BOTH_DIR_INFO*> (reinterpret_cast<char*> (entry) + entry->NextEntryOffset))
        {
            const auto name = juce::String (juce::CharPointer_UTF16 (reinterpret_cast<const juce::CharPointer_UTF16::CharType*> (entry->FileName)),
                                            entry->FileNameLength / sizeof (WCHAR));
            if (name != "." && name != "..")
                names.add (name);
            if (entry->NextEntryOffset == 0)
                break;
        }
    }

    return names;
}

// Whether the handle is the entry at the path itself. Windows opens a junction or link itself
// when asked not to follow it. Wine 8 follows a link whatever it is asked (the path's
// attributes say "reparse point", the handle's do not), and no call of its removes or renames
// the link itself: such an entry is left as it is.
bool isTheEntryItself (HANDLE entry, const juce::String& path, FILE_BASIC_INFO& basic)
{
    if (! GetFileInformationByHandleEx (entry, FileBasicInfo, &basic, sizeof basic))
        return false;

    const auto atPath = GetFileAttributesW (path.toWideCharPointer());
    return atPath != INVALID_FILE_ATTRIBUTES
           && ((atPath ^ basic.FileAttributes) & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

bool removeEntry (const juce::String& path, int depth);

// Empties a folder through its handle, or marks a file or link for deletion; the entry goes
// when the handle closes. Its kind is read through the handle, so it cannot change meanwhile.
bool removeOpened (HANDLE entry, const juce::String& path, int depth)
{
    FILE_BASIC_INFO basic {};
    if (! isTheEntryItself (entry, path, basic))
        return false;

    const bool isReparsePoint = (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if ((basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && ! isReparsePoint)
    {
        if (depth >= deepestFolder)
            return false;
        for (const auto& name : childNamesOf (entry))
            removeEntry (path + "\\" + name, depth + 1);
    }

    if ((basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0)
    {
        basic.FileAttributes &= ~(DWORD) FILE_ATTRIBUTE_READONLY;
        SetFileInformationByHandle (entry, FileBasicInfo, &basic, sizeof basic);
    }

    FILE_DISPOSITION_INFO disposition { TRUE };
    return SetFileInformationByHandle (entry, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

bool removeEntry (const juce::String& path, int depth)
{
    const auto handle = openWithoutFollowing (path);
    if (handle == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;

    const bool removed = removeOpened (handle, path, depth);
    CloseHandle (handle);
    return removed;
}
} // namespace

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

juce::StringArray commandLineArguments (int, char**)
{
    // The narrow argv is in the ANSI code page; the wide command line holds every name.
    juce::StringArray arguments;
    int count = 0;
    if (auto** wide = CommandLineToArgvW (GetCommandLineW(), &count); wide != nullptr)
    {
        for (int i = 1; i < count; ++i)
            arguments.add (juce::String (wide[i]));
        LocalFree (wide);
    }
    return arguments;
}

void attachParentConsole()
{
    // A GUI program has no console: output goes to the one it was started from, unless it
    // was redirected to a file or pipe, which it then already has.
    const auto usable = [] (DWORD which)
    {
        const auto handle = GetStdHandle (which);
        return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType (handle) != FILE_TYPE_UNKNOWN;
    };

    if (usable (STD_OUTPUT_HANDLE) && usable (STD_ERROR_HANDLE))
        return;

    if (AttachConsole (ATTACH_PARENT_PROCESS))
    {
        if (! usable (STD_OUTPUT_HANDLE))
            [[maybe_unused]] auto* out = freopen ("CONOUT$", "w", stdout);
        if (! usable (STD_ERROR_HANDLE))
            [[maybe_unused]] auto* err = freopen ("CONOUT$", "w", stderr);
    }
}

bool isRunningUnderWine()
{
    const auto ntdll = GetModuleHandleW (L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress (ntdll, "wine_get_version") != nullptr;
}

bool isProcessRunning (int processId)
{
    auto process = OpenProcess (SYNCHRONIZE, FALSE, (DWORD) processId);
    // A process of another user, or an elevated one, exists but may not be opened.
    if (process == nullptr)
        return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject (process, 0) == WAIT_TIMEOUT;
    CloseHandle (process);
    return running;
}

Rename renameEntry (const juce::File& from, const juce::File& to)
{
    if (crossesFileSystemBoundary (from, to))
        return Rename::crossDevice;

    // Renamed through a handle to the entry itself: a path-based move of a junction or link may
    // move what it points at instead.
    const auto handle = openWithoutFollowing (from.getFullPathName());
    if (handle == INVALID_HANDLE_VALUE)
        return Rename::failed;

    if (FILE_BASIC_INFO basic {}; ! isTheEntryItself (handle, from.getFullPathName(), basic))
    {
        CloseHandle (handle);
        return Rename::failed;
    }

    const std::wstring target (to.getFullPathName().toWideCharPointer());
    const auto nameBytes = target.size() * sizeof (WCHAR);
    juce::HeapBlock<char> block (sizeof (FILE_RENAME_INFO) + nameBytes, true);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*> (block.get());
    rename->FileNameLength = (DWORD) nameBytes;
    std::memcpy (rename->FileName, target.c_str(), nameBytes);

    const bool renamed = SetFileInformationByHandle (handle, FileRenameInfo, rename, (DWORD) (sizeof (FILE_RENAME_INFO) + nameBytes)) != 0;
    const auto error = GetLastError();
    CloseHandle (handle);

    if (renamed)
        return Rename::done;
    return error == ERROR_NOT_SAME_DEVICE ? Rename::crossDevice : Rename::failed;
}

bool readSmallRegularFile (const juce::File& file, size_t maxBytes, juce::MemoryBlock& bytes)
{
    auto handle = CreateFileW (file.getFullPathName().toWideCharPointer(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;

    LARGE_INTEGER size {};
    bool ok = GetFileType (handle) == FILE_TYPE_DISK && GetFileSizeEx (handle, &size) && (juce::uint64) size.QuadPart <= maxBytes;
    DWORD bytesRead = 0;

    if (ok)
    {
        bytes.setSize ((size_t) size.QuadPart);
        ok = size.QuadPart == 0 || ReadFile (handle, bytes.getData(), (DWORD) size.QuadPart, &bytesRead, nullptr);
        bytes.setSize (bytesRead);
    }

    CloseHandle (handle);
    return ok;
}

void markHidden (const juce::File& folder)
{
    const auto path = folder.getFullPathName();
    const auto attributes = GetFileAttributesW (path.toWideCharPointer());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW (path.toWideCharPointer(), attributes | FILE_ATTRIBUTE_HIDDEN);
}

juce::String unavailableDriveOf (const juce::File& folder)
{
    const auto path = folder.getFullPathName();
    if (! startsWithDriveLetter (path))
        return {};

    const auto drive = path.substring (0, 2).toUpperCase();
    return juce::File (drive + "\\").isDirectory() ? juce::String() : drive;
}

bool hasWindowsPathForm (const juce::File& folder)
{
    return folder != juce::File();
}

bool entryExists (const juce::File& file)
{
    return file.exists() || file.isSymbolicLink();
}

bool isLink (const juce::File& file)
{
    const auto attributes = GetFileAttributesW (file.getFullPathName().toWideCharPointer());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool removeTree (const juce::File& entry)
{
    if (entry.getFullPathName().isEmpty() || entry == entry.getParentDirectory())
        return false;

    return removeEntry (entry.getFullPathName(), 0) && ! entryExists (entry);
}

void releaseEmbeddedData (const void*, size_t) {}

juce::File winePrefix() { return {}; }
void setWinePrefix (const juce::File&) {}

#else

namespace
{
// A tree deeper than this is not ours to remove: each level holds a descriptor.
constexpr int deepestFolder = 256;

bool removeEntryAt (int parentFd, const char* name, int depth);

// Removes what the folder open as folderFd holds, and closes it.
bool removeChildrenOf (int folderFd, int depth)
{
    auto* folder = fdopendir (folderFd);
    if (folder == nullptr)
    {
        close (folderFd);
        return false;
    }

    // The names first: removing entries while the listing is read may skip some.
    std::vector<std::string> names;
    while (const auto* entry = readdir (folder))
        if (std::strcmp (entry->d_name, ".") != 0 && std::strcmp (entry->d_name, "..") != 0)
            names.emplace_back (entry->d_name);

    bool removed = true;
    for (const auto& name : names)
        removed = removeEntryAt (dirfd (folder), name.c_str(), depth + 1) && removed;

    closedir (folder);
    return removed;
}

// Everything is relative to the parent's descriptor and nothing follows a link, so a folder
// replaced by a link at any moment is at worst removed as a link. The entry may change kind
// while it is removed: a few rounds, then it counts as not removed.
bool removeEntryAt (int parentFd, const char* name, int depth)
{
    for (int round = 0; round < 8; ++round)
    {
        if (unlinkat (parentFd, name, 0) == 0 || errno == ENOENT)
            return true;
        if (errno != EISDIR || depth >= deepestFolder)
            return false;

        const int folderFd = openat (parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (folderFd < 0)
        {
            if (errno == ENOENT)
                return true;
            if (errno == ENOTDIR || errno == ELOOP)
                continue;
            return false;
        }

        removeChildrenOf (folderFd, depth);

        if (unlinkat (parentFd, name, AT_REMOVEDIR) == 0 || errno == ENOENT)
            return true;
        if (errno != ENOTDIR && errno != ENOTEMPTY && errno != EEXIST)
            return false;
    }

    return false;
}

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

// The drive folder ("e:") below the prefix's dosdevices that a native path lies in, whether
// the prefix maps that letter or not; empty for any other path.
juce::String dosDeviceOf (const juce::File& file)
{
    const auto devices = winePrefix().getChildFile ("dosdevices");
    if (! file.isAChildOf (devices))
        return {};

    const auto name = file.getRelativePathFrom (devices).upToFirstOccurrenceOf ("/", false, false);
    return name.length() == 2 && name[1] == ':' && juce::CharacterFunctions::isLetter (name[0]) ? name : juce::String();
}

struct DrivePlace
{
    juce::File root;
    juce::juce_wchar letter;
};

// The drive a native path lies on: C:, a letter below the prefix's dosdevices (mapped or not:
// "E:\Plugins" must not turn into a path on Z:), or Z:, which Wine maps to the root of the
// Linux file system.
DrivePlace driveHolding (const juce::File& file)
{
    if (isAtOrBelow (file, driveRoot ('c')))
        return { driveRoot ('c'), 'c' };

    if (const auto device = dosDeviceOf (file); device.isNotEmpty())
        return { winePrefix().getChildFile ("dosdevices").getChildFile (device), juce::CharacterFunctions::toLowerCase (device[0]) };

    return { juce::File ("/"), 'z' };
}

// Windows refuses these in names, and drops a trailing dot or blank.
bool isWindowsName (const juce::String& name)
{
    if (name.isEmpty() || name.endsWithChar ('.') || name.endsWithChar (' '))
        return false;

    for (auto c : name)
        if (c < 0x20 || juce::String ("\\/:*?\"<>|").containsChar (c))
            return false;

    return true;
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

Rename renameEntry (const juce::File& from, const juce::File& to)
{
    if (crossesFileSystemBoundary (from, to))
        return Rename::crossDevice;

    // rename() would silently replace an empty folder or a file at the target.
    if (entryExists (to))
        return Rename::failed;

    if (::rename (from.getFullPathName().toRawUTF8(), to.getFullPathName().toRawUTF8()) == 0)
        return Rename::done;

    return errno == EXDEV ? Rename::crossDevice : Rename::failed;
}

bool readSmallRegularFile (const juce::File& file, size_t maxBytes, juce::MemoryBlock& bytes)
{
    // Checked before opening, so that opening has no effect on a device; opened without
    // blocking, so that a pipe put there meanwhile cannot hang the reader; checked again.
    struct stat info;
    const auto path = file.getFullPathName();
    if (path.isEmpty() || stat (path.toRawUTF8(), &info) != 0 || ! S_ISREG (info.st_mode))
        return false;

    const int fd = open (path.toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;

    bool ok = fstat (fd, &info) == 0 && S_ISREG (info.st_mode) && (size_t) info.st_size <= maxBytes;
    size_t done = 0;

    if (ok)
    {
        bytes.setSize ((size_t) info.st_size);
        while (done < bytes.getSize())
        {
            const auto n = ::read (fd, static_cast<char*> (bytes.getData()) + done, bytes.getSize() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += (size_t) n;
        }
        bytes.setSize (done);
    }

    close (fd);
    return ok;
}

void markHidden (const juce::File&) {}

juce::String unavailableDriveOf (const juce::File& folder)
{
    const auto drive = dosDeviceOf (folder);
    if (drive.isEmpty() || winePrefix().getChildFile ("dosdevices").getChildFile (drive).isDirectory())
        return {};

    return drive.toUpperCase();
}

bool hasWindowsPathForm (const juce::File& folder)
{
    if (folder == juce::File())
        return false;

    const auto root = driveHolding (folder).root;
    if (folder == root)
        return true;

    for (const auto& name : juce::StringArray::fromTokens (folder.getRelativePathFrom (root), "/", ""))
        if (! isWindowsName (name))
            return false;

    return true;
}

bool entryExists (const juce::File& file)
{
    struct stat info;
    return file.getFullPathName().isNotEmpty() && lstat (file.getFullPathName().toRawUTF8(), &info) == 0;
}

bool isLink (const juce::File& file)
{
    struct stat info;
    return file.getFullPathName().isNotEmpty() && lstat (file.getFullPathName().toRawUTF8(), &info) == 0 && S_ISLNK (info.st_mode);
}

bool removeTree (const juce::File& entry)
{
    if (entry.getFullPathName().isEmpty() || entry == entry.getParentDirectory())
        return false;

    const int parentFd = open (entry.getParentDirectory().getFullPathName().toRawUTF8(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return errno == ENOENT;

    const bool removed = removeEntryAt (parentFd, entry.getFileName().toRawUTF8(), 0);
    close (parentFd);
    return removed;
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

bool isRunningUnderWine()
{
    return false;
}

juce::StringArray commandLineArguments (int argc, char** argv)
{
    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));
    return arguments;
}

void attachParentConsole() {}

bool isProcessRunning (int processId)
{
    return processId > 0 && (kill ((pid_t) processId, 0) == 0 || errno == EPERM);
}

juce::File winePrefix()
{
    if (prefixOverride() != juce::File())
        return prefixOverride();

    if (const auto fromEnvironment = juce::SystemStats::getEnvironmentVariable ("WINEPREFIX", {});
        juce::File::isAbsolutePath (fromEnvironment) && fromEnvironment.startsWithChar ('/'))
        return juce::File (fromEnvironment);

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

    const auto [root, letter] = driveHolding (file);
    return windowsPathBelow (file, root, letter);
}

juce::File commonApplicationDataFolder()
{
    return driveRoot ('c').getChildFile ("ProgramData");
}

#endif
} // namespace Platform
