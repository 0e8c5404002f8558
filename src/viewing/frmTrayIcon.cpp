#include "viewing/frmTrayIcon.h"

#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/StoredPictures.h"
#include "core/frmVedra.h"
#include "platform/Twips.h"
#include "platform/services/ApplicationService.h"
#include "platform/services/ScreenService.h"
#include "platform/services/TrayService.h"

namespace {
constexpr int NIM_ADD = 0;
constexpr int NIM_DELETE = 2;
constexpr long WM_MOUSEMOVE = 0x200;
constexpr long WM_LBUTTONDOWN = 0x201;
constexpr long WM_LBUTTONDBLCLK = 0x203;
constexpr long WM_RBUTTONUP = 0x205;
constexpr int TipLength = 64;
const QString Tip = project_identity::productName();
}  // namespace

frmTrayIcon::frmTrayIcon(Program& program)
    : Form(QStringLiteral("frmTrayIcon"), 1800, 1200),
      pichook(*this, "pichook", 120, 120, 495, 555),
      imgTrayIcon(*this, "imgTrayIcon", 840, 120, 480, 480),
      mnuDummy("mnuDummy", "PopUp"),
      program_(program) {
    setCaption(QStringLiteral("TrayIcon"));
    setIcon(storedPicture("app-icon"));
    imgTrayIcon.setPicture(storedPicture("app-icon-32-16colors"));
    const char* captions[5] = {"&About", "-", "&Open", "-", "&Exit"};
    for (int i = 0; i < 5; ++i) {
        mnuPopUp[i] = std::make_unique<platform::MenuItem>(
            mnuDummy, QStringLiteral("mnuPopUp(%1)").arg(i), QString::fromLatin1(captions[i]));
        mnuPopUp[i]->onClick = [this, i] { mnuPopUp_Click(i); };
    }
}

frmTrayIcon::~frmTrayIcon() = default;

void frmTrayIcon::fillIconData() {
    DatiIcona.cbSize = 88;
    DatiIcona.hWnd = &pichook;
    DatiIcona.uID = 1;
    DatiIcona.uFlags = 7;
    DatiIcona.uCallbackMessage = WM_MOUSEMOVE;
    DatiIcona.hIcon = imgTrayIcon.picture();
    DatiIcona.szTip = (Tip + QChar(u'\0')).leftJustified(TipLength, QLatin1Char(' '));
}

void frmTrayIcon::Shell_NotifyIcon(int action) {
    platform::TrayService* tray = program_.services().tray;
    if (!tray)
        return;
    if (action == NIM_DELETE) {
        tray->RemoveIcon();
        return;
    }
    // The shell shows the tip up to its NUL and reports each mouse action as the callback
    // message sent to the receiver, with the action's number in place of the X coordinate.
    const QString tip = DatiIcona.szTip.left(DatiIcona.szTip.indexOf(QChar(u'\0')));
    // Panels that draw the menu themselves offer the same items.
    tray->setMenu(mnuDummy.qmenu());
    tray->AddIcon(DatiIcona.hIcon, tip, [this](platform::TrayAction trayAction) {
        const int twipsPerPixel = program_.services().screen->TwipsPerPixelX();
        pichook_MouseMove(0, 0, static_cast<double>(trayAction) * twipsPerPixel, 0);
    });
}

void frmTrayIcon::Form_Load() {
    fillIconData();
    Shell_NotifyIcon(NIM_ADD);
    Hide();
}

void frmTrayIcon::Form_Activate() {
    fillIconData();
    Shell_NotifyIcon(NIM_ADD);
}

void frmTrayIcon::ShowHidden() {
    Form_Activate();
}

void frmTrayIcon::Form_Unload(int& Cancel) {
    (void)Cancel;
    DatiIcona.cbSize = 88;
    DatiIcona.hWnd = &pichook;
    DatiIcona.uID = 1;
    Shell_NotifyIcon(NIM_DELETE);
    program_.services().application->End(0);
}

void frmTrayIcon::pichook_MouseMove(int Button, int Shift, double X, double Y) {
    (void)Button, (void)Shift, (void)Y;
    const int twipsPerPixel = program_.services().screen->TwipsPerPixelX();
    MessaggioIcona_ = platform::roundHalfEven(X / twipsPerPixel);
    if (InElaborazione_)
        return;
    InElaborazione_ = true;
    switch (MessaggioIcona_) {
        case WM_LBUTTONDOWN:
            break;
        case WM_LBUTTONDBLCLK:
            mnuPopUp_Click(2);
            break;
        case WM_RBUTTONUP:
            PopupMenu(mnuDummy, mnuPopUp[0].get());
            break;
        default:
            break;
    }
    InElaborazione_ = false;
}

void frmTrayIcon::mnuPopUp_Click(int Index) {
    switch (Index) {
        case 0:
            program_.showAboutBox();
            break;
        case 2:
            fillIconData();
            Shell_NotifyIcon(NIM_DELETE);
            Hide();
            program_.frmVedra().Show();
            break;
        case 4:
            Unload();
            break;
        default:
            break;
    }
}
