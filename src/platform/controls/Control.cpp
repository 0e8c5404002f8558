#include "platform/controls/Control.h"

#include <QWidget>
#include <algorithm>
#include <vector>

#include "platform/Twips.h"

namespace platform {

Control::Control(const QString& name, QWidget* widget, double left, double top, double width,
                 double height)
    : name_(name), widget_(widget), left_(left), top_(top), width_(width), height_(height) {
    widget_->setObjectName(name);
    applyGeometry();
    widget_->show();
}

void Control::applyGeometry() {
    const int x = twipsToPixels(left_);
    const int y = twipsToPixels(top_);
    // Right and bottom edges are rounded themselves so adjacent controls keep their seams.
    const int w = std::max(0, twipsToPixels(left_ + width_) - x);
    const int h = std::max(0, twipsToPixels(top_ + height_) - y);
    widget_->setGeometry(x, y, w, h);
}

void Control::setLeft(double twips) {
    left_ = twips;
    geometryChanged();
    applyGeometry();
}

void Control::setTop(double twips) {
    top_ = twips;
    geometryChanged();
    applyGeometry();
}

void Control::setWidth(double twips) {
    width_ = twips;
    geometryChanged();
    applyGeometry();
}

void Control::setHeight(double twips) {
    height_ = twips;
    geometryChanged();
    applyGeometry();
}

void Control::Move(double left, double top, double width, double height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    geometryChanged();
    applyGeometry();
}

void Control::setVisible(bool visible) {
    visible_ = visible;
    widget_->setVisible(visible);
}

QString Control::ToolTipText() const {
    return widget_->toolTip();
}

void Control::setToolTipText(const QString& text) {
    widget_->setToolTip(text);
    widget_->setAccessibleName(text);
}

void Control::SetFocus() {
    widget_->setFocus(Qt::OtherFocusReason);
}

void Control::Refresh() {
    if (widget_->isVisible())
        widget_->repaint();
}

void applyTabOrder(std::initializer_list<Control*> controls) {
    std::vector<Control*> ordered(controls);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    for (size_t i = 1; i < ordered.size(); ++i)
        QWidget::setTabOrder(ordered[i - 1]->widget(), ordered[i]->widget());
}

double Control::devicePixelRatio() const {
    return widget_->devicePixelRatioF();
}

}  // namespace platform
