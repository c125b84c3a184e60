#include "platform/ui/Button.h"

#include "platform/ui/Form.h"
#include "platform/ui/Guard.h"

namespace vx {

TButton::TButton(QWidget* parent, const QString& name)
    : QPushButton(parent), font_(new TControlFont(this)) {
    setObjectName(name);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { Click(); });
}

void TButton::Click() {
    Guard([this] {
        if (OnClick)
            OnClick(this);
    });
    if (ModalResult == 0)
        return;
    if (auto* form = ParentForm(this))
        form->SetModalResult(ModalResult);
}

} // namespace vx
