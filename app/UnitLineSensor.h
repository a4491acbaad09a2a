// The live camera window: device and camera settings, the live chart, the acquisition, the settings
// file and quick save.
#pragma once

#include <string>

#include "analysis/LiveFrameSource.h"
#include "platform/ui/Form.h"

class TfmLineSensor : public plat::TForm, public ILiveFrameSource {
    PLAT_CLASS(TfmLineSensor)
public:
    explicit TfmLineSensor(plat::TComponent* AOwner);
    ~TfmLineSensor() override;

    chart::TChartSeries* LiveSeries() override;
    chart::TChart* LiveChart() override;
    int LiveXMultiplier() const override;
};

// The one live window while it exists.
extern TfmLineSensor* fmLineSensor;

// Save Chart of the main window with the live window active; export codes as FormatCodeOf gives them.
bool ExportLineSensorChart(TfmLineSensor* Form, const std::string& FileName, int ExportCode);
