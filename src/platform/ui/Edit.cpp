#include "platform/ui/Edit.h"

#include "platform/ui/Guard.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QPalette>

namespace vx {

TEdit::TEdit(QWidget* parent, const QString& name)
    : QLineEdit(parent), font_(new TControlFont(this)) {
    setObjectName(name);
    setAcceptDrops(true);
    // textChanged, unlike textEdited, also follows setText, which the class library's OnChange
    // did too.
    connect(this, &QLineEdit::textChanged, this, [this] {
        Guard([this] {
            if (OnChange)
                OnChange(this);
        });
    });
}

void TEdit::SetColor(TColor color) {
    color_ = color;
    const TColor rgb = ColorToRGB(color);
    QPalette p = palette();
    p.setColor(QPalette::Base, QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
    setPalette(p);
}

void TEdit::keyPressEvent(QKeyEvent* event) {
    char key = 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        key = '\r';
    else if (event->text().size() == 1 && event->text().at(0).unicode() < 0x80)
        key = static_cast<char>(event->text().at(0).unicode());
    if (key && OnKeyPress) {
        Guard([&] { OnKeyPress(this, key); });
        if (key == 0)
            return;
    }
    QLineEdit::keyPressEvent(event);
}

void TEdit::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void TEdit::dragMoveEvent(QDragMoveEvent* event) {
    dragAccepted_ = DragOverControl(this, *event, event->position().toPoint(), OnDragOver);
}

void TEdit::dragLeaveEvent(QDragLeaveEvent*) {
    dragAccepted_ = false;
}

void TEdit::dropEvent(QDropEvent* event) {
    DropOnControl(this, *event, event->position().toPoint(), dragAccepted_, OnDragDrop);
    dragAccepted_ = false;
}

} // namespace vx
