#include "platform/metafile/EmfPlayer.h"

#include "platform/metafile/EmfPlusPlayer.h"
#include "platform/metafile/EmfRecordPlayer.h"

#include <QPicture>
#include <cmath>

namespace platform::metafile {

void EmfPlayer::play(const MetafileDocument& doc, QPainter& painter, const QRectF& target) {
    const QRectF frame = doc.deviceFrame;
    if (frame.width() == 0 || frame.height() == 0 || target.isEmpty()) {
        return;
    }
    const QTransform deviceToTarget = frameToTarget(frame, target);

    DeviceContext dc(kMaxObjects, doc.devicePixelsPerMm, false);
    dc.state().font.face = QStringLiteral("Arial");
    const double devicePixel = std::sqrt(std::abs(deviceToTarget.determinant()));
    PainterBackend backend(painter, target, devicePixel);
    EmfPlusPlayer plus(painter, target, deviceToTarget);
    GdiPlayer gdi(dc, backend, deviceToTarget);
    EmfRecordPlayer player(gdi, dc);
    const char* base = doc.bytes.constData();
    constexpr std::uint32_t kEmrComment = 70;
    for (const RecordSpan& record : doc.records) {
        const ByteReader reader(base + record.offset, record.size);
        if (record.type == kEmrComment && EmfPlusPlayer::isEmfPlusComment(reader)) {
            plus.playComment(reader);
            backend.invalidateClip();
            continue;
        }
        // Once EMF+ records draw the picture, the EMF records are only its
        // fallback; those after a GetDC record are part of the picture.
        if (plus.active() && !plus.gdiHandOver()) {
            continue;
        }
        player.play(record.type, reader);
        if (plus.active()) {
            plus.invalidateClip();
        }
    }
}

QRectF EmfPlayer::drawingBounds(const MetafileDocument& doc) {
    // Played one device pixel to one unit over a window far larger than any
    // picture, into a recording that keeps the box of what was drawn.
    constexpr double kReach = 1 << 22;
    MetafileDocument measured = doc;
    measured.deviceFrame = QRectF(-kReach, -kReach, 2 * kReach, 2 * kReach);
    QPicture recording;
    QPainter painter(&recording);
    play(measured, painter, measured.deviceFrame);
    painter.end();
    const QRect drawn = recording.boundingRect();
    return drawn.isValid() ? QRectF(drawn) : QRectF();
}

}  // namespace platform::metafile
