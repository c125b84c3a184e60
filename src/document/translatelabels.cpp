#include "document/translatelabels.h"

#include "data/Settings.h"
#include "data/WPComp.h"
#include "document/DocumentFiles.h"
#include "document/FileDialogs.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/runtime/LineReader.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StringGrid.h"

#include <algorithm>
#include <exception>

namespace vx {

namespace {

constexpr size_t kMaxLine = 255;

} // namespace

void SaveLabelFile(const std::string& fileName, const std::vector<TLabelPair>& labels) {
    std::string text;
    for (const TLabelPair& pair : labels)
        for (const std::string& line : pair) {
            text.append(line, 0, std::min(line.size(), kMaxLine));
            text += "\r\n";
        }
    SaveFileAtomically(fileName,
                       [&text](TStream& stream) { stream.WriteBuffer(text.data(), text.size()); });
}

std::vector<std::string> LoadLabelFile(const std::string& fileName) {
    LineReader reader(fileName);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.Next(line))
        lines.emplace_back(line);
    return lines;
}

Ttranslatelabelsdlg::Ttranslatelabelsdlg(QWidget* parent) : TForm(parent, "translatelabelsdlg") {
    resize(500, 330);
    Grid1 = Placed(new TStringGrid(this, "Grid1"), 8, 8, 484, 270);
    Grid1->SetColCount(3);
    Grid1->SetRowCount(2);
    Grid1->SetFixedCols(1);
    Grid1->SetFixedRows(1);
    for (int c = 0; c < 3; ++c)
        Grid1->SetColWidths(c, 156);
    Grid1->SetOptions(goEditing);
    SpeedButton1 = Placed(new TSpeedButton(this, "SpeedButton1"), 8, 290, 124, 28);
    SpeedButton2 = Placed(new TSpeedButton(this, "SpeedButton2"), 136, 290, 90, 28);
    SpeedButton3 = Placed(new TSpeedButton(this, "SpeedButton3"), 230, 290, 100, 28);
    BitBtn1 = Placed(new TButton(this, "BitBtn1"), 326, 292, 80, 26);
    BitBtn1->ModalResult = mrOk;
    BitBtn1->setDefault(true);
    BitBtn2 = Placed(new TButton(this, "BitBtn2"), 412, 292, 80, 26);
    BitBtn2->ModalResult = mrCancel;
    BitBtn2->Cancel = true;

    SpeedButton1->OnClick = [this](QObject* s) { SpeedButton1Click(s); };
    SpeedButton2->OnClick = [this](QObject* s) { SpeedButton2Click(s); };
    SpeedButton3->OnClick = [this](QObject* s) { SpeedButton3Click(s); };
    BitBtn1->OnClick = [this](QObject* s) { BitBtn1Click(s); };
    mlLang1 = CreateFormTable(this, "Ttranslatelabelsdlg");
    for (int c = 0; c < 3; ++c)
        Grid1->SetCells(c, 0, mlLang1->GetTextOrDefault("IDS_" + std::to_string(c)));
}

std::vector<TLabelPair> Ttranslatelabelsdlg::Labels() const {
    std::vector<TLabelPair> labels;
    for (int r = 1; r < Grid1->RowCount(); ++r)
        labels.push_back({Grid1->Cells(1, r), Grid1->Cells(2, r)});
    return labels;
}

void Ttranslatelabelsdlg::SpeedButton1Click(QObject*) {
    for (int r = 1; r < Grid1->RowCount(); ++r) {
        Grid1->SetCells(1, r, r - 1 < Names.Count() ? Names[r - 1] : std::string());
        Grid1->SetCells(2, r, r - 1 < Units.Count() ? Units[r - 1] : std::string());
    }
}

void Ttranslatelabelsdlg::SpeedButton2Click(QObject*) {
    FileDialogRequest request;
    request.InitialDir = ConfigurationsFolder();
    request.Filter = mlLang1->GetTextOrDefault("IDS_3");
    const std::vector<std::string> chosen = Ui().OpenFileDialog(request);
    if (chosen.empty())
        return;
    std::vector<std::string> lines;
    // The whole file is read before any cell changes: a failed read leaves the grid as it was.
    try {
        lines = LoadLabelFile(chosen.front());
    } catch (const std::exception& e) {
        Ui().MessageDlg(FileErrorText(e, chosen.front(), false), TMsgDlgType::mtError, mbOK);
        return;
    }
    for (int r = 1; r < Grid1->RowCount(); ++r) {
        Grid1->SetCells(1, r, "");
        Grid1->SetCells(2, r, "");
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const int row = static_cast<int>(i / 2) + 1;
        if (row >= Grid1->RowCount())
            break;
        Grid1->SetCells(static_cast<int>(i % 2) + 1, row, lines[i]);
    }
}

void Ttranslatelabelsdlg::SpeedButton3Click(QObject*) {
    FileDialogRequest request;
    request.InitialDir = ConfigurationsFolder();
    request.Filter = mlLang1->GetTextOrDefault("IDS_3");
    const std::string named = Ui().SaveFileDialog(request);
    if (named.empty())
        return;
    // The name up to its first point, then "CLF".
    const std::string final = ReplaceExtension(named, "CLF");
    if (!ConfirmReplace(named, final))
        return;
    try {
        SaveLabelFile(final, Labels());
    } catch (const std::exception& e) {
        Ui().MessageDlg(FileErrorText(e, final, true), TMsgDlgType::mtError, mbOK);
    }
}

void Ttranslatelabelsdlg::BitBtn1Click(QObject*) {
    // A cell still being edited counts as entered.
    Grid1->SetEditorMode(false);
}

} // namespace vx
