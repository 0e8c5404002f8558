#pragma once

#include <QImage>
#include <QRectF>
#include <functional>

#include "platform/Picture.h"
#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

class QMimeData;

namespace platform {

class EventWidget;
class DataObject;

// A picture holder. With Stretch off the control takes its picture's natural size whenever
// a picture is assigned or Stretch is switched off; with Stretch on it keeps its size and the
// picture is scaled to fill it.
class Image : public Control {
  public:
    Image(Container container, const QString& name, double left, double top, double width,
          double height);

    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture);
    bool Stretch() const { return stretch_; }
    void setStretch(bool stretch);

    std::function<void()> onClick;
    std::function<bool(const QMimeData&)> acceptsDrop;
    std::function<void(const QMimeData&, double x, double y)> onDrop;
    // A drop handler in the desktop's terms: the dropped data object, the drop effect (left
    // as it is unless the handler sets it), the mouse button, the shift state and the place
    // in twips. While it is set the control takes every drag; `acceptsDrop` narrows that.
    std::function<void(DataObject& Data, long& Effect, int Button, int Shift, double X, double Y)>
        onOLEDragDrop;

    void click();

    // Shows `coarse` scaled into `place` (twips, in the control's container) above
    // everything else there and paints it at once, while the control's own picture is still
    // being loaded; endPreview takes it away.
    void showPreview(const QImage& coarse, const QRectF& place);
    void endPreview();

  private:
    void takeNaturalSize();

    EventWidget* area_;
    QWidget* preview_ = nullptr;
    QImage previewImage_;
    Picture picture_;
    bool stretch_ = false;
};

}  // namespace platform
