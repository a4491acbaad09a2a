#include "platform/ui/EmbeddedScrollBar.h"

#include <algorithm>

#include "platform/gfx/FrameControls.h"

namespace plat {

void TEmbeddedScrollBar::SetRange(int Min, int Max, int Page) {
    FMin = Min;
    FMax = std::max(Min, Max);
    FPage = std::max(1, Page);
    FPosition = std::clamp(FPosition, FMin, MaxPosition());
}

int TEmbeddedScrollBar::MaxPosition() const {
    return std::max(FMin, FMax - FPage + 1);
}

bool TEmbeddedScrollBar::SetPosition(int Value) {
    Value = std::clamp(Value, FMin, MaxPosition());
    if (Value == FPosition)
        return false;
    FPosition = Value;
    return true;
}

int TEmbeddedScrollBar::ArrowSize() const {
    int len = FVertical ? FBounds.Height() : FBounds.Width();
    int thick = FVertical ? FBounds.Width() : FBounds.Height();
    return std::min(thick, len / 2);
}

TRect TEmbeddedScrollBar::ArrowRect(bool Back) const {
    int a = ArrowSize();
    if (FVertical)
        return Back ? TRect(FBounds.Left, FBounds.Top, FBounds.Right, FBounds.Top + a)
                    : TRect(FBounds.Left, FBounds.Bottom - a, FBounds.Right, FBounds.Bottom);
    return Back ? TRect(FBounds.Left, FBounds.Top, FBounds.Left + a, FBounds.Bottom)
                : TRect(FBounds.Right - a, FBounds.Top, FBounds.Right, FBounds.Bottom);
}

TRect TEmbeddedScrollBar::ThumbRect() const {
    int a = ArrowSize();
    int track = (FVertical ? FBounds.Height() : FBounds.Width()) - 2 * a;
    int range = FMax - FMin + 1;
    if (!Needed() || track < 8)
        return TRect();
    int len = std::max(8, track * FPage / range);
    int span = MaxPosition() - FMin;
    int off = span > 0 ? (track - len) * (FPosition - FMin) / span : 0;
    if (FVertical)
        return TRect(FBounds.Left, FBounds.Top + a + off, FBounds.Right, FBounds.Top + a + off + len);
    return TRect(FBounds.Left + a + off, FBounds.Top, FBounds.Left + a + off + len, FBounds.Bottom);
}

void TEmbeddedScrollBar::Paint(TCanvas& Canvas) {
    if (FBounds.IsEmpty())
        return;
    TDeviceContext* dc = Canvas.Handle();
    // The track: the classic dither of button face and highlight, approximated by a light fill.
    Canvas.Brush()->SetColor(TColor(0x00E0E0E0));
    Canvas.FillRect(FBounds);
    uint32_t inactive = Needed() ? 0 : DFCS_INACTIVE;
    TRect back = ArrowRect(true), fwd = ArrowRect(false);
    DrawFrameControl(*dc, back, DFC_SCROLL,
                     (FVertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive |
                         (FTrack == tkLineBack ? DFCS_PUSHED | DFCS_FLAT : 0));
    DrawFrameControl(*dc, fwd, DFC_SCROLL,
                     (FVertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive |
                         (FTrack == tkLineForward ? DFCS_PUSHED | DFCS_FLAT : 0));
    TRect thumb = ThumbRect();
    if (!thumb.IsEmpty()) {
        Canvas.Brush()->SetColor(clBtnFace);
        Canvas.FillRect(thumb);
        DrawEdge(*dc, thumb, EDGE_RAISED, BF_RECT);
    }
}

void TEmbeddedScrollBar::Step(int Delta) {
    if (SetPosition(FPosition + Delta) && OnScroll)
        OnScroll(FPosition);
}

bool TEmbeddedScrollBar::MouseDown(TPoint P) {
    if (FBounds.IsEmpty() || !FBounds.Contains(P))
        return false;
    if (!Needed())
        return true;
    TRect thumb = ThumbRect();
    if (ArrowRect(true).Contains(P)) {
        FTrack = tkLineBack;
        Step(-1);
    } else if (ArrowRect(false).Contains(P)) {
        FTrack = tkLineForward;
        Step(1);
    } else if (thumb.Contains(P)) {
        FTrack = tkThumb;
        FThumbGrab = FVertical ? P.Y - thumb.Top : P.X - thumb.Left;
    } else {
        bool back = FVertical ? P.Y < thumb.Top : P.X < thumb.Left;
        FTrack = back ? tkPageBack : tkPageForward;
        Step(back ? -FPage : FPage);
    }
    return true;
}

void TEmbeddedScrollBar::MouseMove(TPoint P) {
    if (FTrack != tkThumb)
        return;
    int a = ArrowSize();
    TRect thumb = ThumbRect();
    int len = FVertical ? thumb.Height() : thumb.Width();
    int track = (FVertical ? FBounds.Height() : FBounds.Width()) - 2 * a - len;
    if (track <= 0)
        return;
    int off = (FVertical ? P.Y - FBounds.Top : P.X - FBounds.Left) - a - FThumbGrab;
    int span = MaxPosition() - FMin;
    int pos = FMin + (off * span + track / 2) / track;
    if (SetPosition(pos) && OnScroll)
        OnScroll(FPosition);
}

void TEmbeddedScrollBar::MouseUp(TPoint) {
    FTrack = tkNone;
}

} // namespace plat
