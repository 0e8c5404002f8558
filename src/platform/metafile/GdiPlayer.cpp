#include "platform/metafile/GdiPlayer.h"

#include "platform/metafile/TargetGeometry.h"

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
    LogicalBrush brush;
    brush.color = color;
    const QPointF t = logicalToTarget().map(p);
    backend_.fillRegion(QRegion(clampedRect(QRectF(t.x(), t.y(), 1, 1))), brush, dc_.state());
}

void GdiPlayer::text(TextRun run) {
    if (run.text.isEmpty()) {
        if (run.opaque && run.hasRect && !dc_.pathOpen) {
            LogicalBrush brush;
            brush.color = dc_.state().bkColor;
            backend_.fillRegion(logicalRectToTarget(run.rect), brush, dc_.state());
        }
        return;
    }
    const bool updateCp = dc_.state().textAlign & 1;
    if (updateCp) {
        run.reference = dc_.state().currentPos;
    }
    double advance = 0;
    if (dc_.pathOpen) {
        // Inside a path bracket text adds its glyph outlines to the path.
        const QPainterPath outline =
            PainterBackend::textOutline(run, dc_.state(), logicalToTarget(), &advance);
        bool invertible = false;
        const QTransform targetToDevice = deviceToTarget_.inverted(&invertible);
        if (invertible) {
            dc_.path.addPath(targetToDevice.map(outline));
        }
    } else {
        advance = backend_.drawText(run, dc_.state(), logicalToTarget());
    }
    if (updateCp) {
        dc_.state().currentPos.rx() += advance;
    }
}

void GdiPlayer::image(const QImage& image, const QRectF& source, const QRectF& dest, quint32 rop) {
    if (source.width() == 0 || source.height() == 0) {
        return;
    }
    const double sx = dest.width() / source.width();
    const double sy = dest.height() / source.height();
    const QTransform placement(sx, 0, 0, sy, dest.x() - source.x() * sx,
                               dest.y() - source.y() * sy);
    this->image(image, source, placement, rop);
}

void GdiPlayer::image(const QImage& image, const QRectF& source, const QTransform& placement,
                      quint32 rop) {
    backend_.drawImage(image, source, placement, logicalToTarget(), rop, dc_.state());
}

void GdiPlayer::patBlt(const QRectF& dest, quint32 rop) {
    backend_.patBlt(dest, logicalToTarget(), rop, dc_.state());
}

void GdiPlayer::fillRegion(const QRegion& region, const LogicalBrush& brush) {
    backend_.fillRegion(region, brush, dc_.state());
}

void GdiPlayer::frameRegion(const QRegion& region, const LogicalBrush& brush,
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

void GdiPlayer::invertRegion(const QRegion& region) {
    backend_.invertRegion(region);
}

void GdiPlayer::gradientRect(const QRectF& box, const QColor& from, const QColor& to,
                             bool vertical) {
    const QRectF r = box.normalized();
    LogicalBrush solid;
    solid.color = from;
    QLinearGradient gradient(r.topLeft(), vertical ? r.bottomLeft() : r.topRight());
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    QPainterPath path;
    path.addRect(r);
    DcState state = dc_.state();
    state.pen.style = LogicalPen::Null;
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
