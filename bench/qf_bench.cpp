// Benchmarks of the installer core. Not tests: they print figures, as ratios against a
// reference measured in the same run where there is one.
//   qf_bench                 everything
//   qf_bench --benchmark_*   Google Benchmark options for the status derivation

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
#include <iostream>

namespace
{
const juce::String productName ("Kestrune");

juce::File freshFolder (const juce::String& name)
{
    auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("qf_bench").getChildFile (name);
    folder.deleteRecursively();
    folder.createDirectory();
    return folder;
}

void installAllThree (const juce::File& folder)
{
    for (int row = 0; row < numFormats; ++row)
    {
        const auto& format = pluginFormats()[(size_t) row];
        if (installBundle (folder, productName + format.extension, format.archiveData, (size_t) format.archiveSize) != RowOutcome::Installed)
            throw std::runtime_error ("install failed");
    }
}

double medianMs (int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
    {
        prepare();
        const auto start = juce::Time::getMillisecondCounterHiRes();
        work();
        times.push_back (juce::Time::getMillisecondCounterHiRes() - start);
    }
    std::sort (times.begin(), times.end());
    return times[times.size() / 2];
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

    std::cout << "install of the three formats (median of " << runs << "): " << installMs << " ms\n"
              << "unzip -o -qq of the same archives (median of " << runs << "): " << unzipMs << " ms\n"
              << "ratio install / unzip: " << installMs / unzipMs << "\n";
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

    const auto extraKb = (double) (installing - idle);
    std::cout << "peak memory of a three-format install: " << (double) installing / 1024.0 << " MB, "
              << extraKb / 1024.0 << " MB above the idle process ("
              << extraKb * 1024.0 / largestArchive << " x the largest archive)\n";
}

void BM_DeriveRowStatus (benchmark::State& state)
{
    static const auto folder = [] { auto f = freshFolder ("status"); installAllThree (f); return f; }();
    const auto row = (int) state.range (0);

    for (auto _ : state)
        benchmark::DoNotOptimize (deriveRowStatus (folder, productName, "1.0.0", row));

    state.SetLabel ((formatNames[row] + " " + deriveRowStatus (folder, productName, "1.0.0", row).text).toStdString());
}
// One full paint of the main screen with all three bundles installed, at 600 and 1200 pixels.
void BM_PaintMainScreen (benchmark::State& state)
{
    const auto home = freshFolder ("paint");
    Platform::setWinePrefix (home.getChildFile ("wine"));
    MainComponent main;
    for (int row = 0; row < numFormats; ++row)
        installBundle (main.formatFolders[(size_t) row], productName + formatExtensions[row],
                       pluginFormats()[(size_t) row].archiveData, (size_t) pluginFormats()[(size_t) row].archiveSize);

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
BENCHMARK (BM_PaintMainScreen)->Arg (600)->Arg (1200)->Unit (benchmark::kMillisecond)->Repetitions (5)->ReportAggregatesOnly (true);

BENCHMARK (BM_DeriveRowStatus)->DenseRange (0, 2)->Unit (benchmark::kMicrosecond)->Repetitions (5)->ReportAggregatesOnly (true);
} // namespace

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI gui;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    compareInstallWithUnzip();
    reportPeakMemory();
    freshFolder ("").deleteRecursively();
    return 0;
}
