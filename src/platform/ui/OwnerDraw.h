#pragma once

// Items that the program draws itself, shared by the list box and the combo box.

#include "platform/graphics/Canvas.h"
#include "platform/runtime/Geometry.h"

#include <QStyledItemDelegate>

#include <cstdint>
#include <functional>

class QPainter;
class QWidget;

namespace vx {

enum TOwnerDrawFlag : uint32_t {
    odSelected = 0x1,
    odDisabled = 0x4,
    odFocused = 0x10,
    // The item stands in the closed combo box, not in its list.
    odComboBoxEdit = 0x1000,
};
using TOwnerDrawState = uint32_t;

// rect: the item's bounds on the control's Canvas.
using TDrawItemEvent =
    std::function<void(QObject* sender, int index, const TRect& rect, TOwnerDrawState state)>;

// Paints one owner-drawn item: the control's canvas is set for the call, its brush and font in
// the item's colours (highlighted when selected) and the rectangle filled; then OnDrawItem, or
// the item's text when the control has no handler.
void PaintOwnerDrawnItem(QObject* sender, const QWidget& control, QPainter& painter,
                         const QRect& rect, int index, TOwnerDrawState state, const QString& text,
                         TCanvas*& canvas, const TDrawItemEvent& onDrawItem);

// The items of a view: painted through the control while it draws them itself, Qt's own way
// otherwise; owner-drawn items are itemHeight() pixels tall.
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    using Paint =
        std::function<void(QPainter& painter, const QRect& rect, int index, TOwnerDrawState state)>;
    OwnerDrawDelegate(QObject* parent, std::function<bool()> ownerDrawn,
                      std::function<int()> itemHeight, Paint paint);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    std::function<bool()> ownerDrawn_;
    std::function<int()> itemHeight_;
    Paint paint_;
};

} // namespace vx
