#include <gtest/gtest.h>

#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/Picture.h"
#include "platform/linux/QtPrinter.h"

namespace {

// The box of clearly red pixels of a page image.
QRect redBox(const QImage& page) {
    QRect box;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

}  // namespace

// The picture lands at the top-left of the printable area at its size in twips, whatever
// the printer's resolution: 1440 twips are one inch, 72 points on the page.
TEST(PrintToPdfTest, ThePictureSitsAtThePrintableTopLeftAtItsSizeInTwips) {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    QImage red(200, 100, QImage::Format_RGB32);
    red.fill(Qt::red);
    const platform::Picture picture = platform::Picture::fromImage(red);

    QPrinter reference(QPrinter::HighResolution);
    reference.setOutputFormat(QPrinter::PdfFormat);
    const QPointF origin = reference.pageLayout().paintRectPoints().topLeft();

    struct Case {
        double widthTwips, heightTwips;
    };
    for (const Case c : {Case{3000, 1500}, Case{6000, 1500}}) {
        SCOPED_TRACE(c.widthTwips);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("page.pdf");
        platform::QtPrinter printer;
        printer.printToPdfWithoutDialog(pdf);
        ASSERT_TRUE(printer.ShowPrinter());
        ASSERT_TRUE(printer.PrintPicture(picture, c.widthTwips, c.heightTwips));

        QProcess render;
        render.start("pdftoppm", {"-r", "72", "-png", "-singlefile", pdf, dir.filePath("page")});
        ASSERT_TRUE(render.waitForFinished(60000));
        ASSERT_EQ(render.exitCode(), 0);
        const QImage page(dir.filePath("page.png"));
        ASSERT_FALSE(page.isNull());
        const QRect box = redBox(page);
        EXPECT_NEAR(box.left(), origin.x(), 1.5);
        EXPECT_NEAR(box.top(), origin.y(), 1.5);
        EXPECT_NEAR(box.width(), c.widthTwips / 20, 1.5);
        EXPECT_NEAR(box.height(), c.heightTwips / 20, 1.5);
    }
}

TEST(PrintToPdfTest, NothingIsWrittenForAnEmptyPicture) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("page.pdf");
    platform::QtPrinter printer;
    printer.printToPdfWithoutDialog(pdf);
    EXPECT_FALSE(printer.PrintPicture(platform::Picture(), 3000, 1500));
    EXPECT_FALSE(QFile::exists(pdf));
}
