#pragma once

#include "platform/metafile/MetafileDocument.h"

#include <QPainter>

namespace platform::metafile {

// Plays the records of a parsed WMF onto a painter, mapping the picture
// frame (placeable bounding box or window) onto `target`.
class WmfPlayer {
  public:
    static void play(const MetafileDocument& doc, QPainter& painter, const QRectF& target);
};

}  // namespace platform::metafile
