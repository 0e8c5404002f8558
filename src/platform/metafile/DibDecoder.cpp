#include "platform/metafile/DibDecoder.h"

#include <QByteArray>
#include <algorithm>

namespace platform::metafile {

namespace {

constexpr quint32 kRgb = 0;
constexpr quint32 kRle8 = 1;
constexpr quint32 kRle4 = 2;
constexpr quint32 kBitfields = 3;
constexpr quint32 kJpeg = 4;
constexpr quint32 kPng = 5;
constexpr quint32 kAlphaBitfields = 6;

struct Mask {
    quint32 mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Mask(quint32 m = 0) : mask(m) {
        if (m == 0) {
            return;
        }
        while (((m >> shift) & 1u) == 0) {
            ++shift;
        }
        while (shift + bits < 32 && ((m >> (shift + bits)) & 1u)) {
            ++bits;
        }
    }
    int extract(quint32 value) const {
        if (bits == 0) {
            return 0;
        }
        const quint32 v = (value & mask) >> shift;
        const quint32 max = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
        return static_cast<int>((static_cast<quint64>(v) * 255 + max / 2) / max);
    }
};

// Decodes run-length encoded 8- or 4-bit data into palette indices; pixels the
// stream skips stay at -1 (transparent). Every step consumes input, so a
// hostile stream ends when the data does.
void decodeRle(ByteReader& in, int width, int height, int bitsPerPixel, std::vector<int>& out) {
    int x = 0;
    int y = 0;  // counted from the bottom
    auto put = [&](int index) {
        if (x < width && y < height) {
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x] = index;
        }
        ++x;
    };
    while (in.has(2) && y < height) {
        const int count = in.u8();
        const int value = in.u8();
        if (count > 0) {
            const int run = std::min(count, std::max(0, width - x));
            for (int i = 0; i < run; ++i) {
                put(bitsPerPixel == 8 ? value : (i % 2 == 0 ? value >> 4 : value & 0xF));
            }
            x += count - run;
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta
            if (!in.has(2)) {
                break;
            }
            x += in.u8();
            y += in.u8();
        } else {  // literal run
            const int bytes = bitsPerPixel == 8 ? value : (value + 1) / 2;
            const int padded = (bytes + 1) & ~1;
            if (!in.has(static_cast<std::size_t>(padded))) {
                break;
            }
            const std::size_t start = in.pos();
            for (int i = 0; i < value; ++i) {
                const std::uint8_t byte =
                    static_cast<std::uint8_t>(in.data()[start + (bitsPerPixel == 8 ? i : i / 2)]);
                put(bitsPerPixel == 8 ? byte : (i % 2 == 0 ? byte >> 4 : byte & 0xF));
            }
            in.skip(static_cast<std::size_t>(padded));
        }
    }
}

}  // namespace

struct DibDecoder::Header {
    quint32 size = 0;
    qint64 width = 0;
    qint64 height = 0;
    int bitCount = 0;
    quint32 compression = 0;
    quint32 colorsUsed = 0;
    quint32 masks[4] = {0, 0, 0, 0};
    bool core = false;
};

bool DibDecoder::readHeader(ByteReader& info, Header& h) {
    h.size = info.u32();
    if (!info.ok()) {
        return false;
    }
    if (h.size == 12) {
        h.core = true;
        h.width = info.u16();
        h.height = info.i16();
        info.u16();  // planes
        h.bitCount = info.u16();
    } else if (h.size >= 40 && h.size <= 1024) {
        h.width = info.i32();
        h.height = info.i32();
        info.u16();
        h.bitCount = info.u16();
        h.compression = info.u32();
        info.skip(12);  // image size, resolution
        h.colorsUsed = info.u32();
        info.u32();  // important colours
        if (h.size >= 52) {
            for (int i = 0; i < (h.size >= 56 ? 4 : 3); ++i) {
                h.masks[i] = info.u32();
            }
        }
        info.seek(h.size);
        if ((h.compression == kBitfields || h.compression == kAlphaBitfields) && h.size == 40) {
            const int count = h.compression == kAlphaBitfields ? 4 : 3;
            for (int i = 0; i < count; ++i) {
                h.masks[i] = info.u32();
            }
        }
    } else {
        return false;
    }
    return info.ok();
}

int DibDecoder::bitCount(ByteReader info) {
    Header header;
    return readHeader(info, header) ? header.bitCount : 0;
}

QImage DibDecoder::decode(ByteReader info, ByteReader bits, bool paletteIndices,
                          const std::vector<QColor>& palette, bool premultipliedAlpha) {
    Header header;
    if (!readHeader(info, header)) {
        return {};
    }
    return decodeWith(header, info, bits, paletteIndices, palette, premultipliedAlpha);
}

QImage DibDecoder::decodePacked(ByteReader packed, bool paletteIndices,
                                const std::vector<QColor>& palette) {
    Header header;
    if (!readHeader(packed, header)) {
        return {};
    }
    std::size_t tableEntries = 0;
    if (header.bitCount <= 8 && header.bitCount > 0) {
        tableEntries = header.colorsUsed != 0 ? header.colorsUsed : (1u << header.bitCount);
    } else {
        tableEntries = header.colorsUsed;
    }
    const std::size_t entrySize = paletteIndices ? 2 : (header.core ? 3 : 4);
    const std::size_t tableStart = packed.pos();
    const std::size_t tableBytes = tableEntries * entrySize;
    if (tableEntries > 65536 || tableBytes > packed.size() - tableStart) {
        return {};
    }
    ByteReader bits = packed.sub(tableStart + tableBytes, packed.size() - tableStart - tableBytes);
    ByteReader info = packed.sub(0, tableStart + tableBytes);
    info.seek(tableStart);
    return decodeWith(header, info, bits, paletteIndices, palette);
}

QImage DibDecoder::decodeWith(const Header& h, ByteReader& info, ByteReader bits,
                              bool paletteIndices, const std::vector<QColor>& palette,
                              bool premultipliedAlpha) {
    const qint64 width = h.width;
    const qint64 height = h.height < 0 ? -h.height : h.height;
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 ||
        width * height > kMaxPixels) {
        return {};
    }
    if (h.compression == kJpeg || h.compression == kPng) {
        QImage image;
        image.loadFromData(QByteArray::fromRawData(bits.data(), qsizetype(bits.size())));
        return image;
    }
    const int bpp = h.bitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        return {};
    }
    const std::vector<QRgb> colors = colorTable(h, info, paletteIndices, palette);
    if (h.compression == kRle8 || h.compression == kRle4) {
        if ((h.compression == kRle8 && bpp != 8) || (h.compression == kRle4 && bpp != 4)) {
            return {};
        }
        return decodeRleImage(h, bits, colors);
    }
    if (h.compression != kRgb && h.compression != kBitfields && h.compression != kAlphaBitfields) {
        return {};
    }
    return decodeUncompressed(h, bits, colors, premultipliedAlpha);
}

// The colour table of a bitmap of 8 bits per pixel or fewer, filled up to
// the size its bit count needs; empty for deeper bitmaps.
std::vector<QRgb> DibDecoder::colorTable(const Header& h, ByteReader& info, bool paletteIndices,
                                         const std::vector<QColor>& palette) {
    const int bpp = h.bitCount;
    std::vector<QRgb> colors;
    if (bpp <= 8) {
        std::size_t entries = h.colorsUsed != 0 ? h.colorsUsed : (1u << bpp);
        entries = std::min<std::size_t>(entries, 256);
        for (std::size_t i = 0; i < entries && info.ok(); ++i) {
            if (paletteIndices) {
                const quint16 index = info.u16();
                colors.push_back(index < palette.size() ? palette[index].rgb() : qRgb(0, 0, 0));
            } else if (h.core) {
                const int b = info.u8(), g = info.u8(), r = info.u8();
                colors.push_back(qRgb(r, g, b));
            } else {
                const int b = info.u8(), g = info.u8(), r = info.u8();
                info.u8();
                colors.push_back(qRgb(r, g, b));
            }
        }
        if (!info.ok()) {
            colors.pop_back();
        }
        // Monochrome bitmaps without a table are black on white.
        while (colors.size() < (std::size_t(1) << bpp)) {
            colors.push_back(colors.empty() && bpp == 1 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    return colors;
}

QImage DibDecoder::decodeRleImage(const Header& h, ByteReader bits,
                                  const std::vector<QRgb>& colors) {
    const int bpp = h.bitCount;
    const int w = static_cast<int>(h.width);
    const int hgt = static_cast<int>(h.height < 0 ? -h.height : h.height);
    std::vector<int> indices(static_cast<std::size_t>(w) * static_cast<std::size_t>(hgt), -1);
    decodeRle(bits, w, hgt, bpp, indices);
    QImage image(w, hgt, QImage::Format_ARGB32);
    if (image.isNull()) {
        return {};
    }
    for (int y = 0; y < hgt; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(hgt - 1 - y));
        for (int x = 0; x < w; ++x) {
            const int index = indices[static_cast<std::size_t>(y) * std::size_t(w) + x];
            line[x] = index < 0 ? 0u
                                : (static_cast<std::size_t>(index) < colors.size()
                                       ? colors[static_cast<std::size_t>(index)]
                                       : qRgb(0, 0, 0));
        }
    }
    return image;
}

QImage DibDecoder::decodeUncompressed(const Header& h, ByteReader bits,
                                      const std::vector<QRgb>& colors, bool premultipliedAlpha) {
    const int bpp = h.bitCount;
    const qint64 width = h.width;
    const qint64 height = h.height < 0 ? -h.height : h.height;
    const bool topDown = h.height < 0;
    const int w = static_cast<int>(width);
    const int hgt = static_cast<int>(height);
    const qint64 stride = ((width * bpp + 31) / 32) * 4;
    const qint64 availableRows = std::min<qint64>(height, qint64(bits.size()) / stride);
    if (availableRows <= 0) {
        return {};
    }
    const bool useMasks = h.compression != kRgb && (bpp == 16 || bpp == 32);
    Mask red, green, blue, alpha;
    if (useMasks) {
        red = Mask(h.masks[0]);
        green = Mask(h.masks[1]);
        blue = Mask(h.masks[2]);
        alpha = Mask(h.masks[3]);
    } else if (bpp == 16) {
        red = Mask(0x7C00);
        green = Mask(0x03E0);
        blue = Mask(0x001F);
    }

    QImage image(w, hgt, QImage::Format_ARGB32);
    if (image.isNull()) {
        return {};
    }
    image.fill(Qt::transparent);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bits.data());
    for (qint64 row = 0; row < availableRows; ++row) {
        const std::uint8_t* src = data + row * stride;
        const int y = static_cast<int>(topDown ? row : height - 1 - row);
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            QRgb color = 0;
            switch (bpp) {
                case 1:
                    color = colors[(src[x >> 3] >> (7 - (x & 7))) & 1];
                    break;
                case 4:
                    color = colors[(x & 1) ? (src[x >> 1] & 0xF) : (src[x >> 1] >> 4)];
                    break;
                case 8: {
                    const std::size_t index = src[x];
                    color = index < colors.size() ? colors[index] : qRgb(0, 0, 0);
                    break;
                }
                case 16: {
                    const quint32 v = src[2 * x] | (src[2 * x + 1] << 8);
                    color = qRgba(red.extract(v), green.extract(v), blue.extract(v),
                                  alpha.bits ? alpha.extract(v) : 255);
                    break;
                }
                case 24:
                    color = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                    break;
                default: {
                    const quint32 v = quint32(src[4 * x]) | (quint32(src[4 * x + 1]) << 8) |
                                      (quint32(src[4 * x + 2]) << 16) |
                                      (quint32(src[4 * x + 3]) << 24);
                    int r = src[4 * x + 2], g = src[4 * x + 1], b = src[4 * x];
                    if (useMasks) {
                        r = red.extract(v);
                        g = green.extract(v);
                        b = blue.extract(v);
                    }
                    if (alpha.bits) {
                        color = qRgba(r, g, b, alpha.extract(v));
                    } else if (premultipliedAlpha) {
                        // The top byte is the alpha; colours above it are not
                        // valid premultiplied values.
                        const int a = int(v >> 24);
                        color = qUnpremultiply(
                            qRgba(std::min(r, a), std::min(g, a), std::min(b, a), a));
                    } else {
                        color = qRgb(r, g, b);
                    }
                    break;
                }
            }
            line[x] = color;
        }
    }
    return image;
}

}  // namespace platform::metafile
