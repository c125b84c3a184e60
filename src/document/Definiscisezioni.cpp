#include "document/Definiscisezioni.h"

#include "document/OkCancel.h"
#include "document/Sectionmanager.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/Icons.h"
#include "platform/ui/Label.h"
#include "platform/ui/Panel.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StringGrid.h"
#include "report/WPSection.h"

#include <cstdint>
#include <memory>

namespace vx {

namespace {

// Section rows of a numeric grid: every row after the header.
int SectionRows(const TStringGrid& grid) {
    return grid.RowCount() - 1;
}

void FillGrid(TStringGrid& grid, const TWPSide& side, const std::string& numberHeader,
              const std::string& sizeHeader) {
    const int n = side.SectionCount();
    grid.SetRowCount(n + 1);
    if (n > 0)
        grid.SetFixedRows(1);
    grid.SetCells(0, 0, numberHeader);
    grid.SetCells(1, 0, sizeHeader);
    for (int i = 1; i <= n; ++i) {
        grid.SetCells(0, i, IntToStr(i));
        grid.SetCells(1, i, IntToStr(side.GetSection(i - 1)->Size));
    }
    grid.setEnabled(n > 0);
}

void ApplyGrid(const TStringGrid& grid, TWPSide& side) {
    for (int i = 0; i < side.SectionCount() && i < SectionRows(grid); ++i)
        side.GetSection(i)->Size = StrToInt(grid.Cells(1, i + 1));
}

void ShareEqually(TStringGrid& grid) {
    const int n = SectionRows(grid);
    // A side without sections has nothing to share.
    if (n <= 0)
        return;
    for (int i = 1; i <= n; ++i)
        grid.SetCells(1, i, IntToStr(100 / n));
}

void CopyValues(const TStringGrid& from, TStringGrid& to) {
    for (int i = 1; i <= SectionRows(from) && i <= SectionRows(to); ++i)
        to.SetCells(1, i, from.Cells(1, i));
}

} // namespace

// ---- Tfrm_def_numeric ----

Tfrm_def_numeric::Tfrm_def_numeric(QWidget* parent) : TForm(parent, "frm_def_numeric") {
    resize(440, 300);
    TLabel** titles[] = {&Label1, &Label4};
    TStringGrid** grids[] = {&Grid1, &Grid2};
    TSpeedButton** equal[] = {&SpeedButton3, &SpeedButton5};
    TSpeedButton** copy[] = {&SpeedButton4, &SpeedButton6};
    TSpeedButton** total[] = {&SpeedButton1, &SpeedButton2};
    TLabel** totals[] = {&Label3, &Label6};
    const char* titleNames[] = {"Label1", "Label4"};
    const char* equalNames[] = {"SpeedButton3", "SpeedButton5"};
    const char* copyNames[] = {"SpeedButton4", "SpeedButton6"};
    const char* totalNames[] = {"SpeedButton1", "SpeedButton2"};
    const char* totalLabels[] = {"Label3", "Label6"};
    for (int side = 0; side < 2; ++side) {
        const int x = 8 + side * 216;
        const QString n = QString::number(side + 1);
        *titles[side] = Placed(new TLabel(this, titleNames[side]), x, 8, 208, 16);
        TStringGrid* grid = Placed(new TStringGrid(this, "Grid" + n), x, 26, 208, 150);
        grid->SetColCount(2);
        grid->SetFixedCols(1);
        grid->SetColWidths(0, 60);
        grid->SetColWidths(1, 120);
        grid->SetOptions(grid->Options() | goEditing);
        *grids[side] = grid;
        *equal[side] = Placed(new TSpeedButton(this, equalNames[side]), x, 182, 208, 24);
        *copy[side] = Placed(new TSpeedButton(this, copyNames[side]), x, 210, 208, 24);
        *total[side] = Placed(new TSpeedButton(this, totalNames[side]), x, 238, 100, 24);
        *totals[side] = Placed(new TLabel(this, totalLabels[side]), x + 108, 242, 100, 16);
    }
    SpeedButton1->OnClick = [this](QObject* s) { SpeedButton1Click(s); };
    SpeedButton2->OnClick = [this](QObject* s) { SpeedButton2Click(s); };
    SpeedButton3->OnClick = [this](QObject* s) { SpeedButton3Click(s); };
    SpeedButton4->OnClick = [this](QObject* s) { SpeedButton4Click(s); };
    SpeedButton5->OnClick = [this](QObject* s) { SpeedButton5Click(s); };
    SpeedButton6->OnClick = [this](QObject* s) { SpeedButton6Click(s); };
    PlaceOkCancel(this, OKBtn, CancelBtn, 268);
    OnCloseQuery = [this](QObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
    mlLang1 = CreateFormTable(this, "Tfrm_def_numeric");
}

void Tfrm_def_numeric::Fill(const TWPSide& left, const TWPSide& right) {
    const std::string number = mlLang1->GetTextOrDefault("IDS_4");
    const std::string size = mlLang1->GetTextOrDefault("IDS_5");
    FillGrid(*Grid1, left, number, size);
    FillGrid(*Grid2, right, number, size);
}

void Tfrm_def_numeric::Apply(TWPSide& left, TWPSide& right) const {
    ApplyGrid(*Grid1, left);
    ApplyGrid(*Grid2, right);
}

std::string Tfrm_def_numeric::CheckGrid(const TStringGrid& grid) {
    std::string message;
    // Only the values accepted before a stop count; 64 bits, as each may be near the limit.
    int64_t total = 0;
    for (int i = 1; i <= SectionRows(grid); ++i) {
        int32_t value = 0;
        if (!TryStrToInt(grid.Cells(1, i), value)) {
            message = mlLang1->GetTextOrDefault("IDS_1");
            break;
        }
        if (value < 1) {
            message = mlLang1->GetTextOrDefault("IDS_0");
            break;
        }
        total += value;
    }
    if (total > 100)
        message = mlLang1->GetTextOrDefault("IDS_2");
    return message;
}

void Tfrm_def_numeric::FormCloseQuery(QObject*, bool& canClose) {
    if (ModalResult() != mrOk)
        return;
    std::string message;
    for (const TStringGrid* grid : {Grid1, Grid2}) {
        if (SectionRows(*grid) > 0)
            message = CheckGrid(*grid);
        if (!message.empty())
            break;
    }
    if (message.empty())
        return;
    canClose = false;
    Ui().ShowMessage(message);
}

void Tfrm_def_numeric::ShowTotal(const TStringGrid& grid, TLabel* label) {
    int64_t total = 0;
    for (int i = 1; i <= SectionRows(grid); ++i) {
        // A text that is no number raises here and leaves the label as it was.
        const int32_t value = StrToInt(grid.Cells(1, i));
        if (value < 1) {
            label->SetCaption(ToQString(mlLang1->GetTextOrDefault("IDS_3")));
            return;
        }
        total += value;
    }
    label->SetCaption(QString::number(total));
}

void Tfrm_def_numeric::SpeedButton1Click(QObject*) {
    ShowTotal(*Grid1, Label3);
}

void Tfrm_def_numeric::SpeedButton2Click(QObject*) {
    ShowTotal(*Grid2, Label6);
}

void Tfrm_def_numeric::SpeedButton3Click(QObject*) {
    ShareEqually(*Grid1);
}

void Tfrm_def_numeric::SpeedButton5Click(QObject*) {
    ShareEqually(*Grid2);
}

void Tfrm_def_numeric::SpeedButton4Click(QObject*) {
    CopyValues(*Grid1, *Grid2);
}

void Tfrm_def_numeric::SpeedButton6Click(QObject*) {
    CopyValues(*Grid2, *Grid1);
}

// ---- TDefiniscisezioni ----

TDefiniscisezioni::TDefiniscisezioni(QWidget* parent) : TForm(parent, "Definiscisezioni") {
    resize(380, 330);
    struct Tool {
        TSpeedButton** button;
        const char* name;
        const char* glyph;
    };
    const Tool tools[] = {{&normal, "normal", "edit-select"},
                          {&addsect, "addsect", "edit-table-insert-row-below"},
                          {&delsect, "delsect", "edit-table-delete-row"},
                          {&addaxe, "addaxe", "edit-table-insert-column-right"},
                          {&delaxe, "delaxe", "edit-table-delete-column"},
                          {&ToolButton1, "ToolButton1", "auto-scale-y"},
                          {&ToolButton2, "ToolButton2", "format-number-percent"}};
    int x = 8;
    for (int mode = 0; mode < 7; ++mode) {
        const Tool& tool = tools[mode];
        // The numeric sizes sit apart: they open a dialog rather than set a mode.
        if (mode == 6)
            x += 8;
        auto* button = Placed(new TSpeedButton(this, tool.name), x, 6, 28, 28);
        button->SetGlyph(ToolIcon(tool.glyph));
        button->setIconSize(QSize(22, 22));
        x += 30;
        *tool.button = button;
        if (mode == 6)
            break;
        button->SetGroupIndex(1);
        button->OnClick = [this, mode](QObject*) { SetMode(mode); };
    }
    normal->SetDown(true);
    ToolButton2->OnClick = [this](QObject* s) { ToolButton2Click(s); };

    Label1 = Placed(new TLabel(this, "Label1"), 8, 42, 176, 16);
    Label2 = Placed(new TLabel(this, "Label2"), 196, 42, 176, 16);
    TPanel** panels[] = {&Panel1, &Panel2};
    TSectionmanager** managers[] = {&Sectionmanager1, &Sectionmanager2};
    for (int side = 0; side < 2; ++side) {
        const QString n = QString::number(side + 1);
        TPanel* panel = Placed(new TPanel(this, "Panel" + n), 8 + side * 188, 60, 176, 226);
        auto* manager = new TSectionmanager(panel, "Sectionmanager" + n);
        manager->setGeometry(0, 0, panel->width(), panel->height());
        manager->OnClick = [this, manager](QObject*) {
            ManagerClick(*manager, manager->ClickPoint().x(), manager->ClickPoint().y());
        };
        *panels[side] = panel;
        *managers[side] = manager;
    }
    PlaceOkCancel(this, OKBtn, CancelBtn, 296);
    mlLang1 = CreateFormTable(this, "TDefiniscisezioni");
}

void TDefiniscisezioni::SetMode(int mode) {
    mode_ = mode;
    Sectionmanager1->Resize = mode == stSize;
    Sectionmanager2->Resize = mode == stSize;
}

void TDefiniscisezioni::ManagerClick(TSectionmanager& manager, int32_t x, int32_t y) {
    int column = -1;
    int row = -1;
    manager.GetCellAt(x, y, column, row);
    switch (mode_) {
    case stAddSection:
        manager.AddRow();
        break;
    case stDeleteSection:
        if (row < 0) {
            Ui().ShowMessage(mlLang1->GetTextOrDefault("IDS_3"));
            break;
        }
        if (Ui().MessageDlg(mlLang1->GetTextOrDefault("IDS_2") + IntToStr(row + 1) + " ?",
                            TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes)
            manager.DeleteRow(row);
        break;
    case stAddAxis:
        if (row >= 0)
            manager.AddColumn(row);
        break;
    case stDeleteAxis:
        if (row >= 0)
            manager.DeleteColumn(row, column);
        break;
    default:
        break;
    }
}

void TDefiniscisezioni::ToolButton2Click(QObject*) {
    std::unique_ptr<Tfrm_def_numeric> numeric(CreateForm<Tfrm_def_numeric>(this));
    numeric->Fill(Sectionmanager1->Side(), Sectionmanager2->Side());
    if (numeric->ShowModal() != mrOk)
        return;
    numeric->Apply(Sectionmanager1->Side(), Sectionmanager2->Side());
    Sectionmanager1->update();
    Sectionmanager2->update();
}

bool EditSectionsDialog(std::string& left, std::string& right) {
    std::unique_ptr<TDefiniscisezioni> form(CreateForm<TDefiniscisezioni>());
    TMemoryStream leftIn(left), rightIn(right);
    form->LeftManager().Side().ReadFromStream(leftIn);
    form->RightManager().Side().ReadFromStream(rightIn);
    if (form->ShowModal() != mrOk)
        return false;
    TMemoryStream leftOut, rightOut;
    form->LeftManager().Side().WriteToStream(leftOut);
    form->RightManager().Side().WriteToStream(rightOut);
    left = leftOut.Bytes();
    right = rightOut.Bytes();
    return true;
}

} // namespace vx
