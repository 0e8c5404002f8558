#pragma once

#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>

class QPainter;
class QRectF;

namespace platform {

class Metafile;
class PictureData;

// A picture as windows, controls, the clipboard and files exchange it: a cheap, shared,
// immutable value. It is empty, a raster picture, an icon, or a metafile drawn as vectors
// at any size.
class Picture {
  public:
    enum class Kind { Empty, Raster, Icon, Metafile };

    Picture() = default;
    static Picture fromImage(const QImage& image, Kind kind = Kind::Raster);
    static Picture fromMetafile(std::shared_ptr<const Metafile> metafile);
    explicit Picture(std::shared_ptr<const PictureData> data) : data_(std::move(data)) {}

    Kind kind() const;
    bool isEmpty() const { return !data_; }

    // Natural size: in pixels, and in twips (15 per pixel for rasters; what a metafile
    // declares for metafiles).
    QSize sizePixels() const;
    QSizeF sizeTwips() const;

    // The whole picture as pixels at its natural size (a metafile is rendered).
    QImage toImage() const;
    // The picture drawn to exactly `size` pixels; repeated requests for one size are
    // served from a cached copy so painting never rescales a big picture twice.
    QImage imageForSize(const QSize& size) const;
    // Draws the picture scaled into `target` (a metafile as vectors, a raster smoothly).
    void draw(QPainter& painter, const QRectF& target) const;

    // The parsed metafile, or nullptr for other kinds.
    std::shared_ptr<const Metafile> metafile() const;

    bool sameAs(const Picture& other) const { return data_ == other.data_; }
    // True for a picture decoded from JPEG data (its pixels are already lossy).
    bool isJpeg() const;

  private:
    std::shared_ptr<const PictureData> data_;
};

// Loads a BMP, JPG, GIF (first frame), ICO (largest image), WMF or EMF file, recognised by
// its content. Throws RuntimeError 53 (no such file), 76 (no such folder), 70 (no read
// permission) or 481 (not a picture that can be decoded). `shownSize`, when given, tells
// the size the picture will be shown at, so a JPEG is checked by decoding it at that size.
Picture LoadPicture(const QString& path, const std::function<QSize(QSize)>& shownSize = nullptr);
inline Picture LoadPicture() {
    return {};
}
// The same, reading and decoding the file itself, never a picture prepared ahead. A JPEG
// that will be shown at `shownSize(natural size)` is checked by decoding it at that size
// (which reads all of its data, as the 1/8 check does) when that is smaller than natural.
Picture loadPictureFile(const QString& path,
                        const std::function<QSize(QSize)>& shownSize = nullptr);

// Writes the picture as a Windows bitmap file through a temporary file renamed into place,
// so a failure never leaves half a file. Throws RuntimeError on failure.
void SavePicture(const Picture& picture, const QString& path);

}  // namespace platform
