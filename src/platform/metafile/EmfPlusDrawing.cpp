// The EMF+ records that draw shapes and images, and the filling and
// stroking they share.
#include "platform/metafile/EmfPlusPlayer.h"

#include "platform/metafile/EmfPlusValues.h"
#include "platform/metafile/Metafile.h"
#include "platform/metafile/TargetGeometry.h"

#include <cmath>

namespace platform::metafile {

namespace {

using namespace emfplus;

constexpr quint32 kMaxDrawCount = 4'000'000;

// A cardinal spline through `pts` as cubic Bézier segments.
QPainterPath cardinalSpline(const std::vector<QPointF>& pts, double tension, bool closed,
                            std::size_t first = 0, std::size_t segments = SIZE_MAX) {
    QPainterPath path;
    const std::size_t n = pts.size();
    if (n < 2) {
        return path;
    }
    auto at = [&](std::ptrdiff_t i) {
        if (closed) {
            return pts[std::size_t((i % std::ptrdiff_t(n) + std::ptrdiff_t(n)) %
                                   std::ptrdiff_t(n))];
        }
        return pts[std::size_t(std::clamp<std::ptrdiff_t>(i, 0, std::ptrdiff_t(n) - 1))];
    };
    const std::size_t total = closed ? n : n - 1;
    const std::size_t last = std::min(total, first + std::min(segments, total));
    const double k = tension / 3.0;
    path.moveTo(at(std::ptrdiff_t(first)));
    for (std::size_t i = first; i < last; ++i) {
        const auto j = std::ptrdiff_t(i);
        const QPointF p0 = at(j - 1), p1 = at(j), p2 = at(j + 1), p3 = at(j + 2);
        path.cubicTo(p1 + (p2 - p0) * k, p2 - (p3 - p1) * k, p2);
    }
    if (closed) {
        path.closeSubpath();
    }
    return path;
}

QPainterPath arcPath(const QRectF& box, double start, double sweep, bool pie) {
    QPainterPath path;
    const double clampedSweep = std::clamp(sweep, -360.0, 360.0);
    if (pie) {
        path.moveTo(box.center());
        path.arcTo(box, -start, -clampedSweep);
        path.closeSubpath();
    } else {
        path.arcMoveTo(box, -start);
        path.arcTo(box, -start, -clampedSweep);
    }
    return path;
}

}  // namespace

void EmfPlusPlayer::clear(Record& rec) {
    ByteReader& r = rec.r;
    const QColor color = argb(r.u32());
    if (r.ok() && prepare()) {
        painter_.setWorldTransform(base_);
        painter_.setCompositionMode(QPainter::CompositionMode_Source);
        painter_.fillRect(target_, color);
        painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

void EmfPlusPlayer::fillRects(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const bool compressed = flags & 0x4000;
    const quint32 brushValue = r.u32();
    const quint32 count = r.u32();
    const std::optional<QBrush> brush = brushFor(flags, brushValue);
    if (!r.ok() || !brush || count > kMaxDrawCount ||
        !r.has(std::size_t(count) * (compressed ? 8 : 16))) {
        return;
    }
    QPainterPath path;
    for (quint32 i = 0; i < count; ++i) {
        path.addRect(rect(r, compressed).normalized());
    }
    path.setFillRule(Qt::WindingFill);
    fill(path, *brush);
}

void EmfPlusPlayer::drawRects(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const bool compressed = flags & 0x4000;
    const quint32 count = r.u32();
    const PlusPen* pen = penAt(flags & 0xFF);
    if (!r.ok() || !pen || count > kMaxDrawCount ||
        !r.has(std::size_t(count) * (compressed ? 8 : 16))) {
        return;
    }
    QPainterPath path;
    for (quint32 i = 0; i < count; ++i) {
        path.addRect(rect(r, compressed).normalized());
    }
    stroke(path, *pen);
}

void EmfPlusPlayer::fillPolygon(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const quint32 brushValue = r.u32();
    const quint32 count = r.u32();
    const std::vector<QPointF> pts = points(r, count, flags);
    const std::optional<QBrush> brush = brushFor(flags, brushValue);
    if (pts.size() < 3 || !brush) {
        return;
    }
    QPainterPath path;
    path.addPolygon(polygon(pts));
    path.closeSubpath();
    fill(path, *brush);
}

void EmfPlusPlayer::drawLines(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const quint32 count = r.u32();
    const std::vector<QPointF> pts = points(r, count, flags);
    const PlusPen* pen = penAt(flags & 0xFF);
    if (pts.size() < 2 || !pen) {
        return;
    }
    QPainterPath path;
    path.addPolygon(polygon(pts));
    if (flags & 0x2000) {
        path.closeSubpath();
    }
    stroke(path, *pen);
}

void EmfPlusPlayer::ellipse(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const bool compressed = flags & 0x4000;
    const EmfPlusRecord kind = rec.type;
    const bool filled = kind == EmfPlusRecord::EmfPlusFillEllipse;
    const quint32 brushValue = filled ? r.u32() : 0;
    const QRectF box = rect(r, compressed);
    if (!r.ok()) {
        return;
    }
    QPainterPath path;
    path.addEllipse(box.normalized());
    if (filled) {
        if (const auto brush = brushFor(flags, brushValue)) {
            fill(path, *brush);
        }
    } else if (const PlusPen* pen = penAt(flags & 0xFF)) {
        stroke(path, *pen);
    }
}

void EmfPlusPlayer::pieOrArc(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const bool compressed = flags & 0x4000;
    const EmfPlusRecord kind = rec.type;
    const quint32 brushValue = kind == EmfPlusRecord::EmfPlusFillPie ? r.u32() : 0;
    const double start = finiteOr(r.f32(), 0);
    const double sweep = finiteOr(r.f32(), 0);
    const QRectF box = rect(r, compressed);
    if (!r.ok()) {
        return;
    }
    const QPainterPath path =
        arcPath(box.normalized(), start, sweep, kind != EmfPlusRecord::EmfPlusDrawArc);
    if (kind == EmfPlusRecord::EmfPlusFillPie) {
        if (const auto brush = brushFor(flags, brushValue)) {
            fill(path, *brush);
        }
    } else if (const PlusPen* pen = penAt(flags & 0xFF)) {
        stroke(path, *pen);
    }
}

void EmfPlusPlayer::fillRegion(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const quint32 brushValue = r.u32();
    const auto* region = objects_.find<PlusRegion>(flags & 0x3F);
    const auto brush = brushFor(flags, brushValue);
    if (!r.ok() || (flags & 0xFF) >= 64 || !region || !brush) {
        return;
    }
    if (const auto path = regionPath(region->nodes)) {
        fill(*path, *brush);
    }
}

void EmfPlusPlayer::path(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const EmfPlusRecord kind = rec.type;
    const quint32 value = r.u32();
    if (!r.ok() || (flags & 0xFF) >= 64) {
        return;
    }
    const auto* path = objects_.find<QPainterPath>(flags & 0xFF);
    if (!path) {
        return;
    }
    if (kind == EmfPlusRecord::EmfPlusFillPath) {
        if (const auto brush = brushFor(flags, value)) {
            fill(*path, *brush);
        }
    } else if (const PlusPen* pen = value < 64 ? penAt(int(value)) : nullptr) {
        stroke(*path, *pen);
    }
}

void EmfPlusPlayer::closedCurve(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const EmfPlusRecord kind = rec.type;
    const quint32 brushValue = kind == EmfPlusRecord::EmfPlusFillClosedCurve ? r.u32() : 0;
    const double tension = finiteOr(r.f32(), 0.5);
    const quint32 count = r.u32();
    const std::vector<QPointF> pts = points(r, count, flags);
    if (pts.size() < 2) {
        return;
    }
    QPainterPath path = cardinalSpline(pts, tension, true);
    if (kind == EmfPlusRecord::EmfPlusFillClosedCurve) {
        path.setFillRule((flags & 0x2000) ? Qt::WindingFill : Qt::OddEvenFill);
        if (const auto brush = brushFor(flags, brushValue)) {
            fill(path, *brush);
        }
    } else if (const PlusPen* pen = penAt(flags & 0xFF)) {
        stroke(path, *pen);
    }
}

void EmfPlusPlayer::drawCurve(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const double tension = finiteOr(r.f32(), 0.5);
    const quint32 offset = r.u32();
    const quint32 segments = r.u32();
    const quint32 count = r.u32();
    const std::vector<QPointF> pts = points(r, count, flags);
    const PlusPen* pen = penAt(flags & 0xFF);
    if (pts.size() < 2 || !pen || offset >= pts.size()) {
        return;
    }
    stroke(cardinalSpline(pts, tension, false, offset, segments), *pen);
}

void EmfPlusPlayer::drawBeziers(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const quint32 count = r.u32();
    const std::vector<QPointF> pts = points(r, count, flags);
    const PlusPen* pen = penAt(flags & 0xFF);
    if (pts.size() < 4 || !pen) {
        return;
    }
    QPainterPath path(pts[0]);
    for (std::size_t i = 1; i + 2 < pts.size(); i += 3) {
        path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
    }
    stroke(path, *pen);
}

void EmfPlusPlayer::drawImage(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const bool compressed = flags & 0x4000;
    r.u32();  // image attributes
    r.i32();  // source unit: pixels
    const QRectF source = rect(r, false);
    const QRectF dest = rect(r, compressed);
    if (!r.ok() || source.width() == 0 || source.height() == 0) {
        return;
    }
    const QTransform placement(dest.width() / source.width(), 0, 0, dest.height() / source.height(),
                               dest.x(), dest.y());
    drawImage(flags & 0xFF, source, placement);
}

void EmfPlusPlayer::drawImagePoints(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    r.u32();
    r.i32();
    const QRectF source = rect(r, false);
    const quint32 count = r.u32();
    const std::vector<QPointF> pts = points(r, std::min<quint32>(count, 3), flags);
    if (count != 3 || pts.size() != 3 || source.width() == 0 || source.height() == 0) {
        return;
    }
    const QPointF ux = (pts[1] - pts[0]) / source.width();
    const QPointF uy = (pts[2] - pts[0]) / source.height();
    drawImage(flags & 0xFF, source,
              QTransform(ux.x(), ux.y(), uy.x(), uy.y(), pts[0].x(), pts[0].y()));
}

std::optional<QBrush> EmfPlusPlayer::brushFor(quint16 flags, quint32 brushValue) const {
    if (flags & 0x8000) {
        return QBrush(argb(brushValue));
    }
    if (const auto* brush = objects_.find<QBrush>(brushValue)) {
        return *brush;
    }
    return std::nullopt;
}

const PlusPen* EmfPlusPlayer::penAt(int id) const {
    return id < 0 ? nullptr : objects_.find<PlusPen>(std::size_t(id));
}

// Sets up the painter for one EMF+ drawing: clip and compositing.
bool EmfPlusPlayer::prepare() {
    if (!painter_.isActive()) {
        return false;
    }
    painter_.setWorldTransform(base_);
    if (appliedClip_ != state_.clipVersion) {
        appliedClip_ = state_.clipVersion;
        if (state_.clip) {
            painter_.setClipPath(*state_.clip);
        } else {
            painter_.setClipRect(target_);
        }
    }
    painter_.setCompositionMode(state_.sourceCopy ? QPainter::CompositionMode_Source
                                                  : QPainter::CompositionMode_SourceOver);
    painter_.setRenderHint(QPainter::Antialiasing, true);
    return true;
}

void EmfPlusPlayer::fill(const QPainterPath& world, const QBrush& brush) {
    const QTransform t = worldToTarget();
    if (world.isEmpty() || !reasonable(t.mapRect(world.controlPointRect())) || !prepare()) {
        return;
    }
    painter_.setWorldTransform(t * base_);
    painter_.fillPath(world, brush);
}

void EmfPlusPlayer::stroke(const QPainterPath& world, const PlusPen& plusPen) {
    const QTransform t = worldToTarget();
    if (world.isEmpty() || !reasonable(t.mapRect(world.controlPointRect())) || !prepare()) {
        return;
    }
    QPen pen(plusPen.brush, 1);
    // The width in world units. GDI+ draws a pen thinner than a pixel
    // anti-aliased at its own width, which shows as a lighter line, and a
    // zero-width pen as its thinnest line; half a target pixel keeps both
    // visible without darkening fine work such as grilles of hairlines.
    const double worldWidth = plusPen.unit == 0
                                  ? plusPen.width
                                  : plusPen.width * unitToDevice(plusPen.unit) / pageFactor(false);
    const double targetWidth = worldWidth * std::sqrt(std::abs(t.determinant()));
    if (!(worldWidth > 0) || !std::isfinite(worldWidth) || !(targetWidth >= 1.0)) {
        pen.setCosmetic(true);
        pen.setWidthF(std::isfinite(targetWidth) ? std::clamp(targetWidth, kThinnestLine, 1.0)
                                                 : kThinnestLine);
    } else {
        setPenWidth(pen, worldWidth, targetWidth);
    }
    pen.setCapStyle(plusPen.cap);
    pen.setJoinStyle(plusPen.join);
    pen.setMiterLimit(plusPen.miterLimit);
    QVector<qreal> dashes;
    switch (plusPen.dashStyle) {
        case 1:
            dashes = {3, 1};
            break;
        case 2:
            dashes = {1, 1};
            break;
        case 3:
            dashes = {3, 1, 1, 1};
            break;
        case 4:
            dashes = {3, 1, 1, 1, 1, 1};
            break;
        case 5:
            dashes = plusPen.dashes;
            break;
        default:
            break;
    }
    if (!dashes.isEmpty()) {
        if (dashes.size() % 2) {
            dashes.push_back(dashes.back());
        }
        pen.setDashPattern(dashes);
        pen.setDashOffset(plusPen.dashOffset);
    }
    painter_.setWorldTransform(t * base_);
    painter_.strokePath(world, pen);
    if (plusPen.startCap || plusPen.endCap) {
        drawCaps(world, plusPen,
                 pen.isCosmetic() ? 1.0 / std::max(targetWidth, 1e-9) * worldWidth : worldWidth);
    }
}

// Draws the pen's custom caps at both ends of every open figure, turned
// along the figure's first and last segments.
void EmfPlusPlayer::drawCaps(const QPainterPath& world, const PlusPen& pen, double width) {
    if (!(width > 0) || !std::isfinite(width)) {
        return;
    }
    QPainterPath caps;
    auto place = [&](const QPainterPath& shape, const QPointF& tip, const QPointF& from) {
        const QPointF d = tip - from;
        const double length = std::hypot(d.x(), d.y());
        if (length <= 0) {
            return;
        }
        const QPointF y = d / length;
        const QPointF x(-y.y(), y.x());
        caps.addPath(
            QTransform(x.x() * width, x.y() * width, y.x() * width, y.y() * width, tip.x(), tip.y())
                .map(shape));
    };
    const int n = world.elementCount();
    for (int start = 0; start < n;) {
        int end = start + 1;
        while (end < n && world.elementAt(end).type != QPainterPath::MoveToElement) {
            ++end;
        }
        const QPointF first = world.elementAt(start);
        const QPointF last = world.elementAt(end - 1);
        const bool closed = end - start > 2 && first == last;
        if (end - start >= 2 && !closed) {
            if (pen.startCap) {
                place(*pen.startCap, first, world.elementAt(start + 1));
            }
            if (pen.endCap) {
                place(*pen.endCap, last, world.elementAt(end - 2));
            }
        }
        start = end;
    }
    if (!caps.isEmpty()) {
        painter_.fillPath(caps, pen.brush);
    }
}

void EmfPlusPlayer::drawImage(int id, const QRectF& source, const QTransform& placement) {
    const auto* image = id < 0 ? nullptr : objects_.find<PlusImage>(std::size_t(id));
    const QTransform t = placement * worldToTarget();
    if (!image || !usable(t) || !reasonable(t.mapRect(QRectF(0, 0, 1, 1))) ||
        !reasonable(t.mapRect(QRectF(QPointF(0, 0), source.size()))) || !prepare()) {
        return;
    }
    // `placement` maps source units relative to the source rectangle's corner.
    painter_.setWorldTransform(QTransform::fromTranslate(-source.x(), -source.y()) * t * base_);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (!image->bitmap.isNull()) {
        painter_.drawImage(source, image->bitmap, source);
        return;
    }
    if (image->metafile && nestedDepth_ < kMaxNestedMetafiles) {
        ++nestedDepth_;
        painter_.save();
        painter_.setClipRect(source, Qt::IntersectClip);
        image->metafile->render(painter_, QRectF(QPointF(0, 0), image->size()));
        painter_.restore();
        --nestedDepth_;
    }
}

}  // namespace platform::metafile
