#pragma once

#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/AfterFirstFrame.h"

namespace platform {

// Start-up timing seen from outside. When the environment variable VEDRA_REPORT_FIRST_PAINT
// is set, the watched window writes one line "first-paint NANOSECONDS" to stderr once its
// first frame has been painted and handed to the display server, NANOSECONDS being the
// monotonic clock (CLOCK_MONOTONIC) at that moment. The start-up benchmark reads the line,
// from this program and from a minimal Qt program that uses the same probe.
inline void reportFirstPaint(QWidget* window) {
    if (std::getenv("VEDRA_REPORT_FIRST_PAINT") == nullptr)
        return;
    afterFirstFrame(window, [] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::fprintf(stderr, "first-paint %lld\n",
                     static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stderr);
    });
}

}  // namespace platform
