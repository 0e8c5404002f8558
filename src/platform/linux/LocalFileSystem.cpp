#include "platform/linux/LocalFileSystem.h"

#include <cerrno>
#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/FileListing.h"
#include "platform/RuntimeError.h"
#include "platform/linux/SafeFileTransfer.h"
#include "platform/linux/SafeFileWriter.h"

namespace platform {

namespace {

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
    CopyFile(source, target, true);
}

void LocalFileSystem::Kill(const QString& path) {
    existingFile(path);
    if (std::remove(QFile::encodeName(path).constData()) != 0)
        throw systemError(errno);
}

void LocalFileSystem::Name(const QString& oldPath, const QString& newPath) {
    MoveFile(oldPath, newPath, false);
}

void LocalFileSystem::WriteTextFile(const QString& path, const QByteArray& contents) {
    writeFileSafely(path, contents);
}

bool LocalFileSystem::IsFile(const QString& path) {
    return isVisibleOrdinaryFile(path);
}

void LocalFileSystem::CopyFile(const QString& source, const QString& target, bool replaceExisting) {
    copyFileSafely(source, target, replaceExisting);
}

void LocalFileSystem::MoveFile(const QString& source, const QString& target, bool replaceExisting) {
    moveFileSafely(source, target, replaceExisting);
}

}  // namespace platform
