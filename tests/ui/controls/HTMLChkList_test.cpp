// The HTML check list on the headless display: the toggle cycle, the box column, header, disabled and
// indented rows, link dispatch, item fields kept across window re-creation, and the plain text of a
// caption.
#include "ui/controls/HTMLChkList.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/OpenLink.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SystemServices.h"

using namespace plat;
using namespace ui;

namespace {

class CheckListTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 320, 260);
        List = new THTMLCheckList(Form);
        List->SetParent(Form);
        List->SetBounds(10, 10, 280, 200);
        List->SetItemHeight(18);
        Form->Show();
        Driver.Pump();
    }
    void TearDown() override { Form->Free(); }

    // A click in the item's row at x (client coordinates of the list).
    void ClickRow(int Index, int X) {
        TRect r = List->ItemRect(Index);
        Driver.Click(List, TPoint(X, r.Top + r.Height() / 2));
    }
    int BoxX(int Index) { return List->CheckAreaWidth(Index) - THTMLCheckList::CheckWidth() / 2 - 1; }

    TTestDriver Driver;
    TForm* Form = nullptr;
    THTMLCheckList* List = nullptr;
};

TEST_F(CheckListTest, ABoxClickCyclesTheStateWithAndWithoutGrayed) {
    List->Items()->Add("Frame <b>1</b>");
    int clicks = 0;
    List->OnCheckClick = [&](TObject*) { ++clicks; };
    EXPECT_FALSE(List->GetChecked(0));
    EXPECT_TRUE(List->GetItemEnabled(0));
    EXPECT_EQ(List->GetLevel(0), 0);
    struct Case {
        bool AllowGrayed;
        std::vector<TCheckState> Cycle;
    };
    for (const Case& c : {Case{false, {csChecked, csUnchecked, csChecked, csUnchecked}},
                          Case{true, {csGrayed, csChecked, csUnchecked, csGrayed}}}) {
        List->SetState(0, csUnchecked);
        List->SetAllowGrayed(c.AllowGrayed);
        for (TCheckState expected : c.Cycle) {
            ClickRow(0, BoxX(0));
            EXPECT_EQ(List->GetState(0), expected) << "AllowGrayed " << c.AllowGrayed;
            EXPECT_EQ(List->GetChecked(0), expected == csChecked);
        }
    }
    EXPECT_EQ(clicks, 8);
}

TEST_F(CheckListTest, OnlyTheBoxColumnOfEnabledNonHeaderRowsToggles) {
    for (const char* s : {"plain", "indented", "disabled", "header"})
        List->Items()->Add(s);
    List->SetLevel(1, 2);
    List->SetItemEnabled(2, false);
    List->SetHeader(3, true);
    const int cell = THTMLCheckList::CheckWidth() + 2;
    EXPECT_EQ(List->CheckAreaWidth(1), 3 * cell);
    EXPECT_EQ(List->CheckAreaWidth(3), 0);
    struct Case {
        int Index;
        int X;
        bool Toggles;
    };
    for (const Case& c : {Case{0, cell + 40, false},                         // the text
                          Case{0, cell / 2, true}, Case{1, cell / 2, false}, // the indent of a level 2 row
                          Case{1, 2 * cell + cell / 2, true}, Case{2, cell / 2, false}, // disabled
                          Case{3, cell / 2, false}}) {
        TCheckState before = List->GetState(c.Index);
        ClickRow(c.Index, c.X);
        EXPECT_EQ(List->GetState(c.Index) != before, c.Toggles) << "row " << c.Index << " at x " << c.X;
    }
    // A header never reads as checked, whatever its state.
    List->SetState(3, csChecked);
    EXPECT_FALSE(List->GetChecked(3));
}

TEST_F(CheckListTest, AnchorsOpenWebAndMailLinksAndHandTheRestToTheEvent) {
    std::vector<std::string> launched;
    TLinkLauncher old = SetLinkLauncher([&](const std::string&, const std::vector<std::string>& args) {
        launched.push_back(args.empty() ? "" : args.back());
        return true;
    });
    std::string clicked;
    List->OnAnchorClick = [&](TObject*, int, const std::string& a) { clicked = a; };
    struct Case {
        const char* Target;
        bool Opened;
        bool ToEvent;
    };
    for (const Case& c : {Case{"http://x", true, false}, Case{"mailto:y", true, false},
                          Case{"file:///x", false, false}, Case{"local", false, true}}) {
        List->Clear();
        List->Items()->Add(std::string("<a href=\"") + c.Target + "\">linklinklinklink</a>");
        launched.clear();
        clicked.clear();
        ClickRow(0, List->CheckAreaWidth(0) + 20);
        EXPECT_EQ(!launched.empty() && launched.back() == c.Target, c.Opened) << c.Target;
        EXPECT_EQ(clicked == c.Target, c.ToEvent) << c.Target;
        EXPECT_EQ(List->GetState(0), csUnchecked) << "a link click is not a box click";
    }
    SetLinkLauncher(old);
}

TEST_F(CheckListTest, EveryItemFieldSurvivesWindowRecreationAndTheItemsMoving) {
    for (const char* s : {"b", "a", "c"})
        List->Items()->Add(s);
    List->SetState(0, csGrayed);
    List->SetItemEnabled(0, false);
    List->SetLevel(0, 2);
    List->SetItemData(0, 42);
    List->SetHeader(2, true);
    List->RecreateWnd();
    Driver.Pump();
    List->SetSorted(true); // "b" moves to the middle with its fields
    EXPECT_EQ(List->Items()->Get(1), "b");
    EXPECT_EQ(List->GetState(1), csGrayed);
    EXPECT_FALSE(List->GetItemEnabled(1));
    EXPECT_EQ(List->GetLevel(1), 2);
    EXPECT_EQ(List->GetItemData(1), 42);
    EXPECT_TRUE(List->GetHeader(2));
    EXPECT_FALSE(List->GetHeader(0));

    // Past the end raises the list error; below zero reads as defaults and writes nothing.
    EXPECT_THROW(List->GetState(3), EListError);
    EXPECT_THROW(List->SetItemEnabled(3, false), EListError);
    EXPECT_THROW(List->GetItemPlainText(-1), Exception);
    EXPECT_TRUE(List->GetItemEnabled(-1));
    EXPECT_FALSE(List->GetChecked(-1));
    List->SetState(-1, csChecked);
    List->Items()->Delete(1);
    EXPECT_EQ(List->GetLevel(0), 0);
    EXPECT_TRUE(List->GetHeader(1));
}

TEST_F(CheckListTest, DuplicatesHideRepeatedTextAndBringItBackWithLevelAndData) {
    for (const char* s : {"One", "two", "ONE", "three"})
        List->Items()->Add(s);
    List->SetLevel(2, 1);
    List->SetItemData(2, 7);
    List->SetDuplicates(false);
    EXPECT_EQ(List->Count(), 3);
    List->SetDuplicates(true);
    ASSERT_EQ(List->Count(), 4);
    EXPECT_EQ(List->Items()->Get(3), "ONE");
    EXPECT_EQ(List->GetLevel(3), 1);
    EXPECT_EQ(List->GetItemData(3), 7);
}

TEST_F(CheckListTest, TheMouseOverAnAnchorShowsTheHandAndReportsEnterAndExit) {
    List->Items()->Add("<a href=\"local\">linklinklinklink</a> and plain text");
    std::vector<std::string> events;
    List->OnAnchorEnter = [&](TObject*, int, const std::string& a) { events.push_back("enter " + a); };
    List->OnAnchorExit = [&](TObject*, int, const std::string& a) { events.push_back("exit " + a); };
    TRect r = List->ItemRect(0);
    int y = r.Top + r.Height() / 2;
    Driver.MoveTo(List->ClientToScreen(TPoint(List->CheckAreaWidth(0) + 20, y)));
    Driver.MoveTo(List->ClientToScreen(TPoint(List->CheckAreaWidth(0) + 24, y)));
    EXPECT_EQ(List->Cursor(), crHandPoint);
    Driver.MoveTo(List->ClientToScreen(TPoint(250, y)));
    EXPECT_EQ(List->Cursor(), crDefault);
    EXPECT_EQ(events, (std::vector<std::string>{"enter local", "exit local"}));
}

TEST_F(CheckListTest, HintsShowTheItemOrTheAnchor) {
    List->Items()->Add("Frame <b>1</b>");
    List->Items()->Add("<a href=\"http://x\">linklinklinklink</a>");
    auto hintAt = [&](int index, int x) {
        THintInfo info;
        TRect r = List->ItemRect(index);
        info.CursorPos = TPoint(x, r.Top + r.Height() / 2);
        List->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
        return info.HintStr;
    };
    EXPECT_EQ(hintAt(0, 60), "");
    List->SetItemHint(true);
    EXPECT_EQ(hintAt(0, 60), "Frame 1");
    List->SetHTMLHint(true);
    EXPECT_EQ(hintAt(0, 60), "Frame <b>1</b>");
    List->SetAnchorHint(true);
    List->OnAnchorHint = [](TObject*, int index, std::string& a) { a += " #" + std::to_string(index); };
    EXPECT_EQ(hintAt(1, List->CheckAreaWidth(1) + 20), "http://x #1");
    EXPECT_EQ(hintAt(0, 60), "Frame <b>1</b>") << "off an anchor the item hint shows";
}

// Under an active visual style the boxes come from the theme; a grayed box, which the theme has no
// picture for, keeps its classic look instead of vanishing.
TEST_F(CheckListTest, ThemedBoxesAndTheGrayedOneStillShows) {
    for (const char* s : {"unchecked", "checked", "grayed"})
        List->Items()->Add(s);
    List->SetState(1, csChecked);
    List->SetState(2, csGrayed);
    List->SetFlat(false);
    auto boxes = [&] {
        List->Invalidate();
        Driver.Pump();
        std::vector<TColor> px;
        for (int i = 0; i < 3; ++i) {
            TRect r = List->ItemRect(i);
            px.push_back(Driver.Pixel(List, BoxX(i) - 3, r.Top + r.Height() / 2));
        }
        return px;
    };
    std::vector<TColor> classic = boxes();
    bool styles = VisualStylesEnabled();
    ScopeGuard restore([&] { SetVisualStylesEnabled(styles); });
    SetVisualStylesEnabled(true);
    std::vector<TColor> themed = boxes();
    EXPECT_NE(themed[0], classic[0]);
    EXPECT_EQ(themed[2], classic[2]);
    EXPECT_NE(themed[2], List->Color());
}

TEST(StripMarkupText, KeepsTextDropsTagsAndHiddenSections) {
    struct Case {
        const char* In;
        const char* Out;
    };
    for (const Case& c : {
             Case{"a <b>bold</b> word", "a bold word"},
             Case{"one<br>two<HR>three", "one\r\ntwo\r\nthree"},
             Case{"shown<z>hidden</z> too", "shown too"},
             Case{"<b>kept tag</b><z>hidden</z>",
                  "<b>kept tag</b>"},                           // text before a hidden section as it stands
             Case{"open <z>never closed", "open never closed"}, // the unclosed marker is then a tag
             Case{"less < than", "less < than"},
             Case{"<a href=\"x\">link</a>", "link"},
         })
        EXPECT_EQ(StripMarkupText(c.In), c.Out) << c.In;
}

TEST_F(CheckListTest, StylesSetTheSelectionLookAndCustomLeavesIt) {
    List->ApplyStyle(tsOffice2007Luna);
    EXPECT_EQ(List->SelectionColors()->ColorFrom(), 0xEBFDFF);
    EXPECT_EQ(List->SelectionColors()->ColorMirrorTo(), 0x96E4FF);
    EXPECT_EQ(List->SelectionColors()->BorderColor(), 0xC0C0C0);
    EXPECT_EQ(List->SelectionFontColor(), 0);
    List->ApplyStyle(tsCustom);
    EXPECT_EQ(List->SelectionColors()->ColorTo(), 0xABEBFF);
    List->ApplyStyle(tsWindowsXP);
    EXPECT_EQ(List->SelectionColors()->ColorFrom(), clHighlight);
    EXPECT_EQ(List->SelectionColors()->ColorTo(), clNone);
    EXPECT_EQ(List->SelectionFontColor(), clHighlightText);
    EXPECT_EQ(List->Version(), "1.9.0.2");
}

// The rows the frame import dialog shows, with the streamed look, as a picture; the header row has no
// box, the level 2 row's box sits two cells in, and the selected row carries the mirrored gradient.
TEST_F(CheckListTest, RowsPaintHeaderLevelGrayedDisabledAndSelected) {
    List->ApplyStyle(tsOffice2007Luna);
    List->SetItemHeight(18);
    for (const char* s :
         {"<b>Frames</b>", "Frame 1 <font color=\"clRed\">1024 points</font>", "Frame 2 (grayed)",
          "Frame 3 (disabled)", "Frame 4 (selected)", "Frame 5 <a href=\"http://x\">link</a>"})
        List->Items()->Add(s);
    List->SetHeader(0, true);
    List->SetLevel(1, 2);
    List->SetState(1, csChecked);
    List->SetState(2, csGrayed);
    List->SetItemEnabled(3, false);
    List->SetItemIndex(4);
    Driver.Pump();
    auto image = Driver.Render(List);
    TTestDriver::SavePng(*image, TestOutputDir("dialogs") + "/checklist-rows.png");

    const int cell = THTMLCheckList::CheckWidth() + 2;
    auto boxEdge = [&](int index, int x) {
        TRect r = List->ItemRect(index);
        return Driver.Pixel(List, x, r.Top + r.Height() / 2);
    };
    // The flat frame of a box is clBtnShadow, one pixel in from the box.
    TColor shadow = ColorToRGB(clBtnShadow);
    EXPECT_EQ(boxEdge(2, 2), shadow);
    EXPECT_NE(boxEdge(0, 2), shadow) << "a header has no box";
    EXPECT_NE(boxEdge(1, 2), shadow) << "a level 2 box is indented";
    EXPECT_EQ(boxEdge(1, 2 * cell + 2), shadow);
    // The selected row: top half from the first pair, bottom half from the mirror pair.
    TRect sel = List->ItemRect(4);
    TColor top = Driver.Pixel(List, 200, sel.Top + 2), bottom = Driver.Pixel(List, 200, sel.Bottom - 3);
    EXPECT_NE(top, bottom);
    EXPECT_EQ(Driver.Pixel(List, 200, sel.Top), 0xC0C0C0) << "the border";
}

} // namespace
