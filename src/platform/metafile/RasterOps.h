#pragma once

#include <QImage>
#include <QPoint>
#include <QRgb>

namespace platform::metafile {

// Binary raster operations (R2_BLACK = 1 ... R2_WHITE = 16): how a pen or
// brush colour P combines with the destination colour D, bit by bit.
inline constexpr int kRop2CopyPen = 13;
inline constexpr int kRop2Nop = 11;

// The 24-bit colour raster operation `rop2` makes of pen `pen` over `dest`.
// Codes outside 1..16 copy the pen.
QRgb combineRop2(int rop2, QRgb pen, QRgb dest);

// Combines `layer` into `dest` at `origin` through `rop2`. The layer is
// either premultiplied ARGB holding what the pen or brush drew (its alpha is
// the coverage), or an Alpha8 coverage mask of the single colour `solid`.
// The destination counts as white paper where it is transparent; an
// operation that leaves such paper white leaves it transparent, so a picture
// keeps its clear margins. `dest` must be premultiplied ARGB or RGB32.
void applyRop2Layer(QImage& dest, const QImage& layer, const QPoint& origin, int rop2,
                    QRgb solid = 0);

}  // namespace platform::metafile
