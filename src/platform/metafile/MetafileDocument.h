#pragma once

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QTransform>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform::metafile {

// Location of one record whose size has been checked against the buffer.
struct RecordSpan {
    std::uint32_t type = 0;
    std::uint32_t offset = 0;  // bytes from the start of the file
    std::uint32_t size = 0;    // whole record, in bytes
};

// The parsed, validated form of a metafile: record framing plus what the
// header says about its geometry. Record contents are decoded at playback.
struct MetafileDocument {
    enum class Kind { Wmf, Emf };

    Kind kind = Kind::Wmf;
    QByteArray bytes;
    std::vector<RecordSpan> records;
    QSize naturalSizeTwips;

    // The picture frame in the metafile's device space: playback maps it
    // onto the caller's target rectangle.
    QRectF deviceFrame;
    // WMF: the device-space rectangle the initial window maps onto (the
    // placeable bounding box or the first window); usually deviceFrame.
    QRectF wmfViewport;

    // WMF: object-table size; EMF: handle count.
    std::uint32_t objectCount = 0;

    // EMF reference device resolution, for the fixed mapping modes.
    QPointF devicePixelsPerMm{96 / 25.4, 96 / 25.4};

    // WMF: the enhanced metafile it was converted from, when the file carries
    // it whole; playback draws that instead of the WMF records.
    std::shared_ptr<const MetafileDocument> embeddedEmf;
};

// How many records of each type (by name) were read but neither drawn nor
// applied during one playback.
using SkippedRecords = std::map<std::string, int>;

// Caps that keep hostile files from exhausting memory or time.
inline constexpr std::size_t kMaxRecords = 2'000'000;
inline constexpr std::size_t kMaxObjects = 65536;
inline constexpr qsizetype kMaxFileBytes = qsizetype(512) * 1024 * 1024;

// Maps the picture's frame in device units onto the target rectangle.
inline QTransform frameToTarget(const QRectF& frame, const QRectF& target) {
    const double sx = target.width() / frame.width();
    const double sy = target.height() / frame.height();
    return QTransform(sx, 0, 0, sy, target.left() - frame.left() * sx,
                      target.top() - frame.top() * sy);
}

}  // namespace platform::metafile
