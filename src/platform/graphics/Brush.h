#pragma once

#include "platform/graphics/Colors.h"

#include <cstdint>

namespace vx {

enum TBrushStyle : uint8_t {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

// A solid brush also makes text backgrounds opaque; a clear one leaves them transparent.
class TBrush {
public:
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;

    void Assign(const TBrush& source) { *this = source; }
    bool operator==(const TBrush&) const = default;
};

} // namespace vx
