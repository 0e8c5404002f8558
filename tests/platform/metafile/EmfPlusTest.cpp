// EMF+ playback: each record family drawn from a builder-made file and
// checked against what the record means, in pixels and colours with alpha.
#include "MetafileBuilder.h"
#include "MetafileDrawing.h"

#include <gtest/gtest.h>
#include <functional>

using metafile_test::Bytes;
using metafile_test::EmfPlusBuilder;
using metafile_test::EmfPlusRecord;
using metafile_test::inkBox;
using metafile_test::Picture;
using metafile_test::PictureCase;

namespace {

using P = EmfPlusRecord;
constexpr std::uint32_t kRed = 0xFFFF0000u;  // ARGB
constexpr std::uint32_t kBlue = 0xFF0000FFu;
constexpr std::uint16_t kColor = 0x8000;  // the brush field holds a colour
const QColor kWhite(Qt::white), kRedColor(Qt::red), kBlueColor(Qt::blue);

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

// The records of `add`, then red over the top-left quarter.
QByteArray redTopLeft(const std::function<void(EmfPlusBuilder&)>& add = {}) {
    EmfPlusBuilder b;
    if (add) {
        add(b);
    }
    return b.fillRect(kRed, 0, 0, 500, 500).build();
}

// The records of `add` in a dual EMF+ file.
QByteArray plus(const std::function<void(EmfPlusBuilder&)>& add) {
    EmfPlusBuilder b;
    add(b);
    return b.build();
}

// These records in a dual EMF+ file.
struct Rec {
    P type;
    std::uint16_t flags;
    Bytes data;
};
QByteArray plus(std::initializer_list<Rec> records) {
    return plus([&](EmfPlusBuilder& b) {
        for (const Rec& r : records) {
            b.plus(r.type, r.flags, r.data);
        }
    });
}

// A 100-pixel-wide mitred polyline whose join comes to a point at y = 450:
// its miter is 6.2 pen widths long.
QByteArray sharpJoin(const Bytes& pen) {
    return plus([&](EmfPlusBuilder& b) {
        b.plus(P::EmfPlusObject, 0x0200 | 1, pen);
        b.plus(P::EmfPlusDrawLines, 1, Bytes().u32(3).f32s({410, 1000, 500, 450, 590, 1000}));
    });
}

INSTANTIATE_TEST_SUITE_P(
    EmfPlus, Picture,
    testing::Values(
        PictureCase{"FillRectsWithAColour",
                    redTopLeft(),
                    {{{25, 25}, kRedColor}, {{75, 75}, kWhite}, {{75, 25}, kWhite}}},
        PictureCase{"CompressedRects",
                    plus({{P::EmfPlusFillRects, kColor | 0x4000 /* compressed */, Bytes().u32(kRed).u32(1).i16(500).i16(0).i16(500).i16(500)}}),
                    {{{75, 25}, kRedColor}, {{25, 25}, kWhite}}},
        PictureCase{"BrushObjectWithAlphaBlends",
                    plus({{P::EmfPlusObject, 0x0100 | 3, solidBrush(0x800000FFu)}, {P::EmfPlusFillEllipse, 3, Bytes().u32(3).f32s({0, 0, 1000, 1000})}}),
                    {{{50, 50}, QColor(127, 127, 255)}, {{2, 2}, kWhite}}},
        PictureCase{"PenObjectStrokesLines",
                    plus({{P::EmfPlusObject, 0x0200 | 1, pen(100, kBlue)}, {P::EmfPlusDrawLines, 1, Bytes().u32(2).f32(0).f32(500).f32(1000).f32(500)}}),
                    {{{50, 50}, kBlueColor}, {{50, 47}, kBlueColor}, {{50, 40}, kWhite}}},
        PictureCase{
            "ThinPensAreLighterLines",
            [] {
                // Zero width: the thinnest line, half a pixel. 0.6 units: its own width.
                EmfPlusBuilder b;
                b.plus(P::EmfPlusObject, 0x0200 | 1, pen(0, kBlue));
                b.plus(P::EmfPlusDrawLines, 1, Bytes().u32(2).f32(0).f32(505).f32(1000).f32(505));
                b.plus(P::EmfPlusObject, 0x0200 | 2, pen(6, kBlue));
                b.plus(P::EmfPlusDrawLines, 2, Bytes().u32(2).f32(0).f32(705).f32(1000).f32(705));
                return b.build();
            }(),
            {{{50, 50}, QColor(128, 128, 255)},
             {{50, 49}, kWhite},
             {{50, 51}, kWhite},
             {{50, 70}, QColor(102, 102, 255)},
             {{50, 71}, kWhite}}},
        PictureCase{"ArrowCapEndsTheLine",
                    plus([](EmfPlusBuilder& b) {
                        Bytes arrowPen;
                        arrowPen.u32(0xDBC01002u).u32(0).u32(0x1000).u32(0).f32(50);
                        arrowPen.u32(24).u32(0xDBC01002u).u32(1).f32(4).f32(4).f32(0).u32(1);
                        arrowPen.raw(solidBrush(kRed).data());
                        b.plus(P::EmfPlusObject, 0x0200 | 1, arrowPen);
                        b.plus(P::EmfPlusDrawLines, 1,
                               Bytes().u32(2).f32(0).f32(500).f32(500).f32(500));
                    }),
                    {{{20, 50}, kRedColor}, {{38, 53}, kRedColor}, {{60, 53}, kWhite}}},
        // GDI+ pens reach the miter's point unless their limit (10 unless set) is shorter.
        PictureCase{"MiterReachesItsPoint",
                    sharpJoin(pen(100, kBlue)),
                    {{{50, 40}, kBlueColor}, {{50, 20}, kBlueColor}, {{50, 8}, kWhite}}},
        PictureCase{"MiterLimitCutsThePoint",
                    sharpJoin(pen(100, kBlue, 0x10, 1.5)),
                    {{{50, 40}, kBlueColor}, {{50, 20}, kWhite}}},
        PictureCase{"PathObjectFilledWithItsClosedFigure",
                    plus({{P::EmfPlusObject, 0x0300 | 2, path({{0, 0}, {1000, 0}, {0, 1000}}, {0x00, 0x01, 0x81})}, {P::EmfPlusFillPath, kColor | 2, Bytes().u32(kRed)}}),
                    {{{20, 20}, kRedColor}, {{80, 80}, kWhite}}},
        PictureCase{"RelativePolygonPoints",
                    plus([](EmfPlusBuilder& b) {
                        // (500,0) as a 15-bit step, then 7-bit steps are too short:
                        // all 15-bit: (500,0) (500,0) (0,500) (-500,0)
                        Bytes pts;
                        auto step = [&pts](int v) {
                            const int u = v & 0x7FFF;
                            pts.u8(std::uint8_t(0x80 | (u >> 8))).u8(std::uint8_t(u & 0xFF));
                        };
                        for (int v : {500, 0, 500, 0, 0, 500, -500, 0}) {
                            step(v);
                        }
                        b.plus(P::EmfPlusFillPolygon, kColor | 0x0800,
                               Bytes().u32(kRed).u32(4).raw(pts.data()));
                    }),
                    {{{75, 25}, kRedColor}, {{25, 25}, kWhite}, {{75, 75}, kWhite}}},
        PictureCase{"PieSweepsClockwiseFromTheXAxis",
                    plus({{P::EmfPlusFillPie, kColor, Bytes().u32(kRed).f32s({0, 90, 0, 0, 1000, 1000})}}),
                    {{{75, 70}, kRedColor}, {{75, 30}, kWhite}, {{25, 70}, kWhite}}},
        PictureCase{"TranslateThenRotateAppends",
                    [] {
                        return redTopLeft([](EmfPlusBuilder& b) {
                            b.plus(P::EmfPlusRotateWorldTransform, 0x2000,
                                   Bytes().f32(90));  // (x,y) -> (-y,x)
                            b.plus(P::EmfPlusTranslateWorldTransform, 0x2000,
                                   Bytes().f32(1000).f32(0));
                        });
                    }(),
                    {{{75, 25}, kRedColor}, {{25, 25}, kWhite}}},
        PictureCase{
            "MultiplyPrependsByDefault",
            [] {
                return redTopLeft([](EmfPlusBuilder& b) {
                    b.plus(P::EmfPlusSetWorldTransform, 0, Bytes().f32s({0.5, 0, 0, 0.5, 0, 0}));
                    // Prepended: shift 1000 in unscaled units = 500 pixels.
                    b.plus(P::EmfPlusMultiplyWorldTransform, 0,
                           Bytes().f32s({1, 0, 0, 1, 1000, 1000}));
                });
            }(),
            {{{60, 60}, kRedColor}, {{25, 25}, kWhite}, {{80, 80}, kWhite}}},
        PictureCase{"SaveAndRestoreBringBackTheTransform",
                    [] {
                        return redTopLeft([](EmfPlusBuilder& b) {
                            b.plus(P::EmfPlusSave, 0, Bytes().u32(7));
                            b.plus(P::EmfPlusScaleWorldTransform, 0, Bytes().f32(0.1f).f32(0.1f));
                            b.plus(P::EmfPlusRestore, 0, Bytes().u32(7));
                        });
                    }(),
                    {{{40, 40}, kRedColor}}},
        PictureCase{"ContainerMapsItsSourceOntoTheDestination",
                    plus([](EmfPlusBuilder& b) {
                        b.plus(P::EmfPlusBeginContainer, 0x0200,
                               Bytes().f32s({500, 500, 500, 500, 0, 0, 100, 100}).u32(1));
                        b.fillRect(kRed, 0, 0, 100, 100);
                        b.plus(P::EmfPlusEndContainer, 0, Bytes().u32(1));
                        b.fillRect(kBlue, 0, 0, 200, 200);
                    }),
                    {{{75, 75}, kRedColor}, {{10, 10}, kBlueColor}, {{40, 40}, kWhite}}},
        PictureCase{"PageUnitInches",
                    plus([](EmfPlusBuilder& b) {
                        b.plus(P::EmfPlusSetPageTransform, 4,
                               Bytes().f32(1));  // 1 unit = 1 inch = 96 pixels
                        b.fillRect(kRed, 0, 0, 5, 5);
                    }),
                    {{{45, 45}, kRedColor}, {{50, 50}, kWhite}}},
        PictureCase{"ClipRectAndClipPathCombine",
                    plus([](EmfPlusBuilder& b) {
                        b.plus(P::EmfPlusSetClipRect, 0x0000,
                               Bytes().f32s({0, 0, 500, 1000}));  // replace: left half
                        b.plus(P::EmfPlusObject, 0x0300 | 4,
                               path({{0, 0}, {1000, 0}, {1000, 500}, {0, 500}},
                                    {0x00, 0x01, 0x01, 0x81}));
                        b.plus(P::EmfPlusSetClipPath, 0x0400 | 4,
                               Bytes());  // exclude the top half
                        b.fillRect(kRed, 0, 0, 1000, 1000);
                    }),
                    {{{25, 75}, kRedColor}, {{25, 25}, kWhite}, {{75, 75}, kWhite}}},
        PictureCase{
            "LinearGradientRunsAcrossItsRectangle",
            plus({{P::EmfPlusObject, 0x0100 | 5, Bytes() .u32s({0xDBC01002u, 4, 0, 4}) .f32s({0, 0, 1000, 1000}) .u32s({kRed, kBlue, 0, 0})}, {P::EmfPlusFillRects, 0, Bytes().u32s({5, 1}).f32s({0, 0, 1000, 1000})}}),
            {{{2, 50}, QColor(250, 0, 5)}, {{97, 50}, QColor(8, 0, 247)}}},
        PictureCase{"BitmapImageKeepsItsPixels",
                    plus([](EmfPlusBuilder& b) {
                        // 2 x 2, 32 bpp ARGB, top-down: red, blue / blue, red.
                        b.plus(P::EmfPlusObject, 0x0500 | 6, bitmap(2, 2, {kRed, kBlue, kBlue, kRed}));
                        b.drawImage(6, {0, 0, 2, 2}, {0, 0, 1000, 1000});
                    }),
                    {{{20, 20}, kRedColor}, {{80, 20}, kBlueColor}, {{80, 80}, kRedColor}}},
        PictureCase{"ObjectSplitOverContinuedRecords",
                    plus([](EmfPlusBuilder& b) {
                        // A 2 x 1 bitmap in two pieces, both flagged as continued.
                        const QByteArray whole = bitmap(2, 1, {kBlue, kRed}).data();
                        const std::uint32_t total = std::uint32_t(whole.size());
                        b.plus(P::EmfPlusObject, 0x8500 | 6,
                               Bytes().u32(total).raw(whole.left(16)));
                        b.plus(P::EmfPlusObject, 0x8500 | 6, Bytes().u32(total).raw(whole.mid(16)));
                        b.drawImage(6, {0, 0, 2, 1}, {0, 0, 1000, 1000});
                    }),
                    {{{20, 50}, kBlueColor}, {{80, 50}, kRedColor}}},
        PictureCase{"ClearFillsEverything",
                    plus({{P::EmfPlusClear, 0, Bytes().u32(kBlue)}}),
                    {{{1, 1}, kBlueColor}, {{98, 98}, kBlueColor}}},
        PictureCase{"DualFileSkipsTheFallbackRecords",
                    plus([](EmfPlusBuilder& b) {
                        b.fillRect(kRed, 0, 0, 1000, 1000);
                        b.emf().solidBrush(1, 0xFF0000).select(1).rectangle(0, 0, 1000, 1000);
                    }),
                    {{{50, 50}, kRedColor}}},
        PictureCase{"GetDcHandsOverToTheEmfRecords",
                    plus([](EmfPlusBuilder& b) {
                        b.fillRect(kRed, 0, 0, 1000, 1000);
                        b.plus(P::EmfPlusGetDC, 0, Bytes());
                        b.emf()
                            .solidBrush(1, 0xFF0000)
                            .select(1)
                            .select(0x80000008u)
                            .rectangle(0, 0, 500, 500);
                        b.fillRect(kRed, 0, 500, 1000, 500);
                        b.emf().rectangle(0, 0, 1000, 1000);  // fallback again: not drawn
                    }),
                    {{{25, 25}, kBlueColor}, {{75, 25}, kRedColor}, {{25, 75}, kRedColor}}},
        PictureCase{"EmfPlusOnlyFileIsDrawn",
                    [] {
                        EmfPlusBuilder b(false);
                        b.fillRect(kRed, 0, 0, 500, 500);
                        return b.build();
                    }(),
                    {{{25, 25}, kRedColor}, {{75, 75}, kWhite}}},
        PictureCase{
            "DamagedAndUnknownRecordsAreSkipped",
            plus([](EmfPlusBuilder& b) {
                b.plus(0x4999, 0, Bytes().u32(1));  // unknown type
                b.plus(P::EmfPlusFillRects, kColor,
                       Bytes().u32(kRed).u32(1000));  // count beyond data
                b.plus(P::EmfPlusObject, 0x0100 | 1,
                       Bytes().u32(0xDBC01002u).u32(9));  // bad brush
                b.plus(P::EmfPlusFillPath, 1,
                       Bytes().u32(1));  // fill with no path and no brush
                b.fillRect(kRed, 0, 0, 500, 500);
                // A record claiming more bytes than its comment holds ends the comment.
                b.plusRaw(Bytes().u16(0x400A).u16(kColor).u32(4000).u32(3988));
                b.flush();
                b.fillRect(kBlue, 500, 500, 500, 500);
            }),
            {{{25, 25}, kRedColor}, {{75, 75}, kBlueColor}, {{75, 25}, kWhite}}}),
    metafile_test::pictureName);

// Strings in a layout rectangle and driver strings at explicit positions:
// both start where the record says, at the font's size (a 30-pixel em,
// whose "H" is 0.72 em high).
TEST(EmfPlusText, TextLandsWhereTheRecordPutsItAtTheFontsSize) {
    Bytes font = Bytes().u32(0xDBC01002u).f32(300).u32s({2, 0, 0, 5});  // Arial, unit pixel
    for (char c : QByteArray("Arial")) {
        font.u16(std::uint16_t(c));
    }
    font.u16(0);
    Bytes layout = Bytes().u32s({0xFF000000u, 0xFFFFFFFFu, 2}).f32s({500, 500, 450, 450});
    // Character codes (option 1) with a baseline origin per character.
    Bytes driver = Bytes().u32s({0xFF000000u, 1, 0, 2});
    layout.u16('H').u16('H');
    driver.u16('H').u16('H').f32s({500, 700, 717, 700});
    for (auto [type, data] :
         {std::pair{P::EmfPlusDrawString, layout}, {P::EmfPlusDrawDriverString, driver}}) {
        SCOPED_TRACE(platform::metafile::recordName(type));
        const QRect ink = inkBox(metafile_test::draw(plus([&](EmfPlusBuilder& b) {
            b.plus(P::EmfPlusObject, 0x0600 | 2, font);
            b.plus(type, kColor | 2, data);
        })));
        EXPECT_NEAR(ink.left(), 52, 2);
        EXPECT_NEAR(ink.height(), 21.5, 2);
        EXPECT_NEAR(ink.width(), 40, 3);
    }
}

}  // namespace
