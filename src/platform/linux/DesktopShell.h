#pragma once

#include <optional>

#include "platform/linux/DesktopEntries.h"
#include "platform/services/ShellService.h"

namespace platform {

// Opening documents and running programs on a Linux desktop. Programs are started with an
// argument list, never through a shell, and get file names as the file system's bytes. A
// program whose desktop entry says it runs in a terminal is started inside the desktop's
// terminal emulator.
class DesktopShell : public ShellService {
  public:
    bool OpenDocument(const QString& target) override;
    bool Start(const QString& program, const QStringList& arguments) override;
    int RunAndWait(const QString& program, const QStringList& arguments) override;
    int EditAndWait(const QString& file) override;

    // How the user's text editor starts on `file` (by its absolute path or file URI) so that
    // it stays until its window closes: the desktop's default application for plain text,
    // or else the first known graphical editor installed, or else a terminal editor (marked
    // `terminal`). Nothing when there is none.
    static std::optional<Launch> textEditorFor(const QString& file);
    // How the desktop opens `target` (a file or an address) with its associated program.
    static std::optional<Launch> openerFor(const QString& target);
};

}  // namespace platform
