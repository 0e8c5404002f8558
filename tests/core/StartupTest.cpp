#include <QFile>

#include "MainWindowFixture.h"
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
    // The filter box has no entry selected, so the file list shows every ordinary file.
    EXPECT_EQ(w.NumeroFile(), 2);
}

TEST_F(MainWindowTest, ComboBoxesHoldTheirItemsAndSelection) {
    frmVedra& w = start();
    ASSERT_EQ(w.TipoImmagine.ListCount(), 8);
    EXPECT_EQ(w.TipoImmagine.List(0), "All Picture Files");
    EXPECT_EQ(w.TipoImmagine.List(1), "JPG; GIF");
    EXPECT_EQ(w.TipoImmagine.List(7), "ICO (Icons)");
    EXPECT_EQ(w.TipoImmagine.ListIndex(), -1);
    EXPECT_EQ(w.TipoImmagine.Text(), "All Picture Files");
    ASSERT_EQ(w.Dimensioni.ListCount(), 5);
    EXPECT_EQ(w.Dimensioni.List(3), "Full Screen Maintain Aspect");
    EXPECT_EQ(w.Dimensioni.ListIndex(), 0);
    EXPECT_EQ(w.Dimensioni.Text(), "Original Size");
    EXPECT_EQ(w.File1.Pattern(), "");
}

TEST_F(MainWindowTest, MenusCarryCaptionsShortcutsAndStartCheckMarks) {
    frmVedra& w = start();
    EXPECT_EQ(w.mnuFile.Caption(), "&File");
    EXPECT_EQ(w.mnuEdit.Caption(), "&Image");
    EXPECT_EQ(w.mnuHelp.Caption(), "&?");
    EXPECT_EQ(w.mnuCopyFile.shortcut(), "Ctrl+O");
    EXPECT_EQ(w.mnuDeleteFile.shortcut(), "Del");
    EXPECT_EQ(w.mnuNote.shortcut(), "F1");
    EXPECT_EQ(w.mnuAbout.shortcut(), "F2");
    EXPECT_EQ(w.mnuFreccia[1]->Caption(), "Do&wn");

    EXPECT_FALSE(w.mnuFreccia[0]->Checked());
    EXPECT_TRUE(w.mnuFreccia[1]->Checked());
    EXPECT_FALSE(w.mnuSpeedSS[0]->Checked());
    EXPECT_TRUE(w.mnuSpeedSS[1]->Checked());
    EXPECT_FALSE(w.mnuSpeedSS[2]->Checked());
    EXPECT_TRUE(w.mnuConfirmDelete.Checked());
    EXPECT_FALSE(w.mnuRunSlideShow.Checked());
    EXPECT_FALSE(w.mnuDirectorycm.Checked());
}

TEST_F(MainWindowTest, ChoosingAMenuItemDoesNotCheckItByItself) {
    frmVedra& w = start();
    w.mnuFreccia[1]->click();
    EXPECT_TRUE(w.mnuFreccia[1]->Checked());
}

TEST_F(MainWindowTest, ReadsTheLayoutLengthsFromTheDesign) {
    frmVedra& w = start();
    const frmVedra::LayoutLengths& L = w.layout();
    EXPECT_EQ(L.LarghezzaArea, 5475);
    EXPECT_EQ(L.AltezzaArea, 5235);
    EXPECT_EQ(L.LarghezzaAreaMax, 7118);
    EXPECT_EQ(L.AltezzaAreaMax, 6806);
    EXPECT_EQ(L.LarghezzaCornice, 5535);
    EXPECT_EQ(L.AltezzaCornice, 5295);
    EXPECT_EQ(L.LarghezzaCorniceMax, 7196);
    EXPECT_EQ(L.AltezzaCorniceMax, 6884);
    EXPECT_EQ(L.TopInfo, 240);
    EXPECT_EQ(L.TopInfoMax, 240);
    EXPECT_EQ(L.LarghezzaInfoMax, 7196);
    EXPECT_EQ(L.AltezzaListaFile, 1650);
    EXPECT_EQ(L.TopContatore, 4320);
    EXPECT_EQ(L.TopTipoImmagine, 4620);
    EXPECT_EQ(L.TopDimensioni, 4980);
    EXPECT_EQ(L.TopLogo, 5400);
}

TEST_F(MainWindowTest, ShowsTheWindowWithItsDesignedClientArea) {
    frmVedra& w = start();
    program->start();
    EXPECT_TRUE(w.Visible());
    EXPECT_DOUBLE_EQ(w.ScaleWidth(), 8490);
    EXPECT_DOUBLE_EQ(w.ScaleHeight(), 6075);
    EXPECT_EQ(w.cmdSlideShow.ToolTipText(), "Run Slide Show");
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

class CommandLineTest : public MainWindowTest {};

TEST_F(CommandLineTest, AcceptsAPictureExtensionInAnyCase) {
    const QString picture = folder.addPicture("CAT.jpg", 200, 100);
    frmVedra& w = start(picture);
    EXPECT_TRUE(scripted.messageBox.prompts.empty());
    EXPECT_TRUE(w.ImmagineIncollata());
    EXPECT_TRUE(w.RigaComando().isEmpty());
    EXPECT_EQ(w.Image1.picture().sizePixels(), QSize(200, 100));
}

TEST_F(CommandLineTest, AnAcceptedButMissingPictureLeavesTheAreaEmpty) {
    frmVedra& w = start(folder.file("missing.GIF"));
    EXPECT_TRUE(scripted.messageBox.prompts.empty());
    EXPECT_TRUE(w.Image1.picture().isEmpty());
    EXPECT_TRUE(w.RigaComando().isEmpty());
}

TEST_F(CommandLineTest, RejectsTheTextAfterAFolderDot) {
    EXPECT_THROW(
        {
            try {
                start("/home/MY.PICS/CAT.JPG");
            } catch (const ProgramEnded& ended) {
                EXPECT_EQ(ended.status, 2);
                throw;
            }
        },
        ProgramEnded);
    ASSERT_EQ(scripted.messageBox.prompts.size(), 1u);
    EXPECT_EQ(scripted.messageBox.prompts[0].text, "Incorrect format");
    EXPECT_EQ(scripted.messageBox.prompts[0].title, "Vedra Viewer");
    EXPECT_EQ(scripted.messageBox.prompts[0].style, platform::MsgBoxStyle::OkOnly);
}

TEST_F(CommandLineTest, RejectsNamesWithoutADotAndQuotedNames) {
    for (const QString& line :
         {QString("notes"), QString("\"/tmp/cat.jpg\""), QString("notes.txt")}) {
        scripted.messageBox.prompts.clear();
        EXPECT_THROW(start(line), ProgramEnded) << line.toStdString();
        ASSERT_EQ(scripted.messageBox.prompts.size(), 1u);
        EXPECT_EQ(scripted.messageBox.prompts[0].text, "Incorrect format");
    }
}

class FileExistsTest : public MainWindowTest {};

TEST_F(FileExistsTest, IsTrueOnlyForOrdinaryVisibleFiles) {
    const QString file = folder.addPicture("photo.jpg", 10, 10);
    folder.addBytes(".hidden.jpg", "x");
    const QString sub = folder.addFolder("sub.jpg");
    start();
    const Modulo1& m = program->modulo1();
    EXPECT_TRUE(m.FileExists(file));
    EXPECT_FALSE(m.FileExists(folder.file(".hidden.jpg")));
    EXPECT_FALSE(m.FileExists(sub));
    EXPECT_FALSE(m.FileExists(""));
    EXPECT_FALSE(m.FileExists(folder.file("nothing.jpg")));
    EXPECT_FALSE(m.FileExists("/no/such/folder/photo.jpg"));
    EXPECT_FALSE(m.FileExists(folder.file("*.JPG")));  // a literal name, no pattern
}
