#include "platform/ui/MenuItem.h"

#include "platform/ui/Guard.h"

#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSignalBlocker>

#include <algorithm>
#include <set>

namespace vx {

TMenuItem::TMenuItem(QObject* parent, const QString& name) : QAction(parent) {
    setObjectName(name);
    connect(this, &QAction::triggered, this, [this](bool checked) {
        // As the class library's items, choosing an item leaves its check mark to the handler.
        if (isCheckable()) {
            const QSignalBlocker block(this);
            setChecked(!checked);
        }
        if (!subMenu_)
            Click();
    });
}

TMenuItem::~TMenuItem() {
    delete subMenu_;
}

void TMenuItem::SetCaption(const QString& caption) {
    caption_ = caption;
    const bool separator = caption == u"-";
    setSeparator(separator);
    // A separator with a text is drawn as a section heading that shows the text.
    setText(separator ? QString() : caption);
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

TMenuItem* TMenuItem::Add(TMenuItem* item) {
    item->setParent(this);
    if (!subMenu_) {
        subMenu_ = new QMenu();
        subMenu_->setObjectName(objectName() + QStringLiteral("Menu"));
        setMenu(subMenu_);
        connect(subMenu_, &QMenu::aboutToShow, this, [this] { Click(); });
    }
    items_.push_back(item);
    subMenu_->addAction(item);
    return item;
}

TMenuItem* TMenuItem::Add(const QString& name, const QString& caption) {
    auto* item = new TMenuItem(nullptr, name);
    item->SetCaption(caption);
    return Add(item);
}

void TMenuItem::Click() {
    Guard([this] {
        if (OnClick)
            OnClick(this);
    });
}

TMainMenu::TMainMenu(QObject* parent, const QString& name)
    : QObject(parent), root_(new TMenuItem(this, name + QStringLiteral("Items"))) {
    setObjectName(name);
}

TMenuItem* TMainMenu::Add(const QString& name, const QString& caption, int groupIndex) {
    auto* item = root_->Add(name, caption);
    item->SetGroupIndex(groupIndex);
    Rebuild();
    return item;
}

void TMainMenu::Merge(TMainMenu* menu) {
    merged_ = menu == this ? nullptr : menu;
    Rebuild();
}

void TMainMenu::Unmerge(TMainMenu* menu) {
    if (menu == merged_) {
        merged_ = nullptr;
        Rebuild();
    }
}

std::vector<TMenuItem*> TMainMenu::ShownItems() const {
    std::vector<TMenuItem*> own;
    for (int i = 0; i < root_->Count(); ++i)
        own.push_back(root_->Items(i));
    if (!merged_)
        return own;
    std::vector<TMenuItem*> theirs;
    std::set<int> groups;
    for (int i = 0; i < merged_->root_->Count(); ++i) {
        theirs.push_back(merged_->root_->Items(i));
        groups.insert(theirs.back()->GroupIndex());
    }
    std::vector<TMenuItem*> shown;
    for (auto* item : own)
        if (!groups.count(item->GroupIndex()))
            shown.push_back(item);
    // Each merged item goes after the last shown item whose group is not above its own.
    for (auto* item : theirs) {
        auto at = std::find_if(shown.begin(), shown.end(), [item](TMenuItem* other) {
            return other->GroupIndex() > item->GroupIndex();
        });
        shown.insert(at, item);
    }
    return shown;
}

void TMainMenu::AttachTo(QMenuBar* bar) {
    bar_ = bar;
    connect(bar, &QObject::destroyed, this, [this, bar] {
        if (bar_ == bar)
            bar_ = nullptr;
    });
    Rebuild();
}

void TMainMenu::Rebuild() {
    if (!bar_)
        return;
    bar_->clear();
    for (auto* item : ShownItems())
        bar_->addAction(item);
}

} // namespace vx
