#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// A whole file written under a hidden temporary name in its target's folder. The file takes
// the target's name only in commit(), once every byte is written and flushed to the disk; a
// writer dropped before that, or any failed step, removes the temporary file and leaves an
// existing file of that name with its old bytes. A replaced file keeps its permissions and
// owner; a new one gets the usual permissions (0666 less the umask). A link to a file is
// written through, so the link stays a link.
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

    void write(const char* data, qint64 size);
    void write(const QByteArray& bytes) { write(bytes.constData(), bytes.size()); }

    // Flushes the file to the disk and gives it its name. Without `replaceExisting` an
    // existing file of that name is never replaced (58), not even one that appeared while
    // the file was written.
    void commit(bool replaceExisting = true);

    // Removes the temporary file; nothing of the writing remains.
    void discard();

  private:
    [[noreturn]] void fail(int err);

    QByteArray target_;
    QByteArray folder_;
    QByteArray temporary_;
    int fd_ = -1;
};

// Writes `contents` as the whole file `path` through a SafeFileWriter.
void writeFileSafely(const QString& path, const QByteArray& contents);

}  // namespace platform
