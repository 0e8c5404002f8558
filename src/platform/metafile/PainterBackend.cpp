#include "platform/metafile/PainterBackend.h"

#include "platform/metafile/RasterOps.h"
#include "platform/metafile/TargetGeometry.h"

#include <QPaintEngine>
#include <algorithm>
#include <cmath>

namespace platform::metafile {

namespace {

// The ternary raster operation code (bits 16..23 of a ROP3).
int ropCode(quint32 rop) {
    return static_cast<int>((rop >> 16) & 0xFF);
}

// Cells of the GDI dash styles, in device pixels.
QVector<qreal> dashPattern(int style) {
    switch (style) {
        case LogicalPen::Dash:
            return {18, 6};
        case LogicalPen::Dot:
        case LogicalPen::Alternate:
            return {3, 3};
        case LogicalPen::DashDot:
            return {9, 6, 3, 6};
        case LogicalPen::DashDotDot:
            return {9, 3, 3, 3, 3, 3};
        default:
            return {};
    }
}

QImage colorizedMonochrome(const QImage& pattern, const DcState& state) {
    QImage colored = pattern.convertToFormat(QImage::Format_RGB32);
    const QRgb foreground = state.textColor.rgb();
    const QRgb background = state.bkColor.rgb();
    for (int y = 0; y < colored.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(colored.scanLine(y));
        for (int x = 0; x < colored.width(); ++x) {
            line[x] = qGray(line[x]) > 127 ? background : foreground;
        }
    }
    return colored;
}

}  // namespace

PainterBackend::PainterBackend(QPainter& painter, const QRectF& target, double devicePixel)
    : painter_(painter),
      target_(target),
      base_(painter.worldTransform()),
      devicePixel_(devicePixel) {
    painter_.save();
    raster_ = painter_.paintEngine() && painter_.paintEngine()->type() == QPaintEngine::Raster;
    if (raster_ && painter_.device() && painter_.device()->devType() == QInternal::Image) {
        auto* image = static_cast<QImage*>(painter_.device());
        if (image->format() == QImage::Format_ARGB32_Premultiplied ||
            image->format() == QImage::Format_RGB32) {
            image_ = image;
        }
    }
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

PainterBackend::~PainterBackend() {
    painter_.restore();
}

void PainterBackend::setTransform(const QTransform& toTarget) {
    painter_.setWorldTransform(toTarget * base_);
}

void PainterBackend::syncClip(const DcState& state) {
    if (state.clipVersion == clipVersion_) {
        return;
    }
    clipVersion_ = state.clipVersion;
    painter_.setWorldTransform(base_);
    const QRect frame = target_.toAlignedRect();
    clipRegion_ = state.clip ? state.clip->intersected(frame) : QRegion(frame);
    if (state.metaClip) {
        clipRegion_ = clipRegion_.intersected(*state.metaClip);
    }
    painter_.setClipRegion(clipRegion_);
}

QPen PainterBackend::makePen(const DcState& state, const QTransform& toTarget,
                             double penScale) const {
    const LogicalPen& logical = state.pen;
    if (logical.isNull() || state.rop2 == kRop2Nop) {
        return Qt::NoPen;
    }
    QColor color = logical.color;
    if (!layeredRop2(state.rop2)) {
        if (state.rop2 == 1) {
            color = Qt::black;
        } else if (state.rop2 == 16) {
            color = Qt::white;
        }
    }
    QPen pen(color);
    const double logicalWidth = logical.width * penScale;
    const double scale = std::sqrt(std::abs(toTarget.determinant()));
    const double targetWidth = logicalWidth * scale;
    const bool cosmetic = logicalWidth <= 0 || targetWidth < 1.0;
    if (cosmetic) {
        // One device pixel: on a fine reference device that is a fraction of a
        // target pixel, which anti-aliasing shows as a lighter line.
        pen.setCosmetic(true);
        pen.setWidthF(std::clamp(devicePixel_, kThinnestLine, 1.0));
    } else {
        setPenWidth(pen, logicalWidth, targetWidth);
    }
    static constexpr Qt::PenCapStyle kCaps[] = {Qt::RoundCap, Qt::SquareCap, Qt::FlatCap};
    static constexpr Qt::PenJoinStyle kJoins[] = {Qt::RoundJoin, Qt::BevelJoin, Qt::MiterJoin};
    pen.setCapStyle(kCaps[std::clamp(logical.endCap, 0, 2)]);
    pen.setJoinStyle(kJoins[std::clamp(logical.join, 0, 2)]);
    // Qt measures a miter from the line's middle, in pen widths: half of GDI's ratio.
    pen.setMiterLimit(state.miterLimit / 2);
    if (logical.style == LogicalPen::UserStyle && !logical.userDashes.empty()) {
        QVector<qreal> dashes;
        for (double d : logical.userDashes) {
            dashes.push_back(std::max(0.1, cosmetic ? d : d / std::max(logicalWidth, 1e-9)));
        }
        if (dashes.size() % 2 == 1) {
            dashes.push_back(dashes.back());
        }
        pen.setDashPattern(dashes);
    } else if (QVector<qreal> dashes = dashPattern(logical.style); !dashes.isEmpty()) {
        // GDI draws styled lines only for thin or geometric pens.
        if (cosmetic || logical.geometric || targetWidth < 1.5) {
            const double unit = cosmetic ? devicePixel_ : 1.0 / 3.0;
            double period = 0;
            double on = 0;
            for (qsizetype i = 0; i < dashes.size(); ++i) {
                dashes[i] *= unit;
                period += dashes[i];
                on += (i % 2 == 0) ? dashes[i] : 0;
            }
            if (cosmetic && period < 3.0) {
                // Too fine to resolve on the target: draw it as the grey it averages to.
                color.setAlphaF(float(color.alphaF() * on / period));
                pen.setColor(color);
            } else {
                pen.setDashPattern(dashes);
            }
        }
    }
    if (logical.brushStyle != 0 && state.rop2 != 1 && state.rop2 != 16) {
        LogicalBrush fill;
        fill.style = logical.brushStyle;
        fill.color = logical.color;
        fill.hatch = logical.hatch;
        fill.pattern = logical.pattern;
        pen.setBrush(makeBrush(fill, state, toTarget));
    }
    return pen;
}

QBrush PainterBackend::makeBrush(const LogicalBrush& logical, const DcState& state,
                                 const QTransform& toTarget) const {
    if (logical.isNull() || state.rop2 == kRop2Nop) {
        return Qt::NoBrush;
    }
    if (!layeredRop2(state.rop2)) {
        if (state.rop2 == 1) {
            return QBrush(Qt::black);
        }
        if (state.rop2 == 16) {
            return QBrush(Qt::white);
        }
    }
    switch (logical.style) {
        case LogicalBrush::Hatched:
            return QBrush(logical.color, hatchBrushStyle(quint32(logical.hatch)));
        case LogicalBrush::Pattern:
        case LogicalBrush::DibPattern:
        case LogicalBrush::DibPatternPt:
            if (!logical.pattern.isNull()) {
                QBrush brush(logical.monochrome ? colorizedMonochrome(logical.pattern, state)
                                                : logical.pattern);
                // Keep one pattern pixel near one target pixel whatever the mapping.
                const double sx = axisScale(toTarget, 1, 0);
                const double sy = axisScale(toTarget, 0, 1);
                if (sx > 0 && sy > 0) {
                    QTransform placement = QTransform::fromScale(1 / sx, 1 / sy);
                    bool invertible = false;
                    const QTransform fromTarget = toTarget.inverted(&invertible);
                    if (state.brushOrigin && invertible) {
                        const QPointF origin = fromTarget.map(*state.brushOrigin);
                        placement *= QTransform::fromTranslate(origin.x(), origin.y());
                    }
                    brush.setTransform(placement);
                }
                return brush;
            }
            return QBrush(logical.color);
        default:
            return QBrush(logical.color);
    }
}

bool PainterBackend::layeredRop2(int rop2) const {
    return image_ != nullptr && rop2 != kRop2CopyPen && rop2 != kRop2Nop;
}

void PainterBackend::paintThroughRop2(int rop2, const QRectF& bounds, double deviceMargin,
                                      std::optional<QRgb> solid,
                                      const std::function<void(QPainter&)>& paint) {
    const QTransform device = painter_.deviceTransform();
    const double ratio = image_->devicePixelRatio();
    const QTransform clipToDevice = base_ * QTransform::fromScale(ratio, ratio);
    const int margin = int(std::ceil(deviceMargin)) + 2;
    const QRect box =
        device.mapRect(bounds).toAlignedRect().adjusted(-margin, -margin, margin, margin) &
        image_->rect() & clipToDevice.mapRect(clipRegion_.boundingRect());
    if (box.isEmpty()) {
        return;
    }
    QImage layer(box.size(), solid ? QImage::Format_Alpha8 : QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull()) {
        return;
    }
    layer.fill(Qt::transparent);
    {
        const QTransform shift = QTransform::fromTranslate(-box.left(), -box.top());
        QPainter layerPainter(&layer);
        layerPainter.setRenderHints(painter_.renderHints());
        layerPainter.setWorldTransform(clipToDevice * shift);
        layerPainter.setClipRegion(clipRegion_);
        layerPainter.setWorldTransform(device * shift);
        paint(layerPainter);
    }
    applyRop2Layer(*image_, layer, box.topLeft(), rop2, solid.value_or(0));
}

bool PainterBackend::applyRop2(const DcState& state, QPen& pen, QBrush& brush) {
    // Bitwise raster operations act on opaque pixels; their blend-mode
    // equivalents (exact for black and white) also behave on transparent
    // targets, where real raster ops would wipe out the alpha channel.
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (state.rop2) {
        case 6:  // R2_NOT
            if (raster_) {
                mode = QPainter::RasterOp_NotDestination;
            }
            break;
        case 7:  // R2_XORPEN
            mode = QPainter::CompositionMode_Difference;
            break;
        case 9:  // R2_MASKPEN
            mode = QPainter::CompositionMode_Multiply;
            break;
        case 15:  // R2_MERGEPEN
            mode = QPainter::CompositionMode_Screen;
            break;
        default:
            break;
    }
    painter_.setCompositionMode(mode);
    painter_.setPen(pen);
    painter_.setBrush(brush);
    return pen.style() != Qt::NoPen || brush.style() != Qt::NoBrush;
}

void PainterBackend::drawPath(const QPainterPath& path, const DcState& state,
                              const QTransform& toTarget, bool stroke, bool fill, double penScale) {
    if (!reasonable(toTarget.mapRect(path.controlPointRect()))) {
        return;
    }
    syncClip(state);
    QPen pen = stroke ? makePen(state, toTarget, penScale) : QPen(Qt::NoPen);
    QBrush brush = fill ? makeBrush(state.brush, state, toTarget) : QBrush(Qt::NoBrush);
    QPainterPath filled = path;
    filled.setFillRule(state.windingFill ? Qt::WindingFill : Qt::OddEvenFill);
    const bool hatchBackground =
        fill && state.brush.style == LogicalBrush::Hatched && state.bkOpaque;
    if (layeredRop2(state.rop2)) {
        // GDI fills, then strokes, each combined with what is already there.
        setTransform(toTarget);
        const QRectF bounds = filled.controlPointRect();
        if (brush.style() != Qt::NoBrush) {
            const bool solidFill = brush.style() == Qt::SolidPattern && !hatchBackground;
            const std::optional<QRgb> solid =
                solidFill ? std::optional<QRgb>(brush.color().rgb()) : std::nullopt;
            paintThroughRop2(state.rop2, bounds, 0, solid, [&](QPainter& p) {
                if (hatchBackground) {
                    p.fillPath(filled, state.bkColor);
                }
                p.fillPath(filled, brush);
            });
        }
        if (pen.style() != Qt::NoPen) {
            // Miter joins reach up to a pen width beyond the outline.
            const double reach = pen.isCosmetic() ? 0 : pen.widthF();
            paintThroughRop2(state.rop2, bounds.adjusted(-reach, -reach, reach, reach),
                             pen.isCosmetic() ? pen.widthF() : 0, pen.color().rgb(),
                             [&](QPainter& p) {
                                 p.setPen(pen);
                                 p.setBrush(Qt::NoBrush);
                                 p.drawPath(filled);
                             });
        }
        return;
    }
    if (!applyRop2(state, pen, brush)) {
        return;
    }
    setTransform(toTarget);
    if (hatchBackground && brush.style() != Qt::NoBrush) {
        painter_.fillPath(filled, state.bkColor);
    }
    if (pen.style() != Qt::NoPen && pen.isCosmetic() && pen.widthF() >= 1.0) {
        // GDI draws a one-pixel line in whole pixels; anti-aliasing would
        // smear it over two half-lit ones. The fill keeps its smooth edge.
        painter_.setPen(Qt::NoPen);
        painter_.drawPath(filled);
        painter_.setPen(pen);
        painter_.setBrush(Qt::NoBrush);
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.drawPath(filled);
        painter_.setRenderHint(QPainter::Antialiasing, true);
        return;
    }
    painter_.drawPath(filled);
}

void PainterBackend::fillPathWith(const QPainterPath& path, const QBrush& brush,
                                  const DcState& state, const QTransform& toTarget) {
    if (!reasonable(toTarget.mapRect(path.controlPointRect()))) {
        return;
    }
    syncClip(state);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    setTransform(toTarget);
    painter_.fillPath(path, brush);
}

void PainterBackend::fillRegion(const QRegion& targetRegion, const LogicalBrush& logical,
                                const DcState& state) {
    syncClip(state);
    QPen pen(Qt::NoPen);
    QBrush brush = makeBrush(logical, state, QTransform());
    if (layeredRop2(state.rop2)) {
        if (brush.style() != Qt::NoBrush) {
            painter_.setWorldTransform(base_);
            paintThroughRop2(state.rop2, targetRegion.boundingRect(), 0, std::nullopt,
                             [&](QPainter& p) {
                                 for (const QRect& r : targetRegion) {
                                     p.fillRect(r, brush);
                                 }
                             });
        }
        return;
    }
    if (!applyRop2(state, pen, brush)) {
        return;
    }
    painter_.setWorldTransform(base_);
    for (const QRect& r : targetRegion) {
        painter_.fillRect(r, brush);
    }
}

void PainterBackend::invertRegion(const QRegion& targetRegion) {
    if (!raster_) {
        return;
    }
    painter_.setWorldTransform(base_);
    painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
    for (const QRect& r : targetRegion) {
        painter_.fillRect(r, Qt::black);
    }
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PainterBackend::drawImage(const QImage& image, const QRectF& source,
                               const QTransform& placement, const QTransform& toTarget, quint32 rop,
                               const DcState& state) {
    if (image.isNull() || source.width() == 0 || source.height() == 0 ||
        !reasonable((placement * toTarget).mapRect(source))) {
        return;
    }
    syncClip(state);
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    const QImage* drawn = &image;
    QImage inverted;
    switch (ropCode(rop)) {
        case 0xAA:  // destination unchanged
            return;
        case 0x88:  // SRCAND, as a blend mode (see applyRop2)
            mode = QPainter::CompositionMode_Multiply;
            break;
        case 0xEE:  // SRCPAINT
            mode = QPainter::CompositionMode_Screen;
            break;
        case 0x66:  // SRCINVERT
            mode = QPainter::CompositionMode_Difference;
            break;
        case 0xBB:  // MERGEPAINT (~S | D)
            inverted = image;
            inverted.invertPixels();
            drawn = &inverted;
            mode = QPainter::CompositionMode_Screen;
            break;
        case 0x33:  // NOTSRCCOPY
            inverted = image;
            inverted.invertPixels();
            drawn = &inverted;
            break;
        default:
            break;
    }
    painter_.setCompositionMode(mode);
    setTransform(placement * toTarget);
    painter_.drawImage(source, *drawn, source);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PainterBackend::patBlt(const QRectF& dest, const QTransform& toTarget, quint32 rop,
                            const DcState& state) {
    const QRectF rect = dest.normalized();
    if (!reasonable(toTarget.mapRect(rect))) {
        return;
    }
    syncClip(state);
    setTransform(toTarget);
    switch (ropCode(rop)) {
        case 0x00:
            painter_.fillRect(rect, Qt::black);
            return;
        case 0xFF:
            painter_.fillRect(rect, Qt::white);
            return;
        case 0xAA:
            return;
        case 0x55:
            if (raster_) {
                painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
                painter_.fillRect(rect, Qt::black);
                painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
            }
            return;
        case 0x5A:
            painter_.setCompositionMode(QPainter::CompositionMode_Difference);
            break;
        default:
            break;
    }
    const QBrush brush = makeBrush(state.brush, state, toTarget);
    if (brush.style() != Qt::NoBrush) {
        painter_.fillRect(rect, brush);
    }
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

}  // namespace platform::metafile
