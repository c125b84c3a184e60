#pragma once

#include "platform/graphics/Brush.h"
#include "platform/graphics/Font.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/StringGrid.h"

#include <QPointer>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vx {

// A string grid that copies, cuts and pastes blocks of cells through the clipboard as text
// (TAB between cells, CR LF after each row), empties the selection with Delete, may grow on a
// paste, number its header row and column, start editing on a click, and lets its owner
// colour each cell before it is drawn.
//
// Keys: Ctrl+C copies, Ctrl+X cuts, Ctrl+V pastes (Ctrl alone); Delete without Shift, Ctrl or
// Alt empties the selection; any other key switches editing on and, outside the editor, opens
// the editor as F2 does. Shift, Ctrl, Alt and the other modifier keys pressed alone are left
// alone, so that a Ctrl+C can reach the grid.
class TclipGrid : public TStringGrid {
    Q_OBJECT
    Q_PROPERTY(bool autoresize MEMBER autoresize)
    Q_PROPERTY(bool autoediting MEMBER autoediting)
    Q_PROPERTY(bool numerarighe MEMBER numerarighe)
    Q_PROPERTY(bool numeracolonne MEMBER numeracolonne)

public:
    using TGetCellColorEvent =
        std::function<void(QObject* sender, int32_t col, int32_t row, TFont& font, TBrush& brush,
                           TGridDrawState state)>;

    explicit TclipGrid(QWidget* parent = nullptr, const QString& name = {});

    // A paste past the last column or row enlarges the grid instead of dropping the cells.
    bool autoresize = false;
    // A press switches cell editing off and a click switches it on and opens the editor.
    bool autoediting = false;
    // After a paste: column 0 shows the row numbers, row 0 the column letters.
    bool numerarighe = false;
    bool numeracolonne = false;

    // After a paste that changed the column or row count.
    TNotifyEvent OnRedimGrid;
    // Before each cell is drawn, with the canvas's font and brush to colour it.
    TGetCellColorEvent OnGetCellColor;

    // The selection as text, each cell followed by TAB or, at the end of a row, CR LF;
    // cutting empties the copied cells.
    std::string SelectionText(bool cut);
    void CopyToClipboard(bool cut);
    // Pastes the clipboard's text at the selection's top-left cell.
    void PasteFromClipboard();
    // The paste itself. A growth to more than kMaxPasteCells cells raises Exception before
    // any cell changes.
    void PasteText(std::string_view text);
    void ClearSelection();
    void Renumber();
    // 0 A, 25 Z, 26 AA, 701 ZZ, 702 AAA; "" below 0.
    static std::string ColumnLetters(int32_t n);

    static constexpr int64_t kMaxPasteCells = 4'000'000;

protected:
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
    void Click() override;
    void DrawCell(int32_t col, int32_t row, const TRect& rect, TGridDrawState state) override;
};

// A string grid whose cells of one column (Combocolumn) are chosen from a drop-down list
// that appears over the cell of the row released on. The list is a child of the grid's parent
// named "Combogrid" and three numbers, unique among its siblings; it goes with the grid.
class TComboGrid : public TStringGrid {
    Q_OBJECT
    Q_PROPERTY(int Combocolumn READ ComboColumnValue WRITE SetComboColumnValue)

public:
    explicit TComboGrid(QWidget* parent = nullptr, const QString& name = {});
    ~TComboGrid() override;

    // The column the list edits; ColCount - 1 at creation.
    int16_t Combocolumn = 0;
    // The choices.
    TComboBox* ComboList() const { return list_; }

protected:
    void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;

private:
    int ComboColumnValue() const { return Combocolumn; }
    void SetComboColumnValue(int value) { Combocolumn = static_cast<int16_t>(value); }
    void ListChange();

    QPointer<TComboBox> list_;
};

} // namespace vx
