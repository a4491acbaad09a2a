#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/backend/InputCodes.h"
#include "platform/gfx/Bitmap.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Screen.h"
#include "ui/toolbars/KvxOptionWindow.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarCustomizer.h"

using namespace plat;
using namespace ui;

namespace {

// A docked toolbar of 32-pixel buttons with a separator, on a row that can be made short.
class OptionMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 730, 300);
        Form->Show();
        Panel = new TKvxDockPanel(Form);
        Panel->SetParent(Form);
        Panel->SetUseRunTimeHeight(true);
        Bar = new TKvxToolBar(Form);
        Bar->SetName("Bar");
        Bar->SetCaption("Frames");
        Bar->SetParent(Panel);
        for (const char* name : {"A", "B"})
            Buttons.push_back(NewButton(name));
        Sep = new TKvxToolBarSeparator(Form);
        Sep->SetKvxToolBar(Bar);
        for (const char* name : {"C", "D", "E"})
            Buttons.push_back(NewButton(name));
        Driver.Pump();
    }
    void TearDown() override {
        delete Form;
        Driver.Pump();
    }
    TKvxToolBarButton* NewButton(const char* name) {
        auto* b = new TKvxToolBarButton(Form);
        b->SetName(name);
        b->SetCaption(name);
        // The corner colour is the transparent one.
        auto g = std::make_unique<TBitmap>(24, 24);
        g->Canvas()->Brush()->SetColor(clFuchsia);
        g->Canvas()->FillRect(TRect(0, 0, 24, 24));
        g->Canvas()->Brush()->SetColor(clBlue);
        g->Canvas()->FillRect(TRect(4, 4, 20, 20));
        b->SetGlyph(g.get());
        b->SetKvxToolBar(Bar);
        return b;
    }
    void RowLength(int toolBarWidth) {
        Form->SetClientWidth(toolBarWidth + 6);
        Driver.Pump();
    }
    TControlSelectorPanel* OptionPanel() const { return Bar->OptionPanel(); }
    bool WindowShown() const { return Bar->OptionWindow() && Bar->OptionWindow()->Visible(); }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TKvxDockPanel* Panel = nullptr;
    TKvxToolBar* Bar = nullptr;
    std::vector<TKvxToolBarButton*> Buttons; // A B C D E
    TKvxToolBarSeparator* Sep = nullptr;
};

TEST_F(OptionMenuTest, OverflowEntriesFlowInOneRowAboveTheAddRemoveEntry) {
    RowLength(100);
    ASSERT_EQ(Bar->OverflowControls().size(), 4u) << "C, D, E and their separator overflow";
    Bar->SetAutoOptionMenu(true);
    Bar->SetTextAutoOptionMenu("Add");
    Bar->ShowOptionWindow();
    ASSERT_TRUE(WindowShown());
    TControlSelectorPanel* panel = OptionPanel();
    // The separator leads the overflow entries and is left out.
    EXPECT_EQ(panel->Controls(), (std::vector<TControl*>{Buttons[2], Buttons[3], Buttons[4]}));
    EXPECT_EQ(Bar->OptionWindow()->Width(), 136);
    for (size_t i = 2; i < 5; ++i) {
        EXPECT_EQ(Buttons[i]->Parent(), panel);
        EXPECT_EQ(Buttons[i]->Top(), 3) << "one row";
    }
    EXPECT_EQ(panel->AddRemoveRect().Top, Buttons[2]->Top() + Buttons[2]->Height() + 8);
    EXPECT_EQ(panel->AddRemoveRect().Width(), 130);

    Bar->HideOptionWindow();
    for (size_t i = 2; i < 5; ++i)
        EXPECT_EQ(Buttons[i]->Parent(), Bar) << "closing gives the controls back";
    EXPECT_EQ(Bar->OverflowControls().size(), 4u);
}

TEST_F(OptionMenuTest, SeparatorsStandOnlyBetweenOverflowEntries) {
    // A trailing separator that no entry follows is dropped; one between two entries is copied.
    auto* trailing = new TKvxToolBarSeparator(Form);
    trailing->SetKvxToolBar(Bar);
    Driver.Pump();
    RowLength(60);
    Bar->ShowOptionWindow();
    ASSERT_TRUE(WindowShown());
    const std::vector<TControl*>& entries = OptionPanel()->Controls();
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(dynamic_cast<TKvxToolBarSeparator*>(entries.front()), nullptr);
    EXPECT_EQ(dynamic_cast<TKvxToolBarSeparator*>(entries.back()), nullptr);
    int separators = 0;
    for (TControl* c : entries)
        if (auto* s = dynamic_cast<TKvxToolBarSeparator*>(c)) {
            ++separators;
            EXPECT_NE(s, Sep) << "the panel shows a copy; the toolbar's own separator stays";
        }
    if (Bar->InOverflow(Buttons[1])) {
        EXPECT_EQ(separators, 1);
    }
    Bar->HideOptionWindow();
    for (TControl* c : Bar->OrderedControls())
        EXPECT_EQ(c->Parent(), Bar);
}

TEST_F(OptionMenuTest, NothingToOfferShowsNoWindow) {
    RowLength(400);
    ASSERT_TRUE(Bar->OverflowControls().empty());
    Bar->ShowOptionWindow();
    EXPECT_FALSE(WindowShown());
    Bar->SetAutoOptionMenu(true);
    Bar->ShowOptionWindow();
    ASSERT_TRUE(WindowShown()) << "only the add-or-remove entry";
    EXPECT_TRUE(OptionPanel()->Controls().empty());
}

TEST_F(OptionMenuTest, EntriesAreAtLeast130WideAndWidenForALongCaption) {
    Bar->SetAutoOptionMenu(true);
    auto measure = [&](const std::string& text) {
        TBitmap b(1, 1);
        b.Canvas()->Font()->SetName("Tahoma");
        b.Canvas()->Font()->SetSize(8);
        return b.Canvas()->TextWidth(text);
    };
    const std::string longCaption(40, 'W');
    struct Case {
        std::string Caption;
        int Width;
    };
    const Case cases[] = {{"Add", 136}, {longCaption, measure(longCaption) + 15 + 6}};
    for (const Case& c : cases) {
        Bar->SetTextAutoOptionMenu(c.Caption);
        Bar->ShowOptionWindow();
        ASSERT_TRUE(WindowShown());
        EXPECT_EQ(Bar->OptionWindow()->Width(), c.Width) << c.Caption;
        EXPECT_EQ(OptionPanel()->AddRemoveRect().Width(), c.Width - 6);
        Bar->HideOptionWindow();
    }
}

TEST_F(OptionMenuTest, TheOptionWindowStaysOnTheScreen) {
    Form->SetBounds(Screen->Width() - 300, 100, 300, 200);
    Driver.Pump();
    Bar->SetAutoOptionMenu(true);
    Bar->ShowOptionWindow();
    ASSERT_TRUE(WindowShown());
    EXPECT_EQ(Bar->OptionWindow()->Left() + Bar->OptionWindow()->Width(), Screen->Width());
}

TEST_F(OptionMenuTest, TheCheckListShowsAndHidesTheToolbarsControls) {
    RowLength(100);
    Bar->SetAutoOptionMenu(true);
    Bar->ShowOptionWindow();
    ASSERT_TRUE(WindowShown());
    const TRect entry = OptionPanel()->AddRemoveRect();
    Driver.MoveTo(TTestDriver::ScreenPoint(OptionPanel(), TPoint(entry.Left + 20, entry.Top + 10)));
    TKTBPopupWindow* first = OptionPanel()->CheckListWindow();
    ASSERT_TRUE(first && first->Visible()) << "hovering the entry opens the check list";
    TKTBMenuItem* root = first->RootItem();
    ASSERT_EQ(root->Count(), 1);
    EXPECT_EQ(root->Items(0)->Caption, "Frames");
    TKTBMenuItem* list = root->Items(0);
    ASSERT_EQ(list->Count(), 5) << "one entry per control, the separator left out";
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list->Items(i)->Object, Buttons[static_cast<size_t>(i)]);
        EXPECT_TRUE(list->Items(i)->Checked);
    }

    // Hovering the caption opens the second level; a click there toggles the button and the list stays.
    const TRect caption = root->Items(0)->Bounds;
    Driver.MoveTo(TTestDriver::ScreenPoint(first->PopupPanel(), TPoint(caption.Left + 10, caption.Top + 10)));
    TKTBPopupWindow* second = first->PopupPanel()->SubMenuWindow();
    ASSERT_TRUE(second && second->Visible());
    const TRect b = list->Items(1)->Bounds;
    const TPoint onB = TTestDriver::ScreenPoint(second->PopupPanel(), TPoint(b.Left + 30, b.Top + 10));
    Driver.Click(onB);
    EXPECT_FALSE(Buttons[1]->Visible());
    EXPECT_FALSE(list->Items(1)->Checked);
    EXPECT_TRUE(second->Visible());
    // The room B left takes C back onto the toolbar; the option window shows what still overflows.
    for (TControl* c : Bar->OrderedControls()) {
        if (!c->Visible())
            continue;
        const bool lent = Bar->InOverflow(c) && !dynamic_cast<TKvxToolBarSeparator*>(c);
        EXPECT_EQ(c->Parent(),
                  lent ? static_cast<TWinControl*>(OptionPanel()) : static_cast<TWinControl*>(Bar))
            << c->Name();
    }
    for (TControl* c : OptionPanel()->Controls())
        EXPECT_GE(c->Top(), 0) << "nothing parked out of the panel's sight";

    auto shot = Driver.RenderScreen(TRect(Form->Left(), Form->Top(), Form->Left() + 600, Form->Top() + 300));
    TTestDriver::SavePng(*shot, TestOutputDir("toolbars") + "/option-window-check-list.png");

    Driver.Click(onB);
    EXPECT_TRUE(Buttons[1]->Visible());
    EXPECT_TRUE(list->Items(1)->Checked);
}

} // namespace

namespace {

TEST_F(OptionMenuTest, AClickElsewhereClosesTheWholeChain) {
    RowLength(100);
    Bar->SetAutoOptionMenu(true);
    Bar->ShowOptionWindow();
    ASSERT_TRUE(WindowShown());
    OptionPanel()->OpenCheckList();
    TKTBPopupWindow* list = OptionPanel()->CheckListWindow();
    ASSERT_TRUE(list && list->Visible());
    TKTBPopupPanel* first = list->PopupPanel();
    first->SetHotIndex(0);
    first->OpenSubMenu();
    ASSERT_TRUE(first->SubMenuWindow() && first->SubMenuWindow()->Visible());
    Driver.Pump();

    Driver.Click(TTestDriver::ScreenPoint(Form, TPoint(20, 200)));
    Driver.Advance(5);
    Driver.Pump();
    EXPECT_FALSE(first->SubMenuWindow()->Visible());
    EXPECT_FALSE(list->Visible());
    EXPECT_FALSE(WindowShown());
    for (TControl* c : Bar->OrderedControls())
        EXPECT_EQ(c->Parent(), Bar) << "the lent controls are back";
}

} // namespace

namespace {

TEST_F(OptionMenuTest, HoveringOptionsPopsUpTheOptionMenuAndItsEndClosesTheWindow) {
    auto* options = new TPopupMenu(Form);
    auto* reset = new TMenuItem(Form);
    reset->SetCaption("Reset toolbar");
    options->Items()->Add(reset);
    Bar->SetOptionMenu(options);
    Bar->SetTextOptionMenu("More");
    Bar->ShowOptionWindow();
    ASSERT_TRUE(WindowShown()) << "an option menu alone is worth the window";
    const TRect entry = OptionPanel()->OptionsRect();
    ASSERT_FALSE(entry.IsEmpty());
    EXPECT_TRUE(OptionPanel()->AddRemoveRect().IsEmpty());
    TMenu* shown = nullptr;
    SetMenuLoopHook([&](TMenu* m) {
        shown = m;
        Driver.PressKey(VK_ESCAPE);
    });
    Driver.MoveTo(TTestDriver::ScreenPoint(OptionPanel(), TPoint(entry.Left + 20, entry.Top + 10)));
    SetMenuLoopHook(nullptr);
    EXPECT_EQ(shown, options);
    EXPECT_FALSE(WindowShown());

    delete options;
    EXPECT_EQ(Bar->OptionMenu(), nullptr);
}

} // namespace

namespace {

class CountingCustomizer : public TKvxToolBarCustomizer {
public:
    using TKvxToolBarCustomizer::TKvxToolBarCustomizer;
    void ShowCustomizeDialog() override { ++Shown; }
    int Shown = 0;
};

TEST_F(OptionMenuTest, TheCustomizeEntryOpensTheCustomizersDialog) {
    auto* customizer = new CountingCustomizer(Form);
    customizer->SetKvxToolBar(Bar);
    ASSERT_EQ(Bar->Customizer(), customizer) << "the customizer registers itself with its toolbar";
    RowLength(100);
    Bar->ShowOptionWindow();
    ASSERT_TRUE(WindowShown());
    const TRect entry = OptionPanel()->OptionsRect();
    ASSERT_FALSE(entry.IsEmpty());
    Driver.MoveTo(TTestDriver::ScreenPoint(OptionPanel(), TPoint(entry.Left + 20, entry.Top + 10)));
    TOptionSelectorWindow* window = OptionPanel()->CustomizeWindow();
    ASSERT_TRUE(window && window->Visible()) << "hovering Options shows the customize entry";
    auto* option = dynamic_cast<TCustomizeOption*>(window->OptionsPanel());
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->Text(), "Customize Frames");
    EXPECT_GE(window->Left(), TTestDriver::ScreenPoint(OptionPanel(), TPoint(entry.Right, 0)).X - 1);
    Driver.Advance(5);
    EXPECT_TRUE(WindowShown()) << "showing the entry does not close the option window";

    auto shot = Driver.RenderScreen(TRect(Form->Left(), Form->Top(), Form->Left() + 700, Form->Top() + 300));
    TTestDriver::SavePng(*shot, TestOutputDir("toolbars") + "/option-window-customize.png");

    // Up towards the lent buttons the customize entry goes, the option window stays.
    Driver.MoveTo(TTestDriver::ScreenPoint(OptionPanel(), TPoint(entry.Left + 20, entry.Top - 6)));
    EXPECT_FALSE(window->Visible());
    EXPECT_TRUE(WindowShown());

    Driver.MoveTo(TTestDriver::ScreenPoint(OptionPanel(), TPoint(entry.Left + 20, entry.Top + 10)));
    ASSERT_TRUE(window->Visible());
    Driver.Click(TTestDriver::CenterOf(option));
    Driver.Advance(5);
    EXPECT_EQ(customizer->Shown, 1);
    EXPECT_FALSE(window->Visible());
    EXPECT_FALSE(WindowShown()) << "the click closes the option window too";
    for (TControl* c : Bar->OrderedControls())
        EXPECT_EQ(c->Parent(), Bar);

    // A customizer that goes takes its entry with it.
    delete customizer;
    EXPECT_EQ(Bar->Customizer(), nullptr);
    Bar->ShowOptionWindow();
    ASSERT_TRUE(WindowShown()) << "the overflow still shows";
    EXPECT_FALSE(OptionPanel()->HasOptions());
    EXPECT_TRUE(OptionPanel()->OptionsRect().IsEmpty());
}

TEST_F(OptionMenuTest, ThePointerLeavingTheOptionMenuForAddOrRemoveOpensTheCheckList) {
    auto* options = new TPopupMenu(Form);
    auto* reset = new TMenuItem(Form);
    reset->SetCaption("Reset toolbar");
    options->Items()->Add(reset);
    Bar->SetOptionMenu(options);
    Bar->SetAutoOptionMenu(true);
    Bar->ShowOptionWindow();
    ASSERT_TRUE(WindowShown());
    const TRect entry = OptionPanel()->OptionsRect();
    const TRect addRemove = OptionPanel()->AddRemoveRect();
    const TPoint onAddRemove =
        TTestDriver::ScreenPoint(OptionPanel(), TPoint(addRemove.Left + 20, addRemove.Top + 10));
    bool shown = false;
    SetMenuLoopHook([&](TMenu*) {
        shown = true;
        // No click: the pointer only moves over the entry while the menu is open.
        Driver.MoveTo(onAddRemove);
        Driver.Advance(3);
    });
    Driver.MoveTo(TTestDriver::ScreenPoint(OptionPanel(), TPoint(entry.Left + 20, entry.Top + 10)));
    SetMenuLoopHook(nullptr);
    ASSERT_TRUE(shown);
    EXPECT_FALSE(MenuTracking()) << "the menu closed by itself";
    EXPECT_TRUE(WindowShown()) << "the option window stays for the entry under the pointer";
    Driver.MoveTo(TPoint(onAddRemove.X + 2, onAddRemove.Y));
    TKTBPopupWindow* list = OptionPanel()->CheckListWindow();
    ASSERT_TRUE(list && list->Visible());
}

} // namespace

namespace {

// The check list looks like the styler's menus: its icon bar, its check boxes, and the buttons' images
// in a column of their own.
TEST_F(OptionMenuTest, TheCheckListShowsTheButtonsImagesInTheMenuStylersLook) {
    RowLength(100);
    Bar->SetAutoOptionMenu(true);
    Buttons[2]->SetVisible(false);
    Bar->ShowOptionWindow();
    ASSERT_TRUE(WindowShown());
    OptionPanel()->OpenCheckList();
    TKTBPopupPanel* first = OptionPanel()->CheckListWindow()->PopupPanel();
    first->SetHotIndex(0);
    first->OpenSubMenu();
    TKTBPopupWindow* second = first->SubMenuWindow();
    ASSERT_TRUE(second && second->Visible());
    TKTBPopupPanel* list = second->PopupPanel();
    ASSERT_NE(list->MenuStyler(), nullptr);
    EXPECT_TRUE(list->ImageColumn()) << "the buttons have glyphs";
    EXPECT_FALSE(first->ImageColumn()) << "the caption entry has no control";
    Driver.Pump();

    const TPoint origin = TTestDriver::ScreenPoint(list, TPoint(0, 0));
    auto shot =
        Driver.RenderScreen(TRect(origin.X, origin.Y, origin.X + list->Width(), origin.Y + list->Height()));
    const TIconBar* iconBar = list->MenuStyler()->IconBar();
    const int cell = iconBar->Size();
    TKTBMenuItem* entries = list->RootItem();
    struct Row {
        int Index;
        bool Checked;
    };
    for (Row row : {Row{0, true}, Row{2, false}}) {
        SCOPED_TRACE(entries->Items(row.Index)->Caption);
        const TRect r = entries->Items(row.Index)->Bounds;
        // The check box inside the icon cell carries the icon bar's check colour only when checked.
        const TColor box = TTestDriver::PixelOf(*shot, r.Left + 3, r.Top + 3);
        EXPECT_EQ(box == iconBar->CheckColor(), row.Checked);
        // The image column right of the icon cell shows the button's blue glyph.
        EXPECT_EQ(TTestDriver::PixelOf(*shot, r.Left + cell + 10, (r.Top + r.Bottom) / 2), clBlue);
    }
    auto screen =
        Driver.RenderScreen(TRect(Form->Left(), Form->Top(), Form->Left() + 600, Form->Top() + 300));
    TTestDriver::SavePng(*screen, TestOutputDir("toolbars") + "/option-window-check-list-images.png");
}

// The caption entry that opens the list shows the menu styler's sub-menu glyph, as a menu does.
TEST_F(OptionMenuTest, TheCheckListsCaptionEntryShowsTheStylersSubMenuGlyph) {
    RowLength(100);
    Bar->SetAutoOptionMenu(true);
    Bar->ShowOptionWindow();
    ASSERT_TRUE(WindowShown());
    OptionPanel()->OpenCheckList();
    ASSERT_NE(OptionPanel()->CheckListWindow(), nullptr);
    TKTBPopupPanel* first = OptionPanel()->CheckListWindow()->PopupPanel();
    ASSERT_NE(first->MenuStyler(), nullptr);
    TBitmap arrow(5, 7);
    arrow.Canvas()->Brush()->SetColor(clFuchsia); // the corner colour is see-through
    arrow.Canvas()->FillRect(TRect(0, 0, 5, 7));
    arrow.Canvas()->Brush()->SetColor(clLime);
    arrow.Canvas()->FillRect(TRect(0, 1, 4, 6));
    first->MenuStyler()->Glyphs()->SetSubMenu(&arrow);
    first->Invalidate();
    Driver.Pump();

    const TPoint origin = TTestDriver::ScreenPoint(first, TPoint(0, 0));
    auto shot =
        Driver.RenderScreen(TRect(origin.X, origin.Y, origin.X + first->Width(), origin.Y + first->Height()));
    const TRect r = first->RootItem()->Items(0)->Bounds;
    TRect lime(r.Right, r.Bottom, r.Left, r.Top);
    int black = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Right - 14; x < r.Right; ++x) {
            const TColor c = TTestDriver::PixelOf(*shot, x, y);
            black += c == clBlack;
            if (c == clLime) {
                lime.Left = std::min(lime.Left, x);
                lime.Top = std::min(lime.Top, y);
                lime.Right = std::max(lime.Right, x + 1);
                lime.Bottom = std::max(lime.Bottom, y + 1);
            }
        }
    // Centred on the small cell at the entry's right end: (right - 8, (top + bottom - 5) / 2), 3 by 6.
    const int cellTop = (r.Top + r.Bottom - 5) / 2;
    EXPECT_EQ(lime, TRect(r.Right - 9, cellTop, r.Right - 5, cellTop + 5));
    EXPECT_EQ(black, 0) << "no arrow of lines beside the glyph";
}

} // namespace

namespace {

// Near the right edge of the work area the options menu opens to the left of its entry.
TEST_F(OptionMenuTest, NearTheRightEdgeTheOptionMenuOpensLeftOfItsEntry) {
    auto* options = new TPopupMenu(Form);
    auto* reset = new TMenuItem(Form);
    reset->SetCaption("Reset this toolbar to its first layout");
    options->Items()->Add(reset);
    Bar->SetOptionMenu(options);
    RowLength(100);
    const TRect work = Screen->WorkAreaRect();
    for (bool nearEdge : {false, true}) {
        SCOPED_TRACE(nearEdge ? "near the right edge" : "with room to the right");
        Form->SetLeft(nearEdge ? work.Right - Form->Width() : 100);
        Driver.Pump();
        Bar->ShowOptionWindow();
        ASSERT_TRUE(WindowShown());
        const TRect entry = OptionPanel()->OptionsRect();
        const TPoint left = TTestDriver::ScreenPoint(OptionPanel(), TPoint(entry.Left, entry.Top));
        const TPoint right = TTestDriver::ScreenPoint(OptionPanel(), TPoint(entry.Right, entry.Top));
        TRect shown;
        SetMenuLoopHook([&](TMenu*) {
            EXPECT_TRUE(GetMenuItemRect(reset, shown));
            Driver.PressKey(VK_ESCAPE);
        });
        Driver.MoveTo(TTestDriver::ScreenPoint(OptionPanel(), TPoint(entry.Left + 20, entry.Top + 10)));
        SetMenuLoopHook(nullptr);
        EXPECT_LE(shown.Right, work.Right);
        if (nearEdge)
            EXPECT_LE(shown.Right, left.X) << "the menu does not cover its entry";
        else
            EXPECT_GE(shown.Left, right.X);
        Bar->HideOptionWindow();
        Driver.MoveTo(TPoint(0, 0));
    }
}

} // namespace
