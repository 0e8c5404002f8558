#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <atomic>
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

// Where a picture is shown: the size in pixels it is drawn at, and when that is its natural
// size, the part of it that is seen (empty: all of it).
struct ShownView {
    QSize size;
    QRect visible;
    // Device pixels per logical pixel of the screen it is shown on: a scaled picture is
    // prepared at the device size, so a high-density screen shows all the detail it can.
    double devicePixelRatio = 1;
};
// The pixels a picture drawn into `logical` pixels is prepared at on a device with `ratio`
// device pixels to the logical one.
QSize devicePixelSize(QSizeF logical, double ratio);
// The view a picture of a given natural size (in pixels) will be shown in.
using ShownViewFor = std::function<ShownView(QSize natural)>;

// What a caller sees of a load under way, and how it gives one up.
struct LoadProgress {
    // A large progressive JPEG: a coarse image of the view as soon as its first scan is in,
    // with the picture's natural size. The load may still fail after it.
    std::function<void(const QImage& coarse, QSize natural)> preview;
    // Set from another thread: the load then fails soon with 481.
    const std::atomic<bool>* cancel = nullptr;
};

// Loads a BMP, JPG, GIF (first frame), ICO (largest image), WMF or EMF file, recognised by
// its content, reading the file only as far as the picture goes. Throws RuntimeError 53 (no
// such file), 76 (no such folder), 70 (no read permission) or 481 (not a picture that can be
// decoded, or not an ordinary file). A JPEG is decoded once, for the view `shownView` gives
// (at 1/8 of its size when none is given), and that decode reads all of its data: data the
// decoder gives up on fails here, while data cut short shows with a grey tail.
Picture LoadPicture(const QString& path, const ShownViewFor& shownView = nullptr,
                    const LoadProgress& progress = {});
inline Picture LoadPicture() {
    return {};
}

// Writes the picture as a Windows bitmap file through a temporary file renamed into place,
// so a failure never leaves half a file. Throws RuntimeError on failure.
void SavePicture(const Picture& picture, const QString& path);

}  // namespace platform
