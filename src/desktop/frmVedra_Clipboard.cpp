// Pictures exchanged with other programs: copy to and paste from the clipboard, pictures and
// picture files dropped onto the viewing area, and the one procedure that shows a picture
// that did not come from the file list (Pasteggia).
#include <QStringList>
#include <new>

#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/frmVedra.h"
#include "platform/FilePaths.h"
#include "platform/RuntimeError.h"
#include "platform/Twips.h"
#include "platform/services/ClipboardService.h"

using platform::ClipboardService;
using platform::DataObject;
using platform::RuntimeError;
namespace ClipFormat = platform::ClipFormat;

namespace {

// The picture's own format: the clipboard chooses how to carry it.
constexpr int OwnFormat = 0;

// The picture formats a drop is asked for, in this order; of those offered, the last one
// delivered is the one shown.
constexpr int DropFormats[] = {ClipFormat::Bitmap, ClipFormat::Metafile,
                               ClipFormat::EnhancedMetafile, ClipFormat::DIB, ClipFormat::Palette};

// A dropped file is taken when its name ends in a picture type the viewer opens.
bool isPictureFileName(const QString& path) {
    static const QStringList accepted = {"JPG", "GIF", "BMP", "WMF", "EMF", "ICO"};
    const QString name = platform::fileNameOf(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && accepted.contains(name.mid(dot + 1).toUpper());
}

QString firstPictureFile(const QStringList& files) {
    for (const QString& file : files) {
        if (isPictureFileName(file))
            return file;
    }
    return {};
}

// A quotient as text: whole numbers without a point, others with their fractional digits
// (up to 15 significant digits).
QString quotientText(double value) {
    return QString::number(value, 'g', 15);
}

}  // namespace

void frmVedra::wireDesktopHandlers() {
    mnuCopy.onClick = [this] { mnuCopy_Click(); };
    cmdCopy.onClick = [this] { cmdCopy_Click(); };
    mnuPaste.onClick = [this] { mnuPaste_Click(); };
    cmdPaste.onClick = [this] { cmdPaste_Click(); };
    mnuWallPaper.onClick = [this] { mnuWallPaper_Click(); };
    mnuPrint.onClick = [this] { mnuPrint_Click(); };
    Image1.onOLEDragDrop = [this](DataObject& data, long& effect, int button, int shift, double x,
                                  double y) {
        Image1_OLEDragDrop(data, effect, button, shift, x, y);
    };
    Picture1.onOLEDragDrop = [this](DataObject& data, long& effect, int button, int shift, double x,
                                    double y) {
        Picture1_OLEDragDrop(data, effect, button, shift, x, y);
    };
}

void frmVedra::mnuCopy_Click() {
    ClipboardService* clipboard = program_.services().clipboard;
    if (!clipboard)
        return;
    clipboard->Clear();
    // From here every failure is ignored: a picture the clipboard cannot take (an icon)
    // leaves it empty, and nothing is reported.
    try {
        clipboard->SetData(Image1.picture(), OwnFormat);
    } catch (const RuntimeError&) {
    } catch (const std::bad_alloc&) {
    }
}

void frmVedra::cmdCopy_Click() {
    mnuCopy_Click();
}

void frmVedra::mnuPaste_Click() {
    Pasteggia();
}

void frmVedra::cmdPaste_Click() {
    Pasteggia();
}

void frmVedra::Image1_OLEDragDrop(DataObject& Data, long& /*Effect*/, int /*Button*/, int /*Shift*/,
                                  double /*X*/, double /*Y*/) {
    ImmagineTrascinata_ = true;
    if (windowState() == platform::WindowState::Minimized)
        setWindowState(platform::WindowState::Maximized);

    bool pictureOffered = false;
    for (int format : DropFormats) {
        if (!Data.GetFormat(format))
            continue;
        pictureOffered = true;
        // Data that announces a format but cannot deliver it keeps the picture shown.
        const platform::Picture dropped = Data.GetData(format);
        if (!dropped.isEmpty())
            Image1.setPicture(dropped);
    }

    // A picture file dragged from a file manager is shown as a file named on the command
    // line is, with its length and date; it is no entry of the list, like any dropped picture.
    const QString droppedFile = pictureOffered ? QString() : firstPictureFile(Data.Files());
    if (!droppedFile.isEmpty())
        RigaComando_ = droppedFile;
    Pasteggia();
    if (!droppedFile.isEmpty()) {
        setCaption(project_identity::productName());
        lblContatore.setCaption(QString());
    }
}

void frmVedra::Picture1_OLEDragDrop(DataObject& Data, long& Effect, int Button, int Shift, double X,
                                    double Y) {
    Image1_OLEDragDrop(Data, Effect, Button, Shift, X, Y);
}

void frmVedra::Pasteggia() {
    ClipboardService* clipboard = program_.services().clipboard;
    ImmagineBitmap_ = false;
    ImmagineIncollata_ = true;
    Image1.setStretch(true);

    // Every failure below is passed over and the next step runs.
    bool fromFile = false;
    if (!RigaComando_.isEmpty()) {
        try {
            Image1.setPicture(loadShownPicture(RigaComando_));
        } catch (const RuntimeError&) {
        } catch (const std::bad_alloc&) {
        }
        fromFile = true;
    } else if (!ImmagineTrascinata_ && clipboard) {
        Image1.setPicture(clipboard->GetData(OwnFormat));
    }
    // The clipboard is asked whatever the source was.
    const bool clipboardHasPicture =
        clipboard &&
        (clipboard->GetFormat(ClipFormat::Bitmap) || clipboard->GetFormat(ClipFormat::DIB) ||
         clipboard->GetFormat(ClipFormat::Metafile) ||
         clipboard->GetFormat(ClipFormat::EnhancedMetafile));
    if (!(ImmagineTrascinata_ || fromFile || clipboardHasPicture)) {
        if (File1.ListIndex() != -1)
            LeggiImmagine();
        return;
    }
    ImmagineTrascinata_ = false;
    Image1.setStretch(false);
    m_.LarghezzaOriginale = platform::roundHalfEven(Image1.Width());
    m_.AltezzaOriginale = platform::roundHalfEven(Image1.Height());
    ApplicaDimensioni();
    CentraImmagine();
    if (fromFile) {
        try {
            lblDisplay.setCaption(informationLine(RigaComando_));
        } catch (const RuntimeError&) {
        }
        RigaComando_.clear();
    } else {
        setCaption(project_identity::productName());
        lblContatore.setCaption(QString());
        lblDisplay.setCaption(QStringLiteral("W") + quotientText(m_.LarghezzaOriginale / 15.0) +
                              QStringLiteral(" x ") + QStringLiteral("H") +
                              quotientText(m_.AltezzaOriginale / 15.0));
    }
    Image1.setVisible(true);
}
