// The record of a nested loop (a drag, moving or sizing a window, tracking a scroll bar, a menu, a modal
// form). It holds the mouse capture, the cursor and the loop's own state, gives them back on every way
// out of the loop (its end, a handler that raises, a driven control that is destroyed), and after each
// dispatched message tells whether the windows and components the loop drives still exist.
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

namespace plat {

class TComponent;

class TModalLoop {
public:
    TModalLoop();
    // Puts the loop's state back (newest change first), releases the capture when the loop's window
    // still holds it and shows the cursor again that was shown before the loop changed it.
    ~TModalLoop() noexcept(false);
    TModalLoop(const TModalLoop&) = delete;
    TModalLoop& operator=(const TModalLoop&) = delete;

    // Takes the mouse capture for the window (which is watched too).
    void Capture(HWND Wnd);
    HWND CaptureWindow() const { return FCapture; }
    // Whether the loop's window still holds the capture: a loop ends when it lost it.
    bool HasCapture() const;
    // Gives the capture back before the loop's end (the drop of a drag runs without it).
    void ReleaseCapture();

    // Shows a cursor while the loop runs.
    void SetCursor(HCURSOR Cursor);

    // A variable of the loop's record, set now and put back at the end.
    template <class T> void Change(T& Variable, T Value) {
        T old = std::exchange(Variable, std::move(Value));
        OnExit([&Variable, old = std::move(old)]() mutable { Variable = std::move(old); });
    }
    // Runs at the end, after the actions added later.
    void OnExit(std::function<void()> Action);

    // The loop ends when the window goes away.
    void Watch(HWND Wnd);
    // The loop ends when the component is destroyed.
    void Watch(TComponent* Component);
    // A component the loop only points at (a drop target): the pointer becomes null when the component
    // it points at now is destroyed. Call again after pointing it elsewhere.
    template <class T> void Track(T*& Reference) {
        if (Reference)
            TrackComponent(Reference, &Reference, [&Reference, c = Reference] {
                if (Reference == c)
                    Reference = nullptr;
            });
    }
    // Whether every watched window and component still exists.
    bool Alive() const;

    // Translates and dispatches a message; answers Alive() after it.
    bool Dispatch(const TMsg& Msg);

private:
    class TWatcher;
    void TrackComponent(TComponent* Component, const void* Reference, std::function<void()> Gone);
    std::unique_ptr<TWatcher> FWatcher;
    std::vector<HWND> FWindows;
    std::vector<std::function<void()>> FRestore;
    HWND FCapture = nullptr;
    HCURSOR FOldCursor = nullptr;
    bool FCursorChanged = false;
    int FUncaught; // exceptions in flight when the loop began
};

} // namespace plat
