#include "platform/controls/DirListBox.h"
#include "platform/HandlerGuard.h"

#include <QKeyEvent>
#include <QListWidget>

#include "platform/FileListing.h"
#include "platform/FileName.h"
#include "platform/FilePaths.h"
#include "platform/RuntimeError.h"
#include "platform/Volumes.h"
#include "platform/controls/DriveListBox.h"
#include "platform/controls/StandardIcons.h"

namespace platform {

namespace {

class FolderListWidget : public QListWidget {
  public:
    using QListWidget::QListWidget;
    std::function<void(int row)> activate;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && activate) {
            activate(currentRow());
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

QString leafName(const QString& path, const Volumes& volumes) {
    if (volumes.isRoot(path))
        return volumes.displayName(volumes.rootOf(path));
    return displayFileName(fileNameOf(path));
}

// An entry indented by its depth; screen readers get the plain folder name (as shown).
QListWidgetItem* indentedItem(const QIcon& icon, const QString& folderName, int depth) {
    auto* item = new QListWidgetItem(icon, QString(depth * 2, QLatin1Char(' ')) + folderName);
    item->setData(Qt::AccessibleTextRole, folderName);
    return item;
}

}  // namespace

QString normalFolderPath(const QString& path, const Volumes& volumes) {
    QString clean = absoluteFilePath(path);
    if (volumes.isRoot(clean) && !clean.endsWith(QLatin1Char('/')))
        clean += QLatin1Char('/');
    return clean;
}

DirListBox::DirListBox(Container container, const QString& name, double left, double top,
                       double width, double height, Volumes& volumes)
    : Control(name, new FolderListWidget(container.widget), left, top, width, height),
      volumes_(volumes),
      list_(static_cast<QListWidget*>(widget())),
      path_(normalFolderPath(currentFolder(), volumes)) {
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* folderList = static_cast<FolderListWidget*>(list_);
    folderList->activate = [this](int row) {
        if (row < 0 || row >= entryPaths_.size())
            return;
        const QString target = entryPaths_.at(row);
        if (!isFolder(target)) {
            refill();  // the folder went away: show what is there now
            return;
        }
        runHandler([&] { open(target); });
    };
    QObject::connect(list_, &QListWidget::itemDoubleClicked, [folderList](QListWidgetItem* item) {
        folderList->activate(folderList->row(item));
    });
    showStandardIcons(
        list_, {QStyle::SP_DirOpenIcon, QStyle::SP_DirClosedIcon},
        [this](const QList<QIcon>& icons) {
            openIcon_ = icons.at(0);
            closedIcon_ = icons.at(1);
            // The open folders come first, down to the current one.
            for (int row = 0; row < list_->count(); ++row)
                list_->item(row)->setIcon(row <= currentRow_ ? openIcon_ : closedIcon_);
        });
    refill();
    volumes_.rememberCurrentFolder(path_);
}

void DirListBox::setPath(const QString& path) {
    QString target = normalFolderPath(path, volumes_);
    if (volumes_.isRoot(target) && volumes_.rootOf(target) != volumes_.rootOf(path_))
        target = normalFolderPath(volumes_.currentFolderOf(volumes_.rootOf(target)), volumes_);
    open(target);
}

void DirListBox::open(const QString& folder) {
    const QString target = normalFolderPath(folder, volumes_);
    if (!isEnterableFolder(target))
        throw RuntimeError(ErrorNumber::PathNotFound);
    if (target == path_) {
        refill();
        return;
    }
    path_ = target;
    volumes_.rememberCurrentFolder(path_);
    refill();
    if (drives_)
        drives_->showDriveOf(path_);
    if (onChange)
        onChange();
}

void DirListBox::keepInStepWith(DriveListBox& drives) {
    drives_ = &drives;
    drives_->showDriveOf(path_);
}

void DirListBox::refill() {
    entryPaths_.clear();
    list_->clear();
    // The chain of open folders from the volume's root down to the current folder.
    const QString root = volumes_.rootOf(path_);
    QStringList chain{root};
    if (path_ != root) {
        const QString below = path_.mid(root.size());
        QString walk = root;
        for (const QString& part : below.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            walk = joinPath(walk, part);
            chain.append(walk);
        }
    }
    int depth = 0;
    for (const QString& folder : chain) {
        list_->addItem(indentedItem(openIcon_, leafName(folder, volumes_), depth));
        entryPaths_.append(folder);
        ++depth;
    }
    currentRow_ = int(entryPaths_.size()) - 1;
    for (const QString& sub : listSubfolders(path_)) {
        list_->addItem(indentedItem(closedIcon_, displayFileName(sub), depth));
        entryPaths_.append(joinPath(path_, sub));
    }
    list_->setCurrentRow(currentRow_);
}

int DirListBox::ListCount() const {
    return int(entryPaths_.size());
}

QString DirListBox::List(int index) const {
    return index >= 0 && index < entryPaths_.size() ? entryPaths_.at(index) : QString();
}

int DirListBox::ListIndex() const {
    return list_->currentRow();
}

}  // namespace platform
