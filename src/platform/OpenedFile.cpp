#include "platform/OpenedFile.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileName.h"
#include "platform/RuntimeError.h"

namespace platform {
namespace {

[[noreturn]] void throwForMissing(const QByteArray& name, int error) {
    if (error == EACCES)
        throw RuntimeError(ErrorNumber::PermissionDenied);
    if (error == ENOTDIR)
        throw RuntimeError(ErrorNumber::PathNotFound);
    if (error != ENOENT)
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    // A missing file in a missing folder is a missing folder.
    const int slash = int(name.lastIndexOf('/'));
    const QByteArray folder = slash < 0 ? QByteArray(".") : name.left(std::max(1, slash));
    struct stat info {};
    if (::stat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw RuntimeError(ErrorNumber::PathNotFound);
    throw RuntimeError(ErrorNumber::FileNotFound);
}

void throwUnlessOrdinary(const struct stat& info) {
    if (S_ISDIR(info.st_mode))
        throw RuntimeError(ErrorNumber::FileNotFound);
    if (!S_ISREG(info.st_mode))
        throw RuntimeError(ErrorNumber::InvalidPicture);
}

}  // namespace

std::shared_ptr<const OpenedFile> OpenedFile::open(const QString& path) {
    if (path.isEmpty())
        throw RuntimeError(ErrorNumber::FileNotFound);
    const QByteArray name = encodeFileName(path);
    // Looked at before it is opened: opening a FIFO or a device can block or act.
    struct stat info {};
    if (::stat(name.constData(), &info) != 0)
        throwForMissing(name, errno);
    throwUnlessOrdinary(info);
    // Not blocking, and checked again once open, in case the name changed in between.
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throwForMissing(name, errno);
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    }
    try {
        throwUnlessOrdinary(info);
    } catch (...) {
        ::close(fd);
        throw;
    }
    return std::shared_ptr<const OpenedFile>(new OpenedFile(fd, qint64(info.st_size)));
}

FileStamp fileStamp(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(encodeFileName(path).constData(), &info) != 0 ||
        !S_ISREG(info.st_mode))
        return {};
    FileStamp stamp;
    stamp.length = qint64(info.st_size);
    stamp.modifiedNanoseconds = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.device = quint64(info.st_dev);
    stamp.inode = quint64(info.st_ino);
    return stamp;
}

OpenedFile::~OpenedFile() {
    ::close(fd_);
}

qint64 OpenedFile::read(qint64 offset, char* buffer, qint64 length) const {
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd_, buffer + done, size_t(length - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

QByteArray OpenedFile::read(qint64 offset, qint64 length) const {
    QByteArray bytes(length, Qt::Uninitialized);
    const qint64 got = read(offset, bytes.data(), length);
    if (got < 0)
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    bytes.truncate(got);
    return bytes;
}

}  // namespace platform
