#include "platform/controls/ListBox.h"
#include "platform/HandlerGuard.h"

#include <QListWidget>
#include <algorithm>

#include "platform/FileName.h"
#include "platform/RuntimeError.h"

namespace platform {

ListBox::ListBox(Container container, const QString& name, double left, double top, double width,
                 double height)
    : Control(name, new QListWidget(container.widget), left, top, width, height),
      list_(static_cast<QListWidget*>(widget())) {
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Only a selection counts as a choice. The current row alone does not: the list makes its
    // first row current when it takes the focus, and that must not select it.
    QObject::connect(list_, &QListWidget::itemSelectionChanged, [this] {
        const QList<QListWidgetItem*> selected = list_->selectedItems();
        const int row = selected.isEmpty() ? -1 : list_->row(selected.first());
        if (!updating_ && row >= 0 && row != listIndex_)
            runHandler([&] { setListIndex(row); });
    });
    QObject::connect(list_, &QListWidget::itemDoubleClicked,
                     [this](QListWidgetItem*) { runHandler(onDblClick); });
}

void ListBox::AddItem(const QString& item) {
    updating_ = true;
    // The item keeps its text as given (a file name's bytes) and shows it as a person reads it.
    auto* entry = new QListWidgetItem(displayFileName(item));
    entry->setData(Qt::UserRole, item);
    list_->addItem(entry);
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
    return item ? item->data(Qt::UserRole).toString() : QString();
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

void ListBox::showWholeRows() {
    if (list_->count() == 0)
        return;
    const int row = list_->sizeHintForRow(0);
    const int frame = 2 * list_->frameWidth();
    if (row <= 0 || list_->height() <= frame)
        return;
    const int rows = std::max(1, (list_->height() - frame) / row);
    list_->resize(list_->width(), frame + rows * row);
}

void ListBox::setFont(const QString& family, double points, bool bold) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    list_->setFont(font);
}

}  // namespace platform
