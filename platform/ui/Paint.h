// Painting windows: invalid regions, WM_PAINT with BeginPaint/EndPaint, device contexts for drawing
// outside a paint, scrolling window contents, and immediate repaints. Every top-level window draws into
// a backing image of its own that the display shows, so painting never flickers.
#pragma once

#include <memory>

#include "platform/gfx/DeviceContext.h"
#include "platform/ui/Window.h"

namespace plat {

class TImageSurface;

struct TPaintStruct {
    HDC hdc = nullptr;
    bool fErase = false; // the background still needs erasing (WM_ERASEBKGND answered 0)
    TRect rcPaint;       // bounds of the area to paint, client coordinates
};

// Adds a rectangle (client coordinates; null: the whole client area) to the window's invalid region.
bool InvalidateRect(HWND wnd, const TRect* rect, bool erase);
bool InvalidateRgn(HWND wnd, const TRegion* region, bool erase);
bool ValidateRect(HWND wnd, const TRect* rect);
bool ValidateRgn(HWND wnd, const TRegion* region);
// Bounds of the invalid region; answers whether it is not empty.
bool GetUpdateRect(HWND wnd, TRect* rect, bool erase);
int GetUpdateRgn(HWND wnd, TRegion& region, bool erase);
// Sends WM_PAINT now when the window has an invalid region (not its children).
bool UpdateWindow(HWND wnd);

inline constexpr uint32_t RDW_INVALIDATE = 0x0001;
inline constexpr uint32_t RDW_INTERNALPAINT = 0x0002;
inline constexpr uint32_t RDW_ERASE = 0x0004;
inline constexpr uint32_t RDW_VALIDATE = 0x0008;
inline constexpr uint32_t RDW_NOINTERNALPAINT = 0x0010;
inline constexpr uint32_t RDW_NOERASE = 0x0020;
inline constexpr uint32_t RDW_NOCHILDREN = 0x0040;
inline constexpr uint32_t RDW_ALLCHILDREN = 0x0080;
inline constexpr uint32_t RDW_UPDATENOW = 0x0100;
inline constexpr uint32_t RDW_ERASENOW = 0x0200;
inline constexpr uint32_t RDW_FRAME = 0x0400;
inline constexpr uint32_t RDW_NOFRAME = 0x0800;
bool RedrawWindow(HWND wnd, const TRect* rect, const TRegion* region, uint32_t flags);

// WM_ERASEBKGND is sent from BeginPaint when the invalid region asked for erasing.
HDC BeginPaint(HWND wnd, TPaintStruct& ps);
bool EndPaint(HWND wnd, const TPaintStruct& ps);

// A device context on the client area (GetDC) or the whole window (GetWindowDC), clipped to what of the
// window is visible. Give it back with ReleaseDC; what was drawn is shown then.
HDC GetDC(HWND wnd);
HDC GetWindowDC(HWND wnd);
int ReleaseDC(HWND wnd, HDC dc);

// Flags of GetDCEx: clip to the given region (intersect) besides the visible area.
inline constexpr uint32_t DCX_WINDOW = 0x1;
inline constexpr uint32_t DCX_CACHE = 0x2;
inline constexpr uint32_t DCX_CLIPCHILDREN = 0x8;
inline constexpr uint32_t DCX_CLIPSIBLINGS = 0x10;
inline constexpr uint32_t DCX_INTERSECTRGN = 0x80;
HDC GetDCEx(HWND wnd, const TRegion* clip, uint32_t flags);

inline constexpr uint32_t SW_SCROLLCHILDREN = 0x1;
inline constexpr uint32_t SW_INVALIDATE = 0x2;
inline constexpr uint32_t SW_ERASE = 0x4;
// Moves the pixels of the scroll rectangle (client coordinates; null: the client area) by dx, dy,
// clipped to clip, and invalidates what is uncovered (with SW_INVALIDATE). Answers the region kind.
int ScrollWindowEx(HWND wnd, int dx, int dy, const TRect* scroll, const TRect* clip, TRegion* updateRgn,
                   TRect* updateRect, uint32_t flags);
bool ScrollWindow(HWND wnd, int dx, int dy, const TRect* scroll, const TRect* clip);

// Shows what was drawn since the last call in every top-level window (the loop does it before it waits).
void FlushWindowPaint();

// The backing image of a top-level window (null for child or hidden windows); what tests look at.
const TImageSurface* GetWindowImage(HWND topLevel);

// Draws the default frame and caption of a window into a window device context (the default WM_NCPAINT).
void DrawWindowFrame(HWND wnd, HDC windowDC);

} // namespace plat
