#include "ui/office/KvxOfficePager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/backend/Headless.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Panel.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/office/KvxOfficePagerStylers.h"

namespace {

using plat::TColor;
using plat::TPoint;
using plat::TRect;
using namespace ui::pager;

// Tabs of a fixed length make the layout independent of the fonts installed.
constexpr int kTabWidth = 60;

class PagerTest : public ::testing::Test {
protected:
    plat::TForm* MakeForm(TRect bounds = TRect(100, 100, 600, 500)) {
        auto* f = plat::NewForm<plat::TForm>(plat::Application);
        f->SetBoundsRect(bounds);
        return f;
    }
    TKvxOfficePager* AddPager(plat::TWinControl* parent, TRect r, int pages, int tabWidth = kTabWidth) {
        auto* p = new TKvxOfficePager(parent);
        p->SetParent(parent);
        p->SetBoundsRect(r);
        p->TabSettings()->SetWidth(tabWidth);
        for (int i = 0; i < pages; ++i) {
            auto* page = new TKvxOfficePage(parent);
            page->SetCaption("Page " + std::to_string(i + 1));
            page->SetPager(p);
        }
        if (pages > 0)
            p->SetActivePageIndex(0);
        return p;
    }
    int Bells() { return Driver.IsHeadless() ? Driver.Backend().Bells() : 0; }
    plat::TTestDriver Driver;
};

// ---- Companion classes -----------------------------------------------------------------------------------

TEST(PagerClasses, TwinsDifferFromTheTabSetsWhereTheyMust) {
    TPagerTabSettings s;
    s.SetRounding(9);
    EXPECT_EQ(s.Rounding(), 9) << "the pager keeps any rounding set from code";

    TCustomTabAppearance a;
    EXPECT_EQ(a.HighLightColor(), 0xFFFABF);
    EXPECT_EQ(a.HighLightColorSelected(), 0x63CCF8);
    TCustomTabAppearance b;
    b.SetHighLightColor(0x010203);
    a.Assign(&b);
    EXPECT_EQ(a.HighLightColor(), 0x010203) << "the copy takes the pager's extra highlight";

    TDbgList list;
    list.Add(&s);
    try {
        list.SetItems(1, &s);
        ADD_FAILURE() << "a write past the end went through";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.Message(), "Index out of bounds in list write access");
    }
    try {
        (void)list.Items(1);
        ADD_FAILURE() << "a read past the end went through";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.Message(), "Index out of bounds in list read access");
    }
}

TEST(PagerClasses, PageColoursCopyNotifiesOnlyThroughTheGradients) {
    TVistaBackground a, b;
    int changes = 0;
    a.OnChange = [&](plat::TObject*) { ++changes; };
    b.SetColor(0x123456);
    b.SetBorderColor(0x654321);
    a.Assign(&b);
    EXPECT_EQ(a.Color(), 0x123456);
    EXPECT_EQ(a.BorderColor(), 0x654321);
    EXPECT_EQ(changes, 0) << "equal gradients: a silent copy";
    b.SetGradient(ui::ggRadial);
    b.SetGradientMirror(ui::ggRadial);
    a.Assign(&b);
    EXPECT_EQ(changes, 2);
    a.SetColor(a.Color());
    EXPECT_EQ(changes, 2) << "an equal colour does not notify";
    TGradientBackground wrong;
    EXPECT_THROW(a.Assign(&wrong), plat::Exception);
}

// ---- Styler ----------------------------------------------------------------------------------------------

struct TPresetRow {
    TOfficePagerStyle Style;
    TColor BandColor, PageColor, PageBorder, GlowColor, TabSelected;
    bool Rounded;
    int Blend;
};

const TPresetRow kRows[] = {
    {psOffice2003Blue, 0xE4AE88, 0xFDEADA, 0xE3B28D, 0xEEDBC8, 0xFCDCC4, true, 50},
    {psOffice2003Silver, 0xE6D8D8, 0xF7F3F3, 0x927476, 0xEDD4C0, 0x927476, true, 50},
    {psOffice2003Olive, 0x8CC0B1, 0xCFF0EA, 0x8CC0B1, 0xCFF0EA, 0x8CC0B1, true, 50},
    {psOffice2003Classic, 0xC9D1D5, 0xFFFFFF, 0x000000, 0xFFFFFF, 0xC9D1D5, true, 80},
    {psOffice2007Luna, 0xFFDBBF, 0xFAF1E9, 0xE3B28D, 0xEEDBC8, 0xFEF6F0, true, 50},
    {psOffice2007Obsidian, 0x535353, 0xCFC6C1, 0xB4B0AE, 0xDFDED6, 0xEFEEED, true, 50},
    {psWindowsXP, plat::clBtnFace, plat::clBtnFace, 0x000000, 0xFFFFFF, 0xEFD3C6, false, 50},
    {psWhidbey, 0x859D9D, 0xFFFFFF, 0x000000, 0xFFFFFF, 0xADC4C4, true, 50},
    {psOffice2007Silver, 0xDDD4D0, 0xF9F5F3, 0xBEBEBE, 0xF3F3F1, 0xF8F8F4, true, 50},
};

class PagerStylerTest : public PagerTest {};

TEST_F(PagerStylerTest, PresetsPerSuiteStyleArriveThroughTheStyleInterface) {
    for (const TPresetRow& r : kRows) {
        SCOPED_TRACE(kOfficePagerStyleNames[r.Style]);
        TKvxOfficePagerOfficeStyler s(nullptr);
        // From another style first, so every row is a real change.
        s.SetStyle(r.Style == psOffice2003Classic ? psWhidbey : psOffice2003Classic);
        auto* styleable = dynamic_cast<ui::IStyleable*>(static_cast<plat::TComponent*>(&s));
        ASSERT_NE(styleable, nullptr);
        styleable->ApplyStyle(static_cast<ui::TKVXStyle>(r.Style));
        EXPECT_EQ(s.Style(), r.Style);
        EXPECT_EQ(s.TabAppearance()->BackGround()->Color(), r.BandColor);
        EXPECT_EQ(s.PageAppearance()->Color(), r.PageColor);
        EXPECT_EQ(s.PageAppearance()->BorderColor(), r.PageBorder);
        EXPECT_EQ(s.GlowButtonAppearance()->Color(), r.GlowColor);
        EXPECT_EQ(s.TabAppearance()->ColorSelected(), r.TabSelected);
        EXPECT_EQ(s.RoundedPageCorners(), r.Rounded);
        EXPECT_EQ(s.PageEdgeBlendPercent(), r.Blend);
    }
}

TEST_F(PagerStylerTest, CustomKeepsTheColoursAndStillTellsThePagers) {
    auto* form = MakeForm();
    auto* s = new TKvxOfficePagerOfficeStyler(form);
    s->SetStyle(psOffice2003Classic);
    s->PageAppearance()->SetColor(0x010203);
    auto* p = AddPager(form, TRect(0, 0, 300, 200), 2);
    p->SetKvxOfficePagerStyler(s);
    std::vector<int> codes;
    struct TProbe : TKvxOfficePager {
        using TKvxOfficePager::TKvxOfficePager;
        std::vector<int>* Codes = nullptr;
        void StylerChanged(int Code) override {
            Codes->push_back(Code);
            TKvxOfficePager::StylerChanged(Code);
        }
    };
    auto* probe = new TProbe(form);
    probe->Codes = &codes;
    probe->SetParent(form);
    probe->SetKvxOfficePagerStyler(s);
    codes.clear();

    s->SetStyle(s->Style());
    EXPECT_TRUE(codes.empty()) << "the same style writes nothing";
    s->SetStyle(psCustom);
    EXPECT_EQ(s->PageAppearance()->Color(), 0x010203);
    EXPECT_EQ(s->PageEdgeBlendPercent(), 50) << "the classic 80 goes back to 50";
    EXPECT_EQ(codes, std::vector<int>{scPageAppearance});
    codes.clear();
    s->PageAppearance()->SetColor(0x010203);
    EXPECT_TRUE(codes.empty());
    s->PageAppearance()->SetColor(0x040506);
    EXPECT_EQ(codes, std::vector<int>{scPageAppearance});
    form->Free();
}

TEST_F(PagerStylerTest, AssigningOneStylerToAnotherLeavesTheGlowColours) {
    TKvxOfficePagerOfficeStyler from(nullptr), to(nullptr);
    from.SetStyle(psWindowsXP);
    to.SetStyle(psOffice2007Obsidian);
    const TColor glow = to.GlowButtonAppearance()->Color();
    to.Assign(&from);
    EXPECT_EQ(to.PageAppearance()->Color(), plat::clBtnFace);
    EXPECT_FALSE(to.RoundedPageCorners());
    EXPECT_EQ(to.GlowButtonAppearance()->Color(), glow);
}

TEST_F(PagerStylerTest, WithoutAKnownColourSchemeAutoAdaptTakesWindowsXP) {
    TKvxOfficePagerOfficeStyler s(nullptr);
    s.SetAutoThemeAdapt(true);
    s.Loaded();
    EXPECT_EQ(s.Style(), psWindowsXP);
}

// The style is read first, so colours stored after it win over its preset.
TEST_F(PagerStylerTest, AStoredStyleComesFirstAndStoredColoursWin) {
    TKvxOfficePagerOfficeStyler s(nullptr);
    s.SetName("PagerStyler");
    s.SetStyle(psWhidbey);
    s.PageAppearance()->SetColor(0x445566);
    const std::string text = plat::WriteComponentToText(&s);
    const size_t style = text.find("Style = psWhidbey"), page = text.find("PageAppearance.");
    ASSERT_NE(style, std::string::npos) << text;
    EXPECT_LT(style, page) << text;
    auto* back = dynamic_cast<TKvxOfficePagerOfficeStyler*>(plat::ReadComponentFromText(text));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Style(), psWhidbey);
    EXPECT_EQ(back->PageAppearance()->Color(), 0x445566);
    EXPECT_EQ(back->TabAppearance()->BackGround()->Color(), 0x859D9D);
    back->Free();
}

TEST_F(PagerStylerTest, TheFormStylerStylesIt) {
    auto* form = MakeForm();
    auto* s = new TKvxOfficePagerOfficeStyler(form);
    auto* fs = new ui::TKvxFormStyler(form);
    fs->SetStyle(ui::tsOffice2007Luna);
    EXPECT_EQ(s->Style(), psOffice2007Luna);
    form->Free();
}

// A freed styler must not stay behind in the pagers that used it, wherever it is freed.
TEST_F(PagerStylerTest, AFreedStylerLeavesItsPagersWithTheirOwn) {
    auto* form = MakeForm();
    auto* s = new TKvxOfficePagerOfficeStyler(form);
    auto* a = AddPager(form, TRect(0, 0, 300, 150), 2);
    auto* b = AddPager(form, TRect(0, 160, 300, 310), 2);
    a->SetKvxOfficePagerStyler(s);
    b->SetKvxOfficePagerStyler(s);
    form->Show();
    Driver.Pump();
    delete s;
    EXPECT_EQ(a->KvxOfficePagerStyler(), nullptr);
    EXPECT_EQ(a->CurrentStyler(), a->InternalStyler());
    EXPECT_EQ(b->CurrentStyler(), b->InternalStyler());
    a->Invalidate();
    b->Pages(0)->Invalidate();
    Driver.Pump();
    EXPECT_NE(Driver.Render(a), nullptr);
    form->Free();
}

TEST_F(PagerStylerTest, PictureOfThePresets) {
    auto* form = MakeForm(TRect(0, 0, 9 * 150 + 20, 200));
    int col = 0;
    std::vector<TKvxOfficePager*> pagers;
    for (const TPresetRow& r : kRows) {
        auto* s = new TKvxOfficePagerOfficeStyler(form);
        s->SetStyle(r.Style);
        auto* p = AddPager(form, TRect(col * 150, 0, col * 150 + 146, 180), 3, 44);
        ++col;
        p->SetKvxOfficePagerStyler(s);
        p->SetHotTabIndex(1);
        pagers.push_back(p);
    }
    form->Show();
    Driver.Pump();
    auto image = Driver.Render(form);
    ASSERT_NE(image, nullptr);
    plat::TTestDriver::SavePng(*image, plat::TestOutputDir("office") + "/pager-styler-presets.png");
    // The band starts in its style's first colour, and each page took its style's page colour.
    for (size_t i = 0; i < pagers.size(); ++i) {
        SCOPED_TRACE(kOfficePagerStyleNames[kRows[i].Style]);
        EXPECT_EQ(Driver.Pixel(pagers[i], 0, 0), plat::ColorToRGB(kRows[i].BandColor));
        EXPECT_EQ(pagers[i]->ActivePage()->Color(), kRows[i].PageColor);
    }
}

// ---- Geometry and scrolling ------------------------------------------------------------------------------

// The camera window's pager: left tabs with a left ramp, 193 x 448, four pages.
TEST_F(PagerTest, TheApplicationPagersPageRectangles) {
    auto* form = MakeForm(TRect(0, 0, 400, 500));
    auto* p = new TKvxOfficePager(form);
    p->SetParent(form);
    p->SetBounds(0, 0, 193, 448);
    p->SetTabPosition(plat::tpLeft);
    p->TabSettings()->SetHeight(22);
    p->TabSettings()->SetStartMargin(4);
    p->TabSettings()->SetShape(tsLeftRamp);
    p->TabSettings()->SetWidth(kTabWidth);
    for (const char* c : {"Camera", "Signal", "Display", "Export"}) {
        auto* page = new TKvxOfficePage(form);
        page->SetCaption(c);
        page->SetPager(p);
    }
    p->SetActivePageIndex(0);
    EXPECT_EQ(p->GetPageRect(), TRect(22, 2, 192, 446));
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(p->Pages(i)->BoundsRect(), TRect(22, 2, 192, 446));
        EXPECT_EQ(p->Pages(i)->Visible(), i == 0);
    }
    EXPECT_EQ(p->GetTabsBandRect(), TRect(0, 0, 22, 448));
    // Tabs stand 4 off the edge, from start margin + page margin on, one spacing apart.
    EXPECT_EQ(p->GetTabRect(0), TRect(4, 5, 26, 65));
    EXPECT_EQ(p->GetTabRect(3), TRect(4, 5 + 3 * 64, 26, 65 + 3 * 64));
    EXPECT_FALSE(p->TabScroller().Visible()) << "four tabs fit";
    EXPECT_EQ(p->ScrollPrevButton(), nullptr);
    EXPECT_EQ(p->TabAtPos(10, 70 + 64), 2);
    form->Free();
}

TEST_F(PagerTest, ButtonAreaAndButtonsFollowTheSwitches) {
    auto* form = MakeForm();
    auto* p = AddPager(form, TRect(0, 0, 400, 200), 2);
    EXPECT_EQ(p->GetButtonsRect(), TRect(393, 4, 396, 30)) << "three pixels long without buttons";
    p->ButtonSettings()->SetCloseButton(true);
    p->ButtonSettings()->SetPageListButton(true);
    EXPECT_EQ(p->GetButtonsRect(), TRect(351, 4, 396, 30));
    EXPECT_EQ(p->GetPageListButtonRect(), TRect(354, 7, 372, 25));
    EXPECT_EQ(p->GetCloseButtonRect(), TRect(374, 7, 392, 25));
    ASSERT_NE(p->CloseButton(), nullptr);
    EXPECT_EQ(p->CloseButton()->BoundsRect(), p->GetCloseButtonRect());
    EXPECT_EQ(p->CloseButton()->Hint(), "Close");
    ASSERT_NE(p->PageListButton(), nullptr);
    EXPECT_EQ(p->PageListButton()->Hint(), "Page List");
    form->Free();
}

// Hidden tabs take no room and are not counted: Position is the number of visible tabs scrolled out,
// and the maximum is the count of visible tabs before the first start from which the rest fits.
TEST_F(PagerTest, ScrollMaximumCountsOnlyVisibleTabs) {
    auto* form = MakeForm();
    // Room for three 60-pixel tabs (with spacing 4) between the start and the scroll buttons.
    auto* p = AddPager(form, TRect(0, 0, 260, 200), 6);
    ASSERT_TRUE(p->TabScroller().Visible());
    const int allVisible = p->TabScroller().Max();
    p->Pages(1)->SetTabVisible(false);
    p->Pages(2)->SetTabVisible(false);
    EXPECT_EQ(p->TabScroller().Max(), allVisible - 2) << "two fewer visible tabs, two fewer steps";
    // Scrolled to the end, the last tab is shown.
    for (int i = 0; i < 10; ++i)
        p->ScrollTabsForward();
    EXPECT_EQ(p->TabScroller().Position(), p->TabScroller().Max());
    EXPECT_NE(p->GetTabRect(5).Left, -1) << "at the end the last page's tab is on the band";
    // Position 1 scrolls out exactly one visible tab: the first shown is page 3 (pages 1, 2 hidden).
    while (p->TabScroller().Position() > 1)
        p->ScrollTabsBack();
    EXPECT_EQ(p->GetTabRect(0).Left, -1);
    EXPECT_EQ(p->GetTabRect(3).Left, p->GetTabsRect().Left);
    form->Free();
}

TEST_F(PagerTest, SelectingAScrolledOutPageScrollsItIntoView) {
    auto* form = MakeForm();
    auto* p = AddPager(form, TRect(0, 0, 260, 200), 6);
    ASSERT_EQ(p->GetTabRect(5).Left, -1);
    ASSERT_NE(p->ScrollPrevButton(), nullptr);
    EXPECT_FALSE(p->ScrollPrevButton()->Enabled()) << "nothing to go back to at position 0";
    p->SetActivePageIndex(5);
    EXPECT_NE(p->GetTabRect(5).Left, -1);
    EXPECT_EQ(p->ActivePageIndex(), 5);
    form->Free();
}

// ---- Pages -----------------------------------------------------------------------------------------------

struct TRemoveCase {
    const char* Name;
    int Pages, Active, Removed;
    int ActiveAfter;       // index after the removal
    int ActiveCaptionPage; // the page number (1-based) whose caption the active page carries; 0 for none
};

const TRemoveCase kRemoveCases[] = {
    {"active in the middle: the next one stays", 3, 1, 1, 1, 3},
    {"active in the middle of four", 4, 1, 1, 1, 3},
    {"active last: wraps to the first", 3, 2, 2, 0, 1},
    {"before the active one: same page, new index", 3, 2, 0, 1, 3},
    {"after the active one", 3, 0, 2, 0, 1},
    {"the only page", 1, 0, 0, -1, 0},
};

TEST_F(PagerTest, RemovingAPageKeepsTheRightPageActive) {
    for (const TRemoveCase& c : kRemoveCases) {
        SCOPED_TRACE(c.Name);
        auto* form = MakeForm();
        auto* p = AddPager(form, TRect(0, 0, 400, 200), c.Pages);
        p->SetActivePageIndex(c.Active);
        std::vector<std::string> hidden;
        for (int i = 0; i < p->PageCount(); ++i)
            p->Pages(i)->OnHide = [&hidden](plat::TObject* s) {
                hidden.push_back(static_cast<TKvxOfficePage*>(s)->Caption());
            };
        TKvxOfficePage* removed = p->Pages(c.Removed);
        p->RemovePage(removed);
        // Only the page that goes out of sight is told, never one the stale index names afterwards.
        const std::vector<std::string> expectHidden = c.Active == c.Removed && c.Pages > 1
                                                          ? std::vector<std::string>{removed->Caption()}
                                                          : std::vector<std::string>{};
        EXPECT_EQ(hidden, expectHidden);
        EXPECT_EQ(removed->Pager(), nullptr);
        EXPECT_EQ(p->ActivePageIndex(), c.ActiveAfter);
        if (c.ActiveCaptionPage) {
            ASSERT_NE(p->ActivePage(), nullptr);
            EXPECT_EQ(p->ActivePage()->Caption(), "Page " + std::to_string(c.ActiveCaptionPage));
            EXPECT_TRUE(p->ActivePage()->Visible());
        } else {
            EXPECT_EQ(p->ActivePage(), nullptr);
        }
        delete removed;
        form->Free();
    }
}

TEST_F(PagerTest, ClosingWithFreeOnCloseNeverBringsTheFreedPageBack) {
    for (int pages : {1, 3}) {
        SCOPED_TRACE(pages);
        auto* form = MakeForm();
        auto* p = AddPager(form, TRect(0, 0, 400, 200), pages);
        p->FreeOnClose = true;
        p->ButtonSettings()->SetCloseButton(true);
        int closed = -2;
        p->OnClosedPage = [&](plat::TObject*, int i) { closed = i; };
        form->Show();
        Driver.Pump();
        ASSERT_NE(p->CloseButton(), nullptr);
        Driver.Click(p->CloseButton());
        Driver.Pump();
        EXPECT_EQ(closed, 0);
        EXPECT_EQ(p->PageCount(), pages - 1);
        if (pages == 1) {
            EXPECT_EQ(p->ActivePageIndex(), -1);
            EXPECT_EQ(p->ActivePage(), nullptr);
        } else {
            ASSERT_NE(p->ActivePage(), nullptr);
            EXPECT_EQ(p->ActivePage()->Caption(), "Page 2");
        }
        form->Free();
    }
}

TEST_F(PagerTest, ClosingWithoutFreeHidesTheTabAndCanBeVetoed) {
    auto* form = MakeForm();
    auto* p = AddPager(form, TRect(0, 0, 400, 200), 2);
    bool allow = false;
    p->OnClosePage = [&](plat::TObject*, int, bool& Allow) { Allow = allow; };
    p->CloseButtonClick();
    EXPECT_TRUE(p->Pages(0)->TabVisible()) << "vetoed";
    allow = true;
    p->CloseButtonClick();
    EXPECT_FALSE(p->Pages(0)->TabVisible());
    EXPECT_EQ(p->ActivePageIndex(), 1);
    p->CloseButtonClick();
    EXPECT_FALSE(p->Pages(1)->TabVisible());
    EXPECT_EQ(p->ActivePageIndex(), 1) << "no other page qualifies: the index stays on it";
    form->Free();
}

TEST_F(PagerTest, ThePageListOffersTheVisibleTabsAndSelectsOne) {
    auto* form = MakeForm();
    auto* p = AddPager(form, TRect(0, 0, 400, 200), 4);
    auto* menu = new plat::TPopupMenu(form);
    p->SetPageListMenu(menu);
    p->ButtonSettings()->SetPageListButton(true);
    p->Pages(1)->SetTabVisible(false);
    p->SetActivePageIndex(2);
    TPoint at(-1, -1);
    p->OnPageListClick = [&](plat::TObject*, int X, int Y) { at = TPoint(X, Y); };
    form->Show();
    Driver.Pump();
    ASSERT_NE(p->PageListButton(), nullptr);
    Driver.Click(p->PageListButton());
    Driver.Pump();
    ASSERT_EQ(menu->Items()->Count(), 3);
    EXPECT_EQ(menu->Items()->Items(1)->Caption(), "Page 3");
    EXPECT_TRUE(menu->Items()->Items(1)->Checked());
    EXPECT_FALSE(menu->Items()->Items(0)->Checked());
    const TRect l = p->GetPageListButtonRect();
    EXPECT_EQ(at, p->ClientToScreen(TPoint(l.Left, l.Bottom))) << "below the button's left edge";
    menu->Items()->Items(2)->Click();
    EXPECT_EQ(p->ActivePageIndex(), 3);
    form->Free();
}

TEST_F(PagerTest, APageAlignsItsChildrenTwoPixelsIn) {
    auto* form = MakeForm();
    auto* p = AddPager(form, TRect(0, 0, 300, 200), 1);
    auto* child = new plat::TPanel(form);
    child->SetParent(p->Pages(0));
    child->SetAlign(plat::alClient);
    const TRect page = p->Pages(0)->BoundsRect();
    EXPECT_EQ(child->BoundsRect(), TRect(2, 2, page.Width() - 2, page.Height() - 2));
    form->Free();
}

TEST_F(PagerTest, PagesMoveAndRefuseForeignParents) {
    auto* form = MakeForm();
    auto* p = AddPager(form, TRect(0, 0, 400, 200), 3);
    auto* other = AddPager(form, TRect(0, 210, 400, 400), 1);
    std::vector<std::pair<int, int>> moves;
    p->OnTabMoved = [&](plat::TObject*, int f, int t) { moves.emplace_back(f, t); };
    TKvxOfficePage* first = p->Pages(0);
    first->SetParent(p->Pages(2));
    EXPECT_EQ(p->IndexOfPage(first), 2) << "dropped on a page: takes its place";
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{0, 2}}));
    EXPECT_EQ(first->Parent(), p);
    EXPECT_EQ(p->ActivePage(), first) << "the active page stays active at its new index";

    first->SetPageIndex(-1);
    first->SetPageIndex(3);
    EXPECT_EQ(first->PageIndex(), 2) << "indices outside the pager do nothing";

    first->SetParent(other);
    EXPECT_EQ(first->Pager(), other) << "a page given to another pager moves into its list";
    EXPECT_EQ(p->PageCount(), 2);
    EXPECT_THROW(other->SetParent(p), plat::Exception);
    form->Free();
}

TEST_F(PagerTest, ChangingIsVetoableAndRemovalBeforeTheActivePageRefiresIt) {
    auto* form = MakeForm();
    auto* p = AddPager(form, TRect(0, 0, 400, 200), 3);
    p->Loaded();
    std::vector<std::string> log;
    bool allow = true;
    p->OnChanging = [&](plat::TObject*, int f, int t, bool& a) {
        log.push_back(std::to_string(f) + ">" + std::to_string(t));
        a = allow;
    };
    p->OnChange = [&](plat::TObject*) { log.push_back("change"); };
    p->Pages(0)->OnHide = [&](plat::TObject*) { log.push_back("hide 1"); };
    p->Pages(2)->OnShow = [&](plat::TObject*) { log.push_back("show 3"); };
    form->Show();
    Driver.Pump();
    allow = false;
    p->SetActivePageIndex(2);
    EXPECT_EQ(p->ActivePageIndex(), 0);
    allow = true;
    p->SetActivePageIndex(2);
    Driver.Pump();
    EXPECT_EQ(log, (std::vector<std::string>{"0>2", "0>2", "hide 1", "show 3", "change"}));
    log.clear();
    auto* gone = p->Pages(0);
    p->RemovePage(gone);
    EXPECT_EQ(log, (std::vector<std::string>{"2>1", "change"}));
    EXPECT_EQ(p->ActivePage()->Caption(), "Page 3");
    delete gone;
    form->Free();
}

// ---- Interaction ---------------------------------------------------------------------------------------

class PagerInputTest : public PagerTest {};

TEST_F(PagerInputTest, ClickSelectsArrowsWalkAndTheActiveTabOnlyGoesDown) {
    auto* form = MakeForm();
    auto* p = AddPager(form, TRect(0, 0, 400, 200), 3);
    p->Pages(1)->SetTabEnabled(false);
    form->Show();
    Driver.Pump();
    const TRect t2 = p->GetTabRect(2);
    Driver.Click(p, TPoint(t2.Left + 5, t2.Top + 5));
    Driver.Pump();
    EXPECT_EQ(p->ActivePageIndex(), 2);
    Driver.Press(plat::TTestDriver::ScreenPoint(p, TPoint(t2.Left + 5, t2.Top + 5)));
    Driver.Pump();
    EXPECT_EQ(p->DownTabIndex(), 2);
    Driver.Release(plat::TTestDriver::ScreenPoint(p, TPoint(t2.Left + 5, t2.Top + 5)));
    Driver.Pump();
    EXPECT_EQ(p->DownTabIndex(), -1);

    p->SetFocus();
    Driver.Pump();
    Driver.PressKey(plat::VK_RIGHT);
    Driver.Pump();
    EXPECT_EQ(p->ActivePageIndex(), 0) << "wraps, and skips the disabled tab going on";
    Driver.PressKey(plat::VK_RIGHT);
    Driver.Pump();
    EXPECT_EQ(p->ActivePageIndex(), 2);
    form->Free();
}

TEST_F(PagerInputTest, HoverFadesInAndOutOnItsTimer) {
    auto* form = MakeForm();
    auto* p = AddPager(form, TRect(0, 0, 400, 200), 3);
    form->Show();
    Driver.Pump();
    const TRect t1 = p->GetTabRect(1);
    Driver.MoveTo(plat::TTestDriver::ScreenPoint(p, TPoint(t1.Left + 5, t1.Top + 5)));
    Driver.Pump();
    EXPECT_EQ(p->HotTabIndex(), 1);
    TKvxOfficePage* page = p->Pages(1);
    ASSERT_NE(page->GlowTimer, nullptr);
    Driver.Advance(250, 10);
    EXPECT_EQ(page->GlowLevel, 100) << "five ticks of 20 reach full glow";
    Driver.Advance(50, 10);
    EXPECT_EQ(page->GlowLevel, 120) << "parked above 100 while the cursor stays";
    EXPECT_NE(page->GlowTimer, nullptr);
    Driver.MoveTo(plat::TTestDriver::ScreenPoint(p, TPoint(200, 150)));
    Driver.Pump();
    Driver.Advance(400, 10);
    EXPECT_EQ(page->GlowTimer, nullptr) << "the fade out ends its timer";
    EXPECT_EQ(page->GlowState, 2);

    // A disabled tab is never hot, but its hint is the one shown.
    p->Pages(0)->SetTabEnabled(false);
    p->Pages(0)->TabHint = "Off for now";
    p->SetActivePageIndex(2);
    const TRect t0 = p->GetTabRect(0);
    Driver.MoveTo(plat::TTestDriver::ScreenPoint(p, TPoint(t0.Left + 5, t0.Top + 5)));
    Driver.Pump();
    EXPECT_EQ(p->HotTabIndex(), -1);
    EXPECT_EQ(p->HintTabIndex(), 0);
    plat::THintInfo info;
    info.HintStr = "pager";
    p->Perform(plat::CM_HINTSHOW, 0, reinterpret_cast<plat::LPARAM>(&info));
    EXPECT_EQ(info.HintStr, "") << "without tab hints the pager shows none";
    p->ShowTabHint = true;
    p->Perform(plat::CM_HINTSHOW, 0, reinterpret_cast<plat::LPARAM>(&info));
    EXPECT_EQ(info.HintStr, "Off for now");

    p->Glow = false;
    const TRect t2 = p->GetTabRect(1);
    Driver.MoveTo(plat::TTestDriver::ScreenPoint(p, TPoint(t2.Left + 5, t2.Top + 5)));
    Driver.Pump();
    EXPECT_EQ(p->HotTabIndex(), 1);
    EXPECT_EQ(p->Pages(1)->GlowTimer, nullptr) << "no glow, no timer";
    form->Free();
}

TEST_F(PagerInputTest, KeyTipsNarrowOnTypingAndBeepOnAMiss) {
    auto* form = MakeForm();
    auto* p = AddPager(form, TRect(0, 0, 400, 200), 4);
    p->ShowShortCutHints = true;
    p->SetTabStop(true);
    p->Pages(0)->ShortCutHint = "AB";
    p->Pages(1)->ShortCutHint = "AC";
    p->Pages(2)->ShortCutHint = "B";
    p->Pages(3)->ShortCutHint = "AB2";
    form->Show();
    Driver.Pump();
    p->SetFocus();
    Driver.Pump();
    ASSERT_TRUE(p->ShortCutHintsShowing());
    EXPECT_TRUE(p->HooksForm()) << "the form's messages reach the pager while the tips show";
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(p->Pages(i)->ShortCutHintWindow(), nullptr);

    const int bells = Bells();
    Driver.PressKey(plat::VK_F1);
    Driver.Pump();
    EXPECT_EQ(p->ShortCutPrefix(), "") << "a function key types nothing";
    EXPECT_NE(p->Pages(2)->ShortCutHintWindow(), nullptr) << "and hides no tip";
    Driver.PressKey('A');
    Driver.Pump();
    EXPECT_EQ(p->ShortCutPrefix(), "A");
    EXPECT_EQ(p->Pages(2)->ShortCutHintWindow(), nullptr) << "B does not begin with A";
    EXPECT_NE(p->Pages(1)->ShortCutHintWindow(), nullptr);
    Driver.PressKey('X');
    Driver.Pump();
    if (Driver.IsHeadless()) {
        EXPECT_EQ(Bells(), bells + 2) << "F1 and AX match no tip";
    }
    EXPECT_EQ(p->Pages(0)->ShortCutHintWindow(), nullptr) << "no tip begins with AX";
    EXPECT_FALSE(p->ShortCutHintsShowing()) << "none left to show";
    form->Free();

    // A fresh start: A, then B selects the "AB" page and the tips go.
    form = MakeForm();
    p = AddPager(form, TRect(0, 0, 400, 200), 3);
    p->ShowShortCutHints = true;
    p->SetTabStop(true);
    p->Pages(1)->ShortCutHint = "AB";
    p->Pages(2)->ShortCutHint = "AC";
    form->Show();
    Driver.Pump();
    p->SetFocus();
    Driver.Pump();
    const int before = Bells();
    Driver.PressKey('A');
    Driver.PressKey('B');
    Driver.Pump();
    EXPECT_EQ(p->ActivePageIndex(), 1);
    EXPECT_FALSE(p->ShortCutHintsShowing());
    EXPECT_FALSE(p->HooksForm()) << "the form has its own procedure back";
    EXPECT_EQ(Bells(), before);
    form->Free();
}

TEST_F(PagerInputTest, MovingTheFormTakesTheKeyTipsAway) {
    auto* form = MakeForm();
    auto* p = AddPager(form, TRect(0, 0, 400, 200), 2);
    p->ShowShortCutHints = true;
    p->SetTabStop(true);
    p->Pages(0)->ShortCutHint = "A";
    form->Show();
    Driver.Pump();
    p->SetFocus();
    Driver.Pump();
    ASSERT_TRUE(p->ShortCutHintsShowing());
    plat::TMessage m{};
    m.Msg = plat::WM_SIZE;
    form->WindowProc(m);
    EXPECT_FALSE(p->ShortCutHintsShowing());
    EXPECT_FALSE(p->HooksForm());
    form->Free();
}

TEST_F(PagerInputTest, DraggingATabReordersAfterTheThreshold) {
    auto* form = MakeForm();
    auto* p = AddPager(form, TRect(0, 0, 400, 200), 3);
    p->TabReorder = true;
    std::vector<std::pair<int, int>> moves;
    p->OnTabMoved = [&](plat::TObject*, int f, int t) { moves.emplace_back(f, t); };
    form->Show();
    Driver.Pump();
    int drags = 0;
    p->OnStartDrag = [&](plat::TObject*, plat::TDragObject*&) { ++drags; };
    TKvxOfficePage* first = p->Pages(0);
    const TRect t0 = p->GetTabRect(0), t2 = p->GetTabRect(2);
    Driver.Drag(p, TPoint(t0.Left + 5, t0.Top + 5), TPoint(t0.Left + 8, t0.Top + 5), 3);
    Driver.Pump();
    EXPECT_EQ(drags, 0) << "three pixels: no drag yet";
    Driver.Drag(p, TPoint(t0.Left + 5, t0.Top + 5), TPoint(t2.Left + 5, t2.Top + 5), 8);
    Driver.Pump();
    EXPECT_EQ(drags, 1);
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{0, 2}}));
    EXPECT_EQ(p->Pages(2), first);
    EXPECT_EQ(p->ActivePage(), first);
    form->Free();
}

// ---- Painting --------------------------------------------------------------------------------------------

// A page whose frame reaches the pager's edge has corners whose source lies outside: they keep their
// own colour instead of reading a stray value.
TEST_F(PagerTest, CornersNextToTheEdgeKeepTheirColour) {
    auto* form = MakeForm();
    auto* s = new TKvxOfficePagerOfficeStyler(form);
    s->SetStyle(psOffice2003Blue);
    auto* p = AddPager(form, TRect(0, 0, 300, 200), 2);
    p->SetKvxOfficePagerStyler(s);
    p->TabSettings()->SetHeight(0);
    p->SetPageMargin(0);
    p->UpdatePageBounds();
    form->Show();
    Driver.Pump();
    TKvxOfficePage* page = p->ActivePage();
    ASSERT_EQ(page->BoundsRect(), TRect(0, 0, 300, 199));
    // Without a page margin no corner is copied: these are the face's own pixels.
    const TPoint corners[] = {{0, 0}, {1, 0}, {0, 1}, {299, 0}, {298, 0}, {299, 1}};
    std::vector<TColor> own;
    for (const TPoint& c : corners)
        own.push_back(Driver.Pixel(page, c.X, c.Y));
    // With a margin the page reads the pager's pixels outside its bounds, which here lie off the pager.
    p->SetPageMargin(1);
    page->Invalidate();
    Driver.Pump();
    ASSERT_EQ(page->BoundsRect(), TRect(0, 0, 300, 199)) << "a margin change does not move the pages";
    for (size_t i = 0; i < std::size(corners); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Driver.Pixel(page, corners[i].X, corners[i].Y), own[i]);
    }
    EXPECT_EQ(page->Color(), s->PageAppearance()->Color()) << "the page took the styler's colour";
    form->Free();
}

// Windows XP colours: the hot face is one flat colour, the band another, so a pixel tells the state.
TEST_F(PagerTest, TabFacesShowTheirState) {
    auto* form = MakeForm();
    auto* s = new TKvxOfficePagerOfficeStyler(form);
    s->SetStyle(psWindowsXP);
    auto* p = AddPager(form, TRect(0, 0, 400, 200), 3, 90);
    p->SetKvxOfficePagerStyler(s);
    p->Glow = false;
    form->Show();
    Driver.Pump();
    ASSERT_FALSE(p->Focused());
    const TColor hot = plat::ColorToRGB(s->TabAppearance()->ColorHot());
    const TColor band = plat::ColorToRGB(s->TabAppearance()->BackGround()->Color());
    ASSERT_NE(hot, band);
    // Right of the caption, below the tab's light lines.
    auto probe = [&](int i) {
        const TRect r = p->GetTabRect(i);
        return Driver.Pixel(p, r.Right - 12, r.Top + 8);
    };
    const TRect t1 = p->GetTabRect(1);
    Driver.MoveTo(plat::TTestDriver::ScreenPoint(p, TPoint(t1.Left + 5, t1.Top + 10)));
    Driver.Pump();
    EXPECT_EQ(probe(1), hot) << "the hot tab";
    EXPECT_EQ(probe(2), band) << "a plain tab has no face without ShowNonSelectedTabs";
    EXPECT_NE(probe(0), hot) << "the active tab, not focused";
    Driver.MoveTo(plat::TTestDriver::ScreenPoint(p, TPoint(200, 150)));
    p->SetTabStop(true);
    p->SetFocus();
    Driver.Pump();
    EXPECT_EQ(probe(0), hot) << "a focused pager's active tab takes the hot colours";
    form->Free();
}

TEST_F(PagerTest, PictureOfTheFourPositions) {
    auto* form = MakeForm(TRect(0, 0, 2 * 260 + 30, 2 * 170 + 50));
    auto* s = new TKvxOfficePagerOfficeStyler(form);
    s->SetStyle(psOffice2007Luna);
    std::vector<TKvxOfficePager*> pagers;
    for (plat::TTabPosition pos : {plat::tpTop, plat::tpBottom, plat::tpLeft, plat::tpRight}) {
        const int i = static_cast<int>(pagers.size());
        auto* p = AddPager(
            form, TRect((i % 2) * 260, (i / 2) * 170, (i % 2) * 260 + 250, (i / 2) * 170 + 160), 3, 0);
        p->SetKvxOfficePagerStyler(s);
        p->SetTabPosition(pos);
        p->ButtonSettings()->SetCloseButton(true);
        p->SetActivePageIndex(1);
        p->Pages(2)->SetTabEnabled(false);
        pagers.push_back(p);
    }
    form->Show();
    Driver.Pump();
    auto image = Driver.Render(form);
    ASSERT_NE(image, nullptr);
    plat::TTestDriver::SavePng(*image, plat::TestOutputDir("office") + "/pager-positions.png");
    // The tab band never runs into the page: a pixel in the middle of each page has the page's colours.
    for (TKvxOfficePager* p : pagers) {
        SCOPED_TRACE(ui::tabpaint::kTabPositionNames[p->TabPosition()]);
        const TRect pr = p->GetPageRect();
        EXPECT_EQ(p->ActivePage()->BoundsRect(), pr);
        EXPECT_NE(p->CloseButton(), nullptr);
        EXPECT_FALSE(pr.Contains(TPoint(p->GetTabsBandRect().Left + 1, p->GetTabsBandRect().Top + 1)));
    }
    form->Free();
}

TEST_F(PagerTest, PictureOfTheCameraWindowsPager) {
    auto* form = MakeForm(TRect(0, 0, 420, 470));
    auto* s = new TKvxOfficePagerOfficeStyler(form);
    s->SetStyle(psWhidbey);
    auto* p = new TKvxOfficePager(form);
    p->SetParent(form);
    p->SetBounds(0, 0, 193, 448);
    p->SetKvxOfficePagerStyler(s);
    p->SetTabPosition(plat::tpLeft);
    p->TabSettings()->SetHeight(22);
    p->TabSettings()->SetShape(tsLeftRamp);
    for (const char* c : {"Camera", "Signal", "Display", "Export"}) {
        auto* page = new TKvxOfficePage(form);
        page->SetCaption(c);
        page->SetPager(p);
    }
    p->SetActivePageIndex(0);
    // A second pager beside it shows the same band with tabs on top.
    auto* top = AddPager(form, TRect(200, 0, 410, 200), 3, 0);
    top->SetKvxOfficePagerStyler(s);
    form->Show();
    Driver.Pump();
    // Hot "Display", "Signal" half way through its fade out.
    const TRect t2 = p->GetTabRect(2), t1 = p->GetTabRect(1);
    Driver.MoveTo(plat::TTestDriver::ScreenPoint(p, TPoint(t1.Left + 8, t1.Top + 10)));
    Driver.Advance(300, 10);
    Driver.MoveTo(plat::TTestDriver::ScreenPoint(p, TPoint(t2.Left + 8, t2.Top + 10)));
    Driver.Advance(150, 10);
    Driver.Pump();
    EXPECT_EQ(p->HotTabIndex(), 2);
    ASSERT_NE(p->Pages(1)->GlowTimer, nullptr) << "Signal still fading";
    auto image = Driver.Render(form);
    ASSERT_NE(image, nullptr);
    plat::TTestDriver::SavePng(*image, plat::TestOutputDir("office") + "/pager-camera-window.png");
    const TColor band = plat::TTestDriver::PixelOf(*image, 2, 440);
    const TColor pageColor = plat::TTestDriver::PixelOf(*image, 100, 300);
    EXPECT_NE(band, pageColor) << "band and page differ";
    EXPECT_EQ(p->Pages(0)->Color(), s->PageAppearance()->Color());
    form->Free();
}

} // namespace

namespace {

// ---- Layouts ---------------------------------------------------------------------------------------------

// The camera window's pager as its layout holds it: the styler first, the pages inside the pager in their
// order, the active page by name.
const char* const kCameraLayout = "object Camera: TForm\n"
                                  "  Left = 0\n"
                                  "  Top = 0\n"
                                  "  Width = 420\n"
                                  "  Height = 480\n"
                                  "  object PagerStyler: TKvxOfficePagerOfficeStyler\n"
                                  "    Style = psWhidbey\n"
                                  "    PageAppearance.Color = 16119285\n"
                                  "  end\n"
                                  "  object Pager: TKvxOfficePager\n"
                                  "    Left = 0\n"
                                  "    Top = 0\n"
                                  "    Width = 193\n"
                                  "    Height = 448\n"
                                  "    KvxOfficePagerStyler = PagerStyler\n"
                                  "    ActivePage = pgSignal\n"
                                  "    TabPosition = tpLeft\n"
                                  "    TabSettings.Height = 22\n"
                                  "    TabSettings.Shape = tsLeftRamp\n"
                                  "    ShowShortCutHints = False\n"
                                  "    TabReorder = False\n"
                                  "    NextPictureChanged = False\n"
                                  "    PrevPictureChanged = False\n"
                                  "    object pgCamera: TKvxOfficePage\n"
                                  "      Caption = 'Camera'\n"
                                  "    end\n"
                                  "    object pgSignal: TKvxOfficePage\n"
                                  "      Caption = 'Signal'\n"
                                  "    end\n"
                                  "    object pgDisplay: TKvxOfficePage\n"
                                  "      Caption = 'Display'\n"
                                  "    end\n"
                                  "  end\n"
                                  "end\n";

TEST(PagerLayout, TheCameraWindowsPagerComesBackWhole) {
    plat::TTestDriver driver;
    auto load = [](const std::string& t) {
        auto* form = plat::NewForm<plat::TForm>(plat::Application);
        plat::ReadComponentFromText(t, form);
        return form;
    };
    plat::TForm* first = load(kCameraLayout);
    auto* pager = dynamic_cast<TKvxOfficePager*>(first->FindComponent("Pager"));
    auto* styler = dynamic_cast<TKvxOfficePagerOfficeStyler*>(first->FindComponent("PagerStyler"));
    ASSERT_NE(pager, nullptr);
    ASSERT_NE(styler, nullptr);
    EXPECT_EQ(styler->Style(), psWhidbey);
    EXPECT_EQ(styler->PageAppearance()->Color(), 16119285) << "stored after the style, it wins";
    EXPECT_EQ(pager->CurrentStyler(), styler);
    ASSERT_EQ(pager->PageCount(), 3);
    EXPECT_EQ(pager->Pages(0)->Caption(), "Camera");
    EXPECT_EQ(pager->Pages(2)->Caption(), "Display");
    ASSERT_NE(pager->ActivePage(), nullptr);
    EXPECT_EQ(pager->ActivePage()->Caption(), "Signal");
    EXPECT_EQ(pager->Pages(1)->BoundsRect(), TRect(22, 2, 192, 446));
    EXPECT_FALSE(pager->ButtonSettings()->NextPictureChanged);
    const std::string saved = plat::WriteComponentToText(first);
    delete first;
    plat::TForm* second = load(saved);
    EXPECT_EQ(plat::WriteComponentToText(second), saved);
    EXPECT_LT(saved.find("object pgCamera"), saved.find("object pgSignal"));
    EXPECT_EQ(saved.find("Picture.Data"), std::string::npos) << "the built-in pictures are not stored";
    delete second;
}

// A stored forward picture sets the flag while it loads; the flag stored after it puts back the saved value.
TEST(PagerLayout, StoredPictureFlagsWinOverTheLoadingOfThePictures) {
    TPageButtonSettings s;
    ui::TGDIPPicture pic;
    pic.LoadFromRCData("KVXAOCLOSE");
    s.SetScrollButtonNextPicture(&pic);
    EXPECT_TRUE(s.NextPictureChanged) << "replacing the picture sets the flag";
    EXPECT_FALSE(s.PrevPictureChanged);
    TPageButtonSettings copy;
    copy.Assign(&s);
    EXPECT_TRUE(copy.NextPictureChanged) << "assigning the pictures sets the flags too";
    TPageButtonSettings fresh;
    EXPECT_FALSE(fresh.NextPictureChanged) << "the default pictures leave them clear";
    EXPECT_FALSE(fresh.VerticalNextPicture()->Empty());
    EXPECT_FALSE(fresh.CloseButtonPicture()->Empty());
}

} // namespace
