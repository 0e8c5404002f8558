#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <memory>

namespace platform {

// A file opened for reading a picture from it. Pictures are read piece by piece from the
// open file, as far as the picture goes, never copied whole into memory: a huge file that
// holds a small picture costs what the picture costs. Reading the open file keeps working
// when the file is renamed or deleted meanwhile; one cut short reads as ending early.
class OpenedFile {
  public:
    // Opens `path` (its bytes, see FileName.h). Throws RuntimeError 53 (no such file, or a
    // folder), 76 (no such folder), 70 (no read permission), 481 (not an ordinary file: a
    // FIFO, device or socket is refused without ever being read, so it cannot hang the
    // program) or 75 (any other failure).
    static std::shared_ptr<const OpenedFile> open(const QString& path);
    ~OpenedFile();
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;

    int descriptor() const { return fd_; }
    // The length when the file was opened.
    qint64 size() const { return size_; }
    // Up to `length` bytes from `offset`; fewer at the end of the file. Safe from any thread.
    // Returns -1 on a read error.
    qint64 read(qint64 offset, char* buffer, qint64 length) const;
    QByteArray read(qint64 offset, qint64 length) const;

  private:
    OpenedFile(int fd, qint64 size) : fd_(fd), size_(size) {}
    int fd_;
    qint64 size_;
};

// What tells one state of a file from another: a picture prepared from a file is served
// again only while the stamp of its path is unchanged.
struct FileStamp {
    qint64 length = -1;
    qint64 modifiedNanoseconds = 0;
    quint64 device = 0;
    quint64 inode = 0;
    bool valid() const { return length >= 0; }
    bool operator==(const FileStamp& other) const {
        return length == other.length && modifiedNanoseconds == other.modifiedNanoseconds &&
               device == other.device && inode == other.inode;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};
// The stamp of the ordinary file at `path`; not valid when there is none.
FileStamp fileStamp(const QString& path);

}  // namespace platform
