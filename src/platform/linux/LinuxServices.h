#pragma once

#include <QStringList>
#include <memory>

#include "platform/services/Services.h"

namespace platform {

// Owns the Linux implementations of the desktop services and hands them out as Services.
class LinuxServices {
public:
    explicit LinuxServices(const QStringList& arguments);
    ~LinuxServices();
    const Services& services() const { return services_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    Services services_;
};

}  // namespace platform
