// Tray mode: entering it from the main window, the icon's mouse actions and its menu.
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>

#include "../core/MainWindowFixture.h"
#include "ScriptedTray.h"
#include "info/frmAbout.h"
#include "viewing/frmTrayIcon.h"

using platform::TrayAction;
using platform::WindowState;

class TrayTest : public MainWindowTest {
  protected:
    frmVedra& startShown() {
        folder.addPicture("a.jpg", 40, 30);
        folder.addPicture("b.jpg", 40, 30);
        platform::Services services = scripted.services();
        services.tray = &tray;
        program = std::make_unique<Program>(services);
        frmVedra& main = program->frmVedra();
        main.Timer1.setEnabled(false);
        main.Show();
        return main;
    }

    testing_support::ScriptedTray tray;
};

TEST_F(TrayTest, EnteringPausesTheShowHidesTheWindowAndAddsTheIcon) {
    frmVedra& main = startShown();
    main.cmdSlideShow.click();
    ASSERT_TRUE(program->modulo1().SlideShowAttivo);

    main.mnuSysTray.click();

    EXPECT_FALSE(program->modulo1().SlideShowAttivo);
    EXPECT_FALSE(main.mnuRunSlideShow.Checked());
    EXPECT_EQ(main.cmdSlideShow.ToolTipText(), "Run Slide Show");
    EXPECT_FALSE(main.Visible());
    EXPECT_TRUE(tray.iconShown);
    EXPECT_EQ(tray.shownTip, "Vedra Viewer");
    EXPECT_EQ(tray.shownIcon.toImage().size(), QSize(32, 32));

    frmTrayIcon& trayIcon = program->frmTrayIcon();
    EXPECT_FALSE(trayIcon.Visible());
    // A single click does nothing; a double click brings the window back, still paused.
    tray.act(TrayAction::LeftButtonDown);
    tray.act(TrayAction::LeftButtonUp);
    EXPECT_FALSE(main.Visible());
    tray.act(TrayAction::LeftDoubleClick);
    EXPECT_TRUE(main.Visible());
    EXPECT_FALSE(tray.iconShown);
    EXPECT_FALSE(program->modulo1().SlideShowAttivo);
    EXPECT_FALSE(trayIcon.Visible());
}

TEST_F(TrayTest, EveryEntryShowsTheIconAgainAndOpenRestoresTheWindowState) {
    frmVedra& main = startShown();
    for (const WindowState state : {WindowState::Normal, WindowState::Maximized}) {
        SCOPED_TRACE(static_cast<int>(state));
        main.setWindowState(state);
        main.cmdSystray.click();
        EXPECT_FALSE(main.Visible());
        EXPECT_TRUE(tray.iconShown);
        program->frmTrayIcon().mnuPopUp_Click(2);
        EXPECT_TRUE(main.Visible());
        EXPECT_FALSE(tray.iconShown);
        EXPECT_EQ(main.windowState(), state);
    }
    EXPECT_EQ(tray.removes, 2);
}

TEST_F(TrayTest, RightClickOpensTheMenuWithAboutAsDefaultAndIgnoresTheIconMeanwhile) {
    frmVedra& main = startShown();
    main.cmdSystray.click();
    QStringList items;
    QString defaultItem;
    bool busy = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        defaultItem = menu->defaultAction() ? menu->defaultAction()->text() : QString();
        busy = program->frmTrayIcon().InElaborazione();
        // A double click while the menu is open is not handled.
        tray.act(TrayAction::LeftDoubleClick);
        menu->close();
    });
    tray.act(TrayAction::RightButtonUp);
    EXPECT_EQ(items, QStringList({"&About", "-", "&Open", "-", "&Exit"}));
    EXPECT_EQ(defaultItem, "&About");
    EXPECT_TRUE(busy);
    EXPECT_FALSE(main.Visible());
    EXPECT_FALSE(program->frmTrayIcon().InElaborazione());
}

TEST_F(TrayTest, AboutLeavesTrayModeAndExitRemovesTheIconAndEnds) {
    frmVedra& main = startShown();
    main.cmdSystray.click();
    program->frmTrayIcon().mnuPopUp_Click(0);
    ASSERT_TRUE(program->frmAbout.exists());
    EXPECT_TRUE(program->frmAbout().Visible());
    EXPECT_FALSE(program->frmAbout().isModalShowing());
    EXPECT_FALSE(main.Visible());
    EXPECT_TRUE(tray.iconShown);
    program->frmAbout().cmdOK.click();

    try {
        program->frmTrayIcon().mnuPopUp_Click(4);
        FAIL() << "Exit did not end the program";
    } catch (const testing_support::ProgramEnded& ended) {
        EXPECT_EQ(ended.status, 0);
    }
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
