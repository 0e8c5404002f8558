#include "platform/metafile/WmfPlayer.h"

#include "platform/metafile/ByteReader.h"
#include "platform/metafile/DibDecoder.h"
#include "platform/metafile/GdiPlayer.h"
#include "platform/metafile/TextDecoding.h"

#include <cmath>

namespace platform::metafile {

namespace {

// Decodes one WMF record's parameters into GDI calls. Parameters are 16-bit
// words, most of them stored in reverse order of the GDI call's arguments.
class WmfRecordPlayer {
public:
    WmfRecordPlayer(GdiPlayer& gdi, DeviceContext& dc) : gdi_(gdi), dc_(dc) {}

    void play(std::uint16_t function, ByteReader r);

private:
    QPointF point(ByteReader& r) {  // y then x
        const double y = r.i16();
        const double x = r.i16();
        return QPointF(x, y);
    }
    QRectF rect(ByteReader& r) {  // bottom, right, top, left
        const double bottom = r.i16(), right = r.i16(), top = r.i16(), left = r.i16();
        return QRectF(QPointF(left, top), QPointF(right, bottom));
    }
    QPolygonF points(ByteReader& r, int count) {  // x, y pairs
        QPolygonF poly;
        if (count < 0 || !r.has(std::size_t(count) * 4)) {
            return poly;
        }
        poly.reserve(count);
        for (int i = 0; i < count; ++i) {
            const double x = r.i16();
            const double y = r.i16();
            poly.append(QPointF(x, y));
        }
        return poly;
    }
    static QColor color(ByteReader& r) { return colorFromRef(r.u32()); }

    void createPen(ByteReader& r);
    void createBrush(ByteReader& r);
    void createFont(ByteReader& r);
    void createPalette(ByteReader& r);
    void createRegion(ByteReader& r);
    void createPatternBrush(ByteReader& r);
    void selectObject(std::uint16_t index);
    void textOut(ByteReader& r);
    void extTextOut(ByteReader& r);
    void blit(std::uint16_t function, ByteReader& r, std::size_t recordWords);
    const RegionSpec* region(std::uint16_t index) const;
    const BrushSpec* brush(std::uint16_t index) const;
    QImage bitmap16(ByteReader r);

    GdiPlayer& gdi_;
    DeviceContext& dc_;
};

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
            const RegionSpec* region = this->region(rgn);
            const BrushSpec* b = brush(br);
            if (r.ok() && region && b) {
                gdi_.fillRegion(gdi_.logicalRectsToTarget(region->rects), *b);
            }
            break;
        }
        case 0x0429: {  // FRAMEREGION
            const std::uint16_t rgn = r.u16(), br = r.u16();
            const double h = r.i16(), w = r.i16();
            const RegionSpec* region = this->region(rgn);
            const BrushSpec* b = brush(br);
            if (r.ok() && region && b) {
                gdi_.frameRegion(gdi_.logicalRectsToTarget(region->rects), *b, QSizeF(w, h));
            }
            break;
        }
        case 0x012A:
        case 0x012B: {  // INVERTREGION, PAINTREGION
            const RegionSpec* region = this->region(r.u16());
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
            if (const RegionSpec* region = this->region(index); r.ok() && region) {
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
            dc_.createObject(PaletteSpec{});
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

void WmfRecordPlayer::createPen(ByteReader& r) {
    PenSpec pen;
    const std::uint16_t style = r.u16();
    pen.width = std::abs(r.i16());
    r.i16();
    pen.color = color(r);
    pen.style = style & 0x0F;
    pen.endCap = (style >> 8) & 0x0F;
    pen.join = (style >> 12) & 0x0F;
    if (pen.style > PenSpec::Alternate) {
        pen.style = PenSpec::Solid;
    }
    dc_.createObject(pen);
}

void WmfRecordPlayer::createBrush(ByteReader& r) {
    BrushSpec brush;
    brush.style = r.u16();
    brush.color = color(r);
    brush.hatch = r.u16();
    if (brush.style != BrushSpec::Null && brush.style != BrushSpec::Hatched) {
        brush.style = BrushSpec::Solid;
    }
    dc_.createObject(brush);
}

void WmfRecordPlayer::createFont(ByteReader& r) {
    FontSpec font;
    font.height = r.i16();
    font.width = r.i16();
    font.escapement = r.i16();
    r.i16();  // orientation
    font.weight = r.i16();
    font.italic = r.u8() != 0;
    font.underline = r.u8() != 0;
    font.strikeOut = r.u8() != 0;
    font.charset = r.u8();
    r.skip(4);
    if (r.ok()) {
        font.face = TextDecoding::decodeAnsiName(r, 32);
    }
    dc_.createObject(font);
}

void WmfRecordPlayer::createPalette(ByteReader& r) {
    PaletteSpec palette;
    r.u16();
    const int count = r.u16();
    for (int i = 0; i < count && r.has(4); ++i) {
        const int red = r.u8(), green = r.u8(), blue = r.u8();
        r.u8();
        palette.colors.emplace_back(red, green, blue);
    }
    dc_.createObject(palette);
}

void WmfRecordPlayer::createRegion(ByteReader& r) {
    RegionSpec region;
    r.skip(10);  // nextInChain, objectType, objectCount, regionSize
    const int scanCount = r.i16();
    r.skip(10);  // maxScan, bounding box
    for (int i = 0; i < scanCount && r.has(6); ++i) {
        const int count = r.u16();
        const int top = r.i16();
        const int bottom = r.i16();
        for (int j = 0; j + 1 < count && r.has(4); j += 2) {
            const int left = r.i16();
            const int right = r.i16();
            if (right > left && bottom > top) {
                region.rects.push_back(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
            }
        }
        r.u16();
    }
    dc_.createObject(region);
}

void WmfRecordPlayer::createPatternBrush(ByteReader& r) {
    BrushSpec brush;
    const std::uint16_t style = r.u16();
    const std::uint16_t usage = r.u16();
    if (r.ok()) {
        brush.pattern = style == BrushSpec::Pattern
                            ? bitmap16(r.sub(r.pos(), r.remaining()))
                            : DibDecoder::decodePacked(r.sub(r.pos(), r.remaining()), usage == 1,
                                                       dc_.state().palette);
    }
    brush.style = brush.pattern.isNull() ? BrushSpec::Solid : BrushSpec::DibPatternPt;
    brush.color = Qt::gray;
    dc_.createObject(brush);
}

const RegionSpec* WmfRecordPlayer::region(std::uint16_t index) const {
    const GdiObject* object = dc_.object(index);
    return object ? std::get_if<RegionSpec>(object) : nullptr;
}

const BrushSpec* WmfRecordPlayer::brush(std::uint16_t index) const {
    const GdiObject* object = dc_.object(index);
    return object ? std::get_if<BrushSpec>(object) : nullptr;
}

void WmfRecordPlayer::selectObject(std::uint16_t index) {
    if (const RegionSpec* region = this->region(index)) {
        gdi_.combineClip(gdi_.logicalRectsToTarget(region->rects), GdiPlayer::RegionMode::Copy);
        return;
    }
    dc_.selectObject(index);
}

void WmfRecordPlayer::textOut(ByteReader& r) {
    const int length = r.i16();
    if (length <= 0 || !r.has(std::size_t(length))) {
        return;
    }
    TextRun run;
    run.text = TextDecoding::decodeAnsi(r.data() + r.pos(), length, dc_.state().font.charset);
    r.skip(std::size_t((length + 1) & ~1));
    run.reference = point(r);
    if (r.ok()) {
        gdi_.text(run);
    }
}

void WmfRecordPlayer::extTextOut(ByteReader& r) {
    TextRun run;
    run.reference = point(r);
    const int length = r.i16();
    const std::uint16_t options = r.u16();
    if (!r.ok() || length < 0) {
        return;
    }
    run.opaque = options & 0x0002;
    run.clipped = options & 0x0004;
    if ((run.opaque || run.clipped) && r.has(8)) {
        const double left = r.i16(), top = r.i16(), right = r.i16(), bottom = r.i16();
        run.rect = QRectF(QPointF(left, top), QPointF(right, bottom));
        run.hasRect = true;
    }
    if (!r.has(std::size_t(length))) {
        return;
    }
    run.text = TextDecoding::decodeAnsi(r.data() + r.pos(), length, dc_.state().font.charset);
    r.skip(std::size_t((length + 1) & ~1));
    if (length > 0 && r.has(std::size_t(length) * 2)) {
        for (int i = 0; i < length; ++i) {
            run.dx.push_back(r.i16());
        }
        // A multi-byte string has fewer characters than bytes: merge the advances.
        if (run.text.size() != length) {
            run.dx.clear();
        }
    }
    gdi_.text(run);
}

QImage WmfRecordPlayer::bitmap16(ByteReader r) {
    r.i16();
    const int width = r.i16();
    const int height = r.i16();
    const int widthBytes = r.i16();
    r.u8();
    const int bitsPixel = r.u8();
    if (!r.ok() || width <= 0 || height <= 0 || widthBytes <= 0 ||
        qint64(width) * height > DibDecoder::kMaxPixels ||
        !r.has(std::size_t(widthBytes) * std::size_t(height)) ||
        (bitsPixel != 1 && bitsPixel != 24 && bitsPixel != 32) ||
        widthBytes * 8 < width * bitsPixel) {
        return {};
    }
    QImage image(width, height, QImage::Format_RGB32);
    const auto* data = reinterpret_cast<const std::uint8_t*>(r.data() + r.pos());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = data + std::size_t(y) * std::size_t(widthBytes);
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (bitsPixel == 1) {
                line[x] = ((row[x >> 3] >> (7 - (x & 7))) & 1) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            } else {
                const std::uint8_t* px = row + x * (bitsPixel / 8);
                line[x] = qRgb(px[2], px[1], px[0]);
            }
        }
    }
    return image;
}

void WmfRecordPlayer::blit(std::uint16_t function, ByteReader& r, std::size_t recordWords) {
    // Without a bitmap the record is (function >> 8) + 3 words long and acts like PatBlt.
    const bool hasBitmap = recordWords != std::size_t(function >> 8) + 3;
    quint32 rop = 0x00CC0020;
    QRectF source;
    QRectF dest;
    bool bottomUpSource = false;
    QImage image;
    if (function == 0x0F43 || function == 0x0D33) {
        int usage = 0;
        if (function == 0x0F43) {
            rop = r.u32();
            usage = r.u16();
            const double sh = r.i16(), sw = r.i16(), sy = r.i16(), sx = r.i16();
            const double dh = r.i16(), dw = r.i16();
            const QPointF d = point(r);
            source = QRectF(sx, sy, sw, sh);
            dest = QRectF(d.x(), d.y(), dw, dh);
        } else {
            usage = r.u16();
            r.u16();  // scan count
            r.u16();  // start scan
            const QPointF s = point(r);
            const double h = r.i16(), w = r.i16();
            const QPointF d = point(r);
            source = QRectF(s.x(), s.y(), w, h);
            dest = QRectF(d.x(), d.y(), w, h);
        }
        if (!r.ok()) {
            return;
        }
        bottomUpSource = true;
        image = DibDecoder::decodePacked(r.sub(r.pos(), r.remaining()), usage == 1,
                                         dc_.state().palette);
    } else {
        rop = r.u32();
        const bool stretch = function == 0x0B41 || function == 0x0B23;
        double sh = 0, sw = 0;
        if (stretch) {
            sh = r.i16();
            sw = r.i16();
        }
        const QPointF s = point(r);
        if (!hasBitmap) {
            r.u16();
        }
        const double dh = r.i16(), dw = r.i16();
        const QPointF d = point(r);
        if (!stretch) {
            sw = dw;
            sh = dh;
        }
        if (!r.ok()) {
            return;
        }
        source = QRectF(s.x(), s.y(), sw, sh);
        dest = QRectF(d.x(), d.y(), dw, dh);
        if (!hasBitmap) {
            gdi_.patBlt(dest, rop);
            return;
        }
        ByteReader rest = r.sub(r.pos(), r.remaining());
        image = (function == 0x0922 || function == 0x0B23)
                    ? bitmap16(rest)
                    : DibDecoder::decodePacked(rest, false, dc_.state().palette);
    }
    if (image.isNull()) {
        return;
    }
    if (bottomUpSource) {
        source.moveTop(image.height() - source.top() - source.height());
    }
    gdi_.image(image, source, dest, rop);
}

}  // namespace

void WmfPlayer::play(const MetafileDocument& doc, QPainter& painter, const QRectF& target) {
    const QRectF frame = doc.deviceFrame;
    if (frame.width() == 0 || frame.height() == 0 || target.isEmpty()) {
        return;
    }
    const double sx = target.width() / frame.width();
    const double sy = target.height() / frame.height();
    const QTransform deviceToTarget(sx, 0, 0, sy, target.left() - frame.left() * sx,
                                    target.top() - frame.top() * sy);

    DeviceContext dc(DeviceContext::TableKind::FirstFreeSlot,
                     std::min<std::size_t>(std::max<std::size_t>(doc.objectCount, 16) + 16,
                                           kMaxObjects),
                     QPointF(1, 1), true);
    DcState& s = dc.state();
    s.mapMode = 8;
    s.windowOrg = s.viewportOrg = frame.topLeft();
    s.windowExt = s.viewportExt = QPointF(frame.width(), frame.height());
    s.font.face = QStringLiteral("Arial");
    s.font.height = 0;

    // A WMF has no reference device: it plays onto the target's pixels.
    PainterBackend backend(painter, target, 1.0);
    GdiPlayer gdi(dc, backend, deviceToTarget);
    WmfRecordPlayer player(gdi, dc);
    const char* base = doc.bytes.constData();
    for (const RecordSpan& record : doc.records) {
        player.play(static_cast<std::uint16_t>(record.type),
                    ByteReader(base + record.offset + 6, record.size - 6));
    }
}

}  // namespace platform::metafile
