#pragma once

#include "platform/metafile/RecordTypes.h"

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <array>
#include <cstdint>
#include <initializer_list>

// Assembles small EMF and WMF files record by record, for tests that need
// exact control over every field (including wrong ones).
namespace metafile_test {

using platform::metafile::EmfPlusRecord;
using platform::metafile::EmfRecord;
using platform::metafile::WmfRecord;
using R = EmfRecord;
using W = WmfRecord;
using P = EmfPlusRecord;

// COLORREFs (0x00BBGGRR) of pure red and pure blue.
constexpr std::uint32_t kRed = 0x0000FF, kBlue = 0xFF0000;

class Bytes {
  public:
    // Every field is little-endian, as the files hold it.
    template <typename T>
    Bytes& put(T v) {
        data_.append(reinterpret_cast<const char*>(&v), sizeof v);
        return *this;
    }
    Bytes& u8(std::uint8_t v) { return put(v); }
    Bytes& u16(std::uint16_t v) { return put(v); }
    Bytes& i16(std::int16_t v) { return put(v); }
    Bytes& u32(std::uint32_t v) { return put(v); }
    Bytes& i32(std::int32_t v) { return put(v); }
    Bytes& f32(float v) { return put(v); }
    template <typename T, typename V>
    Bytes& all(std::initializer_list<V> vs) {
        for (V v : vs) {
            put(T(v));
        }
        return *this;
    }
    Bytes& i32s(std::initializer_list<std::int32_t> vs) { return all<std::int32_t>(vs); }
    Bytes& u32s(std::initializer_list<std::uint32_t> vs) { return all<std::uint32_t>(vs); }
    Bytes& i16s(std::initializer_list<int> vs) { return all<std::uint16_t>(vs); }  // WMF fields
    Bytes& f32s(std::initializer_list<float> vs) { return all<float>(vs); }
    Bytes& u16s(std::initializer_list<std::uint16_t> vs) { return all<std::uint16_t>(vs); }
    Bytes& u8s(std::initializer_list<std::uint8_t> vs) { return all<std::uint8_t>(vs); }
    Bytes& raw(const QByteArray& bytes) {
        data_.append(bytes);
        return *this;
    }
    const QByteArray& data() const { return data_; }
    int size() const { return int(data_.size()); }

  private:
    QByteArray data_;
};

// Stock object: the pen that draws nothing, so fills can be checked up to their edges.
constexpr std::uint32_t kNullPen = 0x80000008u;

// Appends records given as a type and its fields, in order (32-bit fields in an EMF,
// 16-bit ones in a WMF).
template <typename Builder, typename Type, typename Field>
class RecordLists {
  public:
    struct Fields {
        Type type;
        std::initializer_list<Field> fields;
    };
    Builder& records(std::initializer_list<Fields> list) {
        auto& self = static_cast<Builder&>(*this);
        for (const Fields& r : list) {
            self.record(r.type, r.fields);
        }
        return self;
    }
};

// EMF with a 1000 x 1000 pixel reference device of 100 x 100 mm and a frame
// covering device pixels (0,0)-(999,999).
class EmfBuilder : public RecordLists<EmfBuilder, EmfRecord, std::int32_t> {
  public:
    EmfBuilder() {
        header_.u32s({1, 88}).i32s({0, 0, 999, 999, 0, 0, 9999, 9999});
        header_.u32s({0x464D4520, 0x10000, 0, 0}).u16(16).u16(0).u32s({0, 0, 0});
        header_.i32s({1000, 1000, 100, 100});  // device pixels, millimetres
    }
    EmfBuilder& record(EmfRecord type, const Bytes& params) {
        body_.u32(std::uint32_t(type)).u32(std::uint32_t(8 + params.size())).raw(params.data());
        return *this;
    }
    EmfBuilder& record(EmfRecord type, std::initializer_list<std::int32_t> fields = {}) {
        return record(type, Bytes().i32s(fields));
    }
    QByteArray build() const {
        return header_.data() + body_.data() + Bytes().u32s({14, 20, 0, 0, 20}).data();
    }

    EmfBuilder& solidBrush(std::uint32_t index, std::uint32_t colorRef) {
        return record(EmfRecord::EMR_CREATEBRUSHINDIRECT, Bytes().u32s({index, 0, colorRef, 0}));
    }
    EmfBuilder& pen(std::uint32_t index, std::uint32_t style, std::int32_t width,
                    std::uint32_t colorRef) {
        return record(EmfRecord::EMR_CREATEPEN,
                      Bytes().u32s({index, style}).i32s({width, 0}).u32(colorRef));
    }
    EmfBuilder& select(std::uint32_t index) {
        return record(EmfRecord::EMR_SELECTOBJECT, Bytes().u32(index));
    }
    // A solid brush of `colorRef` in slot 1 and the null pen, both selected.
    EmfBuilder& fillWith(std::uint32_t colorRef) {
        return solidBrush(1, colorRef).select(1).select(kNullPen);
    }
    // Baseline-aligned text on a transparent background.
    EmfBuilder& plainText() {
        return record(EmfRecord::EMR_SETTEXTALIGN, {24}).record(EmfRecord::EMR_SETBKMODE, {1});
    }
    EmfBuilder& line(int x0, int y0, int x1, int y1) {
        return record(EmfRecord::EMR_MOVETOEX, {x0, y0}).record(EmfRecord::EMR_LINETO, {x1, y1});
    }
    EmfBuilder& rectangle(int l, int t, int r, int b) {
        return record(EmfRecord::EMR_RECTANGLE, {l, t, r, b});
    }
    EmfBuilder& ellipse(int l, int t, int r, int b) {
        return record(EmfRecord::EMR_ELLIPSE, {l, t, r, b});
    }
    // EMR_EXTCREATEFONTINDIRECTW: a LOGFONT of normal weight whose
    // orientation follows the escapement.
    EmfBuilder& font(std::uint32_t index, std::int32_t height, const QByteArray& face = "Arial",
                     std::int32_t width = 0, std::int32_t escapement = 0) {
        Bytes f;
        f.u32(index).i32s({height, width, escapement, escapement, 400, 0, 0});
        for (int i = 0; i < 32; ++i) {
            f.u16(i < face.size() ? std::uint16_t(face[i]) : 0);
        }
        return record(EmfRecord::EMR_EXTCREATEFONTINDIRECTW, f);
    }
    // EMR_EXTTEXTOUTW of `text` at `at`, without options or rectangle.
    EmfBuilder& textOut(QPoint at, const QString& text) {
        Bytes t = Bytes().i32s({0, 0, 0, 0, 1, 0, 0, at.x(), at.y(), int(text.size()), 76});
        return record(EmfRecord::EMR_EXTTEXTOUTW, utf16(t.i32s({0, 0, 0, 0, 0, 0}), text));
    }
    // EMR_SMALLTEXTOUT of `text` at `at`: 8-bit codes with ETO_SMALL_CHARS
    // in `options`, else UTF-16; the rectangle is written unless ETO_NO_RECT is set.
    EmfBuilder& smallTextOut(QPoint at, const QString& text, std::uint32_t options,
                             std::array<std::int32_t, 4> rect = {0, 0, 0, 0}) {
        Bytes t;
        t.i32s({at.x(), at.y(), int(text.size()), int(options), 1}).f32s({0, 0});
        if (!(options & 0x0100)) {
            t.i32s({rect[0], rect[1], rect[2], rect[3]});
        }
        if (options & 0x0200) {
            t.raw(text.toLatin1());
        } else {
            utf16(t, text);
        }
        while (t.size() % 4) {
            t.u8(0);
        }
        return record(EmfRecord::EMR_SMALLTEXTOUT, t);
    }

  private:
    static Bytes& utf16(Bytes& b, const QString& text) {
        for (QChar c : text) {
            b.u16(c.unicode());
        }
        return text.size() % 2 ? b.u16(0) : b;
    }
    Bytes header_;
    Bytes body_;
};

// An EMF of `records` drawn with a red brush and the null pen.
inline QByteArray redFilled(std::initializer_list<EmfBuilder::Fields> records) {
    return EmfBuilder().fillWith(kRed).records(records).build();
}

// One EMF+ record: type, flags and data.
struct PlusRecord {
    EmfPlusRecord type;
    std::uint16_t flags;
    Bytes data;
};

// EmfPlusFillRects of one rectangle in an ARGB colour.
inline PlusRecord fillRect(std::uint32_t argb, float x, float y, float w, float h) {
    return {EmfPlusRecord::EmfPlusFillRects, 0x8000, Bytes().u32s({argb, 1}).f32s({x, y, w, h})};
}

// EmfPlusDrawImage of image object `object`: the `source` part, in pixels,
// into the `dest` rectangle, both as (x, y, width, height).
inline PlusRecord drawImage(std::uint16_t object, std::array<float, 4> s, std::array<float, 4> d) {
    return {EmfPlusRecord::EmfPlusDrawImage, object,
            Bytes().u32(0xFFFFFFFFu).i32(2).f32s({s[0], s[1], s[2], s[3], d[0], d[1], d[2], d[3]})};
}

// EMF whose picture is carried by EMF+ records inside EMR_COMMENT records.
// The EMF+ header declares a dual file (or an EMF+-only one) on a 96 dpi
// video display; EMF+ pixels are the EMF's device pixels.
class EmfPlusBuilder {
  public:
    explicit EmfPlusBuilder(bool dual = true) {
        plus(EmfPlusRecord::EmfPlusHeader, dual ? 1 : 0, Bytes().u32s({0xDBC01002u, 1, 96, 96}));
    }
    // Appends an EMF+ record, of any type number, to the comment being assembled.
    EmfPlusBuilder& plus(EmfPlusRecord type, std::uint16_t flags, const Bytes& data) {
        return plus(std::uint16_t(type), flags, data);
    }
    EmfPlusBuilder& plus(std::uint16_t type, std::uint16_t flags, const Bytes& data) {
        pending_.u16(type).u16(flags).u32s(
            {std::uint32_t(12 + data.size()), std::uint32_t(data.size())});
        return plusRaw(data);
    }
    EmfPlusBuilder& plus(std::initializer_list<PlusRecord> records) {
        for (const PlusRecord& r : records) {
            plus(r.type, r.flags, r.data);
        }
        return *this;
    }
    // Appends raw bytes to the comment (damaged records).
    EmfPlusBuilder& plusRaw(const Bytes& bytes) {
        pending_.raw(bytes.data());
        return *this;
    }
    // Ends the current comment; the next EMF+ record starts a new one.
    EmfPlusBuilder& flush() {
        if (pending_.size() > 0) {
            emf_.record(EmfRecord::EMR_COMMENT,
                        Bytes()
                            .u32s({std::uint32_t(4 + pending_.size()), 0x2B464D45u})
                            .raw(pending_.data()));
            pending_ = Bytes();
        }
        return *this;
    }
    // The EMF record stream, for fallback records and GetDC hand-over.
    EmfBuilder& emf() {
        flush();
        return emf_;
    }
    QByteArray build() { return plus(EmfPlusRecord::EmfPlusEndOfFile, 0, Bytes()).emf().build(); }

  private:
    EmfBuilder emf_;
    Bytes pending_;
};

// Placeable WMF with a 0..1000 bounding box at 1000 units per inch, or a plain one.
class WmfBuilder : public RecordLists<WmfBuilder, WmfRecord, int> {
  public:
    explicit WmfBuilder(bool placeable = true) : placeable_(placeable) {}

    WmfBuilder& record(WmfRecord function, const Bytes& params) {
        body_.u32(std::uint32_t(3 + params.size() / 2))
            .u16(std::uint16_t(function))
            .raw(params.data());
        return *this;
    }
    // Appends a record of 16-bit fields, in the order the file holds them.
    WmfBuilder& record(WmfRecord function, std::initializer_list<int> fields = {}) {
        return record(function, Bytes().i16s(fields));
    }
    QByteArray build() const {
        Bytes out;
        if (placeable_) {
            out.u32(0x9AC6CDD7).i16s({0, 0, 0, 1000, 1000, 1000, 0, 0, 0});
        }
        out.i16s({1, 9, 0x0300, 0, 0, 8, 0, 0, 0}).raw(body_.data());
        return out.u32(3).u16(0).data();
    }
    WmfBuilder& window(int x, int y, int w, int h) {
        return record(WmfRecord::META_SETWINDOWORG, {y, x})
            .record(WmfRecord::META_SETWINDOWEXT, {h, w});
    }
    WmfBuilder& solidBrush(std::uint32_t colorRef) {
        return record(WmfRecord::META_CREATEBRUSHINDIRECT, Bytes().u16(0).u32(colorRef).u16(0));
    }
    WmfBuilder& nullPen() { return record(WmfRecord::META_CREATEPENINDIRECT, {5, 0, 0, 0, 0}); }
    WmfBuilder& select(std::uint16_t index) {
        return record(WmfRecord::META_SELECTOBJECT, {index});
    }
    WmfBuilder& rectangle(int l, int t, int r, int b) {
        return record(WmfRecord::META_RECTANGLE, {b, r, t, l});
    }
    // A window of 0..1000 both ways, a solid brush of `colorRef` and the null pen.
    WmfBuilder& fillWith(std::uint32_t colorRef) {
        return window(0, 0, 1000, 1000).solidBrush(colorRef).nullPen().select(0).select(1);
    }
    // META_ESCAPE / MFCOMMENT carrying one chunk of an embedded EMF; the
    // fields are taken as given so tests can make them wrong.
    WmfBuilder& embeddedEmfChunk(std::uint32_t chunks, std::uint32_t remaining, std::uint32_t total,
                                 const QByteArray& data) {
        Bytes comment = Bytes().u32s({0x43464D57, 1, 0x10000}).u16(0).u32(0);  // "WMFC", EMF
        comment.u32s({chunks, std::uint32_t(data.size()), remaining, total}).raw(data);
        if (comment.size() % 2 == 1) {
            comment.u8(0);
        }
        return record(WmfRecord::META_ESCAPE,
                      Bytes().u16(15).u16(std::uint16_t(comment.size())).raw(comment.data()));
    }

  private:
    bool placeable_;
    Bytes body_;
};

}  // namespace metafile_test
