#include "core/Program.h"

#include "core/frmVedra.h"
#include "platform/services/ApplicationService.h"

void Program::start() {
    // A picture named on the command line is decoded on the read-ahead's worker while the
    // main window is being built; the window's load at start then finds it ready.
    const QString commandLine = services_.application->Command();
    if (::frmVedra::namesAPicture(commandLine))
        prefetcher.prefetch(commandLine, ::frmVedra::viewAtStart(platform::screenPixelRatio()));
    ::frmVedra& main = frmVedra();
    // The folder list has the focus when the window opens.
    main.setFocusTo(main.Dir1.widget());
    main.Show();
    main.Dir1.SetFocus();
}
