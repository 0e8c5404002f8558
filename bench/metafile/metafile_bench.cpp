// metafile_bench: per corpus file, the time to parse it and to draw it
// fitted into 1920x1080; then whole-corpus totals, and ImageMagick's convert
// on the WMFs for comparison (process start-up included; it must be installed with its WMF
// delegate, or the benchmark stops).
#include "platform/metafile/Metafile.h"

#include "ReferenceTool.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct CorpusFile {
    std::string name;  // corpus-relative path
    QString path;
    QByteArray bytes;
};

std::vector<CorpusFile> loadCorpus() {
    std::vector<CorpusFile> files;
    const QDir root(QStringLiteral(VEDRA_TESTDATA_DIR));
    for (const char* format : {"emf", "wmf"}) {
        QDirIterator it(root.filePath(QString::fromLatin1(format)), QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (file.open(QIODevice::ReadOnly)) {
                files.push_back({root.relativeFilePath(path).toStdString(), path, file.readAll()});
            }
        }
    }
    std::sort(files.begin(), files.end(),
              [](const CorpusFile& a, const CorpusFile& b) { return a.name < b.name; });
    return files;
}

// The picture's natural aspect fitted into the screen.
QRectF fitted(const platform::Metafile& metafile, const QSize& screen) {
    QSizeF size = QSizeF(metafile.naturalSizeTwips());
    size.scale(QSizeF(screen), Qt::KeepAspectRatio);
    return QRectF(
        QPointF((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2), size);
}

void drawOnce(const platform::Metafile& metafile, QImage& screen) {
    screen.fill(Qt::white);
    QPainter painter(&screen);
    metafile.render(painter, fitted(metafile, screen.size()));
}

void registerBenchmarks(const std::vector<CorpusFile>& corpus) {
    const QSize screenSize(1920, 1080);
    for (const CorpusFile& file : corpus) {
        benchmark::RegisterBenchmark(("parse/" + file.name).c_str(), [&file](benchmark::State& s) {
            for (auto _ : s) {
                benchmark::DoNotOptimize(platform::Metafile::parse(file.bytes));
            }
        })->Unit(benchmark::kMillisecond);
        const auto metafile = platform::Metafile::parse(file.bytes);
        if (!metafile) {
            continue;
        }
        benchmark::RegisterBenchmark(("draw1920x1080/" + file.name).c_str(),
                                     [metafile, screenSize](benchmark::State& s) {
                                         QImage screen(screenSize,
                                                       QImage::Format_ARGB32_Premultiplied);
                                         for (auto _ : s) {
                                             drawOnce(*metafile, screen);
                                         }
                                     })
            ->Unit(benchmark::kMillisecond);
    }

    benchmark::RegisterBenchmark("corpus/parse_all", [&corpus](benchmark::State& s) {
        for (auto _ : s) {
            for (const CorpusFile& file : corpus) {
                benchmark::DoNotOptimize(platform::Metafile::parse(file.bytes));
            }
        }
        s.counters["files"] = double(corpus.size());
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("corpus/draw1920x1080_all", [&corpus,
                                                              screenSize](benchmark::State& s) {
        std::vector<std::shared_ptr<const platform::Metafile>> parsed;
        for (const CorpusFile& file : corpus) {
            if (auto metafile = platform::Metafile::parse(file.bytes)) {
                parsed.push_back(metafile);
            }
        }
        QImage screen(screenSize, QImage::Format_ARGB32_Premultiplied);
        for (auto _ : s) {
            for (const auto& metafile : parsed) {
                drawOnce(*metafile, screen);
            }
        }
        s.counters["files"] = double(parsed.size());
    })->Unit(benchmark::kMillisecond);

    // Same work as the reference tool: every WMF parsed and drawn at its natural size.
    benchmark::RegisterBenchmark(
        "corpus/wmf_parse_and_draw_natural",
        [&corpus](benchmark::State& s) {
            for (auto _ : s) {
                for (const CorpusFile& file : corpus) {
                    if (file.name.rfind("wmf/", 0) != 0) {
                        continue;
                    }
                    if (const auto metafile = platform::Metafile::parse(file.bytes)) {
                        benchmark::DoNotOptimize(metafile->toImage(
                            metafile->naturalSizePixels().boundedTo({4000, 4000})));
                    }
                }
            }
        })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);

    // ImageMagick draws WMF through its libwmf delegate; a build without it fails at once, so
    // it must first convert a known-good file before its time counts.
    static const ReferenceTool convert(QStringLiteral("convert-im6.q16"), "imagemagick");
    QTemporaryDir probeDir;
    const QString probe = probeDir.filePath(QStringLiteral("probe.png"));
    convert.run(
        {QStringLiteral(VEDRA_TESTDATA_DIR) + QStringLiteral("/wmf/pillow/drawing.wmf"), probe});
    if (QFileInfo(probe).size() == 0) {
        std::fprintf(stderr,
                     "Reference tool unusable: convert wrote no picture for a WMF.\n"
                     "Install the Debian package imagemagick with its WMF delegate.\n");
        std::exit(2);
    }
    benchmark::RegisterBenchmark(
        "reference/imagemagick_convert_all_wmf",
        [&corpus](benchmark::State& s) {
            int refused = 0;
            for (auto _ : s) {
                for (const CorpusFile& file : corpus) {
                    if (file.name.rfind("wmf/", 0) != 0) {
                        continue;
                    }
                    if (!convert.tryRun({file.path, QStringLiteral("png:/dev/null")})) {
                        ++refused;
                    }
                }
            }
            s.counters["refused"] = refused;
        })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const std::vector<CorpusFile> corpus = loadCorpus();
    registerBenchmarks(corpus);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
