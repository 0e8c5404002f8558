#include "platform/ScreenCover.h"

#include <QEvent>
#include <QGuiApplication>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace platform {
namespace {

class ScreenCover : public QObject {
  public:
    ScreenCover() {
        connect(qApp, &QGuiApplication::focusWindowChanged, this, &ScreenCover::focusMoved);
    }

    void cover(QWidget* window) {
        if (window_ == window)
            return;
        if (window_)
            window_->removeEventFilter(this);
        inFront_ = false;
        reveal();
        window_ = window;
        window_->installEventFilter(this);
        connect(window_, &QObject::destroyed, this, &ScreenCover::reveal, Qt::UniqueConnection);
    }

    bool hides(QWidget* widget) {
        if (!window_ || !inFront_ || widget->window() == window_ || !window_->isVisible() ||
            !window_->isFullScreen())
            return false;
        if (!waiting_.contains(widget))
            waiting_.append(widget);
        return true;
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Show:
                // In front from the moment it shows: its activation by the window manager
                // comes later, and the windows beneath may paint before it does.
                inFront_ = true;
                break;
            case QEvent::Hide:
                inFront_ = false;
                reveal();
                break;
            case QEvent::WindowStateChange:
                reveal();
                break;
            default:
                break;
        }
        return false;
    }

  private:
    // Another of the program's windows taking the focus has been raised above the covering
    // window; its own menus and dialogs leave it in front.
    void focusMoved(QWindow* focused) {
        if (!focused || !window_)
            return;
        const QWindow* coverWindow = window_->windowHandle();
        for (const QWindow* w = focused; w; w = w->transientParent())
            if (w == coverWindow) {
                if (focused == coverWindow)
                    inFront_ = true;
                return;
            }
        inFront_ = false;
        reveal();
    }

    void reveal() {
        const QList<QPointer<QWidget>> waiting = std::exchange(waiting_, {});
        for (const QPointer<QWidget>& widget : waiting)
            if (widget)
                widget->update();
    }

    QPointer<QWidget> window_;
    bool inFront_ = false;
    QList<QPointer<QWidget>> waiting_;
};

ScreenCover& screenCover() {
    // Lives as long as the process: windows may still paint while the application ends.
    static ScreenCover* cover = new ScreenCover;
    return *cover;
}

}  // namespace

void setScreenCover(QWidget* window) {
    screenCover().cover(window);
}

bool hiddenByScreenCover(QWidget* widget) {
    return screenCover().hides(widget);
}

}  // namespace platform
