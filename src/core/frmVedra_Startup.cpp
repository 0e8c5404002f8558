// Start-up and shut-down of the main window.
#include <QStringList>

#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/frmVedra.h"
#include "platform/Twips.h"
#include "platform/services/ApplicationService.h"
#include "platform/services/MessageBoxService.h"

using platform::roundHalfEven;

namespace {

const QString AllPictureFiles = QStringLiteral("*.JPG;*.GIF;*.BMP;*.WMF;*.EMF;*.ICO");
constexpr int IncorrectFormatExitStatus = 2;

long maximised(long length) {
    return roundHalfEven(length * 1.3);
}

}  // namespace

// The command line names a picture when the text after its first "." is a picture type.
bool frmVedra::namesAPicture(const QString& commandLine) {
    const int dot = int(commandLine.indexOf(QLatin1Char('.')));
    const QString extension = dot < 0 ? QString() : commandLine.mid(dot + 1).toUpper();
    static const QStringList accepted = {"JPG", "GIF", "BMP", "WMF", "EMF", "ICO"};
    return accepted.contains(extension);
}

void frmVedra::Form_Load() {
    const platform::Services& services = program_.services();
    RigaComando_ = services.application->Command();
    ImmagineIncollata_ = false;
    VersoSlideShow_ = 1;

    L_.AltezzaListaFile = roundHalfEven(File1.Height());
    L_.TopContatore = roundHalfEven(lblContatore.Top());
    L_.TopTipoImmagine = roundHalfEven(TipoImmagine.Top());
    L_.TopDimensioni = roundHalfEven(Dimensioni.Top());
    L_.TopLogo = roundHalfEven(imgLogo.Top());

    File1.setPattern(AllPictureFiles);
    TipoImmagine.setText(QStringLiteral("All Picture Files"));
    for (const char* item : {"All Picture Files", "JPG; GIF", "JPG", "GIF", "BMP (Bitmaps)",
                             "WMF (Metafiles)", "EMF (Enhanced Metafiles)", "ICO (Icons)"})
        TipoImmagine.AddItem(QString::fromLatin1(item));
    Dimensioni.setText(QStringLiteral("Original Size"));
    for (const char* item : {"Original Size", "Resize Maintain Aspect", "Resize to Window",
                             "Full Screen Maintain Aspect", "Full Screen"})
        Dimensioni.AddItem(QString::fromLatin1(item));

    L_.TopInfo = roundHalfEven(lblDisplay.Top());
    L_.TopInfoMax = L_.TopInfo;
    L_.LarghezzaInfo = roundHalfEven(lblDisplay.Width());
    L_.LarghezzaInfoMax = maximised(L_.LarghezzaInfo);
    L_.LarghezzaCornice = roundHalfEven(Picture1.Width());
    L_.LarghezzaCorniceMax = maximised(L_.LarghezzaCornice);
    L_.AltezzaCornice = roundHalfEven(Picture1.Height());
    L_.AltezzaCorniceMax = maximised(L_.AltezzaCornice);
    L_.LarghezzaArea = roundHalfEven(Image1.Width());
    L_.LarghezzaAreaMax = maximised(L_.LarghezzaArea);
    L_.AltezzaArea = roundHalfEven(Image1.Height());
    L_.AltezzaAreaMax = maximised(L_.AltezzaArea);
    Image1.setWidth(L_.LarghezzaArea);
    Image1.setHeight(L_.AltezzaArea);

    Dimensioni.setListIndex(0);

    m_.LogoAlternato = false;
    imgLogo.setPicture(imgLogo1.picture());
    m_.SlideShowAttivo = false;
    m_.VelocitaSlideShow = 2;
    NumeroFile_ = File1.ListCount();

    if (RigaComando_.isEmpty())
        return;
    if (namesAPicture(RigaComando_)) {
        Pasteggia();
        return;
    }
    services.messageBox->MsgBox(QStringLiteral("Incorrect format"), platform::MsgBoxStyle::OkOnly,
                                project_identity::productName());
    services.application->End(IncorrectFormatExitStatus);
}

void frmVedra::Form_Unload(int& /*cancel*/) {
    program_.services().application->End(0);
}
