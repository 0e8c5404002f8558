#include "platform/metafile/WmfParser.h"

#include "platform/metafile/RecordTypes.h"

#include "platform/metafile/ByteReader.h"
#include "platform/metafile/WmfContentBounds.h"
#include "platform/metafile/WmfEmbeddedEmf.h"

#include <cmath>

namespace platform::metafile {

namespace {

constexpr auto kMetaEof = std::uint16_t(WmfRecord::META_EOF);
constexpr auto kMetaSetWindowOrg = std::uint16_t(WmfRecord::META_SETWINDOWORG);
constexpr auto kMetaSetWindowExt = std::uint16_t(WmfRecord::META_SETWINDOWEXT);
constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kHeaderSize = 18;
// How far drawing may stray outside a placeable bounding box before the
// drawing itself defines the frame.
constexpr double kSpillTolerance = 0.1;

bool isWmfHeader(ByteReader r) {
    const std::uint16_t type = r.u16();
    const std::uint16_t headerWords = r.u16();
    const std::uint16_t version = r.u16();
    return r.ok() && (type == 1 || type == 2) && headerWords == 9 &&
           (version == 0x0100 || version == 0x0300);
}

// The window origin and extent the records set before the first extent.
struct WindowSettings {
    std::optional<QPointF> org;
    std::optional<QPointF> ext;
};

// Lists the records from `pos` on; stops at EOF or at the first record that
// does not fit.
WindowSettings frameRecords(MetafileDocument& doc, std::size_t pos) {
    const QByteArray& bytes = doc.bytes;
    const std::size_t end = std::size_t(bytes.size());
    WindowSettings window;
    while (pos + 6 <= end && doc.records.size() < kMaxRecords) {
        ByteReader rec(bytes.constData() + pos, end - pos);
        const std::uint64_t words = rec.u32();
        const std::uint16_t function = rec.u16();
        const std::uint64_t size = words * 2;
        if (function == kMetaEof || size < 6 || size > end - pos) {
            break;
        }
        if (!window.ext && (function == kMetaSetWindowOrg || function == kMetaSetWindowExt) &&
            size >= 10) {
            const double y = rec.i16();
            const double x = rec.i16();
            if (function == kMetaSetWindowOrg) {
                window.org = QPointF(x, y);
            } else if (x != 0 && y != 0) {
                window.ext = QPointF(x, y);
            }
        }
        doc.records.push_back({function, std::uint32_t(pos), std::uint32_t(size)});
        pos += size;
    }
    return window;
}

// The device frame and natural size: a placeable file's bounding box, else
// the window the records set, else what the records draw.
void setFrame(MetafileDocument& doc, const std::optional<QRectF>& bbox, double unitsPerInch,
              const WindowSettings& window) {
    if (bbox && bbox->width() > 0 && bbox->height() > 0) {
        doc.deviceFrame = *bbox;
        doc.naturalSizeTwips = QSize(int(std::lround(bbox->width() * 1440 / unitsPerInch)),
                                     int(std::lround(bbox->height() * 1440 / unitsPerInch)));
    } else if (window.ext) {
        const QPointF org = window.org.value_or(QPointF(0, 0));
        doc.deviceFrame = QRectF(org.x(), org.y(), window.ext->x(), window.ext->y());
        doc.naturalSizeTwips = QSize(int(std::min(std::abs(window.ext->x()), 1e6)),
                                     int(std::min(std::abs(window.ext->y()), 1e6)));
    } else {
        // No size information at all: coordinates are device pixels, and the
        // picture is what the records draw (or a default page if that fails).
        doc.deviceFrame = QRectF(0, 0, WmfParser::kDefaultExtent[0], WmfParser::kDefaultExtent[1]);
        if (const auto content = WmfContentBounds::compute(doc)) {
            doc.deviceFrame = *content;
        }
        doc.naturalSizeTwips =
            QSize(int(std::lround(std::min(doc.deviceFrame.width(), 1e5) * 15)),
                  int(std::lround(std::min(doc.deviceFrame.height(), 1e5) * 15)));
    }
}

// A drawing that spills well past its bounding box is framed by what it
// draws, as GDI does when it converts such a metafile.
void frameSpilledDrawing(MetafileDocument& doc) {
    if (const auto content = WmfContentBounds::compute(doc)) {
        const QRectF& frame = doc.deviceFrame;
        const double slackX = frame.width() * kSpillTolerance;
        const double slackY = frame.height() * kSpillTolerance;
        if (content->left() < frame.left() - slackX || content->right() > frame.right() + slackX ||
            content->top() < frame.top() - slackY || content->bottom() > frame.bottom() + slackY) {
            doc.deviceFrame = *content;
        }
    }
}

}  // namespace

bool WmfParser::hasSignature(const QByteArray& head) {
    ByteReader r(head.constData(), std::size_t(head.size()));
    if (r.u32() == kPlaceableKey && r.ok()) {
        return true;
    }
    return isWmfHeader(ByteReader(head.constData(), std::size_t(head.size())));
}

std::optional<MetafileDocument> WmfParser::parse(const QByteArray& bytes) {
    if (bytes.size() > kMaxFileBytes) {
        return std::nullopt;
    }
    ByteReader r(bytes.constData(), std::size_t(bytes.size()));
    MetafileDocument doc;
    doc.bytes = bytes;
    doc.kind = MetafileDocument::Kind::Wmf;

    bool placeable = false;
    QRectF bbox;
    double unitsPerInch = 1440;
    std::size_t start = 0;
    if (r.u32() == kPlaceableKey && r.ok()) {
        placeable = true;
        r.u16();  // handle
        const double left = r.i16(), top = r.i16(), right = r.i16(), bottom = r.i16();
        const std::uint16_t inch = r.u16();
        if (!r.ok()) {
            return std::nullopt;
        }
        bbox = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
        unitsPerInch = inch != 0 ? inch : 1440;
        start = kPlaceableSize;
    }
    ByteReader header = r.sub(start, kHeaderSize);
    if (!isWmfHeader(header)) {
        return std::nullopt;
    }
    header.seek(10);
    doc.objectCount = header.u16();

    const WindowSettings window = frameRecords(doc, start + kHeaderSize);
    if (doc.records.empty()) {
        return std::nullopt;
    }
    setFrame(doc, placeable ? std::optional<QRectF>(bbox) : std::nullopt, unitsPerInch, window);
    if (doc.naturalSizeTwips.width() <= 0 || doc.naturalSizeTwips.height() <= 0) {
        return std::nullopt;
    }
    doc.wmfViewport = doc.deviceFrame;
    if (placeable) {
        frameSpilledDrawing(doc);
    }
    if (auto emf = WmfEmbeddedEmf::extract(doc)) {
        // A plain WMF only has a window extent in units of no stated size;
        // the EMF it carries declares the picture's physical frame.
        if (!placeable) {
            doc.naturalSizeTwips = emf->naturalSizeTwips;
        }
        doc.embeddedEmf = std::make_shared<const MetafileDocument>(std::move(*emf));
    }
    return doc;
}

}  // namespace platform::metafile
