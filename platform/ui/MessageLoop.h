// Sending and posting messages, the queue the event loop takes them from, timers and message hooks.
// Posted messages and synchronized calls of other threads wake a waiting loop.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/ui/Messages.h"

namespace plat {

// Calls the window procedure and answers its result; 0 for a window that does not exist. From another
// thread the call runs on the GUI thread while the caller waits.
LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Queues the message for the window (null: for the GUI thread itself). Callable from any thread.
bool PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Makes the next GetMessage answer WM_QUIT once the queue has no other posted message.
void PostQuitMessage(int exitCode);

inline constexpr uint32_t PM_NOREMOVE = 0;
inline constexpr uint32_t PM_REMOVE = 1;

// Takes the next message: posted and input messages in order, then synchronized calls of other threads
// (run here), then WM_PAINT for windows with invalid parts, then WM_TIMER for due timers. A window
// filter (with its children) and a message range (0, 0: all) narrow the search.
bool PeekMessage(TMsg& msg, HWND wnd, UINT filterMin, UINT filterMax, uint32_t remove);
// Waits for a message; answers false for WM_QUIT.
bool GetMessage(TMsg& msg, HWND wnd, UINT filterMin, UINT filterMax);
// Waits until a message or a due timer arrives.
void WaitMessage();
// Queues the characters of a key press (WM_CHAR / WM_SYSCHAR, one per code point).
bool TranslateMessage(const TMsg& msg);
LRESULT DispatchMessage(const TMsg& msg);
// Whether messages are pending (posted, input, paint or due timers).
bool HasPendingMessages();

// Timers: WM_TIMER (wParam = id, lParam = the procedure) posted when due and no other message waits.
// A due timer is announced once however late it is; the next one is due an interval after that.
using TTimerProc = void (*)(HWND, UINT, uintptr_t, uint32_t);
// Replaces a timer of the same window and id. Intervals below 1 ms count as 1 ms. For a null window a
// new id is made and answered.
uintptr_t SetTimer(HWND wnd, uintptr_t id, uint32_t interval, TTimerProc proc = nullptr);
bool KillTimer(HWND wnd, uintptr_t id);

// Message hooks of the GUI thread.
inline constexpr int WH_MSGFILTER = -1;
inline constexpr int WH_GETMESSAGE = 3;
inline constexpr int WH_CALLWNDPROC = 4;
inline constexpr int WH_KEYBOARD = 2;
inline constexpr int WH_MOUSE = 7;
// Hook codes: HC_ACTION for the get-message hook, MSGF_* for message filters.
inline constexpr int HC_ACTION = 0;
inline constexpr int MSGF_DIALOGBOX = 0;
inline constexpr int MSGF_MENU = 2;
inline constexpr int MSGF_SCROLLBAR = 5;
inline constexpr int MSGF_NEXTWINDOW = 6;
struct THookHandle;
using HHOOK = THookHandle*;
// For WH_GETMESSAGE wParam is PM_REMOVE or PM_NOREMOVE and lParam points to the TMsg (which the hook
// may change); for WH_MSGFILTER lParam points to the TMsg; for WH_CALLWNDPROC lParam points to a
// TCwpStruct. Hooks are called newest first; each decides whether to call the next.
using THookProc = std::function<LRESULT(int code, WPARAM wParam, LPARAM lParam)>;
struct TCwpStruct {
    LPARAM lParam;
    WPARAM wParam;
    UINT message;
    HWND hwnd;
};
HHOOK SetWindowsHookEx(int kind, THookProc proc);
bool UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
// Offers the message to the message-filter hooks; answers whether one consumed it.
bool CallMsgFilter(TMsg& msg, int code);

// The time (GetTickCount) and pointer position of the last message taken from the queue.
uint32_t GetMessageTime();
TPoint GetMessagePos();

} // namespace plat
