#include "platform/ui/Application.h"
#include "platform/rtl/PropertyInfo.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <utility>

#include "platform/rtl/MainThread.h"
#include "platform/rtl/StartHeap.h"
#include "platform/ui/Form.h"
#include "platform/ui/HintWindow.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Timer.h"
#include "platform/ui/WindowSystem.h"

namespace plat {

namespace {

TShowExceptionHandler& ShowHandler() {
    static TShowExceptionHandler handler;
    return handler;
}

constexpr uintptr_t HintTimerId = 1;

} // namespace

TApplication* Application = new TApplication(nullptr);

void SetShowExceptionHandler(TShowExceptionHandler Handler) {
    ShowHandler() = std::move(Handler);
}

std::string GetShortHint(const std::string& Hint) {
    size_t bar = Hint.find('|');
    return bar == std::string::npos ? Hint : Hint.substr(0, bar);
}

std::string GetLongHint(const std::string& Hint) {
    size_t bar = Hint.find('|');
    return bar == std::string::npos ? Hint : Hint.substr(bar + 1);
}

PLAT_CLASS_INFO(TApplication, TComponent)

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FIcon(std::make_unique<TIcon>()) {
    FIcon->OnChange = [this](TObject*) { IconChanged(); };
}

void TApplication::IconChanged() {
    // Every form showing the old handle takes the new one before the old one is freed.
    std::unique_ptr<TIconHandle> old = std::move(FIconHandle);
    FIconHandle = CreateIconHandle(*FIcon);
    if (Screen)
        for (int i = 0; i < Screen->CustomFormCount(); ++i)
            Screen->CustomForms(i)->ApplicationIconChanged();
}

TApplication::~TApplication() {
    if (FHandle)
        DeallocateHWnd(FHandle);
}

void TApplication::Initialize() {
    ReserveStartHeap();
    CurrentBackend();
    Handle();
}

HWND TApplication::Handle() {
    if (!FHandle)
        FHandle = AllocateHWnd([this](TMessage& m) { WndProc(m); });
    return FHandle;
}

std::string TApplication::ExeName() const {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

void TApplication::Run() {
    FRunning = true;
    if (FMainForm) {
        if (FShowMainForm) {
            if (FMainForm->WindowState() == wsMinimized)
                ShowWindow(FMainForm->Handle(), SW_SHOWMINNOACTIVE);
            else
                FMainForm->SetVisible(true);
        }
        do {
            try {
                HandleMessage();
            } catch (const EDisplayError&) {
                // Nothing can be shown any more and every message would raise it again: the program ends.
                throw;
            } catch (...) {
                HandleException(this);
            }
        } while (!FTerminated);
    }
    FRunning = false;
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
    TMsg msg;
    while (ProcessMessage(msg)) {
    }
}

void TApplication::HandleMessage() {
    TMsg msg;
    if (!ProcessMessage(msg)) {
        if (Idle())
            WaitMessage();
    }
}

bool TApplication::IsKeyMsg(TMsg& Msg) {
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST)
        return false;
    HWND wnd = GetCapture();
    if (!wnd || !FindControl(wnd))
        wnd = Msg.hwnd;
    TWinControl* control = FindControl(wnd);
    if (!control)
        return false;
    return SendMessage(wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::ProcessMessage(TMsg& Msg) {
    if (!PeekMessage(Msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    bool handled = false;
    for (TApplicationEvents* e : std::vector<TApplicationEvents*>(FEvents))
        if (e->OnMessage && !handled)
            e->OnMessage(Msg, handled);
    if (!handled && OnMessage)
        OnMessage(Msg, handled);
    if (handled)
        return true;
    if (IsKeyMsg(Msg))
        return true;
    TranslateMessage(Msg);
    DispatchMessage(Msg);
    return true;
}

void TApplication::DoMouseIdle() {
    TPoint p;
    GetCursorPos(p);
    TControl* control = FindDragTarget(p, true);
    TControl* capture = GetCaptureControl();
    if (FMouseControl != control) {
        TControl* old = FMouseControl;
        if (old && (!capture || old == capture)) {
            FMouseControl = nullptr;
            old->Perform(CM_MOUSELEAVE, 0, 0);
        }
        if (old)
            old->RemoveFreeNotification(this);
        FMouseControl = control;
        if (control) {
            control->FreeNotification(this);
            if (!capture || control == capture)
                control->Perform(CM_MOUSEENTER, 0, 0);
        }
    }
}

bool TApplication::Idle() {
    DoMouseIdle();
    if (FShowHint && !FMouseControl)
        CancelHint();
    std::string hint = FMouseControl ? GetLongHint(FMouseControl->Hint()) : std::string();
    SetHint(hint);
    bool done = true;
    try {
        for (TApplicationEvents* e : std::vector<TApplicationEvents*>(FEvents))
            if (e->OnIdle)
                e->OnIdle(this, done);
        if (OnIdle)
            OnIdle(this, done);
    } catch (...) {
        HandleException(this);
    }
    TControlCanvas::FreeDeviceContexts();
    if (CheckSynchronize(0))
        done = false;
    FlushWindowPaint();
    return done;
}

void TApplication::HandleException(TObject* Sender) {
    std::exception_ptr current = std::current_exception();
    if (!current)
        return;
    if (HWND cap = GetCapture())
        SendMessage(cap, WM_CANCELMODE, 0, 0);
    // Every kind of exception takes the same road: the application-events components, else OnException,
    // else the message.
    const auto deliver = [this, Sender](Exception& e) {
        bool taken = false;
        for (TApplicationEvents* ev : std::vector<TApplicationEvents*>(FEvents))
            if (ev->OnException) {
                ev->OnException(Sender, e);
                taken = true;
            }
        if (taken)
            return;
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    };
    try {
        std::rethrow_exception(current);
    } catch (EAbort&) {
        return;
    } catch (Exception& e) {
        deliver(e);
    } catch (std::exception& e) {
        Exception wrapped(e.what());
        deliver(wrapped);
    } catch (...) {
        Exception unknown("Unknown exception");
        deliver(unknown);
    }
}

void TApplication::ShowException(Exception& E) {
    if (ShowHandler()) {
        ShowHandler()(E);
        return;
    }
    std::string msg = E.Message();
    if (!msg.empty() && msg.back() != '.')
        msg += '.';
    std::fprintf(stderr, "%s: %s\n", E.ClassName(), msg.c_str());
}

bool TApplication::AppKeyDown(WPARAM Key, LPARAM KeyData) {
    // The main form (and an MDI frame's active child) sees shortcuts no focused form took.
    TMessage m;
    m.Msg = CN_KEYDOWN;
    m.WParam = Key;
    m.LParam = KeyData;
    if (FMainForm && FMainForm->HandleAllocated() && IsWindowEnabled(FMainForm->WindowHandle()))
        return FMainForm->IsShortCut(m);
    return false;
}

std::vector<HWND> TApplication::DisableTaskWindows(HWND ActiveWindow) {
    std::vector<HWND> list;
    for (HWND h : GetChildWindows(nullptr)) {
        if (h == ActiveWindow || !IsWindowVisible(h) || !IsWindowEnabled(h))
            continue;
        if (h == FHandle)
            continue;
        if (THintWindow* hint = FHintWindow; hint && hint->WindowHandle() == h)
            continue;
        list.push_back(h);
        EnableWindow(h, false);
    }
    return list;
}

void TApplication::EnableTaskWindows(const std::vector<HWND>& List) {
    for (HWND h : List)
        if (IsWindow(h))
            EnableWindow(h, true);
}

void TApplication::ActivateChanged(bool Active) {
    if (FActive == Active)
        return;
    FActive = Active;
    for (TApplicationEvents* e : std::vector<TApplicationEvents*>(FEvents)) {
        const TNotifyEvent& ev = Active ? e->OnActivate : e->OnDeactivate;
        if (ev)
            ev(this);
    }
    const TNotifyEvent& ev = Active ? OnActivate : OnDeactivate;
    if (ev)
        ev(this);
    if (!Active)
        CancelHint();
}

void TApplication::WndProc(TMessage& Message) {
    try {
        switch (Message.Msg) {
        case WM_TIMER:
            if (Message.WParam == HintTimerId)
                HintTimerExpired();
            break;
        case WM_NULL:
            CheckSynchronize(0);
            break;
        default:
            Message.Result = DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
            break;
        }
    } catch (...) {
        HandleException(this);
    }
}

void TApplication::SetHint(const std::string& Value) {
    if (FHint == Value)
        return;
    FHint = Value;
    for (TApplicationEvents* e : std::vector<TApplicationEvents*>(FEvents))
        if (e->OnHint)
            e->OnHint(this);
    if (OnHint)
        OnHint(this);
}

void TApplication::SetShowHint(bool Value) {
    if (FShowHint == Value)
        return;
    FShowHint = Value;
    if (!Value)
        CancelHint();
}

void TApplication::StartHintTimer(int Value, int Mode) {
    StopHintTimer();
    SetTimer(Handle(), HintTimerId, static_cast<uint32_t>(std::max(1, Value)), nullptr);
    FTimerMode = Mode;
}

void TApplication::StopHintTimer() {
    if (FTimerMode != 0 && FHandle) {
        KillTimer(FHandle, HintTimerId);
        FTimerMode = 0;
    }
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
    if (!FShowHint || !Control)
        return;
    TPoint p = PointFromLParam(Message.LParam);
    TPoint screen = Control->ClientToScreen(p);
    TControl* target = FindDragTarget(screen, true);
    if (!target || target != Control)
        return;
    if (FHintControl != target) {
        bool wasActive = FHintActive;
        FHintControl = target;
        HideHint();
        FHintActive = wasActive;
        if (target->ShowHint() && !GetShortHint(target->Hint()).empty())
            StartHintTimer(wasActive ? FHintShortPause : FHintPause, 1);
        else
            StopHintTimer();
        return;
    }
    if (FHintActive && !FHintCursorRect.Contains(p)) {
        HideHint();
        if (target->ShowHint() && !GetShortHint(target->Hint()).empty())
            StartHintTimer(FHintShortPause, 1);
    }
}

void TApplication::HintTimerExpired() {
    int mode = FTimerMode;
    StopHintTimer();
    if (mode == 1) {
        TPoint p;
        GetCursorPos(p);
        ActivateHint(p);
    } else if (mode == 2) {
        CancelHint();
    }
}

void TApplication::ActivateHint(TPoint CursorPos) {
    TControl* control = FindDragTarget(CursorPos, true);
    if (!control || control != FHintControl || !control->ShowHint())
        return;
    THintInfo info;
    info.HintControl = control;
    info.HintStr = GetShortHint(control->Hint());
    info.HintColor = FHintColor;
    info.CursorPos = control->ScreenToClient(CursorPos);
    info.CursorRect = control->ClientRect();
    info.HintPos = TPoint(CursorPos.X, CursorPos.Y + 20);
    info.HintMaxWidth = Screen ? Screen->Width() : 1920;
    info.HideTimeout = FHintHidePause;
    bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
    for (TApplicationEvents* e : std::vector<TApplicationEvents*>(FEvents))
        if (e->OnShowHint)
            e->OnShowHint(info.HintStr, canShow, info);
    if (OnShowHint)
        OnShowHint(info.HintStr, canShow, info);
    if (!canShow || info.HintStr.empty())
        return;
    if (!FHintWindow) {
        FHintWindow = FHintWindowFactory ? FHintWindowFactory(this) : new THintWindow(this);
        FHintWindow->SetColor(info.HintColor);
    }
    FHintWindow->SetColor(info.HintColor);
    TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(r, info.HintPos.X, info.HintPos.Y);
    if (Screen) {
        TRect work = Screen->WorkAreaRect();
        if (r.Right > work.Right)
            OffsetRect(r, work.Right - r.Right, 0);
        if (r.Bottom > work.Bottom)
            OffsetRect(r, 0, CursorPos.Y - 4 - r.Bottom);
        if (r.Left < work.Left)
            OffsetRect(r, work.Left - r.Left, 0);
    }
    FHintCursorRect = info.CursorRect;
    FHintWindow->ActivateHint(r, info.HintStr);
    FHintActive = true;
    StartHintTimer(info.HideTimeout > 0 ? info.HideTimeout : FHintHidePause, 2);
}

void TApplication::HideHint() {
    FHintActive = false;
    if (FHintWindow)
        FHintWindow->ReleaseHandle();
}

void TApplication::SetHintWindowClass(THintWindowFactory Factory) {
    CancelHint();
    FHintWindowFactory = std::move(Factory);
    if (THintWindow* old = std::exchange(FHintWindow, nullptr))
        old->Free();
}

void TApplication::CancelHint() {
    StopHintTimer();
    HideHint();
    if (FHintControl) {
        FHintControl = nullptr;
    }
}

void TApplication::RegisterEvents(TApplicationEvents* Events) {
    if (std::find(FEvents.begin(), FEvents.end(), Events) == FEvents.end())
        FEvents.push_back(Events);
}

void TApplication::UnregisterEvents(TApplicationEvents* Events) {
    FEvents.erase(std::remove(FEvents.begin(), FEvents.end(), Events), FEvents.end());
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FMouseControl)
        FMouseControl = nullptr;
    if (AComponent == FHintControl)
        FHintControl = nullptr;
    if (AComponent == FMainForm)
        FMainForm = nullptr;
    if (AComponent == FHintWindow)
        FHintWindow = nullptr;
}

void TApplication::CloseDown() {
    CancelHint();
    FMainForm = nullptr;
    DestroyComponents();
    FHintWindow = nullptr;
    FHintControl = nullptr;
    FMouseControl = nullptr;
    if (FHandle)
        DeallocateHWnd(FHandle);
    FHandle = nullptr;
    FTerminated = false;
    FActive = false;
    FTimerMode = 0;
    FHint.clear();
    FIcon->Clear();
}

void DoneApplication() {
    if (Application)
        Application->CloseDown();
    if (Screen)
        Screen->SetCursor(crDefault);
    ShutdownWindowSystem();
}

// ---- TApplicationEvents -----------------------------------------------------------------------------------

PLAT_CLASS_INFO_CREATABLE(TApplicationEvents, TComponent)

PLAT_PROPERTIES(TApplicationEvents) {
    props.Event("OnException", &TApplicationEvents::OnException);
    props.Event("OnIdle", &TApplicationEvents::OnIdle);
    props.Event("OnMessage", &TApplicationEvents::OnMessage);
    props.Event("OnActivate", &TApplicationEvents::OnActivate);
    props.Event("OnDeactivate", &TApplicationEvents::OnDeactivate);
    props.Event("OnHint", &TApplicationEvents::OnHint);
    props.Event("OnShowHint", &TApplicationEvents::OnShowHint);
}

TApplicationEvents::TApplicationEvents(TComponent* AOwner) : TComponent(AOwner) {
    if (Application)
        Application->RegisterEvents(this);
}

TApplicationEvents::~TApplicationEvents() {
    if (Application)
        Application->UnregisterEvents(this);
}

} // namespace plat
