#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PlotCanvasTestUtil.h"
#include "chart/PlotEngine.h"
#include "chart/PlotEngineAxis.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotEngineMarks.h"
#include "chart/PlotEngineSeries.h"
#include "chart/PlotProcsPanel.h"
#include "chart/Series.h"
#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"

using namespace chart;
using charttest::TSurface;

namespace {

// A flat chart drawing straight into a white bitmap; series added to it are freed with it.
struct TMarksChart {
    plat::TBitmap Target;
    std::unique_ptr<TCustomAxisPanel> Chart;

    TMarksChart(int Width = 400, int Height = 300) : Target(Width, Height) {
        Chart = std::make_unique<TCustomAxisPanel>(nullptr);
        Chart->SetBounds(0, 0, Width, Height);
        Chart->SetView3D(false);
        Chart->SetColor(plat::clWhite);
        Chart->SetBevelOuter(plat::bvNone);
        Chart->DrawCanvas()->SetBuffered(false);
        Attach();
    }
    ~TMarksChart() { Chart->FreeAllSeries(); }

    TChartSeries* Add() {
        auto* series = new TChartSeries(nullptr);
        Chart->AddSeries(series);
        return series;
    }
    void Attach() {
        TPlotCanvas3D* c = Chart->DrawCanvas();
        c->InitWindow(Target.Canvas(), nullptr, plat::clWhite, false,
                      TRect(0, 0, Target.Width(), Target.Height()));
        c->ResetToDefaults();
    }
    void Render() {
        plat::TCanvas* cv = Target.Canvas();
        cv->Brush()->SetStyle(plat::bsSolid);
        cv->Brush()->SetColor(plat::clWhite);
        cv->FillRect(TRect(0, 0, Target.Width(), Target.Height()));
        Chart->DrawToCanvas(Target.Canvas(), TRect(0, 0, Target.Width(), Target.Height()));
        Attach();
    }
    TColor At(int X, int Y) { return plat::PixelToColor(Target.Surface().Row(Y)[X] & 0xFFFFFF); }
    int Count(TColor Color, const TRect& R) {
        int n = 0;
        for (int y = std::max(0, R.Top); y < std::min(Target.Height(), R.Bottom); ++y)
            for (int x = std::max(0, R.Left); x < std::min(Target.Width(), R.Right); ++x)
                n += At(x, y) == Color;
        return n;
    }
};

// Points (0, 5) labelled "five" and (1, -5): TotalABS 10.
std::unique_ptr<TChartSeries> FiveAndMinusFive() {
    auto series = std::make_unique<TChartSeries>(nullptr);
    series->AddXY(0, 5, "five");
    series->AddXY(1, -5);
    return series;
}

// Publishes a series' marks and a pointer of that series, so that both can go through the form streams.
class TMarksHolder : public plat::TComponent {
    PLAT_CLASS(TMarksHolder)
public:
    TMarksHolder() : plat::TComponent(nullptr), FSeries(nullptr), FPointer(&FSeries) { SetName("Holder"); }
    TSeriesMarks* Marks() const { return FSeries.Marks(); }
    void SetMarks(TSeriesMarks* Value) { FSeries.Marks()->Assign(Value); }
    TSeriesPointer* Pointer() const { return const_cast<TSeriesPointer*>(&FPointer); }
    void SetPointer(TSeriesPointer* Value) { FPointer.Assign(Value); }

private:
    TChartSeries FSeries;
    TSeriesPointer FPointer;
};

PLAT_CLASS_INFO(TMarksHolder, plat::TComponent)

PLAT_PROPERTIES(TMarksHolder) {
    props.Object("Marks", &TMarksHolder::Marks, &TMarksHolder::SetMarks);
    props.Object("Pointer", &TMarksHolder::Pointer, &TMarksHolder::SetPointer);
}

} // namespace

// --- Texts ------------------------------------------------------------------------------------------

TEST(MarkText, ByStyle) {
    struct Case {
        TSeriesMarksStyle Style;
        bool MultiLine;
        int Index;
        std::string Text;
    };
    const Case cases[] = {
        {smsValue, false, 1, "-5"},
        {smsPercent, false, 1, "50 %"},
        {smsLabel, false, 0, "five"},
        {smsLabel, false, 1, "-5"},
        {smsLabelPercent, false, 0, "five 50 %"},
        {smsLabelPercent, true, 0, "five\r50 %"},
        {smsLabelValue, false, 0, "five 5"},
        {smsPercentTotal, false, 0, "50 % of 10"},
        {smsPercentTotal, true, 0, "50 %\rof 10"},
        {smsLabelPercentTotal, false, 1, "-5 50 % of 10"},
        {smsXValue, false, 1, "1"},
        {smsXY, true, 1, "1\r-5"},
    };
    auto series = FiveAndMinusFive();
    TSeriesMarks* marks = series->Marks();
    for (const Case& c : cases) {
        marks->SetStyle(c.Style);
        marks->SetMultiLine(c.MultiLine);
        EXPECT_EQ(series->GetMarkText(c.Index), c.Text) << c.Style << " " << c.Index;
    }
}

TEST(MarkText, ValueUsesTheSeriesFormat) {
    TChartSeries series(nullptr);
    series.Add(1.23456);
    EXPECT_EQ(series.GetMarkText(0), "1.235");
    series.SetValueFormat("0.0");
    EXPECT_EQ(series.GetMarkText(0), "1.2");
}

TEST(MarkText, AllZeroValuesAreAHundredPercent) {
    TChartSeries series(nullptr);
    series.Add(0);
    series.Add(0);
    series.Marks()->SetStyle(smsPercent);
    EXPECT_EQ(series.GetMarkText(1), "100 %");
    EXPECT_EQ(series.LegendItemText(1, ltsPercent), "100 %");
}

TEST(MarkText, ItemTextAndEventComeFirst) {
    auto series = FiveAndMinusFive();
    plat::TStrings* text = series->Marks()->Item(1)->Text();
    text->Add("peak");
    text->Add("here");
    EXPECT_EQ(series->GetMarkText(1), "peak\r\nhere");
    EXPECT_EQ(series->GetMarkText(0), "five");
    series->OnGetMarkText = [](TChartSeries*, int Index, std::string& Text) {
        Text += "!" + std::to_string(Index);
    };
    EXPECT_EQ(series->GetMarkText(0), "five!0");
    EXPECT_EQ(series->GetMarkText(1), "peak\r\nhere!1");

    // An event that gives the whole text is handed no default, but still an item's own text; without
    // an event the flag changes nothing.
    series->SetMarkTextFromEvent(true);
    EXPECT_EQ(series->GetMarkText(0), "!0");
    EXPECT_EQ(series->GetMarkText(1), "peak\r\nhere!1");
    series->OnGetMarkText = nullptr;
    EXPECT_EQ(series->GetMarkText(0), "five");
}

TEST(LegendText, ByStyle) {
    struct Case {
        TLegendTextStyle Style;
        int Index;
        std::string Text;
    };
    const std::string sep = "\x06";
    const Case cases[] = {
        {ltsPlain, 0, "five"},
        {ltsLeftValue, 0, "5" + sep + "five"},
        {ltsLeftValue, 1, "-5"},
        {ltsRightValue, 0, "five" + sep + "5"},
        {ltsLeftPercent, 0, "50 %" + sep + "five"},
        {ltsRightPercent, 1, "-50 %"},
        {ltsXValue, 1, "1"},
        {ltsValue, 1, "-5"},
        {ltsPercent, 1, "-50 %"},
        {ltsXAndValue, 1, "1" + sep + "-5"},
        {ltsXAndPercent, 0, "0" + sep + "50 %"},
    };
    auto series = FiveAndMinusFive();
    for (const Case& c : cases)
        EXPECT_EQ(series->LegendItemText(c.Index, c.Style), c.Text) << c.Style;
}

// --- Marks settings and positions -------------------------------------------------------------------

TEST(SeriesMarks, DrawEveryBelowOneActsAsOne) {
    TChartSeries series(nullptr);
    series.Marks()->SetDrawEvery(0);
    EXPECT_EQ(series.Marks()->DrawEvery(), 1);
    series.Marks()->SetDrawEvery(-3);
    EXPECT_EQ(series.Marks()->DrawEvery(), 1);
    series.Marks()->SetDrawEvery(3);
    EXPECT_EQ(series.Marks()->DrawEvery(), 3);
}

TEST(SeriesMarks, PositionsAndItemsFollowDeletedPoints) {
    TChartSeries series(nullptr);
    for (int i = 0; i < 4; ++i)
        series.Add(i);
    TSeriesMarkPosition p;
    p.LeftTop = TPoint(30, 3);
    series.Marks()->Positions().Put(3, p);
    series.Marks()->Item(3)->Text()->Add("three");
    series.Delete(1);
    ASSERT_NE(series.Marks()->Positions().Position(2), nullptr);
    EXPECT_EQ(series.Marks()->Positions().Position(2)->LeftTop.X, 30);
    EXPECT_EQ(series.GetMarkText(2), "three");
    series.DeletePointRange(0, 2);
    EXPECT_EQ(series.GetMarkText(0), "three");
}

TEST(SeriesMarks, ItemsReadFromAStreamSurviveClearing) {
    TChartSeries series(nullptr);
    series.Add(1);
    series.Marks()->Item(0)->Text()->Add("kept");
    series.Marks()->Items().SetLoadingCustom(true);
    series.Clear();
    series.Add(1);
    EXPECT_EQ(series.GetMarkText(0), "kept");
    series.Marks()->Items().SetLoadingCustom(false);
    series.Clear();
    series.Add(1);
    EXPECT_EQ(series.GetMarkText(0), "1");
}

TEST(SeriesMarks, CalloutLengthLiftsTheMark) {
    TChartSeries series(nullptr);
    TMarksCallout* callout = series.Marks()->Callout();
    EXPECT_FALSE(callout->Visible());
    EXPECT_EQ(callout->Arrow()->Color(), plat::clWhite);
    callout->SetLength(8);
    callout->SetDistance(2);
    TSeriesMarkPosition p;
    p.LeftTop = TPoint(10, 100);
    p.ArrowTo = TPoint(20, 120);
    p.ArrowFrom = TPoint(20, 120);
    callout->ApplyLength(p);
    EXPECT_EQ(p.LeftTop.Y, 90);
    EXPECT_EQ(p.ArrowTo.Y, 110);
    EXPECT_EQ(p.ArrowFrom.Y, 118);
}

// --- Drawing marks ----------------------------------------------------------------------------------

TEST(SeriesMarksDrawing, EveryNthNonNullPointGetsAMark) {
    TMarksChart c;
    TChartSeries* series = c.Add();
    for (int i = 0; i < 10; ++i) {
        if (i == 6)
            series->AddNullXY(i, 50);
        else
            series->AddXY(i, 10 * i);
    }
    series->Marks()->SetVisible(true);
    series->Marks()->SetDrawEvery(3);
    c.Render();
    TSeriesMarksPositions& positions = series->Marks()->Positions();
    for (int i = 0; i < 10; ++i) {
        const bool marked = i == 0 || i == 3 || i == 9;
        EXPECT_EQ(positions.Position(i) != nullptr, marked) << i;
    }
    // The mark of point 3 is drawn centred above the point, in its colour.
    const TSeriesMarkPosition* p = positions.Position(3);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->ArrowTo.X, series->ScreenX(3));
    EXPECT_EQ(p->LeftTop.Y + p->Height - 1, series->ScreenY(3));
    EXPECT_GT(c.Count(plat::ColorToRGB(plat::clInfoBk), p->Bounds()), p->Width * p->Height / 4);
    EXPECT_EQ(series->Marks()->Clicked(p->LeftTop.X + 2, p->LeftTop.Y + 2), 3);
    EXPECT_EQ(series->Marks()->Clicked(0, 0), -1);
    charttest::SavePng(c.Target, "series-marks.png");
}

TEST(SeriesMarksDrawing, CustomPositionIsKept) {
    TMarksChart c;
    TChartSeries* series = c.Add();
    for (int i = 0; i < 5; ++i)
        series->AddXY(i, i);
    series->Marks()->SetVisible(true);
    TSeriesMarkPosition p;
    p.LeftTop = TPoint(20, 30);
    p.Width = 40;
    p.Height = 16;
    series->Marks()->Positions().Put(2, p);
    c.Render();
    c.Render();
    const TSeriesMarkPosition* kept = series->Marks()->Positions().Position(2);
    EXPECT_TRUE(kept->Custom);
    EXPECT_EQ(kept->LeftTop.X, 20);
    EXPECT_EQ(kept->LeftTop.Y, 30);
    EXPECT_GT(c.Count(plat::ColorToRGB(plat::clInfoBk), TRect(20, 30, 60, 46)), 200);
    EXPECT_TRUE(series->Marks()->Positions().ExistCustom());
}

// Lifts its marks by the callout length as the line kinds do, so that the arrow has a start and an end.
class TLiftedMarksSeries : public TChartSeries {
public:
    explicit TLiftedMarksSeries(plat::TComponent* AOwner) : TChartSeries(AOwner) {}
    void DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) override {
        Marks()->Callout()->ApplyLength(*Position);
        TChartSeries::DrawMark(ValueIndex, Text, Position);
    }
};

// The text is centred in what the symbol leaves of the box, clear of both the symbol and the frame; the
// callout's own symbol sits where the arrow ends, at the mark, not at the point.
TEST(SeriesMarksDrawing, SymbolAndCalloutPlaces) {
    TMarksChart c;
    auto* series = new TLiftedMarksSeries(nullptr);
    c.Chart->AddSeries(series);
    series->SetSeriesColor(plat::clRed);
    series->AddXY(0, 0, "a");
    series->AddXY(1, 5, "Peak");
    series->AddXY(2, 10, "b");
    TSeriesMarks* marks = series->Marks();
    marks->SetVisible(true);
    marks->Symbol()->SetVisible(true);
    TMarksCallout* callout = marks->Callout();
    callout->SetVisible(true);
    callout->SetColor(plat::clBlue);
    callout->SetHorizSize(3);
    callout->SetVertSize(5); // taller than the mark's lower frame and shadow
    callout->Arrow()->SetColor(plat::clBlack);
    callout->SetLength(24);
    c.Render();
    charttest::SavePng(c.Target, "series-marks-symbol.png");

    const TSeriesMarkPosition* p = marks->Positions().Position(1);
    ASSERT_NE(p, nullptr);
    const TRect box = p->Bounds();
    c.Chart->Canvas()->UseFont(marks->Font());
    const int fontHeight = c.Chart->Canvas()->FontHeight();
    EXPECT_EQ(c.At(box.Left + 6, box.Top + 5), plat::clRed); // the symbol, in the point's colour

    // Ink of the text: black inside the frame, right of the symbol and its shadow.
    const int symbolRight = box.Left + fontHeight - 1;
    TRect ink(box.Right, box.Bottom, box.Left, box.Top);
    for (int y = box.Top + 1; y < box.Bottom - 1; ++y)
        for (int x = symbolRight + 1; x < box.Right - 1; ++x)
            if (c.At(x, y) == plat::clBlack) {
                ink.Left = std::min(ink.Left, x);
                ink.Right = std::max(ink.Right, x + 1);
                ink.Top = std::min(ink.Top, y);
                ink.Bottom = std::max(ink.Bottom, y + 1);
            }
    ASSERT_LT(ink.Left, ink.Right) << "no text drawn";
    const int textLeft = box.Left + 2 + (fontHeight - 5) + 4;
    EXPECT_NEAR((ink.Left + ink.Right) / 2.0, (textLeft + box.Right) / 2.0, 1.5);
    EXPECT_GE(ink.Left - symbolRight, 2);
    EXPECT_GE(box.Right - 1 - ink.Right, 2); // the frame is the last column of the box

    // The arrow starts at the point and ends at the bottom of the mark, where the callout's symbol is.
    const int x = series->ScreenX(1), y = series->ScreenY(1);
    EXPECT_EQ(p->ArrowFrom, TPoint(x, y));
    EXPECT_EQ(p->ArrowTo, TPoint(x, y - 24));
    EXPECT_EQ(p->ArrowTo.Y, box.Bottom - 1);
    EXPECT_EQ(c.Count(plat::clBlack, TRect(x, y - 16, x + 1, y - 4)), 12);
    EXPECT_GT(c.Count(plat::clBlue, TRect(x - 3, box.Bottom + 1, x + 4, box.Bottom + 5)), 4);
    EXPECT_EQ(c.Count(plat::clBlue, TRect(x - 4, y - 4, x + 5, y + 5)), 0);
}

// --- Pointer ----------------------------------------------------------------------------------------

TEST(SeriesPointer, SymbolShapesCoverTheirPixels) {
    struct Case {
        TSeriesPointerStyle Style;
        TRect Box;
    };
    const Case cases[] = {
        {psRectangle, TRect(96, 47, 105, 54)}, {psDiagCross, TRect(96, 47, 105, 54)},
        {psCross, TRect(96, 47, 105, 54)},     {psStar, TRect(96, 47, 105, 54)},
        {psDiamond, TRect(96, 47, 105, 54)},
    };
    for (const Case& c : cases) {
        TSurface s(200, 100);
        TSeriesPointer pointer(nullptr);
        pointer.PrepareCanvas(s.Canvas, plat::clRed);
        pointer.DrawPointer(s.Canvas, false, 100, 50, 4, 3, plat::clRed, c.Style);
        EXPECT_EQ(s.InkBox(plat::clWhite), c.Box) << c.Style;
    }
    TSurface s(200, 100);
    TSeriesPointer pointer(nullptr);
    pointer.PrepareCanvas(s.Canvas, plat::clRed);
    pointer.DrawPointer(s.Canvas, false, 100, 50, 4, 3, plat::clRed, psRectangle);
    EXPECT_EQ(s.At(96, 47), plat::clBlack);
    EXPECT_EQ(s.At(104, 53), plat::clBlack);
    EXPECT_EQ(s.At(100, 50), plat::clRed);

    TSurface d(200, 100);
    pointer.PrepareCanvas(d.Canvas, plat::clRed);
    pointer.DrawPointer(d.Canvas, false, 100, 50, 4, 3, plat::clRed, psDiagCross);
    EXPECT_EQ(d.At(96, 47), plat::clBlack);
    EXPECT_EQ(d.At(104, 47), plat::clBlack);
    EXPECT_EQ(d.At(105, 54), plat::clWhite);
}

TEST(SeriesPointer, TrianglesPointUpOrDown) {
    TSurface up(40, 40);
    TSeriesPointer pointer(nullptr);
    pointer.PrepareCanvas(up.Canvas, plat::clRed);
    pointer.DrawPointer(up.Canvas, false, 10, 10, 4, 4, plat::clRed, psTriangle);
    EXPECT_EQ(up.InkBox(plat::clWhite).Top, 6);
    EXPECT_NE(up.At(10, 6), plat::clWhite);

    TSurface down(40, 40);
    pointer.PrepareCanvas(down.Canvas, plat::clRed);
    pointer.DrawPointer(down.Canvas, false, 10, 10, 4, 4, plat::clRed, psDownTriangle);
    EXPECT_EQ(down.InkBox(plat::clWhite).Top, 6);
    EXPECT_NE(down.At(10, 14), plat::clWhite);
    EXPECT_GE(down.InkBox(plat::clWhite).Bottom, 15);
}

TEST(SeriesPointer, NothingDrawsNothingNotEvenAGradient) {
    TSurface s(40, 40);
    TSeriesPointer pointer(nullptr);
    pointer.Gradient()->SetVisible(true);
    pointer.PrepareCanvas(s.Canvas, plat::clRed);
    pointer.DrawPointer(s.Canvas, false, 20, 20, 4, 4, plat::clRed, psNothing);
    EXPECT_EQ(s.InkBox(plat::clWhite), TRect());
}

TEST(SeriesPointer, AutomaticColoursTakeThePointColour) {
    TSurface s(40, 40);
    TSeriesPointer pointer(nullptr);
    pointer.Pen()->SetColor(AutoColor);
    pointer.PrepareCanvas(s.Canvas, plat::clBlue);
    pointer.DrawPointer(s.Canvas, false, 20, 20, 4, 4, plat::clBlue, psRectangle);
    EXPECT_EQ(s.At(16, 16), plat::clBlue);
    EXPECT_EQ(s.At(20, 20), plat::clBlue);
    pointer.Pen()->SetVisible(false);
    pointer.SetColor(plat::clLime);
    TSurface t(40, 40);
    pointer.PrepareCanvas(t.Canvas, plat::clBlue);
    pointer.DrawPointer(t.Canvas, false, 20, 20, 4, 4, plat::clBlue, psRectangle);
    EXPECT_EQ(t.At(20, 20), plat::clLime);
}

TEST(SeriesPointer, SizesAndMargins) {
    TSeriesPointer pointer(nullptr);
    for (int bad : {0, -2}) {
        try {
            pointer.SetHorizSize(bad);
            FAIL();
        } catch (const ChartException& e) {
            EXPECT_EQ(std::string(e.what()), "Pointer size must be greater than zero");
        }
        EXPECT_THROW(pointer.SetVertSize(bad), ChartException);
    }
    EXPECT_EQ(pointer.HorizSize(), 4);
    int left = 2, right = 9;
    pointer.PointerHorizMargins(left, right);
    EXPECT_EQ(left, 5);
    EXPECT_EQ(right, 9);
    pointer.SetInflateMargins(false);
    left = 0;
    pointer.PointerHorizMargins(left, right);
    EXPECT_EQ(left, 0);
    pointer.SetInflateMargins(true);
    pointer.SetVisible(false);
    int top = 0, bottom = 0;
    pointer.PointerVertMargins(top, bottom);
    EXPECT_EQ(top, 0);
    pointer.ChangeHorizSize(0);
    EXPECT_EQ(pointer.HorizSize(), 0);
}

TEST(Callout, SymbolAtTheTargetOnlyWithoutAHead) {
    for (TArrowHeadStyle head : {ahNone, ahSolid}) {
        TMarksChart c;
        TChartSeries* series = c.Add();
        TMarksCallout* callout = series->Marks()->Callout();
        callout->SetVisible(true);
        callout->Arrow()->SetVisible(false);
        callout->SetArrowHead(head);
        callout->SetColor(AutoColor);
        callout->DrawCallout(plat::clRed, TPoint(200, 150), 0, TPoint(200, 100));
        const int red = c.Count(plat::clRed, TRect(190, 140, 211, 161));
        if (head == ahNone)
            EXPECT_GT(red, 20);
        else
            EXPECT_EQ(red, 0);
    }
}

// --- Streaming --------------------------------------------------------------------------------------

TEST(MarksStream, UntouchedValuesAreNotWritten) {
    TMarksHolder holder;
    const std::string text = plat::WriteComponentToText(&holder);
    for (const char* name :
         {"Angle",     "Arrow",  "Callout", "BackColor",      "Clip",         "Color",     "DrawEvery",
          "MultiLine", "Style",  "Symbol",  "Visible",        "Shadow",       "Gradient",  "HorizSize",
          "VertSize",  "Dark3D", "Draw3D",  "InflateMargins", "Transparency", "TextFormat"})
        EXPECT_EQ(text.find(name), std::string::npos) << name << " in\n" << text;
    // Writing must not create the parts made on first use.
    EXPECT_FALSE(holder.Marks()->HasCallout());
    EXPECT_FALSE(holder.Marks()->HasSymbol());
}

TEST(MarksStream, ChangedValuesReadBackTheSame) {
    TMarksHolder holder;
    TSeriesMarks* marks = holder.Marks();
    marks->SetAngle(90);
    marks->SetClip(true);
    marks->SetDrawEvery(3);
    marks->SetMultiLine(true);
    marks->SetStyle(smsXY);
    marks->SetVisible(true);
    marks->SetColor(plat::clYellow);
    marks->Shadow()->SetBothSizes(4);
    marks->Callout()->SetLength(20);
    marks->Callout()->SetVisible(true);
    marks->Callout()->SetStyle(psDiagCross);
    marks->Callout()->SetArrowHead(ahSolid);
    marks->Callout()->SetDistance(5);
    marks->Callout()->Arrow()->SetColor(plat::clBlack);
    marks->Symbol()->SetVisible(true);
    marks->Symbol()->SetBevelWidth(5);
    TSeriesPointer* pointer = holder.Pointer();
    pointer->SetStyle(psCircle);
    pointer->SetHorizSize(7);
    pointer->SetVertSize(2);
    pointer->SetDraw3D(false);
    pointer->SetInflateMargins(false);
    pointer->SetTransparency(40);
    pointer->SetVisible(false);
    pointer->Brush()->SetColor(plat::clRed);

    const std::string text = plat::WriteComponentToText(&holder);
    // Each value once, under its own name, never under the aliases.
    for (const char* name : {"BackColor", "ArrowLength", "Marks.Arrow.", "TextFormat"})
        EXPECT_EQ(text.find(name), std::string::npos) << name << " in\n" << text;
    EXPECT_NE(text.find("Style = smsXY"), std::string::npos) << text;
    EXPECT_NE(text.find("Style = psCircle"), std::string::npos) << text;

    TMarksHolder copy;
    plat::ReadComponentFromText(text, &copy);
    TSeriesMarks* m = copy.Marks();
    EXPECT_EQ(m->Angle(), 90);
    EXPECT_TRUE(m->Clip());
    EXPECT_EQ(m->DrawEvery(), 3);
    EXPECT_TRUE(m->MultiLine());
    EXPECT_EQ(m->Style(), smsXY);
    EXPECT_TRUE(m->Visible());
    EXPECT_EQ(m->Color(), plat::clYellow);
    EXPECT_EQ(m->Shadow()->HorizSize(), 4);
    ASSERT_TRUE(m->HasCallout());
    EXPECT_EQ(m->Callout()->Length(), 20);
    EXPECT_TRUE(m->Callout()->Visible());
    EXPECT_EQ(m->Callout()->Style(), psDiagCross);
    EXPECT_EQ(m->Callout()->ArrowHead(), ahSolid);
    EXPECT_EQ(m->Callout()->Distance(), 5);
    EXPECT_EQ(m->Callout()->Arrow()->Color(), plat::clBlack);
    ASSERT_TRUE(m->HasSymbol());
    EXPECT_TRUE(m->Symbol()->Visible());
    EXPECT_EQ(m->Symbol()->BevelWidth(), 5);
    TSeriesPointer* p = copy.Pointer();
    EXPECT_EQ(p->Style(), psCircle);
    EXPECT_EQ(p->HorizSize(), 7);
    EXPECT_EQ(p->VertSize(), 2);
    EXPECT_FALSE(p->Draw3D());
    EXPECT_TRUE(p->Dark3D());
    EXPECT_FALSE(p->InflateMargins());
    EXPECT_EQ(p->Transparency(), 40);
    EXPECT_FALSE(p->Visible());
    EXPECT_EQ(p->Brush()->Color(), plat::clRed);
    EXPECT_EQ(plat::WriteComponentToText(&copy), text);
}

TEST(MarksStream, OlderNamesStillRead) {
    TMarksHolder holder;
    plat::ReadComponentFromText("object Holder: TMarksHolder\n"
                                "  Marks.ArrowLength = 14\n"
                                "  Marks.Arrow.Color = clRed\n"
                                "  Marks.BackColor = clAqua\n"
                                "end\n",
                                &holder);
    EXPECT_EQ(holder.Marks()->Callout()->Length(), 14);
    EXPECT_EQ(holder.Marks()->Callout()->Arrow()->Color(), plat::clRed);
    EXPECT_EQ(holder.Marks()->Color(), plat::clAqua);
}

// --- The "Items" stream -----------------------------------------------------------------------------

namespace {

// Three points whose marks have their own look at points 0 and 2.
void GiveItems(TChartSeries& Series) {
    Series.SetName("Series1");
    for (int i = 0; i < 3; ++i)
        Series.Add(10 * (i + 1));
    TMarksItem* first = Series.Marks()->Item(0);
    first->Text()->Add("first");
    first->Text()->Add("second line");
    first->SetColor(plat::clYellow);
    first->Font()->SetSize(14);
    first->Font()->SetColor(plat::clRed);
    TMarksItem* third = Series.Marks()->Item(2);
    third->Text()->Add("third");
    third->SetColor(plat::clAqua);
    third->SetShapeStyle(fosRoundRectangle);
    third->SetTransparency(30);
}

void ExpectSameItems(TChartSeries& Read) {
    TMarksItems& items = Read.Marks()->Items();
    ASSERT_EQ(items.Count(), 3);
    EXPECT_TRUE(items.LoadingCustom());
    ASSERT_NE(items.Get(0), nullptr);
    EXPECT_EQ(Read.GetMarkText(0), "first\r\nsecond line");
    EXPECT_EQ(items.Get(0)->Color(), plat::clYellow);
    EXPECT_EQ(items.Get(0)->Font()->Size(), 14);
    EXPECT_EQ(items.Get(0)->Font()->Color(), plat::clRed);
    // The missing item was written with its defaults and comes back as such.
    ASSERT_NE(items.Get(1), nullptr);
    EXPECT_FALSE(items.Get(1)->HasText());
    EXPECT_EQ(items.Get(1)->Color(), plat::clInfoBk);
    ASSERT_NE(items.Get(2), nullptr);
    EXPECT_EQ(Read.GetMarkText(2), "third");
    EXPECT_EQ(items.Get(2)->Color(), plat::clAqua);
    EXPECT_EQ(items.Get(2)->ShapeStyle(), fosRoundRectangle);
    EXPECT_EQ(items.Get(2)->Transparency(), 30);
    EXPECT_EQ(items.Get(2)->Font()->Size(), Read.Marks()->Font()->Size());
}

} // namespace

TEST(MarksItemsStream, RoundTripsThroughTextAndBinary) {
    TChartSeries series(nullptr);
    GiveItems(series);
    const std::string text = plat::WriteComponentToText(&series);
    EXPECT_NE(text.find("Marks.Items = {"), std::string::npos) << text;
    {
        TChartSeries read(nullptr);
        plat::ReadComponentFromText(text, &read);
        ExpectSameItems(read);
        EXPECT_EQ(plat::WriteComponentToText(&read), text);
    }
    {
        plat::TMemoryStream stream;
        plat::WriteComponent(stream, &series);
        stream.SetPosition(0);
        TChartSeries read(nullptr);
        plat::ReadComponentFromStream(stream, &read);
        ExpectSameItems(read);
    }
}

TEST(MarksItemsStream, NotWrittenWithoutItems) {
    TChartSeries series(nullptr);
    series.SetName("Series1");
    series.Add(1);
    series.Marks()->SetVisible(true);
    const std::string text = plat::WriteComponentToText(&series);
    EXPECT_NE(text.find("Marks.Visible = True"), std::string::npos) << text;
    EXPECT_EQ(text.find("Items"), std::string::npos) << text;
}

TEST(MarksItemsStream, ReadItemsSurviveClearPointsAndMadeOnesDoNot) {
    TChartSeries series(nullptr);
    GiveItems(series);
    const std::string text = plat::WriteComponentToText(&series);
    TChartSeries read(nullptr);
    plat::ReadComponentFromText(text, &read);
    read.ClearPoints();
    read.Add(5);
    EXPECT_EQ(read.GetMarkText(0), "first\r\nsecond line");

    series.ClearPoints();
    series.Add(5);
    EXPECT_EQ(series.GetMarkText(0), "5");
}

TEST(MarksItemsStream, DamagedBlocksRaiseReadErrors) {
    const struct {
        const char* What;
        const char* Block;
    } cases[] = {
        {"count cut short", "0100"},    {"more items than data", "05000000"},
        {"huge count", "FFFFFFFF0100"}, {"item list cut short", "01000000010543"},
        {"not a list", "010000000200"}, {"unknown item property", "0100000001054465707468020300"},
    };
    for (const auto& c : cases) {
        TChartSeries series(nullptr);
        const std::string text =
            std::string("object Series1: TChartSeries\n  Marks.Items = {") + c.Block + "}\nend\n";
        EXPECT_THROW(plat::ReadComponentFromText(text, &series), plat::EReadError) << c.What;
    }
}

// --- Published marks and the callout brush --------------------------------------------------------

TEST(SeriesPublishing, LineSeriesMarksRoundTrip) {
    TLineSeries series(nullptr);
    series.SetName("Line1");
    TSeriesMarks* marks = series.Marks();
    marks->SetVisible(true);
    marks->SetStyle(smsValue);
    marks->Font()->SetSize(11);
    marks->Callout()->SetLength(12);
    marks->Callout()->Arrow()->SetColor(plat::clBlue);
    const std::string text = plat::WriteComponentToText(&series);
    for (const char* line : {"Marks.Visible = True", "Marks.Style = smsValue", "Marks.Font.Height",
                             "Marks.Callout.Length = 12", "Marks.Callout.Arrow.Color = clBlue"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;

    TLineSeries read(nullptr);
    plat::ReadComponentFromText(text, &read);
    EXPECT_TRUE(read.Marks()->Visible());
    EXPECT_EQ(read.Marks()->Style(), smsValue);
    EXPECT_EQ(read.Marks()->Font()->Size(), 11);
    EXPECT_EQ(read.Marks()->Callout()->Length(), 12);
    EXPECT_EQ(read.Marks()->Callout()->Arrow()->Color(), plat::clBlue);
    EXPECT_EQ(plat::WriteComponentToText(&read), text);
}

TEST(CalloutBrush, BlackIsNotWrittenOtherColoursRoundTrip) {
    TLineSeries series(nullptr);
    series.SetName("Line1");
    series.Marks()->Callout(); // made on first drawing
    EXPECT_EQ(series.Marks()->Callout()->Brush()->Color(), plat::clBlack);
    EXPECT_EQ(plat::WriteComponentToText(&series).find("Brush"), std::string::npos)
        << plat::WriteComponentToText(&series);

    // Also the brush class's own default (automatic) differs from the callout's and must be kept.
    for (TColor colour : {TColor(plat::clRed), AutoColor}) {
        series.Marks()->Callout()->Brush()->SetColor(colour);
        const std::string text = plat::WriteComponentToText(&series);
        EXPECT_NE(text.find("Marks.Callout.Brush.Color"), std::string::npos) << text;
        TLineSeries read(nullptr);
        plat::ReadComponentFromText(text, &read);
        EXPECT_EQ(read.Marks()->Callout()->Brush()->Color(), colour);
    }
}

TEST(CalloutBrush, OtherBrushesKeepTheirClassDefaults) {
    TChartBrush plain;
    EXPECT_FALSE(plain.IsColorStored());
    plain.SetColor(plat::clBlack);
    EXPECT_TRUE(plain.IsColorStored());
    TPlotZoomBrush zoom;
    EXPECT_FALSE(zoom.IsColorStored());
    zoom.SetColor(AutoColor);
    EXPECT_TRUE(zoom.IsColorStored());
}
