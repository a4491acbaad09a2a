#include "platform/ui/PopupDispatch.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Input.h"
#include "platform/ui/SystemMetrics.h"

namespace plat {

TPopupDispatch::TPopupDispatch(TWinControl& Popup, std::function<void(TMessage&, TPoint)> Mouse,
                               std::function<void()> Dismiss)
    : FPopup(Popup), FMouse(std::move(Mouse)), FDismiss(std::move(Dismiss)) {}

void TPopupDispatch::AdjustParams(TCreateParams& Params) {
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WndParent = nullptr;
}

bool TPopupDispatch::Open() const {
    return FPopup.HandleAllocated() && IsWindowVisible(FPopup.WindowHandle());
}

void TPopupDispatch::Show(TWinControl& Owner, TSize Size) {
    TRect owner;
    GetWindowRect(Owner.Handle(), owner);
    int x = owner.Left, y = owner.Bottom;
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    if (y + Size.cy > screenH && owner.Top - Size.cy >= 0)
        y = owner.Top - Size.cy;
    // A pop-up wider than the room right of its owner would hide its ends off the screen.
    x = std::clamp(x, 0, std::max(0, screenW - Size.cx));
    HWND wnd = FPopup.Handle();
    FPopup.SetBounds(x, y, Size.cx, Size.cy);
    SetWindowPos(wnd, HWND_TOPMOST, x, y, Size.cx, Size.cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FPopup.SetVisible(true);
    SetCapture(wnd);
}

bool TPopupDispatch::Hide() {
    if (!Open() || FHiding)
        return false;
    // Releasing the capture tells the pop-up it lost the mouse; that must not close it a second time.
    TemporaryChange hiding(FHiding, true);
    ShowWindow(FPopup.WindowHandle(), SW_HIDE);
    FPopup.SetVisible(false);
    if (GetCapture() == FPopup.WindowHandle())
        ReleaseCapture();
    return true;
}

bool TPopupDispatch::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        TPoint p(static_cast<int16_t>(Message.LParamLo()), static_cast<int16_t>(Message.LParamHi()));
        if (FPopup.ClientRect().Contains(p)) {
            FMouse(Message, p);
        } else if (Message.Msg != WM_MOUSEMOVE && Message.Msg != WM_LBUTTONUP) {
            // The press that closes the pop-up goes no further: it does not reach the window under it.
            FDismiss();
        }
        return true;
    }
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(Message.LParam) != FPopup.WindowHandle() && Open())
            FDismiss();
        return true;
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return true;
    }
    return false;
}

} // namespace plat
