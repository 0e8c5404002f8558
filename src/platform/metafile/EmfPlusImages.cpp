// Decoding of the EMF+ image objects: bitmaps and embedded metafiles.
#include "platform/metafile/EmfPlusPlayer.h"

#include "platform/metafile/Metafile.h"

namespace platform::metafile {

namespace {

constexpr int kMaxImageSide = 32768;

}  // namespace

QImage EmfPlusPlayer::readBitmap(ByteReader& r) {
    const qint32 width = r.i32();
    const qint32 height = r.i32();
    const qint32 stride = r.i32();
    const quint32 format = r.u32();
    const quint32 type = r.u32();
    if (!r.ok()) {
        return {};
    }
    if (type == 1) {  // PNG, JPEG, GIF, TIFF or BMP bytes
        return QImage::fromData(QByteArray(r.data() + r.pos(), qsizetype(r.remaining())));
    }
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
        stride <= 0) {
        return {};
    }
    std::vector<QRgb> palette;
    if (format & 0x00010000) {  // indexed: a palette comes first
        r.u32();
        const quint32 count = r.u32();
        if (count > 256 || !r.has(std::size_t(count) * 4)) {
            return {};
        }
        for (quint32 i = 0; i < count; ++i) {
            palette.push_back(r.u32());
        }
    }
    const int bits = int((format >> 8) & 0xFF);
    if (bits <= 0 || std::int64_t(stride) < (std::int64_t(width) * bits + 7) / 8 ||
        !r.has(std::size_t(stride) * std::size_t(height))) {
        return {};
    }
    const uchar* rows = reinterpret_cast<const uchar*>(r.data() + r.pos());
    QImage::Format qtFormat = QImage::Format_Invalid;
    switch (format) {
        case 0x0026200A:
            qtFormat = QImage::Format_ARGB32;
            break;
        case 0x000E200B:
            qtFormat = QImage::Format_ARGB32_Premultiplied;
            break;
        case 0x00022009:
            qtFormat = QImage::Format_RGB32;
            break;
        case 0x00021808:
            qtFormat = QImage::Format_BGR888;
            break;
        case 0x00021006:
            qtFormat = QImage::Format_RGB16;
            break;
        case 0x00021005:
            qtFormat = QImage::Format_RGB555;
            break;
        default:
            break;
    }
    if (qtFormat != QImage::Format_Invalid) {
        return QImage(rows, width, height, stride, qtFormat).copy();
    }
    if (bits == 1 || bits == 4 || bits == 8) {
        QImage image(width, height, QImage::Format_ARGB32);
        if (image.isNull()) {
            return {};
        }
        for (int y = 0; y < height; ++y) {
            const uchar* row = rows + std::size_t(y) * std::size_t(stride);
            QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                std::size_t index = 0;
                if (bits == 8) {
                    index = row[x];
                } else if (bits == 4) {
                    index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
                } else {
                    index = (row[x / 8] >> (7 - x % 8)) & 1;
                }
                out[x] =
                    index < palette.size() ? palette[index] : (index ? 0xFFFFFFFFu : 0xFF000000u);
            }
        }
        return image;
    }
    return {};
}

std::optional<PlusImage> EmfPlusPlayer::readImage(ByteReader& r) {
    r.u32();  // version
    const quint32 type = r.u32();
    if (!r.ok()) {
        return std::nullopt;
    }
    PlusImage image;
    if (type == 1) {
        image.bitmap = readBitmap(r);
        if (image.bitmap.isNull()) {
            return std::nullopt;
        }
        return image;
    }
    if (type == 2) {
        const quint32 kind = r.u32();
        r.u32();  // data size: writers count short, so the rest of the object is taken
        ByteReader data = r.sub(r.pos(), r.remaining());
        if (!r.ok() || !data.ok() || kind < 1 || kind > 5) {
            return std::nullopt;
        }
        QByteArray bytes(data.data(), qsizetype(data.size()));
        // Writers store the placeable header as a padded 24-byte structure:
        // drop the padding when the WMF header follows it.
        if (kind == 2 && bytes.size() > 30 && bytes.at(22) == 0 && bytes.at(23) == 0 &&
            (bytes.at(24) == 1 || bytes.at(24) == 2) && bytes.at(25) == 0 && bytes.at(26) == 9) {
            bytes.remove(22, 2);
        }
        image.metafile = Metafile::parse(bytes);
        if (!image.metafile) {
            return std::nullopt;
        }
        return image;
    }
    return std::nullopt;
}

}  // namespace platform::metafile
