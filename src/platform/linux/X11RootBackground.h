#pragma once

class QImage;

namespace platform {

enum class RootBackgroundResult { Set, NoDisplay, Failed };

// Makes `picture`, zoomed to cover the screen with its proportions kept and centred, the
// background of the X display's root window:
// a pixmap kept after this program ends, announced through the _XROOTPMAP_ID and
// ESETROOT_PMAP_ID properties that desktop programs read. The pixmap a previous setter left
// under the same convention is freed. NoDisplay when the program is not on Qt's X11 platform
// (in a Wayland session, say), whatever DISPLAY names.
RootBackgroundResult setX11RootBackground(const QImage& picture);

}  // namespace platform
