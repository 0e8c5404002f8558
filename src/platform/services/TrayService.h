#pragma once

#include <QString>
#include <functional>

#include "platform/Picture.h"

namespace platform {

// Mouse actions on the tray icon.
enum class TrayAction { LeftDoubleClick, RightButtonUp, LeftButtonUp };

class TrayService {
  public:
    virtual ~TrayService() = default;
    virtual void AddIcon(const Picture& icon, const QString& tip,
                         std::function<void(TrayAction)> onAction) = 0;
    virtual void RemoveIcon() = 0;
};

}  // namespace platform
