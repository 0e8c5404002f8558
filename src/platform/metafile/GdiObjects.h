#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QRegion>
#include <QString>
#include <QVector>
#include <algorithm>
#include <variant>
#include <vector>

namespace platform::metafile {

// Qt's pattern for a hatch style number. GDI and EMF+ share the first six (horizontal,
// vertical, the two diagonals, cross, diagonal cross); EMF+ adds percentage and textured
// hatches, drawn as a mid-density dither.
inline Qt::BrushStyle hatchBrushStyle(quint32 style) {
    switch (style) {
        case 0:
            return Qt::HorPattern;
        case 1:
            return Qt::VerPattern;
        case 2:
            return Qt::FDiagPattern;
        case 3:
            return Qt::BDiagPattern;
        case 4:
            return Qt::CrossPattern;
        case 5:
            return Qt::DiagCrossPattern;
        default:
            return style <= 12 ? Qt::Dense6Pattern : Qt::Dense4Pattern;
    }
}

// Logical pen as both formats describe it (LOGPEN / LOGPENEX).
struct LogicalPen {
    enum Style {
        Solid = 0,
        Dash = 1,
        Dot = 2,
        DashDot = 3,
        DashDotDot = 4,
        Null = 5,
        InsideFrame = 6,
        UserStyle = 7,
        Alternate = 8
    };
    int style = Solid;
    int endCap = 0;  // 0 round, 1 square, 2 flat
    int join = 0;    // 0 round, 1 bevel, 2 miter
    bool geometric = false;
    double width = 0;  // logical units; 0 means one device pixel
    QColor color = Qt::black;
    std::vector<double> userDashes;
    // A geometric pen may paint its strokes with a hatch or a bitmap pattern
    // (brush styles as in LogicalBrush; 0 is a solid colour).
    int brushStyle = 0;
    int hatch = 0;
    QImage pattern;

    bool isNull() const { return style == Null; }
};

// Logical brush (LOGBRUSH, DIB pattern brushes).
struct LogicalBrush {
    enum Style { Solid = 0, Null = 1, Hatched = 2, Pattern = 3, DibPattern = 5, DibPatternPt = 6 };
    int style = Solid;
    QColor color = Qt::white;
    int hatch = 0;
    QImage pattern;
    // Monochrome brushes take their colours from the DC when they are used:
    // clear bits in the text colour, set bits in the background colour.
    bool monochrome = false;

    bool isNull() const { return style == Null; }
};

// Logical font (LOGFONT); the face name is already decoded.
struct LogicalFont {
    int height = 0;  // < 0: character height, > 0: cell height, 0: default
    int width = 0;
    int escapement = 0;  // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0;
    QString face;
};

// A region as a set of rectangles in the coordinate space it was defined in
// (logical units for WMF, device units for EMF).
struct RegionRects {
    QVector<QRect> rects;
};

struct LogicalPalette {
    std::vector<QColor> colors;

    // Palette entries (red, green, blue, flags) from `first` on; entries
    // past the end are left out.
    template <typename Reader>
    void setEntries(std::size_t first, std::size_t count, Reader& r) {
        for (std::size_t i = 0; i < count && r.has(4); ++i) {
            const int red = r.u8(), green = r.u8(), blue = r.u8();
            r.u8();
            if (first + i < colors.size()) {
                colors[first + i] = QColor(red, green, blue);
            }
        }
    }
    // A resized palette keeps its first entries; new ones are black.
    void resize(std::size_t count) { colors.resize(std::min<std::size_t>(count, 1024), Qt::black); }
};

using GdiObject = std::variant<std::monostate, LogicalPen, LogicalBrush, LogicalFont, RegionRects,
                               LogicalPalette>;

// Reads a COLORREF (0x00bbggrr).
inline QColor colorFromRef(quint32 ref) {
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

}  // namespace platform::metafile
