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

    // A record on its way through its handler.
    struct Record {
        WmfRecord type;
        ByteReader r;  // the parameters, after size and function
    };
    using Handler = void (WmfRecordPlayer::*)(Record&);
    static Handler handlerFor(WmfRecord type);

    // One handler per record type, named after it.
    void endOfFile(Record& rec);
    void setBkColor(Record& rec);
    void setBkMode(Record& rec);
    void setMapMode(Record& rec);
    void setRop2(Record& rec);
    void setPolyFillMode(Record& rec);
    void setTextJustification(Record& rec);
    void setTextCharExtra(Record& rec);
    void setTextColor(Record& rec);
    void setTextAlign(Record& rec);
    void saveDc(Record& rec);
    void restoreDc(Record& rec);
    void setPalEntries(Record& rec);
    void resizePalette(Record& rec);
    void selectObject(Record& rec);
    void selectPalette(Record& rec);
    void deleteObject(Record& rec);
    void createUnusedObject(Record& rec);
    void setWindowOrg(Record& rec);
    void setWindowExt(Record& rec);
    void offsetWindowOrg(Record& rec);
    void scaleWindowExt(Record& rec);
    void setViewportOrg(Record& rec);
    void offsetViewportOrg(Record& rec);
    void setViewportExt(Record& rec);
    void scaleViewportExt(Record& rec);
    void excludeClipRect(Record& rec);
    void intersectClipRect(Record& rec);
    void offsetClipRgn(Record& rec);
    void selectClipRegion(Record& rec);
    void fillRegion(Record& rec);
    void frameRegion(Record& rec);
    void regionOutput(Record& rec);
    void lineTo(Record& rec);
    void moveTo(Record& rec);
    void arc(Record& rec);
    void ellipse(Record& rec);
    void rectangle(Record& rec);
    void roundRect(Record& rec);
    void patBlt(Record& rec);
    void setPixel(Record& rec);
    void poly(Record& rec);
    void polyPolygon(Record& rec);
    void createPen(Record& rec);
    void createBrush(Record& rec);
    void createFont(Record& rec);
    void createPalette(Record& rec);
    void createRegion(Record& rec);
    void createPatternBrush(Record& rec);
    void textOut(Record& rec);
    void extTextOut(Record& rec);
    void blit(Record& rec);

    void selectObject(std::uint16_t index);
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
