#include "ui/office/KvxOfficeTabSet.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/backend/Backend.h"
#include "platform/gfx/Bitmap.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Menu.h"
#include "ui/drawing/KvxOfficeHint.h"
#include "ui/office/KvxOfficeTabSetStylers.h"

namespace {

using plat::TColor;
using plat::TPoint;
using plat::TRect;
using namespace ui::tabset;

// Tabs of a fixed length make the layout independent of the fonts installed.
constexpr int kTabWidth = 60;

class TabSetTest : public ::testing::Test {
protected:
    plat::TForm* MakeForm(TRect bounds = TRect(100, 100, 600, 400)) {
        auto* f = plat::NewForm<plat::TForm>(plat::Application);
        f->SetBoundsRect(bounds);
        return f;
    }
    // A tab set as a form's layout leaves it: streamed, then loaded.
    TKvxCustomOfficeTabSet* AddTabSet(plat::TWinControl* parent, TRect r, int tabs,
                                      int tabWidth = kTabWidth) {
        auto* ts = new TKvxCustomOfficeTabSet(parent);
        ts->SetParent(parent);
        ts->SetBoundsRect(r);
        ts->TabSettings()->SetWidth(tabWidth);
        for (int i = 0; i < tabs; ++i)
            ts->Tabs()->Add()->SetCaption("Tab " + std::to_string(i + 1));
        ts->Loaded();
        return ts;
    }
    plat::TTestDriver Driver;
};

// ---- Companion classes -----------------------------------------------------------------------------------

TEST(TabSetClasses, SettingsNotifyOnRealChangesAndRefuseRoundingAboveEight) {
    TTabSetTabSettings s;
    int changes = 0;
    s.OnChange = [&](plat::TObject*) { ++changes; };
    s.SetRounding(9);
    EXPECT_EQ(s.Rounding(), 1);
    s.SetRounding(0);
    EXPECT_EQ(s.Rounding(), 0);
    s.SetHeight(26);
    EXPECT_EQ(changes, 1) << "only the accepted, different rounding notified";
    EXPECT_EQ(s.StartMargin(), 4);

    TTabSetTabSettings other;
    other.SetLeftMargin(9);
    other.SetEndMargin(3);
    changes = 0;
    s.Assign(&other);
    EXPECT_EQ(s.EndMargin(), 3) << "the unpublished end margin is copied too";
    EXPECT_EQ(changes, 3) << "left margin, end margin and rounding differed";
    TGradientBackground wrong;
    EXPECT_THROW(s.Assign(&wrong), plat::Exception);
}

TEST(TabSetClasses, ScrollerLimitsAndBackgroundAlwaysNotifies) {
    TTabSetTabScroller sc;
    sc.SetMax(3);
    sc.SetMin(5);
    EXPECT_EQ(sc.Min(), 0) << "a minimum above the maximum is refused";
    sc.SetMax(-1);
    EXPECT_EQ(sc.Max(), 3) << "a maximum below the minimum is refused";
    sc.SetPosition(7);
    EXPECT_EQ(sc.Position(), 7) << "the position is not clamped";
    EXPECT_FALSE(sc.CanGoForward());
    EXPECT_TRUE(sc.CanGoBack());

    TGradientBackground b;
    int changes = 0;
    b.OnChange = [&](plat::TObject*) { ++changes; };
    b.SetColor(b.Color());
    EXPECT_EQ(changes, 1) << "an equal value still notifies";
    TGradientBackground other;
    other.SetSteps(8);
    b.Assign(&other);
    EXPECT_EQ(b.Steps(), 8);
    EXPECT_EQ(changes, 1) << "a copy is silent";
}

TEST(TabSetClasses, AppearanceCopyNotifiesOnlyThroughTheTextColours) {
    TTabAppearance a, b;
    b.SetColor(0x123456);
    b.SetColorHot(0x654321);
    b.SetShadowColor(0x111111);
    b.BackGround()->SetColor(0x222222);
    int changes = 0;
    a.OnChange = [&](plat::TObject*) { ++changes; };
    a.Assign(&b);
    EXPECT_EQ(a.Color(), 0x123456);
    EXPECT_EQ(a.ShadowColor(), 0x111111);
    EXPECT_EQ(a.BackGround()->Color(), 0x222222);
    EXPECT_EQ(changes, 0) << "equal text colours: no notification although everything else changed";
    b.SetTextColor(0x00FF00);
    a.Assign(&b);
    EXPECT_EQ(changes, 1);
    a.SetBorderColorHot(0x010101);
    EXPECT_EQ(changes, 1) << "the hot border is a plain field";
    a.BackGround()->SetSteps(3);
    EXPECT_EQ(changes, 2) << "the background's change is the appearance's";
}

TEST(TabSetClasses, ClientListNamesAReadPastTheEnd) {
    TDbgList list;
    int x = 0;
    list.Add(&x);
    EXPECT_EQ(list.Items(0), &x);
    try {
        list.Items(1);
        FAIL() << "no error";
    } catch (const plat::Exception& e) {
        EXPECT_STREQ(e.what(), "Index out of bounds in list read access");
    }
}

// ---- Tabs: selection, deletion, moving -------------------------------------------------------------------

TEST_F(TabSetTest, SelectionEventsDeletionAndMove) {
    auto* form = MakeForm();
    auto* ts = AddTabSet(form, TRect(0, 0, 500, 27), 0);
    std::vector<std::string> log;
    ts->OnChanging = [&](plat::TObject*, int from, int to, bool&) {
        log.push_back(std::to_string(from) + ">" + std::to_string(to));
    };
    ts->OnChange = [&](plat::TObject*) { log.push_back("change"); };
    ts->Tabs()->Add();
    EXPECT_EQ(ts->ActiveTabIndex(), 0) << "the first tab becomes active";
    EXPECT_TRUE(log.empty()) << "without events";
    EXPECT_EQ(ts->Tabs()->Items(0)->Caption(), "TabItem1");
    for (int i = 0; i < 4; ++i)
        ts->Tabs()->Add();

    ts->SetActiveTabIndex(0);
    EXPECT_TRUE(log.empty()) << "selecting the active tab fires nothing";
    ts->SetActiveTabIndex(3);
    EXPECT_EQ(log, (std::vector<std::string>{"0>3", "change"}));
    ts->OnChanging = [](plat::TObject*, int, int, bool& allow) { allow = false; };
    ts->SetActiveTabIndex(1);
    EXPECT_EQ(ts->ActiveTabIndex(), 3) << "vetoed";
    ts->OnChanging = nullptr;

    TOfficeTabCollectionItem* active = ts->Tabs()->Items(3);
    ts->Tabs()->Delete(1);
    EXPECT_EQ(ts->Tabs()->Items(ts->ActiveTabIndex()), active) << "the same tab stays active, one lower";
    EXPECT_EQ(ts->ActiveTabIndex(), 2);
    ts->Tabs()->Delete(2);
    EXPECT_EQ(ts->ActiveTabIndex(), 2) << "the right neighbour took over";
    EXPECT_EQ(ts->Tabs()->Count(), 3);

    ts->Tabs()->Move(0, 0);
    ts->Tabs()->Move(0, 7);
    EXPECT_EQ(ts->Tabs()->Items(0)->Caption(), "TabItem1") << "equal or bad indexes change nothing";
    ts->Tabs()->Move(0, 2);
    EXPECT_EQ(ts->Tabs()->Items(2)->Caption(), "TabItem1");
}

TEST_F(TabSetTest, ItemCopyKeepsItsOwnPictures) {
    TOfficeTabCollection tabs(nullptr);
    TOfficeTabCollectionItem* a = tabs.Add();
    TOfficeTabCollectionItem* b = tabs.Add();
    a->Picture()->LoadFromRCData("KVXTSCLOSE");
    a->SetCaption("A");
    a->Tag = 7;
    b->Assign(a);
    EXPECT_EQ(b->Caption(), "A");
    EXPECT_EQ(b->Tag, 7);
    delete a;
    ASSERT_FALSE(b->Picture()->Empty());
    EXPECT_TRUE(b->Picture()->MeasureImage());
    EXPECT_EQ(b->Picture()->Width(), 9) << "the button pictures are 9 x 9";
}

// ---- Layout and scrolling --------------------------------------------------------------------------------

TEST_F(TabSetTest, SixTabsOfWhichFourFit) {
    auto* form = MakeForm();
    auto* ts = AddTabSet(form, TRect(0, 0, 320, 27), 6);
    form->Show();
    Driver.Pump();
    EXPECT_TRUE(ts->Scroller().Visible());
    EXPECT_EQ(ts->Scroller().Max(), 2);
    ASSERT_NE(ts->ScrollPrevButton(), nullptr);
    ASSERT_NE(ts->ScrollNextButton(), nullptr);
    EXPECT_EQ(ts->GetTabRect(0), TRect(4, 4, 64, 30));
    EXPECT_EQ(ts->GetTabRect(3).Right, 4 + 4 * kTabWidth + 3 * 4);
    EXPECT_EQ(ts->GetTabRect(4).Left, -1) << "the fifth does not fit";

    struct Step {
        int Position;
        bool BackEnabled, ForwardEnabled;
        int FirstShown;
    };
    const Step steps[] = {{0, false, true, 0}, {1, true, true, 1}, {2, true, false, 2}};
    for (const Step& s : steps) {
        if (s.Position > 0) {
            Driver.Advance(1000, 50); // apart enough not to make a double click
            Driver.Click(ts->ScrollNextButton());
        }
        EXPECT_EQ(ts->Scroller().Position(), s.Position);
        EXPECT_EQ(ts->ScrollPrevButton()->Enabled(), s.BackEnabled) << s.Position;
        EXPECT_EQ(ts->ScrollNextButton()->Enabled(), s.ForwardEnabled) << s.Position;
        EXPECT_EQ(ts->TabAtPos(10, 10), s.FirstShown) << s.Position;
    }
    Driver.Advance(1000, 50);
    Driver.Click(ts->ScrollNextButton());
    EXPECT_EQ(ts->Scroller().Position(), 2) << "no further than the maximum";

    ts->SetActiveTabIndex(0);
    EXPECT_EQ(ts->Scroller().Position(), 0) << "selecting a scrolled-out tab scrolls it into view";
    EXPECT_EQ(ts->ActiveTabIndex(), 0);

    ts->SetWidth(500);
    Driver.Pump();
    EXPECT_FALSE(ts->Scroller().Visible()) << "all six fit once the strip is wider";
    EXPECT_EQ(ts->ScrollNextButton(), nullptr);
}

TEST_F(TabSetTest, HiddenTabsNeitherTakePlaceNorCountForTheScrollPosition) {
    auto* form = MakeForm();
    auto* ts = AddTabSet(form, TRect(0, 0, 320, 27), 7);
    ts->Tabs()->Items(1)->SetVisible(false);
    ts->Tabs()->Items(3)->SetVisible(false);
    form->Show();
    Driver.Pump();
    // Five visible tabs, four fit: one visible tab must scroll out, whatever the hidden ones.
    EXPECT_EQ(ts->Scroller().Max(), 1);
    EXPECT_EQ(ts->GetTabRect(1).Left, -1);
    EXPECT_EQ(ts->GetTabRect(2).Left, 4 + kTabWidth + 4) << "the hidden tab takes no place";
    Driver.Click(ts->ScrollNextButton());
    EXPECT_EQ(ts->Scroller().Position(), 1);
    EXPECT_EQ(ts->TabAtPos(10, 10), 2) << "Position 1 shows the second visible tab first";
    EXPECT_NE(ts->GetTabRect(6).Left, -1) << "and the last one fits";
    EXPECT_FALSE(ts->ScrollNextButton()->Enabled());

    ts->SetActiveTabIndex(0);
    EXPECT_EQ(ts->Scroller().Position(), 0);
    ts->SetActiveTabIndex(6);
    EXPECT_EQ(ts->Scroller().Position(), 1) << "four visible tabs before it, at most the maximum";
}

TEST_F(TabSetTest, ButtonsWithoutTabsAndCloseOnTheTab) {
    auto* form = MakeForm();
    auto* ts = AddTabSet(form, TRect(0, 0, 400, 27), 0);
    ts->ButtonSettings()->SetTabListButton(true);
    ts->ButtonSettings()->SetCloseButton(true);
    form->Show();
    Driver.Pump();
    EXPECT_EQ(ts->ScrollPrevButton(), nullptr);
    ASSERT_NE(ts->TabListButton(), nullptr);
    ASSERT_NE(ts->CloseButton(), nullptr);
    EXPECT_FALSE(ts->TabListButton()->Enabled());
    EXPECT_FALSE(ts->CloseButton()->Enabled());

    ts->TabSettings()->SetWidth(0);
    ts->Tabs()->Add()->SetCaption("A");
    const int plainLength = ts->GetTabRect(0).Width();
    ts->SetCloseOnTab(true);
    EXPECT_EQ(ts->GetTabRect(0).Width(), plainLength + 22);
    ts->UpdateTabButtons();
    const TRect t = ts->GetTabRect(0);
    EXPECT_EQ(ts->CloseButton()->BoundsRect(), TRect(t.Right - 22, t.Bottom - 23, t.Right - 4, t.Bottom - 5));
    ts->SetCloseOnTabPosition(cpLeft);
    EXPECT_EQ(ts->CloseButton()->BoundsRect().Left, t.Left + 4);
}

// ---- Interaction -----------------------------------------------------------------------------------------

TEST_F(TabSetTest, PressingTabsClicksSelectsAndShowsThePressedTab) {
    auto* form = MakeForm();
    auto* ts = AddTabSet(form, TRect(0, 0, 500, 27), 3);
    std::vector<std::string> log;
    ts->OnTabClick = [&](plat::TObject*, int i) { log.push_back("click" + std::to_string(i)); };
    ts->OnChanging = [&](plat::TObject*, int, int to, bool&) {
        log.push_back("changing" + std::to_string(to));
    };
    form->Show();
    Driver.Pump();
    const TPoint second(4 + kTabWidth + 4 + 10, 12);
    Driver.Click(ts, second);
    EXPECT_EQ(log, (std::vector<std::string>{"click1", "changing1"}));
    EXPECT_EQ(ts->ActiveTabIndex(), 1);
    log.clear();
    Driver.Press(plat::TTestDriver::ScreenPoint(ts, second));
    EXPECT_EQ(ts->DownTabIndex(), 1) << "the active tab shows pressed";
    Driver.Release(plat::TTestDriver::ScreenPoint(ts, second));
    EXPECT_EQ(ts->DownTabIndex(), -1);
    EXPECT_EQ(log, (std::vector<std::string>{"click1"}));
    Driver.Click(ts, TPoint(10, 12), plat::tbMiddle);
    EXPECT_EQ(ts->ActiveTabIndex(), 0) << "the middle button selects without a click event";
    EXPECT_EQ(log, (std::vector<std::string>{"click1", "changing0"}));

    log.clear();
    ts->OnTabRightClick = [&](plat::TObject*, int i) { log.push_back("right" + std::to_string(i)); };
    ts->OnTabDblClick = [&](plat::TObject*, int i) { log.push_back("double" + std::to_string(i)); };
    Driver.Advance(1000, 50);
    Driver.Click(ts, TPoint(4 + 2 * (kTabWidth + 4) + 10, 12), plat::tbRight);
    Driver.Advance(1000, 50);
    Driver.DoubleClick(ts, TPoint(10, 12));
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], "right2");
    EXPECT_EQ(log[1], "changing2");
    EXPECT_EQ(log.back(), "double0");
}

TEST_F(TabSetTest, HoverGlowRisesParksAndFadesOut) {
    auto* form = MakeForm();
    auto* ts = AddTabSet(form, TRect(0, 0, 500, 60), 3);
    ts->Tabs()->Items(2)->SetEnabled(false);
    form->Show();
    Driver.Pump();
    TOfficeTabCollectionItem* tab = ts->Tabs()->Items(1);
    Driver.MoveTo(plat::TTestDriver::ScreenPoint(ts, TPoint(4 + kTabWidth + 4 + 10, 12)));
    EXPECT_EQ(ts->HotTabIndex(), 1);
    for (int pos : {20, 40, 60, 80, 100}) {
        Driver.Advance(50, 50);
        EXPECT_EQ(tab->GlowPosition, pos);
    }
    Driver.Advance(50, 50);
    EXPECT_EQ(tab->GlowPosition, 120) << "parked while the mouse stays";
    ASSERT_NE(tab->GlowTimer, nullptr);

    Driver.MoveTo(plat::TTestDriver::ScreenPoint(ts, TPoint(4 + 2 * (kTabWidth + 4) + 10, 12)));
    EXPECT_EQ(ts->HotTabIndex(), -1) << "a disabled tab never becomes hot";
    EXPECT_EQ(ts->HintTabIndex(), 2) << "but its hint is asked for";
    for (int i = 0; i < 7; ++i)
        Driver.Advance(50, 50);
    EXPECT_EQ(tab->GlowTimer, nullptr) << "the fade out ended at -20";
    EXPECT_EQ(tab->GlowState, 2);
}

TEST_F(TabSetTest, LeavingTheBandOrTheControlEndsTheHotTab) {
    struct Case {
        bool Glow;
        bool HotAfterLeavingTheBand;
    };
    for (const Case c : {Case{true, true}, Case{false, false}}) {
        SCOPED_TRACE(c.Glow);
        auto* form = MakeForm();
        auto* ts = AddTabSet(form, TRect(0, 0, 500, 80), 3);
        ts->SetGlow(c.Glow);
        form->Show();
        Driver.Pump();
        const TPoint second(4 + kTabWidth + 4 + 10, 12);
        Driver.MoveTo(plat::TTestDriver::ScreenPoint(ts, second));
        EXPECT_EQ(ts->HotTabIndex(), 1);
        Driver.MoveTo(plat::TTestDriver::ScreenPoint(ts, TPoint(second.X, 60)));
        EXPECT_EQ(ts->HotTabIndex() == 1, c.HotAfterLeavingTheBand) << "below the band, still in the control";
        Driver.MoveTo(plat::TTestDriver::ScreenPoint(ts, TPoint(second.X, 200)));
        EXPECT_EQ(ts->HotTabIndex(), -1) << "outside the control";
        form->Free();
    }
}

// With the close button on the active tab, moving onto it leaves the control for the button but not the
// tab: the tab stays hot.
TEST_F(TabSetTest, TheCloseButtonOnTheTabKeepsItHot) {
    auto* form = MakeForm();
    auto* ts = AddTabSet(form, TRect(0, 0, 500, 40), 3, 0);
    ts->ButtonSettings()->SetCloseButton(true);
    ts->SetCloseOnTab(true);
    ts->SetActiveTabIndex(1);
    form->Show();
    Driver.Pump();
    ASSERT_NE(ts->CloseButton(), nullptr);
    const TRect t = ts->GetTabRect(1);
    Driver.MoveTo(plat::TTestDriver::ScreenPoint(ts, TPoint(t.Left + 3, t.Top + 10)));
    EXPECT_EQ(ts->HotTabIndex(), 1);
    Driver.MoveTo(plat::TTestDriver::CenterOf(ts->CloseButton()));
    EXPECT_EQ(ts->HotTabIndex(), 1);
}

TEST_F(TabSetTest, DraggingTheActiveTabRearranges) {
    auto* form = MakeForm();
    auto* ts = AddTabSet(form, TRect(0, 0, 500, 27), 4);
    ts->SetTabRearrange(true);
    int from = -1, to = -1;
    ts->OnTabMoved = [&](plat::TObject*, int f, int t) { from = f, to = t; };
    form->Show();
    Driver.Pump();
    TOfficeTabCollectionItem* first = ts->Tabs()->Items(0);
    Driver.Drag(ts, TPoint(10, 12), TPoint(4 + 2 * (kTabWidth + 4) + 10, 12), 8);
    Driver.Pump();
    EXPECT_EQ(first->Index(), 2);
    EXPECT_EQ(ts->ActiveTabIndex(), 2) << "the moved tab stays selected";
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, 2);

    ts->SetTabRearrange(false);
    Driver.Drag(ts, TPoint(10, 12), TPoint(4 + 3 * (kTabWidth + 4) + 10, 12), 8);
    Driver.Pump();
    EXPECT_EQ(first->Index(), 2) << "without rearranging a drag moves nothing";
}

TEST_F(TabSetTest, AltAndTheMarkedLetterSelectsTheTab) {
    auto* form = MakeForm();
    auto* ts = AddTabSet(form, TRect(0, 0, 500, 27), 3);
    ts->Tabs()->Items(2)->SetCaption("&Data");
    ts->Tabs()->Items(1)->SetCaption("&Hidden");
    ts->Tabs()->Items(1)->SetVisible(false);
    form->Show();
    Driver.Pump();
    Driver.PressKey('D', plat::modAlt);
    EXPECT_EQ(ts->ActiveTabIndex(), 2);
    Driver.PressKey('H', plat::modAlt);
    EXPECT_EQ(ts->ActiveTabIndex(), 2) << "a hidden tab is not selected";
}

TEST_F(TabSetTest, TabListShowsTheVisibleTabsWithTheirIndexes) {
    auto* form = MakeForm();
    auto* ts = AddTabSet(form, TRect(0, 0, 500, 27), 4);
    auto* menu = new plat::TPopupMenu(form);
    ts->SetTabListMenu(menu);
    ts->ButtonSettings()->SetTabListButton(true);
    ts->Tabs()->Items(1)->SetVisible(false);
    ts->SetActiveTabIndex(2);
    TPoint at(-1, -1);
    ts->OnTabListClick = [&](plat::TObject*, int x, int y) { at = TPoint(x, y); };
    form->Show();
    Driver.Pump();
    ASSERT_NE(ts->TabListButton(), nullptr);
    Driver.Click(ts->TabListButton());
    ASSERT_EQ(menu->Items()->Count(), 3);
    std::vector<intptr_t> tags;
    for (int i = 0; i < 3; ++i)
        tags.push_back(menu->Items()->Items(i)->Tag());
    EXPECT_EQ(tags, (std::vector<intptr_t>{0, 2, 3}));
    EXPECT_TRUE(menu->Items()->Items(1)->Checked());
    const TRect r = ts->GetTabListButtonRect();
    EXPECT_EQ(at, ts->ClientToScreen(TPoint(r.Left, r.Bottom)));
    menu->Items()->Items(2)->Click();
    EXPECT_EQ(ts->ActiveTabIndex(), 3);
}

// Each tab's own office hint shows, through the tab set's carrier; without tab hints the tab set shows
// none at all.
TEST_F(TabSetTest, TheHintOfTheTabUnderTheMouse) {
    UI_HEADLESS_ONLY(Driver);
    auto* form = MakeForm();
    ui::TKvxOfficeHint officeHint(form);
    auto* ts = AddTabSet(form, TRect(0, 0, 500, 27), 3);
    ts->SetShowHint(true);
    ts->SetShowTabHint(true);
    ts->SetHint("The strip");
    ts->Tabs()->Items(1)->OfficeHint()->SetTitle("Chart 1");
    ts->Tabs()->Items(2)->OfficeHint()->SetTitle("Chart 2");
    form->Show();
    Driver.Pump();
    auto hover = [&](int tab) -> std::string {
        Driver.MoveTo(TPoint(5, 5));
        Driver.Advance(1000, 50);
        // Entering a tab cancels the hint of the one before; the next move starts the pause again.
        const TPoint at = ts->GetTabRect(tab).CenterPoint();
        Driver.MoveTo(plat::TTestDriver::ScreenPoint(ts, at));
        Driver.MoveTo(plat::TTestDriver::ScreenPoint(ts, TPoint(at.X + 1, at.Y)));
        Driver.Advance(plat::Application->HintPause(), 50);
        auto* window = dynamic_cast<ui::TKvxOfficeHintWindow*>(plat::Application->HintWindow());
        if (!window || !window->IsHintShowing())
            return "(none)";
        return window->Content().Title();
    };
    EXPECT_EQ(hover(1), "Chart 1");
    EXPECT_EQ(ts->HintTabIndex(), 1);
    EXPECT_EQ(hover(2), "Chart 2");
    ts->SetShowTabHint(false);
    EXPECT_EQ(hover(1), "(none)");
}

TEST_F(TabSetTest, ClosingOnAPlainTabSetHides) {
    auto* form = MakeForm();
    auto* ts = AddTabSet(form, TRect(0, 0, 500, 27), 2);
    ts->ButtonSettings()->SetCloseButton(true);
    bool allow = false;
    ts->OnTabClose = [&](plat::TObject*, int, bool& a) { a = allow; };
    ts->CloseButtonClick();
    EXPECT_TRUE(ts->Tabs()->Items(0)->Visible()) << "refused";
    allow = true;
    ts->CloseButtonClick();
    EXPECT_FALSE(ts->Tabs()->Items(0)->Visible());
    EXPECT_EQ(ts->ActiveTabIndex(), 1);
    ts->CloseButtonClick();
    EXPECT_FALSE(ts->Tabs()->Items(1)->Visible());
    EXPECT_EQ(ts->ActiveTabIndex(), 1) << "no other candidate: it stays selected";
    EXPECT_EQ(ts->Tabs()->Count(), 2);
}

TEST_F(TabSetTest, AFreedStylerHandsBackTheInternalOne) {
    auto* form = MakeForm();
    auto* ts = AddTabSet(form, TRect(0, 0, 500, 27), 2);
    auto* styler = new TKvxOfficeTabSetOfficeStyler(form);
    styler->SetStyle(tsOffice2007Obsidian);
    ts->SetKvxOfficeTabSetStyler(styler);
    EXPECT_EQ(ts->CurrentStyler(), styler);
    EXPECT_EQ(styler->ClientCount(), 1);
    delete styler;
    EXPECT_EQ(ts->KvxOfficeTabSetStyler(), nullptr);
    EXPECT_EQ(ts->CurrentStyler(), ts->InternalStyler());
    EXPECT_EQ(ts->InternalStyler()->Name(), "InternalStyler");
    EXPECT_EQ(ts->CurrentStyler()->TabAppearance()->BackGround()->Color(), 0xFFDBBF) << "the Luna colours";
}

TEST_F(TabSetTest, VersionAndButtonSettingsCopy) {
    auto* form = MakeForm();
    auto* ts = AddTabSet(form, TRect(0, 0, 500, 27), 0);
    ts->SetVersion("9.9");
    EXPECT_EQ(ts->Version(), "1.3.2.2");
    EXPECT_EQ(ts->GetVersionNr(), 0x01030202u);
    TTabSetButtonSettings other;
    other.SetCloseButton(true);
    other.CloseButtonHint = "Shut";
    other.CloseButtonPicture()->Assign(nullptr);
    ts->SetButtonSettings(&other);
    EXPECT_TRUE(ts->ButtonSettings()->CloseButton());
    EXPECT_TRUE(ts->ButtonSettings()->CloseButtonPicture()->Empty());
    EXPECT_EQ(ts->ButtonSettings()->CloseButtonHint, "Close") << "hint texts stay";
}

TEST_F(TabSetTest, LayoutRoundTripOfTheSettings) {
    // 60 is the stream default while a new tab set holds 4: a stored 4 is written, 60 is not and comes
    // back as 4.
    struct Case {
        int Margin, ReadBack;
    };
    for (const Case c : {Case{4, 4}, Case{60, 4}, Case{0, 0}}) {
        const int margin = c.Margin;
        SCOPED_TRACE(margin);
        auto* form = new plat::TForm(plat::Application);
        form->SetName("fmTabs");
        auto* ts = new TKvxCustomOfficeTabSet(form);
        ts->SetParent(form);
        ts->SetName("KvxOfficeTabSet1");
        ts->TabSettings()->SetStartMargin(margin);
        ts->TabSettings()->SetShape(tsLeftRamp);
        ts->ButtonSettings()->SetCloseButton(true);
        ts->SetTabPosition(plat::tpLeft);
        ts->Loaded();
        const std::string text = plat::WriteComponentToText(form);
        EXPECT_EQ(text.find("StartMargin") != std::string::npos, margin != 60) << text;
        EXPECT_NE(text.find("TabSettings.Shape = tsLeftRamp"), std::string::npos) << text;
        EXPECT_NE(text.find("ButtonSettings.CloseButton = True"), std::string::npos) << text;
        EXPECT_EQ(text.find("Picture"), std::string::npos) << "the built-in pictures are not stored";
        EXPECT_EQ(text.find("InternalStyler"), std::string::npos) << text;
        form->Free();
        auto* back = new plat::TForm(plat::Application);
        plat::ReadComponentFromText(text, back);
        auto* read = dynamic_cast<TKvxCustomOfficeTabSet*>(back->FindComponent("KvxOfficeTabSet1"));
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->TabSettings()->StartMargin(), c.ReadBack);
        EXPECT_EQ(read->TabSettings()->Shape(), tsLeftRamp);
        EXPECT_EQ(read->TabPosition(), plat::tpLeft);
        EXPECT_NE(read->CloseButton(), nullptr) << "loading finished the buttons";
        if (c.ReadBack == margin) {
            EXPECT_EQ(plat::WriteComponentToText(back), text);
        }
        back->Free();
    }
}

// ---- Pictures --------------------------------------------------------------------------------------------

// Every tab position and shape with a selected, a hot and a plain tab, and one disabled tab; the second
// and fourth columns show the faces of tabs that are not selected.
TEST_F(TabSetTest, SheetOfPositionsShapesAndStates) {
    auto* form = MakeForm(TRect(0, 0, 1300, 900));
    auto* styler = new TKvxOfficeTabSetOfficeStyler(form);
    styler->SetStyle(tsOffice2007Luna);
    const plat::TTabPosition positions[] = {plat::tpTop, plat::tpBottom, plat::tpLeft, plat::tpRight};
    const TKvxTabShape shapes[] = {tsRectangle, tsLeftRamp, tsRightRamp, tsLeftRightRamp};
    std::vector<TKvxCustomOfficeTabSet*> sets;
    for (int p = 0; p < 4; ++p)
        for (int s = 0; s < 4; ++s) {
            const bool side = positions[p] == plat::tpLeft || positions[p] == plat::tpRight;
            const TRect r =
                side ? TRect(20 + s * 150 + (p - 2) * 640, 420, 20 + s * 150 + (p - 2) * 640 + 60, 850)
                     : TRect(20 + s * 320, 20 + p * 180, 20 + s * 320 + 300, 20 + p * 180 + 60);
            auto* ts = AddTabSet(form, r, 4, side ? 90 : 70);
            ts->SetKvxOfficeTabSetStyler(styler);
            ts->SetTabPosition(positions[p]);
            ts->TabSettings()->SetShape(shapes[s]);
            ts->TabSettings()->SetRounding(s == 0 ? 1 : 3);
            ts->SetShowNonSelectedTabs(s % 2 == 1);
            // The third column writes its captions without anti-aliasing.
            ts->SetAntiAlias(s == 2 ? ui::aaNone : ui::aaClearType);
            ts->Tabs()->Items(3)->SetEnabled(false);
            ts->SetActiveTabIndex(1);
            ts->SetHotTabIndex(2);
            sets.push_back(ts);
        }
    form->Show();
    Driver.Pump();
    auto image = Driver.Render(form);
    ASSERT_NE(image, nullptr);
    plat::TTestDriver::SavePng(*image, plat::TestOutputDir("office") + "/tabset-sheet.png");
    // The selected top tab of the plain form carries the Luna selected gradient near its top.
    const TRect sel = sets[0]->GetTabRect(1);
    const TColor c = Driver.Pixel(sets[0], (sel.Left + sel.Right) / 2, sel.Top + 7);
    for (int shift : {0, 8, 16}) {
        const int got = (c >> shift) & 0xFF;
        EXPECT_LE(got, (0xFEF6F0 >> shift) & 0xFF) << shift;
        EXPECT_GE(got, (0xFAF1E9 >> shift) & 0xFF) << shift;
    }
}

// A strip lower than its tabs: the bottom tab's upper corners lie above the control, so the samples
// taken there have no colour and nothing is written back for them; the visible part is still painted.
TEST_F(TabSetTest, CornerSamplesOutsideTheCanvasAreSkipped) {
    auto* form = MakeForm();
    auto* ts = AddTabSet(form, TRect(0, 0, 300, 20), 2);
    ts->SetTabPosition(plat::tpBottom);
    form->Show();
    Driver.Pump();
    const TRect t = ts->GetTabRect(0);
    ASSERT_LT(t.Top, 0);
    auto image = Driver.Render(ts);
    ASSERT_NE(image, nullptr);
    const TColor band = ts->CurrentStyler()->TabAppearance()->BackGround()->Color();
    EXPECT_NE(plat::TTestDriver::PixelOf(*image, t.Left + 20, 8), band) << "the selected face shows";
    EXPECT_EQ(plat::TTestDriver::PixelOf(*image, 200, 8), band) << "the band beside the tabs";
}

} // namespace
