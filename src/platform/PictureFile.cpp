#include <unistd.h>
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>

#include "platform/JpegDecoder.h"
#include "platform/OpenedFile.h"
#include "platform/Picture.h"
#include "platform/PictureData.h"
#include "platform/PictureLimits.h"
#include "platform/RuntimeError.h"
#include "platform/linux/SafeFileWriter.h"
#include "platform/metafile/Metafile.h"

namespace platform {
namespace {

// The largest JPEG shown: within the program's decode limit at full size (4 bytes a pixel).
constexpr qint64 MaximumJpegPixels = qint64(PictureAllocationLimitMegabytes) * 1024 * 1024 / 4;
// A progressive JPEG this large shows a coarse picture while the rest of it decodes.
constexpr qint64 PreviewPixels = 2 * 1000 * 1000;

QImage largestIcon(QImageReader& reader) {
    QImage best;
    const int count = std::max(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        QImage candidate = reader.read();
        if (!candidate.isNull() && (best.isNull() || candidate.width() * candidate.height() >
                                                         best.width() * best.height()))
            best = candidate;
    }
    return best;
}

quint32 littleEndian32(const QByteArray& bytes, int at) {
    if (bytes.size() < at + 4)
        return 0;
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + at;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// How many bytes a metafile says it has: an EMF's header gives its length, a WMF's its
// length in 16-bit words (after the 22-byte placeable header, when there is one). The whole
// file when the header says nothing usable.
qint64 metafileLength(const QByteArray& head, qint64 fileSize) {
    qint64 declared = 0;
    if (littleEndian32(head, 0) == 1)  // EMR_HEADER
        declared = littleEndian32(head, 48);
    else if (littleEndian32(head, 0) == 0x9AC6CDD7)  // placeable WMF
        declared = 22 + qint64(littleEndian32(head, 22 + 6)) * 2;
    else
        declared = qint64(littleEndian32(head, 6)) * 2;
    return declared >= head.size() && declared <= fileSize ? declared : fileSize;
}

Picture loadJpeg(std::shared_ptr<const OpenedFile> file, const ShownViewFor& shownView,
                 const LoadProgress& progress) {
    const JpegHeader header = readJpegHeader(*file);
    const QSize size = header.size;
    if (!size.isValid() || size.isEmpty() ||
        qint64(size.width()) * size.height() > MaximumJpegPixels)
        throw RuntimeError(ErrorNumber::InvalidPicture);
    auto jpeg = std::make_shared<JpegPictureData>(std::move(file), size);
    // The one decode of the load produces the pixels shown and reads all of the data on the
    // way, so data the decoder cannot read fails here rather than leaving an empty area under
    // the caption of a picture never shown.
    LoadProgress wanted = progress;
    if (!header.progressive || qint64(size.width()) * size.height() < PreviewPixels)
        wanted.preview = nullptr;
    if (!jpeg->decodeFor(shownView ? shownView(size) : ShownView(), wanted))
        throw RuntimeError(ErrorNumber::InvalidPicture);
    return Picture(std::move(jpeg));
}

Picture loadOther(const OpenedFile& file) {
    // Read from the open file as the decoder asks, so only what the picture holds is read.
    QFile device;
    const int fd = ::dup(file.descriptor());
    if (fd < 0 || !device.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    QImageReader reader(&device);
    reader.setAutoTransform(false);
    const QByteArray format = reader.format();
    if (format == "ico" || format == "cur") {
        const QImage icon = largestIcon(reader);
        if (icon.isNull())
            throw RuntimeError(ErrorNumber::InvalidPicture);
        return Picture::fromImage(icon, Picture::Kind::Icon);
    }
    if (format != "gif" && format != "bmp" && format != "dib")
        throw RuntimeError(ErrorNumber::InvalidPicture);
    const QImage image = reader.read();
    if (image.isNull())
        throw RuntimeError(ErrorNumber::InvalidPicture);
    return Picture::fromImage(image);
}

}  // namespace

Picture LoadPicture(const QString& path, const ShownViewFor& shownView,
                    const LoadProgress& progress) {
    std::shared_ptr<const OpenedFile> file = OpenedFile::open(path);
    const QByteArray head = file->read(0, 64);
    if (head.isEmpty())
        throw RuntimeError(ErrorNumber::InvalidPicture);
    if (looksLikeJpeg(head))
        return loadJpeg(std::move(file), shownView, progress);
    if (Metafile::hasMetafileSignature(head)) {
        auto metafile = Metafile::parse(file->read(0, metafileLength(head, file->size())));
        if (!metafile)
            throw RuntimeError(ErrorNumber::InvalidPicture);
        return Picture::fromMetafile(std::move(metafile));
    }
    return loadOther(*file);
}

void SavePicture(const Picture& picture, const QString& path) {
    if (picture.isEmpty())
        throw RuntimeError(ErrorNumber::InvalidPicture);
    // Checked before the picture is encoded: a bad name costs no work.
    SafeFileWriter file(path);
    QImage image = picture.toImage();
    if (image.hasAlphaChannel()) {
        // A bitmap file has no transparency: flatten onto white like a desktop would show it.
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter(&flat).drawImage(0, 0, image);
        image = flat;
    }
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "bmp").write(image))
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    file.write(encoded);
    file.commit();
}

}  // namespace platform
