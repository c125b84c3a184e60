#include "platform/ui/OwnerDraw.h"

#include "platform/graphics/PainterCanvas.h"
#include "platform/runtime/Cp1252.h"
#include "platform/ui/Guard.h"

#include <QPainter>
#include <QWidget>

namespace vx {

void PaintOwnerDrawnItem(QObject* sender, const QWidget& control, QPainter& painter,
                         const QRect& rect, int index, TOwnerDrawState state, const QString& text,
                         TCanvas*& canvas, const TDrawItemEvent& onDrawItem) {
    painter.save();
    painter.setClipRect(rect);
    PainterCanvas itemCanvas(painter, TDeviceCaps{});
    const QFont qfont = control.font();
    itemCanvas.Font.SetName(FromQString(qfont.family()));
    if (qfont.pointSize() > 0)
        itemCanvas.Font.SetSize(qfont.pointSize());
    else if (qfont.pixelSize() > 0)
        itemCanvas.Font.SetHeight(-qfont.pixelSize());
    const bool selected = (state & odSelected) != 0;
    itemCanvas.Brush.Color = selected ? clHighlight : clWindow;
    itemCanvas.Font.SetColor(selected ? clHighlightText : clWindowText);
    const TRect r{rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
    itemCanvas.FillRect(r);
    canvas = &itemCanvas;
    Guard([&] {
        if (onDrawItem)
            onDrawItem(sender, index, r, state);
        else
            itemCanvas.TextOut(r.Left + 2, r.Top, FromQString(text));
    });
    canvas = nullptr;
    painter.restore();
}

OwnerDrawDelegate::OwnerDrawDelegate(QObject* parent, std::function<bool()> ownerDrawn,
                                     std::function<int()> itemHeight, Paint paint)
    : QStyledItemDelegate(parent), ownerDrawn_(std::move(ownerDrawn)),
      itemHeight_(std::move(itemHeight)), paint_(std::move(paint)) {}

void OwnerDrawDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    if (!ownerDrawn_()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    TOwnerDrawState state = 0;
    if (option.state & QStyle::State_Selected)
        state |= odSelected;
    if (option.state & QStyle::State_HasFocus)
        state |= odFocused;
    if (!(option.state & QStyle::State_Enabled))
        state |= odDisabled;
    paint_(*painter, option.rect, index.row(), state);
}

QSize OwnerDrawDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    if (!ownerDrawn_())
        return QStyledItemDelegate::sizeHint(option, index);
    return {option.rect.width(), itemHeight_()};
}

} // namespace vx
