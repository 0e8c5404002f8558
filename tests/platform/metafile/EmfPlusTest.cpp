// EMF+ playback: each record family drawn from a builder-made file and
// checked against what the record means, in pixels and colours with alpha.
#include "MetafileBuilder.h"
#include "MetafileDrawing.h"
#include "platform/metafile/Metafile.h"

#include <gtest/gtest.h>
#include <functional>

using metafile_test::Bytes;
using metafile_test::EmfPlusBuilder;
using metafile_test::EmfPlusRecord;
using metafile_test::inkBox;
using metafile_test::Picture;
using metafile_test::PictureCase;
using platform::Metafile;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u;  // ARGB
constexpr std::uint32_t kBlue = 0xFF0000FFu;
constexpr std::uint16_t kColor = 0x8000;  // the brush field holds a colour
constexpr std::uint16_t kCompressed = 0x4000;

// The frame is 1000 x 1000 EMF+ pixels, drawn at 100 x 100: one target
// pixel per ten units.
Bytes solidBrush(std::uint32_t color) {
    return Bytes().u32(0xDBC01002u).u32(0).u32(color);
}

Bytes pen(float width, std::uint32_t color) {
    return Bytes().u32(0xDBC01002u).u32(0).u32(0).u32(2).f32(width).raw(solidBrush(color).data());
}

// An EmfPlusPath of float points with the given point types.
Bytes path(const std::vector<QPointF>& pts, const std::vector<std::uint8_t>& types) {
    Bytes b;
    b.u32(0xDBC01002u).u32(std::uint32_t(pts.size())).u32(0);
    for (const QPointF& p : pts) {
        b.f32(float(p.x())).f32(float(p.y()));
    }
    for (std::uint8_t t : types) {
        b.u8(t);
    }
    while (b.size() % 4) {
        b.u8(0);
    }
    return b;
}

const QColor kWhite(Qt::white);
const QColor kRedColor(Qt::red);
const QColor kBlueColor(Qt::blue);

QByteArray redTopLeft(const std::function<void(EmfPlusBuilder&)>& before = {}) {
    EmfPlusBuilder b;
    if (before) {
        before(b);
    }
    b.fillRect(kRed, 0, 0, 500, 500);
    return b.build();
}

INSTANTIATE_TEST_SUITE_P(
    EmfPlus, Picture,
    testing::Values(
        PictureCase{"FillRectsWithAColour",
                    [] { return redTopLeft(); },
                    {{{25, 25}, kRedColor}, {{75, 75}, kWhite}, {{75, 25}, kWhite}}},
        PictureCase{"CompressedRects",
                    [] {
                        EmfPlusBuilder b;
                        b.plus(EmfPlusRecord::EmfPlusFillRects, kColor | kCompressed,
                               Bytes().u32(kRed).u32(1).i16(500).i16(0).i16(500).i16(500));
                        return b.build();
                    },
                    {{{75, 25}, kRedColor}, {{25, 25}, kWhite}}},
        PictureCase{"BrushObjectWithAlphaBlends",
                    [] {
                        EmfPlusBuilder b;
                        b.plus(EmfPlusRecord::EmfPlusObject, 0x0100 | 3, solidBrush(0x800000FFu));
                        b.plus(EmfPlusRecord::EmfPlusFillEllipse, 3,
                               Bytes().u32(3).f32s({0, 0, 1000, 1000}));
                        return b.build();
                    },
                    {{{50, 50}, QColor(127, 127, 255)}, {{2, 2}, kWhite}}},
        PictureCase{"PenObjectStrokesLines",
                    [] {
                        EmfPlusBuilder b;
                        b.plus(EmfPlusRecord::EmfPlusObject, 0x0200 | 1, pen(100, kBlue));
                        b.plus(EmfPlusRecord::EmfPlusDrawLines, 1,
                               Bytes().u32(2).f32(0).f32(500).f32(1000).f32(500));
                        return b.build();
                    },
                    {{{50, 50}, kBlueColor}, {{50, 47}, kBlueColor}, {{50, 40}, kWhite}}},
        PictureCase{"ThinPensAreLighterLines",
                    [] {
                        // Zero width: the thinnest line, half a pixel. 0.6 units: its own width.
                        EmfPlusBuilder b;
                        b.plus(EmfPlusRecord::EmfPlusObject, 0x0200 | 1, pen(0, kBlue));
                        b.plus(EmfPlusRecord::EmfPlusDrawLines, 1,
                               Bytes().u32(2).f32(0).f32(505).f32(1000).f32(505));
                        b.plus(EmfPlusRecord::EmfPlusObject, 0x0200 | 2, pen(6, kBlue));
                        b.plus(EmfPlusRecord::EmfPlusDrawLines, 2,
                               Bytes().u32(2).f32(0).f32(705).f32(1000).f32(705));
                        return b.build();
                    },
                    {{{50, 50}, QColor(128, 128, 255)},
                     {{50, 49}, kWhite},
                     {{50, 51}, kWhite},
                     {{50, 70}, QColor(102, 102, 255)},
                     {{50, 71}, kWhite}}},
        PictureCase{"ArrowCapEndsTheLine",
                    [] {
                        EmfPlusBuilder b;
                        Bytes arrowPen;
                        arrowPen.u32(0xDBC01002u).u32(0).u32(0x1000).u32(0).f32(50);
                        arrowPen.u32(24).u32(0xDBC01002u).u32(1).f32(4).f32(4).f32(0).u32(1);
                        arrowPen.raw(solidBrush(kRed).data());
                        b.plus(EmfPlusRecord::EmfPlusObject, 0x0200 | 1, arrowPen);
                        b.plus(EmfPlusRecord::EmfPlusDrawLines, 1,
                               Bytes().u32(2).f32(0).f32(500).f32(500).f32(500));
                        return b.build();
                    },
                    {{{20, 50}, kRedColor}, {{38, 53}, kRedColor}, {{60, 53}, kWhite}}},
        PictureCase{"PathObjectFilledWithItsClosedFigure",
                    [] {
                        EmfPlusBuilder b;
                        b.plus(EmfPlusRecord::EmfPlusObject, 0x0300 | 2,
                               path({{0, 0}, {1000, 0}, {0, 1000}}, {0x00, 0x01, 0x81}));
                        b.plus(EmfPlusRecord::EmfPlusFillPath, kColor | 2, Bytes().u32(kRed));
                        return b.build();
                    },
                    {{{20, 20}, kRedColor}, {{80, 80}, kWhite}}},
        PictureCase{"RelativePolygonPoints",
                    [] {
                        EmfPlusBuilder b;
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
                        b.plus(EmfPlusRecord::EmfPlusFillPolygon, kColor | 0x0800,
                               Bytes().u32(kRed).u32(4).raw(pts.data()));
                        return b.build();
                    },
                    {{{75, 25}, kRedColor}, {{25, 25}, kWhite}, {{75, 75}, kWhite}}},
        PictureCase{"PieSweepsClockwiseFromTheXAxis",
                    [] {
                        EmfPlusBuilder b;
                        b.plus(EmfPlusRecord::EmfPlusFillPie, kColor,
                               Bytes().u32(kRed).f32s({0, 90, 0, 0, 1000, 1000}));
                        return b.build();
                    },
                    {{{75, 70}, kRedColor}, {{75, 30}, kWhite}, {{25, 70}, kWhite}}},
        PictureCase{"TranslateThenRotateAppends",
                    [] {
                        return redTopLeft([](EmfPlusBuilder& b) {
                            b.plus(EmfPlusRecord::EmfPlusRotateWorldTransform, 0x2000,
                                   Bytes().f32(90));  // (x,y) -> (-y,x)
                            b.plus(EmfPlusRecord::EmfPlusTranslateWorldTransform, 0x2000,
                                   Bytes().f32(1000).f32(0));
                        });
                    },
                    {{{75, 25}, kRedColor}, {{25, 25}, kWhite}}},
        PictureCase{"MultiplyPrependsByDefault",
                    [] {
                        return redTopLeft([](EmfPlusBuilder& b) {
                            b.plus(EmfPlusRecord::EmfPlusSetWorldTransform, 0,
                                   Bytes().f32s({0.5, 0, 0, 0.5, 0, 0}));
                            // Prepended: shift 1000 in unscaled units = 500 pixels.
                            b.plus(EmfPlusRecord::EmfPlusMultiplyWorldTransform, 0,
                                   Bytes().f32s({1, 0, 0, 1, 1000, 1000}));
                        });
                    },
                    {{{60, 60}, kRedColor}, {{25, 25}, kWhite}, {{80, 80}, kWhite}}},
        PictureCase{"SaveAndRestoreBringBackTheTransform",
                    [] {
                        return redTopLeft([](EmfPlusBuilder& b) {
                            b.plus(EmfPlusRecord::EmfPlusSave, 0, Bytes().u32(7));
                            b.plus(EmfPlusRecord::EmfPlusScaleWorldTransform, 0,
                                   Bytes().f32(0.1f).f32(0.1f));
                            b.plus(EmfPlusRecord::EmfPlusRestore, 0, Bytes().u32(7));
                        });
                    },
                    {{{40, 40}, kRedColor}}},
        PictureCase{"ContainerMapsItsSourceOntoTheDestination",
                    [] {
                        EmfPlusBuilder b;
                        b.plus(EmfPlusRecord::EmfPlusBeginContainer, 0x0200,
                               Bytes().f32s({500, 500, 500, 500, 0, 0, 100, 100}).u32(1));
                        b.fillRect(kRed, 0, 0, 100, 100);
                        b.plus(EmfPlusRecord::EmfPlusEndContainer, 0, Bytes().u32(1));
                        b.fillRect(kBlue, 0, 0, 200, 200);
                        return b.build();
                    },
                    {{{75, 75}, kRedColor}, {{10, 10}, kBlueColor}, {{40, 40}, kWhite}}},
        PictureCase{"PageUnitInches",
                    [] {
                        EmfPlusBuilder b;
                        b.plus(EmfPlusRecord::EmfPlusSetPageTransform, 4,
                               Bytes().f32(1));  // 1 unit = 1 inch = 96 pixels
                        b.fillRect(kRed, 0, 0, 5, 5);
                        return b.build();
                    },
                    {{{45, 45}, kRedColor}, {{50, 50}, kWhite}}},
        PictureCase{"ClipRectAndClipPathCombine",
                    [] {
                        EmfPlusBuilder b;
                        b.plus(EmfPlusRecord::EmfPlusSetClipRect, 0x0000,
                               Bytes().f32s({0, 0, 500, 1000}));  // replace: left half
                        b.plus(EmfPlusRecord::EmfPlusObject, 0x0300 | 4,
                               path({{0, 0}, {1000, 0}, {1000, 500}, {0, 500}},
                                    {0x00, 0x01, 0x01, 0x81}));
                        b.plus(EmfPlusRecord::EmfPlusSetClipPath, 0x0400 | 4,
                               Bytes());  // exclude the top half
                        b.fillRect(kRed, 0, 0, 1000, 1000);
                        return b.build();
                    },
                    {{{25, 75}, kRedColor}, {{25, 25}, kWhite}, {{75, 75}, kWhite}}},
        PictureCase{"LinearGradientRunsAcrossItsRectangle",
                    [] {
                        EmfPlusBuilder b;
                        b.plus(EmfPlusRecord::EmfPlusObject, 0x0100 | 5,
                               Bytes()
                                   .u32s({0xDBC01002u, 4, 0, 4})
                                   .f32s({0, 0, 1000, 1000})
                                   .u32s({kRed, kBlue, 0, 0}));
                        b.plus(EmfPlusRecord::EmfPlusFillRects, 0,
                               Bytes().u32s({5, 1}).f32s({0, 0, 1000, 1000}));
                        return b.build();
                    },
                    {{{2, 50}, QColor(250, 0, 5)}, {{97, 50}, QColor(8, 0, 247)}}},
        PictureCase{"BitmapImageKeepsItsPixels",
                    [] {
                        EmfPlusBuilder b;
                        // 2 x 2, 32 bpp ARGB, top-down: red, blue / blue, red.
                        Bytes image;
                        image.u32(0xDBC01002u).u32(1).i32(2).i32(2).i32(8).u32(0x0026200A).u32(0);
                        image.u32(kRed).u32(kBlue).u32(kBlue).u32(kRed);
                        b.plus(EmfPlusRecord::EmfPlusObject, 0x0500 | 6, image);
                        b.drawImage(6, {0, 0, 2, 2}, {0, 0, 1000, 1000});
                        return b.build();
                    },
                    {{{20, 20}, kRedColor}, {{80, 20}, kBlueColor}, {{80, 80}, kRedColor}}},
        PictureCase{"ObjectSplitOverContinuedRecords",
                    [] {
                        EmfPlusBuilder b;
                        // A 2 x 1 bitmap in two pieces, both flagged as continued.
                        Bytes image;
                        image.u32(0xDBC01002u).u32(1).i32(2).i32(1).i32(8).u32(0x0026200A).u32(0);
                        image.u32(kBlue).u32(kRed);
                        const QByteArray whole = image.data();
                        const std::uint32_t total = std::uint32_t(whole.size());
                        b.plus(EmfPlusRecord::EmfPlusObject, 0x8500 | 6,
                               Bytes().u32(total).raw(whole.left(16)));
                        b.plus(EmfPlusRecord::EmfPlusObject, 0x8500 | 6,
                               Bytes().u32(total).raw(whole.mid(16)));
                        b.drawImage(6, {0, 0, 2, 1}, {0, 0, 1000, 1000});
                        return b.build();
                    },
                    {{{20, 50}, kBlueColor}, {{80, 50}, kRedColor}}},
        PictureCase{"ClearFillsEverything",
                    [] {
                        EmfPlusBuilder b;
                        b.plus(EmfPlusRecord::EmfPlusClear, 0, Bytes().u32(kBlue));
                        return b.build();
                    },
                    {{{1, 1}, kBlueColor}, {{98, 98}, kBlueColor}}},
        PictureCase{"DualFileSkipsTheFallbackRecords",
                    [] {
                        EmfPlusBuilder b;
                        b.fillRect(kRed, 0, 0, 1000, 1000);
                        b.emf().solidBrush(1, 0xFF0000).select(1).rectangle(0, 0, 1000, 1000);
                        return b.build();
                    },
                    {{{50, 50}, kRedColor}}},
        PictureCase{"GetDcHandsOverToTheEmfRecords",
                    [] {
                        EmfPlusBuilder b;
                        b.fillRect(kRed, 0, 0, 1000, 1000);
                        b.plus(EmfPlusRecord::EmfPlusGetDC, 0, Bytes());
                        b.emf()
                            .solidBrush(1, 0xFF0000)
                            .select(1)
                            .select(0x80000008u)
                            .rectangle(0, 0, 500, 500);
                        b.fillRect(kRed, 0, 500, 1000, 500);
                        b.emf().rectangle(0, 0, 1000, 1000);  // fallback again: not drawn
                        return b.build();
                    },
                    {{{25, 25}, kBlueColor}, {{75, 25}, kRedColor}, {{25, 75}, kRedColor}}},
        PictureCase{"EmfPlusOnlyFileIsDrawn",
                    [] {
                        EmfPlusBuilder b(false);
                        b.fillRect(kRed, 0, 0, 500, 500);
                        return b.build();
                    },
                    {{{25, 25}, kRedColor}, {{75, 75}, kWhite}}},
        PictureCase{"DamagedAndUnknownRecordsAreSkipped",
                    [] {
                        EmfPlusBuilder b;
                        b.plus(0x4999, 0, Bytes().u32(1));  // unknown type
                        b.plus(EmfPlusRecord::EmfPlusFillRects, kColor,
                               Bytes().u32(kRed).u32(1000));  // count beyond data
                        b.plus(EmfPlusRecord::EmfPlusObject, 0x0100 | 1,
                               Bytes().u32(0xDBC01002u).u32(9));  // bad brush
                        b.plus(EmfPlusRecord::EmfPlusFillPath, 1,
                               Bytes().u32(1));  // fill with no path and no brush
                        b.fillRect(kRed, 0, 0, 500, 500);
                        // A record claiming more bytes than its comment holds ends the comment.
                        b.plusRaw(Bytes().u16(0x400A).u16(kColor).u32(4000).u32(3988));
                        b.flush();
                        b.fillRect(kBlue, 500, 500, 500, 500);
                        return b.build();
                    },
                    {{{25, 25}, kRedColor}, {{75, 75}, kBlueColor}, {{75, 25}, kWhite}}}),
    metafile_test::pictureName);

// Strings in a layout rectangle and driver strings at explicit positions:
// both start where the record says, at the font's size.
TEST(EmfPlusText, TextLandsWhereTheRecordPutsIt) {
    auto withFont = [] {
        EmfPlusBuilder b;
        // 100-pixel Arial (unit 2 = pixel).
        Bytes font;
        font.u32(0xDBC01002u).f32(100).u32(2).i32(0).u32(0).u32(5);
        for (char c : QByteArray("Arial")) {
            font.u16(std::uint16_t(c));
        }
        font.u16(0);
        b.plus(EmfPlusRecord::EmfPlusObject, 0x0600 | 2, font);
        return b;
    };
    EmfPlusBuilder layout = withFont();
    Bytes text;
    text.u32s({0xFF000000u, 0xFFFFFFFFu, 4}).f32s({500, 500, 500, 500});
    for (char c : QByteArray("HHHH")) {
        text.u16(std::uint16_t(c));
    }
    layout.plus(EmfPlusRecord::EmfPlusDrawString, kColor | 2, text);

    EmfPlusBuilder driver = withFont();
    Bytes glyphs;
    // Character codes (option 1) with a baseline origin per character.
    glyphs.u32(0xFF000000u).u32(1).u32(0).u32(4);
    for (int i = 0; i < 4; ++i) {
        glyphs.u16('H');
    }
    for (int i = 0; i < 4; ++i) {
        glyphs.f32(500.0f + 80 * i).f32(600);
    }
    driver.plus(EmfPlusRecord::EmfPlusDrawDriverString, kColor | 2, glyphs);

    for (EmfPlusBuilder* b : {&layout, &driver}) {
        const QRect ink = inkBox(Metafile::parse(b->build())->toImage(QSize(100, 100), Qt::white));
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_NEAR(ink.left(), 51, 2);
        EXPECT_GE(ink.top(), 50);
        EXPECT_NEAR(ink.height(), 7, 2);  // "H" is 0.72 em of a 10-pixel em
        EXPECT_NEAR(ink.width(), 30, 4);
    }
}

}  // namespace
