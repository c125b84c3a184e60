#include "document/defreprt.h"

#include "data/Databuff.h"
#include "data/Settings.h"
#include "document/DocumentFiles.h"
#include "document/FileDialogs.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/graphics/Drawing.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Format.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/CheckListBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/GroupBox.h"
#include "platform/ui/Icons.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/Shape.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/StringGrid.h"
#include "platform/ui/TabSet.h"
#include "platform/ui/TrackBar.h"
#include "report/wpreport.h"

#include <array>
#include <string_view>
#include <unordered_set>

namespace vx {

namespace {

constexpr std::string_view kAnyType = "*.*";
constexpr uint16_t kAlignCodes[3] = {0, 6, 2};
constexpr int kMaxGroups = 20;
constexpr int kMaxColumns = 40;

using TAlignButtons = std::array<TSpeedButton*, 3>;

// Each alignment group shows its code by the one button down; a code the buttons do not
// know shows none.
void ShowAlign(const TAlignButtons& buttons, uint16_t code) {
    for (int i = 0; i < 3; ++i)
        buttons[size_t(i)]->SetDown(kAlignCodes[i] == code);
}

uint16_t ReadAlign(const TAlignButtons& buttons, uint16_t otherwise) {
    for (int i = 0; i < 3; ++i)
        if (buttons[size_t(i)]->Down())
            return kAlignCodes[i];
    return otherwise;
}

std::unique_ptr<Tdefcanale> NewChannel() {
    return std::make_unique<Tdefcanale>(nullptr);
}

// A copy equal to its source: read into a new channel, so that a property the stream leaves
// out for being at its default is the default in the copy too.
std::unique_ptr<Tdefcanale> ReadChannel(TStream& stream) {
    auto channel = NewChannel();
    ReadComponent(stream, *channel);
    return channel;
}

// Through a memory stream, as the report's own streams hold channels; target is new.
void CopyChannel(const Tdefcanale& source, Tdefcanale& target) {
    TMemoryStream stream;
    WriteComponent(stream, source);
    stream.Seek(0, TSeekOrigin::soBeginning);
    ReadComponent(stream, target);
}

std::unique_ptr<Tdefcanale> CopyChannel(const Tdefcanale& source) {
    auto channel = NewChannel();
    CopyChannel(source, *channel);
    return channel;
}

QString Number(int64_t value) {
    return ToQString(IntToStr(value));
}

bool ChooseColor(TShape* shape) {
    int color = shape->BrushColor();
    if (!Ui().ColorDialog(color))
        return false;
    shape->SetBrushColor(color);
    return true;
}

} // namespace

Tcfg_report::Tcfg_report(QWidget* parent) : TForm(parent, "cfg_report") {
    BuildForm();
    mlLang1 = CreateFormTable(this, "Tcfg_report");
    ShowFont(Label5, fontT_);
    ShowFont(Label6, fontI_);
    ShowFont(Label7, fontD_);
}

Tcfg_report::~Tcfg_report() = default;

void Tcfg_report::BuildForm() {
    resize(760, 600);
    Grid1 = Placed(new TStringGrid(this, "Grid1"), 8, 8, 480, 220);
    Grid1->SetDefaultColWidth(110);
    Grid1->SetDefaultRowHeight(20);
    Grid1->SetColWidths(0, 30);
    TabSet1 = Placed(new TTabSet(this, "TabSet1"), 496, 8, 256, 26);
    ListBox1 = Placed(new TListBox(this, "ListBox1"), 496, 34, 256, 194);
    SpinEdit1 = Placed(new TSpinEdit(this, "SpinEdit1"), 8, 236, 60, 24);
    SpinEdit1->SetMinValue(1);
    SpinEdit1->SetMaxValue(kMaxGroups);
    Button1 = Placed(new TButton(this, "Button1"), 72, 236, 100, 24);
    SpinEdit2 = Placed(new TSpinEdit(this, "SpinEdit2"), 190, 236, 60, 24);
    SpinEdit2->SetMinValue(1);
    SpinEdit2->SetMaxValue(kMaxColumns);
    Button2 = Placed(new TButton(this, "Button2"), 254, 236, 100, 24);

    PageControl1 = Placed(new TPageControl(this, "PageControl1"), 8, 268, 744, 286);
    BuildAttributesPage();
    BuildTitlesPage();
    BuildLayoutPage();

    Button4 = Placed(new TButton(this, "Button4"), 8, 564, 100, 28);
    Button5 = Placed(new TButton(this, "Button5"), 116, 564, 100, 28);
    OKBtn = Placed(new TButton(this, "OKBtn"), 584, 564, 80, 28);
    OKBtn->ModalResult = mrOk;
    OKBtn->setDefault(true);
    CancelBtn = Placed(new TButton(this, "CancelBtn"), 672, 564, 80, 28);
    CancelBtn->ModalResult = mrCancel;
    CancelBtn->Cancel = true;

    OnActivate = [this](QObject* s) { FormActivate(s); };
    OnCloseQuery = [this](QObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
    TabSet1->OnClick = [this](QObject* s) { TabSet1Click(s); };
    Grid1->OnMouseUp = [this](QObject* s, TMouseButton b, TShiftState sh, int32_t x, int32_t y) {
        Grid1MouseUp(s, b, sh, x, y);
    };
    Grid1->OnKeyDown = [this](QObject* s, uint16_t& key, TShiftState sh) {
        Grid1KeyDown(s, key, sh);
    };
    Grid1->OnDragOver = [this](QObject* s, QObject* source, int32_t x, int32_t y, bool& accept) {
        Grid1DragOver(s, source, x, y, accept);
    };
    Grid1->OnDragDrop = [this](QObject* s, QObject* source, int32_t x, int32_t y) {
        Grid1DragDrop(s, source, x, y);
    };
    ListBox1->OnMouseDown = [this](QObject* s, TMouseButton b, TShiftState sh, int32_t x,
                                   int32_t y) { ListBox1MouseDown(s, b, sh, x, y); };
    Button1->OnClick = [this](QObject* s) { GroupsButtonClick(s); };
    Button2->OnClick = [this](QObject* s) { ChannelsButtonClick(s); };
    Button4->OnClick = [this](QObject* s) { SaveButtonClick(s); };
    Button5->OnClick = [this](QObject* s) { OpenButtonClick(s); };
}

void Tcfg_report::BuildAttributesPage() {
    TabSheet1 = new TTabSheet(PageControl1, "TabSheet1");
    Label1 = Placed(new TLabel(TabSheet1, "Label1"), 8, 8, 276, 16);
    Edit1 = Placed(new TEdit(TabSheet1, "Edit1"), 8, 26, 130, 24);
    ComboBox1 = Placed(new TComboBox(TabSheet1, "ComboBox1"), 144, 26, 140, 24);
    // Display masks, written with the system's separators as they were at creation; the
    // stored codes read the same in every language.
    const std::string t(1, FormatSettings().TimeSeparator);
    const std::string d(1, FormatSettings().DateSeparator);
    const std::string hms = "hh" + t + "nn" + t + "ss";
    const std::string date = "dd" + d + "mm" + d + "yyyy";
    QStringList masks;
    for (const std::string& mask :
         {std::string("0"), std::string("0.0"), std::string("0.00"), std::string("0.000"),
          hms + t + "zzz", "hh" + t + "nn", "nn" + t + "ss", date, date + " " + hms,
          "[" + hms + "]", "[hh" + t + "nn]", "[" + hms + t + "zzz]", std::string("Stringa")})
        masks << ToQString(mask);
    ComboBox1->SetItems(masks);
    Label2 = Placed(new TLabel(TabSheet1, "Label2"), 8, 60, 276, 16);
    Edit2 = Placed(new TEdit(TabSheet1, "Edit2"), 8, 78, 130, 24);
    Label3 = Placed(new TLabel(TabSheet1, "Label3"), 8, 116, 180, 16);
    Shape1 = Placed(new TShape(TabSheet1, "Shape1"), 196, 112, 48, 24);
    Button3 = Placed(new TButton(TabSheet1, "Button3"), 8, 160, 130, 28);
    Button3->setEnabled(false);

    const auto alignGroup =
        [this](TGroupBox*& box, const char* name, int left, std::array<TSpeedButton**, 3> buttons,
               std::array<const char*, 3> names, int group, TLabel*& sample, const char* sampleName,
               TSpeedButton*& fontButton, const char* fontName) {
            box = Placed(new TGroupBox(TabSheet1, name), left, 4, 216, 130);
            const char* glyphs[] = {"format-justify-left", "format-justify-center",
                                    "format-justify-right"};
            for (size_t i = 0; i < 3; ++i) {
                auto* b = Placed(new TSpeedButton(box, names[i]), 10 + int(i) * 30, 22, 28, 26);
                b->SetGlyph(ToolIcon(glyphs[i]));
                b->SetGroupIndex(group);
                b->SetAllowAllUp(true);
                *buttons[i] = b;
            }
            fontButton = Placed(new TSpeedButton(box, fontName), 106, 22, 100, 26);
            sample = Placed(new TLabel(box, sampleName), 10, 56, 196, 64);
            sample->setAlignment(Qt::AlignCenter);
        };
    alignGroup(GroupBox1, "GroupBox1", 296, {&SpeedButton4, &SpeedButton10, &SpeedButton11},
               {"SpeedButton4", "SpeedButton10", "SpeedButton11"}, 1, Label6, "Label6",
               SpeedButton5, "SpeedButton5");
    alignGroup(GroupBox2, "GroupBox2", 520, {&SpeedButton7, &SpeedButton8, &SpeedButton9},
               {"SpeedButton7", "SpeedButton8", "SpeedButton9"}, 2, Label7, "Label7", SpeedButton6,
               "SpeedButton6");

    Edit1->OnChange = [this](QObject*) { AttributeChanged(chFormat); };
    Edit2->OnChange = [this](QObject*) { AttributeChanged(chFormat); };
    ComboBox1->OnChange = [this](QObject* s) { ComboBox1Change(s); };
    for (TSpeedButton* b : {SpeedButton4, SpeedButton10, SpeedButton11})
        b->OnClick = [this, b](QObject*) {
            b->SetDown(true);
            AttributeChanged(chHeaderAlign);
        };
    for (TSpeedButton* b : {SpeedButton7, SpeedButton8, SpeedButton9})
        b->OnClick = [this, b](QObject*) {
            b->SetDown(true);
            AttributeChanged(chDataAlign);
        };
    Shape1->OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int32_t, int32_t) {
        if (ChooseColor(Shape1))
            AttributeChanged(chBrush);
    };
    SpeedButton5->OnClick = [this](QObject*) {
        if (ChooseFont(fontI_)) {
            ShowFont(Label6, fontI_);
            AttributeChanged(chHeaderFont);
        }
    };
    SpeedButton6->OnClick = [this](QObject*) {
        if (ChooseFont(fontD_)) {
            ShowFont(Label7, fontD_);
            AttributeChanged(chDataFont);
        }
    };
    Button3->OnClick = [this](QObject* s) { AssignButtonClick(s); };
}

void Tcfg_report::BuildTitlesPage() {
    TabSheet2 = new TTabSheet(PageControl1, "TabSheet2");
    Label4 = Placed(new TLabel(TabSheet2, "Label4"), 8, 8, 170, 16);
    ComboBox2 = Placed(new TComboBox(TabSheet2, "ComboBox2"), 8, 26, 170, 24);
    CheckListBox1 = Placed(new TListBox(TabSheet2, "CheckListBox1"), 8, 56, 170, 194);
    ListBox2 = Placed(new TCheckListBox(TabSheet2, "ListBox2"), 186, 8, 230, 242);
    Edit8 = Placed(new TEdit(TabSheet2, "Edit8"), 424, 8, 150, 24);
    const auto button = [this](const char* name, int top) {
        return Placed(new TSpeedButton(TabSheet2, name), 424, top, 150, 26);
    };
    SpeedButton18 = button("SpeedButton18", 36);
    SpeedButton19 = button("SpeedButton19", 64);
    SpeedButton20 = button("SpeedButton20", 92);
    SpeedButton25 = button("SpeedButton25", 120);
    SpeedButton24 = button("SpeedButton24", 148);
    SpeedButton16 = button("SpeedButton16", 190);
    SpeedButton17 = button("SpeedButton17", 218);
    CheckBox5 = Placed(new TCheckBox(TabSheet2, "CheckBox5"), 582, 8, 156, 20);
    const char* glyphs[] = {"format-justify-left", "format-justify-center", "format-justify-right"};
    TSpeedButton** aligns[] = {&SpeedButton13, &SpeedButton14, &SpeedButton15};
    for (size_t i = 0; i < 3; ++i) {
        auto* b = Placed(new TSpeedButton(TabSheet2, "SpeedButton" + QString::number(13 + i)),
                         582 + int(i) * 30, 34, 28, 26);
        b->SetGlyph(ToolIcon(glyphs[i]));
        b->SetGroupIndex(3);
        b->SetAllowAllUp(true);
        b->OnClick = [b](QObject*) { b->SetDown(true); };
        *aligns[i] = b;
    }
    SpeedButton12 = Placed(new TSpeedButton(TabSheet2, "SpeedButton12"), 582, 66, 156, 26);
    Label5 = Placed(new TLabel(TabSheet2, "Label5"), 582, 98, 156, 64);
    Label5->setAlignment(Qt::AlignCenter);

    ComboBox2->OnChange = [this](QObject* s) { ComboBox2Change(s); };
    SpeedButton18->OnClick = [this](QObject* s) { SpeedButton18Click(s); };
    SpeedButton19->OnClick = [this](QObject* s) { SpeedButton19Click(s); };
    SpeedButton20->OnClick = [this](QObject* s) { SpeedButton20Click(s); };
    SpeedButton24->OnClick = [this](QObject* s) { SpeedButton24Click(s); };
    SpeedButton25->OnClick = [this](QObject* s) { SpeedButton25Click(s); };
    ListBox2->OnDblClick = [this](QObject* s) { ListBox2DblClick(s); };
    // The hint of a list is its chosen entry, which may be wider than the list.
    for (TListBox* list : {static_cast<TListBox*>(ListBox2), CheckListBox1})
        list->OnMouseMove = [list](QObject*, TShiftState, int32_t, int32_t) {
            list->SetHint(list->ItemIndex() >= 0 ? list->Item(list->ItemIndex()) : QString());
        };
    SpeedButton12->OnClick = [this](QObject*) {
        if (ChooseFont(fontT_))
            ShowFont(Label5, fontT_);
    };
}

void Tcfg_report::BuildLayoutPage() {
    TabSheet3 = new TTabSheet(PageControl1, "TabSheet3");
    Label13 = Placed(new TLabel(TabSheet3, "Label13"), 8, 10, 100, 16);
    const char* glyphs[] = {"format-justify-left", "format-justify-center", "format-justify-right"};
    TSpeedButton** aligns[] = {&SpeedButton21, &SpeedButton22, &SpeedButton23};
    for (size_t i = 0; i < 3; ++i) {
        auto* b = Placed(new TSpeedButton(TabSheet3, "SpeedButton" + QString::number(21 + i)),
                         110 + int(i) * 30, 4, 28, 26);
        b->SetGlyph(ToolIcon(glyphs[i]));
        b->SetGroupIndex(4);
        b->SetAllowAllUp(true);
        b->OnClick = [b](QObject*) { b->SetDown(true); };
        *aligns[i] = b;
    }
    CheckBox6 = Placed(new TCheckBox(TabSheet3, "CheckBox6"), 8, 38, 200, 20);
    RadioGroup1 = Placed(new TRadioGroup(TabSheet3, "RadioGroup1"), 8, 64, 200, 100);
    RadioGroup1->SetItems({"Automatica", "Omogenea", "Impostata"});

    GroupBox3 = Placed(new TGroupBox(TabSheet3, "GroupBox3"), 216, 4, 186, 176);
    TLabel** labels[] = {&Label8, &Label9, &Label10, &Label11, &Label12};
    TEdit** edits[] = {&Edit3, &Edit4, &Edit5, &Edit6, &Edit7};
    for (int i = 0; i < 5; ++i) {
        *labels[i] = Placed(new TLabel(GroupBox3, "Label" + QString::number(8 + i)), 10,
                            26 + i * 29, 124, 16);
        *edits[i] =
            Placed(new TEdit(GroupBox3, "Edit" + QString::number(3 + i)), 138, 22 + i * 29, 40, 24);
    }

    GroupBox4 = Placed(new TGroupBox(TabSheet3, "GroupBox4"), 410, 4, 134, 130);
    CheckBox1 = Placed(new TCheckBox(GroupBox4, "CheckBox1"), 10, 20, 116, 20);
    Label14 = Placed(new TLabel(GroupBox4, "Label14"), 10, 44, 116, 16);
    TrackBar1 = Placed(new TTrackBar(GroupBox4, "TrackBar1"), 10, 60, 116, 24);
    TrackBar1->SetMin(0);
    TrackBar1->SetMax(10);
    Label15 = Placed(new TLabel(GroupBox4, "Label15"), 10, 84, 56, 16);
    Label16 = Placed(new TLabel(GroupBox4, "Label16"), 66, 84, 60, 16);
    Label16->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label17 = Placed(new TLabel(GroupBox4, "Label17"), 10, 106, 64, 16);
    Shape5 = Placed(new TShape(GroupBox4, "Shape5"), 80, 104, 46, 20);

    GroupBox5 = Placed(new TGroupBox(TabSheet3, "GroupBox5"), 552, 4, 186, 176);
    CheckBox2 = Placed(new TCheckBox(GroupBox5, "CheckBox2"), 8, 20, 174, 20);
    CheckBox3 = Placed(new TCheckBox(GroupBox5, "CheckBox3"), 8, 46, 174, 20);
    CheckBox4 = Placed(new TCheckBox(GroupBox5, "CheckBox4"), 8, 72, 174, 20);
    Label18 = Placed(new TLabel(GroupBox5, "Label18"), 10, 104, 90, 16);
    Shape3 = Placed(new TShape(GroupBox5, "Shape3"), 110, 102, 50, 20);
    Label19 = Placed(new TLabel(GroupBox5, "Label19"), 10, 134, 90, 16);
    Shape4 = Placed(new TShape(GroupBox5, "Shape4"), 110, 132, 50, 20);

    CheckBox7 = Placed(new TCheckBox(TabSheet3, "CheckBox7"), 8, 176, 200, 20);
    CheckBox8 = Placed(new TCheckBox(TabSheet3, "CheckBox8"), 8, 200, 200, 20);
    CheckBox9 = Placed(new TCheckBox(TabSheet3, "CheckBox9"), 8, 224, 200, 20);

    TrackBar1->OnChange = [this](QObject*) {
        if (!showing_)
            gridWidthChanged_ = true;
    };
    for (TShape* shape : {Shape3, Shape4, Shape5})
        shape->OnMouseDown = [shape](QObject*, TMouseButton, TShiftState, int32_t, int32_t) {
            ChooseColor(shape);
        };
}

std::string Tcfg_report::Text(const char* id) const {
    return mlLang1->GetTextOrDefault(id);
}

QString Tcfg_report::CrfFilter() const {
    return ToQString(Text("IDS_8") + "CRF" + ")|*." + "CRF");
}

// ---- tests and channels ----

int Tcfg_report::TestCount() const {
    return buffer_ ? buffer_->ProvaCount() : 0;
}

QStringList Tcfg_report::ChannelNames(int test) const {
    QStringList names;
    if (test < 0 || test >= TestCount())
        return names;
    const TdataProva& prova = buffer_->GetProva(test);
    for (int c = 0; c < prova.ChannelCount(); ++c)
        names << (c < prova.ChannelNames.Count() ? ToQString(prova.ChannelNames[c]) : QString());
    return names;
}

std::string Tcfg_report::ChannelLabel(const Tdefcanale& channel) const {
    if (channel.Canale < 0)
        return {};
    std::string label = "(" + IntToStr(int64_t(channel.Prova) + 1) + ") ";
    if (channel.Prova < 0 || channel.Prova >= TestCount())
        return label + "???";
    const TdataProva& prova = buffer_->GetProva(channel.Prova);
    if (channel.Canale >= prova.ChannelCount())
        return label + "???";
    return label +
           (channel.Canale < prova.ChannelNames.Count() ? prova.ChannelNames[channel.Canale] : "");
}

void Tcfg_report::FillChannelList(TDatabuffer* buffer) {
    buffer_ = buffer;
    QStringList tabs;
    for (int i = 0; i < TestCount(); ++i)
        tabs << ToQString(IntToStr(i + 1) + ":" + ExtractFileName(buffer_->GetProva(i).FileName));
    TabSet1->SetTabs(tabs);
    // The tab change by code lists the test's channels.
    TabSet1->SetTabIndex(tabs.isEmpty() ? -1 : 0);
    ListBox1->SetItems(ChannelNames(TabSet1->TabIndex()));
}

void Tcfg_report::TabSet1Click(QObject*) {
    ListBox1->SetItems(ChannelNames(TabSet1->TabIndex()));
}

// ---- grid ----

Tdefcanale* Tcfg_report::CellChannel(int col, int row) const {
    if (col < 1 || row < 1)
        return nullptr;
    return static_cast<Tdefcanale*>(Grid1->Objects(col, row));
}

void Tcfg_report::SetCellChannel(int col, int row, std::unique_ptr<Tdefcanale> channel) {
    Grid1->SetObjects(col, row, std::move(channel));
    RefreshCell(col, row);
}

void Tcfg_report::RefreshCell(int col, int row) {
    const Tdefcanale* channel = CellChannel(col, row);
    Grid1->SetCells(col, row, channel ? ChannelLabel(*channel) : std::string());
}

void Tcfg_report::RenumberHeaders() {
    for (int c = 1; c < Grid1->ColCount(); ++c)
        Grid1->SetCells(c, 0, IntToStr(c));
    for (int r = 1; r < Grid1->RowCount(); ++r)
        Grid1->SetCells(0, r, IntToStr(r));
}

// New cells get new empty channels; removed cells take theirs with them.
void Tcfg_report::ResizeGrid(int cols, int rows) {
    const int oldCols = Grid1->ColCount();
    const int oldRows = Grid1->RowCount();
    Grid1->SetColCount(cols);
    Grid1->SetRowCount(rows);
    for (int r = 1; r < rows; ++r)
        for (int c = 1; c < cols; ++c)
            if (c >= oldCols || r >= oldRows || !CellChannel(c, r)) {
                Grid1->SetObjects(c, r, NewChannel());
                Grid1->SetCells(c, r, "");
            }
    RenumberHeaders();
}

void Tcfg_report::EmptyRow(int row) {
    for (int c = 1; c < Grid1->ColCount(); ++c)
        SetCellChannel(c, row, NewChannel());
}

bool Tcfg_report::SelectionIsData() const {
    const TGridRect s = Grid1->Selection();
    return s.Left >= 1 && s.Top >= 1 && CellChannel(s.Left, s.Top);
}

// ---- loading and storing ----

void Tcfg_report::LoadFromReport(const TWPReport& report) {
    showing_ = true;
    // 1: the type channel
    QStringList items{ToQString(Text("IDS_0"))};
    items += ChannelNames(0);
    ComboBox2->SetItems(items);
    loadedDifferenzia_ = report.differenzia;
    const int64_t item = int64_t(report.differenzia) + 1;
    ComboBox2->SetItemIndex(item >= 0 && item < ComboBox2->Count() ? int(item) : -1);
    RebuildTypes();

    // 2: the report's settings
    CheckBox5->SetChecked(report.Titola_tipi);
    fontT_ = *report.FontT;
    ShowFont(Label5, fontT_);
    loadedTitleAlign_ = report.Titolotipi_Align;
    ShowAlign({SpeedButton13, SpeedButton14, SpeedButton15}, report.Titolotipi_Align);
    loadedReportAlign_ = report.ReportAlign;
    ShowAlign({SpeedButton21, SpeedButton22, SpeedButton23}, report.ReportAlign);
    CheckBox6->SetChecked(report.piepagina_on_bottom);
    RadioGroup1->SetItemIndex(report.columnsspace);
    Edit3->SetText(Number(report.margine_superiore));
    Edit4->SetText(Number(report.margine_tra_gruppi));
    Edit5->SetText(Number(report.spazio_tra_colonne));
    Edit6->SetText(Number(report.rientro_laterale));
    Edit7->SetText(Number(report.margine_inferiore));
    CheckBox1->SetChecked(report.usa_griglia);
    loadedGridWidth_ = report.GridWidth;
    gridWidthChanged_ = false;
    TrackBar1->SetPosition(report.GridWidth);
    Shape5->SetBrushColor(report.Gridcolor);
    CheckBox2->SetChecked(report.rottura_livello_gruppo);
    CheckBox3->SetChecked(report.Numera);
    CheckBox4->SetChecked(report.Differenzia_righe);
    Shape3->SetBrushColor(report.colore_righe_pari);
    Shape4->SetBrushColor(report.colore_righe_dispari);
    CheckBox7->SetChecked(report.Traducietichette);
    CheckBox8->SetChecked(report.RipetiINT);
    CheckBox9->SetChecked(report.RipetiPie);

    // 3: the grid's size
    int columns = 0;
    for (int g = 0; g < report.GroupCount(); ++g)
        columns = std::max(columns, report.GetChannelCount(g));
    if (columns == 0)
        columns = 6;
    const int rows = report.GroupCount() > 0 ? report.GroupCount() + 1 : 2;
    Grid1->SetColCount(columns + 1);
    Grid1->SetRowCount(rows);
    for (int r = 1; r < rows; ++r)
        EmptyRow(r);
    RenumberHeaders();

    // 6, then 4: the report's channels into the cells, each checked against the test shown
    std::string lines;
    for (int g = 0; g < report.GroupCount(); ++g)
        for (int j = 0; j < report.GetChannelCount(g); ++j) {
            auto channel = CopyChannel(*report.GetChannel(g, j));
            const int canale = channel->Canale;
            std::string text;
            if (canale >= 0 && canale < ListBox1->Count()) {
                text = ChannelLabel(*channel);
            } else {
                text = Format(Text("IDS_1"), {canale});
                lines += Format(Text("IDS_2"), {j + 1, g + 1, canale}) + "\r\n";
                channel->Canale = -1;
            }
            Grid1->SetObjects(j + 1, g + 1, std::move(channel));
            Grid1->SetCells(j + 1, g + 1, text);
        }
    // 5
    if (!lines.empty())
        Ui().ShowMessage(Text("IDS_3") + "\r\n" + Text("IDS_4") + "\r\n" + lines);

    // 7
    SpinEdit1->SetValue(rows - 1);
    SpinEdit2->SetValue(columns);

    // 8: the groups
    QStringList entries;
    std::vector<bool> checks;
    for (int g = 0; g < report.GroupCount(); ++g) {
        const Tdefgruppo& group = *report.GetGroup(g);
        entries << ToQString(IntToStr(g + 1) + ">[" + group.titolo + "]-[" +
                             (group.tipizza ? group.tipo : std::string(kAnyType)) + "]");
        checks.push_back(group.Enabled);
    }
    if (entries.isEmpty()) {
        entries << "1>[]-[*.*]";
        checks.push_back(true);
    }
    ListBox2->SetItems(entries);
    for (size_t i = 0; i < checks.size(); ++i)
        ListBox2->SetChecked(int(i), checks[i]);

    // 9
    RenumberHeaders();
    showing_ = false;
    ShowAttributes();
}

void Tcfg_report::StoreToReport(TWPReport& report) {
    // All five first, so that a wrong one leaves the report as it was.
    const int32_t top = StrToInt(FromQString(Edit3->Text()));
    const int32_t between = StrToInt(FromQString(Edit4->Text()));
    const int32_t gap = StrToInt(FromQString(Edit5->Text()));
    const int32_t indent = StrToInt(FromQString(Edit6->Text()));
    const int32_t bottom = StrToInt(FromQString(Edit7->Text()));

    report.differenzia =
        ComboBox2->ItemIndex() >= 0 ? ComboBox2->ItemIndex() - 1 : loadedDifferenzia_;
    report.Titola_tipi = CheckBox5->Checked();
    *report.FontT = fontT_;
    report.piepagina_on_bottom = CheckBox6->Checked();
    report.Titolotipi_Align =
        ReadAlign({SpeedButton13, SpeedButton14, SpeedButton15}, loadedTitleAlign_);
    report.ReportAlign =
        ReadAlign({SpeedButton21, SpeedButton22, SpeedButton23}, loadedReportAlign_);
    if (RadioGroup1->ItemIndex() >= 0)
        report.columnsspace = static_cast<tcolumnsspace>(RadioGroup1->ItemIndex());
    report.margine_superiore = top;
    report.margine_tra_gruppi = between;
    report.spazio_tra_colonne = gap;
    report.rientro_laterale = indent;
    report.margine_inferiore = bottom;
    report.usa_griglia = CheckBox1->Checked();
    report.GridWidth = gridWidthChanged_ ? TrackBar1->Position() : loadedGridWidth_;
    report.Gridcolor = Shape5->BrushColor();
    report.rottura_livello_gruppo = CheckBox2->Checked();
    report.Numera = CheckBox3->Checked();
    report.Differenzia_righe = CheckBox4->Checked();
    report.colore_righe_pari = Shape3->BrushColor();
    report.colore_righe_dispari = Shape4->BrushColor();
    report.Traducietichette = CheckBox7->Checked();
    report.Consideralista.Clear();

    const int groups = Grid1->RowCount() - 1;
    report.SetGroupCount(groups);
    for (int r = 1; r <= groups; ++r) {
        int count = 0;
        for (int c = 1; c < Grid1->ColCount(); ++c)
            if (const Tdefcanale* channel = CellChannel(c, r); channel && channel->Canale >= 0)
                count = c;
        // New channels, so that each copy equals its cell.
        report.SetChannelCount(r - 1, 0);
        report.SetChannelCount(r - 1, count);
        for (int c = 1; c <= count; ++c)
            CopyChannel(*CellChannel(c, r), *report.GetChannel(r - 1, c - 1));
    }
    for (int g = 0; g < ListBox2->Count() && g < groups; ++g) {
        const std::string entry = FromQString(ListBox2->Item(g));
        Tdefgruppo& group = *report.GetGroup(g);
        const size_t filter = entry.find("]-[");
        const size_t open = entry.find('[');
        if (filter != std::string::npos) {
            group.tipo = entry.substr(
                filter + 3, entry.size() > filter + 3 ? entry.size() - 1 - (filter + 3) : 0);
            group.titolo = open != std::string::npos && open < filter
                               ? entry.substr(open + 1, filter - open - 1)
                               : std::string();
        }
        group.tipizza = group.tipo != kAnyType;
        group.Enabled = ListBox2->Checked(g);
    }
    report.RipetiINT = CheckBox8->Checked();
    report.RipetiPie = CheckBox9->Checked();
}

// ---- form ----

void Tcfg_report::FormActivate(QObject*) {
    PageControl1->SetActivePageIndex(0);
}

void Tcfg_report::FormCloseQuery(QObject*, bool& canClose) {
    if (ModalResult() != mrOk)
        return;
    for (TEdit* edit : {Edit3, Edit4, Edit5, Edit6, Edit7}) {
        int32_t value = 0;
        if (!TryStrToInt(FromQString(edit->Text()), value)) {
            // The conversion's own message, as storing would raise it.
            try {
                (void)StrToInt(FromQString(edit->Text()));
            } catch (const std::exception& e) {
                Ui().ShowMessage(e.what());
            }
            canClose = false;
            return;
        }
    }
}

// ---- attribute panel ----

void Tcfg_report::ShowAttributes() {
    showing_ = true;
    const TGridRect s = Grid1->Selection();
    if (const Tdefcanale* channel =
            s.Left >= 1 && s.Top >= 1 ? CellChannel(s.Left, s.Top) : nullptr) {
        Edit1->SetText(ToQString(channel->formato));
        Edit2->SetText(ToQString(Format("%0.1f", {double(channel->DIMW)})));
        ShowAlign({SpeedButton7, SpeedButton8, SpeedButton9}, channel->Align);
        ShowAlign({SpeedButton4, SpeedButton10, SpeedButton11}, channel->IAlign);
        Shape1->SetBrushColor(channel->Brush.Color);
        fontI_ = *channel->FontI;
        fontD_ = *channel->FontD;
        ShowFont(Label6, fontI_);
        ShowFont(Label7, fontD_);
    }
    for (bool& changed : changed_)
        changed = false;
    Button3->setEnabled(false);
    showing_ = false;
}

void Tcfg_report::AttributeChanged(TChange change) {
    if (showing_)
        return;
    changed_[change] = true;
    Button3->setEnabled(true);
}

void Tcfg_report::ComboBox1Change(QObject*) {
    if (ComboBox1->ItemIndex() >= 0)
        Edit1->SetText(ComboBox1->Text());
}

void Tcfg_report::AssignButtonClick(QObject*) {
    float width = 0;
    if (changed_[chFormat]) {
        try {
            width = static_cast<float>(StrToFloat(FromQString(Edit2->Text())));
        } catch (const EConvertError& e) {
            Ui().ShowMessage(e.what());
            return;
        }
    }
    const std::string format = FromQString(Edit1->Text());
    const uint16_t align = ReadAlign({SpeedButton7, SpeedButton8, SpeedButton9}, 0);
    const uint16_t headerAlign = ReadAlign({SpeedButton4, SpeedButton10, SpeedButton11}, 6);
    // Pure white stands for "no colour" in the report.
    const TColor brush = Shape1->BrushColor() == 0xFFFFFF ? 0xFFFFFE : Shape1->BrushColor();
    const TGridRect s = Grid1->Selection();
    for (int c = s.Left; c <= s.Right; ++c)
        for (int r = s.Top; r <= s.Bottom; ++r) {
            Tdefcanale* channel = CellChannel(c, r);
            if (!channel)
                continue;
            if (changed_[chHeaderFont])
                *channel->FontI = fontI_;
            if (changed_[chDataFont])
                *channel->FontD = fontD_;
            if (changed_[chHeaderAlign])
                channel->IAlign = headerAlign;
            if (changed_[chDataAlign])
                channel->Align = align;
            if (changed_[chFormat]) {
                channel->formato = format;
                channel->DIMW = width;
            }
            if (changed_[chBrush])
                channel->Brush.Color = brush;
        }
    for (bool& changed : changed_)
        changed = false;
    Button3->setEnabled(false);
}

void Tcfg_report::Grid1MouseUp(QObject*, TMouseButton, TShiftState, int32_t, int32_t) {
    ShowAttributes();
}

// ---- keys: delete, copy, cut, paste ----

void Tcfg_report::CopySelection() {
    const TGridRect s = Grid1->Selection();
    clipboard_.SetSize(0);
    clipboard_.Seek(0, TSeekOrigin::soBeginning);
    clipboard_.WriteI32(s.Right - s.Left + 1);
    clipboard_.WriteI32(s.Bottom - s.Top + 1);
    for (int c = s.Left; c <= s.Right; ++c)
        for (int r = s.Top; r <= s.Bottom; ++r)
            WriteComponent(clipboard_, *CellChannel(c, r));
    copied_ = true;
}

void Tcfg_report::Grid1KeyDown(QObject*, uint16_t& key, TShiftState) {
    if (!SelectionIsData())
        return;
    const TGridRect s = Grid1->Selection();
    switch (key) {
    case VK_DELETE:
        for (int c = s.Left; c <= s.Right; ++c)
            for (int r = s.Top; r <= s.Bottom; ++r) {
                CellChannel(c, r)->Canale = -1;
                Grid1->SetCells(c, r, "");
            }
        break;
    case 'C':
        CopySelection();
        break;
    case 'X':
        CopySelection();
        for (int c = s.Left; c <= s.Right; ++c)
            for (int r = s.Top; r <= s.Bottom; ++r)
                SetCellChannel(c, r, NewChannel());
        break;
    case 'V': {
        if (!copied_)
            return;
        clipboard_.Seek(0, TSeekOrigin::soBeginning);
        const int cols = clipboard_.ReadI32();
        const int rows = clipboard_.ReadI32();
        for (int i = 0; i < cols; ++i)
            for (int j = 0; j < rows; ++j) {
                auto channel = ReadChannel(clipboard_);
                const int c = s.Left + i;
                const int r = s.Top + j;
                if (c < Grid1->ColCount() && r < Grid1->RowCount())
                    SetCellChannel(c, r, std::move(channel));
            }
        ShowAttributes();
        break;
    }
    default:
        break;
    }
}

// ---- drag and drop ----

void Tcfg_report::ListBox1MouseDown(QObject*, TMouseButton button, TShiftState, int32_t, int32_t) {
    if (button == mbLeft)
        BeginDrag(ListBox1);
}

void Tcfg_report::Grid1DragOver(QObject*, QObject* source, int32_t x, int32_t y, bool& accept) {
    const TGridCoord cell = Grid1->MouseCoord(x, y);
    accept = qobject_cast<TListBox*>(source) && cell.X >= 1 && cell.Y >= 1;
}

void Tcfg_report::Grid1DragDrop(QObject*, QObject*, int32_t x, int32_t y) {
    const TGridCoord cell = Grid1->MouseCoord(x, y);
    Tdefcanale* channel = CellChannel(cell.X, cell.Y);
    if (!channel || ListBox1->ItemIndex() < 0)
        return;
    channel->Canale = ListBox1->ItemIndex();
    channel->Prova = TabSet1->TabIndex();
    RefreshCell(cell.X, cell.Y);
}

// ---- grid size ----

void Tcfg_report::GroupsButtonClick(QObject*) {
    const int groups = SpinEdit1->Value();
    if (groups <= 0)
        return;
    ResizeGrid(Grid1->ColCount(), groups + 1);
    QStringList entries = ListBox2->Items();
    const int before = int(entries.size());
    while (entries.size() > groups)
        entries.removeLast();
    while (entries.size() < groups)
        entries << QString::number(entries.size() + 1) + ">[]-[*.*]";
    ListBox2->SetItems(entries);
    for (int g = before; g < groups; ++g)
        ListBox2->SetChecked(g, true);
}

void Tcfg_report::ChannelsButtonClick(QObject*) {
    const int columns = SpinEdit2->Value();
    if (columns <= 0)
        return;
    ResizeGrid(columns + 1, Grid1->RowCount());
}

// ---- groups and types ----

void Tcfg_report::ComboBox2Change(QObject*) {
    RebuildTypes();
}

void Tcfg_report::RebuildTypes() {
    QStringList types;
    const int channel = ComboBox2->ItemIndex() - 1;
    if (channel >= 0) {
        // Every test's values merged in order through one set, then one fill of the list.
        std::unordered_set<std::string> seen;
        TStringList values;
        for (int t = 0; t < TestCount(); ++t) {
            const TdataProva& prova = buffer_->GetProva(t);
            if (channel >= prova.ChannelCount())
                continue;
            prova.GetDistinctValues(values, false, channel);
            for (int i = 0; i < values.Count(); ++i)
                if (seen.insert(values[i]).second)
                    types << ToQString(values[i]);
        }
    }
    CheckListBox1->SetItems(types);
}

int Tcfg_report::FilterStart(const QString& entry) {
    return int(entry.indexOf("]-["));
}

void Tcfg_report::SetGroupEntry(int index, const QString& text) {
    QStringList entries = ListBox2->Items();
    if (index < 0 || index >= entries.size())
        return;
    entries[index] = text;
    ListBox2->SetItems(entries);
}

void Tcfg_report::SpeedButton18Click(QObject*) {
    const int g = ListBox2->ItemIndex();
    if (g < 0)
        return;
    const QString old = ListBox2->Item(g);
    const int at = FilterStart(old);
    SetGroupEntry(g, QString::number(g + 1) + ">[" + Edit8->Text() +
                         (at >= 0 ? old.mid(at) : QString("]-[*.*]")));
}

void Tcfg_report::SpeedButton19Click(QObject*) {
    const int g = ListBox2->ItemIndex();
    const int t = CheckListBox1->ItemIndex();
    if (g < 0 || t < 0)
        return;
    const QString old = ListBox2->Item(g);
    const int at = FilterStart(old);
    if (at >= 0)
        SetGroupEntry(g, old.left(at + 3) + CheckListBox1->Item(t) + "]");
}

void Tcfg_report::SpeedButton20Click(QObject*) {
    const int g = ListBox2->ItemIndex();
    if (g < 0)
        return;
    const QString old = ListBox2->Item(g);
    const int at = FilterStart(old);
    if (at >= 0)
        SetGroupEntry(g, old.left(at + 3) + "*.*]");
}

void Tcfg_report::SpeedButton25Click(QObject*) {
    const int t = CheckListBox1->ItemIndex();
    if (t >= 0)
        Edit8->SetText(CheckListBox1->Item(t));
}

void Tcfg_report::ListBox2DblClick(QObject*) {
    const int g = ListBox2->ItemIndex();
    if (g < 0)
        return;
    const QString entry = ListBox2->Item(g);
    const int at = FilterStart(entry);
    const int open = int(entry.indexOf('['));
    if (at < 0 || open < 0 || open > at)
        return;
    Edit8->SetText(entry.mid(open + 1, at - open - 1));
    const QString type = entry.mid(at + 3, entry.size() - 1 - (at + 3));
    CheckListBox1->SetItemIndex(int(CheckListBox1->Items().indexOf(type)));
}

void Tcfg_report::SpeedButton24Click(QObject*) {
    const int g = ListBox2->ItemIndex();
    if (g < 0)
        return;
    if (Ui().MessageDlg(Text("IDS_12"), TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    const int row = g + 1;
    const int rows = Grid1->RowCount();
    if (rows <= 2) {
        // The last group is emptied rather than removed: the grid keeps one row of cells.
        EmptyRow(1);
        ListBox2->SetItems({"1>[]-[*.*]"});
        ListBox2->SetChecked(0, true);
        SpinEdit1->SetValue(1);
        ShowAttributes();
        return;
    }
    // The channels move with the rows: no copy, and the clipboard keeps what it holds.
    for (int r = row; r < rows - 1; ++r)
        for (int c = 1; c < Grid1->ColCount(); ++c) {
            Grid1->SetObjects(c, r, Grid1->TakeObjects(c, r + 1));
            Grid1->SetCells(c, r, Grid1->Cells(c, r + 1));
        }
    if (g < ListBox2->Count())
        ListBox2->Delete(g);
    Grid1->SetRowCount(rows - 1);
    RenumberHeaders();
    SpinEdit1->SetValue(rows - 2);
    ShowAttributes();
}

// ---- .CRF files ----

void Tcfg_report::SaveButtonClick(QObject*) {
    const std::string name =
        ChooseFile(true, ConfigurationsFolder(), FromQString(CrfFilter()), "CRF");
    if (name.empty())
        return;
    TWPReport report(nullptr);
    StoreToReport(report);
    try {
        SaveReportDefinitionFile(name, report);
    } catch (const std::exception&) {
        Ui().ShowMessage(Text("IDS_10"));
    }
}

void Tcfg_report::OpenButtonClick(QObject*) {
    const std::string name =
        ChooseFile(false, ConfigurationsFolder(), FromQString(CrfFilter()), "CRF");
    if (name.empty())
        return;
    std::unique_ptr<TWPReport> report;
    try {
        report = LoadReportDefinitionFile(name);
    } catch (const EDocumentFile& e) {
        // A file that could not be opened says why; one that is not a report definition, or
        // not a whole one, is refused as incompatible.
        if (e.Kind == TDocumentFileError::Damaged && e.Offset < 0)
            Ui().MessageDlg(FileErrorText(e, name, false), TMsgDlgType::mtError, mbOK);
        else
            Ui().ShowMessage(Text("IDS_11"));
        return;
    }
    LoadFromReport(*report);
}

bool EditReportDefinition(TWPReport& report, TDatabuffer* data, QWidget* parent) {
    std::unique_ptr<Tcfg_report> dialog(CreateForm<Tcfg_report>(parent));
    dialog->FillChannelList(data);
    dialog->LoadFromReport(report);
    if (dialog->ShowModal() != mrOk)
        return false;
    dialog->StoreToReport(report);
    return true;
}

} // namespace vx
