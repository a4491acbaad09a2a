// The drag-marks tool: which mark a press picks, how a drag moves it for good, and the events around it.
#include <gtest/gtest.h>

#include "PlotToolsTestUtil.h"

using namespace plat;
using namespace chart;
using namespace charttest;

namespace {

struct DragMarksFixture : ::testing::Test {
    TToolChart Picture;
    TDotSeries* A = nullptr;
    TDotSeries* B = nullptr;
    TDragMarksTool* Tool = new TDragMarksTool(nullptr);
    std::vector<std::string> Log;

    DragMarksFixture() {
        A = Picture.AddDots(11, 0, 1, "A");
        B = Picture.AddDots(11, 0, 1, "B"); // the same points: B's marks lie over A's
        for (TDotSeries* s : {A, B})
            s->Marks()->SetVisible(true);
        Tool->SetParentChart(Picture.Chart.get());
        Tool->OnDraggingMark = [this](TDragMarksTool* T, int Index, TMouseButton, TShiftState, int, int) {
            Log.push_back(T->DraggedSeries()->Title() + " dragging " + std::to_string(Index));
        };
        Tool->OnDraggedMark = [this](TDragMarksTool* T, int Index, TMouseButton, TShiftState, int, int) {
            Log.push_back(T->DraggedSeries()->Title() + " dragged " + std::to_string(Index));
        };
        Picture.Render();
    }
    ~DragMarksFixture() override { delete Tool; }

    TRect MarkOf(TChartSeries* S, int Index) {
        TSeriesMarkPosition* p = S->Marks()->Positions().Position(Index);
        return p != nullptr ? S->Marks()->PositionRect(*p) : TRect();
    }
    TPoint CentreOf(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }
};

TEST_F(DragMarksFixture, APressPicksTheTopmostMarkAndABareClickMovesNothing) {
    const TRect mark = MarkOf(B, 4);
    ASSERT_GT(mark.Right, mark.Left) << "the marks were drawn";
    Picture.Mouse(cmeDown, CentreOf(mark));
    EXPECT_TRUE(Picture.Chart->CancelMouse()) << "no zoom or click events for this press";
    EXPECT_EQ(Tool->DraggedSeries(), B) << "the later series' mark lies on top";
    EXPECT_EQ(Tool->DraggedIndex(), 4);
    Picture.Mouse(cmeUp, CentreOf(mark));
    EXPECT_EQ(Log, std::vector<std::string>{"B dragged 4"});
    EXPECT_EQ(Tool->DraggedIndex(), -1);
    EXPECT_FALSE(B->Marks()->Positions().Position(4)->Custom);
    EXPECT_EQ(MarkOf(B, 4), mark);

    // Beside every mark the press is left to the chart.
    Picture.Mouse(cmeDown, Picture.Rect().Right - 2, Picture.Rect().Bottom - 2);
    EXPECT_FALSE(Picture.Chart->CancelMouse());
    EXPECT_EQ(Tool->DraggedIndex(), -1);
}

TEST_F(DragMarksFixture, ADraggedMarkKeepsItsNewPlaceThroughRedrawsAndZoom) {
    TSeriesMarkPosition before = *B->Marks()->Positions().Position(6);
    const TPoint grab = CentreOf(MarkOf(B, 6));
    Picture.Mouse(cmeDown, grab);
    Picture.Mouse(cmeMove, grab.X + 4, grab.Y + 2);
    Picture.Mouse(cmeMove, grab.X + 10, grab.Y + 5);
    Picture.Mouse(cmeUp, grab.X + 10, grab.Y + 5);
    EXPECT_EQ(Log, (std::vector<std::string>{"B dragging 6", "B dragging 6", "B dragged 6"}));
    for (int pass = 0; pass < 2; ++pass) {
        const TSeriesMarkPosition* after = B->Marks()->Positions().Position(6);
        ASSERT_NE(after, nullptr);
        EXPECT_TRUE(after->Custom);
        EXPECT_EQ(after->LeftTop, TPoint(before.LeftTop.X + 10, before.LeftTop.Y + 5)) << pass;
        EXPECT_EQ(after->ArrowTo, TPoint(before.ArrowTo.X + 10, before.ArrowTo.Y + 5)) << pass;
        EXPECT_EQ(after->ArrowFrom, before.ArrowFrom) << "the arrow still starts at the point";
        Picture.Render();
    }
    Picture.Bottom()->SetAxisRange(2, 9);
    Picture.Render();
    EXPECT_TRUE(B->Marks()->Positions().Position(6)->Custom);
}

TEST_F(DragMarksFixture, ASeriesToolTouchesOnlyItsSeriesMarks) {
    Tool->SetSeries(A);
    const TRect mark = MarkOf(B, 3);
    Picture.Mouse(cmeDown, CentreOf(mark));
    EXPECT_EQ(Tool->DraggedSeries(), A) << "the mark of A under B's";
    Picture.Mouse(cmeUp, CentreOf(mark));
    B->Marks()->SetVisible(true);
    A->Marks()->SetVisible(false);
    Picture.Mouse(cmeMove, CentreOf(mark));
    EXPECT_FALSE(Picture.Chart->CancelMouse()) << "hidden marks show no hand";
    Tool->SetSeries(nullptr);
    Picture.Mouse(cmeMove, CentreOf(mark));
    EXPECT_TRUE(Picture.Chart->CancelMouse());
    EXPECT_EQ(Picture.Chart->Cursor(), crHandPoint);
}

TEST_F(DragMarksFixture, ASeriesFreedDuringADragEndsIt) {
    const TPoint grab = CentreOf(MarkOf(B, 5));
    Picture.Mouse(cmeDown, grab);
    ASSERT_EQ(Tool->DraggedSeries(), B);
    Picture.Chart->RemoveSeries(B);
    delete B;
    B = nullptr;
    EXPECT_EQ(Tool->DraggedIndex(), -1);
    Picture.Mouse(cmeMove, grab.X + 10, grab.Y);
    Picture.Mouse(cmeUp, grab.X + 10, grab.Y);
    EXPECT_TRUE(Log.empty());
}

TEST(DragMarksPicture, AMarkMovedAwayFromItsPoint) {
    TToolChart picture;
    TDotSeries* s = picture.AddDots(11, 0, 1, "Frame");
    s->Marks()->SetVisible(true);
    s->Marks()->SetDrawEvery(2);
    s->Marks()->Arrow()->SetColor(clBlack);
    TDragMarksTool tool(nullptr);
    tool.SetParentChart(picture.Chart.get());
    picture.Render();
    TSeriesMarkPosition* p = s->Marks()->Positions().Position(6);
    ASSERT_NE(p, nullptr);
    const TRect r = s->Marks()->PositionRect(*p);
    const TPoint grab((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    picture.Mouse(cmeDown, grab);
    picture.Mouse(cmeMove, grab.X + 40, grab.Y + 60);
    picture.Mouse(cmeUp, grab.X + 40, grab.Y + 60);
    picture.Render();
    SaveToolPng(picture.Target, "drag-marks.png");
    EXPECT_TRUE(s->Marks()->Positions().Position(6)->Custom);
}

} // namespace
