// The glow button's colour set, its style schemes, its properties, painting and fades.
#include "ui/drawing/KvxGlowButton.h"

#include <algorithm>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/ActionList.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Menu.h"
#include "platform/ui/ParentBackground.h"
#include "platform/ui/Timer.h"

namespace ui {

using plat::TColor;
using plat::TPoint;
using plat::TRect;

int FadeTimerInterval = 30;

// ---- Appearance ------------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TGlowButtonAppearance, plat::TPersistent)

PLAT_PROPERTIES(TGlowButtonAppearance) {
    using A = TGlowButtonAppearance;
    props.Color("BorderColor", &A::BorderColor, &A::SetBorderColor, 0xC0C0C0);
    props.Color("BorderColorHot", &A::BorderColorHot, &A::SetBorderColorHot, 0xFF0000);
    props.Color("BorderColorDown", &A::BorderColorDown, &A::SetBorderColorDown, 0x800000);
    props.Color("BorderColorChecked", &A::BorderColorChecked, &A::SetBorderColorChecked, 0xFF0000);
    props.Color("BorderColorDisabled", &A::BorderColorDisabled, &A::SetBorderColorDisabled, 0x808080);
    props.Color("Color", &A::Color, &A::SetColor, 0xFFFFFF);
    props.Color("ColorTo", &A::ColorTo, &A::SetColorTo, 0xFFFFFF);
    // The colours of the other looks have no stream default: a form always writes them.
    props.Color("ColorChecked", &A::ColorChecked, &A::SetColorChecked);
    props.Color("ColorCheckedTo", &A::ColorCheckedTo, &A::SetColorCheckedTo);
    props.Color("ColorDisabled", &A::ColorDisabled, &A::SetColorDisabled);
    props.Color("ColorDisabledTo", &A::ColorDisabledTo, &A::SetColorDisabledTo);
    props.Color("ColorDown", &A::ColorDown, &A::SetColorDown);
    props.Color("ColorDownTo", &A::ColorDownTo, &A::SetColorDownTo);
    props.Color("ColorHot", &A::ColorHot, &A::SetColorHot);
    props.Color("ColorHotTo", &A::ColorHotTo, &A::SetColorHotTo);
    props.Color("ColorMirror", &A::ColorMirror, &A::SetColorMirror, 0xC0C0C0);
    props.Color("ColorMirrorTo", &A::ColorMirrorTo, &A::SetColorMirrorTo, 0xFFFFFF);
    props.Color("ColorMirrorHot", &A::ColorMirrorHot, &A::SetColorMirrorHot);
    props.Color("ColorMirrorHotTo", &A::ColorMirrorHotTo, &A::SetColorMirrorHotTo);
    props.Color("ColorMirrorDown", &A::ColorMirrorDown, &A::SetColorMirrorDown);
    props.Color("ColorMirrorDownTo", &A::ColorMirrorDownTo, &A::SetColorMirrorDownTo);
    props.Color("ColorMirrorChecked", &A::ColorMirrorChecked, &A::SetColorMirrorChecked);
    props.Color("ColorMirrorCheckedTo", &A::ColorMirrorCheckedTo, &A::SetColorMirrorCheckedTo);
    props.Color("ColorMirrorDisabled", &A::ColorMirrorDisabled, &A::SetColorMirrorDisabled);
    props.Color("ColorMirrorDisabledTo", &A::ColorMirrorDisabledTo, &A::SetColorMirrorDisabledTo);
    props.Enum("Gradient", &A::Gradient, &A::SetGradient, kGDIPGradientNames, ggVertical);
    props.Enum("GradientMirror", &A::GradientMirror, &A::SetGradientMirror, kGDIPGradientNames, ggVertical);
    props.Enum("GradientHot", &A::GradientHot, &A::SetGradientHot, kGDIPGradientNames, ggRadial);
    props.Enum("GradientMirrorHot", &A::GradientMirrorHot, &A::SetGradientMirrorHot, kGDIPGradientNames,
               ggRadial);
    props.Enum("GradientDown", &A::GradientDown, &A::SetGradientDown, kGDIPGradientNames, ggRadial);
    props.Enum("GradientMirrorDown", &A::GradientMirrorDown, &A::SetGradientMirrorDown, kGDIPGradientNames,
               ggRadial);
    props.Enum("GradientChecked", &A::GradientChecked, &A::SetGradientChecked, kGDIPGradientNames, ggRadial);
    props.Enum("GradientMirrorChecked", &A::GradientMirrorChecked, &A::SetGradientMirrorChecked,
               kGDIPGradientNames, ggVertical);
    props.Enum("GradientDisabled", &A::GradientDisabled, &A::SetGradientDisabled, kGDIPGradientNames,
               ggRadial);
    props.Enum("GradientMirrorDisabled", &A::GradientMirrorDisabled, &A::SetGradientMirrorDisabled,
               kGDIPGradientNames, ggRadial);
    props.Boolean("SystemFont", &A::SystemFont, &A::SetSystemFont, true);
}

TGlowButtonAppearance::TGlowButtonAppearance() {
    SetColor(0xFFFFFF);
    SetColorTo(0xFFFFFF);
    SetColorMirror(0xC0C0C0);
    SetColorMirrorTo(0xFFFFFF);
    SetColorHot(0xF5F0E1);
    SetColorHotTo(0xF9D2B2);
    SetColorMirrorHot(0xF5C8AD);
    SetColorMirrorHotTo(0xFFF8F4);
    // The pressed looks are the hot ones a tenth darker in red and green.
    SetColorDown(DarkenColorRGB(0xF5F0E1, -10, -10, 0));
    SetColorDownTo(DarkenColorRGB(0xF9D2B2, -10, -10, 0));
    SetColorMirrorDown(DarkenColorRGB(0xF5C8AD, -10, -10, 0));
    SetColorMirrorDownTo(DarkenColorRGB(0xFFF8F4, -10, -10, 0));
    SetColorChecked(DarkenColorRGB(0xF5F0E1, -10, -10, 0));
    SetColorCheckedTo(DarkenColorRGB(0xF9D2B2, -10, -10, 0));
    SetColorMirrorChecked(DarkenColorRGB(0xF5C8AD, -10, -10, 0));
    SetColorMirrorCheckedTo(DarkenColorRGB(0xFFF8F4, -10, -10, 0));
    SetColorDisabled(DarkenColorRGB(0xFFFFFF, -5, -5, -5));
    SetColorDisabledTo(DarkenColorRGB(0xFFFFFF, -5, -5, -5));
    SetColorMirrorDisabled(DarkenColorRGB(0xC0C0C0, -5, -5, -5));
    SetColorMirrorDisabledTo(DarkenColorRGB(0xFFFFFF, -5, -5, -5));
    SetBorderColor(0xC0C0C0);
    SetBorderColorHot(0xFF0000);
    SetBorderColorDown(0x800000);
    SetBorderColorChecked(0xFF0000);
    SetBorderColorDisabled(0x808080);
    SetGradient(ggVertical);
    SetGradientMirror(ggVertical);
    SetGradientHot(ggRadial);
    SetGradientMirrorHot(ggRadial);
    SetGradientDown(ggRadial);
    SetGradientMirrorDown(ggRadial);
    SetGradientChecked(ggRadial);
    SetGradientMirrorChecked(ggVertical);
    SetGradientDisabled(ggRadial);
    SetGradientMirrorDisabled(ggRadial);
    SetSystemFont(true);
}

void TGlowButtonAppearance::Changed() {
    if (OnChange)
        OnChange(this);
}

void TGlowButtonAppearance::Assign(plat::TPersistent* Source) {
    auto* src = dynamic_cast<TGlowButtonAppearance*>(Source);
    if (!src) {
        plat::TPersistent::Assign(Source);
        return;
    }
    // Through the setters, so that each value that changes is reported once.
    for (TGlowLookKind k : {glNormal, glHot, glDown, glChecked, glDisabled}) {
        Store(FLooks[k].Color, src->FLooks[k].Color);
        Store(FLooks[k].ColorTo, src->FLooks[k].ColorTo);
        Store(FLooks[k].ColorMirror, src->FLooks[k].ColorMirror);
        Store(FLooks[k].ColorMirrorTo, src->FLooks[k].ColorMirrorTo);
    }
    for (int k = 0; k < kGlowLookCount; ++k)
        Store(FLooks[k].BorderColor, src->FLooks[k].BorderColor);
    for (int k = 0; k < kGlowLookCount; ++k) {
        Store(FLooks[k].Gradient, src->FLooks[k].Gradient);
        Store(FLooks[k].GradientMirror, src->FLooks[k].GradientMirror);
    }
    Store(FSystemFont, src->FSystemFont);
}

// ---- Style schemes ---------------------------------------------------------------------------------------

namespace {

// How a style writes its hot, down and checked looks: the warm set before or after the normal colours
// (with or without the checked border), the Windows XP set, or nothing at all.
enum TSchemeKind { skWarmBefore, skWarmAfter, skWarmCheckedAfter, skWindowsXP, skUnchanged };

struct TStyleScheme {
    TSchemeKind Kind;
    TColor Color, ColorTo, ColorMirror, ColorMirrorTo, BorderColor;
};

constexpr TStyleScheme kStyleSchemes[] = {
    {skWarmBefore, 0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0xE0B99B},       // tsOffice2003Blue
    {skWarmBefore, 0xE6E9E2, 0xE6D8D8, 0xE6E9E2, 0xC8B2B3, 0x927476},       // tsOffice2003Silver
    {skWarmBefore, 0xCFF0EA, 0xCFF0EA, 0xCFF0EA, 0x8CC0B1, 0x8CC0B1},       // tsOffice2003Olive
    {skWarmAfter, 0xFFFFFF, 0xC9D1D5, 0xFFFFFF, 0xC9D1D5, 0x000000},        // tsOffice2003Classic
    {skWarmCheckedAfter, 0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0xE0B99B}, // tsOffice2007Luna
    {skWarmCheckedAfter, 0xDFDED6, 0xE4E2DB, 0xD7D5CE, 0xE7E5E0, 0xC0BCB2}, // tsOffice2007Obsidian
    {skWindowsXP, 0xFFFFFF, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC, 0xB9D8DC},        // tsWindowsXP
    {skWarmBefore, 0xFFFFFF, 0xDFEDF0, 0xDFEDF0, 0xDFEDF0, 0x99A8AC},       // tsWhidbey
    {skUnchanged, 0, 0, 0, 0, 0},                                           // tsCustom
    {skWarmCheckedAfter, 0xF3F3F1, 0xF5F5F3, 0xEEEAE7, 0xF8F7F6, 0xCCCAC9}, // tsOffice2007Silver
};
static_assert(std::size(kStyleSchemes) == tsOffice2007Silver + 1);

void WriteWarmSet(TGlowButtonAppearance& a, bool checkedBorder) {
    a.SetColorHot(0xEBFDFF);
    a.SetColorHotTo(0xACECFF);
    a.SetColorMirrorHot(0x59DAFF);
    a.SetColorMirrorHotTo(0xA4E9FF);
    a.SetBorderColorHot(0x99CEDB);
    a.SetGradientHot(ggVertical);
    a.SetGradientMirrorHot(ggVertical);
    a.SetColorDown(0x76AFF1);
    a.SetColorDownTo(0x4190F3);
    a.SetColorMirrorDown(0x0E72F1);
    a.SetColorMirrorDownTo(0x4C9FFD);
    a.SetBorderColorDown(0x45667B);
    a.SetGradientDown(ggVertical);
    a.SetGradientMirrorDown(ggVertical);
    a.SetColorChecked(0xB5DBFB);
    a.SetColorCheckedTo(0x78C7FE);
    a.SetColorMirrorChecked(0x9FEBFD);
    a.SetColorMirrorCheckedTo(0x56B4FE);
    if (checkedBorder)
        a.SetBorderColorChecked(0x45667B);
    a.SetGradientChecked(ggVertical);
    a.SetGradientMirrorChecked(ggVertical);
}

void WriteWindowsXPSet(TGlowButtonAppearance& a) {
    const TColor highlight = TColor(0x8000000D);
    a.SetColorHot(0xEFD3C6);
    a.SetColorHotTo(0xEFD3C6);
    a.SetColorMirrorHot(0xEFD3C6);
    a.SetColorMirrorHotTo(0xEFD3C6);
    a.SetBorderColorHot(highlight);
    a.SetGradientHot(ggVertical);
    a.SetGradientMirrorHot(ggVertical);
    a.SetColorDown(0xB59284);
    a.SetColorDownTo(0xB59284);
    a.SetColorMirrorDown(0xB59284);
    a.SetColorMirrorDownTo(0xB59284);
    a.SetBorderColorDown(highlight);
    a.SetGradientDown(ggVertical);
    a.SetGradientMirrorDown(ggVertical);
    a.SetColorChecked(0xB9D8DC);
    a.SetColorCheckedTo(0xB9D8DC);
    a.SetColorMirrorChecked(0xB9D8DC);
    a.SetColorMirrorCheckedTo(0xB9D8DC);
    a.SetBorderColorChecked(0x000000);
    a.SetGradientChecked(ggVertical);
    a.SetGradientMirrorChecked(ggVertical);
}

void WriteNormalSet(TGlowButtonAppearance& a, const TStyleScheme& s) {
    a.SetColor(s.Color);
    a.SetColorTo(s.ColorTo);
    a.SetColorMirror(s.ColorMirror);
    a.SetColorMirrorTo(s.ColorMirrorTo);
    a.SetBorderColor(s.BorderColor);
    a.SetGradient(ggVertical);
    a.SetGradientMirror(ggVertical);
}

} // namespace

void TKvxCustomGlowButton::ApplyStyle(TKVXStyle Style) {
    const TStyleScheme& s = kStyleSchemes[Style];
    TGlowButtonAppearance& a = *FAppearance;
    switch (s.Kind) {
    case skWarmBefore:
        WriteWarmSet(a, false);
        WriteNormalSet(a, s);
        break;
    case skWarmAfter:
    case skWarmCheckedAfter:
        WriteNormalSet(a, s);
        WriteWarmSet(a, s.Kind == skWarmCheckedAfter);
        break;
    case skWindowsXP:
        WriteNormalSet(a, s);
        WriteWindowsXPSet(a);
        break;
    case skUnchanged:
        break;
    }
    Invalidate();
    RefreshHintColors();
}

// ---- Action link -----------------------------------------------------------------------------------------

// The button follows its action's caption, state, hint and image.
class TGlowButtonActionLink : public plat::TBasicActionLink {
public:
    explicit TGlowButtonActionLink(TKvxCustomGlowButton* Button)
        : TBasicActionLink(Button), FButton(Button) {}
    void SetCaption(const std::string& Value) override { FButton->SetCaption(Value); }
    void SetEnabled(bool Value) override { FButton->SetEnabled(Value); }
    void SetVisible(bool Value) override { FButton->SetVisible(Value); }
    void SetHint(const std::string& Value) override { FButton->SetHint(Value); }
    void SetImageIndex(int Value) override { FButton->SetImageIndex(Value); }

private:
    TKvxCustomGlowButton* FButton;
};

// ---- Published properties --------------------------------------------------------------------------------

PLAT_CLASS_INFO(TKvxCustomGlowButton, plat::TCustomControl)

PLAT_PROPERTIES(TKvxCustomGlowButton) {
    using B = TKvxCustomGlowButton;
    // Painted by the button itself; a colour or a buffering switch of the platform would mean nothing.
    props.Hide("Color");
    props.Hide("ParentColor");
    props.Hide("DoubleBuffered");
    props.Hide("BorderWidth");
    props.String("Caption", &B::Caption, &B::SetCaption);
    props.Component("Action", &B::Action, &B::SetAction);
    props.Enum("AntiAlias", &B::AntiAlias, &B::SetAntiAlias, kAntiAliasNames, aaClearType);
    props.Enum("BorderStyle", &B::BorderStyle, &B::SetBorderStyle, plat::kBorderStyleNames, plat::bsSingle);
    props.Boolean("Cancel", &B::Cancel, &B::SetCancel, false);
    props.Boolean("Default", &B::Default, &B::SetDefault, false);
    props.Component("DisabledImages", &B::DisabledImages, &B::SetDisabledImages);
    props.Object("DisabledPicture", &B::DisabledPicture, &B::SetDisabledPicture);
    props.Enum("FocusType", &B::FocusType, &B::SetFocusType, kFocusTypeNames, ftBorder);
    props.Component("HotImages", &B::HotImages, &B::SetHotImages);
    props.Object("HotPicture", &B::HotPicture, &B::SetHotPicture);
    props.Integer("ImageIndex", &B::ImageIndex, &B::SetImageIndex, -1);
    props.Component("Images", &B::Images, &B::SetImages);
    props.Integer("InitRepeatPause", &B::InitRepeatPause, &B::SetInitRepeatPause, 400);
    props.Integer("MarginHorz", &B::MarginHorz, &B::SetMarginHorz, 1);
    props.Integer("MarginVert", &B::MarginVert, &B::SetMarginVert, 1);
    props.Integer("ModalResult", &B::ModalResult, &B::SetModalResult, 0);
    props.Object("Notes", &B::Notes, &B::SetNotes);
    props.Object("NotesFont", &B::NotesFont, &B::SetNotesFont);
    props.Object("OfficeHint", &B::OfficeHint, &B::SetOfficeHint);
    props.Object("Picture", &B::Picture, &B::SetPicture);
    props.Enum("Position", &B::Position, &B::SetPosition, kButtonPositionNames, bpStandalone);
    props.Boolean("RepeatClick", &B::RepeatClick, &B::SetRepeatClick, false);
    props.Integer("RepeatPause", &B::RepeatPause, &B::SetRepeatPause, 100);
    props.Boolean("Rounded", &B::Rounded, &B::SetRounded, true);
    props.String("ShortCutHint", &B::ShortCutHint, &B::SetShortCutHint);
    props.Enum("ShortCutHintPos", &B::ShortCutHintPos, &B::SetShortCutHintPos, kShortCutHintPosNames, shpTop);
    props.Boolean("ShowCaption", &B::ShowCaption, &B::SetShowCaption, true);
    props.Boolean("ShowDisabled", &B::ShowDisabled, &B::SetShowDisabled, true);
    props.Integer("Spacing", &B::Spacing, &B::SetSpacing, 2);
    props.Boolean("Transparent", &B::Transparent, &B::SetTransparent, false);
    props.Enum("Trimming", &B::Trimming, &B::SetTrimming, kStringTrimmingNames, StringTrimmingNone);
    props.String("Version", &B::Version, &B::SetVersion);
    props.Boolean("WordWrap", &B::WordWrap, &B::SetWordWrap, true);
    props.Event("OnMouseEnter", &B::OnMouseEnter);
    props.Event("OnMouseLeave", &B::OnMouseLeave);
    props.Event("OnDrawButton", &B::OnDrawButton);
}

PLAT_CLASS_INFO_CREATABLE(TKvxGlowButton, TKvxCustomGlowButton)

PLAT_PROPERTIES(TKvxGlowButton) {
    using B = TKvxGlowButton;
    props.Boolean("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp, false);
    props.Object("Appearance", &B::Appearance, &B::SetAppearance);
    props.Boolean("Down", &B::Down, &B::SetDown, false);
    props.Integer("GroupIndex", &B::GroupIndex, &B::SetGroupIndex, 0);
    props.Enum("Layout", &B::Layout, &B::SetLayout, kButtonLayoutNames, blGlyphLeft);
    props.Enum("Style", &B::Style, &B::SetStyle, kKvxButtonStyleNames).Stored(&B::IsStyleStored);
    props.Enum("MaxButtonSizeState", &B::MaxButtonSizeState, &B::SetMaxButtonSizeState, kButtonSizeStateNames,
               bsLarge);
    props.Enum("MinButtonSizeState", &B::MinButtonSizeState, &B::SetMinButtonSizeState, kButtonSizeStateNames,
               bsGlyph);
    props.Boolean("DropDownButton", &B::DropDownButton, &B::SetDropDownButton, false);
    props.Enum("DropDownPosition", &B::DropDownPosition, &B::SetDropDownPosition, kDropDownPositionNames,
               dpRight);
    props.Enum("DropDownDirection", &B::DropDownDirection, &B::SetDropDownDirection, kDropDownDirectionNames,
               ddDown);
    props.Boolean("DropDownSplit", &B::DropDownSplit, &B::SetDropDownSplit, true);
    props.Component("DropDownMenu", &B::DropDownMenu, &B::SetDropDownMenu);
    props.Event("OnDropDown", &B::OnDropDown);
}

namespace {
struct TRegistrar {
    TRegistrar() { plat::RegisterClass(TKvxGlowButton::StaticClass()); }
} registrar;
} // namespace

// ---- Construction ----------------------------------------------------------------------------------------

TKvxCustomGlowButton::TKvxCustomGlowButton(plat::TComponent* AOwner) : plat::TCustomControl(AOwner) {
    FAppearance = std::make_unique<TGlowButtonAppearance>();
    FAppearance->OnChange = [this](plat::TObject* s) { AppearanceChanged(s); };
    FPicture = std::make_unique<TGDIPPicture>();
    FPicture->OnChange = [this](plat::TObject* s) { PictureChanged(s); };
    FHotPicture = std::make_unique<TGDIPPicture>();
    FDisabledPicture = std::make_unique<TGDIPPicture>();
    FDisabledPicture->OnChange = [this](plat::TObject* s) { PictureChanged(s); };
    FOfficeHint = std::make_unique<TKvxHintInfo>();
    FNotes = std::make_unique<plat::TStringList>();
    FNotes->OnChange = [this](plat::TObject*) { Invalidate(); };
    FNotesFont = std::make_unique<plat::TFont>();
    FNotesFont->SetName("Tahoma");
    FNotesFont->SetSize(8);
    FNotesFont->OnChange = [this](plat::TObject*) { Invalidate(); };
    SetBounds(0, 0, 100, 41);
    SetDoubleBuffered(true);
}

TKvxCustomGlowButton::~TKvxCustomGlowButton() {
    FActionLink.reset();
}

std::string TKvxCustomGlowButton::Version() const {
    const uint32_t v = PackedVersion();
    return std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 0xFF) + "." +
           std::to_string((v >> 8) & 0xFF) + "." + std::to_string(v & 0xFF);
}

bool TKvxCustomGlowButton::ShowsFocus() const {
    return IsFocusedWindow() && (FFocusType == ftBorder || FFocusType == ftHotBorder);
}

bool TKvxCustomGlowButton::IsFocusedWindow() const {
    return HandleAllocated() && Focused();
}

// ---- Setters ---------------------------------------------------------------------------------------------

void TKvxCustomGlowButton::SetAntiAlias(TAntiAlias Value) {
    if (FAntiAlias == Value)
        return;
    FAntiAlias = Value;
    Invalidate();
}

void TKvxCustomGlowButton::SetAutoSize(bool Value) {
    if (AutoSize() == Value)
        return;
    plat::TCustomControl::SetAutoSize(Value);
    UpdateSize();
}

void TKvxCustomGlowButton::SetBorderStyle(plat::TBorderStyle Value) {
    FBorderStyle = Value;
    Invalidate();
}

void TKvxCustomGlowButton::SetDefault(bool Value) {
    FDefault = Value;
    // Made default while no glow button has the focus, it takes Enter at once rather than after the
    // next focus change.
    plat::TCustomForm* form = plat::GetParentForm(this);
    if (!dynamic_cast<TKvxCustomGlowButton*>(form ? form->ActiveControl() : nullptr))
        FActive = Value;
}

void TKvxCustomGlowButton::SetDisabledImages(plat::TCustomImageList* Value) {
    FDisabledImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TKvxCustomGlowButton::SetHotImages(plat::TCustomImageList* Value) {
    FHotImages = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TKvxCustomGlowButton::SetImages(plat::TCustomImageList* Value) {
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TKvxCustomGlowButton::SetImageIndex(int Value) {
    FImageIndex = Value;
    UpdateSize();
}

void TKvxCustomGlowButton::SetDisabledPicture(TGDIPPicture* Value) {
    FDisabledPicture->Assign(Value);
    Invalidate();
}

void TKvxCustomGlowButton::SetHotPicture(TGDIPPicture* Value) {
    FHotPicture->Assign(Value);
}

void TKvxCustomGlowButton::SetPicture(TGDIPPicture* Value) {
    FPicture->Assign(Value);
}

void TKvxCustomGlowButton::SetMarginHorz(int Value) {
    if (FMarginHorz == Value)
        return;
    FMarginHorz = Value;
    UpdateSize();
}

void TKvxCustomGlowButton::SetMarginVert(int Value) {
    if (FMarginVert == Value)
        return;
    FMarginVert = Value;
    UpdateSize();
}

plat::TStrings* TKvxCustomGlowButton::Notes() const {
    return FNotes.get();
}

void TKvxCustomGlowButton::SetNotes(plat::TStrings* Value) {
    FNotes->Assign(Value);
    Invalidate();
}

void TKvxCustomGlowButton::SetNotesFont(plat::TFont* Value) {
    FNotesFont->Assign(Value);
    Invalidate();
}

void TKvxCustomGlowButton::SetOfficeHint(TKvxHintInfo* Value) {
    FOfficeHint->Assign(Value);
}

void TKvxCustomGlowButton::SetPosition(TButtonPosition Value) {
    FPosition = Value;
    Invalidate();
}

void TKvxCustomGlowButton::SetRounded(bool Value) {
    if (FRounded == Value)
        return;
    FRounded = Value;
    Invalidate();
}

void TKvxCustomGlowButton::SetShowCaption(bool Value) {
    FShowCaption = Value;
    UpdateSize();
    Invalidate();
}

void TKvxCustomGlowButton::SetShowDisabled(bool Value) {
    FShowDisabled = Value;
    Invalidate();
}

void TKvxCustomGlowButton::SetSpacing(int Value) {
    if (FSpacing == Value)
        return;
    FSpacing = Value;
    Invalidate();
}

void TKvxCustomGlowButton::SetTrimming(StringTrimming Value) {
    if (FTrimming == Value)
        return;
    FTrimming = Value;
    Invalidate();
}

void TKvxCustomGlowButton::SetWordWrap(bool Value) {
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    Invalidate();
}

void TKvxCustomGlowButton::SetWideCaption(const std::string& Value) {
    if (FWideCaption == Value)
        return;
    FWideCaption = Value;
    UpdateSize();
}

void TKvxCustomGlowButton::SetAppearance(TGlowButtonAppearance* Value) {
    FAppearance->Assign(Value);
    RefreshHintColors();
}

void TKvxCustomGlowButton::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TKvxCustomGlowButton::SetDropDownButton(bool Value) {
    if (FDropDownButton == Value)
        return;
    FDropDownButton = Value;
    AdjustSize();
    Invalidate();
}

void TKvxCustomGlowButton::SetDropDownPosition(TDropDownPosition Value) {
    if (FDropDownPosition == Value)
        return;
    FDropDownPosition = Value;
    if (FDropDownButton)
        AdjustSize();
    Invalidate();
}

void TKvxCustomGlowButton::SetDropDownDirection(TDropDownDirection Value) {
    if (FDropDownDirection == Value)
        return;
    FDropDownDirection = Value;
    Invalidate();
}

void TKvxCustomGlowButton::SetDropDownMenu(plat::TPopupMenu* Value) {
    FDropDownMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

plat::TBasicAction* TKvxCustomGlowButton::Action() const {
    return FActionLink ? FActionLink->Action() : nullptr;
}

void TKvxCustomGlowButton::SetAction(plat::TBasicAction* Value) {
    if (!Value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink)
        FActionLink = std::make_unique<TGlowButtonActionLink>(this);
    FActionLink->SetAction(Value);
    Value->FreeNotification(this);
    if (auto* a = dynamic_cast<plat::TCustomAction*>(Value)) {
        SetCaption(a->Caption());
        SetEnabled(a->Enabled());
        SetHint(a->Hint());
        SetVisible(a->Visible());
        if (a->ImageIndex() >= 0)
            SetImageIndex(a->ImageIndex());
    }
}

void TKvxCustomGlowButton::AppearanceChanged(plat::TObject*) {
    Invalidate();
    RefreshHintColors();
}

void TKvxCustomGlowButton::PictureChanged(plat::TObject*) {
    UpdateSize();
}

void TKvxCustomGlowButton::RefreshHintColors() {
    if (!FShortCutHintWindow)
        return;
    FShortCutHintWindow->SetColor(0xFFFFFF);
    FShortCutHintWindow->SetColorTo(FAppearance->Color());
}

void TKvxCustomGlowButton::Notification(plat::TComponent* AComponent, plat::TOperation Operation) {
    plat::TCustomControl::Notification(AComponent, Operation);
    if (Operation != plat::opRemove)
        return;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FDisabledImages)
        FDisabledImages = nullptr;
    if (AComponent == FHotImages)
        FHotImages = nullptr;
    if (AComponent == FInternalImages)
        FInternalImages = nullptr;
    if (AComponent == FDropDownMenu)
        FDropDownMenu = nullptr;
    // Owned parts go before the button's own destructor runs.
    if (AComponent == FFadeTimer) {
        FFadeTimer = nullptr;
        FFadeRunning = false;
    }
    if (AComponent == FRepeatTimer)
        FRepeatTimer = nullptr;
    if (AComponent == FShortCutHintWindow)
        FShortCutHintWindow = nullptr;
    if (FActionLink && AComponent == FActionLink->Action())
        FActionLink.reset();
}

void TKvxCustomGlowButton::Assign(plat::TPersistent* Source) {
    auto* src = dynamic_cast<TKvxCustomGlowButton*>(Source);
    if (!src)
        return;
    SetAlign(src->Align());
    SetAction(src->Action());
    SetAnchors(src->Anchors());
    SetAntiAlias(src->AntiAlias());
    SetAutoSize(src->AutoSize());
    SetBorderStyle(src->BorderStyle());
    SetCancel(src->Cancel());
    SetCaption(src->Caption());
    SetConstraints(src->Constraints());
    SetDefault(src->Default());
    SetFont(src->Font());
    SetImageIndex(src->ImageIndex());
    // The image lists are shared components of the form: the button takes the same lists, never a copy
    // of their images into lists it does not own (nor into a list it does not have).
    SetImages(src->Images());
    SetDisabledImages(src->DisabledImages());
    SetDisabledPicture(src->DisabledPicture());
    SetDragMode(src->DragMode());
    SetFocusType(src->FocusType());
    SetHotImages(src->HotImages());
    SetHotPicture(src->HotPicture());
    SetMarginVert(src->MarginVert());
    SetMarginHorz(src->MarginHorz());
    SetModalResult(src->ModalResult());
    SetNotes(src->Notes());
    SetNotesFont(src->NotesFont());
    SetOfficeHint(src->OfficeHint());
    SetParentFont(src->ParentFont());
    SetPicture(src->Picture());
    SetPopupMenu(src->PopupMenu());
    SetPosition(src->Position());
    SetInitRepeatPause(src->InitRepeatPause());
    SetRepeatPause(src->RepeatPause());
    SetRepeatClick(src->RepeatClick());
    SetRounded(src->Rounded());
    SetShortCutHint(src->ShortCutHint());
    SetShortCutHintPos(src->ShortCutHintPos());
    SetShowCaption(src->ShowCaption());
    SetShowDisabled(src->ShowDisabled());
    SetSpacing(src->Spacing());
    SetTransparent(src->Transparent());
    SetTrimming(src->Trimming());
    SetWordWrap(src->WordWrap());
    SetShowHint(src->ShowHint());
    SetParentShowHint(src->ParentShowHint());
    SetTabOrder(src->TabOrder());
    SetTabStop(src->TabStop());
    SetVisible(src->Visible());
}

// ---- Window ----------------------------------------------------------------------------------------------

void TKvxCustomGlowButton::CreateWnd() {
    plat::TCustomControl::CreateWnd();
    FActive = FDefault;
    FParentForm = plat::GetParentForm(this);
}

void TKvxCustomGlowButton::Loaded() {
    plat::TCustomControl::Loaded();
    if (FLoadedDown != FDown)
        SetDown(FLoadedDown);
    FIsVista = IsVistaOrLater();
}

int TKvxCustomGlowButton::LargeButtonHeight() {
    int h = Height();
    if (OnLargeButtonHeight)
        OnLargeButtonHeight(this, h);
    return h;
}

int TKvxCustomGlowButton::CornerStyle() {
    int style = 5;
    if (OnCornerStyle)
        OnCornerStyle(this, style);
    return style;
}

// ---- Painting --------------------------------------------------------------------------------------------

void TKvxCustomGlowButton::PaintParentBackground(bool CornersOnly) {
    plat::TCanvas* c = Canvas();
    if (!CornersOnly) {
        const TRect r = ClientRect();
        plat::DrawParentBackground(this, c->Handle(), &r);
        c->Refresh();
        return;
    }
    if (FPosition == bpMiddle) {
        c->Refresh();
        return;
    }
    const int w = Width(), h = Height();
    // The parent paints once under a clip of just the corner pixels: asked once per corner it painted
    // itself whole (clipped to a pixel) four times over.
    plat::HDC dc = c->Handle();
    const int saved = dc->SaveDC();
    const plat::ScopeGuard restore([&] {
        dc->RestoreDC(saved);
        c->Refresh();
    });
    dc->ExcludeClipRect(0, 1, w, h - 1);
    dc->ExcludeClipRect(1, 0, w - 1, h);
    if (FPosition == bpLeft)
        dc->ExcludeClipRect(w - 1, 0, w, h);
    else if (FPosition == bpRight)
        dc->ExcludeClipRect(0, 0, 1, h);
    const TRect all = ClientRect();
    plat::DrawParentBackground(this, dc, &all);
}

void TKvxCustomGlowButton::PrepareFace(TGlowFaceParams& P, bool ForQuery) {
    const bool enabled = Enabled();
    // Glyph lists: the disabled list while disabled, the hot list under the pointer.
    if (enabled || !FDisabledImages) {
        P.Images = FMouseOver && FHotImages ? FHotImages : FImages;
        P.EnabledImage = enabled;
    } else {
        P.Images = FDisabledImages;
        P.EnabledImage = true;
    }
    if (!P.Images) {
        P.Images = FInternalImages;
        P.EnabledImage = true;
    }
    P.ImageIndex = FImageIndex;
    if (!enabled && !FDisabledPicture->Empty())
        P.Picture = FDisabledPicture.get();
    else if (FMouseOver && !FHotPicture->Empty())
        P.Picture = FHotPicture.get();
    else
        P.Picture = FPicture.get();
    if (FShowCaption) {
        P.Caption = Caption();
        P.WideCaption = FWideCaption;
    }
    P.DropDownState = (FMouseInside || FPressed) && FDropDownButton ? (FDropDownHot ? 2 : 1) : 0;
    const bool focused = IsFocusedWindow();
    P.FocusBorder = focused && (FFocusType == ftBorder || FFocusType == ftHotBorder);
    P.SkipBackground = FTransparent && !FHot &&
                       !(focused && (FFocusType == ftHot || FFocusType == ftHotBorder)) &&
                       FPaintState != psPressed;
    // Glyphs of the action's list.
    if (auto* a = dynamic_cast<plat::TCustomAction*>(Action());
        a && a->ImageIndex() >= 0 && a->Images() && (!ForQuery || a->ImageIndex() == FImageIndex)) {
        P.Images = a->Images();
        P.EnabledImage = enabled;
        if (!ForQuery) {
            FImageIndex = a->ImageIndex();
            P.ImageIndex = FImageIndex;
        }
    }
    P.Layout = FLayout;
    P.DropDownButton = FDropDownButton;
    P.Enabled = enabled;
    P.DropDownPosition = FDropDownPosition;
    P.AntiAlias = FAntiAlias;
    P.Hot = FHot;
    P.Position = FPosition;
    P.DropDownSplit = FDropDownSplit;
    P.SingleBorder = HasSingleBorder();
    P.WordWrap = FWordWrap;
    P.Rounded = FRounded;
    P.ArrowDown = FDropDownDirection == ddDown;
    P.Spacing = FSpacing;
    P.Trimming = FTrimming;
    P.Notes = FNotes.get();
    P.NotesFont = FNotesFont.get();
    P.Down = FDown;
}

void TKvxCustomGlowButton::Paint() {
    plat::TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    const bool enabled = Enabled();

    // The parent shows behind a transparent button at rest.
    if (FTransparent && !FHot)
        PaintParentBackground(false);

    // Paint state.
    if (!enabled) {
        FPaintState = psDisabled;
        FPressing = false;
    } else if (FPaintState == psDisabled) {
        FPaintState = FDown && FGroupIndex != 0 ? psLatched : psNormal;
    }
    if (FStyle == bsCheck && FDown)
        FPaintState = psPressed;

    // The look.
    const TGlowButtonAppearance& a = *FAppearance;
    const bool disabledLook = (FPaintState == psDisabled || !enabled) && FShowDisabled;
    TGlowFaceParams P;
    TGlowLook look;
    if (disabledLook) {
        look = a.Look(glDisabled);
    } else if (FPaintState == psPressed && FStyle == bsButton) {
        look = a.Look(glDown);
        P.SplitLook = true;
    } else if (FPaintState == psLatched || (FPaintState == psPressed && FStyle == bsCheck)) {
        look = a.Look(glChecked);
        if (FadeRunning() &&
            (FMouseInside || (FStyle == bsButton && (FGroupIndex <= 0 || FPaintState == psPressed)))) {
            const TGlowLook& down = a.Look(glDown);
            look.Color = MixColors(look.Color, down.Color, FDownPct);
            look.ColorTo = MixColors(look.ColorTo, down.ColorTo, FDownPct);
            look.ColorMirror = MixColors(look.ColorMirror, down.ColorMirror, FDownPct);
            look.ColorMirrorTo = MixColors(look.ColorMirrorTo, down.ColorMirrorTo, FDownPct);
        }
    } else if (FMouseOver) {
        look = a.Look(glHot);
        P.SplitLook = true;
    } else {
        look = a.Look(glNormal);
    }

    // Fades: colours only, the gradient kinds stay those of the look chosen above.
    auto mixInto = [&look](const TGlowLook& one, const TGlowLook& other, int pct, bool border) {
        look.Color = MixColors(one.Color, other.Color, pct);
        look.ColorTo = MixColors(one.ColorTo, other.ColorTo, pct);
        look.ColorMirror = MixColors(one.ColorMirror, other.ColorMirror, pct);
        look.ColorMirrorTo = MixColors(one.ColorMirrorTo, other.ColorMirrorTo, pct);
        if (border)
            look.BorderColor = MixColors(one.BorderColor, other.BorderColor, pct);
    };
    if (FadeRunning()) {
        if (!FDownFade && !FTransparent && FPaintState != psLatched &&
            !(FStyle == bsCheck && FPaintState == psPressed))
            mixInto(a.Look(glHot), a.Look(glNormal), FHotPct, true);
        else if (FStyle == bsCheck && FDownFade)
            mixInto(a.Look(glDown), a.Look(glChecked), FDownPct, false);
        else if (FDownFade && FPaintState != psLatched)
            mixInto(a.Look(glDown), a.Look(glHot), FDownPct, true);
    }

    // Glyphs, captions and the drop-down state.
    PrepareFace(P, false);
    if (FPosition != bpStandalone && FPressed)
        look.BorderColor = a.BorderColor();

    // The disabled look wins over fades; a focused button may show the hot look.
    if (disabledLook)
        look = a.Look(glDisabled);
    if (IsFocusedWindow() && (FFocusType == ftHot || FFocusType == ftHotBorder) && !FDownFade) {
        look = a.Look(glHot);
        P.SplitLook = true;
    }
    P.Look = look;

    // Font.
    plat::TFont font;
    font.Assign(Font());
    if (!ParentFont() && a.SystemFont())
        font.SetName(IsVistaOrLater() ? "Segoe UI" : "Tahoma");
    P.Font = &font;

    // Overlay.
    plat::TBitmap overlay;
    overlay.SetSize(1, 1);
    PaintOverlay(&overlay);
    P.Overlay = &overlay;

    // Size states and auto size.
    if (AutoSize() && (FSizeState == bsGlyph || FSizeState == bsLabel)) {
        P.GlyphSize = TPoint(16, 16);
        if (P.Images && P.ImageIndex >= 0)
            P.Picture = nullptr;
    }
    if (FSizeState == bsGlyph) {
        P.Caption.clear();
        P.WideCaption.clear();
    }
    P.R = client;
    FCornerStyle = CornerStyle();
    if (FForceMeasure || (FSizeDirty && AutoSize())) {
        TGlowFaceParams measure = P;
        measure.MeasureOnly = true;
        const TPoint size = DrawGlowButtonFace(canvas, measure);
        if (AutoSize()) {
            int w = 3 * FSpacing + size.X + 2 * FMarginHorz + 2;
            int h = 2 * FSpacing + size.Y + 2 * FMarginVert;
            if (FDropDownButton) {
                if (FDropDownPosition == dpBottom)
                    h += 13;
                else
                    w += 13;
            }
            if (FSizeState == bsLarge && OnLargeButtonHeight)
                OnLargeButtonHeight(this, h);
            if (OnInternalAutoSize)
                OnInternalAutoSize(this, w, h);
            // A new size paints again; this paint still finishes the face it started.
            if (w != Width() || h != Height())
                SetBounds(Left(), Top(), w, h);
        }
        FSizeDirty = false;
    }

    // The face.
    DrawGlowButtonFace(canvas, P);

    // Afterwards.
    AfterPaint();
    if (OnDrawButton)
        OnDrawButton(this, canvas, client, FPaintState == psPressed ? gsDown : FHot ? gsHot : gsNormal);

    // The parent's look in the corners outside the rounded border.
    if (Parent() && !(FTransparent && !FHot && FPaintState != psPressed && !FMouseOver))
        PaintParentBackground(true);
}

// ---- Fades -----------------------------------------------------------------------------------------------

void TKvxCustomGlowButton::StartFadeTimer() {
    if (FFadeRunning)
        return;
    if (!FFadeTimer) {
        FFadeTimer = new plat::TTimer(this);
        FFadeTimer->SetEnabled(false);
        FFadeTimer->SetOnTimer([this](plat::TObject* s) { FadeTimerTick(s); });
    }
    FFadeTimer->SetInterval(static_cast<uint32_t>(FadeTimerInterval));
    FFadeTimer->SetEnabled(true);
    FFadeRunning = true;
}

void TKvxCustomGlowButton::FadeTimerTick(plat::TObject*) {
    int& pct = FFadeKind == fkPressed ? FDownPct : FHotPct;
    if (FFadeKind != fkNone)
        pct += FFadeStep;
    if (FFadeKind == fkNone || (pct > 100 && FFadeStep > 0) || (pct < 0 && FFadeStep < 0)) {
        if (FFadeKind != fkNone)
            pct = std::clamp(pct, 0, 100);
        if (FFadeKind == fkPressed && FFadeStep < 0) {
            FDownFade = false;
            FLeavePressed = false;
        }
        FFadeKind = fkNone;
        // The timer stays for the next fade; only its running state ends, without a further repaint.
        FFadeTimer->SetEnabled(false);
        FFadeRunning = false;
        return;
    }
    Invalidate();
}

void TKvxCustomGlowButton::SetAllowAllUp(bool Value) {
    if (FAllowAllUp == Value)
        return;
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TKvxCustomGlowButton::SetGroupIndex(int Value) {
    if (FGroupIndex == Value)
        return;
    FGroupIndex = Value;
    UpdateExclusive();
}

} // namespace ui
