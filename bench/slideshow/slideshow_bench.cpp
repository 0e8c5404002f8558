// Timing tool for the slide show: a real show at High speed over a folder of large JPEGs
// made at run time, with the real clock and event loop.
//
//   slideshow_bench [--pictures N] [--seconds S] [--width W --height H] [--phase I]
//
// It reports, in every size mode and with the full-screen window opened by a click,
//  - the pause's own processor use: the whole process (getrusage) over the waits in which
//    no window painted, against wall time; in the waits during which the next picture was
//    read ahead, only the interface thread's share counts as the pause's. The reference is
//    a busy-polling pause of the same length;
//  - the reading ahead's processor use, per picture: the worker thread's own time, and what
//    the rest of the process beyond the interface thread spent during those waits (the
//    worker and the threads Qt scales pictures on), also as a share of a core over the run;
//  - how many JPEG decodes each picture shown took, the next one's reading ahead included;
//  - how close each picture appears to its schedule: the time between one picture's first
//    paint and the next, against the one-second pause (a step may begin up to one timer
//    interval, 100 ms, after the previous pause ended).
// --phase I runs only the I-th arrangement (0-5).
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

#include "core/Program.h"
#include "core/frmVedra.h"
#include "platform/JpegDecoder.h"
#include "platform/PictureData.h"
#include "platform/PicturePrefetcher.h"
#include "platform/linux/LinuxServices.h"
#include "platform/services/ApplicationService.h"
#include "platform/services/ClockService.h"
#include "viewing/SlideShowPause.h"
#include "viewing/frmFS.h"

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

// The same for the calling thread alone: the interface thread, without the worker that
// decodes the next picture ahead.
double threadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

// A photo-like JPEG: a gradient with many coloured shapes, so it compresses like a photo.
void makeJpeg(const QString& path, int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor::fromHsv((seed * 47) % 360, 160, 220));
    gradient.setColorAt(1, QColor::fromHsv((seed * 47 + 180) % 360, 200, 90));
    painter.fillRect(image.rect(), gradient);
    QRandomGenerator random(quint32(seed + 1));
    for (int i = 0; i < 3000; ++i) {
        painter.setPen(QColor::fromRgb(random.generate()));
        painter.setBrush(QColor::fromRgba(random.generate() | 0x60000000u));
        const int x = random.bounded(width), y = random.bounded(height);
        painter.drawEllipse(x, y, random.bounded(1, width / 20), random.bounded(1, height / 20));
    }
    painter.end();
    if (!image.save(path, "JPG", 90))
        qFatal("could not write %s", qPrintable(path));
}

// The real clock, measuring the processor and wall time spent in every wait for events.
class MeasuringClock : public platform::ClockService {
  public:
    explicit MeasuringClock(platform::ClockService& real) : real_(real) {}
    // The program's read-ahead, watched during the waits.
    platform::PicturePrefetcher* prefetcher = nullptr;
    float Timer() const override { return real_.Timer(); }
    qint64 monotonicMilliseconds() const override { return real_.monotonicMilliseconds(); }
    void DoEvents() override { real_.DoEvents(); }
    void waitForEvents(int maxMilliseconds) override {
        const double cpu = cpuSeconds();
        const double threadCpu = threadCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        const int paintsBefore = paints;
        const int anyPaintsBefore = anyPaints;
        platform::PicturePrefetcher& ahead = *prefetcher;
        const double aheadCpu = ahead.processorSeconds();
        const bool aheadBefore = ahead.busy();
        real_.waitForEvents(maxMilliseconds);
        const bool aheadAtWork = aheadBefore || ahead.busy() || ahead.processorSeconds() > aheadCpu;
        const double spentCpu = cpuSeconds() - cpu;
        const double spentThreadCpu = threadCpuSeconds() - threadCpu;
        const double spentWall = wall.nsecsElapsed() / 1e9;
        ++waits;
        waitCpu += spentCpu;
        waitWall += spentWall;
        // Waits in which no picture was painted: the pause proper, without the decoding
        // and drawing of the new picture.
        if (paints == paintsBefore) {
            idleCpu += spentCpu;
            idleThreadCpu += spentThreadCpu;
            idleWall += spentWall;
        }
        // The pause alone: the waits in which no window painted. While the next picture was
        // being read ahead, what the process spent beyond the interface thread (the worker
        // and the threads it scales pictures on) was the reading ahead's.
        if (anyPaints == anyPaintsBefore) {
            pauseWall += spentWall;
            if (aheadAtWork) {
                pauseCpu += spentThreadCpu;
                aheadProcessCpu += spentCpu - spentThreadCpu;
            } else {
                pauseCpu += spentCpu;
            }
        }
    }
    void reset() {
        waits = 0;
        waitCpu = waitWall = idleCpu = idleThreadCpu = idleWall = pauseCpu = pauseWall = 0;
        aheadProcessCpu = 0;
    }

    int paints = 0;
    int anyPaints = 0;
    long waits = 0;
    double waitCpu = 0, waitWall = 0, idleCpu = 0, idleThreadCpu = 0, idleWall = 0;
    double pauseCpu = 0, pauseWall = 0, aheadProcessCpu = 0;

  private:
    platform::ClockService& real_;
};

// Notes the first paint of every new picture in the watched image control.
class PaintWatch : public QObject {
  public:
    PaintWatch(MeasuringClock& clock, Program& program) : clock_(clock), program_(program) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint)
            return false;
        ++clock_.anyPaints;
        if (watched != target())
            return false;
        ++clock_.paints;
        const platform::Picture& picture = targetPicture();
        if (!picture.sameAs(last_)) {
            last_ = picture;
            appearances.push_back(timer_.nsecsElapsed() / 1e6);
        }
        return false;
    }
    void watchFullScreen(bool on) { fullScreen_ = on; }
    void restart() {
        appearances.clear();
        last_ = {};
        timer_.start();
    }
    std::vector<double> appearances;  // milliseconds since restart()

  private:
    QObject* target() const {
        if (!fullScreen_)
            return program_.frmVedra().Image1.widget();
        frmFS* fs = program_.frmFS.peek();
        return fs ? fs->Image1.widget() : nullptr;
    }
    platform::Picture targetPicture() const {
        if (!fullScreen_)
            return program_.frmVedra().Image1.picture();
        frmFS* fs = program_.frmFS.peek();
        return fs ? fs->Image1.picture() : platform::Picture();
    }
    MeasuringClock& clock_;
    Program& program_;
    platform::Picture last_;
    QElapsedTimer timer_;
    bool fullScreen_ = false;
};

void runFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

struct AheadUse {
    double processor;  // seconds of the worker threads
    quint64 decodes;   // JPEG decodes in the whole process
};

void reportRun(const char* title, const MeasuringClock& clock, const PaintWatch& watch, double cpu,
               double wall, const AheadUse& use) {
    std::printf("\n%s\n", title);
    const std::size_t shown = std::max<std::size_t>(watch.appearances.size(), 1);
    std::printf("  pause alone    : %.1f s wall, %.4f s processor (%.3f %% of a core)\n",
                clock.pauseWall, clock.pauseCpu,
                100 * clock.pauseCpu / std::max(clock.pauseWall, 1e-9));
    std::printf(
        "  reading ahead  : %.1f ms processor a picture on its worker, %.1f ms in the whole "
        "process during the pause (%.2f %% of a core over the run)\n",
        1000 * use.processor / shown, 1000 * clock.aheadProcessCpu / shown,
        100 * clock.aheadProcessCpu / wall);
    std::printf("  decodes        : %.2f JPEG decodes a picture shown (the next one's included)\n",
                double(use.decodes) / shown);
    std::printf("  whole run      : %.1f s wall, %.3f s processor (%.1f %%)\n", wall, cpu,
                100 * cpu / wall);
    std::printf("  all waits      : %.1f s wall, %.3f s processor (%.1f %%), %ld waits\n",
                clock.waitWall, clock.waitCpu, 100 * clock.waitCpu / clock.waitWall, clock.waits);
    std::printf("  idle waits     : %.1f s wall, %.3f s processor (%.2f %%)\n", clock.idleWall,
                clock.idleCpu, 100 * clock.idleCpu / std::max(clock.idleWall, 1e-9));
    std::printf("    of which the interface thread: %.3f s processor (%.2f %%)\n",
                clock.idleThreadCpu, 100 * clock.idleThreadCpu / std::max(clock.idleWall, 1e-9));
    const std::vector<double>& t = watch.appearances;
    if (t.size() < 3) {
        std::printf("  too few pictures appeared (%zu)\n", t.size());
        return;
    }
    // The first interval includes the start; the schedule is measured from then on.
    std::vector<double> gaps;
    for (std::size_t i = 2; i < t.size(); ++i)
        gaps.push_back(t[i] - t[i - 1]);
    std::vector<double> sorted = gaps;
    std::sort(sorted.begin(), sorted.end());
    const double mean = std::accumulate(gaps.begin(), gaps.end(), 0.0) / gaps.size();
    std::printf(
        "  pictures shown : %zu; time from one picture to the next (schedule: 1000 ms "
        "pause + up to 100 ms to the next timer event):\n",
        t.size());
    std::printf("                   min %.0f ms, median %.0f ms, mean %.0f ms, max %.0f ms\n",
                sorted.front(), sorted[sorted.size() / 2], mean, sorted.back());
    std::printf("  late by        : mean %.0f ms, max %.0f ms after the pause's end\n", mean - 1000,
                sorted.back() - 1000);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int pictures = 8, seconds = 10, width = 6000, height = 4000, only = -1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QByteArray option = argv[i];
        const int value = QByteArray(argv[i + 1]).toInt();
        if (option == "--pictures")
            pictures = value;
        else if (option == "--seconds")
            seconds = value;
        else if (option == "--width")
            width = value;
        else if (option == "--height")
            height = value;
        else if (option == "--phase")
            only = value;
    }

    QTemporaryDir folder;
    std::printf("Making %d JPEGs of %d x %d pixels...\n", pictures, width, height);
    qint64 bytes = 0;
    for (int i = 0; i < pictures; ++i) {
        const QString path =
            folder.filePath(QStringLiteral("photo%1.jpg").arg(i, 2, 10, QChar('0')));
        makeJpeg(path, width, height, i);
        bytes += QFileInfo(path).size();
    }
    std::printf("  %.1f MB in all\n", bytes / 1e6);
    QDir::setCurrent(folder.path());

    // Reference: a pause that polls the event queue instead of sleeping.
    platform::LinuxServices desktop({QStringLiteral("slideshow_bench")},
                                    QStringLiteral("Vedra Viewer"));
    platform::ClockService& realClock = *desktop.services().clock;
    {
        const double cpu = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        const qint64 end = realClock.monotonicMilliseconds() + 2000;
        while (realClock.monotonicMilliseconds() < end)
            realClock.DoEvents();
        const double used = cpuSeconds() - cpu;
        std::printf("\nReference: busy-polling pause of 2 s: %.3f s processor (%.1f %%)\n", used,
                    100 * used / (wall.nsecsElapsed() / 1e9));
    }
    {
        const double cpu = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        const long two = 2;
        slideShowPause(realClock, two);
        const double used = cpuSeconds() - cpu;
        std::printf("The slide-show pause of 2 s alone: %.3f s processor (%.2f %%)\n", used,
                    100 * used / (wall.nsecsElapsed() / 1e9));
    }

    MeasuringClock clock(realClock);
    platform::Services services = desktop.services();
    services.clock = &clock;
    platform::PicturePrefetcher readAhead;
    Program program(services, readAhead);
    clock.prefetcher = &program.prefetcher;
    program.start();
    frmVedra& w = program.frmVedra();
    PaintWatch watch(clock, program);
    app.installEventFilter(&watch);

    struct Phase {
        const char* title;
        int sizeMode;
        bool fullScreen;
        bool openByClick;
    };
    const Phase phases[] = {
        {"Slide show at High, size mode Original Size (the seen part decoded at natural size)", 0,
         false, false},
        {"Slide show at High, picture fitted in the main window (Resize Maintain Aspect)", 1, false,
         false},
        {"Slide show at High, size mode Resize to Window", 2, false, false},
        {"Slide show at High, size mode Full Screen Maintain Aspect (every step refreshes the "
         "full-screen window; the main window beneath it is not drawn)",
         3, true, false},
        {"Slide show at High, size mode Full Screen (the full-screen window opened by the step, "
         "without waiting for it)",
         4, true, false},
        {"Slide show at High, full-screen window opened by a click over the fitted picture "
         "(refreshed by its own timer)",
         1, true, true},
    };
    for (const Phase& phase : phases) {
        if (only >= 0 && &phase - phases != only)
            continue;
        w.File1.setListIndex(-1);
        w.Dimensioni.setListIndex(phase.sizeMode);
        // In the full-screen modes the first step selects the first entry and opens the
        // window; selecting it here would open it modally before the show starts.
        if (phase.sizeMode < 3)
            w.File1.setListIndex(0);
        if (phase.openByClick)
            w.Image1_Click();
        w.imgSpeed3_Click();
        runFor(300);
        watch.watchFullScreen(phase.fullScreen);
        watch.restart();
        clock.reset();
        const double cpu = cpuSeconds();
        const double aheadCpu = program.prefetcher.processorSeconds();
        const quint64 decodes = platform::jpegDecodeCount();
        QElapsedTimer wall;
        wall.start();
        w.cmdSlideShow_Click();
        runFor(seconds * 1000);
        w.cmdSlideShow_Click();
        const double usedCpu = cpuSeconds() - cpu;
        const double usedWall = wall.nsecsElapsed() / 1e9;
        const AheadUse use{program.prefetcher.processorSeconds() - aheadCpu,
                           platform::jpegDecodeCount() - decodes};
        // Let the last pause end before the next phase.
        runFor(1200);
        reportRun(phase.title, clock, watch, usedCpu, usedWall, use);
        if (frmFS* fs = program.frmFS.peek())
            fs->Unload();
        runFor(100);
    }
    app.removeEventFilter(&watch);

    // One step's load and paint on the user-interface thread, with the picture decoded
    // ahead during the pause (as the slide show does) and without.
    w.Dimensioni.setListIndex(1);
    auto timeStep = [&](int index) {
        QElapsedTimer timer;
        timer.start();
        w.File1.setListIndex(index);
        w.Picture1.widget()->repaint();
        return timer.nsecsElapsed() / 1e6;
    };
    std::vector<double> ahead, cold;
    for (int i = 0; i + 1 < w.File1.ListCount() && i < 6; i += 2) {
        w.prefetchEntry(i);
        runFor(1000);  // the pause
        ahead.push_back(timeStep(i));
        cold.push_back(timeStep(i + 1));
    }
    std::sort(ahead.begin(), ahead.end());
    std::sort(cold.begin(), cold.end());
    if (!ahead.empty())
        std::printf(
            "\nOne step's load and paint on the interface thread (median of %zu):\n"
            "  decoded ahead during the pause %.1f ms, decoded in the step %.1f ms\n",
            ahead.size(), ahead[ahead.size() / 2], cold[cold.size() / 2]);
    std::fflush(stdout);
    // Ends at once, as the program does: no window's unload handling runs.
    desktop.services().application->End(0);
}
