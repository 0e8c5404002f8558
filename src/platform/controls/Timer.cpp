#include "platform/controls/Timer.h"
#include "platform/HandlerGuard.h"

#include <QTimer>
#include <algorithm>

namespace platform {

namespace {
// The shortest tick a timer really gets, as on the desktops the program was made for, where
// the system clock ticked about every 16 to 55 ms whatever interval was asked for. A shorter
// interval would make things driven tick by tick (the scrolling credits) run several times
// faster than they were meant to, and keep a processor core busy for nothing.
constexpr int ShortestTickMs = 40;
}  // namespace

Timer::Timer(int intervalMs, bool enabled)
    : timer_(std::make_unique<QTimer>()), interval_(intervalMs), enabled_(enabled) {
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { runHandler([this] { tick(); }); });
    restart();
}

Timer::~Timer() = default;

void Timer::setInterval(int ms) {
    interval_ = ms;
    restart();
}

void Timer::setEnabled(bool enabled) {
    enabled_ = enabled;
    restart();
}

void Timer::restart() {
    if (enabled_ && interval_ > 0)
        timer_->start(std::max(interval_, ShortestTickMs));
    else
        timer_->stop();
}

void Timer::tick() {
    if (inHandler_ || !onTimer)
        return;
    inHandler_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inHandler_};
    onTimer();
}

}  // namespace platform
