#include "platform/metafile/EmfParser.h"

#include "platform/metafile/RecordTypes.h"

#include "platform/metafile/ByteReader.h"
#include "platform/metafile/EmfPlayer.h"

#include <cmath>

namespace platform::metafile {

namespace {

constexpr auto kEmrHeader = std::uint32_t(EmfRecord::EMR_HEADER);
constexpr auto kEmrEof = std::uint32_t(EmfRecord::EMR_EOF);
constexpr std::uint32_t kMinHeaderSize = 88;

QRectF readRect(ByteReader& r) {
    const double left = r.i32(), top = r.i32(), right = r.i32(), bottom = r.i32();
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

}  // namespace

bool EmfParser::hasSignature(const QByteArray& head) {
    ByteReader r(head.constData(), std::size_t(head.size()));
    const std::uint32_t type = r.u32();
    r.seek(40);
    return r.u32() == kSignature && r.ok() && type == kEmrHeader;
}

std::optional<MetafileDocument> EmfParser::parse(const QByteArray& bytes) {
    if (bytes.size() > kMaxFileBytes || !hasSignature(bytes)) {
        return std::nullopt;
    }
    const std::size_t end = std::size_t(bytes.size());
    ByteReader r(bytes.constData(), end);
    r.u32();
    const std::uint32_t headerSize = r.u32();
    if (headerSize < kMinHeaderSize || headerSize > end) {
        return std::nullopt;
    }
    const QRectF bounds = readRect(r);
    const QRectF frame = readRect(r);
    r.seek(48);
    r.u32();  // file size, often wrong
    r.u32();  // record count, often wrong
    const std::uint16_t handles = r.u16();
    r.seek(72);
    const double deviceWidth = r.i32(), deviceHeight = r.i32();
    const double mmWidth = r.i32(), mmHeight = r.i32();
    if (!r.ok()) {
        return std::nullopt;
    }

    MetafileDocument doc;
    doc.bytes = bytes;
    doc.kind = MetafileDocument::Kind::Emf;
    doc.objectCount = handles;
    if (deviceWidth > 0 && deviceHeight > 0 && mmWidth > 0 && mmHeight > 0) {
        doc.devicePixelsPerMm = QPointF(deviceWidth / mmWidth, deviceHeight / mmHeight);
    }

    // rclFrame is inclusive and in hundredths of a millimetre.
    const double frameWidth = frame.width() + 1;
    const double frameHeight = frame.height() + 1;
    const QPointF& ppmm = doc.devicePixelsPerMm;
    auto twipsOfDevice = [&ppmm](const QSizeF& pixels) {
        return QSize(int(std::lround(std::min(pixels.width() / ppmm.x(), 1e6) * 1440 / 25.4)),
                     int(std::lround(std::min(pixels.height() / ppmm.y(), 1e6) * 1440 / 25.4)));
    };
    bool measure = false;
    if (frame.width() > 0 && frame.height() > 0) {
        doc.deviceFrame = QRectF(frame.left() * ppmm.x() / 100, frame.top() * ppmm.y() / 100,
                                 frameWidth * ppmm.x() / 100, frameHeight * ppmm.y() / 100);
        doc.naturalSizeTwips = QSize(int(std::lround(std::min(frameWidth, 1e8) * 1440 / 2540)),
                                     int(std::lround(std::min(frameHeight, 1e8) * 1440 / 2540)));
    } else if (bounds.width() > 0 && bounds.height() > 0) {
        // No usable frame: fall back to the bounds, which are device pixels.
        doc.deviceFrame =
            QRectF(bounds.left(), bounds.top(), bounds.width() + 1, bounds.height() + 1);
        doc.naturalSizeTwips = twipsOfDevice(doc.deviceFrame.size());
    } else {
        // Neither: the picture is framed by what its records draw.
        measure = true;
    }
    if (!measure && (doc.naturalSizeTwips.width() <= 0 || doc.naturalSizeTwips.height() <= 0)) {
        return std::nullopt;
    }

    // Frame the records after the header; stop at EOF or at the first
    // record whose size is impossible.
    std::size_t pos = headerSize;
    while (pos + 8 <= end && doc.records.size() < kMaxRecords) {
        ByteReader rec(bytes.constData() + pos, end - pos);
        const std::uint32_t type = rec.u32();
        const std::uint32_t size = rec.u32();
        if (size < 8 || size > end - pos || (size % 4) != 0) {
            break;
        }
        if (type == kEmrEof) {
            break;
        }
        doc.records.push_back({type, std::uint32_t(pos), size});
        pos += size;
    }
    if (measure) {
        // Pictures nested in the one being measured are not measured in turn:
        // a file could otherwise nest itself until the stack runs out.
        static thread_local bool measuring = false;
        if (measuring) {
            return std::nullopt;
        }
        measuring = true;
        doc.deviceFrame = EmfPlayer::drawingBounds(doc, QSizeF(deviceWidth, deviceHeight));
        measuring = false;
        doc.naturalSizeTwips = twipsOfDevice(doc.deviceFrame.size());
        if (doc.naturalSizeTwips.width() <= 0 || doc.naturalSizeTwips.height() <= 0) {
            return std::nullopt;
        }
    }
    return doc;
}

}  // namespace platform::metafile
