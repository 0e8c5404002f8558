#include "platform/metafile/WmfContentBounds.h"

#include "platform/metafile/ByteReader.h"
#include "platform/metafile/RecordTypes.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace platform::metafile {

namespace {

// Follows the window through the records and gathers the points they draw,
// mapped into the device frame.
class ContentMeasure {
  public:
    explicit ContentMeasure(const QRectF& frame)
        : frame_(frame), windowOrg_(frame.topLeft()), windowExt_(frame.width(), frame.height()) {}

    void record(WmfRecord type, ByteReader r) {
        switch (type) {
            case WmfRecord::META_SAVEDC:
                return saveDc();
            case WmfRecord::META_RESTOREDC:
                return restoreDc(r);
            case WmfRecord::META_OFFSETWINDOWORG:
                return offsetWindowOrg(r);
            case WmfRecord::META_SETWINDOWORG:
                return setWindowOrg(r);
            case WmfRecord::META_SETWINDOWEXT:
                return setWindowExt(r);
            case WmfRecord::META_POLYGON:
            case WmfRecord::META_POLYLINE:
                return poly(r);
            case WmfRecord::META_RECTANGLE:
            case WmfRecord::META_ELLIPSE:
                return box(r);
            case WmfRecord::META_CREATEFONTINDIRECT:
                return createFont(r);
            case WmfRecord::META_TEXTOUT:
                return textOut(r);
            case WmfRecord::META_LINETO:
                return lineTo(r);
            default:
                return;
        }
    }

    std::optional<QRectF> bounds() const {
        if (!any_ || maxX_ <= minX_ || maxY_ <= minY_) {
            return std::nullopt;
        }
        return QRectF(QPointF(minX_, minY_), QPointF(maxX_, maxY_));
    }

  private:
    void add(double x, double y) {
        const double dx = (x - windowOrg_.x()) * frame_.width() / windowExt_.x() + frame_.left();
        const double dy = (y - windowOrg_.y()) * frame_.height() / windowExt_.y() + frame_.top();
        minX_ = any_ ? std::min(minX_, dx) : dx;
        maxX_ = any_ ? std::max(maxX_, dx) : dx;
        minY_ = any_ ? std::min(minY_, dy) : dy;
        maxY_ = any_ ? std::max(maxY_, dy) : dy;
        any_ = true;
    }

    void saveDc() {
        if (saved_.size() < 1024) {
            saved_.emplace_back(windowOrg_, windowExt_);
        }
    }

    void restoreDc(ByteReader& r) {
        const int n = r.i16();
        if (r.ok() && n < 0 && std::size_t(-n) <= saved_.size()) {
            const std::size_t keep = saved_.size() - std::size_t(-n);
            windowOrg_ = saved_[keep].first;
            windowExt_ = saved_[keep].second;
            saved_.resize(keep);
        }
    }

    void offsetWindowOrg(ByteReader& r) {
        const double y = r.i16(), x = r.i16();
        if (r.ok()) {
            windowOrg_ += QPointF(x, y);
        }
    }

    void setWindowOrg(ByteReader& r) {
        const double y = r.i16(), x = r.i16();
        if (r.ok()) {
            windowOrg_ = QPointF(x, y);
        }
    }

    void setWindowExt(ByteReader& r) {
        const double y = r.i16(), x = r.i16();
        if (r.ok() && x != 0 && y != 0) {
            windowExt_ = QPointF(x, y);
        }
    }

    // POLYGON and POLYLINE.
    void poly(ByteReader& r) {
        const int count = r.i16();
        for (int i = 0; i < count && r.has(4); ++i) {
            const double x = r.i16(), y = r.i16();
            add(x, y);
        }
    }

    // RECTANGLE and ELLIPSE.
    void box(ByteReader& r) {
        const double bottom = r.i16(), right = r.i16(), top = r.i16(), left = r.i16();
        if (r.ok()) {
            add(left, top);
            add(right, bottom);
        }
    }

    // Remembers the font size for text extents.
    void createFont(ByteReader& r) {
        if (const int h = r.i16(); r.ok() && h != 0) {
            fontHeight_ = std::abs(h);
        }
    }

    void textOut(ByteReader& r) {  // string length, string, y, x
        const int length = r.i16();
        if (length > 0 && r.has(std::size_t((length + 1) & ~1) + 4)) {
            r.skip(std::size_t((length + 1) & ~1));
            const double y = r.i16(), x = r.i16();
            // A rough text box: top-left reference, average glyph half as wide as high.
            add(x, y);
            add(x + length * fontHeight_ * 0.5, y + fontHeight_);
        }
    }

    void lineTo(ByteReader& r) {
        const double y = r.i16(), x = r.i16();
        if (r.ok()) {
            add(x, y);
        }
    }

    QRectF frame_;
    QPointF windowOrg_;
    QPointF windowExt_;
    std::vector<std::pair<QPointF, QPointF>> saved_;
    double fontHeight_ = 12;
    double minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;
    bool any_ = false;
};

}  // namespace

std::optional<QRectF> WmfContentBounds::compute(const MetafileDocument& doc) {
    ContentMeasure measure(doc.deviceFrame);
    const char* base = doc.bytes.constData();
    for (const RecordSpan& record : doc.records) {
        measure.record(static_cast<WmfRecord>(record.type),
                       ByteReader(base + record.offset + 6, record.size - 6));
    }
    return measure.bounds();
}

}  // namespace platform::metafile
