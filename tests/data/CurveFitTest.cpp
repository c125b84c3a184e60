#include "data/CurveFit.h"

#include "platform/runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace vx;

namespace {

// ---- Polynomial fit ----

TEST(FitGridTest, SpansMinusTwoToTwo) {
    std::vector<double> grid(5, 9);
    FillFitGrid(grid, 5);
    EXPECT_EQ(grid, (std::vector<double>{-2, -1, 0, 1, 2}));

    FillFitGrid(grid, 4); // the step is single precision, the last point exact
    EXPECT_EQ(grid[1], double(4.0f / 3.0f) - 2);
    EXPECT_EQ(grid[3], 2.0);
    EXPECT_EQ(grid[4], 2.0); // beyond n: untouched

    std::vector<double> one;
    FillFitGrid(one, 1);
    EXPECT_EQ(one, std::vector<double>{2.0});
    std::vector<double> none{7};
    FillFitGrid(none, 0);
    FillFitGrid(none, -3);
    EXPECT_EQ(none, std::vector<double>{7});
}

TEST(FitRangeTest, NormalisesAndBack) {
    std::vector<double> v{0, 2, 4, 99};
    NormalizeToFitRange(3, v, 0, 4);
    EXPECT_EQ(v, (std::vector<double>{-2, 0, 2, 99}));
    DenormalizeFromFitRange(3, v, 0, 4);
    EXPECT_EQ(v, (std::vector<double>{0, 2, 4, 99}));
    NormalizeToFitRange(3, v, 4, 4); // an empty range does nothing
    NormalizeToFitRange(3, v, 5, 4);
    EXPECT_EQ(v, (std::vector<double>{0, 2, 4, 99}));
}

std::vector<double> Range(int n) {
    std::vector<double> v;
    for (int i = 0; i < n; ++i)
        v.push_back(i);
    return v;
}

TEST(FitPolynomialTest, ReproducesALine) {
    std::vector<double> x = Range(5);
    std::vector<double> y;
    for (double v : x)
        y.push_back(2 * v + 1);
    NormalizeToFitRange(5, x, 0, 4);
    std::vector<double> grid(5);
    FillFitGrid(grid, 5);
    ASSERT_TRUE(FitPolynomial(5, 2, 5, grid, y, x, 1, 9));
    const double expected[] = {1, 3, 5, 7, 9};
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(y[i], expected[i], 1e-4) << i;
}

TEST(FitPolynomialTest, ConstantChannelGivesTheConstant) {
    std::vector<double> x{-2, 0, 2};
    std::vector<double> y{3, 3, 3};
    std::vector<double> grid{-2, -1, 0, 1};
    ASSERT_TRUE(FitPolynomial(4, 3, 3, grid, y, x, 3, 3));
    EXPECT_EQ(y, (std::vector<double>{3, 3, 3, 3}));

    // A single point: constant at ymin as well.
    std::vector<double> y1{5, 8};
    ASSERT_TRUE(FitPolynomial(2, 3, 1, grid, y1, x, 4, 6));
    EXPECT_EQ(y1, (std::vector<double>{4, 4}));
}

TEST(FitPolynomialTest, CoefficientsAreSinglePrecision) {
    // A straight line through points whose mean is not a single-precision number: a fit in
    // double precision would be exact to 1e-15; the single-precision coefficients are not.
    std::vector<double> x{-1.9, -0.7, 0.1, 1.3, 1.9};
    std::vector<double> y;
    for (double v : x)
        y.push_back(0.3 + 0.1 * v);
    const std::vector<double> grid = x;
    std::vector<double> fitted = y;
    ASSERT_TRUE(FitPolynomial(5, 3, 5, grid, fitted, x, 0.1, 0.5));
    double worst = 0;
    for (int i = 0; i < 5; ++i)
        worst = std::max(worst, std::fabs(fitted[i] - y[i]));
    EXPECT_LT(worst, 1e-6);
    EXPECT_GT(worst, 1e-12);
}

TEST(FitPolynomialTest, DegreeIsCappedOnlyBelowSevenPoints) {
    // A degree-6 polynomial sampled at 8 points is reproduced at degree 6 but not at degree 5.
    std::vector<double> x;
    std::vector<double> y;
    for (int i = 0; i < 8; ++i) {
        const double t = -2 + i * 4.0 / 7;
        x.push_back(t);
        y.push_back(std::pow(t, 6) / 64 - t / 4);
    }
    auto worstError = [&](int degree) {
        std::vector<double> fitted = y;
        EXPECT_TRUE(FitPolynomial(8, degree, 8, x, fitted, x, -0.5, 1.5));
        double worst = 0;
        for (int i = 0; i < 8; ++i)
            worst = std::max(worst, std::fabs(fitted[i] - y[i]));
        return worst;
    };
    EXPECT_LT(worstError(6), 1e-4);
    EXPECT_GT(worstError(5), 1e-2);
}

TEST(FitPolynomialTest, TooFewDistinctPointsFailAndLeaveYAlone) {
    struct Case {
        std::vector<double> x;
        int degree;
    };
    const Case cases[] = {
        {{-2, -1, 0, 1, 2}, 6}, // 5 points, degree 6 becomes 5
        {{-2, -1, 0, 1, 2}, 5}, // degree n
        {{-2, -2, 0, 2, 2}, 3}, // 3 distinct x values
        {{1, 1, 1, 1, 1, 1, 1, 1}, 2},
    };
    for (const Case& c : cases) {
        const int n = static_cast<int>(c.x.size());
        std::vector<double> y;
        for (int i = 0; i < n; ++i)
            y.push_back(0.1 * i * i + 0.7);
        const std::vector<double> input = y;
        std::vector<double> grid(static_cast<size_t>(n));
        FillFitGrid(grid, n);
        EXPECT_FALSE(
            FitPolynomial(n, c.degree, n, grid, y, c.x, 0.7, 0.1 * (n - 1) * (n - 1) + 0.7))
            << c.degree;
        EXPECT_EQ(y, input);
    }
}

TEST(FitPolynomialTest, FitsThroughEveryDistinctPointBelowThatCount) {
    std::vector<double> x{-2, -1, 0, 1, 2};
    std::vector<double> y{0, 1, 4, 1, 0};
    std::vector<double> fitted = y;
    ASSERT_TRUE(FitPolynomial(5, 4, 5, x, fitted, x, 0, 4));
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(fitted[i], y[i], 1e-4);
}

TEST(FitPolynomialTest, OutputCountDiffersFromPointCount) {
    std::vector<double> x{-2, 0, 2};
    std::vector<double> grid(7);
    FillFitGrid(grid, 7);

    std::vector<double> more{1, 2, 3};
    ASSERT_TRUE(FitPolynomial(7, 2, 3, grid, more, x, 1, 3));
    ASSERT_EQ(more.size(), 7u);
    for (int i = 0; i < 7; ++i)
        EXPECT_NEAR(more[i], 2 + grid[i] / 2, 1e-5) << i;

    std::vector<double> fewer{1, 2, 3};
    ASSERT_TRUE(FitPolynomial(1, 2, 3, grid, fewer, x, 1, 3));
    EXPECT_NEAR(fewer[0], 1, 1e-5);
    EXPECT_EQ(fewer[1], 2); // not a fitted value: left as it came
    EXPECT_EQ(fewer[2], 3);
}

TEST(FitPolynomialTest, CountsBeyondTheVectorsRaise) {
    std::vector<double> x{0, 1};
    std::vector<double> y{0, 1};
    std::vector<double> grid{0, 1};
    EXPECT_THROW(FitPolynomial(2, 2, 3, grid, y, x, 0, 1), EListError);
    EXPECT_THROW(FitPolynomial(3, 2, 2, grid, y, x, 0, 1), EListError);
    EXPECT_EQ(y, (std::vector<double>{0, 1}));
}

// ---- Splines ----

TSplineCurve Curve(std::vector<double> x, std::vector<double> y) {
    x.insert(x.begin(), 0);
    y.insert(y.begin(), 0);
    return {x, y, {}};
}

TEST(SplineTest, ModeReductions) {
    struct Case {
        int points;
        int mode;
        int flags;
        double tag;
    };
    const Case cases[] = {
        {2, 3, 0, 0}, {2, 5, 1, 0.1}, {3, 5, 0, 4}, {3, 2, 0, 1},   {3, 3, 0, 3},
        {4, 5, 0, 5}, {4, 2, 0, 2},   {4, 6, 0, 0}, {3, 4, 1, 4.1}, {5, 1, 0, 1},
    };
    for (const Case& c : cases) {
        std::vector<double> x;
        std::vector<double> y;
        for (int i = 0; i < c.points; ++i) {
            x.push_back(i);
            y.push_back(i * i);
        }
        TSplineCurve curve = Curve(x, y);
        BuildSpline(curve, c.mode, c.flags);
        EXPECT_EQ(curve.X[0], c.tag) << c.points << " points, mode " << c.mode;
        EXPECT_EQ(curve.D.size(), curve.X.size());
    }
}

TEST(SplineTest, UnusableCurvesEvaluateToX) {
    TSplineCurve empty;
    BuildSpline(empty, 3, 0);
    EXPECT_EQ(empty.X, std::vector<double>{-1});
    EXPECT_EQ(empty.Y.size(), 1u);
    EXPECT_EQ(EvaluateSpline(empty, 7.5), 7.5);

    const TSplineCurve bad[] = {
        Curve({0, 1, 1, 2}, {0, 1, 2, 3}), // not strictly increasing
        Curve({0, 2, 1}, {0, 1, 2}),
        Curve({0}, {5}),               // one point
        {{0, 0, 1, 2}, {0, 1, 2}, {}}, // lengths differ
    };
    for (TSplineCurve c : bad) {
        BuildSpline(c, 3, 0);
        EXPECT_EQ(c.X[0], -2);
        EXPECT_EQ(EvaluateSpline(c, 0.5), 0.5);
        EXPECT_EQ(EvalCurrentSpline(0.25), 0.25);
    }

    // A tag that claims a mode without the arrays to go with it.
    const TSplineCurve forged{{3, 0, 1, 2}, {0, 0, 1, 2}, {0}};
    EXPECT_EQ(EvaluateSpline(forged, 1.5), 1.5);
}

TEST(SplineTest, EveryModePassesThroughItsPoints) {
    const std::vector<double> x{0, 1, 2.5, 3, 5, 6};
    const std::vector<double> y{1, -2, 0.5, 4, 3, 3.5};
    for (int mode = 0; mode <= 5; ++mode) {
        for (int flags : {0, 1}) {
            TSplineCurve c = Curve(x, y);
            BuildSpline(c, mode, flags);
            for (size_t i = 0; i < x.size(); ++i)
                EXPECT_NEAR(EvaluateSpline(c, x[i]), y[i], 1e-12)
                    << "mode " << mode << " point " << i;
        }
    }
}

TEST(SplineTest, ValuesBetweenPoints) {
    struct Case {
        std::vector<double> x, y;
        int mode;
        double at;
        double expected;
    };
    const Case cases[] = {
        {{0, 2, 4}, {0, 2, 0}, 0, 1, 1},
        {{0, 1, 2}, {0, 1, 0}, 3, 0.5, 0.6875},       // natural spline
        {{0, 1, 2}, {0, 1, 0}, 4, 0.5, 0.75},         // equal end curvatures: a parabola
        {{0, 1, 2, 3}, {0, 1, 8, 27}, 5, 0.5, 0.125}, // extrapolated curvatures: a cubic
        {{0, 1, 2, 3}, {0, 1, 4, 9}, 2, 0.5, 0.25},   // extrapolated slopes
        {{0, 2, 4}, {0, 2, 0}, 1, 1, 1.125},          // slopes enter without the factor h
        {{0, 1, 3, 6}, {0, 1, 0, 2}, 5, 4.5, -0.8374999826774001},
    };
    for (const Case& c : cases) {
        TSplineCurve curve = Curve(c.x, c.y);
        BuildSpline(curve, c.mode, 0);
        EXPECT_NEAR(EvaluateSpline(curve, c.at), c.expected, 1e-9) << "mode " << c.mode;
    }
}

TEST(SplineTest, ClampedHoldsTheEndsAndNotClampedExtrapolates) {
    TSplineCurve clamped = Curve({0, 1, 2}, {0, 1, 0});
    BuildSpline(clamped, 3, 0);
    EXPECT_EQ(EvaluateSpline(clamped, -1), 0);
    EXPECT_EQ(EvaluateSpline(clamped, 3), 0);

    TSplineCurve free = Curve({0, 1, 2}, {0, 1, 0});
    BuildSpline(free, 3, SplineNotClamped);
    EXPECT_DOUBLE_EQ(free.Y[0], 1.5); // slope at the first point
    EXPECT_DOUBLE_EQ(free.D[0], 1.5); // negated slope at the last
    EXPECT_DOUBLE_EQ(EvaluateSpline(free, -1), -1.5);
    EXPECT_DOUBLE_EQ(EvaluateSpline(free, 3), -1.5);

    // Modes other than 3 continue their end interval; 4.1 and 5.1 are read as not clamped.
    for (int mode : {0, 4, 5}) {
        TSplineCurve c = Curve({0, 1, 2, 3}, {0, 1, 2, 3});
        BuildSpline(c, mode, SplineNotClamped);
        EXPECT_NEAR(EvaluateSpline(c, 5), 5, 1e-6) << mode;
        EXPECT_NEAR(EvaluateSpline(c, -2), -2, 1e-6) << mode;
    }
}

TEST(SplineTest, CurrentCurveKeepsItsOwnCopy) {
    TSplineCurve c = Curve({0, 1, 2}, {0, 10, 20});
    BuildSpline(c, 0, 0);
    c.Y[2] = 1000;
    c.X.clear();
    EXPECT_EQ(EvalCurrentSpline(0.5), 5);
    EXPECT_EQ(EvalCurrentSpline(5), 20);
}

TEST(SplinePointsTest, SortsByXTogetherWithY) {
    TSplineCurve p{{9, 3, 1, 2, 5, 4}, {8, 30, 10, 20, 50, 40}, {}};
    SortPointsByX(p);
    EXPECT_EQ(p.X, (std::vector<double>{9, 1, 2, 3, 4, 5}));
    EXPECT_EQ(p.Y, (std::vector<double>{8, 10, 20, 30, 40, 50}));

    std::vector<double> x{0}, y{0};
    for (int i = 200000; i > 0; --i) {
        x.push_back(i % 2 ? i : 200000 - i);
        y.push_back(x.back());
    }
    TSplineCurve big{x, y, {}};
    SortPointsByX(big);
    for (size_t i = 2; i < big.X.size(); ++i)
        ASSERT_LE(big.X[i - 1], big.X[i]);
    EXPECT_EQ(big.X, big.Y);

    TSplineCurve odd{{0, 1, 2}, {0, 1}, {}};
    EXPECT_THROW(SortPointsByX(odd), EListError);
    EXPECT_THROW(MergeClosePoints(odd, 0), EListError);
}

TEST(SplinePointsTest, MergesClosePoints) {
    struct Case {
        std::vector<double> x, y;
        double p;
        std::vector<double> ex, ey;
    };
    const Case cases[] = {
        {{1, 3, 2, 3, 5}, {1, 3, 2, 4, 5}, 0, {1, 3, 5}, {1, 3, 5}},
        {{0, 1, 1.1, 1.2, 5, 10}, {0, 3, 6, 9, 5, 10}, 10, {0, 1.1, 5, 10}, {0, 6, 5, 10}},
        {{0, 9.9, 10}, {0, 1, 3}, 10, {0, 9.95}, {0, 2}}, // the last run's mean ends the curve
        {{0, 0.1, 0.2}, {1, 2, 3}, 100, {0, 0.1, 0.2}, {1, 2, 3}},
        {{4}, {4}, 50, {4}, {4}},
    };
    for (const Case& c : cases) {
        TSplineCurve pts = Curve(c.x, c.y);
        MergeClosePoints(pts, c.p);
        const TSplineCurve expected = Curve(c.ex, c.ey);
        ASSERT_EQ(pts.X.size(), expected.X.size()) << c.p;
        for (size_t i = 0; i < pts.X.size(); ++i) {
            EXPECT_DOUBLE_EQ(pts.X[i], expected.X[i]) << i;
            EXPECT_DOUBLE_EQ(pts.Y[i], expected.Y[i]) << i;
        }
    }
}

// ---- Clipping ----

TEST(ClipTest, ClipsSegments) {
    struct Case {
        TClipPoint p1, p2;
        bool visible;
        TClipPoint e1, e2;
    };
    const TClipRect rect{0, 0, 10, 10};
    const Case cases[] = {
        {{-5, 5}, {5, 5}, true, {0, 5}, {5, 5}},
        {{5, 5}, {-5, 5}, true, {5, 5}, {0, 5}},
        {{2, 3}, {10, 10}, true, {2, 3}, {10, 10}},
        {{-5, 5}, {15, 5}, true, {0, 5}, {10, 5}},
        {{-5, -5}, {15, 15}, true, {0, 0}, {10, 10}},
        {{5, 5}, {15, 25}, true, {5, 5}, {7.5, 10}},
        {{5, -10}, {5, 20}, true, {5, 0}, {5, 10}},
        {{-5, 1}, {-1, 8}, false, {-5, 1}, {-1, 8}},    // wholly left
        {{0, 5}, {-1, 5}, false, {0, 5}, {-1, 5}},      // touching the left edge from outside
        {{3, 11}, {8, 10}, false, {3, 11}, {8, 10}},    // below, touching the bottom edge
        {{-10, 5}, {5, -10}, false, {0, -5}, {5, -10}}, // passes beside the corner
    };
    for (const Case& c : cases) {
        TClipPoint p1 = c.p1;
        TClipPoint p2 = c.p2;
        EXPECT_EQ(ClipSegmentToRect(p1, p2, rect), c.visible) << c.p1.x << "," << c.p1.y;
        if (!c.visible)
            continue;
        EXPECT_DOUBLE_EQ(p1.x, c.e1.x);
        EXPECT_DOUBLE_EQ(p1.y, c.e1.y);
        EXPECT_DOUBLE_EQ(p2.x, c.e2.x);
        EXPECT_DOUBLE_EQ(p2.y, c.e2.y);
    }
}

} // namespace
