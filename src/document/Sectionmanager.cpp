#include "document/Sectionmanager.h"

#include "platform/graphics/PainterCanvas.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Strings.h"
#include "platform/ui/Guard.h"
#include "platform/ui/QtInput.h"
#include "report/Asse.h"
#include "report/Intestazione.h"
#include "report/WPSection.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace vx {

namespace {

// Feedback keeps this far from the outer edges of the two rows it shares out.
constexpr int32_t kDragMargin = 5;

} // namespace

TSectionmanager::TSectionmanager(QWidget* parent, const QString& name)
    : QWidget(parent), holder_(std::make_unique<TComponent>(nullptr)),
      side_(new TWPSide(holder_.get())) {
    setObjectName(name);
    resize(50, 80);
    // The panel's face shows where a section has no cells.
    setAutoFillBackground(true);
    // The split cursor follows the mouse without a button held.
    setMouseTracking(true);
}

TSectionmanager::~TSectionmanager() = default;

int TSectionmanager::RowCount() const {
    return side_->SectionCount();
}

int32_t TSectionmanager::Percent(int k) const {
    return side_->GetSection(k)->Size;
}

int32_t TSectionmanager::RowTop(int k) const {
    int32_t sum = 0;
    for (int j = 0; j < k; ++j)
        sum += Percent(j);
    return MulDiv(height(), sum, 100) - (k > 0 ? 1 : 0);
}

int32_t TSectionmanager::RowBottom(int k) const {
    if (k == RowCount() - 1)
        return height();
    int32_t sum = 0;
    for (int j = 0; j <= k; ++j)
        sum += Percent(j);
    return MulDiv(height(), sum, 100);
}

int32_t TSectionmanager::RunningEdge(int k) const {
    int32_t edge = 0;
    for (int j = 0; j <= k; ++j)
        edge += MulDiv(height(), Percent(j), 100);
    return edge;
}

void TSectionmanager::GetCellAt(int32_t x, int32_t y, int& column, int& row) const {
    column = -1;
    row = -1;
    const int n = RowCount();
    for (int k = 0; k < n && row < 0; ++k)
        if (RowBottom(k) >= y)
            row = k;
    if (row < 0)
        return;
    // A section without axes has no cell to hit.
    const int m = side_->GetSection(row)->AxisCount();
    const int32_t w = width();
    for (int c = 0; c < m; ++c) {
        const int32_t right = c == m - 1 ? w : (w / m) * (c + 1);
        if (right >= x) {
            column = c;
            return;
        }
    }
}

int TSectionmanager::BorderAt(int32_t y) const {
    for (int k = 0; k + 1 < RowCount(); ++k)
        if (std::abs(RunningEdge(k) - y) < 3)
            return k;
    return -1;
}

void TSectionmanager::ShareEqually() {
    const int n = RowCount();
    if (n == 0)
        return;
    for (int k = 0; k < n; ++k)
        side_->GetSection(k)->Size = k == n - 1 ? 100 - (100 / n) * (n - 1) : 100 / n;
}

void TSectionmanager::AddRow() {
    if (RowCount() < TWPSide::kMaxSections) {
        side_->AddSections(1);
        side_->GetSection(RowCount() - 1)->AddAxes(1);
        ShareEqually();
    }
    update();
}

void TSectionmanager::DeleteRow(int row) {
    side_->DeleteSection(row);
    ShareEqually();
    update();
}

void TSectionmanager::AddColumn(int row) {
    side_->GetSection(row)->AddAxes(1);
    update();
}

void TSectionmanager::DeleteColumn(int row, int column) {
    TWPSection* section = side_->GetSection(row);
    if (section->AxisCount() < 2) {
        DeleteRow(row);
        return;
    }
    section->DeleteAxis(column);
    update();
}

void TSectionmanager::Paint(TCanvas& canvas) const {
    const int n = RowCount();
    if (n == 0) {
        canvas.Brush.Color = clGray;
        canvas.Rectangle(0, 0, width(), height());
        canvas.Brush.Color = clWhite;
        return;
    }
    const int32_t w = width();
    for (int k = 0; k < n; ++k) {
        const TWPSection& section = *side_->GetSection(k);
        const int32_t top = RowTop(k);
        const int32_t bottom = RowBottom(k);
        const int m = section.AxisCount();
        int32_t left = 0;
        for (int c = 0; c < m; ++c) {
            const int32_t right = c == m - 1 ? w : (c + 1) * w / m;
            canvas.Brush.Style = bsSolid;
            canvas.Brush.Color = section.GetAxis(c)->Selected ? clBlue : clWhite;
            canvas.Rectangle(left, top, right, bottom);
            left = right;
        }
        canvas.Brush.Style = bsClear;
        canvas.TextOut(2, top + 5, IntToStr(section.Size) + "%");
        canvas.Brush.Style = bsSolid;
    }
}

void TSectionmanager::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    {
        PainterCanvas canvas(painter, TDeviceCaps{});
        Guard([&] { Paint(canvas); });
    }
    if (!dragging_)
        return;
    // The feedback the user drags: the rows' joint limit and the new border.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(
        QRect(dragLimit_.Left, dragLimit_.Top, dragLimit_.Width() - 1, dragLimit_.Height() - 1));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(0, dragY_, width(), dragY_);
}

void TSectionmanager::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = true;
    if (!Resize)
        return;
    const int32_t y = event->position().toPoint().y();
    const int k = BorderAt(y);
    if (k < 0)
        return;
    dragging_ = true;
    dragBorder_ = k;
    dragY_ = RunningEdge(k);
    dragLimit_ = TRect{0, RunningEdge(k - 1), width(), RunningEdge(k + 1)};
    update();
}

void TSectionmanager::mouseMoveEvent(QMouseEvent* event) {
    if (!Resize)
        return;
    const int32_t y = event->position().toPoint().y();
    if (!dragging_) {
        setCursor(CursorShapeOf(BorderAt(y) >= 0 ? crVSplit : 0));
        return;
    }
    // The lower limit wins when the rows are too thin for both.
    dragY_ = std::min(std::max(y, dragLimit_.Top + kDragMargin), dragLimit_.Bottom - kDragMargin);
    update();
}

void TSectionmanager::EndDrag() {
    dragging_ = false;
    const int32_t h = height();
    const int k = dragBorder_;
    TWPSection& upper = *side_->GetSection(k);
    TWPSection& lower = *side_->GetSection(k + 1);
    upper.Size = MulDiv(dragY_ - dragLimit_.Top, 100, h);
    lower.Size = MulDiv(dragLimit_.Bottom - dragY_, 100, h);
    int32_t sum = 0;
    for (int j = 0; j < RowCount(); ++j)
        sum += Percent(j);
    // Rounding may give one more than the whole; the upper row gives it back.
    if (sum > 100)
        upper.Size += 100 - sum;
    setCursor(CursorShapeOf(0));
    update();
}

void TSectionmanager::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    if (dragging_)
        EndDrag();
    const bool click = pressed_ && rect().contains(at);
    pressed_ = false;
    if (!click)
        return;
    clickPoint_ = at;
    if (OnClick)
        Guard([this] { OnClick(this); });
}

} // namespace vx
