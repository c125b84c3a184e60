#pragma once

#include "platform/graphics/Colors.h"

#include <cstdint>

namespace vx {

enum TPenStyle : uint8_t {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame
};

// In the class library's order; the raster-operation code of a mode is its ordinal + 1.
enum TPenMode : uint8_t {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

constexpr int R2_NOT = pmNot + 1;
constexpr int R2_COPYPEN = pmCopy + 1;
constexpr int R2_XORPEN = pmXor + 1;
constexpr int R2_NOTXORPEN = pmNotXor + 1;

// Width is in pixels of the device drawn on. A width of 1 or less is a hairline whose dashes
// are measured in device pixels; a wider pen with a dash style draws solid.
class TPen {
public:
    TColor Color = clBlack;
    int32_t Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;

    void Assign(const TPen& source) { *this = source; }
    bool operator==(const TPen&) const = default;
};

} // namespace vx
