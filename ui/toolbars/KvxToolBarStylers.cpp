#include "ui/toolbars/KvxToolBarStylers.h"

#include <array>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "ui/office/KvxOfficeStatusBar.h"

namespace ui::toolbar {

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TCustomKvxToolBarStyler, TComponent)
PLAT_CLASS_INFO_CREATABLE(TKvxToolBarOfficeStyler, TCustomKvxToolBarStyler)

PLAT_PROPERTIES(TCustomKvxToolBarStyler) {}

// In the order form files store them, Style first so that the stored values land on its preset.
PLAT_PROPERTIES(TKvxToolBarOfficeStyler) {
    using S = TKvxToolBarOfficeStyler;
    props.Enum("Style", &S::Style, &S::SetStyle, kToolBarStyleNames, bsOffice2003Blue);
    props.Component("KvxMenuStyler", &S::KvxMenuStyler, &S::SetKvxMenuStyler);
    props.Boolean("AutoThemeAdapt", &S::AutoThemeAdapt, &S::SetAutoThemeAdapt, false);
    props.Object("BackGround", &S::BackGround, &S::SetBackGround);
    props.Boolean("BackGroundTransparent", &S::BackGroundTransparent, &S::SetBackGroundTransparent, true);
    props.Enum("BackGroundDisplay", &S::BackGroundDisplay, &S::SetBackGroundDisplay, kBackGroundDisplayNames,
               bdTile);
    props.Color("BorderColor", &S::BorderColor, &S::SetBorderColor, clNone);
    props.Color("BorderColorHot", &S::BorderColorHot, &S::SetBorderColorHot, clNone);
    props.Object("ButtonAppearance", &S::ButtonAppearance, &S::SetButtonAppearance);
    props.Object("CaptionAppearance", &S::CaptionAppearance, &S::SetCaptionAppearance);
    props.Object("CaptionFont", &S::CaptionFont, &S::SetCaptionFont);
    props.Object("ContainerAppearance", &S::ContainerAppearance, &S::SetContainerAppearance);
    props.Object("Color", &S::Color, &S::SetColor);
    props.Object("ColorHot", &S::ColorHot, &S::SetColorHot);
    props.Object("CompactGlowButtonAppearance", &S::CompactGlowButtonAppearance,
                 &S::SetCompactGlowButtonAppearance);
    props.Object("DockColor", &S::DockColor, &S::SetDockColor);
    props.Enum("DragGripStyle", &S::DragGripStyle, &S::SetDragGripStyle, kDragGripStyleNames, dsDots);
    props.Object("DragGripImage", &S::DragGripImage, &S::SetDragGripImage);
    props.Color("FloatingWindowBorderColor", &S::FloatingWindowBorderColor, &S::SetFloatingWindowBorderColor);
    props.Integer("FloatingWindowBorderWidth", &S::FloatingWindowBorderWidth,
                  &S::SetFloatingWindowBorderWidth, 2);
    props.Object("Font", &S::Font, &S::SetFont);
    props.Object("GlowButtonAppearance", &S::GlowButtonAppearance, &S::SetGlowButtonAppearance);
    props.Object("GroupAppearance", &S::GroupAppearance, &S::SetGroupAppearance);
    props.Object("PageAppearance", &S::PageAppearance, &S::SetPageAppearance);
    props.Object("PagerCaption", &S::PagerCaption, &S::SetPagerCaption);
    props.Object("QATAppearance", &S::QATAppearance, &S::SetQATAppearance);
    props.Object("RightHandleImage", &S::RightHandleImage, &S::SetRightHandleImage);
    // The right-hand colours are always written: a declared default that no constructor or preset
    // gives would drop an edited colour equal to it on the way through a form file.
    props.Color("RightHandleColor", &S::RightHandleColor, &S::SetRightHandleColor);
    props.Color("RightHandleColorTo", &S::RightHandleColorTo, &S::SetRightHandleColorTo);
    props.Color("RightHandleColorHot", &S::RightHandleColorHot, &S::SetRightHandleColorHot);
    props.Color("RightHandleColorHotTo", &S::RightHandleColorHotTo, &S::SetRightHandleColorHotTo);
    props.Color("RightHandleColorDown", &S::RightHandleColorDown, &S::SetRightHandleColorDown);
    props.Color("RightHandleColorDownTo", &S::RightHandleColorDownTo, &S::SetRightHandleColorDownTo);
    props.Object("TabAppearance", &S::TabAppearance, &S::SetTabAppearance);
    props.Boolean("SystemFont", &S::SystemFont, &S::SetSystemFont, true);
}

namespace {

class TStatusBarFrameAnswer : public IStatusBarFrameQuery {
public:
    bool IsToolBarForm(TWinControl* Parent) const override { return toolbar::IsToolBarForm(Parent); }
    bool PagerCaptionTextColor(TWinControl* Form, TColor& Colour) const override {
        return toolbar::PagerCaptionTextColor(Form, Colour);
    }
} statusBarAnswer;

struct TRegistrar {
    TRegistrar() {
        RegisterClasses({&TCustomKvxToolBarStyler::StaticClass(), &TKvxToolBarOfficeStyler::StaticClass()});
        SetStatusBarFrameQuery(&statusBarAnswer);
    }
} registrar;

} // namespace

bool IsToolBarForm(const TWinControl* Control) {
    return IsOfClassNamed(Control, "TKvxToolBarForm");
}

bool PagerCaptionTextColor(const TWinControl* Form, TColor& Colour) {
    if (!Form)
        return false;
    for (int i = Form->ControlCount() - 1; i >= 0; --i) {
        TControl* c = Form->Controls(i);
        if (!IsOfClassNamed(c, "TKvxToolBarPager"))
            continue;
        auto* user = dynamic_cast<IToolBarStylerUser*>(c);
        TCustomKvxToolBarStyler* styler = user ? user->CurrentToolBarStyler() : nullptr;
        if (!styler)
            return false;
        Colour = styler->CaptionAppearance()->CaptionTextColor();
        return true;
    }
    return false;
}

// --- Base styler -----------------------------------------------------------------------------------------

TCustomKvxToolBarStyler::TCustomKvxToolBarStyler(TComponent* AOwner)
    : TComponent(AOwner), FBackGround(std::make_unique<TBitmap>()), FFont(std::make_unique<TFont>()),
      FDragGripImage(std::make_unique<TBitmap>()), FRightHandleImage(std::make_unique<TBitmap>()),
      FCaptionAppearance(std::make_unique<TCaptionAppearance>()),
      FColor(std::make_unique<TVistaGradientBackground>()),
      FDockColor(std::make_unique<TGradientBackground>()),
      FButtonAppearance(std::make_unique<TButtonAppearance>()),
      FColorHot(std::make_unique<TVistaGradientBackground>()), FCaptionFont(std::make_unique<TFont>()),
      FContainerAppearance(std::make_unique<TContainerAppearance>()),
      FGlowButtonAppearance(std::make_unique<TGlowButtonAppearance>()),
      FCompactGlowButtonAppearance(std::make_unique<TGlowButtonAppearance>()),
      FPagerCaption(std::make_unique<TVistaTextBackground>()),
      FTabAppearance(std::make_unique<TTabAppearance>()),
      FPageAppearance(std::make_unique<TVistaPageBackground>()),
      FGroupAppearance(std::make_unique<TGroupAppearance>()),
      FQATAppearance(std::make_unique<TQATAppearance>()) {
    FColorHot->SetColor(clNone);
    FColorHot->SetColorTo(clNone);
    FFont->SetName(SystemFontName());
    FCaptionFont->SetName(SystemFontName());

    FInternalMenuStyler = new TKvxMenuStyler(this);
    FInternalMenuStyler->SetName("InternalMenuStyler");
    FCurrentMenuStyler = FInternalMenuStyler;

    // Connected once every object has its defaults, so construction tells nobody.
    const auto send = [this](int Code) { return [this, Code](TObject*) { NotifyStylerClients(Code); }; };
    FCaptionAppearance->OnChange = send(scColors);
    FColor->OnChange = send(scColors);
    FDockColor->OnChange = send(scColors);
    FContainerAppearance->OnChange = send(scContainer);
    FGlowButtonAppearance->OnChange = send(scGlowButtons);
    FCompactGlowButtonAppearance->OnChange = send(scGlowButtons);
    FPagerCaption->OnChange = send(scPagerCaption);
    FTabAppearance->OnChange = send(scPagerTabs);
    FPageAppearance->OnChange = send(scPagerTabs);
    FGroupAppearance->OnChange = send(scPagerTabs);
    FQATAppearance->OnChange = send(scQuickAccess);
}

TCustomKvxToolBarStyler::~TCustomKvxToolBarStyler() {
    // A client still listed would paint with freed objects: hand each back to its own styler first.
    while (FClients.Count() > 0) {
        TControl* client = FClients[FClients.Count() - 1];
        FClients.Delete(FClients.Count() - 1);
        if (auto* c = dynamic_cast<IToolBarStylerClient*>(client);
            c && !(client->ComponentState() & csDestroying))
            c->StylerDestroyed(this);
    }
    FKvxMenuStyler = nullptr;
    FCurrentMenuStyler = nullptr;
    BeforeDestruction();
}

int TCustomKvxToolBarStyler::RegisterStylerClient(TControl* Control) {
    FClients.Add(Control);
    return FClients.Count() - 1;
}

void TCustomKvxToolBarStyler::UnregisterStylerClient(TControl* Control) {
    FClients.Remove(Control);
}

void TCustomKvxToolBarStyler::NotifyStylerClients(int Code) {
    const int count = FClients.Count();
    for (int i = 0; i < count && i < FClients.Count(); ++i) {
        TControl* control = FClients[i];
        auto* client = dynamic_cast<IToolBarStylerClient*>(control);
        if (!client || !dynamic_cast<TCustomControl*>(control))
            continue;
        if (IToolBarStylerClient* compact = client->CompactStylerClient())
            compact->StylerChanged(Code);
        client->StylerChanged(Code);
    }
}

void TCustomKvxToolBarStyler::SetKvxMenuStyler(TCustomKvxMenuStyler* Value) {
    if (FKvxMenuStyler && FKvxMenuStyler != Value)
        FKvxMenuStyler->RemoveFreeNotification(this);
    FKvxMenuStyler = Value;
    // Told of its end also when it lives on another form, so the styler never keeps a dangling one.
    if (Value)
        Value->FreeNotification(this);
    FCurrentMenuStyler = Value ? Value : FInternalMenuStyler;
    NotifyStylerClients(scMenuStyler);
}

void TCustomKvxToolBarStyler::SetBackGround(TBitmap* Value) {
    FBackGround->Assign(Value);
    NotifyStylerClients(scBackGround);
}

void TCustomKvxToolBarStyler::SetFont(TFont* Value) {
    FFont->Assign(Value);
    NotifyStylerClients(scBackGround);
}

void TCustomKvxToolBarStyler::SetCaptionFont(TFont* Value) {
    FCaptionFont->Assign(Value);
    NotifyStylerClients(scColors);
}

void TCustomKvxToolBarStyler::SetRightHandleImage(TBitmap* Value) {
    FRightHandleImage->Assign(Value);
    NotifyStylerClients(scColors);
}

void TCustomKvxToolBarStyler::SetRoundedFrame(bool Value) {
    FRoundedFrame = Value;
    NotifyStylerClients(scColors);
}

void TCustomKvxToolBarStyler::SetSystemFont(bool Value) {
    if (FSystemFont == Value)
        return;
    FSystemFont = Value;
    if (Value) {
        FFont->SetName(SystemFontName());
        FCaptionFont->SetName(SystemFontName());
    }
}

void TCustomKvxToolBarStyler::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || !AComponent)
        return;
    // Forgotten also while the owner tears everything down: the list must never hold a freed control.
    if (auto* control = dynamic_cast<TControl*>(AComponent))
        FClients.Remove(control);
    if (AComponent != FKvxMenuStyler)
        return;
    if (ComponentState() & csDestroying) {
        FKvxMenuStyler = nullptr;
        FCurrentMenuStyler = FInternalMenuStyler;
    } else {
        SetKvxMenuStyler(nullptr);
    }
}

void TCustomKvxToolBarStyler::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TCustomKvxToolBarStyler*>(Source);
    if (!src) {
        TComponent::Assign(Source);
        return;
    }
    if (FCurrentMenuStyler && src->FKvxMenuStyler)
        FCurrentMenuStyler->Assign(src->FKvxMenuStyler);
    FColor->Assign(src->FColor.get());
    FDockColor->Assign(src->FDockColor.get());
    FBackGround->Assign(src->FBackGround.get());
    SetBackGroundTransparent(src->FBackGroundTransparent);
    SetBackGroundDisplay(src->FBackGroundDisplay);
    FFont->Assign(src->FFont.get());
    SetDragGripStyle(src->FDragGripStyle);
    FDragGripImage->Assign(src->FDragGripImage.get());
    FRightHandleImage->Assign(src->FRightHandleImage.get());
    SetFloatingWindowBorderColor(src->FFloatingWindowBorderColor);
    SetFloatingWindowBorderWidth(src->FFloatingWindowBorderWidth);
    FCaptionAppearance->Assign(src->FCaptionAppearance.get());
    FButtonAppearance->Assign(src->FButtonAppearance.get());
}

// --- Colour presets --------------------------------------------------------------------------------------

namespace {

// A colour a preset leaves as it was.
constexpr TColor kKeep = 0x7EEEEEEE;
constexpr TColor N = clNone;
constexpr TColor F = clBtnFace;
constexpr TColor H = clHighlight;
constexpr TGDIPGradient V = ggVertical;
constexpr TGDIPGradient R = ggRadial;

template <size_t C> using TColors = std::array<TColor, C>;
template <size_t C> using TGradients = std::array<TGDIPGradient, C>;

// Colour, ColorTo, ColorMirror, ColorMirrorTo, border of one glow look.
using TGlowFace = TColors<5>;

// The ribbon pager's part of a colour set.
struct TPagerPreset {
    TColors<2> TabBackGround;
    bool TabBackGroundVertical;                  // only then is the direction written
    TColors<5> TabBorders;                       // normal, hot, selected, selected hot, disabled
    TColors<4> TabText;                          // normal, hot, selected, disabled
    TColors<4> TabHot, TabSelected, TabDisabled; // Color, ColorTo, ColorMirror, ColorMirrorTo
    TGradients<7> TabGradients;                  // normal, hot, mirror hot, selected, mirror selected, ...
    TColors<6> TabShadow;                        // shadow, highlight, hot, selected, selected hot, down
    TColors<5> Page;                             // Color, ColorTo, ColorMirror, ColorMirrorTo, border
    TGradients<2> PageGradients;
    TColors<2> PageShadow; // shadow, highlight
    TColors<5> Caption;
    TGradients<2> CaptionGradients;
    TColors<6> Group; // Color, ColorTo, ColorMirror, ColorMirrorTo, border, text
    TGradients<2> GroupGradients;
    TColors<4> GroupTabHot;
    TGradients<2> GroupTabGradients;
    TColors<4> GroupTabSelected;
    TColors<4> GroupTabBorders; // normal, hot, selected, selected hot
    TColors<3> GroupTabText;
    TColors<6> GroupTabShadow;
    TColors<5> GroupPage;
    TGradients<2> GroupPageGradients;
    TColors<2> GroupPageShadow;
    TColors<6>
        GroupToolBar; // Color.Color, Color.ColorTo, border, ColorHot.Color, ColorHot.ColorTo, border hot
    TColors<6> GroupCaption; // colour, to, hot, hot to, text, text hot
    TColors<6> QAT;          // Color, ColorTo, border, full-size Color, ColorTo, border
};

struct TStylerPreset {
    bool Writes;
    TKVXStyle ChildStyle;
    bool WideQATInset;
    TColors<6> RightHandle; // colour, to, hot, hot to, down, down to
    TColor BorderColor, BorderColorHot;
    TColor FloatingBorderColor;
    int FloatingBorderWidth;
    TDragGripStyle DragGrip;
    bool RoundedFrame;
    uint8_t FrameBevel;
    bool ShowFrameBevel;
    TColors<2> Dock;
    TColors<2> Color;
    int ColorSteps; // negative: kept
    TColors<4> ColorMirror;
    TColors<2> ColorHot;
    TColors<4> ColorHotMirror;
    TColors<8> Button;             // normal, hot, down, checked, each with its To
    TColors<4> ButtonText;         // normal, hot, down, checked
    TColors<3> ButtonBorders;      // hot, down, checked
    TColors<7> Caption;            // colour, to, hot, hot to, text, text hot, border
    std::array<TGlowFace, 4> Glow; // normal, hot, down, checked
    bool CompactGlowWrites;
    std::array<TGlowFace, 3> CompactGlow; // hot, down, checked
    TPagerPreset Pager;
};

constexpr TPagerPreset kLunaPager{
    {0xFFDBBF, N},
    false,
    {N, 0xEABC99, 0xE3B28D, 0x60CCF9, N},
    {0x8B4215, 0x8B4215, 0x8B4215, 0x808080},
    {0xDDE5E4, 0xFFDEC5, 0xD5DFDD, 0xA3D3E1},
    {0xFEF6F0, 0xFAF1E9, 0xFAF1E9, 0xF6EAE0},
    {0xFFFFFF, 0xC0C0C0, 0xFFFFFF, 0xC0C0C0},
    {V, R, V, V, V, V, V},
    {0xE8C7AE, 0xFFFABF, 0xFDF4ED, 0x63CCF8, 0xBDFFFF, 0xFFFBD0},
    {0xF3E5DA, 0xF0DED0, 0xEDD9C8, 0xFFF4E3, 0xE3B28D},
    {V, V},
    {0xC4AA96, 0xFDF9CE},
    {0xECE7E2, 0xEDE5DE, 0xECE1D8, 0xEFEBDF, 0xF0CAAE},
    {V, V},
    {0xF1DECC, 0xD8E2E1, 0xD8E2E1, 0xA5E1E9, 0xC2C2C2, 0x8B4215},
    {V, V},
    {0xDDE5E4, 0xFFDEC5, 0xD5DFDD, 0xA3D3E1},
    {R, R},
    {0x9EDFFB, 0xBAE8FC, 0xBAE8FC, 0xD4F1FD},
    {0xA0BFCC, 0xA0BFCC, 0xA0BFCC, 0xA0BFCC},
    {0x8B4215, 0x8B4215, 0x8B4215},
    {0xE8C7AE, 0xFFFABF, 0xFDF4ED, 0x63CCF8, 0xBDFFFF, 0xFFFBD0},
    {0xD6F2FE, 0xF9F9F9, 0xF9F9F9, 0xF9F9F9, 0xC2C2C2},
    {V, V},
    {0xC4AA96, 0xFDF9CE},
    {0xECF8FD, 0xF9F9F9, 0xCCD1D3, 0xEEF4F5, 0xFDFBFA, 0xC7C7C7},
    {0xF2DAC2, 0xF0D9C1, 0xFFE0C8, 0xFFEDD6, 0xAA6A3E, 0xAA6A3E},
    {0xF4E7DE, 0xEED8C9, 0xD5B39A, 0xEDCDB2, 0xEAC5AA, 0xCDA17E},
};

constexpr TPagerPreset kWhidbeyPager{
    {0x859D9D, 0xADC4C4},
    false,
    {N, 0xE3B28D, 0x000000, 0x60CCF9, N},
    {0xFFFFFF, 0x000000, 0x000000, 0x808080},
    {0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0x91D0FF},
    {0xADC4C4, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
    {0xFFFFFF, 0xC0C0C0, 0xFFFFFF, 0xC0C0C0},
    {V, V, V, V, V, V, V},
    {0x648C82, 0xFFFABF, 0xFDF4ED, 0x63CCF8, 0xBDFFFF, 0xFFFBD0},
    {0xD2E6E8, 0xD2E6E8, 0xC5DDE0, 0xFBFDFD, 0x000000},
    {V, V},
    {0x6B9191, 0x768A92},
    {0x859D9D, 0x859D9D, 0x859D9D, 0x859D9D, 0xF0CAAE},
    {V, V},
    {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFDDBB, 0xFFFFFF, 0x000000},
    {V, V},
    {0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0x91D0FF},
    {V, V},
    {0x9EDFFB, 0xBAE8FC, 0xBAE8FC, 0xD4F1FD},
    {H, H, 0xA0BFCC, 0xA0BFCC},
    {0xFFFFFF, 0x000000, 0x000000},
    {kKeep, kKeep, kKeep, kKeep, kKeep, kKeep},
    {0xD6F2FE, 0xF9F9F9, 0xF9F9F9, 0xF9F9F9, 0xC2C2C2},
    {V, V},
    {kKeep, kKeep},
    {0xECF8FD, 0xF9F9F9, 0xCCD1D3, 0xEEF4F5, 0xFDFBFA, 0xC7C7C7},
    {0xD9E9EC, 0xD9E9EC, 0xDFEDF0, 0xDFEDF0, 0x000000, 0x000000},
    {0xF5F9FA, 0xA8C0C0, 0x828F92, 0x859D9D, 0x859D9D, 0x828F92},
};

constexpr std::array<TGlowFace, 3> kWhidbeyGlowStates{{
    {0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB},
    {0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B},
    {0xB5DBFB, 0x78C7FE, 0x9FEBFD, 0x56B4FE, kKeep},
}};

constexpr TStylerPreset kLuna{
    true,
    tsOffice2007Luna,
    false,
    {0xDFD2C5, 0xE0C7AD, 0xD3F8FF, 0x76C1FF, 0x087FE8, 0x7CDAF7},
    0xD7C8B7,
    0xE0C7AD,
    0xE3B28D,
    1,
    dsNone,
    true,
    0,
    false,
    {0xEDD8C7, 0xFAF1E9},
    {0xEDD8C7, 0xF6E9D9},
    -1,
    {0xF3E5DA, 0xF0DED0, 0xEDD9C8, 0xFBEDDC},
    {0xFFF1E6, 0xFAEADE},
    {0xFDEFE5, 0xFCF0E7, 0xFBE9DB, 0xFBEDDC},
    {0xCFF0EA, 0x8CC0B1, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x91D3FF, 0x8CD5FF, 0x58AFFF},
    {0, 0, 0, 0},
    {0x385D3F, 0x385D3F, 0x385D3F},
    {0xF2DAC2, 0xF0D9C1, 0xFFE0C8, 0xFFEDD6, 0xAA6A3E, 0xAA6A3E, kKeep},
    {{
        {0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0xE0B99B},
        {0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB},
        {0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B},
        {0xB5DBFB, 0x78C7FE, 0x9FEBFD, 0x56B4FE, 0x45667B},
    }},
    true,
    {{
        {0xF7F7EF, 0xF7E7D6, 0xF7EAC3, 0xF7E7D6, 0xE7D6B5},
        {0xDEC6AD, 0xCEAD8C, 0xFFD6B5, 0xC69473, 0xB7A38E},
        {0xDEC6AD, 0xCEAD8C, 0xFFD6B5, 0xC69473, 0xB7A38E},
    }},
    kLunaPager,
};

constexpr TStylerPreset kWhidbey{
    true,
    tsWhidbey,
    false,
    {0xEBEEEF, 0x7E9898, 0xEED2C1, N, 0xE8E6E1, N},
    kKeep,
    0xE0C7AD,
    0x828F92,
    2,
    dsDots,
    true,
    0,
    false,
    {0xD7E5E5, 0xE7F2F3},
    {0xF5F9FA, 0xA8C0C0},
    64,
    {0xD2E6E8, 0xD2E6E8, 0xC5DDE0, 0xE4F3F4},
    {0xF5F9FA, 0xF5F9FA},
    {0xE4F0F1, 0xE4F0F1, 0xDCEBED, 0xF7FBFB},
    {F, N, 0xEED2C1, N, 0xE2B598, N, F, N},
    {0, 0, 0, 0},
    {0xC56A31, 0x6F4B4B, kKeep},
    {0x99A8AC, 0x99A8AC, 0xADC4C4, 0xADC4C4, 0xFFFFFF, 0xFFFFFF, 0x828F92},
    {{
        {0xFFFFFF, 0xDFEDF0, 0xDFEDF0, 0xDFEDF0, 0x99A8AC},
        kWhidbeyGlowStates[0],
        kWhidbeyGlowStates[1],
        kWhidbeyGlowStates[2],
    }},
    false,
    {},
    kWhidbeyPager,
};

// The Office 2003 family and the classic look: the Whidbey structure with their own main colours.
constexpr TStylerPreset Office2003(TKVXStyle Child, TColors<2> Dock, TColors<2> Color, TColors<2> Glow,
                                   TColor Floating, bool WritesBorder, bool WritesHandleDown) {
    TStylerPreset p = kWhidbey;
    p.ChildStyle = Child;
    p.RightHandle = {Color[0],
                     Color[1],
                     0xCCF4FF,
                     0x91D0FF,
                     WritesHandleDown ? 0x4E91FE : kKeep,
                     WritesHandleDown ? 0x91D3FF : kKeep};
    p.BorderColor = WritesBorder ? Color[1] : kKeep;
    p.BorderColorHot = Color[1];
    p.FloatingBorderColor = Floating;
    p.Dock = Dock;
    p.Color = Color;
    p.ColorMirror = {Color[0], Color[0], Color[1], Color[1]};
    p.ColorHot = Color;
    p.ColorHotMirror = {Color[0], Color[0], Color[1], Color[1]};
    p.Button = {N, N, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x91D3FF, 0x8CD5FF, 0x58AFFF};
    p.ButtonBorders = {0x800000, 0x800000, 0x800000};
    p.Caption = {H, N, N, N, 0xFFFFFF, 0xFFFFFF, H};
    p.Glow[0] = {Glow[0], Glow[1], Glow[1], Glow[0], Floating};
    return p;
}

constexpr TStylerPreset Classic() {
    TStylerPreset p = kWhidbey;
    p.ChildStyle = tsCustom;
    p.RightHandle = {0xD2BDB6, 0xC9D1D5, 0xD2BDB6, N, 0xE2B598, N};
    p.Dock = {0xD2BDB6, 0xD2BDB6};
    p.Color = {0xFFFFFF, 0xC9D1D5};
    p.ColorMirror = {0xFFFFFF, 0xFFFFFF, 0xC9D1D5, 0xC9D1D5};
    p.ColorHot = p.Color;
    p.ColorHotMirror = p.ColorMirror;
    p.Button = {N, N, 0xD2BDB6, N, 0xE2B598, N, 0xD8D5D4, N};
    p.ButtonBorders = {0x6A240A, 0x6A240A, kKeep};
    p.Caption = {0x808080, N, N, N, 0xFFFFFF, 0xFFFFFF, 0x808080};
    p.Glow[0] = {0xFFFFFF, 0xC9D1D5, 0xC9D1D5, 0xFFFFFF, 0x828F92};
    return p;
}

constexpr TStylerPreset WindowsXP() {
    TStylerPreset p = kWhidbey;
    p.ChildStyle = tsWindowsXP;
    p.RightHandle = {F, 0xB9D8DC, 0xEFD3C6, N, 0xB59284, N};
    p.FloatingBorderColor = H;
    p.DragGrip = dsSingleLine;
    p.RoundedFrame = false;
    p.FrameBevel = 2;
    p.ShowFrameBevel = true;
    p.Dock = {F, F};
    p.Color = {F, F};
    p.ColorMirror = {F, F, F, F};
    p.ColorHot = {F, F};
    p.ColorHotMirror = {F, F, F, F};
    p.Button = {N, N, 0xEFD3C6, N, 0xB59284, N, 0xE8E6E1, N};
    p.ButtonBorders = {kKeep, kKeep, kKeep};
    p.Caption = {H, N, N, N, 0xFFFFFF, 0xFFFFFF, H};
    p.Glow[0] = {0xFFFFFF, 0xB9D8DC, 0xB9D8DC, 0xFFFFFF, 0x99A8AC};
    p.Glow[3][4] = 0x000000;
    p.Pager.GroupTabShadow = {0xA4BCBF, 0xFFFABF, 0xFDF4ED, 0x63CCF8, 0xBDFFFF, 0xFFFBD0};
    return p;
}

// The Office 2007 family: the Luna structure with their own main colours.
constexpr TStylerPreset Office2007(TKVXStyle Child, TColors<2> Dock, TColors<2> Color, TColors<2> Caption,
                                   TColors<2> Glow, TColor Floating) {
    TStylerPreset p = kLuna;
    p.ChildStyle = Child;
    p.BorderColorHot = Color[1];
    p.FloatingBorderColor = Floating;
    p.Dock = Dock;
    p.Color = Color;
    p.ColorMirror = {Color[0], Color[0], Dock[0], Color[1]};
    p.Caption = {Caption[0], Caption[0], Color[0], Color[1], Caption[1], Caption[1], kKeep};
    p.Glow[0] = {Glow[0], Glow[1], Glow[1], Glow[0], Floating};
    return p;
}

constexpr TStylerPreset Obsidian() {
    TStylerPreset p = Office2007(tsOffice2007Obsidian, {0xCFC6C1, 0xC5BBB4}, {0xC5BBB4, 0xECECE5},
                                 {0xB8B8B6, 0xFFFFFF}, {0xDFDED6, 0xE4E2DB}, 0xB4B0AE);
    p.WideQATInset = true;
    p.RightHandle = {0xC5BBB4, 0xECECE5, 0xD3F8FF, 0x76C1FF, 0x087FE8, 0x7CDAF7};
    p.BorderColor = 0x9A9A9A;
    p.CompactGlowWrites = false;
    p.Pager.TabBackGroundVertical = true;
    p.Pager.TabBackGround = {0x535353, 0x404040};
    p.Pager.TabText = {0xFFFFFF, 0xFFFFFF, 0x000000, 0x808080};
    return p;
}

constexpr TStylerPreset Silver2007() {
    TStylerPreset p = Office2007(tsOffice2007Silver, {0xE5D7D7, 0xF7F3F3}, {0xE7DCD5, 0xF4F4EE},
                                 {0xEFE3DF, 0x595453}, {0xF3F3F1, 0xF2F2F0}, 0xC6B0B1);
    p.RightHandle = {0xE7DCD5, 0xF4F4EE, 0xD3F8FF, 0x76C1FF, 0x087FE8, 0x7CDAF7};
    p.BorderColor = 0xC6B0B1;
    p.Caption[6] = 0xC6B0B1;
    p.Pager.TabBackGround = {0xF3E8E3, N};
    p.Pager.TabText = {0x5C534C, 0x5C534C, 0x5C534C, 0x808080};
    p.Pager.GroupTabShadow = {kKeep, kKeep, kKeep, kKeep, kKeep, kKeep};
    p.Pager.GroupPageShadow = {kKeep, kKeep};
    return p;
}

constexpr TStylerPreset kNoPreset{};

// clang-format off
constexpr TStylerPreset kPresets[] = {
    /* bsOffice2003Blue     */ Office2003(tsOffice2003Blue, {0xF5BFA0, 0xFADAC4}, {0xFDEADA, 0xE4AE88},
                                          {0xEEDBC8, 0xF6DDC9}, 0x913500, true, true),
    /* bsOffice2003Silver   */ Office2003(tsOffice2003Silver, {0xE6D8D8, 0xF7F3F3}, {0xECE2E1, 0xB39698},
                                          {0xE6E9E2, 0xE6D8D8}, 0x927476, false, false),
    /* bsOffice2003Olive    */ Office2003(tsOffice2003Olive, {0xAADADA, 0xE4F1F2}, {0xCFF0EA, 0x8CC0B1},
                                          {0xCFF0EA, 0xCFF0EA}, 0x6B7760, false, false),
    /* bsOffice2003Classic  */ Classic(),
    /* bsOffice2007Luna     */ kLuna,
    /* bsOffice2007Obsidian */ Obsidian(),
    /* bsWindowsXP          */ WindowsXP(),
    /* bsWhidbeyStyle       */ kWhidbey,
    /* bsCustom             */ kNoPreset,
    /* bsOffice2007Silver   */ Silver2007(),
    /* bsOfficeXP           */ WindowsXP(),
};
// clang-format on
static_assert(std::size(kPresets) == bsOfficeXP + 1);
static_assert(!kPresets[bsCustom].Writes && kPresets[bsOfficeXP].ChildStyle == tsWindowsXP);

// Writes Value through Setter unless the preset keeps the property.
template <class O, class S> void Put(O& Object, S Setter, TColor Value) {
    if (Value != kKeep)
        (Object.*Setter)(Value);
}

void WriteGlowState(TGlowButtonAppearance& A, int State, const TGlowFace& Face) {
    using G = TGlowButtonAppearance;
    using TSetter = void (G::*)(TColor);
    static constexpr TSetter kSetters[3][5] = {
        {&G::SetColorHot, &G::SetColorHotTo, &G::SetColorMirrorHot, &G::SetColorMirrorHotTo,
         &G::SetBorderColorHot},
        {&G::SetColorDown, &G::SetColorDownTo, &G::SetColorMirrorDown, &G::SetColorMirrorDownTo,
         &G::SetBorderColorDown},
        {&G::SetColorChecked, &G::SetColorCheckedTo, &G::SetColorMirrorChecked, &G::SetColorMirrorCheckedTo,
         &G::SetBorderColorChecked},
    };
    for (size_t i = 0; i < Face.size(); ++i)
        Put(A, kSetters[State][i], Face[i]);
}

void WriteGlowStates(TGlowButtonAppearance& A, const std::array<TGlowFace, 3>& States) {
    for (int s = 0; s < 3; ++s)
        WriteGlowState(A, s, States[static_cast<size_t>(s)]);
    A.SetGradientHot(ggVertical);
    A.SetGradientMirrorHot(ggVertical);
    A.SetGradientDown(ggVertical);
    A.SetGradientMirrorDown(ggVertical);
    A.SetGradientChecked(ggVertical);
    A.SetGradientMirrorChecked(ggVertical);
}

void WritePager(TCustomKvxToolBarStyler& S, const TPagerPreset& P) {
    using T = TCustomTabAppearance;
    TTabAppearance& tab = *S.TabAppearance();
    tab.BackGround()->SetColor(P.TabBackGround[0]);
    tab.BackGround()->SetColorTo(P.TabBackGround[1]);
    if (P.TabBackGroundVertical)
        tab.BackGround()->SetDirection(gdVertical);
    Put(tab, &T::SetBorderColor, P.TabBorders[0]);
    Put(tab, &T::SetBorderColorHot, P.TabBorders[1]);
    Put(tab, &T::SetBorderColorSelected, P.TabBorders[2]);
    Put(tab, &T::SetBorderColorSelectedHot, P.TabBorders[3]);
    Put(tab, &T::SetBorderColorDisabled, P.TabBorders[4]);
    Put(tab, &T::SetTextColor, P.TabText[0]);
    Put(tab, &T::SetTextColorHot, P.TabText[1]);
    Put(tab, &T::SetTextColorSelected, P.TabText[2]);
    Put(tab, &T::SetTextColorDisabled, P.TabText[3]);
    const auto four = [](T& A, const TColors<4>& C, void (T::*S0)(TColor), void (T::*S1)(TColor),
                         void (T::*S2)(TColor), void (T::*S3)(TColor)) {
        Put(A, S0, C[0]);
        Put(A, S1, C[1]);
        Put(A, S2, C[2]);
        Put(A, S3, C[3]);
    };
    four(tab, P.TabHot, &T::SetColorHot, &T::SetColorHotTo, &T::SetColorMirrorHot, &T::SetColorMirrorHotTo);
    four(tab, P.TabSelected, &T::SetColorSelected, &T::SetColorSelectedTo, &T::SetColorMirrorSelected,
         &T::SetColorMirrorSelectedTo);
    four(tab, P.TabDisabled, &T::SetColorDisabled, &T::SetColorDisabledTo, &T::SetColorMirrorDisabled,
         &T::SetColorMirrorDisabledTo);
    tab.SetGradient(P.TabGradients[0]);
    tab.SetGradientHot(P.TabGradients[1]);
    tab.SetGradientMirrorHot(P.TabGradients[2]);
    tab.SetGradientSelected(P.TabGradients[3]);
    tab.SetGradientMirrorSelected(P.TabGradients[4]);
    tab.SetGradientDisabled(P.TabGradients[5]);
    tab.SetGradientMirrorDisabled(P.TabGradients[6]);
    const auto shadows = [](T& A, const TColors<6>& C) {
        Put(A, &T::SetShadowColor, C[0]);
        Put(A, &T::SetHighLightColor, C[1]);
        Put(A, &T::SetHighLightColorHot, C[2]);
        Put(A, &T::SetHighLightColorSelected, C[3]);
        Put(A, &T::SetHighLightColorSelectedHot, C[4]);
        Put(A, &T::SetHighLightColorDown, C[5]);
    };
    shadows(tab, P.TabShadow);

    using B = TVistaBackground;
    const auto background = [](B& A, const TColors<5>& C, const TGradients<2>& G) {
        Put(A, &B::SetColor, C[0]);
        Put(A, &B::SetColorTo, C[1]);
        Put(A, &B::SetColorMirror, C[2]);
        Put(A, &B::SetColorMirrorTo, C[3]);
        Put(A, &B::SetBorderColor, C[4]);
        A.SetGradient(G[0]);
        A.SetGradientMirror(G[1]);
    };
    background(*S.PageAppearance(), P.Page, P.PageGradients);
    Put(*S.PageAppearance(), &B::SetShadowColor, P.PageShadow[0]);
    Put(*S.PageAppearance(), &B::SetHighLightColor, P.PageShadow[1]);
    background(*S.PagerCaption(), P.Caption, P.CaptionGradients);

    using GA = TGroupAppearance;
    GA& group = *S.GroupAppearance();
    Put(group, &GA::SetColor, P.Group[0]);
    Put(group, &GA::SetColorTo, P.Group[1]);
    Put(group, &GA::SetColorMirror, P.Group[2]);
    Put(group, &GA::SetColorMirrorTo, P.Group[3]);
    Put(group, &GA::SetBorderColor, P.Group[4]);
    Put(group, &GA::SetTextColor, P.Group[5]);
    group.SetGradient(P.GroupGradients[0]);
    group.SetGradientMirror(P.GroupGradients[1]);
    T& groupTab = *group.TabAppearance();
    four(groupTab, P.GroupTabHot, &T::SetColorHot, &T::SetColorHotTo, &T::SetColorMirrorHot,
         &T::SetColorMirrorHotTo);
    groupTab.SetGradient(P.GroupTabGradients[0]);
    groupTab.SetGradientMirror(P.GroupTabGradients[1]);
    four(groupTab, P.GroupTabSelected, &T::SetColorSelected, &T::SetColorSelectedTo,
         &T::SetColorMirrorSelected, &T::SetColorMirrorSelectedTo);
    four(groupTab, P.GroupTabBorders, &T::SetBorderColor, &T::SetBorderColorHot, &T::SetBorderColorSelected,
         &T::SetBorderColorSelectedHot);
    Put(groupTab, &T::SetTextColor, P.GroupTabText[0]);
    Put(groupTab, &T::SetTextColorHot, P.GroupTabText[1]);
    Put(groupTab, &T::SetTextColorSelected, P.GroupTabText[2]);
    shadows(groupTab, P.GroupTabShadow);
    background(*group.PageAppearance(), P.GroupPage, P.GroupPageGradients);
    Put(*group.PageAppearance(), &B::SetShadowColor, P.GroupPageShadow[0]);
    Put(*group.PageAppearance(), &B::SetHighLightColor, P.GroupPageShadow[1]);
    TToolBarAppearance& toolbar = *group.ToolBarAppearance();
    toolbar.Color()->SetColor(P.GroupToolBar[0]);
    toolbar.Color()->SetColorTo(P.GroupToolBar[1]);
    toolbar.SetBorderColor(P.GroupToolBar[2]);
    toolbar.ColorHot()->SetColor(P.GroupToolBar[3]);
    toolbar.ColorHot()->SetColorTo(P.GroupToolBar[4]);
    toolbar.SetBorderColorHot(P.GroupToolBar[5]);
    using C = TCaptionAppearance;
    C& caption = *group.CaptionAppearance();
    Put(caption, &C::SetCaptionColor, P.GroupCaption[0]);
    Put(caption, &C::SetCaptionColorTo, P.GroupCaption[1]);
    Put(caption, &C::SetCaptionColorHot, P.GroupCaption[2]);
    Put(caption, &C::SetCaptionColorHotTo, P.GroupCaption[3]);
    Put(caption, &C::SetCaptionTextColor, P.GroupCaption[4]);
    Put(caption, &C::SetCaptionTextColorHot, P.GroupCaption[5]);

    using Q = TQATAppearance;
    Q& qat = *S.QATAppearance();
    Put(qat, &Q::SetColor, P.QAT[0]);
    Put(qat, &Q::SetColorTo, P.QAT[1]);
    Put(qat, &Q::SetBorderColor, P.QAT[2]);
    Put(qat, &Q::SetFullSizeColor, P.QAT[3]);
    Put(qat, &Q::SetFullSizeColorTo, P.QAT[4]);
    Put(qat, &Q::SetFullSizeBorderColor, P.QAT[5]);
}

void WritePreset(TCustomKvxToolBarStyler& S, const TStylerPreset& P) {
    using St = TCustomKvxToolBarStyler;
    Put(S, &St::SetRightHandleColor, P.RightHandle[0]);
    Put(S, &St::SetRightHandleColorTo, P.RightHandle[1]);
    Put(S, &St::SetRightHandleColorHot, P.RightHandle[2]);
    Put(S, &St::SetRightHandleColorHotTo, P.RightHandle[3]);
    Put(S, &St::SetRightHandleColorDown, P.RightHandle[4]);
    Put(S, &St::SetRightHandleColorDownTo, P.RightHandle[5]);
    Put(S, &St::SetBorderColor, P.BorderColor);
    Put(S, &St::SetBorderColorHot, P.BorderColorHot);
    S.SetFloatingWindowBorderColor(P.FloatingBorderColor);
    S.SetFloatingWindowBorderWidth(P.FloatingBorderWidth);
    S.SetDragGripStyle(P.DragGrip);
    S.SetRoundedFrame(P.RoundedFrame);
    S.SetFrameBevel(P.FrameBevel);
    S.SetShowFrameBevel(P.ShowFrameBevel);

    TGradientBackground& dock = *S.DockColor();
    dock.SetColor(P.Dock[0]);
    dock.SetColorTo(P.Dock[1]);
    dock.SetDirection(gdHorizontal);
    dock.SetSteps(128);

    TVistaGradientBackground& color = *S.Color();
    color.SetColor(P.Color[0]);
    color.SetColorTo(P.Color[1]);
    color.SetDirection(gdVertical);
    if (P.ColorSteps >= 0)
        color.SetSteps(P.ColorSteps);
    const auto mirror = [](TMirrorGradient& M, const TColors<4>& C) {
        M.SetColor(C[0]);
        M.SetColorTo(C[1]);
        M.SetColorMirror(C[2]);
        M.SetColorMirrorTo(C[3]);
    };
    mirror(*color.Mirror(), P.ColorMirror);
    TVistaGradientBackground& hot = *S.ColorHot();
    hot.SetColor(P.ColorHot[0]);
    hot.SetColorTo(P.ColorHot[1]);
    hot.SetDirection(gdVertical);
    mirror(*hot.Mirror(), P.ColorHotMirror);

    using BA = TButtonAppearance;
    BA& button = *S.ButtonAppearance();
    button.SetColor(P.Button[0]);
    button.SetColorTo(P.Button[1]);
    button.SetColorHot(P.Button[2]);
    button.SetColorHotTo(P.Button[3]);
    button.SetColorDown(P.Button[4]);
    button.SetColorDownTo(P.Button[5]);
    button.SetColorChecked(P.Button[6]);
    button.SetColorCheckedTo(P.Button[7]);
    button.SetCaptionTextColor(P.ButtonText[0]);
    button.SetCaptionTextColorHot(P.ButtonText[1]);
    button.SetCaptionTextColorDown(P.ButtonText[2]);
    button.SetCaptionTextColorChecked(P.ButtonText[3]);
    Put(button, &BA::SetBorderHotColor, P.ButtonBorders[0]);
    Put(button, &BA::SetBorderDownColor, P.ButtonBorders[1]);
    Put(button, &BA::SetBorderCheckedColor, P.ButtonBorders[2]);

    using C = TCaptionAppearance;
    C& caption = *S.CaptionAppearance();
    Put(caption, &C::SetCaptionColor, P.Caption[0]);
    Put(caption, &C::SetCaptionColorTo, P.Caption[1]);
    Put(caption, &C::SetCaptionColorHot, P.Caption[2]);
    Put(caption, &C::SetCaptionColorHotTo, P.Caption[3]);
    Put(caption, &C::SetCaptionTextColor, P.Caption[4]);
    Put(caption, &C::SetCaptionTextColorHot, P.Caption[5]);
    Put(caption, &C::SetCaptionBorderColor, P.Caption[6]);

    using G = TGlowButtonAppearance;
    G& glow = *S.GlowButtonAppearance();
    Put(glow, &G::SetColor, P.Glow[0][0]);
    Put(glow, &G::SetColorTo, P.Glow[0][1]);
    Put(glow, &G::SetColorMirror, P.Glow[0][2]);
    Put(glow, &G::SetColorMirrorTo, P.Glow[0][3]);
    Put(glow, &G::SetBorderColor, P.Glow[0][4]);
    glow.SetGradient(ggVertical);
    glow.SetGradientMirror(ggVertical);
    WriteGlowStates(glow, {P.Glow[1], P.Glow[2], P.Glow[3]});
    G& compact = *S.CompactGlowButtonAppearance();
    compact.Assign(&glow);
    if (P.CompactGlowWrites)
        WriteGlowStates(compact, P.CompactGlow);

    WritePager(S, P.Pager);
}

} // namespace

// --- Office styler ---------------------------------------------------------------------------------------

TKvxToolBarOfficeStyler::TKvxToolBarOfficeStyler(TComponent* AOwner) : TCustomKvxToolBarStyler(AOwner) {
    FNotifierWindow = new TThemeNotifierWindow(this);
    for (TComponent* o = AOwner; o; o = o->Owner()) {
        if (auto* w = dynamic_cast<TWinControl*>(o)) {
            FNotifierWindow->SetParent(w);
            break;
        }
    }
    FNotifierWindow->OnThemeChange = [this](TObject*) { ApplyAutoThemeStyle(); };
    // The field starts at the first style, which a plain write would take as unchanged.
    SetStyle(bsWindowsXP);
    SetStyle(bsOffice2003Blue);
}

TKvxToolBarOfficeStyler::~TKvxToolBarOfficeStyler() = default;

void TKvxToolBarOfficeStyler::ApplySystemFontName(TFont* Font, bool Enabled) {
    if (Enabled && Font)
        Font->SetName(SystemFontName());
}

void TKvxToolBarOfficeStyler::SetStyle(TToolBarStyle Value) {
    if (FStyle == Value || Value > bsOfficeXP)
        return;
    FStyle = Value;
    FChildStyle = tsCustom;
    FWideQATInset = false;
    ApplySystemFontName(TabAppearance()->Font(), TabAppearance()->SystemFont());
    ApplySystemFontName(PagerCaption()->Font(), PagerCaption()->SystemFont());
    ApplySystemFontName(GroupAppearance()->Font(), GroupAppearance()->SystemFont());
    ApplySystemFontName(ButtonAppearance()->CaptionFont(), ButtonAppearance()->SystemFont());
    ApplySystemFontName(Font(), SystemFont());
    ApplySystemFontName(CaptionFont(), SystemFont());
    if (Value == bsOffice2003Blue || Value == bsOffice2003Silver || Value == bsOffice2003Olive ||
        Value == bsWhidbeyStyle)
        WriteGlowStates(*GlowButtonAppearance(), kWhidbeyGlowStates);
    const TStylerPreset& preset = kPresets[Value];
    if (preset.Writes) {
        FChildStyle = preset.ChildStyle;
        FWideQATInset = preset.WideQATInset;
        WritePreset(*this, preset);
    }
    NotifyStylerClients(scColors);
}

void TKvxToolBarOfficeStyler::ApplyAutoThemeStyle() {
    if (!FAutoThemeAdapt)
        return;
    switch (DetectXPColorScheme()) {
    case 1:
        SetStyle(bsOffice2003Blue);
        break;
    case 2:
        SetStyle(bsOffice2003Olive);
        break;
    case 3:
        SetStyle(bsOffice2003Silver);
        break;
    default:
        SetStyle(bsOffice2003Classic);
        break;
    }
}

void TKvxToolBarOfficeStyler::Loaded() {
    TCustomKvxToolBarStyler::Loaded();
    if (!(ComponentState() & csDesigning))
        ApplyAutoThemeStyle();
}

} // namespace ui::toolbar
