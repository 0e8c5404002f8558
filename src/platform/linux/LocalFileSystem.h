#pragma once

#include "platform/services/FileSystemService.h"

namespace platform {

class LocalFileSystem : public FileSystemService {
  public:
    QString Dir(const QString& pattern, int attributes) override;
    qint64 FileLen(const QString& path) override;
    QDateTime FileDateTime(const QString& path) override;
    void FileCopy(const QString& source, const QString& target) override;
    void Kill(const QString& path) override;
    void Name(const QString& oldPath, const QString& newPath) override;
    bool IsFile(const QString& path) override;
    void CopyFile(const QString& source, const QString& target, bool replaceExisting) override;
    void MoveFile(const QString& source, const QString& target, bool replaceExisting) override;
};

}  // namespace platform
