// How the numerical routines see a frame: its X and Y values as arrays, and a target series filled with
// computed points. Used only inside the analysis routines.
#pragma once

#include <algorithm>
#include <span>
#include <string>

#include "chart/PlotEngine.h"
#include "chart/PlotEngineSeries.h"

namespace analysis::frame {

// The frame's point count as the shorter of its X and Y lists, so a reader never runs past either.
inline int PointCount(chart::TChartSeries* Frame) {
    if (!Frame)
        return 0;
    return std::max(0, std::min(Frame->XValues()->Count(), Frame->YValues()->Count()));
}

inline std::span<const double> XOf(chart::TChartSeries* Frame) {
    return {Frame->XValues()->Value().data(), static_cast<size_t>(PointCount(Frame))};
}

inline std::span<const double> YOf(chart::TChartSeries* Frame) {
    return {Frame->YValues()->Value().data(), static_cast<size_t>(PointCount(Frame))};
}

// Appends one point per value, in order, with an empty label and the automatic colour.
inline void AppendPoints(chart::TChartSeries* Target, std::span<const double> X, std::span<const double> Y) {
    Target->AppendXY(X, Y);
}

} // namespace analysis::frame
