#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/backend/InputCodes.h"
#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Screen.h"
#include "platform/ui/WindowFilter.h"
#include "ui/drawing/KvxMenus.h"
#include "ui/toolbars/KvxOptionWindow.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarStylers.h"

using namespace plat;
using namespace ui;

namespace {

// The main window: an MDI frame whose menu is a full-size toolbar on a dock panel.
class MenuBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        Frame = NewForm<TForm>(Application);
        Frame->SetFormStyle(fsMDIForm);
        Frame->SetBounds(50, 50, 800, 500);
        Menu = new TMainMenu(Frame);
        for (const char* caption : {"&File", "&Options", "&Window"}) {
            auto* item = new TMenuItem(Frame);
            item->SetCaption(caption);
            auto* sub = new TMenuItem(Frame);
            sub->SetCaption(std::string(caption) + " entry");
            item->Add(sub);
            Menu->Items()->Add(item);
        }
        Frame->SetWindowMenu(Menu->Items()->Items(2));
        Panel = new TKvxDockPanel(Frame);
        Panel->SetParent(Frame);
        Bar = new TKvxToolBar(Frame);
        Bar->SetName("MenuBar");
        Bar->SetParent(Panel);
        Bar->SetFullSize(true);
        Bar->SetMenu(Menu);
        Application->SetMainForm(Frame);
        Frame->Show();
        Driver.Pump();
    }
    void TearDown() override {
        delete Frame;
        Driver.Pump();
    }
    TForm* Child(const std::string& caption, bool maximized = true) {
        TForm* c = NewForm<TForm>(Frame);
        c->SetFormStyle(fsMDIChild);
        c->SetCaption(caption);
        c->SetBounds(10, 10, 300, 200);
        c->Show();
        if (maximized)
            c->SetWindowState(wsMaximized);
        Driver.Pump();
        return c;
    }
    std::vector<TKvxToolBarMenuButton*> MenuButtons() const {
        std::vector<TKvxToolBarMenuButton*> result;
        for (TControl* c : Bar->OrderedControls())
            if (auto* b = dynamic_cast<TKvxToolBarMenuButton*>(c))
                result.push_back(b);
        return result;
    }
    // A bar of that size placed on the form (docked bars take their size from the dock row).
    void SizeBar(int width, int height) {
        Bar->SetParent(Frame);
        Bar->SetFullSize(false);
        Bar->SetAutoSize(false);
        Bar->Constraints()->SetMaxWidth(0);
        Bar->Constraints()->SetMaxHeight(0);
        Bar->Constraints()->SetMinHeight(0);
        Bar->Constraints()->SetMinWidth(0);
        Bar->SetBounds(0, 0, width, height);
        ASSERT_EQ(Bar->BoundsRect(), TRect(0, 0, width, height));
        Driver.Pump();
    }

    TTestDriver Driver;
    TForm* Frame = nullptr;
    TMainMenu* Menu = nullptr;
    TKvxDockPanel* Panel = nullptr;
    TKvxToolBar* Bar = nullptr;
};

TEST_F(MenuBarTest, OneCaptionedButtonPerTopLevelItemRebuiltWithTheMenu) {
    auto buttons = MenuButtons();
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[0]->Caption(), "&File");
    EXPECT_EQ(buttons[2]->MenuItem(), Menu->Items()->Items(2));
    EXPECT_TRUE(buttons[1]->ShowCaption());

    auto* other = new TMainMenu(Frame);
    auto* only = new TMenuItem(Frame);
    only->SetCaption("&Help");
    other->Items()->Add(only);
    Bar->SetMenu(other);
    buttons = MenuButtons();
    ASSERT_EQ(buttons.size(), 1u) << "the old menu's buttons go";
    EXPECT_EQ(buttons[0]->Caption(), "&Help");
    delete other;
    EXPECT_EQ(Bar->Menu(), nullptr);
    EXPECT_TRUE(MenuButtons().empty());
}

TEST_F(MenuBarTest, TheMenuBarsOptionWindowTakesTheMenuColours) {
    Bar->SetAutoOptionMenu(true);
    Bar->ShowOptionWindow();
    ASSERT_NE(Bar->OptionPanel(), nullptr);
    const TRootItem* root = Bar->CurrentStyler()->CurrentMenuStyler()->RootItem();
    EXPECT_EQ(Bar->OptionPanel()->HotColor(), root->HoverColor());
    EXPECT_EQ(Bar->OptionPanel()->DownColor(), root->SelectedColor());
    Bar->HideOptionWindow();

    // Without its menu the bar takes its buttons' colours.
    Bar->SetMenu(nullptr);
    Bar->ShowOptionWindow();
    EXPECT_EQ(Bar->OptionPanel()->HotColor(), Bar->CurrentStyler()->ButtonAppearance()->ColorHot());
}

// ---- Keyboard menu mode ----

TEST_F(MenuBarTest, ArrowsMoveTheHighlightAmongEligibleMenuButtonsAndWrap) {
    // A hidden menu button and an ordinary button between them never take the highlight.
    auto* plain = new TKvxToolBarButton(Frame);
    plain->SetKvxToolBar(Bar);
    auto buttons = MenuButtons();
    buttons[1]->SetVisible(false);
    Driver.Pump();

    ASSERT_TRUE(Bar->EnterMenuMode(nullptr));
    EXPECT_TRUE(Bar->MenuMode());
    EXPECT_TRUE(Bar->BarNavigation());
    EXPECT_EQ(Bar->HotButton(), buttons[0]) << "Alt highlights the first menu button without opening it";
    EXPECT_FALSE(buttons[0]->MenuShowing());

    struct Step {
        uint16_t Key;
        TKvxToolBarMenuButton* Hot;
    };
    const Step steps[] = {
        {VK_RIGHT, buttons[2]}, // past the hidden one
        {VK_RIGHT, buttons[0]}, // wraps from the last to the first
        {VK_LEFT, buttons[2]},  // and back
        {VK_LEFT, buttons[0]},
    };
    for (const Step& s : steps) {
        SendMessage(Bar->Handle(), WM_KEYDOWN, s.Key, 0);
        EXPECT_EQ(Bar->HotButton(), s.Hot) << "key " << s.Key;
    }
    SendMessage(Bar->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(Bar->MenuMode());
    EXPECT_EQ(Bar->HotButton(), nullptr) << "Escape leaves no button highlighted";
    EXPECT_EQ(TKvxCustomToolBar::MenuModeToolBar(), nullptr);
}

TEST_F(MenuBarTest, AltRunsTheMenuModeUntilTheKeysEndIt) {
    auto buttons = MenuButtons();
    // The keys wait in the queue; the mode's loop takes them from there, wherever the focus is.
    HWND focus = Frame->Handle();
    PostMessage(focus, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessage(focus, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessage(focus, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(SendMessage(Bar->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0), 1);
    EXPECT_FALSE(Bar->MenuMode());
    EXPECT_EQ(Bar->HotButton(), nullptr);

    // Alt with a letter no button carries leaves the key to the form; space and minus are the system's.
    for (int key : {'Z', ' ', '-'}) {
        EXPECT_EQ(SendMessage(Bar->Handle(), WM_SYSCOMMAND, SC_KEYMENU, key), 0) << key;
        EXPECT_FALSE(Bar->MenuMode());
    }
}

TEST_F(MenuBarTest, APressAwayFromTheBarEndsBarNavigation) {
    ASSERT_TRUE(Bar->EnterMenuMode(nullptr));
    const TPoint away = TTestDriver::ScreenPoint(Frame, TPoint(300, 300));
    Driver.Click(away);
    EXPECT_FALSE(Bar->MenuMode());
    EXPECT_EQ(Bar->HotButton(), nullptr);
}

TEST_F(MenuBarTest, DestroyingTheBarInMenuModeLeavesNoModeBehind) {
    ASSERT_TRUE(Bar->EnterMenuMode(nullptr));
    delete Bar;
    Bar = nullptr;
    EXPECT_EQ(TKvxCustomToolBar::MenuModeToolBar(), nullptr);
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

// ---- Window list ----

TEST_F(MenuBarTest, WindowListEntriesLeaveByTheirFormWhateverTheCaption) {
    TForm* a = Child("Chart", false);
    TForm* b = Child("Chart", false);
    TForm* c = Child("Camera", false);
    Bar->RegisterMDIChild(a);
    Bar->RegisterMDIChild(b);
    Bar->RegisterMDIChild(c, "Zevi Zezaru");
    ASSERT_EQ(Bar->WindowList().size(), 3u);
    EXPECT_EQ(Bar->WindowList()[2].Caption, "Zevi Zezaru");

    // The window was renamed since: its entry still goes, and only its entry.
    b->SetCaption("Chart 2");
    Bar->UnregisterMDIChild(b);
    ASSERT_EQ(Bar->WindowList().size(), 2u);
    EXPECT_EQ(Bar->WindowList()[0].Form, a);
    EXPECT_EQ(Bar->WindowList()[1].Form, c);

    // A window destroyed without unregistering leaves no dangling entry.
    delete c;
    ASSERT_EQ(Bar->WindowList().size(), 1u);
    EXPECT_EQ(Bar->WindowList()[0].Form, a);
}

TEST_F(MenuBarTest, WindowMenuShowsTheEntriesAsRadioItemsWhileDropped) {
    TForm* a = Child("Chart 1", false);
    TForm* b = Child("Chart 2", false);
    Bar->RegisterMDIChild(a);
    Bar->RegisterMDIChild(b);
    TMenuItem* window = Menu->Items()->Items(2);
    const int before = window->Count();
    Bar->AddWindowListItems(window);
    ASSERT_EQ(window->Count(), before + 2);
    TMenuItem* first = window->Items(before);
    TMenuItem* second = window->Items(before + 1);
    EXPECT_EQ(first->Caption(), "Chart 1");
    EXPECT_TRUE(first->RadioItem());
    EXPECT_EQ(second->Checked(), Frame->ActiveMDIChild() == b);
    EXPECT_EQ(first->Checked(), Frame->ActiveMDIChild() == a);
    first->Click();
    Driver.Pump();
    EXPECT_EQ(Frame->ActiveMDIChild(), a) << "choosing an entry activates its window";
    Bar->RemoveWindowListItems();
    EXPECT_EQ(window->Count(), before);
}

// ---- MDI child buttons ----

TEST_F(MenuBarTest, MDIButtonRectanglesAtTheEndOfTheBar) {
    Child("Chart 1");
    // Close, restore and minimize step back from the bar's end by 19 pixels, centred across it.
    struct Case {
        const char* What;
        toolbar::TDockAlign Position;
        int Length, Thickness;
        bool OptionIndicator, RightHandle;
        int CloseStart, Across;
    };
    const Case cases[] = {
        {"600x26 menu bar", toolbar::daTop, 600, 26, false, true, 579, 4},
        {"option indicator with its handle", toolbar::daTop, 600, 26, true, true, 579 - 14, 4},
        {"option indicator without handle", toolbar::daTop, 600, 26, true, false, 579 - 4, 4},
        {"a low bar keeps the top at 2", toolbar::daTop, 600, 20, false, true, 579, 2},
        {"a bar docked at the left stacks them upwards", toolbar::daLeft, 600, 26, false, true, 579, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Bar->SetPosition(c.Position);
        const bool horizontal = c.Position == toolbar::daTop;
        SizeBar(horizontal ? c.Length : c.Thickness, horizontal ? c.Thickness : c.Length);
        Bar->SetShowOptionIndicator(c.OptionIndicator);
        Bar->SetShowRightHandle(c.RightHandle);
        auto rect = [&](int start) {
            return horizontal ? TRect(start, c.Across, start + 18, c.Across + 18)
                              : TRect(c.Across, start, c.Across + 18, start + 18);
        };
        EXPECT_EQ(Bar->GetMDICloseRect(), rect(c.CloseStart));
        EXPECT_EQ(Bar->GetMDIRestoreRect(), rect(c.CloseStart - 19));
        EXPECT_EQ(Bar->GetMDIMinimizeRect(), rect(c.CloseStart - 38));
    }
}

TEST_F(MenuBarTest, AutoMDIButtonsHoldsOnlyOnAFullSizeMenuBar) {
    Bar->SetAutoMDIButtons(true);
    EXPECT_TRUE(Bar->AutoMDIButtons());
    EXPECT_TRUE(Bar->MDIHookInstalled());
    Bar->SetAutoMDIButtons(false);
    EXPECT_FALSE(Bar->MDIHookInstalled());

    Bar->SetFullSize(false);
    Bar->SetAutoMDIButtons(true);
    EXPECT_FALSE(Bar->AutoMDIButtons());
    Bar->SetFullSize(true);
    Bar->SetMenu(nullptr);
    Bar->SetAutoMDIButtons(true);
    EXPECT_FALSE(Bar->AutoMDIButtons());
}

TEST_F(MenuBarTest, RestoreActsAfterADragOffCloseDoesNot) {
    Bar->SetAutoMDIButtons(true);
    TForm* child = Child("Chart 1");
    ASSERT_TRUE(Bar->MDIButtonsShown()) << "maximizing the child shows the buttons";
    const TRect close = Bar->GetMDICloseRect();
    const TRect restore = Bar->GetMDIRestoreRect();
    auto centre = [](const TRect& r) { return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); };
    // Off the button, still over the bar (leaving the bar drops every pressed state).
    const TPoint off = TTestDriver::ScreenPoint(Bar, TPoint(restore.Left - 60, restore.Top + 9));

    Driver.Press(TTestDriver::ScreenPoint(Bar, centre(close)));
    Driver.MoveTo(off);
    Driver.Release(off);
    EXPECT_EQ(child->WindowState(), wsMaximized) << "close slid off does nothing";
    EXPECT_EQ(Frame->ActiveMDIChild(), child);

    Driver.Press(TTestDriver::ScreenPoint(Bar, centre(restore)));
    Driver.MoveTo(off);
    Driver.Release(off);
    EXPECT_EQ(child->WindowState(), wsNormal) << "restore acts wherever it is released";
    Driver.Pump();
    EXPECT_FALSE(Bar->MDIButtonsShown());

    // A press and release on that corner with no maximized child changes nothing.
    Driver.Click(TTestDriver::ScreenPoint(Bar, centre(close)));
    EXPECT_EQ(Frame->ActiveMDIChild(), child);
    EXPECT_EQ(child->WindowState(), wsNormal);
}

TEST_F(MenuBarTest, AChildWithoutMaximizeBoxIgnoresRestore) {
    Bar->SetAutoMDIButtons(true);
    TForm* child = Child("Chart 1");
    child->SetBorderIcons(biSystemMenu | biMinimize);
    Bar->Invalidate();
    Driver.Pump();
    const TRect restore = Bar->GetMDIRestoreRect();
    Driver.Click(TTestDriver::ScreenPoint(Bar, TPoint(restore.Left + 9, restore.Top + 9)));
    EXPECT_EQ(child->WindowState(), wsMaximized);
    child->SetBorderIcons(0);
    EXPECT_TRUE(Bar->GetMDICloseRect().IsEmpty()) << "no system menu, no buttons";
}

// Two bars and another component filter the same form: each leaves by itself, in any order, and the
// form's position changes still reach the bar that stays.
TEST_F(MenuBarTest, EachBarTearsDownOnlyItsOwnFormHook) {
    auto* second = new TKvxToolBar(Frame);
    second->SetParent(Panel);
    second->SetFullSize(true);
    second->SetMenu(Menu);
    Driver.Pump();
    int foreign = 0;
    int foreignOwner = 0;
    ASSERT_TRUE(SetWindowSubclass(Frame->Handle(), &foreignOwner, [&](HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_WINDOWPOSCHANGED)
            ++foreign;
        return DefSubclassProc(w, m, wp, lp);
    }));
    Bar->SetAutoMDIButtons(true);
    second->SetAutoMDIButtons(true);
    ASSERT_TRUE(Bar->MDIHookInstalled());
    ASSERT_TRUE(second->MDIHookInstalled());

    Bar->SetAutoMDIButtons(false);
    EXPECT_TRUE(second->MDIHookInstalled()) << "the other bar keeps its hook";
    delete second;
    Driver.Pump();
    Bar->SetAutoMDIButtons(true);
    const int64_t painted = Bar->PaintedArea();
    Frame->SetBounds(60, 60, 780, 480);
    Driver.Pump();
    EXPECT_GT(foreign, 0) << "the foreign filter still runs";
    EXPECT_GT(Bar->PaintedArea(), painted) << "the form's move repaints the bar";
    EXPECT_TRUE(RemoveWindowSubclass(Frame->Handle(), &foreignOwner));
}

TEST_F(MenuBarTest, PictureOfTheMenuBarWithMDIButtons) {
    Bar->SetAutoMDIButtons(true);
    TForm* child = Child("Chart 1");
    child->SetColor(clWhite);
    Bar->Invalidate();
    Driver.Pump();
    const TRect restore = Bar->GetMDIRestoreRect();
    Driver.MoveTo(TTestDriver::ScreenPoint(Bar, TPoint(restore.Left + 9, restore.Top + 9)));
    Driver.Pump();
    auto image = Driver.Render(Bar);
    ASSERT_TRUE(image);
    TTestDriver::SavePng(*image, TestOutputDir("toolbars") + "/menubar-mdi-buttons.png");
    const TRect close = Bar->GetMDICloseRect();
    bool glyph = false;
    for (int y = close.Top; y < close.Bottom; ++y)
        for (int x = close.Left; x < close.Right; ++x)
            glyph = glyph || TTestDriver::PixelOf(*image, x, y) == clBlack;
    EXPECT_TRUE(glyph) << "the close cross is drawn";
    EXPECT_EQ(TTestDriver::PixelOf(*image, restore.Left, restore.Top + 9),
              Bar->CurrentStyler()->ButtonAppearance()->BorderHotColor())
        << "the hot restore button is framed";
}

} // namespace

namespace {

// ---- Dropped menus ----

// Records, in each menu loop, which item's sub-items the bar lent to its popup, then runs the next of
// the given actions in it.
class DroppedMenuTest : public MenuBarTest {
protected:
    void TearDown() override {
        SetMenuLoopHook(nullptr);
        MenuBarTest::TearDown();
    }
    void OnEachMenu(std::vector<std::function<void()>> actions) {
        Actions = std::move(actions);
        Dropped.clear();
        SetMenuLoopHook([this](TMenu* m) {
            const size_t n = Dropped.size();
            Dropped.push_back(m == Bar->TemporaryMenu() && m->Items()->Count() > 0
                                  ? m->Items()->Items(0)->Caption()
                                  : std::string("?"));
            if (n < Actions.size())
                Actions[n]();
            else
                Driver.PressKey(VK_ESCAPE);
        });
    }
    TPoint ButtonPoint(int i) { return TTestDriver::CenterOf(MenuButtons()[static_cast<size_t>(i)]); }

    std::vector<std::function<void()>> Actions;
    std::vector<std::string> Dropped;
};

TEST_F(DroppedMenuTest, AClickLendsTheSubItemsToAPopupAndGetsThemBack) {
    TMenuItem* file = Menu->Items()->Items(0);
    auto* second = new TMenuItem(Frame);
    second->SetCaption("&Close");
    file->Add(second);
    int clicks = 0;
    file->OnClick = [&](TObject*) { ++clicks; };
    int lentCount = -1, leftBehind = -1;
    OnEachMenu({[&] {
        lentCount = Bar->TemporaryMenu()->Items()->Count();
        leftBehind = file->Count();
        EXPECT_TRUE(Bar->MenuDropped());
        Driver.PressKey(VK_ESCAPE);
    }});
    Driver.Click(ButtonPoint(0));
    EXPECT_EQ(Dropped, (std::vector<std::string>{"&File entry"}));
    EXPECT_EQ(lentCount, 2);
    EXPECT_EQ(leftBehind, 0);
    EXPECT_EQ(clicks, 1) << "the item's own click runs as it drops";
    ASSERT_EQ(file->Count(), 2) << "the items are back, in their order";
    EXPECT_EQ(file->Items(0)->Caption(), "&File entry");
    EXPECT_EQ(file->Items(1), second);
    EXPECT_EQ(Bar->TemporaryMenu(), nullptr);
    EXPECT_FALSE(Bar->MenuDropped());
}

TEST_F(DroppedMenuTest, ArrowsAndThePointerMoveOnToTheNeighbouringMenus) {
    // Right on an item without sub-items wraps from the last menu to the first; Left on a top-level
    // item wraps from the first to the last.
    OnEachMenu({
        [&] { Driver.PressKey(VK_DOWN), Driver.PressKey(VK_RIGHT); },
        [&] { Driver.PressKey(VK_DOWN), Driver.PressKey(VK_LEFT); },
        [&] { Driver.MoveTo(ButtonPoint(1)); },
    });
    Driver.Click(ButtonPoint(2));
    EXPECT_EQ(Dropped,
              (std::vector<std::string>{"&Window entry", "&File entry", "&Window entry", "&Options entry"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Menu->Items()->Items(i)->Count(), 1) << "every menu got its items back";
}

TEST_F(DroppedMenuTest, ClickingTheOpenMenusButtonClosesItForGood) {
    OnEachMenu({[&] { Driver.Click(ButtonPoint(1)); }});
    Driver.Click(ButtonPoint(1));
    EXPECT_EQ(Dropped, (std::vector<std::string>{"&Options entry"}));
    EXPECT_FALSE(Bar->MenuDropped());
    EXPECT_FALSE(MenuTracking());
    // The next click drops it again.
    OnEachMenu({});
    Driver.Click(ButtonPoint(1));
    EXPECT_EQ(Dropped, (std::vector<std::string>{"&Options entry"}));
}

TEST_F(DroppedMenuTest, RightOpensASubMenuAndLeftClosesOnlyIt) {
    TMenuItem* entry = Menu->Items()->Items(1)->Items(0);
    auto* deeper = new TMenuItem(Frame);
    deeper->SetCaption("Deeper");
    entry->Add(deeper);
    bool subOpened = false, subClosed = false;
    OnEachMenu({[&] {
        Driver.PressKey(VK_DOWN);
        Driver.PressKey(VK_RIGHT);
        subOpened = MenuItemWindow(deeper) != nullptr;
        Driver.PressKey(VK_LEFT);
        subClosed = MenuItemWindow(deeper) == nullptr && MenuTracking();
        Driver.PressKey(VK_ESCAPE);
    }});
    Driver.Click(ButtonPoint(1));
    EXPECT_TRUE(subOpened);
    EXPECT_TRUE(subClosed);
    EXPECT_EQ(Dropped.size(), 1u) << "no other menu dropped";
}

TEST_F(DroppedMenuTest, EscapeInMenuModeKeepsTheBarWithTheButtonHot) {
    auto buttons = MenuButtons();
    OnEachMenu({[&] { Driver.PressKey(VK_ESCAPE); }});
    ASSERT_TRUE(Bar->EnterMenuMode(nullptr));
    SendMessage(Bar->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    SendMessage(Bar->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Dropped, (std::vector<std::string>{"&Options entry"}));
    EXPECT_TRUE(Bar->MenuMode());
    EXPECT_EQ(Bar->HotButton(), buttons[1]);
    SendMessage(Bar->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(Bar->MenuMode());
    EXPECT_EQ(Bar->HotButton(), nullptr);
}

// The platform turns Alt+letter into a key-menu command to the form; the bar drops the matching menu
// and, after Escape, keeps the keyboard until a second Escape.
TEST_F(DroppedMenuTest, AltAndALetterOnTheFormDropTheMatchingMenu) {
    OnEachMenu({[&] {
        Driver.PressKey(VK_ESCAPE);
        PostMessage(Bar->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    }});
    EXPECT_EQ(SendMessage(Frame->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'o'), 1);
    EXPECT_EQ(Dropped, (std::vector<std::string>{"&Options entry"}));
    EXPECT_FALSE(Bar->MenuMode());
    EXPECT_EQ(Bar->HotButton(), nullptr);
}

// Reading a form sets its bar's menu long before the form is shown: the hook waits for the form's window
// instead of making it then.
TEST_F(DroppedMenuTest, ABarOnAFormWithoutAWindowHooksItsKeysWhenTheWindowIsMade) {
    TForm* form = NewForm<TForm>(Application);
    auto* menu = new TMainMenu(form);
    auto* item = new TMenuItem(form);
    item->SetCaption("&Tools");
    auto* sub = new TMenuItem(form);
    sub->SetCaption("&Tools entry");
    item->Add(sub);
    menu->Items()->Add(item);
    auto* bar = new TKvxToolBar(form);
    bar->SetParent(form);
    bar->SetMenu(menu);
    EXPECT_FALSE(form->HandleAllocated()) << "the bar made the form's window";

    form->Show();
    Driver.Pump();
    OnEachMenu({[&] {
        Driver.PressKey(VK_ESCAPE);
        PostMessage(bar->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    }});
    EXPECT_EQ(SendMessage(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 't'), 1);
    EXPECT_EQ(Dropped.size(), 1u);
    delete form;
    Driver.Pump();
}

TEST_F(DroppedMenuTest, ALetterInMenuModeDropsTheMenuItMarks) {
    OnEachMenu({[&] { Driver.PressKey(VK_ESCAPE); }});
    ASSERT_TRUE(Bar->EnterMenuMode(nullptr));
    EXPECT_EQ(SendMessage(Bar->Handle(), WM_CHAR, 'w', 0), 1);
    EXPECT_EQ(Dropped, (std::vector<std::string>{"&Window entry"}));
    EXPECT_EQ(SendMessage(Bar->Handle(), WM_CHAR, 'q', 0), 0) << "no button carries Q";
    SendMessage(Bar->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(Bar->MenuMode());
}

TEST_F(DroppedMenuTest, TheWindowMenuListsTheRegisteredWindowsWhileDropped) {
    Bar->SetAutoMDIButtons(true);
    TForm* a = Child("Chart 1", false);
    TForm* b = Child("Camera", true);
    Bar->RegisterMDIChild(a);
    Bar->RegisterMDIChild(b);
    std::vector<std::string> captions;
    std::vector<bool> checked;
    OnEachMenu({[&] {
        TMenuItem* items = Bar->TemporaryMenu()->Items();
        for (int i = 0; i < items->Count(); ++i) {
            captions.push_back(items->Items(i)->Caption());
            checked.push_back(items->Items(i)->Checked());
        }
        auto shot = Driver.RenderScreen(TRect(50, 50, 850, 350));
        TTestDriver::SavePng(*shot, TestOutputDir("toolbars") + "/menubar-dropped-window-menu.png");
        Driver.PressKey(VK_ESCAPE);
    }});
    Driver.Click(ButtonPoint(2));
    EXPECT_EQ(captions, (std::vector<std::string>{"&Window entry", "Chart 1", "Camera"}));
    EXPECT_EQ(checked,
              (std::vector<bool>{false, Frame->ActiveMDIChild() == a, Frame->ActiveMDIChild() == b}));
    EXPECT_EQ(Menu->Items()->Items(2)->Count(), 1) << "the entries are gone after the menu closed";
}

} // namespace

namespace {

// The main window's layout: the menu bar is made from the main menu and hooks the MDI frame once the
// layout is read.
const char* const kMainWindow = R"(object MainForm: TForm
  Left = 0
  Top = 0
  ClientWidth = 600
  ClientHeight = 400
  FormStyle = fsMDIForm
  object KvxDockPanel1: TKvxDockPanel
    Left = 0
    Top = 0
    Width = 600
    Height = 28
    object KvxToolBar1: TKvxToolBar
      Left = 3
      Top = 1
      Width = 594
      Height = 26
      Menu = KvxMainMenu1
      FullSize = True
      AutoMDIButtons = True
      AutoOptionMenu = True
      TextOptionMenu = 'More'
    end
  end
  object KvxMainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      object Exit1: TMenuItem
        Caption = 'E&xit'
      end
    end
    object Options1: TMenuItem
      Caption = '&Options'
    end
    object Window1: TMenuItem
      Caption = '&Window'
    end
  end
end
)";

TEST(MenuBarLayoutTest, ALoadedMenuBarHasItsButtonsAndItsFormHook) {
    TTestDriver driver;
    auto* form = NewForm<TForm>(Application);
    ReadComponentFromText(kMainWindow, form);
    form->Show();
    driver.Pump();
    auto* bar = dynamic_cast<TKvxToolBar*>(form->FindComponent("KvxToolBar1"));
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(bar->Menu(), nullptr);
    int buttons = 0;
    for (TControl* c : bar->OrderedControls())
        buttons += dynamic_cast<TKvxToolBarMenuButton*>(c) ? 1 : 0;
    EXPECT_EQ(buttons, 3);
    EXPECT_TRUE(bar->AutoMDIButtons());
    EXPECT_TRUE(bar->MDIHookInstalled());
    EXPECT_TRUE(bar->AutoOptionMenu());
    EXPECT_EQ(bar->TextOptionMenu(), "More");

    // Written again, the layout keeps the references and leaves the made buttons out.
    const std::string written = WriteComponentToText(form);
    EXPECT_NE(written.find("Menu = KvxMainMenu1"), std::string::npos) << written;
    EXPECT_NE(written.find("AutoMDIButtons = True"), std::string::npos);
    EXPECT_EQ(written.find("TKvxToolBarMenuButton"), std::string::npos);
    delete form;
    driver.Pump();
}

} // namespace

namespace {

// A chart window's menu carries the group indices of File and Window, and one item of its own.
TEST_F(MenuBarTest, AChildMenuReplacesItsGroupsAndUnmergingRestoresTheMainMenu) {
    Menu->Items()->Items(0)->SetGroupIndex(1);
    Menu->Items()->Items(2)->SetGroupIndex(9);
    auto* child = new TMainMenu(Frame);
    for (auto [caption, group] :
         {std::pair{"&Chart file", 1}, std::pair{"&Series", 5}, std::pair{"&Windows", 9}}) {
        auto* item = new TMenuItem(Frame);
        item->SetCaption(caption);
        item->SetGroupIndex(group);
        child->Items()->Add(item);
    }
    auto captions = [&] {
        std::vector<std::string> result;
        for (TKvxToolBarMenuButton* b : MenuButtons())
            result.push_back(b->Caption());
        return result;
    };
    Bar->MergeMenu(child);
    EXPECT_EQ(captions(), (std::vector<std::string>{"&Chart file", "&Options", "&Windows", "&Series"}));
    Bar->MergeMenu(child);
    EXPECT_EQ(MenuButtons().size(), 4u) << "merging the same menu again changes nothing";

    Bar->MergeMenu(nullptr);
    EXPECT_EQ(captions(), (std::vector<std::string>{"&File", "&Options", "&Window"}));
    EXPECT_EQ(Bar->MergedMenu(), nullptr);

    // A merged menu destroyed with its window leaves the main menu's bar behind.
    Bar->MergeMenu(child);
    delete child;
    EXPECT_EQ(captions(), (std::vector<std::string>{"&File", "&Options", "&Window"}));
    EXPECT_EQ(Bar->MergedMenu(), nullptr);
}

} // namespace

namespace {

// Right from the last menu onto a menu without sub-items: nothing drops, its command does not run, and
// the bar keeps the keyboard with that button highlighted once the menu timer ticked.
TEST_F(DroppedMenuTest, AnArrowOntoAMenuWithoutItemsHighlightsItInMenuMode) {
    auto* help = new TMenuItem(Frame);
    help->SetCaption("&Help");
    int helpClicks = 0;
    help->OnClick = [&](TObject*) { ++helpClicks; };
    Menu->Items()->Add(help);
    Driver.Pump();
    auto buttons = MenuButtons();
    ASSERT_EQ(buttons.size(), 4u);
    for (bool byPointer : {false, true}) {
        SCOPED_TRACE(byPointer ? "menu dropped by the pointer" : "menu dropped in menu mode");
        helpClicks = 0;
        OnEachMenu({[&] { Driver.PressKey(VK_DOWN), Driver.PressKey(VK_RIGHT); }});
        if (byPointer)
            // The mode the timer starts runs its own loop; a key there ends it.
            Driver.Click(ButtonPoint(2));
        else {
            ASSERT_TRUE(Bar->EnterMenuMode(nullptr));
            SendMessage(Bar->Handle(), WM_KEYDOWN, VK_LEFT, 0);
            SendMessage(Bar->Handle(), WM_KEYDOWN, VK_LEFT, 0);
            SendMessage(Bar->Handle(), WM_KEYDOWN, VK_DOWN, 0);
        }
        EXPECT_EQ(Dropped, (std::vector<std::string>{"&Window entry"}));
        EXPECT_FALSE(MenuTracking());
        if (!byPointer) {
            Driver.Advance(2);
            EXPECT_TRUE(Bar->MenuMode());
            EXPECT_EQ(Bar->HotButton(), buttons[3]);
            SendMessage(Bar->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        }
        EXPECT_EQ(helpClicks, 0) << "moving across a command does not run it";
        EXPECT_FALSE(Bar->MenuMode());
    }
}

} // namespace

namespace {

TEST_F(MenuBarTest, MenuButtonsFollowLaterChangesOfTheMenu) {
    auto captions = [&] {
        std::vector<std::string> result;
        for (TKvxToolBarMenuButton* b : MenuButtons())
            result.push_back(b->Caption() + (b->Visible() ? "" : "/hidden") + (b->Enabled() ? "" : "/off"));
        return result;
    };
    TMenuItem* root = Menu->Items();
    root->Items(0)->SetCaption("&Data");
    root->Items(1)->SetVisible(false);
    root->Items(2)->SetEnabled(false);
    EXPECT_EQ(captions(), (std::vector<std::string>{"&Data", "&Options/hidden", "&Window/off"}));
    root->Items(1)->SetVisible(true);
    root->Items(2)->SetEnabled(true);

    auto* help = new TMenuItem(Frame);
    help->SetCaption("&Help");
    root->Add(help);
    auto* view = new TMenuItem(Frame);
    view->SetCaption("&View");
    root->Insert(1, view);
    EXPECT_EQ(captions(), (std::vector<std::string>{"&Data", "&View", "&Options", "&Window", "&Help"}));
    delete root->Items(2);
    root->Remove(help);
    EXPECT_EQ(captions(), (std::vector<std::string>{"&Data", "&View", "&Window"}));
    delete help;
    for (TKvxToolBarMenuButton* b : MenuButtons())
        EXPECT_EQ(b->Parent(), Bar);
    EXPECT_GT(MenuButtons()[2]->Left(), MenuButtons()[1]->Left()) << "the bar arranged the new order";
}

// An item added while a menu is dropped gets its button once the menu closed; the dropped button
// lives until then.
TEST_F(DroppedMenuTest, AnItemAddedWhileAMenuIsDroppedGetsItsButtonAfterwards) {
    TMenuItem* root = Menu->Items();
    OnEachMenu({[&] {
        auto* help = new TMenuItem(Frame);
        help->SetCaption("&Help");
        root->Add(help);
        EXPECT_EQ(MenuButtons().size(), 3u);
        Driver.PressKey(VK_ESCAPE);
    }});
    Driver.Click(ButtonPoint(1));
    EXPECT_EQ(Dropped, (std::vector<std::string>{"&Options entry"}));
    ASSERT_EQ(MenuButtons().size(), 4u);
    EXPECT_EQ(MenuButtons()[3]->Caption(), "&Help");
    EXPECT_EQ(root->Items(1)->Count(), 1) << "the dropped menu got its items back";
    EXPECT_FALSE(Bar->MenuDropped());
}

} // namespace

namespace {

// A bar near the bottom of the screen drops a long menu above its button, not over it.
TEST_F(DroppedMenuTest, AMenuThatWouldPassTheScreenBottomOpensAboveItsButton) {
    TMenuItem* file = Menu->Items()->Items(0);
    for (int i = 0; i < 8; ++i) {
        auto* more = new TMenuItem(Frame);
        more->SetCaption("More " + std::to_string(i));
        file->Add(more);
    }
    for (bool nearBottom : {false, true}) {
        SCOPED_TRACE(nearBottom ? "near the bottom" : "with room below");
        Frame->SetTop(nearBottom ? Screen->Height() - 120 : 50);
        Driver.Pump();
        const TRect button =
            TRect(TTestDriver::ScreenPoint(MenuButtons()[0], TPoint(0, 0)),
                  TTestDriver::ScreenPoint(MenuButtons()[0], MenuButtons()[0]->ClientRect().BottomRight()));
        TRect first, last;
        bool shown = false;
        OnEachMenu({[&] {
            TMenuItem* lent = Bar->TemporaryMenu()->Items();
            shown = GetMenuItemRect(lent->Items(0), first) &&
                    GetMenuItemRect(lent->Items(lent->Count() - 1), last);
            Driver.PressKey(VK_ESCAPE);
        }});
        Driver.Click(ButtonPoint(0));
        ASSERT_TRUE(shown);
        if (nearBottom)
            EXPECT_LE(last.Bottom, button.Top) << "the whole menu lies above the button";
        else
            EXPECT_GE(first.Top, button.Bottom) << "the menu lies below the button";
        EXPECT_LE(last.Bottom, Screen->Height());
    }
}

} // namespace

namespace {

// A toolbar that receives the focus hands it to its first control that can take it.
TEST(ToolBarFocusTest, TheFocusGoesOnToTheFirstControlThatCanTakeIt) {
    TTestDriver driver;
    std::unique_ptr<TForm> form(NewForm<TForm>(Application));
    form->SetBounds(40, 40, 500, 200);
    auto* bar = new TKvxToolBar(form.get());
    bar->SetParent(form.get());
    std::vector<TEdit*> edits;
    for (const char* name : {"Off", "First", "Last"}) {
        auto* e = new TEdit(form.get());
        e->SetName(name);
        e->SetParent(bar);
        edits.push_back(e);
    }
    edits[0]->SetEnabled(false);
    form->Show();
    driver.Pump();
    EXPECT_EQ(bar->FirstFocusableControl(false), edits[0]);
    EXPECT_EQ(bar->FirstFocusableControl(true), edits[1]);
    EXPECT_EQ(bar->LastFocusableControl(true), edits[2]);
    bar->SetFocus();
    driver.Pump();
    EXPECT_EQ(TTestDriver::FocusedControl(), edits[1]);

    // With nothing to take it the toolbar keeps the focus.
    for (TEdit* e : edits)
        delete e;
    EXPECT_EQ(bar->FirstFocusableControl(false), nullptr);
    bar->SetFocus();
    driver.Pump();
    EXPECT_EQ(TTestDriver::FocusedControl(), bar);
}

} // namespace

namespace {

// On the main window's frame, too, a toolbar given the focus hands it to its first control, with and
// without a document window open.
TEST_F(MenuBarTest, OnTheFrameAToolBarHandsTheFocusToItsFirstControl) {
    auto* tools = new TKvxToolBar(Frame);
    tools->SetParent(Panel);
    auto* edit = new TEdit(Frame);
    edit->SetParent(tools);
    Driver.Pump();
    for (bool withChild : {false, true}) {
        SCOPED_TRACE(withChild ? "with a document window" : "without");
        if (withChild)
            Child("Chart 1", false);
        tools->SetFocus();
        Driver.Pump();
        EXPECT_EQ(TTestDriver::FocusedControl(), edit);
    }
}

} // namespace
