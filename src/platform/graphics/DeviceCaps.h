#pragma once

#include <cstdint>

namespace vx {

// The capability indices of the platform's GetDeviceCaps.
enum TDeviceCapIndex : int {
    HORZRES = 8,
    VERTRES = 10,
    LOGPIXELSX = 88,
    LOGPIXELSY = 90,
    PHYSICALWIDTH = 110,
    PHYSICALHEIGHT = 111,
    PHYSICALOFFSETX = 112,
    PHYSICALOFFSETY = 113,
};

// What a device reports about itself, in its own pixels.
struct TDeviceCaps {
    int32_t HorzRes = 0;
    int32_t VertRes = 0;
    int32_t PhysicalWidth = 0;
    int32_t PhysicalHeight = 0;
    int32_t PhysicalOffsetX = 0;
    int32_t PhysicalOffsetY = 0;
    int32_t LogPixelsX = 96;
    int32_t LogPixelsY = 96;

    // 0 for an index the device does not report.
    int32_t Get(int index) const;
    // The same device turned by 90 degrees.
    TDeviceCaps Swapped() const;
    bool operator==(const TDeviceCaps&) const = default;
};

inline int32_t TDeviceCaps::Get(int index) const {
    switch (index) {
    case HORZRES:
        return HorzRes;
    case VERTRES:
        return VertRes;
    case LOGPIXELSX:
        return LogPixelsX;
    case LOGPIXELSY:
        return LogPixelsY;
    case PHYSICALWIDTH:
        return PhysicalWidth;
    case PHYSICALHEIGHT:
        return PhysicalHeight;
    case PHYSICALOFFSETX:
        return PhysicalOffsetX;
    case PHYSICALOFFSETY:
        return PhysicalOffsetY;
    default:
        return 0;
    }
}

inline TDeviceCaps TDeviceCaps::Swapped() const {
    TDeviceCaps c;
    c.HorzRes = VertRes;
    c.VertRes = HorzRes;
    c.PhysicalWidth = PhysicalHeight;
    c.PhysicalHeight = PhysicalWidth;
    c.PhysicalOffsetX = PhysicalOffsetY;
    c.PhysicalOffsetY = PhysicalOffsetX;
    c.LogPixelsX = LogPixelsY;
    c.LogPixelsY = LogPixelsX;
    return c;
}

} // namespace vx
