// Frame-level numerics behind the chart window's commands: statistics over an index range, the moving
// average, sums of frames, a frame and a constant, and the peak finder. Each routine exists on plain value
// arrays and, thinly over that, on series: the series forms read a frame's X and Y values and write a
// target series that they clear first and then fill in point order.
#pragma once

#include <cstdint>
#include <span>

#include "analysis/UnitTypes.h"

namespace chart {
class TChartSeries;
}

namespace analysis {

using TValues = std::span<const double>;
// Frames in the order the user chose them; a null entry counts as a frame without points.
using TFrameList = std::span<chart::TChartSeries* const>;

// What the statistics report for a frame without points.
extern const double EmptyMaximum; // the smallest positive double
extern const double EmptyMinimum; // 1.7E308

// --- Statistics over the index range Start..End (clipped to the frame, either order) ---

// 0 for a frame without points.
double SeriesMean(TValues Y, int Start, int End);
double SeriesMean(chart::TChartSeries* Frame, int Start, int End);
// Root mean square; 0 for a frame without points.
double SeriesRms(TValues Y, int Start, int End);
double SeriesRms(chart::TChartSeries* Frame, int Start, int End);
// Sample standard deviation, mean and extremes (the first of equal extremes). A frame without points gives
// deviation 0, mean 0, maximum EmptyMaximum and minimum EmptyMinimum.
void SeriesStatistics(TValues Y, int Start, int End, double& Deviation, double& Mean, double& Maximum,
                      double& Minimum);
void SeriesStatistics(chart::TChartSeries* Frame, int Start, int End, double& Deviation, double& Mean,
                      double& Maximum, double& Minimum);

// --- Moving average ---

// Out (as many values as Y) := the mean of a window of Width points centred on each point; near the ends the
// window shrinks symmetrically so it never reaches past the first or last point. A width below 3 copies.
void MovingAverage(TValues Y, int Width, std::span<double> Out);
void MovingAverage(chart::TChartSeries* Source, chart::TChartSeries* Target, int Width);

// --- Frame arithmetic ---
// The output has as many points as the longest frame, whose X values it takes; a frame shorter than a
// point's index adds nothing there. With fewer than two frames or no target nothing happens.

void AddFrames(TFrameList Frames, chart::TChartSeries* Target);
// The first frame minus every later one; with OnlyPositive a negative result becomes 0.
void SubtractFrames(TFrameList Frames, chart::TChartSeries* Target, bool OnlyPositive);
// The sum divided by the number of frames in the list, not by the number that reach the point.
void AverageFrames(TFrameList Frames, chart::TChartSeries* Target);

void AddConstant(chart::TChartSeries* Source, chart::TChartSeries* Target, double C);
void SubtractConstant(chart::TChartSeries* Source, chart::TChartSeries* Target, bool OnlyPositive, double C);
void MultiplyConstant(chart::TChartSeries* Source, chart::TChartSeries* Target, double C);
// With C = 0 the target is left empty and plat::EZeroDivide "Floating point division by zero" is raised,
// or plat::EMathError "Invalid floating point operation" when the first value is 0 as well.
void DivideConstant(chart::TChartSeries* Source, chart::TChartSeries* Target, double C);

// --- Band edges to points ---

// The point nearest to Value on a frame taken as evenly spaced from its first to its last x:
// (Value - X[0]) / step rounded half to even and clipped to the frame. 0 when the frame has fewer than two
// points or its first and last x are equal, and -1 when it has no points.
int NearestStepIndex(TValues X, double Value);
// The band from From to To as point indices: each edge at its nearest step, the smaller one first. A frame
// without a step to place an edge by (fewer than two points, or equal first and last x) is taken whole, so
// a frame without points gives 0 .. -1.
void BandIndices(TValues X, double From, double To, int& Start, int& End);

// --- Peak finder ---

struct PeakSettings {
    // How far the signal must leave an extremum before it counts; below 0 acts as 0.
    double Threshold = 0;
    // A maximum lower than this is never a peak.
    double MinPeak = 0;
    // Smallest x distance between neighbouring peaks; 0 or less switches the filter off.
    double MinDistance = 0;
    // Largest number of peaks kept; 0 or less switches the limit off.
    int32_t WantedCount = 0;
    // How the limit is applied: the highest peaks, or the first ones.
    bool Highest = false;
};

// Empties Peaks and fills it with the peaks and valleys found (alternating, peak first); returns the peak
// count. Points whose value is NaN are passed over.
int32_t FindPeaks(TValues X, TValues Y, const PeakSettings& Settings, TPeaksObject& Peaks);
// Without a frame or a peak list the result is 0 and nothing changes.
int32_t FindPeaks(chart::TChartSeries* Frame, const PeakSettings& Settings, TPeaksObject* Peaks);

} // namespace analysis
