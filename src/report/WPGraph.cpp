#include "report/WPGraph.h"

#include "data/Databuff.h"
#include "data/GlobalText.h"
#include "data/ValueFormat.h"
#include "data/WPComp.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Format.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "report/Asse.h"
#include "report/DrawBounds.h"
#include "report/Serie.h"
#include "report/WPSection.h"
#include "report/legenda.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vx {

namespace {

constexpr int32_t kHotDistance = 20; // printer pixels either side of an edge
constexpr int32_t kMinDragGap = 20;  // screen pixels between a dragged edge and its opposite
constexpr int32_t kScreenPpi = 96;   // the watermark's own canvas is screen-compatible
constexpr int kModalOk = 1;
constexpr const char* kAnyValue = "*.*";

int typingChannel = 0;

// The range of valueChannel over the rows that pass the filter; false when no row does.
// A filter channel that some test lacks passes no rows: the buffer would raise on it.
bool FilteredRange(TDatabuffer& data, int valueChannel, const TAsse& filterAxis, double& lo,
                   double& hi) {
    if (data.ProvaCount() == 0)
        return false;
    const int filter = filterAxis.filtro;
    if (filter >= 0)
        for (int t = 0; t < data.ProvaCount(); ++t)
            if (filter >= data.GetProva(t).VectorCount())
                return false;
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    double min = kNone, max = kNone;
    data.GetRangeMinMax(min, max, valueChannel, filter, filterAxis.filtrotipo != 0,
                        filterAxis.filtrovalore, filterAxis.filtrotolleranza);
    if (std::isnan(min) || std::isnan(max))
        return false;
    lo = min;
    hi = max;
    return true;
}

struct RangeUnion {
    bool Any = false;
    double Min = 0;
    double Max = 0;
    void Add(double lo, double hi) {
        Min = Any ? std::min(Min, lo) : lo;
        Max = Any ? std::max(Max, hi) : hi;
        Any = true;
    }
};

std::string LimitText(double v, bool logarithmic) {
    return Format("%0.2f", {logarithmic ? std::pow(10.0, v) : v});
}

} // namespace

TWPGraph::TWPGraph(TComponent* page, TDatabuffer* data) : TMetaobj(page), data_(data) {
    border.Visible = true;
    border.Width = 3;
    font_.SetName("Arial");
    font_.SetSize(30);
    xAxis_ = new TAsse(this);
    xAxis_->Vertical = false;
    xAxis_->Channels().Add(0);
    BindAxis(*xAxis_);
    left_ = new TWPSide(this);
    right_ = new TWPSide(this);
    for (TWPSide* side : {left_, right_}) {
        side->AddSections(1);
        side->GetSection(0)->Size = 100;
        side->GetSection(0)->AddAxes(1);
    }
    legend_ = new Tlegenda(this);
    RebuildSeries();
}

TWPGraph::~TWPGraph() {
    series_.clear();
    delete left_;
    delete right_;
    delete xAxis_;
    delete legend_;
    Filigrana.Clear();
    if (cursorWindow_)
        cursorWindow_->MarkClosing();
    cursorWindow_.reset();
}

// ---- zones ----

int32_t TWPGraph::GetZone(int i) const {
    switch (i) {
    case 0:
        return axisZone_.Left;
    case 1:
        return axisZone_.Right;
    case 2:
        return axisZone_.Top;
    case 3:
        return axisZone_.Bottom;
    case 4:
        return plotZone_.Left;
    case 5:
        return plotZone_.Right;
    case 6:
        return plotZone_.Top;
    case 7:
        return plotZone_.Bottom;
    default:
        return 0;
    }
}

void TWPGraph::SetZone(int i, int32_t value) {
    int32_t* fields[] = {&axisZone_.Left, &axisZone_.Right, &axisZone_.Top, &axisZone_.Bottom,
                         &plotZone_.Left, &plotZone_.Right, &plotZone_.Top, &plotZone_.Bottom};
    if (i < 0 || i >= 8)
        return;
    *fields[i] = value;
    Changed();
}

int32_t TWPGraph::ZonePixel(int k) const {
    const int32_t wp = GetCoord(4);
    const int32_t hp = GetCoord(5);
    // Zones are per mille of the graph as stored; drawn, none reaches outside it.
    const auto pm = [](int32_t zone) { return std::clamp(zone, 0, 1000); };
    const int32_t top = MulDiv(hp, pm(axisZone_.Top), 1000);
    const int32_t bottom = MulDiv(hp, pm(axisZone_.Bottom), 1000);
    switch (k) {
    case 0:
        return top;
    case 1:
        return bottom;
    case 2:
        return MulDiv(wp, pm(plotZone_.Left), 1000);
    case 3:
        return MulDiv(wp, pm(plotZone_.Right), 1000);
    case 4:
        return top + MulDiv(bottom - top, pm(plotZone_.Bottom), 1000);
    case 5:
        return top + MulDiv(bottom - top, pm(plotZone_.Top), 1000);
    default:
        return 0;
    }
}

int32_t TWPGraph::ZoneScreen(int k) const {
    if (k < 0 || k > 5)
        return 0;
    int32_t x = 0, y = 0;
    // Zones 0, 1, 4, 5 are heights, 2 and 3 widths.
    if (k == 2 || k == 3)
        x = ZonePixel(k);
    else
        y = ZonePixel(k);
    PrinterToScreenPoint(x, y);
    return (k == 2 || k == 3) ? x : y;
}

// ---- layout and drawing ----

template <class F>
void TWPGraph::ForEachAxis(F f) const {
    for (const TWPSide* side : {left_, right_})
        for (int i = 0; i < side->AxisCount(); ++i)
            f(*side->GetAxisByIndex(i));
}

void TWPGraph::Layout() {
    const int32_t wp = GetCoord(4);
    const int32_t zp0 = ZonePixel(0), zp1 = ZonePixel(1), zp2 = ZonePixel(2), zp3 = ZonePixel(3),
                  zp4 = ZonePixel(4), zp5 = ZonePixel(5);
    if (legend_->Visible)
        legend_->BoundsRect = {50, zp0, wp - 50, zp5};
    xAxis_->BoundsRect = {zp2, zp4, zp3, zp1};
    const int32_t t0 = legend_->Visible ? zp5 : zp0;
    const TRect plot{zp2, t0, zp3, zp4};
    LayoutSide(*left_, zp2 - 1, 0, plot, t0, zp4 - t0);
    LayoutSide(*right_, wp - zp3, zp3, plot, t0, zp4 - t0);
}

void TWPGraph::LayoutSide(const TWPSide& side, int32_t slotSpace, int32_t x0, const TRect& plot,
                          int32_t top, int32_t height) {
    int32_t y = top;
    for (int s = 0; s < side.SectionCount(); ++s) {
        const TWPSection& section = *side.GetSection(s);
        const int32_t h = MulDiv(std::clamp(section.Size, 0, TDrawBounds::Percent), height, 100);
        // A section without axes (a side stream may hold one) keeps its share of the height.
        const int slots = section.AxisSlotCount();
        const int32_t w = slots > 0 ? slotSpace / slots : 0;
        int32_t x = x0;
        for (int a = 0; a < section.AxisCount(); ++a) {
            TAsse& axis = *section.GetAxis(a);
            axis.SetGridAlignment(Globalgrid, plot, Globtacvert);
            const int32_t width = axis.DoubleAxe ? 2 * w : w;
            axis.BoundsRect = {x, y, x + width, y + h};
            x += width;
        }
        y += h;
    }
}

void TWPGraph::Paint() {
    TMetaobj::Paint();
    if (!Parent())
        return;
    if (autoLimitsPending_) {
        AutoLimits();
        autoLimitsPending_ = false;
    }
    const int32_t w = GetCoord(4);
    const int32_t h = GetCoord(5);
    Metafile& picture = GetMetafile();
    if (!Dirty && picture.Width() == w && picture.Height() == h)
        return;
    Dirty = false;
    picture.Clear();
    picture.SetSize(w, h);
    TMetafileCanvas canvas(picture, Printer().Caps());
    DrawContent(canvas);
    canvas.Close();
}

void TWPGraph::DrawContent(TCanvas& canvas) {
    SetPrinterFont(canvas.Font, font_);
    if (layout_)
        Layout();
    if (border.Visible) {
        // The width is used as stored, as the frame of the other page objects is.
        const int32_t width = TDrawBounds::Pen(border.Width);
        canvas.Pen.Color = border.Color;
        canvas.Pen.Width = width;
        canvas.Pen.Style = psSolid;
        const int32_t inset = width / 2 + 1;
        const int32_t r = GetCoord(4) - inset;
        const int32_t b = GetCoord(5) - inset;
        canvas.Polyline({{inset, inset}, {r, inset}, {r, b}, {inset, b}, {inset, inset}});
    }
    if (xAxis_->ValueSort && data_ && !data_->Sorted() && xAxis_->Channels().Count() > 0)
        SortTests(xAxis_->Channels().GetItem(0));
    if (!Filigrana.Empty())
        DrawWatermark(canvas);
    canvas.Brush.Style = bsClear;
    xAxis_->Draw(canvas);
    ForEachAxis([&canvas](TAsse& axis) { axis.Draw(canvas); });
    // The series share the X channel: it is read and mapped once for all of them.
    TSerieXCache xCache;
    for (const auto& serie : series_) {
        if (!serie->Data())
            continue;
        // Whatever a draw raises, no series keeps the cache of this draw.
        struct Detach {
            TSerie& s;
            ~Detach() { s.SetXCache(nullptr); }
        } detach{*serie};
        serie->SetXCache(&xCache);
        serie->Draw(canvas);
    }
    legend_->Draw(canvas);
}

// A channel some test lacks would raise inside a paint: the tests then keep their order.
void TWPGraph::SortTests(int channel) {
    if (!data_)
        return;
    for (int t = 0; t < data_->ProvaCount(); ++t)
        if (channel >= data_->GetProva(t).VectorCount())
            return;
    data_->SetSortChannel(channel);
}

void TWPGraph::DrawWatermark(TCanvas& canvas) {
    const TRect area{ZonePixel(2), ZonePixel(5), ZonePixel(3), ZonePixel(4)};
    const int32_t areaW = area.Right - area.Left;
    const int32_t areaH = area.Bottom - area.Top;
    const int32_t w = UnitsToPixels(canvas.GetDeviceCaps(LOGPIXELSX), UM_Inch,
                                    PixelsToUnits(kScreenPpi, UM_Inch, Filigrana.Width()));
    const int32_t h = UnitsToPixels(canvas.GetDeviceCaps(LOGPIXELSY), UM_Inch,
                                    PixelsToUnits(kScreenPpi, UM_Inch, Filigrana.Height()));
    const TRect source{0, 0, Filigrana.Width(), Filigrana.Height()};
    switch (Filigrana_Status) {
    case 0: {
        const int32_t dw = std::min(w, areaW);
        const int32_t dh = std::min(h, areaH);
        const int32_t l = area.Left + (areaW - dw) / 2;
        const int32_t t = area.Top + (areaH - dh) / 2;
        canvas.StretchBlt({l, t, l + dw, t + dh}, Filigrana, source);
        break;
    }
    case 1:
        if (w <= 0 || h <= 0)
            return;
        for (int32_t t = area.Top; t + h <= area.Bottom; t += h)
            for (int32_t l = area.Left; l + w <= area.Right; l += w)
                canvas.StretchBlt({l, t, l + w, t + h}, Filigrana, source);
        break;
    case 2:
        canvas.StretchBlt(area, Filigrana, source);
        break;
    default:
        break;
    }
}

// ---- limits ----

void TWPGraph::AutoLimits() {
    auto apply = [this](TAsse& axis) {
        if (!axis.limitiautomatici)
            return;
        double min = 0, max = 0;
        DataRange(axis, min, max);
        axis.CalcAutoLimits(min, max);
    };
    ForEachAxis(apply);
    apply(*xAxis_);
}

void TWPGraph::DataRange(const TAsse& axis, double& min, double& max) const {
    min = 0;
    max = 100;
    if (axis.Channels().Count() == 0 || !data_ || data_->ProvaCount() == 0)
        return;
    RangeUnion range;
    auto addChannels = [&](const TAsse& channels, const TAsse& filter) {
        for (int i = 0; i < channels.Channels().Count(); ++i) {
            double lo = 0, hi = 0;
            if (FilteredRange(*data_, channels.Channels().GetItem(i), filter, lo, hi))
                range.Add(lo, hi);
        }
    };
    if (&axis == xAxis_) {
        ForEachAxis([&](const TAsse& y) {
            if (y.Channels().Count() > 0)
                addChannels(axis, y);
        });
    } else if (axis.filtro >= 0) {
        addChannels(axis, axis);
    } else {
        for (int i = 0; i < axis.Channels().Count(); ++i) {
            const int c = axis.Channels().GetItem(i);
            range.Add(data_->GetChannelMin(c), data_->GetChannelMax(c));
        }
    }
    // No row passed a filter: the range the caller would otherwise get is undefined.
    if (range.Any) {
        min = range.Min;
        max = range.Max;
    }
}

// ---- selection ----

int TWPGraph::SelectedAxisCount() const {
    int count = xAxis_->Selected ? 1 : 0;
    ForEachAxis([&count](const TAsse& a) { count += a.Selected ? 1 : 0; });
    return count;
}

TAsse* TWPGraph::GetSelectedAxis() const {
    TAsse* found = nullptr;
    ForEachAxis([&found](TAsse& a) {
        if (!found && a.Selected)
            found = &a;
    });
    if (!found && xAxis_->Selected)
        found = xAxis_;
    return found;
}

void TWPGraph::SelectAllAxes() {
    xAxis_->Selected = true;
    ForEachAxis([](TAsse& a) { a.Selected = true; });
}

void TWPGraph::DeselectAxes() {
    xAxis_->Selected = false;
    ForEachAxis([](TAsse& a) { a.Selected = false; });
}

bool TWPGraph::HitTestAxes(int32_t x, int32_t y, bool single) {
    if (xAxis_->HitTest(x, y, single))
        return true;
    for (const TWPSide* side : {left_, right_})
        for (int i = 0; i < side->AxisCount(); ++i)
            if (side->GetAxisByIndex(i)->HitTest(x, y, single))
                return true;
    return false;
}

void TWPGraph::AxisClick(TComponent* sender) {
    auto* axis = dynamic_cast<TAsse*>(sender);
    if (!axis)
        return;
    if ((pressShift_ & ssShift) == 0)
        DeselectAxes();
    axis->Selected = !axis->Selected;
    Changed();
}

void TWPGraph::AxisDblClick(TComponent* sender) {
    auto* axis = dynamic_cast<TAsse*>(sender);
    if (!axis)
        return;
    EditAxis(*axis);
    dialogClosed_ = true;
}

void TWPGraph::Click() {
    if (!HitTestAxes(pressX_, pressY_, true)) {
        DeselectAxes();
        Changed();
    }
    TMetaobj::Click();
}

void TWPGraph::DblClick() {
    HitTestAxes(pressX_, pressY_, false);
    TMetaobj::DblClick();
}

void TWPGraph::Changed() {
    Dirty = true;
    Invalidate();
}

// ---- mouse ----

uint8_t TWPGraph::HotEdges(int32_t px, int32_t py) const {
    auto near = [](int32_t a, int32_t b) { return std::abs(a - b) < kHotDistance; };
    uint8_t edges = 0;
    if (legend_->Visible && near(py, ZonePixel(5)))
        edges |= DE_Top;
    if (near(px, ZonePixel(3)))
        edges |= DE_Right;
    if (near(py, ZonePixel(4)))
        edges |= DE_Bottom;
    if (!(edges & DE_Right) && near(px, ZonePixel(2)))
        edges |= DE_Left;
    return edges;
}

int32_t TWPGraph::CursorForEdges(uint8_t edges) {
    switch (edges) {
    case DE_Top:
    case DE_Bottom:
        return crSizeNS;
    case DE_Right:
    case DE_Left:
        return crSizeWE;
    case DE_Top | DE_Right:
    case DE_Bottom | DE_Left:
        return crSizeNESW;
    case DE_Right | DE_Bottom:
    case DE_Top | DE_Left:
        return crSizeNWSE;
    default:
        return 0;
    }
}

std::optional<TRect> TWPGraph::FocusOverlay() const {
    if (!dragging_)
        return std::nullopt;
    return dragRect_;
}

void TWPGraph::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    // The press that closed a dialog opened by a double click belongs to that dialog.
    if (dialogClosed_) {
        dialogClosed_ = false;
        return;
    }
    int32_t px = x, py = y;
    ScreenToPrinterPoint(px, py);
    pressX_ = px;
    pressY_ = py;
    pressShift_ = shift;
    hotEdges_ = HotEdges(px, py);
    if (hotEdges_ != 0 && button == mbLeft) {
        dragging_ = true;
        dragEdges_ = hotEdges_;
        UpdateDragRect(x, y);
    }
    TMetaobj::MouseDown(button, shift, x, y);
}

void TWPGraph::MouseMove(TShiftState shift, int32_t x, int32_t y) {
    int32_t px = x, py = y;
    ScreenToPrinterPoint(px, py);
    if (dragging_) {
        UpdateDragRect(x, y);
    } else {
        hotEdges_ = HotEdges(px, py);
        Cursor = CursorForEdges(hotEdges_);
    }
    if (cursorWindow_)
        cursorWindow_->ShowPosition(px, py);
    TMetaobj::MouseMove(shift, x, y);
}

void TWPGraph::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    if (dragging_) {
        UpdateDragRect(x, y);
        dragging_ = false;
        ApplyDrag();
        Changed();
    }
    TMetaobj::MouseUp(button, shift, x, y);
}

void TWPGraph::UpdateDragRect(int32_t x, int32_t y) {
    const int32_t z0 = ZoneScreen(0), z1 = ZoneScreen(1), z2 = ZoneScreen(2), z3 = ZoneScreen(3),
                  z4 = ZoneScreen(4), z5 = ZoneScreen(5);
    TRect r{z2, z0, z3, z4};
    if (dragEdges_ == DE_Top)
        r = {0, z0, Width(), z4};
    if (dragEdges_ & DE_Top)
        // Also short of the plotting bottom, or the top could pass it.
        r.Top = std::min({y, z1 - kMinDragGap, z4 - kMinDragGap});
    if (dragEdges_ & DE_Right)
        r.Right = std::max(x, z2 + kMinDragGap);
    if (dragEdges_ & DE_Left)
        r.Left = std::min(x, z3 - kMinDragGap);
    if (dragEdges_ & DE_Bottom)
        r.Bottom = std::max(y, z5 + kMinDragGap);
    r.Left = std::clamp(r.Left, 0, Width());
    r.Right = std::clamp(r.Right, 0, Width());
    r.Top = std::clamp(r.Top, 0, Height());
    r.Bottom = std::clamp(r.Bottom, 0, Height());
    dragRect_ = r;
}

// Only the dragged edges change: the other edges of the rectangle are only what it shows.
void TWPGraph::ApplyDrag() {
    const int32_t z0 = ZoneScreen(0);
    const int32_t zoneHeight = ZoneScreen(1) - z0;
    const int32_t w = Width();
    if ((dragEdges_ & DE_Right) && w != 0)
        SetZone(5, MulDiv(dragRect_.Right, 1000, w));
    if ((dragEdges_ & DE_Left) && w != 0)
        SetZone(4, MulDiv(dragRect_.Left, 1000, w));
    if ((dragEdges_ & DE_Bottom) && zoneHeight != 0)
        SetZone(7, std::min(1000, MulDiv(dragRect_.Bottom - dragRect_.Top, 1000, zoneHeight)));
    if ((dragEdges_ & DE_Top) && zoneHeight != 0)
        SetZone(6, MulDiv(dragRect_.Top - z0, 1000, zoneHeight));
    dragEdges_ = 0;
}

// ---- series ----

void TWPGraph::BindAxis(TAsse& axis) {
    axis.OnClick = [this](TComponent* sender) { AxisClick(sender); };
    axis.OnDblClick = [this](TComponent* sender) { AxisDblClick(sender); };
}

void TWPGraph::AppendSeries(TWPSide& side, bool leftSide) {
    for (int i = 0; i < side.AxisCount(); ++i) {
        TAsse& axis = *side.GetAxisByIndex(i);
        BindAxis(axis);
        axis.LeftSide = leftSide;
        axis.SetData(data_);
        series_.push_back(std::make_unique<TSerie>(nullptr, xAxis_, &axis, data_));
    }
}

void TWPGraph::RebuildSeries() {
    series_.clear();
    AppendSeries(*left_, true);
    AppendSeries(*right_, false);
}

// ---- stream ----

void TWPGraph::SaveToStream(TStream& stream) const {
    WriteComponent(stream, *this);
    WriteComponent(stream, *xAxis_);
    left_->WriteToStream(stream);
    right_->WriteToStream(stream);
    WriteComponent(stream, *legend_);
}

void TWPGraph::LoadFromStream(TStream& stream) {
    // The graph reads into itself as it goes, so a trial graph takes the bytes first.
    const int64_t start = stream.Position();
    {
        TWPGraph trial(nullptr, data_);
        trial.LoadInPlace(stream);
    }
    stream.SetPosition(start);
    LoadInPlace(stream);
}

void TWPGraph::LoadInPlace(TStream& stream) {
    ReadComponent(stream, *this);
    ReadComponent(stream, *xAxis_);
    left_->ReadFromStream(stream);
    right_->ReadFromStream(stream);
    ReadComponent(stream, *legend_);
    legend_->SetData(data_);
    RebuildSeries();
    autoLimitsPending_ = true;
    // A picture of the same size would otherwise stay as it was before the read.
    Changed();
}

// ---- dialogs ----

void TWPGraph::FillAxisExchange(const TAsse& axis, TAxisExchange& x) const {
    x.PenColor = axis.Pen.Color;
    if (data_ && data_->ProvaCount() > 0) {
        const TdataProva& first = data_->GetProva(0);
        for (int i = 0; i < first.ChannelNames.Count(); ++i)
            x.ChannelNames.push_back(first.ChannelNames[i]);
    }
    for (int i = 0; i < axis.Channels().Count(); ++i) {
        const int32_t c = axis.Channels().GetItem(i);
        x.AxisChannels.push_back(c);
        x.AxisChannelNames.push_back(
            c >= 0 && c < static_cast<int>(x.ChannelNames.size()) ? x.ChannelNames[c] : "");
    }
    x.Data = data_;
    x.Horizontal = !axis.Vertical;
    x.Grandezza = axis.Grandezza;
    x.Umisura = axis.Umisura;
    x.Caption = axis.Caption;
    x.UseLimitkind = axis.UseLimitkind;
    x.MaximumText = LimitText(axis.Maximum, axis.Logarithmic);
    x.MinimumText = LimitText(axis.Minimum, axis.Logarithmic);
    x.IncrementText = LimitText(axis.Increment, axis.Logarithmic);
    const double divisions =
        axis.Increment != 0 ? (axis.Maximum - axis.Minimum) / axis.Increment : 0;
    x.DivisionsText = Format("%0.0f", {divisions});
    x.DivisionsEnabled = !(Globalgrid && axis.Vertical);
    x.limitiautomatici = axis.limitiautomatici;
    x.FontGrand = axis.FontGrand;
    x.FontUmis = axis.FontUmis;
    x.FontValues = axis.FontValues;
    x.Formato = axis.Formato;
    DataRange(axis, x.RangeMin, x.RangeMax);
    x.RangeMinText = FormatValueByMask(x.RangeMin, axis.Formato);
    x.RangeMaxText = FormatValueByMask(x.RangeMax, axis.Formato);
    x.tipoetichette = axis.tipoetichette;
    x.PenWidthIndex = PenWidthToIndex(axis.Pen.Width);
    x.Sottotacche = axis.Sottotacche;
    x.Marker = axis.MarkerRecord();
    x.Grid = axis.GridRecord();
    x.Spline = axis.SplineRecord();
    x.valori = axis.valori;
    x.FilterIndex = axis.filtro + 1;
    x.filtrotipo = axis.filtrotipo;
    x.filtrovalore = axis.filtrovalore;
    x.filtrotolleranza = axis.filtrotolleranza;
    x.ValueSort = axis.ValueSort;
    x.PenStyleIndex = PenStyleToIndex(axis.Pen.Style);
    x.usa_attributi_asse = axis.usa_attributi_asse;
    x.ShowLineAttrib = axis.ShowLineAttrib;
    x.Gradofunzionale = axis.Gradofunzionale;
    x.DoubleAxe = axis.DoubleAxe;
    x.Conversionformula = axis.Conversionformula;
    x.Umis2 = axis.Umis2;
    x.Zeroinclude = axis.Zeroinclude;
    x.Scala2Indipendente = axis.Scala2Indipendente;
    x.Logarithmic = axis.Logarithmic;
    x.See_line = axis.See_line;
    x.See_funzionale = axis.See_funzionale;
    auto indicator = [](bool on) {
        return on ? TAxisExchange::Indicator{0xFFFF00, GlobalText("IDS_23")}
                  : TAxisExchange::Indicator{0x800000, GlobalText("IDS_24")};
    };
    x.MarkersIndicator = indicator(axis.MarkerRecord().ShowMarkers != 0);
    x.LineIndicator = indicator(axis.See_line);
    x.FitIndicator = indicator(axis.See_funzionale);
    x.SplineIndicator = indicator(axis.SplineRecord().Enabled != 0);
}

// Writes onto target what the user changed (after differs from before), then the values
// that are always written.
void TWPGraph::ApplyAxisExchange(const TAxisExchange& before, const TAxisExchange& after,
                                 TAsse& target) {
    auto carry = [](const auto& b, const auto& a, auto& field) {
        if (!(a == b))
            field = a;
    };
    carry(before.PenColor, after.PenColor, target.Pen.Color);
    if (after.PenStyleIndex != before.PenStyleIndex && after.PenStyleIndex >= 0 &&
        after.PenStyleIndex < 5)
        target.Pen.Style = IndexToPenStyle(after.PenStyleIndex);
    carry(before.Grandezza, after.Grandezza, target.Grandezza);
    carry(before.Umisura, after.Umisura, target.Umisura);
    carry(before.Caption, after.Caption, target.Caption);
    if (after.FontGrandChanged)
        target.FontGrand.Assign(after.FontGrand);
    if (after.FontUmisChanged)
        target.FontUmis.Assign(after.FontUmis);
    if (after.FontValuesChanged)
        target.FontValues.Assign(after.FontValues);
    carry(before.Formato, after.Formato, target.Formato);
    carry(before.tipoetichette, after.tipoetichette, target.tipoetichette);
    if (after.PenWidthIndex != before.PenWidthIndex)
        target.Pen.Width = IndexToPenWidth(after.PenWidthIndex);
    carry(before.Sottotacche, after.Sottotacche, target.Sottotacche);
    if (after.GridChanged)
        target.GridRecord() = after.Grid;
    carry(before.UseLimitkind, after.UseLimitkind, target.UseLimitkind);
    if (after.FilterIndex != before.FilterIndex)
        target.filtro = after.FilterIndex - 1;
    carry(before.filtrotipo, after.filtrotipo, target.filtrotipo);
    carry(before.filtrovalore, after.filtrovalore, target.filtrovalore);
    carry(before.filtrotolleranza, after.filtrotolleranza, target.filtrotolleranza);
    carry(before.ShowLineAttrib, after.ShowLineAttrib, target.ShowLineAttrib);
    if (after.ChannelsChanged) {
        target.Channels().Clear();
        for (int32_t c : after.AxisChannels)
            target.Channels().Add(c);
    }
    if (target.Vertical) {
        target.ValueSort = false;
    } else if (after.ValueSort != before.ValueSort) {
        target.ValueSort = after.ValueSort;
        const bool byChannel = after.ValueSort && target.Channels().Count() > 0;
        SortTests(byChannel ? target.Channels().GetItem(0) : -1);
    }
    if (after.Logarithmic != before.Logarithmic) {
        target.Logarithmic = after.Logarithmic;
        if (target.Logarithmic && target.Sottotacche > 0)
            target.Sottotacche = 9;
    }
    TSplineRecord& spline = target.SplineRecord();
    carry(before.Spline.Enabled, after.Spline.Enabled, spline.Enabled);
    carry(before.Spline.Parameter, after.Spline.Parameter, spline.Parameter);
    carry(before.Spline.Value, after.Spline.Value, spline.Value);
    carry(before.Spline.Extrapolation, after.Spline.Extrapolation, spline.Extrapolation);
    carry(before.See_line, after.See_line, target.See_line);
    carry(before.See_funzionale, after.See_funzionale, target.See_funzionale);
    carry(before.Gradofunzionale, after.Gradofunzionale, target.Gradofunzionale);
    carry(before.usa_attributi_asse, after.usa_attributi_asse, target.usa_attributi_asse);
    if (after.MarkersChanged) {
        target.valori = after.valori;
        target.MarkerRecord() = after.Marker;
    }
    target.DoubleAxe = after.DoubleAxe;
    target.Conversionformula = UpperCase(after.Conversionformula);
    target.Umis2 = after.Umis2;
    target.Zeroinclude = after.Zeroinclude;
    target.Scala2Indipendente = after.Scala2Indipendente;
}

void TWPGraph::ApplyLimits(const TAxisExchange& before, const TAxisExchange& after, TAsse& target,
                           bool limitsRuleChanged) {
    auto manualLimits = [&]() {
        const bool maxChanged = after.MaximumText != before.MaximumText;
        const bool minChanged = after.MinimumText != before.MinimumText;
        double max = 0, min = 0, inc = 0;
        if (target.Logarithmic) {
            if ((maxChanged || minChanged) && TryStrToFloat(after.MinimumText, min) &&
                TryStrToFloat(after.MaximumText, max) && min > 0 && max > 0) {
                TAsse::CalcLogLimits(min, max, target.Minimum, target.Maximum);
                target.Increment = 1;
            }
            return;
        }
        if (maxChanged && TryStrToFloat(after.MaximumText, max))
            target.Maximum = max;
        if (minChanged && TryStrToFloat(after.MinimumText, min))
            target.Minimum = min;
        if (after.IncrementText != before.IncrementText &&
            TryStrToFloat(after.IncrementText, inc) && inc > 0)
            target.Increment = inc;
    };
    if (!limitsRuleChanged) {
        if (!target.limitiautomatici)
            manualLimits();
        return;
    }
    target.Zeroinclude = after.Zeroinclude;
    target.limitiautomatici = after.limitiautomatici;
    if (!target.limitiautomatici) {
        manualLimits();
        return;
    }
    double inc = 0;
    if (TryStrToFloat(after.IncrementText, inc) && inc > 0 && !target.Logarithmic)
        target.Increment = inc;
    RecomputeAutomaticAxis(target);
}

void TWPGraph::RecomputeAutomaticAxis(TAsse& axis) {
    double min = 0, max = 0;
    DataRange(axis, min, max);
    axis.CalcAutoLimits(min, max);
}

void TWPGraph::EditAxis(TAsse& axis) {
    TAxisExchange before;
    FillAxisExchange(axis, before);
    TAxisExchange after = before;
    EditorHooks().EditAxis(after);
    if (after.ModalResult != kModalOk)
        return;
    const bool limitsRuleChanged =
        after.Zeroinclude != before.Zeroinclude || after.Logarithmic != before.Logarithmic ||
        after.limitiautomatici != before.limitiautomatici || after.ChannelsChanged ||
        after.FilterIndex != before.FilterIndex || after.filtrotipo != before.filtrotipo ||
        after.filtrovalore != before.filtrovalore ||
        after.filtrotolleranza != before.filtrotolleranza;
    std::vector<TAsse*> targets;
    ForEachAxis([&](TAsse& a) {
        if (a.Selected && &a != &axis)
            targets.push_back(&a);
    });
    if (xAxis_->Selected && xAxis_ != &axis)
        targets.push_back(xAxis_);
    targets.push_back(&axis);
    bool verticalChanged = false;
    for (TAsse* target : targets) {
        ApplyAxisExchange(before, after, *target);
        ApplyLimits(before, after, *target, limitsRuleChanged);
        verticalChanged = verticalChanged || target->Vertical;
    }
    // The X range follows the rows the vertical axes now filter; its own Increment stays.
    if (verticalChanged && xAxis_->limitiautomatici)
        RecomputeAutomaticAxis(*xAxis_);
    Changed();
}

void TWPGraph::EditSections() {
    TMemoryStream leftBytes, rightBytes;
    left_->WriteToStream(leftBytes);
    right_->WriteToStream(rightBytes);
    std::string l = leftBytes.Bytes();
    std::string r = rightBytes.Bytes();
    if (!EditorHooks().EditSections(l, r))
        return;
    // Both are read before either replaces the graph's: a broken one changes nothing.
    TWPSide newLeft(this), newRight(this);
    TMemoryStream ls(l), rs(r);
    newLeft.ReadFromStream(ls);
    newRight.ReadFromStream(rs);
    ls.SetPosition(0);
    rs.SetPosition(0);
    left_->ReadFromStream(ls);
    right_->ReadFromStream(rs);
    RebuildSeries();
    Changed();
}

int TWPGraph::TypingChannel() {
    return typingChannel;
}

void TWPGraph::SetTypingChannel(int channel) {
    typingChannel = channel;
}

std::vector<std::string> TWPGraph::TypingChoices(const TDatabuffer* data, int channel) {
    std::vector<std::string> choices{kAnyValue};
    if (!data || data->ProvaCount() == 0)
        return choices;
    const TdataProva& first = data->GetProva(0);
    if (channel < 0 || channel >= first.VectorCount())
        return choices;
    TStringList values;
    first.GetDistinctValues(values, false, channel);
    for (int i = 0; i < values.Count(); ++i)
        choices.push_back(values[i]);
    return choices;
}

void TWPGraph::EditAxisTyping() {
    TAxisTypingExchange x;
    std::vector<TAsse*> axes;
    ForEachAxis([&axes](TAsse& a) { axes.push_back(&a); });
    const TdataProva* first = data_ && data_->ProvaCount() > 0 ? &data_->GetProva(0) : nullptr;
    for (TAsse* axis : axes) {
        std::string name;
        if (axis->Channels().Count() > 0 && first) {
            const int c = axis->Channels().GetItem(0);
            if (c >= 0 && c < first->ChannelNames.Count())
                name = first->ChannelNames[c];
        }
        x.Rows.push_back({name, axis->filtrovalore.empty() ? kAnyValue : axis->filtrovalore});
    }
    if (first)
        for (int i = 0; i < first->ChannelNames.Count(); ++i)
            x.Channels.push_back(first->ChannelNames[i] + "[" +
                                 (i < first->Units.Count() ? first->Units[i] : "") + "]");
    x.ChannelIndex = typingChannel;
    x.Data = data_;
    x.Choices = TypingChoices(data_, typingChannel);
    EditorHooks().EditAxisTyping(x);
    if (x.ModalResult != kModalOk)
        return;
    typingChannel = x.ChannelIndex;
    for (size_t i = 0; i < axes.size() && i < x.Rows.size(); ++i) {
        TAsse& axis = *axes[i];
        const std::string& value = x.Rows[i][1];
        // Without a value the axis must not keep filtering on its old channel.
        if (value == kAnyValue || value.empty()) {
            axis.filtro = -1;
            axis.filtrovalore.clear();
            continue;
        }
        axis.filtro = x.ChannelIndex;
        axis.filtrovalore = value;
        // A value that is not a number can only match as text.
        double unused = 0;
        if (!TryStrToFloat(value, unused))
            axis.filtrotipo = 1;
    }
    Changed();
}

void TWPGraph::ShowCursorValues(bool on) {
    if (on) {
        if (!cursorWindow_)
            cursorWindow_.reset(EditorHooks().OpenCursorValues(data_, *xAxis_, *right_, *left_));
        return;
    }
    if (cursorWindow_)
        cursorWindow_->MarkClosing();
    cursorWindow_.reset();
}

// ---- properties ----

const TClassInfo& TWPGraph::StaticClassInfo() {
    using G = TWPGraph;
    auto zone = [](int i) {
        return std::pair{[i](const G& g) { return g.GetZone(i); },
                         [i](G& g, int64_t v) { g.SetZone(i, static_cast<int32_t>(v)); }};
    };
    auto add = [&zone](TClassBuilder<G>& b, const char* name, int i, int64_t def) {
        auto [get, set] = zone(i);
        b.Integer(name, get, set, def);
    };
    static const TClassInfo info = [&add] {
        TClassBuilder<G> b("TWPGraph", &TMetaobj::StaticClassInfo());
        add(b, "ZoneassiL", 0, 10);
        add(b, "ZoneassiT", 2, 10);
        add(b, "ZoneassiR", 1, 990);
        add(b, "ZoneassiB", 3, 990);
        add(b, "ZonegraphL", 4, 200);
        add(b, "ZonegraphR", 5, 800);
        add(b, "ZonegraphT", 6, 50);
        add(b, "ZonegraphB", 7, 950);
        b.Object<TBorder>("border", TBorder::StaticClassInfo(), [](G& g) { return &g.border; })
            .Field("Globalgrid", &G::Globalgrid, 0)
            .Field("Globtacvert", &G::Globtacvert, 25)
            .Bitmap(
                "Filigrana", [](const G& g) { return g.Filigrana.SaveToBytes(); },
                [](G& g, std::string v) { g.Filigrana.LoadFromBytes(v); })
            .Integer(
                "Filigrana_Status", [](const G& g) { return g.Filigrana_Status; },
                [](G& g, int64_t v) { g.Filigrana_Status = static_cast<uint8_t>(v); }, 0, nullptr,
                "Byte");
        return b.Build();
    }();
    return info;
}

namespace {
const bool registered = (RegisterClass(TWPGraph::StaticClassInfo()), true);
} // namespace

} // namespace vx
