#include "ui/controls/KvxPanel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/PngImage.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/OpenLink.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Stream.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/SystemServices.h"
#include "ui/controls/KvxImage.h"
#include "ui/controls/KvxPanelStyler.h"
#include "ui/markup/MarkupText.h"

using namespace plat;
using namespace ui;
using namespace ui::kvxpanel;

namespace {

// The look the program's windows give their panels: a visible caption 20 high with the collapse button,
// no animation.
class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 500, 400);
        Panel = NewPanel(10, 10, 200, 175);
        Form->Show();
        Driver.Pump();
    }
    TKvxPanel* NewPanel(int X, int Y, int W, int H, TWinControl* Parent = nullptr) {
        auto* p = new TKvxPanel(Form);
        p->SetParent(Parent ? Parent : Form);
        p->SetBounds(X, Y, W, H);
        p->PanelCaption()->SetVisible(true);
        p->PanelCaption()->SetText("Memory");
        p->PanelCaption()->SetMinMaxButton(true);
        p->SetCollapsSteps(0);
        return p;
    }
    LRESULT HitTest(TKvxPanel* P, TPoint Client) {
        const TPoint s = P->ClientToScreen(Client);
        return P->Perform(WM_NCHITTEST, 0, static_cast<LPARAM>((s.Y << 16) | (s.X & 0xFFFF)));
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TKvxPanel* Panel = nullptr;
};

TEST_F(PanelTest, CollapsesToItsCaptionAndExpandsToTheHeightItHad) {
    struct Case {
        int BorderWidth;
        bool Shadow;
        bool StatusBar;
        int Collapsed;
    };
    // Caption 20 less 2; a shadowed border adds its width and 4; a status bar its height.
    const Case cases[] = {
        {0, false, false, 18}, {2, true, false, 24}, {2, false, false, 18}, {0, false, true, 36}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.BorderWidth * 10 + c.Shadow);
        Panel->SetBorderWidth(c.BorderWidth);
        Panel->SetBorderShadow(c.Shadow);
        Panel->StatusBar()->SetVisible(c.StatusBar);
        Panel->SetHeight(175);
        int ends = 0;
        Panel->OnEndCollapsExpand = [&](TObject*) { ++ends; };
        Panel->SetCollaps(true);
        EXPECT_EQ(Panel->Height(), c.Collapsed);
        EXPECT_EQ(Panel->FullHeight(), 175);
        Panel->SetCollaps(false);
        EXPECT_EQ(Panel->Height(), 175);
        // The same state again changes nothing but still ends a transition.
        Panel->SetCollaps(false);
        EXPECT_EQ(Panel->Height(), 175);
        EXPECT_EQ(ends, 3);
    }
}

TEST_F(PanelTest, AnimatedCollapseStepsOnTheClockAndRestoresTheColour) {
    Panel->SetHeight(100);
    Panel->SetColor(clWhite);
    Panel->SetCollapsSteps(4);
    Panel->SetCollapsDelay(20);
    Panel->SetCollapsColor(clRed);
    std::vector<int> heights;
    std::vector<uint64_t> times;
    std::vector<TColor> colours;
    Panel->OnResize = [&](TObject*) {
        heights.push_back(Panel->Height());
        times.push_back(Driver.Clock().MonotonicMilliseconds());
        colours.push_back(Panel->Color());
    };
    // A transition asked for while one runs (a click handled between the steps) is ignored after its
    // event.
    int maximizes = 0;
    Panel->OnMaximize = [&](TObject*) { ++maximizes; };
    Panel->OnResize = [&, record = Panel->OnResize](TObject* s) {
        record(s);
        if (heights.size() == 2 && Panel->Collaps())
            Panel->SetCollaps(false);
    };
    Panel->SetCollaps(true);
    EXPECT_EQ(maximizes, 1);
    EXPECT_TRUE(Panel->Collaps());
    EXPECT_EQ(heights, (std::vector<int>{80, 60, 40, 20, 18}));
    for (size_t i = 1; i < 4; ++i)
        EXPECT_EQ(times[i] - times[i - 1], 20u);
    for (TColor c : colours)
        EXPECT_EQ(c, clRed);
    heights.clear();
    colours.clear();
    Panel->SetCollaps(false);
    EXPECT_EQ(heights, (std::vector<int>{38, 58, 78, 98, 100}));
    for (TColor c : colours)
        EXPECT_EQ(c, clWhite);
}

TEST_F(PanelTest, ACaptionOnTheLeftCollapsesTheWidth) {
    Panel->PanelCaption()->SetPosition(cpLeft);
    Panel->SetWidth(150);
    Panel->SetCollaps(true);
    EXPECT_EQ(Panel->Width(), 20); // the caption's thickness, nothing taken off
    EXPECT_EQ(Panel->Height(), 175);
    Panel->SetCollaps(false);
    EXPECT_EQ(Panel->Width(), 150);
}

TEST_F(PanelTest, AlignedChildrenShareTheAreaBetweenCaptionAndStatusBar) {
    Panel->SetBevelOuter(bvNone);
    auto* child = new TPanel(Form);
    child->SetParent(Panel);
    child->SetAlign(alClient);
    EXPECT_EQ(child->BoundsRect(), TRect(0, 20, 200, 175));
    Panel->StatusBar()->SetVisible(true);
    EXPECT_EQ(child->BoundsRect(), TRect(0, 20, 200, 157));
    Panel->PanelCaption()->SetPosition(cpLeft);
    EXPECT_EQ(child->BoundsRect(), TRect(20, 0, 182, 175));
    Panel->PanelCaption()->SetVisible(false);
    Panel->StatusBar()->SetVisible(false);
    EXPECT_EQ(child->BoundsRect(), TRect(0, 0, 200, 175));
}

TEST_F(PanelTest, ChildrenHiddenBeforeACollapseStayHidden) {
    auto* shown = new TPanel(Form);
    shown->SetParent(Panel);
    auto* hidden = new TPanel(Form);
    hidden->SetParent(Panel);
    hidden->SetVisible(false);
    Panel->SetCollaps(true);
    EXPECT_FALSE(shown->Visible());
    Panel->SetCollaps(false);
    EXPECT_TRUE(shown->Visible());
    EXPECT_FALSE(hidden->Visible());
    // A child freed while the panel is collapsed is forgotten, not shown again.
    Panel->SetCollaps(true);
    delete hidden;
    Panel->SetCollaps(false);
    EXPECT_TRUE(shown->Visible());
}

TEST_F(PanelTest, CaptionButtonsAndCaptionClicks) {
    int captionClicks = 0, closes = 0;
    Panel->OnCaptionClick = [&](TObject*) { ++captionClicks; };
    Panel->OnClose = [&](TObject*) { ++closes; };
    Panel->PanelCaption()->SetMinMaxCaption(true);
    const TRect minMax = Panel->MinMaxButtonRect();
    EXPECT_EQ(minMax, TRect(200 - 14, 2, 198, 14));
    // With MinMaxCaption on, the button still toggles once.
    Driver.Click(Panel, minMax.CenterPoint());
    EXPECT_TRUE(Panel->Collaps());
    EXPECT_EQ(captionClicks, 1);
    Driver.Click(Panel, TPoint(40, 8));
    EXPECT_FALSE(Panel->Collaps());
    EXPECT_EQ(captionClicks, 2);
    // The body is no caption.
    Driver.Click(Panel, TPoint(40, 100));
    EXPECT_EQ(captionClicks, 2);

    Panel->PanelCaption()->SetCloseButton(true);
    const TRect close = Panel->CloseButtonRect();
    EXPECT_EQ(close, TRect(186, 2, 198, 14));
    EXPECT_EQ(Panel->MinMaxButtonRect(), TRect(174, 2, 186, 14));
    Driver.Click(Panel, close.CenterPoint());
    EXPECT_FALSE(Panel->Visible());
    EXPECT_EQ(closes, 1);
}

TEST_F(PanelTest, FreeOnCloseFreesThePanelAfterItsClickReturns) {
    // A group read from a layout records its panels and frees them with itself.
    auto* source = NewForm<TForm>(Application);
    source->SetBounds(100, 100, 500, 400);
    auto* g = new TKvxPanelGroup(source);
    g->SetName("Group");
    g->SetParent(source);
    g->SetBounds(220, 10, 200, 300);
    const char* names[] = {"PanelA", "PanelB"};
    for (const char* name : names) {
        auto* p = new TKvxPanel(source);
        p->SetName(name);
        p->SetParent(g);
        p->SetBounds(0, name[5] == 'A' ? 0 : 120, 100, 100);
        p->PanelCaption()->SetVisible(true);
        p->PanelCaption()->SetCloseButton(true);
        p->SetFreeOnClose(true);
    }
    const std::string layout = WriteComponentToText(source);
    auto* form = NewForm<TForm>(Application);
    ReadComponentFromText(layout, form);
    form->Show();
    Driver.Pump();
    auto* group = dynamic_cast<TKvxPanelGroup*>(form->FindComponent("Group"));
    auto* a = dynamic_cast<TKvxPanel*>(form->FindComponent("PanelA"));
    auto* b = dynamic_cast<TKvxPanel*>(form->FindComponent("PanelB"));
    ASSERT_TRUE(group && a && b);

    int closes = 0, captionClicks = 0, released = 0;
    b->OnClose = [&](TObject*) { ++closes; };
    b->OnCaptionClick = [&](TObject*) { ++captionClicks; };
    // Runs after the panel's own release handling: the panel is still alive then.
    b->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++released; };
    Driver.Click(b, b->CloseButtonRect().CenterPoint());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(captionClicks, 0);
    EXPECT_EQ(released, 1);
    Driver.Pump();
    EXPECT_EQ(form->FindComponent("PanelB"), nullptr);
    ASSERT_EQ(group->ControlCount(), 2); // the scroll bar and a
    EXPECT_EQ(group->Controls(1), a);
    group->UpdateGroup();
    EXPECT_EQ(a->Top(), 8);
    // The group frees the panel it still holds, once, and not the one that went.
    delete form;
    delete source;
}

TEST_F(PanelTest, AReleaseDuringTheCollapseAnimationWaitsForItsEnd) {
    Panel->SetName("Animated");
    Panel->SetCollapsSteps(3);
    Panel->SetCollapsDelay(0);
    Driver.Pump();
    int steps = 0;
    // What a FreeOnClose close button posts, handled by the animation's own message processing.
    Panel->OnResize = [&](TObject*) {
        if (++steps == 1)
            PostMessage(Panel->Handle(), CM_RELEASE, 0, 0);
    };
    Panel->SetCollaps(true);
    EXPECT_EQ(Panel->Height(), 18);
    EXPECT_EQ(Form->FindComponent("Animated"), Panel);
    Driver.Pump();
    EXPECT_EQ(Form->FindComponent("Animated"), nullptr);
}

TEST_F(PanelTest, HitTestsForMovingAndSizing) {
    Panel->SetCanMove(true);
    Panel->SetCanSize(true);
    EXPECT_EQ(HitTest(Panel, {50, 10}), HTCAPTION);
    EXPECT_EQ(HitTest(Panel, {190, 8}), HTCLIENT); // the collapse button's zone
    EXPECT_EQ(HitTest(Panel, {50, 80}), HTCLIENT);
    EXPECT_EQ(HitTest(Panel, {198, 173}), HTBOTTOMRIGHT);
    Panel->SetCollaps(true);
    EXPECT_NE(HitTest(Panel, {198, 16}), HTBOTTOMRIGHT);
    Panel->SetCollaps(false);
    Panel->SetCanMove(false);
    Panel->SetCanSize(false);
    EXPECT_EQ(HitTest(Panel, {50, 10}), HTCLIENT);
    EXPECT_EQ(HitTest(Panel, {198, 173}), HTCLIENT);
    // A caption anchor is clicked, not dragged.
    Panel->SetCanMove(true);
    Panel->PanelCaption()->SetText("<a href=\"go\">go there now</a>");
    EXPECT_EQ(HitTest(Panel, {8, 8}), HTCLIENT);
}

TEST_F(PanelTest, TheUserMovesByTheCaptionAndSizesByTheGrip) {
    Panel->SetCanMove(true);
    Panel->SetCanSize(true);
    int ends = 0;
    Panel->OnEndMoveSize = [&](TObject*) { ++ends; };
    Driver.Drag(Panel, {50, 10}, {80, 30});
    EXPECT_EQ(Panel->BoundsRect(), TRect(40, 30, 240, 205));
    Driver.Drag(Panel, {198, 173}, {248, 193});
    EXPECT_EQ(Panel->BoundsRect(), TRect(40, 30, 290, 225));
    EXPECT_EQ(Panel->FullHeight(), 195);
    EXPECT_EQ(ends, 2);

    // Fixed sides stay where they are: a panel made in code keeps its current size and place.
    Panel->SetFixedHeight(true);
    Panel->SetFixedLeft(true);
    Driver.Drag(Panel, {248, 193}, {198, 233});
    EXPECT_EQ(Panel->BoundsRect(), TRect(40, 30, 240, 225));
    Driver.Drag(Panel, {50, 10}, {90, 50});
    EXPECT_EQ(Panel->BoundsRect(), TRect(40, 70, 240, 265));
}

// The distance of two lines of the panel's body text.
int LinePitch(TKvxPanel* P) {
    TBitmap bmp(1, 1);
    bmp.Canvas()->Font()->Assign(P->Font());
    TMarkupOptions opt;
    opt.NoDraw = true;
    TMarkupResult one, two;
    DrawMarkupText(*bmp.Canvas(), "x", TRect(0, 0, 200, 200), opt, one);
    DrawMarkupText(*bmp.Canvas(), "x<br>x", TRect(0, 0, 200, 200), opt, two);
    return two.TotalHeight - one.TotalHeight;
}

TEST_F(PanelTest, AnchorsGoToTheEventOrToTheLinkService) {
    std::vector<std::string> launched;
    const TLinkLauncher previous =
        SetLinkLauncher([&](const std::string&, const std::vector<std::string>& args) {
            launched.push_back(args.empty() ? "" : args.back());
            return true;
        });
    std::vector<std::string> clicked;
    Panel->OnAnchorClick = [&](TObject*, const std::string& a) { clicked.push_back(a); };
    Panel->SetBodyText("<a href=\"details\">details</a><br><a href=\"https://example.org/\">web</a><br>"
                       "<a href=\"file:///etc/passwd\">local</a>");
    Driver.Pump();
    Driver.Click(Panel, TPoint(6, 24));
    Driver.Click(Panel, TPoint(6, 24 + LinePitch(Panel)));
    Driver.Click(Panel, TPoint(6, 24 + 2 * LinePitch(Panel)));
    SetLinkLauncher(previous);
    EXPECT_EQ(clicked, (std::vector<std::string>{"details"}));
    EXPECT_EQ(launched, (std::vector<std::string>{"https://example.org/"}));
    // A caption on the left has no anchors.
    Panel->PanelCaption()->SetText("<a href=\"x\">xxxxxxxx</a>");
    Panel->PanelCaption()->SetPosition(cpLeft);
    EXPECT_EQ(Panel->AnchorAt(8, 8), "");
}

TEST_F(PanelTest, HoveringAnchorsFiresEnterAndOneExitAndSetsTheHandCursor) {
    Panel->SetBodyText("<a href=\"one\">one one one</a><br><a href=\"two\">two two two</a><br>plain text");
    Panel->SetHover(true);
    Driver.Pump();
    const int line = LinePitch(Panel);
    std::vector<std::string> events;
    Panel->OnAnchorEnter = [&](TObject*, const std::string& a) { events.push_back("enter " + a); };
    Panel->OnAnchorExit = [&](TObject*, const std::string& a) { events.push_back("exit " + a); };
    const TCursor before = Panel->Cursor();
    Driver.MoveTo(TTestDriver::ScreenPoint(Panel, {8, 24}));
    EXPECT_EQ(Panel->Cursor(), crHandPoint);
    Driver.MoveTo(TTestDriver::ScreenPoint(Panel, {8, 24 + line}));
    Driver.MoveTo(TTestDriver::ScreenPoint(Panel, {10, 24 + line}));
    Driver.MoveTo(TTestDriver::ScreenPoint(Panel, {8, 24 + 2 * line}));
    EXPECT_EQ(events, (std::vector<std::string>{"enter one", "enter two", "exit "}));
    EXPECT_EQ(Panel->Cursor(), before);
}

TEST_F(PanelTest, AnchorHintShowsTheAnchorUnlessTheHandlerChangesIt) {
    Panel->SetBodyText("<a href=\"help\">help</a> and more");
    Panel->SetAnchorHint(true);
    Panel->SetHint("plain hint");
    Driver.Pump();
    struct Case {
        TPoint At;
        bool Rename;
        std::string Hint;
    };
    const Case cases[] = {
        {{6, 24}, false, "help"}, {{6, 24}, true, "help!"}, {{150, 120}, false, "plain hint"}};
    for (const Case& c : cases) {
        Panel->OnAnchorHint =
            c.Rename ? TAnchorHintEvent([](TObject*, std::string& a) { a += "!"; }) : nullptr;
        THintInfo info;
        info.HintControl = Panel;
        info.CursorPos = c.At;
        info.HintStr = Panel->Hint();
        EXPECT_EQ(Panel->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)), 0);
        EXPECT_EQ(info.HintStr, c.Hint);
        if (c.Hint != "plain hint") {
            const TPoint s = Panel->ClientToScreen(c.At);
            EXPECT_EQ(info.HintPos, TPoint(s.X + 10, s.Y - 10));
        }
    }
}

TEST_F(PanelTest, AutoSizeFitsTheBodyTextBelowTheCaption) {
    Panel->SetBodyText("one line");
    Panel->AutoSizing()->SetWidth(false);
    Panel->AutoSizing()->SetEnabled(true);
    const int line = Panel->Canvas()->TextHeight("gh");
    // Caption, text and the bevel on both sides.
    EXPECT_EQ(Panel->Height(), 20 + line + 2);
    Panel->SetBodyText("one line<br>two lines");
    EXPECT_EQ(Panel->Height(), 20 + 2 * line + 2);
    EXPECT_EQ(Panel->Width(), 200);
}

// The config folder of the test: bounds are kept in an INI file in it or in the settings registry.
class PanelBoundsTest : public PanelTest {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lumetra-panel-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        Dir = tmpl;
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            OldXdg = old;
        setenv("XDG_CONFIG_HOME", Dir.c_str(), 1);
        PanelTest::SetUp();
    }
    void TearDown() override {
        PanelTest::TearDown();
        OldXdg.empty() ? unsetenv("XDG_CONFIG_HOME") : setenv("XDG_CONFIG_HOME", OldXdg.c_str(), 1);
        std::filesystem::remove_all(Dir);
    }
    std::string Dir, OldXdg;
};

TEST_F(PanelBoundsTest, BoundsAreKeptOnlyWhenAskedAndComeBackCollapsed) {
    const TPanelPositionLocation locations[] = {clInifile, clRegistry};
    for (TPanelPositionLocation location : locations) {
        SCOPED_TRACE(kPanelPositionLocationNames[location]);
        auto* source = NewForm<TForm>(Application);
        auto* p = new TKvxPanel(source);
        p->SetName("Kept");
        p->SetParent(source);
        p->SetBounds(12, 14, 150, 175);
        p->PanelCaption()->SetVisible(true);
        p->PanelPosition()->SetKey(location == clInifile ? "panels.ini" : "Software\\Lumetra\\Panels");
        p->PanelPosition()->SetSection("Memory");
        p->PanelPosition()->SetLocation(location);
        const std::string layout = WriteComponentToText(source);
        p->HandleNeeded();
        // Off: nothing is written when the window goes.
        delete source;
        EXPECT_FALSE(std::filesystem::exists(
            Dir + (location == clInifile ? "/lumetra/panels.ini" : "/lumetra/registry.ini")));

        auto* first = NewForm<TForm>(Application);
        ReadComponentFromText(layout, first);
        auto* kept = dynamic_cast<TKvxPanel*>(first->FindComponent("Kept"));
        ASSERT_NE(kept, nullptr);
        kept->PanelPosition()->SetSave(true);
        kept->HandleNeeded();
        kept->SetBounds(30, 40, 160, 120);
        kept->SetCollaps(true);
        delete first; // the window goes: the bounds are written

        auto* second = NewForm<TForm>(Application);
        std::string saving = layout;
        saving.replace(saving.find("Position.Key"), 0, "Position.Save = True\n    ");
        ReadComponentFromText(saving, second);
        auto* back = dynamic_cast<TKvxPanel*>(second->FindComponent("Kept"));
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->BoundsRect(), TRect(30, 40, 190, 58));
        EXPECT_TRUE(back->Collaps());
        EXPECT_EQ(back->FullHeight(), 120);
        back->SetCollaps(false);
        EXPECT_EQ(back->Height(), 120);
        back->PanelPosition()->SetSave(false);
        delete second;
    }
}

// ---- Shading --------------------------------------------------------------------------------------------

TColor ShadeAt(TKvxPanel* P, int X, int Y) {
    return P->ShadeBitmap()->Canvas()->Pixels(X, Y);
}

TEST_F(PanelTest, HorizontalShadeFollowsTheLightLevel) {
    Panel->SetWidth(100);
    Panel->PanelCaption()->SetColor(clWhite);
    Panel->PanelCaption()->SetShadeLight(300); // only the low byte counts: 44
    Panel->PanelCaption()->SetShadeType(stHShade);
    ASSERT_EQ(Panel->ShadeBitmap()->Width(), 100);
    ASSERT_EQ(Panel->ShadeBitmap()->Height(), 20);
    // Column 0 is L - 123 and negative levels wrap: 255 * -79 div 255 = -79, 177 as a byte.
    EXPECT_EQ(ShadeAt(Panel, 0, 5), RGB(177, 177, 177));
    EXPECT_EQ(ShadeAt(Panel, 99, 5), RGB(39, 39, 39)); // L - ((1 * 239 / 100 + 8) / 2) = 44 - 5
    Panel->PanelCaption()->SetShadeLight(255);
    EXPECT_EQ(ShadeAt(Panel, 99, 5), RGB(250, 250, 250));
}

TEST_F(PanelTest, AShadeIsMadeWhenPaintedAtTheSizeTheLayoutLeaves) {
    Panel->SetName("Shaded");
    Panel->PanelCaption()->SetShadeType(stHShade);
    const std::string layout = WriteComponentToText(Form);
    auto* form = NewForm<TForm>(Application);
    ScopeGuard free([form] { delete form; });
    ReadComponentFromText(layout, form);
    auto* shaded = dynamic_cast<TKvxPanel*>(form->FindComponent("Shaded"));
    ASSERT_NE(shaded, nullptr);
    EXPECT_EQ(shaded->ShadesMade(), 0);
    form->Show();
    Driver.Pump();
    EXPECT_EQ(shaded->ShadesMade(), 1);
    // Sizes between two paints make one shade, at the last of them.
    shaded->SetWidth(150);
    shaded->SetWidth(160);
    Driver.Pump();
    EXPECT_EQ(shaded->ShadesMade(), 2);
    EXPECT_EQ(shaded->ShadeBitmap()->Width(), 160);
}

TEST_F(PanelTest, ShadesThatWouldDivideByZeroFallBackToTheCaptionColour) {
    struct Case {
        TShadeType Type;
        int Width, Height;
    };
    const Case cases[] = {{stIRadial, 20, 20}, {stORadial, 20, 20}, {stHardBump, 5, 20}, {stHardBump, 60, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(kShadeTypeNames[c.Type]);
        Panel->SetWidth(c.Width);
        Panel->PanelCaption()->SetHeight(c.Height);
        Panel->PanelCaption()->SetColor(RGB(10, 20, 30));
        Panel->PanelCaption()->SetShadeType(c.Type);
        EXPECT_EQ(ShadeAt(Panel, 0, 0), RGB(10, 20, 30));
        EXPECT_EQ(ShadeAt(Panel, c.Width - 1, c.Height - 1), RGB(10, 20, 30));
    }
    // Not square: the radial shade is computed.
    Panel->SetWidth(100);
    Panel->PanelCaption()->SetHeight(20);
    Panel->PanelCaption()->SetColor(clWhite);
    Panel->PanelCaption()->SetShadeType(stORadial);
    EXPECT_NE(ShadeAt(Panel, 0, 0), ShadeAt(Panel, 50, 10));
}

TEST_F(PanelTest, XPCaptionDrawsThemedOnlyWhileAVisualStyleIsActive) {
    UI_HEADLESS_ONLY(Driver);
    Panel->SetBevelOuter(bvNone);
    Panel->PanelCaption()->SetColor(clRed);
    Panel->PanelCaption()->SetShadeType(stXPCaption);
    Panel->PanelCaption()->SetCloseButton(true);
    Panel->PanelCaption()->SetCloseButtonColor(clLime);
    const bool before = VisualStylesEnabled();
    ScopeGuard restore([before] { SetVisualStylesEnabled(before); });
    struct Case {
        bool Styles;
        TColor Caption;
        int ButtonSize;
    };
    // The service's window face is 0xF5E9DC; without a style the caption is plain and the cross drawn.
    const Case cases[] = {{false, clRed, 12}, {true, 0xF5E9DC, 16}, {false, clRed, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Styles);
        SetVisualStylesEnabled(c.Styles);
        Panel->Invalidate();
        Driver.Pump();
        EXPECT_EQ(Driver.Pixel(Panel, 60, 8), c.Caption);
        EXPECT_EQ(Panel->CloseButtonRect().Width(), c.ButtonSize);
        if (!c.Styles) {
            EXPECT_EQ(Driver.Pixel(Panel, 200 - 7, 7), clLime);
        }
    }
}

TEST_F(PanelTest, ACollapsedCaptionTakesCloseColourUnlessItIsAGradient) {
    UI_HEADLESS_ONLY(Driver);
    Panel->SetBevelOuter(bvNone);
    Panel->PanelCaption()->SetColor(clRed);
    Panel->PanelCaption()->SetCloseColor(clYellow);
    Panel->SetCollaps(true);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(Panel, 60, 8), clYellow);
    Panel->PanelCaption()->SetColorTo(clRed);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(Panel, 60, 8), clRed);
    Panel->SetCollaps(false);
    Panel->PanelCaption()->SetColorTo(clNone);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(Panel, 60, 8), clRed);
}

TEST_F(PanelTest, DoubleClickOnTheCaptionOnly) {
    int doubles = 0;
    Panel->OnCaptionDBlClick = [&](TObject*) { ++doubles; };
    Driver.DoubleClick(Panel, {40, 8});
    EXPECT_EQ(doubles, 1);
    Driver.DoubleClick(Panel, {40, 100});
    EXPECT_EQ(doubles, 1);
}

// ---- Background picture ---------------------------------------------------------------------------------

std::string SmallPng() {
    TBitmap bmp(10, 6, pf24bit);
    bmp.Canvas()->Brush()->SetColor(clRed);
    bmp.Canvas()->FillRect(TRect(0, 0, 10, 6));
    TPngImage png;
    png.Assign(&bmp);
    TMemoryStream s;
    png.SaveToStream(s);
    return std::string(s.Bytes().begin(), s.Bytes().begin() + s.Size());
}

TEST(KvxImageTest, KeepsTheBytesAndClearsThemWhenAnEmptyPictureIsAssigned) {
    const std::string bytes = SmallPng();
    TKvxImage image;
    TStringStream in(bytes);
    int changes = 0;
    image.OnChange = [&](TObject*) { ++changes; };
    image.LoadFromStream(in);
    EXPECT_FALSE(image.Empty());
    EXPECT_EQ(image.Width(), 10);
    EXPECT_EQ(image.Height(), 6);
    EXPECT_EQ(std::string(image.Data().begin(), image.Data().end()), bytes);
    EXPECT_EQ(changes, 1);

    TKvxImage copy;
    copy.Assign(&image);
    EXPECT_EQ(copy.Data(), image.Data());
    EXPECT_EQ(copy.Width(), 10);

    // A cleared background must not come back with the next save.
    TKvxImage empty;
    copy.Assign(&empty);
    EXPECT_TRUE(copy.Empty());
    EXPECT_TRUE(copy.Data().empty());
    image.Assign(nullptr);
    EXPECT_TRUE(image.Empty());
    EXPECT_TRUE(image.Data().empty());
    image.SetWidth(50);
    EXPECT_EQ(image.Width(), 0);
}

TEST(KvxImageTest, UndecodableBytesRaiseFromStreamsAndAreSwallowedFromFiles) {
    TKvxImage image;
    TStringStream junk("not a picture at all");
    try {
        image.LoadFromStream(junk);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Could not load image. Invalid format");
    }
    EXPECT_FALSE(image.Empty());
    EXPECT_EQ(image.Width(), 0);
    image.LoadFromFile("/nonexistent/picture.bmp");
    EXPECT_TRUE(image.Empty());
}

// ---- Styler and group -----------------------------------------------------------------------------------

TEST_F(PanelTest, StylerRecoloursItsPanelsAndKeepsTheirCaptions) {
    auto* styler = new TKvxPanelStyler(Form);
    auto* other = NewPanel(220, 10, 200, 100);
    Panel->SetStyler(styler);
    Panel->PanelCaption()->SetText("Operation Mode");
    styler->ApplyStyle(tsWhidbey);
    EXPECT_EQ(Panel->PanelCaption()->Color(), 0xF3F7F8);
    EXPECT_EQ(Panel->PanelCaption()->ColorTo(), 0xACC3C3);
    EXPECT_EQ(Panel->PanelCaption()->GradientDirection(), gdVertical);
    EXPECT_EQ(Panel->Color(), clWhite);
    EXPECT_EQ(Panel->ColorTo(), 0xE3F0F2);
    EXPECT_EQ(Panel->BorderColor(), clGray);
    EXPECT_TRUE(Panel->BorderShadow());
    EXPECT_EQ(Panel->StatusBar()->Color(), 0xE3F0F2);
    EXPECT_EQ(Panel->StatusBar()->BorderColor(), clSilver);
    EXPECT_EQ(Panel->PanelCaption()->Text(), "Operation Mode");
    EXPECT_TRUE(Panel->PanelCaption()->Visible());
    EXPECT_EQ(other->PanelCaption()->Color(), clHighlight); // not pointing to the styler

    styler->ApplyStyle(tsCustom);
    EXPECT_EQ(styler->Style(), psWhidbey);
    // The presets that hide or show the caption do it in the settings; each panel keeps its own.
    styler->SetStyle(psClassic);
    EXPECT_FALSE(styler->Settings()->Caption()->Visible());
    EXPECT_TRUE(Panel->PanelCaption()->Visible());
    EXPECT_EQ(Panel->BevelOuter(), bvRaised);
    styler->SetStyle(psKVX);
    EXPECT_EQ(Panel->PanelCaption()->ShadeType(), stRMetal);
    styler->ApplyStyle(tsOffice2003Classic);
    EXPECT_EQ(Panel->PanelCaption()->Color(), clHighlight);
    EXPECT_EQ(Panel->PanelCaption()->ColorTo(), clBlue);
    // The styler is a style target of the form stylers.
    EXPECT_NE(dynamic_cast<IStyleable*>(static_cast<TComponent*>(styler)), nullptr);
    delete styler;
    EXPECT_EQ(Panel->Styler(), nullptr);
}

TEST_F(PanelTest, VerticalGroupArrangesColumnsAndScrollsWhenTaller) {
    auto* group = new TKvxPanelGroup(Form);
    group->SetParent(Form);
    group->SetBounds(0, 0, 200, 300);
    group->SetColumns(2);
    std::vector<TKvxPanel*> panels;
    for (int i = 0; i < 4; ++i) {
        panels.push_back(NewPanel(0, i * 10, 50, 100, group));
        panels.back()->PanelCaption()->SetVisible(false);
    }
    group->UpdateGroup();
    const int lefts[] = {8, 104, 8, 104}, tops[] = {8, 8, 116, 116};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(panels[i]->Left(), lefts[i]);
        EXPECT_EQ(panels[i]->Top(), tops[i]);
        EXPECT_EQ(panels[i]->Width(), 92);
    }
    EXPECT_FALSE(group->ScrollBar()->Visible());
    panels.push_back(NewPanel(0, 50, 50, 100, group));
    panels.back()->PanelCaption()->SetVisible(false);
    group->UpdateGroup();
    EXPECT_TRUE(group->ScrollBar()->Visible());
    EXPECT_EQ(group->ScrollBar()->Max(), 332);
    EXPECT_EQ(group->ScrollBar()->PageSize(), 300);
    EXPECT_EQ(panels[0]->Left(), 8);
    EXPECT_EQ(panels[1]->Left(), 96);
    EXPECT_EQ(panels[0]->Width(), 84);
    group->SetColumns(0); // ignored
    EXPECT_EQ(group->Columns(), 2);
}

TEST_F(PanelTest, HorizontalGroupLinesPanelsUpAndTheWheelScrollsAVerticalOne) {
    auto* group = new TKvxPanelGroup(Form);
    group->SetParent(Form);
    group->SetBounds(0, 0, 300, 200);
    group->SetGroupStyle(gsHorizontal);
    TKvxPanel* second = NewPanel(150, 0, 100, 50, group);
    TKvxPanel* first = NewPanel(10, 0, 100, 50, group);
    TKvxPanel* hidden = NewPanel(60, 0, 100, 50, group);
    hidden->SetVisible(false);
    group->UpdateGroup();
    EXPECT_EQ(first->BoundsRect(), TRect(8, 8, 108, 192));
    EXPECT_EQ(hidden->Left(), 116); // takes the place of the next one
    EXPECT_EQ(second->BoundsRect(), TRect(116, 8, 216, 192));
    EXPECT_FALSE(group->ScrollBar()->Visible());

    group->SetGroupStyle(gsVertical);
    for (int i = 0; i < 4; ++i)
        NewPanel(0, 300 + i, 50, 100, group);
    group->UpdateGroup();
    ASSERT_TRUE(group->ScrollBar()->Visible());
    Driver.Pump();
    const int top = first->Top();
    Driver.Wheel(group, {50, 50}, -120);
    EXPECT_EQ(group->ScrollBar()->Position(), 4);
    EXPECT_EQ(first->Top(), top - 4);
}

TEST_F(PanelTest, CollapsingInsideAGroupMovesThePanelsBelowUp) {
    auto* group = new TKvxPanelGroup(Form);
    group->SetParent(Form);
    group->SetBounds(0, 0, 200, 300);
    TKvxPanel* upper = NewPanel(0, 0, 50, 100, group);
    TKvxPanel* lower = NewPanel(0, 200, 50, 100, group);
    group->UpdateGroup();
    EXPECT_EQ(lower->Top(), 116);
    upper->SetCollapsSteps(2);
    upper->SetCollapsDelay(0);
    // Seen as each step resizes the upper panel: where the step before left the lower one.
    std::vector<int> tops;
    upper->OnResize = [&](TObject*) { tops.push_back(lower->Top()); };
    upper->SetCollaps(true);
    EXPECT_EQ(tops, (std::vector<int>{116, 8 + 60 + 8, 8 + 20 + 8}));
    EXPECT_EQ(lower->Top(), 8 + 18 + 8);
}

// ---- Layouts and pictures -------------------------------------------------------------------------------

TEST_F(PanelTest, LayoutRoundTripKeepsCollapsedPanelsAndTheirFullHeight) {
    auto* root = NewForm<TForm>(Application);
    auto* styler = new TKvxPanelStyler(root);
    styler->SetName("KvxPanelStyler1");
    auto* p = new TKvxPanel(root);
    p->SetName("KvxPanel1");
    p->SetParent(root);
    p->SetBounds(8, 8, 230, 175);
    p->PanelCaption()->SetVisible(true);
    p->PanelCaption()->SetText("Soft Trigger Time");
    p->PanelCaption()->SetMinMaxButton(true);
    p->SetCollapsDelay(0);
    p->SetStyler(styler);
    p->SetBodyText("<b>USB</b> 2.0");
    TStringStream picture(SmallPng());
    p->Background()->LoadFromStream(picture);
    p->SetCollaps(true);
    // What the program's forms stream besides the preset's values.
    styler->Settings()->Caption()->SetMinMaxButton(true);
    styler->Settings()->Caption()->SetMinMaxButtonColor(clBlack);
    styler->Settings()->Caption()->SetMinMaxButtonHoverColor(clRed);
    styler->SetStyle(psWhidbey);
    const std::string text = WriteComponentToText(root);
    EXPECT_NE(text.find("FullHeight = 175"), std::string::npos) << text;
    EXPECT_NE(text.find("Collaps = True"), std::string::npos);
    EXPECT_NE(text.find("Style = psWhidbey"), std::string::npos);

    auto* back = NewForm<TForm>(Application);
    ReadComponentFromText(text, back);
    auto* q = dynamic_cast<TKvxPanel*>(back->FindComponent("KvxPanel1"));
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->Height(), 18);
    EXPECT_TRUE(q->Collaps());
    EXPECT_EQ(q->PanelCaption()->Text(), "Soft Trigger Time");
    EXPECT_EQ(q->PanelCaption()->MinMaxButtonHoverColor(), clRed);
    EXPECT_EQ(q->PanelCaption()->Color(), 0xF3F7F8);
    EXPECT_EQ(q->Styler(), back->FindComponent("KvxPanelStyler1"));
    EXPECT_EQ(q->Background()->Data(), p->Background()->Data());
    EXPECT_EQ(q->Background()->Width(), 10);
    EXPECT_EQ(WriteComponentToText(back), text);
    q->SetCollaps(false);
    EXPECT_EQ(q->Height(), 175);
    delete back;
    delete root;
}

// A back that counts how often it is painted, for the panels standing on it.
class TCountingBack : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Paints = 0;

protected:
    void Paint() override {
        ++Paints;
        Canvas()->Brush()->SetColor(clLime);
        Canvas()->FillRect(ClientRect());
    }
};

// A body that covers the whole client is painted straight into the window: the transparent parent is not
// painted beneath it first, and the window's canvas keeps its font. A body that may leave pixels unpainted
// still has the parent painted first.
TEST_F(PanelTest, ABodyThatCoversTheClientHidesTheParentWithoutPaintingIt) {
    struct TCase {
        const char* Name;
        TColor Color, ColorTo, Mirror, MirrorTo;
        bool Covers;
    };
    const TCase cases[] = {
        {"solid", clSilver, clNone, clNone, clNone, true},
        {"gradient", clSilver, clWhite, clNone, clNone, true},
        {"mirror gradient", clSilver, clWhite, clGray, clBlack, true},
        {"mirror without its end", clSilver, clWhite, clGray, clNone, false},
        {"no colour", clNone, clNone, clNone, clNone, false},
    };
    auto* back = new TCountingBack(Form);
    back->SetParent(Form);
    back->SetBounds(250, 10, 200, 200);
    TKvxPanel* panel = NewPanel(10, 10, 150, 120, back);
    panel->SetParentBackground(true);
    panel->PanelCaption()->Font()->SetColor(clRed);
    Driver.Pump();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        panel->SetColor(c.Color);
        panel->SetColorTo(c.ColorTo);
        panel->SetColorMirror(c.Mirror);
        panel->SetColorMirrorTo(c.MirrorTo);
        Driver.Pump();
        const TColor canvasFont = panel->Canvas()->Font()->Color();
        const int paints = back->Paints;
        InvalidateRect(panel->Handle(), nullptr, true);
        Driver.Pump();
        EXPECT_EQ(back->Paints > paints, !c.Covers);
        if (c.Covers) {
            EXPECT_NE(Driver.Pixel(panel, 75, 60), clLime);
        }
        EXPECT_EQ(panel->Canvas()->Font()->Color(), canvasFont);
    }
}

TEST_F(PanelTest, PicturesOfPanelsExpandedCollapsedAndCaptionShades) {
    UI_HEADLESS_ONLY(Driver);
    auto* styler = new TKvxPanelStyler(Form);
    styler->Settings()->Caption()->SetMinMaxButton(true);
    styler->Settings()->Caption()->SetMinMaxButtonColor(clBlack);
    styler->SetStyle(psWhidbey);
    Panel->SetStyler(styler);
    Panel->SetBodyText("Exposure <b>12 ms</b><br>Gain <font color=\"clRed\">high</font><br>"
                       "<a href=\"more\">more settings</a>");
    Panel->StatusBar()->SetVisible(true);
    Panel->StatusBar()->SetText("ready");
    TKvxPanel* collapsed = NewPanel(220, 10, 200, 175);
    collapsed->SetStyler(styler);
    collapsed->PanelCaption()->SetText("Refresh-Interval");
    collapsed->SetCollaps(true);
    TKvxPanel* left = NewPanel(220, 60, 200, 120);
    left->PanelCaption()->SetPosition(cpLeft);
    left->PanelCaption()->SetText("Misc");
    left->PanelCaption()->SetCloseButton(true);
    left->SetBodyText("caption on the left");
    TKvxPanel* bordered = NewPanel(10, 200, 200, 150);
    bordered->SetBorderWidth(2);
    bordered->SetBorderShadow(true);
    bordered->SetBorderColor(clNavy);
    bordered->SetCanSize(true);
    bordered->SetTextVAlign(tvaCenter);
    bordered->SetBodyText("centred, with a grip");
    TStringStream picture(SmallPng());
    bordered->Background()->LoadFromStream(picture);
    bordered->SetBackgroundPosition(bpTopRight);
    bordered->PanelCaption()->SetText("Shadowed border");
    bordered->PanelCaption()->SetCloseButton(true);
    TKvxPanel* mirrored = NewPanel(220, 200, 200, 150);
    mirrored->SetColor(0xFAF1E9);
    mirrored->SetColorTo(0xEDD8C7);
    mirrored->SetColorMirror(0xEDD8C7);
    mirrored->SetColorMirrorTo(0xFFF2E7);
    mirrored->PanelCaption()->SetColor(0xFFEFE3);
    mirrored->PanelCaption()->SetColorTo(0xFFD2AF);
    mirrored->PanelCaption()->SetGradientDirection(gdVertical);
    mirrored->PanelCaption()->Font()->SetColor(clBlack);
    mirrored->PanelCaption()->SetText("Mirrored <i>body</i>");
    mirrored->SetTextVAlign(tvaBottom);
    mirrored->SetBodyText("at the bottom");
    Driver.Pump();
    auto image = Driver.Render(Form);
    // The caption band is the styler's gradient, the body below it white.
    // The caption's gradient darkens downwards; the collapse button is drawn in black over it.
    EXPECT_NE(Driver.Pixel(Panel, 50, 1), Driver.Pixel(Panel, 50, 17));
    const TRect button = Panel->MinMaxButtonRect();
    EXPECT_EQ(Driver.Pixel(Panel, button.Left + 5, button.Top + 5), clBlack);
    // The program's look: a caption band 18 high that ends 2 pixels short of the right edge.
    EXPECT_NE(Driver.Pixel(Panel, 100, 17), Driver.Pixel(Panel, 100, 18));
    EXPECT_NE(Driver.Pixel(Panel, 197, 5), Driver.Pixel(Panel, 198, 5));
    EXPECT_EQ(Driver.Pixel(Panel, 198, 5), Driver.Pixel(Panel, 199, 5));
    // Collapsed, only the caption is left.
    EXPECT_EQ(collapsed->Height(), 18);
    TTestDriver::SavePng(*image, TestOutputDir("controls") + "/panels.png");

    // One caption per computed shading.
    auto* sheet = NewForm<TForm>(Application);
    sheet->SetBounds(0, 0, 520, 14 * 28 + 40);
    const TShadeType shades[] = {stNormal, stNoise,   stDiagShade, stHShade,   stVShade,
                                 stHBump,  stVBump,   stSoftBump,  stHardBump, stLMetal,
                                 stRMetal, stIRadial, stORadial,   stHShadeInv};
    int y = 4;
    for (TShadeType s : shades) {
        auto* p = new TKvxPanel(sheet);
        p->SetParent(sheet);
        p->SetBounds(4, y, 250, 24);
        p->PanelCaption()->SetVisible(true);
        p->PanelCaption()->SetColor(RGB(90, 140, 220));
        p->PanelCaption()->SetShadeLight(255);
        p->PanelCaption()->SetText(kShadeTypeNames[s]);
        p->PanelCaption()->SetFont(Panel->Font());
        p->PanelCaption()->SetShadeType(s);
        auto* r = new TKvxPanel(sheet);
        r->SetParent(sheet);
        r->SetBounds(260, y, 250, 24);
        r->PanelCaption()->Assign(p->PanelCaption());
        r->PanelCaption()->SetVisible(true);
        r->PanelCaption()->SetShape(s % 2 ? csRounded : csSemiRounded);
        y += 28;
    }
    sheet->Show();
    Driver.Pump();
    auto shadesImage = Driver.Render(sheet);
    TTestDriver::SavePng(*shadesImage, TestOutputDir("controls") + "/panel_caption_shades.png");
}

} // namespace
