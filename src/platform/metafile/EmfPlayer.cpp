#include "platform/metafile/EmfPlayer.h"

#include "platform/metafile/EmfPlusPlayer.h"
#include "platform/metafile/EmfRecordPlayer.h"
#include "platform/metafile/RecordTypes.h"

#include <QImage>
#include <algorithm>
#include <cmath>

namespace platform::metafile {

void EmfPlayer::play(const MetafileDocument& doc, QPainter& painter, const QRectF& target,
                     SkippedRecords* skipped) {
    const QRectF frame = doc.deviceFrame;
    if (frame.width() == 0 || frame.height() == 0 || target.isEmpty()) {
        return;
    }
    const QTransform deviceToTarget = frameToTarget(frame, target);

    DeviceContext dc(kMaxObjects, doc.devicePixelsPerMm, false);
    dc.state().font.face = QStringLiteral("Arial");
    const double devicePixel = std::sqrt(std::abs(deviceToTarget.determinant()));
    PainterBackend backend(painter, target, devicePixel);
    EmfPlusPlayer plus(painter, target, deviceToTarget, skipped);
    GdiPlayer gdi(dc, backend, deviceToTarget);
    EmfRecordPlayer player(gdi, dc);
    const char* base = doc.bytes.constData();
    for (const RecordSpan& record : doc.records) {
        const ByteReader reader(base + record.offset, record.size);
        if (record.type == std::uint32_t(EmfRecord::EMR_COMMENT) &&
            EmfPlusPlayer::isEmfPlusComment(reader)) {
            plus.playComment(reader);
            backend.invalidateClip();
            continue;
        }
        // Once EMF+ records draw the picture, the EMF records are only its
        // fallback; those after a GetDC record are part of the picture.
        if (plus.active() && !plus.gdiHandOver()) {
            continue;
        }
        if (!player.play(record.type, reader) && skipped) {
            ++(*skipped)[recordName(static_cast<EmfRecord>(record.type))];
        }
        if (plus.active()) {
            plus.invalidateClip();
        }
    }
}

namespace {

// The box, in device pixels, of what the records paint within `area` (which
// becomes the document's frame), drawn at `scale` image pixels per device pixel.
QRectF drawnWithin(MetafileDocument& measured, const QRectF& area, double scale) {
    measured.deviceFrame = area;
    const QSize size((area.size() * scale).toSize());
    QImage ink(size, QImage::Format_Alpha8);
    if (ink.isNull()) {
        return {};
    }
    ink.fill(0);
    QPainter painter(&ink);
    EmfPlayer::play(measured, painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    int left = size.width(), top = size.height(), right = -1, bottom = -1;
    for (int y = 0; y < size.height(); ++y) {
        const uchar* row = ink.constScanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            if (row[x] != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = y;
            }
        }
    }
    if (right < 0) {
        return {};
    }
    return QRectF(area.left() + left / scale, area.top() + top / scale, (right - left + 1) / scale,
                  (bottom - top + 1) / scale);
}

}  // namespace

QRectF EmfPlayer::drawingBounds(MetafileDocument doc, const QSizeF& device) {
    // Drawn over the reference device's surface with a surface to spare on
    // every side, then twice more over what the pass before found, each time
    // closer. The box is of what is painted, clipping and transforms included;
    // the images stay small, so the passes cost little whatever is drawn.
    constexpr double kImageSide = 256;
    const QSizeF surface = device.isEmpty() ? QSizeF(1000, 1000) : device;
    QRectF area(-surface.width(), -surface.height(), 3 * surface.width(), 3 * surface.height());
    QRectF box;
    for (int pass = 0; pass < 3; ++pass) {
        const double scale = std::min(1.0, kImageSide / std::max(area.width(), area.height()));
        box = drawnWithin(doc, area, scale);
        if (box.isEmpty() || scale == 1.0) {
            break;
        }
        const double margin = 2 / scale;
        area = box.adjusted(-margin, -margin, margin, margin);
    }
    return box;
}

}  // namespace platform::metafile
