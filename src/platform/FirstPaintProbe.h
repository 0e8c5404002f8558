#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace platform {

// Start-up timing seen from outside. When the environment variable VEDRA_REPORT_FIRST_PAINT
// is set, the watched window writes one line "first-paint NANOSECONDS" to stderr once its
// first frame has been painted and handed to the display server, NANOSECONDS being the
// monotonic clock (CLOCK_MONOTONIC) at that moment. The start-up benchmark reads the line,
// from this program and from a minimal Qt program that uses the same probe.
class FirstPaintProbe : public QObject {
  public:
    static void watch(QWidget* window) {
        if (std::getenv("VEDRA_REPORT_FIRST_PAINT") != nullptr)
            window->installEventFilter(new FirstPaintProbe(window));
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            // The paint event comes before the window's children are painted and the frame is
            // flushed; a zero timer runs once that whole round is done.
            QTimer::singleShot(0, this, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::fprintf(stderr, "first-paint %lld\n",
                             static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                std::fflush(stderr);
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    explicit FirstPaintProbe(QObject* parent) : QObject(parent) {}
    bool reported_ = false;
};

}  // namespace platform
