// The office tab set: an owner-drawn strip of office-style tabs along one edge of a control, without
// pages, that keeps one tab selected, scrolls tabs that do not fit, fades tabs in and out under the mouse
// and carries glow buttons for scrolling, a tab list and closing. Its colours come from a tab set styler.
// The MDI tab set turns the strip into the window tabs of an MDI frame: one tab per child window.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Persistent.h"
#include "platform/ui/Control.h"
#include "platform/ui/Form.h"
#include "platform/ui/PageControl.h"
#include "ui/drawing/GDIPicture.h"
#include "ui/drawing/KvxGDIP.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/drawing/KvxHintInfo.h"
#include "ui/office/KvxTabPaint.h"

namespace plat {
class TCustomImageList;
class TMenuItem;
class TPopupMenu;
class TTimer;
} // namespace plat

namespace ui::tabset {

using tabpaint::ipBottom;
using tabpaint::ipLeft;
using tabpaint::ipRight;
using tabpaint::ipTop;
using tabpaint::TImagePosition;
using tabpaint::TKvxTabShape;
using tabpaint::tsLeftRamp;
using tabpaint::tsLeftRightRamp;
using tabpaint::tsRectangle;
using tabpaint::tsRightRamp;
using tabpaint::TTabRounding;

class TKvxCustomOfficeTabSet;

// A list of references whose read past the end names itself ("Index out of bounds in list read access").
class TDbgList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    void* Items(int Index) const;
    void Add(void* Item) { FItems.push_back(Item); }
    void Remove(void* Item);
    int IndexOf(void* Item) const;

private:
    std::vector<void*> FItems;
};

enum TGradientDirection : uint8_t { gdHorizontal, gdVertical };
inline constexpr const char* kGradientDirectionNames[] = {"gdHorizontal", "gdVertical"};
static_assert(std::size(kGradientDirectionNames) == gdVertical + 1);

enum TCloseOnTabPos : uint8_t { cpRight, cpLeft };
inline constexpr const char* kCloseOnTabPosNames[] = {"cpRight", "cpLeft"};
static_assert(std::size(kCloseOnTabPosNames) == cpLeft + 1);

// ---- Settings ------------------------------------------------------------------------------------------

class TTabSetTabSettings : public plat::TPersistent {
    PLAT_CLASS(TTabSetTabSettings)
public:
    int LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int Value) { Store(FLeftMargin, Value); }
    int RightMargin() const { return FRightMargin; }
    void SetRightMargin(int Value) { Store(FRightMargin, Value); }
    int StartMargin() const { return FStartMargin; }
    void SetStartMargin(int Value) { Store(FStartMargin, Value); }
    int EndMargin() const { return FEndMargin; }
    void SetEndMargin(int Value) { Store(FEndMargin, Value); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { Store(FHeight, Value); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { Store(FSpacing, Value); }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { Store(FWidth, Value); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) { Store(FWordWrap, Value); }
    TImagePosition ImagePosition() const { return FImagePosition; }
    void SetImagePosition(TImagePosition Value) { Store(FImagePosition, Value); }
    TKvxTabShape Shape() const { return FShape; }
    void SetShape(TKvxTabShape Value) { Store(FShape, Value); }
    TTabRounding Rounding() const { return FRounding; }
    // Values above 8 are refused.
    void SetRounding(TTabRounding Value);

    void Assign(plat::TPersistent* Source) override;
    plat::TNotifyEvent OnChange;

private:
    template <class T> void Store(T& Field, T Value) {
        if (Field == Value)
            return;
        Field = Value;
        if (OnChange)
            OnChange(this);
    }
    int FLeftMargin = 4, FRightMargin = 4, FStartMargin = 4, FEndMargin = 0, FHeight = 26, FSpacing = 4,
        FWidth = 0;
    bool FWordWrap = false;
    TImagePosition FImagePosition = ipLeft;
    TKvxTabShape FShape = tsRectangle;
    TTabRounding FRounding = 1;
};

// Position counts the visible tabs scrolled out at the start of the strip.
class TTabSetTabScroller {
public:
    int Min() const { return FMin; }
    void SetMin(int Value) {
        if (FMax >= Value)
            FMin = Value;
    }
    int Max() const { return FMax; }
    void SetMax(int Value) {
        if (Value >= FMin)
            FMax = Value;
    }
    int Position() const { return FPosition; }
    void SetPosition(int Value) { FPosition = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    bool CanGoBack() const { return FMin < FPosition; }
    bool CanGoForward() const { return FPosition < FMax; }

private:
    int FMin = 0, FMax = 0, FPosition = 0;
    bool FVisible = false;
};

// The strip's background. Every write notifies, equal or not.
class TGradientBackground : public plat::TPersistent {
    PLAT_CLASS(TGradientBackground)
public:
    plat::TColor Color() const { return FColor; }
    void SetColor(plat::TColor Value) { Put(FColor, Value); }
    plat::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(plat::TColor Value) { Put(FColorTo, Value); }
    TGradientDirection Direction() const { return FDirection; }
    void SetDirection(TGradientDirection Value) { Put(FDirection, Value); }
    int Steps() const { return FSteps; }
    void SetSteps(int Value) { Put(FSteps, Value); }
    // Copies the four values silently; other sources are ignored.
    void Assign(plat::TPersistent* Source) override;
    plat::TNotifyEvent OnChange;

private:
    template <class T> void Put(T& Field, T Value) {
        Field = Value;
        if (OnChange)
            OnChange(this);
    }
    plat::TColor FColor = 0xFFFFFF;
    plat::TColor FColorTo = plat::clBtnFace;
    TGradientDirection FDirection = gdHorizontal;
    int FSteps = 64;
};

#define KVX_TAB_NOTIFYING(Type, Name, Init)                                                                  \
public:                                                                                                      \
    Type Name() const {                                                                                      \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void Set##Name(Type Value) {                                                                             \
        Store(F##Name, Value);                                                                               \
    }                                                                                                        \
                                                                                                             \
private:                                                                                                     \
    Type F##Name = Init;
#define KVX_TAB_PLAIN(Type, Name, Init)                                                                      \
public:                                                                                                      \
    Type Name() const {                                                                                      \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void Set##Name(Type Value) {                                                                             \
        F##Name = Value;                                                                                     \
    }                                                                                                        \
                                                                                                             \
private:                                                                                                     \
    Type F##Name = Init;

// The colours of a tab in each state.
class TCustomTabAppearance : public plat::TPersistent {
    PLAT_CLASS(TCustomTabAppearance)
public:
    TCustomTabAppearance();
    ~TCustomTabAppearance() override;

    KVX_TAB_NOTIFYING(plat::TColor, BorderColor, plat::clBtnFace)
    KVX_TAB_PLAIN(plat::TColor, BorderColorHot, 0xFF0000)
    KVX_TAB_NOTIFYING(plat::TColor, BorderColorSelected, plat::clBtnFace)
    KVX_TAB_NOTIFYING(plat::TColor, BorderColorSelectedHot, plat::clNone)
    KVX_TAB_NOTIFYING(plat::TColor, BorderColorDisabled, plat::clNone)
    KVX_TAB_NOTIFYING(plat::TColor, BorderColorDown, plat::clNone)
    KVX_TAB_NOTIFYING(plat::TColor, Color, plat::clBtnFace)
    KVX_TAB_NOTIFYING(plat::TColor, ColorTo, 0xFFFFFF)
    KVX_TAB_NOTIFYING(plat::TColor, ColorSelected, 0xFFFFFF)
    KVX_TAB_NOTIFYING(plat::TColor, ColorSelectedTo, plat::clBtnFace)
    KVX_TAB_NOTIFYING(plat::TColor, ColorDisabled, plat::clNone)
    KVX_TAB_NOTIFYING(plat::TColor, ColorDisabledTo, plat::clNone)
    KVX_TAB_NOTIFYING(plat::TColor, ColorHot, 0x00FFFF)
    KVX_TAB_NOTIFYING(plat::TColor, ColorHotTo, plat::clNone)
    KVX_TAB_NOTIFYING(plat::TColor, ColorMirror, 0xFFFFFF)
    KVX_TAB_NOTIFYING(plat::TColor, ColorMirrorTo, 0xFFFFFF)
    KVX_TAB_NOTIFYING(plat::TColor, ColorMirrorHot, plat::clNone)
    KVX_TAB_NOTIFYING(plat::TColor, ColorMirrorHotTo, plat::clNone)
    KVX_TAB_NOTIFYING(plat::TColor, ColorMirrorSelected, 0xFFFFFF)
    KVX_TAB_NOTIFYING(plat::TColor, ColorMirrorSelectedTo, 0xFFFFFF)
    KVX_TAB_NOTIFYING(plat::TColor, ColorMirrorDisabled, plat::clNone)
    KVX_TAB_NOTIFYING(plat::TColor, ColorMirrorDisabledTo, plat::clNone)
    KVX_TAB_NOTIFYING(TGDIPGradient, Gradient, ggVertical)
    KVX_TAB_NOTIFYING(TGDIPGradient, GradientMirror, ggVertical)
    KVX_TAB_NOTIFYING(TGDIPGradient, GradientHot, ggVertical)
    KVX_TAB_NOTIFYING(TGDIPGradient, GradientMirrorHot, ggVertical)
    KVX_TAB_NOTIFYING(TGDIPGradient, GradientSelected, ggVertical)
    KVX_TAB_NOTIFYING(TGDIPGradient, GradientMirrorSelected, ggVertical)
    KVX_TAB_NOTIFYING(TGDIPGradient, GradientDisabled, ggVertical)
    KVX_TAB_NOTIFYING(TGDIPGradient, GradientMirrorDisabled, ggVertical)
    KVX_TAB_NOTIFYING(plat::TColor, TextColor, 0xFF0000)
    KVX_TAB_NOTIFYING(plat::TColor, TextColorHot, 0xFF0000)
    KVX_TAB_NOTIFYING(plat::TColor, TextColorSelected, 0xFF0000)
    KVX_TAB_NOTIFYING(plat::TColor, TextColorDisabled, 0xFFFFFF)
    KVX_TAB_PLAIN(plat::TColor, ShadowColor, 0xE8C7AE)
    KVX_TAB_PLAIN(plat::TColor, HighLightColorSelected, 0xFFFABF)
    KVX_TAB_PLAIN(plat::TColor, HighLightColorHot, 0xFDF4ED)
    KVX_TAB_PLAIN(plat::TColor, HighLightColorSelectedHot, 0xBDFFFF)
    KVX_TAB_PLAIN(plat::TColor, HighLightColorDown, 0xFFFBD0)

public:
    plat::TFont* Font() const { return FFont.get(); }
    void SetFont(plat::TFont* Value) { FFont->Assign(Value); }

    // Copies every value; only the two text colours notify.
    void Assign(plat::TPersistent* Source) override;
    plat::TNotifyEvent OnChange;

protected:
    void Changed() {
        if (OnChange)
            OnChange(this);
    }

private:
    template <class T> void Store(T& Field, T Value) {
        if (Field == Value)
            return;
        Field = Value;
        Changed();
    }
    std::unique_ptr<plat::TFont> FFont;
    friend class TTabAppearance;
};

class TTabAppearance : public TCustomTabAppearance {
    PLAT_CLASS(TTabAppearance)
public:
    TTabAppearance();
    TGradientBackground* BackGround() const { return FBackGround.get(); }
    void SetBackGround(TGradientBackground* Value) { FBackGround->Assign(Value); }
    void Assign(plat::TPersistent* Source) override;

private:
    std::unique_ptr<TGradientBackground> FBackGround;
};

#undef KVX_TAB_NOTIFYING
#undef KVX_TAB_PLAIN

// ---- Styler ----------------------------------------------------------------------------------------------

// What changed, as the styler tells its tab sets.
enum TStylerChange : int { scAppearance = 1, scPreset = 2, scGlowButtons = 4 };

class TCustomKvxOfficeTabSetStyler : public plat::TComponent {
    PLAT_CLASS(TCustomKvxOfficeTabSetStyler)
public:
    explicit TCustomKvxOfficeTabSetStyler(plat::TComponent* AOwner);
    ~TCustomKvxOfficeTabSetStyler() override;

    TTabAppearance* TabAppearance() const { return FTabAppearance.get(); }
    void SetTabAppearance(TTabAppearance* Value) { FTabAppearance->Assign(Value); }
    TGlowButtonAppearance* GlowButtonAppearance() const { return FGlowButtonAppearance.get(); }
    void SetGlowButtonAppearance(TGlowButtonAppearance* Value) { FGlowButtonAppearance->Assign(Value); }
    plat::TColor ButtonBorderColor() const { return FButtonBorderColor; }
    void SetButtonBorderColor(plat::TColor Value);

    void RegisterStylerClient(TKvxCustomOfficeTabSet* Client);
    void UnregisterStylerClient(TKvxCustomOfficeTabSet* Client);
    void NotifyStylerClients(int Code);
    int ClientCount() const { return FClients.Count(); }

    // Copies the tab appearance and button border colour; the glow button colours stay.
    void Assign(plat::TPersistent* Source) override;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    TDbgList FClients;
    std::unique_ptr<TTabAppearance> FTabAppearance;
    std::unique_ptr<TGlowButtonAppearance> FGlowButtonAppearance;
    plat::TColor FButtonBorderColor = plat::clNone;
};

// ---- Tabs ------------------------------------------------------------------------------------------------

class TOfficeTabCollection;

class TOfficeTabCollectionItem : public plat::TCollectionItem {
    PLAT_CLASS(TOfficeTabCollectionItem)
public:
    explicit TOfficeTabCollectionItem(plat::TCollection* Collection);
    ~TOfficeTabCollectionItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TGDIPPicture* DisabledPicture() const { return FDisabledPicture.get(); }
    void SetDisabledPicture(TGDIPPicture* Value) { FDisabledPicture->Assign(Value); }
    TGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TGDIPPicture* Value) { FPicture->Assign(Value); }
    TKvxHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TKvxHintInfo* Value) { FOfficeHint->Assign(Value); }
    int Tag = 0;
    int TagProp() const { return Tag; }
    void SetTagProp(int Value) { Tag = Value; }
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool Value);
    TTabAppearance* TabAppearance() const { return FTabAppearance.get(); }
    void SetTabAppearance(TTabAppearance* Value) { FTabAppearance->Assign(Value); }
    bool UseTabAppearance() const { return FUseTabAppearance; }
    void SetUseTabAppearance(bool Value);

    void Assign(plat::TPersistent* Source) override;
    std::string DisplayName() const override;

    // The tab set this tab belongs to, null outside one.
    TKvxCustomOfficeTabSet* TabSet() const;

    // The MDI child the tab stands for and the child's handlers it replaced.
    plat::TCustomForm* ChildForm = nullptr;
    plat::TNotifyEvent SavedOnActivate;
    plat::TNotifyEvent SavedOnDestroy;

    // The fade: a 50 ms timer while it runs, a step of +20 or -20, the hover and the selection glow,
    // and which of them runs (0 hover, 1 selection, 2 none).
    plat::TTimer* GlowTimer = nullptr;
    int GlowStep = 0;
    int GlowPosition = 0;
    int SelectGlowPosition = 0;
    int GlowState = 0;
    void GlowFadeStep(plat::TObject* Sender);
    void FreeGlowTimer();

private:
    void ItemChanged(plat::TObject* Sender = nullptr);
    void Relayout();

    std::string FCaption;
    bool FEnabled = true;
    bool FVisible = true;
    int FImageIndex = -1;
    std::unique_ptr<TGDIPPicture> FDisabledPicture, FPicture;
    std::unique_ptr<TKvxHintInfo> FOfficeHint;
    bool FShowClose = true;
    std::unique_ptr<TTabAppearance> FTabAppearance;
    bool FUseTabAppearance = false;
};

class TOfficeTabCollection : public plat::TCollection {
    PLAT_CLASS(TOfficeTabCollection)
public:
    explicit TOfficeTabCollection(TKvxCustomOfficeTabSet* Owner);
    TOfficeTabCollectionItem* Add() {
        return static_cast<TOfficeTabCollectionItem*>(plat::TCollection::Add());
    }
    TOfficeTabCollectionItem* Items(int Index) const {
        return static_cast<TOfficeTabCollectionItem*>(plat::TCollection::Items(Index));
    }
    // Keeps the selection on the same tab (or its neighbour when it is the one deleted).
    void Delete(int Index);
    // The active index is not adjusted.
    void Move(int FromIndex, int ToIndex);
    TKvxCustomOfficeTabSet* TabSet() const { return FOwner; }

protected:
    plat::TPersistent* GetOwner() const override;

private:
    TKvxCustomOfficeTabSet* FOwner;
};

// ---- Buttons ---------------------------------------------------------------------------------------------

class TTabSetButtonSettings : public plat::TPersistent {
    PLAT_CLASS(TTabSetButtonSettings)
public:
    TTabSetButtonSettings();
    ~TTabSetButtonSettings() override;

    bool CloseButton() const { return FCloseButton; }
    void SetCloseButton(bool Value) { Store(FCloseButton, Value); }
    bool TabListButton() const { return FTabListButton; }
    void SetTabListButton(bool Value) { Store(FTabListButton, Value); }
    bool ScrollButtonsAlways() const { return FScrollButtonsAlways; }
    void SetScrollButtonsAlways(bool Value) { Store(FScrollButtonsAlways, Value); }
    TGDIPPicture* CloseButtonPicture() const { return FClosePicture.get(); }
    void SetCloseButtonPicture(TGDIPPicture* Value) { FClosePicture->Assign(Value); }
    TGDIPPicture* TabListButtonPicture() const { return FListPicture.get(); }
    void SetTabListButtonPicture(TGDIPPicture* Value) { FListPicture->Assign(Value); }
    TGDIPPicture* ScrollButtonPrevPicture() const { return FPrevPicture.get(); }
    void SetScrollButtonPrevPicture(TGDIPPicture* Value) { FPrevPicture->Assign(Value); }
    TGDIPPicture* ScrollButtonNextPicture() const { return FNextPicture.get(); }
    void SetScrollButtonNextPicture(TGDIPPicture* Value) { FNextPicture->Assign(Value); }
    std::string CloseButtonHint = "Close";
    std::string TabListButtonHint = "TabList";
    std::string ScrollButtonPrevHint = "Previous";
    std::string ScrollButtonNextHint = "Next";

    // Copies the switches and pictures; the hint texts stay.
    void Assign(plat::TPersistent* Source) override;
    plat::TNotifyEvent OnChange;

    // A picture is stored only when it is not the built-in one.
    bool IsCloseButtonPictureStored() const { return !IsBuiltIn(*FClosePicture, "KVXTSCLOSE"); }
    bool IsTabListButtonPictureStored() const { return !IsBuiltIn(*FListPicture, "KVXTSLIST"); }
    bool IsScrollButtonPrevPictureStored() const { return !IsBuiltIn(*FPrevPicture, "KVXTSPREV"); }
    bool IsScrollButtonNextPictureStored() const { return !IsBuiltIn(*FNextPicture, "KVXTSNEXT"); }

private:
    static bool IsBuiltIn(const TGDIPPicture& Picture, const char* ResName);
    void Changed(plat::TObject* = nullptr) {
        if (OnChange)
            OnChange(this);
    }
    void Store(bool& Field, bool Value) {
        if (Field == Value)
            return;
        Field = Value;
        Changed();
    }
    bool FCloseButton = false, FTabListButton = false, FScrollButtonsAlways = false;
    std::unique_ptr<TGDIPPicture> FClosePicture, FListPicture, FPrevPicture, FNextPicture;
};

// Never shown: handed to the hint machinery so the office hint shows the hint of the tab under the mouse.
class TDummyHintControl : public plat::TControl {
    PLAT_CLASS(TDummyHintControl)
public:
    explicit TDummyHintControl(plat::TComponent* AOwner);
    ~TDummyHintControl() override;
    TKvxHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TKvxHintInfo* Value) { FOfficeHint->Assign(Value); }

private:
    std::unique_ptr<TKvxHintInfo> FOfficeHint;
};

// ---- The control -----------------------------------------------------------------------------------------

using TTabChangingEvent =
    std::function<void(plat::TObject* Sender, int FromTab, int ToTab, bool& AllowChange)>;
using TTabClickEvent = std::function<void(plat::TObject* Sender, int PageIndex)>;
using TOnTabClose = std::function<void(plat::TObject* Sender, int TabIndex, bool& Allow)>;
using TOnTabListClick = std::function<void(plat::TObject* Sender, int X, int Y)>;
using TTabMovedEvent = std::function<void(plat::TObject* Sender, int FromIndex, int ToIndex)>;
using TDrawTabEvent =
    std::function<void(plat::TObject* Sender, plat::TCanvas* Canvas, int TabIndex, plat::TRect TabRect)>;

class TKvxCustomOfficeTabSet : public plat::TCustomControl {
    PLAT_CLASS(TKvxCustomOfficeTabSet)
public:
    explicit TKvxCustomOfficeTabSet(plat::TComponent* AOwner);
    ~TKvxCustomOfficeTabSet() override;

    // ---- Properties ----
    TCustomKvxOfficeTabSetStyler* KvxOfficeTabSetStyler() const { return FTabSetStyler; }
    void SetKvxOfficeTabSetStyler(TCustomKvxOfficeTabSetStyler* Value);
    // The assigned styler, else the internal one.
    TCustomKvxOfficeTabSetStyler* CurrentStyler() const { return FCurrentStyler; }
    TCustomKvxOfficeTabSetStyler* InternalStyler() const { return FInternalStyler; }
    TAntiAlias AntiAlias() const { return FAntiAlias; }
    void SetAntiAlias(TAntiAlias Value);
    TTabSetButtonSettings* ButtonSettings() const { return FButtonSettings.get(); }
    void SetButtonSettings(TTabSetButtonSettings* Value);
    bool CloseOnTab() const { return FCloseOnTab; }
    void SetCloseOnTab(bool Value);
    TCloseOnTabPos CloseOnTabPosition() const { return FCloseOnTabPosition; }
    void SetCloseOnTabPosition(TCloseOnTabPos Value);
    plat::TCustomImageList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(plat::TCustomImageList* Value);
    bool Glow() const { return FGlow; }
    void SetGlow(bool Value) { FGlow = Value; }
    plat::TCustomImageList* Images() const { return FImages; }
    void SetImages(plat::TCustomImageList* Value);
    TKvxHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TKvxHintInfo* Value) { FOfficeHint->Assign(Value); }
    plat::TPopupMenu* TabListMenu() const { return FTabListMenu; }
    void SetTabListMenu(plat::TPopupMenu* Value);
    bool RotateTabLeftRight() const { return FRotateTabLeftRight; }
    void SetRotateTabLeftRight(bool Value);
    bool ShowNonSelectedTabs() const { return FShowNonSelectedTabs; }
    void SetShowNonSelectedTabs(bool Value);
    bool ShowTabHint() const { return FShowTabHint; }
    void SetShowTabHint(bool Value) { FShowTabHint = Value; }
    plat::TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(plat::TTabPosition Value);
    bool TabRearrange() const { return FTabRearrange; }
    void SetTabRearrange(bool Value) { FTabRearrange = Value; }
    TTabSetTabSettings* TabSettings() const { return FTabSettings.get(); }
    void SetTabSettings(TTabSetTabSettings* Value) { FTabSettings->Assign(Value); }
    std::string Version() const;
    void SetVersion(const std::string&) {}
    uint32_t GetVersionNr() const;

    TOfficeTabCollection* Tabs() const { return FTabs.get(); }
    const TTabSetTabScroller& Scroller() const { return FScroller; }
    TDummyHintControl* DummyHintControl() const { return FDummyHintControl; }
    bool MDIMode() const { return FMDIMode; }

    // ---- Selection ----
    int ActiveTabIndex() const { return FActiveTabIndex; }
    // Scrolls the tab into view, selects it and repaints the band.
    void SetActiveTabIndex(int Index);
    void SelectAdjacentTab();
    int HotTabIndex() const { return FHotTabIndex; }
    void SetHotTabIndex(int Value) { FHotTabIndex = Value; }
    int DownTabIndex() const { return FDownTabIndex; }
    int HintTabIndex() const { return FHintTabIndex; }
    bool IsTabVisible(int Index) const;
    int VisibleTabCount() const;
    bool ActiveTabShowsClose() const;

    virtual void StylerChanged(int Code);

    // ---- Geometry ----
    plat::TRect GetTabsBandRect() const;
    plat::TRect GetButtonsRect() const;
    plat::TRect GetTabsRect() const;
    plat::TRect GetScrollButtonsRect() const;
    plat::TRect GetScrollPrevButtonRect() const;
    plat::TRect GetScrollNextButtonRect() const;
    plat::TRect GetTabListButtonRect() const;
    plat::TRect GetCloseButtonRect() const;
    int GetLeftRoundingSpace() const;
    int GetRightRoundingSpace() const;
    bool HasPlainTabShape() const;
    // The tab's length along the strip.
    int TabLength(int Index) const;
    plat::TRect GetTabRect(int Index) const;
    int TabAtPos(int X, int Y) const;
    void InvalidateTab(int Index);
    void UpdateTabScroller();
    void UpdateTabButtons();
    void ScrollTabsBack();
    void ScrollTabsForward();

    // The glow buttons, null while absent.
    TKvxGlowButton* CloseButton() const { return FCloseButton; }
    TKvxGlowButton* TabListButton() const { return FTabListButton; }
    TKvxGlowButton* ScrollPrevButton() const { return FScrollPrevButton; }
    TKvxGlowButton* ScrollNextButton() const { return FScrollNextButton; }

    // The close button's click.
    void CloseButtonClick(plat::TObject* Sender = nullptr);
    void TabListButtonClick(plat::TObject* Sender = nullptr);

    // ---- Events ----
    plat::TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TTabClickEvent OnTabClick;
    TTabClickEvent OnTabRightClick;
    TTabClickEvent OnTabDblClick;
    TOnTabClose OnTabClose;
    TOnTabListClick OnTabListClick;
    TTabMovedEvent OnTabMoved;
    TDrawTabEvent OnDrawTab;

    void Loaded() override;
    void BeforeDestruction() override;

protected:
    virtual void SelectTabIndex(int Index);
    virtual void ApplyCloseAction(TOfficeTabCollectionItem* Tab, plat::TCloseAction& Action);
    virtual bool AskTabClose(int TabIndex, plat::TCloseAction& Action);
    virtual void DoChanging(int FromTab, int ToTab, bool& AllowChange);
    virtual void DoChange();

    void CreateWnd() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    void Paint() override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void DragOver(plat::TObject* Source, int X, int Y, plat::TDragState State, bool& Accept) override;
    void DragDrop(plat::TObject* Source, int X, int Y) override;
    void WndProc(plat::TMessage& Message) override;

    void SetMDIMode(bool Value) { FMDIMode = Value; }
    void SetActiveTabIndexField(int Value) { FActiveTabIndex = Value; }

private:
    friend class TOfficeTabCollectionItem;
    friend class TOfficeTabCollection;

    void TabSettingsChanged(plat::TObject* Sender);
    void ButtonSettingsChanged(plat::TObject* Sender);
    void FinishLoading();
    bool Designing() const;
    bool Horizontal() const;
    bool RotatedSide() const;
    bool UnrotatedSide() const;
    bool CalcTabRect(int FromIndex, int ToIndex, plat::TRect& R, bool UseScroll) const;
    int CalcScrollMax(bool& Fit);
    void TabListItemClick(plat::TObject* Sender);
    void StartFade(TOfficeTabCollectionItem* Tab, bool In);
    void InvalidateTabsArea();
    void DrawTabs();
    void DrawTab(int Index);
    void DrawButtonsFrame();
    TCustomTabAppearance* AppearanceFor(int Index) const;
    TKvxGlowButton* MakeButton(TKvxGlowButton*& Button, plat::TNotifyEvent Click);

    TCustomKvxOfficeTabSetStyler* FTabSetStyler = nullptr;
    TCustomKvxOfficeTabSetStyler* FInternalStyler = nullptr;
    TCustomKvxOfficeTabSetStyler* FCurrentStyler = nullptr;
    TAntiAlias FAntiAlias = aaClearType;
    std::unique_ptr<TTabSetButtonSettings> FButtonSettings;
    bool FCloseOnTab = false;
    TCloseOnTabPos FCloseOnTabPosition = cpRight;
    plat::TCustomImageList* FDisabledImages = nullptr;
    bool FGlow = true;
    plat::TCustomImageList* FImages = nullptr;
    std::unique_ptr<TKvxHintInfo> FOfficeHint;
    plat::TPopupMenu* FTabListMenu = nullptr;
    bool FRotateTabLeftRight = true;
    bool FShowNonSelectedTabs = false;
    bool FShowTabHint = false;
    plat::TTabPosition FTabPosition = plat::tpTop;
    bool FTabRearrange = false;
    std::unique_ptr<TTabSetTabSettings> FTabSettings;
    std::unique_ptr<TOfficeTabCollection> FTabs;
    TTabSetTabScroller FScroller;
    int FActiveTabIndex = -1;
    int FHotTabIndex = -1;
    int FDownTabIndex = -1;
    int FHintTabIndex = -1;
    int FTabOffset = 4;
    bool FScrollMode = false;
    bool FLoaded = false;
    bool FMDIMode = false;
    bool FAddDesignTabs = false;
    bool FLetGo = false;
    TDummyHintControl* FDummyHintControl = nullptr;
    TKvxGlowButton* FCloseButton = nullptr;
    TKvxGlowButton* FTabListButton = nullptr;
    TKvxGlowButton* FScrollPrevButton = nullptr;
    TKvxGlowButton* FScrollNextButton = nullptr;
};

// ---- MDI -------------------------------------------------------------------------------------------------

// The window tabs of an MDI frame: one per child added with AddChildTab.
class TKvxOfficeMDITabSet : public TKvxCustomOfficeTabSet {
    PLAT_CLASS(TKvxOfficeMDITabSet)
public:
    // The owner must be an MDI frame form without another MDI tab set; otherwise raises Exception.
    explicit TKvxOfficeMDITabSet(plat::TComponent* AOwner);
    ~TKvxOfficeMDITabSet() override;
    // Gives the children back the handlers they had before AddChildTab.
    void BeforeDestruction() override;

    // Null for a null form or one that already has a tab.
    TOfficeTabCollectionItem* AddChildTab(plat::TCustomForm* Form);
    int GetTabCount() const;
    TOfficeTabCollectionItem* GetTab(int Index) const;
    void ActivateTabForm();

    void ChildActivate(plat::TObject* Sender);
    void ChildDestroy(plat::TObject* Sender);

protected:
    void SelectTabIndex(int Index) override;
    bool AskTabClose(int TabIndex, plat::TCloseAction& Action) override;
    void ApplyCloseAction(TOfficeTabCollectionItem* Tab, plat::TCloseAction& Action) override;

private:
    static plat::TComponent* CheckedOwner(plat::TComponent* AOwner);
    bool FDestroying = false;
};

} // namespace ui::tabset
