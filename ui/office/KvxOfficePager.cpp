#include "ui/office/KvxOfficePager.h"

#include <algorithm>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Timer.h"
#include "ui/drawing/KvxVersion.h"
#include "ui/office/KvxOfficePagerStylers.h"

namespace ui::pager {

using namespace plat;

PLAT_CLASS_INFO(TPagerTabSettings, TPersistent)
PLAT_CLASS_INFO(TGradientBackground, TPersistent)
PLAT_CLASS_INFO(TCustomTabAppearance, TPersistent)
PLAT_CLASS_INFO(TTabAppearance, TCustomTabAppearance)
PLAT_CLASS_INFO(TVistaBackground, TPersistent)
PLAT_CLASS_INFO_CREATABLE(TCustomKvxOfficePagerStyler, TComponent)
PLAT_CLASS_INFO(TPageButtonSettings, TPersistent)
PLAT_CLASS_INFO_CREATABLE(TKvxOfficePage, TCustomControl)
PLAT_CLASS_INFO_CREATABLE(TKvxOfficePager, TCustomControl)

PLAT_PROPERTIES(TPagerTabSettings) {
    using S = TPagerTabSettings;
    props.Integer("LeftMargin", &S::LeftMargin, &S::SetLeftMargin, 4);
    props.Integer("RightMargin", &S::RightMargin, &S::SetRightMargin, 4);
    // The streamed default is the value a new object holds, so no stored margin is lost on reading.
    props.Integer("StartMargin", &S::StartMargin, &S::SetStartMargin, 4);
    props.Integer("Height", &S::Height, &S::SetHeight, 26);
    props.Integer("Spacing", &S::Spacing, &S::SetSpacing, 4);
    props.Integer("Width", &S::Width, &S::SetWidth, 0);
    props.Boolean("WordWrap", &S::WordWrap, &S::SetWordWrap, false);
    props.Enum("ImagePosition", &S::ImagePosition, &S::SetImagePosition, tabpaint::kImagePositionNames,
               ipLeft);
    props.Enum("Shape", &S::Shape, &S::SetShape, tabpaint::kKvxTabShapeNames, tsRectangle);
    props.Integer("Rounding", &S::Rounding, &S::SetRounding, 1);
}

PLAT_PROPERTIES(TGradientBackground) {
    using B = TGradientBackground;
    props.Color("Color", &B::Color, &B::SetColor, 0xFFFFFF);
    props.Color("ColorTo", &B::ColorTo, &B::SetColorTo, clBtnFace);
    props.Enum("Direction", &B::Direction, &B::SetDirection, kGradientDirectionNames, gdHorizontal);
    props.Integer("Steps", &B::Steps, &B::SetSteps, 64);
}

PLAT_PROPERTIES(TCustomTabAppearance) {
    using A = TCustomTabAppearance;
    props.Color("BorderColor", &A::BorderColor, &A::SetBorderColor, clBtnFace);
    props.Color("BorderColorHot", &A::BorderColorHot, &A::SetBorderColorHot, 0xFF0000);
    props.Color("BorderColorSelected", &A::BorderColorSelected, &A::SetBorderColorSelected, clBtnFace);
    props.Color("BorderColorSelectedHot", &A::BorderColorSelectedHot, &A::SetBorderColorSelectedHot, clNone);
    props.Color("BorderColorDisabled", &A::BorderColorDisabled, &A::SetBorderColorDisabled, clNone);
    props.Color("BorderColorDown", &A::BorderColorDown, &A::SetBorderColorDown, clNone);
    props.Color("Color", &A::Color, &A::SetColor, clBtnFace);
    props.Color("ColorTo", &A::ColorTo, &A::SetColorTo, 0xFFFFFF);
    props.Color("ColorSelected", &A::ColorSelected, &A::SetColorSelected, 0xFFFFFF);
    props.Color("ColorSelectedTo", &A::ColorSelectedTo, &A::SetColorSelectedTo, clBtnFace);
    props.Color("ColorDisabled", &A::ColorDisabled, &A::SetColorDisabled, clNone);
    props.Color("ColorDisabledTo", &A::ColorDisabledTo, &A::SetColorDisabledTo, clNone);
    props.Color("ColorHot", &A::ColorHot, &A::SetColorHot, 0x00FFFF);
    props.Color("ColorHotTo", &A::ColorHotTo, &A::SetColorHotTo, clNone);
    props.Color("ColorMirror", &A::ColorMirror, &A::SetColorMirror, 0xFFFFFF);
    props.Color("ColorMirrorTo", &A::ColorMirrorTo, &A::SetColorMirrorTo, 0xFFFFFF);
    props.Color("ColorMirrorHot", &A::ColorMirrorHot, &A::SetColorMirrorHot, clNone);
    props.Color("ColorMirrorHotTo", &A::ColorMirrorHotTo, &A::SetColorMirrorHotTo, clNone);
    props.Color("ColorMirrorSelected", &A::ColorMirrorSelected, &A::SetColorMirrorSelected, 0xFFFFFF);
    props.Color("ColorMirrorSelectedTo", &A::ColorMirrorSelectedTo, &A::SetColorMirrorSelectedTo, 0xFFFFFF);
    props.Color("ColorMirrorDisabled", &A::ColorMirrorDisabled, &A::SetColorMirrorDisabled, clNone);
    props.Color("ColorMirrorDisabledTo", &A::ColorMirrorDisabledTo, &A::SetColorMirrorDisabledTo, clNone);
    props.Object("Font", &A::Font, &A::SetFont);
    props.Enum("Gradient", &A::Gradient, &A::SetGradient, kGDIPGradientNames, ggVertical);
    props.Enum("GradientMirror", &A::GradientMirror, &A::SetGradientMirror, kGDIPGradientNames, ggVertical);
    props.Enum("GradientHot", &A::GradientHot, &A::SetGradientHot, kGDIPGradientNames, ggVertical);
    props.Enum("GradientMirrorHot", &A::GradientMirrorHot, &A::SetGradientMirrorHot, kGDIPGradientNames,
               ggVertical);
    props.Enum("GradientSelected", &A::GradientSelected, &A::SetGradientSelected, kGDIPGradientNames,
               ggVertical);
    props.Enum("GradientMirrorSelected", &A::GradientMirrorSelected, &A::SetGradientMirrorSelected,
               kGDIPGradientNames, ggVertical);
    props.Enum("GradientDisabled", &A::GradientDisabled, &A::SetGradientDisabled, kGDIPGradientNames,
               ggVertical);
    props.Enum("GradientMirrorDisabled", &A::GradientMirrorDisabled, &A::SetGradientMirrorDisabled,
               kGDIPGradientNames, ggVertical);
    props.Color("TextColor", &A::TextColor, &A::SetTextColor, 0xFF0000);
    props.Color("TextColorHot", &A::TextColorHot, &A::SetTextColorHot, 0xFF0000);
    props.Color("TextColorSelected", &A::TextColorSelected, &A::SetTextColorSelected, 0xFF0000);
    props.Color("TextColorDisabled", &A::TextColorDisabled, &A::SetTextColorDisabled, 0xFFFFFF);
    props.Color("ShadowColor", &A::ShadowColor, &A::SetShadowColor, 0xE8C7AE);
    props.Color("HighLightColor", &A::HighLightColor, &A::SetHighLightColor, 0xFFFABF);
    props.Color("HighLightColorHot", &A::HighLightColorHot, &A::SetHighLightColorHot, 0xFDF4ED);
    props.Color("HighLightColorSelected", &A::HighLightColorSelected, &A::SetHighLightColorSelected,
                0x63CCF8);
    props.Color("HighLightColorSelectedHot", &A::HighLightColorSelectedHot, &A::SetHighLightColorSelectedHot,
                0xBDFFFF);
    props.Color("HighLightColorDown", &A::HighLightColorDown, &A::SetHighLightColorDown, 0xFFFBD0);
}

PLAT_PROPERTIES(TTabAppearance) {
    props.Object("BackGround", &TTabAppearance::BackGround, &TTabAppearance::SetBackGround);
}

PLAT_PROPERTIES(TVistaBackground) {
    using V = TVistaBackground;
    props.Color("BorderColor", &V::BorderColor, &V::SetBorderColor, 0x808080);
    props.Color("Color", &V::Color, &V::SetColor, 0xFFFFFF);
    props.Color("ColorTo", &V::ColorTo, &V::SetColorTo, 0xFFFFFF);
    props.Color("ColorMirror", &V::ColorMirror, &V::SetColorMirror, 0xC0C0C0);
    props.Color("ColorMirrorTo", &V::ColorMirrorTo, &V::SetColorMirrorTo, 0xFFFFFF);
    props.Enum("Gradient", &V::Gradient, &V::SetGradient, kGDIPGradientNames, ggVertical);
    props.Enum("GradientMirror", &V::GradientMirror, &V::SetGradientMirror, kGDIPGradientNames, ggVertical);
    props.Integer("Steps", &V::Steps, &V::SetSteps, 64);
}

PLAT_PROPERTIES(TPageButtonSettings) {
    using B = TPageButtonSettings;
    props.Boolean("PageListButton", &B::PageListButton, &B::SetPageListButton, false);
    props.Boolean("CloseButton", &B::CloseButton, &B::SetCloseButton, false);
    props.Object("ScrollButtonNextPicture", &B::ScrollButtonNextPicture, &B::SetScrollButtonNextPicture)
        .Stored(&B::IsNextPictureStored);
    props.Object("ScrollButtonPrevPicture", &B::ScrollButtonPrevPicture, &B::SetScrollButtonPrevPicture)
        .Stored(&B::IsPrevPictureStored);
    props.Object("PageListButtonPicture", &B::PageListButtonPicture, &B::SetPageListButtonPicture)
        .Stored(&B::IsListPictureStored);
    props.Object("CloseButtonPicture", &B::CloseButtonPicture, &B::SetCloseButtonPicture)
        .Stored(&B::IsClosePictureStored);
    props.String("ScrollButtonPrevHint", &B::ScrollButtonPrevHint, &B::ScrollButtonPrevHint, "Previous");
    props.String("ScrollButtonNextHint", &B::ScrollButtonNextHint, &B::ScrollButtonNextHint, "Next");
    props.String("CloseButtonHint", &B::CloseButtonHint, &B::CloseButtonHint, "Close");
    props.String("PageListButtonHint", &B::PageListButtonHint, &B::PageListButtonHint, "Page List");
    props.Boolean("ScrollButtonsAlways", &B::ScrollButtonsAlways, &B::SetScrollButtonsAlways, false);
}

PLAT_PROPERTIES(TKvxOfficePage) {
    using P = TKvxOfficePage;
    props.String("Caption", &P::Caption, &P::SetCaption);
    props.String("WideCaption", &P::WideCaption, &P::SetWideCaption);
    props.Object("Picture", &P::Picture, &P::SetPicture);
    props.Object("DisabledPicture", &P::DisabledPicture, &P::SetDisabledPicture);
    props.Integer("ImageIndex", &P::ImageIndex, &P::SetImageIndex, -1);
    props.String("TabHint", &P::GetTabHint, &P::SetTabHint);
    props.Object("OfficeHint", &P::OfficeHint, &P::SetOfficeHint);
    props.Boolean("TabVisible", &P::TabVisible, &P::SetTabVisible, true);
    props.Boolean("TabEnabled", &P::TabEnabled, &P::SetTabEnabled, true);
    props.Boolean("ShowClose", &P::ShowClose, &P::SetShowClose, true);
    props.Integer("PageIndex", &P::PageIndex, &P::SetPageIndex).Stored(false);
    props.String("ShortCutHint", &P::GetShortCutHint, &P::SetShortCutHint);
    props.Enum("ShortCutHintPos", &P::GetShortCutHintPos, &P::SetShortCutHintPos, kShortCutHintPosNames,
               shpTop);
    props.Object("TabAppearance", &P::TabAppearance, &P::SetTabAppearance);
    props.Boolean("UseTabAppearance", &P::UseTabAppearance, &P::SetUseTabAppearance, false);
    props.Object("PageAppearance", &P::PageAppearance, &P::SetPageAppearance);
    props.Boolean("UsePageAppearance", &P::UsePageAppearance, &P::SetUsePageAppearance, false);
    props.Event("OnShow", &P::OnShow);
    props.Event("OnHide", &P::OnHide);
}

PLAT_PROPERTIES(TKvxOfficePager) {
    using T = TKvxOfficePager;
    props.Component("KvxOfficePagerStyler", &T::KvxOfficePagerStyler, &T::SetKvxOfficePagerStyler);
    props.Component("ActivePage", &T::ActivePage, &T::SetActivePage);
    props.Enum("AntiAlias", &T::AntiAlias, &T::SetAntiAlias, kAntiAliasNames, aaClearType);
    props.Object("ButtonSettings", &T::ButtonSettings, &T::SetButtonSettings);
    props.Boolean("CloseOnTab", &T::CloseOnTab, &T::SetCloseOnTab, false);
    props.Enum("CloseOnTabPosition", &T::CloseOnTabPosition, &T::SetCloseOnTabPosition, kCloseOnTabPosNames,
               cpRight);
    props.Component("DisabledImages", &T::DisabledImages, &T::SetDisabledImages);
    props.Boolean("FreeOnClose", &T::GetFreeOnClose, &T::SetFreeOnClose, false);
    props.Boolean("Glow", &T::GetGlow, &T::SetGlow, true);
    props.Component("Images", &T::Images, &T::SetImages);
    props.Object("OfficeHint", &T::OfficeHint, &T::SetOfficeHint);
    props.Integer("PageMargin", &T::PageMargin, &T::SetPageMargin, 1);
    props.Component("PageListMenu", &T::PageListMenu, &T::SetPageListMenu);
    props.Boolean("RotateTabLeftRight", &T::RotateTabLeftRight, &T::SetRotateTabLeftRight, true);
    props.Boolean("ShowNonSelectedTabs", &T::ShowNonSelectedTabs, &T::SetShowNonSelectedTabs, false);
    props.Boolean("ShowTabHint", &T::GetShowTabHint, &T::SetShowTabHint, false);
    props.Boolean("ShowShortCutHints", &T::GetShowShortCutHints, &T::SetShowShortCutHints).NoDefault();
    props.Enum("TabPosition", &T::TabPosition, &T::SetTabPosition, tabpaint::kTabPositionNames, tpTop);
    props.Boolean("TabReorder", &T::GetTabReorder, &T::SetTabReorder).NoDefault();
    props.Object("TabSettings", &T::TabSettings, &T::SetTabSettings);
    props.String("Version", &T::Version, &T::SetVersion, "1.5.3.0");
    props.Event("OnChanging", &T::OnChanging);
    props.Event("OnChange", &T::OnChange);
    props.Event("OnClosePage", &T::OnClosePage);
    props.Event("OnClosedPage", &T::OnClosedPage);
    props.Event("OnPageListClick", &T::OnPageListClick);
    props.Event("OnTabMoved", &T::OnTabMoved);
    props.Event("OnDrawTab", &T::OnDrawTab);
    props.Event("OnTabClick", &T::OnTabClick);
    props.Event("OnTabDblClick", &T::OnTabDblClick);
    props.Event("OnTabRightClick", &T::OnTabRightClick);
    // After the pictures, whose loading sets the flags: the stored flags win.
    props.Boolean("NextPictureChanged", &T::NextPictureChanged, &T::SetNextPictureChanged).NoDefault();
    props.Boolean("PrevPictureChanged", &T::PrevPictureChanged, &T::SetPrevPictureChanged).NoDefault();
}

namespace {

struct TRegistrar {
    TRegistrar() {
        RegisterClasses({&TCustomKvxOfficePagerStyler::StaticClass(), &TKvxOfficePage::StaticClass(),
                         &TKvxOfficePager::StaticClass()});
    }
} registrar;

constexpr uint32_t kVersionNr = PackVersion(1, 5, 3, 0);
constexpr int kButtonSize = 18;
constexpr int kCloseOnTabSpace = 22;
const TRect kNoRect(-1, -1, -1, -1);

bool IsDesigning(const TComponent* C) {
    return C && (C->ComponentState() & csDesigning) != 0;
}

} // namespace

// ---- TDbgList ------------------------------------------------------------------------------------------

void* TDbgList::Items(int Index) const {
    if (Index >= Count())
        throw EListError("Index out of bounds in list read access");
    if (Index < 0)
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[Index];
}

void TDbgList::SetItems(int Index, void* Item) {
    if (Index >= Count())
        throw EListError("Index out of bounds in list write access");
    if (Index < 0)
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    FItems[Index] = Item;
}

void TDbgList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    FItems.insert(FItems.begin() + Index, Item);
}

void TDbgList::Delete(int Index) {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    FItems.erase(FItems.begin() + Index);
}

void TDbgList::Remove(void* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end())
        FItems.erase(it);
}

void TDbgList::Move(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex)
        return;
    void* item = Items(FromIndex);
    FItems.erase(FItems.begin() + FromIndex);
    Insert(ToIndex, item);
}

int TDbgList::IndexOf(void* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

// ---- Settings and appearances ------------------------------------------------------------------------

void TPagerTabSettings::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TPagerTabSettings*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    SetLeftMargin(src->FLeftMargin);
    SetRightMargin(src->FRightMargin);
    SetStartMargin(src->FStartMargin);
    SetEndMargin(src->FEndMargin);
    SetHeight(src->FHeight);
    SetSpacing(src->FSpacing);
    SetWidth(src->FWidth);
    SetWordWrap(src->FWordWrap);
    SetImagePosition(src->FImagePosition);
    SetShape(src->FShape);
    SetRounding(src->FRounding);
}

void TGradientBackground::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TGradientBackground*>(Source);
    if (!src)
        return;
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FDirection = src->FDirection;
    FSteps = src->FSteps;
}

TCustomTabAppearance::TCustomTabAppearance() : FFont(std::make_unique<TFont>()) {
    FFont->SetName("Tahoma");
    FFont->SetSize(8);
    FFont->SetStyle(0);
}

TCustomTabAppearance::~TCustomTabAppearance() = default;

void TCustomTabAppearance::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TCustomTabAppearance*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FBorderColor = s->FBorderColor;
    FBorderColorHot = s->FBorderColorHot;
    FBorderColorSelected = s->FBorderColorSelected;
    FBorderColorSelectedHot = s->FBorderColorSelectedHot;
    FBorderColorDisabled = s->FBorderColorDisabled;
    FBorderColorDown = s->FBorderColorDown;
    FColor = s->FColor;
    FColorTo = s->FColorTo;
    FColorSelected = s->FColorSelected;
    FColorSelectedTo = s->FColorSelectedTo;
    FColorDisabled = s->FColorDisabled;
    FColorDisabledTo = s->FColorDisabledTo;
    FColorHot = s->FColorHot;
    FColorHotTo = s->FColorHotTo;
    FColorMirror = s->FColorMirror;
    FColorMirrorTo = s->FColorMirrorTo;
    FColorMirrorHot = s->FColorMirrorHot;
    FColorMirrorHotTo = s->FColorMirrorHotTo;
    FColorMirrorSelected = s->FColorMirrorSelected;
    FColorMirrorSelectedTo = s->FColorMirrorSelectedTo;
    FColorMirrorDisabled = s->FColorMirrorDisabled;
    FColorMirrorDisabledTo = s->FColorMirrorDisabledTo;
    FGradient = s->FGradient;
    FGradientMirror = s->FGradientMirror;
    FGradientHot = s->FGradientHot;
    FGradientMirrorHot = s->FGradientMirrorHot;
    FGradientSelected = s->FGradientSelected;
    FGradientMirrorSelected = s->FGradientMirrorSelected;
    FGradientDisabled = s->FGradientDisabled;
    FGradientMirrorDisabled = s->FGradientMirrorDisabled;
    FTextColorSelected = s->FTextColorSelected;
    FTextColorDisabled = s->FTextColorDisabled;
    FShadowColor = s->FShadowColor;
    FHighLightColor = s->FHighLightColor;
    FHighLightColorSelected = s->FHighLightColorSelected;
    FHighLightColorHot = s->FHighLightColorHot;
    FHighLightColorSelectedHot = s->FHighLightColorSelectedHot;
    FHighLightColorDown = s->FHighLightColorDown;
    FFont->Assign(s->FFont.get());
    SetTextColor(s->FTextColor);
    SetTextColorHot(s->FTextColorHot);
}

TTabAppearance::TTabAppearance() : FBackGround(std::make_unique<TGradientBackground>()) {
    FBackGround->OnChange = [this](TObject*) { Changed(); };
}

void TTabAppearance::Assign(TPersistent* Source) {
    TCustomTabAppearance::Assign(Source);
    if (auto* s = dynamic_cast<TTabAppearance*>(Source))
        FBackGround->Assign(s->FBackGround.get());
}

void TVistaBackground::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TVistaBackground*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FSteps = s->FSteps;
    FColor = s->FColor;
    FColorTo = s->FColorTo;
    FColorMirror = s->FColorMirror;
    FColorMirrorTo = s->FColorMirrorTo;
    FBorderColor = s->FBorderColor;
    SetGradient(s->FGradient);
    SetGradientMirror(s->FGradientMirror);
}

// ---- Styler ----------------------------------------------------------------------------------------------

TCustomKvxOfficePagerStyler::TCustomKvxOfficePagerStyler(TComponent* AOwner)
    : TComponent(AOwner), FTabAppearance(std::make_unique<TTabAppearance>()),
      FPageAppearance(std::make_unique<TVistaBackground>()),
      FGlowButtonAppearance(std::make_unique<TGlowButtonAppearance>()) {
    FTabAppearance->OnChange = [this](TObject*) { NotifyStylerClients(scTabAppearance); };
    FPageAppearance->OnChange = [this](TObject*) { NotifyStylerClients(scPageAppearance); };
    FGlowButtonAppearance->OnChange = [this](TObject*) { NotifyStylerClients(scGlowButtons); };
}

TCustomKvxOfficePagerStyler::~TCustomKvxOfficePagerStyler() {
    FDestroying = true;
    // Pagers that still use this styler go back to their internal one, in the designer and at run time
    // alike: a pager must never be left pointing at a freed styler. Each reset unregisters its pager.
    while (FClients.Count() > 0) {
        auto* client = static_cast<TKvxOfficePager*>(FClients.Items(0));
        FClients.Remove(client);
        if (client->KvxOfficePagerStyler() == this && !(client->ComponentState() & csDestroying))
            client->SetKvxOfficePagerStyler(nullptr);
    }
    FTabAppearance->OnChange = nullptr;
    FPageAppearance->OnChange = nullptr;
    FGlowButtonAppearance->OnChange = nullptr;
}

void TCustomKvxOfficePagerStyler::SetRoundedPageCorners(bool Value) {
    FRoundedPageCorners = Value;
    NotifyStylerClients(scPageCorners);
}

void TCustomKvxOfficePagerStyler::RegisterStylerClient(TKvxOfficePager* Client) {
    FClients.Add(Client);
}

void TCustomKvxOfficePagerStyler::UnregisterStylerClient(TKvxOfficePager* Client) {
    FClients.Remove(Client);
}

void TCustomKvxOfficePagerStyler::NotifyStylerClients(int Code) {
    if (FDestroying || (ComponentState() & csDestroying))
        return;
    const int n = FClients.Count();
    // A client may leave the list while it is told; the bounds-tested read then stops the walk early.
    for (int i = 0; i < n && i < FClients.Count(); ++i)
        if (auto* client = static_cast<TKvxOfficePager*>(FClients.Items(i)))
            client->StylerChanged(Code);
}

void TCustomKvxOfficePagerStyler::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TCustomKvxOfficePagerStyler*>(Source);
    if (!src) {
        TComponent::Assign(Source);
        return;
    }
    FTabAppearance->Assign(src->TabAppearance());
    FPageAppearance->Assign(src->PageAppearance());
    SetRoundedPageCorners(src->RoundedPageCorners());
}

void TCustomKvxOfficePagerStyler::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && !FDestroying && !(ComponentState() & csDestroying))
        FClients.Remove(static_cast<void*>(dynamic_cast<TKvxOfficePager*>(AComponent)));
}

// ---- Button settings -------------------------------------------------------------------------------------

TPageButtonSettings::TPageButtonSettings()
    : FNextPicture(std::make_unique<TGDIPPicture>()), FPrevPicture(std::make_unique<TGDIPPicture>()),
      FListPicture(std::make_unique<TGDIPPicture>()), FClosePicture(std::make_unique<TGDIPPicture>()),
      FVerticalNextPicture(std::make_unique<TGDIPPicture>()),
      FVerticalPrevPicture(std::make_unique<TGDIPPicture>()) {
    FNextPicture->LoadFromRCData("KVXAONEXT");
    FPrevPicture->LoadFromRCData("KVXAOPREV");
    FListPicture->LoadFromRCData("KVXAOLIST");
    FClosePicture->LoadFromRCData("KVXAOCLOSE");
    FVerticalNextPicture->LoadFromRCData("KVXAODOWN");
    FVerticalPrevPicture->LoadFromRCData("KVXAOUP");
    FNextPicture->OnChange = [this](TObject*) {
        NextPictureChanged = true;
        Changed();
    };
    FPrevPicture->OnChange = [this](TObject*) {
        PrevPictureChanged = true;
        Changed();
    };
    FListPicture->OnChange = [this](TObject*) { Changed(); };
    FClosePicture->OnChange = [this](TObject*) { Changed(); };
}

TPageButtonSettings::~TPageButtonSettings() {
    for (TGDIPPicture* p : {FNextPicture.get(), FPrevPicture.get(), FListPicture.get(), FClosePicture.get()})
        p->OnChange = nullptr;
}

bool TPageButtonSettings::IsBuiltIn(const TGDIPPicture& Picture, const char* ResName) {
    TGDIPPicture builtIn;
    builtIn.LoadFromRCData(ResName);
    return Picture.Data() == builtIn.Data();
}

void TPageButtonSettings::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TPageButtonSettings*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    SetPageListButton(s->FPageListButton);
    SetCloseButton(s->FCloseButton);
    FNextPicture->Assign(s->FNextPicture.get());
    FPrevPicture->Assign(s->FPrevPicture.get());
    FListPicture->Assign(s->FListPicture.get());
    FClosePicture->Assign(s->FClosePicture.get());
    SetScrollButtonsAlways(s->FScrollButtonsAlways);
}

// ---- The pager: life -------------------------------------------------------------------------------------

TKvxOfficePager::TKvxOfficePager(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle((ControlStyle() | csAcceptsControls) & ~csOpaque);
    FInternalStyler = new TCustomKvxOfficePagerStyler(this);
    FInternalStyler->SetName("InternalStyler");
    {
        TKvxOfficePagerOfficeStyler preset(nullptr);
        preset.SetStyle(psOffice2007Luna);
        // The copy leaves the glow button colours at their defaults.
        FInternalStyler->Assign(&preset);
    }
    FCurrentStyler = FInternalStyler;
    FTabSettings = std::make_unique<TPagerTabSettings>();
    FTabSettings->OnChange = [this](TObject* s) { TabSettingsChanged(s); };
    FButtonSettings = std::make_unique<TPageButtonSettings>();
    FButtonSettings->OnChange = [this](TObject* s) { ButtonSettingsChanged(s); };
    FOfficeHint = std::make_unique<TKvxHintInfo>();
    SetBounds(Left(), Top(), 400, 200);
    SetDoubleBuffered(true);
    SetShowHint(false);
    SetTabStop(false);
}

TKvxOfficePager::~TKvxOfficePager() {
    BeforeDestruction();
}

void TKvxOfficePager::BeforeDestruction() {
    // Before the owned components go: the styler, the key-tip windows and the pages' links.
    UnhookForm();
    for (int i = 0; i < FPages.Count(); ++i) {
        TKvxOfficePage* page = Pages(i);
        page->HideShortCutHint();
        page->FreeGlowTimer();
        page->FPager = nullptr;
    }
    FPages = TDbgList();
    FActivePageIndex = -1;
    if (FPagerStyler)
        std::exchange(FPagerStyler, nullptr)->UnregisterStylerClient(this);
    FCurrentStyler = FInternalStyler;
    if (FTabSettings)
        FTabSettings->OnChange = nullptr;
    if (FButtonSettings)
        FButtonSettings->OnChange = nullptr;
    TCustomControl::BeforeDestruction();
}

bool TKvxOfficePager::Designing() const {
    return IsDesigning(this);
}

void TKvxOfficePager::Loaded() {
    TCustomControl::Loaded();
    FLoaded = true;
    UpdateTabButtons();
}

void TKvxOfficePager::SetParent(TWinControl* NewParent) {
    if (dynamic_cast<TKvxOfficePager*>(NewParent))
        throw Exception("Invalid Parent");
    TCustomControl::SetParent(NewParent);
    if (NewParent && !FLoaded && !(ComponentState() & (csLoading | csReading | csDesigning))) {
        FLoaded = true;
        UpdateTabButtons();
    }
}

void TKvxOfficePager::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (int i = 0; i < FPages.Count(); ++i)
        Proc(Pages(i));
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Owner() == Root && !dynamic_cast<TKvxOfficePage*>(c))
            Proc(c);
    }
}

void TKvxOfficePager::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove || (ComponentState() & csDestroying))
        return;
    if (AComponent == FPagerStyler)
        SetKvxOfficePagerStyler(nullptr);
    if (AComponent == FInternalStyler)
        FInternalStyler = nullptr;
    if (AComponent == PopupMenu())
        SetPopupMenu(nullptr);
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FDisabledImages)
        FDisabledImages = nullptr;
    if (AComponent == FPageListMenu)
        FPageListMenu = nullptr;
    if (AComponent == FCloseButton)
        FCloseButton = nullptr;
    if (AComponent == FPageListButton)
        FPageListButton = nullptr;
    if (AComponent == FScrollPrevButton)
        FScrollPrevButton = nullptr;
    if (AComponent == FScrollNextButton)
        FScrollNextButton = nullptr;
    if (AComponent == FHookedForm) {
        FHookedForm = nullptr;
        FSavedFormWindowProc = nullptr;
    }
    auto w = std::find(FShortCutHintWindows.begin(), FShortCutHintWindows.end(), AComponent);
    if (w != FShortCutHintWindows.end())
        FShortCutHintWindows.erase(w);
}

std::string TKvxOfficePager::Version() const {
    return VersionText(GetVersionNr());
}

uint32_t TKvxOfficePager::GetVersionNr() const {
    return kVersionNr;
}

// ---- Properties ----------------------------------------------------------------------------------------

void TKvxOfficePager::SetKvxOfficePagerStyler(TCustomKvxOfficePagerStyler* Value) {
    if (Value == FPagerStyler && Value)
        return;
    if (FPagerStyler && FPagerStyler != FInternalStyler) {
        FPagerStyler->UnregisterStylerClient(this);
        FPagerStyler->RemoveFreeNotification(this);
    }
    FPagerStyler = Value;
    FCurrentStyler = Value ? Value : FInternalStyler;
    if (Value) {
        Value->RegisterStylerClient(this);
        Value->FreeNotification(this);
    }
    if (!(ComponentState() & (csDestroying | csLoading)))
        for (int i = 0; i < FPages.Count(); ++i)
            Pages(i)->Invalidate();
    StylerChanged(0);
    Invalidate();
}

TKvxOfficePage* TKvxOfficePager::ActivePage() const {
    if (FActivePageIndex < 0 || FActivePageIndex >= FPages.Count())
        return nullptr;
    return Pages(FActivePageIndex);
}

void TKvxOfficePager::SetActivePage(TKvxOfficePage* Value) {
    const int i = IndexOfPage(Value);
    if (i >= 0)
        SetActivePageIndex(i);
}

void TKvxOfficePager::RepaintActivePage() {
    if (TKvxOfficePage* p = ActivePage())
        p->Invalidate();
}

void TKvxOfficePager::SetAntiAlias(TAntiAlias Value) {
    FAntiAlias = Value;
    Invalidate();
}

void TKvxOfficePager::SetButtonSettings(TPageButtonSettings* Value) {
    FButtonSettings->Assign(Value);
    Invalidate();
    RepaintActivePage();
}

void TKvxOfficePager::SetCloseOnTab(bool Value) {
    if (FCloseOnTab == Value)
        return;
    FCloseOnTab = Value;
    UpdateTabScroller();
    Invalidate();
    RepaintActivePage();
}

void TKvxOfficePager::SetCloseOnTabPosition(TCloseOnTabPos Value) {
    if (FCloseOnTabPosition == Value)
        return;
    FCloseOnTabPosition = Value;
    UpdateTabButtons();
    RepaintActivePage();
    Invalidate();
}

void TKvxOfficePager::SetDisabledImages(TCustomImageList* Value) {
    FDisabledImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
    RepaintActivePage();
}

void TKvxOfficePager::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
    RepaintActivePage();
}

void TKvxOfficePager::SetPageMargin(int Value) {
    if (FPageMargin == Value)
        return;
    FPageMargin = Value;
    UpdateTabScroller();
    Invalidate();
}

void TKvxOfficePager::SetPageListMenu(TPopupMenu* Value) {
    FPageListMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TKvxOfficePager::SetRotateTabLeftRight(bool Value) {
    if (FRotateTabLeftRight == Value)
        return;
    FRotateTabLeftRight = Value;
    UpdateTabScroller();
    Invalidate();
    RepaintActivePage();
}

void TKvxOfficePager::SetShowNonSelectedTabs(bool Value) {
    FShowNonSelectedTabs = Value;
    InvalidateTab(-1);
}

void TKvxOfficePager::SetTabPosition(TTabPosition Value) {
    if (FTabPosition == Value)
        return;
    FTabPosition = Value;
    UpdatePageBounds();
    UpdateTabScroller();
    Invalidate();
    RepaintActivePage();
}

void TKvxOfficePager::TabSettingsChanged(TObject*) {
    UpdatePageBounds();
    UpdateTabButtons();
    UpdateTabScroller();
    Invalidate();
    RepaintActivePage();
}

void TKvxOfficePager::ButtonSettingsChanged(TObject*) {
    UpdateTabScroller();
    Invalidate();
    RepaintActivePage();
}

void TKvxOfficePager::StylerChanged(int Code) {
    if (!FCurrentStyler)
        return;
    if (Designing())
        for (int i = 0; i < FPages.Count(); ++i) {
            TKvxOfficePage* p = Pages(i);
            if (!p->UsePageAppearance())
                p->PageAppearance()->Assign(FCurrentStyler->PageAppearance());
            if (!p->UseTabAppearance())
                p->TabAppearance()->Assign(FCurrentStyler->TabAppearance());
        }
    Invalidate();
    RepaintActivePage();
    if (Code == scPageAppearance || Code == scGlowButtons)
        UpdateTabButtons();
}

// ---- Pages ---------------------------------------------------------------------------------------------

int TKvxOfficePager::AddPage(TKvxOfficePage* Page) {
    if (!Page)
        return -1;
    if (IndexOfPage(Page) < 0) {
        FPages.Add(Page);
        if (Designing() && FPagerStyler) {
            if (!Page->UsePageAppearance())
                Page->PageAppearance()->Assign(FPagerStyler->PageAppearance());
            if (!Page->UseTabAppearance())
                Page->TabAppearance()->Assign(FPagerStyler->TabAppearance());
        }
    }
    Page->FPager = this;
    if (Page->Parent() != this) {
        const TemporaryChange guard(Page->FReparentGuard, true);
        Page->TCustomControl::SetParent(this);
    }
    SetPageBounds(Page);
    if (Page != ActivePage())
        Page->SetVisible(false);
    InvalidateTab(-1);
    if (TKvxOfficePage* a = ActivePage()) {
        a->BringToFront();
        a->Invalidate();
    }
    UpdateTabScroller();
    return IndexOfPage(Page);
}

void TKvxOfficePager::RemovePage(TKvxOfficePage* Page) {
    const int i = IndexOfPage(Page);
    if (i < 0)
        return;
    if (i == FActivePageIndex)
        SelectNextPage(true);
    // The page to keep selected is an object, not an index: the list shifts under the index when the
    // entry goes, and the page picked above may lie on either side of the removed one.
    TKvxOfficePage* keep = ActivePage();
    if (keep == Page)
        keep = nullptr;
    FPages.Delete(i);
    Page->FPager = nullptr;
    const int keepIndex = keep ? IndexOfPage(keep) : -1;
    if (keepIndex != FActivePageIndex) {
        if (keepIndex < 0)
            FActivePageIndex = -1;
        else
            SetActivePageIndex(keepIndex);
    }
    if (!(ComponentState() & csDestroying)) {
        UpdateTabButtons();
        UpdateTabScroller();
    }
    InvalidateTab(-1);
    Invalidate();
    RepaintActivePage();
}

void TKvxOfficePager::MovePage(int FromIndex, int ToIndex) {
    if (FromIndex < 0 || FromIndex >= PageCount() || ToIndex < 0 || ToIndex >= PageCount())
        return;
    TKvxOfficePage* active = ActivePage();
    FPages.Move(FromIndex, ToIndex);
    if (active)
        SetActivePageIndex(IndexOfPage(active));
    UpdateTabScroller();
    if (OnTabMoved)
        OnTabMoved(this, FromIndex, ToIndex);
}

// ---- Selection -------------------------------------------------------------------------------------------

void TKvxOfficePager::SelectPageIndex(int Index) {
    if (Index < 0 || Index >= PageCount())
        return;
    if (Index == FActivePageIndex && PageCount() > 1)
        return;
    HideShortCutHints();
    bool allow = true;
    if (OnChanging && FLoaded && !(ComponentState() & csDestroying))
        OnChanging(this, FActivePageIndex, Index, allow);
    if (!allow)
        return;
    // After a removal or a move the stored index may name a page that was never shown: only the page
    // that really goes out of sight hears of it.
    if (FActivePageIndex >= 0 && FActivePageIndex < PageCount() && Pages(FActivePageIndex)->Visible()) {
        TKvxOfficePage* old = Pages(FActivePageIndex);
        old->SetVisible(false);
        if (old->OnHide)
            old->OnHide(old);
    }
    FActivePageIndex = Index;
    TKvxOfficePage* page = Pages(Index);
    page->SetVisible(true);
    page->BringToFront();
    if (OnChange && !(ComponentState() & (csDestroying | csLoading)))
        OnChange(this);
    UpdateTabButtons();
}

void TKvxOfficePager::SetActivePageIndex(int Index) {
    if (Index >= 0 && Index < PageCount() && GetTabRect(Index).Left == -1) {
        int before = 0;
        for (int i = 0; i < Index; ++i)
            if (IsTabVisible(i))
                ++before;
        FScroller.SetPosition(std::min(before, FScroller.Max()));
    }
    SelectPageIndex(Index);
    if (HandleAllocated()) {
        const TRect band = GetTabsBandRect();
        InvalidateRect(Handle(), &band, true);
    }
}

void TKvxOfficePager::SelectNextPage(bool GoForward) {
    if (FActivePageIndex < 0 || PageCount() == 0)
        return;
    int i = std::min(FActivePageIndex, PageCount() - 1);
    for (int n = 0; n < PageCount(); ++n) {
        i = GoForward ? (i + 1) % PageCount() : (i + PageCount() - 1) % PageCount();
        if (i != FActivePageIndex && Pages(i)->TabVisible() && Pages(i)->TabEnabled()) {
            SetActivePageIndex(i);
            return;
        }
    }
}

int TKvxOfficePager::VisibleTabCount() const {
    int n = 0;
    for (int i = 0; i < PageCount(); ++i)
        if (Pages(i)->TabVisible())
            ++n;
    return n;
}

bool TKvxOfficePager::IsTabVisible(int Index) const {
    return Index >= 0 && Index < PageCount() && Pages(Index)->TabVisible();
}

bool TKvxOfficePager::ActiveTabShowsClose() const {
    TKvxOfficePage* a = ActivePage();
    return FButtonSettings->CloseButton() && (!a || a->ShowClose());
}

int TKvxOfficePager::TabNeighbourSide(int Index) const {
    if (Index < 0 || Index >= PageCount() || Index == FActivePageIndex || FActivePageIndex < 0)
        return 0;
    for (int i = FActivePageIndex - 1; i >= 0; --i)
        if (IsTabVisible(i)) {
            if (i == Index)
                return -1;
            break;
        }
    for (int j = FActivePageIndex + 1; j < PageCount(); ++j)
        if (IsTabVisible(j))
            return j == Index ? 1 : 0;
    return 0;
}

// ---- Geometry --------------------------------------------------------------------------------------------

bool TKvxOfficePager::Horizontal() const {
    return FTabPosition == tpTop || FTabPosition == tpBottom;
}

bool TKvxOfficePager::RotatedSide() const {
    return !Horizontal() && FRotateTabLeftRight;
}

bool TKvxOfficePager::UnrotatedSide() const {
    return !Horizontal() && !FRotateTabLeftRight;
}

TRect TKvxOfficePager::GetTabsBandRect() const {
    const int W = Width(), H = Height(), TH = FTabSettings->Height();
    switch (FTabPosition) {
    case tpTop:
        return TRect(0, 0, W, TH);
    case tpBottom:
        return TRect(0, H - TH, W, H);
    case tpLeft:
        return TRect(0, 0, TH, H);
    case tpRight:
        return TRect(W - TH, 0, W, H);
    }
    return kNoRect;
}

TRect TKvxOfficePager::GetPageRect() const {
    const int W = Width(), H = Height(), TH = FTabSettings->Height(), M = FPageMargin;
    switch (FTabPosition) {
    case tpTop:
        return TRect(M, TH, W - M, H - M - 1);
    case tpBottom:
        return TRect(M, M + 1, W - M, H - TH);
    case tpLeft:
        return TRect(TH, M + 1, W - M, H - M - 1);
    case tpRight:
        return TRect(M, M + 1, W - TH, H - M - 1);
    }
    return kNoRect;
}

TRect TKvxOfficePager::GetButtonsRect() const {
    const int W = Width(), H = Height(), TH = FTabSettings->Height(), O = FTabOffset;
    int extent = 3;
    if (FScroller.Visible())
        extent += 41;
    if (FButtonSettings->PageListButton())
        extent += 21;
    if (FButtonSettings->CloseButton() && !FCloseOnTab)
        extent += 21;
    const int far = (Horizontal() ? W : H) - FTabSettings->EndMargin() - FPageMargin - 3;
    const int nearEnd = far - extent;
    switch (FTabPosition) {
    case tpTop:
        return TRect(nearEnd, O + TH - 26, far, O + TH);
    case tpBottom:
        return TRect(nearEnd, H - TH - O, far, H - TH - O + 26);
    case tpLeft:
        return TRect(O + TH - 26, nearEnd, O + TH, far);
    case tpRight:
        return TRect(W - TH - O, nearEnd, W - TH - O + 26, far);
    }
    return kNoRect;
}

TRect TKvxOfficePager::GetTabsRect() const {
    const int W = Width(), H = Height(), TH = FTabSettings->Height(), O = FTabOffset;
    const int start = FTabSettings->StartMargin() + FPageMargin;
    const TRect b = GetButtonsRect();
    switch (FTabPosition) {
    case tpTop:
        return TRect(start, O, b.Left, O + TH);
    case tpBottom:
        return TRect(start, H - TH - O, b.Left, H - O);
    case tpLeft:
        return TRect(O, start, O + TH, b.Top);
    case tpRight:
        return TRect(W - TH - O, start, W - O, b.Top);
    }
    return kNoRect;
}

namespace {

// An 18-pixel button at Start along the band, across it as the buttons area dictates.
TRect ButtonAt(const TRect& B, TTabPosition P, int Start) {
    switch (P) {
    case tpTop:
        return TRect(Start, B.Bottom - 5 - kButtonSize, Start + kButtonSize, B.Bottom - 5);
    case tpBottom:
        return TRect(Start, B.Top + 5, Start + kButtonSize, B.Top + 5 + kButtonSize);
    case tpLeft:
        return TRect(B.Right - 5 - kButtonSize, Start, B.Right - 5, Start + kButtonSize);
    case tpRight:
        return TRect(B.Left + 5, Start, B.Left + 5 + kButtonSize, Start + kButtonSize);
    }
    return kNoRect;
}

} // namespace

TRect TKvxOfficePager::GetScrollButtonsRect() const {
    if (!FScroller.Visible())
        return kNoRect;
    const TRect b = GetButtonsRect();
    TRect r = ButtonAt(b, FTabPosition, Horizontal() ? b.Left : b.Top);
    (Horizontal() ? r.Right : r.Bottom) += 44 - kButtonSize;
    return r;
}

TRect TKvxOfficePager::GetScrollPrevButtonRect() const {
    if (!FScroller.Visible())
        return kNoRect;
    const TRect s = GetScrollButtonsRect();
    return ButtonAt(GetButtonsRect(), FTabPosition, (Horizontal() ? s.Left : s.Top) + 3);
}

TRect TKvxOfficePager::GetScrollNextButtonRect() const {
    if (!FScroller.Visible())
        return kNoRect;
    const TRect p = GetScrollPrevButtonRect();
    return ButtonAt(GetButtonsRect(), FTabPosition, (Horizontal() ? p.Right : p.Bottom) + 2);
}

TRect TKvxOfficePager::GetPageListButtonRect() const {
    if (!FButtonSettings->PageListButton())
        return kNoRect;
    const TRect b = GetButtonsRect();
    if (FScroller.Visible()) {
        const TRect n = GetScrollNextButtonRect();
        return ButtonAt(b, FTabPosition, (Horizontal() ? n.Right : n.Bottom) + 3);
    }
    return ButtonAt(b, FTabPosition, (Horizontal() ? b.Left : b.Top) + 3);
}

TRect TKvxOfficePager::GetCloseButtonRect() const {
    if (!FButtonSettings->CloseButton())
        return kNoRect;
    const TRect b = GetButtonsRect();
    if (!FCloseOnTab) {
        if (FButtonSettings->PageListButton()) {
            const TRect l = GetPageListButtonRect();
            return ButtonAt(b, FTabPosition, (Horizontal() ? l.Right : l.Bottom) + 2);
        }
        if (FScroller.Visible()) {
            const TRect n = GetScrollNextButtonRect();
            return ButtonAt(b, FTabPosition, (Horizontal() ? n.Right : n.Bottom) + 3);
        }
        return ButtonAt(b, FTabPosition, (Horizontal() ? b.Left : b.Top) + 3);
    }
    if (FActivePageIndex < 0)
        return kNoRect;
    const TRect t = GetTabRect(FActivePageIndex);
    if (t.Left == -1)
        return kNoRect;
    const bool left = FCloseOnTabPosition == cpLeft;
    const int L = GetLeftRoundingSpace(), R = GetRightRoundingSpace();
    TRect r;
    switch (FTabPosition) {
    case tpTop:
    case tpBottom:
        r.Left = left ? t.Left + 4 + L : t.Right - 22 - R;
        r.Right = r.Left + kButtonSize;
        if (FTabPosition == tpTop)
            r.Bottom = t.Bottom - 5, r.Top = r.Bottom - kButtonSize;
        else
            r.Top = t.Top + 5, r.Bottom = r.Top + kButtonSize;
        return r;
    case tpLeft:
        if (FRotateTabLeftRight) {
            r.Top = left ? t.Bottom - 22 - L : t.Top + 4 + R;
            r.Right = t.Right - 5;
        } else {
            r.Left = left ? t.Left + 4 : t.Right - 23;
            r.Top = t.Top + (t.Height() - kButtonSize) / 2;
            return TRect(r.Left, r.Top, r.Left + kButtonSize, r.Top + kButtonSize);
        }
        return TRect(r.Right - kButtonSize, r.Top, r.Right, r.Top + kButtonSize);
    case tpRight:
        if (FRotateTabLeftRight) {
            r.Bottom = left ? t.Top + 22 + L : t.Bottom - 4 - R;
            r.Left = t.Left + 5;
            return TRect(r.Left, r.Bottom - kButtonSize, r.Left + kButtonSize, r.Bottom);
        }
        r.Left = left ? t.Left + 5 : t.Right - 21;
        r.Top = t.Top + (t.Height() - kButtonSize) / 2;
        return TRect(r.Left, r.Top, r.Left + kButtonSize, r.Top + kButtonSize);
    }
    return kNoRect;
}

bool TKvxOfficePager::HasPlainTabShape() const {
    return (FTabSettings->Shape() == tsRectangle && FTabSettings->Rounding() == 1) ||
           (UnrotatedSide() && FTabSettings->Rounding() == 1);
}

int TKvxOfficePager::GetLeftRoundingSpace() const {
    const TKvxTabShape s = FTabSettings->Shape();
    if ((s == tsLeftRamp || s == tsLeftRightRamp) && !HasPlainTabShape() && !UnrotatedSide())
        return FTabSettings->Rounding() * 2 + 5;
    return 0;
}

int TKvxOfficePager::GetRightRoundingSpace() const {
    const TKvxTabShape s = FTabSettings->Shape();
    if ((s == tsRightRamp || s == tsLeftRightRamp) && !HasPlainTabShape() && !UnrotatedSide())
        return FTabSettings->Rounding() * 2 + 5;
    return 0;
}

int TKvxOfficePager::TabExtent(int Index) const {
    TKvxOfficePage* page = Pages(Index);
    int tw = 0, th = 0;
    if (!page->Caption().empty() || !page->WideCaption().empty()) {
        if (!FMeasureBitmap) {
            FMeasureBitmap = std::make_unique<TBitmap>();
            FMeasureBitmap->SetSize(1, 1);
        }
        TCanvas* canvas = FMeasureBitmap->Canvas();
        canvas->Font()->Assign(FCurrentStyler->TabAppearance()->Font());
        TRect r(0, 0, 1000, 100);
        const std::string text = !page->Caption().empty() ? page->Caption() : page->WideCaption();
        canvas->TextRect(r, text, DT_CALCRECT | DT_SINGLELINE);
        tw = r.Width();
        th = r.Height();
    }
    int iw = 0, ih = 0;
    TGDIPPicture* pic =
        page->Enabled() || page->DisabledPicture()->Empty() ? page->Picture() : page->DisabledPicture();
    if (!pic->Empty() && pic->MeasureImage()) {
        iw = pic->Width();
        ih = pic->Height();
    } else if ((FImages || FDisabledImages) && page->ImageIndex() >= 0) {
        TCustomImageList* list = page->Enabled() ? FImages : (FDisabledImages ? FDisabledImages : FImages);
        if (list) {
            iw = list->Width();
            ih = list->Height();
        }
    }
    const TImagePosition ip = FTabSettings->ImagePosition();
    const bool closeOnTab = FButtonSettings->CloseButton() && FCloseOnTab && page->ShowClose();
    if (Horizontal()) {
        int len = GetLeftRoundingSpace() + FTabSettings->LeftMargin() + tw + 5 + FTabSettings->RightMargin() +
                  GetRightRoundingSpace();
        if (ip == ipLeft || ip == ipRight)
            len += iw + 2;
        if (closeOnTab)
            len += kCloseOnTabSpace;
        return FTabSettings->Width() > 0 ? FTabSettings->Width() : len;
    }
    int len = FTabSettings->LeftMargin() + tw + 5 + FTabSettings->RightMargin();
    int breadth = th;
    if (ip == ipLeft || ip == ipRight) {
        len += iw + 2;
        breadth = std::max(th, ih);
    } else {
        breadth += ih + 2;
    }
    breadth += 12;
    if (FRotateTabLeftRight) {
        len += GetLeftRoundingSpace() + GetRightRoundingSpace();
        if (closeOnTab)
            len += kCloseOnTabSpace;
        return FTabSettings->Width() > 0 ? FTabSettings->Width() : len;
    }
    return FTabSettings->Width() > 0 ? FTabSettings->Width() : breadth;
}

void TKvxOfficePager::CalcTabRect(int FromIndex, int ToIndex, TRect& R, bool UseScroll) const {
    R = kNoRect;
    if (!IsTabVisible(ToIndex) || FromIndex < 0)
        return;
    TRect a = GetTabsRect();
    const bool horz = Horizontal();
    if (FScrollMode)
        (horz ? a.Right : a.Bottom) = horz ? Width() : Height();
    int& nearEnd = horz ? a.Left : a.Top;
    const int farEnd = horz ? a.Right : a.Bottom;
    int counter = 0;
    for (int i = FromIndex; i <= ToIndex; ++i) {
        if (!IsTabVisible(i))
            continue;
        const int extent = TabExtent(i);
        if (nearEnd + extent > farEnd - FPageMargin) {
            if (!UseScroll)
                return;
            if (FScroller.Visible() && i == ToIndex && FScroller.Position() != ToIndex)
                return;
        }
        if (UseScroll && FScroller.Visible() && counter < FScroller.Position()) {
            ++counter;
            continue;
        }
        if (i == ToIndex) {
            R = horz ? TRect(nearEnd, a.Top, nearEnd + extent, a.Bottom)
                     : TRect(a.Left, nearEnd, a.Right, nearEnd + extent);
            return;
        }
        nearEnd += extent + FTabSettings->Spacing();
        ++counter;
    }
}

TRect TKvxOfficePager::GetTabRect(int Index) const {
    TRect r;
    CalcTabRect(0, Index, r, true);
    return r;
}

int TKvxOfficePager::TabAtPos(int X, int Y) const {
    for (int i = 0; i < PageCount(); ++i) {
        const TRect r = GetTabRect(i);
        if (r.Left != -1 && r.Contains(TPoint(X, Y)))
            return i;
    }
    return -1;
}

void TKvxOfficePager::InvalidateTab(int Index) {
    if (!HandleAllocated())
        return;
    TRect r = Index >= 0 && Index < PageCount() ? GetTabRect(Index) : GetTabsBandRect();
    if (r.Left == -1)
        r = GetTabsBandRect();
    InvalidateRect(Handle(), &r, true);
}

void TKvxOfficePager::SetPageBounds(TKvxOfficePage* Page) {
    if (IndexOfPage(Page) < 0)
        return;
    Page->SetBoundsRect(GetPageRect());
}

void TKvxOfficePager::UpdatePageBounds() {
    for (int i = 0; i < PageCount(); ++i)
        SetPageBounds(Pages(i));
}

void TKvxOfficePager::AlignControls(TControl* AControl, TRect& Rect) {
    TCustomControl::AlignControls(AControl, Rect);
    UpdatePageBounds();
}

// ---- Scrolling -------------------------------------------------------------------------------------------

int TKvxOfficePager::CalcScrollMax(bool& Fits) {
    int last = -1;
    for (int i = PageCount() - 1; i >= 0 && last < 0; --i)
        if (IsTabVisible(i))
            last = i;
    if (last <= 0)
        return 0;
    // Counts the visible tabs that must scroll out before the last one fits: hidden tabs take no room,
    // so they are not counted, and Position keeps meaning "visible tabs scrolled out".
    int count = 0;
    for (int j = 0; j < PageCount(); ++j) {
        TRect r;
        CalcTabRect(j, last, r, false);
        if (r.Left > -1 && r.Right > -1) {
            Fits = true;
            return count;
        }
        if (IsTabVisible(j))
            ++count;
        FScroller.SetVisible(true);
    }
    return 0;
}

void TKvxOfficePager::UpdateTabScroller() {
    if (!FButtonSettings || !FTabSettings)
        return;
    FScrollMode = false;
    if (!FButtonSettings->ScrollButtonsAlways())
        FScroller.SetVisible(false);
    FScroller.SetMin(0);
    bool fits = false;
    FScroller.SetMax(CalcScrollMax(fits));
    if (FScroller.Max() == 0 && !fits) {
        FScrollMode = true;
        FScroller.SetMax(CalcScrollMax(fits));
        if (FScroller.Max() == 0)
            FScroller.SetMax(std::max(0, VisibleTabCount() - 1));
    } else if (fits) {
        if (FScroller.Position() > FScroller.Max())
            FScroller.SetPosition(FScroller.Max());
        // The first tab shown is the Position-th visible one.
        int first = -1, seen = 0;
        for (int i = 0; i < PageCount() && first < 0; ++i)
            if (IsTabVisible(i) && seen++ == FScroller.Position())
                first = i;
        if (first >= 0 && GetTabRect(first).Right == -1 && FScroller.Position() > 0) {
            FScrollMode = true;
            FScroller.SetMax(CalcScrollMax(fits));
            if (FScroller.Max() == 0)
                FScrollMode = false;
        }
    }
    FScroller.SetVisible(FScroller.Min() < FScroller.Max() || FButtonSettings->ScrollButtonsAlways());
    if (FScroller.Position() > FScroller.Max())
        FScroller.SetPosition(FScroller.Max());
    UpdateTabButtons();
}

void TKvxOfficePager::ScrollTabsBack() {
    if (!FScroller.Visible() || !FScroller.CanGoBack())
        return;
    FScroller.SetPosition(FScroller.Position() - 1);
    InvalidateTab(-1);
    RepaintActivePage();
}

void TKvxOfficePager::ScrollTabsForward() {
    if (!FScroller.Visible() || !FScroller.CanGoForward())
        return;
    FScroller.SetPosition(FScroller.Position() + 1);
    InvalidateTab(-1);
    RepaintActivePage();
}

// ---- Glow buttons ----------------------------------------------------------------------------------------

TKvxGlowButton* TKvxOfficePager::MakeButton(TKvxGlowButton*& Button, TNotifyEvent Click) {
    if (!Button) {
        Button = new TKvxGlowButton(this);
        Button->SetParent(this);
        Button->OnClick = std::move(Click);
    }
    Button->Appearance()->Assign(FCurrentStyler->GlowButtonAppearance());
    Button->SetShowHint(true);
    return Button;
}

void TKvxOfficePager::UpdateTabButtons() {
    if ((!FLoaded && !Designing()) || !FButtonSettings || !FCurrentStyler)
        return;
    auto drop = [](TKvxGlowButton*& b) {
        if (TKvxGlowButton* old = std::exchange(b, nullptr))
            old->Free();
    };
    const bool anyTab = VisibleTabCount() > 0;
    if (FButtonSettings->CloseButton() && (ActiveTabShowsClose() || !FCloseOnTab)) {
        TKvxGlowButton* b = MakeButton(FCloseButton, [this](TObject* s) { CloseButtonClick(s); });
        b->SetBoundsRect(GetCloseButtonRect());
        b->SetPicture(FButtonSettings->CloseButtonPicture());
        b->SetHint(FButtonSettings->CloseButtonHint);
        b->SetEnabled(anyTab && (FCloseOnTab || ActiveTabShowsClose()));
    } else {
        drop(FCloseButton);
    }
    if (FButtonSettings->PageListButton()) {
        TKvxGlowButton* b = MakeButton(FPageListButton, [this](TObject* s) { PageListButtonClick(s); });
        b->SetBoundsRect(GetPageListButtonRect());
        b->SetPicture(FButtonSettings->PageListButtonPicture());
        b->SetHint(FButtonSettings->PageListButtonHint);
        b->SetEnabled(anyTab);
    } else {
        drop(FPageListButton);
    }
    if (!FScroller.Visible()) {
        drop(FScrollPrevButton);
        drop(FScrollNextButton);
        return;
    }
    const bool side = !Horizontal();
    TKvxGlowButton* prev = MakeButton(FScrollPrevButton, [this](TObject*) {
        ScrollTabsBack();
        UpdateTabButtons();
    });
    prev->SetBoundsRect(GetScrollPrevButtonRect());
    prev->SetPicture(side && !FButtonSettings->PrevPictureChanged
                         ? FButtonSettings->VerticalPrevPicture()
                         : FButtonSettings->ScrollButtonPrevPicture());
    prev->SetHint(FButtonSettings->ScrollButtonPrevHint);
    prev->SetEnabled(FScroller.CanGoBack());
    prev->SetRepeatClick(true);
    TKvxGlowButton* next = MakeButton(FScrollNextButton, [this](TObject*) {
        ScrollTabsForward();
        UpdateTabButtons();
    });
    next->SetBoundsRect(GetScrollNextButtonRect());
    next->SetPicture(side && !FButtonSettings->NextPictureChanged
                         ? FButtonSettings->VerticalNextPicture()
                         : FButtonSettings->ScrollButtonNextPicture());
    next->SetHint(FButtonSettings->ScrollButtonNextHint);
    next->SetEnabled(FScroller.CanGoForward());
    next->SetRepeatClick(true);
}

void TKvxOfficePager::CloseButtonClick(TObject*) {
    if (!ActivePage() || FClosingPage)
        return;
    FClosingPage = true;
    const ScopeGuard clear([this] { FClosingPage = false; });
    bool allow = true;
    if (OnClosePage)
        OnClosePage(this, FActivePageIndex, allow);
    if (!allow)
        return;
    TKvxOfficePage* closed = ActivePage();
    closed->FreeGlowTimer();
    const int closedIndex = FActivePageIndex;
    SelectNextPage(true);
    TKvxOfficePage* next = ActivePage();
    // With no other page to go to, the closed one is still "next"; it must not come back once freed.
    if (next == closed)
        next = nullptr;
    InvalidateTab(-1);
    if (FreeOnClose) {
        delete closed;
        FActivePageIndex = -1;
        if (next)
            SetActivePage(next);
    } else {
        closed->SetTabVisible(false);
        closed->SetVisible(false);
    }
    UpdateTabScroller();
    if (TKvxOfficePage* a = ActivePage())
        a->Invalidate();
    else
        Invalidate();
    if (OnClosedPage)
        OnClosedPage(this, closedIndex);
}

void TKvxOfficePager::PageListButtonClick(TObject*) {
    if (!FPageListMenu || !FButtonSettings->PageListButton())
        return;
    FPageListMenu->Items()->Clear();
    int count = 0;
    for (int i = 0; i < PageCount(); ++i) {
        TKvxOfficePage* page = Pages(i);
        if (!page->TabVisible())
            continue;
        auto* item = new TMenuItem(this);
        item->SetCaption(page->Caption());
        item->SetRadioItem(true);
        item->SetChecked(i == FActivePageIndex);
        item->SetTag(i);
        item->OnClick = [this](TObject* s) { PageListItemClick(s); };
        FPageListMenu->Items()->Add(item);
        ++count;
    }
    if (!FPageListButton)
        return;
    TRect r = GetPageListButtonRect();
    OffsetRect(r, Left(), Top());
    TPoint p = Horizontal() ? TPoint(r.Left, r.Bottom) : TPoint(r.Right, r.Top);
    p = Parent() ? Parent()->ClientToScreen(p) : ClientToScreen(TPoint(p.X - Left(), p.Y - Top()));
    if (FTabPosition == tpBottom) {
        const int menuH = GetSystemMetrics(SM_CYMENU) * count;
        if (Screen && menuH + p.Y + 10 > Screen->Height())
            p.Y -= menuH + FPageListButton->Height() + 4;
    }
    if (OnPageListClick)
        OnPageListClick(this, p.X, p.Y);
    else
        FPageListMenu->Popup(p.X, p.Y);
}

void TKvxOfficePager::PageListItemClick(TObject* Sender) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (item && item->Tag() >= 0 && item->Tag() < PageCount())
        SetActivePageIndex(static_cast<int>(item->Tag()));
}

} // namespace ui::pager
