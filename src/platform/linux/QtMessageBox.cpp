#include "platform/linux/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

int QtMessageBox::MsgBox(const QString& text, int style, const QString& title) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title.isEmpty() ? programTitle_ : title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    // Wide enough for the title to stay readable in the title bar.
    box.setStyleSheet(QStringLiteral("QLabel { min-width: 16em; }"));
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
