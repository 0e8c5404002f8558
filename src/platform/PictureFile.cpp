#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>

#include <algorithm>
#include <deque>
#include <tuple>

#include "platform/Picture.h"
#include "platform/PictureData.h"
#include "platform/PicturePrefetcher.h"
#include "platform/RuntimeError.h"
#include "platform/linux/SafeFileWriter.h"
#include "platform/metafile/Metafile.h"

namespace platform {
namespace {

// Qt refuses decodes above 128 MB by default (about 33 megapixels). The limit is raised
// to 1 GiB (about 268 megapixels) so big photos open in every size mode; a header that
// claims more counts as an undecodable picture rather than exhausting memory.
constexpr int AllocationLimitMegabytes = 1024;
// The largest JPEG that can be shown at full size within that limit (4 bytes a pixel).
constexpr qint64 MaximumJpegPixels = qint64(AllocationLimitMegabytes) * 1024 * 1024 / 4;

void throwForMissingOrUnreadable(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.dir().exists())
        throw RuntimeError(path.isEmpty() ? ErrorNumber::FileNotFound : ErrorNumber::PathNotFound);
    if (!info.exists() || info.isDir())
        throw RuntimeError(ErrorNumber::FileNotFound);
    if (!info.isReadable())
        throw RuntimeError(ErrorNumber::PermissionDenied);
}

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

// The files whose JPEG data decoded completely at load, by path, length and time of last
// change: loading one of them again (the same entry reloaded, a step back in a slide show)
// needs no second check. A few entries are enough for that.
class DecodedJpegs {
  public:
    static DecodedJpegs& instance() {
        static DecodedJpegs decoded;
        return decoded;
    }
    bool contains(const QFileInfo& file) {
        QMutexLocker lock(&mutex_);
        return std::find(entries_.begin(), entries_.end(), keyOf(file)) != entries_.end();
    }
    void add(const QFileInfo& file) {
        QMutexLocker lock(&mutex_);
        entries_.push_front(keyOf(file));
        if (entries_.size() > Capacity)
            entries_.pop_back();
    }

  private:
    static constexpr std::size_t Capacity = 16;
    using Key = std::tuple<QString, qint64, qint64>;
    static Key keyOf(const QFileInfo& file) {
        return {file.absoluteFilePath(), file.size(), file.lastModified().toMSecsSinceEpoch()};
    }
    QMutex mutex_;
    std::deque<Key> entries_;
};

// Decodes the whole of a JPEG's data once: at the size it will be shown when that is a
// scaled-down size (the copy is then ready for painting), otherwise at 1/8 scale.
bool decodesCompletely(JpegPictureData& jpeg, const std::function<QSize(QSize)>& shownSize) {
    const QSize natural = jpeg.sizePixels();
    const QSize shown = shownSize ? shownSize(natural) : QSize();
    if (!shown.isEmpty() && shown.width() < natural.width() && shown.height() < natural.height())
        return !jpeg.imageForSize(shown).isNull();
    return jpeg.decodeSmallest();
}

Picture decodeRaster(QByteArray bytes, const QFileInfo& file,
                     const std::function<QSize(QSize)>& shownSize) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    const QByteArray format = reader.format();
    if (format == "ico" || format == "cur") {
        const QImage icon = largestIcon(reader);
        if (icon.isNull())
            throw RuntimeError(ErrorNumber::InvalidPicture);
        return Picture::fromImage(icon, Picture::Kind::Icon);
    }
    if (format == "jpeg") {
        // The pixels are decoded at the size they are shown. The whole of the data is
        // decoded once now (at 1/8 scale, or at the shown size when the caller knows it), so
        // data the decoder cannot read fails here rather than leaving an empty area under
        // the caption of a picture never shown.
        const QSize size = reader.size();
        if (!size.isValid() || size.isEmpty() ||
            qint64(size.width()) * size.height() > MaximumJpegPixels)
            throw RuntimeError(ErrorNumber::InvalidPicture);
        auto jpeg = std::make_shared<JpegPictureData>(bytes, size);
        if (!DecodedJpegs::instance().contains(file)) {
            if (!decodesCompletely(*jpeg, shownSize))
                throw RuntimeError(ErrorNumber::InvalidPicture);
            DecodedJpegs::instance().add(file);
        }
        return Picture(std::move(jpeg));
    }
    if (format != "gif" && format != "bmp" && format != "dib")
        throw RuntimeError(ErrorNumber::InvalidPicture);
    const QImage image = reader.read();
    if (image.isNull())
        throw RuntimeError(ErrorNumber::InvalidPicture);
    return Picture::fromImage(image);
}

}  // namespace

Picture LoadPicture(const QString& path, const std::function<QSize(QSize)>& shownSize) {
    // The prefetcher checks that the file is still there and unchanged; any error is met
    // by the load itself.
    if (Picture prefetched = PicturePrefetcher::instance().lookup(path); !prefetched.isEmpty())
        return prefetched;
    return loadPictureFile(path, shownSize);
}

Picture loadPictureFile(const QString& path, const std::function<QSize(QSize)>& shownSize) {
    throwForMissingOrUnreadable(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::PermissionDenied);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    if (bytes.isEmpty())
        throw RuntimeError(ErrorNumber::InvalidPicture);

    if (Metafile::hasMetafileSignature(bytes.left(64))) {
        auto metafile = Metafile::parse(bytes);
        if (!metafile)
            throw RuntimeError(ErrorNumber::InvalidPicture);
        return Picture::fromMetafile(std::move(metafile));
    }
    return decodeRaster(bytes, QFileInfo(path), shownSize);
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
