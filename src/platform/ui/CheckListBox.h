#pragma once

#include "platform/ui/ListBox.h"

namespace vx {

// A list box whose items carry check boxes, all clear when an item is added. Events: those of
// TListBox, and OnClickCheck when the user toggles a box (mouse or space bar). SetChecked
// fires nothing.
class TCheckListBox : public TListBox {
    Q_OBJECT

public:
    explicit TCheckListBox(QWidget* parent = nullptr, const QString& name = {});

    // False outside the list.
    bool Checked(int index) const;
    // An index outside the list does nothing.
    void SetChecked(int index, bool checked);

    TNotifyEvent OnClickCheck;
};

} // namespace vx
