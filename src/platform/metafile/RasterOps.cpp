#include "platform/metafile/RasterOps.h"

#include <QRect>
#include <cstdint>
#include <cstring>

namespace platform::metafile {

QRgb combineRop2(int rop2, QRgb pen, QRgb dest) {
    if (rop2 < 1 || rop2 > 16) {
        rop2 = kRop2CopyPen;
    }
    // Bit (P << 1 | D) of (rop2 - 1) is the result for pen bit P and destination bit D.
    const unsigned table = unsigned(rop2 - 1);
    const QRgb p = pen & 0xFFFFFF;
    const QRgb d = dest & 0xFFFFFF;
    const QRgb np = ~p & 0xFFFFFF;
    const QRgb nd = ~d & 0xFFFFFF;
    QRgb result = 0;
    if (table & 1) {
        result |= np & nd;
    }
    if (table & 2) {
        result |= np & d;
    }
    if (table & 4) {
        result |= p & nd;
    }
    if (table & 8) {
        result |= p & d;
    }
    return result;
}

namespace {

int mix(int from, int to, int coverage) {
    return (from * (255 - coverage) + to * coverage + 127) / 255;
}

// Combines one pixel of source colour `source` covering `coverage` / 255 of it.
inline void combinePixel(QRgb& target, bool opaqueTarget, QRgb source, int coverage, int rop2) {
    const QRgb d = opaqueTarget ? (target | 0xFF000000u) : target;
    const int da = qAlpha(d);
    // The destination over white paper.
    const int paper = 255 - da;
    const QRgb onPaper = qRgb(qRed(d) + paper, qGreen(d) + paper, qBlue(d) + paper);
    const QRgb result = combineRop2(rop2, source, onPaper);
    if (da == 0 && (result & 0xFFFFFF) == 0xFFFFFF) {
        return;  // untouched paper stays clear
    }
    target = qRgba(mix(qRed(d), qRed(result), coverage), mix(qGreen(d), qGreen(result), coverage),
                   mix(qBlue(d), qBlue(result), coverage), mix(da, 255, coverage));
}

}  // namespace

void applyRop2Layer(QImage& dest, const QImage& layer, const QPoint& origin, int rop2, QRgb solid) {
    const QRect area = QRect(origin, layer.size()) & dest.rect();
    const bool mask = layer.format() == QImage::Format_Alpha8;
    if (area.isEmpty() || (!mask && layer.format() != QImage::Format_ARGB32_Premultiplied)) {
        return;
    }
    const bool opaqueTarget = dest.format() == QImage::Format_RGB32;
    if (!opaqueTarget && dest.format() != QImage::Format_ARGB32_Premultiplied) {
        return;
    }
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QRgb* target = reinterpret_cast<QRgb*>(dest.scanLine(y)) + area.left();
        const uchar* line = layer.constScanLine(y - origin.y());
        const int from = area.left() - origin.x();
        const int width = area.width();
        if (mask) {
            const uchar* coverage = line + from;
            for (int i = 0; i < width; ++i) {
                // Thin strokes cover little of their box: skip empty runs eight at a time.
                std::uint64_t run = 0;
                if (i + 8 <= width && (std::memcpy(&run, coverage + i, 8), run == 0)) {
                    i += 7;
                } else if (coverage[i] != 0) {
                    combinePixel(target[i], opaqueTarget, solid, coverage[i], rop2);
                }
            }
        } else {
            const QRgb* source = reinterpret_cast<const QRgb*>(line) + from;
            for (int i = 0; i < width; ++i) {
                if (qAlpha(source[i]) != 0) {
                    combinePixel(target[i], opaqueTarget, qUnpremultiply(source[i]),
                                 qAlpha(source[i]), rop2);
                }
            }
        }
    }
}

}  // namespace platform::metafile
