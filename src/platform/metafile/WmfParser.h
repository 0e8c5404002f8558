#pragma once

#include "platform/metafile/MetafileDocument.h"

#include <QByteArray>
#include <optional>

namespace platform::metafile {

// Validates a Windows metafile (placeable or plain) and frames its records.
class WmfParser {
  public:
    static constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
    // A plain metafile that never sets its window extent is framed by the
    // bounding box of what it draws, in logical units taken as 96-dpi
    // pixels; when nothing can be measured, by this 1024 x 768 page.
    static constexpr int kDefaultExtent[2] = {1024, 768};

    static bool hasSignature(const QByteArray& head);
    static std::optional<MetafileDocument> parse(const QByteArray& bytes);
};

}  // namespace platform::metafile
