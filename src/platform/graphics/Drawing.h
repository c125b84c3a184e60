#pragma once

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Font.h"

#include <memory>

namespace vx {

// Point-marker shapes 0..9 around (x, y) with half-size s, in the canvas's pen and brush:
// 0 circle, 1 square, 2 diamond, 3 triangle up, 4 triangle down, 5 hourglass, 6 plus, 7 X,
// 8 square with X, 9 circle with X. Any other shape draws nothing.
void DrawMarker(TCanvas& canvas, int32_t x, int32_t y, int shape, int32_t s);

// A line drawn so that drawing it twice removes it (R2_NOTXORPEN); the pen mode is restored.
void DrawXorLine(TCanvas& canvas, TPoint p1, TPoint p2);

// "Testline", 8 points, black, no style; the caller owns it.
std::unique_ptr<TFont> CreateDefaultFont();

} // namespace vx
