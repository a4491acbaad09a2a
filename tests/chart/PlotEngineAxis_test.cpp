// The axes of a chart: the standard and custom axes, their lists, ranges that follow the series or a
// master axis, settings read from a stream, and what is written back; and an axis with no chart at all.
#include <gtest/gtest.h>

#include "PlotEngineAxisTestUtil.h"
#include "platform/rtl/PropertyInfo.h"

namespace {

using namespace axistest;

TEST(ChartAxes, StandardAxesInListOrder) {
    TAxisChart t;
    TChartAxes* axes = t.Chart->Axes();
    ASSERT_EQ(axes->Count(), 6);
    EXPECT_EQ(axes->ChartBottomAxis(), t.Chart->BottomAxis());
    EXPECT_EQ(axes->ChartTopAxis(), t.Chart->TopAxis());
    EXPECT_EQ(axes->ChartLeftAxis(), t.Chart->LeftAxis());
    EXPECT_EQ(axes->ChartRightAxis(), t.Chart->RightAxis());
    EXPECT_EQ(axes->ChartDepthAxis(), t.Chart->DepthAxis());
    EXPECT_EQ(axes->ChartDepthTopAxis(), t.Chart->DepthTopAxis());
    EXPECT_TRUE(t.Bottom()->Horizontal());
    EXPECT_FALSE(t.Left()->Horizontal());
    EXPECT_TRUE(t.Chart->RightAxis()->OtherSide());
    EXPECT_EQ(t.Left()->Title()->Angle(), 90);
    EXPECT_TRUE(t.Chart->DepthAxis()->IsDepthAxis());
    EXPECT_FALSE(t.Chart->DepthAxis()->Visible());
    EXPECT_EQ(t.Bottom()->ParentChart(), t.Chart.get());
    EXPECT_EQ(t.Bottom()->AxisValuesFormat(), "#,##0.###");

    // Behind and visible are the chart's switches.
    axes->SetBehind(false);
    EXPECT_FALSE(t.Chart->AxisBehind());
    axes->SetVisible(false);
    EXPECT_FALSE(axes->GetVisible());
}

TEST(ChartAxes, CustomAxesJoinAndLeaveTheList) {
    TAxisChart t;
    auto* custom = static_cast<TChartAxis*>(t.Chart->CustomAxes()->Add());
    EXPECT_EQ(t.Chart->Axes()->Count(), 7);
    EXPECT_EQ(t.Chart->CustomAxes()->AxisAt(0), custom);
    EXPECT_EQ(custom->ParentChart(), t.Chart.get());

    // A series on the custom axis goes back to the left axis when the axis goes.
    auto* s = new TChartSeries(nullptr);
    t.Chart->AddSeries(s);
    s->SetCustomVertAxis(custom);
    EXPECT_EQ(s->GetVertAxis(), custom);
    t.Chart->CustomAxes()->Delete(0);
    EXPECT_EQ(t.Chart->Axes()->Count(), 6);
    EXPECT_EQ(s->VertAxis(), aLeftAxis);
    EXPECT_EQ(s->GetVertAxis(), t.Left());
}

TEST(ChartAxes, MasterAxesPassTheirRangeOn) {
    TAxisChart t;
    auto* c1 = static_cast<TChartAxis*>(t.Chart->CustomAxes()->Add());
    auto* c2 = static_cast<TChartAxis*>(t.Chart->CustomAxes()->Add());
    c1->SetMasterAxis(t.Bottom());
    t.Bottom()->SetAxisRange(3, 4);
    EXPECT_EQ(c1->Minimum(), 3);
    EXPECT_EQ(c1->Maximum(), 4);
    EXPECT_FALSE(c1->Automatic());
    EXPECT_EQ(c2->Maximum(), 0);

    // A cycle of masters ends.
    c1->SetMasterAxis(c2);
    c2->SetMasterAxis(c1);
    c1->SetAxisRange(7, 9);
    EXPECT_EQ(c2->Minimum(), 7);
    EXPECT_EQ(c2->Maximum(), 9);
    // An axis that follows itself as well.
    c1->SetMasterAxis(c1);
    c1->SetAxisRange(1, 2);
    EXPECT_EQ(c1->Maximum(), 2);

    // A freed master is forgotten.
    t.Chart->CustomAxes()->Delete(1);
    EXPECT_EQ(c1->MasterAxis(), c1);
    c1->SetMasterAxis(nullptr);
}

TEST(ChartAxes, DepthAxesInvertTogether) {
    TAxisChart t;
    t.Chart->DepthAxis()->SetInverted(true);
    EXPECT_TRUE(t.Chart->DepthTopAxis()->Inverted());
    t.Chart->DepthTopAxis()->SetInverted(false);
    EXPECT_FALSE(t.Chart->DepthAxis()->Inverted());
    // Other axes are on their own.
    t.Bottom()->SetInverted(true);
    EXPECT_FALSE(t.Chart->TopAxis()->Inverted());
}

TEST(ChartAxes, FastCalculationSkipsTheClamp) {
    TAxisChart t;
    TChartAxis* a = t.Bottom();
    a->SetPixels(0, 400);
    a->SetRange(0, 1);
    EXPECT_EQ(a->ValueToPixel(1e12), TChartAxis::PixelClampLimit);
    t.Chart->Axes()->SetFastCalc(true);
    EXPECT_GT(a->ValueToPixel(1e7), TChartAxis::PixelClampLimit);
    EXPECT_EQ(a->ValueToPixel(0.5), 200);
}

TEST(ChartAxes, RangesFollowTheSeries) {
    TAxisChart t;
    auto* s = new TChartSeries(nullptr);
    t.Chart->AddSeries(s);
    for (int i = 0; i < 10; ++i)
        s->AddXY(i, i * i);
    t.Bottom()->UpdateRange();
    t.Left()->UpdateRange();
    EXPECT_EQ(t.Bottom()->Minimum(), 0);
    EXPECT_EQ(t.Bottom()->Maximum(), 9);
    EXPECT_EQ(t.Left()->RangeMax(), 81);
    EXPECT_EQ(t.Left()->CalcLabelStyle(), talValue);
    EXPECT_EQ(t.Chart->RightAxis()->CalcLabelStyle(), talNone);

    // Checked scrolling moves only toward data beyond the range.
    t.Bottom()->SetAxisRange(0, 5);
    t.Bottom()->ScrollBy(2, true);
    EXPECT_EQ(t.Bottom()->Minimum(), 2);
    EXPECT_EQ(t.Bottom()->Maximum(), 7);
    t.Bottom()->SetAxisRange(0, 9);
    t.Bottom()->ScrollBy(2, true);
    EXPECT_EQ(t.Bottom()->Maximum(), 9);

    // Date-time values decide the axis kind and refuse the logarithmic mapping.
    s->XValues()->SetDateTime(true);
    EXPECT_TRUE(t.Bottom()->HasDateTimeValues());
    EXPECT_FALSE(t.Left()->HasDateTimeValues());
    try {
        t.Bottom()->SetLogarithmic(true);
        FAIL() << "no exception";
    } catch (const AxisException& e) {
        EXPECT_EQ(e.Message(), "DateTime Axis cannot be Logarithmic");
    }
    t.Left()->SetLogarithmic(true);
    EXPECT_TRUE(t.Left()->Logarithmic());
}

TEST(ChartAxes, PositionsFromTheChartRectangle) {
    TAxisChart t(400, 300, 40); // chart rectangle 40, 40, 360, 260
    TChartAxis* b = t.Bottom();
    b->SetStartPosition(25);
    b->SetEndPosition(75);
    b->CalcPositions();
    EXPECT_EQ(b->StartPixel(), 120);
    EXPECT_EQ(b->EndPixel(), 280);
    TChartAxis* l = t.Left();
    l->CalcPositions();
    EXPECT_EQ(l->StartPixel(), 40);
    EXPECT_EQ(l->EndPixel(), 260);
    // The depth position of an axis is a percentage of the chart depth.
    t.Chart->SetWidth3D(40);
    l->SetZPosition(50);
    l->UpdateScales();
    EXPECT_EQ(l->ZPixel(), 20);
    EXPECT_EQ(l->DepthPosition(), 20);
}

TEST(ChartAxes, StreamedValuesSkipTheChecks) {
    TAxisChart t;
    TChartAxis* a = t.Bottom();
    a->SetAxisRange(0, 10);
    t.Chart->SetComponentStateFlags(csLoading, true);
    a->SetMinimum(20);
    EXPECT_EQ(a->Minimum(), 20);
    a->SetAutomaticMinimum(false);
    a->SetAutomaticMaximum(false);
    a->SetAutomatic(true);
    EXPECT_FALSE(a->AutomaticMinimum());
    EXPECT_FALSE(a->AutomaticMaximum());
    t.Chart->SetComponentStateFlags(csLoading, false);
    EXPECT_THROW(a->SetMinimum(30), AxisException);
}

TEST(ChartAxes, WhatIsWritten) {
    TAxisChart t;
    auto stored = [](TObject* a, const char* name) { return GetPropInfo(a, name)->IsStored(a); };
    TChartAxis* b = t.Bottom();
    EXPECT_FALSE(stored(b, "Minimum"));
    EXPECT_FALSE(stored(b, "Maximum"));
    b->SetAutomaticMinimum(false);
    EXPECT_TRUE(stored(b, "Minimum"));
    EXPECT_FALSE(stored(b, "Maximum"));
    EXPECT_FALSE(stored(b, "AxisValuesFormat"));
    b->SetAxisValuesFormat("0.0");
    EXPECT_TRUE(stored(b, "AxisValuesFormat"));
    // Only custom axes write their orientation.
    EXPECT_FALSE(stored(b, "Horizontal"));
    auto* custom = static_cast<TChartAxis*>(t.Chart->CustomAxes()->Add());
    EXPECT_TRUE(stored(custom, "Horizontal"));
    // ZPosition: never on depth axes, off 100 on the far side, above 0.011 elsewhere.
    EXPECT_FALSE(stored(t.Chart->TopAxis(), "ZPosition"));
    t.Chart->TopAxis()->SetZPosition(50);
    EXPECT_TRUE(stored(t.Chart->TopAxis(), "ZPosition"));
    b->SetZPosition(0); // stored as 0.01
    EXPECT_FALSE(stored(b, "ZPosition"));
    b->SetZPosition(0.5);
    EXPECT_TRUE(stored(b, "ZPosition"));
    t.Chart->DepthAxis()->SetZPosition(30);
    EXPECT_FALSE(stored(t.Chart->DepthAxis(), "ZPosition"));
    // The titles of the side axes keep their own default angle.
    EXPECT_FALSE(stored(t.Left()->Title(), "Angle"));
    t.Left()->Title()->SetAngle(0);
    EXPECT_TRUE(stored(t.Left()->Title(), "Angle"));
    // Depth axes are hidden by default.
    EXPECT_TRUE(IsDefaultPropValue(t.Bottom(), GetPropInfo(t.Bottom(), "Visible")));
    EXPECT_TRUE(IsDefaultPropValue(t.Chart->DepthAxis(), GetPropInfo(t.Chart->DepthAxis(), "Visible")));
}

// With no chart there is no canvas, no series and no list of axes: whatever the axis would ask of a chart
// is answered as by a chart without series, and nothing is drawn.
TEST(FreeAxis, PlacesLabelsAndDrawsWithoutAChart) {
    TChartAxis a(static_cast<TCustomAxisPanel*>(nullptr));
    a.SetHorizontal(true);
    a.SetMaximum(100);
    a.UpdateRange(); // no series to take an automatic range from
    EXPECT_EQ(a.Maximum(), 100);
    EXPECT_EQ(a.Minimum(), 0);
    a.CalcPositions(); // no chart rectangle: the pixels stay
    a.SetPixels(0, 400);
    EXPECT_EQ(a.ValueToPixel(25), 100);
    EXPECT_EQ(a.DepthPosition(), 0);
    EXPECT_TRUE(a.IsHorizontalStored());

    EXPECT_FALSE(a.HasDateTimeValues());
    EXPECT_EQ(a.CalcLabelStyle(), talNone);
    EXPECT_EQ(a.LabelText(5), "5");
    EXPECT_EQ(a.MaxLabelsWidth(), 0);
    EXPECT_EQ(a.MeasureLabelsSpace(), 0);
    const std::vector<double> values = a.LabelValues();
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.front(), 100);
    EXPECT_EQ(values.back(), 0);

    // Only the line and the ticks take room: nothing can be measured.
    a.Title()->SetCaption("Title");
    TRect r(0, 0, 400, 300);
    a.ComputeAxisRect(r, true);
    EXPECT_EQ(r, TRect(0, 0, 400, 300 - a.MeasureTicksSpace()));

    a.SetIsShown(true);
    a.SetAxisPixel(300);
    a.SetLabelsPixel(310);
    EXPECT_TRUE(a.Clicked(200, 305));
    a.DrawAxisLabels(true);
    a.DrawAxisLinesAndGrid();
    a.DrawGridLine(200);
    a.DrawTitle(200, 320);
    EXPECT_TRUE(a.TickPositions().empty());

    a.Items()->Add(50, "half");
    a.Items()->Clear();
    a.ScrollBy(10, false);
    EXPECT_EQ(a.Maximum(), 110);

    TChartDepthAxis depth(static_cast<TCustomAxisPanel*>(nullptr));
    EXPECT_EQ(depth.CalcLabelStyle(), talText);
    depth.SetInverted(true);
    EXPECT_TRUE(depth.Inverted());
}

} // namespace
