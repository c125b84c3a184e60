#include "report/Asse.h"

#include "data/ChannelFunctions.h"
#include "data/Databuff.h"
#include "data/Settings.h"
#include "data/ValueFormat.h"
#include "platform/graphics/Drawing.h"
#include "platform/graphics/GraphicsMeta.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Format.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace vx {

namespace {

// Little-endian fields at fixed offsets; padding stays zero both ways.
void PutU32(uint8_t* at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t GetU32(const uint8_t* at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(at[i]) << (8 * i);
    return v;
}
void PutF64(uint8_t* at, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    PutU32(at, static_cast<uint32_t>(bits));
    PutU32(at + 4, static_cast<uint32_t>(bits >> 32));
}
double GetF64(const uint8_t* at) {
    const uint64_t bits = GetU32(at) | (static_cast<uint64_t>(GetU32(at + 4)) << 32);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}
// Exact for the exponents a double can hold: a power by repeated products and, below one,
// one division, which rounds once.
double Pow10(int e) {
    double p = 1;
    for (int i = 0; i < std::abs(e) && i < 400; ++i)
        p *= 10;
    return e < 0 ? 1 / p : p;
}

constexpr double kMaxCount = 2147483647.0;
constexpr int kMinExponent = -400;
constexpr int64_t kMaxDecimals = 20;

void CheckSize(size_t size, size_t needed) {
    if (size < needed)
        throw EReadError("Stream read error");
}

} // namespace

std::array<uint8_t, TPointMarkerRecord::kSize> TPointMarkerRecord::ToBytes() const {
    std::array<uint8_t, kSize> b{};
    b[0] = MarkerType;
    PutU32(&b[4], static_cast<uint32_t>(FillColor));
    b[8] = Filled;
    b[9] = ShowMarkers;
    PutU32(&b[12], SizeIndex);
    return b;
}

TPointMarkerRecord TPointMarkerRecord::FromBytes(const uint8_t* bytes, size_t size) {
    CheckSize(size, kSize);
    TPointMarkerRecord r;
    r.MarkerType = bytes[0];
    r.FillColor = static_cast<TColor>(GetU32(bytes + 4));
    r.Filled = bytes[8];
    r.ShowMarkers = bytes[9];
    r.SizeIndex = GetU32(bytes + 12);
    return r;
}

std::array<uint8_t, TSplineRecord::kSize> TSplineRecord::ToBytes() const {
    std::array<uint8_t, kSize> b{};
    b[0] = Enabled;
    b[1] = Parameter;
    PutF64(&b[8], Value);
    b[16] = Extrapolation;
    return b;
}

TSplineRecord TSplineRecord::FromBytes(const uint8_t* bytes, size_t size) {
    CheckSize(size, kSize);
    TSplineRecord r;
    r.Enabled = bytes[0];
    r.Parameter = bytes[1];
    r.Value = GetF64(bytes + 8);
    r.Extrapolation = bytes[16];
    return r;
}

std::array<uint8_t, TGridRecord::kSize> TGridRecord::ToBytes() const {
    std::array<uint8_t, kSize> b{};
    b[0] = Enabled;
    PutU32(&b[4], PenWidth);
    b[8] = PenStyle;
    PutU32(&b[12], static_cast<uint32_t>(Color));
    b[16] = MinorLines;
    b[17] = Orientation;
    return b;
}

TGridRecord TGridRecord::FromBytes(const uint8_t* bytes, size_t size) {
    CheckSize(size, kSize);
    TGridRecord r;
    r.Enabled = bytes[0];
    r.PenWidth = GetU32(bytes + 4);
    r.PenStyle = bytes[8];
    r.Color = static_cast<TColor>(GetU32(bytes + 12));
    r.MinorLines = bytes[16];
    r.Orientation = bytes[17];
    return r;
}

TAsse::TAsse(TComponent* owner)
    : TcanvasObj(owner), FontGrand(*CreateDefaultFont()), FontUmis(*CreateDefaultFont()),
      FontValues(*CreateDefaultFont()) {
    if (auto* dataOwner = dynamic_cast<TDataOwner*>(owner))
        data_ = dataOwner->Data();
}

TAsse::~TAsse() = default;

void TAsse::SetGridAlignment(bool on, const TRect& plot, int32_t cellCount) {
    gridAlign_ = on;
    plotRect_ = plot;
    gridCells_ = cellCount;
}

// ---- scale ----

int32_t TAsse::DivisionCount() const {
    if (!Logarithmic && !(Increment > 0))
        return 0;
    const double q = Logarithmic ? Maximum - Minimum : (Maximum - Minimum) / Increment;
    // More divisions than 32 bits hold could never be drawn (each is at least a pixel).
    if (!std::isfinite(q) || std::fabs(q) >= kMaxCount)
        return 0;
    return static_cast<int32_t>(Round(q));
}

double TAsse::PosToValue(int32_t offset) const {
    double t = 0;
    if (length_ != 0) {
        t = static_cast<double>(offset) / length_;
        if (Vertical)
            t = 1 - t;
    }
    const double v = Minimum + t * (Maximum - Minimum);
    return Logarithmic ? std::pow(10.0, v) : v;
}

void TAsse::CalcLogLimits(double min, double max, double& e1, double& e2) {
    if (!std::isfinite(min) || min <= 0)
        min = 1;
    if (!std::isfinite(max) || max <= min)
        max = 10;
    int lower = static_cast<int>(std::floor(std::log10(min)));
    // log10 may miss an exact power by one ulp; the powers decide.
    while (Pow10(lower + 1) <= min)
        ++lower;
    while (lower > kMinExponent && Pow10(lower) > min)
        --lower;
    int upper = lower;
    while (Pow10(upper) < max)
        ++upper;
    if (upper == lower)
        ++upper;
    e1 = lower;
    e2 = upper;
}

void TAsse::CalcAutoLimits(double dataMin, double dataMax) {
    int32_t divisions = DivisionCount();
    if (divisions == 0)
        divisions = 5;
    if (Logarithmic) {
        double lo = 0;
        double hi = 0;
        ChannelRange(lo, hi);
        CalcLogLimits(lo, hi, Minimum, Maximum);
        Increment = 1;
        return;
    }
    // Limits from a range that is no number would poison every later draw.
    if (!std::isfinite(dataMin) || !std::isfinite(dataMax) || !std::isfinite(dataMax - dataMin))
        return;
    double min = dataMin;
    double max = dataMax;
    if (ImpostazioniRec.AutoLimitMethod() != 0)
        divisions = LimitsNuovo(min, max);
    else
        LimitsTradizionale(min, max, divisions);
    Minimum = min;
    Maximum = max;
    Increment = (max - min) / divisions;
}

void TAsse::ChannelRange(double& lo, double& hi) const {
    lo = hi = 0;
    if (!data_ || data_->ProvaCount() == 0)
        return;
    // A filter channel that some test lacks filters nothing, as for a value channel.
    int32_t filter = filtro;
    for (int t = 0; filter >= 0 && t < data_->ProvaCount(); ++t)
        if (filter >= data_->GetProva(t).VectorCount())
            filter = -1;
    bool found = false;
    for (int i = 0; i < channels_.Count(); ++i) {
        const int32_t channel = channels_.GetItem(i);
        if (channel < 0)
            continue;
        double min = std::numeric_limits<double>::quiet_NaN();
        double max = min;
        data_->GetRangeMinMax(min, max, channel, filter, filtrotipo != 0, filtrovalore,
                              filtrotolleranza);
        if (std::isnan(min) || std::isnan(max))
            continue; // no row passed the filter
        lo = found ? std::min(lo, min) : min;
        hi = found ? std::max(hi, max) : max;
        found = true;
    }
}

int32_t TAsse::LimitsNuovo(double& min, double& max) const {
    if (Zeroinclude) {
        if (min > 0)
            min = 0;
        else if (max < 0)
            max = 0;
    }
    double r = max - min;
    if (r <= 0 || std::fabs(max / r) > 1000) {
        if (r <= 0 || max <= min + 0.5) {
            max = min + 0.5;
            min = min - 0.5;
            r = 1;
        } else {
            // A narrow range far from zero: widening around min alone would cut off the
            // data above min + 0.5.
            min -= 0.5;
            max += 0.5;
            r = max - min;
        }
    }
    double e = std::log10(r);
    if (e < 0)
        e -= 1;
    const double p = Pow10(static_cast<int>(std::trunc(1.001 * e)));
    double step = p / 100;
    for (double divisor : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0})
        if (r / (p / divisor) >= 3) {
            step = p / divisor;
            break;
        }
    double top = std::trunc(max / step) * step;
    if (top < max)
        top += step;
    double n = std::trunc((top - min) / step);
    if (top - n * step > min)
        n += 1;
    max = top;
    min = top - n * step;
    return static_cast<int32_t>(std::min(n, kMaxCount));
}

namespace {

// 0.001, 0.002, 0.0025, 0.005, 0.01, ... 5, then 10, 20, 25, 30, 50, 70, 100, ... Each step is
// a factor over an exact power of ten, so that the list does not drift as a running product
// would.
class StepList {
public:
    double Next() {
        static constexpr double kSmall[] = {1, 2, 2.5, 5};
        static constexpr double kLarge[] = {1, 2, 2.5, 3, 5, 7};
        const bool large = exponent_ >= 1;
        const double factor = large ? kLarge[index_] : kSmall[index_];
        const double step = exponent_ < 0 ? factor / Pow10(-exponent_) : factor * Pow10(exponent_);
        if (++index_ == (large ? std::size(kLarge) : std::size(kSmall))) {
            index_ = 0;
            ++exponent_;
        }
        return step;
    }
    bool Exhausted() const { return exponent_ > 308; }

private:
    int exponent_ = -3;
    size_t index_ = 0;
};

double SnapGrain(double step) {
    if (step >= 1000)
        return 100;
    if (step >= 100)
        return 50;
    if (step >= 50)
        return 10;
    if (step >= 10)
        return 5;
    if (step >= 1)
        return 1;
    return 0;
}

std::string Bracketed(std::string_view text) {
    std::string s;
    s.reserve(text.size() + 2);
    s += '[';
    s += text;
    s += ']';
    return s;
}

double CutTo5Decimals(double x) {
    return std::trunc(x) + std::trunc(Frac(x) * 100000) / 100000;
}

} // namespace

void TAsse::LimitsTradizionale(double& min, double& max, int32_t divisions) const {
    const int64_t values = static_cast<int64_t>(divisions) + 1;
    if (values <= 1)
        return;
    const double spans = static_cast<double>(values - 1);
    double start = std::floor(min);
    if (start <= 0.1 * (max - min) && start > 0)
        start = 0;
    StepList steps;
    while (!steps.Exhausted()) {
        double step = steps.Next();
        double top = start + spans * step;
        if (!(top >= max))
            continue;
        // Single precision, as the stored limits were computed with it.
        const double half = static_cast<float>(((top - max) + (min - start)) / 2);
        if (start > 0 && min - half > 0)
            start = min - half;
        else if (min > 0)
            start = 0;
        if (const double grain = SnapGrain(step); grain > 0 && start != std::trunc(start)) {
            start = std::trunc(start / grain) * grain;
            if (start < 0)
                start -= grain;
        }
        top = start + spans * step;
        // A step rejected below keeps the start it moved; the next step starts from there.
        if (min == max) {
            step = 10;
            start = std::trunc(min - static_cast<double>(values / 2) * 10);
            top = std::trunc(max + static_cast<double>(values / 2) * 10);
        }
        if (top >= max) {
            max = CutTo5Decimals(top);
            min = CutTo5Decimals(start);
            return;
        }
    }
}

// ---- channels ----

TAsse::ChannelTexts TAsse::TextsOf(int32_t channel) const {
    ChannelTexts own;
    if (data_ && data_->ProvaCount() > 0 && channel >= 0) {
        const TdataProva& first = data_->GetProva(0);
        if (channel < first.ChannelNames.Count())
            own.Quantity = first.ChannelNames[channel];
        if (channel < first.Units.Count())
            own.Unit = first.Units[channel];
    }
    switch (tipoetichette) {
    case 0:
        own.Caption = own.Quantity + " [" + own.Unit + "]";
        return own;
    case 1:
        return {Grandezza + Bracketed(Umisura), Grandezza, Umisura};
    case 2:
        if (data_ && channel >= 0 && channel < data_->LabelTable.Count()) {
            const std::string& entry = data_->LabelTable[channel];
            const size_t mark = entry.find('\xA7');
            ChannelTexts t;
            t.Quantity = entry.substr(0, mark);
            t.Unit = mark == std::string::npos ? std::string() : entry.substr(mark + 1);
            t.Caption = t.Quantity + Bracketed(t.Unit);
            return t;
        }
        own.Caption = own.Quantity + " [" + own.Unit + "]";
        return own;
    default:
        own.Caption = own.Quantity;
        return own;
    }
}

std::string TAsse::ChannelCaption(int32_t channel) const {
    return TextsOf(channel).Caption;
}

std::string TAsse::ChannelQuantity(int32_t channel) const {
    return TextsOf(channel).Quantity;
}

std::string TAsse::ChannelUnit(int32_t channel) const {
    return TextsOf(channel).Unit;
}

Tdatavector* TAsse::GetChannelData(int32_t test, int32_t position) const {
    if (!data_ || test < 0 || test >= data_->ProvaCount() || position < 0 ||
        position >= channels_.Count())
        return nullptr;
    TdataProva& prova = data_->GetProva(test);
    const int32_t channel = channels_.GetItem(position);
    if (channel < 0 || channel >= prova.ChannelCount())
        return nullptr;
    return &prova.GetChannel(channel);
}

void TAsse::ClampChannels() {
    loaded_ = false;
    if (!data_)
        return;
    for (int t = 0; t < data_->ProvaCount(); ++t) {
        const int count = data_->GetProva(t).ChannelCount();
        if (count <= 0) {
            channels_.Clear();
            return;
        }
        for (int i = 0; i < channels_.Count(); ++i)
            channels_.SetItem(i, std::clamp(channels_.GetItem(i), 0, count - 1));
    }
}

// ---- stream ----

namespace {
const std::string kGridMark = std::string("\x08") + "Griglia ";
} // namespace

void TAsse::WriteAsse(TStream& stream) const {
    stream.WriteI32(channels_.Count());
    for (int i = 0; i < channels_.Count(); ++i)
        stream.WriteI32(channels_.GetItem(i));
    const auto marker = marker_.ToBytes();
    stream.WriteBuffer(marker.data(), marker.size());
    stream.WriteBytes(kGridMark);
    const auto grid = grid_.ToBytes();
    stream.WriteBuffer(grid.data(), grid.size());
    const auto spline = spline_.ToBytes();
    stream.WriteBuffer(spline.data(), spline.size());
}

void TAsse::ReadAsse(TStream& stream) {
    // Everything is read before anything is taken, so a short stream changes nothing.
    const int32_t count = stream.ReadI32();
    std::vector<int32_t> channels(stream.CheckCount(count, 4));
    for (int32_t& c : channels)
        c = stream.ReadI32();
    auto record = [&stream](size_t size) {
        const std::string bytes = stream.ReadBytes(size);
        return bytes;
    };
    const std::string marker = record(TPointMarkerRecord::kSize);
    std::optional<TGridRecord> grid;
    // Older streams have neither the mark nor the grid record: the spline record follows.
    if (stream.Remaining() >= static_cast<int64_t>(kGridMark.size())) {
        if (record(kGridMark.size()) == kGridMark) {
            const std::string g = record(TGridRecord::kSize);
            grid = TGridRecord::FromBytes(reinterpret_cast<const uint8_t*>(g.data()), g.size());
        } else {
            stream.Seek(-static_cast<int64_t>(kGridMark.size()), TSeekOrigin::soCurrent);
        }
    }
    const std::string spline = record(TSplineRecord::kSize);

    channels_.Clear();
    for (int32_t c : channels)
        channels_.Add(c);
    marker_ = TPointMarkerRecord::FromBytes(reinterpret_cast<const uint8_t*>(marker.data()),
                                            marker.size());
    if (grid)
        grid_ = *grid;
    spline_ =
        TSplineRecord::FromBytes(reinterpret_cast<const uint8_t*>(spline.data()), spline.size());
    loaded_ = true;
}

// ---- drawing ----

void TAsse::Draw(TCanvas& canvas) {
    canvas_ = &canvas;
    if (loaded_)
        ClampChannels();
    canvas.Pen.Width = ScaleToDevice(3, 360);
    tick_ = ScaleToDevice(30, 360);
    canvas.Pen.Color = Pen.Color;
    canvas.Pen.Style = psSolid;
    canvas.Brush.Style = bsClear;
    RefitIncrement();
    const TRect& b = BoundsRect;
    if (channels_.Count() == 0) {
        canvas.Pen.Width = ScaleToDevice(1, 360);
        canvas.Rectangle(b.Left + 75, b.Top + 75, b.Right - 75, b.Bottom - 75);
    } else if (Vertical) {
        LayoutVertical();
        DrawVertical();
    } else {
        LayoutHorizontal();
        DrawHorizontal();
    }
    if (Selected && !Printer().Printing()) {
        canvas.Pen.Width = ScaleToDevice(10, 360);
        canvas.Pen.Color = clBlack;
        canvas.Pen.Style = psSolid;
        canvas.Brush.Style = bsClear;
        canvas.Rectangle(b.Left + 5, b.Top + 5, b.Right - 5, b.Bottom - 5);
    }
}

void TAsse::RefitIncrement() {
    // A step that is no positive number divides nothing: such an axis has no divisions.
    if (!(Increment > 0))
        return;
    const double range = Maximum - Minimum;
    const double q = range / Increment;
    if (!std::isfinite(q) || std::fabs(q) >= kMaxCount)
        return;
    const double whole = std::nearbyint(q);
    if (q == whole)
        return;
    // A step above twice the range rounds to no division at all: keep one.
    Increment = whole == 0 ? range : range / whole;
}

void TAsse::MeasureTexts() {
    heightGrand_ = XHeight(FontGrand);
    heightUmis_ = XHeight(FontUmis);
    heightValues_ = XHeight(FontValues);
    halfValues_ = heightValues_ / 2;
}

int32_t TAsse::XHeight(const TFont& font) {
    AssignFont(*canvas_, font);
    return canvas_->TextHeight("X");
}

int32_t TAsse::ScaledLength(int32_t available) const {
    const int64_t divisions = DivisionCount();
    if (divisions < 1 || available <= 0)
        return 0;
    // Whole pixels for every major and minor tick.
    const int64_t unit = divisions * (static_cast<int64_t>(Sottotacche) + 1);
    return static_cast<int32_t>(available / unit * unit);
}

void TAsse::LayoutVertical() {
    MeasureTexts();
    const TRect& b = BoundsRect;
    const int32_t available = b.Height() - (2 * heightGrand_ + heightValues_ + 10);
    if (!gridAlign_) {
        length_ = ScaledLength(available);
        end_ = b.Bottom - halfValues_;
        start_ = end_ - length_;
        return;
    }
    const int32_t cell = gridCells_ >= 1 ? plotRect_.Height() / gridCells_ : 0;
    if (cell <= 0) {
        Increment = Maximum - Minimum;
        return;
    }
    // The first grid line at or below the top of the room.
    const int32_t lowest = b.Bottom - available;
    int32_t start = lowest / cell * cell;
    if (start < lowest)
        start += cell;
    const int32_t count = (b.Bottom - start) / cell;
    if (count < 1) {
        start_ = end_ = b.Bottom - halfValues_;
        length_ = 0;
        return;
    }
    start_ = start;
    length_ = count * cell;
    end_ = start_ + length_;
    Increment = (Maximum - Minimum) / count;
}

void TAsse::LayoutHorizontal() {
    MeasureTexts();
    const TRect& b = BoundsRect;
    length_ = ScaledLength(b.Width() - 20);
    end_ = b.Right - (b.Width() - length_) / 2;
    start_ = end_ - length_;
}

void TAsse::DrawText(const TFont& font, int32_t x, int32_t y, uint32_t align, int32_t angle,
                     const std::string& text) {
    if (text.empty())
        return;
    AssignFont(*canvas_, font);
    canvas_->Font.SetColor(Pen.Color);
    if (angle != 0)
        RotateFont(*canvas_, angle);
    canvas_->SetTextAlign(align);
    canvas_->TextOut(x, y, text);
}

int32_t TAsse::FirstChannel() const {
    return channels_.Count() > 0 ? channels_.GetItem(0) : -1;
}

std::string TAsse::JoinedCaptions() const {
    std::string joined;
    for (int i = 0; i < channels_.Count(); ++i) {
        if (i > 0)
            joined += " - ";
        joined += ChannelCaption(channels_.GetItem(i));
    }
    return joined;
}

void TAsse::DrawVertical() {
    if (3 * heightValues_ >= length_)
        return;
    const TRect& b = BoundsRect;
    const int32_t centre = (b.Left + b.Right) / 2;
    const bool doubleLinear = DoubleAxe && !Logarithmic;
    const int32_t first = FirstChannel();
    const int32_t quantityY = start_ - 2 * heightGrand_ - halfValues_ - 10;
    const int32_t unitY = start_ - heightGrand_ - halfValues_ - 10;
    const std::string unit = Bracketed(ChannelUnit(first));
    const std::string unit2 = Bracketed(Umis2);
    const bool joined = channels_.Count() >= 2 && tipoetichette != 1;
    const TRect ticks = Rect(b.Left, start_, b.Right, end_);
    if (LeftSide) {
        if (joined) {
            DrawText(FontGrand, b.Left + 10, start_, TA_RIGHT, 90, JoinedCaptions());
            if (DoubleAxe)
                DrawText(FontGrand, centre + 4, unitY, TA_LEFT, 0, unit2);
        } else if (!doubleLinear) {
            DrawText(FontGrand, b.Right - 5, quantityY, TA_RIGHT, 0, ChannelQuantity(first));
            DrawText(FontGrand, b.Right - 5, unitY, TA_RIGHT, 0, unit);
        } else {
            DrawText(FontGrand, centre, quantityY, TA_CENTER, 0, ChannelQuantity(first));
            DrawText(FontGrand, centre - 4, unitY, TA_RIGHT, 0, unit);
            DrawText(FontGrand, centre + 4, unitY, TA_LEFT, 0, unit2);
        }
        DrawVerticalTicks(ticks, doubleLinear ? TickMode::Double : TickMode::LineRight);
        DrawText(FontUmis, b.Left + 10, end_, TA_LEFT, 90, Caption);
        if (ShowLineAttrib && usa_attributi_asse)
            DrawLineSample(b.Left);
        return;
    }
    const int32_t captionX = b.Right - heightValues_ - 10;
    if (joined) {
        DrawText(FontGrand, captionX, start_, TA_RIGHT, 90, JoinedCaptions());
        if (doubleLinear)
            DrawText(FontGrand, centre - 4, unitY, TA_RIGHT, 0, unit2);
    } else if (!doubleLinear) {
        DrawText(FontGrand, b.Left + 5, quantityY, TA_LEFT, 0, ChannelQuantity(first));
        DrawText(FontGrand, b.Left + 5, unitY, TA_LEFT, 0, unit);
    } else {
        DrawText(FontGrand, centre, quantityY, TA_CENTER, 0, ChannelQuantity(first));
        DrawText(FontGrand, centre + 4, unitY, TA_LEFT, 0, unit);
        DrawText(FontGrand, centre - 4, unitY, TA_RIGHT, 0, unit2);
    }
    DrawVerticalTicks(ticks, doubleLinear ? TickMode::Double : TickMode::LineLeft);
    DrawText(FontUmis, captionX, end_, TA_LEFT, 90, Caption);
    if (ShowLineAttrib && usa_attributi_asse)
        DrawLineSample(b.Right - 50);
}

void TAsse::DrawHorizontal() {
    if (3 * heightValues_ >= length_)
        return;
    const TRect& b = BoundsRect;
    const int32_t first = FirstChannel();
    if (!DoubleAxe) {
        DrawText(FontGrand, start_, b.Bottom - heightGrand_, TA_LEFT, 0, ChannelCaption(first));
    } else {
        DrawText(FontGrand, start_ - 2 * heightGrand_, (b.Top + b.Bottom) / 2, TA_CENTER, 90,
                 ChannelQuantity(first));
        DrawText(FontGrand, start_, b.Bottom - heightUmis_, TA_LEFT, 0,
                 Bracketed(ChannelUnit(first)));
        DrawText(FontGrand, start_, b.Top, TA_LEFT, 0, Bracketed(Umis2));
    }
    DrawText(FontUmis, end_, b.Bottom - heightUmis_, TA_RIGHT, 0, Caption);
    DrawHorizontalTicks(Rect(start_, b.Top, end_, b.Bottom));
}

int32_t TAsse::MajorStep() const {
    const int32_t divisions = DivisionCount();
    return divisions < 1 ? 0
                         : static_cast<int32_t>(Round(static_cast<double>(length_) / divisions));
}

void TAsse::DrawVerticalTicks(const TRect& r, TickMode mode) {
    TCanvas& c = *canvas_;
    const int32_t line = mode == TickMode::LineRight  ? r.Right
                         : mode == TickMode::LineLeft ? r.Left
                                                      : (r.Left + r.Right) / 2;
    c.MoveTo(line, r.Top);
    c.LineTo(line, r.Bottom);
    const int32_t step = MajorStep();
    if (step < 1)
        return;
    // Ticks and values towards the outside of the axis: left for a left axis.
    const bool primaryLeft = mode == TickMode::LineRight || (mode == TickMode::Double && LeftSide);
    auto scale = [&](bool toLeft, bool second) {
        const int32_t dir = toLeft ? -1 : 1;
        for (int64_t i = 0;; ++i) {
            const int64_t y = end_ - i * step;
            if (y < start_)
                break;
            const int32_t yi = static_cast<int32_t>(y);
            c.MoveTo(line, yi);
            c.LineTo(line + dir * tick_, yi);
            const double value = Minimum + static_cast<double>(i) * Increment;
            if (second && Scala2Indipendente)
                continue; // the second scale's values are not the axis's to know
            DrawText(FontValues, line + dir * (tick_ + 5), yi - halfValues_,
                     toLeft ? TA_RIGHT : TA_LEFT, 0,
                     second ? SecondScaleText(value) : TickValueText(value));
        }
    };
    scale(primaryLeft, false);
    if (mode == TickMode::Double)
        scale(!primaryLeft, true);
    if (mode == TickMode::Double)
        DrawMinorTicks(line, MinorSide::Centred);
    else
        DrawMinorTicks(line, primaryLeft ? MinorSide::Before : MinorSide::After);
}

void TAsse::DrawHorizontalTicks(const TRect& r) {
    TCanvas& c = *canvas_;
    const int32_t line = DoubleAxe ? (BoundsRect.Top + BoundsRect.Bottom) / 2 : r.Top;
    c.MoveTo(r.Left, line);
    c.LineTo(r.Right, line);
    if (DoubleAxe && Scala2Indipendente)
        return;
    const int32_t step = MajorStep();
    if (step < 1)
        return;
    auto scale = [&](bool second) {
        for (int64_t i = 0;; ++i) {
            const int64_t x = start_ + i * step;
            if (x > end_)
                break;
            const int32_t xi = static_cast<int32_t>(x);
            c.MoveTo(xi, line);
            c.LineTo(xi, second ? line - tick_ : line + tick_);
            const double value = Minimum + static_cast<double>(i) * Increment;
            if (second)
                DrawText(FontValues, xi, line - heightValues_ - tick_ - 2, TA_CENTER, 0,
                         SecondScaleText(value));
            else
                DrawText(FontValues, xi, line + tick_ + 2, TA_CENTER, 0, TickValueText(value));
        }
    };
    scale(false);
    if (DoubleAxe)
        scale(true);
    DrawMinorTicks(line, DoubleAxe ? MinorSide::Centred : MinorSide::After);
}

void TAsse::DrawMinorTicks(int32_t line, MinorSide side) {
    const int32_t divisions = DivisionCount();
    if (Sottotacche == 0 || divisions < 1 || (DoubleAxe && Scala2Indipendente))
        return;
    TCanvas& c = *canvas_;
    c.Pen.Style = psSolid;
    const int32_t step = MajorStep();
    const int32_t sub = Sottotacche + 1;
    const double minor = static_cast<double>(
        Round(static_cast<double>(length_) / (static_cast<double>(sub) * divisions)));
    // Ticks closer than a pixel show nothing, and a stored range may ask for billions.
    if (step < 1 || minor < 1)
        return;
    const int32_t half = tick_ / 2;
    const int32_t from = side == MinorSide::Before    ? line - half
                         : side == MinorSide::Centred ? line - half / 2
                                                      : line;
    for (int32_t k = 0; k < divisions; ++k)
        for (int32_t j = 1; j <= Sottotacche; ++j) {
            int32_t pos;
            if (Logarithmic) {
                // The multiples of the decade's first value.
                pos = ValueToPos(Frac(static_cast<double>(j) / sub) *
                                 std::pow(10.0, k + Minimum + 1));
            } else {
                // Counted back from the high-pixel end of division k.
                const int64_t divisionEnd = Vertical ? end_ - static_cast<int64_t>(k) * step
                                                     : start_ + static_cast<int64_t>(k + 1) * step;
                pos = static_cast<int32_t>(divisionEnd - Round(j * minor));
            }
            if (Vertical) {
                c.MoveTo(from, pos);
                c.LineTo(from + half, pos);
            } else {
                c.MoveTo(pos, from);
                c.LineTo(pos, from + half);
            }
        }
}

void TAsse::DrawLineSample(int32_t left) {
    TCanvas& c = *canvas_;
    constexpr int32_t kWidth = 50;
    const int32_t d = kWidth / 5;
    const int32_t middle = left + kWidth / 2;
    const int32_t bottom = end_;
    c.Pen.Color = Pen.Color;
    c.Pen.Style = Pen.Style;
    c.Pen.Width = 1;
    for (int32_t dx = -1; dx <= 1; ++dx) {
        c.MoveTo(middle + dx, bottom);
        c.LineTo(middle + dx, bottom - 18 * d);
    }
    if (!marker_.ShowMarkers)
        return;
    c.Pen.Style = psSolid;
    if (marker_.Filled) {
        c.Brush.Style = bsSolid;
        c.Brush.Color = marker_.FillColor;
    }
    for (int32_t above : {2, 8, 14})
        DrawMarker(c, middle, bottom - d * above, marker_.MarkerType, d);
    c.Brush.Style = bsClear;
}

std::string TAsse::TickValueText(double value) const {
    if (Logarithmic) {
        const double shown = std::pow(10.0, value);
        if (value >= 0)
            return Format("%0.0f", {shown});
        const int64_t decimals = std::min<int64_t>(Round(std::fabs(value)), kMaxDecimals);
        return Format("%0." + IntToStr(decimals) + "f", {shown});
    }
    return MaskedText(value);
}

std::string TAsse::MaskedText(double value) const {
    try {
        return FormatValueByMask(value, Formato);
    } catch (const EConvertError&) {
        // A date mask that cannot show the value: the number itself, not a broken picture.
        return FloatToStr(value);
    }
}

double TAsse::ConvertedValue(double value) const {
    const std::string expression =
        StringReplaceAll(Conversionformula, "X", Format("%0.4f", {value}));
    if (data_)
        return EvaluateChannelExpression(*data_, expression);
    TDatabuffer empty;
    return EvaluateChannelExpression(empty, expression);
}

// Every tick gets the formula of its own value: a formula with an offset (X*1.8+32) cannot be
// stepped by the image of the increment.
std::string TAsse::SecondScaleText(double value) const {
    return MaskedText(ConvertedValue(value));
}

const TClassInfo& TAsse::StaticClassInfo() {
    using A = TAsse;
    auto byte = [](uint8_t A::*field) {
        return std::make_pair([field](const A& a) { return a.*field; },
                              [field](A& a, int64_t v) { a.*field = static_cast<uint8_t>(v); });
    };
    auto str = [](std::string A::*field) {
        return std::make_pair([field](const A& a) -> const std::string& { return a.*field; },
                              [field](A& a, std::string v) { a.*field = std::move(v); });
    };
    auto dbl = [](double A::*field) {
        return std::make_pair([field](const A& a) { return a.*field; },
                              [field](A& a, double v) { a.*field = v; });
    };
    const auto [getMax, setMax] = dbl(&A::Maximum);
    const auto [getMin, setMin] = dbl(&A::Minimum);
    const auto [getInc, setInc] = dbl(&A::Increment);
    const auto [getGrand, setGrand] = str(&A::Grandezza);
    const auto [getUmis, setUmis] = str(&A::Umisura);
    const auto [getCaption, setCaption] = str(&A::Caption);
    const auto [getFormato, setFormato] = str(&A::Formato);
    const auto [getKind, setKind] = byte(&A::tipoetichette);
    const auto [getSub, setSub] = byte(&A::Sottotacche);
    const auto [getFilterKind, setFilterKind] = byte(&A::filtrotipo);
    const auto [getFilterValue, setFilterValue] = str(&A::filtrovalore);
    const auto [getFilterTol, setFilterTol] = str(&A::filtrotolleranza);
    const auto [getFormula, setFormula] = str(&A::Conversionformula);
    const auto [getUmis2, setUmis2] = str(&A::Umis2);
    static const TClassInfo info =
        TClassBuilder<A>("TAsse", &TcanvasObj::StaticClassInfo())
            .Field("centeraxe", &A::centeraxe, 0)
            .Float("Maximum", getMax, setMax, 100)
            .Float("Minimum", getMin, setMin, 0)
            .Float("Increment", getInc, setInc, 10)
            .Field("Vertical", &A::Vertical, 1)
            .Field("LeftSide", &A::LeftSide, 1)
            .Field("DoubleAxe", &A::DoubleAxe, 0)
            .Object<TFont>("FontGrand", FontClassInfo(), [](A& a) { return &a.FontGrand; })
            .Object<TFont>("FontUmis", FontClassInfo(), [](A& a) { return &a.FontUmis; })
            .Object<TFont>("FontValues", FontClassInfo(), [](A& a) { return &a.FontValues; })
            .String("Grandezza", getGrand, setGrand)
            .String("Umisura", getUmis, setUmis)
            .String("Caption", getCaption, setCaption)
            .String("Formato", getFormato, setFormato, "0.0")
            .Field("limitiautomatici", &A::limitiautomatici, 1)
            .Integer("tipoetichette", getKind, setKind, 0, nullptr, "Byte")
            .Integer("Sottotacche", getSub, setSub, 1, nullptr, "Byte")
            .Field("See_line", &A::See_line, 1)
            .Field("Gradofunzionale", &A::Gradofunzionale, 2)
            .Field("See_funzionale", &A::See_funzionale, 0)
            .Field("usa_attributi_asse", &A::usa_attributi_asse, 1)
            .Field("filtro", &A::filtro, -1)
            .Integer("filtrotipo", getFilterKind, setFilterKind, 0, nullptr, "Byte")
            .String("filtrovalore", getFilterValue, setFilterValue)
            .String("filtrotolleranza", getFilterTol, setFilterTol)
            .Object<Tvaluedefnt>("valori", Tvaluedefnt::StaticClassInfo(),
                                 [](A& a) { return &a.valori; })
            .Field("ValueSort", &A::ValueSort, 0)
            .String("Conversionformula", getFormula, setFormula, {}, 0)
            .String("Umis2", getUmis2, setUmis2)
            .Field("Zeroinclude", &A::Zeroinclude, 0)
            .Field("Scala2Indipendente", &A::Scala2Indipendente, 0)
            .Field("Logarithmic", &A::Logarithmic, 0)
            .Field("ShowLineAttrib", &A::ShowLineAttrib, 0)
            .Enumeration(
                "UseLimitkind", "TLimitkind", {"LK_RealData", "LK_AXELimit"},
                [](const A& a) { return a.UseLimitkind; },
                [](A& a, int64_t v) { a.UseLimitkind = static_cast<TLimitkind>(v); }, LK_RealData)
            .Event("OnClick")
            .Event("OnDblClick")
            .Binary(
                "Asse", [](const A&) { return true; },
                [](const A& a, TStream& s) { a.WriteAsse(s); },
                [](A& a, TStream& s) { a.ReadAsse(s); })
            .Build();
    return info;
}

namespace {
// Registered for streaming with the unit, as the stored graphs expect.
const bool registered = (RegisterClass(TAsse::StaticClassInfo()), true);
} // namespace

} // namespace vx
