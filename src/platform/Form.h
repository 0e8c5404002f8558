#pragma once

#include <QSize>
#include <QString>
#include <functional>
#include <memory>

class QWidget;
class QMainWindow;
class QMenuBar;

namespace platform {

class FormWindow;
class MenuItem;
class Picture;

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

enum class BorderStyle {
    FixedSingle,  // title bar, minimise and maximise; the user cannot drag the size
    FixedDialog,  // title bar and close box only
    None,         // no border, no caption (full screen)
};

// Mouse buttons and shift states as handlers receive them.
namespace MouseButton {
constexpr int Left = 1;
constexpr int Right = 2;
constexpr int Middle = 4;
}  // namespace MouseButton
namespace ShiftState {
constexpr int Shift = 1;
constexpr int Ctrl = 2;
constexpr int Alt = 4;
}  // namespace ShiftState

// A window of the program. Derived classes create their controls in the constructor and
// override the event hooks; LazyForm creates them on first reference and runs Form_Load.
// Geometry is in twips; the client area is what controls are placed in (below the menu bar).
class Form {
  public:
    Form(const QString& name, double clientWidthTwips, double clientHeightTwips,
         BorderStyle border = BorderStyle::FixedSingle);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const QString& name() const { return name_; }

    // Events.
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload(int& cancel) { (void)cancel; }
    virtual void Form_KeyDown(int keyCode, int shift) {
        (void)keyCode;
        (void)shift;
    }
    virtual void Form_MouseDown(int button, int shift, double x, double y) {
        (void)button, (void)shift, (void)x, (void)y;
    }
    virtual void Form_Click() {}

    // Runs Form_Load once; LazyForm and the program's start-up call it.
    void load();
    bool isLoaded() const { return loaded_; }

    QString Caption() const;
    void setCaption(const QString& caption);
    void setIcon(const Picture& icon);
    // The name screen readers announce for the window; without one they read the caption.
    void setAccessibleName(const QString& name);

    WindowState windowState() const;
    void setWindowState(WindowState state);
    // Minimises the window keeping its normal or maximised state for when it comes back.
    void Minimize();

    // Shows the window without blocking; the first show centres it on the screen.
    void Show();
    // Shows the window modal over `owner` (or application-modal without one) and returns
    // only when the window has been hidden or unloaded.
    void ShowModal(Form* owner = nullptr);
    bool isModalShowing() const { return modalDepth_ > 0; }
    // Shows the window modal over `owner` (the owner takes no input while it is open) but
    // returns at once, for a caller that must not wait inside a nested event loop: a timer
    // handler stays running while it waits, and its timer would not fire again until the
    // window closed.
    void ShowModalWithoutWaiting(Form* owner);
    void Hide();
    // Runs Form_Unload; unless cancelled, hides the window and tells its owner (the LazyForm)
    // to destroy it.
    void Unload();
    bool Visible() const;

    // Outer size and client size in twips.
    double Width() const;
    double Height() const;
    double ScaleWidth() const;
    double ScaleHeight() const;
    void setClientSize(double widthTwips, double heightTwips);
    void setBackColor(unsigned long bgr);
    void setKeyPreview(bool on) { keyPreview_ = on; }
    void BringToFront();
    // Covers the whole screen, panels included (a borderless full-screen window); reads back
    // as the maximised state.
    void CoverScreen();
    // Parts the window from the window that owns it, so destroying the owner first cannot
    // take this one along.
    void DetachFromOwner();
    void setFocusTo(QWidget* widget);

    // Pops a menu up at the mouse position; `boldItem` is shown as the default item.
    void PopupMenu(MenuItem& menu, MenuItem* boldItem = nullptr);

    // Called when Unload has finished, so the holder can destroy the form.
    std::function<void()> onUnloaded;

    // Platform internals used by controls and menus.
    QWidget* clientArea() const;
    QMenuBar* menuBar() const;
    QMainWindow* window() const;

  private:
    friend class FormWindow;
    void handleCloseRequest(bool& accept);
    void handleStateChange();
    void handleFirstShow();
    void applyDesignedSize();
    void handleActivate();
    void enforceDesignedSize();
    QSize designedWindowSize() const;

    QString name_;
    BorderStyle border_;
    std::unique_ptr<FormWindow> window_;
    QWidget* client_ = nullptr;
    bool loaded_ = false;
    bool shownOnce_ = false;
    bool keyPreview_ = false;
    int modalDepth_ = 0;
    bool unloading_ = false;
    bool activatedByShow_ = false;
    QSize designedClient_;
    // Expires when the form is destroyed, so a modal show can tell it was unloaded.
    std::shared_ptr<int> lifeToken_ = std::make_shared<int>(0);
};

}  // namespace platform
