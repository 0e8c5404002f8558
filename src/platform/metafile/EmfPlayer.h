#pragma once

#include "platform/metafile/MetafileDocument.h"

#include <QPainter>

namespace platform::metafile {

// Plays the records of a parsed EMF onto a painter, mapping the header's
// frame onto `target`. EMF+ comments are skipped: dual files carry the same
// picture as plain EMF records.
class EmfPlayer {
  public:
    static void play(const MetafileDocument& doc, QPainter& painter, const QRectF& target);
};

}  // namespace platform::metafile
