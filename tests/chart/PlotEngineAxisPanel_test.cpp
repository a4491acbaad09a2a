// The axis panel: its axes, the series list and its events, automatic ranges, pages, the 3D depth, the
// draw sequence with the tools' moments, and zoom and panning driven by the mouse.
#include "chart/PlotEngineAxisPanel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <regex>

#include "chart/PlotCanvasTestUtil.h"
#include "chart/PlotConst.h"
#include "chart/PlotEngine.h"
#include "platform/gfx/Printer.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"

using namespace plat;
using namespace chart;

namespace {

// The mouse handling the chart control gives a chart, reduced to zoom and panning.
class TTestChart : public TCustomAxisPanel {
public:
    explicit TTestChart(TComponent* AOwner) : TCustomAxisPanel(AOwner) {}
    int Draws = 0;
    void DrawChart(const TRect& Rect) override {
        ++Draws;
        TCustomAxisPanel::DrawChart(Rect);
    }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TCustomAxisPanel::MouseDown(Button, Shift, X, Y);
        if (Zoom()->Active() || Panning()->Active())
            return;
        StartZoomOrPan(Button, Shift, X, Y);
    }
    void MouseMove(TShiftState Shift, int X, int Y) override {
        TCustomAxisPanel::MouseMove(Shift, X, Y);
        if (Zoom()->Active())
            ZoomDragMove(X, Y);
        else if (Panning()->Active())
            PanStep(X, Y);
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TCustomAxisPanel::MouseUp(Button, Shift, X, Y);
        ZoomDragEnd(Button, X, Y);
        Panning()->SetActive(false);
    }
};

// A series kind that ignores axes, as a pie does.
class TNoAxesSeries : public TChartSeries {
public:
    explicit TNoAxesSeries(TComponent* AOwner) : TChartSeries(AOwner) {}
    bool UsesAxes() override { return false; }
};

class TRecordingTool : public TPlotCustomTool {
public:
    explicit TRecordingTool(TComponent* AOwner, std::vector<std::string>* Log)
        : TPlotCustomTool(AOwner), FLog(Log) {}
    void ChartEvent(TChartToolEvent Kind) override { FLog->push_back("tool" + std::to_string(int(Kind))); }

private:
    std::vector<std::string>* FLog;
};

class TSeriesEventListener : public IChartEventListener {
public:
    std::vector<int> Kinds;
    int PageChanges = 0;
    void HandleChartEvent(TPlotEvent& Event) override {
        if (auto* e = dynamic_cast<TPlotSeriesEvent*>(&Event))
            Kinds.push_back(e->Event);
        if (dynamic_cast<TChartChangePage*>(&Event))
            ++PageChanges;
    }
};

class AxisPanelTest : public ::testing::Test {
protected:
    TTestDriver Driver;
    TForm* Form = nullptr;
    TTestChart* Chart = nullptr;

    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(0, 0, 560, 420);
        Chart = new TTestChart(Form);
        Chart->SetParent(Form);
        Chart->SetBounds(10, 10, 500, 350);
        Chart->SetView3D(false);
    }
    TChartSeries* AddSeries(std::initializer_list<std::pair<double, double>> points) {
        auto* s = new TChartSeries(Form);
        for (auto [x, y] : points)
            s->AddXY(x, y);
        Chart->AddSeries(s);
        return s;
    }
    TChartSeries* AddLine(int n, double x0 = 0, double dx = 1, double y0 = 0, double dy = 2) {
        auto* s = new TChartSeries(Form);
        for (int i = 0; i < n; ++i)
            s->AddXY(x0 + i * dx, y0 + i * dy);
        Chart->AddSeries(s);
        return s;
    }
    void ShowAndDraw() {
        Form->Show();
        Driver.Pump();
    }
};

TEST_F(AxisPanelTest, StandardAxesAndSettings) {
    TChartAxes* axes = Chart->Axes();
    ASSERT_EQ(axes->Count(), 6);
    EXPECT_EQ(axes->AxisAt(0), Chart->BottomAxis());
    EXPECT_EQ(axes->AxisAt(1), Chart->TopAxis());
    EXPECT_EQ(axes->AxisAt(2), Chart->LeftAxis());
    EXPECT_EQ(axes->AxisAt(3), Chart->RightAxis());
    EXPECT_EQ(axes->AxisAt(4), Chart->DepthAxis());
    EXPECT_EQ(axes->AxisAt(5), Chart->DepthTopAxis());
    EXPECT_TRUE(Chart->BottomAxis()->Horizontal());
    EXPECT_TRUE(Chart->TopAxis()->Horizontal());
    EXPECT_TRUE(Chart->TopAxis()->OtherSide());
    EXPECT_FALSE(Chart->LeftAxis()->Horizontal());
    EXPECT_EQ(Chart->LeftAxis()->Title()->Angle(), 90);
    EXPECT_EQ(Chart->RightAxis()->Title()->Angle(), 270);
    EXPECT_TRUE(Chart->RightAxis()->OtherSide());
    EXPECT_TRUE(Chart->DepthAxis()->IsDepthAxis());
    EXPECT_FALSE(Chart->DepthAxis()->Visible());
    EXPECT_TRUE(Chart->RepaintEnabled());

    EXPECT_EQ(Chart->Chart3DPercent(), 15);
    Chart->SetChart3DPercent(100);
    try {
        Chart->SetChart3DPercent(0);
        FAIL() << "0 % accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "3D effect percent must be between 1 and 100");
    }
    EXPECT_THROW(Chart->SetChart3DPercent(101), Exception);
    EXPECT_EQ(Chart->Chart3DPercent(), 100);
}

TEST_F(AxisPanelTest, SeriesListEvents) {
    TSeriesEventListener listener;
    Chart->AttachListener(&listener);
    TChartSeries* a = AddLine(3);
    TChartSeries* b = AddLine(3);
    EXPECT_EQ(Chart->SeriesCount(), 2);
    EXPECT_EQ(a->ParentChart(), Chart);
    EXPECT_EQ(Chart->SeriesAt(1), b);
    Chart->AddSeries(a);
    EXPECT_EQ(Chart->SeriesCount(), 2) << "listed once";

    Chart->RemoveSeries(-1);
    EXPECT_EQ(Chart->SeriesCount(), 2);
    Chart->ExchangeSeries(0, 1);
    EXPECT_EQ(Chart->SeriesAt(0), b);
    Chart->RemoveSeries(a);
    EXPECT_EQ(Chart->SeriesCount(), 1);
    EXPECT_EQ(a->ParentChart(), nullptr);

    std::vector<int> expected = {seAdd, seAdd, seSwap, seRemove};
    std::vector<int> seen;
    for (int k : listener.Kinds)
        if (k == seAdd || k == seRemove || k == seSwap)
            seen.push_back(k);
    EXPECT_EQ(seen, expected);

    Chart->SetSeriesEventsOff(true);
    Chart->AddSeries(a);
    EXPECT_EQ(std::count(listener.Kinds.begin(), listener.Kinds.end(), int(seAdd)), 2);
    Chart->SetSeriesEventsOff(false);

    Chart->FreeAllSeries();
    EXPECT_EQ(Chart->SeriesCount(), 0);
    Chart->DetachListener(&listener);
}

TEST_F(AxisPanelTest, AutomaticRangesFromSeries) {
    EXPECT_EQ(Chart->MaxXValue(Chart->BottomAxis()), 0);
    EXPECT_EQ(Chart->MinYValue(Chart->LeftAxis()), 0);
    for (TChartAxis* axis : {Chart->BottomAxis(), Chart->TopAxis(), Chart->LeftAxis(), Chart->RightAxis()})
        EXPECT_TRUE(Chart->IsAxisVisible(axis)) << "without series every visible axis shows";
    EXPECT_FALSE(Chart->IsAxisVisible(Chart->DepthAxis()));

    AddSeries({{0, 5}, {10, -3}});
    AddSeries({{5, 7}, {20, 1}});
    EXPECT_EQ(Chart->MinXValue(Chart->BottomAxis()), 0);
    EXPECT_EQ(Chart->MaxXValue(Chart->BottomAxis()), 20);
    EXPECT_EQ(Chart->MinYValue(Chart->LeftAxis()), -3);
    EXPECT_EQ(Chart->MaxYValue(Chart->LeftAxis()), 7);
    EXPECT_TRUE(Chart->IsAxisVisible(Chart->BottomAxis()));
    EXPECT_FALSE(Chart->IsAxisVisible(Chart->TopAxis())) << "no series on it";

    // An inactive series counts only for an axis no active series uses.
    TChartSeries* right = AddSeries({{-50, 100}, {50, 200}});
    right->SetVertAxis(aRightAxis);
    right->SetActive(false);
    EXPECT_EQ(Chart->MaxYValue(Chart->RightAxis()), 200);
    EXPECT_EQ(Chart->MinXValue(Chart->BottomAxis()), 0) << "the bottom axis has active series";

    // The axes take these ranges when the chart is drawn.
    ShowAndDraw();
    EXPECT_EQ(Chart->BottomAxis()->Minimum(), 0);
    EXPECT_EQ(Chart->BottomAxis()->Maximum(), 20);
    EXPECT_EQ(Chart->LeftAxis()->Maximum(), 7);
}

TEST_F(AxisPanelTest, SeriesWithoutAxesHidesAxes) {
    auto* pie = new TNoAxesSeries(Form);
    pie->AddXY(0, 1);
    Chart->AddSeries(pie);
    AddLine(3);
    EXPECT_FALSE(Chart->IsAxisVisible(Chart->LeftAxis()));
    EXPECT_FALSE(Chart->SeriesUseAxes() == false) << "one series still uses axes";
    Chart->SeriesAt(1)->SetActive(false);
    EXPECT_FALSE(Chart->SeriesUseAxes());
    EXPECT_FALSE(Chart->StartZoomOrPan(mbLeft, 0, 50, 50)) << "no zoom over a pie";
}

TEST_F(AxisPanelTest, PagesStepAndClamp) {
    TChartPage* pages = Chart->Pages();
    EXPECT_EQ(pages->PageCount(), 1) << "no series: one page";
    TChartSeries* s = AddLine(25, 100, 1);
    EXPECT_EQ(pages->PageCount(), 1) << "no paging";
    TSeriesEventListener listener;
    Chart->AttachListener(&listener);
    int changes = 0;
    Chart->OnPageChange = [&](TObject* sender) {
        EXPECT_EQ(sender, pages);
        ++changes;
    };
    pages->SetMaxPointsPerPage(10);
    EXPECT_EQ(pages->PageCount(), 3);
    EXPECT_EQ(Chart->NumPages(), 3);
    pages->SetCurrent(3);
    EXPECT_EQ(changes, 1);
    int first = 0, last = 0;
    s->CalcFirstLastPage(first, last);
    EXPECT_EQ(first, 20);
    EXPECT_EQ(last, 24);
    EXPECT_EQ(Chart->MinXValue(Chart->BottomAxis()), 120);
    EXPECT_EQ(Chart->MaxXValue(Chart->BottomAxis()), 124);

    pages->NextPage();
    EXPECT_EQ(pages->Current(), 3) << "already on the last page";
    pages->SetCurrent(0);
    EXPECT_EQ(pages->Current(), 1);
    pages->PreviousPage();
    EXPECT_EQ(pages->Current(), 1);
    pages->SetCurrent(99);
    EXPECT_EQ(pages->Current(), 3);

    try {
        pages->SetMaxPointsPerPage(-1);
        FAIL() << "a negative page size was accepted";
    } catch (const ChartException& e) {
        EXPECT_EQ(e.Message(), "MaxPointsPerPage must be >= 0");
    }
    EXPECT_EQ(pages->MaxPointsPerPage(), 10);

    pages->SetMaxPointsPerPage(0);
    EXPECT_EQ(pages->Current(), 1) << "back to one page";
    pages->NextPage();
    EXPECT_EQ(pages->Current(), 1);
    EXPECT_GE(listener.PageChanges, 3);
    Chart->DetachListener(&listener);
}

TEST_F(AxisPanelTest, ShorterLastPageScaledAsFull) {
    AddLine(5);
    Chart->Pages()->SetMaxPointsPerPage(10);
    EXPECT_EQ(Chart->MaxXValue(Chart->BottomAxis()), 4);
    Chart->Pages()->SetScaleLastPage(false);
    EXPECT_EQ(Chart->MaxXValue(Chart->BottomAxis()), 8);
    EXPECT_EQ(Chart->MinXValue(Chart->BottomAxis()), 0);
}

TEST_F(AxisPanelTest, DepthOfOneSlot) {
    Chart->SetView3D(true);
    Chart->SetCustomChartRect(true);
    Chart->SetChartRect(TRect(0, 0, 400, 200));
    Chart->UpdateChartDimensions();
    Chart->Calc3DSize();
    EXPECT_EQ(Chart->SeriesWidth3D(), 6);
    EXPECT_EQ(Chart->SeriesHeight3D(), 6);
    EXPECT_EQ(Chart->Width3D(), 6);
    Chart->View3DOptions()->SetOrthogonal(false);
    Chart->Calc3DSize();
    EXPECT_EQ(Chart->SeriesWidth3D(), 12);
    Chart->SetView3D(false);
    Chart->Calc3DSize();
    EXPECT_EQ(Chart->Width3D(), 0);
}

TEST_F(AxisPanelTest, DrawSequenceAndToolMoments) {
    std::vector<std::string> log;
    auto* tool = new TRecordingTool(Form, &log);
    Chart->Tools()->Add(tool);
    EXPECT_EQ(tool->ParentChart(), Chart);
    Chart->OnBeforeDrawChart = [&](TObject*) { log.push_back("chart"); };
    Chart->OnBeforeDrawAxes = [&](TObject*) { log.push_back("axes"); };
    Chart->OnBeforeDrawSeries = [&](TObject*) { log.push_back("series"); };
    Chart->OnAfterDraw = [&](TObject*) { log.push_back("after"); };
    AddLine(10);
    Chart->CreateChartBitmap();
    EXPECT_EQ(log, (std::vector<std::string>{"tool2", "chart", "tool3", "axes", "tool1", "series", "tool4",
                                             "tool0", "after"}));
    log.clear();
    Chart->SetAxisBehind(false);
    Chart->CreateChartBitmap();
    EXPECT_EQ(log, (std::vector<std::string>{"tool2", "chart", "tool1", "series", "tool4", "tool3", "axes",
                                             "tool0", "after"}));
    log.clear();
    tool->SetActive(false);
    Chart->SetAxisVisible(false);
    Chart->CreateChartBitmap();
    EXPECT_EQ(log, (std::vector<std::string>{"chart", "series", "after"}));

    // A tool leaves the chart when it is freed.
    tool->Free();
    EXPECT_EQ(Chart->Tools()->Count(), 0);
}

TEST_F(AxisPanelTest, DrawThatRaisesRestoresRepainting) {
    AddLine(10);
    ShowAndDraw();
    Chart->OnBeforeDrawSeries = [](TObject*) { throw Exception("broken title markup"); };
    EXPECT_THROW(Chart->CreateChartBitmap(), Exception);
    EXPECT_TRUE(Chart->RepaintEnabled());
    Chart->OnBeforeDrawSeries = nullptr;
    const int draws = Chart->Draws;
    Chart->Invalidate();
    Driver.Pump();
    EXPECT_EQ(Chart->Draws, draws + 1) << "the chart repaints again";
}

TEST_F(AxisPanelTest, ColoursFromThePalette) {
    TChartSeries* a = AddLine(2);
    TChartSeries* b = AddLine(2);
    // Each new series takes the first palette colour no other series has.
    EXPECT_EQ(a->SeriesColor(), clRed);
    EXPECT_EQ(b->SeriesColor(), clGreen);
    EXPECT_EQ(Chart->ColorOfPalette(2), clYellow);
    EXPECT_EQ(Chart->GetFreeSeriesColor(false, a), clRed) << "the series itself does not count";

    Chart->ColorPalette() = {clGreen, clRed, clBlue};
    EXPECT_EQ(Chart->ColorOfPalette(4), clRed);
    EXPECT_EQ(Chart->GetFreeSeriesColor(false, nullptr), clBlue);
    Chart->ColorPalette() = {clGreen, clRed, clYellow, clAqua};
    Chart->SetColor(clYellow);
    EXPECT_EQ(Chart->GetFreeSeriesColor(true, nullptr), clAqua) << "not the panel's own colour";
    Chart->ColorPalette() = {clGreen, clRed, clYellow};
    EXPECT_EQ(Chart->GetFreeSeriesColor(false, nullptr), clYellow) << "the last entry when all are taken";

    EXPECT_EQ(Chart->LegendSeries(1, true), b);
    b->SetShowInLegend(false);
    EXPECT_EQ(Chart->LegendSeries(1, true), nullptr);
}

TEST_F(AxisPanelTest, StreamsItsSettingsAndReadsOldOnes) {
    Chart->SetMarginLeft(7);
    Chart->SetPrintMargins(TRect(10, 20, 10, 20));
    Chart->Zoom()->SetAllow(false);
    Chart->Pages()->SetMaxPointsPerPage(10);
    Chart->SetAllowPanning(pmVertical);
    const std::string text = WriteComponentToText(Chart);
    EXPECT_NE(text.find("MarginLeft = 7"), std::string::npos) << text;
    EXPECT_NE(text.find("PrintMargins = ("), std::string::npos) << text;
    EXPECT_NE(text.find("Zoom.Allow = False"), std::string::npos) << text;
    EXPECT_NE(text.find("Pages.MaxPointsPerPage = 10"), std::string::npos) << text;
    EXPECT_EQ(text.find("MarginTop"), std::string::npos) << "defaults are not written";

    auto* copy = new TTestChart(Form);
    ReadComponentFromText(text, copy);
    EXPECT_EQ(copy->MarginLeft(), 7);
    EXPECT_EQ(copy->PrintMargins(), TRect(10, 20, 10, 20));
    EXPECT_FALSE(copy->Zoom()->Allow());
    EXPECT_EQ(copy->Pages()->MaxPointsPerPage(), 10);
    EXPECT_EQ(copy->AllowPanning(), pmVertical);

    // Properties of older forms.
    auto* old = new TTestChart(Form);
    ReadComponentFromText("object OldChart: TCustomAxisPanel\n"
                          "  BorderStyle = bsSingle\n"
                          "  AllowZoom = False\n"
                          "  AnimatedZoomSteps = 3\n"
                          "  MaxPointsPerPage = 5\n"
                          "end\n",
                          old);
    EXPECT_TRUE(old->Border()->Visible());
    EXPECT_FALSE(old->Zoom()->Allow());
    EXPECT_EQ(old->Zoom()->AnimatedSteps(), 3);
    EXPECT_EQ(old->Pages()->MaxPointsPerPage(), 5);
}

class TNoQueue : public TPrintSpooler {
public:
    std::vector<std::string> Printers(int& defaultIndex) override {
        defaultIndex = -1;
        return {};
    }
    void Submit(const TPrintJob&) override {}
};

TEST_F(AxisPanelTest, PrintsOnePagePerSheet) {
    AddLine(25);
    Chart->Pages()->SetMaxPointsPerPage(10);
    Chart->Pages()->SetCurrent(2);
    auto printer = std::make_unique<TPrinter>(std::make_unique<TNoQueue>());
    const std::string pdf =
        (std::filesystem::temp_directory_path() / ("lumetra-pages-" + std::to_string(::getpid()) + ".pdf"))
            .string();
    printer->SetFileName(pdf);
    std::unique_ptr<TPrinter> old = SetPrinter(std::move(printer));
    std::vector<int> printed;
    Chart->OnBeforePrint = [&](TCustomPlotPanel*, TCanvas*, TRect&) { printed.push_back(Chart->Page()); };
    Chart->PrintPages();
    EXPECT_EQ(printed, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Chart->Page(), 2) << "the current page comes back";
    EXPECT_FALSE(Printer()->Printing());
    const std::string doc = ReadAllText(pdf);
    std::regex page(R"(/Type\s*/Page\b)");
    EXPECT_EQ(std::distance(std::sregex_iterator(doc.begin(), doc.end(), page), std::sregex_iterator()), 3);
    std::remove(pdf.c_str());

    // A failing page ends the job and restores the page.
    Chart->OnBeforePrint = [&](TCustomPlotPanel*, TCanvas*, TRect&) {
        if (Chart->Page() == 2)
            throw Exception("printer jammed");
    };
    EXPECT_THROW(Chart->PrintPages(1, 3), Exception);
    EXPECT_EQ(Chart->Page(), 2);
    EXPECT_FALSE(Printer()->Printing());
    EXPECT_FALSE(FileExists(pdf)) << "an aborted job leaves no document";
    SetPrinter(std::move(old));
}

TEST_F(AxisPanelTest, MultiLineTextWidthCountsLines) {
    int lines = 0;
    const int one = Chart->MultiLineTextWidth("Wide line", lines);
    EXPECT_EQ(lines, 1);
    EXPECT_GT(one, 0);
    EXPECT_EQ(Chart->MultiLineTextWidth("ab\rWide line\r", lines), one);
    EXPECT_EQ(lines, 2) << "a trailing empty part is no line";
    EXPECT_EQ(Chart->MultiLineTextWidth("", lines), 0);
    EXPECT_EQ(lines, 0);
}

// --- Zoom and panning on the screen -----------------------------------------------------------------

class ZoomPanTest : public AxisPanelTest {
protected:
    void SetUp() override {
        AxisPanelTest::SetUp();
        AddLine(101, 0, 1, 0, 1); // x and y 0..100
        ShowAndDraw();
    }
    TChartAxis* Bottom() { return Chart->BottomAxis(); }
    TChartAxis* Left() { return Chart->LeftAxis(); }
    TPoint At(double x, double y) { return TPoint(Bottom()->ValueToPixel(x), Left()->ValueToPixel(y)); }
};

TEST_F(ZoomPanTest, DragRightZoomsAndDragLeftUndoes) {
    EXPECT_TRUE(Bottom()->Automatic());
    int zooms = 0, undos = 0;
    Chart->OnZoom = [&](TObject*) { ++zooms; };
    Chart->OnUndoZoom = [&](TObject*) { ++undos; };
    const TPoint from = At(20, 80), to = At(60, 30);
    const double x0 = Bottom()->PixelToValue(from.X), x1 = Bottom()->PixelToValue(to.X);
    const double y1 = Left()->PixelToValue(from.Y), y0 = Left()->PixelToValue(to.Y);
    Driver.Drag(Chart, from, to);
    EXPECT_FALSE(Chart->Zoom()->Active());
    EXPECT_TRUE(Chart->Zoomed());
    EXPECT_EQ(zooms, 1);
    EXPECT_FALSE(Bottom()->Automatic());
    EXPECT_DOUBLE_EQ(Bottom()->Minimum(), x0);
    EXPECT_DOUBLE_EQ(Bottom()->Maximum(), x1);
    EXPECT_DOUBLE_EQ(Left()->Minimum(), y0);
    EXPECT_DOUBLE_EQ(Left()->Maximum(), y1);
    Driver.Pump();
    auto image = Driver.Render(Chart);
    TTestDriver::SavePng(*image, (charttest::OutputDir() / "axis-panel-zoomed.png").string());

    // A second zoom, then a leftward drag: back to the ranges before the first zoom.
    Driver.Drag(Chart, At(30, 60), At(50, 40));
    EXPECT_LT(Bottom()->Maximum(), x1);
    Driver.Drag(Chart, At(50, 40), At(30, 60));
    EXPECT_EQ(undos, 1);
    EXPECT_FALSE(Chart->Zoomed());
    EXPECT_TRUE(Bottom()->Automatic());
    EXPECT_TRUE(Left()->AutomaticMinimum());
    Driver.Pump();
    EXPECT_DOUBLE_EQ(Bottom()->Minimum(), 0);
    EXPECT_DOUBLE_EQ(Bottom()->Maximum(), 100);
}

TEST_F(ZoomPanTest, RubberBandShowsWhileDraggingAndGoesAfter) {
    const TPoint from = At(20, 80), to = At(60, 30);
    const TColor back = Driver.Pixel(Chart, from.X + 5, from.Y - 20);
    EXPECT_EQ(Chart->Zoom()->Pen()->Mode(), pmCopy);
    Driver.Press(TTestDriver::ScreenPoint(Chart, from));
    Driver.MoveTo(TTestDriver::ScreenPoint(Chart, to));
    ASSERT_TRUE(Chart->Zoom()->Active());
    EXPECT_EQ(Chart->Zoom()->X1, to.X);
    EXPECT_EQ(Chart->Zoom()->Pen()->Mode(), pmNotXor) << "the band draws with the zoom pen's own mode";
    // The band's left edge runs down from the press point, in XOR over the background.
    EXPECT_NE(Driver.Pixel(Chart, from.X, (from.Y + to.Y) / 2), back);
    Driver.Release(TTestDriver::ScreenPoint(Chart, to));
    Driver.Pump();
    EXPECT_FALSE(Chart->Zoom()->Active());
    EXPECT_TRUE(Chart->Zoomed());
}

TEST_F(ZoomPanTest, SmallDragDoesNothing) {
    const TPoint from = At(50, 50);
    Driver.Drag(Chart, from, TPoint(from.X + 16, from.Y + 16));
    EXPECT_FALSE(Chart->Zoomed());
    EXPECT_TRUE(Bottom()->Automatic());
    Driver.Drag(Chart, from, TPoint(from.X - 16, from.Y - 16));
    EXPECT_FALSE(Chart->Zoomed());
    EXPECT_FALSE(Chart->ScalesSaved());
    Driver.Drag(Chart, from, TPoint(from.X + 17, from.Y + 17));
    EXPECT_TRUE(Chart->Zoomed());
}

TEST_F(ZoomPanTest, HorizontalZoomSpansTheFullHeight) {
    Chart->Zoom()->SetDirection(tzdHorizontal);
    const TPoint from = At(20, 50);
    // Only the horizontal size counts: 40 pixels across, 2 down.
    Driver.Drag(Chart, from, TPoint(from.X + 40, from.Y + 2));
    EXPECT_TRUE(Chart->Zoomed());
    EXPECT_EQ(Chart->Zoom()->Y0, Chart->ChartRect().Top);
    EXPECT_EQ(Chart->Zoom()->Y1, Chart->ChartRect().Bottom);
    EXPECT_LT(Bottom()->Maximum() - Bottom()->Minimum(), 20);
}

TEST_F(ZoomPanTest, PanFollowsTheMouseAndUndoReturnsToBeforeThePan) {
    int scrolls = 0;
    Chart->OnScroll = [&](TObject*) { ++scrolls; };
    const double span = Bottom()->Maximum() - Bottom()->Minimum();
    const TPoint from = At(50, 50);
    const TPoint to(from.X - 40, from.Y);
    const double moved = Bottom()->PixelToValue(from.X) - Bottom()->PixelToValue(to.X);
    Driver.Drag(Chart, from, to, 4, tbRight);
    EXPECT_GT(scrolls, 0);
    EXPECT_FALSE(Chart->Zoomed()) << "panning is no zoom";
    EXPECT_NEAR(Bottom()->Minimum(), moved, 1e-9);
    EXPECT_NEAR(Bottom()->Maximum() - Bottom()->Minimum(), span, 1e-9);
    EXPECT_NEAR(Left()->Minimum(), 0, 1e-9) << "no vertical move";

    Driver.Pump();
    Driver.Drag(Chart, At(40, 80), At(70, 30));
    EXPECT_TRUE(Chart->Zoomed());
    Chart->UndoZoom();
    Driver.Pump();
    EXPECT_DOUBLE_EQ(Bottom()->Minimum(), 0);
    EXPECT_DOUBLE_EQ(Bottom()->Maximum(), 100);
}

TEST_F(ZoomPanTest, AllowScrollMayRefuse) {
    Chart->OnAllowScroll = [&](TChartAxis* axis, double&, double&, bool& allow) {
        if (axis == Chart->BottomAxis())
            allow = false;
    };
    Chart->SetAllowPanning(pmBoth);
    Driver.Drag(Chart, At(50, 50), At(30, 30), 4, tbRight);
    EXPECT_TRUE(Bottom()->Automatic()) << "the bottom axis was refused";
    EXPECT_FALSE(Left()->Automatic());
}

TEST_F(ZoomPanTest, PanOutOfTheChartStops) {
    const TRect r = Chart->ChartRect();
    const TPoint inside((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    Driver.Press(TTestDriver::ScreenPoint(Chart, inside), tbRight);
    Driver.MoveTo(TTestDriver::ScreenPoint(Chart, TPoint(inside.X + 10, inside.Y)));
    EXPECT_TRUE(Chart->Panning()->Active());
    Driver.MoveTo(TTestDriver::ScreenPoint(Chart, TPoint(r.Right + 5, inside.Y)));
    EXPECT_FALSE(Chart->Panning()->Active());
    const double min = Bottom()->Minimum();
    Driver.MoveTo(TTestDriver::ScreenPoint(Chart, TPoint(inside.X - 30, inside.Y)));
    EXPECT_EQ(Bottom()->Minimum(), min) << "coming back does not resume";
    Driver.Release(TTestDriver::ScreenPoint(Chart, TPoint(inside.X - 30, inside.Y)), tbRight);
}

TEST_F(ZoomPanTest, AnimatedZoomSteps) {
    Chart->Zoom()->SetAnimated(true);
    Chart->Zoom()->SetAnimatedSteps(1);
    int draws = Chart->Draws;
    Chart->ZoomToValues(10, 20, 10, 20, 10, 20, 10, 20);
    EXPECT_EQ(Chart->Draws, draws) << "one step: no intermediate frame";
    Chart->UndoZoom();
    Driver.Pump();
    Chart->Zoom()->SetAnimatedSteps(4);
    draws = Chart->Draws;
    Chart->ZoomToValues(10, 20, 10, 20, 10, 20, 10, 20);
    EXPECT_EQ(Chart->Draws, draws + 3);
    EXPECT_DOUBLE_EQ(Bottom()->Minimum(), 10);
    EXPECT_DOUBLE_EQ(Bottom()->Maximum(), 20);
}

TEST_F(ZoomPanTest, UndoRestoresOnlyAxesWithASavedRange) {
    Chart->ZoomToValues(10, 20, 10, 20, 10, 20, 10, 20);
    auto* custom = new TChartAxis(Chart->CustomAxes());
    custom->SetAxisRange(3, 4);
    ASSERT_EQ(Chart->Axes()->Count(), 7);
    Chart->UndoZoom();
    EXPECT_DOUBLE_EQ(custom->Minimum(), 3);
    EXPECT_DOUBLE_EQ(custom->Maximum(), 4);
    EXPECT_TRUE(Bottom()->Automatic());
}

TEST_F(ZoomPanTest, PictureOfAChart) {
    Chart->BottomAxis()->Title()->SetCaption("Pixel");
    Chart->LeftAxis()->Title()->SetCaption("Counts");
    Driver.Pump();
    auto image = Driver.Render(Chart);
    TTestDriver::SavePng(*image, (charttest::OutputDir() / "axis-panel.png").string());
    // The axis line of the bottom axis runs along the chart rectangle's bottom.
    const TRect r = Chart->ChartRect();
    EXPECT_NE(Driver.Pixel(Chart, (r.Left + r.Right) / 2, r.Bottom), ColorToRGB(Chart->Color()));
}

} // namespace
