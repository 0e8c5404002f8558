#include "platform/controls/FileListBox.h"
#include "platform/HandlerGuard.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QSignalBlocker>
#include <QStringListModel>

#include "platform/FileListing.h"
#include "platform/FileName.h"
#include "platform/FilePaths.h"
#include "platform/RuntimeError.h"

namespace platform {

namespace {

class FileListView : public QListView {
  public:
    using QListView::QListView;

  protected:
    // Qt makes the first entry current when an empty-handed list gets the focus; the file
    // list keeps "no entry selected" until the user really moves the selection.
    void focusInEvent(QFocusEvent* event) override {
        const bool hadCurrent = currentIndex().isValid();
        const QSignalBlocker blocker(selectionModel());
        QListView::focusInEvent(event);
        if (!hadCurrent)
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }

    // A press makes the entry current, which runs the click handler, and only then
    // highlights the pressed entry. A handler that selected another entry meanwhile (a
    // full-screen window opened by the click and moved on by its keys) keeps its choice.
    void mousePressEvent(QMouseEvent* event) override {
        QListView::mousePressEvent(event);
        highlightCurrent();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QListView::mouseReleaseEvent(event);
        highlightCurrent();
    }

  private:
    void highlightCurrent() {
        const QModelIndex current = currentIndex();
        if (current.isValid() && !selectionModel()->isSelected(current))
            selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    }
};

QListView* makeView(QWidget* parent) {
    auto* view = new FileListView(parent);
    view->setUniformItemSizes(true);  // keeps a list of 100,000 names fast to fill and scroll
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return view;
}
}  // namespace

FileListBox::FileListBox(Container container, const QString& name, double left, double top,
                         double width, double height)
    : Control(name, makeView(container.widget), left, top, width, height),
      view_(static_cast<QListView*>(widget())),
      model_(new QStringListModel(view_)),
      path_(currentFolder()) {
    view_->setModel(model_);
    QObject::connect(view_->selectionModel(), &QItemSelectionModel::currentChanged,
                     [this](const QModelIndex& current, const QModelIndex&) {
                         runHandler([&] { userSelected(current.isValid() ? current.row() : -1); });
                     });
    QObject::connect(view_, &QListView::doubleClicked, [this](const QModelIndex&) {
        if (listIndex_ >= 0)
            runHandler(onDblClick);
    });
    refill();
}

void FileListBox::setPath(const QString& path) {
    path_ = path;
    Refresh();
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = pattern;
    Refresh();
}

void FileListBox::Refresh() {
    try {
        refill();
    } catch (const RuntimeError&) {
        // The folder vanished or lost its rights: show it as empty.
        entries_.clear();
        updating_ = true;
        model_->setStringList(entries_);
        listIndex_ = -1;
        updating_ = false;
    }
}

void FileListBox::refill() {
    QStringList entries = listMatchingFiles(path_, pattern_);
    updating_ = true;
    entries_ = std::move(entries);
    // The entries keep the file system's bytes; the list shows them as a person reads them.
    QStringList shown;
    shown.reserve(entries_.size());
    for (const QString& name : entries_)
        shown.append(displayFileName(name));
    model_->setStringList(shown);
    listIndex_ = -1;
    view_->selectionModel()->clear();
    updating_ = false;
}

QString FileListBox::List(int index) const {
    return index >= 0 && index < entries_.size() ? entries_.at(index) : QString();
}

void FileListBox::setListIndex(int index) {
    if (index < -1 || index >= entries_.size())
        throw RuntimeError(ErrorNumber::InvalidPropertyValue,
                           QStringLiteral("Invalid property value"));
    if (index == listIndex_)
        return;
    listIndex_ = index;
    updating_ = true;
    if (index < 0) {
        view_->selectionModel()->clear();
    } else {
        const QModelIndex modelIndex = model_->index(index);
        view_->selectionModel()->setCurrentIndex(modelIndex, QItemSelectionModel::ClearAndSelect);
        view_->scrollTo(modelIndex);
    }
    updating_ = false;
    if (onClick)
        onClick();
}

QString FileListBox::FileName() const {
    return List(listIndex_);
}

void FileListBox::userSelected(int row) {
    if (updating_ || row == listIndex_ || row < 0)
        return;
    setListIndex(row);
}

}  // namespace platform
