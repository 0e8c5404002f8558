#include "platform/controls/ComboBox.h"
#include "platform/FileName.h"
#include "platform/HandlerGuard.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <algorithm>

#include "platform/RuntimeError.h"

namespace platform {

bool ComboBox::EditWatcher::eventFilter(QObject* watched, QEvent* event) {
    const bool finishing = event->type() == QEvent::FocusOut ||
                           (event->type() == QEvent::KeyPress &&
                            (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                             static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter));
    if (finishing && onEditingFinishing)
        onEditingFinishing();
    // The text field and the box each lose the focus; report it once, for the box, and not
    // when the focus only moves into the box's own drop-down list.
    if (event->type() == QEvent::FocusOut && watched == watchedBox && onFocusLost &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        onFocusLost();
    return QObject::eventFilter(watched, event);
}

namespace {
// The drop-down list is as wide as its longest entry, also when the box is narrower, so no
// entry is shortened with an ellipsis.
class ComboBoxWidget : public QComboBox {
  public:
    using QComboBox::QComboBox;

    void showPopup() override {
        QAbstractItemView* list = view();
        int needed = list->sizeHintForColumn(0) + 2 * list->frameWidth();
        if (count() > maxVisibleItems())
            needed += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
        list->setMinimumWidth(std::max(width(), needed));
        QComboBox::showPopup();
    }
};

QComboBox* makeCombo(QWidget* parent) {
    auto* combo = new ComboBoxWidget(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);  // typed text stays exactly as typed
    combo->setMaxVisibleItems(10);
    return combo;
}
}  // namespace

ComboBox::ComboBox(Container container, const QString& name, double left, double top, double width,
                   double height)
    : Control(name, makeCombo(container.widget), left, top, width, height),
      combo_(static_cast<QComboBox*>(widget())) {
    QObject::connect(combo_->lineEdit(), &QLineEdit::textEdited,
                     [this](const QString& text) { runHandler([&] { userTyped(text); }); });
    // Text put into the field without typing (assistive technology, dictation and voice
    // control set it whole) is an edit too. The box itself also rewrites the field when an
    // item is picked, so the change is judged once the current event is done: by then a pick
    // or a typed edit has brought Text up to date and nothing is left to report.
    QObject::connect(combo_->lineEdit(), &QLineEdit::textChanged, combo_, [this] {
        if (updating_)
            return;
        QTimer::singleShot(0, combo_, [this] {
            const QString shown = combo_->lineEdit()->text();
            if (!updating_ && shown != text_)
                runHandler([&] { userTyped(shown); });
        });
    });
    QObject::connect(combo_, &QComboBox::activated, [this](int index) {
        if (!editingFinishing_)
            runHandler([&] { userPicked(index); });
    });
    // Focus and key events reach the text field through the combo box itself.
    combo_->installEventFilter(&editWatcher_);
    editWatcher_.watchedBox = combo_;
    combo_->lineEdit()->installEventFilter(&editWatcher_);
    editWatcher_.onFocusLost = [this] {
        if (onLostFocus)
            runHandler(onLostFocus);
    };
    editWatcher_.onEditingFinishing = [this] {
        // Qt picks the item whose text was typed when the text field loses the focus or
        // takes Return, and reports it as a choice; only a choice from the list counts.
        editingFinishing_ = true;
        QTimer::singleShot(0, combo_, [this] { editingFinishing_ = false; });
    };
    showText();
}

void ComboBox::AddItem(const QString& item) {
    items_.append(item);
    updating_ = true;
    combo_->addItem(displayFileName(item));
    showText();  // adding an item never changes the text or the selection
    updating_ = false;
}

void ComboBox::Clear() {
    items_.clear();
    updating_ = true;
    combo_->clear();
    listIndex_ = -1;
    text_.clear();
    showText();
    updating_ = false;
}

QString ComboBox::List(int index) const {
    return index >= 0 && index < items_.size() ? items_.at(index) : QString();
}

void ComboBox::setList(int index, const QString& item) {
    if (index < 0)
        return;
    while (items_.size() <= index)
        AddItem(QString());
    items_[index] = item;
    updating_ = true;
    combo_->setItemText(index, displayFileName(item));
    showText();
    updating_ = false;
}

void ComboBox::setListIndex(int index) {
    if (index < -1 || index >= items_.size())
        throw RuntimeError(ErrorNumber::InvalidPropertyValue,
                           QStringLiteral("Invalid property value"));
    if (index == listIndex_)
        return;
    listIndex_ = index;
    const QString newText = index >= 0 ? items_.at(index) : text_;
    text_ = newText;
    showText();
    if (onClick)
        onClick();
}

void ComboBox::setText(const QString& text) {
    // Every assignment counts as a change, even of an equal text: handlers that record
    // "the box was set" rely on it.
    text_ = text;
    listIndex_ = int(items_.indexOf(text));
    showText();
    if (onChange)
        onChange();
}

void ComboBox::selectAllText() {
    combo_->lineEdit()->selectAll();
}

void ComboBox::showText() {
    const bool wasUpdating = updating_;
    updating_ = true;
    combo_->setCurrentIndex(listIndex_);
    combo_->setEditText(displayFileName(text_));
    // A text wider than the field shows its beginning, as a picked item is read from the
    // left ("Full Screen Maintain Aspect" is wider than the box in most desktop fonts); a
    // text that fits keeps the cursor at its end, where typing goes on.
    QLineEdit* field = combo_->lineEdit();
    if (field->fontMetrics().horizontalAdvance(field->text()) > field->contentsRect().width())
        field->setCursorPosition(0);
    updating_ = wasUpdating;
}

void ComboBox::userTyped(const QString& text) {
    if (updating_)
        return;
    text_ = text;
    listIndex_ = -1;
    if (onChange)
        onChange();
}

void ComboBox::userPicked(int index) {
    if (updating_ || index < 0)
        return;
    if (index == listIndex_) {
        showText();
        return;
    }
    setListIndex(index);
}

}  // namespace platform
