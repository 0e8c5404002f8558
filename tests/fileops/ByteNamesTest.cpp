// File names are bytes: a picture whose name is not UTF-8 (a Latin-1 "café", a 0xFF byte) is
// listed, shown, described, copied, moved, renamed, deleted, written into the HTML list and
// opened from the command line by its own bytes, and shown to the user with replacement
// characters.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <QAbstractItemModel>
#include <QListView>
#include <QTimer>
#include <functional>
#include <set>

#include "FileOpsFixture.h"
#include "fileops/frmRename.h"
#include "html/frmSaveHtml.h"
#include "platform/FileName.h"

using platform::decodeFileName;
using platform::displayFileName;
using platform::MsgBoxAnswer::No;
using platform::MsgBoxAnswer::Yes;

namespace {

// The names in a folder, as the system lists them.
std::set<QByteArray> namesIn(const QString& folder) {
    std::set<QByteArray> names;
    if (DIR* dir = ::opendir(platform::encodeFileName(folder).constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names.insert(name);
        }
        ::closedir(dir);
    }
    return names;
}

QByteArray contentOf(const QString& folder, const QByteArray& name) {
    const int fd = ::open((platform::encodeFileName(folder) + '/' + name).constData(), O_RDONLY);
    QByteArray bytes;
    if (fd < 0)
        return "<missing>";
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, int(got));
    ::close(fd);
    return bytes;
}

// Removes the files of a folder by their bytes (Qt's temporary folder cannot, as it lists
// them by text), so the folder itself can go.
struct FilesRemovedAtEnd {
    std::vector<QString> folders;
    ~FilesRemovedAtEnd() {
        for (const QString& folder : folders) {
            for (const QByteArray& name : namesIn(folder))
                ::unlink((platform::encodeFileName(folder) + '/' + name).constData());
        }
    }
};

// The names: Latin-1 "café" and a byte that is never UTF-8.
const QByteArray Cafe = "caf\xe9.jpg";
const QByteArray Ff = "\xff.jpg";

}  // namespace

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
            original_[name] = contentOf(source.path(), name);
        }
        source.addPicture("a.jpg", 10, 10);
    }
    // The entry of the file list whose name has these bytes; -1 when not listed.
    static int rowOf(frmVedra& w, const QByteArray& name) {
        for (int i = 0; i < w.File1.ListCount(); ++i) {
            if (platform::encodeFileName(w.File1.List(i)) == name)
                return i;
        }
        return -1;
    }
    std::map<QByteArray, QByteArray> original_;
};

TEST_F(ByteNamesTest, EveryFileOperationUsesTheNameByteForByte) {
    const QByteArray renamed = "r\xe9\xff.jpg";
    using Names = std::set<QByteArray>;
    struct Case {
        const char* what;
        std::function<void(frmVedra&, const QByteArray& name)> act;
        // What the source folder and the target folder hold afterwards.
        std::function<Names(const QByteArray& name)> sourceAfter;
        bool copiedToTarget;
    };
    const Names all = {"a.jpg", Cafe, Ff};
    const auto without = [all](const QByteArray& name) {
        Names rest = all;
        rest.erase(name);
        return rest;
    };
    const auto unchanged = [all](const QByteArray&) { return all; };
    const Case cases[] = {
        {"select", [](frmVedra&, const QByteArray&) {}, unchanged, false},
        {"copy", [](frmVedra& w, const QByteArray&) { w.mnuCopyFile.click(); }, unchanged, true},
        {"move", [](frmVedra& w, const QByteArray&) { w.mnuMoveFile.click(); }, without, true},
        {"delete",
         [this](frmVedra& w, const QByteArray&) {
             scripted.messageBox.answers = {Yes};  // "Continue?"
             w.mnuDeleteFile.click();
         },
         without, false},
        {"rename",
         [&](frmVedra& w, const QByteArray& name) {
             whenDialogShows([&, name] {
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
         },
         [&](const QByteArray& name) {
             Names rest = without(name);
             rest.insert(renamed);
             return rest;
         },
         false},
    };
    for (const QByteArray& name : {Cafe, Ff}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " " + name.toHex().toStdString());
            testing_support::PictureFolder source, targetFolder;
            const FilesRemovedAtEnd cleanup{{source.path(), targetFolder.path()}};
            fill(source);
            frmVedra& w = startBrowsing();
            chooseTarget(targetFolder.path());
            scripted.messageBox.prompts.clear();

            // Listed under its bytes, shown with a replacement character.
            const int row = rowOf(w, name);
            ASSERT_GE(row, 0);
            const auto* view = static_cast<QListView*>(w.File1.widget());
            const QString shown = view->model()->index(row, 0).data().toString();
            EXPECT_EQ(shown, displayFileName(decodeFileName(name)));
            EXPECT_TRUE(shown.contains(QChar(QChar::ReplacementCharacter)));

            // Selected: loaded, described, named in the caption as the user reads it.
            w.File1.setListIndex(row);
            EXPECT_FALSE(w.Image1.picture().isEmpty());
            EXPECT_TRUE(w.lblDisplay.Caption().startsWith(
                QStringLiteral(" %1 byte  W20 x H10  Date: ").arg(original_[name].size())))
                << w.lblDisplay.Caption().toStdString();
            EXPECT_EQ(w.Caption(), "Vedra Viewer - " +
                                       displayFileName(source.path() + '/' + decodeFileName(name)));

            c.act(w, name);

            for (const auto& prompt : prompts())
                EXPECT_EQ(prompt.text, "Continue?") << prompt.text.toStdString();
            EXPECT_EQ(namesIn(source.path()), c.sourceAfter(name));
            EXPECT_EQ(namesIn(targetFolder.path()), c.copiedToTarget ? Names{name} : Names{});
            if (c.copiedToTarget) {
                EXPECT_EQ(contentOf(targetFolder.path(), name), original_[name]);
            }
            if (namesIn(source.path()).count(renamed)) {
                EXPECT_EQ(contentOf(source.path(), renamed), original_[name]);
            }
            program.reset();
        }
    }
}

TEST_F(ByteNamesTest, TheHtmlListWritesTheNamesBytesUnchanged) {
    const FilesRemovedAtEnd cleanup{{folder.path()}};
    fill(folder);
    frmVedra& w = startBrowsing();
    scripted.messageBox.answers = {No, No};
    QTimer::singleShot(0, [this] { program->frmSaveHtml().cmdOK.click(); });
    w.mnuHtml.click();

    const QByteArray document = contentOf(folder.path(), "PicList.htm");
    for (const QByteArray& name : {Cafe, Ff}) {
        const QByteArray line = "<IMG SRC=\"" + name + "\"><BR>" + name + " (" +
                                QByteArray::number(original_[name].size()) + " byte)<P>\r\n";
        EXPECT_TRUE(document.contains(line)) << name.toHex().constData();
    }
    EXPECT_TRUE(document.contains("<IMG SRC=\"a.jpg\"><BR>a.jpg ("));
    EXPECT_EQ(namesIn(folder.path()), (std::set<QByteArray>{"a.jpg", Cafe, Ff, "PicList.htm"}));
}

TEST_F(ByteNamesTest, APictureNamedOnTheCommandLineOpensByItsBytes) {
    const FilesRemovedAtEnd cleanup{{folder.path()}};
    fill(folder);
    for (const QByteArray& name : {Cafe, Ff}) {
        SCOPED_TRACE(name.toHex().toStdString());
        frmVedra& w = start(decodeFileName(name));  // named as from the current folder
        EXPECT_FALSE(w.Image1.picture().isEmpty());
        EXPECT_TRUE(w.lblDisplay.Caption().startsWith(
            QStringLiteral(" %1 byte  ").arg(original_[name].size())))
            << w.lblDisplay.Caption().toStdString();
        EXPECT_TRUE(prompts().empty());
        program.reset();
    }
}
