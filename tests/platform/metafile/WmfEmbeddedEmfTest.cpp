// A WMF that carries the enhanced metafile it was converted from is drawn
// from that EMF, in the place and at the size the WMF gives it.
#include "MetafileBuilder.h"
#include "platform/metafile/Metafile.h"

#include <gtest/gtest.h>
#include <QImage>

using metafile_test::Bytes;
using metafile_test::EmfBuilder;
using metafile_test::WmfBuilder;
using platform::Metafile;

namespace {

// The EMF fills its frame red; the WMF records around it fill blue.
QByteArray redEmf() {
    EmfBuilder b;
    b.select(0x80000008u).solidBrush(1, 0x0000FF).select(1).rectangle(0, 0, 1000, 1000);
    return b.build();
}

WmfBuilder blueWmf() {
    WmfBuilder b;
    b.window(0, 0, 1000, 1000).nullPen().select(0).solidBrush(0xFF0000).select(1);
    return b;
}

TEST(WmfEmbeddedEmf, TheCarriedPictureIsDrawnInTheWmfsPlace) {
    const QByteArray emf = redEmf();
    const auto total = std::uint32_t(emf.size());
    const QByteArray head = emf.left(60);
    const QByteArray tail = emf.mid(60);

    WmfBuilder oneChunk = blueWmf();
    oneChunk.embeddedEmfChunk(1, 0, total, emf).rectangle(0, 0, 1000, 1000);

    // Two chunks with other records between them, as converters write them.
    WmfBuilder twoChunks = blueWmf();
    twoChunks.embeddedEmfChunk(2, std::uint32_t(tail.size()), total, head)
        .rectangle(0, 0, 1000, 1000)
        .embeddedEmfChunk(2, 0, total, tail);

    const auto plain = Metafile::parse(blueWmf().rectangle(0, 0, 1000, 1000).build());
    ASSERT_NE(plain, nullptr);
    for (const QByteArray& bytes : {oneChunk.build(), twoChunks.build()}) {
        const auto metafile = Metafile::parse(bytes);
        ASSERT_NE(metafile, nullptr);
        EXPECT_EQ(metafile->format(), Metafile::Format::Wmf);
        EXPECT_EQ(metafile->naturalSizeTwips(), plain->naturalSizeTwips());
        const QImage image = metafile->toImage(QSize(50, 50), Qt::transparent);
        EXPECT_EQ(image.pixelColor(25, 25), QColor(Qt::red));
        EXPECT_EQ(image.pixelColor(2, 47), QColor(Qt::red));
    }
}

TEST(WmfEmbeddedEmf, APlainWmfTakesItsSizeFromTheCarriedPicture) {
    const QByteArray emf = redEmf();
    WmfBuilder b(false);
    b.window(0, 0, 100, 60).embeddedEmfChunk(1, 0, std::uint32_t(emf.size()), emf);
    const auto metafile = Metafile::parse(b.build());
    const auto carried = Metafile::parse(emf);
    ASSERT_NE(metafile, nullptr);
    ASSERT_NE(carried, nullptr);
    // 100 x 100 mm, not 100 x 60 window units.
    EXPECT_EQ(metafile->naturalSizeTwips(), carried->naturalSizeTwips());
    EXPECT_NEAR(metafile->naturalSizeTwips().width(), 5669, 2);
}

}  // namespace
