#pragma once

#include <optional>

#include "platform/linux/DesktopEntries.h"
#include "platform/services/ShellService.h"

namespace platform {

// Opening documents and running programs on a Linux desktop. Programs are started with an
// argument list, never through a shell.
class DesktopShell : public ShellService {
  public:
    bool OpenDocument(const QString& target) override;
    bool Start(const QString& program, const QStringList& arguments) override;
    int RunAndWait(const QString& program, const QStringList& arguments) override;
    int EditAndWait(const QString& file) override;

    // How the user's graphical text editor starts on `file` so that it stays until its
    // window closes: the desktop's default application for plain text, or else the first
    // known editor installed. Nothing when there is none.
    static std::optional<Launch> textEditorFor(const QString& file);
    // How the desktop opens `target` (a file or an address) with its associated program.
    static std::optional<Launch> openerFor(const QString& target);
};

}  // namespace platform
