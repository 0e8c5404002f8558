#pragma once

#include "platform/metafile/MetafileDocument.h"

#include <QRectF>
#include <optional>

namespace platform::metafile {

// Bounding box of what a WMF's drawing records touch, in the coordinates of
// its frame (window changes followed). GDI's conversion of a WMF without
// picture size information frames the picture by exactly this box.
class WmfContentBounds {
  public:
    static std::optional<QRectF> compute(const MetafileDocument& doc);
};

}  // namespace platform::metafile
