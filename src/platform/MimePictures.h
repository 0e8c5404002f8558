#pragma once

#include <QStringList>

#include "platform/Picture.h"
#include "platform/services/ClipboardService.h"

class QMimeData;

namespace platform {

// The picture formats by number as Linux programs exchange them, by MIME type:
//   bitmap (2)               any image Qt can decode from the data (image/png, image/jpeg, ...)
//   device-independent (8)   a BMP file: image/bmp, image/x-bmp, image/x-ms-bmp
//   metafile (3)             image/wmf, image/x-wmf, application/x-msmetafile
//   enhanced metafile (14)   image/emf, image/x-emf
//   palette (9)              no equivalent; never offered
// Format 0 asks for whichever picture the data holds (bitmap first, then the metafiles).
bool mimeOffersPicture(const QMimeData& data, int format);
// The picture in that format, or an empty picture when the data cannot deliver one.
Picture mimePicture(const QMimeData& data, int format);
// The local files named by a text/uri-list (a file manager's drag).
QStringList mimeLocalFiles(const QMimeData& data);

// Dropped data as a drop handler reads it. It refers to the data of the drop event and is
// valid only while the handler runs.
class MimeDataObject : public DataObject {
  public:
    explicit MimeDataObject(const QMimeData& data) : data_(data) {}
    bool GetFormat(int format) const override;
    Picture GetData(int format) const override;
    QStringList Files() const override;

  private:
    const QMimeData& data_;
};

}  // namespace platform
