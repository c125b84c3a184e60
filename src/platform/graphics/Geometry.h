#pragma once

#include "platform/runtime/Geometry.h"

#include <cstdint>

namespace vx {

struct TSize {
    int32_t cx = 0;
    int32_t cy = 0;
    bool operator==(const TSize&) const = default;
};

inline TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return TRect{left, top, right, bottom};
}
inline TRect Bounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    return TRect{left, top, left + width, top + height};
}

} // namespace vx
