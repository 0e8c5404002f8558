// Monochrome pattern brushes take their colours from the device context at
// drawing time: 0 bits are drawn in the text colour, 1 bits in the
// background colour (EMR_CREATEMONOBRUSH, and META_DIBCREATEPATTERNBRUSH
// with BS_PATTERN, whose target is always a DIB).
#include "MetafileBuilder.h"
#include "platform/metafile/Metafile.h"

#include <gtest/gtest.h>
#include <QImage>

using metafile_test::Bytes;
using metafile_test::EmfBuilder;
using metafile_test::EmfRecord;
using metafile_test::WmfBuilder;
using metafile_test::WmfRecord;
using platform::Metafile;

namespace {

constexpr std::uint32_t kTextRef = 0x6F3F27;  // COLORREF of (0x27, 0x3F, 0x6F)
constexpr std::uint32_t kBackRef = 0xF0E6E1;
const QColor kText(0x27, 0x3F, 0x6F);
const QColor kBack(0xE1, 0xE6, 0xF0);

// An 8 x 8, 1 bpp DIB with every bit set to `bit`; `colorTable` adds black
// and white entries.
Bytes monoDib(int bit, bool colorTable) {
    Bytes b;
    b.u32(40).i32(8).i32(8).u16(1).u16(1).u32(0).u32(32).i32(0).i32(0).u32(0).u32(0);
    if (colorTable) {
        b.u32(0x000000).u32(0xFFFFFF);
    }
    for (int row = 0; row < 8; ++row) {
        b.u32(bit ? 0xFFu : 0u);
    }
    return b;
}

QByteArray emfWithMonoBrush(int bit) {
    const Bytes dib = monoDib(bit, false);
    EmfBuilder b;
    // EMR_CREATEMONOBRUSH: index, usage, then the DIB right after the fixed part.
    b.record(EmfRecord::EMR_CREATEMONOBRUSH,
             Bytes().u32(1).u32(2).u32(32).u32(40).u32(72).u32(32).raw(dib.data()));
    b.record(EmfRecord::EMR_SETTEXTCOLOR, Bytes().u32(kTextRef))
        .record(EmfRecord::EMR_SETBKCOLOR, Bytes().u32(kBackRef));
    b.select(0x80000008u).select(1).rectangle(0, 0, 1000, 1000);
    return b.build();
}

QByteArray wmfWithPatternBrush(int bit) {
    WmfBuilder b;
    b.window(0, 0, 1000, 1000).nullPen().select(0);
    b.record(WmfRecord::META_DIBCREATEPATTERNBRUSH,
             Bytes().u16(3).u16(0).raw(monoDib(bit, true).data()));
    b.record(WmfRecord::META_SETTEXTCOLOR, Bytes().u32(kTextRef))
        .record(WmfRecord::META_SETBKCOLOR, Bytes().u32(kBackRef));
    b.select(1).rectangle(0, 0, 1000, 1000);
    return b.build();
}

TEST(MonochromeBrush, ZeroBitsTakeTheTextColourOneBitsTheBackground) {
    for (int bit : {0, 1}) {
        const QColor expected = bit ? kBack : kText;
        for (const QByteArray& bytes : {emfWithMonoBrush(bit), wmfWithPatternBrush(bit)}) {
            const auto metafile = Metafile::parse(bytes);
            ASSERT_NE(metafile, nullptr);
            const QImage image = metafile->toImage(QSize(40, 40), Qt::transparent);
            EXPECT_EQ(image.pixelColor(20, 20), expected)
                << (bytes == emfWithMonoBrush(bit) ? "EMF" : "WMF") << " bit " << bit;
        }
    }
}

}  // namespace
