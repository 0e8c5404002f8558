#include "platform/controls/PictureButton.h"
#include "platform/HandlerGuard.h"

#include <QIcon>
#include <QPixmap>
#include <QToolButton>

namespace platform {

namespace {
QToolButton* makeButton(QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(false);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return button;
}
}  // namespace

PictureButton::PictureButton(Container container, const QString& name, double left, double top,
                             double width, double height)
    : Control(name, makeButton(container.widget), left, top, width, height),
      button_(static_cast<QToolButton*>(widget())) {
    // Run once the press itself is done: a press through assistive technology waits for the
    // handler otherwise, and one that opens a modal window would hold the reader's call.
    QObject::connect(
        button_, &QToolButton::clicked, button_, [this] { runHandler([this] { click(); }); },
        Qt::QueuedConnection);
}

void PictureButton::setPicture(const Picture& picture) {
    picture_ = picture;
    // The picture is fitted inside the button's face, leaving room for its bevel.
    const int side = std::max(8, std::min(button_->width(), button_->height()) - 4);
    button_->setIconSize(QSize(side, side));
    button_->setIcon(QIcon(QPixmap::fromImage(picture.toImage())));
}

void PictureButton::click() {
    if (onClick)
        onClick();
}

}  // namespace platform
