// The selector: which part a press picks (annotations before the chart's own parts), the dead zone of a
// drag, resizing the chart by its corner, its handles, and picking and dragging a text box that lies
// over the legend on a window.
#include "chart/PlotSelectorTool.h"

#include <gtest/gtest.h>

#include "PlotToolsTestUtil.h"
#include "chart/ChartLegend.h"
#include "chart/ChartWalls.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"

using namespace plat;
using namespace chart;
using namespace charttest;

namespace {

struct SelectorFixture : ::testing::Test {
    TToolChart Picture{480, 320};
    TDotSeries* Dots = nullptr;
    TAnnotationTool* Note = new TAnnotationTool(nullptr);
    TSelectorTool* Tool = new TSelectorTool(nullptr);
    int Selected = 0, Dragged = 0;

    SelectorFixture() {
        Dots = Picture.AddDots(11, 0, 1, "Frame 1");
        Picture.AddDots(11, 1, 0.5, "Frame 2");
        Picture.Chart->Legend()->SetVisible(true);
        Picture.Chart->Title()->Text()->SetText("Spectrum");
        Picture.Chart->Title()->SetVisible(true);
        Picture.Render();
        // A text box over the upper half of the legend.
        const TRect legend = Picture.Chart->Legend()->ShapeBounds();
        Note->SetText("Note");
        Note->SetLeft(legend.Left + 4);
        Note->SetTop(legend.Top + 2);
        Note->SetParentChart(Picture.Chart.get());
        Tool->SetParentChart(Picture.Chart.get());
        Tool->OnSelected = [this](TObject*) { ++Selected; };
        Tool->OnDragged = [this](TObject*) { ++Dragged; };
        Picture.Render();
    }
    ~SelectorFixture() override {
        delete Tool;
        delete Note;
    }
    TPoint TitleCentre() const {
        const TRect t = Picture.Chart->Title()->ShapeBounds();
        return TPoint((t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2);
    }
    TRect LegendRow(int Row) const { return Picture.Chart->Legend()->Items().Item(Row)->SymbolRect; }
};

TEST_F(SelectorFixture, PicksAnnotationsBeforeTheChartsOwnParts) {
    const TRect note = Note->Shape()->ShapeBounds();
    const TRect row = LegendRow(1);
    ASSERT_TRUE(RectContainsXY(Picture.Chart->Legend()->ShapeBounds(), note.Left + 2, note.Top + 2))
        << "the note lies over the legend";
    struct TCase {
        const char* Name;
        TPoint At;
        TChartClickedPartStyle Part;
        bool Annotation;
        TPlotCustomShapePosition* Shape;
    };
    const TPoint point = Picture.Point(5, 5);
    const TRect r = Picture.Rect();
    const TCase cases[] = {
        {"note over the legend", TPoint(note.Left + 2, note.Top + 2), cpNone, true, Note->Shape()},
        {"legend row", TPoint((row.Left + row.Right) / 2, (row.Top + row.Bottom) / 2), cpLegend, false,
         Picture.Chart->Legend()},
        {"series point", point, cpSeries, false, nullptr},
        {"empty plotting area", TPoint(r.Left + 5, r.Bottom - 40), cpChartRect, false, nullptr},
        {"title", TitleCentre(), cpTitle, false, Picture.Chart->Title()},
    };
    for (const TCase& c : cases) {
        const int before = Selected;
        Picture.Mouse(cmeDown, c.At);
        EXPECT_EQ(Tool->PickedPart().Part, c.Part) << c.Name;
        EXPECT_EQ(Tool->PickedAnnotation() != nullptr, c.Annotation) << c.Name;
        EXPECT_EQ(Tool->DraggedShape(), c.Shape) << c.Name;
        EXPECT_EQ(Selected, before + 1) << c.Name;
        Picture.Mouse(cmeUp, c.At);
    }
    EXPECT_EQ(Tool->PickedSeries(), nullptr);
    Picture.Mouse(cmeDown, point);
    EXPECT_EQ(Tool->PickedSeries(), Dots);
    Picture.Mouse(cmeUp, point);

    // A right press changes nothing.
    const int before = Selected;
    Picture.Mouse(cmeDown, TPoint(note.Left + 2, note.Top + 2), mbRight);
    EXPECT_EQ(Tool->PickedPart().Part, cpSeries);
    EXPECT_EQ(Selected, before);
}

TEST_F(SelectorFixture, ABoxMovesOnlyOnceTheMouseLeavesATwoPixelDeadZone) {
    TChartTitle* title = Picture.Chart->Title();
    const TPoint grab = TitleCentre();
    struct TCase {
        int Dx, Dy;
        bool Moves;
    };
    const TCase cases[] = {{2, 0, false}, {-2, 2, false}, {3, 0, true}, {0, -3, true}, {2, 3, true}};
    for (const TCase& c : cases) {
        Picture.Render();
        Picture.Mouse(cmeDown, grab);
        ASSERT_EQ(Tool->DraggedShape(), title);
        const int left = title->Left(), top = title->Top();
        Picture.Mouse(cmeMove, grab.X + c.Dx, grab.Y + c.Dy);
        EXPECT_EQ(title->Left() != left || title->Top() != top, c.Moves) << c.Dx << "," << c.Dy;
        if (c.Moves) {
            // From then on every pixel counts, on both axes.
            Picture.Mouse(cmeMove, grab.X + c.Dx + 1, grab.Y + c.Dy + 1);
            EXPECT_EQ(title->Left(), left + c.Dx + 1);
            EXPECT_EQ(title->Top(), top + c.Dy + 1);
        }
        const int dragged = Dragged;
        Picture.Mouse(cmeUp, grab);
        EXPECT_EQ(Dragged, dragged + (c.Moves ? 1 : 0));
        title->SetCustomPosition(false);
    }

    // Without AllowDrag the legend is picked but stays.
    Tool->SetAllowDrag(false);
    Picture.Render();
    const TRect row = LegendRow(1);
    const TPoint onLegend((row.Left + row.Right) / 2, (row.Top + row.Bottom) / 2);
    const int left = Picture.Chart->Legend()->Left();
    Picture.Mouse(cmeDown, onLegend);
    EXPECT_EQ(Tool->PickedPart().Part, cpLegend);
    Picture.Mouse(cmeMove, onLegend.X + 30, onLegend.Y);
    Picture.Mouse(cmeUp, onLegend.X + 30, onLegend.Y);
    EXPECT_EQ(Picture.Chart->Legend()->Left(), left);
}

TEST_F(SelectorFixture, ResizesTheChartByItsCornerButNeverBelowOnePixel) {
    Tool->SetAllowResizeChart(true);
    int resized = 0;
    Tool->OnResized = [&](TObject*) { ++resized; };
    const int w = Picture.Chart->Width(), h = Picture.Chart->Height();
    Picture.Mouse(cmeDown, w - 9, h - 9);
    EXPECT_FALSE(Tool->Resizing()) << "9 pixels away is outside the corner";
    Picture.Mouse(cmeUp, w - 9, h - 9);
    Picture.Mouse(cmeDown, w - 8, h - 8);
    EXPECT_TRUE(Tool->Resizing());
    struct TCase {
        int X, Y, Width, Height;
    };
    for (const TCase& c :
         {TCase{300, 200, 300, 200}, TCase{-40, 120, 1, 120}, TCase{0, -5, 1, 1}, TCase{250, 0, 250, 1}}) {
        Picture.Mouse(cmeMove, c.X, c.Y);
        EXPECT_EQ(Picture.Chart->Width(), c.Width) << c.X << "," << c.Y;
        EXPECT_EQ(Picture.Chart->Height(), c.Height) << c.X << "," << c.Y;
    }
    Picture.Mouse(cmeUp, 250, 0);
    EXPECT_EQ(resized, 1);
    EXPECT_FALSE(Tool->Resizing());
}

TEST_F(SelectorFixture, HandlesMarkTheClientAreaOrThePick) {
    Tool->DropSelection();
    Picture.Render();
    const int w = Picture.Chart->Width(), h = Picture.Chart->Height();
    // Handles of half size 3 around the corners of the client area shrunk by 3.
    for (const TPoint& p : {TPoint(0, 0), TPoint(w - 6, 0), TPoint(0, h - 6), TPoint(w - 6, h - 6)})
        EXPECT_EQ(Picture.At(p.X, p.Y), clBlack) << p.X << "," << p.Y;

    const TRect row = LegendRow(1);
    Picture.Mouse(cmeDown, (row.Left + row.Right) / 2, (row.Top + row.Bottom) / 2);
    Picture.Mouse(cmeUp, 0, 0);
    Picture.Render();
    const TRect legend = Picture.Chart->Legend()->ShapeBounds();
    EXPECT_EQ(Picture.At(legend.Left - 3, legend.Top - 3), clBlack);
    EXPECT_NE(Picture.At(0, 0), clBlack) << "the client-area handles are gone";
    SaveToolPng(Picture.Target, "selector-legend.png");

    Tool->PickSeries(Dots);
    Picture.Render();
    const TPoint p = Picture.Point(4, 4);
    EXPECT_EQ(Picture.At(p.X - 3, p.Y - 3), clBlack) << "a handle on each point";
    SaveToolPng(Picture.Target, "selector-series.png");
}

TEST_F(SelectorFixture, APickThatGoesAwayIsDroppedBeforeTheNextDraw) {
    const TRect note = Note->Shape()->ShapeBounds();
    Picture.Mouse(cmeDown, note.Left + 2, note.Top + 2);
    ASSERT_EQ(Tool->PickedAnnotation(), Note);
    delete Note;
    Note = nullptr;
    EXPECT_EQ(Tool->PickedAnnotation(), nullptr);
    EXPECT_EQ(Tool->DraggedShape(), nullptr);
    Picture.Mouse(cmeMove, note.Left + 40, note.Top + 40);
    Picture.Mouse(cmeUp, note.Left + 40, note.Top + 40);
    Picture.Render();

    auto* extra = new TDotSeries(nullptr);
    extra->AddXY(2, 8);
    Picture.Chart->AddSeries(extra);
    Tool->PickSeries(extra);
    EXPECT_EQ(Tool->PickedSeries(), extra);
    delete extra;
    EXPECT_EQ(Tool->PickedSeries(), nullptr);
    Picture.Render();

    // Another chart's parts are not this one's.
    Tool->PickSeries(Dots);
    TToolChart other;
    Tool->SetParentChart(other.Chart.get());
    EXPECT_EQ(Tool->PickedPart().Part, cpNone);
    Tool->SetParentChart(nullptr);
}

TEST(SelectorOnWindow, PicksAndDragsATextBoxLyingOverTheLegend) {
    TTestDriver driver;
    auto* form = NewForm<TForm>(Application);
    form->SetBounds(0, 0, 640, 440);
    auto* chart = new TChart(form);
    chart->SetParent(form);
    chart->SetBounds(10, 10, 600, 380);
    chart->SetView3D(false);
    for (int k = 0; k < 2; ++k) {
        auto* s = new TDotSeries(form);
        for (int i = 0; i < 11; ++i)
            s->AddXY(i, i * (k + 1));
        s->SetTitle("Frame " + std::to_string(k + 1));
        chart->AddSeries(s);
    }
    form->Show();
    driver.Pump();
    const TRect legend = chart->Legend()->ShapeBounds();
    auto* note = new TAnnotationTool(form);
    note->SetText("Text box");
    note->SetLeft(legend.Left + 2);
    note->SetTop(legend.Top + 2);
    note->SetParentChart(chart);
    auto* selector = new TSelectorTool(form);
    selector->SetParentChart(chart);
    int dragged = 0;
    selector->OnDragged = [&](TObject*) { ++dragged; };
    driver.Pump();

    const TPoint from(legend.Left + 6, legend.Top + 5);
    driver.Drag(chart, from, TPoint(from.X - 150, from.Y + 100), 6);
    driver.Pump();
    EXPECT_EQ(selector->PickedAnnotation(), note);
    EXPECT_EQ(note->Left(), legend.Left + 2 - 150);
    EXPECT_EQ(note->Top(), legend.Top + 2 + 100);
    EXPECT_EQ(dragged, 1);
    EXPECT_EQ(chart->Legend()->ShapeBounds().Left, legend.Left) << "the legend under it stays";
    EXPECT_FALSE(chart->Zoomed()) << "the drag is the selector's, not a zoom";
}

} // namespace
