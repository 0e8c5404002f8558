#include "platform/FileListing.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/RuntimeError.h"

namespace platform {

namespace {

enum class EntryKind { File, Folder, Other };

EntryKind kindOf(const QByteArray& folder, const dirent* entry) {
    if (entry->d_type == DT_REG)
        return EntryKind::File;
    if (entry->d_type == DT_DIR)
        return EntryKind::Folder;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return EntryKind::Other;
    struct stat info {};
    const QByteArray full = folder + '/' + entry->d_name;
    if (::stat(full.constData(), &info) != 0)
        return EntryKind::Other;
    if (S_ISREG(info.st_mode))
        return EntryKind::File;
    return S_ISDIR(info.st_mode) ? EntryKind::Folder : EntryKind::Other;
}

// Reads the names of one kind of entry, skipping hidden ones ("." names).
template <typename Accept>
bool readEntries(const QString& folder, EntryKind wanted, Accept accept) {
    const QByteArray path = QFile::encodeName(folder);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.constData()), ::closedir);
    if (!dir)
        return false;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        if (kindOf(path, entry) == wanted)
            accept(entry->d_name);
    }
    return true;
}

std::vector<QByteArray> splitPatterns(const QString& pattern) {
    std::vector<QByteArray> patterns;
    for (const QString& part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            patterns.push_back(QFile::encodeName(trimmed));
    }
    return patterns;
}

void sortIgnoringCase(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

}  // namespace

bool wildcardMatch(const QString& pattern, const QString& name) {
    return ::fnmatch(QFile::encodeName(pattern).constData(), QFile::encodeName(name).constData(),
                     FNM_CASEFOLD | FNM_PERIOD) == 0;
}

QStringList listMatchingFiles(const QString& folder, const QString& pattern) {
    const std::vector<QByteArray> patterns = splitPatterns(pattern);
    QStringList names;
    const bool readable = readEntries(folder, EntryKind::File, [&](const char* name) {
        const bool matches =
            patterns.empty() ||
            std::any_of(patterns.begin(), patterns.end(), [&](const QByteArray& p) {
                return ::fnmatch(p.constData(), name, FNM_CASEFOLD) == 0;
            });
        if (matches)
            names.append(QFile::decodeName(name));
    });
    if (!readable)
        throw RuntimeError(ErrorNumber::PathNotFound);
    sortIgnoringCase(names);
    return names;
}

QStringList listSubfolders(const QString& folder) {
    QStringList names;
    readEntries(folder, EntryKind::Folder,
                [&](const char* name) { names.append(QFile::decodeName(name)); });
    sortIgnoringCase(names);
    return names;
}

}  // namespace platform
