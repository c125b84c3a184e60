#include "report/Serie.h"

#include "data/AttributiProve.h"
#include "data/CurveFit.h"
#include "data/Databuff.h"
#include "data/ValueFormat.h"
#include "data/WPComp.h"
#include "platform/graphics/Drawing.h"
#include "platform/runtime/Numbers.h"
#include "report/Asse.h"
#include "report/DrawBounds.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

constexpr int kPatternLength = 8;
// More lines than this could never be told apart on any page.
constexpr int64_t kMaxGridLines = 1000000;

// The elements of each dash style, element 1 first; a set bit is drawn.
bool ElementDrawn(TPenStyle style, int index) {
    static constexpr const char* kDash = "11111000";
    static constexpr const char* kDot = "10001000";
    static constexpr const char* kDashDot = "11100100";
    static constexpr const char* kDashDotDot = "11101010";
    const char* pattern = nullptr;
    switch (style) {
    case psDash:
        pattern = kDash;
        break;
    case psDot:
        pattern = kDot;
        break;
    case psDashDot:
        pattern = kDashDot;
        break;
    case psDashDotDot:
        pattern = kDashDotDot;
        break;
    default:
        return true;
    }
    return pattern[index - 1] == '1';
}

bool IsDashed(TPenStyle style) {
    return style == psDash || style == psDot || style == psDashDot || style == psDashDotDot;
}

// The value a numeric filter field stands for: text that is no number reads 0, as the range
// search of the data buffer reads it, rather than raising inside a paint.
double FilterNumber(const std::string& text) {
    double v = 0;
    return TryStrToFloat(text, v) ? v : 0;
}

void AxisLimits(const TAsse& axis, double& lo, double& hi) {
    lo = axis.Logarithmic ? std::pow(10.0, axis.Minimum) : axis.Minimum;
    hi = axis.Logarithmic ? std::pow(10.0, axis.Maximum) : axis.Maximum;
}

} // namespace

const TSerieXCache::Entry& TSerieXCache::Get(int test, const TAsse& axis, Tdatavector& vector) {
    if (entries_.size() <= static_cast<size_t>(test))
        entries_.resize(static_cast<size_t>(test) + 1);
    Entry& e = entries_[static_cast<size_t>(test)];
    if (e.Axis == &axis && e.Vector == &vector && e.Count == vector.Count())
        return e;
    e.Axis = &axis;
    e.Vector = &vector;
    e.Count = vector.Count();
    const size_t n = static_cast<size_t>(std::max(e.Count, 0));
    e.Values.resize(n);
    e.Pixels.resize(n);
    for (size_t i = 0; i < n; ++i) {
        e.Values[i] = vector.GetFloat(static_cast<int>(i));
        e.Pixels[i] = axis.ValueToPos(e.Values[i]);
    }
    return e;
}

TSerie::TSerie(TComponent* owner, TAsse* xAxis, TAsse* yAxis, TDatabuffer* data)
    : TcanvasObj(owner), xAxis_(xAxis), yAxis_(yAxis), data_(data) {}

TSerie::~TSerie() = default;

void TSerie::SetXCache(TSerieXCache* cache) {
    xCache_ = cache;
    // Points read so far may live in the cache that goes.
    points_.clear();
}

int TSerie::ChannelCount() const {
    return yAxis_ ? yAxis_->Channels().Count() : 0;
}

int TSerie::TestCount() const {
    return data_ ? data_->ProvaCount() : 0;
}

void TSerie::Draw(TCanvas& canvas) {
    if (!BeginDraw(canvas))
        return;
    if (yAxis_->GridRecord().Enabled)
        DrawGrid();
    canvas.Pen = axisPen_;
    if (!data_)
        return;
    if (yAxis_->filtro >= 0)
        BuildFilteredData();
    if (yAxis_->See_line)
        DrawLines();
    if (yAxis_->See_funzionale)
        DrawFit();
    if (yAxis_->SplineRecord().Enabled)
        DrawSpline();
    if (yAxis_->MarkerRecord().ShowMarkers)
        DrawMarkers();
}

bool TSerie::BeginDraw(TCanvas& canvas) {
    canvas_ = &canvas;
    canvas.Pen.Width = 1;
    canvas.Brush.Style = bsClear;
    points_.clear();
    filtered_ = false;
    if (!xAxis_ || !yAxis_ || xAxis_->Channels().Count() == 0 || yAxis_->Channels().Count() == 0)
        return false;
    BoundsRect = Rect(xAxis_->Start(), yAxis_->Start(), xAxis_->End(), yAxis_->End());
    axisPen_ = canvas.Pen;
    axisPen_.Color = yAxis_->Pen.Color;
    axisPen_.Style = yAxis_->Pen.Style;
    axisPen_.Width = TDrawBounds::Pen(ScaleToDevice(yAxis_->Pen.Width, 360));
    return true;
}

// ---- data ----

void TSerie::BuildFilteredData() {
    filteredX_.clear();
    filteredY_.clear();
    points_.clear();
    filtered_ = true;
    if (!data_ || !yAxis_ || !xAxis_)
        return;
    const int channels = ChannelCount();
    const bool numeric = yAxis_->filtrotipo == 0;
    const double value = numeric ? FilterNumber(yAxis_->filtrovalore) : 0;
    const double tolerance = numeric ? FilterNumber(yAxis_->filtrotolleranza) : 0;
    const int32_t f = yAxis_->filtro;
    for (int t = 0; t < TestCount(); ++t) {
        auto& xOut = *filteredX_.emplace_back(std::make_unique<Tdatavector>());
        std::vector<Tdatavector*> yOut;
        std::vector<Tdatavector*> yIn;
        for (int c = 0; c < channels; ++c) {
            yOut.push_back(filteredY_.emplace_back(std::make_unique<Tdatavector>()).get());
            yIn.push_back(yAxis_->GetChannelData(t, c));
        }
        Tdatavector* xIn = xAxis_->GetChannelData(t, 0);
        TdataProva& prova = data_->GetProva(t);
        if (!xIn || f < 0 || f >= prova.ChannelCount())
            continue;
        Tdatavector& filter = prova.GetChannel(f);
        const int rows = std::min(xIn->Count(), filter.Count());
        for (int r = 0; r < rows; ++r) {
            const bool pass = numeric ? std::fabs(filter.GetFloat(r) - value) <= tolerance
                                      : filter.TextView(r) == yAxis_->filtrovalore;
            if (!pass)
                continue;
            xOut.AddText(xIn->TextView(r));
            for (int c = 0; c < channels; ++c)
                if (yIn[c] && r < yIn[c]->Count())
                    yOut[c]->AddText(yIn[c]->TextView(r));
        }
    }
}

std::vector<double> TSerie::ReadValues(Tdatavector* vector, size_t limit) {
    std::vector<double> values;
    if (!vector)
        return values;
    const int n = static_cast<int>(std::min(static_cast<size_t>(vector->Count()), limit));
    values.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        values[static_cast<size_t>(i)] = vector->GetFloat(i);
    return values;
}

const TSerie::TestPoints& TSerie::PointsOf(int test) {
    if (points_.size() != static_cast<size_t>(TestCount()))
        points_.assign(static_cast<size_t>(TestCount()), TestPoints{});
    TestPoints& p = points_[static_cast<size_t>(test)];
    if (p.read)
        return p;
    p.read = true;
    const int channels = ChannelCount();
    const bool useFilter = filtered_ && static_cast<size_t>(test) < filteredX_.size();
    Tdatavector* xv =
        useFilter ? filteredX_[static_cast<size_t>(test)].get() : xAxis_->GetChannelData(test, 0);
    p.x = {};
    p.xPixels = {};
    if (xv && xCache_ && !useFilter) {
        const TSerieXCache::Entry& shared = xCache_->Get(test, *xAxis_, *xv);
        p.x = shared.Values;
        p.xPixels = shared.Pixels;
    } else {
        p.ownX = ReadValues(xv, SIZE_MAX);
        p.x = p.ownX;
    }
    p.y.resize(static_cast<size_t>(channels));
    for (int c = 0; c < channels; ++c) {
        const size_t entry = static_cast<size_t>(test) * channels + c;
        Tdatavector* yv = useFilter
                              ? (entry < filteredY_.size() ? filteredY_[entry].get() : nullptr)
                              : yAxis_->GetChannelData(test, c);
        // A channel the test lacks gives it no points at all.
        p.y[static_cast<size_t>(c)] = xv ? ReadValues(yv, p.x.size()) : std::vector<double>{};
    }
    return p;
}

// ---- attributes ----

const TAttributoProva& TSerie::StyleOf(int test) const {
    return AttributiProve().ForTest(test);
}

void TSerie::ApplyLineAttributes(int test) {
    TPen& pen = canvas_->Pen;
    if (yAxis_->usa_attributi_asse) {
        pen.Color = axisPen_.Color;
        pen.Style = axisPen_.Style;
        pen.Width = axisPen_.Width;
        return;
    }
    const TAttributoProva& style = StyleOf(test);
    pen.Color = style.Color;
    pen.Style = style.PenStyle;
    pen.Width = static_cast<int32_t>(std::min<uint32_t>(style.Width, INT32_MAX));
}

TSerie::Window TSerie::ClipWindow() const {
    Window w{};
    AxisLimits(*xAxis_, w.xmin, w.xmax);
    AxisLimits(*yAxis_, w.ymin, w.ymax);
    if (w.xmin > w.xmax)
        std::swap(w.xmin, w.xmax);
    if (w.ymin > w.ymax)
        std::swap(w.ymin, w.ymax);
    return w;
}

// ---- polylines ----

void TSerie::ResetDash() {
    dashIndex_ = 1;
    dashLength_ = 0;
    dashAdvance_ = false;
}

void TSerie::DrawSegmentLine(std::span<const double> x, std::span<const double> y) {
    DrawSegmentLine(x, y, {});
}

void TSerie::DrawSegmentLine(std::span<const double> x, std::span<const double> y,
                             std::span<const int32_t> xPixels) {
    ResetDash();
    TCanvas& c = *canvas_;
    const Window w = ClipWindow();
    const TClipRect rect{w.xmin, w.ymin, w.xmax, w.ymax};
    const size_t n = std::min(x.size(), y.size());
    const bool dashed = IsDashed(c.Pen.Style);
    run_.clear();
    bool havePrevious = false;
    TClipPoint previous{0, 0};
    TPoint previousPixel{0, 0};
    for (size_t i = 1; i < n; ++i) {
        TClipPoint p1{x[i - 1], y[i - 1]};
        TClipPoint p2{x[i], y[i]};
        if (!std::isfinite(p1.x) || !std::isfinite(p1.y) || !std::isfinite(p2.x) ||
            !std::isfinite(p2.y) || !ClipSegmentToRect(p1, p2, rect))
            continue;
        // A mapping is a pure function of the value: an unclipped end keeps the pixel known
        // for it, and a segment usually starts where the previous one ended.
        auto xPixel = [&](double v, size_t k) {
            return k < xPixels.size() && v == x[k] ? xPixels[k] : xAxis_->ValueToPos(v);
        };
        const TPoint a = havePrevious && p1.x == previous.x && p1.y == previous.y
                             ? previousPixel
                             : TPoint{xPixel(p1.x, i - 1), yAxis_->ValueToPos(p1.y)};
        const TPoint b{xPixel(p2.x, i), yAxis_->ValueToPos(p2.y)};
        havePrevious = true;
        previous = p2;
        previousPixel = b;
        if (dashed) {
            if (c.PenPos() != a)
                c.MoveTo(a.X, a.Y);
            DashTo(b);
            continue;
        }
        if (!run_.empty() && run_.back() != a)
            FlushRun();
        if (run_.empty())
            run_.push_back(a);
        run_.push_back(b);
    }
    FlushRun();
}

void TSerie::FlushRun() {
    if (run_.size() < 2) {
        run_.clear();
        return;
    }
    TCanvas& c = *canvas_;
    // The metafile ends its polyline record at every MoveTo: a curve that goes on from the
    // pen position stays one record.
    if (c.PenPos() != run_.front())
        c.MoveTo(run_.front().X, run_.front().Y);
    const bool thin = decimation_ && c.Pen.Style == psSolid;
    const size_t n = run_.size();
    if (!thin) {
        for (size_t i = 1; i < n; ++i)
            c.LineTo(run_[i].X, run_[i].Y);
        run_.clear();
        return;
    }
    // Group by pixel column, the first point of the run included in its group.
    size_t start = 0;
    while (start < n) {
        size_t end = start + 1;
        while (end < n && run_[end].X == run_[start].X)
            ++end;
        // Points start .. end-1 share a column: the union of their segments is the span from
        // the lowest to the highest, entered at the first and left at the last.
        if (end - start <= 4) {
            for (size_t k = std::max<size_t>(start, 1); k < end; ++k)
                c.LineTo(run_[k].X, run_[k].Y);
        } else {
            size_t lo = start;
            size_t hi = start;
            for (size_t k = start + 1; k < end; ++k) {
                if (run_[k].Y < run_[lo].Y)
                    lo = k;
                if (run_[k].Y > run_[hi].Y)
                    hi = k;
            }
            const size_t picks[] = {start, std::min(lo, hi), std::max(lo, hi), end - 1};
            size_t previous = SIZE_MAX;
            for (size_t k : picks) {
                if (k == previous)
                    continue;
                previous = k;
                if (k > 0)
                    c.LineTo(run_[k].X, run_[k].Y);
            }
        }
        start = end;
    }
    run_.clear();
}

void TSerie::DashTo(TPoint target) {
    TCanvas& c = *canvas_;
    const TPenStyle style = c.Pen.Style;
    const double element = c.Pen.Width / 2 + 10;
    const TPoint from = c.PenPos();
    const double dx = target.X - from.X;
    const double dy = target.Y - from.Y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0)
        return;
    const double ux = dx / length;
    const double uy = dy / length;
    // Every step but the last walks at least an element less a pixel along the line.
    const double steps = length / (element - 1) * 2 + 16;
    // The pattern is ours: each piece goes out solid, so that the player's own dashes of a
    // one-pixel pen are not laid over it.
    c.Pen.Style = psSolid;
    for (double step = 0; step < steps; ++step) {
        if (dashAdvance_) {
            dashIndex_ = dashIndex_ % kPatternLength + 1;
            dashAdvance_ = false;
        }
        const TPoint pos = c.PenPos();
        const bool draw = ElementDrawn(style, dashIndex_);
        const double px = pos.X - from.X;
        const double py = pos.Y - from.Y;
        const double distance = std::hypot(target.X - pos.X, target.Y - pos.Y);
        const double rest = element - dashLength_;
        if (rest >= distance) {
            if (pos != target) {
                draw ? c.LineTo(target.X, target.Y) : c.MoveTo(target.X, target.Y);
                dashLength_ += static_cast<float>(distance);
            }
            if (dashLength_ >= element) {
                dashLength_ = 0;
                dashAdvance_ = true;
            }
            break;
        }
        // Where the circle of the rest around the (rounded) pen position meets the line
        // through the segment's ends, ahead of the pen: walking from the rounded position
        // along the segment's own slope could stall on a steep line.
        const double along = px * ux + py * uy;
        const double off = px * uy - py * ux;
        const double s = along + std::sqrt(std::max(0.0, rest * rest - off * off));
        const auto nx = static_cast<int32_t>(Round(from.X + s * ux));
        const auto ny = static_cast<int32_t>(Round(from.Y + s * uy));
        draw ? c.LineTo(nx, ny) : c.MoveTo(nx, ny);
        dashLength_ = 0;
        dashAdvance_ = true;
    }
    c.Pen.Style = style;
}

// ---- steps ----

void TSerie::DrawLines() {
    const int channels = ChannelCount();
    for (int ch = 0; ch < channels; ++ch)
        for (int t = 0; t < TestCount(); ++t) {
            ApplyLineAttributes(t);
            const TestPoints& p = PointsOf(t);
            DrawSegmentLine(p.x, p.y[static_cast<size_t>(ch)], p.xPixels);
        }
}

int TSerie::CurvePointCount() {
    size_t n = static_cast<size_t>(std::max(Width(), 0));
    for (int t = 0; t < TestCount(); ++t)
        n = std::max(n, PointsOf(t).x.size());
    return static_cast<int>(std::min<size_t>(n, INT32_MAX));
}

bool TSerie::FitCurve(std::span<const double> x, std::span<const double> y, int count,
                      std::vector<double>& cx, std::vector<double>& cy) const {
    const size_t n = std::min(x.size(), y.size());
    if (n < 2 || count < 1)
        return false;
    std::vector<double> xc(x.begin(), x.begin() + static_cast<ptrdiff_t>(n));
    cy.assign(y.begin(), y.begin() + static_cast<ptrdiff_t>(n));
    double lo = 0;
    double hi = 0;
    if (xAxis_->UseLimitkind == LK_AXELimit) {
        AxisLimits(*xAxis_, lo, hi);
    } else {
        const auto [mn, mx] = std::minmax_element(xc.begin(), xc.end());
        lo = *mn;
        hi = *mx;
    }
    // All X at one value: no curve, rather than the fit's untouched input.
    if (!(hi > lo))
        return false;
    const auto [ymn, ymx] = std::minmax_element(cy.begin(), cy.end());
    const double ymin = *ymn;
    const double ymax = *ymx;
    const size_t padded = std::max(static_cast<size_t>(count), n);
    xc.resize(padded, 0);
    cy.resize(padded, 0);
    const auto flo = static_cast<float>(lo);
    const auto fhi = static_cast<float>(hi);
    NormalizeToFitRange(static_cast<int>(n), xc, flo, fhi);
    cx.clear();
    FillFitGrid(cx, count);
    if (!FitPolynomial(count, yAxis_->Gradofunzionale, static_cast<int>(n), cx, cy, xc, ymin, ymax))
        return false;
    DenormalizeFromFitRange(count, cx, flo, fhi);
    cx.resize(static_cast<size_t>(count));
    cy.resize(static_cast<size_t>(count));
    return true;
}

bool TSerie::SplineCurve(std::span<const double> x, std::span<const double> y, int count,
                         std::vector<double>& cx, std::vector<double>& cy) const {
    const size_t n = std::min(x.size(), y.size());
    if (n < 2 || count < 1)
        return false;
    const TSplineRecord& record = yAxis_->SplineRecord();
    TSplineCurve curve;
    curve.X.reserve(n + 1);
    curve.Y.reserve(n + 1);
    curve.X.push_back(0);
    curve.Y.push_back(0);
    curve.X.insert(curve.X.end(), x.begin(), x.begin() + static_cast<ptrdiff_t>(n));
    curve.Y.insert(curve.Y.end(), y.begin(), y.begin() + static_cast<ptrdiff_t>(n));
    SortPointsByX(curve);
    MergeClosePoints(curve, record.Value);
    BuildSpline(curve, record.Parameter, record.Extrapolation ? SplineNotClamped : 0);
    // An unusable curve would give x itself: the line y = x.
    if (!(curve.X[0] >= 0))
        return false;
    double xmin = 0;
    double xmax = 0;
    AxisLimits(*xAxis_, xmin, xmax);
    cx.resize(static_cast<size_t>(count));
    cy.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double v = xmin + i * (xmax - xmin) / count;
        cx[static_cast<size_t>(i)] = v;
        cy[static_cast<size_t>(i)] = EvaluateSpline(curve, v);
    }
    return true;
}

void TSerie::DrawCurves(bool spline) {
    const int count = CurvePointCount();
    const int channels = ChannelCount();
    std::vector<double> cx;
    std::vector<double> cy;
    for (int t = 0; t < TestCount(); ++t) {
        const TestPoints& p = PointsOf(t);
        for (int ch = 0; ch < channels; ++ch) {
            const std::vector<double>& ys = p.y[static_cast<size_t>(ch)];
            const bool made =
                spline ? SplineCurve(p.x, ys, count, cx, cy) : FitCurve(p.x, ys, count, cx, cy);
            if (!made)
                continue;
            ApplyLineAttributes(t);
            DrawSegmentLine(cx, cy);
        }
    }
}

void TSerie::DrawFit() {
    DrawCurves(false);
}

void TSerie::DrawSpline() {
    DrawCurves(true);
}

void TSerie::DrawMarkers() {
    TCanvas& c = *canvas_;
    const TPointMarkerRecord& record = yAxis_->MarkerRecord();
    static constexpr double kSizes[] = {0.4, 0.8, 1.2};
    const double millimetres = record.SizeIndex < 3 ? kSizes[record.SizeIndex] : kSizes[0];
    const int32_t half = UnitsToPixels(c.GetDeviceCaps(LOGPIXELSX), UM_mm, millimetres);
    const bool axisAttributes = yAxis_->usa_attributi_asse;
    AssignFont(c, yAxis_->valori.font);
    const bool labels = yAxis_->valori.X || yAxis_->valori.Y;
    const Window w = ClipWindow();
    const int channels = ChannelCount();
    for (int ch = 0; ch < channels; ++ch)
        for (int t = 0; t < TestCount(); ++t) {
            const TestPoints& p = PointsOf(t);
            const std::vector<double>& ys = p.y[static_cast<size_t>(ch)];
            TPen pen = axisPen_;
            pen.Color = axisAttributes ? axisPen_.Color : StyleOf(t).Color;
            pen.Style = psSolid;
            pen.Width = 2;
            TBrush brush = c.Brush;
            brush.Style = record.Filled && axisAttributes ? bsSolid : bsClear;
            if (brush.Style == bsSolid)
                brush.Color = record.FillColor;
            const int shape = axisAttributes ? record.MarkerType : StyleOf(t).PointType;
            for (size_t i = 0; i < ys.size(); ++i) {
                if (!w.Contains(p.x[i], ys[i]))
                    continue;
                const int32_t px = i < p.xPixels.size() ? p.xPixels[i] : xAxis_->ValueToPos(p.x[i]);
                const int32_t py = yAxis_->ValueToPos(ys[i]);
                c.Pen = pen;
                c.Brush = brush;
                DrawMarker(c, px, py, shape, half);
                if (labels)
                    DrawLabel(px, py, p.x[i], ys[i]);
            }
        }
}

void TSerie::DrawLabel(int32_t px, int32_t py, double x, double y) {
    TCanvas& c = *canvas_;
    const Tvaluedefnt& v = yAxis_->valori;
    std::string text;
    if (v.X && v.Y)
        text =
            FormatValueByMask(x, xAxis_->Formato) + " ; " + FormatValueByMask(y, yAxis_->Formato);
    else if (v.X)
        text = FormatValueByMask(x, xAxis_->Formato);
    else
        text = FormatValueByMask(y, yAxis_->Formato);
    c.SetTextAlign(TA_CENTER | TA_TOP);
    const int32_t ax = px + UnitsToPixels(c.GetDeviceCaps(LOGPIXELSX), UM_mm, v.SX);
    const int32_t ay =
        py + UnitsToPixels(c.GetDeviceCaps(LOGPIXELSY), UM_mm, v.SY) + c.TextHeight("X");
    const int32_t halfWidth = c.TextWidth(text) / 2;
    const TRect box =
        Rect(ax - halfWidth - 5, ay - 5, ax + halfWidth + 5, ay + c.TextHeight(text) + 5);
    if (v.background) {
        c.Brush.Style = bsSolid;
        c.Brush.Color = v.backgroundcolor;
        c.FillRect(box);
    }
    if (v.border) {
        c.Pen.Style = psSolid;
        c.Pen.Width = 2;
        c.Pen.Color = v.bordercolor;
        c.Brush.Style = bsClear;
        c.Rectangle(box);
    }
    c.Brush.Style = bsClear;
    c.TextOut(ax, ay, text);
}

// ---- grid ----

void TSerie::DrawGrid() {
    TCanvas& c = *canvas_;
    const TGridRecord& record = yAxis_->GridRecord();
    if (record.Orientation == 0 || record.Orientation == 1)
        DrawGridLines(*xAxis_, true);
    if (record.Orientation == 0 || record.Orientation == 2)
        DrawGridLines(*yAxis_, false);
    const TRect& b = BoundsRect;
    c.Pen.Style = psSolid;
    c.Pen.Color = clBlack;
    c.Pen.Width = TDrawBounds::Pen(record.PenWidth);
    const TPoint frame[] = {{b.Left, b.Top},
                            {b.Right, b.Top},
                            {b.Right, b.Bottom},
                            {b.Left, b.Bottom},
                            {b.Left, b.Top}};
    c.Polyline(frame, 5);
}

void TSerie::DrawGridLines(const TAsse& axis, bool vertical) {
    TCanvas& c = *canvas_;
    const TGridRecord& record = yAxis_->GridRecord();
    const bool minor = record.MinorLines != 0;
    const int sub = minor ? axis.Sottotacche + 1 : 1;
    const int64_t count = static_cast<int64_t>(axis.DivisionCount()) * sub;
    if (count > kMaxGridLines)
        return;
    const double step = axis.Increment / sub;
    double lo = 0;
    double hi = 0;
    AxisLimits(axis, lo, hi);
    const int32_t p1 = axis.ValueToPos(lo);
    const int32_t p2 = axis.ValueToPos(hi);
    const int32_t first = std::min(p1, p2);
    const int32_t last = std::max(p1, p2);
    const TRect& b = BoundsRect;
    for (int64_t i = 0; i <= count; ++i) {
        double value = axis.Minimum + static_cast<double>(i) * step;
        if (axis.Logarithmic) {
            if (minor) {
                double f = Frac(static_cast<double>(i) * step);
                if (f == 0)
                    f = 1;
                value = std::pow(10.0, static_cast<double>(i / sub) + axis.Minimum + 1) * f;
            } else {
                // The minor-line formula would put every line of a plain grid on one decade.
                value = std::pow(10.0, axis.Minimum + static_cast<double>(i) * axis.Increment);
            }
        }
        const int32_t pos = axis.ValueToPos(value);
        if (pos < first || pos > last)
            continue;
        const bool dotted = minor && i % sub != 0;
        c.Pen.Color = record.Color;
        c.Pen.Style = dotted ? psDot : static_cast<TPenStyle>(record.PenStyle);
        c.Pen.Width = dotted ? 1 : TDrawBounds::Pen(record.PenWidth);
        if (vertical) {
            c.MoveTo(pos, b.Top);
            c.LineTo(pos, b.Bottom);
        } else {
            c.MoveTo(b.Left, pos);
            c.LineTo(b.Right, pos);
        }
    }
}

const TClassInfo& TSerie::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TSerie>("TSerie", &TcanvasObj::StaticClassInfo()).Build();
    return info;
}

} // namespace vx
