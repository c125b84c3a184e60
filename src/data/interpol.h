#pragma once

// Lookup tables of the INTL function: text files with one "x<TAB>y" point a line,
// interpolated piecewise linearly and extrapolated along their end segments.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vx {

struct TInterpolPoint {
    double x = 0;
    double y = 0;
};

// y = Slope * x + Intercept.
struct TInterpolLine {
    double Slope = 0;
    double Intercept = 0;
    double At(double x) const { return Slope * x + Intercept; }
};

// One table as read from its file. Immutable once built, so it may be shared between threads.
class TInterpolVect {
public:
    // Reads the file with the given decimal separator; a file that cannot be read gives a table
    // without points.
    TInterpolVect(const std::string& fileName, char decimalSeparator);
    // Builds a table from points in the given order (the file order).
    TInterpolVect(const std::string& fileName, std::vector<TInterpolPoint> points);

    double Eval(double x) const;

    const std::string& FileName() const { return fileName_; }
    const std::vector<TInterpolPoint>& Points() const { return points_; }

private:
    void SetEndLines();

    std::string fileName_;
    std::vector<TInterpolPoint> points_;
    TInterpolLine firstLine_;
    TInterpolLine lastLine_;
};

// The cache of tables by file name (exact, case-sensitive). A table stays until the cache goes;
// a changed file is not read again. Safe to use from several threads.
class TInterpolBuff {
public:
    // The table's value at x; 0 when no such file exists (looked for again at the next call).
    double Lookup(const std::string& fileName, double x);
    int Count() const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<const TInterpolVect>> tables_;
};

// The program-wide cache that INTL uses.
TInterpolBuff& InterpolBuff();

} // namespace vx
