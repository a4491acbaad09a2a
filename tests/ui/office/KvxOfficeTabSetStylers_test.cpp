#include "ui/office/KvxOfficeTabSetStylers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "ui/office/KvxAppStyler.h"

namespace {

using plat::TColor;
using plat::TRect;
using namespace ui::tabset;

// Records the change codes its styler sends.
class TProbeTabSet : public TKvxCustomOfficeTabSet {
public:
    using TKvxCustomOfficeTabSet::TKvxCustomOfficeTabSet;
    void StylerChanged(int Code) override {
        Codes.push_back(Code);
        TKvxCustomOfficeTabSet::StylerChanged(Code);
    }
    std::vector<int> Codes;
};

// A few values of each colour set, as the style tables give them.
struct TPresetRow {
    TOfficeTabSetStyle Style;
    TColor BackColor, BackColorTo, TextColor, ColorSelected, ColorHotTo, ShadowColor;
    ui::TGDIPGradient GradientHot;
    TColor GlowColor, GlowColorDown, GlowBorderChecked;
};
constexpr TColor kKept = 0x00ABCDEF; // set before the style; a preset that does not write it leaves it

// clang-format off
const TPresetRow kRows[] = {
    {tsOffice2003Blue,     0xE4AE88, 0xFADAC4, 0x000000, 0xFEF6F0, 0xCCF4FF, 0xEBBFA4, ui::ggVertical, 0xEEDBC8, 0x76AFF1, kKept},
    {tsOffice2003Silver,   0xE6D8D8, 0xE6D8D8, 0x000000, 0x927476, 0xCCF4FF, 0xBCADA7, ui::ggVertical, 0xEDD4C0, 0x4E91FE, kKept},
    {tsOffice2003Olive,    0x8CC0B1, 0xCFF0EA, 0x000000, 0x8CC0B1, 0xCCF4FF, 0x648C82, ui::ggVertical, 0xCFF0EA, 0x4E91FE, kKept},
    {tsOffice2003Classic,  0xC9D1D5, 0xFFFFFF, 0x000000, 0xC9D1D5, 0xCCF4FF, 0xA1A7AA, ui::ggVertical, 0xFFFFFF, 0x76AFF1, kKept},
    {tsOffice2007Luna,     0xFFDBBF, plat::clNone, 0x8B4215, 0xFEF6F0, 0xFFDEC5, 0xE8C7AE, ui::ggRadial, 0xEEDBC8, 0x76AFF1, 0x45667B},
    {tsOffice2007Obsidian, 0x535353, 0x3A3A3A, 0xFFFFFF, 0xEFEEED, 0x959697, 0x000000, ui::ggRadial, 0xDFDED6, 0x76AFF1, 0x45667B},
    {tsWindowsXP,          plat::clBtnFace, plat::clBtnFace, 0x000000, 0xEFD3C6, 0xEFD3C6, 0xBFA99E, ui::ggVertical, 0xFFFFFF, 0xB59284, 0x000000},
    {tsWhidbey,            0x859D9D, 0xADC4C4, 0xFFFFFF, 0xADC4C4, 0xCCF4FF, 0x648C82, ui::ggVertical, 0xFFFFFF, 0x76AFF1, kKept},
    {tsOffice2007Silver,   0xDDD4D0, plat::clNone, 0x5C534C, 0xF6F6F6, 0xFFDEC5, 0xD6CDC9, ui::ggRadial, 0xF3F3F1, 0x76AFF1, 0x45667B},
};
// clang-format on

class TabSetStylerTest : public ::testing::Test {
protected:
    plat::TTestDriver Driver;
};

TEST_F(TabSetStylerTest, EachStyleWritesItsColourSet) {
    for (const TPresetRow& row : kRows) {
        SCOPED_TRACE(kOfficeTabSetStyleNames[row.Style]);
        TKvxOfficeTabSetOfficeStyler s(nullptr);
        s.SetStyle(tsCustom);
        s.GlowButtonAppearance()->SetBorderColorChecked(kKept);
        s.TabAppearance()->SetColor(0x010203);
        s.SetStyle(row.Style);
        const TTabAppearance& a = *s.TabAppearance();
        EXPECT_EQ(a.BackGround()->Color(), row.BackColor);
        EXPECT_EQ(a.BackGround()->ColorTo(), row.BackColorTo);
        EXPECT_EQ(a.TextColor(), row.TextColor);
        EXPECT_EQ(a.ColorSelected(), row.ColorSelected);
        EXPECT_EQ(a.ColorHotTo(), row.ColorHotTo);
        EXPECT_EQ(a.ShadowColor(), row.ShadowColor);
        EXPECT_EQ(a.GradientHot(), row.GradientHot);
        EXPECT_EQ(a.BorderColor(), plat::clNone);
        EXPECT_EQ(a.TextColorDisabled(), 0x808080);
        EXPECT_EQ(a.Color(), 0x010203) << "no preset writes the plain face colour";
        EXPECT_EQ(a.BackGround()->Direction(), row.Style == tsOffice2007Obsidian ? gdVertical : gdHorizontal);
        EXPECT_EQ(s.GlowButtonAppearance()->Color(), row.GlowColor);
        EXPECT_EQ(s.GlowButtonAppearance()->ColorDown(), row.GlowColorDown);
        EXPECT_EQ(s.GlowButtonAppearance()->BorderColorChecked(), row.GlowBorderChecked);
    }
}

TEST_F(TabSetStylerTest, ANewStylerHoldsTheBlueSetAndApplyStyleGoesByOrdinal) {
    TKvxOfficeTabSetOfficeStyler s(nullptr);
    EXPECT_EQ(s.Style(), tsOffice2003Blue);
    EXPECT_EQ(s.TabAppearance()->BackGround()->Color(), 0xE4AE88);
    s.ApplyStyle(ui::tsOffice2007Silver);
    EXPECT_EQ(s.Style(), tsOffice2007Silver);
    EXPECT_EQ(s.TabAppearance()->TextColor(), 0x5C534C);
    s.ApplyStyle(ui::tsCustom);
    EXPECT_EQ(s.Style(), tsCustom);
    EXPECT_EQ(s.TabAppearance()->TextColor(), 0x5C534C) << "tsCustom keeps the colours";
}

TEST_F(TabSetStylerTest, ChangesReachTheTabSetsByCode) {
    auto* form = plat::NewForm<plat::TForm>(plat::Application);
    auto* s = new TKvxOfficeTabSetOfficeStyler(form);
    auto* ts = new TProbeTabSet(form);
    ts->SetParent(form);
    ts->SetKvxOfficeTabSetStyler(s);
    ts->Codes.clear();

    s->SetStyle(tsOffice2003Blue);
    EXPECT_TRUE(ts->Codes.empty()) << "the current style again writes nothing";
    s->SetStyle(tsCustom);
    EXPECT_EQ(ts->Codes, std::vector<int>{scPreset});
    ts->Codes.clear();
    s->SetStyle(tsWhidbey);
    ASSERT_FALSE(ts->Codes.empty());
    EXPECT_EQ(ts->Codes.back(), scPreset) << "the preset code comes last";
    EXPECT_NE(std::find(ts->Codes.begin(), ts->Codes.end(), scAppearance), ts->Codes.end());
    EXPECT_NE(std::find(ts->Codes.begin(), ts->Codes.end(), scGlowButtons), ts->Codes.end());
    ts->Codes.clear();
    s->SetButtonBorderColor(0x00FF00);
    EXPECT_EQ(ts->Codes, std::vector<int>{scAppearance});
    form->Free();
}

TEST_F(TabSetStylerTest, LunaToWhidbeyAndBackRestoresTheTables) {
    TKvxOfficeTabSetOfficeStyler luna(nullptr), s(nullptr);
    luna.SetStyle(tsOffice2007Luna);
    s.SetStyle(tsOffice2007Luna);
    s.TabAppearance()->SetColor(0x0A0B0C);
    s.SetStyle(tsWhidbey);
    s.SetStyle(tsOffice2007Luna);
    EXPECT_EQ(s.TabAppearance()->Color(), 0x0A0B0C) << "no preset writes it";
    EXPECT_EQ(s.TabAppearance()->BackGround()->ColorTo(), plat::clNone);
    EXPECT_EQ(s.TabAppearance()->ColorSelected(), luna.TabAppearance()->ColorSelected());
    EXPECT_EQ(s.TabAppearance()->TextColorHot(), luna.TabAppearance()->TextColorHot());
    EXPECT_EQ(s.TabAppearance()->HighLightColorHot(), luna.TabAppearance()->HighLightColorHot());
    EXPECT_EQ(s.GlowButtonAppearance()->Look(ui::glChecked),
              luna.GlowButtonAppearance()->Look(ui::glChecked));
}

// The application's style reaches the tab styler through the form styler like any styled component.
TEST_F(TabSetStylerTest, TheFormStylerStylesIt) {
    auto* form = plat::NewForm<plat::TForm>(plat::Application);
    auto* s = new TKvxOfficeTabSetOfficeStyler(form);
    auto* fs = new ui::TKvxFormStyler(form);
    fs->SetStyle(ui::tsWhidbey);
    EXPECT_EQ(s->Style(), tsWhidbey);
    EXPECT_EQ(s->TabAppearance()->BackGround()->Color(), 0x859D9D);
    ASSERT_NE(s->NotifierWindow(), nullptr);
    form->Free();
}

// A stored style is read after the glow button colours, so it writes over them; the tab colours read
// after it win over its preset.
TEST_F(TabSetStylerTest, AStoredStyleOverwritesTheGlowColoursReadBeforeIt) {
    TKvxOfficeTabSetOfficeStyler s(nullptr);
    s.SetName("Styler");
    s.SetStyle(tsOffice2007Luna);
    s.GlowButtonAppearance()->SetColor(0x112233);
    s.TabAppearance()->SetColorSelected(0x445566);
    const std::string text = plat::WriteComponentToText(&s);
    const size_t glow = text.find("GlowButtonAppearance."), style = text.find("Style = tsOffice2007Luna"),
                 tab = text.find("TabAppearance.");
    ASSERT_NE(style, std::string::npos) << text;
    EXPECT_LT(glow, style) << text;
    EXPECT_LT(style, tab) << text;

    auto* back = dynamic_cast<TKvxOfficeTabSetOfficeStyler*>(plat::ReadComponentFromText(text));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Style(), tsOffice2007Luna);
    EXPECT_EQ(back->GlowButtonAppearance()->Color(), 0xEEDBC8) << "the preset wrote over the stored colour";
    EXPECT_EQ(back->TabAppearance()->ColorSelected(), 0x445566) << "read after the style";
    back->Free();
}

TEST_F(TabSetStylerTest, PictureOfThePresets) {
    auto* form = plat::NewForm<plat::TForm>(plat::Application);
    form->SetBounds(0, 0, 460, 40 * 10 + 40);
    std::vector<TKvxCustomOfficeTabSet*> sets;
    int row = 0;
    for (const TPresetRow& r : kRows) {
        auto* s = new TKvxOfficeTabSetOfficeStyler(form);
        s->SetStyle(r.Style);
        auto* ts = new TKvxCustomOfficeTabSet(form);
        ts->SetParent(form);
        ts->SetBounds(0, row++ * 40, 440, 36);
        ts->SetKvxOfficeTabSetStyler(s);
        ts->ButtonSettings()->SetCloseButton(true);
        ts->ButtonSettings()->SetTabListButton(true);
        for (const char* c : {"Live view", "Chart 1", "Chart 2", "Off"})
            ts->Tabs()->Add()->SetCaption(c);
        ts->Tabs()->Items(3)->SetEnabled(false);
        ts->Loaded();
        ts->SetHotTabIndex(2);
        sets.push_back(ts);
    }
    form->Show();
    Driver.Pump();
    auto image = Driver.Render(form);
    ASSERT_NE(image, nullptr);
    plat::TTestDriver::SavePng(*image, plat::TestOutputDir("office") + "/tabset-styler-presets.png");
    // The first band of every row (top left, whichever way it runs) is its style's first colour.
    for (size_t i = 0; i < sets.size(); ++i)
        EXPECT_EQ(Driver.Pixel(sets[i], 0, 0), plat::ColorToRGB(kRows[i].BackColor) & 0xFFFFFF)
            << kOfficeTabSetStyleNames[kRows[i].Style];
}

} // namespace
