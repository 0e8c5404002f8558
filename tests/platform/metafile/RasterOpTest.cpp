// Binary raster operations (SetROP2): every mode combines the pen or brush
// colour with what is already drawn, bit by bit, and counts clear canvas as
// white paper without painting white margins onto it.
#include "MetafileBuilder.h"
#include "MetafileDrawing.h"

#include <gtest/gtest.h>

using namespace metafile_test;

namespace {

constexpr QRgb kWhiteRgb = 0xFFFFFF, kRedRgb = 0xFF0000;
// The drawing colour: distinct bit patterns in every channel.
constexpr QRgb kPen = 0x3C9AF0;

std::uint32_t colorRef(QRgb rgb) {
    return qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16;
}

// Mode m sets a result bit where bit (2 * pen + destination) of m - 1 is set:
// R2_BLACK (1) none, R2_COPYPEN (13) where the pen's is, R2_XORPEN (7) where
// the two differ, R2_WHITE (16) everywhere.
QRgb expected(int mode, QRgb pen, QRgb dest) {
    QRgb out = 0;
    for (int bit = 0; bit < 24; ++bit) {
        const int p = (pen >> bit) & 1, d = (dest >> bit) & 1;
        out |= QRgb(((mode - 1) >> (2 * p + d)) & 1) << bit;
    }
    return out;
}

enum class Shape { EmfBrush, EmfPen, WmfBrush };

// Red on the left half, clear canvas on the right; then a band across the
// middle drawn through the raster operation.
QImage picture(int mode, Shape shape) {
    if (shape == Shape::WmfBrush) {
        WmfBuilder b;
        b.window(0, 0, 1000, 1000).nullPen().select(0);
        b.solidBrush(kRed).select(1).rectangle(0, 0, 500, 1000);
        b.record(WmfRecord::META_SETROP2, {mode});
        b.solidBrush(colorRef(kPen)).select(2).rectangle(0, 250, 1000, 750);
        return draw(b.build(), 100, Qt::transparent);
    }
    EmfBuilder b;
    b.select(kNullPen).solidBrush(1, kRed).select(1);
    b.rectangle(0, 0, 500, 1000).record(EmfRecord::EMR_SETROP2, {mode});
    if (shape == Shape::EmfBrush) {
        b.solidBrush(2, colorRef(kPen)).select(2).rectangle(0, 250, 1000, 750);
    } else {  // a flat-capped pen 500 units wide along the middle
        b.record(EmfRecord::EMR_EXTCREATEPEN,
                 Bytes().u32s({2, 0, 0, 0, 0, 0x00010200u, 500, 0, colorRef(kPen), 0, 0}));
        b.select(2).line(-100, 500, 1100, 500);
    }
    return draw(b.build(), 100, Qt::transparent);
}

TEST(RasterOp, EveryModeCombinesWithPaperAndWithWhatIsDrawn) {
    std::vector<std::pair<int, Shape>> cases{
        {7, Shape::EmfPen}, {9, Shape::EmfPen}, {7, Shape::WmfBrush}, {2, Shape::WmfBrush}};
    for (int mode = 1; mode <= 16; ++mode) {
        cases.push_back({mode, Shape::EmfBrush});
    }
    for (const auto& [mode, shape] : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << mode << " shape " << int(shape));
        const QImage image = picture(mode, shape);
        const QRgb overRed = image.pixel(25, 50), overPaper = image.pixel(75, 50);
        EXPECT_EQ(qAlpha(overRed), 255);
        EXPECT_EQ(overRed & kWhiteRgb, expected(mode, kPen, kRedRgb));
        const QRgb onPaper = expected(mode, kPen, kWhiteRgb);
        // White on clear paper leaves the canvas clear.
        EXPECT_EQ(qAlpha(overPaper), onPaper == kWhiteRgb ? 0 : 255);
        EXPECT_EQ(overPaper & kWhiteRgb, onPaper == kWhiteRgb ? 0 : onPaper);
        // Outside the band nothing changes.
        EXPECT_EQ(image.pixel(25, 10) & kWhiteRgb, kRedRgb);
        EXPECT_EQ(qAlpha(image.pixel(75, 10)), 0);
    }
}

}  // namespace
