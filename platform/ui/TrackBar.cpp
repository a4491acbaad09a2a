#include "platform/ui/TrackBar.h"

#include <algorithm>

#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Keys.h"

namespace plat {

PLAT_CLASS_INFO_CREATABLE(TTrackBar, TCustomControl)

namespace {
struct TRegistrar {
    TRegistrar() { RegisterClass(TTrackBar::StaticClass()); }
} registrar;
// Room at each end of the channel (half a thumb) and the thumb's thickness along the channel.
constexpr int kThumbWidth = 11;
} // namespace

PLAT_PROPERTIES(TTrackBar) {
    props.Integer("Min", &TTrackBar::Min, &TTrackBar::SetMin, 0);
    props.Integer("Max", &TTrackBar::Max, &TTrackBar::SetMax, 10);
    props.Integer("Position", &TTrackBar::Position, &TTrackBar::SetPosition, 0);
    props.Integer("Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency, 1);
    props.Integer("LineSize", &TTrackBar::LineSize, &TTrackBar::SetLineSize, 1);
    props.Integer("PageSize", &TTrackBar::PageSize, &TTrackBar::SetPageSize, 2);
    props.Enum("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation, kTrackBarOrientationNames,
               trHorizontal);
    props.Enum("TickMarks", &TTrackBar::TickMarks, &TTrackBar::SetTickMarks, kTickMarkNames, tmBottomRight);
    props.Enum("TickStyle", &TTrackBar::TickStyle, &TTrackBar::SetTickStyle, kTickStyleNames, tsAuto);
    props.Integer("SelStart", &TTrackBar::SelStart, &TTrackBar::SetSelStart, 0);
    props.Integer("SelEnd", &TTrackBar::SelEnd, &TTrackBar::SetSelEnd, 0);
    props.Boolean("SliderVisible", &TTrackBar::SliderVisible, &TTrackBar::SetSliderVisible, true);
    props.Integer("ThumbLength", &TTrackBar::ThumbLength, &TTrackBar::SetThumbLength, 20);
    props.Boolean("TabStop", &TTrackBar::TabStop, &TTrackBar::SetTabStop, true);
    props.Event("OnChange", &TTrackBar::OnChange);
}

TTrackBar::TTrackBar(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 150, 45);
    SetTabStop(true);
    FColor = clBtnFace;
    FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csOpaque;
}

void TTrackBar::SetMin(int Value) {
    if (Value == FMin)
        return;
    FMin = Value;
    if (FMax < FMin)
        FMax = FMin;
    if (FPosition < FMin)
        SetPosition(FMin);
    Invalidate();
}

void TTrackBar::SetMax(int Value) {
    if (Value == FMax)
        return;
    FMax = Value;
    if (FMin > FMax)
        FMin = FMax;
    if (FPosition > FMax)
        SetPosition(FMax);
    Invalidate();
}

void TTrackBar::SetPosition(int Value) {
    Value = std::clamp(Value, FMin, FMax);
    if (Value == FPosition)
        return;
    FPosition = Value;
    Invalidate();
    Changed();
}

void TTrackBar::Changed() {
    if (OnChange)
        OnChange(this);
}

void TTrackBar::SetFrequency(int Value) {
    if (Value != FFrequency) {
        FFrequency = Value;
        Invalidate();
    }
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value) {
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    // Turning the bar turns its bounds with it, as designers expect.
    if (!(ComponentState() & csLoading))
        SetBounds(Left(), Top(), Height(), Width());
    Invalidate();
}

void TTrackBar::SetTickMarks(TTickMark Value) {
    FTickMarks = Value;
    Invalidate();
}

void TTrackBar::SetTickStyle(TTickStyle Value) {
    FTickStyle = Value;
    Invalidate();
}

void TTrackBar::SetSelStart(int Value) {
    FSelStart = Value;
    Invalidate();
}

void TTrackBar::SetSelEnd(int Value) {
    FSelEnd = Value;
    Invalidate();
}

void TTrackBar::SetSliderVisible(bool Value) {
    FSliderVisible = Value;
    Invalidate();
}

void TTrackBar::SetThumbLength(int Value) {
    FThumbLength = std::max(4, Value);
    Invalidate();
}

void TTrackBar::SetTick(int Value) {
    if (std::find(FTicks.begin(), FTicks.end(), Value) == FTicks.end())
        FTicks.push_back(Value);
    Invalidate();
}

void TTrackBar::ClearTicks() {
    FTicks.clear();
    Invalidate();
}

int TTrackBar::ChannelStart() const {
    return 8 + kThumbWidth / 2;
}

int TTrackBar::ChannelLength() const {
    int len = (Horizontal() ? ClientWidth() : ClientHeight()) - 2 * ChannelStart();
    return std::max(1, len);
}

// Ranges are taken in 64 bits: Min and Max may lie anywhere in the 32-bit range.
int TTrackBar::ValueToPixel(int Value) const {
    const int64_t range = int64_t(FMax) - FMin;
    const int64_t off = range > 0 ? (int64_t(Value) - FMin) * ChannelLength() / range : 0;
    return ChannelStart() + static_cast<int>(off);
}

int TTrackBar::PixelToValue(int Pixel) const {
    const int64_t range = int64_t(FMax) - FMin;
    const int len = ChannelLength();
    const int off = std::clamp(Pixel - ChannelStart(), 0, len);
    return static_cast<int>(FMin + (int64_t(off) * range + len / 2) / len);
}

int TTrackBar::ThumbTop() const {
    // Ticks take the room on their side; without ticks the thumb is centred.
    int across = Horizontal() ? ClientHeight() : ClientWidth();
    if (FTickStyle == tsNone || FTickMarks == tmBoth)
        return (across - FThumbLength) / 2;
    return FTickMarks == tmTopLeft ? across - FThumbLength - 8 : 8;
}

TRect TTrackBar::ChannelRect() const {
    // The channel lies across the thumb's middle.
    int mid = ThumbTop() + FThumbLength / 2;
    int s = ChannelStart() - kThumbWidth / 2 - 2, e = ChannelStart() + ChannelLength() + kThumbWidth / 2 + 2;
    return Horizontal() ? TRect(s, mid - 2, e, mid + 2) : TRect(mid - 2, s, mid + 2, e);
}

TRect TTrackBar::ThumbRect() const {
    int thumbTop = ThumbTop();
    int p = ValueToPixel(FPosition) - kThumbWidth / 2;
    return Horizontal() ? TRect(p, thumbTop, p + kThumbWidth, thumbTop + FThumbLength)
                        : TRect(thumbTop, p, thumbTop + FThumbLength, p + kThumbWidth);
}

void TTrackBar::PaintChannel(TCanvas& Canvas, const TRect& Channel) {
    TRect r = Channel;
    DrawEdge(*Canvas.Handle(), r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    Canvas.Brush()->SetColor(FSelEnd > FSelStart ? clWindow : clBtnFace);
    Canvas.FillRect(r);
    if (FSelEnd > FSelStart) {
        int a = ValueToPixel(FSelStart), b = ValueToPixel(FSelEnd);
        Canvas.Brush()->SetColor(clHighlight);
        Canvas.FillRect(Horizontal() ? TRect(a, r.Top, b, r.Bottom) : TRect(r.Left, a, r.Right, b));
    }
}

void TTrackBar::DrawTick(TCanvas& Canvas, int Value, bool Long) {
    TRect t = ThumbRect();
    int p = ValueToPixel(Value);
    int len = Long ? 4 : 3;
    Canvas.Pen()->SetColor(clWindowText);
    auto line = [&](int across) {
        if (Horizontal()) {
            Canvas.MoveTo(p, across);
            Canvas.LineTo(p, across + len);
        } else {
            Canvas.MoveTo(across, p);
            Canvas.LineTo(across + len, p);
        }
    };
    int low = Horizontal() ? t.Top : t.Left, high = Horizontal() ? t.Bottom : t.Right;
    if (FTickMarks == tmBottomRight || FTickMarks == tmBoth)
        line(high + 2);
    if (FTickMarks == tmTopLeft || FTickMarks == tmBoth)
        line(low - 2 - len);
}

void TTrackBar::PaintTicks(TCanvas& Canvas) {
    if (FTickStyle == tsNone)
        return;
    DrawTick(Canvas, FMin, true);
    DrawTick(Canvas, FMax, true);
    if (FTickStyle == tsAuto && FFrequency > 0) {
        // With more ticks than pixels along the channel every pixel has its tick anyway; drawing one per
        // pixel keeps a huge range from taking millions of draws.
        const int64_t ticks = (int64_t(FMax) - FMin - 1) / FFrequency;
        const int64_t stride = std::max<int64_t>(1, ticks / ChannelLength());
        for (int64_t v = int64_t(FMin) + FFrequency; v < FMax; v += stride * FFrequency)
            DrawTick(Canvas, static_cast<int>(v), false);
    } else if (FTickStyle == tsManual) {
        for (int v : FTicks)
            if (v > FMin && v < FMax)
                DrawTick(Canvas, v, false);
    }
}

void TTrackBar::PaintThumb(TCanvas& Canvas, const TRect& Thumb) {
    TRect r = Thumb;
    Canvas.Brush()->SetColor(clBtnFace);
    Canvas.FillRect(r);
    DrawEdge(*Canvas.Handle(), r, EDGE_RAISED, BF_RECT | (FDragging ? uint32_t{BF_FLAT} : 0));
}

void TTrackBar::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
    PaintChannel(*c, ChannelRect());
    PaintTicks(*c);
    if (FSliderVisible)
        PaintThumb(*c, ThumbRect());
    if (Focused()) {
        c->Brush()->SetColor(Color());
        c->DrawFocusRect(ClientRect());
    }
}

void TTrackBar::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DLGC_WANTARROWS;
        return;
    }
    if (Message.Msg == CM_ENABLEDCHANGED)
        Invalidate();
    TCustomControl::Dispatch(Message);
}

void TTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (CanFocus() && !Focused())
        SetFocus();
    if (Button == mbLeft) {
        TRect t = ThumbRect();
        int along = Horizontal() ? X : Y;
        if (FSliderVisible && t.Contains(TPoint(X, Y))) {
            FDragging = true;
            FGrab = along - ValueToPixel(FPosition);
            Invalidate();
        } else {
            // A click on the channel pages towards the click.
            int thumbAt = ValueToPixel(FPosition);
            SetPosition(FPosition + (along < thumbAt ? -FPageSize : FPageSize));
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TTrackBar::MouseMove(TShiftState Shift, int X, int Y) {
    if (FDragging)
        SetPosition(PixelToValue((Horizontal() ? X : Y) - FGrab));
    TCustomControl::MouseMove(Shift, X, Y);
}

void TTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FDragging) {
        FDragging = false;
        Invalidate();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TTrackBar::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    switch (Key) {
    case VK_LEFT:
    case VK_UP:
        SetPosition(FPosition - FLineSize);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        SetPosition(FPosition + FLineSize);
        break;
    case VK_PRIOR:
        SetPosition(FPosition - FPageSize);
        break;
    case VK_NEXT:
        SetPosition(FPosition + FPageSize);
        break;
    case VK_HOME:
        SetPosition(FMin);
        break;
    case VK_END:
        SetPosition(FMax);
        break;
    default:
        return;
    }
    Key = 0;
}

void TTrackBar::DoEnter() {
    Invalidate();
    TCustomControl::DoEnter();
}

void TTrackBar::DoExit() {
    Invalidate();
    TCustomControl::DoExit();
}

} // namespace plat
