#include "platform/ui/TabSet.h"

#include "platform/ui/Guard.h"

#include <QScopedValueRollback>

namespace vx {

TTabSet::TTabSet(QWidget* parent, const QString& name)
    : QTabBar(parent), font_(new TControlFont(this)) {
    setObjectName(name);
    connect(this, &QTabBar::currentChanged, this, [this](int index) {
        if (!quiet_)
            UserChanged(index);
    });
}

QStringList TTabSet::Tabs() const {
    QStringList tabs;
    for (int i = 0; i < count(); ++i)
        tabs << tabText(i);
    return tabs;
}

void TTabSet::SetTabs(const QStringList& tabs) {
    const QScopedValueRollback<bool> quiet(quiet_, true);
    const int n = static_cast<int>(tabs.size());
    const int common = std::min(count(), n);
    for (int i = 0; i < common; ++i)
        if (tabText(i) != tabs[i])
            setTabText(i, tabs[i]);
    for (int i = common; i < n; ++i)
        addTab(tabs[i]);
    while (count() > n)
        removeTab(count() - 1);
    if (tabIndex_ >= count())
        tabIndex_ = count() - 1;
    ShowIndex(tabIndex_);
}

void TTabSet::SetTabIndex(int index) {
    if (index == tabIndex_ || index < -1 || index >= count())
        return;
    bool allow = true;
    if (OnChange && !Guard([&] { OnChange(this, index, allow); }))
        return;
    if (!allow)
        return;
    tabIndex_ = index;
    ShowIndex(index);
    Guard([this] {
        if (OnClick)
            OnClick(this);
    });
}

void TTabSet::UserChanged(int index) {
    // The bar has already moved; ask first, and put it back when refused.
    const int chosen = index;
    ShowIndex(tabIndex_);
    SetTabIndex(chosen);
}

void TTabSet::ShowIndex(int index) {
    const QScopedValueRollback<bool> quiet(quiet_, true);
    setCurrentIndex(index);
}

} // namespace vx
