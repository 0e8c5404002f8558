#include "platform/metafile/WmfRecordPlayer.h"

#include "platform/metafile/RecordDispatch.h"

namespace platform::metafile {

WmfRecordPlayer::Handler WmfRecordPlayer::handlerFor(WmfRecord type) {
    using R = WmfRecord;
    using P = WmfRecordPlayer;
    static constexpr RecordHandler<WmfRecord, Handler> kTable[] = {
        {R::META_EOF, &P::endOfFile},
        {R::META_SAVEDC, &P::saveDc},
        {R::META_SETPALENTRIES, &P::setPalEntries},
        {R::META_CREATEPALETTE, &P::createPalette},
        {R::META_CREATEBRUSH, &P::createUnusedObject},
        {R::META_SETBKMODE, &P::setBkMode},
        {R::META_SETMAPMODE, &P::setMapMode},
        {R::META_SETROP2, &P::setRop2},
        {R::META_SETPOLYFILLMODE, &P::setPolyFillMode},
        {R::META_SETTEXTCHAREXTRA, &P::setTextCharExtra},
        {R::META_RESTOREDC, &P::restoreDc},
        {R::META_INVERTREGION, &P::regionOutput},
        {R::META_PAINTREGION, &P::regionOutput},
        {R::META_SELECTCLIPREGION, &P::selectClipRegion},
        {R::META_SELECTOBJECT, &P::selectObject},
        {R::META_SETTEXTALIGN, &P::setTextAlign},
        {R::META_RESIZEPALETTE, &P::resizePalette},
        {R::META_DIBCREATEPATTERNBRUSH, &P::createPatternBrush},
        {R::META_DELETEOBJECT, &P::deleteObject},
        {R::META_CREATEPATTERNBRUSH, &P::createUnusedObject},
        {R::META_SETBKCOLOR, &P::setBkColor},
        {R::META_SETTEXTCOLOR, &P::setTextColor},
        {R::META_SETTEXTJUSTIFICATION, &P::setTextJustification},
        {R::META_SETWINDOWORG, &P::setWindowOrg},
        {R::META_SETWINDOWEXT, &P::setWindowExt},
        {R::META_SETVIEWPORTORG, &P::setViewportOrg},
        {R::META_SETVIEWPORTEXT, &P::setViewportExt},
        {R::META_OFFSETWINDOWORG, &P::offsetWindowOrg},
        {R::META_OFFSETVIEWPORTORG, &P::offsetViewportOrg},
        {R::META_LINETO, &P::lineTo},
        {R::META_MOVETO, &P::moveTo},
        {R::META_OFFSETCLIPRGN, &P::offsetClipRgn},
        {R::META_FILLREGION, &P::fillRegion},
        {R::META_SELECTPALETTE, &P::selectPalette},
        {R::META_CREATEPENINDIRECT, &P::createPen},
        {R::META_CREATEFONTINDIRECT, &P::createFont},
        {R::META_CREATEBRUSHINDIRECT, &P::createBrush},
        {R::META_CREATEBITMAPINDIRECT, &P::createUnusedObject},
        {R::META_POLYGON, &P::poly},
        {R::META_POLYLINE, &P::poly},
        {R::META_SCALEWINDOWEXT, &P::scaleWindowExt},
        {R::META_SCALEVIEWPORTEXT, &P::scaleViewportExt},
        {R::META_EXCLUDECLIPRECT, &P::excludeClipRect},
        {R::META_INTERSECTCLIPRECT, &P::intersectClipRect},
        {R::META_ELLIPSE, &P::ellipse},
        {R::META_RECTANGLE, &P::rectangle},
        {R::META_SETPIXEL, &P::setPixel},
        {R::META_FRAMEREGION, &P::frameRegion},
        {R::META_ANIMATEPALETTE, &P::setPalEntries},
        {R::META_TEXTOUT, &P::textOut},
        {R::META_POLYPOLYGON, &P::polyPolygon},
        {R::META_ROUNDRECT, &P::roundRect},
        {R::META_PATBLT, &P::patBlt},
        {R::META_CREATEBITMAP, &P::createUnusedObject},
        {R::META_CREATEREGION, &P::createRegion},
        {R::META_ARC, &P::arc},
        {R::META_PIE, &P::arc},
        {R::META_CHORD, &P::arc},
        {R::META_BITBLT, &P::blit},
        {R::META_DIBBITBLT, &P::blit},
        {R::META_EXTTEXTOUT, &P::extTextOut},
        {R::META_STRETCHBLT, &P::blit},
        {R::META_DIBSTRETCHBLT, &P::blit},
        {R::META_SETDIBTODEVICE, &P::blit},
        {R::META_STRETCHDIB, &P::blit},
    };
    static_assert(strictlyIncreasing(kTable));
    return handlerOf(kTable, type);
}

bool WmfRecordPlayer::play(std::uint16_t function, ByteReader r) {
    const auto type = static_cast<WmfRecord>(function);
    const Handler handler = handlerFor(type);
    if (handler == nullptr) {
        return false;
    }
    Record rec{type, r};
    (this->*handler)(rec);
    return true;
}

void WmfRecordPlayer::endOfFile(Record&) {}

// The device context's settings.

void WmfRecordPlayer::setBkColor(Record& rec) {
    dc_.state().bkColor = color(rec.r);
}

void WmfRecordPlayer::setBkMode(Record& rec) {
    dc_.state().bkOpaque = rec.r.u16() == 2;
}

void WmfRecordPlayer::setMapMode(Record& rec) {
    dc_.state().mapMode = rec.r.u16();
}

void WmfRecordPlayer::setRop2(Record& rec) {
    dc_.state().rop2 = rec.r.u16();
}

void WmfRecordPlayer::setPolyFillMode(Record& rec) {
    dc_.state().windingFill = rec.r.u16() == 2;
}

void WmfRecordPlayer::setTextJustification(Record& rec) {
    const int count = rec.r.u16(), extra = rec.r.u16();
    if (rec.r.ok()) {
        dc_.state().breakExtra = extra;
        dc_.state().breakCount = count;
    }
}

void WmfRecordPlayer::setTextCharExtra(Record& rec) {
    dc_.state().textCharExtra = rec.r.i16();
}

void WmfRecordPlayer::setTextColor(Record& rec) {
    dc_.state().textColor = color(rec.r);
}

void WmfRecordPlayer::setTextAlign(Record& rec) {
    dc_.state().textAlign = rec.r.u16();
}

void WmfRecordPlayer::saveDc(Record&) {
    dc_.save();
}

void WmfRecordPlayer::restoreDc(Record& rec) {
    if (const int n = rec.r.i16(); rec.r.ok()) {
        dc_.restore(n);
    }
}

// Palettes and objects.

void WmfRecordPlayer::setPalEntries(Record& rec) {
    // SETPALENTRIES and ANIMATEPALETTE both change entries of the selected palette.
    ByteReader& r = rec.r;
    const int first = r.u16(), count = r.u16();
    if (r.ok()) {
        DcState& s = dc_.state();
        LogicalPalette selected{s.palette};
        selected.setEntries(std::size_t(first), std::size_t(count), r);
        s.palette = std::move(selected.colors);
    }
}

void WmfRecordPlayer::resizePalette(Record& rec) {
    if (const int count = rec.r.u16(); rec.r.ok()) {
        DcState& s = dc_.state();
        LogicalPalette selected{s.palette};
        selected.resize(std::size_t(count));
        s.palette = std::move(selected.colors);
    }
}

void WmfRecordPlayer::selectObject(Record& rec) {
    if (const std::uint16_t index = rec.r.u16(); rec.r.ok()) {
        selectObject(index);
    }
}

void WmfRecordPlayer::selectPalette(Record& rec) {
    if (const std::uint16_t index = rec.r.u16(); rec.r.ok()) {
        dc_.selectObject(index);
    }
}

void WmfRecordPlayer::deleteObject(Record& rec) {
    if (const std::uint16_t index = rec.r.u16(); rec.r.ok()) {
        dc_.deleteObject(index);
    }
}

// Objects this player does not draw with still take their slot in the object
// table, so that the indexes of later objects stay right.
void WmfRecordPlayer::createUnusedObject(Record&) {
    dc_.createObject(LogicalPalette{});
}

// The window and the viewport.

void WmfRecordPlayer::setWindowOrg(Record& rec) {
    if (const QPointF p = point(rec.r); rec.r.ok()) {
        dc_.state().windowOrg = p;
    }
}

void WmfRecordPlayer::setWindowExt(Record& rec) {
    if (const QPointF p = point(rec.r); rec.r.ok() && p.x() != 0 && p.y() != 0) {
        dc_.state().windowExt = p;
    }
}

void WmfRecordPlayer::offsetWindowOrg(Record& rec) {
    if (const QPointF p = point(rec.r); rec.r.ok()) {
        dc_.state().windowOrg += p;
    }
}

void WmfRecordPlayer::scaleWindowExt(Record& rec) {
    ByteReader& r = rec.r;
    const double yDen = r.i16(), yNum = r.i16(), xDen = r.i16(), xNum = r.i16();
    if (r.ok() && yDen != 0 && xDen != 0 && yNum != 0 && xNum != 0) {
        QPointF& ext = dc_.state().windowExt;
        ext = QPointF(ext.x() * xNum / xDen, ext.y() * yNum / yDen);
    }
}

void WmfRecordPlayer::setViewportOrg(Record& rec) {
    if (const QPointF p = point(rec.r); rec.r.ok()) {
        const QPointF ext = viewportExtent();
        if (!firstOrg_) {
            firstOrg_ = p;
        }
        setViewport(p, ext);
    }
}

void WmfRecordPlayer::offsetViewportOrg(Record& rec) {
    if (const QPointF p = point(rec.r); rec.r.ok()) {
        const QPointF ext = viewportExtent();
        QPointF org = viewportOrigin();
        org += p;
        setViewport(org, ext);
    }
}

void WmfRecordPlayer::setViewportExt(Record& rec) {
    if (const QPointF p = point(rec.r); rec.r.ok() && p.x() != 0 && p.y() != 0) {
        const QPointF org = viewportOrigin();
        if (!firstExt_) {
            firstExt_ = p;
        }
        setViewport(org, p);
    }
}

void WmfRecordPlayer::scaleViewportExt(Record& rec) {
    ByteReader& r = rec.r;
    const double yDen = r.i16(), yNum = r.i16(), xDen = r.i16(), xNum = r.i16();
    if (r.ok() && yDen != 0 && xDen != 0 && yNum != 0 && xNum != 0) {
        const QPointF ext = viewportExtent();
        setViewport(viewportOrigin(), QPointF(ext.x() * xNum / xDen, ext.y() * yNum / yDen));
    }
}

// Clipping and regions.

void WmfRecordPlayer::excludeClipRect(Record& rec) {
    if (const QRectF box = rect(rec.r); rec.r.ok()) {
        gdi_.excludeClipRect(box);
    }
}

void WmfRecordPlayer::intersectClipRect(Record& rec) {
    if (const QRectF box = rect(rec.r); rec.r.ok()) {
        gdi_.intersectClipRect(box);
    }
}

void WmfRecordPlayer::offsetClipRgn(Record& rec) {
    if (const QPointF p = point(rec.r); rec.r.ok()) {
        gdi_.offsetClip(p);
    }
}

void WmfRecordPlayer::selectClipRegion(Record& rec) {
    const std::uint16_t index = rec.r.u16();
    if (const RegionRects* region = this->region(index); rec.r.ok() && region) {
        gdi_.combineClip(gdi_.logicalRectsToTarget(region->rects), GdiPlayer::RegionMode::Copy);
    } else if (rec.r.ok()) {
        gdi_.resetClip();
    }
}

void WmfRecordPlayer::fillRegion(Record& rec) {
    ByteReader& r = rec.r;
    const std::uint16_t rgn = r.u16(), br = r.u16();
    const RegionRects* region = this->region(rgn);
    const LogicalBrush* b = brush(br);
    if (r.ok() && region && b) {
        gdi_.fillRegion(gdi_.logicalRectsToTarget(region->rects), *b);
    }
}

void WmfRecordPlayer::frameRegion(Record& rec) {
    ByteReader& r = rec.r;
    const std::uint16_t rgn = r.u16(), br = r.u16();
    const double h = r.i16(), w = r.i16();
    const RegionRects* region = this->region(rgn);
    const LogicalBrush* b = brush(br);
    if (r.ok() && region && b) {
        gdi_.frameRegion(gdi_.logicalRectsToTarget(region->rects), *b, QSizeF(w, h));
    }
}

// INVERTREGION and PAINTREGION.
void WmfRecordPlayer::regionOutput(Record& rec) {
    const RegionRects* region = this->region(rec.r.u16());
    if (rec.r.ok() && region) {
        const QRegion target = gdi_.logicalRectsToTarget(region->rects);
        if (rec.type == WmfRecord::META_INVERTREGION) {
            gdi_.invertRegion(target);
        } else {
            gdi_.fillRegion(target, dc_.state().brush);
        }
    }
}

// Lines and shapes.

void WmfRecordPlayer::lineTo(Record& rec) {
    if (const QPointF p = point(rec.r); rec.r.ok()) {
        gdi_.lineTo(p);
    }
}

void WmfRecordPlayer::moveTo(Record& rec) {
    if (const QPointF p = point(rec.r); rec.r.ok()) {
        gdi_.moveTo(p);
    }
}

void WmfRecordPlayer::arc(Record& rec) {
    ByteReader& r = rec.r;
    const QPointF end = point(r);
    const QPointF start = point(r);
    const QRectF box = rect(r);
    if (r.ok()) {
        gdi_.arc(box, start, end,
                 rec.type == WmfRecord::META_ARC   ? GdiPlayer::ArcKind::Arc
                 : rec.type == WmfRecord::META_PIE ? GdiPlayer::ArcKind::Pie
                                                   : GdiPlayer::ArcKind::Chord);
    }
}

void WmfRecordPlayer::ellipse(Record& rec) {
    if (const QRectF box = rect(rec.r); rec.r.ok()) {
        gdi_.ellipse(box);
    }
}

void WmfRecordPlayer::rectangle(Record& rec) {
    if (const QRectF box = rect(rec.r); rec.r.ok()) {
        gdi_.rectangle(box);
    }
}

void WmfRecordPlayer::roundRect(Record& rec) {
    ByteReader& r = rec.r;
    const double h = r.i16(), w = r.i16();
    const QRectF box = rect(r);
    if (r.ok()) {
        gdi_.roundRect(box, QSizeF(w, h));
    }
}

void WmfRecordPlayer::patBlt(Record& rec) {
    ByteReader& r = rec.r;
    const quint32 rop = r.u32();
    const double h = r.i16(), w = r.i16();
    const QPointF p = point(r);
    if (r.ok()) {
        gdi_.patBlt(QRectF(p.x(), p.y(), w, h), rop);
    }
}

void WmfRecordPlayer::setPixel(Record& rec) {
    const QColor c = color(rec.r);
    const QPointF p = point(rec.r);
    if (rec.r.ok()) {
        gdi_.setPixel(p, c);
    }
}

// POLYGON and POLYLINE.
void WmfRecordPlayer::poly(Record& rec) {
    const int count = rec.r.i16();
    const QPolygonF poly = points(rec.r, count);
    if (rec.type == WmfRecord::META_POLYGON) {
        gdi_.polygon(poly);
    } else {
        gdi_.polyline(poly);
    }
}

void WmfRecordPlayer::polyPolygon(Record& rec) {
    ByteReader& r = rec.r;
    const int polys = r.u16();
    std::vector<int> counts;
    std::size_t total = 0;
    for (int i = 0; i < polys && r.ok(); ++i) {
        counts.push_back(r.u16());
        total += std::size_t(counts.back());
    }
    if (!r.ok() || !r.has(total * 4)) {
        return;
    }
    std::vector<QPolygonF> polygons;
    for (int count : counts) {
        polygons.push_back(points(r, count));
    }
    gdi_.polyPolygon(polygons);
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
