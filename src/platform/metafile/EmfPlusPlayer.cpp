// Framing of the EMF+ records inside EMR_COMMENT, their dispatch, and the
// records that change the graphics state: transforms, containers and clips.
#include "platform/metafile/EmfPlusPlayer.h"

#include "platform/metafile/EmfPlusValues.h"
#include "platform/metafile/RecordDispatch.h"
#include "platform/metafile/RecordTypes.h"
#include "platform/metafile/TargetGeometry.h"

#include <cmath>

namespace platform::metafile {

namespace {

using namespace emfplus;

constexpr std::size_t kRecordHeader = 12;
constexpr std::size_t kMaxSavedStates = 4096;

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
