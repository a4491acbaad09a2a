#include "platform/ui/ScrollBar.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Panel.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/Splitter.h"

using namespace plat;

namespace {

class ScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 500, 400);
        Bar = new TScrollBar(Form);
        Bar->SetParent(Form);
        Bar->SetKind(sbVertical);
        Bar->SetBounds(10, 10, 16, 200);
        Bar->SetParams(0, 0, 100);
        Bar->SetPageSize(10);
        Bar->SetSmallChange(1);
        Bar->SetLargeChange(10);
        Bar->OnScroll = [this](TObject*, TScrollCode code, int&) { Codes.push_back(code); };
        Bar->OnChange = [this](TObject*) { ++Changes; };
        Form->Show();
        Driver.Pump();
    }
    TTestDriver Driver;
    TForm* Form = nullptr;
    TScrollBar* Bar = nullptr;
    std::vector<TScrollCode> Codes;
    int Changes = 0;
};

TEST_F(ScrollBarTest, ArrowsAndTrackStepAndRepeatWhileHeld) {
    Driver.Click(Bar, Bar->ArrowRect(true).CenterPoint());
    EXPECT_EQ(Bar->Position(), 1);
    Driver.Click(Bar, TPoint(8, Bar->TrackRect().Bottom - 2));
    EXPECT_EQ(Bar->Position(), 11);
    Driver.Click(Bar, Bar->ArrowRect(false).CenterPoint());
    EXPECT_EQ(Bar->Position(), 10);
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(Codes.front(), scLineDown);
    EXPECT_EQ(Codes.back(), scEndScroll);

    // Held on the arrow: one step now, more after the delay, none after the release.
    TPoint arrow = TTestDriver::ScreenPoint(Bar, Bar->ArrowRect(true).CenterPoint());
    Driver.Press(arrow);
    EXPECT_EQ(Bar->Position(), 11);
    Driver.Advance(390);
    EXPECT_EQ(Bar->Position(), 11);
    Driver.Advance(160);
    int held = Bar->Position();
    EXPECT_GE(held, 13);
    Driver.Release(arrow);
    Driver.Advance(500);
    EXPECT_EQ(Bar->Position(), held);

    // The far end: the position stops at Max less the page.
    for (int i = 0; i < 20; ++i)
        Driver.Click(Bar, TPoint(8, Bar->TrackRect().Bottom - 2));
    EXPECT_EQ(Bar->Position(), 91);
}

TEST_F(ScrollBarTest, ThumbDragTracksThePosition) {
    TRect thumb = Bar->ThumbRect();
    TRect track = Bar->TrackRect();
    ASSERT_FALSE(thumb.IsEmpty());
    Codes.clear();
    Driver.Drag(Bar, thumb.CenterPoint(),
                TPoint(8, thumb.CenterPoint().Y + (track.Height() - thumb.Height()) / 2));
    EXPECT_NEAR(Bar->Position(), 46, 2);
    ASSERT_GE(Codes.size(), 3u);
    EXPECT_EQ(Codes.front(), scTrack);
    EXPECT_EQ(Codes[Codes.size() - 2], scPosition);
    Driver.Drag(Bar, Bar->ThumbRect().CenterPoint(), TPoint(8, 500));
    EXPECT_EQ(Bar->Position(), 91) << "the thumb stops at the end";
    Driver.Drag(Bar, Bar->ThumbRect().CenterPoint(), TPoint(8, -300));
    EXPECT_EQ(Bar->Position(), 0);
}

TEST_F(ScrollBarTest, KeysAndOnScrollMayChangeTheTarget) {
    Bar->SetFocus();
    Driver.PressKey(VK_NEXT);
    EXPECT_EQ(Bar->Position(), 10);
    Driver.PressKey(VK_END);
    EXPECT_EQ(Bar->Position(), 91);
    Bar->OnScroll = [](TObject*, TScrollCode, int& pos) { pos = 42; };
    Driver.PressKey(VK_HOME);
    EXPECT_EQ(Bar->Position(), 42);
    Bar->SetParams(500, 0, 100);
    EXPECT_EQ(Bar->Position(), 91) << "out-of-range positions are limited";
}

TEST_F(ScrollBarTest, SplitterResizesItsNeighbourWithinLimits) {
    auto* left = new TPanel(Form);
    left->SetParent(Form);
    left->SetAlign(alLeft);
    left->SetWidth(100);
    auto* splitter = new TSplitter(Form);
    splitter->SetParent(Form);
    splitter->SetLeft(150);
    splitter->SetMinSize(40);
    splitter->SetResizeStyle(rsUpdate);
    auto* right = new TPanel(Form);
    right->SetParent(Form);
    right->SetAlign(alRight);
    right->SetWidth(100);
    auto* client = new TPanel(Form);
    client->SetParent(Form);
    client->SetAlign(alClient);
    int moved = 0;
    splitter->OnMoved = [&](TObject*) { ++moved; };
    Driver.Pump();
    ASSERT_EQ(splitter->Left(), 100);
    ASSERT_EQ(splitter->FindControl(), left);

    Driver.Drag(splitter, TPoint(1, 50), TPoint(61, 50));
    EXPECT_EQ(left->Width(), 160);
    EXPECT_EQ(splitter->Left(), 160);
    EXPECT_GT(moved, 0);

    Driver.Drag(splitter, TPoint(1, 50), TPoint(-500, 50));
    EXPECT_EQ(left->Width(), 40) << "MinSize";
    int roomRight = right->Left() - (splitter->Left() + splitter->Width());
    Driver.Drag(splitter, TPoint(1, 50), TPoint(1000, 50));
    EXPECT_EQ(left->Width(), 40 + roomRight - 40) << "the client keeps MinSize";

    splitter->SetResizeStyle(rsPattern);
    splitter->OnCanResize = [](TObject*, int& size, bool&) { size = 120; };
    Driver.Drag(splitter, TPoint(1, 50), TPoint(30, 50));
    EXPECT_EQ(left->Width(), 120);
}

TEST_F(ScrollBarTest, ScrollBoxScrollsChildrenBeyondIt) {
    auto* box = new TScrollBox(Form);
    box->SetParent(Form);
    box->SetBounds(50, 10, 200, 150);
    auto* far = new TPanel(Form);
    far->SetParent(box);
    far->SetBounds(10, 400, 50, 50);
    Driver.Pump();
    EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
    box->ScrollInView(far);
    Driver.Pump();
    EXPECT_GT(box->VertScrollBar()->Position(), 0);
    EXPECT_LE(far->Top() + far->Height(), box->ClientHeight());
}

} // namespace
