#pragma once

#include <QStringList>

#include "platform/Picture.h"

namespace platform {

// Clipboard picture formats by number.
namespace ClipFormat {
constexpr int Bitmap = 2;
constexpr int Metafile = 3;
constexpr int DIB = 8;
constexpr int Palette = 9;
constexpr int EnhancedMetafile = 14;
}  // namespace ClipFormat

class ClipboardService {
  public:
    virtual ~ClipboardService() = default;
    virtual void Clear() = 0;
    // Puts a picture on the clipboard; an icon cannot be carried and leaves it as it is.
    virtual void SetData(const Picture& picture, int format) = 0;
    virtual Picture GetData(int format) = 0;
    virtual bool GetFormat(int format) = 0;
};

// Drop effects a drop handler may report.
constexpr long DropEffectNone = 0;
constexpr long DropEffectCopy = 1;

// Data carried by a drag and drop.
class DataObject {
  public:
    virtual ~DataObject() = default;
    virtual bool GetFormat(int format) const = 0;
    virtual Picture GetData(int format) const = 0;
    // Files dropped from a file manager (full paths).
    virtual QStringList Files() const = 0;
};

}  // namespace platform
