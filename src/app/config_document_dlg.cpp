#include "app/config_document_dlg.h"

#include "localisation/FormTable.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/SpeedButton.h"

namespace vx {

Tconfig_document_dlg::Tconfig_document_dlg(QWidget* parent) : TForm(parent, "config_document_dlg") {
    resize(300, 300);
    Label1 = Placed(new TLabel(this, "Label1"), 8, 8, 284, 16);
    ListBox1 = Placed(new TListBox(this, "ListBox1"), 8, 26, 284, 230);
    SpeedButton1 = Placed(new TSpeedButton(this, "SpeedButton1"), 8, 264, 80, 26);
    OKBtn = Placed(new TButton(this, "OKBtn"), 126, 264, 80, 26);
    OKBtn->ModalResult = mrOk;
    CancelBtn = Placed(new TButton(this, "CancelBtn"), 212, 264, 80, 26);
    CancelBtn->ModalResult = mrCancel;

    OnActivate = [this](QObject* s) { FormActivate(s); };
    ListBox1->OnDblClick = [this](QObject* s) { ListBox1DblClick(s); };
    SpeedButton1->OnClick = [this](QObject* s) { SpeedButton1Click(s); };
    mlLang1 = CreateFormTable(this, "Tconfig_document_dlg");
}

void Tconfig_document_dlg::FormActivate(QObject*) {
    if (ListBox1->Count() == 0)
        SetModalResult(mrCancel);
}

void Tconfig_document_dlg::ListBox1DblClick(QObject*) {
    if (ListBox1->ItemIndex() >= 0)
        SetModalResult(mrOk);
}

void Tconfig_document_dlg::SpeedButton1Click(QObject*) {
    ListBox1->SetItemIndex(-1);
    SetModalResult(mrOk);
}

} // namespace vx
