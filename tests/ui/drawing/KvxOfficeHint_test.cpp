#include "ui/drawing/KvxOfficeHint.h"

#include <gtest/gtest.h>

#include <memory>

#include "PictureBytes.h"
#include "platform/gfx/Surface.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Messages.h"

using namespace plat;
using namespace ui;

namespace {

// A control with an office hint that may hand its hint request to a carrier, as tab sets and status bars
// do for the part under the mouse.
class THintedControl : public TCustomControl {
    PLAT_CLASS(THintedControl)
public:
    explicit THintedControl(TComponent* AOwner) : TCustomControl(AOwner) {}
    TKvxHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TKvxHintInfo* Value) { FOfficeHint->Assign(Value); }
    TControl* Carrier = nullptr;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clBtnFace);
        Canvas()->FillRect(ClientRect());
    }
    void Dispatch(TMessage& Message) override {
        if (Message.Msg == CM_HINTSHOW && Carrier)
            reinterpret_cast<THintInfo*>(Message.LParam)->HintControl = Carrier;
        TCustomControl::Dispatch(Message);
    }

private:
    std::unique_ptr<TKvxHintInfo> FOfficeHint = std::make_unique<TKvxHintInfo>();
};

} // namespace

PLAT_CLASS_INFO(THintedControl, TCustomControl)
PLAT_PROPERTIES(THintedControl) {
    props.Object("OfficeHint", &THintedControl::OfficeHint, &THintedControl::SetOfficeHint);
}

namespace {

// A bitmap picture: an orange ground (transparent, as its bottom-left colour) around a green block.
constexpr TColor kPictureColour = 0x2080E0;
constexpr TColor kBlock = 0x006000;

class OfficeHintTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 400, 300);
        Button = new THintedControl(Form);
        Button->SetParent(Form);
        Button->SetBounds(20, 20, 120, 30);
        Button->SetShowHint(true);
        Button->SetHint("Save");
        Plain = new THintedControl(Form);
        Plain->SetParent(Form);
        Plain->SetBounds(20, 120, 120, 30);
        Plain->SetShowHint(true);
        Plain->SetHint("Only a plain hint");
        Form->Show();
    }

    void FillHint(TKvxHintInfo& hint) {
        hint.SetTitle("Save chart");
        hint.Notes()->Add("Writes the chart and its series");
        hint.Notes()->Add("to the file it came from.");
        auto bmp = drawingtest::MakeBitmap(24, 24, kPictureColour, [](TCanvas& c) {
            c.Brush()->SetColor(kBlock);
            c.FillRect(TRect(6, 6, 18, 18));
        });
        hint.Picture()->Assign(bmp.get());
    }

    // Hovers over a control until its hint shows; answers the window.
    THintWindow* HoverHint(TControl* control) {
        Driver.MoveTo(TPoint(5, 5));
        Driver.MoveTo(Driver.CenterOf(control));
        Driver.Advance(Application->HintPause());
        return Application->HintWindow();
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    THintedControl* Button = nullptr;
    THintedControl* Plain = nullptr;
};

int CountPixels(const TImageSurface& image, const std::function<bool(TColor)>& wanted) {
    int n = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            n += wanted(TTestDriver::PixelOf(image, x, y));
    return n;
}

TEST_F(OfficeHintTest, ShowsTitleNotesAndPictureOfTheHintControl) {
    UI_HEADLESS_ONLY(Driver);
    TKvxOfficeHint officeHint(Form);
    FillHint(*Button->OfficeHint());

    THintWindow* window = HoverHint(Button);
    auto* office = dynamic_cast<TKvxOfficeHintWindow*>(window);
    ASSERT_NE(office, nullptr);
    EXPECT_TRUE(office->IsHintShowing());
    EXPECT_EQ(office->Content().Title(), "Save chart");
    EXPECT_EQ(office->Content().Notes()->Count(), 2);

    auto image = Driver.Render(office);
    const std::string png = TTestDriver::SavePng(*image, TestOutputDir("drawing") + "/office-hint.png");
    SCOPED_TRACE(png);
    // Room for a bold title above two lines of notes beside a 24-pixel picture.
    EXPECT_GT(image->Width(), 24 + 100);
    EXPECT_GT(image->Height(), 24 + 14);
    EXPECT_EQ(CountPixels(*image, [](TColor c) { return c == kBlock; }), 12 * 12) << "picture";
    EXPECT_EQ(CountPixels(*image, [](TColor c) { return c == kPictureColour; }), 0)
        << "its transparent ground";
    EXPECT_GT(CountPixels(*image, [](TColor c) { return (c & 0xFF) < 0x90 && ((c >> 8) & 0xFF) < 0x90; }), 60)
        << "dark text";

    // The title is bold: its strokes are wider than those of the same text in the notes font.
    TBitmap probe(200, 40, pf24bit);
    auto inkOf = [&](TFontStyles style) {
        TCanvas& c = *probe.Canvas();
        c.Brush()->SetColor(clWhite);
        c.FillRect(TRect(0, 0, 200, 40));
        c.Font()->Assign(office->Font());
        c.Font()->SetStyle(style);
        c.TextOut(2, 2, "Save chart");
        int ink = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 200; ++x)
                ink += c.Pixels(x, y) != clWhite;
        return ink;
    };
    EXPECT_GT(inkOf(fsBold), inkOf(0));
}

TEST_F(OfficeHintTest, TheCarrierNamedByTheControlSuppliesTheContent) {
    UI_HEADLESS_ONLY(Driver);
    TKvxOfficeHint officeHint(Form);
    Button->OfficeHint()->SetTitle("The tab set itself");
    auto* carrier = new THintedControl(Form); // never visible, as a tab set's carrier
    carrier->OfficeHint()->Notes()->Add("http://example.invalid/page");
    Button->Carrier = carrier;

    auto* office = dynamic_cast<TKvxOfficeHintWindow*>(HoverHint(Button));
    ASSERT_NE(office, nullptr);
    EXPECT_TRUE(office->IsHintShowing());
    EXPECT_EQ(office->Content().Title(), "");
    ASSERT_EQ(office->Content().Notes()->Count(), 1);
    EXPECT_EQ((*office->Content().Notes())[0], "http://example.invalid/page");

    // The window keeps its own copy: the carrier may change or go while it shows.
    carrier->OfficeHint()->Notes()->Clear();
    Button->Carrier = nullptr;
    carrier->Free();
    auto image = Driver.Render(office);
    EXPECT_GT(image->Width(), 0);
    EXPECT_EQ((*office->Content().Notes())[0], "http://example.invalid/page");
}

TEST_F(OfficeHintTest, ControlsWithoutOfficeContentGetThePlainHint) {
    UI_HEADLESS_ONLY(Driver);
    {
        TKvxOfficeHint officeHint(Form);
        FillHint(*Button->OfficeHint());
        ASSERT_NE(dynamic_cast<TKvxOfficeHintWindow*>(HoverHint(Button)), nullptr);

        auto* office = dynamic_cast<TKvxOfficeHintWindow*>(HoverHint(Plain));
        ASSERT_NE(office, nullptr);
        EXPECT_TRUE(office->IsHintShowing());
        EXPECT_EQ(office->Caption(), "Only a plain hint");
        EXPECT_TRUE(office->Content().Title().empty());
        EXPECT_TRUE(office->Content().Picture()->Empty());
    }
    // Without the component hints are the platform's again, office content or not.
    THintWindow* window = HoverHint(Button);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(dynamic_cast<TKvxOfficeHintWindow*>(window), nullptr);
    EXPECT_TRUE(window->IsHintShowing());
    EXPECT_EQ(window->Caption(), "Save");
}

TEST(OfficeHintLookup, FindsOnlyAPublishedOfficeHint) {
    THintedControl control(nullptr);
    EXPECT_EQ(FindOfficeHint(&control), control.OfficeHint());
    TKvxHintInfo notAControl;
    EXPECT_EQ(FindOfficeHint(&notAControl), nullptr);
    EXPECT_EQ(FindOfficeHint(nullptr), nullptr);

    EXPECT_FALSE(HasOfficeHintContent(*control.OfficeHint()));
    control.OfficeHint()->SetShowHelp(true);
    EXPECT_FALSE(HasOfficeHintContent(*control.OfficeHint())) << "a help flag alone shows nothing";
    control.OfficeHint()->Notes()->Add("x");
    EXPECT_TRUE(HasOfficeHintContent(*control.OfficeHint()));
}

} // namespace
