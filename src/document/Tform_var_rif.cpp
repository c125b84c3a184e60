#include "document/Tform_var_rif.h"

#include "data/Databuff.h"
#include "localisation/FormTable.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Strings.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/StringGrid.h"
#include "platform/ui/TabSet.h"

#include <algorithm>

namespace vx {

namespace {

struct THeaderCell {
    int Column = 0;
    int Row = 0;
    std::string Text;
};

// "<column>,<row>#<text>"; false for an entry of another shape.
bool ParseHeaderCell(const std::string& entry, THeaderCell& cell) {
    const size_t comma = entry.find(',');
    const size_t hash = entry.find('#');
    if (comma == std::string::npos || hash == std::string::npos || hash < comma)
        return false;
    int column = 0;
    int row = 0;
    if (!TryStrToInt(entry.substr(0, comma), column) ||
        !TryStrToInt(entry.substr(comma + 1, hash - comma - 1), row) || column < 0 || row < 0)
        return false;
    cell = {column, row, entry.substr(hash + 1)};
    return true;
}

// A header cell far out would make the grid huge; the test files keep their headers small.
constexpr int kMaxHeaderPlace = 1000;

} // namespace

Tform_var_rif::Tform_var_rif(QWidget* parent) : TForm(parent, "form_var_rif") {
    setWindowFlag(Qt::Tool);
    resize(420, 260);
    TabSet1 = Placed(new TTabSet(this, "TabSet1"), 0, 0, 420, 26);
    Grid1 = Placed(new TStringGrid(this, "Grid1"), 0, 28, 420, 232);
    TabSet1->OnClick = [this](QObject*) { ShowTest(TabSet1->TabIndex()); };
    Grid1->OnMouseDown = [this](QObject*, TMouseButton button, TShiftState, int32_t, int32_t) {
        if (button != mbLeft)
            return;
        Grid1->Tag = std::max(TabSet1->TabIndex(), 0) + 1;
        BeginDrag(Grid1);
    };
    OnCloseQuery = [this](QObject*, bool& canClose) {
        canClose = AllowClose;
        if (!canClose)
            hide();
    };
    mlLang1 = CreateFormTable(this, "Tform_var_rif");
}

void Tform_var_rif::LoadTests() {
    QStringList tabs;
    if (data_)
        for (int i = 0; i < data_->ProvaCount(); ++i)
            tabs << ToQString(data_->GetProva(i).FileName);
    TabSet1->SetTabs(tabs);
    TabSet1->SetTabIndex(tabs.isEmpty() ? -1 : 0);
    ShowTest(0);
}

void Tform_var_rif::ShowTest(int index) {
    std::vector<THeaderCell> cells;
    if (data_ && index >= 0 && index < data_->ProvaCount()) {
        THeaderCell cell;
        for (const std::string& entry : data_->GetProva(index).HeaderCells.Items())
            if (ParseHeaderCell(entry, cell) && cell.Column < kMaxHeaderPlace &&
                cell.Row < kMaxHeaderPlace)
                cells.push_back(cell);
    }
    int columns = 2;
    int rows = 2;
    for (const THeaderCell& cell : cells) {
        columns = std::max(columns, cell.Column + 1);
        rows = std::max(rows, cell.Row + 1);
    }
    // Shrinking to 1 x 1 first clears every cell the last test left.
    Grid1->SetColCount(2);
    Grid1->SetRowCount(2);
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 2; ++r)
            Grid1->SetCells(c, r, "");
    Grid1->SetColCount(columns);
    Grid1->SetRowCount(rows);
    for (int c = 1; c < columns; ++c)
        Grid1->SetCells(c, 0, IntToStr(c));
    for (int r = 1; r < rows; ++r)
        Grid1->SetCells(0, r, IntToStr(r));
    for (const THeaderCell& cell : cells)
        Grid1->SetCells(cell.Column, cell.Row, cell.Text);
}

} // namespace vx
