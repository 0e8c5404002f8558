// Binary raster operations (SetROP2): every mode combines the pen or brush
// colour with what is already drawn, bit by bit, and counts clear canvas as
// white paper without painting white margins onto it.
#include "MetafileBuilder.h"
#include "platform/metafile/Metafile.h"

#include <gtest/gtest.h>
#include <QImage>
#include <functional>

using metafile_test::Bytes;
using metafile_test::EmfBuilder;
using metafile_test::EmfRecord;
using metafile_test::WmfBuilder;
using metafile_test::WmfRecord;
using platform::Metafile;

namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kRed = 0xFF0000;
// The drawing colour: distinct bit patterns in every channel.
constexpr QRgb kPen = 0x3C9AF0;

std::uint32_t colorRef(QRgb rgb) {
    return qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16;
}

enum class Shape { EmfBrush, EmfPen, WmfBrush };

struct RopCase {
    const char* name;
    int mode;
    Shape shape;
    std::function<QRgb(QRgb pen, QRgb dest)> expected;
};

// Red on the left half, clear canvas on the right; then a band across the
// middle drawn through the raster operation.
QByteArray picture(const RopCase& c) {
    if (c.shape == Shape::WmfBrush) {
        WmfBuilder b;
        b.window(0, 0, 1000, 1000).nullPen().select(0);
        b.solidBrush(colorRef(kRed)).select(1).rectangle(0, 0, 500, 1000);
        b.record(WmfRecord::META_SETROP2, Bytes().u16(std::uint16_t(c.mode)));
        b.solidBrush(colorRef(kPen)).select(2).rectangle(0, 250, 1000, 750);
        return b.build();
    }
    EmfBuilder b;
    b.select(0x80000008u).solidBrush(1, colorRef(kRed)).select(1).rectangle(0, 0, 500, 1000);
    b.record(EmfRecord::EMR_SETROP2, Bytes().u32(std::uint32_t(c.mode)));
    if (c.shape == Shape::EmfBrush) {
        b.solidBrush(2, colorRef(kPen)).select(2).rectangle(0, 250, 1000, 750);
    } else {
        // A flat-capped pen 500 units wide along the middle.
        b.record(EmfRecord::EMR_EXTCREATEPEN,
                 Bytes().u32s({2, 0, 0, 0, 0, 0x00010200u, 500, 0, colorRef(kPen), 0, 0}));
        b.select(2);
        b.record(EmfRecord::EMR_MOVETOEX, {-100, 500}).record(EmfRecord::EMR_LINETO, {1100, 500});
    }
    return b.build();
}

class RasterOp : public testing::TestWithParam<RopCase> {};

TEST_P(RasterOp, CombinesWithPaperAndWithWhatIsDrawn) {
    const RopCase& c = GetParam();
    const auto metafile = Metafile::parse(picture(c));
    ASSERT_NE(metafile, nullptr);
    const QImage image = metafile->toImage(QSize(100, 100), Qt::transparent);

    const QRgb overRed = image.pixel(25, 50);
    EXPECT_EQ(qAlpha(overRed), 255);
    EXPECT_EQ(overRed & kWhite, c.expected(kPen, kRed) & kWhite);

    const QRgb overPaper = image.pixel(75, 50);
    const QRgb onPaper = c.expected(kPen, kWhite) & kWhite;
    if (onPaper == kWhite) {
        EXPECT_EQ(qAlpha(overPaper), 0) << "white on clear paper leaves the canvas clear";
    } else {
        EXPECT_EQ(qAlpha(overPaper), 255);
        EXPECT_EQ(overPaper & kWhite, onPaper);
    }
    // Outside the band nothing changes.
    EXPECT_EQ(image.pixel(25, 10) & kWhite, kRed);
    EXPECT_EQ(qAlpha(image.pixel(75, 10)), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, RasterOp,
    testing::Values(
        RopCase{"Black", 1, Shape::EmfBrush, [](QRgb, QRgb) { return QRgb(0); }},
        RopCase{"NotMergePen", 2, Shape::EmfBrush, [](QRgb p, QRgb d) { return ~(p | d); }},
        RopCase{"MaskNotPen", 3, Shape::EmfBrush, [](QRgb p, QRgb d) { return ~p & d; }},
        RopCase{"NotCopyPen", 4, Shape::EmfBrush, [](QRgb p, QRgb) { return ~p; }},
        RopCase{"MaskPenNot", 5, Shape::EmfBrush, [](QRgb p, QRgb d) { return p & ~d; }},
        RopCase{"Not", 6, Shape::EmfBrush, [](QRgb, QRgb d) { return ~d; }},
        RopCase{"XorPen", 7, Shape::EmfBrush, [](QRgb p, QRgb d) { return p ^ d; }},
        RopCase{"NotMaskPen", 8, Shape::EmfBrush, [](QRgb p, QRgb d) { return ~(p & d); }},
        RopCase{"MaskPen", 9, Shape::EmfBrush, [](QRgb p, QRgb d) { return p & d; }},
        RopCase{"NotXorPen", 10, Shape::EmfBrush, [](QRgb p, QRgb d) { return ~(p ^ d); }},
        RopCase{"Nop", 11, Shape::EmfBrush, [](QRgb, QRgb d) { return d; }},
        RopCase{"MergeNotPen", 12, Shape::EmfBrush, [](QRgb p, QRgb d) { return ~p | d; }},
        RopCase{"CopyPen", 13, Shape::EmfBrush, [](QRgb p, QRgb) { return p; }},
        RopCase{"MergePenNot", 14, Shape::EmfBrush, [](QRgb p, QRgb d) { return p | ~d; }},
        RopCase{"MergePen", 15, Shape::EmfBrush, [](QRgb p, QRgb d) { return p | d; }},
        RopCase{"White", 16, Shape::EmfBrush, [](QRgb, QRgb) { return QRgb(0xFFFFFF); }},
        RopCase{"XorPenStroke", 7, Shape::EmfPen, [](QRgb p, QRgb d) { return p ^ d; }},
        RopCase{"MaskPenStroke", 9, Shape::EmfPen, [](QRgb p, QRgb d) { return p & d; }},
        RopCase{"WmfXorPen", 7, Shape::WmfBrush, [](QRgb p, QRgb d) { return p ^ d; }},
        RopCase{"WmfNotMergePen", 2, Shape::WmfBrush, [](QRgb p, QRgb d) { return ~(p | d); }}),
    [](const testing::TestParamInfo<RopCase>& p) { return p.param.name; });

}  // namespace
