#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

class QComboBox;

namespace platform {

// A combo box with an editable text field. Changing Text by typing raises onChange, and so
// does every assignment of Text by code, even of the text it already holds; picking an item
// or assigning ListIndex raises onClick. Typing leaves no item selected (ListIndex -1).
class ComboBox : public Control {
  public:
    ComboBox(Container container, const QString& name, double left, double top, double width,
             double height);

    void AddItem(const QString& item);
    void Clear();
    int ListCount() const { return int(items_.size()); }
    QString List(int index) const;
    void setList(int index, const QString& item);

    int ListIndex() const { return listIndex_; }
    void setListIndex(int index);
    QString Text() const { return text_; }
    void setText(const QString& text);
    // Selects the whole text, so that typing replaces it.
    void selectAllText();

    std::function<void()> onChange;
    std::function<void()> onClick;
    // The combo box lost the keyboard focus to another control (not to its own drop-down).
    std::function<void()> onLostFocus;

  private:
    void showText();
    void userTyped(const QString& text);
    void userPicked(int index);

    // Watches the text field for the moments Qt turns typed text into a choice.
    struct EditWatcher : QObject {
        std::function<void()> onEditingFinishing;
        std::function<void()> onFocusLost;
        QObject* watchedBox = nullptr;
        bool eventFilter(QObject* watched, QEvent* event) override;
    };

    QComboBox* combo_;
    EditWatcher editWatcher_;
    bool editingFinishing_ = false;
    QStringList items_;
    QString text_;
    int listIndex_ = -1;
    bool updating_ = false;
};

}  // namespace platform
