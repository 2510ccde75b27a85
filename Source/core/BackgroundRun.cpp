#include "BackgroundRun.h"

double BackgroundRun::Progress::fraction() const
{
    if (bytesToWrite > 0)
        return juce::jlimit (0.0, 1.0, (double) bytesWritten / (double) bytesToWrite);
    return rows > 0 ? juce::jlimit (0.0, 1.0, (double) rowsDone / (double) rows) : 0.0;
}

BackgroundRun::BackgroundRun (RunPlan plan, RunListener* runObserver)
    : juce::Thread ("install run"), runPlan (std::move (plan)), observer (runObserver)
{
    startThread();
}

BackgroundRun::~BackgroundRun()
{
    stopThread (-1);  // the run sees threadShouldExit() at its next check
}

BackgroundRun::Progress BackgroundRun::progress() const
{
    return { currentRow.load(), written.load(), toWrite.load(), rowsDone.load(), rowCount.load() };
}

void BackgroundRun::waitUntilFinished()
{
    finishedEvent.wait (-1);
}

void BackgroundRun::run()
{
    rowResults = runInstallation (runPlan, this);
    finished.store (true, std::memory_order_release);
    finishedEvent.signal();
}

void BackgroundRun::runStarted (juce::int64 bytes, int rows)
{
    toWrite = bytes;
    rowCount = rows;
    if (observer != nullptr)
        observer->runStarted (bytes, rows);
}

void BackgroundRun::rowStarted (int row)
{
    currentRow = row;
    if (observer != nullptr)
        observer->rowStarted (row);
}

void BackgroundRun::bytesWritten (juce::int64 bytes)
{
    written += bytes;
    if (observer != nullptr)
        observer->bytesWritten (bytes);
}

void BackgroundRun::fileOperation (const juce::String& what)
{
    if (observer != nullptr)
        observer->fileOperation (what);
}

void BackgroundRun::rowFinished (int row, const RowResult& result)
{
    ++rowsDone;
    if (observer != nullptr)
        observer->rowFinished (row, result);
}

bool BackgroundRun::shouldStop()
{
    return threadShouldExit() || (observer != nullptr && observer->shouldStop());
}
