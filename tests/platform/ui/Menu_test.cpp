#include "platform/ui/Menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TestControls.h"
#include "platform/ui/Window.h"

using namespace plat;
using namespace uitest;

namespace {

TMenuItem* Item(TComponent* owner, TMenuItem* parent, const std::string& caption,
                std::vector<std::string>* log = nullptr) {
    auto* it = new TMenuItem(owner);
    it->SetCaption(caption);
    if (log)
        it->OnClick = [log, caption](TObject*) { log->push_back(caption); };
    parent->Add(it);
    return it;
}

TPoint Center(const TMenuItem* item) {
    TRect r;
    EXPECT_TRUE(GetMenuItemRect(item, r)) << item->Caption() << " shows nowhere";
    return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestControls();
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 400, 300);
        Form->SetCaption("Menus");
        Popup = new TPopupMenu(Form);
        A = Item(Form, Popup->Items(), "&Alpha", &Clicks);
        Item(Form, Popup->Items(), "-");
        B = Item(Form, Popup->Items(), "&Beta");
        B1 = Item(Form, B, "Beta &one", &Clicks);
        B2 = Item(Form, B, "Beta &two", &Clicks);
        C = Item(Form, Popup->Items(), "&Gamma", &Clicks);
        C->SetEnabled(false);
        D = Item(Form, Popup->Items(), "&Delta", &Clicks);
        Form->Show();
        Driver.Pump();
    }
    void TearDown() override { SetMenuLoopHook(nullptr); }

    // Shows the popup at (200, 200) and runs `inside` in its loop.
    void RunPopup(std::function<void()> inside) {
        SetMenuLoopHook([inside](TMenu*) { inside(); });
        Popup->Popup(200, 200);
        SetMenuLoopHook(nullptr);
        EXPECT_FALSE(MenuTracking());
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TPopupMenu* Popup = nullptr;
    TMenuItem *A, *B, *B1, *B2, *C, *D;
    std::vector<std::string> Clicks;
};

} // namespace

TEST(ShortCutTest, TextAndKeysRoundTrip) {
    struct Case {
        TShortCut Sc;
        const char* Text;
    } cases[] = {{TShortCut(scCtrl | 'S'), "Ctrl+S"},
                 {TShortCut(scShift | scCtrl | VK_F5), "Shift+Ctrl+F5"},
                 {TShortCut(scAlt | VK_RETURN), "Alt+Enter"},
                 {VK_DELETE, "Del"},
                 {TShortCut(scCtrl | VK_OEM_PLUS), "Ctrl+="}};
    for (const Case& c : cases) {
        EXPECT_EQ(ShortCutToText(c.Sc), c.Text);
        EXPECT_EQ(TextToShortCut(c.Text), c.Sc) << c.Text;
    }
    EXPECT_EQ(TextToShortCut("ctrl+s"), TShortCut(scCtrl | 'S'));
    EXPECT_EQ(TextToShortCut("Hyper+Q"), scNone);
    EXPECT_EQ(ShortCutToText(scNone), "");
    EXPECT_EQ(ShortCut('S', ssCtrl | ssShift), TShortCut(scCtrl | scShift | 'S'));
    EXPECT_EQ(StripHotkey("&Save && close"), "Save & close");
}

TEST(MenuItemTest, RadioItemsOfAGroupExcludeEachOther) {
    TPopupMenu menu(nullptr);
    auto make = [&](int group) {
        auto* it = new TMenuItem(nullptr);
        it->SetRadioItem(true);
        it->SetGroupIndex(group);
        menu.Items()->Add(it);
        return it;
    };
    TMenuItem* a = make(1);
    TMenuItem* b = make(1);
    TMenuItem* other = make(2);
    other->SetChecked(true);
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(other->Checked()) << "another group is left alone";
    // Plain check items are not grouped.
    auto* plain = new TMenuItem(nullptr);
    plain->SetGroupIndex(1);
    menu.Items()->Add(plain);
    plain->SetChecked(true);
    EXPECT_TRUE(b->Checked());
    EXPECT_THROW(menu.Items()->Add(a), EMenuError);
}

TEST_F(MenuTest, KeyboardWalksSkipsSeparatorsAndOpensSubMenus) {
    RunPopup([&] {
        EXPECT_EQ(MenuSelectedItem(), nullptr) << "nothing is highlighted before a key";
        Driver.PressKey(VK_DOWN); // Alpha
        EXPECT_EQ(MenuSelectedItem(), A);
        Driver.PressKey(VK_DOWN); // Beta (the separator is skipped)
        Driver.PressKey(VK_RIGHT);
        EXPECT_NE(MenuItemWindow(B1), nullptr) << "Right opens the sub-menu";
        Driver.PressKey(VK_DOWN); // Beta two
        EXPECT_EQ(MenuSelectedItem()->Caption(), "Beta &two") << "the innermost drop-down answers";
        Driver.PressKey(VK_RETURN);
    });
    EXPECT_EQ(Clicks, (std::vector<std::string>{"Beta &two"}));
    EXPECT_EQ(MenuSelectedItem(), nullptr) << "no menu is open";

    Clicks.clear();
    RunPopup([&] {
        Driver.PressKey(VK_DOWN);
        Driver.PressKey(VK_DOWN);
        Driver.PressKey(VK_RIGHT);
        Driver.PressKey(VK_LEFT);
        EXPECT_EQ(MenuItemWindow(B1), nullptr) << "Left closes it again";
        EXPECT_NE(MenuItemWindow(A), nullptr);
        Driver.PressKey(VK_UP);
        Driver.PressKey(VK_UP); // wraps from Alpha to Delta
        Driver.PressKey(VK_RETURN);
    });
    EXPECT_EQ(Clicks, (std::vector<std::string>{"&Delta"}));

    Clicks.clear();
    RunPopup([&] {
        Driver.PressKey('G'); // the disabled item is selected but not run
        EXPECT_TRUE(MenuTracking());
        Driver.PressKey(VK_ESCAPE);
    });
    EXPECT_TRUE(Clicks.empty());

    RunPopup([&] { Driver.PressKey('D'); });
    EXPECT_EQ(Clicks, (std::vector<std::string>{"&Delta"})) << "an accelerator runs its item";
}

TEST_F(MenuTest, MouseHoverOpensSubMenusAfterADelayAndClicksChoose) {
    RunPopup([&] {
        Driver.MoveTo(Center(B));
        EXPECT_EQ(MenuItemWindow(B1), nullptr);
        Driver.Advance(MenuShowDelay + 10, 10);
        ASSERT_NE(MenuItemWindow(B1), nullptr) << "the sub-menu opened after the delay";
        Driver.MoveTo(Center(B1));
        Driver.Click(Center(B1));
    });
    EXPECT_EQ(Clicks, (std::vector<std::string>{"Beta &one"}));

    Clicks.clear();
    RunPopup([&] {
        Driver.Click(Center(C)); // disabled: stays open
        EXPECT_TRUE(MenuTracking());
        Driver.Click(TPoint(20, 20)); // outside: closes
    });
    EXPECT_TRUE(Clicks.empty());
}

TEST_F(MenuTest, EmptyPopupShowsNothingAndOnPopupRunsFirst) {
    TPopupMenu empty(nullptr);
    int popups = 0;
    empty.OnPopup = [&](TObject*) { ++popups; };
    bool looped = false;
    SetMenuLoopHook([&](TMenu*) { looped = true; });
    empty.Popup(10, 10);
    EXPECT_EQ(popups, 1);
    EXPECT_FALSE(looped);
}

TEST_F(MenuTest, OwnerDrawHooksGetTheMeasuredRectsAndStates) {
    std::map<std::string, std::pair<TRect, TOwnerDrawState>> drawn;
    for (TMenuItem* it : {A, C, D}) {
        it->OnMeasureItem = [](TObject*, TCanvas* c, int& w, int& h) {
            ASSERT_NE(c, nullptr);
            w = 150;
            h = 30;
        };
        it->OnAdvancedDrawItem = [&drawn](TObject* s, TCanvas* c, TRect r, TOwnerDrawState st) {
            drawn[static_cast<TMenuItem*>(s)->Caption()] = {r, st};
            c->Brush()->SetColor(clRed);
            c->FillRect(r);
        };
    }
    D->SetChecked(true);
    D->SetDefault(true);
    RunPopup([&] {
        Driver.PressKey(VK_DOWN);
        Driver.Pump();
        TRect ra;
        ASSERT_TRUE(GetMenuItemRect(A, ra));
        EXPECT_EQ(ra.Height(), 30);
        EXPECT_GE(ra.Width(), 150);
        // What the hook painted is what the window shows.
        HWND w = MenuItemWindow(A);
        TPoint p = Center(A);
        ScreenToClient(w, p);
        EXPECT_EQ(Driver.Pixel(w, p.X, p.Y), clRed);
        Driver.PressKey(VK_ESCAPE);
    });
    ASSERT_EQ(drawn.count("&Alpha"), 1u);
    EXPECT_EQ(drawn["&Alpha"].first.Height(), 30);
    EXPECT_TRUE(drawn["&Alpha"].second & odSelected);
    EXPECT_TRUE(drawn["&Gamma"].second & odDisabled);
    EXPECT_FALSE(drawn["&Gamma"].second & odSelected);
    EXPECT_TRUE(drawn["&Delta"].second & odChecked);
    EXPECT_TRUE(drawn["&Delta"].second & odDefault);
    EXPECT_EQ(drawn["&Delta"].first.Top, drawn["&Gamma"].first.Bottom) << "rows follow each other";
}

TEST_F(MenuTest, EachItemIsMeasuredWithTheMenuFont) {
    // A handler that changes the canvas font (to measure notes, say) must not size the items after it.
    std::vector<std::pair<std::string, int>> sizes;
    for (TMenuItem* it : {A, C, D}) {
        it->OnMeasureItem = [&sizes](TObject* s, TCanvas* c, int& w, int&) {
            sizes.emplace_back(static_cast<TMenuItem*>(s)->Caption(), c->Font()->Size());
            c->Font()->SetSize(30);
        };
    }
    RunPopup([&] { Driver.PressKey(VK_ESCAPE); });
    ASSERT_GE(sizes.size(), 3u);
    for (const auto& [caption, size] : sizes)
        EXPECT_EQ(size, Screen->MenuFont()->Size()) << caption;
}

TEST_F(MenuTest, MenuCanDrawTheFrameOfItsDropDowns) {
    std::vector<std::pair<TMenuItem*, TRect>> framed;
    Popup->SetDropDownFrame({1, [&](TMenuItem* parent, TCanvas* c, const TRect& bounds) {
                                 framed.emplace_back(parent, bounds);
                                 c->Brush()->SetColor(clRed);
                                 c->FrameRect(bounds);
                             }});
    RunPopup([&] {
        Driver.PressKey(VK_DOWN);
        Driver.PressKey(VK_DOWN);
        Driver.PressKey(VK_RIGHT);
        HWND top = MenuItemWindow(A);
        HWND sub = MenuItemWindow(B1);
        ASSERT_NE(sub, nullptr);
        TRect wr, first, parent;
        GetWindowRect(top, wr);
        ASSERT_TRUE(GetMenuItemRect(A, first));
        EXPECT_EQ(first.Left - wr.Left, 1) << "items sit inside the one-pixel frame";
        EXPECT_EQ(first.Top - wr.Top, 1);
        EXPECT_EQ(Driver.Pixel(top, 0, 0), clRed);
        EXPECT_NE(Driver.Pixel(top, 1, 1), clRed) << "no classic edge inside it";
        TRect subRect, subFirst;
        GetWindowRect(sub, subRect);
        ASSERT_TRUE(GetMenuItemRect(B, parent));
        ASSERT_TRUE(GetMenuItemRect(B1, subFirst));
        EXPECT_EQ(subRect.Left, wr.Right - 1) << "a sub-menu's frame lies on its parent's";
        EXPECT_EQ(subFirst.Top, parent.Top) << "and its first item beside the parent item";
        Driver.PressKey(VK_ESCAPE);
        Driver.PressKey(VK_ESCAPE);
    });
    ASSERT_FALSE(framed.empty());
    EXPECT_EQ(framed.front().first, Popup->Items());
    EXPECT_EQ(framed.front().second.Left, 0);
    bool subFramed = false;
    for (auto& f : framed)
        subFramed |= f.first == B;
    EXPECT_TRUE(subFramed) << "each drop-down is framed with its parent item";
}

TEST_F(MenuTest, ContextMenuOfAControlKnowsItsComponent) {
    auto* panel = new TTestPanel(Form);
    panel->SetParent(Form);
    panel->SetBounds(10, 10, 100, 100);
    panel->SetPopupMenu(Popup);
    Driver.Pump();
    SetMenuLoopHook([&](TMenu* m) {
        EXPECT_EQ(m, Popup);
        EXPECT_EQ(Popup->PopupComponent(), panel);
        Driver.PressKey(VK_ESCAPE);
    });
    Driver.Click(panel, TPoint(20, 20), tbRight);
    SetMenuLoopHook(nullptr);
    EXPECT_EQ(Popup->PopupPoint(), TTestDriver::ScreenPoint(panel, TPoint(20, 20)));
}

// ---- The menu bar ----

class MenuBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestControls();
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 400, 300);
        Form->SetCaption("Bar");
        Menu = new TMainMenu(Form);
        File = Item(Form, Menu->Items(), "&File");
        Open = Item(Form, File, "&Open", &Clicks);
        Save = Item(Form, File, "&Save", &Clicks);
        Save->SetShortCut(TShortCut(scCtrl | 'S'));
        Recent = Item(Form, File, "&Recent");
        Item(Form, Recent, "one.lmc", &Clicks);
        Item(Form, Recent, "two.lmc", &Clicks);
        Item(Form, File, "-");
        Item(Form, File, "E&xit", &Clicks);
        Edit = Item(Form, Menu->Items(), "&Edit");
        Item(Form, Edit, "&Copy", &Clicks);
        Help = Item(Form, Menu->Items(), "&About", &Clicks);
        Form->SetClientHeight(200);
        Form->SetMenu(Menu);
        Form->Show();
        Driver.Pump();
    }
    void TearDown() override { SetMenuLoopHook(nullptr); }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TMainMenu* Menu = nullptr;
    TMenuItem *File, *Open, *Save, *Recent, *Edit, *Help;
    std::vector<std::string> Clicks;
};

TEST_F(MenuBarTest, TheBarSitsAboveTheClientArea) {
    TRect bar;
    ASSERT_TRUE(GetMenuItemRect(File, bar));
    TPoint origin = Form->ClientToScreen(TPoint(0, 0));
    EXPECT_EQ(bar.Bottom, origin.Y);
    EXPECT_EQ(bar.Left, origin.X);
    TRect edit;
    ASSERT_TRUE(GetMenuItemRect(Edit, edit));
    EXPECT_EQ(edit.Left, bar.Right);
    // A form made with a menu before its window keeps the client height it was given.
    TForm* f = NewForm<TForm>(Application);
    auto* m = new TMainMenu(f);
    Item(f, m->Items(), "&File");
    f->SetMenu(m);
    f->SetBounds(0, 0, 300, 200);
    f->SetClientHeight(150);
    f->Show();
    Driver.Pump();
    EXPECT_EQ(f->ClientHeight(), 150);
}

TEST_F(MenuBarTest, ClickingABarItemDropsItsMenu) {
    SetMenuLoopHook([&](TMenu* m) {
        EXPECT_EQ(m, Menu);
        ASSERT_NE(MenuItemWindow(Open), nullptr);
        TRect drop, bar;
        GetWindowRect(MenuItemWindow(Open), drop);
        GetMenuItemRect(File, bar);
        EXPECT_EQ(drop.Top, bar.Bottom);
        Driver.MoveTo(Center(Edit)); // moving along the bar switches drop-downs
        EXPECT_EQ(MenuItemWindow(Open), nullptr);
        ASSERT_NE(MenuItemWindow(Edit->Items(0)), nullptr);
        Driver.Click(Center(Edit->Items(0)));
    });
    Driver.Click(Center(File));
    EXPECT_EQ(Clicks, (std::vector<std::string>{"&Copy"}));
    EXPECT_FALSE(MenuTracking());

    Clicks.clear();
    SetMenuLoopHook([&](TMenu*) {});
    Driver.Click(Center(Help)); // an item without a sub-menu runs on release
    EXPECT_EQ(Clicks, (std::vector<std::string>{"&About"}));
}

TEST_F(MenuBarTest, AltLetterAndF10OpenTheBarFromTheKeyboard) {
    SetMenuLoopHook([&](TMenu*) {
        ASSERT_NE(MenuItemWindow(Open), nullptr);
        Driver.PressKey('R'); // Recent opens its sub-menu
        ASSERT_NE(MenuItemWindow(Recent->Items(0)), nullptr);
        Driver.PressKey(VK_DOWN); // the first item was selected as it opened
        Driver.PressKey(VK_RETURN);
    });
    Driver.PressKey('F', modAlt);
    EXPECT_EQ(Clicks, (std::vector<std::string>{"two.lmc"}));

    Clicks.clear();
    SetMenuLoopHook([&](TMenu*) {
        EXPECT_EQ(MenuItemWindow(Open), nullptr) << "F10 only highlights the bar";
        Driver.PressKey(VK_RIGHT); // Edit
        Driver.PressKey(VK_DOWN);  // drops it
        ASSERT_NE(MenuItemWindow(Edit->Items(0)), nullptr);
        Driver.PressKey(VK_LEFT); // File, still dropped
        ASSERT_NE(MenuItemWindow(Open), nullptr);
        Driver.PressKey(VK_ESCAPE);
        Driver.PressKey(VK_ESCAPE);
    });
    Driver.PressKey(VK_F10);
    EXPECT_TRUE(Clicks.empty());
    EXPECT_FALSE(MenuTracking());
}

TEST_F(MenuBarTest, ShortCutsRunFromTheFormOnlyWhenEnabled) {
    Form->SetFocus();
    Driver.Pump();
    Driver.PressKey('S', modControl);
    EXPECT_EQ(Clicks, (std::vector<std::string>{"&Save"}));
    File->SetEnabled(false);
    Driver.PressKey('S', modControl);
    EXPECT_EQ(Clicks.size(), 1u) << "an item under a disabled one does not run";
}

TEST_F(MenuBarTest, ScreenshotOfAnOpenMenuWithASubMenu) {
    Save->SetDefault(false);
    Open->SetChecked(true);
    Edit->Items(0)->SetShortCut(TShortCut(scCtrl | 'C'));
    SetMenuLoopHook([&](TMenu*) {
        Driver.PressKey(VK_DOWN); // Open was selected as the menu dropped; Save
        Driver.PressKey(VK_DOWN); // Recent
        Driver.PressKey(VK_RIGHT);
        Driver.Pump();
        TRect wr, sub;
        GetWindowRect(Form->Handle(), wr);
        GetWindowRect(MenuItemWindow(Recent->Items(0)), sub);
        TRect area(wr.Left - 10, wr.Top - 10, std::max(wr.Right, sub.Right) + 10, wr.Bottom + 10);
        auto img = Driver.RenderScreen(area);
        TTestDriver::SavePng(*img, "menu.png");
        // The selected row is drawn in the highlight colour.
        TRect sel;
        ASSERT_TRUE(GetMenuItemRect(Recent, sel));
        EXPECT_EQ(TTestDriver::PixelOf(*img, sel.Left + 3 - area.Left, sel.Top + 2 - area.Top),
                  ColorToRGB(clHighlight));
        Driver.PressKey(VK_ESCAPE);
        Driver.PressKey(VK_ESCAPE);
        Driver.PressKey(VK_ESCAPE);
    });
    Driver.PressKey('F', modAlt);
}

// ---- The MDI window list ----

TEST(MenuWindowListTest, TheWindowMenuListsTheChildrenWithTheActiveOneChecked) {
    TTestDriver driver;
    TForm* frame = NewForm<TForm>(Application);
    frame->SetFormStyle(fsMDIForm);
    frame->SetBounds(0, 0, 600, 400);
    auto* menu = new TMainMenu(frame);
    TMenuItem* window = Item(frame, menu->Items(), "&Window");
    Item(frame, window, "&Cascade");
    frame->SetMenu(menu);
    frame->SetWindowMenu(window);
    Application->SetMainForm(frame);
    frame->Show();
    driver.Pump();
    std::vector<TForm*> kids;
    for (const char* c : {"Camera", "Profile"}) {
        TForm* k = NewForm<TForm>(frame);
        k->SetFormStyle(fsMDIChild);
        k->SetCaption(c);
        k->Show();
        driver.Pump();
        kids.push_back(k);
    }
    UpdateWindowList(frame);
    UpdateWindowList(frame); // a second rebuild replaces the entries
    ASSERT_EQ(window->Count(), 4);
    EXPECT_TRUE(window->Items(1)->IsLine());
    EXPECT_EQ(window->Items(2)->Caption().substr(0, 3), "&1 ");
    EXPECT_EQ(window->Items(3)->Caption().substr(0, 3), "&2 ");
    std::vector<std::string> names = {window->Items(2)->Caption().substr(3),
                                      window->Items(3)->Caption().substr(3)};
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Camera", "Profile"}));
    TMenuItem* active = nullptr;
    TMenuItem* other = nullptr;
    for (int i = 2; i < 4; ++i)
        (window->Items(i)->Checked() ? active : other) = window->Items(i);
    ASSERT_NE(active, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(active->Caption().find(frame->ActiveMDIChild()->Caption()), std::string::npos);
    EXPECT_TRUE(other->RadioItem());
    other->Click();
    driver.Pump();
    EXPECT_TRUE(other->Checked());
    EXPECT_FALSE(active->Checked());
    EXPECT_NE(other->Caption().find(frame->ActiveMDIChild()->Caption()), std::string::npos);
    // Children gone: the list goes too.
    for (TForm* k : kids)
        k->Free();
    driver.Pump();
    UpdateWindowList(frame);
    EXPECT_EQ(window->Count(), 1);
}

// ---- Layouts ----

namespace {

class TfmMenuLayout : public TForm {
    PLAT_CLASS(TfmMenuLayout)
public:
    explicit TfmMenuLayout(TComponent* AOwner) : TForm(AOwner) {}
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* Open1 = nullptr;
    int Opens = 0;
    void Open1Click(TObject*) { ++Opens; }
};

PLAT_CLASS_INFO_CREATABLE(TfmMenuLayout, TForm)

PLAT_PROPERTIES(TfmMenuLayout) {
    props.Field("MainMenu1", &TfmMenuLayout::MainMenu1);
    props.Field("Open1", &TfmMenuLayout::Open1);
    props.Method("Open1Click", &TfmMenuLayout::Open1Click);
}

const char* const MenuLayout = R"(object fmMenuLayout: TfmMenuLayout
  Left = 10
  Top = 10
  Caption = 'Layout'
  ClientHeight = 120
  ClientWidth = 300
  Menu = MainMenu1
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      object Open1: TMenuItem
        Caption = '&Open'
        ShortCut = 16463
        OnClick = Open1Click
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object Mode1: TMenuItem
        Caption = 'Mode'
        GroupIndex = 2
        RadioItem = True
        Checked = True
      end
    end
  end
end
)";

} // namespace

TEST(MenuLayoutTest, MenusAndTheirItemsLoadFromFormLayouts) {
    TTestDriver driver;
    RegisterClass(TfmMenuLayout::StaticClass());
    RegisterFormResource("TfmMenuLayout", MenuLayout);
    auto* form = NewForm<TfmMenuLayout>(Application);
    ASSERT_NE(form->MainMenu1, nullptr);
    EXPECT_EQ(form->Menu(), form->MainMenu1);
    ASSERT_EQ(form->MainMenu1->Items()->Count(), 1);
    TMenuItem* file = form->MainMenu1->Items()->Items(0);
    ASSERT_EQ(file->Count(), 3);
    EXPECT_EQ(file->Items(0), form->Open1);
    EXPECT_EQ(form->Open1->ShortCut(), TShortCut(scCtrl | 'O'));
    EXPECT_TRUE(file->Items(2)->RadioItem());
    EXPECT_TRUE(file->Items(2)->Checked());
    form->Show();
    driver.Pump();
    EXPECT_EQ(form->ClientHeight(), 120);
    form->SetFocus();
    driver.Pump();
    driver.PressKey('O', modControl);
    EXPECT_EQ(form->Opens, 1);
}

namespace {

// Listeners hear every change beside the owner's OnChange, and one may drop itself or another while
// it is told.
TEST(MenuChangeListenerTest, ListenersHearChangesBesideOnChangeAndMayLeaveWhileTold) {
    // Declared first: the menu's destructor still tells its owner handler of the items it clears.
    std::vector<std::string> heard;
    TMainMenu menu(nullptr);
    menu.OnChange = [&](TObject*, TMenuItem*, bool) { heard.push_back("owner"); };
    int a = 0, b = 0;
    menu.AddChangeListener(&a, [&](TObject*, TMenuItem* source, bool) {
        heard.push_back("a:" + (source ? source->Caption() : std::string("-")));
        menu.RemoveChangeListener(&b);
    });
    menu.AddChangeListener(&b, [&](TObject*, TMenuItem*, bool) { heard.push_back("b"); });
    auto* file = new TMenuItem(&menu);
    menu.Items()->Add(file);
    heard.clear();
    file->SetCaption("&File");
    EXPECT_EQ(heard, (std::vector<std::string>{"owner", "a:&File"})) << "b left before its turn";
    menu.RemoveChangeListener(&a);
    heard.clear();
    file->SetEnabled(false);
    EXPECT_EQ(heard, (std::vector<std::string>{"owner"}));
}

} // namespace

namespace {

// The size told before a drop-down opens is the size it opens with.
TEST(DropDownSizeTest, TheMeasuredSizeIsTheSizeTheDropDownOpensWith) {
    TTestDriver driver;
    TPopupMenu menu(nullptr);
    for (const char* caption : {"&Short", "A much longer caption", "-", "Last"})
        Item(&menu, menu.Items(), caption);
    Item(&menu, menu.Items(), "With shortcut")->SetShortCut(ShortCut('S', ssCtrl));
    const TSize size = DropDownSize(menu.Items());
    TRect shown;
    SetMenuLoopHook([&](TMenu*) {
        if (HWND wnd = MenuItemWindow(menu.Items()->Items(0)))
            GetWindowRect(wnd, shown);
        CloseMenus();
    });
    menu.Popup(100, 100);
    SetMenuLoopHook(nullptr);
    EXPECT_EQ(TSize(shown.Width(), shown.Height()), size);
    EXPECT_EQ(DropDownSize(nullptr), TSize(0, 0));
}

} // namespace
