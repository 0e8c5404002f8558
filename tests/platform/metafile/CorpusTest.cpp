// Every corpus metafile parses (or, when damaged, is rejected) and draws
// without crashing or hanging.
#include "TestData.h"
#include "platform/metafile/Metafile.h"

#include <gtest/gtest.h>
#include <QPainter>
#include <QStringList>
#include <cctype>
#include <string>
#include <vector>

using metafile_test::corpusFiles;
using metafile_test::isDamaged;
using metafile_test::readFile;
using metafile_test::testDataDir;
using platform::Metafile;

namespace {

class CorpusFile : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusFile, ParsesAndDraws) {
    const QString file = QString::fromStdString(GetParam());
    const QByteArray bytes = readFile(testDataDir() + QLatin1Char('/') + file);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_TRUE(Metafile::hasMetafileSignature(bytes.left(64)));

    const auto metafile = Metafile::parse(bytes);
    if (!metafile) {
        EXPECT_TRUE(isDamaged(file)) << "an intact file was rejected";
        return;
    }
    EXPECT_EQ(metafile->format(), file.startsWith(QLatin1String("emf")) ? Metafile::Format::Emf
                                                                        : Metafile::Format::Wmf);
    EXPECT_GT(metafile->naturalSizeTwips().width(), 0);
    EXPECT_GT(metafile->naturalSizeTwips().height(), 0);

    const QSize natural = metafile->naturalSizePixels().boundedTo(QSize(1200, 1200));
    const QImage image = metafile->toImage(natural.expandedTo(QSize(32, 32)));
    ASSERT_FALSE(image.isNull());

    // Every record is drawn or applied but those that change nothing on a
    // screen (README says why for each).
    static const QStringList kScreenNoOps =
        QStringLiteral(
            "EMR_COMMENT EmfPlusComment META_ESCAPE EMR_SETICMMODE EMR_REALIZEPALETTE "
            "META_REALIZEPALETTE EMR_SETMAPPERFLAGS META_SETMAPPERFLAGS META_SETRELABS "
            "EmfPlusSetAntiAliasMode EmfPlusSetTextRenderingHint EmfPlusSetTextContrast "
            "EmfPlusSetInterpolationMode EmfPlusSetPixelOffsetMode "
            "EmfPlusSetCompositingQuality EmfPlusSetRenderingOrigin "
            "EMR_SETSTRETCHBLTMODE META_SETSTRETCHBLTMODE")
            .split(QLatin1Char(' '));
    for (const auto& [name, count] : metafile->skippedRecords()) {
        const bool undefined = name.contains(QLatin1String("(undefined type)"));
        EXPECT_TRUE(kScreenNoOps.contains(name) || (undefined && isDamaged(file)))
            << name.toStdString() << " x" << count << " not drawn";
    }

    // Nothing is visible in these two in any renderer; everything else draws ink.
    const bool blank = file.endsWith(QLatin1String("test-030.emf")) ||
                       file.endsWith(QLatin1String("empty-polygon-close.wmf"));
    if (!blank && !isDamaged(file)) {
        EXPECT_GT(metafile_test::inkPixels(image), 0) << "nothing drawn";
    }
}

TEST_P(CorpusFile, DrawsIntoAnOffsetTargetWithoutSpilling) {
    const auto metafile = Metafile::parse(
        readFile(testDataDir() + QLatin1Char('/') + QString::fromStdString(GetParam())));
    if (!metafile) {
        return;
    }
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        metafile->render(painter, QRectF(50, 50, 100, 100));
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (x < 50 || x >= 150 || y < 50 || y >= 150) {
                ASSERT_EQ(qAlpha(image.pixel(x, y)), 0)
                    << "drawn outside target at " << x << "," << y;
            }
        }
    }
}

std::string testName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

std::vector<std::string> corpusFileNames() {
    std::vector<std::string> names;
    for (const QString& file : corpusFiles()) {
        names.push_back(file.toStdString());
    }
    return names;
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusFile, ::testing::ValuesIn(corpusFileNames()), testName);

TEST(CorpusDamagedFiles, TheBrokenHeaderIsRejected) {
    // Its header record claims to be larger than the file.
    EXPECT_EQ(Metafile::parse(readFile(
                  testDataDir() + "/emf/libemf2svg-corrupted/bad_corrupted_2014-12-02-215338.emf")),
              nullptr);
}

}  // namespace
