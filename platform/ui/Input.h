// Keyboard and mouse state of the GUI thread: focus, activation, capture, key states, hover tracking,
// the pointer position and the cursor.
#pragma once

#include <cstdint>

#include "platform/ui/Keys.h"
#include "platform/ui/Window.h"

namespace plat {

// Focus: WM_KILLFOCUS to the old window and WM_SETFOCUS to the new one; the new one's top-level window
// is activated first. Answers the window that had the focus.
HWND SetFocus(HWND wnd);
HWND GetFocus();

// Activation of top-level windows: WM_NCACTIVATE and WM_ACTIVATE to the old and the new window,
// WM_ACTIVATEAPP when the program gains or loses activation as a whole.
HWND SetActiveWindow(HWND wnd);
HWND GetActiveWindow();
bool SetForegroundWindow(HWND wnd);
HWND GetForegroundWindow();

// Mouse capture: every mouse message goes to the capturing window; the window that loses the capture
// gets WM_CAPTURECHANGED (lParam = the new capture window).
HWND SetCapture(HWND wnd);
bool ReleaseCapture();
HWND GetCapture();

// Key states: bit 0x8000 while the key is down, bit 1 toggled by each press. The key states follow the
// messages as they are taken from the queue; the asynchronous form follows the input as it arrives.
int16_t GetKeyState(int vk);
int16_t GetAsyncKeyState(int vk);
// The modifier state of a keyboard message, MK_* bits of the mouse messages.
uint32_t GetMouseKeyFlags();

// Hover tracking: TME_LEAVE posts WM_MOUSELEAVE once the pointer leaves the window's client area.
inline constexpr uint32_t TME_HOVER = 1;
inline constexpr uint32_t TME_LEAVE = 2;
inline constexpr uint32_t TME_NONCLIENT = 0x10;
inline constexpr uint32_t TME_QUERY = 0x40000000;
inline constexpr uint32_t TME_CANCEL = 0x80000000;
struct TTrackMouseEvent {
    uint32_t dwFlags = 0;
    HWND hwndTrack = nullptr;
    uint32_t dwHoverTime = 0;
};
bool TrackMouseEvent(TTrackMouseEvent& track);

bool GetCursorPos(TPoint& p);
// Moves the pointer and sends the mouse messages the move causes.
bool SetCursorPos(int x, int y);
// The cursor shown now; answers the previous one. Null hides the cursor.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

// Double-click limits.
uint32_t GetDoubleClickTime();
void SetDoubleClickTime(uint32_t ms);

} // namespace plat
