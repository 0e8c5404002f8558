#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

namespace platform {

class SafeFileWriter;

// A text file opened for output: created, or replaced when it exists. Lines are written as
// 8-bit text, each ending in CR LF: UTF-8, except that the file names in a line keep their
// own bytes (see FileName.h), so a name that is not UTF-8 is written as the file system has
// it. The file appears under its name only when Close succeeds; a file that is never closed, or
// whose writing failed, leaves nothing behind and an existing file of that name untouched. Failures
// throw RuntimeError: 76 the folder does not exist, 70 no write permission, 75 an unusable name, 61
// the disk is full.
class TextOutputFile {
  public:
    explicit TextOutputFile(const QString& path);
    ~TextOutputFile();
    TextOutputFile(const TextOutputFile&) = delete;
    TextOutputFile& operator=(const TextOutputFile&) = delete;

    void PrintLine(const QString& line);
    void Close();

  private:
    static constexpr int BufferSize = 64 * 1024;
    void flush();

    std::unique_ptr<SafeFileWriter> file_;
    QByteArray pending_;
};

}  // namespace platform
