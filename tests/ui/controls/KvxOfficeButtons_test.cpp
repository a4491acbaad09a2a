// The office check box and radio button driven through the headless display: clicks with either button,
// keys, focus, links, radio groups by GroupIndex, and how every state looks.
#include "ui/controls/KvxOfficeButtons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/rtl/OpenLink.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Panel.h"
#include "platform/ui/StandardClasses.h"

using namespace plat;
using namespace ui;

namespace {

class OfficeButtonsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterStandardClasses();
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 420, 300);
        Form->Show();
        Driver.Pump();
    }

    template <class T> T* Make(TWinControl* Parent, int Top, const std::string& Caption) {
        auto* c = new T(Form);
        c->SetParent(Parent);
        c->SetBounds(10, Top, 160, 20);
        c->SetCaption(Caption);
        Driver.Pump();
        return c;
    }

    // A control that takes the focus away from the one under test.
    TWinControl* Elsewhere() {
        if (!FOther) {
            FOther = Make<TKvxOfficeCheckBox>(Form, 260, "elsewhere");
            FOther->SetTabStop(true);
        }
        return FOther;
    }

    TTestDriver Driver;
    TForm* Form = nullptr;

private:
    TKvxOfficeCheckBox* FOther = nullptr;
};

TEST_F(OfficeButtonsTest, ACheckBoxToggles) {
    // Either mouse button toggles; a read-only box reports the click but keeps its state; a grayed box
    // becomes checked.
    struct Case {
        const char* Name;
        TTestMouseButton Button;
        bool ReadOnly;
        TCheckBoxState Before;
        TCheckBoxState After;
    };
    const Case cases[] = {
        {"left", tbLeft, false, cbUnchecked, cbChecked},
        {"left again", tbLeft, false, cbChecked, cbUnchecked},
        {"right", tbRight, false, cbUnchecked, cbChecked},
        {"read-only", tbLeft, true, cbUnchecked, cbUnchecked},
        {"grayed", tbLeft, false, cbGrayed, cbChecked},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* box = Make<TKvxOfficeCheckBox>(Form, 10, "Show <b>Max</b>");
        box->SetReadOnly(c.ReadOnly);
        box->SetState(c.Before);
        std::vector<TCheckBoxState> seen;
        box->OnClick = [&](TObject* Sender) {
            seen.push_back(static_cast<TKvxOfficeCheckBox*>(Sender)->State());
        };
        Driver.Click(box, TPoint(6, 10), c.Button);
        EXPECT_EQ(box->State(), c.After);
        ASSERT_EQ(seen.size(), 1u) << "one click, fired by the control itself";
        EXPECT_EQ(seen[0], c.After) << "OnClick comes after the state changed";
        EXPECT_FALSE(box->Down());
        box->Free();
        Driver.Pump();
    }
}

TEST_F(OfficeButtonsTest, CheckedFromCodeFiresNoClickAndGrayedReadsUnchecked) {
    auto* box = Make<TKvxOfficeCheckBox>(Form, 10, "Dark frame");
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SetChecked(true);
    EXPECT_TRUE(box->GetChecked());
    EXPECT_EQ(box->State(), cbChecked);
    box->SetChecked(false);
    box->SetState(cbGrayed);
    EXPECT_FALSE(box->GetChecked());
    EXPECT_EQ(clicks, 0);
}

TEST_F(OfficeButtonsTest, PressInsideReleaseOutsideTogglesNothing) {
    auto* box = Make<TKvxOfficeCheckBox>(Form, 10, "Averaging");
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    Driver.Drag(box, TPoint(6, 10), TPoint(200, 10));
    EXPECT_FALSE(box->GetChecked());
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(box->Down()) << "the release lifts the glyph wherever it happens";
    EXPECT_EQ(TTestDriver::FocusedControl(), box) << "the press took the focus";
}

TEST_F(OfficeButtonsTest, SpaceAndAcceleratorToggleACheckBox) {
    auto* box = Make<TKvxOfficeCheckBox>(Form, 10, "&Cursors");
    box->SetTabStop(true);
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SetFocus();
    Driver.Pump();
    Driver.KeyDown(VK_SPACE);
    EXPECT_TRUE(box->Down());
    Driver.KeyUp(VK_SPACE);
    EXPECT_FALSE(box->Down());
    EXPECT_TRUE(box->GetChecked());
    EXPECT_EQ(clicks, 1);

    Elsewhere()->SetFocus();
    Driver.Pump();
    Driver.PressKey('C', modAlt);
    EXPECT_FALSE(box->GetChecked());
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(TTestDriver::FocusedControl(), box) << "a tab stop takes the focus with its accelerator";
}

TEST_F(OfficeButtonsTest, RadiosGroupByGroupIndexAmongSiblings) {
    auto* panel = new TPanel(Form);
    panel->SetParent(Form);
    panel->SetBounds(0, 0, 200, 150);
    std::vector<TKvxOfficeRadioButton*> group;
    for (int i = 0; i < 3; ++i)
        group.push_back(Make<TKvxOfficeRadioButton>(panel, 5 + 25 * i, "Format " + std::to_string(i)));
    auto* other = Make<TKvxOfficeRadioButton>(panel, 80, "Other group");
    other->SetGroupIndex(1);
    other->SetChecked(true);
    auto* outside = Make<TKvxOfficeRadioButton>(Form, 200, "Other parent");
    outside->SetChecked(true);

    for (int pick : {0, 2, 1}) {
        SCOPED_TRACE(pick);
        int clicks = 0;
        group[pick]->OnClick = [&](TObject*) { ++clicks; };
        Driver.Click(group[pick], TPoint(5, 10));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(group[i]->Checked(), i == pick);
        EXPECT_EQ(clicks, 1) << "clicking an unchecked, unfocused radio clicks once";
        EXPECT_TRUE(group[pick]->TabStop()) << "the checked radio is the group's tab stop";
        group[pick]->OnClick = nullptr;
        Elsewhere()->SetFocus();
        Driver.Pump();
    }
    EXPECT_FALSE(group[0]->TabStop());
    EXPECT_TRUE(other->Checked());
    EXPECT_TRUE(outside->Checked());
}

TEST_F(OfficeButtonsTest, TabbingOntoARadioChecksItWithOneClick) {
    auto* first = Make<TKvxOfficeCheckBox>(Form, 10, "before");
    first->SetTabStop(true);
    auto* radio = Make<TKvxOfficeRadioButton>(Form, 40, "Bitmap");
    radio->SetTabStop(true);
    int clicks = 0;
    radio->OnClick = [&](TObject*) { ++clicks; };
    first->SetFocus();
    Driver.Pump();
    Driver.PressKey(VK_TAB);
    EXPECT_EQ(TTestDriver::FocusedControl(), radio);
    EXPECT_TRUE(radio->Checked());
    EXPECT_EQ(clicks, 1);
}

TEST_F(OfficeButtonsTest, ReturnMovesOnWhenItIsATab) {
    auto* a = Make<TKvxOfficeCheckBox>(Form, 10, "first");
    auto* b = Make<TKvxOfficeCheckBox>(Form, 40, "second");
    a->SetTabStop(true);
    b->SetTabStop(true);
    a->SetReturnIsTab(true);
    a->SetFocus();
    Driver.Pump();
    Driver.PressKey(VK_RETURN);
    EXPECT_EQ(TTestDriver::FocusedControl(), b);
}

TEST_F(OfficeButtonsTest, LinksReactOnlyWhileFocused) {
    std::vector<std::string> launched;
    TLinkLauncher previous = SetLinkLauncher([&](const std::string&, const std::vector<std::string>& args) {
        launched.insert(launched.end(), args.begin(), args.end());
        return true;
    });
    auto* box = Make<TKvxOfficeCheckBox>(
        Form, 10, "<a href=\"https://example.org/\">web</a> <a href=\"peaks\">peaks</a>");
    std::vector<std::string> entered, clicked;
    int exits = 0;
    box->OnAnchorEnter = [&](TObject*, const std::string& a) { entered.push_back(a); };
    box->OnAnchorExit = [&](TObject*, const std::string&) { ++exits; };
    box->OnAnchorClick = [&](TObject*, const std::string& a) { clicked.push_back(a); };
    const TPoint overWeb(24, 10), overPeaks(50, 10), overNothing(140, 10);

    Driver.MoveTo(TTestDriver::ScreenPoint(box, overWeb));
    EXPECT_TRUE(entered.empty()) << "an unfocused control ignores its links";
    EXPECT_EQ(box->Cursor(), crDefault);

    box->SetFocus();
    Driver.Pump();
    Driver.MoveTo(TTestDriver::ScreenPoint(box, overPeaks));
    ASSERT_EQ(entered, std::vector<std::string>{"peaks"});
    EXPECT_EQ(box->Cursor(), crHandPoint);
    Driver.MoveTo(TTestDriver::ScreenPoint(box, overNothing));
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(box->Cursor(), crDefault);

    Driver.Click(box, overPeaks);
    EXPECT_EQ(clicked, std::vector<std::string>{"peaks"});
    EXPECT_TRUE(box->GetChecked()) << "the release after a press on a link toggles too";
    Driver.Click(box, overWeb);
    EXPECT_EQ(clicked.size(), 1u) << "a web link goes to the desktop, not to the event";
    EXPECT_NE(std::find(launched.begin(), launched.end(), "https://example.org/"), launched.end());
    EXPECT_FALSE(box->GetChecked());
    SetLinkLauncher(previous);
}

// ---- Looks ---------------------------------------------------------------------------------------------

bool HasColour(const TImageSurface& Image, const TRect& R, TColor Colour) {
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            if (TTestDriver::PixelOf(Image, x, y) == Colour)
                return true;
    return false;
}

// The first row of the glyph column (x 0..12) that shows something other than the parent, which shows
// at the far right.
int FirstGlyphRow(const TImageSurface& Image) {
    const TColor background = TTestDriver::PixelOf(Image, Image.Width() - 1, 0);
    for (int y = 0; y < Image.Height(); ++y)
        for (int x = 0; x < 13; ++x)
            if (TTestDriver::PixelOf(Image, x, y) != background)
                return y;
    return -1;
}

TEST_F(OfficeButtonsTest, TheGlyphStandsWhereButtonVertAlignSays) {
    UI_HEADLESS_ONLY(Driver);
    // In a 40-pixel control; the check box's outermost ring is see-through, the radio's top is not.
    struct Case {
        TTextLayout Layout;
        int CheckRow, RadioRow;
    };
    for (Case c : {Case{tlTop, 5, 4}, Case{tlCenter, 15, 14}, Case{tlBottom, 28, 26}}) {
        SCOPED_TRACE(c.Layout);
        auto* box = Make<TKvxOfficeCheckBox>(Form, 10, "");
        auto* radio = Make<TKvxOfficeRadioButton>(Form, 60, "");
        for (TKvxOfficeButtonControl* b :
             {static_cast<TKvxOfficeButtonControl*>(box), static_cast<TKvxOfficeButtonControl*>(radio)}) {
            b->SetHeight(40);
            b->SetButtonVertAlign(c.Layout);
        }
        Driver.Pump();
        EXPECT_EQ(FirstGlyphRow(*Driver.Render(box)), c.CheckRow);
        EXPECT_EQ(FirstGlyphRow(*Driver.Render(radio)), c.RadioRow);
        box->Free();
        radio->Free();
        Driver.Pump();
    }
}

TEST_F(OfficeButtonsTest, ThePointerOverTheControlLightsTheGlyphAtOnce) {
    UI_HEADLESS_ONLY(Driver);
    auto* box = Make<TKvxOfficeCheckBox>(Form, 10, "Nearest point");
    const TColor frame = Driver.Pixel(box, 1, 8);
    Driver.MoveTo(TTestDriver::ScreenPoint(box, TPoint(100, 10)));
    EXPECT_TRUE(box->Hot());
    const TColor hot = Driver.Pixel(box, 1, 8);
    EXPECT_NE(hot, frame);
    Driver.MoveTo(TTestDriver::ScreenPoint(Form, TPoint(300, 250)));
    EXPECT_FALSE(box->Hot());
    EXPECT_EQ(Driver.Pixel(box, 1, 8), frame);
}

TEST_F(OfficeButtonsTest, EveryStateLooksDifferentAndShowsTheParentAround) {
    UI_HEADLESS_ONLY(Driver);
    Form->SetColor(0x00E0F0E0);
    Form->SetBounds(100, 100, 520, 480);
    Driver.Pump();
    struct Look {
        bool Checked, Hot, Down, Enabled;
    };
    const Look looks[] = {
        {false, false, false, true},  {false, true, false, true},  {false, false, true, true},
        {true, false, false, true},   {true, true, false, true},   {true, false, true, true},
        {false, false, false, false}, {true, false, false, false},
    };
    std::vector<TKvxOfficeButtonControl*> controls;
    int row = 0;
    for (const Look& l : looks) {
        const std::string state = std::string(l.Checked ? "checked" : "unchecked") + (l.Hot ? ", hot" : "") +
                                  (l.Down ? ", pressed" : "") + (l.Enabled ? "" : ", <i>disabled</i>");
        auto* box = Make<TKvxOfficeCheckBox>(Form, 10 + 26 * row, "Check box: " + state);
        box->SetBounds(10, 10 + 26 * row, 240, 22);
        box->SetChecked(l.Checked);
        auto* radio = Make<TKvxOfficeRadioButton>(Form, 10 + 26 * row, "Radio: " + state);
        radio->SetBounds(260, 10 + 26 * row, 240, 22);
        radio->SetGroupIndex(static_cast<uint8_t>(row)); // one radio per group: each keeps its state
        radio->SetChecked(l.Checked);
        for (TKvxOfficeButtonControl* c :
             {static_cast<TKvxOfficeButtonControl*>(box), static_cast<TKvxOfficeButtonControl*>(radio)}) {
            c->SetDown(l.Down);
            c->SetEnabled(l.Enabled);
            if (l.Hot)
                c->Perform(CM_MOUSEENTER, 0, 0);
            controls.push_back(c);
        }
        ++row;
    }
    auto* grayed = Make<TKvxOfficeCheckBox>(Form, 10 + 26 * row, "Check box: grayed");
    grayed->SetBounds(260, 10 + 26 * row, 240, 22);
    grayed->SetState(cbGrayed);
    auto* focused = Make<TKvxOfficeCheckBox>(Form, 10 + 26 * row, "Focused, with a <a href=\"x\">link</a>");
    focused->SetBounds(10, 10 + 26 * row, 240, 22);
    focused->SetTabStop(true);
    focused->SetFocus();
    Driver.Pump();
    for (TKvxOfficeButtonControl* c : controls)
        c->Invalidate();
    Driver.Pump();

    auto shot = Driver.Render(Form);
    TTestDriver::SavePng(*shot, TestOutputDir("controls") + "/office_check_boxes_and_radios.png");

    // Each control's glyph differs from every other glyph of its kind.
    std::vector<std::vector<TColor>> glyphs;
    for (TKvxOfficeButtonControl* c : controls) {
        auto img = Driver.Render(c);
        std::vector<TColor> g;
        for (int y = 4; y < 17; ++y)
            for (int x = 0; x < 13; ++x)
                g.push_back(TTestDriver::PixelOf(*img, x, y));
        glyphs.push_back(g);
        // The corner of the glyph cell is see-through.
        EXPECT_EQ(TTestDriver::PixelOf(*img, 0, 4), Form->Color());
    }
    for (size_t i = 0; i < 12; ++i)
        for (size_t j = i + 2; j < 12; j += 2)
            EXPECT_NE(glyphs[i], glyphs[j]) << "looks " << i / 2 << " and " << j / 2;
    auto grayedImage = Driver.Render(grayed);
    for (int y = 4; y < 17; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(TTestDriver::PixelOf(*grayedImage, x, y), glyphs[0][(y - 4) * 13 + x])
                << "a grayed box shows the unchecked glyph";

    // Disabled captions are embossed: white under gray.
    auto disabled = Driver.Render(controls[12]);
    const TRect caption(16, 4, 200, 20);
    EXPECT_TRUE(HasColour(*disabled, caption, clWhite));
    EXPECT_TRUE(HasColour(*disabled, caption, clGray));
    EXPECT_FALSE(HasColour(*Driver.Render(controls[0]), caption, clWhite));

    // The focus mark: a dotted black line along the caption's top, gone once the focus left.
    auto blackDots = [](const TImageSurface& Image) {
        int n = 0;
        for (int x = 16; x < 60; ++x)
            n += TTestDriver::PixelOf(Image, x, 4) == clBlack;
        return n;
    };
    EXPECT_GE(blackDots(*Driver.Render(focused)), 15);
    EXPECT_EQ(blackDots(*Driver.Render(controls[0])), 0);
    Elsewhere()->SetFocus();
    Driver.Pump();
    const bool dotsGone = blackDots(*Driver.Render(focused)) == 0;
    EXPECT_TRUE(dotsGone) << "leaving repaints without the focus mark";
}

} // namespace
