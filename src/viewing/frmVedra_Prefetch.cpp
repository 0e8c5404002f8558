// Decoding the slide show's next picture ahead, during the pause.
#include "core/Modulo1.h"
#include "core/Program.h"
#include "core/frmVedra.h"
#include "platform/PicturePrefetcher.h"
#include "platform/Twips.h"
#include "platform/Volumes.h"
#include "platform/services/ScreenService.h"
#include "viewing/frmFS.h"

namespace {

// The size a picture is fitted to when it keeps its proportions: its own orientation decides
// the side that fills the box, as the size modes do.
QSize fittedByOrientation(QSize natural, QSizeF box) {
    if (natural.isEmpty())
        return {};
    const double w = natural.width();
    const double h = natural.height();
    if (w > h)
        return QSize(qRound(box.width()), qRound(h / w * box.width()));
    return QSize(qRound(w / h * box.height()), qRound(box.height()));
}

}  // namespace

void frmVedra::prefetchEntry(long index) {
    if (index < 0 || index >= File1.ListCount())
        return;
    const QString path = platform::joinPath(File1.Path(), File1.List(int(index)));
    // With the full-screen window open, the main window behind it keeps its own size: it is
    // prepared too, from the bigger copy, so neither window decodes during the step.
    platform::PicturePrefetcher::instance().prefetch(
        path, shownSizeInCurrentMode(), fullScreenOpen() ? shownSizeInMainWindow() : nullptr);
}

bool frmVedra::fullScreenOpen() const {
    const ::frmFS* fs = program_.frmFS.peek();
    return fs && fs->Visible();
}

std::function<QSize(QSize)> frmVedra::shownSizeInCurrentMode() const {
    if (!fullScreenOpen())
        return shownSizeInMainWindow();
    // The open full-screen window shows every picture the main window loads, whatever the
    // size mode, and it shows it bigger.
    const platform::ScreenService& screen = *program_.services().screen;
    const QSizeF screenSize(screen.Width() / platform::TwipsPerPixel,
                            screen.Height() / platform::TwipsPerPixel);
    const bool keepAspect = m_.MantieniAspettoFS;
    return [keepAspect, screenSize](QSize natural) -> QSize {
        return keepAspect ? fittedByOrientation(natural, screenSize) : screenSize.toSize();
    };
}

std::function<QSize(QSize)> frmVedra::shownSizeInMainWindow() const {
    const QSizeF area = areaForWindowState() / platform::TwipsPerPixel;
    const platform::ScreenService& screen = *program_.services().screen;
    const QSizeF screenSize(screen.Width() / platform::TwipsPerPixel,
                            screen.Height() / platform::TwipsPerPixel);
    const long mode = ModoDimensioni_;
    // May run on the worker thread: it uses only the values captured here.
    return [mode, area, screenSize](QSize natural) -> QSize {
        switch (mode) {
            case 1:
                return fittedByOrientation(natural, area);
            case 2:
                return area.toSize();
            case 3:
                return fittedByOrientation(natural, screenSize);
            case 4:
                return screenSize.toSize();
            default:
                return {};  // at natural size only the seen part is decoded, quickly
        }
    };
}
