#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>
#include <vector>

#include "ScriptedServices.h"

// A fake clock whose time moves only while the program waits for events, with user events
// scripted at moments of the monotonic clock: a wait that reaches the next event's moment
// moves the clock there and runs the event, as the event loop would.
class ScriptedEventClock : public testing_support::FakeClock {
  public:
    void at(qint64 atMs, std::function<void()> event) { events_.emplace(atMs, std::move(event)); }
    void waitForEvents(int maxMilliseconds) override {
        waits.push_back(maxMilliseconds);
        // A pause that needs this many waits spins or never ends.
        if (waits.size() > 10000)
            throw std::runtime_error("the wait never ends");
        if (events_.empty() || events_.begin()->first > monotonicMs + maxMilliseconds)
            return FakeClock::waitForEvents(maxMilliseconds);
        const auto next = events_.begin();
        const std::function<void()> event = std::move(next->second);
        FakeClock::waitForEvents(int(std::max<qint64>(0, next->first - monotonicMs)));
        events_.erase(next);
        event();
    }

    std::vector<int> waits;  // the length of every wait asked for

  private:
    std::multimap<qint64, std::function<void()>> events_;
};
