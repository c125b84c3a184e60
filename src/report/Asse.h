#pragma once

#include "data/Valuedefnt.h"
#include "data/WPArrays.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "report/DataOwner.h"
#include "report/canvasObj.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>

namespace vx {

class TDatabuffer;
class Tdatavector;
class TStream;

// The X range of a fitted curve: the data's own range or the axis limits.
enum TLimitkind : uint8_t { LK_RealData, LK_AXELimit };

// The three private records of an axis that the series draw from and the dialogs edit. Each
// struct has the byte layout of the record as stored (little-endian, padding zero), so that
// offsets read here are offsets in the stream.

// Point markers on the measured points: 16 bytes.
struct TPointMarkerRecord {
    static constexpr size_t kSize = 16;

    uint8_t MarkerType = 0; // shapes 0..9 of DrawMarker
    uint8_t Pad1[3]{};
    TColor FillColor = 0xFFFFFF;
    uint8_t Filled = 0;
    uint8_t ShowMarkers = 1;
    uint8_t Pad2[2]{};
    uint32_t SizeIndex = 0; // 0, 1, 2: 0.4, 0.8, 1.2 mm

    std::array<uint8_t, kSize> ToBytes() const;
    // Padding reads as zero; raises EReadError for fewer than kSize bytes.
    static TPointMarkerRecord FromBytes(const uint8_t* bytes, size_t size);
    bool operator==(const TPointMarkerRecord&) const = default;
};

// The spline drawn through the points: 24 bytes.
struct TSplineRecord {
    static constexpr size_t kSize = 24;

    uint8_t Enabled = 0;
    uint8_t Parameter = 4; // handed to the spline routine with Value
    uint8_t Pad1[6]{};
    double Value = 0;
    // Stored with the record and kept as it is; the dialog shows it as the extrapolation
    // switch, the axis and the series give it no meaning.
    uint8_t Extrapolation = 0;
    uint8_t Pad2[7]{};

    std::array<uint8_t, kSize> ToBytes() const;
    static TSplineRecord FromBytes(const uint8_t* bytes, size_t size);
    bool operator==(const TSplineRecord&) const = default;
};

// The grid lines of the plotting area: 20 bytes, all zero for a new axis.
struct TGridRecord {
    static constexpr size_t kSize = 20;

    uint8_t Enabled = 0;
    uint8_t Pad1[3]{};
    uint32_t PenWidth = 0;
    uint8_t PenStyle = 0;
    uint8_t Pad2[3]{};
    TColor Color = 0;
    uint8_t MinorLines = 0;  // also at the minor divisions
    uint8_t Orientation = 0; // 0 both, 1 vertical lines only, 2 horizontal lines only
    uint8_t Pad3[2]{};

    std::array<uint8_t, kSize> ToBytes() const;
    static TGridRecord FromBytes(const uint8_t* bytes, size_t size);
    bool operator==(const TGridRecord&) const = default;
};

static_assert(sizeof(TPointMarkerRecord) == TPointMarkerRecord::kSize);
static_assert(sizeof(TSplineRecord) == TSplineRecord::kSize);
static_assert(sizeof(TGridRecord) == TGridRecord::kSize);

// One axis of a graph: the X axis or a Y axis of a side's section. It shows channels of the
// tests (indexes into every test's channels), maps values to printer pixels and back, draws
// its line, ticks, values and captions, and finds limits for the data. The geometry (start,
// end, length) is the one of the last draw.
class TAsse : public TcanvasObj {
public:
    // Takes the data buffer of its owner when the owner is a TDataOwner.
    explicit TAsse(TComponent* owner);
    ~TAsse() override;

    // Published properties, in stream order after Pen.
    bool centeraxe = false; // streamed only; nothing draws by it
    double Maximum = 100;   // on a logarithmic axis the decimal exponent
    double Minimum = 0;
    double Increment = 10;
    bool Vertical = true;
    bool LeftSide = true;
    bool DoubleAxe = false;
    TFont FontGrand;  // quantity and unit
    TFont FontUmis;   // Caption
    TFont FontValues; // tick values
    std::string Grandezza;
    std::string Umisura;
    std::string Caption;
    std::string Formato = "0.0";
    bool limitiautomatici = true;
    // 0 channel name and unit, 1 Grandezza/Umisura, 2 the label translation table, other:
    // the channel name only.
    uint8_t tipoetichette = 0;
    uint8_t Sottotacche = 1;
    bool See_line = true;
    int32_t Gradofunzionale = 2;
    bool See_funzionale = false;
    bool usa_attributi_asse = true;
    int32_t filtro = -1; // channel of the row filter; -1 none
    uint8_t filtrotipo = 0;
    std::string filtrovalore;
    std::string filtrotolleranza;
    Tvaluedefnt valori;
    bool ValueSort = false;
    std::string Conversionformula; // the second scale; every "X" stands for a value
    std::string Umis2;
    bool Zeroinclude = false;
    bool Scala2Indipendente = false;
    bool Logarithmic = false;
    bool ShowLineAttrib = false;
    TLimitkind UseLimitkind = LK_RealData;

    void Draw(TCanvas& canvas) override;

    // Logarithmic: Round(Maximum - Minimum); linear: Round(range / Increment), 0 when
    // Increment <= 0.
    int32_t DivisionCount() const;
    // The pixel of a value on the geometry of the last layout. A range of zero, or a value
    // <= 0 on a logarithmic axis, gives the pixel of Minimum. Inline: a series maps every
    // point of its curves through it.
    int32_t ValueToPos(double value) const {
        const int32_t minimumPixel = Vertical ? start_ + length_ : start_;
        if (Logarithmic && !(value > 0))
            return minimumPixel;
        const double v = Logarithmic ? std::log10(value) : value;
        const double range = Maximum - Minimum;
        const double ratio = (v - Minimum) / range;
        if (range == 0 || !std::isfinite(ratio))
            return minimumPixel;
        // The fraction is held in single precision, as the stored graphs were drawn with it:
        // 10.5 on 0..100 over 300 pixels is pixel 31, not 32.
        const float t = static_cast<float>(std::clamp(ratio, -kFloatLimit, kFloatLimit));
        const double f = Vertical ? 1.0 - static_cast<double>(t) : static_cast<double>(t);
        // Far outside the axis a pixel is only a direction; keep it inside 32 bits.
        const double offset = std::clamp(length_ * f, -kPixelLimit, kPixelLimit);
        return static_cast<int32_t>(start_ + RoundHalfEven(offset));
    }
    // The value at an offset in pixels from start; on an axis of length 0 the value of
    // Minimum (10^Minimum on a logarithmic axis).
    double PosToValue(int32_t offset) const;
    // Minimum, Maximum and Increment for data from dataMin to dataMax (a logarithmic axis
    // takes its range from its channels instead).
    void CalcAutoLimits(double dataMin, double dataMax);
    // Decade exponents around min..max: the largest e1 with 10^e1 <= min, the smallest
    // e2 > e1 with 10^e2 >= max.
    static void CalcLogLimits(double min, double max, double& e1, double& e2);

    // Texts of the channel at that index of the tests, by the label kind. A channel the first
    // test lacks, or no tests at all, gives an empty name and unit.
    std::string ChannelCaption(int32_t channel) const;
    std::string ChannelQuantity(int32_t channel) const;
    std::string ChannelUnit(int32_t channel) const;
    // The vector of test `test` for the channel at `position` of the channel list; null when
    // the test, the position or the channel does not exist.
    Tdatavector* GetChannelData(int32_t test, int32_t position) const;
    // After loading: indexes beyond a test's channels become its last channel (negative ones
    // 0); a test without channels empties the list. Clears the loaded flag.
    void ClampChannels();
    bool ChannelsLoaded() const { return loaded_; }

    // Indexes into the channels of the tests; the graph gives a new X axis [0].
    TWPintegerArray& Channels() { return channels_; }
    const TWPintegerArray& Channels() const { return channels_; }

    TDatabuffer* Data() const { return data_; }
    void SetData(TDatabuffer* data) { data_ = data; }

    TPointMarkerRecord& MarkerRecord() { return marker_; }
    const TPointMarkerRecord& MarkerRecord() const { return marker_; }
    TSplineRecord& SplineRecord() { return spline_; }
    const TSplineRecord& SplineRecord() const { return spline_; }
    TGridRecord& GridRecord() { return grid_; }
    const TGridRecord& GridRecord() const { return grid_; }

    // Grid alignment, set by the graph before each draw: vertical axes then divide the
    // plotting rectangle's height into cellCount cells and put their ticks on them.
    void SetGridAlignment(bool on) { gridAlign_ = on; }
    void SetPlotRect(const TRect& plot) { plotRect_ = plot; }
    void SetGridCellCount(int32_t cellCount) { gridCells_ = cellCount; }
    void SetGridAlignment(bool on, const TRect& plot, int32_t cellCount);
    bool GridAlignment() const { return gridAlign_; }
    const TRect& PlotRect() const { return plotRect_; }
    int32_t GridCellCount() const { return gridCells_; }

    // The geometry of the last layout: start is the top of a vertical axis and the left end
    // of a horizontal one.
    int32_t Start() const { return start_; }
    int32_t End() const { return end_; }
    int32_t Length() const { return length_; }
    int32_t TickLength() const { return tick_; }

    // The "Asse" binary property: channels, marker record, "Griglia " mark, grid record,
    // spline record. Reading accepts the older form without the mark and the grid record;
    // a short stream raises EReadError and leaves the axis unchanged.
    void WriteAsse(TStream& stream) const;
    void ReadAsse(TStream& stream);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

private:
    struct ChannelTexts {
        std::string Caption;
        std::string Quantity;
        std::string Unit;
    };
    enum class TickMode { LineRight, LineLeft, Double };
    // Where minor ticks lie against the line: before it (left or up), centred, after it.
    enum class MinorSide { Before, Centred, After };

    ChannelTexts TextsOf(int32_t channel) const;
    void ChannelRange(double& lo, double& hi) const;
    int32_t LimitsNuovo(double& min, double& max) const;
    void LimitsTradizionale(double& min, double& max, int32_t divisions) const;
    void RefitIncrement();
    void MeasureTexts();
    int32_t XHeight(const TFont& font);
    int32_t ScaledLength(int32_t available) const;
    int32_t MajorStep() const;
    void LayoutVertical();
    void LayoutHorizontal();
    void DrawVertical();
    void DrawHorizontal();
    void DrawVerticalTicks(const TRect& r, TickMode mode);
    void DrawHorizontalTicks(const TRect& r);
    void DrawMinorTicks(int32_t line, MinorSide side);
    void DrawLineSample(int32_t left);
    void DrawText(const TFont& font, int32_t x, int32_t y, uint32_t align, int32_t angle,
                  const std::string& text);
    std::string TickValueText(double value) const;
    std::string MaskedText(double value) const;
    std::string SecondScaleText(double value) const;
    double ConvertedValue(double value) const;
    std::string JoinedCaptions() const;
    int32_t FirstChannel() const;

    static constexpr double kFloatLimit = 3.0e38;
    static constexpr double kPixelLimit = 1.0e9;
    // Nearest, halves to even, as Round, for |v| <= 2^51: adding 1.5 * 2^52 leaves no
    // fraction bits, so the sum is rounded by the hardware's own nearest-even rule. Round
    // is a call and a range check for every point of a curve.
    static int64_t RoundHalfEven(double v) {
        constexpr double kShift = 6755399441055744.0;
        return static_cast<int64_t>((v + kShift) - kShift);
    }

    int32_t tick_ = 30;
    int32_t heightGrand_ = 0;
    int32_t heightUmis_ = 0;
    int32_t heightValues_ = 0;
    int32_t halfValues_ = 0;
    bool loaded_ = false;
    int32_t start_ = 0;
    int32_t end_ = 0;
    int32_t length_ = 0;
    TWPintegerArray channels_;
    TDatabuffer* data_ = nullptr;
    TPointMarkerRecord marker_;
    TSplineRecord spline_;
    TGridRecord grid_;
    bool gridAlign_ = false;
    TRect plotRect_;
    int32_t gridCells_ = 25;
};

} // namespace vx
