#include "TestPictures.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

namespace testing_support {

// The test picture: a plain colour crossed by a white diagonal.
QString PictureFolder::addPicture(const QString& name, int width, int height, const QColor& color,
                                  const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QPainter painter(&image);
    painter.setPen(Qt::white);
    painter.drawLine(0, 0, width - 1, height - 1);
    painter.end();
    const QByteArray fmt =
        format ? QByteArray(format) : QFileInfo(name).suffix().toLower().toLatin1();
    QImageWriter writer(file(name), fmt == "progressive" ? "jpeg" : fmt);
    writer.setProgressiveScanWrite(fmt == "progressive");
    if (!writer.write(image))
        qFatal("could not write test picture %s", qPrintable(name));
    return file(name);
}

QString PictureFolder::addBytes(const QString& name, const QByteArray& bytes) {
    const QString path = file(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("could not write %s", qPrintable(path));
    return path;
}

QString PictureFolder::addCopy(const QString& name, const QString& testdata) {
    QFile::remove(file(name));
    if (!QFile::copy(testdataPath(testdata), file(name)))
        qFatal("could not copy %s", qPrintable(testdata));
    return file(name);
}

QString PictureFolder::addFolder(const QString& name) {
    QDir(path()).mkpath(name);
    return file(name);
}

QString testdataPath(const QString& relative) {
    return QStringLiteral(VEDRA_TESTDATA_DIR "/") + relative;
}

}  // namespace testing_support
