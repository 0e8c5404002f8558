#include "platform/linux/QtTray.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include "platform/HandlerGuard.h"

namespace platform {

namespace {

// A StatusNotifierItem host: Qt takes this road when a watcher with a host is on the bus.
bool statusNotifierHostPresent() {
    static const bool present = [] {
        QDBusConnection bus = QDBusConnection::sessionBus();
        const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
        if (!bus.isConnected() || !bus.interface() ||
            !bus.interface()->isServiceRegistered(watcher))
            return false;
        QDBusInterface host(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, bus);
        return host.isValid() && host.property("IsStatusNotifierHostRegistered").toBool();
    }();
    return present;
}

}  // namespace

QtTray::QtTray() = default;

QtTray::~QtTray() = default;

bool QtTray::Available() const {
    // The XEmbed tray is an X11 protocol: anywhere else (a Wayland session) only a
    // StatusNotifierItem host can hold the icon, and without one there is no tray.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return statusNotifierHostPresent();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTray::AddIcon(const Picture& icon, const QString& tip,
                     std::function<void(TrayAction)> onAction) {
    onAction_ = std::move(onAction);
    if (!icon_) {
        icon_ = std::make_unique<QSystemTrayIcon>();
        QObject::connect(icon_.get(), &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             TrayAction action;
                             switch (reason) {
                                 case QSystemTrayIcon::DoubleClick:
                                     action = TrayAction::LeftDoubleClick;
                                     break;
                                 case QSystemTrayIcon::Trigger:
                                     // An XEmbed tray reports a single left click as a trigger and
                                     // a double click on its own; a StatusNotifierItem host sends
                                     // only the activation, which is its way of opening the
                                     // program.
                                     action = statusNotifierHostPresent()
                                                  ? TrayAction::LeftDoubleClick
                                                  : TrayAction::LeftButtonUp;
                                     break;
                                 case QSystemTrayIcon::Context:
                                     action = TrayAction::RightButtonUp;
                                     break;
                                 default:
                                     return;
                             }
                             // Handled once the shell's own event is done: a StatusNotifierItem
                             // host waits for the answer to its call, and the menu's event loop
                             // would hold it.
                             QTimer::singleShot(0, icon_.get(), [this, action] {
                                 if (onAction_)
                                     runHandler([this, action] { onAction_(action); });
                             });
                         });
    }
    if (icon_->isVisible())
        return;
    icon_->setIcon(QIcon(QPixmap::fromImage(icon.toImage())));
    icon_->setToolTip(tip);
    icon_->show();
}

void QtTray::RemoveIcon() {
    if (icon_)
        icon_->hide();
}

}  // namespace platform
