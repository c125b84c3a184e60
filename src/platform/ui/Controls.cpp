#include "platform/ui/Controls.h"

#include <QWidget>

namespace vx {

TControlFont::TControlFont(QWidget* control) : QObject(control), control_(control) {}

QString TControlFont::Name() const {
    return control_->font().family();
}

void TControlFont::SetName(const QString& name) {
    QFont font = control_->font();
    font.setFamily(name);
    control_->setFont(font);
}

int TControlFont::Size() const {
    return control_->font().pointSize();
}

void TControlFont::SetSize(int size) {
    if (size <= 0)
        return;
    QFont font = control_->font();
    font.setPointSize(size);
    control_->setFont(font);
}

bool ParentFontOf(const QWidget* widget) {
    return !widget->testAttribute(Qt::WA_SetFont);
}

void SetParentFontOf(QWidget* widget, bool parentFont) {
    if (parentFont == ParentFontOf(widget))
        return;
    if (parentFont) {
        widget->setFont(QFont());
        widget->setAttribute(Qt::WA_SetFont, false);
    } else {
        // The inherited font, now held as the widget's own.
        QFont own = widget->font();
        own.setResolveMask(QFont::AllPropertiesResolved);
        widget->setFont(own);
    }
}

} // namespace vx
