#include "platform/ui/MdiClient.h"
#include "platform/ui/Cursor.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/ui/Input.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/WindowInternal.h"

namespace plat {

namespace {

struct TMdiState {
    HWND Active = nullptr;
};

std::map<HWND, TMdiState>& States() {
    static std::map<HWND, TMdiState> states;
    return states;
}

bool IsMdiChild(HWND wnd) {
    return (GetWindowLongPtr(wnd, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
}

int CascadeStep() {
    return GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
}

void Activate(HWND client, HWND child);

// While a child is maximised the frame's title names it: "Frame - [Child]". `leaving` is a child that is
// being hidden or destroyed and no longer counts.
void UpdateFrameTitle(HWND client, HWND leaving) {
    detail::TWindow* frame = detail::Find(GetParent(client));
    if (!frame)
        return;
    HWND active = States()[client].Active;
    HWND shown = nullptr;
    for (HWND h : MdiChildWindows(client))
        if (h != leaving && IsZoomed(h) && (!shown || h == active))
            shown = h;
    detail::SetTitleSuffix(frame, shown ? " - [" + GetWindowText(shown) + "]" : std::string());
}

// The child that becomes active when `gone` stops being available: the next one behind it that is not
// minimised, else the next minimised one.
HWND NextAfter(HWND client, HWND gone) {
    HWND iconic = nullptr;
    for (HWND h : MdiChildWindows(client)) {
        if (h == gone || !IsWindowEnabled(h))
            continue;
        if (!IsIconic(h))
            return h;
        if (!iconic)
            iconic = h;
    }
    return iconic;
}

void Activate(HWND client, HWND child) {
    TMdiState& st = States()[client];
    HWND old = st.Active;
    if (old && !IsWindow(old))
        old = nullptr;
    if (child == old) {
        if (child)
            BringWindowToTop(child);
        return;
    }
    bool maximized = old && IsZoomed(old);
    st.Active = child;
    if (old) {
        SendMessage(old, WM_NCACTIVATE, 0, 0);
        SendMessage(old, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
    }
    if (!child)
        return;
    SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // A maximised child hands its state on to the one that takes its place.
    if (maximized && old && IsWindow(old) && !IsIconic(child)) {
        ShowWindow(child, SW_MAXIMIZE);
        if (IsWindow(old))
            ShowWindow(old, SW_RESTORE);
    }
    if (!IsWindow(child))
        return;
    HWND frame = GetParent(client);
    bool frameActive = frame && GetActiveWindow() == GetAncestorRoot(frame);
    SendMessage(child, WM_NCACTIVATE, frameActive ? 1 : 0, 0);
    SendMessage(child, WM_CHILDACTIVATE, 0, 0);
    SendMessage(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
}

TRect ClientArea(HWND client, bool leaveIconRow) {
    TRect r;
    GetClientRect(client, r);
    if (leaveIconRow) {
        for (HWND h : MdiChildWindows(client))
            if (IsIconic(h)) {
                r.Bottom -= GetSystemMetrics(SM_CYMINIMIZED);
                break;
            }
    }
    return r;
}

void ArrangeIconsOf(HWND client) {
    TRect r;
    GetClientRect(client, r);
    int cw = GetSystemMetrics(SM_CXMINIMIZED), ch = GetSystemMetrics(SM_CYMINIMIZED);
    int perRow = std::max(1, r.Width() / cw);
    std::vector<HWND> icons;
    for (HWND h : MdiChildWindows(client))
        if (IsIconic(h))
            icons.push_back(h);
    // Oldest at the left, as they were minimised.
    std::reverse(icons.begin(), icons.end());
    for (size_t i = 0; i < icons.size(); ++i) {
        int x = static_cast<int>(i % perRow) * cw;
        int y = r.Bottom - ch - static_cast<int>(i / perRow) * ch;
        SetWindowPos(icons[i], nullptr, x, y, cw, ch, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// Windows to arrange: visible, not minimised, bottom first (the active one ends on top).
std::vector<HWND> ArrangeOrder(HWND client, bool skipDisabled) {
    std::vector<HWND> list;
    for (HWND h : MdiChildWindows(client))
        if (!IsIconic(h) && (!skipDisabled || IsWindowEnabled(h)))
            list.push_back(h);
    std::reverse(list.begin(), list.end());
    for (HWND h : list)
        if (IsZoomed(h))
            ShowWindow(h, SW_RESTORE);
    return list;
}

void Cascade(HWND client, bool skipDisabled) {
    std::vector<HWND> list = ArrangeOrder(client, skipDisabled);
    TRect area = ClientArea(client, true);
    int step = CascadeStep();
    int w = std::max(GetSystemMetrics(SM_CXMINTRACK), area.Width() * 3 / 4);
    int h = std::max(GetSystemMetrics(SM_CYMINTRACK), area.Height() * 3 / 4);
    int slots = std::max(1, (area.Height() - h) / step + 1);
    for (size_t i = 0; i < list.size(); ++i) {
        int k = static_cast<int>(i) % slots;
        SetWindowPos(list[i], HWND_TOP, area.Left + k * step, area.Top + k * step, w, h, SWP_NOACTIVATE);
    }
}

// Tiling: horizontal tiling stacks windows in rows, vertical tiling puts them side by side. With more
// than three windows they form a grid of as many columns (or rows) as the square root asks for; the
// last ones take the extra places.
void Tile(HWND client, bool horizontal, bool skipDisabled) {
    std::vector<HWND> list = ArrangeOrder(client, skipDisabled);
    int n = static_cast<int>(list.size());
    if (n == 0)
        return;
    // Top of the z-order first: the active window takes the first place.
    std::reverse(list.begin(), list.end());
    TRect area = ClientArea(client, true);
    int groups = n <= 3 ? n : static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
    int base = n / groups, extra = n % groups;
    int index = 0;
    for (int g = 0; g < groups; ++g) {
        int count = base + (g >= groups - extra ? 1 : 0);
        for (int i = 0; i < count; ++i, ++index) {
            TRect r;
            if (horizontal) {
                int top = area.Top + area.Height() * g / groups,
                    bottom = area.Top + area.Height() * (g + 1) / groups;
                int left = area.Left + area.Width() * i / count,
                    right = area.Left + area.Width() * (i + 1) / count;
                r = TRect(left, top, right, bottom);
            } else {
                int left = area.Left + area.Width() * g / groups,
                    right = area.Left + area.Width() * (g + 1) / groups;
                int top = area.Top + area.Height() * i / count,
                    bottom = area.Top + area.Height() * (i + 1) / count;
                r = TRect(left, top, right, bottom);
            }
            SetWindowPos(list[index], nullptr, r.Left, r.Top, r.Width(), r.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

LRESULT MdiClientProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TMdiState& st = States()[wnd];
    if (st.Active && !IsWindow(st.Active))
        st.Active = nullptr;
    switch (msg) {
    case WM_MDIACTIVATE:
        if (HWND child = reinterpret_cast<HWND>(wParam); child && GetParent(child) == wnd) {
            if (!IsWindowVisible(child))
                ShowWindow(child, SW_SHOWNA);
            Activate(wnd, child);
        }
        return 0;
    case WM_MDIGETACTIVE:
        if (lParam)
            *reinterpret_cast<bool*>(lParam) = st.Active && IsZoomed(st.Active);
        return reinterpret_cast<LRESULT>(st.Active);
    case WM_MDINEXT: {
        HWND from = wParam ? reinterpret_cast<HWND>(wParam) : st.Active;
        std::vector<HWND> list = MdiChildWindows(wnd);
        if (list.size() < 2 || !from)
            return 0;
        auto it = std::find(list.begin(), list.end(), from);
        if (it == list.end())
            return 0;
        HWND target;
        if (lParam == 0)
            target = (it + 1) != list.end() ? *(it + 1) : list.front();
        else
            target = list.back();
        bool wasActive = from == st.Active;
        Activate(wnd, target);
        if (lParam == 0 && wasActive && IsWindow(from))
            SetWindowPos(from, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (HWND f = GetFocus();
            GetActiveWindow() == GetAncestorRoot(wnd) && (!f || !IsChild(target, f)) && f != target)
            SetFocus(target);
        return 0;
    }
    case WM_MDICASCADE:
        Cascade(wnd, (wParam & MDITILE_SKIPDISABLED) != 0);
        return 1;
    case WM_MDITILE:
        Tile(wnd, (wParam & MDITILE_HORIZONTAL) != 0, (wParam & MDITILE_SKIPDISABLED) != 0);
        return 1;
    case WM_MDIICONARRANGE:
        ArrangeIconsOf(wnd);
        return 0;
    case WM_MDIMAXIMIZE:
        if (HWND child = reinterpret_cast<HWND>(wParam); child && GetParent(child) == wnd) {
            ShowWindow(child, SW_MAXIMIZE);
            Activate(wnd, child);
        }
        return 0;
    case WM_MDIRESTORE:
        if (HWND child = reinterpret_cast<HWND>(wParam); child && GetParent(child) == wnd)
            ShowWindow(child, SW_RESTORE);
        return 0;
    case WM_MDIDESTROY:
        if (HWND child = reinterpret_cast<HWND>(wParam); child && GetParent(child) == wnd)
            DestroyWindow(child);
        return 0;
    case WM_MDIREFRESHMENU:
    case WM_MDISETMENU:
        return 0;
    case WM_SIZE: {
        for (HWND h : MdiChildWindows(wnd, false))
            if (IsZoomed(h)) {
                // Maximised children follow the client's size.
                ShowWindow(h, SW_RESTORE);
                ShowWindow(h, SW_MAXIMIZE);
            }
        ArrangeIconsOf(wnd);
        return DefWindowProc(wnd, msg, wParam, lParam);
    }
    case WM_NCDESTROY:
        States().erase(wnd);
        return 0;
    default:
        return DefWindowProc(wnd, msg, wParam, lParam);
    }
}

} // namespace

void RegisterMdiClientClass() {
    TWndClass cls;
    if (GetWindowClassInfo(MDICLIENT_CLASS, cls))
        return;
    cls.Name = MDICLIENT_CLASS;
    cls.WndProc = MdiClientProc;
    cls.Background = clAppWorkSpace;
    cls.Cursor = LoadCursor(IDC_ARROW);
    RegisterWindowClass(cls);
}

std::vector<HWND> MdiChildWindows(HWND client, bool visibleOnly) {
    std::vector<HWND> out;
    for (HWND h : GetChildWindows(client))
        if (IsMdiChild(h) && (!visibleOnly || (GetWindowLongPtr(h, GWL_STYLE) & WS_VISIBLE)))
            out.push_back(h);
    return out;
}

LRESULT DefMDIChildProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND client = GetParent(wnd);
    TMdiState& st = States()[client];
    switch (msg) {
    case WM_MOUSEACTIVATE:
        if (st.Active != wnd)
            Activate(client, wnd);
        return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_SETFOCUS:
        if (st.Active != wnd)
            Activate(client, wnd);
        return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MAXIMIZE:
            SendMessage(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(wnd), 0);
            return 0;
        case SC_RESTORE:
            if (IsIconic(wnd) && st.Active != wnd)
                Activate(client, wnd);
            ShowWindow(wnd, SW_RESTORE);
            return 0;
        case SC_MINIMIZE: {
            ShowWindow(wnd, SW_SHOWMINNOACTIVE);
            if (st.Active == wnd) {
                HWND next = nullptr;
                for (HWND h : MdiChildWindows(client))
                    if (h != wnd && !IsIconic(h) && IsWindowEnabled(h)) {
                        next = h;
                        break;
                    }
                if (next)
                    Activate(client, next);
            }
            return 0;
        }
        case SC_NEXTWINDOW:
            SendMessage(client, WM_MDINEXT, reinterpret_cast<WPARAM>(wnd), 0);
            return 0;
        case SC_PREVWINDOW:
            SendMessage(client, WM_MDINEXT, reinterpret_cast<WPARAM>(wnd), 1);
            return 0;
        default:
            return DefWindowProc(wnd, msg, wParam, lParam);
        }
    case WM_SHOWWINDOW:
        if (!wParam && st.Active == wnd) {
            HWND next = NextAfter(client, wnd);
            st.Active = nullptr;
            Activate(client, next);
            st.Active = next;
        }
        if (!wParam)
            UpdateFrameTitle(client, wnd);
        return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED: // shown again or moved in the z-order
    case WM_SETTEXT: {
        LRESULT r = DefWindowProc(wnd, msg, wParam, lParam);
        UpdateFrameTitle(client, nullptr);
        return r;
    }
    case WM_DESTROY:
        UpdateFrameTitle(client, wnd);
        if (st.Active == wnd) {
            HWND next = NextAfter(client, wnd);
            st.Active = nullptr;
            if (next) {
                Activate(client, next);
                HWND frame = GetParent(client);
                if (frame && GetActiveWindow() == GetAncestorRoot(frame))
                    SetFocus(next);
            }
        }
        return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_GETMINMAXINFO:
        return DefWindowProc(wnd, msg, wParam, lParam);
    default:
        return DefWindowProc(wnd, msg, wParam, lParam);
    }
}

} // namespace plat
