#include "platform/linux/SafeFileTransfer.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QByteArray>

#include "platform/FileName.h"
#include "platform/ProgressWindow.h"
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
    return encodeFileName(path);
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

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
    const QByteArray path = target.isEmpty() ? QByteArray() : absoluteFileName(target);
    struct stat folderStatus {};
    if (path.isEmpty() || path.endsWith('/') ||
        ::stat(folderOfFileName(path).constData(), &folderStatus) != 0 ||
        !S_ISDIR(folderStatus.st_mode))
        throw RuntimeError(ErrorNumber::PathNotFound, reasonFor(ENOTDIR));
    struct stat targetStatus {};
    if (::stat(path.constData(), &targetStatus) == 0) {
        if (sameFile(targetStatus, sourceStatus))
            throw RuntimeError(ErrorNumber::PathFileAccessError,
                               QStringLiteral("the source and the target are the same file"));
        if (S_ISDIR(targetStatus.st_mode))
            throw systemError(EISDIR);
        if (!replaceExisting)
            throw systemError(EEXIST);
    }
}

// Refuses, before anything is copied, a source that its folder would not let go: a
// read-only disk, a folder without write permission, a sticky folder of another user, an
// immutable or append-only file or folder.
void checkRemovable(const QByteArray& source, int sourceFd, const struct stat& sourceStatus) {
    const QByteArray folder = folderOfFileName(source);
    if (::faccessat(AT_FDCWD, folder.constData(), W_OK | X_OK, AT_EACCESS) != 0)
        throw systemError(errno);
    struct stat folderStatus {};
    if (::stat(folder.constData(), &folderStatus) != 0)
        throw systemError(errno);
    const uid_t user = ::geteuid();
    if ((folderStatus.st_mode & S_ISVTX) && user != 0 && sourceStatus.st_uid != user &&
        folderStatus.st_uid != user)
        throw systemError(EPERM);
    const auto fixed = [](int fd) {
        int flags = 0;
        return ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
               (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
    };
    const Descriptor folderFd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fixed(sourceFd) || (folderFd.get() >= 0 && fixed(folderFd.get())))
        throw systemError(EPERM);
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
// modification time. Stops with workCancelled(noun) when the progress is cancelled.
void copyInto(int in, const struct stat& sourceStatus, SafeFileWriter& file, WorkProgress& progress,
              const QString& noun) {
    static constexpr size_t Chunk = size_t(2) << 20;
    const int out = file.descriptor();
    off_t copied = 0;
    const auto stepDone = [&](ssize_t n) {
        copied += n;
        progress.advance(copied);
        if (progress.cancelled())
            throw workCancelled(noun);
    };
    // The kernel copies without the data passing through this process where it can.
    bool readAndWrite = false;
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, Chunk, 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const bool unsupported =
                errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP;
            if (copied == 0 && unsupported) {
                readAndWrite = true;
                break;
            }
            throw systemError(errno == EFBIG ? ENOSPC : errno);
        }
        if (n == 0)
            break;
        file.wrote(n);
        stepDone(n);
    }
    if (readAndWrite) {
        static constexpr ssize_t BufferSize = 1 << 20;
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
            file.write(buffer.constData(), n, unwatchedProgress());
            stepDone(n);
        }
    }
    struct stat now {};
    if (::fstat(in, &now) != 0)
        throw systemError(errno);
    if (copied != now.st_size || copied != sourceStatus.st_size)
        throw systemError(EIO);  // the source changed size while it was read
    ::fchmod(out, sourceStatus.st_mode & 07777);
    const struct timespec times[2] = {sourceStatus.st_atim, sourceStatus.st_mtim};
    ::futimens(out, times);
}

LongWork describe(const char* title, const char* action, const char* noun, const QString& source,
                  const QString& target, qint64 size) {
    LongWork work;
    work.title = QLatin1String(title);
    work.action = QLatin1String(action);
    work.noun = QLatin1String(noun);
    work.from = source;
    work.to = target;
    work.total = size;
    return work;
}

// The copy of a move to another file system, put in place of `target` as one transaction
// with the deletion of the source (see moveFileSafely).
void moveAcross(int in, const struct stat& sourceStatus, const QByteArray& source,
                const QString& target, bool replaceExisting, WorkProgress& progress) {
    const QString noun = QStringLiteral("the move");
    SafeFileWriter file(target);
    copyInto(in, sourceStatus, file, progress, noun);
    const QByteArray copy = file.completeUnderHiddenName();
    struct stat copyStatus {};
    if (::fstat(file.descriptor(), &copyStatus) != 0 || copyStatus.st_size != sourceStatus.st_size)
        throw systemError(EIO);  // the writer's destructor removes the copy
    if (progress.cancelled())
        throw workCancelled(noun);
    const QByteArray& to = file.target();

    // The old target stays under a hidden name until the source is gone.
    QByteArray kept;
    bool keptByRename = false;
    struct stat oldStatus {};
    if (replaceExisting && ::lstat(to.constData(), &oldStatus) == 0) {
        kept = hiddenNameIn(file.folder());
        if (::link(to.constData(), kept.constData()) != 0) {
            const int err = errno;
            if (err != EPERM && err != EOPNOTSUPP && err != EMLINK)
                throw systemError(err);
            // No hard links here: the old target steps aside by name.
            if (::rename(to.constData(), kept.constData()) != 0)
                throw systemError(errno);
            keptByRename = true;
        }
    }
    // Should even that fail (the disk went away), the old target keeps its hidden name
    // rather than being dropped.
    const auto putBackOldTarget = [&] {
        if (!kept.isEmpty())
            ::rename(kept.constData(), to.constData());
    };
    const int placed = placeFile(copy, to, replaceExisting);
    if (placed != 0) {
        if (keptByRename)
            putBackOldTarget();
        else if (!kept.isEmpty())
            ::unlink(kept.constData());
        throw systemError(placed);  // the writer's destructor removes the copy
    }
    file.release();  // the copy has the target's name now

    if (::unlink(source.constData()) != 0) {
        const int err = errno;
        if (!kept.isEmpty()) {
            putBackOldTarget();  // which drops the copy
        } else {
            struct stat now {};
            if (::lstat(to.constData(), &now) == 0 && sameFile(now, copyStatus))
                ::unlink(to.constData());
        }
        throw systemError(err);
    }
    if (!kept.isEmpty())
        ::unlink(kept.constData());
    const Descriptor folder(::open(file.folder().constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
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
    if (path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).startsWith(QLatin1Char('.')))
        return false;
    struct stat status {};
    return ::stat(encoded(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

void copyFileSafely(const QString& source, const QString& target, bool replaceExisting,
                    WorkProgress& progress) {
    struct stat sourceStatus {};
    const Descriptor in(openSource(source, sourceStatus));
    checkTarget(target, sourceStatus, replaceExisting);
    SafeFileWriter file(target);
    copyInto(in.get(), sourceStatus, file, progress, QStringLiteral("the copy"));
    file.commit(replaceExisting);
}

void copyFileSafely(const QString& source, const QString& target, bool replaceExisting) {
    struct stat sourceStatus {};
    {
        const Descriptor in(openSource(source, sourceStatus));
        checkTarget(target, sourceStatus, replaceExisting);
    }
    runLongWork(
        describe("Vedra Viewer - Copy", "Copying", "the copy", source, target,
                 sourceStatus.st_size),
        [&](WorkProgress& progress) { copyFileSafely(source, target, replaceExisting, progress); });
}

namespace {

// The steps of a move up to the copy; returns true when a rename did it all.
bool moveWithinDisk(const QString& source, const QString& target, bool replaceExisting,
                    struct stat& sourceStatus) {
    // A move needs no read access to the file itself, only to its folder.
    if (source.isEmpty())
        throw systemError(ENOENT);
    if (::stat(encoded(source).constData(), &sourceStatus) != 0)
        throw systemError(errno);
    if (!S_ISREG(sourceStatus.st_mode))
        throw systemError(EISDIR);
    checkTarget(target, sourceStatus, replaceExisting);
    const int err = placeFile(encoded(source), encoded(target), replaceExisting);
    if (err == 0)
        return true;
    if (err != EXDEV)
        throw systemError(err);
    return false;
}

}  // namespace

void moveFileSafely(const QString& source, const QString& target, bool replaceExisting,
                    WorkProgress& progress) {
    struct stat sourceStatus {};
    if (moveWithinDisk(source, target, replaceExisting, sourceStatus))
        return;
    const QByteArray from = absoluteFileName(source);
    const Descriptor in(openSource(source, sourceStatus));
    checkRemovable(from, in.get(), sourceStatus);
    moveAcross(in.get(), sourceStatus, from, target, replaceExisting, progress);
}

void moveFileSafely(const QString& source, const QString& target, bool replaceExisting) {
    struct stat sourceStatus {};
    if (moveWithinDisk(source, target, replaceExisting, sourceStatus))
        return;
    // Another file system: the source goes only once a whole copy of it is in place.
    const QByteArray from = absoluteFileName(source);
    const Descriptor in(openSource(source, sourceStatus));
    checkRemovable(from, in.get(), sourceStatus);
    runLongWork(
        describe("Vedra Viewer - Move", "Moving", "the move", source, target, sourceStatus.st_size),
        [&](WorkProgress& progress) {
            moveAcross(in.get(), sourceStatus, from, target, replaceExisting, progress);
        });
}

}  // namespace platform
