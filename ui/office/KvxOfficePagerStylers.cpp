#include "ui/office/KvxOfficePagerStylers.h"

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"

namespace ui::pager {

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TKvxOfficePagerOfficeStyler, TCustomKvxOfficePagerStyler)

PLAT_PROPERTIES(TKvxOfficePagerOfficeStyler) {
    using S = TKvxOfficePagerOfficeStyler;
    // First: a streamed style writes its preset, and every colour read after it overrides the preset.
    props.Enum("Style", &S::Style, &S::SetStyle, kOfficePagerStyleNames, psOffice2003Blue);
    props.Boolean("AutoThemeAdapt", &S::AutoThemeAdapt, &S::SetAutoThemeAdapt, false);
    props.Object("PageAppearance", &S::PageAppearance, &S::SetPageAppearance);
    props.Object("TabAppearance", &S::TabAppearance, &S::SetTabAppearance);
    props.Object("GlowButtonAppearance", &S::GlowButtonAppearance, &S::SetGlowButtonAppearance);
}

namespace {

struct TRegistrar {
    TRegistrar() { RegisterClasses({&TKvxOfficePagerOfficeStyler::StaticClass()}); }
} registrar;

constexpr TColor kKept = 0x7FFFFFFF; // a preset that leaves the property alone

struct TTabPreset {
    TColor BackColor, BackColorTo, BorderColorHot, BorderColorSelected, BorderColorSelectedHot;
    TColor TextColor, TextColorHot, TextColorSelected;
    TColor ColorSelected, ColorSelectedTo, ColorMirrorSelected, ColorMirrorSelectedTo;
    TColor ColorDisabledTo, ColorMirrorDisabledTo;
    TColor ColorHot, ColorHotTo, ColorMirrorHot, ColorMirrorHotTo;
    TGDIPGradient GradientHot, GradientMirrorHot;
    TColor ShadowColor, HighLightColor, HighLightColorHot;
};

struct TPagePreset {
    TColor BorderColor, Color, ColorTo, ColorMirror, ColorMirrorTo;
};

struct TGlowPreset {
    TColor Color, ColorTo, ColorMirror, ColorMirrorTo, BorderColor;
    TColor ColorHot, ColorHotTo, ColorMirrorHot, ColorMirrorHotTo, BorderColorHot;
    TColor ColorDown, ColorDownTo, ColorMirrorDown, ColorMirrorDownTo, BorderColorDown;
    TColor ColorChecked, ColorCheckedTo, ColorMirrorChecked, ColorMirrorCheckedTo, BorderColorChecked;
};

// clang-format off
// Rows in the order of TOfficePagerStyle; psCustom writes nothing and its row is never read.
constexpr TTabPreset kTabPresets[] = {
    /* 2003 Blue */    {0xE4AE88, 0xFADAC4, clHighlight, 0x000000, 0x60CCF9, 0x000000, 0x000000, 0x000000, 0xFCDCC4, 0xFAF1E9, 0xFAF1E9, 0xF6EAE0, 0xC0C0C0, 0xC0C0C0, 0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0x91D0FF, ggVertical, ggVertical, 0xA3673F, 0xFFFABF, 0xFDF4ED},
    /* 2003 Silver */  {0xE6D8D8, 0xE6D8D8, 0x927476, 0x927476, 0x60CCF9, 0x000000, 0x000000, 0x000000, 0x927476, 0xF7F3F3, 0xE6D8D8, 0xF7F3F3, 0xC0C0C0, 0xC0C0C0, 0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0x91D0FF, ggVertical, ggVertical, 0xBCADA7, 0xF0EAEA, 0xF7F4F3},
    /* 2003 Olive */   {0x8CC0B1, 0xCFF0EA, 0x000000, 0x000000, 0x60CCF9, 0x000000, 0x000000, 0x000000, 0x8CC0B1, 0xCFF0EA, 0xCFF0EA, 0xCFF0EA, 0xC0C0C0, 0xC0C0C0, 0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0x91D0FF, ggVertical, ggVertical, 0x648C82, 0xFFFABF, 0xFDF4ED},
    /* 2003 Classic */ {0xC9D1D5, 0xFFFFFF, 0xE3B28D, 0x000000, 0x60CCF9, 0x000000, 0x000000, 0x000000, 0xC9D1D5, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0x91D0FF, ggVertical, ggVertical, 0xA1A7AA, 0xFFFABF, 0xF7F4F3},
    /* 2007 Luna */    {0xFFDBBF, clNone,   0xEABC99, 0xE3B28D, 0x60CCF9, 0x8B4215, 0x8B4215, 0x8B4215, 0xFEF6F0, 0xFAF1E9, 0xFAF1E9, 0xF6EAE0, 0xC0C0C0, 0xC0C0C0, 0xDDE5E4, 0xFFDEC5, 0xD5DFDD, 0xA3D3E1, ggRadial,   ggVertical, 0xE8C7AE, 0xFFFABF, 0xFDF4ED},
    /* 2007 Obsidian */{0x535353, 0x3A3A3A, 0x969C9E, 0xE3B28D, 0x60CCF9, 0xFFFFFF, 0xFFFFFF, 0x000000, 0xEFEEED, 0xEFEEED, 0xD2D2CE, 0xD2D2CE, 0xC0C0C0, 0xC0C0C0, 0x5B7078, 0x959697, 0x43575F, 0x18AEED, ggRadial,   ggRadial,   0x000000, 0x959899, 0x959899},
    /* Windows XP */   {clBtnFace, clBtnFace, clHighlight, 0x000000, clHighlight, 0x000000, 0x000000, 0x000000, 0xEFD3C6, clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace, 0xEFD3C6, 0xEFD3C6, 0xEFD3C6, 0xEFD3C6, ggVertical, ggVertical, 0xBFA99E, 0xFFFABF, 0xFDF4ED},
    /* Whidbey */      {0x859D9D, 0xADC4C4, 0xE3B28D, 0x000000, 0x60CCF9, 0xFFFFFF, 0x000000, 0x000000, 0xADC4C4, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0x91D0FF, ggVertical, ggVertical, 0x648C82, 0xFFFABF, 0xFDF4ED},
    /* Custom */       {},
    /* 2007 Silver */  {0xDDD4D0, clNone,   0xC1BEBD, 0xC1BFBD, 0x5FCAFA, 0x5C534C, 0x5C534C, 0x5C534C, 0xF8F8F4, 0xEFE7E2, 0xEFE7E2, 0xEFE7E2, 0xC0C0C0, 0xC0C0C0, 0xCEE1E9, 0xDFD7D4, 0xC5D8DF, 0x8ECEE9, ggRadial,   ggVertical, 0xD6CDC9, 0xFFFABF, 0xF7F4F3},
};
static_assert(std::size(kTabPresets) == std::size(kOfficePagerStyleNames));

constexpr TPagePreset kPagePresets[] = {
    /* 2003 Blue */    {0xE3B28D, 0xFDEADA, 0xFADAC4, 0xFADAC4, 0xFADAC4},
    /* 2003 Silver */  {0x927476, 0xF7F3F3, 0xE6D8D8, 0xE6D8D8, 0xE6D8D8},
    /* 2003 Olive */   {0x8CC0B1, 0xCFF0EA, 0xCFF0EA, 0xCFF0EA, 0xCFF0EA},
    /* 2003 Classic */ {0x000000, 0xFFFFFF, 0xC9D1D5, 0xC9D1D5, 0xFFFFFF},
    /* 2007 Luna */    {0xE3B28D, 0xFAF1E9, 0xEDD8C7, 0xEDD8C7, 0xFFF2E7},
    /* 2007 Obsidian */{0xB4B0AE, 0xCFC6C1, 0xC5BBB4, 0xC5BBB4, 0xECECE5},
    /* Windows XP */   {0x000000, clBtnFace, clBtnFace, clBtnFace, clBtnFace},
    /* Whidbey */      {0x000000, 0xFFFFFF, 0xD9E9EC, 0xD9E9EC, 0xFFFFFF},
    /* Custom */       {},
    /* 2007 Silver */  {0xBEBEBE, 0xF9F5F3, 0xE7DCD5, 0xE7DCD5, 0xFBFAF0},
};
static_assert(std::size(kPagePresets) == std::size(kOfficePagerStyleNames));

constexpr TGlowPreset kGlowPresets[] = {
    /* 2003 Blue */    {0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0xE0B99B, 0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB, 0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B, 0xB5DBFB, 0x78C7FE, 0x9FEBFD, 0x56B4FE, kKept},
    /* 2003 Silver */  {0xEDD4C0, 0xE6D8D8, 0xEDD4C0, 0xC8B2B3, 0x927476, 0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0x91D0FF, 0x99CEDB, 0x4E91FE, 0x4E91FE, 0x4E91FE, 0x91D3FF, 0x45667B, 0x4E91FE, 0x4E91FE, 0x4E91FE, 0x91D3FF, kKept},
    /* 2003 Olive */   {0xCFF0EA, 0xCFF0EA, 0xCFF0EA, 0x8CC0B1, 0x8CC0B1, 0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0x91D0FF, 0x99CEDB, 0x4E91FE, 0x4E91FE, 0x4E91FE, 0x91D3FF, 0x45667B, 0x4E91FE, 0x4E91FE, 0x4E91FE, 0x91D3FF, kKept},
    /* 2003 Classic */ {0xFFFFFF, 0xC9D1D5, 0xFFFFFF, 0xC9D1D5, 0x000000, 0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB, 0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B, 0xB5DBFB, 0x78C7FE, 0x9FEBFD, 0x56B4FE, kKept},
    /* 2007 Luna */    {0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0xE0B99B, 0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB, 0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B, 0xB5DBFB, 0x78C7FE, 0x9FEBFD, 0x56B4FE, 0x45667B},
    /* 2007 Obsidian */{0xDFDED6, 0xE4E2DB, 0xD7D5CE, 0xE7E5E0, 0xC0BCB2, 0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB, 0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B, 0xB5DBFB, 0x78C7FE, 0x9FEBFD, 0x56B4FE, 0x45667B},
    /* Windows XP */   {0xFFFFFF, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC, 0xEFD3C6, 0xEFD3C6, 0xEFD3C6, 0xEFD3C6, clHighlight, 0xB59284, 0xB59284, 0xB59284, 0xB59284, clHighlight, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC, 0x000000},
    /* Whidbey */      {0xFFFFFF, 0xDFEDF0, 0xDFEDF0, 0xDFEDF0, 0x99A8AC, 0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB, 0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B, 0xB5DBFB, 0x78C7FE, 0x9FEBFD, 0x56B4FE, kKept},
    /* Custom */       {},
    /* 2007 Silver */  {0xF3F3F1, 0xF5F5F3, 0xEEEAE7, 0xF8F7F6, 0xCCCAC9, 0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB, 0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B, 0xB5DBFB, 0x78C7FE, 0x9FEBFD, 0x56B4FE, 0x45667B},
};
static_assert(std::size(kGlowPresets) == std::size(kOfficePagerStyleNames));
// clang-format on

void WriteTabPreset(TTabAppearance& A, const TTabPreset& P, TOfficePagerStyle Style) {
    A.BackGround()->SetColor(P.BackColor);
    A.BackGround()->SetColorTo(P.BackColorTo);
    if (Style == psOffice2007Obsidian)
        A.BackGround()->SetDirection(gdVertical);
    A.SetBorderColor(clNone);
    A.SetBorderColorHot(P.BorderColorHot);
    A.SetBorderColorSelected(P.BorderColorSelected);
    A.SetBorderColorSelectedHot(P.BorderColorSelectedHot);
    A.SetBorderColorDisabled(clNone);
    A.SetTextColor(P.TextColor);
    A.SetTextColorHot(P.TextColorHot);
    A.SetTextColorSelected(P.TextColorSelected);
    A.SetTextColorDisabled(0x808080);
    A.SetColorSelected(P.ColorSelected);
    A.SetColorSelectedTo(P.ColorSelectedTo);
    A.SetColorMirrorSelected(P.ColorMirrorSelected);
    A.SetColorMirrorSelectedTo(P.ColorMirrorSelectedTo);
    A.SetColorDisabled(0xFFFFFF);
    A.SetColorDisabledTo(P.ColorDisabledTo);
    A.SetColorMirrorDisabled(0xFFFFFF);
    A.SetColorMirrorDisabledTo(P.ColorMirrorDisabledTo);
    A.SetColorHot(P.ColorHot);
    A.SetColorHotTo(P.ColorHotTo);
    A.SetColorMirrorHot(P.ColorMirrorHot);
    A.SetColorMirrorHotTo(P.ColorMirrorHotTo);
    A.SetGradient(ggVertical);
    A.SetGradientHot(P.GradientHot);
    A.SetGradientMirrorHot(P.GradientMirrorHot);
    A.SetGradientSelected(ggVertical);
    A.SetGradientMirrorSelected(ggVertical);
    A.SetGradientDisabled(ggVertical);
    A.SetGradientMirrorDisabled(ggVertical);
    A.SetShadowColor(P.ShadowColor);
    A.SetHighLightColor(P.HighLightColor);
    A.SetHighLightColorHot(P.HighLightColorHot);
    A.SetHighLightColorSelected(0x63CCF8);
    A.SetHighLightColorSelectedHot(0xBDFFFF);
    A.SetHighLightColorDown(0xFFFBD0);
}

void WritePagePreset(TVistaBackground& A, const TPagePreset& P) {
    A.SetBorderColor(P.BorderColor);
    A.SetColor(P.Color);
    A.SetColorTo(P.ColorTo);
    A.SetColorMirror(P.ColorMirror);
    A.SetColorMirrorTo(P.ColorMirrorTo);
    A.SetGradient(ggVertical);
    A.SetGradientMirror(ggVertical);
}

void WriteGlowPreset(TGlowButtonAppearance& A, const TGlowPreset& P) {
    A.SetColor(P.Color);
    A.SetColorTo(P.ColorTo);
    A.SetColorMirror(P.ColorMirror);
    A.SetColorMirrorTo(P.ColorMirrorTo);
    A.SetBorderColor(P.BorderColor);
    A.SetGradient(ggVertical);
    A.SetGradientMirror(ggVertical);
    A.SetColorHot(P.ColorHot);
    A.SetColorHotTo(P.ColorHotTo);
    A.SetColorMirrorHot(P.ColorMirrorHot);
    A.SetColorMirrorHotTo(P.ColorMirrorHotTo);
    A.SetBorderColorHot(P.BorderColorHot);
    A.SetGradientHot(ggVertical);
    A.SetGradientMirrorHot(ggVertical);
    A.SetColorDown(P.ColorDown);
    A.SetColorDownTo(P.ColorDownTo);
    A.SetColorMirrorDown(P.ColorMirrorDown);
    A.SetColorMirrorDownTo(P.ColorMirrorDownTo);
    A.SetBorderColorDown(P.BorderColorDown);
    A.SetGradientDown(ggVertical);
    A.SetGradientMirrorDown(ggVertical);
    A.SetColorChecked(P.ColorChecked);
    A.SetColorCheckedTo(P.ColorCheckedTo);
    A.SetColorMirrorChecked(P.ColorMirrorChecked);
    A.SetColorMirrorCheckedTo(P.ColorMirrorCheckedTo);
    if (P.BorderColorChecked != kKept)
        A.SetBorderColorChecked(P.BorderColorChecked);
    A.SetGradientChecked(ggVertical);
    A.SetGradientMirrorChecked(ggVertical);
}

bool Designing(const TComponent* C) {
    return (C->ComponentState() & csDesigning) != 0;
}

} // namespace

TKvxOfficePagerOfficeStyler::TKvxOfficePagerOfficeStyler(TComponent* AOwner)
    : TCustomKvxOfficePagerStyler(AOwner) {
    if (!Designing(this)) {
        FNotifierWindow = new TThemeNotifierWindow(this);
        for (TComponent* o = AOwner; o; o = o->Owner()) {
            if (auto* w = dynamic_cast<TWinControl*>(o)) {
                FNotifierWindow->SetParent(w);
                break;
            }
        }
        FNotifierWindow->OnThemeChange = [this](TObject*) { ApplyAutoThemeStyle(); };
    }
    // The detour makes the setter write the first preset.
    SetStyle(psWindowsXP);
    SetStyle(psOffice2003Blue);
}

void TKvxOfficePagerOfficeStyler::SetStyle(TOfficePagerStyle Value) {
    if (Value == FStyle || Value > psOffice2007Silver)
        return;
    FStyle = Value;
    SetPageEdgeBlendPercent(50);
    if (Value != psCustom) {
        SetRoundedPageCorners(Value != psWindowsXP);
        WriteTabPreset(*TabAppearance(), kTabPresets[Value], Value);
        WritePagePreset(*PageAppearance(), kPagePresets[Value]);
        WriteGlowPreset(*GlowButtonAppearance(), kGlowPresets[Value]);
        if (Value == psOffice2003Classic)
            SetPageEdgeBlendPercent(80);
    }
    NotifyStylerClients(scPageAppearance);
}

void TKvxOfficePagerOfficeStyler::ApplyAutoThemeStyle() {
    if (!FAutoThemeAdapt)
        return;
    // The desktop's colour scheme: none recognised, blue, olive green, silver.
    constexpr TOfficePagerStyle kSchemeStyles[] = {psWindowsXP, psOffice2003Blue, psOffice2003Olive,
                                                   psOffice2003Silver};
    const int scheme = DetectXPColorScheme();
    SetStyle(kSchemeStyles[scheme >= 0 && scheme < 4 ? scheme : 0]);
}

void TKvxOfficePagerOfficeStyler::Loaded() {
    TCustomKvxOfficePagerStyler::Loaded();
    if (!Designing(this))
        ApplyAutoThemeStyle();
}

void TKvxOfficePagerOfficeStyler::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomKvxOfficePagerStyler::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FNotifierWindow)
        FNotifierWindow = nullptr;
}

} // namespace ui::pager
