#include "ui/toolbars/KvxToolBarRecords.h"

#include "platform/rtl/PropertyInfo.h"
#include "ui/drawing/KvxStyleIF.h"

namespace ui::toolbar {

using namespace plat;

PLAT_CLASS_INFO(TToolBarRecord, TPersistent)
PLAT_CLASS_INFO(TGradientBackground, TToolBarRecord)
PLAT_CLASS_INFO(TMirrorGradient, TToolBarRecord)
PLAT_CLASS_INFO(TVistaGradientBackground, TGradientBackground)
PLAT_CLASS_INFO(TPersistence, TToolBarRecord)
PLAT_CLASS_INFO(TButtonAppearance, TToolBarRecord)
PLAT_CLASS_INFO(TContainerAppearance, TToolBarRecord)
PLAT_CLASS_INFO(TVistaBackground, TToolBarRecord)
PLAT_CLASS_INFO(TVistaPageBackground, TVistaBackground)
PLAT_CLASS_INFO(TVistaTextBackground, TVistaBackground)
PLAT_CLASS_INFO(TCustomTabAppearance, TToolBarRecord)
PLAT_CLASS_INFO(TTabAppearance, TCustomTabAppearance)
PLAT_CLASS_INFO(TCaptionAppearance, TToolBarRecord)
PLAT_CLASS_INFO(TToolBarAppearance, TToolBarRecord)
PLAT_CLASS_INFO(TGroupAppearance, TToolBarRecord)
PLAT_CLASS_INFO(TQATAppearance, TToolBarRecord)
PLAT_CLASS_INFO(TKTBTabSettings, TToolBarRecord)
PLAT_CLASS_INFO(TTabGroupItem, TCollectionItem)
PLAT_CLASS_INFO(TTabGroups, TOwnedCollection)

PLAT_PROPERTIES(TToolBarRecord) {}

PLAT_PROPERTIES(TGradientBackground) {
    using R = TGradientBackground;
    props.Integer("Steps", &R::Steps, &R::SetSteps, 64);
    props.Color("Color", &R::Color, &R::SetColor);
    props.Color("ColorTo", &R::ColorTo, &R::SetColorTo);
    props.Enum("Direction", &R::Direction, &R::SetDirection, kGradientDirectionNames);
}

PLAT_PROPERTIES(TMirrorGradient) {
    using R = TMirrorGradient;
    props.Color("ColorTo", &R::ColorTo, &R::SetColorTo);
    props.Color("Color", &R::Color, &R::SetColor);
    props.Color("ColorMirrorTo", &R::ColorMirrorTo, &R::SetColorMirrorTo);
    props.Color("ColorMirror", &R::ColorMirror, &R::SetColorMirror);
}

PLAT_PROPERTIES(TVistaGradientBackground) {
    using R = TVistaGradientBackground;
    props.Object("Mirror", &R::Mirror, &R::SetMirror);
}

PLAT_PROPERTIES(TPersistence) {
    using R = TPersistence;
    props.String("Key", &R::Key, &R::SetKey);
    props.String("Section", &R::Section, &R::SetSection);
    props.Enum("Location", &R::Location, &R::SetLocation, kPersistenceLocationNames);
    props.Boolean("Enabled", &R::Enabled, &R::SetEnabled);
}

PLAT_PROPERTIES(TButtonAppearance) {
    using R = TButtonAppearance;
    props.Color("ColorHot", &R::ColorHot, &R::SetColorHot, 0xD2BDB6);
    props.Color("ColorTo", &R::ColorTo, &R::SetColorTo, clNone);
    props.Color("Color", &R::Color, &R::SetColor, clNone);
    props.Color("ColorHotTo", &R::ColorHotTo, &R::SetColorHotTo, clNone);
    props.Color("ColorDownTo", &R::ColorDownTo, &R::SetColorDownTo, clNone);
    props.Color("ColorDown", &R::ColorDown, &R::SetColorDown, 0xB59285);
    props.Color("BorderDownColor", &R::BorderDownColor, &R::SetBorderDownColor, 0x6A240A);
    props.Color("BorderColor", &R::BorderColor, &R::SetBorderColor, clNone);
    props.Color("BorderHotColor", &R::BorderHotColor, &R::SetBorderHotColor, 0x6A240A);
    props.Enum("GradientDirection", &R::GradientDirection, &R::SetGradientDirection, kGradientDirectionNames,
               gdVertical);
    props.Color("ColorChecked", &R::ColorChecked, &R::SetColorChecked, 0xD8D5D4);
    props.Color("ColorCheckedTo", &R::ColorCheckedTo, &R::SetColorCheckedTo, clNone);
    props.Color("CaptionTextColorChecked", &R::CaptionTextColorChecked, &R::SetCaptionTextColorChecked, 0);
    props.Color("CaptionTextColor", &R::CaptionTextColor, &R::SetCaptionTextColor, 0);
    props.Color("CaptionTextColorHot", &R::CaptionTextColorHot, &R::SetCaptionTextColorHot, 0);
    props.Color("CaptionTextColorDown", &R::CaptionTextColorDown, &R::SetCaptionTextColorDown, 0);
    props.Color("BorderCheckedColor", &R::BorderCheckedColor, &R::SetBorderCheckedColor, 0x6A240A);
    props.Object("CaptionFont", &R::CaptionFont, &R::SetCaptionFont);
    props.Enum("GradientDirectionDown", &R::GradientDirectionDown, &R::SetGradientDirectionDown,
               kGradientDirectionNames, gdVertical);
    props.Enum("GradientDirectionHot", &R::GradientDirectionHot, &R::SetGradientDirectionHot,
               kGradientDirectionNames, gdVertical);
    props.Enum("GradientDirectionChecked", &R::GradientDirectionChecked, &R::SetGradientDirectionChecked,
               kGradientDirectionNames, gdVertical);
    props.Boolean("SystemFont", &R::SystemFont, &R::SetSystemFont, true);
}

PLAT_PROPERTIES(TContainerAppearance) {
    using R = TContainerAppearance;
    props.Boolean("Line3D", &R::Line3D, &R::SetLine3D);
    props.Color("LineColor", &R::LineColor, &R::SetLineColor);
}

PLAT_PROPERTIES(TVistaBackground) {
    using R = TVistaBackground;
    props.Integer("Steps", &R::Steps, &R::SetSteps, 64);
    props.Color("Color", &R::Color, &R::SetColor);
    props.Color("ColorTo", &R::ColorTo, &R::SetColorTo);
    props.Color("ColorMirror", &R::ColorMirror, &R::SetColorMirror);
    props.Color("ColorMirrorTo", &R::ColorMirrorTo, &R::SetColorMirrorTo);
    props.Color("BorderColor", &R::BorderColor, &R::SetBorderColor);
    props.Enum("GradientMirror", &R::GradientMirror, &R::SetGradientMirror, kGDIPGradientNames);
    props.Enum("Gradient", &R::Gradient, &R::SetGradient, kGDIPGradientNames);
}

PLAT_PROPERTIES(TVistaPageBackground) {
    using R = TVistaPageBackground;
    props.Color("ShadowColor", &R::ShadowColor, &R::SetShadowColor);
    props.Color("HighLightColor", &R::HighLightColor, &R::SetHighLightColor);
}

PLAT_PROPERTIES(TVistaTextBackground) {
    using R = TVistaTextBackground;
    props.Color("TextColor", &R::TextColor, &R::SetTextColor);
    props.Object("Font", &R::Font, &R::SetFont);
    props.Boolean("SystemFont", &R::SystemFont, &R::SetSystemFont, true);
}

PLAT_PROPERTIES(TCustomTabAppearance) {
    using A = TCustomTabAppearance;
    props.Color("BorderColor", &A::BorderColor, &A::SetBorderColor);
    props.Color("BorderColorHot", &A::BorderColorHot, &A::SetBorderColorHot);
    props.Color("BorderColorSelected", &A::BorderColorSelected, &A::SetBorderColorSelected);
    props.Color("BorderColorSelectedHot", &A::BorderColorSelectedHot, &A::SetBorderColorSelectedHot);
    props.Color("BorderColorDisabled", &A::BorderColorDisabled, &A::SetBorderColorDisabled);
    props.Color("BorderColorDown", &A::BorderColorDown, &A::SetBorderColorDown);
    props.Color("Color", &A::Color, &A::SetColor);
    props.Color("ColorTo", &A::ColorTo, &A::SetColorTo);
    props.Color("ColorHot", &A::ColorHot, &A::SetColorHot);
    props.Color("ColorHotTo", &A::ColorHotTo, &A::SetColorHotTo);
    props.Color("ColorSelected", &A::ColorSelected, &A::SetColorSelected);
    props.Color("ColorSelectedTo", &A::ColorSelectedTo, &A::SetColorSelectedTo);
    props.Color("ColorDisabled", &A::ColorDisabled, &A::SetColorDisabled);
    props.Color("ColorDisabledTo", &A::ColorDisabledTo, &A::SetColorDisabledTo);
    props.Color("ColorMirror", &A::ColorMirror, &A::SetColorMirror);
    props.Color("ColorMirrorTo", &A::ColorMirrorTo, &A::SetColorMirrorTo);
    props.Color("ColorMirrorHot", &A::ColorMirrorHot, &A::SetColorMirrorHot);
    props.Color("ColorMirrorHotTo", &A::ColorMirrorHotTo, &A::SetColorMirrorHotTo);
    props.Color("ColorMirrorSelected", &A::ColorMirrorSelected, &A::SetColorMirrorSelected);
    props.Color("ColorMirrorSelectedTo", &A::ColorMirrorSelectedTo, &A::SetColorMirrorSelectedTo);
    props.Color("ColorMirrorDisabled", &A::ColorMirrorDisabled, &A::SetColorMirrorDisabled);
    props.Color("ColorMirrorDisabledTo", &A::ColorMirrorDisabledTo, &A::SetColorMirrorDisabledTo);
    props.Enum("Gradient", &A::Gradient, &A::SetGradient, kGDIPGradientNames);
    props.Enum("GradientMirror", &A::GradientMirror, &A::SetGradientMirror, kGDIPGradientNames);
    props.Enum("GradientHot", &A::GradientHot, &A::SetGradientHot, kGDIPGradientNames);
    props.Enum("GradientMirrorHot", &A::GradientMirrorHot, &A::SetGradientMirrorHot, kGDIPGradientNames);
    props.Enum("GradientSelected", &A::GradientSelected, &A::SetGradientSelected, kGDIPGradientNames);
    props.Enum("GradientMirrorSelected", &A::GradientMirrorSelected, &A::SetGradientMirrorSelected,
               kGDIPGradientNames);
    props.Enum("GradientDisabled", &A::GradientDisabled, &A::SetGradientDisabled, kGDIPGradientNames);
    props.Enum("GradientMirrorDisabled", &A::GradientMirrorDisabled, &A::SetGradientMirrorDisabled,
               kGDIPGradientNames);
    props.Color("TextColor", &A::TextColor, &A::SetTextColor);
    props.Color("TextColorHot", &A::TextColorHot, &A::SetTextColorHot);
    props.Color("TextColorSelected", &A::TextColorSelected, &A::SetTextColorSelected);
    props.Color("TextColorDisabled", &A::TextColorDisabled, &A::SetTextColorDisabled);
    props.Color("ShadowColor", &A::ShadowColor, &A::SetShadowColor);
    props.Color("HighLightColor", &A::HighLightColor, &A::SetHighLightColor);
    props.Color("HighLightColorHot", &A::HighLightColorHot, &A::SetHighLightColorHot);
    props.Color("HighLightColorSelected", &A::HighLightColorSelected, &A::SetHighLightColorSelected);
    props.Color("HighLightColorSelectedHot", &A::HighLightColorSelectedHot, &A::SetHighLightColorSelectedHot);
    props.Color("HighLightColorDown", &A::HighLightColorDown, &A::SetHighLightColorDown);
    props.Object("Font", &A::Font, &A::SetFont);
    props.Boolean("SystemFont", &A::SystemFont, &A::SetSystemFont, true);
}

PLAT_PROPERTIES(TTabAppearance) {
    using A = TTabAppearance;
    props.Object("BackGround", &A::BackGround, &A::SetBackGround);
}

PLAT_PROPERTIES(TCaptionAppearance) {
    using R = TCaptionAppearance;
    props.Color("CaptionColor", &R::CaptionColor, &R::SetCaptionColor);
    props.Color("CaptionColorTo", &R::CaptionColorTo, &R::SetCaptionColorTo, clNone);
    props.Color("CaptionColorHot", &R::CaptionColorHot, &R::SetCaptionColorHot, clNone);
    props.Color("CaptionColorHotTo", &R::CaptionColorHotTo, &R::SetCaptionColorHotTo, clNone);
    props.Color("CaptionTextColor", &R::CaptionTextColor, &R::SetCaptionTextColor, clWhite);
    props.Color("CaptionTextColorHot", &R::CaptionTextColorHot, &R::SetCaptionTextColorHot, clWhite);
    props.Color("CaptionBorderColor", &R::CaptionBorderColor, &R::SetCaptionBorderColor, clNone);
    props.Color("CaptionBorderColorHot", &R::CaptionBorderColorHot, &R::SetCaptionBorderColorHot, clNone);
}

PLAT_PROPERTIES(TToolBarAppearance) {
    using R = TToolBarAppearance;
    props.Object("Color", &R::Color, &R::SetColor);
    props.Object("ColorHot", &R::ColorHot, &R::SetColorHot);
    props.Color("BorderColor", &R::BorderColor, &R::SetBorderColor, clNone);
    props.Color("BorderColorHot", &R::BorderColorHot, &R::SetBorderColorHot, clNone);
}

PLAT_PROPERTIES(TGroupAppearance) {
    using R = TGroupAppearance;
    props.Color("Color", &R::Color, &R::SetColor);
    props.Color("ColorTo", &R::ColorTo, &R::SetColorTo);
    props.Color("ColorMirror", &R::ColorMirror, &R::SetColorMirror);
    props.Color("ColorMirrorTo", &R::ColorMirrorTo, &R::SetColorMirrorTo);
    props.Color("BorderColor", &R::BorderColor, &R::SetBorderColor);
    props.Color("TextColor", &R::TextColor, &R::SetTextColor);
    props.Enum("Gradient", &R::Gradient, &R::SetGradient, kGDIPGradientNames);
    props.Enum("GradientMirror", &R::GradientMirror, &R::SetGradientMirror, kGDIPGradientNames);
    props.Object("CaptionAppearance", &R::CaptionAppearance, &R::SetCaptionAppearance);
    props.Object("PageAppearance", &R::PageAppearance, &R::SetPageAppearance);
    props.Object("ToolBarAppearance", &R::ToolBarAppearance, &R::SetToolBarAppearance);
    props.Object("TabAppearance", &R::TabAppearance, &R::SetTabAppearance);
    props.Object("Font", &R::Font, &R::SetFont);
    props.Boolean("SystemFont", &R::SystemFont, &R::SetSystemFont, true);
}

PLAT_PROPERTIES(TQATAppearance) {
    using R = TQATAppearance;
    props.Integer("Steps", &R::Steps, &R::SetSteps, 64);
    props.Color("Color", &R::Color, &R::SetColor);
    props.Color("ColorTo", &R::ColorTo, &R::SetColorTo);
    props.Color("BorderColor", &R::BorderColor, &R::SetBorderColor);
    props.Color("FullSizeColor", &R::FullSizeColor, &R::SetFullSizeColor);
    props.Color("FullSizeColorTo", &R::FullSizeColorTo, &R::SetFullSizeColorTo);
    props.Color("FullSizeBorderColor", &R::FullSizeBorderColor, &R::SetFullSizeBorderColor);
}

PLAT_PROPERTIES(TKTBTabSettings) {
    using R = TKTBTabSettings;
    props.Integer("LeftMargin", &R::LeftMargin, &R::SetLeftMargin, 4);
    props.Integer("RightMargin", &R::RightMargin, &R::SetRightMargin, 4);
    props.Integer("Height", &R::Height, &R::SetHeight, 26);
    props.Integer("StartMargin", &R::StartMargin, &R::SetStartMargin, 60);
    props.Integer("EndMargin", &R::EndMargin, &R::SetEndMargin);
    props.Integer("Spacing", &R::Spacing, &R::SetSpacing, 4);
}

PLAT_PROPERTIES(TTabGroupItem) {
    using R = TTabGroupItem;
    props.String("Caption", &R::Caption, &R::SetCaption);
    props.Integer("ImageIndex", &R::ImageIndex, &R::SetImageIndex);
    props.Integer("TabIndexStart", &R::TabIndexStart, &R::SetTabIndexStart);
    props.Integer("TabIndexEnd", &R::TabIndexEnd, &R::SetTabIndexEnd);
    props.Boolean("DefaultAppearance", &R::DefaultAppearance, &R::SetDefaultAppearance);
    props.Object("GroupAppearance", &R::GroupAppearance, &R::SetGroupAppearance);
    props.Enum("CaptionAlignment", &R::CaptionAlignment, &R::SetCaptionAlignment, kAlignmentNames);
}

PLAT_PROPERTIES(TTabGroups) {}

std::string SystemFontName() {
    return IsVistaOrLater() ? "Segoe UI" : "Tahoma";
}

bool IsOfClassNamed(const TObject* Object, std::string_view ClassName) {
    if (!Object)
        return false;
    for (const TClassInfo* c = &Object->ClassType(); c; c = c->Parent)
        if (ClassName == c->Name)
            return true;
    return false;
}

namespace {

std::unique_ptr<TFont> MakeSystemFont() {
    auto font = std::make_unique<TFont>();
    font->SetName(SystemFontName());
    font->SetSize(8);
    font->SetStyle(0);
    return font;
}

// The SystemFont rule the records share: switching it on renames the font; nothing is announced.
void StoreSystemFont(bool& Field, bool Value, TFont& Font) {
    if (Field == Value)
        return;
    Field = Value;
    if (Value)
        Font.SetName(SystemFontName());
}

} // namespace

// --- Gradients -------------------------------------------------------------------------------------------

void TGradientBackground::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TGradientBackground*>(Source);
    if (!src)
        return;
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FDirection = src->FDirection;
    FSteps = src->FSteps;
}

void TMirrorGradient::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TMirrorGradient*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FColorMirror = src->FColorMirror;
    FColorMirrorTo = src->FColorMirrorTo;
}

void TVistaGradientBackground::Assign(TPersistent* Source) {
    TGradientBackground::Assign(Source);
    if (auto* src = dynamic_cast<TVistaGradientBackground*>(Source))
        FMirror->Assign(src->FMirror.get());
}

void TPersistence::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TPersistence*>(Source);
    if (!src)
        return;
    FLocation = src->FLocation;
    FKey = src->FKey;
    FSection = src->FSection;
    FEnabled = src->FEnabled;
}

// --- Button and container looks --------------------------------------------------------------------------

TButtonAppearance::TButtonAppearance() : FCaptionFont(std::make_unique<TFont>()) {
    FCaptionFont->SetName(SystemFontName());
}

void TButtonAppearance::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TButtonAppearance*>(Source);
    if (!src)
        return;
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FColorHot = src->FColorHot;
    FColorHotTo = src->FColorHotTo;
    FColorDown = src->FColorDown;
    FColorDownTo = src->FColorDownTo;
    FColorChecked = src->FColorChecked;
    FColorCheckedTo = src->FColorCheckedTo;
    FCaptionTextColor = src->FCaptionTextColor;
    FCaptionTextColorHot = src->FCaptionTextColorHot;
    FCaptionTextColorDown = src->FCaptionTextColorDown;
    FCaptionTextColorChecked = src->FCaptionTextColorChecked;
    FGradientDirection = src->FGradientDirection;
    FBorderColor = src->FBorderColor;
    FBorderHotColor = src->FBorderHotColor;
    FBorderDownColor = src->FBorderDownColor;
    FBorderCheckedColor = src->FBorderCheckedColor;
}

void TButtonAppearance::SetCaptionFont(TFont* Value) {
    FCaptionFont->Assign(Value);
    Changed();
}

void TButtonAppearance::SetSystemFont(bool Value) {
    StoreSystemFont(FSystemFont, Value, *FCaptionFont);
}

void TContainerAppearance::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TContainerAppearance*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    SetLineColor(src->FLineColor);
    SetLine3D(src->FLine3D);
}

// --- Two-half backgrounds --------------------------------------------------------------------------------

void TVistaBackground::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TVistaBackground*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FSteps = src->FSteps;
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FColorMirror = src->FColorMirror;
    FColorMirrorTo = src->FColorMirrorTo;
    FBorderColor = src->FBorderColor;
    FShadowColor = src->FShadowColor;
    FHighLightColor = src->FHighLightColor;
    SetGradient(src->FGradient);
    SetGradientMirror(src->FGradientMirror);
}

TVistaTextBackground::TVistaTextBackground() : FFont(MakeSystemFont()) {}

void TVistaTextBackground::Assign(TPersistent* Source) {
    TVistaBackground::Assign(Source);
    if (auto* src = dynamic_cast<TVistaTextBackground*>(Source)) {
        SetTextColor(src->FTextColor);
        FFont->Assign(src->FFont.get());
    }
}

void TVistaTextBackground::SetSystemFont(bool Value) {
    StoreSystemFont(FSystemFont, Value, *FFont);
}

// --- Tabs, captions, groups ------------------------------------------------------------------------------

TCustomTabAppearance::TCustomTabAppearance()
    : FFont(MakeSystemFont()), FBackGround(std::make_unique<TGradientBackground>()) {
    FBackGround->OnChange = [this](TObject*) { Changed(); };
}

void TCustomTabAppearance::SetSystemFont(bool Value) {
    StoreSystemFont(FSystemFont, Value, *FFont);
}

void TCustomTabAppearance::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TCustomTabAppearance*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FBorderColor = src->FBorderColor;
    FBorderColorHot = src->FBorderColorHot;
    FBorderColorSelected = src->FBorderColorSelected;
    FBorderColorSelectedHot = src->FBorderColorSelectedHot;
    FBorderColorDisabled = src->FBorderColorDisabled;
    FBorderColorDown = src->FBorderColorDown;
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FColorHot = src->FColorHot;
    FColorHotTo = src->FColorHotTo;
    FColorSelected = src->FColorSelected;
    FColorSelectedTo = src->FColorSelectedTo;
    FColorDisabled = src->FColorDisabled;
    FColorDisabledTo = src->FColorDisabledTo;
    FColorMirror = src->FColorMirror;
    FColorMirrorTo = src->FColorMirrorTo;
    FColorMirrorHot = src->FColorMirrorHot;
    FColorMirrorHotTo = src->FColorMirrorHotTo;
    FColorMirrorSelected = src->FColorMirrorSelected;
    FColorMirrorSelectedTo = src->FColorMirrorSelectedTo;
    FColorMirrorDisabled = src->FColorMirrorDisabled;
    FColorMirrorDisabledTo = src->FColorMirrorDisabledTo;
    FGradient = src->FGradient;
    FGradientMirror = src->FGradientMirror;
    FGradientHot = src->FGradientHot;
    FGradientMirrorHot = src->FGradientMirrorHot;
    FGradientSelected = src->FGradientSelected;
    FGradientMirrorSelected = src->FGradientMirrorSelected;
    FGradientDisabled = src->FGradientDisabled;
    FGradientMirrorDisabled = src->FGradientMirrorDisabled;
    FTextColorSelected = src->FTextColorSelected;
    FTextColorDisabled = src->FTextColorDisabled;
    FShadowColor = src->FShadowColor;
    FHighLightColor = src->FHighLightColor;
    FHighLightColorHot = src->FHighLightColorHot;
    FHighLightColorSelected = src->FHighLightColorSelected;
    FHighLightColorSelectedHot = src->FHighLightColorSelectedHot;
    FHighLightColorDown = src->FHighLightColorDown;
    FFont->Assign(src->FFont.get());
    SetTextColor(src->FTextColor);
    SetTextColorHot(src->FTextColorHot);
    // The background announces every write, so an assignment always reaches the owner once more.
    FBackGround->Assign(src->FBackGround.get());
    Changed();
}

void TCaptionAppearance::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TCaptionAppearance*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FCaptionColor = src->FCaptionColor;
    FCaptionColorTo = src->FCaptionColorTo;
    FCaptionTextColor = src->FCaptionTextColor;
    FCaptionBorderColor = src->FCaptionBorderColor;
    FCaptionBorderColorHot = src->FCaptionBorderColorHot;
    FCaptionColorHot = src->FCaptionColorHot;
    SetCaptionColorHotTo(src->FCaptionColorHotTo);
    SetCaptionTextColorHot(src->FCaptionTextColorHot);
}

TToolBarAppearance::TToolBarAppearance()
    : FColor(std::make_unique<TGradientBackground>()), FColorHot(std::make_unique<TGradientBackground>()) {
    FColorHot->SetColor(clNone);
    FColorHot->SetColorTo(clNone);
}

void TToolBarAppearance::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TToolBarAppearance*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FColor->Assign(src->FColor.get());
    FColorHot->Assign(src->FColorHot.get());
    FBorderColor = src->FBorderColor;
    FBorderColorHot = src->FBorderColorHot;
}

TGroupAppearance::TGroupAppearance()
    : FCaptionAppearance(std::make_unique<TCaptionAppearance>()),
      FPageAppearance(std::make_unique<TVistaPageBackground>()),
      FToolBarAppearance(std::make_unique<TToolBarAppearance>()),
      FTabAppearance(std::make_unique<TCustomTabAppearance>()), FFont(MakeSystemFont()) {
    auto forward = [this](TObject*) { Changed(); };
    FCaptionAppearance->OnChange = forward;
    FPageAppearance->OnChange = forward;
    FToolBarAppearance->OnChange = forward;
    FTabAppearance->OnChange = forward;
}

void TGroupAppearance::SetSystemFont(bool Value) {
    StoreSystemFont(FSystemFont, Value, *FFont);
}

void TGroupAppearance::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TGroupAppearance*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FCaptionAppearance->Assign(src->FCaptionAppearance.get());
    FPageAppearance->Assign(src->FPageAppearance.get());
    FTabAppearance->Assign(src->FTabAppearance.get());
    FSteps = src->FSteps;
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FColorMirror = src->FColorMirror;
    FColorMirrorTo = src->FColorMirrorTo;
    FBorderColor = src->FBorderColor;
    FTextColor = src->FTextColor;
    FFont->Assign(src->FFont.get());
    SetGradient(src->FGradient);
    SetGradientMirror(src->FGradientMirror);
}

void TQATAppearance::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TQATAppearance*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FBorderColor = src->FBorderColor;
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FFullSizeBorderColor = src->FFullSizeBorderColor;
    FFullSizeColor = src->FFullSizeColor;
    SetFullSizeColorTo(src->FFullSizeColorTo);
}

// --- Pager tab metrics and groups ------------------------------------------------------------------------

void TKTBTabSettings::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TKTBTabSettings*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    SetLeftMargin(src->FLeftMargin);
    SetRightMargin(src->FRightMargin);
    SetHeight(src->FHeight);
    SetStartMargin(src->FStartMargin);
    SetEndMargin(src->FEndMargin);
}

TTabGroupItem::TTabGroupItem(TCollection* Collection)
    : TCollectionItem(Collection), FGroupAppearance(std::make_unique<TGroupAppearance>()) {
    FGroupAppearance->OnChange = [this](TObject*) { GroupChanged(); };
}

void TTabGroupItem::GroupChanged() {
    if (auto* groups = dynamic_cast<TTabGroups*>(Collection()))
        groups->GroupChanged();
}

void TTabGroupItem::StoreInt(int& Field, int Value) {
    if (Field == Value)
        return;
    Field = Value;
    GroupChanged();
}

void TTabGroupItem::SetCaption(const std::string& Value) {
    if (FCaption == Value)
        return;
    FCaption = Value;
    GroupChanged();
}

void TTabGroupItem::SetDefaultAppearance(bool Value) {
    if (FDefaultAppearance == Value)
        return;
    FDefaultAppearance = Value;
    GroupChanged();
}

void TTabGroupItem::SetCaptionAlignment(TAlignment Value) {
    if (FCaptionAlignment == Value)
        return;
    FCaptionAlignment = Value;
    GroupChanged();
}

void TTabGroupItem::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TTabGroupItem*>(Source);
    if (!src) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetCaption(src->FCaption);
    SetImageIndex(src->FImageIndex);
    SetTabIndexStart(src->FTabIndexStart);
    SetTabIndexEnd(src->FTabIndexEnd);
}

bool TTabGroupItem::Covers(int TabIndex, int PageCount) const {
    if (FTabIndexStart < 0 || FTabIndexEnd < 0 || FTabIndexStart > FTabIndexEnd || FTabIndexEnd >= PageCount)
        return false;
    return TabIndex >= FTabIndexStart && TabIndex <= FTabIndexEnd;
}

TTabGroups::TTabGroups(TPersistent* AOwner)
    : TOwnedCollection(AOwner, TCollectionItemClass::Of<TTabGroupItem>()) {}

int TTabGroups::GroupOfTab(int TabIndex, int PageCount) const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Covers(TabIndex, PageCount))
            return i;
    return -1;
}

void TTabGroups::Update(TCollectionItem*) {
    GroupChanged();
}

} // namespace ui::toolbar
