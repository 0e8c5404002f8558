#pragma once

#include "platform/metafile/ByteReader.h"
#include "platform/metafile/GdiPlayer.h"
#include "platform/metafile/RecordTypes.h"

#include <QImage>
#include <QPolygonF>
#include <QTransform>
#include <cmath>
#include <cstdint>

namespace platform::metafile {

// Decodes one EMF record into GDI calls. The reader spans the whole record,
// type and size included, because offsets inside records count from there.
class EmfRecordPlayer {
  public:
    static constexpr quint32 kStockObjectFlag = 0x80000000u;
    static constexpr std::size_t kRecordHeader = 8;

    EmfRecordPlayer(GdiPlayer& gdi, DeviceContext& dc) : gdi_(gdi), dc_(dc) {}

    // False when the record was read but neither drawn nor applied.
    bool play(std::uint32_t type, ByteReader record);

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
        // Beyond these magnitudes a transform is noise, not a drawing.
        constexpr double kLimit = 1e7;
        for (double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()}) {
            if (!std::isfinite(v) || std::abs(v) > kLimit) {
                return false;
            }
        }
        return std::abs(t.determinant()) > 1e-12;
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

    // A record on its way through its handler.
    struct Record {
        EmfRecord type;
        ByteReader r;             // the parameters, after type and size
        const ByteReader& whole;  // the whole record: offsets inside it count from its start
        bool applied = true;      // cleared when the record was read but not applied
    };
    using Handler = void (EmfRecordPlayer::*)(Record&);
    static Handler handlerFor(EmfRecord type);

    // One handler per record type, named after it.
    void readByParser(Record& rec);
    void setWindowExt(Record& rec);
    void setWindowOrg(Record& rec);
    void setViewportExt(Record& rec);
    void setViewportOrg(Record& rec);
    void scaleExt(Record& rec);
    void setBrushOrg(Record& rec);
    void setMapMode(Record& rec);
    void setBkMode(Record& rec);
    void setPolyFillMode(Record& rec);
    void setRop2(Record& rec);
    void setTextAlign(Record& rec);
    void setTextColor(Record& rec);
    void setBkColor(Record& rec);
    void saveDc(Record& rec);
    void restoreDc(Record& rec);
    void setWorldTransform(Record& rec);
    void modifyWorldTransform(Record& rec);
    void setArcDirection(Record& rec);
    void setTextJustification(Record& rec);
    void setLayout(Record& rec);
    void setMiterLimit(Record& rec);
    void selectObject(Record& rec);
    void deleteObject(Record& rec);
    void selectPalette(Record& rec);
    void setPaletteEntries(Record& rec);
    void resizePalette(Record& rec);
    void offsetClipRgn(Record& rec);
    void setMetaRgn(Record& rec);
    void excludeClipRect(Record& rec);
    void intersectClipRect(Record& rec);
    void setPixel(Record& rec);
    void moveTo(Record& rec);
    void lineTo(Record& rec);
    void angleArc(Record& rec);
    void ellipse(Record& rec);
    void rectangle(Record& rec);
    void roundRect(Record& rec);
    void arc(Record& rec);
    void beginPath(Record& rec);
    void endPath(Record& rec);
    void closeFigure(Record& rec);
    void fillPath(Record& rec);
    void strokeAndFillPath(Record& rec);
    void strokePath(Record& rec);
    void flattenPath(Record& rec);
    void widenPath(Record& rec);
    void selectClipPath(Record& rec);
    void abortPath(Record& rec);
    void poly(Record& rec);
    void polyPoly(Record& rec);
    void polyDraw(Record& rec);
    void createPen(Record& rec);
    void extCreatePen(Record& rec);
    void createBrush(Record& rec);
    void createDibBrush(Record& rec);
    void createFont(Record& rec);
    void createPalette(Record& rec);
    void extTextOut(Record& rec);
    void smallTextOut(Record& rec);
    void polyTextOut(Record& rec);
    void bitBlt(Record& rec);
    void maskBlt(Record& rec);
    void plgBlt(Record& rec);
    void stretchDibits(Record& rec);
    void extSelectClipRgn(Record& rec);
    void regionOutput(Record& rec);
    void gradientFill(Record& rec);

    void selectObject(quint32 index);
    void emrText(ByteReader& r, const ByteReader& record, bool wide);
    QString recordText(ByteReader text, quint32 chars, bool wide) const;
    static void setTextOptions(TextRun& run, quint32 options, const QRectF& rect);
    QVector<QRect> regionData(ByteReader r);
    QImage bitmap(const ByteReader& record, quint32 offBmi, quint32 cbBmi, quint32 offBits,
                  quint32 cbBits, quint32 usage);

    GdiPlayer& gdi_;
    DeviceContext& dc_;
};

}  // namespace platform::metafile
