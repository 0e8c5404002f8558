#include "platform/controls/CommandButton.h"

#include <QGroupBox>
#include <QPushButton>
#include <QShortcut>

#include "platform/HandlerGuard.h"

namespace platform {

CommandButton::CommandButton(Container container, const QString& name, double left, double top,
                             double width, double height, const QString& caption)
    : Control(name, new QPushButton(caption, container.widget), left, top, width, height),
      button_(static_cast<QPushButton*>(widget())) {
    button_->setAutoDefault(false);
    QObject::connect(button_, &QPushButton::clicked, [this] { runHandler([this] { click(); }); });
}

QString CommandButton::Caption() const {
    return button_->text();
}

void CommandButton::setDefault(bool on) {
    if (on == default_)
        return;
    default_ = on;
    button_->setDefault(on);
    if (!on)
        return;
    // Shortcuts of the window, so Enter presses the button from any control but a text box
    // that takes the key for itself.
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), button_);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, [this] {
            if (default_ && button_->isVisible() && button_->isEnabled())
                runHandler([this] { click(); });
        });
    }
}

void CommandButton::setCancel(bool on) {
    if (on == cancel_)
        return;
    cancel_ = on;
    if (!on)
        return;
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), button_);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, [this] {
        if (cancel_ && button_->isVisible() && button_->isEnabled())
            runHandler([this] { click(); });
    });
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
