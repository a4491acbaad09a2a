// Chains of message filters on a window and RAII links for them and for thread message hooks. Several
// components can watch one window's messages: each adds a filter under its own identity, passes messages
// on with DefSubclassProc, and can leave in any order without disturbing the others. A filter never
// reaches itself or a newer filter again through DefSubclassProc, so two filters cannot call each other
// forever. Filters go when their window is destroyed.
#pragma once

#include <functional>

#include "platform/ui/MessageLoop.h"
#include "platform/ui/Window.h"

namespace plat {

using TSubclassProc = std::function<LRESULT(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)>;

// Puts a filter in front of the window's procedure (and in front of the filters already there). Adding
// again under the same owner replaces that filter's procedure and keeps its place. Answers false for a
// window that does not exist or an empty procedure.
bool SetWindowSubclass(HWND wnd, const void* owner, TSubclassProc proc);
// Removes the owner's filter; answers whether it was there. Safe from inside any filter.
bool RemoveWindowSubclass(HWND wnd, const void* owner);
bool HasWindowSubclass(HWND wnd, const void* owner);
// From inside a filter: passes the message to the next older filter, or to the window's procedure.
LRESULT DefSubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// A filter that removes itself when its holder goes (a member of the component that filters).
class TWindowSubclass {
public:
    TWindowSubclass() = default;
    ~TWindowSubclass() { Remove(); }
    TWindowSubclass(const TWindowSubclass&) = delete;
    TWindowSubclass& operator=(const TWindowSubclass&) = delete;

    // Moves the filter to `wnd` (removing it from the window it was on).
    bool Install(HWND wnd, TSubclassProc proc);
    void Remove();
    bool Installed() const;
    HWND Window() const { return FWnd; }

private:
    HWND FWnd = nullptr;
};

// A thread message hook that unhooks itself when its holder goes.
class TMessageHook {
public:
    TMessageHook() = default;
    ~TMessageHook() { Remove(); }
    TMessageHook(const TMessageHook&) = delete;
    TMessageHook& operator=(const TMessageHook&) = delete;

    bool Install(int kind, THookProc proc);
    void Remove();
    bool Installed() const { return FHook != nullptr; }
    // For the hook procedure: calls the next hook of the chain.
    LRESULT CallNext(int code, WPARAM wParam, LPARAM lParam) const;

private:
    HHOOK FHook = nullptr;
};

} // namespace plat
