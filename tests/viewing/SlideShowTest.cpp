// The slide show as the user runs it from the main window: its indicators, its steps and
// the pause after each step.
#include <QClipboard>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>

#include "ViewingFixture.h"
#include "platform/JpegDecoder.h"
#include "platform/PicturePrefetcher.h"

namespace {
constexpr unsigned long Lit = 0x80C0FF;
constexpr unsigned long Unlit = 0x80FF80;
}  // namespace

TEST_F(ViewingTest, EveryIndicatorFollowsTheRunStateSpeedAndDirection) {
    frmVedra& w = start({"a.jpg"});
    const Modulo1& m = program->modulo1();
    w.File1.setListIndex(0);
    const platform::Picture shown = w.Image1.picture();
    auto expectRunning = [&](bool running) {
        EXPECT_EQ(m.SlideShowAttivo, running);
        EXPECT_EQ(w.mnuRunSlideShow.Checked(), running);
        EXPECT_TRUE(w.cmdSlideShow.picture().sameAs(
            (running ? w.imgSlideShowGiu : w.imgSlideShowSu).picture()));
        EXPECT_EQ(w.cmdSlideShow.ToolTipText(), running ? "Pause Slide Show" : "Run Slide Show");
    };
    w.cmdSlideShow.click();
    expectRunning(true);
    w.mnuRunSlideShow.click();
    expectRunning(false);
    w.mnuRunSlideShow.click();
    expectRunning(true);
    // Neither starting nor pausing changes the picture.
    EXPECT_TRUE(w.Image1.picture().sameAs(shown));

    // Speed: the menu's check mark, the bars lit up to the choice, the pause.
    const std::vector<std::pair<platform::MenuItem*, int>> speeds = {
        {w.mnuSpeedSS[0].get(), 0}, {w.mnuSpeedSS[2].get(), 2}, {w.mnuSpeedSS[1].get(), 1}};
    for (auto [item, choice] : speeds) {
        item->click();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(w.mnuSpeedSS[i]->Checked(), i == choice);
        EXPECT_EQ(w.imgSpeed2.BackColor(), choice >= 1 ? Lit : Unlit);
        EXPECT_EQ(w.imgSpeed3.BackColor(), choice == 2 ? Lit : Unlit);
        EXPECT_EQ(m.VelocitaSlideShow, 3 - choice);
    }
    w.imgSpeed3.click();
    EXPECT_TRUE(w.mnuSpeedSS[2]->Checked());
    EXPECT_EQ(m.VelocitaSlideShow, 1);
    w.imgSpeed1.click();
    EXPECT_EQ(w.imgSpeed1.BackColor(), Lit);
    EXPECT_EQ(w.imgSpeed2.BackColor(), Unlit);
    EXPECT_EQ(m.VelocitaSlideShow, 3);
    EXPECT_TRUE(m.SlideShowAttivo);

    // Direction: the button twice restores everything; Down chosen again changes nothing.
    auto expectDown = [&](bool down) {
        EXPECT_EQ(w.VersoSlideShow(), down ? 1 : -1);
        EXPECT_EQ(w.mnuFreccia[0]->Checked(), !down);
        EXPECT_EQ(w.mnuFreccia[1]->Checked(), down);
        EXPECT_TRUE(
            w.cmdFreccia.picture().sameAs((down ? w.imgFrecciaGiu : w.imgFrecciaSu).picture()));
    };
    w.cmdFreccia.click();
    expectDown(false);
    w.cmdFreccia.click();
    expectDown(true);
    w.mnuFreccia[1]->click();
    expectDown(true);
}

TEST_F(ViewingTest, TheFirstStepReshowsTheSelectionAndTheNextEntryComesOnePauseLater) {
    frmVedra& w = start({"a.jpg", "b.gif", "c.bmp"});
    w.File1.setListIndex(2);
    w.cmdSlideShow.click();
    EXPECT_EQ(shownFile(), "c.bmp");
    QStringList shown;
    std::vector<qint64> at;
    for (int i = 0; i < 4; ++i) {
        at.push_back(clock.monotonicMs);
        w.Timer1.tick();
        shown << shownFile();
    }
    // Down from the last entry wraps to the first.
    EXPECT_EQ(shown, QStringList({"c.bmp", "a.jpg", "b.gif", "c.bmp"}));
    EXPECT_EQ(at, std::vector<qint64>({0, 2000, 4000, 6000}));
    EXPECT_EQ(w.lblContatore.Caption(), "3/3");

    // Up from the first entry wraps to the last.
    w.cmdFreccia.click();
    for (const char* expected : {"a.jpg", "c.bmp", "b.gif", "a.jpg"}) {
        w.Timer1.tick();
        EXPECT_EQ(shownFile(), expected);
    }
}

TEST_F(ViewingTest, OneEntryIsReshownAndNoSelectionStartsAtTheFirst) {
    frmVedra& w = start({"a.jpg"});
    w.cmdSlideShow.click();
    for (int menu : {0, 1}) {
        w.mnuFreccia_Click(menu);
        w.Timer1.tick();
        EXPECT_EQ(shownFile(), "a.jpg");
        EXPECT_EQ(program->modulo1().IndiceFile, 0);
    }
    folder.addPicture("b.jpg", 40, 30);
    folder.addPicture("c.jpg", 40, 30);
    w.File1.Refresh();
    ASSERT_EQ(w.File1.ListIndex(), -1);
    w.mnuFreccia_Click(0);
    w.Timer1.tick();
    EXPECT_EQ(shownFile(), "a.jpg");
    w.Timer1.tick();
    EXPECT_EQ(shownFile(), "c.jpg");
}

TEST_F(ViewingTest, APastedPictureIsReplacedByTheFirstStep) {
    frmVedra& w = start({"a.jpg", "b.jpg"});
    w.File1.setListIndex(1);
    QGuiApplication::clipboard()->setImage(QImage(64, 48, QImage::Format_RGB32));
    w.Pasteggia();
    ASSERT_TRUE(w.ImmagineIncollata());
    ASSERT_EQ(w.Caption(), "Vedra Viewer");
    w.cmdSlideShow.click();
    w.Timer1.tick();
    EXPECT_FALSE(w.ImmagineIncollata());
    EXPECT_EQ(shownFile(), "b.jpg");
}

TEST_F(ViewingTest, ThePauseRereadsTheSpeedAndRunsUserEventsUntilItsEnd) {
    frmVedra& w = start({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
    w.File1.setListIndex(0);
    w.cmdSlideShow.click();
    w.imgSpeed1.click();
    // Undisturbed, a pause is one sleep, not a polling loop.
    w.Timer1.tick();
    EXPECT_EQ(clock.waits, std::vector<int>({3000}));

    // High chosen 400 ms into a Slow pause ends it one second after it began; chosen
    // after that second, it ends the pause at once.
    clock.at(3400, [&] { w.imgSpeed3.click(); });
    w.Timer1.tick();
    EXPECT_EQ(clock.monotonicMs, 4000);
    w.imgSpeed1.click();
    clock.at(5500, [&] { w.mnuSpeedSS[2]->click(); });
    w.Timer1.tick();
    EXPECT_EQ(clock.monotonicMs, 5500);
    EXPECT_EQ(shownFile(), "c.jpg");

    // An entry the user selects during the pause is where the show goes on; a timer event
    // meanwhile starts no second step.
    clock.at(5600, [&] { w.File1.setListIndex(0); });
    clock.at(5700, [&] { w.Timer1.tick(); });
    w.Timer1.tick();
    EXPECT_EQ(shownFile(), "a.jpg");
    w.Timer1.tick();
    EXPECT_EQ(shownFile(), "a.jpg");

    // Paused during the pause: the pause runs to its end and no step follows.
    clock.at(8000, [&] { w.cmdSlideShow.click(); });
    w.Timer1.tick();
    const qint64 ended = clock.monotonicMs;
    w.Timer1.tick();
    EXPECT_EQ(shownFile(), "b.jpg");
    EXPECT_EQ(ended, 8500);
    EXPECT_EQ(clock.monotonicMs, ended);
}

TEST_F(ViewingTest, APauseLastsItsLengthAcrossMidnight) {
    frmVedra& w = start({"a.jpg"});
    w.cmdSlideShow.click();
    clock.secondsSinceMidnight = 86399.5;
    w.Timer1.tick();
    EXPECT_EQ(clock.monotonicMs, 2000);
    EXPECT_NEAR(clock.secondsSinceMidnight, 1.5, 1e-6);
}

TEST_F(ViewingTest, TheTwoWindowsPausesNest) {
    frmVedra& w = start({"a.jpg", "b.jpg"});
    frmFS& fs = openFullScreenAt(0);
    w.cmdSlideShow.click();
    // A full-screen refresh 500 ms into the main pause holds it until its own two
    // seconds are over.
    qint64 fullScreenPauseEnded = -1;
    clock.at(500, [&] {
        fs.Timer1.tick();
        fullScreenPauseEnded = clock.monotonicMs;
    });
    w.Timer1.tick();
    EXPECT_EQ(fullScreenPauseEnded, 2500);
    EXPECT_EQ(clock.monotonicMs, 2500);
    // And the other way round.
    clock.at(2700, [&] { w.Timer1.tick(); });
    fs.Timer1.tick();
    EXPECT_EQ(shownFile(), "b.jpg");
    EXPECT_EQ(clock.monotonicMs, 4700);
}

TEST_F(ViewingTest, EveryStepDecodesItsPictureOnceWhicheverWindowsShowIt) {
    // Big enough that every view shows them scaled down or cropped.
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
        folder.addPicture(name, 1600, 1200, Qt::darkCyan);
    frmVedra& w = start();
    w.imgSpeed3_Click();
    enum class FullScreen { No, ByClick, ByMode };
    struct Arrangement {
        int sizeMode;
        FullScreen fullScreen;
    };
    for (const Arrangement a :
         {Arrangement{0, FullScreen::No}, Arrangement{1, FullScreen::No},
          Arrangement{2, FullScreen::No}, Arrangement{1, FullScreen::ByClick},
          Arrangement{2, FullScreen::ByClick}, Arrangement{3, FullScreen::ByMode},
          Arrangement{4, FullScreen::ByMode}}) {
        SCOPED_TRACE(testing::Message()
                     << "size mode " << a.sizeMode << ", full screen " << int(a.fullScreen));
        // In a full-screen mode the first step selects the first entry and opens the window.
        if (a.fullScreen == FullScreen::ByMode)
            w.File1.setListIndex(-1);
        w.Dimensioni.setListIndex(a.sizeMode);
        if (a.fullScreen == FullScreen::ByClick)
            openFullScreenAt(0);
        else if (a.fullScreen == FullScreen::No)
            w.File1.setListIndex(0);
        w.cmdSlideShow.click();
        // Draws what each open window shows, as the screen would (the main window is covered
        // by a full-screen window its mode opened), and lets the reading ahead finish.
        auto showAndReadAhead = [&] {
            if (frmFS* fs = fullScreen()) {
                fs->Timer1.tick();  // the full-screen window takes the new picture
                fs->Image1.widget()->grab();
            }
            if (a.fullScreen != FullScreen::ByMode)
                w.Picture1.widget()->grab();  // the frame clips the picture
            while (program->prefetcher.busy())
                QThread::msleep(5);
        };
        w.Timer1.tick();
        showAndReadAhead();
        for (int step = 0; step < 3; ++step) {
            const quint64 before = platform::jpegDecodeCount();
            w.Timer1.tick();
            showAndReadAhead();
            EXPECT_EQ(platform::jpegDecodeCount() - before, 1u) << "step " << step;
        }
        w.cmdSlideShow.click();
        if (frmFS* fs = fullScreen())
            fs->Unload();
        QCoreApplication::processEvents();
    }
}
