// How the typed edit looks: empty-text hint, error marker, link look, flat and border looks, the
// attached label's places, and a picture of them all for people to look at.
#include <gtest/gtest.h>

#include "EditTestUtil.h"
#include "platform/rtl/OpenLink.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "ui/controls/KvxDirectoryEdit.h"

using namespace plat;
using namespace ui;
using namespace edittest;

namespace {

class EditLookTest : public EditFixture {
protected:
    int CountPixels(TControl* c, const TRect& area, const std::function<bool(TColor)>& match) {
        auto image = Driver.Render(c);
        int n = 0;
        for (int y = area.Top; y < area.Bottom; ++y)
            for (int x = area.Left; x < area.Right; ++x)
                if (match(TTestDriver::PixelOf(*image, x, y)))
                    ++n;
        return n;
    }
    static bool Grey(TColor c) { return c == clGray; }
    static bool Red(TColor c) {
        return (c & 0xFF) > 0xC0 && ((c >> 8) & 0xFF) < 0x40 && ((c >> 16) & 0xFF) < 0x40;
    }
};

TEST_F(EditLookTest, TheEmptyTextHintShowsOnlyInAnEmptyUnfocusedEdit) {
    Edit->SetEmptyText("Pixel");
    Other->SetFocus();
    Driver.Pump();
    TRect area(3, 3, Edit->Width() - 3, Edit->Height() - 3); // inside the sunken frame
    EXPECT_GT(CountPixels(Edit, area, Grey), 10);
    Edit->SetFocus();
    Driver.Pump();
    EXPECT_EQ(CountPixels(Edit, area, Grey), 0);
    Other->SetFocus();
    Edit->SetTextProp("12");
    Driver.Pump();
    EXPECT_EQ(CountPixels(Edit, area, Grey), 0);
}

TEST_F(EditLookTest, TheErrorMarkerUnderlinesItsCharactersWhileUnfocused) {
    Edit->SetTextProp("wrong value");
    Other->SetFocus();
    Driver.Pump();
    TRect lower(0, Edit->ClientHeight() / 2, Edit->ClientWidth(), Edit->ClientHeight());
    EXPECT_EQ(CountPixels(Edit, lower, Red), 0);
    Edit->SetErrorMarkerPos(6);
    Edit->SetErrorMarkerLen(5);
    Driver.Pump();
    int marked = CountPixels(Edit, lower, Red);
    EXPECT_GT(marked, 10);
    // Under "value" only: nothing red left of where it starts.
    LRESULT start = Edit->Perform(EM_POSFROMCHAR, 6, 0);
    EXPECT_EQ(
        CountPixels(Edit, TRect(0, lower.Top, static_cast<int16_t>(LOWORD(start)) - 1, lower.Bottom), Red),
        0);
    Edit->SetFocus();
    Driver.Pump();
    EXPECT_EQ(CountPixels(Edit, lower, Red), 0);
}

TEST_F(EditLookTest, LinksAreUnderlinedAndOpenOnAFocusedClickUnlessRefused) {
    std::vector<std::string> opened;
    TLinkLauncher old = SetLinkLauncher([&](const std::string&, const std::vector<std::string>& args) {
        opened.push_back(args.empty() ? "" : args.back());
        return true;
    });
    Edit->SetShowURL(true);
    Edit->SetTextProp("https://example.org");
    EXPECT_TRUE(Edit->Font()->Style() & fsUnderline);
    EXPECT_EQ(Edit->Font()->Color(), clBlue);
    EXPECT_EQ(Edit->Cursor(), crHandPoint);
    Edit->SetFocus();
    Driver.Pump();
    Driver.Click(Edit, TPoint(10, 8));
    EXPECT_EQ(opened, std::vector<std::string>{"https://example.org"});
    Edit->OnURLClick = [](TObject*, const std::string&, bool& show) { show = false; };
    Driver.Click(Edit, TPoint(10, 8));
    EXPECT_EQ(opened.size(), 1u);
    // Not a link any more: the plain look comes back.
    Edit->SetTextProp("plain");
    EXPECT_FALSE(Edit->Font()->Style() & fsUnderline);
    SetLinkLauncher(old);
}

TEST_F(EditLookTest, AFlatEditTakesItsParentsColourAndReturnsToItsOwnOnExit) {
    Form->SetColor(0x00E0F0);
    Edit->SetColor(0xF0F0F0);
    Edit->SetFlat(true);
    EXPECT_EQ(Edit->Color(), Form->Brush()->Color());
    EXPECT_EQ(Edit->BorderStyle(), bsNone);
    Edit->SetFocus();
    Driver.Pump();
    Other->SetFocus();
    Driver.Pump();
    EXPECT_EQ(Edit->Color(), static_cast<TColor>(0xF0F0F0));
    Edit->SetFlat(false);
    EXPECT_EQ(Edit->BorderStyle(), bsSingle);
}

TEST_F(EditLookTest, DisabledAndTransparentEditsShowTheirBackgrounds) {
    Form->SetColor(0x40C040);
    Edit->SetEnabled(false);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(Edit, 5, 5), clSilver);
    Edit->SetEnabled(true);
    Edit->SetTransparent(true);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(Edit, 5, 5), static_cast<TColor>(0x40C040));
}

TEST_F(EditLookTest, TheLabelStandsWhereItsPositionSays) {
    Edit->SetBounds(150, 100, 100, 21);
    Edit->SetLabelCaption("Step Size");
    TLabel* label = Edit->EditLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Parent(), Form);
    EXPECT_EQ(label->FocusControl(), Edit);
    int w = label->Width(), h = label->Height(), m = 4;
    struct Case {
        TLabelPosition Position;
        int Left, Top;
    } cases[] = {{lpLeftTop, 150 - w - m, 100},
                 {lpTopLeft, 150, 100 - h - m},
                 {lpBottomLeft, 150, 121 + m},
                 {lpLeftTopLeft, 150 - m, 100},
                 {lpTopCenter, 150 + (100 - w) / 2, 100 - h - m},
                 {lpRightTop, 250 + m, 100},
                 {lpRightCenter, 250 + m, 100 + (21 - h) / 2},
                 {lpRighBottom, 250 + m, 121 - h}};
    for (const Case& c : cases) {
        Edit->SetLabelPosition(c.Position);
        EXPECT_EQ(label->Left(), c.Left) << kLabelPositionNames[c.Position];
        EXPECT_EQ(label->Top(), c.Top) << kLabelPositionNames[c.Position];
    }
    // The label follows the edit's place, visibility and enabled state.
    Edit->SetLabelPosition(lpTopLeft);
    Edit->SetBounds(30, 60, 100, 21);
    EXPECT_EQ(label->Left(), 30);
    Edit->SetVisible(false);
    EXPECT_FALSE(label->Visible());
    Edit->SetVisible(true);
    EXPECT_TRUE(label->Visible());
    // Also when hidden as a plain control (a layout, a parent's code).
    static_cast<TControl*>(Edit)->SetVisible(false);
    EXPECT_FALSE(label->Visible());
    static_cast<TControl*>(Edit)->SetVisible(true);
    EXPECT_TRUE(label->Visible());
    Edit->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
    EXPECT_EQ(Edit->Color(), clSilver);
    Edit->SetEnabled(true);
    EXPECT_EQ(Edit->Color(), clWindow);
    Edit->SetLabelAlwaysEnabled(true);
    Edit->SetEnabled(false);
    EXPECT_TRUE(label->Enabled());
}

TEST_F(EditLookTest, AutoFocusTakesTheFocusWhenTheMouseComesIn) {
    std::vector<std::string> events;
    Edit->OnMouseEnter = [&](TObject*) { events.push_back("enter"); };
    Edit->OnMouseLeave = [&](TObject*) { events.push_back("leave"); };
    Other->SetFocus();
    Driver.Pump();
    Driver.MoveTo(TTestDriver::CenterOf(Edit));
    EXPECT_FALSE(Edit->Focused());
    Driver.MoveTo(TTestDriver::CenterOf(Other));
    Edit->SetAutoFocus(true);
    Driver.MoveTo(TTestDriver::CenterOf(Edit));
    EXPECT_TRUE(Edit->Focused());
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave", "enter"}));
}

TEST_F(EditLookTest, AValueWiderThanTheEditBecomesItsHint) {
    Edit->SetHintShowLargeText(true);
    Edit->SetHint("plain hint");
    for (bool wide : {false, true}) {
        Edit->SetTextProp(wide ? std::string(60, 'W') : "short");
        THintInfo info;
        info.HintStr = Edit->Hint();
        Edit->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.HintStr, wide ? Edit->Text() : "plain hint");
        if (wide) {
            EXPECT_EQ(info.HintPos, Edit->ClientToScreen(TPoint(0, 0)));
        }
    }
}

TEST_F(EditLookTest, FocusColoursAndBoldLabelFollowTheFocus) {
    Edit->SetFocusColor(0xE0FFFF);
    Edit->SetFocusLabel(true);
    Edit->SetLabelCaption("Value");
    Edit->SetFocusWidthInc(20);
    int width = Edit->Width();
    Edit->SetFocus();
    Driver.Pump();
    EXPECT_EQ(Edit->Color(), static_cast<TColor>(0xE0FFFF));
    EXPECT_TRUE(Edit->EditLabel()->Font()->Style() & fsBold);
    EXPECT_EQ(Edit->Width(), width + 20);
    Other->SetFocus();
    Driver.Pump();
    EXPECT_EQ(Edit->Color(), clWindow);
    EXPECT_FALSE(Edit->EditLabel()->Font()->Style() & fsBold);
    EXPECT_EQ(Edit->Width(), width);
}

TEST_F(EditLookTest, Pictures) {
    Form->SetBounds(100, 100, 470, 330);
    Form->SetColor(clBtnFace);
    auto add = [&](int y, const std::string& caption) {
        auto* e = New(110, y, 200);
        e->SetLabelCaption(caption);
        e->SetLabelPosition(lpLeftCenter);
        return e;
    };
    Edit->SetVisible(false);
    Other->SetVisible(false);
    auto* focused = add(10, "Focused");
    focused->SetEditType(etFloat);
    focused->SetPrecision(2);
    focused->SetFocusColor(0xE0FFFF);
    focused->SetFloatValue(1234.5);
    auto* error = add(40, "Error mark");
    error->SetTextProp("Countz per pixel");
    error->SetErrorMarkerPos(0);
    error->SetErrorMarkerLen(6);
    auto* empty = add(70, "X-Title");
    empty->SetEmptyText("Pixel");
    auto* link = add(100, "Link");
    link->SetShowURL(true);
    link->SetTextProp("https://example.org/frames");
    auto* flat = add(130, "Flat");
    flat->SetFlat(true);
    flat->SetTextProp("flat with a line");
    auto* soft = add(160, "Soft border");
    soft->SetFlat(true);
    soft->SetSoftBorder(true);
    soft->SetTextProp("soft frame");
    auto* disabled = add(190, "Disabled");
    disabled->SetTextProp("disabled");
    disabled->SetEnabled(false);
    auto* money = add(220, "Money");
    money->SetEditType(etMoney);
    money->SetPrecision(2);
    money->SetPrefix("$ ");
    money->SetFloatValue(-1234567.891);
    auto* bordered = New(340, 10, 100);
    bordered->SetFocusBorderColor(clRed);
    bordered->SetTextProp("red frame");
    auto* drop = New<TKvxEditBtn>(340, 40, 100);
    drop->SetButtonStyle(edbtn::bsDropDown);
    drop->SetTextProp("drop-down");
    auto* flatButton = New<TKvxEditBtn>(340, 70, 100);
    flatButton->SetFlat(true);
    flatButton->SetButtonCaption("...");
    flatButton->SetTextProp("flat button");
    auto* folder = New<TKvxDirectoryEdit>(120, 270, 250);
    folder->SetLabelCaption("Directory");
    folder->SetLabelPosition(lpTopLeft);
    folder->SetTextProp("/home/user/frames");
    focused->SetFocus();
    Driver.Pump();
    bordered->SetFocus(); // its frame shows while it has the focus
    Driver.Pump();
    auto framed = Driver.Render(bordered);
    EXPECT_EQ(TTestDriver::PixelOf(*framed, 0, 5), clRed);
    focused->SetFocus();
    Driver.Pump();
    auto image = Driver.Render(Form);
    TTestDriver::SavePng(*image, TestOutputDir("controls") + "/typed-edits.png");
    // Something of every look is there: the grey hint, the red marker, the blue link.
    int grey = 0, red = 0, blue = 0;
    for (int y = 0; y < image->Height(); ++y)
        for (int x = 0; x < image->Width(); ++x) {
            TColor c = TTestDriver::PixelOf(*image, x, y);
            grey += c == clGray;
            red += Red(c);
            blue += c == clBlue;
        }
    EXPECT_GT(grey, 10);
    EXPECT_GT(red, 10);
    EXPECT_GT(blue, 10);
}

} // namespace
