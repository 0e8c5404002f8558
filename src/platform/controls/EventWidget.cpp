#include "platform/controls/EventWidget.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include "platform/Form.h"
#include "platform/Keys.h"
#include "platform/Twips.h"

namespace platform {


void EventWidget::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (paint) {
        QPainter painter(this);
        paint(painter);
    }
}

void EventWidget::mousePressEvent(QMouseEvent* event) {
    pressedInside_ = true;
    if (mouseDown) {
        const QPointF p = event->position();
        mouseDown(mouseButtonFromQt(event->button()), shiftStateFromQt(event->modifiers()),
                  p.x() * TwipsPerPixel, p.y() * TwipsPerPixel);
    } else {
        event->ignore();
    }
}

void EventWidget::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and a release over the control, with either button.
    const bool inside = rect().contains(event->position().toPoint());
    if (pressedInside_ && inside && click)
        click();
    pressedInside_ = false;
    if (!click)
        event->ignore();
}

void EventWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    pressedInside_ = true;
    if (doubleClick)
        doubleClick();
    else
        QWidget::mouseDoubleClickEvent(event);
}

void EventWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (acceptsDrop && event->mimeData() && acceptsDrop(*event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void EventWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (acceptsDrop && event->mimeData() && acceptsDrop(*event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void EventWidget::dropEvent(QDropEvent* event) {
    if (!drop || !event->mimeData())
        return;
    event->acceptProposedAction();
    const QPointF p = event->position();
    drop(*event->mimeData(), p.x() * TwipsPerPixel, p.y() * TwipsPerPixel);
}

}  // namespace platform
