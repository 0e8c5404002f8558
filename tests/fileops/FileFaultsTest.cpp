// Refusals of the file system during copy and move: each is reported, and afterwards every
// file has its old bytes, nothing is half-written, no temporary is left.
#include <QFileInfo>
#include <QProcess>

#include "FileOpsFixture.h"
#include "SmallVolume.h"

using platform::MsgBoxAnswer::Yes;
using testing_support::noise;
using testing_support::SmallVolume;

using FileFaultsTest = FileOpsTest;

// Each refusal, for copy and for move: one report naming both files and the reason, every
// file of both folders as it was, the list as it was. Cancel is no failure to report.
TEST_F(FileFaultsTest, ARefusedCopyOrMoveIsReportedAndChangesNoFile) {
    struct Place {
        testing_support::PictureFolder source, target;
        SmallVolume disk{"size=4m"};
    };
    enum Target { Folder, Disk, Source, Missing };  // Missing: chosen with a final slash
    struct Case {
        const char* name;
        Target target;
        std::function<void(Place&)> prepare;
        const char* reason;  // null: no report
        bool onlyMove = false;
    };
    using namespace platform::ErrorNumber;
    const Case cases[] = {
        {"a read-only disk", Disk, [](Place& p) { p.disk.makeReadOnly(); },
         "The disk is read-only."},
        {"a vanished source", Folder, [](Place& p) { QFile::remove(p.source.file("a.jpg")); },
         "The file or folder does not exist."},
        {"a missing target folder", Missing, nullptr, "The folder does not exist."},
        {"the file itself, overwritten", Source, nullptr,
         "The source and the target are the same file."},
        {"a full disk", Folder, [this](Place&) { files.nextFailure = DiskFull; },
         "There is not enough free space on the disk."},
        {"Cancel in the progress window", Folder,
         [this](Place&) { files.nextFailure = DialogCancelled; }, nullptr},
        // The picture cannot leave its folder (an immutable file, as on a locked card) and
        // the target, on another disk, has a picture of that name the user agrees to replace.
        {"an immutable source over a file on another disk", Disk,
         [](Place& p) {
             testing_support::writeFile(p.disk.file("a.jpg"), "the other picture");
             QProcess::execute("chattr", {"+i", p.source.file("a.jpg")});
         },
         "Permission denied.", true},
    };
    for (const Case& c : cases)
        for (bool move : {false, true}) {
            if (c.onlyMove && !move)
                continue;
            SCOPED_TRACE(std::string(move ? "move: " : "copy: ") + c.name);
            Place p;
            if (!p.disk.mounted())
                GTEST_SKIP() << "mounting a tmpfs and making a file immutable need root";
            QDir::setCurrent(p.source.path());
            const QString a = p.source.addBytes("a.jpg", noise(4000));
            p.source.addBytes("b.jpg", noise(100));
            frmVedra& w = startListing();
            w.File1.setListIndex(0);
            const QString chosen = c.target == Disk      ? p.disk.path()
                                   : c.target == Source  ? p.source.path()
                                   : c.target == Missing ? p.target.file("gone") + "/"
                                                         : p.target.path();
            if (c.prepare)
                c.prepare(p);
            chooseTarget(chosen);
            const Files sourceBefore = filesIn(p.source.path()), targetBefore = filesIn(chosen);
            scripted.messageBox.prompts.clear();
            scripted.messageBox.answers = {Yes};  // to a question whether to overwrite

            (move ? w.mnuMoveFile : w.mnuCopyFile).click();

            if (c.onlyMove)
                QProcess::execute("chattr", {"-i", a});
            Prompts expected;
            if (QFileInfo::exists(QDir(chosen).filePath("a.jpg")))
                expected.push_back(question(OverwriteQuestion + a));
            if (c.reason)
                expected.push_back(report(QString(move ? "Cannot move \"" : "Cannot copy \"") + a +
                                          "\"\nto \"" + QDir::cleanPath(chosen) + "/a.jpg\".\n" +
                                          c.reason));
            EXPECT_EQ(prompts(), expected);
            EXPECT_EQ(filesIn(p.source.path()), sourceBefore);
            EXPECT_EQ(filesIn(chosen), targetBefore);
            EXPECT_EQ(w.File1.ListIndex(), 0);
            EXPECT_EQ(w.File1.ListCount(), 2);
            program.reset();
        }
}
