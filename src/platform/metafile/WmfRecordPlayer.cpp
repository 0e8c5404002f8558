#include "platform/metafile/WmfRecordPlayer.h"

namespace platform::metafile {

void WmfRecordPlayer::play(std::uint16_t function, ByteReader r) {
    DcState& s = dc_.state();
    switch (function) {
        case 0x0201:
            s.bkColor = color(r);
            break;
        case 0x0102:
            s.bkOpaque = r.u16() == 2;
            break;
        case 0x0103:
            s.mapMode = r.u16();
            break;
        case 0x0104:
            s.rop2 = r.u16();
            break;
        case 0x0106:
            s.windingFill = r.u16() == 2;
            break;
        case 0x0108:
            s.textCharExtra = r.i16();
            break;
        case 0x0209:
            s.textColor = color(r);
            break;
        case 0x012E:
            s.textAlign = r.u16();
            break;
        case 0x020B:
            if (const QPointF p = point(r); r.ok()) {
                s.windowOrg = p;
            }
            break;
        case 0x020C:
            if (const QPointF p = point(r); r.ok() && p.x() != 0 && p.y() != 0) {
                s.windowExt = p;
            }
            break;
        case 0x020D:  // SETVIEWPORTORG
        case 0x0211:  // OFFSETVIEWPORTORG
            if (const QPointF p = point(r); r.ok()) {
                const QPointF ext = viewportExtent();
                QPointF org = viewportOrigin();
                if (function == 0x0211) {
                    org += p;
                } else {
                    org = p;
                    if (!firstOrg_) {
                        firstOrg_ = p;
                    }
                }
                setViewport(org, ext);
            }
            break;
        case 0x020E:  // SETVIEWPORTEXT
            if (const QPointF p = point(r); r.ok() && p.x() != 0 && p.y() != 0) {
                const QPointF org = viewportOrigin();
                if (!firstExt_) {
                    firstExt_ = p;
                }
                setViewport(org, p);
            }
            break;
        case 0x0412: {  // SCALEVIEWPORTEXT
            const double yDen = r.i16(), yNum = r.i16(), xDen = r.i16(), xNum = r.i16();
            if (r.ok() && yDen != 0 && xDen != 0 && yNum != 0 && xNum != 0) {
                const QPointF ext = viewportExtent();
                setViewport(viewportOrigin(),
                            QPointF(ext.x() * xNum / xDen, ext.y() * yNum / yDen));
            }
            break;
        }
        case 0x020F:
            if (const QPointF p = point(r); r.ok()) {
                s.windowOrg += p;
            }
            break;
        case 0x0410: {
            const double yDen = r.i16(), yNum = r.i16(), xDen = r.i16(), xNum = r.i16();
            if (r.ok() && yDen != 0 && xDen != 0 && yNum != 0 && xNum != 0) {
                s.windowExt = QPointF(s.windowExt.x() * xNum / xDen, s.windowExt.y() * yNum / yDen);
            }
            break;
        }
        case 0x0213:
            if (const QPointF p = point(r); r.ok()) {
                gdi_.lineTo(p);
            }
            break;
        case 0x0214:
            if (const QPointF p = point(r); r.ok()) {
                gdi_.moveTo(p);
            }
            break;
        case 0x0415:
            if (const QRectF box = rect(r); r.ok()) {
                gdi_.excludeClipRect(box);
            }
            break;
        case 0x0416:
            if (const QRectF box = rect(r); r.ok()) {
                gdi_.intersectClipRect(box);
            }
            break;
        case 0x0817:
        case 0x081A:
        case 0x0830: {
            const QPointF end = point(r);
            const QPointF start = point(r);
            const QRectF box = rect(r);
            if (r.ok()) {
                gdi_.arc(box, start, end,
                         function == 0x0817   ? GdiPlayer::ArcKind::Arc
                         : function == 0x081A ? GdiPlayer::ArcKind::Pie
                                              : GdiPlayer::ArcKind::Chord);
            }
            break;
        }
        case 0x0418:
            if (const QRectF box = rect(r); r.ok()) {
                gdi_.ellipse(box);
            }
            break;
        case 0x041B:
            if (const QRectF box = rect(r); r.ok()) {
                gdi_.rectangle(box);
            }
            break;
        case 0x061C: {
            const double h = r.i16(), w = r.i16();
            const QRectF box = rect(r);
            if (r.ok()) {
                gdi_.roundRect(box, QSizeF(w, h));
            }
            break;
        }
        case 0x061D: {
            const quint32 rop = r.u32();
            const double h = r.i16(), w = r.i16();
            const QPointF p = point(r);
            if (r.ok()) {
                gdi_.patBlt(QRectF(p.x(), p.y(), w, h), rop);
            }
            break;
        }
        case 0x001E:
            dc_.save();
            break;
        case 0x0127:
            if (const int n = r.i16(); r.ok()) {
                dc_.restore(n);
            }
            break;
        case 0x041F: {
            const QColor c = color(r);
            const QPointF p = point(r);
            if (r.ok()) {
                gdi_.setPixel(p, c);
            }
            break;
        }
        case 0x0220:
            if (const QPointF p = point(r); r.ok()) {
                gdi_.offsetClip(p);
            }
            break;
        case 0x0521:
            textOut(r);
            break;
        case 0x0A32:
            extTextOut(r);
            break;
        case 0x0324:
        case 0x0325: {
            const int count = r.i16();
            const QPolygonF poly = points(r, count);
            if (function == 0x0324) {
                gdi_.polygon(poly);
            } else {
                gdi_.polyline(poly);
            }
            break;
        }
        case 0x0538: {
            const int polys = r.u16();
            std::vector<int> counts;
            std::size_t total = 0;
            for (int i = 0; i < polys && r.ok(); ++i) {
                counts.push_back(r.u16());
                total += std::size_t(counts.back());
            }
            if (!r.ok() || !r.has(total * 4)) {
                break;
            }
            std::vector<QPolygonF> polygons;
            for (int count : counts) {
                polygons.push_back(points(r, count));
            }
            gdi_.polyPolygon(polygons);
            break;
        }
        case 0x0228: {  // FILLREGION
            const std::uint16_t rgn = r.u16(), br = r.u16();
            const RegionRects* region = this->region(rgn);
            const LogicalBrush* b = brush(br);
            if (r.ok() && region && b) {
                gdi_.fillRegion(gdi_.logicalRectsToTarget(region->rects), *b);
            }
            break;
        }
        case 0x0429: {  // FRAMEREGION
            const std::uint16_t rgn = r.u16(), br = r.u16();
            const double h = r.i16(), w = r.i16();
            const RegionRects* region = this->region(rgn);
            const LogicalBrush* b = brush(br);
            if (r.ok() && region && b) {
                gdi_.frameRegion(gdi_.logicalRectsToTarget(region->rects), *b, QSizeF(w, h));
            }
            break;
        }
        case 0x012A:
        case 0x012B: {  // INVERTREGION, PAINTREGION
            const RegionRects* region = this->region(r.u16());
            if (r.ok() && region) {
                const QRegion target = gdi_.logicalRectsToTarget(region->rects);
                if (function == 0x012A) {
                    gdi_.invertRegion(target);
                } else {
                    gdi_.fillRegion(target, s.brush);
                }
            }
            break;
        }
        case 0x012C: {  // SELECTCLIPREGION
            const std::uint16_t index = r.u16();
            if (const RegionRects* region = this->region(index); r.ok() && region) {
                gdi_.combineClip(gdi_.logicalRectsToTarget(region->rects),
                                 GdiPlayer::RegionMode::Copy);
            } else if (r.ok()) {
                gdi_.resetClip();
            }
            break;
        }
        case 0x012D:
            if (const std::uint16_t index = r.u16(); r.ok()) {
                selectObject(index);
            }
            break;
        case 0x0234:
            if (const std::uint16_t index = r.u16(); r.ok()) {
                dc_.selectObject(index);
            }
            break;
        case 0x01F0:
            if (const std::uint16_t index = r.u16(); r.ok()) {
                dc_.deleteObject(index);
            }
            break;
        case 0x00F7:
            createPalette(r);
            break;
        case 0x02FA:
            createPen(r);
            break;
        case 0x02FB:
            createFont(r);
            break;
        case 0x02FC:
            createBrush(r);
            break;
        case 0x0142:
            createPatternBrush(r);
            break;
        case 0x06FF:
            createRegion(r);
            break;
        case 0x00F8:
        case 0x01F9:
        case 0x02FD:
        case 0x02FE:
            // Objects we cannot use still take a slot, so later indices stay right.
            dc_.createObject(LogicalPalette{});
            break;
        case 0x0940:
        case 0x0B41:
        case 0x0F43:
        case 0x0D33:
        case 0x0922:
        case 0x0B23:
            blit(function, r, r.size() / 2 + 3);
            break;
        default:
            break;
    }
}

// Frame units per unit of the file's device.
QPointF WmfRecordPlayer::viewportScale() const {
    if (!firstExt_) {
        return QPointF(1, 1);
    }
    return QPointF(frameExt_.x() / firstExt_->x(), frameExt_.y() / firstExt_->y());
}

// The viewport in the file's device units, read back from the DC so that
// SaveDC and RestoreDC keep it.
QPointF WmfRecordPlayer::viewportOrigin() const {
    const QPointF scale = viewportScale();
    const QPointF shift = dc_.state().viewportOrg - frameOrg_;
    return firstOrg_.value_or(QPointF(0, 0)) +
           QPointF(shift.x() / scale.x(), shift.y() / scale.y());
}

QPointF WmfRecordPlayer::viewportExtent() const {
    const QPointF scale = viewportScale();
    const QPointF ext = dc_.state().viewportExt;
    return QPointF(ext.x() / scale.x(), ext.y() / scale.y());
}

void WmfRecordPlayer::setViewport(const QPointF& org, const QPointF& ext) {
    DcState& s = dc_.state();
    const QPointF scale = viewportScale();
    const QPointF shift = org - firstOrg_.value_or(QPointF(0, 0));
    s.viewportOrg = frameOrg_ + QPointF(shift.x() * scale.x(), shift.y() * scale.y());
    s.viewportExt = QPointF(ext.x() * scale.x(), ext.y() * scale.y());
}

}  // namespace platform::metafile
