#pragma once

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QString>
#include <QStringList>
#include <map>

// Access to the metafile corpus in tests/data and its reference renderings.
namespace metafile_test {

inline QString testDataDir() {
    return QStringLiteral(VEDRA_TESTDATA_DIR);
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Corpus-relative paths ("emf/poi/wrench.emf") of every WMF and EMF.
inline QStringList corpusFiles() {
    QStringList files;
    const QDir root(testDataDir());
    for (const char* format : {"emf", "wmf"}) {
        QDirIterator it(root.filePath(QString::fromLatin1(format)), QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            files << root.relativeFilePath(it.next());
        }
    }
    files.sort();
    return files;
}

struct ReferenceEntry {
    QString status;  // ok, blank, failed
    QSize natural;   // at 96 dpi
    QSize output;
};

// reference/libreoffice/manifest-lo.tsv keyed by corpus-relative path.
inline std::map<QString, ReferenceEntry> libreOfficeManifest() {
    std::map<QString, ReferenceEntry> entries;
    const QByteArray text =
        readFile(testDataDir() + QStringLiteral("/reference/libreoffice/manifest-lo.tsv"));
    auto parseSize = [](const QString& s) {
        const QStringList parts = s.split(QLatin1Char('x'));
        return parts.size() == 2 ? QSize(parts[0].toInt(), parts[1].toInt()) : QSize();
    };
    for (const QByteArray& line : text.split('\n')) {
        const QStringList cols = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (cols.size() < 4 || cols[0] == QLatin1String("file")) {
            continue;
        }
        entries[cols[0]] = {cols[1], parseSize(cols[2]), parseSize(cols[3])};
    }
    return entries;
}

// Damaged files: those the reference renderer could not open.
inline bool isDamaged(const QString& file) {
    const auto manifest = libreOfficeManifest();
    const auto it = manifest.find(file);
    return file.contains(QLatin1String("corrupted")) ||
           (it != manifest.end() && it->second.status == QLatin1String("failed"));
}

// Number of pixels that are not (nearly) white after compositing on white.
inline int inkPixels(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_ARGB32);
    int ink = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const int a = qAlpha(line[x]);
            auto onWhite = [a](int c) { return (c * a + 255 * (255 - a)) / 255; };
            if (onWhite(qRed(line[x])) < 240 || onWhite(qGreen(line[x])) < 240 ||
                onWhite(qBlue(line[x])) < 240) {
                ++ink;
            }
        }
    }
    return ink;
}

}  // namespace metafile_test
