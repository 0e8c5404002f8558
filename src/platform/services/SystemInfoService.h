#pragma once

#include <QString>

namespace platform {

// System facts that the About box reads (the system-information tool's location).
class SystemInfoService {
  public:
    virtual ~SystemInfoService() = default;
    // Reads one named string value of the local machine's configuration; false when absent.
    virtual bool GetKeyValue(const QString& key, const QString& valueName, QString& value) = 0;
};

}  // namespace platform
