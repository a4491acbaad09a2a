#include "platform/ui/Memo.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/WindowScroll.h"

using namespace plat;

namespace {

// A memo with forty numbered lines, on a shown form, with the focus.
class MemoScrollTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 320, 240);
        Memo = new TMemo(Form);
        Memo->SetParent(Form);
        Memo->SetBounds(10, 10, 200, 120);
        std::string text;
        for (int i = 0; i < 40; ++i)
            text += "line " + std::to_string(i) + "\r\n";
        Memo->SetTextProp(text);
        Form->Show();
        Memo->SetFocus();
        Driver.Pump();
    }
    int TopLine() { return static_cast<int>(Memo->Perform(EM_GETFIRSTVISIBLELINE, 0, 0)); }
    bool HasStyle(uint32_t bit) { return (GetWindowLongPtr(Memo->Handle(), GWL_STYLE) & bit) != 0; }
    // A point on the window's vertical bar (right of the client area) or horizontal bar (below it).
    TPoint VBar(int y) {
        TPoint o = Memo->ClientOrigin();
        return TPoint(o.X + Memo->ClientWidth() + GetSystemMetrics(SM_CXVSCROLL) / 2, o.Y + y);
    }
    TPoint HBar(int x) {
        TPoint o = Memo->ClientOrigin();
        return TPoint(o.X + x, o.Y + Memo->ClientHeight() + GetSystemMetrics(SM_CYHSCROLL) / 2);
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TMemo* Memo = nullptr;
};

} // namespace

TEST_F(MemoScrollTest, TheChosenBarsAreTheWindowsOwn) {
    EXPECT_FALSE(HasStyle(WS_VSCROLL));
    int width = Memo->ClientWidth();
    Memo->SetScrollBars(ssVertical);
    EXPECT_TRUE(HasStyle(WS_VSCROLL));
    EXPECT_FALSE(HasStyle(WS_HSCROLL));
    EXPECT_EQ(Memo->ClientWidth(), width - GetSystemMetrics(SM_CXVSCROLL));
    // A short text leaves the bar shown but with nothing to scroll.
    Memo->SetTextProp("short");
    EXPECT_TRUE(HasStyle(WS_VSCROLL)) << "a chosen bar stays";
    Memo->SetScrollBars(ssBoth);
    EXPECT_FALSE(HasStyle(WS_HSCROLL)) << "no horizontal bar while the lines wrap";
    Memo->SetWordWrap(false);
    EXPECT_TRUE(HasStyle(WS_HSCROLL));
    EXPECT_TRUE(HasStyle(WS_VSCROLL));
    Memo->SetScrollBars(ssNone);
    EXPECT_FALSE(HasStyle(WS_VSCROLL | WS_HSCROLL));
    EXPECT_EQ(Memo->ClientWidth(), width);
}

TEST_F(MemoScrollTest, ScrollsByBarKeysAndWheel) {
    Memo->SetScrollBars(ssVertical);
    Driver.Pump();
    TScrollInfo info;
    info.fMask = SIF_ALL;
    GetScrollInfo(Memo->Handle(), SB_VERT, info);
    int page = static_cast<int>(info.nPage);
    EXPECT_EQ(info.nMax, 40) << "forty lines and the empty one after the last break";
    int arrow = GetSystemMetrics(SM_CYVSCROLL);
    Driver.Click(VBar(Memo->ClientHeight() - arrow / 2));
    EXPECT_EQ(TopLine(), 1);
    Driver.Click(VBar(Memo->ClientHeight() - arrow - 3));
    EXPECT_EQ(TopLine(), 1 + page) << "the page area below the thumb";
    Driver.Click(VBar(arrow / 2));
    EXPECT_EQ(TopLine(), page);
    EXPECT_EQ(GetScrollPos(Memo->Handle(), SB_VERT), page);
    // The thumb from the top dragged past the end.
    Memo->Perform(EM_LINESCROLL, 0, -100);
    Driver.Drag(VBar(arrow + 2), VBar(Memo->ClientHeight() + 30), 5);
    EXPECT_EQ(TopLine(), 41 - page);
    Driver.Wheel(Memo, TPoint(20, 20), 120);
    EXPECT_EQ(TopLine(), 41 - page - 3);
    EXPECT_EQ(GetScrollPos(Memo->Handle(), SB_VERT), TopLine()) << "the bar follows the text";
    Memo->Perform(EM_LINESCROLL, 0, -100);
    EXPECT_EQ(GetScrollPos(Memo->Handle(), SB_VERT), 0);
    Driver.PressKey(VK_END, modControl);
    EXPECT_EQ(TopLine(), 41 - page) << "the caret is kept in view";
    EXPECT_EQ(GetScrollPos(Memo->Handle(), SB_VERT), TopLine());
}

TEST_F(MemoScrollTest, TheHorizontalBarScrollsLongLines) {
    Memo->SetWordWrap(false);
    Memo->SetScrollBars(ssHorizontal);
    Memo->SetTextProp(std::string(120, 'x'));
    Driver.Pump();
    TScrollInfo info;
    info.fMask = SIF_ALL;
    GetScrollInfo(Memo->Handle(), SB_HORZ, info);
    EXPECT_GT(info.nMax, static_cast<int>(info.nPage));
    int arrow = GetSystemMetrics(SM_CXHSCROLL);
    Driver.Click(HBar(Memo->ClientWidth() - arrow / 2));
    int x = GetScrollPos(Memo->Handle(), SB_HORZ);
    EXPECT_GT(x, 0);
    // Dragged past the end, the last characters come into view and no further.
    Driver.Drag(HBar(arrow + 2), HBar(Memo->ClientWidth() + 50), 5);
    GetScrollInfo(Memo->Handle(), SB_HORZ, info);
    EXPECT_EQ(info.nPos, info.nMax - static_cast<int>(info.nPage) + 1);
}

// Moving up and down keeps the column the caret started from, until the program places the caret.
TEST_F(MemoScrollTest, AProgramPlacedCaretStartsANewColumn) {
    Memo->SetTextProp("abcdefgh\r\nabcdefgh\r\nabcdefgh\r\nab\r\n");
    Memo->SetSelStart(6);
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(Memo->SelStart(), 16); // column 6 of the second line
    Memo->SetSelStart(2);            // column 2 of the first line
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(Memo->SelStart(), 12) << "the column the program chose, not the one kept before";
}
