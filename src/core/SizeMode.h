#pragma once

#include <QSizeF>
#include <optional>

// The size modes, by the index of their item in the size-mode box.
enum class SizeMode {
    None = -1,  // no item selected: nothing is applied
    OriginalSize = 0,
    ResizeMaintainAspect = 1,
    ResizeToWindow = 2,
    FullScreenMaintainAspect = 3,
    FullScreen = 4,
};

// The mode of an item index; an index without an item is None.
SizeMode sizeModeOf(long index);
// Whether the mode shows pictures in the full-screen window.
bool isFullScreen(SizeMode mode);

// The size a picture is shown at, in twips.
struct ShownSize {
    // None when the picture has no height to fit by: the control keeps the width it had.
    std::optional<double> width;
    double height = 0;
    // The picture is scaled to the size; false: it is shown at its natural size.
    bool stretched = false;
};

// The one rule for the size a picture of natural size `natural` is shown at, all in twips.
// Original Size: natural. Resize Maintain Aspect: fitted to `area`, the picture's own
// orientation choosing the side that fills it (a landscape picture gets the area's width, a
// portrait or square one its height, even when the other side then overflows). Resize to
// Window: the area. Full Screen Maintain Aspect: fitted to `screen` the same way. Full
// Screen: the screen. None: natural. Ratios are computed in double precision, division first.
ShownSize shownSize(SizeMode mode, QSizeF natural, QSizeF area, QSizeF screen);
