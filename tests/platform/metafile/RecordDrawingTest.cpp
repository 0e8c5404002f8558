// What callers see from individual records: colours in the right places
// after mapping, clipping, state save/restore, paths, bitmaps, brushes and
// text, for EMF and WMF alike.
#include "MetafileBuilder.h"
#include "MetafileDrawing.h"

#include <gtest/gtest.h>
#include <thread>

using namespace metafile_test;

TEST_P(Picture, PutsItsColoursWhereTheRecordsSay) {
    const QImage image = draw(GetParam().bytes);
    ASSERT_FALSE(image.isNull());
    for (const Probe& p : GetParam().probes) {
        const QColor got = image.pixelColor(p.at);
        const int diff = std::max({std::abs(got.red() - p.colour.red()),
                                   std::abs(got.green() - p.colour.green()),
                                   std::abs(got.blue() - p.colour.blue())});
        EXPECT_LE(diff, 8) << "at " << p.at.x() << "," << p.at.y() << " got "
                           << got.name().toStdString() << " want " << p.colour.name().toStdString();
    }
}

namespace {

// 2 x 2, 24 bits, bottom-up: bottom row red, blue; top row green, white.
Bytes fourColourDib() {
    Bytes b = Bytes().u32(40).i32s({2, 2}).u16s({1, 24}).u32s({0, 16, 0, 0, 0, 0});
    return b.u8s({0, 0, 255, 255, 0, 0, 0, 0, 0, 255, 0, 255, 255, 255, 0, 0});
}

// EMR_STRETCHDIBITS of `dib` (a 40-byte header, then bits) over the frame.
QByteArray stretched(const Bytes& dib, int w, int h, std::uint32_t rop = 0x00CC0020) {
    Bytes p;
    p.i32s({0, 0, 999, 999, 0, 0, 0, 0, w, h});
    p.u32s({80, 40, 120, std::uint32_t(dib.size() - 40), 0, rop}).i32s({1000, 1000});
    return EmfBuilder().record(R::EMR_STRETCHDIBITS, p.raw(dib.data())).build();
}

// EMR_ALPHABLEND of a 2 x 1 premultiplied bitmap, clear then half-covering
// red; icons write it both as BI_RGB and as BI_BITFIELDS without alpha mask.
QByteArray alphaBlend(bool bitfields) {
    Bytes info;
    info.u32(40).i32(2).i32(1).u16(1).u16(32).u32s({bitfields ? 3u : 0u, 8, 0, 0, 0, 0});
    if (bitfields) {
        info.u32s({0x00FF0000, 0x0000FF00, 0x000000FF});
    }
    const std::uint32_t offBits = 108 + std::uint32_t(info.size());
    Bytes p;
    p.i32s({0, 0, 999, 999, 0, 0, 1000, 1000}).u32(0x01FF0000);  // AC_SRC_OVER, AC_SRC_ALPHA
    p.i32s({0, 0}).f32s({1, 0, 0, 1, 0, 0}).u32(0);
    p.u32s({0, 108, std::uint32_t(info.size()), offBits, 8}).i32s({2, 1});
    p.raw(info.data()).u32s({0, 0x80800000});
    return EmfBuilder().record(R::EMR_ALPHABLEND, p).build();
}

// An 8 x 8, 1 bpp DIB with every bit `bit`; `colorTable` adds black and white.
Bytes monoDib(int bit, bool colorTable) {
    Bytes b;
    b.u32(40).i32(8).i32(8).u16(1).u16(1).u32s({0, 32, 0, 0, 0, 0});
    if (colorTable) {
        b.u32s({0x000000, 0xFFFFFF});
    }
    for (int row = 0; row < 8; ++row) {
        b.u32(bit ? 0xFFu : 0u);
    }
    return b;
}

// Monochrome pattern brushes take their colours at drawing time: 0 bits the
// text colour, 1 bits the background colour.
constexpr std::uint32_t kTextRef = 0x6F3F27, kBackRef = 0xF0E6E1;
const QColor monoText(0x27, 0x3F, 0x6F), monoBack(0xE1, 0xE6, 0xF0);

QByteArray emfMonoBrush(int bit) {
    EmfBuilder b;
    b.record(R::EMR_CREATEMONOBRUSH,
             Bytes().u32s({1, 2, 32, 40, 72, 32}).raw(monoDib(bit, false).data()));
    b.record(R::EMR_SETTEXTCOLOR, {kTextRef}).record(R::EMR_SETBKCOLOR, {kBackRef});
    return b.select(kNullPen).select(1).rectangle(0, 0, 1000, 1000).build();
}

QByteArray wmfPatternBrush(int bit) {
    WmfBuilder b;
    b.window(0, 0, 1000, 1000).nullPen().select(0);
    b.record(W::META_DIBCREATEPATTERNBRUSH, Bytes().u16(3).u16(0).raw(monoDib(bit, true).data()));
    b.record(W::META_SETTEXTCOLOR, Bytes().u32(kTextRef))
        .record(W::META_SETBKCOLOR, Bytes().u32(kBackRef));
    return b.select(1).rectangle(0, 0, 1000, 1000).build();
}

// A WMF that carries the EMF it was converted from is drawn from that EMF
// (red), not from its own records (blue).
QByteArray wmfCarrying(int chunks) {
    const QByteArray emf = redFilled({{R::EMR_RECTANGLE, {0, 0, 1000, 1000}}});
    const auto total = std::uint32_t(emf.size());
    WmfBuilder b;
    b.fillWith(kBlue);
    if (chunks == 1) {
        return b.embeddedEmfChunk(1, 0, total, emf).rectangle(0, 0, 1000, 1000).build();
    }
    // Other records between the chunks, as converters write them.
    return b.embeddedEmfChunk(2, total - 60, total, emf.left(60))
        .rectangle(0, 0, 1000, 1000)
        .embeddedEmfChunk(2, 0, total, emf.mid(60))
        .build();
}

// EMR_POLYDRAW: a line to each corner, the last closing the figure.
QByteArray polyDraw() {
    Bytes p = Bytes().i32s({0, 0, 1000, 1000, 3, 0, 0, 1000, 0, 0, 1000}).u8s({6, 2, 3, 0});
    return EmfBuilder()
        .fillWith(kRed)
        .record(R::EMR_BEGINPATH)
        .record(R::EMR_POLYDRAW, p)
        .records({{R::EMR_ENDPATH, {}}, {R::EMR_FILLPATH, {0, 0, 0, 0}}})
        .build();
}

// EMR_GRADIENTFILL of a rectangle from red on the left to blue on the right.
QByteArray gradient() {
    Bytes p = Bytes().i32s({0, 0, 1000, 1000, 2, 1, 0}).i32s({0, 0}).u16s({0xFF00, 0, 0, 0});
    p.i32s({1000, 1000}).u16s({0, 0, 0xFF00, 0}).u32s({0, 1});
    return EmfBuilder().record(R::EMR_GRADIENTFILL, p).build();
}

INSTANTIATE_TEST_SUITE_P(
    Records, Picture,
    testing::Values(
        PictureCase{"EmfEllipse",
                    redFilled({{R::EMR_ELLIPSE, {0, 0, 1000, 1000}}}),
                    {{{50, 50}, red}, {{3, 3}, white}, {{96, 96}, white}}},
        PictureCase{"AnisotropicMappingScales",
                    redFilled({{R::EMR_SETMAPMODE, {8}},
                               {R::EMR_SETWINDOWEXTEX, {100, 100}},
                               {R::EMR_SETVIEWPORTEXTEX, {1000, 1000}},
                               {R::EMR_RECTANGLE, {0, 0, 50, 50}}}),
                    {{{25, 25}, red}, {{75, 75}, white}}},
        PictureCase{"AnisotropicMappingFlips",
                    redFilled({{R::EMR_SETMAPMODE, {8}},
                               {R::EMR_SETWINDOWEXTEX, {100, 100}},
                               {R::EMR_SETVIEWPORTEXTEX, {1000, -1000}},
                               {R::EMR_SETVIEWPORTORGEX, {0, 1000}},
                               {R::EMR_RECTANGLE, {0, 0, 50, 50}}}),
                    {{{25, 75}, red}, {{25, 25}, white}}},
        // MM_LOMETRIC: 0.1 mm units, y up, on a device of 10 pixels per millimetre.
        PictureCase{"LoMetricUsesTheReferenceDevice",
                    redFilled({{R::EMR_SETMAPMODE, {2}}, {R::EMR_RECTANGLE, {0, 0, 500, -500}}}),
                    {{{25, 25}, red}, {{75, 75}, white}}},
        PictureCase{"ClipRectEndsWithRestoreDc",
                    redFilled({{R::EMR_SAVEDC, {}},
                               {R::EMR_INTERSECTCLIPRECT, {0, 0, 500, 1000}},
                               {R::EMR_CREATEBRUSHINDIRECT, {2, 0, kBlue, 0}},
                               {R::EMR_SELECTOBJECT, {2}},
                               {R::EMR_RECTANGLE, {0, 0, 1000, 500}},
                               {R::EMR_RESTOREDC, {-1}},
                               {R::EMR_RECTANGLE, {0, 500, 1000, 1000}}}),
                    {{{25, 25}, blue}, {{75, 25}, white}, {{25, 75}, red}, {{75, 75}, red}}},
        // RGN_COPY of one device rectangle: the bottom half.
        PictureCase{"DeviceClipRegion",
                    redFilled({{R::EMR_EXTSELECTCLIPRGN,
                                {48, 5, 32, 1, 1, 16, 0, 500, 1000, 1000, 0, 500, 1000, 1000}},
                               {R::EMR_RECTANGLE, {0, 0, 1000, 1000}}}),
                    {{{50, 25}, white}, {{50, 75}, red}}},
        PictureCase{"PathBracketFillsTheCollectedFigure",
                    redFilled({{R::EMR_BEGINPATH, {}},
                               {R::EMR_MOVETOEX, {0, 0}},
                               {R::EMR_LINETO, {1000, 0}},
                               {R::EMR_LINETO, {0, 1000}},
                               {R::EMR_CLOSEFIGURE, {}},
                               {R::EMR_ENDPATH, {}},
                               {R::EMR_FILLPATH, {0, 0, 0, 0}}}),
                    {{{20, 20}, red}, {{80, 80}, white}, {{60, 20}, red}, {{20, 60}, red}}},
        // Counter-clockwise from the radial through (1000,1000) to the one through (0,0).
        PictureCase{"PieRunsBetweenTheRadialsThroughItsPoints",
                    redFilled({{R::EMR_PIE, {0, 0, 1000, 1000, 1000, 1000, 0, 0}}}),
                    {{{40, 15}, red}, {{60, 85}, white}, {{20, 40}, white}}},
        PictureCase{"PolyDrawFollowsItsPointTypes",
                    polyDraw(),
                    {{{20, 20}, red}, {{80, 80}, white}, {{60, 20}, red}, {{20, 60}, red}}},
        PictureCase{"GradientFillRunsFromVertexToVertex",
                    gradient(),
                    {{{1, 50}, red}, {{98, 50}, blue}, {{50, 50}, QColor(128, 0, 127)}}},
        // Without a bitmap the raster operation runs with the brush alone (PATCOPY).
        PictureCase{
            "StretchedDibWithoutBitmapPaintsWithTheBrush",
            redFilled({{R::EMR_STRETCHDIBITS,
                        {0, 0, 999, 999, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00F00021, 500, 1000}}}),
            {{{25, 50}, red}, {{75, 50}, white}}},
        PictureCase{"StretchedDibKeepsRowOrderAndColours",
                    stretched(fourColourDib(), 2, 2),
                    {{{20, 20}, green}, {{80, 20}, white}, {{20, 80}, red}, {{80, 80}, blue}}},
        // EMR_PLGBLT: the bitmap's top edge runs from the first point to the
        // second, its left edge from the first to the third; here a quarter turn.
        PictureCase{"ParallelogramBlitTurnsTheBitmap",
                    EmfBuilder()
                        .record(R::EMR_PLGBLT,
                                Bytes()
                                    .i32s({0, 0, 999, 999, 1000, 0, 1000, 1000, 0, 0, 0, 0, 2, 2})
                                    .f32s({1, 0, 0, 1, 0, 0})
                                    .u32s({0, 0, 140, 40, 180, 16})
                                    .i32s({0, 0, 0, 0, 0, 0, 0})
                                    .raw(fourColourDib().data()))
                        .build(),
                    {{{75, 25}, green}, {{75, 75}, white}, {{25, 25}, red}, {{25, 75}, blue}}},
        PictureCase{"AlphaBlendRgb",
                    alphaBlend(false),
                    {{{15, 50}, white}, {{85, 50}, QColor(255, 127, 127)}}},
        PictureCase{"AlphaBlendBitfields",
                    alphaBlend(true),
                    {{{15, 50}, white}, {{85, 50}, QColor(255, 127, 127)}}},
        PictureCase{"EmfMonoBrushZeroBitsAreTextColour", emfMonoBrush(0), {{{50, 50}, monoText}}},
        PictureCase{"EmfMonoBrushOneBitsAreBackground", emfMonoBrush(1), {{{50, 50}, monoBack}}},
        PictureCase{
            "WmfPatternBrushZeroBitsAreTextColour", wmfPatternBrush(0), {{{50, 50}, monoText}}},
        PictureCase{
            "WmfPatternBrushOneBitsAreBackground", wmfPatternBrush(1), {{{50, 50}, monoBack}}},
        PictureCase{"WmfPlaceableBoundingBoxMapsTheWindow",
                    WmfBuilder().fillWith(kRed).rectangle(0, 0, 500, 500).build(),
                    {{{25, 25}, red}, {{75, 75}, white}}},
        // The window later shrinks to 100 units: the same frame now shows 0..100.
        PictureCase{"WmfWindowRecordsRemapOntoTheSameFrame",
                    WmfBuilder(false)
                        .fillWith(kRed)
                        .window(0, 0, 100, -100)
                        .rectangle(0, 0, 50, -50)
                        .build(),
                    {{{25, 25}, red}, {{75, 25}, white}, {{25, 75}, white}}},
        // Slot 0 is freed and taken again by the red brush.
        PictureCase{
            "WmfObjectsFillTheLowestFreeSlot",
            WmfBuilder()
                .window(0, 0, 1000, 1000)
                .solidBrush(kBlue)
                .nullPen()
                .record(W::META_DELETEOBJECT, {0})
                .solidBrush(kRed)
                .select(0)
                .select(1)
                .rectangle(0, 0, 1000, 1000)
                .build(),
            {{{50, 50}, red}}},
        PictureCase{
            "WmfCarryingAnEmfInOneChunk", wmfCarrying(1), {{{50, 50}, red}, {{4, 94}, red}}},
        PictureCase{
            "WmfCarryingAnEmfInTwoChunks", wmfCarrying(2), {{{50, 50}, red}, {{4, 94}, red}}}),
    metafile_test::pictureName);

TEST(EmfDrawing, MaskBlitsAlsoWorkOnTransparentTargets) {
    // 2 x 1, 24 bits: black, white, drawn with SRCAND over the whole frame.
    Bytes dib = Bytes().u32(40).i32s({2, 1}).u16s({1, 24}).u32s({0, 8, 0, 0, 0, 0});
    dib.u8s({0, 0, 0, 255, 255, 255, 0, 0});
    const auto metafile = Metafile::parse(stretched(dib, 2, 1, 0x008800C6));
    ASSERT_NE(metafile, nullptr);
    const QImage image = metafile->toImage(QSize(100, 100), Qt::transparent);
    const QColor left = image.pixelColor(25, 50);
    EXPECT_EQ(left.alpha(), 255);
    EXPECT_LT(qGray(left.rgb()), 8);
    const QColor right = image.pixelColor(75, 50);
    EXPECT_TRUE(right.alpha() == 0 || qGray(right.rgb()) > 247) << right.name().toStdString();
}

TEST(EmfDrawing, TextAlignmentMovesTheInk) {
    auto textAt = [](int align) {
        EmfBuilder b;
        b.font(1, -100).select(1).plainText().record(R::EMR_SETTEXTALIGN, {24 | align});
        return inkBox(draw(b.textOut({500, 500}, QStringLiteral("HHHH")).build(), 200));
    };
    const QRect left = textAt(0), right = textAt(2), centre = textAt(6);
    ASSERT_FALSE(left.isEmpty()) << "no text drawn";
    EXPECT_NEAR(left.left(), 100, 2);   // starts at the reference point (x = 100 px)
    EXPECT_NEAR(right.right(), 98, 3);  // ends there, less the side bearing
    EXPECT_NEAR(centre.center().x(), 100, 2);
    EXPECT_NEAR(left.width(), right.width(), 3);
    EXPECT_LT(left.bottom(), 101);  // on the baseline, not below it
}

TEST(MetafileRendering, OneParsedFileDrawsFromManyThreadsAlike) {
    const auto metafile = Metafile::parse(metafile_test::readFile("emf/libemf2svg/test-013.emf"));
    ASSERT_NE(metafile, nullptr);
    const QImage expected = metafile->toImage(QSize(300, 300));
    std::vector<QImage> results(4);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&, i] { results[i] = metafile->toImage(QSize(300, 300)); });
    }
    for (auto& t : threads) {
        t.join();
    }
    for (const QImage& image : results) {
        EXPECT_EQ(image, expected);
    }
}

}  // namespace
