#include "ui/office/KvxOfficeStatusBar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/backend/InputCodes.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Surface.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/OpenLink.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemServices.h"
#include "ui/drawing/KvxOfficeHint.h"

using namespace plat;
using namespace ui;
using namespace ui::statusbar;

namespace {

// ---- Drawing routines -------------------------------------------------------------------------------

TEST(StatusBarDrawing, MixColorsKeepsTheEndsAndRoundsBetween) {
    struct TCase {
        TColor A, B;
        int P;
        TColor Expected;
    } cases[] = {
        {0xA8C0C0, clWhite, 100, 0xA8C0C0},
        {0xA8C0C0, clWhite, 150, 0xA8C0C0},
        {0xA8C0C0, clWhite, 0, clWhite},
        {0xA8C0C0, clWhite, -5, clWhite},
        // 0.8 * 0xC0 + 0.2 * 0xFF = 204.6 -> 205; 0.8 * 0xA8 + 0.2 * 0xFF = 185.4 -> 185
        {0xA8C0C0, clWhite, 80, 0xB9CDCD},
        {0x000000, 0x0000FF, 50, 0x000080}, // 127.5 -> 128 (halves to even)
    };
    for (const TCase& c : cases)
        EXPECT_EQ(MixColors(c.A, c.B, c.P), c.Expected) << std::hex << c.A << " " << c.P;
}

TEST(StatusBarDrawing, ProgressPercentRunsBothWaysAndIsZeroForAnEmptyRange) {
    struct TCase {
        int Min, Max, Position, Expected;
    } cases[] = {
        {0, 100, 50, 50}, {0, 100, 0, 0},   {0, 100, 150, 150}, {10, 10, 5, 0},
        {100, 0, 50, 50}, {100, 0, 25, 75}, {100, 0, 100, 0},   {0, 200, 1, 0}, // 0.5 -> 0
        {-50, 50, 0, 50},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ProgressPercent(c.Min, c.Max, c.Position), c.Expected)
            << c.Min << ".." << c.Max << " @" << c.Position;
}

TEST(StatusBarDrawing, EllipsizePathDropsLeadingFoldersAndNeverCutsTheName) {
    TBitmap bmp;
    bmp.SetSize(10, 10);
    TCanvas& canvas = *bmp.Canvas();
    const std::string path = "C:\\Data\\Sub\\file.txt";
    const std::vector<std::string> steps = {"C:\\...\\Sub\\file.txt", "C:\\...\\file.txt", "...\\file.txt",
                                            "file.txt"};
    EXPECT_EQ(EllipsizePath(path, canvas, 10000), path);
    std::vector<std::string> seen;
    for (int w = canvas.TextWidth(path); w >= 0; --w) {
        const std::string s = EllipsizePath(path, canvas, w);
        if (seen.empty() ? s != path : s != seen.back())
            seen.push_back(s);
    }
    EXPECT_EQ(seen, steps);
    EXPECT_EQ(EllipsizePath(path, canvas, 1), "file.txt");
}

TEST(StatusBarDrawing, StepGradientWithoutStepsFillsTheFromColour) {
    TBitmap bmp;
    bmp.SetSize(20, 20);
    FillRectColor(*bmp.Canvas(), TRect(0, 0, 20, 20), clWhite);
    FillStepGradient(*bmp.Canvas(), 0x0000FF, 0xFF0000, 0, TRect(2, 2, 12, 12), false);
    EXPECT_EQ(bmp.Canvas()->Pixels(5, 5), 0x0000FF);
    EXPECT_EQ(bmp.Canvas()->Pixels(11, 11), 0x0000FF);
    EXPECT_EQ(bmp.Canvas()->Pixels(15, 15), clWhite);
}

// A 200 x 20 bar painted on white; the fill colours are distinct from white and from one another.
class ProgressPainting : public ::testing::Test {
protected:
    TGaugeSettings Settings() {
        TGaugeSettings s;
        s.Level0Color = 0x00FF00, s.Level0ColorTo = 0x00FF00;
        s.Level1Color = 0x00FFFF, s.Level1ColorTo = 0x00FFFF;
        s.Level2Color = 0x53A9FF, s.Level2ColorTo = 0x53A9FF;
        s.Level3Color = 0x0000FF, s.Level3ColorTo = 0x0000FF;
        s.ShowPercentage = false;
        s.Font = Bmp.Canvas()->Font();
        return s;
    }
    void Paint(int Percent, const TGaugeSettings& S) {
        Bmp.SetSize(220, 20);
        FillRectColor(*Bmp.Canvas(), TRect(0, 0, 220, 20), clWhite);
        PaintProgressBar(*Bmp.Canvas(), TRect(0, 0, 200, 20), Percent, S);
    }
    TColor At(int X) { return Bmp.Canvas()->Pixels(X, 10); }
    TBitmap Bmp;
};

TEST_F(ProgressPainting, HalfFillIsGreenBlocksOfSevenPixels) {
    TGaugeSettings s = Settings();
    Paint(50, s);
    EXPECT_EQ(At(4), 0x00FF00);
    EXPECT_EQ(At(9), 0x00FF00);
    EXPECT_EQ(At(10), clWhite) << "a 2-pixel gap after the first block";
    EXPECT_EQ(At(11), clWhite);
    EXPECT_EQ(At(12), 0x00FF00);
    EXPECT_EQ(At(18), 0x00FF00);
    EXPECT_EQ(At(19), clWhite) << "then blocks of 7";
    EXPECT_EQ(At(120), clWhite) << "nothing past half the inner width";
}

TEST_F(ProgressPainting, StackedBarShowsEachLevelInItsRange) {
    TGaugeSettings s = Settings();
    s.Stacked = true;
    s.CompletionSmooth = true;
    Paint(95, s);
    EXPECT_EQ(At(60), 0x00FF00);
    EXPECT_EQ(At(160), 0x00FFFF);
    EXPECT_EQ(At(185), 0x53A9FF);
    EXPECT_EQ(At(196), clWhite);
}

TEST_F(ProgressPainting, PositionsBeyondMaxStayInsideTheBar) {
    for (bool smooth : {false, true})
        for (bool stacked : {false, true}) {
            TGaugeSettings s = Settings();
            s.CompletionSmooth = smooth;
            s.Stacked = stacked;
            Paint(400, s);
            for (int x = 200; x < 220; ++x)
                ASSERT_EQ(At(x), clWhite) << "x " << x << " smooth " << smooth << " stacked " << stacked;
        }
}

// ---- The bar on a form ------------------------------------------------------------------------------

TColor PixelAt(TImageSurface& img, int x, int y) {
    return TTestDriver::PixelOf(img, x, y);
}

class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(50, 50, 600, 120);
        Bar = new TKvxOfficeStatusBar(Form);
        Bar->SetParent(Form);
        Form->Show();
        Driver.Pump();
    }
    TKvxOfficeStatusPanel* AddPanel(TKvxOfficeStatusPanelStyle Style, int Width,
                                    const std::string& Text = {}) {
        TKvxOfficeStatusPanel* p = Bar->Panels()->Add();
        p->SetStyle(Style);
        p->SetWidth(Width);
        p->SetText(Text);
        return p;
    }
    TRect UpdateRect() {
        TRect r;
        return GetUpdateRect(Bar->WindowHandle(), &r, false) ? r : TRect(0, 0, 0, 0);
    }
    TPoint At(int X, int Y) { return TTestDriver::ScreenPoint(Bar, TPoint(X, Y)); }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TKvxOfficeStatusBar* Bar = nullptr;
};

TEST_F(StatusBarTest, StretchPanelTakesWhatTheOthersLeave) {
    const int W = Bar->Width(), H = Bar->Height();
    struct TCase {
        int Stretch;
        std::vector<int> Widths;
        std::vector<TRect> Rects;
    } cases[] = {
        {5,
         {100, 50, 50, 50, 50, 970},
         {{0, 1, 100, H - 1},
          {100, 1, 150, H - 1},
          {150, 1, 200, H - 1},
          {200, 1, 250, H - 1},
          {250, 1, 300, H - 1},
          {300, 1, W, H - 1}}},
        // The others are wider than the bar: the stretch panel has no width and starts where 4 ends.
        {5,
         {300, 300, 50, 50, 50, 970},
         {{0, 1, 300, H - 1},
          {300, 1, 600, H - 1},
          {600, 1, 650, H - 1},
          {650, 1, 700, H - 1},
          {700, 1, 750, H - 1},
          {750, 1, 750, H - 1}}},
        // No stretch panel: the last one reaches the right edge whatever its width.
        {-1, {100, 100, 10}, {{0, 1, 100, H - 1}, {100, 1, 200, H - 1}, {200, 1, W - 1, H - 1}}},
        // A middle stretch panel: the last panel's hit rectangle still reaches the edge.
        {1, {100, 10, 100}, {{0, 1, 100, H - 1}, {100, 1, W - 100, H - 1}, {W - 100, 1, W - 1, H - 1}}},
    };
    for (const TCase& c : cases) {
        Bar->Panels()->Clear();
        for (int w : c.Widths)
            AddPanel(psText, w);
        Bar->SetStretchPanel(c.Stretch);
        ASSERT_EQ(Bar->StretchPanel(), c.Stretch);
        for (size_t i = 0; i < c.Rects.size(); ++i)
            EXPECT_EQ(Bar->PanelRect(int(i)), c.Rects[i]) << "stretch " << c.Stretch << " panel " << i;
    }
    EXPECT_EQ(Bar->PanelRect(7), TRect(-1, -1, -1, -1));
    EXPECT_EQ(Bar->PanelAt(W - 2), 2) << "right of the painted last panel still hits it";
    Bar->SetStretchPanel(3);
    Bar->SetStretchPanel(-2);
    EXPECT_EQ(Bar->StretchPanel(), 1) << "values outside -1..Count-1 are ignored";
}

TEST_F(StatusBarTest, AutoSizeMeasuresTheTextOrTheKeyName) {
    Bar->SetSizeGrip(false);
    TKvxOfficeStatusPanel* text = AddPanel(psText, 50);
    TKvxOfficeStatusPanel* num = AddPanel(psNumLock, 50);
    TKvxOfficeStatusPanel* tiny = AddPanel(psText, 50, "x");
    AddPanel(psText, 50);
    text->SetAutoSize(true);
    num->SetAutoSize(true);
    tiny->SetMinWidth(40);
    tiny->SetAutoSize(true);

    Bar->Canvas()->SetFont(Bar->Font());
    struct TCase {
        TKvxOfficeStatusPanel* Panel;
        std::string Text;
        std::string Measured;
        int MinWidth;
    } cases[] = {
        {text, "X=123.456", "X=123.456", 20},
        {text, "X=1", "X=1", 20},
        {num, "", "NUM", 20}, // Num Lock off: still the width of "NUM"
        {tiny, "x", "x", 40},
    };
    for (const TCase& c : cases) {
        c.Panel->SetText(c.Text);
        Bar->AutoSizePanels();
        TRect calc;
        DrawPanelText(*Bar->Canvas(), taLeftJustify, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS,
                      TRect(0, 0, 1000, 100), c.Measured, Bar->Font(), true, false, Bar->AntiAlias(), true,
                      calc);
        EXPECT_EQ(c.Panel->Width(), std::max(calc.Right - calc.Left + 12, c.MinWidth)) << c.Text;
        EXPECT_GT(calc.Right - calc.Left, 0);
    }
}

TEST(StatusBarLayoutWithoutWindow, AutoSizeMeasuresBeforeTheBarHasAParent) {
    TTestDriver driver;
    TKvxOfficeStatusBar bar(nullptr);
    TKvxOfficeStatusPanel* p = bar.Panels()->Add();
    p->SetStyle(psText);
    p->SetAutoSize(true);
    p->SetText("Measured without a window");
    EXPECT_GT(p->Width(), 60);
    EXPECT_FALSE(bar.HandleAllocated());
}

TEST_F(StatusBarTest, GripRoomIsAddedToTheLastAutoSizePanelOnce) {
    AddPanel(psText, 50, "first");
    TKvxOfficeStatusPanel* last = AddPanel(psText, 50, "last panel");
    last->SetAutoSize(true);
    const int measured = last->Width();
    Bar->SetSizeGrip(false);
    Bar->AutoSizePanels();
    const int withoutGrip = last->Width();
    Bar->SetSizeGrip(true);
    for (int i = 0; i < 3; ++i) {
        Bar->AutoSizePanels();
        last->SetText(i % 2 ? "last panel" : "last panel!");
        last->SetText("last panel");
    }
    EXPECT_EQ(last->Width(), withoutGrip + 16);
    EXPECT_EQ(measured, withoutGrip + 16);
}

TEST_F(StatusBarTest, SetTextMarksOnlyItsOwnPanelAndNeverPaintsAtOnce) {
    AddPanel(psText, 100, "a");
    TKvxOfficeStatusPanel* second = AddPanel(psHTML, 100, "b");
    AddPanel(psText, 100, "c");
    Driver.Pump();
    ASSERT_EQ(UpdateRect(), TRect(0, 0, 0, 0));

    second->SetText("b");
    EXPECT_EQ(UpdateRect(), TRect(0, 0, 0, 0)) << "an unchanged text repaints nothing";
    second->SetText("B");
    EXPECT_EQ(UpdateRect(), Bar->PanelRect(1)) << "a new text invalidates its panel only";
    second->SetText("b"); // case matters
    EXPECT_EQ(second->Text(), "b");

    const int presents = Driver.Backend().Presents();
    second->SetText("<b>bold</b>");
    EXPECT_EQ(Driver.Backend().Presents(), presents) << "painting waits for the paint request";
    Driver.Pump();
    EXPECT_EQ(UpdateRect(), TRect(0, 0, 0, 0));
}

TEST_F(StatusBarTest, GetItemOutsideThePanelsRaises) {
    AddPanel(psText, 50);
    EXPECT_NO_THROW(Bar->Panels()->GetItem(0));
    EXPECT_THROW(Bar->Panels()->GetItem(1), EListError);
    EXPECT_THROW(Bar->Panels()->GetItem(-1), EListError);
}

TEST_F(StatusBarTest, TimePanelChangesOncePerSecondAtMostATickLate) {
    TKvxOfficeStatusPanel* clock = AddPanel(psTime, 80);
    clock->SetTimeFormat("hh:nn:ss");
    Driver.Clock().SetLocalNow(ComposeDateTime(EncodeDate(2026, 12, 11), EncodeTime(10, 0, 0, 950)));
    std::vector<std::string> texts;
    std::vector<int> lateness; // milliseconds past the full second when the text changed
    for (int elapsed = 10; elapsed <= 3500; elapsed += 10) {
        Driver.Advance(10, 10);
        if (!clock->Text().empty() && (texts.empty() || texts.back() != clock->Text())) {
            texts.push_back(clock->Text());
            lateness.push_back((950 + elapsed) % 1000);
        }
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"10:00:01", "10:00:02", "10:00:03", "10:00:04"}));
    for (size_t i = 0; i < lateness.size(); ++i)
        EXPECT_LE(lateness[i], 100) << texts[i];
}

TEST_F(StatusBarTest, LockKeyPanelsFollowTheKeys) {
    UI_HEADLESS_ONLY(Driver);
    TKvxOfficeStatusPanel* num = AddPanel(psNumLock, 50);
    TKvxOfficeStatusPanel* caps = AddPanel(psCapsLock, 50);
    TKvxOfficeStatusPanel* scroll = AddPanel(psScrollLock, 50);
    auto reset = ScopeGuard([] {
        for (uint16_t vk : {VK_NUMLOCK, VK_CAPITAL, VK_SCROLL})
            SetKeyToggled(vk, false);
    });
    SetKeyToggled(VK_NUMLOCK, true);
    SetKeyToggled(VK_SCROLL, true);
    Driver.Advance(100, 10);
    EXPECT_EQ(num->Text(), "NUM");
    EXPECT_EQ(caps->Text(), "");
    EXPECT_EQ(scroll->Text(), "SCRL");
    SetKeyToggled(VK_NUMLOCK, false);
    SetKeyToggled(VK_CAPITAL, true);
    Driver.Advance(100, 10);
    EXPECT_EQ(num->Text(), "");
    EXPECT_EQ(caps->Text(), "CAP");
}

// The red pixels of a panel's text area (blink shows and hides red text).
int RedPixels(TImageSurface& img, const TRect& R) {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x) {
            const TColor c = PixelAt(img, x, y);
            if ((c & 0xFF) > 0xC0 && ((c >> 8) & 0xFF) < 0x60 && ((c >> 16) & 0xFF) < 0x60)
                ++n;
        }
    return n;
}

TEST_F(StatusBarTest, BlinkingTextAlternatesWithTheTickCounter) {
    for (const char* tag : {"<BLINK>", "<blink>"}) {
        Bar->Panels()->Clear();
        AddPanel(psHTML, 200, std::string("<FONT color=\"clRed\">") + tag + "ALERT</BLINK></FONT>");
        std::vector<bool> shown;
        for (int tick = 0; tick < 22; ++tick) {
            Driver.Advance(100, 10);
            auto img = Driver.Render(Bar);
            shown.push_back(RedPixels(*img, TRect(1, 1, 200, Bar->Height() - 1)) > 0);
        }
        int changes = 0;
        for (size_t i = 1; i < shown.size(); ++i)
            changes += shown[i] != shown[i - 1];
        EXPECT_GE(changes, 3) << tag << ": the text must appear and disappear twice per 2.2 s";
        EXPECT_LE(changes, 5) << tag;
    }
}

TCustomImageList* MakeFrames(TComponent* Owner, std::initializer_list<TColor> Colours) {
    auto* list = new TCustomImageList(Owner);
    list->SetWidth(12);
    list->SetHeight(12);
    for (TColor c : Colours) {
        TBitmap bmp;
        bmp.SetSize(12, 12);
        FillRectColor(*bmp.Canvas(), TRect(0, 0, 12, 12), c);
        list->Add(&bmp, nullptr);
    }
    return list;
}

TEST_F(StatusBarTest, AnimationStepsEachTickAndWrapsWhenTheListShrinks) {
    TCustomImageList* frames = MakeFrames(Form, {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF});
    TKvxOfficeStatusPanel* anim = AddPanel(psAnimation, 60);
    anim->SetAnimationImages(frames);
    anim->SetAnimated(true);
    std::vector<int> seen;
    for (int i = 0; i < 6; ++i) {
        Driver.Advance(100, 10);
        seen.push_back(anim->AnimationIndex());
    }
    // The counter starts at 0 and each tick steps once (delay 0).
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 0, 1, 2}));

    anim->SetAnimationIndex(3);
    frames->Delete(3);
    frames->Delete(2);
    Driver.Advance(100, 10);
    EXPECT_EQ(anim->AnimationIndex(), 0) << "an index past the shrunk list starts again";
    Driver.Advance(100, 10);
    EXPECT_EQ(anim->AnimationIndex(), 1);

    anim->SetAnimated(false);
    Driver.Advance(100, 10);
    auto img = Driver.Render(Bar);
    EXPECT_EQ(PixelAt(*img, 8, Bar->Height() / 2), 0x0000FF) << "frame 0 while not animated";
}

TEST_F(StatusBarTest, PanelClicksReportTheIndexOrMinusOne) {
    std::vector<int> clicks, rightClicks, doubleClicks;
    Bar->OnPanelClick = [&](TObject*, int i) { clicks.push_back(i); };
    Bar->OnPanelRightClick = [&](TObject*, int i) { rightClicks.push_back(i); };
    Bar->OnPanelDblClick = [&](TObject*, int i) { doubleClicks.push_back(i); };
    Driver.Click(At(100, 8));
    for (int w : {50, 50, 50, 50})
        AddPanel(psText, w);
    Driver.Click(At(175, 8));
    Driver.Click(At(60, 8), tbRight);
    Driver.DoubleClick(At(10, 8));
    EXPECT_EQ(clicks, (std::vector<int>{-1, 3, 0, 0}));
    EXPECT_EQ(rightClicks, (std::vector<int>{1}));
    EXPECT_EQ(doubleClicks, (std::vector<int>{0}));
}

TEST_F(StatusBarTest, ButtonPanelsAloneTakeHotAndDownStates) {
    Bar->SetStyler(new TKvxOfficeStatusBarOfficeStyler(Form));
    AddPanel(psText, 100, "plain");
    TKvxOfficeStatusPanel* button = AddPanel(psText, 100, "button");
    button->SetButton(true);
    AddPanel(psText, 100);
    Driver.MoveTo(At(50, 8));
    EXPECT_EQ(Bar->HotPanel(), -1);
    Driver.MoveTo(At(150, 8));
    EXPECT_EQ(Bar->HotPanel(), 1);
    auto hot = Driver.Render(Bar);
    Driver.Press(At(150, 8));
    EXPECT_EQ(Bar->DownPanel(), 1);
    auto down = Driver.Render(Bar);
    Driver.MoveTo(At(50, 8));
    auto normal = Driver.Render(Bar);
    EXPECT_EQ(Bar->DownPanel(), 1) << "down until release or leaving the bar";
    EXPECT_EQ(Bar->HotPanel(), -1);
    const TColor n = PixelAt(*normal, 150, 3), h = PixelAt(*hot, 150, 3), d = PixelAt(*down, 150, 3);
    EXPECT_NE(h, n);
    EXPECT_NE(d, h);
    EXPECT_EQ(PixelAt(*hot, 50, 3), PixelAt(*normal, 50, 3)) << "the plain panel never lights up";
    Driver.Release(At(50, 8));
    EXPECT_EQ(Bar->DownPanel(), -1);
}

class LinkLauncherScope {
public:
    LinkLauncherScope()
        : FPrevious(SetLinkLauncher([this](const std::string&, const std::vector<std::string>& args) {
              Opened.push_back(args.empty() ? std::string() : args.back());
              return true;
          })) {}
    ~LinkLauncherScope() { SetLinkLauncher(FPrevious); }
    std::vector<std::string> Opened;

private:
    TLinkLauncher FPrevious;
};

TEST_F(StatusBarTest, LinksOpenThroughTheLinkServiceOrTheEvent) {
    LinkLauncherScope launcher;
    std::vector<std::string> clicked, entered;
    Bar->OnAnchorClick = [&](TObject*, const std::string& a) { clicked.push_back(a); };
    Bar->OnAnchorEnter = [&](TObject*, const std::string& a) { entered.push_back(a); };
    TKvxOfficeStatusPanel* panel = AddPanel(psHTML, 300);
    struct TCase {
        const char* Target;
        std::vector<std::string> Opened;
        std::vector<std::string> Clicked;
    } cases[] = {
        {"http://x", {"http://x"}, {}},
        {"mailto:y", {"mailto:y"}, {}},
        {"file:///x", {}, {}}, // looks like a web link, but the service refuses local files
        {"local", {}, {"local"}},
    };
    for (const TCase& c : cases) {
        launcher.Opened.clear();
        clicked.clear();
        panel->SetText(std::string("<A href=\"") + c.Target + "\">the link text</A>");
        Driver.Pump();
        ASSERT_EQ(Bar->AnchorAt(10, 9), c.Target);
        Driver.Click(At(10, 9));
        EXPECT_EQ(launcher.Opened, c.Opened) << c.Target;
        EXPECT_EQ(clicked, c.Clicked) << c.Target;
    }
    EXPECT_EQ(Bar->AnchorAt(290, 9), "");
    Driver.MoveTo(At(290, 9));
    Driver.MoveTo(At(10, 9));
    EXPECT_EQ(Bar->Cursor(), crHandPoint);
    ASSERT_FALSE(entered.empty());
    EXPECT_EQ(entered.back(), "local");
    Driver.MoveTo(At(290, 9));
    EXPECT_EQ(Bar->Cursor(), crDefault);
}

TEST_F(StatusBarTest, HintRequestsShowTheCarrierWithThePanelOrLinkHint) {
    TKvxOfficeStatusPanel* plain = AddPanel(psText, 100, "plain");
    plain->OfficeHint()->SetTitle("Frames per second");
    TKvxOfficeStatusPanel* html = AddPanel(psHTML, 200, "<A href=\"http://x\">link</A>");
    html->OfficeHint()->SetTitle("Link panel");
    Bar->SetAnchorHint(true);
    struct TCase {
        TPoint Cursor;
        std::string Title;
        std::string Notes;
        bool Moved;
    } cases[] = {
        {{20, 8}, "Frames per second", "", false},
        {{110, 9}, "", "http://x", true},
        {{280, 9}, "Link panel", "", false},
    };
    for (const TCase& c : cases) {
        THintInfo info;
        info.HintControl = Bar;
        info.CursorPos = c.Cursor;
        info.HintPos = TPoint(-1, -1);
        EXPECT_EQ(Bar->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)), 0);
        EXPECT_EQ(info.HintControl, Bar->HintCarrier());
        EXPECT_EQ(Bar->HintCarrier()->OfficeHint()->Title(), c.Title);
        EXPECT_EQ(TrimRight(Bar->HintCarrier()->OfficeHint()->Notes()->Text()), c.Notes);
        const TPoint screen = Bar->ClientToScreen(c.Cursor);
        if (c.Moved)
            EXPECT_EQ(info.HintPos, TPoint(screen.X + 10, screen.Y - 10));
        else
            EXPECT_EQ(info.HintPos, TPoint(-1, -1));
    }
}

TEST_F(StatusBarTest, TheOfficeHintWindowShowsThePanelUnderTheMouse) {
    UI_HEADLESS_ONLY(Driver);
    TKvxOfficeHint officeHint(Form);
    Bar->SetShowHint(true);
    Bar->SetHint("Status"); // the application's hint machinery asks only controls with a hint
    AddPanel(psText, 100, "fps")->OfficeHint()->SetTitle("Frames per second");
    AddPanel(psText, 100, "mem")->OfficeHint()->SetTitle("Memory in use");
    auto hover = [&](int X) {
        // The first move into a panel cancels the previous panel's hint; the next one asks again.
        Driver.MoveTo(At(X, 8));
        Driver.MoveTo(At(X + 1, 8));
        Driver.Advance(Application->HintPause() + 100, 10);
        return dynamic_cast<TKvxOfficeHintWindow*>(Application->HintWindow());
    };
    Driver.MoveTo(TPoint(5, 5));
    TKvxOfficeHintWindow* window = hover(40);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->IsHintShowing());
    EXPECT_EQ(window->Content().Title(), "Frames per second");
    Driver.MoveTo(At(150, 8));
    EXPECT_FALSE(window->IsHintShowing()) << "moving to another panel hides the hint";
    window = hover(160);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->IsHintShowing());
    EXPECT_EQ(window->Content().Title(), "Memory in use");
}

TEST_F(StatusBarTest, FlipChildrenReordersThePanelsWithAllTheirSettings) {
    TKvxOfficeStatusPanel* a = AddPanel(psText, 100, "a");
    TKvxOfficeStatusPanel* b = AddPanel(psText, 150, "b");
    TKvxOfficeStatusPanel* c = AddPanel(psImage, 120, "c");
    a->SetButton(true);
    c->SetImageIndex(3);
    c->SetHTMLOffsetX(7);
    Bar->FlipChildren(false);
    ASSERT_EQ(Bar->Panels()->Count(), 3);
    EXPECT_EQ(Bar->Panels()->GetItem(0), c);
    EXPECT_EQ(Bar->Panels()->GetItem(1), b);
    EXPECT_EQ(Bar->Panels()->GetItem(2), a);
    EXPECT_EQ(c->ImageIndex(), 3);
    EXPECT_EQ(c->HTMLOffsetX(), 7);
    EXPECT_TRUE(a->Button());
    EXPECT_EQ(a->Width(), 100) << "the new last panel takes the first width";
    EXPECT_EQ(c->Width(), Bar->ClientWidth() - 250) << "the new first panel takes what the last occupied";
}

TEST_F(StatusBarTest, PanelAssignCopiesItsListAndRefusesOtherSources) {
    TKvxOfficeStatusPanel* src = AddPanel(psProgress, 120, "src");
    src->SetAlignment(taCenter);
    src->SetDateFormat("yyyy");
    src->SetTimeFormat("hh");
    src->Progress()->SetPosition(33);
    src->OfficeHint()->SetTitle("hint");
    src->SetAppearanceStyle(psDark);
    src->SetMinWidth(30);
    src->SetButton(true); // not on the list
    src->SetImageIndex(4);
    TKvxOfficeStatusPanel* dst = AddPanel(psText, 50);
    dst->Assign(src);
    EXPECT_EQ(dst->Text(), "src");
    EXPECT_EQ(dst->Width(), 120);
    EXPECT_EQ(dst->Alignment(), taCenter);
    EXPECT_EQ(dst->Style(), psProgress);
    EXPECT_EQ(dst->DateFormat(), "yyyy");
    EXPECT_EQ(dst->TimeFormat(), "hh");
    EXPECT_EQ(dst->Progress()->Position(), 33);
    EXPECT_EQ(dst->OfficeHint()->Title(), "hint");
    EXPECT_EQ(dst->AppearanceStyle(), psDark);
    EXPECT_EQ(dst->MinWidth(), 30);
    EXPECT_FALSE(dst->Button());
    EXPECT_EQ(dst->ImageIndex(), -1);

    TKvxHintInfo other;
    EXPECT_ANY_THROW(dst->Assign(&other));
    EXPECT_THROW(dst->Progress()->Assign(&other), EInvalidCast);
}

TEST_F(StatusBarTest, AutoHintWritesPanelZeroOrTheSimpleText) {
    EXPECT_FALSE(Bar->ShowApplicationHint("ignored")) << "AutoHint off";
    Bar->SetAutoHint(true);
    EXPECT_TRUE(Bar->ShowApplicationHint("no panels"));
    EXPECT_EQ(Bar->SimpleText(), "no panels");
    TKvxOfficeStatusPanel* first = AddPanel(psText, 100);
    EXPECT_TRUE(Bar->ShowApplicationHint("in panel 0"));
    EXPECT_EQ(first->Text(), "in panel 0");
    int hints = 0;
    Bar->OnHint = [&](TObject*) { ++hints; };
    EXPECT_FALSE(Bar->ShowApplicationHint("handled by OnHint"));
    EXPECT_EQ(hints, 1);
    EXPECT_EQ(first->Text(), "in panel 0");
}

TEST_F(StatusBarTest, TheSystemFontAndTheParentFontExcludeEachOther) {
    Form->Font()->SetName("Courier New");
    ASSERT_TRUE(Bar->UseSystemFont());
    EXPECT_EQ(Bar->Font()->Name(), Screen->HintFont()->Name());
    Bar->SetParentFont(true);
    EXPECT_FALSE(Bar->UseSystemFont());
    EXPECT_EQ(Bar->Font()->Name(), "Courier New");
    Bar->SetUseSystemFont(true);
    EXPECT_FALSE(Bar->ParentFont());
    EXPECT_EQ(Bar->Font()->Name(), Screen->HintFont()->Name());
}

// Stands in for the toolbar family, which answers these questions once it exists.
class TToolBarFormQuery : public IStatusBarFrameQuery {
public:
    bool IsToolBarForm(TWinControl* Parent) const override { return Parent == Form; }
    bool PagerCaptionTextColor(TWinControl*, TColor& Colour) const override {
        Colour = PagerColour;
        return HasPager;
    }
    TWinControl* Form = nullptr;
    bool HasPager = false;
    TColor PagerColour = clNone;
};

TEST_F(StatusBarTest, RoundedCornersOnlyOnTheToolbarFormOfOlderSystems) {
    AddPanel(psText, 100, "a");
    const TSystemVersion saved = GetSystemVersion();
    TToolBarFormQuery query;
    query.Form = Form;
    auto restore = ScopeGuard([&] {
        SetSystemVersion(saved);
        SetStatusBarFrameQuery(nullptr);
    });
    auto corner = [&] {
        Bar->Invalidate();
        Driver.Pump();
        return Driver.Pixel(Bar, 1, Bar->Height() - 2);
    };
    const TColor plain = corner();
    SetStatusBarFrameQuery(&query);
    EXPECT_EQ(corner(), plain) << "a newer system draws no corners";

    SetSystemVersion({5, 1, 2600});
    struct TCase {
        bool HasPager;
        TColor PagerColour;
        TKvxOfficeStatusBarOfficeStyler* Styler;
        TColor Expected;
    } cases[] = {
        {false, clNone, nullptr, 0x808080},
        {true, 0x00A000, nullptr, 0x00A000},
        {true, clWhite, nullptr, clBlack}, // white would vanish against the frame
        {true, 0x00A000, new TKvxOfficeStatusBarOfficeStyler(Form), 0xE4AE88},
    };
    for (const TCase& c : cases) {
        query.HasPager = c.HasPager;
        query.PagerColour = c.PagerColour;
        Bar->SetStyler(c.Styler);
        EXPECT_EQ(corner(), c.Expected) << std::hex << c.PagerColour;
    }
    SetStatusBarFrameQuery(nullptr);
    Bar->SetStyler(nullptr);
    EXPECT_EQ(corner(), plain) << "without the toolbar family the answer is no";
}

// ---- Pictures for people ----------------------------------------------------------------------------

TEST_F(StatusBarTest, EveryPanelKindInTwoStylesPicture) {
    Form->SetBounds(50, 50, 1000, 120);
    TCustomImageList* images = MakeFrames(Form, {0x0000FF, 0x00AA00, 0xFF0000});
    Bar->SetImages(images);
    auto* styler = new TKvxOfficeStatusBarOfficeStyler(Form);
    Bar->SetStyler(styler);
    AddPanel(psHTML, 120, "<b>HTML</b> <A href=\"x\">link</A>");
    AddPanel(psText, 70, "Plain text");
    AddPanel(psTime, 70)->SetTimeFormat("hh:nn:ss");
    AddPanel(psDate, 80)->SetDateFormat("dd.mm.yyyy");
    AddPanel(psNumLock, 40);
    TKvxOfficeStatusPanel* progress = AddPanel(psProgress, 110);
    progress->Progress()->SetPosition(62);
    TKvxOfficeStatusPanel* image = AddPanel(psImage, 80, "Image");
    image->SetImageIndex(1);
    TKvxOfficeStatusPanel* list = AddPanel(psImageList, 60);
    list->ImageIndexes()->Add("0");
    list->ImageIndexes()->Add("2");
    TKvxOfficeStatusPanel* anim = AddPanel(psAnimation, 60, "Busy");
    anim->SetAnimationImages(images);
    TKvxOfficeStatusPanel* button = AddPanel(psText, 60, "Button");
    button->SetButton(true);
    button->SetAppearanceStyle(psDark);
    AddPanel(psEllipsText, 80, "An ellipsis text that does not fit");
    AddPanel(psFileEllipsText, 100, "C:\\Data\\Camera\\Sub\\capture.bmp");
    AddPanel(psText, 60, "Disabled")->SetEnabled(false);
    Driver.Clock().SetLocalNow(ComposeDateTime(EncodeDate(2026, 12, 11), EncodeTime(10, 20, 30, 0)));
    Driver.Advance(100, 10);
    Driver.MoveTo(At(Bar->PanelRect(9).Left + 20, 8));
    for (TOfficeStatusBarStyle style : {statusbar::psWhidbey, statusbar::psOffice2007Luna}) {
        styler->SetStyle(style);
        Driver.Pump();
        auto img = Driver.Render(Bar);
        // A tile is painted, not left blank: the first panel's upper half carries the light colour.
        EXPECT_NE(PixelAt(*img, 40, 3), PixelAt(*img, 40, Bar->Height() - 3))
            << kOfficeStatusBarStyleNames[style];
        TTestDriver::SavePng(*img, TestOutputDir("office") + "/statusbar-panels-" +
                                       kOfficeStatusBarStyleNames[style] + ".png");
    }
}

} // namespace

namespace {

// The gradient fills bands instead of drawing outlined rectangles and skips bands the next one covers;
// the pixels must be those of every band drawn as an outlined rectangle in turn.
TEST(StatusBarDrawing, StepGradientMatchesOverlappingRectangles) {
    struct TCase {
        TRect R;
        int Steps;
        bool Horizontal;
    } cases[] = {
        {{0, 0, 30, 9}, 128, false}, {{2, 1, 40, 18}, 40, false}, {{0, 0, 50, 6}, 11, true},
        {{3, 0, 25, 20}, 7, false},  {{0, 0, 1, 19}, 40, false},
    };
    for (const TCase& c : cases) {
        TBitmap fast, reference;
        for (TBitmap* b : {&fast, &reference}) {
            b->SetSize(60, 30);
            FillRectColor(*b->Canvas(), TRect(0, 0, 60, 30), clWhite);
        }
        FillStepGradient(*fast.Canvas(), 0x2040F0, 0xF08010, c.Steps, c.R, c.Horizontal);
        TCanvas& ref = *reference.Canvas();
        const double s = double(c.Horizontal ? c.R.Right - c.R.Left : c.R.Bottom - c.R.Top) / c.Steps;
        for (int n = 0; n < c.Steps; ++n) {
            auto mix = [&](int a, int b) { return a + int(std::nearbyint(n * double(b - a) / c.Steps)); };
            const TColor col = mix(0xF0, 0x10) | mix(0x40, 0x80) << 8 | mix(0x20, 0xF0) << 16;
            ref.Pen()->SetColor(col);
            ref.Brush()->SetColor(col);
            const int o = int(std::nearbyint(n * s)), band = int(std::nearbyint(s)) + 1;
            if (c.Horizontal)
                ref.Rectangle(c.R.Left + o, c.R.Top, c.R.Left + o + band, c.R.Bottom);
            else if (c.R.Left + 1 < c.R.Right)
                ref.Rectangle(c.R.Left, c.R.Top + o, c.R.Right, c.R.Top + o + band);
            else {
                ref.MoveTo(c.R.Left, c.R.Top + o);
                ref.LineTo(c.R.Right, c.R.Top + o + band);
            }
        }
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 60; ++x)
                ASSERT_EQ(fast.Canvas()->Pixels(x, y), reference.Canvas()->Pixels(x, y))
                    << x << "," << y << " steps " << c.Steps;
    }
}

} // namespace

namespace {

// The chart window's bar as its layout streams it.
const char* const kChartBarLayout = R"(object fmChartBar: TForm
  Left = 10
  Top = 10
  Width = 700
  Height = 120
  object KvxOfficeStatusBarOfficeStyler1: TKvxOfficeStatusBarOfficeStyler
    Style = psOffice2007Luna
  end
  object KvxOfficeStatusBar1: TKvxOfficeStatusBar
    Panels = <
      item
        Width = 200
      end
      item
        Text = 'X='
        Width = 22
      end
      item
        AutoSize = True
        Style = psText
        Text = '123.5'
        Width = 60
      end
      item
        Text = 'Y='
        Width = 22
      end
      item
        AutoSize = True
        Style = psText
        Width = 60
      end
      item
        Width = 938
      end>
    StretchPanel = 5
    AnchorHint = False
    URLColor = clBlue
    Styler = KvxOfficeStatusBarOfficeStyler1
  end
end
)";

TEST(StatusBarLayout, TheChartWindowsBarLoadsAndWritesBackUnchanged) {
    TTestDriver driver;
    auto* form = new TForm(Application);
    ReadComponentFromText(kChartBarLayout, form);
    auto* bar = dynamic_cast<TKvxOfficeStatusBar*>(form->FindComponent("KvxOfficeStatusBar1"));
    auto* styler = dynamic_cast<TKvxOfficeStatusBarOfficeStyler*>(
        form->FindComponent("KvxOfficeStatusBarOfficeStyler1"));
    ASSERT_TRUE(bar && styler);
    EXPECT_EQ(bar->Styler(), styler);
    EXPECT_EQ(styler->Style(), statusbar::psOffice2007Luna);
    EXPECT_EQ(styler->BorderColor(), 0xB07D56);
    ASSERT_EQ(bar->Panels()->Count(), 6);
    EXPECT_EQ(bar->StretchPanel(), 5);
    EXPECT_EQ(bar->Panels()->GetItem(1)->Style(), psHTML);
    EXPECT_EQ(bar->Panels()->GetItem(1)->Text(), "X=");
    EXPECT_TRUE(bar->Panels()->GetItem(2)->AutoSize());
    EXPECT_LT(bar->Panels()->GetItem(2)->Width(), 60) << "laid out once loaded: measured '123.5' + 12";
    EXPECT_EQ(bar->Panels()->GetItem(4)->Width(), 60) << "nothing to measure yet";
    EXPECT_EQ(bar->Height(), 19);
    EXPECT_EQ(bar->Align(), alBottom);

    const std::string text = WriteComponentToText(form);
    form->Free();
    auto* back = new TForm(Application);
    ReadComponentFromText(text, back);
    EXPECT_EQ(WriteComponentToText(back), text);
    back->Free();
}

TEST_F(StatusBarTest, SizeGripAnswersTheCornerAndLeavesTheEdgesToTheWindowBelow) {
    AddPanel(psText, 100, "a");
    AddPanel(psText, 100, "b");
    const int W = Bar->Width(), H = Bar->Height();
    auto hit = [&](int X, int Y) {
        const TPoint p = Bar->ClientToScreen(TPoint(X, Y));
        return Bar->Perform(WM_NCHITTEST, 0, static_cast<LPARAM>((p.X & 0xFFFF) | (p.Y & 0xFFFF) << 16));
    };
    ASSERT_TRUE(Bar->IsSizeGripVisible());
    EXPECT_EQ(hit(W - 2, H - 2), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(W / 2, H - 2), HTTRANSPARENT) << "the bottom band";
    EXPECT_EQ(hit(W - 2, 3), HTTRANSPARENT) << "the right band";
    EXPECT_EQ(hit(W / 2, 5), HTCLIENT);

    Form->SetWindowState(wsMaximized);
    Driver.Pump();
    EXPECT_FALSE(Bar->IsSizeGripVisible());
    EXPECT_NE(hit(Bar->Width() - 2, Bar->Height() - 2), HTBOTTOMRIGHT);
    Form->SetWindowState(wsNormal);
    Form->SetBorderStyle(bsSingle);
    Driver.Pump();
    EXPECT_FALSE(Bar->IsSizeGripVisible());
}

TEST_F(StatusBarTest, SimplePanelAndProgressChangesRepaintWhatTheyShow) {
    TKvxOfficeStatusPanel* progress = AddPanel(psProgress, 150);
    AddPanel(psText, 100, "text");
    Driver.Pump();
    progress->Progress()->SetPosition(40);
    EXPECT_EQ(UpdateRect(), Bar->PanelRect(0));
    Driver.Pump();

    Bar->SetSimpleText("<b>Simple</b>");
    Bar->SetSimplePanel(true);
    Driver.Pump();
    EXPECT_EQ(Bar->Perform(WM_GETTEXTLENGTH, 0, 0), 13);
    Bar->Panels()->GetItem(1)->SetText("changed");
    EXPECT_EQ(UpdateRect(), Bar->ClientRect()) << "in simple mode a panel change repaints the whole bar";
    Driver.Pump();
    auto img = Driver.Render(Bar);
    TTestDriver::SavePng(*img, TestOutputDir("office") + "/statusbar-simple.png");
    bool dark = false;
    for (int x = 3; x < 60 && !dark; ++x)
        for (int y = 3; y < Bar->Height() - 2 && !dark; ++y)
            dark = (PixelAt(*img, x, y) & 0xFF) < 0x40;
    EXPECT_TRUE(dark) << "the simple text is drawn";
}

} // namespace

namespace {

// Both text forms stay inside their rectangle and grey out a disabled text: the plain output for aaNone
// or a font that is not an installed vector font, the anti-aliased one otherwise.
TEST(StatusBarDrawing, PanelTextStaysInsideItsRectangleInBothForms) {
    TTestDriver driver;
    std::string installed;
    for (int i = 0; i < Screen->Fonts()->Count(); ++i)
        if ((*Screen->Fonts())[i] == "DejaVu Sans")
            installed = "DejaVu Sans";
    if (installed.empty())
        GTEST_SKIP() << "DejaVu Sans is not installed";
    struct TCase {
        const char* Font;
        TAntiAlias AntiAlias;
        bool Enabled;
    } cases[] = {
        {"DejaVu Sans", aaNone, true},
        {"DejaVu Sans", aaClearType, true},
        {"DejaVu Sans", aaAntiAlias, false},
        {"Tahoma", aaClearType, true}, // mapped, not installed under that name: the plain form
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Font) + " " + kAntiAliasNames[c.AntiAlias]);
        TBitmap bmp;
        bmp.SetSize(200, 20);
        TCanvas& canvas = *bmp.Canvas();
        canvas.Font()->SetName(c.Font);
        canvas.Font()->SetSize(8);
        canvas.Font()->SetColor(clBlack);
        FillRectColor(canvas, TRect(0, 0, 200, 20), clWhite);
        canvas.Brush()->SetStyle(bsClear);
        const TRect r(10, 0, 80, 20);
        TRect calc;
        DrawPanelText(canvas, taLeftJustify, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, r,
                      "An ellipsis text that does not fit", canvas.Font(), c.Enabled, true, c.AntiAlias, true,
                      calc);
        int inked = 0, darkest = 255;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 200; ++x) {
                const TColor p = canvas.Pixels(x, y);
                if (p == clWhite)
                    continue;
                ASSERT_TRUE(x >= r.Left && x < r.Right) << "ink at " << x;
                ++inked;
                darkest = std::min(darkest, int(p & 0xFF));
            }
        EXPECT_GT(inked, 20);
        if (!c.Enabled)
            EXPECT_GE(darkest, 0x60) << "disabled text is grey";
        else
            EXPECT_LT(darkest, 0x40);
        TRect measured;
        DrawPanelText(canvas, taLeftJustify, DT_SINGLELINE, TRect(0, 0, 1000, 100), "NUM", canvas.Font(),
                      true, false, c.AntiAlias, true, measured);
        EXPECT_GT(measured.Right - measured.Left, 10);
    }
}

} // namespace
