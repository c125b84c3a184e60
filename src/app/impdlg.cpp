#include "app/impdlg.h"

#include "data/Settings.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/GroupBox.h"
#include "platform/ui/Icons.h"
#include "platform/ui/Label.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/SpeedButton.h"

#include <cstdlib>

namespace vx {

namespace {

QString Number(int64_t value) {
    return ToQString(IntToStr(value));
}

} // namespace

Timpostazioni::Timpostazioni(QWidget* parent) : TForm(parent, "impostazioni") {
    resize(440, 470);
    RadioGroup1 = Placed(new TRadioGroup(this, "RadioGroup1"), 8, 8, 424, 80);
    Edit1 = Placed(new TEdit(RadioGroup1, "Edit1"), 340, 48, 70, 22);
    RadioGroup2 = Placed(new TRadioGroup(this, "RadioGroup2"), 8, 94, 210, 80);
    CheckBox1 = Placed(new TCheckBox(this, "CheckBox1"), 226, 100, 200, 20);
    CheckBox1->hide();
    GroupBox1 = Placed(new TGroupBox(this, "GroupBox1"), 226, 94, 206, 80);
    CheckBox2 = Placed(new TCheckBox(GroupBox1, "CheckBox2"), 10, 22, 180, 20);
    Label1 = Placed(new TLabel(GroupBox1, "Label1"), 10, 50, 60, 16);
    Edit2 = Placed(new TEdit(GroupBox1, "Edit2"), 76, 46, 80, 22);
    GroupBox2 = Placed(new TGroupBox(this, "GroupBox2"), 8, 180, 424, 150);
    Label2 = Placed(new TLabel(GroupBox2, "Label2"), 10, 22, 400, 16);
    ComboBox1 = Placed(new TComboBox(GroupBox2, "ComboBox1"), 10, 40, 404, 24);
    Label3 = Placed(new TLabel(GroupBox2, "Label3"), 10, 70, 400, 16);
    Edit3 = Placed(new TEdit(GroupBox2, "Edit3"), 10, 88, 372, 22);
    SpeedButton1 = Placed(new TSpeedButton(GroupBox2, "SpeedButton1"), 388, 88, 26, 22);
    SpeedButton1->SetGlyph(ToolIcon("document-open"));
    CheckBox4 = Placed(new TCheckBox(GroupBox2, "CheckBox4"), 10, 118, 300, 20);
    GroupBox3 = Placed(new TGroupBox(this, "GroupBox3"), 8, 336, 210, 60);
    ComboBox2 = Placed(new TComboBox(GroupBox3, "ComboBox2"), 10, 24, 190, 24);
    // The language names are written in their own language, whichever language is shown.
    ComboBox2->SetItems({"Italiano", "English", "Deutsch"});
    CheckBox3 = Placed(new TCheckBox(this, "CheckBox3"), 226, 360, 206, 20);
    OKBtn = Placed(new TButton(this, "OKBtn"), 264, 436, 80, 26);
    OKBtn->ModalResult = mrOk;
    CancelBtn = Placed(new TButton(this, "CancelBtn"), 352, 436, 80, 26);
    CancelBtn->ModalResult = mrCancel;

    SpeedButton1->OnClick = [this](QObject* s) { SpeedButton1Click(s); };
    OnCreate = [this](QObject* s) { FormCreate(s); };
    mlLang1 = CreateFormTable(this, "Timpostazioni");
}

void Timpostazioni::FormCreate(QObject*) {
    QStringList names;
    for (const auto& printer : Printers())
        names << ToQString(printer->Name());
    ComboBox1->SetItems(names);
}

void Timpostazioni::SpeedButton1Click(QObject*) {
    FileDialogRequest request;
    request.FileName = FromQString(Edit3->Text());
    const std::vector<std::string> chosen = Ui().OpenFileDialog(request);
    if (!chosen.empty())
        Edit3->SetText(ToQString(chosen.front()));
}

bool Timpostazioni::AssociateVrx() const {
    return CheckBox3->Checked();
}

void Timpostazioni::ShowSettings(const TImpostazioniRec& rec) {
    RadioGroup1->SetItemIndex(rec.LoadType() == 1 ? 0 : 1);
    Edit1->SetText(Number(rec.NamesRow()));
    RadioGroup2->SetItemIndex(rec.AutoLimitMethod());
    CheckBox1->SetChecked(rec.IncludeZero());
    CheckBox2->SetChecked(rec.TcpServerActive());
    Edit2->SetText(Number(rec.TcpPort()));
    Edit3->SetText(ToQString(rec.DriverOutputFile()));
    CheckBox4->SetChecked(rec.CloseAfterRemotePrint());
    ComboBox2->SetItemIndex(rec.Language() - 1);
    ComboBox1->SetItemIndex(ComboBox1->Items().indexOf(ToQString(rec.PdfPrinterName())));
}

void Timpostazioni::TakeSettings(TImpostazioniRec& rec) {
    if (RadioGroup1->ItemIndex() >= 0)
        rec.SetLoadType(RadioGroup1->ItemIndex() == 0 ? 1 : 0);
    int32_t namesRow = 0;
    rec.SetNamesRow(TryStrToInt(FromQString(Edit1->Text()), namesRow) ? namesRow : 1);
    if (RadioGroup2->ItemIndex() >= 0)
        rec.SetAutoLimitMethod(static_cast<uint8_t>(RadioGroup2->ItemIndex()));
    rec.SetIncludeZero(CheckBox1->Checked());
    rec.SetTcpServerActive(CheckBox2->Checked());
    // Widened first: the absolute value of the smallest 32-bit number does not fit 32 bits.
    int32_t port = 0;
    if (TryStrToInt(FromQString(Edit2->Text()), port) && std::llabs(port) <= kMaxPort)
        rec.SetTcpPort(static_cast<int32_t>(std::llabs(port)));
    else
        Ui().ShowMessage(mlLang1->GetTextOrDefault("IDS_39"));
    rec.SetPdfPrinterName(ComboBox1->ItemIndex() >= 0 ? FromQString(ComboBox1->Text())
                                                      : std::string());
    rec.SetDriverOutputFile(FromQString(Edit3->Text()));
    if (ComboBox2->ItemIndex() >= 0)
        rec.SetLanguage(static_cast<uint8_t>(ComboBox2->ItemIndex() + 1));
    rec.SetCloseAfterRemotePrint(CheckBox4->Checked());
}

} // namespace vx
