// The office pager: a page control whose pages stack in one area while a band of office-style tabs runs
// along one edge, with hover and selection glow, scrolling of tabs that do not fit, glow buttons for
// scrolling, a page list and closing, and key tips that pick a page by typing. Its colours come from a
// pager styler; the pager has its own twins of the tab set's settings and appearance classes.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Persistent.h"
#include "platform/ui/Control.h"
#include "platform/ui/PageControl.h"
#include "ui/drawing/GDIPicture.h"
#include "ui/drawing/KvxGDIP.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/drawing/KvxHintInfo.h"
#include "ui/office/KvxTabPaint.h"

namespace plat {
class TCustomImageList;
class TPopupMenu;
class TTimer;
} // namespace plat

namespace ui::pager {

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

class TKvxOfficePager;
class TKvxOfficePage;

// A list of references that names a read or a write past its end.
class TDbgList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    void* Items(int Index) const;
    void SetItems(int Index, void* Item);
    void Add(void* Item) { FItems.push_back(Item); }
    void Insert(int Index, void* Item);
    void Delete(int Index);
    void Remove(void* Item);
    void Move(int FromIndex, int ToIndex);
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

class TPagerTabSettings : public plat::TPersistent {
    PLAT_CLASS(TPagerTabSettings)
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
    // Unlike the tab set's, any value set from code is kept.
    void SetRounding(TTabRounding Value) { Store(FRounding, Value); }

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

// Position counts the visible tabs scrolled out at the start of the band.
class TPagerTabScroller {
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

// The band's background. Every write notifies, equal or not.
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

#define KVX_PAGER_NOTIFYING(Type, Name, Init)                                                                \
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
#define KVX_PAGER_PLAIN(Type, Name, Init)                                                                    \
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

    KVX_PAGER_NOTIFYING(plat::TColor, BorderColor, plat::clBtnFace)
    KVX_PAGER_PLAIN(plat::TColor, BorderColorHot, 0xFF0000)
    KVX_PAGER_NOTIFYING(plat::TColor, BorderColorSelected, plat::clBtnFace)
    KVX_PAGER_NOTIFYING(plat::TColor, BorderColorSelectedHot, plat::clNone)
    KVX_PAGER_NOTIFYING(plat::TColor, BorderColorDisabled, plat::clNone)
    KVX_PAGER_NOTIFYING(plat::TColor, BorderColorDown, plat::clNone)
    KVX_PAGER_NOTIFYING(plat::TColor, Color, plat::clBtnFace)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorTo, 0xFFFFFF)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorSelected, 0xFFFFFF)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorSelectedTo, plat::clBtnFace)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorDisabled, plat::clNone)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorDisabledTo, plat::clNone)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorHot, 0x00FFFF)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorHotTo, plat::clNone)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorMirror, 0xFFFFFF)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorMirrorTo, 0xFFFFFF)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorMirrorHot, plat::clNone)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorMirrorHotTo, plat::clNone)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorMirrorSelected, 0xFFFFFF)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorMirrorSelectedTo, 0xFFFFFF)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorMirrorDisabled, plat::clNone)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorMirrorDisabledTo, plat::clNone)
    KVX_PAGER_NOTIFYING(TGDIPGradient, Gradient, ggVertical)
    KVX_PAGER_NOTIFYING(TGDIPGradient, GradientMirror, ggVertical)
    KVX_PAGER_NOTIFYING(TGDIPGradient, GradientHot, ggVertical)
    KVX_PAGER_NOTIFYING(TGDIPGradient, GradientMirrorHot, ggVertical)
    KVX_PAGER_NOTIFYING(TGDIPGradient, GradientSelected, ggVertical)
    KVX_PAGER_NOTIFYING(TGDIPGradient, GradientMirrorSelected, ggVertical)
    KVX_PAGER_NOTIFYING(TGDIPGradient, GradientDisabled, ggVertical)
    KVX_PAGER_NOTIFYING(TGDIPGradient, GradientMirrorDisabled, ggVertical)
    KVX_PAGER_NOTIFYING(plat::TColor, TextColor, 0xFF0000)
    KVX_PAGER_NOTIFYING(plat::TColor, TextColorHot, 0xFF0000)
    KVX_PAGER_NOTIFYING(plat::TColor, TextColorSelected, 0xFF0000)
    KVX_PAGER_NOTIFYING(plat::TColor, TextColorDisabled, 0xFFFFFF)
    KVX_PAGER_PLAIN(plat::TColor, ShadowColor, 0xE8C7AE)
    KVX_PAGER_PLAIN(plat::TColor, HighLightColor, 0xFFFABF)
    KVX_PAGER_PLAIN(plat::TColor, HighLightColorHot, 0xFDF4ED)
    KVX_PAGER_PLAIN(plat::TColor, HighLightColorSelected, 0x63CCF8)
    KVX_PAGER_PLAIN(plat::TColor, HighLightColorSelectedHot, 0xBDFFFF)
    KVX_PAGER_PLAIN(plat::TColor, HighLightColorDown, 0xFFFBD0)

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

// The colours of a page.
class TVistaBackground : public plat::TPersistent {
    PLAT_CLASS(TVistaBackground)
public:
    KVX_PAGER_NOTIFYING(plat::TColor, BorderColor, 0x808080)
    KVX_PAGER_NOTIFYING(plat::TColor, Color, 0xFFFFFF)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorTo, 0xFFFFFF)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorMirror, 0xC0C0C0)
    KVX_PAGER_NOTIFYING(plat::TColor, ColorMirrorTo, 0xFFFFFF)
    KVX_PAGER_NOTIFYING(TGDIPGradient, Gradient, ggVertical)
    KVX_PAGER_NOTIFYING(TGDIPGradient, GradientMirror, ggVertical)
    KVX_PAGER_NOTIFYING(int, Steps, 64)

public:
    // Copies the colours silently, then the two gradients through their setters.
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
};

#undef KVX_PAGER_NOTIFYING
#undef KVX_PAGER_PLAIN

// ---- Styler ----------------------------------------------------------------------------------------------

// What changed, as the styler tells its pagers.
enum TStylerChange : int { scTabAppearance = 1, scPageAppearance = 2, scPageCorners = 3, scGlowButtons = 4 };

class TCustomKvxOfficePagerStyler : public plat::TComponent {
    PLAT_CLASS(TCustomKvxOfficePagerStyler)
public:
    explicit TCustomKvxOfficePagerStyler(plat::TComponent* AOwner);
    ~TCustomKvxOfficePagerStyler() override;

    TTabAppearance* TabAppearance() const { return FTabAppearance.get(); }
    void SetTabAppearance(TTabAppearance* Value) { FTabAppearance->Assign(Value); }
    TVistaBackground* PageAppearance() const { return FPageAppearance.get(); }
    void SetPageAppearance(TVistaBackground* Value) { FPageAppearance->Assign(Value); }
    TGlowButtonAppearance* GlowButtonAppearance() const { return FGlowButtonAppearance.get(); }
    void SetGlowButtonAppearance(TGlowButtonAppearance* Value) { FGlowButtonAppearance->Assign(Value); }
    bool RoundedPageCorners() const { return FRoundedPageCorners; }
    // Notifies even when unchanged.
    void SetRoundedPageCorners(bool Value);
    int PageEdgeBlendPercent() const { return FPageEdgeBlendPercent; }
    void SetPageEdgeBlendPercent(int Value) { FPageEdgeBlendPercent = Value; }

    void RegisterStylerClient(TKvxOfficePager* Client);
    void UnregisterStylerClient(TKvxOfficePager* Client);
    void NotifyStylerClients(int Code);
    int ClientCount() const { return FClients.Count(); }

    // Copies the tab and page colours and the corner choice; the glow button colours stay.
    void Assign(plat::TPersistent* Source) override;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    TDbgList FClients;
    std::unique_ptr<TTabAppearance> FTabAppearance;
    std::unique_ptr<TVistaBackground> FPageAppearance;
    std::unique_ptr<TGlowButtonAppearance> FGlowButtonAppearance;
    bool FRoundedPageCorners = true;
    int FPageEdgeBlendPercent = 50;
    bool FDestroying = false;
};

// ---- Buttons ---------------------------------------------------------------------------------------------

class TPageButtonSettings : public plat::TPersistent {
    PLAT_CLASS(TPageButtonSettings)
public:
    TPageButtonSettings();
    ~TPageButtonSettings() override;

    bool PageListButton() const { return FPageListButton; }
    void SetPageListButton(bool Value) { Store(FPageListButton, Value); }
    bool CloseButton() const { return FCloseButton; }
    void SetCloseButton(bool Value) { Store(FCloseButton, Value); }
    bool ScrollButtonsAlways() const { return FScrollButtonsAlways; }
    void SetScrollButtonsAlways(bool Value) { Store(FScrollButtonsAlways, Value); }
    TGDIPPicture* ScrollButtonNextPicture() const { return FNextPicture.get(); }
    void SetScrollButtonNextPicture(TGDIPPicture* Value) { FNextPicture->Assign(Value); }
    TGDIPPicture* ScrollButtonPrevPicture() const { return FPrevPicture.get(); }
    void SetScrollButtonPrevPicture(TGDIPPicture* Value) { FPrevPicture->Assign(Value); }
    TGDIPPicture* PageListButtonPicture() const { return FListPicture.get(); }
    void SetPageListButtonPicture(TGDIPPicture* Value) { FListPicture->Assign(Value); }
    TGDIPPicture* CloseButtonPicture() const { return FClosePicture.get(); }
    void SetCloseButtonPicture(TGDIPPicture* Value) { FClosePicture->Assign(Value); }
    TGDIPPicture* VerticalNextPicture() const { return FVerticalNextPicture.get(); }
    TGDIPPicture* VerticalPrevPicture() const { return FVerticalPrevPicture.get(); }
    std::string ScrollButtonPrevHint = "Previous";
    std::string ScrollButtonNextHint = "Next";
    std::string CloseButtonHint = "Close";
    std::string PageListButtonHint = "Page List";
    // Set once the horizontal scroll pictures were replaced; side tabs then use them too.
    bool PrevPictureChanged = false;
    bool NextPictureChanged = false;
    bool GetPrevPictureChanged() const { return PrevPictureChanged; }
    void SetPrevPictureChanged(bool Value) { PrevPictureChanged = Value; }
    bool GetNextPictureChanged() const { return NextPictureChanged; }
    void SetNextPictureChanged(bool Value) { NextPictureChanged = Value; }

    // Copies the switches and the four published pictures; hints and vertical pictures stay.
    void Assign(plat::TPersistent* Source) override;
    plat::TNotifyEvent OnChange;

    // A picture is stored only when it is not the built-in one.
    bool IsNextPictureStored() const { return !IsBuiltIn(*FNextPicture, "KVXAONEXT"); }
    bool IsPrevPictureStored() const { return !IsBuiltIn(*FPrevPicture, "KVXAOPREV"); }
    bool IsListPictureStored() const { return !IsBuiltIn(*FListPicture, "KVXAOLIST"); }
    bool IsClosePictureStored() const { return !IsBuiltIn(*FClosePicture, "KVXAOCLOSE"); }

private:
    static bool IsBuiltIn(const TGDIPPicture& Picture, const char* ResName);
    void Changed() {
        if (OnChange)
            OnChange(this);
    }
    void Store(bool& Field, bool Value) {
        if (Field == Value)
            return;
        Field = Value;
        Changed();
    }
    bool FPageListButton = false, FCloseButton = false, FScrollButtonsAlways = false;
    std::unique_ptr<TGDIPPicture> FNextPicture, FPrevPicture, FListPicture, FClosePicture;
    std::unique_ptr<TGDIPPicture> FVerticalNextPicture, FVerticalPrevPicture;
};

// ---- The page --------------------------------------------------------------------------------------------

class TKvxOfficePage : public plat::TCustomControl {
    PLAT_CLASS(TKvxOfficePage)
public:
    explicit TKvxOfficePage(plat::TComponent* AOwner);
    ~TKvxOfficePage() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // The caption of code that sets text outside the narrow caption; shown while Caption is empty.
    const std::string& WideCaption() const { return FWideCaption; }
    void SetWideCaption(const std::string& Value);
    TGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TGDIPPicture* Value) { FPicture->Assign(Value); }
    TGDIPPicture* DisabledPicture() const { return FDisabledPicture.get(); }
    void SetDisabledPicture(TGDIPPicture* Value) { FDisabledPicture->Assign(Value); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    std::string TabHint;
    const std::string& GetTabHint() const { return TabHint; }
    void SetTabHint(const std::string& Value) { TabHint = Value; }
    TKvxHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TKvxHintInfo* Value) { FOfficeHint->Assign(Value); }
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    bool TabEnabled() const { return FTabEnabled; }
    void SetTabEnabled(bool Value);
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool Value);
    int PageIndex() const;
    void SetPageIndex(int Value);
    std::string ShortCutHint;
    const std::string& GetShortCutHint() const { return ShortCutHint; }
    void SetShortCutHint(const std::string& Value) { ShortCutHint = Value; }
    TShortCutHintPos ShortCutHintPos = shpTop;
    TShortCutHintPos GetShortCutHintPos() const { return ShortCutHintPos; }
    void SetShortCutHintPos(TShortCutHintPos Value) { ShortCutHintPos = Value; }
    TTabAppearance* TabAppearance() const { return FTabAppearance.get(); }
    void SetTabAppearance(TTabAppearance* Value) { FTabAppearance->Assign(Value); }
    bool UseTabAppearance() const { return FUseTabAppearance; }
    void SetUseTabAppearance(bool Value);
    TVistaBackground* PageAppearance() const { return FPageAppearance.get(); }
    void SetPageAppearance(TVistaBackground* Value) { FPageAppearance->Assign(Value); }
    bool UsePageAppearance() const { return FUsePageAppearance; }
    void SetUsePageAppearance(bool Value);
    plat::TNotifyEvent OnShow;
    plat::TNotifyEvent OnHide;

    TKvxOfficePager* Pager() const { return FPager; }
    // Leaves the old pager's list and joins the new one's.
    void SetPager(TKvxOfficePager* Value);

    // The glow of this page's tab: a 50 ms timer while it runs, its step, the hover and the selection
    // level, and which of them runs (0 hover, 1 selection, 2 none).
    plat::TTimer* GlowTimer = nullptr;
    int GlowStep = 0;
    int GlowLevel = 0;
    int ClickGlowLevel = 0;
    int GlowState = 2;
    void GlowFadeStep(plat::TObject* Sender = nullptr);
    void FreeGlowTimer();

    TShortCutHintWindow* ShortCutHintWindow() const { return FShortCutHintWindow; }
    void ShowShortCutHint();
    void HideShortCutHint();

    void SetParent(plat::TWinControl* NewParent) override;
    void ReadState(plat::TReader& Reader) override;

protected:
    void Paint() override;
    void AdjustClientRect(plat::TRect& Rect) const override;
    void WndProc(plat::TMessage& Message) override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    friend class TKvxOfficePager;
    void RepaintBoth();
    void PaintJoin(const TVistaBackground& A);
    void PaintCorners();

    TKvxOfficePager* FPager = nullptr;
    std::string FCaption;
    std::string FWideCaption;
    std::unique_ptr<TGDIPPicture> FPicture, FDisabledPicture;
    int FImageIndex = -1;
    std::unique_ptr<TKvxHintInfo> FOfficeHint;
    bool FTabVisible = true, FTabEnabled = true, FShowClose = true;
    std::unique_ptr<TTabAppearance> FTabAppearance;
    bool FUseTabAppearance = false;
    std::unique_ptr<TVistaBackground> FPageAppearance;
    bool FUsePageAppearance = false;
    bool FReparentGuard = false;
    bool FWasShowing = false;
    TShortCutHintWindow* FShortCutHintWindow = nullptr;
};

// ---- The pager -------------------------------------------------------------------------------------------

using TTabChangingEvent =
    std::function<void(plat::TObject* Sender, int FromPage, int ToPage, bool& AllowChange)>;
using TOnClosePage = std::function<void(plat::TObject* Sender, int PageIndex, bool& Allow)>;
using TOnClosedPage = std::function<void(plat::TObject* Sender, int PageIndex)>;
using TOnPageListClick = std::function<void(plat::TObject* Sender, int X, int Y)>;
using TTabMovedEvent = std::function<void(plat::TObject* Sender, int FromPos, int ToPos)>;
using TDrawTabEvent = std::function<void(plat::TObject* Sender, int TabIndex, plat::TRect TabRect)>;
using TTabClickEvent = std::function<void(plat::TObject* Sender, int PageIndex)>;

class TKvxOfficePager : public plat::TCustomControl {
    PLAT_CLASS(TKvxOfficePager)
public:
    explicit TKvxOfficePager(plat::TComponent* AOwner);
    ~TKvxOfficePager() override;

    // ---- Properties ----
    TCustomKvxOfficePagerStyler* KvxOfficePagerStyler() const { return FPagerStyler; }
    void SetKvxOfficePagerStyler(TCustomKvxOfficePagerStyler* Value);
    // The assigned styler, else the internal one.
    TCustomKvxOfficePagerStyler* CurrentStyler() const { return FCurrentStyler; }
    TCustomKvxOfficePagerStyler* InternalStyler() const { return FInternalStyler; }
    TKvxOfficePage* ActivePage() const;
    void SetActivePage(TKvxOfficePage* Value);
    TAntiAlias AntiAlias() const { return FAntiAlias; }
    void SetAntiAlias(TAntiAlias Value);
    TPageButtonSettings* ButtonSettings() const { return FButtonSettings.get(); }
    void SetButtonSettings(TPageButtonSettings* Value);
    bool CloseOnTab() const { return FCloseOnTab; }
    void SetCloseOnTab(bool Value);
    TCloseOnTabPos CloseOnTabPosition() const { return FCloseOnTabPosition; }
    void SetCloseOnTabPosition(TCloseOnTabPos Value);
    plat::TCustomImageList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(plat::TCustomImageList* Value);
    bool FreeOnClose = false;
    bool GetFreeOnClose() const { return FreeOnClose; }
    void SetFreeOnClose(bool Value) { FreeOnClose = Value; }
    bool Glow = true;
    bool GetGlow() const { return Glow; }
    void SetGlow(bool Value) { Glow = Value; }
    plat::TCustomImageList* Images() const { return FImages; }
    void SetImages(plat::TCustomImageList* Value);
    TKvxHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TKvxHintInfo* Value) { FOfficeHint->Assign(Value); }
    int PageMargin() const { return FPageMargin; }
    void SetPageMargin(int Value);
    plat::TPopupMenu* PageListMenu() const { return FPageListMenu; }
    void SetPageListMenu(plat::TPopupMenu* Value);
    bool RotateTabLeftRight() const { return FRotateTabLeftRight; }
    void SetRotateTabLeftRight(bool Value);
    bool ShowNonSelectedTabs() const { return FShowNonSelectedTabs; }
    void SetShowNonSelectedTabs(bool Value);
    bool ShowTabHint = false;
    bool GetShowTabHint() const { return ShowTabHint; }
    void SetShowTabHint(bool Value) { ShowTabHint = Value; }
    bool ShowShortCutHints = false;
    bool GetShowShortCutHints() const { return ShowShortCutHints; }
    void SetShowShortCutHints(bool Value) { ShowShortCutHints = Value; }
    plat::TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(plat::TTabPosition Value);
    bool TabReorder = false;
    bool GetTabReorder() const { return TabReorder; }
    void SetTabReorder(bool Value) { TabReorder = Value; }
    TPagerTabSettings* TabSettings() const { return FTabSettings.get(); }
    void SetTabSettings(TPagerTabSettings* Value) { FTabSettings->Assign(Value); }
    std::string Version() const;
    void SetVersion(const std::string&) {}
    uint32_t GetVersionNr() const;
    // The two flags of ButtonSettings, streamed after the pictures whose loading sets them.
    bool NextPictureChanged() const { return FButtonSettings->NextPictureChanged; }
    void SetNextPictureChanged(bool Value) { FButtonSettings->NextPictureChanged = Value; }
    bool PrevPictureChanged() const { return FButtonSettings->PrevPictureChanged; }
    void SetPrevPictureChanged(bool Value) { FButtonSettings->PrevPictureChanged = Value; }

    // ---- Pages ----
    int PageCount() const { return FPages.Count(); }
    // Raises for an index past the end.
    TKvxOfficePage* Pages(int Index) const { return static_cast<TKvxOfficePage*>(FPages.Items(Index)); }
    int IndexOfPage(TKvxOfficePage* Page) const { return FPages.IndexOf(Page); }
    int AddPage(TKvxOfficePage* Page);
    void RemovePage(TKvxOfficePage* Page);
    void MovePage(int FromIndex, int ToIndex);

    // ---- Selection ----
    int ActivePageIndex() const { return FActivePageIndex; }
    // Scrolls the tab into view, selects its page and repaints the band.
    void SetActivePageIndex(int Index);
    void SelectPageIndex(int Index);
    void SelectNextPage(bool GoForward);
    int HotTabIndex() const { return FHotTabIndex; }
    void SetHotTabIndex(int Value) { FHotTabIndex = Value; }
    int DownTabIndex() const { return FDownTabIndex; }
    int HintTabIndex() const { return FHintTabIndex; }
    int VisibleTabCount() const;
    bool IsTabVisible(int Index) const;
    bool ActiveTabShowsClose() const;
    int TabNeighbourSide(int Index) const;

    virtual void StylerChanged(int Code);

    // ---- Geometry ----
    plat::TRect GetTabsBandRect() const;
    plat::TRect GetPageRect() const;
    plat::TRect GetButtonsRect() const;
    plat::TRect GetTabsRect() const;
    plat::TRect GetScrollButtonsRect() const;
    plat::TRect GetScrollPrevButtonRect() const;
    plat::TRect GetScrollNextButtonRect() const;
    plat::TRect GetPageListButtonRect() const;
    plat::TRect GetCloseButtonRect() const;
    plat::TRect GetTabRect(int Index) const;
    plat::TRect GetPageTabRect(TKvxOfficePage* Page) const { return GetTabRect(IndexOfPage(Page)); }
    int TabAtPos(int X, int Y) const;
    bool HasPlainTabShape() const;
    int GetLeftRoundingSpace() const;
    int GetRightRoundingSpace() const;
    void InvalidateTab(int Index);
    void UpdatePageBounds();
    void SetPageBounds(TKvxOfficePage* Page);
    void UpdateTabScroller();
    void UpdateTabButtons();
    void ScrollTabsBack();
    void ScrollTabsForward();
    const TPagerTabScroller& TabScroller() const { return FScroller; }
    bool ScrollMode() const { return FScrollMode; }

    // The glow buttons, null while absent.
    TKvxGlowButton* CloseButton() const { return FCloseButton; }
    TKvxGlowButton* PageListButton() const { return FPageListButton; }
    TKvxGlowButton* ScrollPrevButton() const { return FScrollPrevButton; }
    TKvxGlowButton* ScrollNextButton() const { return FScrollNextButton; }
    void CloseButtonClick(plat::TObject* Sender = nullptr);
    void PageListButtonClick(plat::TObject* Sender = nullptr);

    // ---- Key tips ----
    bool ShortCutHintsShowing() const { return FShortCutHintsShowing; }
    const std::string& ShortCutPrefix() const { return FShortCutPrefix; }
    void DisplayShortCutHints();
    void HideShortCutHints();
    // Whether the pager holds the window procedure of its parent form.
    bool HooksForm() const { return FHookedForm != nullptr; }

    // ---- Events ----
    TTabChangingEvent OnChanging;
    plat::TNotifyEvent OnChange;
    TOnClosePage OnClosePage;
    TOnClosedPage OnClosedPage;
    TOnPageListClick OnPageListClick;
    TTabMovedEvent OnTabMoved;
    TDrawTabEvent OnDrawTab;
    TTabClickEvent OnTabClick;
    TTabClickEvent OnTabDblClick;
    TTabClickEvent OnTabRightClick;

    void Loaded() override;
    void BeforeDestruction() override;
    void SetParent(plat::TWinControl* NewParent) override;
    void GetChildren(const plat::TGetChildProc& Proc, plat::TComponent* Root) override;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    void Paint() override;
    void AlignControls(plat::TControl* AControl, plat::TRect& Rect) override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void DragOver(plat::TObject* Source, int X, int Y, plat::TDragState State, bool& Accept) override;
    void DragDrop(plat::TObject* Source, int X, int Y) override;
    void WndProc(plat::TMessage& Message) override;

private:
    friend class TKvxOfficePage;

    bool Designing() const;
    bool Horizontal() const;
    bool RotatedSide() const;
    bool UnrotatedSide() const;
    void TabSettingsChanged(plat::TObject* Sender);
    void ButtonSettingsChanged(plat::TObject* Sender);
    int TabExtent(int Index) const;
    void CalcTabRect(int FromIndex, int ToIndex, plat::TRect& R, bool UseScroll) const;
    int CalcScrollMax(bool& Fits);
    void PageListItemClick(plat::TObject* Sender);
    void RepaintActivePage();
    bool ButtonsShown() const;
    void DrawTabs();
    void DrawTab(int Index);
    void DrawButtonsFrame();
    TKvxGlowButton* MakeButton(TKvxGlowButton*& Button, plat::TNotifyEvent Click);
    void StartGlow(TKvxOfficePage* Page, int Step, int State);
    void ShortCutKey(uint16_t Key);
    void FormWindowProc(plat::TMessage& Message);
    void UnhookForm();

    TCustomKvxOfficePagerStyler* FPagerStyler = nullptr;
    TCustomKvxOfficePagerStyler* FInternalStyler = nullptr;
    TCustomKvxOfficePagerStyler* FCurrentStyler = nullptr;
    TDbgList FPages;
    bool FLoaded = false;
    TPagerTabScroller FScroller;
    int FActivePageIndex = -1;
    int FHotTabIndex = -1;
    int FDownTabIndex = -1;
    int FHintTabIndex = -1;
    int FTabOffset = 4;
    bool FScrollMode = false;
    TAntiAlias FAntiAlias = aaClearType;
    std::unique_ptr<TPageButtonSettings> FButtonSettings;
    bool FCloseOnTab = false;
    TCloseOnTabPos FCloseOnTabPosition = cpRight;
    plat::TCustomImageList* FDisabledImages = nullptr;
    plat::TCustomImageList* FImages = nullptr;
    std::unique_ptr<TKvxHintInfo> FOfficeHint;
    int FPageMargin = 1;
    plat::TPopupMenu* FPageListMenu = nullptr;
    bool FRotateTabLeftRight = true;
    bool FShowNonSelectedTabs = false;
    plat::TTabPosition FTabPosition = plat::tpTop;
    std::unique_ptr<TPagerTabSettings> FTabSettings;
    TKvxGlowButton* FCloseButton = nullptr;
    TKvxGlowButton* FPageListButton = nullptr;
    TKvxGlowButton* FScrollPrevButton = nullptr;
    TKvxGlowButton* FScrollNextButton = nullptr;
    std::unique_ptr<plat::TBitmap> FButtonsBackground;
    // Measures captions: every tab rectangle is computed from them, many times per mouse move.
    mutable std::unique_ptr<plat::TBitmap> FMeasureBitmap;
    bool FClosingPage = false;
    std::vector<TShortCutHintWindow*> FShortCutHintWindows;
    bool FShortCutHintsShowing = false;
    std::string FShortCutPrefix;
    plat::TWinControl* FHookedForm = nullptr;
    plat::TWndMethod FSavedFormWindowProc;
};

} // namespace ui::pager
