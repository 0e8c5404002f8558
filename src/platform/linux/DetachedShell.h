#pragma once

#include "platform/services/ShellService.h"

namespace platform {

// Opens documents with the desktop's associated program and starts programs with an
// argument list, never through a shell: detached, or waiting for their end.
class DetachedShell : public ShellService {
  public:
    bool OpenDocument(const QString& target) override;
    bool Start(const QString& program, const QStringList& arguments) override;
    int RunAndWait(const QString& program, const QStringList& arguments) override;
};

}  // namespace platform
