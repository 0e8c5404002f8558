#include <QFile>
#include <QUrl>
#include <utility>
#include <vector>

#include "DesktopFixture.h"

namespace {

QByteArray emfBytes() {
    QFile file(testing_support::testdataPath("emf/libemf2svg/test-030.emf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

// A paste shows the picture with only its size, and it is no file of the list.
TEST_F(DesktopTest, PastedPicturesShowTheirSizeAndNoFile) {
    struct Case {
        const char* mime;
        QByteArray bytes;
        QString expectedLine;
        QSize expectedSize;
    };
    const Case cases[] = {
        {"image/png", encoded(filled(100, 50, Qt::red), "PNG"), "W100 x H50", {100, 50}},
        {"image/bmp", encoded(filled(30, 20, Qt::blue), "BMP"), "W30 x H20", {30, 20}},
    };
    folder.addPicture("a.jpg", 40, 30);
    frmVedra& w = start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mime);
        select(w, "a.jpg");
        auto* data = new QMimeData;
        data->setData(c.mime, c.bytes);
        QGuiApplication::clipboard()->setMimeData(data);
        w.mnuPaste_Click();
        EXPECT_EQ(w.lblDisplay.Caption(), c.expectedLine);
        EXPECT_EQ(w.Caption(), "Vedra Viewer");
        EXPECT_EQ(w.lblContatore.Caption(), "");
        EXPECT_TRUE(w.ImmagineIncollata());
        EXPECT_FALSE(w.ImmagineBitmap());
        EXPECT_EQ(w.Image1.picture().sizePixels(), c.expectedSize);
    }
}

TEST_F(DesktopTest, AMetafileOnTheClipboardIsDrawnByTheMetafileEngine) {
    const QByteArray emf = emfBytes();
    ASSERT_FALSE(emf.isEmpty());
    frmVedra& w = start();
    auto* data = new QMimeData;
    data->setData("image/x-emf", emf);
    QGuiApplication::clipboard()->setMimeData(data);
    w.cmdPaste_Click();
    EXPECT_EQ(w.Image1.picture().kind(), platform::Picture::Kind::Metafile);
    EXPECT_TRUE(w.lblDisplay.Caption().startsWith("W")) << w.lblDisplay.Caption().toStdString();
    EXPECT_EQ(w.Caption(), "Vedra Viewer");
}

// With no picture to paste, the selected entry is shown again; with none selected the
// window is left as it was.
TEST_F(DesktopTest, APasteWithoutPictureShowsTheSelectedEntryAgain) {
    folder.addPicture("a.jpg", 40, 30);
    const QString path = folder.file("a.jpg");
    for (bool textOnly : {false, true}) {
        SCOPED_TRACE(textOnly ? "text on the clipboard" : "empty clipboard");
        frmVedra& w = start();
        QGuiApplication::clipboard()->clear();
        if (textOnly)
            QGuiApplication::clipboard()->setText("just words");
        w.mnuPaste_Click();
        EXPECT_EQ(w.Caption(), "Vedra Viewer");
        EXPECT_EQ(w.lblDisplay.Caption(), "");

        select(w, "a.jpg");
        w.lblDisplay.setCaption("stale");
        w.mnuPaste_Click();
        EXPECT_EQ(w.Caption(), "Vedra Viewer - " + path);
        EXPECT_TRUE(w.lblDisplay.Caption().contains("W40 x H30"));
        EXPECT_EQ(w.lblContatore.Caption(), "1/1");
        EXPECT_FALSE(w.ImmagineIncollata());
    }
}

TEST_F(DesktopTest, CopyAndPasteBackKeepsThePictureAndAnIconLeavesTheClipboardEmpty) {
    folder.addPicture("wide.bmp", 100, 50);
    folder.addPicture("small.ico", 32, 32);
    frmVedra& w = start();
    select(w, "wide.bmp");
    w.mnuCopy_Click();
    ASSERT_TRUE(QGuiApplication::clipboard()->mimeData()->hasImage());
    w.cmdPaste_Click();
    EXPECT_EQ(w.lblDisplay.Caption(), "W100 x H50");

    select(w, "small.ico");
    w.cmdCopy_Click();
    const QMimeData* after = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(!after || (!after->hasImage() && after->formats().isEmpty()));
}

// Drops arrive through the viewing area's controls; of the formats offered the last one in
// the order bitmap, metafile, enhanced metafile, device-independent bitmap is shown. Data
// that offers no picture, or announces one it cannot deliver, keeps the picture shown,
// which is then presented as a dropped one. Nothing is ever reported.
TEST_F(DesktopTest, ADropShowsTheLastOfferedFormatOrKeepsThePictureShown) {
    folder.addPicture("a.jpg", 40, 30);
    const QString dropped = folder.addPicture("dropped photo.gif", 60, 45);
    const QString textFile = folder.addBytes("notes.txt", "words");
    const QByteArray green = encoded(filled(70, 35, Qt::green), "PNG");
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, QByteArray>> formats;
        QString file;  // offered as a URL
        QString line;  // empty: the dropped file's own description
        bool keepsPicture;
    };
    const Case cases[] = {
        {"png only", {{"image/png", green}}, {}, "W70 x H35", false},
        {"png and bmp: the device-independent bitmap wins",
         {{"image/png", encoded(filled(10, 10, Qt::green), "PNG")},
          {"image/bmp", encoded(filled(70, 35, Qt::blue), "BMP")}},
         {},
         "W70 x H35",
         false},
        {"a file of a picture type", {}, dropped, "", false},
        {"text", {{"text/plain", "just words"}}, {}, "W40 x H30", true},
        {"a bitmap that is not one",
         {{"image/bmp", "BM not really a bitmap"}},
         {},
         "W40 x H30",
         true},
        {"a file of another type", {}, textFile, "W40 x H30", true},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        frmVedra& w = start();
        select(w, "a.jpg");
        const platform::Picture before = w.Image1.picture();
        QMimeData data;
        for (const auto& [format, bytes] : c.formats)
            data.setData(format, bytes);
        if (!c.file.isEmpty())
            data.setUrls({QUrl::fromLocalFile(c.file)});
        dropOnto(i % 2 ? w.Image1.widget() : w.Picture1.widget(), data);
        EXPECT_EQ(w.Caption(), "Vedra Viewer");
        EXPECT_EQ(w.lblContatore.Caption(), "");
        EXPECT_TRUE(w.ImmagineIncollata());
        EXPECT_EQ(w.Image1.picture().sameAs(before), c.keepsPicture);
        if (!c.line.isEmpty()) {
            EXPECT_EQ(w.lblDisplay.Caption(), c.line);
        } else {
            // A dropped file is described as a file named on the command line.
            const QString line = w.lblDisplay.Caption();
            EXPECT_TRUE(line.startsWith(" " + QString::number(QFileInfo(dropped).size()) +
                                        " byte  W60 x H45  Date: "))
                << line.toStdString();
            EXPECT_TRUE(w.RigaComando().isEmpty());
        }
    }
    EXPECT_TRUE(scripted.messageBox.prompts.empty());
}

TEST_F(DesktopTest, ADropOntoTheMinimisedWindowMaximisesItFirst) {
    frmVedra& w = start();
    w.Show();
    w.setWindowState(platform::WindowState::Minimized);
    QMimeData data;
    data.setData("image/png", encoded(filled(64, 48, Qt::red), "PNG"));
    dropOnto(w.Picture1.widget(), data);
    EXPECT_EQ(w.windowState(), platform::WindowState::Maximized);
    EXPECT_EQ(w.lblDisplay.Caption(), "W64 x H48");
    EXPECT_TRUE(w.Image1.Visible());
}
