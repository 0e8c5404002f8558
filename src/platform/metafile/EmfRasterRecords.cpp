// Bitmap, region and gradient records of EMF playback.
#include "platform/metafile/EmfRecordPlayer.h"

#include "platform/metafile/DibDecoder.h"

#include <QPainter>

namespace platform::metafile {

QImage EmfRecordPlayer::bitmap(const ByteReader& record, quint32 offBmi, quint32 cbBmi,
                               quint32 offBits, quint32 cbBits, quint32 usage) {
    if (cbBmi == 0) {
        return {};
    }
    return DibDecoder::decode(record.sub(offBmi, cbBmi), record.sub(offBits, cbBits), usage == 1,
                              dc_.state().palette);
}

void EmfRecordPlayer::bitBlt(Record& rec) {
    const auto type = std::uint32_t(rec.type);
    ByteReader& r = rec.r;
    const ByteReader& record = rec.whole;
    const auto kind = static_cast<EmfRecord>(type);
    r.skip(16);
    const double xDest = r.i32(), yDest = r.i32(), cxDest = r.i32(), cyDest = r.i32();
    const quint32 rop = r.u32();
    const double xSrc = r.i32(), ySrc = r.i32();
    const QTransform srcXform = xform(r);
    r.u32();  // background colour
    const quint32 usage = r.u32();
    const quint32 offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    double cxSrc = cxDest, cySrc = cyDest;
    if (kind != EmfRecord::EMR_BITBLT) {
        cxSrc = r.i32();
        cySrc = r.i32();
    }
    if (!r.ok()) {
        return;
    }
    (void)srcXform;
    const QRectF dest(xDest, yDest, cxDest, cyDest);
    if (kind == EmfRecord::EMR_BITBLT && cbBmi == 0) {
        gdi_.patBlt(dest, rop);
        return;
    }
    // AlphaBlend: BLENDFUNCTION in place of the raster operation; with
    // AC_SRC_ALPHA the bitmap carries premultiplied per-pixel alpha.
    const bool perPixel = kind == EmfRecord::EMR_ALPHABLEND && ((rop >> 24) & 0x01);
    QImage image = perPixel
                       ? DibDecoder::decode(record.sub(offBmi, cbBmi), record.sub(offBits, cbBits),
                                            usage == 1, dc_.state().palette, true)
                       : bitmap(record, offBmi, cbBmi, offBits, cbBits, usage);
    if (image.isNull()) {
        return;
    }
    quint32 effectiveRop = rop;
    if (kind == EmfRecord::EMR_ALPHABLEND) {
        const int constantAlpha = (rop >> 16) & 0xFF;
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
    } else if (kind == EmfRecord::EMR_TRANSPARENTBLT) {
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

namespace {

// The source's pixels where the mask's bit is `set` (the mask's white), the
// rest transparent; the mask's pixel (0, 0) lies under `maskOrigin`.
QImage maskedBy(const QImage& source, const QImage& mask, QPoint maskOrigin, bool set) {
    QImage out = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        const int my = y - maskOrigin.y();
        for (int x = 0; x < out.width(); ++x) {
            const int mx = x - maskOrigin.x();
            const bool bit = mx >= 0 && my >= 0 && mx < mask.width() && my < mask.height() &&
                             qGray(mask.pixel(mx, my)) >= 128;
            if (bit != set) {
                line[x] = 0;
            }
        }
    }
    return out;
}

}  // namespace

// EMR_MASKBLT: the source is drawn with the foreground raster operation where
// the mask is 1 and with the background one (the rop's top byte) where it is 0.
void EmfRecordPlayer::maskBlt(Record& rec) {
    ByteReader& r = rec.r;
    const ByteReader& record = rec.whole;
    r.skip(16);
    const double xDest = r.i32(), yDest = r.i32(), cxDest = r.i32(), cyDest = r.i32();
    const quint32 rop4 = r.u32();
    const double xSrc = r.i32(), ySrc = r.i32();
    r.skip(24 + 4);  // source transform, background colour
    const quint32 usage = r.u32();
    const quint32 offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    const int xMask = r.i32(), yMask = r.i32();
    const quint32 maskUsage = r.u32();
    const quint32 offMaskBmi = r.u32(), cbMaskBmi = r.u32(), offMaskBits = r.u32(),
                  cbMaskBits = r.u32();
    if (!r.ok()) {
        return;
    }
    const QRectF dest(xDest, yDest, cxDest, cyDest);
    const QRectF source(xSrc, ySrc, cxDest, cyDest);
    const quint32 foreground = rop4 & 0x00FFFFFF;
    const quint32 background = ((rop4 >> 8) & 0x00FF0000) | (foreground & 0xFFFF);
    const QImage image = bitmap(record, offBmi, cbBmi, offBits, cbBits, usage);
    const QImage mask = bitmap(record, offMaskBmi, cbMaskBmi, offMaskBits, cbMaskBits, maskUsage);
    if (image.isNull()) {
        gdi_.patBlt(dest, foreground);
        return;
    }
    if (mask.isNull()) {
        gdi_.image(image, source, dest, foreground);
        return;
    }
    const QPoint maskOrigin(int(xSrc) - xMask, int(ySrc) - yMask);
    constexpr quint32 kDestinationUnchanged = 0x00AA0029;
    for (const auto& [bits, rop] : {std::pair{true, foreground}, std::pair{false, background}}) {
        if ((rop & 0x00FF0000) != (kDestinationUnchanged & 0x00FF0000)) {
            gdi_.image(maskedBy(image, mask, maskOrigin, bits), source, dest, rop);
        }
    }
}

// EMR_PLGBLT: the source rectangle drawn onto the parallelogram of three
// points (its top-left, top-right and bottom-left corners), where the mask,
// when there is one, is 1.
void EmfRecordPlayer::plgBlt(Record& rec) {
    ByteReader& r = rec.r;
    const ByteReader& record = rec.whole;
    r.skip(16);
    const QPointF topLeft = pointL(r), topRight = pointL(r), bottomLeft = pointL(r);
    const double xSrc = r.i32(), ySrc = r.i32(), cxSrc = r.i32(), cySrc = r.i32();
    r.skip(24 + 4);  // source transform, background colour
    const quint32 usage = r.u32();
    const quint32 offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    const int xMask = r.i32(), yMask = r.i32();
    const quint32 maskUsage = r.u32();
    const quint32 offMaskBmi = r.u32(), cbMaskBmi = r.u32(), offMaskBits = r.u32(),
                  cbMaskBits = r.u32();
    if (!r.ok() || cxSrc == 0 || cySrc == 0) {
        return;
    }
    QImage image = bitmap(record, offBmi, cbBmi, offBits, cbBits, usage);
    if (image.isNull()) {
        return;
    }
    const QImage mask = bitmap(record, offMaskBmi, cbMaskBmi, offMaskBits, cbMaskBits, maskUsage);
    if (!mask.isNull()) {
        image = maskedBy(image, mask, QPoint(int(xSrc) - xMask, int(ySrc) - yMask), true);
    }
    // Source pixels onto the parallelogram: x along the top edge, y down the left.
    const QPointF ux = (topRight - topLeft) / cxSrc;
    const QPointF uy = (bottomLeft - topLeft) / cySrc;
    const QTransform placement(ux.x(), ux.y(), uy.x(), uy.y(),
                               topLeft.x() - xSrc * ux.x() - ySrc * uy.x(),
                               topLeft.y() - xSrc * ux.y() - ySrc * uy.y());
    gdi_.image(image, QRectF(xSrc, ySrc, cxSrc, cySrc), placement, 0x00CC0020);
}

void EmfRecordPlayer::stretchDibits(Record& rec) {
    const auto type = std::uint32_t(rec.type);
    ByteReader& r = rec.r;
    const ByteReader& record = rec.whole;
    const auto kind = static_cast<EmfRecord>(type);
    r.skip(16);
    const double xDest = r.i32(), yDest = r.i32();
    const double xSrc = r.i32(), ySrc = r.i32(), cxSrc = r.i32(), cySrc = r.i32();
    const quint32 offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    const quint32 usage = r.u32();
    quint32 rop = 0x00CC0020;
    double cxDest = cxSrc, cyDest = cySrc;
    if (kind == EmfRecord::EMR_STRETCHDIBITS) {
        rop = r.u32();
        cxDest = r.i32();
        cyDest = r.i32();
    }
    if (!r.ok()) {
        return;
    }
    const QImage image = bitmap(record, offBmi, cbBmi, offBits, cbBits, usage);
    if (image.isNull()) {
        if (kind == EmfRecord::EMR_STRETCHDIBITS && cbBmi == 0) {
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

void EmfRecordPlayer::extSelectClipRgn(Record& rec) {
    ByteReader& r = rec.r;
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

void EmfRecordPlayer::regionOutput(Record& rec) {
    const auto type = std::uint32_t(rec.type);
    ByteReader& r = rec.r;
    const auto kind = static_cast<EmfRecord>(type);
    r.skip(16);
    const quint32 size = r.u32();
    quint32 brushIndex = 0;
    QSizeF stroke;
    if (kind == EmfRecord::EMR_FILLRGN || kind == EmfRecord::EMR_FRAMERGN) {
        brushIndex = r.u32();
    }
    if (kind == EmfRecord::EMR_FRAMERGN) {
        const double w = r.i32(), h = r.i32();
        stroke = QSizeF(w, h);
    }
    if (!r.ok() || !r.has(size)) {
        return;
    }
    const QRegion region = gdi_.deviceRectsToTarget(regionData(r.sub(r.pos(), size)));
    LogicalBrush brush = dc_.state().brush;
    if (kind == EmfRecord::EMR_FILLRGN || kind == EmfRecord::EMR_FRAMERGN) {
        const GdiObject* object = dc_.object(brushIndex);
        const LogicalBrush* selected = object ? std::get_if<LogicalBrush>(object) : nullptr;
        if (!selected) {
            return;
        }
        brush = *selected;
    }
    switch (kind) {
        case EmfRecord::EMR_FILLRGN:
        case EmfRecord::EMR_PAINTRGN:
            gdi_.fillRegion(region, brush);
            break;
        case EmfRecord::EMR_FRAMERGN:
            gdi_.frameRegion(region, brush, stroke);
            break;
        default:
            gdi_.invertRegion(region);
            break;
    }
}

void EmfRecordPlayer::gradientFill(Record& rec) {
    ByteReader& r = rec.r;
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

}  // namespace platform::metafile
