#include "platform/linux/QtPrinter.h"

#include <QApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace platform {

namespace {

constexpr double TwipsPerInch = 1440.0;

// The window the print dialog belongs to: the active one, so it opens over the viewer.
QWidget* dialogParent() {
    return QApplication::activeWindow();
}

}  // namespace

QtPrinter::QtPrinter() = default;

QtPrinter::~QtPrinter() = default;

QPrinter& QtPrinter::printer() {
    // Made on first use: setting a printer up asks the print system for its printers.
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

bool QtPrinter::ShowPrinter() {
    // A machine with no printer still gets a choice: Qt's dialog then offers a PDF file.
    if (QPrinterInfo::availablePrinters().isEmpty() &&
        printer().outputFormat() != QPrinter::PdfFormat)
        printer().setOutputFormat(QPrinter::PdfFormat);
    QPrintDialog dialog(&printer(), dialogParent());
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setWindowTitle(QStringLiteral("Print"));
    return dialog.exec() == QDialog::Accepted;
}

bool QtPrinter::PrintPicture(const Picture& picture, double widthTwips, double heightTwips) {
    if (picture.isEmpty() || widthTwips <= 0 || heightTwips <= 0)
        return false;
    QPainter painter;
    if (!painter.begin(&printer()))
        return false;
    // The painter's origin is the top-left of the printable area; its unit is the
    // printer's dot.
    const double dotsPerTwipX = printer().logicalDpiX() / TwipsPerInch;
    const double dotsPerTwipY = printer().logicalDpiY() / TwipsPerInch;
    const QRectF target(0, 0, widthTwips * dotsPerTwipX, heightTwips * dotsPerTwipY);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Pictures other than JPEG photos (GIF, BMP, icons, pasted ones) keep every pixel: a PDF
    // would otherwise store them as JPEG, blurring their edges and flat colours.
    painter.setRenderHint(QPainter::LosslessImageRendering, !picture.isJpeg());
    // A metafile is played as vectors at the printer's resolution; a raster goes to the
    // printer whole and is scaled there, never blown up to the page's dots here.
    if (picture.kind() == Picture::Kind::Metafile)
        picture.draw(painter, target);
    else
        painter.drawImage(target, picture.toImage());
    return painter.end();
}

}  // namespace platform
