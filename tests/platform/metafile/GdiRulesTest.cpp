// General rules of the GDI drawing model, each shown with a small metafile:
// world transform modes, polygon fill modes, font heights and one-pixel lines.
#include "MetafileBuilder.h"
#include "MetafileDrawing.h"

#include <gtest/gtest.h>
#include <functional>
#include <map>
#include <optional>

using namespace metafile_test;

namespace {

// --- World transforms, path editing and WMF viewports, as pictures --------

const Bytes kHalf = Bytes().f32s({0.5, 0, 0, 0.5, 0, 0});
const Bytes kShift = Bytes().f32s({1, 0, 0, 1, 500, 0});
// 90 degrees: (x, y) -> (1000 - y, x), the page turned on its side.
const Bytes kTurn = Bytes().f32s({0, 1, -1, 0, 1000, 0});

Bytes modify(const Bytes& m, std::uint32_t mode) {
    return Bytes(m).u32(mode);
}

// The rectangle (0,0)-(500,250) in red after transform steps: `m` a matrix
// for EMR_MODIFYWORLDTRANSFORM in mode (1 identity, 2 left multiply, 3 right
// multiply, 4 set), "w" for EMR_SETWORLDTRANSFORM, "s" SAVEDC, "r" RESTOREDC.
QByteArray transformed(std::initializer_list<std::pair<const char*, Bytes>> steps) {
    EmfBuilder b = EmfBuilder().fillWith(kRed);
    for (const auto& [step, matrix] : steps) {
        if (step[0] == 's' || step[0] == 'r') {
            step[0] == 's' ? b.record(R::EMR_SAVEDC) : b.record(R::EMR_RESTOREDC, {-1});
        } else {
            step[0] == 'w' ? b.record(R::EMR_SETWORLDTRANSFORM, matrix)
                           : b.record(R::EMR_MODIFYWORLDTRANSFORM, modify(matrix, step[0] - '0'));
        }
    }
    return b.rectangle(0, 0, 500, 250).build();
}

// A path of `figure` drawn with a 100-unit pen, edited by `edit`, then filled red.
QByteArray editedPath(R edit, const std::function<void(EmfBuilder&)>& figure) {
    EmfBuilder b = EmfBuilder().fillWith(kRed);
    b.pen(2, 0, 100, 0).select(2).record(R::EMR_BEGINPATH);
    figure(b);
    b.record(R::EMR_ENDPATH).record(edit).select(kNullPen);
    return b.record(R::EMR_FILLPATH, {0, 0, 1000, 1000}).build();
}

// The first viewport a WMF sets stands for the picture frame (100 device
// units); `records` follow, then the rectangle (0,0)-(500,500) in red.
QByteArray wmfViewport(std::initializer_list<WmfBuilder::Fields> records) {
    WmfBuilder b;
    b.fillWith(kRed).records(
        {{W::META_SETVIEWPORTORG, {0, 0}}, {W::META_SETVIEWPORTEXT, {100, 100}}});
    return b.records(records).rectangle(0, 0, 500, 500).build();
}

// A polyline with a 100-unit geometric pen, flat ends and mitred joins,
// whose join comes to a point at y = 450: its miter is 6.2 widths long.
QByteArray sharpJoin(float limit) {
    EmfBuilder b;
    if (limit > 0) {
        b.record(R::EMR_SETMITERLIMIT, Bytes().f32(limit));
    }
    b.record(R::EMR_EXTCREATEPEN, {1, 0, 0, 0, 0, 0x12200, 100, 0, kRed, 0, 0}).select(1);
    return b
        .record(R::EMR_POLYLINE16,
                Bytes().i32s({0, 0, 1000, 1000, 3}).i16s({410, 1000, 500, 450, 590, 1000}))
        .build();
}

// A pen 40,000 logical units wide where a million units span the picture:
// wider than QPen holds (below 2^15), it is still 4 pixels wide.
QByteArray wideRedLine() {
    EmfBuilder b;
    b.records({{R::EMR_SETMAPMODE, {8}},
               {R::EMR_SETWINDOWEXTEX, {1000000, 1000000}},
               {R::EMR_SETVIEWPORTEXTEX, {1000, 1000}}});
    return b.pen(1, 0, 40000, kRed).select(1).line(100000, 500000, 900000, 500000).build();
}

const std::pair<const char*, Bytes> save{"s", {}}, restore{"r", {}};

// Left multiply: shift, then halve (x -> (x + 500) / 2); right: halve, then shift.
INSTANTIATE_TEST_SUITE_P(
    Rules, Picture,
    testing::Values(
        PictureCase{"LeftMultiplyTurnsThePage",
                    transformed({{"2", kTurn}}),
                    {{{87, 40}, red}, {{25, 12}, white}}},
        PictureCase{"SetReplaces",
                    transformed({{"w", kHalf}, {"4", kShift}}),
                    {{{75, 12}, red}, {{25, 12}, white}}},
        PictureCase{"LeftMultiplyAppliesFirst",
                    transformed({{"w", kHalf}, {"2", kShift}}),
                    {{{37, 6}, red}, {{60, 6}, white}}},
        PictureCase{"RightMultiplyAppliesLast",
                    transformed({{"w", kHalf}, {"3", kShift}}),
                    {{{60, 6}, red}, {{37, 6}, white}}},
        PictureCase{"IdentityResets",
                    transformed({{"w", kTurn}, {"1", kHalf}}),
                    {{{25, 12}, red}, {{87, 40}, white}}},
        PictureCase{"RestoreDcBringsBackTheSavedTransform",
                    transformed({{"2", kTurn}, save, {"4", kHalf}, restore}),
                    {{{87, 40}, red}, {{25, 12}, white}}},
        PictureCase{"TransformSetInsideSaveDcEndsAtRestore",
                    transformed({save, {"2", kTurn}, restore}),
                    {{{25, 12}, red}, {{87, 40}, white}}},
        // A widened line fills the pen's outline, round caps half a width past its ends.
        PictureCase{"WidenPathFillsThePenOutline",
                    editedPath(R::EMR_WIDENPATH, [](EmfBuilder& b) { b.line(100, 500, 900, 500); }),
                    {{{50, 50}, red}, {{50, 47}, red}, {{50, 40}, white}, {{2, 50}, white}}},
        PictureCase{
            "FlattenPathKeepsTheShape",
            editedPath(R::EMR_FLATTENPATH, [](EmfBuilder& b) { b.ellipse(0, 0, 1000, 1000); }),
            {{{50, 50}, red}, {{50, 3}, red}, {{3, 3}, white}}},
        PictureCase{"FirstWmfViewportChangesNothing",
                    wmfViewport({}),
                    {{{25, 25}, red}, {{75, 25}, white}}},
        PictureCase{"OffsetViewportShiftsByDeviceUnits",
                    wmfViewport({{W::META_OFFSETVIEWPORTORG, {0, 50}}}),
                    {{{75, 25}, red}, {{25, 25}, white}}},
        PictureCase{"ScaledViewportShrinks",
                    wmfViewport({{W::META_SCALEVIEWPORTEXT, {2, 1, 2, 1}}}),
                    {{{12, 12}, red}, {{37, 37}, white}}},
        PictureCase{"RestoreDcBringsBackTheSavedViewport",
                    wmfViewport({{W::META_SAVEDC, {}},
                                 {W::META_OFFSETVIEWPORTORG, {0, 50}},
                                 {W::META_RESTOREDC, {-1}},
                                 {W::META_SCALEVIEWPORTEXT, {1, 1, 1, 1}}}),
                    {{{25, 25}, red}, {{75, 25}, white}}},
        // A mitred join reaches its point unless the miter limit (10 unless
        // set) is shorter than the miter.
        PictureCase{"MiterReachesItsPoint", sharpJoin(0), {{{50, 40}, red}, {{50, 20}, red}}},
        PictureCase{"LongerMiterLimitKeepsThePoint", sharpJoin(8), {{{50, 20}, red}}},
        PictureCase{
            "ShorterMiterLimitCutsThePoint", sharpJoin(3), {{{50, 40}, red}, {{50, 20}, white}}},
        PictureCase{"PenWidthsBeyondWhatQPenHolds",
                    wideRedLine(),
                    {{{50, 48}, red}, {{50, 51}, red}, {{50, 46}, white}, {{50, 53}, white}}}),
    metafile_test::pictureName);

// A header that gives neither frame nor bounds: the picture is framed by what
// its records draw, after the world transform; drawing nothing, it is no picture.
TEST(WorldTransform, AFramelessPictureIsFramedByItsTransformedDrawing) {
    // Bounds and frame zeroed: a picture that does not say how big it is.
    auto frameless = [](const EmfBuilder& b) {
        return Metafile::parse(b.build().replace(8, 32, QByteArray(32, '\0')));
    };
    EmfBuilder turned = EmfBuilder().fillWith(kRed);
    turned.record(R::EMR_MODIFYWORLDTRANSFORM, modify(kTurn, 2)).rectangle(0, 0, 500, 250);
    const auto picture = frameless(turned);
    ASSERT_NE(picture, nullptr);
    const QSize twips = picture->naturalSizeTwips();  // 25 x 50 mm on the reference device
    EXPECT_NEAR(twips.width(), 1417, 20);
    EXPECT_NEAR(twips.height(), 2835, 20);
    const QImage image = picture->toImage(QSize(50, 100), Qt::white);
    EXPECT_TRUE(isRed(image, 2, 2));
    EXPECT_TRUE(isRed(image, 47, 97));

    EXPECT_EQ(frameless(EmfBuilder().fillWith(kRed)), nullptr);
}

// --- Fill modes -------------------------------------------------------------

// Two squares overlapping in (300,300)-(600,600), both drawn clockwise,
// as two polygons or as one self-overlapping outline, through every record
// that fills a polygon.
const QPolygon kFirst({{100, 100}, {600, 100}, {600, 600}, {100, 600}});
const QPolygon kSecond({{300, 300}, {800, 300}, {800, 800}, {300, 800}});

enum class Fill {
    Polygon,
    Polygon16,
    PolyPolygon,
    PolyPolygon16,
    Path,
    StrokeAndFillPath,
    WmfPolygon,
    WmfPolyPolygon
};

Bytes points(std::initializer_list<QPolygon> polys, bool shortPoints) {
    Bytes b;
    for (const QPolygon& poly : polys) {
        for (const QPoint& p : poly) {
            shortPoints ? b.i16s({p.x(), p.y()}) : b.i32s({p.x(), p.y()});
        }
    }
    return b;
}

Bytes bounds() {
    return Bytes().i32s({0, 0, 1000, 1000});
}

QByteArray overlappingSquares(Fill fill, bool winding) {
    QPolygon joined = kFirst;  // around the first square, then the second
    joined << kFirst[0] << kSecond << kSecond[0];
    const auto n = std::uint32_t(joined.size());
    const bool shortPoints = fill == Fill::Polygon16 || fill == Fill::PolyPolygon16;
    if (fill == Fill::WmfPolygon || fill == Fill::WmfPolyPolygon) {
        WmfBuilder b;
        b.fillWith(kRed).record(W::META_SETPOLYFILLMODE, {winding ? 2 : 1, 0});
        return (fill == Fill::WmfPolygon
                    ? b.record(W::META_POLYGON, Bytes().u16(n).raw(points({joined}, true).data()))
                    : b.record(W::META_POLYPOLYGON,
                               Bytes().i16s({2, 4, 4}).raw(points({kFirst, kSecond}, true).data())))
            .build();
    }
    EmfBuilder b;
    b.fillWith(kRed).record(R::EMR_SETPOLYFILLMODE, {winding ? 2 : 1});
    switch (fill) {
        case Fill::Polygon:
        case Fill::Polygon16:
            b.record(shortPoints ? R::EMR_POLYGON16 : R::EMR_POLYGON,
                     bounds().u32(n).raw(points({joined}, shortPoints).data()));
            break;
        case Fill::PolyPolygon:
        case Fill::PolyPolygon16:
            b.record(
                shortPoints ? R::EMR_POLYPOLYGON16 : R::EMR_POLYPOLYGON,
                bounds().u32s({2, 8, 4, 4}).raw(points({kFirst, kSecond}, shortPoints).data()));
            break;
        default:
            b.record(R::EMR_BEGINPATH);
            for (const QPolygon& poly : {kFirst, kSecond}) {
                b.record(R::EMR_POLYGON, bounds().u32(4).raw(points({poly}, false).data()));
            }
            b.record(R::EMR_ENDPATH)
                .record(fill == Fill::Path ? R::EMR_FILLPATH : R::EMR_STROKEANDFILLPATH, bounds());
    }
    return b.build();
}

class FillMode : public testing::TestWithParam<Fill> {};

TEST_P(FillMode, WindingFillsTheOverlapAlternateLeavesItOpen) {
    for (bool winding : {true, false}) {
        const QImage image = draw(overlappingSquares(GetParam(), winding));
        SCOPED_TRACE(winding ? "winding" : "alternate");
        EXPECT_TRUE(isRed(image, 20, 20));
        EXPECT_TRUE(isRed(image, 70, 70));
        EXPECT_EQ(isRed(image, 45, 45), winding);
        EXPECT_FALSE(isRed(image, 85, 15));
    }
}

INSTANTIATE_TEST_SUITE_P(Records, FillMode,
                         testing::Values(Fill::Polygon, Fill::Polygon16, Fill::PolyPolygon,
                                         Fill::PolyPolygon16, Fill::Path, Fill::StrokeAndFillPath,
                                         Fill::WmfPolygon, Fill::WmfPolyPolygon));

// --- Text ------------------------------------------------------------------

using Records = std::vector<std::pair<R, Bytes>>;

EmfBuilder& add(EmfBuilder& b, const Records& records) {
    for (const auto& [type, params] : records) {
        b.record(type, params);
    }
    return b;
}

const Records kLoMetric{{R::EMR_SETMAPMODE, Bytes().i32(2)}};

// An "H" is 0.716 em high in Arial and its metric twins; a positive height
// asks for the cell (the OS/2 table's Windows ascent + descent, 1.117 em in
// those faces). Cap heights are in pixels of a 1000 x 1000 image; turned
// text is a quarter turn counter-clockwise.
TEST(FontHeight, CapitalsAreAsTallAsTheRulesSay) {
    struct Case {
        const char* name;
        Records mapping;
        std::int32_t height, escapement;
        QPoint at;  // reference point, logical units
        double capHeight;
    };
    const Case cases[] = {
        {"negative is the em height", {}, -200, 0, {100, 500}, 143},
        {"positive is the cell height", {}, 200, 0, {100, 500}, 128},
        {"lometric scales with the reference device", kLoMetric, -200, 0, {100, -500}, 143},
        {"anisotropic scales by the viewport",
         {{R::EMR_SETMAPMODE, Bytes().i32(8)},
          {R::EMR_SETWINDOWEXTEX, Bytes().i32s({100, 100})},
          {R::EMR_SETVIEWPORTEXTEX, Bytes().i32s({1000, 1000})}},
         -20,
         0,
         {10, 50},
         143},
        {"world transform scales text",
         {{R::EMR_MODIFYWORLDTRANSFORM, modify(Bytes().f32s({2, 0, 0, 2, 0, 0}), 4)}},
         -100,
         0,
         {50, 250},
         143},
        {"escapement turns the line", {}, -200, 900, {500, 900}, 143},
        {"escapement under a flipped mapping", kLoMetric, -200, 900, {500, -900}, 143}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmfBuilder b;
        add(b, c.mapping).font(1, c.height, "Arial", 0, c.escapement).select(1).plainText();
        const QRect box = inkBox(draw(b.textOut(c.at, QStringLiteral("HH")).build(), 1000));
        ASSERT_FALSE(box.isEmpty()) << "no text drawn";
        const bool turned = c.escapement != 0;
        EXPECT_NEAR(turned ? box.width() : box.height(), c.capHeight, c.capHeight * 0.08 + 1.5);
        EXPECT_EQ(box.height() > box.width(), turned);
    }
}

// A font width asks for the face's average character width: Arial's is
// 0.441 em, so that width keeps the letters as they are and half of it
// halves them.
TEST(FontWidth, TheAverageCharacterWidthScalesTheLetters) {
    auto inkWidth = [](std::int32_t width) {
        EmfBuilder b;
        b.font(1, -200, "Arial", width).select(1).plainText();
        b.textOut({100, 500}, QStringLiteral("Hamb"));
        return inkBox(draw(b.build(), 1000)).width();
    };
    const int natural = inkWidth(0);
    ASSERT_GT(natural, 100);
    EXPECT_NEAR(inkWidth(88), natural, natural * 0.04);
    EXPECT_NEAR(inkWidth(44), natural / 2.0, natural * 0.04);
}

// A symbol face's codes draw the characters the face shows, whether the text
// holds 8-bit codes or the face's own U+F0xx codes: Greek letters and
// mathematical signs in Symbol, the pictures Unicode encodes for the others
// (drawn by a face that has them when the face itself is not installed).
TEST(SymbolFaces, CodesDrawTheCharactersTheFaceShows) {
    struct Case {
        QByteArray face;
        QString codes, shown;
    };
    for (const Case& c :
         {Case{"Symbol", QStringLiteral("p-a"), QStringLiteral("\u03C0\u2212\u03B1")},
          Case{"Wingdings", QStringLiteral("J!\u00F0"),
               QString::fromUcs4(U"\u263A\U0001F589\u21E8")},
          Case{"Wingdings 2", QStringLiteral("P!"), QString::fromUcs4(U"\U0001F5F8\U0001F58A")},
          Case{"Wingdings 3", QStringLiteral("!l"), QString::fromUcs4(U"\u2B60\U0001F857")},
          Case{"Webdings", QStringLiteral("!\u00F0"),
               QString::fromUcs4(U"\U0001F577\U0001F5E7")}}) {
        SCOPED_TRACE(c.face.toStdString());
        auto drawn = [&c](const QString& text) {
            EmfBuilder b;
            b.font(1, -300, c.face).select(1).plainText().textOut({100, 600}, text);
            return draw(b.build(), 1000);
        };
        const QImage shown = drawn(c.shown);
        ASSERT_FALSE(inkBox(shown).isEmpty());
        EXPECT_EQ(drawn(c.codes), shown);
        QString privateUse;
        for (QChar code : c.codes) {
            privateUse.append(QChar(char16_t(0xF000 + code.unicode())));
        }
        EXPECT_EQ(drawn(privateUse), shown);
        EXPECT_NE(drawn(c.codes + c.codes.front()), shown);
    }
}

// EMR_SMALLTEXTOUT draws its characters as EMR_EXTTEXTOUTW draws the same
// text (alignment, escapement, world transform and background mode alike),
// from 8-bit codes as from UTF-16.
TEST(SmallText, DrawsLikeExtTextOut) {
    constexpr std::uint32_t kNoRect = 0x0100, kSmallChars = 0x0200;
    const QString text = QStringLiteral("Hxg\u00E9");
    const std::pair<std::int32_t, Records> cases[] = {
        {0, {}},
        {0, {{R::EMR_SETTEXTALIGN, Bytes().u32(6 | 24)}}},  // centred on the baseline
        {900, {}},
        {0, {{R::EMR_MODIFYWORLDTRANSFORM, modify(Bytes().f32s({1.5, 0, 0.3, 1, -100, 0}), 4)}}},
        {0, {{R::EMR_SETBKMODE, Bytes().u32(2)}, {R::EMR_SETBKCOLOR, Bytes().u32(kRed)}}}};
    for (const auto& [escapement, setup] : cases) {
        auto drawn = [&](int form) {
            EmfBuilder b;
            b.font(1, -120, "Arial", 0, escapement).select(1).record(R::EMR_SETBKMODE, {1});
            add(b, setup);
            form < 0 ? b.textOut({400, 500}, text) : b.smallTextOut({400, 500}, text, form);
            return draw(b.build(), 500);
        };
        const QImage expected = drawn(-1);
        ASSERT_FALSE(inkBox(expected).isEmpty());
        EXPECT_EQ(drawn(kNoRect), expected);
        EXPECT_EQ(drawn(kNoRect | kSmallChars), expected);
    }
}

// With its rectangle, ETO_CLIPPED keeps the text inside it and ETO_OPAQUE
// fills it with the background colour, in both character forms.
TEST(SmallText, ItsRectangleClipsAndFills) {
    constexpr std::uint32_t kOpaque = 0x0002, kClipped = 0x0004, kSmallChars = 0x0200;
    for (const std::uint32_t form : {0u, kSmallChars}) {
        auto drawn = [form](std::uint32_t options) {
            EmfBuilder b;
            b.font(1, -200).select(1).record(R::EMR_SETBKMODE, {1});
            b.record(R::EMR_SETTEXTALIGN, {24}).record(R::EMR_SETBKCOLOR, Bytes().u32(kRed));
            b.smallTextOut({100, 600}, QStringLiteral("HHHH"), options | form, {0, 0, 300, 1000});
            return draw(b.build(), 1000);
        };
        const QRect whole = inkBox(drawn(0));
        ASSERT_GT(whole.right(), 400) << "form " << form;
        const QRect clipped = inkBox(drawn(kClipped));
        EXPECT_EQ(clipped.left(), whole.left());
        EXPECT_LE(clipped.right(), 300);
        EXPECT_GE(clipped.right(), 280);
        const QImage filled = drawn(kOpaque);
        EXPECT_TRUE(isRed(filled, 150, 100));
        EXPECT_FALSE(isRed(filled, 500, 100));
        EXPECT_EQ(inkBox(filled).right(), whole.right());
    }
}

// Inside a path bracket text adds its glyph outlines to the path instead of
// drawing: filling the path paints the letters, abandoning it paints nothing.
TEST(TextInPath, GlyphOutlinesJoinThePath) {
    auto drawn = [](std::optional<R> bracketEnd) {
        EmfBuilder b;
        b.font(1, -400).select(1).fillWith(kRed).plainText();
        if (bracketEnd) {
            b.record(R::EMR_BEGINPATH).textOut({100, 700}, QStringLiteral("HH"));
            b.record(R::EMR_ENDPATH).record(*bracketEnd, {0, 0, 1000, 1000});
        } else {
            b.textOut({100, 700}, QStringLiteral("HH"));
        }
        return draw(b.build(), 1000);
    };
    const QRect letters = inkBox(drawn(std::nullopt));
    ASSERT_FALSE(letters.isEmpty());
    const QImage filled = drawn(R::EMR_FILLPATH);
    const QRect filledInk = inkBox(filled);
    EXPECT_LE((filledInk.topLeft() - letters.topLeft()).manhattanLength(), 2);
    EXPECT_LE((filledInk.bottomRight() - letters.bottomRight()).manhattanLength(), 2);
    EXPECT_TRUE(isRed(filled, letters.left() + 20, letters.center().y()));  // an H's stem
    EXPECT_TRUE(inkBox(drawn(R::EMR_ABORTPATH)).isEmpty());
}

// A geometric pen built with a brush paints its strokes with that brush:
// a bitmap pattern shows the bitmap's colours, a hatch its lines over what
// was there before.
TEST(PatternPen, StrokesArePaintedWithThePensBrush) {
    auto stroke = [](std::uint32_t style, std::uint32_t colorOrUsage, std::uint32_t hatch,
                     const Bytes& dib) {
        const std::uint32_t bmi = dib.size() ? 40 : 0;  // 300 units wide, solid, flat ends
        Bytes pen =
            Bytes().u32s({1, bmi ? 52u : 0u, bmi, bmi ? 92u : 0u, std::uint32_t(dib.size()) - bmi});
        pen.u32s({0x10000, 300, style, colorOrUsage, hatch, 0}).raw(dib.data());
        return draw(
            EmfBuilder().record(R::EMR_EXTCREATEPEN, pen).select(1).line(0, 500, 1000, 500).build(),
            200);
    };
    // 2 x 2, 24 bits: red and blue alternating.
    Bytes checker = Bytes().u32(40).i32s({2, 2}).u16s({1, 24}).u32s({0, 16, 0, 0, 0, 0});
    checker.u8s({0, 0, 255, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0});
    const QImage patterned = stroke(5, 0, 0, checker);
    std::map<QRgb, int> colours;
    for (int x = 20; x < 180; ++x) {
        for (int y = 90; y < 110; ++y) {
            ++colours[patterned.pixel(x, y) & 0xFFFFFF];
        }
    }
    EXPECT_GT(colours[0xFF0000], 1000);
    EXPECT_GT(colours[0x0000FF], 1000);
    EXPECT_EQ(colours.size(), 2u);

    const QImage hatched = stroke(2, kRed, 4 /* cross */, Bytes());
    int hatchRed = 0, untouched = 0;
    for (int x = 20; x < 180; ++x) {
        hatchRed += isRed(hatched, x, 100);
        untouched += hatched.pixelColor(x, 100) == Qt::white;
    }
    EXPECT_GT(hatchRed, 5);
    EXPECT_GT(untouched, 80);
}

}  // namespace

// --- One-pixel lines ------------------------------------------------------------

// GDI lights whole pixels for a one-pixel pen: a line lying on the border
// between two pixel rows comes out as one dark row, not two half-grey ones.
TEST(OnePixelLines, LightWholePixels) {
    for (const int y : {500, 505, 507}) {
        SCOPED_TRACE(y);
        WmfBuilder b;
        b.window(0, 0, 1000, 1000);
        b.record(W::META_CREATEPENINDIRECT, {0, 0, 0, 0, 0}).select(0);
        b.record(W::META_POLYLINE, {2, 0, y, 1000, y});
        const QImage image = draw(b.build());
        int dark = 0;
        for (int row = 40; row < 60; ++row) {
            const int level = image.pixelColor(50, row).red();
            EXPECT_TRUE(level < 16 || level > 240) << "row " << row << " level " << level;
            dark += level < 16 ? 1 : 0;
        }
        EXPECT_EQ(dark, 1);
    }
}
