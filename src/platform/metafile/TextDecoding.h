#pragma once

#include "platform/metafile/ByteReader.h"

#include <QString>

namespace platform::metafile {

// Turns the 8-bit strings of ANSI text records and WMF font names into
// Unicode, honouring the font's character set where Qt can decode it.
class TextDecoding {
  public:
    static QString decodeAnsi(const char* data, qsizetype length, int charset);
    // A NUL-terminated name of at most `maxBytes` bytes.
    static QString decodeAnsiName(ByteReader& reader, int maxBytes);
    // A NUL-terminated UTF-16 name of at most `maxChars` characters.
    static QString decodeUtf16Name(ByteReader& reader, int maxChars);
    // UTF-16LE code units; fonts with the symbol charset map to the private use area.
    static QString decodeUtf16(ByteReader& reader, qsizetype count);
};

}  // namespace platform::metafile
