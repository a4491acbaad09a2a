#include "analysis/UnitIntegral.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/FrameAccess.h"

namespace analysis {

namespace {

constexpr int MaxRefinements = 20;
// Refinements done before convergence is tested, so that early coincidences do not stop the integration.
constexpr int RefinementsBeforeTest = 5;

bool Ascending(TValues X) {
    return X.back() >= X.front();
}

bool Converged(int R, double S, double Previous, double Eps) {
    return R > RefinementsBeforeTest &&
           (std::fabs(S - Previous) < Eps * std::fabs(Previous) || (S == 0 && Previous == 0));
}

} // namespace

void LocateIndex(TValues X, double x, int& J) {
    const int n = static_cast<int>(X.size());
    if (n == 0) {
        J = -1;
        return;
    }
    const bool ascending = Ascending(X);
    int lo = -1, hi = n;
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if ((x >= X[mid]) == ascending)
            lo = mid;
        else
            hi = mid;
    }
    if (x == X[0])
        J = 0;
    else if (x == X[n - 1])
        J = n - 2;
    else
        J = lo;
}

void HuntIndex(TValues X, double x, int& J) {
    const int n = static_cast<int>(X.size());
    if (n == 0) {
        J = -1;
        return;
    }
    const bool ascending = Ascending(X);
    int hi;
    if (J < 0 || J >= n) {
        J = -1;
        hi = n;
    } else if ((x >= X[J]) == ascending) {
        if (J == n - 1)
            return;
        int inc = 1;
        hi = J + 1;
        while ((x >= X[hi]) == ascending) {
            J = hi;
            inc += inc;
            if (inc > n - 1 - J) { // J + inc would pass the last point
                hi = n;
                break;
            }
            hi = J + inc;
        }
    } else {
        if (J == 0) {
            J = -1;
            return;
        }
        hi = J;
        --J;
        int inc = 1;
        while ((x < X[J]) == ascending) {
            hi = J;
            inc += inc;
            if (inc >= hi) {
                J = -1;
                break;
            }
            J = hi - inc;
        }
    }
    while (hi - J != 1) {
        const int mid = (hi + J) / 2;
        if ((x >= X[mid]) == ascending)
            J = mid;
        else
            hi = mid;
    }
    if (x == X[n - 1])
        J = n - 2;
    if (x == X[0])
        J = 0;
}

double InterpolateLinear(double x, double x0, double x1, double y0, double y1) {
    return (x1 - x) / (x1 - x0) * y0 + (x - x0) / (x1 - x0) * y1;
}

TFrameFunction::TFrameFunction(TValues X, TValues Y, int Position)
    : FX(X.first(std::min(X.size(), Y.size()))), FY(Y.first(FX.size())), FPosition(Position) {}

double TFrameFunction::operator()(double x) {
    HuntIndex(FX, x, FPosition);
    const int n = static_cast<int>(FX.size());
    if (FPosition < 0 || FPosition >= n - 1)
        return 0;
    const int j = FPosition;
    // Only an end point that repeats its neighbour's x lands on an interval of no width; the line there
    // is vertical and the midpoint stands for it.
    if (FX[j] == FX[j + 1])
        return (FY[j] + FY[j + 1]) / 2;
    return InterpolateLinear(x, FX[j], FX[j + 1], FY[j], FY[j + 1]);
}

void TrapezoidRefine(TValues X, TValues Y, int R, double A, double B, double& S, int J) {
    TFrameFunction f(X, Y, J);
    if (R <= 1) {
        const double fa = f(A);
        const double fb = f(B);
        S = (fa + fb) * ((B - A) * 0.5);
        return;
    }
    const int points = 1 << (R - 2);
    const double d = (B - A) / points;
    double x = A + 0.5 * d, t = 0;
    for (int i = 0; i < points; ++i, x += d)
        t += f(x);
    S = ((B - A) * t / points + S) * 0.5;
}

int IntegrateTrapezoid(TValues X, TValues Y, double A, double B, double& Integral, double Eps) {
    Integral = 0;
    const TValues x = X.first(std::min(X.size(), Y.size()));
    int j0;
    LocateIndex(x, A, j0);
    if (j0 < 0 || j0 > static_cast<int>(x.size()) - 2)
        return IntegralStartOutside;
    double s = 0, previous = 0;
    for (int r = 1; r <= MaxRefinements; ++r) {
        TrapezoidRefine(x, Y, r, A, B, s, j0);
        if (Converged(r, s, previous, Eps)) {
            Integral = s;
            return IntegralConverged;
        }
        previous = s;
    }
    Integral = s;
    return IntegralNotConverged;
}

int IntegrateSimpson(TValues X, TValues Y, double A, double B, double& Integral, double Eps) {
    Integral = 0;
    const TValues x = X.first(std::min(X.size(), Y.size()));
    int j0;
    LocateIndex(x, A, j0);
    if (j0 < 0 || j0 > static_cast<int>(x.size()) - 2)
        return IntegralStartOutside;
    double st = 0, ost = 0, os = 0;
    for (int r = 1; r <= MaxRefinements; ++r) {
        TrapezoidRefine(x, Y, r, A, B, st, j0);
        const double s = (4 * st - ost) / 3;
        Integral = s;
        if (Converged(r, s, os, Eps))
            return IntegralConverged;
        os = s;
        ost = st;
    }
    return IntegralNotConverged;
}

int RiddersDerivative(TValues X, TValues Y, double x, double H, double& Derivative, double& Error) {
    if (H == 0 || std::isnan(H))
        return 1;
    constexpr int Table = 10;
    constexpr double Shrink = 1.4, Shrink2 = 1.96, Safe = 2.0;
    double a[Table][Table];
    TFrameFunction f(X, Y);
    double hh = H;
    {
        const double up = f(x + hh);
        const double down = f(x - hh);
        a[0][0] = (up - down) / (2 * hh);
    }
    // The first estimate stands when no extrapolation ever gives a comparable error (NaN values).
    Derivative = a[0][0];
    Error = 1.0e30;
    for (int i = 1; i < Table; ++i) {
        hh /= Shrink;
        const double up = f(x + hh);
        const double down = f(x - hh);
        a[0][i] = (up - down) / (2 * hh);
        double fac = Shrink2;
        for (int j = 1; j <= i; ++j) {
            a[j][i] = (a[j - 1][i] * fac - a[j - 1][i - 1]) / (fac - 1);
            fac = Shrink2 * fac;
            const double e = std::max(std::fabs(a[j][i] - a[j - 1][i]), std::fabs(a[j][i] - a[j - 1][i - 1]));
            if (e <= Error) {
                Error = e;
                Derivative = a[j][i];
            }
        }
        if (std::fabs(a[i][i] - a[i - 1][i - 1]) >= Safe * Error)
            break;
    }
    return 0;
}

double DerivativeStep(TValues X) {
    if (X.empty())
        return 0;
    return (X.back() - X.front()) / static_cast<double>(X.size());
}

double DerivativeStep(chart::TChartSeries* Frame) {
    return Frame ? DerivativeStep(frame::XOf(Frame)) : 0;
}

int DerivativeValues(TValues X, TValues Y, double H, TDoubleArray& Out) {
    const size_t n = std::min(X.size(), Y.size());
    Out.clear();
    if (n == 0)
        return DerivativeNoFrame;
    if (H == 0 || !std::isfinite(H))
        return DerivativeBadStep;
    Out.resize(n);
    for (size_t i = 0; i < n; ++i) {
        double error;
        RiddersDerivative(X.first(n), Y.first(n), X[i], H, Out[i], error);
    }
    return DerivativeDone;
}

int DerivativeFrame(chart::TChartSeries* Source, chart::TChartSeries* Target, double H) {
    if (!Source || !Target)
        return DerivativeNoFrame;
    const TValues x = frame::XOf(Source);
    const std::vector<double> xs(x.begin(), x.end());
    TDoubleArray out;
    const int status = DerivativeValues(xs, frame::YOf(Source), H, out);
    Target->ClearPoints();
    if (status == DerivativeDone)
        frame::AppendPoints(Target, xs, out);
    return status;
}

} // namespace analysis
