#include "platform/Picture.h"

#include <QBuffer>
#include <QImageReader>
#include <QMutexLocker>
#include <QPainter>
#include <QRectF>
#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "platform/PictureData.h"
#include "platform/Twips.h"
#include "platform/metafile/Metafile.h"

namespace platform {
namespace {
std::atomic<quint64> jpegDecodes{0};
}  // namespace

quint64 JpegPictureData::decodeCount() {
    return jpegDecodes.load();
}

Picture Picture::fromImage(const QImage& image, Kind kind) {
    if (image.isNull())
        return {};
    return Picture(std::make_shared<RasterPictureData>(image, kind));
}

Picture Picture::fromMetafile(std::shared_ptr<const Metafile> metafile) {
    if (!metafile)
        return {};
    return Picture(std::make_shared<MetafilePictureData>(std::move(metafile)));
}

Picture::Kind Picture::kind() const {
    return data_ ? data_->kind() : Kind::Empty;
}

QSize Picture::sizePixels() const {
    return data_ ? data_->sizePixels() : QSize();
}

QSizeF Picture::sizeTwips() const {
    return data_ ? data_->sizeTwips() : QSizeF(0, 0);
}

QImage Picture::toImage() const {
    return data_ ? data_->toImage() : QImage();
}

QImage Picture::imageForSize(const QSize& size) const {
    return data_ ? data_->imageForSize(size) : QImage();
}

void Picture::draw(QPainter& painter, const QRectF& target) const {
    if (data_)
        data_->draw(painter, target);
}

std::shared_ptr<const Metafile> Picture::metafile() const {
    return data_ ? data_->metafile() : nullptr;
}

bool Picture::isJpeg() const {
    return dynamic_cast<const JpegPictureData*>(data_.get()) != nullptr;
}

QImage PictureData::imageForSize(const QSize& size, int tolerance) const {
    if (size.isEmpty())
        return {};
    QMutexLocker lock(&cacheMutex_);
    for (int i = 0; i < cached_.size(); ++i) {
        const QSize cachedSize = cached_.at(i).size();
        if (std::abs(cachedSize.width() - size.width()) <= tolerance &&
            std::abs(cachedSize.height() - size.height()) <= tolerance) {
            cached_.move(i, 0);
            return cached_.first();
        }
    }
    // The smallest cached copy that is at least as big, for pictures that scale it down
    // rather than decode again.
    QImage larger;
    for (const QImage& image : std::as_const(cached_)) {
        if (image.width() >= size.width() && image.height() >= size.height() &&
            (larger.isNull() || image.width() < larger.width()))
            larger = image;
    }
    QImage image = renderAt(size, larger);
    if (image.isNull())
        return image;
    cached_.prepend(image);
    while (cached_.size() > CachedSizes)
        cached_.removeLast();
    return image;
}

QSizeF RasterPictureData::sizeTwips() const {
    return {pixelsToTwips(image_.width()), pixelsToTwips(image_.height())};
}

void RasterPictureData::draw(QPainter& painter, const QRectF& target) const {
    const QSize size = target.size().toSize();
    if (size == image_.size())
        painter.drawImage(target.topLeft(), image_);
    else
        painter.drawImage(target, imageForSize(size));
}

QImage RasterPictureData::renderAt(const QSize& size, const QImage& /*larger*/) const {
    if (size == image_.size())
        return image_;
    return image_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QSizeF JpegPictureData::sizeTwips() const {
    return {pixelsToTwips(size_.width()), pixelsToTwips(size_.height())};
}

void JpegPictureData::draw(QPainter& painter, const QRectF& target) const {
    const QSize size = target.size().toSize();
    if (size.isEmpty())
        return;
    if (size == size_ && painter.hasClipping()) {
        // At natural size only the part inside the clip is seen; when that is a small part
        // of a big photo, decode just that part.
        const QRect seen = painter.clipBoundingRect()
                               .translated(-target.topLeft())
                               .toAlignedRect()
                               .intersected(QRect(QPoint(0, 0), size_));
        if (seen.isEmpty())
            return;
        if (qint64(seen.width()) * seen.height() * 2 < qint64(size_.width()) * size_.height()) {
            painter.drawImage(target.topLeft() + QPointF(seen.topLeft()), decodeArea(seen));
            return;
        }
    }
    // A copy prepared ahead for a size a pixel or two off (rounding) is drawn into place.
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, imageForSize(size, 2));
    painter.restore();
}

QImage JpegPictureData::decodeArea(const QRect& area) const {
    QMutexLocker lock(&areaMutex_);
    if (area == cachedArea_)
        return cachedAreaImage_;
    QBuffer buffer;
    buffer.setData(bytes_);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(false);
    reader.setClipRect(area);
    ++jpegDecodes;
    cachedAreaImage_ = reader.read();
    cachedArea_ = area;
    return cachedAreaImage_;
}

bool JpegPictureData::decodeSmallest() {
    QBuffer buffer;
    buffer.setData(bytes_);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(false);
    // Rounded down, so the decoder picks its 1/8 scale rather than the next one up.
    const QSize eighth(std::max(1, size_.width() / 8), std::max(1, size_.height() / 8));
    reader.setScaledSize(eighth);
    ++jpegDecodes;
    smallest_ = reader.read();
    return !smallest_.isNull();
}

QImage JpegPictureData::renderAt(const QSize& size, const QImage& larger) const {
    // A copy already decoded for a bigger view (the full-screen window over the main one)
    // gives the smaller one by scaling, a fraction of the cost of decoding the file again.
    if (!larger.isNull())
        return larger.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!smallest_.isNull() && size.width() <= smallest_.width() &&
        size.height() <= smallest_.height()) {
        // The decoder would decode at 1/8 for this size too, then scale the same way.
        if (size == smallest_.size())
            return smallest_;
        return smallest_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QBuffer buffer;
    buffer.setData(bytes_);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(false);
    if (size != size_)
        reader.setScaledSize(size);
    ++jpegDecodes;
    QImage image = reader.read();
    // A body the decoder cannot read shows as an empty area, like an undecodable file.
    if (image.isNull())
        return image;
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QSize MetafilePictureData::sizePixels() const {
    const QSizeF twips = sizeTwips();
    return {twipsToPixels(twips.width()), twipsToPixels(twips.height())};
}

QSizeF MetafilePictureData::sizeTwips() const {
    return QSizeF(metafile_->naturalSizeTwips());
}

void MetafilePictureData::draw(QPainter& painter, const QRectF& target) const {
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    metafile_->render(painter, target);
    painter.restore();
}

QImage MetafilePictureData::renderAt(const QSize& size, const QImage& /*larger*/) const {
    return metafile_->toImage(size, Qt::white);
}

}  // namespace platform
