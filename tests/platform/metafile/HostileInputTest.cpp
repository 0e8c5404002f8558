// Damaged and hostile metafiles: rejected or partly drawn, never a crash,
// a hang or an unbounded allocation. Run under ASan/UBSan in CI.
#include "MetafileBuilder.h"
#include "TestData.h"
#include "platform/metafile/Metafile.h"

#include <gtest/gtest.h>
#include <QRandomGenerator>
#include <functional>

using metafile_test::Bytes;
using metafile_test::EmfBuilder;
using metafile_test::EmfPlusBuilder;
using metafile_test::EmfPlusRecord;
using metafile_test::EmfRecord;
using metafile_test::WmfBuilder;
using metafile_test::WmfRecord;
using platform::Metafile;

namespace {

// Parses and, when accepted, draws at a small size; returns whether accepted.
bool survives(const QByteArray& bytes) {
    const auto metafile = Metafile::parse(bytes);
    if (!metafile) {
        return false;
    }
    EXPECT_FALSE(metafile->toImage(QSize(64, 64)).isNull());
    return true;
}

TEST(HostileEmf, RecordSizesThatCannotBeTrustedEndTheRecordList) {
    // A zero-sized record would loop forever if trusted.
    EmfBuilder zero;
    zero.solidBrush(1, 0x0000FF)
        .select(1)
        .rectangle(0, 0, 999, 999)
        .rawRecord(EmfRecord::EMR_RECTANGLE, 0, Bytes());
    const auto metafile = Metafile::parse(zero.build());
    ASSERT_NE(metafile, nullptr);
    EXPECT_EQ(metafile->recordCount(), 3);  // what came before is still drawn
    EXPECT_EQ(metafile->toImage(QSize(10, 10)).pixelColor(5, 5), QColor(Qt::red));

    EmfBuilder pastEnd;
    pastEnd.rectangle(0, 0, 10, 10)
        .rawRecord(EmfRecord::EMR_RECTANGLE, 0x7FFFFFF0, Bytes().i32(0).i32(0));
    ASSERT_TRUE(survives(pastEnd.build(false)));
    EXPECT_EQ(Metafile::parse(pastEnd.build(false))->recordCount(), 1);

    EmfBuilder unaligned;
    unaligned.rawRecord(EmfRecord::EMR_RECTANGLE, 13, Bytes().i32(0).i32(0).i32(1).u8(0));
    survives(unaligned.build());
}

TEST(HostileEmf, BrokenHeadersAreRejected) {
    QByteArray header = EmfBuilder().build();
    QByteArray tooLarge = header;
    tooLarge[4] = char(0xFF);  // header size past the end
    EXPECT_EQ(Metafile::parse(tooLarge), nullptr);

    EXPECT_EQ(Metafile::parse(header.left(60)), nullptr);
    EXPECT_EQ(Metafile::parse(EmfBuilder(0).build().replace(8, 16, QByteArray(16, 0))), nullptr);
    EXPECT_EQ(Metafile::parse(QByteArray()), nullptr);
    EXPECT_EQ(Metafile::parse(QByteArray("\x89PNG\r\n\x1a\n", 8)), nullptr);
}

TEST(HostileEmf, CountsLargerThanTheRecordAreIgnored) {
    EmfBuilder b;
    // POLYGON16 claiming 2^31 points but carrying three.
    b.record(EmfRecord::EMR_POLYGON16, Bytes()
                                           .i32(0)
                                           .i32(0)
                                           .i32(0)
                                           .i32(0)
                                           .u32(0x80000000u)
                                           .i16(0)
                                           .i16(0)
                                           .i16(9)
                                           .i16(0)
                                           .i16(9)
                                           .i16(9));
    // POLYPOLYGON16 whose polygon counts overflow when summed.
    b.record(EmfRecord::EMR_POLYPOLYGON16, Bytes()
                                               .i32(0)
                                               .i32(0)
                                               .i32(0)
                                               .i32(0)
                                               .u32(2)
                                               .u32(4)
                                               .u32(0xFFFFFFFFu)
                                               .u32(5)
                                               .i16(0)
                                               .i16(0)
                                               .i16(1)
                                               .i16(1));
    // EXTTEXTOUTW with a negative-looking character count and a string offset past the end.
    b.record(EmfRecord::EMR_EXTTEXTOUTW, Bytes()
                                             .i32(0)
                                             .i32(0)
                                             .i32(0)
                                             .i32(0)
                                             .u32(1)
                                             .u32(0)
                                             .u32(0)
                                             .i32(10)
                                             .i32(10)
                                             .u32(0xFFFFFFF0u)
                                             .u32(0x7FFFFFFF)
                                             .u32(0)
                                             .i32(0)
                                             .i32(0)
                                             .i32(0)
                                             .i32(0)
                                             .u32(0xFFFFFF00u));
    // EXTSELECTCLIPRGN with a rectangle count far beyond its data.
    b.record(
        EmfRecord::EMR_EXTSELECTCLIPRGN,
        Bytes().u32(32).u32(5).u32(32).u32(1).u32(0x10000000u).u32(0).i32(0).i32(0).i32(1).i32(1));
    EXPECT_TRUE(survives(b.build()));
}

TEST(HostileEmf, ObjectIndicesOutsideTheTableAreIgnored) {
    EmfBuilder b(9999, 0xFFFF);
    b.solidBrush(0xFFFFFFF0u, 0x0000FF)
        .select(0xFFFFFFF0u)
        .select(0x7FFFFFFF)
        .pen(0xFFFFFFFFu, 0, 5, 0)
        .record(EmfRecord::EMR_DELETEOBJECT, Bytes().u32(0xFFFFFFFFu))  // DELETEOBJECT
        .select(0x80000000u | 5000)                                     // no such stock object
        .rectangle(0, 0, 999, 999);
    const auto metafile = Metafile::parse(b.build());
    ASSERT_NE(metafile, nullptr);
    // The white default brush still fills; the red brush never existed.
    EXPECT_EQ(metafile->toImage(QSize(10, 10), Qt::black).pixelColor(5, 5), QColor(Qt::white));
}

TEST(HostileEmf, TruncatedAndOversizedBitmapsAreSkipped) {
    auto stretchDibits = [](const Bytes& bitmapInfo, const Bytes& bits, std::uint32_t offBmi,
                            std::uint32_t cbBmi, std::uint32_t cbBits) {
        Bytes p;
        p.i32(0).i32(0).i32(0).i32(0);                // bounds
        p.i32(0).i32(0).i32(0).i32(0).i32(4).i32(4);  // dest x,y, src x,y,cx,cy
        p.u32(offBmi).u32(cbBmi).u32(80 + std::uint32_t(bitmapInfo.size())).u32(cbBits);
        p.u32(0).u32(0x00CC0020).i32(1000).i32(1000);
        p.raw(bitmapInfo.data()).raw(bits.data());
        return p;
    };
    // Header cut short: only the size field is there.
    EmfBuilder truncated;
    truncated.record(EmfRecord::EMR_STRETCHDIBITS,
                     stretchDibits(Bytes().u32(40), Bytes(), 80, 4, 0));
    EXPECT_TRUE(survives(truncated.build()));

    // 65535 x 65535 pixels at 32 bits with four bytes of data.
    Bytes huge;
    huge.u32(40).i32(65535).i32(65535).u16(1).u16(32).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
    EmfBuilder oversized;
    oversized.record(EmfRecord::EMR_STRETCHDIBITS,
                     stretchDibits(huge, Bytes().u32(0xFFFFFFFF), 80, 40, 4));
    EXPECT_TRUE(survives(oversized.build()));

    // RLE4 bitmap of enormous width whose runs never end a line.
    Bytes rle;
    rle.u32(40).i32(60000).i32(200).u16(1).u16(4).u32(2).u32(0).u32(0).u32(0).u32(0).u32(0);
    Bytes runs;
    for (int i = 0; i < 512; ++i) {
        runs.u8(255).u8(0x12);
    }
    EmfBuilder rleBomb;
    rleBomb.record(EmfRecord::EMR_STRETCHDIBITS,
                   stretchDibits(rle, runs, 80, 40, std::uint32_t(runs.size())));
    EXPECT_TRUE(survives(rleBomb.build()));

    // Bitmap offsets that point outside the record.
    EmfBuilder outside;
    outside.record(EmfRecord::EMR_STRETCHDIBITS,
                   stretchDibits(Bytes(), Bytes(), 0x7FFFFFF0u, 40, 0x7FFFFFF0u));
    EXPECT_TRUE(survives(outside.build()));
}

TEST(HostileEmf, DeepSaveAndWildRestoreStayBounded) {
    EmfBuilder b;
    for (int i = 0; i < 10000; ++i) {
        b.record(EmfRecord::EMR_SAVEDC, Bytes());  // SAVEDC
    }
    b.record(EmfRecord::EMR_RESTOREDC, Bytes().i32(-100000))
        .record(EmfRecord::EMR_RESTOREDC, Bytes().i32(0x7FFFFFFF))
        .record(EmfRecord::EMR_RESTOREDC, Bytes().i32(-1));
    b.record(EmfRecord::EMR_MODIFYWORLDTRANSFORM,
             Bytes().u32(0x7F800000).u32(0).u32(0).u32(0x7F800000).u32(0).u32(0).u32(4));
    b.record(EmfRecord::EMR_EXTCREATEFONTINDIRECTW,
             Bytes().u32(1).i32(-2000000000).i32(0).i32(0).i32(0).i32(400).u32(0).u32(0));
    b.select(1).record(EmfRecord::EMR_EXTTEXTOUTW, Bytes());
    b.record(EmfRecord::EMR_SETMAPMODE, Bytes().u32(8))
        .record(EmfRecord::EMR_SETWINDOWEXTEX, Bytes().i32(0).i32(0))
        .rectangle(0, 0, 999, 999);
    EXPECT_TRUE(survives(b.build()));
}

// A world transform that stretches x thousands of times more than y turns
// small text into glyphs wider than any glyph bitmap can be.
TEST(HostileEmf, TextStretchedFarAlongOneAxisIsDrawn) {
    for (const float stretch : {3000.0f, 1.0f / 3000}) {
        EmfBuilder b;
        b.record(EmfRecord::EMR_SETWORLDTRANSFORM,
                 Bytes().f32(stretch).f32(0).f32(0).f32(1).f32(0).f32(0));
        b.font(1, -16).select(1).textOut({0, 500}, QStringLiteral("iW"));
        EXPECT_TRUE(survives(b.build()));
    }
}

// Under a turned world transform, rectangles and paths reaching far beyond
// the picture become clip and fill regions only where they meet it.
TEST(HostileEmf, TurnedAreasFarBeyondThePictureStayCheap) {
    const float c = 0.8660254f, s = 0.5f;
    for (const std::int32_t far : {200000, 2000000, 20000000, 2000000000}) {
        EmfBuilder b;
        b.record(EmfRecord::EMR_SETWORLDTRANSFORM,
                 Bytes().f32(c).f32(s).f32(-s).f32(c).f32(0).f32(0));
        // No characters, ETO_OPAQUE over a huge rectangle.
        b.textOut({0, 0}, QString(), 2, {-far, -far, far, far});
        b.record(EmfRecord::EMR_BEGINPATH, Bytes()).rectangle(-far, -far, far, far);
        b.record(EmfRecord::EMR_ENDPATH, Bytes())
            .record(EmfRecord::EMR_SELECTCLIPPATH, Bytes().u32(1));  // SELECTCLIPPATH, RGN_AND
        b.rectangle(0, 0, 999, 999);
        EXPECT_TRUE(survives(b.build()));
    }
}

// A header without frame or bounds makes the player measure what is drawn;
// a thousand gradient fills over a huge area must not make that costly.
TEST(HostileEmf, AFramelessPictureOfManyHugeFillsIsMeasuredCheaply) {
    EmfBuilder b;
    Bytes gradient;
    gradient.i32(0).i32(0).i32(0).i32(0).u32(2).u32(1000).u32(0);
    gradient.i32(-100000).i32(-100000).u16(0).u16(0).u16(0xFF00).u16(0);
    gradient.i32(100000).i32(100000).u16(0xFF00).u16(0).u16(0).u16(0);
    for (int i = 0; i < 1000; ++i) {
        gradient.u32(0).u32(1);
    }
    b.record(EmfRecord::EMR_GRADIENTFILL, gradient);
    EXPECT_TRUE(survives(b.buildFrameless()));
}

TEST(HostileWmf, RecordSizesAndCountsAreChecked) {
    WmfBuilder zero;
    zero.solidBrush(0x0000FF)
        .select(0)
        .rectangle(0, 0, 1000, 1000)
        .rawRecord(0, WmfRecord::META_RECTANGLE, Bytes());
    const auto metafile = Metafile::parse(zero.build(false));
    ASSERT_NE(metafile, nullptr);
    EXPECT_EQ(metafile->recordCount(), 3);

    WmfBuilder pastEnd;
    pastEnd.rectangle(0, 0, 10, 10).rawRecord(0x7FFFFFFF, WmfRecord::META_POLYGON, Bytes().i16(3));
    EXPECT_TRUE(survives(pastEnd.build(false)));

    WmfBuilder negative;
    negative
        .record(WmfRecord::META_POLYGON, Bytes().i16(-5).i16(0).i16(0))  // POLYGON, negative count
        .record(WmfRecord::META_POLYLINE,
                Bytes().i16(30000).i16(0).i16(0))  // POLYLINE, count past the end
        .record(WmfRecord::META_POLYPOLYGON,
                Bytes().u16(0xFFFF).u16(3))                // POLYPOLYGON, counts missing
        .record(WmfRecord::META_TEXTOUT, Bytes().i16(-3))  // TEXTOUT, negative length
        .record(WmfRecord::META_EXTTEXTOUT,
                Bytes().i16(0).i16(0).i16(500).u16(6).i16(0))  // EXTTEXTOUT too short
        .record(WmfRecord::META_CREATEREGION,
                Bytes().u16(0).u16(6).u32(0).i16(0).i16(30000));  // region scans missing
    EXPECT_TRUE(survives(negative.build()));
}

TEST(HostileWmf, HugeObjectCountsAndBadSlotsAreHarmless) {
    WmfBuilder b(true, 0xFFFF);
    for (int i = 0; i < 3000; ++i) {
        b.solidBrush(0x00FF00);  // never deleted
    }
    b.select(0xFFFF)
        .record(WmfRecord::META_DELETEOBJECT, Bytes().u16(0xFFFF))
        .record(WmfRecord::META_SELECTCLIPREGION, Bytes().u16(7));
    b.rectangle(0, 0, 1000, 1000);
    EXPECT_TRUE(survives(b.build()));
}

TEST(HostileWmf, TruncatedBitmapHeadersAreSkipped) {
    WmfBuilder b;
    // STRETCHDIB whose BITMAPINFOHEADER stops after the width.
    b.record(WmfRecord::META_STRETCHDIB, Bytes()
                                             .u32(0x00CC0020)
                                             .u16(0)
                                             .i16(4)
                                             .i16(4)
                                             .i16(0)
                                             .i16(0)
                                             .i16(1000)
                                             .i16(1000)
                                             .i16(0)
                                             .i16(0)
                                             .u32(40)
                                             .i32(4));
    // DIBCREATEPATTERNBRUSH with a 1 bpp header claiming 2^20 palette entries.
    b.record(WmfRecord::META_DIBCREATEPATTERNBRUSH, Bytes()
                                                        .u16(5)
                                                        .u16(0)
                                                        .u32(40)
                                                        .i32(8)
                                                        .i32(8)
                                                        .u16(1)
                                                        .u16(1)
                                                        .u32(0)
                                                        .u32(0)
                                                        .u32(0)
                                                        .u32(0)
                                                        .u32(1u << 20)
                                                        .u32(0));
    b.select(0).rectangle(0, 0, 1000, 1000);
    EXPECT_TRUE(survives(b.build()));
}

// Embedded EMF chunks that cannot be trusted: the WMF records are drawn instead.
struct EmbeddedCase {
    const char* name;
    std::function<void(WmfBuilder&, const QByteArray& emf)> chunks;
};

class HostileEmbeddedEmf : public testing::TestWithParam<EmbeddedCase> {};

TEST_P(HostileEmbeddedEmf, FallsBackToTheWmfRecords) {
    EmfBuilder emf;
    emf.select(0x80000008u).solidBrush(1, 0x0000FF).select(1).rectangle(0, 0, 1000, 1000);
    WmfBuilder b;
    b.window(0, 0, 1000, 1000).nullPen().select(0);
    GetParam().chunks(b, emf.build());
    b.solidBrush(0x00FF00).select(1).rectangle(0, 0, 1000, 1000);
    const auto metafile = Metafile::parse(b.build());
    ASSERT_NE(metafile, nullptr);
    EXPECT_EQ(metafile->toImage(QSize(20, 20)).pixelColor(10, 10), QColor(Qt::green));
}

std::uint32_t sizeOf(const QByteArray& bytes) {
    return std::uint32_t(bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    Chunks, HostileEmbeddedEmf,
    testing::Values(
        EmbeddedCase{"MissingChunk",
                     [](WmfBuilder& b, const QByteArray& emf) {
                         b.embeddedEmfChunk(2, sizeOf(emf) - 40, sizeOf(emf), emf.left(40));
                     }},
        EmbeddedCase{"ChunksOutOfOrder",
                     [](WmfBuilder& b, const QByteArray& emf) {
                         b.embeddedEmfChunk(2, 0, sizeOf(emf), emf.mid(40));
                         b.embeddedEmfChunk(2, sizeOf(emf) - 40, sizeOf(emf), emf.left(40));
                     }},
        EmbeddedCase{"TotalLargerThanTheChunks",
                     [](WmfBuilder& b, const QByteArray& emf) {
                         b.embeddedEmfChunk(1, 0, sizeOf(emf) + 8, emf);
                     }},
        EmbeddedCase{"RemainingBytesWrong",
                     [](WmfBuilder& b, const QByteArray& emf) {
                         b.embeddedEmfChunk(1, 4, sizeOf(emf), emf);
                     }},
        EmbeddedCase{"HugeTotalAndCount",
                     [](WmfBuilder& b, const QByteArray& emf) {
                         b.embeddedEmfChunk(0xFFFFFFFFu, 0xFFFFFFFFu - sizeOf(emf), 0xFFFFFFFFu,
                                            emf);
                     }},
        EmbeddedCase{
            "ChunkSizePastTheRecord",
            [](WmfBuilder& b, const QByteArray& emf) {
                Bytes comment;
                comment.u32(0x43464D57).u32(1).u32(0x10000).u16(0).u32(0);
                comment.u32(1).u32(0x7FFFFFF0u).u32(0).u32(sizeOf(emf)).raw(emf);
                b.record(WmfRecord::META_ESCAPE,
                         Bytes().u16(15).u16(std::uint16_t(comment.size())).raw(comment.data()));
            }},
        EmbeddedCase{"ByteCountPastTheRecord",
                     [](WmfBuilder& b, const QByteArray& emf) {
                         Bytes comment;
                         comment.u32(0x43464D57).u32(1).u32(0x10000).u16(0).u32(0);
                         comment.u32(1).u32(sizeOf(emf)).u32(0).u32(sizeOf(emf)).raw(emf);
                         b.record(WmfRecord::META_ESCAPE,
                                  Bytes().u16(15).u16(0xFFFF).raw(comment.data()));
                     }},
        EmbeddedCase{"NotAnEmf",
                     [](WmfBuilder& b, const QByteArray& emf) {
                         b.embeddedEmfChunk(1, 0, sizeOf(emf), QByteArray(emf.size(), 'x'));
                     }},
        EmbeddedCase{"TruncatedEmf",
                     [](WmfBuilder& b, const QByteArray& emf) {
                         const QByteArray head = emf.left(60);
                         b.embeddedEmfChunk(1, 0, sizeOf(head), head);
                     }}),
    [](const testing::TestParamInfo<EmbeddedCase>& p) { return p.param.name; });

// Hostile EMF+ records, each followed by a fill that must still be drawn.
TEST(HostileEmfPlus, BadRecordsAreSkippedAndTheRestIsDrawn) {
    constexpr std::uint32_t kVersion = 0xDBC01002u;
    const Bytes solid = Bytes().u32(kVersion).u32(0).u32(0xFF00FF00u);
    auto nestedRegion = [](int depth) {
        Bytes b;
        b.u32(kVersion).u32(std::uint32_t(depth * 2 + 1));
        for (int i = 0; i < depth; ++i) {
            b.u32(1).u32(0x10000003u);  // AND(infinite, ...)
        }
        return b.u32(0x10000002u);
    };
    // An EMF+-only picture that draws itself as an image, nested a few levels.
    std::function<QByteArray(int)> selfNested = [&](int level) {
        EmfPlusBuilder inner(false);
        if (level > 0) {
            const QByteArray child = selfNested(level - 1);
            Bytes image;
            image.u32(kVersion).u32(2).u32(3).u32(std::uint32_t(child.size())).raw(child);
            inner.plus(EmfPlusRecord::EmfPlusObject, 0x0500, image);
            for (int i = 0; i < 8; ++i) {
                inner.drawImage(0, {0, 0, 1000, 1000}, {0, 0, 1000, 1000});
            }
        }
        return inner.build();
    };
    const std::vector<std::pair<const char*, std::function<void(EmfPlusBuilder&)>>> cases = {
        {"continued object larger than any file",
         [](EmfPlusBuilder& b) {
             b.plus(EmfPlusRecord::EmfPlusObject, 0x8100, Bytes().u32(0xFFFFFFFFu).u32(0));
         }},
        {"continued pieces beyond their total",
         [&](EmfPlusBuilder& b) {
             b.plus(EmfPlusRecord::EmfPlusObject, 0x8101, Bytes().u32(4).raw(solid.data()));
             b.plus(EmfPlusRecord::EmfPlusObject, 0x0101, solid);
         }},
        {"path with two billion points",
         [](EmfPlusBuilder& b) {
             b.plus(EmfPlusRecord::EmfPlusObject, 0x0302, Bytes().u32(kVersion).u32(1u << 31));
         }},
        {"path whose point-type runs overflow",
         [](EmfPlusBuilder& b) {
             b.plus(EmfPlusRecord::EmfPlusObject, 0x0302,
                    Bytes()
                        .u32(kVersion)
                        .u32(2)
                        .u32(0x1000)
                        .u32(0)
                        .u32(0)
                        .u32(0)
                        .u32(0)
                        .u8(0x7F)
                        .u8(1)
                        .u8(0x7F)
                        .u8(1));
             b.plus(EmfPlusRecord::EmfPlusDrawPath, 2, Bytes().u32(9));
         }},
        {"region nested far too deep",
         [&](EmfPlusBuilder& b) {
             b.plus(EmfPlusRecord::EmfPlusObject, 0x0403, nestedRegion(5000));
             b.plus(EmfPlusRecord::EmfPlusSetClipRegion, 0x0103, Bytes());
             b.plus(EmfPlusRecord::EmfPlusFillRegion, 0x8003, Bytes().u32(0xFF0000FFu));
         }},
        {"bitmap with impossible sizes",
         [](EmfPlusBuilder& b) {
             for (std::int32_t side : {-1, 0, 1 << 30}) {
                 b.plus(EmfPlusRecord::EmfPlusObject, 0x0504,
                        Bytes()
                            .u32(kVersion)
                            .u32(1)
                            .i32(side)
                            .i32(side)
                            .i32(side)
                            .u32(0x0026200A)
                            .u32(0)
                            .u32(0));
             }
             b.plus(EmfPlusRecord::EmfPlusObject, 0x0504,
                    Bytes()
                        .u32(kVersion)
                        .u32(1)
                        .i32(30000)
                        .i32(30000)
                        .i32(-4)
                        .u32(0x00030803)
                        .u32(0)
                        .u32(0)
                        .u32(1000));
             b.plus(EmfPlusRecord::EmfPlusDrawImage, 4,
                    Bytes().u32(0).i32(2).f32(0).f32(0).f32(1).f32(1).f32(0).f32(0).f32(1e30f).f32(
                        1e30f));
         }},
        {"pen with runaway counts",
         [](EmfPlusBuilder& b) {
             b.plus(EmfPlusRecord::EmfPlusObject, 0x0205,
                    Bytes()
                        .u32(kVersion)
                        .u32(0)
                        .u32(0x0500)
                        .u32(0)
                        .f32(1)
                        .u32(0xFFFFFFFFu)
                        .u32(0xFFFFFFFFu));
             b.plus(EmfPlusRecord::EmfPlusDrawLines, 5,
                    Bytes().u32(2).f32(0).f32(0).f32(10).f32(10));
         }},
        {"strings and glyph runs longer than the record",
         [](EmfPlusBuilder& b) {
             b.plus(EmfPlusRecord::EmfPlusDrawString, 0x8000,
                    Bytes().u32(0xFF000000u).u32(0).u32(0x7FFFFFFF).f32(0).f32(0).f32(10).f32(10));
             b.plus(EmfPlusRecord::EmfPlusDrawDriverString, 0x8000,
                    Bytes().u32(0xFF000000u).u32(1).u32(0).u32(0xFFFFFFFFu));
         }},
        {"transforms that are not numbers",
         [](EmfPlusBuilder& b) {
             const float nan = std::numeric_limits<float>::quiet_NaN();
             const float inf = std::numeric_limits<float>::infinity();
             b.plus(EmfPlusRecord::EmfPlusSetWorldTransform, 0,
                    Bytes().f32(nan).f32(0).f32(0).f32(1).f32(0).f32(0));
             b.plus(EmfPlusRecord::EmfPlusSetWorldTransform, 0,
                    Bytes().f32(0).f32(0).f32(0).f32(0).f32(0).f32(0));
             b.plus(EmfPlusRecord::EmfPlusScaleWorldTransform, 0, Bytes().f32(inf).f32(1));
             b.plus(EmfPlusRecord::EmfPlusRotateWorldTransform, 0, Bytes().f32(nan));
             b.plus(EmfPlusRecord::EmfPlusSetPageTransform, 2, Bytes().f32(0));
             b.plus(EmfPlusRecord::EmfPlusOffsetClip, 0, Bytes().f32(inf).f32(inf));
         }},
        {"saves without end and restores of nothing",
         [](EmfPlusBuilder& b) {
             for (int i = 0; i < 5000; ++i) {
                 b.plus(EmfPlusRecord::EmfPlusSave, 0, Bytes().u32(std::uint32_t(i)));
             }
             b.plus(EmfPlusRecord::EmfPlusRestore, 0, Bytes().u32(0xDEADBEEFu));
             b.plus(EmfPlusRecord::EmfPlusEndContainer, 0, Bytes().u32(0xDEADBEEFu));
         }},
        {"gradient with a runaway blend count",
         [](EmfPlusBuilder& b) {
             b.plus(EmfPlusRecord::EmfPlusObject, 0x0106,
                    Bytes()
                        .u32(kVersion)
                        .u32(4)
                        .u32(0x04)
                        .i32(0)
                        .f32(0)
                        .f32(0)
                        .f32(1)
                        .f32(1)
                        .u32(0)
                        .u32(0)
                        .u32(0)
                        .u32(0)
                        .u32(0x40000000u));
         }},
        {"a picture that holds itself as an image", [&](EmfPlusBuilder& b) {
             const QByteArray child = selfNested(4);
             Bytes image;
             image.u32(kVersion).u32(2).u32(3).u32(std::uint32_t(child.size())).raw(child);
             b.plus(EmfPlusRecord::EmfPlusObject, 0x0507, image);
             b.drawImage(7, {0, 0, 1000, 1000}, {0, 500, 100, 100});
         }}};
    for (const auto& [name, hostile] : cases) {
        SCOPED_TRACE(name);
        EmfPlusBuilder b;
        hostile(b);
        b.plus(EmfPlusRecord::EmfPlusFillRects, 0x8000,
               Bytes().u32(0xFFFF0000u).u32(1).f32(0).f32(0).f32(500).f32(500));
        const auto metafile = Metafile::parse(b.build());
        ASSERT_NE(metafile, nullptr);
        EXPECT_EQ(metafile->toImage(QSize(64, 64)).pixelColor(16, 16), QColor(Qt::red));
    }
}

TEST(HostileInput, RandomDamageToCorpusFilesNeverCrashes) {
    // Deterministic byte flips, truncations and splices over a few real files.
    QRandomGenerator random(20261206);
    const char* files[] = {"emf/poi/wrench.emf",          "emf/libemf2svg/test-183.emf",
                           "emf/tika/testEMF.emf",        "wmf/libwmf/fulltest.wmf",
                           "wmf/tika/testWMF.wmf",        "wmf/libwmf/formula3.wmf",
                           "emf/libemf2svg/test-000.emf", "emf/poi/nested_wmf.emf"};
    for (const char* file : files) {
        const QByteArray original = metafile_test::readFile(metafile_test::testDataDir() +
                                                            QLatin1Char('/') + QLatin1String(file));
        ASSERT_FALSE(original.isEmpty()) << file;
        for (int round = 0; round < 40; ++round) {
            QByteArray damaged = original;
            const int flips = 1 + int(random.bounded(16));
            for (int i = 0; i < flips; ++i) {
                damaged[int(random.bounded(int(damaged.size())))] = char(random.bounded(256));
            }
            if (round % 4 == 0) {
                damaged.truncate(int(random.bounded(int(damaged.size()))));
            }
            survives(damaged);
        }
    }
}

}  // namespace
