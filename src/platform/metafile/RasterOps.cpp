#include "platform/metafile/RasterOps.h"

#include <QRect>

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

}  // namespace

void applyRop2Layer(QImage& dest, const QImage& layer, const QPoint& origin, int rop2) {
    const QRect area = QRect(origin, layer.size()) & dest.rect();
    if (area.isEmpty() || layer.format() != QImage::Format_ARGB32_Premultiplied) {
        return;
    }
    const bool opaqueTarget = dest.format() == QImage::Format_RGB32;
    if (!opaqueTarget && dest.format() != QImage::Format_ARGB32_Premultiplied) {
        return;
    }
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb* source =
            reinterpret_cast<const QRgb*>(layer.constScanLine(y - origin.y())) - origin.x();
        QRgb* target = reinterpret_cast<QRgb*>(dest.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb s = source[x];
            const int coverage = qAlpha(s);
            if (coverage == 0) {
                continue;
            }
            const QRgb d = opaqueTarget ? (target[x] | 0xFF000000u) : target[x];
            const int da = qAlpha(d);
            // The destination over white paper.
            const int paper = 255 - da;
            const QRgb onPaper = qRgb(qRed(d) + paper, qGreen(d) + paper, qBlue(d) + paper);
            const QRgb result = combineRop2(rop2, qUnpremultiply(s), onPaper);
            if (da == 0 && (result & 0xFFFFFF) == 0xFFFFFF) {
                continue;  // untouched paper stays clear
            }
            target[x] = qRgba(mix(qRed(d), qRed(result), coverage),
                              mix(qGreen(d), qGreen(result), coverage),
                              mix(qBlue(d), qBlue(result), coverage), mix(da, 255, coverage));
        }
    }
}

}  // namespace platform::metafile
