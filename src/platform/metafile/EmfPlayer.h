#pragma once

#include "platform/metafile/MetafileDocument.h"

#include <QPainter>

namespace platform::metafile {

// Plays the records of a parsed EMF onto a painter, mapping the header's
// frame onto `target`. Once EMF+ records appear they draw the picture and the
// plain EMF records are its fallback, except after an EMF+ GetDC record.
class EmfPlayer {
  public:
    // Counts the records it reads but neither draws nor applies in `skipped`
    // when given.
    static void play(const MetafileDocument& doc, QPainter& painter, const QRectF& target,
                     SkippedRecords* skipped = nullptr);
    // The box, in device pixels, of everything the records draw (after every
    // mapping and world transform) near the reference device's surface of
    // `device` pixels; empty when they draw nothing there. Frames a picture
    // whose header gives neither frame nor bounds.
    static QRectF drawingBounds(MetafileDocument doc, const QSizeF& device);
};

}  // namespace platform::metafile
