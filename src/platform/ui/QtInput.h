#pragma once

// Qt's input as the class library's handlers see it.

#include "platform/runtime/Input.h"

#include <Qt>

#include <cstdint>

namespace vx {

TMouseButton MouseButtonOf(Qt::MouseButton button);
// The shift state of Qt's modifiers and pressed buttons.
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = {});
// The virtual-key code of a Qt key; VK_PACKET for keys without one.
uint16_t VirtualKeyOf(int qtKey);
// The Qt shape of a class-library cursor code (crDefault 0, crSizeNS -7, ...); unknown codes
// give the arrow.
Qt::CursorShape CursorShapeOf(int32_t cursor);

} // namespace vx
