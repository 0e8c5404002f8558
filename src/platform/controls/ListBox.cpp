#include "platform/controls/ListBox.h"
#include "platform/HandlerGuard.h"

#include <QListWidget>

#include "platform/RuntimeError.h"

namespace platform {

ListBox::ListBox(Container container, const QString& name, double left, double top, double width,
                 double height)
    : Control(name, new QListWidget(container.widget), left, top, width, height),
      list_(static_cast<QListWidget*>(widget())) {
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    QObject::connect(list_, &QListWidget::currentRowChanged, [this](int row) {
        if (!updating_ && row >= 0 && row != listIndex_)
            runHandler([&] { setListIndex(row); });
    });
    QObject::connect(list_, &QListWidget::itemDoubleClicked,
                     [this](QListWidgetItem*) { runHandler(onDblClick); });
}

void ListBox::AddItem(const QString& item) {
    updating_ = true;
    list_->addItem(item);
    updating_ = false;
}

void ListBox::Clear() {
    updating_ = true;
    list_->clear();
    listIndex_ = -1;
    updating_ = false;
}

int ListBox::ListCount() const {
    return list_->count();
}

QString ListBox::List(int index) const {
    const QListWidgetItem* item = list_->item(index);
    return item ? item->text() : QString();
}

void ListBox::setListIndex(int index) {
    if (index < -1 || index >= list_->count())
        throw RuntimeError(ErrorNumber::InvalidPropertyValue,
                           QStringLiteral("Invalid property value"));
    if (index == listIndex_)
        return;
    listIndex_ = index;
    updating_ = true;
    list_->setCurrentRow(index);
    updating_ = false;
    if (onClick)
        onClick();
}

void ListBox::setFont(const QString& family, double points, bool bold) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    list_->setFont(font);
}

}  // namespace platform
