#include "document/TF_inschnval.h"

#include "data/Databuff.h"
#include "localisation/FormTable.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/SpinEdit.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace vx {

namespace {

// The rows whose texts were seen, in one small flat table (open addressing): a node per
// text would cost an allocation each, most of the time for a million of them.
class TTextSet {
public:
    TTextSet(const Tdatavector& texts) : texts_(texts) {
        size_t capacity = 16;
        while (capacity < static_cast<size_t>(texts.Count()) * 2)
            capacity *= 2;
        slots_.assign(capacity, 0);
    }
    // False when the row's text was seen already.
    bool Insert(int row) {
        const std::string_view text = texts_.TextView(row);
        const size_t mask = slots_.size() - 1;
        for (size_t i = std::hash<std::string_view>{}(text)&mask;; i = (i + 1) & mask) {
            // Row + 1; 0 marks a free slot.
            uint32_t& slot = slots_[i];
            if (slot == 0) {
                slot = static_cast<uint32_t>(row) + 1;
                return true;
            }
            if (texts_.TextView(static_cast<int>(slot - 1)) == text)
                return false;
        }
    }

private:
    const Tdatavector& texts_;
    std::vector<uint32_t> slots_;
};

} // namespace

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
    // Activation refills only for another test: the list may be long, and the tests do not
    // change while the dialog is open.
    OnActivate = [this](QObject*) {
        if (typesTest_ != ComboBox1->ItemIndex())
            FillTypes();
    };
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
    typesTest_ = test;
    if (data_ && test >= 0 && test < data_->ProvaCount()) {
        const TdataProva& prova = data_->GetProva(test);
        // A test without channel 1 offers no key values. The distinct texts in row order, as
        // GetDistinctValues gives them, gathered here straight into the list: a key channel
        // may hold a million of them.
        if (prova.ChannelCount() > 1) {
            const Tdatavector& key = prova.GetChannel(1);
            TTextSet seen(key);
            types.reserve(key.Count() + 1);
            for (int row = 0; row < key.Count(); ++row)
                if (seen.Insert(row))
                    types << ToQString(key.TextView(row));
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
