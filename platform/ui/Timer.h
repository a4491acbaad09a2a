// TTimer: raises OnTimer every Interval milliseconds while Enabled, through a window timer of the GUI
// thread; exceptions from the handler go to the application's handler.
#pragma once

#include "platform/rtl/Component.h"
#include "platform/ui/Control.h"

namespace plat {

// A hidden window whose messages go to a method (timers, posted notifications of non-visual objects).
HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Wnd);

class TTimer : public TComponent {
    PLAT_CLASS(TTimer)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    uint32_t Interval() const { return FInterval; }
    void SetInterval(uint32_t Value);
    TNotifyEvent OnTimer;
    void SetOnTimer(TNotifyEvent Value);

protected:
    virtual void Timer();
    void Loaded() override;

private:
    void UpdateTimer();
    void WndProc(TMessage& Message);

    bool FEnabled = true;
    uint32_t FInterval = 1000;
    HWND FWindowHandle = nullptr;
};

} // namespace plat
