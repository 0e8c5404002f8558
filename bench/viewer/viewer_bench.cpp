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
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
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
#include "ScriptedServices.h"
#include "core/Program.h"
#include "core/frmVedra.h"
#include "viewing/frmFS.h"

namespace {

long residentKiB() {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

QString makeJpeg(const QString& folder, const QString& name, int width, int height) {
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
    image.save(path, "jpeg", 90);
    return path;
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
    const QSize area(365, 243);  // 6000 x 4000 fitted to the 365-pixel-wide area

    std::printf("\n24 MP baseline JPEG (6000 x 4000), median of %d runs:\n", runs);
    const double djpeg = medianMs(runs, [&] {
        djpegTool.run({"-scale", "1/8", "-outfile", "/dev/null", big24});
    });
    const double qtScaled = medianMs(runs, [&] {
        QImageReader reader(big24);
        reader.setScaledSize(area);
        reader.read();
    });
    const double fullThenScale = medianMs(runs, [&] {
        const QImage scaled =
            QImage(big24).scaled(area, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        (void)scaled;
    });

    testing_support::ScriptedServices scripted;
    QDir::setCurrent(pictures);
    Program program(scripted.services());
    frmVedra& w = program.frmVedra();
    w.TipoImmagine.setListIndex(0);
    auto selectAndPaint = [&](int mode, int index) {
        w.Dimensioni.setListIndex(mode);
        return medianMs(runs, [&] {
            w.File1.setListIndex(-1);
            w.File1.setListIndex(index);
            w.Picture1.widget()->grab();  // paint as the screen would
        });
    };
    const double fit = selectAndPaint(1, 0);
    const double stretch = selectAndPaint(2, 0);
    const double original = selectAndPaint(0, 0);
    std::printf("  djpeg -scale 1/8 (floor)       %8.1f ms  1.00x\n", djpeg);
    std::printf("  QImageReader setScaledSize     %8.1f ms  %.2fx\n", qtScaled, qtScaled / djpeg);
    std::printf("  full decode then scale         %8.1f ms  %.2fx\n", fullThenScale,
                fullThenScale / djpeg);
    std::printf("  viewer, Resize Maintain Aspect %8.1f ms  %.2fx\n", fit, fit / djpeg);
    std::printf("  viewer, Resize to Window       %8.1f ms  %.2fx\n", stretch, stretch / djpeg);
    std::printf("  viewer, Original Size (cropped)%8.1f ms  %.2fx\n", original, original / djpeg);

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
