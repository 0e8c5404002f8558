#include "platform/controls/InputControls.h"
#include "platform/FileName.h"
#include "platform/HandlerGuard.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "platform/Colors.h"

namespace platform {

namespace {
QWidget* makeTextWidget(QWidget* parent, bool multiLine) {
    if (multiLine)
        return new QPlainTextEdit(parent);
    return new QLineEdit(parent);
}
}  // namespace

TextBox::TextBox(Container container, const QString& name, double left, double top, double width,
                 double height, bool multiLine)
    : Control(name, makeTextWidget(container.widget, multiLine), left, top, width, height) {
    if (multiLine) {
        multi_ = static_cast<QPlainTextEdit*>(widget());
        QObject::connect(multi_, &QPlainTextEdit::textChanged, [this] {
            if (!updating_)
                runHandler(onChange);
        });
    } else {
        line_ = static_cast<QLineEdit*>(widget());
        QObject::connect(line_, &QLineEdit::textEdited,
                         [this](const QString&) { runHandler(onChange); });
    }
}

void TextBox::selectAllText() {
    if (line_)
        line_->selectAll();
    else
        multi_->selectAll();
}

QString TextBox::Text() const {
    const QString shown = multi_ ? multi_->toPlainText() : line_->text();
    return shown == displayFileName(value_) ? value_ : shown;
}

void TextBox::setText(const QString& text) {
    if (text == Text())
        return;
    value_ = text;
    updating_ = true;
    if (multi_)
        multi_->setPlainText(displayFileName(text));
    else
        line_->setText(displayFileName(text));
    updating_ = false;
    if (onChange)
        onChange();
}

void TextBox::setLocked(bool locked) {
    if (multi_)
        multi_->setReadOnly(locked);
    else
        line_->setReadOnly(locked);
}

CheckBox::CheckBox(Container container, const QString& name, double left, double top, double width,
                   double height, const QString& caption)
    : Control(name, new QCheckBox(caption, container.widget), left, top, width, height),
      box_(static_cast<QCheckBox*>(widget())) {
    QObject::connect(box_, &QCheckBox::clicked, [this] { runHandler(onClick); });
}

int CheckBox::Value() const {
    return box_->isChecked() ? 1 : 0;
}

void CheckBox::setValue(int value) {
    if (Value() == (value != 0 ? 1 : 0))
        return;
    box_->setChecked(value != 0);
    if (onClick)
        onClick();
}

void CheckBox::setForeColor(unsigned long bgr) {
    if (bgr == foreColor_)
        return;
    foreColor_ = bgr;
    QPalette palette = box_->palette();
    palette.setColor(QPalette::WindowText, colorFromBgr(bgr));
    box_->setPalette(palette);
}

HScrollBar::HScrollBar(Container container, const QString& name, double left, double top,
                       double width, double height, int min, int max)
    : Control(name, new QScrollBar(Qt::Horizontal, container.widget), left, top, width, height),
      bar_(static_cast<QScrollBar*>(widget())) {
    bar_->setRange(min, max);
    QObject::connect(bar_, &QScrollBar::valueChanged, [this](int) { runHandler(onChange); });
}

int HScrollBar::Value() const {
    return bar_->value();
}

void HScrollBar::setValue(int value) {
    bar_->setValue(value);
}

}  // namespace platform
