#pragma once

#include <QPen>
#include <QRect>
#include <QRectF>
#include <QTransform>
#include <algorithm>
#include <cmath>

// Small helpers for geometry measured in target pixels.
namespace platform::metafile {

// Target pixels per logical unit along each axis of a transform.
inline double axisScale(const QTransform& t, double x, double y) {
    return std::hypot(t.m11() * x + t.m21() * y, t.m12() * x + t.m22() * y);
}

inline QTransform linearPart(const QTransform& t) {
    return QTransform(t.m11(), t.m12(), t.m21(), t.m22(), 0, 0);
}

// Shapes reaching this far outside the target are garbage (or hostile):
// rasterising them costs time and memory without drawing anything useful.
inline constexpr double kMaxTargetExtent = double(1 << 22);

inline bool reasonable(const QRectF& targetRect) {
    return std::isfinite(targetRect.left()) && std::isfinite(targetRect.top()) &&
           std::isfinite(targetRect.right()) && std::isfinite(targetRect.bottom()) &&
           std::abs(targetRect.left()) < kMaxTargetExtent &&
           std::abs(targetRect.right()) < kMaxTargetExtent &&
           std::abs(targetRect.top()) < kMaxTargetExtent &&
           std::abs(targetRect.bottom()) < kMaxTargetExtent;
}

inline bool isAxisAligned(const QTransform& t) {
    return t.m12() == 0 && t.m21() == 0;
}

// Largest sane coordinate magnitude in target pixels; beyond this QRegion
// arithmetic overflows.
inline constexpr double kMaxTargetCoordinate = 1 << 24;

inline QRect clampedRect(const QRectF& r) {
    auto clamp = [](double v) {
        return int(std::lround(std::clamp(v, -kMaxTargetCoordinate, kMaxTargetCoordinate)));
    };
    const QRectF n = r.normalized();
    const int left = clamp(n.left());
    const int top = clamp(n.top());
    return QRect(QPoint(left, top), QPoint(clamp(n.right()) - 1, clamp(n.bottom()) - 1));
}

// The thinnest line drawn, in target pixels: thinner ones vanish under
// anti-aliasing.
inline constexpr double kThinnestLine = 0.5;

// Gives `pen` a width of `width` in the units it strokes in, `targetWidth` in
// target pixels. QPen refuses widths from 2^15 on, which tiny logical or world
// units reach: such a pen gets its width in target pixels instead.
inline void setPenWidth(QPen& pen, double width, double targetWidth) {
    constexpr double kWidestQPen = 32767;
    if (width <= kWidestQPen) {
        pen.setWidthF(width);
    } else {
        pen.setCosmetic(true);
        pen.setWidthF(std::min(targetWidth, kWidestQPen));
    }
}

}  // namespace platform::metafile
