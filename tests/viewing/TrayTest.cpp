// Tray mode: entering it from the main window, the icon's mouse actions and its menu.
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>

#include "ViewingFixture.h"
#include "info/frmAbout.h"
#include "viewing/frmTrayIcon.h"

using platform::TrayAction;
using platform::WindowState;

class TrayTest : public ViewingTest {
  protected:
    frmVedra& startShown() {
        withTray = true;
        frmVedra& main = start({"a.jpg", "b.jpg"});
        main.Show();
        return main;
    }
};

// From either window state: entering pauses the show, hides the window and adds the icon;
// a single click does nothing; a double click or Open brings the window back as it was,
// still paused.
TEST_F(TrayTest, EnteringPausesTheShowAndTheIconBringsTheWindowBack) {
    frmVedra& main = startShown();
    for (const WindowState state : {WindowState::Normal, WindowState::Maximized}) {
        SCOPED_TRACE(static_cast<int>(state));
        main.setWindowState(state);
        main.cmdSlideShow.click();
        ASSERT_TRUE(program->modulo1().SlideShowAttivo);
        if (state == WindowState::Normal)
            main.mnuSysTray.click();
        else
            main.cmdSystray.click();
        EXPECT_FALSE(program->modulo1().SlideShowAttivo);
        EXPECT_FALSE(main.mnuRunSlideShow.Checked());
        EXPECT_FALSE(main.Visible());
        EXPECT_TRUE(tray.iconShown);
        EXPECT_EQ(tray.shownTip, "Vedra Viewer");
        EXPECT_EQ(tray.shownIcon.toImage().size(), QSize(32, 32));
        EXPECT_FALSE(program->frmTrayIcon().Visible());
        tray.act(TrayAction::LeftButtonDown);
        tray.act(TrayAction::LeftButtonUp);
        EXPECT_FALSE(main.Visible());
        if (state == WindowState::Normal)
            tray.act(TrayAction::LeftDoubleClick);
        else
            program->frmTrayIcon().mnuPopUp_Click(2);
        EXPECT_TRUE(main.Visible());
        EXPECT_FALSE(tray.iconShown);
        EXPECT_EQ(main.windowState(), state);
        EXPECT_FALSE(program->modulo1().SlideShowAttivo);
    }
    EXPECT_EQ(tray.removes, 2);
}

// A right click opens the menu with About as its default and the icon is ignored meanwhile;
// About leaves tray mode as it is; Exit removes the icon and ends the program.
TEST_F(TrayTest, TheIconsMenuOffersAboutOpenAndExit) {
    frmVedra& main = startShown();
    main.cmdSystray.click();
    QStringList items;
    bool busy = false;
    onPopup([&] { tray.act(TrayAction::RightButtonUp); },
            [&](QMenu& menu) {
                for (QAction* action : menu.actions())
                    items << (action->isSeparator() ? QStringLiteral("-") : action->text());
                items << (menu.defaultAction() ? menu.defaultAction()->text() : QString());
                busy = program->frmTrayIcon().InElaborazione();
                tray.act(TrayAction::LeftDoubleClick);  // not handled while the menu is open
                menu.close();
            });
    EXPECT_EQ(items, QStringList({"&About", "-", "&Open", "-", "&Exit", "&About"}));
    EXPECT_TRUE(busy);
    EXPECT_FALSE(main.Visible());
    EXPECT_FALSE(program->frmTrayIcon().InElaborazione());

    program->frmTrayIcon().mnuPopUp_Click(0);
    ASSERT_TRUE(program->frmAbout.exists());
    EXPECT_TRUE(program->frmAbout().Visible());
    EXPECT_FALSE(program->frmAbout().isModalShowing());
    EXPECT_FALSE(main.Visible());
    EXPECT_TRUE(tray.iconShown);
    program->frmAbout().cmdOK.click();
    program->frmTrayIcon().mnuPopUp_Click(2);  // Open
    EXPECT_TRUE(main.Visible());
    EXPECT_FALSE(tray.iconShown);
    main.cmdSystray.click();
    int status = -1;
    try {
        program->frmTrayIcon().mnuPopUp_Click(4);
    } catch (const testing_support::ProgramEnded& ended) {
        status = ended.status;
    }
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(tray.iconShown);
}

TEST_F(TrayTest, WithoutATrayTheWindowIsMinimisedNotHidden) {
    tray.available = false;
    frmVedra& main = startShown();
    main.setWindowState(WindowState::Maximized);
    main.cmdSlideShow.click();
    main.cmdSystray.click();
    EXPECT_FALSE(program->modulo1().SlideShowAttivo);
    EXPECT_EQ(main.windowState(), WindowState::Minimized);
    EXPECT_EQ(tray.adds, 0);
    EXPECT_FALSE(program->frmTrayIcon.exists());
    EXPECT_TRUE(main.window()->windowState() & Qt::WindowMaximized);
}
