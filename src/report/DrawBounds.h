#pragma once

// What a stored value may be once it is drawn. Files carry whatever they were given, and
// readers keep it (a document saved again writes what it read); where a value becomes a
// pixel size, a count of things to draw or an allocation, it is bounded here first, to what
// the program's own dialogs allow or else to what a real page can use.

#include <algorithm>
#include <cstdint>

namespace vx {

struct TDrawBounds {
    // The margins dialog.
    static constexpr int32_t MarginMm = 500;
    // Header and footer heights, cell and column sizes: percent of what they divide.
    static constexpr int32_t Percent = 100;
    // Past the largest fit of a page to a screen.
    static constexpr uint32_t ZoomMin = 1;
    static constexpr uint32_t ZoomMax = 800;
    // A font of 1000 points is taller than the largest paper.
    static constexpr int32_t FontPoints = 1000;
    // Pen widths in pixels of a 600 dpi printer: one inch.
    static constexpr int32_t PenPixels = 600;
    // Ticks, divisions and grid lines along one axis: more than a page has pixels to show.
    static constexpr int32_t Lines = 10000;
    // Sides of a picture in pixels.
    static constexpr int32_t PicturePixels = 16384;

    static constexpr int32_t Pen(int64_t width) {
        return static_cast<int32_t>(std::clamp<int64_t>(width, 0, PenPixels));
    }

    template <class T>
    static constexpr T Clamp(T value, T low, T high) {
        return std::clamp(value, low, high);
    }
};

} // namespace vx
