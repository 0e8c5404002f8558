#include "core/SizeMode.h"

namespace {

ShownSize fittedByOrientation(QSizeF natural, QSizeF box) {
    const double w = natural.width();
    const double h = natural.height();
    ShownSize shown;
    shown.stretched = true;
    if (w > h) {
        shown.width = box.width();
        shown.height = h / w * box.width();
    } else {
        if (h != 0)
            shown.width = w / h * box.height();
        shown.height = box.height();
    }
    return shown;
}

ShownSize filling(QSizeF box) {
    return {box.width(), box.height(), true};
}

}  // namespace

SizeMode sizeModeOf(long index) {
    if (index < 0 || index > long(SizeMode::FullScreen))
        return SizeMode::None;
    return static_cast<SizeMode>(index);
}

bool isFullScreen(SizeMode mode) {
    return mode == SizeMode::FullScreenMaintainAspect || mode == SizeMode::FullScreen;
}

ShownSize shownSize(SizeMode mode, QSizeF natural, QSizeF area, QSizeF screen) {
    switch (mode) {
        case SizeMode::ResizeMaintainAspect:
            return fittedByOrientation(natural, area);
        case SizeMode::ResizeToWindow:
            return filling(area);
        case SizeMode::FullScreenMaintainAspect:
            return fittedByOrientation(natural, screen);
        case SizeMode::FullScreen:
            return filling(screen);
        case SizeMode::OriginalSize:
        case SizeMode::None:
            break;
    }
    return {natural.width(), natural.height(), false};
}
