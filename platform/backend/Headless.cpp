#include "platform/backend/Headless.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace plat {

THeadlessBackend::THeadlessBackend(int screenWidth, int screenHeight)
    : FScreen(0, 0, screenWidth, screenHeight), FPointer(screenWidth / 2, screenHeight / 2) {}

std::unique_ptr<TBackend> CreateHeadlessBackend(int screenWidth, int screenHeight) {
    return std::make_unique<THeadlessBackend>(screenWidth, screenHeight);
}

TNativeWindow THeadlessBackend::CreateWindow(const TNativeWindowSpec& spec) {
    TNativeWindow id = FNextId++;
    FWindows[id].Spec = spec;
    return id;
}

void THeadlessBackend::DestroyWindow(TNativeWindow w) {
    FWindows.erase(w);
    if (FActive == w)
        FActive = 0;
    if (FGrab == w)
        FGrab = 0;
}

void THeadlessBackend::ShowWindow(TNativeWindow w, bool show, bool activate) {
    auto it = FWindows.find(w);
    if (it == FWindows.end())
        return;
    it->second.Visible = show;
    if (show && activate)
        FActive = w;
    if (!show && FActive == w)
        FActive = 0;
}

void THeadlessBackend::MoveWindow(TNativeWindow w, const TRect& bounds) {
    auto it = FWindows.find(w);
    if (it != FWindows.end())
        it->second.Spec.Bounds = bounds;
}

void THeadlessBackend::SetTitle(TNativeWindow w, const std::string& title) {
    auto it = FWindows.find(w);
    if (it != FWindows.end())
        it->second.Spec.Title = title;
}

std::string THeadlessBackend::Title(TNativeWindow w) const {
    auto it = FWindows.find(w);
    return it == FWindows.end() ? std::string() : it->second.Spec.Title;
}

void THeadlessBackend::SetIcon(TNativeWindow w, const std::vector<TIconImage>& images) {
    auto it = FWindows.find(w);
    if (it != FWindows.end())
        it->second.Icon = images;
}

std::vector<TIconImage> THeadlessBackend::Icon(TNativeWindow w) const {
    auto it = FWindows.find(w);
    return it == FWindows.end() ? std::vector<TIconImage>() : it->second.Icon;
}

void THeadlessBackend::SetShape(TNativeWindow w, const std::vector<TRect>* rects) {
    auto it = FWindows.find(w);
    if (it == FWindows.end())
        return;
    if (rects)
        it->second.Shape = *rects;
    else
        it->second.Shape.reset();
}

std::optional<std::vector<TRect>> THeadlessBackend::Shape(TNativeWindow w) const {
    auto it = FWindows.find(w);
    return it == FWindows.end() ? std::nullopt : it->second.Shape;
}

TRect THeadlessBackend::NativeBounds(TNativeWindow w) const {
    auto it = FWindows.find(w);
    return it == FWindows.end() ? TRect() : it->second.Spec.Bounds;
}

void THeadlessBackend::Activate(TNativeWindow w) {
    if (FWindows.count(w))
        FActive = w;
}

TPoint THeadlessBackend::PointerPos() const {
    std::lock_guard lock(FLock);
    return FPointer;
}

void THeadlessBackend::WarpPointer(TPoint screenPos) {
    std::lock_guard lock(FLock);
    FPointer = screenPos;
}

bool THeadlessBackend::GrabPointer(TNativeWindow w) {
    FGrab = w;
    return true;
}

std::vector<std::string> THeadlessBackend::ClipboardTypes() {
    std::vector<std::string> types;
    for (const auto& [type, bytes] : FClipboard)
        types.push_back(type);
    return types;
}

std::optional<std::vector<uint8_t>> THeadlessBackend::ClipboardGet(const std::string& type) {
    auto it = FClipboard.find(type);
    if (it == FClipboard.end())
        return std::nullopt;
    return it->second;
}

bool THeadlessBackend::Poll(TBackendEvent& event) {
    std::lock_guard lock(FLock);
    if (FEvents.empty())
        return false;
    event = std::move(FEvents.front());
    FEvents.pop_front();
    return true;
}

bool THeadlessBackend::Wait(int timeoutMs) {
    std::unique_lock lock(FLock);
    auto ready = [&] { return !FEvents.empty() || FWoken; };
    int wait = timeoutMs;
    if (FStallLimit > 0)
        wait = wait < 0 ? FStallLimit : std::min(wait, FStallLimit);
    if (wait < 0)
        FArrived.wait(lock, ready);
    else
        FArrived.wait_for(lock, std::chrono::milliseconds(wait), ready);
    bool arrived = ready();
    FWoken = false;
    auto now = std::chrono::steady_clock::now();
    if (arrived) {
        FLastActivity = now;
    } else if (FStallLimit > 0 && now - FLastActivity > std::chrono::milliseconds(FStallLimit)) {
        FLastActivity = now;
        throw std::runtime_error("the headless display waited for input that never came");
    }
    return arrived;
}

void THeadlessBackend::Wake() {
    {
        std::lock_guard lock(FLock);
        FWoken = true;
    }
    FArrived.notify_all();
}

void THeadlessBackend::Inject(const TBackendEvent& event) {
    {
        std::lock_guard lock(FLock);
        switch (event.Kind) {
        case bePointerMove:
        case beButtonDown:
        case beButtonUp:
        case beWheel:
            FPointer = event.ScreenPos;
            break;
        default:
            break;
        }
        FEvents.push_back(event);
        FLastActivity = std::chrono::steady_clock::now();
    }
    FArrived.notify_all();
}

} // namespace plat
