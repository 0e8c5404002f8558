#include "platform/Volumes.h"

#include "platform/FileName.h"
#include "platform/FilePaths.h"

#include <QDir>
#include <QSet>
#include <QStorageInfo>

namespace platform {

namespace {

// File-system types that hold no user files.
bool isPseudoFileSystem(const QByteArray& type) {
    static const QSet<QByteArray> pseudo = {
        "proc",        "sysfs",    "devtmpfs", "devpts",   "cgroup",      "cgroup2",
        "securityfs",  "pstore",   "bpf",      "tracefs",  "debugfs",     "mqueue",
        "hugetlbfs",   "configfs", "fusectl",  "autofs",   "binfmt_misc", "nsfs",
        "rpc_pipefs",  "efivarfs", "tmpfs",    "squashfs", "ramfs",       "fuse.gvfsd-fuse",
        "fuse.portal", "nfsd",     "selinuxfs"};
    return pseudo.contains(type);
}

QString withSeparator(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

}  // namespace

Volumes::Volumes() {
    load();
}

void Volumes::load() {
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (!volume.isValid() || !volume.isReady() || root == QLatin1String("/") ||
            isPseudoFileSystem(volume.fileSystemType()) || !isFolder(root))
            continue;
        const QString key = withSeparator(root);
        if (!roots.contains(key)) {
            roots.append(key);
            labels_[key] = volume.name();
        }
    }
    std::sort(roots.begin() + 1, roots.end());
    roots_ = roots;
    current_.clear();
    const QString cwd = currentFolder();
    current_[rootOf(cwd)] = cwd;
}

QStringList Volumes::roots() const {
    return roots_;
}

QString Volumes::displayName(const QString& root) const {
    const auto it = labels_.find(root);
    const QString shown = displayFileName(root.size() > 1 ? root.chopped(1) : root);
    if (it == labels_.end() || it->second.isEmpty())
        return shown;
    return shown + QStringLiteral(" [") + it->second + QLatin1Char(']');
}

QString Volumes::rootOf(const QString& path) const {
    const QString probe = withSeparator(QDir::cleanPath(path));
    QString best = QStringLiteral("/");
    for (const QString& root : roots_) {
        if (probe.startsWith(root) && root.size() > best.size())
            best = root;
    }
    return best;
}

bool Volumes::isRoot(const QString& path) const {
    return roots_.contains(withSeparator(QDir::cleanPath(path)));
}

QString Volumes::currentFolderOf(const QString& root) const {
    const auto it = current_.find(root);
    if (it == current_.end() || !isFolder(it->second))
        return root;
    return it->second;
}

void Volumes::rememberCurrentFolder(const QString& folder) {
    current_[rootOf(folder)] = folder;
}

void Volumes::setRootsForTesting(const QStringList& roots) {
    roots_ = QStringList{QStringLiteral("/")};
    labels_.clear();
    for (const QString& root : roots) {
        if (!roots_.contains(withSeparator(root)))
            roots_.append(withSeparator(root));
    }
    current_.clear();
}

QString joinPath(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

}  // namespace platform
