// The chart control on a form: hit test, the order in which the mouse reaches events, listeners and
// tools, click events, zoom, undo, panning and the wheel, exports and prints (also of an empty chart),
// and the sample pictures of a finished line chart.
#include "chart/Chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "ChartTestUtil.h"
#include "chart/Series.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Form.h"

using namespace plat;
using namespace chart;
using namespace charttest;

namespace {

class TLogTool : public TPlotCustomTool {
public:
    TLogTool(TComponent* AOwner, std::vector<std::string>* Log) : TPlotCustomTool(AOwner), FLog(Log) {}
    bool Cancel = false;
    void ChartMouseEvent(TChartMouseEventKind Kind, TMouseButton, TShiftState, int, int) override {
        FLog->push_back("tool" + std::to_string(int(Kind)));
        if (Cancel && Kind == cmeDown)
            ParentChart()->SetCancelMouse(true);
    }

private:
    std::vector<std::string>* FLog;
};

class TLogListener : public IChartEventListener {
public:
    explicit TLogListener(std::vector<std::string>* Log) : FLog(Log) {}
    void HandleChartEvent(TPlotEvent& Event) override {
        if (auto* e = dynamic_cast<TPlotMouseEvent*>(&Event); e != nullptr && e->Event == meDown)
            FLog->push_back("listener");
    }

private:
    std::vector<std::string>* FLog;
};

// A form whose layout binds the chart's axis label events to its own methods, as the program's forms do.
class TfmLabels : public TForm {
    PLAT_CLASS(TfmLabels)
public:
    explicit TfmLabels(TComponent* AOwner) : TForm(AOwner) {}
    TChart* Chart1 = nullptr;
    void Chart1GetAxisLabel(TChartAxis*, TChartSeries*, int, std::string& Text) { Text = "<" + Text + ">"; }
    void Chart1GetNextAxisLabel(TChartAxis*, int Index, double& Value, bool& Stop) {
        Value = Index * 3;
        Stop = Index > 2;
    }
};

PLAT_CLASS_INFO_CREATABLE(TfmLabels, TForm)

PLAT_PROPERTIES(TfmLabels) {
    props.Field("Chart1", &TfmLabels::Chart1);
    props.Method("Chart1GetAxisLabel", &TfmLabels::Chart1GetAxisLabel);
    props.Method("Chart1GetNextAxisLabel", &TfmLabels::Chart1GetNextAxisLabel);
}

class ChartControlTest : public ::testing::Test {
protected:
    TTestDriver Driver;
    TForm* Form = nullptr;
    TChart* Chart = nullptr;

    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(0, 0, 640, 480);
        Chart = new TChart(Form);
        Chart->SetParent(Form);
        Chart->SetBounds(10, 10, 560, 400);
        Chart->SetView3D(false);
        Chart->Legend()->SetVisible(false);
    }
    // y = 10 x for x = 0 .. Count - 1.
    TDotSeries* AddDots(int Count) {
        auto* s = new TDotSeries(Form);
        for (int i = 0; i < Count; ++i)
            s->AddXY(i, 10.0 * i);
        Chart->AddSeries(s);
        return s;
    }
    void Show() {
        Form->Show();
        Driver.Pump();
    }
    TPoint At(double x, double y) {
        return TPoint(Chart->BottomAxis()->ValueToPixel(x), Chart->LeftAxis()->ValueToPixel(y));
    }
};

// --- Published properties ---------------------------------------------------------------------------

TEST_F(ChartControlTest, PublishesTheLabelEventsTheSeriesListAndTheBackImageShortcuts) {
    struct TCase {
        const char* Name;
        TPropKind Kind;
        bool Writable;
    };
    for (const TCase& c : {TCase{"OnGetAxisLabel", pkEvent, true}, TCase{"OnGetNextAxisLabel", pkEvent, true},
                           TCase{"SeriesList", pkObject, false}, TCase{"BackImageInside", pkBoolean, true},
                           TCase{"BackImageMode", pkEnum, true}, TCase{"BackImageTransp", pkBoolean, true}}) {
        const TPropInfo* p = GetPropInfo(Chart, c.Name);
        ASSERT_NE(p, nullptr) << c.Name;
        EXPECT_EQ(p->Kind, c.Kind) << c.Name;
        EXPECT_EQ(p->IsWritable(), c.Writable) << c.Name;
    }
    EXPECT_EQ(GetPropInfo(Chart, "SeriesList")->ObjectClass, &TChartSeriesList::StaticClass());
    EXPECT_THROW(SetObjectProp(Chart, "SeriesList", nullptr), EPropertyError);

    // Writing a chart neither writes the shortcuts nor makes the picture they would read.
    const std::string plain = WriteComponentToText(Chart);
    EXPECT_FALSE(Chart->HasBackImage());
    for (const char* name : {"BackImage", "SeriesList"})
        EXPECT_EQ(plain.find(name), std::string::npos) << name << " in\n" << plain;

    // The transparency of the picture's graphic: nothing to set without one.
    SetOrdProp(Chart, "BackImageTransp", 1);
    EXPECT_FALSE(Chart->HasBackImage());
    TBitmap picture(8, 8);
    Chart->BackImage()->SetGraphic(&picture);
    SetOrdProp(Chart, "BackImageTransp", 1);
    EXPECT_TRUE(Chart->BackImage()->Graphic()->Transparent());
    EXPECT_NE(WriteComponentToText(Chart).find("BackImageTransp = True"), std::string::npos);
}

TEST_F(ChartControlTest, LayoutsSetTheShortcutsAndBindTheLabelEvents) {
    RegisterClass(TfmLabels::StaticClass());
    RegisterFormResource("TfmLabels", "object fmLabels: TfmLabels\n"
                                      "  object Chart1: TChart\n"
                                      "    BackImageInside = True\n"
                                      "    BackImageMode = pbmTile\n"
                                      "    OnGetAxisLabel = Chart1GetAxisLabel\n"
                                      "    OnGetNextAxisLabel = Chart1GetNextAxisLabel\n"
                                      "  end\n"
                                      "end\n");
    auto* form = NewForm<TfmLabels>(Application);
    ASSERT_NE(form->Chart1, nullptr);
    EXPECT_TRUE(form->Chart1->BackImage()->Inside());
    EXPECT_EQ(form->Chart1->BackImage()->Mode(), pbmTile);
    EXPECT_EQ(form->Chart1->BottomAxis()->LabelText(3), "<3>");
    double value = 0;
    bool stop = true;
    form->Chart1->OnGetNextAxisLabel(form->Chart1->LeftAxis(), 2, value, stop);
    EXPECT_EQ(value, 6);
    EXPECT_FALSE(stop);

    // Written back, the events keep their methods and the picture holds the shortcuts' values.
    const std::string text = WriteComponentToText(form);
    for (const char* line :
         {"OnGetAxisLabel = Chart1GetAxisLabel", "OnGetNextAxisLabel = Chart1GetNextAxisLabel",
          "BackImage.Inside = True", "BackImage.Mode = pbmTile"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " not in\n" << text;
    EXPECT_EQ(text.find("BackImageInside"), std::string::npos) << text;
    EXPECT_EQ(text.find("BackImageMode"), std::string::npos) << text;
    delete form;
}

// --- Hit test ---------------------------------------------------------------------------------------

TEST_F(ChartControlTest, SeriesWithoutClickEventsIsNoHitForTheMouse) {
    TDotSeries* s = AddDots(11);
    Show();
    const TPoint p = At(5, 50);
    TChartClickedPart part = Chart->FindClickedPart(p.X, p.Y, true);
    EXPECT_EQ(part.Part, cpChartRect);
    part = Chart->ClickedPartAt(p.X, p.Y);
    EXPECT_EQ(part.Part, cpSeries);
    EXPECT_EQ(part.ASeries, s);
    EXPECT_EQ(part.PointIndex, 5);
    s->OnClick = [](TChartSeries*, int, TMouseButton, TShiftState, int, int) {};
    EXPECT_EQ(Chart->FindClickedPart(p.X, p.Y, true).Part, cpSeries);
    s->OnClick = nullptr;
    Chart->OnClickSeries = [](TCustomChart*, TChartSeries*, int, TMouseButton, TShiftState, int, int) {};
    EXPECT_EQ(Chart->FindClickedPart(p.X, p.Y, true).Part, cpSeries);

    // Inside ChartRect without an active series: nothing.
    s->SetActive(false);
    Driver.Pump();
    EXPECT_EQ(Chart->FindClickedPart(p.X, p.Y, false).Part, cpNone);
}

TEST_F(ChartControlTest, AxesTitlesAndTheLegendAreHit) {
    AddDots(11);
    AddDots(5);
    Chart->Title()->SetCaption("Title");
    Chart->Foot()->SetCaption("Foot");
    Chart->Legend()->SetVisible(true);
    Show();
    const TRect cr = Chart->ChartRect();
    TChartClickedPart part = Chart->FindClickedPart((cr.Left + cr.Right) / 2, cr.Bottom + 6, true);
    EXPECT_EQ(part.Part, cpAxis);
    EXPECT_EQ(part.AAxis, Chart->BottomAxis());
    const TRect t = Chart->Title()->ShapeBounds();
    EXPECT_EQ(Chart->FindClickedPart((t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2, true).Part, cpTitle);
    const TRect f = Chart->Foot()->ShapeBounds();
    EXPECT_EQ(Chart->FindClickedPart((f.Left + f.Right) / 2, (f.Top + f.Bottom) / 2, true).Part, cpFoot);
    TChartLegend* legend = Chart->Legend();
    const int y = legend->ItemTop() + legend->RowHeight() + 1 + legend->RowHeight() / 2;
    part = Chart->FindClickedPart((legend->ShapeBounds().Left + legend->ShapeBounds().Right) / 2, y, true);
    EXPECT_EQ(part.Part, cpLegend);
    EXPECT_EQ(part.PointIndex, 1);
    EXPECT_EQ(Chart->GetAxisTitle(Chart->LeftAxis()), "Left Axis");
    EXPECT_EQ(Chart->GetAxisTitle(Chart->TopAxis()), "Top Axis");
    EXPECT_EQ(Chart->GetAxisTitle(Chart->DepthAxis()), "Depth Right");
    Chart->LeftAxis()->Title()->SetCaption("Counts");
    EXPECT_EQ(Chart->GetAxisTitle(Chart->LeftAxis()), "Counts");
}

TEST_F(ChartControlTest, CustomPositionedLegendOverAPointWins) {
    TDotSeries* s = AddDots(2);
    s->OnClick = [](TChartSeries*, int, TMouseButton, TShiftState, int, int) {};
    Chart->BottomAxis()->SetAxisRange(0, 10);
    Chart->LeftAxis()->SetAxisRange(0, 100);
    TChartLegend* legend = Chart->Legend();
    legend->SetVisible(true);
    legend->SetLeft(200);
    legend->SetTop(150);
    Show();
    const TRect box = legend->ShapeBounds();
    const TPoint row(box.Left + 20, legend->ItemTop() + 1 + legend->RowHeight() / 2);
    // A point of the series right under the row.
    s->AddXY(Chart->BottomAxis()->PixelToValue(row.X), Chart->LeftAxis()->PixelToValue(row.Y));
    Driver.Pump();
    ASSERT_EQ(Chart->ClickedPartAt(row.X, row.Y).Part, cpLegend);
    // Without the legend the same pixel is the point.
    legend->SetVisible(false);
    Driver.Pump();
    EXPECT_EQ(Chart->ClickedPartAt(row.X, row.Y).Part, cpSeries);
}

// --- Mouse dispatch ---------------------------------------------------------------------------------

TEST_F(ChartControlTest, MouseGoesToEventsListenersToolsClicksThenZoom) {
    AddDots(11);
    std::vector<std::string> log;
    Chart->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("mouse"); };
    TLogListener listener(&log);
    Chart->AttachListener(&listener);
    auto* tool = new TLogTool(Form, &log);
    Chart->Tools()->Add(tool);
    Chart->OnClickBackground = [&](TCustomChart* Sender, TMouseButton, TShiftState, int, int) {
        log.push_back("background");
        Sender->SetCancelMouse(false); // let the zoom go on
    };
    Show();
    const TPoint p = At(2, 70);
    Driver.Press(TTestDriver::ScreenPoint(Chart, p));
    EXPECT_EQ(log, (std::vector<std::string>{"mouse", "listener", "tool0", "background", "background"}));
    EXPECT_TRUE(Chart->Zoom()->Active());
    log.clear();
    Driver.MoveTo(TTestDriver::ScreenPoint(Chart, TPoint(p.X + 40, p.Y + 40)));
    Driver.Release(TTestDriver::ScreenPoint(Chart, TPoint(p.X + 40, p.Y + 40)));
    EXPECT_EQ(log.front(), "tool1");
    EXPECT_EQ(log.back(), "tool2");
    EXPECT_TRUE(Chart->Zoomed());

    // A tool that cancels the press stops the hit test, the click events and the zoom.
    Chart->UndoZoom();
    tool->Cancel = true;
    log.clear();
    Driver.Click(Chart, p);
    EXPECT_EQ(std::count(log.begin(), log.end(), "background"), 0);
    EXPECT_FALSE(Chart->Zoomed());
    EXPECT_FALSE(Chart->Zoom()->Active());
    Chart->DetachListener(&listener);
}

TEST_F(ChartControlTest, ClickEventsAndTheirVeto) {
    TDotSeries* s = AddDots(11);
    Chart->Title()->SetCaption("Title");
    Show();
    int seriesClicks = 0, chartSeriesClicks = -1;
    TChartTitle* clickedTitle = nullptr;
    s->OnClick = [&](TChartSeries*, int Index, TMouseButton, TShiftState, int, int) { ++seriesClicks; };
    Chart->OnClickSeries = [&](TCustomChart*, TChartSeries* S, int Index, TMouseButton, TShiftState, int,
                               int) {
        EXPECT_EQ(S, s);
        chartSeriesClicks = Index;
    };
    Chart->OnClickTitle = [&](TCustomChart*, TChartTitle* T, TMouseButton, TShiftState, int, int) {
        clickedTitle = T;
    };
    TChartAxis* clickedAxis = nullptr;
    Chart->OnClickAxis = [&](TCustomChart*, TChartAxis* A, TMouseButton, TShiftState, int, int) {
        clickedAxis = A;
    };

    Driver.Click(Chart, At(3, 30));
    EXPECT_EQ(seriesClicks, 1);
    EXPECT_EQ(chartSeriesClicks, 3);
    EXPECT_FALSE(Chart->Zoom()->Active()) << "a handled click starts no zoom";
    const TRect t = Chart->Title()->ShapeBounds();
    Driver.Click(Chart, TPoint((t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2));
    EXPECT_EQ(clickedTitle, Chart->Title());
    const TRect cr = Chart->ChartRect();
    Driver.Click(Chart, TPoint(cr.Left - 3, (cr.Top + cr.Bottom) / 2));
    EXPECT_EQ(clickedAxis, Chart->LeftAxis());
}

TEST_F(ChartControlTest, ClickOnACheckBoxRowTogglesItsSeries) {
    TDotSeries* a = AddDots(5);
    TDotSeries* b = AddDots(5);
    TChartLegend* legend = Chart->Legend();
    legend->SetVisible(true);
    legend->SetCheckBoxes(true);
    int legendClicks = 0;
    Chart->OnClickLegend = [&](TCustomChart* Sender, TMouseButton, TShiftState, int, int) {
        ++legendClicks;
        Sender->SetCancelMouse(false);
    };
    Show();
    const TRect box = legend->ShapeBounds();
    const int rh = legend->RowHeight();
    const TPoint second((box.Left + box.Right) / 2, legend->ItemTop() + rh + 1 + rh / 2);
    Driver.Click(Chart, second);
    EXPECT_TRUE(a->Active());
    EXPECT_FALSE(b->Active());
    EXPECT_EQ(legendClicks, 1);
    Driver.Click(Chart, second);
    EXPECT_TRUE(b->Active());
}

// --- Zoom, panning, wheel ---------------------------------------------------------------------------

TEST_F(ChartControlTest, ZoomUndoAndPanning) {
    AddDots(11);
    Show();
    TChartAxis* bottom = Chart->BottomAxis();
    TChartAxis* left = Chart->LeftAxis();
    const TPoint from = At(2, 80), to = At(6, 30);
    const double x0 = bottom->PixelToValue(from.X), x1 = bottom->PixelToValue(to.X);
    Driver.Drag(Chart, from, to);
    EXPECT_TRUE(Chart->Zoomed());
    EXPECT_DOUBLE_EQ(bottom->Minimum(), x0);
    EXPECT_DOUBLE_EQ(bottom->Maximum(), x1);
    Driver.Drag(Chart, to, from);
    EXPECT_FALSE(Chart->Zoomed());
    EXPECT_TRUE(bottom->Automatic());
    Driver.Pump();

    // Undo restores only the axes whose range was saved: an axis added after the zoom keeps its own.
    Driver.Drag(Chart, from, to);
    ASSERT_TRUE(Chart->Zoomed());
    auto* custom = new TChartAxis(Chart->CustomAxes());
    custom->SetAxisRange(3, 4);
    Driver.Drag(Chart, to, from);
    EXPECT_FALSE(Chart->Zoomed());
    EXPECT_DOUBLE_EQ(custom->Minimum(), 3);
    EXPECT_DOUBLE_EQ(custom->Maximum(), 4);
    delete custom;
    Driver.Pump();

    // The right button pans: the content follows the mouse.
    const double min0 = bottom->Minimum(), lmin0 = left->Minimum();
    const TPoint a = At(5, 50);
    Driver.Drag(Chart, a, TPoint(a.X + 50, a.Y), 5, tbRight);
    EXPECT_LT(bottom->Minimum(), min0);
    EXPECT_DOUBLE_EQ(left->Minimum(), lmin0);
    EXPECT_FALSE(Chart->Zoomed());
    Chart->UndoZoom();
    EXPECT_TRUE(bottom->Automatic());
}

TEST_F(ChartControlTest, WheelScrollsOnlyTheVerticalAxes) {
    AddDots(11);
    Show();
    TChartAxis* bottom = Chart->BottomAxis();
    TChartAxis* left = Chart->LeftAxis();
    const double bmin = bottom->Minimum(), bmax = bottom->Maximum();
    const double lmin = left->Minimum(), lmax = left->Maximum();
    const double step = (lmax - lmin) * 0.03;
    int ownWheel = 0;
    Chart->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool&) { ++ownWheel; };
    Driver.Wheel(Chart, At(5, 50), -120);
    EXPECT_EQ(ownWheel, 1);
    EXPECT_NEAR(left->Minimum(), lmin + step, 1e-9);
    EXPECT_NEAR(left->Maximum(), lmax + step, 1e-9);
    EXPECT_FALSE(left->Automatic());
    EXPECT_DOUBLE_EQ(bottom->Minimum(), bmin);
    EXPECT_DOUBLE_EQ(bottom->Maximum(), bmax);
    Driver.Wheel(Chart, At(5, 50), 120);
    EXPECT_NEAR(left->Minimum(), lmin + step - (lmax - lmin) * 0.03, 1e-9);

    PlotMouseWheelScroll = false;
    const double before = left->Minimum();
    Driver.Wheel(Chart, At(5, 50), -120);
    PlotMouseWheelScroll = true;
    EXPECT_DOUBLE_EQ(left->Minimum(), before);
    EXPECT_EQ(ownWheel, 2);
}

TEST_F(ChartControlTest, BadTitleMarkupDoesNotStopRepainting) {
    AddDots(11);
    Show();
    int draws = 0;
    Chart->OnAfterDraw = [&](TObject*) { ++draws; };
    Chart->Title()->SetTextFormat(ttfHtml);
    Chart->Title()->SetCaption("<font color=nonsense>Spectrum</font>");
    EXPECT_THROW(Chart->CreateChartBitmap(), Exception);
    EXPECT_TRUE(Chart->RepaintEnabled());
    Chart->Title()->SetCaption("<b>Spectrum</b>");
    const int before = draws;
    Chart->Invalidate();
    Driver.Pump();
    EXPECT_EQ(draws, before + 1);
}

TEST_F(ChartControlTest, FreeSeriesColoursAvoidTheBackWall) {
    TDotSeries* s = AddDots(2);
    s->SetSeriesColor(clRed);
    EXPECT_FALSE(Chart->IsFreeSeriesColor(clRed, false, nullptr));
    EXPECT_TRUE(Chart->IsFreeSeriesColor(clRed, false, s));
    Chart->BackWall()->SetColor(clGreen);
    EXPECT_FALSE(Chart->IsFreeSeriesColor(clGreen, true, nullptr));
    EXPECT_TRUE(Chart->IsFreeSeriesColor(clGreen, false, nullptr));
    EXPECT_EQ(Chart->GetFirstActiveSeries(), s);
    s->SetActive(false);
    EXPECT_EQ(Chart->GetFirstActiveSeries(), nullptr);
}

// --- Pictures and prints ----------------------------------------------------------------------------

std::string TempFile(const std::string& Name) {
    return (std::filesystem::temp_directory_path() / ("lumetra-chart-" + Name)).string();
}

TEST_F(ChartControlTest, ExportsToFilesAndClipboard) {
    AddDots(11);
    Chart->Title()->SetCaption("Export");
    Chart->Legend()->SetVisible(true);
    const std::string bmp = TempFile("x.bmp"), emf = TempFile("x.emf"), wmf = TempFile("x.wmf");
    Chart->SaveAsBMP(bmp);
    Chart->SaveAsEMF(emf);
    Chart->SaveAsWMF(wmf);
    TBitmap back;
    back.LoadFromFile(bmp);
    EXPECT_EQ(back.Width(), 560);
    EXPECT_EQ(back.Height(), 400);
    TMetafile mf;
    mf.LoadFromFile(emf);
    EXPECT_TRUE(mf.Enhanced());
    EXPECT_GT(FileSize(wmf), 22) << "placeable header and records";
    for (const std::string& f : {bmp, emf, wmf})
        std::remove(f.c_str());

    Chart->PutBitmapOnClipboard();
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    Chart->PutMetafileOnClipboard(true);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_ENHMETAFILE));
}

TEST_F(ChartControlTest, ZeroSizedChartPrintsAndExports) {
    AddDots(11);
    Chart->Title()->SetCaption("Title");
    Chart->Foot()->SetCaption("Foot");
    Chart->Legend()->SetVisible(true);
    Chart->Legend()->SetAlignment(laBottom);
    Chart->SetBounds(0, 0, 0, 0);
    std::unique_ptr<TMetafile> mf;
    EXPECT_NO_THROW(mf = Chart->RenderToMetafile(true));
    EXPECT_EQ(mf->Width(), 1);
    const std::string wmf = TempFile("empty.wmf"), bmp = TempFile("empty.bmp");
    EXPECT_NO_THROW(Chart->SaveAsWMF(wmf));
    EXPECT_NO_THROW(Chart->SaveAsBMP(bmp));
    std::remove(wmf.c_str());
    std::remove(bmp.c_str());
    TBitmap target(60, 40);
    EXPECT_NO_THROW(Chart->PrintToCanvas(target.Canvas(), TRect(0, 0, 60, 40)));
    EXPECT_NO_THROW(Chart->PrintToCanvas(target.Canvas(), TRect(0, 0, 0, 0)));
    Chart->Legend()->SetAlignment(laRight);
    EXPECT_NO_THROW(Chart->RenderToMetafile(false));
    EXPECT_EQ(Chart->Legend()->RowAtPoint(0, 0), -1);
}

// The sample pictures: a line chart of three series with legend, titles and marks; the same zoomed;
// and the chart as BMP, EMF and WMF files.
TEST_F(ChartControlTest, LineChartPictures) {
    Chart->SetBounds(10, 10, 600, 420);
    Chart->Legend()->SetVisible(true);
    Chart->Title()->SetCaption("Line sensor frames");
    Chart->SubTitle()->SetCaption("three frames");
    Chart->Foot()->SetCaption("Lumetra");
    Chart->BottomAxis()->Title()->SetCaption("Pixel");
    Chart->LeftAxis()->Title()->SetCaption("Counts");
    const char* names[3] = {"Frame 1", "Frame 2", "Frame 3"};
    TLineSeries* series[3];
    for (int k = 0; k < 3; ++k) {
        auto* s = new TLineSeries(Form);
        s->SetTitle(names[k]);
        for (int i = 0; i <= 40; ++i)
            s->AddXY(i * 25, 1000 + 600 * std::sin(i * 0.2 + k) + 300 * k);
        Chart->AddSeries(s);
        series[k] = s;
    }
    series[0]->Marks()->SetVisible(true);
    series[0]->Marks()->SetDrawEvery(8);
    Show();
    ASSERT_EQ(Chart->Legend()->ItemCount(), 3);
    auto image = Driver.Render(Chart);
    const std::filesystem::path out = OutputDir();
    TTestDriver::SavePng(*image, (out / "chart-line.png").string());
    // The legend box shows the three series colours.
    for (int k = 0; k < 3; ++k) {
        const TRect r = Chart->Legend()->Items().Item(k)->SymbolRect;
        const TColor c = Driver.Pixel(Chart, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        EXPECT_EQ(c, ColorToRGB(series[k]->SeriesColor())) << k;
    }
    Chart->SaveAsBMP((out / "chart.bmp").string());
    Chart->SaveAsEMF((out / "chart.emf").string());
    Chart->SaveAsWMF((out / "chart.wmf").string());
    EXPECT_TRUE(FileExists((out / "chart.wmf").string()));

    const TPoint from = At(200, 1800), to = At(500, 900);
    Driver.Drag(Chart, from, to);
    ASSERT_TRUE(Chart->Zoomed());
    Driver.Pump();
    auto zoomed = Driver.Render(Chart);
    TTestDriver::SavePng(*zoomed, (out / "chart-line-zoomed.png").string());
    EXPECT_NEAR(Chart->BottomAxis()->Minimum(), 200, 10);
    EXPECT_NEAR(Chart->BottomAxis()->Maximum(), 500, 10);
}

} // namespace
