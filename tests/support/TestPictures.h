#pragma once

#include <QColor>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace testing_support {

// A temporary folder that tests fill with real pictures made at test time.
class PictureFolder {
  public:
    PictureFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

    // Writes a picture of the given size in the format its extension names (jpg, gif, bmp,
    // ico); `format` overrides the extension's format.
    QString addPicture(const QString& name, int width, int height,
                       const QColor& color = QColor(200, 80, 40), const char* format = nullptr);
    QString addBytes(const QString& name, const QByteArray& bytes);
    // A JPEG whose header is valid (size, tables) but whose scan names Huffman tables the
    // file does not define, so no decoder can turn its data into pixels.
    QString addUndecodableJpeg(const QString& name, int width, int height);
    // A JPEG written in many scans, coarse to fine, rather than in one.
    QString addProgressiveJpeg(const QString& name, int width, int height,
                               const QColor& color = QColor(200, 80, 40));
    // A JPEG whose data decodes to its last row and is followed by a second frame header,
    // which the decoder refuses: only a decode that reads all of the data finds it.
    QString addJpegBrokenAtTheEnd(const QString& name, int width, int height, bool progressive);
    QString addFolder(const QString& name);

  private:
    QTemporaryDir dir_;
};

// The shared test pictures (tests/data).
QString testdataPath(const QString& relative);

}  // namespace testing_support
