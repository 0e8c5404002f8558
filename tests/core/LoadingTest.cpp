#include <QFile>
#include <QWidget>

#include "MainWindowFixture.h"
#include "platform/JpegDecoder.h"

using LoadingTest = MainWindowTest;

// A file deleted after listing is passed over, keeping what was shown; a file that is no
// picture of its type blanks the area. Neither says anything.
TEST_F(LoadingTest, AVanishedOrFalseFileIsPassedOverSilently) {
    folder.addPicture("a.jpg", 30, 20);
    const QString doomed = folder.addPicture("b.jpg", 40, 20);
    folder.addBytes("c.jpg", "this is plain text, not a picture");
    folder.addPicture("d.jpg", 30, 20, Qt::blue, "png");  // a PNG in disguise
    frmVedra& w = startListing();
    QFile::remove(doomed);
    for (int entry : {1, 2, 3}) {
        SCOPED_TRACE(entry);
        w.File1.setListIndex(0);
        const QString caption = w.Caption(), line = w.lblDisplay.Caption();
        const platform::Picture shown = w.Image1.picture();
        w.File1.setListIndex(entry);
        if (entry == 1) {
            EXPECT_TRUE(w.Image1.picture().sameAs(shown));
            EXPECT_EQ(w.Caption(), caption);
            EXPECT_EQ(w.lblDisplay.Caption(), line);
            EXPECT_TRUE(w.Image1.Visible());
        } else {
            EXPECT_TRUE(w.Image1.picture().isEmpty());
        }
    }
    EXPECT_EQ(prompts(), Prompts{});
}

TEST_F(LoadingTest, EveryDamagedTestPictureShowsOrBlanksWithoutAMessage) {
    frmVedra& w = startListing();
    int loaded = 0;
    for (const char* sub : {"jpg/pillow", "gif/pillow", "bmp/pillow", "ico/pillow",
                            "emf/libemf2svg-corrupted", "wmf/libwmf"}) {
        w.Dir1.setPath(testing_support::testdataPath(sub));
        for (int i = 0; i < w.File1.ListCount(); ++i, ++loaded) {
            w.File1.setListIndex(i);
            w.Picture1.widget()->grab();  // deferred decoding happens at paint
        }
    }
    EXPECT_GT(loaded, 40);
    w.Dir1.setPath(QStringLiteral(VEDRA_SAMPLES));  // what a first run opens on: all show
    EXPECT_EQ(w.File1.ListCount(), 7);
    for (int i = 0; i < w.File1.ListCount(); ++i) {
        w.File1.setListIndex(i);
        w.Picture1.widget()->grab();
        EXPECT_FALSE(w.Image1.picture().isEmpty()) << w.File1.FileName().toStdString();
    }
    EXPECT_EQ(prompts(), Prompts{});
}

// The line shows the control's size in twips over 15, cut to whole pixels.
TEST_F(LoadingTest, AMetafileOpensAtItsNaturalSize) {
    folder.addCopy("chart.EMF", "emf/libemf2svg/EA-test-file-101.emf");
    frmVedra& w = startListing();
    w.File1.setListIndex(0);
    EXPECT_EQ(w.Image1.picture().kind(), platform::Picture::Kind::Metafile);
    EXPECT_NEAR(w.Image1.picture().sizePixels().width(), 481, 2);
    EXPECT_NEAR(w.Image1.picture().sizePixels().height(), 360, 2);
    const QSizeF twips = w.Image1.picture().sizeTwips();
    EXPECT_TRUE(w.lblDisplay.Caption().contains(
        QString("W%1 x H%2").arg(int(twips.width() / 15)).arg(int(twips.height() / 15))))
        << w.lblDisplay.Caption().toStdString();
}

// In every size mode a JPEG costs one decode, load and paint together, and broken data,
// wherever it is, blanks the area at load and keeps the description of the last picture.
TEST_F(LoadingTest, AJpegIsDecodedOnceAndBrokenDataBlanksTheAreaInEveryMode) {
    folder.addPicture("a.jpg", 300, 200);
    folder.addCopy("b.jpg", "hostile/jpg/scan-names-undefined-huffman-tables.jpg");
    folder.addPicture("c.jpg", 1600, 1200);
    folder.addCopy("d.jpg", "hostile/jpg/second-frame-header-after-progressive-data.jpg");
    folder.addProgressiveJpeg("e.jpg", 1600, 1200);
    for (int mode = 0; mode <= 2; ++mode) {
        SCOPED_TRACE(mode);
        frmVedra& w = startListing();
        w.Dimensioni.setListIndex(mode);
        QString caption, line;
        for (int entry = 0; entry < 5; ++entry) {
            SCOPED_TRACE(entry);
            const bool broken = entry == 1 || entry == 3;
            const quint64 before = platform::jpegDecodeCount();
            w.File1.setListIndex(entry);
            w.Picture1.widget()->grab();  // painted as the screen would
            EXPECT_EQ(platform::jpegDecodeCount() - before, 1u);
            EXPECT_EQ(w.Image1.picture().isEmpty(), broken);
            if (broken) {
                EXPECT_EQ(w.Caption(), caption);
                EXPECT_EQ(w.lblDisplay.Caption(), line);
            } else if (mode == 0 && entry == 0) {
                const QString path = folder.file("a.jpg");
                EXPECT_TRUE(w.lblDisplay.Caption().startsWith(
                    " " + QString::number(QFileInfo(path).size()) + " byte  W300 x H200  Date: "))
                    << w.lblDisplay.Caption().toStdString();
                EXPECT_EQ(w.Caption(), "Vedra Viewer - " + path);
            } else {
                // The resizing modes report the area's size, not the picture's.
                EXPECT_TRUE(
                    w.lblDisplay.Caption().contains(mode != 0 ? "  W365 x H" : "  W1600 x H1200  "))
                    << w.lblDisplay.Caption().toStdString();
            }
            EXPECT_EQ(w.lblContatore.Caption(), QString("%1/5").arg(broken ? entry : entry + 1));
            caption = w.Caption();
            line = w.lblDisplay.Caption();
        }
        EXPECT_EQ(prompts(), Prompts{});
    }
}

TEST_F(LoadingTest, TheLongestInformationLineFitsTheLabelInBothWindowStates) {
    frmVedra& w = start({}, true);
    const QStringList lines = frmVedra::longestInformationLines();
    ASSERT_FALSE(lines.isEmpty());
    for (platform::WindowState state :
         {platform::WindowState::Normal, platform::WindowState::Maximized}) {
        w.setWindowState(state);
        w.Form_Resize();
        for (const QString& line : lines)
            EXPECT_LE(w.lblDisplay.textWidthPixels(line), w.lblDisplay.widget()->width())
                << line.toStdString();
        w.lblDisplay.setCaption(lines.first());
        EXPECT_LE(w.lblDisplay.widget()->sizeHint().height(), w.lblDisplay.widget()->height());
    }
    EXPECT_GE(w.lblDisplay.widget()->font().pointSizeF(), 6.0);
}
