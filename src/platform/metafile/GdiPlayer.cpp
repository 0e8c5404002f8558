#include "platform/metafile/GdiPlayer.h"

#include <QLinearGradient>
#include <cmath>

namespace platform::metafile {

namespace {

// Angle of `p` on the ellipse inscribed in `box`, in Qt's arc convention
// (degrees, counter-clockwise on a y-down surface).
double ellipseAngle(const QRectF& box, const QPointF& p) {
    const QPointF c = box.center();
    const double rx = box.width() / 2;
    const double ry = box.height() / 2;
    const double dx = rx != 0 ? (p.x() - c.x()) / rx : 0;
    const double dy = ry != 0 ? (p.y() - c.y()) / ry : 0;
    if (dx == 0 && dy == 0) {
        return 0;
    }
    return std::atan2(-dy, dx) * 180.0 / M_PI;
}

double positiveModulo(double value, double modulus) {
    const double r = std::fmod(value, modulus);
    return r < 0 ? r + modulus : r;
}

bool isAxisAligned(const QTransform& t) { return t.m12() == 0 && t.m21() == 0; }

// Largest sane coordinate magnitude in target pixels; beyond this QRegion
// arithmetic overflows.
constexpr double kMaxTargetCoordinate = 1 << 24;

QRect clampedRect(const QRectF& r) {
    auto clamp = [](double v) {
        return int(std::lround(std::clamp(v, -kMaxTargetCoordinate, kMaxTargetCoordinate)));
    };
    const QRectF n = r.normalized();
    const int left = clamp(n.left());
    const int top = clamp(n.top());
    return QRect(QPoint(left, top), QPoint(clamp(n.right()) - 1, clamp(n.bottom()) - 1));
}

// Appends `figure` to `path`, continuing the current figure when `figure`
// starts where the path's pen is; a new figure is started otherwise.
void appendContinuing(QPainterPath& path, const QPainterPath& figure) {
    for (int i = 0; i < figure.elementCount(); ++i) {
        const QPainterPath::Element& e = figure.elementAt(i);
        switch (e.type) {
            case QPainterPath::MoveToElement:
                if (path.elementCount() == 0 || path.currentPosition() != QPointF(e)) {
                    path.moveTo(e);
                }
                break;
            case QPainterPath::LineToElement:
                path.lineTo(e);
                break;
            case QPainterPath::CurveToElement:
                if (i + 2 < figure.elementCount()) {
                    path.cubicTo(e, figure.elementAt(i + 1), figure.elementAt(i + 2));
                    i += 2;
                }
                break;
            default:
                break;
        }
    }
}

}  // namespace

GdiPlayer::GdiPlayer(DeviceContext& dc, PainterBackend& backend, const QTransform& deviceToTarget)
    : dc_(dc), backend_(backend), deviceToTarget_(deviceToTarget) {}

void GdiPlayer::emitShape(const QPainterPath& logicalPath, bool stroke, bool fill) {
    if (dc_.pathOpen) {
        dc_.path.addPath(dc_.logicalToDevice().map(logicalPath));
        return;
    }
    backend_.drawPath(logicalPath, dc_.state(), logicalToTarget(), stroke, fill);
}

// Open figures continue the path bracket's current figure.
void GdiPlayer::emitOpenFigure(const QPainterPath& logicalPath) {
    if (dc_.pathOpen) {
        appendContinuing(dc_.path, dc_.logicalToDevice().map(logicalPath));
        return;
    }
    backend_.drawPath(logicalPath, dc_.state(), logicalToTarget(), true, false);
}

void GdiPlayer::moveTo(const QPointF& p) {
    dc_.state().currentPos = p;
    if (dc_.pathOpen) {
        dc_.path.moveTo(dc_.logicalToDevice().map(p));
    }
}

void GdiPlayer::lineTo(const QPointF& p) {
    QPainterPath path(dc_.state().currentPos);
    path.lineTo(p);
    emitOpenFigure(path);
    dc_.state().currentPos = p;
}

void GdiPlayer::polyline(const QPolygonF& points) {
    if (points.size() < 2) {
        return;
    }
    QPainterPath path;
    path.addPolygon(points);
    if (dc_.pathOpen) {
        dc_.path.addPath(dc_.logicalToDevice().map(path));
        return;
    }
    emitOpenFigure(path);
}

void GdiPlayer::polylineTo(const QPolygonF& points) {
    if (points.isEmpty()) {
        return;
    }
    QPainterPath path(dc_.state().currentPos);
    for (const QPointF& p : points) {
        path.lineTo(p);
    }
    emitOpenFigure(path);
    dc_.state().currentPos = points.back();
}

void GdiPlayer::polyBezier(const QPolygonF& points) {
    if (points.size() < 4) {
        return;
    }
    QPainterPath path(points[0]);
    for (qsizetype i = 1; i + 2 < points.size(); i += 3) {
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    }
    if (dc_.pathOpen) {
        dc_.path.addPath(dc_.logicalToDevice().map(path));
        return;
    }
    emitOpenFigure(path);
}

void GdiPlayer::polyBezierTo(const QPolygonF& points) {
    if (points.size() < 3) {
        return;
    }
    QPainterPath path(dc_.state().currentPos);
    qsizetype i = 0;
    for (; i + 2 < points.size(); i += 3) {
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    }
    emitOpenFigure(path);
    dc_.state().currentPos = points[i - 1];
}

void GdiPlayer::polyDraw(const QPolygonF& points, const std::vector<quint8>& types) {
    constexpr quint8 kClose = 0x01, kLineTo = 0x02, kBezierTo = 0x04, kMoveTo = 0x06;
    QPainterPath path(dc_.state().currentPos);
    const qsizetype n = std::min<qsizetype>(points.size(), qsizetype(types.size()));
    for (qsizetype i = 0; i < n; ++i) {
        const quint8 type = types[std::size_t(i)] & 0x06;
        if (type == kMoveTo) {
            path.moveTo(points[i]);
        } else if (type == kLineTo) {
            path.lineTo(points[i]);
        } else if (type == kBezierTo && i + 2 < n) {
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
            i += 2;
        }
        if (types[std::size_t(i)] & kClose) {
            path.closeSubpath();
        }
    }
    if (n > 0) {
        dc_.state().currentPos = points[n - 1];
    }
    emitOpenFigure(path);
}

void GdiPlayer::polygon(const QPolygonF& points) {
    if (points.size() < 2) {
        return;
    }
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    emitShape(path, true, true);
}

void GdiPlayer::polyPolygon(const std::vector<QPolygonF>& polygons) {
    QPainterPath path;
    for (const QPolygonF& points : polygons) {
        if (points.size() >= 2) {
            path.addPolygon(points);
            path.closeSubpath();
        }
    }
    emitShape(path, true, true);
}

void GdiPlayer::polyPolyline(const std::vector<QPolygonF>& lines) {
    QPainterPath path;
    for (const QPolygonF& points : lines) {
        if (points.size() >= 2) {
            path.addPolygon(points);
        }
    }
    emitShape(path, true, false);
}

void GdiPlayer::rectangle(const QRectF& box) {
    QPainterPath path;
    path.addRect(box.normalized());
    emitShape(path, true, true);
}

void GdiPlayer::roundRect(const QRectF& box, const QSizeF& corner) {
    QPainterPath path;
    const QRectF r = box.normalized();
    path.addRoundedRect(r, std::min(std::abs(corner.width()) / 2, r.width() / 2),
                        std::min(std::abs(corner.height()) / 2, r.height() / 2));
    emitShape(path, true, true);
}

void GdiPlayer::ellipse(const QRectF& box) {
    QPainterPath path;
    path.addEllipse(box.normalized());
    emitShape(path, true, true);
}

void GdiPlayer::arc(const QRectF& rawBox, const QPointF& start, const QPointF& end, ArcKind kind) {
    const QRectF box = rawBox.normalized();
    const double a0 = ellipseAngle(box, start);
    const double a1 = ellipseAngle(box, end);
    // Arc direction is defined on the device surface; a mirrored mapping
    // reverses it in logical space.
    bool clockwise = dc_.state().arcClockwise;
    if (dc_.logicalToDevice().determinant() < 0) {
        clockwise = !clockwise;
    }
    double sweep;
    if (clockwise) {
        sweep = -positiveModulo(a0 - a1, 360.0);
        if (sweep == 0) {
            sweep = -360;
        }
    } else {
        sweep = positiveModulo(a1 - a0, 360.0);
        if (sweep == 0) {
            sweep = 360;
        }
    }
    QPainterPath path;
    switch (kind) {
        case ArcKind::Arc:
            path.arcMoveTo(box, a0);
            path.arcTo(box, a0, sweep);
            emitOpenFigure(path);
            return;
        case ArcKind::ArcTo: {
            path.moveTo(dc_.state().currentPos);
            QPainterPath arcPath;
            arcPath.arcMoveTo(box, a0);
            path.lineTo(arcPath.currentPosition());
            path.arcTo(box, a0, sweep);
            emitOpenFigure(path);
            dc_.state().currentPos = path.currentPosition();
            return;
        }
        case ArcKind::Chord:
            path.arcMoveTo(box, a0);
            path.arcTo(box, a0, sweep);
            path.closeSubpath();
            break;
        case ArcKind::Pie:
            path.moveTo(box.center());
            path.arcTo(box, a0, sweep);
            path.closeSubpath();
            break;
    }
    emitShape(path, true, true);
}

void GdiPlayer::angleArc(const QPointF& center, double radius, double startDegrees,
                         double sweepDegrees) {
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path(dc_.state().currentPos);
    QPainterPath probe;
    probe.arcMoveTo(box, startDegrees);
    path.lineTo(probe.currentPosition());
    path.arcTo(box, startDegrees, std::clamp(sweepDegrees, -3600.0, 3600.0));
    emitOpenFigure(path);
    dc_.state().currentPos = path.currentPosition();
}

void GdiPlayer::setPixel(const QPointF& p, const QColor& color) {
    BrushSpec brush;
    brush.color = color;
    const QPointF t = logicalToTarget().map(p);
    backend_.fillRegion(QRegion(clampedRect(QRectF(t.x(), t.y(), 1, 1))), brush, dc_.state());
}

void GdiPlayer::beginPath() {
    dc_.pathOpen = true;
    dc_.path = QPainterPath();
}

void GdiPlayer::endPath() { dc_.pathOpen = false; }

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

void GdiPlayer::fillPath() { drawDevicePath(false, true); }
void GdiPlayer::strokePath() { drawDevicePath(true, false); }
void GdiPlayer::strokeAndFillPath() { drawDevicePath(true, true); }

void GdiPlayer::selectClipPath(RegionMode mode) {
    dc_.pathOpen = false;
    QPainterPath target = deviceToTarget_.map(dc_.path);
    target.setFillRule(dc_.state().windingFill ? Qt::WindingFill : Qt::OddEvenFill);
    QRegion region;
    for (const QPolygonF& poly : target.toFillPolygons()) {
        region = region.united(QRegion(poly.toPolygon(), target.fillRule()));
    }
    dc_.path = QPainterPath();
    combineClip(region, mode);
}

QRegion GdiPlayer::fullTarget() const { return QRegion(backend_.target().toAlignedRect()); }

QRegion GdiPlayer::logicalRectToTarget(const QRectF& rect) const {
    const QTransform t = logicalToTarget();
    if (isAxisAligned(t)) {
        return QRegion(clampedRect(t.mapRect(rect.normalized())));
    }
    return QRegion(t.map(QPolygonF(rect.normalized())).toPolygon());
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

void GdiPlayer::resetClip() { dc_.setClip(std::nullopt); }

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

void GdiPlayer::text(TextRun run) {
    if (dc_.pathOpen || run.text.isEmpty()) {
        if (run.opaque && run.hasRect && !dc_.pathOpen) {
            BrushSpec brush;
            brush.color = dc_.state().bkColor;
            backend_.fillRegion(logicalRectToTarget(run.rect), brush, dc_.state());
        }
        return;
    }
    const bool updateCp = dc_.state().textAlign & 1;
    if (updateCp) {
        run.reference = dc_.state().currentPos;
    }
    const double advance = backend_.drawText(run, dc_.state(), logicalToTarget());
    if (updateCp) {
        dc_.state().currentPos.rx() += advance;
    }
}

void GdiPlayer::image(const QImage& image, const QRectF& source, const QRectF& dest, quint32 rop) {
    backend_.drawImage(image, source, dest, logicalToTarget(), rop, dc_.state());
}

void GdiPlayer::patBlt(const QRectF& dest, quint32 rop) {
    backend_.patBlt(dest, logicalToTarget(), rop, dc_.state());
}

void GdiPlayer::fillRegion(const QRegion& region, const BrushSpec& brush) {
    backend_.fillRegion(region, brush, dc_.state());
}

void GdiPlayer::frameRegion(const QRegion& region, const BrushSpec& brush,
                            const QSizeF& logicalSize) {
    const QTransform t = logicalToTarget();
    const int w = std::max(1, int(std::lround(std::abs(logicalSize.width() * t.m11()))));
    const int h = std::max(1, int(std::lround(std::abs(logicalSize.height() * t.m22()))));
    if (w > 10000 || h > 10000) {
        return;
    }
    const QRegion inner = region.translated(w, 0)
                              .intersected(region.translated(-w, 0))
                              .intersected(region.translated(0, h))
                              .intersected(region.translated(0, -h));
    backend_.fillRegion(region.subtracted(inner), brush, dc_.state());
}

void GdiPlayer::invertRegion(const QRegion& region) { backend_.invertRegion(region); }

void GdiPlayer::gradientRect(const QRectF& box, const QColor& from, const QColor& to,
                             bool vertical) {
    const QRectF r = box.normalized();
    BrushSpec solid;
    solid.color = from;
    QLinearGradient gradient(r.topLeft(), vertical ? r.bottomLeft() : r.topRight());
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    QPainterPath path;
    path.addRect(r);
    DcState state = dc_.state();
    state.pen.style = PenSpec::Null;
    state.brush = solid;
    backend_.fillPathWith(path, QBrush(gradient), state, logicalToTarget());
}

void GdiPlayer::gradientTriangle(const QPolygonF& triangle, const QColor& average) {
    QPainterPath path;
    path.addPolygon(triangle);
    path.closeSubpath();
    backend_.fillPathWith(path, QBrush(average), dc_.state(), logicalToTarget());
}

}  // namespace platform::metafile
