#include "platform/ui/ScrollBar.h"

#include <algorithm>

#include "platform/gfx/FrameControls.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Keys.h"

namespace plat {

namespace {
const char* const kScrollBarKindNames[] = {"sbHorizontal", "sbVertical"};
static_assert(std::size(kScrollBarKindNames) == sbVertical + 1);
// Auto-repeat: the first repeat after the initial delay, then steady.
constexpr uint32_t kRepeatDelay = 400;
constexpr uint32_t kRepeatInterval = 50;
constexpr int kMinThumb = 8;
} // namespace

PLAT_CLASS_INFO_CREATABLE(TScrollBar, TCustomControl)

PLAT_PROPERTIES(TScrollBar) {
    props.Enum("Kind", &TScrollBar::Kind, &TScrollBar::SetKind, kScrollBarKindNames, sbHorizontal);
    props.Integer("Min", &TScrollBar::Min, &TScrollBar::SetMin, 0);
    props.Integer("Max", &TScrollBar::Max, &TScrollBar::SetMax, 100);
    props.Integer("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize, 0);
    props.Integer("Position", &TScrollBar::Position, &TScrollBar::SetPosition, 0);
    props.Integer("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange, 1);
    props.Integer("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange, 1);
    props.Event("OnChange", &TScrollBar::OnChange);
    props.Event("OnScroll", &TScrollBar::OnScroll);
    props.Default("TabStop", true);
}

TScrollBar::TScrollBar(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque;
    SetBounds(0, 0, 121, 16);
    SetTabStop(true);
    SetColor(clBtnFace);
    FRepeat = new TTimer(this);
    FRepeat->SetEnabled(false);
    FRepeat->SetOnTimer([this](TObject* s) { RepeatStep(s); });
}

TScrollBar::~TScrollBar() = default;

void TScrollBar::SetKind(TScrollBarKind Value) {
    if (FKind == Value)
        return;
    FKind = Value;
    if (!(ComponentState() & csLoading))
        SetBounds(Left(), Top(), Height(), Width());
    Invalidate();
}

void TScrollBar::SetPageSize(int Value) {
    Value = std::max(0, Value);
    if (FPageSize == Value)
        return;
    FPageSize = Value;
    SetParams(FPosition, FMin, FMax);
    Invalidate();
}

int TScrollBar::MaxPosition() const {
    return std::max(FMin, FMax - std::max(FPageSize - 1, 0));
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
    if (AMax < AMin && !(ComponentState() & csLoading))
        AMax = AMin;
    bool changed = AMin != FMin || AMax != FMax;
    FMin = AMin;
    FMax = AMax;
    if (!(ComponentState() & csLoading))
        APosition = std::clamp(APosition, FMin, std::max(FMin, MaxPosition()));
    if (APosition != FPosition) {
        FPosition = APosition;
        changed = true;
        Invalidate();
        Change();
    } else if (changed) {
        Invalidate();
    }
}

void TScrollBar::Change() {
    if (OnChange)
        OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) {
    if (OnScroll)
        OnScroll(this, ScrollCode, ScrollPos);
}

// ---- Geometry -------------------------------------------------------------------------------------------

TRect TScrollBar::ArrowRect(bool Forward) const {
    TRect c = ClientRect();
    if (FKind == sbVertical) {
        int a = std::min(c.Width(), c.Height() / 2);
        return Forward ? TRect(0, c.Bottom - a, c.Right, c.Bottom) : TRect(0, 0, c.Right, a);
    }
    int a = std::min(c.Height(), c.Width() / 2);
    return Forward ? TRect(c.Right - a, 0, c.Right, c.Bottom) : TRect(0, 0, a, c.Bottom);
}

TRect TScrollBar::TrackRect() const {
    TRect back = ArrowRect(false), fwd = ArrowRect(true);
    if (FKind == sbVertical)
        return TRect(0, back.Bottom, ClientWidth(), fwd.Top);
    return TRect(back.Right, 0, fwd.Left, ClientHeight());
}

TRect TScrollBar::ThumbRect() const {
    TRect t = TrackRect();
    int len = FKind == sbVertical ? t.Height() : t.Width();
    int breadth = FKind == sbVertical ? t.Width() : t.Height();
    int range = FMax - FMin + 1;
    int thumb = FPageSize > 0
                    ? std::max(kMinThumb, static_cast<int>(int64_t(len) * FPageSize / std::max(range, 1)))
                    : std::min(breadth, len);
    if (thumb >= len || FMax <= FMin || !Enabled() || len < kMinThumb)
        return TRect(); // nothing to scroll
    int start;
    if (FPressed == hpThumb) {
        start = std::clamp(FDragPos, 0, len - thumb);
    } else {
        int span = MaxPosition() - FMin;
        start = span > 0 ? static_cast<int>(int64_t(len - thumb) * (FPosition - FMin) / span) : 0;
    }
    if (FKind == sbVertical)
        return TRect(0, t.Top + start, t.Right, t.Top + start + thumb);
    return TRect(t.Left + start, 0, t.Left + start + thumb, t.Bottom);
}

TScrollBar::THitPart TScrollBar::HitTest(TPoint P) const {
    if (!PtInRect(ClientRect(), P))
        return hpNone;
    if (PtInRect(ArrowRect(false), P))
        return hpBackArrow;
    if (PtInRect(ArrowRect(true), P))
        return hpForwardArrow;
    TRect thumb = ThumbRect();
    if (thumb.IsEmpty())
        return hpNone;
    if (PtInRect(thumb, P))
        return hpThumb;
    return Along(P) < (FKind == sbVertical ? thumb.Top : thumb.Left) ? hpBackTrack : hpForwardTrack;
}

// ---- Scrolling ------------------------------------------------------------------------------------------

void TScrollBar::DoScroll(TScrollCode Code) {
    int pos = FPosition;
    switch (Code) {
    case scLineUp:
        pos -= FSmallChange;
        break;
    case scLineDown:
        pos += FSmallChange;
        break;
    case scPageUp:
        pos -= FLargeChange;
        break;
    case scPageDown:
        pos += FLargeChange;
        break;
    case scTop:
        pos = FMin;
        break;
    case scBottom:
        pos = FMax;
        break;
    default:
        break;
    }
    pos = std::clamp(pos, FMin, std::max(FMin, MaxPosition()));
    Scroll(Code, pos);
    SetPosition(pos);
}

void TScrollBar::RepeatStep(TObject*) {
    FRepeat->SetInterval(kRepeatInterval);
    THitPart now = HitTest(FMousePos);
    switch (FPressed) {
    case hpBackArrow:
    case hpForwardArrow:
        if (now == FPressed)
            DoScroll(FPressed == hpBackArrow ? scLineUp : scLineDown);
        break;
    case hpBackTrack:
    case hpForwardTrack:
        // The page steps stop once the thumb reaches the pointer.
        if (now == FPressed)
            DoScroll(FPressed == hpBackTrack ? scPageUp : scPageDown);
        break;
    default:
        FRepeat->SetEnabled(false);
        break;
    }
}

void TScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    if (TabStop() && CanFocus() && !Focused())
        SetFocus();
    FMousePos = TPoint(X, Y);
    FPressed = HitTest(FMousePos);
    switch (FPressed) {
    case hpBackArrow:
    case hpForwardArrow:
        DoScroll(FPressed == hpBackArrow ? scLineUp : scLineDown);
        break;
    case hpBackTrack:
    case hpForwardTrack:
        DoScroll(FPressed == hpBackTrack ? scPageUp : scPageDown);
        break;
    case hpThumb: {
        TRect thumb = ThumbRect();
        TRect track = TrackRect();
        int thumbStart = FKind == sbVertical ? thumb.Top : thumb.Left;
        int trackStart = FKind == sbVertical ? track.Top : track.Left;
        FDragOffset = Along(FMousePos) - thumbStart;
        FDragPos = thumbStart - trackStart;
        break;
    }
    default:
        break;
    }
    if (FPressed != hpNone && FPressed != hpThumb) {
        FRepeat->SetInterval(kRepeatDelay);
        FRepeat->SetEnabled(true);
    }
    Invalidate();
}

void TScrollBar::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    FMousePos = TPoint(X, Y);
    if (FPressed != hpThumb)
        return;
    TRect track = TrackRect();
    TRect thumb = ThumbRect();
    int len = FKind == sbVertical ? track.Height() : track.Width();
    int thumbLen = FKind == sbVertical ? thumb.Height() : thumb.Width();
    int trackStart = FKind == sbVertical ? track.Top : track.Left;
    FDragPos = std::clamp(Along(FMousePos) - FDragOffset - trackStart, 0, std::max(0, len - thumbLen));
    int span = MaxPosition() - FMin;
    int free = len - thumbLen;
    int pos = FMin + (free > 0 ? static_cast<int>((int64_t(FDragPos) * span + free / 2) / free) : 0);
    Scroll(scTrack, pos);
    SetPosition(pos);
    Invalidate();
}

void TScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || FPressed == hpNone)
        return;
    FRepeat->SetEnabled(false);
    if (FPressed == hpThumb) {
        int pos = FPosition;
        FPressed = hpNone;
        Scroll(scPosition, pos);
        SetPosition(pos);
    }
    FPressed = hpNone;
    int pos = FPosition;
    Scroll(scEndScroll, pos);
    Invalidate();
}

void TScrollBar::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    switch (Key) {
    case VK_UP:
    case VK_LEFT:
        DoScroll(scLineUp);
        break;
    case VK_DOWN:
    case VK_RIGHT:
        DoScroll(scLineDown);
        break;
    case VK_PRIOR:
        DoScroll(scPageUp);
        break;
    case VK_NEXT:
        DoScroll(scPageDown);
        break;
    case VK_HOME:
        DoScroll(scTop);
        break;
    case VK_END:
        DoScroll(scBottom);
        break;
    default:
        return;
    }
    Key = 0;
}

void TScrollBar::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
        FRepeat->SetEnabled(false);
        break;
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    }
    TCustomControl::Dispatch(Message);
}

// ---- Painting -------------------------------------------------------------------------------------------

void TScrollBar::PaintArrow(TCanvas& Canvas, const TRect& Rect, bool Forward, bool Pressed) {
    TRect r = Rect;
    uint32_t part = FKind == sbVertical ? (Forward ? DFCS_SCROLLDOWN : DFCS_SCROLLUP)
                                        : (Forward ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT);
    if (Pressed)
        part |= DFCS_PUSHED | DFCS_FLAT;
    if (!Enabled() || FMax <= FMin)
        part |= DFCS_INACTIVE;
    DrawFrameControl(*Canvas.Handle(), r, DFC_SCROLL, part);
}

void TScrollBar::PaintTrack(TCanvas& Canvas, const TRect& Rect, bool Pressed) {
    if (Rect.IsEmpty())
        return;
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(Pressed ? clBtnShadow : TColor(0xE0E0E0));
    Canvas.FillRect(Rect);
}

void TScrollBar::PaintThumb(TCanvas& Canvas, const TRect& Rect) {
    TRect r = Rect;
    Canvas.Brush()->SetColor(clBtnFace);
    Canvas.FillRect(r);
    DrawEdge(*Canvas.Handle(), r, EDGE_RAISED, BF_RECT);
}

void TScrollBar::Paint() {
    TCanvas& c = *Canvas();
    bool backDown = FPressed == hpBackArrow && HitTest(FMousePos) == hpBackArrow;
    bool fwdDown = FPressed == hpForwardArrow && HitTest(FMousePos) == hpForwardArrow;
    TRect track = TrackRect();
    TRect thumb = ThumbRect();
    PaintTrack(c, track, false);
    if (!thumb.IsEmpty() && (FPressed == hpBackTrack || FPressed == hpForwardTrack)) {
        TRect part = track;
        if (FPressed == hpBackTrack)
            (FKind == sbVertical ? part.Bottom : part.Right) = FKind == sbVertical ? thumb.Top : thumb.Left;
        else
            (FKind == sbVertical ? part.Top : part.Left) = FKind == sbVertical ? thumb.Bottom : thumb.Right;
        PaintTrack(c, part, true);
    }
    if (!thumb.IsEmpty())
        PaintThumb(c, thumb);
    PaintArrow(c, ArrowRect(false), false, backDown);
    PaintArrow(c, ArrowRect(true), true, fwdDown);
}

} // namespace plat
