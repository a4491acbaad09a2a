// The headless backend: a virtual screen without a display server. Native windows are bookkeeping only
// (each top-level window's backing image is its picture), input arrives through Inject, and waits end on
// injected events or wake-ups. Tests and machines without a display use it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/backend/Backend.h"

namespace plat {

class THeadlessBackend : public TBackend {
public:
    THeadlessBackend(int screenWidth, int screenHeight);

    const char* Name() const override { return "headless"; }
    bool DrawsFrames() const override { return false; }
    TRect ScreenRect() const override { return FScreen; }
    // The bottom 30 pixels stand for a task bar, so work area and screen differ as on a desktop.
    TRect WorkArea() const override { return TRect(0, 0, FScreen.Right, FScreen.Bottom - 30); }

    TNativeWindow CreateWindow(const TNativeWindowSpec& spec) override;
    void DestroyWindow(TNativeWindow w) override;
    void ShowWindow(TNativeWindow w, bool show, bool activate) override;
    void MoveWindow(TNativeWindow w, const TRect& bounds) override;
    void SetTitle(TNativeWindow w, const std::string& title) override;
    void SetSizeLimits(TNativeWindow, TSize, TSize) override {}
    void SetTopMost(TNativeWindow, bool) override {}
    void SetOpacity(TNativeWindow, uint8_t) override {}
    void SetState(TNativeWindow, int) override {}
    void Raise(TNativeWindow) override {}
    void Activate(TNativeWindow w) override;
    void Present(TNativeWindow, const TImageSurface&, const TRect&) override { ++FPresents; }
    void Flush() override {}

    void SetCursor(TNativeWindow w, const TCursorImage& cursor) override { FCursor = cursor; }
    TPoint PointerPos() const override;
    void WarpPointer(TPoint screenPos) override;
    bool GrabPointer(TNativeWindow w) override;
    void UngrabPointer() override { FGrab = 0; }

    void SetIcon(TNativeWindow w, const std::vector<TIconImage>& images) override;
    void SetShape(TNativeWindow w, const std::vector<TRect>* rects) override;
    void Bell() override { ++FBells; }

    void SetClipboard(const TClipboardData& data) override { FClipboard = data; }
    std::vector<std::string> ClipboardTypes() override;
    std::optional<std::vector<uint8_t>> ClipboardGet(const std::string& type) override;

    bool Poll(TBackendEvent& event) override;
    bool Wait(int timeoutMs) override;
    void Wake() override;

    // Queues an input event; pointer events also move the virtual pointer. Callable from any thread.
    void Inject(const TBackendEvent& event);
    void InjectEvent(const TBackendEvent& event) override { Inject(event); }
    // Waits that see nothing arrive for this long (real milliseconds, 0: no limit) raise
    // std::runtime_error instead of waiting on: a test that waits for input nobody will inject fails
    // instead of hanging.
    void SetStallLimit(int milliseconds) { FStallLimit = milliseconds; }

    // What tests look at.
    const TCursorImage& CurrentCursor() const { return FCursor; }
    TNativeWindow Grab() const { return FGrab; }
    TNativeWindow ActiveNative() const { return FActive; }
    int Presents() const { return FPresents; }
    std::string Title(TNativeWindow w) const;
    // The icon pictures a window was given (empty: none).
    std::vector<TIconImage> Icon(TNativeWindow w) const;
    // The shape of a window (null: rectangular).
    std::optional<std::vector<TRect>> Shape(TNativeWindow w) const;
    TRect NativeBounds(TNativeWindow w) const;
    // How often the system's beep sounded.
    int Bells() const { return FBells; }

private:
    struct TNative {
        TNativeWindowSpec Spec;
        bool Visible = false;
        std::vector<TIconImage> Icon;
        std::optional<std::vector<TRect>> Shape;
    };
    TRect FScreen;
    std::map<TNativeWindow, TNative> FWindows;
    TNativeWindow FNextId = 1;
    TNativeWindow FActive = 0;
    TNativeWindow FGrab = 0;
    TCursorImage FCursor;
    TClipboardData FClipboard;
    int FPresents = 0;
    int FBells = 0;

    mutable std::mutex FLock;
    std::condition_variable FArrived;
    std::deque<TBackendEvent> FEvents;
    bool FWoken = false; // a wake-up that no wait has consumed yet
    int FStallLimit = 0;
    std::chrono::steady_clock::time_point FLastActivity = std::chrono::steady_clock::now();
    TPoint FPointer;
};

} // namespace plat
