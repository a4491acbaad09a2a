#include "analysis/UnitSGFilter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "analysis/FrameAccess.h"
#include "analysis/WindowSums.h"

namespace analysis {

namespace {

constexpr double TinyPivot = 1.0e-20;

// Sums of k^p over the window offsets for p = 0 .. 2m: (1 for p = 0) + sum k^p for k = 1 .. nr + sum
// (-k)^p for k = 1 .. nl, each sum added in increasing k. Powers are built by multiplying, which is exact
// as long as they stay below 2^53 and otherwise as close as the fit can use.
std::vector<double> PowerSums(int Nl, int Nr, int M) {
    const int top = 2 * M;
    std::vector<double> s(static_cast<size_t>(top) + 1, 0.0);
    s[0] = 1;
    auto addSide = [&](int Reach, bool Negative) {
        for (int k = 1; k <= Reach; ++k) {
            const double kd = Negative ? -k : k;
            double f = 1;
            for (int p = 0; p <= top; ++p) {
                s[p] += f;
                f *= kd;
            }
        }
    };
    addSide(Nr, false);
    addSide(Nl, true);
    return s;
}

// The filter's weights by offset, -Nl first, from the wrap-around coefficient vector.
std::vector<double> WeightsByOffset(const TDoubleArray& C, int Np, int Nl, int Nr) {
    std::vector<double> w(static_cast<size_t>(Nl) + Nr + 1);
    for (int k = -Nl; k <= Nr; ++k)
        w[static_cast<size_t>(k + Nl)] = C[static_cast<size_t>(((Np - k) % Np))];
    return w;
}

} // namespace

int LuDecompose(TDoubleMatrixArray& A, int N, TIntArray& Permutation, double& D) {
    std::vector<double> scale(static_cast<size_t>(std::max(N, 0)));
    for (int i = 0; i < N; ++i) {
        double big = 0;
        for (int j = 0; j < N; ++j)
            if (std::fabs(A[i][j]) > big)
                big = std::fabs(A[i][j]);
        if (big == 0)
            return 1;
        scale[i] = 1.0 / big;
    }
    Permutation.assign(static_cast<size_t>(std::max(N, 0)), 0);
    D = 1.0;
    for (int j = 0; j < N; ++j) {
        for (int i = 0; i < j; ++i) {
            double sum = A[i][j];
            for (int k = 0; k < i; ++k)
                sum -= A[i][k] * A[k][j];
            A[i][j] = sum;
        }
        double big = 0;
        // A column of NaN has no candidate at all; the row stays where it is.
        int pivot = j;
        for (int i = j; i < N; ++i) {
            double sum = A[i][j];
            for (int k = 0; k < j; ++k)
                sum -= A[i][k] * A[k][j];
            A[i][j] = sum;
            const double candidate = scale[i] * std::fabs(sum);
            if (candidate >= big) {
                big = candidate;
                pivot = i;
            }
        }
        if (pivot != j) {
            std::swap(A[pivot], A[j]);
            D = -D;
            scale[pivot] = scale[j];
        }
        Permutation[j] = pivot;
        if (A[j][j] == 0)
            A[j][j] = TinyPivot;
        if (j < N - 1) {
            const double inverse = 1.0 / A[j][j];
            for (int i = j + 1; i < N; ++i)
                A[i][j] *= inverse;
        }
    }
    return 0;
}

void LuBackSubstitute(const TDoubleMatrixArray& A, int N, const TIntArray& Permutation, TDoubleArray& B) {
    int first = -1;
    for (int i = 0; i < N; ++i) {
        const int p = Permutation[i];
        double sum = B[p];
        B[p] = B[i];
        if (first >= 0) {
            for (int k = first; k < i; ++k)
                sum -= A[i][k] * B[k];
        } else if (sum != 0) {
            first = i;
        }
        B[i] = sum;
    }
    for (int i = N - 1; i >= 0; --i) {
        double sum = B[i];
        for (int k = i + 1; k < N; ++k)
            sum -= A[i][k] * B[k];
        B[i] = sum / A[i][i];
    }
}

int SavGolCoefficients(TDoubleArray& C, int Np, int Nl, int Nr, int Ld, int M) {
    if (Nl < 0 || Nr < 0 || M < 0 || Ld < 0 || Ld > M)
        return 1;
    const int64_t window = int64_t{Nl} + Nr + 1;
    if (window > SavGolMaxWindow || M > SavGolMaxDegree || Np < window || Np > SavGolMaxWindow || Nl + Nr < M)
        return 1;

    const int size = M + 1;
    const std::vector<double> sums = PowerSums(Nl, Nr, M);
    TDoubleMatrixArray a(static_cast<size_t>(size), TDoubleArray(static_cast<size_t>(size), 0.0));
    for (int p = 0; p <= 2 * M; ++p) {
        const int q = std::min(p, 2 * M - p);
        for (int t = -q; t <= q; t += 2)
            a[(p + t) / 2][(p - t) / 2] = sums[p];
    }
    TIntArray permutation;
    double parity;
    LuDecompose(a, size, permutation, parity); // valid arguments never give a singular matrix
    TDoubleArray b(static_cast<size_t>(size), 0.0);
    b[Ld] = 1.0;
    LuBackSubstitute(a, size, permutation, b);

    C.assign(static_cast<size_t>(Np), 0.0);
    for (int k = -Nl; k <= Nr; ++k) {
        double s = b[0], f = 1;
        for (int i = 1; i <= M; ++i) {
            f *= k;
            s += b[i] * f;
        }
        C[static_cast<size_t>((Np - k) % Np)] = s;
    }
    return 0;
}

int SavGolFilter(std::span<const double> Y, TDoubleArray& Out, int Nl, int Nr, int M, int Ld) {
    const int n = static_cast<int>(std::min<size_t>(Y.size(), INT32_MAX));
    Out.assign(static_cast<size_t>(n), 0.0);
    if (Nl < 0 || Nr < 0 || int64_t{Nl} + Nr + 1 > SavGolMaxWindow)
        return 1;
    const int np = Nl + Nr + 1;
    TDoubleArray c;
    if (SavGolCoefficients(c, np, Nl, Nr, Ld, M) != 0)
        return 1;
    const std::vector<double> w = WeightsByOffset(c, np, Nl, Nr);

    // Points whose whole window lies inside the frame.
    int first = n, last = -1;
    if (np <= n) {
        first = Nl;
        last = n - 1 - Nr;
        WeightedWindowSums(Y.data(), n, w.data(), np, Out.data() + first);
    }
    for (int i = 0; i < n; ++i) {
        if (i == first) {
            i = last;
            continue;
        }
        const int kFrom = std::max(-Nl, -i), kTo = std::min(Nr, n - 1 - i);
        double s = 0;
        for (int k = kFrom; k <= kTo; ++k)
            s += w[static_cast<size_t>(k + Nl)] * Y[i + k];
        Out[i] = s;
    }
    return 0;
}

int SavGolFilter(chart::TChartSeries* Source, chart::TChartSeries* Target, int Nl, int Nr, int M, int Ld) {
    if (!Source || !Target)
        return 1;
    const std::span<const double> x = frame::XOf(Source), y = frame::YOf(Source);
    const std::vector<double> xs(x.begin(), x.end());
    TDoubleArray out;
    const int status = SavGolFilter(y, out, Nl, Nr, M, Ld);
    Target->ClearPoints();
    if (xs.empty())
        return 1;
    frame::AppendPoints(Target, xs, out);
    return status;
}

} // namespace analysis
