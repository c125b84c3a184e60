#include "report/Intestazione.h"

#include "data/Databuff.h"
#include "data/GlobalText.h"
#include "platform/graphics/Drawing.h"
#include "platform/graphics/GraphicsMeta.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/Printer.h"
#include "platform/graphics/Screen.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Format.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "report/DrawBounds.h"
#include "report/EditorHooks.h"
#include "report/LBSTRParser.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace vx {

namespace {

constexpr std::string_view kOpening = "&<";
constexpr std::string_view kErr = "Err!";
constexpr int32_t kBorderReach = 15; // printer pixels either side of a border
// No table has more: a hostile stream cannot make one grow without bound.
constexpr int64_t kMaxCount = 65536;
// Row placeholders nest; a line nested deeper than this is taken as plain text, so that no
// stored line can exhaust the stack.
constexpr int kMaxNesting = 64;

std::vector<std::string> SplitFields(std::string_view s, char delimiter) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t end = s.find(delimiter, start);
        fields.emplace_back(s.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

// Text outside placeholders loses every "&<" that opened none.
std::string WithoutOpenings(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s.compare(i, kOpening.size(), kOpening) == 0) {
            ++i;
            continue;
        }
        out += s[i];
    }
    return out;
}

// Channel placeholders first, so that ")>" inside one never ends a header-cell placeholder.
// The parser runs on an upper-cased copy (same positions), so CHN matches in any case.
std::vector<TLBFRAG> FindPlaceholders(std::string_view line) {
    TLBSTRParser parser;
    parser.AddDelimiters("&<CHN", ">");
    parser.AddDelimiters("&<", ")>");
    parser.Parse(UpperCase(line));
    std::vector<TLBFRAG> fragments;
    for (int i = 0; i < parser.FragmentCount(); ++i)
        fragments.push_back(parser.GetFragment(i));
    return fragments;
}

bool IsRowPlaceholder(std::string_view fragment) {
    const std::string_view rest = fragment.substr(kOpening.size());
    return SameText(rest.substr(0, rest.find(';')), "ROW");
}

// "&<" test ";" column ";" row "(" text ")>".
struct HeaderRef {
    int32_t Test = 0;
    int32_t Column = 0;
    int32_t Row = 0;
    std::string Text;
};

std::optional<HeaderRef> ParseHeaderRef(std::string_view fragment) {
    if (fragment.size() < 4)
        return std::nullopt;
    const std::string_view inner = fragment.substr(2, fragment.size() - 4);
    const size_t paren = inner.find('(');
    if (paren == std::string_view::npos)
        return std::nullopt;
    const std::vector<std::string> fields = SplitFields(inner.substr(0, paren), ';');
    HeaderRef ref;
    if (fields.size() != 3 || !TryStrToInt(fields[0], ref.Test) ||
        !TryStrToInt(fields[1], ref.Column) || !TryStrToInt(fields[2], ref.Row))
        return std::nullopt;
    ref.Text = std::string(inner.substr(paren + 1));
    return ref;
}

std::string ExpandHeaderRef(const TDatabuffer* buffer, std::string_view fragment) {
    const std::optional<HeaderRef> ref = ParseHeaderRef(fragment);
    if (!buffer || !ref || ref->Test < 1 || ref->Test > buffer->ProvaCount())
        return {};
    const std::string prefix = IntToStr(ref->Column) + "," + IntToStr(ref->Row) + "#";
    const TStringList& cells = buffer->GetProva(ref->Test - 1).HeaderCells;
    for (const std::string& entry : cells.Items())
        if (entry.compare(0, prefix.size(), prefix) == 0)
            return entry.substr(prefix.size());
    return {};
}

// The value of a channel placeholder, "Err!" where the value does not exist, or nothing when
// the placeholder itself is wrong.
std::optional<std::string> ExpandChannel(TDatabuffer* buffer, std::string_view fragment) {
    const std::vector<std::string> f =
        SplitFields(fragment.substr(2, fragment.size() - 3), ';'); // CHN;test;channel;row;prec
    int32_t test = 0;
    int32_t channel = 0;
    if (!buffer || f.size() < 5 || !TryStrToInt(f[1], test) || !TryStrToInt(f[2], channel) ||
        test < 1 || test > buffer->ProvaCount())
        return std::nullopt;
    TdataProva& prova = buffer->GetProva(test - 1);
    if (channel < 0 || channel >= prova.ChannelCount())
        return std::nullopt;
    Tdatavector& values = prova.GetChannel(channel);
    const std::string rowField = UpperCase(f[3]);
    const std::string_view key = f.size() > 5 ? std::string_view(f[5]) : std::string_view();
    int32_t row = -1;
    const bool isWord =
        rowField == "MIN" || rowField == "MAX" || rowField == "FIRST" || rowField == "LAST";
    if (!isWord) {
        if (!TryStrToInt(f[3], row))
            return std::string(kErr);
        if (row < 0)
            return std::nullopt;
    }

    double value = 0;
    if (key.empty()) {
        const int count = values.Count();
        if (rowField == "MIN") {
            value = values.Min();
        } else if (rowField == "MAX") {
            value = values.Max();
        } else {
            const int r = rowField == "FIRST" ? 0 : rowField == "LAST" ? count - 1 : row;
            if (count == 0 || r >= count)
                return std::string(kErr);
            value = values.GetFloat(r);
        }
    } else {
        // The rows that CopyRowsWithKey would copy, read in place: the key channel is
        // scanned and only the asked channel is read, with "0" for rows it lacks.
        const Tdatavector& keys = prova.GetChannel(1);
        const int rows = std::min(prova.GetChannel(0).Count(), keys.Count());
        auto valueAt = [&values](int r) { return r < values.Count() ? values.GetFloat(r) : 0.0; };
        const bool wantMin = rowField == "MIN";
        const bool wantMax = rowField == "MAX";
        const bool wantLast = rowField == "LAST";
        int selected = 0;
        int found = -1;
        for (int r = 0; r < rows; ++r) {
            if (keys.TextView(r) != key)
                continue;
            if (wantMin || wantMax) {
                const double v = valueAt(r);
                if (selected == 0 || (wantMin ? v < value : v > value))
                    value = v;
            } else if (wantLast || selected == (rowField == "FIRST" ? 0 : row)) {
                found = r;
                if (!wantLast)
                    break;
            }
            ++selected;
        }
        if (!wantMin && !wantMax) {
            if (found < 0)
                return std::string(kErr);
            value = valueAt(found);
        }
    }
    return Format("%" + f[4] + "f", {value});
}

std::string ExpandLine(TDatabuffer* buffer, std::string_view line, int depth = 0) {
    if (depth > kMaxNesting)
        return WithoutOpenings(line);
    std::string out;
    size_t pos = 0;
    for (const TLBFRAG& frag : FindPlaceholders(line)) {
        const size_t start = static_cast<size_t>(frag.Start - 1);
        out += WithoutOpenings(line.substr(pos, start - pos));
        const std::string_view text = line.substr(start, static_cast<size_t>(frag.Length));
        pos = start + text.size();
        // A placeholder that fails is left out; the rest of the line is still drawn.
        try {
            if (frag.Pair == 0)
                out += ExpandChannel(buffer, text).value_or("");
            else if (IsRowPlaceholder(text))
                out += ExpandLine(buffer, text.substr(kOpening.size()), depth + 1);
            else
                out += ExpandHeaderRef(buffer, text);
        } catch (const Exception&) {
        }
    }
    out += WithoutOpenings(line.substr(pos));
    return out;
}

std::string ShiftLine(std::string_view line, int32_t fromRow, int32_t delta, int depth = 0) {
    if (depth > kMaxNesting)
        return std::string(line);
    std::string out;
    size_t pos = 0;
    for (const TLBFRAG& frag : FindPlaceholders(line)) {
        const size_t start = static_cast<size_t>(frag.Start - 1);
        out += line.substr(pos, start - pos);
        const std::string_view text = line.substr(start, static_cast<size_t>(frag.Length));
        pos = start + text.size();
        if (frag.Pair == 0) {
            out += text;
        } else if (IsRowPlaceholder(text)) {
            out += kOpening;
            out += ShiftLine(text.substr(kOpening.size()), fromRow, delta, depth + 1);
        } else if (auto ref = ParseHeaderRef(text); ref && ref->Row >= fromRow) {
            out += "&<" + IntToStr(ref->Test) + ";" + IntToStr(ref->Column) + ";" +
                   IntToStr(int64_t{ref->Row} + delta) + "(" + ref->Text + ")>";
        } else {
            out += text;
        }
    }
    out += line.substr(pos);
    return out;
}

int32_t TruncPixels(int32_t size, float percent) {
    // A stored share may be anything a float holds; a cell never spans more than its table.
    const double share = std::isnan(percent) ? 0.0 : std::clamp<double>(percent, 0, 100);
    return static_cast<int32_t>(Trunc(static_cast<double>(size) / 100.0 * share));
}

// Index of the part (column or row) whose span [edges[i], edges[i+1]) holds v; the first or
// last part outside.
int32_t PartAt(const std::vector<int32_t>& edges, int32_t v) {
    const int32_t parts = static_cast<int32_t>(edges.size()) - 1;
    for (int32_t i = 0; i < parts; ++i)
        if (v < edges[static_cast<size_t>(i) + 1])
            return i;
    return std::max(0, parts - 1);
}

} // namespace

// ---------------------------------------------------------------------------------- TCella

TCella::TCella(TComponent* owner) : TComponent(owner), Font(*CreateDefaultFont()) {}

TCella::~TCella() = default;

const TClassInfo& TCella::StaticClassInfo() {
    using C = TCella;
    auto width = [](int side) {
        return std::pair{[side](const C& c) { return c.BorderWidth[static_cast<size_t>(side)]; },
                         [side](C& c, int64_t v) {
                             c.BorderWidth[static_cast<size_t>(side)] = static_cast<int32_t>(v);
                         }};
    };
    static const TClassInfo info =
        TClassBuilder<C>("TCella", &TComponent::StaticClassInfo())
            .Integer(
                "Width", [](const C& c) { return c.Width; },
                [](C& c, int64_t v) { c.Width = static_cast<int32_t>(v); }, 0)
            .Integer(
                "Height", [](const C& c) { return c.Height; },
                [](C& c, int64_t v) { c.Height = static_cast<int32_t>(v); }, 0)
            .Float(
                "DIMW", [](const C& c) { return c.DIMW; },
                [](C& c, double v) { c.DIMW = static_cast<float>(v); }, 10.0, "Single")
            .Float(
                "DIMH", [](const C& c) { return c.DIMH; },
                [](C& c, double v) { c.DIMH = static_cast<float>(v); }, 10.0, "Single")
            .Set(
                "Border", "Tborderstyles",
                {"BS_None", "BS_left", "BS_top", "BS_right", "BS_Bottom", "BS_ALL"},
                [](const C& c) { return c.Border; },
                [](C& c, int64_t v) { c.Border = static_cast<Tborderstyles>(v) & 0x3F; },
                BorderBit(BS_None))
            .Integer("borderLwidth", width(0).first, width(0).second, 1)
            .Integer("borderTwidth", width(1).first, width(1).second, 1)
            .Integer("borderRwidth", width(2).first, width(2).second, 1)
            .Integer("borderBwidth", width(3).first, width(3).second, 1)
            .Object<TPen>("Pen", PenClassInfo(), [](C& c) { return &c.Pen; })
            .Object<TBrush>("Brush", BrushClassInfo(), [](C& c) { return &c.Brush; })
            .Object<TFont>("Font", FontClassInfo(), [](C& c) { return &c.Font; })
            .StringList("text", [](C& c) { return &c.text; })
            .Bitmap(
                "bitmap", [](const C& c) { return c.bitmap.SaveToBytes(); },
                [](C& c, std::string v) { c.bitmap.LoadFromBytes(v); })
            .Integer(
                "Bitmap_visualization", [](const C& c) { return c.Bitmap_visualization; },
                [](C& c, int64_t v) { c.Bitmap_visualization = static_cast<uint8_t>(v); }, 0,
                nullptr, "Byte")
            .Integer(
                "Fontorientation", [](const C& c) { return c.Fontorientation; },
                [](C& c, int64_t v) { c.Fontorientation = static_cast<int32_t>(v); }, 0)
            .Integer(
                "WAlign", [](const C& c) { return c.WAlign; },
                [](C& c, int64_t v) { c.WAlign = static_cast<uint16_t>(v); }, 0, nullptr, "Word")
            .Integer(
                "HAlign", [](const C& c) { return c.HAlign; },
                [](C& c, int64_t v) { c.HAlign = static_cast<uint16_t>(v); }, 0, nullptr, "Word")
            .Field("jailrect", &C::jailrect, 1)
            .Float(
                "Bitmapscale", [](const C& c) { return c.Bitmapscale; },
                [](C& c, double v) { c.Bitmapscale = v; }, 1.0)
            .Build();
    return info;
}

// --------------------------------------------------------------------------- TIntestazione

TIntestazione::TIntestazione(TComponent* owner) : TMetaobj(owner) {
    columns_ = 5;
    rows_ = 5;
    cells_.AddRows(rows_);
    for (int32_t r = 0; r < rows_; ++r)
        for (int32_t c = 0; c < columns_; ++c)
            cells_.AddToRow(r, NewCell(20.0f, 20.0f));
    SetEnabled(true);
    SetVisible(true);
    Dirty = true;
    OnClick = [](TComponent*) {};
    OnDblClick = [this](TComponent* sender) { ToggleCellEditor(sender); };
}

TIntestazione::~TIntestazione() {
    if (paletteOpen_) {
        paletteOpen_ = false;
        EditorHooks().CloseCellPalette(*this);
    }
    FreeCells();
}

TCella* TIntestazione::NewCell(float dimw, float dimh) {
    auto* cell = new TCella(this);
    cell->DIMW = dimw;
    cell->DIMH = dimh;
    return cell;
}

void TIntestazione::FreeCells() {
    for (int32_t r = 0; r < cells_.RowCount(); ++r)
        for (void* cell : cells_.GetRow(r))
            delete static_cast<TCella*>(cell);
    cells_.SetRowCount(0);
}

TCella* TIntestazione::GetCell(int32_t column, int32_t row) const {
    return cells_.GetItemAs<TCella>(column, row);
}

void TIntestazione::ResetCell(int32_t column, int32_t row) {
    TCella* old = GetCell(column, row);
    cells_.SetItem(column, row, NewCell(10.0f, 10.0f));
    delete old;
    Redraw();
}

void TIntestazione::SelectAll() {
    Selection = {0, 0, columns_ - 1, rows_ - 1};
}

void TIntestazione::SetColumnCount(int32_t n) {
    n = std::max(0, n);
    if (n > columns_)
        InsertColumns(columns_, n - columns_);
    else if (n < columns_)
        DeleteColumns(n, columns_ - n);
}

void TIntestazione::SetRowCount(int32_t n) {
    n = std::max(0, n);
    if (n > rows_)
        InsertRows(rows_, n - rows_);
    else if (n < rows_)
        DeleteRows(n, rows_ - n);
}

void TIntestazione::InsertColumns(int32_t at, int32_t count) {
    if (count <= 0)
        return;
    if (at < 0 || at > columns_)
        throw EListError("List index out of bounds (" + IntToStr(at) + ")");
    const bool empty = columns_ == 0 || rows_ == 0;
    const double w = empty ? 100.0 / count : GetCell(columns_ - 1, 0)->DIMW / (count + 1.0);
    if (w < 1.0) {
        Ui().ShowMessage(GlobalText("IDS_13") + "\r\n" + GlobalText("IDS_14"));
        return;
    }
    for (int32_t r = 0; r < rows_; ++r) {
        TMatrix::TRow& row = cells_.GetRow(r);
        const float h = row.empty() ? static_cast<float>(100.0 / rows_)
                                    : static_cast<TCella*>(row.front())->DIMH;
        if (!row.empty())
            static_cast<TCella*>(row.back())->DIMW = static_cast<float>(w);
        for (int32_t i = 0; i < count; ++i)
            cells_.InsertInRow(r, at + i, NewCell(static_cast<float>(w), h));
    }
    columns_ += count;
    Redraw();
}

void TIntestazione::InsertRows(int32_t at, int32_t count) {
    if (count <= 0)
        return;
    if (at < 0 || at > rows_)
        throw EListError("List index out of bounds (" + IntToStr(at) + ")");
    const bool empty = columns_ == 0 || rows_ == 0;
    const double h = empty ? 100.0 / count : GetCell(0, rows_ - 1)->DIMH / (count + 1.0);
    if (h < 1.0) {
        Ui().ShowMessage(GlobalText("IDS_15") + "\r\n" + GlobalText("IDS_16"));
        return;
    }
    const int32_t oldLast = rows_ - 1;
    cells_.InsertRows(at, count);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t r = at + i;
        for (int32_t c = 0; c < columns_; ++c) {
            const float w = r == 0 ? static_cast<float>(100.0 / columns_) : GetCell(c, r - 1)->DIMW;
            cells_.AddToRow(r, NewCell(w, static_cast<float>(h)));
        }
    }
    rows_ += count;
    if (oldLast >= 0) {
        const int32_t last = oldLast >= at ? oldLast + count : oldLast;
        for (void* cell : cells_.GetRow(last))
            static_cast<TCella*>(cell)->DIMH = static_cast<float>(h);
    }
    Redraw();
}

void TIntestazione::DeleteColumns(int32_t at, int32_t count) {
    if (at < 0 || at >= columns_ || count <= 0)
        return;
    count = std::min(count, columns_ - at);
    for (int32_t r = 0; r < rows_; ++r) {
        TMatrix::TRow& row = cells_.GetRow(r);
        const auto first = row.begin() + at;
        for (auto it = first; it != first + count; ++it)
            delete static_cast<TCella*>(*it);
        row.erase(first, first + count);
    }
    columns_ -= count;
    NormalizeLastColumn();
    Selection.Left = Selection.Right = 0;
    Redraw();
}

void TIntestazione::DeleteRows(int32_t at, int32_t count) {
    if (at < 0 || at >= rows_ || count <= 0)
        return;
    count = std::min(count, rows_ - at);
    for (int32_t r = at; r < at + count; ++r)
        for (void* cell : cells_.GetRow(r))
            delete static_cast<TCella*>(cell);
    cells_.DeleteRows(at, count);
    rows_ -= count;
    if (rows_ >= 2 && columns_ >= 1) {
        double others = 0;
        for (int32_t r = 0; r < rows_ - 1; ++r)
            others += GetCell(0, r)->DIMH;
        for (void* cell : cells_.GetRow(rows_ - 1))
            static_cast<TCella*>(cell)->DIMH = static_cast<float>(100.0 - others);
    } else if (rows_ == 1) {
        for (void* cell : cells_.GetRow(0))
            static_cast<TCella*>(cell)->DIMH = 100.0f;
    }
    Selection.Top = Selection.Bottom = 0;
    Redraw();
}

void TIntestazione::NormalizeLastColumn() {
    if (rows_ == 0 || columns_ == 0)
        return;
    double others = 0;
    for (int32_t c = 0; c < columns_ - 1; ++c)
        others += GetCell(c, 0)->DIMW;
    for (int32_t r = 0; r < rows_; ++r)
        GetCell(columns_ - 1, r)->DIMW = static_cast<float>(100.0 - others);
}

void TIntestazione::Redraw() {
    Dirty = true;
    Invalidate();
}

// ------------------------------------------------------------------------------ drawing

void TIntestazione::LayOut() {
    const int32_t w = GetCoord(4);
    const int32_t h = GetCoord(5);
    for (int32_t r = 0; r < rows_; ++r)
        for (void* item : cells_.GetRow(r)) {
            auto* cell = static_cast<TCella*>(item);
            cell->Width = TruncPixels(w, cell->DIMW);
            cell->Height = TruncPixels(h, cell->DIMH);
        }
}

void TIntestazione::Render() {
    const int32_t w = GetCoord(4);
    const int32_t h = GetCoord(5);
    Metafile& picture = GetMetafile();
    if (!Dirty && picture.Width() == w && picture.Height() == h)
        return;
    Dirty = false;
    picture.SetSize(w, h);
    LayOut();
    TMetafileCanvas canvas(picture, Printer().Caps());
    DrawCells(canvas);
    if (editMode_)
        DrawEditFrame(canvas);
    canvas.Close();
}

void TIntestazione::Paint() {
    TMetaobj::Paint();
    if (!Parent() || !Enabled())
        return;
    Selection.Left = std::min(Selection.Left, columns_ - 1);
    Selection.Right = std::min(Selection.Right, columns_ - 1);
    Selection.Top = std::min(Selection.Top, rows_ - 1);
    Selection.Bottom = std::min(Selection.Bottom, rows_ - 1);
    Render();
}

// x advances by the cell widths, y by the height of each row's first cell.
std::vector<TIntestazione::Placed> TIntestazione::PlacedCells() const {
    std::vector<Placed> placed;
    int32_t y = 0;
    for (int32_t r = 0; r < rows_; ++r) {
        const TMatrix::TRow& row = cells_.GetRow(r);
        int32_t x = 0;
        for (size_t c = 0; c < row.size(); ++c) {
            const auto* cell = static_cast<const TCella*>(row[c]);
            placed.push_back(
                {cell, static_cast<int32_t>(c), r, {x, y, x + cell->Width, y + cell->Height}});
            x += cell->Width;
        }
        if (!row.empty())
            y += static_cast<const TCella*>(row.front())->Height;
    }
    return placed;
}

void TIntestazione::DrawCells(TCanvas& canvas) {
    const std::vector<Placed> placed = PlacedCells();
    const TDeviceCaps& caps = canvas.Caps();
    const double screenDpi = Screen().PixelsPerInch;
    for (const auto& [cell, column, row, r] : placed) {
        const Bitmap& picture = cell->bitmap;
        if (picture.Empty()) {
            if (ColorToRGB(cell->Brush.Color) != clWhite) {
                canvas.Brush = cell->Brush;
                canvas.Brush.Style = bsSolid;
                canvas.FillRect(r);
            }
            continue;
        }
        const double pw = picture.Width();
        const double ph = picture.Height();
        TRect dest = r;
        if (cell->Bitmap_visualization == 0) {
            // The stored scale may be anything a double holds; a picture larger than any
            // paper shows nothing more.
            const double scale = cell->Bitmapscale;
            const auto side = [scale, screenDpi](double pixels, int32_t dpi) {
                const double v = std::trunc(pixels * scale * dpi / screenDpi);
                return std::isnan(v) ? 0
                                     : static_cast<int32_t>(
                                           std::clamp<double>(v, 0, TDrawBounds::PicturePixels));
            };
            dest.Right = r.Left + side(pw, caps.LogPixelsX);
            dest.Bottom = r.Top + side(ph, caps.LogPixelsY);
        } else if (cell->Bitmap_visualization == 1) {
            const double ratio = std::min((r.Right - r.Left) / pw, (r.Bottom - r.Top) / ph);
            dest.Right = r.Left + static_cast<int32_t>(Trunc(pw * ratio));
            dest.Bottom = r.Top + static_cast<int32_t>(Trunc(ph * ratio));
        }
        canvas.StretchDraw(dest, picture);
    }

    for (const auto& [cell, column, row, r] : placed) {
        canvas.Pen = cell->Pen;
        const TPoint corners[5] = {{r.Left, r.Bottom},
                                   {r.Left, r.Top},
                                   {r.Right, r.Top},
                                   {r.Right, r.Bottom},
                                   {r.Left, r.Bottom}};
        const Tborderstyle sides[4] = {BS_left, BS_top, BS_right, BS_Bottom};
        for (size_t side = 0; side < 4; ++side) {
            canvas.Pen.Width = TDrawBounds::Pen(cell->BorderWidth[side]);
            if (!cell->HasBorder(sides[side]))
                continue;
            canvas.MoveTo(corners[side].X, corners[side].Y);
            canvas.LineTo(corners[side + 1].X, corners[side + 1].Y);
        }
        if (cell->HasBorder(BS_ALL)) {
            // An outline: the fill or picture under it stays.
            canvas.Brush.Style = bsClear;
            canvas.Rectangle(r);
        }
    }

    for (const auto& [cell, column, row, r] : placed)
        if (!cell->text.Empty())
            DrawCellText(canvas, *cell, r);
}

void TIntestazione::DrawCellText(TCanvas& canvas, const TCella& cell, const TRect& r) {
    // A clear brush, or TextRect would fill the whole cell behind each line.
    canvas.Brush.Style = bsClear;
    SetPrinterFont(canvas.Font, cell.Font);
    const int32_t L = canvas.TextHeight("X");
    const int32_t n = cell.text.Count();
    const bool rotated = cell.Fontorientation != 0;
    if (rotated)
        RotateCanvasFont(canvas, cell.Fontorientation);
    canvas.SetTextAlign(uint32_t{cell.HAlign} + cell.WAlign);
    const int32_t centreX = (r.Left + r.Right) / 2;
    const int32_t middleY = (r.Top + r.Bottom) / 2;
    int32_t y = r.Top;
    for (int32_t i = 1; i <= n; ++i) {
        const std::string& typed = cell.text[i - 1];
        int32_t px = 0;
        int32_t py = 0;
        if (!rotated) {
            px = cell.WAlign == TA_RIGHT    ? r.Right - 10
                 : cell.WAlign == TA_CENTER ? centreX
                                            : r.Left + 10;
            if (cell.HAlign == TA_BOTTOM) {
                py = r.Bottom - 5 - L * (n - i);
            } else if (cell.HAlign == TA_BASELINE) {
                py = middleY - (n / 2) * L + (i - 1) * L;
            } else {
                y += 5;
                py = y;
                y += L;
            }
        } else {
            py = cell.WAlign == TA_RIGHT ? r.Top : cell.WAlign == TA_CENTER ? middleY : r.Bottom;
            if (cell.HAlign == TA_BOTTOM)
                px = r.Right - L * (n - i);
            else if (cell.HAlign == TA_BASELINE)
                px = centreX - (n / 2) * L + (i - 1) * L;
            else
                px = r.Left + (i - 1) * L;
        }
        if (cell.HAlign == TA_BASELINE)
            py += L / 3;
        // Rotated lines show their placeholders while the table is edited.
        const std::string line = rotated && editMode_ ? typed : ExpandCellText(typed);
        if (cell.jailrect)
            canvas.TextRect(r, px, py, line);
        else
            canvas.TextOut(px, py, line);
    }
}

void TIntestazione::DrawEditFrame(TCanvas& canvas) {
    const int32_t w = GetCoord(4);
    const int32_t h = GetCoord(5);
    canvas.Pen = TPen{};
    canvas.Pen.Style = psDot;
    canvas.Brush.Style = bsClear;
    canvas.Rectangle(0, 0, w, h);
    const std::vector<int32_t> xs = ColumnEdges();
    const std::vector<int32_t> ys = RowEdges();
    for (size_t i = 1; i + 1 < xs.size(); ++i) {
        canvas.MoveTo(xs[i], 0);
        canvas.LineTo(xs[i], h);
    }
    for (size_t i = 1; i + 1 < ys.size(); ++i) {
        canvas.MoveTo(0, ys[i]);
        canvas.LineTo(w, ys[i]);
    }
    const TSelection& s = Selection;
    if (s.Left < 0 || s.Top < 0 || s.Right < 0 || s.Bottom < 0)
        return;
    const int32_t c0 = std::min(s.Left, s.Right);
    const int32_t c1 = std::max(s.Left, s.Right);
    const int32_t r0 = std::min(s.Top, s.Bottom);
    const int32_t r1 = std::max(s.Top, s.Bottom);
    for (const Placed& p : PlacedCells())
        if (p.Row >= r0 && p.Row <= r1 && p.Column >= c0 && p.Column <= c1)
            canvas.InvertRect(p.Rect);
}

// ------------------------------------------------------------------------------- placeholders

std::string TIntestazione::ExpandCellText(std::string_view line) const {
    return ExpandLine(DataBuffer, line);
}

void TIntestazione::ShiftRowReferences(int32_t fromRow, int32_t delta) {
    for (int32_t r = 0; r < rows_; ++r)
        for (void* item : cells_.GetRow(r)) {
            TStringList& lines = static_cast<TCella*>(item)->text;
            for (int i = 0; i < lines.Count(); ++i)
                lines.Put(i, ShiftLine(lines[i], fromRow, delta));
        }
    Redraw();
}

// ------------------------------------------------------------------------------- edit mode

void TIntestazione::ToggleCellEditor(TComponent*) {
    SwitchCellEditor();
}

void TIntestazione::SwitchCellEditor() {
    if (!editMode_) {
        if (!EditorHooks().OpenCellPalette(*this))
            return;
        paletteOpen_ = true;
        editMode_ = true;
        BorderSizing = false;
    } else {
        editMode_ = false;
        dragging_ = selecting_ = false;
        border_ = 0;
        dragLine_ = {};
        Cursor = crDefault;
        if (paletteOpen_) {
            paletteOpen_ = false;
            EditorHooks().CloseCellPalette(*this);
        }
    }
    Redraw();
}

std::vector<int32_t> TIntestazione::ColumnEdges() const {
    std::vector<int32_t> edges{0};
    if (rows_ > 0)
        for (void* item : cells_.GetRow(0))
            edges.push_back(edges.back() + static_cast<const TCella*>(item)->Width);
    return edges;
}

std::vector<int32_t> TIntestazione::RowEdges() const {
    std::vector<int32_t> edges{0};
    if (columns_ > 0)
        for (int32_t r = 0; r < rows_; ++r)
            edges.push_back(edges.back() + GetCell(0, r)->Height);
    return edges;
}

TPoint TIntestazione::ToPrinter(int32_t x, int32_t y) const {
    ScreenToPrinterPoint(x, y);
    return {x, y};
}

TPoint TIntestazione::CellAt(TPoint printer) const {
    return {PartAt(ColumnEdges(), printer.X), PartAt(RowEdges(), printer.Y)};
}

void TIntestazione::FindBorder(TPoint p) {
    border_ = 0;
    borderCursor_ = crDefault;
    // Row borders first, then column borders; only the inner ones.
    const std::vector<int32_t> ys = RowEdges();
    for (size_t i = 1; i + 1 < ys.size(); ++i)
        if (std::abs(p.Y - ys[i]) <= kBorderReach) {
            border_ = static_cast<int32_t>(i);
            borderCursor_ = crVSplit;
            break;
        }
    if (border_ == 0) {
        const std::vector<int32_t> xs = ColumnEdges();
        for (size_t i = 1; i + 1 < xs.size(); ++i)
            if (std::abs(p.X - xs[i]) <= kBorderReach) {
                border_ = static_cast<int32_t>(i);
                borderCursor_ = crHSplit;
                break;
            }
    }
    Cursor = borderCursor_;
}

void TIntestazione::EndBorderDrag(TPoint p) {
    const bool rowBorder = borderCursor_ == crVSplit;
    const int32_t b = border_;
    const int32_t parts = rowBorder ? rows_ : columns_;
    if (b < 1 || b >= parts)
        return;
    TCella* before = rowBorder ? GetCell(0, b - 1) : GetCell(b - 1, 0);
    TCella* after = rowBorder ? GetCell(0, b) : GetCell(b, 0);
    const int32_t size = rowBorder ? before->Height : before->Width;
    if (size <= 0)
        return;
    const std::vector<int32_t> edges = rowBorder ? RowEdges() : ColumnEdges();
    const int32_t d = (rowBorder ? p.Y : p.X) - edges[static_cast<size_t>(b)];
    const double beforePct = rowBorder ? before->DIMH : before->DIMW;
    const double afterPct = rowBorder ? after->DIMH : after->DIMW;
    double pct = d * beforePct / size;
    if (pct <= 0 && beforePct + pct < 0)
        pct = 1.0 - beforePct;
    else if (pct > 0 && afterPct - pct < 0)
        pct = afterPct - 1.0;
    if (rowBorder) {
        for (int32_t c = 0; c < columns_; ++c) {
            GetCell(c, b - 1)->DIMH = static_cast<float>(GetCell(c, b - 1)->DIMH + pct);
            GetCell(c, b)->DIMH = static_cast<float>(GetCell(c, b)->DIMH - pct);
        }
    } else {
        for (int32_t r = 0; r < rows_; ++r) {
            GetCell(b - 1, r)->DIMW = static_cast<float>(GetCell(b - 1, r)->DIMW + pct);
            GetCell(b, r)->DIMW = static_cast<float>(GetCell(b, r)->DIMW - pct);
        }
    }
    Redraw();
}

void TIntestazione::MoveDragLine(int32_t x, int32_t y) {
    dragLine_.Visible = true;
    const bool rowBorder = borderCursor_ == crVSplit;
    dragLine_.From = rowBorder ? TPoint{0, y} : TPoint{x, 0};
    dragLine_.To = rowBorder ? TPoint{Width(), y} : TPoint{x, Height()};
    Invalidate();
}

void TIntestazione::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    if (editMode_ && Enabled() && button == mbLeft) {
        LayOut();
        const TPoint p = ToPrinter(x, y);
        if (BorderSizing && border_ > 0) {
            dragging_ = true;
            MoveDragLine(x, y);
        } else {
            const TPoint cell = CellAt(p);
            Selection = {cell.X, cell.Y, cell.X, cell.Y};
            selecting_ = true;
            Redraw();
        }
    }
    TMetaobj::MouseDown(button, shift, x, y);
}

void TIntestazione::MouseMove(TShiftState shift, int32_t x, int32_t y) {
    if (editMode_ && Enabled()) {
        LayOut();
        const TPoint p = ToPrinter(x, y);
        if (dragging_) {
            MoveDragLine(x, y);
        } else if (selecting_) {
            const TPoint cell = CellAt(p);
            if (cell.X != Selection.Right || cell.Y != Selection.Bottom) {
                Selection.Right = cell.X;
                Selection.Bottom = cell.Y;
                Redraw();
            }
        } else if (BorderSizing) {
            FindBorder(p);
        }
    }
    TMetaobj::MouseMove(shift, x, y);
}

void TIntestazione::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    if (editMode_ && Enabled() && button == mbLeft) {
        LayOut();
        if (dragging_) {
            dragging_ = false;
            dragLine_ = {};
            EndBorderDrag(ToPrinter(x, y));
            Invalidate();
        } else if (selecting_) {
            selecting_ = false;
            Redraw();
            EditorHooks().CellSelectionChanged(*this);
        }
    }
    TMetaobj::MouseUp(button, shift, x, y);
}

bool TIntestazione::DropGridCell(int32_t x, int32_t y, int32_t gridTag, int32_t column, int32_t row,
                                 std::string_view cellText) {
    if (!editMode_ || rows_ == 0 || columns_ == 0)
        return false;
    LayOut();
    const TPoint at = CellAt(ToPrinter(x, y));
    TStringList& lines = GetCell(at.X, at.Y)->text;
    const std::string placeholder = "&<" + IntToStr(gridTag) + ";" + IntToStr(column) + ";" +
                                    IntToStr(row) + "(" + std::string(cellText) + ")>";
    if (lines.Empty())
        lines.Add(placeholder);
    else
        lines.Put(lines.Count() - 1, lines[lines.Count() - 1] + " " + placeholder);
    Redraw();
    return true;
}

// --------------------------------------------------------------------------------- stream

void TIntestazione::WriteCells(TStream& stream) const {
    stream.WriteShortString("Ver 1,0");
    stream.WriteI32(columns_);
    stream.WriteI32(rows_);
    for (int32_t r = 0; r < rows_; ++r)
        for (void* cell : cells_.GetRow(r))
            WriteComponent(stream, *static_cast<const TCella*>(cell));
}

void TIntestazione::ReadCells(TStream& stream) {
    stream.ReadShortString(); // the version is not checked
    const int32_t columns = stream.ReadI32();
    const int32_t rows = stream.ReadI32();
    if (columns < 0 || rows < 0 || columns > kMaxCount || rows > kMaxCount)
        throw EReadError("Stream read error");
    // Each cell takes at least its signature, class name, empty name and two list ends.
    stream.CheckCount(int64_t{columns} * rows, 4 + 7 + 1 + 2);

    // The new cells are read completely before they replace the old ones.
    TMatrix fresh;
    fresh.AddRows(rows);
    std::vector<TCella*> made;
    try {
        for (int32_t r = 0; r < rows; ++r)
            for (int32_t c = 0; c < columns; ++c) {
                TCella* cell =
                    NewCell(static_cast<float>(100.0 / columns), static_cast<float>(100.0 / rows));
                made.push_back(cell);
                fresh.AddToRow(r, cell);
                ReadComponent(stream, *cell);
            }
    } catch (...) {
        for (TCella* cell : made)
            delete cell;
        throw;
    }
    FreeCells();
    cells_ = std::move(fresh);
    columns_ = columns;
    rows_ = rows;
    NormalizeLastColumn();
    Redraw();
}

const TClassInfo& TIntestazione::StaticClassInfo() {
    using I = TIntestazione;
    static const TClassInfo info =
        TClassBuilder<I>("TIntestazione", &TMetaobj::StaticClassInfo())
            .Bitmap(
                "SFONDO", [](const I& t) { return t.SFONDO.SaveToBytes(); },
                [](I& t, std::string v) { t.SFONDO.LoadFromBytes(v); })
            .Binary(
                "Intestazione", [](const I&) { return true; },
                [](const I& t, TStream& s) { t.WriteCells(s); },
                [](I& t, TStream& s) { t.ReadCells(s); })
            .Build();
    return info;
}

namespace {
// Registered for streaming with the unit, as the stored pages expect.
const bool registered =
    (RegisterClasses({&TCella::StaticClassInfo(), &TIntestazione::StaticClassInfo()}), true);
} // namespace

} // namespace vx
