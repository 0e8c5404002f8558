#pragma once

#include <QColor>

namespace platform {

// Colours are written as 0xBBGGRR numbers (red in the low byte), as the window designs give them.
inline QColor colorFromBgr(unsigned long bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

inline unsigned long bgrFromColor(const QColor& color) {
    return static_cast<unsigned long>(color.red()) |
           (static_cast<unsigned long>(color.green()) << 8) |
           (static_cast<unsigned long>(color.blue()) << 16);
}

}  // namespace platform
