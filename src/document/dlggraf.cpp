#include "document/dlggraf.h"

#include "data/Settings.h"
#include "document/DocumentDialogs.h"
#include "document/DocumentFiles.h"
#include "document/FileDialogs.h"
#include "document/PictureDialog.h"
#include "document/Tform_var_rif.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/GroupBox.h"
#include "platform/ui/Icons.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/Shape.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/StringGrid.h"
#include "report/WPGraph.h"

#include <exception>

namespace vx {

namespace {

// The class library's edit held a short string.
constexpr int kCommonRowLength = 255;

void OkCancel(TForm* form, TButton*& ok, TButton*& cancel, int top) {
    ok = Placed(new TButton(form, "OKBtn"), form->width() - 176, top, 80, 26);
    ok->ModalResult = mrOk;
    ok->setDefault(true);
    cancel = Placed(new TButton(form, "CancelBtn"), form->width() - 88, top, 80, 26);
    cancel->ModalResult = mrCancel;
    cancel->Cancel = true;
}

} // namespace

// ------------------------------------------------------------------------- border

Tborderform::Tborderform(QWidget* parent) : TForm(parent, "borderform") {
    resize(250, 140);
    CheckBox1 = Placed(new TCheckBox(this, "CheckBox1"), 8, 8, 234, 20);
    Label1 = Placed(new TLabel(this, "Label1"), 8, 40, 110, 16);
    Shape1 = Placed(new TShape(this, "Shape1"), 122, 36, 50, 22);
    Shape1->OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int32_t, int32_t) {
        int color = Shape1->BrushColor();
        if (Ui().ColorDialog(color))
            Shape1->SetBrushColor(color);
    };
    Label2 = Placed(new TLabel(this, "Label2"), 8, 72, 110, 16);
    SpinEdit1 = Placed(new TSpinEdit(this, "SpinEdit1"), 122, 68, 60, 24);
    SpinEdit1->SetMinValue(1);
    SpinEdit1->SetMaxValue(20);
    OkCancel(this, OKBtn, CancelBtn, 106);
    mlLang1 = CreateFormTable(this, "Tborderform");
}

void Tborderform::LoadBorder(const TBorder& border) {
    CheckBox1->SetChecked(border.Visible);
    Shape1->SetBrushColor(border.Color);
    SpinEdit1->SetValue(border.Width);
}

void Tborderform::StoreBorder(TBorder& border) const {
    border.Visible = CheckBox1->Checked();
    border.Color = Shape1->BrushColor();
    border.Width = SpinEdit1->Value();
}

// ------------------------------------------------------------------ graph properties

Tboxdlg_grafico::Tboxdlg_grafico(QWidget* parent) : TForm(parent, "boxdlg_grafico") {
    resize(620, 470);
    GroupBox1 = Placed(new TGroupBox(this, "GroupBox1"), 8, 8, 330, 420);
    Grid1 = Placed(new TStringGrid(GroupBox1, "Grid1"), 8, 22, 314, 140);
    Grid1->SetColCount(2);
    Grid1->SetRowCount(2);
    Grid1->SetOptions(goEditing);
    Grid1->SetColWidths(0, 40);
    Grid1->SetColWidths(1, 250);
    Label3 = Placed(new TLabel(GroupBox1, "Label3"), 8, 170, 200, 28);
    SpeedButton1 = Placed(new TSpeedButton(GroupBox1, "SpeedButton1"), 212, 170, 110, 26);
    SpeedButton1->OnClick = [this](QObject*) {
        if (ChooseFont(legendFont_))
            ShowFont(Label3, legendFont_);
    };
    const std::pair<TSpeedButton**, const char*> aligns[] = {
        {&SpeedButton4, "format-justify-left"},
        {&SpeedButton10, "format-justify-center"},
        {&SpeedButton11, "format-justify-right"}};
    const char* names[] = {"SpeedButton4", "SpeedButton10", "SpeedButton11"};
    for (int i = 0; i < 3; ++i) {
        auto* b = Placed(new TSpeedButton(GroupBox1, names[i]), 8 + i * 30, 206, 28, 26);
        b->SetGlyph(ToolIcon(aligns[i].second));
        b->SetGroupIndex(1);
        *aligns[i].first = b;
    }
    Label1 = Placed(new TLabel(GroupBox1, "Label1"), 110, 210, 120, 16);
    SpinEdit1 = Placed(new TSpinEdit(GroupBox1, "SpinEdit1"), 234, 206, 88, 24);
    SpinEdit1->SetMinValue(1);
    SpinEdit1->SetMaxValue(99);
    CheckBox2 = Placed(new TCheckBox(GroupBox1, "CheckBox2"), 8, 240, 314, 20);
    CheckBox3 = Placed(new TCheckBox(GroupBox1, "CheckBox3"), 8, 264, 314, 20);
    Label2 = Placed(new TLabel(GroupBox1, "Label2"), 8, 292, 314, 16);
    Edit1 = Placed(new TEdit(GroupBox1, "Edit1"), 8, 310, 314, 24);
    Edit1->setMaxLength(kCommonRowLength);
    Edit1->OnDragOver = [](QObject*, QObject* source, int32_t, int32_t, bool& accept) {
        accept = qobject_cast<TStringGrid*>(source) != nullptr;
    };
    Edit1->OnDragDrop = [this](QObject*, QObject* source, int32_t, int32_t) { DropOnEdit(source); };
    BitBtn3 = Placed(new TButton(GroupBox1, "BitBtn3"), 8, 344, 150, 26);
    BitBtn3->OnClick = [this](QObject*) { EditBorder(legendBorder_); };
    SpeedButton18 = Placed(new TSpeedButton(GroupBox1, "SpeedButton18"), 166, 344, 156, 26);
    SpeedButton18->SetGroupIndex(2);
    SpeedButton18->SetAllowAllUp(true);
    SpeedButton18->OnClick = [this](QObject*) {
        if (!testWindow_)
            return;
        if (SpeedButton18->Down())
            testWindow_->Show();
        else
            testWindow_->hide();
    };

    GroupBox2 = Placed(new TGroupBox(this, "GroupBox2"), 346, 8, 266, 60);
    BitBtn4 = Placed(new TButton(GroupBox2, "BitBtn4"), 8, 24, 150, 26);
    BitBtn4->OnClick = [this](QObject*) { EditBorder(graphBorder_); };
    GroupBox3 = Placed(new TGroupBox(this, "GroupBox3"), 346, 74, 266, 82);
    CheckBox1 = Placed(new TCheckBox(GroupBox3, "CheckBox1"), 8, 24, 250, 20);
    Label4 = Placed(new TLabel(GroupBox3, "Label4"), 8, 52, 170, 16);
    SpinEdit2 = Placed(new TSpinEdit(GroupBox3, "SpinEdit2"), 182, 48, 76, 24);
    SpinEdit2->SetMinValue(2);
    SpinEdit2->SetMaxValue(100);
    GroupBox4 = Placed(new TGroupBox(this, "GroupBox4"), 346, 162, 266, 266);
    Image1 = Placed(new TImage(GroupBox4, "Image1"), 8, 22, 130, 110);
    Image1->SetStretch(true);
    BitBtn1 = Placed(new TButton(GroupBox4, "BitBtn1"), 146, 22, 112, 26);
    BitBtn1->OnClick = [this](QObject*) {
        Bitmap picture = Image1->Picture();
        if (ChoosePicture(picture))
            Image1->SetPicture(picture);
    };
    BitBtn2 = Placed(new TButton(GroupBox4, "BitBtn2"), 146, 54, 112, 26);
    BitBtn2->OnClick = [this](QObject*) { Image1->SetPicture(Bitmap()); };
    RadioGroup2 = Placed(new TRadioGroup(GroupBox4, "RadioGroup2"), 8, 140, 250, 90);
    RadioGroup2->SetItems({"Centrata", "Affiancata", "Allargata"});

    BitBtn5 = Placed(new TButton(this, "BitBtn5"), 8, 436, 190, 26);
    BitBtn5->OnClick = [this](QObject*) { OpenConfiguration(); };
    BitBtn6 = Placed(new TButton(this, "BitBtn6"), 204, 436, 190, 26);
    BitBtn6->OnClick = [this](QObject*) { SaveConfiguration(); };
    OkCancel(this, OKBtn, CancelBtn, 436);
    mlLang1 = CreateFormTable(this, "Tboxdlg_grafico");
    Grid1->SetCells(1, 0, mlLang1->GetTextOrDefault("IDS_0"));
    ShowFont(Label3, legendFont_);
}

Tboxdlg_grafico::~Tboxdlg_grafico() {
    if (testWindow_)
        testWindow_->AllowClose = true;
}

void Tboxdlg_grafico::SetGraph(TDatabuffer* data) {
    data_ = data;
    graph_ = std::make_unique<TWPGraph>(nullptr, data);
    if (!testWindow_) {
        testWindow_ = CreateForm<Tform_var_rif>(this);
        testWindow_->SetDataBuffer(data);
        testWindow_->LoadTests();
    }
}

void Tboxdlg_grafico::CopyGraph(const TWPGraph& source, TWPGraph& target) {
    TMemoryStream stream;
    source.SaveToStream(stream);
    stream.Seek(0, TSeekOrigin::soBeginning);
    target.LoadFromStream(stream);
}

void Tboxdlg_grafico::LoadExchange(const TGraphDialogExchange& x) {
    LoadControls(x);
    SetGraph(x.Data);
    if (x.Graph)
        CopyGraph(*x.Graph, *graph_);
}

void Tboxdlg_grafico::LoadControls(const TGraphDialogExchange& x) {
    Grid1->SetRowCount(static_cast<int>(x.Rows.size()) + 1);
    for (int i = 0; i < static_cast<int>(x.Rows.size()); ++i) {
        Grid1->SetCells(0, i + 1, x.Rows[i].Number);
        Grid1->SetCells(1, i + 1, x.Rows[i].Comment);
    }
    legendFont_.Assign(x.LegendFont);
    ShowFont(Label3, legendFont_);
    if (x.LegendAlign == 0)
        SpeedButton4->SetDown(true);
    else if (x.LegendAlign == 6)
        SpeedButton10->SetDown(true);
    else if (x.LegendAlign == 2)
        SpeedButton11->SetDown(true);
    legendBorder_.Assign(x.LegendFrame);
    graphBorder_.Assign(x.border);
    CheckBox2->SetChecked(x.LegendVisible);
    SpinEdit1->SetValue(x.Numrows);
    CheckBox1->SetChecked(x.Globalgrid);
    SpinEdit2->SetValue(x.Globtacvert);
    Edit1->SetText(ToQString(x.testocomune));
    CheckBox3->SetChecked(x.showfile);
    Image1->SetPicture(x.Watermark);
    RadioGroup2->SetItemIndex(x.WatermarkMode);
}

void Tboxdlg_grafico::StoreControls(TGraphDialogExchange& x) const {
    x.border.Assign(graphBorder_);
    x.LegendVisible = CheckBox2->Checked();
    x.LegendFont.Assign(legendFont_);
    x.LegendAlign = SpeedButton4->Down() ? 0 : SpeedButton10->Down() ? 6 : 2;
    x.LegendFrame.Assign(legendBorder_);
    x.Numrows = SpinEdit1->Value();
    x.Globalgrid = CheckBox1->Checked();
    x.Globtacvert = SpinEdit2->Value();
    x.testocomune = FromQString(Edit1->Text());
    x.showfile = CheckBox3->Checked();
    x.Rows.clear();
    for (int row = 1; row < Grid1->RowCount(); ++row)
        x.Rows.push_back({Grid1->Cells(0, row), Grid1->Cells(1, row)});
    x.Watermark = Image1->Picture();
    x.WatermarkMode = static_cast<uint8_t>(std::max(RadioGroup2->ItemIndex(), 0));
}

void Tboxdlg_grafico::StoreExchange(TGraphDialogExchange& x) const {
    StoreControls(x);
    x.OpenedGraph.clear();
    if (opened_ && graph_) {
        TMemoryStream stream;
        graph_->SaveToStream(stream);
        x.OpenedGraph = stream.Bytes();
    }
}

void Tboxdlg_grafico::EditBorder(TBorder& border) {
    std::unique_ptr<Tborderform> dialog(CreateForm<Tborderform>(this));
    dialog->LoadBorder(border);
    if (dialog->ShowModal() == mrOk)
        dialog->StoreBorder(border);
}

void Tboxdlg_grafico::DropOnEdit(QObject* source) {
    auto* grid = qobject_cast<TStringGrid*>(source);
    if (!grid)
        return;
    const int col = grid->Col();
    const int row = grid->Row();
    const QString text = Edit1->Text() + ToQString("&<*;" + IntToStr(col) + ";" + IntToStr(row) +
                                                   "(" + grid->Cells(col, row) + ")>");
    // A longer row would be cut where the file keeps it; the drop is refused instead.
    if (text.size() > kCommonRowLength)
        return;
    Edit1->SetText(text);
}

namespace {

std::string GraphFilter(const std::string& description) {
    return description + "CGF" + ")|*." + "CGF";
}

} // namespace

void Tboxdlg_grafico::SaveConfiguration() {
    if (!graph_)
        return;
    const std::string path = ChooseFile(true, ConfigurationsFolder(),
                                        GraphFilter(mlLang1->GetTextOrDefault("IDS_2")), "CGF");
    if (path.empty())
        return;
    TGraphDialogExchange x;
    StoreControls(x);
    ApplyGraphExchange(x, *graph_);
    try {
        SaveGraphFile(path, *graph_);
    } catch (const std::exception& e) {
        Ui().MessageDlg(FileErrorText(e, path, true), TMsgDlgType::mtError, mbOK);
    }
}

void Tboxdlg_grafico::OpenConfiguration() {
    if (!graph_)
        return;
    const std::string path = ChooseFile(false, ConfigurationsFolder(),
                                        GraphFilter(mlLang1->GetTextOrDefault("IDS_1")), "CGF");
    if (path.empty())
        return;
    try {
        LoadGraphFile(path, *graph_);
    } catch (const std::exception& e) {
        Ui().MessageDlg(FileErrorText(e, path, false), TMsgDlgType::mtError, mbOK);
        return;
    }
    opened_ = true;
    TGraphDialogExchange x;
    FillGraphExchange(*graph_, data_, x);
    LoadControls(x);
}

bool EditGraphDialog(TGraphDialogExchange& x) {
    std::unique_ptr<Tboxdlg_grafico> dialog(CreateForm<Tboxdlg_grafico>());
    dialog->LoadExchange(x);
    if (dialog->ShowModal() != mrOk)
        return false;
    dialog->StoreExchange(x);
    return true;
}

} // namespace vx
