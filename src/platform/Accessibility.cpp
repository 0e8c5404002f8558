#include "platform/Accessibility.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QApplication>
#include <QEvent>
#include <QMenu>

namespace platform {

namespace {

// Qt leaves popup windows out of the application's children, so a menu popped up on its
// own (not from a menu bar) cannot be found by a screen reader walking the tree.
class ApplicationAccessible : public QAccessibleApplication {
  public:
    int childCount() const override {
        return QAccessibleApplication::childCount() + static_cast<int>(openPopups().size());
    }

    QAccessibleInterface* child(int index) const override {
        const int windows = QAccessibleApplication::childCount();
        if (index < windows)
            return QAccessibleApplication::child(index);
        const QList<QMenu*> popups = openPopups();
        if (index - windows < popups.size())
            return QAccessible::queryAccessibleInterface(popups.at(index - windows));
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child) {
            const QList<QMenu*> popups = openPopups();
            for (int i = 0; i < popups.size(); ++i) {
                if (child->object() == popups.at(i))
                    return QAccessibleApplication::childCount() + i;
            }
        }
        return QAccessibleApplication::indexOfChild(child);
    }

  private:
    static QList<QMenu*> openPopups() {
        QList<QMenu*> popups;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* menu = qobject_cast<QMenu*>(widget);
            if (menu && menu->isVisible() && !menu->parentWidget())
                popups.append(menu);
        }
        return popups;
    }
};

// Tells assistive technology that the application gained a child when a popup menu opens,
// so a reader that keeps a copy of the tree finds the menu without walking it again.
class PopupAnnouncer : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && QAccessible::isActive()) {
            auto* menu = qobject_cast<QMenu*>(watched);
            if (menu && !menu->parentWidget()) {
                QAccessibleEvent created(menu, QAccessible::ObjectCreated);
                QAccessible::updateAccessibility(&created);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

QAccessibleInterface* applicationFactory(const QString& className, QObject* object) {
    if (object && object == qApp && className == QLatin1String("QApplication"))
        return new ApplicationAccessible;
    return nullptr;
}

}  // namespace

void installPopupMenuAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(applicationFactory);
        if (qApp)
            qApp->installEventFilter(new PopupAnnouncer(qApp));
        return true;
    }();
    (void)installed;
}

}  // namespace platform
