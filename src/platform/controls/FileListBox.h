#pragma once

#include <QStringList>
#include <functional>

#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

class QListView;
class QStringListModel;

namespace platform {

// The list of a folder's files that match a pattern. Assigning ListIndex, or the user moving
// the selection, raises onClick once, nested inside the change; a double click raises
// onDblClick after the click that selected the entry.
class FileListBox : public Control {
  public:
    FileListBox(Container container, const QString& name, double left, double top, double width,
                double height);

    QString Path() const { return path_; }
    // Lists another folder; a folder that cannot be read lists as empty.
    void setPath(const QString& path);
    QString Pattern() const { return pattern_; }
    void setPattern(const QString& pattern);
    // Reads the folder again; no entry is selected afterwards.
    void Refresh();

    int ListCount() const { return entries_.size(); }
    // An entry's file name as the file system has it (see FileName.h); the list shows it
    // with replacement characters for the bytes that are not UTF-8.
    QString List(int index) const;
    int ListIndex() const { return listIndex_; }
    void setListIndex(int index);
    // The selected file name, or empty.
    QString FileName() const;

    std::function<void()> onClick;
    std::function<void()> onDblClick;

  private:
    void refill();
    void userSelected(int row);

    QListView* view_;
    QStringListModel* model_;
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
    QStringList entries_;
    int listIndex_ = -1;
    bool updating_ = false;
};

}  // namespace platform
