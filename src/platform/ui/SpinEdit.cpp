#include "platform/ui/SpinEdit.h"

#include "platform/ui/Guard.h"

#include <algorithm>
#include <climits>

namespace vx {

TSpinEdit::TSpinEdit(QWidget* parent, const QString& name) : QSpinBox(parent) {
    setObjectName(name);
    // The widget itself takes any integer; the bounds apply when Value is read.
    setRange(INT_MIN, INT_MAX);
    setValue(0);
    connect(this, &QSpinBox::textChanged, this, [this] {
        Guard([this] {
            if (OnChange)
                OnChange(this);
        });
    });
}

int TSpinEdit::Clamped(long long value) const {
    if (min_ == 0 && max_ == 0)
        return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
    return static_cast<int>(std::clamp<long long>(value, min_, std::max(min_, max_)));
}

void TSpinEdit::SetMinValue(int min) {
    min_ = min;
}

void TSpinEdit::SetMaxValue(int max) {
    max_ = max;
}

int TSpinEdit::Value() const {
    bool ok = false;
    const long long typed = cleanText().toLongLong(&ok);
    return Clamped(ok ? typed : value());
}

void TSpinEdit::SetValue(int value) {
    setValue(Clamped(value));
}

void TSpinEdit::stepBy(int steps) {
    SetValue(Clamped(static_cast<long long>(Value()) + steps));
}

} // namespace vx
