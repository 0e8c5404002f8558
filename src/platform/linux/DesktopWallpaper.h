#pragma once

#include <QString>
#include <QStringList>

#include "platform/services/WallpaperService.h"

namespace platform {

// Sets the desktop background on whichever desktop the user runs, told by
// XDG_CURRENT_DESKTOP: each desktop's own tool, started as a program with an argument list
// (never through a shell, so no file name is interpreted). On a plain X11 session with no
// known desktop the root window's background is set directly.
class DesktopWallpaper : public WallpaperService {
  public:
    enum class Desktop { Gnome, Cinnamon, Mate, Xfce, Kde, Lxqt, Lxde, Sway, Other };

    // The first entry of XDG_CURRENT_DESKTOP (a ":"-separated list) that names a known desktop.
    static Desktop runningDesktop();

    WallpaperResult SetWallpaper(const QString& bitmapPath) override;

  private:
    enum class Run { Succeeded, Failed, Missing };
    // Runs a tool and waits for it; `output` receives what it wrote on standard output.
    static Run run(const QString& program, const QStringList& arguments,
                   QByteArray* output = nullptr);
    static WallpaperResult resultOf(Run run);
    static WallpaperResult setGnome(const QString& path);
    static WallpaperResult setXfce(const QString& path);
    static WallpaperResult setSway(const QString& path);
    static WallpaperResult setPlainX11(const QString& path);
};

}  // namespace platform
