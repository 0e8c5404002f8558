#include "platform/AfterFirstFrame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace platform {
namespace {

constexpr char FramePainted[] = "vedraFirstFramePainted";

class FirstFrameWatch : public QObject {
  public:
    FirstFrameWatch(QWidget* window, std::function<void()> work)
        : QObject(window), work_(std::move(work)) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->setProperty(FramePainted, true);
            watched->removeEventFilter(this);
            // The paint event comes before the window's children are painted and the frame
            // is flushed; a zero timer runs once that whole round is done.
            QTimer::singleShot(0, watched, std::move(work_));
            deleteLater();
        }
        return false;
    }

  private:
    std::function<void()> work_;
};

}  // namespace

void afterFirstFrame(QWidget* window, std::function<void()> work) {
    if (window->property(FramePainted).toBool())
        QTimer::singleShot(0, window, std::move(work));
    else
        new FirstFrameWatch(window, std::move(work));
}

}  // namespace platform
