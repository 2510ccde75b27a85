// Benchmarks of the installer. Not tests: they print figures, each with a reference measured
// in the same run and the ratio between the two. Google Benchmark's own report goes to
// stderr; stdout gets the rows of a Markdown table (scripts/bench.sh adds the rest).
//   qf_bench                 everything
//   qf_bench --benchmark_*   Google Benchmark options

#include "ArchiveChecks.h"
#include "BenchTable.h"
#include "InstallRun.h"
#include "MainComponent.h"
#include "InstallStatus.h"
#include "Platform.h"
#include "PluginFormats.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <map>
#include <sstream>

namespace
{
const juce::String productName ("Kestrune");

// The median of each Google Benchmark, in milliseconds, by benchmark name.
std::map<std::string, double> medians;
double moduleMegabytes = 0.0;

class MedianCollector : public benchmark::ConsoleReporter
{
public:
    void ReportRuns (const std::vector<Run>& runs) override
    {
        for (const auto& run : runs)
            if (run.aggregate_name == "median")
                medians[run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args)]
                    = run.GetAdjustedRealTime() * millisecondsPer (run.time_unit);
        ConsoleReporter::ReportRuns (runs);
    }

private:
    static double millisecondsPer (benchmark::TimeUnit unit)
    {
        switch (unit)
        {
            case benchmark::kNanosecond:  return 1e-6;
            case benchmark::kMicrosecond: return 1e-3;
            case benchmark::kMillisecond: return 1.0;
            case benchmark::kSecond:      return 1e3;
        }
        return 1.0;
    }
};

juce::File freshFolder (const juce::String& name)
{
    auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("qf_bench").getChildFile (name);
    folder.deleteRecursively();
    folder.createDirectory();
    return folder;
}

// The installer's own run over all three rows, every format into the one folder.
void installAllThree (const juce::File& folder)
{
    std::array<bool, numFormats> selected { true, true, true };
    for (auto outcome : runInstallation (selected, { folder, folder, folder }, productName, false))
        if (outcome != RowOutcome::Installed)
            throw std::runtime_error ("install failed");
}

void compareInstallWithUnzip()
{
    const auto archives = freshFolder ("archives");
    juce::StringArray zipPaths;
    for (const auto& name : { "vst3", "clap", "aax" })
    {
        const auto& format = pluginFormats()[(size_t) zipPaths.size()];
        auto zip = archives.getChildFile (juce::String (name) + ".zip");
        zip.replaceWithData (format.archiveData, (size_t) format.archiveSize);
        zipPaths.add (zip.getFullPathName().quoted ('\''));
    }

    const auto target = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("qf_bench/target");
    const auto empty = [&] { target.deleteRecursively(); target.createDirectory(); sync(); };
    // unzip exits with 1 after its warning about the backslash separators, which it then honours.
    const auto unzipCommand = "for z in " + zipPaths.joinIntoString (" ") + "; do unzip -o -qq \"$z\" -d '" + target.getFullPathName() + "' 2> /dev/null || [ $? -eq 1 ]; done";

    constexpr int runs = 7;
    const auto unzipMs = medianMs (runs, empty, [&] { if (std::system (unzipCommand.toRawUTF8()) != 0) throw std::runtime_error ("unzip failed"); });
    const auto installMs = medianMs (runs, empty, [&] { installAllThree (target); });

    printRow ("Install of VST3, CLAP and AAX, every file's CRC-32 checked (median of 7)", figure (installMs, "ms"),
              "`unzip -o -qq` of the same archives, which checks CRCs too: " + figure (unzipMs, "ms"), installMs / unzipMs);

    // Part of that install: the whole-archive checksums checked before anything is extracted.
    juce::uint32 sink = 0;
    const auto checksumMs = medianMs (21, [] {}, [&] {
        for (int row = 0; row < numFormats; ++row)
            sink ^= ArchiveChecks::crc32Of (embeddedArchive (row).data, embeddedArchive (row).size);
    });
    benchmark::DoNotOptimize (sink);
    printRow ("Whole-archive CRC-32 of the three archives, within that install (median of 21)", figure (checksumMs, "ms"),
              "that install: " + figure (installMs, "ms"), checksumMs / installMs);
}

long peakKilobytesOfChild (const std::function<void()>& work)
{
    const auto pid = fork();
    if (pid == 0)
    {
        work();
        _exit (0);
    }

    int status = 0;
    rusage usage {};
    wait4 (pid, &status, 0, &usage);
    return usage.ru_maxrss;
}

void reportPeakMemory()
{
    const auto target = freshFolder ("memory");
    const auto idle = peakKilobytesOfChild ([] {});
    const auto installing = peakKilobytesOfChild ([&] { installAllThree (target); });
    const auto largestArchive = std::max ({ pluginFormats()[0].archiveSize, pluginFormats()[1].archiveSize, pluginFormats()[2].archiveSize });

    const auto extraMb = (double) (installing - idle) / 1024.0;
    const auto largestMb = (double) largestArchive / (1024.0 * 1024.0);
    printRow ("Peak memory of that install, above the idle process", figure (extraMb, "MB"),
              "the largest archive: " + figure (largestMb, "MB"), extraMb / largestMb);
}

void BM_DeriveRowStatus (benchmark::State& state)
{
    static const auto folder = [] { auto f = freshFolder ("status"); installAllThree (f); return f; }();
    const auto row = (int) state.range (0);

    for (auto _ : state)
        benchmark::DoNotOptimize (deriveRowStatus (folder, productName, "1.0.0", row));

    state.SetLabel ((formatNames[row] + " " + deriveRowStatus (folder, productName, "1.0.0", row).text).toStdString());
}

// The reference for the status: reading the installed VST3 module whole (from the page cache).
void BM_ReadWholeModule (benchmark::State& state)
{
    static const auto folder = [] { auto f = freshFolder ("module"); installAllThree (f); return f; }();
    const auto module = moduleFile (bundleFile (folder, productName, 0), productName, 0);

    for (auto _ : state)
    {
        juce::MemoryBlock bytes;
        module.loadFileAsData (bytes);
        benchmark::DoNotOptimize (bytes.getData());
    }

    moduleMegabytes = (double) module.getSize() / (1024.0 * 1024.0);
}
BENCHMARK (BM_ReadWholeModule)->Unit (benchmark::kMillisecond)->Repetitions (5)->ReportAggregatesOnly (true);
// One full paint of the main screen with all three bundles installed, at 600 and 1200 pixels.
void BM_PaintMainScreen (benchmark::State& state)
{
    const auto home = freshFolder ("paint");
    Platform::setWinePrefix (home.getChildFile ("wine"));
    MainComponent main;
    for (int row = 0; row < numFormats; ++row)
        installBundle (main.formatFolders[(size_t) row], productName + formatExtensions[row], embeddedArchive (row));

    const auto size = (int) state.range (0);
    main.setSize (size, size);
    juce::Image image (juce::Image::ARGB, size, size, true);

    for (auto _ : state)
    {
        juce::Graphics g (image);
        main.paintEntireComponent (g, false);
    }

    Platform::setWinePrefix ({});
}
// The reference for a paint: filling the same image with one colour.
void BM_FillImage (benchmark::State& state)
{
    const auto size = (int) state.range (0);
    juce::Image image (juce::Image::ARGB, size, size, true);

    for (auto _ : state)
    {
        juce::Graphics g (image);
        g.fillAll (juce::Colours::black);
    }
}
BENCHMARK (BM_FillImage)->Arg (600)->Arg (1200)->Unit (benchmark::kMillisecond)->Repetitions (5)->ReportAggregatesOnly (true);

// Opening the licence panel: the text box is sized before it gets the text. The reference is
// the same text put into a box of no size, which word-wraps every character on its own line.
void BM_OpenLicencePanel (benchmark::State& state)
{
    for (auto _ : state)
    {
        panel_eula panel (licenceText);
        panel.unit = 6.0f;
        panel.setBounds (0, 0, 600, 600);
        benchmark::DoNotOptimize (panel.licenceEditor->getTextHeight());
    }
}
BENCHMARK (BM_OpenLicencePanel)->Unit (benchmark::kMillisecond)->Repetitions (3)->ReportAggregatesOnly (true);

void BM_LicenceIntoUnsizedBox (benchmark::State& state)
{
    for (auto _ : state)
    {
        juce::TextEditor editor;
        editor.setMultiLine (true, true);
        editor.setText (licenceText, true);
        editor.setBounds (24, 72, 552, 480);
        benchmark::DoNotOptimize (editor.getTextHeight());
    }
}
BENCHMARK (BM_LicenceIntoUnsizedBox)->Unit (benchmark::kMillisecond)->Iterations (3)->Repetitions (3)->ReportAggregatesOnly (true);

BENCHMARK (BM_PaintMainScreen)->Arg (600)->Arg (1200)->Unit (benchmark::kMillisecond)->Repetitions (5)->ReportAggregatesOnly (true);

BENCHMARK (BM_DeriveRowStatus)->DenseRange (0, 2)->Unit (benchmark::kMicrosecond)->Repetitions (5)->ReportAggregatesOnly (true);

void printBenchmarkRows()
{
    const auto median = [] (const std::string& name) { return medians.count (name) > 0 ? medians.at (name) : 0.0; };
    const auto wholeModule = median ("BM_ReadWholeModule");

    for (int row = 0; row < numFormats; ++row)
    {
        const auto status = median ("BM_DeriveRowStatus/" + std::to_string (row));
        printRow ("Install status of the " + formatNames[row].toStdString() + " row, " + figure (moduleMegabytes, "MB") + " module installed",
                  figure (status * 1000.0, "µs"), "reading that module whole: " + figure (wholeModule, "ms"), status / wholeModule);
    }

    for (const auto* size : { "600", "1200" })
    {
        const auto paint = median (std::string ("BM_PaintMainScreen/") + size);
        const auto fill = median (std::string ("BM_FillImage/") + size);
        printRow (std::string ("Full paint of the main screen, ") + size + " x " + size, figure (paint, "ms"),
                  "filling the same image with one colour: " + figure (fill, "ms"), paint / fill);
    }

    const auto licence = median ("BM_OpenLicencePanel");
    const auto unsized = median ("BM_LicenceIntoUnsizedBox");
    printRow ("Opening the licence panel", figure (licence, "ms"),
              "the same text into a box of no size: " + figure (unsized, "ms"), licence / unsized);
}
} // namespace

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI gui;
    benchmark::Initialize (&argc, argv);

    MedianCollector reporter;
    reporter.SetOutputStream (&std::cerr);
    reporter.SetErrorStream (&std::cerr);
    benchmark::RunSpecifiedBenchmarks (&reporter);

    compareInstallWithUnzip();
    printBenchmarkRows();
    reportPeakMemory();
    freshFolder ("").deleteRecursively();
    return 0;
}
