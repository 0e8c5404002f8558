#pragma once

#include "platform/Form.h"
#include "platform/Menu.h"
#include "platform/controls/Image.h"
#include "platform/controls/Timer.h"

class Program;
class frmVedra;
struct Modulo1;

// The full-screen view: the main window's picture alone on a black screen, stretched or
// enlarged with its proportions kept. It has no data of its own: every set-up copies the
// main window's picture, and its keys move through the main window's file list.
class frmFS : public platform::Form {
  public:
    explicit frmFS(Program& program);
    ~frmFS() override;

    // The set-up; also the refresh procedure that the keys and the timer call again.
    void Form_Load() override;
    void Form_KeyDown(int KeyCode, int Shift) override;
    void Form_MouseDown(int Button, int Shift, double X, double Y) override;
    void Form_Click() override;
    void Form_Unload(int& Cancel) override;

    void CentraImmagineFS();
    void Image1_Click();
    void mnuRunSlideShow_Click();
    void mnuCopy_Click();
    void mnuCancel_Click();
    void Timer1_Timer();

    platform::Image Image1;
    platform::Timer Timer1;
    platform::MenuItem mnuMenuPopUp;
    platform::MenuItem mnuRunSlideShow;
    platform::MenuItem rigaa;
    platform::MenuItem mnuCopy;
    platform::MenuItem rigab;
    platform::MenuItem mnuCancel;

  private:
    frmVedra& main() const;
    void coverScreen();
    void closeOnClick();

    Program& program_;
    Modulo1& m_;
    // The button of the last press, so the release of a right press (which opened the
    // popup menu) does not count as the closing click.
    int pressedButton_ = 0;
    // Set when a click closes the window while its own slide-show pause is running.
    bool unloadPending_ = false;
};
