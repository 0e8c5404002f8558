#pragma once

#include "platform/services/SystemInfoService.h"

namespace platform {

// Environment variables and programs on the search path, read afresh at every call.
class LinuxSystemInfo : public SystemInfoService {
  public:
    bool GetKeyValue(const QString& key, const QString& valueName, QString& value) override;
};

}  // namespace platform
