// The line series and its horizontal variant: thin classes over the chain-drawing engine.
#include "chart/PlotConst.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/Series.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

PLAT_CLASS_INFO_CREATABLE(TLineSeries, TCustomSeries)
PLAT_CLASS_INFO_CREATABLE(THorizLineSeries, TLineSeries)

namespace {

// Layouts name their series by class.
struct TRegistrar {
    TRegistrar() {
        plat::RegisterClass(TLineSeries::StaticClass());
        plat::RegisterClass(THorizLineSeries::StaticClass());
        plat::RegisterClass(TFastLineSeries::StaticClass());
    }
} registrar;

const char* const kStackNames[] = {"cssNone", "cssOverlap", "cssStack", "cssStack100"};

static_assert(std::size(kStackNames) == cssStack100 + 1);

} // namespace

PLAT_PROPERTIES(TLineSeries) {
    props.Boolean("ClickableLine", &TLineSeries::ClickableLine, &TLineSeries::SetClickableLine, true);
    props.Boolean("ColorEachLine", &TLineSeries::ColorEachLine, &TLineSeries::SetColorEachLine, true);
    props.Boolean("Dark3D", &TLineSeries::Dark3D, &TLineSeries::SetDark3D, true);
    props.Boolean("InvertedStairs", &TLineSeries::InvertedStairs, &TLineSeries::SetInvertedStairs, false);
    props.Enum("LineBrush", &TLineSeries::LineBrush, &TLineSeries::SetLineBrush, plat::kBrushStyleNames,
               plat::bsSolid);
    props.Integer("LineHeight", &TLineSeries::LineHeight, &TLineSeries::SetLineHeight, 0);
    props.Object("LinePen", &TLineSeries::LinePen, &TLineSeries::SetLinePen);
    props.Object("OutLine", &TLineSeries::OutLine, &TLineSeries::SetOutLine);
    props.Object("Pointer", &TLineSeries::Pointer, &TLineSeries::SetPointer);
    props.Object("Shadow", &TLineSeries::Shadow, &TLineSeries::SetShadow);
    props.Enum("Stacked", &TLineSeries::Stacked, &TLineSeries::SetStacked, kStackNames, cssNone);
    props.Boolean("Stairs", &TLineSeries::Stairs, &TLineSeries::SetStairs, false);
    props.Event("OnClickPointer", &TLineSeries::OnClickPointer);
}

TLineSeries::TLineSeries(plat::TComponent* AOwner) : TCustomSeries(AOwner) {
    FDrawLine = true;
    FSingleFunctionPoint = false;
    FPointer->Hide();
}

void TLineSeries::Assign(plat::TPersistent* Source) {
    TCustomSeries::Assign(Source);
    if (Source && !Source->InheritsFrom(ClassType()))
        FPointer->Hide();
    FDrawArea = false;
    FDrawLine = true;
}

void TLineSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, plat::TBrushStyle& BrushStyle) {
    if (TCustomAxisPanel* chart = ParentChart())
        chart->Canvas()->UseChartPen(LinePen());
    BrushStyle = LineBrush();
}

void TLineSeries::AddGallerySubTypes(const TChartSubGalleryProc& AddSubChart) {
    TCustomSeries::AddGallerySubTypes(AddSubChart);
    if (!AddSubChart)
        return;
    for (const std::string* name :
         {&ChartTextSubGalleryStairs, &ChartTextSubGalleryPoints, &ChartTextSubGalleryHeight,
          &ChartTextSubGalleryHollow, &ChartTextColors, &ChartTextSubGalleryMarks,
          &ChartTextSubGalleryNoBorder, &ChartTextSubGalleryOutline})
        AddSubChart(*name);
}

void TLineSeries::ApplyGallerySubType(int Index) {
    switch (Index) {
    case 1:
        SetStairs(true);
        break;
    case 2:
        Pointer()->Show();
        break;
    case 3:
        SetLineHeight(5);
        break;
    case 4:
        SetLineBrush(plat::bsClear);
        break;
    case 5:
        SetColorEachPoint(true);
        break;
    case 6:
        Marks()->SetVisible(true);
        break;
    case 7:
        LinePen()->SetVisible(false);
        break;
    case 8:
        OutLine()->SetVisible(true);
        break;
    default:
        break;
    }
}

// --- THorizLineSeries -------------------------------------------------------------------------------

THorizLineSeries::THorizLineSeries(plat::TComponent* AOwner) : TLineSeries(AOwner) {
    SetHorizontal();
    SetCalcVisiblePoints(false);
    XValues()->SetOrder(loNone);
    YValues()->SetOrder(loAscending);
}

int THorizLineSeries::MarkDistance() {
    return Marks()->MaxMarkWidth();
}

void THorizLineSeries::DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) {
    if (Position) {
        TMarksCallout* callout = Marks()->Callout();
        const int distance = callout->Distance();
        int length = callout->Length() + distance;
        const bool leftOfOrigin = OriginPosition(ValueIndex) > Position->ArrowFrom.X;
        if (leftOfOrigin)
            length = -length - Position->Width;
        Position->LeftTop.X += length + Position->Width / 2;
        Position->LeftTop.Y += Position->Height / 2;
        Position->ArrowTo.X += length;
        Position->ArrowFrom.X += leftOfOrigin ? -distance : distance;
    }
    TCustomSeries::DrawMark(ValueIndex, Text, Position);
}

} // namespace chart
