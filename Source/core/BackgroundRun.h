#pragma once

#include "InstallRun.h"

#include <juce_core/juce_core.h>

#include <atomic>

// An install or uninstall run on a thread of its own, so that a window keeps painting and
// answering while it works. Its progress can be read from any thread at any time; its results
// once it has finished.
class BackgroundRun final : private juce::Thread,
                      private RunListener
{
public:
    // Starts the run at once. `observer`, when given, hears every event too, on the run's
    // thread, and may stop the run; it must outlive this object.
    explicit BackgroundRun (RunPlan plan, RunListener* observer = nullptr);

    // Asks the run to stop after its current file operation, and waits for it: every bundle
    // path is left safe (see RunListener::shouldStop).
    ~BackgroundRun() override;

    struct Progress
    {
        int row = -1;  // the row being processed; -1 before the first
        juce::int64 bytesWritten = 0, bytesToWrite = 0;
        int rowsDone = 0, rows = 0;

        // 0 to 1: by bytes for an install, by rows for an uninstall.
        double fraction() const;
    };

    Progress progress() const;
    bool isFinished() const { return finished.load (std::memory_order_acquire); }

    // Blocks until the run has ended.
    void waitUntilFinished();

    // What the run did to each row; read only once isFinished() is true.
    const std::array<RowResult, numFormats>& results() const { return rowResults; }

    const RunPlan& plan() const { return runPlan; }

private:
    void run() override;

    void runStarted (juce::int64 bytes, int rows) override;
    void rowStarted (int row) override;
    void bytesWritten (juce::int64 bytes) override;
    void fileOperation (const juce::String& what) override;
    void rowFinished (int row, const RowResult&) override;
    bool shouldStop() override;

    const RunPlan runPlan;
    RunListener* const observer;
    std::array<RowResult, numFormats> rowResults {};

    std::atomic<int> currentRow { -1 }, rowsDone { 0 }, rowCount { 0 };
    std::atomic<juce::int64> written { 0 }, toWrite { 0 };
    std::atomic<bool> finished { false };
    juce::WaitableEvent finishedEvent { true };

    JUCE_DECLARE_NON_COPYABLE (BackgroundRun)
};
