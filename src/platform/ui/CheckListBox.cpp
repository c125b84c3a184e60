#include "platform/ui/CheckListBox.h"

#include "platform/ui/Guard.h"
#include "platform/ui/TextListModel.h"

namespace vx {

TCheckListBox::TCheckListBox(QWidget* parent, const QString& name) : TListBox(parent, name) {
    Model().SetCheckable(true);
    Model().OnUserCheck = [this](int) {
        Guard([this] {
            if (OnClickCheck)
                OnClickCheck(this);
        });
    };
}

bool TCheckListBox::Checked(int index) const {
    return Model().Checked(index);
}

void TCheckListBox::SetChecked(int index, bool checked) {
    Model().SetChecked(index, checked);
}

} // namespace vx
