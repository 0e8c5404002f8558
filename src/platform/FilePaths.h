#pragma once

#include <QDateTime>
#include <QString>

namespace platform {

// What the viewer asks the file system about a path, byte for byte: every path here is the
// escaped text form of FileName.h and reaches the system as encodeFileName(path). Qt's own
// file classes are not used for paths, as they would encode the name as text and lose the
// bytes that are not UTF-8.

struct FileStatus {
    bool exists = false;
    bool isFolder = false;
    bool isFile = false;  // an ordinary file (a link counts as what it points to)
    qint64 size = 0;
    QDateTime modified;
};
FileStatus fileStatus(const QString& path);

bool isFolder(const QString& path);
// A folder the user may enter (search permission).
bool isEnterableFolder(const QString& path);
bool isExecutableFile(const QString& path);

// The process's current folder.
QString currentFolder();
// `path` made absolute against the current folder, with "." and ".." parts and doubled "/"
// removed without asking the file system.
QString absoluteFilePath(const QString& path);
// The last part of a path (after its last "/"), and the part before it ("/" at the root).
QString fileNameOf(const QString& path);
QString folderOf(const QString& path);

// The file URI of a path: "file://" and the absolute path's bytes, percent-encoded where a
// URI does not allow them as they are.
QString fileUri(const QString& path);
// The path a file URI names (its percent-encoded bytes decoded), or empty when `uri` is no
// local file URI.
QString pathOfFileUri(const QString& uri);

}  // namespace platform
