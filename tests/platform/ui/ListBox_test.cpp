#include "platform/ui/ListBox.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/CheckListBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/WindowScroll.h"

using namespace plat;

namespace {

class ListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 300, 260);
        List = new TListBox(Form);
        List->SetParent(Form);
        List->SetBounds(10, 10, 150, 200);
        for (const char* s : {"alpha", "beta", "gamma", "delta", "epsilon", "zeta"})
            List->Items()->Add(s);
        List->OnClick = [this](TObject*) { ++Clicks; };
        Form->Show();
        Driver.Pump();
    }
    TPoint ItemPoint(int i) {
        TRect r = List->ItemRect(i);
        return TPoint(r.Left + 20, (r.Top + r.Bottom) / 2);
    }
    std::vector<int> SelectedItems() {
        std::vector<int> v;
        for (int i = 0; i < List->Count(); ++i)
            if (List->Selected(i))
                v.push_back(i);
        return v;
    }
    TTestDriver Driver;
    TForm* Form = nullptr;
    TListBox* List = nullptr;
    int Clicks = 0;
};

TEST_F(ListBoxTest, SingleSelectionFollowsClicksAndKeys) {
    Driver.Click(List, ItemPoint(2));
    EXPECT_EQ(List->ItemIndex(), 2);
    EXPECT_TRUE(List->Selected(2));
    EXPECT_EQ(Clicks, 1);
    Driver.PressKey(VK_DOWN);
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(List->ItemIndex(), 4);
    EXPECT_EQ(SelectedItems(), std::vector<int>{4});
    Driver.PressKey(VK_HOME);
    EXPECT_EQ(List->ItemIndex(), 0);
    Driver.PressKey(VK_END);
    EXPECT_EQ(List->ItemIndex(), 5);
    Driver.Type("g");
    EXPECT_EQ(List->ItemIndex(), 2) << "typing finds the item that starts with the letter";
    EXPECT_EQ(Clicks, 6);
    // Code does not raise OnClick; deleting items keeps the index on the same item.
    List->SetItemIndex(3);
    List->Items()->Delete(0);
    EXPECT_EQ(List->ItemIndex(), 2);
    EXPECT_EQ(List->Items()->Get(2), "delta");
    EXPECT_EQ(Clicks, 6);
}

TEST_F(ListBoxTest, ExtendedSelectionByCtrlAndShiftClicksAndKeys) {
    List->SetMultiSelect(true);
    Driver.Click(List, ItemPoint(1));
    Driver.Click(List, ItemPoint(3), tbLeft, modControl);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{1, 3}));
    EXPECT_EQ(List->SelCount(), 2);
    Driver.Click(List, ItemPoint(5), tbLeft, modShift);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{3, 4, 5}))
        << "shift extends from the last ctrl-clicked item";
    Driver.Click(List, ItemPoint(4), tbLeft, modControl);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{3, 5}));
    // Keys: a plain arrow selects one item, shift+arrow a range, ctrl+arrow moves only the focus.
    Driver.PressKey(VK_UP);
    EXPECT_EQ(SelectedItems(), std::vector<int>{3});
    Driver.PressKey(VK_UP, modShift);
    Driver.PressKey(VK_UP, modShift);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{1, 2, 3}));
    Driver.PressKey(VK_DOWN, modControl);
    Driver.PressKey(VK_DOWN, modControl);
    Driver.PressKey(VK_DOWN, modControl);
    EXPECT_EQ(List->ItemIndex(), 4);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{1, 2, 3}));
    Driver.PressKey(VK_SPACE, modControl);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{1, 2, 3, 4}));
    // Setting the index in a multi-select box moves the focus only.
    List->ClearSelection();
    List->SetItemIndex(2);
    EXPECT_EQ(List->SelCount(), 0);
}

TEST_F(ListBoxTest, PlainMultiSelectTogglesEachClickedItem) {
    List->SetMultiSelect(true);
    List->SetExtendedSelect(false);
    Driver.Click(List, ItemPoint(0));
    Driver.Click(List, ItemPoint(2));
    Driver.Click(List, ItemPoint(0));
    EXPECT_EQ(SelectedItems(), std::vector<int>{2});
}

TEST_F(ListBoxTest, DraggingWithTheButtonHeldExtendsTheSelection) {
    List->SetMultiSelect(true);
    Driver.Drag(List, ItemPoint(1), ItemPoint(4));
    EXPECT_EQ(SelectedItems(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(ListBoxTest, OwnerDrawnVariableItemsAreMeasuredAndDrawn) {
    std::vector<int> measured, drawn;
    std::vector<TRect> rects;
    List->OnMeasureItem = [&](TWinControl*, int i, int& h) {
        measured.push_back(i);
        h = 10 + 5 * i;
    };
    List->SetStyle(lbOwnerDrawVariable);
    List->OnDrawItem = [&](TWinControl* c, int i, TRect r, TOwnerDrawState s) {
        drawn.push_back(i);
        rects.push_back(r);
        auto* lb = static_cast<TListBox*>(c);
        lb->Canvas()->Brush()->SetColor((s & odSelected) ? clRed : clLime);
        lb->Canvas()->FillRect(r);
    };
    List->SetItemIndex(1);
    List->Invalidate();
    Driver.Pump();
    ASSERT_GE(drawn.size(), 6u);
    EXPECT_EQ(rects[0], TRect(0, 0, rects[0].Right, 10));
    EXPECT_EQ(rects[1], TRect(0, 10, rects[1].Right, 25));
    EXPECT_EQ(rects[2].Top, 25);
    EXPECT_EQ(Driver.Pixel(List, 5, 15), clRed) << "the selected item is drawn selected";
    EXPECT_EQ(Driver.Pixel(List, 5, 5), clLime);
    // Hit testing uses the measured heights.
    EXPECT_EQ(List->ItemAtPos(TPoint(5, 26), true), 2);
    EXPECT_EQ(List->ItemAtPos(TPoint(5, 190), true), -1);
    EXPECT_EQ(List->ItemAtPos(TPoint(5, 190), false), 6);
}

TEST_F(ListBoxTest, ScrollsToKeepTheFocusedItemVisible) {
    List->Items()->Clear();
    for (int i = 0; i < 50; ++i)
        List->Items()->Add("item " + std::to_string(i));
    Driver.Click(List, ItemPoint(0));
    Driver.PressKey(VK_END);
    EXPECT_EQ(List->ItemIndex(), 49);
    EXPECT_GT(List->TopIndex(), 0);
    TRect r = List->ItemRect(49);
    EXPECT_LE(r.Bottom, List->ClientHeight());
    // The wheel and the scroll bar's arrow scroll without moving the selection.
    int top = List->TopIndex();
    Driver.Wheel(List, TPoint(20, 20), 120);
    EXPECT_EQ(List->TopIndex(), top - 3);
    // The up arrow of the window's bar, right of the client area.
    TPoint origin = List->ClientOrigin();
    Driver.Click(TPoint(origin.X + List->ClientWidth() + 8, origin.Y + 3));
    EXPECT_EQ(List->TopIndex(), top - 4);
    EXPECT_EQ(List->ItemIndex(), 49);
}

TEST_F(ListBoxTest, SortedBoxInsertsInOrder) {
    List->Items()->Clear();
    List->SetSorted(true);
    List->Items()->Add("pear");
    List->Items()->Add("Apple");
    List->Items()->Add("fig");
    EXPECT_EQ(List->Items()->CommaText(), "Apple,fig,pear");
}

TEST_F(ListBoxTest, CheckListBoxTogglesEnabledItemsOnly) {
    auto* check = new TCheckListBox(Form);
    check->SetParent(Form);
    check->SetBounds(170, 10, 110, 100);
    check->Items()->Add("one");
    check->Items()->Add("two");
    check->Items()->Add("three");
    check->SetItemEnabled(1, false);
    int clickChecks = 0;
    check->OnClickCheck = [&](TObject*) { ++clickChecks; };
    Driver.Pump();
    auto boxCentre = [&](int i) {
        TRect r = check->CheckRect(i);
        return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    };
    Driver.Click(check, boxCentre(0));
    EXPECT_TRUE(check->Checked(0));
    Driver.Click(check, boxCentre(1));
    EXPECT_FALSE(check->Checked(1)) << "a disabled item cannot be toggled";
    Driver.Click(check, TPoint(80, (check->ItemRect(2).Top + check->ItemRect(2).Bottom) / 2));
    EXPECT_FALSE(check->Checked(2)) << "a click on the text selects without toggling";
    EXPECT_EQ(check->ItemIndex(), 2);
    Driver.PressKey(VK_SPACE);
    EXPECT_TRUE(check->Checked(2));
    EXPECT_EQ(clickChecks, 2);
    check->SetAllowGrayed(true);
    Driver.PressKey(VK_SPACE);
    EXPECT_EQ(check->State(2), cbGrayed);
    Driver.PressKey(VK_SPACE);
    EXPECT_EQ(check->State(2), cbUnchecked);
}

// The window's vertical bar lies right of the client area: a point on it, Y from the client top.
TPoint BarPoint(TControl* Control, int Y) {
    TPoint origin = Control->ClientOrigin();
    return TPoint(origin.X + Control->ClientWidth() + GetSystemMetrics(SM_CXVSCROLL) / 2, origin.Y + Y);
}

TEST_F(ListBoxTest, TheWindowScrollBarComesWithMoreItemsAndScrollsThem) {
    HWND wnd = List->Handle();
    EXPECT_FALSE(GetWindowLongPtr(wnd, GWL_STYLE) & WS_VSCROLL) << "six items fit";
    int fullWidth = List->ClientWidth();
    for (int i = 0; i < 44; ++i)
        List->Items()->Add("more " + std::to_string(i));
    ASSERT_TRUE(GetWindowLongPtr(wnd, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(List->ClientWidth(), fullWidth - GetSystemMetrics(SM_CXVSCROLL))
        << "the bar is outside the items";
    TScrollInfo info;
    info.fMask = SIF_ALL;
    GetScrollInfo(wnd, SB_VERT, info);
    EXPECT_EQ(info.nMax, 49);
    EXPECT_EQ(static_cast<int>(info.nPage), List->VisibleCount());
    int page = List->VisibleCount();
    int arrow = GetSystemMetrics(SM_CYVSCROLL);

    // The page area below the thumb, then the down arrow.
    Driver.Click(BarPoint(List, List->ClientHeight() - arrow - 4));
    EXPECT_EQ(List->TopIndex(), page);
    Driver.Click(BarPoint(List, List->ClientHeight() - arrow / 2));
    EXPECT_EQ(List->TopIndex(), page + 1);
    // The thumb, from the top right below the up arrow, dragged past the end shows the last page.
    List->SetTopIndex(0);
    Driver.Drag(BarPoint(List, arrow + 2), BarPoint(List, List->ClientHeight() + 40), 5);
    EXPECT_EQ(List->TopIndex(), 50 - page);
    EXPECT_EQ(GetScrollPos(wnd, SB_VERT), 50 - page);
    EXPECT_EQ(List->ItemIndex(), -1) << "scrolling selects nothing";

    // Fewer items take the bar away and the top back.
    List->Items()->BeginUpdate();
    while (List->Count() > 3)
        List->Items()->Delete(List->Count() - 1);
    List->Items()->EndUpdate();
    EXPECT_FALSE(GetWindowLongPtr(wnd, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(List->TopIndex(), 0);
}

TEST_F(ListBoxTest, ADroppedComboListScrollsByItsBarAndStaysOpen) {
    auto* combo = new TComboBox(Form);
    combo->SetParent(Form);
    combo->SetBounds(170, 10, 110, 21);
    combo->SetStyle(csDropDownList);
    for (int i = 0; i < 20; ++i)
        combo->Items()->Add("entry " + std::to_string(i));
    combo->SetDropDownCount(5);
    Driver.Pump();
    combo->SetDroppedDown(true);
    Driver.Pump();
    TCustomListBox* list = combo->ListPart();
    ASSERT_TRUE(combo->DroppedDown());
    ASSERT_TRUE(GetWindowLongPtr(list->Handle(), GWL_STYLE) & WS_VSCROLL);
    Driver.Click(BarPoint(list, list->ClientHeight() - 4));
    EXPECT_TRUE(combo->DroppedDown()) << "the bar is part of the list";
    EXPECT_EQ(list->TopIndex(), 1);
    Driver.Wheel(list, TPoint(10, 10), -120);
    EXPECT_EQ(list->TopIndex(), 4);
    TRect item = list->ItemRect(6);
    Driver.Click(list, TPoint(10, (item.Top + item.Bottom) / 2));
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 6);
}

} // namespace
