#include "platform/metafile/Metafile.h"

#include "platform/metafile/EmfParser.h"
#include "platform/metafile/EmfPlayer.h"
#include "platform/metafile/MetafileDocument.h"
#include "platform/metafile/WmfParser.h"
#include "platform/metafile/WmfPlayer.h"

#include <QPainter>
#include <cmath>

namespace platform {

using metafile::MetafileDocument;

Metafile::Metafile(std::unique_ptr<MetafileDocument> doc) : doc_(std::move(doc)) {}

Metafile::~Metafile() = default;

bool Metafile::hasMetafileSignature(const QByteArray& head) {
    return metafile::EmfParser::hasSignature(head) || metafile::WmfParser::hasSignature(head);
}

std::shared_ptr<const Metafile> Metafile::parse(const QByteArray& bytes) {
    std::optional<MetafileDocument> doc;
    if (metafile::EmfParser::hasSignature(bytes)) {
        doc = metafile::EmfParser::parse(bytes);
    } else if (metafile::WmfParser::hasSignature(bytes)) {
        doc = metafile::WmfParser::parse(bytes);
    }
    if (!doc) {
        return nullptr;
    }
    return std::shared_ptr<const Metafile>(
        new Metafile(std::make_unique<MetafileDocument>(std::move(*doc))));
}

Metafile::Format Metafile::format() const {
    return doc_->kind == MetafileDocument::Kind::Emf ? Format::Emf : Format::Wmf;
}

QSize Metafile::naturalSizeTwips() const {
    return doc_->naturalSizeTwips;
}

QSize Metafile::naturalSizePixels() const {
    const QSize twips = doc_->naturalSizeTwips;
    return QSize(std::max(1, int(std::lround(twips.width() / 15.0))),
                 std::max(1, int(std::lround(twips.height() / 15.0))));
}

QSizeF Metafile::frameSize() const {
    return doc_->deviceFrame.size();
}

int Metafile::recordCount() const {
    return int(doc_->records.size());
}

void Metafile::render(QPainter& painter, const QRectF& target) const {
    if (!painter.isActive() || !target.isValid()) {
        return;
    }
    if (doc_->kind == MetafileDocument::Kind::Emf) {
        metafile::EmfPlayer::play(*doc_, painter, target);
    } else {
        metafile::WmfPlayer::play(*doc_, painter, target);
    }
}

std::vector<std::pair<QString, int>> Metafile::skippedRecords() const {
    // Drawn small: which records are skipped does not depend on the size.
    const QSize pixels = naturalSizePixels().boundedTo(QSize(256, 256));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    metafile::SkippedRecords skipped;
    QPainter painter(&image);
    const QRectF target(QPointF(0, 0), QSizeF(pixels));
    if (doc_->kind == MetafileDocument::Kind::Emf) {
        metafile::EmfPlayer::play(*doc_, painter, target, &skipped);
    } else {
        metafile::WmfPlayer::play(*doc_, painter, target, &skipped);
    }
    painter.end();
    std::vector<std::pair<QString, int>> out;
    for (const auto& [name, count] : skipped) {
        out.emplace_back(QString::fromStdString(name), count);
    }
    return out;
}

QImage Metafile::toImage(const QSize& pixels, const QColor& background) const {
    if (pixels.isEmpty()) {
        return {};
    }
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return {};
    }
    image.fill(background);
    QPainter painter(&image);
    render(painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    painter.end();
    return image;
}

}  // namespace platform
