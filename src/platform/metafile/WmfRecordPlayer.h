#pragma once

#include "platform/metafile/ByteReader.h"
#include "platform/metafile/GdiPlayer.h"

#include <QImage>
#include <QPolygonF>
#include <cstdint>

namespace platform::metafile {

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
    const RegionRects* region(std::uint16_t index) const;
    const LogicalBrush* brush(std::uint16_t index) const;
    QImage bitmap16(ByteReader r);

    GdiPlayer& gdi_;
    DeviceContext& dc_;
};

}  // namespace platform::metafile
