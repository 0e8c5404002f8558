// metafile_render FILE OUT.png [WIDTHxHEIGHT] [--transparent]
// Renders a WMF/EMF at the given pixel size (default: natural size at 96 dpi).
// metafile_render --unhandled FILE...
// Lists, for each file, the record types read but neither drawn nor applied.
#include "platform/metafile/Metafile.h"

#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

namespace {

std::shared_ptr<const platform::Metafile> load(const char* path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return nullptr;
    }
    auto metafile = platform::Metafile::parse(file.readAll());
    if (!metafile) {
        std::fprintf(stderr, "not a usable metafile: %s\n", path);
    }
    return metafile;
}

// One line per file: its name, then each skipped record type with its count.
int listUnhandled(int count, char** paths) {
    int status = 0;
    for (int i = 0; i < count; ++i) {
        const auto metafile = load(paths[i]);
        if (!metafile) {
            status = 1;
            continue;
        }
        std::printf("%s:", paths[i]);
        const auto skipped = metafile->skippedRecords();
        for (const auto& [name, records] : skipped) {
            std::printf(" %s x%d", qPrintable(name), records);
        }
        std::printf("%s\n", skipped.empty() ? " none" : "");
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "--unhandled") == 0) {
        return listUnhandled(argc - 2, argv + 2);
    }
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s FILE OUT.png [WxH] [--transparent]\n"
                     "       %s --unhandled FILE...\n",
                     argv[0], argv[0]);
        return 2;
    }
    const auto metafile = load(argv[1]);
    if (!metafile) {
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
