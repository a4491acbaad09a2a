// The slider's state, areas, value-pixel mappings and input.
#include "ui/controls/KvxTrackBar.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Timer.h"

namespace ui {

using namespace plat;
using namespace trackbar;

PLAT_CLASS_INFO(TCustomTrackBar, plat::TCustomControl)
PLAT_CLASS_INFO_CREATABLE(TKvxTrackBar, TCustomTrackBar)
PLAT_CLASS_INFO(TWinCtrl, plat::TWinControl)

namespace {
struct TRegistrar {
    TRegistrar() { plat::RegisterClass(TKvxTrackBar::StaticClass()); }
} registrar;

constexpr TRect kAbsent(-1, -1, -1, -1);

// Text size in a font, on the control's canvas when it has a window, else on a scratch bitmap; the
// canvas font is put back.
TSize MeasureText(TCustomControl& Control, TFont& Font, const std::string& Text) {
    auto measure = [&](TCanvas& canvas) {
        TFont saved;
        saved.Assign(canvas.Font());
        canvas.Font()->Assign(&Font);
        TSize size = canvas.TextExtent(Text);
        canvas.Font()->Assign(&saved);
        return size;
    };
    if (Control.HandleAllocated())
        return measure(*Control.Canvas());
    TBitmap scratch(1, 1);
    return measure(*scratch.Canvas());
}
} // namespace

PLAT_PROPERTIES(TKvxTrackBar) {
    props.Integer("Max", &TKvxTrackBar::Max, &TKvxTrackBar::SetMax, 10);
    props.Integer("Min", &TKvxTrackBar::Min, &TKvxTrackBar::SetMin, 0);
    props.Integer("PageSize", &TKvxTrackBar::PageSize, &TKvxTrackBar::SetPageSize, 1);
    props.Integer("Position", &TKvxTrackBar::Position, &TKvxTrackBar::SetPosition, 0);
    props.Enum("Orientation", &TKvxTrackBar::Orientation, &TKvxTrackBar::SetOrientation,
               kTrackBarOrientationNames, trHorizontal);
    props.Object("Thumb", &TKvxTrackBar::Thumb, &TKvxTrackBar::SetThumb);
    props.Object("Slider", &TKvxTrackBar::Slider, &TKvxTrackBar::SetSlider);
    props.Object("TickMark", &TKvxTrackBar::TickMark, &TKvxTrackBar::SetTickMark);
    props.Object("Buttons", &TKvxTrackBar::Buttons, &TKvxTrackBar::SetButtons);
    props.Object("TrackLabel", &TKvxTrackBar::TrackLabel, &TKvxTrackBar::SetTrackLabel);
    props.Component("TickImages", &TKvxTrackBar::TickImages, &TKvxTrackBar::SetTickImages);
    props.Object("BackGround", &TKvxTrackBar::BackGround, &TKvxTrackBar::SetBackGround);
    props.Object("BackGroundDisabled", &TKvxTrackBar::BackGroundDisabled,
                 &TKvxTrackBar::SetBackGroundDisabled);
    props.Boolean("BackGroundStretched", &TKvxTrackBar::BackGroundStretched,
                  &TKvxTrackBar::SetBackGroundStretched, false);
    props.Color("ColorTo", &TKvxTrackBar::ColorTo, &TKvxTrackBar::SetColorTo);
    props.Color("ColorDisabled", &TKvxTrackBar::ColorDisabled, &TKvxTrackBar::SetColorDisabled);
    props.Color("ColorDisabledTo", &TKvxTrackBar::ColorDisabledTo, &TKvxTrackBar::SetColorDisabledTo);
    props.Color("BorderColor", &TKvxTrackBar::BorderColor, &TKvxTrackBar::SetBorderColor);
    props.Color("BorderColorDisabled", &TKvxTrackBar::BorderColorDisabled,
                &TKvxTrackBar::SetBorderColorDisabled);
    props.Enum("Direction", &TKvxTrackBar::Direction, &TKvxTrackBar::SetDirection, kGradientDirectionNames);
    props.Boolean("Transparent", &TKvxTrackBar::Transparent, &TKvxTrackBar::SetTransparent, true);
    props.Object("RateActive", &TKvxTrackBar::RateActive, &TKvxTrackBar::SetRateActive);
    props.Object("RateInActive", &TKvxTrackBar::RateInActive, &TKvxTrackBar::SetRateInActive);
    props.Boolean("ShowFocus", &TKvxTrackBar::ShowFocus, &TKvxTrackBar::SetShowFocus, false);
    props.Boolean("TrackHint", &TKvxTrackBar::TrackHint, &TKvxTrackBar::SetTrackHint);
    props.Event("OnChange", &TKvxTrackBar::OnChange);
    props.Event("OnDrawTick", &TKvxTrackBar::OnDrawTick);
    props.Event("OnGetTrackHint", &TKvxTrackBar::OnGetTrackHint);
}

// ---- Creation ------------------------------------------------------------------------------------------

TCustomTrackBar::TCustomTrackBar(TComponent* AOwner) : TCustomControl(AOwner) {
    FThumb = std::make_unique<TTrackBarThumb>(this);
    FThumb->OnChange = [this](TObject* s) { PartChanged(s); };
    CreateSlider();
    FTickMark = std::make_unique<TTrackBarTick>(this);
    FTickMark->OnChange = [this](TObject* s) { TickChanged(s); };
    FButtons = std::make_unique<TTrackBarButtons>(this);
    FButtons->OnChange = [this](TObject* s) { PartChanged(s); };
    FTrackLabel = std::make_unique<TTrackBarLabel>(this);
    FTrackLabel->OnChange = [this](TObject* s) { PartChanged(s); };
    for (auto* picture : {&FBackGround, &FBackGroundDisabled, &FRateActive, &FRateInActive}) {
        *picture = std::make_unique<TGDIPPicture>();
        (*picture)->OnChange = [this](TObject* s) { PartChanged(s); };
    }
    FColor = clNone;
    FTrackHint = ShowHint();
    SetBounds(Left(), Top(), 150, 26);
    SetTabStop(true);
    FControlStyle &= ~csDoubleClicks;
    SetBorderWidth(0);
    SetDoubleBuffered(true);
    FHintWindow = new TTrackHintWindow(this);
    UpdateTickTextExtent();
}

TCustomTrackBar::~TCustomTrackBar() = default;

void TCustomTrackBar::CreateSlider() {
    FSlider = std::make_unique<TTrackBarSlider>(this);
    FSlider->OnChange = [this](TObject* s) { PartChanged(s); };
}

void TCustomTrackBar::PartChanged(TObject*) {
    Invalidate();
}

void TCustomTrackBar::TickChanged(TObject*) {
    UpdateTickTextExtent();
    Invalidate();
}

void TCustomTrackBar::UpdateTickTextExtent() {
    FTickTextExtent = MeasureText(*this, *FTickMark->Font(), "gh").cy + 2 * FTickTextGap;
}

void TCustomTrackBar::Loaded() {
    TCustomControl::Loaded();
    UpdateTickTextExtent();
    FButtons->AdoptPictureSize();
    FThumb->AdoptPictureSize();
}

void TCustomTrackBar::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FTickImages) {
        FTickImages = nullptr;
        Invalidate();
    }
}

void TCustomTrackBar::SetShowFocus(bool Value) {
    if (Value == FShowFocus)
        return;
    FShowFocus = Value;
    Invalidate();
}

// ---- Published setters ---------------------------------------------------------------------------------

TKvxTrackBar::TKvxTrackBar(TComponent* AOwner) : TCustomTrackBar(AOwner) {}

void TKvxTrackBar::SetMax(int Value) {
    if (Value == FMax)
        return;
    FMax = Value;
    if (FPosition > FMax)
        SetPosition(Value);
    Invalidate();
}

void TKvxTrackBar::SetMin(int Value) {
    if (Value == FMin)
        return;
    FMin = Value;
    if (FPosition < FMin)
        SetPosition(Value);
    Invalidate();
}

void TKvxTrackBar::SetOrientation(TTrackBarOrientation Value) {
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    if (!(ComponentState() & csLoading) && !(ComponentState() & csUpdating))
        SetBounds(Left(), Top(), Height(), Width());
    if (HandleAllocated())
        RecreateWnd();
    Invalidate();
}

namespace {
template <class T> void StoreAndRepaint(TControl& Control, T& Field, T Value) {
    if (Field == Value)
        return;
    Field = Value;
    Control.Invalidate();
}
} // namespace

void TKvxTrackBar::SetBorderColor(TColor Value) {
    StoreAndRepaint(*this, FBorderColor, Value);
}
void TKvxTrackBar::SetColorTo(TColor Value) {
    StoreAndRepaint(*this, FColorTo, Value);
}
void TKvxTrackBar::SetDirection(TGradientDirection Value) {
    StoreAndRepaint(*this, FDirection, Value);
}
void TKvxTrackBar::SetTransparent(bool Value) {
    StoreAndRepaint(*this, FTransparent, Value);
}
void TKvxTrackBar::SetBackGroundStretched(bool Value) {
    StoreAndRepaint(*this, FBackGroundStretched, Value);
}

void TKvxTrackBar::SetTickImages(TCustomImageList* Value) {
    if (Value == FTickImages)
        return;
    if (FTickImages)
        FTickImages->RemoveFreeNotification(this);
    FTickImages = Value;
    if (FTickImages)
        FTickImages->FreeNotification(this);
    Invalidate();
}

// ---- Areas ---------------------------------------------------------------------------------------------

TRect TCustomTrackBar::ContentRect() const {
    TRect r = ClientRect();
    InflateRect(r, -(FFrameWidth + FMargin), -(FFrameWidth + FMargin));
    return r;
}

TRect TCustomTrackBar::MinButtonRect() const {
    TRect r = ContentRect();
    if (Horizontal())
        r.Right = r.Left + FButtons->Size();
    else
        r.Top = r.Bottom - FButtons->Size();
    return r;
}

TRect TCustomTrackBar::MaxButtonRect() const {
    TRect r = ContentRect();
    if (Horizontal())
        r.Left = r.Right - FButtons->Size();
    else
        r.Bottom = r.Top + FButtons->Size();
    return r;
}

TRect TCustomTrackBar::TrackRect() {
    TRect r = ContentRect();
    int& start = Horizontal() ? r.Top : r.Left;
    start += FSlider->Offset();
    if (FTrackLabel->Visible() && FTrackLabel->Position() <= lpTopRight) {
        TRect l = LabelRect(false);
        start += (Horizontal() ? l.Height() : l.Width()) + 1;
    }
    if (FButtons->Visible()) {
        if (Horizontal()) {
            r.Left = MinButtonRect().Right + FButtons->Spacing();
            r.Right = MaxButtonRect().Left - FButtons->Spacing();
        } else {
            r.Bottom = MinButtonRect().Top - FButtons->Spacing();
            r.Top = MaxButtonRect().Bottom + FButtons->Spacing();
        }
    }
    return r;
}

namespace {
bool HasTopRow(const TTrackBarTick& Tick) {
    return Tick.Style() != tsNone && (Tick.Position() == tmTopLeft || Tick.Position() == tmBoth);
}
bool HasBottomRow(const TTrackBarTick& Tick) {
    return Tick.Style() != tsNone && (Tick.Position() == tmBottomRight || Tick.Position() == tmBoth);
}
} // namespace

TRect TCustomTrackBar::TopTickRect() {
    if (!HasTopRow(*FTickMark))
        return kAbsent;
    const TRect r = TrackRect();
    const int halfW = FThumb->Width() > 0 ? FThumb->Width() / 2 : 0;
    const int depth = (FTickMark->ShowText() ? FTickTextExtent : 0) + FTickMark->Size();
    if (Horizontal())
        return TRect(r.Left + halfW, r.Top, r.Right - halfW, r.Top + depth);
    return TRect(r.Left, r.Top + halfW, r.Left + depth, r.Bottom - halfW);
}

TRect TCustomTrackBar::SliderRect() {
    if (FSlider->Size() <= 0 || !FSlider->Visible())
        return kAbsent;
    TRect r = TrackRect();
    int start = Horizontal() ? r.Top : r.Left;
    if (HasTopRow(*FTickMark)) {
        const TRect t = TopTickRect();
        start = (Horizontal() ? t.Bottom : t.Right) + FTickMark->Spacing();
    }
    if (Horizontal()) {
        r.Top = start;
        r.Bottom = start + FSlider->Size();
    } else {
        r.Left = start;
        r.Right = start + FSlider->Size();
    }
    return r;
}

TRect TCustomTrackBar::BottomTickRect() {
    if (!HasBottomRow(*FTickMark))
        return kAbsent;
    const TRect r = TrackRect();
    int a;
    if (FSlider->Visible() && FSlider->Size() > 0) {
        const TRect s = SliderRect();
        a = (Horizontal() ? s.Bottom : s.Right) - (FSlider->Border3D() ? 1 : 0) + FTickMark->Spacing();
    } else if (FTickMark->Position() == tmBottomRight) {
        a = Horizontal() ? r.Top : r.Left;
    } else {
        const TRect t = TopTickRect();
        a = (Horizontal() ? t.Bottom : t.Right) + 2 * FTickMark->Spacing();
    }
    const int halfW = FThumb->Width() > 0 ? FThumb->Width() / 2 : 0;
    const int depth = (FTickMark->ShowText() ? FTickTextExtent : 0) + FTickMark->Size();
    if (Horizontal())
        return TRect(r.Left + halfW, a, r.Right - halfW, a + depth);
    return TRect(a, r.Top + halfW, a + depth, r.Bottom - halfW);
}

// The product is taken in 64 bits: a range of millions over a few hundred pixels overflows 32. A range
// without extent (Max <= Min, met while a window sets its ends one at a time) keeps the thumb at the start.
int TCustomTrackBar::ThumbOffset(int Extent) const {
    const int64_t range = int64_t(FMax) - FMin;
    if (range <= 0)
        return 0;
    return static_cast<int>((int64_t(Extent - FThumb->Width()) * (int64_t(FPosition) - FMin)) / range);
}

TRect TCustomTrackBar::ThumbRect() {
    const TRect r = TrackRect();
    const int w = FThumb->Width();
    TRect t;
    if (Horizontal()) {
        t.Left = r.Left + ThumbOffset(r.Width());
        t.Right = t.Left + w;
    } else {
        t.Bottom = r.Bottom - ThumbOffset(r.Height());
        t.Top = t.Bottom - w;
    }
    const int s = FThumb->Size();
    int start;
    if (FSlider->Visible() && FSlider->Size() > 0) {
        const TRect g = SliderRect();
        start = Horizontal() ? g.Top + g.Height() / 2 - s / 2 : g.Left + g.Width() / 2 - s / 2;
    } else if (FTickMark->Style() == tsNone) {
        start = Horizontal() ? r.Top : r.Left;
    } else if (FTickMark->Position() == tmBottomRight) {
        const TRect b = BottomTickRect();
        start = Horizontal() ? b.Top : b.Left;
    } else {
        const TRect tt = TopTickRect();
        start = (Horizontal() ? tt.Top : tt.Left) + FTickMark->Spacing() - s / 2;
    }
    if (Horizontal()) {
        t.Top = start;
        t.Bottom = start + s;
    } else {
        t.Left = start;
        t.Right = start + s;
    }
    if (FThumb->Shape() == tsLine && FThumb->Picture()->Empty()) {
        if (Horizontal()) {
            t.Top = ContentRect().Top;
            t.Bottom = Height() - FFrameWidth;
        } else {
            t.Left = ContentRect().Left;
            t.Right = Width() - FFrameWidth;
        }
    }
    return t;
}

void TCustomTrackBar::LabelText(std::string& Text) {
    Text = FormatTrackLabel(FTrackLabel->Format(), FPosition);
}

TRect TCustomTrackBar::LabelRect(bool Placed) {
    if (!FTrackLabel->Visible())
        return kAbsent;
    std::string text;
    LabelText(text);
    const TSize size = MeasureText(*this, *FTrackLabel->Font(), text);
    const int h = size.cy, w = size.cx;
    const TLabelPosition pos = FTrackLabel->Position();
    const bool bottom = pos >= lpBottomCenter;
    TRect r = ContentRect();
    if (Horizontal()) {
        if (bottom) {
            // Without a tick row below, the label follows the groove (or the track itself).
            TRect below = BottomTickRect();
            if (below.Bottom < 0) {
                const TRect s = SliderRect();
                below.Bottom = s.Bottom >= 0 ? s.Bottom : TrackRect().Top;
            }
            r.Top = below.Bottom + 1;
        } else {
            r.Top = ContentRect().Top + FSlider->Offset();
        }
        r.Bottom = r.Top + h + FTrackLabel->Spacing();
    } else {
        if (bottom) {
            TRect right = BottomTickRect();
            if (right.Right < 0) {
                const TRect s = SliderRect();
                right.Right = s.Right >= 0 ? s.Right : TrackRect().Left;
            }
            r.Left = right.Right + 1;
        } else {
            r.Left = ContentRect().Left + FSlider->Offset();
        }
        r.Right = r.Left + h + FTrackLabel->Spacing();
    }
    if (!Placed)
        return r;
    const bool left = pos == lpTopLeft || pos == lpBottomLeft;
    const bool right = pos == lpTopRight || pos == lpBottomRight;
    if (Horizontal()) {
        if (left) {
            r.Right = r.Left + w + 5;
        } else if (right) {
            r.Left = r.Right - w - 5;
        } else {
            r.Left = r.Left + (r.Right - r.Left - w) / 2;
            r.Right = r.Left + w + 5;
        }
    } else {
        // The text runs upward: Top is where it starts, below Bottom.
        if (left) {
            const int oldBottom = r.Bottom;
            r.Top = oldBottom;
            r.Bottom = oldBottom - w - 5;
        } else if (right) {
            const int oldTop = r.Top;
            r.Bottom = oldTop;
            r.Top = oldTop + w + 5;
        } else {
            const int t = r.Top + (r.Bottom - r.Top - w) / 2;
            r.Bottom = t;
            r.Top = t + w + 5;
        }
    }
    return r;
}

TRect TCustomTrackBar::RatingItemRect(int Value) {
    if (!RatingMode() || Value <= FMin || Value > FMax)
        return kAbsent;
    FRateActive->MeasureImage();
    FRateInActive->MeasureImage();
    const int cw = std::max(FRateActive->Width(), FRateInActive->Width());
    const int ch = std::max(FRateActive->Height(), FRateInActive->Height());
    if (cw <= 0 || ch <= 0)
        return kAbsent;
    const TRect r = TrackRect();
    int x = r.Left, y = r.Top;
    // A row wraps when the next cell would end past the track's right edge.
    for (int64_t v = int64_t(FMin) + 1; v <= Value; ++v) {
        if (v > int64_t(FMin) + 1) {
            if (r.Right < x + 2 * cw) {
                x = r.Left;
                y += ch;
            } else {
                x += cw;
            }
        }
        if (y > r.Bottom)
            return kAbsent;
    }
    return TRect(x, y, x + cw, y + ch);
}

int TCustomTrackBar::RatingItemAt(int X, int Y) {
    for (int64_t v = int64_t(FMin) + 1; v <= FMax; ++v) {
        const TRect r = RatingItemRect(static_cast<int>(v));
        if (r.Left < 0 && r.Right < 0)
            break;
        if (r.Contains(TPoint(X, Y)))
            return static_cast<int>(v);
    }
    return -1;
}

// ---- Position ------------------------------------------------------------------------------------------

void TCustomTrackBar::InvalidateArea(const TRect& R) {
    if (HandleAllocated())
        plat::InvalidateRect(Handle(), &R, true);
}

void TCustomTrackBar::InvalidateLabel() {
    TRect r = LabelRect(true);
    if (r.Left == -1 && r.Right == -1)
        return;
    if (Horizontal()) {
        InflateRect(r, 5, 0);
    } else {
        r.Top += 10;
        r.Bottom -= 10;
    }
    // The vertical rectangle is stored upside down.
    InvalidateArea(TRect(std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                         std::max(r.Top, r.Bottom)));
}

void TCustomTrackBar::SetPosition(int Value) {
    if (Value == FPosition)
        return;
    // A value outside the range that clamps to the present position still repaints and reports.
    if (Value < FMin)
        Value = FMin;
    else if (Value > FMax)
        Value = FMax;
    const int old = FPosition;
    TRect before = ThumbRect();
    FPosition = Value;
    TRect after = ThumbRect();
    if (ComponentState() & csDesigning) {
        Invalidate();
        return;
    }
    if (RatingMode()) {
        // Items past the last one that fits have no place; a jump across a huge range stops there.
        for (int64_t v = std::min(old, Value); v <= std::max(old, Value); ++v) {
            if (v > FMin && RatingItemRect(static_cast<int>(v)) == kAbsent)
                break;
            DrawRatingItem(static_cast<int>(v));
        }
    } else {
        InflateRect(before, 1, 1);
        InflateRect(after, 1, 1);
        TRect area;
        UnionRect(area, before, after);
        if (FSlider->ColorCompleted() != clNone || !FSlider->PictureCompleted()->Empty()) {
            const TRect s = SliderRect();
            UnionRect(area, area, s);
        }
        if (FTickMark->ShowImageAtThumbOnly()) {
            const TRect t = TrackRect();
            for (const TRect& thumb : {before, after}) {
                const TRect band = Horizontal() ? TRect(thumb.Left, t.Top, thumb.Right, t.Bottom)
                                                : TRect(t.Left, thumb.Top, t.Right, thumb.Bottom);
                UnionRect(area, area, band);
            }
        }
        InvalidateArea(area);
        InvalidateLabel();
    }
    Changed();
}

void TCustomTrackBar::Changed() {
    if (OnChange)
        OnChange(this);
}

void TCustomTrackBar::StepDown() {
    if (FPosition > FMin)
        SetPosition(FPosition - 1);
}

void TCustomTrackBar::StepUp() {
    if (FPosition < FMax)
        SetPosition(FPosition + 1);
}

// ---- Mouse ---------------------------------------------------------------------------------------------

void TCustomTrackBar::StartRepeatTimer() {
    if (!FButtons->RepeatClick())
        return;
    if (!FRepeatTimer) {
        FRepeatTimer = new TTimer(this);
        FRepeatTimer->SetEnabled(false);
    }
    FRepeatTimer->OnTimer = [this](TObject* s) { RepeatTimerTick(s); };
    FRepeatTimer->SetInterval(static_cast<uint32_t>(std::max(1, FButtons->InitRepeatPause())));
    FRepeatTimer->SetEnabled(true);
}

void TCustomTrackBar::StopRepeatTimer() {
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
}

// A capture lost without a release (another window took it) stops the repeat: ticks without the
// capture would only keep the timer alive for nothing.
void TCustomTrackBar::RepeatTimerTick(TObject*) {
    FRepeatTimer->SetInterval(static_cast<uint32_t>(std::max(1, FButtons->RepeatPause())));
    if (!MouseCapture()) {
        StopRepeatTimer();
        return;
    }
    if (FMinButtonDown)
        StepDown();
    else if (FMaxButtonDown)
        StepUp();
    else
        StopRepeatTimer();
}

void TCustomTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (!Focused() && CanFocus())
        SetFocus();
    if (Button != mbLeft || RatingMode())
        return;
    const TPoint p(X, Y);
    const TRect track = TrackRect();
    if (ThumbRect().Contains(p)) {
        if (CanDragThumb()) {
            FDragging = true;
            FThumbDown = true;
            DrawThumb();
        }
    } else if (track.Contains(p) && CanPageClick()) {
        const int64_t range = int64_t(FMax) - FMin;
        const int extent = Horizontal() ? track.Width() : track.Height();
        const int off = range > 0
                            ? static_cast<int>(std::trunc((int64_t(FPosition) - FMin) *
                                                          (double(extent - FThumb->Width()) / double(range))))
                            : 0;
        if (Horizontal())
            SetPosition(X < track.Left + off ? FPosition - FPageSize : FPosition + FPageSize);
        else
            SetPosition(Y < track.Bottom - off ? FPosition + FPageSize : FPosition - FPageSize);
    } else if (FButtons->Visible()) {
        if (MinButtonRect().Contains(p) && !FMinButtonDown) {
            FMinButtonDown = true;
            DrawMinButton();
            StartRepeatTimer();
        }
        if (MaxButtonRect().Contains(p) && !FMaxButtonDown) {
            FMaxButtonDown = true;
            DrawMaxButton();
            StartRepeatTimer();
        }
    }
}

void TCustomTrackBar::ShowTrackHint(int Value) {
    FLastHintValue = Value;
    std::string text = std::to_string(Value);
    if (OnGetTrackHint)
        OnGetTrackHint(this, Value, text);
    FHintWindow->SetCaption(text);
    TRect r = FHintWindow->CalcHintRect(100, text, nullptr);
    FHintWindow->SetColor(clInfoBk);
    TPoint cursor;
    GetCursorPos(cursor);
    OffsetRect(r, cursor.X + 10, cursor.Y);
    FHintWindow->ActivateHint(r, text);
    FHintVisible = true;
}

void TCustomTrackBar::HideTrackHint() {
    if (!FHintVisible)
        return;
    FHintWindow->ReleaseHandle();
    FHintVisible = false;
}

void TCustomTrackBar::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (RatingMode())
        return;
    if (FDragging) {
        const TRect r = TrackRect();
        const int h = FThumb->Width() / 2;
        const double range = double(int64_t(FMax) - FMin);
        const double span = Horizontal() ? double(r.Width() - h) : double(r.Height() - h);
        const double along = Horizontal() ? double(X - r.Left - h) : double(r.Bottom - h - Y);
        // Without extent or range every pointer position means Min.
        double v = span > 0 && range > 0 ? std::nearbyint(along / span * range + FMin) : double(FMin);
        v = std::min(v, double(FMax));
        v = std::max(v, double(FMin));
        int value = static_cast<int>(v);
        if (!IsValidPosition(value))
            value = FPosition;
        if (value != FPosition && FTrackHint && value != FLastHintValue)
            ShowTrackHint(value);
        SetPosition(value);
        return;
    }
    const TPoint p(X, Y);
    if (FButtons->Visible()) {
        const bool inMin = MinButtonRect().Contains(p);
        if (inMin != FMinButtonHot) {
            FMinButtonHot = inMin;
            if (!inMin)
                FMinButtonDown = false;
            DrawMinButton();
        }
        const bool inMax = MaxButtonRect().Contains(p);
        if (inMax != FMaxButtonHot) {
            FMaxButtonHot = inMax;
            if (!inMax)
                FMaxButtonDown = false;
            DrawMaxButton();
        }
    }
    if (CanDragThumb()) {
        const bool inThumb = ThumbRect().Contains(p);
        if (inThumb != FThumbHot) {
            FThumbHot = inThumb;
            if (!inThumb)
                FThumbDown = false;
            DrawThumb();
        }
    }
}

void TCustomTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    StopRepeatTimer();
    const TPoint p(X, Y);
    if (RatingMode()) {
        if (Button == mbLeft) {
            const int item = RatingItemAt(X, Y);
            if (item != -1) {
                SetPosition(item);
            } else {
                const TRect first = RatingItemRect(FMin + 1);
                if (X >= first.Left - 4 && X <= first.Left - 1 && Y >= first.Top && Y <= first.Bottom)
                    SetPosition(FMin);
            }
        }
    } else if (Button == mbLeft) {
        HideTrackHint();
        FDragging = false;
        if (FThumbDown) {
            FThumbDown = false;
            if (!ThumbRect().Contains(p))
                FThumbHot = false;
            DrawThumb();
        }
        if (FButtons->Visible()) {
            if (MinButtonRect().Contains(p) && FMinButtonDown) {
                FMinButtonDown = false;
                DrawMinButton();
                StepDown();
            }
            if (MaxButtonRect().Contains(p) && FMaxButtonDown) {
                FMaxButtonDown = false;
                DrawMaxButton();
                StepUp();
            }
        }
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomTrackBar::MouseLeft() {
    if (RatingMode())
        return;
    if (FButtons->Visible()) {
        if (FMinButtonHot || FMinButtonDown) {
            FMinButtonHot = FMinButtonDown = false;
            DrawMinButton();
        }
        if (FMaxButtonHot || FMaxButtonDown) {
            FMaxButtonHot = FMaxButtonDown = false;
            DrawMaxButton();
        }
    }
    if (!FDragging && (FThumbHot || FThumbDown)) {
        FThumbHot = FThumbDown = false;
        DrawThumb();
    }
}

bool TCustomTrackBar::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
    // Turning the wheel away from the user (delta >= 0) moves a horizontal slider left and a vertical
    // one up; one step per message, whatever the delta.
    if ((WheelDelta < 0) == Horizontal())
        StepUp();
    else
        StepDown();
    return true;
}

// ---- Keys and focus ------------------------------------------------------------------------------------

void TCustomTrackBar::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Shift & ssShift)
        return;
    switch (Key) {
    case VK_PRIOR:
        SetPosition(FPosition + FPageSize);
        break;
    case VK_NEXT:
        SetPosition(FPosition - FPageSize);
        break;
    case VK_END:
        SetPosition(Horizontal() ? GetMax() : GetMin());
        break;
    case VK_HOME:
        SetPosition(Horizontal() ? GetMin() : GetMax());
        break;
    case VK_LEFT:
    case VK_DOWN:
        StepDown();
        break;
    case VK_RIGHT:
    case VK_UP:
        StepUp();
        break;
    default:
        break;
    }
}

void TCustomTrackBar::DoEnter() {
    Invalidate();
    TCustomControl::DoEnter();
}

void TCustomTrackBar::DoExit() {
    Invalidate();
    TCustomControl::DoExit();
}

void TCustomTrackBar::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        TCustomControl::Dispatch(Message);
        Message.Result |= DLGC_WANTARROWS;
        return;
    case CM_MOUSELEAVE:
        MouseLeft();
        break;
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    case WM_ERASEBKGND:
        if (FTransparent) {
            TCustomControl::Dispatch(Message);
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

} // namespace ui
