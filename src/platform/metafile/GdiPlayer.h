#pragma once

#include "platform/metafile/DeviceContext.h"
#include "platform/metafile/PainterBackend.h"

#include <QPolygonF>
#include <vector>

namespace platform::metafile {

// The GDI drawing operations both metafile formats are made of. It keeps the
// current position and the path bracket, maps logical coordinates through
// the device context, and hands finished shapes to the painter backend.
class GdiPlayer {
  public:
    enum class ArcKind { Arc, ArcTo, Chord, Pie };
    enum class RegionMode { And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5 };

    GdiPlayer(DeviceContext& dc, PainterBackend& backend, const QTransform& deviceToTarget);

    DeviceContext& dc() { return dc_; }
    const DcState& state() const { return dc_.state(); }
    QTransform logicalToTarget() const { return dc_.logicalToDevice() * deviceToTarget_; }

    // Lines and curves.
    void moveTo(const QPointF& p);
    void lineTo(const QPointF& p);
    void polyline(const QPolygonF& points);
    void polylineTo(const QPolygonF& points);
    void polyBezier(const QPolygonF& points);
    void polyBezierTo(const QPolygonF& points);
    void polyDraw(const QPolygonF& points, const std::vector<quint8>& types);

    // Closed shapes.
    void polygon(const QPolygonF& points);
    void polyPolygon(const std::vector<QPolygonF>& polygons);
    void polyPolyline(const std::vector<QPolygonF>& lines);
    void rectangle(const QRectF& box);
    void roundRect(const QRectF& box, const QSizeF& corner);
    void ellipse(const QRectF& box);
    void arc(const QRectF& box, const QPointF& start, const QPointF& end, ArcKind kind);
    void angleArc(const QPointF& center, double radius, double startDegrees, double sweepDegrees);
    void setPixel(const QPointF& p, const QColor& color);

    // Path bracket.
    void beginPath();
    void endPath();
    void abortPath();
    void closeFigure();
    void fillPath();
    void strokePath();
    void strokeAndFillPath();
    void selectClipPath(RegionMode mode);
    // Turns the path's curves into lines.
    void flattenPath();
    // Replaces the path by the outline the current pen would stroke.
    void widenPath();

    // Clipping.
    void intersectClipRect(const QRectF& logical);
    void excludeClipRect(const QRectF& logical);
    void combineClip(const QRegion& targetRegion, RegionMode mode);
    void resetClip();
    void setMetaRegion();
    // SetBrushOrgEx: bitmap patterns start at this point of the device.
    void setBrushOrigin(const QPointF& device) {
        dc_.state().brushOrigin = deviceToTarget_.map(device);
    }
    void offsetClip(const QPointF& logicalDelta);
    QRegion logicalRectsToTarget(const QVector<QRect>& rects) const;
    QRegion deviceRectsToTarget(const QVector<QRect>& rects) const;

    // Raster and text output.
    void text(TextRun run);
    void image(const QImage& image, const QRectF& source, const QRectF& dest, quint32 rop);
    // The `source` part of `image` placed by `placement` (image pixels to logical units).
    void image(const QImage& image, const QRectF& source, const QTransform& placement, quint32 rop);
    void patBlt(const QRectF& dest, quint32 rop);
    void fillRegion(const QRegion& targetRegion, const LogicalBrush& brush);
    void frameRegion(const QRegion& targetRegion, const LogicalBrush& brush,
                     const QSizeF& logicalSize);
    void invertRegion(const QRegion& targetRegion);
    void gradientRect(const QRectF& box, const QColor& from, const QColor& to, bool vertical);
    void gradientTriangle(const QPolygonF& triangle, const QColor& average);

  private:
    void emitShape(const QPainterPath& logicalPath, bool stroke, bool fill);
    void emitOpenFigure(const QPainterPath& logicalPath);
    void drawDevicePath(bool stroke, bool fill);
    QRegion logicalRectToTarget(const QRectF& rect) const;
    QRegion fullTarget() const;
    // The target with a small margin: regions are built no larger than this.
    QRectF regionReach() const;

    DeviceContext& dc_;
    PainterBackend& backend_;
    QTransform deviceToTarget_;
};

}  // namespace platform::metafile
