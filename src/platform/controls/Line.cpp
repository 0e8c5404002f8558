#include "platform/controls/Line.h"

#include <QPainter>
#include <algorithm>

#include "platform/Colors.h"
#include "platform/Twips.h"
#include "platform/controls/EventWidget.h"

namespace platform {

namespace {
EventWidget* makeDecoration(QWidget* parent) {
    auto* widget = new EventWidget(parent);
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    return widget;
}
}  // namespace

Line::Line(Container container, const QString& name, double x1, double y1, double x2, double y2,
           unsigned long bgr)
    : Control(name, makeDecoration(container.widget), std::min(x1, x2), std::min(y1, y2),
              std::max(std::abs(x2 - x1), double(TwipsPerPixel)),
              std::max(std::abs(y2 - y1), double(TwipsPerPixel))) {
    auto* area = static_cast<EventWidget*>(widget());
    const bool horizontal = std::abs(y2 - y1) < std::abs(x2 - x1);
    area->paint = [area, bgr, horizontal](QPainter& painter) {
        painter.setPen(colorFromBgr(bgr));
        if (horizontal)
            painter.drawLine(0, 0, area->width() - 1, 0);
        else
            painter.drawLine(0, 0, 0, area->height() - 1);
    };
}

Shape::Shape(Container container, const QString& name, double left, double top, double width,
             double height, unsigned long borderBgr, bool filled, unsigned long fillBgr)
    : Control(name, makeDecoration(container.widget), left, top, width, height) {
    auto* area = static_cast<EventWidget*>(widget());
    area->paint = [area, borderBgr, filled, fillBgr](QPainter& painter) {
        const QRect r = area->rect().adjusted(0, 0, -1, -1);
        if (filled)
            painter.fillRect(r, colorFromBgr(fillBgr));
        painter.setPen(colorFromBgr(borderBgr));
        painter.drawRect(r);
    };
}

}  // namespace platform
