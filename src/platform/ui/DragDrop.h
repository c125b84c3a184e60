#pragma once

// One drag-and-drop mechanism for the controls: a handler starts a drag of a control with
// BeginDrag, the drag carries that control as its source, and a target asks its OnDragOver
// whether it takes the source at a client point and gets OnDragDrop when it is dropped.

#include <QPoint>

#include <cstdint>
#include <functional>
#include <memory>

class QDrag;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;
class QObject;
class QWidget;

namespace vx {

// accept: set to false to refuse; a control without a handler refuses every drag.
using TDragOverEvent =
    std::function<void(QObject* sender, QObject* source, int32_t x, int32_t y, bool& accept)>;
using TDragDropEvent = std::function<void(QObject* sender, QObject* source, int32_t x, int32_t y)>;

// Starts dragging the control now; returns when the drag has ended.
void BeginDrag(QWidget* control);

// The function that runs a started drag, Qt's drag loop by default; tests put one in that
// records the drag. Returns the previous one.
using DragRunner = std::function<void(QDrag& drag)>;
DragRunner SetDragRunner(DragRunner runner);

// The data a drag of the control carries.
std::unique_ptr<QMimeData> NewDragData(QWidget* source);
// The control a drag was started from; null when the data comes from elsewhere or the control
// is gone.
QWidget* DragSource(const QMimeData* data);

// A drag entering or moving over a control at a client point: asks onDragOver, answers Qt and
// returns the answer. Drags that do not come from BeginDrag are refused.
bool DragOverControl(QObject* control, QDragMoveEvent& event, QPoint at,
                     const TDragOverEvent& onDragOver);
// A drop at a client point: onDragDrop when the last answer (accepted) took the drag and its
// source is still there.
void DropOnControl(QObject* control, QDropEvent& event, QPoint at, bool accepted,
                   const TDragDropEvent& onDragDrop);

} // namespace vx
