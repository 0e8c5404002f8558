#include "platform/linux/SafeFileWriter.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <set>

#include <QRandomGenerator>

#include "platform/FileName.h"
#include "platform/ProgressWindow.h"
#include "platform/RuntimeError.h"
#include "platform/linux/SafeFileTransfer.h"

namespace platform {

namespace {

constexpr char HiddenPrefix[] = ".vedra-write-";
// One write() call at most, so progress and Cancel are seen often.
constexpr qint64 WriteChunk = qint64(2) << 20;
// Written data is sent on to the disk in windows of this size while the next one is
// written, so that the final flush is short.
constexpr qint64 FlushWindow = qint64(32) << 20;

std::atomic<bool> unnamedAllowed{true};

// When this run began: a hidden temporary file of ours last changed before then, and locked
// by nobody, was left by a run that ended without removing it.
const struct timespec runStart = [] {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now;
}();

bool changedBeforeRun(const struct stat& status) {
    return status.st_mtim.tv_sec < runStart.tv_sec ||
           (status.st_mtim.tv_sec == runStart.tv_sec && status.st_mtim.tv_nsec < runStart.tv_nsec);
}

// The error of a failed step of writing. A name that vanishes under the writer means its
// folder is gone; a file too big for its file system is a full disk for the user.
RuntimeError writeError(int err) {
    if (err == ENOENT)
        return systemError(ENOTDIR);
    if (err == EFBIG)
        return systemError(ENOSPC);
    return systemError(err);
}

QByteArray joined(const QByteArray& folder, const QByteArray& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// Removes, once per folder and run, the hidden temporary files that runs of this program
// left behind when they were killed: ours by name and owner, older than this run, and not
// locked by a writer that is still at work.
void sweepLeftovers(const QByteArray& folder) {
    static std::mutex mutex;
    static std::set<QByteArray> swept;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!swept.insert(folder).second)
            return;
    }
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    const int folderFd = ::dirfd(dir);
    while (const struct dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, HiddenPrefix, sizeof HiddenPrefix - 1) != 0)
            continue;
        // A temporary file that replaces a write-only file has its permissions.
        int fd = ::openat(folderFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && errno == EACCES)
            fd = ::openat(folderFd, entry->d_name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat status {};
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
            changedBeforeRun(status) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(folderFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// A new temporary file in `folder` that no one else has opened, locked while it is ours;
// returns its descriptor, and sets `name` to its name, or to nothing for an unnamed one.
// Created with 0666 so the umask decides its permissions.
int createTemporary(const QByteArray& folder, QByteArray& name) {
    name.clear();
    if (unnamedAllowed.load()) {
        const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::flock(fd, LOCK_EX | LOCK_NB);
            return fd;
        }
        // Only a file system (or a kernel) without unnamed files falls back to a name.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return -1;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = hiddenNameIn(folder);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::flock(fd, LOCK_EX | LOCK_NB);
            return fd;
        }
        if (errno != EEXIST) {
            name.clear();
            return -1;
        }
    }
    name.clear();
    errno = EEXIST;
    return -1;
}

// Gives the unnamed open file `fd` the name `name`; returns 0 or the system's error.
int linkUnnamed(int fd, const QByteArray& name) {
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    if (::linkat(AT_FDCWD, self, AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    int err = errno;
    if (err == ENOENT) {
        // No /proc: linking by descriptor needs a privilege, but try.
        if (::linkat(fd, "", AT_FDCWD, name.constData(), AT_EMPTY_PATH) == 0)
            return 0;
        err = errno;
    }
    return err;
}

void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

QByteArray hiddenNameIn(const QByteArray& folder) {
    return joined(folder, HiddenPrefix + QByteArray::number(qint64(::getpid()), 16) + '-' +
                              QByteArray::number(QRandomGenerator::global()->generate64(), 16));
}

void setUnnamedTemporaries(bool allowed) {
    unnamedAllowed = allowed;
}

QByteArray absoluteFileName(const QString& path) {
    QByteArray bytes = encodeFileName(path);
    if (bytes.startsWith('/'))
        return bytes;
    char folder[PATH_MAX];
    if (!::getcwd(folder, sizeof folder))
        return bytes;
    return joined(QByteArray(folder), bytes);
}

QByteArray folderOfFileName(const QByteArray& path) {
    const int slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

SafeFileWriter::SafeFileWriter(const QString& path) {
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')) || path.contains(QChar(0)))
        throw RuntimeError(ErrorNumber::PathFileAccessError,
                           QStringLiteral("the name cannot be used for a file"));
    target_ = absoluteFileName(path);
    folder_ = folderOfFileName(target_);
    struct stat folderStatus {};
    if (::stat(folder_.constData(), &folderStatus) != 0 || !S_ISDIR(folderStatus.st_mode))
        throw writeError(ENOENT);

    struct stat existing {};
    const bool exists = ::stat(target_.constData(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode))
            throw writeError(EISDIR);
        // A file the user may not change is not replaced behind its back.
        if (::access(target_.constData(), W_OK) != 0)
            throw writeError(errno);
        struct stat link {};
        if (::lstat(target_.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
            if (char* real = ::realpath(target_.constData(), nullptr)) {
                target_ = QByteArray(real);
                std::free(real);
                folder_ = folderOfFileName(target_);
            }
        }
    }
    sweepLeftovers(folder_);
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
    LongWork work;
    work.title = QStringLiteral("Vedra Viewer - Save");
    work.action = QStringLiteral("Saving");
    work.noun = QStringLiteral("the save");
    work.to = decodeFileName(target_);
    work.total = size;
    runLongWork(work, [&](WorkProgress& progress) {
        write(data, size, progress);
        // A big file reaches the disk here, on the worker, so that commit() is short.
        if (size >= FlushWindow && ::fdatasync(fd_) != 0)
            fail(errno);
    });
}

void SafeFileWriter::write(const char* data, qint64 size, WorkProgress& progress) {
    if (!isOpen())
        throw RuntimeError(ErrorNumber::PathFileAccessError,
                           QStringLiteral("the file is not open"));
    qint64 done = 0;
    while (done < size) {
        if (progress.cancelled()) {
            discard();
            throw workCancelled(QStringLiteral("the save"));
        }
        const ssize_t n = ::write(fd_, data + done, size_t(std::min(size - done, WriteChunk)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        done += n;
        wrote(n);
        progress.advance(done);
    }
}

void SafeFileWriter::wrote(qint64 bytes) {
    written_ += bytes;
    if (written_ - flushedTo_ < FlushWindow)
        return;
    // Start this window on its way to the disk without waiting for it: the disk works while
    // the next window is written, and the final flush has little left to do.
    ::sync_file_range(fd_, flushedTo_, written_ - flushedTo_, SYNC_FILE_RANGE_WRITE);
    flushedTo_ = written_;
}

QByteArray SafeFileWriter::completeUnderHiddenName() {
    if (!isOpen())
        throw RuntimeError(ErrorNumber::PathFileAccessError,
                           QStringLiteral("the file is not open"));
    // A full disk may show only here, when the file system places the data.
    if (::fsync(fd_) != 0)
        fail(errno);
    for (int attempt = 0; temporary_.isEmpty() && attempt < 100; ++attempt) {
        const QByteArray name = hiddenNameIn(folder_);
        const int err = linkUnnamed(fd_, name);
        if (err == 0)
            temporary_ = name;
        else if (err != EEXIST)
            fail(err);
    }
    if (temporary_.isEmpty())
        fail(EEXIST);
    return temporary_;
}

void SafeFileWriter::commit(bool replaceExisting) {
    const QByteArray hidden = completeUnderHiddenName();
    const int err = placeFile(hidden, target_, replaceExisting);
    if (err != 0)
        fail(err);
    temporary_.clear();
    release();
    // The new name itself reaches the disk with its folder.
    syncFolder(folder_);
}

void SafeFileWriter::release() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    temporary_.clear();
}

void SafeFileWriter::discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty())
        ::unlink(temporary_.constData());
    temporary_.clear();
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
