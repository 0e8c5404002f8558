#pragma once

#include <memory>

#include "platform/services/TrayService.h"

class QMenu;
class QObject;
class QSystemTrayIcon;

namespace platform {

class StatusNotifierItem;

// The tray icon: a StatusNotifierItem where the session bus has a watcher with a host, Qt's
// XEmbed icon in the panel's tray otherwise.
class QtTray : public TrayService {
  public:
    // `title` names the program to the desktop's panel.
    explicit QtTray(const QString& title);
    ~QtTray() override;
    bool Available() const override;
    void AddIcon(const Picture& icon, const QString& tip,
                 std::function<void(TrayAction)> onAction) override;
    void RemoveIcon() override;
    void setMenu(QMenu* menu) override { menu_ = menu; }

  private:
    void report(TrayAction action);

    // A StatusNotifierItem of our own where a host shows such items: Qt's would be titled
    // with the program's file name and would not export the menu.
    QString title_;
    std::unique_ptr<StatusNotifierItem> item_;
    QMenu* menu_ = nullptr;
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::unique_ptr<QObject> rightButton_;  // reports the XEmbed icon's right button on release
    std::function<void(TrayAction)> onAction_;
};

}  // namespace platform
