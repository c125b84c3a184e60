#include "platform/ui/TrackBar.h"

#include "platform/ui/Guard.h"

namespace vx {

TTrackBar::TTrackBar(QWidget* parent, const QString& name) : QSlider(Qt::Horizontal, parent) {
    setObjectName(name);
    setRange(0, 10);
    setValue(0);
    setSingleStep(1);
    setPageStep(2);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(1);
    // valueChanged follows every change of the value, the clamping by new bounds included.
    connect(this, &QSlider::valueChanged, this, [this] {
        Guard([this] {
            if (OnChange)
                OnChange(this);
        });
    });
}

} // namespace vx
