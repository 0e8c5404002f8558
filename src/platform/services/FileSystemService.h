#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace platform {

// Attributes a directory lookup may include besides ordinary files.
namespace FileAttr {
constexpr int Normal = 0;
constexpr int Hidden = 2;
constexpr int System = 4;
constexpr int Directory = 16;
}  // namespace FileAttr

// File services. Failures throw RuntimeError with the error number: 53 no such file,
// 76 no such folder, 70 no permission, 58 target exists, 61 disk full, 75 other access error;
// the error's text then names the system's reason in words.
class FileSystemService {
  public:
    virtual ~FileSystemService() = default;
    // The first entry matching `pattern` (a path whose last part may hold wildcards) with
    // the given attributes, or empty. Hidden ("." names) entries count only with Hidden.
    virtual QString Dir(const QString& pattern, int attributes = FileAttr::Normal) = 0;
    virtual qint64 FileLen(const QString& path) = 0;
    virtual QDateTime FileDateTime(const QString& path) = 0;
    // Copies, overwriting an existing target; the target is never left half-written.
    virtual void FileCopy(const QString& source, const QString& target) = 0;
    // Deletes permanently.
    virtual void Kill(const QString& path) = 0;
    // Renames or moves; fails with 58 when the target exists.
    virtual void Name(const QString& oldPath, const QString& newPath) = 0;

    // True when `path`, taken literally (no wildcards) and with its letter case, names an
    // existing ordinary file that is not hidden. Never fails.
    virtual bool IsFile(const QString& path) = 0;
    // Copies through a temporary file in the target folder that takes the target's name only
    // once it is complete. An existing target is replaced only when `replaceExisting` is
    // true (otherwise 58); copying a file onto itself fails (75).
    virtual void CopyFile(const QString& source, const QString& target, bool replaceExisting) = 0;
    // Moves: a rename within one file system; across file systems a complete copy as above,
    // checked for the source's size, and only then the deletion of the source. An existing
    // target is replaced only when `replaceExisting` is true (otherwise 58).
    virtual void MoveFile(const QString& source, const QString& target, bool replaceExisting) = 0;
};

}  // namespace platform
