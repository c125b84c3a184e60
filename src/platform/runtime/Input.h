#pragma once

#include <cstdint>

namespace vx {

// Mouse buttons and shift states as the class library's handlers receive them; shared by the
// engine objects and the controls.
enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : uint32_t {
    ssShift = 0x01,
    ssAlt = 0x02,
    ssCtrl = 0x04,
    ssLeft = 0x08,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40,
};
using TShiftState = uint32_t;

// Virtual-key codes of the keys that handlers look at; letters and digits are their upper-case
// ASCII codes.
enum TVirtualKey : uint16_t {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_LWIN = 0x5B,
    VK_F1 = 0x70,
    VK_F2 = 0x71,
    VK_NUMLOCK = 0x90,
    // A key that has no code of its own (punctuation, characters outside ASCII).
    VK_PACKET = 0xE7,
};

} // namespace vx
