// The window system's own state, shared by its implementation files (not for use outside platform/ui).
#pragma once

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/backend/Backend.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Surface.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Window.h"

namespace plat {

struct TIconHandle;

struct THookHandle {
    int Kind = 0;
    THookProc Proc;
    bool Removed = false;
};

namespace detail {

struct TSubclassChain;

// Marks the release of a menu key that was pressed alone (the keyboard menu command).
constexpr LPARAM KF_MENUALONE_BIT = 1 << 25;

// One of a window's own scroll bars (horizontal or vertical).
struct TScrollState {
    int Min = 0;
    int Max = 100;
    int Page = 0;
    int Pos = 0;
    int TrackPos = 0;
    bool Tracking = false; // the thumb is being dragged
    uint32_t Disabled = 0; // ESB_DISABLE_* bits
    int PressedPart = 0;   // the part held down while tracking (0: none), for drawing
};

struct TWindow {
    HWND Handle = nullptr;
    bool IsDesktop = false;
    TWindow* Parent = nullptr; // the desktop for top-level windows
    TWindow* Owner = nullptr;
    std::vector<TWindow*> Children; // front first
    TWndClass Class;
    uint32_t Style = 0;
    uint32_t ExStyle = 0;
    TRect Bounds; // window rectangle in parent client coordinates
    TRect Client; // client rectangle relative to the window rectangle's origin
    std::string Text;
    TWndProc Proc = nullptr;
    LONG_PTR UserData = 0;
    LONG_PTR Id = 0;
    void* Object = nullptr;
    std::optional<TRegion> Region; // window coordinates
    TRegion Update;                // client coordinates
    bool Erase = false;
    bool FrameDirty = false;
    bool InternalPaint = false;
    bool Destroying = false;
    bool Created = false;
    std::optional<TRect> Restored;
    bool NcActive = false; // the caption shows the active look
    uint8_t Alpha = 255;
    TColor LayerKey = clNone;
    uint32_t LayerFlags = 0;
    TScrollState Scroll[2];                     // SB_HORZ, SB_VERT
    std::shared_ptr<TSubclassChain> Subclasses; // message filters (WindowFilter.cpp)
    const TIconHandle* IconBig = nullptr;       // WM_SETICON; the caller keeps them alive while they are set
    const TIconHandle* IconSmall = nullptr;
    // Shown after the text in the title (an MDI frame names its maximised child so).
    std::string TitleSuffix;
    // Top-level windows only.
    TNativeWindow Native = 0;
    std::unique_ptr<TImageSurface> Backing;
    TRegion Dirty; // window coordinates, drawn but not shown yet

    bool IsTopLevel() const { return Parent && Parent->IsDesktop; }
    bool IsChild() const { return (Style & WS_CHILD) != 0 && !IsTopLevel(); }
    bool Visible() const { return (Style & WS_VISIBLE) != 0; }
    bool Enabled() const { return (Style & WS_DISABLED) == 0; }
};

// A device context on a window: it draws into the top-level window's backing image at the window's
// origin and never outside the window's visible area, whatever clipping the caller selects. Clip
// regions the caller selects count from the window's origin, as device coordinates of a window do.
class TWindowDC : public TDeviceContext {
public:
    TWindowDC(HWND wnd, TDrawSurface* surface, TPoint origin, TRegion visible)
        : TDeviceContext(surface), FWnd(wnd), FOrigin(origin), FVisible(std::move(visible)) {
        TDeviceContext::SetViewportOrgEx(origin.X, origin.Y);
        Apply();
    }

    HWND Wnd() const { return FWnd; }
    const TRegion& Visible() const { return FVisible; }
    TPoint DeviceOrigin() const override { return FOrigin; }
    // The window is gone: drawing goes nowhere from now on.
    void Orphan(TDrawSurface* nowhere) {
        FWnd = nullptr;
        SetSurface(nowhere);
        FVisible = TRegion();
        FApp.reset();
        Apply();
    }

    TPoint SetViewportOrgEx(int x, int y) override {
        TPoint old = TDeviceContext::SetViewportOrgEx(x + FOrigin.X, y + FOrigin.Y);
        return TPoint(old.X - FOrigin.X, old.Y - FOrigin.Y);
    }
    int SelectClipRgn(const TRegion* region) override {
        if (region) {
            TRegion r = *region;
            r.Offset(FOrigin.X, FOrigin.Y);
            FApp = std::move(r);
        } else {
            FApp.reset();
        }
        return Apply();
    }
    int ExtSelectClipRgn(const TRegion* region, int mode) override {
        if (mode == RGN_COPY || !region)
            return SelectClipRgn(mode == RGN_COPY ? region : nullptr);
        TRegion r = *region;
        r.Offset(FOrigin.X, FOrigin.Y);
        TRegion result;
        result.Combine(Current(), r, mode);
        FApp = std::move(result);
        return Apply();
    }
    bool SelectClipPath(int mode) override {
        if (mode < RGN_AND || mode > RGN_COPY)
            return false;
        TRegion region;
        if (!PathToRegion(region))
            return false;
        // The path comes out in surface pixels; regions selected here count from the window's origin.
        region.Offset(-FOrigin.X, -FOrigin.Y);
        return ExtSelectClipRgn(&region, mode) != RGN_ERROR;
    }
    int IntersectClipRect(int left, int top, int right, int bottom) override {
        TRect r = LPtoDP(TRect(left, top, right, bottom));
        TRegion result;
        result.Combine(Current(), TRegion(r), RGN_AND);
        FApp = std::move(result);
        return Apply();
    }
    int ExcludeClipRect(int left, int top, int right, int bottom) override {
        TRect r = LPtoDP(TRect(left, top, right, bottom));
        TRegion result;
        result.Combine(Current(), TRegion(r), RGN_DIFF);
        FApp = std::move(result);
        return Apply();
    }
    int OffsetClipRgn(int dx, int dy) override {
        if (FApp)
            FApp->Offset(dx, dy);
        return Apply();
    }
    int SaveDC() override {
        FSaved.push_back(FApp);
        return TDeviceContext::SaveDC();
    }
    bool RestoreDC(int level) override {
        int count = static_cast<int>(FSaved.size());
        int index = level > 0 ? level - 1 : count + level;
        if (index < 0 || index >= count)
            return false;
        if (!TDeviceContext::RestoreDC(level))
            return false;
        FApp = FSaved[index];
        FSaved.resize(index);
        Apply();
        return true;
    }

private:
    // The caller's clip, or everything the window shows when it has none.
    TRegion Current() const { return FApp ? *FApp : FVisible; }
    int Apply() {
        TRegion clip;
        if (FApp)
            clip.Combine(*FApp, FVisible, RGN_AND);
        else
            clip = FVisible;
        return TDeviceContext::SelectClipRgn(&clip);
    }

    HWND FWnd;
    TPoint FOrigin;
    TRegion FVisible;
    std::optional<TRegion> FApp;
    std::vector<std::optional<TRegion>> FSaved;
};

struct TTimer {
    HWND Wnd = nullptr;
    uintptr_t Id = 0;
    uint32_t Interval = 0;
    uint64_t Due = 0;
    TTimerProc Proc = nullptr;
    bool Queued = false; // a WM_TIMER for it waits in the queue
};

struct TState {
    std::unique_ptr<TBackend> Backend;
    TWindow Desktop;
    TWindow MessageRoot; // parent of message-only windows
    std::unordered_map<HWND, std::unique_ptr<TWindow>> Windows;
    uintptr_t NextHandle = 0x10000;
    std::map<std::string, TWndClass> Classes; // upper-case names

    // Input.
    HWND Focus = nullptr;
    HWND Active = nullptr;
    HWND Capture = nullptr;
    bool AppActive = false;
    TPoint Pointer;
    HWND PointerWindow = nullptr; // window under the pointer at the last move
    int PointerHit = HTNOWHERE;
    HWND TrackLeave = nullptr; // TrackMouseEvent(TME_LEAVE)
    bool TrackNonClient = false;
    HCURSOR Cursor = nullptr;
    std::array<uint8_t, 256> KeyState{}; // 0x80 down, 0x01 toggled
    std::array<uint8_t, 256> AsyncState{};
    uint32_t LastClickTime = 0;
    TPoint LastClickPos;
    int LastClickButton = -1;
    HWND LastClickWnd = nullptr;
    bool LastClickWasDouble = false;
    uint32_t DoubleClickTime = 500;
    bool AltAlone = false;       // Alt went down and no other key followed (menu key on release)
    bool ButtonsGrabbed = false; // the display holds a pointer grab for the capture
    bool InConfigure = false;    // applying a change the display made: do not echo it back
    bool CursorCheckPending = false;
    bool DeactivatePending = false; // the display took the focus away; confirmed unless it comes back

    // Queue. Posted messages may come from any thread.
    std::mutex PostLock;
    std::deque<TMsg> Posted;
    bool QuitPosted = false;
    int QuitCode = 0;
    std::deque<TMsg> InputQueue;         // GUI thread only
    std::deque<TBackendEvent> RawEvents; // taken from the backend, turned into messages one by one
    std::vector<TTimer> Timers;
    uintptr_t NextTimerId = 0x7F00;
    std::vector<std::unique_ptr<THookHandle>> Hooks;
    uint32_t MessageTime = 0;
    TPoint MessagePos;
    int InSendDepth = 0;

    // Painting.
    std::vector<std::unique_ptr<TWindowDC>> DCs;
    std::vector<HWND> DirtyTops;
};

// The state, creating it (and choosing a backend) on first use.
TState& S();
// The state when it exists.
TState* SP();
TWindow* Find(HWND wnd);
TBackend& Backend();

// Geometry helpers (Window.cpp).
TPoint ClientOriginOnScreen(const TWindow* w);
TPoint WindowOriginOnScreen(const TWindow* w);
// Offset of a window's origin within its top-level window's origin.
TPoint WindowOriginInTop(const TWindow* w);
TWindow* TopOf(TWindow* w);
bool IsVisibleChain(const TWindow* w);
bool IsDescendant(const TWindow* ancestor, const TWindow* w);
// The client rectangle the default non-client handling gives a window of that style and bounds.
TRect DefaultClientRect(const TWindow* w, const TRect& bounds);
void RecalcClient(TWindow* w);
// The window's area (window rectangle and region) in its top-level window's coordinates, clipped by
// its ancestors' client areas and by the siblings above it and above its ancestors.
TRegion VisibleRegion(const TWindow* w, bool clientOnly, bool clipChildren);
bool PointInWindow(const TWindow* w, TPoint screenPos);

// The title a window shows: its text and the suffix.
inline std::string ShownTitle(const TWindow* w) {
    return w->Text + w->TitleSuffix;
}
void SetTitleSuffix(TWindow* w, const std::string& suffix);
// Hands a top-level window's icons and shape to its native window.
void ApplyNativeIcon(TWindow* w);
void ApplyNativeShape(TWindow* w);

// Painting helpers (Paint.cpp).
void InvalidateArea(TWindow* w, const TRegion& area, bool erase, bool children);
void InvalidateParentArea(TWindow* w, const TRect& boundsInParent);
void MarkDirty(TWindow* top, const TRegion& windowArea);
void EnsureBacking(TWindow* top);
void DropWindowDCs(HWND wnd);
bool NeedsPaint(const TWindow* w);
// The next window (pre-order, bottom sibling first) that needs WM_PAINT, within `root` when given.
TWindow* NextPaintWindow(TWindow* root);

// Input helpers (Input.cpp).
void TranslateBackendEvent(const TBackendEvent& e);
// Moves the backend's events into RawEvents (and runs the pending checks).
void PumpBackend();
// Turns raw events into input messages until one is queued: routing is decided when input is taken,
// so a capture set by the handler of a press already counts for the moves behind it.
void TranslatePending();
void WindowGoingAway(TWindow* w);
void UpdateCursorForPointer();
void ActivateAfterHide(TWindow* w);
// The mouse buttons count as released (the window manager took over a press).
void ForgetButtons();

// Loop helpers (MessageLoop.cpp).
void KillWindowTimers(HWND wnd);
void QueueInput(TMsg msg);
void InstallWakeHook();

// The parts of the default frame, in window coordinates (DefWindowProc.cpp).
struct TFrameGeometry {
    int Border = 0;          // frame thickness
    bool ThickFrame = false; // the frame can be dragged to size the window
    TRect Caption;           // empty without a caption
    TRect CloseButton, MaxButton, MinButton, SysMenu;
    TRect ClientEdge; // the rectangle around which a client edge is drawn, empty without one
    TRect VScroll, HScroll, SizeBox;
};
TFrameGeometry FrameGeometryOf(const TWindow* w);

// A window's own scroll bar, in window coordinates (WindowScroll.cpp).
enum TScrollPart { spNone = 0, spLineUp, spPageUp, spThumb, spPageDown, spLineDown };
struct TScrollParts {
    TRect Bar, Up, Down, Thumb; // Thumb empty: nothing to drag
    int TrackLength = 0;        // between the arrows
    int ThumbLength = 0;
    bool Enabled = false;
};
TScrollParts ScrollPartsOf(const TWindow* w, int bar);
int ScrollPartAt(const TScrollParts& parts, int bar, TPoint windowPos);
void DrawScrollBar(HDC dc, const TWindow* w, int bar);
// Follows a press on a scroll bar until the release, sending WM_HSCROLL or WM_VSCROLL.
void RunScrollTrack(HWND wnd, int bar, TPoint startScreen);

// Default handling helpers (DefWindowProc.cpp).
int DefaultHitTest(TWindow* w, TPoint screenPos);
void RunMoveSizeLoop(HWND wnd, int hit, TPoint startScreen);

// The default window procedure of the desktop and of hidden helper windows.
LRESULT NullWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Upper-case copy for case-free names.
std::string UpperName(const std::string& s);

} // namespace detail
} // namespace plat
