// The corpus in tests/data: every file parses (or, when damaged, is refused)
// and draws within its target; natural sizes match the reference renderer's,
// and renderings look like the reference renderings where the engines agree.
#include "MetafileBuilder.h"
#include "MetafileDrawing.h"

#include <gtest/gtest.h>
#include <QPainter>
#include <cctype>

using namespace metafile_test;

namespace {

std::vector<std::string> corpusFiles() {
    std::vector<std::string> files;
    const QDir root(testDataDir());
    for (const char* format : {"emf", "wmf"}) {
        QDirIterator it(root.filePath(QLatin1String(format)), QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            files.push_back(root.relativeFilePath(it.next()).toStdString());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

class CorpusFile : public testing::TestWithParam<std::string> {};

TEST_P(CorpusFile, ParsesDrawsEveryRecordAndStaysInsideItsTarget) {
    const QString file = QString::fromStdString(GetParam());
    const QByteArray bytes = readFile(file);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_TRUE(Metafile::hasMetafileSignature(bytes.left(64)));
    const auto manifest = libreOfficeManifest();
    const auto entry = manifest.count(file) ? manifest.at(file) : ReferenceEntry{};
    const bool damaged = file.contains(QLatin1String("corrupted")) || entry.status == "failed";
    const auto metafile = Metafile::parse(bytes);
    if (!metafile) {
        EXPECT_TRUE(damaged) << "an intact file was refused";
        return;
    }
    EXPECT_EQ(metafile->format(), file.startsWith(QLatin1String("emf")) ? Metafile::Format::Emf
                                                                        : Metafile::Format::Wmf);
    if (file.startsWith(QLatin1String("emf")) && manifest.count(file) &&
        !damaged) {  // the reference renderer's size
        EXPECT_NEAR(metafile->naturalSizeTwips().width() / 15.0, entry.natural.width(), 1.5);
        EXPECT_NEAR(metafile->naturalSizeTwips().height() / 15.0, entry.natural.height(), 1.5);
    }
    // Every record is drawn or applied but those that change nothing on a
    // screen (README says why for each).
    static const QStringList kScreenNoOps =
        QStringLiteral(
            "EMR_COMMENT EmfPlusComment META_ESCAPE EMR_SETICMMODE EMR_REALIZEPALETTE "
            "META_REALIZEPALETTE EMR_SETMAPPERFLAGS META_SETMAPPERFLAGS META_SETRELABS "
            "EmfPlusSetAntiAliasMode EmfPlusSetTextRenderingHint EmfPlusSetTextContrast "
            "EmfPlusSetInterpolationMode EmfPlusSetPixelOffsetMode "
            "EmfPlusSetCompositingQuality EmfPlusSetRenderingOrigin "
            "EMR_SETSTRETCHBLTMODE META_SETSTRETCHBLTMODE")
            .split(QLatin1Char(' '));
    for (const auto& [name, count] : metafile->skippedRecords()) {
        EXPECT_TRUE(kScreenNoOps.contains(name) || (name.contains("(undefined type)") && damaged))
            << name.toStdString() << " x" << count << " not drawn";
    }
    // Drawn into the middle of a larger clear image, it leaves the margin clear
    // and, unless damaged or blank in every renderer, puts ink in the target.
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    metafile->render(painter, QRectF(50, 50, 100, 100));
    painter.end();
    QRect drawn;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            drawn |= qAlpha(image.pixel(x, y)) ? QRect(x, y, 1, 1) : QRect();
        }
    }
    EXPECT_TRUE(QRect(50, 50, 100, 100).contains(drawn) || drawn.isEmpty());
    const bool blank = file.endsWith(QLatin1String("test-030.emf")) ||
                       file.endsWith(QLatin1String("empty-polygon-close.wmf"));
    if (!blank && !damaged) {
        const QSize natural = metafile->naturalSizePixels().boundedTo(QSize(1200, 1200));
        EXPECT_FALSE(inkBox(metafile->toImage(natural.expandedTo(QSize(32, 32))), 240).isEmpty())
            << "nothing drawn";
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusFile, testing::ValuesIn(corpusFiles()),
                         [](const testing::TestParamInfo<std::string>& p) {
                             std::string name = p.param;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) { return !std::isalnum((unsigned char)c); }, '_');
                             return name;
                         });

// Rough likeness to a reference rendering: both cropped to their ink, scaled
// to 64 pixels and compared in grey and in ink overlap. Tolerant of fonts and
// smoothing; it catches wrong framing, mapping, colours and missing shapes.
struct Likeness {
    double meanSimilarity;  // 1 - mean absolute grey difference
    double inkOverlap;      // intersection over union of ink masks
};

Likeness compare(const QImage& reference, const QImage& test) {
    QImage a, b;
    QSize size;
    for (auto [in, out] : {std::pair{&reference, &a}, std::pair{&test, &b}}) {
        QImage flat(in->size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter(&flat).drawImage(0, 0, *in);
        const QRect ink = inkBox(flat, 240);
        flat = ink.isEmpty() ? flat : flat.copy(ink);
        if (size.isEmpty()) {
            const double scale = 64.0 / std::max(flat.width(), flat.height());
            size = QSize(std::max(1, int(flat.width() * scale)),
                         std::max(1, int(flat.height() * scale)));
        }
        *out = flat.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    double diff = 0;
    int both = 0, either = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int ga = qGray(a.pixel(x, y)), gb = qGray(b.pixel(x, y));
            diff += std::abs(ga - gb);
            both += ga < 240 && gb < 240;
            either += ga < 240 || gb < 240;
        }
    }
    return {1.0 - diff / (255.0 * size.width() * size.height()),
            either ? double(both) / either : 1.0};
}

QImage render(const char* file, const QSize& size) {
    const auto metafile = Metafile::parse(readFile(QLatin1String(file)));
    return metafile ? metafile->toImage(size, Qt::transparent) : QImage();
}

TEST(Reference, FilesTheEnginesAgreeOnLookLikeTheReferenceRenderings) {
    // Rendered by the other engine, or by GDI itself (the two pillow drawings).
    for (const char* file :
         {"emf/poi/wrench.emf", "emf/tika/testEMF.emf", "emf/libemf2svg/test-092.emf",
          "emf/libemf2svg/test-131.emf", "emf/tika/testEMF_zero_coords.emf",
          "wmf/libwmf/2doorvan.wmf", "wmf/libwmf/sample.wmf", "wmf/poi/santa.wmf",
          "wmf/libwmf/anim0002.wmf", "wmf/tika/testWMF.wmf", "emf/pillow/drawing.emf",
          "wmf/pillow/drawing.wmf"}) {
        SCOPED_TRACE(file);
        const QString name(file);
        const QImage ref(testDataDir() + QLatin1Char('/') +
                         (name.contains("pillow")
                              ? "reference/windows-gdi/pillow/drawing_" + name.left(3) + "_ref.png"
                              : "reference/libreoffice/" + name + ".png"));
        ASSERT_FALSE(ref.isNull());
        const QImage image = render(file, ref.size());
        ASSERT_FALSE(image.isNull());
        const Likeness likeness = compare(ref, image);
        EXPECT_GE(likeness.meanSimilarity, 0.9);
        EXPECT_GE(likeness.inkOverlap, 0.6);
    }
    // The metric itself tells two different pictures apart.
    EXPECT_LT(compare(render("emf/poi/wrench.emf", QSize(400, 242)),
                      render("wmf/poi/santa.wmf", QSize(400, 242)))
                  .inkOverlap,
              0.6);
}

TEST(Reference, DrawingThatSpillsOutOfItsBoundingBoxIsFramedByTheDrawing) {
    // The circle lies partly outside the placeable bounding box; GDI shows it
    // whole, touching all four edges.
    const QImage image = render("wmf/pillow/drawing.wmf", QSize(82, 82));
    for (const QPoint p : {QPoint(41, 2), QPoint(2, 41), QPoint(79, 41), QPoint(41, 79)}) {
        EXPECT_GT(qAlpha(image.pixel(p)), 200) << p.x() << "," << p.y();
    }
}

TEST(NaturalSize, WmfIsSizedByItsHeaderWindowDrawingOrCarriedEmf) {
    auto twips = [](const QByteArray& bytes) { return Metafile::parse(bytes)->naturalSizeTwips(); };
    // Bounding box 0,0-1369,1369 at 1200 units per inch.
    EXPECT_EQ(twips(readFile("wmf/pillow/drawing.wmf")), QSize(1643, 1643));
    // -4,-4-218,37 at 96 units per inch; the window extent does not matter.
    EXPECT_EQ(twips(readFile("wmf/libwmf/formula1.wmf")), QSize(3330, 615));
    // Plain WMF: the window extent in twips.
    EXPECT_EQ(twips(readFile("wmf/libwmf/p0000001.wmf")), QSize(4800, 1792));
    EXPECT_EQ(twips(readFile("wmf/poi/testException2.doc-2.wmf")), QSize(443, 182));
    // No window extent: device pixels, framed by what the records draw (a box
    // and a line beyond it), or by the lines of text.wmf from (0,0) down.
    EXPECT_EQ(
        twips(
            WmfBuilder(false).rectangle(0, 0, 100, 100).record(W::META_LINETO, {300, 400}).build()),
        QSize(400 * 15, 300 * 15));
    const QSize text = twips(readFile("wmf/libwmf/text.wmf")) / 15;
    EXPECT_TRUE(text.width() > 150 && text.width() < 1024) << text.width();
    EXPECT_TRUE(text.height() > 300 && text.height() < 768) << text.height();
    // A carried EMF gives its 100 x 100 mm to a plain WMF, not its 100 x 60
    // window units; a placeable one keeps its bounding box.
    const QByteArray emf = EmfBuilder().rectangle(0, 0, 1000, 1000).build();
    const auto total = std::uint32_t(emf.size());
    EXPECT_EQ(
        twips(WmfBuilder(false).window(0, 0, 100, 60).embeddedEmfChunk(1, 0, total, emf).build()),
        QSize(5669, 5669));
    EXPECT_EQ(twips(WmfBuilder().window(0, 0, 100, 60).embeddedEmfChunk(1, 0, total, emf).build()),
              QSize(1440, 1440));
}

}  // namespace
