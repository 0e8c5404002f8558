#include <QFile>
#include <QWidget>

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
    program->start();
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(QSizeF(w.ScaleWidth(), w.ScaleHeight()), QSizeF(8490, 6075));
    EXPECT_EQ(w.Caption(), "Vedra Viewer");
    EXPECT_EQ(w.lblDisplay.Caption(), "");
    EXPECT_TRUE(w.Image1.picture().isEmpty());
    EXPECT_EQ(w.Dir1.Path(), folder.path());
    EXPECT_TRUE(scripted.messageBox.prompts.empty());
    // The filter box shows its first item with no entry selected, so the file list has no
    // pattern and shows every ordinary file; the size box starts on Original Size.
    EXPECT_EQ(w.TipoImmagine.ListIndex(), -1);
    EXPECT_EQ(w.TipoImmagine.Text(), "All Picture Files");
    EXPECT_EQ(w.NumeroFile(), 2);
    EXPECT_EQ(w.Dimensioni.ListIndex(), 0);
    // Every toolbar button shows its picture and names itself in its tool tip.
    for (const auto& [button, tip] : {std::pair{&w.cmdSystray, "Minimize To SysTray"},
                                      {&w.cmdCopy, "Copy To Clipboard"},
                                      {&w.cmdPaste, "Paste From Clipboard"},
                                      {&w.cmdFreccia, "Direction Slide Show"},
                                      {&w.cmdSlideShow, "Run Slide Show"}}) {
        EXPECT_FALSE(button->picture().isEmpty()) << tip;
        EXPECT_EQ(button->ToolTipText(), tip);
    }
    EXPECT_TRUE(w.imgLogo.Stretch());
    EXPECT_TRUE(w.lblContatore.widget()->font().bold());
    EXPECT_FALSE(w.imgFrecciaSu.Visible());
    // Both top-edge decoration lines lie on the window's first row of pixels.
    for (const platform::Line* line : {&w.Line1_0, &w.Line1_1}) {
        EXPECT_DOUBLE_EQ(line->Top(), 0);
        EXPECT_DOUBLE_EQ(line->Width(), 13000);
    }
    // Choosing a checked item leaves it checked.
    w.mnuFreccia[1]->click();
    EXPECT_TRUE(w.mnuFreccia[1]->Checked());
}

// A picture named on the command line is shown at once (or, when missing, nothing is);
// anything else is refused with one message and the program ends with status 2.
TEST_F(MainWindowTest, TheCommandLineTakesOnlyAPictureName) {
    const QString cat = folder.addPicture("CAT.jpg", 200, 100);
    struct Case {
        QString line;
        int status;   // -1: accepted
        QSize shown;  // empty: nothing shown
    };
    for (const Case& c : {Case{cat, -1, {200, 100}}, Case{folder.file("missing.GIF"), -1, {}},
                          Case{"/home/MY.PICS/CAT.JPG", 2, {}}, Case{"notes", 2, {}},
                          Case{"\"/tmp/cat.jpg\"", 2, {}}, Case{"notes.txt", 2, {}}}) {
        SCOPED_TRACE(c.line.toStdString());
        scripted.messageBox.prompts.clear();
        int status = -1;
        try {
            frmVedra& w = start(c.line);
            EXPECT_TRUE(w.RigaComando().isEmpty());
            EXPECT_TRUE(c.shown.isEmpty() || w.ImmagineIncollata());
            EXPECT_TRUE(c.shown.isEmpty() ? w.Image1.picture().isEmpty()
                                          : w.Image1.picture().sizePixels() == c.shown);
            EXPECT_EQ(w.lblContatore.Caption(), "");
            program.reset();
        } catch (const ProgramEnded& ended) {
            status = ended.status;
        }
        EXPECT_EQ(status, c.status);
        if (c.status < 0) {
            EXPECT_TRUE(scripted.messageBox.prompts.empty());
        } else {
            ASSERT_EQ(scripted.messageBox.prompts.size(), 1u);
            const auto& prompt = scripted.messageBox.prompts[0];
            EXPECT_EQ(std::tuple(prompt.text, prompt.title, prompt.style),
                      std::tuple(QString("Incorrect format"), QString("Vedra Viewer"),
                                 platform::MsgBoxStyle::OkOnly));
        }
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
        const auto& prompt = scripted.messageBox.prompts[0];
        EXPECT_EQ(std::tuple(prompt.text, prompt.title, prompt.style),
                  std::tuple(QString("Error  75"), QString("Vedra Viewer"),
                             platform::MsgBoxStyle::OkOnly));
    }
    // Once the program is gone nobody shows errors through its message box.
    platform::runHandler([] { throw platform::RuntimeError(platform::ErrorNumber::DiskFull); });
    EXPECT_EQ(scripted.messageBox.prompts.size(), 1u);
    EXPECT_EQ(w.Caption(), "Vedra Viewer");
}
