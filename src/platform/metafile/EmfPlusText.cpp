// The EMF+ records that draw text.
#include "platform/metafile/EmfPlusPlayer.h"

#include "platform/metafile/EmfPlusValues.h"
#include "platform/metafile/TargetGeometry.h"
#include "platform/metafile/TextDecoding.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>
#include <cmath>

namespace platform::metafile {

namespace {

using namespace emfplus;

constexpr int kMaxStringLength = 65536;

}  // namespace

QFont EmfPlusPlayer::fontFor(const PlusFont& plusFont, double& worldPerPixel) const {
    // The em size in world units, then in target pixels.
    const double emWorld =
        plusFont.unit == 0 ? plusFont.emSize
                           : plusFont.emSize * unitToDevice(plusFont.unit, true) / pageFactor(true);
    const double scale = axisScale(worldToTarget(), 0, 1);
    const double pixels = emWorld * scale;
    worldPerPixel = 0;
    QFont font(plusFont.family.isEmpty() ? QStringLiteral("Arial") : plusFont.family);
    if (!(pixels >= 0.5) || pixels > 20000) {
        return font;
    }
    const int rounded = std::max(1, int(std::lround(pixels)));
    font.setPixelSize(rounded);
    font.setBold(plusFont.style & 1);
    font.setItalic(plusFont.style & 2);
    font.setUnderline(plusFont.style & 4);
    font.setStrikeOut(plusFont.style & 8);
    worldPerPixel = emWorld / rounded;
    return font;
}

void EmfPlusPlayer::drawString(Record& rec) {
    const quint16 flags = rec.flags;
    ByteReader& r = rec.r;
    const quint32 brushValue = r.u32();
    const quint32 formatId = r.u32();
    const quint32 length = r.u32();
    const QRectF layout = rect(r, false);
    if (!r.ok() || length == 0 || length > kMaxStringLength || !r.has(std::size_t(length) * 2)) {
        return;
    }
    const QString text = TextDecoding::decodeUtf16(r, qsizetype(length));
    const auto* plusFont = objects_.find<PlusFont>(flags & 0x3F);
    const auto brush = brushFor(flags, brushValue);
    if (!plusFont || !brush || (flags & 0xFF) >= 64) {
        return;
    }
    PlusStringFormat format;
    if (const auto* f = objects_.find<PlusStringFormat>(formatId)) {
        format = *f;
    }
    double worldPerPixel = 0;
    const QFont font = fontFor(*plusFont, worldPerPixel);
    if (!(worldPerPixel > 0)) {
        return;
    }
    const QTransform textSpace =
        QTransform::fromScale(worldPerPixel, worldPerPixel) * worldToTarget();
    const QRectF box(layout.x() / worldPerPixel, layout.y() / worldPerPixel,
                     layout.width() / worldPerPixel, layout.height() / worldPerPixel);
    if (!reasonable(textSpace.mapRect(box)) || !prepare()) {
        return;
    }
    int align = format.align == 1   ? Qt::AlignHCenter
                : format.align == 2 ? Qt::AlignRight
                                    : Qt::AlignLeft;
    align |= format.lineAlign == 1   ? Qt::AlignVCenter
             : format.lineAlign == 2 ? Qt::AlignBottom
                                     : Qt::AlignTop;
    const bool unbounded = layout.width() <= 0 || layout.height() <= 0;
    if (!unbounded && !(format.flags & 0x1000)) {
        align |= Qt::TextWordWrap;
    }
    if (unbounded || (format.flags & 0x4000)) {
        align |= Qt::TextDontClip;
    }
    painter_.setWorldTransform(textSpace * base_);
    painter_.setFont(font);
    painter_.setPen(QPen(*brush, 0));
    painter_.drawText(box, align, text);
}

void EmfPlusPlayer::drawDriverString(Record& rec) {
    const quint16 flags = rec.flags;
    ByteReader& r = rec.r;
    const quint32 brushValue = r.u32();
    const quint32 options = r.u32();
    const quint32 matrixPresent = r.u32();
    const quint32 count = r.u32();
    if (!r.ok() || count == 0 || count > kMaxStringLength || !r.has(std::size_t(count) * 10)) {
        return;
    }
    std::vector<quint16> glyphs(count);
    for (quint16& g : glyphs) {
        g = r.u16();
    }
    std::vector<QPointF> positions = points(r, count, 0);
    QTransform extra;
    if (matrixPresent) {
        extra = matrix(r);
        if (!r.ok() || !usable(extra)) {
            extra = QTransform();
        }
    }
    const auto* plusFont = objects_.find<PlusFont>(flags & 0x3F);
    const auto brush = brushFor(flags, brushValue);
    if (positions.size() != count || !plusFont || !brush || (flags & 0xFF) >= 64) {
        return;
    }
    double worldPerPixel = 0;
    const QFont font = fontFor(*plusFont, worldPerPixel);
    if (!(worldPerPixel > 0)) {
        return;
    }
    const QTransform textSpace =
        QTransform::fromScale(worldPerPixel, worldPerPixel) * extra * worldToTarget();
    const QPolygonF where = polygon(positions);
    if (!reasonable(textSpace.mapRect(QRectF(where.boundingRect().topLeft() / worldPerPixel,
                                             where.boundingRect().size() / worldPerPixel))) ||
        !prepare()) {
        return;
    }
    painter_.setWorldTransform(textSpace * base_);
    painter_.setFont(font);
    painter_.setPen(QPen(*brush, 0));
    const bool realizedAdvance = options & 0x04;
    if (options & 0x01) {
        // Character codes: lay out each at its position.
        const QFontMetricsF metrics(font);
        QPointF pen = positions[0] / worldPerPixel;
        for (quint32 i = 0; i < count; ++i) {
            const QString ch = QString(QChar(glyphs[i]));
            const QPointF at = realizedAdvance ? pen : positions[i] / worldPerPixel;
            painter_.drawText(at, ch);
            pen.rx() += metrics.horizontalAdvance(ch);
        }
        return;
    }
    // Glyph indices of the named face.
    QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) {
        return;
    }
    QVector<quint32> indexes(static_cast<qsizetype>(count), 0);
    for (quint32 i = 0; i < count; ++i) {
        indexes[qsizetype(i)] = glyphs[i];
    }
    QVector<QPointF> at(static_cast<qsizetype>(count), QPointF());
    if (realizedAdvance) {
        const QVector<QPointF> advances = raw.advancesForGlyphIndexes(indexes);
        QPointF pen = positions[0] / worldPerPixel;
        for (qsizetype i = 0; i < at.size(); ++i) {
            at[i] = pen;
            pen += i < advances.size() ? advances[i] : QPointF();
        }
    } else {
        for (qsizetype i = 0; i < at.size(); ++i) {
            at[i] = positions[std::size_t(i)] / worldPerPixel;
        }
    }
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(indexes);
    run.setPositions(at);
    painter_.drawGlyphRun(QPointF(0, 0), run);
}

}  // namespace platform::metafile
