#pragma once

#include "platform/Form.h"
#include "platform/controls/CommandButton.h"
#include "platform/controls/InputControls.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/Timer.h"

class Program;

// The hidden credits window: the credit lines, a picture, scroll upwards in a loop like
// film titles; a scroll bar sets the speed and a check box picks the white or the black
// version.
class Uovo : public platform::Form {
  public:
    explicit Uovo(Program& program);
    ~Uovo() override;

    void Form_Activate() override;
    void Timer1_Timer();
    void Command1_Click();

    // Stored pictures (never shown themselves).
    platform::PictureBox Bianco;
    platform::PictureBox Nero;
    // The scrolling credits, between the grey bands above and below.
    platform::PictureBox Titoli;
    platform::PictureBox Picture1;
    platform::PictureBox Picture2;
    platform::CheckBox Check1;
    platform::PictureBox Shape1;
    platform::Label Display;
    platform::HScrollBar HScroll1;
    platform::CommandButton Command1;
    platform::Timer Timer1;

    long PosizioneTitoli() const { return PosizioneTitoli_; }
    long InizioTitoli() const { return InizioTitoli_; }
    long PassoTitoli() const { return PassoTitoli_; }

  private:
    void showSpeed();

    long PosizioneTitoli_ = 0;
    long InizioTitoli_ = 0;
    long PassoTitoli_ = 0;
};
