#include "platform/Picture.h"

#include <QMutexLocker>
#include <QPainter>
#include <QRectF>
#include <algorithm>
#include <cstdlib>

#include "platform/JpegDecoder.h"
#include "platform/OpenedFile.h"
#include "platform/PictureData.h"
#include "platform/Twips.h"
#include "platform/metafile/Metafile.h"

namespace platform {
namespace {

// Device pixels per logical pixel of what the painter paints on (2 on a screen at 200 %).
double ratioOf(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    return device ? device->devicePixelRatio() : 1.0;
}

}  // namespace

QSize devicePixelSize(QSizeF logical, double ratio) {
    return {std::max(1, qRound(logical.width() * ratio)),
            std::max(1, qRound(logical.height() * ratio))};
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

void PictureData::remember(const QImage& image) const {
    if (image.isNull())
        return;
    QMutexLocker lock(&cacheMutex_);
    cached_.prepend(image);
    while (cached_.size() > CachedSizes)
        cached_.removeLast();
}

QSizeF RasterPictureData::sizeTwips() const {
    return {pixelsToTwips(image_.width()), pixelsToTwips(image_.height())};
}

void RasterPictureData::draw(QPainter& painter, const QRectF& target) const {
    const QSize size = target.size().toSize();
    if (size == image_.size())
        painter.drawImage(target.topLeft(), image_);
    else
        // Scaled once to the device pixels of the target, which the painter then copies
        // one to one.
        painter.drawImage(target, imageForSize(devicePixelSize(target.size(), ratioOf(painter))));
}

QImage RasterPictureData::renderAt(const QSize& size, const QImage& /*larger*/) const {
    if (size == image_.size())
        return image_;
    return image_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

JpegPictureData::JpegPictureData(std::shared_ptr<const OpenedFile> file, QSize size)
    : file_(std::move(file)), size_(size) {}

QSizeF JpegPictureData::sizeTwips() const {
    return {pixelsToTwips(size_.width()), pixelsToTwips(size_.height())};
}

bool JpegPictureData::decodeFor(const ShownView& view, const LoadProgress& progress) {
    JpegRequest request;
    request.cancel = progress.cancel;
    if (progress.preview) {
        const QSize natural = size_;
        request.preview = [&progress, natural](const QImage& coarse) {
            progress.preview(coarse, natural);
        };
    }
    // Without a view the cheapest whole read: the decoder's smallest scale.
    // At natural size the picture's own pixels; scaled, the screen's device pixels.
    if (view.size.isEmpty())
        request.size = QSize(std::max(1, size_.width() / 8), std::max(1, size_.height() / 8));
    else if (view.size == size_)
        request.size = size_;
    else
        request.size = devicePixelSize(view.size, view.devicePixelRatio);
    const QRect whole(QPoint(0, 0), size_);
    if (request.size == size_ && !view.visible.isEmpty() && !view.visible.contains(whole)) {
        request.visible = view.visible.intersected(whole);
        const QImage area = decodeJpeg(*file_, request);
        if (area.isNull())
            return false;
        QMutexLocker lock(&areaMutex_);
        cachedArea_ = request.visible;
        cachedAreaImage_ = area;
        return true;
    }
    const QImage image = decodeJpeg(*file_, request);
    remember(image);
    return !image.isNull();
}

void JpegPictureData::draw(QPainter& painter, const QRectF& target) const {
    const QSize size = target.size().toSize();
    if (size.isEmpty())
        return;
    if (size == size_ && painter.hasClipping()) {
        // At natural size only the part inside the clip is seen; when that is a small part
        // of a big photo, only that part is decoded (or taken from the load's decode).
        const QRect seen = painter.clipBoundingRect()
                               .translated(-target.topLeft())
                               .toAlignedRect()
                               .intersected(QRect(QPoint(0, 0), size_));
        if (seen.isEmpty())
            return;
        QRect decoded;
        const QImage area = decodedArea(seen, decoded);
        if (!area.isNull()) {
            painter.drawImage(target.topLeft() + QPointF(decoded.topLeft()), area);
            return;
        }
    }
    // Drawn from a copy at the target's device pixels; one prepared ahead for a size a pixel
    // or two off (rounding) is drawn into place.
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, imageForSize(devicePixelSize(target.size(), ratioOf(painter)), 2));
    painter.restore();
}

QImage JpegPictureData::decodedArea(const QRect& area, QRect& decoded) const {
    QMutexLocker lock(&areaMutex_);
    if (!cachedArea_.isEmpty() && cachedArea_.contains(area)) {
        decoded = cachedArea_;
        return cachedAreaImage_;
    }
    // A part of half the picture or more is decoded whole, and kept with the sizes.
    if (qint64(area.width()) * area.height() * 2 >= qint64(size_.width()) * size_.height())
        return {};
    JpegRequest request;
    request.size = size_;
    request.visible = area;
    request.readAll = false;  // read through once at load already
    cachedAreaImage_ = decodeJpeg(*file_, request);
    cachedArea_ = cachedAreaImage_.isNull() ? QRect() : area;
    decoded = cachedArea_;
    return cachedAreaImage_;
}

QImage JpegPictureData::renderAt(const QSize& size, const QImage& larger) const {
    // A copy already decoded for a bigger view (the full-screen window over the main one)
    // gives the smaller one by scaling, a fraction of the cost of decoding the file again.
    if (!larger.isNull())
        return larger.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    JpegRequest request;
    request.size = size;
    request.readAll = false;
    // A body the decoder cannot read shows as an empty area, like an undecodable file.
    return decodeJpeg(*file_, request);
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
