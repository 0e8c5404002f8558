#include "platform/Accessibility.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStyle>
#include <QTimer>
#include <QWindow>

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

// A menu item as assistive technology sees it. Pressing it answers at once and runs the
// item afterwards: an item whose handler opens a modal window would otherwise hold the
// reader's call until that window closes, and the reader gives up long before.
class MenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    MenuItemAccessible(QWidget* owner, QAction* action) : owner_(owner), action_(action) {}

    bool isValid() const override { return action_ && owner_; }
    QObject* object() const override { return action_; }
    QWindow* window() const override { return owner_ ? owner_->windowHandle() : nullptr; }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(owner_.data());
    }
    int childCount() const override { return action_ && action_->menu() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 && action_ && action_->menu()
                   ? QAccessible::queryAccessibleInterface(action_->menu())
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && action_ && child->object() == action_->menu() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QAccessibleInterface* sub = child(0);
        return sub && sub->rect().contains(x, y) ? sub : nullptr;
    }

    QString text(QAccessible::Text t) const override {
        if (!action_)
            return {};
        if (t == QAccessible::Name)
            return QString(action_->text()).remove(QLatin1Char('&'));
        if (t == QAccessible::Accelerator && !action_->shortcut().isEmpty())
            return action_->shortcut().toString(QKeySequence::NativeText);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!action_ || !owner_)
            return {};
        QRect area;
        if (auto* bar = qobject_cast<QMenuBar*>(owner_.data()))
            area = bar->actionGeometry(action_);
        else if (auto* menu = qobject_cast<QMenu*>(owner_.data()))
            area = menu->actionGeometry(action_);
        return area.translated(owner_->mapToGlobal(QPoint(0, 0)));
    }
    QAccessible::Role role() const override {
        return action_ && action_->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!action_ || !owner_)
            return s;
        if (!owner_->isVisible() || !action_->isVisible())
            s.invisible = true;
        if (auto* menu = qobject_cast<QMenu*>(owner_.data()))
            s.focused = menu->activeAction() == action_;
        else if (auto* bar = qobject_cast<QMenuBar*>(owner_.data()))
            s.focused = bar->activeAction() == action_;
        if (owner_->style()->styleHint(QStyle::SH_Menu_MouseTracking))
            s.hotTracked = true;
        s.disabled = action_->isSeparator() || !action_->isEnabled();
        s.checkable = action_->isCheckable();
        s.checked = action_->isChecked();
        return s;
    }

    QStringList actionNames() const override {
        if (!action_ || action_->isSeparator())
            return {};
        return {action_->menu() ? showMenuAction() : pressAction()};
    }
    void doAction(const QString& name) override {
        if (!action_ || !action_->isEnabled())
            return;
        if (name == pressAction()) {
            QPointer<QAction> action = action_;
            QTimer::singleShot(0, action_, [action] {
                if (action && action->isEnabled())
                    action->trigger();
            });
        } else if (name == showMenuAction() && action_->menu()) {
            if (action_->menu()->isVisible())
                action_->menu()->hide();
            else if (auto* bar = qobject_cast<QMenuBar*>(owner_.data()))
                bar->setActiveAction(action_);
            else if (auto* menu = qobject_cast<QMenu*>(owner_.data()))
                menu->setActiveAction(action_);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    QPointer<QWidget> owner_;
    QPointer<QAction> action_;
};

QAccessibleInterface* applicationFactory(const QString& className, QObject* object) {
    if (object && object == qApp && className == QLatin1String("QApplication"))
        return new ApplicationAccessible;
    if (className == QLatin1String("QAction")) {
        auto* action = static_cast<QAction*>(object);
        // The menu or menu bar that shows the item.
        for (QObject* holder : action->associatedObjects()) {
            auto* widget = qobject_cast<QWidget*>(holder);
            if (qobject_cast<QMenu*>(widget) || qobject_cast<QMenuBar*>(widget))
                return new MenuItemAccessible(widget, action);
        }
    }
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
