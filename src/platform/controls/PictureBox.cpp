#include "platform/controls/PictureBox.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include "platform/Colors.h"
#include "platform/Form.h"
#include "platform/MimePictures.h"
#include "platform/controls/EventWidget.h"

namespace platform {

Container::Container(Form& form) : widget(form.clientArea()) {}
Container::Container(PictureBox& box) : widget(box.inner()) {}

PictureBox::PictureBox(Container container, const QString& name, double left, double top,
                       double width, double height)
    : Control(name, new EventWidget(container.widget), left, top, width, height),
      area_(static_cast<EventWidget*>(widget())) {
    area_->setFocusPolicy(Qt::StrongFocus);
    area_->paint = [this](QPainter& painter) {
        painter.fillRect(area_->rect(), colorFromBgr(backColor_));
        if (!picture_.isEmpty())
            picture_.draw(painter, QRectF(QPointF(0, 0), QSizeF(picture_.sizePixels())));
        if (border_) {
            // A sunken two-tone edge like a classic picture box.
            const QRect r = area_->rect().adjusted(0, 0, -1, -1);
            painter.setPen(area_->palette().color(QPalette::Dark));
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
            painter.setPen(area_->palette().color(QPalette::Light));
            painter.drawLine(r.bottomLeft(), r.bottomRight());
            painter.drawLine(r.topRight(), r.bottomRight());
        }
    };
    area_->click = [this] { click(); };
    area_->mouseDown = [this](int button, int shift, double x, double y) {
        if (onMouseDown)
            onMouseDown(button, shift, x, y);
    };
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

void PictureBox::setBackColor(unsigned long bgr) {
    backColor_ = bgr;
    area_->update();
}

void PictureBox::setPicture(const Picture& picture) {
    picture_ = picture;
    area_->update();
}

void PictureBox::setBorder(bool sunken) {
    border_ = sunken;
    area_->update();
}

void PictureBox::setActsAsButton(bool on) {
    area_->setActsAsButton(on);
}

void PictureBox::click() {
    if (onClick)
        onClick();
}

QWidget* PictureBox::inner() const {
    return area_;
}

}  // namespace platform
