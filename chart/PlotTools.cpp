// The tool classes join the chart tool registry in the order the tools gallery lists them. The classes
// still to come (cursor, draw line, rotate, image, mark tips, series animation, grid band, axis scroll,
// rectangle, clip series) take their places in this list when they are written.
#include "chart/PlotTools.h"

#include "chart/PlotProcs.h"

namespace chart {

namespace {

struct TToolRegistrar {
    TToolRegistrar() {
        RegisterPlotTools({
            &TDragMarksTool::StaticClass(),
            &TAxisArrowTool::StaticClass(),
            &TNearestTool::StaticClass(),
            &TColorBandTool::StaticClass(),
            &TColorLineTool::StaticClass(),
            &TAnnotationTool::StaticClass(),
        });
    }
    ~TToolRegistrar() {
        UnRegisterPlotTools({
            &TDragMarksTool::StaticClass(),
            &TAxisArrowTool::StaticClass(),
            &TNearestTool::StaticClass(),
            &TColorBandTool::StaticClass(),
            &TColorLineTool::StaticClass(),
            &TAnnotationTool::StaticClass(),
        });
    }
} registrar;

} // namespace

void LinkPlotToolRegistration() {}

} // namespace chart
