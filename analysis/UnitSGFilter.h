// Savitzky-Golay smoothing and derivatives: every output point is a fixed weighting of the points from nl
// to its left to nr to its right, the weights being those of a least-squares polynomial of degree m fitted
// over that window. The weights come from the fit's normal equations, solved by LU decomposition.
#pragma once

#include <span>

#include "analysis/UnitTypes.h"

namespace chart {
class TChartSeries;
}

namespace analysis {

// Limits beyond which a fit is refused as bad arguments: wider windows or higher degrees only cost time
// and memory without giving a usable filter.
constexpr int SavGolMaxWindow = 1 << 20; // nl + nr + 1
constexpr int SavGolMaxDegree = 100;

// Replaces the n x n matrix A by its LU factors (Crout, implicit partial pivoting); Permutation receives
// the row exchanges, D the parity (+1 or -1). Returns 0, or 1 when a row is all zeros (A is then partly
// changed). A zero pivot becomes 1.0E-20.
int LuDecompose(TDoubleMatrixArray& A, int N, TIntArray& Permutation, double& D);
// Solves A x = B in place from LuDecompose's factors and permutation.
void LuBackSubstitute(const TDoubleMatrixArray& A, int N, const TIntArray& Permutation, TDoubleArray& B);

// Fills C with Np coefficients of the filter for offsets -Nl .. Nr, derivative order Ld and degree M, in
// wrap-around order: offset 0 at position 0, offsets -1, -2, ... at 1, 2, ..., offsets +1, +2, ... at
// Np - 1, Np - 2, ... Returns 0, or 1 for bad arguments (C is then untouched): Np < Nl + Nr + 1, a negative
// Nl, Nr, M or Ld, Ld > M, Nl + Nr < M, or a window, Np or degree beyond the limits above.
int SavGolCoefficients(TDoubleArray& C, int Np, int Nl, int Nr, int Ld, int M);

// Filters Y into Out (resized to Y's length). Near the ends the terms that would fall outside the frame
// are left out without reweighting the rest. The derivative is per point, not per x unit. Returns 0, or 1
// for bad arguments, when Out holds zeros.
int SavGolFilter(std::span<const double> Y, TDoubleArray& Out, int Nl, int Nr, int M, int Ld);
// The same from a frame into the cleared target, which takes the source's X values. Returns 1 without a
// source or target, for a source without points (the target is then empty) and for bad arguments (the
// target then holds a zero for every source point).
int SavGolFilter(chart::TChartSeries* Source, chart::TChartSeries* Target, int Nl, int Nr, int M, int Ld);

} // namespace analysis
