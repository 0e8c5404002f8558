#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>

namespace platform {

// The mounted volumes that hold real file systems ("drives"), each with the folder it was
// last left in, as the drive and folder lists share them. A drive root is a path that ends
// in "/": "/" itself, or a mount point's root such as "/media/usb/". The program owns one
// and hands it to the drive and folder lists of its windows.
class Volumes {
  public:
    // Reads the mounted volumes.
    Volumes();
    Volumes(const Volumes&) = delete;
    Volumes& operator=(const Volumes&) = delete;

    // The drive roots, "/" first, then the others by path.
    QStringList roots() const;
    // A label for the drive list ("/media/usb [KINGSTON]").
    QString displayName(const QString& root) const;
    // The root of the volume holding `path`.
    QString rootOf(const QString& path) const;
    bool isRoot(const QString& path) const;

    // The folder the volume was last left in: its root at first, or the process's
    // current folder for the volume that holds it.
    QString currentFolderOf(const QString& root) const;
    void rememberCurrentFolder(const QString& folder);

    // Tests replace the mounted volumes with their own roots (each ends in "/"), as if
    // those folders were mount points.
    void setRootsForTesting(const QStringList& roots);

  private:
    void load();

    QStringList roots_;
    std::map<QString, QString> labels_;
    std::map<QString, QString> current_;
};

// Joins a folder and a name with exactly one "/" between them.
QString joinPath(const QString& folder, const QString& name);

}  // namespace platform
