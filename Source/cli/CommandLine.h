#pragma once

#include "PluginFormats.h"

#include <juce_core/juce_core.h>

#include <array>
#include <iosfwd>

// The installer without its window, for scripts and unattended installs: the same core, the
// same folders and the same guarantees, and never a GUI call, so it works with no display.
namespace CommandLine
{
enum ExitStatus
{
    allRowsSucceeded = 0,
    aRowFailed = 1,
    badUsage = 2
};

struct Options
{
    bool status = false, help = false, version = false;
    bool install = false, uninstall = false;
    std::array<bool, numFormats> rows {};
    std::array<juce::String, numFormats> folders;  // as given; empty: the settings file's
    juce::String logPath;
};

struct Parsed
{
    Options options;
    juce::String error;  // why the arguments are not usable; empty when they are
};

// Reads the arguments, without the program's name. Every argument must be known, given once
// and complete, and something must be asked for.
Parsed parse (const juce::StringArray& arguments);

juce::String usage();

// Runs the command line and returns its exit status; reports go to `out`, failures to `err`.
int run (const juce::StringArray& arguments, std::ostream& out, std::ostream& err);
} // namespace CommandLine
