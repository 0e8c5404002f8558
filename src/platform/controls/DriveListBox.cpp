#include "platform/controls/DriveListBox.h"
#include "platform/FilePaths.h"
#include "platform/HandlerGuard.h"

#include <QComboBox>
#include <QStyle>

#include "platform/Volumes.h"
#include "platform/controls/StandardIcons.h"

namespace platform {

DriveListBox::DriveListBox(Container container, const QString& name, double left, double top,
                           double width, double height, Volumes& volumes)
    : Control(name, new QComboBox(container.widget), left, top, width, height),
      volumes_(volumes),
      combo_(static_cast<QComboBox*>(widget())) {
    roots_ = volumes_.roots();
    for (const QString& root : roots_)
        combo_->addItem(volumes_.displayName(root));
    showStandardIcons(combo_, {QStyle::SP_DriveHDIcon}, [this](const QList<QIcon>& icons) {
        for (int i = 0; i < combo_->count(); ++i)
            combo_->setItemIcon(i, icons.first());
    });
    drive_ = volumes_.rootOf(currentFolder());
    combo_->setCurrentIndex(int(roots_.indexOf(drive_)));
    QObject::connect(combo_, &QComboBox::currentIndexChanged, [this](int index) {
        if (!updating_ && index >= 0 && index < roots_.size())
            runHandler([&] { select(roots_.at(index)); });
    });
}

void DriveListBox::setDrive(const QString& path) {
    select(volumes_.rootOf(path));
}

void DriveListBox::showDriveOf(const QString& path) {
    drive_ = volumes_.rootOf(path);
    updating_ = true;
    combo_->setCurrentIndex(int(roots_.indexOf(drive_)));
    updating_ = false;
}

void DriveListBox::select(const QString& root) {
    if (root == drive_)
        return;
    drive_ = root;
    updating_ = true;
    combo_->setCurrentIndex(int(roots_.indexOf(root)));
    updating_ = false;
    if (onChange)
        onChange();
}

int DriveListBox::ListCount() const {
    return int(roots_.size());
}

QString DriveListBox::List(int index) const {
    return index >= 0 && index < roots_.size() ? roots_.at(index) : QString();
}

}  // namespace platform
