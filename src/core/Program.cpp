#include "core/Program.h"

#include "core/frmVedra.h"

void Program::readAheadAtStart(platform::PicturePrefetcher& readAhead, const QString& commandLine) {
    if (::frmVedra::namesAPicture(commandLine))
        readAhead.prefetch(commandLine, ::frmVedra::viewAtStart());
}

void Program::start() {
    ::frmVedra& main = frmVedra();
    // The folder list has the focus when the window opens.
    main.setFocusTo(main.Dir1.widget());
    main.Show();
    main.Dir1.SetFocus();
}
