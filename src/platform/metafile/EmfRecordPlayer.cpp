#include "platform/metafile/EmfRecordPlayer.h"

#include "platform/metafile/RecordDispatch.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform::metafile {

EmfRecordPlayer::Handler EmfRecordPlayer::handlerFor(EmfRecord type) {
    using R = EmfRecord;
    using P = EmfRecordPlayer;
    static constexpr RecordHandler<EmfRecord, Handler> kTable[] = {
        {R::EMR_HEADER, &P::readByParser},
        {R::EMR_POLYBEZIER, &P::poly},
        {R::EMR_POLYGON, &P::poly},
        {R::EMR_POLYLINE, &P::poly},
        {R::EMR_POLYBEZIERTO, &P::poly},
        {R::EMR_POLYLINETO, &P::poly},
        {R::EMR_POLYPOLYLINE, &P::polyPoly},
        {R::EMR_POLYPOLYGON, &P::polyPoly},
        {R::EMR_SETWINDOWEXTEX, &P::setWindowExt},
        {R::EMR_SETWINDOWORGEX, &P::setWindowOrg},
        {R::EMR_SETVIEWPORTEXTEX, &P::setViewportExt},
        {R::EMR_SETVIEWPORTORGEX, &P::setViewportOrg},
        {R::EMR_SETBRUSHORGEX, &P::setBrushOrg},
        {R::EMR_EOF, &P::readByParser},
        {R::EMR_SETPIXELV, &P::setPixel},
        {R::EMR_SETMAPMODE, &P::setMapMode},
        {R::EMR_SETBKMODE, &P::setBkMode},
        {R::EMR_SETPOLYFILLMODE, &P::setPolyFillMode},
        {R::EMR_SETROP2, &P::setRop2},
        {R::EMR_SETTEXTALIGN, &P::setTextAlign},
        {R::EMR_SETTEXTCOLOR, &P::setTextColor},
        {R::EMR_SETBKCOLOR, &P::setBkColor},
        {R::EMR_OFFSETCLIPRGN, &P::offsetClipRgn},
        {R::EMR_MOVETOEX, &P::moveTo},
        {R::EMR_SETMETARGN, &P::setMetaRgn},
        {R::EMR_EXCLUDECLIPRECT, &P::excludeClipRect},
        {R::EMR_INTERSECTCLIPRECT, &P::intersectClipRect},
        {R::EMR_SCALEVIEWPORTEXTEX, &P::scaleExt},
        {R::EMR_SCALEWINDOWEXTEX, &P::scaleExt},
        {R::EMR_SAVEDC, &P::saveDc},
        {R::EMR_RESTOREDC, &P::restoreDc},
        {R::EMR_SETWORLDTRANSFORM, &P::setWorldTransform},
        {R::EMR_MODIFYWORLDTRANSFORM, &P::modifyWorldTransform},
        {R::EMR_SELECTOBJECT, &P::selectObject},
        {R::EMR_CREATEPEN, &P::createPen},
        {R::EMR_CREATEBRUSHINDIRECT, &P::createBrush},
        {R::EMR_DELETEOBJECT, &P::deleteObject},
        {R::EMR_ANGLEARC, &P::angleArc},
        {R::EMR_ELLIPSE, &P::ellipse},
        {R::EMR_RECTANGLE, &P::rectangle},
        {R::EMR_ROUNDRECT, &P::roundRect},
        {R::EMR_ARC, &P::arc},
        {R::EMR_CHORD, &P::arc},
        {R::EMR_PIE, &P::arc},
        {R::EMR_SELECTPALETTE, &P::selectPalette},
        {R::EMR_CREATEPALETTE, &P::createPalette},
        {R::EMR_SETPALETTEENTRIES, &P::setPaletteEntries},
        {R::EMR_RESIZEPALETTE, &P::resizePalette},
        {R::EMR_LINETO, &P::lineTo},
        {R::EMR_ARCTO, &P::arc},
        {R::EMR_POLYDRAW, &P::polyDraw},
        {R::EMR_SETARCDIRECTION, &P::setArcDirection},
        {R::EMR_SETMITERLIMIT, &P::setMiterLimit},
        {R::EMR_BEGINPATH, &P::beginPath},
        {R::EMR_ENDPATH, &P::endPath},
        {R::EMR_CLOSEFIGURE, &P::closeFigure},
        {R::EMR_FILLPATH, &P::fillPath},
        {R::EMR_STROKEANDFILLPATH, &P::strokeAndFillPath},
        {R::EMR_STROKEPATH, &P::strokePath},
        {R::EMR_FLATTENPATH, &P::flattenPath},
        {R::EMR_WIDENPATH, &P::widenPath},
        {R::EMR_SELECTCLIPPATH, &P::selectClipPath},
        {R::EMR_ABORTPATH, &P::abortPath},
        {R::EMR_FILLRGN, &P::regionOutput},
        {R::EMR_FRAMERGN, &P::regionOutput},
        {R::EMR_INVERTRGN, &P::regionOutput},
        {R::EMR_PAINTRGN, &P::regionOutput},
        {R::EMR_EXTSELECTCLIPRGN, &P::extSelectClipRgn},
        {R::EMR_BITBLT, &P::bitBlt},
        {R::EMR_STRETCHBLT, &P::bitBlt},
        {R::EMR_MASKBLT, &P::maskBlt},
        {R::EMR_PLGBLT, &P::plgBlt},
        {R::EMR_SETDIBITSTODEVICE, &P::stretchDibits},
        {R::EMR_STRETCHDIBITS, &P::stretchDibits},
        {R::EMR_EXTCREATEFONTINDIRECTW, &P::createFont},
        {R::EMR_EXTTEXTOUTA, &P::extTextOut},
        {R::EMR_EXTTEXTOUTW, &P::extTextOut},
        {R::EMR_POLYBEZIER16, &P::poly},
        {R::EMR_POLYGON16, &P::poly},
        {R::EMR_POLYLINE16, &P::poly},
        {R::EMR_POLYBEZIERTO16, &P::poly},
        {R::EMR_POLYLINETO16, &P::poly},
        {R::EMR_POLYPOLYLINE16, &P::polyPoly},
        {R::EMR_POLYPOLYGON16, &P::polyPoly},
        {R::EMR_POLYDRAW16, &P::polyDraw},
        {R::EMR_CREATEMONOBRUSH, &P::createDibBrush},
        {R::EMR_CREATEDIBPATTERNBRUSHPT, &P::createDibBrush},
        {R::EMR_EXTCREATEPEN, &P::extCreatePen},
        {R::EMR_POLYTEXTOUTA, &P::polyTextOut},
        {R::EMR_POLYTEXTOUTW, &P::polyTextOut},
        {R::EMR_SMALLTEXTOUT, &P::smallTextOut},
        {R::EMR_ALPHABLEND, &P::bitBlt},
        {R::EMR_SETLAYOUT, &P::setLayout},
        {R::EMR_TRANSPARENTBLT, &P::bitBlt},
        {R::EMR_GRADIENTFILL, &P::gradientFill},
        {R::EMR_SETTEXTJUSTIFICATION, &P::setTextJustification},
    };
    static_assert(strictlyIncreasing(kTable));
    return handlerOf(kTable, type);
}

bool EmfRecordPlayer::play(std::uint32_t type, ByteReader record) {
    const auto kind = static_cast<EmfRecord>(type);
    const Handler handler = handlerFor(kind);
    if (handler == nullptr) {
        return false;
    }
    Record rec{kind, record, record};
    rec.r.seek(kRecordHeader);
    (this->*handler)(rec);
    return rec.applied;
}

void EmfRecordPlayer::readByParser(Record&) {}

// Coordinate spaces and the device context's settings.

void EmfRecordPlayer::setWindowExt(Record& rec) {
    if (const QPointF p = pointL(rec.r); rec.r.ok() && p.x() != 0 && p.y() != 0) {
        dc_.state().windowExt = p;
    }
}

void EmfRecordPlayer::setWindowOrg(Record& rec) {
    if (const QPointF p = pointL(rec.r); rec.r.ok()) {
        dc_.state().windowOrg = p;
    }
}

void EmfRecordPlayer::setViewportExt(Record& rec) {
    if (const QPointF p = pointL(rec.r); rec.r.ok() && p.x() != 0 && p.y() != 0) {
        dc_.state().viewportExt = p;
    }
}

void EmfRecordPlayer::setViewportOrg(Record& rec) {
    if (const QPointF p = pointL(rec.r); rec.r.ok()) {
        dc_.state().viewportOrg = p;
    }
}

void EmfRecordPlayer::scaleExt(Record& rec) {
    ByteReader& r = rec.r;
    DcState& s = dc_.state();
    const double xNum = r.i32(), xDen = r.i32(), yNum = r.i32(), yDen = r.i32();
    if (r.ok() && xNum != 0 && xDen != 0 && yNum != 0 && yDen != 0) {
        QPointF& ext = rec.type == EmfRecord::EMR_SCALEVIEWPORTEXTEX ? s.viewportExt : s.windowExt;
        ext = QPointF(ext.x() * xNum / xDen, ext.y() * yNum / yDen);
    }
}

void EmfRecordPlayer::setBrushOrg(Record& rec) {
    if (const QPointF p = pointL(rec.r); rec.r.ok()) {
        gdi_.setBrushOrigin(p);
    }
}

void EmfRecordPlayer::setMapMode(Record& rec) {
    dc_.state().mapMode = int(rec.r.u32());
}

void EmfRecordPlayer::setBkMode(Record& rec) {
    dc_.state().bkOpaque = rec.r.u32() == 2;
}

void EmfRecordPlayer::setPolyFillMode(Record& rec) {
    dc_.state().windingFill = rec.r.u32() == 2;
}

void EmfRecordPlayer::setRop2(Record& rec) {
    dc_.state().rop2 = int(rec.r.u32());
}

void EmfRecordPlayer::setTextAlign(Record& rec) {
    dc_.state().textAlign = int(rec.r.u32());
}

void EmfRecordPlayer::setTextColor(Record& rec) {
    if (const quint32 c = rec.r.u32(); rec.r.ok()) {
        dc_.state().textColor = colorFromRef(c);
    }
}

void EmfRecordPlayer::setBkColor(Record& rec) {
    if (const quint32 c = rec.r.u32(); rec.r.ok()) {
        dc_.state().bkColor = colorFromRef(c);
    }
}

void EmfRecordPlayer::saveDc(Record&) {
    dc_.save();
}

void EmfRecordPlayer::restoreDc(Record& rec) {
    if (const int n = rec.r.i32(); rec.r.ok()) {
        dc_.restore(n);
    }
}

void EmfRecordPlayer::setWorldTransform(Record& rec) {
    if (const QTransform t = xform(rec.r); rec.r.ok() && finite(t)) {
        dc_.state().world = t;
    }
}

void EmfRecordPlayer::modifyWorldTransform(Record& rec) {
    const QTransform t = xform(rec.r);
    const quint32 mode = rec.r.u32();
    if (!rec.r.ok()) {
        return;
    }
    QTransform& world = dc_.state().world;
    if (mode == 1) {
        world = QTransform();
    } else if (finite(t)) {
        if (mode == 2) {
            world = t * world;
        } else if (mode == 3) {
            world = world * t;
        } else if (mode == 4) {
            world = t;
        }
    }
}

void EmfRecordPlayer::setArcDirection(Record& rec) {
    dc_.state().arcClockwise = rec.r.u32() == 2;
}

void EmfRecordPlayer::setTextJustification(Record& rec) {
    const qint32 extra = rec.r.i32(), count = rec.r.i32();
    if (rec.r.ok()) {
        dc_.state().breakExtra = extra;
        dc_.state().breakCount = count;
    }
}

void EmfRecordPlayer::setLayout(Record& rec) {
    // Right-to-left layout mirrors the picture; left-to-right (with or
    // without bitmaps kept unmirrored) is the default already in force.
    if (const quint32 layout = rec.r.u32(); !rec.r.ok() || (layout & 1) != 0) {
        rec.applied = false;
    }
}

void EmfRecordPlayer::setMiterLimit(Record& rec) {
    // Defined as an integer, written by many programs as a float.
    if (const quint32 bits = rec.r.u32(); rec.r.ok()) {
        float asFloat = 0;
        std::memcpy(&asFloat, &bits, sizeof asFloat);
        const double limit = bits < 0x10000 ? double(bits) : double(asFloat);
        if (std::isfinite(limit) && limit >= 1) {
            dc_.state().miterLimit = std::min(limit, 1000.0);
        }
    }
}

// Objects and palettes.

void EmfRecordPlayer::selectObject(Record& rec) {
    if (const quint32 index = rec.r.u32(); rec.r.ok()) {
        selectObject(index);
    }
}

void EmfRecordPlayer::deleteObject(Record& rec) {
    if (const quint32 index = rec.r.u32(); rec.r.ok()) {
        dc_.deleteObject(index);
    }
}

void EmfRecordPlayer::selectPalette(Record& rec) {
    if (const quint32 index = rec.r.u32(); rec.r.ok()) {
        dc_.selectObject(index);
    }
}

void EmfRecordPlayer::setPaletteEntries(Record& rec) {
    ByteReader& r = rec.r;
    const quint32 index = r.u32(), first = r.u32(), count = r.u32();
    if (LogicalPalette* palette = dc_.palette(index); r.ok() && palette) {
        palette->setEntries(first, count, r);
    }
}

void EmfRecordPlayer::resizePalette(Record& rec) {
    ByteReader& r = rec.r;
    const quint32 index = r.u32(), count = r.u32();
    if (LogicalPalette* palette = dc_.palette(index); r.ok() && palette) {
        palette->resize(count);
    }
}

// Clipping.

void EmfRecordPlayer::offsetClipRgn(Record& rec) {
    if (const QPointF p = pointL(rec.r); rec.r.ok()) {
        gdi_.offsetClip(p);
    }
}

void EmfRecordPlayer::setMetaRgn(Record&) {
    gdi_.setMetaRegion();
}

void EmfRecordPlayer::excludeClipRect(Record& rec) {
    if (const QRectF box = rectL(rec.r); rec.r.ok()) {
        gdi_.excludeClipRect(box);
    }
}

void EmfRecordPlayer::intersectClipRect(Record& rec) {
    if (const QRectF box = rectL(rec.r); rec.r.ok()) {
        gdi_.intersectClipRect(box);
    }
}

// Lines and shapes.

void EmfRecordPlayer::setPixel(Record& rec) {
    const QPointF p = pointL(rec.r);
    const QColor c = colorFromRef(rec.r.u32());
    if (rec.r.ok()) {
        gdi_.setPixel(p, c);
    }
}

void EmfRecordPlayer::moveTo(Record& rec) {
    if (const QPointF p = pointL(rec.r); rec.r.ok()) {
        gdi_.moveTo(p);
    }
}

void EmfRecordPlayer::lineTo(Record& rec) {
    if (const QPointF p = pointL(rec.r); rec.r.ok()) {
        gdi_.lineTo(p);
    }
}

void EmfRecordPlayer::angleArc(Record& rec) {
    ByteReader& r = rec.r;
    const QPointF c = pointL(r);
    const double radius = r.u32();
    const double start = r.f32();
    const double sweep = r.f32();
    if (r.ok() && std::isfinite(start) && std::isfinite(sweep)) {
        gdi_.angleArc(c, radius, start, sweep);
    }
}

void EmfRecordPlayer::ellipse(Record& rec) {
    if (const QRectF box = rectL(rec.r); rec.r.ok()) {
        gdi_.ellipse(box);
    }
}

void EmfRecordPlayer::rectangle(Record& rec) {
    if (const QRectF box = rectL(rec.r); rec.r.ok()) {
        gdi_.rectangle(box);
    }
}

void EmfRecordPlayer::roundRect(Record& rec) {
    const QRectF box = rectL(rec.r);
    const QPointF corner = pointL(rec.r);
    if (rec.r.ok()) {
        gdi_.roundRect(box, QSizeF(corner.x(), corner.y()));
    }
}

void EmfRecordPlayer::arc(Record& rec) {
    ByteReader& r = rec.r;
    const QRectF box = rectL(r);
    const QPointF start = pointL(r);
    const QPointF end = pointL(r);
    if (r.ok()) {
        gdi_.arc(box, start, end,
                 rec.type == EmfRecord::EMR_ARC     ? GdiPlayer::ArcKind::Arc
                 : rec.type == EmfRecord::EMR_CHORD ? GdiPlayer::ArcKind::Chord
                 : rec.type == EmfRecord::EMR_PIE   ? GdiPlayer::ArcKind::Pie
                                                    : GdiPlayer::ArcKind::ArcTo);
    }
}

// Paths.

void EmfRecordPlayer::beginPath(Record&) {
    gdi_.beginPath();
}

void EmfRecordPlayer::endPath(Record&) {
    gdi_.endPath();
}

void EmfRecordPlayer::closeFigure(Record&) {
    gdi_.closeFigure();
}

void EmfRecordPlayer::fillPath(Record&) {
    gdi_.fillPath();
}

void EmfRecordPlayer::strokeAndFillPath(Record&) {
    gdi_.strokeAndFillPath();
}

void EmfRecordPlayer::strokePath(Record&) {
    gdi_.strokePath();
}

void EmfRecordPlayer::flattenPath(Record&) {
    gdi_.flattenPath();
}

void EmfRecordPlayer::widenPath(Record&) {
    gdi_.widenPath();
}

void EmfRecordPlayer::selectClipPath(Record& rec) {
    if (const quint32 mode = rec.r.u32(); rec.r.ok() && mode >= 1 && mode <= 5) {
        gdi_.selectClipPath(static_cast<GdiPlayer::RegionMode>(mode));
    }
}

void EmfRecordPlayer::abortPath(Record&) {
    gdi_.abortPath();
}

void EmfRecordPlayer::poly(Record& rec) {
    ByteReader& r = rec.r;
    r.skip(16);  // bounds
    const quint32 count = r.u32();
    const EmfRecord kind = rec.type;
    const bool shortPoints = kind >= EmfRecord::EMR_POLYBEZIER16;
    const QPolygonF pts = points(r, count, shortPoints);
    if (!r.ok() || pts.isEmpty()) {
        return;
    }
    switch (kind) {
        case EmfRecord::EMR_POLYBEZIER:
        case EmfRecord::EMR_POLYBEZIER16:
            gdi_.polyBezier(pts);
            break;
        case EmfRecord::EMR_POLYGON:
        case EmfRecord::EMR_POLYGON16:
            gdi_.polygon(pts);
            break;
        case EmfRecord::EMR_POLYLINE:
        case EmfRecord::EMR_POLYLINE16:
            gdi_.polyline(pts);
            break;
        case EmfRecord::EMR_POLYBEZIERTO:
        case EmfRecord::EMR_POLYBEZIERTO16:
            gdi_.polyBezierTo(pts);
            break;
        case EmfRecord::EMR_POLYLINETO:
        case EmfRecord::EMR_POLYLINETO16:
            gdi_.polylineTo(pts);
            break;
        default:
            break;
    }
}

void EmfRecordPlayer::polyPoly(Record& rec) {
    ByteReader& r = rec.r;
    r.skip(16);
    const quint32 polys = r.u32();
    const quint32 total = r.u32();
    const EmfRecord kind = rec.type;
    const bool shortPoints =
        kind == EmfRecord::EMR_POLYPOLYLINE16 || kind == EmfRecord::EMR_POLYPOLYGON16;
    if (!r.ok() || !r.has(std::size_t(polys) * 4)) {
        return;
    }
    std::vector<quint32> counts(polys);
    std::uint64_t sum = 0;
    for (quint32& c : counts) {
        c = r.u32();
        sum += c;
    }
    if (sum > total || !r.has(std::size_t(sum) * (shortPoints ? 4 : 8))) {
        return;
    }
    std::vector<QPolygonF> polygons;
    polygons.reserve(counts.size());
    for (quint32 c : counts) {
        polygons.push_back(points(r, c, shortPoints));
    }
    if (kind == EmfRecord::EMR_POLYPOLYGON || kind == EmfRecord::EMR_POLYPOLYGON16) {
        gdi_.polyPolygon(polygons);
    } else {
        gdi_.polyPolyline(polygons);
    }
}

void EmfRecordPlayer::polyDraw(Record& rec) {
    ByteReader& r = rec.r;
    r.skip(16);
    const quint32 count = r.u32();
    const QPolygonF pts = points(r, count, rec.type == EmfRecord::EMR_POLYDRAW16);
    if (!r.ok() || pts.isEmpty() || !r.has(count)) {
        return;
    }
    std::vector<quint8> types(count);
    for (quint8& t : types) {
        t = r.u8();
    }
    gdi_.polyDraw(pts, types);
}

}  // namespace platform::metafile
