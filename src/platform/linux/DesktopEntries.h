#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

// A program and its arguments, ready to start without a shell. File names among them are in
// the escaped text form of FileName.h and reach the program as the file system's bytes.
struct Launch {
    QString program;
    QStringList arguments;
    // The program runs in a terminal (Terminal=true): it is started inside a terminal
    // emulator.
    bool terminal = false;
};

// The desktop's registered applications, read the way the freedesktop.org standards
// describe them: .desktop files under $XDG_DATA_HOME and $XDG_DATA_DIRS, associations in
// the mimeapps.list files of the XDG config and data folders and in mimeinfo.cache.
namespace desktop_entries {

// The ids of the applications associated with a MIME type: the user's defaults first, then
// added associations, then the installed ones, without those the user removed.
QStringList associatedApplications(const QString& mimeType);

// The full path of the .desktop file with this id, or empty.
QString findDesktopFile(const QString& id);

// How to start the application of `desktopFile` on one file (or URL): its Exec line split
// into arguments with the field codes filled in (%f the file's absolute path, %u its file
// URI). Nothing for an entry that is hidden or whose program cannot be found.
std::optional<Launch> launchFor(const QString& desktopFile, const QString& fileOrUrl);

// The first associated application of `mimeType` that can start on `fileOrUrl`.
std::optional<Launch> defaultLaunch(const QString& mimeType, const QString& fileOrUrl);

// The full path of an executable program: `program` itself when it holds a "/", else the
// first match in the folders of PATH. Empty when there is none.
QString findProgram(const QString& program);

// Splits an Exec value into its arguments, undoing the quoting of the Desktop Entry format.
QStringList splitExec(const QString& exec);

}  // namespace desktop_entries
}  // namespace platform
