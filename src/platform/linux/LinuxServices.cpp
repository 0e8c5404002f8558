#include "platform/linux/LinuxServices.h"

#include "platform/linux/DesktopBasics.h"
#include "platform/linux/LocalFileSystem.h"
#include "platform/linux/QtMessageBox.h"

namespace platform {

struct LinuxServices::Impl {
    explicit Impl(const QStringList& arguments) : application(arguments) {}
    QtMessageBox messageBox;
    LocalFileSystem fileSystem;
    QtScreen screen;
    QtClock clock;
    ProcessApplication application;
};

LinuxServices::LinuxServices(const QStringList& arguments)
    : impl_(std::make_unique<Impl>(arguments)) {
    services_.messageBox = &impl_->messageBox;
    services_.fileSystem = &impl_->fileSystem;
    services_.screen = &impl_->screen;
    services_.clock = &impl_->clock;
    services_.application = &impl_->application;
}

LinuxServices::~LinuxServices() = default;

}  // namespace platform
