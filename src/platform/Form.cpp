#include "platform/Form.h"
#include "platform/FileName.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include "platform/Accessibility.h"
#include "platform/Colors.h"
#include "platform/FormWindow.h"
#include "platform/Menu.h"
#include "platform/Picture.h"
#include "platform/ScreenCover.h"
#include "platform/Twips.h"
#include "platform/linux/X11WindowHints.h"

namespace platform {

namespace {
Qt::WindowFlags flagsFor(BorderStyle border) {
    switch (border) {
        case BorderStyle::FixedSingle:
            return Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;
        case BorderStyle::FixedDialog:
            return Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint;
        case BorderStyle::None:
            return Qt::Window | Qt::FramelessWindowHint;
    }
    return Qt::Window;
}
}  // namespace

Form::Form(const QString& name, double clientWidthTwips, double clientHeightTwips,
           BorderStyle border)
    : name_(name), border_(border), window_(std::make_unique<FormWindow>(this)) {
    installPopupMenuAccessibility();
    window_->setObjectName(name);
    window_->setWindowFlags(flagsFor(border));
    client_ = new QWidget(window_.get());
    client_->setObjectName(name + QStringLiteral("_client"));
    window_->setCentralWidget(client_);
    setClientSize(clientWidthTwips, clientHeightTwips);
}

Form::~Form() {
    if (window_->modalLoop)
        window_->modalLoop->quit();
}

void Form::load() {
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

QString Form::Caption() const {
    return window_->windowTitle();
}

void Form::setCaption(const QString& caption) {
    window_->setWindowTitle(displayFileName(caption));
}

void Form::setIcon(const Picture& icon) {
    window_->setWindowIcon(QIcon(QPixmap::fromImage(icon.toImage())));
}

void Form::setAccessibleName(const QString& name) {
    window_->setAccessibleName(name);
}

void Form::Minimize() {
    window_->setWindowState(window_->windowState() | Qt::WindowMinimized);
}

WindowState Form::windowState() const {
    const Qt::WindowStates state = window_->windowState();
    if (state & Qt::WindowMinimized)
        return WindowState::Minimized;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return WindowState::Maximized;
    return WindowState::Normal;
}

void Form::setWindowState(WindowState state) {
    switch (state) {
        case WindowState::Normal:
            window_->setWindowState(Qt::WindowNoState);
            break;
        case WindowState::Minimized:
            window_->setWindowState(Qt::WindowMinimized);
            break;
        case WindowState::Maximized:
            window_->setWindowState(Qt::WindowMaximized);
            break;
    }
}

void Form::Show() {
    const bool wasVisible = window_->isVisible();
    // A hidden window comes back in the state it had; a minimising it went through before
    // (and that is over) must not make the window manager map it iconic.
    if (!wasVisible && !(window_->windowState() & Qt::WindowMinimized))
        clearIconicStart(window_.get());
    window_->show();
    window_->raise();
    window_->activateWindow();
    if (!wasVisible) {
        // The window manager's activation that follows the show is this same activation.
        activatedByShow_ = true;
        Form_Activate();
    }
}

void Form::ShowModal(Form* owner) {
    if (owner) {
        // Owned: stays above its owner and blocks only it.
        window_->setParent(owner->window(), window_->windowFlags() | Qt::Window);
        window_->setWindowModality(Qt::WindowModal);
    } else {
        window_->setWindowModality(Qt::ApplicationModal);
    }
    QEventLoop loop;
    std::weak_ptr<int> alive = lifeToken_;
    window_->modalLoop = &loop;
    ++modalDepth_;
    Show();
    if (window_->isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (alive.expired())
        return;  // unloaded and destroyed while it was shown
    --modalDepth_;
    window_->modalLoop = nullptr;
    window_->setWindowModality(Qt::NonModal);
}

void Form::ShowModalWithoutWaiting(Form* owner) {
    window_->setParent(owner->window(), window_->windowFlags() | Qt::Window);
    window_->setWindowModality(Qt::WindowModal);
    Show();
}

void Form::Hide() {
    window_->hide();
}

void Form::Unload() {
    if (unloading_)
        return;
    unloading_ = true;
    int cancel = 0;
    Form_Unload(cancel);
    unloading_ = false;
    if (cancel != 0)
        return;
    window_->hide();
    // The form is destroyed once the current event is done; parted from its owner now, so an
    // owner destroyed first cannot take the window along.
    DetachFromOwner();
    if (onUnloaded)
        onUnloaded();
}

bool Form::Visible() const {
    return window_->isVisible();
}

double Form::Width() const {
    return pixelsToTwips(window_->frameGeometry().width());
}

double Form::Height() const {
    return pixelsToTwips(window_->frameGeometry().height());
}

double Form::ScaleWidth() const {
    return pixelsToTwips(client_->width());
}

double Form::ScaleHeight() const {
    return pixelsToTwips(client_->height());
}

void Form::setClientSize(double widthTwips, double heightTwips) {
    designedClient_ = QSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
    client_->setMinimumSize(designedClient_);
    applyDesignedSize();
}

void Form::applyDesignedSize() {
    const QSize designed = designedWindowSize();
    if (border_ == BorderStyle::FixedDialog) {
        // A dialog's size is fixed: equal smallest and largest sizes tell the window manager
        // that it can be neither resized nor maximised.
        window_->setFixedSize(designed);
    } else {
        window_->resize(designed);
    }
}

QSize Form::designedWindowSize() const {
    const int menuHeight = window_->menuWidget() ? window_->menuWidget()->sizeHint().height() : 0;
    return {designedClient_.width(), designedClient_.height() + menuHeight};
}

void Form::setBackColor(unsigned long bgr) {
    QPalette palette = client_->palette();
    palette.setColor(QPalette::Window, colorFromBgr(bgr));
    client_->setPalette(palette);
    client_->setAutoFillBackground(true);
    window_->setPalette(palette);
}

void Form::BringToFront() {
    window_->raise();
    window_->activateWindow();
}

void Form::CoverScreen() {
    window_->setWindowState(Qt::WindowFullScreen);
    setScreenCover(window_.get());
}

void Form::DetachFromOwner() {
    if (window_->parentWidget())
        window_->setParent(nullptr, window_->windowFlags());
}

void Form::setFocusTo(QWidget* widget) {
    if (widget)
        widget->setFocus(Qt::OtherFocusReason);
}

void Form::PopupMenu(MenuItem& menu, MenuItem* boldItem) {
    QMenu* qmenu = menu.qmenu();
    if (!qmenu)
        return;
    qmenu->setDefaultAction(boldItem ? boldItem->action() : nullptr);
    // An item chosen through assistive technology is triggered without the menu closing
    // itself; it closes as it does for a click.
    QObject::connect(qmenu, &QMenu::triggered, qmenu, &QWidget::close, Qt::UniqueConnection);
    // The program may still be losing the focus (a tray menu asked for right after the last
    // window was hidden): the deactivation that follows would close the menu at once, so it is
    // let in first.
    if (!QApplication::activeWindow() &&
        QGuiApplication::applicationState() == Qt::ApplicationActive) {
        QEventLoop settle;
        QObject::connect(qApp, &QGuiApplication::applicationStateChanged, &settle,
                         &QEventLoop::quit);
        QTimer::singleShot(250, &settle, &QEventLoop::quit);
        settle.exec(QEventLoop::ExcludeUserInputEvents);
    }
    qmenu->exec(QCursor::pos());
}

QWidget* Form::clientArea() const {
    return client_;
}

QMenuBar* Form::menuBar() const {
    return window_->menuBar();
}

QMainWindow* Form::window() const {
    return window_.get();
}

void Form::handleCloseRequest(bool& accept) {
    accept = false;
    Unload();
}

void Form::handleStateChange() {
    if (shownOnce_)
        Form_Resize();
}

void Form::handleFirstShow() {
    if (shownOnce_)
        return;
    shownOnce_ = true;
    if (border_ != BorderStyle::None) {
        applyDesignedSize();
        // A Wayland compositor places windows itself and ignores a program's positions;
        // the designed size still holds there.
        const bool programPlacesWindows =
            !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
        QScreen* screen = programPlacesWindows ? window_->screen() : nullptr;
        if (screen) {
            const QRect area = screen->availableGeometry();
            window_->move(area.center() - QPoint(window_->width() / 2, window_->height() / 2));
        }
    }
    Form_Resize();
}

void Form::handleActivate() {
    static QPointer<QWidget> lastActive;
    // Activation from another window of the program counts; a show raises its own
    // Activate in Show().
    const bool fromAnotherWindow = lastActive && lastActive != window_.get();
    lastActive = window_.get();
    if (activatedByShow_) {
        activatedByShow_ = false;
        return;
    }
    if (fromAnotherWindow && window_->isVisible())
        Form_Activate();
}

void Form::enforceDesignedSize() {
    if (border_ == BorderStyle::None || window_->windowState() != Qt::WindowNoState ||
        !window_->isVisible())
        return;
    const QSize designed = designedWindowSize();
    if (window_->size() != designed)
        window_->resize(designed);
}

}  // namespace platform
