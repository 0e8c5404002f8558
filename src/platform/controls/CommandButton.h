#pragma once

#include <functional>

#include "platform/Picture.h"
#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

class QPushButton;
class QShortcut;

namespace platform {

// A command button with a caption (an "&" marks its access key) or a picture. The window's
// default button is pressed by Enter, its cancel button by Esc, wherever the focus is in
// that window.
class CommandButton : public Control {
  public:
    CommandButton(Container container, const QString& name, double left, double top, double width,
                  double height, const QString& caption = {});

    QString Caption() const;
    void setPicture(const Picture& picture);
    void setDefault(bool on);
    void setCancel(bool on);

    std::function<void()> onClick;
    // Presses the button as the user would: runs onClick.
    void click();

  private:
    QPushButton* button_;
    QShortcut* enter_ = nullptr;
    QShortcut* keypadEnter_ = nullptr;
    QShortcut* escape_ = nullptr;
};

// A frame: a captioned border that groups the controls placed over it.
class Frame : public Control {
  public:
    Frame(Container container, const QString& name, double left, double top, double width,
          double height, const QString& caption);
};

}  // namespace platform
