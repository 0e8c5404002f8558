#include "platform/metafile/WmfPlayer.h"

#include "platform/metafile/EmfPlayer.h"
#include "platform/metafile/RecordTypes.h"
#include "platform/metafile/WmfRecordPlayer.h"

namespace platform::metafile {

void WmfPlayer::play(const MetafileDocument& doc, QPainter& painter, const QRectF& target,
                     SkippedRecords* skipped) {
    if (doc.embeddedEmf) {
        // The picture as its maker drew it, placed where the WMF puts it.
        EmfPlayer::play(*doc.embeddedEmf, painter, target, skipped);
        return;
    }
    const QRectF frame = doc.deviceFrame;
    if (frame.width() == 0 || frame.height() == 0 || target.isEmpty()) {
        return;
    }
    const QTransform deviceToTarget = frameToTarget(frame, target);

    DeviceContext dc(

        std::min<std::size_t>(std::max<std::size_t>(doc.objectCount, 16) + 16, kMaxObjects),
        QPointF(1, 1), true);
    DcState& s = dc.state();
    s.mapMode = 8;
    const QRectF viewport = doc.wmfViewport;
    s.windowOrg = s.viewportOrg = viewport.topLeft();
    s.windowExt = s.viewportExt = QPointF(viewport.width(), viewport.height());
    s.font.face = QStringLiteral("Arial");
    s.font.height = 0;

    // A WMF has no reference device: it plays onto the target's pixels.
    PainterBackend backend(painter, target, 1.0);
    GdiPlayer gdi(dc, backend, deviceToTarget);
    WmfRecordPlayer player(gdi, dc);
    const char* base = doc.bytes.constData();
    for (const RecordSpan& record : doc.records) {
        if (!player.play(static_cast<std::uint16_t>(record.type),
                         ByteReader(base + record.offset + 6, record.size - 6)) &&
            skipped) {
            ++(*skipped)[recordName(static_cast<WmfRecord>(record.type))];
        }
    }
}

}  // namespace platform::metafile
