// How much the safe copy and move of the file operations cost against the system's own
// tools, measured in the same run on the same files:
//   copy of a 2 GiB file on one disk, called from the interface thread as the File menu
//   does, behind its progress window       vs  `cp` followed by `sync FILE` (both end on
//   disk); meanwhile a 20 ms timer of the interface thread measures how late it ever fires
//   move of a big file to another disk      vs  `mv` (needs root to mount a tmpfs; else skipped)
// A missing reference tool stops the benchmark.
// Usage: fileops_bench [FOLDER]   (a folder on the disk to measure; default: the temp folder)
#include <sys/mount.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "ReferenceTool.h"
#include "platform/ProgressWindow.h"
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

// The worst lateness of a 20 ms timer of the interface thread while `run` runs, and
// whether a progress window showed meanwhile.
struct Watch {
    qint64 worstLateMs = 0;
    qint64 worstAtMs = 0;  // when, from the start of the work
    qint64 tookMs = 0;
    bool windowShown = false;
};

Watch watchInterface(const std::function<void()>& run) {
    constexpr int Interval = 20;
    Watch watch;
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (now - last - Interval > watch.worstLateMs) {
            watch.worstLateMs = now - last - Interval;
            watch.worstAtMs = now;
        }
        last = now;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<platform::ProgressWindow*>(widget) && widget->isVisible())
                watch.windowShown = true;
    });
    timer.start(Interval);
    run();
    // The time from the last tick to the end counts as well.
    watch.tookMs = clock.elapsed();
    if (watch.tookMs - last - Interval > watch.worstLateMs) {
        watch.worstLateMs = watch.tookMs - last - Interval;
        watch.worstAtMs = watch.tookMs;
    }
    return watch;
}

// Runs a reference tool while the interface thread's event loop keeps running, so that its
// timer measures the machine, not a blocked thread.
void runWhileLooping(const ReferenceTool& tool, const QStringList& arguments) {
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    process.start(tool.path(), arguments);
    loop.exec();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        tool.run(arguments);  // stops the benchmark with the reason
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const ReferenceTool cp(QStringLiteral("cp"), "coreutils");
    const ReferenceTool sync(QStringLiteral("sync"), "coreutils");
    const ReferenceTool mv(QStringLiteral("mv"), "coreutils");
    const int runs = 3;
    platform::LocalFileSystem files;
    QTemporaryDir disk(argc > 1 ? QString::fromLocal8Bit(argv[1]) + "/fileops-bench-XXXXXX"
                                : QString());
    if (!disk.isValid()) {
        std::fprintf(stderr, "cannot make a folder to measure in\n");
        return 2;
    }
    const QString source = disk.filePath("big.jpg");
    const QString target = disk.filePath("copy.jpg");
    const qint64 megabytes = 2048;
    writeNoise(source, megabytes);

    // The program's own window is on screen while it copies: its fonts are loaded.
    QLabel mainWindow(QStringLiteral("Vedra Viewer"));
    mainWindow.show();
    QApplication::processEvents();

    const auto removeTarget = [&] {
        QFile::remove(target);
        sync.run({});  // neither side pays for the other's dirty pages
    };
    std::vector<double> reference, safe;
    Watch worst;
    qint64 worstIdle = 0;
    // Interleaved, so that both meet the same state of the machine.
    for (int i = 0; i < runs; ++i) {
        Watch idle;  // the same timer while another process copies: the machine's own noise
        reference.push_back(medianMs(1, removeTarget, [&] {
            idle = watchInterface([&] {
                runWhileLooping(cp, {source, target});
                runWhileLooping(sync, {target});
            });
        }));
        Watch watch;
        safe.push_back(medianMs(1, removeTarget, [&] {
            watch = watchInterface([&] { files.CopyFile(source, target, false); });
        }));
        std::printf(
            "  run %d: cp + sync %.1f ms, safe copy %.1f ms, timer late by %lld ms "
            "(at %lld of %lld ms; by %lld ms during cp)\n",
            i + 1, reference.back(), safe.back(), static_cast<long long>(watch.worstLateMs),
            static_cast<long long>(watch.worstAtMs), static_cast<long long>(watch.tookMs),
            static_cast<long long>(idle.worstLateMs));
        worstIdle = std::max(worstIdle, idle.worstLateMs);
        worst.worstLateMs = std::max(worst.worstLateMs, watch.worstLateMs);
        worst.windowShown = worst.windowShown || watch.windowShown;
    }
    std::sort(reference.begin(), reference.end());
    std::sort(safe.begin(), safe.end());
    const double copied = reference[runs / 2];
    const double safeCopy = safe[runs / 2];
    std::printf("copy 2 GiB on one disk, median of %d\n", runs);
    std::printf("  cp + sync FILE (reference)   %8.1f ms  1.00x\n", copied);
    std::printf("  safe copy, progress window   %8.1f ms  %.2fx  (target: at most 1.10x)\n",
                safeCopy, safeCopy / copied);
    std::printf(
        "  interface timer late by at most %lld ms (target: at most 100 ms; the same "
        "timer while cp ran: %lld ms); progress window %s\n",
        static_cast<long long>(worst.worstLateMs), static_cast<long long>(worstIdle),
        worst.windowShown ? "shown" : "NOT shown");
    QFile::remove(target);

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
    const double moveTime = medianMs(5, putBack, [&] { mv.run({source, moved}); });
    const double safeMove = medianMs(5, putBack, [&] { files.MoveFile(source, moved, false); });
    std::printf("move 128 MB to another disk (tmpfs)\n");
    std::printf("  mv (reference)               %8.1f ms  1.00x\n", moveTime);
    std::printf("  safe move                    %8.1f ms  %.2fx\n", safeMove, safeMove / moveTime);
    ::umount2(QFile::encodeName(other.path()).constData(), MNT_DETACH);
    return 0;
}
