// Timing tool for the main road: how fast a big JPEG appears in each size mode and how fast
// a big folder is listed, each against a reference measured in the same run.
//
//   build/bench/viewer/viewer_bench [--quick]
//
// References: `djpeg -scale 1/8` (the floor for a JPEG fitted to a small area), Qt's
// QImageReader with setScaledSize, a full decode then scale, and a plain
// readdir-filter-sort in C++ for folder listing.
#include <dirent.h>
#include <fnmatch.h>

#include <QApplication>
#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QMainWindow>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "MedianTime.h"
#include "ReferenceTool.h"
#include "ResidentMemory.h"
#include "ScriptedServices.h"
#include "core/Program.h"
#include "core/frmVedra.h"
#include "viewing/frmFS.h"

namespace {

QString makeJpeg(const QString& folder, const QString& name, int width, int height,
                 bool progressive = false) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor(30, 90, 200));
    gradient.setColorAt(0.5, QColor(240, 200, 60));
    gradient.setColorAt(1, QColor(20, 140, 90));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QPen(Qt::white, 9));
    for (int x = 0; x < width; x += 97)
        painter.drawLine(x, 0, width - x, height);
    painter.end();
    const QString path = QDir(folder).filePath(name);
    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return path;
}

// Gives the file a new time of last change, so the viewer takes it for a changed file and
// loads it afresh (as a picture never seen before), with no copy kept from an earlier load.
void touch(const QString& path) {
    static qint64 tick = 0;
    QFile file(path);
    file.open(QIODevice::ReadWrite);
    file.setFileTime(QDateTime::currentDateTime().addMSecs(++tick),
                     QFileDevice::FileModificationTime);
}

QStringList plainListing(const QString& folder) {
    QStringList names;
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    while (const dirent* e = readdir(dir)) {
        if (e->d_name[0] != '.' && e->d_type == DT_REG &&
            fnmatch("*.JPG", e->d_name, FNM_CASEFOLD) == 0)
            names.append(QString::fromUtf8(e->d_name));
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

void fillFolder(const QString& folder, int count) {
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        QFile f(QDir(folder).filePath(QString("img%1.jpg").arg(i, 6, 10, QChar('0'))));
        f.open(QIODevice::WriteOnly);
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = app.arguments().contains("--quick");
    const int runs = quick ? 3 : 7;
    QTemporaryDir work;
    const QString pictures = work.filePath("pictures");
    QDir().mkpath(pictures);
    const ReferenceTool djpegTool(QStringLiteral("djpeg"), "libjpeg-turbo-progs");
    std::printf("Making test pictures...\n");
    const QString big24 = makeJpeg(pictures, "a24mp.jpg", 6000, 4000);
    const QString big48 = makeJpeg(pictures, "b48mp.jpg", 8000, 6000);
    const QString progressive24 = makeJpeg(pictures, "c24mp-progressive.jpg", 6000, 4000, true);
    const QSize area(365, 243);  // 6000 x 4000 fitted to the 365-pixel-wide area

    testing_support::ScriptedServices scripted;
    QDir::setCurrent(pictures);
    platform::PicturePrefetcher readAhead;
    Program program(scripted.services(), readAhead);
    frmVedra& w = program.frmVedra();
    w.TipoImmagine.setListIndex(0);
    // Each load is of a file changed since the last one, so nothing is served from an
    // earlier load: what a user sees selecting a picture for the first time.
    auto selectAndPaint = [&](int mode, int index, const QString& path) {
        w.Dimensioni.setListIndex(mode);
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            w.File1.setListIndex(-1);
            touch(path);
            QElapsedTimer timer;
            timer.start();
            w.File1.setListIndex(index);
            w.Picture1.widget()->grab();  // paint as the screen would
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };

    struct Kind {
        const char* title;
        QString path;
        int index;
    };
    for (const Kind& kind : {Kind{"baseline", big24, 0}, Kind{"progressive", progressive24, 2}}) {
        std::printf("\n24 MP %s JPEG (6000 x 4000), median of %d runs:\n", kind.title, runs);
        const double djpeg = medianMs(runs, [&] {
            djpegTool.run({"-scale", "1/8", "-outfile", "/dev/null", kind.path});
        });
        const double djpegFull = medianMs(runs, [&] {
            djpegTool.run({"-outfile", "/dev/null", kind.path});
        });
        const double qtScaled = medianMs(runs, [&] {
            QImageReader reader(kind.path);
            reader.setScaledSize(area);
            reader.read();
        });
        const double fit = selectAndPaint(1, kind.index, kind.path);
        const double stretch = selectAndPaint(2, kind.index, kind.path);
        const double original = selectAndPaint(0, kind.index, kind.path);
        std::printf("  djpeg -scale 1/8 (floor)       %8.1f ms  1.00x\n", djpeg);
        std::printf("  djpeg full size                %8.1f ms  %.2fx\n", djpegFull,
                    djpegFull / djpeg);
        std::printf("  QImageReader setScaledSize     %8.1f ms  %.2fx\n", qtScaled,
                    qtScaled / djpeg);
        std::printf("  viewer, Resize Maintain Aspect %8.1f ms  %.2fx\n", fit, fit / djpeg);
        std::printf("  viewer, Resize to Window       %8.1f ms  %.2fx\n", stretch, stretch / djpeg);
        std::printf("  viewer, Original Size (cropped)%8.1f ms  %.2fx (%.2fx djpeg full size)\n",
                    original, original / djpeg, original / djpegFull);
        std::printf("  resident memory of the process, shown in Original Size: %ld MiB\n",
                    residentKiB() / 1024);
    }

    // A file of 2 GiB that holds a small JPEG and then nothing of use (a sparse file, so
    // it costs no disk): selecting it should cost what the picture costs.
    {
        const QString huge = QDir(pictures).filePath("d-huge.jpg");
        QFile::copy(makeJpeg(work.path(), "small.jpg", 640, 480), huge);
        QFile hugeFile(huge);
        hugeFile.open(QIODevice::ReadWrite);
        hugeFile.resize(qint64(2) << 30);
        hugeFile.close();
        w.Dimensioni.setListIndex(1);
        w.File1.setListIndex(-1);
        w.File1.Refresh();
        int index = 0;
        while (index < w.File1.ListCount() && w.File1.List(index) != "d-huge.jpg")
            ++index;
        const long before = residentKiB();
        QElapsedTimer timer;
        timer.start();
        w.File1.setListIndex(index);
        w.Picture1.widget()->grab();
        std::printf(
            "\n2 GiB file holding a 640 x 480 JPEG: shown in %.1f ms, resident memory "
            "grew by %ld MiB, %s\n",
            timer.nsecsElapsed() / 1e6, (residentKiB() - before) / 1024,
            w.Image1.picture().isEmpty() ? "FAILED (empty)" : "picture present");
        QFile::remove(huge);
        w.File1.setListIndex(-1);
        w.File1.Refresh();
    }

    // Full screen: the floor is djpeg at the scale that still covers the screen.
    // The full-screen view covers the screen the screen service reports (1280 x 1024 here).
    const QSize screen(scripted.screen.widthPixels, scripted.screen.heightPixels);
    const double djpegScreen = medianMs(runs, [&] {
        djpegTool.run({"-scale", "1/4", "-outfile", "/dev/null", big24});
    });
    w.Dimensioni.setListIndex(1);
    std::vector<double> fullTimes;
    for (int i = 0; i < runs; ++i) {
        w.File1.setListIndex(-1);
        touch(big24);
        w.File1.setListIndex(0);  // a fresh picture, so nothing is cached yet
        w.Picture1.widget()->grab();
        QElapsedTimer timer;
        timer.start();
        w.Image1_Click();  // opens the full-screen view
        const double opened = timer.nsecsElapsed() / 1e6;
        program.frmFS.peek()->window()->grab();
        fullTimes.push_back(timer.nsecsElapsed() / 1e6);
        if (qEnvironmentVariableIsSet("VEDRA_BENCH_DETAIL"))
            std::printf("    full screen: opened %.1f ms, painted %.1f ms\n", opened,
                        fullTimes.back() - opened);
        program.frmFS.peek()->Unload();
        QCoreApplication::processEvents();
    }
    std::sort(fullTimes.begin(), fullTimes.end());
    const double fullScreen = fullTimes[fullTimes.size() / 2];
    std::printf("  full screen %dx%d: djpeg -scale 1/4 %.1f ms, viewer %.1f ms  %.2fx\n",
                screen.width(), screen.height(), djpegScreen, fullScreen, fullScreen / djpegScreen);

    std::printf("\n48 MP JPEG (8000 x 6000):\n");
    w.File1.setListIndex(-1);
    w.Dimensioni.setListIndex(1);
    const long before = residentKiB();
    w.File1.setListIndex(1);
    w.Picture1.widget()->grab();
    const long fitted = residentKiB();
    std::printf("  fitted: resident memory grew by %ld MiB\n", (fitted - before) / 1024);
    QElapsedTimer originalTimer;
    originalTimer.start();
    w.Dimensioni.setListIndex(0);
    w.Picture1.widget()->grab();
    std::printf("  Original Size: shown in %.1f ms, %s\n", originalTimer.nsecsElapsed() / 1e6,
                w.Image1.picture().isEmpty() ? "FAILED (empty)" : "picture present");

    std::printf("\nFolder listing (*.JPG), median of %d runs:\n", runs);
    for (int count : {10000, 100000}) {
        const QString folder = work.filePath(QString("list%1").arg(count));
        fillFolder(folder, count);
        const double plain = medianMs(runs, [&] { plainListing(folder); });
        w.TipoImmagine.setListIndex(2);
        const double viewer = medianMs(runs, [&] {
            w.Dir1.setPath(work.path());
            w.Dir1.setPath(folder);
        });
        std::printf(
            "  %6d files: readdir-filter-sort %7.1f ms, viewer folder change %7.1f ms "
            "(%.2fx)\n",
            count, plain, viewer, viewer / plain);
    }
    return 0;
}
