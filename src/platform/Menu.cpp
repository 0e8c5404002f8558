#include "platform/Menu.h"
#include "platform/HandlerGuard.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "platform/Form.h"

namespace platform {

namespace {
bool isSeparator(const QString& caption) {
    return caption == QLatin1String("-");
}

// The menu's shortcuts come before the keys of the control that has the focus: a text field
// would otherwise keep Ctrl+C, Ctrl+V or Del for itself, and Copy, Paste or Delete of the
// menu would never run while the focus is in a combo box's text.
class MenuShortcutsFirst : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(
            QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (!window || !window->isActiveWindow())
            return false;
        for (QAction* action : window->findChildren<QAction*>()) {
            if (action->shortcut() == pressed && action->isEnabled() &&
                action->shortcutContext() == Qt::WindowShortcut) {
                // Left unaccepted, the key goes to the window's shortcut, not to the control.
                event->ignore();
                return true;
            }
        }
        return false;
    }
};

void installMenuShortcutsFirst() {
    static const bool installed = [] {
        if (qApp)
            qApp->installEventFilter(new MenuShortcutsFirst(qApp));
        return qApp != nullptr;
    }();
    (void)installed;
}
}  // namespace

MenuItem::MenuItem(Form& form, const QString& name, const QString& caption)
    : name_(name), owner_(form.window()) {
    menu_ = new QMenu(caption, owner_);
    menu_->setObjectName(name);
    action_ = form.menuBar()->addMenu(menu_);
    action_->setObjectName(name);
}

MenuItem::MenuItem(MenuItem& parent, const QString& name, const QString& caption,
                   const QString& shortcut)
    : name_(name), owner_(parent.owner_) {
    QMenu* parentMenu = parent.ensureMenu();
    if (isSeparator(caption)) {
        action_ = parentMenu->addSeparator();
    } else {
        action_ = parentMenu->addAction(caption);
        if (!shortcut.isEmpty()) {
            action_->setShortcut(QKeySequence(shortcut));
            action_->setShortcutContext(Qt::WindowShortcut);
            installMenuShortcutsFirst();
        }
    }
    action_->setObjectName(name);
    QObject::connect(action_, &QAction::triggered, [this] { runHandler([this] { click(); }); });
}

MenuItem::MenuItem(const QString& name, const QString& caption) : name_(name), ownsMenu_(true) {
    menu_ = new QMenu(caption);
    menu_->setObjectName(name);
    // A popup has no menu bar entry to name it; screen readers announce it by its caption.
    menu_->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    action_ = menu_->menuAction();
}

MenuItem::~MenuItem() {
    if (ownsMenu_)
        delete menu_;
}

QMenu* MenuItem::ensureMenu() {
    if (!menu_) {
        menu_ = new QMenu(action_->text(), owner_);
        menu_->setObjectName(name_);
        action_->setMenu(menu_);
    }
    return menu_;
}

QString MenuItem::Caption() const {
    return action_->text();
}

void MenuItem::setCaption(const QString& caption) {
    action_->setText(caption);
    if (menu_)
        menu_->setTitle(caption);
}

void MenuItem::setChecked(bool checked) {
    checked_ = checked;
    // Only items that have ever been checked show a check indicator, so plain commands
    // do not carry an empty box.
    if (checked)
        action_->setCheckable(true);
    if (action_->isCheckable())
        action_->setChecked(checked);
}

bool MenuItem::Enabled() const {
    return action_->isEnabled();
}

void MenuItem::setEnabled(bool enabled) {
    action_->setEnabled(enabled);
}

bool MenuItem::Visible() const {
    return action_->isVisible();
}

void MenuItem::setVisible(bool visible) {
    action_->setVisible(visible);
}

QString MenuItem::shortcut() const {
    return action_->shortcut().toString(QKeySequence::PortableText);
}

void MenuItem::click() {
    // Qt toggles a checkable action before it reports the trigger; undo that, the
    // handler alone decides the check mark.
    if (action_->isCheckable() && action_->isChecked() != checked_)
        action_->setChecked(checked_);
    if (onClick)
        onClick();
}

}  // namespace platform
