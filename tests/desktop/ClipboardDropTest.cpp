#include <QFile>
#include <QUrl>
#include <utility>
#include <vector>

#include "DesktopFixture.h"

// A metafile is drawn by the metafile engine. With nothing selected, a paste without a
// picture leaves the window as it was.
TEST_F(DesktopTest, APasteShowsThePictureWithItsSizeOrTheSelectedEntryAgain) {
    QFile emf(testing_support::testdataPath("emf/libemf2svg/test-030.emf"));
    ASSERT_TRUE(emf.open(QIODevice::ReadOnly));
    struct Case {
        const char* mime;  // null: an empty clipboard
        QByteArray bytes;
        QSize size;  // empty: a metafile, or no picture
    };
    const Case cases[] = {
        {"text/plain", "just words", {}},
        {nullptr, {}, {}},
        {"image/png", encoded(filled(100, 50, Qt::red), "PNG"), {100, 50}},
        {"image/bmp", encoded(filled(30, 20, Qt::blue), "BMP"), {30, 20}},
        {"image/x-emf", emf.readAll(), {}},
    };
    folder.addPicture("a.jpg", 40, 30);
    frmVedra& w = start();
    QGuiApplication::clipboard()->setText("just words");
    w.mnuPaste_Click();
    EXPECT_EQ(w.Caption(), "Vedra Viewer");
    EXPECT_EQ(w.lblDisplay.Caption(), "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mime ? c.mime : "empty");
        select(w, "a.jpg");
        w.lblDisplay.setCaption("stale");
        auto* data = new QMimeData;
        if (c.mime)
            data->setData(c.mime, c.bytes);
        QGuiApplication::clipboard()->setMimeData(data);
        if (!c.mime || QByteArray(c.mime).startsWith("text/")) {
            w.cmdPaste_Click();
            EXPECT_EQ(w.Caption(), "Vedra Viewer - " + folder.file("a.jpg"));
            EXPECT_TRUE(w.lblDisplay.Caption().contains("W40 x H30"));
            EXPECT_EQ(w.lblContatore.Caption(), "1/1");
            EXPECT_FALSE(w.ImmagineIncollata());
            continue;
        }
        w.mnuPaste_Click();
        if (c.size.isEmpty()) {
            EXPECT_EQ(w.Image1.picture().kind(), platform::Picture::Kind::Metafile);
        } else {
            EXPECT_EQ(w.Image1.picture().sizePixels(), c.size);
            EXPECT_EQ(w.lblDisplay.Caption(),
                      QString("W%1 x H%2").arg(c.size.width()).arg(c.size.height()));
        }
        EXPECT_TRUE(w.lblDisplay.Caption().startsWith("W"));
        EXPECT_EQ(w.Caption(), "Vedra Viewer");
        EXPECT_EQ(w.lblContatore.Caption(), "");
        EXPECT_TRUE(w.ImmagineIncollata());
    }
}

TEST_F(DesktopTest, CopyPutsRastersAndRenderedMetafilesOnTheClipboardButNoIcons) {
    folder.addPicture("wide.bmp", 100, 50);
    folder.addPicture("small.ico", 32, 32);
    folder.addCopy("d.wmf", "wmf/pillow/drawing.wmf");
    frmVedra& w = start();
    const QSize metafile = platform::LoadPicture(folder.file("d.wmf")).sizePixels();
    for (const auto& [name, copied] :
         {std::pair{"wide.bmp", QSize(100, 50)}, {"d.wmf", metafile}, {"small.ico", QSize()}}) {
        SCOPED_TRACE(name);
        QGuiApplication::clipboard()->setText("before");
        select(w, name);
        w.cmdCopy_Click();
        const QMimeData* after = QGuiApplication::clipboard()->mimeData();
        if (copied.isEmpty()) {
            EXPECT_TRUE(!after || (!after->hasImage() && after->formats().isEmpty()));
            continue;
        }
        EXPECT_EQ(QGuiApplication::clipboard()->image().size(), copied);
        EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
        w.mnuPaste_Click();
        EXPECT_EQ(w.Image1.picture().sizePixels(), copied);
    }
}

// Drops arrive through the viewing area's controls, even onto the minimised window, which
// is then maximised; of the formats offered the last one in the order bitmap, metafile,
// enhanced metafile, device-independent bitmap is shown. Data that offers no picture, or
// announces one it cannot deliver, keeps the picture shown, which is then presented as a
// dropped one. Nothing is ever reported.
TEST_F(DesktopTest, ADropShowsTheLastOfferedFormatOrKeepsThePictureShown) {
    folder.addPicture("a.jpg", 40, 30);
    const QString dropped = folder.addCopy("dropped photo.gif", "gif/pillow/transparent.gif");
    const QString kept = "W40 x H30";
    struct Case {
        std::vector<std::pair<const char*, QByteArray>> formats;
        QString file;  // offered as a URL
        QString line;  // empty: the dropped file's own description
    };
    const Case cases[] = {
        {{{"image/png", encoded(filled(70, 35, Qt::green), "PNG")}}, {}, "W70 x H35"},
        {{{"image/png", encoded(filled(10, 10, Qt::green), "PNG")},
          {"image/bmp", encoded(filled(70, 35, Qt::blue), "BMP")}},
         {},
         "W70 x H35"},
        {{}, dropped, ""},
        {{{"text/plain", "just words"}}, {}, kept},
        {{{"image/bmp", "BM not really a bitmap"}}, {}, kept},
        {{}, folder.addBytes("notes.txt", "words"), kept},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        frmVedra& w = start();
        select(w, "a.jpg");
        if (i == 0) {
            w.Show();
            w.setWindowState(platform::WindowState::Minimized);
        }
        const platform::Picture before = w.Image1.picture();
        QMimeData data;
        for (const auto& [format, bytes] : c.formats)
            data.setData(format, bytes);
        if (!c.file.isEmpty())
            data.setUrls({QUrl::fromLocalFile(c.file)});
        dropOnto(i % 2 ? w.Image1.widget() : w.Picture1.widget(), data);
        if (i == 0) {
            EXPECT_EQ(w.windowState(), platform::WindowState::Maximized);
        }
        EXPECT_EQ(w.Caption(), "Vedra Viewer");
        EXPECT_EQ(w.lblContatore.Caption(), "");
        EXPECT_TRUE(w.ImmagineIncollata());
        EXPECT_TRUE(w.Image1.Visible());
        EXPECT_EQ(w.Image1.picture().sameAs(before), c.line == kept);
        if (!c.line.isEmpty()) {
            EXPECT_EQ(w.lblDisplay.Caption(), c.line);
        } else {
            // A dropped file is described as a file named on the command line.
            const QString line = w.lblDisplay.Caption();
            EXPECT_TRUE(line.startsWith(" " + QString::number(QFileInfo(dropped).size()) +
                                        " byte  W200 x H150  Date: "))
                << line.toStdString();
            EXPECT_TRUE(w.RigaComando().isEmpty());
        }
    }
    EXPECT_EQ(prompts(), Prompts{});
}
