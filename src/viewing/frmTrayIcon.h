#pragma once

#include <QString>
#include <array>
#include <memory>

#include "platform/Form.h"
#include "platform/Menu.h"
#include "platform/Picture.h"
#include "platform/controls/Image.h"
#include "platform/controls/PictureBox.h"

class Program;

// The window behind the tray icon. It is never seen: it adds the icon when the main window
// goes into the tray, hears the mouse actions on the icon through `pichook`, and holds the
// icon's popup menu (About, Open, Exit).
class frmTrayIcon : public platform::Form {
  public:
    explicit frmTrayIcon(Program& program);
    ~frmTrayIcon() override;

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(int& Cancel) override;
    void mnuPopUp_Click(int Index);
    // The tray icon's mouse action arrives as a mouse move whose X carries the number of the
    // mouse message, in twips.
    void pichook_MouseMove(int Button, int Shift, double X, double Y);

    // A showing of the window, which stays hidden: activates it (adding the icon) without
    // putting it on the screen.
    void ShowHidden();

    platform::PictureBox pichook;
    platform::Image imgTrayIcon;
    platform::MenuItem mnuDummy;
    std::array<std::unique_ptr<platform::MenuItem>, 5> mnuPopUp;

    // The shell's record for the tray icon, in its field order.
    struct NotifyIconData {
        long cbSize = 0;
        const void* hWnd = nullptr;  // the receiver of the mouse actions: pichook
        long uID = 0;
        long uFlags = 0;
        long uCallbackMessage = 0;
        platform::Picture hIcon;
        QString szTip;  // 64 characters: the tip, a NUL, blanks
    };
    NotifyIconData DatiIcona;
    // True while a tray action is being handled (later actions are ignored meanwhile).
    bool InElaborazione() const { return InElaborazione_; }

  private:
    void fillIconData();
    // Adds (0) or removes (2) the tray icon described by DatiIcona.
    void Shell_NotifyIcon(int action);

    Program& program_;
    long MessaggioIcona_ = 0;
    bool InElaborazione_ = false;
};
