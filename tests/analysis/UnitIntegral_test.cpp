#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "analysis/FrameFixture.h"
#include "analysis/UnitIntegral.h"

using namespace analysis;
using analysis_test::MakeFrame;
using analysis_test::Ramp;
using analysis_test::XsOf;
using analysis_test::YsOf;

namespace {

// --- Searches ---

int Locate(const std::vector<double>& X, double x) {
    int j = 99;
    LocateIndex(X, x, j);
    return j;
}

int Hunt(const std::vector<double>& X, double x, int From) {
    HuntIndex(X, x, From);
    return From;
}

TEST(LocateIndex, AscendingAndDescendingTables) {
    const std::vector<double> up = {0, 1, 2, 3}, down = {3, 2, 1, 0};
    struct TCase {
        double x;
        int Up;
    };
    for (const TCase c : {TCase{1.5, 1}, TCase{0, 0}, TCase{3, 2}, TCase{-1, -1}, TCase{4, 3}, TCase{2, 2}})
        EXPECT_EQ(Locate(up, c.x), c.Up) << c.x;
    EXPECT_EQ(Locate(down, 1.5), 1);
    EXPECT_EQ(Locate(down, 3), 0);
    EXPECT_EQ(Locate(down, 0), 2);
    EXPECT_EQ(Locate(down, 4), -1);
    EXPECT_EQ(Locate(down, -1), 3);
    EXPECT_EQ(Locate({}, 1), -1);
    EXPECT_EQ(Locate({5}, 5), 0);
}

TEST(HuntIndex, FromAPreviousPosition) {
    const std::vector<double> x = Ramp(10);
    EXPECT_EQ(Hunt(x, 2.5, 0), 2);
    EXPECT_EQ(Hunt(x, 0.5, 8), 0);
    EXPECT_EQ(Hunt(x, 4.5, 50), 4); // out of range: a full bisection
    EXPECT_EQ(Hunt(x, 4.5, -1), 4);
    EXPECT_EQ(Hunt(x, 20, 3), 9);
    EXPECT_EQ(Hunt(x, -3, 3), -1);
    EXPECT_EQ(Hunt(x, 9, 0), 8);
    EXPECT_EQ(Hunt(x, 0, 7), 0);
    EXPECT_EQ(Hunt(Ramp(10, 9, -1), 2.5, 0), 6); // descending
    EXPECT_EQ(Hunt({}, 1, 0), -1);
    EXPECT_EQ(Hunt({4}, 4, 0), 0);
}

// From the last index a hunt upwards stops at once, so in a rising table even the last point itself stays
// outside the frame; only a hunt downwards searches.
TEST(HuntIndex, FromTheLastIndex) {
    struct TCase {
        std::vector<double> X;
        double x;
        int Expected;
    };
    const TCase cases[] = {
        {Ramp(10), 9, 9},         {Ramp(10), 12, 9},         {Ramp(10), 8.5, 8},
        {Ramp(10), 0.5, 0},       {Ramp(10), -1, -1},        {Ramp(10, 9, -1), 0, 8},
        {Ramp(10, 9, -1), -3, 9}, {Ramp(10, 9, -1), 0.5, 8}, {{4}, 4, 0},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Hunt(c.X, c.x, static_cast<int>(c.X.size()) - 1), c.Expected) << c.x;
    // The frame function keeps that position: after a value beyond the end the last point reads as 0.
    const std::vector<double> X = {0, 1, 2}, Y = {0, 4, 8};
    TFrameFunction f(X, Y);
    EXPECT_EQ(f(2), 8);
    EXPECT_EQ(f(3), 0);
    EXPECT_EQ(f(2), 0);
    EXPECT_EQ(f(1.5), 6);
}

// Wherever it starts, a hunt finds the interval a bisection finds, except the one case above.
TEST(HuntIndex, AgreesWithBisectionFromAnyStart) {
    std::mt19937 gen(9);
    std::uniform_real_distribution<double> step(0.1, 3);
    for (bool ascending : {true, false}) {
        std::vector<double> x(200);
        double v = 0;
        for (double& e : x)
            e = (v += step(gen)) * (ascending ? 1 : -1);
        std::uniform_real_distribution<double> where(std::min(x.front(), x.back()) - 20,
                                                     std::max(x.front(), x.back()) + 20);
        std::uniform_int_distribution<int> start(-3, 205);
        std::uniform_int_distribution<int> point(0, 199);
        for (int t = 0; t < 3000; ++t) {
            // Every third query lies exactly on a point, the ends included.
            const double q = t % 3 == 0 ? x[point(gen)] : where(gen);
            const int from = start(gen);
            // From the last index of a rising table the last point itself is not searched for.
            const int expected = ascending && from == 199 && q == x.back() ? 199 : Locate(x, q);
            ASSERT_EQ(Hunt(x, q, from), expected) << "x " << q << " from " << from;
        }
    }
}

// --- Frame function ---

TEST(FrameFunction, LinearInsideZeroOutside) {
    const std::vector<double> x = {0, 1, 2}, y = {0, 4, 8};
    TFrameFunction f(x, y);
    EXPECT_EQ(f(1.25), 5);
    EXPECT_EQ(f(2.5), 0);
    EXPECT_EQ(f(-0.5), 0);
    EXPECT_EQ(f(2), 8);
    EXPECT_EQ(f(0), 0);
    EXPECT_EQ(InterpolateLinear(1.5, 1, 2, 10, 20), 15);
}

TEST(FrameFunction, RepeatedEndXGivesTheMidpoint) {
    const std::vector<double> x = {0, 0, 1, 2, 2}, y = {2, 4, 6, 8, 12};
    TFrameFunction f(x, y);
    EXPECT_EQ(f(0), 3);
    EXPECT_EQ(f(2), 10);
    EXPECT_EQ(f(0.5), 5);
}

// --- Integration ---

struct TIntegral {
    int Status;
    double Value;
};

TIntegral Trapezoid(const std::vector<double>& X, const std::vector<double>& Y, double A, double B,
                    double Eps = 1e-6) {
    TIntegral r{};
    r.Status = IntegrateTrapezoid(X, Y, A, B, r.Value, Eps);
    return r;
}

TIntegral Simpson(const std::vector<double>& X, const std::vector<double>& Y, double A, double B,
                  double Eps = 1e-6) {
    TIntegral r{};
    r.Status = IntegrateSimpson(X, Y, A, B, r.Value, Eps);
    return r;
}

TEST(Integrate, StraightLine) {
    const std::vector<double> x = Ramp(5);
    for (auto rule : {Trapezoid, Simpson}) {
        const TIntegral full = rule(x, x, 0, 4, 1e-6);
        EXPECT_EQ(full.Status, IntegralConverged);
        EXPECT_NEAR(full.Value, 8, 1e-12);
        const TIntegral none = rule(x, x, 2, 2, 1e-6);
        EXPECT_EQ(none.Status, IntegralConverged);
        EXPECT_EQ(none.Value, 0);
        const TIntegral part = rule(x, x, 1, 3, 1e-6);
        EXPECT_NEAR(part.Value, 4, 1e-12);
        // Reversed limits give the negative.
        EXPECT_NEAR(rule(x, x, 4, 0, 1e-6).Value, -8, 1e-12);
    }
}

TEST(Integrate, StartOutsideTheFrame) {
    const std::vector<double> x = Ramp(5);
    for (auto rule : {Trapezoid, Simpson}) {
        for (double a : {5.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
            const TIntegral r = rule(x, x, a, 4, 1e-6);
            EXPECT_EQ(r.Status, IntegralStartOutside) << a;
            EXPECT_EQ(r.Value, 0);
        }
        EXPECT_EQ(rule({}, {}, 0, 1, 1e-6).Status, IntegralStartOutside);
        EXPECT_EQ(rule({3}, {1}, 3, 3, 1e-6).Status, IntegralStartOutside);
    }
}

// Smooth functions sampled finely: the integral of the interpolated frame is close to the true one.
TEST(Integrate, KnownIntegrals) {
    const int n = 2049;
    std::vector<double> x(n), sine(n), square(n);
    for (int i = 0; i < n; ++i) {
        x[i] = std::numbers::pi * i / (n - 1);
        sine[i] = std::sin(x[i]);
        square[i] = x[i] * x[i];
    }
    const double pi = std::numbers::pi;
    for (auto rule : {Trapezoid, Simpson}) {
        const TIntegral s = rule(x, sine, 0, pi, 1e-8);
        EXPECT_EQ(s.Status, IntegralConverged);
        EXPECT_NEAR(s.Value, 2, 1e-6);
        const TIntegral half = rule(x, sine, 0, pi / 2, 1e-8);
        EXPECT_NEAR(half.Value, 1, 1e-6);
        const TIntegral q = rule(x, square, 0, pi, 1e-8);
        EXPECT_EQ(q.Status, IntegralConverged);
        EXPECT_NEAR(q.Value, pi * pi * pi / 3, 1e-5);
    }
}

TEST(Integrate, DescendingFrame) {
    const std::vector<double> x = Ramp(5, 4, -1);
    const TIntegral r = Trapezoid(x, x, 0, 4);
    EXPECT_EQ(r.Status, IntegralConverged);
    EXPECT_NEAR(r.Value, 8, 1e-12);
}

TEST(Integrate, ZeroToleranceRunsOutOfSteps) {
    const int n = 1001;
    std::vector<double> x(n), y(n);
    for (int i = 0; i < n; ++i) {
        x[i] = i * 0.001;
        y[i] = std::exp(x[i]);
    }
    for (auto rule : {Trapezoid, Simpson}) {
        const TIntegral r = rule(x, y, 0, 0.9876, 0);
        EXPECT_EQ(r.Status, IntegralNotConverged);
        EXPECT_NEAR(r.Value, std::exp(0.9876) - 1, 1e-6); // the last estimate is kept
    }
}

// --- Derivative ---

TEST(RiddersDerivative, SmoothData) {
    const int n = 4001;
    std::vector<double> x(n), sine(n), expo(n);
    for (int i = 0; i < n; ++i) {
        x[i] = -2 + 4.0 * i / (n - 1);
        sine[i] = std::sin(x[i]);
        expo[i] = std::exp(x[i]);
    }
    const double h = DerivativeStep(x);
    for (int i = 100; i < n - 100; i += 37) {
        double d = 0, e = 0;
        ASSERT_EQ(RiddersDerivative(x, sine, x[i], h, d, e), 0);
        EXPECT_NEAR(d, std::cos(x[i]), 1e-5) << x[i];
        ASSERT_EQ(RiddersDerivative(x, expo, x[i], h, d, e), 0);
        EXPECT_NEAR(d, std::exp(x[i]), 1e-5) << x[i];
    }
}

TEST(RiddersDerivative, ZeroStepWritesNothing) {
    const std::vector<double> x = Ramp(5);
    double d = 123, e = 456;
    EXPECT_EQ(RiddersDerivative(x, x, 2, 0, d, e), 1);
    EXPECT_EQ(RiddersDerivative(x, x, 2, std::numeric_limits<double>::quiet_NaN(), d, e), 1);
    EXPECT_EQ(d, 123);
    EXPECT_EQ(e, 456);
}

TEST(DerivativeFrame, StraightLine) {
    const std::vector<double> x = Ramp(100), y = Ramp(100, 0, 2);
    auto source = MakeFrame(x, y);
    auto target = MakeFrame({1}, {1});
    const double h = DerivativeStep(source.get());
    EXPECT_DOUBLE_EQ(h, 0.99);
    EXPECT_EQ(DerivativeFrame(source.get(), target.get(), h), DerivativeDone);
    ASSERT_EQ(target->Count(), 100);
    EXPECT_EQ(XsOf(*target), x);
    const std::vector<double> d = YsOf(*target);
    for (int i = 2; i < 98; ++i)
        EXPECT_NEAR(d[i], 2, 1e-9) << i;
    // The step to 0 beyond the frame shows at the last point.
    EXPECT_GT(std::fabs(d[99] - 2), 1);
}

TEST(DerivativeFrame, RefusesWhatItCannotCompute) {
    auto target = MakeFrame({1, 2}, {1, 2});
    EXPECT_EQ(DerivativeFrame(nullptr, target.get(), 1), DerivativeNoFrame);
    EXPECT_EQ(target->Count(), 2);

    auto empty = MakeFrame({});
    EXPECT_EQ(DerivativeStep(empty.get()), 0);
    EXPECT_EQ(DerivativeFrame(empty.get(), target.get(), 1), DerivativeNoFrame);
    EXPECT_EQ(target->Count(), 0);

    // One point, or equal first and last x: the step is 0 and nothing is computed.
    auto one = MakeFrame({5}, {3});
    EXPECT_EQ(DerivativeStep(one.get()), 0);
    EXPECT_EQ(DerivativeFrame(one.get(), target.get(), DerivativeStep(one.get())), DerivativeBadStep);
    EXPECT_EQ(target->Count(), 0);
    auto flat = MakeFrame({2, 2, 2}, {1, 5, 1});
    EXPECT_EQ(DerivativeFrame(flat.get(), target.get(), DerivativeStep(flat.get())), DerivativeBadStep);
    EXPECT_EQ(DerivativeFrame(flat.get(), target.get(), std::numeric_limits<double>::infinity()),
              DerivativeBadStep);
    EXPECT_EQ(target->Count(), 0);
}

} // namespace
