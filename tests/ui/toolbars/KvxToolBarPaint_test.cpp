#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Surface.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarStylers.h"

using namespace plat;
using namespace ui;
using namespace ui::toolbar;

namespace {

// A button that counts its paints, so a hover can be checked to repaint only what changed.
class CountingButton : public TKvxToolBarButton {
public:
    using TKvxToolBarButton::TKvxToolBarButton;
    int Paints = 0;

protected:
    void Paint() override {
        ++Paints;
        TKvxToolBarButton::Paint();
    }
};

// Channels within a few steps: the faces are gradients that start at the looked-for colour.
::testing::AssertionResult Near(TColor Actual, TColor Expected, int Tolerance = 6) {
    Expected = ColorToRGB(Expected);
    const int d = std::max({std::abs(GetRValue(Actual) - GetRValue(Expected)),
                            std::abs(GetGValue(Actual) - GetGValue(Expected)),
                            std::abs(GetBValue(Actual) - GetBValue(Expected))});
    if (d <= Tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << Actual << " is not near " << Expected;
}

// A small picture per button, so each face is told apart in the PNGs.
std::unique_ptr<TBitmap> Glyph(int i) {
    auto g = std::make_unique<TBitmap>(24, 24);
    TCanvas* c = g->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect(0, 0, 24, 24));
    const TColor colours[] = {RGB(200, 40, 40), RGB(40, 140, 40), RGB(40, 60, 200), RGB(220, 160, 0)};
    c->Brush()->SetColor(colours[i % 4]);
    c->Pen()->SetColor(clBlack);
    if (i % 2)
        c->Ellipse(3, 3, 21, 21);
    else
        c->Rectangle(4 + i % 3, 4, 20, 20 - i % 3);
    return g;
}

// The chart window's dock: "Frames", "Chart" and "Toolbox" with captions and 32-by-32 buttons.
class ChartToolBars : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(50, 50, 730, 200);
        Styler = new TKvxToolBarOfficeStyler(Form);
        Panel = new TKvxDockPanel(Form);
        Panel->SetParent(Form);
        Panel->SetUseRunTimeHeight(true);
        Panel->SetToolBarStyler(Styler);
        const struct {
            const char* name;
            int buttons;
        } bars[] = {{"Frames", 3}, {"Chart", 12}, {"Toolbox", 4}};
        int n = 0;
        for (const auto& b : bars) {
            auto* t = new TKvxToolBar(Form);
            t->SetName(b.name);
            t->SetCaption(b.name);
            t->SetShowCaption(true);
            t->SetParent(Panel);
            for (int i = 0; i < b.buttons; ++i) {
                if (i == 4 || i == 8) {
                    auto* s = new TKvxToolBarSeparator(Form);
                    s->SetKvxToolBar(t);
                }
                auto* button = new CountingButton(Form);
                button->SetGlyph(Glyph(n++).get());
                button->SetKvxToolBar(t);
                Buttons.push_back(button);
            }
            Bars.push_back(t);
        }
        // Side by side in one row.
        int left = 3;
        for (TKvxToolBar* t : Bars) {
            t->SetBounds(left, 1, t->Width(), t->Height());
            left += t->Width() + 2;
        }
        Form->Show();
        Driver.Pump();
    }
    void Save(const std::string& name) {
        auto image = Driver.Render(Panel);
        TTestDriver::SavePng(*image, TestOutputDir("toolbars") + "/" + name);
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TKvxToolBarOfficeStyler* Styler = nullptr;
    TKvxDockPanel* Panel = nullptr;
    std::vector<TKvxToolBar*> Bars;
    std::vector<CountingButton*> Buttons;
};

TEST_F(ChartToolBars, LieInOneRowAndPaintInTwoStyles) {
    ASSERT_EQ(Panel->RowCount(), 1);
    EXPECT_EQ(Bars[0]->Height(), 36 + 16);
    EXPECT_EQ(Panel->Height(), 1 + 52 + 1);
    EXPECT_EQ(Buttons[0]->BoundsRect(), Bounds(9, 18, 32, 32));
    const struct {
        TToolBarStyle style;
        const char* file;
    } styles[] = {{bsOffice2003Blue, "chart_toolbars_2003blue.png"},
                  {bsOffice2007Luna, "chart_toolbars_2007luna.png"}};
    std::vector<TColor> bodies;
    for (const auto& s : styles) {
        SCOPED_TRACE(s.file);
        Styler->SetStyle(s.style);
        Driver.Pump();
        Save(s.file);
        TKvxToolBar* t = Bars[1];
        const TCaptionAppearance* cap = Styler->CaptionAppearance();
        // The caption strip in the caption colour.
        if (cap->CaptionColorTo() == clNone) {
            EXPECT_EQ(Driver.Pixel(t, 40, 1), ColorToRGB(cap->CaptionColor()));
        }
        EXPECT_NE(Driver.Pixel(t, 40, 1), Driver.Pixel(t, 40, 30));
        bodies.push_back(Driver.Pixel(t, 200, 30));
        EXPECT_NE(Driver.Pixel(t, 200, 30), Driver.Pixel(Panel, 1, 30))
            << "the toolbar is painted over the panel";
        // The leading top corner takes the panel's colour.
        EXPECT_EQ(Driver.Pixel(t, 0, 0),
                  Panel->BackgroundBitmap()->Canvas()->Pixels(t->Left() - 1, t->Top() - 1));
    }
    EXPECT_NE(bodies[0], bodies[1]) << "a new style must not leave the old picture";
}

TEST_F(ChartToolBars, HoverRepaintsOnlyTheButtonsWhoseStateChanged) {
    Driver.MoveTo(TTestDriver::CenterOf(Buttons[3]));
    Driver.Pump();
    for (CountingButton* b : Buttons)
        b->Paints = 0;
    std::vector<int64_t> barArea;
    for (TKvxToolBar* t : Bars)
        barArea.push_back(t->PaintedArea());
    // Across ten buttons of the Chart toolbar, one step per button.
    for (int i = 3; i < 13; ++i) {
        Driver.MoveTo(TTestDriver::CenterOf(Buttons[i]));
        Driver.Pump();
    }
    for (size_t i = 0; i < Buttons.size(); ++i) {
        const bool changed = i >= 3 && i < 13;
        // Entered and left: at most one paint each; untouched buttons none.
        if (changed)
            EXPECT_GE(Buttons[i]->Paints, 1) << i;
        else
            EXPECT_EQ(Buttons[i]->Paints, 0) << i;
        EXPECT_LE(Buttons[i]->Paints, 2) << i;
    }
    // The buttons are windowless: their toolbar paints under them, but only there.
    const int64_t face = 32 * 32;
    EXPECT_EQ(Bars[0]->PaintedArea(), barArea[0]);
    EXPECT_EQ(Bars[2]->PaintedArea(), barArea[2]);
    EXPECT_LE(Bars[1]->PaintedArea() - barArea[1], 10 * 2 * face);
    EXPECT_TRUE(Buttons[12]->Hot());
}

TEST_F(ChartToolBars, HotShadedButtonShowsAShadowBehindItsGlyph) {
    CountingButton* b = Buttons[0];
    // The glyph's square covers glyph pixels 4..19, drawn at (4, 4); the shadow lies 2 pixels further.
    const TPoint shadowOnly(4 + 19 + 2, 4 + 19 + 2);
    Driver.MoveTo(TTestDriver::ScreenPoint(Form, TPoint(700, 150)));
    const TColor before = Driver.Pixel(b, shadowOnly.X, shadowOnly.Y);
    EXPECT_NE(before, RGB(128, 128, 128));
    Driver.MoveTo(TTestDriver::CenterOf(b));
    ASSERT_TRUE(b->Hot());
    EXPECT_EQ(Driver.Pixel(b, shadowOnly.X, shadowOnly.Y), RGB(128, 128, 128));
    b->SetShaded(false);
    b->Invalidate();
    Driver.Pump();
    EXPECT_NE(Driver.Pixel(b, shadowOnly.X, shadowOnly.Y), RGB(128, 128, 128));
}

// The camera window's buttons: caption only, a fixed 70 by 21 face, two of them check buttons.
TEST_F(ChartToolBars, FixedSizeCaptionButtonsKeepTheirFace) {
    auto* form = NewForm<TForm>(Application);
    form->SetBounds(100, 400, 400, 80);
    auto* t = new TKvxToolBar(form);
    t->SetParent(form);
    std::vector<TKvxToolBarButton*> b;
    const char* captions[] = {"Start", "Record", "A much longer caption"};
    for (int i = 0; i < 3; ++i) {
        auto* button = new TKvxToolBarButton(form);
        button->SetAutoSize(false);
        button->SetBounds(0, 0, 70, 21);
        button->SetCaption(captions[i]);
        button->SetShowCaption(true);
        button->SetStyle(i < 2 ? tasCheck : tasButton);
        button->SetKvxToolBar(t);
        b.push_back(button);
    }
    form->Show();
    Driver.Pump();
    Driver.Click(b[0]);
    Driver.Pump();
    TTestDriver::SavePng(*Driver.Render(t), TestOutputDir("toolbars") + "/caption_buttons.png");
    for (TKvxToolBarButton* button : b)
        EXPECT_EQ(button->BoundsRect().Width() * 100 + button->Height(), 7021);
    EXPECT_TRUE(b[0]->Down());
    // Some caption ink on every face, the long one cut short inside its face.
    for (TKvxToolBarButton* button : b) {
        int dark = 0;
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 70; ++x) {
                const TColor p = Driver.Pixel(button, x, y);
                dark += GetRValue(p) + GetGValue(p) + GetBValue(p) < 200;
            }
        EXPECT_GT(dark, 10) << button->Caption();
    }
}

TEST_F(ChartToolBars, DestroyedStylerLeavesClientsWithTheirOwn) {
    // A toolbar that picked the styler itself rather than from its panel.
    Bars[2]->SetParentStyler(false);
    Bars[2]->SetToolBarStyler(Styler);
    ASSERT_EQ(Bars[2]->CurrentStyler(), Styler);
    delete Styler;
    Styler = nullptr;
    EXPECT_EQ(Panel->CurrentStyler(), Panel->InternalStyler());
    // Toolbars that follow their panel follow it back to its own styler.
    EXPECT_EQ(Bars[0]->CurrentStyler(), Panel->InternalStyler());
    EXPECT_EQ(Bars[1]->CurrentStyler(), Panel->InternalStyler());
    EXPECT_EQ(Bars[2]->CurrentStyler(), Bars[2]->InternalStyler());
    Panel->Invalidate();
    for (TKvxToolBar* t : Bars)
        t->Invalidate();
    Driver.Pump();
    Save("chart_toolbars_internal_styler.png");
}

TEST_F(ChartToolBars, CornersStayInsideThePanelPicture) {
    TKvxToolBar* t = Bars[0];
    const int bottom = t->Height() - 1;
    // The panel has not painted its picture yet: nothing to blend with, the corner keeps the toolbar's
    // own background instead of a colour read from outside the picture.
    Panel->BackgroundBitmap()->SetSize(0, 0);
    t->Invalidate();
    Driver.Pump();
    EXPECT_TRUE(Near(Driver.Pixel(t, 0, bottom), Driver.Pixel(t, 3, bottom), 8));
    EXPECT_TRUE(Near(Driver.Pixel(t, 0, 0), Driver.Pixel(t, 3, 0), 8));
}

TEST_F(ChartToolBars, RightHandleLightsUpUnderThePointerAndOnlyItRepaints) {
    TKvxToolBar* t = Bars[1];
    const TRect handle = t->RightHandleRect();
    ASSERT_EQ(handle.Width(), 14);
    const TPoint probe(handle.Left + 5, handle.Top + 20);
    const TColor rest = Driver.Pixel(t, probe.X, probe.Y);
    const int64_t area = t->PaintedArea();
    Driver.MoveTo(TTestDriver::ScreenPoint(t, probe));
    EXPECT_TRUE(t->RightHandleHot());
    EXPECT_TRUE(Near(Driver.Pixel(t, probe.X, probe.Y), Styler->RightHandleColorHot(), 40));
    EXPECT_LE(t->PaintedArea() - area, static_cast<int64_t>(handle.Width()) * handle.Height());
    Driver.MoveTo(TTestDriver::ScreenPoint(t, TPoint(handle.Left - 40, 5)));
    EXPECT_FALSE(t->RightHandleHot());
    EXPECT_EQ(Driver.Pixel(t, probe.X, probe.Y), rest);
}

// Without a right handle the caption strip carries an option button that fades in and out in 30 ms
// steps of the test's clock.
TEST_F(ChartToolBars, CaptionOptionButtonFadesOnTheClock) {
    TKvxToolBar* t = Bars[2];
    t->SetShowRightHandle(false);
    Driver.Pump();
    const TRect r = t->CaptionOptionRect();
    ASSERT_FALSE(r.IsEmpty());
    EXPECT_EQ(r, TRect(t->Width() - 16 + 1, 2, t->Width() - 1, 15));
    TPoint clicked, screen;
    int clicks = 0;
    t->OnOptionClick = [&](TObject*, TPoint c, TPoint s) {
        ++clicks;
        clicked = c;
        screen = s;
    };
    const TColor idle = Driver.Pixel(t, r.Left + 3, r.Top + 3);
    Driver.MoveTo(TTestDriver::ScreenPoint(t, r.CenterPoint()));
    EXPECT_TRUE(t->CaptionOptionHot());
    EXPECT_EQ(t->CaptionOptionHotFade(), 0);
    Driver.Advance(30);
    EXPECT_EQ(t->CaptionOptionHotFade(), 20);
    const TColor midway = Driver.Pixel(t, r.Left + 3, r.Top + 3);
    Driver.Advance(30 * 5);
    EXPECT_EQ(t->CaptionOptionHotFade(), 100);
    EXPECT_FALSE(t->CaptionOptionFading());
    const TColor full = Driver.Pixel(t, r.Left + 3, r.Top + 3);
    EXPECT_NE(idle, full);
    EXPECT_NE(midway, full);
    // Pressing reports the point below the far end; it opens nothing.
    Driver.Click(TTestDriver::ScreenPoint(t, r.CenterPoint()));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(clicked, TPoint(t->Left() + t->Width() - 12, t->Top() + t->Height() + 1));
    EXPECT_EQ(screen, Panel->ClientToScreen(clicked));
    // Leaving for the caption strip fades out; the hot flag goes when the fade is through. (Leaving the
    // toolbar, or entering a button, ends the hot state at once.)
    Driver.MoveTo(TTestDriver::ScreenPoint(t, TPoint(30, 5)));
    EXPECT_TRUE(t->CaptionOptionHot());
    Driver.Advance(30 * 6);
    EXPECT_FALSE(t->CaptionOptionHot());
    EXPECT_FALSE(t->CaptionOptionFading());
    EXPECT_EQ(Driver.Pixel(t, r.Left + 3, r.Top + 3), idle);
}

TEST_F(ChartToolBars, ButtonFaces) {
    // One toolbar of buttons in each look: normal, hot, down, checked, disabled, drop-down.
    auto* form = NewForm<TForm>(Application);
    form->SetBounds(100, 300, 400, 80);
    auto* t = new TKvxToolBar(form);
    t->SetParent(form);
    t->SetToolBarStyler(Styler);
    t->SetParentStyler(false);
    t->SetToolBarStyler(Styler);
    std::vector<TKvxToolBarButton*> b;
    for (int i = 0; i < 6; ++i) {
        auto* button = new TKvxToolBarButton(form);
        button->SetGlyph(Glyph(i).get());
        button->SetCaption("B" + std::to_string(i));
        button->SetShowCaption(i == 5);
        button->SetKvxToolBar(t);
        b.push_back(button);
    }
    b[1]->SetHot(true);
    b[2]->SetDrawState(dsDown);
    b[3]->SetGroupIndex(1);
    b[3]->SetDown(true);
    b[4]->SetEnabled(false);
    b[5]->SetDropDownButton(true);
    form->Show();
    Driver.Pump();
    auto image = Driver.Render(t);
    TTestDriver::SavePng(*image, TestOutputDir("toolbars") + "/button_faces.png");
    const toolbar::TButtonAppearance* a = Styler->ButtonAppearance();
    EXPECT_TRUE(Near(Driver.Pixel(b[1], 1, 1), a->ColorHot()));
    EXPECT_TRUE(Near(Driver.Pixel(b[2], 1, 1), a->ColorDown()));
    EXPECT_TRUE(Near(Driver.Pixel(b[3], 1, 1), a->ColorChecked()));
    EXPECT_TRUE(Near(Driver.Pixel(b[1], 0, 0), a->BorderHotColor(), 0));
    // A normal face shows the toolbar through it.
    EXPECT_EQ(Driver.Pixel(b[0], 1, 1), Driver.Pixel(t, b[0]->Left() + 1, b[0]->Top() + 1));
    // A menu button whose menu is open shows the down look; its checked look is its own appearance's.
    auto* menu = new TKvxToolBarMenuButton(form);
    menu->SetCaption("File");
    menu->SetShowCaption(true);
    menu->SetKvxToolBar(t);
    menu->SetDrawState(dsDropped);
    menu->Appearance()->SetColorChecked(clLime);
    auto* checked = new TKvxToolBarMenuButton(form);
    checked->SetKvxToolBar(t);
    checked->SetDrawState(dsChecked);
    checked->Appearance()->SetColorChecked(clLime);
    Driver.Pump();
    EXPECT_TRUE(Near(Driver.Pixel(menu, 1, 1), a->ColorDown()));
    EXPECT_EQ(Driver.Pixel(checked, 1, 1), ColorToRGB(clLime));
    // The disabled glyph is grey.
    const TColor g = Driver.Pixel(b[4], 16, 16);
    EXPECT_EQ(GetRValue(g), GetGValue(g));
    EXPECT_EQ(GetGValue(g), GetBValue(g));
}

} // namespace

namespace {
// The box around the pixels of colour c inside r.
TRect PixelBox(const TImageSurface& image, const TRect& r, TColor c) {
    TRect box(r.Right, r.Bottom, r.Left, r.Top);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (TTestDriver::PixelOf(image, x, y) == c) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}
} // namespace

TEST_F(ChartToolBars, VerticalCaptionsRunAlongTheStripFromTheirStart) {
    for (TDockAlign side : {daLeft, daRight}) {
        SCOPED_TRACE(side == daLeft ? "left: reading upwards" : "right: reading downwards");
        auto* panel = new TKvxDockPanel(Form);
        panel->SetAlign(side);
        panel->SetParent(Form);
        panel->SetToolBarStyler(Styler);
        auto* bar = new TKvxToolBar(Form);
        bar->SetCaption("Toolbox");
        bar->SetShowCaption(true);
        bar->SetParent(panel);
        for (int i = 0; i < 6; ++i) {
            auto* button = new TKvxToolBarButton(Form);
            button->SetGlyph(Glyph(i).get());
            button->SetKvxToolBar(bar);
        }
        Driver.Pump();
        ASSERT_EQ(bar->Position(), side);
        const TRect strip = bar->CaptionRect();
        ASSERT_GT(strip.Height(), strip.Width());
        const auto image = Driver.Render(bar);
        TTestDriver::SavePng(*image, TestOutputDir("toolbars") + "/vertical-caption-" +
                                         (side == daLeft ? "left" : "right") + ".png");
        const TColor ink = ColorToRGB(Styler->CaptionAppearance()->CaptionTextColor());
        const TRect text = PixelBox(*image, strip, ink);
        ASSERT_FALSE(text.IsEmpty()) << "the caption is drawn";
        EXPECT_GT(text.Height(), 2 * text.Width()) << "along the strip, not across it";
        // Left-aligned text starts at the reading start: the bottom on the left, the top on the right.
        long sum = 0, count = 0;
        for (int y = strip.Top; y < strip.Bottom; ++y)
            for (int x = strip.Left; x < strip.Right; ++x)
                if (TTestDriver::PixelOf(*image, x, y) == ink) {
                    sum += y;
                    ++count;
                }
        const long middle = (strip.Top + strip.Bottom) / 2;
        if (side == daLeft)
            EXPECT_GT(sum / count, middle);
        else
            EXPECT_LT(sum / count, middle);
    }
}

// Button captions on a vertical toolbar turn with it: they run down the button, and the image keeps its
// side of the caption as the glyph position says, turned the same way.
TEST_F(ChartToolBars, ButtonCaptionsTurnOnVerticalToolBars) {
    const TColor green = RGB(0, 160, 0);
    auto glyph = std::make_unique<TBitmap>(16, 16);
    glyph->Canvas()->Brush()->SetColor(clFuchsia); // the corner colour is see-through
    glyph->Canvas()->FillRect(TRect(0, 0, 16, 16));
    glyph->Canvas()->Brush()->SetColor(green);
    glyph->Canvas()->FillRect(TRect(2, 2, 14, 14));
    const struct {
        TDockAlign Side;
        TGlyphPosition Place;
        const char* Name;
    } cases[] = {{daTop, gpLeft, "top-left"},
                 {daLeft, gpLeft, "left-left"},
                 {daLeft, gpRight, "left-right"},
                 {daLeft, gpTop, "left-top"},
                 {daLeft, gpBottom, "left-bottom"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* form = NewForm<TForm>(Application);
        form->SetBounds(60, 60, 400, 300);
        auto* panel = new TKvxDockPanel(form);
        panel->SetAlign(c.Side);
        panel->SetParent(form);
        panel->SetToolBarStyler(Styler);
        auto* bar = new TKvxToolBar(form);
        bar->SetParent(panel);
        auto* button = new TKvxToolBarButton(form);
        button->SetGlyph(glyph.get());
        button->SetCaption("Zoom");
        button->SetShowCaption(true);
        button->SetGlyphPosition(c.Place);
        button->SetKvxToolBar(bar);
        form->Show();
        Driver.Pump();
        const bool vertical = c.Side == daLeft;
        const bool stacked = c.Place == gpLeft || c.Place == gpRight; // image and caption along the bar
        if (stacked) {
            EXPECT_EQ(button->Height() > button->Width(), vertical)
                << "the caption's length runs along the bar";
        }

        const auto image = Driver.Render(bar);
        TTestDriver::SavePng(*image, TestOutputDir("toolbars") + "/button-caption-" + c.Name + ".png");
        const TRect face = button->BoundsRect();
        const TRect ink = PixelBox(*image, face, ColorToRGB(Styler->ButtonAppearance()->CaptionTextColor()));
        const TRect picture = PixelBox(*image, face, green);
        ASSERT_FALSE(ink.IsEmpty()) << "the caption is drawn";
        ASSERT_EQ(picture.Width(), 12);
        EXPECT_EQ(ink.Height() > ink.Width(), vertical) << "written along the button";
        switch (vertical ? c.Place : gpRight) {
        case gpLeft:
            EXPECT_GE(ink.Top, picture.Bottom) << "the image above the caption";
            break;
        case gpRight:
            // Horizontal case too: the caption right of the image.
            if (vertical) {
                EXPECT_LE(ink.Bottom, picture.Top) << "the image below the caption";
            } else {
                EXPECT_GE(ink.Left, picture.Right);
            }
            break;
        case gpTop:
            EXPECT_LE(ink.Right, picture.Left) << "the image on the side the letters' tops face";
            break;
        case gpBottom:
            EXPECT_GE(ink.Left, picture.Right);
            break;
        }
        // Inside the face, and centred across it when image and caption are stacked along it.
        EXPECT_TRUE(ink.Left >= face.Left && ink.Right <= face.Right && ink.Top >= face.Top &&
                    ink.Bottom <= face.Bottom);
        if (vertical && stacked) {
            EXPECT_NEAR((ink.Left + ink.Right) / 2, (face.Left + face.Right) / 2, 2);
        }
        delete form;
        Driver.Pump();
    }
}
