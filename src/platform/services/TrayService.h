#pragma once

#include <QString>
#include <functional>

#include "platform/Picture.h"

class QMenu;

namespace platform {

// Mouse actions on the tray icon, numbered as the mouse messages the shell reports.
enum class TrayAction {
    LeftButtonDown = 0x201,
    LeftButtonUp = 0x202,
    LeftDoubleClick = 0x203,
    RightButtonUp = 0x205,
};

// The icon in the desktop's notification area (the system tray).
class TrayService {
  public:
    virtual ~TrayService() = default;
    // True when the desktop has a notification area to hold an icon.
    virtual bool Available() const = 0;
    // Shows the icon with `tip`; an icon already shown stays as it is. `onAction` hears every
    // mouse action on it.
    virtual void AddIcon(const Picture& icon, const QString& tip,
                         std::function<void(TrayAction)> onAction) = 0;
    virtual void RemoveIcon() = 0;
    // The icon's menu, for desktops whose panel draws menus itself from what the program
    // exports; the program still pops the menu up on its own when told of a right click.
    virtual void setMenu(QMenu* menu) { (void)menu; }
};

}  // namespace platform
