#include "platform/ui/MessageLoop.h"

#include <algorithm>
#include <limits>

#include "platform/rtl/Clock.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Input.h"
#include "platform/ui/Paint.h"
#include "platform/ui/WindowInternal.h"

namespace plat {
namespace detail {

namespace {

uint64_t Now() {
    return SystemClock().MonotonicMilliseconds();
}

bool InRange(UINT msg, UINT lo, UINT hi) {
    if (lo == 0 && hi == 0)
        return true;
    return msg >= lo && msg <= hi;
}

bool MatchesWindow(HWND filter, HWND target) {
    if (!filter)
        return true;
    return target == filter || IsChild(filter, target);
}

void WakeBackend() {
    TState* s = SP();
    if (s && s->Backend)
        s->Backend->Wake();
}

// Calls the hooks of one kind, newest first; the first hook decides whether the others run.
LRESULT CallHookChain(int kind, int code, WPARAM wParam, LPARAM lParam) {
    TState& s = S();
    for (auto it = s.Hooks.rbegin(); it != s.Hooks.rend(); ++it) {
        THookHandle* h = it->get();
        if (h->Kind == kind && !h->Removed) {
            THookProc proc = h->Proc; // the hook may remove itself while it runs
            return proc(code, wParam, lParam);
        }
    }
    return 0;
}

bool HasHook(int kind) {
    TState* s = SP();
    if (!s)
        return false;
    for (const auto& h : s->Hooks)
        if (h->Kind == kind && !h->Removed)
            return true;
    return false;
}

void PurgeRemovedHooks() {
    TState& s = S();
    s.Hooks.erase(std::remove_if(s.Hooks.begin(), s.Hooks.end(), [](const auto& h) { return h->Removed; }),
                  s.Hooks.end());
}

TTimer* DueTimer(HWND filter, uint64_t now) {
    TState& s = S();
    TTimer* best = nullptr;
    for (TTimer& t : s.Timers) {
        if (t.Due > now || !MatchesWindow(filter, t.Wnd))
            continue;
        if (!best || t.Due < best->Due)
            best = &t;
    }
    return best;
}

bool TakeQueued(std::deque<TMsg>& q, TMsg& msg, HWND wnd, UINT lo, UINT hi, bool remove) {
    for (auto it = q.begin(); it != q.end();) {
        if (it->hwnd && !Find(it->hwnd)) { // its window is gone
            it = q.erase(it);
            continue;
        }
        if (MatchesWindow(wnd, it->hwnd) && (wnd == nullptr || it->hwnd) && InRange(it->message, lo, hi)) {
            msg = *it;
            if (remove)
                q.erase(it);
            return true;
        }
        ++it;
    }
    return false;
}

bool PeekOnce(TMsg& msg, HWND wnd, UINT lo, UINT hi, uint32_t remove) {
    TState& s = S();
    bool rm = (remove & PM_REMOVE) != 0;
    {
        std::lock_guard lock(s.PostLock);
        if (TakeQueued(s.Posted, msg, wnd, lo, hi, rm))
            return true;
    }
    TranslatePending();
    if (TakeQueued(s.InputQueue, msg, wnd, lo, hi, rm))
        return true;
    // Input for other windows (filtered out) must not hide input for this one behind it.
    while (!s.RawEvents.empty()) {
        size_t before = s.InputQueue.size();
        TBackendEvent e = std::move(s.RawEvents.front());
        s.RawEvents.pop_front();
        TranslateBackendEvent(e);
        if (s.InputQueue.size() != before && TakeQueued(s.InputQueue, msg, wnd, lo, hi, rm))
            return true;
    }
    {
        std::lock_guard lock(s.PostLock);
        if (s.QuitPosted && s.Posted.empty() && InRange(WM_QUIT, lo, hi)) {
            msg = TMsg();
            msg.message = WM_QUIT;
            msg.wParam = static_cast<WPARAM>(s.QuitCode);
            if (rm)
                s.QuitPosted = false;
            return true;
        }
    }
    if (InRange(WM_PAINT, lo, hi)) {
        TWindow* root = wnd ? Find(wnd) : nullptr;
        if (!wnd || root) {
            if (TWindow* p = NextPaintWindow(root)) {
                msg = TMsg();
                msg.hwnd = p->Handle;
                msg.message = WM_PAINT;
                return true;
            }
        }
    }
    if (InRange(WM_TIMER, lo, hi)) {
        uint64_t now = Now();
        if (TTimer* t = DueTimer(wnd, now)) {
            msg = TMsg();
            msg.hwnd = t->Wnd;
            msg.message = WM_TIMER;
            msg.wParam = t->Id;
            msg.lParam = reinterpret_cast<LPARAM>(t->Proc);
            if (rm)
                t->Due = now + t->Interval;
            return true;
        }
    }
    return false;
}

} // namespace

void InstallWakeHook() {
    SetWakeMainThreadHandler([] { WakeBackend(); });
}

void KillWindowTimers(HWND wnd) {
    TState& s = S();
    s.Timers.erase(
        std::remove_if(s.Timers.begin(), s.Timers.end(), [&](const TTimer& t) { return t.Wnd == wnd; }),
        s.Timers.end());
}

void QueueInput(TMsg msg) {
    TState& s = S();
    if (msg.time == 0)
        msg.time = GetTickCount();
    if (msg.message == WM_MOUSEMOVE && !s.InputQueue.empty()) {
        TMsg& last = s.InputQueue.back();
        if (last.message == WM_MOUSEMOVE && last.hwnd == msg.hwnd && last.wParam == msg.wParam) {
            last = msg;
            return;
        }
    }
    s.InputQueue.push_back(std::move(msg));
}

} // namespace detail

using namespace detail;

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!IsMainThread()) {
        if (!SP())
            return 0;
        LRESULT result = 0;
        RunInMainThread([&] { result = SendMessage(wnd, msg, wParam, lParam); });
        return result;
    }
    TWindow* w = Find(wnd);
    if (!w)
        return 0;
    if (HasHook(WH_CALLWNDPROC)) {
        TCwpStruct cwp{lParam, wParam, msg, wnd};
        CallHookChain(WH_CALLWNDPROC, HC_ACTION, 0, reinterpret_cast<LPARAM>(&cwp));
        if (!(w = Find(wnd)))
            return 0;
    }
    TWndProc proc = w->Proc;
    TState& s = S();
    ++s.InSendDepth;
    struct TDepth {
        TState& S;
        ~TDepth() { --S.InSendDepth; }
    } depth{s};
    return proc(wnd, msg, wParam, lParam);
}

bool PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TState* s = IsMainThread() ? &S() : SP();
    if (!s)
        return false;
    if (wnd && IsMainThread() && !Find(wnd))
        return false;
    TMsg m;
    m.hwnd = wnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetTickCount();
    {
        std::lock_guard lock(s->PostLock);
        m.pt = s->Pointer;
        s->Posted.push_back(m);
    }
    if (!IsMainThread())
        WakeBackend();
    return true;
}

void PostQuitMessage(int exitCode) {
    TState& s = S();
    std::lock_guard lock(s.PostLock);
    s.QuitPosted = true;
    s.QuitCode = exitCode;
}

bool PeekMessage(TMsg& msg, HWND wnd, UINT filterMin, UINT filterMax, uint32_t remove) {
    TState& s = S();
    Backend();
    PurgeRemovedHooks();
    for (int round = 0; round < 2; ++round) {
        PumpBackend();
        if (PeekOnce(msg, wnd, filterMin, filterMax, remove)) {
            if (remove & PM_REMOVE) {
                s.MessageTime = msg.time ? msg.time : GetTickCount();
                s.MessagePos =
                    msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST ? msg.pt : s.Pointer;
            }
            if (HasHook(WH_GETMESSAGE))
                CallHookChain(WH_GETMESSAGE, HC_ACTION, remove & PM_REMOVE, reinterpret_cast<LPARAM>(&msg));
            return true;
        }
        // Calls of other threads run here, as sent messages do. A loop that asked for any message is
        // told something happened (WM_NULL), so it looks at its state before it waits again.
        if (round == 0) {
            if (!CheckSynchronize(0))
                break;
            if (!wnd && InRange(WM_NULL, filterMin, filterMax)) {
                msg = TMsg();
                msg.message = WM_NULL;
                msg.time = GetTickCount();
                msg.pt = s.Pointer;
                return true;
            }
        }
    }
    return false;
}

bool GetMessage(TMsg& msg, HWND wnd, UINT filterMin, UINT filterMax) {
    for (;;) {
        if (PeekMessage(msg, wnd, filterMin, filterMax, PM_REMOVE))
            return msg.message != WM_QUIT;
        WaitMessage();
    }
}

bool HasPendingMessages() {
    TState& s = S();
    PumpBackend();
    {
        std::lock_guard lock(s.PostLock);
        if (!s.Posted.empty() || s.QuitPosted)
            return true;
    }
    if (!s.InputQueue.empty() || !s.RawEvents.empty())
        return true;
    if (NextPaintWindow(nullptr))
        return true;
    return DueTimer(nullptr, SystemClock().MonotonicMilliseconds()) != nullptr;
}

void WaitMessage() {
    TState& s = S();
    FlushWindowPaint();
    if (HasPendingMessages())
        return;
    int timeout = -1;
    uint64_t now = SystemClock().MonotonicMilliseconds();
    for (const TTimer& t : s.Timers) {
        uint64_t wait = t.Due > now ? t.Due - now : 0;
        if (timeout < 0 || wait < static_cast<uint64_t>(timeout))
            timeout = static_cast<int>(std::min<uint64_t>(wait, std::numeric_limits<int>::max()));
    }
    Backend().Wait(timeout);
}

bool TranslateMessage(const TMsg& msg) {
    if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) || msg.text.empty())
        return false;
    TState& s = S();
    UINT charMsg = msg.message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    std::vector<TMsg> chars;
    for (char32_t cp : Utf8Decode(msg.text)) {
        TMsg m;
        m.hwnd = msg.hwnd;
        m.message = charMsg;
        m.wParam = cp;
        m.lParam = msg.lParam;
        m.time = msg.time;
        m.pt = msg.pt;
        chars.push_back(m);
    }
    s.InputQueue.insert(s.InputQueue.begin(), chars.begin(), chars.end());
    return true;
}

LRESULT DispatchMessage(const TMsg& msg) {
    if (msg.message == WM_TIMER && msg.lParam) {
        auto proc = reinterpret_cast<TTimerProc>(msg.lParam);
        if (!msg.hwnd || Find(msg.hwnd))
            proc(msg.hwnd, WM_TIMER, msg.wParam, GetTickCount());
        return 0;
    }
    if (!msg.hwnd)
        return 0;
    TWindow* w = Find(msg.hwnd);
    if (!w)
        return 0;
    if (msg.message == WM_PAINT) {
        TRegion before = w->Update;
        bool internal = w->InternalPaint;
        w->InternalPaint = false;
        LRESULT r = w->Proc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        // A procedure that ignored the paint would otherwise get it forever.
        if ((w = Find(msg.hwnd)) && w->Update == before && !w->Update.IsEmpty()) {
            w->Update = TRegion();
            w->Erase = false;
        }
        (void)internal;
        return r;
    }
    return w->Proc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

uintptr_t SetTimer(HWND wnd, uintptr_t id, uint32_t interval, TTimerProc proc) {
    TState& s = S();
    if (wnd && !Find(wnd))
        return 0;
    interval = std::max<uint32_t>(1, interval);
    if (!wnd) {
        bool exists = id && std::any_of(s.Timers.begin(), s.Timers.end(),
                                        [&](const TTimer& t) { return !t.Wnd && t.Id == id; });
        if (!exists)
            id = s.NextTimerId++;
    }
    uint64_t due = SystemClock().MonotonicMilliseconds() + interval;
    for (TTimer& t : s.Timers)
        if (t.Wnd == wnd && t.Id == id) {
            t.Interval = interval;
            t.Due = due;
            t.Proc = proc;
            return id ? id : 1;
        }
    TTimer t;
    t.Wnd = wnd;
    t.Id = id;
    t.Interval = interval;
    t.Due = due;
    t.Proc = proc;
    s.Timers.push_back(t);
    return id ? id : 1;
}

bool KillTimer(HWND wnd, uintptr_t id) {
    TState* s = SP();
    if (!s)
        return false;
    auto it = std::find_if(s->Timers.begin(), s->Timers.end(),
                           [&](const TTimer& t) { return t.Wnd == wnd && t.Id == id; });
    if (it == s->Timers.end())
        return false;
    s->Timers.erase(it);
    return true;
}

HHOOK SetWindowsHookEx(int kind, THookProc proc) {
    if (!proc || (kind != WH_MSGFILTER && kind != WH_GETMESSAGE && kind != WH_CALLWNDPROC))
        return nullptr;
    TState& s = S();
    auto h = std::make_unique<THookHandle>();
    h->Kind = kind;
    h->Proc = std::move(proc);
    HHOOK handle = h.get();
    s.Hooks.push_back(std::move(h));
    return handle;
}

bool UnhookWindowsHookEx(HHOOK hook) {
    TState* s = SP();
    if (!s || !hook)
        return false;
    for (auto& h : s->Hooks)
        if (h.get() == hook && !h->Removed) {
            h->Removed = true; // freed later: the hook may be running right now
            return true;
        }
    return false;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    TState& s = S();
    auto it = std::find_if(s.Hooks.begin(), s.Hooks.end(), [&](const auto& h) { return h.get() == hook; });
    if (it == s.Hooks.end())
        return 0;
    int kind = (*it)->Kind;
    while (it != s.Hooks.begin()) {
        --it;
        if ((*it)->Kind == kind && !(*it)->Removed) {
            THookProc proc = (*it)->Proc;
            return proc(code, wParam, lParam);
        }
    }
    return 0;
}

bool CallMsgFilter(TMsg& msg, int code) {
    if (!HasHook(WH_MSGFILTER))
        return false;
    return CallHookChain(WH_MSGFILTER, code, 0, reinterpret_cast<LPARAM>(&msg)) != 0;
}

uint32_t GetMessageTime() {
    return S().MessageTime;
}

TPoint GetMessagePos() {
    return S().MessagePos;
}

} // namespace plat
