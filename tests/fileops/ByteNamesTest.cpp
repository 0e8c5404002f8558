// File names are bytes: a picture whose name is not UTF-8 (a Latin-1 "café", a 0xFF byte) is
// listed, shown, described, copied, moved, renamed, deleted, written into the HTML list and
// opened from the command line by its own bytes, and shown to the user with replacement
// characters.
#include <QAbstractItemModel>
#include <QListView>
#include <QTimer>
#include <functional>

#include "FileOpsFixture.h"
#include "fileops/frmRename.h"
#include "html/frmSaveHtml.h"
#include "platform/FileName.h"

using platform::decodeFileName;
using platform::displayFileName;
using platform::MsgBoxAnswer::No;
using platform::MsgBoxAnswer::Yes;

using testing_support::FilesRemovedAtEnd;

// The names: Latin-1 "café" and a byte that is never UTF-8.
const QByteArray Cafe = "caf\xe9.jpg";
const QByteArray Ff = "\xff.jpg";

class ByteNamesTest : public FileOpsTest {
  protected:
    // Fills `source` with a.jpg and the two pictures with foreign bytes, renamed into place
    // from an ASCII name so that nothing on the way could translate their names, and makes
    // it the current folder.
    void fill(testing_support::PictureFolder& source) {
        QDir::setCurrent(source.path());
        for (const QByteArray& name : {Cafe, Ff}) {
            const QString plain = source.addPicture("plain.jpg", 20, 10);
            ASSERT_EQ(::rename(plain.toUtf8().constData(),
                               (source.path().toUtf8() + '/' + name).constData()),
                      0);
            original_[name] = filesIn(source.path())[name];
        }
        source.addPicture("a.jpg", 10, 10);
    }
    std::map<QByteArray, QByteArray> original_;
};

TEST_F(ByteNamesTest, EveryFileOperationUsesTheNameByteForByte) {
    const QByteArray renamed = "r\xe9\xff.jpg";
    enum After { Copied, Moved, Deleted, Renamed };
    const char* const what[] = {"copy", "move", "delete", "rename"};
    struct Case {
        After after;
        std::function<void(frmVedra&, const QByteArray& name)> act;
    };
    const Case cases[] = {
        {Copied, [](frmVedra& w, const QByteArray&) { w.mnuCopyFile.click(); }},
        {Moved, [](frmVedra& w, const QByteArray&) { w.mnuMoveFile.click(); }},
        {Deleted,
         [this](frmVedra& w, const QByteArray&) {
             scripted.messageBox.answers = {Yes};  // "Continue?"
             w.mnuDeleteFile.click();
         }},
        {Renamed,
         [&](frmVedra& w, const QByteArray& name) {
             QTimer::singleShot(0, [&, name] {
                 frmRename* dialog = program->frmRename.peek();
                 ASSERT_NE(dialog, nullptr);
                 // The dialog shows the name as the user reads it and gives back its bytes.
                 EXPECT_EQ(dialog->lblOldName.Caption(), displayFileName(decodeFileName(name)));
                 EXPECT_EQ(platform::encodeFileName(dialog->txtNewName.Text()), name);
                 dialog->txtNewName.setText(decodeFileName(renamed));
                 dialog->cmdOK.click();
                 if (program->frmRename.exists())  // refused: reported, and left open
                     dialog->cmdCancel.click();
             });
             w.mnuRenameFile.click();
         }},
    };
    for (const QByteArray& name : {Cafe, Ff}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(what[c.after]) + " " + name.toHex().toStdString());
            testing_support::PictureFolder source, targetFolder;
            const FilesRemovedAtEnd cleanup{{source.path(), targetFolder.path()}};
            fill(source);
            frmVedra& w = startListing();
            chooseTarget(targetFolder.path());
            scripted.messageBox.prompts.clear();
            Files sourceAfter = filesIn(source.path()), targetAfter;

            // Listed under its bytes, shown with a replacement character; selected: loaded,
            // described, named in the caption as the user reads it.
            select(w, decodeFileName(name));
            const auto* view = static_cast<QListView*>(w.File1.widget());
            const QString shown = view->model()->index(w.File1.ListIndex(), 0).data().toString();
            EXPECT_EQ(shown, displayFileName(decodeFileName(name)));
            EXPECT_TRUE(shown.contains(QChar(QChar::ReplacementCharacter)));
            EXPECT_FALSE(w.Image1.picture().isEmpty());
            EXPECT_TRUE(w.lblDisplay.Caption().startsWith(
                QStringLiteral(" %1 byte  W20 x H10  Date: ").arg(original_[name].size())))
                << w.lblDisplay.Caption().toStdString();
            EXPECT_EQ(w.Caption(), "Vedra Viewer - " +
                                       displayFileName(source.path() + '/' + decodeFileName(name)));

            c.act(w, name);

            for (const auto& prompt : prompts())
                EXPECT_EQ(prompt, question("Continue?"));
            if (c.after == Copied || c.after == Moved)
                targetAfter[name] = original_[name];
            if (c.after == Renamed)
                sourceAfter[renamed] = original_[name];
            if (c.after != Copied)
                sourceAfter.erase(name);
            EXPECT_EQ(filesIn(source.path()), sourceAfter);
            EXPECT_EQ(filesIn(targetFolder.path()), targetAfter);
            program.reset();
        }
    }
}

TEST_F(ByteNamesTest, TheHtmlListAndTheCommandLineUseTheNamesBytes) {
    const FilesRemovedAtEnd cleanup{{folder.path()}};
    fill(folder);
    for (const QByteArray& name : {Cafe, Ff}) {
        SCOPED_TRACE(name.toHex().toStdString());
        frmVedra& w = start(decodeFileName(name));  // named as from the current folder
        EXPECT_TRUE(w.lblDisplay.Caption().startsWith(
            QStringLiteral(" %1 byte  W20 x H10").arg(original_[name].size())))
            << w.lblDisplay.Caption().toStdString();
        EXPECT_EQ(prompts(), Prompts{});
        program.reset();
    }
    frmVedra& w = startListing();
    scripted.messageBox.answers = {No, No};
    QTimer::singleShot(0, [this] { program->frmSaveHtml().cmdOK.click(); });
    w.mnuHtml.click();
    const QByteArray document = bytesOf(folder.file("PicList.htm"));
    for (const QByteArray& name : {Cafe, Ff}) {
        const QByteArray line = "<IMG SRC=\"" + name + "\"><BR>" + name + " (" +
                                QByteArray::number(original_[name].size()) + " byte)<P>\r\n";
        EXPECT_TRUE(document.contains(line)) << name.toHex().constData();
    }
    EXPECT_EQ(filesIn(folder.path()).size(), 4u);  // a.jpg, the two and PicList.htm
}
