#include "platform/ui/Shape.h"

#include "platform/ui/Guard.h"
#include "platform/ui/QtInput.h"

#include <QMouseEvent>
#include <QPainter>

namespace vx {

TShape::TShape(QWidget* parent, const QString& name) : QWidget(parent) {
    setObjectName(name);
}

void TShape::SetBrushColor(TColor color) {
    if (color == brushColor_)
        return;
    brushColor_ = color;
    update();
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const TColor rgb = ColorToRGB(brushColor_);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(rect().adjusted(1, 1, -1, -1),
                     QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
}

void TShape::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    Guard([&] {
        if (OnMouseDown)
            OnMouseDown(this, MouseButtonOf(event->button()), ShiftStateOf(*event), p.x(), p.y());
    });
}

} // namespace vx
