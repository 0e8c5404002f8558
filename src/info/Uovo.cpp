#include "info/Uovo.h"

#include <QWidget>
#include <cstdlib>

#include "core/StoredPictures.h"

namespace {
constexpr unsigned long Grey = 0x808080;
constexpr unsigned long DarkBlue = 0x800000;
constexpr unsigned long White = 0xFFFFFF;
constexpr unsigned long Black = 0x000000;
// Below this top the credits have scrolled out of sight and start again.
constexpr long LowestTop = -1900;
}  // namespace

Uovo::Uovo(Program& program)
    : Form(QStringLiteral("Uovo"), 5055, 1935, platform::BorderStyle::FixedDialog),
      Bianco(*this, "Bianco", 6000, 0, 3000, 3750),
      Nero(*this, "Nero", 6000, 0, 3000, 3000),
      Titoli(*this, "Titoli", 360, 360, 3015, 3735),
      Picture1(*this, "Picture1", 360, 0, 3015, 375),
      Picture2(*this, "Picture2", 360, 1320, 3015, 615),
      Check1(*this, "Check1", 3600, 360, 1215, 255, QStringLiteral("White")),
      Shape1(*this, "Shape1", 3600, 720, 1215, 255),
      Display(*this, "Display", 3600, 720, 1215, 255),
      HScroll1(*this, "HScroll1", 3600, 1080, 1215, 255, 1, 40),
      Command1(*this, "Command1", 3600, 1500, 1215, 375, QStringLiteral("&OK")),
      Timer1(1, true) {
    (void)program;
    setCaption(QStringLiteral("Titles"));
    setIcon(storedPicture("app-icon"));
    setBackColor(Grey);
    Bianco.setPicture(storedPicture("credits-white"));
    Nero.setPicture(storedPicture("credits-black"));
    Bianco.setVisible(false);
    Nero.setVisible(false);
    for (platform::PictureBox* box : {&Titoli, &Picture1, &Picture2}) {
        box->setBackColor(Grey);
        box->setBorder(false);
    }
    // Named for screen readers, which otherwise meet an anonymous picture.
    Titoli.widget()->setAccessibleName(QStringLiteral("Credits"));
    Shape1.setBackColor(DarkBlue);
    Display.setFont(QStringLiteral("Sans Serif"), 8.25, true);
    Display.setForeColor(White);
    Display.setCentered(true);
    HScroll1.setValue(10);
    HScroll1.setToolTipText(QStringLiteral("Speed"));

    Timer1.onTimer = [this] { Timer1_Timer(); };
    Command1.onClick = [this] { Command1_Click(); };
}

Uovo::~Uovo() = default;

void Uovo::showSpeed() {
    // Half the scroll bar's value, a half shown as ".5".
    Display.setCaption(QString::number(HScroll1.Value() / 2.0, 'g', 7));
}

void Uovo::Form_Activate() {
    PosizioneTitoli_ = 380;
    InizioTitoli_ = 380;
    PassoTitoli_ = -10;
    HScroll1.setValue(std::abs(PassoTitoli_));
    showSpeed();
    Timer1.setInterval(1);
}

void Uovo::Timer1_Timer() {
    if (PosizioneTitoli_ < LowestTop)
        PosizioneTitoli_ = InizioTitoli_;
    PassoTitoli_ = -HScroll1.Value();
    showSpeed();
    PosizioneTitoli_ += PassoTitoli_;
    Titoli.setTop(PosizioneTitoli_);
    if (Check1.Value() == 1) {
        Titoli.setPicture(Bianco.picture());
        Check1.setForeColor(White);
    } else {
        Titoli.setPicture(Nero.picture());
        Check1.setForeColor(Black);
    }
}

void Uovo::Command1_Click() {
    Unload();
}
