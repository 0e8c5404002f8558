#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "platform/Twips.h"

#include "MainWindowFixture.h"
#include "platform/JpegDecoder.h"

class LoadingTest : public MainWindowTest {
  protected:
    frmVedra& startListing() {
        frmVedra& w = start();
        w.TipoImmagine.setListIndex(0);
        return w;
    }
    static int indexOf(frmVedra& w, const QString& name) {
        for (int i = 0; i < w.File1.ListCount(); ++i)
            if (w.File1.List(i) == name)
                return i;
        return -1;
    }
};

TEST_F(LoadingTest, InformationLineDescribesLengthSizeAndDate) {
    const QString path = folder.addPicture("photo.jpg", 200, 100);
    frmVedra& w = startListing();
    w.File1.setListIndex(0);
    const QString length = QString::number(QFileInfo(path).size());
    const QString line = w.lblDisplay.Caption();
    EXPECT_TRUE(line.startsWith(" " + length + " byte  W200 x H100  Date: ")) << line.toStdString();
    EXPECT_GT(line.size(), QString(" " + length + " byte  W200 x H100  Date: ").size());
    EXPECT_EQ(w.Caption(), "Vedra Viewer - " + path);
    EXPECT_EQ(program->modulo1().PercorsoFile, path);
    EXPECT_EQ(program->modulo1().NomeFile, "photo.jpg");
    EXPECT_EQ(program->modulo1().CartellaImmagine, folder.path());
    EXPECT_EQ(program->modulo1().LarghezzaOriginale, 3000);
    EXPECT_EQ(program->modulo1().AltezzaOriginale, 1500);
    EXPECT_FALSE(w.ImmagineBitmap());
}

TEST_F(LoadingTest, BitmapFlagFollowsTheTextAfterTheFirstDot) {
    folder.addPicture("PHOTO.BMP.JPG", 10, 10);
    folder.addPicture("plain.bmp", 10, 10);
    frmVedra& w = startListing();
    w.File1.setListIndex(indexOf(w, "PHOTO.BMP.JPG"));
    EXPECT_FALSE(w.ImmagineBitmap());
    w.File1.setListIndex(indexOf(w, "plain.bmp"));
    EXPECT_TRUE(w.ImmagineBitmap());
    EXPECT_EQ(w.PercorsoBitmap(), folder.file("plain.bmp"));
}

TEST_F(LoadingTest, AFileDeletedAfterListingIsPassedOverSilently) {
    folder.addPicture("a.jpg", 30, 20);
    const QString doomed = folder.addPicture("b.jpg", 40, 20);
    frmVedra& w = startListing();
    w.File1.setListIndex(0);
    const QString caption = w.Caption();
    const QString line = w.lblDisplay.Caption();
    const platform::Picture shown = w.Image1.picture();
    QFile::remove(doomed);
    w.File1.setListIndex(1);
    EXPECT_TRUE(scripted.messageBox.prompts.empty());
    EXPECT_TRUE(w.Image1.picture().sameAs(shown));
    EXPECT_EQ(w.Caption(), caption);
    EXPECT_EQ(w.lblDisplay.Caption(), line);
    EXPECT_TRUE(w.Image1.Visible());
}

TEST_F(LoadingTest, ANonPictureWithAPictureExtensionBlanksTheAreaSilently) {
    folder.addPicture("a.jpg", 30, 20);
    folder.addBytes("b.jpg", "this is plain text, not a picture");
    folder.addPicture("c.jpg", 30, 20, Qt::blue, "png");  // a PNG in disguise
    frmVedra& w = startListing();
    w.File1.setListIndex(0);
    w.File1.setListIndex(1);
    EXPECT_TRUE(w.Image1.picture().isEmpty());
    w.File1.setListIndex(0);
    w.File1.setListIndex(2);
    EXPECT_TRUE(w.Image1.picture().isEmpty());
    EXPECT_TRUE(scripted.messageBox.prompts.empty());
}

TEST_F(LoadingTest, ResizeToWindowReportsTheAreaSizeNotThePictureSize) {
    folder.addPicture("a.jpg", 800, 600);
    folder.addPicture("b.gif", 17, 33);
    frmVedra& w = startListing();
    w.Dimensioni.setListIndex(2);
    w.File1.setListIndex(0);
    EXPECT_TRUE(w.lblDisplay.Caption().contains("  W365 x H349  Date: "))
        << w.lblDisplay.Caption().toStdString();
    w.File1.setListIndex(1);
    EXPECT_TRUE(w.lblDisplay.Caption().contains("  W365 x H349  Date: "));
}

TEST_F(LoadingTest, EveryDamagedTestPictureShowsOrBlanksWithoutAMessage) {
    frmVedra& w = start();
    w.TipoImmagine.setListIndex(0);
    int loaded = 0;
    for (const char* sub : {"jpg/pillow", "gif/pillow", "bmp/pillow", "ico/pillow",
                            "emf/libemf2svg-corrupted", "wmf/libwmf"}) {
        w.Dir1.setPath(testing_support::testdataPath(sub));
        for (int i = 0; i < w.File1.ListCount(); ++i) {
            w.File1.setListIndex(i);
            // Paint at the shown size, which is when deferred decoding happens.
            w.Picture1.widget()->grab();
            ++loaded;
        }
    }
    EXPECT_GT(loaded, 40);
    EXPECT_TRUE(scripted.messageBox.prompts.empty());
}

TEST_F(LoadingTest, ACommandLinePictureIsShownWithItsInformationLine) {
    const QString path = folder.addPicture("cat.JPG", 120, 80);
    frmVedra& w = start(path);
    const QString length = QString::number(QFileInfo(path).size());
    EXPECT_TRUE(w.lblDisplay.Caption().startsWith(" " + length + " byte  W120 x H80  Date: "));
    EXPECT_EQ(w.lblContatore.Caption(), "");
    EXPECT_EQ(program->modulo1().LarghezzaOriginale, 1800);
    EXPECT_DOUBLE_EQ(w.Image1.Left(), platform::roundHalfEven((5535 - 1800) / 2.0));
}

TEST_F(LoadingTest, MetafilesOpenLikeAnyPictureAtTheirNaturalSize) {
    QFile::copy(testing_support::testdataPath("emf/libemf2svg/EA-test-file-101.emf"),
                folder.file("chart.EMF"));
    QFile::copy(testing_support::testdataPath("wmf/pillow/drawing.wmf"), folder.file("draw.wmf"));
    frmVedra& w = startListing();
    w.File1.setListIndex(indexOf(w, "chart.EMF"));
    const QSize natural = w.Image1.picture().sizePixels();
    EXPECT_EQ(w.Image1.picture().kind(), platform::Picture::Kind::Metafile);
    EXPECT_NEAR(natural.width(), 481, 2);
    EXPECT_NEAR(natural.height(), 360, 2);
    // The line shows the control's size in twips over 15, cut to whole pixels.
    const QSizeF twips = w.Image1.picture().sizeTwips();
    EXPECT_TRUE(w.lblDisplay.Caption().contains(
        QString("W%1 x H%2").arg(int(twips.width() / 15)).arg(int(twips.height() / 15))))
        << w.lblDisplay.Caption().toStdString();

    // Drawn as vectors at whatever size the mode asks for.
    w.Dimensioni.setListIndex(2);
    const QImage shown = w.Picture1.widget()->grab().toImage();
    EXPECT_FALSE(shown.isNull());
    w.File1.setListIndex(indexOf(w, "draw.wmf"));
    EXPECT_EQ(w.Image1.picture().kind(), platform::Picture::Kind::Metafile);
    EXPECT_TRUE(scripted.messageBox.prompts.empty());
}

// In every size mode a JPEG costs one decode, load and paint together, and broken data,
// wherever it is, blanks the area at load and keeps the description of the last picture.
TEST_F(LoadingTest, AJpegIsDecodedOnceAndBrokenDataBlanksTheAreaInEveryMode) {
    folder.addPicture("a.jpg", 300, 200);
    folder.addUndecodableJpeg("b.jpg", 1600, 1200);
    folder.addPicture("c.jpg", 1600, 1200);
    folder.addJpegBrokenAtTheEnd("d.jpg", 1600, 1200, true);
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
            } else {
                EXPECT_TRUE(w.lblDisplay.Caption().contains(mode != 0    ? "W365"
                                                            : entry == 0 ? "W300 x H200"
                                                                         : "W1600 x H1200"))
                    << w.lblDisplay.Caption().toStdString();
            }
            EXPECT_EQ(w.lblContatore.Caption(), QString("%1/5").arg(broken ? entry : entry + 1));
            caption = w.Caption();
            line = w.lblDisplay.Caption();
        }
        EXPECT_TRUE(scripted.messageBox.prompts.empty());
    }
}

TEST_F(LoadingTest, TheLongestInformationLineFitsTheLabelInBothWindowStates) {
    frmVedra& w = start();
    program->start();
    const QStringList lines = frmVedra::longestInformationLines();
    ASSERT_FALSE(lines.isEmpty());
    for (platform::WindowState state :
         {platform::WindowState::Normal, platform::WindowState::Maximized}) {
        w.setWindowState(state);
        w.Form_Resize();
        const int room = w.lblDisplay.widget()->width();
        for (const QString& line : lines)
            EXPECT_LE(w.lblDisplay.textWidthPixels(line), room) << line.toStdString();
        // What a real file gives fits too, and the label stays one line high.
        w.lblDisplay.setCaption(lines.first());
        EXPECT_LE(w.lblDisplay.widget()->sizeHint().height(), w.lblDisplay.widget()->height());
    }
    EXPECT_GE(w.lblDisplay.widget()->font().pointSizeF(), 6.0);
}
