#include "platform/ui/ColorDialog.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"

using namespace plat;

namespace {

struct THLSCase {
    TColor Color;
    int Hue, Lum, Sat;
};

TEST(ColorHLS, ConvertsBothWaysOnTheDialogsScale) {
    const THLSCase cases[] = {
        {RGB(255, 0, 0), 0, 120, 240},     {RGB(0, 255, 0), 80, 120, 240},    {RGB(0, 0, 255), 160, 120, 240},
        {RGB(255, 255, 0), 40, 120, 240},  {RGB(255, 255, 255), 160, 240, 0}, {RGB(0, 0, 0), 160, 0, 0},
        {RGB(128, 128, 128), 160, 120, 0}, {RGB(128, 0, 0), 0, 60, 240},
    };
    for (const auto& c : cases) {
        int h = -1, l = -1, s = -1;
        ColorToHLS(c.Color, h, l, s);
        EXPECT_EQ(h, c.Hue) << std::hex << c.Color;
        EXPECT_EQ(l, c.Lum) << std::hex << c.Color;
        EXPECT_EQ(s, c.Sat) << std::hex << c.Color;
    }
    // Round trips stay within one step of each channel.
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 51) {
                int h, l, s;
                ColorToHLS(RGB(r, g, b), h, l, s);
                TColor back = ColorHLSToRGB(h, l, s);
                ASSERT_NEAR(GetRValue(back), r, 3) << r << "," << g << "," << b;
                ASSERT_NEAR(GetGValue(back), g, 3) << r << "," << g << "," << b;
                ASSERT_NEAR(GetBValue(back), b, 3) << r << "," << g << "," << b;
            }
}

class ColorDialogTest : public ::testing::Test {
protected:
    template <class T> static T* Find(TCustomForm& form, const char* name) {
        auto* c = dynamic_cast<T*>(form.FindComponent(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    // The centre of cell `index` of a swatch grid (24 by 21 cells, eight across).
    static TPoint Cell(int index) { return TPoint((index % 8) * 24 + 12, (index / 8) * 21 + 10); }
    void SetEdit(TCustomForm& form, const char* name, const std::string& text) {
        auto* e = Find<TEdit>(form, name);
        e->SetFocus();
        e->SelectAll();
        Driver.Type(text);
    }
    static std::string EditText(TCustomForm& form, const char* name) {
        return Find<TEdit>(form, name)->Text();
    }

    TTestDriver Driver;
};

TEST_F(ColorDialogTest, PickingABasicColour) {
    TColorDialog dialog(nullptr);
    dialog.SetColor(clBlue);
    bool partHidden = false;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        partHidden = !Find<TControl>(form, "Spectrum")->Visible();
        Driver.Click(Find<TControl>(form, "BasicColors"), Cell(8)); // the pure red of the second row
        Driver.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_TRUE(partHidden);
    EXPECT_EQ(dialog.Color(), RGB(255, 0, 0));

    // The arrow keys move through the colours; Escape keeps the colour as it was.
    Driver.AnswerNextModal([&](TCustomForm& form) {
        Driver.PressKey(VK_RIGHT);
        Driver.PressKey(VK_DOWN);
        Driver.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Color(), RGB(255, 128, 64)) << "from red one right and one down";
    Driver.AnswerNextModal([&](TCustomForm& form) {
        Driver.Click(Find<TControl>(form, "BasicColors"), Cell(0));
        Driver.PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Color(), RGB(255, 128, 64));
}

TEST_F(ColorDialogTest, DefinedCustomColoursAreKeptForTheNextRun) {
    TColorDialog dialog(nullptr);
    std::string hue, sat, lum;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        Driver.ClickButton(&form, "Define Custom Colors >>");
        EXPECT_TRUE(Find<TControl>(form, "Spectrum")->Visible());
        EXPECT_GT(form.ClientWidth(), 400);
        SetEdit(form, "RedEdit", "10");
        SetEdit(form, "GreenEdit", "20");
        SetEdit(form, "BlueEdit", "30");
        hue = EditText(form, "HueEdit");
        sat = EditText(form, "SatEdit");
        lum = EditText(form, "LumEdit");
        Driver.ClickButton(&form, "Add to Custom Colors");
        // Hue, saturation and luminance define a colour too; it goes into the next slot.
        SetEdit(form, "HueEdit", "0");
        SetEdit(form, "SatEdit", "240");
        SetEdit(form, "LumEdit", "120");
        Driver.ClickButton(&form, "Add to Custom Colors");
        Driver.ClickButton(&form, "OK");
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(hue, "140");
    EXPECT_EQ(sat, "120");
    EXPECT_EQ(lum, "19");
    EXPECT_EQ(dialog.Color(), RGB(255, 0, 0));
    ASSERT_EQ(dialog.CustomColors()->Count(), 16);
    EXPECT_EQ(dialog.CustomColors()->Get(0), "ColorA=1E140A");
    EXPECT_EQ(dialog.CustomColors()->Get(1), "ColorB=0000FF");
    EXPECT_EQ(dialog.CustomColors()->Get(15), "ColorP=FFFFFF");

    // The next run shows them, and picking one answers it.
    dialog.SetColor(RGB(10, 20, 30));
    TColor shown = clNone;
    int selectedAtStart = -2;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        TControl* custom = Find<TControl>(form, "CustomColors");
        shown = Driver.Pixel(custom, 12, 10);
        selectedAtStart = TTestDriver::FocusedControl() == custom;
        Driver.Click(custom, Cell(1));
        Driver.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(shown, RGB(10, 20, 30));
    EXPECT_EQ(selectedAtStart, 1) << "the colour given is found among the custom colours";
    EXPECT_EQ(dialog.Color(), RGB(255, 0, 0));

    // Colours added in a cancelled run are not kept.
    Driver.AnswerNextModal([&](TCustomForm& form) {
        Driver.ClickButton(&form, "Define Custom Colors >>");
        Driver.ClickButton(&form, "Add to Custom Colors");
        Driver.PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.CustomColors()->Get(2), "ColorC=FFFFFF");
}

TEST_F(ColorDialogTest, TheFieldAndTheBarSetHueSaturationAndLuminance) {
    TColorDialog dialog(nullptr);
    dialog.SetColor(RGB(0, 0, 255));
    dialog.SetOptions(cdFullOpen);
    std::string afterField, afterBar;
    bool defineEnabled = true;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        defineEnabled = Find<TButton>(form, "DefineButton")->Enabled();
        TControl* field = Find<TControl>(form, "Spectrum");
        Driver.Click(field, TPoint(2, 2)); // hue 0, full saturation
        afterField =
            EditText(form, "HueEdit") + "/" + EditText(form, "SatEdit") + "/" + EditText(form, "LumEdit");
        TTestDriver::SavePng(*Driver.RenderScreen(form.BoundsRect()), "color-dialog.png");
        TControl* bar = Find<TControl>(form, "LumBar");
        Driver.Click(bar, TPoint(7, bar->Height() - 1)); // the bottom: black
        afterBar = EditText(form, "LumEdit") + " " + EditText(form, "RedEdit");
        Driver.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_FALSE(defineEnabled);
    EXPECT_EQ(afterField, "0/240/120");
    EXPECT_EQ(afterBar, "0 0");
    EXPECT_EQ(dialog.Color(), RGB(0, 0, 0));

    dialog.SetOptions(cdPreventFullOpen);
    Driver.AnswerNextModal([&](TCustomForm& form) {
        defineEnabled = Find<TButton>(form, "DefineButton")->Enabled();
        form.SetModalResult(mrCancel);
    });
    dialog.Execute();
    EXPECT_FALSE(defineEnabled);
}

} // namespace
