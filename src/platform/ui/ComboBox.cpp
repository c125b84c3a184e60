#include "platform/ui/ComboBox.h"

#include "platform/ui/Guard.h"

#include <QLineEdit>
#include <QSignalBlocker>

namespace vx {

TComboBox::TComboBox(QWidget* parent, const QString& name, TComboBoxStyle style)
    : QComboBox(parent), font_(new TControlFont(this)) {
    setObjectName(name);
    setEditable(style == TComboBoxStyle::csDropDown);
    setInsertPolicy(QComboBox::NoInsert);
    // activated and textEdited come from the user only, never from code.
    connect(this, &QComboBox::activated, this, [this] {
        Guard([this] {
            if (OnClick)
                OnClick(this);
            if (OnChange)
                OnChange(this);
        });
    });
    if (lineEdit())
        connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
            Guard([this] {
                if (OnChange)
                    OnChange(this);
            });
        });
}

QStringList TComboBox::Items() const {
    QStringList items;
    items.reserve(count());
    for (int i = 0; i < count(); ++i)
        items << itemText(i);
    return items;
}

void TComboBox::SetItems(const QStringList& items) {
    const QSignalBlocker block(this);
    const int current = currentIndex();
    const QString editText = isEditable() ? currentText() : QString();
    const int n = static_cast<int>(items.size());
    const int common = std::min(count(), n);
    for (int i = 0; i < common; ++i)
        if (itemText(i) != items[i])
            setItemText(i, items[i]);
    for (int i = common; i < n; ++i)
        addItem(items[i]);
    while (count() > n)
        removeItem(count() - 1);
    setCurrentIndex(current < count() ? current : -1);
    // A typed text that names no item survives a change of the items.
    if (isEditable() && current < 0)
        setEditText(editText);
}

void TComboBox::SetItemIndex(int index) {
    const QSignalBlocker block(this);
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

void TComboBox::SetText(const QString& text) {
    const QSignalBlocker block(this);
    if (isEditable()) {
        setEditText(text);
        return;
    }
    setCurrentIndex(findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive));
}

} // namespace vx
