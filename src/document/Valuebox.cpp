#include "document/Valuebox.h"

#include "data/ChannelFunctions.h"
#include "data/DataCollection.h"
#include "data/Databuff.h"
#include "document/clipGrid.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Format.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/TabSet.h"

#include <QTimer>

#include <algorithm>
#include <array>

namespace vx {

namespace {

std::string ItemText(const TStringList& list, int i) {
    return i < list.Count() ? list[i] : std::string();
}

} // namespace

TformValuebox::TformValuebox(QWidget* parent) : TForm(parent, "formValuebox") {
    resize(640, 480);
    TabSet1 = Placed(new TTabSet(this, "TabSet1"), 8, 448, 624, 26);
    Grid1 = Placed(new TclipGrid(this, "Grid1"), 8, 40, 624, 404);
    Label1 = Placed(new TLabel(this, "Label1"), 8, 12, 90, 16);
    Label2 = Placed(new TLabel(this, "Label2"), 100, 12, 50, 16);
    Label3 = Placed(new TLabel(this, "Label3"), 152, 12, 80, 16);
    Label4 = Placed(new TLabel(this, "Label4"), 234, 12, 70, 16);
    Edit1 = Placed(new TEdit(this, "Edit1"), 306, 8, 236, 24);
    Edit1->setMaxLength(255);
    SpeedButton1 = Placed(new TSpeedButton(this, "SpeedButton1"), 548, 7, 84, 26);
    Label5 = Placed(new TLabel(this, "Label5"), 200, 200, 240, 16);
    ProgressBar1 = Placed(new TProgressBar(this, "ProgressBar1"), 200, 220, 240, 20);
    Label5->hide();
    ProgressBar1->hide();
    Grid1->SetCellSource([this](int32_t col, int32_t row) { return CellText(col, row); });
    Grid1->SetColCount(1);
    Grid1->SetRowCount(3);
    Grid1->SetFixedRows(2);

    OnActivate = [this](QObject* s) { FormActivate(s); };
    // A desktop that does not activate the window still gets it filled, once it stands.
    OnShow = [this](QObject*) { QTimer::singleShot(0, this, [this] { FormActivate(this); }); };
    TabSet1->OnClick = [this](QObject* s) { TabSet1Click(s); };
    SpeedButton1->OnClick = [this](QObject* s) { SpeedButton1Click(s); };
    mlLang1 = CreateFormTable(this, "TformValuebox");
}

TformValuebox::~TformValuebox() {
    // The grid reads the collection while it paints; it must not outlive what it reads.
    Grid1->SetCellSource({});
}

void TformValuebox::resizeEvent(QResizeEvent* event) {
    TForm::resizeEvent(event);
    const int w = width();
    const int h = height();
    Grid1->setGeometry(8, 40, std::max(w - 16, 40), std::max(h - 76, 40));
    TabSet1->setGeometry(8, h - 32, std::max(w - 16, 40), 26);
    SpeedButton1->move(std::max(w - 92, 548), SpeedButton1->y());
    Label5->move((w - Label5->width()) / 2, h / 2 - 20);
    ProgressBar1->move((w - ProgressBar1->width()) / 2, h / 2);
}

const TdataProva* TformValuebox::ShownTest(int t) const {
    if (collection_) {
        const TDataSection& section = collection_->GetSection(0);
        return t < section.ProvaCount() ? &section.GetProva(t) : nullptr;
    }
    return Data && t < Data->ProvaCount() ? &Data->GetProva(t) : nullptr;
}

std::string TformValuebox::CellText(int32_t col, int32_t row) const {
    if (row == 0)
        return static_cast<size_t>(col) < header_.size() ? header_[static_cast<size_t>(col)] : "";
    if (row == 1)
        return static_cast<size_t>(col) < caption_.size() ? caption_[static_cast<size_t>(col)] : "";
    if (!hasRows_ || !shown_)
        return {};
    const int r = row - 2;
    if (col == 0)
        return IntToStr(r + 1);
    // A channel shorter than channel 0 (a short line in the test file) has no value here.
    const Tdatavector& channel = shown_->GetChannel(col - 1);
    return r < channel.Count() ? std::string(channel.TextView(r)) : std::string();
}

void TformValuebox::FormActivate(QObject*) {
    if (activated_ || !Data)
        return;
    activated_ = true;
    collection_.reset();
    QStringList tabs;
    for (int t = 0; t < Data->ProvaCount(); ++t)
        tabs << ToQString(ExtractFileName(Data->GetProva(t).FileName));
    TabSet1->SetTabs(tabs);
    if (tabs.isEmpty())
        return;
    if (TabSet1->TabIndex() == 0)
        FillGrid(0);
    else
        TabSet1->SetTabIndex(0);
}

void TformValuebox::TabSet1Click(QObject*) {
    FillGrid(TabSet1->TabIndex());
}

void TformValuebox::FillGrid(int tab) {
    const TdataProva* test = ShownTest(tab);
    if (!test || !Data)
        return;
    const TdataProva& names = Data->GetProva(tab);
    const int channels = std::max(test->ChannelCount(), 0);
    const int values = channels > 0 ? test->GetChannel(0).Count() : 0;
    const int cols = channels + 1;
    const int rows = values > 0 ? values + 2 : 3;

    header_.assign(static_cast<size_t>(cols), std::string());
    caption_.assign(static_cast<size_t>(cols), std::string());
    const std::string mask = mlLang1->GetTextOrDefault("IDS_0");
    for (int c = 1; c < cols; ++c) {
        header_[static_cast<size_t>(c)] = Format(mask, {c - 1});
        caption_[static_cast<size_t>(c)] =
            ItemText(names.ChannelNames, c - 1) + " [" + ItemText(names.Units, c - 1) + "]";
    }
    shown_ = test;
    hasRows_ = values > 0;
    Grid1->SetColCount(cols);
    Grid1->SetRowCount(rows);
    if (cols > 1)
        Grid1->SetFixedCols(1);
    Grid1->SetFixedRows(2);
    Grid1->CellsChanged();
    Label2->SetCaption(QString::number(cols - 1));
    Label4->SetCaption(QString::number(values));

    Label5->show();
    ProgressBar1->SetMax(rows - 1);
    ProgressBar1->SetPosition(0);
    ProgressBar1->show();
    ProcessMessages();
    // Widths from each character's advance: measuring every cell with the font would take
    // seconds on a long test.
    const std::array<int32_t, 256> advances = Grid1->CharAdvances();
    const auto width = [&advances](std::string_view text) {
        int32_t w = 0;
        for (const char ch : text)
            w += advances[static_cast<unsigned char>(ch)];
        return w;
    };
    std::vector<int32_t> widths(static_cast<size_t>(cols), 0);
    for (int c = 1; c < cols; ++c)
        widths[static_cast<size_t>(c)] = std::max(width(header_[static_cast<size_t>(c)]),
                                                  width(caption_[static_cast<size_t>(c)]));
    for (int c = 1; c < cols; ++c) {
        const Tdatavector& channel = test->GetChannel(c - 1);
        const int n = std::min(channel.Count(), values);
        int32_t widest = widths[static_cast<size_t>(c)];
        for (int r = 0; r < n; ++r)
            widest = std::max(widest, width(channel.TextView(r)));
        widths[static_cast<size_t>(c)] = widest;
        ProgressBar1->SetPosition(static_cast<int>(int64_t{rows - 1} * c / cols));
    }
    for (int c = 1; c < cols; ++c)
        Grid1->SetColWidths(c, widths[static_cast<size_t>(c)] + 5);
    ProgressBar1->SetPosition(rows - 1);
    Label5->hide();
    ProgressBar1->hide();
}

void TformValuebox::SpeedButton1Click(QObject*) {
    if (!Data)
        return;
    const std::string filter = FromQString(Edit1->Text()).substr(0, 255);
    std::unique_ptr<TDataCollection> made;
    bool valid = true;
    if (!filter.empty()) {
        // The new rows are made before the old ones go: a failed filter keeps the window as
        // it was.
        try {
            valid = IsValidChannelExpression(*Data, filter);
            if (valid)
                made = std::make_unique<TDataCollection>(*Data, tdatafilter{filter, -1, 0});
        } catch (const std::exception&) {
            valid = false;
        }
    }
    if (!valid) {
        Ui().MessageDlg(mlLang1->GetTextOrDefault("IDS_1"), TMsgDlgType::mtWarning, mbOK);
        return;
    }
    shown_ = nullptr;
    collection_ = std::move(made);
    FillGrid(std::max(TabSet1->TabIndex(), 0));
}

void ShowValueBoxWindow(TDatabuffer* data) {
    if (!data)
        return;
    std::unique_ptr<TformValuebox> box(CreateForm<TformValuebox>());
    box->Data = data;
    box->ShowModal();
}

} // namespace vx
