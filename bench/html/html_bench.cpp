// Timing tool for the HTML list: how long Ctrl+H takes over a folder of big JPEGs, each
// shown in turn, against the floor of showing each picture once, measured in the same run.
//
//   build/bench/html/html_bench [--quick]
//
// Reference: `djpeg -scale 1/8` on every file (the least work that puts each picture on
// the screen fitted to the viewing area). Without djpeg the benchmark stops.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "MedianTime.h"
#include "ReferenceTool.h"
#include "ScriptedServices.h"
#include "core/Program.h"
#include "core/frmVedra.h"
#include "html/frmSaveHtml.h"

namespace {

void makeJpeg(const QString& path, int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor(30 + seed * 7 % 200, 90, 200));
    gradient.setColorAt(1, QColor(20, 140, 90 + seed * 13 % 150));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QPen(Qt::white, 9));
    for (int x = 0; x < width; x += 97)
        painter.drawLine(x, 0, width - x, height);
    painter.end();
    image.save(path, "jpeg", 90);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const ReferenceTool djpeg(QStringLiteral("djpeg"), "libjpeg-turbo-progs");
    const bool quick = app.arguments().contains("--quick");
    const int runs = 3;
    const int count = quick ? 6 : 20;
    QTemporaryDir work;
    std::printf("Making %d pictures of 6000 x 4000...\n", count);
    QStringList files;
    for (int i = 0; i < count; ++i) {
        files << work.filePath(QString("photo %1.jpg").arg(i, 3, 10, QChar('0')));
        makeJpeg(files.last(), 6000, 4000, i);
    }

    const double floor = medianMs(runs, [&] {
        for (const QString& file : files)
            djpeg.run({"-scale", "1/8", "-outfile", "/dev/null", file});
    });

    testing_support::ScriptedServices scripted;
    QDir::setCurrent(work.path());
    platform::PicturePrefetcher readAhead;
    Program program(scripted.services(), readAhead);
    frmVedra& w = program.frmVedra();
    w.Show();
    w.TipoImmagine.setListIndex(0);
    w.Dimensioni.setListIndex(1);  // Resize Maintain Aspect: each picture fitted
    const double viewer = medianMs(runs, [&] {
        QTimer::singleShot(0, [&] {
            if (frmSaveHtml* dialog = program.frmSaveHtml.peek())
                dialog->cmdOK.click();
        });
        w.mnuHtml.click();  // both questions are answered No
    });
    const bool written = QFile::exists(work.filePath("PicList.htm"));

    std::printf("\nHTML list of %d 24 MP JPEGs, median of %d runs:\n", count, runs);
    std::printf("  djpeg -scale 1/8 on each file (floor) %8.1f ms  1.00x\n", floor);
    std::printf("  viewer, Ctrl+H to the questions       %8.1f ms  %.2fx  (%.1f ms a picture)%s\n",
                viewer, viewer / floor, viewer / count, written ? "" : "  FAILED: no document");
    return written ? 0 : 1;
}
