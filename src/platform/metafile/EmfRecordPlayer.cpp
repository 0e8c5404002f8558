#include "platform/metafile/EmfRecordPlayer.h"

#include <cmath>

namespace platform::metafile {

void EmfRecordPlayer::play(std::uint32_t type, ByteReader record) {
    ByteReader r = record;
    r.seek(kRecordHeader);
    DcState& s = dc_.state();
    switch (type) {
        case 2:   // POLYBEZIER
        case 3:   // POLYGON
        case 4:   // POLYLINE
        case 5:   // POLYBEZIERTO
        case 6:   // POLYLINETO
        case 85:  // ...16 variants
        case 86:
        case 87:
        case 88:
        case 89:
            poly(type, r);
            break;
        case 7:
        case 8:
        case 90:
        case 91:
            polyPoly(type, r);
            break;
        case 56:
        case 92:
            polyDraw(type, r);
            break;
        case 9:
            if (const QPointF p = pointL(r); r.ok() && p.x() != 0 && p.y() != 0) {
                s.windowExt = p;
            }
            break;
        case 10:
            if (const QPointF p = pointL(r); r.ok()) {
                s.windowOrg = p;
            }
            break;
        case 11:
            if (const QPointF p = pointL(r); r.ok() && p.x() != 0 && p.y() != 0) {
                s.viewportExt = p;
            }
            break;
        case 12:
            if (const QPointF p = pointL(r); r.ok()) {
                s.viewportOrg = p;
            }
            break;
        case 31:
        case 32: {  // SCALEVIEWPORTEXTEX, SCALEWINDOWEXTEX
            const double xNum = r.i32(), xDen = r.i32(), yNum = r.i32(), yDen = r.i32();
            if (r.ok() && xNum != 0 && xDen != 0 && yNum != 0 && yDen != 0) {
                QPointF& ext = type == 31 ? s.viewportExt : s.windowExt;
                ext = QPointF(ext.x() * xNum / xDen, ext.y() * yNum / yDen);
            }
            break;
        }
        case 15: {  // SETPIXELV
            const QPointF p = pointL(r);
            const QColor c = colorFromRef(r.u32());
            if (r.ok()) {
                gdi_.setPixel(p, c);
            }
            break;
        }
        case 17:
            s.mapMode = int(r.u32());
            break;
        case 18:
            s.bkOpaque = r.u32() == 2;
            break;
        case 19:
            s.windingFill = r.u32() == 2;
            break;
        case 20:
            s.rop2 = int(r.u32());
            break;
        case 22:
            s.textAlign = int(r.u32());
            break;
        case 24:
            if (const quint32 c = r.u32(); r.ok()) {
                s.textColor = colorFromRef(c);
            }
            break;
        case 25:
            if (const quint32 c = r.u32(); r.ok()) {
                s.bkColor = colorFromRef(c);
            }
            break;
        case 26:
            if (const QPointF p = pointL(r); r.ok()) {
                gdi_.offsetClip(p);
            }
            break;
        case 27:
            if (const QPointF p = pointL(r); r.ok()) {
                gdi_.moveTo(p);
            }
            break;
        case 29:
            if (const QRectF box = rectL(r); r.ok()) {
                gdi_.excludeClipRect(box);
            }
            break;
        case 30:
            if (const QRectF box = rectL(r); r.ok()) {
                gdi_.intersectClipRect(box);
            }
            break;
        case 33:
            dc_.save();
            break;
        case 34:
            if (const int n = r.i32(); r.ok()) {
                dc_.restore(n);
            }
            break;
        case 35:
            if (const QTransform t = xform(r); r.ok() && finite(t)) {
                s.world = t;
            }
            break;
        case 36: {
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
        case 37:
            if (const quint32 index = r.u32(); r.ok()) {
                selectObject(index);
            }
            break;
        case 38:
            createPen(r);
            break;
        case 39:
            createBrush(r);
            break;
        case 40:
            if (const quint32 index = r.u32(); r.ok()) {
                dc_.deleteObject(index);
            }
            break;
        case 41: {  // ANGLEARC
            const QPointF c = pointL(r);
            const double radius = r.u32();
            const double start = r.f32();
            const double sweep = r.f32();
            if (r.ok() && std::isfinite(start) && std::isfinite(sweep)) {
                gdi_.angleArc(c, radius, start, sweep);
            }
            break;
        }
        case 42:
            if (const QRectF box = rectL(r); r.ok()) {
                gdi_.ellipse(box);
            }
            break;
        case 43:
            if (const QRectF box = rectL(r); r.ok()) {
                gdi_.rectangle(box);
            }
            break;
        case 44: {
            const QRectF box = rectL(r);
            const QPointF corner = pointL(r);
            if (r.ok()) {
                gdi_.roundRect(box, QSizeF(corner.x(), corner.y()));
            }
            break;
        }
        case 45:
        case 46:
        case 47:
        case 55: {
            const QRectF box = rectL(r);
            const QPointF start = pointL(r);
            const QPointF end = pointL(r);
            if (r.ok()) {
                gdi_.arc(box, start, end,
                         type == 45   ? GdiPlayer::ArcKind::Arc
                         : type == 46 ? GdiPlayer::ArcKind::Chord
                         : type == 47 ? GdiPlayer::ArcKind::Pie
                                      : GdiPlayer::ArcKind::ArcTo);
            }
            break;
        }
        case 48:
            if (const quint32 index = r.u32(); r.ok()) {
                dc_.selectObject(index);
            }
            break;
        case 49:
            createPalette(r);
            break;
        case 54:
            if (const QPointF p = pointL(r); r.ok()) {
                gdi_.lineTo(p);
            }
            break;
        case 57:
            s.arcClockwise = r.u32() == 2;
            break;
        case 59:
            gdi_.beginPath();
            break;
        case 60:
            gdi_.endPath();
            break;
        case 61:
            gdi_.closeFigure();
            break;
        case 62:
            gdi_.fillPath();
            break;
        case 63:
            gdi_.strokeAndFillPath();
            break;
        case 64:
            gdi_.strokePath();
            break;
        case 65:
            gdi_.flattenPath();
            break;
        case 66:
            gdi_.widenPath();
            break;
        case 67:
            if (const quint32 mode = r.u32(); r.ok() && mode >= 1 && mode <= 5) {
                gdi_.selectClipPath(static_cast<GdiPlayer::RegionMode>(mode));
            }
            break;
        case 68:
            gdi_.abortPath();
            break;
        case 71:
        case 72:
        case 73:
        case 74:
            regionOutput(type, r);
            break;
        case 75:
            extSelectClipRgn(r);
            break;
        case 76:
        case 77:
        case 114:  // ALPHABLEND
        case 116:  // TRANSPARENTBLT
            bitBlt(type, r, record);
            break;
        case 80:
        case 81:
            stretchDibits(type, r, record);
            break;
        case 82:
            createFont(r);
            break;
        case 83:
        case 84:
            extTextOut(r, record, type == 84);
            break;
        case 93:
        case 94:
            createDibBrush(r, record, type == 93);
            break;
        case 95:
            extCreatePen(r, record);
            break;
        case 118:
            gradientFill(r);
            break;
        default:
            break;
    }
}

void EmfRecordPlayer::poly(std::uint32_t type, ByteReader& r) {
    r.skip(16);  // bounds
    const quint32 count = r.u32();
    const bool shortPoints = type >= 85;
    const QPolygonF pts = points(r, count, shortPoints);
    if (!r.ok() || pts.isEmpty()) {
        return;
    }
    switch (shortPoints ? type - 83 : type) {
        case 2:
            gdi_.polyBezier(pts);
            break;
        case 3:
            gdi_.polygon(pts);
            break;
        case 4:
            gdi_.polyline(pts);
            break;
        case 5:
            gdi_.polyBezierTo(pts);
            break;
        case 6:
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
    const bool shortPoints = type >= 90;
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
    if (type == 8 || type == 91) {
        gdi_.polyPolygon(polygons);
    } else {
        gdi_.polyPolyline(polygons);
    }
}

void EmfRecordPlayer::polyDraw(std::uint32_t type, ByteReader& r) {
    r.skip(16);
    const quint32 count = r.u32();
    const QPolygonF pts = points(r, count, type == 92);
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
