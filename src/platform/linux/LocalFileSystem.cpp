#include "platform/linux/LocalFileSystem.h"

#include <cerrno>
#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/FileListing.h"
#include "platform/RuntimeError.h"

namespace platform {

namespace {

int errorNumberFor(int err) {
    switch (err) {
        case ENOENT:
            return ErrorNumber::FileNotFound;
        case ENOTDIR:
            return ErrorNumber::PathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return ErrorNumber::PermissionDenied;
        case EEXIST:
            return ErrorNumber::FileAlreadyExists;
        case ENOSPC:
        case EDQUOT:
            return ErrorNumber::DiskFull;
        default:
            return ErrorNumber::PathFileAccessError;
    }
}

QFileInfo existingFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty())
        throw RuntimeError(ErrorNumber::FileNotFound);
    if (!info.dir().exists())
        throw RuntimeError(ErrorNumber::PathNotFound);
    if (!info.exists() || info.isDir())
        throw RuntimeError(ErrorNumber::FileNotFound);
    return info;
}

void throwForSaveFailure(QSaveFile& file) {
    const int number = file.error() == QFileDevice::ResourceError ? ErrorNumber::DiskFull
                       : file.error() == QFileDevice::PermissionsError
                           ? ErrorNumber::PermissionDenied
                           : ErrorNumber::PathFileAccessError;
    file.cancelWriting();
    throw RuntimeError(number, file.errorString());
}

}  // namespace

QString LocalFileSystem::Dir(const QString& pattern, int attributes) {
    if (pattern.isEmpty())
        return {};
    const QFileInfo probe(pattern);
    const QString folder = probe.path();
    const QString namePattern = probe.fileName();
    const QDir dir(folder);
    if (namePattern.isEmpty() || !dir.exists())
        return {};
    QDir::Filters filters = QDir::Files | QDir::System;
    if (attributes & FileAttr::Directory)
        filters |= QDir::Dirs | QDir::NoDotAndDotDot;
    if (attributes & FileAttr::Hidden)
        filters |= QDir::Hidden;
    for (const QFileInfo& entry : dir.entryInfoList(filters, QDir::Name | QDir::IgnoreCase)) {
        if (!(attributes & FileAttr::Hidden) && entry.fileName().startsWith(QLatin1Char('.')))
            continue;
        if (!entry.isFile() && !((attributes & FileAttr::Directory) && entry.isDir()))
            continue;
        if (wildcardMatch(namePattern, entry.fileName()))
            return entry.fileName();
    }
    return {};
}

qint64 LocalFileSystem::FileLen(const QString& path) {
    return existingFile(path).size();
}

QDateTime LocalFileSystem::FileDateTime(const QString& path) {
    return existingFile(path).lastModified();
}

void LocalFileSystem::FileCopy(const QString& source, const QString& target) {
    existingFile(source);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::PermissionDenied, in.errorString());
    if (!QFileInfo(target).dir().exists())
        throw RuntimeError(ErrorNumber::PathNotFound);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throwForSaveFailure(out);
    char buffer[1 << 16];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0)
            throw RuntimeError(ErrorNumber::PathFileAccessError, in.errorString());
        if (n == 0)
            break;
        if (out.write(buffer, n) != n)
            throwForSaveFailure(out);
    }
    if (!out.commit())
        throwForSaveFailure(out);
}

void LocalFileSystem::Kill(const QString& path) {
    existingFile(path);
    if (std::remove(QFile::encodeName(path).constData()) != 0)
        throw RuntimeError(errorNumberFor(errno));
}

void LocalFileSystem::Name(const QString& oldPath, const QString& newPath) {
    existingFile(oldPath);
    if (QFileInfo::exists(newPath))
        throw RuntimeError(ErrorNumber::FileAlreadyExists);
    if (!QFileInfo(newPath).dir().exists())
        throw RuntimeError(ErrorNumber::PathNotFound);
    if (std::rename(QFile::encodeName(oldPath).constData(),
                    QFile::encodeName(newPath).constData()) == 0)
        return;
    if (errno != EXDEV)
        throw RuntimeError(errorNumberFor(errno));
    // Another volume: copy safely, then remove the original only once the copy is whole.
    FileCopy(oldPath, newPath);
    Kill(oldPath);
}

void LocalFileSystem::WriteTextFile(const QString& path, const QByteArray& contents) {
    if (!QFileInfo(path).dir().exists())
        throw RuntimeError(ErrorNumber::PathNotFound);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throwForSaveFailure(file);
    if (file.write(contents) != contents.size())
        throwForSaveFailure(file);
    if (!file.commit())
        throwForSaveFailure(file);
}

}  // namespace platform
