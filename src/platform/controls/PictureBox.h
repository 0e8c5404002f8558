#pragma once

#include <functional>

#include "platform/Picture.h"
#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

class QMimeData;

namespace platform {

class EventWidget;
class DataObject;

// A framed area with a back colour and an optional picture at its top-left corner. It can
// hold other controls (they are clipped by it) and can accept dropped data.
class PictureBox : public Control {
  public:
    PictureBox(Container container, const QString& name, double left, double top, double width,
               double height);

    unsigned long BackColor() const { return backColor_; }
    void setBackColor(unsigned long bgr);
    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture);
    void setBorder(bool sunken);
    // For a picture box used as a button: focusable, pressed by the space bar, and announced
    // as a push button.
    void setActsAsButton(bool on);

    std::function<void()> onClick;
    std::function<void(int button, int shift, double x, double y)> onMouseDown;
    // Drop support: `acceptsDrop` decides, `onDrop` receives the data.
    std::function<bool(const QMimeData&)> acceptsDrop;
    std::function<void(const QMimeData&, double x, double y)> onDrop;
    // A drop handler in the desktop's terms: the dropped data object, the drop effect (left
    // as it is unless the handler sets it), the mouse button, the shift state and the place
    // in twips. While it is set the control takes every drag; `acceptsDrop` narrows that.
    std::function<void(DataObject& Data, long& Effect, int Button, int Shift, double X, double Y)>
        onOLEDragDrop;

    void click();
    QWidget* inner() const;

  private:
    EventWidget* area_;
    unsigned long backColor_ = 0xC0C0C0;
    Picture picture_;
    bool border_ = true;
};

}  // namespace platform
