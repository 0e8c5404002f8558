// The full-screen window: how it fits the picture, its keys, mouse and menu, and the
// requests to open it while it is open.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

#include "ViewingFixture.h"

static void pressKey(frmFS& fs, Qt::Key key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(fs.window(), &event);
}

static void click(QWidget* target, Qt::MouseButton button) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const QPointF at(5, 5);
        QMouseEvent event(type, at, target->mapToGlobal(at), button,
                          type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
}

// Chooses `choice` in the next popup menu, as the user would, and returns its items.
static QStringList choosePopupItem(QWidget* target, const QString& choice) {
    QStringList items;
    onPopup([&] { click(target, Qt::RightButton); },
            [&](QMenu& menu) {
                QAction* chosen = nullptr;
                for (QAction* action : menu.actions()) {
                    items << (action->isSeparator() ? QStringLiteral("-") : action->text());
                    if (action->text() == choice)
                        chosen = action;
                }
                menu.close();
                if (chosen)
                    chosen->trigger();
            });
    return items;
}

// Left, top, width and height of the picture, to a thousandth of a twip.
static std::vector<double> placement(const frmFS& fs) {
    std::vector<double> p{fs.Image1.Left(), fs.Image1.Top(), fs.Image1.Width(), fs.Image1.Height()};
    for (double& v : p)
        v = std::round(v * 1000) / 1000;
    return p;
}

// Keeping the aspect fits by the picture's own orientation, centred with halves rounded to
// even: a wide picture takes the screen's width even when it then overflows its height.
// "Full Screen" stretches to the screen, modal over the main window.
TEST_F(ViewingTest, TheWindowIsBorderlessBlackAndPlacesThePictureByItsMode) {
    folder.addPicture("square.bmp", 50, 50);
    folder.addPicture("upright.bmp", 333, 1000);
    folder.addPicture("wide.bmp", 500, 450);
    frmVedra& w = start();
    const std::vector<double> expected[] = {
        {1500, 0, 9000, 9000}, {4502, 0, 2997, 9000}, {0, -900, 12000, 10800}};
    for (int entry = 0; entry < 3; ++entry) {
        frmFS& fs = openFullScreenAt(entry);
        EXPECT_EQ(placement(fs), expected[entry]) << entry;
        EXPECT_TRUE(fs.Visible());
        EXPECT_EQ(fs.Caption(), "");
        EXPECT_EQ(fs.windowState(), platform::WindowState::Maximized);
        EXPECT_TRUE(fs.window()->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(fs.window()->palette().color(QPalette::Window), QColor(Qt::black));
        EXPECT_FALSE(fs.isModalShowing());
        fs.Unload();
    }
    // The modal window runs its own event loop; it is looked at from inside, then closed.
    std::vector<double> seen;
    QWidget* owner = nullptr;
    QTimer::singleShot(0, [&] {
        frmFS* modal = fullScreen();
        ASSERT_TRUE(modal && modal->isModalShowing());
        seen = placement(*modal);
        owner = modal->window()->parentWidget();
        modal->Form_Click();
    });
    w.Dimensioni.setListIndex(4);
    EXPECT_EQ(owner, w.window());
    EXPECT_EQ(seen, (std::vector<double>{0, 0, 12000, 9000}));
    EXPECT_FALSE(program->frmFS.exists());
}

TEST_F(ViewingTest, KeysWalkTheMainListAndStopAtItsEnds) {
    frmVedra& w = start({"a.jpg", "b.jpg", "c.jpg"});
    frmFS& fs = openFullScreenAt(1);
    const std::pair<Qt::Key, const char*> steps[] = {
        {Qt::Key_Down, "c.jpg"}, {Qt::Key_Down, "c.jpg"}, {Qt::Key_Home, "a.jpg"},
        {Qt::Key_Up, "a.jpg"},   {Qt::Key_End, "c.jpg"},  {Qt::Key_Right, "c.jpg"},
    };
    for (const auto& [key, expected] : steps) {
        pressKey(fs, key);
        EXPECT_EQ(shownFile(), expected);
        EXPECT_TRUE(fs.Image1.picture().sameAs(w.Image1.picture())) << expected;
    }
    w.File1.setListIndex(-1);
    pressKey(fs, Qt::Key_Up);
    EXPECT_EQ(w.File1.ListIndex(), 0);
    // The timer refreshes only while the show runs, and a click ends its pause.
    const platform::Picture first = fs.Image1.picture();
    w.File1.setListIndex(1);
    fs.Timer1.tick();
    EXPECT_TRUE(fs.Image1.picture().sameAs(first));
    w.cmdSlideShow.click();
    clock.at(300, [&] { click(fs.Image1.widget(), Qt::LeftButton); });
    fs.Timer1.tick();
    EXPECT_EQ(clock.monotonicMs, 300);
    EXPECT_FALSE(program->frmFS.exists());
}

// The middle button clicks nothing in either window; in the full-screen one the right
// button opens the menu and the left one closes the window.
TEST_F(ViewingTest, EachMouseButtonActsInEitherWindow) {
    frmVedra& w = start({"a.jpg"});
    w.File1.setListIndex(0);
    // In the main window neither the picture nor the frame around it opens the full screen.
    for (QWidget* target : {w.Image1.widget(), w.Picture1.widget()}) {
        click(target, Qt::MiddleButton);
        EXPECT_FALSE(program->frmFS.exists());
    }
    click(w.Image1.widget(), Qt::LeftButton);
    ASSERT_TRUE(program->frmFS.exists());
    frmFS& fs = *fullScreen();
    for (QWidget* target : {fs.Image1.widget(), fs.clientArea()}) {
        click(target, Qt::MiddleButton);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(choosePopupItem(target, "C&ancel"),
                  QStringList({"&Run Slide Show", "-", "&Copy To ClipBoard", "-", "C&ancel"}));
        EXPECT_TRUE(program->frmFS.exists() && fs.Visible());
    }
    click(fs.Image1.widget(), Qt::LeftButton);
    EXPECT_FALSE(program->frmFS.exists());
    w.Image1_Click();
    click(fullScreen()->clientArea(), Qt::LeftButton);
    EXPECT_FALSE(program->frmFS.exists());
}

TEST_F(ViewingTest, RunSlideShowInThePopupMenuSwitchesBothWindows) {
    frmVedra& w = start({"a.jpg"});
    frmFS& fs = openFullScreenAt(0);
    choosePopupItem(fs.clientArea(), "&Run Slide Show");
    EXPECT_TRUE(program->modulo1().SlideShowAttivo);
    EXPECT_TRUE(fs.mnuRunSlideShow.Checked());
    EXPECT_TRUE(w.mnuRunSlideShow.Checked());
    EXPECT_EQ(w.cmdSlideShow.ToolTipText(), "Pause Slide Show");

    w.cmdSlideShow.click();
    EXPECT_FALSE(fs.mnuRunSlideShow.Checked());
}

TEST_F(ViewingTest, OpeningItAgainRefreshesTheOpenWindowInBothModes) {
    frmVedra& w = start({"a.jpg", "b.jpg", "c.jpg"});
    frmFS& fs = openFullScreenAt(0);
    w.Dimensioni.setListIndex(3);  // every load now asks for the window
    w.File1.setListIndex(1);
    w.Form_Resize();
    EXPECT_EQ(program->frmFS.peek(), &fs);
    EXPECT_TRUE(fs.Image1.picture().sameAs(w.Image1.picture()));
    fs.Unload();

    // Modal: slide-show steps and keys load pictures inside the modal window's loop.
    w.cmdSlideShow.click();
    QStringList seen;
    QTimer::singleShot(0, [&] {
        frmFS* modal = fullScreen();
        for (int i = 0; i < 3; ++i) {
            w.Timer1.tick();
            seen << shownFile();
            EXPECT_TRUE(modal->Image1.picture().sameAs(w.Image1.picture()));
        }
        pressKey(*modal, Qt::Key_Home);
        seen << shownFile();
        EXPECT_EQ(program->frmFS.peek(), modal);
        modal->Form_Click();
    });
    w.Dimensioni.setListIndex(4);
    EXPECT_EQ(seen, QStringList({"b.jpg", "c.jpg", "a.jpg", "a.jpg"}));
    EXPECT_EQ(prompts(), Prompts{});
}

TEST_F(ViewingTest, DrawsThePictureItselfAtScreenSizeNotTheMainWindowsSmallCopy) {
    // A one-pixel checkerboard the size of the screen turns grey if scaled down and up.
    QImage checker(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    ASSERT_TRUE(checker.save(folder.file("checker.bmp")));
    frmVedra& w = start();
    w.Dimensioni.setListIndex(1);
    frmFS& fs = openFullScreenAt(0);
    const QImage shown = fs.Image1.widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(800, 600));
    int sharpEdges = 0;
    for (int x = 100; x < 200; ++x)
        sharpEdges += std::abs(qGray(shown.pixel(x, 300)) - qGray(shown.pixel(x + 1, 300))) > 200;
    EXPECT_EQ(sharpEdges, 100);
    EXPECT_LT(w.Image1.Width(), 6000);  // the main window shows it small
}
