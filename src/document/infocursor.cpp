#include "document/infocursor.h"

#include "data/Databuff.h"
#include "data/ValueFormat.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Timer.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StringGrid.h"
#include "report/Asse.h"
#include "report/WPSection.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string_view>
#include <utility>

namespace vx {

namespace {

int32_t FirstChannelOf(const TAsse& axis) {
    return axis.Channels().Count() > 0 ? axis.Channels().GetItem(0) : -1;
}

bool HasChannel(const TdataProva& test, int32_t channel) {
    return channel >= 0 && channel < test.ChannelCount();
}

// The row of the test whose X value is nearest to x (the first of equals), among the rows
// whose key channel reads keyText when a key channel is given; -1 when there is none.
int NearestRow(TdataProva& test, int32_t xChannel, int32_t keyChannel, std::string_view keyText,
               double x) {
    if (!HasChannel(test, xChannel) || (keyChannel >= 0 && !HasChannel(test, keyChannel)))
        return -1;
    Tdatavector& values = test.GetChannel(xChannel);
    const Tdatavector* key = keyChannel >= 0 ? &test.GetChannel(keyChannel) : nullptr;
    int best = -1;
    double bestDistance = 0;
    const int rows = key ? std::min(values.Count(), key->Count()) : values.Count();
    for (int r = 0; r < rows; ++r) {
        if (key && key->TextView(r) != keyText)
            continue;
        const double distance = std::fabs(values.GetFloat(r) - x);
        if (best < 0 || distance < bestDistance) {
            best = r;
            bestDistance = distance;
        }
    }
    return best;
}

std::string ValueText(TdataProva& test, int32_t channel, int row, const std::string& mask) {
    if (row < 0 || !HasChannel(test, channel))
        return {};
    Tdatavector& values = test.GetChannel(channel);
    return row < values.Count() ? FormatValueByMask(values.GetFloat(row), mask) : std::string();
}

} // namespace

Tfrm_infocursor::Tfrm_infocursor(QWidget* parent) : TForm(parent, "frm_infocursor") {
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(410, 220);
    SpeedButton1 = Placed(new TSpeedButton(this, "SpeedButton1"), 4, 4, 100, 24);
    SpeedButton2 = Placed(new TSpeedButton(this, "SpeedButton2"), 108, 4, 184, 24);
    SpeedButton3 = Placed(new TSpeedButton(this, "SpeedButton3"), 296, 4, 110, 24);
    SpeedButton2->SetGroupIndex(1);
    SpeedButton3->SetGroupIndex(1);
    SpeedButton2->SetDown(true);
    Grid1 = Placed(new TStringGrid(this, "Grid1"), 4, 32, 402, 184);
    Grid1->SetOptions(0);

    timer_ = std::make_unique<TTimer>();
    Timer1 = timer_.get();
    Timer1->SetInterval(200);
    Timer1->OnTimer = [this](TComponent*) { Timer1Timer(); };

    SpeedButton2->OnClick = [this](QObject* s) { SpeedButton2Click(s); };
    SpeedButton3->OnClick = [this](QObject* s) { SpeedButton3Click(s); };
    // Only the program closes the window, when its graph lets it go.
    OnCloseQuery = [this](QObject*, bool& canClose) { canClose = closing_; };
    mlLang1 = CreateFormTable(this, "Tfrm_infocursor");
}

Tfrm_infocursor::~Tfrm_infocursor() {
    Timer1->OnTimer = nullptr;
}

void Tfrm_infocursor::resizeEvent(QResizeEvent* event) {
    TForm::resizeEvent(event);
    Grid1->setGeometry(4, 32, std::max(width() - 8, 40), std::max(height() - 36, 40));
}

void Tfrm_infocursor::Setup(TDatabuffer* data, TAsse* xAxis, TWPSide* leftSide,
                            TWPSide* rightSide) {
    data_ = data;
    xAxis_ = xAxis;
    left_ = leftSide;
    right_ = rightSide;
    mode_ = 1;
    SpeedButton2->SetDown(true);
    const std::vector<TRowSource> rows = CurrentRows();
    Layout(RowTitles(rows), ColumnTitles());
}

void Tfrm_infocursor::SetCursorPos(int32_t x, int32_t y) {
    x_ = x;
    y_ = y;
}

void Tfrm_infocursor::MarkClosing() {
    closing_ = true;
    Timer1->SetEnabled(false);
}

void Tfrm_infocursor::SpeedButton2Click(QObject*) {
    mode_ = 1;
}

void Tfrm_infocursor::SpeedButton3Click(QObject*) {
    mode_ = 0;
}

std::vector<Tfrm_infocursor::TRowSource> Tfrm_infocursor::CurrentRows() const {
    std::vector<TRowSource> rows;
    for (TWPSide* side : {left_, right_}) {
        if (!side)
            continue;
        for (int a = 0; a < side->AxisCount(); ++a) {
            TAsse* axis = side->GetAxisByIndex(a);
            for (int c = 0; axis && c < axis->Channels().Count(); ++c)
                rows.push_back({axis, axis->Channels().GetItem(c)});
        }
    }
    return rows;
}

std::vector<std::string> Tfrm_infocursor::RowTitles(const std::vector<TRowSource>& rows) const {
    std::vector<std::string> titles{mlLang1->GetTextOrDefault("IDS_0")};
    const int32_t xChannel = xAxis_ ? FirstChannelOf(*xAxis_) : -1;
    titles.push_back(xChannel >= 0 ? xAxis_->ChannelCaption(xChannel) : std::string());
    for (const TRowSource& row : rows)
        titles.push_back(row.Axis->ChannelCaption(row.Channel));
    return titles;
}

std::vector<std::string> Tfrm_infocursor::ColumnTitles() const {
    std::vector<std::string> titles;
    for (int t = 0; data_ && t < data_->ProvaCount(); ++t)
        titles.push_back(ExtractFileName(data_->GetProva(t).FileName));
    return titles;
}

void Tfrm_infocursor::Layout(const std::vector<std::string>& rowTitles,
                             const std::vector<std::string>& columnTitles) {
    rowTitles_ = rowTitles;
    columnTitles_ = columnTitles;
    const int cols = static_cast<int>(columnTitles.size()) + 1;
    Grid1->SetColCount(cols);
    Grid1->SetRowCount(static_cast<int>(rowTitles.size()));
    Grid1->SetFixedCols(cols > 1 ? 1 : 0);
    Grid1->SetFixedRows(1);
    int32_t widest = 0;
    for (int r = 0; r < Grid1->RowCount(); ++r) {
        Grid1->SetCells(0, r, rowTitles[static_cast<size_t>(r)]);
        widest = std::max(widest, Grid1->TextWidth(rowTitles[static_cast<size_t>(r)]));
        for (int c = 1; c < cols; ++c)
            Grid1->SetCells(c, r, r == 0 ? columnTitles[static_cast<size_t>(c - 1)] : "");
    }
    Grid1->SetColWidths(0, widest + 5);
    for (int c = 1; c < cols; ++c)
        Grid1->SetColWidths(c, Grid1->TextWidth(columnTitles[static_cast<size_t>(c - 1)]) + 5);
}

void Tfrm_infocursor::Timer1Timer() {
    if (closing_ || !xAxis_)
        return;
    // A tick that fails leaves the cells as they are: a message five times a second would
    // lock the user out.
    try {
        // The sections dialog and graph files replace the axes of the sides: every tick looks
        // at them afresh.
        const std::vector<TRowSource> rows = CurrentRows();
        std::vector<std::string> rowTitles = RowTitles(rows);
        std::vector<std::string> columnTitles = ColumnTitles();
        if (rowTitles != rowTitles_ || columnTitles != columnTitles_)
            Layout(rowTitles, columnTitles);
        if (mode_ == 1)
            ShowSnapped(rows);
        else
            ShowFree(rows);
    } catch (const std::exception&) {
    }
}

void Tfrm_infocursor::WriteColumn(int col, const std::vector<std::string>& texts) {
    for (size_t i = 0; i < texts.size(); ++i)
        Grid1->SetCells(col, static_cast<int>(i) + 1, texts[i]);
}

void Tfrm_infocursor::ShowSnapped(const std::vector<TRowSource>& rows) {
    if (!data_)
        return;
    const int32_t xChannel = FirstChannelOf(*xAxis_);
    const double x = xAxis_->PosToValue(x_ - xAxis_->Start());
    for (int t = 0; t < data_->ProvaCount(); ++t) {
        TdataProva& test = data_->GetProva(t);
        std::vector<std::string> texts(rows.size() + 1);
        // One search per filter: the unfiltered one under key -1.
        std::map<std::pair<int32_t, std::string>, int> found;
        const auto sampleRow = [&](const TAsse& axis) {
            const bool keyed = axis.filtro >= 0 && axis.filtrotipo == 1;
            std::pair<int32_t, std::string> key{keyed ? axis.filtro : -1,
                                                keyed ? axis.filtrovalore : std::string()};
            const auto at = found.find(key);
            if (at != found.end())
                return at->second;
            const int row = NearestRow(test, xChannel, key.first, key.second, x);
            found.emplace(std::move(key), row);
            return row;
        };
        for (size_t i = 0; i < rows.size(); ++i) {
            const int row = sampleRow(*rows[i].Axis);
            texts[i + 1] = ValueText(test, rows[i].Channel, row, rows[i].Axis->Formato);
            // The X row shows the sample of the last channel handled.
            texts[0] = ValueText(test, xChannel, row, xAxis_->Formato);
        }
        if (rows.empty())
            texts[0] = Grid1->Cells(t + 1, 1);
        WriteColumn(t + 1, texts);
    }
}

void Tfrm_infocursor::ShowFree(const std::vector<TRowSource>& rows) {
    std::vector<std::string> texts(rows.size() + 1);
    texts[0] = FormatValueByMask(xAxis_->PosToValue(x_ - xAxis_->Start()), xAxis_->Formato);
    for (size_t i = 0; i < rows.size(); ++i) {
        const TAsse& axis = *rows[i].Axis;
        texts[i + 1] = FormatValueByMask(axis.PosToValue(y_ - axis.Start()), axis.Formato);
    }
    for (int c = 1; c < Grid1->ColCount(); ++c)
        WriteColumn(c, texts);
}

} // namespace vx
