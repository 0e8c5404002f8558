#include "platform/metafile/PainterBackend.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <algorithm>
#include <cmath>

namespace platform::metafile {

namespace {

// Target pixels per logical unit along each axis of a transform.
double axisScale(const QTransform& t, double x, double y) {
    return std::hypot(t.m11() * x + t.m21() * y, t.m12() * x + t.m22() * y);
}

QTransform linearPart(const QTransform& t) {
    return QTransform(t.m11(), t.m12(), t.m21(), t.m22(), 0, 0);
}

Qt::BrushStyle hatchStyle(int hatch) {
    switch (hatch) {
        case 0:
            return Qt::HorPattern;
        case 1:
            return Qt::VerPattern;
        case 2:
            return Qt::FDiagPattern;
        case 3:
            return Qt::BDiagPattern;
        case 4:
            return Qt::CrossPattern;
        default:
            return Qt::DiagCrossPattern;
    }
}

// The ternary raster operation code (bits 16..23 of a ROP3).
int ropCode(quint32 rop) { return static_cast<int>((rop >> 16) & 0xFF); }

// Cells of the GDI dash styles, in device pixels.
QVector<qreal> dashPattern(int style) {
    switch (style) {
        case PenSpec::Dash:
            return {18, 6};
        case PenSpec::Dot:
        case PenSpec::Alternate:
            return {3, 3};
        case PenSpec::DashDot:
            return {9, 6, 3, 6};
        case PenSpec::DashDotDot:
            return {9, 3, 3, 3, 3, 3};
        default:
            return {};
    }
}

constexpr double kMaxFontPixels = 20000;

}  // namespace

PainterBackend::PainterBackend(QPainter& painter, const QRectF& target, double devicePixel)
    : painter_(painter), target_(target), base_(painter.worldTransform()), devicePixel_(devicePixel) {
    painter_.save();
    raster_ = painter_.paintEngine() && painter_.paintEngine()->type() == QPaintEngine::Raster;
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

PainterBackend::~PainterBackend() { painter_.restore(); }

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
    if (state.clip) {
        painter_.setClipRegion(state.clip->intersected(frame));
    } else {
        painter_.setClipRect(frame);
    }
}

QPen PainterBackend::makePen(const DcState& state, const QTransform& toTarget,
                             double penScale) const {
    const PenSpec& spec = state.pen;
    if (spec.isNull() || state.rop2 == 11) {  // R2_NOP
        return Qt::NoPen;
    }
    QColor color = spec.color;
    if (state.rop2 == 1) {
        color = Qt::black;
    } else if (state.rop2 == 16) {
        color = Qt::white;
    }
    QPen pen(color);
    const double logicalWidth = spec.width * penScale;
    const double scale = std::sqrt(std::abs(toTarget.determinant()));
    const double targetWidth = logicalWidth * scale;
    const bool cosmetic = logicalWidth <= 0 || targetWidth < 1.0;
    if (cosmetic) {
        pen.setCosmetic(true);
        pen.setWidthF(1.0);
    } else {
        pen.setWidthF(logicalWidth);
    }
    static constexpr Qt::PenCapStyle kCaps[] = {Qt::RoundCap, Qt::SquareCap, Qt::FlatCap};
    static constexpr Qt::PenJoinStyle kJoins[] = {Qt::RoundJoin, Qt::BevelJoin, Qt::MiterJoin};
    pen.setCapStyle(kCaps[std::clamp(spec.endCap, 0, 2)]);
    pen.setJoinStyle(kJoins[std::clamp(spec.join, 0, 2)]);
    if (spec.style == PenSpec::UserStyle && !spec.userDashes.empty()) {
        QVector<qreal> dashes;
        for (double d : spec.userDashes) {
            dashes.push_back(std::max(0.1, cosmetic ? d : d / std::max(logicalWidth, 1e-9)));
        }
        if (dashes.size() % 2 == 1) {
            dashes.push_back(dashes.back());
        }
        pen.setDashPattern(dashes);
    } else if (QVector<qreal> dashes = dashPattern(spec.style); !dashes.isEmpty()) {
        // GDI draws styled lines only for thin or geometric pens.
        if (cosmetic || spec.geometric || targetWidth < 1.5) {
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
    return pen;
}

QBrush PainterBackend::makeBrush(const BrushSpec& spec, const DcState& state,
                                 const QTransform& toTarget) const {
    if (spec.isNull() || state.rop2 == 11) {
        return Qt::NoBrush;
    }
    if (state.rop2 == 1) {
        return QBrush(Qt::black);
    }
    if (state.rop2 == 16) {
        return QBrush(Qt::white);
    }
    switch (spec.style) {
        case BrushSpec::Hatched:
            return QBrush(spec.color, hatchStyle(spec.hatch));
        case BrushSpec::Pattern:
        case BrushSpec::DibPattern:
        case BrushSpec::DibPatternPt:
            if (!spec.pattern.isNull()) {
                QBrush brush(spec.pattern);
                // Keep one pattern pixel near one target pixel whatever the mapping.
                const double sx = axisScale(toTarget, 1, 0);
                const double sy = axisScale(toTarget, 0, 1);
                if (sx > 0 && sy > 0) {
                    brush.setTransform(QTransform::fromScale(1 / sx, 1 / sy));
                }
                return brush;
            }
            return QBrush(spec.color);
        default:
            return QBrush(spec.color);
    }
}

bool PainterBackend::applyRop2(const DcState& state, QPen& pen, QBrush& brush) {
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    if (raster_) {
        switch (state.rop2) {
            case 6:  // R2_NOT
                mode = QPainter::RasterOp_NotDestination;
                break;
            case 7:  // R2_XORPEN
                mode = QPainter::RasterOp_SourceXorDestination;
                break;
            case 9:  // R2_MASKPEN
                mode = QPainter::RasterOp_SourceAndDestination;
                break;
            case 15:  // R2_MERGEPEN
                mode = QPainter::RasterOp_SourceOrDestination;
                break;
            default:
                break;
        }
    }
    painter_.setCompositionMode(mode);
    painter_.setPen(pen);
    painter_.setBrush(brush);
    return pen.style() != Qt::NoPen || brush.style() != Qt::NoBrush;
}

void PainterBackend::drawPath(const QPainterPath& path, const DcState& state,
                              const QTransform& toTarget, bool stroke, bool fill,
                              double penScale) {
    syncClip(state);
    QPen pen = stroke ? makePen(state, toTarget, penScale) : QPen(Qt::NoPen);
    QBrush brush = fill ? makeBrush(state.brush, state, toTarget) : QBrush(Qt::NoBrush);
    if (!applyRop2(state, pen, brush)) {
        return;
    }
    setTransform(toTarget);
    QPainterPath filled = path;
    filled.setFillRule(state.windingFill ? Qt::WindingFill : Qt::OddEvenFill);
    if (fill && state.brush.style == BrushSpec::Hatched && state.bkOpaque &&
        brush.style() != Qt::NoBrush) {
        painter_.fillPath(filled, state.bkColor);
    }
    painter_.drawPath(filled);
}

void PainterBackend::fillPathWith(const QPainterPath& path, const QBrush& brush,
                                  const DcState& state, const QTransform& toTarget) {
    syncClip(state);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    setTransform(toTarget);
    painter_.fillPath(path, brush);
}

void PainterBackend::fillRegion(const QRegion& targetRegion, const BrushSpec& spec,
                                const DcState& state) {
    syncClip(state);
    QPen pen(Qt::NoPen);
    QBrush brush = makeBrush(spec, state, QTransform());
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

void PainterBackend::drawImage(const QImage& image, const QRectF& source, const QRectF& dest,
                               const QTransform& toTarget, quint32 rop, const DcState& state) {
    if (image.isNull() || source.width() == 0 || source.height() == 0) {
        return;
    }
    syncClip(state);
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    const QImage* drawn = &image;
    QImage inverted;
    switch (ropCode(rop)) {
        case 0xAA:  // destination unchanged
            return;
        case 0x88:  // SRCAND
            mode = raster_ ? QPainter::RasterOp_SourceAndDestination : mode;
            break;
        case 0xEE:  // SRCPAINT
            mode = raster_ ? QPainter::RasterOp_SourceOrDestination : mode;
            break;
        case 0x66:  // SRCINVERT
            mode = raster_ ? QPainter::RasterOp_SourceXorDestination : mode;
            break;
        case 0xBB:  // MERGEPAINT
            mode = raster_ ? QPainter::RasterOp_NotSourceOrDestination : mode;
            break;
        case 0x33:  // NOTSRCCOPY
            inverted = image;
            inverted.invertPixels();
            drawn = &inverted;
            break;
        case 0x44:  // SRCERASE (S & ~D)
            mode = raster_ ? QPainter::RasterOp_SourceAndNotDestination : mode;
            break;
        default:
            break;
    }
    painter_.setCompositionMode(mode);
    const double sx = dest.width() / source.width();
    const double sy = dest.height() / source.height();
    QTransform placement(sx, 0, 0, sy, dest.x() - source.x() * sx, dest.y() - source.y() * sy);
    setTransform(placement * toTarget);
    painter_.drawImage(source, *drawn, source);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PainterBackend::patBlt(const QRectF& dest, const QTransform& toTarget, quint32 rop,
                            const DcState& state) {
    syncClip(state);
    setTransform(toTarget);
    const QRectF rect = dest.normalized();
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
            if (raster_) {
                painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            }
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

double PainterBackend::drawText(const TextRun& run, const DcState& state,
                                const QTransform& toTarget) {
    const FontSpec& spec = state.font;
    QTransform linear = linearPart(toTarget);
    if (linear.determinant() < 0) {
        linear = QTransform::fromScale(1, -1) * linear;
    }
    const double sy = axisScale(linear, 0, 1);
    if (!(sy > 0) || !std::isfinite(sy)) {
        return 0;
    }
    double height = spec.height == 0 ? 12.0 / sy : std::abs(double(spec.height));
    QFont font(spec.face.isEmpty() ? QStringLiteral("Arial") : spec.face);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(spec.weight == 0 ? 400 : spec.weight, 1, 1000)));
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    if (spec.height > 0) {
        // A positive height is the cell height (ascent + descent), not the em size.
        font.setPixelSize(200);
        const QFontMetricsF probe(font);
        const double cell = probe.ascent() + probe.descent();
        if (cell > 0) {
            height *= 200.0 / cell;
        }
    }
    const double pixels = height * sy;
    if (pixels < 0.5 || pixels > kMaxFontPixels) {
        return 0;
    }
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    // Text space units per logical unit; differs from `sy` by the pixel-size rounding.
    const double unit = pixels / std::max(1, int(std::lround(pixels)));
    const double toText = sy / unit;
    const QFontMetricsF metrics(font);

    double horizontalStretch = 1.0;
    if (spec.width > 0) {
        const double natural = metrics.averageCharWidth();
        if (natural > 0) {
            horizontalStretch = std::clamp(spec.width * toText / natural, 0.05, 20.0);
        }
    }

    // Layout in "text space": origin at the reference point, x along the
    // baseline, one unit per target pixel of font size.
    std::vector<double> positions;
    positions.reserve(static_cast<std::size_t>(run.text.size()));
    double width = 0;
    if (!run.dx.empty()) {
        for (qsizetype i = 0; i < run.text.size(); ++i) {
            positions.push_back(width);
            if (static_cast<std::size_t>(i) < run.dx.size()) {
                width += run.dx[static_cast<std::size_t>(i)] * toText;
            }
        }
    } else {
        width = metrics.horizontalAdvance(run.text) * horizontalStretch +
                state.textCharExtra * toText * run.text.size();
    }

    double x = 0;
    switch (state.textAlign & 6) {
        case 6:
            x = -width / 2;
            break;
        case 2:
            x = -width;
            break;
        default:
            break;
    }
    double y = 0;
    if ((state.textAlign & 24) == 24) {
        y = 0;
    } else if (state.textAlign & 8) {
        y = -metrics.descent();
    } else {
        y = metrics.ascent();
    }

    syncClip(state);
    const QPointF origin = toTarget.map(run.reference);
    const QTransform textSpace = QTransform().rotate(-spec.escapement / 10.0) *
                                 QTransform::fromScale(unit / sy, unit / sy) * linear *
                                 QTransform::fromTranslate(origin.x(), origin.y());
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const bool needsSave = run.clipped && run.hasRect;
    if (needsSave) {
        painter_.save();
        setTransform(toTarget);
        painter_.setClipRect(run.rect.normalized(), Qt::IntersectClip);
    }
    if (run.opaque && run.hasRect) {
        setTransform(toTarget);
        painter_.fillRect(run.rect.normalized(), state.bkColor);
    }
    setTransform(textSpace);
    if (state.bkOpaque && !run.opaque) {
        painter_.fillRect(QRectF(x, y - metrics.ascent(), width, metrics.height()), state.bkColor);
    }
    painter_.setFont(font);
    painter_.setPen(state.textColor);
    if (horizontalStretch != 1.0) {
        setTransform(QTransform::fromScale(horizontalStretch, 1) *
                     QTransform::fromTranslate(x, y) * textSpace);
        x = 0;
        y = 0;
    }
    if (positions.empty()) {
        if (state.textCharExtra == 0) {
            painter_.drawText(QPointF(x, y), run.text);
        } else {
            double pen = x;
            for (QChar c : run.text) {
                painter_.drawText(QPointF(pen, y), QString(c));
                pen += metrics.horizontalAdvance(c) + state.textCharExtra * toText;
            }
        }
    } else {
        for (qsizetype i = 0; i < run.text.size(); ++i) {
            const QChar c = run.text.at(i);
            if (c.isHighSurrogate() && i + 1 < run.text.size()) {
                painter_.drawText(QPointF(x + positions[std::size_t(i)], y), run.text.mid(i, 2));
                ++i;
                continue;
            }
            if (!c.isSpace()) {
                painter_.drawText(QPointF(x + positions[std::size_t(i)], y), QString(c));
            }
        }
    }
    if (needsSave) {
        painter_.restore();
        clipVersion_ = -1;
    }
    return width / toText;
}

}  // namespace platform::metafile
