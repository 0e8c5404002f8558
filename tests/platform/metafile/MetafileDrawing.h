#pragma once

#include "platform/metafile/Metafile.h"

#include <gtest/gtest.h>
#include <QColor>
#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

// Drawing a built metafile and finding its ink, for the record-level tests.
namespace metafile_test {

// The picture drawn into a size x size image over `background`; a file the
// parser refuses fails the test and gives a null image.
inline QImage draw(const QByteArray& bytes, int size = 100, const QColor& background = Qt::white) {
    const auto metafile = platform::Metafile::parse(bytes);
    EXPECT_NE(metafile, nullptr);
    return metafile ? metafile->toImage(QSize(size, size), background) : QImage();
}

// The box around every dark pixel (grey below 128).
inline QRect inkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// A pixel and the colour the drawing must give it.
struct Probe {
    QPoint at;
    QColor colour;
};

// Each probed pixel is its colour, to within `tolerance` in every channel
// (smoothing and blending may shift a colour a little).
inline void expectColours(const QImage& image, const std::vector<Probe>& probes,
                          int tolerance = 8) {
    for (const Probe& p : probes) {
        const QColor got = image.pixelColor(p.at);
        const int diff = std::max({std::abs(got.red() - p.colour.red()),
                                   std::abs(got.green() - p.colour.green()),
                                   std::abs(got.blue() - p.colour.blue())});
        EXPECT_LE(diff, tolerance)
            << "at " << p.at.x() << "," << p.at.y() << " got " << got.name().toStdString()
            << " want " << p.colour.name().toStdString();
    }
}

// A table row: a built picture, drawn at 100 x 100 on white, and the colours
// it must put where.
struct PictureCase {
    const char* name;
    std::function<QByteArray()> build;
    std::vector<Probe> probes;
};

class Picture : public testing::TestWithParam<PictureCase> {};

inline std::string pictureName(const testing::TestParamInfo<PictureCase>& p) {
    return p.param.name;
}

}  // namespace metafile_test
