// The slide show of the main window: run state, speed and direction with all their
// indicators, and the timed step.
#include "core/Modulo1.h"
#include "core/Program.h"
#include "core/frmVedra.h"
#include "platform/RuntimeError.h"
#include "viewing/SlideShowPause.h"
#include "viewing/frmFS.h"

namespace {
// Colours of the speed bars (0xBBGGRR): a lit bar is light orange, an unlit one light green.
constexpr unsigned long SpeedLit = 0x80C0FF;
constexpr unsigned long SpeedUnlit = 0x80FF80;
// Pause lengths in seconds, by the index of the speed menu item.
constexpr long PauseSeconds[3] = {3, 2, 1};
}  // namespace

void frmVedra::startSlideShow() {
    // The full-screen window is only addressed when it is open: it takes its check mark
    // from SlideShowAttivo when it opens, so it is never created hidden just to be checked.
    if (::frmFS* fs = program_.frmFS.peek())
        fs->mnuRunSlideShow.setChecked(true);
    mnuRunSlideShow.setChecked(true);
    m_.SlideShowAttivo = true;
    cmdSlideShow.setPicture(imgSlideShowGiu.picture());
    cmdSlideShow.setToolTipText(QStringLiteral("Pause Slide Show"));
}

void frmVedra::pauseSlideShow() {
    if (::frmFS* fs = program_.frmFS.peek())
        fs->mnuRunSlideShow.setChecked(false);
    mnuRunSlideShow.setChecked(false);
    cmdSlideShow.setPicture(imgSlideShowSu.picture());
    cmdSlideShow.setToolTipText(QStringLiteral("Run Slide Show"));
    m_.SlideShowAttivo = false;
}

void frmVedra::cmdSlideShow_Click() {
    if (m_.SlideShowAttivo)
        pauseSlideShow();
    else
        startSlideShow();
}

void frmVedra::mnuRunSlideShow_Click() {
    if (mnuRunSlideShow.Checked())
        pauseSlideShow();
    else
        startSlideShow();
}

void frmVedra::showSpeed(int choice) {
    for (int i = 0; i < 3; ++i)
        mnuSpeedSS[i]->setChecked(i == choice);
    // The bars light up to the chosen one: Slow lights one, High all three.
    imgSpeed1.setBackColor(SpeedLit);
    imgSpeed2.setBackColor(choice >= 1 ? SpeedLit : SpeedUnlit);
    imgSpeed3.setBackColor(choice >= 2 ? SpeedLit : SpeedUnlit);
    m_.VelocitaSlideShow = PauseSeconds[choice];
}

void frmVedra::imgSpeed1_Click() {
    showSpeed(0);
}

void frmVedra::imgSpeed2_Click() {
    showSpeed(1);
}

void frmVedra::imgSpeed3_Click() {
    showSpeed(2);
}

void frmVedra::mnuSpeedSS_Click(int Index) {
    if (Index >= 0 && Index <= 2)
        showSpeed(Index);
}

void frmVedra::showDirection(int verso) {
    const bool up = verso < 0;
    mnuFreccia[0]->setChecked(up);
    mnuFreccia[1]->setChecked(!up);
    cmdFreccia.setPicture(up ? imgFrecciaSu.picture() : imgFrecciaGiu.picture());
    VersoSlideShow_ = up ? -1 : 1;
}

void frmVedra::cmdFreccia_Click() {
    showDirection(mnuFreccia[0]->Checked() ? 1 : -1);
}

void frmVedra::mnuFreccia_Click(int Index) {
    if (Index == 0)
        showDirection(-1);
    else if (Index == 1)
        showDirection(1);
}

void frmVedra::Timer1_Timer() {
    if (File1.ListCount() <= 0 || !m_.SlideShowAttivo)
        return;
    // The entry prepared by the previous step may have gone since (a file deleted or
    // moved meanwhile); the show then goes on from the first entry.
    if (m_.IndiceFile >= File1.ListCount())
        m_.IndiceFile = 0;
    AggiornaImmagine();
    LeggiImmagine();
    m_.IndiceFile += VersoSlideShow_;
    if (m_.IndiceFile < 0)
        m_.IndiceFile = File1.ListCount() - 1;
    if (m_.IndiceFile == File1.ListCount())
        m_.IndiceFile = 0;
    prefetchEntry(m_.IndiceFile);
    slideShowPause(*program_.services().clock, m_.VelocitaSlideShow);
}
