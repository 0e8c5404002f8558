// The About box, the Note window, the credits and the logo, as a user meets them.
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QTest>
#include <QTimer>

#include "../core/MainWindowFixture.h"
#include "FakePrograms.h"
#include "info/Uovo.h"
#include "info/frmAbout.h"
#include "info/frmNote.h"

using testing_support::ScopedEnv;

class InfoTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        withTray = true;
    }
    testing_support::ScriptedShell& shell = scripted.shell;
};

// Which system-information tool System Info starts, with fake tools on the search path: the
// first installed one of the running desktop, else the first of the others. A tool that is
// no program is passed over; one that does not start, or none, is reported.
TEST_F(InfoTest, SystemInfoStartsTheFirstInstalledToolOfTheRunningDesktop) {
    struct Case {
        const char* desktop;  // XDG_CURRENT_DESKTOP, or nullptr when unset
        std::vector<const char*> installed;
        const char* expected;  // nullptr: none, the message is shown
        QStringList arguments;
        const char* notExecutable = nullptr;
        bool starts = true;
    };
    const std::vector<Case> cases = {
        {"KDE", {"hardinfo", "kinfocenter"}, "kinfocenter", {}},
        {"ubuntu:GNOME",
         {"kinfocenter", "gnome-control-center", "hardinfo"},
         "gnome-control-center",
         {"info-overview"}},
        {"XFCE", {"gnome-system-monitor", "hardinfo"}, "hardinfo", {}},
        {nullptr, {"gnome-system-monitor", "kinfocenter"}, "kinfocenter", {}},
        {"KDE", {}, nullptr, {}},
        {nullptr, {"gnome-system-monitor"}, "gnome-system-monitor", {}, "hardinfo", false},
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.desktop ? c.desktop : "-") + " -> " +
                     (c.expected ? c.expected : "none"));
        testing_support::FakePrograms bin;
        for (const char* tool : c.installed)
            bin.add(tool);
        if (c.notExecutable)
            QFile(bin.folder() + "/" + c.notExecutable).open(QIODevice::WriteOnly);
        shell.canStart = c.starts;
        ScopedEnv desktop("XDG_CURRENT_DESKTOP", c.desktop ? QByteArray(c.desktop) : QByteArray());
        shell.calls.clear();
        scripted.messageBox.prompts.clear();

        program->frmAbout().cmdSysInfo.click();

        ASSERT_EQ(shell.calls.size(), c.expected ? 1u : 0u);
        if (c.expected) {
            EXPECT_EQ(shell.calls[0].program, bin.folder() + "/" + c.expected);
            EXPECT_EQ(shell.calls[0].arguments, c.arguments);
        }
        EXPECT_EQ(
            prompts(),
            (c.expected && c.starts ? Prompts{} : Prompts{{"System Info not available", 0, ""}}));
    }
}

// About's icon opens the credits, modal over it.
TEST_F(InfoTest, TheHelpMenusDialogsOpenModalAndCloseByKey) {
    frmVedra& main = start();
    main.Show();
    for (platform::MenuItem* menu : {&main.mnuAbout, &main.mnuNote}) {
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            SCOPED_TRACE(menu->name().toStdString() + (key == Qt::Key_Escape ? " Esc" : " Enter"));
            bool wasOpen = false, closedByKey = false;
            QTimer::singleShot(0, [&] {
                platform::Form* dialog = program->frmAbout.peek();
                if (!dialog)
                    dialog = program->frmNote.peek();
                wasOpen = dialog && dialog->Visible() && dialog->isModalShowing();
                if (!dialog)
                    return;
                if (frmAbout* about = program->frmAbout.peek(); about && key == Qt::Key_Return) {
                    EXPECT_EQ(about->lblDescription.Caption(), "Picture Viewer for Linux");
                    QTimer::singleShot(0, [&] {
                        Uovo* credits = program->Uovo.peek();
                        EXPECT_TRUE(credits && credits->isModalShowing());
                        if (credits)
                            credits->Command1.click();
                    });
                    about->picIcon.click();
                    EXPECT_FALSE(program->Uovo.exists());
                }
                dialog->window()->activateWindow();
                EXPECT_TRUE(QTest::qWaitForWindowActive(dialog->window()));
                QTest::keyClick(dialog->window(), key);
                closedByKey = !program->frmAbout.exists() && !program->frmNote.exists();
                if (!closedByKey)  // the test must not wait on the dialog
                    dialog->Unload();
            });
            menu->click();
            EXPECT_TRUE(wasOpen);
            EXPECT_TRUE(closedByKey);
            QCoreApplication::processEvents();
        }
    }
}

TEST_F(InfoTest, NoteListsItsEightyFiveLinesOnceOnEveryOpening) {
    QFile expectedFile(QStringLiteral(VEDRA_NOTE_LINES));
    ASSERT_TRUE(expectedFile.open(QIODevice::ReadOnly));
    const QByteArray expected = expectedFile.readAll();
    ASSERT_EQ(expected.count('\n'), 85);
    start();
    for (int opening = 0; opening < 2; ++opening) {  // listed once on every opening
        frmNote& note = program->frmNote();
        EXPECT_EQ((itemsOf(note.List1).join('\n') + '\n').toUtf8(), expected) << opening;
        note.cmdOK.click();
        EXPECT_FALSE(program->frmNote.exists());
        QCoreApplication::processEvents();
    }
}

// The credits start at the top at speed five in black, scroll ten twips a tick and loop;
// the colour and the speed take effect at the next tick; a new activation starts over.
TEST_F(InfoTest, CreditsStartAtTheTopAtSpeedFiveInBlackAndLoop) {
    start();
    Uovo& credits = program->Uovo();
    credits.Timer1.setEnabled(false);
    credits.Form_Activate();
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(credits.Display.Caption(), "5");
        EXPECT_EQ(credits.HScroll1.Value(), 10);
        EXPECT_EQ(credits.Check1.Value(), 0);
        EXPECT_EQ(credits.PosizioneTitoli(), 380);
        credits.Timer1.tick();
        EXPECT_EQ(credits.Titoli.Top(), 370);
        EXPECT_EQ(credits.Titoli.picture().toImage(), credits.Nero.picture().toImage());
        EXPECT_EQ(credits.Check1.ForeColor(), 0x000000u);
        // 380 - 10 * 229 = -1910 is the first position below -1900; the next tick restarts.
        for (int i = 1; i < 229; ++i)
            credits.Timer1.tick();
        EXPECT_EQ(credits.Titoli.Top(), -1910);
        credits.Timer1.tick();
        EXPECT_EQ(credits.Titoli.Top(), 370);
        credits.Check1.setValue(1);
        credits.HScroll1.setValue(11);
        credits.Timer1.tick();
        EXPECT_EQ(credits.Titoli.picture().toImage(), credits.Bianco.picture().toImage());
        EXPECT_EQ(credits.Check1.ForeColor(), 0xFFFFFFu);
        EXPECT_EQ(credits.Display.Caption(), "5.5");
        EXPECT_EQ(credits.Titoli.Top(), 359);
        credits.Form_Activate();  // starts over, in the colour last chosen
        credits.Check1.setValue(0);
    }
}

TEST_F(InfoTest, TheLogoAlternatesBetweenItsTwoPictures) {
    frmVedra& main = start();
    const QImage first = main.imgLogo1.picture().toImage();
    const QImage second = main.imgLogo2.picture().toImage();
    ASSERT_NE(first, second);
    for (int click = 0; click < 4; ++click) {
        EXPECT_EQ(main.imgLogo.picture().toImage(), click % 2 ? second : first) << click;
        main.imgLogo.click();
    }
}
