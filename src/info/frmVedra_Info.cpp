// The main window's Help menu and its logo.
#include "core/Modulo1.h"
#include "core/Program.h"
#include "core/frmVedra.h"
#include "info/frmAbout.h"
#include "info/frmNote.h"

void frmVedra::mnuAbout_Click() {
    program_.frmAbout().ShowModal(this);
}

void frmVedra::mnuNote_Click() {
    program_.frmNote().ShowModal(this);
}

void frmVedra::imgLogo_Click() {
    if (!m_.LogoAlternato) {
        m_.LogoAlternato = true;
        imgLogo.setPicture(imgLogo2.picture());
    } else {
        m_.LogoAlternato = false;
        imgLogo.setPicture(imgLogo1.picture());
    }
}
