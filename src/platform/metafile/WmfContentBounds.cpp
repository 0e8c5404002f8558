#include "platform/metafile/WmfContentBounds.h"

#include "platform/metafile/ByteReader.h"
#include "platform/metafile/RecordTypes.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace platform::metafile {

std::optional<QRectF> WmfContentBounds::compute(const MetafileDocument& doc) {
    const QRectF frame = doc.deviceFrame;
    QPointF windowOrg = frame.topLeft();
    QPointF windowExt(frame.width(), frame.height());
    std::vector<std::pair<QPointF, QPointF>> saved;
    double fontHeight = 12;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool any = false;
    auto add = [&](double x, double y) {
        const double dx = (x - windowOrg.x()) * frame.width() / windowExt.x() + frame.left();
        const double dy = (y - windowOrg.y()) * frame.height() / windowExt.y() + frame.top();
        minX = any ? std::min(minX, dx) : dx;
        maxX = any ? std::max(maxX, dx) : dx;
        minY = any ? std::min(minY, dy) : dy;
        maxY = any ? std::max(maxY, dy) : dy;
        any = true;
    };
    const char* base = doc.bytes.constData();
    for (const RecordSpan& record : doc.records) {
        ByteReader r(base + record.offset + 6, record.size - 6);
        switch (static_cast<WmfRecord>(record.type)) {
            case WmfRecord::META_SAVEDC:
                if (saved.size() < 1024) {
                    saved.emplace_back(windowOrg, windowExt);
                }
                break;
            case WmfRecord::META_RESTOREDC: {
                const int n = r.i16();
                if (r.ok() && n < 0 && std::size_t(-n) <= saved.size()) {
                    const std::size_t keep = saved.size() - std::size_t(-n);
                    windowOrg = saved[keep].first;
                    windowExt = saved[keep].second;
                    saved.resize(keep);
                }
                break;
            }
            case WmfRecord::META_OFFSETWINDOWORG: {
                const double y = r.i16(), x = r.i16();
                if (r.ok()) {
                    windowOrg += QPointF(x, y);
                }
                break;
            }
            case WmfRecord::META_SETWINDOWORG: {
                const double y = r.i16(), x = r.i16();
                if (r.ok()) {
                    windowOrg = QPointF(x, y);
                }
                break;
            }
            case WmfRecord::META_SETWINDOWEXT: {
                const double y = r.i16(), x = r.i16();
                if (r.ok() && x != 0 && y != 0) {
                    windowExt = QPointF(x, y);
                }
                break;
            }
            case WmfRecord::META_POLYGON:
            case WmfRecord::META_POLYLINE: {
                const int count = r.i16();
                for (int i = 0; i < count && r.has(4); ++i) {
                    const double x = r.i16(), y = r.i16();
                    add(x, y);
                }
                break;
            }
            case WmfRecord::META_RECTANGLE:
            case WmfRecord::META_ELLIPSE: {
                const double bottom = r.i16(), right = r.i16(), top = r.i16(), left = r.i16();
                if (r.ok()) {
                    add(left, top);
                    add(right, bottom);
                }
                break;
            }
            case WmfRecord::META_CREATEFONTINDIRECT:  // remember the size for text extents
                if (const int h = r.i16(); r.ok() && h != 0) {
                    fontHeight = std::abs(h);
                }
                break;
            case WmfRecord::META_TEXTOUT: {  // string length, string, y, x
                const int length = r.i16();
                if (length > 0 && r.has(std::size_t((length + 1) & ~1) + 4)) {
                    r.skip(std::size_t((length + 1) & ~1));
                    const double y = r.i16(), x = r.i16();
                    // A rough text box: top-left reference, average glyph half as wide as high.
                    add(x, y);
                    add(x + length * fontHeight * 0.5, y + fontHeight);
                }
                break;
            }
            case WmfRecord::META_LINETO: {
                const double y = r.i16(), x = r.i16();
                if (r.ok()) {
                    add(x, y);
                }
                break;
            }
            default:
                break;
        }
    }
    if (!any || maxX <= minX || maxY <= minY) {
        return std::nullopt;
    }
    return QRectF(QPointF(minX, minY), QPointF(maxX, maxY));
}

}  // namespace platform::metafile
