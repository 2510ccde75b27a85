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

// True for a plain file: not a folder, device or pipe.
bool isRegularFile (const juce::File& file);

// The module's file version, "major.minor.build.revision", or empty when it has none.
juce::String moduleFileVersion (const juce::File& module);

// Reads a whole file only when it is a regular file of at most maxBytes: a pipe, a device
// or an oversized file is refused without blocking or reading it.
bool readSmallRegularFile (const juce::File& file, size_t maxBytes, juce::MemoryBlock& bytes);

enum class Rename
{
    done,
    crossDevice,  // the two paths lie on different file systems or drives
    failed
};

// Renames a file, folder or symbolic link (never what a link points to) within one volume;
// atomic where the system allows. Fails when the target exists.
Rename renameEntry (const juce::File& from, const juce::File& to);

// Removes whatever stands at the path without ever following a link: a link (a junction on
// Windows) goes itself and nothing it points at does; a folder is emptied through handles or
// descriptors opened without following links, so a folder swapped for a link meanwhile cannot
// send the removal elsewhere. True when nothing stands at the path afterwards.
bool removeTree (const juce::File& entry);

// Tests only: renames into or out of this folder fail as they do between file systems, as
// if another one were mounted there. An invalid File ends it.
void simulateFileSystemBoundary (const juce::File& folder);

// Marks a folder hidden where the system has such a mark (names starting with a dot are
// hidden already on Linux).
void markHidden (const juce::File& folder);

// The drive, e.g. "E:", when the folder lies on a drive that does not exist (on Linux: a
// letter the Wine prefix does not map); empty when its drive is there.
juce::String unavailableDriveOf (const juce::File& folder);

// Whether the folder can be written in the settings file as a Windows path: no name in it
// holds a character Windows forbids in names (\ / : * ? " < > | or a control character).
bool hasWindowsPathForm (const juce::File& folder);

// Whether a symbolic link (or, on Windows, a junction or other reparse point) stands at the path.
bool isLink (const juce::File& file);

// Whether anything, even a dangling symbolic link, stands at the path.
bool entryExists (const juce::File& file);

// Lets the system drop the resident pages of read-only data compiled into the executable
// (an embedded archive once it is installed); they are read in again if used again. Only for
// such data: pages of ordinary memory passed here would be zeroed.
void releaseEmbeddedData (const void* data, size_t size);

// Whether this Windows build runs under Wine (ntdll exports wine_get_version there).
bool isRunningUnderWine();

// The program's arguments, without its name: from the wide command line on Windows, from
// argv (UTF-8) elsewhere.
juce::StringArray commandLineArguments (int argc, char** argv);

// Windows: sends standard output and error to the console the program was started from, when
// they are not redirected already; a GUI program has no console of its own. Elsewhere nothing.
void attachParentConsole();

// This process's ID, and whether a process with the given ID is running.
int currentProcessId();
bool isProcessRunning (int processId);

// Linux only: the Wine prefix standing in for the Windows drives: $WINEPREFIX when it is an
// absolute path (Wine's own convention), otherwise ~/.wine, unless a test points it elsewhere.
juce::File winePrefix();
void setWinePrefix (const juce::File& prefix);
} // namespace Platform
