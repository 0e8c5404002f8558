#include "platform/linux/QtMessageBox.h"
#include "platform/FileName.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

int QtMessageBox::MsgBox(const QString& text, int style, const QString& title) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title.isEmpty() ? programTitle_ : title);
    // A carriage return alone breaks the line too, as the program's questions use it.
    QString shown = displayFileName(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(shown);
    box.setTextFormat(Qt::PlainText);
    // Wide enough for the title to stay readable in the title bar, and for the longest line
    // (a path cannot be wrapped) up to a reasonable width.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        const QFontMetrics metrics(label->font());
        int widest = 16 * metrics.horizontalAdvance(QLatin1Char('M'));
        for (const QString& line : shown.split(QLatin1Char('\n')))
            widest = std::max(widest, metrics.horizontalAdvance(line) + 4);
        label->setMinimumWidth(std::min(widest, 900));
    }
    box.setIcon((style & MsgBoxStyle::Critical) ? QMessageBox::Critical : QMessageBox::NoIcon);
    const bool yesNo = (style & 7) == MsgBoxStyle::YesNo;
    if (yesNo) {
        QPushButton* yes = box.addButton(QMessageBox::Yes);
        QPushButton* no = box.addButton(QMessageBox::No);
        box.setDefaultButton((style & MsgBoxStyle::DefaultButton2) ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? MsgBoxAnswer::Yes : MsgBoxAnswer::No;
    }
    box.addButton(QMessageBox::Ok);
    box.exec();
    return MsgBoxAnswer::Ok;
}

}  // namespace platform
