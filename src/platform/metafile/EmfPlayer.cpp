#include "platform/metafile/EmfPlayer.h"

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
    PainterBackend backend(painter, target, std::sqrt(std::abs(deviceToTarget.determinant())));
    GdiPlayer gdi(dc, backend, deviceToTarget);
    EmfRecordPlayer player(gdi, dc);
    const char* base = doc.bytes.constData();
    for (const RecordSpan& record : doc.records) {
        player.play(record.type, ByteReader(base + record.offset, record.size));
    }
}

}  // namespace platform::metafile
