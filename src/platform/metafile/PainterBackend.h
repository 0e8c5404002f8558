#pragma once

#include "platform/metafile/DeviceContext.h"

#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace platform::metafile {

// One piece of text output after the record has been decoded.
struct TextRun {
    QPointF reference;  // logical units
    QString text;
    std::vector<double> dx;  // logical advance per character, may be empty
    bool opaque = false;     // ETO_OPAQUE: fill `rect` with the background colour
    bool clipped = false;    // ETO_CLIPPED: clip to `rect`
    bool hasRect = false;
    QRectF rect;  // logical units
};

// Draws GDI primitives with a QPainter. Geometry arrives in logical units
// together with the logical-to-target transform; clipping arrives in target
// pixels. The painter's own transform at construction is kept as the base.
class PainterBackend {
  public:
    // `devicePixel` is the size of one metafile device pixel in target pixels:
    // GDI measures cosmetic pens and their dash patterns in device pixels.
    PainterBackend(QPainter& painter, const QRectF& target, double devicePixel);
    ~PainterBackend();
    PainterBackend(const PainterBackend&) = delete;
    PainterBackend& operator=(const PainterBackend&) = delete;

    QRectF target() const { return target_; }

    // Applies the state's clip when it differs from the one in effect.
    void syncClip(const DcState& state);
    // Someone else has drawn with the painter: set the clip again next time.
    void invalidateClip() { clipVersion_ = -1; }

    // `penScale` converts the pen's logical width into the path's units.
    void drawPath(const QPainterPath& path, const DcState& state, const QTransform& toTarget,
                  bool stroke, bool fill, double penScale = 1.0);
    // Fills a logical path with a ready-made brush (gradients).
    void fillPathWith(const QPainterPath& path, const QBrush& brush, const DcState& state,
                      const QTransform& toTarget);
    void fillRegion(const QRegion& targetRegion, const LogicalBrush& brush, const DcState& state);
    void invertRegion(const QRegion& targetRegion);
    // Draws the `source` part of `image`, placed by `placement` (image pixels to
    // logical units).
    void drawImage(const QImage& image, const QRectF& source, const QTransform& placement,
                   const QTransform& toTarget, quint32 rop, const DcState& state);
    // Fills the logical rectangle with the brush combined through `rop`.
    void patBlt(const QRectF& dest, const QTransform& toTarget, quint32 rop, const DcState& state);
    // Returns the logical advance of the drawn text.
    double drawText(const TextRun& run, const DcState& state, const QTransform& toTarget);
    // The glyph outlines the text would fill, in target pixels, for a path
    // bracket; `advance` receives the logical advance.
    static QPainterPath textOutline(const TextRun& run, const DcState& state,
                                    const QTransform& toTarget, double* advance);

  private:
    QPen makePen(const DcState& state, const QTransform& toTarget, double penScale) const;
    QBrush makeBrush(const LogicalBrush& logical, const DcState& state,
                     const QTransform& toTarget) const;
    bool applyRop2(const DcState& state, QPen& pen, QBrush& brush);
    // True when `rop2` is drawn through a layer combined bit by bit with the
    // target image (every mode but R2_COPYPEN and R2_NOP, on image targets).
    bool layeredRop2(int rop2) const;
    // Paints onto a transparent layer covering `bounds` (current painter
    // coordinates, widened by `deviceMargin` pixels) under the current
    // transform and clip, then combines it into the target through `rop2`.
    // With `solid`, everything painted is that one colour and the layer only
    // records coverage.
    void paintThroughRop2(int rop2, const QRectF& bounds, double deviceMargin,
                          std::optional<QRgb> solid, const std::function<void(QPainter&)>& paint);
    void setTransform(const QTransform& toTarget);

    QPainter& painter_;
    QRectF target_;
    QTransform base_;
    double devicePixel_;
    bool raster_;
    QImage* image_ = nullptr;  // the target, when raster ops can read and write it
    int clipVersion_ = -1;
    QRegion clipRegion_;  // in base_ coordinates
};

}  // namespace platform::metafile
