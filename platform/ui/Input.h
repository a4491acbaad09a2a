// Keyboard and mouse state of the GUI thread: focus, activation, capture, key states, hover tracking,
// the pointer position and the cursor.
#pragma once

#include <cstdint>
#include <span>

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

// Synthesised mouse input: it joins the display's input queue and runs the same way as real input (hit
// testing, capture, activation, double clicks). Moves are relative in pixels, or with
// MOUSEEVENTF_ABSOLUTE 0 to 65535 across the screen; the real pointer moves along. Buttons act at the
// pointer. The wheel takes mouseData (multiples of 120).
inline constexpr uint32_t MOUSEEVENTF_MOVE = 0x0001;
inline constexpr uint32_t MOUSEEVENTF_LEFTDOWN = 0x0002;
inline constexpr uint32_t MOUSEEVENTF_LEFTUP = 0x0004;
inline constexpr uint32_t MOUSEEVENTF_RIGHTDOWN = 0x0008;
inline constexpr uint32_t MOUSEEVENTF_RIGHTUP = 0x0010;
inline constexpr uint32_t MOUSEEVENTF_MIDDLEDOWN = 0x0020;
inline constexpr uint32_t MOUSEEVENTF_MIDDLEUP = 0x0040;
inline constexpr uint32_t MOUSEEVENTF_WHEEL = 0x0800;
inline constexpr uint32_t MOUSEEVENTF_HWHEEL = 0x1000;
inline constexpr uint32_t MOUSEEVENTF_ABSOLUTE = 0x8000;
struct TMouseInput {
    int dx = 0;
    int dy = 0;
    int mouseData = 0;
    uint32_t dwFlags = 0;
};
// Answers how many inputs were queued.
uint32_t SendInput(std::span<const TMouseInput> inputs);
void mouse_event(uint32_t flags, int dx, int dy, int data, uintptr_t extraInfo = 0);

// Double-click limits.
uint32_t GetDoubleClickTime();
void SetDoubleClickTime(uint32_t ms);

} // namespace plat
