#pragma once

#include <QString>
#include <vector>

namespace platform::metafile {

// The symbol faces whose codes are pictures rather than letters. Their text
// is turned into the Unicode characters those pictures have had since Unicode
// 7.0, so a face that covers those characters can draw it when the face
// itself is not installed.
enum class SymbolFace { None, Symbol, Wingdings, Wingdings2, Wingdings3, Webdings };

SymbolFace symbolFaceOf(const QString& faceName);

// The Unicode characters `face` shows for `codes` (8-bit codes, or the
// U+F020..U+F0FF codes of the face's own table). A code the face leaves
// empty becomes a space. When `advances` holds one advance per code it is
// rewritten to one per UTF-16 unit of the result (the second half of a
// surrogate pair advancing by nothing).
QString symbolFaceText(SymbolFace face, const QString& codes,
                       std::vector<double>* advances = nullptr);

}  // namespace platform::metafile
