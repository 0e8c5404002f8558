// The folder browser: drive and folder changes, the type filter.
#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/frmVedra.h"
#include "platform/Volumes.h"

namespace {

// Patterns of the type filter, by the index of the selected item.
QString patternForFilter(int index) {
    static const char* const patterns[] = {"*.JPG;*.GIF;*.BMP;*.WMF;*.EMF;*.ICO",
                                           "*.JPG;*.GIF",
                                           "*.JPG",
                                           "*.GIF",
                                           "*.BMP",
                                           "*.WMF",
                                           "*.EMF",
                                           "*.ICO"};
    if (index < 0 || index > 7)
        return {};
    return QString::fromLatin1(patterns[index]);
}

}  // namespace

void frmVedra::Dir1_Change() {
    Image1.setPicture(platform::LoadPicture());
    ResetDimensioniImmagine();
    File1.setPath(Dir1.Path());
    showFolderState();
}

void frmVedra::Drive1_Change() {
    Image1.setPicture(platform::LoadPicture());
    ResetDimensioniImmagine();
    // The folder list moves to the drive's current folder and runs the whole folder
    // change inside this assignment; the steps after the refill then run once more.
    Dir1.setPath(Drive1.Drive());
    showFolderState();
}

void frmVedra::showFolderState() {
    if (m_.SlideShowAttivo && File1.ListIndex() >= 0) {
        m_.IndiceFile = 0;
        File1.setListIndex(0);
    }
    setCaption(project_identity::productName());
    lblDisplay.setCaption(QString());
    lblContatore.setCaption(QString());
    NumeroFile_ = File1.ListCount();
    setDefaultHtmlName();
}

void frmVedra::TipoImmagine_Change() {
    ApplicaFiltro();
}

void frmVedra::TipoImmagine_Click() {
    ApplicaFiltro();
}

void frmVedra::ApplicaFiltro() {
    // Assigning the pattern re-reads the folder, which is the refresh.
    File1.setPattern(patternForFilter(TipoImmagine.ListIndex()));
    NumeroFile_ = File1.ListCount();
}
