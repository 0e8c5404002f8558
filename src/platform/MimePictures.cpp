#include "platform/MimePictures.h"

#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

#include "platform/FileName.h"
#include "platform/FilePaths.h"
#include "platform/metafile/Metafile.h"

namespace platform {

namespace {

const QStringList& bmpTypes() {
    static const QStringList types = {"image/bmp", "image/x-bmp", "image/x-ms-bmp",
                                      "image/x-win-bitmap"};
    return types;
}

const QStringList& wmfTypes() {
    static const QStringList types = {"image/wmf", "image/x-wmf", "application/x-msmetafile"};
    return types;
}

const QStringList& emfTypes() {
    static const QStringList types = {"image/emf", "image/x-emf"};
    return types;
}

// The first of `types` that the data offers, or empty.
QString offered(const QMimeData& data, const QStringList& types) {
    const QStringList formats = data.formats();
    for (const QString& type : types) {
        for (const QString& format : formats) {
            if (format.compare(type, Qt::CaseInsensitive) == 0)
                return format;
        }
    }
    return {};
}

Picture metafileFrom(const QMimeData& data, const QStringList& types, Metafile::Format wanted) {
    const QString type = offered(data, types);
    if (type.isEmpty())
        return {};
    std::shared_ptr<const Metafile> metafile = Metafile::parse(data.data(type));
    if (!metafile || metafile->format() != wanted)
        return {};
    return Picture::fromMetafile(std::move(metafile));
}

// The image types other than BMP and the metafiles that Qt can decode, as offered.
QStringList rasterTypesOffered(const QMimeData& data) {
    static const QList<QByteArray> readable = QImageReader::supportedMimeTypes();
    QStringList found;
    for (const QString& format : data.formats()) {
        const QString type = format.toLower();
        if (type.startsWith(QLatin1String("image/")) && !bmpTypes().contains(type) &&
            !wmfTypes().contains(type) && !emfTypes().contains(type) &&
            readable.contains(type.toLatin1()))
            found << format;
    }
    return found;
}

bool offersBitmap(const QMimeData& data) {
    return data.hasImage() || !rasterTypesOffered(data).isEmpty();
}

// Qt's own image data where the platform provides it (X11 converts what the other program
// offers), else the first encoded image that decodes.
Picture bitmapFrom(const QMimeData& data) {
    if (data.hasImage()) {
        const QImage image = qvariant_cast<QImage>(data.imageData());
        if (!image.isNull())
            return Picture::fromImage(image);
    }
    for (const QString& type : rasterTypesOffered(data)) {
        const QImage image = QImage::fromData(data.data(type));
        if (!image.isNull())
            return Picture::fromImage(image);
    }
    return {};
}

Picture bmpFrom(const QMimeData& data) {
    const QString type = offered(data, bmpTypes());
    if (type.isEmpty())
        return {};
    const QImage image = QImage::fromData(data.data(type), "BMP");
    return image.isNull() ? Picture() : Picture::fromImage(image);
}

}  // namespace

bool mimeOffersPicture(const QMimeData& data, int format) {
    switch (format) {
        case 0:
            return mimeOffersPicture(data, ClipFormat::Bitmap) ||
                   mimeOffersPicture(data, ClipFormat::DIB) ||
                   mimeOffersPicture(data, ClipFormat::EnhancedMetafile) ||
                   mimeOffersPicture(data, ClipFormat::Metafile);
        case ClipFormat::Bitmap:
            return offersBitmap(data);
        case ClipFormat::DIB:
            return !offered(data, bmpTypes()).isEmpty();
        case ClipFormat::Metafile:
            return !offered(data, wmfTypes()).isEmpty();
        case ClipFormat::EnhancedMetafile:
            return !offered(data, emfTypes()).isEmpty();
        default:
            return false;
    }
}

Picture mimePicture(const QMimeData& data, int format) {
    switch (format) {
        case 0:
            for (int each : {ClipFormat::Bitmap, ClipFormat::DIB, ClipFormat::EnhancedMetafile,
                             ClipFormat::Metafile}) {
                Picture picture = mimePicture(data, each);
                if (!picture.isEmpty())
                    return picture;
            }
            return {};
        case ClipFormat::Bitmap:
            return bitmapFrom(data);
        case ClipFormat::DIB:
            return bmpFrom(data);
        case ClipFormat::Metafile:
            return metafileFrom(data, wmfTypes(), Metafile::Format::Wmf);
        case ClipFormat::EnhancedMetafile:
            return metafileFrom(data, emfTypes(), Metafile::Format::Emf);
        default:
            return {};
    }
}

QStringList mimeLocalFiles(const QMimeData& data) {
    // The URIs as sent: their percent-encoded bytes are the file names' bytes, which need not
    // be UTF-8 (QUrl would turn those into replacement characters).
    QStringList uris;
    const QByteArray list = data.data(QStringLiteral("text/uri-list"));
    for (const QByteArray& line : list.split('\n')) {
        const QByteArray uri = line.trimmed();
        if (!uri.isEmpty() && !uri.startsWith('#'))
            uris << decodeFileName(uri);
    }
    if (uris.isEmpty()) {
        for (const QUrl& url : data.urls())
            uris << url.toString(QUrl::FullyEncoded);
    }
    QStringList files;
    for (const QString& uri : uris) {
        const QString path = pathOfFileUri(uri);
        if (!path.isEmpty())
            files << path;
    }
    return files;
}

bool MimeDataObject::GetFormat(int format) const {
    return format != 0 && mimeOffersPicture(data_, format);
}

Picture MimeDataObject::GetData(int format) const {
    return mimePicture(data_, format);
}

QStringList MimeDataObject::Files() const {
    return mimeLocalFiles(data_);
}

}  // namespace platform
