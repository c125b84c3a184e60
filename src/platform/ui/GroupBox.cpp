#include "platform/ui/GroupBox.h"

namespace vx {

TGroupBox::TGroupBox(QWidget* parent, const QString& name)
    : QGroupBox(parent), font_(new TControlFont(this)) {
    setObjectName(name);
}

} // namespace vx
