#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <memory>
#include <utility>
#include <vector>

class QPainter;

namespace platform {

namespace metafile {
struct MetafileDocument;
}

// A parsed Windows metafile (WMF, placeable or plain) or enhanced metafile
// (EMF), drawn as vectors at any size. Parsing validates the file once;
// render() keeps all playback state local, so one instance may be drawn from
// several threads at the same time.
class Metafile {
  public:
    enum class Format { Wmf, Emf };

    // True when the first bytes look like a placeable WMF, a plain WMF or an EMF header.
    // Pass at least the first 44 bytes: the EMF signature sits at offset 40.
    static bool hasMetafileSignature(const QByteArray& head);
    // Parses the whole file once; returns nullptr when it is not a usable metafile.
    static std::shared_ptr<const Metafile> parse(const QByteArray& bytes);

    ~Metafile();

    Format format() const;
    QSize naturalSizeTwips() const;  // > 0 in both directions for a usable file
    // Natural size at 96 dpi (twips / 15), at least 1x1.
    QSize naturalSizePixels() const;
    // Size of the picture frame in the file's own device units (EMF: reference
    // device pixels; WMF: the units of the placeable box or the window).
    QSizeF frameSize() const;
    // Number of records that passed validation.
    int recordCount() const;

    // Plays the records scaled so the picture's frame fills `target` (device pixels of the
    // painter).
    void render(QPainter& painter, const QRectF& target) const;
    // Convenience: renders onto a transparent-or-white ARGB image of the given pixel size.
    QImage toImage(const QSize& pixels, const QColor& background = Qt::white) const;
    // The record types (by their names in the format definitions, such as
    // "EMR_SETICMMODE") that drawing reads but neither draws nor applies, with
    // how many records of each, in order of name.
    std::vector<std::pair<QString, int>> skippedRecords() const;

  private:
    explicit Metafile(std::unique_ptr<metafile::MetafileDocument> doc);

    std::unique_ptr<const metafile::MetafileDocument> doc_;
};

}  // namespace platform
