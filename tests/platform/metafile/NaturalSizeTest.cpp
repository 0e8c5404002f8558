// Natural size: EMF frame, placeable WMF bounding box and units per inch,
// plain WMF window extent at 1440 units per inch.
#include "TestData.h"
#include "platform/metafile/Metafile.h"

#include <gtest/gtest.h>

using metafile_test::readFile;
using metafile_test::testDataDir;
using platform::Metafile;

namespace {

std::shared_ptr<const Metafile> load(const char* file) {
    return Metafile::parse(readFile(testDataDir() + QLatin1Char('/') + QLatin1String(file)));
}

TEST(NaturalSize, EveryIntactEmfMatchesTheReferenceRenderersFrame) {
    int compared = 0;
    for (const auto& [file, entry] : metafile_test::libreOfficeManifest()) {
        if (!file.startsWith(QLatin1String("emf/")) || entry.status == QLatin1String("failed")) {
            continue;
        }
        const auto metafile = Metafile::parse(readFile(testDataDir() + QLatin1Char('/') + file));
        ASSERT_NE(metafile, nullptr) << file.toStdString();
        const QSize twips = metafile->naturalSizeTwips();
        EXPECT_NEAR(twips.width() / 15.0, entry.natural.width(), 1.5) << file.toStdString();
        EXPECT_NEAR(twips.height() / 15.0, entry.natural.height(), 1.5) << file.toStdString();
        ++compared;
    }
    EXPECT_GT(compared, 40);
}

TEST(NaturalSize, PlaceableWmfUsesBoundingBoxAndUnitsPerInch) {
    // Bounding box 0,0-1369,1369 at 1200 units per inch.
    EXPECT_EQ(load("wmf/pillow/drawing.wmf")->naturalSizeTwips(), QSize(1643, 1643));
    // -4,-4-218,37 at 96 units per inch; the window extent does not matter.
    EXPECT_EQ(load("wmf/libwmf/formula1.wmf")->naturalSizeTwips(), QSize(3330, 615));
    EXPECT_EQ(load("wmf/libwmf/formula1.wmf")->naturalSizePixels(), QSize(222, 41));
}

TEST(NaturalSize, PlainWmfUsesWindowExtentAsTwips) {
    EXPECT_EQ(load("wmf/libwmf/p0000001.wmf")->naturalSizeTwips(), QSize(4800, 1792));
    EXPECT_EQ(load("wmf/poi/testException2.doc-2.wmf")->naturalSizeTwips(), QSize(443, 182));
}

TEST(NaturalSize, PlainWmfWithoutWindowExtentIsSizedByWhatItDraws) {
    // text.wmf only draws lines of text from (0,0) downwards, in pixel units.
    const QSize size = load("wmf/libwmf/text.wmf")->naturalSizePixels();
    EXPECT_GT(size.width(), 150);
    EXPECT_LT(size.width(), 1024);
    EXPECT_GT(size.height(), 300);
    EXPECT_LT(size.height(), 768);
}

}  // namespace
