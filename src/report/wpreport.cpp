#include "report/wpreport.h"

#include "data/Databuff.h"
#include "data/ValueFormat.h"
#include "data/WPComp.h"
#include "platform/graphics/Drawing.h"
#include "platform/graphics/GraphicsMeta.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/Printer.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "report/EditorHooks.h"

#include <algorithm>
#include <array>
#include <deque>
#include <string_view>
#include <utility>

namespace vx {

namespace {

// Texts stand this far inside their column, whatever spazio_tra_colonne says.
constexpr int32_t kColumnInset = 10;
constexpr std::string_view kMissingValue = "    ";
constexpr std::string_view kAnyType = "*.*";
constexpr std::string_view kVersion = "Ver 1,0";
constexpr std::string_view kEndMarker = "End_v_1,0";

// The smallest component in a stream: "TPF0", two empty short strings, two closing zeros.
constexpr size_t kMinComponentBytes = 8;

// Lengths from stored settings are held to sizes no sheet needs, and a table to a width
// whose coordinates stay far from overflowing.
constexpr int32_t kMaxLength = 1 << 20;
constexpr int32_t kMaxTableWidth = 1 << 28;
constexpr int32_t kMaxMillimetres = 10000;

// Composed sheets kept besides the one shown: turning back and forth, and printing a few
// sheets again as further copies, compose nothing anew.
constexpr size_t kKeptSheets = 4;

int32_t Bounded(int32_t v, int32_t low = 0) {
    return std::clamp(v, low, kMaxLength);
}

} // namespace

// ---- Tdefcanale, Tdefgruppo ----

Tdefcanale::Tdefcanale(TComponent* owner)
    : TComponent(owner), FontI(CreateDefaultFont()), FontD(CreateDefaultFont()) {}

Tdefcanale::~Tdefcanale() = default;

const TClassInfo& Tdefcanale::StaticClassInfo() {
    using C = Tdefcanale;
    static const TClassInfo info =
        TClassBuilder<C>("Tdefcanale", &TComponent::StaticClassInfo())
            .Field("pwidth", &C::pwidth, 0)
            .Field("Height", &C::Height, 0)
            .Float(
                "DIMW", [](const C& c) { return c.DIMW; },
                [](C& c, double v) { c.DIMW = static_cast<float>(v); }, 10.0, "Single")
            .Float(
                "DIMH", [](const C& c) { return c.DIMH; },
                [](C& c, double v) { c.DIMH = static_cast<float>(v); }, 10.0, "Single")
            .Enumeration(
                "Grid", "Tgridstyle", {"gs_none", "gs_vertical", "gs_horizontal", "gs_both"},
                [](const C& c) { return c.Grid; },
                [](C& c, int64_t v) { c.Grid = static_cast<Tgridstyle>(v); }, gs_both)
            .Object<TPen>("Pen", PenClassInfo(), [](C& c) { return &c.Pen; })
            .Object<TBrush>("Brush", BrushClassInfo(), [](C& c) { return &c.Brush; })
            .Object<TFont>("FontI", FontClassInfo(), [](C& c) { return c.FontI.get(); })
            .Object<TFont>("FontD", FontClassInfo(), [](C& c) { return c.FontD.get(); })
            .Field("Canale", &C::Canale, -1)
            .Field("Prova", &C::Prova, -1)
            .Integer(
                "Align", [](const C& c) { return c.Align; },
                [](C& c, int64_t v) { c.Align = static_cast<uint16_t>(v); }, 0, nullptr, "Word")
            .Integer(
                "IAlign", [](const C& c) { return c.IAlign; },
                [](C& c, int64_t v) { c.IAlign = static_cast<uint16_t>(v); }, 6, nullptr, "Word")
            .String(
                "formato", [](const C& c) { return c.formato; },
                [](C& c, std::string v) { c.formato = std::move(v); }, "0.0")
            .Build();
    return info;
}

Tdefgruppo::Tdefgruppo(TComponent* owner) : TComponent(owner) {}

const TClassInfo& Tdefgruppo::StaticClassInfo() {
    using G = Tdefgruppo;
    static const TClassInfo info =
        TClassBuilder<G>("Tdefgruppo", &TComponent::StaticClassInfo())
            .Field("tipizza", &G::tipizza, 0)
            .String(
                "tipo", [](const G& g) { return g.tipo; },
                [](G& g, std::string v) { g.tipo = std::move(v); }, std::string(kAnyType))
            .Field("titolo", &G::titolo)
            .Field("Enabled", &G::Enabled, 1)
            .Build();
    return info;
}

// ---- pagination ----

// What pagination found: the measures every sheet is drawn with, the groups it showed and,
// per sheet, the stretches of groups that the sheet holds. A sheet's picture is drawn from
// these only when it is asked for; a few recent ones are kept.
struct TWPReport::Pagination {
    // A group as pagination laid it out.
    struct Group {
        int Index = 0;
        int32_t StartX = 0;
        int32_t NumberWidth = 0;
        int32_t TableWidth = 0;
        std::vector<int32_t> Widths; // one per column
        int RowCount = 0;
        // The rows of the test shown when a type filter skips some; otherwise row k is k.
        std::vector<int> Rows;
        bool Filtered = false;
        int Row(int k) const { return Filtered ? Rows[size_t(k)] : k; }
    };

    // A stretch of one group on one sheet: its title (on the group's first sheet), its
    // column headers and some of its rows.
    struct Piece {
        int Group = 0; // into Groups
        bool Title = false;
        int32_t TitleY = 0;
        int32_t HeaderY = 0;
        int FirstRow = 0; // into the group's shown rows
        int Rows = 0;
    };

    int32_t W = 0;
    int32_t H = 0;
    int32_t LineI = 0;
    int32_t LineD = 0;
    int32_t LineT = 0;
    std::vector<Group> Groups;
    std::vector<Piece> Pieces;
    std::vector<size_t> SheetStart; // each sheet's first piece

    // Most recently composed last.
    std::deque<std::pair<int, Metafile>> Recent;

    int SheetCount() const { return static_cast<int>(SheetStart.size()); }
    size_t SheetEnd(int sheet) const {
        return size_t(sheet) + 1 < SheetStart.size() ? SheetStart[size_t(sheet) + 1]
                                                     : Pieces.size();
    }
};

// What one pagination or the drawing of one sheet measures and draws with.
struct TWPReport::Layout {
    // A font fitted to the printer with the advances of every character, so that the widths
    // of a hundred thousand values cost one table lookup per character.
    struct Font {
        TFont Fitted;
        std::array<int32_t, 256> Advances{};
        int32_t Height = 0;
        int32_t Width(std::string_view text) const {
            int64_t w = 0;
            for (char c : text)
                w += Advances[static_cast<uint8_t>(c)];
            return static_cast<int32_t>(std::min<int64_t>(w, kMaxLength));
        }
    };

    // One column as this layout sees it.
    struct Column {
        Tdefcanale* Def = nullptr;
        int FontI = 0;
        int FontD = 0;
        const TdataProva* Test = nullptr;     // null when Prova names no test
        const Tdatavector* Channel = nullptr; // null when the test lacks the channel
        int32_t Width = 0;
        bool Drawn() const { return Def->Canale >= 0; }
        // Four blanks where the test, the channel or the row does not exist.
        std::string Text(int row) const {
            if (Channel && row >= 0 && row < Channel->Count())
                return FormatValueText(Channel->TextView(row), Def->formato);
            return std::string(kMissingValue);
        }
    };

    // Where a group's headers and rows stand on the current sheet, for its grid.
    struct Segment {
        int32_t HeaderY = 0;
        int32_t FirstRowY = 0;
        int Rows = 0;
    };

    TWPReport& R;
    const TDeviceCaps Caps;
    const int32_t W;
    const int32_t H;
    const int32_t GW;
    const int32_t Indent;
    const int32_t HeaderH;
    const int32_t FooterH;
    Metafile MeasureTarget;
    TMetafileCanvas Measure;
    std::vector<Font> Fonts;
    std::unique_ptr<TMetafileCanvas> Canvas;
    int CanvasFont = -1;

    int32_t LineI = 0; // header line
    int32_t LineD = 0; // row
    int32_t LineT = 0; // title
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Limit = 0;
    int32_t NumberWidth = 0;

    // The group being laid out or drawn.
    std::vector<Column> Columns;
    int32_t StartX = 0;
    int32_t TableWidth = 0; // number column and every column

    // Pagination's record, being written.
    TWPReport::Pagination* Plan = nullptr;

    // Drawing lays out nothing anew: the sheet keeps the size pagination gave it.
    Layout(TWPReport& report, const Pagination* from)
        : R(report), Caps(Printer().Caps()), W(from ? from->W : report.GetCoord(4)),
          H(from ? from->H : report.GetCoord(5)), GW(Bounded(report.GridWidth)),
          Indent(Bounded(report.rientro_laterale, -kMaxLength)),
          HeaderH(Bounded(report.headerHeight_)), FooterH(Bounded(report.footerHeight_)),
          Measure(MeasureTarget, Caps) {
        if (from) {
            LineI = from->LineI;
            LineD = from->LineD;
            LineT = from->LineT;
        }
    }

    int32_t Mm(int32_t mm) const {
        const double length = std::clamp(mm, 0, kMaxMillimetres);
        return UnitsToPixels(Caps.Get(LOGPIXELSY), UM_mm, length);
    }

    int FontIndex(const TFont& source) {
        R.SetPrinterFont(Measure.Font, source);
        const LOGFONTA lf = Measure.Font.LogFont();
        for (size_t i = 0; i < Fonts.size(); ++i)
            if (Fonts[i].Fitted.LogFont() == lf && Fonts[i].Fitted.Color() == source.Color())
                return static_cast<int>(i);
        Font f;
        f.Fitted.SetPixelsPerInch(Caps.Get(LOGPIXELSY));
        f.Fitted.Assign(Measure.Font);
        std::array<char, 256> all{};
        for (size_t c = 0; c < all.size(); ++c)
            all[c] = static_cast<char>(c);
        TextAdvances(lf, std::string_view(all.data(), all.size()), f.Advances.data());
        f.Height = Bounded(Measure.TextHeight("X"));
        Fonts.push_back(std::move(f));
        return static_cast<int>(Fonts.size() - 1);
    }

    void UseFont(int index) {
        if (CanvasFont == index)
            return;
        Canvas->Font.Assign(Fonts[static_cast<size_t>(index)].Fitted);
        CanvasFont = index;
    }

    // ---- laying out ----

    void NewOutputPage() {
        Plan->SheetStart.push_back(Plan->Pieces.size());
        const bool withHeader = Plan->SheetStart.size() == 1 || R.RipetiINT;
        Y = 2 * GW + (withHeader ? HeaderH : 0) + Mm(R.margine_superiore);
        X = Indent;
        Limit = H - (R.RipetiPie ? FooterH + Mm(R.margine_inferiore) : 0);
    }

    void MeasureLines() {
        for (int g = 0; g < R.GroupCount(); ++g)
            for (int i = 0; i < R.GetChannelCount(g); ++i) {
                Tdefcanale* c = R.GetChannel(g, i);
                LineI = std::max(LineI, Fonts[size_t(FontIndex(*c->FontI))].Height);
                LineD = std::max(LineD, Fonts[size_t(FontIndex(*c->FontD))].Height);
            }
        LineT = Fonts[size_t(FontIndex(*R.FontT))].Height;
    }

    // The group's columns, their tests and channels.
    void LoadColumns(int g) {
        Columns.clear();
        const TDatabuffer* buffer = R.dataBuffer_;
        for (int i = 0; i < R.GetChannelCount(g); ++i) {
            Column col;
            col.Def = R.GetChannel(g, i);
            col.FontI = FontIndex(*col.Def->FontI);
            col.FontD = FontIndex(*col.Def->FontD);
            const int32_t test = col.Def->Prova;
            if (buffer && test >= 0 && test < buffer->ProvaCount())
                col.Test = &buffer->GetProva(test);
            const int32_t channel = col.Def->Canale;
            if (col.Test && channel >= 0 && channel < col.Test->VectorCount())
                col.Channel = &col.Test->GetChannel(channel);
            Columns.push_back(col);
        }
    }

    // The group's columns and the rows it shows; false when the group is skipped.
    bool PrepareGroup(int g, Pagination::Group& out) {
        LoadColumns(g);
        const Column* firstValid = nullptr;
        int rowCount = 0;
        for (const Column& col : Columns)
            if (col.Drawn() && col.Test) {
                if (!firstValid)
                    firstValid = &col;
                rowCount = std::max(rowCount, col.Channel ? col.Channel->Count() : 0);
            }
        if (!firstValid)
            return false;

        const std::string& tipo = R.groups_[size_t(g)]->tipo;
        const bool anyType = tipo == kAnyType;
        const Tdatavector* types = nullptr;
        if (R.differenzia >= 0 && R.differenzia < firstValid->Test->VectorCount())
            types = &firstValid->Test->GetChannel(R.differenzia);
        out.Index = g;
        out.Filtered = !anyType && R.differenzia >= 0;
        if (out.Filtered) {
            for (int row = 0; row < rowCount; ++row)
                if (types && row < types->Count() && types->TextView(row) == tipo)
                    out.Rows.push_back(row);
            out.RowCount = static_cast<int>(out.Rows.size());
        } else {
            out.RowCount = rowCount;
        }
        // Without a type channel a named type matches no row.
        return anyType || (out.RowCount > 0 && types);
    }

    // The widest value text of a column over the rows the group shows.
    int32_t WidestValue(const Column& col, const Pagination::Group& group) const {
        const Font& fd = Fonts[size_t(col.FontD)];
        int32_t w = 0;
        for (int k = 0; k < group.RowCount; ++k)
            w = std::max(w, fd.Width(col.Text(group.Row(k))));
        return w;
    }

    void ChannelLabels(const Column& col, std::string& name, std::string& unit) const {
        name.clear();
        unit.clear();
        const int32_t c = col.Def->Canale;
        const TDatabuffer* buffer = R.dataBuffer_;
        if (R.Traducietichette && buffer && c < buffer->LabelTable.Count()) {
            const std::string& entry = buffer->LabelTable[c];
            const size_t mark = entry.find('\xA7');
            name = entry.substr(0, mark);
            if (mark != std::string::npos)
                unit = entry.substr(mark + 1);
            return;
        }
        if (!col.Test)
            return;
        if (c < col.Test->ChannelNames.Count())
            name = col.Test->ChannelNames[c];
        if (c < col.Test->Units.Count())
            unit = col.Test->Units[c];
    }

    int32_t Percent(const Tdefcanale& def) const {
        const double w = static_cast<double>(W) * def.DIMW / 100.0;
        // NaN fails both comparisons and counts as 0.
        if (!(w > 0))
            return 0;
        return static_cast<int32_t>(Trunc(std::min(w, double(kMaxLength))));
    }

    void ColumnWidths(Pagination::Group& group) {
        NumberWidth = R.Numera ? Fonts[size_t(Columns.front().FontI)].Width("XXXXX") : 0;
        TableWidth = NumberWidth;
        const int32_t count = static_cast<int32_t>(Columns.size());
        for (Column& col : Columns) {
            int32_t w = 0;
            switch (R.columnsspace) {
            case cs_automatico:
                if (col.Drawn() && col.Test) {
                    std::string name, unit;
                    ChannelLabels(col, name, unit);
                    const Font& fi = Fonts[size_t(col.FontI)];
                    w = std::max({fi.Width(name), fi.Width(unit), WidestValue(col, group)});
                    // The text stands one inset inside each edge.
                    w += 2 * kColumnInset;
                } else {
                    w = Percent(*col.Def);
                }
                break;
            case cs_omogeneo:
                w = (W - Indent - NumberWidth) / count;
                break;
            case cs_impostato:
                w = Percent(*col.Def);
                break;
            }
            w = Bounded(w);
            if (TableWidth + w > kMaxTableWidth)
                w = 0;
            col.Def->pwidth = w;
            col.Width = w;
            group.Widths.push_back(w);
            TableWidth += w;
        }
        switch (R.ReportAlign) {
        case TA_RIGHT:
            StartX = W - (TableWidth + Indent);
            break;
        case TA_CENTER:
            StartX = W / 2 - TableWidth / 2;
            break;
        default:
            StartX = Indent;
            break;
        }
        group.StartX = StartX;
        group.NumberWidth = NumberWidth;
        group.TableWidth = TableWidth;
    }

    // Headers and rows of the group, continued on new sheets where the rows do not fit.
    void LayOutRows(int group, bool title, int32_t titleY) {
        const int rows = Plan->Groups[size_t(group)].RowCount;
        auto startPiece = [&](int firstRow, bool withTitle) {
            Plan->Pieces.push_back({group, withTitle, titleY, Y, firstRow, 0});
            Y += 2 * LineI + LineD;
        };
        startPiece(0, title);
        int onSheet = 0;
        bool freshSheet = false;
        for (int k = 0; k < rows; ++k) {
            // A row taller than a whole sheet is laid out anyway rather than opening sheets
            // without end.
            if (Y + LineD > Limit && !(freshSheet && onSheet == 0)) {
                NewOutputPage();
                startPiece(k, false);
                onSheet = 0;
                freshSheet = true;
            }
            ++onSheet;
            ++Plan->Pieces.back().Rows;
            Y += LineD;
        }
    }

    void Paginate(Pagination& plan) {
        Plan = &plan;
        plan.W = W;
        plan.H = H;
        NewOutputPage();
        MeasureLines();
        plan.LineI = LineI;
        plan.LineD = LineD;
        plan.LineT = LineT;
        const int32_t gap = Mm(R.margine_tra_gruppi);
        bool first = true;
        for (int g = 0; g < R.GroupCount(); ++g) {
            const Tdefgruppo& group = *R.groups_[size_t(g)];
            Pagination::Group placed;
            if (!group.Enabled || !PrepareGroup(g, placed))
                continue;
            ColumnWidths(placed);
            plan.Groups.push_back(std::move(placed));
            const int32_t titles = R.differenzia >= 0 && R.Titola_tipi ? 3 * LineT : 0;
            const bool wouldReach = Y + gap + LineI + 4 * LineD + titles >= Limit;
            if ((!first && R.rottura_livello_gruppo) || wouldReach)
                NewOutputPage();
            else if (!first)
                Y += gap;
            int32_t titleY = 0;
            if (!R.Titola_tipi) {
                Y += gap;
            } else {
                if (!first)
                    Y += gap;
                titleY = Y;
                Y += gap + LineT;
            }
            LayOutRows(static_cast<int>(plan.Groups.size()) - 1, R.Titola_tipi, titleY);
            first = false;
        }
        const int32_t bottomMargin = Mm(R.margine_inferiore);
        R.lastPageContentHeight_ = Y + bottomMargin;
        // The footer's room is kept on every sheet with RipetiPie, so only the last sheet's
        // own height can push the footer onto a sheet of its own.
        if (FooterH > 0 && R.lastPageContentHeight_ + FooterH > H) {
            NewOutputPage();
            R.lastPageContentHeight_ = Y + bottomMargin;
        }
    }

    // ---- drawing ----

    // Reference x and alignment flags of a text in a column.
    static int32_t AlignText(TCanvas& canvas, uint16_t align, int32_t x, int32_t width) {
        switch (align) {
        case TA_RIGHT:
            canvas.SetTextAlign(TA_RIGHT | TA_TOP);
            return x + width - kColumnInset;
        case TA_CENTER:
            canvas.SetTextAlign(TA_CENTER | TA_TOP);
            return x + width / 2;
        default:
            canvas.SetTextAlign(TA_LEFT | TA_TOP);
            return x + kColumnInset;
        }
    }

    void ClearBrush() { Canvas->Brush.Style = bsClear; }

    void DrawTitle(const std::string& title) {
        TCanvas& c = *Canvas;
        UseFont(FontIndex(*R.FontT));
        ClearBrush();
        int32_t x = Indent;
        uint32_t align = TA_LEFT;
        if (R.Titolotipi_Align == TA_RIGHT) {
            x = W;
            align = TA_RIGHT;
        } else if (R.Titolotipi_Align == TA_CENTER) {
            x = W / 2;
            align = TA_CENTER;
        }
        c.SetTextAlign(align | TA_TOP);
        c.TextOut(x, Y, title);
    }

    void DrawNumber(std::string_view text, int font) {
        UseFont(font);
        Canvas->SetTextAlign(TA_CENTER | TA_TOP);
        Canvas->TextOut(StartX + NumberWidth / 2, Y, text);
    }

    Segment DrawColumnHeaders() {
        TCanvas& c = *Canvas;
        Segment s;
        s.HeaderY = Y;
        if (R.Numera) {
            ClearBrush();
            DrawNumber("N.", Columns.front().FontI);
        }
        const int32_t top = Y - (GW + 2);
        const int32_t height = 2 * LineI + LineD + GW + 2;
        int32_t x = StartX + NumberWidth;
        std::string name, unit;
        for (const Column& col : Columns) {
            const int32_t w = col.Width;
            if (col.Drawn()) {
                c.Brush = col.Def->Brush;
                c.FillRect(Bounds(x, top, w, height));
                ChannelLabels(col, name, unit);
                UseFont(col.FontI);
                const int32_t tx = AlignText(c, col.Def->IAlign, x, w);
                c.TextOut(tx, Y, name);
                c.TextOut(tx, Y + LineI, unit);
            }
            x += w;
        }
        Y += 2 * LineI + LineD;
        s.FirstRowY = Y;
        return s;
    }

    void DrawGrid(const Segment& s) {
        if (!R.usa_griglia)
            return;
        TCanvas& c = *Canvas;
        const int32_t gw = GW;
        const int32_t right = StartX + TableWidth;
        const int32_t headerTop = s.HeaderY - gw;
        const int32_t headerBottom = s.HeaderY + 2 * LineI + gw;
        const int32_t rowsBottom = s.FirstRowY + s.Rows * LineD;
        c.Pen.Color = R.Gridcolor;
        c.Pen.Style = psSolid;
        c.Pen.Width = gw;
        c.Brush.Style = bsClear;
        c.Rectangle(StartX, headerTop, right, headerBottom);
        if (s.Rows > 0)
            c.Rectangle(StartX, s.FirstRowY, right, rowsBottom);
        const int32_t bottom = s.Rows > 0 ? rowsBottom : headerBottom;
        int32_t x = StartX;
        auto vertical = [&](int32_t at) {
            c.MoveTo(at, headerTop);
            c.LineTo(at, bottom);
        };
        if (R.Numera)
            vertical(x + NumberWidth);
        x += NumberWidth;
        for (size_t i = 0; i + 1 < Columns.size(); ++i) {
            x += Columns[i].Width;
            vertical(x);
        }
        if (s.Rows == 0)
            return;
        c.Pen.Width = gw / 2 + 1;
        for (int k = 0; k <= s.Rows; ++k) {
            const int32_t y = s.FirstRowY + k * LineD;
            c.MoveTo(StartX, y);
            c.LineTo(right, y);
        }
    }

    // Row k of the group's shown rows, the onSheet-th of its stretch.
    void DrawRow(const Pagination::Group& group, int k, int onSheet) {
        const bool colourRows = R.Differenzia_righe;
        if (colourRows) {
            Canvas->Brush.Style = bsSolid;
            Canvas->Brush.Color = onSheet % 2 == 0 ? R.colore_righe_pari : R.colore_righe_dispari;
            Canvas->FillRect(Bounds(StartX, Y, TableWidth, LineD));
        }
        if (R.Numera) {
            if (!colourRows)
                ClearBrush();
            DrawNumber(IntToStr(static_cast<int64_t>(k + 1)), Columns.front().FontD);
        }
        const int row = group.Row(k);
        int32_t x = StartX + NumberWidth;
        for (const Column& col : Columns) {
            const int32_t w = col.Width;
            if (col.Drawn()) {
                if (!colourRows) {
                    Canvas->Brush = col.Def->Brush;
                    Canvas->FillRect(Bounds(x, Y, w, LineD));
                }
                UseFont(col.FontD);
                const int32_t tx = AlignText(*Canvas, col.Def->Align, x, w);
                Canvas->TextOut(tx, Y, col.Text(row));
            }
            x += w;
        }
        Y += LineD;
    }

    // The group as pagination laid it out; false when its definition has lost columns since.
    bool UseGroup(const Pagination::Group& group) {
        if (group.Index >= R.GroupCount())
            return false;
        LoadColumns(group.Index);
        if (Columns.size() != group.Widths.size() || Columns.empty())
            return false;
        for (size_t i = 0; i < Columns.size(); ++i)
            Columns[i].Width = group.Widths[i];
        StartX = group.StartX;
        NumberWidth = group.NumberWidth;
        TableWidth = group.TableWidth;
        return true;
    }

    void DrawSheet(const Pagination& plan, int sheet, Metafile& picture) {
        picture.SetSize(W, H);
        Canvas = std::make_unique<TMetafileCanvas>(picture, Caps);
        Canvas->Font.SetPixelsPerInch(Caps.Get(LOGPIXELSY));
        CanvasFont = -1;
        for (size_t p = plan.SheetStart[size_t(sheet)]; p < plan.SheetEnd(sheet); ++p) {
            const Pagination::Piece& piece = plan.Pieces[p];
            const Pagination::Group& group = plan.Groups[size_t(piece.Group)];
            if (!UseGroup(group))
                continue;
            if (piece.Title) {
                Y = piece.TitleY;
                DrawTitle(R.groups_[size_t(group.Index)]->titolo);
            }
            Y = piece.HeaderY;
            Segment s = DrawColumnHeaders();
            for (int i = 0; i < piece.Rows; ++i) {
                DrawRow(group, piece.FirstRow + i, i + 1);
                ++s.Rows;
            }
            DrawGrid(s);
        }
        Canvas->Close();
        Canvas.reset();
    }
};

// ---- TWPReport ----

TWPReport::TWPReport(TComponent* owner) : TMetaobj(owner), FontT(CreateDefaultFont()) {
    Dirty = true;
}

TWPReport::~TWPReport() {
    pagination_.reset();
    for (int g = GroupCount() - 1; g >= 0; --g)
        FreeChannels(g);
    for (auto it = groups_.rbegin(); it != groups_.rend(); ++it)
        delete *it;
}

void TWPReport::FreeChannels(int group) {
    TMatrix::TRow& row = matrix_.GetRow(group);
    while (!row.empty()) {
        delete static_cast<Tdefcanale*>(row.back());
        row.pop_back();
    }
}

void TWPReport::SetGroupCount(int n) {
    n = std::max(n, 0);
    while (GroupCount() > n) {
        FreeChannels(GroupCount() - 1);
        delete groups_.back();
        groups_.pop_back();
    }
    while (GroupCount() < n)
        groups_.push_back(new Tdefgruppo(this));
    matrix_.SetRowCount(n);
}

Tdefgruppo* TWPReport::GetGroup(int i) const {
    return i >= 0 && i < GroupCount() ? groups_[size_t(i)] : nullptr;
}

int TWPReport::GetChannelCount(int group) const {
    return group >= 0 && group < GroupCount() ? static_cast<int>(matrix_.GetRow(group).size()) : 0;
}

Tdefcanale* TWPReport::GetChannel(int group, int i) const {
    if (i < 0 || i >= GetChannelCount(group))
        return nullptr;
    return static_cast<Tdefcanale*>(matrix_.GetRow(group)[size_t(i)]);
}

void TWPReport::SetChannelCount(int group, int n) {
    if (group < 0 || group >= GroupCount())
        return;
    n = std::max(n, 0);
    TMatrix::TRow& row = matrix_.GetRow(group);
    while (static_cast<int>(row.size()) > n) {
        delete static_cast<Tdefcanale*>(row.back());
        row.pop_back();
    }
    while (static_cast<int>(row.size()) < n)
        row.push_back(new Tdefcanale(this));
}

int TWPReport::PageCount() const {
    return pagination_ ? pagination_->SheetCount() : 0;
}

int TWPReport::HeldSheets() const {
    return pagination_ ? static_cast<int>(pagination_->Recent.size()) : 0;
}

std::optional<Metafile> TWPReport::GetPageMetafile(int i) {
    if (i < 0 || i >= PageCount())
        return std::nullopt;
    auto& recent = pagination_->Recent;
    for (auto it = recent.begin(); it != recent.end(); ++it)
        if (it->first == i) {
            std::rotate(it, it + 1, recent.end());
            return recent.back().second;
        }
    Metafile picture;
    {
        Layout layout(*this, pagination_.get());
        layout.DrawSheet(*pagination_, i, picture);
    }
    recent.emplace_back(i, picture);
    while (recent.size() > kKeptSheets)
        recent.pop_front();
    return picture;
}

void TWPReport::ShowSheet(int i) {
    if (const auto sheet = GetPageMetafile(i))
        GetMetafile() = *sheet;
}

void TWPReport::SetCurrentPage(int i) {
    if (i < 0 || i >= PageCount())
        return;
    currentPage_ = i;
    composedPage_ = i;
    ShowSheet(i);
    if (OnCurrentPageChange)
        OnCurrentPageChange(this);
    Invalidate();
}

void TWPReport::Paginate() {
    auto plan = std::make_unique<Pagination>();
    {
        Layout layout(*this, nullptr);
        layout.Paginate(*plan);
    }
    pagination_ = std::move(plan);
    const int last = PageCount() - 1;
    currentPage_ = std::clamp(currentPage_, 0, last);
    composedPage_ = std::clamp(composedPage_, 0, last);
    if (OnFooterPlacement)
        OnFooterPlacement(this);
}

void TWPReport::Paint() {
    // Message processing below may ask for this very paint again.
    if (paginating_)
        return;
    TMetaobj::Paint();
    if (!Parent() || !Dirty || !NeedsPagination)
        return;
    paginating_ = true;
    const std::weak_ptr<int> alive = life_;
    auto finish = [] {
        EditorHooks().CloseReportWait();
        Ui().SetBusyCursor(false);
    };
    Ui().SetBusyCursor(true);
    EditorHooks().ShowReportWait();
    try {
        ProcessMessages();
        if (alive.expired()) {
            finish();
            return;
        }
        Dirty = false;
        NeedsPagination = false;
        Paginate();
        ShowSheet(currentPage_);
    } catch (const Exception& e) {
        // Paints run from the event loop, which no exception may reach: the user is told
        // once, and the report waits for the next change.
        if (!alive.expired())
            paginating_ = false;
        finish();
        Ui().MessageDlg(e.Message, TMsgDlgType::mtError, mbOK);
        return;
    } catch (...) {
        if (!alive.expired())
            paginating_ = false;
        finish();
        throw;
    }
    finish();
    paginating_ = false;
    if (OnFooterPlacement)
        OnFooterPlacement(this);
}

void TWPReport::WriteGroups(TStream& stream) const {
    stream.WriteShortString(kVersion);
    stream.WriteI32(GroupCount());
    for (int g = 0; g < GroupCount(); ++g) {
        stream.WriteI32(GetChannelCount(g));
        for (int i = 0; i < GetChannelCount(g); ++i)
            WriteComponent(stream, *GetChannel(g, i));
    }
    for (const Tdefgruppo* group : groups_)
        WriteComponent(stream, *group);
    stream.WriteShortString(kEndMarker);
}

void TWPReport::ReadGroups(TStream& stream) {
    // Everything is read into objects of no owner first, so that a damaged stream leaves
    // the report as it was.
    std::vector<std::vector<std::unique_ptr<Tdefcanale>>> channels;
    std::vector<std::unique_ptr<Tdefgruppo>> groups;
    stream.ReadShortString();
    const size_t groupCount =
        stream.CheckCount(stream.ReadI32(), sizeof(int32_t) + kMinComponentBytes);
    channels.resize(groupCount);
    for (auto& row : channels) {
        const size_t count = stream.CheckCount(stream.ReadI32(), kMinComponentBytes);
        for (size_t i = 0; i < count; ++i) {
            row.push_back(std::make_unique<Tdefcanale>(nullptr));
            ReadComponent(stream, *row.back());
        }
    }
    for (size_t g = 0; g < groupCount; ++g) {
        groups.push_back(std::make_unique<Tdefgruppo>(nullptr));
        ReadComponent(stream, *groups.back());
    }
    stream.ReadShortString();

    SetGroupCount(0);
    pagination_.reset();
    matrix_.SetRowCount(static_cast<int>(groupCount));
    for (size_t g = 0; g < groupCount; ++g) {
        InsertComponent(groups[g].get());
        groups_.push_back(groups[g].release());
        TMatrix::TRow& row = matrix_.GetRow(static_cast<int>(g));
        for (auto& channel : channels[g]) {
            InsertComponent(channel.get());
            row.push_back(channel.release());
        }
    }
    Dirty = true;
}

const TClassInfo& TWPReport::StaticClassInfo() {
    using R = TWPReport;
    static const TClassInfo info =
        TClassBuilder<R>("TWPReport", &TMetaobj::StaticClassInfo())
            .Field("margine_tra_gruppi", &R::margine_tra_gruppi, 5)
            .Field("margine_superiore", &R::margine_superiore, 5)
            .Field("spazio_tra_colonne", &R::spazio_tra_colonne, 1)
            .Field("margine_inferiore", &R::margine_inferiore, 5)
            .Field("rientro_laterale", &R::rientro_laterale, 1)
            .Field("rottura_livello_gruppo", &R::rottura_livello_gruppo, 1)
            .Field("usa_griglia", &R::usa_griglia, 0)
            .Field("Numera", &R::Numera, 1)
            .Field("Differenzia_righe", &R::Differenzia_righe, 0)
            .Integer(
                "colore_righe_pari", [](const R& r) { return r.colore_righe_pari; },
                [](R& r, int64_t v) { r.colore_righe_pari = static_cast<TColor>(v); }, clWhite,
                &ColorIdents(), "TColor")
            .Integer(
                "colore_righe_dispari", [](const R& r) { return r.colore_righe_dispari; },
                [](R& r, int64_t v) { r.colore_righe_dispari = static_cast<TColor>(v); }, clWhite,
                &ColorIdents(), "TColor")
            .Enumeration(
                "columnsspace", "tcolumnsspace", {"cs_automatico", "cs_omogeneo", "cs_impostato"},
                [](const R& r) { return r.columnsspace; },
                [](R& r, int64_t v) { r.columnsspace = static_cast<tcolumnsspace>(v); },
                cs_automatico)
            .Field("differenzia", &R::differenzia, -1)
            .StringList("Consideralista", [](R& r) { return &r.Consideralista; })
            .Object<TFont>("FontT", FontClassInfo(), [](R& r) { return r.FontT.get(); })
            .Field("Titola_tipi", &R::Titola_tipi, 0)
            .Integer(
                "Titolotipi_Align", [](const R& r) { return r.Titolotipi_Align; },
                [](R& r, int64_t v) { r.Titolotipi_Align = static_cast<uint16_t>(v); }, 6, nullptr,
                "Word")
            .Integer(
                "ReportAlign", [](const R& r) { return r.ReportAlign; },
                [](R& r, int64_t v) { r.ReportAlign = static_cast<uint16_t>(v); }, 0, nullptr,
                "Word")
            .Field("piepagina_on_bottom", &R::piepagina_on_bottom, 0)
            .Field("GridWidth", &R::GridWidth, 2)
            .Integer(
                "Gridcolor", [](const R& r) { return r.Gridcolor; },
                [](R& r, int64_t v) { r.Gridcolor = static_cast<TColor>(v); }, clBlack,
                &ColorIdents(), "TColor")
            .Field("Traducietichette", &R::Traducietichette, 0)
            .Field("RipetiINT", &R::RipetiINT, 0)
            .Field("RipetiPie", &R::RipetiPie, 0)
            .Binary(
                "Report", [](const R&) { return true; },
                [](const R& r, TStream& s) { r.WriteGroups(s); },
                [](R& r, TStream& s) { r.ReadGroups(s); })
            .Build();
    return info;
}

const TClassInfo& TWPReportPRO::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TWPReportPRO>("TWPReportPRO", &TMetaobj::StaticClassInfo()).Build();
    return info;
}

namespace {
// Registered with the unit, so that stored pages find the classes by name.
const bool registered =
    (RegisterClasses({&Tdefcanale::StaticClassInfo(), &Tdefgruppo::StaticClassInfo(),
                      &TWPReport::StaticClassInfo(), &TWPReportPRO::StaticClassInfo()}),
     true);
} // namespace

} // namespace vx
