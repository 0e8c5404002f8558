#pragma once

#include <functional>

#include "platform/Picture.h"
#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

class QToolButton;

namespace platform {

// A command button that shows a picture and no caption.
class PictureButton : public Control {
  public:
    PictureButton(Container container, const QString& name, double left, double top, double width,
                  double height);

    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture);

    std::function<void()> onClick;
    void click();

  private:
    QToolButton* button_;
    Picture picture_;
};

}  // namespace platform
