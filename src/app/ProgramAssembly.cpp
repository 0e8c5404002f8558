// Where the program is put together: the one file that knows every window. It creates the
// windows on first reference and carries the requests one window makes of another, so that
// the core and the feature folders never include each other.
#include "app/ProgramAssembly.h"

#include <QDebug>

#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/frmVedra.h"
#include "desktop/frmPrinter.h"
#include "fileops/frmDirectoryCM.h"
#include "fileops/frmRename.h"
#include "html/frmSaveHtml.h"
#include "info/Uovo.h"
#include "info/frmAbout.h"
#include "info/frmNote.h"
#include "platform/HandlerGuard.h"
#include "platform/NumberText.h"
#include "platform/services/MessageBoxService.h"
#include "viewing/frmFS.h"
#include "viewing/frmTrayIcon.h"

Program::Program(const platform::Services& services, platform::PicturePrefetcher& readAhead)
    : services_(services),
      modulo1_(*services.fileSystem),
      prefetcher(readAhead),
      frmVedra([this] { return std::make_unique<::frmVedra>(*this); }),
      frmFS([this] { return std::make_unique<::frmFS>(*this); }),
      frmPrinter([this] { return std::make_unique<::frmPrinter>(*this); }),
      frmTrayIcon([this] { return std::make_unique<::frmTrayIcon>(*this); }),
      frmAbout([this] { return std::make_unique<::frmAbout>(*this); }),
      frmNote([this] { return std::make_unique<::frmNote>(*this); }),
      Uovo([this] { return std::make_unique<::Uovo>(*this); }),
      frmSaveHtml([this] { return std::make_unique<::frmSaveHtml>(*this); }),
      frmRename([this] { return std::make_unique<::frmRename>(*this); }),
      frmDirectoryCM([this] { return std::make_unique<::frmDirectoryCM>(*this); }) {}

Program::~Program() = default;

void Program::showFullScreen(bool modal) {
    // While the window is open every picture load in a full-screen size mode (a key in the
    // window, a slide-show step, a resize of the main window) asks for it again. Opening it
    // a second time would stack a second modal loop, or fail, for a window that is already
    // on the screen; the request is met by refreshing the open window with the picture
    // just loaded and bringing it to the front, in whichever mode it was opened.
    if (::frmFS* open = frmFS.peek()) {
        open->Form_Load();
        open->BringToFront();
        return;
    }
    ::frmFS& fs = frmFS();
    // A request from inside a slide-show step (or its pause) opens the window without
    // waiting for it to close: the step must return so that the timer steps again, and the
    // pause already runs the window's keys, clicks and menu.
    if (modal && frmVedra().Timer1.isRunningHandler())
        fs.ShowModalWithoutWaiting(&frmVedra());
    else if (modal)
        fs.ShowModal(&frmVedra());
    else
        fs.Show();
}

void Program::showAboutBox() {
    frmAbout().Show();
}

namespace assembly {

UnhandledErrorReporting::UnhandledErrorReporting(Program& program) {
    platform::setUnhandledErrorReporter([&program](int number, const QString& description) {
        qWarning("Unhandled error %d: %s", number, qPrintable(description));
        program.services().messageBox->MsgBox(
            QStringLiteral("Error ") + platform::withSignPosition(number),
            platform::MsgBoxStyle::OkOnly, project_identity::productName());
    });
}

UnhandledErrorReporting::~UnhandledErrorReporting() {
    platform::setUnhandledErrorReporter(nullptr);
}

}  // namespace assembly
