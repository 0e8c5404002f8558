#pragma once

#include "platform/metafile/MetafileDocument.h"

#include <QByteArray>
#include <optional>

namespace platform::metafile {

// A WMF written by converting an enhanced metafile may carry the original
// EMF in META_ESCAPE / MFCOMMENT records tagged "WMFC", split into chunks.
// The EMF is what the writing program drew; the WMF records are a lossy
// conversion of it, so the picture is best drawn from the EMF.
class WmfEmbeddedEmf {
  public:
    static constexpr std::uint32_t kIdentifier = 0x43464D57u;  // "WMFC"
    // Bytes of the chunk header after the escape's function and byte count.
    static constexpr std::size_t kChunkHeaderSize = 34;

    // The embedded EMF's bytes when every chunk is present and consistent,
    // otherwise nothing.
    static std::optional<QByteArray> assemble(const MetafileDocument& wmf);
    // The embedded EMF, parsed, when it is complete and valid.
    static std::optional<MetafileDocument> extract(const MetafileDocument& wmf);
};

}  // namespace platform::metafile
