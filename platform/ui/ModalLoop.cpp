#include "platform/ui/ModalLoop.h"

#include <algorithm>
#include <exception>

#include "platform/rtl/Component.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageLoop.h"

namespace plat {

// Learns through free notification when a driven component goes; it owns nothing and nobody owns it.
class TModalLoop::TWatcher : public TComponent {
public:
    TWatcher() : TComponent(nullptr) {}

    struct TEntry {
        TComponent* Component;
        const void* Reference;
        std::function<void()> Gone; // empty: the loop ends when the component goes
    };
    std::vector<TEntry> Entries;
    bool Lost = false;

    void Add(TComponent* Component, const void* Reference, std::function<void()> Gone) {
        if (!Component)
            return;
        for (const TEntry& e : Entries)
            if (e.Component == Component && e.Reference == Reference)
                return;
        Entries.push_back({Component, Reference, std::move(Gone)});
        FreeNotification(Component);
    }

    void Release() {
        for (const TEntry& e : Entries)
            RemoveFreeNotification(e.Component);
        Entries.clear();
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation != opRemove)
            return;
        std::vector<TEntry> gone;
        std::erase_if(Entries, [&](TEntry& e) {
            if (e.Component != AComponent)
                return false;
            gone.push_back(std::move(e));
            return true;
        });
        for (const TEntry& e : gone) {
            if (e.Gone)
                e.Gone();
            else
                Lost = true;
        }
    }
};

TModalLoop::TModalLoop() : FWatcher(std::make_unique<TWatcher>()), FUncaught(std::uncaught_exceptions()) {}

TModalLoop::~TModalLoop() noexcept(false) {
    // Every step runs even when one raises; the first such fault is passed on unless another exception
    // is already on its way out.
    std::exception_ptr first;
    auto step = [&](auto&& action) {
        try {
            action();
        } catch (...) {
            if (!first)
                first = std::current_exception();
        }
    };
    while (!FRestore.empty()) {
        std::function<void()> action = std::move(FRestore.back());
        FRestore.pop_back();
        step(action);
    }
    step([&] { ReleaseCapture(); });
    step([&] {
        if (FCursorChanged)
            ::plat::SetCursor(FOldCursor);
    });
    FWatcher->Release();
    if (first && std::uncaught_exceptions() <= FUncaught)
        std::rethrow_exception(first);
}

void TModalLoop::Capture(HWND Wnd) {
    FCapture = Wnd;
    Watch(Wnd);
    ::plat::SetCapture(Wnd);
}

bool TModalLoop::HasCapture() const {
    return FCapture && GetCapture() == FCapture;
}

void TModalLoop::ReleaseCapture() {
    if (HasCapture())
        ::plat::ReleaseCapture();
    FCapture = nullptr;
}

void TModalLoop::SetCursor(HCURSOR Cursor) {
    HCURSOR old = ::plat::SetCursor(Cursor);
    if (!FCursorChanged) {
        FOldCursor = old;
        FCursorChanged = true;
    }
}

void TModalLoop::OnExit(std::function<void()> Action) {
    FRestore.push_back(std::move(Action));
}

void TModalLoop::Watch(HWND Wnd) {
    if (Wnd && std::find(FWindows.begin(), FWindows.end(), Wnd) == FWindows.end())
        FWindows.push_back(Wnd);
}

void TModalLoop::Watch(TComponent* Component) {
    FWatcher->Add(Component, nullptr, nullptr);
}

void TModalLoop::TrackComponent(TComponent* Component, const void* Reference, std::function<void()> Gone) {
    FWatcher->Add(Component, Reference, std::move(Gone));
}

bool TModalLoop::Alive() const {
    if (FWatcher->Lost)
        return false;
    return std::all_of(FWindows.begin(), FWindows.end(), [](HWND w) { return IsWindow(w); });
}

bool TModalLoop::Dispatch(const TMsg& Msg) {
    TranslateMessage(Msg);
    DispatchMessage(Msg);
    return Alive();
}

} // namespace plat
