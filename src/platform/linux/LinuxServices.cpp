#include "platform/linux/LinuxServices.h"

#include "platform/linux/DesktopBasics.h"
#include "platform/linux/LocalFileSystem.h"
#include "platform/linux/QtClipboard.h"
#include "platform/linux/QtMessageBox.h"
#include "platform/linux/QtSaveDialog.h"

namespace platform {

struct LinuxServices::Impl {
    Impl(const QStringList& arguments, const QString& programTitle)
        : messageBox(programTitle), application(arguments) {}
    QtMessageBox messageBox;
    LocalFileSystem fileSystem;
    QtScreen screen;
    QtClock clock;
    ProcessApplication application;
    QtClipboard clipboard;
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
    services_.dialogs = &impl_->dialogs;
}

LinuxServices::~LinuxServices() = default;

}  // namespace platform
