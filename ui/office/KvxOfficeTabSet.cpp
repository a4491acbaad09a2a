#include "ui/office/KvxOfficeTabSet.h"

#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/GdiTypes.h"
#include "platform/gfx/Region.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Timer.h"
#include "ui/office/KvxOfficeTabSetStylers.h"

namespace ui::tabset {

using namespace plat;
using tabpaint::MixColors;

PLAT_CLASS_INFO(TTabSetTabSettings, TPersistent)
PLAT_CLASS_INFO(TGradientBackground, TPersistent)
PLAT_CLASS_INFO(TCustomTabAppearance, TPersistent)
PLAT_CLASS_INFO(TTabAppearance, TCustomTabAppearance)
PLAT_CLASS_INFO_CREATABLE(TCustomKvxOfficeTabSetStyler, TComponent)
PLAT_CLASS_INFO(TOfficeTabCollectionItem, TCollectionItem)
PLAT_CLASS_INFO(TOfficeTabCollection, TCollection)
PLAT_CLASS_INFO(TTabSetButtonSettings, TPersistent)
PLAT_CLASS_INFO_CREATABLE(TDummyHintControl, TControl)
PLAT_CLASS_INFO_CREATABLE(TKvxCustomOfficeTabSet, TCustomControl)

PLAT_PROPERTIES(TTabSetTabSettings) {
    using S = TTabSetTabSettings;
    props.Integer("LeftMargin", &S::LeftMargin, &S::SetLeftMargin, 4);
    props.Integer("RightMargin", &S::RightMargin, &S::SetRightMargin, 4);
    // The streamed default differs from the value a new object holds: 4 is written, and 60 is left out
    // and reads back as 4. Layouts that mean 4 say so.
    props.Integer("StartMargin", &S::StartMargin, &S::SetStartMargin, 60);
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
    props.Event("OnChange", &B::OnChange);
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
    props.Color("HighLightColorSelected", &A::HighLightColorSelected, &A::SetHighLightColorSelected,
                0xFFFABF);
    props.Color("HighLightColorHot", &A::HighLightColorHot, &A::SetHighLightColorHot, 0xFDF4ED);
    props.Color("HighLightColorSelectedHot", &A::HighLightColorSelectedHot, &A::SetHighLightColorSelectedHot,
                0xBDFFFF);
    props.Color("HighLightColorDown", &A::HighLightColorDown, &A::SetHighLightColorDown, 0xFFFBD0);
}

PLAT_PROPERTIES(TTabAppearance) {
    props.Object("BackGround", &TTabAppearance::BackGround, &TTabAppearance::SetBackGround);
}

PLAT_PROPERTIES(TOfficeTabCollectionItem) {
    using I = TOfficeTabCollectionItem;
    props.String("Caption", &I::Caption, &I::SetCaption);
    props.Boolean("Enabled", &I::Enabled, &I::SetEnabled, true);
    props.Boolean("Visible", &I::Visible, &I::SetVisible, true);
    props.Integer("ImageIndex", &I::ImageIndex, &I::SetImageIndex, -1);
    props.Object("DisabledPicture", &I::DisabledPicture, &I::SetDisabledPicture);
    props.Object("Picture", &I::Picture, &I::SetPicture);
    props.Object("OfficeHint", &I::OfficeHint, &I::SetOfficeHint);
    props.Integer("Tag", &I::TagProp, &I::SetTagProp, 0);
    props.Boolean("ShowClose", &I::ShowClose, &I::SetShowClose, true);
    props.Object("TabAppearance", &I::TabAppearance, &I::SetTabAppearance);
    props.Boolean("UseTabAppearance", &I::UseTabAppearance, &I::SetUseTabAppearance, false);
}

PLAT_PROPERTIES(TTabSetButtonSettings) {
    using B = TTabSetButtonSettings;
    props.Boolean("CloseButton", &B::CloseButton, &B::SetCloseButton, false);
    props.Boolean("TabListButton", &B::TabListButton, &B::SetTabListButton, false);
    props.Boolean("ScrollButtonsAlways", &B::ScrollButtonsAlways, &B::SetScrollButtonsAlways, false);
    props.Object("CloseButtonPicture", &B::CloseButtonPicture, &B::SetCloseButtonPicture)
        .Stored(&B::IsCloseButtonPictureStored);
    props.Object("TabListButtonPicture", &B::TabListButtonPicture, &B::SetTabListButtonPicture)
        .Stored(&B::IsTabListButtonPictureStored);
    props.Object("ScrollButtonPrevPicture", &B::ScrollButtonPrevPicture, &B::SetScrollButtonPrevPicture)
        .Stored(&B::IsScrollButtonPrevPictureStored);
    props.Object("ScrollButtonNextPicture", &B::ScrollButtonNextPicture, &B::SetScrollButtonNextPicture)
        .Stored(&B::IsScrollButtonNextPictureStored);
    props.String("CloseButtonHint", &B::CloseButtonHint, &B::CloseButtonHint, "Close");
    props.String("TabListButtonHint", &B::TabListButtonHint, &B::TabListButtonHint, "TabList");
    props.String("ScrollButtonPrevHint", &B::ScrollButtonPrevHint, &B::ScrollButtonPrevHint, "Previous");
    props.String("ScrollButtonNextHint", &B::ScrollButtonNextHint, &B::ScrollButtonNextHint, "Next");
}

PLAT_PROPERTIES(TDummyHintControl) {
    props.Object("OfficeHint", &TDummyHintControl::OfficeHint, &TDummyHintControl::SetOfficeHint);
}

PLAT_PROPERTIES(TKvxCustomOfficeTabSet) {
    using T = TKvxCustomOfficeTabSet;
    props.Component("KvxOfficeTabSetStyler", &T::KvxOfficeTabSetStyler, &T::SetKvxOfficeTabSetStyler);
    props.Enum("AntiAlias", &T::AntiAlias, &T::SetAntiAlias, kAntiAliasNames, aaClearType);
    props.Object("ButtonSettings", &T::ButtonSettings, &T::SetButtonSettings);
    props.Boolean("CloseOnTab", &T::CloseOnTab, &T::SetCloseOnTab, false);
    props.Enum("CloseOnTabPosition", &T::CloseOnTabPosition, &T::SetCloseOnTabPosition, kCloseOnTabPosNames,
               cpRight);
    props.Component("DisabledImages", &T::DisabledImages, &T::SetDisabledImages);
    props.Boolean("Glow", &T::Glow, &T::SetGlow, true);
    props.Component("Images", &T::Images, &T::SetImages);
    props.Object("OfficeHint", &T::OfficeHint, &T::SetOfficeHint);
    props.Component("TabListMenu", &T::TabListMenu, &T::SetTabListMenu);
    props.Boolean("RotateTabLeftRight", &T::RotateTabLeftRight, &T::SetRotateTabLeftRight, true);
    props.Boolean("ShowNonSelectedTabs", &T::ShowNonSelectedTabs, &T::SetShowNonSelectedTabs, false);
    props.Boolean("ShowTabHint", &T::ShowTabHint, &T::SetShowTabHint, false);
    props.Enum("TabPosition", &T::TabPosition, &T::SetTabPosition, tabpaint::kTabPositionNames, tpTop);
    props.Boolean("TabRearrange", &T::TabRearrange, &T::SetTabRearrange, false);
    props.Object("TabSettings", &T::TabSettings, &T::SetTabSettings);
    props.String("Version", &T::Version, &T::SetVersion, "1.3.2.2");
    props.Event("OnChange", &T::OnChange);
    props.Event("OnChanging", &T::OnChanging);
    props.Event("OnTabClick", &T::OnTabClick);
    props.Event("OnTabRightClick", &T::OnTabRightClick);
    props.Event("OnTabDblClick", &T::OnTabDblClick);
    props.Event("OnTabClose", &T::OnTabClose);
    props.Event("OnTabListClick", &T::OnTabListClick);
    props.Event("OnTabMoved", &T::OnTabMoved);
    props.Event("OnDrawTab", &T::OnDrawTab);
}

namespace {

struct TRegistrar {
    TRegistrar() {
        RegisterClasses(
            {&TCustomKvxOfficeTabSetStyler::StaticClass(), &TKvxCustomOfficeTabSet::StaticClass()});
    }
} registrar;

constexpr uint32_t kVersionNr = (1u << 24) | (3u << 16) | (2u << 8) | 2u;
constexpr int kCloseOnTabSpace = 22;
constexpr int kButtonSize = 18;

bool IsDesigning(const TComponent* C) {
    return C && (C->ComponentState() & csDesigning) != 0;
}

const TRect kNoRect(-1, -1, -1, -1);

} // namespace

// ---- TDbgList ------------------------------------------------------------------------------------------

void* TDbgList::Items(int Index) const {
    if (Index >= Count())
        throw EListError("Index out of bounds in list read access");
    if (Index < 0)
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[Index];
}

void TDbgList::Remove(void* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end())
        FItems.erase(it);
}

int TDbgList::IndexOf(void* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

// ---- Settings ------------------------------------------------------------------------------------------

void TTabSetTabSettings::SetRounding(TTabRounding Value) {
    if (Value < 0 || Value > tabpaint::kMaxTabRounding)
        return;
    Store(FRounding, Value);
}

void TTabSetTabSettings::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TTabSetTabSettings*>(Source);
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

// ---- Styler ----------------------------------------------------------------------------------------------

TCustomKvxOfficeTabSetStyler::TCustomKvxOfficeTabSetStyler(TComponent* AOwner)
    : TComponent(AOwner), FTabAppearance(std::make_unique<TTabAppearance>()),
      FGlowButtonAppearance(std::make_unique<TGlowButtonAppearance>()) {
    FTabAppearance->OnChange = [this](TObject*) { NotifyStylerClients(scAppearance); };
    FGlowButtonAppearance->OnChange = [this](TObject*) { NotifyStylerClients(scGlowButtons); };
}

TCustomKvxOfficeTabSetStyler::~TCustomKvxOfficeTabSetStyler() {
    BeforeDestruction();
    // The tab sets that still use this styler go back to their own: nothing may reach it afterwards.
    while (FClients.Count() > 0) {
        auto* client = static_cast<TKvxCustomOfficeTabSet*>(FClients.Items(0));
        FClients.Remove(client);
        if (client->KvxOfficeTabSetStyler() == this)
            client->SetKvxOfficeTabSetStyler(nullptr);
    }
    FTabAppearance->OnChange = nullptr;
    FGlowButtonAppearance->OnChange = nullptr;
}

void TCustomKvxOfficeTabSetStyler::SetButtonBorderColor(TColor Value) {
    if (FButtonBorderColor == Value)
        return;
    FButtonBorderColor = Value;
    NotifyStylerClients(scAppearance);
}

void TCustomKvxOfficeTabSetStyler::RegisterStylerClient(TKvxCustomOfficeTabSet* Client) {
    FClients.Add(Client);
}

void TCustomKvxOfficeTabSetStyler::UnregisterStylerClient(TKvxCustomOfficeTabSet* Client) {
    FClients.Remove(Client);
}

void TCustomKvxOfficeTabSetStyler::NotifyStylerClients(int Code) {
    const int n = FClients.Count();
    for (int i = 0; i < n && i < FClients.Count(); ++i)
        if (auto* client = static_cast<TKvxCustomOfficeTabSet*>(FClients.Items(i)))
            client->StylerChanged(Code);
}

void TCustomKvxOfficeTabSetStyler::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TCustomKvxOfficeTabSetStyler*>(Source);
    if (!src) {
        TComponent::Assign(Source);
        return;
    }
    FTabAppearance->Assign(src->TabAppearance());
    SetButtonBorderColor(src->ButtonBorderColor());
}

void TCustomKvxOfficeTabSetStyler::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && !(ComponentState() & csDestroying))
        FClients.Remove(static_cast<void*>(dynamic_cast<TKvxCustomOfficeTabSet*>(AComponent)));
}

// ---- Tabs ------------------------------------------------------------------------------------------------

TOfficeTabCollectionItem::TOfficeTabCollectionItem(TCollection* Collection)
    : TCollectionItem(Collection), FDisabledPicture(std::make_unique<TGDIPPicture>()),
      FPicture(std::make_unique<TGDIPPicture>()), FOfficeHint(std::make_unique<TKvxHintInfo>()),
      FTabAppearance(std::make_unique<TTabAppearance>()) {
    FCaption = "TabItem" + std::to_string(Index() + 1);
    FDisabledPicture->OnChange = [this](TObject*) { ItemChanged(); };
    FPicture->OnChange = [this](TObject*) { ItemChanged(); };
    FTabAppearance->OnChange = [this](TObject*) { ItemChanged(); };
    TKvxCustomOfficeTabSet* set = TabSet();
    if (!set)
        return;
    if (set->FActiveTabIndex < 0 && Index() == 0)
        set->FActiveTabIndex = 0;
    set->UpdateTabScroller();
    if (IsDesigning(set) && !FUseTabAppearance)
        FTabAppearance->Assign(set->CurrentStyler()->TabAppearance());
    set->Invalidate();
}

TOfficeTabCollectionItem::~TOfficeTabCollectionItem() {
    FreeGlowTimer();
    FDisabledPicture->OnChange = nullptr;
    FPicture->OnChange = nullptr;
    FTabAppearance->OnChange = nullptr;
}

TKvxCustomOfficeTabSet* TOfficeTabCollectionItem::TabSet() const {
    auto* c = dynamic_cast<TOfficeTabCollection*>(Collection());
    return c ? c->TabSet() : nullptr;
}

void TOfficeTabCollectionItem::ItemChanged(TObject*) {
    if (TKvxCustomOfficeTabSet* set = TabSet())
        set->Invalidate();
}

void TOfficeTabCollectionItem::Relayout() {
    if (TKvxCustomOfficeTabSet* set = TabSet()) {
        set->UpdateTabButtons();
        set->UpdateTabScroller();
    }
    ItemChanged();
}

void TOfficeTabCollectionItem::SetCaption(const std::string& Value) {
    FCaption = Value;
    Relayout();
}

void TOfficeTabCollectionItem::SetEnabled(bool Value) {
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    ItemChanged();
}

void TOfficeTabCollectionItem::SetVisible(bool Value) {
    if (FVisible == Value)
        return;
    FVisible = Value;
    Relayout();
}

void TOfficeTabCollectionItem::SetImageIndex(int Value) {
    FImageIndex = Value;
    Relayout();
}

void TOfficeTabCollectionItem::SetShowClose(bool Value) {
    if (FShowClose == Value)
        return;
    FShowClose = Value;
    Relayout();
}

void TOfficeTabCollectionItem::SetUseTabAppearance(bool Value) {
    if (FUseTabAppearance == Value)
        return;
    FUseTabAppearance = Value;
    ItemChanged();
}

void TOfficeTabCollectionItem::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TOfficeTabCollectionItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    FCaption = s->FCaption;
    FVisible = s->FVisible;
    FEnabled = s->FEnabled;
    FOfficeHint->Assign(s->FOfficeHint.get());
    FPicture->Assign(s->FPicture.get());
    FDisabledPicture->Assign(s->FDisabledPicture.get());
    FImageIndex = s->FImageIndex;
    Tag = s->Tag;
    SetShowClose(s->FShowClose);
}

std::string TOfficeTabCollectionItem::DisplayName() const {
    return "Tab " + std::to_string(Index()) + " : " + FCaption;
}

void TOfficeTabCollectionItem::FreeGlowTimer() {
    if (TTimer* t = std::exchange(GlowTimer, nullptr))
        t->Free();
}

void TOfficeTabCollectionItem::GlowFadeStep(TObject*) {
    TKvxCustomOfficeTabSet* set = TabSet();
    if (GlowState == 0) {
        GlowPosition += GlowStep;
        bool park = false;
        if (GlowPosition > 100 && GlowStep > 0) {
            if (set) {
                GlowPosition = 120;
                const TPoint p = set->ScreenToClient(Mouse->CursorPos());
                if (!set->GetTabRect(Index()).Contains(p)) {
                    GlowStep = -20;
                    GlowState = 0;
                    set->SetHotTabIndex(-1);
                    return;
                }
            }
            park = true;
        } else if (GlowPosition < 0 && GlowStep < 0) {
            FreeGlowTimer();
            GlowState = 2;
            if (set)
                set->InvalidateTab(Index());
            park = true;
        } else {
            if (set)
                set->InvalidateTab(Index());
            return;
        }
        if (park) {
            SelectGlowPosition = 0;
            if (GlowPosition > 100)
                GlowPosition = 120;
            else if (GlowPosition < 0)
                GlowPosition = -20;
        }
    } else if (GlowState == 1) {
        SelectGlowPosition += GlowStep;
        if ((SelectGlowPosition > 100 && GlowStep > 0) || (SelectGlowPosition < 0 && GlowStep < 0)) {
            FreeGlowTimer();
            GlowState = 2;
            SelectGlowPosition = 0;
        } else if (set) {
            set->InvalidateTab(Index());
        }
    }
}

TOfficeTabCollection::TOfficeTabCollection(TKvxCustomOfficeTabSet* Owner)
    : TCollection(TCollectionItemClass::Of<TOfficeTabCollectionItem>()), FOwner(Owner) {}

TPersistent* TOfficeTabCollection::GetOwner() const {
    return FOwner;
}

void TOfficeTabCollection::Delete(int Index) {
    TKvxCustomOfficeTabSet* set = FOwner;
    if (!set)
        return;
    if (Index == set->ActiveTabIndex())
        set->SelectAdjacentTab();
    TCollectionItem* remembered = nullptr;
    const int active = set->ActiveTabIndex();
    if (active >= 0 && active < Count() && active != Index)
        remembered = TCollection::Items(active);
    TCollection::Delete(Index);
    if (remembered) {
        set->FActiveTabIndex = -1;
        set->SetActiveTabIndex(remembered->Index());
    } else {
        set->FActiveTabIndex = -1;
        set->SetActiveTabIndex(-1);
    }
    set->UpdateTabScroller();
    set->Invalidate();
}

void TOfficeTabCollection::Move(int FromIndex, int ToIndex) {
    if (FromIndex < 0 || FromIndex >= Count() || ToIndex < 0 || ToIndex >= Count() || FromIndex == ToIndex)
        return;
    TCollection::Items(FromIndex)->SetIndex(ToIndex);
    if (FOwner) {
        FOwner->UpdateTabScroller();
        FOwner->Invalidate();
    }
}

// ---- Button settings and the hint carrier ----------------------------------------------------------------

TTabSetButtonSettings::TTabSetButtonSettings()
    : FClosePicture(std::make_unique<TGDIPPicture>()), FListPicture(std::make_unique<TGDIPPicture>()),
      FPrevPicture(std::make_unique<TGDIPPicture>()), FNextPicture(std::make_unique<TGDIPPicture>()) {
    FClosePicture->LoadFromRCData("KVXTSCLOSE");
    FListPicture->LoadFromRCData("KVXTSLIST");
    FPrevPicture->LoadFromRCData("KVXTSPREV");
    FNextPicture->LoadFromRCData("KVXTSNEXT");
    for (TGDIPPicture* p : {FClosePicture.get(), FListPicture.get(), FPrevPicture.get(), FNextPicture.get()})
        p->OnChange = [this](TObject*) { Changed(); };
}

TTabSetButtonSettings::~TTabSetButtonSettings() {
    for (TGDIPPicture* p : {FClosePicture.get(), FListPicture.get(), FPrevPicture.get(), FNextPicture.get()})
        p->OnChange = nullptr;
}

bool TTabSetButtonSettings::IsBuiltIn(const TGDIPPicture& Picture, const char* ResName) {
    TGDIPPicture builtIn;
    builtIn.LoadFromRCData(ResName);
    return Picture.Data() == builtIn.Data();
}

void TTabSetButtonSettings::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TTabSetButtonSettings*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    SetTabListButton(s->FTabListButton);
    SetCloseButton(s->FCloseButton);
    FClosePicture->Assign(s->FClosePicture.get());
    FListPicture->Assign(s->FListPicture.get());
    FPrevPicture->Assign(s->FPrevPicture.get());
    FNextPicture->Assign(s->FNextPicture.get());
    SetScrollButtonsAlways(s->FScrollButtonsAlways);
}

TDummyHintControl::TDummyHintControl(TComponent* AOwner)
    : TControl(AOwner), FOfficeHint(std::make_unique<TKvxHintInfo>()) {
    SetVisible(false);
}

TDummyHintControl::~TDummyHintControl() = default;

// ---- The control: life -----------------------------------------------------------------------------------

TKvxCustomOfficeTabSet::TKvxCustomOfficeTabSet(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() & ~csOpaque);
    FInternalStyler = new TCustomKvxOfficeTabSetStyler(this);
    FInternalStyler->SetName("InternalStyler");
    FCurrentStyler = FInternalStyler;
    FInternalStyler->RegisterStylerClient(this);
    FTabs = std::make_unique<TOfficeTabCollection>(this);
    FTabSettings = std::make_unique<TTabSetTabSettings>();
    FTabSettings->OnChange = [this](TObject* s) { TabSettingsChanged(s); };
    FButtonSettings = std::make_unique<TTabSetButtonSettings>();
    FButtonSettings->OnChange = [this](TObject* s) { ButtonSettingsChanged(s); };
    SetShowHint(false);
    SetDoubleBuffered(true);
    SetBounds(Left(), Top(), 300, 27);
    FOfficeHint = std::make_unique<TKvxHintInfo>();
    FDummyHintControl = new TDummyHintControl(this);
    FAddDesignTabs = IsDesigning(this) && AOwner && !(AOwner->ComponentState() & (csLoading | csReading));
    {
        TKvxOfficeTabSetOfficeStyler preset(nullptr);
        preset.SetStyle(tsOffice2007Luna);
        // The tab colours only: an assignment leaves the glow button colours at their defaults.
        FInternalStyler->Assign(&preset);
    }
}

TKvxCustomOfficeTabSet::~TKvxCustomOfficeTabSet() {
    BeforeDestruction();
}

void TKvxCustomOfficeTabSet::BeforeDestruction() {
    // Runs from Free and again from the destructor; the owned components are gone after the first.
    if (std::exchange(FLetGo, true)) {
        TCustomControl::BeforeDestruction();
        return;
    }
    // Before the owned components go: the internal styler and the glow buttons are among them, and a
    // dying tab must not find its tab set half gone.
    if (FTabSetStyler)
        std::exchange(FTabSetStyler, nullptr)->UnregisterStylerClient(this);
    if (FInternalStyler)
        FInternalStyler->UnregisterStylerClient(this);
    FCurrentStyler = FInternalStyler;
    if (FTabs)
        FTabs->Clear();
    if (FTabSettings)
        FTabSettings->OnChange = nullptr;
    if (FButtonSettings)
        FButtonSettings->OnChange = nullptr;
    TCustomControl::BeforeDestruction();
}

bool TKvxCustomOfficeTabSet::Designing() const {
    return IsDesigning(this);
}

void TKvxCustomOfficeTabSet::CreateWnd() {
    TCustomControl::CreateWnd();
    if (FAddDesignTabs) {
        FAddDesignTabs = false;
        for (const char* n : {"1", "2", "3"})
            FTabs->Add()->SetCaption(Name() + n);
        SetActiveTabIndex(0);
    }
}

void TKvxCustomOfficeTabSet::Loaded() {
    TCustomControl::Loaded();
    FinishLoading();
}

void TKvxCustomOfficeTabSet::FinishLoading() {
    FLoaded = true;
    UpdateTabButtons();
    UpdateTabScroller();
}

void TKvxCustomOfficeTabSet::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove || (ComponentState() & csDestroying))
        return;
    if (AComponent == FTabSetStyler)
        SetKvxOfficeTabSetStyler(nullptr);
    if (AComponent == FInternalStyler)
        FInternalStyler = nullptr;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FDisabledImages)
        FDisabledImages = nullptr;
    if (AComponent == FTabListMenu)
        FTabListMenu = nullptr;
    if (AComponent == FCloseButton)
        FCloseButton = nullptr;
    if (AComponent == FTabListButton)
        FTabListButton = nullptr;
    if (AComponent == FScrollPrevButton)
        FScrollPrevButton = nullptr;
    if (AComponent == FScrollNextButton)
        FScrollNextButton = nullptr;
}

std::string TKvxCustomOfficeTabSet::Version() const {
    const uint32_t v = GetVersionNr();
    return std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 0xFF) + "." +
           std::to_string((v >> 8) & 0xFF) + "." + std::to_string(v & 0xFF);
}

uint32_t TKvxCustomOfficeTabSet::GetVersionNr() const {
    return kVersionNr;
}

// ---- Properties ----------------------------------------------------------------------------------------

void TKvxCustomOfficeTabSet::SetKvxOfficeTabSetStyler(TCustomKvxOfficeTabSetStyler* Value) {
    if (Value == FTabSetStyler && Value)
        return;
    if (FTabSetStyler && FTabSetStyler != FInternalStyler) {
        FTabSetStyler->UnregisterStylerClient(this);
        FTabSetStyler->RemoveFreeNotification(this);
    }
    if (FInternalStyler)
        FInternalStyler->UnregisterStylerClient(this);
    FTabSetStyler = Value;
    FCurrentStyler = Value ? Value : FInternalStyler;
    if (FCurrentStyler)
        FCurrentStyler->RegisterStylerClient(this);
    if (Value)
        Value->FreeNotification(this);
    StylerChanged(0);
    Invalidate();
}

void TKvxCustomOfficeTabSet::SetAntiAlias(TAntiAlias Value) {
    FAntiAlias = Value;
    Invalidate();
}

void TKvxCustomOfficeTabSet::SetButtonSettings(TTabSetButtonSettings* Value) {
    FButtonSettings->Assign(Value);
    Invalidate();
}

void TKvxCustomOfficeTabSet::SetCloseOnTab(bool Value) {
    if (FCloseOnTab == Value)
        return;
    FCloseOnTab = Value;
    UpdateTabScroller();
    Invalidate();
}

void TKvxCustomOfficeTabSet::SetCloseOnTabPosition(TCloseOnTabPos Value) {
    if (FCloseOnTabPosition == Value)
        return;
    FCloseOnTabPosition = Value;
    UpdateTabButtons();
    Invalidate();
}

void TKvxCustomOfficeTabSet::SetDisabledImages(TCustomImageList* Value) {
    FDisabledImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TKvxCustomOfficeTabSet::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TKvxCustomOfficeTabSet::SetTabListMenu(TPopupMenu* Value) {
    FTabListMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TKvxCustomOfficeTabSet::SetRotateTabLeftRight(bool Value) {
    if (FRotateTabLeftRight == Value)
        return;
    FRotateTabLeftRight = Value;
    UpdateTabScroller();
    Invalidate();
}

void TKvxCustomOfficeTabSet::SetShowNonSelectedTabs(bool Value) {
    FShowNonSelectedTabs = Value;
    InvalidateTab(-1);
}

void TKvxCustomOfficeTabSet::SetTabPosition(TTabPosition Value) {
    if (FTabPosition == Value)
        return;
    FTabPosition = Value;
    UpdateTabScroller();
    Invalidate();
}

void TKvxCustomOfficeTabSet::TabSettingsChanged(TObject*) {
    UpdateTabButtons();
    UpdateTabScroller();
    Invalidate();
}

void TKvxCustomOfficeTabSet::ButtonSettingsChanged(TObject*) {
    UpdateTabScroller();
    Invalidate();
}

void TKvxCustomOfficeTabSet::StylerChanged(int Code) {
    if (Designing()) {
        for (int i = 0; i < FTabs->Count(); ++i)
            if (!FTabs->Items(i)->UseTabAppearance())
                FTabs->Items(i)->TabAppearance()->Assign(FCurrentStyler->TabAppearance());
    }
    Invalidate();
    if (Code == scPreset || Code == scGlowButtons)
        UpdateTabButtons();
}

// ---- Selection -------------------------------------------------------------------------------------------

void TKvxCustomOfficeTabSet::SelectTabIndex(int Index) {
    if (Index < 0 || Index >= FTabs->Count() || Index == FActiveTabIndex)
        return;
    bool allow = true;
    DoChanging(FActiveTabIndex, Index, allow);
    if (!allow)
        return;
    FActiveTabIndex = Index;
    DoChange();
    UpdateTabButtons();
}

void TKvxCustomOfficeTabSet::DoChanging(int FromTab, int ToTab, bool& AllowChange) {
    if (OnChanging)
        OnChanging(this, FromTab, ToTab, AllowChange);
}

void TKvxCustomOfficeTabSet::DoChange() {
    if (OnChange)
        OnChange(this);
}

void TKvxCustomOfficeTabSet::SetActiveTabIndex(int Index) {
    if (Index >= 0 && Index < FTabs->Count() && GetTabRect(Index).Left == -1) {
        int before = 0;
        for (int i = 0; i < Index; ++i)
            if (IsTabVisible(i))
                ++before;
        FScroller.SetPosition(std::min(before, FScroller.Max()));
    }
    SelectTabIndex(Index);
    if (HandleAllocated()) {
        const TRect band = GetTabsBandRect();
        InvalidateRect(Handle(), &band, true);
    }
}

void TKvxCustomOfficeTabSet::SelectAdjacentTab() {
    if (FActiveTabIndex < 0)
        return;
    auto candidate = [this](int i) {
        return i != FActiveTabIndex && IsTabVisible(i) && FTabs->Items(i)->Enabled();
    };
    for (int i = FActiveTabIndex + 1; i < FTabs->Count(); ++i)
        if (candidate(i)) {
            SetActiveTabIndex(i);
            return;
        }
    for (int i = std::min(FActiveTabIndex, FTabs->Count()) - 1; i >= 0; --i)
        if (candidate(i)) {
            SetActiveTabIndex(i);
            return;
        }
}

bool TKvxCustomOfficeTabSet::IsTabVisible(int Index) const {
    return Index >= 0 && Index < FTabs->Count() && FTabs->Items(Index)->Visible();
}

int TKvxCustomOfficeTabSet::VisibleTabCount() const {
    int n = 0;
    for (int i = 0; i < FTabs->Count(); ++i)
        if (FTabs->Items(i)->Visible())
            ++n;
    return n;
}

bool TKvxCustomOfficeTabSet::ActiveTabShowsClose() const {
    bool shows = FButtonSettings->CloseButton();
    if (FActiveTabIndex >= 0 && FActiveTabIndex < FTabs->Count())
        shows = shows && FTabs->Items(FActiveTabIndex)->ShowClose();
    return shows;
}

// ---- Close protocol --------------------------------------------------------------------------------------

bool TKvxCustomOfficeTabSet::AskTabClose(int TabIndex, TCloseAction&) {
    if (FActiveTabIndex < 0)
        return false;
    bool allow = true;
    if (OnTabClose)
        OnTabClose(this, TabIndex, allow);
    return allow;
}

void TKvxCustomOfficeTabSet::ApplyCloseAction(TOfficeTabCollectionItem*, TCloseAction&) {}

void TKvxCustomOfficeTabSet::CloseButtonClick(TObject*) {
    if (FActiveTabIndex < 0 || FActiveTabIndex >= FTabs->Count())
        return;
    TCloseAction action = caFree;
    if (!AskTabClose(FActiveTabIndex, action) || action == caNone)
        return;
    TOfficeTabCollectionItem* closed = FTabs->Items(FActiveTabIndex);
    SelectAdjacentTab();
    TOfficeTabCollectionItem* nowActive =
        FActiveTabIndex >= 0 && FActiveTabIndex < FTabs->Count() ? FTabs->Items(FActiveTabIndex) : nullptr;
    InvalidateTab(-1);
    ApplyCloseAction(closed, action);
    if (FMDIMode && action == caFree) {
        delete closed;
        FActiveTabIndex = -1;
        if (nowActive && nowActive != closed)
            SetActiveTabIndex(nowActive->Index());
    } else if (action != caMinimize) {
        closed->SetVisible(false);
    }
    UpdateTabScroller();
}

// ---- Geometry --------------------------------------------------------------------------------------------

bool TKvxCustomOfficeTabSet::Horizontal() const {
    return FTabPosition == tpTop || FTabPosition == tpBottom;
}

bool TKvxCustomOfficeTabSet::RotatedSide() const {
    return !Horizontal() && FRotateTabLeftRight;
}

bool TKvxCustomOfficeTabSet::UnrotatedSide() const {
    return !Horizontal() && !FRotateTabLeftRight;
}

TRect TKvxCustomOfficeTabSet::GetTabsBandRect() const {
    TRect r = ClientRect();
    const int h = FTabSettings->Height();
    switch (FTabPosition) {
    case tpTop:
        r.Bottom = r.Top + h;
        break;
    case tpBottom:
        r.Top = r.Bottom - h;
        break;
    case tpLeft:
        r.Right = r.Left + h;
        break;
    case tpRight:
        r.Left = r.Right - h;
        break;
    }
    return r;
}

TRect TKvxCustomOfficeTabSet::GetButtonsRect() const {
    const TRect c = ClientRect();
    const int h = FTabSettings->Height();
    int extent = 3;
    if (FScroller.Visible())
        extent += 41;
    if (FButtonSettings->TabListButton())
        extent += 21;
    if (FButtonSettings->CloseButton() && !FCloseOnTab)
        extent += 21;
    TRect r;
    if (Horizontal()) {
        r.Top = FTabPosition == tpTop ? c.Top + FTabOffset : c.Bottom - h - FTabOffset;
        r.Bottom = r.Top + h;
        r.Right = c.Right - FTabSettings->EndMargin() - 4;
        r.Left = r.Right - extent;
    } else {
        r.Left = FTabPosition == tpLeft ? c.Left + FTabOffset : c.Right - h - FTabOffset;
        r.Right = r.Left + h;
        r.Bottom = c.Bottom - FTabSettings->EndMargin() - 4;
        r.Top = r.Bottom - extent;
        if (!FRotateTabLeftRight) {
            if (FTabPosition == tpLeft)
                r.Left = r.Right - 26;
            else
                r.Right = r.Left + 26;
        }
    }
    return r;
}

TRect TKvxCustomOfficeTabSet::GetTabsRect() const {
    const TRect c = ClientRect();
    const int h = FTabSettings->Height();
    const TRect buttons = GetButtonsRect();
    TRect r;
    if (Horizontal()) {
        r.Top = FTabPosition == tpTop ? c.Top + FTabOffset : c.Bottom - h - FTabOffset;
        r.Bottom = r.Top + h;
        r.Left = c.Left + FTabSettings->StartMargin();
        r.Right = buttons.Left;
    } else {
        r.Left = FTabPosition == tpLeft ? c.Left + FTabOffset : c.Right - h - FTabOffset;
        r.Right = r.Left + h;
        r.Top = c.Top + FTabSettings->StartMargin();
        r.Bottom = buttons.Top;
    }
    return r;
}

TRect TKvxCustomOfficeTabSet::GetScrollButtonsRect() const {
    if (!FScroller.Visible())
        return kNoRect;
    TRect r = GetButtonsRect();
    if (Horizontal()) {
        r.Right = r.Left + 44;
        if (FTabPosition == tpTop) {
            r.Bottom -= 5;
            r.Top = r.Bottom - 18;
        } else {
            r.Top += 5;
            r.Bottom = r.Top + 18;
        }
    } else {
        r.Bottom = r.Top + 44;
        if (FTabPosition == tpLeft) {
            r.Right -= 5;
            r.Left = r.Right - 18;
        } else {
            r.Left += 5;
            r.Right = r.Left + 18;
        }
    }
    return r;
}

TRect TKvxCustomOfficeTabSet::GetScrollPrevButtonRect() const {
    TRect r = GetScrollButtonsRect();
    if (r.Left == -1)
        return r;
    if (Horizontal()) {
        r.Left += 3;
        r.Right = r.Left + kButtonSize;
    } else {
        r.Top += 3;
        r.Bottom = r.Top + kButtonSize;
    }
    return r;
}

TRect TKvxCustomOfficeTabSet::GetScrollNextButtonRect() const {
    TRect r = GetScrollPrevButtonRect();
    if (r.Left == -1)
        return r;
    if (Horizontal()) {
        r.Left = r.Right + 2;
        r.Right = r.Left + kButtonSize;
    } else {
        r.Top = r.Bottom + 2;
        r.Bottom = r.Top + kButtonSize;
    }
    return r;
}

namespace {

// A button at the start of the button area, across the band like the scroll buttons.
TRect FirstButtonRect(const TRect& Area, TTabPosition P) {
    TRect r = Area;
    switch (P) {
    case tpTop:
        r.Left += 3;
        r.Right = r.Left + kButtonSize;
        r.Top = r.Bottom - 23;
        r.Bottom -= 5;
        break;
    case tpBottom:
        r.Left += 3;
        r.Right = r.Left + kButtonSize;
        r.Bottom = r.Top + 23;
        r.Top += 5;
        break;
    case tpLeft:
        r.Top += 3;
        r.Bottom = r.Top + kButtonSize;
        r.Left = r.Right - 23;
        r.Right -= 5;
        break;
    case tpRight:
        r.Top += 3;
        r.Bottom = r.Top + kButtonSize;
        r.Right = r.Left + 23;
        r.Left += 5;
        break;
    }
    return r;
}

// The next button along the strip, Gap pixels after R.
TRect NextButtonRect(TRect R, bool Horizontal, int Gap) {
    if (Horizontal) {
        R.Left = R.Right + Gap;
        R.Right = R.Left + kButtonSize;
    } else {
        R.Top = R.Bottom + Gap;
        R.Bottom = R.Top + kButtonSize;
    }
    return R;
}

} // namespace

TRect TKvxCustomOfficeTabSet::GetTabListButtonRect() const {
    if (!FButtonSettings->TabListButton())
        return kNoRect;
    if (FScroller.Visible())
        return NextButtonRect(GetScrollNextButtonRect(), Horizontal(), 3);
    return FirstButtonRect(GetButtonsRect(), FTabPosition);
}

TRect TKvxCustomOfficeTabSet::GetCloseButtonRect() const {
    if (!FButtonSettings->CloseButton())
        return kNoRect;
    if (!FCloseOnTab) {
        if (FButtonSettings->TabListButton())
            return NextButtonRect(GetTabListButtonRect(), Horizontal(), 2);
        if (FScroller.Visible())
            return NextButtonRect(GetScrollNextButtonRect(), Horizontal(), 3);
        return FirstButtonRect(GetButtonsRect(), FTabPosition);
    }
    if (FActiveTabIndex < 0)
        return kNoRect;
    const TRect t = GetTabRect(FActiveTabIndex);
    if (t.Left == -1)
        return kNoRect;
    const bool left = FCloseOnTabPosition == cpLeft;
    TRect r;
    if (Horizontal()) {
        r.Left = left ? t.Left + GetLeftRoundingSpace() + 4 : t.Right - GetRightRoundingSpace() - 22;
        r.Right = r.Left + kButtonSize;
        if (FTabPosition == tpTop) {
            r.Bottom = t.Bottom - 5;
            r.Top = t.Bottom - 23;
        } else {
            r.Top = t.Top + 5;
            r.Bottom = t.Top + 23;
        }
    } else if (FRotateTabLeftRight) {
        if (FTabPosition == tpLeft) {
            r.Right = t.Right - 5;
            r.Left = t.Right - 23;
            r.Top = left ? t.Bottom - GetLeftRoundingSpace() - 22 : t.Top + GetRightRoundingSpace() + 4;
            r.Bottom = r.Top + kButtonSize;
        } else {
            r.Left = t.Left + 5;
            r.Right = t.Left + 23;
            r.Bottom = left ? t.Top + GetLeftRoundingSpace() + 22 : t.Bottom - GetRightRoundingSpace() - 4;
            r.Top = r.Bottom - kButtonSize;
        }
    } else {
        if (left)
            r.Left = FTabPosition == tpLeft ? t.Left + 4 : t.Left + 5;
        else
            r.Left = FTabPosition == tpLeft ? t.Right - 23 : t.Right - 21;
        r.Right = r.Left + kButtonSize;
        r.Top = t.Top + (t.Height() - kButtonSize) / 2;
        r.Bottom = r.Top + kButtonSize;
    }
    return r;
}

bool TKvxCustomOfficeTabSet::HasPlainTabShape() const {
    return (FTabSettings->Shape() == tsRectangle && FTabSettings->Rounding() == 1) ||
           (UnrotatedSide() && FTabSettings->Rounding() == 1);
}

int TKvxCustomOfficeTabSet::GetLeftRoundingSpace() const {
    const TKvxTabShape s = FTabSettings->Shape();
    if ((s == tsLeftRamp || s == tsLeftRightRamp) && !HasPlainTabShape() && !UnrotatedSide())
        return FTabSettings->Rounding() * 2 + 5;
    return 0;
}

int TKvxCustomOfficeTabSet::GetRightRoundingSpace() const {
    const TKvxTabShape s = FTabSettings->Shape();
    if ((s == tsRightRamp || s == tsLeftRightRamp) && !HasPlainTabShape() && !UnrotatedSide())
        return FTabSettings->Rounding() * 2 + 5;
    return 0;
}

int TKvxCustomOfficeTabSet::TabLength(int Index) const {
    if (FTabSettings->Width() > 0)
        return FTabSettings->Width();
    TOfficeTabCollectionItem* tab = FTabs->Items(Index);
    int w = 0, hc = 0;
    if (!tab->Caption().empty()) {
        TBitmap scratch;
        scratch.SetSize(1, 1);
        TCanvas* canvas = scratch.Canvas();
        canvas->Font()->Assign(FCurrentStyler->TabAppearance()->Font());
        TRect r(0, 0, 1000, 100);
        canvas->TextRect(r, tab->Caption(), DT_CALCRECT | DT_SINGLELINE);
        w = r.Right - r.Left;
        hc = r.Bottom - r.Top;
    }
    int wi = 0, hi = 0;
    TGDIPPicture* pic = tab->Picture();
    if (!tab->Enabled() && !tab->DisabledPicture()->Empty())
        pic = tab->DisabledPicture();
    if (!pic->Empty()) {
        pic->MeasureImage();
        wi = pic->Width();
        hi = pic->Height();
    } else if ((FImages || FDisabledImages) && tab->ImageIndex() >= 0) {
        TCustomImageList* list = tab->Enabled() ? FImages : (FDisabledImages ? FDisabledImages : FImages);
        if (list) {
            wi = list->Width();
            hi = list->Height();
        }
    }
    const TImagePosition ip = FTabSettings->ImagePosition();
    if (UnrotatedSide()) {
        hc = ip == ipTop || ip == ipBottom ? hc + hi + 2 : std::max(hc, hi);
        return hc + 12;
    }
    int l = GetLeftRoundingSpace() + FTabSettings->LeftMargin() + w + 5 + FTabSettings->RightMargin() +
            GetRightRoundingSpace();
    if (ip == ipLeft || ip == ipRight)
        l += wi + 2;
    if (FButtonSettings->CloseButton() && FCloseOnTab && tab->ShowClose())
        l += kCloseOnTabSpace;
    return l;
}

bool TKvxCustomOfficeTabSet::CalcTabRect(int FromIndex, int ToIndex, TRect& R, bool UseScroll) const {
    R = kNoRect;
    if (!IsTabVisible(ToIndex) || FromIndex > ToIndex || FromIndex < 0)
        return false;
    TRect a = GetTabsRect();
    const bool horz = Horizontal();
    int p = horz ? a.Left : a.Top;
    int k = 0;
    for (int i = FromIndex; i <= ToIndex; ++i) {
        if (!IsTabVisible(i))
            continue;
        if (FScrollMode) {
            const TRect band = GetTabsBandRect();
            if (horz)
                a.Right = band.Right;
            else
                a.Bottom = band.Bottom;
        }
        const int l = TabLength(i);
        const int farEnd = horz ? a.Right : a.Bottom;
        if (p + l > farEnd - 1) {
            if (!UseScroll)
                return false;
            if (FScroller.Visible() && i == ToIndex && FScroller.Position() != ToIndex)
                return false;
        }
        if (UseScroll && FScroller.Visible() && k < FScroller.Position()) {
            ++k;
            continue;
        }
        if (i == ToIndex) {
            R = horz ? TRect(p, a.Top, p + l, a.Bottom) : TRect(a.Left, p, a.Right, p + l);
            return true;
        }
        p += l + FTabSettings->Spacing();
        ++k;
    }
    return false;
}

TRect TKvxCustomOfficeTabSet::GetTabRect(int Index) const {
    TRect r;
    CalcTabRect(0, Index, r, true);
    return r;
}

int TKvxCustomOfficeTabSet::TabAtPos(int X, int Y) const {
    for (int i = 0; i < FTabs->Count(); ++i) {
        const TRect r = GetTabRect(i);
        if (r.Left != -1 && r.Contains(TPoint(X, Y)))
            return i;
    }
    return -1;
}

int TKvxCustomOfficeTabSet::CalcScrollMax(bool& Fit) {
    Fit = false;
    int last = -1;
    for (int i = FTabs->Count() - 1; i >= 0 && last < 0; --i)
        if (IsTabVisible(i))
            last = i;
    if (last <= 0)
        return 0;
    // n counts the visible tabs that must scroll out before the last one fits; hidden tabs take no
    // place and do not count, so Position keeps meaning "visible tabs scrolled out".
    int n = 0;
    for (int s = 0;;) {
        TRect r;
        if (CalcTabRect(s, last, r, false)) {
            Fit = true;
            return n;
        }
        if (IsTabVisible(s))
            ++n;
        ++s;
        if (s >= FTabs->Count())
            return 0;
        FScroller.SetVisible(true);
    }
}

void TKvxCustomOfficeTabSet::UpdateTabScroller() {
    if (!FTabs || !FButtonSettings)
        return;
    FScrollMode = false;
    if (!FButtonSettings->ScrollButtonsAlways())
        FScroller.SetVisible(false);
    FScroller.SetMin(0);
    bool fit = false;
    FScroller.SetMax(CalcScrollMax(fit));
    if (FScroller.Max() == 0 && !fit) {
        FScrollMode = true;
        FScroller.SetMax(CalcScrollMax(fit));
        if (FScroller.Max() == 0)
            FScroller.SetMax(std::max(0, VisibleTabCount() - 1));
    } else if (fit) {
        if (FScroller.Position() > FScroller.Max())
            FScroller.SetPosition(FScroller.Max());
        // The Position-th visible tab is the first one shown.
        int first = -1, seen = 0;
        for (int i = 0; i < FTabs->Count(); ++i) {
            if (!IsTabVisible(i))
                continue;
            if (seen == FScroller.Position()) {
                first = i;
                break;
            }
            ++seen;
        }
        if (first >= 0 && GetTabRect(first).Right == -1 && FScroller.Position() > 0) {
            FScrollMode = true;
            FScroller.SetMax(CalcScrollMax(fit));
            if (FScroller.Max() == 0)
                FScrollMode = false;
        }
    }
    FScroller.SetVisible(FScroller.Min() < FScroller.Max() || FButtonSettings->ScrollButtonsAlways());
    if (FScroller.Position() > FScroller.Max())
        FScroller.SetPosition(FScroller.Max());
    UpdateTabButtons();
}

void TKvxCustomOfficeTabSet::ScrollTabsBack() {
    if (!FScroller.Visible() || FScroller.Position() <= FScroller.Min())
        return;
    FScroller.SetPosition(FScroller.Position() - 1);
    if (FScrollMode)
        Invalidate();
    else
        InvalidateTab(-1);
}

void TKvxCustomOfficeTabSet::ScrollTabsForward() {
    if (!FScroller.Visible() || FScroller.Position() >= FScroller.Max())
        return;
    FScroller.SetPosition(FScroller.Position() + 1);
    if (FScrollMode)
        Invalidate();
    else
        InvalidateTab(-1);
}

TKvxGlowButton* TKvxCustomOfficeTabSet::MakeButton(TKvxGlowButton*& Button, TNotifyEvent Click) {
    if (!Button) {
        Button = new TKvxGlowButton(this);
        Button->SetParent(this);
        Button->OnClick = std::move(Click);
    }
    Button->Appearance()->Assign(FCurrentStyler->GlowButtonAppearance());
    Button->SetShowHint(true);
    return Button;
}

void TKvxCustomOfficeTabSet::UpdateTabButtons() {
    if (!FLoaded && !Designing())
        return;
    if (!FButtonSettings || !FTabs)
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
    if (FButtonSettings->TabListButton()) {
        TKvxGlowButton* b = MakeButton(FTabListButton, [this](TObject* s) { TabListButtonClick(s); });
        b->SetBoundsRect(GetTabListButtonRect());
        b->SetPicture(FButtonSettings->TabListButtonPicture());
        b->SetHint(FButtonSettings->TabListButtonHint);
        b->SetEnabled(anyTab);
    } else {
        drop(FTabListButton);
    }
    if (!FScroller.Visible()) {
        drop(FScrollPrevButton);
        drop(FScrollNextButton);
        return;
    }
    TKvxGlowButton* prev = MakeButton(FScrollPrevButton, [this](TObject*) {
        ScrollTabsBack();
        UpdateTabButtons();
    });
    prev->SetBoundsRect(GetScrollPrevButtonRect());
    prev->SetPicture(FButtonSettings->ScrollButtonPrevPicture());
    prev->SetHint(FButtonSettings->ScrollButtonPrevHint);
    prev->SetEnabled(FScroller.Position() > FScroller.Min());
    prev->SetRepeatClick(true);
    TKvxGlowButton* next = MakeButton(FScrollNextButton, [this](TObject*) {
        ScrollTabsForward();
        UpdateTabButtons();
    });
    next->SetBoundsRect(GetScrollNextButtonRect());
    next->SetPicture(FButtonSettings->ScrollButtonNextPicture());
    next->SetHint(FButtonSettings->ScrollButtonNextHint);
    next->SetEnabled(FScroller.Position() < FScroller.Max());
    next->SetRepeatClick(true);
}

void TKvxCustomOfficeTabSet::InvalidateTabsArea() {
    if (!HandleAllocated())
        return;
    const TRect r = GetTabsRect();
    InvalidateRect(Handle(), &r, true);
}

void TKvxCustomOfficeTabSet::InvalidateTab(int Index) {
    if (!HandleAllocated())
        return;
    if (Index < 0 || Index >= FTabs->Count()) {
        InvalidateTabsArea();
        return;
    }
    TRect t = GetTabRect(Index);
    if (Index == FActiveTabIndex && FCloseOnTab && ActiveTabShowsClose()) {
        const TRect b = GetCloseButtonRect();
        TRegion region = CreateRectRgn(0, 0, 0, 0);
        auto add = [&region](int l, int t2, int r, int btm) {
            TRegion piece = CreateRectRgn(l, t2, r, btm);
            CombineRgn(region, region, piece, RGN_OR);
        };
        if (!RotatedSide()) {
            add(t.Left, t.Top, b.Left, t.Bottom);
            add(b.Left, t.Top, b.Right, b.Top);
            add(b.Left, b.Bottom, b.Right, t.Bottom);
            add(b.Right, t.Top, t.Right, t.Bottom);
        } else {
            add(t.Left, t.Top, t.Right, b.Top);
            add(t.Left, b.Top, b.Left, b.Bottom);
            add(b.Right, b.Top, t.Right, b.Bottom);
            add(t.Left, b.Bottom, t.Right, t.Bottom);
        }
        InvalidateRgn(Handle(), &region, true);
        return;
    }
    if (HasPlainTabShape()) {
        if (Horizontal())
            t.Right += 2;
        else if (FTabPosition == tpRight || !FRotateTabLeftRight)
            t.Bottom += 2;
        else
            t.Top -= 2;
    }
    InvalidateRect(Handle(), &t, true);
}

// ---- Painting --------------------------------------------------------------------------------------------

TCustomTabAppearance* TKvxCustomOfficeTabSet::AppearanceFor(int Index) const {
    TOfficeTabCollectionItem* tab = FTabs->Items(Index);
    if (tab->UseTabAppearance())
        return tab->TabAppearance();
    return FCurrentStyler->TabAppearance();
}

void TKvxCustomOfficeTabSet::Paint() {
    TCustomControl::Paint();
    DrawTabs();
    DrawButtonsFrame();
}

void TKvxCustomOfficeTabSet::DrawTabs() {
    TCanvas& canvas = *Canvas();
    const TRect r = ClientRect();
    TGradientBackground* back = FCurrentStyler->TabAppearance()->BackGround();
    if (back->Color() != clNone && back->ColorTo() != clNone) {
        tabpaint::DrawSteppedGradient(canvas, back->Color(), back->ColorTo(), back->Steps(), r,
                                      back->Direction() == gdHorizontal);
    } else if (back->Color() != clNone) {
        canvas.Brush()->SetStyle(bsSolid);
        canvas.Brush()->SetColor(back->Color());
        canvas.Pen()->SetColor(back->Color());
        canvas.FillRect(r);
    }
    for (int i = 0; i < FTabs->Count(); ++i)
        DrawTab(i);
}

void TKvxCustomOfficeTabSet::DrawButtonsFrame() {
    const bool buttons = FScroller.Visible() || (FButtonSettings->CloseButton() && !FCloseOnTab) ||
                         FButtonSettings->TabListButton();
    const TColor border = FCurrentStyler->ButtonBorderColor();
    if (!buttons || border == clNone)
        return;
    TCanvas& canvas = *Canvas();
    const TRect b = GetButtonsRect();
    canvas.Pen()->SetColor(border);
    canvas.Brush()->SetStyle(bsClear);
    canvas.RoundRect(b.Left, b.Top, b.Right, b.Bottom, 5, 5);
}

namespace {

// A colour read back from the canvas, or none when the point lies outside what the canvas holds.
struct TSample {
    bool Valid = false;
    TColor Color = clNone;
};

TSample SamplePixel(TCanvas& Canvas, int X, int Y) {
    const TColor c = Canvas.Pixels(X, Y);
    if (c == CLR_INVALID)
        return {};
    return {true, c};
}

void RestorePixel(TCanvas& Canvas, const TSample& S, int X, int Y) {
    if (S.Valid)
        Canvas.SetPixels(X, Y, S.Color);
}

void Line(TCanvas& Canvas, int X1, int Y1, int X2, int Y2) {
    Canvas.MoveTo(X1, Y1);
    Canvas.LineTo(X2, Y2);
}

} // namespace

void TKvxCustomOfficeTabSet::DrawTab(int Index) {
    if (Index < 0 || Index >= FTabs->Count())
        return;
    TRect R = GetTabRect(Index);
    if (R.Left < 0 && R.Right < 0)
        return;
    TCanvas& canvas = *Canvas();
    TOfficeTabCollectionItem* tab = FTabs->Items(Index);
    TCustomTabAppearance& A = *AppearanceFor(Index);
    TGradientBackground* back = FCurrentStyler->TabAppearance()->BackGround();
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    const bool ellipsis = FTabSettings->Width() > 0 && !FTabSettings->WordWrap();

    tabpaint::TFaceColors f;
    TColor text = A.TextColor();
    TColor highlight = A.HighLightColorSelected();
    bool paintBack = true;
    const bool selected = Index == FActiveTabIndex;
    const bool hot = Index == FHotTabIndex;
    if (!tab->Enabled() && FShowNonSelectedTabs) {
        f = {A.ColorDisabled(),         A.ColorDisabledTo(),     A.ColorMirrorDisabled(),
             A.ColorMirrorDisabledTo(), A.BorderColorDisabled(), A.GradientDisabled(),
             A.GradientMirrorDisabled()};
        text = A.TextColorDisabled();
    } else if (selected) {
        f = {A.ColorSelected(),         A.ColorSelectedTo(),     A.ColorMirrorSelected(),
             A.ColorMirrorSelectedTo(), A.BorderColorSelected(), A.GradientSelected(),
             A.GradientMirrorSelected()};
        text = A.TextColorSelected();
        if (hot) {
            f.BorderColor = A.BorderColorSelectedHot();
            highlight = A.HighLightColorSelectedHot();
        }
    } else if (hot) {
        f = {A.ColorHot(),       A.ColorHotTo(),  A.ColorMirrorHot(),   A.ColorMirrorHotTo(),
             A.BorderColorHot(), A.GradientHot(), A.GradientMirrorHot()};
        text = A.TextColorHot();
        highlight = A.HighLightColorHot();
    } else if (FShowNonSelectedTabs) {
        f = {A.Color(),       A.ColorTo(),  A.ColorMirror(),   A.ColorMirrorTo(),
             A.BorderColor(), A.Gradient(), A.GradientMirror()};
    } else {
        f = {clNone, clNone, clNone, clNone, clNone, A.GradientHot(), A.GradientMirrorHot()};
        paintBack = false;
        if (!tab->Enabled())
            text = A.TextColorDisabled();
    }

    if (selected && tab->GlowTimer) {
        if (tab->GlowState == 1) {
            const int p = tab->SelectGlowPosition;
            f.Color = MixColors(A.ColorSelected(), A.ColorHot(), p);
            f.ColorTo = MixColors(A.ColorSelectedTo(), A.ColorHotTo(), p);
            f.ColorMirror = MixColors(A.ColorMirrorSelected(), A.ColorMirrorHot(), p);
            f.ColorMirrorTo = MixColors(A.ColorMirrorSelectedTo(), A.ColorMirrorHotTo(), p);
            f.BorderColor = MixColors(A.BorderColorSelected(), A.BorderColorHot(), p);
        } else if (tab->GlowState == 0) {
            f.BorderColor = MixColors(A.BorderColorSelectedHot(), A.BorderColorSelected(), tab->GlowPosition);
        }
    }
    if (selected && Index == FDownTabIndex && !Designing()) {
        f.BorderColor = A.BorderColorDown();
        highlight = A.HighLightColorDown();
    }
    if (!selected && tab->GlowTimer && tab->GlowState == 0) {
        const int p = tab->GlowPosition;
        if (FShowNonSelectedTabs) {
            f.Color = MixColors(A.ColorHot(), A.Color(), p);
            f.ColorTo = MixColors(A.ColorHotTo(), A.ColorTo(), p);
            f.ColorMirror = MixColors(A.ColorMirrorHot(), A.ColorMirror(), p);
            f.ColorMirrorTo = MixColors(A.ColorMirrorHotTo(), A.ColorMirrorTo(), p);
            f.BorderColor = MixColors(A.BorderColorHot(), A.BorderColor(), p);
        } else {
            const TColor bc = back->Color();
            const TColor bcTo = back->ColorTo() != clNone ? back->ColorTo() : bc;
            f.Color = MixColors(A.ColorHot(), bc, p);
            f.ColorTo = MixColors(A.ColorHotTo(), bcTo, p);
            f.ColorMirror = MixColors(A.ColorMirrorHot(), bc, p);
            f.ColorMirrorTo = MixColors(A.ColorMirrorHotTo(), bcTo, p);
            f.BorderColor = MixColors(A.BorderColorHot(), bc, p);
            f.Gradient = A.GradientHot();
            f.GradientMirror = A.GradientMirrorHot();
            paintBack = true;
        }
    }

    canvas.Font()->Assign(A.Font());
    canvas.Font()->SetColor(text);

    const bool plain = HasPlainTabShape();
    if (paintBack) {
        const TKvxTabShape shape = UnrotatedSide() ? tsRectangle : FTabSettings->Shape();
        // The band's pixels at the outer corners, put back after the face so its corners stay round.
        TSample s[4];
        TPoint sp[4];
        int ns = 0;
        switch (FTabPosition) {
        case tpTop:
            sp[0] = {L, T}, sp[1] = {Rt - 1, T}, ns = 2;
            break;
        case tpBottom:
            sp[0] = {L, B - 2}, sp[1] = {Rt - 1, B - 1}, sp[2] = {L, T}, sp[3] = {Rt - 1, T}, ns = 4;
            break;
        case tpLeft:
            sp[0] = {L, T}, sp[1] = {L, B - 1}, ns = 2;
            break;
        case tpRight:
            sp[0] = {Rt, T}, sp[1] = {Rt, B - 1}, ns = 2;
            break;
        }
        for (int i = 0; i < ns; ++i)
            s[i] = SamplePixel(canvas, sp[i].X, sp[i].Y);

        const int W = Rt - L, H = B - T;
        TBitmap bmp;
        TRect dr(0, 0, W, H);
        switch (FTabPosition) {
        case tpTop:
            bmp.SetSize(W, std::max(1, H - 4));
            break;
        case tpBottom:
            bmp.SetSize(W, H);
            break;
        case tpLeft:
            bmp.SetSize(std::max(1, W - 4), H);
            break;
        case tpRight:
            bmp.SetSize(W, H);
            dr = TRect(-4, 0, W, H);
            break;
        }
        TCanvas& bc = *bmp.Canvas();
        if (plain) {
            tabpaint::PaintTabFace(bc, dr, f, std::string(), A.Font(), FTabSettings->ImagePosition(),
                                   Enabled(), false, FAntiAlias, true, FTabPosition);
        } else {
            const TColor k = MixColors(f.BorderColor == clNone ? TColor(0) : f.BorderColor, 0xFFFFFF, 50);
            bc.Brush()->SetStyle(bsSolid);
            bc.Brush()->SetColor(k);
            bc.FillRect(TRect(0, 0, bmp.Width(), bmp.Height()));
            switch (FTabPosition) {
            case tpTop:
                dr.Right -= 1;
                break;
            case tpBottom:
                dr.Right -= 1, dr.Bottom -= 1;
                break;
            case tpLeft:
                dr.Bottom -= 1;
                break;
            case tpRight:
                dr.Right -= 1, dr.Bottom -= 2;
                break;
            }
            tabpaint::PaintTabShape(bc, dr, f, shape, false, FTabSettings->Rounding(), FRotateTabLeftRight,
                                    FTabPosition);
            bmp.SetTransparentColor(k);
            bmp.SetTransparent(true);
        }
        canvas.Draw(L, T, &bmp);

        if (plain) {
            // Three pixels at each sampled corner: the corner and its neighbours along the edges.
            auto corner = [&](const TSample& smp, int x, int y, int dx, int dy) {
                RestorePixel(canvas, smp, x, y);
                RestorePixel(canvas, smp, x + dx, y);
                RestorePixel(canvas, smp, x, y + dy);
            };
            switch (FTabPosition) {
            case tpTop:
                corner(s[0], L, T, 1, 1);
                corner(s[1], Rt - 1, T, -1, 1);
                break;
            case tpBottom:
                corner(s[2], L, T, 1, 1);
                corner(s[3], Rt - 1, T, -1, 1);
                RestorePixel(canvas, s[0], L, B - 2);
                RestorePixel(canvas, s[0], L + 1, B - 1);
                RestorePixel(canvas, s[0], L, B - 1);
                RestorePixel(canvas, s[1], Rt - 1, B - 1);
                RestorePixel(canvas, s[1], Rt - 2, B - 1);
                RestorePixel(canvas, s[1], Rt - 1, B - 2);
                break;
            case tpLeft:
                corner(s[0], L, T, 1, 1);
                corner(s[1], L, B - 1, 1, -1);
                break;
            case tpRight:
                corner(s[0], Rt, T, -1, 1);
                corner(s[1], Rt, B - 1, -1, -1);
                break;
            }
            const int light = tab->GlowTimer && tab->GlowState == 0 ? std::min(20, tab->GlowPosition) : 50;
            canvas.Pen()->SetStyle(psSolid);
            canvas.Pen()->SetWidth(1);
            canvas.Pen()->SetColor(MixColors(0xFFFFFF, f.Color, light));
            switch (FTabPosition) {
            case tpTop:
                Line(canvas, L + 3, T + 3, Rt - 3, T + 3);
                break;
            case tpBottom:
                Line(canvas, L + 3, B - 4, Rt - 3, B - 4);
                break;
            case tpLeft:
                Line(canvas, L + 3, T + 3, L + 3, B - 3);
                break;
            case tpRight:
                Line(canvas, Rt - 3, T + 3, Rt - 3, B - 3);
                break;
            }
            if (A.ShadowColor() != clNone) {
                const TColor outer = MixColors(A.ShadowColor(), back->Color(), 40);
                auto shadow = [&](int a1, int b1, int a2, int b2, int c1, int d1, int c2, int d2) {
                    canvas.Pen()->SetColor(A.ShadowColor());
                    Line(canvas, a1, b1, a2, b2);
                    canvas.Pen()->SetColor(outer);
                    Line(canvas, c1, d1, c2, d2);
                };
                switch (FTabPosition) {
                case tpTop:
                    shadow(Rt, T + 3, Rt, B - 4, Rt + 1, T + 4, Rt + 1, B - 4);
                    break;
                case tpBottom:
                    shadow(Rt, T + 3, Rt, B - 2, Rt + 1, T + 3, Rt + 1, B - 3);
                    break;
                case tpLeft:
                    if (FRotateTabLeftRight)
                        shadow(L + 3, T - 1, Rt - 4, T - 1, L + 4, T - 2, Rt - 4, T - 2);
                    else
                        shadow(L + 3, B, Rt - 4, B, L + 4, B + 1, Rt - 4, B + 1);
                    break;
                case tpRight:
                    shadow(L, B, Rt - 3, B, L, B + 1, Rt - 4, B + 1);
                    break;
                }
            }
            if (highlight != clNone) {
                canvas.Pen()->SetColor(MixColors(f.Color, f.BorderColor, 80));
                switch (FTabPosition) {
                case tpTop:
                    Line(canvas, L + 3, T + 1, Rt - 3, T + 1);
                    break;
                case tpBottom:
                    Line(canvas, L + 3, B - 2, Rt - 3, B - 2);
                    break;
                case tpLeft:
                    Line(canvas, L + 1, T + 3, L + 1, B - 3);
                    break;
                case tpRight:
                    Line(canvas, Rt - 2, T + 3, Rt - 2, B - 3);
                    break;
                }
                canvas.Pen()->SetColor(highlight);
                switch (FTabPosition) {
                case tpTop:
                    Line(canvas, L + 1, T + 3, L + 1, B - 5);
                    Line(canvas, Rt - 2, T + 3, Rt - 2, B - 5);
                    break;
                case tpBottom:
                    Line(canvas, L + 1, B - 3, L + 1, T + 5);
                    Line(canvas, Rt - 2, B - 3, Rt - 2, T + 5);
                    break;
                case tpLeft:
                    Line(canvas, L + 3, T + 1, Rt - 5, T + 1);
                    Line(canvas, L + 3, B - 2, Rt - 5, B - 2);
                    break;
                case tpRight:
                    Line(canvas, L + 5, T + 1, Rt - 3, T + 1);
                    Line(canvas, L + 5, B - 2, Rt - 3, B - 2);
                    break;
                }
            }
        }
    }

    if (OnDrawTab) {
        OnDrawTab(this, &canvas, Index, R);
        return;
    }

    // Content rectangle.
    TRect cr = R;
    if (!plain) {
        const int s = GetLeftRoundingSpace();
        if (Horizontal())
            cr.Left += s;
        else if (RotatedSide() && FTabPosition == tpLeft)
            cr.Bottom -= s;
        else if (RotatedSide())
            cr.Top += s;
    }
    const int lm = FTabSettings->LeftMargin();
    if (Horizontal())
        cr.Left += lm + 2;
    else if (FTabPosition == tpLeft)
        (FRotateTabLeftRight ? cr.Bottom -= lm : cr.Left += lm);
    else
        (FRotateTabLeftRight ? cr.Top += lm : cr.Left += lm + 3);
    if (FButtonSettings->CloseButton() && FCloseOnTab && tab->ShowClose()) {
        if (!selected) {
            if (Horizontal())
                cr.Left += 11;
            else if (RotatedSide())
                (FTabPosition == tpLeft ? cr.Bottom -= 11 : cr.Top += 11);
        } else if (FCloseOnTabPosition == cpLeft) {
            if (Horizontal())
                cr.Left += 22;
            else if (RotatedSide())
                (FTabPosition == tpLeft ? cr.Bottom -= 22 : cr.Top += 22);
            else
                cr.Left += FTabPosition == tpRight ? 23 : 22;
        }
    }

    // Image.
    TGDIPPicture* pic =
        tab->Enabled() || tab->DisabledPicture()->Empty() ? tab->Picture() : tab->DisabledPicture();
    TCustomImageList* list = nullptr;
    bool listEnabled = true;
    int iw = 0, ih = 0;
    if (!pic->Empty() && pic->MeasureImage()) {
        iw = pic->Width();
        ih = pic->Height();
    } else if ((FImages || FDisabledImages) && tab->ImageIndex() >= 0) {
        if (tab->Enabled()) {
            list = FImages;
        } else {
            list = FDisabledImages ? FDisabledImages : FImages;
            listEnabled = FDisabledImages != nullptr;
        }
        if (list) {
            iw = list->Width();
            ih = list->Height();
        }
    }
    const bool hasImage = iw > 0 && ih > 0;
    const TImagePosition ip = FTabSettings->ImagePosition();
    const int rm = FTabSettings->RightMargin();
    int ix = 0, iy = 0;
    const int cx = R.Left + (R.Width() - iw) / 2, cy = R.Top + (R.Height() - ih) / 2;
    if (hasImage) {
        if (!RotatedSide()) {
            switch (ip) {
            case ipLeft:
                ix = cr.Left, cr.Left += iw + 2, iy = cy;
                break;
            case ipTop:
                ix = cx, iy = cr.Top, cr.Top += ih;
                break;
            case ipRight:
                if (Horizontal()) {
                    ix = cr.Right - iw - rm, cr.Right = ix;
                } else {
                    ix = FTabPosition == tpRight ? cr.Right - iw : cr.Right - iw - rm;
                    cr.Right = ix - 2;
                }
                iy = cy;
                break;
            case ipBottom:
                ix = cx, iy = cr.Bottom - ih, cr.Bottom -= ih;
                break;
            }
        } else if (FTabPosition == tpLeft) {
            switch (ip) {
            case ipLeft:
                ix = cx, iy = cr.Bottom - ih, cr.Bottom = iy - 2;
                break;
            case ipTop:
                ix = cr.Left, cr.Left += iw, iy = cy;
                break;
            case ipRight:
                ix = cx, iy = cr.Top + rm, cr.Top = iy + ih + 2;
                break;
            case ipBottom:
                ix = cr.Right - iw, cr.Right -= iw, iy = cy;
                break;
            }
        } else {
            switch (ip) {
            case ipLeft:
                ix = cx, iy = cr.Top, cr.Top += ih + 2;
                break;
            case ipTop:
                ix = cr.Right - iw, cr.Right -= iw, iy = cy;
                break;
            case ipRight:
                ix = cx, iy = cr.Bottom - ih - rm, cr.Bottom = iy;
                break;
            case ipBottom:
                ix = cr.Left, cr.Left += iw, iy = cy;
                break;
            }
        }
    }

    // Caption.
    canvas.Brush()->SetStyle(bsClear);
    TRect tr = cr;
    if (UnrotatedSide()) {
        tabpaint::DrawTabCaption(canvas, taLeftJustify, cr, tab->Caption(), canvas.Font(), tab->Enabled(),
                                 true, FAntiAlias, tpTop, true, tr);
    } else if (RotatedSide() && (FTabPosition == tpLeft || FAntiAlias == aaNone)) {
        if (!tab->Caption().empty()) {
            const int th = canvas.TextHeight("gh");
            const std::string caption = tabpaint::TruncateCaption(tab->Caption(), cr, false, nullptr, &canvas,
                                                                  nullptr, true, FTabPosition);
            const int tw = canvas.TextWidth(caption);
            tr = TRect(cr.Left + (cr.Width() - th) / 2, cr.Bottom, cr.Left + (cr.Width() - th) / 2 + th,
                       cr.Bottom + tw);
            TFont saved;
            saved.Assign(canvas.Font());
            ScopeGuard restoreFont([&] { canvas.Font()->Assign(&saved); });
            canvas.Font()->SetOrientation(FTabPosition == tpLeft ? 900 : 2700);
            if (FTabPosition == tpLeft)
                canvas.TextOut(cr.Left + (cr.Width() - th) / 2, cr.Bottom, caption);
            else
                canvas.TextOut(cr.Right - (cr.Width() - th) / 2, cr.Top, caption);
        }
    } else {
        tabpaint::DrawTabCaption(canvas, taLeftJustify, cr, tab->Caption(), canvas.Font(), tab->Enabled(),
                                 true, FAntiAlias, FTabPosition, ellipsis, tr);
    }

    if (hasImage) {
        if (Horizontal()) {
            if (ip == ipTop)
                iy = std::max(4, tr.Top - ih);
            else if (ip == ipBottom)
                iy = std::min(tr.Bottom, cr.Bottom);
        } else if (UnrotatedSide()) {
            if (ip == ipTop)
                iy = std::max(4, tr.Top - ih - 2);
            else if (ip == ipBottom)
                iy = std::max(4, tr.Bottom + 2);
            else if (ip == ipRight)
                ix = tr.Right + 4;
        } else if (FTabPosition == tpLeft) {
            if (ip == ipTop)
                ix = std::max(4, tr.Left - iw - 2);
            else if (ip == ipBottom)
                ix = std::max(4, tr.Right + 2);
        } else {
            if (ip == ipTop)
                ix = std::max(4, tr.Right + 2);
            else if (ip == ipBottom)
                ix = std::max(4, tr.Left - iw - 2);
        }
        if (!pic->Empty())
            canvas.Draw(ix, iy, pic);
        else if (list)
            list->Draw(&canvas, ix, iy, tab->ImageIndex(), listEnabled);
    }

    // The active tab lies over its neighbours: its edges and shadow are drawn again after them.
    if (!selected && FActiveTabIndex >= 0) {
        int left = -1, right = -1;
        for (int i = FActiveTabIndex - 1; i >= 0 && left < 0; --i)
            if (IsTabVisible(i))
                left = i;
        for (int i = FActiveTabIndex + 1; i < FTabs->Count() && right < 0; ++i)
            if (IsTabVisible(i))
                right = i;
        if (Index == left || Index == right)
            DrawTab(FActiveTabIndex);
    }
}

// ---- Interaction -----------------------------------------------------------------------------------------

void TKvxCustomOfficeTabSet::StartFade(TOfficeTabCollectionItem* Tab, bool In) {
    if (!Tab->GlowTimer && FGlow) {
        // The tab frees its timer; one owned by the tab set as well could go first when both are freed.
        Tab->GlowTimer = new TTimer(nullptr);
        Tab->GlowTimer->SetInterval(50);
        Tab->GlowTimer->SetOnTimer([Tab](TObject* s) { Tab->GlowFadeStep(s); });
        Tab->GlowTimer->SetEnabled(true);
    }
    Tab->GlowStep = In ? 20 : -20;
}

void TKvxCustomOfficeTabSet::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    FDownTabIndex = -1;
    if (!GetTabsBandRect().Contains(TPoint(X, Y)))
        return;
    const int i = TabAtPos(X, Y);
    if (i < 0)
        return;
    if (Button == mbLeft && OnTabClick)
        OnTabClick(this, i);
    else if (Button == mbRight && OnTabRightClick)
        OnTabRightClick(this, i);
    if (i != FActiveTabIndex && FTabs->Items(i)->Enabled()) {
        const int old = FActiveTabIndex;
        SelectTabIndex(i);
        if (!Designing()) {
            TOfficeTabCollectionItem* tab = FTabs->Items(i);
            StartFade(tab, true);
            tab->GlowState = 1;
        }
        InvalidateTab(old);
        if (!FGlow)
            InvalidateTab(i);
    } else {
        FDownTabIndex = i;
        InvalidateTab(-1);
    }
    if (FTabRearrange && Button == mbLeft)
        BeginDrag(false, 6);
}

void TKvxCustomOfficeTabSet::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FDownTabIndex >= 0) {
        FDownTabIndex = -1;
        InvalidateTab(-1);
    }
}

void TKvxCustomOfficeTabSet::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (Designing())
        return;
    if (!GetTabsBandRect().Contains(TPoint(X, Y))) {
        if (!FGlow && FHotTabIndex >= 0 && FHotTabIndex < FTabs->Count()) {
            const int h = std::exchange(FHotTabIndex, -1);
            InvalidateTab(h);
        }
        return;
    }
    const int i = TabAtPos(X, Y);
    auto clearDown = [this] {
        if (FDownTabIndex >= 0) {
            FDownTabIndex = -1;
            InvalidateTab(-1);
        }
    };
    if (i >= 0 && i != FHotTabIndex) {
        clearDown();
        if (FHotTabIndex >= 0) {
            if (FHotTabIndex < FTabs->Count()) {
                TOfficeTabCollectionItem* old = FTabs->Items(FHotTabIndex);
                StartFade(old, false);
                old->GlowState = 0;
            }
            FHotTabIndex = -1;
            InvalidateTab(-1);
        }
        TOfficeTabCollectionItem* tab = FTabs->Items(i);
        if (tab->Enabled()) {
            FHotTabIndex = i;
            StartFade(tab, true);
            InvalidateTab(i);
            tab->GlowState = 0;
        }
        if (i != FHintTabIndex) {
            FHintTabIndex = i;
            if (Application)
                Application->CancelHint();
        }
    }
    if (i < 0 && FHotTabIndex >= 0) {
        clearDown();
        if (FHotTabIndex < FTabs->Count()) {
            TOfficeTabCollectionItem* old = FTabs->Items(FHotTabIndex);
            StartFade(old, false);
            old->GlowState = 0;
        }
        FHotTabIndex = -1;
        InvalidateTab(-1);
    }
    if (i < 0 && FHintTabIndex != -1) {
        FHintTabIndex = -1;
        if (Application)
            Application->CancelHint();
    }
}

void TKvxCustomOfficeTabSet::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    TCustomControl::DragOver(Source, X, Y, State, Accept);
    if (Source != this || !FTabRearrange)
        return;
    Accept = GetTabsBandRect().Contains(TPoint(X, Y)) && TabAtPos(X, Y) >= 0;
}

void TKvxCustomOfficeTabSet::DragDrop(TObject* Source, int X, int Y) {
    TCustomControl::DragDrop(Source, X, Y);
    if (Source != this || !FTabRearrange)
        return;
    const int t = TabAtPos(X, Y);
    if (t < 0 || t == FActiveTabIndex || FActiveTabIndex < 0 || FTabs->Count() == 0)
        return;
    TOfficeTabCollectionItem* moved = FTabs->Items(FActiveTabIndex);
    const int from = FActiveTabIndex;
    FTabs->Move(from, t);
    FActiveTabIndex = -1;
    SetActiveTabIndex(moved->Index());
    if (OnTabMoved)
        OnTabMoved(this, from, t);
}

void TKvxCustomOfficeTabSet::TabListButtonClick(TObject*) {
    if (!FTabListMenu || !FButtonSettings->TabListButton())
        return;
    FTabListMenu->Items()->Clear();
    int count = 0;
    for (int i = 0; i < FTabs->Count(); ++i) {
        TOfficeTabCollectionItem* tab = FTabs->Items(i);
        if (!tab->Visible())
            continue;
        auto* item = new TMenuItem(this);
        item->SetCaption(tab->Caption());
        item->SetRadioItem(true);
        item->SetChecked(i == FActiveTabIndex);
        item->SetTag(i);
        item->SetImageIndex(tab->ImageIndex());
        item->OnClick = [this](TObject* s) { TabListItemClick(s); };
        FTabListMenu->Items()->Add(item);
        ++count;
    }
    if (!FTabListButton)
        return;
    TRect r = GetTabListButtonRect();
    OffsetRect(r, Left(), Top());
    TPoint p;
    switch (FTabPosition) {
    case tpTop:
        p = TPoint(r.Left, r.Bottom);
        break;
    case tpBottom:
        p = TPoint(r.Left, r.Bottom);
        break;
    default:
        p = TPoint(r.Right, r.Top);
        break;
    }
    p = Parent() ? Parent()->ClientToScreen(p) : ClientToScreen(TPoint(p.X - Left(), p.Y - Top()));
    if (FTabPosition == tpBottom) {
        const int menuH = GetSystemMetrics(SM_CYMENU) * count;
        if (Screen && menuH + p.Y + 10 > Screen->Height())
            p.Y -= menuH + FTabListButton->Height() + 4;
    }
    if (OnTabListClick)
        OnTabListClick(this, p.X, p.Y);
    else
        FTabListMenu->Popup(p.X, p.Y);
}

void TKvxCustomOfficeTabSet::TabListItemClick(TObject* Sender) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (item && item->Tag() >= 0 && item->Tag() < FTabs->Count())
        SetActiveTabIndex(static_cast<int>(item->Tag()));
}

void TKvxCustomOfficeTabSet::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        TCustomControl::WndProc(Message);
        UpdateTabScroller();
        return;
    case WM_LBUTTONDBLCLK: {
        TCustomControl::WndProc(Message);
        const int x = static_cast<int16_t>(Message.LParamLo()), y = static_cast<int16_t>(Message.LParamHi());
        if (GetTabsBandRect().Contains(TPoint(x, y))) {
            const int i = TabAtPos(x, y);
            if (i >= 0 && OnTabDblClick)
                OnTabDblClick(this, i);
        }
        return;
    }
    case CM_MOUSELEAVE: {
        TCustomControl::WndProc(Message);
        FHintTabIndex = -1;
        if (Designing())
            return;
        const TPoint p = ScreenToClient(Mouse->CursorPos());
        TRect inner = GetTabsRect();
        switch (FTabPosition) {
        case tpTop:
            inner.Bottom -= 4;
            break;
        case tpBottom:
            inner.Top += 4;
            break;
        case tpLeft:
            inner.Right -= 4;
            break;
        case tpRight:
            inner.Left += 4;
            break;
        }
        // Onto a glow button inside the tabs: the tab stays lit.
        if (inner.Contains(p))
            return;
        // The active tab has no hover glow to fade; it only stops being hot.
        const int h = FHotTabIndex;
        if (h != FActiveTabIndex) {
            if (h == -1)
                return;
            if (h >= 0 && h < FTabs->Count()) {
                TOfficeTabCollectionItem* tab = FTabs->Items(h);
                StartFade(tab, false);
                tab->GlowState = 0;
            }
        }
        FHotTabIndex = -1;
        InvalidateTab(h);
        return;
    }
    case CM_HINTSHOW: {
        auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
        if (info) {
            if (FShowTabHint) {
                if (FHintTabIndex >= 0 && FHintTabIndex < FTabs->Count()) {
                    FDummyHintControl->SetOfficeHint(FTabs->Items(FHintTabIndex)->OfficeHint());
                    info->HintControl = FDummyHintControl;
                }
            } else {
                info->HintStr.clear();
            }
        }
        return;
    }
    case CM_DIALOGCHAR:
        for (int i = 0; i < FTabs->Count(); ++i) {
            TOfficeTabCollectionItem* tab = FTabs->Items(i);
            if (IsAccel(static_cast<char32_t>(Message.WParam), tab->Caption()) && tab->Visible() &&
                CanFocus()) {
                SetActiveTabIndex(i);
                Message.Result = 1;
                return;
            }
        }
        break;
    case CM_DESIGNHITTEST:
        if (Designing()) {
            const int x = static_cast<int16_t>(Message.LParamLo()),
                      y = static_cast<int16_t>(Message.LParamHi());
            if (GetTabsRect().Contains(TPoint(x, y)) && (GetAsyncKeyState(VK_LBUTTON) & 0x8000) &&
                TabAtPos(x, y) >= 0) {
                Message.Result = 1;
                return;
            }
        }
        break;
    default:
        break;
    }
    TCustomControl::WndProc(Message);
}

} // namespace ui::tabset
