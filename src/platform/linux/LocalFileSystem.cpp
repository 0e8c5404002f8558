#include "platform/linux/LocalFileSystem.h"

#include <unistd.h>

#include <cerrno>

#include "platform/FileListing.h"
#include "platform/FileName.h"
#include "platform/FilePaths.h"
#include "platform/RuntimeError.h"
#include "platform/linux/SafeFileTransfer.h"

namespace platform {

namespace {

// The status of an ordinary file, or the error a handler traps: 76 when its folder does not
// exist, 53 when it does not (or is a folder).
FileStatus existingFile(const QString& path) {
    if (path.isEmpty())
        throw RuntimeError(ErrorNumber::FileNotFound);
    if (!isFolder(folderOf(path)))
        throw RuntimeError(ErrorNumber::PathNotFound);
    const FileStatus status = fileStatus(path);
    if (!status.exists || status.isFolder)
        throw RuntimeError(ErrorNumber::FileNotFound);
    return status;
}

}  // namespace

QString LocalFileSystem::Dir(const QString& pattern, int attributes) {
    const QString namePattern = fileNameOf(pattern);
    if (pattern.isEmpty() || namePattern.isEmpty())
        return {};
    return firstMatchingEntry(folderOf(pattern), namePattern, attributes & FileAttr::Directory,
                              attributes & FileAttr::Hidden);
}

qint64 LocalFileSystem::FileLen(const QString& path) {
    return existingFile(path).size;
}

QDateTime LocalFileSystem::FileDateTime(const QString& path) {
    return existingFile(path).modified;
}

void LocalFileSystem::FileCopy(const QString& source, const QString& target) {
    CopyFile(source, target, true);
}

void LocalFileSystem::Kill(const QString& path) {
    existingFile(path);
    if (::unlink(encodeFileName(path).constData()) != 0)
        throw systemError(errno);
}

void LocalFileSystem::Name(const QString& oldPath, const QString& newPath) {
    MoveFile(oldPath, newPath, false);
}

bool LocalFileSystem::IsFile(const QString& path) {
    if (path.endsWith(QLatin1Char('/')) || fileNameOf(path).startsWith(QLatin1Char('.')))
        return false;
    return fileStatus(path).isFile;
}

void LocalFileSystem::CopyFile(const QString& source, const QString& target, bool replaceExisting) {
    copyFileSafely(source, target, replaceExisting);
}

void LocalFileSystem::MoveFile(const QString& source, const QString& target, bool replaceExisting) {
    moveFileSafely(source, target, replaceExisting);
}

}  // namespace platform
