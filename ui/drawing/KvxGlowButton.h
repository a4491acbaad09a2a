// The glow button: an office-style push button whose face has a glowing upper and a mirrored lower half,
// cross-fades between its looks on a timer, can be a check button or one of a group, carries an optional
// drop-down part, repeats clicks while held, sizes itself to its content and shows key tips. Beside it
// live its colour set (TGlowButtonAppearance), the stand-alone face renderer and the colour routines that
// the toolbars and stylers share.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Persistent.h"
#include "platform/ui/Control.h"
#include "platform/ui/Form.h"
#include "platform/ui/HintWindow.h"
#include "ui/drawing/GDIPicture.h"
#include "ui/drawing/KvxGDIP.h"
#include "ui/drawing/KvxHintInfo.h"
#include "ui/drawing/KvxStyleIF.h"

namespace plat {
class TBitmap;
class TBasicAction;
class TCustomImageList;
class TPopupMenu;
class TStrings;
class TStringList;
class TTimer;
} // namespace plat

namespace ui {

// Interval of the hover and press fades of glow buttons, toolbars and the pager's tab glow, in ms.
extern int FadeTimerInterval;

// The gradient kind of one half of a face.
enum TGDIPGradient : uint8_t { ggRadial, ggVertical, ggDiagonalForward, ggDiagonalBackward };
inline constexpr const char* kGDIPGradientNames[] = {"ggRadial", "ggVertical", "ggDiagonalForward",
                                                     "ggDiagonalBackward"};
static_assert(std::size(kGDIPGradientNames) == ggDiagonalBackward + 1);

enum TKvxButtonStyle : uint8_t { bsButton, bsCheck };
inline constexpr const char* kKvxButtonStyleNames[] = {"bsButton", "bsCheck"};
static_assert(std::size(kKvxButtonStyleNames) == bsCheck + 1);

enum TButtonLayout : uint8_t {
    blGlyphLeft,
    blGlyphTop,
    blGlyphRight,
    blGlyphBottom,
    blGlyphLeftAdjusted,
    blGlyphRightAdjusted,
    blGlyphTopAdjusted,
    blGlyphBottomAdjusted,
};
inline constexpr const char* kButtonLayoutNames[] = {
    "blGlyphLeft",         "blGlyphTop",           "blGlyphRight",       "blGlyphBottom",
    "blGlyphLeftAdjusted", "blGlyphRightAdjusted", "blGlyphTopAdjusted", "blGlyphBottomAdjusted",
};
static_assert(std::size(kButtonLayoutNames) == blGlyphBottomAdjusted + 1);

enum TDropDownPosition : uint8_t { dpRight, dpBottom };
inline constexpr const char* kDropDownPositionNames[] = {"dpRight", "dpBottom"};
static_assert(std::size(kDropDownPositionNames) == dpBottom + 1);

enum TDropDownDirection : uint8_t { ddDown, ddRight };
inline constexpr const char* kDropDownDirectionNames[] = {"ddDown", "ddRight"};
static_assert(std::size(kDropDownDirectionNames) == ddRight + 1);

enum TFocusType : uint8_t { ftBorder, ftHot, ftHotBorder, ftNone };
inline constexpr const char* kFocusTypeNames[] = {"ftBorder", "ftHot", "ftHotBorder", "ftNone"};
static_assert(std::size(kFocusTypeNames) == ftNone + 1);

enum TButtonPosition : uint8_t { bpStandalone, bpLeft, bpMiddle, bpRight };
inline constexpr const char* kButtonPositionNames[] = {"bpStandalone", "bpLeft", "bpMiddle", "bpRight"};
static_assert(std::size(kButtonPositionNames) == bpRight + 1);

enum TButtonSizeState : uint8_t { bsGlyph, bsLabel, bsLarge };
inline constexpr const char* kButtonSizeStateNames[] = {"bsGlyph", "bsLabel", "bsLarge"};
static_assert(std::size(kButtonSizeStateNames) == bsLarge + 1);

enum TShortCutHintPos : uint8_t {
    shpLeft,
    shpTop,
    shpRight,
    shpBottom,
    shpCenter,
    shpAuto,
    shpTopLeft,
    shpTopRight,
    shpAboveTop,
    shpAboveTopLeft,
    shpAboveTopRight,
    shpBottomLeft,
    shpBottomRight,
    shpBelowBottom,
    shpBelowBottomLeft,
    shpBelowBottomRight,
};
inline constexpr const char* kShortCutHintPosNames[] = {
    "shpLeft",        "shpTop",          "shpRight",           "shpBottom",
    "shpCenter",      "shpAuto",         "shpTopLeft",         "shpTopRight",
    "shpAboveTop",    "shpAboveTopLeft", "shpAboveTopRight",   "shpBottomLeft",
    "shpBottomRight", "shpBelowBottom",  "shpBelowBottomLeft", "shpBelowBottomRight",
};
static_assert(std::size(kShortCutHintPosNames) == shpBelowBottomRight + 1);

inline constexpr const char* kStringTrimmingNames[] = {
    "StringTrimmingNone",         "StringTrimmingCharacter",
    "StringTrimmingWord",         "StringTrimmingEllipsisCharacter",
    "StringTrimmingEllipsisWord", "StringTrimmingEllipsisPath",
};
static_assert(std::size(kStringTrimmingNames) == StringTrimmingEllipsisPath + 1);

// The state handed to OnDrawButton.
enum TGlowButtonState : uint8_t { gsNormal, gsHot, gsDown };

// ---- Colour routines -------------------------------------------------------------------------------------

// Percent of the way from Color2 to Color1, per channel, halves rounded to even.
plat::TColor MixColors(plat::TColor Color1, plat::TColor Color2, int Percent);
// Each channel times (100 + Percent) / 100 (at most 100 %); a zero channel becomes max(0, Percent).
plat::TColor DarkenColor(plat::TColor Color, int Percent);
plat::TColor DarkenColorRGB(plat::TColor Color, int PercentR, int PercentG, int PercentB);
// Steps bands from FromColor to ToColor across R, advancing in x when Horizontal, else in y.
void FillBandGradient(plat::TCanvas* Canvas, plat::TColor FromColor, plat::TColor ToColor, int Steps,
                      const plat::TRect& R, bool Horizontal);
// The small drop-down triangle with its shadow, pointing down or right, its corner at P.
void DrawDropDownArrow(plat::TCanvas* Canvas, plat::TPoint P, plat::TColor Color, bool Down,
                       plat::TColor ShadowColor);

// ---- Appearance ------------------------------------------------------------------------------------------

// The colours of one look of the face, as the renderer takes them.
struct TGlowLook {
    plat::TColor Color = 0;
    plat::TColor ColorTo = 0;
    plat::TColor ColorMirror = 0;
    plat::TColor ColorMirrorTo = 0;
    plat::TColor BorderColor = 0;
    TGDIPGradient Gradient = ggVertical;
    TGDIPGradient GradientMirror = ggVertical;
    bool operator==(const TGlowLook&) const = default;
};

enum TGlowLookKind : uint8_t { glNormal, glHot, glDown, glChecked, glDisabled };
inline constexpr int kGlowLookCount = glDisabled + 1;

#define KVX_GLOW_COLOR(Name, Look, Field)                                                                    \
    plat::TColor Name() const {                                                                              \
        return FLooks[Look].Field;                                                                           \
    }                                                                                                        \
    void Set##Name(plat::TColor Value) {                                                                     \
        Store(FLooks[Look].Field, Value);                                                                    \
    }
#define KVX_GLOW_GRADIENT(Name, Look, Field)                                                                 \
    TGDIPGradient Name() const {                                                                             \
        return FLooks[Look].Field;                                                                           \
    }                                                                                                        \
    void Set##Name(TGDIPGradient Value) {                                                                    \
        Store(FLooks[Look].Field, Value);                                                                    \
    }

class TGlowButtonAppearance : public plat::TPersistent {
    PLAT_CLASS(TGlowButtonAppearance)
public:
    TGlowButtonAppearance();

    KVX_GLOW_COLOR(BorderColor, glNormal, BorderColor)
    KVX_GLOW_COLOR(BorderColorHot, glHot, BorderColor)
    KVX_GLOW_COLOR(BorderColorDown, glDown, BorderColor)
    KVX_GLOW_COLOR(BorderColorChecked, glChecked, BorderColor)
    KVX_GLOW_COLOR(BorderColorDisabled, glDisabled, BorderColor)
    KVX_GLOW_COLOR(Color, glNormal, Color)
    KVX_GLOW_COLOR(ColorTo, glNormal, ColorTo)
    KVX_GLOW_COLOR(ColorChecked, glChecked, Color)
    KVX_GLOW_COLOR(ColorCheckedTo, glChecked, ColorTo)
    KVX_GLOW_COLOR(ColorDisabled, glDisabled, Color)
    KVX_GLOW_COLOR(ColorDisabledTo, glDisabled, ColorTo)
    KVX_GLOW_COLOR(ColorDown, glDown, Color)
    KVX_GLOW_COLOR(ColorDownTo, glDown, ColorTo)
    KVX_GLOW_COLOR(ColorHot, glHot, Color)
    KVX_GLOW_COLOR(ColorHotTo, glHot, ColorTo)
    KVX_GLOW_COLOR(ColorMirror, glNormal, ColorMirror)
    KVX_GLOW_COLOR(ColorMirrorTo, glNormal, ColorMirrorTo)
    KVX_GLOW_COLOR(ColorMirrorHot, glHot, ColorMirror)
    KVX_GLOW_COLOR(ColorMirrorHotTo, glHot, ColorMirrorTo)
    KVX_GLOW_COLOR(ColorMirrorDown, glDown, ColorMirror)
    KVX_GLOW_COLOR(ColorMirrorDownTo, glDown, ColorMirrorTo)
    KVX_GLOW_COLOR(ColorMirrorChecked, glChecked, ColorMirror)
    KVX_GLOW_COLOR(ColorMirrorCheckedTo, glChecked, ColorMirrorTo)
    KVX_GLOW_COLOR(ColorMirrorDisabled, glDisabled, ColorMirror)
    KVX_GLOW_COLOR(ColorMirrorDisabledTo, glDisabled, ColorMirrorTo)
    KVX_GLOW_GRADIENT(Gradient, glNormal, Gradient)
    KVX_GLOW_GRADIENT(GradientMirror, glNormal, GradientMirror)
    KVX_GLOW_GRADIENT(GradientHot, glHot, Gradient)
    KVX_GLOW_GRADIENT(GradientMirrorHot, glHot, GradientMirror)
    KVX_GLOW_GRADIENT(GradientDown, glDown, Gradient)
    KVX_GLOW_GRADIENT(GradientMirrorDown, glDown, GradientMirror)
    KVX_GLOW_GRADIENT(GradientChecked, glChecked, Gradient)
    KVX_GLOW_GRADIENT(GradientMirrorChecked, glChecked, GradientMirror)
    KVX_GLOW_GRADIENT(GradientDisabled, glDisabled, Gradient)
    KVX_GLOW_GRADIENT(GradientMirrorDisabled, glDisabled, GradientMirror)

    bool SystemFont() const { return FSystemFont; }
    void SetSystemFont(bool Value) { Store(FSystemFont, Value); }

    const TGlowLook& Look(TGlowLookKind Kind) const { return FLooks[Kind]; }

    // Another appearance is copied value by value through the setters; anything else raises the class
    // library's assignment error.
    void Assign(plat::TPersistent* Source) override;

    plat::TNotifyEvent OnChange;

protected:
    void Changed();

private:
    template <class T> void Store(T& Field, T Value) {
        if (Field == Value)
            return;
        Field = Value;
        Changed();
    }
    TGlowLook FLooks[kGlowLookCount];
    bool FSystemFont = true;
};

#undef KVX_GLOW_COLOR
#undef KVX_GLOW_GRADIENT

// ---- Face renderer ---------------------------------------------------------------------------------------

// Everything one paint (or measuring pass) of a face needs; the routine keeps no state of its own.
struct TGlowFaceParams {
    plat::TRect R;
    TGlowLook Look;
    std::string Caption;
    std::string WideCaption; // used when Caption is empty
    bool DrawCaption = true;
    plat::TFont* Font = nullptr;
    plat::TCustomImageList* Images = nullptr;
    int ImageIndex = -1;
    bool EnabledImage = true;
    TButtonLayout Layout = blGlyphLeft;
    bool DropDownButton = false;
    bool SplitLook = false;
    bool Enabled = true;
    bool FocusBorder = false;
    TDropDownPosition DropDownPosition = dpRight;
    TGDIPPicture* Picture = nullptr;
    plat::TPoint GlyphSize{0, 0};
    TAntiAlias AntiAlias = aaClearType;
    bool DrawGlyph = true;
    plat::TBitmap* Overlay = nullptr;
    int DropDownState = 0; // 1: the main part is under the pointer, 2: the drop-down part
    bool SkipBackground = false;
    bool Hot = false;
    TButtonPosition Position = bpStandalone;
    bool DropDownSplit = true;
    bool SingleBorder = true;
    bool CaptionOverFace = false;
    bool WordWrap = true;
    bool MeasureOnly = false;
    bool Rounded = true;
    bool ArrowDown = true;
    int Spacing = 2;
    StringTrimming Trimming = StringTrimmingNone;
    plat::TStrings* Notes = nullptr;
    plat::TFont* NotesFont = nullptr;
    bool Down = false;
};

// One half of a face: the base colour with an elliptical glow (ggRadial) or a linear gradient.
void DrawGlowEllipse(TGPGraphics& Graphics, const plat::TRect& R, plat::TColor Color1, plat::TColor Color2,
                     TGDIPGradient Kind, bool Upper);
// The 1-pixel border, rounded with Radius (square for 0), and the dotted focus outline (always a path).
void DrawGlowRoundRect(TGPGraphics& Graphics, plat::TColor Color, int X, int Y, int W, int H, int Radius);
void DrawGlowFocusRect(TGPGraphics& Graphics, plat::TColor Color, int X, int Y, int W, int H, int Radius);
// Borders of buttons placed side by side in a group.
void DrawLeftButtonBorder(TGPGraphics& Graphics, plat::TColor Color, int X, int Y, int W, int H, int Radius);
void DrawMiddleButtonBorder(TGPGraphics& Graphics, plat::TColor Color, int X, int Y, int W, int H,
                            bool HotOrDown);
void DrawRightButtonBorder(TGPGraphics& Graphics, plat::TColor Color, int X, int Y, int W, int H, int Radius,
                           bool HotOrDown);
// The picture stretched into R: a bitmap made transparent through the canvas, anything else by the
// anti-aliased layer.
void DrawGDIPPictureRect(plat::TCanvas* Canvas, const plat::TRect& R, TGDIPPicture* Picture);

// Paints the face on Canvas, or with MeasureOnly computes the size glyph, caption and notes need (the
// measuring pass still paints background, border and focus mark). Answers that size either way.
plat::TPoint DrawGlowButtonFace(plat::TCanvas* Canvas, const TGlowFaceParams& P);

// ---- The key-tip window ----------------------------------------------------------------------------------

class TShortCutHintWindow : public plat::THintWindow {
    PLAT_CLASS(TShortCutHintWindow)
public:
    explicit TShortCutHintWindow(plat::TComponent* AOwner);
    plat::TColor Color() const { return FColor; }
    void SetColor(plat::TColor Value);
    plat::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(plat::TColor Value);

protected:
    void CreateParams(plat::TCreateParams& Params) override;
    void Paint() override;
    void Resize() override;
    void Dispatch(plat::TMessage& Message) override;

private:
    plat::TColor FColor = 0xFFFFFF;
    plat::TColor FColorTo = 0xFFFFFF;
};

// ---- The button ------------------------------------------------------------------------------------------

class TKvxCustomGlowButton;
using TGlowButtonDrawEvent = std::function<void(plat::TObject* Sender, plat::TCanvas* Canvas,
                                                plat::TRect Rect, TGlowButtonState State)>;
using TGlowInternalKeyEvent =
    std::function<void(plat::TObject* Sender, uint16_t& Key, plat::TShiftState Shift)>;
using TGlowInternalAutoSizeEvent = std::function<void(plat::TObject* Sender, int& Width, int& Height)>;
using TGlowShortCutHintPosEvent =
    std::function<void(plat::TObject* Sender, TButtonSizeState SizeState, TShortCutHintPos& Pos)>;
// Owner queries of a toolbar on a ribbon page: the height of a large button and the corner style.
using TGlowHeightQuery = std::function<void(plat::TObject* Sender, int& Height)>;
using TGlowCornerQuery = std::function<void(plat::TObject* Sender, int& Style)>;

class TKvxCustomGlowButton : public plat::TCustomControl, public IStyleable {
    PLAT_CLASS(TKvxCustomGlowButton)
public:
    explicit TKvxCustomGlowButton(plat::TComponent* AOwner);
    ~TKvxCustomGlowButton() override;

    // ---- Overridable operations ----
    virtual void RepeatTimerTick(plat::TObject* Sender);
    virtual void AfterPaint() {}
    // A descendant may resize the 1×1 bitmap and draw a glyph into it; the face then uses it as glyph.
    virtual void PaintOverlay(plat::TBitmap* Bitmap) {}
    virtual uint32_t PackedVersion() const { return 0x01080109; }
    virtual bool HasDropDown() const { return false; }
    virtual bool HasSingleBorder() const { return FBorderStyle == plat::bsSingle; }
    virtual bool ShowsFocus() const;

    void ApplyStyle(TKVXStyle Style) override;
    void Assign(plat::TPersistent* Source) override;

    // ---- Properties ----
    TAntiAlias AntiAlias() const { return FAntiAlias; }
    void SetAntiAlias(TAntiAlias Value);
    void SetAutoSize(bool Value) override;
    plat::TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(plat::TBorderStyle Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    plat::TCustomImageList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(plat::TCustomImageList* Value);
    TGDIPPicture* DisabledPicture() const { return FDisabledPicture.get(); }
    void SetDisabledPicture(TGDIPPicture* Value);
    TFocusType FocusType() const { return FFocusType; }
    void SetFocusType(TFocusType Value) { FFocusType = Value; }
    plat::TCustomImageList* HotImages() const { return FHotImages; }
    void SetHotImages(plat::TCustomImageList* Value);
    TGDIPPicture* HotPicture() const { return FHotPicture.get(); }
    void SetHotPicture(TGDIPPicture* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    plat::TCustomImageList* Images() const { return FImages; }
    void SetImages(plat::TCustomImageList* Value);
    int InitRepeatPause() const { return FInitRepeatPause; }
    void SetInitRepeatPause(int Value) { FInitRepeatPause = Value; }
    int MarginHorz() const { return FMarginHorz; }
    void SetMarginHorz(int Value);
    int MarginVert() const { return FMarginVert; }
    void SetMarginVert(int Value);
    plat::TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(plat::TModalResult Value) { FModalResult = Value; }
    plat::TStrings* Notes() const;
    void SetNotes(plat::TStrings* Value);
    plat::TFont* NotesFont() const { return FNotesFont.get(); }
    void SetNotesFont(plat::TFont* Value);
    TKvxHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TKvxHintInfo* Value);
    TGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TGDIPPicture* Value);
    TButtonPosition Position() const { return FPosition; }
    void SetPosition(TButtonPosition Value);
    bool RepeatClick() const { return FRepeatClick; }
    void SetRepeatClick(bool Value) { FRepeatClick = Value; }
    int RepeatPause() const { return FRepeatPause; }
    void SetRepeatPause(int Value) { FRepeatPause = Value; }
    bool Rounded() const { return FRounded; }
    void SetRounded(bool Value);
    const std::string& ShortCutHint() const { return FShortCutHint; }
    void SetShortCutHint(const std::string& Value) { FShortCutHint = Value; }
    TShortCutHintPos ShortCutHintPos() const { return FShortCutHintPos; }
    void SetShortCutHintPos(TShortCutHintPos Value) { FShortCutHintPos = Value; }
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    bool ShowDisabled() const { return FShowDisabled; }
    void SetShowDisabled(bool Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; }
    StringTrimming Trimming() const { return FTrimming; }
    void SetTrimming(StringTrimming Value);
    std::string Version() const;
    void SetVersion(const std::string&) {}
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    const std::string& WideCaption() const { return FWideCaption; }
    void SetWideCaption(const std::string& Value);

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    TGlowButtonAppearance* Appearance() const { return FAppearance.get(); }
    void SetAppearance(TGlowButtonAppearance* Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    TKvxButtonStyle Style() const { return FStyle; }
    void SetStyle(TKvxButtonStyle Value) { FStyle = Value; }
    TButtonSizeState MaxButtonSizeState() const { return FMaxButtonSizeState; }
    void SetMaxButtonSizeState(TButtonSizeState Value);
    TButtonSizeState MinButtonSizeState() const { return FMinButtonSizeState; }
    void SetMinButtonSizeState(TButtonSizeState Value);
    bool DropDownButton() const { return FDropDownButton; }
    void SetDropDownButton(bool Value);
    TDropDownPosition DropDownPosition() const { return FDropDownPosition; }
    void SetDropDownPosition(TDropDownPosition Value);
    TDropDownDirection DropDownDirection() const { return FDropDownDirection; }
    void SetDropDownDirection(TDropDownDirection Value);
    bool DropDownSplit() const { return FDropDownSplit; }
    void SetDropDownSplit(bool Value) { FDropDownSplit = Value; }
    plat::TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(plat::TPopupMenu* Value);
    plat::TBasicAction* Action() const;
    void SetAction(plat::TBasicAction* Value);
    bool IsStyleStored() const { return FStyle != bsButton; }

    // ---- Operations other components call ----
    void Click() override;
    void ClickFromKeyboard();
    void UpdateSize();
    void SetButtonSizeState(TButtonSizeState Value);
    TButtonSizeState ButtonSizeState() const { return FSizeState; }
    plat::TPoint CalcSizeForState(TButtonSizeState State);
    void ShowShortCutHint();
    void HideShortCutHint();
    TShortCutHintWindow* ShortCutHintWindow() const { return FShortCutHintWindow; }
    bool DroppedDown() const { return FDroppedDown; }

    // ---- Published events and public hooks ----
    plat::TNotifyEvent OnMouseEnter;
    plat::TNotifyEvent OnMouseLeave;
    TGlowButtonDrawEvent OnDrawButton;
    plat::TNotifyEvent OnDropDown;
    TGlowInternalKeyEvent OnInternalKeyDown;
    plat::TNotifyEvent OnInternalClick;
    TGlowInternalAutoSizeEvent OnInternalAutoSize;
    TGlowShortCutHintPosEvent OnInternalShortCutHintPos;
    TGlowHeightQuery OnLargeButtonHeight;
    TGlowCornerQuery OnCornerStyle;

    // Set by the toolbar, container or quick access toolbar the button lives on; the button only keeps
    // them for their owners.
    plat::TComponent* ToolBar = nullptr;
    plat::TNotifyEvent OnToolBarDropDown;
    bool CreatedByCustomizer = false;
    int CustomizerCommandIndex = -1;

    // The height a large button gets from its owner (its own height when nobody answers), and the corner
    // style the owner asks for (5 when nobody answers). The face does not change its corners by it.
    int LargeButtonHeight();
    int CornerStyle();

    // Read by tests and owners that mirror the button's look.
    enum TPaintState : uint8_t { psNormal = 0, psDisabled = 1, psPressed = 2, psLatched = 4 };
    TPaintState PaintState() const { return FPaintState; }
    int HotPercent() const { return FHotPct; }
    int DownPercent() const { return FDownPct; }
    bool FadeRunning() const { return FFadeRunning; }
    bool MouseOver() const { return FMouseOver; }
    bool DropDownHot() const { return FDropDownHot; }

protected:
    void Paint() override;
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    void CreateWnd() override;
    void Dispatch(plat::TMessage& Message) override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, plat::TShiftState Shift) override;
    void KeyUp(uint16_t& Key, plat::TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void DoDropDown();
    void DoOnDropDown();
    // Shows the drop-down menu below the button (or at its right) and returns when it has closed.
    void PopupDropDownMenu();
    void UpdateTracking();
    void UpdateExclusive();

    // The image list the data-aware button fills; used when no other list applies.
    plat::TCustomImageList* InternalImages() const { return FInternalImages; }
    void SetInternalImages(plat::TCustomImageList* Value) { FInternalImages = Value; }

private:
    friend class TGlowButtonActionLink;
    enum TFadeKind : uint8_t { fkHot, fkPressed, fkNone };

    void AppearanceChanged(plat::TObject* Sender);
    void PictureChanged(plat::TObject* Sender);
    void RefreshHintColors();
    void StartFadeTimer();
    void FadeTimerTick(plat::TObject* Sender);
    void PaintParentBackground(bool CornersOnly);
    bool IsFocusedWindow() const;
    // Fills the face parameters a paint and the size query share: glyph sources, captions, drop-down
    // state and focus.
    void PrepareFace(TGlowFaceParams& P, bool ForQuery);
    void GroupButtonPressed(plat::TMessage& Message);
    void WMLButtonDown(plat::TMessage& Message);
    void WMLButtonUp(plat::TMessage& Message);
    void CMMouseEnter(plat::TMessage& Message);
    void CMMouseLeave(plat::TMessage& Message);
    void CMDialogKey(plat::TMessage& Message);
    void CMDialogChar(plat::TMessage& Message);
    void CMFocusChanged(plat::TMessage& Message);
    bool InDropDownZone(int X, int Y, int Zone) const;

    std::unique_ptr<TGlowButtonAppearance> FAppearance;
    std::unique_ptr<TGDIPPicture> FPicture, FHotPicture, FDisabledPicture;
    std::unique_ptr<TKvxHintInfo> FOfficeHint;
    std::unique_ptr<plat::TStringList> FNotes;
    std::unique_ptr<plat::TFont> FNotesFont;
    std::unique_ptr<class TGlowButtonActionLink> FActionLink;

    TAntiAlias FAntiAlias = aaClearType;
    plat::TBorderStyle FBorderStyle = plat::bsSingle;
    bool FCancel = false;
    bool FDefault = false;
    plat::TCustomImageList* FImages = nullptr;
    plat::TCustomImageList* FHotImages = nullptr;
    plat::TCustomImageList* FDisabledImages = nullptr;
    plat::TCustomImageList* FInternalImages = nullptr;
    TFocusType FFocusType = ftBorder;
    int FImageIndex = -1;
    int FInitRepeatPause = 400;
    int FRepeatPause = 100;
    int FMarginHorz = 1;
    int FMarginVert = 1;
    plat::TModalResult FModalResult = 0;
    TButtonPosition FPosition = bpStandalone;
    bool FRepeatClick = false;
    bool FRounded = true;
    std::string FShortCutHint;
    TShortCutHintPos FShortCutHintPos = shpTop;
    bool FShowCaption = true;
    bool FShowDisabled = true;
    int FSpacing = 2;
    bool FTransparent = false;
    StringTrimming FTrimming = StringTrimmingNone;
    bool FWordWrap = true;
    std::string FWideCaption;
    bool FAllowAllUp = false;
    bool FDown = false;
    int FGroupIndex = 0;
    TButtonLayout FLayout = blGlyphLeft;
    TKvxButtonStyle FStyle = bsButton;
    TButtonSizeState FMaxButtonSizeState = bsLarge;
    TButtonSizeState FMinButtonSizeState = bsGlyph;
    bool FDropDownButton = false;
    TDropDownPosition FDropDownPosition = dpRight;
    TDropDownDirection FDropDownDirection = ddDown;
    bool FDropDownSplit = true;
    plat::TPopupMenu* FDropDownMenu = nullptr;

    TPaintState FPaintState = psNormal;
    bool FHot = false;
    bool FMouseOver = false;
    bool FMouseInside = false;
    bool FPressed = false;
    bool FPressing = false;
    bool FDownFade = false;
    bool FLeavePressed = false;
    bool FDropDownHot = false;
    bool FDroppedDown = false;
    bool FActive = false;
    bool FLButtonWentDown = false;
    int FHotPct = 0;
    int FDownPct = 0;
    int FFadeStep = 0;
    TFadeKind FFadeKind = fkNone;
    plat::TTimer* FFadeTimer = nullptr;
    bool FFadeRunning = false;
    plat::TTimer* FRepeatTimer = nullptr;
    bool FLoadedDown = false;
    plat::TCustomForm* FParentForm = nullptr;
    bool FIsVista = true;

    TButtonSizeState FSizeState = bsLarge;
    TButtonLayout FSavedLayout = blGlyphLeft;
    TDropDownPosition FSavedDropDownPosition = dpRight;
    bool FForceMeasure = false;
    bool FSizeDirty = true;
    TShortCutHintWindow* FShortCutHintWindow = nullptr;
    int FCornerStyle = 5;
};

// The published glow button.
class TKvxGlowButton : public TKvxCustomGlowButton {
    PLAT_CLASS(TKvxGlowButton)
public:
    explicit TKvxGlowButton(plat::TComponent* AOwner) : TKvxCustomGlowButton(AOwner) {}
};

} // namespace ui
