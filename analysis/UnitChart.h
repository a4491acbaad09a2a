// The analysis window: frames on one chart with their list, the analysis commands and their report,
// the view commands, chart documents, frame import and exports.
#pragma once

#include <string>

#include "platform/ui/Form.h"
#include "platform/ui/Messages.h"

class TfmChart : public plat::TForm {
    PLAT_CLASS(TfmChart)
public:
    explicit TfmChart(plat::TComponent* AOwner);
    ~TfmChart() override;

    // The main window: receiver of the copy request (message 1025).
    plat::HWND FMainWindow = nullptr;

    bool LoadChartDocument(const std::string& FileName);
    void CopyFramesFrom(TfmChart* Source);
};

// Save Chart of the main window with a chart window active; export codes as FormatCodeOf gives them.
bool ExportChart(TfmChart* Form, const std::string& FileName, int ExportCode);
