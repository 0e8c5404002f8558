// Path bracket and clipping operations of the GDI player.
#include "platform/metafile/GdiPlayer.h"

#include "platform/metafile/TargetGeometry.h"

#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>

namespace platform::metafile {

void GdiPlayer::beginPath() {
    dc_.pathOpen = true;
    dc_.path = QPainterPath();
}

void GdiPlayer::endPath() {
    dc_.pathOpen = false;
}

void GdiPlayer::abortPath() {
    dc_.pathOpen = false;
    dc_.path = QPainterPath();
}

void GdiPlayer::closeFigure() {
    if (dc_.pathOpen) {
        dc_.path.closeSubpath();
    }
}

void GdiPlayer::drawDevicePath(bool stroke, bool fill) {
    dc_.pathOpen = false;
    if (dc_.path.isEmpty()) {
        return;
    }
    // The path is in device units; the pen width is logical.
    const double penScale = std::sqrt(std::abs(dc_.logicalToDevice().determinant()));
    QPainterPath path = dc_.path;
    if (fill) {
        // Filling closes every open figure.
        QPainterPath closed;
        closed.addPath(path);
        path = closed;
    }
    backend_.drawPath(path, dc_.state(), deviceToTarget_, stroke, fill, penScale);
    dc_.path = QPainterPath();
}

void GdiPlayer::fillPath() {
    drawDevicePath(false, true);
}
void GdiPlayer::strokePath() {
    drawDevicePath(true, false);
}
void GdiPlayer::strokeAndFillPath() {
    drawDevicePath(true, true);
}

void GdiPlayer::flattenPath() {
    QPainterPath flat;
    for (const QPolygonF& polygon : dc_.path.toSubpathPolygons()) {
        flat.addPolygon(polygon);
        if (polygon.size() > 2 && polygon.isClosed()) {
            flat.closeSubpath();
        }
    }
    dc_.path = flat;
}

void GdiPlayer::widenPath() {
    const LogicalPen& pen = dc_.state().pen;
    if (dc_.path.isEmpty() || pen.isNull()) {
        return;
    }
    // The path is in device units; a cosmetic pen is one device pixel wide.
    const double scale = std::sqrt(std::abs(dc_.logicalToDevice().determinant()));
    const double width = pen.width > 0 ? pen.width * scale : 1.0;
    if (!std::isfinite(width) || width > kMaxTargetCoordinate) {
        return;
    }
    static constexpr Qt::PenCapStyle kCaps[] = {Qt::RoundCap, Qt::SquareCap, Qt::FlatCap};
    static constexpr Qt::PenJoinStyle kJoins[] = {Qt::RoundJoin, Qt::BevelJoin, Qt::MiterJoin};
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(kCaps[std::clamp(pen.endCap, 0, 2)]);
    stroker.setJoinStyle(kJoins[std::clamp(pen.join, 0, 2)]);
    stroker.setMiterLimit(dc_.state().miterLimit / 2);
    // The widened outline is filled as a whole, whatever the fill mode.
    dc_.path = stroker.createStroke(dc_.path).simplified();
}

void GdiPlayer::selectClipPath(RegionMode mode) {
    dc_.pathOpen = false;
    QPainterPath target = deviceToTarget_.map(dc_.path);
    target.setFillRule(dc_.state().windingFill ? Qt::WindingFill : Qt::OddEvenFill);
    const QRectF reach = regionReach();
    if (!reach.contains(target.boundingRect())) {
        // Only the part near the target can clip anything; a region is built scan
        // line by scan line, so a path reaching far out would cost without bound.
        QPainterPath box;
        box.addRect(reach);
        target = target.intersected(box);
    }
    QRegion region;
    for (const QPolygonF& poly : target.toFillPolygons()) {
        region = region.united(QRegion(poly.toPolygon(), target.fillRule()));
    }
    dc_.path = QPainterPath();
    combineClip(region, mode);
}

QRegion GdiPlayer::fullTarget() const {
    return QRegion(backend_.target().toAlignedRect());
}

QRectF GdiPlayer::regionReach() const {
    return backend_.target().adjusted(-2, -2, 2, 2);
}

QRegion GdiPlayer::logicalRectToTarget(const QRectF& rect) const {
    const QTransform t = logicalToTarget();
    if (isAxisAligned(t)) {
        return QRegion(clampedRect(t.mapRect(rect.normalized())));
    }
    // A turned rectangle, cut to the target's neighbourhood before it becomes a region.
    const QPolygonF turned = t.map(QPolygonF(rect.normalized()));
    return QRegion(turned.intersected(QPolygonF(regionReach())).toPolygon());
}

QRegion GdiPlayer::logicalRectsToTarget(const QVector<QRect>& rects) const {
    QRegion region;
    for (const QRect& r : rects) {
        region = region.united(logicalRectToTarget(QRectF(r)));
    }
    return region;
}

QRegion GdiPlayer::deviceRectsToTarget(const QVector<QRect>& rects) const {
    QVector<QRect> mapped;
    mapped.reserve(rects.size());
    for (const QRect& r : rects) {
        const QRect m = clampedRect(deviceToTarget_.mapRect(QRectF(r)));
        if (!m.isEmpty()) {
            mapped.push_back(m);
        }
    }
    QRegion region;
    region.setRects(mapped.constData(), int(mapped.size()));
    return region;
}

void GdiPlayer::intersectClipRect(const QRectF& logical) {
    combineClip(logicalRectToTarget(logical), RegionMode::And);
}

void GdiPlayer::excludeClipRect(const QRectF& logical) {
    combineClip(logicalRectToTarget(logical), RegionMode::Diff);
}

void GdiPlayer::combineClip(const QRegion& region, RegionMode mode) {
    const std::optional<QRegion>& clip = dc_.state().clip;
    switch (mode) {
        case RegionMode::And:
            dc_.setClip(clip ? clip->intersected(region) : region);
            break;
        case RegionMode::Or:
            if (clip) {
                dc_.setClip(clip->united(region));
            }
            break;
        case RegionMode::Xor:
            dc_.setClip(clip.value_or(fullTarget()).xored(region));
            break;
        case RegionMode::Diff:
            dc_.setClip(clip.value_or(fullTarget()).subtracted(region));
            break;
        case RegionMode::Copy:
            dc_.setClip(region);
            break;
    }
}

// The clip so far becomes the meta region, and the clipping region is reset.
void GdiPlayer::setMetaRegion() {
    DcState& s = dc_.state();
    if (s.clip) {
        s.metaClip = s.metaClip ? s.metaClip->intersected(*s.clip) : *s.clip;
    }
    dc_.setClip(std::nullopt);
}

void GdiPlayer::resetClip() {
    dc_.setClip(std::nullopt);
}

void GdiPlayer::offsetClip(const QPointF& logicalDelta) {
    if (!dc_.state().clip) {
        return;
    }
    const QTransform t = logicalToTarget();
    const QPointF d = t.map(logicalDelta) - t.map(QPointF(0, 0));
    if (std::abs(d.x()) > kMaxTargetCoordinate || std::abs(d.y()) > kMaxTargetCoordinate) {
        return;
    }
    dc_.setClip(dc_.state().clip->translated(int(std::lround(d.x())), int(std::lround(d.y()))));
}

}  // namespace platform::metafile
