#pragma once

#include "platform/metafile/MetafileDocument.h"

#include <QPainter>

namespace platform::metafile {

// Plays the records of a parsed WMF onto a painter, mapping the picture
// frame (placeable bounding box or window) onto `target`.
class WmfPlayer {
  public:
    // Counts the records it reads but neither draws nor applies in `skipped`
    // when given.
    static void play(const MetafileDocument& doc, QPainter& painter, const QRectF& target,
                     SkippedRecords* skipped = nullptr);
};

}  // namespace platform::metafile
