#include "document/TF_inschnval.h"

#include "data/Databuff.h"
#include "localisation/FormTable.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/SpinEdit.h"

namespace vx {

TF_inschnval::TF_inschnval(QWidget* parent) : TForm(parent, "F_inschnval") {
    resize(330, 240);
    Label1 = Placed(new TLabel(this, "Label1"), 8, 12, 90, 16);
    ComboBox1 = Placed(new TComboBox(this, "ComboBox1"), 100, 8, 222, 24);
    Label2 = Placed(new TLabel(this, "Label2"), 8, 44, 90, 16);
    ComboBox2 = Placed(new TComboBox(this, "ComboBox2"), 100, 40, 222, 24);
    Label3 = Placed(new TLabel(this, "Label3"), 8, 76, 90, 16);
    ComboBox3 = Placed(new TComboBox(this, "ComboBox3"), 100, 72, 130, 24);
    ComboBox3->SetItems({"Valore", "MIN", "MAX", "FIRST", "LAST"});
    SpinEdit1 = Placed(new TSpinEdit(this, "SpinEdit1"), 238, 72, 84, 24);
    SpinEdit1->SetMinValue(0);
    SpinEdit1->SetMaxValue(999);
    Label4 = Placed(new TLabel(this, "Label4"), 8, 108, 90, 16);
    SpinEdit2 = Placed(new TSpinEdit(this, "SpinEdit2"), 100, 104, 84, 24);
    SpinEdit2->SetMinValue(0);
    SpinEdit2->SetMaxValue(999);
    Label5 = Placed(new TLabel(this, "Label5"), 8, 140, 90, 16);
    ComboBox5 = Placed(new TComboBox(this, "ComboBox5"), 100, 136, 222, 24);
    OKBtn = Placed(new TButton(this, "OKBtn"), 154, 204, 80, 26);
    OKBtn->ModalResult = mrOk;
    OKBtn->setDefault(true);
    CancelBtn = Placed(new TButton(this, "CancelBtn"), 242, 204, 80, 26);
    CancelBtn->ModalResult = mrCancel;
    CancelBtn->Cancel = true;
    ComboBox1->OnChange = [this](QObject*) { FillTypes(); };
    ComboBox3->OnChange = [this](QObject*) { ShowRow(); };
    OnActivate = [this](QObject*) { FillTypes(); };
    mlLang1 = CreateFormTable(this, "TF_inschnval");
}

void TF_inschnval::SetDataBuffer(TDatabuffer* data) {
    data_ = data;
    QStringList tests;
    QStringList channels;
    if (data_) {
        for (const std::string& name : data_->FileNames.Items())
            tests << ToQString(ExtractFileName(name));
        if (data_->ProvaCount() > 0) {
            const TdataProva& first = data_->GetProva(0);
            for (int c = 0; c < first.ChannelCount(); ++c)
                channels << ToQString(first.GetChannelLabel(c));
        }
    }
    ComboBox1->SetItems(tests);
    ComboBox1->SetItemIndex(0);
    ComboBox2->SetItems(channels);
    ComboBox2->SetItemIndex(0);
    ComboBox3->SetItemIndex(0);
    ShowRow();
    FillTypes();
}

void TF_inschnval::FillTypes() {
    QStringList types{"*.*"};
    const int test = ComboBox1->ItemIndex();
    if (data_ && test >= 0 && test < data_->ProvaCount()) {
        const TdataProva& prova = data_->GetProva(test);
        // A test without channel 1 offers no key values.
        if (prova.ChannelCount() > 1) {
            TStringList values;
            prova.GetDistinctValues(values, false, 1);
            types.reserve(values.Count() + 1);
            for (const std::string& value : values.Items())
                types << ToQString(value);
        }
    }
    ComboBox5->SetItems(types);
    ComboBox5->SetItemIndex(0);
}

void TF_inschnval::ShowRow() {
    SpinEdit1->setVisible(ComboBox3->ItemIndex() == 0);
}

std::string TF_inschnval::Placeholder() const {
    const int test = ComboBox1->ItemIndex();
    const int channel = ComboBox2->ItemIndex();
    if (test < 0 || channel < 0)
        return {};
    const int function = ComboBox3->ItemIndex();
    const std::string row =
        function <= 0 ? IntToStr(SpinEdit1->Value()) : FromQString(ComboBox3->Items().at(function));
    const std::string type =
        ComboBox5->ItemIndex() > 0 ? FromQString(ComboBox5->Text()) : std::string();
    return "&<CHN;" + IntToStr(test + 1) + ";" + IntToStr(channel) + ";" + row + ";0." +
           IntToStr(SpinEdit2->Value()) + ";" + type + ">";
}

} // namespace vx
