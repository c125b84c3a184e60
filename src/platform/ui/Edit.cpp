#include "platform/ui/Edit.h"

#include "platform/ui/Guard.h"

namespace vx {

TEdit::TEdit(QWidget* parent, const QString& name)
    : QLineEdit(parent), font_(new TControlFont(this)) {
    setObjectName(name);
    // textChanged, unlike textEdited, also follows setText, which the class library's OnChange
    // did too.
    connect(this, &QLineEdit::textChanged, this, [this] {
        Guard([this] {
            if (OnChange)
                OnChange(this);
        });
    });
}

} // namespace vx
