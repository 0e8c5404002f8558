// The views a picture is loaded for, the coarse picture shown while a big one decodes, and
// decoding the slide show's next picture ahead, during the pause.
#include <cmath>

#include "core/Modulo1.h"
#include "core/Program.h"
#include "core/SizeMode.h"
#include "core/frmVedra.h"
#include "platform/Twips.h"
#include "platform/Volumes.h"
#include "platform/services/ScreenService.h"
#include "viewing/frmFS.h"

using platform::pixelsToTwips;
using platform::roundHalfEven;
using platform::ShownView;
using platform::twipsToPixels;

namespace {

QSizeF twipsOf(QSize pixels) {
    return {pixelsToTwips(pixels.width()), pixelsToTwips(pixels.height())};
}

// The pixels of a stretched size (a picture with no height keeps its natural width).
QSize pixelsOf(const ShownSize& shown, QSize natural) {
    return {shown.width ? twipsToPixels(*shown.width) : natural.width(),
            twipsToPixels(shown.height)};
}

// The main window's mode for the picture it shows itself: in the full-screen modes it
// keeps the picture at its natural size behind the full-screen window.
SizeMode mainWindowMode(long index) {
    const SizeMode mode = sizeModeOf(index);
    return isFullScreen(mode) ? SizeMode::OriginalSize : mode;
}

// The part of a picture at natural size that a frame of `frame` twips shows when the picture
// is centred in it as CentraImmagine centres it, with a pixel or two to spare for rounding.
QRect seenInFrame(QSize natural, QSizeF frame) {
    const QSizeF twips = twipsOf(natural);
    const double left = roundHalfEven((frame.width() - twips.width()) / 2);
    const double top = roundHalfEven((frame.height() - twips.height()) / 2);
    const QRect seen(int(std::floor(-left / platform::TwipsPerPixel)),
                     int(std::floor(-top / platform::TwipsPerPixel)),
                     int(std::ceil(frame.width() / platform::TwipsPerPixel)),
                     int(std::ceil(frame.height() / platform::TwipsPerPixel)));
    return seen.adjusted(-2, -2, 2, 2).intersected(QRect(QPoint(0, 0), natural));
}

// The view of a picture in the main window: the size `mode` gives it in `area`, and at
// natural size the part that `frame` shows.
platform::ShownViewFor viewInFrame(SizeMode mode, QSizeF area, QSizeF frame, double ratio) {
    // May run on the read-ahead's worker thread: it uses only the values captured here.
    return [mode, area, frame, ratio](QSize natural) -> ShownView {
        const ShownSize shown = shownSize(mode, twipsOf(natural), area, QSizeF());
        if (shown.stretched)
            return {pixelsOf(shown, natural), QRect(), ratio};
        return {natural, seenInFrame(natural, frame), ratio};
    };
}

}  // namespace

platform::ShownViewFor frmVedra::viewAtStart() {
    // Original Size, the mode at start, needs no area, and at natural size the picture is
    // prepared whatever the screen's pixel ratio, which is not known before the application
    // exists.
    return viewInFrame(SizeMode::OriginalSize, QSizeF(), QSizeF(FrameWidth, FrameHeight), 1);
}

bool frmVedra::fullScreenOpen() const {
    const ::frmFS* fs = program_.frmFS.peek();
    return fs && fs->Visible();
}

platform::ShownViewFor frmVedra::shownViewInMainWindow() const {
    return viewInFrame(mainWindowMode(ModoDimensioni_), areaForWindowState(),
                       QSizeF(Picture1.Width(), Picture1.Height()), Image1.devicePixelRatio());
}

platform::ShownViewFor frmVedra::shownViewForLoad() const {
    const SizeMode mode = sizeModeOf(ModoDimensioni_);
    if (!isFullScreen(mode) && !fullScreenOpen())
        return shownViewInMainWindow();
    // The full-screen window shows every picture the main window loads, bigger.
    const bool keepAspect = mode == SizeMode::FullScreenMaintainAspect ||
                            (mode != SizeMode::FullScreen && m_.MantieniAspettoFS);
    const platform::ScreenService& screen = *program_.services().screen;
    const QSizeF screenSize(screen.Width(), screen.Height());
    const ::frmFS* fs = program_.frmFS.peek();
    const double ratio = fs ? fs->Image1.devicePixelRatio() : Image1.devicePixelRatio();
    return [keepAspect, screenSize, ratio](QSize natural) -> ShownView {
        const ShownSize shown =
            shownSize(keepAspect ? SizeMode::FullScreenMaintainAspect : SizeMode::FullScreen,
                      twipsOf(natural), QSizeF(), screenSize);
        return {pixelsOf(shown, natural), QRect(), ratio};
    };
}

void frmVedra::showLoadPreview(const QImage& coarse, QSize natural) {
    if (fullScreenOpen()) {
        // Centred on the screen at the size the window will show it.
        const platform::ScreenService& screen = *program_.services().screen;
        const QSizeF size = twipsOf(shownViewForLoad()(natural).size);
        program_.frmFS.peek()->Image1.showPreview(
            coarse, QRectF(QPointF(roundHalfEven((screen.Width() - size.width()) / 2),
                                   roundHalfEven((screen.Height() - size.height()) / 2)),
                           size));
        return;
    }
    // Where the picture will be: sized by the mode and centred in the frame.
    const ShownSize shown = shownSize(mainWindowMode(ModoDimensioni_), twipsOf(natural),
                                      areaForWindowState(), QSizeF());
    const QSizeF size(shown.width.value_or(pixelsToTwips(natural.width())), shown.height);
    const QPointF topLeft(roundHalfEven((Picture1.Width() - size.width()) / 2),
                          roundHalfEven((Picture1.Height() - size.height()) / 2));
    QRectF place(topLeft, size);
    const QRect seen = shownViewInMainWindow()(natural).visible;
    if (!shown.stretched && !seen.isEmpty() && coarse.size() == seen.size())
        place = QRectF(topLeft + QPointF(pixelsToTwips(seen.x()), pixelsToTwips(seen.y())),
                       twipsOf(seen.size()));
    Image1.showPreview(coarse, place);
}

void frmVedra::endLoadPreview() {
    Image1.endPreview();
    if (::frmFS* fs = program_.frmFS.peek())
        fs->Image1.endPreview();
}

void frmVedra::prefetchEntry(long index) {
    if (index < 0 || index >= File1.ListCount())
        return;
    const QString path = platform::joinPath(File1.Path(), File1.List(int(index)));
    // With the full-screen window open, the main window behind it keeps its own size: a
    // scaled view is prepared too, from the bigger copy, so neither window decodes during
    // the step. At natural size the main window is covered and decodes only when seen.
    platform::ShownViewFor behind;
    if (fullScreenOpen() && !isFullScreen(sizeModeOf(ModoDimensioni_)))
        behind = shownViewInMainWindow();
    program_.prefetcher.prefetch(path, shownViewForLoad(), behind);
}
