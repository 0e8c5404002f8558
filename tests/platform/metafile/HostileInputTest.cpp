// Damaged and hostile metafiles: refused or partly drawn, never a crash, a
// hang or an unbounded allocation. Run under ASan/UBSan in CI.
//
// Each file in tests/data/hostile is named for the fault it carries;
// expected.tsv says whether it is refused or drawn, the colour what follows
// the fault must still paint a quarter of the way in (on black), and how many
// records are kept when the record list has to end at the fault.
#include "MetafileDrawing.h"

#include <gtest/gtest.h>
#include <QRandomGenerator>

using namespace metafile_test;

namespace {

TEST(HostileInput, EveryFaultNamedFileGetsItsExpectedReaction) {
    const QString dir = testDataDir() + QStringLiteral("/hostile/");
    QStringList listed, present;
    for (const QByteArray& line : readFile(dir + "expected.tsv").split('\n').mid(1)) {
        const QStringList cols = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (cols.size() != 4) {
            continue;
        }
        SCOPED_TRACE(cols[0].toStdString());
        listed << cols[0];
        const auto metafile = Metafile::parse(readFile(dir + cols[0]));
        EXPECT_TRUE(cols[1] == "either" || (metafile == nullptr) == (cols[1] == "refused"));
        if (!metafile) {
            continue;
        }
        const QImage image = metafile->toImage(QSize(64, 64), Qt::black);
        ASSERT_FALSE(image.isNull());
        if (cols[2] != QLatin1String("-")) {
            EXPECT_EQ(image.pixelColor(16, 16), QColor(cols[2]));
        }
        if (cols[3] != QLatin1String("-")) {
            EXPECT_EQ(metafile->recordCount(), cols[3].toInt());
        }
    }
    // No file lies in the folder without its expectation.
    QDirIterator it(dir, {QStringLiteral("*.emf"), QStringLiteral("*.wmf")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        present << QDir(dir).relativeFilePath(it.next());
    }
    present.sort();
    EXPECT_EQ(present, listed);
    EXPECT_GT(listed.size(), 40);
}

TEST(HostileInput, RandomDamageToCorpusFilesNeverCrashes) {
    // Deterministic byte flips, truncations and splices over a few real files.
    QRandomGenerator random(20261206);
    for (const char* file :
         {"emf/poi/wrench.emf", "emf/libemf2svg/test-183.emf", "emf/tika/testEMF.emf",
          "wmf/libwmf/fulltest.wmf", "wmf/tika/testWMF.wmf", "wmf/libwmf/formula3.wmf",
          "emf/libemf2svg/test-000.emf", "emf/poi/nested_wmf.emf"}) {
        const QByteArray original = readFile(QLatin1String(file));
        ASSERT_FALSE(original.isEmpty()) << file;
        for (int round = 0; round < 40; ++round) {
            QByteArray damaged = original;
            for (int i = 0, flips = 1 + int(random.bounded(16)); i < flips; ++i) {
                damaged[int(random.bounded(int(damaged.size())))] = char(random.bounded(256));
            }
            if (round % 4 == 0) {
                damaged.truncate(int(random.bounded(int(damaged.size()))));
            }
            if (const auto metafile = Metafile::parse(damaged)) {
                EXPECT_FALSE(metafile->toImage(QSize(64, 64)).isNull());
            }
        }
    }
}

}  // namespace
