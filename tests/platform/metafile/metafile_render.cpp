// metafile_render FILE OUT.png [WIDTHxHEIGHT] [--transparent]
// Renders a WMF/EMF at the given pixel size (default: natural size at 96 dpi).
#include "platform/metafile/Metafile.h"

#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FILE OUT.png [WxH] [--transparent]\n", argv[0]);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const auto metafile = platform::Metafile::parse(file.readAll());
    if (!metafile) {
        std::fprintf(stderr, "not a usable metafile: %s\n", argv[1]);
        return 1;
    }
    QSize size = metafile->naturalSizePixels();
    bool transparent = false;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--transparent") == 0) {
            transparent = true;
        } else if (int w = 0, h = 0; std::sscanf(argv[i], "%dx%d", &w, &h) == 2 && w > 0 && h > 0) {
            size = QSize(w, h);
        }
    }
    const QImage image =
        metafile->toImage(size, transparent ? QColor(Qt::transparent) : QColor(Qt::white));
    if (image.isNull() || !image.save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    const QSize twips = metafile->naturalSizeTwips();
    std::printf("%s %dx%d twips, %d records\n",
                metafile->format() == platform::Metafile::Format::Emf ? "EMF" : "WMF",
                twips.width(), twips.height(), metafile->recordCount());
    return 0;
}
