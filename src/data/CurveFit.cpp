#include "data/CurveFit.h"

#include "platform/runtime/Exceptions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

namespace vx {

namespace {

constexpr int MaxFitDegree = 7;

void CheckCount(size_t count, size_t size) {
    if (count > size)
        throw EListError("List index out of bounds (" + std::to_string(count) + ")");
}

int DistinctCount(const std::vector<double>& x, int n) {
    std::vector<double> sorted(x.begin(), x.begin() + n);
    std::sort(sorted.begin(), sorted.end());
    return static_cast<int>(std::unique(sorted.begin(), sorted.end()) - sorted.begin());
}

// The recurrence and fit coefficients of the orthogonal polynomials, single precision as the
// curves have always been computed.
struct OrthoFit {
    int degree = 0;
    std::array<float, MaxFitDegree + 1> a{};
    std::array<float, MaxFitDegree + 1> b{};
    std::array<float, MaxFitDegree + 1> c{};

    double ValueAt(double t) const {
        double pPrev = 0;
        double p = 1;
        double sum = c[0];
        for (int k = 1; k <= degree; ++k) {
            const double next =
                k == 1 ? t - a[0] : (t - a[k - 1]) * p - (double(b[k - 1]) / b[k - 2]) * pPrev;
            pPrev = p;
            p = next;
            sum += c[k] * p;
        }
        return sum;
    }
};

// False when some norm B(k) is 0. With d distinct x values every P(k), k >= d, vanishes at the
// points, so its norm is taken as 0 instead of a rounding residue that would blow the curve up.
bool BuildOrthoFit(OrthoFit& fit, const std::vector<double>& x, const std::vector<double>& y,
                   int n) {
    const int distinct = DistinctCount(x, n);
    std::vector<double> pPrev(static_cast<size_t>(n), 0.0);
    std::vector<double> p(static_cast<size_t>(n), 1.0);
    for (int k = 0; k <= fit.degree; ++k) {
        if (k >= 1) {
            for (int i = 0; i < n; ++i) {
                const double xi = x[static_cast<size_t>(i)];
                const double next = k == 1 ? xi - fit.a[0]
                                           : (xi - fit.a[k - 1]) * p[static_cast<size_t>(i)] -
                                                 (double(fit.b[k - 1]) / fit.b[k - 2]) *
                                                     pPrev[static_cast<size_t>(i)];
                pPrev[static_cast<size_t>(i)] = p[static_cast<size_t>(i)];
                p[static_cast<size_t>(i)] = next;
            }
        }
        double norm = 0;
        double moment = 0;
        double projection = 0;
        for (int i = 0; i < n; ++i) {
            const double pi = p[static_cast<size_t>(i)];
            norm += pi * pi;
            moment += x[static_cast<size_t>(i)] * pi * pi;
            projection += pi * y[static_cast<size_t>(i)];
        }
        fit.b[k] = static_cast<float>(norm);
        if (k >= distinct || fit.b[k] == 0)
            return false;
        fit.a[k] = static_cast<float>(moment / fit.b[k]);
        fit.c[k] = static_cast<float>(projection / fit.b[k]);
    }
    return true;
}

} // namespace

void NormalizeToFitRange(int n, std::vector<double>& values, float min, float max) {
    if (!(max > min))
        return;
    const int count = std::min(n, static_cast<int>(values.size()));
    for (int i = 0; i < count; ++i)
        values[static_cast<size_t>(i)] =
            (values[static_cast<size_t>(i)] - min) * 4 / (double(max) - min) - 2;
}

void DenormalizeFromFitRange(int n, std::vector<double>& values, float min, float max) {
    if (!(max > min))
        return;
    const int count = std::min(n, static_cast<int>(values.size()));
    for (int i = 0; i < count; ++i)
        values[static_cast<size_t>(i)] =
            (values[static_cast<size_t>(i)] + 2) * (double(max) - min) / 4 + min;
}

void FillFitGrid(std::vector<double>& grid, int n) {
    if (n <= 0)
        return;
    if (grid.size() < static_cast<size_t>(n))
        grid.resize(static_cast<size_t>(n));
    const float step = n > 1 ? 4.0f / static_cast<float>(n - 1) : 0.0f;
    for (int i = 0; i < n - 1; ++i)
        grid[static_cast<size_t>(i)] = i * double(step) - 2;
    grid[static_cast<size_t>(n - 1)] = 2.0;
}

bool FitPolynomial(int outCount, int degree, int n, const std::vector<double>& grid,
                   std::vector<double>& y, const std::vector<double>& x, double ymin, double ymax) {
    outCount = std::max(outCount, 0);
    n = std::max(n, 0);
    CheckCount(static_cast<size_t>(outCount), grid.size());
    CheckCount(static_cast<size_t>(n), x.size());
    CheckCount(static_cast<size_t>(n), y.size());
    if (y.size() < static_cast<size_t>(outCount))
        y.resize(static_cast<size_t>(outCount));

    if (!(ymax > ymin) || n <= 1) {
        std::fill_n(y.begin(), outCount, ymin);
        return true;
    }
    const std::vector<double> input = y;
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(x[static_cast<size_t>(i)]))
            return false;
    }
    const auto yminF = static_cast<float>(ymin);
    const auto ymaxF = static_cast<float>(ymax);
    NormalizeToFitRange(n, y, yminF, ymaxF);

    OrthoFit fit;
    // Below 7 points the degree is capped by the number of points (not by the number less one).
    fit.degree = n < 7 && n < degree ? n : degree;
    fit.degree = std::clamp(fit.degree, 0, MaxFitDegree);
    if (!BuildOrthoFit(fit, x, y, n)) {
        y = input;
        return false;
    }
    for (int i = 0; i < outCount; ++i)
        y[static_cast<size_t>(i)] = fit.ValueAt(static_cast<float>(grid[static_cast<size_t>(i)]));
    DenormalizeFromFitRange(outCount, y, yminF, ymaxF);
    // Inputs that no fitted value replaced stay as they came, not normalised.
    for (int i = outCount; i < n; ++i)
        y[static_cast<size_t>(i)] = input[static_cast<size_t>(i)];
    return true;
}

// ---- Splines ----

namespace {

void CheckPoints(const TSplineCurve& points) {
    if (points.X.size() != points.Y.size())
        throw EListError("List index out of bounds (" +
                         std::to_string(std::min(points.X.size(), points.Y.size())) + ")");
}

// Hoare partition with the middle pivot, so that equal x values end in the order they always
// did; the recursion takes the smaller part so that the depth stays logarithmic.
void QuickSortByX(std::vector<double>& X, std::vector<double>& Y, int lo, int hi) {
    while (lo < hi) {
        int i = lo;
        int j = hi;
        const double pivot = X[static_cast<size_t>((lo + hi) / 2)];
        do {
            while (X[static_cast<size_t>(i)] < pivot)
                ++i;
            while (X[static_cast<size_t>(j)] > pivot)
                --j;
            if (i <= j) {
                std::swap(X[static_cast<size_t>(i)], X[static_cast<size_t>(j)]);
                std::swap(Y[static_cast<size_t>(i)], Y[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - lo < hi - i) {
            if (lo < j)
                QuickSortByX(X, Y, lo, j);
            lo = i;
        } else {
            if (i < hi)
                QuickSortByX(X, Y, i, hi);
            hi = j;
        }
    }
}

TSplineCurve& CurrentCurve() {
    static TSplineCurve curve;
    return curve;
}

void BuildHermite(TSplineCurve& c, int n, int mode) {
    const auto& X = c.X;
    const auto& Y = c.Y;
    auto& D = c.D;
    auto h = [&](int i) { return X[i + 1] - X[i]; };
    for (int i = 2; i <= n - 1; ++i)
        D[i] = ((Y[i + 1] - Y[i]) / h(i) + (Y[i] - Y[i - 1]) / h(i - 1)) / 2;
    if (mode == 1) {
        D[1] = (Y[2] - Y[1]) / h(1);
        D[n] = (Y[n] - Y[n - 1]) / h(n - 1);
    } else {
        auto s = [&](int i) { return double(static_cast<float>(D[i])); };
        D[1] = 2 * s(2) - s(3);
        D[n] = 2 * s(n - 1) - s(n - 2);
    }
}

void BuildCubic(TSplineCurve& c, int n, int mode) {
    const auto& X = c.X;
    auto& Y = c.Y;
    auto& M = c.D;
    auto h = [&](int i) { return X[i + 1] - X[i]; };
    std::vector<double> sub(n + 1), diag(n + 1), sup(n + 1), r(n + 1);
    for (int i = 2; i <= n - 1; ++i) {
        sub[i] = h(i - 1);
        diag[i] = 2 * (h(i - 1) + h(i));
        sup[i] = h(i);
        r[i] = (Y[i + 1] - Y[i]) / h(i) - (Y[i] - Y[i - 1]) / h(i - 1);
    }
    if (mode == 4) {
        diag[2] += h(1);
        diag[n - 1] += h(n - 1);
    } else if (mode == 5) {
        double a = h(1);
        double b = h(2);
        diag[2] = (a / b + 2) * (a + b);
        sup[2] = (b - a) * (a + b) / b;
        a = h(n - 1);
        b = h(n - 2);
        diag[n - 1] = (a / b + 2) * (a + b);
        sub[n - 1] = (b - a) * (a + b) / b;
    }
    // The sweeps take the factors as they always have, also where mode 5 makes the matrix
    // unsymmetric.
    for (int i = 2; i <= n - 2; ++i) {
        const double f = sup[i] / diag[i];
        diag[i + 1] -= f * sub[i + 1];
        r[i + 1] -= f * r[i];
    }
    for (int i = n - 1; i >= 3; --i) {
        const double f = sub[i] / diag[i];
        r[i - 1] -= f * r[i];
    }
    for (int i = 2; i <= n - 1; ++i)
        M[i] = static_cast<float>(6 * r[i] / diag[i]);
    switch (mode) {
    case 3:
        M[1] = 0;
        M[n] = 0;
        Y[0] = (Y[2] - Y[1]) / h(1) - h(1) * (2 * M[1] + M[2]) / 6;
        M[0] = (Y[n - 1] - Y[n]) / h(n - 1) - h(n - 1) * (2 * M[n] + M[n - 1]) / 6;
        break;
    case 4:
        M[1] = M[2];
        M[n] = M[n - 1];
        break;
    default:
        M[1] = M[2] + (M[2] - M[3]) * h(1) / h(2);
        M[n] = M[n - 1] + (M[n - 1] - M[n - 2]) * h(n - 1) / h(n - 2);
        break;
    }
}

void Build(TSplineCurve& c, int mode, int flags) {
    if (c.X.empty() || c.Y.empty()) {
        c.X.resize(std::max<size_t>(c.X.size(), 1));
        c.Y.resize(std::max<size_t>(c.Y.size(), 1));
        c.X[0] = -1;
        return;
    }
    c.X[0] = -2;
    const int n = static_cast<int>(c.X.size()) - 1;
    if (n < 2 || c.X.size() != c.Y.size())
        return;
    for (int i = 1; i < n; ++i) {
        if (!(c.X[i] < c.X[i + 1]))
            return;
    }
    if (n == 2 || mode > 5)
        mode = 0;
    else if (n == 3 && mode == 5)
        mode = 4;
    else if (n == 3 && mode == 2)
        mode = 1;
    c.X[0] = mode + ((flags & SplineNotClamped) != 0 ? 0.1 : 0.0);
    c.D.assign(static_cast<size_t>(n) + 1, 0.0);
    switch (mode) {
    case 0:
        for (int i = 1; i <= n; ++i)
            c.D[i] = c.Y[i];
        break;
    case 1:
    case 2:
        BuildHermite(c, n, mode);
        break;
    case 3:
    case 4:
    case 5:
        BuildCubic(c, n, mode);
        break;
    default:
        break; // a negative mode leaves an unusable curve
    }
}

} // namespace

void SortPointsByX(TSplineCurve& points) {
    CheckPoints(points);
    const int last = static_cast<int>(points.X.size()) - 1;
    if (last > 1)
        QuickSortByX(points.X, points.Y, 1, last);
}

void MergeClosePoints(TSplineCurve& points, double p) {
    CheckPoints(points);
    auto& X = points.X;
    auto& Y = points.Y;
    if (X.size() < 2)
        return;
    size_t last = 1;
    for (size_t i = 2; i < X.size(); ++i) {
        if (X[i] > X[last]) {
            ++last;
            X[last] = X[i];
            Y[last] = Y[i];
        }
    }
    if (p > 0 && last >= 2) {
        const double d = (X[last] - X[1]) * 0.25 / 100 * p;
        size_t kept = 1;
        size_t s = 2;
        while (s <= last) {
            const double limit = X[s] + d;
            double sumX = X[s];
            double sumY = Y[s];
            size_t e = s;
            while (e + 1 <= last && X[e + 1] <= limit) {
                ++e;
                sumX += X[e];
                sumY += Y[e];
            }
            const auto count = static_cast<double>(e - s + 1);
            ++kept;
            X[kept] = sumX / count;
            Y[kept] = sumY / count;
            s = e + 1;
        }
        last = kept;
    }
    X.resize(last + 1);
    Y.resize(last + 1);
}

void BuildSpline(TSplineCurve& curve, int mode, int flags) {
    Build(curve, mode, flags);
    CurrentCurve() = curve;
}

double EvaluateSpline(const TSplineCurve& curve, double x) {
    const auto& X = curve.X;
    const auto& Y = curve.Y;
    const auto& D = curve.D;
    if (X.empty() || !std::isfinite(X[0]))
        return x;
    const long mode = std::lround(X[0]);
    if (mode < 0 || mode > 5)
        return x;
    // Read by rounding: 4.1 is stored as 4.0999..., whose first decimal would truncate to 0.
    const bool clamped = std::lround(X[0] * 10) - mode * 10 != 1;
    const int n = static_cast<int>(X.size()) - 1;
    if (n < 2 || Y.size() != X.size() || D.size() != X.size())
        return x;

    if (clamped) {
        if (x <= X[1])
            return Y[1];
        if (x >= X[n])
            return Y[n];
    } else if (mode == 3) {
        if (x <= X[1])
            return Y[1] - (X[1] - x) * Y[0];
        if (x >= X[n])
            return Y[n] + (X[n] - x) * D[0];
    }
    int k = n - 1;
    while (k > 1 && !(X[k] <= x))
        --k;
    const double h = X[k + 1] - X[k];
    const double t = (x - X[k]) / h;
    const double u = 1 - t;
    switch (mode) {
    case 0:
        return Y[k] * u + Y[k + 1] * t;
    case 1:
    case 2: {
        const double t2 = t * t;
        const double t3 = t2 * t;
        // The derivatives enter without the factor h, as the curves always had it.
        return (2 * t3 - 3 * t2 + 1) * Y[k] + (3 * t2 - 2 * t3) * Y[k + 1] +
               (t3 - 2 * t2 + t) * D[k] + (t3 - t2) * D[k + 1];
    }
    default: {
        const double h26 = h * h / 6;
        return (D[k + 1] * t * t * t + D[k] * u * u * u) * h26 + (Y[k + 1] - D[k + 1] * h26) * t +
               (Y[k] - D[k] * h26) * u;
    }
    }
}

double EvalCurrentSpline(double x) {
    return EvaluateSpline(CurrentCurve(), x);
}

// ---- Clipping ----

namespace {

bool Inside(const TClipPoint& p, const TClipRect& r) {
    return r.xmin <= p.x && p.x <= r.xmax && r.ymin <= p.y && p.y <= r.ymax;
}

// Moves `from` along the segment to `to` until its coordinate (x or y) reaches `edge`.
void MoveToEdge(TClipPoint& from, const TClipPoint& to, double TClipPoint::*axis, double edge) {
    double TClipPoint::*other = axis == &TClipPoint::x ? &TClipPoint::y : &TClipPoint::x;
    from.*other += (to.*other - from.*other) * (edge - from.*axis) / (to.*axis - from.*axis);
    from.*axis = edge;
}

// Moves the end point beyond the edge (p1 first) onto it; false when both lie beyond, so that
// nothing is left to draw.
bool ClipEdge(TClipPoint& p1, TClipPoint& p2, double TClipPoint::*axis, double edge, bool below) {
    auto beyond = [&](const TClipPoint& p) { return below ? p.*axis < edge : p.*axis > edge; };
    if (beyond(p1) && beyond(p2))
        return false;
    if (beyond(p1))
        MoveToEdge(p1, p2, axis, edge);
    else if (beyond(p2))
        MoveToEdge(p2, p1, axis, edge);
    return true;
}

} // namespace

bool ClipSegmentToRect(TClipPoint& p1, TClipPoint& p2, const TClipRect& rect) {
    if (Inside(p1, rect) && Inside(p2, rect))
        return true;
    if ((p1.x <= rect.xmin && p2.x <= rect.xmin) || (p1.x >= rect.xmax && p2.x >= rect.xmax) ||
        (p1.y <= rect.ymin && p2.y <= rect.ymin) || (p1.y >= rect.ymax && p2.y >= rect.ymax))
        return false;
    // After one edge has cut the segment, what remains may lie wholly beyond the next edge:
    // then it misses the rectangle and must not be extended outside its ends.
    return ClipEdge(p1, p2, &TClipPoint::x, rect.xmin, true) &&
           ClipEdge(p1, p2, &TClipPoint::y, rect.ymin, true) &&
           ClipEdge(p1, p2, &TClipPoint::x, rect.xmax, false) &&
           ClipEdge(p1, p2, &TClipPoint::y, rect.ymax, false);
}

} // namespace vx
