#pragma once

#include "data/WPArrays.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Brush.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Pen.h"
#include "platform/runtime/StringList.h"
#include "report/Metaobj.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class TDatabuffer;
class TStream;

enum Tborderstyle : uint8_t { BS_None, BS_left, BS_top, BS_right, BS_Bottom, BS_ALL };
// A set of Tborderstyle, bit n for element n as sets are stored.
using Tborderstyles = uint32_t;
constexpr Tborderstyles BorderBit(Tborderstyle s) {
    return 1u << s;
}

// The class library's cursors of the border drag.
constexpr int32_t crDefault = 0;
constexpr int32_t crHSplit = -14;
constexpr int32_t crVSplit = -15;

// One cell of a header or footer table; its size is a share of the table's.
class TCella : public TComponent {
public:
    explicit TCella(TComponent* owner);
    ~TCella() override;

    // Printer pixels, recomputed from DIMW and DIMH whenever the table lays out.
    int32_t Width = 0;
    int32_t Height = 0;
    // Percent of the table's width and height.
    float DIMW = 10.0f;
    float DIMH = 10.0f;
    Tborderstyles Border = BorderBit(BS_None);
    // Pen width of the left, top, right and bottom border.
    std::array<int32_t, 4> BorderWidth{1, 1, 1, 1};
    TPen Pen;
    // White means no fill.
    TBrush Brush;
    TFont Font;
    TStringList text;
    Bitmap bitmap;
    // 0 natural size times Bitmapscale, 1 fitted keeping its aspect, 2 stretched.
    uint8_t Bitmap_visualization = 0;
    // Degrees, counter-clockwise.
    int32_t Fontorientation = 0;
    // Text-alignment flags: horizontal 0, 2, 6; vertical 0, 8, 24.
    uint16_t WAlign = 0;
    uint16_t HAlign = 0;
    bool jailrect = true;
    double Bitmapscale = 1.0;

    bool HasBorder(Tborderstyle s) const { return (Border & BorderBit(s)) != 0; }

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

// The header or footer of a page: a table of cells whose column widths and row heights are
// percentages of the table's size. Cell texts may hold placeholders for channel values and
// for header cells of the tests, expanded when the cells are drawn. A double click switches
// edit mode, in which the user drags row and column borders, selects cells for the cell
// palette and drops values from the value box.
class TIntestazione : public TMetaobj {
public:
    // First column, first row, last column, last row; -1 each until something is selected.
    struct TSelection {
        int32_t Left = -1;
        int32_t Top = -1;
        int32_t Right = -1;
        int32_t Bottom = -1;
    };

    // The line the view draws (exclusive-or) while a border is dragged, in the control's
    // screen pixels.
    struct TDragLine {
        bool Visible = false;
        TPoint From;
        TPoint To;
    };

    explicit TIntestazione(TComponent* owner);
    ~TIntestazione() override;

    int32_t ColumnCount() const { return columns_; }
    int32_t RowCount() const { return rows_; }
    // Raises EInvalidelement outside the table.
    TCella* GetCell(int32_t column, int32_t row) const;
    // A new default cell in place of the old one.
    void ResetCell(int32_t column, int32_t row);
    void SelectAll();

    void SetColumnCount(int32_t n);
    void SetRowCount(int32_t n);
    // The last column's width is shared equally between it and the new ones; a new column
    // narrower than 1 % is refused with a message. At outside 0..ColumnCount raises EListError.
    void InsertColumns(int32_t at, int32_t count);
    void InsertRows(int32_t at, int32_t count);
    // Cut to the columns or rows present; the last one takes the rest of 100 %.
    void DeleteColumns(int32_t at, int32_t count);
    void DeleteRows(int32_t at, int32_t count);
    void NormalizeLastColumn();

    // Composes the picture unless it is clean and of the page rectangle's size.
    void Render();
    void Paint() override;
    void Redraw();

    bool EditMode() const { return editMode_; }
    void ToggleCellEditor(TComponent* sender);
    void SwitchCellEditor();

    // A cell line as it is drawn: placeholders replaced by values of the data buffer.
    std::string ExpandCellText(std::string_view line) const;
    // Header-cell placeholders of row fromRow or more move by delta rows, in every line.
    void ShiftRowReferences(int32_t fromRow, int32_t delta);

    // The value box's grids drop here (edit mode only): the placeholder of the grid cell
    // (grid tag = test number) goes into the cell under (x, y). False when refused.
    bool DropGridCell(int32_t x, int32_t y, int32_t gridTag, int32_t column, int32_t row,
                      std::string_view cellText);

    void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
    void MouseMove(TShiftState shift, int32_t x, int32_t y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
    const TDragLine& DragLine() const { return dragLine_; }

    // The binary property "Intestazione".
    void WriteCells(TStream& stream) const;
    // Raises EReadError on a bad stream and leaves the table as it was.
    void ReadCells(TStream& stream);

    TSelection Selection;
    // The palette allows or forbids dragging the borders; off whenever edit mode starts.
    bool BorderSizing = true;
    // The page's tests; not owned.
    TDatabuffer* DataBuffer = nullptr;
    TEngineNotifyEvent OnChange;
    // Stored with the table; not drawn.
    Bitmap SFONDO;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

private:
    TCella* NewCell(float dimw, float dimh);
    void FreeCells();
    // Cell sizes in printer pixels from the page rectangle.
    void LayOut();
    struct Placed {
        const TCella* Cell;
        int32_t Column;
        int32_t Row;
        TRect Rect;
    };
    std::vector<Placed> PlacedCells() const;
    void DrawCells(TCanvas& canvas);
    void DrawCellText(TCanvas& canvas, const TCella& cell, const TRect& r);
    void DrawEditFrame(TCanvas& canvas);
    // Printer-pixel edges of the columns (row 0) and rows (column 0), 0 first.
    std::vector<int32_t> ColumnEdges() const;
    std::vector<int32_t> RowEdges() const;
    TPoint ToPrinter(int32_t x, int32_t y) const;
    TPoint CellAt(TPoint printer) const;
    void FindBorder(TPoint printer);
    void EndBorderDrag(TPoint printer);
    void MoveDragLine(int32_t x, int32_t y);

    int32_t columns_ = 0;
    int32_t rows_ = 0;
    TMatrix cells_;
    bool editMode_ = false;
    bool paletteOpen_ = false;
    // 1-based index of the border under the mouse (0 none) and its cursor.
    int32_t border_ = 0;
    int32_t borderCursor_ = crDefault;
    bool dragging_ = false;
    bool selecting_ = false;
    TDragLine dragLine_;
};

} // namespace vx
