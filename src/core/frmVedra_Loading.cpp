// Loading the selected picture and describing it: caption, information line, counter.
#include <QDateTime>
#include <QLocale>
#include <new>

#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/frmVedra.h"
#include "platform/NumberText.h"
#include "platform/RuntimeError.h"
#include "platform/Twips.h"
#include "platform/Volumes.h"
#include "platform/services/FileSystemService.h"
#include "platform/services/MessageBoxService.h"

using platform::RuntimeError;
using platform::ErrorNumber::FileNotFound;
using platform::ErrorNumber::InvalidPicture;
using platform::ErrorNumber::OutOfMemory;

namespace {

// The date-time of a file as the desktop writes it by default.
QString dateTimeText(const QDateTime& when) {
    return QLocale().toString(when, QLocale::ShortFormat);
}

// Pixels at the fixed 15 twips per pixel, cut to a whole number.
QString pixelsOf(double twips) {
    return platform::plainNumber(static_cast<long long>(twips / 15));
}

// "W… x H…" with the text after its first "." deciding whether a name is a bitmap file.
bool isBitmapName(const QString& name) {
    const int dot = int(name.indexOf(QLatin1Char('.')));
    return dot >= 0 && name.mid(dot + 1).toUpper() == QLatin1String("BMP");
}

}  // namespace

QStringList frmVedra::longestInformationLines() {
    // Every month and both halves of the day, on a two-digit day, so the widest month name
    // or number and the widest day-period text of the locale are all among them.
    QStringList lines;
    for (int month = 1; month <= 12; ++month) {
        for (int hour : {10, 22}) {
            const QDateTime when(QDate(2000, month, 28), QTime(hour, 58, 58));
            lines << QStringLiteral(" 8888888888 byte  W88888 x H88888  Date: ") +
                         dateTimeText(when);
        }
    }
    return lines;
}

QString frmVedra::informationLine(const QString& path) const {
    platform::FileSystemService& files = *program_.services().fileSystem;
    const qint64 length = files.FileLen(path);
    const QDateTime changed = files.FileDateTime(path);
    return platform::withSignPosition(length) + QStringLiteral(" byte  ") + QStringLiteral("W") +
           pixelsOf(Image1.Width()) + QStringLiteral(" x ") + QStringLiteral("H") +
           pixelsOf(Image1.Height()) + QStringLiteral("  ") + QStringLiteral("Date: ") +
           dateTimeText(changed);
}

void frmVedra::showError(int number) {
    program_.services().messageBox->MsgBox(
        QStringLiteral("Error ") + platform::withSignPosition(number),
        platform::MsgBoxStyle::OkOnly, project_identity::productName());
}

void frmVedra::File1_Click() {
    setDefaultHtmlName();
    LeggiImmagine();
}

void frmVedra::File1_DblClick() {
    LeggiImmagine();
    IngrandisciImmagineFS();
}

void frmVedra::LeggiImmagine() {
    ImmagineIncollata_ = false;
    if (File1.ListIndex() >= 0) {
        m_.IndiceFile = File1.ListIndex();
        m_.PercorsoFile = platform::joinPath(File1.Path(), File1.List(File1.ListIndex()));
        m_.NomeFile = File1.FileName();
        m_.CartellaImmagine = File1.Path();
        PercorsoBitmap_ = m_.PercorsoFile;
    }
    Image1.setVisible(false);
    try {
        Image1.setPicture(loadShownPicture(m_.PercorsoFile));
        setCaption(project_identity::productTitle(m_.PercorsoFile));
        lblDisplay.setCaption(informationLine(m_.PercorsoFile));
        lblContatore.setCaption(File1.ListIndex() >= 0
                                    ? platform::plainNumber(m_.IndiceFile + 1) +
                                          QStringLiteral("/") + platform::plainNumber(NumeroFile_)
                                    : QString());
        ImmagineBitmap_ = isBitmapName(m_.NomeFile);
    } catch (const RuntimeError& error) {
        if (error.number() == InvalidPicture)
            Image1.setPicture(Image2.picture());
        else if (error.number() != FileNotFound)
            showError(error.number());
    } catch (const std::bad_alloc&) {
        showError(OutOfMemory);
    }
    Image1.setStretch(false);
    m_.LarghezzaOriginale = platform::roundHalfEven(Image1.Width());
    m_.AltezzaOriginale = platform::roundHalfEven(Image1.Height());
    ApplicaDimensioni();
    CentraImmagine();
    Image1.setVisible(true);
}

platform::Picture frmVedra::loadShownPicture(const QString& path) {
    platform::Picture picture = program_.prefetcher.lookup(path);
    if (picture.isEmpty())
        picture = program_.recentPictures.find(path);
    if (picture.isEmpty()) {
        // The load runs in this handler, so the order of the steps stays as it is; a coarse
        // picture of a big progressive JPEG is painted on the way, and taken away when the
        // load ends, whatever the outcome.
        struct PreviewEnd {
            frmVedra& window;
            ~PreviewEnd() { window.endLoadPreview(); }
        } previewEnd{*this};
        platform::LoadProgress progress;
        progress.preview = [this](const QImage& coarse, QSize natural) {
            showLoadPreview(coarse, natural);
        };
        picture = platform::LoadPicture(path, shownViewForLoad(), progress);
    }
    program_.recentPictures.add(path, picture);
    return picture;
}

void frmVedra::AggiornaImmagine() {
    if (File1.ListIndex() >= 0 && m_.SlideShowAttivo)
        File1.setListIndex(int(m_.IndiceFile));
    else if (File1.ListCount() > 0)
        File1.setListIndex(0);
}
