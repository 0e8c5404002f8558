#pragma once

#include "platform/metafile/Metafile.h"

#include <gtest/gtest.h>
#include <QColor>
#include <QImage>
#include <QRect>

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

}  // namespace metafile_test
