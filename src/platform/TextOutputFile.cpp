#include "platform/TextOutputFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

#include "platform/RuntimeError.h"

namespace platform {

namespace {
int numberForErrno(int error, int fallback) {
    switch (error) {
        case ENOSPC:
        case EFBIG:
        case EDQUOT:
            return ErrorNumber::DiskFull;
        case EACCES:
        case EPERM:
        case EROFS:
            return ErrorNumber::PermissionDenied;
        case ENOENT:
        case ENOTDIR:
            return ErrorNumber::PathNotFound;
        default:
            return fallback;
    }
}
}  // namespace

TextOutputFile::TextOutputFile(const QString& path) {
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')) || path.contains(QChar(0)))
        throw RuntimeError(ErrorNumber::PathFileAccessError, QStringLiteral("Bad file name"));
    const QFileInfo target(path);
    if (!target.absoluteDir().exists())
        throw RuntimeError(ErrorNumber::PathNotFound, QStringLiteral("Path not found"));
    if (target.isDir())
        throw RuntimeError(ErrorNumber::PathFileAccessError, QStringLiteral("Is a folder"));
    file_ = std::make_unique<QSaveFile>(target.absoluteFilePath());
    errno = 0;
    // Unbuffered: QSaveFile's own buffer can lose a short write at the end (a full disk)
    // and still commit; lines are gathered here and each write is checked.
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(ErrorNumber::PathFileAccessError, errno);
}

TextOutputFile::~TextOutputFile() {
    if (file_ && file_->isOpen())
        file_->cancelWriting();
}

void TextOutputFile::PrintLine(const QString& line) {
    if (!file_ || !file_->isOpen())
        throw RuntimeError(ErrorNumber::PathFileAccessError, QStringLiteral("File not open"));
    pending_ += line.toLocal8Bit();
    pending_ += "\r\n";
    if (pending_.size() >= BufferSize)
        flush();
}

void TextOutputFile::flush() {
    errno = 0;
    const qint64 written = file_->write(pending_);
    if (written != pending_.size())
        fail(ErrorNumber::DiskFull, errno);
    pending_.clear();
}

void TextOutputFile::Close() {
    if (!file_ || !file_->isOpen())
        return;
    flush();
    errno = 0;
    if (!file_->commit())
        fail(ErrorNumber::DiskFull, errno);
}

void TextOutputFile::fail(int fallbackNumber, int error) {
    const QString reason = file_ ? file_->errorString() : QString();
    if (file_ && file_->isOpen())
        file_->cancelWriting();
    throw RuntimeError(numberForErrno(error, fallbackNumber), reason);
}

}  // namespace platform
