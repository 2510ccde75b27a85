#include "CommandLine.h"

#include "InstallRun.h"
#include "InstallStatus.h"
#include "Platform.h"
#include "ProductInfo.h"
#include "SettingsFile.h"

#include <ostream>

namespace CommandLine
{
namespace
{
juce::String lowerName (int row) { return juce::String (pluginFormats()[(size_t) row].name).toLowerCase(); }

int rowNamed (const juce::String& name)
{
    for (int row = 0; row < numFormats; ++row)
        if (name.equalsIgnoreCase (lowerName (row)))
            return row;
    return -1;
}

// "vst3,clap" into the rows it names; an empty, unknown or repeated name is an error.
juce::String parseRows (const juce::String& option, const juce::String& list, std::array<bool, numFormats>& rows)
{
    if (list.isEmpty())
        return option + " needs formats, e.g. " + option + "=vst3,clap,aax";

    for (const auto& name : juce::StringArray::fromTokens (list, ",", ""))
    {
        const auto row = rowNamed (name.trim());
        if (name.trim().isEmpty())
            return option + " lists an empty format name";
        if (row < 0)
            return "unknown format \"" + name + "\" in " + option + " (the formats are vst3, clap and aax)";
        if (rows[(size_t) row])
            return "the format " + lowerName (row) + " is listed twice in " + option;
        rows[(size_t) row] = true;
    }
    return {};
}

// One option into the options; the error when it is not one we know or is incomplete.
juce::String parseOne (const juce::String& argument, Options& options)
{
    const auto name = argument.upToFirstOccurrenceOf ("=", false, false);
    const auto value = argument.fromFirstOccurrenceOf ("=", false, false);
    const bool hasValue = argument.containsChar ('=');

    const std::pair<const char*, bool*> flags[] { { "--status", &options.status }, { "--help", &options.help }, { "--version", &options.version } };
    for (const auto& [flag, field] : flags)
        if (name == flag)
        {
            *field = true;
            return hasValue ? name + " takes no value" : juce::String();
        }

    if (name == "--install" || name == "--uninstall")
    {
        (name == "--install" ? options.install : options.uninstall) = true;
        return parseRows (name, value, options.rows);
    }

    if (name == "--log")
    {
        options.logPath = value;
        return value.isEmpty() ? "--log needs a file, e.g. --log=install.log" : juce::String();
    }

    for (int row = 0; row < numFormats; ++row)
        if (name == "--folder-" + lowerName (row))
        {
            options.folders[(size_t) row] = value;
            return value.isEmpty() ? name + " needs a folder, e.g. " + name + "=C:\\Plugins" : juce::String();
        }

    return "unknown option \"" + argument + "\"";
}

// The folders this run works on: the settings file's, or the defaults when it has none, then
// any folder given on the command line. Nothing is written: the file is only read.
std::array<juce::File, numFormats> foldersInForce()
{
    auto folders = defaultFormatFolders();
    SettingsFile::readFolders (SettingsFile::fileIn (SettingsFile::makerFolder()), folders);
    return folders;
}

juce::String applyFolderOverrides (const Options& options, std::array<juce::File, numFormats>& folders)
{
    for (int row = 0; row < numFormats; ++row)
    {
        const auto& given = options.folders[(size_t) row];
        if (given.isEmpty())
            continue;

        const auto folder = Platform::fileFromWindowsPath (given);
        if (folder == juce::File())
            return "--folder-" + lowerName (row) + " needs an absolute path, e.g. C:\\Plugins, not \"" + given + "\"";
        if (! Platform::hasWindowsPathForm (folder))
            return "\"" + given + "\" has a name Windows cannot use";
        folders[(size_t) row] = folder;
    }
    return {};
}

juce::String productName() { return productDisplayName (ProductInfo::identifier); }

// Every listed format's folder is checked first, so that a script's mistake changes nothing.
// One line per folder that cannot be used.
juce::StringArray unusableFolders (const Options& options, const std::array<juce::File, numFormats>& folders)
{
    juce::StringArray problems;
    for (int row = 0; row < numFormats && options.install; ++row)
        if (const auto problem = unusableInstallFolder (folders[(size_t) row]); options.rows[(size_t) row] && problem.isNotEmpty())
            problems.add (juce::String (pluginFormats()[(size_t) row].name) + ": cannot install into "
                          + Platform::windowsPathOf (folders[(size_t) row]) + ": " + problem + "; nothing was changed");
    return problems;
}

// Appends a time-stamped line to the log, when there is one.
void writeLog (juce::FileOutputStream* log, const juce::String& line)
{
    if (log == nullptr)
        return;
    log->writeText (juce::Time::getCurrentTime().toISO8601 (true) + " " + line + "\n", false, false, "\n");
    log->flush();
}

void printStatus (const std::array<juce::File, numFormats>& folders, std::ostream& out)
{
    for (int row = 0; row < numFormats; ++row)
    {
        const auto status = deriveRowStatus (folders[(size_t) row], productName(), ProductInfo::version, row);
        out << pluginFormats()[(size_t) row].name << '\t' << stateWords (status.state) << '\t'
            << (status.installedVersion.isNotEmpty() ? status.installedVersion : juce::String ("-")) << '\t'
            << Platform::windowsPathOf (folders[(size_t) row]) << '\n';
    }
}

// Hears the run: a line on the console per row, and in the log, when there is one, a line per
// file operation and per row.
class Reporter : public RunListener
{
public:
    Reporter (const std::array<juce::File, numFormats>& runFolders, juce::FileOutputStream* logStream,
              std::ostream& outStream, std::ostream& errStream)
        : folders (runFolders), log (logStream), out (outStream), err (errStream) {}

    void fileOperation (const juce::String& what) override { writeLog (what); }

    void rowFinished (int row, const RowResult& result) override
    {
        const juce::String format = pluginFormats()[(size_t) row].name;
        const auto where = Platform::windowsPathOf (folders[(size_t) row]);

        switch (result.outcome)
        {
            case RowOutcome::Installed:     report (out, format + ": installed in " + where); break;
            case RowOutcome::Removed:       report (out, format + ": removed from " + where); break;
            case RowOutcome::InstallFailed: report (err, format + ": could not install: " + result.reason); break;
            case RowOutcome::RemoveFailed:  report (err, format + ": could not remove: " + result.reason); break;
            case RowOutcome::NotProcessed:  break;
        }
    }

private:
    void writeLog (const juce::String& line) { CommandLine::writeLog (log, line); }

    void report (std::ostream& stream, const juce::String& line)
    {
        stream << line << std::endl;
        writeLog (line);
    }

    const std::array<juce::File, numFormats>& folders;
    juce::FileOutputStream* const log;
    std::ostream& out;
    std::ostream& err;
};

int installOrUninstall (const Options& options, const std::array<juce::File, numFormats>& folders,
                        juce::FileOutputStream* log, std::ostream& out, std::ostream& err)
{
    Reporter reporter (folders, log, out, err);
    const auto results = runInstallation (RunPlan { options.rows, folders, productName(), options.uninstall }, &reporter);

    for (const auto& result : results)
        if (result == RowOutcome::InstallFailed || result == RowOutcome::RemoveFailed)
            return aRowFailed;
    return allRowsSucceeded;
}

// The log is opened, appending, before anything else happens: a run never starts unlogged.
std::unique_ptr<juce::FileOutputStream> openLog (const juce::String& path, juce::String& error)
{
    const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (path);
    auto stream = std::make_unique<juce::FileOutputStream> (file);

    if (file.isDirectory() || stream->failedToOpen())
    {
        error = "cannot write the log file " + file.getFullPathName() + ": " + stream->getStatus().getErrorMessage();
        return nullptr;
    }
    return stream;
}
} // namespace

Parsed parse (const juce::StringArray& arguments)
{
    Parsed parsed;
    juce::StringArray seen;

    for (const auto& argument : arguments)
    {
        const auto name = argument.upToFirstOccurrenceOf ("=", false, false);
        if (seen.contains (name))
            return { {}, name + " is given twice" };
        seen.add (name);

        if (const auto error = parseOne (argument, parsed.options); error.isNotEmpty())
            return { {}, error };
    }

    const auto& o = parsed.options;
    if (o.install && o.uninstall)
        parsed.error = "--install and --uninstall cannot be asked for at once";
    else if (! (o.status || o.help || o.version || o.install || o.uninstall))
        parsed.error = "nothing to do: ask for --status, --install or --uninstall";

    return parsed;
}

juce::String usage()
{
    return juce::String (ProductInfo::installerName) + " " + ProductInfo::installerVersion + ": installs "
         + productName() + " " + ProductInfo::version + R"( without a window when given options.

  --status                   each format's state, installed version and folder
  --install=vst3,clap,aax    install the listed formats
  --uninstall=vst3,clap,aax  remove the listed formats
  --folder-vst3=PATH, --folder-clap=PATH, --folder-aax=PATH
                             that format's folder for this run only, a Windows
                             path such as C:\Plugins; the settings stay as they are
  --log=FILE                 append a line per file operation and per format
  --help, --version

Exit status: 0 when every listed format succeeded, 1 when one failed (the reason
goes to the error output), 2 for options it does not understand.
)";
}

int run (const juce::StringArray& arguments, std::ostream& out, std::ostream& err)
{
    const auto parsed = parse (arguments);
    const auto& options = parsed.options;

    if (parsed.error.isNotEmpty())
    {
        err << ProductInfo::installerName << ": " << parsed.error << "\n\n" << usage();
        return badUsage;
    }

    if (options.help || options.version)
    {
        out << (options.help ? usage() : juce::String (ProductInfo::installerName) + " " + ProductInfo::installerVersion
                                                + " (" + productName() + " " + ProductInfo::version + ")\n");
        return allRowsSucceeded;
    }

    auto folders = foldersInForce();
    if (const auto error = applyFolderOverrides (options, folders); error.isNotEmpty())
    {
        err << ProductInfo::installerName << ": " << error << "\n\n" << usage();
        return badUsage;
    }

    std::unique_ptr<juce::FileOutputStream> log;
    juce::String logError;
    if (options.logPath.isNotEmpty() && (log = openLog (options.logPath, logError)) == nullptr)
    {
        err << ProductInfo::installerName << ": " << logError << "; nothing was changed\n";
        return aRowFailed;
    }

    if (const auto problems = unusableFolders (options, folders); ! problems.isEmpty())
    {
        for (const auto& problem : problems)
        {
            err << problem << std::endl;
            writeLog (log.get(), problem);
        }
        return aRowFailed;
    }

    int status = allRowsSucceeded;
    if (options.install || options.uninstall)
        status = installOrUninstall (options, folders, log.get(), out, err);

    if (options.status)
        printStatus (folders, out);

    return status;
}
} // namespace CommandLine
