#pragma once

#include <QString>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace platform {

class Form;

// A menu item: a top-level menu of a form's menu bar, a submenu, a command or a separator
// (caption "-"). "&" in the caption marks the access key. Items never check themselves:
// the check mark changes only when a handler sets Checked.
class MenuItem {
  public:
    // A top-level menu of `form`'s menu bar.
    MenuItem(Form& form, const QString& name, const QString& caption);
    // An item inside `parent`; `shortcut` uses Qt's portable text ("Ctrl+O", "Del", "F1").
    MenuItem(MenuItem& parent, const QString& name, const QString& caption,
             const QString& shortcut = {});
    // A free-standing popup menu (not in the menu bar), shown with Form::PopupMenu.
    MenuItem(const QString& name, const QString& caption);
    ~MenuItem();
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const QString& name() const { return name_; }

    QString Caption() const;
    void setCaption(const QString& caption);
    bool Checked() const { return checked_; }
    void setChecked(bool checked);
    bool Enabled() const;
    void setEnabled(bool enabled);
    bool Visible() const;
    void setVisible(bool visible);
    QString shortcut() const;

    std::function<void()> onClick;

    // Runs the item as if the user chose it.
    void click();

    QAction* action() const { return action_; }
    QMenu* qmenu() const { return menu_; }

  private:
    QMenu* ensureMenu();

    QString name_;
    QAction* action_ = nullptr;
    QMenu* menu_ = nullptr;
    bool checked_ = false;
    bool ownsMenu_ = false;
    QWidget* owner_ = nullptr;  // the window whose menus hold the item
};

}  // namespace platform
