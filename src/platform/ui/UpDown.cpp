#include "platform/ui/UpDown.h"

#include "platform/ui/Guard.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vx {

TUpDown::TUpDown(QWidget* parent, const QString& name)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    setObjectName(name);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
}

void TUpDown::SetMin(int min) {
    min_ = min;
    max_ = std::max(max_, min_);
    SetPosition(position_);
}

void TUpDown::SetMax(int max) {
    max_ = max;
    min_ = std::min(min_, max_);
    SetPosition(position_);
}

void TUpDown::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
}

void TUpDown::Step(int delta) {
    const int next = std::clamp(position_ + delta, min_, max_);
    if (next == position_)
        return;
    bool allow = true;
    if (!Guard([&] {
            if (OnChanging)
                OnChanging(this, next, allow);
        }))
        return;
    if (allow)
        position_ = next;
}

} // namespace vx
