#include "platform/metafile/EmfPlayer.h"

#include "platform/metafile/EmfPlusPlayer.h"
#include "platform/metafile/EmfRecordPlayer.h"

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

}  // namespace platform::metafile
