#include "platform/ui/ListBox.h"

#include "platform/ui/Guard.h"

#include <QKeyEvent>
#include <QSignalBlocker>

namespace vx {

TListBox::TListBox(QWidget* parent, const QString& name)
    : QListWidget(parent), font_(new TControlFont(this)) {
    setObjectName(name);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, [this] { Fire(OnClick); });
    connect(this, &QListWidget::itemDoubleClicked, this, [this] { Fire(OnDblClick); });
}

void TListBox::Fire(const TNotifyEvent& event) {
    Guard([&] {
        if (event)
            event(this);
    });
}

QStringList TListBox::Items() const {
    QStringList items;
    items.reserve(count());
    for (int i = 0; i < count(); ++i)
        items << item(i)->text();
    return items;
}

void TListBox::SetItems(const QStringList& items) {
    const QSignalBlocker block(this);
    const int current = ItemIndex();
    const int n = static_cast<int>(items.size());
    const int common = std::min(count(), n);
    for (int i = 0; i < common; ++i)
        if (item(i)->text() != items[i])
            item(i)->setText(items[i]);
    for (int i = common; i < n; ++i)
        addItem(items[i]);
    while (count() > n)
        delete takeItem(count() - 1);
    SetItemIndex(current);
}

QString TListBox::Item(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

void TListBox::Add(const QString& text) {
    const QSignalBlocker block(this);
    addItem(text);
}

void TListBox::Delete(int index) {
    if (index < 0 || index >= count())
        return;
    const QSignalBlocker block(this);
    delete takeItem(index);
}

int TListBox::ItemIndex() const {
    const QListWidgetItem* current = currentItem();
    return current && current->isSelected() ? row(current) : -1;
}

void TListBox::SetItemIndex(int index) {
    const QSignalBlocker block(this);
    if (index < 0 || index >= count()) {
        setCurrentRow(-1);
        clearSelection();
        return;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

void TListBox::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    if (OnKeyDown && !Guard([&] { OnKeyDown(this, key, event->modifiers()); }))
        return;
    if (key == 0)
        return;
    const int before = ItemIndex();
    QListWidget::keyPressEvent(event);
    if (ItemIndex() != before)
        Fire(OnClick);
}

} // namespace vx
