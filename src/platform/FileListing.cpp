#include "platform/FileListing.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/FileName.h"
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

// Reads the names of the entries whose kind `wanted` accepts, skipping hidden ones ("." names)
// unless `hidden`.
template <typename Wanted, typename Accept>
bool readEntries(const QString& folder, Wanted wanted, bool hidden, Accept accept) {
    const QByteArray path = encodeFileName(folder);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.constData()), ::closedir);
    if (!dir)
        return false;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.' && (!hidden || entry->d_name[1] == 0 ||
                                        (entry->d_name[1] == '.' && entry->d_name[2] == 0)))
            continue;
        if (wanted(kindOf(path, entry)))
            accept(entry->d_name);
    }
    return true;
}

std::vector<QByteArray> splitPatterns(const QString& pattern) {
    std::vector<QByteArray> patterns;
    for (const QString& part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            patterns.push_back(encodeFileName(trimmed));
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
    return ::fnmatch(encodeFileName(pattern).constData(), encodeFileName(name).constData(),
                     FNM_CASEFOLD | FNM_PERIOD) == 0;
}

QStringList listMatchingFiles(const QString& folder, const QString& pattern) {
    const std::vector<QByteArray> patterns = splitPatterns(pattern);
    QStringList names;
    const auto files = [](EntryKind kind) { return kind == EntryKind::File; };
    const bool readable = readEntries(folder, files, false, [&](const char* name) {
        const bool matches =
            patterns.empty() ||
            std::any_of(patterns.begin(), patterns.end(), [&](const QByteArray& p) {
                return ::fnmatch(p.constData(), name, FNM_CASEFOLD) == 0;
            });
        if (matches)
            names.append(decodeFileName(name));
    });
    if (!readable)
        throw RuntimeError(ErrorNumber::PathNotFound);
    sortIgnoringCase(names);
    return names;
}

QStringList listSubfolders(const QString& folder) {
    QStringList names;
    const auto folders = [](EntryKind kind) { return kind == EntryKind::Folder; };
    readEntries(folder, folders, false,
                [&](const char* name) { names.append(decodeFileName(name)); });
    sortIgnoringCase(names);
    return names;
}

QString firstMatchingEntry(const QString& folder, const QString& pattern, bool folders,
                           bool hidden) {
    QStringList names;
    const QByteArray wildcard = encodeFileName(pattern);
    const auto wanted = [folders](EntryKind kind) {
        return kind == EntryKind::File || (folders && kind == EntryKind::Folder);
    };
    readEntries(folder, wanted, hidden, [&](const char* name) {
        if (::fnmatch(wildcard.constData(), name, FNM_CASEFOLD | FNM_PERIOD) == 0)
            names.append(decodeFileName(name));
    });
    sortIgnoringCase(names);
    return names.value(0);
}

}  // namespace platform
