#pragma once

#include <functional>
#include <map>
#include <vector>

#include "ScriptedServices.h"

// A fake clock whose time moves only while the program waits for events, with user events
// scripted at moments of the monotonic clock: a wait that reaches the next event's moment
// moves the clock there and runs the event, as the event loop would.
class ScriptedEventClock : public testing_support::FakeClock {
  public:
    void at(qint64 atMs, std::function<void()> event) { events_.emplace(atMs, std::move(event)); }
    void waitForEvents(int maxMilliseconds) override;

    std::vector<int> waits;  // the length of every wait asked for

  private:
    void advanceTo(qint64 ms);
    std::multimap<qint64, std::function<void()>> events_;
};
