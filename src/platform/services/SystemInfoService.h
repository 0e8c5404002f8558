#pragma once

#include <QString>

namespace platform {

// System facts that the About box reads to find the system-information tool. Values live
// under two keys:
//   "Environment": the named variable of the program's environment (XDG_CURRENT_DESKTOP).
//   "Programs":    the full path of the named program found on the search path (PATH).
class SystemInfoService {
  public:
    virtual ~SystemInfoService() = default;
    // Reads one named value; false when the key or the value does not exist.
    virtual bool GetKeyValue(const QString& key, const QString& valueName, QString& value) = 0;
};

}  // namespace platform
