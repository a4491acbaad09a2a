// A window's own scroll bars: their state, geometry, drawing and the modal loop that follows a press on
// them (arrows and page areas repeat while held; the thumb reports where it is dragged).
#include "platform/ui/WindowScroll.h"

#include <algorithm>

#include "platform/gfx/FrameControls.h"
#include "platform/ui/Input.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/WindowInternal.h"

namespace plat {
namespace detail {

namespace {

constexpr uintptr_t ScrollTimerId = 0xFFF0;
constexpr int MinThumb = 8;

int MaxPosOf(const TScrollState& s) {
    return std::max(s.Min, s.Max - std::max(s.Page - 1, 0));
}

bool Scrollable(const TScrollState& s) {
    return MaxPosOf(s) > s.Min && s.Page <= s.Max - s.Min;
}

TScrollState* StateOf(HWND wnd, int bar) {
    TWindow* w = Find(wnd);
    if (!w || (bar != SB_HORZ && bar != SB_VERT))
        return nullptr;
    return &w->Scroll[bar];
}

void RedrawFrame(HWND wnd) {
    TRect none;
    RedrawWindow(wnd, &none, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

uint32_t StyleBit(int bar) {
    return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
}

// Adds or removes the bars' styles and lets the frame follow.
void SetBarStyles(HWND wnd, uint32_t bits, bool show) {
    TWindow* w = Find(wnd);
    if (!w)
        return;
    uint32_t style = show ? (w->Style | bits) : (w->Style & ~bits);
    if (style == w->Style)
        return;
    w->Style = style;
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawFrame(wnd);
}

} // namespace

TScrollParts ScrollPartsOf(const TWindow* w, int bar) {
    TScrollParts p;
    TFrameGeometry g = FrameGeometryOf(w);
    TRect r = bar == SB_VERT ? g.VScroll : g.HScroll;
    if (r.IsEmpty())
        return p;
    bool vertical = bar == SB_VERT;
    p.Bar = r;
    int length = vertical ? r.Height() : r.Width();
    int arrow = vertical ? r.Width() : r.Height();
    if (length < 2 * arrow)
        arrow = length / 2;
    if (vertical) {
        p.Up = TRect(r.Left, r.Top, r.Right, r.Top + arrow);
        p.Down = TRect(r.Left, r.Bottom - arrow, r.Right, r.Bottom);
    } else {
        p.Up = TRect(r.Left, r.Top, r.Left + arrow, r.Bottom);
        p.Down = TRect(r.Right - arrow, r.Top, r.Right, r.Bottom);
    }
    const TScrollState& s = w->Scroll[bar];
    p.TrackLength = length - 2 * arrow;
    p.Enabled = Scrollable(s) && s.Disabled != ESB_DISABLE_BOTH && w->Enabled();
    if (!p.Enabled || p.TrackLength <= MinThumb)
        return p;
    int range = s.Max - s.Min + 1;
    int thumb = s.Page > 0 ? std::max(static_cast<int>(int64_t(p.TrackLength) * s.Page / range), MinThumb)
                           : std::min(arrow, p.TrackLength);
    if (thumb >= p.TrackLength)
        return p;
    int steps = MaxPosOf(s) - s.Min;
    int pos = std::clamp(s.Tracking ? s.TrackPos : s.Pos, s.Min, MaxPosOf(s));
    int offset = static_cast<int>(int64_t(pos - s.Min) * (p.TrackLength - thumb) / steps);
    p.ThumbLength = thumb;
    if (vertical)
        p.Thumb = TRect(r.Left, p.Up.Bottom + offset, r.Right, p.Up.Bottom + offset + thumb);
    else
        p.Thumb = TRect(p.Up.Right + offset, r.Top, p.Up.Right + offset + thumb, r.Bottom);
    return p;
}

int ScrollPartAt(const TScrollParts& p, int bar, TPoint windowPos) {
    if (!p.Bar.Contains(windowPos))
        return spNone;
    if (p.Up.Contains(windowPos))
        return spLineUp;
    if (p.Down.Contains(windowPos))
        return spLineDown;
    if (p.Thumb.IsEmpty())
        return spNone;
    if (p.Thumb.Contains(windowPos))
        return spThumb;
    int along = bar == SB_VERT ? windowPos.Y : windowPos.X;
    int thumbStart = bar == SB_VERT ? p.Thumb.Top : p.Thumb.Left;
    return along < thumbStart ? spPageUp : spPageDown;
}

void DrawScrollBar(HDC dc, const TWindow* w, int bar) {
    TScrollParts p = ScrollPartsOf(w, bar);
    if (p.Bar.IsEmpty())
        return;
    bool vertical = bar == SB_VERT;
    const TScrollState& s = w->Scroll[bar];
    dc->FillSolidRect(p.Bar, ColorToRGB(clScrollBar));
    uint32_t upDisabled = (!p.Enabled || (s.Disabled & ESB_DISABLE_LTUP)) ? uint32_t{DFCS_INACTIVE} : 0;
    uint32_t downDisabled = (!p.Enabled || (s.Disabled & ESB_DISABLE_RTDN)) ? uint32_t{DFCS_INACTIVE} : 0;
    uint32_t upPushed = s.PressedPart == spLineUp ? DFCS_PUSHED | DFCS_FLAT : 0;
    uint32_t downPushed = s.PressedPart == spLineDown ? DFCS_PUSHED | DFCS_FLAT : 0;
    DrawFrameControl(*dc, p.Up, DFC_SCROLL,
                     (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | upDisabled | upPushed);
    DrawFrameControl(*dc, p.Down, DFC_SCROLL,
                     (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | downDisabled | downPushed);
    if (s.PressedPart == spPageUp || s.PressedPart == spPageDown) {
        TRect track = p.Bar;
        if (vertical) {
            track.Top = s.PressedPart == spPageUp ? p.Up.Bottom : p.Thumb.Bottom;
            track.Bottom = s.PressedPart == spPageUp ? p.Thumb.Top : p.Down.Top;
        } else {
            track.Left = s.PressedPart == spPageUp ? p.Up.Right : p.Thumb.Right;
            track.Right = s.PressedPart == spPageUp ? p.Thumb.Left : p.Down.Left;
        }
        dc->FillSolidRect(track, ColorToRGB(clBtnShadow));
    }
    if (!p.Thumb.IsEmpty()) {
        TRect t = p.Thumb;
        dc->FillSolidRect(t, ColorToRGB(clBtnFace));
        DrawEdge(*dc, t, EDGE_RAISED, BF_RECT);
    }
}

void RunScrollTrack(HWND wnd, int bar, TPoint startScreen) {
    TWindow* w = Find(wnd);
    if (!w)
        return;
    TPoint origin = WindowOriginOnScreen(w);
    auto toWindow = [&](TPoint screen) { return TPoint(screen.X - origin.X, screen.Y - origin.Y); };
    TScrollParts parts = ScrollPartsOf(w, bar);
    int part = ScrollPartAt(parts, bar, toWindow(startScreen));
    const TScrollState& s0 = w->Scroll[bar];
    if (part == spNone || !parts.Enabled || (part == spLineUp && (s0.Disabled & ESB_DISABLE_LTUP)) ||
        (part == spLineDown && (s0.Disabled & ESB_DISABLE_RTDN)))
        return;
    bool vertical = bar == SB_VERT;
    UINT scrollMsg = vertical ? WM_VSCROLL : WM_HSCROLL;
    auto send = [&](int code, int pos) {
        SendMessage(wnd, scrollMsg, MAKEWPARAM(code, pos), 0);
        return IsWindow(wnd) != false;
    };
    int code = part == spLineUp     ? SB_LINEUP
               : part == spLineDown ? SB_LINEDOWN
               : part == spPageUp   ? SB_PAGEUP
                                    : SB_PAGEDOWN;
    int grab = 0;
    // A handler that raises or a window that goes away ends the track without the closing requests;
    // the bar is still put back to rest and the capture given back.
    bool finished = false;
    TModalLoop loop;
    loop.OnExit([&] {
        if (finished || !IsWindow(wnd))
            return;
        KillTimer(wnd, ScrollTimerId);
        if (TWindow* cur = Find(wnd)) {
            TScrollState& s = cur->Scroll[bar];
            s.PressedPart = 0;
            s.Tracking = false;
            s.TrackPos = s.Pos;
        }
        loop.ReleaseCapture();
        RedrawFrame(wnd);
    });
    loop.Capture(wnd);
    w->Scroll[bar].PressedPart = part;
    if (part == spThumb) {
        TPoint p = toWindow(startScreen);
        grab = vertical ? p.Y - parts.Thumb.Top : p.X - parts.Thumb.Left;
        w->Scroll[bar].Tracking = true;
        w->Scroll[bar].TrackPos = w->Scroll[bar].Pos;
    }
    RedrawFrame(wnd);
    bool alive = true;
    if (part != spThumb) {
        alive = send(code, 0);
        if (alive)
            SetTimer(wnd, ScrollTimerId, ScrollRepeatDelay);
    }
    TPoint last = startScreen;
    bool cancelled = false;
    while (alive) {
        TMsg msg;
        if (!PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
            // Idle: message filters see it too, so a caller can watch (or drive) the loop.
            TMsg idle;
            idle.hwnd = wnd;
            idle.message = WM_ENTERIDLE;
            idle.wParam = MSGF_SCROLLBAR;
            CallMsgFilter(idle, MSGF_SCROLLBAR);
            if (!loop.Alive() || !loop.HasCapture())
                break;
            WaitMessage();
            continue;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (CallMsgFilter(msg, MSGF_SCROLLBAR))
            continue;
        if (!loop.Alive() || !loop.HasCapture())
            break;
        if (msg.message == WM_TIMER && msg.hwnd == wnd && msg.wParam == ScrollTimerId) {
            TWindow* cur = Find(wnd);
            TPoint at = toWindow(last);
            if (cur && ScrollPartAt(ScrollPartsOf(cur, bar), bar, at) == part) {
                if (!(alive = send(code, 0)))
                    break;
            }
            SetTimer(wnd, ScrollTimerId, ScrollRepeatInterval);
            continue;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
            last = msg.pt;
            if (part != spThumb)
                continue;
            TWindow* cur = Find(wnd);
            TScrollParts now = ScrollPartsOf(cur, bar);
            TScrollState& s = cur->Scroll[bar];
            int span = now.TrackLength - now.ThumbLength;
            if (span <= 0)
                continue;
            TPoint at = toWindow(msg.pt);
            int along = (vertical ? at.Y - now.Up.Bottom : at.X - now.Up.Right) - grab;
            int steps = MaxPosOf(s) - s.Min;
            int pos = s.Min + static_cast<int>((int64_t(along) * steps + span / 2) / span);
            pos = std::clamp(pos, s.Min, MaxPosOf(s));
            if (pos != s.TrackPos) {
                s.TrackPos = pos;
                RedrawFrame(wnd);
                alive = send(SB_THUMBTRACK, pos);
            }
            continue;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP)
            break;
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            cancelled = true;
            break;
        }
        if ((msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
            (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
            (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMBUTTONDBLCLK))
            continue;
        loop.Dispatch(msg);
    }
    if (!IsWindow(wnd))
        return;
    KillTimer(wnd, ScrollTimerId);
    TWindow* cur = Find(wnd);
    TScrollState& s = cur->Scroll[bar];
    s.PressedPart = 0;
    if (part == spThumb && s.Tracking) {
        int pos = cancelled ? s.Pos : s.TrackPos;
        if (cancelled)
            s.TrackPos = s.Pos;
        if (send(cancelled ? SB_THUMBTRACK : SB_THUMBPOSITION, pos) && (cur = Find(wnd)))
            cur->Scroll[bar].Tracking = false;
    }
    loop.ReleaseCapture();
    if (IsWindow(wnd)) {
        send(SB_ENDSCROLL, 0);
        RedrawFrame(wnd);
    }
    finished = true;
}

} // namespace detail

using namespace detail;

int SetScrollInfo(HWND wnd, int bar, const TScrollInfo& info, bool redraw) {
    TScrollState* s = StateOf(wnd, bar);
    if (!s)
        return 0;
    if (info.fMask & SIF_RANGE) {
        s->Min = info.nMin;
        s->Max = std::max(info.nMin, info.nMax);
    }
    if (info.fMask & SIF_PAGE)
        s->Page = static_cast<int>(std::min<uint32_t>(info.nPage, 0x7FFFFFFF));
    s->Page = std::clamp(s->Page, 0, s->Max - s->Min + 1);
    if (info.fMask & SIF_POS)
        s->Pos = info.nPos;
    s->Pos = std::clamp(s->Pos, s->Min, MaxPosOf(*s));
    int pos = s->Pos;
    if (info.fMask & (SIF_RANGE | SIF_PAGE)) {
        bool scrollable = Scrollable(*s);
        if (scrollable || !(info.fMask & SIF_DISABLENOSCROLL)) {
            s->Disabled = ESB_ENABLE_BOTH;
            SetBarStyles(wnd, StyleBit(bar), scrollable);
        } else {
            s->Disabled = ESB_DISABLE_BOTH;
            SetBarStyles(wnd, StyleBit(bar), true);
        }
    }
    if (redraw)
        RedrawFrame(wnd);
    return pos;
}

bool GetScrollInfo(HWND wnd, int bar, TScrollInfo& info) {
    TScrollState* s = StateOf(wnd, bar);
    if (!s)
        return false;
    if (info.fMask & SIF_RANGE) {
        info.nMin = s->Min;
        info.nMax = s->Max;
    }
    if (info.fMask & SIF_PAGE)
        info.nPage = static_cast<uint32_t>(s->Page);
    if (info.fMask & SIF_POS)
        info.nPos = s->Pos;
    if (info.fMask & SIF_TRACKPOS)
        info.nTrackPos = s->Tracking ? s->TrackPos : s->Pos;
    return true;
}

int SetScrollPos(HWND wnd, int bar, int pos, bool redraw) {
    TScrollState* s = StateOf(wnd, bar);
    if (!s)
        return 0;
    int old = s->Pos;
    TScrollInfo info;
    info.fMask = SIF_POS;
    info.nPos = pos;
    SetScrollInfo(wnd, bar, info, redraw);
    return old;
}

int GetScrollPos(HWND wnd, int bar) {
    TScrollState* s = StateOf(wnd, bar);
    return s ? s->Pos : 0;
}

bool ScrollRequestPosition(HWND wnd, int bar, int code, int line, int page, int first, int last, int& pos) {
    switch (code) {
    case SB_LINEUP:
        pos -= line;
        return true;
    case SB_LINEDOWN:
        pos += line;
        return true;
    case SB_PAGEUP:
        pos -= page;
        return true;
    case SB_PAGEDOWN:
        pos += page;
        return true;
    case SB_TOP:
        pos = first;
        return true;
    case SB_BOTTOM:
        pos = last;
        return true;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        TScrollInfo info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(wnd, bar, info);
        pos = info.nTrackPos;
        return true;
    }
    default:
        return false;
    }
}

bool SetScrollRange(HWND wnd, int bar, int min, int max, bool redraw) {
    if (!StateOf(wnd, bar) || max < min)
        return false;
    TScrollInfo info;
    info.fMask = SIF_RANGE;
    info.nMin = min;
    info.nMax = max;
    SetScrollInfo(wnd, bar, info, redraw);
    return true;
}

bool GetScrollRange(HWND wnd, int bar, int& min, int& max) {
    TScrollState* s = StateOf(wnd, bar);
    if (!s)
        return false;
    min = s->Min;
    max = s->Max;
    return true;
}

bool ShowScrollBar(HWND wnd, int bar, bool show) {
    if (!Find(wnd))
        return false;
    uint32_t bits = bar == SB_BOTH   ? (WS_HSCROLL | WS_VSCROLL)
                    : bar == SB_VERT ? WS_VSCROLL
                    : bar == SB_HORZ ? WS_HSCROLL
                                     : 0;
    if (!bits)
        return false;
    SetBarStyles(wnd, bits, show);
    return true;
}

bool EnableScrollBar(HWND wnd, int bar, uint32_t arrows) {
    if (!Find(wnd))
        return false;
    bool changed = false;
    for (int b : {SB_HORZ, SB_VERT}) {
        if (bar != b && bar != SB_BOTH)
            continue;
        TScrollState* s = StateOf(wnd, b);
        changed = changed || s->Disabled != (arrows & ESB_DISABLE_BOTH);
        s->Disabled = arrows & ESB_DISABLE_BOTH;
    }
    if (changed)
        RedrawFrame(wnd);
    return changed;
}

} // namespace plat
