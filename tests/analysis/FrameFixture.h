// Frames for the analysis tests: series made from value arrays, and their values read back.
#pragma once

#include <memory>
#include <vector>

#include "chart/PlotEngine.h"
#include "chart/PlotEngineSeries.h"

namespace analysis_test {

inline std::unique_ptr<chart::TChartSeries> MakeFrame(const std::vector<double>& X,
                                                      const std::vector<double>& Y) {
    auto s = std::make_unique<chart::TChartSeries>(nullptr);
    for (size_t i = 0; i < X.size() && i < Y.size(); ++i)
        s->AddPoint(X[i], Y[i]);
    return s;
}

// X = 0, 1, 2, ... beside the given Y.
inline std::unique_ptr<chart::TChartSeries> MakeFrame(const std::vector<double>& Y) {
    std::vector<double> x(Y.size());
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<double>(i);
    return MakeFrame(x, Y);
}

inline std::vector<double> XsOf(chart::TChartSeries& S) {
    std::vector<double> v;
    for (int i = 0; i < S.Count(); ++i)
        v.push_back(S.XValues()->Items(i));
    return v;
}

inline std::vector<double> YsOf(chart::TChartSeries& S) {
    std::vector<double> v;
    for (int i = 0; i < S.Count(); ++i)
        v.push_back(S.YValues()->Items(i));
    return v;
}

inline std::vector<double> Ramp(int N, double Start = 0, double Step = 1) {
    std::vector<double> v(static_cast<size_t>(N));
    for (int i = 0; i < N; ++i)
        v[static_cast<size_t>(i)] = Start + Step * i;
    return v;
}

} // namespace analysis_test
