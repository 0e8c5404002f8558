#pragma once

#include <QStringList>
#include <functional>

#include "platform/controls/Container.h"
#include "platform/controls/Control.h"

class QComboBox;

namespace platform {

class Volumes;

// The drive list: the mounted volumes, "/" first. Drive is the selected volume's root (it
// ends in "/"). Picking another drive, by the user or by code, raises onChange once.
class DriveListBox : public Control {
  public:
    DriveListBox(Container container, const QString& name, double left, double top, double width,
                 double height, Volumes& volumes);

    QString Drive() const { return drive_; }
    // Selects the volume that holds `path`.
    void setDrive(const QString& path);
    // Shows the volume that holds `path` as selected without raising onChange: the folder
    // list has moved there by itself.
    void showDriveOf(const QString& path);
    int ListCount() const;
    QString List(int index) const;

    std::function<void()> onChange;

  private:
    void select(const QString& root);

    Volumes& volumes_;
    QComboBox* combo_;
    QStringList roots_;
    QString drive_;
    bool updating_ = false;
};

}  // namespace platform
