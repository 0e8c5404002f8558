#pragma once

#include <functional>
#include <memory>

class QTimer;

namespace platform {

// Raises onTimer every Interval milliseconds while enabled, and never again while its
// handler is still running (a handler that waits lets events run, but not itself). Intervals
// shorter than the platform's tick (40 ms) run at that tick; Interval keeps what was set.
class Timer {
  public:
    explicit Timer(int intervalMs = 0, bool enabled = true);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    int Interval() const { return interval_; }
    void setInterval(int ms);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool isRunningHandler() const { return inHandler_; }

    std::function<void()> onTimer;

    // Raises the event now, as a tick would (tests use it to step time by hand).
    void tick();

  private:
    void restart();

    std::unique_ptr<QTimer> timer_;
    int interval_;
    bool enabled_;
    bool inHandler_ = false;
};

}  // namespace platform
