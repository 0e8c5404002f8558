#pragma once

namespace platform {
class ClockService;
}

// The pause that follows every slide-show step, in the main window and in the full-screen
// window. It lets user-interface events run until `pauseSeconds` seconds have passed since
// it began, re-reading `pauseSeconds` on every round so a speed chosen during the pause
// counts for it at once. It sleeps between events instead of polling, and it measures with
// the monotonic clock so a pause that spans midnight still lasts its length.
//
// The two windows' pauses nest: an event handled here may start the other window's pause,
// which must end before this one can. `stop`, when given, ends the pause early as soon as
// it reads true after an event.
void slideShowPause(platform::ClockService& clock, const long& pauseSeconds,
                    const bool* stop = nullptr);
