#include "platform/FilePaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QStringList>
#include <cctype>
#include <cerrno>
#include <vector>

#include "platform/FileName.h"

namespace platform {

FileStatus fileStatus(const QString& path) {
    FileStatus status;
    struct stat info {};
    if (path.isEmpty() || ::stat(encodeFileName(path).constData(), &info) != 0)
        return status;
    status.exists = true;
    status.isFolder = S_ISDIR(info.st_mode);
    status.isFile = S_ISREG(info.st_mode);
    status.size = qint64(info.st_size);
    status.modified = QDateTime::fromMSecsSinceEpoch(qint64(info.st_mtim.tv_sec) * 1000 +
                                                     info.st_mtim.tv_nsec / 1000000);
    return status;
}

bool isFolder(const QString& path) {
    return fileStatus(path).isFolder;
}

bool isEnterableFolder(const QString& path) {
    return isFolder(path) && ::access(encodeFileName(path).constData(), X_OK) == 0;
}

bool isExecutableFile(const QString& path) {
    return fileStatus(path).isFile && ::access(encodeFileName(path).constData(), X_OK) == 0;
}

QString currentFolder() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return QStringLiteral("/");
        buffer.resize(buffer.size() * 2);
    }
    return decodeFileName(QByteArray(buffer.data()));
}

QString absoluteFilePath(const QString& path) {
    const QString full =
        path.startsWith(QLatin1Char('/')) ? path : currentFolder() + QLatin1Char('/') + path;
    QStringList parts;
    for (const QString& part : full.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    return QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString fileUri(const QString& path) {
    // Unreserved characters, sub-delimiters, ":", "@" and "/" stand for themselves in a path.
    static const QByteArray plain = "-._~!$&'()*+,;=:@/";
    QString uri = QStringLiteral("file://");
    for (const char c : encodeFileName(absoluteFilePath(path))) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || plain.contains(c)) {
            uri.append(QLatin1Char(c));
        } else {
            uri.append(QStringLiteral("%%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper());
        }
    }
    return uri;
}

QString pathOfFileUri(const QString& uri) {
    if (!uri.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return {};
    QString rest = uri.mid(5);
    if (rest.startsWith(QLatin1String("//"))) {
        // An authority: empty or "localhost" is this machine; any other host is not local.
        const qsizetype slash = rest.indexOf(QLatin1Char('/'), 2);
        const QString host = rest.mid(2, slash < 0 ? -1 : slash - 2);
        if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
            return {};
        rest = slash < 0 ? QString() : rest.mid(slash);
    }
    if (!rest.startsWith(QLatin1Char('/')))
        return {};
    // The query and fragment are no part of the path.
    for (const QChar stop : {QLatin1Char('?'), QLatin1Char('#')}) {
        const qsizetype at = rest.indexOf(stop);
        if (at >= 0)
            rest.truncate(at);
    }
    const QByteArray text = encodeFileName(rest);
    QByteArray bytes;
    bytes.reserve(text.size());
    const auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) && hex(text[i + 2])) {
            bytes.append(char(text.mid(i + 1, 2).toInt(nullptr, 16)));
            i += 2;
        } else {
            bytes.append(text[i]);
        }
    }
    return decodeFileName(bytes);
}

}  // namespace platform
