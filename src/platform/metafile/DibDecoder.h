#pragma once

#include "platform/metafile/ByteReader.h"

#include <QColor>
#include <QImage>
#include <vector>

namespace platform::metafile {

// Decodes device-independent bitmaps as metafiles embed them. Every header
// field is checked against the data before use; anything inconsistent or
// larger than kMaxPixels yields a null image.
class DibDecoder {
  public:
    static constexpr qint64 kMaxPixels = qint64(1) << 24;

    // `info` is a BITMAPINFO (header and colour table), `bits` the pixels.
    // With `paletteIndices` (DIB_PAL_COLORS) the colour table holds 16-bit
    // indices into `palette`. With `premultipliedAlpha` the fourth byte of
    // 32 bpp BI_RGB pixels is their alpha over premultiplied colours (as
    // AlphaBlend reads them); otherwise it is unused and pixels are opaque.
    static QImage decode(ByteReader info, ByteReader bits, bool paletteIndices = false,
                         const std::vector<QColor>& palette = {}, bool premultipliedAlpha = false);
    // A packed DIB: header, colour table and pixels back to back.
    static QImage decodePacked(ByteReader packed, bool paletteIndices = false,
                               const std::vector<QColor>& palette = {});
    // Bits per pixel of a BITMAPINFO or packed DIB; 0 when its header is unreadable.
    static int bitCount(ByteReader info);

  private:
    struct Header;
    static bool readHeader(ByteReader& info, Header& header);
    static QImage decodeWith(const Header& header, ByteReader& info, ByteReader bits,
                             bool paletteIndices, const std::vector<QColor>& palette,
                             bool premultipliedAlpha = false);
    static std::vector<QRgb> colorTable(const Header& header, ByteReader& info, bool paletteIndices,
                                        const std::vector<QColor>& palette);
    static QImage decodeRleImage(const Header& header, ByteReader bits,
                                 const std::vector<QRgb>& colors);
    static QImage decodeUncompressed(const Header& header, ByteReader bits,
                                     const std::vector<QRgb>& colors, bool premultipliedAlpha);
};

}  // namespace platform::metafile
