#pragma once

#include <QStringList>
#include <functional>

#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

class QListWidget;

namespace platform {

// A plain list of text lines; assigning ListIndex or the user's selection raises onClick.
class ListBox : public Control {
  public:
    ListBox(Container container, const QString& name, double left, double top, double width,
            double height);

    void AddItem(const QString& item);
    void Clear();
    int ListCount() const;
    QString List(int index) const;
    int ListIndex() const { return listIndex_; }
    void setListIndex(int index);
    void setFont(const QString& family, double points, bool bold);
    // Shortens the list to a whole number of rows, so its last visible line is never cut.
    void showWholeRows();

    std::function<void()> onClick;
    std::function<void()> onDblClick;

  private:
    QListWidget* list_;
    int listIndex_ = -1;
    bool updating_ = false;
};

}  // namespace platform
