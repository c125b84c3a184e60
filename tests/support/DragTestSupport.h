#pragma once

// Drags in tests: BeginDrag records its drag instead of entering Qt's drag loop, and DropOn
// hands the recorded data to a target as the window system would.

#include "platform/ui/DragDrop.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

#include <memory>

namespace vx::test {

// Records the drags that BeginDrag starts while it lives.
class RecordedDrag {
public:
    RecordedDrag() {
        previous_ = SetDragRunner([this](QDrag& drag) {
            data_ = NewDragData(DragSource(drag.mimeData()));
            ++count_;
        });
    }
    ~RecordedDrag() { SetDragRunner(std::move(previous_)); }
    RecordedDrag(const RecordedDrag&) = delete;
    RecordedDrag& operator=(const RecordedDrag&) = delete;

    // How many drags were started.
    int Count() const { return count_; }
    // The last drag's source; null when none was started or the source is gone.
    QWidget* Source() const { return data_ ? DragSource(data_.get()) : nullptr; }
    // The last drag's data; null when none was started.
    const QMimeData* Data() const { return data_.get(); }

private:
    DragRunner previous_;
    std::unique_ptr<QMimeData> data_;
    int count_ = 0;
};

// Sends the target Qt's drag-enter, drag-move and drop events at a point of its client area
// (the viewport of a scrolling control). The drop goes even after a refusal, so that a target
// that drops regardless shows. True when the target accepted the drop.
inline bool DropOn(QWidget* target, QPoint at, const QMimeData* data) {
    if (!data)
        return false;
    QWidget* receiver = target;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(target))
        receiver = area->viewport();
    const Qt::DropActions actions = Qt::MoveAction | Qt::CopyAction;
    QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(receiver, &enter);
    QDragMoveEvent move(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(receiver, &move);
    QDropEvent drop(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(receiver, &drop);
    return drop.isAccepted();
}

} // namespace vx::test
