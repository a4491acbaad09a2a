#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/IniFile.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "ui/toolbars/KvxDockPanel.h"
#include "ui/toolbars/KvxFloatingWindow.h"
#include "ui/toolbars/KvxToolBarControl.h"

using namespace plat;
using namespace ui;
using namespace ui::toolbar;

namespace {

class FloatingTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 600, 300);
        Dock = new TKvxDockPanel(Form);
        Dock->SetName("Dock");
        Dock->SetParent(Form);
        Dock->SetUseRunTimeHeight(true);
        Bar = NewToolBar("Tools", Dock);
        Form->Show();
        Driver.Pump();
    }
    TKvxToolBar* NewToolBar(const char* name, TWinControl* parent, int buttons = 4) {
        auto* bar = new TKvxToolBar(Form);
        bar->SetName(name);
        static_cast<TControl*>(bar)->SetCaption(name);
        bar->SetParent(parent);
        for (int i = 0; i < buttons; ++i) {
            auto* b = new TKvxToolBarButton(Form);
            b->SetName(std::string(name) + "Button" + std::to_string(i));
            auto g = std::make_unique<TBitmap>(16, 16);
            // The corner pixel's colour is the glyph's see-through colour.
            g->Canvas()->Brush()->SetColor(clFuchsia);
            g->Canvas()->FillRect(TRect(0, 0, 16, 16));
            g->Canvas()->Brush()->SetColor(i % 2 ? clBlue : clRed);
            g->Canvas()->FillRect(TRect(2, 2, 14, 14));
            b->SetGlyph(g.get());
            b->SetKvxToolBar(bar);
        }
        return bar;
    }
    // The grip's middle on the screen.
    TPoint Grip(TKvxCustomToolBar* bar) {
        return TTestDriver::ScreenPoint(bar, TPoint(3, bar->Height() / 2));
    }
    TPoint BelowDock(int by) { return TTestDriver::ScreenPoint(Dock, TPoint(40, Dock->Height() + by)); }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TKvxDockPanel* Dock = nullptr;
    TKvxToolBar* Bar = nullptr;
};

TEST_F(FloatingTest, PulledMoreThan26PixelsOutItFloatsAndDocksAgainOverThePanel) {
    ASSERT_EQ(Bar->State(), tbsDocked);
    int undocked = 0, docked = 0;
    Bar->OnUnDocked = [&](TObject*) { ++undocked; };
    Bar->OnDocked = [&](TObject*, TKvxDockPanel* panel) {
        EXPECT_EQ(panel, Dock);
        ++docked;
    };
    Driver.Drag(Grip(Bar), BelowDock(20), 8);
    EXPECT_EQ(Bar->State(), tbsDocked) << "20 pixels below the panel is not far enough";

    Driver.Drag(Grip(Bar), BelowDock(60), 8);
    ASSERT_EQ(Bar->State(), tbsFloating);
    EXPECT_EQ(undocked, 1);
    TFloatingWindow* window = Bar->FloatingWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->Visible());
    EXPECT_EQ(Bar->Parent(), window);
    EXPECT_EQ(Bar->DockPanel(), nullptr);
    EXPECT_EQ(Dock->RowCount(), 0);
    EXPECT_EQ(GetCapture(), nullptr) << "the capture ends with the drag";
    // The frame: two pixels of border and one of gap around the toolbar.
    EXPECT_EQ(window->Width(), Bar->Width() + 6);
    EXPECT_EQ(window->Height(), Bar->Height() + 6);
    EXPECT_EQ(Bar->BoundsRect().TopLeft(), TPoint(3, 3));
    const auto image = Driver.Render(window);
    TTestDriver::SavePng(*image, TestOutputDir("toolbars") + "/floating-toolbar.png");
    EXPECT_EQ(TTestDriver::PixelOf(*image, 1, 1), window->BorderColor());

    // By its caption back over the panel: docked again, and the floating window is gone.
    const TPoint caption = TTestDriver::ScreenPoint(Bar, TPoint(Bar->Width() / 2, 5));
    Driver.Drag(caption, TTestDriver::ScreenPoint(Dock, TPoint(80, 5)), 8);
    EXPECT_EQ(Bar->State(), tbsDocked);
    EXPECT_EQ(Bar->Parent(), Dock);
    EXPECT_EQ(Bar->FloatingWindow(), nullptr);
    EXPECT_EQ(Dock->RowCount(), 1);
    EXPECT_EQ(docked, 1);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(FloatingTest, WhereAFloatingToolBarMayDock) {
    auto* bottom = new TKvxDockPanel(Form);
    bottom->SetName("Bottom");
    bottom->SetAlign(daBottom);
    bottom->SetParent(Form);
    bottom->SetUseRunTimeHeight(true);
    NewToolBar("Keeper", bottom, 1); // gives the bottom panel some height
    Driver.Pump();
    const struct {
        const char* what;
        TDockMode mode;
        TKvxDockPanel* over;
        int beyond; // pixels past the panel's inner edge
        TKvxDockPanel* dockedOn;
    } cases[] = {
        {"own panel", dmParentDockPanelOnly, Dock, -1, Dock},
        {"10 pixels below its own panel", dmParentDockPanelOnly, Dock, 10, Dock},
        {"20 pixels below its own panel", dmParentDockPanelOnly, Dock, 20, nullptr},
        {"another panel, only its own allowed", dmParentDockPanelOnly, bottom, -3, nullptr},
        {"another panel of the form", dmAll, bottom, -3, bottom},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (Bar->State() != tbsDocked)
            Bar->SetParent(Dock);
        Bar->SetDockMode(c.mode);
        Bar->MakeFloating(TPoint(700, 700));
        ASSERT_EQ(Bar->State(), tbsFloating);
        Driver.Pump();
        // The inner edge: the bottom of a top panel, the top of a bottom panel.
        const TPoint origin = TTestDriver::ScreenPoint(c.over, TPoint(0, 0));
        const int y = c.over->Align() == daTop ? origin.Y + c.over->Height() + c.beyond : origin.Y - c.beyond;
        const TPoint caption = TTestDriver::ScreenPoint(Bar, TPoint(Bar->Width() / 2, 5));
        Driver.Drag(caption, TPoint(origin.X + 60, y), 6);
        if (c.dockedOn) {
            EXPECT_EQ(Bar->State(), tbsDocked);
            EXPECT_EQ(Bar->DockPanel(), c.dockedOn);
        } else {
            EXPECT_EQ(Bar->State(), tbsFloating);
        }
    }
}

TEST_F(FloatingTest, WhatKeepsAToolBarDocked) {
    const struct {
        const char* what;
        bool allowFloating, locked;
        TTestMouseButton button;
        bool floats, moves;
    } cases[] = {
        {"floating not allowed", false, false, tbLeft, false, true},
        {"locked", true, true, tbLeft, false, false},
        {"dragged with the right button, released with it", true, false, tbRight, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (Bar->State() != tbsDocked)
            Bar->SetParent(Dock);
        Bar->SetAllowFloating(c.allowFloating);
        Bar->SetLocked(c.locked);
        Bar->SetLeft(0);
        Driver.Pump();
        const int before = Bar->Left();
        const TPoint grip = Grip(Bar);
        Driver.Drag(grip, TPoint(grip.X + 40, BelowDock(80).Y), 8, c.button);
        EXPECT_EQ(Bar->State() == tbsFloating, c.floats);
        EXPECT_FALSE(Bar->Dragging());
        EXPECT_EQ(GetCapture(), nullptr);
        if (!c.floats) {
            EXPECT_EQ(Bar->Left() > before, c.moves) << Bar->Left();
        }
    }
}

TEST_F(FloatingTest, FloatingToolBarsCannotBeLockedOrForbiddenToFloat) {
    Bar->MakeFloating(TPoint(300, 400));
    ASSERT_EQ(Bar->State(), tbsFloating);
    Bar->SetAllowFloating(false);
    Bar->SetLocked(true);
    EXPECT_TRUE(Bar->AllowFloating());
    EXPECT_FALSE(Bar->Locked());
    EXPECT_EQ(Bar->FloatingWindow()->BoundsRect().TopLeft(), TPoint(300, 400));
}

TEST_F(FloatingTest, TheFloatingWindowFollowsItsFormWithinATimerTick) {
    Bar->MakeFloating(TPoint(300, 400));
    TFloatingWindow* window = Bar->FloatingWindow();
    ASSERT_TRUE(window->Visible());
    Form->Hide();
    Driver.Advance(45);
    EXPECT_FALSE(window->Visible());
    Form->Show();
    Driver.Advance(45);
    EXPECT_TRUE(window->Visible());

    // Hidden by the user, it stays hidden when the form comes back.
    Bar->Hide();
    EXPECT_FALSE(window->Visible());
    Form->Hide();
    Driver.Advance(45);
    Form->Show();
    Driver.Advance(45);
    EXPECT_FALSE(window->Visible());
}

TEST_F(FloatingTest, ClosingDocksBackOrHides) {
    for (bool autoDock : {true, false}) {
        SCOPED_TRACE(autoDock ? "auto dock" : "hide");
        if (Bar->State() != tbsDocked) {
            Bar->Show();
            Bar->SetParent(Dock);
        }
        Bar->SetAutoDockOnClose(autoDock);
        int closed = 0;
        Bar->OnClose = [&](TObject*) { ++closed; };
        Bar->MakeFloating(TPoint(300, 400));
        Bar->CloseFloatingToolBar();
        EXPECT_EQ(Bar->State(), autoDock ? tbsDocked : tbsFloating);
        EXPECT_EQ(Bar->Visible(), autoDock);
        EXPECT_EQ(closed, autoDock ? 0 : 1);
        if (!autoDock) {
            ASSERT_NE(Bar->FloatingWindow(), nullptr);
            EXPECT_FALSE(Bar->FloatingWindow()->Visible());
        }
    }
}

TEST_F(FloatingTest, TheFloatingCaptionShowsItsCloseButtonAndOptionIndicatorAndCloses) {
    int closed = 0;
    Bar->OnClose = [&](TObject*) { ++closed; };
    Bar->MakeFloating(TPoint(300, 400));
    Driver.Pump();
    TFloatingWindow* window = Bar->FloatingWindow();
    ASSERT_NE(window, nullptr);
    const TRect close = Bar->FloatingCloseRect(), option = Bar->FloatingOptionRect();
    ASSERT_FALSE(close.IsEmpty());
    EXPECT_EQ(option.Right, close.Left - 2) << "the indicator sits left of the close button";
    const TCaptionAppearance* a = Bar->CurrentStyler()->CaptionAppearance();
    const TColor rest = ColorToRGB(a->CaptionColor());
    // Bar pixels within the rendered floating window (the toolbar sits 3 pixels in).
    auto at = [&](const TImageSurface& image, int x, int y) {
        return TTestDriver::PixelOf(image, x + 3, y + 3);
    };

    auto image = Driver.Render(window);
    TTestDriver::SavePng(*image, TestOutputDir("toolbars") + "/floating-caption.png");
    EXPECT_EQ(at(*image, close.Left + 1, close.Top + 1), rest);
    EXPECT_EQ(at(*image, close.Left + 4, close.Top + 5), clWhite) << "the cross";
    EXPECT_EQ(at(*image, option.Left + 1, option.Top + 1), rest);
    EXPECT_EQ(at(*image, option.Left + 8, option.Bottom - 10), clWhite) << "the triangle's top line";
    EXPECT_EQ(at(*image, option.Left + 8, option.Bottom - 5), rest) << "below the triangle";

    // Hot: the menu's hover colour with a black cross.
    const TRootItem* root = Bar->CurrentStyler()->CurrentMenuStyler()->RootItem();
    Driver.MoveTo(TTestDriver::ScreenPoint(Bar, TPoint(close.Left + 2, close.Top + 2)));
    EXPECT_TRUE(Bar->FloatingCloseHot());
    EXPECT_FALSE(Bar->FloatingOptionHot());
    image = Driver.Render(window);
    EXPECT_EQ(at(*image, close.Left + 1, close.Top + 1), ColorToRGB(root->HoverColor()));
    EXPECT_EQ(at(*image, close.Left + 4, close.Top + 5), clBlack);

    // Hiding the close button gives its place to the indicator.
    Bar->SetShowClose(false);
    EXPECT_TRUE(Bar->FloatingCloseRect().IsEmpty());
    EXPECT_EQ(Bar->FloatingOptionRect(), close);
    Bar->SetShowClose(true);

    // A click on the close button closes the toolbar.
    Driver.Click(Bar, TPoint(close.Left + 2, close.Top + 2));
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(Bar->Visible());
}

TEST_F(FloatingTest, FloatingRowsWrapTheControls) {
    Bar->MakeFloating(TPoint(300, 400));
    const int most = Bar->MaxFloatingRows();
    ASSERT_GT(most, 1);
    const int width1 = Bar->Width();
    Bar->SetFloatingRows(2);
    EXPECT_EQ(Bar->FloatingRows(), 2);
    EXPECT_LT(Bar->Width(), width1);
    EXPECT_GT(Bar->Height(), Bar->FloatingSizeFor(1).Y);
    EXPECT_EQ(Bar->FloatingWindow()->Width(), Bar->Width() + 6) << "the window fits itself again";
    Bar->SetFloatingRows(most + 1);
    EXPECT_EQ(Bar->FloatingRows(), 2) << "more rows than controls allow are ignored";
}

TEST_F(FloatingTest, DraggingTheRightEdgeOutMoreThanFivePixelsTakesARowAway) {
    Bar->MakeFloating(TPoint(300, 400));
    Bar->SetFloatingRows(2);
    ASSERT_EQ(Bar->FloatingRows(), 2);
    TFloatingWindow* window = Bar->FloatingWindow();
    const int left = window->Left();
    // Pressed on the frame; the distance counts from the window's right edge.
    const int right = window->Left() + window->Width();
    const TPoint edge(right - 2, window->Top() + window->Height() / 2);
    Driver.Drag(edge, TPoint(right + 5, edge.Y), 1);
    EXPECT_EQ(Bar->FloatingRows(), 2) << "5 pixels are not enough";
    Driver.Drag(edge, TPoint(right + 6, edge.Y), 1);
    EXPECT_EQ(Bar->FloatingRows(), 1);
    EXPECT_EQ(window->Left(), left) << "the left edge stays";
    EXPECT_EQ(window->Width(), Bar->Width() + 6);
}

TEST_F(FloatingTest, FloatingStateIsSavedWhenTheToolBarGoesAndRestoredOnTheNextLoad) {
    const std::string ini = TestOutputDir("toolbars") + "/floating-state.ini";
    std::filesystem::remove(ini);
    // The dock panel hands its settings to the toolbars it holds.
    auto useStore = [&] {
        Dock->Persistence()->SetLocation(plIniFile);
        Dock->Persistence()->SetKey(ini);
        Dock->Persistence()->SetEnabled(true);
        ASSERT_TRUE(Bar->FloatingPersistence()->Enabled());
    };
    useStore();
    dynamic_cast<TKvxToolBarButton*>(Bar->OrderedControls()[1])->SetVisible(false);
    Bar->MakeFloating(TPoint(320, 410));
    Form->Free();
    Form = nullptr;

    TIniFile store(ini);
    const std::string s = "UnDockedKvxToolBars";
    EXPECT_EQ(store.ReadString(s, "Tools.Name", ""), "Tools");
    EXPECT_EQ(store.ReadInteger(s, "Tools.State", -1), 1);
    EXPECT_EQ(store.ReadInteger(s, "Tools.Left", -1), 320) << "the window was still there when saved";
    EXPECT_EQ(store.ReadInteger(s, "Tools.Top", -1), 410);
    EXPECT_EQ(store.ReadInteger(s, "Tools.ToolsButton1", -1), 0);
    EXPECT_EQ(store.ReadInteger(s, "Tools.ToolsButton0", -1), 1);

    // Saved again while docked: only the state and the controls change.
    SetUp();
    useStore();
    Bar->LoadFloatingState();
    EXPECT_EQ(Bar->State(), tbsFloating);
    ASSERT_NE(Bar->FloatingWindow(), nullptr);
    EXPECT_EQ(Bar->FloatingWindow()->BoundsRect().TopLeft(), TPoint(320, 410));
    EXPECT_FALSE(Bar->OrderedControls()[1]->Visible());
    Bar->SetParent(Dock);
    Bar->SaveFloatingState();
    EXPECT_EQ(store.ReadInteger(s, "Tools.State", -1), 0);
    EXPECT_EQ(store.ReadInteger(s, "Tools.Left", -1), 320);
}

} // namespace

namespace {

// A toolbar floats lying down whatever side it was docked at, and stands upright again on a left panel.
TEST_F(FloatingTest, AToolBarFloatsLyingDownFromAnySideAndStandsUpOnTheLeft) {
    Bar->MakeFloating(TPoint(300, 400));
    Driver.Pump();
    const TSize floating(Bar->Width(), Bar->Height());
    const TSize window(Bar->FloatingWindow()->Width(), Bar->FloatingWindow()->Height());
    ASSERT_GT(floating.cx, floating.cy);

    auto* left = new TKvxDockPanel(Form);
    left->SetAlign(daLeft);
    left->SetParent(Form);
    Bar->SetParent(left);
    Driver.Pump();
    ASSERT_EQ(Bar->State(), tbsDocked);
    EXPECT_GT(Bar->Height(), Bar->Width());
    for (int i = 0; i < Bar->ToolBarControlCount(); ++i) {
        TControl* c = Bar->ToolBarControl(i);
        EXPECT_EQ(c->Width(), Bar->Width() - 4) << i;
        EXPECT_LT(c->Height(), Bar->Width()) << i;
    }

    Bar->MakeFloating(TPoint(300, 400));
    Driver.Pump();
    EXPECT_EQ(Bar->Position(), daTop);
    EXPECT_EQ(TSize(Bar->Width(), Bar->Height()), floating);
    EXPECT_EQ(TSize(Bar->FloatingWindow()->Width(), Bar->FloatingWindow()->Height()), window);
}

} // namespace
