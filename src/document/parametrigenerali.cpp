#include "document/parametrigenerali.h"

#include "data/Databuff.h"
#include "document/attributiprova.h"
#include "document/translatelabels.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/graphics/Drawing.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/GroupBox.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StringGrid.h"

#include <memory>

namespace vx {

namespace {

constexpr char kLabelSeparator = '\xA7';

std::string ItemText(const TStringList& list, int i) {
    return i < list.Count() ? list[i] : std::string();
}

} // namespace

Tdlgparametrigenerali::Tdlgparametrigenerali(QWidget* parent)
    : TForm(parent, "dlgparametrigenerali") {
    resize(560, 330);
    GroupBox1 = Placed(new TGroupBox(this, "GroupBox1"), 8, 8, 358, 220);
    ListBox1 = Placed(new TListBox(GroupBox1, "ListBox1"), 8, 20, 342, 192);
    ListBox1->SetStyle(lbOwnerDrawFixed);
    ListBox1->SetItemHeight(18);
    GroupBox2 = Placed(new TGroupBox(this, "GroupBox2"), 8, 234, 358, 52);
    SpeedButton2 = Placed(new TSpeedButton(GroupBox2, "SpeedButton2"), 8, 18, 120, 26);
    GroupBox3 = Placed(new TGroupBox(this, "GroupBox3"), 374, 8, 178, 278);
    ListBox2 = Placed(new TListBox(GroupBox3, "ListBox2"), 8, 20, 162, 250);
    BitBtn1 = Placed(new TButton(this, "BitBtn1"), 374, 296, 80, 26);
    BitBtn1->ModalResult = mrOk;
    BitBtn1->setDefault(true);
    BitBtn2 = Placed(new TButton(this, "BitBtn2"), 462, 296, 78, 26);
    BitBtn2->ModalResult = mrCancel;
    BitBtn2->Cancel = true;

    ListBox1->OnDrawItem = [this](QObject*, int index, const TRect& rect, TOwnerDrawState) {
        ListBox1DrawItem(index, rect);
    };
    ListBox1->OnDblClick = [this](QObject* s) { ListBox1DblClick(s); };
    SpeedButton2->OnClick = [this](QObject* s) { SpeedButton2Click(s); };
    mlLang1 = CreateFormTable(this, "Tdlgparametrigenerali");

    // The mapping schemes are carried through, never edited: their group is hidden and the
    // form closes up around the rest.
    GroupBox3->hide();
    BitBtn1->move(200, BitBtn1->y());
    BitBtn2->move(288, BitBtn2->y());
    resize(374, height());
    QStringList items;
    for (int i = 0; i < TAttributiProve::kCount; ++i)
        items << ToQString(mlLang1->GetTextOrDefault("IDS_0") + std::to_string(i + 1) + ">");
    ListBox1->SetItems(items);
}

void Tdlgparametrigenerali::ListBox1DrawItem(int index, const TRect& rect) {
    TCanvas& canvas = *ListBox1->Canvas();
    canvas.FillRect(rect);
    if (index < 0 || index >= TAttributiProve::kCount)
        return;
    const TAttributoProva& style = Styles.Record(index);
    canvas.TextOut(rect.Left, rect.Top,
                   mlLang1->GetTextOrDefault("IDS_0") + std::to_string(index + 1) + ">");
    const int32_t side = canvas.TextHeight("X");
    // The squares line up behind the widest caption.
    const int32_t square = rect.Left + canvas.TextWidth(mlLang1->GetTextOrDefault("IDS_1"));
    canvas.Pen.Color = clBlack;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = psSolid;
    canvas.Brush.Color = style.Color;
    canvas.Brush.Style = bsSolid;
    canvas.Rectangle(square, rect.Top, square + side, rect.Top + side);

    const int32_t line = square + side + 4;
    const int32_t width = static_cast<int32_t>(std::min<uint32_t>(style.Width, 100));
    canvas.Pen.Color = style.Color;
    canvas.Pen.Style = style.PenStyle;
    canvas.Brush.Color = clWhite;
    const int32_t first = rect.Top + (side - width) / 2;
    for (int32_t k = 0; k < width; ++k) {
        canvas.MoveTo(line, first + k);
        canvas.LineTo(line + 40, first + k);
    }
    const int32_t marker = line + 44;
    canvas.Pen.Style = psSolid;
    canvas.Brush.Color = style.Color;
    DrawMarker(canvas, marker + side / 2, rect.Top + side / 2, style.PointType, side / 2);
}

void Tdlgparametrigenerali::ListBox1DblClick(QObject*) {
    const int index = ListBox1->ItemIndex();
    if (index < 0 || index >= TAttributiProve::kCount)
        return;
    std::unique_ptr<Tattributiprova> dialog(CreateForm<Tattributiprova>(this));
    dialog->SetStyle(Styles.Record(index));
    if (dialog->ShowModal() != mrOk)
        return;
    dialog->GetStyle(Styles.Record(index));
    ListBox1->viewport()->update();
}

void Tdlgparametrigenerali::SpeedButton2Click(QObject*) {
    if (!Data || Data->ProvaCount() == 0)
        return;
    const TdataProva& first = Data->GetProva(0);
    std::unique_ptr<Ttranslatelabelsdlg> dialog(CreateForm<Ttranslatelabelsdlg>(this));
    dialog->Names.Assign(first.ChannelNames);
    dialog->Units.Assign(first.Units);
    TStringGrid& grid = *dialog->Grid1;
    grid.SetRowCount(first.ChannelNames.Count() + 1);
    for (int i = 0; i < first.ChannelNames.Count(); ++i) {
        grid.SetCells(0, i + 1, first.ChannelNames[i] + "[" + ItemText(first.Units, i) + "]");
        if (i >= Data->LabelTable.Count())
            continue;
        const std::string& entry = Data->LabelTable[i];
        const size_t at = entry.find(kLabelSeparator);
        grid.SetCells(1, i + 1, at == std::string::npos ? std::string() : entry.substr(0, at));
        grid.SetCells(2, i + 1, at == std::string::npos ? entry : entry.substr(at + 1));
    }
    if (dialog->ShowModal() != mrOk)
        return;
    Data->LabelTable.Clear();
    for (const TLabelPair& pair : dialog->Labels())
        Data->LabelTable.Add(pair[0] + kLabelSeparator + pair[1]);
}

bool EditGeneralParametersDialog(TAttributiProve& styles, TDatabuffer* data,
                                 TStringList& mappingList) {
    std::unique_ptr<Tdlgparametrigenerali> dialog(CreateForm<Tdlgparametrigenerali>());
    dialog->Styles = styles;
    dialog->Data = data;
    QStringList mapping;
    for (const std::string& name : mappingList.Items())
        mapping << ToQString(name);
    dialog->ListBox2->SetItems(mapping);
    if (dialog->ShowModal() != mrOk)
        return false;
    styles = dialog->Styles;
    mappingList.Clear();
    for (const QString& name : dialog->ListBox2->Items())
        mappingList.Add(FromQString(name));
    return true;
}

} // namespace vx
