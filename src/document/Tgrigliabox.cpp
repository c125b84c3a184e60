#include "document/Tgrigliabox.h"

#include "localisation/FormTable.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/Shape.h"

namespace vx {

namespace {

constexpr uint32_t kWidthCodes[] = {1, 3, 6};
constexpr uint8_t kPenStyles[] = {0, 2};

} // namespace

Tgrigliabox::Tgrigliabox(QWidget* parent) : TForm(parent, "grigliabox") {
    resize(390, 250);
    Label1 = Placed(new TLabel(this, "Label1"), 8, 12, 130, 16);
    Shape1 = Placed(new TShape(this, "Shape1"), 146, 8, 40, 22);
    Label2 = Placed(new TLabel(this, "Label2"), 8, 42, 130, 16);
    ComboBox1 = Placed(new TComboBox(this, "ComboBox1"), 146, 38, 236, 24);
    ComboBox1->SetItems({"Sottili", "Medie", "Grosse"});
    Label3 = Placed(new TLabel(this, "Label3"), 8, 72, 130, 16);
    ComboBox2 = Placed(new TComboBox(this, "ComboBox2"), 146, 68, 236, 24);
    ComboBox2->SetItems({"Continua", "Tratteggiata"});
    RadioGroup1 = Placed(new TRadioGroup(this, "RadioGroup1"), 8, 98, 180, 110);
    RadioGroup1->SetItems({"Tutte", "Verticali", "Orizzontali"});
    CheckBox2 = Placed(new TCheckBox(this, "CheckBox2"), 192, 104, 190, 22);
    CheckBox1 = Placed(new TCheckBox(this, "CheckBox1"), 192, 134, 190, 22);
    OKBtn = Placed(new TButton(this, "OKBtn"), 214, 216, 80, 26);
    OKBtn->ModalResult = mrOk;
    OKBtn->setDefault(true);
    CancelBtn = Placed(new TButton(this, "CancelBtn"), 302, 216, 80, 26);
    CancelBtn->ModalResult = mrCancel;
    CancelBtn->Cancel = true;
    Shape1->OnMouseDown = [this](QObject* s, TMouseButton, TShiftState, int32_t, int32_t) {
        Shape1MouseDown(s);
    };
    mlLang1 = CreateFormTable(this, "Tgrigliabox");
}

void Tgrigliabox::SetGrid(const TGridRecord& grid) {
    grid_ = grid;
    Shape1->SetBrushColor(grid.Color);
    int width = 0;
    for (int i = 0; i < 3; ++i)
        if (kWidthCodes[i] == grid.PenWidth)
            width = i;
    ComboBox1->SetItemIndex(width);
    ComboBox2->SetItemIndex(grid.PenStyle == kPenStyles[1] ? 1 : 0);
    RadioGroup1->SetItemIndex(grid.Orientation < 3 ? grid.Orientation : -1);
    CheckBox2->SetChecked(grid.MinorLines != 0);
    CheckBox1->SetChecked(grid.Enabled != 0);
}

TGridRecord Tgrigliabox::Grid() const {
    TGridRecord g = grid_;
    g.Color = Shape1->BrushColor();
    g.PenWidth = kWidthCodes[std::max(ComboBox1->ItemIndex(), 0)];
    g.PenStyle = kPenStyles[std::max(ComboBox2->ItemIndex(), 0)];
    if (RadioGroup1->ItemIndex() >= 0)
        g.Orientation = static_cast<uint8_t>(RadioGroup1->ItemIndex());
    g.MinorLines = CheckBox2->Checked() ? 1 : 0;
    g.Enabled = CheckBox1->Checked() ? 1 : 0;
    return g;
}

void Tgrigliabox::Shape1MouseDown(QObject*) {
    int color = Shape1->BrushColor();
    if (Ui().ColorDialog(color))
        Shape1->SetBrushColor(color);
}

} // namespace vx
