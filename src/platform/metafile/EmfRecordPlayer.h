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

    void poly(std::uint32_t type, ByteReader& r);
    void polyPoly(std::uint32_t type, ByteReader& r);
    void polyDraw(std::uint32_t type, ByteReader& r);
    void createPen(ByteReader& r);
    void extCreatePen(ByteReader& r, const ByteReader& record);
    void createBrush(ByteReader& r);
    void createDibBrush(ByteReader& r, const ByteReader& record, bool mono);
    void createFont(ByteReader& r);
    void createPalette(ByteReader& r);
    void selectObject(quint32 index);
    void extTextOut(ByteReader& r, const ByteReader& record, bool wide);
    void smallTextOut(ByteReader& r);
    void polyTextOut(ByteReader& r, const ByteReader& record, bool wide);
    void emrText(ByteReader& r, const ByteReader& record, bool wide);
    QString recordText(ByteReader text, quint32 chars, bool wide) const;
    static void setTextOptions(TextRun& run, quint32 options, const QRectF& rect);
    void bitBlt(std::uint32_t type, ByteReader& r, const ByteReader& record);
    void maskBlt(ByteReader& r, const ByteReader& record);
    void plgBlt(ByteReader& r, const ByteReader& record);
    void stretchDibits(std::uint32_t type, ByteReader& r, const ByteReader& record);
    void extSelectClipRgn(ByteReader& r);
    void regionOutput(std::uint32_t type, ByteReader& r);
    void gradientFill(ByteReader& r);
    QVector<QRect> regionData(ByteReader r);
    QImage bitmap(const ByteReader& record, quint32 offBmi, quint32 cbBmi, quint32 offBits,
                  quint32 cbBits, quint32 usage);

    GdiPlayer& gdi_;
    DeviceContext& dc_;
};

}  // namespace platform::metafile
