#include "ui/toolbars/KvxToolBarStylers.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "ui/office/KvxOfficeStatusBar.h"

using namespace plat;
using namespace ui;
using namespace ui::toolbar;

namespace {

// A control that paints with a toolbar styler and writes down what it hears.
class TProbeClient : public TCustomControl, public IToolBarStylerClient {
public:
    explicit TProbeClient(TComponent* AOwner, std::vector<std::string>* Log = nullptr)
        : TCustomControl(AOwner), FLog(Log) {}
    void StylerChanged(int Code) override {
        Codes.push_back(Code);
        if (FLog)
            FLog->push_back(Name() + ":" + std::to_string(Code));
    }
    void StylerDestroyed(TCustomKvxToolBarStyler* Styler) override { Lost.push_back(Styler); }
    IToolBarStylerClient* CompactStylerClient() override { return Compact; }

    std::vector<int> Codes;
    std::vector<TCustomKvxToolBarStyler*> Lost;
    IToolBarStylerClient* Compact = nullptr;

private:
    std::vector<std::string>* FLog;
};

// A window with a menu styler and a toolbar styler that takes its menu look from it, as the main
// window's layout has them.
class TfmToolBarStyled : public TForm {
    PLAT_CLASS(TfmToolBarStyled)
public:
    using TForm::TForm;
    TKvxMenuStyler* KvxMenuStyler1 = nullptr;
    TKvxToolBarOfficeStyler* KvxToolBarOfficeStyler1 = nullptr;
};

constexpr const char* kStyledLayout = R"(object fmToolBarStyled: TfmToolBarStyled
  object KvxMenuStyler1: TKvxMenuStyler
  end
  object KvxToolBarOfficeStyler1: TKvxToolBarOfficeStyler
    Style = bsOffice2007Luna
    KvxMenuStyler = KvxMenuStyler1
    FloatingWindowBorderWidth = 3
  end
end
)";

} // namespace

PLAT_CLASS_INFO_CREATABLE(TfmToolBarStyled, TForm)
PLAT_PROPERTIES(TfmToolBarStyled) {
    props.Field("KvxMenuStyler1", &TfmToolBarStyled::KvxMenuStyler1);
    props.Field("KvxToolBarOfficeStyler1", &TfmToolBarStyled::KvxToolBarOfficeStyler1);
}

namespace {

// The styler tests that need windows run on the headless display.
class ToolBarStylerForm : public ::testing::Test {
protected:
    TTestDriver Driver;
};

// The main colours of every colour set, as the rest of the program relies on them.
struct TPresetRow {
    TToolBarStyle Style;
    TKVXStyle Child;
    TColor Dock, DockTo, Color, ColorTo, Caption, CaptionText, Hot, HotTo, Down, DownTo, Glow, GlowTo;
    TDragGripStyle Grip;
    TColor Floating;
    int FloatingWidth;
};

constexpr TColor N = clNone;
constexpr TColor F = clBtnFace;
constexpr TColor H = clHighlight;

// clang-format off
const TPresetRow kMainColours[] = {
    {bsOffice2003Blue, tsOffice2003Blue, 0xF5BFA0, 0xFADAC4, 0xFDEADA, 0xE4AE88, H, 0xFFFFFF, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x91D3FF, 0xEEDBC8, 0xF6DDC9, dsDots, 0x913500, 2},
    {bsOffice2003Silver, tsOffice2003Silver, 0xE6D8D8, 0xF7F3F3, 0xECE2E1, 0xB39698, H, 0xFFFFFF, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x91D3FF, 0xE6E9E2, 0xE6D8D8, dsDots, 0x927476, 2},
    {bsOffice2003Olive, tsOffice2003Olive, 0xAADADA, 0xE4F1F2, 0xCFF0EA, 0x8CC0B1, H, 0xFFFFFF, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x91D3FF, 0xCFF0EA, 0xCFF0EA, dsDots, 0x6B7760, 2},
    {bsOffice2003Classic, tsCustom, 0xD2BDB6, 0xD2BDB6, 0xFFFFFF, 0xC9D1D5, 0x808080, 0xFFFFFF, 0xD2BDB6, N, 0xE2B598, N, 0xFFFFFF, 0xC9D1D5, dsDots, 0x828F92, 2},
    {bsOffice2007Luna, tsOffice2007Luna, 0xEDD8C7, 0xFAF1E9, 0xEDD8C7, 0xF6E9D9, 0xF2DAC2, 0xAA6A3E, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x91D3FF, 0xEEDBC8, 0xF6DDC9, dsNone, 0xE3B28D, 1},
    {bsOffice2007Obsidian, tsOffice2007Obsidian, 0xCFC6C1, 0xC5BBB4, 0xC5BBB4, 0xECECE5, 0xB8B8B6, 0xFFFFFF, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x91D3FF, 0xDFDED6, 0xE4E2DB, dsNone, 0xB4B0AE, 1},
    {bsWindowsXP, tsWindowsXP, F, F, F, F, H, 0xFFFFFF, 0xEFD3C6, N, 0xB59284, N, 0xFFFFFF, 0xB9D8DC, dsSingleLine, H, 2},
    {bsWhidbeyStyle, tsWhidbey, 0xD7E5E5, 0xE7F2F3, 0xF5F9FA, 0xA8C0C0, 0x99A8AC, 0xFFFFFF, 0xEED2C1, N, 0xE2B598, N, 0xFFFFFF, 0xDFEDF0, dsDots, 0x828F92, 2},
    {bsOffice2007Silver, tsOffice2007Silver, 0xE5D7D7, 0xF7F3F3, 0xE7DCD5, 0xF4F4EE, 0xEFE3DF, 0x595453, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x91D3FF, 0xF3F3F1, 0xF2F2F0, dsNone, 0xC6B0B1, 1},
    {bsOfficeXP, tsWindowsXP, F, F, F, F, H, 0xFFFFFF, 0xEFD3C6, N, 0xB59284, N, 0xFFFFFF, 0xB9D8DC, dsSingleLine, H, 2},
};
// clang-format on

TEST(ToolBarOfficeStyler, EveryPresetWritesItsMainColours) {
    for (const TPresetRow& row : kMainColours) {
        SCOPED_TRACE(kToolBarStyleNames[row.Style]);
        TKvxToolBarOfficeStyler s(nullptr);
        // Through the suite style where one exists, so the ordinal mapping is checked with it.
        if (row.Style == bsOfficeXP)
            s.SetStyle(row.Style);
        else
            s.ApplyStyle(static_cast<TKVXStyle>(row.Style));
        EXPECT_EQ(s.Style(), row.Style);
        EXPECT_EQ(s.ChildStyle(), row.Child);
        EXPECT_EQ(s.DockColor()->Color(), row.Dock);
        EXPECT_EQ(s.DockColor()->ColorTo(), row.DockTo);
        EXPECT_EQ(s.DockColor()->Direction(), toolbar::gdHorizontal);
        EXPECT_EQ(s.DockColor()->Steps(), 128);
        EXPECT_EQ(s.Color()->Color(), row.Color);
        EXPECT_EQ(s.Color()->ColorTo(), row.ColorTo);
        EXPECT_EQ(s.Color()->Direction(), toolbar::gdVertical);
        EXPECT_EQ(s.ColorHot()->Direction(), toolbar::gdVertical);
        EXPECT_EQ(s.CaptionAppearance()->CaptionColor(), row.Caption);
        EXPECT_EQ(s.CaptionAppearance()->CaptionTextColor(), row.CaptionText);
        EXPECT_EQ(s.ButtonAppearance()->ColorHot(), row.Hot);
        EXPECT_EQ(s.ButtonAppearance()->ColorHotTo(), row.HotTo);
        EXPECT_EQ(s.ButtonAppearance()->ColorDown(), row.Down);
        EXPECT_EQ(s.ButtonAppearance()->ColorDownTo(), row.DownTo);
        EXPECT_EQ(s.GlowButtonAppearance()->Color(), row.Glow);
        EXPECT_EQ(s.GlowButtonAppearance()->ColorTo(), row.GlowTo);
        EXPECT_EQ(s.DragGripStyle(), row.Grip);
        EXPECT_EQ(s.FloatingWindowBorderColor(), row.Floating);
        EXPECT_EQ(s.FloatingWindowBorderWidth(), row.FloatingWidth);
        const bool xp = row.Style == bsWindowsXP || row.Style == bsOfficeXP;
        EXPECT_EQ(s.RoundedFrame(), !xp);
        EXPECT_EQ(s.FrameBevel(), xp ? 2 : 0);
        EXPECT_EQ(s.ShowFrameBevel(), xp);
        EXPECT_EQ(s.WideQATInset(), row.Style == bsOffice2007Obsidian);
        // The compact glow look starts as a copy of the glow look.
        EXPECT_EQ(s.CompactGlowButtonAppearance()->Color(), row.Glow);
    }
}

TEST(ToolBarOfficeStyler, ANewStylerIsBlueOverTheXPValuesBlueDoesNotWrite) {
    TKvxToolBarOfficeStyler s(nullptr);
    EXPECT_EQ(s.Style(), bsOffice2003Blue);
    EXPECT_EQ(s.ChildStyle(), tsOffice2003Blue);
    EXPECT_EQ(s.DockColor()->Color(), 0xF5BFA0);
    EXPECT_EQ(s.DockColor()->ColorTo(), 0xFADAC4);
    EXPECT_EQ(s.GlowButtonAppearance()->BorderColorChecked(), 0x000000);
    EXPECT_EQ(s.GroupAppearance()->TabAppearance()->ShadowColor(), 0xA4BCBF);
    EXPECT_EQ(s.GroupAppearance()->TabAppearance()->HighLightColorDown(), 0xFFFBD0);
    EXPECT_EQ(s.InternalMenuStyler()->Name(), "InternalMenuStyler");
    EXPECT_EQ(s.CurrentMenuStyler(), s.InternalMenuStyler());
}

TEST(ToolBarOfficeStyler, WhidbeyOverLunaKeepsWhatWhidbeyDoesNotWrite) {
    TKvxToolBarOfficeStyler s(nullptr);
    s.SetStyle(bsOffice2007Luna);
    EXPECT_EQ(s.CaptionAppearance()->CaptionBorderColor(), H) << "Luna leaves Blue's caption border";
    EXPECT_EQ(s.RightHandleColorDown(), 0x087FE8);
    s.ApplyStyle(tsWhidbey);
    EXPECT_EQ(s.Style(), bsWhidbeyStyle);
    EXPECT_EQ(s.BorderColor(), 0xD7C8B7);
    EXPECT_EQ(s.ButtonAppearance()->BorderCheckedColor(), 0x385D3F);
    EXPECT_EQ(s.GlowButtonAppearance()->BorderColorChecked(), 0x45667B);
    EXPECT_EQ(s.ButtonAppearance()->BorderHotColor(), 0xC56A31);
    EXPECT_EQ(s.TabAppearance()->TextColor(), 0xFFFFFF);
    EXPECT_EQ(s.QATAppearance()->FullSizeColor(), 0x859D9D);
    // Silver 2003 keeps the pressed right handle of the style before.
    s.SetStyle(bsOffice2003Silver);
    EXPECT_EQ(s.RightHandleColorDown(), 0xE8E6E1);
}

TEST(ToolBarOfficeStyler, AutoThemeAdaptWithoutAVisualStyleChoosesClassicAfterLoading) {
    TKvxToolBarOfficeStyler s(nullptr);
    ASSERT_EQ(DetectXPColorScheme(), 0);
    s.Loaded();
    EXPECT_EQ(s.Style(), bsOffice2003Blue) << "off: nothing chosen";
    s.SetAutoThemeAdapt(true);
    EXPECT_EQ(s.Style(), bsOffice2003Blue) << "switching it on chooses nothing yet";
    s.Loaded();
    EXPECT_EQ(s.Style(), bsOffice2003Classic);
}

TEST_F(ToolBarStylerForm, CustomAndTheSameStyleAgainKeepEveryColour) {
    TForm* form = NewForm<TForm>(Application);
    auto* s = new TKvxToolBarOfficeStyler(form);
    auto* client = new TProbeClient(form);
    client->SetParent(form);
    s->RegisterStylerClient(client);
    s->SetStyle(bsOffice2007Luna);
    s->ButtonAppearance()->SetColorHot(0x123456);

    client->Codes.clear();
    s->SetStyle(bsOffice2007Luna);
    EXPECT_TRUE(client->Codes.empty());
    EXPECT_EQ(s->ButtonAppearance()->ColorHot(), 0x123456);

    s->ApplyStyle(tsCustom);
    EXPECT_EQ(s->Style(), bsCustom);
    EXPECT_EQ(s->ChildStyle(), tsCustom);
    EXPECT_EQ(s->ButtonAppearance()->ColorHot(), 0x123456);
    EXPECT_EQ(s->DockColor()->Color(), 0xEDD8C7);
    EXPECT_EQ(client->Codes, std::vector<int>{scColors});

    // Classic passes no suite style on.
    s->ApplyStyle(tsOffice2003Classic);
    EXPECT_EQ(s->Style(), bsOffice2003Classic);
    EXPECT_EQ(s->ChildStyle(), tsCustom);
    form->Free();
}

TEST_F(ToolBarStylerForm, SettersSendTheirCodesOnlyWhenTheySay) {
    TForm* form = NewForm<TForm>(Application);
    auto* s = new TCustomKvxToolBarStyler(form);
    auto* client = new TProbeClient(form);
    s->RegisterStylerClient(client);
    TFont font;
    TBitmap picture;
    struct {
        const char* What;
        std::function<void()> Write;
        std::vector<int> Codes;
    } const cases[] = {
        {"same grip", [&] { s->SetDragGripStyle(dsDots); }, {}},
        {"new grip", [&] { s->SetDragGripStyle(dsNone); }, {scDragGrip}},
        {"same border", [&] { s->SetBorderColor(clNone); }, {}},
        {"same floating width", [&] { s->SetFloatingWindowBorderWidth(2); }, {}},
        {"same right handle", [&] { s->SetRightHandleColor(0x9E9E9E); }, {}},
        {"new right handle", [&] { s->SetRightHandleColorTo(0x808080); }, {scColors}},
        {"same rounded frame", [&] { s->SetRoundedFrame(true); }, {scColors}},
        {"font", [&] { s->SetFont(&font); }, {scBackGround}},
        {"caption font", [&] { s->SetCaptionFont(&font); }, {scColors}},
        {"background", [&] { s->SetBackGround(&picture); }, {scBackGround}},
        {"display", [&] { s->SetBackGroundDisplay(bdStretch); }, {scBackGround}},
        {"right handle image", [&] { s->SetRightHandleImage(&picture); }, {scColors}},
        {"grip image", [&] { s->SetDragGripImage(&picture); }, {}},
        {"same dock colour", [&] { s->DockColor()->SetColor(s->DockColor()->Color()); }, {scColors}},
        {"colour steps", [&] { s->Color()->SetSteps(64); }, {scColors}},
        {"colour mirror", [&] { s->Color()->Mirror()->SetColor(1); }, {}},
        {"hot colour", [&] { s->ColorHot()->SetColor(1); }, {}},
        {"copy into colour", [&] { s->SetColor(s->ColorHot()); }, {}},
        {"button appearance", [&] { s->ButtonAppearance()->SetColor(1); }, {}},
        {"caption appearance", [&] { s->CaptionAppearance()->SetCaptionColor(1); }, {scColors}},
        {"container", [&] { s->ContainerAppearance()->SetLine3D(false); }, {scContainer}},
        {"glow", [&] { s->GlowButtonAppearance()->SetColor(1); }, {scGlowButtons}},
        {"compact glow", [&] { s->CompactGlowButtonAppearance()->SetColor(1); }, {scGlowButtons}},
        {"tabs", [&] { s->TabAppearance()->SetColor(1); }, {scPagerTabs}},
        {"page", [&] { s->PageAppearance()->SetColor(1); }, {scPagerTabs}},
        {"group", [&] { s->GroupAppearance()->CaptionAppearance()->SetCaptionColor(1); }, {scPagerTabs}},
        {"pager caption", [&] { s->PagerCaption()->SetTextColor(1); }, {scPagerCaption}},
        {"quick access", [&] { s->QATAppearance()->SetColor(1); }, {scQuickAccess}},
        {"same menu styler", [&] { s->SetKvxMenuStyler(nullptr); }, {scMenuStyler}},
        {"system font off", [&] { s->SetSystemFont(false); }, {}},
        {"theme adapt", [&] { s->SetAutoThemeAdapt(true); }, {}},
    };
    for (const auto& c : cases) {
        client->Codes.clear();
        c.Write();
        EXPECT_EQ(client->Codes, c.Codes) << c.What;
    }
    // Switching SystemFont on again renames both fonts.
    s->Font()->SetName("Arial");
    s->SetSystemFont(true);
    EXPECT_EQ(s->Font()->Name(), SystemFontName());
    EXPECT_EQ(s->CaptionFont()->Name(), SystemFontName());
    form->Free();
}

TEST_F(ToolBarStylerForm, ClientsHearInOrderAndFallBackWhenTheStylerGoes) {
    std::vector<std::string> log;
    TForm* form = NewForm<TForm>(Application);
    auto* s = new TCustomKvxToolBarStyler(form);
    auto* a = new TProbeClient(form, &log);
    a->SetName("a");
    auto* b = new TProbeClient(form, &log);
    b->SetName("b");
    auto* popup = new TProbeClient(form, &log);
    popup->SetName("popup");
    b->Compact = popup;

    EXPECT_EQ(s->RegisterStylerClient(a), 0);
    EXPECT_EQ(s->RegisterStylerClient(b), 1);
    EXPECT_EQ(s->RegisterStylerClient(a), 2);
    s->NotifyStylerClients(scContainer);
    EXPECT_EQ(log, (std::vector<std::string>{"a:4", "popup:4", "b:4", "a:4"}));

    // Unregistering once leaves the second entry.
    s->UnregisterStylerClient(a);
    log.clear();
    s->NotifyStylerClients(scColors);
    EXPECT_EQ(log, (std::vector<std::string>{"popup:2", "b:2", "a:2"}));

    // A freed client of the same owner leaves the list.
    b->Free();
    log.clear();
    s->NotifyStylerClients(scColors);
    EXPECT_EQ(log, (std::vector<std::string>{"a:2"}));

    // A freed menu styler gives the internal one back.
    auto* menu = new TKvxMenuStyler(form);
    s->SetKvxMenuStyler(menu);
    EXPECT_EQ(s->CurrentMenuStyler(), menu);
    a->Codes.clear();
    menu->Free();
    EXPECT_EQ(s->KvxMenuStyler(), nullptr);
    EXPECT_EQ(s->CurrentMenuStyler(), s->InternalMenuStyler());
    EXPECT_EQ(a->Codes, std::vector<int>{scMenuStyler});

    // The styler goes first: its client is told and may go back to its own.
    s->Free();
    EXPECT_EQ(a->Lost, std::vector<TCustomKvxToolBarStyler*>{s});
    form->Free();
}

TEST(ToolBarStyler, AssignCopiesTheSharedLookOnly) {
    TCustomKvxToolBarStyler src(nullptr), dst(nullptr);
    src.DockColor()->SetColor(0x010101);
    src.Color()->Mirror()->SetColorMirror(0x020202);
    src.SetDragGripStyle(dsFlatDots);
    src.SetFloatingWindowBorderWidth(5);
    src.CaptionAppearance()->SetCaptionTextColor(0x030303);
    src.ButtonAppearance()->SetColorDown(0x040404);
    src.SetBorderColor(0x050505);
    src.SetRightHandleColor(0x060606);
    src.SetRoundedFrame(false);
    dst.Assign(&src);
    EXPECT_EQ(dst.DockColor()->Color(), 0x010101);
    EXPECT_EQ(dst.Color()->Mirror()->ColorMirror(), 0x020202);
    EXPECT_EQ(dst.DragGripStyle(), dsFlatDots);
    EXPECT_EQ(dst.FloatingWindowBorderWidth(), 5);
    EXPECT_EQ(dst.CaptionAppearance()->CaptionTextColor(), 0x030303);
    EXPECT_EQ(dst.ButtonAppearance()->ColorDown(), 0x040404);
    EXPECT_EQ(dst.BorderColor(), clNone);
    EXPECT_EQ(dst.RightHandleColor(), 0x9E9E9E);
    EXPECT_TRUE(dst.RoundedFrame());
    EXPECT_EQ(dst.CurrentMenuStyler(), dst.InternalMenuStyler());
}

TEST(ToolBarOfficeStyler, LayoutRoundTripKeepsEditedValues) {
    TKvxToolBarOfficeStyler s(nullptr);
    s.SetName("KvxToolBarOfficeStyler1");
    s.SetStyle(bsOffice2007Luna);
    s.SetRightHandleColor(0x808080);
    s.ButtonAppearance()->SetBorderHotColor(0x0A0B0C);
    s.DockColor()->SetSteps(32);
    s.Color()->Mirror()->SetColorMirrorTo(0x0D0E0F);
    s.CaptionFont()->SetName("Courier New");
    s.GroupAppearance()->TabAppearance()->SetShadowColor(0x111213);
    s.SetDragGripStyle(dsDoubleLine);
    const std::string text = WriteComponentToText(&s);
    EXPECT_NE(text.find("Style = bsOffice2007Luna"), std::string::npos) << text;

    TKvxToolBarOfficeStyler back(nullptr);
    ReadComponentFromText(text, &back);
    EXPECT_EQ(back.Style(), bsOffice2007Luna);
    EXPECT_EQ(back.RightHandleColor(), 0x808080);
    EXPECT_EQ(back.ButtonAppearance()->BorderHotColor(), 0x0A0B0C);
    EXPECT_EQ(back.DockColor()->Steps(), 32);
    EXPECT_EQ(back.Color()->Mirror()->ColorMirrorTo(), 0x0D0E0F);
    EXPECT_EQ(back.CaptionFont()->Name(), "Courier New");
    EXPECT_EQ(back.GroupAppearance()->TabAppearance()->ShadowColor(), 0x111213);
    EXPECT_EQ(back.DragGripStyle(), dsDoubleLine);
    EXPECT_EQ(WriteComponentToText(&back), text);
}

// Stand-ins for the family's office form and ribbon pager, known to the status bar by class name.
class TProbeToolBarForm : public TForm {
public:
    using TForm::TForm;
    const TClassInfo& ClassType() const override {
        static const TClassInfo info{"TKvxToolBarForm", &TForm::StaticClass()};
        return info;
    }
};

class TProbePager : public TCustomControl, public IToolBarStylerUser {
public:
    using TCustomControl::TCustomControl;
    const TClassInfo& ClassType() const override {
        static const TClassInfo info{"TKvxToolBarPager", &TCustomControl::StaticClass()};
        return info;
    }
    TCustomKvxToolBarStyler* CurrentToolBarStyler() const override { return Styler; }
    TCustomKvxToolBarStyler* Styler = nullptr;
};

TEST_F(ToolBarStylerForm, StatusBarLearnsTheFormAndTheLastPagersCaptionColour) {
    auto* plain = NewForm<TForm>(Application);
    auto* form = new TProbeToolBarForm(Application);
    EXPECT_FALSE(IsToolBarForm(plain));
    EXPECT_TRUE(IsToolBarForm(form));
    EXPECT_FALSE(IsToolBarForm(nullptr));

    TColor colour = 1;
    EXPECT_FALSE(PagerCaptionTextColor(form, colour)) << "no pager yet";
    auto* styler = new TKvxToolBarOfficeStyler(form);
    styler->SetStyle(bsOffice2007Luna);
    auto* first = new TProbePager(form);
    first->SetParent(form);
    first->Styler = new TCustomKvxToolBarStyler(form);
    auto* last = new TProbePager(form);
    last->SetParent(form);
    last->Styler = styler;
    auto* other = new TProbeClient(form);
    other->SetParent(form);
    ASSERT_TRUE(PagerCaptionTextColor(form, colour));
    EXPECT_EQ(colour, 0xAA6A3E);

    // The office status bar gets the same answers.
    IStatusBarFrameQuery* installed = SetStatusBarFrameQuery(nullptr);
    ASSERT_NE(installed, nullptr);
    EXPECT_TRUE(installed->IsToolBarForm(form));
    colour = 0;
    EXPECT_TRUE(installed->PagerCaptionTextColor(form, colour));
    EXPECT_EQ(colour, 0xAA6A3E);
    SetStatusBarFrameQuery(installed);
    form->Free();
    plain->Free();
}

TEST_F(ToolBarStylerForm, WindowLayoutKeepsTheStyleTheMenuStylerAndEditedValues) {
    RegisterFormResource("TfmToolBarStyled", kStyledLayout);
    auto* form = NewForm<TfmToolBarStyled>(Application);
    TKvxToolBarOfficeStyler* s = form->KvxToolBarOfficeStyler1;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Style(), bsOffice2007Luna);
    EXPECT_EQ(s->DockColor()->Color(), 0xEDD8C7);
    EXPECT_EQ(s->FloatingWindowBorderWidth(), 3) << "stored values are read over the preset";
    EXPECT_EQ(s->CurrentMenuStyler(), form->KvxMenuStyler1);

    // The application's style arrives after loading.
    s->ApplyStyle(tsWhidbey);
    const std::string text = WriteComponentToText(form);
    EXPECT_NE(text.find("Style = bsWhidbeyStyle"), std::string::npos) << text;
    EXPECT_NE(text.find("KvxMenuStyler = KvxMenuStyler1"), std::string::npos) << text;
    form->Free();

    auto* back = new TfmToolBarStyled(Application);
    ReadComponentFromText(text, back);
    ASSERT_NE(back->KvxToolBarOfficeStyler1, nullptr);
    EXPECT_EQ(back->KvxToolBarOfficeStyler1->Style(), bsWhidbeyStyle);
    EXPECT_EQ(back->KvxToolBarOfficeStyler1->BorderColor(), 0xD7C8B7) << "Luna's, which Whidbey keeps";
    EXPECT_EQ(back->KvxToolBarOfficeStyler1->CurrentMenuStyler(), back->KvxMenuStyler1);
    EXPECT_EQ(WriteComponentToText(back), text);
    back->Free();
}

} // namespace
