#include "platform/ui/Input.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "platform/rtl/Clock.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/WindowInternal.h"

namespace plat {
namespace detail {

namespace {

bool KeyDown(int vk) {
    return (S().KeyState[vk & 0xFF] & 0x80) != 0;
}

void SetKey(int vk, bool down) {
    TState& s = S();
    uint8_t& k = s.KeyState[vk & 0xFF];
    uint8_t& a = s.AsyncState[vk & 0xFF];
    if (down && !(k & 0x80))
        k ^= 1;
    k = static_cast<uint8_t>((k & 1) | (down ? 0x80 : 0));
    a = k;
}

// The window that takes input at a screen point, and its hit-test code. A disabled child passes the
// input to its parent; windows answering HTTRANSPARENT let it through to what lies below them.
HWND InputHitIn(TWindow* w, TPoint p, int& hit) {
    TPoint co = ClientOriginOnScreen(w);
    TRect client(co.X, co.Y, co.X + w->Client.Width(), co.Y + w->Client.Height());
    if (client.Contains(p) && !(w->Style & WS_MINIMIZE)) {
        for (TWindow* c : std::vector<TWindow*>(w->Children)) {
            if (!Find(c->Handle) || !c->Visible() || !PointInWindow(c, p))
                continue;
            if (!c->Enabled())
                break;
            if (HWND h = InputHitIn(c, p, hit))
                return h;
        }
    }
    hit = static_cast<int>(SendMessage(w->Handle, WM_NCHITTEST, 0, PointToLParam(p)));
    if (hit == HTTRANSPARENT)
        return nullptr;
    return w->Handle;
}

HWND InputHit(TPoint p, TNativeWindow native, int& hit) {
    TState& s = S();
    hit = HTNOWHERE;
    for (TWindow* t : std::vector<TWindow*>(s.Desktop.Children)) {
        if (!Find(t->Handle) || !t->Visible())
            continue;
        if (native && t->Native != native) {
            // The display names the window; other windows only count when they lie above it.
            if (!PointInWindow(t, p))
                continue;
        }
        if (!PointInWindow(t, p))
            continue;
        if (HWND h = InputHitIn(t, p, hit))
            return h;
    }
    return nullptr;
}

uint32_t ButtonFlags(uint32_t modifiers) {
    uint32_t f = 0;
    if (KeyDown(VK_LBUTTON))
        f |= MK_LBUTTON;
    if (KeyDown(VK_RBUTTON))
        f |= MK_RBUTTON;
    if (KeyDown(VK_MBUTTON))
        f |= MK_MBUTTON;
    if (modifiers & modShift)
        f |= MK_SHIFT;
    if (modifiers & modControl)
        f |= MK_CONTROL;
    return f;
}

void SyncModifiers(uint32_t modifiers) {
    SetKey(VK_SHIFT, (modifiers & modShift) != 0);
    SetKey(VK_CONTROL, (modifiers & modControl) != 0);
    SetKey(VK_MENU, (modifiers & modAlt) != 0);
}

TWindow* EnabledPopupOf(TWindow* top) {
    TState& s = S();
    for (TWindow* t : s.Desktop.Children)
        if (t != top && t->Owner == top && t->Visible() && t->Enabled())
            return t;
    return nullptr;
}

void SendSetCursor(HWND target, int hit, UINT mouseMsg) {
    SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(hit, mouseMsg));
}

void CheckMouseLeave(HWND under, int hit) {
    TState& s = S();
    if (!s.TrackLeave)
        return;
    bool inside = under == s.TrackLeave && (s.TrackNonClient ? hit != HTCLIENT : hit == HTCLIENT);
    if (!inside) {
        HWND w = s.TrackLeave;
        bool nc = s.TrackNonClient;
        s.TrackLeave = nullptr;
        PostMessage(w, nc ? 0x02A2 /* WM_NCMOUSELEAVE */ : WM_MOUSELEAVE, 0, 0);
    }
}

void PointerEvent(const TBackendEvent& e) {
    TState& s = S();
    s.Pointer = e.ScreenPos;
    SyncModifiers(e.Modifiers);
    int rawHit = HTNOWHERE;
    HWND raw = InputHit(e.ScreenPos, e.Window, rawHit);
    CheckMouseLeave(raw, rawHit);

    HWND target = raw;
    int hit = rawHit;
    if (s.Capture && Find(s.Capture)) {
        target = s.Capture;
        hit = HTCLIENT;
    }
    TWindow* tw = Find(target);
    s.PointerWindow = raw;
    s.PointerHit = rawHit;

    UINT base = 0;
    bool down = e.Kind == beButtonDown;
    bool up = e.Kind == beButtonUp;
    if (down || up) {
        int vk = e.Button == mbcLeft ? VK_LBUTTON : e.Button == mbcRight ? VK_RBUTTON : VK_MBUTTON;
        SetKey(vk, down);
        base = e.Button == mbcLeft ? WM_LBUTTONDOWN : e.Button == mbcRight ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
    }
    if (!tw)
        return;

    uint32_t time = e.Time ? e.Time : GetTickCount();
    TWindow* top = TopOf(tw);
    if (top && !top->Enabled() && !s.Capture) {
        // A window disabled by a modal one: the modal window comes forward instead.
        if (e.Kind == bePointerMove)
            SetCursor(LoadCursor(IDC_ARROW));
        if (down)
            if (TWindow* popup = EnabledPopupOf(top)) {
                BringWindowToTop(popup->Handle);
                SetActiveWindow(popup->Handle);
            }
        return;
    }

    if (e.Kind == beWheel) {
        TMsg m;
        m.hwnd = s.Capture ? s.Capture : (target ? target : s.Focus);
        m.message = e.Horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL;
        m.wParam = MAKEWPARAM(static_cast<int>(ButtonFlags(e.Modifiers)), e.WheelDelta);
        m.lParam = PointToLParam(e.ScreenPos);
        m.time = time;
        m.pt = e.ScreenPos;
        QueueInput(m);
        return;
    }

    bool client = hit == HTCLIENT;
    TMsg m;
    m.hwnd = target;
    m.time = time;
    m.pt = e.ScreenPos;
    if (client) {
        TPoint cp = e.ScreenPos;
        ScreenToClient(target, cp);
        m.lParam = PointToLParam(cp);
        m.wParam = ButtonFlags(e.Modifiers);
    } else {
        m.lParam = PointToLParam(e.ScreenPos);
        m.wParam = static_cast<WPARAM>(hit);
    }

    if (e.Kind == bePointerMove) {
        if (!s.Capture)
            SendSetCursor(target, hit, WM_MOUSEMOVE);
        m.message = client ? WM_MOUSEMOVE : WM_NCMOUSEMOVE;
        QueueInput(m);
        return;
    }

    if (down) {
        // MDI children activate on a click as top-level windows do, so they are asked too.
        bool inMdiChild = false;
        for (TWindow* c = tw; c && !c->IsTopLevel() && !c->IsDesktop; c = c->Parent)
            if (c->ExStyle & WS_EX_MDICHILD)
                inMdiChild = true;
        if (top && !s.Capture && (s.Active != top->Handle || inMdiChild) &&
            !(top->ExStyle & WS_EX_NOACTIVATE)) {
            LRESULT ma = SendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->Handle),
                                     MAKELPARAM(hit, base));
            if (ma != MA_NOACTIVATE && ma != MA_NOACTIVATEANDEAT && Find(top->Handle) &&
                s.Active != top->Handle)
                SetActiveWindow(top->Handle);
            if (ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT)
                return;
            if (!Find(target))
                return;
        }
        if (!s.Capture)
            SendSetCursor(target, hit, base);
        if (!Find(target))
            return;
        // A second press of the same button, soon and near enough, is a double click.
        int cx = GetSystemMetrics(SM_CXDOUBLECLK) / 2, cy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        bool dbl = target == s.LastClickWnd && e.Button == s.LastClickButton && !s.LastClickWasDouble &&
                   time - s.LastClickTime <= s.DoubleClickTime &&
                   std::abs(e.ScreenPos.X - s.LastClickPos.X) <= cx &&
                   std::abs(e.ScreenPos.Y - s.LastClickPos.Y) <= cy;
        TWindow* tw2 = Find(target);
        if (dbl && client && !(tw2->Class.Style & CS_DBLCLKS))
            dbl = false;
        s.LastClickWnd = target;
        s.LastClickButton = e.Button;
        s.LastClickTime = time;
        s.LastClickPos = e.ScreenPos;
        s.LastClickWasDouble = dbl;
        UINT msg = base + (dbl ? 2 : 0);
        m.message = client ? msg : msg - WM_LBUTTONDOWN + WM_NCLBUTTONDOWN;
        QueueInput(m);
        return;
    }
    if (up) {
        UINT msg = base + 1;
        m.message = client ? msg : msg - WM_LBUTTONDOWN + WM_NCLBUTTONDOWN;
        QueueInput(m);
    }
}

void KeyEvent(const TBackendEvent& e) {
    TState& s = S();
    bool down = e.Kind == beKeyDown;
    int vk = e.VirtualKey;
    if (vk == VK_LSHIFT || vk == VK_RSHIFT)
        vk = VK_SHIFT;
    else if (vk == VK_LCONTROL || vk == VK_RCONTROL)
        vk = VK_CONTROL;
    else if (vk == VK_LMENU || vk == VK_RMENU)
        vk = VK_MENU;
    bool wasDown = KeyDown(vk);
    // Modifiers that come with the event win over what we remember, but the key itself counts.
    uint32_t mods = e.Modifiers;
    if (vk == VK_SHIFT)
        mods = down ? (mods | modShift) : (mods & ~modShift);
    if (vk == VK_CONTROL)
        mods = down ? (mods | modControl) : (mods & ~modControl);
    if (vk == VK_MENU)
        mods = down ? (mods | modAlt) : (mods & ~modAlt);
    SyncModifiers(mods);
    SetKey(vk, down);

    if (down)
        s.AltAlone = vk == VK_MENU ? (!wasDown || s.AltAlone) : false;
    bool alt = (mods & modAlt) != 0;
    bool ctrl = (mods & modControl) != 0;

    HWND target = s.Focus;
    bool sys = (alt && !ctrl) || vk == VK_F10 || (vk == VK_MENU);
    if (!target || !Find(target)) {
        target = s.Active;
        sys = true;
    }
    if (!target)
        return;
    if (!down && vk == VK_MENU) {
        sys = true;
        if (!s.AltAlone)
            sys = !ctrl;
    }
    TMsg m;
    m.hwnd = target;
    m.message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    m.wParam = static_cast<WPARAM>(vk);
    m.lParam = 1 | (alt ? KF_ALTDOWN_BIT : 0) | ((down && wasDown) || !down ? KF_REPEAT_BIT : 0) |
               (down ? 0 : KF_UP_BIT) | (IsKeypadVirtualKey(vk) ? KF_KEYPAD_BIT : 0);
    m.time = e.Time ? e.Time : GetTickCount();
    m.pt = s.Pointer;
    if (down)
        m.text = e.Text;
    // The menu key alone: its release (with no key in between) reaches the default handling as the
    // keyboard menu command.
    if (!down && vk == VK_MENU && s.AltAlone)
        m.lParam |= KF_MENUALONE_BIT;
    if (!down && vk == VK_MENU)
        s.AltAlone = false;
    QueueInput(m);
}

void TextEvent(const TBackendEvent& e) {
    TState& s = S();
    HWND target = s.Focus ? s.Focus : s.Active;
    if (!target)
        return;
    for (char32_t cp : Utf8Decode(e.Text)) {
        TMsg m;
        m.hwnd = target;
        m.message = WM_CHAR;
        m.wParam = cp;
        m.lParam = 1;
        m.pt = s.Pointer;
        QueueInput(m);
    }
}

TWindow* TopForNative(TNativeWindow native) {
    if (!native)
        return nullptr;
    for (TWindow* t : S().Desktop.Children)
        if (t->Native == native)
            return t;
    return nullptr;
}

} // namespace

void TranslateBackendEvent(const TBackendEvent& e) {
    TState& s = S();
    switch (e.Kind) {
    case bePointerMove:
    case beButtonDown:
    case beButtonUp:
    case beWheel:
        PointerEvent(e);
        break;
    case beKeyDown:
    case beKeyUp:
        KeyEvent(e);
        break;
    case beText:
        TextEvent(e);
        break;
    case beCloseRequest:
        if (TWindow* t = TopForNative(e.Window))
            PostMessage(t->Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case beConfigure:
        if (TWindow* t = TopForNative(e.Window)) {
            if (t->Bounds != e.Rect) {
                s.InConfigure = true;
                SetWindowPos(t->Handle, nullptr, e.Rect.Left, e.Rect.Top, e.Rect.Width(), e.Rect.Height(),
                             SWP_NOZORDER | SWP_NOACTIVATE);
                s.InConfigure = false;
            }
        }
        break;
    case beStateChange:
        if (TWindow* t = TopForNative(e.Window)) {
            s.InConfigure = true;
            if (e.State == SIZE_MINIMIZED && !(t->Style & WS_MINIMIZE))
                ShowWindow(t->Handle, SW_SHOWMINNOACTIVE);
            else if (e.State == SIZE_MAXIMIZED && !(t->Style & WS_MAXIMIZE))
                ShowWindow(t->Handle, SW_MAXIMIZE);
            else if (e.State == SIZE_RESTORED && (t->Style & (WS_MINIMIZE | WS_MAXIMIZE)))
                ShowWindow(t->Handle, SW_RESTORE);
            s.InConfigure = false;
        }
        break;
    case beActivate:
        if (e.Active) {
            s.DeactivatePending = false;
            TWindow* t = TopForNative(e.Window);
            if (t && t->Handle != s.Active && t->Enabled() && !(t->ExStyle & WS_EX_NOACTIVATE)) {
                s.InConfigure = true;
                SetActiveWindow(t->Handle);
                s.InConfigure = false;
            } else if (t && !t->Enabled()) {
                if (TWindow* popup = EnabledPopupOf(t))
                    SetActiveWindow(popup->Handle);
            }
        } else if (TopForNative(e.Window) && TopForNative(e.Window)->Handle == s.Active) {
            s.DeactivatePending = true;
        }
        break;
    case beExpose:
        if (TWindow* t = TopForNative(e.Window))
            MarkDirty(t, TRegion(e.Rect));
        break;
    case bePointerLeave:
        CheckMouseLeave(nullptr, HTNOWHERE);
        s.PointerWindow = nullptr;
        s.PointerHit = HTNOWHERE;
        break;
    case beClipboardLost:
        break;
    }
}

void PumpBackend() {
    TState& s = S();
    if (!s.Backend)
        return;
    TBackendEvent e;
    while (s.Backend->Poll(e)) {
        // Window-manager events apply at once; input waits its turn.
        switch (e.Kind) {
        case beConfigure:
        case beStateChange:
        case beActivate:
        case beExpose:
        case beCloseRequest:
        case beClipboardLost:
            if (s.RawEvents.empty()) {
                TranslateBackendEvent(e);
                break;
            }
            [[fallthrough]];
        default:
            s.RawEvents.push_back(std::move(e));
            break;
        }
    }
    if (s.DeactivatePending) {
        s.DeactivatePending = false;
        s.InConfigure = true;
        SetActiveWindow(nullptr);
        s.InConfigure = false;
    }
    if (s.CursorCheckPending) {
        s.CursorCheckPending = false;
        if (!s.Capture) {
            int hit = HTNOWHERE;
            HWND under = InputHit(s.Pointer, 0, hit);
            if (under && under != s.PointerWindow) {
                // The pointer did not move but what lies under it changed.
                TBackendEvent move;
                move.Kind = bePointerMove;
                move.ScreenPos = s.Pointer;
                PointerEvent(move);
            } else if (under) {
                SendSetCursor(under, hit, WM_MOUSEMOVE);
            }
        }
    }
}

void TranslatePending() {
    TState& s = S();
    while (s.InputQueue.empty() && !s.RawEvents.empty()) {
        TBackendEvent e = std::move(s.RawEvents.front());
        s.RawEvents.pop_front();
        TranslateBackendEvent(e);
    }
}

void UpdateCursorForPointer() {
    if (TState* s = SP())
        s->CursorCheckPending = true;
}

void WindowGoingAway(TWindow* w) {
    TState& s = S();
    HWND h = w->Handle;
    if (s.Focus == h)
        s.Focus = nullptr;
    if (s.Active == h)
        s.Active = nullptr;
    if (s.Capture == h) {
        s.Capture = nullptr;
        if (s.Backend && s.ButtonsGrabbed) {
            s.Backend->UngrabPointer();
            s.ButtonsGrabbed = false;
        }
    }
    if (s.PointerWindow == h)
        s.PointerWindow = nullptr;
    if (s.TrackLeave == h)
        s.TrackLeave = nullptr;
    if (s.LastClickWnd == h)
        s.LastClickWnd = nullptr;
}

void ForgetButtons() {
    for (int vk : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON})
        SetKey(vk, false);
}

// The toggled state of a lock key as the display reports it, kept in the key states as well; false when
// the display does not know (the headless one), and the states set so far stand.
bool RefreshLockKey(int vk) {
    uint32_t bit = vk == VK_CAPITAL   ? lockCaps
                   : vk == VK_NUMLOCK ? lockNum
                   : vk == VK_SCROLL  ? lockScroll
                                      : 0;
    TState& s = S();
    if (!bit || !s.Backend)
        return false;
    std::optional<uint32_t> locks = s.Backend->LockKeys();
    if (!locks)
        return false;
    bool on = (*locks & bit) != 0;
    for (auto* table : {&s.KeyState, &s.AsyncState}) {
        uint8_t& k = (*table)[vk & 0xFF];
        k = static_cast<uint8_t>(on ? (k | 1) : (k & ~1));
    }
    return true;
}

void ActivateAfterHide(TWindow* w) {
    TState& s = S();
    auto usable = [&](TWindow* t) {
        return t && t != w && !IsDescendant(w, t) && t->IsTopLevel() && t->Visible() && t->Enabled() &&
               !(t->Style & WS_MINIMIZE) && !(t->ExStyle & (WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW)) &&
               t->Owner != w;
    };
    TWindow* next = nullptr;
    if (usable(w->Owner))
        next = w->Owner;
    if (!next)
        for (TWindow* t : s.Desktop.Children)
            if (usable(t)) {
                next = t;
                break;
            }
    SetActiveWindow(next ? next->Handle : nullptr);
}

} // namespace detail

using namespace detail;

HWND SetFocus(HWND wnd) {
    TState& s = S();
    HWND old = s.Focus;
    if (wnd == old)
        return old;
    if (wnd) {
        TWindow* w = Find(wnd);
        if (!w || w->IsDesktop)
            return nullptr;
        for (TWindow* c = w; c && !c->IsDesktop; c = c->Parent)
            if (!c->Enabled())
                return nullptr;
        TWindow* top = TopOf(w);
        if (top && top->Handle != s.Active) {
            SetActiveWindow(top->Handle);
            if (!Find(wnd))
                return nullptr;
            old = s.Focus;
            if (old == wnd)
                return old;
        }
    }
    s.Focus = wnd;
    if (old && Find(old))
        SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(wnd), 0);
    if (wnd && s.Focus == wnd && Find(wnd))
        SendMessage(wnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus() {
    TState* s = SP();
    return s ? s->Focus : nullptr;
}

HWND SetActiveWindow(HWND wnd) {
    TState& s = S();
    TWindow* w = wnd ? TopOf(Find(wnd)) : nullptr;
    if (wnd && !w)
        return nullptr;
    HWND newActive = w ? w->Handle : nullptr;
    HWND old = s.Active;
    if (newActive == old)
        return old;
    if (w && !w->Enabled())
        return nullptr;

    if (old && Find(old)) {
        SendMessage(old, WM_NCACTIVATE, 0, 0);
        if (Find(old))
            SendMessage(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(newActive));
    }
    // The focus leaves the old window with its activation.
    if (HWND f = s.Focus; f && (!w || !IsDescendant(w, Find(f)))) {
        s.Focus = nullptr;
        if (Find(f))
            SendMessage(f, WM_KILLFOCUS, reinterpret_cast<WPARAM>(nullptr), 0);
    }
    bool appChange = s.AppActive != (newActive != nullptr);
    if (appChange) {
        s.AppActive = newActive != nullptr;
        for (TWindow* t : std::vector<TWindow*>(s.Desktop.Children))
            if (Find(t->Handle))
                SendMessage(t->Handle, WM_ACTIVATEAPP, s.AppActive ? 1 : 0, 0);
    }
    if (newActive && !Find(newActive))
        newActive = nullptr;
    s.Active = newActive;
    if (!newActive)
        return old;
    w = Find(newActive);
    if (!(w->ExStyle & WS_EX_NOACTIVATE)) {
        auto& v = s.Desktop.Children;
        if (v.empty() || v.front() != w) {
            bool redraw = IsVisibleChain(w);
            SetWindowPos(newActive, HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (redraw ? 0 : SWP_NOREDRAW));
        }
    }
    if (w && w->Native && !s.InConfigure && w->Visible())
        Backend().Activate(w->Native);
    if (Find(newActive))
        SendMessage(newActive, WM_NCACTIVATE, 1, 0);
    if (Find(newActive)) {
        bool click = KeyDown(VK_LBUTTON) || KeyDown(VK_RBUTTON) || KeyDown(VK_MBUTTON);
        SendMessage(newActive, WM_ACTIVATE, click ? WA_CLICKACTIVE : WA_ACTIVE,
                    reinterpret_cast<LPARAM>(old));
    }
    return old;
}

HWND GetActiveWindow() {
    TState* s = SP();
    return s ? s->Active : nullptr;
}

bool SetForegroundWindow(HWND wnd) {
    return SetActiveWindow(wnd) != nullptr || GetActiveWindow() == GetAncestorRoot(wnd);
}

HWND GetForegroundWindow() {
    return GetActiveWindow();
}

HWND SetCapture(HWND wnd) {
    TState& s = S();
    HWND old = s.Capture;
    TWindow* w = Find(wnd);
    if (!w)
        return old;
    if (old == wnd)
        return old;
    s.Capture = wnd;
    if (old && Find(old))
        SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(wnd));
    if (s.Capture == wnd) {
        TWindow* top = TopOf(w);
        if (top && top->Native && Backend().GrabPointer(top->Native))
            s.ButtonsGrabbed = true;
    }
    return old;
}

bool ReleaseCapture() {
    TState& s = S();
    HWND old = s.Capture;
    s.Capture = nullptr;
    if (s.ButtonsGrabbed) {
        s.ButtonsGrabbed = false;
        Backend().UngrabPointer();
    }
    if (old && Find(old))
        SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    UpdateCursorForPointer();
    return true;
}

HWND GetCapture() {
    TState* s = SP();
    return s ? s->Capture : nullptr;
}

int16_t GetKeyState(int vk) {
    RefreshLockKey(vk);
    uint8_t k = S().KeyState[vk & 0xFF];
    return static_cast<int16_t>(((k & 0x80) ? 0x8000 : 0) | (k & 1));
}

int16_t GetAsyncKeyState(int vk) {
    RefreshLockKey(vk);
    uint8_t k = S().AsyncState[vk & 0xFF];
    return static_cast<int16_t>((k & 0x80) ? 0x8000 : 0);
}

uint32_t GetMouseKeyFlags() {
    uint32_t mods = (KeyDown(VK_SHIFT) ? modShift : 0) | (KeyDown(VK_CONTROL) ? modControl : 0);
    return ButtonFlags(mods);
}

bool TrackMouseEvent(TTrackMouseEvent& track) {
    TState& s = S();
    if (track.dwFlags & TME_QUERY) {
        track.hwndTrack = s.TrackLeave;
        track.dwFlags = s.TrackLeave ? (TME_LEAVE | (s.TrackNonClient ? TME_NONCLIENT : 0)) : 0;
        return true;
    }
    if (track.dwFlags & TME_CANCEL) {
        if ((track.dwFlags & TME_LEAVE) && s.TrackLeave == track.hwndTrack)
            s.TrackLeave = nullptr;
        return true;
    }
    if (!(track.dwFlags & TME_LEAVE) || !Find(track.hwndTrack))
        return false;
    s.TrackLeave = track.hwndTrack;
    s.TrackNonClient = (track.dwFlags & TME_NONCLIENT) != 0;
    // A pointer that is not over the window already is reported at once.
    bool nc = s.TrackNonClient;
    if (s.PointerWindow != track.hwndTrack || (nc ? s.PointerHit == HTCLIENT : s.PointerHit != HTCLIENT)) {
        int hit = HTNOWHERE;
        HWND under = InputHit(s.Pointer, 0, hit);
        CheckMouseLeave(under, hit);
    }
    return true;
}

bool GetCursorPos(TPoint& p) {
    p = S().Pointer;
    return true;
}

bool SetCursorPos(int x, int y) {
    Backend().WarpPointer(TPoint(x, y));
    TBackendEvent e;
    e.Kind = bePointerMove;
    e.ScreenPos = TPoint(x, y);
    uint32_t mods = (KeyDown(VK_SHIFT) ? modShift : 0) | (KeyDown(VK_CONTROL) ? modControl : 0) |
                    (KeyDown(VK_MENU) ? modAlt : 0);
    e.Modifiers = mods;
    TranslateBackendEvent(e);
    return true;
}

HCURSOR SetCursor(HCURSOR cursor) {
    TState& s = S();
    HCURSOR old = s.Cursor;
    s.Cursor = cursor;
    TWindow* top = nullptr;
    if (s.Capture)
        top = TopOf(Find(s.Capture));
    if (!top)
        top = TopOf(Find(s.PointerWindow));
    TCursorImage none;
    none.Shape = csrNone;
    Backend().SetCursor(top ? top->Native : 0, cursor ? cursor->Image : none);
    return old;
}

HCURSOR GetCursor() {
    return S().Cursor;
}

void mouse_event(uint32_t flags, int dx, int dy, int data, uintptr_t) {
    TMouseInput input;
    input.dx = dx;
    input.dy = dy;
    input.mouseData = data;
    input.dwFlags = flags;
    SendInput(std::span<const TMouseInput>(&input, 1));
}

uint32_t SendInput(std::span<const TMouseInput> inputs) {
    TState& s = S();
    TBackend& backend = Backend();
    // Where the pointer will be once the inputs queued before these have been taken.
    TPoint pos = s.Pointer;
    if (!s.RawEvents.empty() || !s.InputQueue.empty())
        pos = backend.PointerPos();
    uint32_t sent = 0;
    for (const TMouseInput& in : inputs) {
        TBackendEvent e;
        e.Modifiers = (KeyDown(VK_SHIFT) ? modShift : 0) | (KeyDown(VK_CONTROL) ? modControl : 0) |
                      (KeyDown(VK_MENU) ? modAlt : 0);
        if (in.dwFlags & MOUSEEVENTF_MOVE) {
            if (in.dwFlags & MOUSEEVENTF_ABSOLUTE) {
                // 0 to 65535 spans the screen.
                TRect screen = backend.ScreenRect();
                pos = TPoint(screen.Left + static_cast<int>(int64_t(in.dx) * screen.Width() / 65536),
                             screen.Top + static_cast<int>(int64_t(in.dy) * screen.Height() / 65536));
            } else {
                pos = TPoint(pos.X + in.dx, pos.Y + in.dy);
            }
            TRect screen = backend.ScreenRect();
            pos.X = std::clamp(pos.X, screen.Left, screen.Right - 1);
            pos.Y = std::clamp(pos.Y, screen.Top, screen.Bottom - 1);
            // The real pointer goes there too, so the display's idea of it agrees.
            backend.WarpPointer(pos);
            e.Kind = bePointerMove;
            e.ScreenPos = pos;
            backend.InjectEvent(e);
        }
        e.ScreenPos = pos;
        auto button = [&](uint32_t downFlag, uint32_t upFlag, int code) {
            if (in.dwFlags & downFlag) {
                e.Kind = beButtonDown;
                e.Button = code;
                backend.InjectEvent(e);
            }
            if (in.dwFlags & upFlag) {
                e.Kind = beButtonUp;
                e.Button = code;
                backend.InjectEvent(e);
            }
        };
        button(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, mbcLeft);
        button(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, mbcRight);
        button(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, mbcMiddle);
        if (in.dwFlags & (MOUSEEVENTF_WHEEL | MOUSEEVENTF_HWHEEL)) {
            e.Kind = beWheel;
            e.Horizontal = (in.dwFlags & MOUSEEVENTF_HWHEEL) != 0;
            e.WheelDelta = in.mouseData;
            backend.InjectEvent(e);
        }
        ++sent;
    }
    backend.Wake();
    return sent;
}

uint32_t GetDoubleClickTime() {
    return S().DoubleClickTime;
}

void SetDoubleClickTime(uint32_t ms) {
    S().DoubleClickTime = ms ? ms : 500;
}

} // namespace plat
