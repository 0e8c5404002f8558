#include "platform/controls/CommandButton.h"

#include <QKeyEvent>
#include <QPushButton>

#include "platform/HandlerGuard.h"

namespace platform {

namespace {
QPushButton* makeButton(QWidget* parent, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(true);  // a focused button takes Enter
    return button;
}
}  // namespace

CommandButton::CommandButton(Container container, const QString& name, double left, double top,
                             double width, double height, const QString& caption)
    : Control(name, makeButton(container.widget, caption), left, top, width, height),
      button_(static_cast<QPushButton*>(widget())) {
    QObject::connect(button_, &QPushButton::clicked, [this] { runHandler([this] { click(); }); });
    keyWatcher_.button = this;
    // Keys a control leaves unused travel up to the top-level window.
    button_->window()->installEventFilter(&keyWatcher_);
}

CommandButton::~CommandButton() {
    button_->window()->removeEventFilter(&keyWatcher_);
}

QString CommandButton::Caption() const {
    return button_->text();
}

void CommandButton::click() {
    if (onClick)
        onClick();
}

bool CommandButton::KeyWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || watched != button->button_->window())
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool escape = key->key() == Qt::Key_Escape;
    if ((enter && button->default_) || (escape && button->cancel_)) {
        if (button->button_->isEnabled() && button->button_->isVisible())
            runHandler([this] { button->click(); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace platform
