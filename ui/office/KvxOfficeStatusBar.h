// The office status bar: a row of typed panels, each an office-style gradient tile with text, markup,
// images, a progress bar, a clock, a date or a key state. A window timer keeps the live panels current;
// the mouse hovers, presses and clicks Button panels and follows markup links. Colours come from a styler
// (KvxOfficeStatusBarStylers.h). Programs write status texts through Panels()->GetItem(i)->SetText(...),
// which only marks the panel for repainting, so it may run at display rate.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Control.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/TextAlignment.h"
#include "ui/drawing/KvxGDIP.h"
#include "ui/drawing/KvxHintInfo.h"
#include "ui/office/KvxOfficeStatusBarStylers.h"

namespace ui {
class TPictureContainer;
struct TMarkupOptions;
} // namespace ui

namespace ui::statusbar {

// ---- Drawing routines of the unit -------------------------------------------------------------------

// P percent of A and the rest of B, per channel (system colours resolved); P >= 100 is A, P <= 0 is B.
plat::TColor MixColors(plat::TColor A, plat::TColor B, int P);
// Steps overlapping bands from FromColor to ToColor over R (Steps 0 counts as 1).
void FillStepGradient(plat::TCanvas& Canvas, plat::TColor FromColor, plat::TColor ToColor, int Steps,
                      const plat::TRect& R, bool Horizontal);
// The office tile: an upper gradient and, unless ColorMirror is clNone, a mirror gradient in the lower
// half; framed unless Border is clNone; nothing filled when Color is clNone.
void DrawOfficeTile(plat::TCanvas& Canvas, const plat::TRect& R, plat::TColor Color, plat::TColor ColorTo,
                    plat::TColor ColorMirror, plat::TColor ColorMirrorTo, plat::TColor Border);
void FillRectColor(plat::TCanvas& Canvas, const plat::TRect& R, plat::TColor Colour);

// What the panel painter hands to the progress painter, filled afresh for every paint.
struct TGaugeSettings {
    plat::TColor Level0Color = 0, Level0ColorTo = 0, Level1Color = 0, Level1ColorTo = 0;
    plat::TColor Level2Color = 0, Level2ColorTo = 0, Level3Color = 0, Level3ColorTo = 0;
    int Level1Perc = 70;
    int Level2Perc = 90;
    plat::TColor BorderColor = 0;
    bool ShowBorder = false;
    bool Stacked = false;
    bool ShowPercentage = true;
    plat::TFont* Font = nullptr;
    bool CompletionSmooth = false;
    bool ShowGradient = true;
    int Steps = 11;
    int Position = 0;
    plat::TColor BackgroundColor = plat::clNone;
    uint8_t Orientation = 0;
    bool IsPercent = true;
    std::string Suffix, Prefix, Text;
};

// Cuts a progress fill into 7-pixel blocks with 2-pixel gaps; a gap shows Background (the bar's
// background before the fill, at BarRect) when the settings have no background colour.
void DrawProgressSegments(plat::TCanvas& Canvas, const plat::TRect& Fill, plat::TBitmap& Background,
                          const plat::TRect& BarRect, const TGaugeSettings& Settings);
// A progress bar in R. Percent may lie outside 0..100; the fill never leaves the bar.
void PaintProgressBar(plat::TCanvas& Canvas, const plat::TRect& R, int Percent,
                      const TGaugeSettings& Settings);
// The percentage Position stands for between Min and Max (either order); 0 when they are equal.
int ProgressPercent(int Min, int Max, int Position);

// Draws (DoDraw) or only measures one line of text. Anti-aliased through the graphics layer when asked
// and the font is a vector font, else through the plain text output. CalcRect gets the text's extent.
void DrawPanelText(plat::TCanvas& Canvas, plat::TAlignment Alignment, uint32_t Flags, const plat::TRect& R,
                   std::string Text, plat::TFont* Font, bool Enabled, bool DoDraw, TAntiAlias AntiAlias,
                   bool Ellipsis, plat::TRect& CalcRect);
bool IsVectorScreenFont(plat::TCanvas* Canvas);
// Shortens a path in the middle ("C:\...\Sub\file.txt") until it fits MaxWidth; the name stays whole.
std::string EllipsizePath(const std::string& Path, plat::TCanvas& Canvas, int MaxWidth);
void DropLeadingFolder(std::string& Dir);

// ---- Panels ---------------------------------------------------------------------------------------------

class TKvxOfficeStatusPanel;
class TKvxOfficeStatusPanels;

enum TProgressIndication : uint8_t { piPercentage, piAbsolute, piNone };
inline constexpr const char* kProgressIndicationNames[] = {"piPercentage", "piAbsolute", "piNone"};
static_assert(std::size(kProgressIndicationNames) == piNone + 1);

// The settings of a psProgress panel; every change repaints that panel.
class TProgressStyle : public plat::TPersistent {
    PLAT_CLASS(TProgressStyle)
public:
    explicit TProgressStyle(TKvxOfficeStatusPanel* AOwner = nullptr) : FOwner(AOwner) {}
    // Copies every setting of another progress style without repainting.
    void Assign(plat::TPersistent* Source) override;

#define KVX_PROGRESS_PROP(Type, Name)                                                                        \
    Type Name() const {                                                                                      \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void Set##Name(Type Value) {                                                                             \
        F##Name = Value;                                                                                     \
        Changed();                                                                                           \
    }
    KVX_PROGRESS_PROP(int, Min)
    KVX_PROGRESS_PROP(int, Max)
    KVX_PROGRESS_PROP(int, Position)
    KVX_PROGRESS_PROP(TProgressIndication, Indication)
    KVX_PROGRESS_PROP(plat::TColor, BackGround)
    KVX_PROGRESS_PROP(plat::TColor, Level0Color)
    KVX_PROGRESS_PROP(plat::TColor, Level0ColorTo)
    KVX_PROGRESS_PROP(plat::TColor, Level1Color)
    KVX_PROGRESS_PROP(plat::TColor, Level1ColorTo)
    KVX_PROGRESS_PROP(plat::TColor, Level2Color)
    KVX_PROGRESS_PROP(plat::TColor, Level2ColorTo)
    KVX_PROGRESS_PROP(plat::TColor, Level3Color)
    KVX_PROGRESS_PROP(plat::TColor, Level3ColorTo)
    KVX_PROGRESS_PROP(int, Level1Perc)
    KVX_PROGRESS_PROP(int, Level2Perc)
    KVX_PROGRESS_PROP(plat::TColor, BorderColor)
    KVX_PROGRESS_PROP(bool, ShowBorder)
    KVX_PROGRESS_PROP(bool, Stacked)
    KVX_PROGRESS_PROP(bool, ShowPercentage)
    KVX_PROGRESS_PROP(bool, CompletionSmooth)
    KVX_PROGRESS_PROP(bool, ShowGradient)
    KVX_PROGRESS_PROP(std::string, Suffix)
    KVX_PROGRESS_PROP(std::string, Prefix)
#undef KVX_PROGRESS_PROP

private:
    void Changed();

    int FMin = 0;
    int FPosition = 0;
    int FMax = 100;
    TProgressIndication FIndication = piPercentage;
    plat::TColor FBackGround = plat::clNone;
    TKvxOfficeStatusPanel* FOwner;
    plat::TColor FLevel0Color = 0x00FF00, FLevel0ColorTo = 0xE1FFE1;
    plat::TColor FLevel1Color = 0x00FFFF, FLevel1ColorTo = 0xCAFFFF;
    plat::TColor FLevel2Color = 0x53A9FF, FLevel2ColorTo = 0xA8D3FF;
    plat::TColor FLevel3Color = 0x0000FF, FLevel3ColorTo = 0xCACAFF;
    int FLevel1Perc = 70;
    int FLevel2Perc = 90;
    plat::TColor FBorderColor = plat::clBlack;
    bool FShowBorder = false;
    bool FStacked = false;
    bool FShowPercentage = true;
    bool FCompletionSmooth = false;
    bool FShowGradient = true;
    std::string FSuffix, FPrefix;
};

enum TKvxOfficeStatusPanelStyle : uint8_t {
    psHTML,
    psText,
    psOwnerDraw,
    psTime,
    psDate,
    psNumLock,
    psCapsLock,
    psScrollLock,
    psProgress,
    psImage,
    psImageList,
    psAnimation,
    psEllipsText,
    psFileEllipsText,
};
inline constexpr const char* kPanelStyleNames[] = {
    "psHTML",      "psText",      "psOwnerDraw",  "psTime",           "psDate",
    "psNumLock",   "psCapsLock",  "psScrollLock", "psProgress",       "psImage",
    "psImageList", "psAnimation", "psEllipsText", "psFileEllipsText",
};
static_assert(std::size(kPanelStyleNames) == psFileEllipsText + 1);

enum TPanelAppearanceStyle : uint8_t { psLight, psDark };
inline constexpr const char* kPanelAppearanceStyleNames[] = {"psLight", "psDark"};
static_assert(std::size(kPanelAppearanceStyleNames) == psDark + 1);

enum TBiDiMode : uint8_t { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
inline constexpr const char* kBiDiModeNames[] = {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                                                 "bdRightToLeftReadingOnly"};
static_assert(std::size(kBiDiModeNames) == bdRightToLeftReadingOnly + 1);

class TKvxOfficeStatusPanel : public plat::TCollectionItem {
    PLAT_CLASS(TKvxOfficeStatusPanel)
public:
    explicit TKvxOfficeStatusPanel(plat::TCollection* Collection);
    ~TKvxOfficeStatusPanel() override;

    // From another panel: text, width, alignment, style, formats, progress, hint, appearance, AutoSize
    // and MinWidth.
    void Assign(plat::TPersistent* Source) override;
    std::string DisplayName() const override;
    class TKvxOfficeStatusBar* StatusBar() const;

    const std::string& Text() const { return FText; }
    // An unchanged text does nothing; a new one marks only this panel for repainting (and lays out an
    // AutoSize panel's bar). Never paints by itself.
    void SetText(const std::string& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value) { FMinWidth = Value; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TKvxOfficeStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TKvxOfficeStatusPanelStyle Value);
    plat::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(plat::TAlignment Value);
    TPanelAppearanceStyle AppearanceStyle() const { return FAppearanceStyle; }
    void SetAppearanceStyle(TPanelAppearanceStyle Value);
    bool Button() const { return FButton; }
    void SetButton(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    const std::string& DateFormat() const { return FDateFormat; }
    void SetDateFormat(const std::string& Value);
    const std::string& TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(const std::string& Value);
    int HTMLOffsetX() const { return FHTMLOffsetX; }
    void SetHTMLOffsetX(int Value);
    int HTMLOffsetY() const { return FHTMLOffsetY; }
    void SetHTMLOffsetY(int Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    plat::TCustomImageList* AnimationImages() const { return FAnimationImages; }
    void SetAnimationImages(plat::TCustomImageList* Value);
    int AnimationDelay() const { return FAnimationDelay; }
    void SetAnimationDelay(int Value);
    bool Animated() const { return FAnimated; }
    void SetAnimated(bool Value) { FAnimated = Value; }
    int AnimationIndex() const { return FAnimationIndex; }
    void SetAnimationIndex(int Value) { FAnimationIndex = Value; }
    TProgressStyle* Progress() const { return FProgress.get(); }
    void SetProgress(TProgressStyle* Value) { FProgress->Assign(Value); }
    TKvxHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TKvxHintInfo* Value) { FOfficeHint->Assign(Value); }
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool Value);
    // Decimal image indexes of a psImageList panel.
    plat::TStringList* ImageIndexes() const { return FImageIndexes.get(); }

    // Marks this panel's rectangle for repainting.
    void InvalidatePanel();

private:
    friend class TKvxOfficeStatusBar;
    void RepaintBar();

    std::string FText;
    int FWidth = 50;
    plat::TAlignment FAlignment = plat::taLeftJustify;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    TKvxOfficeStatusPanelStyle FStyle = psHTML;
    std::string FTimeFormat;
    std::string FDateFormat;
    int FAnimationIndex = 0;
    std::unique_ptr<TProgressStyle> FProgress;
    int FHTMLOffsetY = 2;
    int FHTMLOffsetX = 2;
    int FImageIndex = -1;
    std::unique_ptr<plat::TStringList> FImageIndexes;
    plat::TCustomImageList* FAnimationImages = nullptr;
    int FAnimationDelay = 0;
    bool FAnimated = false;
    bool FEnabled = true;
    TPanelAppearanceStyle FAppearanceStyle = psLight;
    std::unique_ptr<TKvxHintInfo> FOfficeHint;
    bool FButton = false;
    bool FAutoSize = false;
    int FMinWidth = 20;
};

class TKvxOfficeStatusPanels : public plat::TCollection {
    PLAT_CLASS(TKvxOfficeStatusPanels)
public:
    explicit TKvxOfficeStatusPanels(TKvxOfficeStatusBar* Bar);
    TKvxOfficeStatusPanel* Add() { return static_cast<TKvxOfficeStatusPanel*>(plat::TCollection::Add()); }
    // Raises the list index error outside 0..Count-1.
    TKvxOfficeStatusPanel* GetItem(int Index) const {
        return static_cast<TKvxOfficeStatusPanel*>(Items(Index));
    }
    TKvxOfficeStatusBar* StatusBar() const { return FBar; }
    plat::TPersistent* GetOwner() const override;

protected:
    void Update(plat::TCollectionItem* Item) override;

private:
    TKvxOfficeStatusBar* FBar;
};

// The never visible control the hint machinery is handed, so the office hint window shows the hint of
// the panel under the mouse.
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

// What the bar asks of the toolbar family, which sits above this library: whether its parent is the
// toolbar family's office form, and the caption text colour of that form's toolbar pagers. Until a
// toolbar family installs an answer, both are "no".
class IStatusBarFrameQuery {
public:
    virtual bool IsToolBarForm(plat::TWinControl* Parent) const = 0;
    // The caption text colour of the last toolbar pager on Form; false when it has none.
    virtual bool PagerCaptionTextColor(plat::TWinControl* Form, plat::TColor& Colour) const = 0;

protected:
    ~IStatusBarFrameQuery() = default;
};
// Answers the previous one; null puts back the answer "no".
IStatusBarFrameQuery* SetStatusBarFrameQuery(IStatusBarFrameQuery* Query);

// ---- The bar --------------------------------------------------------------------------------------------

using TDrawPanelEvent = std::function<void(class TKvxOfficeStatusBar* StatusBar, TKvxOfficeStatusPanel* Panel,
                                           const plat::TRect& Rect)>;
using TPanelClick = std::function<void(plat::TObject* Sender, int PanelIndex)>;
using TAnchorClick = std::function<void(plat::TObject* Sender, const std::string& Anchor)>;

class TKvxOfficeStatusBar : public plat::TCustomControl {
    PLAT_CLASS(TKvxOfficeStatusBar)
public:
    static constexpr uintptr_t kTimerId = 111;
    static constexpr uint32_t kTimerInterval = 100;

    explicit TKvxOfficeStatusBar(plat::TComponent* AOwner);
    ~TKvxOfficeStatusBar() override;

    TKvxOfficeStatusPanels* Panels() const { return FPanels.get(); }
    void SetPanels(TKvxOfficeStatusPanels* Value) { FPanels->Assign(Value); }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    int StretchPanel() const { return FStretchPanel; }
    // Only -1 .. Count-1; anything else is ignored.
    void SetStretchPanel(int Value);
    TCustomKvxOfficeStatusBarStyler* Styler() const { return FStyler; }
    void SetStyler(TCustomKvxOfficeStatusBarStyler* Value);
    // The styler all painting reads: the assigned one, else the bar's own.
    TCustomKvxOfficeStatusBarStyler* CurrentStyler() const { return FCurrentStyler; }
    TCustomKvxOfficeStatusBarStyler* InternalStyler() const { return FInternalStyler; }
    bool UseSystemFont() const { return FUseSystemFont; }
    void SetUseSystemFont(bool Value);
    void ApplySystemFont();
    TAntiAlias AntiAlias() const { return FAntiAlias; }
    void SetAntiAlias(TAntiAlias Value);
    bool AnchorHint() const { return FAnchorHint; }
    void SetAnchorHint(bool Value) { FAnchorHint = Value; }
    bool AutoHint() const { return FAutoHint; }
    void SetAutoHint(bool Value) { FAutoHint = Value; }
    plat::TCustomImageList* Images() const { return FImages; }
    void SetImages(plat::TCustomImageList* Value);
    plat::TCustomImageList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(plat::TCustomImageList* Value);
    TPictureContainer* PictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* Value);
    plat::TColor URLColor() const { return FURLColor; }
    void SetURLColor(plat::TColor Value);
    std::string Version() const;
    void SetVersion(const std::string&) {}
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }

    // Geometry: the panel's rectangle for hit tests, hints and invalidation; (-1,-1,-1,-1) for no panel.
    plat::TRect PanelRect(int Index) const;
    int PanelAt(int X) const;
    // The panel's rectangle, or the whole bar for an index that is not a panel.
    void InvalidatePanel(int Index);
    void AutoSizePanels();
    bool IsSizeGripVisible() const;
    // The link target of the markup link under the point, or empty.
    std::string AnchorAt(int X, int Y);
    int PanelEdgeAt(int X) const;
    // Mirrors the panels for right-to-left layouts.
    void FlipChildren(bool AllLevels);
    // An application hint text for the bar (AutoHint): true when the bar showed it.
    bool ShowApplicationHint(const std::string& HintText);

    int TickCounter() const { return FTickCounter; }
    int HotPanel() const { return FHotPanel; }
    int DownPanel() const { return FDownPanel; }
    TDummyHintControl* HintCarrier() const { return FHintCarrier; }
    // The styler going away: the bar returns to its own.
    void StylerDestroyed(TCustomKvxOfficeStatusBarStyler* AStyler);

    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

    TDrawPanelEvent OnDrawPanel;
    TPanelClick OnPanelClick;
    TPanelClick OnPanelRightClick;
    TPanelClick OnPanelDblClick;
    TAnchorClick OnAnchorClick;
    TAnchorClick OnAnchorEnter;
    TAnchorClick OnAnchorExit;
    plat::TNotifyEvent OnHint;

protected:
    virtual void TimerTick();
    virtual bool DoHint();
    virtual void DrawPanel(TKvxOfficeStatusPanel* Panel, const plat::TRect& Rect);

    void Paint() override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(plat::TMessage& Message) override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void Resize() override;

private:
    friend class TKvxOfficeStatusPanel;
    friend class TKvxOfficeStatusPanels;
    void PanelsChanged();
    void DrawPanels();
    void DrawSimplePanel();
    void DrawSizeGrip(const plat::TRect& R);
    void DrawPanelBackground(TKvxOfficeStatusPanel* Panel, const plat::TRect& R);
    void DrawFrameCorners();
    void DrawPanelTextLine(TKvxOfficeStatusPanel* Panel, plat::TAlignment Alignment, uint32_t Flags,
                           const plat::TRect& R, bool Ellipsis);
    int OtherPanelsWidth() const;
    int MeasureMarkup(const std::string& Text);
    plat::TCanvas& MeasureCanvas();
    void MarkupOptions(TMarkupOptions& Options) const;
    void SetHotPanel(int Index);
    void SetDownPanel(int Index);
    void HintShow(plat::TMessage& Message);
    void NCHitTest(plat::TMessage& Message);
    void Tick();

    std::unique_ptr<TKvxOfficeStatusPanels> FPanels;
    std::unique_ptr<plat::TBitmap> FMeasureBitmap;
    TCustomKvxOfficeStatusBarStyler* FInternalStyler = nullptr;
    TCustomKvxOfficeStatusBarStyler* FStyler = nullptr;
    TCustomKvxOfficeStatusBarStyler* FCurrentStyler = nullptr;
    TDummyHintControl* FHintCarrier = nullptr;
    TPictureContainer* FPictureContainer = nullptr;
    plat::TCustomImageList* FImages = nullptr;
    plat::TCustomImageList* FDisabledImages = nullptr;
    std::string FSimpleText;
    std::string FLastAnchor;
    bool FSimplePanel = false;
    bool FSizeGrip = true;
    bool FUseSystemFont = true;
    bool FAnchorHint = false;
    bool FAutoHint = false;
    bool FInAutoSize = false;
    TAntiAlias FAntiAlias = aaClearType;
    TBiDiMode FBiDiMode = bdLeftToRight;
    plat::TColor FURLColor = plat::clBlue;
    int FStretchPanel = -1;
    uintptr_t FTimerID = 0;
    int FTickCounter = 0;
    int FHotPanel = -1;
    int FDownPanel = -1;
    int FHintPanel = -1;
    int FDesignResizePanel = -1;
    int FDesignStartX = 0;
    int FDesignStartWidth = 0;
};

} // namespace ui::statusbar

namespace ui {
using statusbar::IStatusBarFrameQuery;
using statusbar::SetStatusBarFrameQuery;
using statusbar::TKvxOfficeStatusBar;
using statusbar::TKvxOfficeStatusPanel;
using statusbar::TKvxOfficeStatusPanels;
using statusbar::TProgressStyle;
} // namespace ui
