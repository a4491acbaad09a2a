#include "ui/controls/KvxPanelStyler.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <utility>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Messages.h"
#include "ui/controls/XPVisualStyles.h"
#include "ui/drawing/KvxThemeNotifier.h"

using namespace plat;

namespace ui {

using namespace kvxpanel;

PLAT_CLASS_INFO(TKvxPanelSettings, TPersistent)
PLAT_CLASS_INFO_CREATABLE(TKvxPanelStyler, TComponent)
PLAT_CLASS_INFO_CREATABLE(TKvxPanelGroup, TKvxPanel)

// ---- Settings -------------------------------------------------------------------------------------------

PLAT_PROPERTIES(TKvxPanelSettings) {
    using S = TKvxPanelSettings;
    props.Boolean("AnchorHint", &S::AnchorHint, &S::SetAnchorHint);
    props.Boolean("AutoHideChildren", &S::AutoHideChildren, &S::SetAutoHideChildren);
    props.Enum("BevelInner", &S::BevelInner, &S::SetBevelInner, kBevelCutNames);
    props.Enum("BevelOuter", &S::BevelOuter, &S::SetBevelOuter, kBevelCutNames);
    props.Integer("BevelWidth", &S::BevelWidth, &S::SetBevelWidth);
    props.Color("BorderColor", &S::BorderColor, &S::SetBorderColor);
    props.Boolean("BorderShadow", &S::BorderShadow, &S::SetBorderShadow);
    props.Enum("BorderStyle", &S::BorderStyle, &S::SetBorderStyle, kBorderStyleNames);
    props.Integer("BorderWidth", &S::BorderWidth, &S::SetBorderWidth);
    props.Boolean("CanMove", &S::CanMove, &S::SetCanMove);
    props.Boolean("CanSize", &S::CanSize, &S::SetCanSize);
    props.Object("Caption", &S::Caption, &S::SetCaption);
    props.Boolean("Collaps", &S::Collaps, &S::SetCollaps);
    props.Color("CollapsColor", &S::CollapsColor, &S::SetCollapsColor);
    props.Integer("CollapsDelay", &S::CollapsDelay, &S::SetCollapsDelay);
    props.Integer("CollapsSteps", &S::CollapsSteps, &S::SetCollapsSteps);
    props.Color("Color", &S::Color, &S::SetColor);
    props.Color("ColorTo", &S::ColorTo, &S::SetColorTo);
    props.Color("ColorMirror", &S::ColorMirror, &S::SetColorMirror);
    props.Color("ColorMirrorTo", &S::ColorMirrorTo, &S::SetColorMirrorTo);
    props.Integer("Cursor", &S::Cursor, &S::SetCursor);
    props.Object("Font", &S::Font, &S::SetFont);
    props.Boolean("FixedTop", &S::FixedTop, &S::SetFixedTop);
    props.Boolean("FixedLeft", &S::FixedLeft, &S::SetFixedLeft);
    props.Boolean("FixedHeight", &S::FixedHeight, &S::SetFixedHeight);
    props.Boolean("FixedWidth", &S::FixedWidth, &S::SetFixedWidth);
    props.Integer("Height", &S::Height, &S::SetHeight);
    props.String("Hint", &S::Hint, &S::SetHint).NoDefault();
    props.Boolean("Hover", &S::Hover, &S::SetHover);
    props.Color("HoverColor", &S::HoverColor, &S::SetHoverColor);
    props.Color("HoverFontColor", &S::HoverFontColor, &S::SetHoverFontColor);
    props.Integer("Indent", &S::Indent, &S::SetIndent);
    props.Integer("TopIndent", &S::TopIndent, &S::SetTopIndent);
    props.Color("ShadowColor", &S::ShadowColor, &S::SetShadowColor);
    props.Integer("ShadowOffset", &S::ShadowOffset, &S::SetShadowOffset);
    props.Boolean("ShowHint", &S::ShowHint, &S::SetShowHint);
    props.Boolean("ShowMoveCursor", &S::ShowMoveCursor, &S::SetShowMoveCursor);
    props.Object("StatusBar", &S::StatusBar, &S::SetStatusBar);
    props.String("Text", &S::Text, &S::SetText).NoDefault();
    props.Enum("TextVAlign", &S::TextVAlign, &S::SetTextVAlign, kTextVAlignmentNames);
    props.Color("URLColor", &S::URLColor, &S::SetURLColor);
    props.Integer("Width", &S::Width, &S::SetWidth);
}

TKvxPanelSettings::TKvxPanelSettings()
    : FCaption(std::make_unique<TPanelCaption>()), FFont(std::make_unique<TFont>()),
      FStatusBar(std::make_unique<TPanelStatusBar>()) {
    FCaption->OnChange = [this](TObject*) { Changed(); };
    FStatusBar->OnChange = [this](TObject*) { Changed(); };
    FFont->OnChange = [this](TObject*) { Changed(); };
}

TKvxPanelSettings::~TKvxPanelSettings() = default;

void TKvxPanelSettings::Changed() {
    if (FUpdateCount == 0 && OnChange)
        OnChange(this);
}

void TKvxPanelSettings::EndUpdate() {
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0)
        Changed();
}

void TKvxPanelSettings::SetCaption(TPanelCaption* Value) {
    // The whole caption, text and visibility included: these settings stand for a panel of their own.
    if (!Value || Value == FCaption.get())
        return;
    BeginUpdate();
    FCaption->Assign(Value);
    FCaption->SetText(Value->Text());
    FCaption->SetVisible(Value->Visible());
    FCaption->SetPosition(Value->Position());
    FCaption->SetTopIndent(Value->TopIndent());
    FCaption->SetMinMaxCaption(Value->MinMaxCaption());
    EndUpdate();
}

void TKvxPanelSettings::SetFont(TFont* Value) {
    FFont->Assign(Value);
}

void TKvxPanelSettings::SetStatusBar(TPanelStatusBar* Value) {
    FStatusBar->Assign(Value);
}

// ---- Styler ---------------------------------------------------------------------------------------------

namespace {

// Layouts create the styler and the group by class name.
struct TRegistrar {
    TRegistrar() { RegisterClasses({&TKvxPanelGroup::StaticClass(), &TKvxPanelStyler::StaticClass()}); }
} registrar;

constexpr int kKeep = INT_MIN;

struct TPanelPreset {
    TColor Color, ColorTo, ColorMirror, ColorMirrorTo, FontColor;
    TBevelCut BevelOuter;
    TColor BorderColor;
    bool BorderShadow;
    TColor CollapsColor;
    TColor CaptionColor, CaptionColorTo;
    TGradientDirection CaptionGradient;
    TColor CaptionFontColor;
    int CaptionHeight, CaptionIndent, CaptionVisible; // kKeep, or the value (visibility 0/1)
    TShadeType ShadeType;
    int ShadeGrain, ShadeLight;
    TColor StatusColor, StatusColorTo;
    int StatusGradient; // kKeep or a TGradientDirection
    TColor StatusBorderColor;
    TBorderStyle StatusBorderStyle;
    bool StatusBevelInner;
    TColor StatusFontColor;
};

// One row per preset, in the order of TKvxPanelStyle; psCustom writes nothing.
constexpr TPanelPreset kPresets[] = {
    // psXP
    {clWhite,     0xE3F0F2, clNone,       clNone,          kKeep,    bvNone,   clGray, true,     clBtnFace,
     clHighlight, clBlue,   gdHorizontal, clHighlightText, 20,       2,        kKeep,  stNormal, kKeep,
     kKeep,       0xE3F0F2, clWhite,      kKeep,           clSilver, bsSingle, false,  clBlack},
    // psFlat
    {clBtnFace, clNone,    clNone,      clNone, clWindowText, bvNone,          clGray,
     false,     clBtnFace, clHighlight, clNone, gdHorizontal, clHighlightText, 20,
     0,         kKeep,     stNormal,    kKeep,  kKeep,        clBtnFace,       clNone,
     kKeep,     clSilver,  bsSingle,    false,  clBlack},
    // psKVX
    {clWhite, 0xE4E4E4, clNone,       clNone,  clWindowText, bvNone,   clGray, true,     clBtnFace,
     clWhite, clNone,   gdHorizontal, clBlack, 20,           4,        1,      stRMetal, 32,
     255,     0xDEDEDE, 0xA9A9A9,     kKeep,   clWhite,      bsSingle, false,  clBlack},
    // psClassic
    {clBtnFace, clNone,    clNone,       clNone,  clWindowText, bvRaised, clGray, false,    clBtnFace,
     clWhite,   clNone,    gdHorizontal, clBlack, kKeep,        kKeep,    0,      stNormal, 32,
     255,       clBtnFace, clNone,       kKeep,   clNone,       bsNone,   true,   clBlack},
    // psOffice2003Blue
    {0xFDEADA, 0xE4AE88, clNone,     clNone,  clWindowText, bvNone,   clGray, false,    clHighlight,
     0xD68759, 0x933803, gdVertical, clWhite, kKeep,        kKeep,    kKeep,  stNormal, 32,
     255,      0xE08F65, 0xF9DBC4,   kKeep,   clNone,       bsSingle, false,  clWhite},
    // psOffice2003Olive
    {0xCFF0EA, 0x8CC0B1, clNone,     clNone,  clWindowText, bvNone,   clGray, false,    clHighlight,
     0xC6EFE7, 0x94BDB5, gdVertical, clBlack, kKeep,        kKeep,    kKeep,  stNormal, 32,
     255,      0x80B0A1, 0xD3E4E3,   kKeep,   clNone,       bsSingle, false,  clBlack},
    // psOffice2003Silver
    {0xECE2E1, 0xB39698, clNone,     clNone,  clWindowText, bvNone,   clGray, false,    clHighlight,
     0xEFE7E7, 0xAA8888, gdVertical, clBlack, kKeep,        kKeep,    kKeep,  stNormal, 32,
     255,      0xBFA8A9, 0xDECFCF,   kKeep,   clNone,       bsSingle, false,  clBlack},
    // psOffice2003Classic: what psXP writes
    {clWhite,     0xE3F0F2, clNone,       clNone,          kKeep,    bvNone,   clGray, true,     clBtnFace,
     clHighlight, clBlue,   gdHorizontal, clHighlightText, 20,       2,        kKeep,  stNormal, kKeep,
     kKeep,       0xE3F0F2, clWhite,      kKeep,           clSilver, bsSingle, false,  clBlack},
    // psOffice2007Luna
    {0xFAF1E9, 0xEDD8C7, 0xEDD8C7,   0xFFF2E7,   0x723708, bvNone,   0xFFD2AF, false,    clHighlight,
     0xFFEFE3, 0xFFD2AF, gdVertical, clBlack,    kKeep,    kKeep,    kKeep,    stNormal, 32,
     255,      0xF7E3D3, 0xF5D0B3,   gdVertical, 0xFFD2AF, bsSingle, false,    0x723708},
    // psOffice2007Obsidian
    {0xCFC6C1, 0xC5BBB4, 0xC5BBB4,   0xECECE5,   0x723708, bvNone,   0xFFD2AF, false,    clHighlight,
     0xB8B8B6, 0xA0A09E, gdVertical, clWhite,    kKeep,    kKeep,    kKeep,    stNormal, 32,
     255,      0xA19F9E, 0x534D4B,   gdVertical, clBlack,  bsSingle, false,    clWhite},
    // psWhidbey
    {clWhite,  0xE3F0F2, clNone,     clNone,  kKeep,    bvNone,   clGray, true,     clBtnFace,
     0xF3F7F8, 0xACC3C3, gdVertical, clBlack, 20,       2,        kKeep,  stNormal, kKeep,
     kKeep,    0xE3F0F2, clWhite,    kKeep,   clSilver, bsSingle, false,  clBlack},
    // psWindowsXP
    {clBtnFace, clNone,    clNone,       clNone,          clWindowText, bvRaised, clGray, false,    clBtnFace,
     clWhite,   clNone,    gdHorizontal, clHighlightText, kKeep,        kKeep,    0,      stNormal, 32,
     255,       clBtnFace, clNone,       kKeep,           clNone,       bsNone,   true,   clBlack},
    // psCustom (never written)
    {},
    // psOffice2007Silver
    {0xF9F5F3, 0xE7DCD5, 0xE7DCD5,   0xFBFAF0,   0x723708, bvNone,   0xFFD2AF, false,    clHighlight,
     0xF8F7F6, 0xE8E0DB, gdVertical, clBlack,    kKeep,    kKeep,    kKeep,    stNormal, 32,
     255,      0xFAEEEB, 0xE5DBD7,   gdVertical, clBlack,  bsSingle, false,    0x723708},
};
static_assert(std::size(kPresets) == psOffice2007Silver + 1);

} // namespace

PLAT_PROPERTIES(TKvxPanelStyler) {
    using S = TKvxPanelStyler;
    // Settings are read before Style, so the preset covers the streamed values it names.
    props.Object("Settings", &S::Settings);
    props.Boolean("AutoThemeAdapt", &S::AutoThemeAdapt, &S::SetAutoThemeAdapt, false);
    props.String("Comments", &S::Comments, &S::SetComments);
    props.Enum("Style", &S::Style, &S::SetStyle, kKvxPanelStyleNames, psXP);
}

TKvxPanelStyler::TKvxPanelStyler(TComponent* AOwner)
    : TComponent(AOwner), FSettings(std::make_unique<TKvxPanelSettings>()) {
    FSettings->OnChange = [this](TObject*) { UpdatePanels(); };
    SetStyle(psXP);
    for (TComponent* c = AOwner; c; c = c->Owner()) {
        if (auto* win = dynamic_cast<TWinControl*>(c)) {
            auto* notifier = new TThemeNotifierWindow(this);
            notifier->OnThemeChange = [this](TObject*) { ApplyAutoThemeStyle(); };
            notifier->SetParent(win);
            FNotifier = notifier;
            break;
        }
    }
}

TKvxPanelStyler::~TKvxPanelStyler() = default;

void TKvxPanelStyler::ApplyStyle(TKVXStyle Style) {
    switch (Style) {
    case tsOffice2003Blue:
        SetStyle(psOffice2003Blue);
        break;
    case tsOffice2003Silver:
        SetStyle(psOffice2003Silver);
        break;
    case tsOffice2003Olive:
        SetStyle(psOffice2003Olive);
        break;
    case tsOffice2003Classic:
        SetStyle(psOffice2003Classic);
        break;
    case tsOffice2007Luna:
        SetStyle(psOffice2007Luna);
        break;
    case tsOffice2007Obsidian:
        SetStyle(psOffice2007Obsidian);
        break;
    case tsWindowsXP:
        SetStyle(psWindowsXP);
        break;
    case tsWhidbey:
        SetStyle(psWhidbey);
        break;
    case tsOffice2007Silver:
        SetStyle(psOffice2007Silver);
        break;
    case tsCustom:
        break;
    }
}

void TKvxPanelStyler::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TKvxPanelStyler*>(Source);
    if (!src) {
        TComponent::Assign(Source);
        return;
    }
    FAutoThemeAdapt = src->FAutoThemeAdapt;
    FComments = src->FComments;
    SetStyle(src->FStyle);
}

void TKvxPanelStyler::SetStyle(TKvxPanelStyle Value) {
    FStyle = Value;
    if (Value == psCustom)
        return;
    const TPanelPreset& p = kPresets[Value];
    TKvxPanelSettings& s = *FSettings;
    TPanelCaption& c = *s.Caption();
    TPanelStatusBar& b = *s.StatusBar();
    s.BeginUpdate();
    s.SetColor(p.Color);
    s.SetColorTo(p.ColorTo);
    s.SetColorMirror(p.ColorMirror);
    s.SetColorMirrorTo(p.ColorMirrorTo);
    if (p.FontColor != kKeep)
        s.Font()->SetColor(p.FontColor);
    s.SetBevelInner(bvNone);
    s.SetBevelOuter(p.BevelOuter);
    s.SetBorderColor(p.BorderColor);
    s.SetBorderShadow(p.BorderShadow);
    s.SetBorderStyle(bsNone);
    s.SetCollapsColor(p.CollapsColor);
    c.SetColor(p.CaptionColor);
    c.SetColorTo(p.CaptionColorTo);
    c.SetGradientDirection(p.CaptionGradient);
    c.Font()->SetColor(p.CaptionFontColor);
    if (p.CaptionHeight != kKeep)
        c.SetHeight(p.CaptionHeight);
    if (p.CaptionIndent != kKeep)
        c.SetIndent(p.CaptionIndent);
    if (p.CaptionVisible != kKeep)
        c.SetVisible(p.CaptionVisible != 0);
    c.SetShadeType(p.ShadeType);
    if (p.ShadeGrain != kKeep)
        c.SetShadeGrain(static_cast<uint8_t>(p.ShadeGrain));
    if (p.ShadeLight != kKeep)
        c.SetShadeLight(p.ShadeLight);
    b.SetColor(p.StatusColor);
    b.SetColorTo(p.StatusColorTo);
    if (p.StatusGradient != kKeep)
        b.SetGradientDirection(static_cast<TGradientDirection>(p.StatusGradient));
    b.SetBorderColor(p.StatusBorderColor);
    b.SetBorderStyle(p.StatusBorderStyle);
    b.SetBevelInner(p.StatusBevelInner);
    b.Font()->SetColor(p.StatusFontColor);
    s.EndUpdate();
}

void TKvxPanelStyler::UpdatePanels() {
    if ((ComponentState() & csLoading) || !Owner())
        return;
    TComponent* owner = Owner();
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (auto* panel = dynamic_cast<TCustomKvxPanel*>(owner->Components(i));
            panel && panel->Styler() == this)
            panel->ApplySettings(FSettings.get());
}

void TKvxPanelStyler::ApplyAutoThemeStyle() {
    if (!FAutoThemeAdapt)
        return;
    switch (DetectXPColorScheme()) {
    case 1:
        SetStyle(psOffice2003Blue);
        break;
    case 2:
        SetStyle(psOffice2003Olive);
        break;
    case 3:
        SetStyle(psOffice2003Silver);
        break;
    default:
        SetStyle(psXP);
        break;
    }
}

void TKvxPanelStyler::Loaded() {
    TComponent::Loaded();
    if (!(ComponentState() & csDesigning))
        ApplyAutoThemeStyle();
}

// ---- Group ----------------------------------------------------------------------------------------------

PLAT_PROPERTIES(TKvxPanelGroup) {
    using G = TKvxPanelGroup;
    props.Enum("GroupStyle", &G::GroupStyle, &G::SetGroupStyle, kGroupStyleNames, gsVertical);
    props.Integer("Columns", &G::Columns, &G::SetColumns, 1);
    props.Integer("HorzPadding", &G::HorzPadding, &G::SetHorzPadding, 8);
    props.Integer("VertPadding", &G::VertPadding, &G::SetVertPadding, 8);
    props.Boolean("ScrollSmooth", &G::ScrollSmooth, &G::SetScrollSmooth, false);
    props.Object("DefaultPanel", &G::DefaultPanel);
}

TKvxPanelGroup::TKvxPanelGroup(TComponent* AOwner)
    : TKvxPanel(AOwner), FDefaultPanel(std::make_unique<TKvxPanelSettings>()) {
    FScrollBar = new TScrollBar(this);
    FScrollBar->SetTabStop(false);
    FScrollBar->SetSmallChange(2);
    FScrollBar->SetLargeChange(20);
    FScrollBar->SetVisible(false);
    FScrollBar->SetKind(sbVertical);
    FScrollBar->SetAlign(alRight);
    FScrollBar->SetParent(this);
    FScrollBar->OnChange = [this](TObject*) { ScrollChanged(); };
}

TKvxPanelGroup::~TKvxPanelGroup() {
    // Panels freed before the group (a closed FreeOnClose panel) left the list through Notification.
    std::vector<TCustomKvxPanel*> panels;
    panels.swap(FLoadedPanels);
    for (TCustomKvxPanel* p : panels) {
        p->RemoveFreeNotification(this);
        delete p;
    }
}

void TKvxPanelGroup::Notification(TComponent* AComponent, TOperation Operation) {
    TKvxPanel::Notification(AComponent, Operation);
    if (Operation == opRemove)
        std::erase(FLoadedPanels, AComponent);
}

std::vector<TCustomKvxPanel*> TKvxPanelGroup::Panels(bool ByLeft) const {
    std::vector<TCustomKvxPanel*> panels;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* p = dynamic_cast<TCustomKvxPanel*>(Controls(i)))
            panels.push_back(p);
    // Stable, so panels on the same line keep their child order.
    std::stable_sort(panels.begin(), panels.end(), [ByLeft](TCustomKvxPanel* a, TCustomKvxPanel* b) {
        return ByLeft ? a->Left() < b->Left() : a->Top() < b->Top();
    });
    return panels;
}

void TKvxPanelGroup::Arrange() {
    if ((ComponentState() & csLoading) || FArranging || FUpdateCount > 0)
        return;
    FArranging = true;
    ++FUpdateCount;
    ScopeGuard done([this] {
        --FUpdateCount;
        FArranging = false;
    });
    const bool bar = FScrollBar->Visible();
    if (FGroupStyle == gsVertical) {
        const auto panels = Panels(false);
        int y = FVertPadding - (bar ? FScrollBar->Position() : 0) +
                (PanelCaption()->Visible() ? PanelCaption()->Height() : 0);
        const int barWidth = bar ? FScrollBar->Width() : 0;
        const int W = Width() - barWidth;
        const int colWidth = (Width() - 2 * FHorzPadding - barWidth) / FColumns;
        int i = 1;
        for (TCustomKvxPanel* p : panels) {
            const int left = FHorzPadding + ((W - FHorzPadding) / FColumns) * ((i - 1) % FColumns);
            p->SetBounds(left, y, colWidth, p->Height());
            if (p->Visible() && i % FColumns == 0)
                y += p->Height() + FVertPadding;
            ++i;
        }
    } else {
        const auto panels = Panels(true);
        int x = FHorzPadding - (bar ? FScrollBar->Position() : 0);
        const int h = Height() - 2 * FVertPadding - (bar ? FScrollBar->Height() : 0);
        for (TCustomKvxPanel* p : panels) {
            p->SetBounds(x, FVertPadding, p->Width(), h);
            if (p->Visible())
                x += p->Width() + FHorzPadding;
        }
    }
    for (TCustomKvxPanel* p : Panels(false))
        p->Invalidate();
    Invalidate();
}

void TKvxPanelGroup::UpdateScrollBar() {
    if (FUpdateCount > 0 || !FScrollBar)
        return;
    if (FGroupStyle == gsVertical) {
        FScrollBar->SetKind(sbVertical);
        FScrollBar->SetAlign(alRight);
        FScrollBar->SetWidth(16);
        int content = FVertPadding;
        // Counted over all children, the bar included; the rule the layouts were made with.
        for (int k = 1; k <= ControlCount(); ++k) {
            auto* p = dynamic_cast<TCustomKvxPanel*>(Controls(k - 1));
            if (p && p->Visible() && k % FColumns == 0)
                content += p->Height() + FVertPadding;
        }
        const bool show = content > 0 && content > Height();
        if (show) {
            FScrollBar->SetPageSize(0);
            FScrollBar->SetParams(std::min(FScrollBar->Position(), content), 0, content);
            FScrollBar->SetPageSize(Height());
            FScrollBar->SetLargeChange(Height() / 3);
        }
        FScrollBar->SetVisible(show);
    } else {
        FScrollBar->SetKind(sbHorizontal);
        FScrollBar->SetAlign(alBottom);
        FScrollBar->SetHeight(16);
        int content = FHorzPadding;
        for (TCustomKvxPanel* p : Panels(true))
            if (p->Visible())
                content += p->Width() + FHorzPadding;
        const bool show = content > Width();
        if (show) {
            FScrollBar->SetPageSize(0);
            FScrollBar->SetParams(std::min(FScrollBar->Position(), content), 0, content);
            FScrollBar->SetPageSize(Width());
            FScrollBar->SetLargeChange(Width() / 3);
        }
        FScrollBar->SetVisible(show);
    }
    FScrollBar->Invalidate();
}

void TKvxPanelGroup::ScrollChanged() {
    const int limit = FScrollBar->Max() - FScrollBar->PageSize();
    if (FScrollBar->Position() > limit)
        FScrollBar->SetPosition(std::max(0, limit));
    Arrange();
}

void TKvxPanelGroup::UpdateGroup() {
    UpdateScrollBar();
    Arrange();
}

void TKvxPanelGroup::StateChanged() {
    Arrange();
    UpdateScrollBar();
}

void TKvxPanelGroup::SetGroupStyle(TGroupStyle Value) {
    FGroupStyle = Value;
    UpdateGroup();
}

void TKvxPanelGroup::SetColumns(int Value) {
    if (Value < 1)
        return;
    FColumns = Value;
    UpdateGroup();
    UpdateScrollBar();
}

void TKvxPanelGroup::SetHorzPadding(int Value) {
    FHorzPadding = Value;
    Arrange();
}

void TKvxPanelGroup::SetVertPadding(int Value) {
    FVertPadding = Value;
    Arrange();
}

void TKvxPanelGroup::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TKvxPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FLastSize.cx != AWidth || FLastSize.cy != AHeight) {
        FLastSize = {AWidth, AHeight};
        if (FScrollBar) {
            Arrange();
            UpdateScrollBar();
        }
    }
}

bool TKvxPanelGroup::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (!FScrollBar->Visible())
        return TKvxPanel::DoMouseWheel(Shift, WheelDelta, MousePos);
    const int step = 2 * FScrollBar->SmallChange();
    FScrollBar->SetPosition(FScrollBar->Position() + (WheelDelta < 0 ? step : -step));
    return true;
}

void TKvxPanelGroup::Loaded() {
    TKvxPanel::Loaded();
    SetWidth(Width() + 1);
    SetWidth(Width() - 1);
    UpdateScrollBar();
    Arrange();
    FLoadedPanels.clear();
    for (TCustomKvxPanel* p : Panels(false)) {
        FLoadedPanels.push_back(p);
        p->FreeNotification(this);
    }
}

} // namespace ui
