// What callers see from individual records: colours in the right places
// after mapping, clipping, state save/restore, paths, bitmaps and text.
#include "MetafileBuilder.h"
#include "MetafileDrawing.h"
#include "TestData.h"
#include "platform/metafile/Metafile.h"

#include <gtest/gtest.h>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <thread>

using metafile_test::Bytes;
using metafile_test::draw;
using metafile_test::EmfBuilder;
using metafile_test::EmfRecord;
using metafile_test::WmfBuilder;
using metafile_test::WmfRecord;
using platform::Metafile;

namespace {

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kBlue = 0xFF0000;
const QColor kBackground(Qt::white);

// Null pen so fills can be checked right up to their edges.
EmfBuilder emfWithRedBrush() {
    EmfBuilder b;
    b.solidBrush(1, kRed).select(1).select(0x80000008u);
    return b;
}

TEST(EmfDrawing, FilledShapesLandWhereTheFrameSays) {
    const QImage rect = draw(emfWithRedBrush().rectangle(0, 0, 500, 500).build());
    EXPECT_EQ(rect.pixelColor(25, 25), QColor(Qt::red));
    EXPECT_EQ(rect.pixelColor(75, 75), kBackground);

    const QImage ellipse = draw(emfWithRedBrush().ellipse(0, 0, 1000, 1000).build());
    EXPECT_EQ(ellipse.pixelColor(50, 50), QColor(Qt::red));
    EXPECT_EQ(ellipse.pixelColor(3, 3), kBackground);
}

TEST(EmfDrawing, AnisotropicMappingScalesAndFlips) {
    EmfBuilder scaled = emfWithRedBrush();
    scaled.record(EmfRecord::EMR_SETMAPMODE, Bytes().u32(8))
        .record(EmfRecord::EMR_SETWINDOWEXTEX, Bytes().i32(100).i32(100))
        .record(EmfRecord::EMR_SETVIEWPORTEXTEX, Bytes().i32(1000).i32(1000))
        .rectangle(0, 0, 50, 50);
    const QImage a = draw(scaled.build());
    EXPECT_EQ(a.pixelColor(25, 25), QColor(Qt::red));
    EXPECT_EQ(a.pixelColor(75, 75), kBackground);

    EmfBuilder flipped = emfWithRedBrush();
    flipped.record(EmfRecord::EMR_SETMAPMODE, Bytes().u32(8))
        .record(EmfRecord::EMR_SETWINDOWEXTEX, Bytes().i32(100).i32(100))
        .record(EmfRecord::EMR_SETVIEWPORTEXTEX, Bytes().i32(1000).i32(-1000))
        .record(EmfRecord::EMR_SETVIEWPORTORGEX, Bytes().i32(0).i32(1000))
        .rectangle(0, 0, 50, 50);
    const QImage b = draw(flipped.build());
    EXPECT_EQ(b.pixelColor(25, 75), QColor(Qt::red));
    EXPECT_EQ(b.pixelColor(25, 25), kBackground);
}

TEST(EmfDrawing, FixedMappingModeUsesTheReferenceDevice) {
    // MM_LOMETRIC: 0.1 mm units, y up. The device is 10 pixels per millimetre.
    EmfBuilder b = emfWithRedBrush();
    b.record(EmfRecord::EMR_SETMAPMODE, Bytes().u32(2))
        .rectangle(0, 0, 500, -500);  // 50 x 50 mm from the top left
    const QImage image = draw(b.build());
    EXPECT_EQ(image.pixelColor(25, 25), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(75, 75), kBackground);
}

TEST(EmfDrawing, WorldTransformAppliesBeforeThePage) {
    EmfBuilder b = emfWithRedBrush();
    // MWT_SET with a 0.5 scale and a 500-unit shift to the right.
    b.record(EmfRecord::EMR_MODIFYWORLDTRANSFORM,
             Bytes().u32(0x3F000000).u32(0).u32(0).u32(0x3F000000).u32(0x43FA0000).u32(0).u32(4));
    b.rectangle(0, 0, 1000, 1000);
    const QImage image = draw(b.build());
    EXPECT_EQ(image.pixelColor(75, 25), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(25, 25), kBackground);
    EXPECT_EQ(image.pixelColor(75, 75), kBackground);
}

TEST(EmfDrawing, ClippingAndSavedStates) {
    EmfBuilder b = emfWithRedBrush();
    b.record(EmfRecord::EMR_SAVEDC, Bytes())  // SAVEDC
        .record(EmfRecord::EMR_INTERSECTCLIPRECT,
                Bytes().i32(0).i32(0).i32(500).i32(1000))  // INTERSECTCLIPRECT left half
        .solidBrush(2, kBlue)
        .select(2)
        .rectangle(0, 0, 1000, 500)                         // blue, clipped to the left
        .record(EmfRecord::EMR_RESTOREDC, Bytes().i32(-1))  // RESTOREDC: red, no clip
        .rectangle(0, 500, 1000, 1000);
    const QImage image = draw(b.build());
    EXPECT_EQ(image.pixelColor(25, 25), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(75, 25), kBackground);
    EXPECT_EQ(image.pixelColor(25, 75), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(75, 75), QColor(Qt::red));
}

TEST(EmfDrawing, DeviceClipRegionExcludesTheRest) {
    EmfBuilder b = emfWithRedBrush();
    // EXTSELECTCLIPRGN RGN_COPY with one device rectangle: the bottom half.
    b.record(EmfRecord::EMR_EXTSELECTCLIPRGN, Bytes()
                                                  .u32(48)
                                                  .u32(5)
                                                  .u32(32)
                                                  .u32(1)
                                                  .u32(1)
                                                  .u32(16)
                                                  .i32(0)
                                                  .i32(500)
                                                  .i32(1000)
                                                  .i32(1000)
                                                  .i32(0)
                                                  .i32(500)
                                                  .i32(1000)
                                                  .i32(1000));
    b.rectangle(0, 0, 1000, 1000);
    const QImage image = draw(b.build());
    EXPECT_EQ(image.pixelColor(50, 25), kBackground);
    EXPECT_EQ(image.pixelColor(50, 75), QColor(Qt::red));
}

TEST(EmfDrawing, PathBracketFillsTheCollectedFigure) {
    EmfBuilder b = emfWithRedBrush();
    b.record(EmfRecord::EMR_BEGINPATH, Bytes())  // BEGINPATH
        .record(EmfRecord::EMR_MOVETOEX, Bytes().i32(0).i32(0))
        .record(EmfRecord::EMR_LINETO, Bytes().i32(1000).i32(0))
        .record(EmfRecord::EMR_LINETO, Bytes().i32(0).i32(1000))
        .record(EmfRecord::EMR_CLOSEFIGURE, Bytes())                            // CLOSEFIGURE
        .record(EmfRecord::EMR_ENDPATH, Bytes())                                // ENDPATH
        .record(EmfRecord::EMR_FILLPATH, Bytes().i32(0).i32(0).i32(0).i32(0));  // FILLPATH
    const QImage image = draw(b.build());
    EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(80, 80), kBackground);
}

TEST(EmfDrawing, StretchedDibKeepsRowOrderAndColours) {
    // 2 x 2, 24 bits, bottom-up: bottom row red, blue; top row green, white.
    Bytes info;
    info.u32(40).i32(2).i32(2).u16(1).u16(24).u32(0).u32(16).u32(0).u32(0).u32(0).u32(0);
    Bytes bits;
    bits.u8(0).u8(0).u8(255).u8(255).u8(0).u8(0).u16(0);      // red, blue, padding
    bits.u8(0).u8(255).u8(0).u8(255).u8(255).u8(255).u16(0);  // green, white
    Bytes p;
    p.i32(0).i32(0).i32(999).i32(999);
    p.i32(0).i32(0).i32(0).i32(0).i32(2).i32(2);
    p.u32(80).u32(40).u32(120).u32(16).u32(0).u32(0x00CC0020).i32(1000).i32(1000);
    p.raw(info.data()).raw(bits.data());
    EmfBuilder b;
    b.record(EmfRecord::EMR_STRETCHDIBITS, p);
    const QImage image = draw(b.build());
    EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(20, 80), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(80, 80), QColor(Qt::blue));
}

// EMR_PLGBLT places the bitmap on a parallelogram: its top edge runs from
// the first point to the second, its left edge from the first to the third.
// Here that turns it a quarter clockwise.
TEST(EmfDrawing, ParallelogramBlitTurnsTheBitmap) {
    // 2 x 2, 24 bits, bottom-up: bottom row red, blue; top row green, white.
    Bytes info;
    info.u32(40).i32(2).i32(2).u16(1).u16(24).u32(0).u32(16).u32(0).u32(0).u32(0).u32(0);
    Bytes bits;
    bits.u8(0).u8(0).u8(255).u8(255).u8(0).u8(0).u16(0);
    bits.u8(0).u8(255).u8(0).u8(255).u8(255).u8(255).u16(0);
    Bytes p;
    p.i32(0).i32(0).i32(999).i32(999);
    p.i32(1000).i32(0).i32(1000).i32(1000).i32(0).i32(0);  // top-left, top-right, bottom-left
    p.i32(0).i32(0).i32(2).i32(2);
    p.f32(1).f32(0).f32(0).f32(1).f32(0).f32(0).u32(0);  // source transform, colour
    p.u32(0).u32(140).u32(40).u32(180).u32(16);          // usage, bitmap
    p.i32(0).i32(0).u32(0).u32(0).u32(0).u32(0).u32(0);  // no mask
    p.raw(info.data()).raw(bits.data());
    EmfBuilder b;
    b.record(EmfRecord::EMR_PLGBLT, p);
    const QImage image = draw(b.build());
    // Smooth resampling may mix a trace of the neighbouring pixel in.
    auto near = [&image](int x, int y, QColor expected) {
        const QRgb c = image.pixel(x, y);
        return std::abs(qRed(c) - expected.red()) < 8 &&
               std::abs(qGreen(c) - expected.green()) < 8 &&
               std::abs(qBlue(c) - expected.blue()) < 8;
    };
    EXPECT_TRUE(near(75, 25, Qt::green));
    EXPECT_TRUE(near(75, 75, Qt::white));
    EXPECT_TRUE(near(25, 25, Qt::red));
    EXPECT_TRUE(near(25, 75, Qt::blue));
}

TEST(EmfDrawing, MaskBlitsAlsoWorkOnTransparentTargets) {
    // 2 x 1, 24 bits: black, white, drawn with SRCAND over the whole frame.
    Bytes info;
    info.u32(40).i32(2).i32(1).u16(1).u16(24).u32(0).u32(8).u32(0).u32(0).u32(0).u32(0);
    Bytes bits;
    bits.u8(0).u8(0).u8(0).u8(255).u8(255).u8(255).u16(0);
    Bytes p;
    p.i32(0).i32(0).i32(999).i32(999);
    p.i32(0).i32(0).i32(0).i32(0).i32(2).i32(1);
    p.u32(80).u32(40).u32(120).u32(8).u32(0).u32(0x008800C6).i32(1000).i32(1000);
    p.raw(info.data()).raw(bits.data());
    EmfBuilder b;
    b.record(EmfRecord::EMR_STRETCHDIBITS, p);
    const auto metafile = Metafile::parse(b.build());
    ASSERT_NE(metafile, nullptr);
    const QImage image = metafile->toImage(QSize(100, 100), Qt::transparent);
    const QColor left = image.pixelColor(25, 50);
    EXPECT_EQ(left.alpha(), 255);
    EXPECT_LT(qGray(left.rgb()), 8);
    const QColor right = image.pixelColor(75, 50);
    EXPECT_TRUE(right.alpha() == 0 || qGray(right.rgb()) > 247) << right.name().toStdString();
}

TEST(EmfDrawing, AlphaBlendWithSourceAlphaLeavesClearPixelsClear) {
    // 2 x 1, 32 bits, premultiplied: clear, then half-covering red. Icons are
    // written both as BI_RGB and as BI_BITFIELDS without an alpha mask.
    for (const bool bitfields : {false, true}) {
        Bytes info;
        info.u32(40).i32(2).i32(1).u16(1).u16(32).u32(bitfields ? 3 : 0).u32(8);
        info.u32(0).u32(0).u32(0).u32(0);
        if (bitfields) {
            info.u32(0x00FF0000).u32(0x0000FF00).u32(0x000000FF);
        }
        Bytes bits;
        bits.u32(0).u32(0x80800000);
        const std::uint32_t offBmi = 108, offBits = offBmi + std::uint32_t(info.size());
        Bytes p;
        p.i32(0).i32(0).i32(999).i32(999);
        p.i32(0).i32(0).i32(1000).i32(1000).u32(0x01FF0000);  // AC_SRC_OVER, 255, AC_SRC_ALPHA
        p.i32(0).i32(0).f32(1).f32(0).f32(0).f32(1).f32(0).f32(0).u32(0);
        p.u32(0).u32(offBmi).u32(std::uint32_t(info.size())).u32(offBits).u32(8).i32(2).i32(1);
        p.raw(info.data()).raw(bits.data());
        EmfBuilder b;
        b.record(EmfRecord::EMR_ALPHABLEND, p);
        const QImage image = draw(b.build());
        const QColor clear = image.pixelColor(15, 50);
        EXPECT_GE(std::min({clear.red(), clear.green(), clear.blue()}), 250) << bitfields;
        const QColor half = image.pixelColor(85, 50);
        EXPECT_NEAR(half.red(), 255, 2) << bitfields;
        EXPECT_NEAR(half.green(), 127, 3) << bitfields;
        EXPECT_NEAR(half.blue(), 127, 3) << bitfields;
    }
}

TEST(EmfDrawing, TextAlignmentMovesTheInk) {
    auto textAt = [](std::uint32_t align) {
        EmfBuilder b;
        // 100-unit Arial, TA_BASELINE plus the horizontal alignment.
        b.font(1, -100).select(1).record(EmfRecord::EMR_SETTEXTALIGN, Bytes().u32(24 | align));
        b.record(EmfRecord::EMR_SETBKMODE, Bytes().u32(1));  // transparent background
        b.textOut({500, 500}, QStringLiteral("HHHH"));
        return draw(b.build(), 200);
    };
    auto inkColumns = [](const QImage& image) {
        int left = image.width(), right = -1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(image.pixel(x, y)) < 128) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        return std::pair(left, right);
    };
    const auto [leftL, rightL] = inkColumns(textAt(0));
    const auto [leftR, rightR] = inkColumns(textAt(2));
    ASSERT_GE(rightL, 0) << "no text drawn";
    EXPECT_GE(leftL, 99);    // starts at the reference point (x = 100 px)
    EXPECT_LE(rightR, 101);  // ends there
    EXPECT_NEAR(rightL - leftL, rightR - leftR, 3);
}

TEST(WmfDrawing, PlaceableBoundingBoxMapsTheWindow) {
    WmfBuilder b;
    b.window(0, 0, 1000, 1000)
        .solidBrush(kRed)
        .nullPen()
        .select(0)
        .select(1)
        .rectangle(0, 0, 500, 500);
    const QImage image = draw(b.build());
    EXPECT_EQ(image.pixelColor(25, 25), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(75, 75), kBackground);
}

TEST(WmfDrawing, WindowRecordsRemapDrawingOntoTheSameFrame) {
    // The window later shrinks to 100 units: the same frame now shows 0..100.
    WmfBuilder b(false);
    b.window(0, 0, 1000, 1000).solidBrush(kRed).nullPen().select(0).select(1);
    b.window(0, 0, 100, -100).rectangle(0, 0, 50, -50);
    const QImage image = draw(b.build());
    EXPECT_EQ(image.pixelColor(25, 25), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(75, 25), kBackground);
    EXPECT_EQ(image.pixelColor(25, 75), kBackground);
}

TEST(WmfDrawing, ObjectsFillTheLowestFreeSlot) {
    WmfBuilder b;
    b.window(0, 0, 1000, 1000)
        .solidBrush(kBlue)                                     // slot 0
        .nullPen()                                             // slot 1
        .record(WmfRecord::META_DELETEOBJECT, Bytes().u16(0))  // delete slot 0
        .solidBrush(kRed)                                      // slot 0 again
        .select(0)
        .select(1)
        .rectangle(0, 0, 1000, 1000);
    EXPECT_EQ(draw(b.build()).pixelColor(50, 50), QColor(Qt::red));
}

TEST(MetafileRendering, ScalesToAnyTargetSize) {
    const QByteArray bytes = emfWithRedBrush().ellipse(250, 250, 750, 750).build();
    const QImage small = draw(bytes, 50);
    const QImage large = draw(bytes, 800);
    EXPECT_EQ(small.pixelColor(25, 25), QColor(Qt::red));
    EXPECT_EQ(large.pixelColor(400, 400), QColor(Qt::red));
    EXPECT_EQ(large.pixelColor(150, 400), kBackground);
    EXPECT_EQ(large.pixelColor(250, 400), QColor(Qt::red));
}

TEST(MetafileRendering, OneParsedFileDrawsFromManyThreadsAlike) {
    const auto metafile = Metafile::parse(metafile_test::readFile(
        metafile_test::testDataDir() + QStringLiteral("/emf/libemf2svg/test-013.emf")));
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

TEST(MetafileSignature, RecognisesAllThreeHeadsAndNothingElse) {
    EXPECT_TRUE(Metafile::hasMetafileSignature(EmfBuilder().build().left(44)));
    EXPECT_TRUE(Metafile::hasMetafileSignature(WmfBuilder(true).build().left(4)));
    EXPECT_TRUE(Metafile::hasMetafileSignature(WmfBuilder(false).build().left(18)));
    EXPECT_FALSE(Metafile::hasMetafileSignature(QByteArray("GIF89a")));
    EXPECT_FALSE(Metafile::hasMetafileSignature(QByteArray()));
}

}  // namespace
