#pragma once

#include <QString>

#include "core/Modulo1.h"
#include "platform/LazyForm.h"
#include "platform/PicturePrefetcher.h"
#include "platform/Volumes.h"
#include "platform/services/Services.h"

class frmVedra;
class frmFS;
class frmPrinter;
class frmTrayIcon;
class frmAbout;
class frmNote;
class Uovo;
class frmSaveHtml;
class frmRename;
class frmDirectoryCM;

// The running viewer: the desktop services, the shared state, what the windows share (the
// volumes) and the windows, each window created on first reference. Nothing here is global:
// a window reaches what it needs through the Program it is given.
//
// This header is the core's; the constructor, the destructor and the requests that pass
// from one window to another are defined where the program is assembled (src/app), the one
// place that knows every window, so the core and the feature folders need not include one
// another.
class Program {
  public:
    // `readAhead` outlives the program: the shipped program starts it before the program
    // exists, for a picture named on the command line.
    Program(const platform::Services& services, platform::PicturePrefetcher& readAhead);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Creates the main window (running its Form_Load, which may end the program on a bad
    // command line) and shows it.
    void start();
    // Starts decoding a picture that `commandLine` names, for the view the main window opens
    // it in, so that the window's load at start finds it ready. Needs no application object:
    // the shipped program calls it first thing, before the application and windows are set up.
    static void readAheadAtStart(platform::PicturePrefetcher& readAhead,
                                 const QString& commandLine);

    const platform::Services& services() const { return services_; }
    Modulo1& modulo1() { return modulo1_; }
    // The mounted volumes shared by the drive and folder lists of every window.
    platform::Volumes& volumes() { return volumes_; }

  private:
    platform::Services services_;
    Modulo1 modulo1_;
    platform::Volumes volumes_;

  public:
    // The pictures read ahead (the read-ahead given, which outlives the program) and the
    // ones loaded last (destroyed after the windows that use them), served again while their
    // files are unchanged.
    platform::PicturePrefetcher& prefetcher;
    platform::RecentPictures recentPictures;

    // The windows, each created on first reference (declared after the state they use).
    platform::LazyForm<::frmVedra> frmVedra;
    platform::LazyForm<::frmFS> frmFS;
    platform::LazyForm<::frmPrinter> frmPrinter;
    platform::LazyForm<::frmTrayIcon> frmTrayIcon;
    platform::LazyForm<::frmAbout> frmAbout;
    platform::LazyForm<::frmNote> frmNote;
    platform::LazyForm<::Uovo> Uovo;
    platform::LazyForm<::frmSaveHtml> frmSaveHtml;
    platform::LazyForm<::frmRename> frmRename;
    platform::LazyForm<::frmDirectoryCM> frmDirectoryCM;

    // Requests from one window for another's, defined in src/app.

    // Opens the full-screen view of the main window's picture: modal over the main window,
    // or modeless.
    void showFullScreen(bool modal);
    // Shows the About box without blocking (the tray icon's menu).
    void showAboutBox();
};
