// The shown picture handed to the desktop: as the wallpaper, and to the printer.
#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/frmVedra.h"
#include "desktop/frmPrinter.h"
#include "platform/services/MessageBoxService.h"
#include "platform/services/WallpaperService.h"

using platform::WallpaperResult;

namespace {

// Write the setting to the user's profile (1) and tell every window (2).
constexpr int WallpaperFlags = 3;

QString wallpaperReport(WallpaperResult result) {
    switch (result) {
        case WallpaperResult::Done:
            return QStringLiteral("Done!");
        case WallpaperResult::Refused:
            return QStringLiteral("The desktop did not accept the picture as its wallpaper.");
        case WallpaperResult::NoWay:
            break;
    }
    return QStringLiteral("This desktop offers no way to set the wallpaper.");
}

}  // namespace

void frmVedra::mnuWallPaper_Click() {
    // Only a bitmap file on disk can become the wallpaper; anything else is passed over.
    if (!ImmagineBitmap_)
        return;
    const WallpaperResult result = WallPaper(PercorsoBitmap_, WallpaperFlags);
    program_.services().messageBox->MsgBox(wallpaperReport(result), platform::MsgBoxStyle::OkOnly,
                                           project_identity::productName());
}

WallpaperResult frmVedra::WallPaper(const QString& BMPFile, int /*SPIFlags*/) {
    // The desktop keeps the setting for the user and tells its own windows itself.
    platform::WallpaperService* wallpaper = program_.services().wallpaper;
    return wallpaper ? wallpaper->SetWallpaper(BMPFile) : WallpaperResult::NoWay;
}

void frmVedra::mnuPrint_Click() {
    // Referring to the print window creates it, and its Form_Load does the whole print run;
    // there is nothing left to show, so it is unloaded at once.
    program_.frmPrinter().Unload();
}
