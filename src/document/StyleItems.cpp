#include "document/StyleItems.h"

#include "data/WPComp.h"
#include "platform/graphics/Drawing.h"

namespace vx {

void DrawPenStyleItem(TCanvas& canvas, const TRect& rect, int index) {
    if (index < 0 || index > 4)
        return;
    canvas.Pen.Color = clBlack;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = IndexToPenStyle(index);
    const int32_t middle = (rect.Top + rect.Bottom) / 2;
    for (int32_t y = middle - 1; y <= middle + 1; ++y) {
        canvas.MoveTo(rect.Left + 1, y);
        canvas.LineTo(rect.Right - 1, y);
    }
}

void DrawPointTypeItem(TCanvas& canvas, const TRect& rect, int type, const std::string& text,
                       int side) {
    canvas.Pen.Color = clBlack;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = psSolid;
    canvas.Brush.Color = clWhite;
    canvas.Brush.Style = bsSolid;
    const int32_t left = rect.Left + 2;
    DrawMarker(canvas, left + side / 2, (rect.Top + rect.Bottom) / 2, type, side / 2);
    // The text lies on the list's own background, selected or not.
    canvas.Brush.Style = bsClear;
    const std::string label = " > " + text;
    canvas.TextOut(left + side, rect.Top + (rect.Height() - canvas.TextHeight(label)) / 2, label);
}

} // namespace vx
