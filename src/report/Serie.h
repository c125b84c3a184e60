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

    // Solid polylines keep, of consecutive points in one pixel column, only the first, the
    // lowest, the highest and the last: the picture stays the same pixel for pixel (the
    // players draw without antialiasing) while a dense curve costs a few points per column.
    // On by default; dashes, markers and labels are never thinned.
    bool Decimation() const { return decimation_; }
    void SetDecimation(bool on) { decimation_ = on; }

    // The whole series: grid, lines, fit, spline, markers, each as its axes ask.
    void Draw(TCanvas& canvas) override;

    // The steps of Draw, each on the canvas of the draw in progress (see BeginDraw); the
    // attributes of the Y axis's pen are those of the last Draw or BeginDraw.
    // Stores the canvas, sets the bounds from the axes' geometry and the axis pen, and
    // forgets the points read by an earlier draw. False without both axes with channels.
    bool BeginDraw(TCanvas& canvas);
    void DrawGrid();
    // Rebuilds the filtered lists from the Y axis's filter.
    void BuildFilteredData();
    void DrawLines();
    void DrawFit();
    void DrawSpline();
    void DrawMarkers();

    // One polyline through the points (x[i], y[i]) (pairs up to the shorter), clipped to the
    // axes' limits; solid pens with LineTo, other styles by DashTo. Resets the dash pattern.
    void DrawSegmentLine(std::span<const double> x, std::span<const double> y);
    // One dashed piece from the pen position to p, in the canvas pen's style and width; the
    // pattern carries on from the previous piece.
    void DashTo(TPoint p);
    // Back to the start of the dash pattern.
    void ResetDash();

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
        std::vector<double> x;
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
    int FitPointCount();
    void DrawLabel(int32_t px, int32_t py, double x, double y);
    void DrawGridLines(const TAsse& axis, bool vertical);
    // The solid polyline in progress: points of one unbroken run.
    void RunPoint(TPoint p);
    void FlushRun();

    TAsse* xAxis_ = nullptr;
    TAsse* yAxis_ = nullptr;
    TDatabuffer* data_ = nullptr;
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
