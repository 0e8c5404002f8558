#pragma once

#include <QStringList>
#include <memory>

#include "platform/services/Services.h"

namespace platform {

// Owns the Linux implementations of the desktop services and hands them out as Services.
class LinuxServices {
  public:
    // `programTitle` titles message boxes that name no title of their own, and the tray icon.
    LinuxServices(const QStringList& arguments, const QString& programTitle);
    ~LinuxServices();
    const Services& services() const { return services_; }

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    Services services_;
};

}  // namespace platform
