#include "platform/linux/StatusNotifierItem.h"

#include <QAction>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QMenu>
#include <QTimer>

namespace {

// An icon as the item protocol carries it: ARGB32 pixels, most significant byte first.
struct IconPixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;
};
using IconPixmaps = QList<IconPixmap>;

struct ToolTip {
    QString iconName;
    IconPixmaps icons;
    QString title;
    QString text;
};

// One node of an exported menu: its id, its properties and its children.
struct MenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QList<MenuLayoutItem> children;
};

struct MenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using MenuItemPropertiesList = QList<MenuItemProperties>;

struct MenuEvent {
    int id = 0;
    QString event;
    QDBusVariant data;
    uint timestamp = 0;
};
using MenuEvents = QList<MenuEvent>;

}  // namespace

Q_DECLARE_METATYPE(IconPixmap)
Q_DECLARE_METATYPE(ToolTip)
Q_DECLARE_METATYPE(MenuLayoutItem)
Q_DECLARE_METATYPE(MenuItemProperties)
Q_DECLARE_METATYPE(MenuEvent)

namespace {

QDBusArgument& operator<<(QDBusArgument& arg, const IconPixmap& icon) {
    arg.beginStructure();
    arg << icon.width << icon.height << icon.argb;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, IconPixmap& icon) {
    arg.beginStructure();
    arg >> icon.width >> icon.height >> icon.argb;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const ToolTip& tip) {
    arg.beginStructure();
    arg << tip.iconName << tip.icons << tip.title << tip.text;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, ToolTip& tip) {
    arg.beginStructure();
    arg >> tip.iconName >> tip.icons >> tip.title >> tip.text;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const MenuLayoutItem& item) {
    arg.beginStructure();
    arg << item.id << item.properties;
    // Children travel as variants, which lets the layout nest to any depth.
    arg.beginArray(qMetaTypeId<QDBusVariant>());
    for (const MenuLayoutItem& child : item.children)
        arg << QDBusVariant(QVariant::fromValue(child));
    arg.endArray();
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, MenuLayoutItem& item) {
    arg.beginStructure();
    arg >> item.id >> item.properties;
    arg.beginArray();
    item.children.clear();
    while (!arg.atEnd()) {
        QDBusVariant child;
        arg >> child;
        item.children.append(qdbus_cast<MenuLayoutItem>(child.variant()));
    }
    arg.endArray();
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const MenuItemProperties& item) {
    arg.beginStructure();
    arg << item.id << item.properties;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, MenuItemProperties& item) {
    arg.beginStructure();
    arg >> item.id >> item.properties;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const MenuEvent& event) {
    arg.beginStructure();
    arg << event.id << event.event << event.data << event.timestamp;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, MenuEvent& event) {
    arg.beginStructure();
    arg >> event.id >> event.event >> event.data >> event.timestamp;
    arg.endStructure();
    return arg;
}

void registerTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<IconPixmap>();
        qDBusRegisterMetaType<IconPixmaps>();
        qDBusRegisterMetaType<ToolTip>();
        qDBusRegisterMetaType<MenuLayoutItem>();
        qDBusRegisterMetaType<MenuItemProperties>();
        qDBusRegisterMetaType<MenuItemPropertiesList>();
        qDBusRegisterMetaType<MenuEvent>();
        qDBusRegisterMetaType<MenuEvents>();
        return true;
    }();
    (void)registered;
}

const QString ItemPath = QStringLiteral("/StatusNotifierItem");
const QString MenuPath = QStringLiteral("/MenuBar");
const QString ItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString MenuInterface = QStringLiteral("com.canonical.dbusmenu");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString Watcher = QStringLiteral("org.kde.StatusNotifierWatcher");

IconPixmaps pixmapsOf(const QImage& image) {
    IconPixmaps pixmaps;
    if (image.isNull())
        return pixmaps;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    IconPixmap pixmap{argb.width(), argb.height(), {}};
    pixmap.argb.reserve(argb.width() * argb.height() * 4);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = line[x];
            pixmap.argb.append(char(qAlpha(p)));
            pixmap.argb.append(char(qRed(p)));
            pixmap.argb.append(char(qGreen(p)));
            pixmap.argb.append(char(qBlue(p)));
        }
    }
    pixmaps.append(pixmap);
    return pixmaps;
}

// A caption's "&" access key as a menu host writes it ("_"); a literal "_" is doubled.
QString menuLabel(const QString& caption) {
    QString label;
    for (int i = 0; i < caption.size(); ++i) {
        const QChar c = caption.at(i);
        if (c == QLatin1Char('&') && i + 1 < caption.size()) {
            const QChar next = caption.at(++i);
            label += next == QLatin1Char('&') ? QString(next) : QStringLiteral("_") + next;
        } else {
            label += c == QLatin1Char('_') ? QStringLiteral("__") : QString(c);
        }
    }
    return label;
}

}  // namespace

namespace platform {

StatusNotifierItem::StatusNotifierItem(const QString& title, std::function<void(Request)> onRequest)
    : title_(title), onRequest_(std::move(onRequest)) {
    registerTypes();
}

StatusNotifierItem::~StatusNotifierItem() {
    hide();
}

bool StatusNotifierItem::hostPresent() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(Watcher))
        return false;
    QDBusInterface watcher(Watcher, QStringLiteral("/StatusNotifierWatcher"), Watcher, bus);
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

bool StatusNotifierItem::show(const QImage& icon, const QString& tip, QMenu* menu) {
    icon_ = icon;
    tip_ = tip;
    menu_ = menu;
    ++revision_;
    if (isShown())
        return true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    static int count = 0;
    const QString service = QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
                                .arg(QCoreApplication::applicationPid())
                                .arg(++count);
    if (!bus.registerVirtualObject(ItemPath, this) || !bus.registerVirtualObject(MenuPath, this) ||
        !bus.registerService(service)) {
        bus.unregisterObject(ItemPath);
        bus.unregisterObject(MenuPath);
        return false;
    }
    service_ = service;
    QDBusMessage registration =
        QDBusMessage::createMethodCall(Watcher, QStringLiteral("/StatusNotifierWatcher"), Watcher,
                                       QStringLiteral("RegisterStatusNotifierItem"));
    registration << service_;
    bus.send(registration);
    return true;
}

void StatusNotifierItem::hide() {
    if (!isShown())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(service_);
    bus.unregisterObject(ItemPath);
    bus.unregisterObject(MenuPath);
    service_.clear();
}

QAction* StatusNotifierItem::actionOf(int id) const {
    if (!menu_ || id < 1 || id > menu_->actions().size())
        return nullptr;
    return menu_->actions().at(id - 1);
}

QVariantMap StatusNotifierItem::itemProperties(int id) const {
    QVariantMap properties;
    if (id == 0) {
        properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
        return properties;
    }
    QAction* action = actionOf(id);
    if (!action)
        return properties;
    if (action->isSeparator()) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
    } else {
        properties.insert(QStringLiteral("label"), menuLabel(action->text()));
        if (action->isCheckable()) {
            properties.insert(QStringLiteral("toggle-type"), QStringLiteral("checkmark"));
            properties.insert(QStringLiteral("toggle-state"), action->isChecked() ? 1 : 0);
        }
    }
    properties.insert(QStringLiteral("enabled"), action->isEnabled());
    properties.insert(QStringLiteral("visible"), action->isVisible());
    return properties;
}

QVariant StatusNotifierItem::layout(int id, int depth) const {
    MenuLayoutItem item{id, itemProperties(id), {}};
    if (id == 0 && depth != 0 && menu_) {
        for (int child = 1; child <= menu_->actions().size(); ++child)
            item.children.append({child, itemProperties(child), {}});
    }
    return QVariant::fromValue(item);
}

void StatusNotifierItem::menuEvent(int id, const QString& event) {
    QPointer<QAction> action = actionOf(id);
    if (!action || event != QLatin1String("clicked"))
        return;
    // Answered first, run afterwards: the item may open a window that waits for the user.
    QTimer::singleShot(0, action, [action] {
        if (action && action->isEnabled())
            action->trigger();
    });
}

QVariant StatusNotifierItem::property(const QString& interface, const QString& name) const {
    if (interface == ItemInterface) {
        if (name == QLatin1String("Category"))
            return QStringLiteral("ApplicationStatus");
        if (name == QLatin1String("Id"))
            return QCoreApplication::applicationName();
        if (name == QLatin1String("Title"))
            return title_;
        if (name == QLatin1String("Status"))
            return QStringLiteral("Active");
        if (name == QLatin1String("WindowId"))
            return 0;
        if (name == QLatin1String("IconName") || name == QLatin1String("OverlayIconName") ||
            name == QLatin1String("AttentionIconName") ||
            name == QLatin1String("AttentionMovieName") || name == QLatin1String("IconThemePath"))
            return QString();
        if (name == QLatin1String("IconPixmap"))
            return QVariant::fromValue(pixmapsOf(icon_));
        if (name == QLatin1String("OverlayIconPixmap") ||
            name == QLatin1String("AttentionIconPixmap"))
            return QVariant::fromValue(IconPixmaps());
        if (name == QLatin1String("ToolTip"))
            return QVariant::fromValue(ToolTip{QString(), IconPixmaps(), tip_, QString()});
        if (name == QLatin1String("ItemIsMenu"))
            return false;
        if (name == QLatin1String("Menu"))
            return QVariant::fromValue(QDBusObjectPath(MenuPath));
    } else if (interface == MenuInterface) {
        if (name == QLatin1String("Version"))
            return 3u;
        if (name == QLatin1String("TextDirection"))
            return QStringLiteral("ltr");
        if (name == QLatin1String("Status"))
            return QStringLiteral("normal");
        if (name == QLatin1String("IconThemePath"))
            return QStringList();
    }
    return {};
}

bool StatusNotifierItem::handleMessage(const QDBusMessage& message,
                                       const QDBusConnection& connection) {
    const QString path = message.path();
    const QString interface = message.interface();
    const QString member = message.member();
    const QList<QVariant> args = message.arguments();
    const QString ownInterface = path == ItemPath ? ItemInterface : MenuInterface;
    const auto reply = [&](const QList<QVariant>& values) {
        connection.send(message.createReply(values));
        return true;
    };
    const auto unknown = [&] {
        connection.send(message.createErrorReply(QDBusError::UnknownMethod,
                                                 QStringLiteral("No such method: ") + member));
        return true;
    };

    if (interface == PropertiesInterface) {
        if (member == QLatin1String("Get") && args.size() == 2) {
            const QVariant value = property(args.at(0).toString(), args.at(1).toString());
            if (!value.isValid()) {
                connection.send(
                    message.createErrorReply(QDBusError::UnknownProperty, args.at(1).toString()));
                return true;
            }
            return reply({QVariant::fromValue(QDBusVariant(value))});
        }
        if (member == QLatin1String("GetAll") && args.size() == 1) {
            QVariantMap all;
            const QStringList names =
                ownInterface == ItemInterface
                    ? QStringList{"Category",
                                  "Id",
                                  "Title",
                                  "Status",
                                  "WindowId",
                                  "IconName",
                                  "IconPixmap",
                                  "OverlayIconName",
                                  "OverlayIconPixmap",
                                  "AttentionIconName",
                                  "AttentionIconPixmap",
                                  "ToolTip",
                                  "ItemIsMenu",
                                  "Menu"}
                    : QStringList{"Version", "TextDirection", "Status", "IconThemePath"};
            if (args.at(0).toString() == ownInterface) {
                for (const QString& name : names)
                    all.insert(name, property(ownInterface, name));
            }
            return reply({all});
        }
        return unknown();
    }

    if (path == ItemPath) {
        if (member == QLatin1String("Activate") || member == QLatin1String("ContextMenu")) {
            const Request request =
                member == QLatin1String("Activate") ? Request::Activate : Request::ContextMenu;
            reply({});
            // Answered first: the menu's own event loop would hold the host's call.
            QTimer::singleShot(0, this, [this, request] {
                if (onRequest_)
                    onRequest_(request);
            });
            return true;
        }
        if (member == QLatin1String("SecondaryActivate") || member == QLatin1String("Scroll") ||
            member == QLatin1String("ProvideXdgActivationToken"))
            return reply({});
        return unknown();
    }

    if (member == QLatin1String("GetLayout") && args.size() >= 2) {
        const int id = args.at(0).toInt();
        if (id != 0 && !actionOf(id)) {
            connection.send(
                message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("No such item")));
            return true;
        }
        return reply({revision_, layout(id, args.at(1).toInt())});
    }
    if (member == QLatin1String("GetGroupProperties") && !args.isEmpty()) {
        QList<int> ids = qdbus_cast<QList<int>>(args.at(0));
        if (ids.isEmpty()) {
            for (int id = 0; menu_ && id <= menu_->actions().size(); ++id)
                ids.append(id);
        }
        MenuItemPropertiesList items;
        for (int id : ids) {
            if (id == 0 || actionOf(id))
                items.append({id, itemProperties(id)});
        }
        return reply({QVariant::fromValue(items)});
    }
    if (member == QLatin1String("GetProperty") && args.size() == 2) {
        const QVariant value = itemProperties(args.at(0).toInt()).value(args.at(1).toString());
        return reply({QVariant::fromValue(QDBusVariant(value))});
    }
    if (member == QLatin1String("Event") && args.size() >= 2) {
        menuEvent(args.at(0).toInt(), args.at(1).toString());
        return reply({});
    }
    if (member == QLatin1String("EventGroup") && !args.isEmpty()) {
        QList<int> unknownIds;
        for (const MenuEvent& event : qdbus_cast<MenuEvents>(args.at(0))) {
            if (actionOf(event.id))
                menuEvent(event.id, event.event);
            else
                unknownIds.append(event.id);
        }
        return reply({QVariant::fromValue(unknownIds)});
    }
    if (member == QLatin1String("AboutToShow"))
        return reply({false});
    if (member == QLatin1String("AboutToShowGroup"))
        return reply({QVariant::fromValue(QList<int>()), QVariant::fromValue(QList<int>())});
    return unknown();
}

QString StatusNotifierItem::introspect(const QString& path) const {
    if (path == ItemPath) {
        return QStringLiteral(
            "<interface name=\"org.kde.StatusNotifierItem\">"
            "<property name=\"Category\" type=\"s\" access=\"read\"/>"
            "<property name=\"Id\" type=\"s\" access=\"read\"/>"
            "<property name=\"Title\" type=\"s\" access=\"read\"/>"
            "<property name=\"Status\" type=\"s\" access=\"read\"/>"
            "<property name=\"WindowId\" type=\"i\" access=\"read\"/>"
            "<property name=\"IconName\" type=\"s\" access=\"read\"/>"
            "<property name=\"IconPixmap\" type=\"a(iiay)\" access=\"read\"/>"
            "<property name=\"OverlayIconName\" type=\"s\" access=\"read\"/>"
            "<property name=\"OverlayIconPixmap\" type=\"a(iiay)\" access=\"read\"/>"
            "<property name=\"AttentionIconName\" type=\"s\" access=\"read\"/>"
            "<property name=\"AttentionIconPixmap\" type=\"a(iiay)\" access=\"read\"/>"
            "<property name=\"ToolTip\" type=\"(sa(iiay)ss)\" access=\"read\"/>"
            "<property name=\"ItemIsMenu\" type=\"b\" access=\"read\"/>"
            "<property name=\"Menu\" type=\"o\" access=\"read\"/>"
            "<method name=\"ContextMenu\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
            "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>"
            "<method name=\"Activate\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
            "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>"
            "<method name=\"SecondaryActivate\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
            "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>"
            "<method name=\"Scroll\"><arg name=\"delta\" type=\"i\" direction=\"in\"/>"
            "<arg name=\"orientation\" type=\"s\" direction=\"in\"/></method>"
            "<signal name=\"NewTitle\"/><signal name=\"NewIcon\"/>"
            "<signal name=\"NewToolTip\"/>"
            "<signal name=\"NewStatus\"><arg name=\"status\" type=\"s\"/></signal>"
            "</interface>");
    }
    return QStringLiteral(
        "<interface name=\"com.canonical.dbusmenu\">"
        "<property name=\"Version\" type=\"u\" access=\"read\"/>"
        "<property name=\"TextDirection\" type=\"s\" access=\"read\"/>"
        "<property name=\"Status\" type=\"s\" access=\"read\"/>"
        "<property name=\"IconThemePath\" type=\"as\" access=\"read\"/>"
        "<method name=\"GetLayout\"><arg type=\"i\" name=\"parentId\" direction=\"in\"/>"
        "<arg type=\"i\" name=\"recursionDepth\" direction=\"in\"/>"
        "<arg type=\"as\" name=\"propertyNames\" direction=\"in\"/>"
        "<arg type=\"u\" name=\"revision\" direction=\"out\"/>"
        "<arg type=\"(ia{sv}av)\" name=\"layout\" direction=\"out\"/></method>"
        "<method name=\"GetGroupProperties\"><arg type=\"ai\" name=\"ids\" direction=\"in\"/>"
        "<arg type=\"as\" name=\"propertyNames\" direction=\"in\"/>"
        "<arg type=\"a(ia{sv})\" name=\"properties\" direction=\"out\"/></method>"
        "<method name=\"GetProperty\"><arg type=\"i\" name=\"id\" direction=\"in\"/>"
        "<arg type=\"s\" name=\"name\" direction=\"in\"/>"
        "<arg type=\"v\" name=\"value\" direction=\"out\"/></method>"
        "<method name=\"Event\"><arg type=\"i\" name=\"id\" direction=\"in\"/>"
        "<arg type=\"s\" name=\"eventId\" direction=\"in\"/>"
        "<arg type=\"v\" name=\"data\" direction=\"in\"/>"
        "<arg type=\"u\" name=\"timestamp\" direction=\"in\"/></method>"
        "<method name=\"EventGroup\"><arg type=\"a(isvu)\" name=\"events\" direction=\"in\"/>"
        "<arg type=\"ai\" name=\"idErrors\" direction=\"out\"/></method>"
        "<method name=\"AboutToShow\"><arg type=\"i\" name=\"id\" direction=\"in\"/>"
        "<arg type=\"b\" name=\"needUpdate\" direction=\"out\"/></method>"
        "<method name=\"AboutToShowGroup\"><arg type=\"ai\" name=\"ids\" direction=\"in\"/>"
        "<arg type=\"ai\" name=\"updatesNeeded\" direction=\"out\"/>"
        "<arg type=\"ai\" name=\"idErrors\" direction=\"out\"/></method>"
        "<signal name=\"ItemsPropertiesUpdated\">"
        "<arg type=\"a(ia{sv})\" name=\"updatedProps\" direction=\"out\"/>"
        "<arg type=\"a(ias)\" name=\"removedProps\" direction=\"out\"/></signal>"
        "<signal name=\"LayoutUpdated\"><arg type=\"u\" name=\"revision\" direction=\"out\"/>"
        "<arg type=\"i\" name=\"parent\" direction=\"out\"/></signal>"
        "</interface>");
}

}  // namespace platform
