#include "ui/office/KvxOfficeStatusBarStylers.h"

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "ui/office/KvxOfficeStatusBar.h"

namespace ui::statusbar {

using namespace plat;

PLAT_CLASS_INFO(TVistaBackground, TPersistent)
PLAT_CLASS_INFO_CREATABLE(TCustomKvxOfficeStatusBarStyler, TComponent)
PLAT_CLASS_INFO_CREATABLE(TKvxOfficeStatusBarOfficeStyler, TCustomKvxOfficeStatusBarStyler)

PLAT_PROPERTIES(TVistaBackground) {
    using V = TVistaBackground;
    props.Integer("Steps", &V::Steps, &V::SetSteps, 64);
    props.Color("Color", &V::Color, &V::SetColor);
    props.Color("ColorTo", &V::ColorTo, &V::SetColorTo);
    props.Color("ColorMirror", &V::ColorMirror, &V::SetColorMirror);
    props.Color("ColorMirrorTo", &V::ColorMirrorTo, &V::SetColorMirrorTo);
    props.Color("BorderColor", &V::BorderColor, &V::SetBorderColor);
    props.Color("TextColor", &V::TextColor, &V::SetTextColor);
    props.Set("TextStyle", &V::TextStyle, &V::SetTextStyle, kFontStyleNames);
    props.Color("ColorMirrorDownTo", &V::ColorMirrorDownTo, &V::SetColorMirrorDownTo);
    props.Color("ColorHot", &V::ColorHot, &V::SetColorHot);
    props.Color("ColorMirrorDown", &V::ColorMirrorDown, &V::SetColorMirrorDown);
    props.Color("ColorDownTo", &V::ColorDownTo, &V::SetColorDownTo);
    props.Color("TextColorDown", &V::TextColorDown, &V::SetTextColorDown);
    props.Color("ColorDown", &V::ColorDown, &V::SetColorDown);
    props.Color("ColorHotTo", &V::ColorHotTo, &V::SetColorHotTo);
    props.Color("BorderColorDown", &V::BorderColorDown, &V::SetBorderColorDown);
    props.Color("ColorMirrorHot", &V::ColorMirrorHot, &V::SetColorMirrorHot);
    props.Color("BorderColorHot", &V::BorderColorHot, &V::SetBorderColorHot);
    props.Color("ColorMirrorHotTo", &V::ColorMirrorHotTo, &V::SetColorMirrorHotTo);
    props.Color("TextColorHot", &V::TextColorHot, &V::SetTextColorHot);
}

PLAT_PROPERTIES(TCustomKvxOfficeStatusBarStyler) {}

PLAT_PROPERTIES(TKvxOfficeStatusBarOfficeStyler) {
    using S = TKvxOfficeStatusBarOfficeStyler;
    props.Enum("Style", &S::Style, &S::SetStyle, kOfficeStatusBarStyleNames, psOffice2003Blue);
    props.Boolean("AutoThemeAdapt", &S::AutoThemeAdapt, &S::SetAutoThemeAdapt, false);
    props.Color("BorderColor", &S::BorderColor, &S::SetBorderColor);
    props.Object("PanelAppearanceLight", &S::PanelAppearanceLight, &S::SetPanelAppearanceLight);
    props.Object("PanelAppearanceDark", &S::PanelAppearanceDark, &S::SetPanelAppearanceDark);
}

namespace {

struct TRegistrar {
    TRegistrar() {
        RegisterClasses({&TCustomKvxOfficeStatusBarStyler::StaticClass(),
                         &TKvxOfficeStatusBarOfficeStyler::StaticClass()});
    }
} registrar;

// A colour a preset leaves as it was.
constexpr TColor kKeep = 0x7EEEEEEE;
constexpr TColor N = clNone;
constexpr TColor F = clBtnFace;

// In the order the setters run.
struct TAppearancePreset {
    TColor Color, ColorTo, ColorMirror, ColorMirrorTo, BorderColor, TextColor;
    TColor ColorHot, ColorHotTo, ColorMirrorHot, ColorMirrorHotTo, BorderColorHot, TextColorHot;
    TColor ColorDown, ColorDownTo, ColorMirrorDown, ColorMirrorDownTo, BorderColorDown, TextColorDown;
};

struct TStylePreset {
    bool Writes;
    TColor BorderColor;
    TAppearancePreset Light, Dark;
};

// clang-format off
constexpr TStylePreset kPresets[] = {
    // psOffice2003Blue
    {true, 0xE4AE88,
     {0xFADDC6, 0xE2A982, 0xE2A982, 0xE2A982, 0xE3B28D, 0x000000, 0xD4FBFF, 0x63C4F7, 0x63C4F7, 0x63C4F7, 0x808080, 0x000000, 0x8CE1FA, 0x1D9AEF, 0x1D9AEF, 0x1D9AEF, 0x9C430F, 0x000000},
     {0xD38355, 0x9C430F, 0x9C430F, 0x9C430F, N,        0xFFFFFF, 0xD4FBFF, 0x63C4F7, 0x63C4F7, 0x63C4F7, 0x808080, 0xFFFFFF, 0x8CE1FA, 0x1D9AEF, 0x1D9AEF, 0x1D9AEF, 0x9C430F, 0xFFFFFF}},
    // psOffice2003Silver
    {true, 0xB39698,
     {0xF7F3F3, 0xE6D8D8, 0xE6D8D8, 0xE6D8D8, N,        0x000000, 0xD4FBFF, 0x63C4F7, 0x63C4F7, 0x63C4F7, 0x808080, kKeep,    0x8CE1FA, 0x1D9AEF, 0x1D9AEF, 0x1D9AEF, 0xB79B9D, kKeep},
     {0xE6D8D8, 0xB79B9D, 0xB79B9D, 0xB79B9D, N,        0xFFFFFF, 0xD4FBFF, 0x63C4F7, 0x63C4F7, 0x63C4F7, 0x808080, 0xFFFFFF, 0x8CE1FA, 0x1D9AEF, 0x1D9AEF, 0x1D9AEF, 0xB79B9D, 0xFFFFFF}},
    // psOffice2003Olive
    {true, 0x8CC0B1,
     {0xCFF0EA, 0x90C3B5, 0x90C3B5, 0x90C3B5, N,        0x000000, 0xD4FBFF, 0x63C4F7, 0x63C4F7, 0x63C4F7, 0x808080, 0x000000, 0x8CE1FA, 0x1D9AEF, 0x1D9AEF, 0x1D9AEF, 0x4D846E, 0x000000},
     {0x81BFAE, 0x4D846E, 0x4D846E, 0x4D846E, N,        0xFFFFFF, 0xD4FBFF, 0x63C4F7, 0x63C4F7, 0x63C4F7, 0x808080, kKeep,    0x8CE1FA, 0x1D9AEF, 0x1D9AEF, 0x1D9AEF, 0x4D846E, kKeep}},
    // psOffice2003Classic
    {true, 0xC9D1D5,
     {0xFFFFFF, 0xC9D1D5, N,        N,        N,        0x000000, 0xD2BDB6, 0xD2BDB6, 0xD2BDB6, 0xD2BDB6, 0x808080, 0x000000, 0xE2B598, 0xE2B598, N,        N,        0x000000, 0x000000},
     {0x808080, 0x808080, N,        N,        N,        0xFFFFFF, 0xD2BDB6, 0xD2BDB6, N,        N,        0x808080, 0xFFFFFF, 0xE2B598, 0xE2B598, N,        N,        0x000000, 0xFFFFFF}},
    // psOffice2007Luna
    {true, 0xB07D56,
     {0xF9E6D7, 0xF8DCC7, 0xF5D0B3, 0xF7E0CD, N,        0x612009, 0xFBFFFF, 0xC0F0FF, 0x6BD8FF, 0xA0E6FC, 0x99CEDB, 0x000000, 0x77B4F7, 0x459AF9, 0x1982F8, 0x03AEFF, 0x45667B, 0x000000},
     {0xF8DCC5, 0xF5B687, 0xEAB690, 0xC29574, N,        0x612009, 0xFBFFFF, 0xC0F0FF, 0x6BD8FF, 0xA0E6FC, 0x99CEDB, 0x612009, 0x77B4F7, 0x459AF9, 0x1982F8, 0x03AEFF, 0x45667B, 0x612009}},
    // psOffice2007Obsidian
    {true, 0x414141,
     {0x414141, 0x30302F, 0x30302F, 0x4C4C4C, N,        0xFFFFFF, 0xFBFFFF, 0xC0F0FF, 0x6BD8FF, 0xA0E6FC, 0x99CEDB, 0xFFFFFF, 0x77B4F7, 0x459AF9, 0x1982F8, 0x03AEFF, 0x45667B, 0xFFFFFF},
     {0xA19F9E, 0x635F5E, 0x635F5E, 0x534D4B, N,        0xFFFFFF, 0xFBFFFF, 0xC0F0FF, 0x6BD8FF, 0xA0E6FC, 0x99CEDB, 0xFFFFFF, 0x77B4F7, 0x459AF9, 0x1982F8, 0x03AEFF, 0x45667B, 0xFFFFFF}},
    // psWindowsXP
    {true, 0xC0C0C0,
     {F,        F,        F,        F,        N,        0x000000, 0xEFD3C6, 0xEFD3C6, N,        N,        0x808080, 0x000000, 0xB59284, 0xB59284, N,        N,        0x000000, 0x000000},
     {0xFFFFFF, F,        F,        F,        N,        0x000000, 0xEFD3C6, 0xEFD3C6, N,        N,        0x808080, 0x000000, 0xB59284, 0xB59284, N,        N,        0x000000, 0x000000}},
    // psWhidbey
    {true, 0xA8C0C0,
     {0xF5F9FA, 0xA8C0C0, N,        N,        N,        0x000000, 0xD4FBFF, 0x63C4F7, 0x63C4F7, 0x63C4F7, 0x808080, 0x000000, 0x8CE1FA, 0x1D9AEF, 0x1D9AEF, 0x1D9AEF, 0x000000, 0x000000},
     {0xEBEEEF, 0x7E9898, N,        N,        N,        0x000000, 0xD4FBFF, 0x63C4F7, 0x63C4F7, 0x63C4F7, 0x808080, kKeep,    0x8CE1FA, 0x1D9AEF, 0x1D9AEF, 0x1D9AEF, 0x000000, kKeep}},
    // psCustom: keeps every colour
    {false, kKeep, {}, {}},
    // psOffice2007Silver
    {true, 0x766A61,
     {0xEBE8E7, 0xC7BBB5, 0xB7B0AA, 0xCEC9C7, N,        0x2A2623, 0xFBFFFF, 0xC0F0FF, 0x6BD8FF, 0xA0E6FC, 0x99CEDB, 0x000000, 0x77B4F7, 0x459AF9, 0x1982F8, 0x03AEFF, 0x45667B, 0x000000},
     {0xEBE8E7, 0xC7BBB6, 0xBAB4AE, 0xAFABA5, N,        0x2A2623, 0xFBFFFF, 0xC0F0FF, 0x6BD8FF, 0xA0E6FC, 0x99CEDB, 0x612009, 0x77B4F7, 0x459AF9, 0x1982F8, 0x03AEFF, 0x45667B, 0x612009}},
};
// clang-format on
static_assert(std::size(kPresets) == psOffice2007Silver + 1);

void WritePreset(TVistaBackground& A, const TAppearancePreset& P) {
    using V = TVistaBackground;
    const std::pair<TColor, void (V::*)(TColor)> writes[] = {
        {P.Color, &V::SetColor},
        {P.ColorTo, &V::SetColorTo},
        {P.ColorMirror, &V::SetColorMirror},
        {P.ColorMirrorTo, &V::SetColorMirrorTo},
        {P.BorderColor, &V::SetBorderColor},
        {P.TextColor, &V::SetTextColor},
        {P.ColorHot, &V::SetColorHot},
        {P.ColorHotTo, &V::SetColorHotTo},
        {P.ColorMirrorHot, &V::SetColorMirrorHot},
        {P.ColorMirrorHotTo, &V::SetColorMirrorHotTo},
        {P.BorderColorHot, &V::SetBorderColorHot},
        {P.TextColorHot, &V::SetTextColorHot},
        {P.ColorDown, &V::SetColorDown},
        {P.ColorDownTo, &V::SetColorDownTo},
        {P.ColorMirrorDown, &V::SetColorMirrorDown},
        {P.ColorMirrorDownTo, &V::SetColorMirrorDownTo},
        {P.BorderColorDown, &V::SetBorderColorDown},
        {P.TextColorDown, &V::SetTextColorDown},
    };
    for (const auto& [value, setter] : writes)
        if (value != kKeep)
            (A.*setter)(value);
}

// The style that stands for each colour-scheme code, none recognised first.
constexpr TOfficeStatusBarStyle kSchemeStyles[] = {psWindowsXP, psOffice2003Blue, psOffice2003Olive,
                                                   psOffice2003Silver};

} // namespace

// --- Panel appearance ------------------------------------------------------------------------------------

void TVistaBackground::Changed() {
    if (OnChange)
        OnChange(this);
}

void TVistaBackground::SetColour(TColor& Field, TColor Value) {
    if (Field == Value)
        return;
    Field = Value;
    Changed();
}

void TVistaBackground::SetSteps(int Value) {
    if (FSteps == Value)
        return;
    FSteps = Value;
    Changed();
}

void TVistaBackground::SetColor(TColor Value) {
    SetColour(FColor, Value);
}
void TVistaBackground::SetColorTo(TColor Value) {
    SetColour(FColorTo, Value);
}
void TVistaBackground::SetColorMirror(TColor Value) {
    SetColour(FColorMirror, Value);
}
void TVistaBackground::SetColorMirrorTo(TColor Value) {
    SetColour(FColorMirrorTo, Value);
}
void TVistaBackground::SetBorderColor(TColor Value) {
    SetColour(FBorderColor, Value);
}
void TVistaBackground::SetTextColor(TColor Value) {
    SetColour(FTextColor, Value);
}
void TVistaBackground::SetColorDown(TColor Value) {
    SetColour(FColorDown, Value);
}
void TVistaBackground::SetColorDownTo(TColor Value) {
    SetColour(FColorDownTo, Value);
}
void TVistaBackground::SetColorMirrorDown(TColor Value) {
    SetColour(FColorMirrorDown, Value);
}
void TVistaBackground::SetColorMirrorDownTo(TColor Value) {
    SetColour(FColorMirrorDownTo, Value);
}
void TVistaBackground::SetBorderColorDown(TColor Value) {
    SetColour(FBorderColorDown, Value);
}
void TVistaBackground::SetTextColorDown(TColor Value) {
    SetColour(FTextColorDown, Value);
}

void TVistaBackground::SetTextStyle(TFontStyles Value) {
    FTextStyle = Value;
    Changed();
}

void TVistaBackground::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TVistaBackground*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FSteps = src->FSteps;
    FColor = src->FColor;
    FColorHot = src->FColorHot;
    FColorDown = src->FColorDown;
    FColorTo = src->FColorTo;
    FColorHotTo = src->FColorHotTo;
    FColorDownTo = src->FColorDownTo;
    FColorMirror = src->FColorMirror;
    FColorMirrorHot = src->FColorMirrorHot;
    FColorMirrorDown = src->FColorMirrorDown;
    FColorMirrorTo = src->FColorMirrorTo;
    FColorMirrorHotTo = src->FColorMirrorHotTo;
    FColorMirrorDownTo = src->FColorMirrorDownTo;
    FBorderColor = src->FBorderColor;
    FBorderColorHot = src->FBorderColorHot;
    FBorderColorDown = src->FBorderColorDown;
    FTextColor = src->FTextColor;
    FTextColorHot = src->FTextColorHot;
    FTextColorDown = src->FTextColorDown;
    // Through the setter, so the owner hears of the copy once.
    SetTextStyle(src->FTextStyle);
}

// --- Base styler -----------------------------------------------------------------------------------------

TCustomKvxOfficeStatusBarStyler::TCustomKvxOfficeStatusBarStyler(TComponent* AOwner)
    : TComponent(AOwner), FPanelAppearanceLight(std::make_unique<TVistaBackground>()),
      FPanelAppearanceDark(std::make_unique<TVistaBackground>()) {
    FPanelAppearanceLight->OnChange = [this](TObject*) { NotifyClients(); };
    FPanelAppearanceDark->OnChange = [this](TObject*) { NotifyClients(); };
}

TCustomKvxOfficeStatusBarStyler::~TCustomKvxOfficeStatusBarStyler() {
    // Bars that still paint with this styler go back to their own; none may keep a dangling styler.
    while (FClients.Count() > 0) {
        TKvxOfficeStatusBar* bar = FClients[FClients.Count() - 1];
        FClients.Remove(bar);
        bar->StylerDestroyed(this);
    }
    BeforeDestruction();
}

void TCustomKvxOfficeStatusBarStyler::SetBorderColor(TColor Value) {
    if (FBorderColor == Value)
        return;
    FBorderColor = Value;
    NotifyClients();
}

void TCustomKvxOfficeStatusBarStyler::NotifyClients() {
    for (int i = 0; i < FClients.Count(); ++i)
        if (TKvxOfficeStatusBar* bar = FClients[i])
            bar->Invalidate();
}

void TCustomKvxOfficeStatusBarStyler::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TCustomKvxOfficeStatusBarStyler*>(Source);
    if (!src) {
        TComponent::Assign(Source);
        return;
    }
    FAutoThemeAdapt = src->FAutoThemeAdapt;
    FPanelAppearanceLight->Assign(src->FPanelAppearanceLight.get());
    FPanelAppearanceDark->Assign(src->FPanelAppearanceDark.get());
    SetBorderColor(src->FBorderColor);
}

void TCustomKvxOfficeStatusBarStyler::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && !(ComponentState() & csDestroying))
        if (auto* bar = dynamic_cast<TKvxOfficeStatusBar*>(AComponent))
            FClients.Remove(bar);
}

// --- Office styler ---------------------------------------------------------------------------------------

TKvxOfficeStatusBarOfficeStyler::TKvxOfficeStatusBarOfficeStyler(TComponent* AOwner)
    : TCustomKvxOfficeStatusBarStyler(AOwner) {
    FNotifierWindow = new TNotifierWindow(this);
    for (TComponent* o = AOwner; o; o = o->Owner()) {
        if (auto* w = dynamic_cast<TWinControl*>(o)) {
            FNotifierWindow->SetParent(w);
            break;
        }
    }
    FNotifierWindow->OnThemeChange = [this](TObject*) { ApplyAutoThemeStyle(); };
    // The field starts at the first style, which a plain assignment would take as unchanged.
    SetStyle(psWindowsXP);
    SetStyle(psOffice2003Blue);
}

TKvxOfficeStatusBarOfficeStyler::~TKvxOfficeStatusBarOfficeStyler() = default;

void TKvxOfficeStatusBarOfficeStyler::SetStyle(TOfficeStatusBarStyle Value) {
    if (FStyle == Value || Value > psOffice2007Silver)
        return;
    FStyle = Value;
    const TStylePreset& preset = kPresets[Value];
    if (preset.Writes) {
        SetBorderColor(preset.BorderColor);
        WritePreset(*PanelAppearanceLight(), preset.Light);
        WritePreset(*PanelAppearanceDark(), preset.Dark);
    }
    NotifyClients();
}

void TKvxOfficeStatusBarOfficeStyler::ApplyAutoThemeStyle() {
    if (!FAutoThemeAdapt)
        return;
    const int scheme = DetectXPColorScheme();
    SetStyle(kSchemeStyles[scheme >= 0 && scheme < 4 ? scheme : 0]);
}

void TKvxOfficeStatusBarOfficeStyler::Loaded() {
    TCustomKvxOfficeStatusBarStyler::Loaded();
    if (!(ComponentState() & csDesigning))
        ApplyAutoThemeStyle();
}

void TKvxOfficeStatusBarOfficeStyler::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomKvxOfficeStatusBarStyler::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FNotifierWindow)
        FNotifierWindow = nullptr;
}

} // namespace ui::statusbar
