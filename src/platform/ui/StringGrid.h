#pragma once

#include "platform/graphics/Canvas.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Geometry.h"
#include "platform/runtime/Input.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DragDrop.h"

#include <QPointer>
#include <QTableView>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QKeyEvent;
class QMouseEvent;

namespace vx {

class EInvalidGridOperation : public Exception {
    using Exception::Exception;
};

// A cell address: X the column, Y the row.
struct TGridCoord {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

// A block of cells, every edge inclusive.
struct TGridRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};

enum TGridOption : uint32_t {
    goRangeSelect = 0x1, // the user may select a block of cells
    goEditing = 0x2,     // the user may edit the cells that are not fixed
};
using TGridOptions = uint32_t;

enum TGridDrawFlag : uint32_t { gdSelected = 0x1, gdFocused = 0x2, gdFixed = 0x4 };
using TGridDrawState = uint32_t;

// A grid of text cells. The first FixedRows rows and FixedCols columns are fixed cells:
// headers that cannot be selected or edited. Coordinates (CellRect, MouseToCell, the mouse
// handlers) are pixels of the grid's client area, inside its frame.
//
// Editing (with goEditing): F2, a typed character, a double click or a press on the current
// cell opens the editor of the current cell; Enter commits, Escape cancels; moving to another
// cell with the keys while editing commits and edits that cell.
//
// Events, user and code:
// - OnKeyDown: each key the user presses while the grid (not its editor) has the focus; the
//   handler may change the key (0 swallows it) before the grid's own key handling.
// - OnMouseDown, OnMouseUp: the user's presses and releases, after the grid's own handling;
//   a double click arrives as OnDblClick, then a press with ssDouble.
// - OnClick: a left-button press and release by the user on the same cell, not a fixed one.
// - OnSetEditText: when an edit that changed a cell is committed, after the change.
// - OnDrawCell: each time a cell is painted, after the grid drew its background and text.
// - OnDragOver, OnDragDrop: drags started with BeginDrag over the grid, in client pixels.
// Changes made by code (Cells, ColCount, RowCount, FixedCols, FixedRows, Row, Col, Selection,
// Options, EditorMode) fire none of them.
class TStringGrid : public QTableView {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(int ColCount READ ColCount WRITE SetColCount)
    Q_PROPERTY(int RowCount READ RowCount WRITE SetRowCount)
    Q_PROPERTY(int FixedCols READ FixedCols WRITE SetFixedCols)
    Q_PROPERTY(int FixedRows READ FixedRows WRITE SetFixedRows)
    Q_PROPERTY(int Col READ Col WRITE SetCol)
    Q_PROPERTY(int Row READ Row WRITE SetRow)
    Q_PROPERTY(bool EditorMode READ EditorMode WRITE SetEditorMode)

public:
    using TKeyEvent = std::function<void(QObject* sender, uint16_t& key, TShiftState shift)>;
    using TMouseEvent = std::function<void(QObject* sender, TMouseButton button, TShiftState shift,
                                           int32_t x, int32_t y)>;
    using TSetEditEvent =
        std::function<void(QObject* sender, int32_t col, int32_t row, const std::string& text)>;
    using TDrawCellEvent = std::function<void(QObject* sender, int32_t col, int32_t row,
                                              const TRect& rect, TGridDrawState state)>;
    // The text of a cell inside the grid, asked for each time the cell is read or drawn.
    using TCellSource = std::function<std::string(int32_t col, int32_t row)>;

    // Five by five cells, one fixed row and column, cells 64 x 24 pixels, goRangeSelect.
    explicit TStringGrid(QWidget* parent = nullptr, const QString& name = {});
    ~TStringGrid() override;

    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    // cp1252 text; "" outside the grid, where writing is ignored. With a cell source the
    // reference holds until the next call.
    const std::string& Cells(int32_t col, int32_t row) const;
    void SetCells(int32_t col, int32_t row, std::string_view text);

    // Cells read through the source instead of held by the grid: a grid of millions of cells
    // keeps no copy of them (nor objects). Writing cells is then ignored. An empty source gives
    // the grid empty cells of its own again. Every cell is drawn anew.
    void SetCellSource(TCellSource source);
    bool HasCellSource() const { return static_cast<bool>(cellSource_); }
    // Every cell drawn anew, after the source's texts changed.
    void CellsChanged();
    // The font the cells are drawn in, and the width of a text drawn in it.
    TFont CellFont() const;
    int32_t TextWidth(std::string_view text) const;
    // Each character's advance in the cell font: TextWidth is their sum, so that many texts
    // are measured without looking the font up each time.
    std::array<int32_t, 256> CharAdvances() const;

    // The object of a cell, owned by the grid: freed when it is replaced, when a change of
    // ColCount or RowCount removes its cell, and with the grid. Null when the cell has none or
    // lies outside the grid.
    TComponent* Objects(int32_t col, int32_t row) const;
    // The object must have no owner; outside the grid it is freed at once.
    void SetObjects(int32_t col, int32_t row, std::unique_ptr<TComponent> object);
    // Hands the cell's object to the caller; the cell is left without one.
    std::unique_ptr<TComponent> TakeObjects(int32_t col, int32_t row);

    int ColCount() const { return colCount_; }
    // At least 1; FixedCols follows when it would no longer be below the count. Cells outside
    // the new size are gone, with their objects.
    void SetColCount(int count);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    // Replaces the whole grid at once with cols x rows cells given row after row (missing
    // ones empty, objects gone): one reset of the views however many cells, for large files.
    // Fixed rows and columns stay below the new counts.
    void LoadCells(int cols, int rows, std::vector<std::string> cells);
    int FixedCols() const { return fixedCols_; }
    // Raises EInvalidGridOperation unless 0 <= count < ColCount.
    void SetFixedCols(int count);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int count);

    // The current cell; both -1 while the grid has no cell that is not fixed.
    int Col() const;
    int Row() const;
    // A fixed column or row, or one outside the grid, is ignored. The selection becomes the
    // current cell.
    void SetCol(int col);
    void SetRow(int row);
    // The selected block; the current cell alone when nothing more is selected.
    TGridRect Selection() const;
    // Clamped to the cells that are not fixed; the current cell becomes its bottom-right cell.
    void SetSelection(const TGridRect& rect);

    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);
    bool EditorMode() const;
    // True opens the editor of the current cell (with goEditing); false commits and closes it.
    void SetEditorMode(bool on);

    // Width and height of a cell without the grid line after it.
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int height);

    // The cell's rectangle in client pixels, grid lines excluded; empty (all 0) for a cell
    // outside the grid or scrolled out of view.
    TRect CellRect(int32_t col, int32_t row) const;
    // The cell under a client point; -1, -1 when there is none.
    TGridCoord MouseCoord(int32_t x, int32_t y) const;
    void MouseToCell(int32_t x, int32_t y, int32_t& col, int32_t& row) const;

    // The canvas of the cell being painted; null outside painting.
    TCanvas* Canvas() const { return canvas_; }

    int Tag = 0;
    TKeyEvent OnKeyDown;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TSetEditEvent OnSetEditText;
    TDrawCellEvent OnDrawCell;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;

protected:
    // The class library's handlers: derived grids run their own step and call the base, which
    // does the grid's own handling and fires the event.
    virtual void KeyDown(uint16_t& key, TShiftState shift);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    virtual void Click();
    virtual void DblClick();
    // The canvas's brush and font hold the cell's colours; the base fills the cell, writes its
    // text and fires OnDrawCell.
    virtual void DrawCell(int32_t col, int32_t row, const TRect& rect, TGridDrawState state);

    bool IsFixed(int32_t col, int32_t row) const { return col < fixedCols_ || row < fixedRows_; }

    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void updateGeometries() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

public:
    // Keeps the cell out from behind the fixed rows and columns.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

private:
    class Model;
    class Delegate;

    // The painting of one cell, for the views' delegates.
    void PaintCell(QPainter& painter, const QRect& rect, int col, int row);
    // A committed edit, for the model.
    void EditCommitted(int col, int row, const std::string& text);

    void Resize(int cols, int rows);
    void OpenEditor(QKeyEvent* forward);
    void ApplySelectionMode();
    void ShowCurrent(TGridCoord cell, const TGridRect& selection);
    TGridCoord FirstFreeCell() const;
    QModelIndex IndexOf(TGridCoord cell) const;
    QTableView* MakeFixedView();
    void LayoutFixedViews();
    // Pixels of the fixed columns and rows, grid lines included.
    int FixedWidth() const;
    int FixedHeight() const;

    TControlFont* font_;
    Model* model_;
    std::vector<std::string> cells_;                   // row after row
    std::vector<std::unique_ptr<TComponent>> objects_; // as cells_
    TCellSource cellSource_;
    mutable std::string sourced_;
    int colCount_ = 0;
    int rowCount_ = 0;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    TGridOptions options_ = goRangeSelect;
    TCanvas* canvas_ = nullptr;
    // The fixed rows, the fixed columns and their corner stay in place while the cells scroll:
    // views of the same cells laid over the grid's own, which let the mouse through.
    QTableView* fixedTop_ = nullptr;
    QTableView* fixedLeft_ = nullptr;
    QTableView* fixedCorner_ = nullptr;
    QPointer<QWidget> editor_;
    // The event being handled, for the grid's own step inside the virtual handlers.
    QKeyEvent* pendingKey_ = nullptr;
    uint16_t pendingKeyCode_ = 0;
    QMouseEvent* pendingMouse_ = nullptr;
    TGridCoord pressed_{-1, -1};
    bool quiet_ = false;
    bool dragAccepted_ = false;
};

} // namespace vx
