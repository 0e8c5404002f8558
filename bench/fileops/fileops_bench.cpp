// How much the safe copy and move of the file operations cost against the system's own
// tools, measured in the same run on the same files:
//   copy of a big file on one disk      vs  `cp` followed by `sync FILE` (both end on disk)
//   move of a big file to another disk  vs  `mv` (needs root to mount a tmpfs; else skipped)
// A missing reference tool stops the benchmark.
#include <sys/mount.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "ReferenceTool.h"
#include "platform/linux/LocalFileSystem.h"

namespace {

double medianMs(int runs, const std::function<void()>& prepare, const std::function<void()>& run) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void writeNoise(const QString& path, qint64 megabytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 i = 0; i < megabytes; ++i) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(block.data()),
                                              block.size() / 4);
        file.write(block);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const ReferenceTool cp(QStringLiteral("cp"), "coreutils");
    const ReferenceTool sync(QStringLiteral("sync"), "coreutils");
    const ReferenceTool mv(QStringLiteral("mv"), "coreutils");
    const int runs = 5;
    platform::LocalFileSystem files;
    QTemporaryDir disk;
    const QString source = disk.filePath("big.jpg");
    const QString target = disk.filePath("copy.jpg");
    writeNoise(source, 256);

    const auto removeTarget = [&] { QFile::remove(target); };
    const double copied = medianMs(runs, removeTarget, [&] {
        cp.run({source, target});
        sync.run({target});
    });
    const double safe =
        medianMs(runs, removeTarget, [&] { files.CopyFile(source, target, false); });
    std::printf("copy 256 MB on one disk\n");
    std::printf("  cp + sync FILE (reference)   %8.1f ms  1.00x\n", copied);
    std::printf("  safe copy                    %8.1f ms  %.2fx\n", safe, safe / copied);

    QTemporaryDir other;
    const bool mounted =
        ::mount("tmpfs", QFile::encodeName(other.path()).constData(), "tmpfs", 0, "size=300m") == 0;
    if (!mounted) {
        std::printf("move to another disk: skipped (mounting a tmpfs needs root)\n");
        return 0;
    }
    const QString moved = other.path() + "/big.jpg";
    const auto putBack = [&] {
        QFile::remove(moved);
        if (!QFile::exists(source))
            writeNoise(source, 128);
    };
    QFile::remove(source);
    const double moveTime = medianMs(runs, putBack, [&] { mv.run({source, moved}); });
    const double safeMove = medianMs(runs, putBack, [&] { files.MoveFile(source, moved, false); });
    std::printf("move 128 MB to another disk (tmpfs)\n");
    std::printf("  mv (reference)               %8.1f ms  1.00x\n", moveTime);
    std::printf("  safe move                    %8.1f ms  %.2fx\n", safeMove, safeMove / moveTime);
    ::umount2(QFile::encodeName(other.path()).constData(), MNT_DETACH);
    return 0;
}
