#include "platform/ui/Timer.h"
#include "platform/rtl/PropertyInfo.h"

#include <map>

#include "platform/ui/Application.h"
#include "platform/ui/MessageLoop.h"

namespace plat {

namespace {

const char* const UtilClass = "TPUtilWindow";

std::map<HWND, TWndMethod>& Methods() {
    static std::map<HWND, TWndMethod> methods;
    return methods;
}

LRESULT UtilWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto it = Methods().find(wnd);
    if (it == Methods().end())
        return DefWindowProc(wnd, msg, wParam, lParam);
    TWndMethod method = it->second; // the method may deallocate its own window
    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    method(m);
    return m.Result;
}

} // namespace

HWND AllocateHWnd(TWndMethod Method) {
    TWndClass cls;
    if (!GetWindowClassInfo(UtilClass, cls)) {
        cls.Name = UtilClass;
        cls.WndProc = UtilWindowProc;
        RegisterWindowClass(cls);
    }
    HWND wnd = CreateWindowEx(0, UtilClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, 0);
    if (wnd)
        Methods()[wnd] = std::move(Method);
    return wnd;
}

void DeallocateHWnd(HWND Wnd) {
    Methods().erase(Wnd);
    DestroyWindow(Wnd);
}

PLAT_CLASS_INFO_CREATABLE(TTimer, TComponent)

PLAT_PROPERTIES(TTimer) {
    props.Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true);
    props.Integer("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000);
    props.Event("OnTimer", &TTimer::OnTimer);
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    FWindowHandle = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

TTimer::~TTimer() {
    FEnabled = false;
    UpdateTimer();
    DeallocateHWnd(FWindowHandle);
}

void TTimer::UpdateTimer() {
    KillTimer(FWindowHandle, 1);
    if (FInterval != 0 && FEnabled && OnTimer && !(ComponentState() & csLoading))
        SetTimer(FWindowHandle, 1, FInterval, nullptr);
}

void TTimer::SetEnabled(bool Value) {
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(uint32_t Value) {
    if (FInterval == Value)
        return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
    OnTimer = std::move(Value);
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::Timer() {
    if (OnTimer)
        OnTimer(this);
}

void TTimer::WndProc(TMessage& Message) {
    if (Message.Msg == WM_TIMER) {
        // A handler assigned straight to OnTimer after Enabled (without SetOnTimer) still counts.
        try {
            Timer();
        } catch (...) {
            if (Application)
                Application->HandleException(this);
        }
        return;
    }
    Message.Result = DefWindowProc(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
}

} // namespace plat
