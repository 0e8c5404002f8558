#include "ScriptedEventClock.h"

#include <stdexcept>

void ScriptedEventClock::advanceTo(qint64 ms) {
    if (ms <= monotonicMs)
        return;
    secondsSinceMidnight += (ms - monotonicMs) / 1000.0;
    if (secondsSinceMidnight >= 86400.0)
        secondsSinceMidnight -= 86400.0;
    monotonicMs = ms;
}

void ScriptedEventClock::waitForEvents(int maxMilliseconds) {
    ++eventRounds;
    waits.push_back(maxMilliseconds);
    // A pause that needs this many waits spins or never ends.
    if (waits.size() > 10000)
        throw std::runtime_error("the wait never ends");
    const qint64 until = monotonicMs + maxMilliseconds;
    if (events_.empty() || events_.begin()->first > until) {
        advanceTo(until);
        return;
    }
    auto next = events_.begin();
    std::function<void()> event = std::move(next->second);
    advanceTo(next->first);
    events_.erase(next);
    event();
}
