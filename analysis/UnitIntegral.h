// Integration of a frame between two x values (trapezoid and Simpson rules, refined until a relative
// tolerance is met) and its point-by-point derivative by Ridders' extrapolation. Both see the frame as a
// function of x: linear between its points and 0 outside them. X may run either way; the direction is
// taken from its first and last values.
#pragma once

#include <span>

#include "analysis/UnitTypes.h"

namespace chart {
class TChartSeries;
}

namespace analysis {

using TValues = std::span<const double>;

// The interval [X[J], X[J + 1]] that holds x, by bisection: -1 before the first point, n - 1 after the
// last; x = X[0] gives 0 and x = X[n - 1] gives n - 2. -1 for an empty table.
void LocateIndex(TValues X, double x, int& J);
// The same, searching outwards from a previous J first; J outside the table starts a full bisection.
void HuntIndex(TValues X, double x, int& J);
double InterpolateLinear(double x, double x0, double x1, double y0, double y1);

// The frame as a function of x. It keeps its search position between calls, so evaluations that move
// steadily along x cost little.
class TFrameFunction {
public:
    TFrameFunction(TValues X, TValues Y, int Position = -1);
    // Linear between the points, 0 outside the frame. Where two points share one x the value there is the
    // mean of their y.
    double operator()(double x);
    int Position() const { return FPosition; }

private:
    TValues FX, FY;
    int FPosition;
};

// One refinement step R (1 .. 20; step R adds 2^(R - 2) points) of the trapezoid sum S of the frame from A to
// B; the search starts at position J.
void TrapezoidRefine(TValues X, TValues Y, int R, double A, double B, double& S, int J);

// Status codes of the integrators.
constexpr int IntegralConverged = 0;
constexpr int IntegralNotConverged = 1; // after 20 refinements; Integral holds the last estimate
constexpr int IntegralStartOutside = 2; // A lies before the first or after the last point

int IntegrateTrapezoid(TValues X, TValues Y, double A, double B, double& Integral, double Eps);
int IntegrateSimpson(TValues X, TValues Y, double A, double B, double& Integral, double Eps);

// Ridders' derivative at x from initial step H. Returns 0, or 1 (nothing written) when H is 0 or not a
// number.
int RiddersDerivative(TValues X, TValues Y, double x, double H, double& Derivative, double& Error);

// The step the derivative command uses, (X[n - 1] - X[0]) / n; 0 for a frame without points.
double DerivativeStep(TValues X);
double DerivativeStep(chart::TChartSeries* Frame);

// Status codes of DerivativeFrame.
constexpr int DerivativeDone = 0;
constexpr int DerivativeNoFrame = 1; // source or target missing, or a source without points
constexpr int DerivativeBadStep = 2; // H is 0 (a one-point frame, or equal first and last x) or not finite

// Out (one value per point) := the derivative at each point's x. Status as DerivativeFrame.
int DerivativeValues(TValues X, TValues Y, double H, TDoubleArray& Out);
// The cleared target receives one point per source point: its x and the derivative there. Near both ends
// the derivative includes the step to 0 beyond the frame. The target stays empty unless the result is 0.
int DerivativeFrame(chart::TChartSeries* Source, chart::TChartSeries* Target, double H);

} // namespace analysis
