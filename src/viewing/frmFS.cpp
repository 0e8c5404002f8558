#include "viewing/frmFS.h"

#include <algorithm>

#include "core/Modulo1.h"
#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/SizeMode.h"
#include "core/StoredPictures.h"
#include "core/frmVedra.h"
#include "platform/Keys.h"
#include "platform/Twips.h"
#include "platform/services/ClipboardService.h"
#include "platform/services/ScreenService.h"
#include "viewing/SlideShowPause.h"

using platform::roundHalfEven;

namespace {
// The clipboard's "the picture's own format".
constexpr int OwnFormat = 0;
}  // namespace

frmFS::frmFS(Program& program)
    : Form(QStringLiteral("frmFS"), program.services().screen->Width(),
           program.services().screen->Height(), platform::BorderStyle::None),
      Image1(*this, "Image1", 0, 0, 0, 0),
      Timer1(100, true),
      mnuMenuPopUp("mnuMenuPopUp", "Menu PopUp"),
      mnuRunSlideShow(mnuMenuPopUp, "mnuRunSlideShow", "&Run Slide Show"),
      rigaa(mnuMenuPopUp, "rigaa", "-"),
      mnuCopy(mnuMenuPopUp, "mnuCopy", "&Copy To ClipBoard"),
      rigab(mnuMenuPopUp, "rigab", "-"),
      mnuCancel(mnuMenuPopUp, "mnuCancel", "C&ancel"),
      program_(program),
      m_(program.modulo1()) {
    setCaption(QString());
    // No caption on a borderless window, but screen readers still announce it by name.
    setAccessibleName(project_identity::productTitle(QStringLiteral("Full Screen")));
    setIcon(storedPicture("app-icon"));
    setBackColor(0x000000);
    // The check mark follows the run state from the start; the main window's run and
    // pause procedures keep it in step while the window is open.
    mnuRunSlideShow.setChecked(m_.SlideShowAttivo);

    Image1.onClick = [this] { Image1_Click(); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
    mnuRunSlideShow.onClick = [this] { mnuRunSlideShow_Click(); };
    mnuCopy.onClick = [this] { mnuCopy_Click(); };
    mnuCancel.onClick = [this] { mnuCancel_Click(); };
}

frmFS::~frmFS() = default;

frmVedra& frmFS::main() const {
    return program_.frmVedra();
}

void frmFS::coverScreen() {
    // Full screen rather than maximised: a maximised borderless window stops at the
    // desktop's panels, and this window must cover the whole screen. It reads back as
    // the maximised state.
    CoverScreen();
}

void frmFS::Form_Load() {
    const platform::ScreenService& screen = *program_.services().screen;
    coverScreen();
    Image1.setVisible(false);
    Image1.setPicture(main().Image1.picture());
    Image1.setLeft(0);
    Image1.setTop(0);
    Image1.setStretch(true);
    // The fitted side follows the picture's own orientation, not the screen's: a wide
    // picture takes the screen's width even when it then overflows top and bottom.
    const ShownSize shown =
        shownSize(m_.MantieniAspettoFS ? SizeMode::FullScreenMaintainAspect : SizeMode::FullScreen,
                  QSizeF(m_.LarghezzaOriginale, m_.AltezzaOriginale), QSizeF(),
                  QSizeF(screen.Width(), screen.Height()));
    if (m_.MantieniAspettoFS) {
        // Kept as single-precision twips, as the window's controls hold them.
        if (shown.width)
            Image1.setWidth(static_cast<float>(*shown.width));
        Image1.setHeight(static_cast<float>(shown.height));
        CentraImmagineFS();
    } else {
        Image1.setWidth(*shown.width);
        Image1.setHeight(shown.height);
    }
    Image1.setVisible(true);
}

void frmFS::CentraImmagineFS() {
    const platform::ScreenService& screen = *program_.services().screen;
    const double w = roundHalfEven(Image1.Width());
    const double h = roundHalfEven(Image1.Height());
    Image1.setLeft(roundHalfEven((screen.Width() - w) / 2));
    Image1.setTop(roundHalfEven((screen.Height() - h) / 2));
}

void frmFS::Form_KeyDown(int KeyCode, int /*Shift*/) {
    platform::FileListBox& list = main().File1;
    const int count = list.ListCount();
    int position = 0;
    switch (KeyCode) {
        case platform::KeyCode::End:
            position = count - 1;
            break;
        case platform::KeyCode::Home:
            position = 0;
            break;
        case platform::KeyCode::Down:
            position = std::min(list.ListIndex() + 1, count - 1);
            break;
        case platform::KeyCode::Up:
            position = std::max(list.ListIndex() - 1, 0);
            break;
        default:
            return;
    }
    // Selecting the entry makes the main window load it. An empty list (a pasted picture
    // shown) has no first entry: Home and Up then only refresh.
    if (position < count)
        list.setListIndex(position);
    Form_Load();
}

void frmFS::Form_MouseDown(int Button, int /*Shift*/, double /*X*/, double /*Y*/) {
    // Presses on the picture come here too: the image passes them on to its window.
    pressedButton_ = Button;
    if (Button == platform::MouseButton::Right)
        PopupMenu(mnuMenuPopUp);
}

void frmFS::Form_Click() {
    closeOnClick();
}

void frmFS::Image1_Click() {
    closeOnClick();
}

void frmFS::closeOnClick() {
    const int button = pressedButton_;
    pressedButton_ = 0;
    // The left button closes the window; the right one opened the popup menu, and the
    // middle one does nothing.
    if (button != platform::MouseButton::Right && button != platform::MouseButton::Middle)
        Unload();
}

void frmFS::Form_Unload(int& Cancel) {
    if (Timer1.isRunningHandler() && !unloadPending_) {
        // The click came during this window's own slide-show pause, which is still on the
        // stack below: the window disappears now and is unloaded when the pause has
        // returned, so it is never destroyed under its own running handler.
        unloadPending_ = true;
        Hide();
        Cancel = 1;
        return;
    }
    Timer1.setEnabled(false);
    // The window is destroyed later, after the current event; parted from the main window
    // now, it cannot be taken along if the main window goes first.
    DetachFromOwner();
}

void frmFS::mnuRunSlideShow_Click() {
    if (mnuRunSlideShow.Checked())
        main().pauseSlideShow();
    else
        main().startSlideShow();
}

void frmFS::mnuCopy_Click() {
    platform::ClipboardService* clipboard = program_.services().clipboard;
    if (!clipboard)
        return;
    clipboard->Clear();
    // A picture the clipboard cannot take leaves it empty; nothing is reported.
    try {
        clipboard->SetData(Image1.picture(), OwnFormat);
    } catch (...) {
    }
}

void frmFS::mnuCancel_Click() {}

void frmFS::Timer1_Timer() {
    if (main().File1.ListCount() <= 0 || !m_.SlideShowAttivo)
        return;
    Form_Load();
    slideShowPause(*program_.services().clock, m_.VelocitaSlideShow, &unloadPending_);
    if (unloadPending_)
        Unload();
}
