// The suite's owner-drawn slider: an integer position between Min and Max shown as a thumb on a groove,
// with tick marks and texts, a value label, two step buttons, a value hint while dragging and a rating
// mode in which it is a row of pictures. Its look lives in five persistent parts that layouts stream as
// sub-properties.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Persistent.h"
#include "platform/ui/Control.h"
#include "platform/ui/HintWindow.h"
#include "platform/ui/TrackBar.h"
#include "ui/drawing/GDIPicture.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/drawing/KvxStyleIF.h"

namespace plat {
class TCustomImageList;
class TTimer;
} // namespace plat

namespace ui {

class TGPGraphics;

// The slider unit's own enumerations and drawing routines. Other units of the set (menus, spin edit)
// use the same enumeration names with other values, so these keep to a namespace of their own.
namespace trackbar {

enum TThumbShape : uint8_t {
    tsPointer,
    tsRectangle,
    tsRoundRect,
    tsRound,
    tsLine,
    tsPointerLeftUp,
    tsPointerRightUp,
    tsTriangle,
    tsTriangleLeft,
    tsTriangleRight,
};
inline constexpr const char* kThumbShapeNames[] = {
    "tsPointer",       "tsRectangle",      "tsRoundRect", "tsRound",        "tsLine",
    "tsPointerLeftUp", "tsPointerRightUp", "tsTriangle",  "tsTriangleLeft", "tsTriangleRight",
};
static_assert(std::size(kThumbShapeNames) == tsTriangleRight + 1);

enum TTrackButtonShape : uint8_t { bsRound, bsRectangle };
inline constexpr const char* kTrackButtonShapeNames[] = {"bsRound", "bsRectangle"};
static_assert(std::size(kTrackButtonShapeNames) == bsRectangle + 1);

enum TGradientDirection : uint8_t { gdHorizontal, gdVertical, gdHorizontalInOut, gdVerticalInOut };
inline constexpr const char* kGradientDirectionNames[] = {"gdHorizontal", "gdVertical", "gdHorizontalInOut",
                                                          "gdVerticalInOut"};
static_assert(std::size(kGradientDirectionNames) == gdVerticalInOut + 1);

// The first three are above the track (left of a vertical one), the rest below (right).
enum TLabelPosition : uint8_t {
    lpTopCenter,
    lpTopLeft,
    lpTopRight,
    lpBottomCenter,
    lpBottomLeft,
    lpBottomRight
};
inline constexpr const char* kLabelPositionNames[] = {"lpTopCenter",    "lpTopLeft",    "lpTopRight",
                                                      "lpBottomCenter", "lpBottomLeft", "lpBottomRight"};
static_assert(std::size(kLabelPositionNames) == lpBottomRight + 1);

// Steps solid bands from FromColor to ToColor across Rect (advancing in x when Horizontal).
void DrawStripeGradient(plat::TCanvas& Canvas, plat::TColor FromColor, plat::TColor ToColor, bool Horizontal,
                        const plat::TRect& Rect, int Steps);
void DrawGradient(plat::TCanvas& Canvas, plat::TColor FromColor, plat::TColor ToColor,
                  TGradientDirection Direction, const plat::TRect& Rect, int Steps);
// A sunken frame: Dark on the outer top-left and inner bottom-right, Light on the rest.
void Draw3DFrame(plat::TCanvas& Canvas, const plat::TRect& Rect, plat::TColor Light, plat::TColor Dark);
void DrawDottedFrame(plat::TCanvas& Canvas, const plat::TRect& Rect, plat::TColor Color);
// The label text for a value. Only "%d" (with flags "-+ 0" and a width) and "%%" are read as
// specifiers; everything else, malformed specifiers included, is shown as it stands, so a label text
// typed by a user can neither raise nor read arguments that are not there.
std::string FormatTrackLabel(std::string_view Format, int Value);

} // namespace trackbar

class TCustomTrackBar;

// What the five parts share: the owning slider, a change event and setters that fire it.
class TTrackBarPart : public plat::TPersistent {
    PLAT_CLASS(TTrackBarPart)
public:
    explicit TTrackBarPart(TCustomTrackBar* Owner) : FOwner(Owner) {}
    plat::TPersistent* GetOwner() const override;
    plat::TNotifyEvent OnChange;

protected:
    void Changed() {
        if (OnChange)
            OnChange(this);
    }
    template <class T> void Change(T& Field, const T& Value) {
        if (Field == Value)
            return;
        Field = Value;
        Changed();
    }
    // A picture owned by the part whose changes run Handler.
    std::unique_ptr<TGDIPPicture> NewPicture(plat::TNotifyEvent Handler);
    bool Vertical() const;

    TCustomTrackBar* FOwner;
};

// Declares a property whose setter stores a changed value and fires OnChange, and one that only stores.
#define KVX_TRACKBAR_PROP(Type, Name)                                                                        \
    Type Name() const {                                                                                      \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void Set##Name(Type Value) {                                                                             \
        Change(F##Name, Value);                                                                              \
    }
#define KVX_TRACKBAR_FIELD(Type, Name)                                                                       \
    Type Name() const {                                                                                      \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void Set##Name(Type Value) {                                                                             \
        F##Name = Value;                                                                                     \
    }
#define KVX_TRACKBAR_PICTURE(Name)                                                                           \
    TGDIPPicture* Name() const {                                                                             \
        return F##Name.get();                                                                                \
    }                                                                                                        \
    void Set##Name(TGDIPPicture* Value) {                                                                    \
        F##Name->Assign(Value);                                                                              \
    }

// The colours of a glass face in its normal, hot and down states, shared by the thumb and the step
// buttons. The lower (mirror) colours of the hot and down states are plain fields: writing them does not
// fire OnChange.
class TTrackBarFace : public TTrackBarPart {
    PLAT_CLASS(TTrackBarFace)
public:
    KVX_TRACKBAR_PROP(plat::TColor, Color)
    KVX_TRACKBAR_PROP(plat::TColor, ColorTo)
    KVX_TRACKBAR_PROP(plat::TColor, ColorMirror)
    KVX_TRACKBAR_PROP(plat::TColor, ColorMirrorTo)
    KVX_TRACKBAR_PROP(plat::TColor, BorderColor)
    KVX_TRACKBAR_PROP(plat::TColor, ColorHot)
    KVX_TRACKBAR_PROP(plat::TColor, ColorHotTo)
    KVX_TRACKBAR_FIELD(plat::TColor, ColorMirrorHot)
    KVX_TRACKBAR_FIELD(plat::TColor, ColorMirrorHotTo)
    KVX_TRACKBAR_PROP(plat::TColor, BorderColorHot)
    KVX_TRACKBAR_PROP(plat::TColor, ColorDown)
    KVX_TRACKBAR_PROP(plat::TColor, ColorDownTo)
    KVX_TRACKBAR_FIELD(plat::TColor, ColorMirrorDown)
    KVX_TRACKBAR_FIELD(plat::TColor, ColorMirrorDownTo)
    KVX_TRACKBAR_PROP(plat::TColor, BorderColorDown)
    KVX_TRACKBAR_PROP(TGDIPGradient, Gradient)
    KVX_TRACKBAR_PROP(TGDIPGradient, GradientMirror)

protected:
    TTrackBarFace(TCustomTrackBar* Owner, plat::TColor BorderColor, TGDIPGradient GradientMirror)
        : TTrackBarPart(Owner), FBorderColor(BorderColor), FGradientMirror(GradientMirror) {}
    // The colours, plain fields included; not the gradients.
    void AssignColours(const TTrackBarFace& Source);

    plat::TColor FColor = 0xEEDBC8, FColorTo = 0xF6DDC9, FColorMirror = 0xEDD4C0, FColorMirrorTo = 0xF7E1D0;
    plat::TColor FBorderColor;
    plat::TColor FColorHot = 0xEBFDFF, FColorHotTo = 0xACECFF, FColorMirrorHot = 0x59DAFF,
                 FColorMirrorHotTo = 0xA4E9FF, FBorderColorHot = 0x99CEDB;
    plat::TColor FColorDown = 0x76AFF1, FColorDownTo = 0x4190F3, FColorMirrorDown = 0x0E72F1,
                 FColorMirrorDownTo = 0x4C9FFD, FBorderColorDown = 0x45667B;
    TGDIPGradient FGradient = ggVertical, FGradientMirror;
};

class TTrackBarThumb : public TTrackBarFace {
    PLAT_CLASS(TTrackBarThumb)
public:
    explicit TTrackBarThumb(TCustomTrackBar* Owner = nullptr);
    void Assign(plat::TPersistent* Source) override;

    KVX_TRACKBAR_PROP(trackbar::TThumbShape, Shape)
    int Width() const { return FWidth; }
    // Ignored while Picture is set: the picture decides the size.
    void SetWidth(int Value);
    int Size() const { return FSize; }
    void SetSize(int Value);
    KVX_TRACKBAR_PROP(bool, ShowAtMinMax)
    KVX_TRACKBAR_PROP(plat::TColor, ColorDisabled)
    KVX_TRACKBAR_PROP(plat::TColor, ColorDisabledTo)
    KVX_TRACKBAR_PROP(plat::TColor, ColorMirrorDisabled)
    KVX_TRACKBAR_PROP(plat::TColor, ColorMirrorDisabledTo)
    KVX_TRACKBAR_PROP(plat::TColor, BorderColorDisabled)
    KVX_TRACKBAR_PICTURE(Picture)
    KVX_TRACKBAR_PICTURE(PictureHot)
    KVX_TRACKBAR_PICTURE(PictureDown)
    KVX_TRACKBAR_PICTURE(PictureDisabled)
    int Steps() const { return FSteps; }

    // Takes Width and Size from Picture (the slider calls it after loading as well).
    void AdoptPictureSize();

private:
    void PictureChanged(plat::TObject*);

    trackbar::TThumbShape FShape = trackbar::tsPointer;
    int FWidth = 10, FSize = 15;
    bool FShowAtMinMax = true;
    plat::TColor FColorDisabled = 0, FColorDisabledTo = 0, FColorMirrorDisabled = 0,
                 FColorMirrorDisabledTo = 0, FBorderColorDisabled = 0;
    int FSteps = 64;
    int FStyleValue = 0;
    std::unique_ptr<TGDIPPicture> FPicture, FPictureHot, FPictureDown, FPictureDisabled;
};

class TTrackBarSlider : public TTrackBarPart {
    PLAT_CLASS(TTrackBarSlider)
public:
    explicit TTrackBarSlider(TCustomTrackBar* Owner = nullptr);
    void Assign(plat::TPersistent* Source) override;

    KVX_TRACKBAR_PROP(bool, Visible)
    KVX_TRACKBAR_PROP(int, Size)
    KVX_TRACKBAR_PROP(int, Offset)
    KVX_TRACKBAR_PROP(bool, Rounded)
    KVX_TRACKBAR_PROP(bool, Border3D)
    KVX_TRACKBAR_PROP(plat::TColor, Color)
    KVX_TRACKBAR_PROP(plat::TColor, ColorTo)
    KVX_TRACKBAR_PROP(trackbar::TGradientDirection, Direction)
    KVX_TRACKBAR_PROP(plat::TColor, BorderColor)
    KVX_TRACKBAR_PROP(plat::TColor, ColorDisabled)
    KVX_TRACKBAR_PROP(plat::TColor, ColorDisabledTo)
    KVX_TRACKBAR_PROP(plat::TColor, BorderColorDisabled)
    KVX_TRACKBAR_PROP(plat::TColor, ColorCompleted)
    KVX_TRACKBAR_PROP(plat::TColor, ColorCompletedTo)
    KVX_TRACKBAR_PROP(plat::TColor, ColorCompletedDisabled)
    KVX_TRACKBAR_PROP(plat::TColor, ColorCompletedDisabledTo)
    KVX_TRACKBAR_PICTURE(Picture)
    KVX_TRACKBAR_PICTURE(PictureDisabled)
    KVX_TRACKBAR_PICTURE(PictureCompleted)
    KVX_TRACKBAR_PICTURE(PictureCompletedDisabled)
    KVX_TRACKBAR_PROP(bool, PictureStretched)
    int Steps() const { return FSteps; }

private:
    void PictureChanged(plat::TObject*);

    bool FVisible = true;
    int FSize = 2, FOffset = 10;
    bool FRounded = false, FBorder3D = true;
    plat::TColor FColor = 0xFFFFFF, FColorTo = 0;
    trackbar::TGradientDirection FDirection = trackbar::gdHorizontal;
    plat::TColor FBorderColor = 0xC29674;
    plat::TColor FColorDisabled = 0, FColorDisabledTo = 0, FBorderColorDisabled = 0;
    plat::TColor FColorCompleted = plat::clNone, FColorCompletedTo = plat::clNone,
                 FColorCompletedDisabled = plat::clNone, FColorCompletedDisabledTo = plat::clNone;
    bool FPictureStretched = false;
    int FSteps = 20;
    std::unique_ptr<TGDIPPicture> FPicture, FPictureDisabled, FPictureCompleted, FPictureCompletedDisabled;
};

class TTrackBarTick : public TTrackBarPart {
    PLAT_CLASS(TTrackBarTick)
public:
    explicit TTrackBarTick(TCustomTrackBar* Owner = nullptr);
    void Assign(plat::TPersistent* Source) override;

    KVX_TRACKBAR_PROP(plat::TTickStyle, Style)
    KVX_TRACKBAR_PROP(plat::TTickMark, Position)
    KVX_TRACKBAR_PROP(int, Size)
    KVX_TRACKBAR_PROP(int, Spacing)
    KVX_TRACKBAR_PROP(plat::TColor, Color)
    KVX_TRACKBAR_PROP(plat::TColor, ColorDisabled)
    KVX_TRACKBAR_PROP(bool, ShowText)
    plat::TFont* Font() const { return FFont.get(); }
    void SetFont(plat::TFont* Value) { FFont->Assign(Value); }
    KVX_TRACKBAR_PROP(bool, RotateFontVert)
    KVX_TRACKBAR_PROP(bool, Line3D)
    KVX_TRACKBAR_PROP(bool, ShowImageAtThumbOnly)
    KVX_TRACKBAR_PROP(int, ShowImageAtSteps)
    KVX_TRACKBAR_PICTURE(Picture)
    KVX_TRACKBAR_PICTURE(PictureDisabled)

private:
    plat::TTickStyle FStyle = plat::tsAuto;
    plat::TTickMark FPosition = plat::tmBottomRight;
    int FSize = 4, FSpacing = 8;
    plat::TColor FColor = 0, FColorDisabled = 0;
    bool FShowText = false;
    std::unique_ptr<plat::TFont> FFont;
    bool FRotateFontVert = true, FLine3D = false, FShowImageAtThumbOnly = false;
    int FShowImageAtSteps = 1;
    std::unique_ptr<TGDIPPicture> FPicture, FPictureDisabled;
};

class TTrackBarButtons : public TTrackBarFace {
    PLAT_CLASS(TTrackBarButtons)
public:
    explicit TTrackBarButtons(TCustomTrackBar* Owner = nullptr);
    void Assign(plat::TPersistent* Source) override;

    KVX_TRACKBAR_PROP(bool, Visible)
    KVX_TRACKBAR_PROP(int, Size)
    KVX_TRACKBAR_PROP(trackbar::TTrackButtonShape, Shape)
    KVX_TRACKBAR_PROP(int, Spacing)
    KVX_TRACKBAR_PROP(bool, RotateText)
    KVX_TRACKBAR_FIELD(bool, RepeatClick)
    KVX_TRACKBAR_FIELD(int, InitRepeatPause)
    KVX_TRACKBAR_FIELD(int, RepeatPause)
    // On the buttons the upper mirror colours are plain fields as well.
    KVX_TRACKBAR_FIELD(plat::TColor, ColorMirror)
    KVX_TRACKBAR_FIELD(plat::TColor, ColorMirrorTo)
    KVX_TRACKBAR_PICTURE(MinPicture)
    KVX_TRACKBAR_PICTURE(MinPictureHot)
    KVX_TRACKBAR_PICTURE(MinPictureDown)
    KVX_TRACKBAR_PICTURE(MaxPicture)
    KVX_TRACKBAR_PICTURE(MaxPictureHot)
    KVX_TRACKBAR_PICTURE(MaxPictureDown)

    // Takes Size from the min (else the max) picture; the slider calls it after loading as well.
    void AdoptPictureSize();

private:
    void PictureChanged(plat::TObject*);

    bool FVisible = false;
    int FSize = 20;
    trackbar::TTrackButtonShape FShape = trackbar::bsRound;
    int FSpacing = 2;
    bool FRotateText = true, FRepeatClick = true;
    int FInitRepeatPause = 400, FRepeatPause = 100;
    std::unique_ptr<TGDIPPicture> FMinPicture, FMinPictureHot, FMinPictureDown, FMaxPicture, FMaxPictureHot,
        FMaxPictureDown;
};

class TTrackBarLabel : public TTrackBarPart {
    PLAT_CLASS(TTrackBarLabel)
public:
    explicit TTrackBarLabel(TCustomTrackBar* Owner = nullptr);
    void Assign(plat::TPersistent* Source) override;

    KVX_TRACKBAR_PROP(bool, Visible)
    const std::string& Format() const { return FFormat; }
    void SetFormat(const std::string& Value) { Change(FFormat, Value); }
    KVX_TRACKBAR_PROP(trackbar::TLabelPosition, Position)
    plat::TFont* Font() const { return FFont.get(); }
    void SetFont(plat::TFont* Value) { FFont->Assign(Value); }
    KVX_TRACKBAR_PROP(int, Spacing)

private:
    bool FVisible = false;
    std::string FFormat = "Pos: %d";
    trackbar::TLabelPosition FPosition = trackbar::lpTopCenter;
    std::unique_ptr<plat::TFont> FFont;
    int FSpacing = 4;
};

#undef KVX_TRACKBAR_PROP
#undef KVX_TRACKBAR_FIELD
#undef KVX_TRACKBAR_PICTURE

// The value shown beside the pointer while the thumb is dragged.
class TTrackHintWindow : public plat::THintWindow {
    PLAT_CLASS(TTrackHintWindow)
public:
    explicit TTrackHintWindow(plat::TComponent* AOwner);
    void ActivateHint(plat::TRect Rect, const std::string& AHint) override;
    plat::TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) override;

protected:
    void CreateParams(plat::TCreateParams& Params) override;
    void Paint() override;
    void Dispatch(plat::TMessage& Message) override;

private:
    plat::TSize MeasureCaption();
    int FTextWidth = 0, FTextHeight = 0;
};

// A plain windowed container that layouts and descendants may name. A transparent slider shows the
// graphic controls of any parent under it, not only of this class's.
class TWinCtrl : public plat::TWinControl {
    PLAT_CLASS(TWinCtrl)
public:
    using plat::TWinControl::TWinControl;
};

using TDrawTickEvent =
    std::function<void(plat::TObject* Sender, plat::TCanvas* Canvas, plat::TPoint Location, int Position,
                       plat::TTickMark TickPos, int& Length, plat::TColor& Color, plat::TColor& TextColor,
                       std::string& Text, bool& DefaultDraw)>;
using TGetTrackHintEvent = std::function<void(plat::TObject* Sender, int Position, std::string& HintStr)>;

class TCustomTrackBar : public plat::TCustomControl, public IStyleable {
    PLAT_CLASS(TCustomTrackBar)
public:
    explicit TCustomTrackBar(plat::TComponent* AOwner);
    ~TCustomTrackBar() override;

    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    virtual void SetPosition(int Value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value) { FPageSize = Value; }
    plat::TTrackBarOrientation Orientation() const { return FOrientation; }

    TTrackBarThumb* Thumb() const { return FThumb.get(); }
    void SetThumb(TTrackBarThumb* Value) { FThumb->Assign(Value); }
    TTrackBarSlider* Slider() const { return FSlider.get(); }
    void SetSlider(TTrackBarSlider* Value) { FSlider->Assign(Value); }
    TTrackBarTick* TickMark() const { return FTickMark.get(); }
    void SetTickMark(TTrackBarTick* Value) { FTickMark->Assign(Value); }
    TTrackBarButtons* Buttons() const { return FButtons.get(); }
    void SetButtons(TTrackBarButtons* Value) { FButtons->Assign(Value); }
    TTrackBarLabel* TrackLabel() const { return FTrackLabel.get(); }
    void SetTrackLabel(TTrackBarLabel* Value) { FTrackLabel->Assign(Value); }
    plat::TCustomImageList* TickImages() const { return FTickImages; }

    TGDIPPicture* BackGround() const { return FBackGround.get(); }
    void SetBackGround(TGDIPPicture* Value) { FBackGround->Assign(Value); }
    TGDIPPicture* BackGroundDisabled() const { return FBackGroundDisabled.get(); }
    void SetBackGroundDisabled(TGDIPPicture* Value) { FBackGroundDisabled->Assign(Value); }
    TGDIPPicture* RateActive() const { return FRateActive.get(); }
    void SetRateActive(TGDIPPicture* Value) { FRateActive->Assign(Value); }
    TGDIPPicture* RateInActive() const { return FRateInActive.get(); }
    void SetRateInActive(TGDIPPicture* Value) { FRateInActive->Assign(Value); }
    bool BackGroundStretched() const { return FBackGroundStretched; }
    plat::TColor ColorTo() const { return FColorTo; }
    plat::TColor ColorDisabled() const { return FColorDisabled; }
    void SetColorDisabled(plat::TColor Value) { FColorDisabled = Value; }
    plat::TColor ColorDisabledTo() const { return FColorDisabledTo; }
    void SetColorDisabledTo(plat::TColor Value) { FColorDisabledTo = Value; }
    plat::TColor BorderColor() const { return FBorderColor; }
    plat::TColor BorderColorDisabled() const { return FBorderColorDisabled; }
    void SetBorderColorDisabled(plat::TColor Value) { FBorderColorDisabled = Value; }
    trackbar::TGradientDirection Direction() const { return FDirection; }
    bool Transparent() const { return FTransparent; }
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value);
    bool TrackHint() const { return FTrackHint; }
    void SetTrackHint(bool Value) { FTrackHint = Value; }

    // Both rating pictures set: the control is a row of pictures for Min + 1 .. Max.
    bool RatingMode() const { return !FRateActive->Empty() && !FRateInActive->Empty(); }

    // Resets the groove offset, tick side, thumb shape and part pictures (for every style, tsCustom
    // included), then sets the style's thumb, button, groove and tick colours.
    void ApplyStyle(TKVXStyle Style) override;

    plat::TNotifyEvent OnChange;
    TDrawTickEvent OnDrawTick;
    TGetTrackHintEvent OnGetTrackHint;

    // The control's areas in client coordinates; an absent one is (-1, -1, -1, -1).
    plat::TRect ContentRect() const;
    plat::TRect TrackRect();
    plat::TRect TopTickRect();
    plat::TRect BottomTickRect();
    plat::TRect SliderRect();
    plat::TRect ThumbRect();
    plat::TRect MinButtonRect() const;
    plat::TRect MaxButtonRect() const;
    // Placed: shrunk to the text at its alignment (the vertical one stored upside down).
    plat::TRect LabelRect(bool Placed);
    plat::TRect RatingItemRect(int Value);
    int RatingItemAt(int X, int Y);
    int TickTextExtent() const { return FTickTextExtent; }

    // For tests and painters: the interaction state.
    bool IsDragging() const { return FDragging; }
    bool ThumbHot() const { return FThumbHot; }
    bool ThumbDown() const { return FThumbDown; }
    bool MinButtonDown() const { return FMinButtonDown; }
    bool MaxButtonDown() const { return FMaxButtonDown; }
    bool HintVisible() const { return FHintVisible; }
    TTrackHintWindow* HintWindow() const { return FHintWindow; }
    // How many values got a tick in the last paint (a value on a pixel column already drawn is skipped).
    int TicksDrawn() const { return FTicksDrawn; }

    // Called when a part, picture or label changes.
    void PartChanged(plat::TObject* Sender);
    void TickChanged(plat::TObject* Sender);

protected:
    virtual void RepeatTimerTick(plat::TObject* Sender);
    virtual bool CanPageClick() { return true; }
    virtual void LabelText(std::string& Text);
    virtual void CreateSlider();
    virtual bool CanDragThumb() { return true; }
    virtual bool IsValidPosition(int Value) { return Value >= FMin && Value <= FMax; }
    virtual int GetMin() { return FMin; }
    virtual int GetMax() { return FMax; }
    virtual void DrawSlider();
    virtual void DrawThumb();
    virtual void Changed();

    void Paint() override;
    void Dispatch(plat::TMessage& Message) override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(plat::TShiftState Shift, int WheelDelta, plat::TPoint MousePos) override;
    void KeyDown(uint16_t& Key, plat::TShiftState Shift) override;
    void DoEnter() override;
    void DoExit() override;
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

    void DrawMinButton();
    void DrawMaxButton();
    void DrawRatingItem(int Value);
    // The thumb in a given state (DrawThumb passes the present one).
    void DrawThumbShape(plat::TCanvas& Canvas, const plat::TRect& R, int Value, bool Pressed, bool Hot);

    bool Horizontal() const { return FOrientation == plat::trHorizontal; }
    // The thumb's offset along the track; 0 for a range without extent (Max <= Min).
    int ThumbOffset(int Extent) const;

    int FMin = 0, FMax = 10, FPosition = 0, FPageSize = 1;
    plat::TTrackBarOrientation FOrientation = plat::trHorizontal;
    plat::TCustomImageList* FTickImages = nullptr;
    plat::TColor FColorTo = plat::clNone, FColorDisabled = plat::clNone, FColorDisabledTo = plat::clNone;
    plat::TColor FBorderColor = plat::clNone, FBorderColorDisabled = plat::clNone;
    trackbar::TGradientDirection FDirection = trackbar::gdHorizontal;
    bool FTransparent = true, FBackGroundStretched = false, FShowFocus = false, FTrackHint = false;

private:
    friend class TTrackBarPart;
    void StepDown();
    void StepUp();
    void StartRepeatTimer();
    void StopRepeatTimer();
    void InvalidateArea(const plat::TRect& R);
    void InvalidateLabel();
    void UpdateTickTextExtent();
    void MouseLeft();
    void ShowTrackHint(int Value);
    void HideTrackHint();

    // Painting (KvxTrackBarPaint.cpp).
    void DrawBackground(plat::TCanvas& Canvas);
    void DrawLabel(plat::TCanvas& Canvas);
    void DrawTicks(plat::TCanvas& Canvas);
    void DrawButtons();
    void DrawButton(plat::TCanvas& Canvas, bool MaxButton);
    void DrawRating(plat::TCanvas& Canvas);
    plat::TCanvas& PaintCanvas();

    std::unique_ptr<TTrackBarThumb> FThumb;
    std::unique_ptr<TTrackBarSlider> FSlider;
    std::unique_ptr<TTrackBarTick> FTickMark;
    std::unique_ptr<TTrackBarButtons> FButtons;
    std::unique_ptr<TTrackBarLabel> FTrackLabel;
    std::unique_ptr<TGDIPPicture> FBackGround, FBackGroundDisabled, FRateActive, FRateInActive;
    int FFrameWidth = 1;
    const int FMargin = 2;
    const int FTickTextGap = 2;
    int FTickTextExtent = 0;
    bool FDragging = false, FThumbHot = false, FThumbDown = false, FMinButtonHot = false,
         FMinButtonDown = false, FMaxButtonHot = false, FMaxButtonDown = false, FHintVisible = false;
    int FLastHintValue = -1;
    plat::TTimer* FRepeatTimer = nullptr;
    TTrackHintWindow* FHintWindow = nullptr;
    int FTicksDrawn = 0;
};

// The published slider.
class TKvxTrackBar : public TCustomTrackBar {
    PLAT_CLASS(TKvxTrackBar)
public:
    explicit TKvxTrackBar(plat::TComponent* AOwner);

    // Neither keeps Min below Max: a range set one end at a time may pass through Max <= Min.
    void SetMax(int Value);
    void SetMin(int Value);
    void SetOrientation(plat::TTrackBarOrientation Value);
    void SetBorderColor(plat::TColor Value);
    void SetColorTo(plat::TColor Value);
    void SetDirection(trackbar::TGradientDirection Value);
    void SetTransparent(bool Value);
    void SetBackGroundStretched(bool Value);
    void SetTickImages(plat::TCustomImageList* Value);
};

} // namespace ui
