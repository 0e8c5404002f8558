#pragma once

class QWidget;

namespace platform {

// Forgets a minimising that is over. Minimising a window asks the window manager, in the
// window's WM_HINTS, to map it iconic; a window restored by the window manager keeps that
// request, so the next time it is hidden and shown again it would come back minimised. Call
// before showing a hidden window that is not minimised. Does nothing off X11.
void clearIconicStart(QWidget* window);

}  // namespace platform
