#pragma once

#include <cmath>

namespace platform {

// Lengths of windows and controls are kept in twips (1/1440 inch). A logical pixel is
// always 15 twips; Qt scales logical pixels to the device below that.
constexpr int TwipsPerPixel = 15;

// Rounds to the nearest whole number, halves to the even neighbour (banker's rounding),
// the rounding used everywhere a length or a ratio becomes a whole twip.
inline long roundHalfEven(double value) {
    return static_cast<long>(std::nearbyint(value));  // default FE_TONEAREST mode
}

inline int twipsToPixels(double twips) {
    return static_cast<int>(roundHalfEven(twips / TwipsPerPixel));
}

inline double pixelsToTwips(int pixels) {
    return static_cast<double>(pixels) * TwipsPerPixel;
}

}  // namespace platform
