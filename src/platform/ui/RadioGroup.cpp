#include "platform/ui/RadioGroup.h"

#include "platform/ui/Guard.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace vx {

TRadioGroup::TRadioGroup(QWidget* parent, const QString& name)
    : QGroupBox(parent), group_(new QButtonGroup(this)), font_(new TControlFont(this)) {
    setObjectName(name);
    new QVBoxLayout(this);
    // Exclusivity is ours: a Qt group refuses to show no choice at all, which -1 means.
    group_->setExclusive(false);
    connect(group_, &QButtonGroup::idClicked, this, [this](int id) { Choose(id); });
}

QRadioButton* TRadioGroup::Button(int index) const {
    return qobject_cast<QRadioButton*>(group_->button(index));
}

void TRadioGroup::SetItems(const QStringList& items) {
    const int n = static_cast<int>(items.size());
    for (int i = 0; i < n; ++i) {
        QRadioButton* button = Button(i);
        if (!button) {
            button = new QRadioButton(this);
            group_->addButton(button, i);
            layout()->addWidget(button);
            // Below any control placed inside the group, such as an edit beside an item.
            button->lower();
        }
        button->setText(items[i]);
    }
    for (int i = static_cast<int>(items_.size()) - 1; i >= n; --i)
        delete Button(i);
    items_ = items;
    if (itemIndex_ >= n)
        itemIndex_ = -1;
    ShowChoice();
}

void TRadioGroup::SetItemIndex(int index) {
    if (index < 0 || index >= items_.size())
        index = -1;
    if (index == itemIndex_)
        return;
    Choose(index);
}

void TRadioGroup::Choose(int index) {
    const bool changed = index != itemIndex_;
    itemIndex_ = index;
    ShowChoice();
    if (!changed)
        return;
    Guard([this] {
        if (OnClick)
            OnClick(this);
    });
}

void TRadioGroup::ShowChoice() {
    for (QAbstractButton* button : group_->buttons()) {
        const QSignalBlocker block(button);
        button->setChecked(group_->id(button) == itemIndex_);
    }
}

} // namespace vx
