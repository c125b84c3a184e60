#include "app/ModCaric.h"

#include "app/Main.h"
#include "app/MainExtensions.h"
#include "data/Modellocaricamento.h"
#include "data/ProvaText.h"
#include "data/Settings.h"
#include "data/WPComp.h"
#include "document/FileDialogs.h"
#include "document/clipGrid.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/LineReader.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StringGrid.h"

#include <algorithm>
#include <vector>

namespace vx {

TFormModellocaricamento::TFormModellocaricamento(QWidget* parent)
    : TForm(parent, "FormModellocaricamento") {
    resize(760, 520);
    SpeedButton1 = Placed(new TSpeedButton(this, "SpeedButton1"), 8, 8, 80, 26);
    SpeedButton2 = Placed(new TSpeedButton(this, "SpeedButton2"), 92, 8, 80, 26);
    SpeedButton3 = Placed(new TSpeedButton(this, "SpeedButton3"), 190, 8, 90, 26);
    Label1 = Placed(new TLabel(this, "Label1"), 284, 14, 70, 16);
    SpeedButton4 = Placed(new TSpeedButton(this, "SpeedButton4"), 358, 8, 90, 26);
    Label2 = Placed(new TLabel(this, "Label2"), 452, 14, 70, 16);
    SpeedButton5 = Placed(new TSpeedButton(this, "SpeedButton5"), 526, 8, 90, 26);
    Label3 = Placed(new TLabel(this, "Label3"), 620, 14, 70, 16);
    Label4 = Placed(new TLabel(this, "Label4"), 8, 44, 130, 16);
    Edit2 = Placed(new TEdit(this, "Edit2"), 140, 40, 50, 22);
    Edit2->setMaxLength(3);
    Edit2->SetText("*");
    OKBtn = Placed(new TButton(this, "OKBtn"), 500, 38, 80, 26);
    OKBtn->ModalResult = mrOk;
    CancelBtn = Placed(new TButton(this, "CancelBtn"), 586, 38, 80, 26);
    CancelBtn->ModalResult = mrCancel;
    Grid1 = Placed(new TStringGrid(this, "Grid1"), 8, 72, 744, 440);
    for (TLabel* label : {Label1, Label2, Label3})
        label->SetCaption("[..;..]");

    SpeedButton1->OnClick = [this](QObject* s) { SpeedButton1Click(s); };
    SpeedButton2->OnClick = [this](QObject* s) { SpeedButton2Click(s); };
    SpeedButton3->OnClick = [this](QObject* s) { SpeedButton3Click(s); };
    SpeedButton4->OnClick = [this](QObject* s) { SpeedButton4Click(s); };
    SpeedButton5->OnClick = [this](QObject* s) { SpeedButton5Click(s); };
    Edit2->OnChange = [this](QObject* s) { Edit2Change(s); };
    OnCreate = [this](QObject* s) { FormCreate(s); };
    OnCloseQuery = [this](QObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
    mlLang1 = CreateFormTable(this, "TFormModellocaricamento");
    SetWindowState(wsMaximized);
}

TFormModellocaricamento::~TFormModellocaricamento() = default;

std::string TFormModellocaricamento::Text(const char* id) const {
    return mlLang1->GetTextOrDefault(id);
}

void TFormModellocaricamento::FormCreate(QObject*) {
    model_ = std::make_unique<TModellocaricamento>();
    modified_ = false;
}

bool TFormModellocaricamento::LoadFile(const std::string& path) {
    std::vector<std::vector<std::string>> lines;
    size_t fields = 0;
    try {
        LineReader reader(path);
        std::string_view line;
        while (reader.Next(line)) {
            std::vector<std::string> row;
            ForEachField(line.substr(0, kMaxLineLength), [&](std::string_view field) {
                row.emplace_back(field);
                return true;
            });
            const size_t cols = std::max(fields, row.size()) + 1;
            // Row 0, the lines and the empty row after them.
            if (static_cast<int64_t>(cols) * static_cast<int64_t>(lines.size() + 3) >
                TclipGrid::kMaxPasteCells)
                break;
            fields = cols - 1;
            lines.push_back(std::move(row));
        }
    } catch (const std::exception&) {
        return false;
    }
    const int cols = static_cast<int>(fields) + 1;
    const int rows = static_cast<int>(lines.size()) + 2;
    std::vector<std::string> cells(static_cast<size_t>(cols) * rows);
    for (int c = 1; c < cols; ++c)
        cells[static_cast<size_t>(c)] = TclipGrid::ColumnLetters(c - 1);
    for (int r = 1; r < rows; ++r) {
        std::string* row = &cells[static_cast<size_t>(r) * cols];
        row[0] = IntToStr(r);
        if (r - 1 < static_cast<int>(lines.size())) {
            std::vector<std::string>& fieldsOfLine = lines[static_cast<size_t>(r - 1)];
            for (size_t k = 0; k < fieldsOfLine.size(); ++k)
                row[k + 1] = std::move(fieldsOfLine[k]);
        }
    }
    Grid1->LoadCells(cols < 2 ? 2 : cols, rows, std::move(cells));
    Grid1->SetFixedCols(1);
    Grid1->SetFixedRows(1);
    return true;
}

std::string TFormModellocaricamento::PositionText(const TCellPos& pos) {
    if (pos.Row < 1)
        return "[..;..]";
    // Column 0 and column 1 both mean the first field.
    return "[" + TclipGrid::ColumnLetters(std::max(pos.Col, 1) - 1) + ";" + IntToStr(pos.Row) + "]";
}

void TFormModellocaricamento::MarkPosition(TCellPos& pos, TLabel* label) {
    const TGridRect selection = Grid1->Selection();
    if (selection.Left >= 1 && selection.Top >= 1)
        pos = {selection.Left, selection.Top};
    label->SetCaption(ToQString(PositionText(pos)));
    modified_ = true;
}

void TFormModellocaricamento::SpeedButton3Click(QObject*) {
    MarkPosition(model_->NamesPos, Label1);
}

void TFormModellocaricamento::SpeedButton4Click(QObject*) {
    MarkPosition(model_->UnitsPos, Label2);
}

void TFormModellocaricamento::SpeedButton5Click(QObject*) {
    MarkPosition(model_->DataPos, Label3);
}

void TFormModellocaricamento::Edit2Change(QObject*) {
    modified_ = true;
}

void TFormModellocaricamento::ShowModel() {
    Label1->SetCaption(ToQString(PositionText(model_->NamesPos)));
    Label2->SetCaption(ToQString(PositionText(model_->UnitsPos)));
    Label3->SetCaption(ToQString(PositionText(model_->DataPos)));
    // A longer stored filter is shown and kept whole; typing stays within three characters.
    Edit2->setMaxLength(std::max<int>(3, static_cast<int>(model_->Mask.size())));
    Edit2->SetText(ToQString(model_->Mask));
}

void TFormModellocaricamento::SpeedButton1Click(QObject*) {
    FileDialogRequest request;
    request.InitialDir = ConfigurationsFolder();
    request.Filter = Text("IDS_2");
    const std::vector<std::string> chosen = Ui().OpenFileDialog(request);
    if (chosen.empty())
        return;
    if (model_->LoadFromFile(chosen.front()))
        ShowModel();
    else
        Ui().ShowMessage(Text("IDS_0"));
}

void TFormModellocaricamento::SpeedButton2Click(QObject*) {
    FileDialogRequest request;
    request.InitialDir = ConfigurationsFolder();
    request.Filter = Text("IDS_2");
    const std::string chosen = Ui().SaveFileDialog(request);
    if (chosen.empty())
        return;
    model_->Mask = FromQString(Edit2->Text());
    const std::string fileName = ForceExtension(chosen, ".WHF");
    if (!ConfirmReplace(chosen, fileName))
        return;
    if (!model_->SaveToFile(fileName))
        Ui().ShowMessage(
            FileErrorText(EFOpenError("Cannot create file \"" + fileName + "\""), fileName, true));
}

void TFormModellocaricamento::FormCloseQuery(QObject*, bool& canClose) {
    if (ModalResult() == mrOk && modified_ &&
        Ui().MessageDlg(Text("IDS_1"), TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes)
        canClose = false;
}

void InstallLoadModelEditor(TMainExtensions& extensions) {
    extensions.EditLoadModel = [](TMainForm& main, const std::string& path) {
        std::unique_ptr<TFormModellocaricamento> editor(CreateForm<TFormModellocaricamento>(&main));
        editor->LoadFile(path);
        editor->ShowModal();
    };
}

} // namespace vx
