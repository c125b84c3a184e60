#pragma once

// Curves through measured points: a least-squares polynomial fit by orthogonal polynomials on
// values normalised to [-2, 2], interpolating splines, and the clipping of a segment to a
// rectangle before drawing. The arithmetic (single-precision coefficients, the spline formulas)
// is kept as it is so that curves come out as they always have.

#include <vector>

namespace vx {

// The fit works in [-2, 2]. Each of the first n values v becomes (v - min) * 4 / (max - min) - 2,
// and back; nothing is done unless max > min.
void NormalizeToFitRange(int n, std::vector<double>& values, float min, float max);
void DenormalizeFromFitRange(int n, std::vector<double>& values, float min, float max);

// n evenly spaced points over [-2, 2], the last one 2.0 exactly; grows the grid to n values when
// it holds fewer. n <= 0 does nothing.
void FillFitGrid(std::vector<double>& grid, int n);

// Fits the n points (x, y), x already normalised to [-2, 2], with a polynomial of the given
// degree (at most 7) and writes its values at the first outCount points of `grid` into the first
// outCount values of y; [ymin, ymax] is the range of y. The rest of y keeps its input values.
// False when the orthogonal polynomials break down (too few distinct x values for the degree):
// y is then left as it was. Counts beyond the vectors raise EListError.
bool FitPolynomial(int outCount, int degree, int n, const std::vector<double>& grid,
                   std::vector<double>& y, const std::vector<double>& x, double ymin, double ymax);

// A spline curve: the points are elements 1 .. n of X and Y. X[0] holds the mode, plus 0.1 when
// the curve is not clamped outside its points, or -1 / -2 when building failed. For mode 3, Y[0]
// is the slope at the first point and D[0] the negated slope at the last one. D[1 .. n] are
// derivatives (modes 1, 2) or second derivatives (modes 3 to 5).
// Modes: 0 linear, 1 cubic Hermite with one-sided end slopes, 2 cubic Hermite with extrapolated
// end slopes, 3 natural cubic spline, 4 cubic spline with equal end curvatures, 5 cubic spline
// with extrapolated end curvatures.
struct TSplineCurve {
    std::vector<double> X;
    std::vector<double> Y;
    std::vector<double> D;
};

// Bit 0 of BuildSpline's flags: extrapolate beyond the end points instead of holding their y.
inline constexpr int SplineNotClamped = 1;

// The following four work on X and Y and leave element 0 alone; X and Y of different lengths
// raise EListError.
void SortPointsByX(TSplineCurve& points);
// Drops points whose x does not increase, then, for p > 0, merges runs of points closer than
// p * 0.25% of the x range into their mean.
void MergeClosePoints(TSplineCurve& points, double p);
// Builds the curve and makes a copy of it the current curve.
void BuildSpline(TSplineCurve& curve, int mode, int flags);
// An unusable curve gives x itself.
double EvaluateSpline(const TSplineCurve& curve, double x);
double EvalCurrentSpline(double x);

struct TClipPoint {
    double x = 0;
    double y = 0;
};

struct TClipRect {
    double xmin = 0;
    double ymin = 0;
    double xmax = 0;
    double ymax = 0;
};

// True when a part of the segment is to be drawn; p1 and p2 are then moved onto the edges of
// the rectangle (edges inclusive) where they were outside.
bool ClipSegmentToRect(TClipPoint& p1, TClipPoint& p2, const TClipRect& rect);

} // namespace vx
