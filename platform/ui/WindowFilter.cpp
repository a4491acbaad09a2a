// The filter chain sits behind one window procedure of its own (the stub), installed like any other
// replacement, so code that swaps window procedures by hand keeps working around it.
#include "platform/ui/WindowFilter.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/ui/WindowInternal.h"

namespace plat {
namespace detail {

struct TSubclassEntry {
    const void* Owner = nullptr;
    TSubclassProc Proc;
    uint64_t Order = 0; // newer filters have higher numbers
    bool Removed = false;
};

struct TSubclassChain {
    TWndProc Original = nullptr;
    std::vector<std::shared_ptr<TSubclassEntry>> Entries; // oldest first
    uint64_t NextOrder = 1;
    // The filter each active call of the chain is in, innermost last.
    std::vector<uint64_t> Frames;
};

namespace {

std::shared_ptr<TSubclassChain> ChainOf(HWND wnd) {
    TWindow* w = Find(wnd);
    return w ? w->Subclasses : nullptr;
}

// The newest live filter older than `below`.
std::shared_ptr<TSubclassEntry> NextOlder(const TSubclassChain& chain, uint64_t below) {
    for (auto it = chain.Entries.rbegin(); it != chain.Entries.rend(); ++it)
        if (!(*it)->Removed && (*it)->Order < below)
            return *it;
    return nullptr;
}

LRESULT RunFrom(const std::shared_ptr<TSubclassChain>& chain, uint64_t below, HWND wnd, UINT msg,
                WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<TSubclassEntry> entry = NextOlder(*chain, below);
    if (!entry)
        return CallWindowProc(chain->Original, wnd, msg, wParam, lParam);
    TSubclassProc proc = entry->Proc; // the filter may remove itself while it runs
    chain->Frames.push_back(entry->Order);
    struct TPop {
        TSubclassChain& C;
        ~TPop() { C.Frames.pop_back(); }
    } pop{*chain};
    return proc(wnd, msg, wParam, lParam);
}

void DropRemoved(TSubclassChain& chain) {
    if (!chain.Frames.empty())
        return;
    chain.Entries.erase(
        std::remove_if(chain.Entries.begin(), chain.Entries.end(), [](const auto& e) { return e->Removed; }),
        chain.Entries.end());
}

LRESULT SubclassStub(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<TSubclassChain> chain = ChainOf(wnd);
    if (!chain)
        return DefWindowProc(wnd, msg, wParam, lParam);
    LRESULT result = RunFrom(chain, UINT64_MAX, wnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        // The window is going: every filter goes with it.
        for (auto& e : chain->Entries)
            e->Removed = true;
        if (TWindow* w = Find(wnd))
            w->Subclasses.reset();
    } else {
        DropRemoved(*chain);
    }
    return result;
}

} // namespace
} // namespace detail

using namespace detail;

bool SetWindowSubclass(HWND wnd, const void* owner, TSubclassProc proc) {
    TWindow* w = Find(wnd);
    if (!w || !proc)
        return false;
    if (!w->Subclasses) {
        w->Subclasses = std::make_shared<TSubclassChain>();
        w->Subclasses->Original = w->Proc;
        w->Proc = SubclassStub;
    } else if (w->Proc != SubclassStub && w->Proc == w->Subclasses->Original) {
        // Someone put the old procedure back by hand: put the chain in front again.
        w->Proc = SubclassStub;
    }
    TSubclassChain& chain = *w->Subclasses;
    for (auto& e : chain.Entries)
        if (!e->Removed && e->Owner == owner) {
            e->Proc = std::move(proc);
            return true;
        }
    auto entry = std::make_shared<TSubclassEntry>();
    entry->Owner = owner;
    entry->Proc = std::move(proc);
    entry->Order = chain.NextOrder++;
    chain.Entries.push_back(std::move(entry));
    return true;
}

bool RemoveWindowSubclass(HWND wnd, const void* owner) {
    TWindow* w = Find(wnd);
    if (!w || !w->Subclasses)
        return false;
    std::shared_ptr<TSubclassChain> chain = w->Subclasses;
    bool found = false;
    for (auto& e : chain->Entries)
        if (!e->Removed && e->Owner == owner) {
            e->Removed = true;
            found = true;
        }
    DropRemoved(*chain);
    bool empty =
        std::none_of(chain->Entries.begin(), chain->Entries.end(), [](const auto& e) { return !e->Removed; });
    // The stub leaves only when nothing runs in it and nobody was put in front of it since.
    if (empty && chain->Frames.empty() && w->Proc == SubclassStub) {
        w->Proc = chain->Original;
        w->Subclasses.reset();
    }
    return found;
}

bool HasWindowSubclass(HWND wnd, const void* owner) {
    std::shared_ptr<TSubclassChain> chain = ChainOf(wnd);
    if (!chain)
        return false;
    return std::any_of(chain->Entries.begin(), chain->Entries.end(),
                       [&](const auto& e) { return !e->Removed && e->Owner == owner; });
}

LRESULT DefSubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<TSubclassChain> chain = ChainOf(wnd);
    if (!chain)
        return DefWindowProc(wnd, msg, wParam, lParam);
    uint64_t below = chain->Frames.empty() ? UINT64_MAX : chain->Frames.back();
    return RunFrom(chain, below, wnd, msg, wParam, lParam);
}

bool TWindowSubclass::Install(HWND wnd, TSubclassProc proc) {
    if (FWnd && FWnd != wnd)
        Remove();
    if (!SetWindowSubclass(wnd, this, std::move(proc)))
        return false;
    FWnd = wnd;
    return true;
}

void TWindowSubclass::Remove() {
    if (FWnd)
        RemoveWindowSubclass(FWnd, this);
    FWnd = nullptr;
}

bool TWindowSubclass::Installed() const {
    return FWnd && HasWindowSubclass(FWnd, this);
}

bool TMessageHook::Install(int kind, THookProc proc) {
    Remove();
    FHook = SetWindowsHookEx(kind, std::move(proc));
    return FHook != nullptr;
}

void TMessageHook::Remove() {
    if (FHook)
        UnhookWindowsHookEx(FHook);
    FHook = nullptr;
}

LRESULT TMessageHook::CallNext(int code, WPARAM wParam, LPARAM lParam) const {
    return FHook ? CallNextHookEx(FHook, code, wParam, lParam) : 0;
}

} // namespace plat
