#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Opening documents and running programs. Arguments are passed as a list, never through a
// shell, so no file name is ever interpreted.
class ShellService {
  public:
    virtual ~ShellService() = default;
    // Opens a document or web address with its associated program; false when none could start.
    virtual bool OpenDocument(const QString& target) = 0;
    // Starts a program with a normal window and focus; false when it could not start.
    virtual bool Start(const QString& program, const QStringList& arguments) = 0;
    // Runs a program and waits until it ends, keeping the windows painted but taking no
    // input; returns its exit status, or -1 when it failed to start.
    virtual int RunAndWait(const QString& program, const QStringList& arguments) = 0;
    // Opens one file in the user's text editor (one that runs in a terminal inside a terminal
    // emulator) and waits until the editor has ended; returns its exit status, or -1 when no
    // editor could start. While it waits
    // the windows keep painting but take no input.
    virtual int EditAndWait(const QString& file) = 0;
};

}  // namespace platform
