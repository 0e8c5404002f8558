// Object creation and text records of EMF playback.
#include "platform/metafile/EmfRecordPlayer.h"

#include "platform/metafile/TextDecoding.h"

namespace platform::metafile {

namespace {

// The line style, end caps, joins and geometric flag packed in a pen's style word; styles
// beyond the known ones draw solid.
void applyPenStyle(LogicalPen& pen, quint32 style) {
    pen.style = int(style & 0x0F);
    pen.endCap = int((style >> 8) & 0x0F);
    pen.join = int((style >> 12) & 0x0F);
    pen.geometric = style & 0x10000;
    if (pen.style > LogicalPen::Alternate) {
        pen.style = LogicalPen::Solid;
    }
}

}  // namespace

void EmfRecordPlayer::createPen(Record& rec) {
    ByteReader& r = rec.r;
    const quint32 index = r.u32();
    LogicalPen pen;
    const quint32 style = r.u32();
    pen.width = std::abs(double(r.i32()));
    r.i32();
    pen.color = colorFromRef(r.u32());
    if (!r.ok()) {
        return;
    }
    applyPenStyle(pen, style);
    dc_.createObjectAt(index, pen);
}

void EmfRecordPlayer::extCreatePen(Record& rec) {
    ByteReader& r = rec.r;
    const ByteReader& record = rec.whole;
    const quint32 index = r.u32();
    const quint32 offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    const quint32 style = r.u32();
    LogicalPen pen;
    pen.width = r.u32();
    const quint32 brushStyle = r.u32();
    const quint32 colorOrUsage = r.u32();
    const quint32 hatch = r.u32();
    const quint32 entries = r.u32();
    if (!r.ok()) {
        return;
    }
    pen.color = colorFromRef(colorOrUsage);
    applyPenStyle(pen, style);
    switch (brushStyle) {
        case 1:  // BS_NULL
            pen.style = LogicalPen::Null;
            break;
        case 2:  // BS_HATCHED
            pen.brushStyle = LogicalBrush::Hatched;
            pen.hatch = int(hatch);
            break;
        case 3:  // BS_PATTERN
        case 5:  // BS_DIBPATTERN: the colour field says how the bitmap's colours are given
        case 6:  // BS_DIBPATTERNPT
            pen.pattern = bitmap(record, offBmi, cbBmi, offBits, cbBits, colorOrUsage & 0xFFFF);
            if (!pen.pattern.isNull()) {
                pen.brushStyle = LogicalBrush::DibPatternPt;
                pen.color = Qt::gray;
            }
            break;
        default:
            break;
    }
    if (pen.style == LogicalPen::UserStyle && entries <= 64 && r.has(entries * 4)) {
        for (quint32 i = 0; i < entries; ++i) {
            pen.userDashes.push_back(r.u32());
        }
    }
    dc_.createObjectAt(index, pen);
}

void EmfRecordPlayer::createBrush(Record& rec) {
    ByteReader& r = rec.r;
    const quint32 index = r.u32();
    LogicalBrush brush;
    brush.style = int(r.u32());
    brush.color = colorFromRef(r.u32());
    brush.hatch = int(r.u32());
    if (!r.ok()) {
        return;
    }
    if (brush.style != LogicalBrush::Null && brush.style != LogicalBrush::Hatched) {
        brush.style = LogicalBrush::Solid;
    }
    dc_.createObjectAt(index, brush);
}

void EmfRecordPlayer::createDibBrush(Record& rec) {
    ByteReader& r = rec.r;
    const ByteReader& record = rec.whole;
    const bool mono = rec.type == EmfRecord::EMR_CREATEMONOBRUSH;
    const quint32 index = r.u32();
    const quint32 usage = r.u32();
    const quint32 offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
    if (!r.ok()) {
        return;
    }
    LogicalBrush brush;
    brush.pattern = bitmap(record, offBmi, cbBmi, offBits, cbBits, usage);
    brush.monochrome = mono;
    brush.style = brush.pattern.isNull() ? LogicalBrush::Solid : LogicalBrush::DibPatternPt;
    brush.color = Qt::gray;
    dc_.createObjectAt(index, brush);
}

void EmfRecordPlayer::createFont(Record& rec) {
    ByteReader& r = rec.r;
    const quint32 index = r.u32();
    LogicalFont font;
    font.height = r.i32();
    font.width = r.i32();
    font.escapement = r.i32();
    r.i32();  // orientation
    font.weight = r.i32();
    font.italic = r.u8() != 0;
    font.underline = r.u8() != 0;
    font.strikeOut = r.u8() != 0;
    font.charset = r.u8();
    r.skip(4);
    if (!r.ok()) {
        return;
    }
    font.face = TextDecoding::decodeUtf16Name(r, 32);
    dc_.createObjectAt(index, font);
}

void EmfRecordPlayer::createPalette(Record& rec) {
    ByteReader& r = rec.r;
    const quint32 index = r.u32();
    r.u16();  // version
    const int count = r.u16();
    LogicalPalette palette;
    for (int i = 0; i < count && r.has(4); ++i) {
        const int red = r.u8(), green = r.u8(), blue = r.u8();
        r.u8();
        palette.colors.emplace_back(red, green, blue);
    }
    if (r.ok()) {
        dc_.createObjectAt(index, palette);
    }
}

void EmfRecordPlayer::selectObject(quint32 index) {
    if (index & kStockObjectFlag) {
        dc_.selectStockObject(index & ~kStockObjectFlag);
    } else {
        dc_.selectObject(index);
    }
}

// The characters of a text record: 8-bit codes in the current font's
// character set, or UTF-16.
QString EmfRecordPlayer::recordText(ByteReader text, quint32 chars, bool wide) const {
    if (wide) {
        return TextDecoding::decodeUtf16(text, qsizetype(chars));
    }
    return TextDecoding::decodeAnsi(text.data(), qsizetype(chars), dc_.state().font.charset);
}

void EmfRecordPlayer::extTextOut(Record& rec) {
    ByteReader& r = rec.r;
    const ByteReader& record = rec.whole;
    const bool wide = rec.type == EmfRecord::EMR_EXTTEXTOUTW;
    r.skip(16);  // bounds
    r.u32();     // graphics mode
    r.skip(8);   // scales
    emrText(r, record, wide);
}

// EMR_POLYTEXTOUTA/W: several text structures under one header.
void EmfRecordPlayer::polyTextOut(Record& rec) {
    ByteReader& r = rec.r;
    const ByteReader& record = rec.whole;
    const bool wide = rec.type == EmfRecord::EMR_POLYTEXTOUTW;
    r.skip(16);  // bounds
    r.u32();     // graphics mode
    r.skip(8);   // scales
    const quint32 strings = r.u32();
    constexpr std::size_t kEmrTextSize = 40;
    if (!r.ok() || !r.has(std::size_t(strings) * kEmrTextSize)) {
        return;
    }
    for (quint32 i = 0; i < strings; ++i) {
        ByteReader text = r.sub(r.pos(), kEmrTextSize);
        emrText(text, record, wide);
        r.skip(kEmrTextSize);
    }
}

// One EmrText structure: reference point, characters, options, rectangle and
// advances, its offsets counted from the start of the record.
void EmfRecordPlayer::emrText(ByteReader& r, const ByteReader& record, bool wide) {
    TextRun run;
    run.reference = pointL(r);
    const quint32 chars = r.u32();
    const quint32 offString = r.u32();
    const quint32 options = r.u32();
    const QRectF rect = rectL(r);
    const quint32 offDx = r.u32();
    if (!r.ok()) {
        return;
    }
    setTextOptions(run, options, rect);
    const std::size_t charBytes = std::size_t(chars) * (wide ? 2 : 1);
    ByteReader text = record.sub(offString, charBytes);
    if (!text.ok()) {
        gdi_.text(TextRun{run.reference, QString(), {}, run.opaque, false, run.hasRect, run.rect});
        return;
    }
    run.text = recordText(text, chars, wide);
    // ETO_PDY (0x2000) stores an x and a y advance per character.
    const bool pdy = options & 0x2000;
    ByteReader dx = record.sub(offDx, std::size_t(chars) * (pdy ? 8 : 4));
    if (offDx != 0 && dx.ok() && qsizetype(chars) == run.text.size()) {
        for (quint32 i = 0; i < chars; ++i) {
            run.dx.push_back(dx.i32());
            if (pdy) {
                dx.i32();
            }
        }
    }
    gdi_.text(run);
}

// ETO_OPAQUE fills the rectangle with the background colour, ETO_CLIPPED
// clips the text to it; an empty rectangle does neither.
void EmfRecordPlayer::setTextOptions(TextRun& run, quint32 options, const QRectF& rect) {
    run.opaque = options & 0x0002;
    run.clipped = options & 0x0004;
    if ((run.opaque || run.clipped) && rect.width() != 0 && rect.height() != 0) {
        run.rect = rect;
        run.hasRect = true;
    }
}

// EMR_SMALLTEXTOUT: a reference point, the character count, the options, the
// graphics mode and scales, the clipping rectangle unless ETO_NO_RECT is set,
// then the characters, 8-bit with ETO_SMALL_CHARS and UTF-16 without. There
// are no advances: the face's own widths place the characters.
void EmfRecordPlayer::smallTextOut(Record& rec) {
    ByteReader& r = rec.r;
    constexpr quint32 kNoRect = 0x0100;
    constexpr quint32 kSmallChars = 0x0200;
    TextRun run;
    run.reference = pointL(r);
    const quint32 chars = r.u32();
    const quint32 options = r.u32();
    r.u32();    // graphics mode
    r.skip(8);  // scales
    const QRectF rect = options & kNoRect ? QRectF() : rectL(r);
    if (!r.ok()) {
        return;
    }
    setTextOptions(run, options, rect);
    const bool wide = !(options & kSmallChars);
    const ByteReader text = r.sub(r.pos(), std::size_t(chars) * (wide ? 2 : 1));
    if (text.ok()) {
        run.text = recordText(text, chars, wide);
    }
    gdi_.text(run);
}

}  // namespace platform::metafile
