#pragma once

#include <QtGlobal>

namespace platform {

// Time and waiting. Timer() is seconds since midnight; monotonic time never jumps, so a
// pause measured with it lasts its length across midnight or a clock change.
class ClockService {
  public:
    virtual ~ClockService() = default;
    virtual float Timer() const = 0;
    virtual qint64 monotonicMilliseconds() const = 0;
    // Runs pending events once.
    virtual void DoEvents() = 0;
    // Runs events as they come until `maxMilliseconds` have passed or one event was handled,
    // sleeping in between (no busy loop).
    virtual void waitForEvents(int maxMilliseconds) = 0;
};

}  // namespace platform
