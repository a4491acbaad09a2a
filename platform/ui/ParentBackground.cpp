#include "platform/ui/ParentBackground.h"

#include "platform/ui/Control.h"
#include "platform/ui/MessageLoop.h"

namespace plat {

void DrawParentBackground(TControl* Control, HDC DC, const TRect* Rect) {
    if (!Control || !DC)
        return;
    TWinControl* parent = Control->Parent();
    if (!parent || !parent->HandleAllocated())
        return;
    bool windowed = dynamic_cast<TWinControl*>(Control) != nullptr;
    // Where the control's client origin lies in the parent's client area.
    TPoint at =
        windowed ? parent->ScreenToClient(Control->ClientOrigin()) : TPoint(Control->Left(), Control->Top());
    TRect area = Control->ClientRect();
    if (Rect)
        IntersectRect(area, area, *Rect);
    if (area.IsEmpty())
        return;
    int saved = DC->SaveDC();
    DC->IntersectClipRect(area.Left, area.Top, area.Right, area.Bottom);
    TPoint origin = DC->SetViewportOrgEx(0, 0);
    DC->SetViewportOrgEx(origin.X - at.X, origin.Y - at.Y);
    HWND wnd = parent->Handle();
    SendMessage(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    // A graphic control is one of the children the parent paints with WM_PAINT: the parent paints only
    // itself then, or the control would be asked again for its own background.
    if (windowed)
        SendMessage(wnd, WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    else
        SendMessage(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT);
    DC->RestoreDC(saved);
}

} // namespace plat
