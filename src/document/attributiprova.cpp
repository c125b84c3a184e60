#include "document/attributiprova.h"

#include "data/WPComp.h"
#include "document/StyleItems.h"
#include "localisation/FormTable.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/Shape.h"

namespace vx {

namespace {

constexpr int kPenStyles = 5;
constexpr int kPointTypes = 10;

} // namespace

Tattributiprova::Tattributiprova(QWidget* parent) : TForm(parent, "attributiprova") {
    resize(330, 196);
    Label1 = Placed(new TLabel(this, "Label1"), 8, 12, 110, 16);
    Shape1 = Placed(new TShape(this, "Shape1"), 124, 8, 60, 24);
    Label2 = Placed(new TLabel(this, "Label2"), 8, 44, 110, 16);
    ComboBox2 = Placed(new TComboBox(this, "ComboBox2"), 124, 40, 168, 24);
    Label3 = Placed(new TLabel(this, "Label3"), 8, 76, 110, 16);
    ComboBox3 = Placed(new TComboBox(this, "ComboBox3"), 124, 72, 168, 24);
    Label4 = Placed(new TLabel(this, "Label4"), 8, 108, 110, 16);
    ComboBox1 = Placed(new TComboBox(this, "ComboBox1"), 124, 104, 168, 24);
    ComboBox2->SetItems({"1 pts", "2 pts", "3 pts", "4 pts", "6 pts", "8 pts", "12 pts"});
    ComboBox3->SetItems(
        {"Continuo", "punteggiato", "Tratteggiato", "Tratteggio+punto", "Tratteggio+punto+punto"});
    ComboBox1->SetItems({"Cerchio", "Quadrato", "Rombo", "Triangolo Su", "Triangolo Gi\u00f9",
                         "Clessidra", "Croce", "X", "Quadrato con X", "Cerchio con X"});
    for (TComboBox* box : {ComboBox3, ComboBox1}) {
        box->SetStyle(TComboBoxStyle::csOwnerDrawFixed);
        box->SetItemHeight(18);
    }
    BitBtn1 = Placed(new TButton(this, "BitBtn1"), 154, 160, 80, 26);
    BitBtn1->ModalResult = mrOk;
    BitBtn1->setDefault(true);
    BitBtn2 = Placed(new TButton(this, "BitBtn2"), 242, 160, 80, 26);
    BitBtn2->ModalResult = mrCancel;
    BitBtn2->Cancel = true;

    Shape1->OnMouseDown = [this](QObject* s, TMouseButton, TShiftState, int32_t, int32_t) {
        Shape1MouseDown(s);
    };
    ComboBox3->OnDrawItem = [this](QObject*, int index, const TRect& rect, TOwnerDrawState) {
        DrawPenStyleItem(*ComboBox3->Canvas(), rect, index);
    };
    ComboBox1->OnDrawItem = [this](QObject*, int index, const TRect& rect, TOwnerDrawState) {
        TCanvas& canvas = *ComboBox1->Canvas();
        DrawPointTypeItem(canvas, rect, index, FromQString(ComboBox1->itemText(index)),
                          canvas.TextHeight("X"));
    };
    mlLang1 = CreateFormTable(this, "Tattributiprova");
}

void Tattributiprova::SetStyle(const TAttributoProva& style) {
    Shape1->SetBrushColor(style.Color);
    ComboBox2->SetItemIndex(PenWidthToIndex(static_cast<int>(style.Width)));
    const int pen = static_cast<int>(style.PenStyle);
    ComboBox3->SetItemIndex(pen >= 0 && pen < kPenStyles ? PenStyleToIndex(style.PenStyle) : -1);
    ComboBox1->SetItemIndex(style.PointType < kPointTypes ? style.PointType : -1);
}

void Tattributiprova::GetStyle(TAttributoProva& style) const {
    style.Color = Shape1->BrushColor();
    style.Width = static_cast<uint32_t>(IndexToPenWidth(ComboBox2->ItemIndex()));
    if (ComboBox3->ItemIndex() >= 0)
        style.PenStyle = IndexToPenStyle(ComboBox3->ItemIndex());
    if (ComboBox1->ItemIndex() >= 0)
        style.PointType = static_cast<uint8_t>(ComboBox1->ItemIndex());
}

void Tattributiprova::Shape1MouseDown(QObject*) {
    int color = Shape1->BrushColor();
    if (Ui().ColorDialog(color))
        Shape1->SetBrushColor(color);
}

} // namespace vx
