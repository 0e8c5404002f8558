#pragma once

#include <memory>

#include "platform/services/TrayService.h"

class QSystemTrayIcon;

namespace platform {

// The tray icon over Qt's system tray icon: a StatusNotifierItem where the session bus has a
// watcher, an XEmbed icon in the panel's tray otherwise (on X11 only).
class QtTray : public TrayService {
  public:
    QtTray();
    ~QtTray() override;
    bool Available() const override;
    void AddIcon(const Picture& icon, const QString& tip,
                 std::function<void(TrayAction)> onAction) override;
    void RemoveIcon() override;

  private:
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::function<void(TrayAction)> onAction_;
};

}  // namespace platform
