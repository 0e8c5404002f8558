#pragma once

#include "platform/metafile/ByteReader.h"

#include <QColor>
#include <QPolygonF>
#include <QTransform>
#include <cmath>
#include <vector>

// Values read the same way by the EMF+ player's records.
namespace platform::metafile::emfplus {

inline QColor argb(quint32 v) {
    return QColor(int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF), int(v >> 24));
}

inline QTransform matrix(ByteReader& r) {
    const double m11 = r.f32(), m12 = r.f32(), m21 = r.f32(), m22 = r.f32();
    const double dx = r.f32(), dy = r.f32();
    return QTransform(m11, m12, m21, m22, dx, dy);
}

inline bool usable(const QTransform& t) {
    for (double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()}) {
        if (!std::isfinite(v) || std::abs(v) > 1e9) {
            return false;
        }
    }
    return std::abs(t.determinant()) > 1e-18;
}

inline double finiteOr(float v, double fallback) {
    return std::isfinite(v) && std::abs(v) < 1e9 ? double(v) : fallback;
}

inline QPolygonF polygon(const std::vector<QPointF>& pts) {
    return QPolygonF(QVector<QPointF>(pts.begin(), pts.end()));
}

}  // namespace platform::metafile::emfplus
