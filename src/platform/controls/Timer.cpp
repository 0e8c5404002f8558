#include "platform/controls/Timer.h"
#include "platform/HandlerGuard.h"

#include <QTimer>

namespace platform {

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
        timer_->start(interval_);
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
