#include <QFile>

#include "MainWindowFixture.h"
#include "app/ProgramAssembly.h"
#include "platform/HandlerGuard.h"
#include "platform/RuntimeError.h"
#include "platform/services/MessageBoxService.h"

using testing_support::ProgramEnded;

TEST_F(MainWindowTest, StartsWithTheDesignedStateAndNoCommandLine) {
    folder.addPicture("a.jpg", 40, 30);
    folder.addPicture("b.gif", 40, 30);
    frmVedra& w = start();
    const Modulo1& m = program->modulo1();

    EXPECT_FALSE(m.SlideShowAttivo);
    EXPECT_EQ(m.VelocitaSlideShow, 2);
    EXPECT_FALSE(m.LogoAlternato);
    EXPECT_EQ(w.VersoSlideShow(), 1);
    EXPECT_FALSE(w.ImmagineIncollata());
    EXPECT_EQ(w.ModoDimensioni(), 0);
    EXPECT_TRUE(w.RigaComando().isEmpty());
    EXPECT_EQ(w.Caption(), "Vedra Viewer");
    EXPECT_EQ(w.lblDisplay.Caption(), "");
    EXPECT_EQ(w.lblContatore.Caption(), "");
    EXPECT_TRUE(w.Image1.picture().isEmpty());
    EXPECT_EQ(w.File1.Path(), folder.path());
    EXPECT_EQ(w.Dir1.Path(), folder.path());
    EXPECT_TRUE(scripted.messageBox.prompts.empty());
    // The filter box shows its first item with no entry selected, so the file list has no
    // pattern and shows every ordinary file; the size box starts on Original Size.
    EXPECT_EQ(w.TipoImmagine.ListIndex(), -1);
    EXPECT_EQ(w.TipoImmagine.Text(), "All Picture Files");
    EXPECT_EQ(w.File1.Pattern(), "");
    EXPECT_EQ(w.NumeroFile(), 2);
    EXPECT_EQ(w.Dimensioni.ListIndex(), 0);
    // Choosing a checked item leaves it checked (the start marks are read off the real
    // menu bar end to end).
    ASSERT_TRUE(w.mnuFreccia[1]->Checked());
    w.mnuFreccia[1]->click();
    EXPECT_TRUE(w.mnuFreccia[1]->Checked());
}

TEST_F(MainWindowTest, ShowsTheWindowWithItsDesignedClientArea) {
    frmVedra& w = start();
    program->start();
    EXPECT_TRUE(w.Visible());
    EXPECT_DOUBLE_EQ(w.ScaleWidth(), 8490);
    EXPECT_DOUBLE_EQ(w.ScaleHeight(), 6075);
    EXPECT_FALSE(w.imgFrecciaSu.Visible());
    EXPECT_FALSE(w.imgFrecciaSu.picture().isEmpty());
    EXPECT_TRUE(w.imgLogo.picture().sameAs(w.imgLogo1.picture()));
    // The decoration lines: both top-edge lines on the window's first row of pixels.
    struct Expected {
        const platform::Line* line;
        double left, top, width;
    };
    for (const Expected& e : {Expected{&w.Line1_0, 0, 0, 13000}, Expected{&w.Line1_1, 0, 0, 13000},
                              Expected{&w.Line1_2, 0, 480, 2520}}) {
        EXPECT_DOUBLE_EQ(e.line->Left(), e.left) << e.line->name().toStdString();
        EXPECT_DOUBLE_EQ(e.line->Top(), e.top) << e.line->name().toStdString();
        EXPECT_DOUBLE_EQ(e.line->Width(), e.width) << e.line->name().toStdString();
    }
}

// A picture named on the command line is shown at once (or, when missing, nothing is);
// anything else is refused with one message and the program ends with status 2.
TEST_F(MainWindowTest, TheCommandLineTakesOnlyAPictureName) {
    const QString cat = folder.addPicture("CAT.jpg", 200, 100);
    struct Case {
        QString line;
        bool accepted;
        QSize shown;  // empty: nothing shown
    };
    for (const Case& c : {Case{cat, true, {200, 100}}, Case{folder.file("missing.GIF"), true, {}},
                          Case{"/home/MY.PICS/CAT.JPG", false, {}}, Case{"notes", false, {}},
                          Case{"\"/tmp/cat.jpg\"", false, {}}, Case{"notes.txt", false, {}}}) {
        SCOPED_TRACE(c.line.toStdString());
        scripted.messageBox.prompts.clear();
        if (c.accepted) {
            frmVedra& w = start(c.line);
            EXPECT_TRUE(scripted.messageBox.prompts.empty());
            EXPECT_TRUE(w.RigaComando().isEmpty());
            if (c.shown.isEmpty()) {
                EXPECT_TRUE(w.Image1.picture().isEmpty());
            } else {
                EXPECT_TRUE(w.ImmagineIncollata());
                EXPECT_EQ(w.Image1.picture().sizePixels(), c.shown);
            }
            program.reset();
            continue;
        }
        int status = -1;
        try {
            start(c.line);
        } catch (const ProgramEnded& ended) {
            status = ended.status;
        }
        EXPECT_EQ(status, 2);
        ASSERT_EQ(scripted.messageBox.prompts.size(), 1u);
        EXPECT_EQ(scripted.messageBox.prompts[0].text, "Incorrect format");
        EXPECT_EQ(scripted.messageBox.prompts[0].title, "Vedra Viewer");
        EXPECT_EQ(scripted.messageBox.prompts[0].style, platform::MsgBoxStyle::OkOnly);
    }
}

// What the shipped program does with an error that no handler trapped: "Error N" in a
// message box titled with the program's name, and the window carries on.
TEST_F(MainWindowTest, AnUntrappedErrorIsShownAsErrorNumber) {
    frmVedra& w = start();
    {
        assembly::UnhandledErrorReporting reporting(*program);
        platform::runHandler(
            [] { throw platform::RuntimeError(platform::ErrorNumber::PathFileAccessError); });
        ASSERT_EQ(scripted.messageBox.prompts.size(), 1u);
        EXPECT_EQ(scripted.messageBox.prompts[0].text, "Error  75");
        EXPECT_EQ(scripted.messageBox.prompts[0].title, "Vedra Viewer");
        EXPECT_EQ(scripted.messageBox.prompts[0].style, platform::MsgBoxStyle::OkOnly);
    }
    // Once the program is gone nobody shows errors through its message box.
    platform::runHandler([] { throw platform::RuntimeError(platform::ErrorNumber::DiskFull); });
    EXPECT_EQ(scripted.messageBox.prompts.size(), 1u);
    EXPECT_EQ(w.Caption(), "Vedra Viewer");
}
