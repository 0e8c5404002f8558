#include "platform/metafile/EmfRecordPlayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform::metafile {

bool EmfRecordPlayer::play(std::uint32_t type, ByteReader record) {
    ByteReader r = record;
    r.seek(kRecordHeader);
    DcState& s = dc_.state();
    const auto kind = static_cast<EmfRecord>(type);
    switch (kind) {
        case EmfRecord::EMR_HEADER:  // read by the parser
        case EmfRecord::EMR_EOF:
            break;
        case EmfRecord::EMR_POLYBEZIER:
        case EmfRecord::EMR_POLYGON:
        case EmfRecord::EMR_POLYLINE:
        case EmfRecord::EMR_POLYBEZIERTO:
        case EmfRecord::EMR_POLYLINETO:
        case EmfRecord::EMR_POLYBEZIER16:
        case EmfRecord::EMR_POLYGON16:
        case EmfRecord::EMR_POLYLINE16:
        case EmfRecord::EMR_POLYBEZIERTO16:
        case EmfRecord::EMR_POLYLINETO16:
            poly(type, r);
            break;
        case EmfRecord::EMR_POLYPOLYLINE:
        case EmfRecord::EMR_POLYPOLYGON:
        case EmfRecord::EMR_POLYPOLYLINE16:
        case EmfRecord::EMR_POLYPOLYGON16:
            polyPoly(type, r);
            break;
        case EmfRecord::EMR_POLYDRAW:
        case EmfRecord::EMR_POLYDRAW16:
            polyDraw(type, r);
            break;
        case EmfRecord::EMR_SETWINDOWEXTEX:
            if (const QPointF p = pointL(r); r.ok() && p.x() != 0 && p.y() != 0) {
                s.windowExt = p;
            }
            break;
        case EmfRecord::EMR_SETWINDOWORGEX:
            if (const QPointF p = pointL(r); r.ok()) {
                s.windowOrg = p;
            }
            break;
        case EmfRecord::EMR_SETVIEWPORTEXTEX:
            if (const QPointF p = pointL(r); r.ok() && p.x() != 0 && p.y() != 0) {
                s.viewportExt = p;
            }
            break;
        case EmfRecord::EMR_SETVIEWPORTORGEX:
            if (const QPointF p = pointL(r); r.ok()) {
                s.viewportOrg = p;
            }
            break;
        case EmfRecord::EMR_SCALEVIEWPORTEXTEX:
        case EmfRecord::EMR_SCALEWINDOWEXTEX: {  // SCALEVIEWPORTEXTEX, SCALEWINDOWEXTEX
            const double xNum = r.i32(), xDen = r.i32(), yNum = r.i32(), yDen = r.i32();
            if (r.ok() && xNum != 0 && xDen != 0 && yNum != 0 && yDen != 0) {
                QPointF& ext =
                    kind == EmfRecord::EMR_SCALEVIEWPORTEXTEX ? s.viewportExt : s.windowExt;
                ext = QPointF(ext.x() * xNum / xDen, ext.y() * yNum / yDen);
            }
            break;
        }
        case EmfRecord::EMR_SETBRUSHORGEX:
            if (const QPointF p = pointL(r); r.ok()) {
                gdi_.setBrushOrigin(p);
            }
            break;
        case EmfRecord::EMR_SETPIXELV: {  // SETPIXELV
            const QPointF p = pointL(r);
            const QColor c = colorFromRef(r.u32());
            if (r.ok()) {
                gdi_.setPixel(p, c);
            }
            break;
        }
        case EmfRecord::EMR_SETMAPMODE:
            s.mapMode = int(r.u32());
            break;
        case EmfRecord::EMR_SETBKMODE:
            s.bkOpaque = r.u32() == 2;
            break;
        case EmfRecord::EMR_SETPOLYFILLMODE:
            s.windingFill = r.u32() == 2;
            break;
        case EmfRecord::EMR_SETROP2:
            s.rop2 = int(r.u32());
            break;
        case EmfRecord::EMR_SETTEXTALIGN:
            s.textAlign = int(r.u32());
            break;
        case EmfRecord::EMR_SETTEXTCOLOR:
            if (const quint32 c = r.u32(); r.ok()) {
                s.textColor = colorFromRef(c);
            }
            break;
        case EmfRecord::EMR_SETBKCOLOR:
            if (const quint32 c = r.u32(); r.ok()) {
                s.bkColor = colorFromRef(c);
            }
            break;
        case EmfRecord::EMR_OFFSETCLIPRGN:
            if (const QPointF p = pointL(r); r.ok()) {
                gdi_.offsetClip(p);
            }
            break;
        case EmfRecord::EMR_MOVETOEX:
            if (const QPointF p = pointL(r); r.ok()) {
                gdi_.moveTo(p);
            }
            break;
        case EmfRecord::EMR_EXCLUDECLIPRECT:
            if (const QRectF box = rectL(r); r.ok()) {
                gdi_.excludeClipRect(box);
            }
            break;
        case EmfRecord::EMR_INTERSECTCLIPRECT:
            if (const QRectF box = rectL(r); r.ok()) {
                gdi_.intersectClipRect(box);
            }
            break;
        case EmfRecord::EMR_SETMETARGN:
            gdi_.setMetaRegion();
            break;
        case EmfRecord::EMR_SAVEDC:
            dc_.save();
            break;
        case EmfRecord::EMR_RESTOREDC:
            if (const int n = r.i32(); r.ok()) {
                dc_.restore(n);
            }
            break;
        case EmfRecord::EMR_SETWORLDTRANSFORM:
            if (const QTransform t = xform(r); r.ok() && finite(t)) {
                s.world = t;
            }
            break;
        case EmfRecord::EMR_MODIFYWORLDTRANSFORM: {
            const QTransform t = xform(r);
            const quint32 mode = r.u32();
            if (!r.ok()) {
                break;
            }
            if (mode == 1) {
                s.world = QTransform();
            } else if (finite(t)) {
                if (mode == 2) {
                    s.world = t * s.world;
                } else if (mode == 3) {
                    s.world = s.world * t;
                } else if (mode == 4) {
                    s.world = t;
                }
            }
            break;
        }
        case EmfRecord::EMR_SELECTOBJECT:
            if (const quint32 index = r.u32(); r.ok()) {
                selectObject(index);
            }
            break;
        case EmfRecord::EMR_CREATEPEN:
            createPen(r);
            break;
        case EmfRecord::EMR_CREATEBRUSHINDIRECT:
            createBrush(r);
            break;
        case EmfRecord::EMR_DELETEOBJECT:
            if (const quint32 index = r.u32(); r.ok()) {
                dc_.deleteObject(index);
            }
            break;
        case EmfRecord::EMR_ANGLEARC: {  // ANGLEARC
            const QPointF c = pointL(r);
            const double radius = r.u32();
            const double start = r.f32();
            const double sweep = r.f32();
            if (r.ok() && std::isfinite(start) && std::isfinite(sweep)) {
                gdi_.angleArc(c, radius, start, sweep);
            }
            break;
        }
        case EmfRecord::EMR_ELLIPSE:
            if (const QRectF box = rectL(r); r.ok()) {
                gdi_.ellipse(box);
            }
            break;
        case EmfRecord::EMR_RECTANGLE:
            if (const QRectF box = rectL(r); r.ok()) {
                gdi_.rectangle(box);
            }
            break;
        case EmfRecord::EMR_ROUNDRECT: {
            const QRectF box = rectL(r);
            const QPointF corner = pointL(r);
            if (r.ok()) {
                gdi_.roundRect(box, QSizeF(corner.x(), corner.y()));
            }
            break;
        }
        case EmfRecord::EMR_ARC:
        case EmfRecord::EMR_CHORD:
        case EmfRecord::EMR_PIE:
        case EmfRecord::EMR_ARCTO: {
            const QRectF box = rectL(r);
            const QPointF start = pointL(r);
            const QPointF end = pointL(r);
            if (r.ok()) {
                gdi_.arc(box, start, end,
                         kind == EmfRecord::EMR_ARC     ? GdiPlayer::ArcKind::Arc
                         : kind == EmfRecord::EMR_CHORD ? GdiPlayer::ArcKind::Chord
                         : kind == EmfRecord::EMR_PIE   ? GdiPlayer::ArcKind::Pie
                                                        : GdiPlayer::ArcKind::ArcTo);
            }
            break;
        }
        case EmfRecord::EMR_SELECTPALETTE:
            if (const quint32 index = r.u32(); r.ok()) {
                dc_.selectObject(index);
            }
            break;
        case EmfRecord::EMR_CREATEPALETTE:
            createPalette(r);
            break;
        case EmfRecord::EMR_SETPALETTEENTRIES: {
            const quint32 index = r.u32(), first = r.u32(), count = r.u32();
            if (LogicalPalette* palette = dc_.palette(index); r.ok() && palette) {
                palette->setEntries(first, count, r);
            }
            break;
        }
        case EmfRecord::EMR_RESIZEPALETTE: {
            const quint32 index = r.u32(), count = r.u32();
            if (LogicalPalette* palette = dc_.palette(index); r.ok() && palette) {
                palette->resize(count);
            }
            break;
        }
        case EmfRecord::EMR_LINETO:
            if (const QPointF p = pointL(r); r.ok()) {
                gdi_.lineTo(p);
            }
            break;
        case EmfRecord::EMR_SETARCDIRECTION:
            s.arcClockwise = r.u32() == 2;
            break;
        case EmfRecord::EMR_SETTEXTJUSTIFICATION: {
            const qint32 extra = r.i32(), count = r.i32();
            if (r.ok()) {
                s.breakExtra = extra;
                s.breakCount = count;
            }
            break;
        }
        case EmfRecord::EMR_SETLAYOUT:
            // Right-to-left layout mirrors the picture; left-to-right (with or
            // without bitmaps kept unmirrored) is the default already in force.
            if (const quint32 layout = r.u32(); !r.ok() || (layout & 1) != 0) {
                return false;
            }
            break;
        case EmfRecord::EMR_SETMITERLIMIT:
            // Defined as an integer, written by many programs as a float.
            if (const quint32 bits = r.u32(); r.ok()) {
                float asFloat = 0;
                std::memcpy(&asFloat, &bits, sizeof asFloat);
                const double limit = bits < 0x10000 ? double(bits) : double(asFloat);
                if (std::isfinite(limit) && limit >= 1) {
                    s.miterLimit = std::min(limit, 1000.0);
                }
            }
            break;
        case EmfRecord::EMR_BEGINPATH:
            gdi_.beginPath();
            break;
        case EmfRecord::EMR_ENDPATH:
            gdi_.endPath();
            break;
        case EmfRecord::EMR_CLOSEFIGURE:
            gdi_.closeFigure();
            break;
        case EmfRecord::EMR_FILLPATH:
            gdi_.fillPath();
            break;
        case EmfRecord::EMR_STROKEANDFILLPATH:
            gdi_.strokeAndFillPath();
            break;
        case EmfRecord::EMR_STROKEPATH:
            gdi_.strokePath();
            break;
        case EmfRecord::EMR_FLATTENPATH:
            gdi_.flattenPath();
            break;
        case EmfRecord::EMR_WIDENPATH:
            gdi_.widenPath();
            break;
        case EmfRecord::EMR_SELECTCLIPPATH:
            if (const quint32 mode = r.u32(); r.ok() && mode >= 1 && mode <= 5) {
                gdi_.selectClipPath(static_cast<GdiPlayer::RegionMode>(mode));
            }
            break;
        case EmfRecord::EMR_ABORTPATH:
            gdi_.abortPath();
            break;
        case EmfRecord::EMR_FILLRGN:
        case EmfRecord::EMR_FRAMERGN:
        case EmfRecord::EMR_INVERTRGN:
        case EmfRecord::EMR_PAINTRGN:
            regionOutput(type, r);
            break;
        case EmfRecord::EMR_EXTSELECTCLIPRGN:
            extSelectClipRgn(r);
            break;
        case EmfRecord::EMR_BITBLT:
        case EmfRecord::EMR_STRETCHBLT:
        case EmfRecord::EMR_ALPHABLEND:
        case EmfRecord::EMR_TRANSPARENTBLT:
            bitBlt(type, r, record);
            break;
        case EmfRecord::EMR_MASKBLT:
            maskBlt(r, record);
            break;
        case EmfRecord::EMR_PLGBLT:
            plgBlt(r, record);
            break;
        case EmfRecord::EMR_SETDIBITSTODEVICE:
        case EmfRecord::EMR_STRETCHDIBITS:
            stretchDibits(type, r, record);
            break;
        case EmfRecord::EMR_EXTCREATEFONTINDIRECTW:
            createFont(r);
            break;
        case EmfRecord::EMR_EXTTEXTOUTA:
        case EmfRecord::EMR_EXTTEXTOUTW:
            extTextOut(r, record, kind == EmfRecord::EMR_EXTTEXTOUTW);
            break;
        case EmfRecord::EMR_POLYTEXTOUTA:
        case EmfRecord::EMR_POLYTEXTOUTW:
            polyTextOut(r, record, kind == EmfRecord::EMR_POLYTEXTOUTW);
            break;
        case EmfRecord::EMR_SMALLTEXTOUT:
            smallTextOut(r);
            break;
        case EmfRecord::EMR_CREATEMONOBRUSH:
        case EmfRecord::EMR_CREATEDIBPATTERNBRUSHPT:
            createDibBrush(r, record, kind == EmfRecord::EMR_CREATEMONOBRUSH);
            break;
        case EmfRecord::EMR_EXTCREATEPEN:
            extCreatePen(r, record);
            break;
        case EmfRecord::EMR_GRADIENTFILL:
            gradientFill(r);
            break;
        default:
            return false;
    }
    return true;
}

void EmfRecordPlayer::poly(std::uint32_t type, ByteReader& r) {
    r.skip(16);  // bounds
    const quint32 count = r.u32();
    const auto kind = static_cast<EmfRecord>(type);
    const bool shortPoints = type >= std::uint32_t(EmfRecord::EMR_POLYBEZIER16);
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

void EmfRecordPlayer::polyPoly(std::uint32_t type, ByteReader& r) {
    r.skip(16);
    const quint32 polys = r.u32();
    const quint32 total = r.u32();
    const auto kind = static_cast<EmfRecord>(type);
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

void EmfRecordPlayer::polyDraw(std::uint32_t type, ByteReader& r) {
    r.skip(16);
    const quint32 count = r.u32();
    const QPolygonF pts =
        points(r, count, static_cast<EmfRecord>(type) == EmfRecord::EMR_POLYDRAW16);
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
