#include "core/Program.h"

#include "core/frmVedra.h"
#include "platform/HandlerGuard.h"
#include "platform/NumberText.h"
#include "platform/services/MessageBoxService.h"
#include "viewing/frmFS.h"

Program::Program(const platform::Services& services)
    : services_(services),
      modulo1_(*services.fileSystem),
      frmVedra([this] { return std::make_unique<::frmVedra>(*this); }),
      frmFS([this] { return std::make_unique<::frmFS>(*this); }) {}

Program::~Program() = default;

void Program::start() {
    ::frmVedra& main = frmVedra();
    // The folder list has the focus when the window opens.
    main.setFocusTo(main.Dir1.widget());
    main.Show();
    main.Dir1.SetFocus();
}

void Program::setDefaultHtmlName(const QString& name) {
    modulo1_.NomeHtml = name;
    modulo1_.SceltaFatta = true;
}

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
