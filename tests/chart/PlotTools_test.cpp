// The tool classes as a set: their place in the tool registry, their names, and their published
// settings written as a layout (text and binary) and read back.
#include <gtest/gtest.h>

#include "PlotToolsTestUtil.h"
#include "chart/PlotSelectorTool.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/Stream.h"

using namespace plat;
using namespace chart;
using namespace charttest;

namespace {

TEST(PlotTools, RegisterInTheGalleryOrderUnderTheirNames) {
    struct TCase {
        const TClassInfo* Class;
        const char* Description;
        const char* Editor;
    };
    const TCase cases[] = {
        {&TDragMarksTool::StaticClass(), "Drag Marks", "TDragMarksToolEditor"},
        {&TAxisArrowTool::StaticClass(), "Axis Arrows", "TAxisArrowToolEditor"},
        {&TNearestTool::StaticClass(), "Nearest Point", "TNearestToolEdit"},
        {&TColorBandTool::StaticClass(), "Color Band", "TColorBandToolEditor"},
        {&TColorLineTool::StaticClass(), "Color Line", "TColorLineToolEditor"},
        {&TAnnotationTool::StaticClass(), "Annotation", "TAnnotationToolEdit"},
        {&TSelectorTool::StaticClass(), "Selector", "TSelectorToolEditor"},
    };
    int previous = -1;
    for (const TCase& c : cases) {
        const int index = PlotToolTypes().IndexOf(c.Class);
        EXPECT_GT(index, previous) << c.Class->Name;
        previous = index;
        EXPECT_EQ(GetClass(c.Class->Name), c.Class) << "layouts name tools by class";
        std::unique_ptr<TObject> tool(c.Class->Create(nullptr));
        auto* t = static_cast<TPlotCustomTool*>(tool.get());
        EXPECT_EQ(t->Description(), c.Description);
        EXPECT_EQ(t->EditorClassName(), c.Editor);
    }
}

// Writes the tool, reads it into a fresh one of its class on the same chart, and writes that again.
void ExpectRoundTrip(TPlotCustomTool* Tool, TCustomAxisPanel* Chart,
                     const std::vector<std::string>& Written) {
    const std::string text = WriteComponentToText(Tool);
    for (const std::string& w : Written)
        EXPECT_NE(text.find(w), std::string::npos) << w << " in\n" << text;

    std::unique_ptr<TObject> fromText(Tool->ClassType().Create(nullptr));
    auto* back = static_cast<TPlotCustomTool*>(fromText.get());
    back->SetParentChart(Chart);
    ReadComponentFromText(text, back);
    EXPECT_EQ(WriteComponentToText(back), text);

    std::unique_ptr<TObject> fromBinary(Tool->ClassType().Create(nullptr));
    auto* binary = static_cast<TPlotCustomTool*>(fromBinary.get());
    binary->SetParentChart(Chart);
    TMemoryStream stream;
    WriteComponent(stream, Tool);
    stream.SetPosition(0);
    ReadComponentFromStream(stream, binary);
    EXPECT_EQ(WriteComponentToText(binary), text);
}

TEST(PlotTools, PublishedSettingsSurviveALayoutRoundTrip) {
    TToolChart picture;
    TChart* chart = picture.Chart.get();

    TColorLineTool line(nullptr);
    line.SetName("Cursor1");
    line.SetAxis(chart->LeftAxis());
    line.SetValue(3.25);
    line.SetStyle(clCenter);
    line.SetAllowDrag(false);
    line.SetDragRepaint(true);
    line.SetDraw3D(false);
    line.SetDrawBehind(true);
    line.SetNoLimitDrag(true);
    line.Pen()->SetColor(clRed);
    ExpectRoundTrip(
        &line, chart,
        {"AxisID = 2", "Value = 3.25", "Style = clCenter", "AllowDrag = False", "NoLimitDrag = True"});

    TNearestTool nearest(nullptr);
    nearest.SetName("Nearest1");
    nearest.SetDrawLine(false);
    nearest.SetFullRepaint(false);
    nearest.SetSize(7);
    nearest.SetStyle(hsDiamond);
    ExpectRoundTrip(&nearest, chart,
                    {"Style = hsDiamond", "Size = 7", "FullRepaint = False", "DrawLine = False"});

    TAnnotationTool note(nullptr);
    note.SetName("Note1");
    note.SetText("two\rlines & more");
    note.SetLeft(40);
    note.SetTop(30);
    note.SetWidth(120);
    note.SetHeight(44);
    note.SetTextAlignment(taCenter);
    note.SetPositionUnits(muPercent);
    note.SetCursor(crHandPoint);
    note.Callout()->SetXPosition(200);
    note.Callout()->SetYPosition(150);
    note.Shape()->SetColor(clYellow);
    ExpectRoundTrip(&note, chart,
                    {"Width = 120", "Left = 40", "XPosition = 200", "TextAlignment = taCenter"});

    TAnnotationTool corner(nullptr);
    corner.SetName("Corner1");
    corner.SetText("corner");
    corner.SetLeft(40);
    corner.SetPosition(ppRightBottom);
    ExpectRoundTrip(&corner, chart, {"Position = ppRightBottom"});

    TAxisArrowTool arrows(nullptr);
    arrows.SetName("Arrows1");
    arrows.SetAxis(chart->BottomAxis());
    arrows.SetHeadWidth(5);
    arrows.SetLength(22);
    arrows.SetPosition(aaEnd);
    arrows.SetScrollInverted(true);
    arrows.SetScrollPercent(0);
    arrows.SetSizePercent(70);
    ExpectRoundTrip(&arrows, chart, {"AxisID = 0", "Position = aaEnd", "ScrollPercent = 0", "Length = 22"});

    TColorBandTool band(nullptr);
    band.SetName("Band1");
    band.SetAxis(chart->BottomAxis());
    band.SetStartValue(2.5);
    band.SetEndValue(6);
    band.SetColor(clAqua);
    band.SetTransparency(40);
    band.SetDrawBehind(false);
    band.SetResizeStart(true);
    band.StartLinePen()->SetColor(clRed);
    band.Gradient()->SetVisible(true);
    ExpectRoundTrip(&band, chart, {"StartValue = 2.5", "ResizeStart = True", "Transparency = 40"});

    TSelectorTool selector(nullptr);
    selector.SetName("Selector1");
    selector.SetAllowDrag(false);
    selector.SetAllowResizeChart(true);
    selector.SetHandleSize(5);
    ExpectRoundTrip(&selector, chart, {"HandleSize = 5", "AllowResizeChart = True"});

    TDragMarksTool marks(nullptr);
    marks.SetName("Marks1");
    marks.SetActive(false);
    ExpectRoundTrip(&marks, chart, {"Active = False"});
}

TEST(PlotTools, ABandReadFromALayoutPutsItsEdgesAtItsValues) {
    TToolChart picture;
    TColorBandTool band(nullptr);
    band.SetParentChart(picture.Chart.get());
    ReadComponentFromText(
        "object Band1: TColorBandTool\n  AxisID = 0\n  StartValue = 2\n  EndValue = 7\nend\n", &band);
    EXPECT_EQ(band.Axis(), picture.Bottom());
    EXPECT_EQ(band.StartLine()->Value(), 2);
    EXPECT_EQ(band.EndLine()->Value(), 7);
    EXPECT_EQ(band.StartLine()->Axis(), picture.Bottom());
    EXPECT_EQ(picture.Chart->Tools()->Count(), 1);
}

} // namespace
