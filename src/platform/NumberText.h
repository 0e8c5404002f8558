#pragma once

#include <QString>

namespace platform {

// The two number-to-text conversions: with a sign position (a blank before a
// non-negative number) and plain (no blanks).
inline QString withSignPosition(long long n) {
    return n >= 0 ? QStringLiteral(" ") + QString::number(n) : QString::number(n);
}

inline QString plainNumber(long long n) {
    return QString::number(n);
}

}  // namespace platform
