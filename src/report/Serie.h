#pragma once

#include "platform/graphics/Geometry.h"
#include "platform/graphics/Pen.h"
#include "report/canvasObj.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vx {

class TAsse;
class TDatabuffer;
class Tdatavector;
struct TAttributoProva;

// The X values of each test, read and mapped to pixels once per draw of a graph for all its
// series: every series of a graph plots against the same X channel on the same X axis.
// Valid only while the axis keeps its geometry; the graph makes one for each draw.
class TSerieXCache {
public:
    struct Entry {
        const TAsse* Axis = nullptr;
        const Tdatavector* Vector = nullptr;
        int Count = -1;
        std::vector<double> Values;
        std::vector<int32_t> Pixels;
    };
    // The values and pixels of the vector on the axis, test by test.
    const Entry& Get(int test, const TAsse& axis, Tdatavector& vector);

private:
    std::vector<Entry> entries_;
};

// The curves of one Y axis against the graph's X axis: for every test and every channel of
// the Y axis the measured points joined by lines, a fitted polynomial, a spline, point
// markers with value labels, and first the grid lines of the plotting area. Everything it
// draws is decided by fields of its two axes and, unless the Y axis imposes its own
// attributes, by the program-wide table of test styles. Never stored: the graph rebuilds
// one series per Y axis whenever its axes change, and draws it after the axes, whose
// geometry it takes.
class TSerie : public TcanvasObj {
public:
    // The axes and the data are not owned; any of them may be null (nothing is drawn
    // without axes, only the grid without data).
    TSerie(TComponent* owner, TAsse* xAxis, TAsse* yAxis, TDatabuffer* data);
    explicit TSerie(TComponent* owner) : TSerie(owner, nullptr, nullptr, nullptr) {}
    ~TSerie() override;

    TAsse* XAxis() const { return xAxis_; }
    TAsse* YAxis() const { return yAxis_; }
    TDatabuffer* Data() const { return data_; }
    void SetXAxis(TAsse* axis) { xAxis_ = axis; }
    void SetYAxis(TAsse* axis) { yAxis_ = axis; }
    void SetData(TDatabuffer* data) { data_ = data; }
    // Shared by the series of one draw, not owned; null reads the X values itself.
    void SetXCache(TSerieXCache* cache);

    // Solid polylines keep, of consecutive points in one pixel column, only the first, the
    // lowest, the highest and the last: the picture stays the same pixel for pixel (the
    // players draw without antialiasing) while a dense curve costs a few points per column.
    // On by default; dashes, markers and labels are never thinned.
    bool Decimation() const { return decimation_; }
    void SetDecimation(bool on) { decimation_ = on; }

    // The whole series: grid, lines, fit, spline, markers, each as its axes ask.
    void Draw(TCanvas& canvas) override;

    // The start of Draw: stores the canvas, sets the bounds from the axes' geometry and the
    // scaled pen of the Y axis, and forgets the points read by an earlier draw. False without
    // both axes with channels (the canvas is stored all the same).
    bool BeginDraw(TCanvas& canvas);
    // The steps of Draw, on the canvas and with the axis pen of the last BeginDraw.
    void DrawGrid();
    // Rebuilds the filtered lists from the Y axis's filter.
    void BuildFilteredData();
    void DrawLines();
    void DrawFit();
    void DrawSpline();
    void DrawMarkers();

    // One polyline through the points (x[i], y[i]) (pairs up to the shorter), clipped to the
    // axes' limits; the four dash styles by DashTo, any other pen with LineTo (a clear pen
    // stays clear). Resets the dash pattern.
    void DrawSegmentLine(std::span<const double> x, std::span<const double> y);
    // One dashed piece from the pen position to p, in the canvas pen's style and width; the
    // pattern carries on from the previous piece.
    void DashTo(TPoint p);
    // Back to the start of the dash pattern.
    void ResetDash();

    // The points a fit or a spline is drawn through: count = the larger of the bounds' width
    // and the largest number of X values of any test.
    int CurvePointCount();
    // The count points of the polynomial fitted to the points (x[i], y[i]) (pairs up to the
    // shorter), over the X range of the axis limits or of the data. False when there is no
    // curve: fewer than 2 points, all X at one value, or a fit that breaks down.
    bool FitCurve(std::span<const double> x, std::span<const double> y, int count,
                  std::vector<double>& cx, std::vector<double>& cy) const;
    // The spline through the points, evaluated at count abscissas equally spaced from the X
    // axis's lower limit. False with fewer than 2 points or fewer than 2 distinct X.
    bool SplineCurve(std::span<const double> x, std::span<const double> y, int count,
                     std::vector<double>& cx, std::vector<double>& cy) const;

    // Per test the X texts of the rows that pass the filter.
    const std::vector<std::unique_ptr<Tdatavector>>& FilteredX() const { return filteredX_; }
    // Entry test * (number of Y channels) + channel: the Y texts of those rows.
    const std::vector<std::unique_ptr<Tdatavector>>& FilteredY() const { return filteredY_; }

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

private:
    // The values of one test, read once per draw for every step.
    struct TestPoints {
        bool read = false;
        // The test's own values, or those of the shared cache.
        std::span<const double> x;
        // The pixels of x on the X axis when the cache has them, else empty.
        std::span<const int32_t> xPixels;
        std::vector<double> ownX;
        // One per Y channel; each already cut to the length of x.
        std::vector<std::vector<double>> y;
    };
    struct Window {
        double xmin, xmax, ymin, ymax;
        bool Contains(double x, double y) const {
            return x >= xmin && x <= xmax && y >= ymin && y <= ymax;
        }
    };

    int ChannelCount() const;
    int TestCount() const;
    const TestPoints& PointsOf(int test);
    std::vector<double> ReadValues(Tdatavector* vector, size_t limit);
    Window ClipWindow() const;
    // Pen for lines, fit and spline of a test.
    void ApplyLineAttributes(int test);
    const TAttributoProva& StyleOf(int test) const;
    void DrawCurves(bool spline);
    void DrawLabel(int32_t px, int32_t py, double x, double y);
    void DrawGridLines(const TAsse& axis, bool vertical);
    void DrawSegmentLine(std::span<const double> x, std::span<const double> y,
                         std::span<const int32_t> xPixels);
    // The solid polyline in progress: points of one unbroken run.
    void RunPoint(TPoint p);
    void FlushRun();

    TAsse* xAxis_ = nullptr;
    TAsse* yAxis_ = nullptr;
    TDatabuffer* data_ = nullptr;
    TSerieXCache* xCache_ = nullptr;
    bool decimation_ = true;
    bool filtered_ = false;
    TPen axisPen_;
    std::vector<std::unique_ptr<Tdatavector>> filteredX_;
    std::vector<std::unique_ptr<Tdatavector>> filteredY_;
    std::vector<TestPoints> points_;
    std::vector<TPoint> run_;
    float dashLength_ = 0;
    int dashIndex_ = 1;
    bool dashAdvance_ = false;
};

} // namespace vx
