// Titles and walls: how titles take their room from the plotting area, stack, align and place their
// lines; custom-positioned titles; the back wall in 2D; the walls in 3D.
#include "chart/ChartWalls.h"

#include <gtest/gtest.h>

#include "ChartTestUtil.h"
#include "platform/rtl/FormText.h"

using namespace plat;
using namespace chart;
using namespace charttest;

namespace {

class TitlesTest : public ::testing::Test {
protected:
    TChartPicture P;
    TChart* Chart = P.Chart.get();

    void SetUp() override {
        Chart->SetAxisVisible(false);
        P.AddDots(5);
        Chart->Legend()->SetVisible(false);
    }
    // ChartRect of a draw without any title.
    TRect Bare() {
        P.Render();
        return Chart->ChartRect();
    }
    static void NoFrame(TChartTitle* Title) { Title->Frame()->SetVisible(false); }
};

TEST_F(TitlesTest, TitleTakesItsHeightAndAnEmptyOneNone) {
    const TRect bare = Bare();
    ASSERT_TRUE(Chart->Title()->Visible());
    ASSERT_EQ(Chart->Title()->Text()->Count(), 0);

    NoFrame(Chart->Title());
    Chart->Title()->SetCaption("Spectrum");
    P.Render();
    const TRect& box = Chart->Title()->ShapeBounds();
    EXPECT_EQ(box.Top, bare.Top);
    EXPECT_GT(box.Bottom, box.Top);
    EXPECT_EQ(Chart->ChartRect().Top, box.Bottom + ChartTitleDistance);
    EXPECT_EQ(Chart->ChartRect().Bottom, bare.Bottom);
    EXPECT_GT(P.Ink(box), 0) << "the caption is drawn";

    // Lines without text: no room taken, no click.
    Chart->Title()->Text()->Clear();
    P.Render();
    EXPECT_EQ(Chart->ChartRect(), bare);
    EXPECT_FALSE(Chart->Title()->TitleClicked(box.Left + 1, box.Top + 1));
}

TEST_F(TitlesTest, TopTitlesStackAndFootTitlesRiseFromTheBottom) {
    const TRect bare = Bare();
    for (TChartTitle* t : {Chart->Title(), Chart->SubTitle(), Chart->Foot(), Chart->SubFoot()})
        NoFrame(t);
    Chart->Title()->SetCaption("Title");
    Chart->SubTitle()->SetCaption("Sub title");
    Chart->Foot()->SetCaption("Foot");
    Chart->SubFoot()->SetCaption("Sub foot");
    P.Render();
    const TRect& title = Chart->Title()->ShapeBounds();
    const TRect& sub = Chart->SubTitle()->ShapeBounds();
    const TRect& foot = Chart->Foot()->ShapeBounds();
    const TRect& subFoot = Chart->SubFoot()->ShapeBounds();
    EXPECT_EQ(sub.Top, title.Bottom + ChartTitleDistance);
    EXPECT_EQ(Chart->ChartRect().Top, sub.Bottom + ChartTitleDistance);
    const int lh = foot.Bottom - foot.Top;
    EXPECT_EQ(foot.Bottom, bare.Bottom);
    EXPECT_EQ(subFoot.Bottom, foot.Top - ChartTitleDistance);
    EXPECT_EQ(Chart->ChartRect().Bottom, subFoot.Top - ChartTitleDistance);
    EXPECT_EQ(subFoot.Bottom - subFoot.Top, lh);
    // Title blue, foot red italic by default.
    EXPECT_EQ(Chart->Title()->Font()->Color(), clBlue);
    EXPECT_EQ(Chart->Foot()->Font()->Color(), clRed);
    EXPECT_EQ(Chart->Foot()->Font()->Style(), fsItalic);
}

TEST_F(TitlesTest, FootDrawsItsFirstLineAtTheBottom) {
    TChartTitle* foot = Chart->Foot();
    NoFrame(foot);
    foot->SetAlignment(taLeftJustify);
    foot->SetAdjustFrame(false);
    foot->Text()->Add("WWWWWWWWWWWWWWWW");
    foot->Text()->Add("i");
    P.Render();
    const TRect& box = foot->ShapeBounds();
    const int mid = (box.Top + box.Bottom) / 2;
    const int upper = P.Ink(TRect(box.Left, box.Top, box.Right, mid));
    const int lower = P.Ink(TRect(box.Left, mid, box.Right, box.Bottom));
    EXPECT_GT(lower, 4 * upper) << "the wide first line is the lower one";
}

TEST_F(TitlesTest, AdjustFrameAndAlignmentPlaceTheBox) {
    TChartTitle* t = Chart->Title();
    NoFrame(t);
    t->SetCaption("Title");
    t->SetTransparent(false);
    P.Render();
    const TRect centred = t->ShapeBounds();
    const TRect cr = Chart->ChartRect();
    const int centre = (cr.Left + cr.Right) / 2;
    EXPECT_LT(centred.Right - centred.Left, (cr.Right - cr.Left) / 2);
    EXPECT_NEAR((centred.Left + centred.Right) / 2, centre, 1);

    t->SetAlignment(taLeftJustify);
    P.Render();
    EXPECT_EQ(t->ShapeBounds().Left, cr.Left);
    t->SetAlignment(taRightJustify);
    P.Render();
    EXPECT_EQ(t->ShapeBounds().Right, cr.Right);

    // Without AdjustFrame the opaque box spans the plotting width and the text sits right inside it.
    t->SetAdjustFrame(false);
    P.Render();
    EXPECT_EQ(t->ShapeBounds().Left, cr.Left);
    EXPECT_EQ(t->ShapeBounds().Right, cr.Right);
    const TRect& box = t->ShapeBounds();
    const int half = (box.Left + box.Right) / 2;
    EXPECT_EQ(P.Ink(TRect(box.Left + 2, box.Top + 1, half, box.Bottom - 1)), 0);
    EXPECT_GT(P.Ink(TRect(half, box.Top + 1, box.Right - 1, box.Bottom - 1)), 0);
}

TEST_F(TitlesTest, CustomPositionedTitleDrawsOverTheSeriesAndKeepsChartRect) {
    const TRect bare = Bare();
    // An opaque back wall: a title drawn before it would vanish under it.
    Chart->BackWall()->SetTransparent(false);
    Chart->BackWall()->SetColor(clBlue);
    TChartTitle* t = Chart->Title();
    t->SetCaption("Here");
    t->SetTransparent(false);
    t->SetColor(clRed);
    t->SetLeft(bare.Left + 40);
    t->SetTop(bare.Top + 40);
    EXPECT_TRUE(t->CustomPosition());
    P.Render();
    EXPECT_EQ(Chart->ChartRect(), bare);
    EXPECT_EQ(t->ShapeBounds().Left, bare.Left + 40);
    EXPECT_EQ(t->ShapeBounds().Top, bare.Top + 40);
    const TRect& box = t->ShapeBounds();
    EXPECT_EQ(P.At(box.Left + 2, (box.Top + box.Bottom) / 2), clRed);
    EXPECT_TRUE(t->TitleClicked(bare.Left + 40, bare.Top + 40)) << "edges included";
}

TEST(TitleStreamTest, StreamsTextAndKeepsDefaultsOut) {
    TChart chart(nullptr);
    chart.Title()->SetCaption("A");
    chart.Title()->SetAlignment(taLeftJustify);
    const std::string text = WriteComponentToText(&chart);
    EXPECT_NE(text.find("Title.Alignment = taLeftJustify"), std::string::npos) << text;
    EXPECT_NE(text.find("Title.Text.Strings"), std::string::npos) << text;
    EXPECT_EQ(text.find("Foot.Font.Color"), std::string::npos) << "the red default is not written";
    EXPECT_EQ(text.find("BackWall.Color"), std::string::npos) << text;

    TChart copy(nullptr);
    ReadComponentFromText(text, &copy);
    EXPECT_EQ(copy.Title()->Caption(), "A");
    EXPECT_EQ(copy.Title()->Alignment(), taLeftJustify);

    // The settings of older forms and the palette index.
    TChart old(nullptr);
    ReadComponentFromText("object Chart1: TChart\n"
                          "  BackColor = clRed\n"
                          "  ColorPaletteIndex = 3\n"
                          "  Legend.Alignment = laBottom\n"
                          "  LeftWall.Size = 4\n"
                          "end\n",
                          &old);
    EXPECT_EQ(old.BackWall()->Color(), clRed);
    EXPECT_EQ(old.ColorPaletteIndex(), 3);
    EXPECT_FALSE(old.ColorPalette().empty());
    EXPECT_EQ(old.Legend()->Alignment(), laBottom);
    EXPECT_EQ(old.LeftWall()->Size(), 4);
    EXPECT_NE(WriteComponentToText(&old).find("ColorPaletteIndex = 3"), std::string::npos);
}

// --- Walls ------------------------------------------------------------------------------------------

TEST(WallsTest, DefaultsOfTheFourWalls) {
    TChart chart(nullptr);
    EXPECT_EQ(chart.BackWall()->Color(), clSilver);
    EXPECT_TRUE(chart.BackWall()->Transparent());
    EXPECT_EQ(chart.BottomWall()->Color(), clWhite);
    EXPECT_EQ(chart.LeftWall()->Color(), TColor(0x80FFFF));
    EXPECT_FALSE(chart.RightWall()->Visible());
    EXPECT_TRUE(chart.LeftWall()->Dark3D());
    EXPECT_EQ(chart.Frame(), chart.BackWall()->Pen());
    chart.Walls()->SetSize(4);
    EXPECT_EQ(chart.LeftWall()->Size(), 4);
    EXPECT_EQ(chart.RightWall()->Size(), 4);
    EXPECT_EQ(chart.BackWall()->Size(), 4);
    EXPECT_EQ(chart.BottomWall()->Size(), 4);
    // The back colour is the panel's while the back wall is transparent.
    chart.SetColor(clYellow);
    EXPECT_EQ(chart.GetBackColor(), clYellow);
    chart.BackWall()->SetTransparent(false);
    EXPECT_EQ(chart.GetBackColor(), clSilver);
}

TEST(WallsTest, BackWallIn2DIsOnePixelWiderAndTallerThanChartRect) {
    TChartPicture p;
    p.Chart->SetAxisVisible(false);
    p.Chart->Legend()->SetVisible(false);
    p.AddDots(3);
    p.Chart->BackWall()->SetTransparent(false);
    p.Chart->BackWall()->SetColor(clBlue);
    p.Chart->BackWall()->Pen()->SetColor(clRed);
    p.Render();
    const TRect r = p.Chart->ChartRect();
    const int midY = (r.Top + r.Bottom) / 2, midX = (r.Left + r.Right) / 2;
    EXPECT_EQ(p.At(r.Left, midY), clRed);
    EXPECT_EQ(p.At(r.Right, midY), clRed);
    EXPECT_EQ(p.At(r.Right + 1, midY), clWhite);
    EXPECT_EQ(p.At(midX, r.Bottom), clRed);
    EXPECT_EQ(p.At(midX, r.Bottom + 1), clWhite);
    EXPECT_EQ(p.At(midX + 20, midY + 20), clBlue);
}

TEST(WallsTest, ThreeDimensionalWallsTakeTheirDepth) {
    TChartPicture p;
    p.AddDots(10);
    p.Chart->Legend()->SetVisible(false);
    p.Render();
    const TRect flat = p.Chart->ChartRect();
    p.Chart->SetView3D(true);
    p.Chart->Walls()->SetSize(3);
    p.Chart->RightWall()->SetVisible(true);
    p.Chart->BackWall()->SetTransparent(false);
    p.Render();
    EXPECT_GT(p.Chart->Width3D(), 0);
    EXPECT_LT(p.Chart->ChartRect().Right, flat.Right);
    EXPECT_EQ(p.Chart->WallSizeOf(p.Chart->LeftAxis()), 3);
    p.Chart->LeftWall()->SetVisible(false);
    EXPECT_EQ(p.Chart->WallSizeOf(p.Chart->LeftAxis()), 0);
    // The left wall (yellowish by default) shows left of the plotting area.
    p.Chart->LeftWall()->SetVisible(true);
    p.Render();
    const TRect r = p.Chart->ChartRect();
    bool wallInk = false;
    for (int x = r.Left - 3; x < r.Left; ++x)
        wallInk |= p.At(x, (r.Top + r.Bottom) / 2) != clWhite;
    EXPECT_TRUE(wallInk);
    charttest::SavePng(p.Target, "chart-walls-3d.png");
    p.Chart->SetView3D(false);
    EXPECT_EQ(p.Chart->WallSizeOf(p.Chart->LeftAxis()), 0);
}

} // namespace
