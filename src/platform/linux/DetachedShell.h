#pragma once

#include "platform/services/ShellService.h"

namespace platform {

// Starts programs detached from the viewer, with an argument list and no shell. Opening
// documents and waiting for a program are not offered here.
class DetachedShell : public ShellService {
  public:
    bool OpenDocument(const QString& target) override;
    bool Start(const QString& program, const QStringList& arguments) override;
    int RunAndWait(const QString& program, const QStringList& arguments) override;
};

}  // namespace platform
