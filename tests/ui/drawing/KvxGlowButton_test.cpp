#include "ui/drawing/DBKvxGlowButton.h"
#include "ui/drawing/KvxGlowButton.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/TextLayout.h"
#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringList.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Edit.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/StandardClasses.h"
#include "tests/ui/drawing/PictureBytes.h"

namespace {

using plat::TColor;
using plat::TPoint;
using plat::TRect;
using ui::TGlowButtonAppearance;
using ui::TKvxCustomGlowButton;
using ui::TKvxGlowButton;

class GlowButtonTest : public ::testing::Test {
protected:
    plat::TForm* MakeForm(TRect bounds = TRect(100, 100, 500, 400)) {
        auto* f = plat::NewForm<plat::TForm>(plat::Application);
        f->SetBoundsRect(bounds);
        return f;
    }
    TKvxGlowButton* AddButton(plat::TWinControl* parent, TRect r, const std::string& caption = "Button") {
        auto* b = new TKvxGlowButton(parent);
        b->SetParent(parent);
        b->SetBoundsRect(r);
        b->SetCaption(caption);
        return b;
    }
    // One flat colour per look, so that a pixel of the face shows exactly which look (and which mix of
    // two looks) was painted.
    static void FlatLooks(TGlowButtonAppearance& a) {
        auto flat = [](TColor c, auto setColor, auto setTo, auto setMirror, auto setMirrorTo, auto setBorder,
                       auto setGradient, auto setGradientMirror, TGlowButtonAppearance& a) {
            (a.*setColor)(c);
            (a.*setTo)(c);
            (a.*setMirror)(c);
            (a.*setMirrorTo)(c);
            (a.*setBorder)(c);
            (a.*setGradient)(ui::ggVertical);
            (a.*setGradientMirror)(ui::ggVertical);
        };
        using A = TGlowButtonAppearance;
        flat(0x204060, &A::SetColor, &A::SetColorTo, &A::SetColorMirror, &A::SetColorMirrorTo,
             &A::SetBorderColor, &A::SetGradient, &A::SetGradientMirror, a);
        flat(0xE0C0A0, &A::SetColorHot, &A::SetColorHotTo, &A::SetColorMirrorHot, &A::SetColorMirrorHotTo,
             &A::SetBorderColorHot, &A::SetGradientHot, &A::SetGradientMirrorHot, a);
        flat(0x00A000, &A::SetColorDown, &A::SetColorDownTo, &A::SetColorMirrorDown, &A::SetColorMirrorDownTo,
             &A::SetBorderColorDown, &A::SetGradientDown, &A::SetGradientMirrorDown, a);
        flat(0xB0B0B0, &A::SetColorDisabled, &A::SetColorDisabledTo, &A::SetColorMirrorDisabled,
             &A::SetColorMirrorDisabledTo, &A::SetBorderColorDisabled, &A::SetGradientDisabled,
             &A::SetGradientMirrorDisabled, a);
        flat(0x0000C0, &A::SetColorChecked, &A::SetColorCheckedTo, &A::SetColorMirrorChecked,
             &A::SetColorMirrorCheckedTo, &A::SetBorderColorChecked, &A::SetGradientChecked,
             &A::SetGradientMirrorChecked, a);
    }
    // Clicks far enough apart that none of them counts as the second half of a double click.
    void Click(plat::TControl* c, TPoint at = TPoint(-1, -1)) {
        Driver.Advance(1000, 50);
        if (at.X < 0)
            Driver.Click(c);
        else
            Driver.Click(c, at);
    }
    plat::TTestDriver Driver;
};

// ---- Colour routines and the colour set --------------------------------------------------------------

TEST(GlowColors, MixAndDarkenPerChannel) {
    struct Case {
        TColor Got, Expected;
    };
    const Case cases[] = {
        {ui::MixColors(0xFFFFFF, 0x000000, 50), 0x808080},  // 127.5 rounds to even 128
        {ui::MixColors(0x0000FF, 0x00FF00, 100), 0x0000FF}, // at or beyond the ends: the colour itself
        {ui::MixColors(0x0000FF, 0x00FF00, 130), 0x0000FF},
        {ui::MixColors(0x0000FF, 0x00FF00, 0), 0x00FF00},
        {ui::MixColors(0x0000FF, 0x00FF00, -5), 0x00FF00},
        {ui::MixColors(0x000064, 0x0000C8, 20), 0x0000B4}, // 0.2*100 + 0.8*200
        {ui::DarkenColor(0xFFFFFF, -10), 0xE6E6E6},
        {ui::DarkenColor(0xFF00FF, 20), 0xFF14FF}, // lightening leaves channels, a zero channel takes 20
        {ui::DarkenColor(0x000000, -10), 0x000000},
        {ui::DarkenColorRGB(0xF5F0E1, -10, -10, 0), 0xF5D8CA},
        {ui::DarkenColorRGB(0xC0C0C0, -5, -5, -5), 0xB6B6B6},
        {ui::DarkenColor(plat::clWindow, -10), 0xE6E6E6}, // system colours are resolved first
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].Got, cases[i].Expected) << "case " << i;
}

TEST(GlowAppearance, DefaultsAndChangeNotifications) {
    TGlowButtonAppearance a;
    EXPECT_EQ(a.ColorDown(), 0xF5D8CA);
    EXPECT_EQ(a.ColorCheckedTo(), ui::DarkenColorRGB(0xF9D2B2, -10, -10, 0));
    EXPECT_EQ(a.ColorMirrorDisabled(), 0xB6B6B6);
    EXPECT_EQ(a.ColorDisabled(), 0xF2F2F2);
    EXPECT_EQ(a.GradientMirrorChecked(), ui::ggVertical);
    EXPECT_TRUE(a.SystemFont());

    int changes = 0;
    a.OnChange = [&](plat::TObject*) { ++changes; };
    a.SetColorHot(a.ColorHot());
    EXPECT_EQ(changes, 0);
    a.SetColorHot(0x123456);
    EXPECT_EQ(changes, 1);

    TGlowButtonAppearance b;
    b.SetBorderColorDisabled(0x010101);
    b.SetGradientHot(ui::ggDiagonalForward);
    b.SetSystemFont(false);
    changes = 0;
    TGlowButtonAppearance target;
    target.OnChange = [&](plat::TObject*) { ++changes; };
    target.Assign(&b);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(target.BorderColorDisabled(), 0x010101);
    EXPECT_EQ(target.GradientHot(), ui::ggDiagonalForward);
    EXPECT_FALSE(target.SystemFont());

    plat::TFont notAnAppearance;
    EXPECT_THROW(target.Assign(&notAnAppearance), std::exception);
}

TEST_F(GlowButtonTest, StylesWriteTheirSchemesAndCustomKeepsColours) {
    auto* form = MakeForm();
    auto* b = AddButton(form, TRect(10, 10, 110, 51));
    b->ApplyStyle(ui::tsOffice2007Luna);
    EXPECT_EQ(b->Appearance()->BorderColorChecked(), 0x45667B);
    EXPECT_EQ(b->Appearance()->Color(), 0xEEDBC8);
    EXPECT_EQ(b->Appearance()->GradientHot(), ui::ggVertical);
    // The Office 2003 schemes leave the checked border as it was.
    b->ApplyStyle(ui::tsOffice2003Blue);
    EXPECT_EQ(b->Appearance()->BorderColorChecked(), 0x45667B);
    b->ApplyStyle(ui::tsWindowsXP);
    EXPECT_EQ(b->Appearance()->BorderColorHot(), TColor(0x8000000D));
    EXPECT_EQ(b->Appearance()->ColorChecked(), 0xB9D8DC);
    EXPECT_EQ(b->Appearance()->BorderColorChecked(), 0x000000);

    b->Appearance()->SetColor(0x0A0B0C);
    int changes = 0;
    b->Appearance()->OnChange = [&](plat::TObject*) { ++changes; };
    b->ApplyStyle(ui::tsCustom);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(b->Appearance()->Color(), 0x0A0B0C);
    // No scheme touches the disabled look.
    EXPECT_EQ(b->Appearance()->ColorMirrorDisabled(), 0xB6B6B6);
    // The style reaches the button through the suite's interface.
    ui::IStyleable* styleable = dynamic_cast<ui::IStyleable*>(static_cast<plat::TComponent*>(b));
    ASSERT_NE(styleable, nullptr);
    styleable->ApplyStyle(ui::tsOffice2007Silver);
    EXPECT_EQ(b->Appearance()->Color(), 0xF3F3F1);
}

TEST_F(GlowButtonTest, ConstructorValuesAndVersion) {
    TKvxGlowButton b(nullptr);
    EXPECT_EQ(b.Width(), 100);
    EXPECT_EQ(b.Height(), 41);
    EXPECT_EQ(b.NotesFont()->Name(), "Tahoma");
    EXPECT_EQ(b.NotesFont()->Size(), 8);
    EXPECT_EQ(b.ImageIndex(), -1);
    EXPECT_TRUE(b.Rounded());
    EXPECT_TRUE(b.DropDownSplit());
    EXPECT_EQ(b.AntiAlias(), ui::aaClearType);
    EXPECT_EQ(b.Version(), "1.8.1.9");
    plat::SetStrProp(&b, "Version", "9.9.9.9");
    EXPECT_EQ(b.Version(), "1.8.1.9");
    EXPECT_EQ(ui::FadeTimerInterval, 30);
}

// ---- Face renderer -----------------------------------------------------------------------------------

TEST(GlowFace, MeasuringAndLineMarks) {
    plat::TBitmap bmp;
    bmp.SetSize(100, 41);
    plat::TFont font;
    font.SetName("Tahoma");
    font.SetSize(8);
    ui::TGlowFaceParams p;
    p.R = TRect(0, 0, 100, 41);
    p.Look = ui::TGlowButtonAppearance().Look(ui::glNormal);
    p.Font = &font;
    p.AntiAlias = ui::aaNone;
    p.MeasureOnly = true;
    // Nothing to show needs no room, yet the background is painted even while measuring.
    EXPECT_EQ(ui::DrawGlowButtonFace(bmp.Canvas(), p), TPoint(0, 0));
    EXPECT_NE(bmp.Canvas()->Pixels(50, 20), plat::clBlack);

    p.Caption = "One";
    const TPoint one = ui::DrawGlowButtonFace(bmp.Canvas(), p);
    p.Caption = "One\\nTwo";
    const TPoint two = ui::DrawGlowButtonFace(bmp.Canvas(), p);
    EXPECT_GT(two.Y, one.Y + one.Y / 2) << "the marks break the caption into two lines";
    p.GlyphSize = TPoint(16, 16);
    const TPoint joined = ui::DrawGlowButtonFace(bmp.Canvas(), p);
    EXPECT_EQ(joined.Y, one.Y) << "with a fixed glyph size the caption stays on one line";
    EXPECT_GT(joined.X, one.X);

    // Notes lay the face out glyph-left-adjusted and add their height.
    p.GlyphSize = TPoint(0, 0);
    p.Caption = "One";
    p.Layout = ui::blGlyphTop;
    plat::TStringList notes;
    notes.Add("A longer second text");
    p.Notes = &notes;
    p.NotesFont = &font;
    const TPoint withNotes = ui::DrawGlowButtonFace(bmp.Canvas(), p);
    EXPECT_GT(withNotes.Y, one.Y);
    EXPECT_GT(withNotes.X, one.X);
}

TEST(GlowFace, SplitFaceDarkensThePartNotUnderThePointer) {
    plat::TBitmap bmp;
    bmp.SetSize(100, 41);
    ui::TGlowFaceParams p;
    p.R = TRect(0, 0, 100, 41);
    p.Look = {0x808080, 0x808080, 0x808080, 0x808080, 0x808080, ui::ggVertical, ui::ggVertical};
    p.DropDownButton = true;
    p.SplitLook = true;
    p.DropDownSplit = true;
    p.DropDownState = 2;
    ui::DrawGlowButtonFace(bmp.Canvas(), p);
    EXPECT_EQ(bmp.Canvas()->Pixels(40, 30), 0x808080);
    EXPECT_EQ(bmp.Canvas()->Pixels(94, 30), ui::DarkenColor(0x808080, -10));
    p.DropDownState = 1;
    ui::DrawGlowButtonFace(bmp.Canvas(), p);
    EXPECT_EQ(bmp.Canvas()->Pixels(40, 30), ui::DarkenColor(0x808080, -10));
    EXPECT_EQ(bmp.Canvas()->Pixels(94, 30), 0x808080);
}

// ---- Fades -------------------------------------------------------------------------------------------

TEST_F(GlowButtonTest, HoverFadesInFiveStepsAndBack) {
    auto* form = MakeForm();
    auto* b = AddButton(form, TRect(10, 10, 110, 51), "");
    FlatLooks(*b->Appearance());
    form->Show();
    Driver.Pump();
    const TPoint probe(50, 20);
    const TColor normal = 0x204060, hot = 0xE0C0A0;
    EXPECT_EQ(Driver.Pixel(b, probe.X, probe.Y), normal);

    Driver.MoveTo(plat::TTestDriver::ScreenPoint(b, probe));
    for (int pct : {20, 40, 60, 80, 100}) {
        Driver.Advance(ui::FadeTimerInterval, ui::FadeTimerInterval);
        EXPECT_EQ(b->HotPercent(), pct);
        EXPECT_EQ(Driver.Pixel(b, probe.X, probe.Y), ui::MixColors(hot, normal, pct)) << pct << " %";
    }
    Driver.Advance(ui::FadeTimerInterval, ui::FadeTimerInterval);
    EXPECT_FALSE(b->FadeRunning()) << "one more tick ends the fade";
    EXPECT_EQ(Driver.Pixel(b, probe.X, probe.Y), hot);

    Driver.MoveTo(TPoint(5, 5));
    for (int pct : {80, 60, 40, 20, 0}) {
        Driver.Advance(ui::FadeTimerInterval, ui::FadeTimerInterval);
        EXPECT_EQ(b->HotPercent(), pct);
        EXPECT_EQ(Driver.Pixel(b, probe.X, probe.Y), ui::MixColors(hot, normal, pct)) << pct << " %";
    }
    Driver.Advance(ui::FadeTimerInterval * 3, ui::FadeTimerInterval);
    EXPECT_FALSE(b->FadeRunning());
    EXPECT_EQ(Driver.Pixel(b, probe.X, probe.Y), normal);
}

TEST_F(GlowButtonTest, HoverFadeInvalidatesOnlyTheButton) {
    UI_HEADLESS_ONLY(Driver);
    auto* form = MakeForm();
    auto* b = AddButton(form, TRect(10, 10, 110, 51));
    auto* other = AddButton(form, TRect(150, 10, 250, 51), "Other");
    form->Show();
    Driver.Pump();
    Driver.MoveTo(plat::TTestDriver::ScreenPoint(b, TPoint(50, 20)));
    for (int frame = 0; frame < 10; ++frame) {
        Driver.Clock().Advance(ui::FadeTimerInterval);
        // Let the timer fire without painting, then look at what waits to be painted.
        plat::TMsg msg;
        while (plat::PeekMessage(msg, nullptr, plat::WM_TIMER, plat::WM_TIMER, plat::PM_REMOVE))
            plat::DispatchMessage(msg);
        TRect pending;
        EXPECT_FALSE(plat::GetUpdateRect(form->Handle(), &pending, false)) << "frame " << frame;
        EXPECT_FALSE(plat::GetUpdateRect(other->Handle(), &pending, false)) << "frame " << frame;
        Driver.Pump();
    }
}

TEST_F(GlowButtonTest, PressFadeMixesDownIntoHot) {
    auto* form = MakeForm();
    auto* b = AddButton(form, TRect(10, 10, 110, 51), "");
    FlatLooks(*b->Appearance());
    form->Show();
    Driver.Pump();
    const TPoint at = plat::TTestDriver::ScreenPoint(b, TPoint(50, 20));
    Driver.MoveTo(at);
    Driver.Advance(ui::FadeTimerInterval * 7, ui::FadeTimerInterval);
    Driver.Press(at);
    for (int pct : {20, 40}) {
        Driver.Advance(ui::FadeTimerInterval, ui::FadeTimerInterval);
        EXPECT_EQ(b->DownPercent(), pct);
        EXPECT_EQ(Driver.Pixel(b, 50, 20), ui::MixColors(0x00A000, 0xE0C0A0, pct));
    }
    Driver.Release(at);
    Driver.Advance(ui::FadeTimerInterval * 6, ui::FadeTimerInterval);
    EXPECT_EQ(b->DownPercent(), 0);
    EXPECT_EQ(Driver.Pixel(b, 50, 20), 0xE0C0A0);
}

TEST_F(GlowButtonTest, DisabledAndTransparentLooks) {
    auto* form = MakeForm();
    form->SetColor(0x3070F0);
    auto* b = AddButton(form, TRect(10, 10, 110, 51), "");
    FlatLooks(*b->Appearance());
    form->Show();
    Driver.Pump();
    b->SetEnabled(false);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(b, 50, 20), 0xB0B0B0);
    b->SetShowDisabled(false);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(b, 50, 20), 0x204060) << "without the disabled look the normal one shows";
    b->SetEnabled(true);
    b->SetTransparent(true);
    b->Invalidate();
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(b, 50, 20), 0x3070F0) << "the parent shows through a transparent button at rest";
    Driver.MoveTo(plat::TTestDriver::ScreenPoint(b, TPoint(50, 20)));
    Driver.Advance(ui::FadeTimerInterval * 7, ui::FadeTimerInterval);
    EXPECT_EQ(Driver.Pixel(b, 50, 20), 0xE0C0A0) << "hovered, the face is painted";
}

// ---- Input -------------------------------------------------------------------------------------------

TEST_F(GlowButtonTest, DropDownZonesOfASplitButton) {
    auto* form = MakeForm();
    auto* b = AddButton(form, TRect(10, 10, 110, 51));
    b->SetDropDownButton(true);
    int dropDowns = 0, clicks = 0;
    b->OnDropDown = [&](plat::TObject*) { ++dropDowns; };
    b->OnClick = [&](plat::TObject*) { ++clicks; };
    form->Show();
    Driver.Pump();

    struct Case {
        int X;
        bool Opens;
        bool ZoneHot;
    };
    for (const Case& c : {Case{87, false, false}, Case{88, true, false}, Case{89, true, true}}) {
        const TPoint at = plat::TTestDriver::ScreenPoint(b, TPoint(c.X, 20));
        Driver.MoveTo(at);
        Driver.MoveTo(TPoint(at.X, at.Y + 1));
        EXPECT_EQ(b->DropDownHot(), c.ZoneHot) << "hover at " << c.X;
        const int before = dropDowns, clicksBefore = clicks;
        Driver.Press(at);
        EXPECT_EQ(dropDowns - before, c.Opens ? 1 : 0) << "press at " << c.X;
        EXPECT_EQ(b->PaintState(),
                  c.Opens ? TKvxCustomGlowButton::psNormal : TKvxCustomGlowButton::psPressed);
        Driver.Release(at);
        EXPECT_EQ(clicks - clicksBefore, c.Opens ? 0 : 1)
            << "a drop-down press is no click; release at " << c.X;
    }

    // Without a split part a press anywhere drops down, unless the button belongs to a group.
    b->SetDropDownSplit(false);
    Click(b, TPoint(20, 20));
    EXPECT_EQ(dropDowns, 3);
    b->SetGroupIndex(1);
    Click(b, TPoint(20, 20));
    EXPECT_EQ(dropDowns, 3);
    EXPECT_TRUE(b->Down());
}

TEST_F(GlowButtonTest, DropDownMenuOpensBelowAndMayFreeTheButton) {
    auto* form = MakeForm();
    auto* b = AddButton(form, TRect(10, 10, 110, 51));
    b->SetDropDownButton(true);
    auto* menu = new plat::TPopupMenu(form);
    auto* item = new plat::TMenuItem(form);
    item->SetCaption("&Remove");
    menu->Items()->Add(item);
    b->SetDropDownMenu(menu);
    std::vector<std::string> log;
    b->OnDropDown = [&](plat::TObject*) { log.push_back("drop down"); };
    item->OnClick = [&](plat::TObject*) {
        log.push_back("item");
        delete b; // the chosen command removes the button that offered it
    };
    form->Show();
    Driver.Pump();
    const TPoint below = plat::TTestDriver::ScreenPoint(b, TPoint(0, 41));
    plat::SetMenuLoopHook([&](plat::TMenu*) {
        log.push_back(b->DroppedDown() ? "shown, dropped down" : "shown");
        EXPECT_EQ(menu->PopupPoint(), below);
        Driver.PressKey('R');
    });
    plat::ScopeGuard unhook([] { plat::SetMenuLoopHook(nullptr); });
    Driver.Press(plat::TTestDriver::ScreenPoint(b, TPoint(95, 20)));
    Driver.Pump();
    EXPECT_EQ(log, (std::vector<std::string>{"drop down", "shown, dropped down", "item"}));
    EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(GlowButtonTest, PressedLookFollowsThePointerWhileHeld) {
    auto* form = MakeForm();
    auto* b = AddButton(form, TRect(10, 10, 110, 51));
    form->Show();
    Driver.Pump();
    const TPoint inside = plat::TTestDriver::ScreenPoint(b, TPoint(50, 20));
    Driver.MoveTo(inside);
    Driver.Press(inside);
    EXPECT_EQ(b->PaintState(), TKvxCustomGlowButton::psPressed);
    Driver.MoveTo(plat::TTestDriver::ScreenPoint(b, TPoint(50, 80)));
    EXPECT_EQ(b->PaintState(), TKvxCustomGlowButton::psNormal);
    Driver.MoveTo(inside);
    EXPECT_EQ(b->PaintState(), TKvxCustomGlowButton::psPressed) << "coming back resumes the pressed look";
    Driver.Release(inside);
    EXPECT_EQ(b->PaintState(), TKvxCustomGlowButton::psNormal);

    // A button an owner showed pressed comes up when told it is not down.
    b->ClickFromKeyboard();
    b->SetDown(false);
    EXPECT_EQ(b->PaintState(), TKvxCustomGlowButton::psNormal);
}

TEST_F(GlowButtonTest, ReleaseOnTheRowBelowStillCountsAsInside) {
    auto* form = MakeForm();
    struct Case {
        int Y;
        bool Down;
    };
    int i = 0;
    for (const Case& c : {Case{40, true}, Case{41, true}, Case{42, false}}) {
        auto* b = AddButton(form, plat::Bounds(10 + 110 * i, 10, 100, 41));
        b->SetGroupIndex(5 + i++);
        b->SetAllowAllUp(true);
        form->Show();
        Driver.Pump();
        Driver.Advance(1000, 50);
        Driver.Drag(b, TPoint(50, 20), TPoint(50, c.Y));
        EXPECT_EQ(b->Down(), c.Down) << "release at y = " << c.Y;
    }
}

TEST_F(GlowButtonTest, GroupOfThreeKeepsOneDown) {
    auto* form = MakeForm();
    TKvxGlowButton* g[3];
    for (int i = 0; i < 3; ++i) {
        g[i] = AddButton(form, TRect(10 + 100 * i, 10, 100 + 100 * i, 51), "G" + std::to_string(i));
        g[i]->SetGroupIndex(1);
    }
    auto* loner = AddButton(form, TRect(10, 100, 110, 141), "Loner");
    loner->SetGroupIndex(2);
    loner->SetDown(true);
    form->Show();
    Driver.Pump();
    auto downs = [&] { return std::vector<bool>{g[0]->Down(), g[1]->Down(), g[2]->Down()}; };

    g[0]->SetDown(true);
    EXPECT_EQ(downs(), (std::vector<bool>{true, false, false}));
    Click(g[1]);
    EXPECT_EQ(downs(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(g[1]->PaintState(), TKvxCustomGlowButton::psLatched);
    EXPECT_TRUE(loner->Down()) << "another group is left alone";
    Click(g[1]);
    EXPECT_EQ(downs(), (std::vector<bool>{false, true, false})) << "a down member cannot raise itself";
    for (auto* b : g)
        b->SetAllowAllUp(true);
    Click(g[1]);
    EXPECT_EQ(downs(), (std::vector<bool>{false, false, false}));
    Click(g[2]);
    EXPECT_EQ(downs(), (std::vector<bool>{false, false, true}));
}

TEST_F(GlowButtonTest, CheckButtonTogglesAndReleaseOutsideUndoes) {
    auto* form = MakeForm();
    auto* b = AddButton(form, TRect(10, 10, 110, 51));
    b->SetStyle(ui::bsCheck);
    form->Show();
    Driver.Pump();
    Click(b);
    EXPECT_TRUE(b->Down());
    Click(b);
    EXPECT_FALSE(b->Down());
    Driver.Drag(b, TPoint(50, 20), TPoint(200, 200));
    EXPECT_FALSE(b->Down()) << "a press toggles at once, a release outside toggles back";
    // A push button outside a group never stays down.
    auto* push = AddButton(form, TRect(10, 100, 110, 141));
    push->SetDown(true);
    EXPECT_FALSE(push->Down());
}

TEST_F(GlowButtonTest, RepeatClickWhileHeld) {
    auto* form = MakeForm();
    auto* b = AddButton(form, TRect(10, 10, 110, 51));
    b->SetRepeatClick(true);
    int clicks = 0;
    b->OnClick = [&](plat::TObject*) { ++clicks; };
    form->Show();
    Driver.Pump();
    const TPoint at = plat::TTestDriver::CenterOf(b);
    Driver.MoveTo(at);
    Driver.Press(at);
    Driver.Advance(399, 1);
    EXPECT_EQ(clicks, 0);
    Driver.Advance(1, 1);
    EXPECT_EQ(clicks, 1) << "first repeat after the initial pause";
    Driver.Advance(99, 1);
    EXPECT_EQ(clicks, 1);
    Driver.Advance(1, 1);
    EXPECT_EQ(clicks, 2);
    Driver.Advance(300, 1);
    EXPECT_EQ(clicks, 5);
    Driver.Release(at);
    EXPECT_EQ(clicks, 6) << "the release clicks once more";
    Driver.Advance(1000, 10);
    EXPECT_EQ(clicks, 6) << "repeating stops with the release";
}

TEST_F(GlowButtonTest, RepeatStopsWhenAClickRaises) {
    auto* form = MakeForm();
    auto* b = AddButton(form, TRect(10, 10, 110, 51));
    b->SetRepeatClick(true);
    int clicks = 0;
    b->OnClick = [&](plat::TObject*) {
        ++clicks;
        throw plat::Exception("refused");
    };
    form->Show();
    Driver.Pump();
    plat::Application->OnException = [](plat::TObject*, const std::exception&) {};
    const TPoint at = plat::TTestDriver::CenterOf(b);
    Driver.Press(at);
    Driver.Advance(1000, 1);
    EXPECT_EQ(clicks, 1);
    Driver.Release(at);
    plat::Application->OnException = nullptr;
}

TEST_F(GlowButtonTest, EnterAndEscapeWhileAnEditHasTheFocus) {
    auto* dialog = MakeForm();
    auto* edit = new plat::TEdit(dialog);
    edit->SetParent(dialog);
    edit->SetBoundsRect(TRect(10, 10, 150, 31));
    auto* ok = AddButton(dialog, TRect(10, 50, 110, 91), "OK");
    ok->SetDefault(true);
    ok->SetModalResult(plat::mrOk);
    auto* cancel = AddButton(dialog, TRect(120, 50, 220, 91), "Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(plat::mrCancel);
    auto* other = AddButton(dialog, TRect(230, 50, 330, 91), "&Other");
    other->SetTabStop(true);
    other->SetModalResult(plat::mrRetry);
    int okClicks = 0;
    ok->OnClick = [&](plat::TObject*) { ++okClicks; };
    dialog->SetActiveControl(edit);

    Driver.AnswerNextModal([&](plat::TCustomForm&) {
        Driver.Type("x");
        Driver.PressKey(plat::VK_RETURN);
    });
    EXPECT_EQ(dialog->ShowModal(), plat::mrOk);
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(ok->PaintState(), TKvxCustomGlowButton::psNormal) << "the keyboard press comes back up";

    Driver.AnswerNextModal([&](plat::TCustomForm&) { Driver.PressKey(plat::VK_ESCAPE); });
    EXPECT_EQ(dialog->ShowModal(), plat::mrCancel);

    // With another glow button focused, Enter presses that one instead of the default.
    Driver.AnswerNextModal([&](plat::TCustomForm&) {
        other->SetFocus();
        Driver.PressKey(plat::VK_RETURN);
    });
    EXPECT_EQ(dialog->ShowModal(), plat::mrRetry);
    EXPECT_EQ(okClicks, 1);

    // A button made default while the dialog shows takes Enter at once.
    Driver.AnswerNextModal([&](plat::TCustomForm&) {
        edit->SetFocus();
        ok->SetDefault(false);
        cancel->SetDefault(true);
        Driver.PressKey(plat::VK_RETURN);
    });
    EXPECT_EQ(dialog->ShowModal(), plat::mrCancel);
    EXPECT_EQ(okClicks, 1);

    // The accelerator clicks too.
    Driver.AnswerNextModal([&](plat::TCustomForm&) {
        edit->SetFocus();
        Driver.PressKey('O', plat::modAlt);
    });
    EXPECT_EQ(dialog->ShowModal(), plat::mrRetry);
}

TEST_F(GlowButtonTest, SpaceOnAFocusedButtonFiresOnClickOnce) {
    auto* form = MakeForm();
    auto* b = AddButton(form, TRect(10, 10, 110, 51));
    b->SetTabStop(true);
    int clicks = 0, internal = 0;
    b->OnClick = [&](plat::TObject*) { ++clicks; };
    b->OnInternalClick = [&](plat::TObject*) { ++internal; };
    form->Show();
    Driver.Pump();
    b->SetFocus();
    Driver.PressKey(plat::VK_SPACE);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(internal, 0) << "the key press fires OnClick without the click operation";
    EXPECT_EQ(b->PaintState(), TKvxCustomGlowButton::psNormal);
}

// ---- Assign --------------------------------------------------------------------------------------------

TEST_F(GlowButtonTest, AssignSharesImageListsInsteadOfCopyingThem) {
    auto* form = MakeForm();
    auto* images = new plat::TImageList(form);
    plat::TBitmap glyph;
    glyph.SetSize(16, 16);
    images->AddMasked(&glyph, plat::clFuchsia);
    auto* hot = new plat::TImageList(form);
    auto* src = AddButton(form, TRect(10, 10, 110, 51), "Source");
    src->SetImages(images);
    src->SetHotImages(hot);
    src->SetImageIndex(0);
    src->SetSpacing(7);
    src->Notes()->Add("note");
    auto* dst = AddButton(form, TRect(10, 60, 110, 101), "Target");
    auto* dstOwnList = new plat::TImageList(form);
    dst->SetDisabledImages(dstOwnList);

    dst->Assign(src); // the target has no lists of its own for two of them, and one the source lacks
    EXPECT_EQ(dst->Images(), images);
    EXPECT_EQ(dst->HotImages(), hot);
    EXPECT_EQ(dst->DisabledImages(), nullptr);
    EXPECT_EQ(images->Count(), 1) << "the shared list is not filled again";
    EXPECT_EQ(dstOwnList->Count(), 0);
    EXPECT_EQ(dst->Caption(), "Source");
    EXPECT_EQ(dst->Spacing(), 7);
    EXPECT_EQ(dst->Notes()->Count(), 1);

    delete images; // a freed list leaves no dangling reference behind
    EXPECT_EQ(dst->Images(), nullptr);
    EXPECT_EQ(src->Images(), nullptr);
}

// ---- Sizes and key tips --------------------------------------------------------------------------------

TEST_F(GlowButtonTest, AutoSizeFollowsGlyphCaptionAndDropDown) {
    auto* form = MakeForm();
    auto* images = new plat::TImageList(form);
    plat::TBitmap glyph;
    glyph.SetSize(16, 16);
    images->AddMasked(&glyph, plat::clFuchsia);
    auto* b = AddButton(form, TRect(10, 10, 110, 51), "Caption");
    b->SetAntiAlias(ui::aaNone); // measured as the canvas measures it
    b->SetImages(images);
    b->SetImageIndex(0);
    form->Show();
    Driver.Pump();
    b->SetAutoSize(true);
    Driver.Pump();

    plat::TCanvas* c = b->Canvas();
    plat::TFont font;
    font.Assign(b->Font());
    font.SetName(ui::IsVistaOrLater() ? "Segoe UI" : "Tahoma");
    c->Font()->Assign(&font);
    TRect tr(0, 0, 4096, 0);
    const int textH = plat::DrawText(*c->Handle(), "Caption", tr, plat::DT_CALCRECT | plat::DT_WORDBREAK);
    const int textW = tr.Width();
    // Glyph 16 plus the spacing 2 beside the caption; three spacings, two margins and 2 around.
    const int width = 3 * 2 + (textW + 18 + 2) + 2 * 1 + 2;
    const int height = 2 * 2 + std::max(18, textH + 2) + 2 * 1;
    EXPECT_EQ(b->Width(), width);
    EXPECT_EQ(b->Height(), height);
    EXPECT_EQ(b->CalcSizeForState(ui::bsLarge), TPoint(width, height));

    b->SetDropDownButton(true);
    b->UpdateSize();
    Driver.Pump();
    EXPECT_EQ(b->Width(), width + 13);
    b->SetDropDownPosition(ui::dpBottom);
    b->UpdateSize();
    Driver.Pump();
    EXPECT_EQ(b->Width(), width);
    EXPECT_EQ(b->Height(), height + 13);

    // The owner may adjust the measured size.
    b->OnInternalAutoSize = [](plat::TObject*, int& w, int& h) {
        w += 5;
        h = 30;
    };
    b->UpdateSize();
    Driver.Pump();
    EXPECT_EQ(b->Width(), width + 5);
    EXPECT_EQ(b->Height(), 30);
}

TEST_F(GlowButtonTest, PictureGlyphAtItsSizeAndShrunkToSixteen) {
    auto* form = MakeForm();
    auto* b = AddButton(form, TRect(10, 10, 110, 51), "");
    auto red = drawingtest::MakeBitmap(32, 32, plat::clRed);
    const drawingtest::TBytes png = drawingtest::Encoded<plat::TPngImage>(*red);
    plat::TMemoryStream bytes;
    bytes.Write(png.data(), int64_t(png.size()));
    b->Picture()->LoadFromStream(bytes);
    form->Show();
    Driver.Pump();
    // Alone on the face, the glyph is centred at its own size: x 34 to 65, y 4 to 35.
    for (int x : {34, 65})
        EXPECT_EQ(Driver.Pixel(b, x, 20), plat::clRed) << x;
    for (int x : {33, 66})
        EXPECT_NE(Driver.Pixel(b, x, 20), plat::clRed) << x;
    EXPECT_EQ(Driver.Pixel(b, 50, 4), plat::clRed);
    EXPECT_NE(Driver.Pixel(b, 50, 3), plat::clRed);

    b->SetAutoSize(true);
    // Glyph only: the picture is stretched to 16 x 16 and nothing else needs room.
    EXPECT_EQ(b->CalcSizeForState(ui::bsGlyph), TPoint(3 * 2 + 16 + 2 + 2, 2 * 2 + 16 + 2));
    b->SetButtonSizeState(ui::bsGlyph);
    Driver.Pump();
    EXPECT_EQ(b->Width(), 26);
    EXPECT_EQ(Driver.Pixel(b, 13, 11), plat::clRed);
    EXPECT_NE(Driver.Pixel(b, 13, 2), plat::clRed);
}

TEST_F(GlowButtonTest, SizeStatesSwitchLayoutAndCaption) {
    auto* form = MakeForm();
    auto* b = AddButton(form, TRect(10, 10, 110, 51), "Large caption");
    b->SetLayout(ui::blGlyphTop);
    b->SetAutoSize(true);
    form->Show();
    Driver.Pump();
    const int large = b->Width();
    const TPoint glyphOnly = b->CalcSizeForState(ui::bsGlyph);
    b->SetButtonSizeState(ui::bsGlyph);
    Driver.Pump();
    EXPECT_EQ(b->Layout(), ui::blGlyphLeft);
    EXPECT_LT(b->Width(), large);
    EXPECT_EQ(TPoint(b->Width(), b->Height()), glyphOnly);
    b->SetButtonSizeState(ui::bsLarge);
    Driver.Pump();
    EXPECT_EQ(b->Layout(), ui::blGlyphTop);
    EXPECT_EQ(b->Width(), large);

    // The minimum state pushes a smaller state up, never a larger one down.
    b->SetButtonSizeState(ui::bsGlyph);
    b->SetMinButtonSizeState(ui::bsLabel);
    EXPECT_EQ(b->ButtonSizeState(), ui::bsLabel);
    b->SetButtonSizeState(ui::bsLarge);
    b->SetMinButtonSizeState(ui::bsGlyph);
    b->SetMinButtonSizeState(ui::bsLabel);
    EXPECT_EQ(b->ButtonSizeState(), ui::bsLarge);

    // Without AutoSize the layout and size stay.
    auto* fixed = AddButton(form, TRect(10, 100, 110, 141), "Fixed");
    fixed->SetLayout(ui::blGlyphTop);
    fixed->SetButtonSizeState(ui::bsGlyph);
    Driver.Pump();
    EXPECT_EQ(fixed->Layout(), ui::blGlyphTop);
    EXPECT_EQ(fixed->Width(), 100);
}

TEST_F(GlowButtonTest, OwnerQueriesAndToolbarFields) {
    TKvxGlowButton b(nullptr);
    EXPECT_EQ(b.CornerStyle(), 5);
    EXPECT_EQ(b.LargeButtonHeight(), 41);
    b.OnCornerStyle = [](plat::TObject*, int& style) { style = style == 5 ? 1 : -1; };
    b.OnLargeButtonHeight = [](plat::TObject*, int& h) { h = 66; };
    EXPECT_EQ(b.CornerStyle(), 1);
    EXPECT_EQ(b.LargeButtonHeight(), 66);
    EXPECT_EQ(b.ToolBar, nullptr);
    EXPECT_FALSE(b.CreatedByCustomizer);
}

TEST_F(GlowButtonTest, KeyTipPlacement) {
    auto* form = MakeForm();
    auto* b = AddButton(form, TRect(40, 40, 140, 81), "Tip");
    b->SetShortCutHint("T");
    form->Show();
    Driver.Pump();
    const TPoint p = b->ClientOrigin();
    b->ShowShortCutHint();
    Driver.Pump();
    ui::TShortCutHintWindow* tip = b->ShortCutHintWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->IsHintShowing());
    EXPECT_EQ(tip->ColorTo(), b->Appearance()->Color());
    const int w = tip->Width(), h = tip->Height();
    EXPECT_EQ(tip->Left(), p.X + (100 - w) / 2);
    EXPECT_EQ(tip->Top(), p.Y - h / 2) << "automatic placement is centred over the top edge";

    b->OnInternalShortCutHintPos = [](plat::TObject*, ui::TButtonSizeState, ui::TShortCutHintPos& pos) {
        pos = ui::shpBelowBottomRight;
    };
    b->ShowShortCutHint();
    EXPECT_EQ(tip->Left(), p.X + 100 - w + 1);
    EXPECT_EQ(tip->Top(), p.Y + 41);
    b->Appearance()->SetColor(0x00FFFF);
    EXPECT_EQ(tip->ColorTo(), 0x00FFFF);
    b->HideShortCutHint();
    EXPECT_FALSE(tip->IsHintShowing());
}

// ---- Layouts -------------------------------------------------------------------------------------------

TEST_F(GlowButtonTest, LayoutTextLoadsSavesAndComparesEqual) {
    plat::RegisterStandardClasses();
    const std::string text = "object Form1: TForm\n"
                             "  Left = 0\n"
                             "  Top = 0\n"
                             "  Width = 400\n"
                             "  Height = 300\n"
                             "  object Images1: TImageList\n"
                             "  end\n"
                             "  object Menu1: TPopupMenu\n"
                             "  end\n"
                             "  object Glow1: TKvxGlowButton\n"
                             "    Left = 8\n"
                             "    Top = 8\n"
                             "    Width = 100\n"
                             "    Height = 41\n"
                             "    Caption = 'Save Settings'\n"
                             "    AntiAlias = aaAntiAlias\n"
                             "    Images = Images1\n"
                             "    ImageIndex = 0\n"
                             "    ModalResult = 1\n"
                             "    Notes.Strings = (\n"
                             "      'first'\n"
                             "      'second')\n"
                             "    Position = bpLeft\n"
                             "    ShortCutHintPos = shpBelowBottom\n"
                             "    Trimming = StringTrimmingEllipsisWord\n"
                             "    Version = '1.8.1.9'\n"
                             "    Appearance.ColorHot = clRed\n"
                             "    GroupIndex = 1\n"
                             "    Down = True\n"
                             "    Layout = blGlyphTopAdjusted\n"
                             "    DropDownButton = True\n"
                             "    DropDownPosition = dpBottom\n"
                             "    DropDownMenu = Menu1\n"
                             "  end\n"
                             "  object Glow2: TKvxGlowButton\n"
                             "    Left = 120\n"
                             "    Top = 8\n"
                             "    Width = 100\n"
                             "    Height = 41\n"
                             "    Style = bsCheck\n"
                             "    GroupIndex = 1\n"
                             "    Down = True\n"
                             "  end\n"
                             "end\n";
    auto load = [](const std::string& t) {
        auto* form = plat::NewForm<plat::TForm>(plat::Application);
        plat::ReadComponentFromText(t, form);
        return form;
    };
    plat::TForm* first = load(text);
    auto* glow = dynamic_cast<TKvxGlowButton*>(first->FindComponent("Glow1"));
    ASSERT_NE(glow, nullptr);
    EXPECT_EQ(glow->Images(), first->FindComponent("Images1"));
    EXPECT_EQ(glow->Notes()->Count(), 2);
    EXPECT_EQ(glow->Appearance()->ColorHot(), plat::clRed);
    EXPECT_EQ(glow->Layout(), ui::blGlyphTopAdjusted);
    EXPECT_TRUE(glow->Down()) << "Down is applied again once the group is known";
    const std::string saved = plat::WriteComponentToText(first);
    delete first;
    plat::TForm* second = load(saved);
    EXPECT_EQ(plat::WriteComponentToText(second), saved);
    EXPECT_NE(saved.find("ColorDown = "), std::string::npos)
        << "colours without a stream default are written";
    EXPECT_EQ(saved.find("DoubleBuffered"), std::string::npos);
}

// Every enumeration and set the buttons publish, their colour set's included, comes back from a layout
// text at every value.
TEST(GlowButtonLayout, EveryEnumerationAndSetComesBackAtEveryValue) {
    plat::TTestDriver driver;
    int checked = 0;
    for (const plat::TClassInfo* cls :
         {&TKvxGlowButton::StaticClass(), &ui::TDBKvxGlowButton::StaticClass()}) {
        auto make = [cls] {
            auto* c = static_cast<plat::TComponent*>(cls->Create(nullptr));
            c->SetName("Probe");
            return std::unique_ptr<plat::TComponent>(c);
        };
        auto probe = make();
        std::vector<std::pair<std::string, const plat::TPropInfo*>> props; // holder path ("" or "Appearance")
        for (const plat::TPropInfo* p : plat::GetPropList(*cls))
            if ((p->Kind == plat::pkEnum || p->Kind == plat::pkSet) && p->IsWritable())
                props.push_back({"", p});
        for (const plat::TPropInfo* p : plat::GetPropList(TGlowButtonAppearance::StaticClass()))
            if (p->Kind == plat::pkEnum)
                props.push_back({"Appearance", p});
        for (const auto& [path, prop] : props) {
            const int64_t n = int64_t(prop->Names.size());
            std::vector<int64_t> values;
            for (int64_t v = 0; v < n; ++v)
                values.push_back(prop->Kind == plat::pkEnum ? v : int64_t(1) << v);
            if (prop->Kind == plat::pkSet)
                values.push_back((int64_t(1) << n) - 1);
            for (int64_t v : values) {
                // clang 14 cannot capture a structured binding in a lambda.
                const std::string& holder = path;
                auto holderOf = [&](plat::TComponent* c) -> plat::TObject* {
                    return holder.empty() ? static_cast<plat::TObject*>(c) : plat::GetObjectProp(c, holder);
                };
                auto original = make();
                plat::SetOrdProp(holderOf(original.get()), prop, v);
                const int64_t held = plat::GetOrdProp(holderOf(original.get()), prop);
                const std::string text = plat::WriteComponentToText(original.get());
                auto back = make();
                plat::ReadComponentFromText(text, back.get());
                EXPECT_EQ(plat::GetOrdProp(holderOf(back.get()), prop), held)
                    << cls->Name << " " << path << "." << prop->Name << " = " << v << "\n"
                    << text;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 0);
}

} // namespace
