#include "InstallRun.h"
#include "SettingsFile.h"
#include "helpers/BundleFixtures.h"
#include "helpers/TestFolders.h"

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <csignal>
#include <thread>

namespace
{
const juce::String vst3Bundle ("Kestrune.vst3");

const PluginFormat& vst3() { return pluginFormats()[0]; }

RowResult installVst3 (const juce::File& folder)
{
    return installBundle (folder, vst3Bundle, embeddedArchive (0));
}

juce::StringArray stagingLeftovers (const juce::File& folder)
{
    juce::StringArray found;
    for (const auto& place : { folder.getParentDirectory(), folder })
        for (const auto& entry : juce::RangedDirectoryIterator (place, false, ".qf-staging*", juce::File::findFilesAndDirectories))
            found.add (entry.getFile().getFullPathName());
    return found;
}
} // namespace

class InstallRunTest : public TemporaryPrefixTest
{
protected:
    void SetUp() override
    {
        TemporaryPrefixTest::SetUp();
        const auto reference = root.getChildFile ("reference");
        extractEmbeddedArchive (0, reference);
        newBundle = snapshotOf (reference.getChildFile (vst3Bundle));
        ASSERT_EQ (newBundle.size(), 7u);  // Contents, Resources, x86_64-win and four files
    }

    juce::File folder() const { return root.getChildFile ("Common Files/VST3"); }
    juce::File bundle() const { return folder().getChildFile (vst3Bundle); }

    // An older bundle with a file the new one does not have.
    void makeOldBundle() const
    {
        bundle().deleteRecursively();
        extractEmbeddedArchive (0, folder());
        ASSERT_TRUE (bundle().getChildFile ("Contents/x86_64-win/Kestrune.vst3").replaceWithText ("the old module"));
        ASSERT_TRUE (bundle().getChildFile ("Contents/Resources/old-preset.txt").replaceWithText ("from the old version"));
    }

    std::map<juce::String, juce::String> newBundle;
};

TEST_F (InstallRunTest, InstallIntoAMissingFolderCreatesItAndTheExactBundle)
{
    EXPECT_EQ (installVst3 (folder()), RowOutcome::Installed);
    EXPECT_EQ (snapshotOf (bundle()), newBundle);
    EXPECT_TRUE (stagingLeftovers (folder()).isEmpty());
}

TEST_F (InstallRunTest, InstallingFromOrdinaryMemoryLeavesThatMemoryAlone)
{
    // Found by fuzzing: releasing the archive's pages after an install zeroed whole pages of a
    // caller's buffer. Only the run over the embedded archives releases them now.
    const juce::MemoryBlock archive (vst3().archiveData, (size_t) vst3().archiveSize);
    const auto copy = archive;

    EXPECT_EQ (installBundle (folder(), vst3Bundle, archiveOf (archive)), RowOutcome::Installed);
    EXPECT_TRUE (archive == copy);
    EXPECT_EQ (snapshotOf (bundle()), newBundle);
}

TEST_F (InstallRunTest, InstallReplacesWhateverStoodAtTheBundlePath)
{
    makeOldBundle();
    const auto neighbour = folder().getChildFile ("Other.vst3/keep.txt");
    ASSERT_TRUE (neighbour.getParentDirectory().createDirectory() && neighbour.replaceWithText ("not ours"));

    EXPECT_EQ (installVst3 (folder()), RowOutcome::Installed);
    EXPECT_EQ (snapshotOf (bundle()), newBundle);
    EXPECT_EQ (neighbour.loadFileAsString(), "not ours");

    bundle().deleteRecursively();
    ASSERT_TRUE (bundle().replaceWithText ("a plain file named like the bundle"));
    EXPECT_EQ (installVst3 (folder()), RowOutcome::Installed);
    EXPECT_EQ (snapshotOf (bundle()), newBundle);
}

TEST_F (InstallRunTest, ASymbolicLinkAtTheBundlePathIsReplacedOrRemovedNeverFollowed)
{
    const auto elsewhere = root.getChildFile ("elsewhere");
    ASSERT_TRUE (elsewhere.getChildFile ("precious.txt").create());
    ASSERT_TRUE (folder().createDirectory());
    ASSERT_TRUE (elsewhere.createSymbolicLink (bundle(), true));
    const auto before = snapshotOf (elsewhere);

    EXPECT_EQ (installVst3 (folder()), RowOutcome::Installed);
    EXPECT_FALSE (bundle().isSymbolicLink());
    EXPECT_EQ (snapshotOf (bundle()), newBundle);
    EXPECT_EQ (snapshotOf (elsewhere), before);

    bundle().deleteRecursively();
    ASSERT_TRUE (elsewhere.createSymbolicLink (bundle(), true));
    EXPECT_EQ (removeBundle (folder(), vst3Bundle), RowOutcome::Removed);
    EXPECT_FALSE (Platform::entryExists (bundle()));
    EXPECT_EQ (snapshotOf (elsewhere), before);

    ASSERT_TRUE (root.getChildFile ("nowhere").createSymbolicLink (bundle(), true));  // dangling
    EXPECT_EQ (installVst3 (folder()), RowOutcome::Installed);
    EXPECT_EQ (snapshotOf (bundle()), newBundle);
}

// Links inside a bundle and inside a dead run's staging folder: removing, replacing and
// recovering remove the links themselves, and what they point at survives byte for byte.
TEST_F (InstallRunTest, LinksInsideABundleOrAStagingFolderAreRemovedNeverFollowed)
{
    const auto elsewhere = root.getChildFile ("elsewhere");
    ASSERT_TRUE (elsewhere.getChildFile ("precious").createDirectory());
    ASSERT_TRUE (elsewhere.getChildFile ("precious/deep.txt").replaceWithText ("keep me"));
    ASSERT_TRUE (elsewhere.getChildFile ("single.txt").replaceWithText ("keep me too"));
    const auto before = snapshotOf (elsewhere);

    const auto plantLinks = [&] (const juce::File& folderToPlantIn)
    {
        ASSERT_TRUE (elsewhere.getChildFile ("precious").createSymbolicLink (folderToPlantIn.getChildFile ("folder-link"), true));
        ASSERT_TRUE (elsewhere.getChildFile ("single.txt").createSymbolicLink (folderToPlantIn.getChildFile ("file-link"), true));
    };

    ASSERT_EQ (installVst3 (folder()), RowOutcome::Installed);
    plantLinks (bundle().getChildFile ("Contents"));
    EXPECT_EQ (installVst3 (folder()), RowOutcome::Installed);  // the bundle with links is replaced
    EXPECT_EQ (snapshotOf (bundle()), newBundle);
    plantLinks (bundle().getChildFile ("Contents"));
    EXPECT_EQ (removeBundle (folder(), vst3Bundle), RowOutcome::Removed);
    EXPECT_FALSE (Platform::entryExists (bundle()));
    EXPECT_TRUE (stagingLeftovers (folder()).isEmpty());
    EXPECT_EQ (snapshotOf (elsewhere), before);

    // A dead run's staging folder holding links, one of them as its moved-aside bundle.
    const auto deadRun = folder().getParentDirectory().getChildFile (".qf-staging.2147483000.000000000000001f.VST3");
    ASSERT_TRUE (deadRun.getChildFile ("new").createDirectory() && deadRun.getChildFile ("previous").createDirectory());
    plantLinks (deadRun.getChildFile ("new"));
    ASSERT_TRUE (elsewhere.getChildFile ("precious").createSymbolicLink (deadRun.getChildFile ("previous/Kestrune.vst3"), true));
    ASSERT_TRUE (Platform::removeTree (bundle()));
    recoverInterruptedRuns (folder(), vst3Bundle);
    EXPECT_FALSE (deadRun.exists());
    EXPECT_TRUE (Platform::removeTree (bundle()));  // whatever recovery put back, the link itself goes
    EXPECT_EQ (snapshotOf (elsewhere), before);
}

// While a bundle with a deep tree is removed, another thread keeps swapping a folder inside it
// for a link to a sentinel folder holding the same names. A removal that checks a path and
// then uses it deletes through the link; one through descriptors never does.
TEST_F (InstallRunTest, AFolderSwappedForALinkDuringRemovalNeverLosesWhatTheLinkPointsAt)
{
    const auto sentinel = root.getChildFile ("sentinel");
    const auto fillWithNames = [] (const juce::File& place)
    {
        bool filled = place.createDirectory().wasOk();
        for (int i = 0; i < 300; ++i)
            filled = place.getChildFile ("f" + juce::String (i)).replaceWithText ("x") && filled;
        return filled;
    };
    ASSERT_TRUE (fillWithNames (sentinel));
    const auto stagingParent = folder().getParentDirectory().getFullPathName();

    std::atomic<bool> stop { false };
    std::atomic<int> swaps { 0 };
    std::thread swapper ([&]
    {
        while (! stop)
            for (const auto& staging : juce::File (stagingParent).findChildFiles (juce::File::findDirectories, false, ".qf-staging*"))
            {
                const auto deep = staging.getChildFile ("discard/Kestrune.vst3/Contents/deep").getFullPathName();
                struct stat info;
                if (lstat (deep.toRawUTF8(), &info) == 0 && S_ISDIR (info.st_mode)
                    && ::rename (deep.toRawUTF8(), (deep + ".moved").toRawUTF8()) == 0
                    && symlink (sentinel.getFullPathName().toRawUTF8(), deep.toRawUTF8()) == 0)
                    ++swaps;
            }
    });

    for (int round = 0; round < 25; ++round)
    {
        if (installVst3 (folder()) != RowOutcome::Installed || ! fillWithNames (bundle().getChildFile ("Contents/deep")))
        {
            ADD_FAILURE() << "could not make the bundle in round " << round;
            break;
        }
        removeBundle (folder(), vst3Bundle);
        if (const auto left = sentinel.getNumberOfChildFiles (juce::File::findFiles); left != 300)
        {
            ADD_FAILURE() << "the sentinel lost " << 300 - left << " files through the link in round " << round;
            break;
        }
        for (const auto& staging : juce::File (stagingParent).findChildFiles (juce::File::findDirectories, false, ".qf-staging*"))
            Platform::removeTree (staging);  // what the swapper left behind
    }

    stop = true;
    swapper.join();
    EXPECT_GT (swaps.load(), 0) << "the swapper never got in: the race was not tried";
}

TEST_F (InstallRunTest, FailedInstallsKeepTheOldBundleAndLeaveNothingPartial)
{
    const auto& archive = vst3();
    const auto hostile = [] (const juce::String& name) { return zipOf ({ { name, "x" } }); };
    const auto truncated = juce::MemoryBlock (archive.archiveData, (size_t) archive.archiveSize / 2);
    const auto corrupt = [&]
    {
        juce::MemoryBlock block (archive.archiveData, (size_t) archive.archiveSize);
        for (size_t i = 4096; i < block.getSize() - 4096; i += 1 + i / 8)
            block[i] = (char) ~block[i];
        return block;
    }();

    // The bytes "@@" in the stored name become 0xFF 0xFF, which the framework's path check
    // recursed on without end.
    const auto notUtf8 = [&]
    {
        auto block = hostile ("Kestrune.vst3/Conten@@/x86_64-win/x.dll");
        for (size_t i = 0; i + 1 < block.getSize(); ++i)
            if (block[i] == '@' && block[i + 1] == '@')
                block[i] = block[i + 1] = (char) 0xff;
        return block;
    }();

    const std::pair<const char*, juce::MemoryBlock> cases[] = {
        { "truncated archive", truncated },
        { "corrupt compressed data", corrupt },
        { "not a zip", juce::MemoryBlock ("garbage", 7) },
        { "empty archive", zipOf ({}) },
        { "entry climbing out", hostile ("..\\evil.txt") },
        { "entry climbing out from inside the bundle", hostile ("Kestrune.vst3\\..\\..\\evil.txt") },
        { "entry beside the bundle", hostile ("Other.dll") },
        { "absolute entry", hostile ("/tmp/evil.txt") },
        { "name that is not UTF-8 (found by fuzzing)", notUtf8 },
        { "folder named with dots only (found by fuzzing)", hostile ("Kestrune.vst3\\....\\x.txt") },
        { "folder named with one dot", hostile ("Kestrune.vst3\\.\\x.txt") },
    };

    for (const auto& [what, bytes] : cases)
    {
        makeOldBundle();
        const auto before = snapshotOf (root);
        EXPECT_EQ (installBundle (folder(), vst3Bundle, archiveOf (bytes)), RowOutcome::InstallFailed) << what;
        EXPECT_EQ (snapshotOf (root), before) << what;
        EXPECT_FALSE (juce::File ("/tmp/evil.txt").exists());
    }
}

TEST_F (InstallRunTest, AFullDiskFailsTheInstallAndKeepsTheOldBundle)
{
    makeOldBundle();
    const auto before = snapshotOf (bundle());

    rlimit original {};
    ASSERT_EQ (getrlimit (RLIMIT_FSIZE, &original), 0);
    auto previousHandler = std::signal (SIGXFSZ, SIG_IGN);
    rlimit limited = original;
    limited.rlim_cur = 1024 * 1024;  // every file may grow to 1 MB, far less than the module
    ASSERT_EQ (setrlimit (RLIMIT_FSIZE, &limited), 0);

    const auto outcome = installVst3 (folder());

    setrlimit (RLIMIT_FSIZE, &original);
    std::signal (SIGXFSZ, previousHandler);

    EXPECT_EQ (outcome, RowOutcome::InstallFailed);
    EXPECT_EQ (snapshotOf (bundle()), before);
    EXPECT_TRUE (stagingLeftovers (folder()).isEmpty());
}

TEST_F (InstallRunTest, PermissionDeniedFolderFailsWithoutDamage)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write anywhere; this runs again as an unprivileged user";

    makeOldBundle();
    const auto before = snapshotOf (root);
    ASSERT_EQ (chmod (folder().getFullPathName().toRawUTF8(), 0555), 0);
    ASSERT_EQ (chmod (folder().getParentDirectory().getFullPathName().toRawUTF8(), 0555), 0);

    EXPECT_EQ (installVst3 (folder()), RowOutcome::InstallFailed);
    EXPECT_EQ (removeBundle (folder(), vst3Bundle), RowOutcome::RemoveFailed);
    EXPECT_EQ (installVst3 (root.getChildFile ("Common Files/New Folder")), RowOutcome::InstallFailed);
    EXPECT_EQ (snapshotOf (root), before);

    chmod (folder().getParentDirectory().getFullPathName().toRawUTF8(), 0755);
    chmod (folder().getFullPathName().toRawUTF8(), 0755);
}

TEST_F (InstallRunTest, PermissionOnlyInsideTheFormatFolderStagesThere)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write anywhere; this runs again as an unprivileged user";

    makeOldBundle();
    ASSERT_EQ (chmod (folder().getParentDirectory().getFullPathName().toRawUTF8(), 0555), 0);
    EXPECT_EQ (installVst3 (folder()), RowOutcome::Installed);
    EXPECT_EQ (snapshotOf (bundle()), newBundle);
    EXPECT_TRUE (stagingLeftovers (folder()).isEmpty());
    chmod (folder().getParentDirectory().getFullPathName().toRawUTF8(), 0755);
}

TEST_F (InstallRunTest, UninstallRemovesOnlyTheBundle)
{
    makeOldBundle();
    ASSERT_TRUE (folder().getChildFile ("Another.vst3").createDirectory());

    EXPECT_EQ (removeBundle (folder(), vst3Bundle), RowOutcome::Removed);
    EXPECT_FALSE (bundle().exists());
    EXPECT_TRUE (folder().getChildFile ("Another.vst3").isDirectory());
    EXPECT_TRUE (stagingLeftovers (folder()).isEmpty());

    const auto before = snapshotOf (root);
    EXPECT_EQ (removeBundle (folder(), vst3Bundle), RowOutcome::Removed);  // nothing there: nothing changes
    EXPECT_EQ (snapshotOf (root), before);
}

TEST_F (InstallRunTest, RunProcessesSelectedRowsInOrderAndDeselectsThem)
{
    std::array<juce::File, numFormats> folders { root.getChildFile ("VST3"), root.getChildFile ("CLAP"), root.getChildFile ("AAX") };
    std::array<bool, numFormats> selected { true, false, true };

    auto outcomes = runInstallation (selected, folders, "Kestrune", false);
    EXPECT_EQ (outcomes[0], RowOutcome::Installed);
    EXPECT_EQ (outcomes[1], RowOutcome::NotProcessed);
    EXPECT_EQ (outcomes[2], RowOutcome::Installed);
    EXPECT_EQ (selected, (std::array<bool, numFormats> { false, false, false }));
    EXPECT_TRUE (folders[0].getChildFile ("Kestrune.vst3/Contents/x86_64-win/Kestrune.vst3").existsAsFile());
    EXPECT_FALSE (folders[1].exists());
    EXPECT_TRUE (folders[2].getChildFile ("Kestrune.aaxplugin/Contents/x64/Kestrune.aaxplugin").existsAsFile());

    selected = { true, true, true };
    outcomes = runInstallation (selected, folders, "Kestrune", true);
    for (const auto& outcome : outcomes)
        EXPECT_EQ (outcome, RowOutcome::Removed);
    for (const auto& folder : folders)
        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0) << folder.getFullPathName();

    selected = {};
    outcomes = runInstallation (selected, folders, "Kestrune", false);
    EXPECT_EQ (outcomes[0], RowOutcome::NotProcessed);
}

TEST_F (InstallRunTest, LeftoversOfADeadRunAreCleanedAndAMovedAsideBundlePutBack)
{
    makeOldBundle();
    const auto before = snapshotOf (bundle());
    const auto deadRun = folder().getParentDirectory().getChildFile (".qf-staging.2147483000.000000000000001f.VST3");
    ASSERT_TRUE (deadRun.getChildFile ("previous").createDirectory());
    ASSERT_TRUE (deadRun.getChildFile ("new/Kestrune.vst3/partial").create());
    ASSERT_TRUE (bundle().moveFileTo (deadRun.getChildFile ("previous/Kestrune.vst3")));
    const auto liveRun = folder().getChildFile (".qf-staging." + juce::String (getppid()) + ".000000000000002e.VST3");
    ASSERT_TRUE (liveRun.createDirectory());

    recoverInterruptedRuns (folder(), vst3Bundle);
    EXPECT_EQ (snapshotOf (bundle()), before);
    EXPECT_FALSE (deadRun.exists());
    EXPECT_TRUE (liveRun.exists());  // another installer may be working there
}

// Kills a real installing process at many moments. The bundle path must never hold a partial
// bundle, and after the next start's recovery it holds the complete old or new bundle.
// QF_KILL_ROUNDS sets the number of kills (30 here; scripts/soak.sh runs 1000).
TEST_F (InstallRunTest, KilledAtAnyMomentLosesNoBundle)
{
    const auto self = juce::File::getSpecialLocation (juce::File::currentExecutableFile).getFullPathName();
    const auto runChild = [&] (juce::ChildProcess& child) { return child.start (juce::StringArray { self, "--install-child", folder().getFullPathName() }); };

    makeOldBundle();
    const auto oldBundle = snapshotOf (bundle());
    const auto started = juce::Time::getMillisecondCounterHiRes();
    juce::ChildProcess timing;
    ASSERT_TRUE (runChild (timing));
    ASSERT_TRUE (timing.waitForProcessToFinish (60000));
    const auto fullRunMs = juce::Time::getMillisecondCounterHiRes() - started;
    ASSERT_EQ (snapshotOf (bundle()), newBundle);

    juce::Random random (7);
    int sawOld = 0, sawNew = 0, sawNothing = 0;
    const auto rounds = juce::jmax (1, juce::SystemStats::getEnvironmentVariable ("QF_KILL_ROUNDS", "30").getIntValue());
    for (int round = 0; round < rounds; ++round)
    {
        makeOldBundle();
        juce::ChildProcess child;
        ASSERT_TRUE (runChild (child));
        juce::Thread::sleep ((int) (random.nextDouble() * fullRunMs * 1.1));
        child.kill();
        child.waitForProcessToFinish (10000);

        const auto atBundlePath = snapshotOf (bundle());
        ASSERT_TRUE (atBundlePath.empty() || atBundlePath == oldBundle || atBundlePath == newBundle) << "round " << round;
        (atBundlePath.empty() ? sawNothing : atBundlePath == oldBundle ? sawOld : sawNew)++;

        recoverInterruptedRuns (folder(), vst3Bundle);
        const auto recovered = snapshotOf (bundle());
        ASSERT_TRUE (recovered == oldBundle || recovered == newBundle) << "round " << round;
        ASSERT_TRUE (stagingLeftovers (folder()).isEmpty()) << stagingLeftovers (folder()).joinIntoString (", ");
    }

    std::cout << "killed with old bundle in place " << sawOld << ", new " << sawNew << ", moved aside " << sawNothing << std::endl;
    EXPECT_GT (sawOld, 0);
}

namespace
{
// The offset of the last central-directory header in a zip: the entry written last.
size_t lastDirectoryHeader (const juce::MemoryBlock& zip)
{
    for (auto pos = zip.getSize() - 4; pos-- > 0;)
        if (juce::ByteOrder::littleEndianInt (static_cast<const char*> (zip.getData()) + pos) == 0x02014b50)
            return pos;
    return 0;
}

// The length and CRC-32 of what the framework inflates the last entry of a zip to.
std::pair<juce::int64, juce::uint32> inflatedLastEntry (const juce::MemoryBlock& zip)
{
    juce::ZipFile reader (new juce::MemoryInputStream (zip, false), true);
    std::unique_ptr<juce::InputStream> in (reader.createStreamForEntry (reader.getNumEntries() - 1));
    juce::HeapBlock<char> buffer (1 << 16);
    juce::int64 length = 0;
    juce::uint32 crc = 0;
    for (int n; in != nullptr && (n = in->read (buffer.get(), 1 << 16)) > 0; length += n)
        crc = ArchiveChecks::crc32Of (buffer.get(), (size_t) n, crc);
    return { length, crc };
}

// The VST3 archive with one bit flipped in the module's deflate stream such that it still
// inflates to the same length, but to other bytes: what a bad download or disk does unseen.
juce::MemoryBlock sameLengthCorruption()
{
    const juce::MemoryBlock original (vst3().archiveData, (size_t) vst3().archiveSize);
    const auto intact = inflatedLastEntry (original);
    const auto moduleDataEnd = lastDirectoryHeader (original) - 64;  // well inside the module's data

    for (size_t attempt = 0; attempt < 200; ++attempt)
    {
        auto block = original;
        const auto pos = moduleDataEnd - 1000 - attempt * 4099;
        block[pos] = (char) (block[pos] ^ (1 << (attempt % 8)));

        if (const auto damaged = inflatedLastEntry (block); damaged.first == intact.first && damaged.second != intact.second)
            return block;
    }

    return {};
}
} // namespace

TEST_F (InstallRunTest, ADamagedPayloadNeverReplacesTheOldBundle)
{
    const juce::MemoryBlock original (vst3().archiveData, (size_t) vst3().archiveSize);

    const auto sameLength = sameLengthCorruption();
    ASSERT_FALSE (sameLength.isEmpty()) << "no bit flip gave a same-length inflate";

    auto wrongStoredCrc = original;
    wrongStoredCrc[lastDirectoryHeader (original) + 16] ^= 0x01;

    // Each case carries the checksum of its own bytes, so only the entry checks can catch it.
    const std::pair<const char*, juce::MemoryBlock> cases[] = {
        { "same-length corruption in the deflate stream", sameLength },
        { "wrong CRC-32 in the directory, intact data", wrongStoredCrc },
    };

    for (const auto& [what, bytes] : cases)
    {
        makeOldBundle();
        const auto before = snapshotOf (root);
        const auto result = installBundle (folder(), vst3Bundle, archiveOf (bytes));
        EXPECT_EQ (result, RowOutcome::InstallFailed) << what;
        EXPECT_TRUE (result.reason.contains ("damaged")) << what << ": " << result.reason;
        EXPECT_EQ (snapshotOf (root), before) << what;  // old bundle byte for byte, no staging
    }
}

TEST_F (InstallRunTest, AnArchiveThatDoesNotMatchItsRecordedChecksumTouchesNothing)
{
    auto archive = embeddedArchive (0);
    archive.crc32 ^= 0x80000000u;
    const auto freshFolder = root.getChildFile ("Common Files/Not Yet There");
    const auto before = snapshotOf (root);

    EXPECT_EQ (installBundle (freshFolder, vst3Bundle, archive), RowOutcome::InstallFailed);
    EXPECT_EQ (snapshotOf (root), before);
    EXPECT_FALSE (freshFolder.exists());
}

TEST_F (InstallRunTest, AFormatFolderOnAnotherFileSystemStagesInsideIt)
{
    // As if another file system were mounted at the format folder: every rename from beside
    // it fails with EXDEV.
    makeOldBundle();
    ASSERT_TRUE (folder().getChildFile ("Other.vst3").createDirectory());
    Platform::simulateFileSystemBoundary (folder());

    const auto installed = installVst3 (folder());
    const auto stagedLeft = stagingLeftovers (folder());
    const auto removed = removeBundle (folder(), vst3Bundle);
    Platform::simulateFileSystemBoundary ({});

    EXPECT_EQ (installed, RowOutcome::Installed) << installed.reason;
    EXPECT_TRUE (stagedLeft.isEmpty()) << stagedLeft.joinIntoString (", ");
    EXPECT_EQ (removed, RowOutcome::Removed) << removed.reason;
    EXPECT_FALSE (Platform::entryExists (bundle()));
    EXPECT_TRUE (folder().getChildFile ("Other.vst3").isDirectory());
    EXPECT_TRUE (stagingLeftovers (folder()).isEmpty());
}

TEST_F (InstallRunTest, AFormatFolderOnARealSecondFileSystem)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a tmpfs needs root; the same path is covered through the EXDEV seam";

    ASSERT_TRUE (folder().createDirectory());
    if (mount ("qf_test", folder().getFullPathName().toRawUTF8(), "tmpfs", 0, "size=128m") != 0)
        GTEST_SKIP() << "this machine does not allow mounting a tmpfs: " << std::strerror (errno);

    makeOldBundle();
    const auto installed = installVst3 (folder());
    const auto afterInstall = snapshotOf (bundle());
    const auto stagedLeft = stagingLeftovers (folder());
    const auto removed = removeBundle (folder(), vst3Bundle);
    const bool bundleGone = ! Platform::entryExists (bundle());
    umount (folder().getFullPathName().toRawUTF8());

    EXPECT_EQ (installed, RowOutcome::Installed) << installed.reason;
    EXPECT_EQ (afterInstall, newBundle);
    EXPECT_TRUE (stagedLeft.isEmpty()) << stagedLeft.joinIntoString (", ");
    EXPECT_EQ (removed, RowOutcome::Removed) << removed.reason;
    EXPECT_TRUE (bundleGone);
}

TEST_F (InstallRunTest, RecoveryTouchesOnlyItsOwnFolderAndItsOwnBundle)
{
    // Format folders "P", "P-X" and "P.X" side by side, each with a dead run's staging whose
    // moved-aside bundle must go back to its own folder only.
    const auto parent = root.getChildFile ("Formats");
    const auto deadStaging = [&] (const juce::String& folderName, const juce::String& token, const juce::String& asideName)
    {
        const auto staging = parent.getChildFile (".qf-staging.2147483000." + token + "." + folderName);
        EXPECT_TRUE (staging.getChildFile ("previous").getChildFile (asideName).getChildFile ("marker").create());
        EXPECT_TRUE (parent.getChildFile (folderName).createDirectory());
        return staging;
    };
    const auto stagingP = deadStaging ("P", "00000000000000a1", vst3Bundle);
    const auto stagingPX = deadStaging ("P-X", "00000000000000a2", vst3Bundle);
    const auto stagingPdotX = deadStaging ("P.X", "00000000000000a3", vst3Bundle);
    const auto otherProduct = deadStaging ("P", "00000000000000a4", "Other.vst3");

    recoverInterruptedRuns (parent.getChildFile ("P"), vst3Bundle);
    EXPECT_TRUE (parent.getChildFile ("P").getChildFile (vst3Bundle).getChildFile ("marker").existsAsFile());
    EXPECT_FALSE (stagingP.exists());
    EXPECT_TRUE (stagingPX.exists());
    EXPECT_TRUE (stagingPdotX.exists());
    EXPECT_FALSE (parent.getChildFile ("P-X").getChildFile (vst3Bundle).exists());
    EXPECT_TRUE (otherProduct.getChildFile ("previous/Other.vst3/marker").existsAsFile());  // left for its installer
    EXPECT_FALSE (parent.getChildFile ("P").getChildFile ("Other.vst3").exists());

    recoverInterruptedRuns (parent.getChildFile ("P-X"), vst3Bundle);
    EXPECT_TRUE (parent.getChildFile ("P-X").getChildFile (vst3Bundle).getChildFile ("marker").existsAsFile());
    EXPECT_FALSE (stagingPX.exists());
    EXPECT_TRUE (stagingPdotX.exists());
}

TEST_F (InstallRunTest, ADriveThePrefixDoesNotMapFailsWithoutCreatingIt)
{
    const auto onE = Platform::fileFromWindowsPath ("E:\\Plugins\\VST3");
    const auto before = snapshotOf (root);

    const auto result = installVst3 (onE);
    EXPECT_EQ (result, RowOutcome::InstallFailed);
    EXPECT_EQ (result.reason, "drive E: is not available");
    EXPECT_EQ (snapshotOf (root), before);
    EXPECT_FALSE (Platform::entryExists (prefix.getChildFile ("dosdevices/e:")));

    // Once Wine maps the drive, the same folder works.
    ASSERT_TRUE (prefix.getChildFile ("dosdevices").createDirectory());
    ASSERT_TRUE (root.getChildFile ("second-drive").createDirectory());
    ASSERT_TRUE (root.getChildFile ("second-drive").createSymbolicLink (prefix.getChildFile ("dosdevices/e:"), true));
    EXPECT_EQ (installVst3 (onE), RowOutcome::Installed);
    EXPECT_EQ (snapshotOf (root.getChildFile ("second-drive/Plugins/VST3").getChildFile (vst3Bundle)), newBundle);
}

// Two installers started at once on one prefix, with and without a settings file to create
// first: neither may lose a bundle or leave staging behind, and the file stays well-formed.
TEST_F (InstallRunTest, TwoInstallersAtOnceLoseNothing)
{
    const auto self = juce::File::getSpecialLocation (juce::File::currentExecutableFile).getFullPathName();
    const auto settings = SettingsFile::fileIn (driveC().getChildFile ("ProgramData/Quillfern"));
    std::array<std::map<juce::String, juce::String>, numFormats> expected;
    for (int row = 0; row < numFormats; ++row)
    {
        const auto reference = root.getChildFile ("reference").getChildFile (juce::String (row));
        extractEmbeddedArchive (row, reference);
        expected[(size_t) row] = snapshotOf (bundleFile (reference, "Kestrune", row));
    }

    for (int round = 0; round < 6; ++round)
    {
        if (round % 2 == 0)
            settings.deleteFile();
        for (int row = 0; row < numFormats && round % 3 == 1; ++row)  // an older bundle to replace
        {
            const auto bundle = bundleFile (defaultFormatFolder (row), "Kestrune", row);
            ASSERT_TRUE (row == 1 ? bundle.replaceWithText ("an old CLAP") : bundle.getChildFile ("old.txt").create());
        }

        juce::ChildProcess first, second;
        ASSERT_TRUE (first.start (juce::StringArray { self, "--installer-child", prefix.getFullPathName() }));
        ASSERT_TRUE (second.start (juce::StringArray { self, "--installer-child", prefix.getFullPathName() }));
        ASSERT_TRUE (first.waitForProcessToFinish (60000) && second.waitForProcessToFinish (60000));
        for (auto* child : { &first, &second })
            EXPECT_EQ (child->getExitCode(), 0u) << "round " << round << ": " << child->readAllProcessOutput();

        for (int row = 0; row < numFormats; ++row)
        {
            EXPECT_EQ (snapshotOf (bundleFile (defaultFormatFolder (row), "Kestrune", row)), expected[(size_t) row]) << "round " << round;
            EXPECT_TRUE (stagingLeftovers (defaultFormatFolder (row)).isEmpty()) << stagingLeftovers (defaultFormatFolder (row)).joinIntoString (", ");
        }

        const auto element = SettingsFile::parse (settings);
        ASSERT_NE (element, nullptr) << "round " << round;
        EXPECT_EQ (element->getNumAttributes(), 4);
    }
}
