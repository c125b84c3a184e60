#pragma once

// The items of the dialogs' owner-drawn lists of line styles and point markers.

#include "platform/graphics/Canvas.h"

#include <string>

namespace vx {

// Three black one-pixel lines across the middle of the rectangle (middle - 1, middle,
// middle + 1), one pixel inside each end, in the pen style of list position index (0 solid,
// 1 dot, 2 dash, 3 dash-dot, 4 dash-dot-dot); any other index draws nothing.
void DrawPenStyleItem(TCanvas& canvas, const TRect& rect, int index);

// Point marker `type` (as DrawMarker) in black on white, centred in a square of `side` pixels
// two pixels from the left edge, then " > " and the text.
void DrawPointTypeItem(TCanvas& canvas, const TRect& rect, int type, const std::string& text,
                       int side);

} // namespace vx
