#include "document/SelTipi.h"

#include "document/OkCancel.h"
#include "document/clipGrid.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/runtime/Cp1252.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/SpeedButton.h"
#include "report/EditorHooks.h"
#include "report/WPGraph.h"

#include <QStringList>

#include <memory>

namespace vx {

namespace {

QStringList ToQStringList(const std::vector<std::string>& texts) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& text : texts)
        list << ToQString(text);
    return list;
}

} // namespace

TF_SelTipi::TF_SelTipi(QWidget* parent) : TForm(parent, "F_SelTipi") {
    resize(420, 300);
    g1 = Placed(new TComboGrid(this, "g1"), 8, 8, 404, 180);
    g1->SetColCount(2);
    // No fixed column: a release anywhere in a row makes it the row the list edits.
    g1->SetFixedCols(0);
    g1->Combocolumn = 1;
    g1->SetColWidths(0, 190);
    g1->SetColWidths(1, 190);
    Label1 = Placed(new TLabel(this, "Label1"), 8, 196, 200, 16);
    ComboBox2 = Placed(new TComboBox(this, "ComboBox2"), 8, 214, 200, 24);
    ComboBox2->OnChange = [this](QObject* s) { ComboBox2Change(s); };
    Label2 = Placed(new TLabel(this, "Label2"), 216, 196, 120, 16);
    ComboBox1 = Placed(new TComboBox(this, "ComboBox1"), 216, 214, 120, 24);
    SpeedButton1 = Placed(new TSpeedButton(this, "SpeedButton1"), 342, 214, 70, 24);
    SpeedButton1->OnClick = [this](QObject* s) { SpeedButton1Click(s); };
    PlaceOkCancel(this, OKBtn, CancelBtn, 266);
    mlLang1 = CreateFormTable(this, "TF_SelTipi");
}

void TF_SelTipi::SetChoices(const std::vector<std::string>& choices) {
    const QStringList items = ToQStringList(choices);
    g1->ComboList()->SetItems(items);
    g1->ComboList()->SetItemIndex(-1);
    ComboBox1->SetItems(items);
    ComboBox1->SetItemIndex(-1);
}

void TF_SelTipi::Fill(const TAxisTypingExchange& x) {
    data_ = x.Data;
    const int n = static_cast<int>(x.Rows.size());
    g1->SetRowCount(n + 1);
    if (n > 0)
        g1->SetFixedRows(1);
    g1->SetCells(0, 0, mlLang1->GetTextOrDefault("IDS_0"));
    g1->SetCells(1, 0, mlLang1->GetTextOrDefault("IDS_1"));
    for (int i = 0; i < n; ++i) {
        g1->SetCells(0, i + 1, x.Rows[static_cast<size_t>(i)][0]);
        g1->SetCells(1, i + 1, x.Rows[static_cast<size_t>(i)][1]);
    }
    ComboBox2->SetItems(ToQStringList(x.Channels));
    ComboBox2->SetItemIndex(x.ChannelIndex);
    SetChoices(x.Choices);
}

void TF_SelTipi::Apply(TAxisTypingExchange& x) const {
    if (ComboBox2->ItemIndex() >= 0)
        x.ChannelIndex = ComboBox2->ItemIndex();
    for (size_t i = 0; i < x.Rows.size(); ++i)
        x.Rows[i][1] = g1->Cells(1, static_cast<int32_t>(i) + 1);
}

void TF_SelTipi::ComboBox2Change(QObject*) {
    // "*.*" stays first, so that a typed axis can always be set back to every value.
    SetChoices(TWPGraph::TypingChoices(data_, ComboBox2->ItemIndex()));
}

void TF_SelTipi::SpeedButton1Click(QObject*) {
    const std::string value = ComboBox1->ItemIndex() >= 0 ? FromQString(ComboBox1->Text()) : "";
    for (int row = 1; row < g1->RowCount(); ++row)
        g1->SetCells(1, row, value);
}

void EditAxisTypingDialog(TAxisTypingExchange& x) {
    std::unique_ptr<TF_SelTipi> form(CreateForm<TF_SelTipi>());
    form->Fill(x);
    x.ModalResult = form->ShowModal();
    if (x.ModalResult == mrOk)
        form->Apply(x);
}

} // namespace vx
