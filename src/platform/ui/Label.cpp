#include "platform/ui/Label.h"

#include <QMouseEvent>

namespace vx {

TLabel::TLabel(QWidget* parent, const QString& name)
    : QLabel(parent), font_(new TControlFont(this)) {
    setObjectName(name);
}

void TLabel::SetCaption(const QString& caption) {
    caption_ = caption;
    setText(StripAccelChars(caption));
}

void TLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick)
        OnClick(this);
}

QString StripAccelChars(const QString& caption) {
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}

} // namespace vx
