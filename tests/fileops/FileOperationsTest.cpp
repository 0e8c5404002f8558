// The File menu's operations as the user meets them: guards, questions, the list afterwards.
#include <QFileInfo>
#include <QImage>

#include "FileOpsFixture.h"
#include "fileops/frmRename.h"
#include "platform/Twips.h"
#include "platform/services/ClipboardService.h"

using fileops_testing::bytesOf;
using fileops_testing::contentsOf;
using platform::MsgBoxAnswer::No;
using platform::MsgBoxAnswer::Yes;

namespace {

const QString OverwriteQuestion =
    QStringLiteral("This filename is in use.\rDo you want to overwrite the existing file?\r");

// A clipboard holding one picture, for showing a pasted picture.
class OnePictureClipboard : public platform::ClipboardService {
  public:
    void Clear() override { picture = {}; }
    void SetData(const platform::Picture& p, int) override { picture = p; }
    platform::Picture GetData(int) override { return picture; }
    bool GetFormat(int format) override {
        return !picture.isEmpty() && format == platform::ClipFormat::Bitmap;
    }
    platform::Picture picture;
};

}  // namespace

TEST_F(FileOpsTest, CopyAndMoveDoNothingUntilATargetFolderIsChosenAndAPictureSelected) {
    struct Case {
        const char* name;
        bool select;
        bool sceltaFatta;
        bool folderChosen;
    };
    for (const Case& c : {Case{"no entry selected", false, true, true},
                          Case{"the folder box rejected its text", true, false, true},
                          Case{"no folder ever chosen", true, true, false}}) {
        SCOPED_TRACE(c.name);
        folder.addPicture("a.jpg", 20, 10);
        frmVedra& w = startBrowsing();
        if (c.select)
            w.File1.setListIndex(0);
        program->modulo1().CartellaCM = c.folderChosen ? target.path() : QString();
        program->modulo1().SceltaFatta = c.sceltaFatta;
        const auto before = contentsOf(folder.path());
        w.mnuCopyFile.click();
        w.mnuMoveFile.click();
        EXPECT_TRUE(prompts().empty());
        EXPECT_TRUE(files.calls.isEmpty());
        EXPECT_EQ(contentsOf(folder.path()), before);
        EXPECT_TRUE(contentsOf(target.path()).isEmpty());
        program.reset();
    }
}

TEST_F(FileOpsTest, EachOverwriteAnswerOfCopyAndMove) {
    struct Case {
        bool move;
        int answer;
        bool targetReplaced;
        bool sourceStays;
    };
    for (const Case& c : {Case{false, Yes, true, true}, Case{false, No, false, true},
                          Case{true, Yes, true, false}, Case{true, No, false, true}}) {
        SCOPED_TRACE(std::string(c.move ? "move" : "copy") + (c.answer == Yes ? " Yes" : " No"));
        testing_support::PictureFolder source, dest;
        QDir::setCurrent(source.path());
        const QByteArray ours = bytesOf(source.addPicture("a.jpg", 30, 20, Qt::red));
        source.addPicture("b.jpg", 10, 10);
        const QByteArray theirs = bytesOf(dest.addPicture("a.jpg", 12, 12, Qt::blue));
        frmVedra& w = startBrowsing();
        w.File1.setListIndex(0);
        chooseTarget(dest.path());
        scripted.messageBox.prompts.clear();
        scripted.messageBox.answers = {c.answer};

        (c.move ? w.mnuMoveFile : w.mnuCopyFile).click();

        ASSERT_EQ(prompts().size(), 1u);
        EXPECT_EQ(prompts()[0].text, OverwriteQuestion + source.file("a.jpg"));
        EXPECT_EQ(prompts()[0].style, 276);
        EXPECT_EQ(prompts()[0].title, "Vedra Viewer");
        EXPECT_EQ(bytesOf(dest.file("a.jpg")), c.targetReplaced ? ours : theirs);
        EXPECT_EQ(QFileInfo::exists(source.file("a.jpg")), c.sourceStays);
        if (c.sourceStays) {
            EXPECT_EQ(bytesOf(source.file("a.jpg")), ours);
        }
        EXPECT_EQ(contentsOf(dest.path()).size(), 1);  // no temporary file left
        if (c.move) {
            // Whatever the answer, the list is read again and the same position selected.
            EXPECT_EQ(w.File1.ListIndex(), 0);
            EXPECT_EQ(w.File1.FileName(), c.sourceStays ? "a.jpg" : "b.jpg");
        } else {
            EXPECT_EQ(w.File1.ListCount(), 2);
            EXPECT_EQ(w.Caption(), "Vedra Viewer - " + source.file("a.jpg"));
        }
        program.reset();
    }
}

TEST_F(FileOpsTest, TheTargetFolderGainsOneSeparatorUnlessItEndsInOne) {
    folder.addPicture("a.jpg", 20, 10);
    for (const QString& chosen : {target.path(), target.path() + "/"}) {
        frmVedra& w = startBrowsing();
        w.File1.setListIndex(0);
        chooseTarget(chosen);
        files.calls.clear();
        scripted.messageBox.answers = {Yes};
        w.mnuCopyFile.click();
        ASSERT_EQ(files.calls.size(), 1);
        EXPECT_TRUE(files.calls[0].contains(" -> " + target.path() + "/a.jpg"))
            << files.calls[0].toStdString();
        program.reset();
    }
}

TEST_F(FileOpsTest, AfterMoveOrDeleteTheListSelectsThePictureInTheOldPlace) {
    struct Case {
        bool move;
        int count;
        int selected;
        int expectedIndex;
        const char* expectedName;
    };
    for (const Case& c : {Case{true, 3, 1, 1, "c.jpg"}, Case{true, 3, 2, 1, "b.jpg"},
                          Case{true, 1, 0, -1, ""}, Case{false, 3, 0, 0, "b.jpg"},
                          Case{false, 3, 2, 1, "b.jpg"}, Case{false, 1, 0, -1, ""}}) {
        SCOPED_TRACE(std::string(c.move ? "move" : "delete") + " entry " +
                     std::to_string(c.selected) + " of " + std::to_string(c.count));
        testing_support::PictureFolder source, dest;
        QDir::setCurrent(source.path());
        const char* names[] = {"a.jpg", "b.jpg", "c.jpg"};
        for (int i = 0; i < c.count; ++i)
            source.addPicture(names[i], 10 + i, 10);
        frmVedra& w = startBrowsing();
        w.File1.setListIndex(c.selected);
        chooseTarget(dest.path());
        scripted.messageBox.answers = {Yes};  // the delete question

        (c.move ? w.mnuMoveFile : w.mnuDeleteFile).click();

        EXPECT_FALSE(QFileInfo::exists(source.file(names[c.selected])));
        EXPECT_EQ(QFileInfo::exists(dest.file(names[c.selected])), c.move);
        EXPECT_EQ(w.File1.ListCount(), c.count - 1);
        EXPECT_EQ(w.File1.ListIndex(), c.expectedIndex);
        EXPECT_EQ(w.File1.FileName(), c.expectedName);
        if (c.expectedIndex >= 0) {
            EXPECT_EQ(w.Caption(), "Vedra Viewer - " + source.file(c.expectedName));
        }
        program.reset();
    }
}

TEST_F(FileOpsTest, DeleteAsksContinueUnlessConfirmDeleteIsSwitchedOff) {
    folder.addPicture("a.jpg", 20, 10);
    folder.addPicture("b.jpg", 20, 10);
    frmVedra& w = startBrowsing();
    EXPECT_TRUE(w.mnuConfirmDelete.Checked());
    w.File1.setListIndex(0);
    scripted.messageBox.answers = {No};
    w.mnuDeleteFile.click();
    ASSERT_EQ(prompts().size(), 1u);
    EXPECT_EQ(prompts()[0].text, "Continue?");
    EXPECT_EQ(prompts()[0].style, 276);
    EXPECT_EQ(prompts()[0].title, "Vedra Viewer");
    EXPECT_TRUE(QFileInfo::exists(folder.file("a.jpg")));
    EXPECT_EQ(w.File1.ListIndex(), 0);

    w.mnuConfirmDelete.click();
    EXPECT_FALSE(w.mnuConfirmDelete.Checked());
    w.mnuDeleteFile.click();
    EXPECT_EQ(prompts().size(), 1u);  // no second question
    EXPECT_FALSE(QFileInfo::exists(folder.file("a.jpg")));
    EXPECT_EQ(w.File1.FileName(), "b.jpg");
    w.mnuConfirmDelete.click();
    EXPECT_TRUE(w.mnuConfirmDelete.Checked());
}

TEST_F(FileOpsTest, APastedPictureIsNeverTakenForTheFileOfTheList) {
    folder.addPicture("a.jpg", 20, 10);
    OnePictureClipboard clipboard;
    clipboard.picture = platform::Picture::fromImage(QImage(8, 8, QImage::Format_RGB32));
    scripted.application.commandLine.clear();
    platform::Services services = scripted.services();
    services.fileSystem = &files;
    services.clipboard = &clipboard;
    program = std::make_unique<Program>(services);
    frmVedra& w = program->frmVedra();
    w.TipoImmagine.setListIndex(0);
    w.File1.setListIndex(0);
    chooseTarget(target.path());
    w.Pasteggia();
    ASSERT_TRUE(w.ImmagineIncollata());
    const auto before = contentsOf(folder.path());
    scripted.messageBox.answers = {Yes, Yes};
    w.mnuDeleteFile.click();
    w.mnuMoveFile.click();
    w.mnuRenameFile.click();  // would block in the dialog if it opened
    EXPECT_EQ(contentsOf(folder.path()), before);
    EXPECT_TRUE(contentsOf(target.path()).isEmpty());
    EXPECT_FALSE(program->frmRename.exists());
}

TEST_F(FileOpsTest, RenameTakesAFreeNameAndRefusesEveryOther) {
    struct Case {
        const char* typed;
        const char* message;  // empty when the rename must happen (or nothing is to be done)
        const char* selectedAfter;
    };
    for (const Case& c :
         {Case{"renamed.jpg", "", "renamed.jpg"}, Case{"a.jpg", "", "a.jpg"},
          Case{"b.jpg", "A file with that name already exists.", "a.jpg"},
          Case{"", "The new name is empty.", "a.jpg"},
          Case{"sub/x.jpg", "A file name cannot contain \"/\" or be \".\" or \"..\".", "a.jpg"},
          Case{"..", "A file name cannot contain \"/\" or be \".\" or \"..\".", "a.jpg"}}) {
        SCOPED_TRACE(c.typed);
        testing_support::PictureFolder source;
        QDir::setCurrent(source.path());
        const QByteArray a = bytesOf(source.addPicture("a.jpg", 20, 10));
        const QByteArray b = bytesOf(source.addPicture("b.jpg", 10, 10));
        source.addFolder("sub");
        frmVedra& w = startBrowsing();
        w.File1.setListIndex(0);
        scripted.messageBox.prompts.clear();
        bool stayedOpen = false;
        QString oldShown, prefilled;
        whenDialogShows([&] {
            frmRename* dialog = program->frmRename.peek();
            ASSERT_NE(dialog, nullptr);
            oldShown = dialog->lblOldName.Caption();
            prefilled = dialog->txtNewName.Text();
            dialog->txtNewName.setText(c.typed);
            dialog->cmdOK.click();
            stayedOpen = program->frmRename.exists();
            if (stayedOpen)
                dialog->cmdCancel.click();
        });
        w.mnuRenameFile.click();

        EXPECT_EQ(oldShown, "a.jpg");
        EXPECT_EQ(prefilled, "a.jpg");
        const bool refused = *c.message != '\0';
        EXPECT_EQ(stayedOpen, refused);
        if (refused) {
            ASSERT_EQ(prompts().size(), 1u);
            EXPECT_EQ(prompts()[0].text, "Cannot rename \"" + source.file("a.jpg") + "\"\nto \"" +
                                             c.typed + "\".\n" + c.message);
            EXPECT_EQ(prompts()[0].style, 0);
            EXPECT_EQ(prompts()[0].title, "Vedra Viewer");
        } else {
            EXPECT_TRUE(prompts().empty());
        }
        const QString newName = refused ? "a.jpg" : c.typed;
        EXPECT_EQ(bytesOf(source.file(newName)), a);
        EXPECT_EQ(bytesOf(source.file("b.jpg")), b);
        EXPECT_EQ(contentsOf(source.path()).size(), 2);
        EXPECT_EQ(w.File1.FileName(), c.selectedAfter);
        EXPECT_EQ(w.Caption(), "Vedra Viewer - " + source.file(c.selectedAfter));
        program.reset();
    }
}

TEST_F(FileOpsTest, SaveAsWritesTheShownPictureAsABitmap) {
    struct Case {
        const char* name;
        QString source;
        bool rendered;  // an icon or metafile is written at the size it is shown
    };
    const QString icon = folder.addPicture("i.ico", 32, 32);
    const QString jpeg = folder.addPicture("p.jpg", 40, 30);
    const QString wmf =
        folder.addBytes("m.wmf", bytesOf(testing_support::testdataPath("wmf/libwmf/ant.wmf")));
    for (const Case& c :
         {Case{"jpeg", jpeg, false}, Case{"icon", icon, true}, Case{"metafile", wmf, true}}) {
        SCOPED_TRACE(c.name);
        frmVedra& w = startBrowsing();
        w.Dimensioni.setListIndex(2);  // stretched over the viewing area
        for (int i = 0; i < w.File1.ListCount(); ++i) {
            if (folder.file(w.File1.List(i)) == c.source)
                w.File1.setListIndex(i);
        }
        const QString saved = target.file(QString(c.name) + ".bmp");
        saveDialog.answers = {saved};
        w.mnuSaveAs.click();
        ASSERT_EQ(saveDialog.shown.size(), 1u);
        EXPECT_EQ(saveDialog.shown[0].filter, "Bitmap (*.bmp)|*.bmp");
        EXPECT_TRUE(saveDialog.shown[0].confirmOverwrite);
        EXPECT_TRUE(w.ImmagineBitmap());
        EXPECT_EQ(w.PercorsoBitmap(), saved);
        const QImage written(saved, "BMP");
        ASSERT_FALSE(written.isNull());
        const QSize expected = c.rendered ? QSize(platform::twipsToPixels(w.Image1.Width()),
                                                  platform::twipsToPixels(w.Image1.Height()))
                                          : w.Image1.picture().sizePixels();
        EXPECT_EQ(written.size(), expected);
        EXPECT_TRUE(prompts().empty());
        saveDialog.shown.clear();
        program.reset();
    }
}

TEST_F(FileOpsTest, SaveAsCancelledWritesNothingAndAFailedWriteIsReported) {
    folder.addPicture("p.jpg", 40, 30);
    frmVedra& w = startBrowsing();
    w.File1.setListIndex(0);
    w.mnuSaveAs.click();  // the dialog is cancelled
    EXPECT_FALSE(w.ImmagineBitmap());
    EXPECT_TRUE(contentsOf(target.path()).isEmpty());

    const QString nowhere = target.file("missing/p.bmp");
    saveDialog.answers = {nowhere};
    w.mnuSaveAs.click();
    ASSERT_EQ(prompts().size(), 1u);
    EXPECT_EQ(prompts()[0].text,
              "Cannot save the picture as \"" + nowhere + "\".\nThe folder does not exist.");
    EXPECT_EQ(prompts()[0].title, "Vedra Viewer");
    EXPECT_TRUE(contentsOf(target.path()).isEmpty());
}
