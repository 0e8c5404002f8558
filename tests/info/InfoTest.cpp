// The About box, the Note window, the credits and the logo, as a user meets them.
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "../core/MainWindowFixture.h"
#include "ScopedEnv.h"
#include "ScriptedTray.h"
#include "info/Uovo.h"
#include "info/frmAbout.h"
#include "info/frmNote.h"
#include "platform/linux/LinuxSystemInfo.h"

using testing_support::ScopedEnv;

namespace {

// Runs `action` once the next modal window's event loop is running.
void whenModalOpens(std::function<void()> action) {
    QTimer::singleShot(0, std::move(action));
}

}  // namespace

class InfoTest : public MainWindowTest {
  protected:
    frmVedra& startInfo() {
        platform::Services services = scripted.services();
        services.systemInfo = &systemInfo;
        services.tray = &tray;
        program = std::make_unique<Program>(services);
        return program->frmVedra();
    }

    testing_support::ScriptedShell& shell = scripted.shell;
    platform::LinuxSystemInfo systemInfo;
    testing_support::ScriptedTray tray;
};

// Which system-information tool System Info starts, with fake tools on the search path.
struct SysInfoCase {
    const char* desktop;  // XDG_CURRENT_DESKTOP, or nullptr when unset
    std::vector<const char*> installed;
    const char* expected;  // nullptr: none, the message is shown
    QStringList arguments;
    const char* notExecutable = nullptr;  // a file of a tool's name that is no program
    bool starts = true;                   // false: the tool found does not start
};

TEST_F(InfoTest, SystemInfoStartsTheFirstInstalledToolOfTheRunningDesktop) {
    const std::vector<SysInfoCase> cases = {
        {"KDE", {"hardinfo", "kinfocenter"}, "kinfocenter", {}},
        {"GNOME",
         {"kinfocenter", "gnome-control-center", "hardinfo"},
         "gnome-control-center",
         {"info-overview"}},
        {"ubuntu:GNOME", {"gnome-control-center"}, "gnome-control-center", {"info-overview"}},
        {"XFCE", {"xfce4-about", "gnome-system-monitor"}, "xfce4-about", {}},
        {"MATE", {"mate-system-monitor", "kinfocenter"}, "mate-system-monitor", {}},
        // The desktop has no tool of its own installed: the first of the others serves.
        {"XFCE", {"gnome-system-monitor", "hardinfo"}, "hardinfo", {}},
        {nullptr, {"gnome-system-monitor", "kinfocenter"}, "kinfocenter", {}},
        {"KDE", {}, nullptr, {}},
        // A tool that is not a program is passed over; one that does not start is reported.
        {nullptr, {"gnome-system-monitor"}, "gnome-system-monitor", {}, "hardinfo", false},
    };
    startInfo();
    for (const SysInfoCase& c : cases) {
        SCOPED_TRACE(std::string(c.desktop ? c.desktop : "(no desktop)") + " -> " +
                     (c.expected ? c.expected : "none"));
        QTemporaryDir bin;
        for (const char* tool : c.installed) {
            QFile file(bin.filePath(tool));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/sh\n");
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        if (c.notExecutable)
            QFile(bin.filePath(c.notExecutable)).open(QIODevice::WriteOnly);
        shell.canStart = c.starts;
        ScopedEnv path("PATH", bin.path().toUtf8());
        ScopedEnv desktop("XDG_CURRENT_DESKTOP", c.desktop ? QByteArray(c.desktop) : QByteArray());
        shell.calls.clear();
        scripted.messageBox.prompts.clear();

        program->frmAbout().cmdSysInfo.click();

        if (c.expected) {
            ASSERT_EQ(shell.calls.size(), 1u);
            EXPECT_EQ(shell.calls[0].program, bin.filePath(c.expected));
            EXPECT_EQ(shell.calls[0].arguments, c.arguments);
        } else {
            EXPECT_TRUE(shell.calls.empty());
        }
        if (c.expected && c.starts) {
            EXPECT_TRUE(scripted.messageBox.prompts.empty());
        } else {
            ASSERT_EQ(scripted.messageBox.prompts.size(), 1u);
            EXPECT_EQ(scripted.messageBox.prompts[0].text, "System Info not available");
            EXPECT_EQ(scripted.messageBox.prompts[0].style, 0);
            EXPECT_EQ(scripted.messageBox.prompts[0].title, "");
        }
    }
}

TEST_F(InfoTest, AMissingKeyReadsAsEmpty) {
    startInfo();
    QString text = "left over";
    EXPECT_FALSE(program->frmAbout().GetKeyValue(HKEY_LOCAL_MACHINE, "No Such Key", "PATH", text));
    EXPECT_EQ(text, "");
}

TEST_F(InfoTest, EscAndEnterCloseTheDialogsOpenedFromTheHelpMenu) {
    frmVedra& main = startInfo();
    main.Show();
    for (const char* menu : {"mnuAbout", "mnuNote"}) {
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            SCOPED_TRACE(std::string(menu) + (key == Qt::Key_Escape ? " Esc" : " Enter"));
            bool wasOpen = false;
            bool closedByKey = false;
            whenModalOpens([&] {
                platform::Form* dialog = program->frmAbout.peek();
                if (!dialog)
                    dialog = program->frmNote.peek();
                wasOpen = dialog && dialog->Visible() && dialog->isModalShowing();
                if (!dialog)
                    return;
                dialog->window()->activateWindow();
                EXPECT_TRUE(QTest::qWaitForWindowActive(dialog->window()));
                QTest::keyClick(dialog->window(), key);
                closedByKey = !program->frmAbout.exists() && !program->frmNote.exists();
                // A key that did nothing must not leave the test waiting on the dialog.
                if (platform::Form* still = program->frmAbout.peek())
                    still->Unload();
                if (platform::Form* still = program->frmNote.peek())
                    still->Unload();
            });
            (std::string(menu) == "mnuAbout" ? main.mnuAbout : main.mnuNote).click();
            EXPECT_TRUE(wasOpen);
            EXPECT_TRUE(closedByKey);
            QCoreApplication::processEvents();
        }
    }
}

TEST_F(InfoTest, TheIconOpensTheCreditsOverTheAboutBox) {
    startInfo();
    frmAbout& about = program->frmAbout();
    about.Show();
    bool creditsModal = false;
    whenModalOpens([&] {
        Uovo* credits = program->Uovo.peek();
        creditsModal = credits && credits->isModalShowing();
        if (credits)
            credits->Command1.click();
    });
    about.picIcon.click();
    EXPECT_TRUE(creditsModal);
    EXPECT_FALSE(program->Uovo.exists());
    EXPECT_TRUE(program->frmAbout.exists());
    EXPECT_TRUE(about.Visible());
    about.cmdOK.click();
    EXPECT_FALSE(program->frmAbout.exists());
}

TEST_F(InfoTest, NoteListsItsEightyFiveLinesOnceOnEveryOpening) {
    QFile expectedFile(QStringLiteral(VEDRA_NOTE_LINES));
    ASSERT_TRUE(expectedFile.open(QIODevice::ReadOnly));
    const QByteArray expected = expectedFile.readAll();
    ASSERT_EQ(expected.count('\n'), 85);

    startInfo();
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE(opening);
        frmNote& note = program->frmNote();
        ASSERT_EQ(note.List1.ListCount(), 85);
        QByteArray shown;
        for (int i = 0; i < note.List1.ListCount(); ++i)
            shown += note.List1.List(i).toUtf8() + '\n';
        EXPECT_EQ(shown, expected);
        // The three examples: 130 x 125, 130 x 124, 130 x 124 pixels.
        EXPECT_EQ(note.Image1.Width(), 130 * 15);
        EXPECT_EQ(note.Image1.Height(), 125 * 15);
        EXPECT_EQ(note.Image2.Height(), 124 * 15);
        EXPECT_EQ(note.Image3.Height(), 124 * 15);
        note.cmdOK.click();
        EXPECT_FALSE(program->frmNote.exists());
        QCoreApplication::processEvents();
    }
}

TEST_F(InfoTest, CreditsStartAtTheTopAtSpeedFiveInBlackAndLoop) {
    startInfo();
    Uovo& credits = program->Uovo();
    credits.Timer1.setEnabled(false);
    credits.Form_Activate();
    EXPECT_EQ(credits.Caption(), "Titles");
    EXPECT_EQ(credits.Display.Caption(), "5");
    EXPECT_EQ(credits.HScroll1.Value(), 10);
    EXPECT_EQ(credits.Check1.Value(), 0);
    EXPECT_EQ(credits.PosizioneTitoli(), 380);
    EXPECT_EQ(credits.Bianco.picture().toImage().size(), QSize(200, 250));
    EXPECT_EQ(credits.Nero.picture().toImage().size(), QSize(200, 200));

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

    // The check box and the speed take effect at the next tick.
    credits.Check1.setValue(1);
    credits.HScroll1.setValue(11);
    credits.Timer1.tick();
    EXPECT_EQ(credits.Titoli.picture().toImage(), credits.Bianco.picture().toImage());
    EXPECT_EQ(credits.Check1.ForeColor(), 0xFFFFFFu);
    EXPECT_EQ(credits.Display.Caption(), "5.5");
    EXPECT_EQ(credits.PassoTitoli(), -11);
    EXPECT_EQ(credits.Titoli.Top(), 359);

    // A new activation starts over.
    credits.Form_Activate();
    EXPECT_EQ(credits.HScroll1.Value(), 10);
    EXPECT_EQ(credits.Display.Caption(), "5");
    EXPECT_EQ(credits.PosizioneTitoli(), 380);
}

TEST_F(InfoTest, TheLogoAlternatesBetweenItsTwoPictures) {
    frmVedra& main = startInfo();
    const QImage first = main.imgLogo1.picture().toImage();
    const QImage second = main.imgLogo2.picture().toImage();
    ASSERT_NE(first, second);
    EXPECT_EQ(main.imgLogo.picture().toImage(), first);
    main.imgLogo.click();
    EXPECT_EQ(main.imgLogo.picture().toImage(), second);
    EXPECT_TRUE(program->modulo1().LogoAlternato);
    main.imgLogo.click();
    EXPECT_EQ(main.imgLogo.picture().toImage(), first);
    EXPECT_FALSE(program->modulo1().LogoAlternato);
}
