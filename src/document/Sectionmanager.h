#pragma once

#include "platform/runtime/Geometry.h"
#include "platform/ui/Controls.h"

#include <QPoint>
#include <QWidget>

#include <cstdint>
#include <memory>

namespace vx {

class TCanvas;
class TComponent;
class TWPSide;

// One side of a graph drawn as a panel: its sections as rows from top to bottom, each as tall
// as its percent, and each section's axes as equal columns. While the resize switch is on the
// border between two rows can be dragged to share their height anew.
class TSectionmanager : public QWidget {
    Q_OBJECT

public:
    // 50 x 80, an empty side, the switch off.
    explicit TSectionmanager(QWidget* parent = nullptr, const QString& name = {});
    ~TSectionmanager() override;

    // Rows are its sections, columns their axes; the axes belong to the manager.
    TWPSide& Side() const { return *side_; }

    // Mouse handling (dragging, the split cursor) only while it is on.
    bool Resize = false;

    // A press and release of the left button; ClickPoint is where it ended.
    TNotifyEvent OnClick;
    QPoint ClickPoint() const { return clickPoint_; }

    int RowCount() const;
    // The rows as they are painted; the last one ends at the bottom.
    int32_t RowTop(int k) const;
    int32_t RowBottom(int k) const;
    // Column and row under a point, each -1 when there is none.
    void GetCellAt(int32_t x, int32_t y, int& column, int& row) const;
    // The border within 3 pixels of y (the border below row k is k), or -1.
    int BorderAt(int32_t y) const;

    // A new last row with one axis, at most 8 rows; the percents are shared equally.
    void AddRow();
    void DeleteRow(int row);
    void AddColumn(int row);
    // Deleting a row's only axis deletes the row.
    void DeleteColumn(int row, int column);

    // The drag feedback: the focus frame on the limit and the line at y.
    bool Dragging() const { return dragging_; }
    int32_t DragLine() const { return dragY_; }
    const TRect& DragLimit() const { return dragLimit_; }

    // The rows and cells, without the drag feedback.
    void Paint(TCanvas& canvas) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int32_t Percent(int k) const;
    // The sum of MulDiv(H, p_j, 100) for j <= k: borders and drag limits are measured by it.
    int32_t RunningEdge(int k) const;
    void ShareEqually();
    void EndDrag();

    std::unique_ptr<TComponent> holder_;
    TWPSide* side_;
    QPoint clickPoint_;
    bool pressed_ = false;
    bool dragging_ = false;
    int dragBorder_ = -1;
    int32_t dragY_ = 0;
    TRect dragLimit_;
};

} // namespace vx
