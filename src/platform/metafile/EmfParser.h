#pragma once

#include "platform/metafile/MetafileDocument.h"

#include <QByteArray>
#include <optional>

namespace platform::metafile {

// Validates an enhanced metafile header and frames its records.
class EmfParser {
  public:
    static constexpr std::uint32_t kSignature = 0x464D4520u;  // " EMF"

    static bool hasSignature(const QByteArray& head);
    static std::optional<MetafileDocument> parse(const QByteArray& bytes);
};

}  // namespace platform::metafile
