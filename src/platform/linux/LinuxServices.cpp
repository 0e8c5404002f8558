#include "platform/linux/LinuxServices.h"

#include "platform/linux/DesktopBasics.h"
#include "platform/linux/DesktopShell.h"
#include "platform/linux/DesktopWallpaper.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/LocalFileSystem.h"
#include "platform/linux/QtClipboard.h"
#include "platform/linux/QtMessageBox.h"
#include "platform/linux/QtPrinter.h"
#include "platform/linux/QtSaveDialog.h"
#include "platform/linux/QtTray.h"

namespace platform {

struct LinuxServices::Impl {
    Impl(const QStringList& arguments, const QString& programTitle)
        : messageBox(programTitle), application(arguments), tray(programTitle) {}
    QtMessageBox messageBox;
    LocalFileSystem fileSystem;
    QtScreen screen;
    QtClock clock;
    ProcessApplication application;
    QtClipboard clipboard;
    DesktopWallpaper wallpaper;
    QtPrinter printer;
    QtTray tray;
    LinuxSystemInfo systemInfo;
    DesktopShell shell;
    QtSaveDialog dialogs;
};

LinuxServices::LinuxServices(const QStringList& arguments, const QString& programTitle)
    : impl_(std::make_unique<Impl>(arguments, programTitle)) {
    services_.messageBox = &impl_->messageBox;
    services_.fileSystem = &impl_->fileSystem;
    services_.screen = &impl_->screen;
    services_.clock = &impl_->clock;
    services_.application = &impl_->application;
    services_.clipboard = &impl_->clipboard;
    services_.wallpaper = &impl_->wallpaper;
    services_.printer = &impl_->printer;
    services_.tray = &impl_->tray;
    services_.systemInfo = &impl_->systemInfo;
    services_.shell = &impl_->shell;
    services_.dialogs = &impl_->dialogs;
}

LinuxServices::~LinuxServices() = default;

}  // namespace platform
