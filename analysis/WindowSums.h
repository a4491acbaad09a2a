// Sums over a sliding window of a frame, shared by the moving average and the Savitzky-Golay filter. Each
// output adds its terms one at a time in window order, exactly as a plain loop would, but many outputs are
// worked on side by side so the work runs at vector speed.
#pragma once

namespace analysis {

// Out[i] := Y[i] + Y[i + 1] + ... + Y[i + Width - 1] for i = 0 .. Count - Width (summed from 0 in that
// order). Nothing when Width < 1 or Width > Count.
void WindowSums(const double* Y, int Count, int Width, double* Out);

// Out[i] := Weights[0]*Y[i] + Weights[1]*Y[i + 1] + ... + Weights[Width - 1]*Y[i + Width - 1], summed
// from 0 in that order, for i = 0 .. Count - Width. Nothing when Width < 1 or Width > Count.
void WeightedWindowSums(const double* Y, int Count, const double* Weights, int Width, double* Out);

} // namespace analysis
