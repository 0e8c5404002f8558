#pragma once

#include "platform/metafile/MetafileDocument.h"

#include <QByteArray>
#include <optional>

namespace platform::metafile {

// Validates a Windows metafile (placeable or plain) and frames its records.
class WmfParser {
public:
    static constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
    // Frame used when a plain metafile never sets its window extent:
    // 1024 x 768 logical units treated as 96-dpi pixels.
    static constexpr int kDefaultExtent[2] = {1024, 768};

    static bool hasSignature(const QByteArray& head);
    static std::optional<MetafileDocument> parse(const QByteArray& bytes);
};

}  // namespace platform::metafile
