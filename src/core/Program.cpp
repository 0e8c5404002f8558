#include "core/Program.h"

#include "core/frmVedra.h"

void Program::readAheadAtStart(platform::PicturePrefetcher& readAhead, const QString& commandLine) {
    // The view at natural size does not depend on the screen's pixel ratio, which is not
    // known before the application exists.
    if (::frmVedra::namesAPicture(commandLine))
        readAhead.prefetch(commandLine, ::frmVedra::viewAtStart(1.0));
}

void Program::start() {
    ::frmVedra& main = frmVedra();
    // The folder list has the focus when the window opens.
    main.setFocusTo(main.Dir1.widget());
    main.Show();
    main.Dir1.SetFocus();
}
