// Bitmap records of WMF playback.
#include "platform/metafile/WmfRecordPlayer.h"

#include "platform/metafile/DibDecoder.h"

namespace platform::metafile {

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
                line[x] =
                    ((row[x >> 3] >> (7 - (x & 7))) & 1) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            } else {
                const std::uint8_t* px = row + x * (bitsPixel / 8);
                line[x] = qRgb(px[2], px[1], px[0]);
            }
        }
    }
    return image;
}

void WmfRecordPlayer::blit(Record& rec) {
    ByteReader& r = rec.r;
    const WmfRecord kind = rec.type;
    const auto function = std::uint16_t(kind);
    const std::size_t recordWords = r.size() / 2 + 3;
    // Without a bitmap the record is (function >> 8) + 3 words long and acts like PatBlt.
    const bool hasBitmap = recordWords != std::size_t(function >> 8) + 3;
    quint32 rop = 0x00CC0020;
    QRectF source;
    QRectF dest;
    bool bottomUpSource = false;
    QImage image;
    if (kind == WmfRecord::META_STRETCHDIB || kind == WmfRecord::META_SETDIBTODEVICE) {
        int usage = 0;
        if (kind == WmfRecord::META_STRETCHDIB) {
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
        const bool stretch =
            kind == WmfRecord::META_DIBSTRETCHBLT || kind == WmfRecord::META_STRETCHBLT;
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
        image = (kind == WmfRecord::META_BITBLT || kind == WmfRecord::META_STRETCHBLT)
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

}  // namespace platform::metafile
