// The slide show as the user runs it from the main window: its indicators, its steps and
// the pause after each step.
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QThread>
#include <QWidget>
#include <functional>

#include "ViewingFixture.h"
#include "platform/JpegDecoder.h"
#include "platform/PicturePrefetcher.h"

constexpr unsigned long Lit = 0x80C0FF;
constexpr unsigned long Unlit = 0x80FF80;

TEST_F(ViewingTest, EveryIndicatorFollowsTheRunStateSpeedAndDirection) {
    frmVedra& w = start({"a.jpg"});
    const Modulo1& m = program->modulo1();
    w.File1.setListIndex(0);
    const platform::Picture shown = w.Image1.picture();
    for (bool viaMenu : {false, true, true}) {
        const bool running = !m.SlideShowAttivo;
        (viaMenu ? w.mnuRunSlideShow.click() : w.cmdSlideShow.click());
        EXPECT_EQ(m.SlideShowAttivo, running);
        EXPECT_EQ(w.mnuRunSlideShow.Checked(), running);
        EXPECT_TRUE(w.cmdSlideShow.picture().sameAs(
            (running ? w.imgSlideShowGiu : w.imgSlideShowSu).picture()));
        EXPECT_EQ(w.cmdSlideShow.ToolTipText(), running ? "Pause Slide Show" : "Run Slide Show");
    }
    EXPECT_TRUE(w.Image1.picture().sameAs(shown));  // neither starting nor pausing changes it

    // Speed, from the menu, a click on a bar or the space bar on one.
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    const std::vector<std::pair<std::function<void()>, int>> speeds = {
        {[&] { w.mnuSpeedSS[0]->click(); }, 0},
        {[&] { w.mnuSpeedSS[2]->click(); }, 2},
        {[&] { w.mnuSpeedSS[1]->click(); }, 1},
        {[&] { w.imgSpeed1.click(); }, 0},
        {[&] { QCoreApplication::sendEvent(w.imgSpeed3.inner(), &space); }, 2}};
    for (const auto& [choose, choice] : speeds) {
        choose();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(w.mnuSpeedSS[i]->Checked(), i == choice);
        EXPECT_EQ(w.imgSpeed1.BackColor(), Lit);
        EXPECT_EQ(w.imgSpeed2.BackColor(), choice >= 1 ? Lit : Unlit);
        EXPECT_EQ(w.imgSpeed3.BackColor(), choice == 2 ? Lit : Unlit);
        EXPECT_EQ(m.VelocitaSlideShow, 3 - choice);
    }
    EXPECT_TRUE(m.SlideShowAttivo);

    // Direction: the button twice restores everything; Down chosen again changes nothing.
    for (const auto& [item, down] : {std::pair{&w.cmdFreccia, false}, {&w.cmdFreccia, true}}) {
        item->click();
        EXPECT_EQ(w.VersoSlideShow(), down ? 1 : -1);
        EXPECT_EQ(w.mnuFreccia[0]->Checked(), !down);
        EXPECT_EQ(w.mnuFreccia[1]->Checked(), down);
        EXPECT_TRUE(
            w.cmdFreccia.picture().sameAs((down ? w.imgFrecciaGiu : w.imgFrecciaSu).picture()));
    }
    w.mnuFreccia[1]->click();
    EXPECT_EQ(w.VersoSlideShow(), 1);
}

// The first step shows the selection again (or the first entry when none is selected, or
// the selection in place of a pasted picture); each next one comes one pause later and
// wraps at the ends.
TEST_F(ViewingTest, TheFirstStepReshowsTheSelectionAndTheNextEntryComesOnePauseLater) {
    frmVedra& w = start({"a.jpg", "b.ico", "c.bmp"});
    w.File1.setListIndex(2);
    QGuiApplication::clipboard()->setImage(QImage(64, 48, QImage::Format_RGB32));
    w.Pasteggia();
    ASSERT_TRUE(w.ImmagineIncollata());
    w.cmdSlideShow.click();
    QStringList shown;
    std::vector<qint64> at;
    for (int i = 0; i < 4; ++i) {
        at.push_back(clock.monotonicMs);
        w.Timer1.tick();
        shown << shownFile();
    }
    EXPECT_FALSE(w.ImmagineIncollata());
    EXPECT_EQ(shown, QStringList({"c.bmp", "a.jpg", "b.ico", "c.bmp"}));
    EXPECT_EQ(at, std::vector<qint64>({0, 2000, 4000, 6000}));
    EXPECT_EQ(w.lblContatore.Caption(), "3/3");

    w.cmdFreccia.click();
    for (const char* expected : {"a.jpg", "c.bmp", "b.ico", "a.jpg"}) {
        w.Timer1.tick();
        EXPECT_EQ(shownFile(), expected);
    }
    w.File1.setListIndex(-1);
    w.Timer1.tick();
    EXPECT_EQ(shownFile(), "a.jpg");
    w.Timer1.tick();
    EXPECT_EQ(shownFile(), "c.bmp");
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

TEST_F(ViewingTest, ASingleEntryStepsOntoItselfAndAPauseSpansMidnight) {
    frmVedra& w = start({"a.jpg"});
    w.cmdSlideShow.click();
    clock.secondsSinceMidnight = 86399.5;
    for (int menu : {0, 1}) {
        w.mnuFreccia_Click(menu);
        w.Timer1.tick();
        EXPECT_EQ(shownFile(), "a.jpg");
        EXPECT_EQ(program->modulo1().IndiceFile, 0);
    }
    EXPECT_EQ(clock.monotonicMs, 4000);
    EXPECT_NEAR(clock.secondsSinceMidnight, 3.5, 1e-6);
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
    enum FullScreen { No, ByClick, ByMode };
    const std::pair<int, FullScreen> arrangements[] = {
        {0, No}, {1, No}, {2, No}, {1, ByClick}, {2, ByClick}, {3, ByMode}, {4, ByMode}};
    for (const auto& [sizeMode, opened] : arrangements) {
        SCOPED_TRACE(testing::Message() << "size mode " << sizeMode << ", full screen " << opened);
        // In a full-screen mode the first step selects the first entry and opens the window.
        if (opened == ByMode)
            w.File1.setListIndex(-1);
        w.Dimensioni.setListIndex(sizeMode);
        if (opened == ByClick)
            openFullScreenAt(0);
        else if (opened == No)
            w.File1.setListIndex(0);
        w.cmdSlideShow.click();
        // Draws every window as the screen would, the main window under a full-screen one
        // included, and lets the reading ahead finish.
        auto showAndReadAhead = [&] {
            if (frmFS* fs = fullScreen()) {
                fs->Timer1.tick();  // the full-screen window takes the new picture
                fs->Image1.widget()->grab();
            }
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
