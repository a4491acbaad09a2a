// The captioned panel: a container with an optional caption bar (top or left) holding a close and a
// collapse button, a body text in markup with clickable anchors, an optional status bar, a background
// picture, gradients, hover effects, moving and sizing by mouse and an off-by-default persistence of its
// bounds. Collapsing shrinks it to its caption, optionally in animated steps.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/ui/Panel.h"

namespace plat {
class TCustomImageList;
struct THintInfo;
} // namespace plat

namespace ui {

class THTMLPictureCache;
class TPictureContainer;
class TKvxImage;
class TKvxPanelStyler;
class TKvxPanelSettings;
class TCustomKvxPanel;

// The panel's own enumerations and events, apart from the like-named ones of other controls (a
// group box's caption position, a pager's gradient direction) that a form may use beside it.
namespace kvxpanel {

enum TGradientDirection : uint8_t { gdVertical, gdHorizontal };
inline constexpr const char* kGradientDirectionNames[] = {"gdVertical", "gdHorizontal"};
static_assert(std::size(kGradientDirectionNames) == gdHorizontal + 1);

enum TCaptionPosition : uint8_t { cpTop, cpLeft };
inline constexpr const char* kCaptionPositionNames[] = {"cpTop", "cpLeft"};
static_assert(std::size(kCaptionPositionNames) == cpLeft + 1);

enum TCaptionButtonPosition : uint8_t { cbpRight, cbpLeft };
inline constexpr const char* kCaptionButtonPositionNames[] = {"cbpRight", "cbpLeft"};
static_assert(std::size(kCaptionButtonPositionNames) == cbpLeft + 1);

enum TCaptionShape : uint8_t { csRectangle, csRounded, csSemiRounded };
inline constexpr const char* kCaptionShapeNames[] = {"csRectangle", "csRounded", "csSemiRounded"};
static_assert(std::size(kCaptionShapeNames) == csSemiRounded + 1);

enum TShadeType : uint8_t {
    stNormal,
    stNoise,
    stDiagShade,
    stHShade,
    stVShade,
    stHBump,
    stVBump,
    stSoftBump,
    stHardBump,
    stLMetal,
    stRMetal,
    stIRadial,
    stORadial,
    stHShadeInv,
    stVShadeInv,
    stXPCaption,
    stBitmap,
    stBitmapRStretch,
    stBitmapLStretch
};
inline constexpr const char* kShadeTypeNames[] = {
    "stNormal",    "stNoise",   "stDiagShade",      "stHShade",        "stVShade",
    "stHBump",     "stVBump",   "stSoftBump",       "stHardBump",      "stLMetal",
    "stRMetal",    "stIRadial", "stORadial",        "stHShadeInv",     "stVShadeInv",
    "stXPCaption", "stBitmap",  "stBitmapRStretch", "stBitmapLStretch"};
static_assert(std::size(kShadeTypeNames) == stBitmapLStretch + 1);

enum TBackGroundPosition : uint8_t {
    bpTopLeft,
    bpTopRight,
    bpBottomLeft,
    bpBottomRight,
    bpTiled,
    bpStretched,
    bpCenter
};
inline constexpr const char* kBackGroundPositionNames[] = {
    "bpTopLeft", "bpTopRight", "bpBottomLeft", "bpBottomRight", "bpTiled", "bpStretched", "bpCenter"};
static_assert(std::size(kBackGroundPositionNames) == bpCenter + 1);

enum TTextVAlignment : uint8_t { tvaTop, tvaCenter, tvaBottom };
inline constexpr const char* kTextVAlignmentNames[] = {"tvaTop", "tvaCenter", "tvaBottom"};
static_assert(std::size(kTextVAlignmentNames) == tvaBottom + 1);

enum TPanelPositionLocation : uint8_t { clRegistry, clInifile };
inline constexpr const char* kPanelPositionLocationNames[] = {"clRegistry", "clInifile"};
static_assert(std::size(kPanelPositionLocationNames) == clInifile + 1);

using TAnchorEvent = std::function<void(plat::TObject* Sender, const std::string& Anchor)>;
using TAnchorHintEvent = std::function<void(plat::TObject* Sender, std::string& Anchor)>;
using TPanelPaintEvent =
    std::function<void(plat::TObject* Sender, plat::TCanvas& ACanvas, const plat::TRect& ARect)>;

} // namespace kvxpanel

// The caption bar of a panel.
class TPanelCaption : public plat::TPersistent {
    PLAT_CLASS(TPanelCaption)
public:
    TPanelCaption();
    ~TPanelCaption() override;
    // The look only: text, visibility, position, top indent and MinMaxCaption stay.
    void Assign(plat::TPersistent* Source) override;

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    kvxpanel::TCaptionPosition Position() const { return FPosition; }
    void SetPosition(kvxpanel::TCaptionPosition Value);
    kvxpanel::TCaptionButtonPosition ButtonPosition() const { return FButtonPosition; }
    void SetButtonPosition(kvxpanel::TCaptionButtonPosition Value);
    plat::TColor Color() const { return FColor; }
    void SetColor(plat::TColor Value);
    plat::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(plat::TColor Value);
    kvxpanel::TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(kvxpanel::TGradientDirection Value);
    plat::TColor CloseColor() const { return FCloseColor; }
    void SetCloseColor(plat::TColor Value);
    plat::TFont* Font() const { return FFont.get(); }
    void SetFont(plat::TFont* Value) { FFont->Assign(Value); }
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    int TopIndent() const { return FTopIndent; }
    void SetTopIndent(int Value);
    bool CloseButton() const { return FCloseButton; }
    void SetCloseButton(bool Value);
    plat::TColor CloseButtonColor() const { return FCloseButtonColor; }
    void SetCloseButtonColor(plat::TColor Value);
    plat::TColor CloseButtonHoverColor() const { return FCloseButtonHoverColor; }
    void SetCloseButtonHoverColor(plat::TColor Value) { FCloseButtonHoverColor = Value; }
    plat::TBitmap* CloseMinGlyph() const { return FCloseMinGlyph.get(); }
    void SetCloseMinGlyph(plat::TBitmap* Value);
    plat::TBitmap* CloseMaxGlyph() const { return FCloseMaxGlyph.get(); }
    void SetCloseMaxGlyph(plat::TBitmap* Value);
    bool MinMaxButton() const { return FMinMaxButton; }
    void SetMinMaxButton(bool Value);
    plat::TColor MinMaxButtonColor() const { return FMinMaxButtonColor; }
    void SetMinMaxButtonColor(plat::TColor Value);
    plat::TColor MinMaxButtonHoverColor() const { return FMinMaxButtonHoverColor; }
    void SetMinMaxButtonHoverColor(plat::TColor Value) { FMinMaxButtonHoverColor = Value; }
    plat::TBitmap* MinGlyph() const { return FMinGlyph.get(); }
    void SetMinGlyph(plat::TBitmap* Value) { FMinGlyph->Assign(Value); }
    plat::TBitmap* MaxGlyph() const { return FMaxGlyph.get(); }
    void SetMaxGlyph(plat::TBitmap* Value) { FMaxGlyph->Assign(Value); }
    bool MinMaxCaption() const { return FMinMaxCaption; }
    void SetMinMaxCaption(bool Value) { FMinMaxCaption = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    kvxpanel::TCaptionShape Shape() const { return FShape; }
    void SetShape(kvxpanel::TCaptionShape Value);
    kvxpanel::TShadeType ShadeType() const { return FShadeType; }
    void SetShadeType(kvxpanel::TShadeType Value);
    int ShadeLight() const { return FShadeLight; }
    void SetShadeLight(int Value);
    uint8_t ShadeGrain() const { return FShadeGrain; }
    void SetShadeGrain(uint8_t Value);
    plat::TBitmap* Background() const { return FBackground.get(); }
    void SetBackground(plat::TBitmap* Value);

    plat::TNotifyEvent OnChange;
    plat::TNotifyEvent OnStateChange;
    plat::TNotifyEvent OnShadeChange;
    plat::TNotifyEvent OnPositionChange;

private:
    void Changed();
    void ShadeChanged();

    bool FVisible = false;
    std::string FText;
    int FHeight = 20;
    kvxpanel::TCaptionPosition FPosition = kvxpanel::cpTop;
    kvxpanel::TCaptionButtonPosition FButtonPosition = kvxpanel::cbpRight;
    plat::TColor FColor = plat::clHighlight;
    plat::TColor FColorTo = plat::clNone;
    kvxpanel::TGradientDirection FGradientDirection = kvxpanel::gdHorizontal;
    plat::TColor FCloseColor = plat::clBtnFace;
    std::unique_ptr<plat::TFont> FFont;
    int FIndent = 0;
    int FTopIndent = 0;
    bool FCloseButton = false;
    plat::TColor FCloseButtonColor = plat::clWhite;
    plat::TColor FCloseButtonHoverColor = plat::clNone;
    std::unique_ptr<plat::TBitmap> FCloseMinGlyph, FCloseMaxGlyph, FMinGlyph, FMaxGlyph, FBackground;
    bool FMinMaxButton = false;
    plat::TColor FMinMaxButtonColor = plat::clWhite;
    plat::TColor FMinMaxButtonHoverColor = plat::clNone;
    bool FMinMaxCaption = false;
    bool FFlat = false;
    kvxpanel::TCaptionShape FShape = kvxpanel::csRectangle;
    kvxpanel::TShadeType FShadeType = kvxpanel::stNormal;
    int FShadeLight = 200;
    uint8_t FShadeGrain = 32;
};

// The status bar along the edge opposite the caption.
class TPanelStatusBar : public plat::TPersistent {
    PLAT_CLASS(TPanelStatusBar)
public:
    TPanelStatusBar();
    ~TPanelStatusBar() override;
    // The look only: text, visibility, height, image and bevel stay.
    void Assign(plat::TPersistent* Source) override;

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { Set(FVisible, Value); }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value) { Set(FText, Value); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { Set(FHeight, Value); }
    plat::TColor Color() const { return FColor; }
    void SetColor(plat::TColor Value) { Set(FColor, Value); }
    plat::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(plat::TColor Value) { Set(FColorTo, Value); }
    kvxpanel::TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(kvxpanel::TGradientDirection Value) { Set(FGradientDirection, Value); }
    plat::TFont* Font() const { return FFont.get(); }
    void SetFont(plat::TFont* Value) { FFont->Assign(Value); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { Set(FImageIndex, Value); }
    plat::TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(plat::TBorderStyle Value) { Set(FBorderStyle, Value); }
    plat::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(plat::TColor Value) { Set(FBorderColor, Value); }
    bool BevelInner() const { return FBevelInner; }
    void SetBevelInner(bool Value) { Set(FBevelInner, Value); }

    plat::TNotifyEvent OnChange;

private:
    template <class T> void Set(T& Field, const T& Value) {
        Field = Value;
        Changed();
    }
    void Changed();

    bool FVisible = false;
    std::string FText;
    int FHeight = 18;
    plat::TColor FColor = plat::clBtnFace;
    plat::TColor FColorTo = plat::clNone;
    kvxpanel::TGradientDirection FGradientDirection = kvxpanel::gdHorizontal;
    std::unique_ptr<plat::TFont> FFont;
    int FImageIndex = -1;
    plat::TBorderStyle FBorderStyle = plat::bsNone;
    plat::TColor FBorderColor = plat::clBlack;
    bool FBevelInner = false;
};

// Sizing of the panel to its body text.
class TAutoSize : public plat::TPersistent {
    PLAT_CLASS(TAutoSize)
public:
    explicit TAutoSize(TCustomKvxPanel* Panel = nullptr) : FPanel(Panel) {}
    void Assign(plat::TPersistent* Source) override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Height() const { return FHeight; }
    void SetHeight(bool Value) { FHeight = Value; }
    bool Width() const { return FWidth; }
    void SetWidth(bool Value) { FWidth = Value; }

private:
    TCustomKvxPanel* FPanel;
    bool FEnabled = false;
    bool FHeight = true;
    bool FWidth = true;
};

// Where a panel keeps its bounds between runs (never switched on by the program's forms).
class TPanelPosition : public plat::TPersistent {
    PLAT_CLASS(TPanelPosition)
public:
    void Assign(plat::TPersistent* Source) override;
    bool Save() const { return FSave; }
    void SetSave(bool Value) { FSave = Value; }
    const std::string& Key() const { return FKey; }
    void SetKey(const std::string& Value) { FKey = Value; }
    const std::string& Section() const { return FSection; }
    void SetSection(const std::string& Value) { FSection = Value; }
    kvxpanel::TPanelPositionLocation Location() const { return FLocation; }
    void SetLocation(kvxpanel::TPanelPositionLocation Value) { FLocation = Value; }

private:
    bool FSave = false;
    std::string FKey;
    std::string FSection;
    kvxpanel::TPanelPositionLocation FLocation = kvxpanel::clRegistry;
};

class TCustomKvxPanel : public plat::TCustomPanel {
    PLAT_CLASS(TCustomKvxPanel)
public:
    explicit TCustomKvxPanel(plat::TComponent* AOwner);
    ~TCustomKvxPanel() override;

    virtual uint32_t PackedVersion() const;
    std::string Version() const;
    void SetVersion(const std::string&) {}

    virtual void SetStyler(TKvxPanelStyler* Value);
    virtual void ApplySettings(TKvxPanelSettings* Settings);
    virtual void UpdateShade();
    // A caption was shown or hidden, or the panel collapsed or expanded; the group re-arranges.
    virtual void StateChanged() {}

    // Copies from another panel of this family; anything else raises EInvalidCast.
    void Assign(plat::TPersistent* Source) override;

    // The anchor under a client point ("" when none) and its rectangle.
    std::string AnchorAt(int X, int Y, plat::TRect& AnchorRect);
    std::string AnchorAt(int X, int Y) {
        plat::TRect r;
        return AnchorAt(X, Y, r);
    }
    void UpdateAutoSize();
    // Lets a panel group around it re-arrange.
    void NotifyGroup();
    void ShowChildren(bool Show);
    bool IsThemed() const;

    // ---- Published ----
    bool AnchorHint() const { return FAnchorHint; }
    void SetAnchorHint(bool Value) { FAnchorHint = Value; }
    TAutoSize* AutoSizing() const { return FAutoSize.get(); }
    void SetAutoSizing(TAutoSize* Value) { FAutoSize->Assign(Value); }
    bool AutoHideChildren() const { return FAutoHideChildren; }
    void SetAutoHideChildren(bool Value) { FAutoHideChildren = Value; }
    TKvxImage* Background() const { return FBackground.get(); }
    void SetBackground(TKvxImage* Value);
    kvxpanel::TBackGroundPosition BackgroundPosition() const { return FBackgroundPosition; }
    void SetBackgroundPosition(kvxpanel::TBackGroundPosition Value);
    plat::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(plat::TColor Value);
    bool BorderShadow() const { return FBorderShadow; }
    void SetBorderShadow(bool Value);
    bool Buffered() const { return FBuffered; }
    void SetBuffered(bool Value) { FBuffered = Value; }
    bool CanMove() const { return FCanMove; }
    void SetCanMove(bool Value) { FCanMove = Value; }
    bool CanSize() const { return FCanSize; }
    void SetCanSize(bool Value);
    TPanelCaption* PanelCaption() const { return FCaption.get(); }
    void SetPanelCaption(TPanelCaption* Value);
    bool Collaps() const { return FCollaps; }
    void SetCollaps(bool Value);
    plat::TColor CollapsColor() const { return FCollapsColor; }
    void SetCollapsColor(plat::TColor Value) { FCollapsColor = Value; }
    int CollapsDelay() const { return FCollapsDelay; }
    void SetCollapsDelay(int Value) { FCollapsDelay = Value; }
    int CollapsSteps() const { return FCollapsSteps; }
    void SetCollapsSteps(int Value) { FCollapsSteps = Value; }
    plat::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(plat::TColor Value);
    plat::TColor ColorMirror() const { return FColorMirror; }
    void SetColorMirror(plat::TColor Value);
    plat::TColor ColorMirrorTo() const { return FColorMirrorTo; }
    void SetColorMirrorTo(plat::TColor Value);
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool Value);
    bool FixedTop() const { return FFixedTop; }
    void SetFixedTop(bool Value) { FFixedTop = Value; }
    bool FixedLeft() const { return FFixedLeft; }
    void SetFixedLeft(bool Value) { FFixedLeft = Value; }
    bool FixedHeight() const { return FFixedHeight; }
    void SetFixedHeight(bool Value) { FFixedHeight = Value; }
    bool FixedWidth() const { return FFixedWidth; }
    void SetFixedWidth(bool Value) { FFixedWidth = Value; }
    bool FreeOnClose() const { return FFreeOnClose; }
    void SetFreeOnClose(bool Value) { FFreeOnClose = Value; }
    kvxpanel::TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(kvxpanel::TGradientDirection Value);
    bool Hover() const { return FHover; }
    void SetHover(bool Value) { FHover = Value; }
    plat::TColor HoverColor() const { return FHoverColor; }
    void SetHoverColor(plat::TColor Value) { FHoverColor = Value; }
    plat::TColor HoverFontColor() const { return FHoverFontColor; }
    void SetHoverFontColor(plat::TColor Value) { FHoverFontColor = Value; }
    plat::TCustomImageList* Images() const { return FImages; }
    void SetImages(plat::TCustomImageList* Value);
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    int TopIndent() const { return FTopIndent; }
    void SetTopIndent(int Value);
    int LineSpacing() const { return FLineSpacing; }
    void SetLineSpacing(int Value);
    TPictureContainer* PictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* Value);
    TPanelPosition* PanelPosition() const { return FPosition.get(); }
    void SetPanelPosition(TPanelPosition* Value) { FPosition->Assign(Value); }
    plat::TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(plat::TColor Value);
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(int Value);
    bool ShowMoveCursor() const { return FShowMoveCursor; }
    void SetShowMoveCursor(bool Value) { FShowMoveCursor = Value; }
    TPanelStatusBar* StatusBar() const { return FStatusBar.get(); }
    void SetStatusBar(TPanelStatusBar* Value) { FStatusBar->Assign(Value); }
    TKvxPanelStyler* Styler() const { return FStyler; }
    const std::string& BodyText() const { return FText; }
    void SetBodyText(const std::string& Value);
    kvxpanel::TTextVAlignment TextVAlign() const { return FTextVAlign; }
    void SetTextVAlign(kvxpanel::TTextVAlignment Value);
    plat::TColor URLColor() const { return FURLColor; }
    void SetURLColor(plat::TColor Value);

    // The expanded height (caption on top) or width (caption on the left).
    int FullHeight() const { return FFullHeight; }
    void SetFullHeight(int Value) { FFullHeight = Value; }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void AdjustClientRect(plat::TRect& Rect) const override;

    plat::TNotifyEvent OnCaptionClick;
    plat::TNotifyEvent OnCaptionDBlClick;
    plat::TNotifyEvent OnClose;
    plat::TNotifyEvent OnMinimize;
    plat::TNotifyEvent OnMaximize;
    plat::TNotifyEvent OnEndCollapsExpand;
    plat::TNotifyEvent OnEndMoveSize;
    plat::TNotifyEvent OnMouseEnter;
    plat::TNotifyEvent OnMouseLeave;
    kvxpanel::TAnchorEvent OnAnchorClick;
    kvxpanel::TAnchorEvent OnAnchorEnter;
    kvxpanel::TAnchorEvent OnAnchorExit;
    kvxpanel::TAnchorHintEvent OnAnchorHint;
    kvxpanel::TPanelPaintEvent OnPaint;

    // Shared colour routines of the component set.
    // A banded two-colour gradient; Steps 0 counts as 1.
    static void DrawBandGradient(plat::TCanvas& Canvas, plat::TColor FromColor, plat::TColor ToColor,
                                 bool Horizontal, const plat::TRect& Rect, int Steps);
    static void DrawMirrorGradient(plat::TCanvas& Canvas, const plat::TRect& Rect, plat::TColor Color,
                                   plat::TColor ColorTo, plat::TColor ColorMirror, plat::TColor ColorMirrorTo,
                                   kvxpanel::TGradientDirection Direction);
    // Percent of A mixed with the rest of B.
    static plat::TColor BlendColor(plat::TColor A, plat::TColor B, int Percent);

    // The shade bitmap the computed caption shadings fill (for tests and painters), made on demand.
    plat::TBitmap* ShadeBitmap();
    // How many shade bitmaps this panel has made.
    int ShadesMade() const { return FShadesMade; }
    // The button rectangles in client coordinates (empty when not shown).
    plat::TRect CloseButtonRect() const;
    plat::TRect MinMaxButtonRect() const;

protected:
    void Paint() override;
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void Resize() override;
    void Dispatch(plat::TMessage& Message) override;
    void DefineProperties(plat::TFiler& Filer) override;

    void DrawCaptionShade(plat::TCanvas& Canvas, plat::TRect Rect);
    bool Loading() const;
    bool Designing() const;

    TKvxPanelStyler* FStyler = nullptr;

private:
    int ButtonSize(bool ForHitTest) const;
    // First and next button slots, and the caption band for clicks.
    void ButtonSlots(plat::TRect& CloseSlot, plat::TRect& MinMaxSlot, plat::TRect& Band,
                     bool ForHitTest) const;
    void CloseClicked();
    void DoCollaps(bool Value);
    void CollapseStepSleep();
    void AnchorHover(int X, int Y, const std::string& Anchor, const plat::TRect& R);
    void ReleaseHover();
    void AnchorClick(int X, int Y);
    void HintShow(plat::THintInfo& Info);
    void NCHitTest(plat::TMessage& Message);
    void BringAboveSiblings();
    void InvalidateArea(const plat::TRect& R);
    void PaintTo(plat::TCanvas& Canvas);
    // True when every paint starts by covering the whole client area with opaque colour.
    bool PaintsWholeClient() const;
    void PaintCaptionBar(plat::TCanvas& Canvas);
    void PaintStatusBar(plat::TCanvas& Canvas);
    void SaveBounds();
    void WindowDestroyed();
    void RestoreBounds();
    void Changed();
    void CaptionPositionChanged();
    void MakeShade();

    std::unique_ptr<TPanelCaption> FCaption;
    std::unique_ptr<TPanelStatusBar> FStatusBar;
    std::unique_ptr<TAutoSize> FAutoSize;
    std::unique_ptr<TPanelPosition> FPosition;
    std::unique_ptr<TKvxImage> FBackground;
    std::unique_ptr<plat::TBitmap> FShade;
    // What the shade is made of, taken whenever it goes stale; the bitmap is made when first drawn, so a
    // layout that sizes the panel many times while it is read makes it once, at the final size.
    struct TShadeSource {
        kvxpanel::TShadeType Type = kvxpanel::stNormal;
        plat::TColor Base = 0;
        int Light = 0;
        uint8_t Grain = 0;
        int Width = 0;
        int Height = 0;
        uint32_t Seed = 0;
    };
    TShadeSource FShadeSource;
    bool FShadeStale = false;
    int FShadesMade = 0;
    std::unique_ptr<THTMLPictureCache> FCache;
    std::vector<plat::TControl*> FHiddenChildren;

    bool FAnchorHint = false;
    bool FAutoHideChildren = true;
    kvxpanel::TBackGroundPosition FBackgroundPosition = kvxpanel::bpTopLeft;
    plat::TColor FBorderColor = plat::clBlack;
    bool FBorderShadow = false;
    bool FBuffered = true;
    bool FCanMove = false;
    bool FCanSize = false;
    bool FCollaps = false;
    plat::TColor FCollapsColor = plat::clGray;
    int FCollapsDelay = 20;
    int FCollapsSteps = 0;
    plat::TColor FColorTo = plat::clNone;
    plat::TColor FColorMirror = plat::clNone;
    plat::TColor FColorMirrorTo = plat::clNone;
    bool FEllipsis = false;
    bool FFixedTop = false, FFixedLeft = false, FFixedHeight = false, FFixedWidth = false;
    bool FFreeOnClose = false;
    kvxpanel::TGradientDirection FGradientDirection = kvxpanel::gdVertical;
    bool FHover = false;
    plat::TColor FHoverColor = plat::clNone;
    plat::TColor FHoverFontColor = plat::clNone;
    plat::TCustomImageList* FImages = nullptr;
    int FIndent = 0;
    int FTopIndent = 0;
    int FLineSpacing = 0;
    TPictureContainer* FPictureContainer = nullptr;
    plat::TColor FShadowColor = plat::clGray;
    int FShadowOffset = 2;
    bool FShowMoveCursor = false;
    std::string FText;
    kvxpanel::TTextVAlignment FTextVAlign = kvxpanel::tvaTop;
    plat::TColor FURLColor = plat::clBlue;

    int FFullHeight = 0;
    plat::TColor FSavedColor = plat::clBtnFace;
    bool FBusy = false;
    bool FXP = false;
    int FBodyHoverLink = -1;
    int FLastBodyHoverLink = -1;
    plat::TRect FBodyHoverRect;
    int FCaptionHoverLink = -1;
    plat::TRect FCaptionHoverRect;
    std::string FLastAnchor;
    plat::TCursor FSavedCursor = plat::crDefault;
    plat::TPoint FLoadOrigin;
    plat::TSize FLoadSize{-1, -1}; // -1: not loaded from a form; the current size counts
    bool FMoving = false;
    bool FCloseHot = false;
    bool FMinMaxHot = false;
    plat::TSize FLastBoundsSize{-1, -1};
    bool FClosing = false;
    bool FReleasePending = false;
};

class TKvxPanel : public TCustomKvxPanel {
    PLAT_CLASS(TKvxPanel)
public:
    explicit TKvxPanel(plat::TComponent* AOwner) : TCustomKvxPanel(AOwner) {}
};

} // namespace ui
