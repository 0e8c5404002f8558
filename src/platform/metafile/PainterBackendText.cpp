// Text output of the QPainter backend: font selection from LOGFONT
// values, GDI alignment and per-character advances.
#include "platform/metafile/PainterBackend.h"

#include "platform/metafile/SymbolFaces.h"
#include "platform/metafile/TargetGeometry.h"
#include "platform/metafile/TextDecoding.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QRawFont>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace platform::metafile {

namespace {

constexpr double kMaxFontPixels = 20000;
// Above this glyph size in target pixels text is drawn as filled outlines.
constexpr double kMaxCachedGlyphPixels = 1024;

// The average character width GDI reports for a TrueType face: lowercase
// letters and the space weighted by their frequency in English text.
double gdiAverageCharWidth(const QFontMetricsF& metrics) {
    static constexpr int kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                         56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
    double sum = 0;
    for (int i = 0; i < 27; ++i) {
        const QChar c = i < 26 ? QChar(u'a' + i) : QChar(u' ');
        sum += kWeights[i] * metrics.horizontalAdvance(c);
    }
    return sum / 1000.0;
}

// GDI's cell height (usWinAscent + usWinDescent of the OS/2 table) in ems.
// The faces pictures name most often have their own values: the face that
// stands in for them here may have a much taller cell, which would shrink
// text asked for by cell height.
double gdiCellPerEm(const QString& requested, const QFont& font) {
    struct Face {
        const char* name;
        double cellPerEm;
    };
    static constexpr Face kKnown[] = {
        {"Arial", (1854 + 434) / 2048.0},       {"Times New Roman", (1825 + 443) / 2048.0},
        {"Courier New", (1705 + 615) / 2048.0}, {"Verdana", (2059 + 430) / 2048.0},
        {"Tahoma", (2049 + 423) / 2048.0},      {"Calibri", (1950 + 550) / 2048.0},
        {"Segoe UI", (2210 + 514) / 2048.0},    {"Georgia", (1878 + 449) / 2048.0},
    };
    for (const Face& face : kKnown) {
        if (requested.compare(QLatin1String(face.name), Qt::CaseInsensitive) == 0) {
            return face.cellPerEm;
        }
    }
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray os2 = raw.fontTable("OS/2");
    const QByteArray head = raw.fontTable("head");
    auto u16 = [](const QByteArray& table, int offset) {
        return (uchar(table[offset]) << 8) | uchar(table[offset + 1]);
    };
    if (os2.size() >= 78 && head.size() >= 20) {
        const int unitsPerEm = u16(head, 18);
        const int cell = u16(os2, 74) + u16(os2, 76);
        if (unitsPerEm > 0 && cell > 0) {
            return double(cell) / unitsPerEm;
        }
    }
    const QFontMetricsF metrics(font);
    return font.pixelSize() > 0 ? (metrics.ascent() + metrics.descent()) / font.pixelSize() : 0;
}

// True when fontconfig has the face itself rather than a stand-in for it.
bool installedFace(const QString& face) {
    static const QStringList families = QFontDatabase::families();
    return families.contains(face, Qt::CaseInsensitive);
}

// One text record laid out in "text space": origin at the reference point,
// x along the baseline, one unit per target pixel of font size.
struct TextLayout {
    QFont font;
    QString text;
    std::vector<double> positions;  // pen position of each character, when dx is given
    QPointF start;                  // the alignment's offset from the reference point
    double width;
    double toText;  // text-space units per logical unit along the baseline
    QTransform textSpace;

    static std::optional<TextLayout> of(const TextRun& run, const DcState& state,
                                        const QTransform& toTarget);
    std::vector<std::pair<QPointF, QString>> pieces(const DcState& state) const;
    // The glyph outlines of the pieces, in text space.
    QPainterPath outline(const DcState& state) const {
        QPainterPath path;
        for (const auto& [at, piece] : pieces(state)) {
            path.addText(at, font, piece);
        }
        return path;
    }
};

// The advances, in logical units, of text laid out after SetTextJustification:
// the face's own, plus the extra character spacing, plus the extra space
// shared among the spaces.
std::vector<double> justifiedAdvances(const QString& text, const QFontMetricsF& metrics,
                                      double toText, const DcState& state) {
    std::vector<double> dx;
    const double perBreak = double(state.breakExtra) / state.breakCount;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString piece = text.mid(i, length);
        dx.push_back(metrics.horizontalAdvance(piece) / toText + state.textCharExtra +
                     (piece == QLatin1String(" ") ? perBreak : 0));
        if (length == 2) {
            dx.push_back(0);
        }
        i += length - 1;
    }
    return dx;
}

// Where the text starts relative to the reference point, in text space, for
// the text alignment flags: left, right or centred; top, baseline or bottom.
QPointF alignedStart(int textAlign, double width, const QFontMetricsF& metrics) {
    double x = 0;
    switch (textAlign & 6) {
        case 6:
            x = -width / 2;
            break;
        case 2:
            x = -width;
            break;
        default:
            break;
    }
    double y = 0;
    if ((textAlign & 24) == 24) {
        y = 0;
    } else if (textAlign & 8) {
        y = -metrics.descent();
    } else {
        y = metrics.ascent();
    }
    return QPointF(x, y);
}

}  // namespace

std::optional<TextLayout> TextLayout::of(const TextRun& run, const DcState& state,
                                         const QTransform& toTarget) {
    const LogicalFont& logical = state.font;
    QTransform linear = linearPart(toTarget);
    if (linear.determinant() < 0) {
        linear = QTransform::fromScale(1, -1) * linear;
    }
    const double sy = axisScale(linear, 0, 1);
    if (!(sy > 0) || !std::isfinite(sy)) {
        return std::nullopt;
    }
    double height = logical.height == 0 ? 12.0 / sy : std::abs(double(logical.height));
    // The Symbol face's codes are turned into Unicode and drawn by a face made to stand
    // in for it; so are the picture faces' codes when the face itself is missing.
    const SymbolFace symbolFace = symbolFaceOf(logical.face);
    std::vector<double> dx = run.dx;
    QString text = run.text;
    QFont font(logical.face.isEmpty() ? QStringLiteral("Arial") : logical.face);
    if (symbolFace == SymbolFace::Symbol) {
        text = symbolFaceText(symbolFace, run.text, &dx);
        font.setFamilies({QStringLiteral("OpenSymbol"), QStringLiteral("DejaVu Serif")});
    } else if (symbolFace != SymbolFace::None && !installedFace(logical.face)) {
        text = symbolFaceText(symbolFace, run.text, &dx);
        font.setFamilies({QStringLiteral("Symbola"), QStringLiteral("DejaVu Sans")});
    }
    font.setWeight(static_cast<QFont::Weight>(
        std::clamp(logical.weight == 0 ? 400 : logical.weight, 1, 1000)));
    font.setItalic(logical.italic);
    font.setUnderline(logical.underline);
    font.setStrikeOut(logical.strikeOut);
    if (logical.height > 0) {
        // A positive height is the cell height (ascent + descent), not the em size.
        font.setPixelSize(200);
        if (const double cellPerEm = gdiCellPerEm(logical.face, font);
            cellPerEm > 0.5 && cellPerEm < 4) {
            height /= cellPerEm;
        }
    }
    const double pixels = height * sy;
    if (pixels < 0.5 || pixels > kMaxFontPixels) {
        return std::nullopt;
    }
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    // Text space units per logical unit; differs from `sy` by the pixel-size rounding.
    const double unit = pixels / std::max(1, int(std::lround(pixels)));
    double stretch = 1;
    if (logical.width > 0) {
        // lfWidth asks for an average character width: the face is scaled along
        // the baseline to it (by the transform: a font stretch would make the
        // font database pick some other, condensed face).
        const double natural = gdiAverageCharWidth(QFontMetricsF(font));
        if (natural > 0) {
            stretch = std::clamp(logical.width * (sy / unit) / natural, 0.01, 40.0);
        }
    }
    // Text space units per logical unit along the baseline, before the stretch.
    const double toText = sy / unit / stretch;
    const QFontMetricsF metrics(font);

    if (dx.empty() && state.breakExtra != 0 && state.breakCount > 0) {
        dx = justifiedAdvances(text, metrics, toText, state);
    }
    std::vector<double> positions;
    positions.reserve(static_cast<std::size_t>(text.size()));
    double width = 0;
    if (!dx.empty()) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            positions.push_back(width);
            if (static_cast<std::size_t>(i) < dx.size()) {
                width += dx[static_cast<std::size_t>(i)] * toText;
            }
        }
    } else {
        width = metrics.horizontalAdvance(text) + state.textCharExtra * toText * text.size();
    }

    const QPointF start = alignedStart(state.textAlign, width, metrics);

    const QPointF origin = toTarget.map(run.reference);
    if (!reasonable(QRectF(origin, QSizeF(0, 0))) ||
        (run.hasRect && !reasonable(toTarget.mapRect(run.rect)))) {
        return std::nullopt;
    }
    const QTransform textSpace = QTransform::fromScale(stretch, 1) *
                                 QTransform().rotate(-logical.escapement / 10.0) *
                                 QTransform::fromScale(unit / sy, unit / sy) * linear *
                                 QTransform::fromTranslate(origin.x(), origin.y());
    return TextLayout{font, text, std::move(positions), start, width, toText, textSpace};
}

// Where each character goes, as text-space pen positions: laid out by the
// dx advances when the record has them, else by the face's own advances
// plus the extra character spacing.
std::vector<std::pair<QPointF, QString>> TextLayout::pieces(const DcState& state) const {
    std::vector<std::pair<QPointF, QString>> out;
    const QFontMetricsF metrics(font);
    if (positions.empty()) {
        if (state.textCharExtra == 0) {
            out.emplace_back(start, text);
        } else {
            double pen = start.x();
            for (qsizetype i = 0; i < text.size(); ++i) {
                const qsizetype length =
                    text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
                const QString piece = text.mid(i, length);
                out.emplace_back(QPointF(pen, start.y()), piece);
                pen += metrics.horizontalAdvance(piece) + state.textCharExtra * toText;
                i += length - 1;
            }
        }
        return out;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const QPointF at(start.x() + positions[std::size_t(i)], start.y());
        if (c.isHighSurrogate() && i + 1 < text.size()) {
            out.emplace_back(at, text.mid(i, 2));
            ++i;
        } else if (!c.isSpace()) {
            out.emplace_back(at, QString(c));
        }
    }
    return out;
}

double PainterBackend::drawText(const TextRun& run, const DcState& state,
                                const QTransform& toTarget) {
    const std::optional<TextLayout> layout = TextLayout::of(run, state, toTarget);
    if (!layout) {
        return 0;
    }
    const QFontMetricsF metrics(layout->font);
    syncClip(state);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const bool needsSave = run.clipped && run.hasRect;
    if (needsSave) {
        painter_.save();
        setTransform(toTarget);
        painter_.setClipRect(run.rect.normalized(), Qt::IntersectClip);
    }
    if (run.opaque && run.hasRect) {
        setTransform(toTarget);
        painter_.fillRect(run.rect.normalized(), state.bkColor);
    }
    setTransform(layout->textSpace);
    if (state.bkOpaque && !run.opaque) {
        painter_.fillRect(QRectF(layout->start.x(), layout->start.y() - metrics.ascent(),
                                 layout->width, metrics.height()),
                          state.bkColor);
    }
    // Glyphs stretched far along one axis (a world transform can scale x and y
    // very differently) are filled as outlines: the glyph cache would render
    // each one as a bitmap of that size, which the font engine cannot do.
    const double em = layout->font.pixelSize();
    const double glyphX = em * axisScale(layout->textSpace, 1, 0);
    const double glyphY = em * axisScale(layout->textSpace, 0, 1);
    if (std::max(glyphX, glyphY) > kMaxCachedGlyphPixels) {
        painter_.fillPath(layout->outline(state), state.textColor);
    } else {
        painter_.setFont(layout->font);
        painter_.setPen(state.textColor);
        for (const auto& [at, piece] : layout->pieces(state)) {
            painter_.drawText(at, piece);
        }
    }
    if (needsSave) {
        painter_.restore();
        clipVersion_ = -1;
    }
    return layout->width / layout->toText;
}

QPainterPath PainterBackend::textOutline(const TextRun& run, const DcState& state,
                                         const QTransform& toTarget, double* advance) {
    const std::optional<TextLayout> layout = TextLayout::of(run, state, toTarget);
    if (!layout) {
        *advance = 0;
        return {};
    }
    *advance = layout->width / layout->toText;
    return layout->textSpace.map(layout->outline(state));
}

}  // namespace platform::metafile
