// EMF+ playback: each record family drawn from a builder-made file and
// checked against what the record means, in pixels and colours with alpha.
#include "MetafileBuilder.h"
#include "MetafileDrawing.h"

#include <gtest/gtest.h>
#include <functional>

using namespace metafile_test;

namespace {

constexpr std::uint32_t kArgbRed = 0xFFFF0000u, kArgbBlue = 0xFF0000FFu;
constexpr std::uint16_t kColor = 0x8000;  // the brush field holds a colour

// The frame is 1000 x 1000 EMF+ pixels, drawn at 100 x 100: one target
// pixel per ten units.
Bytes solidBrush(std::uint32_t color) {
    return Bytes().u32s({0xDBC01002u, 0, color});
}

// A pen of `width` pixels; `flags` 0x10 adds a miter limit.
Bytes pen(float width, std::uint32_t color, std::uint32_t flags = 0, float miter = 0) {
    Bytes p = Bytes().u32s({0xDBC01002u, 0, flags, 2}).f32(width);
    return (flags & 0x10 ? p.f32(miter) : p).raw(solidBrush(color).data());
}

// An EmfPlusPath of float points with the given point types.
Bytes path(const std::vector<QPointF>& pts, const std::vector<std::uint8_t>& types) {
    Bytes b = Bytes().u32s({0xDBC01002u, std::uint32_t(pts.size()), 0});
    for (const QPointF& p : pts) {
        b.f32s({float(p.x()), float(p.y())});
    }
    for (std::uint8_t t : types) {
        b.u8(t);
    }
    while (b.size() % 4) {
        b.u8(0);
    }
    return b;
}

// An EmfPlusBitmap of 32-bit ARGB pixels, top row first.
Bytes bitmap(int width, int height, std::initializer_list<std::uint32_t> pixels) {
    Bytes b = Bytes().u32s({0xDBC01002u, 1}).i32s({width, height, width * 4});
    return b.u32s({0x0026200A, 0}).u32s(pixels);
}
const QByteArray kBlueRed = bitmap(2, 1, {kArgbBlue, kArgbRed}).data();

// A 50-pixel red pen ending in an arrow cap 4 widths long and wide.
Bytes arrowPen() {
    Bytes p = Bytes().u32s({0xDBC01002u, 0, 0x1000, 0}).f32(50).u32s({24, 0xDBC01002u, 1});
    return p.f32s({4, 4, 0}).u32(1).raw(solidBrush(kArgbRed).data());
}

// The records of `add` in a dual EMF+ file.
QByteArray plus(const std::function<void(EmfPlusBuilder&)>& add) {
    EmfPlusBuilder b;
    add(b);
    return b.build();
}

// These records in a dual EMF+ file.
QByteArray plus(std::initializer_list<PlusRecord> records) {
    return EmfPlusBuilder().plus(records).build();
}

// A 100-pixel-wide mitred polyline whose join comes to a point at y = 450:
// its miter is 6.2 pen widths long.
QByteArray sharpJoin(const Bytes& pen) {
    return plus({{P::EmfPlusObject, 0x0200 | 1, pen},
                 {P::EmfPlusDrawLines, 1, Bytes().u32(3).f32s({410, 1000, 500, 450, 590, 1000})}});
}

INSTANTIATE_TEST_SUITE_P(
    EmfPlus, Picture,
    testing::Values(
        PictureCase{"FillRectsWithAColour",
                    plus({fillRect(kArgbRed, 0, 0, 500, 500)}),
                    {{{25, 25}, red}, {{75, 75}, white}, {{75, 25}, white}}},
        PictureCase{"CompressedRects",
                    plus({{P::EmfPlusFillRects, kColor | 0x4000 /* compressed */,
                           Bytes().u32(kArgbRed).u32(1).i16(500).i16(0).i16(500).i16(500)}}),
                    {{{75, 25}, red}, {{25, 25}, white}}},
        PictureCase{"BrushObjectWithAlphaBlends",
                    plus({{P::EmfPlusObject, 0x0100 | 3, solidBrush(0x800000FFu)},
                          {P::EmfPlusFillEllipse, 3, Bytes().u32(3).f32s({0, 0, 1000, 1000})}}),
                    {{{50, 50}, QColor(127, 127, 255)}, {{2, 2}, white}}},
        PictureCase{"PenObjectStrokesLines",
                    plus({{P::EmfPlusObject, 0x0200 | 1, pen(100, kArgbBlue)},
                          {P::EmfPlusDrawLines, 1, Bytes().u32(2).f32s({0, 500, 1000, 500})}}),
                    {{{50, 50}, blue}, {{50, 47}, blue}, {{50, 40}, white}}},
        // Zero width: the thinnest line, half a pixel. 0.6 units: its own width.
        PictureCase{"ThinPensAreLighterLines",
                    plus({{P::EmfPlusObject, 0x0200 | 1, pen(0, kArgbBlue)},
                          {P::EmfPlusDrawLines, 1, Bytes().u32(2).f32s({0, 505, 1000, 505})},
                          {P::EmfPlusObject, 0x0200 | 2, pen(6, kArgbBlue)},
                          {P::EmfPlusDrawLines, 2, Bytes().u32(2).f32s({0, 705, 1000, 705})}}),
                    {{{50, 50}, QColor(128, 128, 255)},
                     {{50, 49}, white},
                     {{50, 51}, white},
                     {{50, 70}, QColor(102, 102, 255)},
                     {{50, 71}, white}}},
        PictureCase{"ArrowCapEndsTheLine",
                    plus({{P::EmfPlusObject, 0x0200 | 1, arrowPen()},
                          {P::EmfPlusDrawLines, 1, Bytes().u32(2).f32s({0, 500, 500, 500})}}),
                    {{{20, 50}, red}, {{38, 53}, red}, {{60, 53}, white}}},
        // GDI+ pens reach the miter's point unless their limit (10 unless set) is shorter.
        PictureCase{"MiterReachesItsPoint",
                    sharpJoin(pen(100, kArgbBlue)),
                    {{{50, 40}, blue}, {{50, 20}, blue}, {{50, 8}, white}}},
        PictureCase{"MiterLimitCutsThePoint",
                    sharpJoin(pen(100, kArgbBlue, 0x10, 1.5)),
                    {{{50, 40}, blue}, {{50, 20}, white}}},
        PictureCase{"PathObjectFilledWithItsClosedFigure",
                    plus({{P::EmfPlusObject, 0x0300 | 2,
                           path({{0, 0}, {1000, 0}, {0, 1000}}, {0x00, 0x01, 0x81})},
                          {P::EmfPlusFillPath, kColor | 2, Bytes().u32(kArgbRed)}}),
                    {{{20, 20}, red}, {{80, 80}, white}}},
        // Each point a 15-bit step from the one before (7-bit steps would not
        // reach): (500,0), then (+500,0), (0,+500) and (-500,0).
        PictureCase{"RelativePolygonPoints",
                    plus({{P::EmfPlusFillPolygon, kColor | 0x0800,
                           Bytes()
                               .u32s({kArgbRed, 4})
                               .u8s({0x81, 0xF4, 0x80, 0, 0x81, 0xF4, 0x80, 0, 0x80, 0, 0x81, 0xF4,
                                     0xFE, 0x0C, 0x80, 0})}}),
                    {{{75, 25}, red}, {{25, 25}, white}, {{75, 75}, white}}},
        PictureCase{"PieSweepsClockwiseFromTheXAxis",
                    plus({{P::EmfPlusFillPie, kColor,
                           Bytes().u32(kArgbRed).f32s({0, 90, 0, 0, 1000, 1000})}}),
                    {{{75, 70}, red}, {{75, 30}, white}, {{25, 70}, white}}},
        // Rotated by 90 degrees, (x,y) -> (-y,x), then moved 1000 right.
        PictureCase{"TranslateThenRotateAppends",
                    plus({{P::EmfPlusRotateWorldTransform, 0x2000, Bytes().f32(90)},
                          {P::EmfPlusTranslateWorldTransform, 0x2000, Bytes().f32s({1000, 0})},
                          fillRect(kArgbRed, 0, 0, 500, 500)}),
                    {{{75, 25}, red}, {{25, 25}, white}}},
        // Prepended, the shift of 1000 is in unscaled units: 500 pixels.
        PictureCase{
            "MultiplyPrependsByDefault",
            plus({{P::EmfPlusSetWorldTransform, 0, Bytes().f32s({0.5, 0, 0, 0.5, 0, 0})},
                  {P::EmfPlusMultiplyWorldTransform, 0, Bytes().f32s({1, 0, 0, 1, 1000, 1000})},
                  fillRect(kArgbRed, 0, 0, 500, 500)}),
            {{{60, 60}, red}, {{25, 25}, white}, {{80, 80}, white}}},
        PictureCase{"SaveAndRestoreBringBackTheTransform",
                    plus({{P::EmfPlusSave, 0, Bytes().u32(7)},
                          {P::EmfPlusScaleWorldTransform, 0, Bytes().f32s({0.1f, 0.1f})},
                          {P::EmfPlusRestore, 0, Bytes().u32(7)},
                          fillRect(kArgbRed, 0, 0, 500, 500)}),
                    {{{40, 40}, red}}},
        PictureCase{"ContainerMapsItsSourceOntoTheDestination",
                    plus({{P::EmfPlusBeginContainer, 0x0200,
                           Bytes().f32s({500, 500, 500, 500, 0, 0, 100, 100}).u32(1)},
                          fillRect(kArgbRed, 0, 0, 100, 100),
                          {P::EmfPlusEndContainer, 0, Bytes().u32(1)},
                          fillRect(kArgbBlue, 0, 0, 200, 200)}),
                    {{{75, 75}, red}, {{10, 10}, blue}, {{40, 40}, white}}},
        // 1 unit = 1 inch = 96 pixels.
        PictureCase{
            "PageUnitInches",
            plus({{P::EmfPlusSetPageTransform, 4, Bytes().f32(1)}, fillRect(kArgbRed, 0, 0, 5, 5)}),
            {{{45, 45}, red}, {{50, 50}, white}}},
        // The clip rectangle replaces the clip with the left half, the clip
        // path then excludes the top half.
        PictureCase{
            "ClipRectAndClipPathCombine",
            plus({{P::EmfPlusSetClipRect, 0x0000, Bytes().f32s({0, 0, 500, 1000})},
                  {P::EmfPlusObject, 0x0300 | 4,
                   path({{0, 0}, {1000, 0}, {1000, 500}, {0, 500}}, {0x00, 0x01, 0x01, 0x81})},
                  {P::EmfPlusSetClipPath, 0x0400 | 4, Bytes()},
                  fillRect(kArgbRed, 0, 0, 1000, 1000)}),
            {{{25, 75}, red}, {{25, 25}, white}, {{75, 75}, white}}},
        PictureCase{"LinearGradientRunsAcrossItsRectangle",
                    plus({{P::EmfPlusObject, 0x0100 | 5,
                           Bytes()
                               .u32s({0xDBC01002u, 4, 0, 4})
                               .f32s({0, 0, 1000, 1000})
                               .u32s({kArgbRed, kArgbBlue, 0, 0})},
                          {P::EmfPlusFillRects, 0, Bytes().u32s({5, 1}).f32s({0, 0, 1000, 1000})}}),
                    {{{2, 50}, QColor(250, 0, 5)}, {{97, 50}, QColor(8, 0, 247)}}},
        // 2 x 2, 32 bpp ARGB, top-down: red, blue / blue, red.
        PictureCase{"BitmapImageKeepsItsPixels",
                    plus({{P::EmfPlusObject, 0x0500 | 6,
                           bitmap(2, 2, {kArgbRed, kArgbBlue, kArgbBlue, kArgbRed})},
                          drawImage(6, {0, 0, 2, 2}, {0, 0, 1000, 1000})}),
                    {{{20, 20}, red}, {{80, 20}, blue}, {{80, 80}, red}}},
        // A 2 x 1 bitmap in two pieces, both flagged as continued.
        PictureCase{"ObjectSplitOverContinuedRecords",
                    plus({{P::EmfPlusObject, 0x8500 | 6,
                           Bytes().u32(std::uint32_t(kBlueRed.size())).raw(kBlueRed.left(16))},
                          {P::EmfPlusObject, 0x8500 | 6,
                           Bytes().u32(std::uint32_t(kBlueRed.size())).raw(kBlueRed.mid(16))},
                          drawImage(6, {0, 0, 2, 1}, {0, 0, 1000, 1000})}),
                    {{{20, 50}, blue}, {{80, 50}, red}}},
        PictureCase{"ClearFillsEverything",
                    plus({{P::EmfPlusClear, 0, Bytes().u32(kArgbBlue)}}),
                    {{{1, 1}, blue}, {{98, 98}, blue}}},
        PictureCase{"DualFileSkipsTheFallbackRecords",
                    plus(
                        [](EmfPlusBuilder& b) {
                            b.plus({fillRect(kArgbRed, 0, 0, 1000, 1000)});
                            b.emf().solidBrush(1, kBlue).select(1).rectangle(0, 0, 1000, 1000);
                        }),
                    {{{50, 50}, red}}},
        PictureCase{
            "GetDcHandsOverToTheEmfRecords",
            plus(
                [](EmfPlusBuilder& b) {
                    b.plus({fillRect(kArgbRed, 0, 0, 1000, 1000), {P::EmfPlusGetDC, 0, {}}});
                    b.emf().fillWith(kBlue).rectangle(0, 0, 500, 500);
                    b.plus({fillRect(kArgbRed, 0, 500, 1000, 500)});
                    b.emf().rectangle(0, 0, 1000, 1000);  // fallback again: not drawn
                }),
            {{{25, 25}, blue}, {{75, 25}, red}, {{25, 75}, red}}},
        PictureCase{"EmfPlusOnlyFileIsDrawn",
                    EmfPlusBuilder(false).plus({fillRect(kArgbRed, 0, 0, 500, 500)}).build(),
                    {{{25, 25}, red}, {{75, 75}, white}}},
        // An unknown type, a count beyond the data, a bad brush and a fill
        // with neither path nor brush.
        PictureCase{"DamagedAndUnknownRecordsAreSkipped",
                    plus(
                        [](EmfPlusBuilder& b) {
                            b.plus(0x4999, 0, Bytes().u32(1));
                            b.plus({{P::EmfPlusFillRects, kColor, Bytes().u32s({kArgbRed, 1000})},
                                    {P::EmfPlusObject, 0x0100 | 1, Bytes().u32s({0xDBC01002u, 9})},
                                    {P::EmfPlusFillPath, 1, Bytes().u32(1)},
                                    fillRect(kArgbRed, 0, 0, 500, 500)});
                            // A record claiming more bytes than its comment holds ends the comment.
                            b.plusRaw(Bytes().u16(0x400A).u16(kColor).u32(4000).u32(3988));
                            b.flush().plus({fillRect(kArgbBlue, 500, 500, 500, 500)});
                        }),
                    {{{25, 25}, red}, {{75, 75}, blue}, {{75, 25}, white}}}),
    pictureName);

// Strings in a layout rectangle and driver strings at explicit positions:
// both start where the record says, at the font's size (a 30-pixel em,
// whose "H" is 0.72 em high).
TEST(EmfPlusText, TextLandsWhereTheRecordPutsItAtTheFontsSize) {
    Bytes font = Bytes().u32(0xDBC01002u).f32(300).u32s({2, 0, 0, 5});  // unit pixel, 5 letters
    font.u16s({'A', 'r', 'i', 'a', 'l', 0});
    Bytes layout = Bytes().u32s({0xFF000000u, 0xFFFFFFFFu, 2}).f32s({500, 500, 450, 450});
    // Character codes (option 1) with a baseline origin per character.
    Bytes driver = Bytes().u32s({0xFF000000u, 1, 0, 2});
    layout.u16('H').u16('H');
    driver.u16('H').u16('H').f32s({500, 700, 717, 700});
    for (auto [type, data] :
         {std::pair{P::EmfPlusDrawString, layout}, {P::EmfPlusDrawDriverString, driver}}) {
        SCOPED_TRACE(platform::metafile::recordName(type));
        const QRect ink =
            inkBox(draw(plus({{P::EmfPlusObject, 0x0600 | 2, font}, {type, kColor | 2, data}})));
        EXPECT_NEAR(ink.left(), 52, 2);
        EXPECT_NEAR(ink.height(), 21.5, 2);
        EXPECT_NEAR(ink.width(), 40, 3);
    }
}

}  // namespace
