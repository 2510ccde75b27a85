// Large payloads: a VST3 bundle of realistic resource files (PCM audio, already-compressed
// data, text presets) in one archive of about 100 MB, 300 MB and 1 GB, memory-mapped from disk
// as a maker's archive would be. Not tests: they print rows of a Markdown table, each figure
// beside a reference measured in the same run (scripts/bench.sh adds the rest).
//   qf_bench_large FOLDER   FOLDER keeps the generated archives from one run to the next

#include "ArchiveChecks.h"
#include "BenchTable.h"
#include "InstallRun.h"
#include "MainComponent.h"
#include "helpers/MessageLoop.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <atomic>
#include <cmath>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <thread>

namespace
{
const juce::String bundleName ("Kestrune.vst3");
constexpr juce::int64 megabyte = 1024 * 1024;

// One resource file's bytes, of one of three kinds found in sample-based plug-ins.
juce::MemoryBlock resourceBytes (int index, size_t size)
{
    juce::MemoryBlock bytes (size);
    auto* data = static_cast<juce::uint8*> (bytes.getData());
    juce::Random random (index + 1);

    switch (index % 3)
    {
        case 0:  // 16-bit PCM: two partials and a little noise, as a recorded note compresses
        {
            auto* samples = reinterpret_cast<juce::int16*> (data);
            for (size_t i = 0; i < size / 2; ++i)
            {
                const auto t = (double) i / 44100.0;
                const auto value = 9000.0 * std::sin (2.0 * juce::MathConstants<double>::pi * (110.0 + index) * t)
                                   + 3000.0 * std::sin (2.0 * juce::MathConstants<double>::pi * 660.0 * t) + random.nextInt (400) - 200;
                samples[i] = (juce::int16) value;
            }
            break;
        }
        case 1:  // already compressed (encoded audio, images): incompressible
            for (size_t i = 0; i < size; i += 4)
            {
                const auto word = (juce::uint32) random.nextInt();
                std::memcpy (data + i, &word, std::min<size_t> (4, size - i));
            }
            break;
        default:  // presets and metadata: text that compresses well
            for (size_t i = 0; i < size;)
            {
                const auto line = "<param id=\"p" + std::to_string (random.nextInt (512)) + "\" value=\"" + std::to_string (random.nextInt (10000)) + "\"/>\n";
                const auto n = std::min (line.size(), size - i);
                std::memcpy (data + i, line.data(), n);
                i += n;
            }
            break;
    }
    return bytes;
}

struct LargeArchive
{
    std::unique_ptr<juce::MemoryMappedFile> mapped;
    ArchiveBytes bytes;
    juce::File zip;
    juce::int64 payloadBytes = 0;
};

// Makes the archive once (deflated, as makers ship them) and maps it; its CRC-32 is recorded
// beside it, as the build records the embedded archives'.
LargeArchive largeArchive (const juce::File& folder, int megabytes)
{
    const auto zip = folder.getChildFile ("payload-" + juce::String (megabytes) + "MB.zip");
    const auto crcFile = zip.withFileExtension ("crc32");

    if (! zip.existsAsFile() || ! crcFile.existsAsFile())
    {
        std::cerr << "making the " << megabytes << " MB payload archive..." << std::endl;
        const auto files = folder.getChildFile ("payload-" + juce::String (megabytes) + "MB");
        files.deleteRecursively();
        juce::ZipFile::Builder builder;
        const size_t sizes[] { 8 * megabyte, 6 * megabyte, 2 * megabyte, 512 * 1024 };

        for (juce::int64 total = 0, index = 0; total < megabytes * megabyte; ++index)
        {
            const auto size = std::min<juce::int64> ((juce::int64) sizes[index % 4], megabytes * megabyte - total);
            const auto kind = juce::StringArray { "Samples", "Media", "Presets" }[(int) (index % 3)];
            const auto path = bundleName + "/Contents/Resources/" + kind + "/" + juce::String (index).paddedLeft ('0', 5) + ".dat";
            const auto file = files.getChildFile (path);
            file.getParentDirectory().createDirectory();
            file.replaceWithData (resourceBytes ((int) index, (size_t) size).getData(), (size_t) size);
            builder.addFile (file, 6, path);
            total += size;
        }

        zip.deleteFile();
        {
            juce::FileOutputStream out (zip);
            if (out.failedToOpen() || ! builder.writeToStream (out, nullptr))
                throw std::runtime_error ("could not write " + zip.getFullPathName().toStdString());
        }
        files.deleteRecursively();

        juce::MemoryMappedFile map (zip, juce::MemoryMappedFile::readOnly);
        crcFile.replaceWithText (juce::String::toHexString ((juce::int64) ArchiveChecks::crc32Of (map.getData(), map.getSize())));
    }

    LargeArchive archive;
    archive.zip = zip;
    archive.mapped = std::make_unique<juce::MemoryMappedFile> (zip, juce::MemoryMappedFile::readOnly);
    if (archive.mapped->getData() == nullptr)
        throw std::runtime_error ("could not map " + zip.getFullPathName().toStdString());
    archive.bytes = { archive.mapped->getData(), archive.mapped->getSize(), (juce::uint32) crcFile.loadFileAsString().getHexValue64() };
    archive.payloadBytes = bytesToWrite (archive.bytes);
    return archive;
}

juce::File emptiedFolder (const juce::File& folder)
{
    folder.deleteRecursively();
    folder.createDirectory();
    sync();
    return folder;
}

void install (const LargeArchive& archive, const juce::File& folder)
{
    if (installBundle (folder, bundleName, archive.bytes) != RowOutcome::Installed)
        throw std::runtime_error ("install failed");
}

struct Timing
{
    double installMs, unzipMs;
};

Timing timeInstallAndUnzip (const LargeArchive& archive, const juce::File& target, int runs)
{
    const auto unzip = "unzip -o -qq '" + archive.zip.getFullPathName() + "' -d '" + target.getFullPathName() + "'";
    const auto empty = [&] { emptiedFolder (target); };
    const auto unzipMs = medianMs (runs, empty, [&] { if (std::system (unzip.toRawUTF8()) != 0) throw std::runtime_error ("unzip failed"); });
    const auto installMs = medianMs (runs, empty, [&] { install (archive, target); });
    return { installMs, unzipMs };
}

// Kilobytes of this process's private (anonymous) resident memory. Pages of the mapped archive
// are the file's own, in the page cache, and are not counted: the system drops them when it
// needs the memory, and rereads them from the file.
long anonymousKilobytes()
{
    std::ifstream status ("/proc/self/status");
    for (std::string line; std::getline (status, line);)
        if (line.rfind ("RssAnon:", 0) == 0)
            return std::stol (line.substr (8));
    return 0;
}

// In a process of its own (this program run with --measure-install): maps the archive, then
// installs it while sampling its private memory every millisecond; prints the highest value
// above what it had before the install, in kilobytes.
int measureInstall (const juce::String& zipPath, const juce::String& crc, const juce::String& targetPath)
{
    juce::MemoryMappedFile mapped (juce::File (zipPath), juce::MemoryMappedFile::readOnly);
    const ArchiveBytes bytes { mapped.getData(), mapped.getSize(), (juce::uint32) crc.getHexValue64() };
    const auto before = anonymousKilobytes();
    std::atomic<bool> done { false };
    std::atomic<long> peak { before };
    std::thread sampler ([&] {
        while (! done)
        {
            peak = std::max (peak.load(), anonymousKilobytes());
            std::this_thread::sleep_for (std::chrono::milliseconds (1));
        }
    });
    const auto result = installBundle (juce::File (targetPath), bundleName, bytes);
    done = true;
    sampler.join();
    std::cout << std::max (peak.load(), anonymousKilobytes()) - before << std::endl;
    return result == RowOutcome::Installed ? 0 : 1;
}

double peakExtraMegabytesOfInstall (const LargeArchive& archive, const juce::File& target)
{
    emptiedFolder (target);
    juce::ChildProcess child;
    const auto self = juce::File::getSpecialLocation (juce::File::currentExecutableFile).getFullPathName();
    if (! child.start (juce::StringArray { self, "--measure-install", archive.zip.getFullPathName(),
                                           juce::String::toHexString ((juce::int64) archive.bytes.crc32), target.getFullPathName() }))
        throw std::runtime_error ("could not start the measuring process");
    const auto output = child.readAllProcessOutput();
    if (child.getExitCode() != 0)
        throw std::runtime_error ("the measured install failed: " + output.toStdString());
    return output.trim().getDoubleValue() / 1024.0;
}

// Records the longest gap between the callbacks of a 5 ms timer on the message thread.
class StallMeter : private juce::Timer
{
public:
    StallMeter() { startTimer (5); }
    ~StallMeter() override { stopTimer(); }
    double longestGapMs = 0.0;

private:
    void timerCallback() override
    {
        const auto now = juce::Time::getMillisecondCounterHiRes();
        if (last > 0.0)
            longestGapMs = std::max (longestGapMs, now - last);
        last = now;
    }

    double last = 0.0;
};

// The window installing the archive as VST3: the longest stall of its message thread while the
// run works, and the time the same install takes on the message thread, which is how long the
// window froze when the run was done there.
void reportMessageThreadStall (const LargeArchive& archive, const juce::File& target)
{
    MainComponent main;
    main.addToDesktop (0);
    main.setVisible (true);
    main.archiveFor = [&] (int) { return archive.bytes; };
    main.formatFolders[0] = emptiedFolder (target);
    main.formatSelected = { true, false, false };
    runMessageLoopFor (200);

    StallMeter meter;
    const auto runMs = millisecondsOf ([&] {
        main.runInstallOrUninstall();
        runMessageLoopUntil ([&] { return main.operationDone; }, 600000);
    });
    if (main.rowOutcomes[0] != RowOutcome::Installed)
        throw std::runtime_error ("the window's install failed: " + main.rowOutcomes[0].reason.toStdString());

    emptiedFolder (target);
    const auto onMessageThreadMs = millisecondsOf ([&] { install (archive, target); });

    printRow ("Longest message-thread stall while the window installs the " + figure ((double) archive.payloadBytes / megabyte, "MB")
                  + " payload (gap between 5 ms timer callbacks; the run took " + figure (runMs / 1000.0, "s") + ")",
              figure (meter.longestGapMs, "ms"), "the same install on the message thread, as the run was done before: " + figure (onMessageThreadMs, "ms"),
              meter.longestGapMs / onMessageThreadMs);
}
} // namespace

int main (int argc, char** argv)
{
    if (argc == 5 && juce::String (argv[1]) == "--measure-install")
        return measureInstall (argv[2], argv[3], argv[4]);

    if (argc != 2)
    {
        std::cerr << "usage: qf_bench_large FOLDER" << std::endl;
        return 2;
    }

    // On a bare X server the window-manager atoms are made first, as the window tests do.
    if (std::getenv ("DISPLAY") != nullptr)
        [[maybe_unused]] const auto made = std::system ("/usr/bin/python3 " QF_SOURCE_DIR "/tests/e2e/close_window.py --prepare 2> /dev/null");
    juce::ScopedJuceInitialiser_GUI gui;
    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    folder.createDirectory();
    const auto target = folder.getChildFile ("target");

    try
    {
        const auto small = largeArchive (folder, 100);
        const auto medium = largeArchive (folder, 300);
        const auto large = largeArchive (folder, 1024);

        const auto largeTiming = timeInstallAndUnzip (large, target, 3);
        printRow ("Install of the 1 GB payload (" + figure ((double) large.zip.getSize() / megabyte, "MB") + " archive, memory-mapped, every file's CRC-32 checked; median of 3)",
                  figure (largeTiming.installMs / 1000.0, "s"), "`unzip -o -qq` of the same archive: " + figure (largeTiming.unzipMs / 1000.0, "s"),
                  largeTiming.installMs / largeTiming.unzipMs);

        const auto smallTiming = timeInstallAndUnzip (small, target, 3);
        const auto mediumTiming = timeInstallAndUnzip (medium, target, 3);
        const auto perMb = [] (const Timing& t, const LargeArchive& a) { return t.installMs / ((double) a.payloadBytes / megabyte); };
        printRow ("Install time per MB of payload at 1 GB (at 300 MB: " + figure (perMb (mediumTiming, medium), "ms") + ")",
                  figure (perMb (largeTiming, large), "ms"), "the same at 100 MB: " + figure (perMb (smallTiming, small), "ms"),
                  perMb (largeTiming, large) / perMb (smallTiming, small));

        const auto smallPeak = peakExtraMegabytesOfInstall (small, target);
        const auto largePeak = peakExtraMegabytesOfInstall (large, target);
        printRow ("Peak private memory of the 1 GB install above the idle process (at 100 MB: " + figure (smallPeak, "MB") + ")",
                  figure (largePeak, "MB"), "the archive, which a copy into memory would add: " + figure ((double) large.bytes.size / megabyte, "MB"),
                  largePeak / ((double) large.bytes.size / megabyte));

        reportMessageThreadStall (medium, target);
    }
    catch (const std::exception& e)
    {
        std::cerr << "qf_bench_large: " << e.what() << std::endl;
        target.deleteRecursively();
        return 1;
    }

    target.deleteRecursively();
    return 0;
}
