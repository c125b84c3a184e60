#pragma once

// Qt's input as the class library's handlers see it.

#include "platform/runtime/Input.h"

#include <Qt>

#include <cstdint>

class QMouseEvent;

namespace vx {

TMouseButton MouseButtonOf(Qt::MouseButton button);
// The shift state of Qt's modifiers and pressed buttons.
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = {});
// The virtual-key code of a Qt key; VK_PACKET for keys without one.
uint16_t VirtualKeyOf(int qtKey);
// The shift state of a mouse event: keys, held buttons, and ssDouble for a double click.
TShiftState ShiftStateOf(const QMouseEvent& event);
// The class library's cursor numbers (crDefault 0, crSizeNS -7, ...) as Qt cursor shapes;
// unknown numbers give the arrow.
Qt::CursorShape CursorShapeOf(int32_t cursor);

} // namespace vx
