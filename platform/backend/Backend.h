// The two narrow interfaces a display backend offers the window system: a display (native top-level
// windows, presenting their backing images, cursors, pointer grabs, the clipboard) and an event source
// (input and window-manager events, a wait with a time-out that other threads can cut short). All the
// rest — the window tree, messages, painting, focus, capture, timers, modal loops — sits above them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/rtl/Types.h"

namespace plat {

class TImageSurface;

// Names a native window of the backend; 0 is none.
using TNativeWindow = uint64_t;

// How a top-level window of the window tree wants its native window.
struct TNativeWindowSpec {
    TRect Bounds;         // screen rectangle of the whole window (the tree's window rectangle)
    TRect ClientInWindow; // client area within it, for displays that draw their own frames
    std::string Title;
    bool Popup = false;    // menus, hints, drop-downs: no frame, not managed, above everything
    bool Decorated = true; // asks the window manager for a title bar and frame
    bool Sizeable = true;
    bool ToolWindow = false; // floating palettes
    bool TopMost = false;
    bool Dialog = false;     // modal forms and dialog frames
    TNativeWindow Owner = 0; // transient-for
    TSize MinSize, MaxSize;  // zero: no limit
};

// Standard cursor shapes; custom cursors carry an image.
enum TCursorShape {
    csrArrow,
    csrCross,
    csrIBeam,
    csrWait,
    csrAppStarting,
    csrHandPoint,
    csrSizeAll,
    csrSizeNS,
    csrSizeWE,
    csrSizeNWSE,
    csrSizeNESW,
    csrHSplit,
    csrVSplit,
    csrNo,
    csrUpArrow,
    csrHelp,
    csrDrag,
    csrNoDrop,
    csrNone,
    csrCustom,
};

// A cursor as the backend draws it. Custom cursors: 32-bit ARGB pixels (non-premultiplied), row-major.
struct TCursorImage {
    TCursorShape Shape = csrArrow;
    int Width = 0;
    int Height = 0;
    TPoint HotSpot;
    std::vector<uint32_t> Pixels;
};

enum TBackendEventKind {
    bePointerMove,
    beButtonDown,
    beButtonUp,
    beWheel,
    beKeyDown,
    beKeyUp,
    beText,          // text committed by an input method without a key of its own
    beCloseRequest,  // the user closed a top-level window through the window manager
    beConfigure,     // the window manager moved or resized a top-level window
    beActivate,      // a top-level window gained (Active) or lost the keyboard focus
    beExpose,        // part of a native window must be shown again from its backing image
    bePointerLeave,  // the pointer left all windows of the program
    beStateChange,   // the window manager minimised, maximised or restored a window
    beClipboardLost, // another program took the clipboard
};

enum TMouseButtonCode { mbcLeft = 0, mbcRight = 1, mbcMiddle = 2 };

// Modifier bits that come with input events.
inline constexpr uint32_t modShift = 1;
inline constexpr uint32_t modControl = 2;
inline constexpr uint32_t modAlt = 4;

struct TBackendEvent {
    TBackendEventKind Kind = bePointerMove;
    TNativeWindow Window = 0; // the native window the event came through (0: decide by position)
    TPoint ScreenPos;         // pointer events: screen coordinates
    int Button = mbcLeft;     // button events
    int WheelDelta = 0;       // multiples of 120, positive away from the user
    bool Horizontal = false;  // a sideways wheel
    uint16_t VirtualKey = 0;  // key events
    bool Repeat = false;      // an auto-repeated key press
    std::string Text;         // key down and text events: the characters typed (UTF-8)
    uint32_t Modifiers = 0;
    TRect Rect;          // configure: new screen rectangle; expose: window-relative area
    bool Active = false; // activate
    int State = 0;       // state change: SIZE_RESTORED, SIZE_MINIMIZED or SIZE_MAXIMIZED
    uint32_t Time = 0;   // event time in milliseconds (0: take the clock)
};

// Clipboard contents as the backend exchanges them: MIME type to bytes.
using TClipboardData = std::map<std::string, std::vector<uint8_t>>;

// One size of a window icon: 32-bit ARGB pixels (non-premultiplied), row-major.
struct TIconImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
};

// Which edge or corner the window manager drags when it moves or sizes a window for us.
enum TMoveResizeEdge {
    mreTopLeft,
    mreTop,
    mreTopRight,
    mreRight,
    mreBottomRight,
    mreBottom,
    mreBottomLeft,
    mreLeft,
    mreMove,
};

// Toggled lock keys, as LockKeys reports them.
inline constexpr uint32_t lockCaps = 1;
inline constexpr uint32_t lockNum = 2;
inline constexpr uint32_t lockScroll = 4;

class IDisplay {
public:
    virtual ~IDisplay() = default;
    virtual const char* Name() const = 0;
    // Whether the window manager draws title bars and frames of decorated top-level windows itself;
    // then the window tree gives such windows no non-client area.
    virtual bool DrawsFrames() const = 0;
    virtual TRect ScreenRect() const = 0;
    virtual TRect WorkArea() const = 0;

    virtual TNativeWindow CreateWindow(const TNativeWindowSpec& spec) = 0;
    virtual void DestroyWindow(TNativeWindow w) = 0;
    virtual void ShowWindow(TNativeWindow w, bool show, bool activate) = 0;
    // Bounds are the screen rectangle of the whole window as the tree sees it.
    virtual void MoveWindow(TNativeWindow w, const TRect& bounds) = 0;
    virtual void SetTitle(TNativeWindow w, const std::string& title) = 0;
    virtual void SetSizeLimits(TNativeWindow w, TSize minSize, TSize maxSize) = 0;
    virtual void SetTopMost(TNativeWindow w, bool topMost) = 0;
    virtual void SetOpacity(TNativeWindow w, uint8_t alpha) = 0;
    virtual void SetState(TNativeWindow w, int sizeState) = 0;
    virtual void Raise(TNativeWindow w) = 0;
    virtual void Activate(TNativeWindow w) = 0;
    // Shows a rectangle (window coordinates) of the window's backing image.
    virtual void Present(TNativeWindow w, const TImageSurface& image, const TRect& area) = 0;
    virtual void Flush() = 0;

    virtual void SetCursor(TNativeWindow w, const TCursorImage& cursor) = 0;
    virtual TPoint PointerPos() const = 0;
    virtual void WarpPointer(TPoint screenPos) = 0;
    // Sends all pointer events to the window until released, also from outside the program's windows.
    virtual bool GrabPointer(TNativeWindow w) = 0;
    virtual void UngrabPointer() = 0;

    // The pictures the window manager shows for a top-level window (task bar, title bar); an empty list
    // removes them.
    virtual void SetIcon(TNativeWindow, const std::vector<TIconImage>&) {}
    // Reshapes a top-level window to the union of the rectangles (window coordinates); null makes it
    // rectangular again.
    virtual void SetShape(TNativeWindow, const std::vector<TRect>*) {}
    // Lets the window manager move or size the window while the left button, pressed at `screenPos`,
    // stays down. Answers false when it cannot, and the caller then follows the pointer itself.
    virtual bool BeginMoveResize(TNativeWindow, TMoveResizeEdge, TPoint) { return false; }
    // The system's beep.
    virtual void Bell() {}
    // The lock keys that are toggled on (lockCaps, lockNum, lockScroll), when the display knows.
    virtual std::optional<uint32_t> LockKeys() { return std::nullopt; }

    virtual void SetClipboard(const TClipboardData& data) = 0;
    // The offered types; an empty list when the clipboard is empty.
    virtual std::vector<std::string> ClipboardTypes() = 0;
    virtual std::optional<std::vector<uint8_t>> ClipboardGet(const std::string& type) = 0;
};

class IEventSource {
public:
    virtual ~IEventSource() = default;
    // Takes the next pending event without waiting.
    virtual bool Poll(TBackendEvent& event) = 0;
    // Waits until an event is pending, Wake is called or the time-out (milliseconds, negative: none)
    // passes. Answers whether something may have arrived.
    virtual bool Wait(int timeoutMs) = 0;
    // Cuts a Wait short; callable from any thread.
    virtual void Wake() = 0;
};

class TBackend : public IDisplay, public IEventSource {
public:
    // Tests put input in as if the display had sent it (GUI thread, or any thread for headless).
    virtual void InjectEvent(const TBackendEvent& event) = 0;
    // Waits until the display has handled every request so far and sent its events (tests).
    virtual void Sync() {}
};

// The virtual screen without a display: windows live only as images, input is injected by tests.
class THeadlessBackend;
std::unique_ptr<TBackend> CreateHeadlessBackend(int screenWidth = 1920, int screenHeight = 1080);
// Connects to the X display named by DISPLAY; null with the reason in `error` when that fails.
std::unique_ptr<TBackend> CreateX11Backend(std::string& error);

} // namespace plat
