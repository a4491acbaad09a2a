#include "platform/ui/TrackBar.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/UpDown.h"

using namespace plat;

namespace {

class RangeControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 300, 200);
        Form->Show();
        Driver.Pump();
    }
    TTestDriver Driver;
    TForm* Form = nullptr;
};

TEST_F(RangeControlsTest, TrackBarMovesByKeysAndMouseWithinItsRange) {
    auto* tb = new TTrackBar(Form);
    tb->SetParent(Form);
    tb->SetBounds(10, 10, 200, 45);
    tb->SetMax(100);
    tb->SetLineSize(2);
    tb->SetPageSize(10);
    std::vector<int> changes;
    tb->OnChange = [&](TObject*) { changes.push_back(tb->Position()); };
    tb->SetFocus();
    Driver.Pump();
    Driver.PressKey(VK_RIGHT);
    Driver.PressKey(VK_NEXT);
    Driver.PressKey(VK_LEFT);
    Driver.PressKey(VK_HOME);
    Driver.PressKey(VK_HOME);
    EXPECT_EQ(changes, (std::vector<int>{2, 12, 10, 0})) << "no change event when nothing changed";
    // A click on the channel pages towards it; dragging the thumb follows the pointer.
    Driver.Click(tb, TPoint(150, tb->ThumbRect().Top + 5));
    EXPECT_EQ(tb->Position(), 10);
    TRect t = tb->ThumbRect();
    TPoint grab((t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2);
    Driver.Drag(tb, grab, TPoint(tb->ValueToPixel(60), grab.Y));
    EXPECT_EQ(tb->Position(), 60);
    // Narrowing the range pulls the position in, with a change event.
    changes.clear();
    tb->SetMax(50);
    EXPECT_EQ(tb->Position(), 50);
    EXPECT_EQ(changes, std::vector<int>{50});
    tb->SetPosition(-5);
    EXPECT_EQ(tb->Position(), 0);
}

// The whole 32-bit range: positions map to the channel's ends and back, and the ticks (one per value)
// are drawn without overflowing or taking forever.
TEST_F(RangeControlsTest, TrackBarSpansTheWholeIntegerRange) {
    auto* tb = new TTrackBar(Form);
    tb->SetParent(Form);
    tb->SetBounds(10, 10, 200, 45);
    tb->SetMin(INT32_MIN);
    tb->SetMax(INT32_MAX);
    tb->SetFrequency(1);
    const TRect channel = tb->ChannelRect();
    EXPECT_LE(tb->ValueToPixel(INT32_MIN), tb->ValueToPixel(0));
    EXPECT_LT(tb->ValueToPixel(0), tb->ValueToPixel(INT32_MAX));
    EXPECT_EQ(tb->PixelToValue(tb->ValueToPixel(INT32_MIN)), INT32_MIN);
    EXPECT_EQ(tb->PixelToValue(channel.Right + 50), INT32_MAX);
    tb->SetPosition(INT32_MAX);
    EXPECT_EQ(tb->Position(), INT32_MAX);
    Driver.Pump();
    const auto shot = Driver.Render(Form);
    ASSERT_NE(shot, nullptr);
    EXPECT_GT(shot->Width(), 0);
}

TEST_F(RangeControlsTest, UpDownStepsItsAssociateAndRepeatsWhileHeld) {
    auto* edit = new TEdit(Form);
    edit->SetParent(Form);
    edit->SetBounds(10, 10, 60, 21);
    auto* ud = new TUpDown(Form);
    ud->SetParent(Form);
    ud->SetMin(0);
    ud->SetMax(1000);
    ud->SetIncrement(5);
    ud->SetAssociate(edit);
    ud->SetPosition(995);
    EXPECT_EQ(edit->Text(), "995");
    EXPECT_EQ(ud->Left(), edit->Left() + edit->Width()) << "placed at the right of its associate";
    int clicks = 0;
    ud->OnClick = [&](TObject*, TUDBtnType) { ++clicks; };
    Driver.Click(ud, TPoint(5, 3));
    EXPECT_EQ(edit->Text(), "1,000");
    Driver.Click(ud, TPoint(5, 3));
    EXPECT_EQ(ud->Position(), 1000) << "no wrap: stays at the end";
    EXPECT_EQ(clicks, 2);
    // A number typed into the associate is the position the next step starts from.
    edit->SetTextProp("40");
    EXPECT_EQ(ud->Position(), 40);
    edit->SetFocus();
    Driver.Pump();
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(edit->Text(), "35") << "arrow keys in the associate step";
    // Held down: one step, then after 400 ms one every 100 ms.
    ud->SetThousands(false);
    TPoint down = TTestDriver::ScreenPoint(ud, TPoint(5, ud->Height() - 3));
    Driver.Press(down);
    EXPECT_EQ(ud->Position(), 30);
    Driver.Advance(399);
    EXPECT_EQ(ud->Position(), 30);
    Driver.Advance(1);
    EXPECT_EQ(ud->Position(), 25);
    Driver.Advance(300);
    EXPECT_EQ(ud->Position(), 10);
    Driver.Release(down);
    Driver.Advance(500);
    EXPECT_EQ(ud->Position(), 10);
    // OnChanging can refuse; wrap goes round.
    ud->OnChanging = [](TObject*, bool& allow) { allow = false; };
    Driver.Click(ud, TPoint(5, 3));
    EXPECT_EQ(ud->Position(), 10);
    ud->OnChanging = nullptr;
    ud->SetWrap(true);
    ud->SetPosition(0);
    Driver.Click(ud, TPoint(5, ud->Height() - 3));
    EXPECT_EQ(ud->Position(), 1000);
    // Positions are 16-bit.
    ud->SetMax(100000);
    EXPECT_EQ(ud->Max(), 32767);
}

} // namespace
