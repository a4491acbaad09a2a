// The scroll bars a window carries in its frame (WS_HSCROLL, WS_VSCROLL): their range, page and position,
// showing and enabling them, and the clicks on them that become WM_HSCROLL and WM_VSCROLL.
#pragma once

#include <cstdint>

#include "platform/ui/Window.h"

namespace plat {

// Which bar.
inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_CTL = 2;
inline constexpr int SB_BOTH = 3;

// Scroll request codes (LOWORD of wParam of WM_HSCROLL and WM_VSCROLL).
inline constexpr int SB_LINEUP = 0;
inline constexpr int SB_LINELEFT = 0;
inline constexpr int SB_LINEDOWN = 1;
inline constexpr int SB_LINERIGHT = 1;
inline constexpr int SB_PAGEUP = 2;
inline constexpr int SB_PAGELEFT = 2;
inline constexpr int SB_PAGEDOWN = 3;
inline constexpr int SB_PAGERIGHT = 3;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;
inline constexpr int SB_TOP = 6;
inline constexpr int SB_LEFT = 6;
inline constexpr int SB_BOTTOM = 7;
inline constexpr int SB_RIGHT = 7;
inline constexpr int SB_ENDSCROLL = 8;

inline constexpr uint32_t SIF_RANGE = 0x1;
inline constexpr uint32_t SIF_PAGE = 0x2;
inline constexpr uint32_t SIF_POS = 0x4;
inline constexpr uint32_t SIF_DISABLENOSCROLL = 0x8;
inline constexpr uint32_t SIF_TRACKPOS = 0x10;
inline constexpr uint32_t SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

inline constexpr uint32_t ESB_ENABLE_BOTH = 0;
inline constexpr uint32_t ESB_DISABLE_LTUP = 1;
inline constexpr uint32_t ESB_DISABLE_RTDN = 2;
inline constexpr uint32_t ESB_DISABLE_BOTH = 3;

struct TScrollInfo {
    uint32_t fMask = 0;
    int nMin = 0;
    int nMax = 0;
    uint32_t nPage = 0;
    int nPos = 0;
    int nTrackPos = 0; // while the thumb is dragged: where it is
};

// The position is kept within Min .. Max - Page + 1 (Max with no page). Setting the range or the page
// shows the bar when there is something to scroll and hides it otherwise (with SIF_DISABLENOSCROLL it
// stays, disabled). Answers the position now.
int SetScrollInfo(HWND wnd, int bar, const TScrollInfo& info, bool redraw);
bool GetScrollInfo(HWND wnd, int bar, TScrollInfo& info);
// Answers the previous position.
int SetScrollPos(HWND wnd, int bar, int pos, bool redraw);
int GetScrollPos(HWND wnd, int bar);
// A range of one value (min == max) hides the bar.
bool SetScrollRange(HWND wnd, int bar, int min, int max, bool redraw);
bool GetScrollRange(HWND wnd, int bar, int& min, int& max);
bool ShowScrollBar(HWND wnd, int bar, bool show);
bool EnableScrollBar(HWND wnd, int bar, uint32_t arrows);
// Where a scroll request (SB_LINEUP … SB_THUMBPOSITION) moves Pos: a line or a page either way, First or
// Last, or where the thumb of the window's bar is being dragged. False for any other code (Pos unchanged).
bool ScrollRequestPosition(HWND wnd, int bar, int code, int line, int page, int first, int last, int& pos);

// Auto-repeat of a held scroll arrow or page area: the first repeat after this delay, the next ones at
// the interval (milliseconds).
inline constexpr uint32_t ScrollRepeatDelay = 400;
inline constexpr uint32_t ScrollRepeatInterval = 100;

} // namespace plat
