#include "platform/metafile/EmfPlusPlayer.h"

#include "platform/metafile/RecordDispatch.h"
#include "platform/metafile/RecordTypes.h"

#include "platform/metafile/Metafile.h"
#include "platform/metafile/TargetGeometry.h"
#include "platform/metafile/TextDecoding.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>
#include <cmath>

namespace platform::metafile {

namespace {

constexpr std::size_t kRecordHeader = 12;
constexpr std::size_t kMaxSavedStates = 4096;
constexpr quint32 kMaxDrawCount = 4'000'000;
constexpr int kMaxStringLength = 65536;

QColor argb(quint32 v) {
    return QColor(int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF), int(v >> 24));
}

QTransform matrix(ByteReader& r) {
    const double m11 = r.f32(), m12 = r.f32(), m21 = r.f32(), m22 = r.f32();
    const double dx = r.f32(), dy = r.f32();
    return QTransform(m11, m12, m21, m22, dx, dy);
}

bool usable(const QTransform& t) {
    for (double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()}) {
        if (!std::isfinite(v) || std::abs(v) > 1e9) {
            return false;
        }
    }
    return std::abs(t.determinant()) > 1e-18;
}

double finiteOr(float v, double fallback) {
    return std::isfinite(v) && std::abs(v) < 1e9 ? double(v) : fallback;
}

QPolygonF polygon(const std::vector<QPointF>& pts) {
    return QPolygonF(QVector<QPointF>(pts.begin(), pts.end()));
}

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

thread_local int EmfPlusPlayer::nestedDepth_ = 0;

EmfPlusPlayer::EmfPlusPlayer(QPainter& painter, const QRectF& target,
                             const QTransform& deviceToTarget, SkippedRecords* skipped)
    : painter_(painter),
      target_(target),
      deviceToTarget_(deviceToTarget),
      base_(painter.worldTransform()),
      skipped_(skipped) {}

EmfPlusPlayer::~EmfPlusPlayer() = default;

bool EmfPlusPlayer::isEmfPlusComment(const ByteReader& record) {
    ByteReader r = record;
    r.seek(8);
    const quint32 dataSize = r.u32();
    const quint32 identifier = r.u32();
    return r.ok() && dataSize >= 4 && identifier == kCommentIdentifier;
}

void EmfPlusPlayer::playComment(const ByteReader& record) {
    ByteReader r = record;
    r.seek(8);
    const quint32 dataSize = r.u32();
    r.u32();  // identifier
    if (!r.ok()) {
        return;
    }
    // The comment's own size field bounds the EMF+ records inside it.
    const std::size_t end = std::min<std::size_t>(r.size(), std::size_t(12) + dataSize);
    std::size_t pos = 16;
    while (pos + kRecordHeader <= end) {
        ByteReader head = record.sub(pos, end - pos);
        const quint16 type = head.u16();
        const quint16 flags = head.u16();
        const quint32 size = head.u32();
        const quint32 payload = head.u32();
        if (!head.ok() || size < kRecordHeader || size > end - pos) {
            break;  // the rest of this comment cannot be framed
        }
        if (type < quint16(EmfPlusRecord::EmfPlusHeader) ||
            type > quint16(EmfPlusRecord::EmfPlusSetTSClip)) {
            if (skipped_) {
                ++(*skipped_)[recordName(static_cast<EmfPlusRecord>(type))];
            }
            pos += size;
            continue;
        }
        // Any EMF+ record ends a GetDC hand-over.
        handOver_ = false;
        const std::size_t dataLength = std::min<std::size_t>(payload, size - kRecordHeader);
        playRecord(type, flags, record.sub(pos + kRecordHeader, dataLength));
        pos += size;
    }
}

QTransform EmfPlusPlayer::worldToDevice() const {
    return state_.local * state_.container *
           QTransform::fromScale(pageFactor(false), pageFactor(true));
}

double EmfPlusPlayer::unitToDevice(int unit, bool vertical) const {
    const double dpi = vertical ? dpiY_ : dpiX_;
    switch (unit) {
        case 1:  // display: pixels on screens, hundredths of an inch on printers
            return videoDisplay_ ? 1.0 : dpi / 100.0;
        case 3:  // point
            return dpi / 72.0;
        case 4:  // inch
            return dpi;
        case 5:  // document
            return dpi / 300.0;
        case 6:  // millimetre
            return dpi / 25.4;
        default:  // world, pixel
            return 1.0;
    }
}

double EmfPlusPlayer::pageFactor(bool vertical) const {
    return unitToDevice(state_.pageUnit, vertical) * state_.pageScale;
}

EmfPlusPlayer::Handler EmfPlusPlayer::handlerFor(EmfPlusRecord type) {
    using R = EmfPlusRecord;
    using P = EmfPlusPlayer;
    static constexpr RecordHandler<EmfPlusRecord, Handler> kTable[] = {
        {R::EmfPlusHeader, &P::header},
        {R::EmfPlusEndOfFile, &P::endOfFile},
        {R::EmfPlusGetDC, &P::getDC},
        {R::EmfPlusObject, &P::object},
        {R::EmfPlusClear, &P::clear},
        {R::EmfPlusFillRects, &P::fillRects},
        {R::EmfPlusDrawRects, &P::drawRects},
        {R::EmfPlusFillPolygon, &P::fillPolygon},
        {R::EmfPlusDrawLines, &P::drawLines},
        {R::EmfPlusFillEllipse, &P::ellipse},
        {R::EmfPlusDrawEllipse, &P::ellipse},
        {R::EmfPlusFillPie, &P::pieOrArc},
        {R::EmfPlusDrawPie, &P::pieOrArc},
        {R::EmfPlusDrawArc, &P::pieOrArc},
        {R::EmfPlusFillRegion, &P::fillRegion},
        {R::EmfPlusFillPath, &P::path},
        {R::EmfPlusDrawPath, &P::path},
        {R::EmfPlusFillClosedCurve, &P::closedCurve},
        {R::EmfPlusDrawClosedCurve, &P::closedCurve},
        {R::EmfPlusDrawCurve, &P::drawCurve},
        {R::EmfPlusDrawBeziers, &P::drawBeziers},
        {R::EmfPlusDrawImage, &P::drawImage},
        {R::EmfPlusDrawImagePoints, &P::drawImagePoints},
        {R::EmfPlusDrawString, &P::drawString},
        {R::EmfPlusSetCompositingMode, &P::setCompositingMode},
        {R::EmfPlusSave, &P::saveOrBeginContainer},
        {R::EmfPlusRestore, &P::restoreOrEndContainer},
        {R::EmfPlusBeginContainer, &P::saveOrBeginContainer},
        {R::EmfPlusBeginContainerNoParams, &P::saveOrBeginContainer},
        {R::EmfPlusEndContainer, &P::restoreOrEndContainer},
        {R::EmfPlusSetWorldTransform, &P::setWorldTransform},
        {R::EmfPlusResetWorldTransform, &P::resetWorldTransform},
        {R::EmfPlusMultiplyWorldTransform, &P::changeWorldTransform},
        {R::EmfPlusTranslateWorldTransform, &P::changeWorldTransform},
        {R::EmfPlusScaleWorldTransform, &P::changeWorldTransform},
        {R::EmfPlusRotateWorldTransform, &P::changeWorldTransform},
        {R::EmfPlusSetPageTransform, &P::setPageTransform},
        {R::EmfPlusResetClip, &P::resetClip},
        {R::EmfPlusSetClipRect, &P::setClipRect},
        {R::EmfPlusSetClipPath, &P::setClipPath},
        {R::EmfPlusSetClipRegion, &P::setClipRegion},
        {R::EmfPlusOffsetClip, &P::offsetClip},
        {R::EmfPlusDrawDriverString, &P::drawDriverString},
    };
    static_assert(strictlyIncreasing(kTable));
    return handlerOf(kTable, type);
}

void EmfPlusPlayer::playRecord(quint16 type, quint16 flags, ByteReader r) {
    const auto kind = static_cast<EmfPlusRecord>(type);
    const Handler handler = handlerFor(kind);
    if (handler == nullptr) {
        // Hints (anti-aliasing, text, interpolation, pixel offset,
        // compositing quality, rendering origin), comments, the
        // multi-format brackets and the terminal-server records change
        // nothing this renderer draws differently.
        if (skipped_) {
            ++(*skipped_)[recordName(kind)];
        }
        return;
    }
    Record rec{kind, flags, r};
    (this->*handler)(rec);
}

void EmfPlusPlayer::header(Record& rec) {
    ByteReader& r = rec.r;
    r.u32();  // version
    const quint32 plusFlags = r.u32();
    const quint32 dpiX = r.u32();
    const quint32 dpiY = r.u32();
    if (!r.ok()) {
        return;
    }
    active_ = true;
    videoDisplay_ = plusFlags & 1;
    if (dpiX > 0 && dpiX < 100000 && dpiY > 0 && dpiY < 100000) {
        dpiX_ = dpiX;
        dpiY_ = dpiY;
    }
}

void EmfPlusPlayer::endOfFile(Record&) {}

void EmfPlusPlayer::getDC(Record&) {
    handOver_ = true;
}

void EmfPlusPlayer::object(Record& rec) {
    objects_.take(rec.flags, rec.r,
                  [this](int type, ByteReader data) { return decodeObject(type, data); });
}

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

void EmfPlusPlayer::setCompositingMode(Record& rec) {
    const quint16 flags = rec.flags;
    state_.sourceCopy = (flags & 0xFF) == 1;
}

void EmfPlusPlayer::saveOrBeginContainer(Record& rec) {
    ByteReader& r = rec.r;
    const EmfPlusRecord kind = rec.type;
    State entered = state_;
    if (kind == EmfPlusRecord::EmfPlusBeginContainer) {
        const QRectF dest = rect(r, false);
        const QRectF source = rect(r, false);
        if (r.ok() && source.width() != 0 && source.height() != 0) {
            const double sx = dest.width() / source.width();
            const double sy = dest.height() / source.height();
            entered.container =
                QTransform(sx, 0, 0, sy, dest.x() - source.x() * sx, dest.y() - source.y() * sy) *
                state_.local * state_.container;
            entered.local = QTransform();
        }
    } else if (kind == EmfPlusRecord::EmfPlusBeginContainerNoParams) {
        entered.container = state_.local * state_.container;
        entered.local = QTransform();
    }
    const quint32 id = r.u32();
    if (r.ok() && saved_.size() < kMaxSavedStates) {
        saved_.emplace_back(id, state_);
        state_ = entered;
    }
}

void EmfPlusPlayer::restoreOrEndContainer(Record& rec) {
    ByteReader& r = rec.r;
    const quint32 id = r.u32();
    for (std::size_t i = saved_.size(); r.ok() && i-- > 0;) {
        if (saved_[i].first == id) {
            state_ = saved_[i].second;
            saved_.resize(i);
            break;
        }
    }
}

void EmfPlusPlayer::setWorldTransform(Record& rec) {
    ByteReader& r = rec.r;
    if (const QTransform t = matrix(r); r.ok() && usable(t)) {
        state_.local = t;
    }
}

void EmfPlusPlayer::resetWorldTransform(Record&) {
    state_.local = QTransform();
}

void EmfPlusPlayer::changeWorldTransform(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const EmfPlusRecord kind = rec.type;
    QTransform t;
    if (kind == EmfPlusRecord::EmfPlusMultiplyWorldTransform) {
        t = matrix(r);
    } else if (kind == EmfPlusRecord::EmfPlusTranslateWorldTransform) {
        const double dx = r.f32(), dy = r.f32();
        t = QTransform::fromTranslate(dx, dy);
    } else if (kind == EmfPlusRecord::EmfPlusScaleWorldTransform) {
        const double sx = r.f32(), sy = r.f32();
        t = QTransform::fromScale(sx, sy);
    } else {
        const double angle = r.f32();
        t = std::isfinite(angle) ? QTransform().rotate(std::fmod(angle, 360.0)) : QTransform();
    }
    if (!r.ok() || !usable(t)) {
        return;
    }
    // Append (0x2000) applies the new matrix after the current one.
    const QTransform combined = (flags & 0x2000) ? state_.local * t : t * state_.local;
    if (usable(combined)) {
        state_.local = combined;
    }
}

void EmfPlusPlayer::setPageTransform(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const double scale = r.f32();
    if (r.ok() && std::isfinite(scale) && scale > 1e-6 && scale < 1e6) {
        state_.pageUnit = flags & 0xFF;
        state_.pageScale = scale;
    }
}

void EmfPlusPlayer::resetClip(Record&) {
    setClip(std::nullopt);
}

void EmfPlusPlayer::setClipRect(Record& rec) {
    ByteReader& r = rec.r;
    const quint16 flags = rec.flags;
    const QRectF box = rect(r, false);
    if (r.ok()) {
        QPainterPath path;
        path.addRect(box.normalized());
        combineClip(worldToTarget().map(path), (flags >> 8) & 0x0F);
    }
}

void EmfPlusPlayer::setClipPath(Record& rec) {
    const quint16 flags = rec.flags;
    if (const auto* path = objects_.find<QPainterPath>(flags & 0x3F); path && (flags & 0xFF) < 64) {
        combineClip(worldToTarget().map(*path), (flags >> 8) & 0x0F);
    }
}

void EmfPlusPlayer::setClipRegion(Record& rec) {
    const quint16 flags = rec.flags;
    const auto* region = objects_.find<PlusRegion>(flags & 0x3F);
    if (!region || (flags & 0xFF) >= 64) {
        return;
    }
    ByteReader probe(region->nodes.constData(), std::size_t(region->nodes.size()));
    probe.skip(8);
    if (probe.u32() == 0x10000003u && probe.ok()) {
        combineClip(QPainterPath(), (flags >> 8) & 0x0F, true);
    } else if (const auto path = regionPath(region->nodes)) {
        combineClip(worldToTarget().map(*path), (flags >> 8) & 0x0F);
    }
}

void EmfPlusPlayer::offsetClip(Record& rec) {
    ByteReader& r = rec.r;
    const double dx = r.f32(), dy = r.f32();
    if (r.ok() && state_.clip && std::isfinite(dx) && std::isfinite(dy)) {
        const QTransform t = worldToTarget();
        const QPointF d = t.map(QPointF(dx, dy)) - t.map(QPointF(0, 0));
        if (reasonable(QRectF(d, QSizeF(0, 0)))) {
            setClip(state_.clip->translated(d));
        }
    }
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

QFont EmfPlusPlayer::fontFor(const PlusFont& plusFont, double& worldPerPixel) const {
    // The em size in world units, then in target pixels.
    const double emWorld =
        plusFont.unit == 0 ? plusFont.emSize
                           : plusFont.emSize * unitToDevice(plusFont.unit, true) / pageFactor(true);
    const double scale = axisScale(worldToTarget(), 0, 1);
    const double pixels = emWorld * scale;
    worldPerPixel = 0;
    QFont font(plusFont.family.isEmpty() ? QStringLiteral("Arial") : plusFont.family);
    if (!(pixels >= 0.5) || pixels > 20000) {
        return font;
    }
    const int rounded = std::max(1, int(std::lround(pixels)));
    font.setPixelSize(rounded);
    font.setBold(plusFont.style & 1);
    font.setItalic(plusFont.style & 2);
    font.setUnderline(plusFont.style & 4);
    font.setStrikeOut(plusFont.style & 8);
    worldPerPixel = emWorld / rounded;
    return font;
}

void EmfPlusPlayer::drawString(Record& rec) {
    const quint16 flags = rec.flags;
    ByteReader& r = rec.r;
    const quint32 brushValue = r.u32();
    const quint32 formatId = r.u32();
    const quint32 length = r.u32();
    const QRectF layout = rect(r, false);
    if (!r.ok() || length == 0 || length > kMaxStringLength || !r.has(std::size_t(length) * 2)) {
        return;
    }
    const QString text = TextDecoding::decodeUtf16(r, qsizetype(length));
    const auto* plusFont = objects_.find<PlusFont>(flags & 0x3F);
    const auto brush = brushFor(flags, brushValue);
    if (!plusFont || !brush || (flags & 0xFF) >= 64) {
        return;
    }
    PlusStringFormat format;
    if (const auto* f = objects_.find<PlusStringFormat>(formatId)) {
        format = *f;
    }
    double worldPerPixel = 0;
    const QFont font = fontFor(*plusFont, worldPerPixel);
    if (!(worldPerPixel > 0)) {
        return;
    }
    const QTransform textSpace =
        QTransform::fromScale(worldPerPixel, worldPerPixel) * worldToTarget();
    const QRectF box(layout.x() / worldPerPixel, layout.y() / worldPerPixel,
                     layout.width() / worldPerPixel, layout.height() / worldPerPixel);
    if (!reasonable(textSpace.mapRect(box)) || !prepare()) {
        return;
    }
    int align = format.align == 1   ? Qt::AlignHCenter
                : format.align == 2 ? Qt::AlignRight
                                    : Qt::AlignLeft;
    align |= format.lineAlign == 1   ? Qt::AlignVCenter
             : format.lineAlign == 2 ? Qt::AlignBottom
                                     : Qt::AlignTop;
    const bool unbounded = layout.width() <= 0 || layout.height() <= 0;
    if (!unbounded && !(format.flags & 0x1000)) {
        align |= Qt::TextWordWrap;
    }
    if (unbounded || (format.flags & 0x4000)) {
        align |= Qt::TextDontClip;
    }
    painter_.setWorldTransform(textSpace * base_);
    painter_.setFont(font);
    painter_.setPen(QPen(*brush, 0));
    painter_.drawText(box, align, text);
}

void EmfPlusPlayer::drawDriverString(Record& rec) {
    const quint16 flags = rec.flags;
    ByteReader& r = rec.r;
    const quint32 brushValue = r.u32();
    const quint32 options = r.u32();
    const quint32 matrixPresent = r.u32();
    const quint32 count = r.u32();
    if (!r.ok() || count == 0 || count > kMaxStringLength || !r.has(std::size_t(count) * 10)) {
        return;
    }
    std::vector<quint16> glyphs(count);
    for (quint16& g : glyphs) {
        g = r.u16();
    }
    std::vector<QPointF> positions = points(r, count, 0);
    QTransform extra;
    if (matrixPresent) {
        extra = matrix(r);
        if (!r.ok() || !usable(extra)) {
            extra = QTransform();
        }
    }
    const auto* plusFont = objects_.find<PlusFont>(flags & 0x3F);
    const auto brush = brushFor(flags, brushValue);
    if (positions.size() != count || !plusFont || !brush || (flags & 0xFF) >= 64) {
        return;
    }
    double worldPerPixel = 0;
    const QFont font = fontFor(*plusFont, worldPerPixel);
    if (!(worldPerPixel > 0)) {
        return;
    }
    const QTransform textSpace =
        QTransform::fromScale(worldPerPixel, worldPerPixel) * extra * worldToTarget();
    const QPolygonF where = polygon(positions);
    if (!reasonable(textSpace.mapRect(QRectF(where.boundingRect().topLeft() / worldPerPixel,
                                             where.boundingRect().size() / worldPerPixel))) ||
        !prepare()) {
        return;
    }
    painter_.setWorldTransform(textSpace * base_);
    painter_.setFont(font);
    painter_.setPen(QPen(*brush, 0));
    const bool realizedAdvance = options & 0x04;
    if (options & 0x01) {
        // Character codes: lay out each at its position.
        const QFontMetricsF metrics(font);
        QPointF pen = positions[0] / worldPerPixel;
        for (quint32 i = 0; i < count; ++i) {
            const QString ch = QString(QChar(glyphs[i]));
            const QPointF at = realizedAdvance ? pen : positions[i] / worldPerPixel;
            painter_.drawText(at, ch);
            pen.rx() += metrics.horizontalAdvance(ch);
        }
        return;
    }
    // Glyph indices of the named face.
    QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) {
        return;
    }
    QVector<quint32> indexes(static_cast<qsizetype>(count), 0);
    for (quint32 i = 0; i < count; ++i) {
        indexes[qsizetype(i)] = glyphs[i];
    }
    QVector<QPointF> at(static_cast<qsizetype>(count), QPointF());
    if (realizedAdvance) {
        const QVector<QPointF> advances = raw.advancesForGlyphIndexes(indexes);
        QPointF pen = positions[0] / worldPerPixel;
        for (qsizetype i = 0; i < at.size(); ++i) {
            at[i] = pen;
            pen += i < advances.size() ? advances[i] : QPointF();
        }
    } else {
        for (qsizetype i = 0; i < at.size(); ++i) {
            at[i] = positions[std::size_t(i)] / worldPerPixel;
        }
    }
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(indexes);
    run.setPositions(at);
    painter_.drawGlyphRun(QPointF(0, 0), run);
}

void EmfPlusPlayer::combineClip(const QPainterPath& targetPath, int mode, bool infinite) {
    QPainterPath path = targetPath;
    if (infinite) {
        path = QPainterPath();
        path.addRect(target_.adjusted(-2, -2, 2, 2));
    }
    if (mode == 0) {
        setClip(infinite ? std::nullopt : std::optional<QPainterPath>(path));
        return;
    }
    QPainterPath current;
    if (state_.clip) {
        current = *state_.clip;
    } else {
        current.addRect(target_.adjusted(-2, -2, 2, 2));
    }
    switch (mode) {
        case 1:
            setClip(current.intersected(path));
            break;
        case 2:
            setClip(current.united(path));
            break;
        case 3:
            setClip(current.united(path).subtracted(current.intersected(path)));
            break;
        case 4:
            setClip(current.subtracted(path));
            break;
        case 5:
            setClip(path.subtracted(current));
            break;
        default:
            break;
    }
}

// Clips are kept within the target, so the painter never has to intersect them.
void EmfPlusPlayer::setClip(std::optional<QPainterPath> clip) {
    if (clip) {
        QPainterPath frame;
        frame.addRect(target_);
        clip = clip->intersected(frame);
    }
    state_.clip = std::move(clip);
    state_.clipVersion = nextClipVersion_++;
}

}  // namespace platform::metafile
