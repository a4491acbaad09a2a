#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "analysis/FrameFixture.h"
#include "analysis/UnitSGFilter.h"

using namespace analysis;
using analysis_test::MakeFrame;
using analysis_test::Ramp;
using analysis_test::XsOf;
using analysis_test::YsOf;

namespace {

// The coefficient of each offset -Nl .. Nr, read from the wrap-around vector.
std::vector<double> ByOffset(const TDoubleArray& C, int Nl, int Nr) {
    const int np = static_cast<int>(C.size());
    std::vector<double> v;
    for (int k = -Nl; k <= Nr; ++k)
        v.push_back(C[(np - k) % np]);
    return v;
}

// --- LU solver ---

TEST(LuSolver, SolvesWithRowExchanges) {
    // The first pivot is 0, so the rows must be exchanged.
    TDoubleMatrixArray a = {{0, 2, 1}, {1, 1, 1}, {2, 1, 3}};
    const std::vector<double> solution = {1, -2, 3};
    TDoubleArray b(3);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            b[i] += a[i][j] * solution[j];
    TIntArray permutation;
    double d = 0;
    ASSERT_EQ(LuDecompose(a, 3, permutation, d), 0);
    EXPECT_TRUE(d == 1 || d == -1);
    LuBackSubstitute(a, 3, permutation, b);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(b[i], solution[i], 1e-14);
}

TEST(LuSolver, ParitySingularRowsAndZeroPivots) {
    TDoubleMatrixArray swap = {{0, 1}, {1, 0}};
    TIntArray permutation;
    double d = 0;
    ASSERT_EQ(LuDecompose(swap, 2, permutation, d), 0);
    EXPECT_EQ(d, -1);
    EXPECT_EQ(permutation, (TIntArray{1, 1}));

    TDoubleMatrixArray zeroRow = {{1, 2}, {0, 0}};
    EXPECT_EQ(LuDecompose(zeroRow, 2, permutation, d), 1);

    // Rank one: the second pivot vanishes and is replaced by a tiny number instead of dividing by zero.
    TDoubleMatrixArray rankOne = {{1, 1}, {1, 1}};
    EXPECT_EQ(LuDecompose(rankOne, 2, permutation, d), 0);
    EXPECT_EQ(rankOne[1][1], 1.0e-20);
}

// --- Coefficients ---

struct TCoefficientCase {
    int Nl, Nr, Ld, M;
    std::vector<double> Numerators; // offsets -Nl .. Nr
    double Denominator;
};

// Published Savitzky-Golay tables. For derivatives the filter gives the polynomial's coefficient, so the
// second derivative comes out halved.
TEST(SavGolCoefficients, PublishedTables) {
    const std::vector<TCoefficientCase> cases = {
        {2, 2, 0, 2, {-3, 12, 17, 12, -3}, 35},
        {3, 3, 0, 2, {-2, 3, 6, 7, 6, 3, -2}, 21},
        {4, 4, 0, 2, {-21, 14, 39, 54, 59, 54, 39, 14, -21}, 231},
        {3, 3, 0, 4, {5, -30, 75, 131, 75, -30, 5}, 231},
        {4, 4, 0, 4, {15, -55, 30, 135, 179, 135, 30, -55, 15}, 429},
        {2, 2, 0, 3, {-3, 12, 17, 12, -3}, 35}, // an odd degree smooths like the even one below it
        {2, 2, 1, 2, {-2, -1, 0, 1, 2}, 10},
        {3, 3, 1, 2, {-3, -2, -1, 0, 1, 2, 3}, 28},
        {4, 4, 1, 2, {-4, -3, -2, -1, 0, 1, 2, 3, 4}, 60},
        {2, 2, 1, 4, {1, -8, 0, 8, -1}, 12},
        {3, 3, 1, 3, {22, -67, -58, 0, 58, 67, -22}, 252},
        {2, 2, 2, 2, {2, -1, -2, -1, 2}, 14},
        {3, 3, 2, 2, {5, 0, -3, -4, -3, 0, 5}, 84},
    };
    for (const TCoefficientCase& c : cases) {
        TDoubleArray coefficients;
        const int np = c.Nl + c.Nr + 1;
        ASSERT_EQ(SavGolCoefficients(coefficients, np, c.Nl, c.Nr, c.Ld, c.M), 0);
        ASSERT_EQ(coefficients.size(), static_cast<size_t>(np));
        const std::vector<double> got = ByOffset(coefficients, c.Nl, c.Nr);
        for (int i = 0; i < np; ++i)
            EXPECT_NEAR(got[i], c.Numerators[i] / c.Denominator, 1e-14)
                << "nl " << c.Nl << " ld " << c.Ld << " m " << c.M << " offset " << i - c.Nl;
    }
}

TEST(SavGolCoefficients, WrapAroundOrder) {
    TDoubleArray c;
    ASSERT_EQ(SavGolCoefficients(c, 5, 2, 2, 0, 2), 0);
    const std::vector<double> expected = {17 / 35.0, 12 / 35.0, -3 / 35.0, -3 / 35.0, 12 / 35.0};
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(c[i], expected[i], 1e-15) << i;
    // A longer vector leaves the unused positions 0.
    ASSERT_EQ(SavGolCoefficients(c, 8, 2, 2, 1, 2), 0);
    EXPECT_NEAR(c[1], -0.1, 1e-15); // offset -1
    EXPECT_NEAR(c[2], -0.2, 1e-15); // offset -2
    EXPECT_NEAR(c[6], 0.2, 1e-15);  // offset +2
    EXPECT_NEAR(c[7], 0.1, 1e-15);  // offset +1
    EXPECT_NEAR(c[0], 0, 1e-15);
    EXPECT_EQ(c[3], 0);
    EXPECT_EQ(c[5], 0);
}

TEST(SavGolCoefficients, BadArgumentsLeaveTheVector) {
    struct TBad {
        const char* Name;
        int Np, Nl, Nr, Ld, M;
    };
    const std::vector<TBad> cases = {
        {"derivative above degree", 5, 2, 2, 3, 2},
        {"window narrower than degree", 3, 1, 1, 0, 4},
        {"vector too short", 4, 2, 2, 0, 2},
        {"negative left", 5, -1, 2, 0, 2},
        {"negative right", 5, 2, -1, 0, 2},
        {"negative degree", 5, 2, 2, 0, -1},
        {"negative derivative", 5, 2, 2, -1, 2},
        {"both negative", 5, 2, 2, -3, -1},
        {"window beyond the limit", SavGolMaxWindow + 1, SavGolMaxWindow / 2, SavGolMaxWindow / 2, 0, 2},
        {"degree beyond the limit", 301, 150, 150, 0, SavGolMaxDegree + 1},
        {"huge sides", 5, std::numeric_limits<int>::max(), std::numeric_limits<int>::max(), 0, 2},
    };
    for (const TBad& b : cases) {
        TDoubleArray c = {42};
        EXPECT_EQ(SavGolCoefficients(c, b.Np, b.Nl, b.Nr, b.Ld, b.M), 1) << b.Name;
        EXPECT_EQ(c, TDoubleArray{42}) << b.Name;
    }
}

// --- Filter ---

std::vector<double> Filter(const std::vector<double>& Y, int Nl, int Nr, int M, int Ld,
                           int* Status = nullptr) {
    TDoubleArray out;
    const int status = SavGolFilter(Y, out, Nl, Nr, M, Ld);
    if (Status)
        *Status = status;
    return out;
}

TEST(SavGolFilter, DerivativeOfARamp) {
    const std::vector<double> out = Filter(Ramp(20), 2, 2, 2, 1);
    EXPECT_NEAR(out[0], 0.5, 1e-14);
    EXPECT_NEAR(out[1], 0.8, 1e-14);
    for (int i = 2; i <= 17; ++i)
        EXPECT_NEAR(out[i], 1, 1e-13) << i;
}

TEST(SavGolFilter, ReproducesPolynomialsOfItsDegree) {
    auto p = [](double x) { return 0.5 * x * x * x - 2 * x * x + 3 * x - 7; };
    auto dp = [](double x) { return 1.5 * x * x - 4 * x + 3; };
    std::vector<double> y(100);
    for (int i = 0; i < 100; ++i)
        y[i] = p(i);
    const std::vector<double> smooth = Filter(y, 5, 5, 3, 0), slope = Filter(y, 5, 5, 3, 1);
    for (int i = 5; i <= 94; ++i) {
        EXPECT_NEAR(smooth[i], p(i), 1e-8 * std::max(1.0, std::fabs(p(i)))) << i;
        EXPECT_NEAR(slope[i], dp(i), 1e-8 * std::max(1.0, std::fabs(dp(i)))) << i;
    }
}

TEST(SavGolFilter, AsymmetricWindowFitsALineThroughThePastPoints) {
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> dist(-10, 10);
    std::vector<double> y(60);
    for (double& v : y)
        v = dist(gen);
    const std::vector<double> out = Filter(y, 4, 0, 1, 0);
    for (int i = 4; i < 60; ++i) {
        // Least-squares line over offsets -4 .. 0 (mean offset -2), read at offset 0.
        double mean = 0, slope = 0;
        for (int k = -4; k <= 0; ++k)
            mean += y[i + k] / 5;
        for (int k = -4; k <= 0; ++k)
            slope += (k + 2) * y[i + k] / 10;
        EXPECT_NEAR(out[i], mean + 2 * slope, 1e-12) << i;
    }
}

TEST(SavGolFilter, ConstantStaysConstantAwayFromTheEnds) {
    const std::vector<double> out = Filter(std::vector<double>(100, 7.5), 16, 16, 4, 0);
    for (int i = 16; i <= 83; ++i)
        EXPECT_NEAR(out[i], 7.5, 1e-11) << i;
    // Near the ends the missing terms are left out without reweighting.
    EXPECT_LT(std::fabs(out[0] - 7.5), 7.5);
    EXPECT_NE(out[0], 7.5);
}

// The vectorised interior adds in window order like the plain loop; the ends leave out what lies outside.
TEST(SavGolFilter, MatchesPlainSumsExactly) {
    std::mt19937 gen(11);
    std::uniform_real_distribution<double> dist(-500, 500);
    struct TWindow {
        int Nl, Nr, M, Ld;
    };
    for (const TWindow w : {TWindow{2, 2, 2, 0}, TWindow{12, 12, 4, 0}, TWindow{16, 16, 4, 1},
                            TWindow{4, 0, 1, 0}, TWindow{0, 3, 2, 0}, TWindow{30, 10, 5, 2}}) {
        TDoubleArray c;
        const int np = w.Nl + w.Nr + 1;
        ASSERT_EQ(SavGolCoefficients(c, np, w.Nl, w.Nr, w.Ld, w.M), 0);
        for (int n : {0, 1, 5, 16, 17, 24, 25, 26, 40, 41, 100, 4096}) {
            std::vector<double> y(static_cast<size_t>(n));
            for (double& v : y)
                v = dist(gen);
            std::vector<double> expected(y.size());
            for (int i = 0; i < n; ++i) {
                double s = 0;
                for (int k = -w.Nl; k <= w.Nr; ++k)
                    if (i + k >= 0 && i + k < n)
                        s += c[(np - k) % np] * y[i + k];
                expected[i] = s;
            }
            EXPECT_EQ(Filter(y, w.Nl, w.Nr, w.M, w.Ld), expected) << "n " << n << " nl " << w.Nl;
        }
    }
}

TEST(SavGolFilter, NaNStaysInItsWindows) {
    std::vector<double> y(80, 2.0);
    y[40] = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> out = Filter(y, 3, 2, 2, 0);
    for (int i = 0; i < 80; ++i)
        EXPECT_EQ(std::isnan(out[i]), i >= 38 && i <= 43) << i;
}

TEST(SavGolFilter, ThroughSeries) {
    auto source = MakeFrame(Ramp(10, 100, 2), Ramp(10));
    auto target = MakeFrame({1}, {1});
    EXPECT_EQ(SavGolFilter(source.get(), target.get(), 2, 2, 2, 1), 0);
    EXPECT_EQ(XsOf(*target), Ramp(10, 100, 2));
    // Per point, not per x unit: the x spacing of 2 does not enter.
    EXPECT_NEAR(YsOf(*target)[5], 1, 1e-13);

    // Bad arguments: a zero for every source point.
    EXPECT_EQ(SavGolFilter(source.get(), target.get(), 2, 2, 2, 3), 1);
    EXPECT_EQ(XsOf(*target), Ramp(10, 100, 2));
    EXPECT_EQ(YsOf(*target), std::vector<double>(10, 0.0));
    EXPECT_EQ(SavGolFilter(source.get(), target.get(), 1, 1, -2, 0), 1);
    EXPECT_EQ(YsOf(*target), std::vector<double>(10, 0.0));

    // No source, or no points: 1; the empty source leaves the target cleared.
    EXPECT_EQ(SavGolFilter(nullptr, target.get(), 2, 2, 2, 0), 1);
    EXPECT_EQ(target->Count(), 10);
    auto empty = MakeFrame({});
    EXPECT_EQ(SavGolFilter(empty.get(), target.get(), 2, 2, 2, 0), 1);
    EXPECT_EQ(target->Count(), 0);
}

} // namespace
