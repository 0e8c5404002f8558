#include "platform/linux/SafeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include "platform/RuntimeError.h"
#include "platform/linux/SafeFileTransfer.h"

namespace platform {

namespace {

// The error of a failed step of writing. A name that vanishes under the writer means its
// folder is gone; a file too big for its file system is a full disk for the user.
RuntimeError writeError(int err) {
    if (err == ENOENT)
        return systemError(ENOTDIR);
    if (err == EFBIG)
        return systemError(ENOSPC);
    return systemError(err);
}

// Creates a new hidden file in `folder` that no one else has opened; returns its descriptor
// and sets `name`. Created with 0666 so the umask decides its permissions.
int createTemporary(const QByteArray& folder, QByteArray& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + "/.vedra-write-" +
               QByteArray::number(QRandomGenerator::global()->generate(), 16);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

SafeFileWriter::SafeFileWriter(const QString& path) {
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')) || path.contains(QChar(0)))
        throw RuntimeError(ErrorNumber::PathFileAccessError,
                           QStringLiteral("the name cannot be used for a file"));
    QFileInfo target(path);
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    struct stat folderStatus {};
    if (::stat(folder.constData(), &folderStatus) != 0 || !S_ISDIR(folderStatus.st_mode))
        throw writeError(ENOENT);
    target_ = QFile::encodeName(target.absoluteFilePath());

    struct stat existing {};
    const bool exists = ::stat(target_.constData(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode))
            throw writeError(EISDIR);
        // A file the user may not change is not replaced behind its back.
        if (::access(target_.constData(), W_OK) != 0)
            throw writeError(errno);
        if (target.isSymLink())
            target_ = QFile::encodeName(target.canonicalFilePath());
    }
    folder_ = QFile::encodeName(QFileInfo(QFile::decodeName(target_)).absolutePath());
    fd_ = createTemporary(folder_, temporary_);
    if (fd_ < 0)
        throw writeError(errno);
    if (exists && S_ISREG(existing.st_mode)) {
        ::fchmod(fd_, existing.st_mode & 07777);
        // Only root can give the file back to another owner; anyone else keeps it.
        if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())
            (void)::fchown(fd_, existing.st_uid, existing.st_gid);
    }
}

SafeFileWriter::~SafeFileWriter() {
    discard();
}

void SafeFileWriter::write(const char* data, qint64 size) {
    if (!isOpen())
        throw RuntimeError(ErrorNumber::PathFileAccessError,
                           QStringLiteral("the file is not open"));
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        data += n;
        size -= n;
    }
}

void SafeFileWriter::commit(bool replaceExisting) {
    if (!isOpen())
        throw RuntimeError(ErrorNumber::PathFileAccessError,
                           QStringLiteral("the file is not open"));
    // A full disk may show only here, when the file system places the data.
    if (::fsync(fd_) != 0)
        fail(errno);
    const int fd = fd_;
    fd_ = -1;
    int err = ::close(fd) == 0 ? 0 : errno;
    if (err == 0)
        err = placeFile(temporary_, target_, replaceExisting);
    if (err != 0) {
        ::unlink(temporary_.constData());
        throw writeError(err);
    }
    // The new name itself reaches the disk with its folder.
    const int folder = ::open(folder_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

void SafeFileWriter::discard() {
    if (!isOpen())
        return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(temporary_.constData());
}

void SafeFileWriter::fail(int err) {
    discard();
    throw writeError(err);
}

void writeFileSafely(const QString& path, const QByteArray& contents) {
    SafeFileWriter file(path);
    file.write(contents);
    file.commit();
}

}  // namespace platform
