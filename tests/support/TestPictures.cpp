#include "TestPictures.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

namespace testing_support {

namespace {

// Qt writes no GIF files, so the tests carry a minimal encoder: an 8-bit palette and LZW
// data made of literal codes only, with a clear code before the dictionary would widen.
QByteArray encodeGif(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QByteArray out("GIF89a");
    auto word = [&out](int v) {
        out.append(char(v & 0xFF));
        out.append(char((v >> 8) & 0xFF));
    };
    word(image.width());
    word(image.height());
    out.append(char(0xF7));  // global colour table of 256 entries
    out.append(char(0));
    out.append(char(0));
    QVector<QRgb> table = image.colorTable();
    table.resize(256);
    for (QRgb c : table) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    out.append(',');
    word(0);
    word(0);
    word(image.width());
    word(image.height());
    out.append(char(0));
    out.append(char(8));  // minimum code size

    QByteArray data;
    quint32 bits = 0;
    int bitCount = 0;
    auto putCode = [&](int code) {
        bits |= quint32(code) << bitCount;
        bitCount += 9;
        while (bitCount >= 8) {
            data.append(char(bits & 0xFF));
            bits >>= 8;
            bitCount -= 8;
        }
    };
    int sinceClear = 0;
    putCode(256);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (sinceClear == 250) {
                putCode(256);
                sinceClear = 0;
            }
            putCode(image.pixelIndex(x, y));
            ++sinceClear;
        }
    }
    putCode(257);
    if (bitCount > 0)
        data.append(char(bits & 0xFF));
    for (int i = 0; i < data.size(); i += 255) {
        const QByteArray block = data.mid(i, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append(char(0));
    out.append(';');
    return out;
}

}  // namespace

PictureFolder::PictureFolder() = default;

QString PictureFolder::addPicture(const QString& name, int width, int height, const QColor& color,
                                  const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QPainter painter(&image);
    painter.setPen(Qt::white);
    painter.drawLine(0, 0, width - 1, height - 1);
    painter.end();
    const QString path = file(name);
    const QByteArray fmt =
        format ? QByteArray(format) : QFileInfo(name).suffix().toLower().toLatin1();
    if (fmt == "gif")
        return addBytes(name, encodeGif(image));
    if (!image.save(path, fmt.constData()))
        qFatal("could not write test picture %s", qPrintable(path));
    return path;
}

QString PictureFolder::addBytes(const QString& name, const QByteArray& bytes) {
    const QString path = file(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("could not write %s", qPrintable(path));
    return path;
}

QString PictureFolder::addUndecodableJpeg(const QString& name, int width, int height) {
    QFile good(addPicture(name, width, height));
    if (!good.open(QIODevice::ReadOnly))
        qFatal("could not read back %s", qPrintable(name));
    QByteArray bytes = good.readAll();
    good.close();
    // Start of scan: FF DA, length (2), component count, then per component its id and
    // the DC/AC table numbers; table 3 is neither defined nor a standard table.
    const int sos = int(bytes.indexOf(QByteArray("\xFF\xDA", 2)));
    if (sos < 0)
        qFatal("no scan in %s", qPrintable(name));
    const int components = quint8(bytes.at(sos + 4));
    for (int i = 0; i < components; ++i)
        bytes[sos + 6 + 2 * i] = char(0x33);
    return addBytes(name, bytes);
}

QString PictureFolder::addProgressiveJpeg(const QString& name, int width, int height,
                                          const QColor& color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QPainter painter(&image);
    painter.setPen(Qt::white);
    painter.drawLine(0, 0, width - 1, height - 1);
    painter.end();
    QImageWriter writer(file(name), "jpeg");
    writer.setProgressiveScanWrite(true);
    if (!writer.write(image))
        qFatal("could not write test picture %s", qPrintable(name));
    return file(name);
}

QString PictureFolder::addJpegBrokenAtTheEnd(const QString& name, int width, int height,
                                             bool progressive) {
    const QString path = progressive ? addProgressiveJpeg(name, width, height)
                                     : addPicture(name, width, height, QColor(200, 80, 40), "jpg");
    QFile good(path);
    if (!good.open(QIODevice::ReadOnly))
        qFatal("could not read back %s", qPrintable(name));
    QByteArray bytes = good.readAll();
    good.close();
    if (!bytes.endsWith("\xFF\xD9"))
        qFatal("no end of image in %s", qPrintable(name));
    bytes.insert(bytes.size() - 2, QByteArray("\xFF\xC0", 2));
    return addBytes(name, bytes);
}

QString PictureFolder::addFolder(const QString& name) {
    QDir(path()).mkpath(name);
    return file(name);
}

QString testdataPath(const QString& relative) {
    return QStringLiteral(VEDRA_TESTDATA_DIR "/") + relative;
}

}  // namespace testing_support
