#pragma once

#include <QIcon>
#include <QStringList>
#include <functional>

#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

class QListWidget;

namespace platform {

class DriveListBox;
class Volumes;

// The folder list: the open folders from the drive root down to the current one, then the
// current folder's subfolders. A double click or Enter on an entry opens it. Every change of
// Path, by the user or by code, raises onChange once, nested inside the change.
//
// Path is a full folder path without a trailing "/", except for a drive root ("/", or a
// mount point's root such as "/media/usb/"), which ends in "/".
class DirListBox : public Control {
  public:
    DirListBox(Container container, const QString& name, double left, double top, double width,
               double height, Volumes& volumes);

    QString Path() const { return path_; }
    // Assigning a drive root of another volume moves to that volume's current folder, as a
    // drive change does; any other folder is opened as it is. Throws RuntimeError 76 when
    // the folder does not exist or cannot be opened.
    void setPath(const QString& path);

    int ListCount() const;
    QString List(int index) const;  // the full path of an entry
    int ListIndex() const;

    std::function<void()> onChange;

    // Keeps `drives` showing the volume that holds Path: a folder opened across a mount
    // point moves the drive list to that volume without raising the drive list's change.
    void keepInStepWith(DriveListBox& drives);

  private:
    void open(const QString& folder);
    void refill();

    Volumes& volumes_;
    QListWidget* list_;
    QString path_;
    QStringList entryPaths_;
    int currentRow_ = 0;
    DriveListBox* drives_ = nullptr;
    QIcon openIcon_;
    QIcon closedIcon_;
};

// Normalises a folder path: cleaned, "/" separators, drive roots of `volumes` with a
// trailing "/".
QString normalFolderPath(const QString& path, const Volumes& volumes);

}  // namespace platform
