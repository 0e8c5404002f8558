#pragma once

#include <QObject>
#include <functional>

#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

class QPushButton;

namespace platform {

// A command button with a caption ("&" marks the access key). The default button is pressed
// by Enter and the cancel button by Esc wherever the focus is in its window, unless the
// focused control uses the key itself; a focused button takes Enter for itself.
class CommandButton : public Control {
  public:
    CommandButton(Container container, const QString& name, double left, double top, double width,
                  double height, const QString& caption);
    ~CommandButton() override;

    QString Caption() const;
    void setDefault(bool on) { default_ = on; }
    void setCancel(bool on) { cancel_ = on; }
    bool Default() const { return default_; }
    bool Cancel() const { return cancel_; }

    std::function<void()> onClick;
    void click();

  private:
    // Sees the Enter and Esc keys that reach the window unused.
    struct KeyWatcher : QObject {
        CommandButton* button = nullptr;
        bool eventFilter(QObject* watched, QEvent* event) override;
    };

    QPushButton* button_;
    KeyWatcher keyWatcher_;
    bool default_ = false;
    bool cancel_ = false;
};

}  // namespace platform
