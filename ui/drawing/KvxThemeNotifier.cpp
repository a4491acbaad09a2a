#include "ui/drawing/KvxThemeNotifier.h"

#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SystemServices.h"

namespace ui {

using namespace plat;

PLAT_CLASS_INFO(TThemeNotifierWindow, TWinControl)

PLAT_PROPERTIES(TThemeNotifierWindow) {
    props.Event("OnThemeChange", &TThemeNotifierWindow::OnThemeChange);
}

bool IsWindowsXPOrLater() {
    const TSystemVersion v = GetSystemVersion();
    return v.Major > 5 || (v.Major == 5 && v.Minor >= 1);
}

int DetectXPColorScheme() {
    // The scheme's name comes from an active desktop theme, and this platform draws without one, so no
    // scheme is ever recognised.
    return 0;
}

void TThemeNotifierWindow::WndProc(TMessage& Message) {
    if (Message.Msg == WM_THEMECHANGED && OnThemeChange)
        OnThemeChange(this);
    TWinControl::WndProc(Message);
}

} // namespace ui
