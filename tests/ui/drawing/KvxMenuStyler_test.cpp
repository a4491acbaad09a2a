// The menu styler's appearance objects, their copies and refreshes, and the office colour sets.
#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SystemServices.h"
#include "ui/drawing/KvxMenuStylers.h"
#include "ui/drawing/KvxMenus.h"

using namespace plat;
using namespace ui;

namespace {

// A menu that counts what the styler asks of it.
class TCountingMenu : public IKvxMenu {
public:
    TCountingMenu() : FMenu(nullptr) {}
    int Updates = 0;
    void UpdateItems() override { ++Updates; }
    TMenu* GetMenu() override { return &FMenu; }
    TCustomKvxMenuStyler* GetMenuStyler() override { return nullptr; }
    TCustomKvxMenuStyler* GetStylerInUse() override { return nullptr; }
    void SetMenuStyler(TCustomKvxMenuStyler*) override {}
    bool GetShowNotes() override { return true; }
    void SetShowNotes(bool) override {}
    bool GetIntlKeybShortCuts() override { return false; }
    void SetIntlKeybShortCuts(bool) override {}
    TCustomImageList* GetDisabledImages() override { return nullptr; }

private:
    TPopupMenu FMenu;
};

class KvxMenuStylerTest : public ::testing::Test {
protected:
    TTestDriver Driver;
};

TEST_F(KvxMenuStylerTest, NewStylerHasItsDefaultLook) {
    TKvxMenuStyler s(nullptr);
    EXPECT_EQ(s.IconBar()->Color(), 0xFFF9F9);
    EXPECT_EQ(s.IconBar()->ColorTo(), 0xBBA0A1);
    EXPECT_EQ(s.IconBar()->GradientDirection(), gdHorizontal);
    EXPECT_EQ(s.IconBar()->Size(), 24);
    EXPECT_EQ(s.SelectedItem()->Color(), 0xC2EEFF);
    EXPECT_EQ(s.RootItem()->GetHoverColor(1), 0x9DD8FF);
    EXPECT_EQ(s.Separator()->Color(), 0x8F6D6E);
    EXPECT_EQ(s.Separator()->Margin(), 2);
    EXPECT_EQ(s.MenuBorderColor(), 0x7C7C94);
    EXPECT_EQ(s.NotesFont()->Color(), 0x808080);
    EXPECT_EQ(s.NotesFont()->Size(), s.Font()->Size() - 2);
    EXPECT_EQ(s.SideBar()->Font()->Name(), "Tahoma");
    EXPECT_EQ(s.SideBar()->Font()->Style(), fsBold | fsItalic);
    EXPECT_EQ(s.SideBar()->SplitterColorTo(), 0) << "black, though the stream default is clNone";
    EXPECT_FALSE(s.Glyphs()->Check()->Empty());
    EXPECT_EQ(s.Glyphs()->SubMenu()->Width(), 4);
    EXPECT_EQ(s.Glyphs()->SubMenu()->Height(), 7);
    EXPECT_EQ(s.AntiAlias(), aaNone);
}

TEST_F(KvxMenuStylerTest, IndexedColoursCheckTheirIndexBeforeStoring) {
    TKvxMenuStyler s(nullptr);
    try {
        s.Background()->GetColor(2);
        FAIL() << "index 2 of a gradient bar";
    } catch (const EInvalidPropertyIndex& e) {
        EXPECT_STREQ(e.what(), "Invalid property index 2.");
    }
    s.RootItem()->SetHoverColor(3, 0x123456);
    EXPECT_EQ(s.RootItem()->GetHoverColor(3), 0x123456);
    EXPECT_EQ(s.RootItem()->HoverColorMirrorTo(), 0x123456);
    EXPECT_THROW(s.RootItem()->SetSelectedColor(4, 1), EInvalidPropertyIndex);
    EXPECT_THROW(s.IconBar()->SetCheckColor(-1, 1), EInvalidPropertyIndex);
    EXPECT_THROW(s.SelectedItem()->GetRadioColor(2), EInvalidPropertyIndex);
    EXPECT_EQ(s.RootItem()->SelectedColor(), 0xF2E8E8) << "a refused write stores nothing";
}

TEST_F(KvxMenuStylerTest, OnlyLayoutChangesMakeTheMenuMeasureAgain) {
    TKvxMenuStyler s(nullptr);
    TCountingMenu menu;
    s.AttachMenu(&menu);
    struct Case {
        const char* What;
        std::function<void()> Change;
        bool Remeasures;
    } cases[] = {
        {"icon bar colour", [&] { s.IconBar()->SetColor(0x112233); }, false},
        {"check colour", [&] { s.IconBar()->SetCheckColor(0x112233); }, false},
        {"border colour", [&] { s.SetMenuBorderColor(0x112233); }, false},
        {"icon bar size", [&] { s.IconBar()->SetSize(30); }, true},
        {"hover colour", [&] { s.RootItem()->SetHoverColor(0x112233); }, true},
        {"styler font", [&] { s.SetFont(s.Font()); }, true},
        {"side bar caption font", [&] { s.SideBar()->SetFont(s.SideBar()->Font()); }, true},
    };
    for (const Case& c : cases) {
        menu.Updates = 0;
        c.Change();
        EXPECT_EQ(menu.Updates > 0, c.Remeasures) << c.What;
    }
    s.IconBar()->SetSize(10);
    EXPECT_EQ(s.IconBar()->Size(), 16) << "never narrower than the glyphs";
    s.AttachMenu(nullptr);
    menu.Updates = 0;
    s.IconBar()->SetSize(40);
    EXPECT_EQ(menu.Updates, 0) << "a detached styler reaches no menu";
}

TEST_F(KvxMenuStylerTest, AssignCopiesTheAppearanceButNotNotesAntiAliasOrBorder) {
    TKvxMenuStyler from(nullptr), to(nullptr);
    from.IconBar()->SetColor(0x010101);
    from.IconBar()->SetCheckColor(0x020202);
    from.IconBar()->SetSize(32);
    from.SideBar()->SetCaption("Lumetra");
    from.SideBar()->SetVisible(true);
    from.SideBar()->SetVisibleIn(viAnyLevel);
    from.RootItem()->SetHoverColor(2, 0x030303);
    from.RootItem()->SetSelectedColor(2, 0x040404);
    from.Separator()->SetWidth(3);
    from.Separator()->SetColor(0x050505);
    from.NotesFont()->SetSize(20);
    from.SetAntiAlias(aaAntiAlias);
    from.SetMenuBorderColor(0x060606);
    to.Assign(&from);
    EXPECT_EQ(to.IconBar()->CheckColor(), 0x020202);
    EXPECT_EQ(to.IconBar()->Size(), 32);
    EXPECT_EQ(to.IconBar()->Color(), 0xFFF9F9) << "the icon bar keeps its own gradient";
    EXPECT_EQ(to.SideBar()->Caption(), "Lumetra");
    EXPECT_TRUE(to.SideBar()->Visible());
    EXPECT_EQ(to.SideBar()->VisibleIn(), viFirstVisible) << "not copied";
    EXPECT_EQ(to.RootItem()->GetSelectedColor(2), 0x040404);
    EXPECT_EQ(to.RootItem()->GetHoverColor(2), clNone) << "hover mirrors are not copied";
    EXPECT_EQ(to.Separator()->Width(), 3);
    EXPECT_EQ(to.Separator()->Color(), 0x050505);
    EXPECT_NE(to.NotesFont()->Size(), 20);
    EXPECT_EQ(to.AntiAlias(), aaNone);
    EXPECT_EQ(to.MenuBorderColor(), 0x7C7C94);

    TKvxMenuOfficeStyler office(nullptr);
    EXPECT_THROW(to.Assign(&office), EConvertError);
    TButtonAppearance buttons;
    buttons.Assign(&from) /* anything else is ignored */;
    EXPECT_EQ(buttons.HoverColor(), 0xD2BDB6);
}

TEST_F(KvxMenuStylerTest, ButtonCaptionFontFollowsTheSystemGeneration) {
    const TSystemVersion saved = GetSystemVersion();
    ScopeGuard restore([&] { SetSystemVersion(saved); });
    struct Case {
        TSystemVersion Version;
        const char* Font;
    } cases[] = {{{10, 0, 19045}, "Segoe UI"}, {{5, 1, 2600}, "Tahoma"}};
    for (const Case& c : cases) {
        SetSystemVersion(c.Version);
        TButtonAppearance a;
        EXPECT_EQ(a.CaptionFont()->Name(), c.Font);
        int changes = 0;
        a.OnChange = [&](TObject*) { ++changes; };
        a.SetHoverColor(a.HoverColor());
        a.SetDownBorderColor(1);
        EXPECT_EQ(changes, 0) << "equal values and the border colours are quiet";
        a.SetHoverColor(1);
        EXPECT_EQ(changes, 1);
    }
}

// ---- Office colour sets ----

struct TPresetCase {
    TOfficeStyle Style;
    TColor MenuBorder, IconBar, SelectedBorder, RootSelectedMirror, Separator;
};

TEST_F(KvxMenuStylerTest, EachOfficeStyleWritesItsSet) {
    const TPresetCase cases[] = {
        {osOffice2003Blue, 0x962D00, 0xFFEFE3, 0x800000, clNone, 0xCB8C6A},
        {osOffice2003Silver, 0x5E8D75, 0xFFF9F9, 0x080000, clNone, 0x8F6D6E},
        {osOffice2003Olive, 0x5E8D75, 0xEDFFFF, 0x385D3F, clNone, 0x588060},
        {osOfficeXP, 0x808080, clBtnFace, 0xC66931, clNone, 0x7A868A},
        {osOffice2007Luna, 0xC0C0C0, 0xEEEEE9, 0x99CEDB, 0x0E72F1, 0xC5C5C5},
        {osOffice2007Obsidian, 0xC0C0C0, 0xEEEEE9, 0x99CEDB, 0x0E72F1, 0xC5C5C5},
        {osOffice2007Silver, 0x868686, 0xEFEFEF, 0x99CEDB, 0x0E72F1, 0xC5C5C5},
        {osVista, 0x979797, 0xEEEEEE, 0xEBD8A8, 0xE1D0C9, 0xE0E0E0},
    };
    for (const TPresetCase& c : cases) {
        TKvxMenuOfficeStyler s(nullptr);
        s.SetStyle(c.Style);
        SCOPED_TRACE(kOfficeStyleNames[c.Style]);
        EXPECT_EQ(s.Style(), c.Style);
        EXPECT_EQ(s.MenuBorderColor(), c.MenuBorder);
        EXPECT_EQ(s.IconBar()->Color(), c.IconBar);
        EXPECT_EQ(s.SelectedItem()->BorderColor(), c.SelectedBorder);
        EXPECT_EQ(s.RootItem()->SelectedColorMirror(), c.RootSelectedMirror);
        EXPECT_EQ(s.Separator()->Color(), c.Separator);
    }
    TKvxMenuOfficeStyler fresh(nullptr);
    EXPECT_EQ(fresh.Style(), osOffice2003Blue);
    EXPECT_EQ(fresh.MenuBorderColor(), 0x962D00);
    EXPECT_EQ(fresh.IconBar()->Color(), 0xFFEFE3);
    EXPECT_EQ(fresh.IconBar()->SeparatorColor(), clNone);
}

TEST_F(KvxMenuStylerTest, ValuesASetDoesNotNameStayFromTheStyleBefore) {
    TKvxMenuOfficeStyler s(nullptr);
    s.SetStyle(osOffice2007Luna);
    s.SetStyle(osOffice2003Blue);
    EXPECT_EQ(s.IconBar()->SeparatorColor(), 0xC5C5C5);

    s.SetStyle(osOffice2007Luna);
    s.SetStyle(osOfficeXP);
    EXPECT_EQ(s.RootItem()->GradientDirection(), gdVertical);
    EXPECT_EQ(s.IconBar()->RadioColor(), 0x6FC0FF);
    EXPECT_EQ(s.IconBar()->RadioBorder(), 0x800000);

    EXPECT_EQ(s.RootItem()->SelectedTextColor(), clMenuText);
    s.SetStyle(osWhidbey);
    EXPECT_EQ(s.RootItem()->SelectedTextColor(), 0);

    s.SetStyle(osOffice2003Silver);
    s.IconBar()->SetColor(0x123456);
    s.SetStyle(osOffice2003Silver);
    EXPECT_EQ(s.IconBar()->Color(), 0xFFF9F9) << "the same style again writes its set again";
    EXPECT_EQ(s.RootItem()->ColorTo(), 0xF7F3F3);
    EXPECT_EQ(s.RootItem()->SelectedColorTo(), 0xCDB9BA);

    s.SetStyle(osCustom);
    EXPECT_EQ(s.Style(), osCustom);
    EXPECT_EQ(s.IconBar()->Color(), 0xFFF9F9) << "the custom style writes nothing";
}

TEST_F(KvxMenuStylerTest, SuiteStylesMapOntoOfficeStyles) {
    const std::pair<TKVXStyle, TOfficeStyle> cases[] = {
        {tsOffice2003Blue, osOffice2003Blue},
        {tsOffice2003Silver, osOffice2003Silver},
        {tsOffice2003Olive, osOffice2003Olive},
        {tsOffice2003Classic, osOfficeXP},
        {tsOffice2007Luna, osOffice2007Luna},
        {tsOffice2007Obsidian, osOffice2007Obsidian},
        {tsWindowsXP, osOfficeXP},
        {tsWhidbey, osWhidbey},
        {tsOffice2007Silver, osOffice2007Silver},
    };
    for (auto [suite, office] : cases) {
        TKvxMenuOfficeStyler s(nullptr);
        s.SetStyle(osVista);
        IStyleable* styleable = dynamic_cast<IStyleable*>(static_cast<TComponent*>(&s));
        ASSERT_NE(styleable, nullptr);
        styleable->ApplyStyle(suite);
        EXPECT_EQ(s.Style(), office) << kKVXStyleNames[suite];
    }
    TKvxMenuOfficeStyler s(nullptr);
    s.SetStyle(osOffice2007Luna);
    s.IconBar()->SetColor(0x123456);
    s.ApplyStyle(tsCustom);
    EXPECT_EQ(s.Style(), osOffice2007Luna);
    EXPECT_EQ(s.IconBar()->Color(), 0x123456) << "tsCustom keeps the colours";
}

TEST_F(KvxMenuStylerTest, ThemeChangesReachTheStylerThroughItsWindow) {
    auto* form = NewForm<TForm>(Application);
    auto* s = new TKvxMenuOfficeStyler(form);
    ASSERT_NE(s->NotifierWindow(), nullptr);
    EXPECT_EQ(s->NotifierWindow()->Parent(), form);
    s->NotifierWindow()->Perform(WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(s->Style(), osOffice2003Blue) << "without AutoThemeAdapt nothing happens";
    s->SetAutoThemeAdapt(true);
    s->NotifierWindow()->Perform(WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(s->Style(), osOfficeXP) << "without themes no colour scheme is recognised";

    // A styler owned elsewhere outlives the form its window sat on.
    auto* loose = new TKvxMenuOfficeStyler(nullptr);
    loose->NotifierWindow()->SetParent(form);
    form->Free();
    EXPECT_EQ(loose->NotifierWindow(), nullptr);
    loose->ThemeChanged();
    delete loose;
}

} // namespace
