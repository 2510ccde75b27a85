#include "CommandLine.h"

#include <gtest/gtest.h>

// What the arguments become, or why they are refused. The end-to-end test runs the real
// executable with the same kinds of arguments.
TEST (CommandLineParse, ArgumentsBecomeOptionsOrAReason)
{
    struct Case
    {
        juce::StringArray arguments;
        juce::String error;  // empty: accepted
    };

    const Case cases[] {
        { { "--status" }, {} },
        { { "--install=vst3,clap,aax", "--log=run.log" }, {} },
        { { "--uninstall=AAX", "--folder-aax=C:\\Mine\\AAX" }, {} },
        { { "--install= vst3 , clap" }, {} },
        { {}, "nothing to do: ask for --status, --install or --uninstall" },
        { { "--folder-vst3=C:\\Plugins" }, "nothing to do: ask for --status, --install or --uninstall" },
        { { "--install=vst2" }, "unknown format \"vst2\" in --install (the formats are vst3, clap and aax)" },
        { { "--install=vst3,vst3" }, "the format vst3 is listed twice in --install" },
        { { "--install=vst3,,clap" }, "--install lists an empty format name" },
        { { "--install=" }, "--install needs formats, e.g. --install=vst3,clap,aax" },
        { { "--install" }, "--install needs formats, e.g. --install=vst3,clap,aax" },
        { { "--status", "--status" }, "--status is given twice" },
        { { "--install=vst3", "--install=clap" }, "--install is given twice" },
        { { "--install=vst3", "--uninstall=clap" }, "--install and --uninstall cannot be asked for at once" },
        { { "--status=yes" }, "--status takes no value" },
        { { "--log=", "--status" }, "--log needs a file, e.g. --log=install.log" },
        { { "--folder-clap=", "--status" }, "--folder-clap needs a folder, e.g. --folder-clap=C:\\Plugins" },
        { { "--silent" }, "unknown option \"--silent\"" },
        { { "status" }, "unknown option \"status\"" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (CommandLine::parse (c.arguments).error, c.error) << c.arguments.joinIntoString (" ");

    const auto parsed = CommandLine::parse ({ "--uninstall=aax,VST3", "--folder-aax=C:\\Mine\\AAX", "--log=x.log" });
    EXPECT_TRUE (parsed.options.uninstall);
    EXPECT_FALSE (parsed.options.install);
    EXPECT_EQ (parsed.options.rows, (std::array<bool, numFormats> { true, false, true }));
    EXPECT_EQ (parsed.options.folders[2], "C:\\Mine\\AAX");
    EXPECT_EQ (parsed.options.logPath, "x.log");
}
