// The File menu's operations as the user meets them: guards, questions, the list afterwards.
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMainWindow>
#include <QTest>

#include "FileOpsFixture.h"
#include "fileops/frmRename.h"
#include "platform/Twips.h"

using platform::MsgBoxAnswer::No;
using platform::MsgBoxAnswer::Yes;

// Copy and move do nothing until a target folder is chosen and a picture of the list
// selected; with none selected, or a pasted picture shown, move, delete and rename do nothing
// either (copy still copies the listed file).
TEST_F(FileOpsTest, TheCommandsDoNothingWithoutATargetOrAFileOfTheList) {
    struct Case {
        const char* name;
        bool select, pasted, sceltaFatta, folderChosen;
        const char* commands;  // Copy, Move, Delete, Rename
    };
    for (const Case& c : {Case{"no entry selected", false, false, true, true, "CMDR"},
                          Case{"the folder box rejected its text", true, false, false, true, "CM"},
                          Case{"no folder ever chosen", true, false, true, false, "CM"},
                          Case{"a pasted picture shown", true, true, true, true, "MDR"}}) {
        SCOPED_TRACE(c.name);
        folder.addPicture("a.jpg", 20, 10);
        QGuiApplication::clipboard()->setImage(QImage(8, 8, QImage::Format_RGB32));
        frmVedra& w = startListing();
        if (c.select)
            w.File1.setListIndex(0);
        if (c.pasted)
            w.Pasteggia();
        EXPECT_EQ(w.ImmagineIncollata(), c.pasted);
        program->modulo1().CartellaCM = c.folderChosen ? target.path() : QString();
        program->modulo1().SceltaFatta = c.sceltaFatta;
        const Files before = filesIn(folder.path());
        scripted.messageBox.answers = {Yes, Yes};
        for (const char* command = c.commands; *command; ++command)  // a rename would block
            (*command == 'C'   ? w.mnuCopyFile
             : *command == 'M' ? w.mnuMoveFile
             : *command == 'D' ? w.mnuDeleteFile
                               : w.mnuRenameFile)
                .click();
        EXPECT_EQ(prompts(), Prompts{});
        EXPECT_EQ(filesIn(folder.path()), before);
        EXPECT_EQ(filesIn(target.path()), Files{});
        program.reset();
    }
}

// Copy, move and delete as the user answers each question (none for a delete once Confirm
// Delete is switched off): the files of both folders, and the list afterwards (after a move
// or delete, the picture that took the old place).
TEST_F(FileOpsTest, CopyMoveAndDeleteLeaveTheFilesAndTheList) {
    enum Op { Copy, Move, Delete, Unconfirmed };
    struct Case {
        Op op;
        int count, selected;
        int answer;  // to the overwrite question or to "Continue?"; 0: none is asked
        int index;   // selected afterwards
        const char* name;
    };
    const Case cases[] = {
        {Copy, 2, 0, Yes, 0, "a.jpg"},   {Copy, 2, 0, No, 0, "a.jpg"},
        {Move, 2, 0, Yes, 0, "b.jpg"},   {Move, 2, 0, No, 0, "a.jpg"},
        {Move, 3, 1, 0, 1, "c.jpg"},     {Move, 3, 2, 0, 1, "b.jpg"},
        {Move, 1, 0, 0, -1, ""},         {Delete, 3, 0, Yes, 0, "b.jpg"},
        {Delete, 3, 2, Yes, 1, "b.jpg"}, {Delete, 1, 0, Yes, -1, ""},
        {Delete, 2, 0, No, 0, "a.jpg"},  {Unconfirmed, 2, 0, 0, 0, "b.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "op " << c.op << ", entry " << c.selected << " of "
                                        << c.count << ", answer " << c.answer);
        testing_support::PictureFolder source, dest;
        QDir::setCurrent(source.path());
        const char* names[] = {"a.jpg", "b.jpg", "c.jpg"};
        for (int i = 0; i < c.count; ++i)
            source.addPicture(names[i], 10 + i, 10, i ? Qt::red : Qt::green);
        const bool transfer = c.op == Copy || c.op == Move;
        if (transfer && c.answer)
            dest.addPicture(names[c.selected], 12, 12, Qt::blue);
        Files sourceAfter = filesIn(source.path()), destAfter = filesIn(dest.path());
        frmVedra& w = startListing();
        EXPECT_TRUE(w.mnuConfirmDelete.Checked());
        if (c.op == Unconfirmed)
            w.mnuConfirmDelete.click();
        EXPECT_EQ(w.mnuConfirmDelete.Checked(), c.op != Unconfirmed);
        w.File1.setListIndex(c.selected);
        chooseTarget(dest.path());
        scripted.messageBox.prompts.clear();
        scripted.messageBox.answers = {c.answer};

        (c.op == Copy ? w.mnuCopyFile : c.op == Move ? w.mnuMoveFile : w.mnuDeleteFile).click();

        const QString path = source.file(names[c.selected]);
        EXPECT_EQ(prompts(), c.op == Delete         ? Prompts{question("Continue?")}
                             : transfer && c.answer ? Prompts{question(OverwriteQuestion + path)}
                                                    : Prompts{});
        if (transfer && c.answer != No)
            destAfter[names[c.selected]] = sourceAfter[names[c.selected]];
        if (c.op == Unconfirmed || (c.op != Copy && c.answer != No))
            sourceAfter.erase(names[c.selected]);
        EXPECT_EQ(filesIn(source.path()), sourceAfter);
        EXPECT_EQ(filesIn(dest.path()), destAfter);  // no temporary file left
        EXPECT_EQ(w.File1.ListCount(), int(sourceAfter.size()));
        EXPECT_EQ(w.File1.ListIndex(), c.index);
        EXPECT_EQ(w.File1.FileName(), c.name);
        if (c.index >= 0) {
            EXPECT_EQ(w.Caption(), "Vedra Viewer - " + source.file(c.name));
        }
        program.reset();
    }
}

TEST_F(FileOpsTest, RenameTakesAFreeNameAndRefusesEveryOther) {
    struct Case {
        const char* typed;
        const char* message;  // empty when the rename must happen (or nothing is to be done)
        Qt::Key key = Qt::Key_unknown;  // pressed in the name box; otherwise OK is clicked
    };
    const char* const notAName = "A file name cannot contain \"/\" or be \".\" or \"..\".";
    for (const Case& c :
         {Case{"renamed.jpg", "", Qt::Key_Escape}, Case{"a.jpg", ""},
          Case{"b.jpg", "A file with that name already exists.", Qt::Key_Return},
          Case{"", "The new name is empty."}, Case{"sub/x.jpg", notAName}, Case{"..", notAName}}) {
        SCOPED_TRACE(c.typed);
        testing_support::PictureFolder source;
        QDir::setCurrent(source.path());
        const QByteArray a = bytesOf(source.addPicture("a.jpg", 20, 10));
        const QByteArray b = bytesOf(source.addPicture("b.jpg", 10, 10));
        source.addFolder("sub");
        frmVedra& w = startListing();
        w.File1.setListIndex(0);
        scripted.messageBox.prompts.clear();
        const bool refused = *c.message != '\0';
        QTimer::singleShot(0, [&] {
            frmRename* dialog = program->frmRename.peek();
            ASSERT_NE(dialog, nullptr);
            dialog->txtNewName.setText(c.typed);
            if (c.key == Qt::Key_unknown) {
                dialog->cmdOK.click();
            } else {  // Enter and Esc both press OK
                QApplication::setActiveWindow(dialog->window());
                dialog->txtNewName.SetFocus();
                QTest::keyClick(QApplication::focusWidget(), c.key);
            }
            EXPECT_EQ(program->frmRename.exists(), refused);  // a refusal leaves it open
            if (program->frmRename.exists())
                dialog->cmdCancel.click();
        });
        w.mnuRenameFile.click();

        EXPECT_EQ(prompts(), refused ? Prompts{report("Cannot rename \"" + source.file("a.jpg") +
                                                      "\"\nto \"" + c.typed + "\".\n" + c.message)}
                                     : Prompts{});
        const QString newName = refused ? "a.jpg" : c.typed;
        EXPECT_EQ(filesIn(source.path()),
                  (Files{{newName.toUtf8(), a}, {"b.jpg", b}, {"sub", "<folder>"}}));
        EXPECT_EQ(w.File1.FileName(), newName);
        EXPECT_EQ(w.Caption(), "Vedra Viewer - " + source.file(newName));
        program.reset();
    }
}

TEST_F(FileOpsTest, SaveAsWritesTheShownPictureAsABitmapOrReportsWhyNot) {
    struct Case {
        const char* name;
        const char* source;
        bool rendered;  // an icon or metafile is written at the size it is shown
    };
    folder.addPicture("i.ico", 32, 32);
    folder.addPicture("p.jpg", 40, 30);
    folder.addCopy("m.wmf", "wmf/libwmf/ant.wmf");
    for (const Case& c : {Case{"jpeg", "p.jpg", false}, Case{"icon", "i.ico", true},
                          Case{"metafile", "m.wmf", true}}) {
        SCOPED_TRACE(c.name);
        frmVedra& w = startListing();
        w.Dimensioni.setListIndex(2);  // stretched over the viewing area
        select(w, c.source);
        const QString saved = target.file(QString(c.name) + ".bmp");
        scripted.dialogs.answers = {saved};
        w.mnuSaveAs.click();
        ASSERT_EQ(scripted.dialogs.shown.size(), 1u);
        EXPECT_EQ(scripted.dialogs.shown[0].filter, "Bitmap (*.bmp)|*.bmp");
        EXPECT_TRUE(scripted.dialogs.shown[0].confirmOverwrite);
        EXPECT_TRUE(w.ImmagineBitmap());
        EXPECT_EQ(w.PercorsoBitmap(), saved);
        const QImage written(saved, "BMP");
        ASSERT_FALSE(written.isNull());
        const QSize expected = c.rendered ? QSize(platform::twipsToPixels(w.Image1.Width()),
                                                  platform::twipsToPixels(w.Image1.Height()))
                                          : w.Image1.picture().sizePixels();
        EXPECT_EQ(written.size(), expected);
        EXPECT_EQ(prompts(), Prompts{});
        scripted.dialogs.shown.clear();
        program.reset();
    }
    // Cancelled, nothing is written; a write that fails is reported.
    frmVedra& w = startListing();
    select(w, "p.jpg");
    w.mnuSaveAs.click();
    EXPECT_FALSE(w.ImmagineBitmap());
    const QString nowhere = target.file("missing/p.bmp");
    scripted.dialogs.answers = {nowhere};
    w.mnuSaveAs.click();
    EXPECT_EQ(prompts(), Prompts{report("Cannot save the picture as \"" + nowhere +
                                        "\".\nThe folder does not exist.")});
    EXPECT_EQ(filesIn(target.path()).size(), 3u);  // the three saved above, nothing more
}
