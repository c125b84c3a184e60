#include "platform/ui/MenuItem.h"

#include "platform/ui/Guard.h"

#include <QSignalBlocker>

namespace vx {

TMenuItem::TMenuItem(QObject* parent, const QString& name) : QAction(parent) {
    setObjectName(name);
    connect(this, &QAction::triggered, this, [this] { Click(); });
}

void TMenuItem::SetCaption(const QString& caption) {
    caption_ = caption;
    setSeparator(caption == u"-");
    setText(caption);
}

void TMenuItem::SetHint(const QString& hint) {
    setStatusTip(hint);
    setToolTip(hint);
}

void TMenuItem::SetChecked(bool checked) {
    if (checked && !isCheckable())
        setCheckable(true);
    const QSignalBlocker block(this);
    setChecked(checked);
}

void TMenuItem::Click() {
    Guard([this] {
        if (OnClick)
            OnClick(this);
    });
}

} // namespace vx
