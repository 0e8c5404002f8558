// Rough likeness to reference renderings for files the reference engines
// agree on. The metric is deliberately simple and tolerant (fonts and
// anti-aliasing differ); it catches wrong framing, mapping, colours and
// missing shapes, not pixel details.
#include "TestData.h"
#include "platform/metafile/Metafile.h"

#include <gtest/gtest.h>
#include <QPainter>

using metafile_test::readFile;
using metafile_test::testDataDir;
using platform::Metafile;

namespace {

constexpr int kInkLevel = 240;
constexpr int kCompareSide = 64;

QImage onWhite(const QImage& image) {
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.drawImage(0, 0, image);
    return out;
}

// Crops to the box around non-white pixels.
QImage trimmed(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) < kInkLevel || qGreen(p) < kInkLevel || qBlue(p) < kInkLevel) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box.isEmpty() ? image : image.copy(box);
}

struct Likeness {
    double meanSimilarity;  // 1 - mean absolute grey difference
    double inkOverlap;      // intersection over union of ink masks
};

Likeness compare(const QImage& reference, const QImage& test) {
    const QImage ref = trimmed(onWhite(reference));
    const QImage tst = trimmed(onWhite(test));
    const double scale = double(kCompareSide) / std::max(ref.width(), ref.height());
    const QSize size(std::max(1, int(ref.width() * scale)), std::max(1, int(ref.height() * scale)));
    const QImage a = ref.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage b = tst.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double diff = 0;
    int both = 0;
    int either = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int ga = qGray(a.pixel(x, y));
            const int gb = qGray(b.pixel(x, y));
            diff += std::abs(ga - gb);
            both += (ga < kInkLevel && gb < kInkLevel);
            either += (ga < kInkLevel || gb < kInkLevel);
        }
    }
    const double pixels = double(size.width()) * size.height();
    return {1.0 - diff / (255.0 * pixels), either ? double(both) / either : 1.0};
}

QImage render(const char* file, const QSize& size) {
    const auto metafile =
        Metafile::parse(readFile(testDataDir() + QLatin1Char('/') + QLatin1String(file)));
    return metafile ? metafile->toImage(size, Qt::transparent) : QImage();
}

void expectLike(const char* file, const QString& referencePng) {
    const QImage reference(referencePng);
    ASSERT_FALSE(reference.isNull()) << referencePng.toStdString();
    const QImage image = render(file, reference.size());
    ASSERT_FALSE(image.isNull()) << file;
    const Likeness likeness = compare(reference, image);
    EXPECT_GE(likeness.meanSimilarity, 0.9) << file;
    EXPECT_GE(likeness.inkOverlap, 0.6) << file;
}

class AgreedReference : public ::testing::TestWithParam<const char*> {};

TEST_P(AgreedReference, LooksLikeTheLibreOfficeRendering) {
    expectLike(GetParam(), testDataDir() + QStringLiteral("/reference/libreoffice/") +
                               QLatin1String(GetParam()) + QStringLiteral(".png"));
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, AgreedReference,
    ::testing::Values("emf/poi/wrench.emf", "emf/tika/testEMF.emf", "emf/libemf2svg/test-092.emf",
                      "emf/libemf2svg/test-131.emf", "emf/tika/testEMF_zero_coords.emf",
                      "wmf/libwmf/2doorvan.wmf", "wmf/libwmf/sample.wmf", "wmf/poi/santa.wmf",
                      "wmf/libwmf/anim0002.wmf", "wmf/tika/testWMF.wmf"));

TEST(WindowsReference, PillowDrawingEmfLooksLikeGdiOutput) {
    expectLike("emf/pillow/drawing.emf",
               testDataDir() + QStringLiteral("/reference/windows-gdi/pillow/drawing_emf_ref.png"));
}

TEST(WindowsReference, PillowDrawingWmfLooksLikeGdiOutput) {
    expectLike("wmf/pillow/drawing.wmf",
               testDataDir() + QStringLiteral("/reference/windows-gdi/pillow/drawing_wmf_ref.png"));
}

TEST(WindowsReference, DrawingThatSpillsOutOfItsBoundingBoxIsFramedByTheDrawing) {
    // The circle lies partly outside the placeable bounding box; GDI shows it
    // whole, touching all four edges.
    const QImage image = render("wmf/pillow/drawing.wmf", QSize(82, 82));
    ASSERT_FALSE(image.isNull());
    for (const QPoint p : {QPoint(41, 2), QPoint(2, 41), QPoint(79, 41), QPoint(41, 79)}) {
        EXPECT_GT(qAlpha(image.pixel(p)), 200) << p.x() << "," << p.y();
    }
}

TEST(RenderQuality, AWrongPictureIsTellable) {
    // Guards the metric itself: two different pictures must not pass.
    const QImage wrench = render("emf/poi/wrench.emf", QSize(400, 242));
    const QImage santa = render("wmf/poi/santa.wmf", QSize(400, 242));
    const Likeness likeness = compare(wrench, santa);
    EXPECT_LT(likeness.inkOverlap, 0.6);
}

}  // namespace
