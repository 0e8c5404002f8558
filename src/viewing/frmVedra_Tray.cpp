// Putting the main window away into the desktop's tray.
#include "core/Program.h"
#include "core/frmVedra.h"
#include "platform/services/TrayService.h"
#include "viewing/frmTrayIcon.h"

void frmVedra::cmdSystray_Click() {
    // The show stays paused when the window comes back.
    pauseSlideShow();
    const platform::TrayService* tray = program_.services().tray;
    if (!tray || !tray->Available()) {
        // No tray to hold an icon: a hidden window could never be brought back, so the
        // window goes to the task bar instead, keeping its state.
        Minimize();
        return;
    }
    Hide();
    frmTrayIcon& trayIcon = program_.frmTrayIcon();
    trayIcon.ShowHidden();
    trayIcon.Hide();
}

void frmVedra::mnuSysTray_Click() {
    cmdSystray_Click();
}
