#pragma once

#include <QDBusVirtualObject>
#include <QImage>
#include <QPointer>
#include <QString>
#include <functional>

class QAction;
class QMenu;

namespace platform {

// The program's icon as a StatusNotifierItem on the session bus, for desktops whose panel
// hosts such items: the item (its title, icon and tool tip, and the calls a host makes when
// the icon is clicked) and its menu, exported under the com.canonical.dbusmenu interface so
// that hosts that draw only exported menus offer its items too.
class StatusNotifierItem : public QDBusVirtualObject {
  public:
    // What a host asked for: the item's activation (a click on the icon) or its menu.
    enum class Request { Activate, ContextMenu };

    StatusNotifierItem(const QString& title, std::function<void(Request)> onRequest);
    ~StatusNotifierItem() override;

    // True when the session bus has a watcher with a host to show items.
    static bool hostPresent();

    // Registers the item with the watcher, showing `icon` with the tool tip `tip` and the
    // items of `menu` (which may be null). False when the bus refused.
    bool show(const QImage& icon, const QString& tip, QMenu* menu);
    // Takes the item off the bus; the host drops it.
    void hide();
    bool isShown() const { return !service_.isEmpty(); }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString& path) const override;

  private:
    QVariant property(const QString& interface, const QString& name) const;
    QVariantMap itemProperties(int id) const;
    QVariant layout(int id, int depth) const;
    QAction* actionOf(int id) const;
    void menuEvent(int id, const QString& event);

    QString title_;
    std::function<void(Request)> onRequest_;
    QString service_;
    QImage icon_;
    QString tip_;
    QPointer<QMenu> menu_;
    uint revision_ = 1;
};

}  // namespace platform
