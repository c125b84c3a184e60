#include "document/parambox.h"

#include "document/OkCancel.h"
#include "localisation/FormTable.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/Label.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"

namespace vx {

Tnewpagedlg::Tnewpagedlg(QWidget* parent) : TForm(parent, "newpagedlg") {
    resize(300, 190);
    Label1 = Placed(new TLabel(this, "Label1"), 8, 8, 284, 16);
    Edit1 = Placed(new TEdit(this, "Edit1"), 8, 26, 284, 24);
    // The class library's edit held a short string.
    Edit1->setMaxLength(255);
    RadioGroup1 = Placed(new TRadioGroup(this, "RadioGroup1"), 8, 58, 284, 90);
    RadioGroup1->SetItems({"Grafico", "Report", "Report-PRO"});
    PlaceOkCancel(this, OKBtn, CancelBtn, 156);
    mlLang1 = CreateFormTable(this, "Tnewpagedlg");
}

Tdef_margini::Tdef_margini(QWidget* parent) : TForm(parent, "def_margini") {
    // Wide enough for the caption in every language.
    resize(320, 170);
    TLabel** labels[] = {&Label1, &Label2, &Label3, &Label4};
    TSpinEdit** edits[] = {&SpinEdit1, &SpinEdit2, &SpinEdit3, &SpinEdit4};
    for (int i = 0; i < 4; ++i) {
        const QString n = QString::number(i + 1);
        *labels[i] = Placed(new TLabel(this, "Label" + n), 8, 10 + i * 30, 200, 16);
        *edits[i] = Placed(new TSpinEdit(this, "SpinEdit" + n), 222, 6 + i * 30, 90, 24);
        (*edits[i])->SetMinValue(0);
        (*edits[i])->SetMaxValue(500);
    }
    PlaceOkCancel(this, OKBtn, CancelBtn, 136);
    mlLang1 = CreateFormTable(this, "Tdef_margini");
}

Tfrm_dlg_attributi::Tfrm_dlg_attributi(QWidget* parent) : TForm(parent, "frm_dlg_attributi") {
    resize(420, 190);
    Label1 = Placed(new TLabel(this, "Label1"), 8, 8, 404, 16);
    Edit1 = Placed(new TEdit(this, "Edit1"), 8, 26, 404, 24);
    Label2 = Placed(new TLabel(this, "Label2"), 8, 58, 404, 16);
    Edit2 = Placed(new TEdit(this, "Edit2"), 8, 76, 404, 24);
    // The page stream keeps short strings.
    Edit1->setMaxLength(255);
    Edit2->setMaxLength(255);
    Labfont = Placed(new TLabel(this, "Labfont"), 8, 112, 300, 30);
    SpeedButton1 = Placed(new TSpeedButton(this, "SpeedButton1"), 320, 112, 92, 26);
    SpeedButton1->OnClick = [this](QObject* s) { SpeedButton1Click(s); };
    PlaceOkCancel(this, OKBtn, CancelBtn, 156);
    mlLang1 = CreateFormTable(this, "Tfrm_dlg_attributi");
    vx::ShowFont(Labfont, infoFont_);
}

void Tfrm_dlg_attributi::SetInfoFont(const TFont& font) {
    infoFont_ = font;
    vx::ShowFont(Labfont, infoFont_);
}

void Tfrm_dlg_attributi::SpeedButton1Click(QObject*) {
    TFont chosen(infoFont_);
    if (ChooseFont(chosen))
        SetInfoFont(chosen);
}

} // namespace vx
