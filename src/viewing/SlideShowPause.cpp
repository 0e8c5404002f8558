#include "viewing/SlideShowPause.h"

#include <algorithm>

#include "platform/services/ClockService.h"

void slideShowPause(platform::ClockService& clock, const long& pauseSeconds, const bool* stop) {
    const qint64 start = clock.monotonicMilliseconds();
    for (;;) {
        if (stop && *stop)
            return;
        const qint64 end = start + qint64(pauseSeconds) * 1000;
        const qint64 now = clock.monotonicMilliseconds();
        if (now >= end)
            return;
        // Sleeps until the next event or the end of the pause, whichever comes first.
        clock.waitForEvents(int(std::min<qint64>(end - now, 60 * 1000)));
    }
}
