// Damaged and hostile metafiles: rejected or partly drawn, never a crash,
// a hang or an unbounded allocation. Run under ASan/UBSan in CI.
//
// Each file in tests/data/hostile is named for the fault it carries;
// expected.tsv says whether it is refused or drawn, the colour what follows
// the fault must still paint a quarter of the way in (on black), and how many
// records are kept when the record list has to end at the fault.
#include "MetafileDrawing.h"
#include "platform/metafile/Metafile.h"

#include <gtest/gtest.h>
#include <QRandomGenerator>

using metafile_test::readFile;
using metafile_test::testDataDir;
using platform::Metafile;

namespace {

QString hostileDir() {
    return testDataDir() + QStringLiteral("/hostile/");
}

TEST(HostileInput, EveryFaultNamedFileGetsItsExpectedReaction) {
    QStringList listed;
    const QList<QByteArray> lines = readFile(hostileDir() + "expected.tsv").split('\n');
    for (const QByteArray& line : lines.mid(1)) {
        const QStringList cols = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (cols.size() != 4) {
            continue;
        }
        const QString& file = cols[0];
        const QString& outcome = cols[1];
        SCOPED_TRACE(file.toStdString());
        listed << file;
        const QByteArray bytes = readFile(hostileDir() + file);
        const auto metafile = Metafile::parse(bytes);
        if (outcome == QLatin1String("refused")) {
            EXPECT_EQ(metafile, nullptr);
            continue;
        }
        if (outcome == QLatin1String("drawn")) {
            ASSERT_NE(metafile, nullptr);
        }
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
    QStringList present;
    for (const char* format : {"emf", "emfplus", "wmf"}) {
        QDirIterator it(hostileDir() + QLatin1String(format), QDir::Files);
        while (it.hasNext()) {
            present << QDir(hostileDir()).relativeFilePath(it.next());
        }
    }
    present.sort();
    EXPECT_EQ(present, listed);
    EXPECT_GT(listed.size(), 40);
}

TEST(HostileInput, RandomDamageToCorpusFilesNeverCrashes) {
    // Deterministic byte flips, truncations and splices over a few real files.
    QRandomGenerator random(20261206);
    const char* files[] = {"emf/poi/wrench.emf",          "emf/libemf2svg/test-183.emf",
                           "emf/tika/testEMF.emf",        "wmf/libwmf/fulltest.wmf",
                           "wmf/tika/testWMF.wmf",        "wmf/libwmf/formula3.wmf",
                           "emf/libemf2svg/test-000.emf", "emf/poi/nested_wmf.emf"};
    for (const char* file : files) {
        const QByteArray original = readFile(testDataDir() + QLatin1Char('/') + file);
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
            if (const auto metafile = Metafile::parse(damaged)) {
                EXPECT_FALSE(metafile->toImage(QSize(64, 64)).isNull());
            }
        }
    }
}

}  // namespace
