// Writing a whole file under a temporary name: what the folder holds afterwards, for a
// write that succeeds and for each kind of refusal.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include "SmallVolume.h"
#include "platform/RuntimeError.h"
#include "platform/linux/SafeFileWriter.h"

using platform::SafeFileWriter;
using platform::writeFileSafely;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes, int mode = 0644) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    ::chmod(QFile::encodeName(path).constData(), mode_t(mode));
}

int modeOf(const QString& path) {
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return int(status.st_mode & 07777);
}

// Every name in the folder, hidden ones included: a left temporary file shows here.
QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

int errorOf(const std::function<void()>& write) {
    try {
        write();
    } catch (const platform::RuntimeError& error) {
        return error.number();
    }
    return 0;
}

}  // namespace

TEST(SafeFileWriter, WritesTheWholeFileOrLeavesTheFolderAsItWas) {
    const QByteArray fresh = "new bytes\r\n";
    const QByteArray old = "old bytes";
    struct Case {
        const char* name;
        std::function<void(const QString& dir)> prepare;
        QString target;  // relative to the folder
        int error;       // 0: written
        QStringList namesAfter;
        std::function<void(const QString& dir)> check;
    };
    const mode_t previousMask = ::umask(027);
    const std::vector<Case> cases = {
        {"a new file gets the permissions the umask leaves",
         [](const QString&) {},
         "a.txt",
         0,
         {"a.txt"},
         [&](const QString& dir) {
             EXPECT_EQ(bytesOf(dir + "/a.txt"), fresh);
             EXPECT_EQ(modeOf(dir + "/a.txt"), 0640);
         }},
        {"a replaced file keeps its permissions",
         [&](const QString& dir) { put(dir + "/a.txt", old, 0604); },
         "a.txt",
         0,
         {"a.txt"},
         [&](const QString& dir) {
             EXPECT_EQ(bytesOf(dir + "/a.txt"), fresh);
             EXPECT_EQ(modeOf(dir + "/a.txt"), 0604);
         }},
        {"a link is written through and stays a link",
         [&](const QString& dir) {
             put(dir + "/real.txt", old);
             QFile::link(dir + "/real.txt", dir + "/link.txt");
         },
         "link.txt",
         0,
         {"link.txt", "real.txt"},
         [&](const QString& dir) {
             EXPECT_TRUE(QFileInfo(dir + "/link.txt").isSymLink());
             EXPECT_EQ(bytesOf(dir + "/real.txt"), fresh);
         }},
        {"a missing folder", [](const QString&) {}, "gone/a.txt", 76, {}, {}},
        {"a folder of that name",
         [](const QString& dir) { QDir(dir).mkdir("a.txt"); },
         "a.txt",
         75,
         {"a.txt"},
         [](const QString& dir) { EXPECT_TRUE(QFileInfo(dir + "/a.txt").isDir()); }},
        {"a name ending in a slash", [](const QString&) {}, "a.txt/", 75, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        c.prepare(dir.path());
        EXPECT_EQ(errorOf([&] { writeFileSafely(dir.filePath(c.target), fresh); }), c.error);
        EXPECT_EQ(namesIn(dir.path()), c.namesAfter);
        if (c.check)
            c.check(dir.path());
    }
    ::umask(previousMask);
}

TEST(SafeFileWriter, AFileNotCommittedOrRefusedLeavesTheOldBytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    put(path, "old bytes");
    {
        SafeFileWriter writer(path);
        writer.write("half of it");
    }  // dropped before commit
    EXPECT_EQ(namesIn(dir.path()), QStringList{"a.txt"});
    EXPECT_EQ(bytesOf(path), "old bytes");

    // A read-only disk, or without root a file the user may not write.
    testing_support::SmallVolume disk("size=64k");
    QString refused = path;
    if (disk.mounted()) {
        put(disk.file("a.txt"), "old bytes");
        disk.makeReadOnly();
        refused = disk.file("a.txt");
    } else if (::geteuid() != 0) {
        ::chmod(QFile::encodeName(path).constData(), 0444);
    } else {
        GTEST_SKIP() << "root writes any file and cannot mount here";
    }
    EXPECT_EQ(errorOf([&] { writeFileSafely(refused, "new bytes"); }),
              platform::ErrorNumber::PermissionDenied);
    EXPECT_EQ(bytesOf(refused), "old bytes");
    EXPECT_EQ(namesIn(QFileInfo(refused).path()), QStringList{"a.txt"});
}
