#pragma once

#include <QColor>
#include <QString>
#include <QTemporaryDir>

namespace testing_support {

// A temporary folder that tests fill with real pictures made at test time.
class PictureFolder {
  public:
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

    // Writes a picture of the given size in the format its extension names (jpg, bmp, ico,
    // png; Qt writes no GIF: copy one with addCopy); `format` overrides the extension's format,
    // "progressive" making a JPEG written in many scans, coarse to fine, rather than in one.
    QString addPicture(const QString& name, int width, int height,
                       const QColor& color = QColor(200, 80, 40), const char* format = nullptr);
    QString addBytes(const QString& name, const QByteArray& bytes);
    // A copy of a file of the shared test data (tests/data).
    QString addCopy(const QString& name, const QString& testdata);
    QString addProgressiveJpeg(const QString& name, int width, int height,
                               const QColor& color = QColor(200, 80, 40)) {
        return addPicture(name, width, height, color, "progressive");
    }
    QString addFolder(const QString& name);

  private:
    QTemporaryDir dir_;
};

// The shared test pictures (tests/data).
QString testdataPath(const QString& relative);

}  // namespace testing_support
