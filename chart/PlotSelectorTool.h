// The selector: picks a chart part or an annotation with the mouse, marks the pick with square handles,
// drags a picked box to a new place and may resize the whole chart by its bottom-right corner.
#pragma once

#include <string>

#include "chart/Chart.h"
#include "chart/PlotTools.h"

namespace chart {

class TSelectorTool : public TPlotCustomTool {
    PLAT_CLASS(TSelectorTool)
public:
    explicit TSelectorTool(plat::TComponent* AOwner);

    std::string EditorClassName() const override { return "TSelectorToolEditor"; }
    void ChartEvent(TChartToolEvent Kind) override;
    void ChartMouseEvent(TChartMouseEventKind Kind, plat::TMouseButton Button, plat::TShiftState Shift, int X,
                         int Y) override;
    std::string Description() const override;
    // A pick belongs to its chart: moving to another chart drops it.
    void SetParentChart(TCustomAxisPanel* Value) override;
    // Repaints the chart, then tells OnSelected.
    virtual void Changed();

    bool AllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool Value) { FAllowDrag = Value; }
    bool AllowResizeChart() const { return FAllowResizeChart; }
    void SetAllowResizeChart(bool Value) { FAllowResizeChart = Value; }
    int HandleSize() const { return FHandleSize; }
    void SetHandleSize(int Value) { SetIntegerProperty(FHandleSize, Value); }

    void PickAnnotation(TAnnotationTool* Annotation);
    void PickSeries(TChartSeries* Series);
    void DropSelection();
    void ResetDragState();
    TChartSeries* PickedSeries() const { return FPart.ASeries; }
    TAnnotationTool* PickedAnnotation() const { return FAnnotation; }
    const TChartClickedPart& PickedPart() const { return FPart; }
    TPlotCustomShapePosition* DraggedShape() const { return FShape; }
    bool Dragging() const { return FDragging; }
    bool Resizing() const { return FResizing; }

    plat::TNotifyEvent OnDragged;
    plat::TNotifyEvent OnDragging;
    plat::TNotifyEvent OnResized;
    plat::TNotifyEvent OnResizing;
    plat::TNotifyEvent OnSelected;

protected:
    // A picked annotation or series that goes away is no longer picked.
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    void ClearSelection();
    void Watch(plat::TComponent* Component);
    void DrawHandles();
    bool FAllowDrag = true;
    bool FAllowResizeChart = false;
    int FHandleSize = 3;
    TAnnotationTool* FAnnotation = nullptr;
    TPlotCustomShapePosition* FShape = nullptr;
    TChartBackWall* FBackWall = nullptr;
    bool FDragging = false;
    bool FMoved = false;
    int FDx = 0;
    int FDy = 0;
    bool FResizing = false;
    bool FResized = false;
    TChartClickedPart FPart;
    bool FShowHandles = true;
};

} // namespace chart
