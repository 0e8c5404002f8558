#include "platform/linux/QtTray.h"

#include <QApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include "platform/HandlerGuard.h"
#include "platform/linux/StatusNotifierItem.h"

namespace platform {

namespace {

// Qt's XEmbed icon (a small widget docked into the panel's tray) reports the right button
// when it is pressed; the menu belongs to its release. This filter keeps the press from the
// icon and reports the release instead.
class XEmbedRightButton : public QObject {
  public:
    explicit XEmbedRightButton(std::function<void()> onRelease)
        : onRelease_(std::move(onRelease)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool press = event->type() == QEvent::MouseButtonPress;
        if ((!press && event->type() != QEvent::MouseButtonRelease) ||
            qstrcmp(watched->metaObject()->className(), "QSystemTrayIconSys") != 0 ||
            static_cast<QMouseEvent*>(event)->button() != Qt::RightButton)
            return false;
        if (!press && onRelease_)
            onRelease_();
        return true;
    }

  private:
    std::function<void()> onRelease_;
};

}  // namespace

QtTray::QtTray(const QString& title) : title_(title) {}

QtTray::~QtTray() {
    if (qApp && rightButton_)
        qApp->removeEventFilter(rightButton_.get());
}

void QtTray::report(TrayAction action) {
    // Handled once the shell's own event is done: a StatusNotifierItem host waits for the
    // answer to its call, and the menu's event loop would hold it.
    QTimer::singleShot(0, qApp, [this, action] {
        if (onAction_)
            runHandler([this, action] { onAction_(action); });
    });
}

bool QtTray::Available() const {
    // The XEmbed tray is an X11 protocol: anywhere else (a Wayland session) only a
    // StatusNotifierItem host can hold the icon, and without one there is no tray.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return StatusNotifierItem::hostPresent();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTray::AddIcon(const Picture& icon, const QString& tip,
                     std::function<void(TrayAction)> onAction) {
    onAction_ = std::move(onAction);
    if ((item_ && item_->isShown()) || (icon_ && icon_->isVisible()))
        return;
    if (StatusNotifierItem::hostPresent()) {
        if (!item_) {
            // A host's activation is its way of opening the program, as a double click.
            item_ = std::make_unique<StatusNotifierItem>(
                title_, [this](StatusNotifierItem::Request request) {
                    report(request == StatusNotifierItem::Request::Activate
                               ? TrayAction::LeftDoubleClick
                               : TrayAction::RightButtonUp);
                });
        }
        if (item_->show(icon.toImage(), tip, menu_))
            return;
    }
    if (!icon_) {
        icon_ = std::make_unique<QSystemTrayIcon>();
        QObject::connect(icon_.get(), &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             // The right button comes through the filter below, on release.
                             if (reason == QSystemTrayIcon::DoubleClick)
                                 report(TrayAction::LeftDoubleClick);
                             else if (reason == QSystemTrayIcon::Trigger)
                                 report(TrayAction::LeftButtonUp);
                         });
        rightButton_ =
            std::make_unique<XEmbedRightButton>([this] { report(TrayAction::RightButtonUp); });
        qApp->installEventFilter(rightButton_.get());
    }
    icon_->setIcon(QIcon(QPixmap::fromImage(icon.toImage())));
    icon_->setToolTip(tip);
    icon_->show();
}

void QtTray::RemoveIcon() {
    if (item_)
        item_->hide();
    if (icon_)
        icon_->hide();
}

}  // namespace platform
