#pragma once

#include <functional>

class QWidget;

namespace platform {

// Runs `work` once `window` has painted its first frame and handed it to the display server,
// or on the next turn of the event loop when it already has. Start-up leaves to it what the
// first frame can do without, so the window appears sooner.
void afterFirstFrame(QWidget* window, std::function<void()> work);

}  // namespace platform
