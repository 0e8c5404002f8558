#include <QWidget>

#include "MainWindowFixture.h"
#include "app/ProgramAssembly.h"
#include "platform/HandlerGuard.h"
#include "platform/JpegDecoder.h"
#include "platform/RuntimeError.h"
#include "platform/services/MessageBoxService.h"

using testing_support::ProgramEnded;

TEST_F(MainWindowTest, StartsWithTheDesignedStateAndNoCommandLine) {
    folder.addPicture("a.jpg", 40, 30);
    folder.addCopy("b.gif", "gif/pillow/transparent.gif");
    frmVedra& w = start({}, true);
    EXPECT_TRUE(w.Image1.picture().isEmpty());
    EXPECT_EQ(w.Dir1.Path(), folder.path());
    EXPECT_EQ(prompts(), Prompts{});
    // The filter box shows its first item with no entry selected, so the file list has no
    // pattern and shows every ordinary file; the size box starts on Original Size.
    EXPECT_EQ(w.TipoImmagine.ListIndex(), -1);
    EXPECT_EQ(w.TipoImmagine.Text(), "All Picture Files");
    EXPECT_EQ(w.NumeroFile(), 2);
    EXPECT_EQ(w.Dimensioni.ListIndex(), 0);
    for (const platform::PictureButton* button :
         {&w.cmdSystray, &w.cmdCopy, &w.cmdPaste, &w.cmdFreccia, &w.cmdSlideShow})
        EXPECT_FALSE(button->picture().isEmpty()) << button->name().toStdString();
    // Choosing a checked item leaves it checked.
    w.mnuFreccia[1]->click();
    EXPECT_TRUE(w.mnuFreccia[1]->Checked());
}

// A picture named on the command line is shown at once, decoded once while the window is
// built (or, when missing, nothing is); anything else is refused with one message and the
// program ends with status 2.
TEST_F(MainWindowTest, TheCommandLineTakesOnlyAPictureName) {
    const QString cat = folder.addPicture("CAT.jpg", 1200, 900);
    struct Case {
        QString line;
        int status;   // -1: accepted
        QSize shown;  // empty: nothing shown
    };
    for (const Case& c : {Case{cat, -1, {1200, 900}}, Case{folder.file("missing.GIF"), -1, {}},
                          Case{"/home/MY.PICS/CAT.JPG", 2, {}}, Case{"notes", 2, {}},
                          Case{"\"/tmp/cat.jpg\"", 2, {}}, Case{"notes.txt", 2, {}}}) {
        SCOPED_TRACE(c.line.toStdString());
        scripted.messageBox.prompts.clear();
        int status = -1;
        try {
            const quint64 decodes = platform::jpegDecodeCount();
            frmVedra& w = start(c.line, true);
            w.Picture1.widget()->grab();  // painted as the screen would
            EXPECT_EQ(platform::jpegDecodeCount() - decodes, c.shown.isEmpty() ? 0u : 1u);
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
        EXPECT_EQ(prompts(), c.status < 0 ? Prompts{} : Prompts{report("Incorrect format")});
    }
}

// As the shipped program reports it, in a message box titled with the program's name.
TEST_F(MainWindowTest, AnUntrappedErrorIsShownAsErrorNumber) {
    frmVedra& w = start();
    {
        assembly::UnhandledErrorReporting reporting(*program);
        platform::runHandler(
            [] { throw platform::RuntimeError(platform::ErrorNumber::PathFileAccessError); });
        EXPECT_EQ(prompts(), Prompts{report("Error  75")});
    }
    // Once the program is gone nobody shows errors through its message box.
    platform::runHandler([] { throw platform::RuntimeError(platform::ErrorNumber::DiskFull); });
    EXPECT_EQ(prompts().size(), 1u);
    EXPECT_EQ(w.Caption(), "Vedra Viewer");
}
