#pragma once

#include "platform/metafile/ByteReader.h"
#include "platform/metafile/GdiPlayer.h"
#include "platform/metafile/RecordTypes.h"

#include <QImage>
#include <QPolygonF>
#include <cstdint>
#include <optional>

namespace platform::metafile {

// Decodes one WMF record's parameters into GDI calls. Parameters are 16-bit
// words, most of them stored in reverse order of the GDI call's arguments.
class WmfRecordPlayer {
  public:
    WmfRecordPlayer(GdiPlayer& gdi, DeviceContext& dc)
        : gdi_(gdi),
          dc_(dc),
          frameOrg_(dc.state().viewportOrg),
          frameExt_(dc.state().viewportExt) {}

    // False when the record was read but neither drawn nor applied.
    bool play(std::uint16_t function, ByteReader r);

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
    QPointF viewportScale() const;
    QPointF viewportOrigin() const;
    QPointF viewportExtent() const;
    void setViewport(const QPointF& org, const QPointF& ext);

    GdiPlayer& gdi_;
    DeviceContext& dc_;
    // A WMF's viewport records speak of a device we do not have: the first
    // viewport they set stands for the picture frame, and later ones move
    // and scale the drawing relative to it.
    QPointF frameOrg_;
    QPointF frameExt_;
    std::optional<QPointF> firstOrg_;
    std::optional<QPointF> firstExt_;
};

}  // namespace platform::metafile
