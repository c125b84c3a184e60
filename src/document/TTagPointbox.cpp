#include "document/TTagPointbox.h"

#include "document/StyleItems.h"
#include "localisation/FormTable.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/Label.h"
#include "platform/ui/Shape.h"

namespace vx {

TTagPointbox::TTagPointbox(QWidget* parent) : TForm(parent, "TagPointbox") {
    resize(390, 330);
    CheckBox1 = Placed(new TCheckBox(this, "CheckBox1"), 8, 8, 374, 22);
    Label1 = Placed(new TLabel(this, "Label1"), 8, 40, 150, 16);
    ComboBox1 = Placed(new TComboBox(this, "ComboBox1", TComboBoxStyle::csOwnerDrawFixed), 166, 36,
                       216, 24);
    ComboBox1->SetItems({"Cerchio", "Quadrato", "Rombo", "Triangolo Su", "Triangolo Giù",
                         "Clessidra", "Croce", "X", "Quadrato con X", "Cerchio con X"});
    CheckBox2 = Placed(new TCheckBox(this, "CheckBox2"), 8, 68, 156, 22);
    Shape1 = Placed(new TShape(this, "Shape1"), 166, 68, 40, 22);
    Label2 = Placed(new TLabel(this, "Label2"), 8, 102, 150, 16);
    ComboBox2 = Placed(new TComboBox(this, "ComboBox2"), 166, 98, 216, 24);
    ComboBox2->SetItems({"Piccola", "Media", "Grande"});
    CheckBox3 = Placed(new TCheckBox(this, "CheckBox3"), 8, 134, 186, 22);
    CheckBox4 = Placed(new TCheckBox(this, "CheckBox4"), 196, 134, 186, 22);
    Label3 = Placed(new TLabel(this, "Label3"), 8, 168, 150, 16);
    Edit1 = Placed(new TEdit(this, "Edit1"), 166, 164, 60, 24);
    Edit2 = Placed(new TEdit(this, "Edit2"), 232, 164, 60, 24);
    Label4 = Placed(new TLabel(this, "Label4"), 300, 168, 40, 16);
    Label4->SetCaption("[mm]");
    CheckBox5 = Placed(new TCheckBox(this, "CheckBox5"), 8, 198, 156, 22);
    Shape2 = Placed(new TShape(this, "Shape2"), 166, 198, 40, 22);
    CheckBox6 = Placed(new TCheckBox(this, "CheckBox6"), 8, 228, 156, 22);
    Shape3 = Placed(new TShape(this, "Shape3"), 166, 228, 40, 22);
    Label5 = Placed(new TLabel(this, "Label5"), 8, 258, 270, 30);
    BitBtn1 = Placed(new TButton(this, "BitBtn1"), 290, 258, 92, 26);
    OKBtn = Placed(new TButton(this, "OKBtn"), 214, 296, 80, 26);
    OKBtn->ModalResult = mrOk;
    OKBtn->setDefault(true);
    CancelBtn = Placed(new TButton(this, "CancelBtn"), 302, 296, 80, 26);
    CancelBtn->ModalResult = mrCancel;
    CancelBtn->Cancel = true;
    for (QLineEdit* e : {static_cast<QLineEdit*>(Edit1), static_cast<QLineEdit*>(Edit2)})
        e->setMaxLength(255);

    ComboBox1->OnDrawItem = [this](QObject* s, int i, const TRect& r, TOwnerDrawState st) {
        ComboBox1DrawItem(s, i, r, st);
    };
    for (TShape* shape : {Shape1, Shape2, Shape3})
        shape->OnMouseDown = [this](QObject* s, TMouseButton, TShiftState, int32_t, int32_t) {
            ShapeMouseDown(s);
        };
    BitBtn1->OnClick = [this](QObject* s) { BitBtn1Click(s); };
    OnCloseQuery = [this](QObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
    mlLang1 = CreateFormTable(this, "TTagPointbox");
    SetMarker(marker_);
    SetLabelStyle(style_);
}

void TTagPointbox::SetMarker(const TPointMarkerRecord& marker) {
    marker_ = marker;
    CheckBox1->SetChecked(marker.ShowMarkers != 0);
    ComboBox1->SetItemIndex(marker.MarkerType < ComboBox1->Count() ? marker.MarkerType : -1);
    CheckBox2->SetChecked(marker.Filled != 0);
    Shape1->SetBrushColor(marker.FillColor);
    ComboBox2->SetItemIndex(marker.SizeIndex < 3 ? static_cast<int>(marker.SizeIndex) : -1);
}

TPointMarkerRecord TTagPointbox::Marker() const {
    TPointMarkerRecord m = marker_;
    m.ShowMarkers = CheckBox1->Checked() ? 1 : 0;
    if (ComboBox1->ItemIndex() >= 0)
        m.MarkerType = static_cast<uint8_t>(ComboBox1->ItemIndex());
    m.Filled = CheckBox2->Checked() ? 1 : 0;
    m.FillColor = Shape1->BrushColor();
    if (ComboBox2->ItemIndex() >= 0)
        m.SizeIndex = static_cast<uint32_t>(ComboBox2->ItemIndex());
    return m;
}

void TTagPointbox::SetLabelStyle(const Tvaluedefnt& style) {
    style_.Assign(style);
    CheckBox3->SetChecked(style.X);
    CheckBox4->SetChecked(style.Y);
    Edit1->SetText(QString::number(style.SX));
    Edit2->SetText(QString::number(style.SY));
    CheckBox5->SetChecked(style.background);
    Shape2->SetBrushColor(style.backgroundcolor);
    CheckBox6->SetChecked(style.border);
    Shape3->SetBrushColor(style.bordercolor);
    ShowFont(Label5, style_.font);
}

Tvaluedefnt TTagPointbox::LabelStyle() const {
    Tvaluedefnt s(style_);
    s.X = CheckBox3->Checked();
    s.Y = CheckBox4->Checked();
    s.SX = StrToInt(FromQString(Edit1->Text()));
    s.SY = StrToInt(FromQString(Edit2->Text()));
    s.background = CheckBox5->Checked();
    s.backgroundcolor = Shape2->BrushColor();
    s.border = CheckBox6->Checked();
    s.bordercolor = Shape3->BrushColor();
    return s;
}

void TTagPointbox::ComboBox1DrawItem(QObject*, int index, const TRect& rect, TOwnerDrawState) {
    TCanvas& canvas = *ComboBox1->Canvas();
    DrawPointTypeItem(canvas, rect, index, FromQString(ComboBox1->itemText(index)),
                      canvas.TextWidth("X"));
}

void TTagPointbox::ShapeMouseDown(QObject* sender) {
    auto* shape = static_cast<TShape*>(sender);
    int color = shape->BrushColor();
    if (Ui().ColorDialog(color))
        shape->SetBrushColor(color);
}

void TTagPointbox::BitBtn1Click(QObject*) {
    if (ChooseFont(style_.font))
        ShowFont(Label5, style_.font);
}

void TTagPointbox::FormCloseQuery(QObject*, bool&) {
    // A text that is no integer raises here, which keeps the dialog open with the message.
    if (ModalResult() == mrOk)
        (void)LabelStyle();
}

} // namespace vx
