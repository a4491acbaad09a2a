// What a chart window takes from the live camera window when it loads the live frame. The live window
// belongs to the application, above this library, so it makes itself known here while it exists.
#pragma once

namespace chart {
class TChart;
class TChartSeries;
} // namespace chart

class ILiveFrameSource {
public:
    // The live frame ("Data"), its chart (axis titles, formats, inversion) and the x exponent.
    virtual chart::TChartSeries* LiveSeries() = 0;
    virtual chart::TChart* LiveChart() = 0;
    virtual int LiveXMultiplier() const = 0;

protected:
    ~ILiveFrameSource() = default;
};

// The live window while it exists, else null.
ILiveFrameSource* LiveFrameSource();
void SetLiveFrameSource(ILiveFrameSource* Source);
