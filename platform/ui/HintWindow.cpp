#include "platform/ui/HintWindow.h"

#include "platform/gfx/TextLayout.h"
#include "platform/ui/Input.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Screen.h"

namespace plat {

PLAT_CLASS_INFO(THintWindow, TCustomControl)

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clInfoBk);
    if (Screen)
        Font()->Assign(Screen->HintFont());
    FVisible = false;
}

void THintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WndParent = nullptr;
    Params.WindowClass.Style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void*) {
    TRect r(0, 0, MaxWidth, 0);
    HDC dc = Canvas()->Handle();
    TTextFormat flags = DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;
    if (dc) {
        Canvas()->Font()->Assign(Font());
        Canvas()->TextRect(r, AHint, flags);
    }
    r.Right += 6;
    r.Bottom += 2;
    return r;
}

void THintWindow::ActivateHint(TRect Rect, const std::string& AHint) {
    SetCaption(AHint);
    HWND h = Handle();
    SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
    SetWindowPos(h, HWND_TOPMOST, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FVisible = true;
    Invalidate();
}

void THintWindow::ReleaseHandle() {
    if (HandleAllocated() && IsWindowVisible(WindowHandle()))
        ShowWindow(WindowHandle(), SW_HIDE);
    FVisible = false;
}

bool THintWindow::IsHintShowing() const {
    return HandleAllocated() && IsWindowVisible(FHandle);
}

void THintWindow::Paint() {
    TRect r = ClientRect();
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsClear);
    TRect text(r.Left + 2, r.Top + 1, r.Right - 2, r.Bottom);
    c->TextRect(text, Caption(), DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    c->Brush()->SetStyle(bsSolid);
}

void THintWindow::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTTRANSPARENT;
        return;
    }
    if (Message.Msg == CM_TEXTCHANGED) {
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(Message);
}

} // namespace plat
