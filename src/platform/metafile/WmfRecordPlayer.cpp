#include "platform/metafile/WmfRecordPlayer.h"

namespace platform::metafile {

bool WmfRecordPlayer::play(std::uint16_t function, ByteReader r) {
    DcState& s = dc_.state();
    const auto kind = static_cast<WmfRecord>(function);
    switch (kind) {
        case WmfRecord::META_EOF:
            break;
        case WmfRecord::META_SETBKCOLOR:
            s.bkColor = color(r);
            break;
        case WmfRecord::META_SETBKMODE:
            s.bkOpaque = r.u16() == 2;
            break;
        case WmfRecord::META_SETMAPMODE:
            s.mapMode = r.u16();
            break;
        case WmfRecord::META_SETROP2:
            s.rop2 = r.u16();
            break;
        case WmfRecord::META_SETPOLYFILLMODE:
            s.windingFill = r.u16() == 2;
            break;
        case WmfRecord::META_SETTEXTJUSTIFICATION: {
            const int count = r.u16(), extra = r.u16();
            if (r.ok()) {
                s.breakExtra = extra;
                s.breakCount = count;
            }
            break;
        }
        case WmfRecord::META_SETPALENTRIES:
        case WmfRecord::META_ANIMATEPALETTE: {
            // Both change entries of the selected palette.
            const int first = r.u16(), count = r.u16();
            if (r.ok()) {
                LogicalPalette selected{s.palette};
                selected.setEntries(std::size_t(first), std::size_t(count), r);
                s.palette = std::move(selected.colors);
            }
            break;
        }
        case WmfRecord::META_RESIZEPALETTE:
            if (const int count = r.u16(); r.ok()) {
                LogicalPalette selected{s.palette};
                selected.resize(std::size_t(count));
                s.palette = std::move(selected.colors);
            }
            break;
        case WmfRecord::META_SETTEXTCHAREXTRA:
            s.textCharExtra = r.i16();
            break;
        case WmfRecord::META_SETTEXTCOLOR:
            s.textColor = color(r);
            break;
        case WmfRecord::META_SETTEXTALIGN:
            s.textAlign = r.u16();
            break;
        case WmfRecord::META_SETWINDOWORG:
            if (const QPointF p = point(r); r.ok()) {
                s.windowOrg = p;
            }
            break;
        case WmfRecord::META_SETWINDOWEXT:
            if (const QPointF p = point(r); r.ok() && p.x() != 0 && p.y() != 0) {
                s.windowExt = p;
            }
            break;
        case WmfRecord::META_SETVIEWPORTORG:
        case WmfRecord::META_OFFSETVIEWPORTORG:
            if (const QPointF p = point(r); r.ok()) {
                const QPointF ext = viewportExtent();
                QPointF org = viewportOrigin();
                if (kind == WmfRecord::META_OFFSETVIEWPORTORG) {
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
        case WmfRecord::META_SETVIEWPORTEXT:
            if (const QPointF p = point(r); r.ok() && p.x() != 0 && p.y() != 0) {
                const QPointF org = viewportOrigin();
                if (!firstExt_) {
                    firstExt_ = p;
                }
                setViewport(org, p);
            }
            break;
        case WmfRecord::META_SCALEVIEWPORTEXT: {  // SCALEVIEWPORTEXT
            const double yDen = r.i16(), yNum = r.i16(), xDen = r.i16(), xNum = r.i16();
            if (r.ok() && yDen != 0 && xDen != 0 && yNum != 0 && xNum != 0) {
                const QPointF ext = viewportExtent();
                setViewport(viewportOrigin(),
                            QPointF(ext.x() * xNum / xDen, ext.y() * yNum / yDen));
            }
            break;
        }
        case WmfRecord::META_OFFSETWINDOWORG:
            if (const QPointF p = point(r); r.ok()) {
                s.windowOrg += p;
            }
            break;
        case WmfRecord::META_SCALEWINDOWEXT: {
            const double yDen = r.i16(), yNum = r.i16(), xDen = r.i16(), xNum = r.i16();
            if (r.ok() && yDen != 0 && xDen != 0 && yNum != 0 && xNum != 0) {
                s.windowExt = QPointF(s.windowExt.x() * xNum / xDen, s.windowExt.y() * yNum / yDen);
            }
            break;
        }
        case WmfRecord::META_LINETO:
            if (const QPointF p = point(r); r.ok()) {
                gdi_.lineTo(p);
            }
            break;
        case WmfRecord::META_MOVETO:
            if (const QPointF p = point(r); r.ok()) {
                gdi_.moveTo(p);
            }
            break;
        case WmfRecord::META_EXCLUDECLIPRECT:
            if (const QRectF box = rect(r); r.ok()) {
                gdi_.excludeClipRect(box);
            }
            break;
        case WmfRecord::META_INTERSECTCLIPRECT:
            if (const QRectF box = rect(r); r.ok()) {
                gdi_.intersectClipRect(box);
            }
            break;
        case WmfRecord::META_ARC:
        case WmfRecord::META_PIE:
        case WmfRecord::META_CHORD: {
            const QPointF end = point(r);
            const QPointF start = point(r);
            const QRectF box = rect(r);
            if (r.ok()) {
                gdi_.arc(box, start, end,
                         kind == WmfRecord::META_ARC   ? GdiPlayer::ArcKind::Arc
                         : kind == WmfRecord::META_PIE ? GdiPlayer::ArcKind::Pie
                                                       : GdiPlayer::ArcKind::Chord);
            }
            break;
        }
        case WmfRecord::META_ELLIPSE:
            if (const QRectF box = rect(r); r.ok()) {
                gdi_.ellipse(box);
            }
            break;
        case WmfRecord::META_RECTANGLE:
            if (const QRectF box = rect(r); r.ok()) {
                gdi_.rectangle(box);
            }
            break;
        case WmfRecord::META_ROUNDRECT: {
            const double h = r.i16(), w = r.i16();
            const QRectF box = rect(r);
            if (r.ok()) {
                gdi_.roundRect(box, QSizeF(w, h));
            }
            break;
        }
        case WmfRecord::META_PATBLT: {
            const quint32 rop = r.u32();
            const double h = r.i16(), w = r.i16();
            const QPointF p = point(r);
            if (r.ok()) {
                gdi_.patBlt(QRectF(p.x(), p.y(), w, h), rop);
            }
            break;
        }
        case WmfRecord::META_SAVEDC:
            dc_.save();
            break;
        case WmfRecord::META_RESTOREDC:
            if (const int n = r.i16(); r.ok()) {
                dc_.restore(n);
            }
            break;
        case WmfRecord::META_SETPIXEL: {
            const QColor c = color(r);
            const QPointF p = point(r);
            if (r.ok()) {
                gdi_.setPixel(p, c);
            }
            break;
        }
        case WmfRecord::META_OFFSETCLIPRGN:
            if (const QPointF p = point(r); r.ok()) {
                gdi_.offsetClip(p);
            }
            break;
        case WmfRecord::META_TEXTOUT:
            textOut(r);
            break;
        case WmfRecord::META_EXTTEXTOUT:
            extTextOut(r);
            break;
        case WmfRecord::META_POLYGON:
        case WmfRecord::META_POLYLINE: {
            const int count = r.i16();
            const QPolygonF poly = points(r, count);
            if (kind == WmfRecord::META_POLYGON) {
                gdi_.polygon(poly);
            } else {
                gdi_.polyline(poly);
            }
            break;
        }
        case WmfRecord::META_POLYPOLYGON: {
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
        case WmfRecord::META_FILLREGION: {  // FILLREGION
            const std::uint16_t rgn = r.u16(), br = r.u16();
            const RegionRects* region = this->region(rgn);
            const LogicalBrush* b = brush(br);
            if (r.ok() && region && b) {
                gdi_.fillRegion(gdi_.logicalRectsToTarget(region->rects), *b);
            }
            break;
        }
        case WmfRecord::META_FRAMEREGION: {  // FRAMEREGION
            const std::uint16_t rgn = r.u16(), br = r.u16();
            const double h = r.i16(), w = r.i16();
            const RegionRects* region = this->region(rgn);
            const LogicalBrush* b = brush(br);
            if (r.ok() && region && b) {
                gdi_.frameRegion(gdi_.logicalRectsToTarget(region->rects), *b, QSizeF(w, h));
            }
            break;
        }
        case WmfRecord::META_INVERTREGION:
        case WmfRecord::META_PAINTREGION: {  // INVERTREGION, PAINTREGION
            const RegionRects* region = this->region(r.u16());
            if (r.ok() && region) {
                const QRegion target = gdi_.logicalRectsToTarget(region->rects);
                if (kind == WmfRecord::META_INVERTREGION) {
                    gdi_.invertRegion(target);
                } else {
                    gdi_.fillRegion(target, s.brush);
                }
            }
            break;
        }
        case WmfRecord::META_SELECTCLIPREGION: {  // SELECTCLIPREGION
            const std::uint16_t index = r.u16();
            if (const RegionRects* region = this->region(index); r.ok() && region) {
                gdi_.combineClip(gdi_.logicalRectsToTarget(region->rects),
                                 GdiPlayer::RegionMode::Copy);
            } else if (r.ok()) {
                gdi_.resetClip();
            }
            break;
        }
        case WmfRecord::META_SELECTOBJECT:
            if (const std::uint16_t index = r.u16(); r.ok()) {
                selectObject(index);
            }
            break;
        case WmfRecord::META_SELECTPALETTE:
            if (const std::uint16_t index = r.u16(); r.ok()) {
                dc_.selectObject(index);
            }
            break;
        case WmfRecord::META_DELETEOBJECT:
            if (const std::uint16_t index = r.u16(); r.ok()) {
                dc_.deleteObject(index);
            }
            break;
        case WmfRecord::META_CREATEPALETTE:
            createPalette(r);
            break;
        case WmfRecord::META_CREATEPENINDIRECT:
            createPen(r);
            break;
        case WmfRecord::META_CREATEFONTINDIRECT:
            createFont(r);
            break;
        case WmfRecord::META_CREATEBRUSHINDIRECT:
            createBrush(r);
            break;
        case WmfRecord::META_DIBCREATEPATTERNBRUSH:
            createPatternBrush(r);
            break;
        case WmfRecord::META_CREATEREGION:
            createRegion(r);
            break;
        case WmfRecord::META_CREATEBRUSH:
        case WmfRecord::META_CREATEPATTERNBRUSH:
        case WmfRecord::META_CREATEBITMAPINDIRECT:
        case WmfRecord::META_CREATEBITMAP:
            dc_.createObject(LogicalPalette{});
            break;
        case WmfRecord::META_DIBBITBLT:
        case WmfRecord::META_DIBSTRETCHBLT:
        case WmfRecord::META_STRETCHDIB:
        case WmfRecord::META_SETDIBTODEVICE:
        case WmfRecord::META_BITBLT:
        case WmfRecord::META_STRETCHBLT:
            blit(function, r, r.size() / 2 + 3);
            break;
        default:
            return false;
    }
    return true;
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
