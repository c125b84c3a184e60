#include "document/defasse.h"

#include "data/Databuff.h"
#include "document/StyleItems.h"
#include "document/TTagPointbox.h"
#include "document/Tgrigliabox.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Format.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/GroupBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/Shape.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TrackBar.h"

#include <QLineEdit>

#include <cmath>
#include <memory>
#include <unordered_set>

namespace vx {

namespace {

constexpr TColor kSwitchOn = 0xFFFF00;
constexpr TColor kSwitchOff = 0x800000;
constexpr int kMaxFilterValues = 50;

QString Q(const std::string& text) {
    return ToQString(text);
}

std::string S(const QString& text) {
    return FromQString(text);
}

// The display masks offered beside Formato, with the date and time separators in force.
QStringList FormatMasks() {
    const std::string t(1, FormatSettings().TimeSeparator);
    const std::string d(1, FormatSettings().DateSeparator);
    const std::string hms = "hh" + t + "nn" + t + "ss";
    const std::string date = "dd" + d + "mm" + d + "yyyy";
    QStringList masks;
    for (const std::string& m :
         {std::string("0"), std::string("0.0"), std::string("0.00"), std::string("0.000"),
          hms + t + "zzz", "hh" + t + "nn", "nn" + t + "ss", date, date + " " + hms,
          "[" + hms + "]", "[hh" + t + "nn]", "[" + hms + t + "zzz]"})
        masks.append(Q(m));
    return masks;
}

// The class library's edits held short strings.
template <class Edit>
Edit* Short(Edit* edit) {
    edit->setMaxLength(255);
    return edit;
}

// A label left of a control, both on `parent`.
TLabel* LabelAt(QWidget* parent, const char* name, int left, int top, int width) {
    return Placed(new TLabel(parent, name), left, top + 4, width, 16);
}

} // namespace

Tboxdefasse::Tboxdefasse(QWidget* parent) : TForm(parent, "boxdefasse") {
    resize(600, 470);
    PageControl1 = Placed(new TPageControl(this, "PageControl1"), 8, 8, 584, 418);
    TabSheet1 = new TTabSheet(PageControl1, "TabSheet1");
    TabSheet2 = new TTabSheet(PageControl1, "TabSheet2");
    TabSheet3 = new TTabSheet(PageControl1, "TabSheet3");
    TabSheet4 = new TTabSheet(PageControl1, "TabSheet4");

    // Channels and titles.
    QWidget* p = TabSheet1;
    Label4 = Placed(new TLabel(p, "Label4"), 8, 8, 240, 16);
    Listag = Placed(new TListBox(p, "Listag"), 8, 26, 240, 120);
    Combog = Placed(new TComboBox(p, "Combog"), 258, 26, 310, 24);
    SpeedButton1 = Placed(new TSpeedButton(p, "SpeedButton1"), 258, 58, 100, 26);
    SpeedButton2 = Placed(new TSpeedButton(p, "SpeedButton2"), 363, 58, 100, 26);
    SpeedButton3 = Placed(new TSpeedButton(p, "SpeedButton3"), 468, 58, 100, 26);
    Label1 = LabelAt(p, "Label1", 8, 158, 150);
    titolo = Short(Placed(new TEdit(p, "titolo"), 166, 158, 402, 24));
    Label2 = LabelAt(p, "Label2", 8, 188, 150);
    sottotitolo = Short(Placed(new TEdit(p, "sottotitolo"), 166, 188, 402, 24));
    Label3 = LabelAt(p, "Label3", 8, 218, 150);
    commento = Short(Placed(new TEdit(p, "commento"), 166, 218, 402, 24));
    tipoetichette = Placed(new TRadioGroup(p, "tipoetichette"), 8, 252, 300, 120);
    tipoetichette->SetItems({"Automatiche", "Definite", "Da file esterno"});
    BitBtn1 = Placed(new TButton(p, "BitBtn1"), 326, 262, 160, 28);
    BitBtn2 = Placed(new TButton(p, "BitBtn2"), 326, 298, 160, 28);
    BitBtn3 = Placed(new TButton(p, "BitBtn3"), 326, 334, 160, 28);

    // Scale.
    p = TabSheet2;
    automaticlimits = Placed(new TCheckBox(p, "automaticlimits"), 8, 8, 280, 22);
    GroupBox1 = Placed(new TGroupBox(p, "GroupBox1"), 8, 34, 290, 160);
    {
        QWidget* g = GroupBox1;
        Label5 = LabelAt(g, "Label5", 8, 22, 120);
        Minimo = Short(Placed(new TEdit(g, "Minimo"), 132, 22, 110, 24));
        SpeedButton4 = Placed(new TSpeedButton(g, "SpeedButton4"), 248, 22, 32, 24);
        Label6 = LabelAt(g, "Label6", 8, 54, 120);
        Massimo = Short(Placed(new TEdit(g, "Massimo"), 132, 54, 110, 24));
        SpeedButton5 = Placed(new TSpeedButton(g, "SpeedButton5"), 248, 54, 32, 24);
        Label7 = LabelAt(g, "Label7", 8, 86, 120);
        Incremento = Short(Placed(new TEdit(g, "Incremento"), 132, 86, 110, 24));
        SpeedButton6 = Placed(new TSpeedButton(g, "SpeedButton6"), 248, 86, 32, 24);
        Label8 = LabelAt(g, "Label8", 8, 118, 120);
        Tacche = Short(Placed(new TEdit(g, "Tacche"), 132, 118, 110, 24));
        SpeedButton7 = Placed(new TSpeedButton(g, "SpeedButton7"), 248, 118, 32, 24);
    }
    for (TSpeedButton* b : {SpeedButton4, SpeedButton5, SpeedButton6, SpeedButton7})
        b->SetCaption("=");
    Label10 = Placed(new TLabel(p, "Label10"), 310, 12, 160, 16);
    Label12 = Placed(new TLabel(p, "Label12"), 474, 12, 94, 16);
    Label11 = Placed(new TLabel(p, "Label11"), 310, 36, 160, 16);
    Label13 = Placed(new TLabel(p, "Label13"), 474, 36, 94, 16);
    RG_TipoLimiti = Placed(new TRadioGroup(p, "RG_TipoLimiti"), 310, 62, 258, 80);
    RG_TipoLimiti->SetItems({"Usa limiti reali", "Usa limiti asse"});
    CheckBox3 = Placed(new TCheckBox(p, "CheckBox3"), 8, 202, 290, 22);
    CheckBox5 = Placed(new TCheckBox(p, "CheckBox5"), 8, 228, 290, 22);
    CheckOrd = Placed(new TCheckBox(p, "CheckOrd"), 8, 254, 290, 22);
    Label9 = LabelAt(p, "Label9", 310, 154, 100);
    Formato = Short(Placed(new TEdit(p, "Formato"), 414, 154, 154, 24));
    ComboBox1 = Placed(new TComboBox(p, "ComboBox1"), 414, 184, 154, 24);
    ComboBox1->SetItems(FormatMasks());
    Label14 = LabelAt(p, "Label14", 310, 218, 160);
    SpinEdit1 = Placed(new TSpinEdit(p, "SpinEdit1"), 474, 218, 94, 24);
    SpinEdit1->SetMinValue(0);
    SpinEdit1->SetMaxValue(20);

    // Pen and curves.
    p = TabSheet3;
    Label15 = LabelAt(p, "Label15", 8, 8, 110);
    Shape1 = Placed(new TShape(p, "Shape1"), 122, 10, 40, 22);
    Label16 = LabelAt(p, "Label16", 8, 40, 110);
    ComboBox2 = Placed(new TComboBox(p, "ComboBox2"), 122, 40, 150, 24);
    ComboBox2->SetItems({"1 pts", "2 pts", "3 pts", "4 pts", "6 pts", "8 pts", "12 pts"});
    Label17 = LabelAt(p, "Label17", 8, 72, 110);
    ComboBox3 =
        Placed(new TComboBox(p, "ComboBox3", TComboBoxStyle::csOwnerDrawFixed), 122, 72, 150, 24);
    ComboBox3->SetItems(
        {"Continuo", "punteggiato", "Tratteggiato", "Tratteggio+punto", "Tratteggio+punto+punto"});
    CheckBox7 = Placed(new TCheckBox(p, "CheckBox7"), 8, 106, 270, 22);
    CheckBox1 = Placed(new TCheckBox(p, "CheckBox1"), 8, 132, 270, 22);
    BitBtn6 = Placed(new TButton(p, "BitBtn6"), 8, 166, 264, 28);
    const int sx = 290; // the switches
    SpeedButton9 = Placed(new TSpeedButton(p, "SpeedButton9"), sx, 8, 130, 26);
    Shape2 = Placed(new TShape(p, "Shape2"), sx + 138, 10, 22, 22);
    Label28 = Placed(new TLabel(p, "Label28"), sx + 166, 12, 100, 16);
    SpeedButton11 = Placed(new TSpeedButton(p, "SpeedButton11"), sx, 44, 130, 26);
    Shape4 = Placed(new TShape(p, "Shape4"), sx + 138, 46, 22, 22);
    Label30 = Placed(new TLabel(p, "Label30"), sx + 166, 48, 100, 16);
    Label23 = LabelAt(p, "Label23", sx, 76, 100);
    TrackBar1 = Placed(new TTrackBar(p, "TrackBar1"), sx + 104, 76, 130, 28);
    TrackBar1->SetMin(2);
    TrackBar1->SetMax(7);
    Label24 = Placed(new TLabel(p, "Label24"), sx + 240, 80, 30, 16);
    Btn_spline = Placed(new TSpeedButton(p, "Btn_spline"), sx, 116, 130, 26);
    Shape5 = Placed(new TShape(p, "Shape5"), sx + 138, 118, 22, 22);
    Label31 = Placed(new TLabel(p, "Label31"), sx + 166, 120, 100, 16);
    Label25 = LabelAt(p, "Label25", sx, 148, 160);
    SpinEdit2 = Placed(new TSpinEdit(p, "SpinEdit2"), sx + 170, 148, 70, 24);
    SpinEdit2->SetMinValue(0);
    SpinEdit2->SetMaxValue(5);
    Label26 = LabelAt(p, "Label26", sx, 178, 160);
    SpinEdit3 = Placed(new TSpinEdit(p, "SpinEdit3"), sx + 170, 178, 70, 24);
    SpinEdit3->SetMinValue(0);
    SpinEdit3->SetMaxValue(100);
    CheckBox6 = Placed(new TCheckBox(p, "CheckBox6"), sx, 208, 270, 22);
    SpeedButton10 = Placed(new TSpeedButton(p, "SpeedButton10"), sx, 244, 130, 26);
    Shape3 = Placed(new TShape(p, "Shape3"), sx + 138, 246, 22, 22);
    Label29 = Placed(new TLabel(p, "Label29"), sx + 166, 248, 100, 16);

    // Filter and second scale.
    p = TabSheet4;
    Label18 = LabelAt(p, "Label18", 8, 8, 170);
    ComboBox4 = Placed(new TComboBox(p, "ComboBox4"), 182, 8, 200, 24);
    RadioGroup1 = Placed(new TRadioGroup(p, "RadioGroup1"), 392, 4, 176, 76);
    RadioGroup1->SetItems({"Numerico", "Stringa"});
    Label19 = LabelAt(p, "Label19", 8, 40, 170);
    ComboBox5 = Placed(new TComboBox(p, "ComboBox5", TComboBoxStyle::csDropDown), 182, 40, 200, 24);
    if (QLineEdit* e = ComboBox5->lineEdit())
        e->setMaxLength(255);
    Label20 = LabelAt(p, "Label20", 8, 72, 170);
    Edit1 = Short(Placed(new TEdit(p, "Edit1"), 182, 72, 200, 24));
    GroupBox2 = Placed(new TGroupBox(p, "GroupBox2"), 8, 116, 560, 150);
    {
        QWidget* g = GroupBox2;
        CheckBox2 = Placed(new TCheckBox(g, "CheckBox2"), 8, 22, 200, 22);
        Label21 = LabelAt(g, "Label21", 8, 52, 120);
        Edit2 = Short(Placed(new TEdit(g, "Edit2"), 132, 52, 150, 24));
        Label22 = LabelAt(g, "Label22", 8, 84, 120);
        Edit3 = Placed(new TEdit(g, "Edit3"), 132, 84, 418, 24);
        CheckBox4 = Placed(new TCheckBox(g, "CheckBox4"), 8, 116, 300, 22);
    }

    OKBtn = Placed(new TButton(this, "OKBtn"), 424, 436, 80, 26);
    OKBtn->ModalResult = mrOk;
    OKBtn->setDefault(true);
    CancelBtn = Placed(new TButton(this, "CancelBtn"), 512, 436, 80, 26);
    CancelBtn->ModalResult = mrCancel;
    CancelBtn->Cancel = true;

    ComboBox3->OnDrawItem = [this](QObject*, int index, const TRect& rect, TOwnerDrawState) {
        DrawPenStyleItem(*ComboBox3->Canvas(), rect, index);
    };
    OnActivate = [this](QObject* s) { FormActivate(s); };
    OnCloseQuery = [this](QObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
    SpeedButton1->OnClick = [this](QObject* s) { SpeedButton1Click(s); };
    SpeedButton2->OnClick = [this](QObject* s) { SpeedButton2Click(s); };
    SpeedButton3->OnClick = [this](QObject* s) { SpeedButton3Click(s); };
    SpeedButton4->OnClick = [this](QObject* s) { SpeedButton4Click(s); };
    SpeedButton5->OnClick = [this](QObject* s) { SpeedButton5Click(s); };
    SpeedButton6->OnClick = [this](QObject* s) { SpeedButton6Click(s); };
    SpeedButton7->OnClick = [this](QObject* s) { SpeedButton7Click(s); };
    SpeedButton9->OnClick = [this](QObject* s) { SpeedButton9Click(s); };
    SpeedButton10->OnClick = [this](QObject* s) { SpeedButton10Click(s); };
    SpeedButton11->OnClick = [this](QObject* s) { SpeedButton11Click(s); };
    Btn_spline->OnClick = [this](QObject* s) { Btn_splineClick(s); };
    BitBtn6->OnClick = [this](QObject* s) { BitBtn6Click(s); };
    for (TButton* b : {BitBtn1, BitBtn2, BitBtn3})
        b->OnClick = [this](QObject* s) { FontButtonClick(s); };
    ComboBox1->OnChange = [this](QObject* s) { ComboBox1Change(s); };
    ComboBox4->OnChange = [this](QObject* s) { ComboBox4Change(s); };
    Shape1->OnMouseDown = [this](QObject* s, TMouseButton, TShiftState, int32_t, int32_t) {
        Shape1MouseDown(s);
    };
    const TNotifyEvent update = [this](QObject*) { UpdateControls(); };
    automaticlimits->OnClick = update;
    RadioGroup1->OnClick = update;
    tipoetichette->OnClick = update;
    TrackBar1->OnChange = update;

    mlLang1 = CreateFormTable(this, "Tboxdefasse");
    PageControl1->SetActivePageIndex(0);
}

std::string Tboxdefasse::Text(const char* id) const {
    return mlLang1->GetTextOrDefault(id);
}

void Tboxdefasse::CopyPointLabelStyle(const Tvaluedefnt& source, Tvaluedefnt& target) {
    target.Assign(source);
}

void Tboxdefasse::Fill(const TAxisExchange& x) {
    x_ = x;
    channels_ = x.AxisChannels;
    QStringList names;
    for (const std::string& n : x.AxisChannelNames)
        names.append(Q(n));
    Listag->SetItems(names);
    QStringList all;
    for (const std::string& n : x.ChannelNames)
        all.append(Q(n));
    Combog->SetItems(all);
    Combog->SetItemIndex(-1);
    titolo->SetText(Q(x.Grandezza));
    sottotitolo->SetText(Q(x.Umisura));
    commento->SetText(Q(x.Caption));
    tipoetichette->SetItemIndex(x.tipoetichette < 3 ? x.tipoetichette : -1);
    fontGrand_ = x.FontGrand;
    fontUmis_ = x.FontUmis;
    fontValues_ = x.FontValues;

    automaticlimits->SetChecked(x.limitiautomatici);
    Minimo->SetText(Q(x.MinimumText));
    Massimo->SetText(Q(x.MaximumText));
    Incremento->SetText(Q(x.IncrementText));
    Tacche->SetText(Q(x.DivisionsText));
    Label12->SetCaption(Q(x.RangeMinText));
    Label13->SetCaption(Q(x.RangeMaxText));
    RG_TipoLimiti->SetItemIndex(x.UseLimitkind < 2 ? x.UseLimitkind : -1);
    CheckBox3->SetChecked(x.Zeroinclude);
    CheckBox5->SetChecked(x.Logarithmic);
    CheckOrd->SetChecked(x.ValueSort);
    Formato->SetText(Q(x.Formato));
    SpinEdit1->SetValue(x.Sottotacche);
    shownSottotacche_ = SpinEdit1->Value();

    Shape1->SetBrushColor(x.PenColor);
    ComboBox2->SetItemIndex(
        x.PenWidthIndex >= 0 && x.PenWidthIndex < ComboBox2->Count() ? x.PenWidthIndex : -1);
    ComboBox3->SetItemIndex(
        x.PenStyleIndex >= 0 && x.PenStyleIndex < ComboBox3->Count() ? x.PenStyleIndex : -1);
    CheckBox7->SetChecked(x.ShowLineAttrib);
    CheckBox1->SetChecked(x.usa_attributi_asse);
    grid_ = x.Grid;
    lineOn_ = x.See_line;
    fitOn_ = x.See_funzionale;
    splineOn_ = x.Spline.Enabled != 0;
    const std::pair<TShape*, TLabel*> switches[] = {
        {Shape2, Label28}, {Shape4, Label30}, {Shape5, Label31}, {Shape3, Label29}};
    const TAxisExchange::Indicator* indicators[] = {&x.LineIndicator, &x.FitIndicator,
                                                    &x.SplineIndicator, &x.MarkersIndicator};
    for (int i = 0; i < 4; ++i) {
        switches[i].first->SetBrushColor(indicators[i]->Color);
        switches[i].second->SetCaption(Q(indicators[i]->Text));
    }
    TrackBar1->SetPosition(x.Gradofunzionale);
    shownGrado_ = TrackBar1->Position();
    SpinEdit2->SetValue(x.Spline.Parameter);
    shownSplineType_ = SpinEdit2->Value();
    SpinEdit3->SetValue(static_cast<int>(std::clamp<double>(Round(x.Spline.Value), 0, 100)));
    shownSmoothing_ = SpinEdit3->Value();
    CheckBox6->SetChecked(x.Spline.Extrapolation != 0);
    marker_ = x.Marker;
    CopyPointLabelStyle(x.valori, valori_);

    QStringList filterChannels{Q(Text("IDS_1"))};
    filterChannels.append(all);
    ComboBox4->SetItems(filterChannels);
    ComboBox4->SetItemIndex(x.FilterIndex >= 0 && x.FilterIndex < ComboBox4->Count() ? x.FilterIndex
                                                                                     : -1);
    RadioGroup1->SetItemIndex(x.filtrotipo < 2 ? x.filtrotipo : -1);
    ComboBox5->SetItems({});
    ComboBox5->SetText(Q(x.filtrovalore));
    Edit1->SetText(Q(x.filtrotolleranza));
    CheckBox2->SetChecked(x.DoubleAxe);
    Edit2->SetText(Q(x.Umis2));
    Edit3->SetText(Q(x.Conversionformula));
    CheckBox4->SetChecked(x.Scala2Indipendente);
    UpdateControls();
}

void Tboxdefasse::ReadBack(TAxisExchange& x) const {
    const TAxisExchange& was = x_;
    x.PenColor = Shape1->BrushColor();
    x.AxisChannels = channels_;
    x.AxisChannelNames.clear();
    for (const QString& n : Listag->Items())
        x.AxisChannelNames.push_back(S(n));
    x.Grandezza = S(titolo->Text());
    x.Umisura = S(sottotitolo->Text());
    x.Caption = S(commento->Text());
    x.UseLimitkind = RG_TipoLimiti->ItemIndex() >= 0
                         ? static_cast<TLimitkind>(RG_TipoLimiti->ItemIndex())
                         : was.UseLimitkind;
    x.MaximumText = S(Massimo->Text());
    x.MinimumText = S(Minimo->Text());
    x.IncrementText = S(Incremento->Text());
    x.DivisionsText = S(Tacche->Text());
    x.limitiautomatici = automaticlimits->Checked();
    x.FontGrand = fontGrand_;
    x.FontUmis = fontUmis_;
    x.FontValues = fontValues_;
    x.Formato = S(Formato->Text());
    x.tipoetichette = tipoetichette->ItemIndex() >= 0
                          ? static_cast<uint8_t>(tipoetichette->ItemIndex())
                          : was.tipoetichette;
    x.PenWidthIndex = ComboBox2->ItemIndex() >= 0 ? ComboBox2->ItemIndex() : was.PenWidthIndex;
    x.Sottotacche = SpinEdit1->Value() == shownSottotacche_
                        ? was.Sottotacche
                        : static_cast<uint8_t>(SpinEdit1->Value());
    x.Marker = marker_;
    x.Grid = grid_;
    x.Spline = was.Spline;
    if (splineOn_ != (was.Spline.Enabled != 0))
        x.Spline.Enabled = splineOn_ ? 1 : 0;
    if (SpinEdit2->Value() != shownSplineType_)
        x.Spline.Parameter = static_cast<uint8_t>(SpinEdit2->Value());
    if (SpinEdit3->Value() != shownSmoothing_)
        x.Spline.Value = SpinEdit3->Value();
    if (CheckBox6->Checked() != (was.Spline.Extrapolation != 0))
        x.Spline.Extrapolation = CheckBox6->Checked() ? 1 : 0;
    CopyPointLabelStyle(valori_, x.valori);
    x.FilterIndex = ComboBox4->ItemIndex() >= 0 ? ComboBox4->ItemIndex() : was.FilterIndex;
    x.filtrotipo = RadioGroup1->ItemIndex() >= 0 ? static_cast<uint8_t>(RadioGroup1->ItemIndex())
                                                 : was.filtrotipo;
    x.filtrovalore = S(ComboBox5->Text());
    x.filtrotolleranza = S(Edit1->Text());
    x.ValueSort = CheckOrd->Checked();
    x.PenStyleIndex = ComboBox3->ItemIndex() >= 0 ? ComboBox3->ItemIndex() : was.PenStyleIndex;
    x.usa_attributi_asse = CheckBox1->Checked();
    x.ShowLineAttrib = CheckBox7->Checked();
    x.Gradofunzionale =
        TrackBar1->Position() == shownGrado_ ? was.Gradofunzionale : TrackBar1->Position();
    x.DoubleAxe = CheckBox2->Checked();
    x.Conversionformula = S(Edit3->Text());
    x.Umis2 = S(Edit2->Text());
    x.Zeroinclude = CheckBox3->Checked();
    x.Scala2Indipendente = CheckBox4->Checked();
    x.Logarithmic = CheckBox5->Checked();
    x.See_line = lineOn_;
    x.See_funzionale = fitOn_;
    x.FontGrandChanged = fontGrandChanged_;
    x.FontUmisChanged = fontUmisChanged_;
    x.FontValuesChanged = fontValuesChanged_;
    x.GridChanged = gridChanged_;
    x.ChannelsChanged = channelsChanged_;
    x.MarkersChanged = markersChanged_;
}

void Tboxdefasse::UpdateControls() {
    const bool horizontal = x_.Horizontal;
    BitBtn6->setEnabled(!horizontal);
    ComboBox2->setEnabled(!horizontal);
    ComboBox3->setEnabled(!horizontal);
    RG_TipoLimiti->setVisible(horizontal);
    CheckOrd->setVisible(horizontal);
    GroupBox1->setEnabled(!automaticlimits->Checked());
    Tacche->setEnabled(x_.DivisionsEnabled);
    SpeedButton7->setEnabled(x_.DivisionsEnabled);
    const bool filtered = ComboBox4->ItemIndex() > 0;
    ComboBox5->setEnabled(filtered);
    Edit1->setEnabled(filtered && RadioGroup1->ItemIndex() == 0);
    Label24->SetCaption(QString::number(TrackBar1->Position()));
    const bool defined = tipoetichette->ItemIndex() == 1;
    for (TEdit* e : {titolo, sottotitolo}) {
        e->setEnabled(defined);
        e->SetColor(defined ? clWindow : clInactiveBorder);
    }
}

void Tboxdefasse::FillFilterValues() {
    const QString shown = ComboBox5->Text();
    QStringList values;
    const int channel = ComboBox4->ItemIndex() - 1;
    if (x_.Data && channel >= 0) {
        std::unordered_set<std::string> seen;
        for (int t = 0; t < x_.Data->ProvaCount() && values.size() < kMaxFilterValues; ++t) {
            const TdataProva& test = x_.Data->GetProva(t);
            if (channel >= test.VectorCount())
                continue;
            const Tdatavector& v = test.GetChannel(channel);
            for (int row = 0; row < v.Count() && values.size() < kMaxFilterValues; ++row) {
                std::string text(v.TextView(row));
                if (seen.insert(text).second)
                    values.append(Q(text));
            }
        }
    }
    ComboBox5->SetItems(values);
    ComboBox5->SetText(shown);
}

void Tboxdefasse::FormActivate(QObject*) {
    if (ComboBox4->ItemIndex() > 0)
        FillFilterValues();
    UpdateControls();
}

void Tboxdefasse::FormCloseQuery(QObject*, bool& canClose) {
    if (ModalResult() != mrOk)
        return;
    if (!automaticlimits->Checked()) {
        const double max = StrToFloat(S(Massimo->Text()));
        const double min = StrToFloat(S(Minimo->Text()));
        const double inc = StrToFloat(S(Incremento->Text()));
        const double divisions = std::trunc(std::fabs(StrToFloat(S(Tacche->Text()))));
        if (divisions == 0) {
            Ui().ShowMessage(Text("IDS_5"));
            canClose = false;
            return;
        }
        const double quotient = (max - min) / divisions;
        if (inc != quotient)
            Incremento->SetText(Q(FloatToStr(quotient)));
    }
    if (x_.Horizontal && Listag->Count() == 0) {
        Ui().ShowMessage(Text("IDS_31"));
        canClose = false;
    }
}

void Tboxdefasse::SpeedButton1Click(QObject*) {
    const int chosen = Combog->ItemIndex();
    if (chosen < 0)
        return;
    if (x_.Horizontal) {
        Listag->SetItems({});
        channels_.clear();
    }
    Listag->SetItems(Listag->Items() + QStringList{Combog->Text()});
    channels_.push_back(chosen);
    channelsChanged_ = true;
    SpeedButton1->Tag = 1;
}

void Tboxdefasse::SpeedButton2Click(QObject*) {
    const int chosen = Listag->ItemIndex();
    if (chosen < 0 || chosen >= Listag->Count())
        return;
    QStringList items = Listag->Items();
    items.removeAt(chosen);
    Listag->SetItems(items);
    if (chosen < static_cast<int>(channels_.size()))
        channels_.erase(channels_.begin() + chosen);
    if (items.isEmpty()) {
        titolo->SetText({});
        sottotitolo->SetText({});
        commento->SetText({});
    }
    channelsChanged_ = true;
    SpeedButton2->Tag = 1;
}

void Tboxdefasse::SpeedButton3Click(QObject*) {
    Listag->SetItems({});
    channels_.clear();
    channelsChanged_ = true;
    SpeedButton3->Tag = 1;
}

void Tboxdefasse::ShowLimits(double min, double max, double inc, double divisions) {
    Minimo->SetText(Q(Format("%0.2f", {min})));
    Massimo->SetText(Q(Format("%0.2f", {max})));
    Incremento->SetText(Q(Format("%0.2f", {inc})));
    Tacche->SetText(Q(Format("%0.0f", {divisions})));
}

namespace {

struct Limits {
    double min, max, inc, divisions;
};

Limits ReadLimits(const TEdit* min, const TEdit* max, const TEdit* inc, const TEdit* divisions) {
    return {StrToFloat(FromQString(min->Text())), StrToFloat(FromQString(max->Text())),
            std::fabs(StrToFloat(FromQString(inc->Text()))),
            std::trunc(std::fabs(StrToFloat(FromQString(divisions->Text()))))};
}

} // namespace

void Tboxdefasse::SpeedButton4Click(QObject*) {
    const Limits l = ReadLimits(Minimo, Massimo, Incremento, Tacche);
    const double min = l.max - l.inc * l.divisions;
    if (min >= l.max) {
        Ui().ShowMessage(Text("IDS_5"));
        return;
    }
    ShowLimits(min, l.max, l.inc, l.divisions);
}

void Tboxdefasse::SpeedButton5Click(QObject*) {
    const Limits l = ReadLimits(Minimo, Massimo, Incremento, Tacche);
    const double max = l.min + l.inc * l.divisions;
    if (l.min >= max) {
        Ui().ShowMessage(Text("IDS_5"));
        return;
    }
    ShowLimits(l.min, max, l.inc, l.divisions);
}

void Tboxdefasse::SpeedButton6Click(QObject*) {
    const Limits l = ReadLimits(Minimo, Massimo, Incremento, Tacche);
    // No subdivisions leave no increment to compute.
    const double inc = l.divisions != 0 ? (l.max - l.min) / l.divisions : 0;
    if (l.min >= l.max || !(inc > 0)) {
        Ui().ShowMessage(Text("IDS_5"));
        return;
    }
    ShowLimits(l.min, l.max, inc, l.divisions);
}

void Tboxdefasse::SpeedButton7Click(QObject*) {
    const Limits l = ReadLimits(Minimo, Massimo, Incremento, Tacche);
    if (l.inc == 0) {
        Ui().ShowMessage(Text("IDS_5"));
        return;
    }
    ShowLimits(l.min, l.max, l.inc, static_cast<double>(Round((l.max - l.min) / l.inc)));
}

void Tboxdefasse::ShowSwitch(TShape* shape, TLabel* label, bool on) {
    shape->SetBrushColor(on ? kSwitchOn : kSwitchOff);
    label->SetCaption(Q(Text(on ? "IDS_25" : "IDS_26")));
}

void Tboxdefasse::SpeedButton9Click(QObject*) {
    lineOn_ = !lineOn_;
    ShowSwitch(Shape2, Label28, lineOn_);
}

void Tboxdefasse::SpeedButton11Click(QObject*) {
    fitOn_ = !fitOn_;
    ShowSwitch(Shape4, Label30, fitOn_);
}

void Tboxdefasse::Btn_splineClick(QObject*) {
    splineOn_ = !splineOn_;
    ShowSwitch(Shape5, Label31, splineOn_);
}

void Tboxdefasse::SpeedButton10Click(QObject*) {
    std::unique_ptr<TTagPointbox> box(CreateForm<TTagPointbox>(this));
    box->SetMarker(marker_);
    box->SetLabelStyle(valori_);
    if (box->ShowModal() != mrOk)
        return;
    marker_ = box->Marker();
    CopyPointLabelStyle(box->LabelStyle(), valori_);
    markersChanged_ = true;
    SpeedButton10->Tag = 1;
    ShowSwitch(Shape3, Label29, marker_.ShowMarkers != 0);
}

void Tboxdefasse::BitBtn6Click(QObject*) {
    std::unique_ptr<Tgrigliabox> box(CreateForm<Tgrigliabox>(this));
    box->SetGrid(grid_);
    if (box->ShowModal() != mrOk)
        return;
    grid_ = box->Grid();
    gridChanged_ = true;
    BitBtn6->Tag = 1;
}

void Tboxdefasse::FontButtonClick(QObject* sender) {
    TFont* font = &fontGrand_;
    bool* changed = &fontGrandChanged_;
    if (sender == BitBtn2) {
        font = &fontUmis_;
        changed = &fontUmisChanged_;
    } else if (sender == BitBtn3) {
        font = &fontValues_;
        changed = &fontValuesChanged_;
    }
    if (!ChooseFont(*font))
        return;
    *changed = true;
    static_cast<TButton*>(sender)->Tag = 1;
}

void Tboxdefasse::ComboBox1Change(QObject*) {
    if (ComboBox1->ItemIndex() >= 0)
        Formato->SetText(ComboBox1->Text());
}

void Tboxdefasse::ComboBox4Change(QObject*) {
    if (ComboBox4->ItemIndex() > 0) {
        FillFilterValues();
        if (ComboBox5->Count() > 0) {
            const QString first = ComboBox5->itemText(0);
            ComboBox5->SetText(first);
            double number = 0;
            if (!TryStrToFloat(S(first), number))
                RadioGroup1->SetItemIndex(1);
        }
    }
    UpdateControls();
}

void Tboxdefasse::Shape1MouseDown(QObject*) {
    int color = Shape1->BrushColor();
    if (Ui().ColorDialog(color))
        Shape1->SetBrushColor(color);
}

void EditAxisDialog(TAxisExchange& x) {
    std::unique_ptr<Tboxdefasse> box(CreateForm<Tboxdefasse>());
    box->Fill(x);
    const int result = box->ShowModal();
    if (result == mrOk)
        box->ReadBack(x);
    x.ModalResult = result;
}

} // namespace vx
