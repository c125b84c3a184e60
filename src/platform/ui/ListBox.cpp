#include "platform/ui/ListBox.h"

#include "platform/ui/Guard.h"
#include "platform/ui/QtInput.h"
#include "platform/ui/TextListModel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace vx {

TListBox::TListBox(QWidget* parent, const QString& name)
    : QListView(parent), font_(new TControlFont(this)), model_(new TextListModel(this)) {
    setObjectName(name);
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(NoEditTriggers);
    // Every item is one line high: the view lays out a long list without measuring it.
    setUniformItemSizes(true);
    setMouseTracking(true);
    setItemDelegate(new OwnerDrawDelegate(
        this, [this] { return style_ == lbOwnerDrawFixed; }, [this] { return itemHeight_; },
        [this](QPainter& painter, const QRect& rect, int index, TOwnerDrawState state) {
            PaintOwnerDrawnItem(this, *this, painter, rect, index, state, Item(index), canvas_,
                                OnDrawItem);
        }));
    connect(this, &QListView::clicked, this, [this] { Fire(OnClick); });
    connect(this, &QListView::doubleClicked, this, [this] { Fire(OnDblClick); });
}

void TListBox::Fire(const TNotifyEvent& event) {
    Guard([&] {
        if (event)
            event(this);
    });
}

const QStringList& TListBox::Items() const {
    return model_->Texts();
}

void TListBox::SetItems(const QStringList& items) {
    const QSignalBlocker block(this);
    const int current = ItemIndex();
    model_->Replace(items);
    SetItemIndex(current);
}

int TListBox::Count() const {
    return model_->rowCount();
}

QString TListBox::Item(int index) const {
    return index >= 0 && index < Count() ? model_->Texts()[index] : QString();
}

void TListBox::Add(const QString& text) {
    const QSignalBlocker block(this);
    const int row = Count();
    model_->insertRows(row, 1);
    model_->setData(model_->index(row), text, Qt::DisplayRole);
}

void TListBox::Delete(int index) {
    if (index < 0 || index >= Count())
        return;
    const QSignalBlocker block(this);
    model_->removeRows(index, 1);
}

int TListBox::ItemIndex() const {
    const QModelIndex current = currentIndex();
    return current.isValid() && selectionModel()->isSelected(current) ? current.row() : -1;
}

void TListBox::SetItemIndex(int index) {
    const QSignalBlocker block(this);
    if (index < 0 || index >= Count()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex i = model_->index(index);
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    scrollTo(i);
}

QRect TListBox::ItemRect(int index) {
    if (index < 0 || index >= Count())
        return {};
    const QModelIndex i = model_->index(index);
    scrollTo(i);
    return visualRect(i);
}

void TListBox::SetStyle(TListBoxStyle style) {
    if (style == style_)
        return;
    style_ = style;
    Relayout();
}

void TListBox::SetItemHeight(int height) {
    height = std::max(height, 1);
    if (height == itemHeight_)
        return;
    itemHeight_ = height;
    Relayout();
}

void TListBox::Relayout() {
    scheduleDelayedItemsLayout();
    viewport()->update();
}

void TListBox::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    if (OnKeyDown && !Guard([&] { OnKeyDown(this, key, event->modifiers()); }))
        return;
    if (key == 0)
        return;
    const int before = ItemIndex();
    QListView::keyPressEvent(event);
    if (ItemIndex() != before)
        Fire(OnClick);
}

void TListBox::mousePressEvent(QMouseEvent* event) {
    QListView::mousePressEvent(event);
    const QPoint p = event->position().toPoint();
    Guard([&] {
        if (OnMouseDown)
            OnMouseDown(this, MouseButtonOf(event->button()), ShiftStateOf(*event), p.x(), p.y());
    });
}

void TListBox::mouseMoveEvent(QMouseEvent* event) {
    QListView::mouseMoveEvent(event);
    const QPoint p = event->position().toPoint();
    Guard([&] {
        if (OnMouseMove)
            OnMouseMove(this, ShiftStateOf(*event), p.x(), p.y());
    });
}

} // namespace vx
