#pragma once

#include <functional>

#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

class QPushButton;

namespace platform {

// A command button with a text caption ("&" marks the access key). The default button of
// a window is pressed by Enter, its cancel button by Esc, wherever the focus is.
class CommandButton : public Control {
  public:
    CommandButton(Container container, const QString& name, double left, double top, double width,
                  double height, const QString& caption);

    QString Caption() const;
    void setDefault(bool on);
    void setCancel(bool on);

    std::function<void()> onClick;
    void click();

  private:
    QPushButton* button_;
    bool default_ = false;
    bool cancel_ = false;
};

// A frame: a captioned border that groups the controls placed over it.
class Frame : public Control {
  public:
    Frame(Container container, const QString& name, double left, double top, double width,
          double height, const QString& caption);
};

}  // namespace platform
