#include "ui/drawing/KvxStyleIF.h"

#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SystemServices.h"

namespace ui {

PLAT_CLASS_INFO(TThemeNotifierWindow, plat::TWinControl)

PLAT_PROPERTIES(TThemeNotifierWindow) {
    props.Event("OnThemeChange", &TThemeNotifierWindow::OnThemeChange);
}

bool IsVistaOrLater() {
    return plat::GetSystemVersion().Major >= 6;
}

bool IsWindowsXPOrLater() {
    const plat::TSystemVersion v = plat::GetSystemVersion();
    return v.Major > 5 || (v.Major == 5 && v.Minor >= 1);
}

int DetectXPColorScheme() {
    // The scheme's name comes from an active desktop theme, and this platform draws without one, so no
    // scheme is ever recognised.
    return 0;
}

void TThemeNotifierWindow::WndProc(plat::TMessage& Message) {
    if (Message.Msg == plat::WM_THEMECHANGED && OnThemeChange)
        OnThemeChange(this);
    plat::TWinControl::WndProc(Message);
}

} // namespace ui
