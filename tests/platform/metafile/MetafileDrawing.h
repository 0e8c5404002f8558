#pragma once

#include "platform/metafile/Metafile.h"

#include <gtest/gtest.h>
#include <QColor>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

// Drawing metafiles and finding their ink; the corpus in tests/data and its
// reference renderings.
namespace metafile_test {

using platform::Metafile;
inline const QColor red(Qt::red), green(Qt::green), blue(Qt::blue), white(Qt::white);

inline QString testDataDir() {
    return QStringLiteral(VEDRA_TESTDATA_DIR);
}

inline QByteArray readFile(const QString& path) {
    QFile file(path.startsWith(QLatin1Char('/')) ? path : testDataDir() + QLatin1Char('/') + path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The picture drawn into a size x size image over `background`; a file the
// parser refuses fails the test and gives a null image.
inline QImage draw(const QByteArray& bytes, int size = 100, const QColor& background = Qt::white) {
    const auto metafile = platform::Metafile::parse(bytes);
    EXPECT_NE(metafile, nullptr);
    return metafile ? metafile->toImage(QSize(size, size), background) : QImage();
}

// The box around every pixel darker than `level` in some channel.
inline QRect inkBox(const QImage& image, int level = 128) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (level == 128 ? qGray(c.rgb()) < 128
                             : std::min({c.red(), c.green(), c.blue()}) < level) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

inline bool isRed(const QImage& image, int x, int y) {
    return image.pixelColor(x, y) == red;
}

// A pixel and the colour the drawing must give it.
struct Probe {
    QPoint at;
    QColor colour;
};

// A table row: a built picture, drawn at 100 x 100 on white, and the colours
// it must put where (to within 8 in every channel: smoothing and blending may
// shift a colour a little).
struct PictureCase {
    const char* name;
    QByteArray bytes;
    std::vector<Probe> probes;
};

class Picture : public testing::TestWithParam<PictureCase> {};

inline std::string pictureName(const testing::TestParamInfo<PictureCase>& p) {
    return p.param.name;
}

struct ReferenceEntry {
    QString status;  // ok, blank, failed
    QSize natural;   // at 96 dpi
};

// reference/libreoffice/manifest-lo.tsv keyed by corpus-relative path.
inline std::map<QString, ReferenceEntry> libreOfficeManifest() {
    std::map<QString, ReferenceEntry> entries;
    for (const QByteArray& line : readFile("reference/libreoffice/manifest-lo.tsv").split('\n')) {
        const QStringList cols = QString::fromUtf8(line).split(QLatin1Char('\t'));
        const QStringList size = cols.value(2).split(QLatin1Char('x'));
        if (cols.size() >= 4) {
            entries[cols[0]] = {cols[1], QSize(size.value(0).toInt(), size.value(1).toInt())};
        }
    }
    return entries;
}

}  // namespace metafile_test
