// The annotation: where its text and box go in the four corners and at custom places, how its size and
// place settings switch each other, text alignment inside the box, the callout's start on the box, and
// the mouse over it.
#include <gtest/gtest.h>

#include <algorithm>

#include "PlotToolsTestUtil.h"

using namespace plat;
using namespace chart;
using namespace charttest;

namespace {

struct AnnotationFixture : ::testing::Test {
    TToolChart Picture{400, 300};
    TAnnotationTool* Tool = new TAnnotationTool(nullptr);

    AnnotationFixture() {
        Tool->SetParentChart(Picture.Chart.get());
        Picture.Render();
    }
    ~AnnotationFixture() override { delete Tool; }

    // The widest line and the height of the lines in the box's font.
    std::pair<int, int> TextSize(const std::string& Text) {
        TPlotCanvas3D& c = *Picture.Chart->DrawCanvas();
        c.UseFont(Tool->Shape()->Font());
        int lines = 0;
        const int w = Picture.Chart->MultiLineTextWidth(Text, lines);
        return {w, lines * c.FontHeight()};
    }
    // The pixels of colour C inside R, as a box.
    TRect InkOf(TColor C, const TRect& R) {
        TRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                if (Picture.At(x, y) == C) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box;
    }
};

TEST_F(AnnotationFixture, PlacesTextAndBoxInTheCornersAndAtCustomPlaces) {
    const std::string text = "Peak\rat 512 nm";
    const auto [tw, th] = TextSize(text);
    struct TCase {
        const char* Name;
        TAnnotationPosition Position;
        bool Custom;
        TPlotUnits Units;
        int Left, Top;
        TPoint Origin;
    };
    const TCase cases[] = {
        {"left top", ppLeftTop, false, muPixels, 0, 0, TPoint(10, 10)},
        {"left bottom", ppLeftBottom, false, muPixels, 0, 0, TPoint(10, 300 - th - 8)},
        {"right top", ppRightTop, false, muPixels, 0, 0, TPoint(400 - tw - 8, 10)},
        {"right bottom", ppRightBottom, false, muPixels, 0, 0, TPoint(400 - tw - 8, 300 - th - 8)},
        {"custom pixels", ppLeftTop, true, muPixels, 30, 40, TPoint(34, 42)},
        {"custom percent", ppLeftTop, true, muPercent, 20, 50, TPoint(80, 150)},
    };
    Tool->SetText(text);
    for (const TCase& c : cases) {
        Tool->SetPosition(c.Position);
        Tool->SetPositionUnits(c.Units);
        if (c.Custom) {
            Tool->SetLeft(c.Left);
            Tool->SetTop(c.Top);
        }
        const TAnnotationGeometry g = Tool->Geometry();
        EXPECT_EQ(g.NumLines, 2) << c.Name;
        EXPECT_EQ(TPoint(g.X, g.Y), c.Origin) << c.Name;
        EXPECT_EQ(g.Rect,
                  TRect(c.Origin.X - 4, c.Origin.Y - 2, c.Origin.X - 4 + tw + 6, c.Origin.Y - 2 + th + 4))
            << c.Name << ": the box fits the text";
    }

    // An empty text is one blank.
    Tool->SetText("");
    Tool->SetPosition(ppRightTop);
    Tool->SetPosition(ppLeftTop);
    const TAnnotationGeometry g = Tool->Geometry();
    EXPECT_EQ(TPoint(g.X, g.Y), TPoint(10, 10));
    EXPECT_EQ(g.Rect.Left, 6);
    EXPECT_EQ(g.Rect.Top, 8);
    EXPECT_EQ(g.Rect.Right - g.Rect.Left, TextSize(" ").first + 6);
}

TEST_F(AnnotationFixture, SizeAndPlaceSettingsSwitchAutoSizeAndCustomPosition) {
    Tool->SetText("Text");
    Tool->SetLeft(50);
    EXPECT_TRUE(Tool->Shape()->CustomPosition());
    Tool->SetWidth(120);
    EXPECT_FALSE(Tool->AutoSize());
    Tool->SetHeight(40);
    EXPECT_EQ(Tool->Width(), 120);
    Tool->SetTop(60);
    EXPECT_EQ(Tool->Height(), 40) << "moving keeps the size";
    Tool->SetLeft(70);
    EXPECT_EQ(Tool->Width(), 120);
    const TAnnotationGeometry g = Tool->Geometry();
    EXPECT_EQ(g.Rect, TRect(70, 60, 190, 100));
    Picture.Render();
    EXPECT_TRUE(Tool->Clicked(100, 80));
    EXPECT_FALSE(Tool->Clicked(195, 80));
    EXPECT_EQ(Tool->Left(), 70) << "the drawing keeps the custom place";

    Tool->SetPosition(ppRightBottom);
    EXPECT_FALSE(Tool->Shape()->CustomPosition()) << "a corner ends the custom place";
}

TEST_F(AnnotationFixture, AlignsTheTextInsideTheBox) {
    Tool->SetText("WWWW");
    Tool->SetLeft(100);
    Tool->SetTop(100);
    Tool->SetWidth(200);
    Tool->SetHeight(30);
    Tool->Shape()->Frame()->SetColor(clBlue);
    Tool->Shape()->Font()->SetColor(clRed);
    const TRect inside(101, 101, 299, 129);
    struct TCase {
        TAlignment Alignment;
        const char* Name;
    };
    for (const TCase& c :
         {TCase{taLeftJustify, "left"}, TCase{taRightJustify, "right"}, TCase{taCenter, "centre"}}) {
        Tool->SetTextAlignment(c.Alignment);
        Picture.Render();
        const TRect ink = InkOf(clRed, inside);
        ASSERT_LT(ink.Left, ink.Right) << c.Name;
        switch (c.Alignment) {
        case taLeftJustify:
            EXPECT_NEAR(ink.Left, 104, 2) << "starts 4 pixels inside";
            break;
        case taRightJustify:
            EXPECT_NEAR(ink.Right, 300 - 2, 2) << "ends 2 pixels inside the right edge";
            break;
        case taCenter:
            EXPECT_NEAR((ink.Left + ink.Right) / 2, 200 + 2, 2) << "centred 2 pixels right of the middle";
            break;
        }
    }
}

TEST_F(AnnotationFixture, TheCalloutStartsOnTheBoxSideFacingItsTarget) {
    Tool->SetText("Box");
    Tool->SetLeft(150);
    Tool->SetTop(120);
    Tool->SetWidth(100);
    Tool->SetHeight(40);
    Tool->Shape()->Frame()->SetColor(clBlue);
    Tool->Callout()->Arrow()->SetVisible(true);
    Tool->Callout()->Arrow()->SetColor(clRed);
    struct TCase {
        TPoint Target;
        TPoint Start; // a pixel just outside the box on the arrow's way
    };
    const TCase cases[] = {
        {TPoint(60, 40), TPoint(149, 119)},   // upper left: the top-left corner
        {TPoint(340, 40), TPoint(251, 119)},  // upper right
        {TPoint(200, 260), TPoint(200, 161)}, // below: middle of the bottom edge
    };
    for (const TCase& c : cases) {
        Tool->Callout()->SetXPosition(c.Target.X);
        Tool->Callout()->SetYPosition(c.Target.Y);
        Picture.Render();
        const TRect around(c.Start.X - 1, c.Start.Y - 1, c.Start.X + 2, c.Start.Y + 2);
        const TRect ink = InkOf(clRed, around);
        EXPECT_LT(ink.Left, ink.Right) << c.Target.X << "," << c.Target.Y;
    }
    // A target inside the box starts at its centre: nothing leaves the box.
    Tool->Callout()->SetXPosition(180);
    Tool->Callout()->SetYPosition(130);
    Picture.Render();
    const TRect ink = InkOf(clRed, TRect(0, 0, 400, 300));
    EXPECT_GE(ink.Left, 150);
    EXPECT_LE(ink.Right, 251);
}

TEST_F(AnnotationFixture, ReportsClicksAndShowsItsCursorOverTheBox) {
    Tool->SetText("Click me");
    int clicks = 0;
    Tool->OnClick = [&](TAnnotationTool*, TMouseButton, TShiftState, int, int) { ++clicks; };
    const TRect r = Tool->Geometry().Rect;
    Picture.Mouse(cmeDown, r.Left + 3, r.Top + 3);
    Picture.Mouse(cmeDown, r.Right + 3, r.Top + 3);
    EXPECT_EQ(clicks, 1);
    Picture.Mouse(cmeMove, r.Left + 3, r.Top + 3);
    EXPECT_FALSE(Picture.Chart->CancelMouse()) << "no cursor of its own";
    Tool->SetCursor(crHandPoint);
    Picture.Mouse(cmeMove, r.Left + 3, r.Top + 3);
    EXPECT_TRUE(Picture.Chart->CancelMouse());
    EXPECT_EQ(Picture.Chart->Cursor(), crHandPoint);
}

TEST(AnnotationPicture, FourCornersAndACustomBoxWithACallout) {
    TToolChart picture(480, 320);
    picture.AddDots(11);
    std::vector<std::unique_ptr<TAnnotationTool>> tools;
    const char* texts[] = {"Left top", "Left bottom", "Right top", "Right bottom\rtwo lines"};
    for (int i = 0; i < 4; ++i) {
        tools.push_back(std::make_unique<TAnnotationTool>(nullptr));
        tools.back()->SetText(texts[i]);
        tools.back()->SetPosition(TAnnotationPosition(i));
        tools.back()->SetParentChart(picture.Chart.get());
    }
    picture.Render(); // the axes' pixels for placing the custom box
    auto* custom = new TAnnotationTool(nullptr);
    tools.emplace_back(custom);
    custom->SetText("Peak 7");
    custom->SetLeft(picture.Point(4, 9).X);
    custom->SetTop(picture.Point(4, 9).Y);
    custom->Shape()->SetColor(clYellow);
    custom->Callout()->Arrow()->SetVisible(true);
    custom->Callout()->Arrow()->SetColor(clRed);
    custom->Callout()->SetXPosition(picture.Point(7, 7).X);
    custom->Callout()->SetYPosition(picture.Point(7, 7).Y);
    custom->SetParentChart(picture.Chart.get());
    picture.Render();
    EXPECT_EQ(picture.At(custom->Left() + 2, custom->Top() + 2), clYellow);
    SaveToolPng(picture.Target, "annotations.png");
}

} // namespace
