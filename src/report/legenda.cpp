#include "report/legenda.h"

#include "data/AttributiProve.h"
#include "data/Databuff.h"
#include "data/WPComp.h"
#include "platform/graphics/Drawing.h"
#include "platform/graphics/GraphicsMeta.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Paths.h"
#include "report/DataOwner.h"
#include "report/DrawBounds.h"

#include <algorithm>

namespace vx {

namespace {

// Room that the layout keeps around the grid and above its first row.
constexpr int32_t kMargin = 40;
constexpr int kSampleMillimetres = 10;

// Column and row of a placeholder's body ("field;column;row(text"); false when either is
// missing or not an integer.
bool ParsePlaceholder(std::string_view body, int32_t& column, int32_t& row) {
    const size_t first = body.find(';');
    if (first == std::string_view::npos)
        return false;
    const size_t second = body.find(';', first + 1);
    if (second == std::string_view::npos)
        return false;
    const std::string_view columnText = body.substr(first + 1, second - first - 1);
    std::string_view rowText = body.substr(second + 1);
    rowText = rowText.substr(0, rowText.find('('));
    return TryStrToInt(columnText, column) && TryStrToInt(rowText, row);
}

} // namespace

Tlegenda::Tlegenda(TComponent* owner) : TcanvasObj(owner), legendFont_(CreateDefaultFont()) {
    if (auto* dataOwner = dynamic_cast<TDataOwner*>(owner))
        data_ = dataOwner->Data();
}

Tlegenda::~Tlegenda() = default;

void Tlegenda::Draw(TCanvas& canvas) {
    canvas_ = &canvas;
    if (!Visible || !data_)
        return;
    const int32_t tests = data_->ProvaCount();
    if (tests < 1)
        return;
    AssignFont(canvas, *legendFont_);
    canvas.SetTextAlign(Align);
    // A stored row count below 1 counts as one row per test, like 0: a negative count would
    // give no columns and divide the width by zero.
    if (Numrows < 1 || Numrows > tests)
        Numrows = tests;
    const int32_t columns = (tests + Numrows - 1) / Numrows;
    const int32_t room = Width() - kMargin;
    const int32_t cellWidth = room / columns;
    const int32_t x0 = BoundsRect.Left + (room - cellWidth * columns) / 2;
    const int32_t rowHeight = canvas.TextHeight("X");
    int32_t y = BoundsRect.Top;
    for (int32_t r = 0; r < Numrows; ++r, y += rowHeight) {
        int32_t x = x0;
        for (int32_t c = 0; c < columns; ++c, x += cellWidth) {
            const int32_t index = r * columns + c;
            if (index < tests)
                DrawEntry(canvas, index,
                          Rect(x, y + kMargin, x + cellWidth, y + rowHeight + kMargin));
        }
    }
    if (Border.Visible) {
        canvas.Pen.Color = Border.Color;
        canvas.Pen.Width = TDrawBounds::Pen(Border.Width);
        canvas.Pen.Style = psSolid;
        canvas.Brush.Style = bsClear;
        canvas.Rectangle(BoundsRect);
    }
}

void Tlegenda::DrawEntry(TCanvas& canvas, int test, const TRect& cell) {
    const int32_t sample =
        UnitsToPixels(canvas.GetDeviceCaps(LOGPIXELSX), UM_mm, kSampleMillimetres);
    std::string text = showfile ? ExtractFileName(data_->GetProva(test).FileName) : "";
    text += ExpandTags(testocomune, test);
    const std::string comment = test < Commenti.Count() ? Commenti[test] : "";
    const int32_t textWidth = canvas.TextWidth(text);
    const int32_t commentWidth = canvas.TextWidth(comment);

    int32_t x = cell.Left + 30; // also for alignments the dialogs never offer
    if (Align == TA_RIGHT)
        x = cell.Right - 60 - sample - textWidth - commentWidth;
    else if (Align == TA_CENTER)
        x = cell.Left + (cell.Width() - sample - textWidth - commentWidth - 30) / 2;
    const int32_t textX = x + sample + 5;

    const TAttributoProva& style = AttributiProve().ForTest(test);
    canvas.Pen.Color = style.Color;
    canvas.Pen.Style = style.PenStyle;
    canvas.Pen.Width = 1;
    const int32_t middle = cell.Height() / 2 + cell.Top - 2;
    for (int32_t i = 0; i < 5; ++i) {
        canvas.MoveTo(x, middle + i);
        canvas.LineTo(x + sample, middle + i);
    }
    canvas.Pen.Style = psSolid;
    DrawMarker(canvas, x + (sample + 5) / 2, middle, style.PointType, cell.Height() / 3);

    canvas.SetTextAlign(TA_LEFT | TA_TOP);
    if (!text.empty())
        canvas.TextOut(textX + 5, cell.Top, text);
    if (!comment.empty())
        canvas.TextOut(textX + textWidth + 40, cell.Top, comment);
    canvas.SetTextAlign(Align);
}

std::string Tlegenda::ExpandTags(std::string_view text, int test) const {
    std::string out;
    size_t pos = 0;
    for (size_t open; (open = text.find("&<", pos)) != std::string_view::npos;) {
        out += text.substr(pos, open - pos);
        // A placeholder that never closes takes the rest of the text.
        const size_t close = text.find('>', open + 2);
        const std::string_view body =
            text.substr(open + 2, close == std::string_view::npos ? close : close - open - 2);
        pos = close == std::string_view::npos ? text.size() : close + 1;
        int32_t column = 0, row = 0;
        if (ParsePlaceholder(body, column, row))
            out += GetHeaderCell(test, column, row);
    }
    out += text.substr(pos);
    return out;
}

std::string Tlegenda::GetHeaderCell(int test, int column, int row) const {
    if (!data_ || test < 0 || test >= data_->ProvaCount())
        return {};
    const TStringList& cells = data_->GetProva(test).HeaderCells;
    for (int i = 0; i < cells.Count(); ++i) {
        const std::string_view cell = cells[i];
        const size_t comma = cell.find(',');
        const size_t hash = cell.find('#');
        if (comma == std::string_view::npos || hash == std::string_view::npos || hash < comma)
            continue;
        int32_t c = 0, r = 0;
        if (TryStrToInt(cell.substr(0, comma), c) &&
            TryStrToInt(cell.substr(comma + 1, hash - comma - 1), r) && c == column && r == row)
            return std::string(cell.substr(hash + 1));
    }
    return {};
}

const TClassInfo& Tlegenda::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<Tlegenda>("Tlegenda", &TcanvasObj::StaticClassInfo())
            .Object<TFont>("legendFont", FontClassInfo(),
                           [](Tlegenda& l) { return &l.legendFont(); })
            .Field("Visible", &Tlegenda::Visible, 0)
            .StringList("Commenti", [](Tlegenda& l) { return &l.Commenti; })
            .Field("Numrows", &Tlegenda::Numrows, 1)
            .Integer(
                "Align", [](const Tlegenda& l) { return l.Align; },
                [](Tlegenda& l, int64_t v) { l.Align = static_cast<uint16_t>(v); }, 6, nullptr,
                "Word")
            .Enumeration(
                "legendAlign", "TAlign",
                {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"},
                [](const Tlegenda& l) { return l.legendAlign; },
                [](Tlegenda& l, int64_t v) { l.legendAlign = static_cast<TAlign>(v); }, alTop)
            .Object<TBorder>("Border", TBorder::StaticClassInfo(),
                             [](Tlegenda& l) { return &l.Border; })
            .String(
                "testocomune", [](const Tlegenda& l) { return l.testocomune; },
                [](Tlegenda& l, std::string v) { l.testocomune = std::move(v); })
            .Field("showfile", &Tlegenda::showfile, 1)
            .Build();
    return info;
}

} // namespace vx
