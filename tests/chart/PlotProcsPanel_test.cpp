// The chart panel: plotting rectangle from margins and border, the 3D switch and listeners, mouse
// broadcasts, picture export (BMP, EMF, WMF, clipboard) also of an empty panel, and printing.
#include "chart/PlotProcsPanel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "chart/PlotCanvasTestUtil.h"
#include "platform/gfx/Printer.h"
#include "platform/rtl/FileUtils.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Form.h"
#include "platform/ui/Paint.h"

using namespace plat;
using namespace chart;

namespace {

// A panel that fills its plotting rectangle in one colour and records what each draw saw.
class TTestPanel : public TCustomPlotPanel {
public:
    explicit TTestPanel(TComponent* AOwner) : TCustomPlotPanel(AOwner) {}
    int Draws = 0;
    TRect SeenChartRect;
    TColor Fill = clNavy;
    bool Raise = false;
    void DrawChart(const TRect& Rect) override {
        ++Draws;
        SeenChartRect = ChartRect();
        TPlotCanvas3D* c = DrawCanvas();
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Fill);
        if (Fill != clNone)
            c->FillRect(ChartRect());
        if (Raise)
            throw Exception("bad chart text");
    }
    using TCustomPlotPanel::DblClick;
};

class TRecordingListener : public IChartEventListener {
public:
    explicit TRecordingListener(TCustomPlotPanel* Panel = nullptr, bool Cancel = false)
        : FPanel(Panel), FCancel(Cancel) {}
    std::vector<std::string> Events;
    std::vector<TPoint> Points;
    void HandleChartEvent(TPlotEvent& Event) override {
        Events.push_back(Event.ClassName());
        if (auto* m = dynamic_cast<TPlotMouseEvent*>(&Event)) {
            Points.push_back(TPoint(m->X, m->Y));
            if (FCancel && FPanel)
                FPanel->SetCancelMouse(true);
        }
    }

private:
    TCustomPlotPanel* FPanel;
    bool FCancel;
};

std::string TempName(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("lumetra-panel-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

class PlotPanelTest : public ::testing::Test {
protected:
    TTestDriver Driver;
    TForm* Form = nullptr;
    TTestPanel* Panel = nullptr;

    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(0, 0, 500, 400);
        Panel = new TTestPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(10, 10, 400, 250);
    }
    // Draws the panel into a bitmap of its size, as an export does.
    std::unique_ptr<TBitmap> Draw() { return Panel->RenderToBitmap(clWhite, Panel->GetChartRect()); }
};

TEST_F(PlotPanelTest, ChartRectFromPercentMarginsAndBevel) {
    Draw();
    // 3 % of 400 = 12, 4 % of 250 = 10, plus the raised outer bevel of 1 pixel.
    EXPECT_EQ(Panel->SeenChartRect, TRect(13, 11, 387, 239));
    EXPECT_EQ(Panel->ChartWidth(), 374);
    EXPECT_EQ(Panel->ChartHeight(), 228);
    EXPECT_EQ(Panel->ChartXCenter(), 200);
    EXPECT_EQ(Panel->ChartYCenter(), 125);

    Panel->SetMarginUnits(muPixels);
    Draw();
    EXPECT_EQ(Panel->SeenChartRect, TRect(4, 5, 396, 245));

    Panel->Border()->SetVisible(true);
    Panel->Border()->SetWidth(2);
    Panel->SetBevelInner(bvLowered);
    Panel->SetBevelWidth(2);
    Draw();
    // Border 2 + outer bevel 2 + inner bevel 2.
    EXPECT_EQ(Panel->SeenChartRect, TRect(9, 10, 391, 240));
}

TEST_F(PlotPanelTest, ChartRectNeverEmpty) {
    Panel->SetMarginLeft(60);
    Panel->SetMarginRight(60);
    Draw();
    EXPECT_EQ(Panel->ChartWidth(), 1) << "no room left: width 1";

    Panel->SetMarginLeft(50);
    Panel->SetMarginRight(50);
    Panel->SetBevelOuter(bvNone);
    Draw();
    EXPECT_EQ(Panel->SeenChartRect.Left, 200);
    EXPECT_EQ(Panel->ChartWidth(), 400) << "edges meeting: the whole control width";

    Panel->SetCustomChartRect(true);
    Panel->SetChartRect(TRect(5, 6, 7, 8));
    Draw();
    EXPECT_EQ(Panel->SeenChartRect, TRect(5, 6, 7, 8));
}

TEST_F(PlotPanelTest, FieldSettersRepaintOnlyOnChange) {
    Form->Show();
    Driver.Pump();
    const int draws = Panel->Draws;
    EXPECT_GT(draws, 0);
    Driver.Pump();
    EXPECT_EQ(Panel->Draws, draws) << "a valid picture is reused";
    Panel->SetMarginLeft(3);
    Driver.Pump();
    EXPECT_EQ(Panel->Draws, draws);
    Panel->SetMarginLeft(5);
    Driver.Pump();
    EXPECT_EQ(Panel->Draws, draws + 1);

    Panel->SetRepaintEnabled(false);
    Panel->SetMarginLeft(6);
    Driver.Pump();
    EXPECT_EQ(Panel->Draws, draws + 1) << "no repaint while repainting is off";
    Panel->SetRepaintEnabled(true);
}

TEST_F(PlotPanelTest, View3DSwitchBroadcastsAndListenersKeepOrder) {
    TRecordingListener a, b;
    EXPECT_EQ(Panel->AttachListener(&a), 0);
    EXPECT_EQ(Panel->AttachListener(&b), 1);
    EXPECT_EQ(Panel->AttachListener(&a), 0) << "listed once";
    EXPECT_EQ(Panel->Listeners().Count(), 2);

    Panel->SetView3D(false);
    EXPECT_FALSE(Panel->View3D());
    ASSERT_EQ(a.Events.size(), 1u);
    EXPECT_EQ(a.Events[0], "TPlotView3DEvent");
    EXPECT_EQ(b.Events.size(), 1u);

    EXPECT_EQ(Panel->DetachListener(&a), 0);
    EXPECT_EQ(Panel->DetachListener(&a), -1);
    Panel->SetView3D(true);
    EXPECT_EQ(a.Events.size(), 1u);
    EXPECT_EQ(b.Events.size(), 2u);
}

TEST_F(PlotPanelTest, MouseGoesToListenersUntilOneCancels) {
    Form->Show();
    Driver.Pump();
    TRecordingListener first(Panel, true), second(Panel);
    Panel->AttachListener(&first);
    Panel->AttachListener(&second);
    int downs = 0;
    Panel->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    Driver.Click(Panel, TPoint(30, 40));
    EXPECT_EQ(downs, 1);
    ASSERT_FALSE(first.Points.empty());
    EXPECT_EQ(first.Points.front(), TPoint(30, 40));
    EXPECT_TRUE(second.Events.empty()) << "the first listener cancelled the rest";

    Panel->DetachListener(&first);
    Driver.Click(Panel, TPoint(31, 41));
    EXPECT_FALSE(second.Events.empty());
}

TEST_F(PlotPanelTest, DoubleClickCancelledByHandlerEndsSilently) {
    Panel->OnDblClick = [&](TObject*) { Panel->SetCancelMouse(true); };
    EXPECT_THROW(Panel->DblClick(), EAbort);
    Panel->OnDblClick = nullptr;
    EXPECT_NO_THROW(Panel->DblClick());
}

TEST_F(PlotPanelTest, ExportsBmpEmfAndWmf) {
    const std::string bmp = TempName("chart.bmp"), emf = TempName("chart.emf"), wmf = TempName("chart.wmf");
    Panel->SaveAsBMP(bmp);
    Panel->SaveAsEMF(emf);
    Panel->SaveAsWMF(wmf);

    TBitmap loaded;
    loaded.LoadFromFile(bmp);
    EXPECT_EQ(loaded.Width(), 400);
    EXPECT_EQ(loaded.Height(), 250);
    EXPECT_EQ(PixelToColor(loaded.Surface().Row(100)[200] & 0xFFFFFF), clNavy);

    const std::vector<uint8_t> e = ReadAllBytes(emf);
    ASSERT_GT(e.size(), 44u);
    EXPECT_EQ(e[0], 1) << "EMR_HEADER";
    EXPECT_EQ(std::string(e.begin() + 40, e.begin() + 44), " EMF");

    const std::vector<uint8_t> w = ReadAllBytes(wmf);
    ASSERT_GT(w.size(), 22u);
    EXPECT_EQ(w[0], 0xD7);
    EXPECT_EQ(w[1], 0xCD);
    EXPECT_EQ(w[2], 0xC6);
    EXPECT_EQ(w[3], 0x9A) << "the placeable header's key";

    // The metafile plays back to the chart's picture.
    TMetafile mf;
    mf.LoadFromFile(emf);
    EXPECT_EQ(mf.Width(), 400);
    TBitmap played(400, 250);
    mf.Draw(*played.Canvas(), TRect(0, 0, 400, 250));
    EXPECT_EQ(PixelToColor(played.Surface().Row(100)[200] & 0xFFFFFF), clNavy);

    for (const std::string& f : {bmp, emf, wmf})
        std::remove(f.c_str());
    // An export that cannot be written raises and leaves nothing behind.
    EXPECT_THROW(Panel->SaveAsEMF("/nonexistent-folder/chart.emf"), Exception);
}

TEST_F(PlotPanelTest, EmptyPanelExportsAndPrintsWithoutDividingByZero) {
    Panel->SetBounds(0, 0, 0, 0);
    std::unique_ptr<TMetafile> mf = Panel->RenderToMetafile(true);
    EXPECT_EQ(mf->Width(), 1);
    EXPECT_EQ(mf->Height(), 1);
    std::unique_ptr<TBitmap> bmp = Panel->RenderToBitmap(clWhite, Panel->GetChartRect());
    EXPECT_EQ(bmp->Width(), 0);
    const std::string wmf = TempName("empty.wmf");
    EXPECT_NO_THROW(Panel->SaveAsWMF(wmf));
    std::remove(wmf.c_str());

    EXPECT_EQ(Panel->ProportionalPrintMargins(), TRect(15, 15, 15, 15));
    TRect p(10, 10, 10, 10);
    int ow = 0, oh = 0, vw = 0, vh = 0;
    Panel->ApplyPrintResolution(p, Panel->GetChartRect(), ow, oh, vw, vh);
    EXPECT_EQ(p, TRect(10, 10, 10, 10));
    TBitmap target(50, 50);
    EXPECT_NO_THROW(Panel->PrintToCanvas(target.Canvas(), TRect(0, 0, 50, 50)));
    EXPECT_FALSE(Panel->Printing());
}

TEST_F(PlotPanelTest, BitmapBackgroundFill) {
    Panel->Fill = clNone;
    Panel->SetColor(clRed);
    std::unique_ptr<TBitmap> chart = Panel->CreateChartBitmap();
    EXPECT_EQ(PixelToColor(chart->Surface().Row(100)[200] & 0xFFFFFF), clRed);
    // The file form leaves the background to the chart itself: no white fill beneath.
    Panel->SetColor(clNone);
    std::unique_ptr<TBitmap> plain = Panel->RenderToBitmap(clWhite, Panel->GetChartRect());
    EXPECT_NE(PixelToColor(plain->Surface().Row(100)[200] & 0xFFFFFF), clWhite);
}

TEST_F(PlotPanelTest, ClipboardTakesBitmapAndMetafiles) {
    Panel->PutBitmapOnClipboard();
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    TBitmap back;
    back.Assign(Clipboard());
    EXPECT_EQ(back.Width(), 400);
    EXPECT_EQ(PixelToColor(back.Surface().Row(100)[200] & 0xFFFFFF), clNavy);

    Panel->PutMetafileOnClipboard(false);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_ENHMETAFILE)) << "a Windows metafile arrives as an enhanced one";
    Panel->PutMetafileOnClipboard(true);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_ENHMETAFILE));

    // Assigning the panel to a picture gives its bitmap.
    TPicture picture;
    picture.Assign(Panel);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 400);
}

TEST_F(PlotPanelTest, ExportRestoresBufferingAndRepaintsAfterAFailedDraw) {
    Form->Show();
    Driver.Pump();
    Panel->Raise = true;
    EXPECT_THROW(Panel->CreateChartBitmap(), Exception);
    EXPECT_TRUE(Panel->GetOffscreenBuffering());
    EXPECT_FALSE(Panel->DrawCanvas()->KeepBitmap());
    // A draw that keeps failing on screen is reported, not repeated forever.
    int reported = 0;
    Application->OnException = [&](TObject*, const std::exception&) { ++reported; };
    Panel->Invalidate();
    Driver.Pump();
    EXPECT_EQ(reported, 1);
    Application->OnException = nullptr;
    Panel->Raise = false;
    const int draws = Panel->Draws;
    Panel->Invalidate();
    Driver.Pump();
    EXPECT_EQ(Panel->Draws, draws + 1);
    EXPECT_EQ(Driver.Pixel(Panel, 200, 100), ColorToRGB(clNavy));
}

// The extended panel draws only its background.
class TBackPanel : public TCustomPlotPanelExtended {
public:
    explicit TBackPanel(TComponent* AOwner) : TCustomPlotPanelExtended(AOwner) {}
    void DrawChart(const TRect& Rect) override { DrawPanelBack(Rect); }
};

TEST_F(PlotPanelTest, PanelBackgroundShadowGradientAndPicture) {
    auto* back = new TBackPanel(Form);
    back->SetParent(Form);
    back->SetBounds(0, 0, 200, 100);
    back->SetColor(clSilver);
    back->SetBevelOuter(bvNone);
    back->Shadow()->SetBothSizes(4);
    back->Shadow()->SetColor(clBlack);
    back->Shadow()->SetSmooth(false);
    std::unique_ptr<TBitmap> bmp = back->RenderToBitmap(clWhite, back->GetChartRect());
    auto at = [&](int x, int y) { return PixelToColor(bmp->Surface().Row(y)[x] & 0xFFFFFF); };
    EXPECT_EQ(at(50, 50), clSilver);
    EXPECT_EQ(at(198, 50), clBlack) << "the shadow along the right edge";
    EXPECT_EQ(at(1, 98), ColorToRGB(Form->Brush()->Color())) << "the parent's colour beside the shadow";

    back->Gradient()->SetStartColor(clRed);
    back->Gradient()->SetEndColor(clRed);
    back->Gradient()->SetVisible(true);
    bmp = back->RenderToBitmap(clWhite, back->GetChartRect());
    EXPECT_EQ(at(50, 50), clRed);

    back->Shadow()->SetBothSizes(0);
    back->SetGradient(nullptr);
    TBitmap tile(10, 10);
    tile.Canvas()->Brush()->SetColor(clBlue);
    tile.Canvas()->FillRect(TRect(0, 0, 10, 10));
    back->BackImage()->SetGraphic(&tile);
    back->SetBackImageMode(pbmTile);
    bmp = back->RenderToBitmap(clWhite, back->GetChartRect());
    EXPECT_EQ(at(55, 45), clBlue);
    back->SetBackImageMode(pbmCustom);
    back->BackImage()->SetLeft(100);
    bmp = back->RenderToBitmap(clWhite, back->GetChartRect());
    EXPECT_EQ(at(105, 5), clBlue);
    EXPECT_EQ(at(50, 50), clSilver);
    // A picture of no size tiles nothing and does not hang.
    TBitmap empty;
    back->BackImage()->SetGraphic(&empty);
    back->SetBackImageMode(pbmTile);
    bmp = back->RenderToBitmap(clWhite, back->GetChartRect());
    EXPECT_EQ(at(50, 50), clSilver);
}

// A back painted all over makes the window's own picture the buffer: the panel draws straight into it,
// keeps no bitmap and shows what the bitmap road shows. Any other back still goes through the bitmap.
TEST_F(PlotPanelTest, DrawsStraightIntoTheWindowWhenTheBackCoversIt) {
    class TCountingBackPanel : public TBackPanel {
    public:
        using TBackPanel::TBackPanel;
        int Draws = 0;
        void DrawChart(const TRect& Rect) override {
            ++Draws;
            TBackPanel::DrawChart(Rect);
            DrawCanvas()->Pen()->SetColor(clRed);
            DrawCanvas()->Line(3, 3, 150, 80);
        }
    };
    struct TCase {
        const char* Name;
        TColor Color;
        bool Gradient;
        bool Straight;
    };
    const TCase cases[] = {
        {"solid colour", clSilver, false, true},
        {"gradient", clSilver, true, false},
        {"no colour", clNone, false, false},
    };
    Form->Show();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* back = new TCountingBackPanel(Form);
        back->SetParent(Form);
        back->SetBounds(20, 30, 200, 100);
        back->SetColor(c.Color);
        back->Shadow()->SetBothSizes(3);
        back->Gradient()->SetVisible(c.Gradient);
        Driver.Pump();
        EXPECT_EQ(back->DrawCanvas()->Bitmap() == nullptr, c.Straight);
        if (c.Straight) {
            const std::unique_ptr<TImageSurface> shown = Driver.Render(back);
            const std::unique_ptr<TBitmap> road = back->RenderToBitmap(clWhite, back->GetChartRect());
            int differing = 0;
            for (int y = 0; y < 100; ++y)
                for (int x = 0; x < 200; ++x)
                    differing += (shown->Row(y)[x] & 0xFFFFFF) != (road->Surface().Row(y)[x] & 0xFFFFFF);
            EXPECT_EQ(differing, 0);
            // With no picture kept, a repaint the chart did not ask for draws it again.
            const int draws = back->Draws;
            InvalidateRect(back->Handle(), nullptr, false);
            Driver.Pump();
            EXPECT_EQ(back->Draws, draws + 1);
            EXPECT_EQ(Driver.Pixel(back, 100, 50), clSilver);
        }
        delete back;
    }
}

// Print jobs write their documents beside the test.
class TNoQueue : public TPrintSpooler {
public:
    std::vector<std::string> Printers(int& defaultIndex) override {
        defaultIndex = -1;
        return {};
    }
    void Submit(const TPrintJob&) override {}
};

TEST_F(PlotPanelTest, PrintsIntoProportionalPageArea) {
    auto printer = std::make_unique<TPrinter>(std::make_unique<TNoQueue>());
    const std::string pdf = TempName("print.pdf");
    printer->SetFileName(pdf);
    std::unique_ptr<TPrinter> old = SetPrinter(std::move(printer));

    // A wide chart keeps 15 % at the sides and centres itself vertically.
    const TRect margins = Panel->ProportionalPrintMargins();
    EXPECT_EQ(margins.Left, 15);
    EXPECT_GT(margins.Top, 15);
    const TRect area = Panel->PrinterPageArea();
    EXPECT_EQ(Panel->PrintMargins(), margins);
    const double ratio = double(area.Right - area.Left) / (area.Bottom - area.Top);
    // Whole percents of margin keep the ratio only roughly.
    EXPECT_NEAR(ratio, 400.0 / 250.0, 0.1);

    int before = 0;
    Panel->OnBeforePrint = [&](TCustomPlotPanel*, TCanvas*, TRect&) { ++before; };
    Printer()->BeginDoc();
    Panel->PrintIntoRect(area);
    Printer()->EndDoc();
    EXPECT_EQ(before, 1);
    EXPECT_FALSE(Panel->Printing());
    EXPECT_TRUE(FileExists(pdf));
    std::remove(pdf.c_str());
    SetPrinter(std::move(old));
}

} // namespace
