#include "platform/ui/Panel.h"

#include "platform/ui/Label.h"

#include <QPainter>

namespace vx {

TPanel::TPanel(QWidget* parent, const QString& name)
    : QFrame(parent), font_(new TControlFont(this)) {
    setObjectName(name);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
}

void TPanel::SetCaption(const QString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    update();
}

void TPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (caption_.isEmpty())
        return;
    QPainter painter(this);
    painter.drawText(contentsRect(), Qt::AlignCenter, StripAccelChars(caption_));
}

} // namespace vx
