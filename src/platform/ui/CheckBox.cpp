#include "platform/ui/CheckBox.h"

#include "platform/ui/Guard.h"

namespace vx {

TCheckBox::TCheckBox(QWidget* parent, const QString& name)
    : QCheckBox(parent), font_(new TControlFont(this)) {
    setObjectName(name);
    // toggled follows both the user and setChecked, and only real changes.
    connect(this, &QCheckBox::toggled, this, [this] {
        Guard([this] {
            if (OnClick)
                OnClick(this);
        });
    });
}

} // namespace vx
