#pragma once

#include <juce_events/juce_events.h>

namespace juce::detail
{
// The framework's own step of its message loop (defined in juce_events); the public loop
// functions need modal loops, which the installer does not allow.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce::detail

// Runs the message loop on this thread for a while, or until the condition holds: timers
// fire, repaints happen, as in the running application.
template <typename Condition>
bool runMessageLoopUntil (Condition&& condition, int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
    while (! condition())
    {
        if (juce::Time::getMillisecondCounterHiRes() > end)
            return false;
        if (! juce::detail::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
    }
    return true;
}

inline void runMessageLoopFor (int milliseconds)
{
    runMessageLoopUntil ([] { return false; }, milliseconds);
}
