#include "platform/controls/CommandButton.h"

#include <QGroupBox>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>

#include "platform/HandlerGuard.h"

namespace platform {

namespace {
QPushButton* makeButton(QWidget* parent, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setAutoDefault(false);
    return button;
}

QShortcut* windowShortcut(QWidget* button, Qt::Key key, const std::function<void()>& press) {
    auto* shortcut = new QShortcut(QKeySequence(key), button->window());
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, button, press);
    return shortcut;
}
}  // namespace

CommandButton::CommandButton(Container container, const QString& name, double left, double top,
                             double width, double height, const QString& caption)
    : Control(name, makeButton(container.widget, caption), left, top, width, height),
      button_(static_cast<QPushButton*>(widget())) {
    QObject::connect(button_, &QPushButton::clicked, [this] { runHandler([this] { click(); }); });
}

QString CommandButton::Caption() const {
    return button_->text();
}

void CommandButton::setPicture(const Picture& picture) {
    const int side = std::max(8, std::min(button_->width(), button_->height()) - 6);
    button_->setIconSize(QSize(side, side));
    button_->setIcon(QIcon(QPixmap::fromImage(picture.toImage())));
}

void CommandButton::setDefault(bool on) {
    button_->setDefault(on);
    delete enter_;
    delete keypadEnter_;
    enter_ = keypadEnter_ = nullptr;
    if (!on)
        return;
    const auto press = [this] { runHandler([this] { click(); }); };
    enter_ = windowShortcut(button_, Qt::Key_Return, press);
    keypadEnter_ = windowShortcut(button_, Qt::Key_Enter, press);
}

void CommandButton::setCancel(bool on) {
    delete escape_;
    escape_ = nullptr;
    if (on)
        escape_ =
            windowShortcut(button_, Qt::Key_Escape, [this] { runHandler([this] { click(); }); });
}

void CommandButton::click() {
    if (onClick)
        onClick();
}

Frame::Frame(Container container, const QString& name, double left, double top, double width,
             double height, const QString& caption)
    : Control(name, new QGroupBox(caption, container.widget), left, top, width, height) {
    widget()->lower();
}

}  // namespace platform
