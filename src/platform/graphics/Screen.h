#pragma once

#include <cstdint>
#include <string>

namespace vx {

// The screen as the engine measures it: always 96 dpi, so that zoom and screen sizes do not
// depend on the desktop's scaling.
struct TScreen {
    int32_t PixelsPerInch = 96;
    int32_t Width = 1920;
    int32_t Height = 1080;
    int32_t VScrollBarWidth = 17;
    int32_t HScrollBarHeight = 17;
};

// The primary screen's geometry (a full-HD screen when no display is open).
TScreen Screen();

class TApplication {
public:
    // The program file, from /proc/self/exe unless VORNIX_PROGRAM_PATH names another.
    std::string ExeName() const;
    std::string Title = "Vornix";
    // Brings the program's windows to the front as far as the desktop allows.
    void ForceForeground();
    void SetTopMost(bool topMost);
};

TApplication& Application();

} // namespace vx
