#pragma once

#include <QImage>
#include <QList>
#include <QMutex>
#include <QRect>
#include <QSize>
#include <QSizeF>

#include "platform/Picture.h"

class QPainter;
class QRectF;

namespace platform {

// What a Picture shares: the decoded or parsed content and a one-entry cache of the
// last scaled copy asked for.
class PictureData {
  public:
    virtual ~PictureData() = default;
    virtual Picture::Kind kind() const = 0;
    virtual QSize sizePixels() const = 0;
    virtual QSizeF sizeTwips() const = 0;
    virtual QImage toImage() const = 0;
    virtual void draw(QPainter& painter, const QRectF& target) const = 0;
    virtual std::shared_ptr<const Metafile> metafile() const { return nullptr; }

    // The picture at `size`; a cached copy up to `tolerance` pixels off in either direction
    // is good enough (the caller then draws it into its exact rectangle).
    QImage imageForSize(const QSize& size, int tolerance = 0) const;

  protected:
    // Keeps `image` as the copy for its size, as if drawn by renderAt.
    void remember(const QImage& image) const;
    // Draws the picture at `size`. `larger` is a cached copy at least that big in both
    // directions (or null): a picture whose source is costly to decode may scale it down
    // instead of decoding again.
    virtual QImage renderAt(const QSize& size, const QImage& larger) const = 0;

  private:
    // The last two sizes drawn: the main window and the full-screen view can each keep
    // theirs without decoding the picture again on every paint.
    static constexpr int CachedSizes = 2;
    mutable QMutex cacheMutex_;
    mutable QList<QImage> cached_;  // most recently used first
};

class RasterPictureData : public PictureData {
  public:
    RasterPictureData(QImage image, Picture::Kind kind) : image_(std::move(image)), kind_(kind) {}
    Picture::Kind kind() const override { return kind_; }
    QSize sizePixels() const override { return image_.size(); }
    QSizeF sizeTwips() const override;
    QImage toImage() const override { return image_; }
    void draw(QPainter& painter, const QRectF& target) const override;

  protected:
    QImage renderAt(const QSize& size, const QImage& larger) const override;

  private:
    QImage image_;
    Picture::Kind kind_;
};

class OpenedFile;

// A JPEG kept as its open file and decoded at the size it is shown, so a big photo fitted to
// a small area is decoded at 1/2, 1/4 or 1/8 scale by the JPEG decoder itself, and one shown
// at its natural size is decoded only where it is seen. The full-size pixels are never held
// unless the picture is shown whole at full size.
class JpegPictureData : public PictureData {
  public:
    JpegPictureData(std::shared_ptr<const OpenedFile> file, QSize size);
    // The decode at load: the picture for `view` (an empty size: 1/8 of natural size),
    // reading all of its data, kept for painting. False when the decoder gives up on the data
    // or the load is given up.
    bool decodeFor(const ShownView& view, const LoadProgress& progress);
    Picture::Kind kind() const override { return Picture::Kind::Raster; }
    QSize sizePixels() const override { return size_; }
    QSizeF sizeTwips() const override;
    QImage toImage() const override { return imageForSize(size_); }
    void draw(QPainter& painter, const QRectF& target) const override;

  protected:
    QImage renderAt(const QSize& size, const QImage& larger) const override;

  private:
    // The part `area` of the picture at full size, decoded at load or now.
    QImage decodedArea(const QRect& area, QRect& decoded) const;

    std::shared_ptr<const OpenedFile> file_;
    QSize size_;
    mutable QMutex areaMutex_;
    mutable QRect cachedArea_;
    mutable QImage cachedAreaImage_;
};

class MetafilePictureData : public PictureData {
  public:
    explicit MetafilePictureData(std::shared_ptr<const Metafile> metafile)
        : metafile_(std::move(metafile)) {}
    Picture::Kind kind() const override { return Picture::Kind::Metafile; }
    QSize sizePixels() const override;
    QSizeF sizeTwips() const override;
    QImage toImage() const override { return renderAt(sizePixels(), QImage()); }
    void draw(QPainter& painter, const QRectF& target) const override;
    std::shared_ptr<const Metafile> metafile() const override { return metafile_; }

  protected:
    QImage renderAt(const QSize& size, const QImage& larger) const override;

  private:
    std::shared_ptr<const Metafile> metafile_;
};

}  // namespace platform
