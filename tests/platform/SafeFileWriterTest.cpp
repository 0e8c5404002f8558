// Writing, copying and moving whole files: what every folder holds afterwards, for work that
// succeeds, for each kind of refusal at each step, for Cancel, and for a program killed in
// the middle of a copy.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>

#include "FileBytes.h"
#include "SmallVolume.h"
#include "platform/FileName.h"
#include "platform/ProgressWindow.h"
#include "platform/RuntimeError.h"
#include "platform/linux/SafeFileTransfer.h"
#include "platform/linux/SafeFileWriter.h"

using platform::SafeFileWriter;
using platform::writeFileSafely;
using testing_support::SmallVolume;
using namespace platform::ErrorNumber;
using testing_support::errorOf;
using testing_support::Files;
using testing_support::filesIn;
using testing_support::noise;
using testing_support::writeFile;

namespace {

QStringList namesIn(const QString& folder) {
    QStringList names;
    for (const auto& entry : filesIn(folder))
        names << QString::fromLatin1(entry.first);
    return names;
}

// Progress that lets a test act at a point of the work, and cancel it.
class ScriptedProgress : public platform::WorkProgress {
  public:
    std::function<void(qint64 done)> onAdvance;
    bool cancel = false;
    qint64 last = 0;
    void advance(qint64 done) override {
        last = done;
        if (onAdvance)
            onAdvance(done);
    }
    bool cancelled() const override { return cancel; }
};

// Makes a file immutable or ordinary again.
void setImmutable(const QString& path, bool on) {
    QProcess::execute("chattr", {on ? "+i" : "-i", path});
}

}  // namespace

TEST(SafeFileWriter, WritesTheWholeFileOrLeavesTheFolderAsItWas) {
    const QByteArray fresh = "new bytes\r\n", old = "old bytes";
    const QByteArray foreign = "caf\xe9\xff.bmp";
    struct Case {
        const char* name;
        std::function<void(const QString& dir)> prepare;
        QByteArray target;  // relative to the folder
        int error;          // 0: written
        int mode;           // of the target afterwards; 0: not looked at
        Files after;
    };
    const mode_t previousMask = ::umask(027);
    const std::vector<Case> cases = {
        {"a new file gets the permissions the umask leaves", nullptr, "a.txt", 0, 0640,
         Files{{"a.txt", fresh}}},
        {"a replaced file keeps its permissions",
         [&](const QString& dir) { writeFile(dir + "/a.txt", old, 0604); }, "a.txt", 0, 0604,
         Files{{"a.txt", fresh}}},
        {"a link is written through and stays a link",
         [&](const QString& dir) {
             writeFile(dir + "/real.txt", old);
             ::symlink("real.txt", QFile::encodeName(dir + "/link.txt").constData());
         },
         "link.txt", 0, 0, Files{{"link.txt", "link to real.txt"}, {"real.txt", fresh}}},
        {"a name that is not UTF-8 is written byte for byte", nullptr, foreign, 0, 0,
         Files{{foreign, fresh}}},
        {"a missing folder", nullptr, "gone/a.txt", 76, 0, Files{}},
        {"a folder of that name", [](const QString& dir) { QDir(dir).mkdir("a.txt"); }, "a.txt", 75,
         0, Files{{"a.txt", "<folder>"}}},
        {"a name ending in a slash", nullptr, "a.txt/", 75, 0, Files{}},
    };
    for (bool unnamed : {true, false}) {
        platform::setUnnamedTemporaries(unnamed);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (unnamed ? "" : " (named temporary)"));
            QTemporaryDir dir;
            testing_support::FilesRemovedAtEnd cleanup{{dir.path()}};
            if (c.prepare)
                c.prepare(dir.path());
            const QString target = dir.path() + "/" + platform::decodeFileName(c.target);
            EXPECT_EQ(errorOf([&] { writeFileSafely(target, fresh); }), c.error);
            EXPECT_EQ(filesIn(dir.path()), c.after);
            struct stat status {};
            if (c.mode) {
                ::stat(QFile::encodeName(target).constData(), &status);
                EXPECT_EQ(int(status.st_mode & 07777), c.mode);
            }
        }
    }
    platform::setUnnamedTemporaries(true);
    ::umask(previousMask);
}

// Copy, move across disks and Save As, each stopped at one step by a refusal of the file
// system or by Cancel: afterwards the source and the old target have their bytes and their
// names, and neither folder holds anything new. A copy or move that succeeds keeps the times.
TEST(SafeFileTransfer, EveryFailedStepLeavesEveryFileAsItWas) {
    enum Op { Copy, Move, Save };
    struct Volumes {
        SmallVolume source{"size=64m"};
        SmallVolume target;
        explicit Volumes(const char* targetSize) : target(targetSize) {}
    };
    struct Case {
        const char* name;
        Op op;
        bool targetExists;
        const char* targetSize;
        std::function<void(Volumes&)> before;                         // or null
        std::function<void(Volumes&, ScriptedProgress&, qint64)> at;  // every step, or null
        int error;
    };
    const qint64 size = qint64(24) << 20;  // three steps of the copy
    const auto cancelHalfWay = [](Volumes&, ScriptedProgress& p, qint64 done) {
        p.cancel = done >= (qint64(8) << 20);
    };
    const auto sourceReadOnlyWhenCopied = [size](Volumes& v, ScriptedProgress&, qint64 done) {
        if (done == size)
            v.source.makeReadOnly();  // after the early check: the source cannot go
    };
    const std::vector<Case> cases = {
        {"move onto an existing name from a read-only disk", Move, true, "size=64m",
         [](Volumes& v) { v.source.makeReadOnly(); }, nullptr, PermissionDenied},
        {"move of an immutable file onto an existing name", Move, true, "size=64m",
         [](Volumes& v) { setImmutable(v.source.file("a.jpg"), true); }, nullptr, PermissionDenied},
        {"move onto an existing name whose source cannot go once copied", Move, true, "size=64m",
         nullptr, sourceReadOnlyWhenCopied, PermissionDenied},
        {"move to a new name whose source cannot go once copied", Move, false, "size=64m", nullptr,
         sourceReadOnlyWhenCopied, PermissionDenied},
        {"move onto an existing name on a full disk", Move, true, "size=16m", nullptr, nullptr,
         DiskFull},
        {"copy onto an existing name on a full disk", Copy, true, "size=16m", nullptr, nullptr,
         DiskFull},
        {"Save As over an existing file on a full disk", Save, true, "size=16m", nullptr, nullptr,
         DiskFull},
        {"copy into a read-only disk", Copy, true, "size=64m",
         [](Volumes& v) { v.target.makeReadOnly(); }, nullptr, PermissionDenied},
        {"move cancelled half way", Move, true, "size=64m", nullptr, cancelHalfWay,
         DialogCancelled},
        {"copy cancelled half way", Copy, true, "size=64m", nullptr, cancelHalfWay,
         DialogCancelled},
        {"Save As cancelled half way", Save, true, "size=64m", nullptr, cancelHalfWay,
         DialogCancelled},
        {"a move that succeeds", Move, true, "size=64m", nullptr, nullptr, 0},
        {"a copy that succeeds", Copy, false, "size=64m", nullptr, nullptr, 0},
    };
    const QByteArray data = noise(size);
    const QByteArray old = noise(1000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Volumes v(c.targetSize);
        if (!v.source.mounted() || !v.target.mounted())
            GTEST_SKIP() << "mounting a tmpfs needs root";
        const QString source = v.source.file("a.jpg");
        const QString target = v.target.file("a.jpg");
        writeFile(source, data);
        if (c.targetExists)
            writeFile(target, old);
        const QDateTime changed = QFileInfo(source).lastModified();
        const auto sourceBefore = filesIn(v.source.path());
        const auto targetBefore = filesIn(v.target.path());
        if (c.before)
            c.before(v);
        ScriptedProgress progress;
        if (c.at)
            progress.onAdvance = [&](qint64 done) { c.at(v, progress, done); };
        const int error = errorOf([&] {
            if (c.op == Copy)
                platform::copyFileSafely(source, target, c.targetExists, progress);
            else if (c.op == Move)
                platform::moveFileSafely(source, target, c.targetExists, progress);
            else {
                SafeFileWriter file(target);
                file.write(data.constData(), data.size(), progress);
                file.commit();
            }
        });
        EXPECT_EQ(error, c.error);
        setImmutable(source, false);
        if (c.error != 0) {
            EXPECT_EQ(filesIn(v.source.path()), sourceBefore);
            EXPECT_EQ(filesIn(v.target.path()), targetBefore);
        } else {
            EXPECT_EQ(filesIn(v.target.path()), (Files{{"a.jpg", data}}));
            EXPECT_EQ(QFileInfo(target).lastModified(), changed);
            EXPECT_EQ(namesIn(v.source.path()),
                      c.op == Move ? QStringList() : QStringList{"a.jpg"});
            EXPECT_EQ(progress.last, size);
        }
    }
}

// A copy killed half way leaves nothing in the target folder where the file system has
// unnamed files; elsewhere it leaves one hidden temporary, which the next run's first write
// into that folder removes (only that one: not another user's, not a live writer's, not a
// file of another name).
TEST(SafeFileTransfer, AKilledCopyLeavesNothingBehind) {
    QTemporaryDir sourceDir;
    const QString source = sourceDir.filePath("big.jpg");
    writeFile(source, noise(qint64(40) << 20));
    for (bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed temporary" : "named temporary");
        QTemporaryDir targetDir;
        writeFile(targetDir.filePath("kept.jpg"), "kept");
        int toParent[2];
        ASSERT_EQ(::pipe(toParent), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The helper: copies through the same code and stops after its first step.
            platform::setUnnamedTemporaries(unnamed);
            ScriptedProgress progress;
            progress.onAdvance = [&](qint64) {
                (void)!::write(toParent[1], "1", 1);
                ::pause();  // killed here
            };
            try {
                platform::copyFileSafely(source, targetDir.filePath("big.jpg"), false, progress);
            } catch (...) {
            }
            ::_exit(0);
        }
        char c = 0;
        ASSERT_EQ(::read(toParent[0], &c, 1), 1);  // the copy is under way
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
        ::close(toParent[0]);
        ::close(toParent[1]);

        QStringList left = namesIn(targetDir.path());
        if (unnamed) {
            EXPECT_EQ(left, QStringList{"kept.jpg"});
            continue;
        }
        ASSERT_EQ(left.size(), 2);
        const QString leftover = left.filter(".vedra-write-").value(0);
        ASSERT_FALSE(leftover.isEmpty());
        // Seen by a later run: the leftover is older than it. Beside it, files the sweep
        // must keep: another user's, a live writer's, one of another name.
        const QString stale = targetDir.filePath(leftover);
        for (const QString& name : {leftover, QString(".vedra-write-other"),
                                    QString(".vedra-write-busy"), QString(".vedra-writer-notes")}) {
            if (name != leftover)
                writeFile(targetDir.filePath(name), "kept");
            const struct timespec longAgo[2] = {{1, 0}, {1, 0}};
            ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(targetDir.filePath(name)).constData(),
                                  longAgo, 0),
                      0);
        }
        const int busy = ::open(
            QFile::encodeName(targetDir.filePath(".vedra-write-busy")).constData(), O_RDONLY);
        ASSERT_EQ(::flock(busy, LOCK_EX), 0);
        const bool root =
            ::geteuid() == 0 &&
            ::chown(QFile::encodeName(targetDir.filePath(".vedra-write-other")).constData(), 65534,
                    65534) == 0;
        platform::setUnnamedTemporaries(true);
        writeFileSafely(targetDir.filePath("new.jpg"), "new");
        QStringList expected = {".vedra-write-busy", ".vedra-writer-notes", "kept.jpg", "new.jpg"};
        if (root)
            expected.insert(1, ".vedra-write-other");
        EXPECT_EQ(namesIn(targetDir.path()), expected);
        EXPECT_FALSE(QFileInfo::exists(stale));
        ::close(busy);
    }
    platform::setUnnamedTemporaries(true);
}
