// Windows in a tree: top-level, child, popup and tool windows with their styles, bounds in parent
// client coordinates, z-order, text, regions and replaceable window procedures. All calls belong to the
// GUI thread, except PostMessage and SendMessage (see MessageLoop.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/backend/DisplayError.h"
#include "platform/gfx/Region.h"
#include "platform/ui/Messages.h"

namespace plat {

struct TCursorHandle;
using HCURSOR = const TCursorHandle*;

// Window styles.
inline constexpr uint32_t WS_OVERLAPPED = 0x00000000;
inline constexpr uint32_t WS_POPUP = 0x80000000;
inline constexpr uint32_t WS_CHILD = 0x40000000;
inline constexpr uint32_t WS_MINIMIZE = 0x20000000;
inline constexpr uint32_t WS_VISIBLE = 0x10000000;
inline constexpr uint32_t WS_DISABLED = 0x08000000;
inline constexpr uint32_t WS_CLIPSIBLINGS = 0x04000000;
inline constexpr uint32_t WS_CLIPCHILDREN = 0x02000000;
inline constexpr uint32_t WS_MAXIMIZE = 0x01000000;
inline constexpr uint32_t WS_BORDER = 0x00800000;
inline constexpr uint32_t WS_DLGFRAME = 0x00400000;
inline constexpr uint32_t WS_CAPTION = 0x00C00000;
inline constexpr uint32_t WS_VSCROLL = 0x00200000;
inline constexpr uint32_t WS_HSCROLL = 0x00100000;
inline constexpr uint32_t WS_SYSMENU = 0x00080000;
inline constexpr uint32_t WS_THICKFRAME = 0x00040000;
inline constexpr uint32_t WS_GROUP = 0x00020000;
inline constexpr uint32_t WS_TABSTOP = 0x00010000;
inline constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;
inline constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000;
inline constexpr uint32_t WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
inline constexpr uint32_t WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;

// Extended styles.
inline constexpr uint32_t WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr uint32_t WS_EX_TOPMOST = 0x00000008;
inline constexpr uint32_t WS_EX_ACCEPTFILES = 0x00000010;
inline constexpr uint32_t WS_EX_TRANSPARENT = 0x00000020;
inline constexpr uint32_t WS_EX_MDICHILD = 0x00000040;
inline constexpr uint32_t WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr uint32_t WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr uint32_t WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr uint32_t WS_EX_CONTEXTHELP = 0x00000400;
inline constexpr uint32_t WS_EX_CONTROLPARENT = 0x00010000;
inline constexpr uint32_t WS_EX_STATICEDGE = 0x00020000;
inline constexpr uint32_t WS_EX_APPWINDOW = 0x00040000;
inline constexpr uint32_t WS_EX_LAYERED = 0x00080000;
inline constexpr uint32_t WS_EX_NOACTIVATE = 0x08000000;

// Class styles.
inline constexpr uint32_t CS_VREDRAW = 0x0001;
inline constexpr uint32_t CS_HREDRAW = 0x0002;
inline constexpr uint32_t CS_DBLCLKS = 0x0008;
inline constexpr uint32_t CS_SAVEBITS = 0x0800;
inline constexpr uint32_t CS_DROPSHADOW = 0x00020000;

// Window longs.
inline constexpr int GWL_WNDPROC = -4;
inline constexpr int GWL_ID = -12;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWL_USERDATA = -21;
inline constexpr int GWL_HWNDPARENT = -8;

// GetWindow relations.
inline constexpr int GW_HWNDFIRST = 0;
inline constexpr int GW_HWNDLAST = 1;
inline constexpr int GW_HWNDNEXT = 2;
inline constexpr int GW_HWNDPREV = 3;
inline constexpr int GW_OWNER = 4;
inline constexpr int GW_CHILD = 5;

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_NORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;

// SetWindowPos flags.
inline constexpr uint32_t SWP_NOSIZE = 0x0001;
inline constexpr uint32_t SWP_NOMOVE = 0x0002;
inline constexpr uint32_t SWP_NOZORDER = 0x0004;
inline constexpr uint32_t SWP_NOREDRAW = 0x0008;
inline constexpr uint32_t SWP_NOACTIVATE = 0x0010;
inline constexpr uint32_t SWP_FRAMECHANGED = 0x0020;
inline constexpr uint32_t SWP_SHOWWINDOW = 0x0040;
inline constexpr uint32_t SWP_HIDEWINDOW = 0x0080;
inline constexpr uint32_t SWP_NOCOPYBITS = 0x0100;
inline constexpr uint32_t SWP_NOOWNERZORDER = 0x0200;
inline constexpr uint32_t SWP_NOSENDCHANGING = 0x0400;

// Insert-after handles of SetWindowPos.
inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// The record WM_WINDOWPOSCHANGING and WM_WINDOWPOSCHANGED point to (lParam).
struct TWindowPos {
    HWND hwnd = nullptr;
    HWND hwndInsertAfter = nullptr;
    int x = 0, y = 0, cx = 0, cy = 0;
    uint32_t flags = 0;
};

// The record WM_GETMINMAXINFO points to.
struct TMinMaxInfo {
    TPoint ptMaxSize;
    TPoint ptMaxPosition;
    TPoint ptMinTrackSize;
    TPoint ptMaxTrackSize;
};

// The record WM_NCCALCSIZE points to: in, the window rectangle (parent client coordinates); out, the
// client rectangle in the same coordinates.
struct TNCCalcSizeParams {
    TRect rgrc[3];
};

// The record WM_CREATE and WM_NCCREATE point to.
struct TCreateStruct {
    void* lpCreateParams = nullptr;
    HWND hwndParent = nullptr;
    int x = 0, y = 0, cx = 0, cy = 0;
    uint32_t style = 0;
    uint32_t dwExStyle = 0;
    std::string lpszName;
    std::string lpszClass;
};

// A window class: procedure, class styles, cursor and background.
struct TWndClass {
    std::string Name;
    uint32_t Style = 0;
    TWndProc WndProc = nullptr;
    HCURSOR Cursor = nullptr;   // null: the arrow
    TColor Background = clNone; // erased with this colour by the default handling; clNone: not erased
};

// Registering a class name again replaces the old record (without case).
void RegisterWindowClass(const TWndClass& cls);
bool GetWindowClassInfo(const std::string& name, TWndClass& cls);
std::string GetClassName(HWND wnd);

// Creates a window. A parent makes a child window (WS_CHILD) or, for a top-level window, its owner.
// Raises EOutOfResources for an unknown class. WM_NCCREATE answering 0 or WM_CREATE answering -1
// destroys the window again and answers null.
HWND CreateWindowEx(uint32_t exStyle, const std::string& className, const std::string& text, uint32_t style,
                    int x, int y, int width, int height, HWND parent, intptr_t id, void* param = nullptr);
bool DestroyWindow(HWND wnd);
bool IsWindow(HWND wnd);

// The pseudo window that holds the top-level windows.
HWND GetDesktopWindow();
HWND GetParent(HWND wnd);       // the parent of a child, the owner of a top-level window
HWND GetAncestorRoot(HWND wnd); // the top-level window a window belongs to
HWND SetParent(HWND wnd, HWND newParent);
HWND GetWindow(HWND wnd, int relation);
HWND GetTopWindow(HWND parent);
bool IsChild(HWND parent, HWND wnd);
// Children front to back; top-level windows when parent is null or the desktop.
std::vector<HWND> GetChildWindows(HWND parent);
void EnumChildWindows(HWND parent, const std::function<bool(HWND)>& fn);

LONG_PTR GetWindowLongPtr(HWND wnd, int index);
// Style changes are announced with WM_STYLECHANGING/WM_STYLECHANGED; GWL_WNDPROC takes a TWndProc.
LONG_PTR SetWindowLongPtr(HWND wnd, int index, LONG_PTR value);
TWndProc GetWindowProc(HWND wnd);
TWndProc SetWindowProc(HWND wnd, TWndProc proc);
LRESULT CallWindowProc(TWndProc proc, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The object (a control) that created the window; the control layer's back link.
void* GetWindowObject(HWND wnd);
void SetWindowObject(HWND wnd, void* object);

bool SetWindowText(HWND wnd, const std::string& text);
std::string GetWindowText(HWND wnd);
int GetWindowTextLength(HWND wnd);

// Rectangles: the window rectangle in screen coordinates and the client rectangle from (0, 0).
bool GetWindowRect(HWND wnd, TRect& rect);
bool GetClientRect(HWND wnd, TRect& rect);
// The window rectangle in the parent's client coordinates (screen for top-level windows).
TRect GetWindowBounds(HWND wnd);
// The client rectangle relative to the window rectangle's top-left corner.
TRect GetClientInWindow(HWND wnd);
bool ClientToScreen(HWND wnd, TPoint& p);
bool ScreenToClient(HWND wnd, TPoint& p);
// Converts points from one window's client coordinates to another's (null: the screen).
void MapWindowPoints(HWND from, HWND to, TPoint* points, int count);

bool SetWindowPos(HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, uint32_t flags);
bool MoveWindow(HWND wnd, int x, int y, int width, int height, bool repaint);
bool BringWindowToTop(HWND wnd);
bool ShowWindow(HWND wnd, int cmd);
bool IsWindowVisible(HWND wnd); // visible itself and every ancestor
bool IsIconic(HWND wnd);
bool IsZoomed(HWND wnd);
bool EnableWindow(HWND wnd, bool enable);
bool IsWindowEnabled(HWND wnd);
// The window rectangle a minimised or maximised window goes back to.
bool GetRestoredBounds(HWND wnd, TRect& rect);
void SetRestoredBounds(HWND wnd, const TRect& rect);

// The region in window coordinates outside which the window is neither drawn nor hit; null removes it.
int SetWindowRgn(HWND wnd, const TRegion* region, bool redraw);
// 0 (no region) or the kind of the copied region.
int GetWindowRgn(HWND wnd, TRegion& region);

// Layered windows: the whole window drawn with the given opacity (LWA_ALPHA).
inline constexpr uint32_t LWA_COLORKEY = 1;
inline constexpr uint32_t LWA_ALPHA = 2;
bool SetLayeredWindowAttributes(HWND wnd, TColor key, uint8_t alpha, uint32_t flags);
bool GetLayeredWindowAttributes(HWND wnd, TColor* key, uint8_t* alpha, uint32_t* flags);

// The topmost visible, enabled-or-not window under a screen point (children included); hit testing
// with WM_NCHITTEST skips windows answering HTTRANSPARENT.
HWND WindowFromPoint(TPoint screenPos);
// The visible child of parent under the point (client coordinates of parent), parent itself when none
// is, null when the point lies outside parent.
inline constexpr uint32_t CWP_ALL = 0;
inline constexpr uint32_t CWP_SKIPINVISIBLE = 1;
inline constexpr uint32_t CWP_SKIPDISABLED = 2;
inline constexpr uint32_t CWP_SKIPTRANSPARENT = 4;
HWND ChildWindowFromPointEx(HWND parent, TPoint clientPos, uint32_t flags);
HWND ChildWindowFromPoint(HWND parent, TPoint clientPos);

// The client rectangle (from the window rectangle's origin) the default frame of that style leaves in a
// window of that size, for a top-level window or a child window.
TRect ClientRectOfStyle(uint32_t style, uint32_t exStyle, bool topLevel, TSize windowSize);

// Message-only windows: parent HWND_MESSAGE makes a window that is never shown and only takes messages.
inline const HWND HWND_MESSAGE = reinterpret_cast<HWND>(-3);

// The default handling of every message; window procedures pass what they do not handle here.
LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace plat
