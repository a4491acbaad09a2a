#include "ui/toolbars/KvxToolBarControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Messages.h"
#include "ui/toolbars/KvxToolBarStylers.h"

using namespace plat;
using namespace ui;
using namespace ui::toolbar;

namespace {

class ToolBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 730, 300);
        Form->Show();
        Driver.Pump();
    }
    TKvxDockPanel* NewPanel(TForm* form, const char* name = "Dock") {
        auto* p = new TKvxDockPanel(form);
        p->SetName(name);
        p->SetParent(form);
        p->SetUseRunTimeHeight(true);
        return p;
    }
    TKvxToolBar* NewToolBar(TWinControl* parent, const std::string& name) {
        auto* t = new TKvxToolBar(Form);
        t->SetName(name);
        t->SetParent(parent);
        return t;
    }
    TKvxToolBarButton* NewButton(TKvxToolBar* bar, int glyph = 24) {
        auto* b = new TKvxToolBarButton(Form);
        auto g = std::make_unique<TBitmap>(glyph, glyph);
        g->Canvas()->Brush()->SetColor(clRed);
        g->Canvas()->FillRect(TRect(0, 0, glyph, glyph));
        b->SetGlyph(g.get());
        b->SetKvxToolBar(bar);
        return b;
    }
    TKvxToolBarSeparator* NewSeparator(TKvxToolBar* bar) {
        auto* s = new TKvxToolBarSeparator(Form);
        s->SetKvxToolBar(bar);
        return s;
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
};

// ---- Dock panel ----

// The chart window's dock: three toolbars side by side, streamed out of position order.
const char* const kChartDock = R"(object ChartForm: TForm
  Left = 0
  Top = 0
  ClientWidth = 722
  ClientHeight = 273
  object Dock: TKvxDockPanel
    Left = 0
    Top = 0
    Width = 722
    Height = 54
    UseRunTimeHeight = True
    object Frames: TKvxToolBar
      Left = 3
      Top = 1
      Width = 112
      Height = 52
      AutoSize = False
    end
    object Toolbox: TKvxToolBar
      Left = 575
      Top = 1
      Width = 144
      Height = 52
      AutoSize = False
    end
    object Chart: TKvxToolBar
      Left = 117
      Top = 1
      Width = 456
      Height = 52
      AutoSize = False
    end
  end
end
)";

TEST_F(ToolBarTest, ChartWindowLayoutLoadsIntoOneRow) {
    const struct {
        const char* name;
        int left, width;
    } bars[] = {{"Frames", 3, 112}, {"Toolbox", 575, 144}, {"Chart", 117, 456}};
    const std::string layout = kChartDock;
    auto* form = NewForm<TForm>(Application);
    ReadComponentFromText(layout, form);
    form->SetBounds(0, 0, 730, 300);
    auto* dock = dynamic_cast<TKvxDockPanel*>(form->FindComponent("Dock"));
    ASSERT_NE(dock, nullptr);
    ASSERT_EQ(dock->Width(), 722) << "the form's client width decides the row length";
    EXPECT_EQ(dock->RowCount(), 1);
    EXPECT_EQ(dock->Height(), 54);
    for (const auto& b : bars) {
        auto* t = dynamic_cast<TKvxToolBar*>(form->FindComponent(b.name));
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->BoundsRect(), Bounds(b.left, 1, b.width, 52)) << b.name;
        EXPECT_EQ(t->RowIndex(), 0);
        EXPECT_EQ(t->DockPanel(), dock);
    }
}

TEST_F(ToolBarTest, DockPanelRefusesPanelsAndToolBarsAsParent) {
    TKvxDockPanel* panel = NewPanel(Form);
    TKvxDockPanel* other = NewPanel(Form, "Other");
    TKvxToolBar* bar = NewToolBar(Form, "Bar");
    for (TWinControl* parent : std::vector<TWinControl*>{panel, bar}) {
        try {
            other->SetParent(parent);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Invalid Parent");
        }
        EXPECT_EQ(other->Parent(), Form);
    }
}

TEST_F(ToolBarTest, EmptyPanelIsMinimumSizeAndRowsFollowToolBars) {
    TKvxDockPanel* panel = NewPanel(Form);
    EXPECT_EQ(panel->Height(), 3);
    panel->SetMinimumSize(0);
    EXPECT_EQ(panel->MinimumSize(), 3);
    panel->SetVersion("9.9");
    EXPECT_EQ(panel->Version(), "3.1.1.0");
    TKvxToolBar* a = NewToolBar(panel, "A");
    TKvxToolBar* b = NewToolBar(panel, "B");
    EXPECT_EQ(panel->RowCount(), 2);
    EXPECT_EQ(b->Top(), 1 + 26 + 1);
    // Dragging the second toolbar up into the first row, then hiding it.
    b->SetBounds(200, 1, b->Width(), b->Height());
    EXPECT_EQ(panel->RowCount(), 1);
    EXPECT_EQ(b->Top(), 1);
    EXPECT_EQ(panel->Height(), 28);
    b->SetVisible(false);
    EXPECT_EQ(panel->HiddenToolBars().size(), 1u);
    b->SetVisible(true);
    EXPECT_TRUE(panel->HiddenToolBars().empty());
    EXPECT_EQ(a->RowIndex(), 0);
    delete b;
    EXPECT_EQ(panel->ToolBarCount(), 1);
}

// A toolbar docked onto a loaded panel whose rows are locked joins a row with room, or is refused.
TEST_F(ToolBarTest, LockedPanelDocksIntoExistingRowsOnly) {
    struct Case {
        const char* name;
        TDockAlign align;
        bool fullSizeRow;
        int expectRow; // -1: refused
    } cases[] = {
        {"top, full-size row", daTop, true, -1},
        {"top, two rows", daTop, false, 1},
        {"bottom, two rows", daBottom, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string layout =
            std::string("object F: TForm\n  object P: TKvxDockPanel\n    Align = ") +
            kDockAlignNames[c.align] + "\n    LockHeight = True\n" +
            (c.fullSizeRow ? "    object A: TKvxToolBar\n      FullSize = True\n    end\n"
                           : "    object A: TKvxToolBar\n      Top = 1\n    end\n"
                             "    object B: TKvxToolBar\n      Top = 40\n    end\n") +
            "  end\nend\n";
        auto* form = NewForm<TForm>(Application);
        ReadComponentFromText(layout, form);
        auto* panel = dynamic_cast<TKvxDockPanel*>(form->FindComponent("P"));
        ASSERT_NE(panel, nullptr);
        const int rows = panel->RowCount();
        ASSERT_EQ(rows, c.fullSizeRow ? 1 : 2);
        auto* t = new TKvxToolBar(form);
        EXPECT_EQ(panel->AddToolBar(t) >= 0, c.expectRow >= 0);
        EXPECT_EQ(panel->RowCount(), rows) << "locked rows are neither added nor removed";
        if (c.expectRow >= 0) {
            EXPECT_EQ(t->RowIndex(), c.expectRow);
        }
        delete t;
        delete form;
    }
}

TEST_F(ToolBarTest, ParentStylerTakesThePanelsStyler) {
    TKvxDockPanel* panel = NewPanel(Form);
    auto* panelStyler = new TKvxToolBarOfficeStyler(Form);
    auto* own = new TKvxToolBarOfficeStyler(Form);
    panel->SetToolBarStyler(panelStyler);
    TKvxToolBar* bar = NewToolBar(panel, "Bar");
    EXPECT_EQ(bar->CurrentStyler(), panelStyler);
    // Assigned while ParentStyler is on: the panel's wins.
    bar->SetToolBarStyler(own);
    EXPECT_EQ(bar->CurrentStyler(), panelStyler);
    bar->SetParentStyler(false);
    bar->SetToolBarStyler(own);
    EXPECT_EQ(bar->CurrentStyler(), own);
    // Back to the panel's, which in turn goes back to its own when its styler is taken away.
    bar->SetParentStyler(true);
    EXPECT_EQ(bar->CurrentStyler(), panelStyler);
    panel->SetToolBarStyler(nullptr);
    EXPECT_EQ(panel->CurrentStyler(), panel->InternalStyler());
    EXPECT_EQ(bar->CurrentStyler(), panel->InternalStyler());
}

TEST_F(ToolBarTest, LeftPanelStacksButtonsDownwards) {
    TKvxDockPanel* panel = NewPanel(Form);
    panel->SetAlign(daLeft);
    TKvxToolBar* bar = NewToolBar(panel, "Bar");
    EXPECT_EQ(bar->Position(), daLeft);
    TKvxToolBarButton* a = NewButton(bar);
    TKvxToolBarButton* b = NewButton(bar);
    EXPECT_EQ(a->BoundsRect(), Bounds(2, 9, 32, 32));
    EXPECT_EQ(b->BoundsRect(), Bounds(2, 41, 32, 32));
    EXPECT_EQ(bar->Width(), 36);
    EXPECT_EQ(bar->Height(), 9 + 64 + 14);
    EXPECT_EQ(bar->Left(), 1);
    EXPECT_EQ(panel->Width(), 1 + 36 + 1 + 1);
}

// A panel turned from the top to the left side after its toolbar docked lays the toolbar out as one
// docked at the left from the start, and back; a caption keeps its strip across the toolbar.
TEST_F(ToolBarTest, APanelTurnedToTheLeftStandsItsToolBarUpright) {
    for (bool caption : {false, true}) {
        SCOPED_TRACE(caption ? "with caption" : "without caption");
        auto* form = NewForm<TForm>(Application);
        form->SetBounds(100, 100, 730, 300);
        form->Show();
        TKvxDockPanel* panel = NewPanel(form);
        TKvxToolBar* bar = NewToolBar(panel, caption ? "Captioned" : "Plain");
        bar->SetShowCaption(caption);
        TKvxToolBarButton* a = NewButton(bar);
        TKvxToolBarButton* b = NewButton(bar);
        const int strip = caption ? bar->CaptionHeight() : 0;
        const TRect docked = bar->BoundsRect();
        ASSERT_EQ(docked.Width(), 9 + 64 + 14);
        ASSERT_EQ(docked.Height(), 36 + strip);
        const int panelHeight = panel->Height();

        panel->SetAlign(daLeft);
        Driver.Pump();
        EXPECT_EQ(bar->Position(), daLeft);
        EXPECT_EQ(a->BoundsRect(), Bounds(2 + strip, 9, 32, 32));
        EXPECT_EQ(b->BoundsRect(), Bounds(2 + strip, 41, 32, 32));
        EXPECT_EQ(bar->BoundsRect(), Bounds(docked.Top, docked.Left, 36 + strip, 9 + 64 + 14));
        EXPECT_EQ(panel->Width(), 1 + 36 + strip + 1 + 1);
        EXPECT_EQ(panel->Height(), form->ClientHeight());

        panel->SetAlign(daTop);
        Driver.Pump();
        EXPECT_EQ(a->BoundsRect(), Bounds(9, 2 + strip, 32, 32));
        EXPECT_EQ(b->BoundsRect(), Bounds(41, 2 + strip, 32, 32));
        EXPECT_EQ(bar->BoundsRect(), docked);
        EXPECT_EQ(panel->Height(), panelHeight);
        EXPECT_EQ(panel->Width(), form->ClientWidth());
        delete form;
    }
}

// ---- Toolbar layout ----

TEST_F(ToolBarTest, ButtonsSizeToTheirGlyphAndFollowTheGrip) {
    TKvxToolBar* bar = NewToolBar(Form, "Bar");
    bar->SetBounds(0, 0, 300, 36);
    std::vector<TKvxToolBarButton*> buttons;
    for (int i = 0; i < 3; ++i)
        buttons.push_back(NewButton(bar));
    TKvxToolBarSeparator* sep = NewSeparator(bar);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(buttons[i]->BoundsRect(), Bounds(9 + 32 * i, 2, 32, 32)) << i;
    EXPECT_EQ(sep->Left(), 9 + 96);
    EXPECT_EQ(sep->Width(), 10);
    EXPECT_EQ(bar->Height(), 36);
    EXPECT_EQ(bar->FullLength(), 9 + 96 + 10 + 14);
    EXPECT_EQ(bar->Width(), bar->FullLength());
    // A caption makes room above the buttons.
    bar->SetShowCaption(true);
    EXPECT_EQ(buttons[0]->Top(), 16 + 2);
    EXPECT_EQ(bar->Height(), 36 + 16);
}

TEST_F(ToolBarTest, ControlsAtZeroKeepInsertionOrderOthersSortByPosition) {
    TKvxToolBar* bar = NewToolBar(Form, "Bar");
    TKvxToolBarButton* a = NewButton(bar);
    TKvxToolBarButton* b = NewButton(bar);
    EXPECT_EQ(bar->OrderedControls(), (std::vector<TControl*>{a, b}));
    // Dropped at a position between them.
    auto* c = new TKvxToolBarButton(Form);
    c->SetBounds(a->Left() + 5, 2, 32, 32);
    c->SetKvxToolBar(bar);
    EXPECT_EQ(bar->OrderedControls(), (std::vector<TControl*>{a, c, b}));
    bar->SetAutoArrangeButtons(false);
    EXPECT_EQ(bar->ArrangeOrder(), bar->OrderedControls());
}

// A docked toolbar [A B | C D] whose row gets shorter and longer again.
class OverflowTest : public ToolBarTest {
protected:
    void SetUp() override {
        ToolBarTest::SetUp();
        Panel = NewPanel(Form);
        Bar = NewToolBar(Panel, "Bar");
        A = NewButton(Bar);
        B = NewButton(Bar);
        Sep = NewSeparator(Bar);
        C = NewButton(Bar);
        D = NewButton(Bar);
        ASSERT_EQ(Bar->Width(), 9 + 4 * 32 + 10 + 14);
    }
    void RowLength(int toolBarWidth) {
        // The panel is aligned to the form: its width comes from the form's client width.
        Form->SetClientWidth(toolBarWidth + 6);
    }
    std::vector<TControl*> Overflow() const { return Bar->OverflowControls(); }

    TKvxDockPanel* Panel = nullptr;
    TKvxToolBar* Bar = nullptr;
    TKvxToolBarButton *A = nullptr, *B = nullptr, *C = nullptr, *D = nullptr;
    TKvxToolBarSeparator* Sep = nullptr;
};

TEST_F(OverflowTest, LastControlsGoFirstWithTheirSeparatorAndComeBackTogether) {
    RowLength(100);
    EXPECT_EQ(Bar->Width(), 100);
    EXPECT_EQ(Overflow(), (std::vector<TControl*>{D, C, Sep}));
    EXPECT_GT(C->Top(), Bar->Height()) << "overflowing controls are parked out of sight";
    RowLength(124);
    // Room for C, but not for C together with its separator.
    EXPECT_EQ(Overflow(), (std::vector<TControl*>{D, C, Sep}));
    RowLength(140);
    EXPECT_EQ(Overflow(), (std::vector<TControl*>{D}));
    EXPECT_EQ(C->Left(), 9 + 64 + 10);
    RowLength(300);
    EXPECT_TRUE(Overflow().empty());
    EXPECT_EQ(D->Left(), 9 + 96 + 10);
}

TEST_F(OverflowTest, ArrangeOrderDecidesWhatStaysVisible) {
    // A clicked control moves to the front of the keep-visible order.
    Driver.Click(D);
    EXPECT_EQ(Bar->ArrangeOrder().front(), D);
    RowLength(130);
    EXPECT_EQ(Overflow(), (std::vector<TControl*>{C}));
    RowLength(100);
    EXPECT_EQ(Overflow(), (std::vector<TControl*>{C, B}));
    // Clicking an overflowing control brings it back.
    Bar->PromoteOverflowButton(B);
    EXPECT_EQ(Bar->ArrangeOrder().front(), B);
    EXPECT_FALSE(Bar->InOverflow(B));
}

TEST_F(OverflowTest, FullSizeShowsEverything) {
    RowLength(100);
    ASSERT_FALSE(Overflow().empty());
    Bar->SetFullSize(true);
    EXPECT_TRUE(Overflow().empty());
}

// ---- Buttons ----

struct ButtonCase {
    const char* name;
    int groupIndex;
    bool allowAllUp;
    TKvxToolButtonStyle style;
    // Clicks on button 0 or 1, and after each the Down state of both.
    std::vector<int> clicks;
    std::vector<std::pair<bool, bool>> downs;
};

TEST_F(ToolBarTest, GroupAndCheckButtonsTable) {
    const ButtonCase cases[] = {
        {"group, all up", 1, true, tasButton, {0, 1, 1}, {{true, false}, {false, true}, {false, false}}},
        {"group", 1, false, tasButton, {0, 0, 1}, {{true, false}, {true, false}, {false, true}}},
        {"push", 0, false, tasButton, {0, 1}, {{false, false}, {false, false}}},
        {"check", 0, false, tasCheck, {0, 1, 0}, {{true, false}, {true, true}, {false, true}}},
    };
    for (const ButtonCase& c : cases) {
        SCOPED_TRACE(c.name);
        TKvxToolBar* bar = NewToolBar(Form, std::string("Bar") + std::to_string(c.groupIndex) + c.name[1]);
        TKvxToolBarButton* b[2] = {NewButton(bar), NewButton(bar)};
        int clicks[2] = {0, 0};
        for (int i = 0; i < 2; ++i) {
            b[i]->SetGroupIndex(c.groupIndex);
            b[i]->SetStyle(c.style);
            b[i]->OnClick = [&clicks, i](TObject*) { ++clicks[i]; };
        }
        b[0]->SetAllowAllUp(c.allowAllUp);
        EXPECT_EQ(b[1]->AllowAllUp(), c.allowAllUp) << "group members share AllowAllUp";
        for (size_t k = 0; k < c.clicks.size(); ++k) {
            Driver.Click(b[c.clicks[k]]);
            EXPECT_EQ(b[0]->Down(), c.downs[k].first) << "after click " << k;
            EXPECT_EQ(b[1]->Down(), c.downs[k].second) << "after click " << k;
        }
        EXPECT_EQ(clicks[0] + clicks[1], static_cast<int>(c.clicks.size()));
        delete bar;
    }
}

TEST_F(ToolBarTest, DownFromCodeFollowsTheGroupRules) {
    TKvxToolBar* bar = NewToolBar(Form, "Bar");
    TKvxToolBarButton* push = NewButton(bar);
    push->SetDown(true);
    EXPECT_FALSE(push->Down());
    TKvxToolBarButton* a = NewButton(bar);
    TKvxToolBarButton* b = NewButton(bar);
    a->SetGroupIndex(2);
    b->SetGroupIndex(2);
    a->SetDown(true);
    b->SetDown(true);
    EXPECT_FALSE(a->Down());
    b->SetDown(false);
    EXPECT_TRUE(b->Down()) << "a down group button without AllowAllUp stays down";
}

TEST_F(ToolBarTest, CheckButtonToggledOnReleaseOutsideWithoutClick) {
    TKvxToolBar* bar = NewToolBar(Form, "Bar");
    TKvxToolBarButton* b = NewButton(bar);
    b->SetStyle(tasCheck);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    Driver.Press(TTestDriver::CenterOf(b));
    Driver.Release(TTestDriver::ScreenPoint(b, TPoint(60, 60)));
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(clicks, 0);
}

TEST_F(ToolBarTest, SplitDropDownOpensOnlyFromItsPart) {
    struct Case {
        bool split;
        int x;
        bool dropped;
    } cases[] = {{true, 5, false}, {true, -5, true}, {false, 5, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.split << " " << c.x);
        TKvxToolBar* bar = NewToolBar(Form, "Bar");
        TKvxToolBarButton* b = NewButton(bar);
        b->SetDropDownButton(true);
        b->SetDropDownSplit(c.split);
        ASSERT_EQ(b->Width(), 32 + 12);
        int drops = 0, clicks = 0;
        b->OnDropDown = [&](TObject*) { ++drops; };
        b->OnClick = [&](TObject*) { ++clicks; };
        Driver.Click(b, TPoint(c.x < 0 ? b->Width() + c.x : c.x, 10));
        EXPECT_EQ(drops, c.dropped ? 1 : 0);
        EXPECT_EQ(clicks, c.dropped ? 0 : 1);
        delete bar;
    }
}

TEST_F(ToolBarTest, ImagesSizeButtonsAndTheirRemovalClearsIndexes) {
    TKvxToolBar* bar = NewToolBar(Form, "Bar");
    auto* images = new TImageList(Form);
    images->SetWidth(16);
    images->SetHeight(16);
    bar->SetImages(images);
    auto* b = new TKvxToolBarButton(Form);
    b->SetKvxToolBar(bar);
    b->SetImageIndex(2);
    EXPECT_EQ(b->Width(), 16 + 8);
    delete images;
    EXPECT_EQ(bar->Images(), nullptr);
    EXPECT_EQ(b->ImageIndex(), -1);
}

TEST_F(ToolBarTest, MenuButtonWithoutMenuClicksLikeAPushButton) {
    TKvxToolBar* bar = NewToolBar(Form, "Bar");
    auto* b = new TKvxToolBarMenuButton(Form);
    b->SetCaption("Subtract Frames");
    b->SetShowCaption(true);
    b->SetKvxToolBar(bar);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    Driver.Click(b);
    Driver.Click(b);
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(b->Down());
    EXPECT_GT(b->Width(), 40) << "sized to its caption";
}

TEST_F(ToolBarTest, AcceleratorClicksTheFirstShownEnabledButton) {
    TKvxToolBar* bar = NewToolBar(Form, "Bar");
    bar->SetHintOptionButton("Options");
    std::vector<TKvxToolBarButton*> b;
    int clicks[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        b.push_back(NewButton(bar));
        b[i]->SetCaption(i == 0 ? "&Start" : "&Stop");
        b[i]->OnClick = [&clicks, i](TObject*) { ++clicks[i]; };
    }
    b[0]->SetEnabled(false);
    EXPECT_EQ(bar->Perform(CM_DIALOGCHAR, 's', 0), 1);
    EXPECT_EQ(clicks[0] + clicks[1] * 10 + clicks[2] * 100, 10);
    EXPECT_EQ(bar->Perform(CM_DIALOGCHAR, 'x', 0), 0) << "no button carries it";
    // The right handle's hint.
    THintInfo info;
    info.CursorPos = bar->RightHandleRect().CenterPoint();
    info.HintStr = "toolbar";
    bar->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.HintStr, "Options");
}

TEST_F(ToolBarTest, SeparatorIsAnEtchedLineOrAGap) {
    TKvxToolBar* bar = NewToolBar(Form, "Bar");
    bar->SetShowRightHandle(false);
    TKvxToolBarSeparator* s = NewSeparator(bar);
    TKvxToolBarSeparator* blank = NewSeparator(bar);
    blank->SetSeparatorStyle(ssBlank);
    ASSERT_EQ(bar->Height(), 26);
    EXPECT_EQ(s->BoundsRect().Width(), 10);
    EXPECT_EQ(s->Height(), 22);
    Driver.Pump();
    const TColor shadow = ColorToRGB(clBtnShadow);
    int shadowRun = 0;
    for (int y = 0; y < s->Height(); ++y)
        shadowRun += Driver.Pixel(s, 5, y) == shadow;
    EXPECT_EQ(shadowRun, 16);
    EXPECT_EQ(Driver.Pixel(s, 6, 10), ColorToRGB(clWhite));
    for (int y = 0; y < blank->Height(); ++y)
        EXPECT_NE(Driver.Pixel(blank, 5, y), shadow) << "a blank separator draws nothing";
}

TEST_F(ToolBarTest, DisabledGlyphIsDerivedGrey) {
    TKvxToolBar* bar = NewToolBar(Form, "Bar");
    TKvxToolBarButton* b = NewButton(bar);
    ASSERT_FALSE(b->GlyphDisabled()->Empty());
    // Red (255, 0, 0): (255 / 3) / 2 + 96.
    const TColor grey = b->GlyphDisabled()->Canvas()->Pixels(3, 3);
    EXPECT_EQ(grey, RGB(138, 138, 138));
}

TEST_F(ToolBarTest, HotButtonIsUniqueAndFollowsThePointer) {
    TKvxToolBar* bar = NewToolBar(Form, "Bar");
    TKvxToolBarButton* a = NewButton(bar);
    TKvxToolBarButton* b = NewButton(bar);
    Driver.MoveTo(TTestDriver::CenterOf(a));
    EXPECT_TRUE(a->Hot());
    EXPECT_EQ(bar->HotButton(), a);
    Driver.MoveTo(TTestDriver::CenterOf(b));
    EXPECT_FALSE(a->Hot());
    EXPECT_TRUE(b->Hot());
    Driver.MoveTo(TTestDriver::ScreenPoint(Form, TPoint(600, 250)));
    Driver.Advance(5);
    EXPECT_FALSE(b->Hot());
    EXPECT_EQ(bar->HotButton(), nullptr);
}

} // namespace
