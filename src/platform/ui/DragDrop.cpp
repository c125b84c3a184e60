#include "platform/ui/DragDrop.h"

#include "platform/ui/Guard.h"

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QWidget>

namespace vx {

namespace {

const QString kDragFormat = QStringLiteral("application/x-vornix-control");

// Carries the source control without owning it; no text, so that no editor takes it.
class ControlDragData : public QMimeData {
public:
    explicit ControlDragData(QWidget* source) : source_(source) {
        setData(kDragFormat, QByteArray());
    }
    QWidget* Source() const { return source_; }

private:
    QPointer<QWidget> source_;
};

void RunQtDrag(QDrag& drag) {
    drag.exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

DragRunner& Runner() {
    static DragRunner runner = RunQtDrag;
    return runner;
}

} // namespace

void BeginDrag(QWidget* control) {
    if (!control)
        return;
    // The drag is a child of its source: a source freed during the drag takes it along.
    QPointer<QDrag> drag = new QDrag(control);
    drag->setMimeData(NewDragData(control).release());
    Runner()(*drag);
    delete drag.data();
}

DragRunner SetDragRunner(DragRunner runner) {
    DragRunner previous = std::move(Runner());
    Runner() = runner ? std::move(runner) : DragRunner(RunQtDrag);
    return previous;
}

std::unique_ptr<QMimeData> NewDragData(QWidget* source) {
    return std::make_unique<ControlDragData>(source);
}

QWidget* DragSource(const QMimeData* data) {
    const auto* ours = dynamic_cast<const ControlDragData*>(data);
    return ours ? ours->Source() : nullptr;
}

bool DragOverControl(QObject* control, QDragMoveEvent& event, QPoint at,
                     const TDragOverEvent& onDragOver) {
    QWidget* source = DragSource(event.mimeData());
    bool accept = source && onDragOver;
    if (accept && !Guard([&] { onDragOver(control, source, at.x(), at.y(), accept); }))
        accept = false;
    if (accept)
        event.acceptProposedAction();
    else
        event.ignore();
    return accept;
}

void DropOnControl(QObject* control, QDropEvent& event, QPoint at, bool accepted,
                   const TDragDropEvent& onDragDrop) {
    QWidget* source = DragSource(event.mimeData());
    if (!accepted || !source || !onDragDrop) {
        event.ignore();
        return;
    }
    event.acceptProposedAction();
    Guard([&] { onDragDrop(control, source, at.x(), at.y()); });
}

} // namespace vx
