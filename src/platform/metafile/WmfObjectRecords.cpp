// Object creation and text records of WMF playback.
#include "platform/metafile/WmfRecordPlayer.h"

#include "platform/metafile/DibDecoder.h"
#include "platform/metafile/TextDecoding.h"

namespace platform::metafile {

void WmfRecordPlayer::createPen(Record& rec) {
    ByteReader& r = rec.r;
    LogicalPen pen;
    const std::uint16_t style = r.u16();
    pen.width = std::abs(r.i16());
    r.i16();
    pen.color = color(r);
    pen.style = style & 0x0F;
    pen.endCap = (style >> 8) & 0x0F;
    pen.join = (style >> 12) & 0x0F;
    if (pen.style > LogicalPen::Alternate) {
        pen.style = LogicalPen::Solid;
    }
    dc_.createObject(pen);
}

void WmfRecordPlayer::createBrush(Record& rec) {
    ByteReader& r = rec.r;
    LogicalBrush brush;
    brush.style = r.u16();
    brush.color = color(r);
    brush.hatch = r.u16();
    if (brush.style != LogicalBrush::Null && brush.style != LogicalBrush::Hatched) {
        brush.style = LogicalBrush::Solid;
    }
    dc_.createObject(brush);
}

void WmfRecordPlayer::createFont(Record& rec) {
    ByteReader& r = rec.r;
    LogicalFont font;
    font.height = r.i16();
    font.width = r.i16();
    font.escapement = r.i16();
    r.i16();  // orientation
    font.weight = r.i16();
    font.italic = r.u8() != 0;
    font.underline = r.u8() != 0;
    font.strikeOut = r.u8() != 0;
    font.charset = r.u8();
    r.skip(4);
    if (r.ok()) {
        font.face = TextDecoding::decodeAnsiName(r, 32);
    }
    dc_.createObject(font);
}

void WmfRecordPlayer::createPalette(Record& rec) {
    ByteReader& r = rec.r;
    LogicalPalette palette;
    r.u16();
    const int count = r.u16();
    for (int i = 0; i < count && r.has(4); ++i) {
        const int red = r.u8(), green = r.u8(), blue = r.u8();
        r.u8();
        palette.colors.emplace_back(red, green, blue);
    }
    dc_.createObject(palette);
}

void WmfRecordPlayer::createRegion(Record& rec) {
    ByteReader& r = rec.r;
    RegionRects region;
    r.skip(10);  // nextInChain, objectType, objectCount, regionSize
    const int scanCount = r.i16();
    r.skip(10);  // maxScan, bounding box
    for (int i = 0; i < scanCount && r.has(6); ++i) {
        const int count = r.u16();
        const int top = r.i16();
        const int bottom = r.i16();
        for (int j = 0; j + 1 < count && r.has(4); j += 2) {
            const int left = r.i16();
            const int right = r.i16();
            if (right > left && bottom > top) {
                region.rects.push_back(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
            }
        }
        r.u16();
    }
    dc_.createObject(region);
}

void WmfRecordPlayer::createPatternBrush(Record& rec) {
    ByteReader& r = rec.r;
    LogicalBrush brush;
    const std::uint16_t style = r.u16();
    const std::uint16_t usage = r.u16();
    if (r.ok()) {
        // The record always carries a DIB. BS_PATTERN makes a plain pattern
        // brush: its colour table holds RGB values, and a 1 bpp pattern is
        // drawn in the text and background colours, like a monochrome bitmap.
        const ByteReader dib = r.sub(r.pos(), r.remaining());
        const bool pattern = style == LogicalBrush::Pattern;
        brush.pattern = DibDecoder::decodePacked(dib, !pattern && usage == 1, dc_.state().palette);
        brush.monochrome = pattern && DibDecoder::bitCount(dib) == 1;
    }
    brush.style = brush.pattern.isNull() ? LogicalBrush::Solid : LogicalBrush::DibPatternPt;
    brush.color = Qt::gray;
    dc_.createObject(brush);
}

const RegionRects* WmfRecordPlayer::region(std::uint16_t index) const {
    const GdiObject* object = dc_.object(index);
    return object ? std::get_if<RegionRects>(object) : nullptr;
}

const LogicalBrush* WmfRecordPlayer::brush(std::uint16_t index) const {
    const GdiObject* object = dc_.object(index);
    return object ? std::get_if<LogicalBrush>(object) : nullptr;
}

void WmfRecordPlayer::selectObject(std::uint16_t index) {
    if (const RegionRects* region = this->region(index)) {
        gdi_.combineClip(gdi_.logicalRectsToTarget(region->rects), GdiPlayer::RegionMode::Copy);
        return;
    }
    dc_.selectObject(index);
}

void WmfRecordPlayer::textOut(Record& rec) {
    ByteReader& r = rec.r;
    const int length = r.i16();
    if (length <= 0 || !r.has(std::size_t(length))) {
        return;
    }
    TextRun run;
    run.text = TextDecoding::decodeAnsi(r.data() + r.pos(), length, dc_.state().font.charset);
    r.skip(std::size_t((length + 1) & ~1));
    run.reference = point(r);
    if (r.ok()) {
        gdi_.text(run);
    }
}

void WmfRecordPlayer::extTextOut(Record& rec) {
    ByteReader& r = rec.r;
    TextRun run;
    run.reference = point(r);
    const int length = r.i16();
    const std::uint16_t options = r.u16();
    if (!r.ok() || length < 0) {
        return;
    }
    run.opaque = options & 0x0002;
    run.clipped = options & 0x0004;
    if ((run.opaque || run.clipped) && r.has(8)) {
        const double left = r.i16(), top = r.i16(), right = r.i16(), bottom = r.i16();
        run.rect = QRectF(QPointF(left, top), QPointF(right, bottom));
        run.hasRect = true;
    }
    if (!r.has(std::size_t(length))) {
        return;
    }
    run.text = TextDecoding::decodeAnsi(r.data() + r.pos(), length, dc_.state().font.charset);
    r.skip(std::size_t((length + 1) & ~1));
    if (length > 0 && r.has(std::size_t(length) * 2)) {
        for (int i = 0; i < length; ++i) {
            run.dx.push_back(r.i16());
        }
        // A multi-byte string has fewer characters than bytes: merge the advances.
        if (run.text.size() != length) {
            run.dx.clear();
        }
    }
    gdi_.text(run);
}

}  // namespace platform::metafile
