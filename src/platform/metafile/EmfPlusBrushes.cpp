// Decoding of the EMF+ brush objects.
#include "platform/metafile/EmfPlusPlayer.h"

#include "platform/metafile/EmfPlusValues.h"
#include "platform/metafile/GdiObjects.h"
#include "platform/metafile/Metafile.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

namespace platform::metafile {

namespace {

using emfplus::argb;
using emfplus::finiteOr;

bool finite(const QTransform& t) {
    for (double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()}) {
        if (!std::isfinite(v) || std::abs(v) > 1e9) {
            return false;
        }
    }
    return true;
}

// A brush transform; the identity when its values are out of range.
QTransform finiteMatrix(ByteReader& r) {
    const double m11 = r.f32(), m12 = r.f32(), m21 = r.f32(), m22 = r.f32();
    const double dx = r.f32(), dy = r.f32();
    const QTransform t(m11, m12, m21, m22, dx, dy);
    return finite(t) ? t : QTransform();
}

QGradient::Spread spreadFor(qint32 wrap) {
    switch (wrap) {
        case 0:
            return QGradient::RepeatSpread;
        case 1:
        case 2:
        case 3:
            return QGradient::ReflectSpread;
        default:
            return QGradient::PadSpread;
    }
}

}  // namespace

std::optional<QBrush> EmfPlusPlayer::readBrush(ByteReader& r) {
    r.u32();  // version
    const quint32 type = r.u32();
    if (!r.ok()) {
        return std::nullopt;
    }
    switch (type) {
        case 0:
            return readSolidBrush(r);
        case 1:
            return readHatchBrush(r);
        case 2:
            return readTextureBrush(r);
        case 3:
            return readPathGradientBrush(r);
        case 4:
            return readLinearGradientBrush(r);
        default:
            return std::nullopt;
    }
}

// A solid colour brush.
std::optional<QBrush> EmfPlusPlayer::readSolidBrush(ByteReader& r) {
    const quint32 color = r.u32();
    return r.ok() ? std::optional<QBrush>(QBrush(argb(color))) : std::nullopt;
}

// A hatch brush; the background colour is laid under it when filling.
std::optional<QBrush> EmfPlusPlayer::readHatchBrush(ByteReader& r) {
    const quint32 style = r.u32();
    const QColor fore = argb(r.u32());
    const QColor back = argb(r.u32());
    if (!r.ok()) {
        return std::nullopt;
    }
    QBrush brush(fore, hatchBrushStyle(style));
    // Keep the background in the brush's texture: draw both at once.
    QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
    tile.fill(back);
    QPainter p(&tile);
    p.fillRect(tile.rect(), brush);
    p.end();
    return QBrush(tile);
}

// A texture brush: a bitmap, or a nested metafile drawn into one.
std::optional<QBrush> EmfPlusPlayer::readTextureBrush(ByteReader& r) {
    const quint32 flags = r.u32();
    const qint32 wrap = r.i32();
    Q_UNUSED(wrap);
    QTransform transform;
    if (flags & 0x02) {
        transform = finiteMatrix(r);
    }
    std::optional<PlusImage> image = readImage(r);
    if (!r.ok() || !image) {
        return std::nullopt;
    }
    QImage tile = image->bitmap;
    if (tile.isNull() && image->metafile && nestedDepth_ < kMaxNestedMetafiles) {
        ++nestedDepth_;
        tile = image->metafile->toImage(
            image->metafile->naturalSizePixels().boundedTo(QSize(1024, 1024)), Qt::transparent);
        --nestedDepth_;
    }
    if (tile.isNull()) {
        return std::nullopt;
    }
    QBrush brush(tile);
    brush.setTransform(transform);
    return brush;
}

// A path gradient brush, drawn as a radial blend from the centre colour.
std::optional<QBrush> EmfPlusPlayer::readPathGradientBrush(ByteReader& r) {
    const quint32 flags = r.u32();
    r.i32();
    const QColor center = argb(r.u32());
    const QPointF centerPoint(finiteOr(r.f32(), 0), finiteOr(r.f32(), 0));
    const quint32 surroundCount = r.u32();
    if (!r.ok() || surroundCount == 0 || !r.has(std::size_t(surroundCount) * 4)) {
        return std::nullopt;
    }
    const QColor surround = argb(r.u32());
    r.skip(std::size_t(surroundCount - 1) * 4);
    QRectF bounds;
    if (flags & 0x01) {
        const quint32 size = r.u32();
        ByteReader pathReader = r.sub(r.pos(), size);
        r.skip(size);
        if (auto path = readPath(pathReader)) {
            bounds = path->boundingRect();
        }
    } else {
        const quint32 count = r.u32();
        const std::vector<QPointF> pts = points(r, count, 0);
        if (!pts.empty()) {
            bounds = QPolygonF(QVector<QPointF>(pts.begin(), pts.end())).boundingRect();
        }
    }
    QTransform transform;
    if (flags & 0x02) {
        transform = finiteMatrix(r);
    }
    double radius = 0;
    for (const QPointF& corner :
         {bounds.topLeft(), bounds.topRight(), bounds.bottomLeft(), bounds.bottomRight()}) {
        radius = std::max(radius,
                          std::hypot(corner.x() - centerPoint.x(), corner.y() - centerPoint.y()));
    }
    if (!(radius > 0)) {
        return QBrush(surround);
    }
    QRadialGradient gradient(centerPoint, radius);
    gradient.setColorAt(0, center);
    gradient.setColorAt(1, surround);
    QBrush brush(gradient);
    brush.setTransform(transform);
    return brush;
}

// A linear gradient brush, with its blend stops when it has them.
std::optional<QBrush> EmfPlusPlayer::readLinearGradientBrush(ByteReader& r) {
    const quint32 flags = r.u32();
    const qint32 wrap = r.i32();
    const QRectF box = rect(r, false);
    const QColor start = argb(r.u32());
    const QColor end = argb(r.u32());
    r.skip(8);
    if (!r.ok()) {
        return std::nullopt;
    }
    QTransform transform;
    if (flags & 0x02) {
        transform = finiteMatrix(r);
    }
    QLinearGradient gradient(box.topLeft(), box.topRight());
    gradient.setSpread(spreadFor(wrap));
    gradient.setColorAt(0, start);
    gradient.setColorAt(1, end);
    const quint32 count = (flags & 0x0E) ? r.u32() : 0;
    if (r.ok() && count > 0 && count <= 4096 && r.has(std::size_t(count) * 8)) {
        std::vector<double> positions(count);
        for (double& p : positions) {
            p = std::clamp(finiteOr(r.f32(), 0), 0.0, 1.0);
        }
        QGradientStops stops;
        for (quint32 i = 0; i < count; ++i) {
            QColor c;
            if (flags & 0x04) {
                c = argb(r.u32());
            } else {
                const double f = std::clamp(finiteOr(r.f32(), 0), 0.0, 1.0);
                c = QColor::fromRgbF(float(start.redF() + (end.redF() - start.redF()) * f),
                                     float(start.greenF() + (end.greenF() - start.greenF()) * f),
                                     float(start.blueF() + (end.blueF() - start.blueF()) * f),
                                     float(start.alphaF() + (end.alphaF() - start.alphaF()) * f));
            }
            stops.append({positions[i], c});
        }
        if (r.ok()) {
            gradient.setStops(stops);
        }
    }
    QBrush brush(gradient);
    brush.setTransform(transform);
    return brush;
}

}  // namespace platform::metafile
