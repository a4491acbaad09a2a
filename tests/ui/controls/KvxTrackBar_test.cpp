#include "ui/controls/KvxTrackBar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Surface.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Screen.h"

using namespace plat;
using namespace ui;
using namespace ui::trackbar;

namespace {

// A slider on a shown form. Width 106 gives a 100-pixel track (3 pixels of frame and margin each side).
class TrackBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 500, 400);
        Form->SetColor(0xF0F0F0);
        Bar = NewBar(10, 10, 106, 60);
        Form->Show();
        Driver.Pump();
    }

    TKvxTrackBar* NewBar(int x, int y, int w, int h) {
        auto* bar = new TKvxTrackBar(Form);
        bar->SetParent(Form);
        bar->SetBounds(x, y, w, h);
        bar->OnChange = [this](TObject*) { ++Changes; };
        return bar;
    }

    TPoint TrackPoint(int along) {
        const TRect r = Bar->TrackRect();
        const TRect t = Bar->ThumbRect();
        return TPoint(r.Left + along, t.Top + t.Height() / 2);
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TKvxTrackBar* Bar = nullptr;
    int Changes = 0;
};

TEST_F(TrackBarTest, ThumbPlacementFollowsTheValueAlongTheTrack) {
    ASSERT_EQ(Bar->TrackRect().Width(), 100);
    struct Case {
        int Min, Max, Position, Offset;
    };
    // Offsets from the track's start: (extent - thumb width) * (Position - Min) div (Max - Min), with the
    // product in 64 bits.
    const Case cases[] = {
        {0, 10, 5, 45},
        {0, 10, 3, 27},
        {0, 10, 10, 90},
        {-10, 10, 0, 45},
        {0, 1000000000, 999999999, 89},
        {INT_MIN, INT_MAX, INT_MAX, 90},
        {INT_MIN, INT_MAX, 0, 45},
        {7, 7, 7, 0},  // no range: the thumb stays at the start
        {10, 0, 0, 0}, // Min above Max while a window sets the ends one at a time
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Min) + ".." + std::to_string(c.Max) + " at " +
                     std::to_string(c.Position));
        Bar->SetMin(INT_MIN);
        Bar->SetMax(INT_MAX);
        Bar->SetPosition(c.Position);
        Bar->SetMin(c.Min);
        Bar->SetMax(c.Max);
        EXPECT_EQ(Bar->ThumbRect().Left - Bar->TrackRect().Left, c.Offset);
        EXPECT_EQ(Bar->ThumbRect().Width(), 10);
    }
}

TEST_F(TrackBarTest, VerticalSliderHasMinAtTheBottom) {
    Bar->SetOrientation(trVertical);
    EXPECT_EQ(Bar->Width(), 60);
    EXPECT_EQ(Bar->Height(), 106);
    Bar->SetPosition(3);
    const TRect r = Bar->TrackRect();
    EXPECT_EQ(r.Bottom - Bar->ThumbRect().Bottom, 27);
    EXPECT_EQ(Bar->ThumbRect().Height(), 10);
}

TEST_F(TrackBarTest, DraggingMapsThePointerToAValue) {
    Bar->SetTrackHint(true);
    struct Case {
        int To, Value;
    };
    // Round((X - Left - 5) / 95 * 10), halves to even; the far end gives Max, before the start Min.
    const Case cases[] = {{50, 5}, {100, 10}, {150, 10}, {-30, 0}, {33, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.To);
        Bar->SetPosition(0);
        Driver.Drag(Bar, TrackPoint(5), TrackPoint(c.To));
        EXPECT_EQ(Bar->Position(), c.Value);
        EXPECT_FALSE(Bar->IsDragging());
        EXPECT_FALSE(Bar->HintVisible());
    }
}

TEST_F(TrackBarTest, DraggingAVerticalThumbUpRaisesTheValue) {
    Bar->SetOrientation(trVertical);
    const TRect r = Bar->TrackRect();
    const int x = Bar->ThumbRect().Left + Bar->ThumbRect().Width() / 2;
    struct Case {
        int Up, Value; // pointer distance above the track's bottom
    };
    const Case cases[] = {{50, 5}, {100, 10}, {-20, 0}, {33, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Up);
        Bar->SetPosition(0);
        Driver.Drag(Bar, TPoint(x, r.Bottom - 5), TPoint(x, r.Bottom - c.Up));
        EXPECT_EQ(Bar->Position(), c.Value);
    }
}

TEST_F(TrackBarTest, HintShowsTheValueOnlyWhenAskedFor) {
    std::vector<int> asked;
    Bar->OnGetTrackHint = [&](TObject*, int Position, std::string& Text) {
        asked.push_back(Position);
        Text = "at " + std::to_string(Position);
    };
    Driver.Drag(Bar, TrackPoint(5), TrackPoint(50), 1);
    EXPECT_TRUE(asked.empty()) << "TrackHint is off at creation";

    Bar->SetTrackHint(true);
    Bar->SetPosition(0);
    Driver.Press(TTestDriver::ScreenPoint(Bar, TrackPoint(5)));
    Driver.MoveTo(TTestDriver::ScreenPoint(Bar, TrackPoint(50)));
    EXPECT_TRUE(Bar->HintVisible());
    EXPECT_EQ(Bar->HintWindow()->Caption(), "at 5");
    Driver.MoveTo(TTestDriver::ScreenPoint(Bar, TrackPoint(51)));
    EXPECT_EQ(asked, std::vector<int>{5}) << "the same value is not asked for twice";
    Driver.Release(TTestDriver::ScreenPoint(Bar, TrackPoint(51)));
    EXPECT_FALSE(Bar->HintVisible());
}

TEST_F(TrackBarTest, HintNearTheScreenEdgeStaysInside) {
    TTrackHintWindow* hint = Bar->HintWindow();
    hint->SetCaption("12345");
    const TRect size = hint->CalcHintRect(100, "", nullptr);
    const int w = Screen->DesktopWidth(), h = Screen->DesktopHeight();
    hint->ActivateHint(TRect(w - 5, h - 3, w, h), "12345");
    EXPECT_EQ(hint->Left(), w - (size.Width() + 16) - 2);
    EXPECT_EQ(hint->Left() + hint->Width(), w - 2);
    EXPECT_EQ(hint->Top() + hint->Height(), h - 2);
    hint->ReleaseHandle();
}

TEST_F(TrackBarTest, PositionSetterClampsAndReports) {
    Bar->SetPosition(0);
    Changes = 0;
    Bar->SetPosition(0);
    EXPECT_EQ(Changes, 0);
    Bar->SetPosition(50);
    EXPECT_EQ(Bar->Position(), 10);
    EXPECT_EQ(Changes, 1);
    // A value that clamps to the present position still reports.
    Bar->SetPosition(-3);
    Bar->SetPosition(-3);
    EXPECT_EQ(Bar->Position(), 0);
    EXPECT_EQ(Changes, 3);
    Bar->SetPosition(8);
    Changes = 0;
    Bar->SetMax(5);
    EXPECT_EQ(Bar->Position(), 5);
    EXPECT_EQ(Changes, 1);
    Bar->SetMin(3);
    EXPECT_EQ(Changes, 1);
    Bar->SetMax(10);
    Bar->SetPosition(4);
    Changes = 0;
    Bar->SetMin(6);
    EXPECT_EQ(Bar->Position(), 6);
    EXPECT_EQ(Changes, 1);
    // Min above Max: the clamp takes Max, as the window meets it while it sets the ends one at a time.
    Bar->SetMin(12);
    EXPECT_EQ(Bar->Position(), 10);
}

TEST_F(TrackBarTest, KeysAndWheelStepByOrientation) {
    struct Case {
        TTrackBarOrientation Orientation;
        uint16_t Key;  // 0: the wheel
        int Delta;     // wheel delta
        uint32_t Mods; // key modifiers
        int From, To;
    };
    const Case cases[] = {
        {trHorizontal, VK_RIGHT, 0, 0, 5, 6}, {trHorizontal, VK_UP, 0, 0, 5, 6},
        {trHorizontal, VK_LEFT, 0, 0, 5, 4},  {trHorizontal, VK_DOWN, 0, 0, 0, 0},
        {trHorizontal, VK_PRIOR, 0, 0, 5, 8}, {trHorizontal, VK_NEXT, 0, 0, 5, 2},
        {trHorizontal, VK_HOME, 0, 0, 5, 0},  {trHorizontal, VK_END, 0, 0, 5, 10},
        {trVertical, VK_HOME, 0, 0, 5, 10},   {trVertical, VK_END, 0, 0, 5, 0},
        {trVertical, VK_UP, 0, 0, 5, 6},      {trHorizontal, VK_RIGHT, 0, modShift, 5, 5},
        {trHorizontal, 0, -120, 0, 5, 6},     {trHorizontal, 0, 120, 0, 5, 4},
        {trVertical, 0, 120, 0, 5, 6},        {trVertical, 0, -360, 0, 5, 4},
        {trHorizontal, 0, -120, 0, 10, 10},
    };
    Bar->SetPageSize(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Key) + "/" + std::to_string(c.Delta) + " from " +
                     std::to_string(c.From));
        Bar->SetOrientation(c.Orientation);
        Bar->SetPosition(c.From);
        Bar->SetFocus();
        Driver.Pump();
        if (c.Key)
            Driver.PressKey(c.Key, c.Mods);
        else
            Driver.Wheel(Bar, TPoint(Bar->Width() / 2, Bar->Height() / 2), c.Delta);
        EXPECT_EQ(Bar->Position(), c.To);
    }
}

TEST_F(TrackBarTest, PageDownAtMinStillReports) {
    Bar->SetFocus();
    Driver.Pump();
    Changes = 0;
    Driver.PressKey(VK_NEXT);
    EXPECT_EQ(Bar->Position(), 0);
    EXPECT_EQ(Changes, 1);
}

TEST_F(TrackBarTest, PageClicksStepTowardThePointer) {
    Bar->SetPageSize(2);
    Bar->SetPosition(5);
    Driver.Click(Bar, TrackPoint(80));
    EXPECT_EQ(Bar->Position(), 7);
    Driver.Click(Bar, TrackPoint(10));
    EXPECT_EQ(Bar->Position(), 5);
}

TEST_F(TrackBarTest, HeldStepButtonRepeatsAfterAPause) {
    Bar->SetBounds(10, 10, 200, 60);
    Bar->Buttons()->SetVisible(true);
    Bar->SetMax(100);
    Bar->SetPosition(50);
    Driver.Pump();
    const TRect minButton = Bar->MinButtonRect();
    const TPoint at =
        TTestDriver::ScreenPoint(Bar, TPoint(minButton.Left + 5, minButton.Top + minButton.Height() / 2));
    Driver.MoveTo(at);
    Driver.Press(at);
    EXPECT_TRUE(Bar->MinButtonDown());
    EXPECT_EQ(Bar->Position(), 50) << "the press itself does not step";
    Driver.Advance(1000, 10);
    EXPECT_EQ(Bar->Position(), 43) << "400 ms, then one step every 100 ms";
    Driver.Release(at);
    EXPECT_EQ(Bar->Position(), 42) << "one more at the release";
    Driver.Advance(500, 10);
    EXPECT_EQ(Bar->Position(), 42);

    // Released away from the button: no step at the release.
    const TRect maxButton = Bar->MaxButtonRect();
    const TPoint on = TTestDriver::ScreenPoint(Bar, TPoint(maxButton.Left + 5, maxButton.Top + 5));
    Driver.MoveTo(on);
    Driver.Press(on);
    Driver.Release(TTestDriver::ScreenPoint(Form, TPoint(450, 350)));
    EXPECT_EQ(Bar->Position(), 42);
}

TEST_F(TrackBarTest, ATrackWithoutRangeTakesInputWithoutDividing) {
    Bar->SetMin(4);
    Bar->SetMax(4);
    EXPECT_EQ(Bar->Position(), 4);
    Driver.Drag(Bar, TrackPoint(5), TrackPoint(60));
    Driver.Click(Bar, TrackPoint(80));
    EXPECT_EQ(Bar->Position(), 4);
    Driver.Render(Bar);
    EXPECT_EQ(Bar->TicksDrawn(), 0);
}

// Value texts are shown through a formatter that reads only %d and %%.
TEST(TrackLabelFormat, ReadsOnlyDecimalSpecifiers) {
    struct Case {
        const char* Format;
        int Value;
        const char* Text;
    };
    const Case cases[] = {
        {"%d ms", 100, "100 ms"},
        {"Pos: %d", -7, "Pos: -7"},
        {"Full Scale", 3, "Full Scale"},
        {"[%5d]", 42, "[   42]"},
        {"[%-5d]", 42, "[42   ]"},
        {"[%05d]", -42, "[-0042]"},
        {"[%+d]", 42, "[+42]"},
        {"[% d]", 42, "[ 42]"},
        {"100%% at %d", 1, "100% at 1"},
        {"%s and %x and %.2f", 5, "%s and %x and %.2f"},
        {"trailing %", 5, "trailing %"},
        {"%99999999d", 5, "%99999999d"},
        {"%d/%d", 5, "5/5"},
        {"%d", INT_MIN, "-2147483648"},
        {"%D", 9, "9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatTrackLabel(c.Format, c.Value), c.Text) << c.Format;
}

TEST_F(TrackBarTest, LabelShowsTheFormattedPosition) {
    Bar->TrackLabel()->SetVisible(true);
    Bar->TrackLabel()->SetFormat("%d ms");
    Bar->SetPosition(7);
    const TRect unplaced = Bar->LabelRect(false);
    const TRect placed = Bar->LabelRect(true);
    EXPECT_LT(placed.Width(), unplaced.Width());
    // A top label pushes the track down by its band.
    EXPECT_EQ(Bar->TrackRect().Top, Bar->ContentRect().Top + 10 + unplaced.Height() + 1);
}

// The style presets: every style resets the shape, tsCustom keeps the colours.
TEST_F(TrackBarTest, StylesResetTheLookAndSetTheirColours) {
    auto customise = [&] {
        Bar->Slider()->SetOffset(2);
        Bar->Thumb()->SetShape(tsRoundRect);
        Bar->TickMark()->SetPosition(tmTopLeft);
        Bar->Thumb()->SetColor(0x123456);
        Bar->TickMark()->SetColor(0x654321);
        Bar->Buttons()->SetSpacing(9);
        Bar->Buttons()->SetColor(0x111111);
        Bar->Slider()->SetBorderColor(0x222222);
        Bar->Thumb()->SetColorHot(0x333333);
    };
    struct Case {
        TKVXStyle Style;
        TColor ThumbColor, ButtonColor, Groove, Hot;
    };
    const Case cases[] = {
        {tsOffice2003Blue, 0xEEDBC8, 0xFEECDD, 0xC29674, 0xCCF4FF},
        {tsOffice2007Luna, 0xEEDBC8, 0xEEDBC8, 0xC29674, 0xEBFDFF},
        {tsWindowsXP, 0xFFFFFF, 0xFFFFFF, 0x927476, 0xEFD3C6},
        {tsOffice2007Silver, 0xF3F3F1, 0xF3F3F1, 0xCCCAC9, 0xEBFDFF},
        {tsCustom, 0x123456, 0x111111, 0x222222, 0x333333},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(kKVXStyleNames[c.Style]);
        customise();
        // Stylers find the interface on the component they hold.
        IStyleable* styleable = dynamic_cast<IStyleable*>(static_cast<TComponent*>(Bar));
        ASSERT_NE(styleable, nullptr);
        styleable->ApplyStyle(c.Style);
        EXPECT_EQ(Bar->Slider()->Offset(), 10);
        EXPECT_EQ(Bar->Thumb()->Shape(), tsPointer);
        EXPECT_EQ(Bar->TickMark()->Position(), tmBottomRight);
        EXPECT_EQ(Bar->Buttons()->Spacing(), 2);
        EXPECT_EQ(Bar->Thumb()->Color(), c.ThumbColor);
        EXPECT_EQ(Bar->Buttons()->Color(), c.ButtonColor);
        EXPECT_EQ(Bar->Slider()->BorderColor(), c.Groove);
        EXPECT_EQ(Bar->Thumb()->ColorHot(), c.Hot);
        if (c.Style == tsCustom)
            EXPECT_EQ(Bar->TickMark()->Color(), 0x654321u);
        else
            EXPECT_EQ(Bar->TickMark()->Color(), Bar->Slider()->BorderColor());
    }
}

// Assign copies every published value of a part but the few it leaves to the target.
TEST(TrackBarParts, AssignCopiesAllButWhatEachPartKeeps) {
    struct Case {
        std::function<std::unique_ptr<TPersistent>()> Make;
        std::vector<std::string> Kept;
    };
    const Case cases[] = {
        {[] { return std::make_unique<TTrackBarThumb>(); }, {"ShowAtMinMax"}},
        {[] { return std::make_unique<TTrackBarSlider>(); }, {"Direction"}},
        {[] { return std::make_unique<TTrackBarTick>(); }, {"RotateFontVert"}},
        {[] { return std::make_unique<TTrackBarButtons>(); }, {"Gradient", "GradientMirror"}},
        {[] { return std::make_unique<TTrackBarLabel>(); }, {"Spacing"}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TPersistent> source = c.Make(), target = c.Make();
        SCOPED_TRACE(source->ClassType().Name);
        for (const TPropInfo* p : GetPropList(source->ClassType())) {
            const int64_t v = p->IsOrdinal() ? GetOrdProp(source.get(), p) : 0;
            switch (p->Kind) {
            case pkBoolean:
                SetOrdProp(source.get(), p, !v);
                break;
            case pkEnum:
                SetOrdProp(source.get(), p, (v + 1) % int64_t(p->Names.size()));
                break;
            case pkInteger:
                SetOrdProp(source.get(), p, v + 3);
                break;
            case pkColor:
                SetOrdProp(source.get(), p, (v & 0xFFFFFF) ^ 0x010203);
                break;
            case pkString:
                SetStrProp(source.get(), p, "x%d");
                break;
            default:
                break;
            }
        }
        target->Assign(source.get());
        for (const TPropInfo* p : GetPropList(source->ClassType())) {
            const bool kept = std::find(c.Kept.begin(), c.Kept.end(), p->Name) != c.Kept.end();
            if (p->Kind == pkString) {
                EXPECT_EQ(GetStrProp(target.get(), p), GetStrProp(source.get(), p)) << p->Name;
            } else if (p->IsOrdinal()) {
                if (kept)
                    EXPECT_NE(GetOrdProp(target.get(), p), GetOrdProp(source.get(), p)) << p->Name;
                else
                    EXPECT_EQ(GetOrdProp(target.get(), p), GetOrdProp(source.get(), p)) << p->Name;
            }
        }
    }
}

TEST_F(TrackBarTest, PicturesDecideTheSizeOfTheirParts) {
    TBitmap bmp(14, 22, pf24bit);
    bmp.Canvas()->Brush()->SetColor(0x3060C0);
    bmp.Canvas()->FillRect(TRect(0, 0, 14, 22));
    TGDIPPicture picture;
    picture.Assign(&bmp);

    Bar->Thumb()->SetPicture(&picture);
    EXPECT_EQ(Bar->Thumb()->Width(), 14);
    EXPECT_EQ(Bar->Thumb()->Size(), 22);
    Bar->Thumb()->SetWidth(30);
    EXPECT_EQ(Bar->Thumb()->Width(), 14) << "the picture decides";
    Bar->Thumb()->SetPicture(nullptr);
    Bar->Thumb()->SetWidth(30);
    EXPECT_EQ(Bar->Thumb()->Width(), 30);

    Bar->Slider()->SetPicture(&picture);
    EXPECT_EQ(Bar->Slider()->Size(), 22);
    EXPECT_EQ(Bar->Slider()->BorderColor(), clNone);
}

// Ticks: one per pixel column at most, the handler asked only for the ticks drawn, the filters applied
// before it.
TEST_F(TrackBarTest, TicksAreDrawnOncePerColumnAndFiltered) {
    Bar->SetBounds(10, 10, 306, 60);
    Bar->TickMark()->SetShowText(true);
    std::vector<int> asked;
    Bar->OnDrawTick = [&](TObject*, TCanvas*, TPoint, int Position, TTickMark Side, int&, TColor&, TColor&,
                          std::string&, bool&) {
        EXPECT_EQ(Side, tmBottomRight) << "only the row that is there";
        asked.push_back(Position);
    };
    struct Case {
        int Min, Max, Steps;
        bool ThumbOnly;
        std::vector<int> Expected; // empty: only check the count
        int MaxTicks;
    };
    const Case cases[] = {
        {1, 250, 50, false, {50, 100, 150, 200, 250}, 5},
        {0, 10, 1, true, {4}, 1},
        {0, 10, 1, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 11},
        {0, 1000000, 1, false, {}, 291},
        {-2000000000, 2000000000, 1, false, {}, 291},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Min) + ".." + std::to_string(c.Max));
        Bar->SetMin(INT_MIN);
        Bar->SetMax(c.Max);
        Bar->SetMin(c.Min);
        Bar->SetPosition(4);
        Bar->TickMark()->SetShowImageAtSteps(c.Steps);
        Bar->TickMark()->SetShowImageAtThumbOnly(c.ThumbOnly);
        asked.clear();
        Bar->Invalidate();
        Driver.Render(Bar);
        EXPECT_EQ(static_cast<int>(asked.size()), Bar->TicksDrawn());
        if (!c.Expected.empty()) {
            EXPECT_EQ(asked, c.Expected);
        }
        EXPECT_LE(Bar->TicksDrawn(), c.MaxTicks);
        EXPECT_GE(Bar->TicksDrawn(), std::min<int>(c.MaxTicks, static_cast<int>(c.Expected.size())));
        if (c.Expected.empty()) {
            EXPECT_GT(Bar->TicksDrawn(), 280) << "every column gets its tick";
            EXPECT_EQ(asked.front(), c.Min);
            EXPECT_EQ(asked.back(), c.Max);
        }
    }
}

TEST_F(TrackBarTest, TickImagesStandInForLinesUntilTheListIsFreed) {
    Bar->SetBounds(10, 10, 306, 60);
    Bar->SetMax(2);
    auto* images = new TImageList(Form);
    images->SetWidth(6);
    images->SetHeight(6);
    TBitmap red(6, 6, pf24bit), blue(6, 6, pf24bit);
    red.Canvas()->Brush()->SetColor(0x0000FF);
    red.Canvas()->FillRect(TRect(0, 0, 6, 6));
    blue.Canvas()->Brush()->SetColor(0xFF0000);
    blue.Canvas()->FillRect(TRect(0, 0, 6, 6));
    images->Add(&red, nullptr);
    images->Add(&blue, nullptr);
    Bar->SetTickImages(images);
    const TRect b = Bar->BottomTickRect();
    // Value v shows image v, a value past the list image 0.
    auto image = Driver.Render(Bar);
    EXPECT_EQ(TTestDriver::PixelOf(*image, b.Left, b.Top + 2), 0x0000FFu);
    EXPECT_EQ(TTestDriver::PixelOf(*image, (b.Left + b.Right) / 2, b.Top + 2), 0xFF0000u);
    EXPECT_EQ(TTestDriver::PixelOf(*image, b.Right, b.Top + 2), 0x0000FFu);
    delete images;
    EXPECT_EQ(Bar->TickImages(), nullptr);
    image = Driver.Render(Bar);
    EXPECT_NE(TTestDriver::PixelOf(*image, b.Left, b.Top + 2), 0x0000FFu);
}

TEST_F(TrackBarTest, DeclinedTickIsNotDrawn) {
    Bar->SetBounds(10, 10, 306, 60);
    Bar->Slider()->SetVisible(false);
    Bar->TickMark()->SetColor(0x0000FF);
    Bar->OnDrawTick = [&](TObject*, TCanvas*, TPoint, int Position, TTickMark, int& Length, TColor&, TColor&,
                          std::string&, bool& DefaultDraw) {
        DefaultDraw = Position != 0;
        Length = Position == 10 ? 8 : Length;
    };
    auto image = Driver.Render(Bar);
    const TRect b = Bar->BottomTickRect();
    EXPECT_NE(TTestDriver::PixelOf(*image, b.Left, b.Bottom - 1), 0x0000FFu);
    EXPECT_EQ(TTestDriver::PixelOf(*image, b.Right, b.Bottom - 1), 0x0000FFu);
    EXPECT_EQ(TTestDriver::PixelOf(*image, b.Right, b.Bottom - 8), 0x0000FFu) << "the longer line";
}

// A layout stores the slider with its parts and reads it back equal; the buttons' mirror colours keep the
// declared defaults of old layouts, so those two values come back as created.
TEST_F(TrackBarTest, LayoutRoundTrip) {
    Bar->SetName("tb_tint");
    Bar->SetMin(1053);
    Bar->SetMax(10000);
    Bar->SetPosition(1053);
    Bar->SetColor(clNone);
    Bar->SetOrientation(trVertical);
    Bar->SetTrackHint(true);
    Bar->Thumb()->SetShape(tsRoundRect);
    Bar->Thumb()->SetColorMirrorHot(0x010203);
    Bar->Slider()->SetOffset(2);
    Bar->Slider()->SetDirection(gdVerticalInOut);
    Bar->TickMark()->SetPosition(tmTopLeft);
    Bar->TickMark()->SetStyle(tsNone);
    Bar->TickMark()->Font()->SetSize(11);
    Bar->Buttons()->SetVisible(true);
    Bar->Buttons()->SetShape(bsRectangle);
    Bar->Buttons()->SetRepeatPause(70);
    Bar->TrackLabel()->SetFormat("");
    Bar->TrackLabel()->SetPosition(lpBottomRight);
    Bar->SetParent(nullptr);
    const std::string text = WriteComponentToText(Bar);

    TKvxTrackBar back(nullptr);
    ReadComponentFromText(text, &back);
    EXPECT_EQ(WriteComponentToText(&back), text);
    EXPECT_EQ(back.Min(), 1053);
    EXPECT_EQ(back.Color(), clNone) << "stored although the slider is created with it";
    EXPECT_EQ(back.Orientation(), trVertical);
    EXPECT_EQ(back.Thumb()->ColorMirrorHot(), 0x010203u);
    EXPECT_EQ(back.Slider()->Direction(), gdVerticalInOut);
    EXPECT_EQ(back.TrackLabel()->Format(), "");
    EXPECT_EQ(back.TrackLabel()->Position(), lpBottomRight);
    EXPECT_EQ(back.TickMark()->Font()->Size(), 11);
    EXPECT_EQ(back.Buttons()->RepeatPause(), 70);

    Bar->Buttons()->SetColorMirror(0xC0C0C0);
    Bar->Buttons()->SetColorMirrorTo(0xFFFFFF);
    TKvxTrackBar trapped(nullptr);
    ReadComponentFromText(WriteComponentToText(Bar), &trapped);
    EXPECT_EQ(trapped.Buttons()->ColorMirror(), 0xEDD4C0u);
    EXPECT_EQ(trapped.Buttons()->ColorMirrorTo(), 0xF7E1D0u);
}

TEST_F(TrackBarTest, BackgroundFollowsTheEnabledState) {
    TBitmap bmp(20, 20, pf24bit);
    bmp.Canvas()->Brush()->SetColor(0x3060C0);
    bmp.Canvas()->FillRect(TRect(0, 0, 20, 20));
    bmp.Canvas()->Brush()->SetColor(0x00A000);
    bmp.Canvas()->FillRect(TRect(2, 2, 18, 18));
    TGDIPPicture picture;
    picture.Assign(&bmp);
    Bar->SetTransparent(false);
    Bar->SetColor(0xFFE0C0);
    Bar->SetBorderColor(0x000080);
    Bar->SetBorderColorDisabled(0x808080);
    Bar->SetColorDisabled(0xD0D0D0);
    Bar->Slider()->SetVisible(false);
    Bar->TickMark()->SetStyle(tsNone);
    Bar->Thumb()->SetShowAtMinMax(false);
    struct Case {
        bool Enabled, Picture;
        TColor Inside, Frame;
    };
    const Case cases[] = {
        {true, false, 0xFFE0C0, 0x000080},
        {false, false, 0xD0D0D0, 0x808080},
        {true, true, 0x00A000, 0x000080},
        {false, true, 0x00A000, 0x808080}, // no disabled picture: the enabled one stands in
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Enabled) + std::to_string(c.Picture));
        Bar->SetEnabled(c.Enabled);
        Bar->SetBackGround(c.Picture ? &picture : nullptr);
        auto image = Driver.Render(Bar);
        EXPECT_EQ(TTestDriver::PixelOf(*image, 10, 10), c.Inside);
        EXPECT_EQ(TTestDriver::PixelOf(*image, 0, 30), c.Frame);
        if (!c.Picture) {
            EXPECT_EQ(TTestDriver::PixelOf(*image, 60, 30), c.Inside) << "the colour fills the whole control";
        }
    }
}

TEST_F(TrackBarTest, RatingCellsWrapAndTakeClicks) {
    TBitmap cell(16, 12, pf24bit);
    cell.Canvas()->Brush()->SetColor(0x00C0FF);
    cell.Canvas()->FillRect(TRect(0, 0, 16, 12));
    TGDIPPicture picture;
    picture.Assign(&cell);
    // A 60-pixel track holds three 16-pixel cells in a row (a fourth would end past the edge).
    Bar->SetBounds(10, 10, 66, 60);
    Bar->Slider()->SetOffset(0);
    Bar->SetMax(1000000);
    Bar->SetRateActive(&picture);
    Bar->SetRateInActive(&picture);
    ASSERT_TRUE(Bar->RatingMode());
    const TRect track = Bar->TrackRect();
    struct Case {
        int Value;
        TPoint TopLeft; // relative to the track; (-1, -1): no place
    };
    const Case cases[] = {{1, {0, 0}},    {3, {32, 0}},  {4, {0, 12}},
                          {12, {32, 36}}, {13, {0, 48}}, {17, {-1, -1}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Value);
        const TRect r = Bar->RatingItemRect(c.Value);
        const TRect expected = c.TopLeft.X < 0
                                   ? TRect(-1, -1, -1, -1)
                                   : TRect(track.Left + c.TopLeft.X, track.Top + c.TopLeft.Y,
                                           track.Left + c.TopLeft.X + 16, track.Top + c.TopLeft.Y + 12);
        EXPECT_EQ(r, expected);
    }
    Driver.Click(Bar, TPoint(track.Left + 40, track.Top + 15));
    EXPECT_EQ(Bar->Position(), 6);
    Driver.Click(Bar, TPoint(track.Left - 2, track.Top + 5));
    EXPECT_EQ(Bar->Position(), 0) << "just left of the first cell means none";
    Bar->SetPosition(999999); // only the cells that have a place are redrawn
    EXPECT_EQ(Bar->Position(), 999999);
}

// ---- Pictures for people, with pixel checks --------------------------------------------------------

// A slider that paints its thumb in a chosen state, so that a sheet can show every state at once.
class TStateBar : public TKvxTrackBar {
public:
    using TKvxTrackBar::TKvxTrackBar;
    bool Hot = false, Down = false;

protected:
    void DrawThumb() override { DrawThumbShape(*Canvas(), ThumbRect(), Position(), Down, Hot); }
};

TEST_F(TrackBarTest, HotTrackingFollowsThePointer) {
    const TRect t = Bar->ThumbRect();
    const TPoint face(t.Left + 3, t.Top + 3);
    const TColor normal = Driver.Pixel(Bar, face.X, face.Y);
    Driver.MoveTo(TTestDriver::ScreenPoint(Bar, TrackPoint(5)));
    EXPECT_TRUE(Bar->ThumbHot());
    EXPECT_NE(Driver.Pixel(Bar, face.X, face.Y), normal) << "the thumb is redrawn in its hot colours";
    Driver.MoveTo(TTestDriver::ScreenPoint(Bar, TrackPoint(60)));
    EXPECT_FALSE(Bar->ThumbHot());
    Driver.MoveTo(TTestDriver::ScreenPoint(Bar, TrackPoint(5)));
    Driver.MoveTo(TTestDriver::ScreenPoint(Form, TPoint(450, 350)));
    EXPECT_FALSE(Bar->ThumbHot()) << "leaving the control gives up the hot look";
}

TEST_F(TrackBarTest, ThumbShapesInEveryState) {
    Form->SetBounds(0, 0, 4 * 130 + 20, 10 * 64 + 40);
    Bar->Hide();
    struct State {
        bool Enabled, Hot, Down;
    };
    const State states[] = {
        {true, false, false}, {true, true, false}, {true, false, true}, {false, false, false}};
    std::vector<TStateBar*> bars;
    for (int shape = tsPointer; shape <= tsTriangleRight; ++shape) {
        for (int s = 0; s < 4; ++s) {
            auto* bar = new TStateBar(Form);
            bar->SetParent(Form);
            bar->SetBounds(10 + s * 130, 10 + shape * 64, 120, 60);
            bar->Thumb()->SetShape(static_cast<TThumbShape>(shape));
            bar->Thumb()->SetWidth(16);
            bar->Thumb()->SetSize(24);
            bar->Slider()->SetSize(4);
            bar->Thumb()->SetColorDisabled(0xC0C0C0);
            bar->Thumb()->SetColorDisabledTo(0xE0E0E0);
            bar->Thumb()->SetColorMirrorDisabled(0xB8B8B8);
            bar->Thumb()->SetColorMirrorDisabledTo(0xD8D8D8);
            bar->Thumb()->SetBorderColorDisabled(0x808080);
            bar->TickMark()->SetPosition(shape % 3 == 0   ? tmBoth
                                         : shape % 3 == 1 ? tmBottomRight
                                                          : tmTopLeft);
            bar->SetPosition(4);
            bar->SetEnabled(states[s].Enabled);
            bar->Hot = states[s].Hot;
            bar->Down = states[s].Down;
            bars.push_back(bar);
        }
    }
    Driver.Pump();
    auto sheet = Driver.Render(Form);
    TTestDriver::SavePng(*sheet, TestOutputDir("controls") + "/trackbar_thumbs.png");
    // Every shape paints the middle of its thumb, in greys when disabled.
    for (size_t i = 0; i < bars.size(); ++i) {
        TStateBar* bar = bars[i];
        const TRect t = bar->ThumbRect();
        const TColor at = Driver.Pixel(bar, t.Left + t.Width() / 2, t.Top + t.Height() / 2);
        SCOPED_TRACE(kThumbShapeNames[bar->Thumb()->Shape()] + std::string(" state ") +
                     std::to_string(i % 4));
        EXPECT_NE(at, Form->Color());
        if (i % 4 == 3) {
            EXPECT_EQ(GetRValue(at), GetGValue(at)) << "the disabled face is grey";
        }
    }
}

TEST_F(TrackBarTest, TicksTextsButtonsLabelAndRating) {
    Form->SetBounds(0, 0, 420, 460);
    Bar->Hide();
    TKvxTrackBar* ticks = NewBar(10, 10, 380, 70);
    ticks->TickMark()->SetShowText(true);
    ticks->TickMark()->SetPosition(tmBoth);
    ticks->TickMark()->SetColor(0x202080);
    ticks->Slider()->SetColorCompleted(0x40C040);
    ticks->Slider()->SetSize(5);
    ticks->SetPosition(6);

    TKvxTrackBar* buttons = NewBar(10, 90, 380, 60);
    buttons->Buttons()->SetVisible(true);
    buttons->TrackLabel()->SetVisible(true);
    buttons->TrackLabel()->SetFormat("%d ms");
    buttons->Slider()->SetOffset(0);
    buttons->SetPosition(3);
    buttons->SetColor(0xFFF0E0);
    buttons->SetColorTo(0xE0C0A0);
    buttons->SetTransparent(false);
    buttons->SetBorderColor(0x806040);

    TKvxTrackBar* vertical = NewBar(10, 160, 70, 240);
    vertical->SetOrientation(trVertical);
    vertical->SetBounds(10, 160, 90, 240);
    vertical->TickMark()->SetShowText(true);
    vertical->Buttons()->SetVisible(true);
    vertical->Buttons()->SetShape(bsRectangle);
    vertical->SetPosition(7);

    TKvxTrackBar* labelled = NewBar(330, 160, 70, 240);
    labelled->SetOrientation(trVertical);
    labelled->SetBounds(330, 160, 70, 240);
    labelled->TrackLabel()->SetVisible(true);
    labelled->TrackLabel()->SetFormat("%d V");
    labelled->TickMark()->SetPosition(tmTopLeft);
    labelled->Thumb()->SetShape(tsRound);
    labelled->Thumb()->SetWidth(15);
    labelled->SetPosition(2);

    TKvxTrackBar* rating = NewBar(120, 160, 200, 40);
    TBitmap on(16, 16, pf24bit), off(16, 16, pf24bit);
    on.Canvas()->Brush()->SetColor(0x00C0FF);
    on.Canvas()->FillRect(TRect(0, 0, 16, 16));
    on.Canvas()->Brush()->SetColor(0x0080FF);
    on.Canvas()->FillRect(TRect(2, 2, 14, 14));
    off.Canvas()->Brush()->SetColor(0xC0C0C0);
    off.Canvas()->FillRect(TRect(0, 0, 16, 16));
    off.Canvas()->Brush()->SetColor(0xA0A0A0);
    off.Canvas()->FillRect(TRect(2, 2, 14, 14));
    TGDIPPicture active, inactive;
    active.Assign(&on);
    inactive.Assign(&off);
    rating->Slider()->SetOffset(0);
    rating->SetMax(5);
    rating->SetRateActive(&active);
    rating->SetRateInActive(&inactive);
    rating->SetPosition(3);
    Driver.Pump();

    auto sheet = Driver.Render(Form);
    TTestDriver::SavePng(*sheet, TestOutputDir("controls") + "/trackbar_parts.png");

    // The rating shows three active items and two inactive ones; a click on the fifth selects it.
    const TRect third = rating->RatingItemRect(3), fourth = rating->RatingItemRect(4);
    EXPECT_EQ(Driver.Pixel(rating, third.Left + 8, third.Top + 8), 0x0080FFu);
    EXPECT_EQ(Driver.Pixel(rating, fourth.Left + 8, fourth.Top + 8), 0xA0A0A0u);
    const TRect fifth = rating->RatingItemRect(5);
    Driver.Click(rating, TPoint(fifth.Left + 8, fifth.Top + 8));
    EXPECT_EQ(rating->Position(), 5);
    EXPECT_EQ(Driver.Pixel(rating, fifth.Left + 8, fifth.Top + 8), 0x0080FFu);

    // The completed part of the groove runs up to the thumb.
    const TRect groove = ticks->SliderRect();
    EXPECT_EQ(Driver.Pixel(ticks, groove.Left + 5, groove.Top + 2), 0x40C040u);
    EXPECT_NE(Driver.Pixel(ticks, groove.Right - 5, groove.Top + 2), 0x40C040u);
    // A tick line under the groove.
    const TRect below = ticks->BottomTickRect();
    EXPECT_EQ(Driver.Pixel(ticks, below.Left, below.Top + 1), 0x202080u);
}

} // namespace
