// Refusals of the file system during copy, move, rename and the writing of a whole file: each is
// reported, and afterwards every file has its old bytes, nothing is half-written, no temporary
// is left.
#include <unistd.h>

#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "FileOpsFixture.h"
#include "SmallVolume.h"
#include "platform/TextOutputFile.h"

using fileops_testing::bytesOf;
using fileops_testing::contentsOf;
using platform::MsgBoxAnswer::Yes;

using testing_support::SmallVolume;

namespace {

QByteArray noise(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

}  // namespace

class FileFaultsTest : public FileOpsTest {
  protected:
    // A folder holding a.jpg (the selected picture, `size` bytes of noise) and b.jpg.
    frmVedra& startWithPicture(int size) {
        a_ = noise(size);
        b_ = noise(100);
        folder.addBytes("a.jpg", a_);
        folder.addBytes("b.jpg", b_);
        frmVedra& w = startBrowsing();
        w.File1.setListIndex(0);
        return w;
    }
    void expectSourceFolderUntouched() {
        const auto now = contentsOf(folder.path());
        EXPECT_EQ(now.size(), 2);
        EXPECT_EQ(now.value("a.jpg"), a_);
        EXPECT_EQ(now.value("b.jpg"), b_);
    }
    void expectOneReport(const QString& what, const QString& reason) {
        ASSERT_EQ(prompts().size(), 1u);
        EXPECT_EQ(prompts()[0].text, what + "\n" + reason);
        EXPECT_EQ(prompts()[0].style, 0);
        EXPECT_EQ(prompts()[0].title, "Vedra Viewer");
    }
    QString copyText(const QString& targetFolder) const {
        return "Cannot copy \"" + folder.file("a.jpg") + "\"\nto \"" + targetFolder + "/a.jpg\".";
    }
    QString moveText(const QString& targetFolder) const {
        return "Cannot move \"" + folder.file("a.jpg") + "\"\nto \"" + targetFolder + "/a.jpg\".";
    }
    QByteArray a_, b_;
};

TEST_F(FileFaultsTest, AWholeFileWrittenOntoAFullDiskFailsAndKeepsTheOldFile) {
    // Every way the viewer writes a whole file, each more than the disk can hold; each
    // reports what happened: a prompt for the form, the error for the calls.
    struct Case {
        const char* name;
        std::function<QString(const QString& path)> write;
        QString expected;  // %1 is the file's path
    };
    const auto failureOf = [](const std::function<void()>& write) {
        try {
            write();
        } catch (const platform::RuntimeError& error) {
            return QString::number(error.number()) + " " + error.what();
        }
        return QStringLiteral("no error");
    };
    const QString diskFull = "there is not enough free space on the disk";
    folder.addPicture("big.jpg", 400, 300);  // about 360 KB as a bitmap
    const std::vector<Case> cases = {
        {"Save As",
         [&](const QString& path) {
             frmVedra& w = startBrowsing();
             w.File1.setListIndex(0);
             scripted.messageBox.prompts.clear();
             saveDialog.answers = {path};
             w.mnuSaveAs.click();
             program.reset();
             return prompts().size() == 1 ? prompts()[0].text : QStringLiteral("no prompt");
         },
         "Cannot save the picture as \"%1\".\nThere is not enough free space on the disk."},
        {"WriteTextFile",
         [&](const QString& path) {
             return failureOf([&] { files.WriteTextFile(path, noise(200 * 1024)); });
         },
         "61 " + diskFull},
        {"a text output file",
         [&](const QString& path) {
             return failureOf([&] {
                 platform::TextOutputFile text(path);
                 for (int i = 0; i < 4000; ++i)
                     text.PrintLine(QString(50, QLatin1Char('x')));
                 text.Close();
             });
         },
         "61 " + diskFull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SmallVolume disk("size=64k");
        if (!disk.mounted())
            GTEST_SKIP() << "mounting a tmpfs needs root";
        const QByteArray old = noise(1000);
        const QString path = disk.file("out.bmp");
        QFile existing(path);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write(old);
        existing.close();

        EXPECT_EQ(c.write(path), QString(c.expected).replace("%1", path));
        const auto onDisk = contentsOf(disk.path());  // hidden files included
        EXPECT_EQ(onDisk.keys(), QStringList{"out.bmp"});
        EXPECT_EQ(onDisk.value("out.bmp"), old);
    }
}

TEST_F(FileFaultsTest, AMoveToAnotherDeviceCopiesWholeThenRemovesTheSource) {
    SmallVolume disk("size=1m");
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    frmVedra& w = startWithPicture(300 * 1024);
    const QDateTime changed = QFileInfo(folder.file("a.jpg")).lastModified();
    chooseTarget(disk.path());
    w.mnuMoveFile.click();
    EXPECT_TRUE(prompts().empty());
    const auto onDisk = contentsOf(disk.path());
    EXPECT_EQ(onDisk.size(), 1);
    EXPECT_EQ(onDisk.value("a.jpg"), a_);
    EXPECT_EQ(QFileInfo(disk.file("a.jpg")).lastModified(), changed);
    EXPECT_EQ(contentsOf(folder.path()).keys(), QStringList{"b.jpg"});
    EXPECT_EQ(w.File1.FileName(), "b.jpg");
}

TEST_F(FileFaultsTest, AReadOnlyTargetFolderRefusesCopyAndMove) {
    SmallVolume disk("size=1m");
    QTemporaryDir plain;
    QString readOnly;
    if (disk.mounted()) {
        disk.makeReadOnly();
        readOnly = disk.path();
    } else if (::geteuid() != 0) {
        QFile::setPermissions(plain.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        readOnly = plain.path();
    } else {
        GTEST_SKIP() << "root ignores folder permissions and cannot mount here";
    }
    frmVedra& w = startWithPicture(5000);
    chooseTarget(readOnly);
    const QString reason = disk.mounted() ? "The disk is read-only." : "Permission denied.";
    for (bool move : {false, true}) {
        SCOPED_TRACE(move ? "move" : "copy");
        scripted.messageBox.prompts.clear();
        (move ? w.mnuMoveFile : w.mnuCopyFile).click();
        expectOneReport(move ? moveText(readOnly) : copyText(readOnly), reason);
        expectSourceFolderUntouched();
        EXPECT_TRUE(contentsOf(readOnly).isEmpty());
        EXPECT_EQ(w.File1.FileName(), "a.jpg");
    }
    QFile::setPermissions(plain.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(FileFaultsTest, AVanishedSourceOrMissingTargetFolderIsReported) {
    struct Case {
        const char* name;
        bool removeSource;
        bool move;
        const char* reason;
    };
    for (const Case& c :
         {Case{"copy of a vanished file", true, false, "The file or folder does not exist."},
          Case{"move of a vanished file", true, true, "The file or folder does not exist."},
          Case{"copy into a missing folder", false, false, "The folder does not exist."}}) {
        SCOPED_TRACE(c.name);
        testing_support::PictureFolder source;
        QDir::setCurrent(source.path());
        source.addBytes("a.jpg", noise(300));
        frmVedra& w = startBrowsing();
        w.File1.setListIndex(0);
        const QString targetFolder = c.removeSource ? target.path() : target.file("gone");
        chooseTarget(targetFolder);
        if (c.removeSource)
            QFile::remove(source.file("a.jpg"));
        scripted.messageBox.prompts.clear();
        (c.move ? w.mnuMoveFile : w.mnuCopyFile).click();
        ASSERT_EQ(prompts().size(), 1u);
        EXPECT_EQ(prompts()[0].text, QString(c.move ? "Cannot move \"" : "Cannot copy \"") +
                                         source.file("a.jpg") + "\"\nto \"" + targetFolder +
                                         "/a.jpg\".\n" + c.reason);
        EXPECT_TRUE(contentsOf(target.path()).isEmpty());
        EXPECT_EQ(w.File1.ListIndex(), 0);  // the list stays as it was
        program.reset();
    }
}

TEST_F(FileFaultsTest, CopyingOrMovingAFileOntoItselfIsRefused) {
    frmVedra& w = startWithPicture(4000);
    chooseTarget(folder.path());
    for (bool move : {false, true}) {
        SCOPED_TRACE(move ? "move" : "copy");
        scripted.messageBox.prompts.clear();
        scripted.messageBox.answers = {Yes};  // "overwrite" the file with itself
        (move ? w.mnuMoveFile : w.mnuCopyFile).click();
        ASSERT_EQ(prompts().size(), 2u);
        EXPECT_EQ(prompts()[1].text, (move ? moveText(folder.path()) : copyText(folder.path())) +
                                         "\nThe source and the target are the same file.");
        expectSourceFolderUntouched();
    }
}

TEST_F(FileFaultsTest, AFailureOrCancelLeavesTheFilesAndTheListAsTheyWere) {
    // A cancelled copy or move (its progress window's Cancel) is no failure to report.
    frmVedra& w = startWithPicture(4000);
    chooseTarget(target.path());
    for (int failure : {platform::ErrorNumber::DiskFull, platform::ErrorNumber::DialogCancelled})
        for (bool move : {false, true}) {
            SCOPED_TRACE(std::string(move ? "move " : "copy ") + std::to_string(failure));
            scripted.messageBox.prompts.clear();
            files.nextFailure = failure;
            (move ? w.mnuMoveFile : w.mnuCopyFile).click();
            if (failure == platform::ErrorNumber::DialogCancelled)
                EXPECT_TRUE(prompts().empty());
            else
                expectOneReport(move ? moveText(target.path()) : copyText(target.path()),
                                "There is not enough free space on the disk.");
            expectSourceFolderUntouched();
            EXPECT_TRUE(contentsOf(target.path()).isEmpty());
            EXPECT_EQ(w.File1.ListIndex(), 0);
            EXPECT_EQ(w.File1.ListCount(), 2);
        }
}

TEST_F(FileFaultsTest, AMoveWhoseSourceCannotGoKeepsTheFileItWouldReplace) {
    // The picture's folder will not let it go (an immutable file, as on a locked card); the
    // target folder, on another disk, has a different picture of that name. The user agrees
    // to replace it; the move is refused and both pictures keep their bytes.
    SmallVolume disk("size=4m");
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs and making a file immutable need root";
    const QByteArray old = noise(1000);
    QFile existing(disk.file("a.jpg"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write(old);
    existing.close();
    frmVedra& w = startWithPicture(300 * 1024);
    chooseTarget(disk.path());
    ASSERT_EQ(QProcess::execute("chattr", {"+i", folder.file("a.jpg")}), 0);
    scripted.messageBox.answers = {Yes};
    w.mnuMoveFile.click();
    QProcess::execute("chattr", {"-i", folder.file("a.jpg")});
    ASSERT_EQ(prompts().size(), 2u);
    EXPECT_EQ(prompts()[1].text, moveText(disk.path()) + "\nPermission denied.");
    expectSourceFolderUntouched();
    EXPECT_EQ(contentsOf(disk.path()), (QMap<QString, QByteArray>{{"a.jpg", old}}));
    EXPECT_EQ(w.File1.ListIndex(), 0);
    EXPECT_EQ(w.File1.ListCount(), 2);
}
