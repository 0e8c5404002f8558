#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>

namespace platform {

// The mounted volumes that hold real file systems ("drives"), each with the folder it was
// last left in, as the drive and folder lists share them. A drive root is a path that ends
// in "/": "/" itself, or a mount point's root such as "/media/usb/".
class Volumes {
  public:
    static Volumes& instance();

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
    // those folders were mount points, and go back to the real ones afterwards.
    void setRootsForTesting(const QStringList& roots);
    void restoreMountedVolumes() { load(); }

  private:
    Volumes();
    void load();

    QStringList roots_;
    std::map<QString, QString> labels_;
    std::map<QString, QString> current_;
};

// Joins a folder and a name with exactly one "/" between them.
QString joinPath(const QString& folder, const QString& name);

}  // namespace platform
