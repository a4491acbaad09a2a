// The default handling of window messages: non-client geometry, hit testing and painting, text, closing,
// system commands, the keyboard menu command, cursors, and the modal loop that moves and sizes windows.
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "platform/rtl/Clock.h"
#include "platform/ui/Input.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/SystemIcons.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/WindowInternal.h"

namespace plat {
namespace detail {

namespace {

bool FramedByDisplayLocal(const TWindow* w) {
    TState* s = SP();
    return w->IsTopLevel() && s && s->Backend && s->Backend->DrawsFrames() &&
           (w->Style & WS_CAPTION) == WS_CAPTION;
}

HCURSOR CursorForHit(int hit, const TWindow* w) {
    switch (hit) {
    case HTLEFT:
    case HTRIGHT:
        return LoadCursor(IDC_SIZEWE);
    case HTTOP:
    case HTBOTTOM:
        return LoadCursor(IDC_SIZENS);
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return LoadCursor(IDC_SIZENWSE);
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return LoadCursor(IDC_SIZENESW);
    case HTCLIENT:
        return w->Class.Cursor ? w->Class.Cursor : LoadCursor(IDC_ARROW);
    default:
        return LoadCursor(IDC_ARROW);
    }
}

int SizeCodeOfHit(int hit) {
    switch (hit) {
    case HTLEFT:
        return 1;
    case HTRIGHT:
        return 2;
    case HTTOP:
        return 3;
    case HTTOPLEFT:
        return 4;
    case HTTOPRIGHT:
        return 5;
    case HTBOTTOM:
        return 6;
    case HTBOTTOMLEFT:
        return 7;
    case HTBOTTOMRIGHT:
    case HTGROWBOX:
        return 8;
    }
    return 0;
}

std::optional<TMoveResizeEdge> EdgeOfHit(int hit) {
    switch (hit) {
    case HTCAPTION:
        return mreMove;
    case HTLEFT:
        return mreLeft;
    case HTRIGHT:
        return mreRight;
    case HTTOP:
        return mreTop;
    case HTBOTTOM:
        return mreBottom;
    case HTTOPLEFT:
        return mreTopLeft;
    case HTTOPRIGHT:
        return mreTopRight;
    case HTBOTTOMLEFT:
        return mreBottomLeft;
    case HTBOTTOMRIGHT:
    case HTGROWBOX:
        return mreBottomRight;
    default:
        return std::nullopt;
    }
}

int HitOfSizeCode(int code) {
    static const int hits[] = {HTCAPTION,  HTLEFT,   HTRIGHT,      HTTOP,        HTTOPLEFT,
                               HTTOPRIGHT, HTBOTTOM, HTBOTTOMLEFT, HTBOTTOMRIGHT};
    return code >= 0 && code <= 8 ? hits[code] : HTCAPTION;
}

// Follows a press on a caption button until the release; answers whether it was released on it.
bool TrackCaptionButton(HWND wnd, int hit) {
    TModalLoop loop;
    loop.Capture(wnd);
    bool inside = true;
    for (;;) {
        TMsg msg;
        if (!GetMessage(msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!loop.Alive() || !loop.HasCapture())
            return false;
        if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP) {
            TWindow* w = Find(wnd);
            inside = w && DefaultHitTest(w, msg.pt) == hit;
            break;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE)
            continue;
        loop.Dispatch(msg);
    }
    return inside;
}

void MinMaxOf(HWND wnd, TMinMaxInfo& info) {
    TRect work = Backend().WorkArea();
    info.ptMaxSize = TPoint(work.Width(), work.Height());
    info.ptMaxPosition = TPoint(work.Left, work.Top);
    info.ptMinTrackSize = TPoint(GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK));
    info.ptMaxTrackSize = TPoint(GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK));
    TWindow* w = Find(wnd);
    if (w && !w->IsTopLevel() && !(w->Style & WS_CAPTION))
        info.ptMinTrackSize = TPoint(0, 0);
    SendMessage(wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
}

} // namespace

TFrameGeometry FrameGeometryOf(const TWindow* w) {
    TFrameGeometry g;
    int width = w->Bounds.Width();
    // The display draws the frame and caption of such windows; their scroll bars are still ours.
    bool displayFrame = FramedByDisplayLocal(w);
    if (displayFrame) {
        g.Border = 0;
    } else if (w->Style & WS_THICKFRAME) {
        g.Border = GetSystemMetrics(SM_CXFRAME);
        g.ThickFrame = true;
    } else if ((w->Style & WS_DLGFRAME) || (w->ExStyle & WS_EX_DLGMODALFRAME)) {
        g.Border = GetSystemMetrics(SM_CXDLGFRAME);
    } else if (w->Style & WS_BORDER) {
        g.Border = GetSystemMetrics(SM_CXBORDER);
    }
    int b = g.Border;
    if ((w->Style & WS_CAPTION) == WS_CAPTION && !displayFrame) {
        bool tool = (w->ExStyle & WS_EX_TOOLWINDOW) != 0;
        int ch = tool ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
        g.Caption = TRect(b, b, width - b, b + ch);
        int bh = ch - 5;
        int bw = (tool ? GetSystemMetrics(SM_CXSMSIZE) : GetSystemMetrics(SM_CXSIZE)) - 2;
        int top = g.Caption.Top + 2;
        int right = g.Caption.Right - 2;
        if (w->Style & WS_SYSMENU) {
            g.CloseButton = TRect(right - bw, top, right, top + bh);
            if (!tool && (w->Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
                g.MaxButton = TRect(g.CloseButton.Left - 2 - bw, top, g.CloseButton.Left - 2, top + bh);
                g.MinButton = TRect(g.MaxButton.Left - bw, top, g.MaxButton.Left, top + bh);
            }
            if (!tool && !(w->ExStyle & WS_EX_DLGMODALFRAME))
                g.SysMenu = TRect(g.Caption.Left + 2, top, g.Caption.Left + 2 + bh, top + bh);
        }
    }
    const TRect& c = w->Client;
    if (displayFrame) {
        // No client edge either: the display's frame stands for it.
    } else if (w->ExStyle & WS_EX_CLIENTEDGE) {
        TRect r = c;
        int sv = (w->Style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        int sh = (w->Style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0;
        g.ClientEdge = TRect(r.Left - 2, r.Top - 2, r.Right + sv + 2, r.Bottom + sh + 2);
    } else if (w->ExStyle & WS_EX_STATICEDGE) {
        g.ClientEdge = TRect(c.Left - 1, c.Top - 1, c.Right + 1, c.Bottom + 1);
    }
    if (w->Style & WS_VSCROLL)
        g.VScroll = TRect(c.Right, c.Top, c.Right + GetSystemMetrics(SM_CXVSCROLL), c.Bottom);
    if (w->Style & WS_HSCROLL)
        g.HScroll = TRect(c.Left, c.Bottom, c.Right, c.Bottom + GetSystemMetrics(SM_CYHSCROLL));
    if ((w->Style & WS_VSCROLL) && (w->Style & WS_HSCROLL))
        g.SizeBox = TRect(c.Right, c.Bottom, g.VScroll.Right, g.HScroll.Bottom);
    return g;
}

int DefaultHitTest(TWindow* w, TPoint screenPos) {
    TPoint o = WindowOriginOnScreen(w);
    TPoint p(screenPos.X - o.X, screenPos.Y - o.Y);
    int width = w->Bounds.Width(), height = w->Bounds.Height();
    if (!TRect(0, 0, width, height).Contains(p))
        return HTNOWHERE;
    if (w->Client.Contains(p))
        return HTCLIENT;
    TFrameGeometry g = FrameGeometryOf(w);
    if (g.CloseButton.Contains(p))
        return HTCLOSE;
    if (g.MaxButton.Contains(p))
        return HTMAXBUTTON;
    if (g.MinButton.Contains(p))
        return HTMINBUTTON;
    if (g.SysMenu.Contains(p))
        return HTSYSMENU;
    if (g.VScroll.Contains(p))
        return HTVSCROLL;
    if (g.HScroll.Contains(p))
        return HTHSCROLL;
    if (g.SizeBox.Contains(p))
        return g.ThickFrame ? HTGROWBOX : HTBORDER;
    if (w->Style & WS_MINIMIZE)
        return HTCAPTION;
    int b = g.Border;
    bool inBorder = p.X < b || p.Y < b || p.X >= width - b || p.Y >= height - b;
    if (inBorder) {
        if (!g.ThickFrame || (w->Style & WS_MAXIMIZE))
            return HTBORDER;
        int corner = GetSystemMetrics(SM_CXSIZE) + b;
        bool left = p.X < corner, right = p.X >= width - corner;
        bool top = p.Y < corner, bottom = p.Y >= height - corner;
        if (p.Y < b)
            return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (p.Y >= height - b)
            return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (p.X < b)
            return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
        return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
    }
    if (g.Caption.Contains(p))
        return HTCAPTION;
    return HTBORDER;
}

void RunMoveSizeLoop(HWND wnd, int hit, TPoint startScreen) {
    TWindow* w = Find(wnd);
    if (!w)
        return;
    // A press on a top-level window is better followed by the window manager, which knows the screen's
    // edges and the other windows; only when it cannot is the pointer followed here.
    if (w->IsTopLevel() && w->Native && (GetKeyState(VK_LBUTTON) & 0x8000)) {
        if (std::optional<TMoveResizeEdge> edge = EdgeOfHit(hit);
            edge && Backend().BeginMoveResize(w->Native, *edge, startScreen)) {
            if (GetCapture() == wnd)
                ReleaseCapture();
            ForgetButtons();
            return;
        }
    }
    TRect start = w->Bounds;
    // WM_MOVING and WM_SIZING carry screen coordinates; a child window's bounds are in its parent's
    // client area.
    HWND boundsParent = w->IsTopLevel() ? nullptr : GetParent(wnd);
    auto notify = [&](UINT msg, WPARAM wParam, TRect& r) {
        TPoint corners[2] = {r.TopLeft(), r.BottomRight()};
        MapWindowPoints(boundsParent, nullptr, corners, 2);
        TRect screen(corners[0], corners[1]);
        SendMessage(wnd, msg, wParam, reinterpret_cast<LPARAM>(&screen));
        corners[0] = screen.TopLeft();
        corners[1] = screen.BottomRight();
        if (IsWindow(boundsParent))
            MapWindowPoints(nullptr, boundsParent, corners, 2);
        r = TRect(corners[0], corners[1]);
    };
    SendMessage(wnd, WM_ENTERSIZEMOVE, 0, 0);
    // The window hears WM_EXITSIZEMOVE and loses the capture however the loop ends, also when a handler
    // of WM_MOVING, WM_SIZING or a move raises.
    bool cancelled = false;
    TModalLoop loop;
    loop.OnExit([&] {
        if (cancelled && IsWindow(wnd))
            SetWindowPos(wnd, nullptr, start.Left, start.Top, start.Width(), start.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
        loop.ReleaseCapture();
        if (IsWindow(wnd))
            SendMessage(wnd, WM_EXITSIZEMOVE, 0, 0);
    });
    loop.Capture(wnd);
    int sizeCode = SizeCodeOfHit(hit);
    for (;;) {
        TMsg msg;
        if (!GetMessage(msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!loop.Alive() || !loop.HasCapture())
            break;
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
            int dx = msg.pt.X - startScreen.X, dy = msg.pt.Y - startScreen.Y;
            TRect r = start;
            if (hit == HTCAPTION) {
                OffsetRect(r, dx, dy);
                notify(WM_MOVING, 0, r);
            } else {
                TMinMaxInfo info;
                MinMaxOf(wnd, info);
                if (hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT)
                    r.Left = std::min(r.Left + dx, r.Right - info.ptMinTrackSize.X);
                if (hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT || hit == HTGROWBOX)
                    r.Right = std::max(r.Right + dx, r.Left + info.ptMinTrackSize.X);
                if (hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT)
                    r.Top = std::min(r.Top + dy, r.Bottom - info.ptMinTrackSize.Y);
                if (hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT || hit == HTGROWBOX)
                    r.Bottom = std::max(r.Bottom + dy, r.Top + info.ptMinTrackSize.Y);
                if (r.Width() > info.ptMaxTrackSize.X) {
                    if (r.Left != start.Left)
                        r.Left = r.Right - info.ptMaxTrackSize.X;
                    else
                        r.Right = r.Left + info.ptMaxTrackSize.X;
                }
                if (r.Height() > info.ptMaxTrackSize.Y) {
                    if (r.Top != start.Top)
                        r.Top = r.Bottom - info.ptMaxTrackSize.Y;
                    else
                        r.Bottom = r.Top + info.ptMaxTrackSize.Y;
                }
                notify(WM_SIZING, static_cast<WPARAM>(sizeCode), r);
            }
            if (!IsWindow(wnd))
                break;
            SetWindowPos(wnd, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
            continue;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP)
            break;
        if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && msg.wParam == VK_ESCAPE) {
            cancelled = true;
            break;
        }
        if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR)
            continue;
        loop.Dispatch(msg);
    }
}

} // namespace detail

using namespace detail;

LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWindow* w = Find(wnd);
    if (!w)
        return 0;
    switch (msg) {
    case WM_NCCREATE:
        return 1;
    case WM_NCCALCSIZE: {
        auto* params = reinterpret_cast<TNCCalcSizeParams*>(lParam);
        TRect bounds = params->rgrc[0];
        TRect c = DefaultClientRect(w, bounds);
        OffsetRect(c, bounds.Left, bounds.Top);
        params->rgrc[0] = c;
        return 0;
    }
    case WM_NCHITTEST:
        return DefaultHitTest(w, PointFromLParam(lParam));
    case WM_NCPAINT:
        if (w->Client != TRect(0, 0, w->Bounds.Width(), w->Bounds.Height()) || (w->Style & WS_MINIMIZE)) {
            HDC dc = GetWindowDC(wnd);
            DrawWindowFrame(wnd, dc);
            ReleaseDC(wnd, dc);
        }
        return 0;
    case WM_NCACTIVATE:
        if (w->NcActive != (wParam != 0)) {
            w->NcActive = wParam != 0;
            if ((w->Style & WS_CAPTION) == WS_CAPTION && IsVisibleChain(w))
                w->FrameDirty = true;
        }
        return 1;
    case WM_PAINT: {
        TPaintStruct ps;
        BeginPaint(wnd, ps);
        EndPaint(wnd, ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        if (w->Class.Background == clNone || !wParam)
            return 0;
        HDC dc = reinterpret_cast<HDC>(wParam);
        TRect box;
        dc->GetClipBox(box);
        dc->FillSolidRect(box, ColorToRGB(w->Class.Background));
        return 1;
    }
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lParam);
        w->Text = text ? text : "";
        if ((w->Style & WS_CAPTION) == WS_CAPTION && IsVisibleChain(w))
            w->FrameDirty = true;
        if (w->IsTopLevel() && w->Native)
            Backend().SetTitle(w->Native, ShownTitle(w));
        return 1;
    }
    case WM_SETICON: {
        const TIconHandle* old = wParam == ICON_BIG ? w->IconBig : w->IconSmall;
        (wParam == ICON_BIG ? w->IconBig : w->IconSmall) = reinterpret_cast<HICON>(lParam);
        if ((w->Style & WS_CAPTION) == WS_CAPTION && IsVisibleChain(w))
            w->FrameDirty = true;
        ApplyNativeIcon(w);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON:
        if (wParam == ICON_BIG)
            return reinterpret_cast<LRESULT>(w->IconBig);
        if (wParam == ICON_SMALL2 && !w->IconSmall)
            return reinterpret_cast<LRESULT>(w->IconBig);
        return reinterpret_cast<LRESULT>(w->IconSmall);
    case WM_GETTEXT:
        if (lParam)
            *reinterpret_cast<std::string*>(lParam) = w->Text;
        return static_cast<LRESULT>(w->Text.size());
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->Text.size());
    case WM_CLOSE:
        DestroyWindow(wnd);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessage(wnd, WM_CLOSE, 0, 0);
            return 0;
        case SC_MINIMIZE:
            ShowWindow(wnd, SW_MINIMIZE);
            return 0;
        case SC_MAXIMIZE:
            ShowWindow(wnd, SW_MAXIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(wnd, SW_RESTORE);
            return 0;
        case SC_MOVE:
        case SC_SIZE: {
            TPoint start = PointFromLParam(lParam);
            if (lParam == 0)
                GetCursorPos(start);
            int hit =
                (wParam & 0xFFF0) == SC_MOVE ? HTCAPTION : HitOfSizeCode(static_cast<int>(wParam & 0xF));
            RunMoveSizeLoop(wnd, hit, start);
            return 0;
        }
        default:
            return 0;
        }
    case WM_NCLBUTTONDOWN: {
        int hit = static_cast<int>(wParam);
        if (hit == HTVSCROLL || hit == HTHSCROLL) {
            RunScrollTrack(wnd, hit == HTVSCROLL ? 1 : 0, PointFromLParam(lParam));
        } else if (hit == HTCAPTION) {
            if (!(w->Style & WS_MAXIMIZE))
                SendMessage(wnd, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, lParam);
        } else if (int code = SizeCodeOfHit(hit); code && !(w->Style & WS_MAXIMIZE)) {
            // The default hit test gives edges only to sizeable frames; a window that answers them
            // itself (a form drawing its own frame) is sized as well.
            SendMessage(wnd, WM_SYSCOMMAND, SC_SIZE + code, lParam);
        } else if (hit == HTCLOSE || hit == HTMAXBUTTON || hit == HTMINBUTTON) {
            if (TrackCaptionButton(wnd, hit) && (w = Find(wnd))) {
                WPARAM cmd = hit == HTCLOSE       ? SC_CLOSE
                             : hit == HTMINBUTTON ? ((w->Style & WS_MINIMIZE) ? SC_RESTORE : SC_MINIMIZE)
                             : (w->Style & WS_MAXIMIZE) ? SC_RESTORE
                                                        : SC_MAXIMIZE;
                bool allowed = hit == HTCLOSE       ? (w->Style & WS_SYSMENU) != 0
                               : hit == HTMINBUTTON ? (w->Style & WS_MINIMIZEBOX) != 0
                                                    : (w->Style & WS_MAXIMIZEBOX) != 0;
                if (allowed)
                    SendMessage(wnd, WM_SYSCOMMAND, cmd, lParam);
            }
        }
        return 0;
    }
    case WM_NCLBUTTONDBLCLK: {
        int hit = static_cast<int>(wParam);
        if (hit == HTVSCROLL || hit == HTHSCROLL)
            RunScrollTrack(wnd, hit == HTVSCROLL ? 1 : 0, PointFromLParam(lParam));
        else if (hit == HTCAPTION && (w->Style & (WS_MAXIMIZEBOX | WS_MINIMIZE)))
            SendMessage(wnd, WM_SYSCOMMAND,
                        (w->Style & (WS_MAXIMIZE | WS_MINIMIZE)) ? SC_RESTORE : SC_MAXIMIZE, lParam);
        else if (hit == HTSYSMENU)
            SendMessage(wnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
        return 0;
    }
    case WM_RBUTTONUP: {
        TPoint p = PointFromLParam(lParam);
        ClientToScreen(wnd, p);
        SendMessage(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), PointToLParam(p));
        return 0;
    }
    case WM_NCRBUTTONUP:
        SendMessage(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), lParam);
        return 0;
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        if (w->IsChild() && w->Parent)
            return SendMessage(w->Parent->Handle, msg, wParam, lParam);
        return 0;
    case WM_SETCURSOR: {
        if (w->IsChild() && w->Parent && SendMessage(w->Parent->Handle, WM_SETCURSOR, wParam, lParam))
            return 1;
        if (reinterpret_cast<HWND>(wParam) != wnd)
            return 0;
        int hit = static_cast<int16_t>(LOWORD(lParam));
        SetCursor(CursorForHit(hit, w));
        return hit == HTCLIENT ? 0 : 1;
    }
    case WM_MOUSEACTIVATE:
        if (w->IsChild() && w->Parent) {
            if (LRESULT r = SendMessage(w->Parent->Handle, WM_MOUSEACTIVATE, wParam, lParam))
                return r;
        }
        return MA_ACTIVATE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !(w->Style & WS_MINIMIZE)) {
            TWindow* f = Find(GetFocus());
            if (!f || !IsDescendant(w, f))
                SetFocus(wnd);
        }
        return 0;
    case WM_WINDOWPOSCHANGED: {
        auto* pos = reinterpret_cast<TWindowPos*>(lParam);
        if (!(pos->flags & SWP_NOSIZE) || (pos->flags & SWP_FRAMECHANGED)) {
            WPARAM kind = (w->Style & WS_MINIMIZE)   ? SIZE_MINIMIZED
                          : (w->Style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                                     : SIZE_RESTORED;
            SendMessage(wnd, WM_SIZE, kind, MAKELPARAM(w->Client.Width(), w->Client.Height()));
        }
        if ((w = Find(wnd)) && (!(pos->flags & SWP_NOMOVE) || (pos->flags & SWP_FRAMECHANGED)))
            SendMessage(wnd, WM_MOVE, 0,
                        MAKELPARAM(w->Bounds.Left + w->Client.Left, w->Bounds.Top + w->Client.Top));
        return 0;
    }
    case WM_GETMINMAXINFO:
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & KF_ALTDOWN_BIT)) {
            if (TWindow* top = TopOf(w))
                PostMessage(top->Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    case WM_SYSKEYUP:
        if ((wParam == VK_MENU && (lParam & KF_MENUALONE_BIT)) || wParam == VK_F10) {
            if (TWindow* top = TopOf(w))
                SendMessage(top->Handle, WM_SYSCOMMAND, SC_KEYMENU, 0);
        }
        return 0;
    case WM_SYSCHAR:
        if (wParam != VK_SPACE && wParam != '-') {
            if (TWindow* top = TopOf(w))
                SendMessage(top->Handle, WM_SYSCOMMAND, SC_KEYMENU, wParam);
        }
        return 0;
    case WM_CANCELMODE:
        if (GetCapture() == wnd)
            ReleaseCapture();
        return 0;
    default:
        return 0;
    }
}

} // namespace plat
