#include "platform/ui/ComboBox.h"

#include "platform/ui/Guard.h"
#include "platform/ui/TextListModel.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>
#include <QStylePainter>

namespace vx {

TComboBox::TComboBox(QWidget* parent, const QString& name, TComboBoxStyle style)
    : QComboBox(parent), font_(new TControlFont(this)), model_(new TextListModel(this)) {
    setObjectName(name);
    setModel(model_);
    // Measuring a long list on the first show would take longer than filling it.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
    setInsertPolicy(QComboBox::NoInsert);
    plainDelegate_ = itemDelegate();
    ownerDelegate_ = new OwnerDrawDelegate(
        this, [this] { return style_ == TComboBoxStyle::csOwnerDrawFixed; },
        [this] { return itemHeight_; },
        [this](QPainter& painter, const QRect& rect, int index, TOwnerDrawState state) {
            PaintItem(painter, rect, index, state);
        });
    // activated and textEdited come from the user only, never from code.
    connect(this, &QComboBox::activated, this, [this] {
        Guard([this] {
            if (OnClick)
                OnClick(this);
            if (OnChange)
                OnChange(this);
        });
    });
    style_ = style;
    ApplyStyle();
}

void TComboBox::ConnectEdit() {
    if (lineEdit())
        connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
            Guard([this] {
                if (OnChange)
                    OnChange(this);
            });
        });
}

const QStringList& TComboBox::Items() const {
    return model_->Texts();
}

void TComboBox::SetItems(const QStringList& items) {
    const QSignalBlocker block(this);
    const int current = currentIndex();
    const QString editText = isEditable() ? currentText() : QString();
    model_->Replace(items);
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

void TComboBox::SetStyle(TComboBoxStyle style) {
    if (style == style_)
        return;
    style_ = style;
    ApplyStyle();
}

void TComboBox::ApplyStyle() {
    const QSignalBlocker block(this);
    const bool editable = style_ == TComboBoxStyle::csDropDown;
    if (editable != isEditable()) {
        setEditable(editable);
        ConnectEdit();
    }
    setItemDelegate(style_ == TComboBoxStyle::csOwnerDrawFixed ? ownerDelegate_ : plainDelegate_);
    update();
}

void TComboBox::SetItemHeight(int height) {
    itemHeight_ = std::max(height, 1);
    update();
}

void TComboBox::PaintItem(QPainter& painter, const QRect& rect, int index, TOwnerDrawState state) {
    PaintOwnerDrawnItem(this, *this, painter, rect, index, state, itemText(index), canvas_,
                        OnDrawItem);
}

void TComboBox::paintEvent(QPaintEvent* event) {
    if (style_ != TComboBoxStyle::csOwnerDrawFixed) {
        QComboBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = {};
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0)
        return;
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    TOwnerDrawState state = odComboBoxEdit;
    if (hasFocus())
        state |= odSelected | odFocused;
    if (!isEnabled())
        state |= odDisabled;
    PaintItem(painter, field, currentIndex(), state);
}

} // namespace vx
