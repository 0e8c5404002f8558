#include "platform/linux/SafeFileTransfer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include "platform/linux/SafeFileWriter.h"

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

QString reasonFor(int err) {
    switch (err) {
        case ENOENT:
            return QStringLiteral("the file or folder does not exist");
        case ENOTDIR:
            return QStringLiteral("the folder does not exist");
        case EACCES:
        case EPERM:
            return QStringLiteral("permission denied");
        case EROFS:
            return QStringLiteral("the disk is read-only");
        case EEXIST:
            return QStringLiteral("a file with that name already exists");
        case ENOSPC:
            return QStringLiteral("there is not enough free space on the disk");
        case EDQUOT:
            return QStringLiteral("the disk quota is used up");
        case ENAMETOOLONG:
            return QStringLiteral("the name is too long");
        case EIO:
            return QStringLiteral("the disk could not be read or written");
        case EISDIR:
            return QStringLiteral("a folder has that name");
        default:
            return QString::fromLocal8Bit(std::strerror(err));
    }
}

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The source as an open descriptor with its status, or the reason it cannot be read.
int openSource(const QString& source, struct stat& status) {
    if (source.isEmpty())
        throw RuntimeError(ErrorNumber::FileNotFound, reasonFor(ENOENT));
    const int fd = ::open(encoded(source).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw systemError(errno);
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int err = S_ISDIR(status.st_mode) ? EISDIR : errno;
        ::close(fd);
        throw systemError(err ? err : EINVAL);
    }
    return fd;
}

// Checks the target's folder and that the target is not the source itself.
void checkTarget(const QString& target, const struct stat& sourceStatus, bool replaceExisting) {
    const QString folder = QFileInfo(target).absolutePath();
    struct stat folderStatus {};
    if (target.isEmpty() || QFileInfo(target).fileName().isEmpty() ||
        ::stat(encoded(folder).constData(), &folderStatus) != 0 || !S_ISDIR(folderStatus.st_mode))
        throw RuntimeError(ErrorNumber::PathNotFound, reasonFor(ENOTDIR));
    struct stat targetStatus {};
    if (::stat(encoded(target).constData(), &targetStatus) == 0) {
        if (sameFile(targetStatus, sourceStatus))
            throw RuntimeError(ErrorNumber::PathFileAccessError,
                               QStringLiteral("the source and the target are the same file"));
        if (S_ISDIR(targetStatus.st_mode))
            throw systemError(EISDIR);
        if (!replaceExisting)
            throw systemError(EEXIST);
    }
}

// Gives `from` the name `to` without ever replacing a file that has that name.
int renameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without that kind of rename: a hard link fails when the name exists.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP)
        return errno;
    // No hard links either (FAT): check, then rename.
    struct stat status {};
    if (::lstat(to.constData(), &status) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

// Copies the open source into `file`: every byte, then the source's permissions and
// modification time.
void copyInto(int in, const struct stat& sourceStatus, SafeFileWriter& file) {
    const int out = file.descriptor();
    off_t copied = 0;
    // The kernel copies without the data passing through this process where it can.
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const bool unsupported =
                errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP;
            if (copied == 0 && unsupported)
                break;  // read and write below
            throw systemError(errno);
        }
        if (n == 0)
            break;
        copied += n;
    }
    static constexpr ssize_t BufferSize = 1 << 17;
    QByteArray buffer(BufferSize, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), BufferSize);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw systemError(errno);
        }
        if (n == 0)
            break;
        file.write(buffer.constData(), n);
        copied += n;
    }
    struct stat now {};
    if (::fstat(in, &now) != 0)
        throw systemError(errno);
    if (copied != now.st_size)
        throw systemError(EIO);  // the source changed size while it was read
    ::fchmod(out, sourceStatus.st_mode & 07777);
    const struct timespec times[2] = {sourceStatus.st_atim, sourceStatus.st_mtim};
    ::futimens(out, times);
}

}  // namespace

RuntimeError systemError(int err) {
    return RuntimeError(errorNumberFor(err), reasonFor(err));
}

int placeFile(const QByteArray& from, const QByteArray& to, bool replaceExisting) {
    if (replaceExisting)
        return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
    return renameNoReplace(from, to);
}

bool isVisibleOrdinaryFile(const QString& path) {
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return false;
    if (QFileInfo(path).fileName().startsWith(QLatin1Char('.')))
        return false;
    struct stat status {};
    return ::stat(encoded(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

void copyFileSafely(const QString& source, const QString& target, bool replaceExisting) {
    struct stat sourceStatus {};
    const int in = openSource(source, sourceStatus);
    try {
        checkTarget(target, sourceStatus, replaceExisting);
        SafeFileWriter file(target);
        copyInto(in, sourceStatus, file);
        file.commit(replaceExisting);
    } catch (...) {
        ::close(in);
        throw;
    }
    ::close(in);
}

void moveFileSafely(const QString& source, const QString& target, bool replaceExisting) {
    // A move needs no read access to the file itself, only to its folder.
    struct stat sourceStatus {};
    if (source.isEmpty())
        throw systemError(ENOENT);
    if (::stat(encoded(source).constData(), &sourceStatus) != 0)
        throw systemError(errno);
    if (!S_ISREG(sourceStatus.st_mode))
        throw systemError(EISDIR);
    checkTarget(target, sourceStatus, replaceExisting);
    const QByteArray from = encoded(source);
    const QByteArray to = encoded(target);
    const int err = placeFile(from, to, replaceExisting);
    if (err == 0)
        return;
    if (err != EXDEV)
        throw systemError(err);

    // Another file system: the source goes only once a whole copy of it is in place.
    copyFileSafely(source, target, replaceExisting);
    struct stat copied {};
    if (::stat(to.constData(), &copied) != 0 || copied.st_size != sourceStatus.st_size) {
        if (!replaceExisting)
            ::unlink(to.constData());
        throw systemError(EIO);
    }
    if (::unlink(from.constData()) != 0) {
        const int unlinkError = errno;
        // The original stays; without a replaced target the copy goes again, so the
        // files are as they were.
        if (!replaceExisting)
            ::unlink(to.constData());
        throw systemError(unlinkError);
    }
}

}  // namespace platform
