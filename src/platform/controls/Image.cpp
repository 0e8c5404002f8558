#include "platform/controls/Image.h"

#include <QPainter>

#include "platform/MimePictures.h"
#include "platform/controls/EventWidget.h"

namespace platform {

Image::Image(Container container, const QString& name, double left, double top, double width,
             double height)
    : Control(name, new EventWidget(container.widget), left, top, width, height),
      area_(static_cast<EventWidget*>(widget())) {
    area_->paint = [this](QPainter& painter) {
        if (picture_.isEmpty())
            return;
        const QRectF target =
            stretch_ ? QRectF(area_->rect()) : QRectF(QPointF(0, 0), QSizeF(picture_.sizePixels()));
        picture_.draw(painter, target);
    };
    area_->click = [this] { click(); };
    area_->acceptsDrop = [this](const QMimeData& data) {
        return acceptsDrop ? acceptsDrop(data) : bool(onOLEDragDrop);
    };
    area_->drop = [this](const QMimeData& data, int button, int shift, double x, double y) {
        if (onDrop)
            onDrop(data, x, y);
        if (onOLEDragDrop) {
            MimeDataObject dropped(data);
            long effect = DropEffectCopy;
            onOLEDragDrop(dropped, effect, button, shift, x, y);
        }
    };
    area_->setAcceptDrops(true);
}

void Image::setPicture(const Picture& picture) {
    picture_ = picture;
    if (!stretch_)
        takeNaturalSize();
    area_->update();
}

void Image::setStretch(bool stretch) {
    stretch_ = stretch;
    if (!stretch_)
        takeNaturalSize();
    area_->update();
}

void Image::takeNaturalSize() {
    // An empty picture leaves the control at the size it has.
    if (picture_.isEmpty())
        return;
    const QSizeF twips = picture_.sizeTwips();
    Move(Left(), Top(), twips.width(), twips.height());
}

void Image::click() {
    if (onClick)
        onClick();
}

}  // namespace platform
