#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <functional>
#include <map>
#include <ostream>

#include "platform/FileName.h"
#include "platform/RuntimeError.h"

// Readable texts and bytes in test failures (long contents by their size and first bytes).
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    if (bytes.size() <= 64)
        *os << '"' << bytes.toStdString() << '"';
    else
        *os << bytes.size() << " bytes " << bytes.left(16).toHex().toStdString() << "...";
}

namespace testing_support {

// A file's bytes, by the bytes of its name; "<missing>" when it cannot be read.
inline QByteArray bytesOf(const QString& path) {
    const int fd = ::open(platform::encodeFileName(path).constData(), O_RDONLY);
    if (fd < 0)
        return "<missing>";
    QByteArray bytes;
    char buffer[65536];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, int(got));
    ::close(fd);
    return bytes;
}

inline void writeFile(const QString& path, const QByteArray& bytes, int mode = 0644) {
    const int fd = ::open(platform::encodeFileName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC,
                          mode_t(mode));
    if (fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size())
        ::fchmod(fd, mode_t(mode));
    ::close(fd);
}

inline QByteArray noise(qint64 size) {
    QByteArray bytes(size + 3, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()), (size + 3) / 4);
    return bytes.left(size);
}

// Every entry of a folder, hidden ones included (a left temporary shows here), by the bytes
// of its name: a file with its bytes, a link as "link to TARGET", a folder as "<folder>".
using Files = std::map<QByteArray, QByteArray>;
inline Files filesIn(const QString& folder) {
    Files files;
    const QByteArray base = platform::encodeFileName(folder) + '/';
    DIR* dir = ::opendir(base.constData());
    while (const dirent* entry = dir ? ::readdir(dir) : nullptr) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat status {};
        ::lstat((base + name).constData(), &status);
        char target[4096] = {};
        if (S_ISLNK(status.st_mode) && ::readlink((base + name).constData(), target, 4095) > 0)
            files[name] = "link to " + QByteArray(target);
        else
            files[name] = S_ISDIR(status.st_mode) ? "<folder>"
                                                  : bytesOf(platform::decodeFileName(base + name));
    }
    if (dir)
        ::closedir(dir);
    return files;
}

// Removes the files of a folder by the bytes of their names (a temporary folder removes only
// what it can name as text), so that the folder itself can go.
struct FilesRemovedAtEnd {
    std::vector<QString> folders;
    ~FilesRemovedAtEnd() {
        for (const QString& folder : folders)
            for (const auto& entry : filesIn(folder))
                ::unlink((platform::encodeFileName(folder) + '/' + entry.first).constData());
    }
};

// The error number `work` ends with; 0 when it succeeds.
inline int errorOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const platform::RuntimeError& error) {
        return error.number();
    }
    return 0;
}

}  // namespace testing_support
