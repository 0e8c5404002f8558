#include "platform/metafile/EmfPlayer.h"

#include "platform/metafile/ByteReader.h"
#include "platform/metafile/DibDecoder.h"
#include "platform/metafile/GdiPlayer.h"
#include "platform/metafile/TextDecoding.h"

#include <cmath>

namespace platform::metafile {

namespace {

constexpr quint32 kStockObjectFlag = 0x80000000u;
constexpr std::size_t kRecordHeader = 8;

// Decodes one EMF record into GDI calls. The reader spans the record without
// its type and size; offsets inside records count from the record start.
class EmfRecordPlayer {
public:
    EmfRecordPlayer(GdiPlayer& gdi, DeviceContext& dc) : gdi_(gdi), dc_(dc) {}

    void play(std::uint32_t type, ByteReader record);

private:
    static QPointF pointL(ByteReader& r) {
        const double x = r.i32();
        const double y = r.i32();
        return QPointF(x, y);
    }
    static QPointF pointS(ByteReader& r) {
        const double x = r.i16();
        const double y = r.i16();
        return QPointF(x, y);
    }
    static QRectF rectL(ByteReader& r) {
        const double left = r.i32(), top = r.i32(), right = r.i32(), bottom = r.i32();
        return QRectF(QPointF(left, top), QPointF(right, bottom));
    }
    static QTransform xform(ByteReader& r) {
        const double m11 = r.f32(), m12 = r.f32(), m21 = r.f32(), m22 = r.f32();
        const double dx = r.f32(), dy = r.f32();
        return QTransform(m11, m12, m21, m22, dx, dy);
    }
    static bool finite(const QTransform& t) {
        return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) &&
               std::isfinite(t.m22()) && std::isfinite(t.dx()) && std::isfinite(t.dy()) &&
               std::abs(t.determinant()) > 1e-12;
    }
    static QPolygonF points(ByteReader& r, quint32 count, bool shortPoints) {
        QPolygonF poly;
        if (!r.has(std::size_t(count) * (shortPoints ? 4 : 8))) {
            return poly;
        }
        poly.reserve(qsizetype(count));
        for (quint32 i = 0; i < count; ++i) {
            poly.append(shortPoints ? pointS(r) : pointL(r));
        }
        return poly;
    }

    void poly(std::uint32_t type, ByteReader& r);
    void polyPoly(std::uint32_t type, ByteReader& r);
    void polyDraw(std::uint32_t type, ByteReader& r);
    void createPen(ByteReader& r);
    void extCreatePen(ByteReader& r, const ByteReader& record);
    void createBrush(ByteReader& r);
    void createDibBrush(ByteReader& r, const ByteReader& record, bool mono);
    void createFont(ByteReader& r);
    void createPalette(ByteReader& r);
    void selectObject(quint32 index);
    void extTextOut(ByteReader& r, const ByteReader& record, bool wide);
    void bitBlt(std::uint32_t type, ByteReader& r, const ByteReader& record);
    void stretchDibits(std::uint32_t type, ByteReader& r, const ByteReader& record);
    void extSelectClipRgn(ByteReader& r);
    void regionOutput(std::uint32_t type, ByteReader& r);
    void gradientFill(ByteReader& r);
    QVector<QRect> regionData(ByteReader r);
    QImage bitmap(const ByteReader& record, quint32 offBmi, quint32 cbBmi, quint32 offBits,
                  quint32 cbBits, quint32 usage);

    GdiPlayer& gdi_;
    DeviceContext& dc_;
};

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

void EmfRecordPlayer::createPen(ByteReader& r) {
    const quint32 index = r.u32();
    PenSpec pen;
    const quint32 style = r.u32();
    pen.width = std::abs(double(r.i32()));
    r.i32();
    pen.color = colorFromRef(r.u32());
    if (!r.ok()) {
        return;
    }
    pen.style = int(style & 0x0F);
    pen.endCap = int((style >> 8) & 0x0F);
    pen.join = int((style >> 12) & 0x0F);
    pen.geometric = style & 0x10000;
    if (pen.style > PenSpec::Alternate) {
        pen.style = PenSpec::Solid;
    }
    dc_.createObjectAt(index, pen);
}

void EmfRecordPlayer::extCreatePen(ByteReader& r, const ByteReader& record) {
    const quint32 index = r.u32();
    r.skip(16);  // bitmap offsets: pattern pens are drawn solid
    const quint32 style = r.u32();
    PenSpec pen;
    pen.width = r.u32();
    const quint32 brushStyle = r.u32();
    pen.color = colorFromRef(r.u32());
    r.u32();  // hatch
    const quint32 entries = r.u32();
    if (!r.ok()) {
        return;
    }
    pen.style = int(style & 0x0F);
    pen.endCap = int((style >> 8) & 0x0F);
    pen.join = int((style >> 12) & 0x0F);
    pen.geometric = style & 0x10000;
    if (pen.style > PenSpec::Alternate) {
        pen.style = PenSpec::Solid;
    }
    if (brushStyle == 1) {  // BS_NULL
        pen.style = PenSpec::Null;
    }
    if (pen.style == PenSpec::UserStyle && entries <= 64 && r.has(entries * 4)) {
        for (quint32 i = 0; i < entries; ++i) {
            pen.userDashes.push_back(r.u32());
        }
    }
    (void)record;
    dc_.createObjectAt(index, pen);
}

void EmfRecordPlayer::createBrush(ByteReader& r) {
    const quint32 index = r.u32();
    BrushSpec brush;
    brush.style = int(r.u32());
    brush.color = colorFromRef(r.u32());
    brush.hatch = int(r.u32());
    if (!r.ok()) {
        return;
    }
    if (brush.style != BrushSpec::Null && brush.style != BrushSpec::Hatched) {
        brush.style = BrushSpec::Solid;
    }
    dc_.createObjectAt(index, brush);
}

void EmfRecordPlayer::createDibBrush(ByteReader& r, const ByteReader& record, bool mono) {
    const quint32 index = r.u32();
    const quint32 usage = r.u32();
    const quint32 offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    if (!r.ok()) {
        return;
    }
    BrushSpec brush;
    brush.pattern = bitmap(record, offBmi, cbBmi, offBits, cbBits, usage);
    if (mono && !brush.pattern.isNull()) {
        // Monochrome brushes paint set bits in the text colour, clear bits in the background.
        QImage colored = brush.pattern.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < colored.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(colored.scanLine(y));
            for (int x = 0; x < colored.width(); ++x) {
                line[x] = qGray(line[x]) > 127 ? dc_.state().bkColor.rgb()
                                               : dc_.state().textColor.rgb();
            }
        }
        brush.pattern = colored;
    }
    brush.style = brush.pattern.isNull() ? BrushSpec::Solid : BrushSpec::DibPatternPt;
    brush.color = Qt::gray;
    dc_.createObjectAt(index, brush);
}

void EmfRecordPlayer::createFont(ByteReader& r) {
    const quint32 index = r.u32();
    FontSpec font;
    font.height = r.i32();
    font.width = r.i32();
    font.escapement = r.i32();
    r.i32();  // orientation
    font.weight = r.i32();
    font.italic = r.u8() != 0;
    font.underline = r.u8() != 0;
    font.strikeOut = r.u8() != 0;
    font.charset = r.u8();
    r.skip(4);
    if (!r.ok()) {
        return;
    }
    font.face = TextDecoding::decodeUtf16Name(r, 32);
    dc_.createObjectAt(index, font);
}

void EmfRecordPlayer::createPalette(ByteReader& r) {
    const quint32 index = r.u32();
    r.u16();  // version
    const int count = r.u16();
    PaletteSpec palette;
    for (int i = 0; i < count && r.has(4); ++i) {
        const int red = r.u8(), green = r.u8(), blue = r.u8();
        r.u8();
        palette.colors.emplace_back(red, green, blue);
    }
    if (r.ok()) {
        dc_.createObjectAt(index, palette);
    }
}

void EmfRecordPlayer::selectObject(quint32 index) {
    if (index & kStockObjectFlag) {
        dc_.selectStockObject(index & ~kStockObjectFlag);
    } else {
        dc_.selectObject(index);
    }
}

void EmfRecordPlayer::extTextOut(ByteReader& r, const ByteReader& record, bool wide) {
    r.skip(16);  // bounds
    r.u32();     // graphics mode
    r.skip(8);   // scales
    TextRun run;
    run.reference = pointL(r);
    const quint32 chars = r.u32();
    const quint32 offString = r.u32();
    const quint32 options = r.u32();
    const QRectF rect = rectL(r);
    const quint32 offDx = r.u32();
    if (!r.ok()) {
        return;
    }
    run.opaque = options & 0x0002;
    run.clipped = options & 0x0004;
    if ((run.opaque || run.clipped) && rect.width() != 0 && rect.height() != 0) {
        run.rect = rect;
        run.hasRect = true;
    }
    const std::size_t charBytes = std::size_t(chars) * (wide ? 2 : 1);
    ByteReader text = record.sub(offString, charBytes);
    if (!text.ok()) {
        gdi_.text(TextRun{run.reference, QString(), {}, run.opaque, false, run.hasRect, run.rect});
        return;
    }
    if (wide) {
        run.text = TextDecoding::decodeUtf16(text, qsizetype(chars));
    } else {
        run.text = TextDecoding::decodeAnsi(text.data(), qsizetype(chars), dc_.state().font.charset);
    }
    // ETO_PDY (0x2000) stores an x and a y advance per character.
    const bool pdy = options & 0x2000;
    ByteReader dx = record.sub(offDx, std::size_t(chars) * (pdy ? 8 : 4));
    if (offDx != 0 && dx.ok() && qsizetype(chars) == run.text.size()) {
        for (quint32 i = 0; i < chars; ++i) {
            run.dx.push_back(dx.i32());
            if (pdy) {
                dx.i32();
            }
        }
    }
    gdi_.text(run);
}

QImage EmfRecordPlayer::bitmap(const ByteReader& record, quint32 offBmi, quint32 cbBmi,
                               quint32 offBits, quint32 cbBits, quint32 usage) {
    if (cbBmi == 0) {
        return {};
    }
    return DibDecoder::decode(record.sub(offBmi, cbBmi), record.sub(offBits, cbBits), usage == 1,
                              dc_.state().palette);
}

void EmfRecordPlayer::bitBlt(std::uint32_t type, ByteReader& r, const ByteReader& record) {
    r.skip(16);
    const double xDest = r.i32(), yDest = r.i32(), cxDest = r.i32(), cyDest = r.i32();
    const quint32 rop = r.u32();
    const double xSrc = r.i32(), ySrc = r.i32();
    const QTransform srcXform = xform(r);
    r.u32();  // background colour
    const quint32 usage = r.u32();
    const quint32 offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    double cxSrc = cxDest, cySrc = cyDest;
    if (type != 76) {
        cxSrc = r.i32();
        cySrc = r.i32();
    }
    if (!r.ok()) {
        return;
    }
    (void)srcXform;
    const QRectF dest(xDest, yDest, cxDest, cyDest);
    if (type == 76 && cbBmi == 0) {
        gdi_.patBlt(dest, rop);
        return;
    }
    QImage image = bitmap(record, offBmi, cbBmi, offBits, cbBits, usage);
    if (image.isNull()) {
        return;
    }
    quint32 effectiveRop = rop;
    if (type == 114) {
        // AlphaBlend: BLENDFUNCTION in place of the raster operation.
        const int constantAlpha = (rop >> 16) & 0xFF;
        const bool perPixel = (rop >> 24) & 0x01;
        if (!perPixel) {
            image = image.convertToFormat(QImage::Format_RGB32);
        }
        if (constantAlpha != 255) {
            QImage faded(image.size(), QImage::Format_ARGB32_Premultiplied);
            faded.fill(Qt::transparent);
            QPainter p(&faded);
            p.setOpacity(constantAlpha / 255.0);
            p.drawImage(0, 0, image);
            p.end();
            image = faded;
        }
        effectiveRop = 0x00CC0020;
    } else if (type == 116) {
        // TransparentBlt: the "rop" field is the colour to leave out.
        const QRgb key = colorFromRef(rop).rgb();
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if ((line[x] & 0xFFFFFF) == (key & 0xFFFFFF)) {
                    line[x] = 0;
                }
            }
        }
        effectiveRop = 0x00CC0020;
    }
    gdi_.image(image, QRectF(xSrc, ySrc, cxSrc, cySrc), dest, effectiveRop);
}

void EmfRecordPlayer::stretchDibits(std::uint32_t type, ByteReader& r, const ByteReader& record) {
    r.skip(16);
    const double xDest = r.i32(), yDest = r.i32();
    const double xSrc = r.i32(), ySrc = r.i32(), cxSrc = r.i32(), cySrc = r.i32();
    const quint32 offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    const quint32 usage = r.u32();
    quint32 rop = 0x00CC0020;
    double cxDest = cxSrc, cyDest = cySrc;
    if (type == 81) {
        rop = r.u32();
        cxDest = r.i32();
        cyDest = r.i32();
    }
    if (!r.ok()) {
        return;
    }
    const QImage image = bitmap(record, offBmi, cbBmi, offBits, cbBits, usage);
    if (image.isNull()) {
        if (type == 81 && cbBmi == 0) {
            gdi_.patBlt(QRectF(xDest, yDest, cxDest, cyDest), rop);
        }
        return;
    }
    // DIB source rows count from the bottom of a bottom-up bitmap.
    const double top = image.height() - ySrc - cySrc;
    gdi_.image(image, QRectF(xSrc, top, cxSrc, cySrc), QRectF(xDest, yDest, cxDest, cyDest), rop);
}

QVector<QRect> EmfRecordPlayer::regionData(ByteReader r) {
    QVector<QRect> rects;
    const quint32 headerSize = r.u32();
    r.u32();  // type
    const quint32 count = r.u32();
    r.u32();  // size
    r.skip(16);
    if (!r.ok() || headerSize < 32) {
        return rects;
    }
    r.seek(headerSize);
    if (!r.has(std::size_t(count) * 16)) {
        return rects;
    }
    rects.reserve(qsizetype(count));
    for (quint32 i = 0; i < count; ++i) {
        const qint64 left = r.i32(), top = r.i32(), right = r.i32(), bottom = r.i32();
        if (right > left && bottom > top) {
            rects.push_back(QRect(int(left), int(top), int(std::min<qint64>(right - left, 1 << 30)),
                                  int(std::min<qint64>(bottom - top, 1 << 30))));
        }
    }
    return rects;
}

void EmfRecordPlayer::extSelectClipRgn(ByteReader& r) {
    const quint32 size = r.u32();
    const quint32 mode = r.u32();
    if (!r.ok() || mode < 1 || mode > 5) {
        return;
    }
    if (size == 0 || !r.has(size)) {
        if (mode == 5) {
            gdi_.resetClip();
        }
        return;
    }
    const QVector<QRect> rects = regionData(r.sub(r.pos(), size));
    gdi_.combineClip(gdi_.deviceRectsToTarget(rects), static_cast<GdiPlayer::RegionMode>(mode));
}

void EmfRecordPlayer::regionOutput(std::uint32_t type, ByteReader& r) {
    r.skip(16);
    const quint32 size = r.u32();
    quint32 brushIndex = 0;
    QSizeF stroke;
    if (type == 71 || type == 72) {
        brushIndex = r.u32();
    }
    if (type == 72) {
        const double w = r.i32(), h = r.i32();
        stroke = QSizeF(w, h);
    }
    if (!r.ok() || !r.has(size)) {
        return;
    }
    const QRegion region = gdi_.deviceRectsToTarget(regionData(r.sub(r.pos(), size)));
    BrushSpec brush = dc_.state().brush;
    if (type == 71 || type == 72) {
        const GdiObject* object = dc_.object(brushIndex);
        const BrushSpec* selected = object ? std::get_if<BrushSpec>(object) : nullptr;
        if (!selected) {
            return;
        }
        brush = *selected;
    }
    switch (type) {
        case 71:
        case 74:
            gdi_.fillRegion(region, brush);
            break;
        case 72:
            gdi_.frameRegion(region, brush, stroke);
            break;
        default:
            gdi_.invertRegion(region);
            break;
    }
}

void EmfRecordPlayer::gradientFill(ByteReader& r) {
    r.skip(16);
    const quint32 vertices = r.u32();
    const quint32 shapes = r.u32();
    const quint32 mode = r.u32();
    if (!r.ok() || !r.has(std::size_t(vertices) * 16)) {
        return;
    }
    struct Vertex {
        QPointF p;
        QColor c;
    };
    std::vector<Vertex> v(vertices);
    for (Vertex& vertex : v) {
        vertex.p = pointL(r);
        const int red = r.u16() >> 8, green = r.u16() >> 8, blue = r.u16() >> 8;
        r.u16();
        vertex.c = QColor(red, green, blue);
    }
    const bool triangles = mode == 2;
    if (!r.has(std::size_t(shapes) * (triangles ? 12 : 8))) {
        return;
    }
    for (quint32 i = 0; i < shapes; ++i) {
        if (triangles) {
            const quint32 a = r.u32(), b = r.u32(), c = r.u32();
            if (a < vertices && b < vertices && c < vertices) {
                const QColor avg((v[a].c.red() + v[b].c.red() + v[c].c.red()) / 3,
                                 (v[a].c.green() + v[b].c.green() + v[c].c.green()) / 3,
                                 (v[a].c.blue() + v[b].c.blue() + v[c].c.blue()) / 3);
                gdi_.gradientTriangle(QPolygonF({v[a].p, v[b].p, v[c].p}), avg);
            }
        } else {
            const quint32 a = r.u32(), b = r.u32();
            if (a < vertices && b < vertices) {
                gdi_.gradientRect(QRectF(v[a].p, v[b].p), v[a].c, v[b].c, mode == 1);
            }
        }
    }
}

}  // namespace

void EmfPlayer::play(const MetafileDocument& doc, QPainter& painter, const QRectF& target) {
    const QRectF frame = doc.deviceFrame;
    if (frame.width() == 0 || frame.height() == 0 || target.isEmpty()) {
        return;
    }
    const double sx = target.width() / frame.width();
    const double sy = target.height() / frame.height();
    const QTransform deviceToTarget(sx, 0, 0, sy, target.left() - frame.left() * sx,
                                    target.top() - frame.top() * sy);

    DeviceContext dc(DeviceContext::TableKind::Indexed, kMaxObjects, doc.devicePixelsPerMm, false);
    dc.state().font.face = QStringLiteral("Arial");
    PainterBackend backend(painter, target, std::sqrt(std::abs(deviceToTarget.determinant())));
    GdiPlayer gdi(dc, backend, deviceToTarget);
    EmfRecordPlayer player(gdi, dc);
    const char* base = doc.bytes.constData();
    for (const RecordSpan& record : doc.records) {
        player.play(record.type, ByteReader(base + record.offset, record.size));
    }
}

}  // namespace platform::metafile
