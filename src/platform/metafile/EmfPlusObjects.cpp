// Decoding of the EMF+ objects: pens, paths, regions, fonts and string
// formats; brushes and images have files of their own.
#include "platform/metafile/EmfPlusPlayer.h"

#include "platform/metafile/EmfPlusValues.h"
#include "platform/metafile/GdiObjects.h"
#include "platform/metafile/TargetGeometry.h"
#include "platform/metafile/TextDecoding.h"

#include <cmath>

namespace platform::metafile {

namespace {

using namespace emfplus;

constexpr int kBrush = 1, kPen = 2, kPath = 3, kRegion = 4, kImage = 5, kFont = 6,
              kStringFormat = 7;
constexpr quint32 kMaxPathPoints = 4'000'000;
constexpr int kMaxRegionDepth = 64;

Qt::PenCapStyle capFor(qint32 cap) {
    switch (cap) {
        case 1:
            return Qt::SquareCap;
        case 2:
            return Qt::RoundCap;
        default:
            return Qt::FlatCap;
    }
}

// A 7- or 15-bit signed integer of a relative point.
double relativeCoordinate(ByteReader& r) {
    const quint8 first = r.u8();
    if (first & 0x80) {
        const int value = ((first & 0x7F) << 8) | r.u8();
        return value & 0x4000 ? value - 0x8000 : value;
    }
    return first & 0x40 ? int(first) - 0x80 : int(first);
}

template <typename T>
PlusObject asObject(std::optional<T> decoded) {
    if (decoded) {
        return std::move(*decoded);
    }
    return std::monostate{};
}

}  // namespace

std::vector<QPointF> EmfPlusPlayer::points(ByteReader& r, quint32 count, quint16 flags) {
    std::vector<QPointF> out;
    const bool relative = flags & 0x0800;
    const bool compressed = flags & 0x4000;
    const std::size_t minimum = relative ? 2 : compressed ? 4 : 8;
    if (count > kMaxPathPoints || !r.has(std::size_t(count) * minimum)) {
        return out;
    }
    out.reserve(count);
    QPointF last(0, 0);
    for (quint32 i = 0; i < count && r.ok(); ++i) {
        if (relative) {
            const double dx = relativeCoordinate(r);
            const double dy = relativeCoordinate(r);
            last += QPointF(dx, dy);
            out.push_back(last);
        } else if (compressed) {
            const double x = r.i16();
            const double y = r.i16();
            out.emplace_back(x, y);
        } else {
            const double x = finiteOr(r.f32(), 0);
            const double y = finiteOr(r.f32(), 0);
            out.emplace_back(x, y);
        }
    }
    if (!r.ok()) {
        out.clear();
    }
    return out;
}

QRectF EmfPlusPlayer::rect(ByteReader& r, bool compressed) {
    if (compressed) {
        const double x = r.i16(), y = r.i16(), w = r.i16(), h = r.i16();
        return QRectF(x, y, w, h);
    }
    const double x = finiteOr(r.f32(), 0), y = finiteOr(r.f32(), 0);
    const double w = finiteOr(r.f32(), 0), h = finiteOr(r.f32(), 0);
    return QRectF(x, y, w, h);
}

PlusObject EmfPlusPlayer::decodeObject(int type, ByteReader r) {
    switch (type) {
        case kBrush:
            return asObject(readBrush(r));
        case kPen:
            return asObject(readPen(r));
        case kPath:
            return asObject(readPath(r));
        case kRegion:
            return PlusRegion{QByteArray(r.data(), qsizetype(r.size()))};
        case kImage:
            return asObject(readImage(r));
        case kFont:
            return asObject(readFont(r));
        case kStringFormat:
            return asObject(readStringFormat(r));
        default:
            return std::monostate{};  // image attributes, custom line caps: nothing to draw with
    }
}

std::optional<PlusFont> EmfPlusPlayer::readFont(ByteReader& r) {
    PlusFont font;
    r.u32();  // version
    font.emSize = finiteOr(r.f32(), 0);
    font.unit = int(r.u32());
    font.style = r.i32();
    r.u32();
    const quint32 length = r.u32();
    if (!r.ok() || length > 1024 || !(font.emSize > 0)) {
        return std::nullopt;
    }
    ByteReader name = r.sub(r.pos(), std::size_t(length) * 2);
    if (!name.ok()) {
        return std::nullopt;
    }
    font.family = TextDecoding::decodeUtf16(name, qsizetype(length));
    return font;
}

std::optional<PlusStringFormat> EmfPlusPlayer::readStringFormat(ByteReader& r) {
    PlusStringFormat format;
    r.u32();  // version
    format.flags = r.u32();
    r.u32();  // language
    format.align = int(r.u32());
    format.lineAlign = int(r.u32());
    if (!r.ok()) {
        return std::nullopt;
    }
    return format;
}

std::optional<PlusPen> EmfPlusPlayer::readPen(ByteReader& r) {
    PlusPen pen;
    r.u32();  // version
    r.u32();  // type
    const quint32 flags = r.u32();
    pen.unit = int(r.u32());
    pen.width = finiteOr(r.f32(), 1);
    if (flags & 0x0001) {
        r.skip(24);  // pen transform
    }
    if (flags & 0x0002) {
        pen.cap = capFor(r.i32());
    }
    if (flags & 0x0004) {
        r.i32();  // end cap: Qt has one cap for both ends
    }
    if (flags & 0x0008) {
        switch (r.u32()) {
            case 1:
                pen.join = Qt::BevelJoin;
                break;
            case 2:
                pen.join = Qt::RoundJoin;
                break;
            default:
                pen.join = Qt::MiterJoin;
                break;
        }
    }
    if (flags & 0x0010) {
        pen.miterLimit = std::clamp(finiteOr(r.f32(), 10), 1.0, 100.0);
    }
    if (flags & 0x0020) {
        pen.dashStyle = r.i32();
    }
    if (flags & 0x0040) {
        r.u32();  // dashed line cap
    }
    if (flags & 0x0080) {
        pen.dashOffset = finiteOr(r.f32(), 0);
    }
    if (flags & 0x0100) {
        const quint32 count = r.u32();
        if (count > 1024 || !r.has(std::size_t(count) * 4)) {
            return std::nullopt;
        }
        for (quint32 i = 0; i < count; ++i) {
            pen.dashes.push_back(std::clamp(finiteOr(r.f32(), 1), 0.01, 1000.0));
        }
    }
    if (flags & 0x0200) {
        r.i32();  // alignment
    }
    if (flags & 0x0400) {
        const quint32 count = r.u32();
        r.skip(std::size_t(std::min<quint32>(count, 1u << 20)) * 4);
    }
    for (quint32 cap : {0x0800u, 0x1000u}) {
        if (flags & cap) {
            const quint32 size = r.u32();
            std::optional<QPainterPath> shape = readCustomCap(r.sub(r.pos(), size));
            r.skip(size);
            (cap == 0x0800u ? pen.startCap : pen.endCap) = std::move(shape);
        }
    }
    std::optional<QBrush> brush = readBrush(r);
    if (!r.ok() || !brush) {
        return std::nullopt;
    }
    pen.brush = *brush;
    return pen;
}

std::optional<QPainterPath> EmfPlusPlayer::readPath(ByteReader& r) {
    r.u32();  // version
    const quint32 count = r.u32();
    const quint32 flags = r.u32();
    if (!r.ok()) {
        return std::nullopt;
    }
    const std::vector<QPointF> pts = points(r, count, quint16(flags & 0x4800));
    if (pts.size() != count) {
        return std::nullopt;
    }
    std::vector<quint8> types;
    types.reserve(count);
    while (types.size() < count && r.ok()) {
        const quint8 b = r.u8();
        if ((flags & 0x1000) && (b & 0x40)) {
            // A run of equal point types.
            const quint8 type = r.u8();
            const int run = b & 0x3F;
            for (int i = 0; i < run && types.size() < count; ++i) {
                types.push_back(type);
            }
        } else {
            types.push_back(b);
        }
    }
    if (!r.ok()) {
        return std::nullopt;
    }
    QPainterPath path;
    for (quint32 i = 0; i < count; ++i) {
        const quint8 t = types[i];
        switch (t & 0x07) {
            case 0:
                path.moveTo(pts[i]);
                break;
            case 3:
                if (i + 2 < count) {
                    path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
                    i += 2;
                } else {
                    path.lineTo(pts[i]);
                }
                break;
            default:
                path.lineTo(pts[i]);
                break;
        }
        if (types[std::min<std::size_t>(i, count - 1)] & 0x80) {
            path.closeSubpath();
        }
    }
    return path;
}

// A custom line cap: an adjustable arrow, or a fill path of its own.
std::optional<QPainterPath> EmfPlusPlayer::readCustomCap(ByteReader r) {
    r.u32();  // version
    const quint32 type = r.u32();
    if (!r.ok()) {
        return std::nullopt;
    }
    QPainterPath shape;
    if (type == 1) {
        const double width = finiteOr(r.f32(), 0);
        const double height = finiteOr(r.f32(), 0);
        r.f32();  // middle inset
        r.u32();  // fill state: drawn filled either way
        if (!r.ok() || width <= 0 || height <= 0 || width > 1000 || height > 1000) {
            return std::nullopt;
        }
        shape.moveTo(-width / 2, -height);
        shape.lineTo(0, 0);
        shape.lineTo(width / 2, -height);
        shape.closeSubpath();
        return shape;
    }
    const quint32 flags = r.u32();
    r.skip(44);  // base cap and inset, stroke caps, join, miter limit, width scale, hot spots
    if (!r.ok() || !(flags & 0x3)) {
        return std::nullopt;
    }
    const quint32 size = r.u32();
    ByteReader pathReader = r.sub(r.pos(), size);
    std::optional<QPainterPath> path = readPath(pathReader);
    if (!path || !reasonable(path->controlPointRect()) || path->controlPointRect().width() > 1000 ||
        path->controlPointRect().height() > 1000) {
        return std::nullopt;
    }
    return path;
}

std::optional<QPainterPath> EmfPlusPlayer::regionPath(const QByteArray& nodes) const {
    ByteReader r(nodes.constData(), std::size_t(nodes.size()));
    r.u32();  // version
    r.u32();  // node count
    QPainterPath path;
    if (!regionNode(r, path, 0)) {
        return std::nullopt;
    }
    return path;
}

// Resolves one region node into a world-space path; an infinite region is
// the whole target mapped back into world space.
bool EmfPlusPlayer::regionNode(ByteReader& r, QPainterPath& out, int depth) const {
    if (depth > kMaxRegionDepth) {
        return false;
    }
    const quint32 type = r.u32();
    if (!r.ok()) {
        return false;
    }
    switch (type) {
        case 0x10000000: {  // rectangle
            const QRectF box = rect(r, false);
            out = QPainterPath();
            out.addRect(box.normalized());
            return r.ok();
        }
        case 0x10000001: {  // path
            const quint32 size = r.u32();
            ByteReader pathReader = r.sub(r.pos(), size);
            r.skip(size);
            std::optional<QPainterPath> path = readPath(pathReader);
            if (!path || !r.ok()) {
                return false;
            }
            out = *path;
            return true;
        }
        case 0x10000002:  // empty
            out = QPainterPath();
            return true;
        case 0x10000003:  // infinite
            out = infinitePath();
            return true;
        default:
            break;
    }
    if (type < 1 || type > 5) {
        return false;
    }
    QPainterPath left, right;
    if (!regionNode(r, left, depth + 1) || !regionNode(r, right, depth + 1)) {
        return false;
    }
    switch (type) {
        case 1:
            out = left.intersected(right);
            break;
        case 2:
            out = left.united(right);
            break;
        case 3:
            out = left.united(right).subtracted(left.intersected(right));
            break;
        case 4:
            out = left.subtracted(right);
            break;
        default:
            out = right.subtracted(left);
            break;
    }
    return true;
}

QPainterPath EmfPlusPlayer::infinitePath() const {
    bool invertible = false;
    const QTransform back = worldToTarget().inverted(&invertible);
    QPainterPath path;
    if (invertible) {
        path.addPolygon(back.map(QPolygonF(target_.adjusted(-2, -2, 2, 2))));
        path.closeSubpath();
    }
    return path;
}

}  // namespace platform::metafile
