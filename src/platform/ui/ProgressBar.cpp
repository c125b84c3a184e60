#include "platform/ui/ProgressBar.h"

#include <algorithm>

namespace vx {

TProgressBar::TProgressBar(QWidget* parent, const QString& name) : QProgressBar(parent) {
    setObjectName(name);
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

void TProgressBar::SetPosition(int position) {
    setValue(std::clamp(position, minimum(), std::max(minimum(), maximum())));
}

} // namespace vx
