// The tool classes join the chart tool registry in the order the tools gallery lists them. The classes
// still to come (cursor, draw line, rotate, image, mark tips, series animation, grid band, axis scroll,
// rectangle, clip series) take their places in this list when they are written.
#include "chart/PlotTools.h"

#include "chart/PlotProcs.h"

namespace chart {

namespace {

// Hands the unit's tool classes, in gallery order, to the registry's add or remove routine.
void WithToolClasses(void (*Apply)(std::initializer_list<const plat::TClassInfo*>)) {
    Apply({
        &TDragMarksTool::StaticClass(),
        &TAxisArrowTool::StaticClass(),
        &TNearestTool::StaticClass(),
        &TColorBandTool::StaticClass(),
        &TColorLineTool::StaticClass(),
        &TAnnotationTool::StaticClass(),
    });
}

struct TToolRegistrar {
    TToolRegistrar() { RegisterChartToolClasses(); }
    ~TToolRegistrar() { WithToolClasses(UnRegisterPlotTools); }
} registrar;

} // namespace

void RegisterChartToolClasses() {
    WithToolClasses(RegisterPlotTools);
}

void LinkPlotToolRegistration() {}

} // namespace chart
