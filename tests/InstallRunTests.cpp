#include "InstallRun.h"
#include "helpers/BundleFixtures.h"
#include "helpers/TestFolders.h"

#include <sys/resource.h>
#include <csignal>

namespace
{
const juce::String vst3Bundle ("Kestrune.vst3");

const PluginFormat& vst3() { return pluginFormats()[0]; }

RowOutcome installVst3 (const juce::File& folder)
{
    return installBundle (folder, vst3Bundle, vst3().archiveData, (size_t) vst3().archiveSize);
}

juce::StringArray stagingLeftovers (const juce::File& folder)
{
    juce::StringArray found;
    for (const auto& place : { folder.getParentDirectory(), folder })
        for (const auto& entry : juce::RangedDirectoryIterator (place, false, ".qf-staging-*", juce::File::findFilesAndDirectories))
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

    EXPECT_EQ (installBundle (folder(), vst3Bundle, archive.getData(), archive.getSize()), RowOutcome::Installed);
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
        EXPECT_EQ (installBundle (folder(), vst3Bundle, bytes.getData(), bytes.getSize()), RowOutcome::InstallFailed) << what;
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
    EXPECT_EQ (outcomes, (std::array<RowOutcome, numFormats> { RowOutcome::Removed, RowOutcome::Removed, RowOutcome::Removed }));
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
    const auto deadRun = folder().getParentDirectory().getChildFile (".qf-staging-VST3-2147483000-1f");
    ASSERT_TRUE (deadRun.getChildFile ("previous").createDirectory());
    ASSERT_TRUE (deadRun.getChildFile ("new/Kestrune.vst3/partial").create());
    ASSERT_TRUE (bundle().moveFileTo (deadRun.getChildFile ("previous/Kestrune.vst3")));
    const auto liveRun = folder().getChildFile (".qf-staging-VST3-" + juce::String (getppid()) + "-2e");
    ASSERT_TRUE (liveRun.createDirectory());

    recoverInterruptedRuns (folder());
    EXPECT_EQ (snapshotOf (bundle()), before);
    EXPECT_FALSE (deadRun.exists());
    EXPECT_TRUE (liveRun.exists());  // another installer may be working there
}

// Kills a real installing process at many moments. The bundle path must never hold a partial
// bundle, and after the next start's recovery it holds the complete old or new bundle.
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
    for (int round = 0; round < 30; ++round)
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

        recoverInterruptedRuns (folder());
        const auto recovered = snapshotOf (bundle());
        ASSERT_TRUE (recovered == oldBundle || recovered == newBundle) << "round " << round;
        ASSERT_TRUE (stagingLeftovers (folder()).isEmpty()) << stagingLeftovers (folder()).joinIntoString (", ");
    }

    std::cout << "killed with old bundle in place " << sawOld << ", new " << sawNew << ", moved aside " << sawNothing << std::endl;
    EXPECT_GT (sawOld, 0);
}
