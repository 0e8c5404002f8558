// Natural size: EMF frame, placeable WMF bounding box and units per inch,
// plain WMF window extent at 1440 units per inch, or the size of the EMF a
// WMF carries.
#include "MetafileBuilder.h"
#include "TestData.h"
#include "platform/metafile/Metafile.h"

#include <gtest/gtest.h>

using metafile_test::EmfBuilder;
using metafile_test::readFile;
using metafile_test::testDataDir;
using metafile_test::WmfBuilder;
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

TEST(NaturalSize, WmfFilesAreSizedByTheirHeaderOrWindow) {
    struct Case {
        const char* file;
        QSize twips;
    };
    for (const Case& c : {
             // Bounding box 0,0-1369,1369 at 1200 units per inch.
             Case{"wmf/pillow/drawing.wmf", {1643, 1643}},
             // -4,-4-218,37 at 96 units per inch; the window extent does not matter.
             Case{"wmf/libwmf/formula1.wmf", {3330, 615}},
             // Plain WMF: the window extent in twips.
             Case{"wmf/libwmf/p0000001.wmf", {4800, 1792}},
             Case{"wmf/poi/testException2.doc-2.wmf", {443, 182}},
         }) {
        EXPECT_EQ(load(c.file)->naturalSizeTwips(), c.twips) << c.file;
    }
    EXPECT_EQ(load("wmf/libwmf/formula1.wmf")->naturalSizePixels(), QSize(222, 41));
}

TEST(NaturalSize, PlainWmfWithoutWindowExtentIsSizedByWhatItDraws) {
    // text.wmf only draws lines of text from (0,0) downwards, in pixel units.
    const QSize size = load("wmf/libwmf/text.wmf")->naturalSizePixels();
    EXPECT_GT(size.width(), 150);
    EXPECT_LT(size.width(), 1024);
    EXPECT_GT(size.height(), 300);
    EXPECT_LT(size.height(), 768);
}

TEST(NaturalSize, AWmfCarryingAnEmfTakesTheCarriedPicturesSize) {
    const QByteArray emf = EmfBuilder().rectangle(0, 0, 1000, 1000).build();
    const auto total = std::uint32_t(emf.size());
    // Plain: 100 x 100 mm, not 100 x 60 window units.
    const auto plain = Metafile::parse(
        WmfBuilder(false).window(0, 0, 100, 60).embeddedEmfChunk(1, 0, total, emf).build());
    ASSERT_NE(plain, nullptr);
    EXPECT_NEAR(plain->naturalSizeTwips().width(), 5669, 2);
    EXPECT_NEAR(plain->naturalSizeTwips().height(), 5669, 2);
    // Placeable: the bounding box still rules.
    const auto placeable = Metafile::parse(
        WmfBuilder().window(0, 0, 100, 60).embeddedEmfChunk(1, 0, total, emf).build());
    ASSERT_NE(placeable, nullptr);
    EXPECT_EQ(placeable->format(), Metafile::Format::Wmf);
    EXPECT_EQ(placeable->naturalSizeTwips(), QSize(1440, 1440));
}

}  // namespace
