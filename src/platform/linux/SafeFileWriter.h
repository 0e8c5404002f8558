#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

class WorkProgress;

// A whole file written into a temporary file in its target's folder. Where the file system
// allows it the temporary file has no name at all (O_TMPFILE), so a killed program leaves
// nothing behind; elsewhere it is a hidden ".vedra-write-" file held locked while it is
// written, and the first writer into a folder in a later run removes the ones a crashed run
// left (ours, unlocked, older than this run). The file takes the target's name only in
// commit(), once every byte is written and flushed to the disk; a writer dropped before
// that, or any failed step, leaves nothing of the writing and an existing file of that name
// with its old bytes. A replaced file keeps its permissions and owner; a new one gets the
// usual permissions (0666 less the umask). A link to a file is written through, so the
// link stays a link.
// Failures throw RuntimeError: 76 the folder does not exist, 70 no permission or a read-only
// disk, 61 the disk is full, 75 anything else (an unusable name, a folder of that name).
class SafeFileWriter {
  public:
    explicit SafeFileWriter(const QString& path);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // False once the file is committed or discarded, or after a failure.
    bool isOpen() const { return fd_ >= 0; }

    // The open temporary file, for a writer that fills it or sets its attributes itself.
    int descriptor() const { return fd_; }

    // Writes the bytes. On the interface thread a large write runs on a worker behind the
    // progress window (see runLongWork); its Cancel discards the file (32755).
    void write(const char* data, qint64 size);
    void write(const QByteArray& bytes) { write(bytes.constData(), bytes.size()); }
    // Writes the bytes here and now, reporting them to `progress` and stopping when it is
    // cancelled.
    void write(const char* data, qint64 size, WorkProgress& progress);

    // Tells the writer that `bytes` more were put into descriptor() directly; it starts
    // their way to the disk, so that a long write does not leave gigabytes for commit().
    void wrote(qint64 bytes);

    // Flushes the file to the disk and gives it its name. Without `replaceExisting` an
    // existing file of that name is never replaced (58), not even one that appeared while
    // the file was written.
    void commit(bool replaceExisting = true);

    // Flushes the file to the disk and gives it a hidden name of its own in the target's
    // folder, which it returns; the file stays open (and locked) until commit(),
    // release() or discard(). For a caller that places the file itself.
    QByteArray completeUnderHiddenName();
    // Closes the file, leaving it under the name it has.
    void release();

    // Removes the temporary file; nothing of the writing remains.
    void discard();

    // The target's folder and the target, as the file system's bytes.
    const QByteArray& folder() const { return folder_; }
    const QByteArray& target() const { return target_; }

  private:
    [[noreturn]] void fail(int err);

    QByteArray target_;
    QByteArray folder_;
    QByteArray temporary_;  // empty while the file has no name
    int fd_ = -1;
    qint64 written_ = 0;
    qint64 flushedTo_ = 0;
};

// Writes `contents` as the whole file `path` through a SafeFileWriter.
void writeFileSafely(const QString& path, const QByteArray& contents);

// A new hidden name in `folder` for a file of this program's own (".vedra-write-..."), one
// that a later run may remove when it was left behind.
QByteArray hiddenNameIn(const QByteArray& folder);

// Whether temporary files may be unnamed (O_TMPFILE) where the file system allows it; on by
// default. Tests turn it off to check the named temporaries.
void setUnnamedTemporaries(bool allowed);

// The bytes of `path` as a absolute path (the current folder in front of a relative one).
QByteArray absoluteFileName(const QString& path);
// The folder part of an absolute path's bytes ("/" for a file in the root).
QByteArray folderOfFileName(const QByteArray& path);

}  // namespace platform
