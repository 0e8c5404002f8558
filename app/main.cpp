// Vedra Viewer: creates the main window and runs the event loop.
#include <QApplication>
#include <QMainWindow>

#include "app/ProgramAssembly.h"

#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/frmVedra.h"
#include "platform/FileName.h"
#include "platform/FirstPaintProbe.h"
#include "platform/PictureLimits.h"
#include "platform/PicturePrefetcher.h"
#include "platform/linux/LinuxServices.h"

int main(int argc, char** argv) {
    // A picture named on the command line starts decoding on the read-ahead's worker first
    // thing, while the application and the main window are being set up.
    platform::PicturePrefetcher readAhead;
    if (argc == 2)
        Program::readAheadAtStart(readAhead, platform::decodeFileName(QByteArray(argv[1])));

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vedra-viewer"));
    // Desktops (Wayland's app id, task bars) match the window to the installed menu entry.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(project_identity::kApplicationId));
    // Windows close through their own unload handling; the main window's ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    // Pasted, dropped and opened pictures all decode under the same size limit.
    platform::applyPictureDecodeLimits();

    // The arguments Qt left (it takes its own options out of argv) keep their bytes: a file
    // name need not be UTF-8.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(platform::decodeFileName(QByteArray(argv[i])));
    platform::LinuxServices desktop(arguments, project_identity::productName());
    Program program(desktop.services(), readAhead);
    // An error no handler traps is shown as "Error N" and the program carries on.
    assembly::UnhandledErrorReporting reportUnhandledErrors(program);
    program.start();
    platform::reportFirstPaint(program.frmVedra().window());
    return QApplication::exec();
}
