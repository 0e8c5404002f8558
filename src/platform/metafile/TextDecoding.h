#pragma once

#include "platform/metafile/ByteReader.h"

#include <QString>

namespace platform::metafile {

// Turns the 8-bit strings of ANSI text records and WMF font names into
// Unicode, honouring the font's character set where Qt can decode it.
class TextDecoding {
  public:
    // Text in a symbol-charset font keeps its 8-bit codes (see symbolFaceText).
    static QString decodeAnsi(const char* data, qsizetype length, int charset);
    // The Unicode character the Symbol face draws for `code`.
    static char16_t symbolToUnicode(unsigned char code);
    // A NUL-terminated name of at most `maxBytes` bytes.
    static QString decodeAnsiName(ByteReader& reader, int maxBytes);
    // A NUL-terminated UTF-16 name of at most `maxChars` characters.
    static QString decodeUtf16Name(ByteReader& reader, int maxChars);
    // UTF-16LE code units, as they stand.
    static QString decodeUtf16(ByteReader& reader, qsizetype count);
};

}  // namespace platform::metafile
